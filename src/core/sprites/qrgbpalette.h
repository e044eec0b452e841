#ifndef QRGBPALETTE_H
#define QRGBPALETTE_H

#include <QByteArray>
#include <QColor>
#include <QObject>

// The colour effects of the palette tab, numbered as its effect list.
namespace morvane {
enum class PaletteEffect {
    NoEffect = 0,
    BlueToRed,
    BlueToGreen,
    GreenToRed,
    GreenToBlue,
    RedToGreen,
    RedToBlue,
    Lighter,
    Darker,
    Monochrome,
    Fire,
    Saphire,
    Stone,
};
} // namespace morvane
using morvane::PaletteEffect;

// Edits a 256-colour palette (768 bytes of red, green, blue, entry 0 first)
// held in a buffer it does not own. Every edit announces itself with
// changing() before the buffer is touched and changed() after, even when it
// changes nothing. The palette page edits a copy of the archive's colours
// with it and hands the result to the archive as one step.
//
// A selection mask is 256 flags, one per entry; a null mask selects every entry.
class QRGBPalette : public QObject
{
    Q_OBJECT
public:
    explicit QRGBPalette(uchar* buffer);

    void setBuffer(uchar* buffer);
    uchar* buffer() const { return data; }

    QByteArray getAll() const;
    // Takes the first 768 bytes; entries `colours` does not cover turn black.
    void setAll(const QByteArray& colours);
    void setColour(uchar index, const QColor& colour);
    QColor colour(uchar index) const;
    // Blackens every entry without announcing it.
    void clear();

    // Mirrors the order of the selected entries among themselves.
    void reverseSelected(const bool* mask);
    // Changes the selected entries by one of the numbered effects; numbers
    // outside the list change nothing.
    void applyEffect(PaletteEffect effect, const bool* mask);

signals:
    void changing();
    void changed();

private:
    uchar* data;
};

#endif

#ifndef GIFWRITER_H
#define GIFWRITER_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

class QIODevice;

// One image of an animated GIF.
struct GifFrame
{
    QList<QRgb> colours;      // local colour table; empty: the global one
    QImage image;             // 8-bit indexed; index 0 is transparent
    quint16 left = 0;
    quint16 top = 0;
    quint16 delay = 0;        // hundredths of a second
    bool loopExtension = false; // the endless-loop block goes before this image
};

// Writes animated GIF89a files of its own, byte by byte: the logical screen,
// an optional global colour table, and for each image a graphic control
// extension (restore to previous, index 0 transparent), the looping extension
// where asked, the image descriptor with an optional local table, and the
// pixels through the classic hashed LZW compressor (9-bit codes growing to
// 12, a clear code once code 4095 is given out).
class GifWriter
{
public:
    GifWriter(quint16 width, quint16 height) : width(width), height(height) {}

    QList<GifFrame> frames;
    QList<QRgb> globalColours;
    quint16 width;
    quint16 height;

    QByteArray bytes() const;
    bool write(QIODevice* device) const;

    // A palette as a table of 256 entries, the last repeated where it is
    // shorter: every index of a sprite reads back as its own colour.
    static QList<QRgb> tableOf(const QList<QRgb>& palette);

private:
    static void writeTable(QByteArray& out, const QList<QRgb>& colours, QRgb fill);
    static void writePixels(QByteArray& out, const QImage& image);
};

#endif

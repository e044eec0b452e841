#ifndef QPALETTEWIDGET_H
#define QPALETTEWIDGET_H

#include <QWidget>

class QRGBPalette;

// The colour grid of the palette tab: one square cell per colour, and a
// selection for the palette commands. It shows the colours it is given; the
// commands change the archive's palette, and the page gives the grid the new
// colours (the archive's history keeps the old ones).
class QPaletteWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QPaletteWidget(QWidget* parent = nullptr);
    ~QPaletteWidget() override;

    // The colours shown (768 bytes, entry 0 first).
    QRGBPalette* palette() const { return pal; }
    void setColours(const QByteArray& colours);

    bool isSelected(uchar index) const { return selected[index]; }
    // Adds a colour to the selection; the caller repaints.
    void select(uchar index);
    // The 256 selection flags, as colour commands take them.
    const bool* selection() const { return selected; }

    // Shows `n` cells (at most 256) and clears the selection.
    void setColourCount(quint16 n);
    quint16 colourCountShown() const { return colourCount; }
    // No palette is active: a black palette.
    void resetPalette();

    // The cell under a widget point, or -1 where there is none.
    int cellAt(const QPoint& p) const;
    QRect cellRect(int index) const;
    // The colour of the frame drawn inside a selected cell: every component
    // moved half way round (c + 128, wrapped), so it differs from the cell by
    // 128 in each component and shows on light and dark colours alike.
    static QColor markerColour(const QColor& cell);

signals:
    void colorClick();
    void multiColorClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearSelection();

    uchar buffer[768];
    QRGBPalette* pal;
    bool selected[256];
    quint16 colourCount;
    quint8 cellSize;
    quint8 columns;
};

#endif

#ifndef QPALETTEWIDGET_H
#define QPALETTEWIDGET_H

#include <QWidget>

class QRGBPalette;

// The colour grid of the palette tab: one square cell per colour, a selection
// for the palette commands, and snapshots of the palette before each edit.
//
// The palette being edited lives in one of twelve buffers; every edit goes
// through palette(), whose changing() signal moves the edit into a fresh
// buffer so that the one before keeps the previous state. Twelve states at
// most are kept; the oldest goes first.
class QPaletteWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int HistorySize = 12;

    explicit QPaletteWidget(QWidget* parent = nullptr);
    ~QPaletteWidget() override;

    QRGBPalette* palette() const { return pal; }

    bool isSelected(uchar index) const { return selected[index]; }
    // Adds a colour to the selection; the caller repaints.
    void select(uchar index);
    // The 256 selection flags, as colour commands take them.
    const bool* selection() const { return selected; }

    // Shows `n` cells (at most 256) and clears the selection.
    void setColourCount(quint16 n);
    quint16 colourCountShown() const { return colourCount; }
    // No palette is active: a black palette and no history.
    void resetPalette();

    // The cell under a widget point, or -1 where there is none.
    int cellAt(const QPoint& p) const;
    QRect cellRect(int index) const;
    // The colour of the frame drawn inside a selected cell: every component
    // moved half way round (c + 128, wrapped), so it differs from the cell by
    // 128 in each component and shows on light and dark colours alike.
    static QColor markerColour(const QColor& cell);

    // The undo history, for those who look at it.
    int historyPosition() const { return historyPos; }
    int historyLength() const { return historyCount; }
    QByteArray historyState(int i) const;

signals:
    void changed();
    void colorClick();
    void multiColorClick();

public slots:
    void internalPalChanging();
    void internalPalChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearSelection();

    uchar buffers[HistorySize][768];
    QRGBPalette* pal;
    quint8 historyPos;
    quint8 historyCount;
    bool selected[256];
    quint16 colourCount;
    quint8 cellSize;
    quint8 columns;
};

#endif

#include "qpalettewidget.h"

#include "qrgbpalette.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstring>

QPaletteWidget::QPaletteWidget(QWidget* parent)
    : QWidget(parent), colourCount(256), cellSize(12), columns(0)
{
    std::memset(buffer, 0, sizeof buffer);
    pal = new QRGBPalette(buffer);
    connect(pal, &QRGBPalette::changed, this, qOverload<>(&QWidget::update));
    clearSelection();
    columns = quint8(qMin(width() / cellSize, 255));
}

QPaletteWidget::~QPaletteWidget()
{
    delete pal;
}

void QPaletteWidget::clearSelection()
{
    std::memset(selected, 0, sizeof selected);
}

void QPaletteWidget::select(uchar index)
{
    selected[index] = true;
}

void QPaletteWidget::setColourCount(quint16 n)
{
    colourCount = qMin<quint16>(n, 256);
    clearSelection();
    update();
}

void QPaletteWidget::resetPalette()
{
    std::memset(buffer, 0, sizeof buffer);
    update();
}

void QPaletteWidget::setColours(const QByteArray& colours)
{
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, colours.constData(), size_t(qMin<qsizetype>(colours.size(), sizeof buffer)));
    update();
}

QColor QPaletteWidget::markerColour(const QColor& cell)
{
    return QColor((cell.red() + 128) & 0xFF, (cell.green() + 128) & 0xFF, (cell.blue() + 128) & 0xFF);
}

QRect QPaletteWidget::cellRect(int index) const
{
    if (columns == 0 || index < 0)
        return QRect();
    return QRect((index % columns) * cellSize, (index / columns) * cellSize, cellSize, cellSize);
}

int QPaletteWidget::cellAt(const QPoint& p) const
{
    // A release can come from a press inside the widget and a pointer moved
    // out of it; the strip to the right of the last column holds no cell.
    if (p.x() < 0 || p.y() < 0 || p.x() / cellSize >= columns)
        return -1;
    const int i = columns * (p.y() / cellSize) + p.x() / cellSize;
    return i < colourCount ? i : -1;
}

void QPaletteWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const uchar* c = pal->buffer();
    const int s = cellSize;
    const QColor grey(128, 128, 128);
    const QColor white(255, 255, 255);
    // Rectangles here name their last pixels, as the cells are laid out.
    const auto fill = [&p](int x1, int y1, int x2, int y2, const QColor& colour) {
        p.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
    };
    for (int i = 0; i < colourCount && columns > 0; ++i) {
        const QRect r = cellRect(i);
        const int x = r.x();
        const int y = r.y();
        const QColor colour(c[3 * i], c[3 * i + 1], c[3 * i + 2]);
        if (!selected[i]) {
            // A sunken frame around a small swatch.
            fill(x, y, x + s - 2, y, grey);
            fill(x, y, x, y + s - 2, grey);
            fill(x, y + s - 1, x + s - 1, y + s - 1, white);
            fill(x + s - 1, y, x + s - 1, y + s - 1, white);
            fill(x + 1, y + 1, x + s - 3, y + s - 3, colour);
        } else {
            // A larger swatch with a frame inside it.
            fill(x, y, x + s - 2, y + s - 2, colour);
            const QColor m = markerColour(colour);
            fill(x + 2, y + 2, x + s - 4, y + 2, m);
            fill(x + 2, y + s - 4, x + s - 4, y + s - 4, m);
            fill(x + 2, y + 2, x + 2, y + s - 4, m);
            fill(x + s - 4, y + 2, x + s - 4, y + s - 4, m);
        }
    }
}

void QPaletteWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const int i = cellAt(event->position().toPoint());
    if (i < 0)
        return;
    const Qt::KeyboardModifiers mods = event->modifiers()
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event->button() == Qt::LeftButton) {
        if (mods == Qt::ShiftModifier) {
            int last = colourCount - 1;
            while (last >= 0 && !selected[last])
                --last;
            clearSelection();
            if (last < 0) {
                selected[i] = true;
            } else if (last != i) {
                for (int k = qMin(last, i); k <= qMax(last, i); ++k)
                    selected[k] = true;
                emit multiColorClick();
            }
        } else if (mods == Qt::NoModifier) {
            clearSelection();
            selected[i] = true;
        } else if (mods == Qt::ControlModifier) {
            selected[i] = true;
        }
    } else if (event->button() == Qt::RightButton) {
        selected[i] = false;
    }
    update();
}

void QPaletteWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit colorClick();
}

void QPaletteWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    columns = quint8(qMin(width() / cellSize, 255));
}

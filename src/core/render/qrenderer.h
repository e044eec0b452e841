#ifndef QRENDERER_H
#define QRENDERER_H

#include <QBrush>
#include <QColor>
#include <QObject>
#include <QPoint>
#include <QSize>

class QMouseEvent;
class QPainter;
class QPaintEvent;
class QWheelEvent;
class QWidget;

// A drawing-and-interaction object behind a plain widget: the widget hands it
// every paint, resize, wheel and mouse event. It needs no widget of its own,
// so the command-line tool draws with the very same code into an image.
class QRenderer : public QObject
{
    Q_OBJECT
public:
    explicit QRenderer(QObject* parent = nullptr);

    // The surface showing the view (set by QRenderWidget; null for off-screen
    // drawing). Repaints are asked for through repaintNeeded().
    QWidget* widget = nullptr;
    // Size of the view in pixels; the surface sets it before calling resized().
    QSize viewSize;

    virtual void mousePressEvent(QMouseEvent* e) = 0;
    virtual void mouseReleaseEvent(QMouseEvent* e) = 0;
    virtual void mouseMoveEvent(QMouseEvent* e) = 0;
    virtual void wheelEvent(QWheelEvent* e) = 0;
    virtual void resized() = 0;
    virtual void paint(QPainter* painter, QPaintEvent* e) = 0;

    // Top and bottom colours of the view's background gradient.
    void setBackground(const QColor& top, const QColor& bottom);

    // The ten zoom steps; index 2 is 1:1.
    static constexpr int ZoomSteps = 10;
    static double zoomFactor(int index);

    quint8 zoomIndex = 2;
    QPoint axisScreen;
    QColor backgroundTop;
    QColor backgroundBottom;
    QBrush backgroundBrush;

signals:
    void repaintNeeded();

protected:
    double zoom() const { return zoomFactor(zoomIndex); }
    void repaint() { emit repaintNeeded(); }
    // A vertical gradient over the view's height.
    void rebuildBackground();
    // Grows whenever the background brush is rebuilt, so that a renderer can
    // keep the filled background between paints.
    quint64 backgroundSerial = 0;
};

#endif

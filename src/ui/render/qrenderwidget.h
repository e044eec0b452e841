#ifndef QRENDERWIDGET_H
#define QRENDERWIDGET_H

#include <QWidget>

class QRenderer;

// The drawing surface of the sprite and animation views. It draws nothing
// itself: every paint, resize, wheel and mouse event goes to its renderer.
class QRenderWidget : public QWidget
{
public:
    // Takes ownership of the renderer.
    QRenderWidget(QRenderer* renderer, QWidget* parent = nullptr);
    ~QRenderWidget() override;

    QRenderer* renderer;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};

#endif

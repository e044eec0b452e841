#include "qrenderwidget.h"

#include "qrenderer.h"

#include <QPainter>
#include <QResizeEvent>

QRenderWidget::QRenderWidget(QRenderer* r, QWidget* parent) : QWidget(parent), renderer(r)
{
    // The renderer paints every pixel itself.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    renderer->widget = this;
    renderer->viewSize = size();
    connect(renderer, &QRenderer::repaintNeeded, this, qOverload<>(&QWidget::update));
}

QRenderWidget::~QRenderWidget()
{
    delete renderer;
}

void QRenderWidget::paintEvent(QPaintEvent* e)
{
    QPainter painter;
    painter.begin(this);
    renderer->paint(&painter, e);
    painter.end();
}

void QRenderWidget::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    renderer->viewSize = size();
    renderer->resized();
}

void QRenderWidget::wheelEvent(QWheelEvent* e)
{
    QWidget::wheelEvent(e);
    renderer->wheelEvent(e);
    // Taken: the parent gets no copy, and a press makes this widget the
    // receiver of the moves and the release that follow.
    e->accept();
}

void QRenderWidget::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    renderer->mouseMoveEvent(e);
    e->accept();
}

void QRenderWidget::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    renderer->mouseReleaseEvent(e);
    e->accept();
}

void QRenderWidget::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    renderer->mousePressEvent(e);
    e->accept();
}

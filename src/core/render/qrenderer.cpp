#include "qrenderer.h"

#include <QLinearGradient>

#include <algorithm>

namespace {
constexpr double Zooms[QRenderer::ZoomSteps] = {0.25, 0.5, 1, 2, 3, 4, 5, 6, 7, 8};
}

QRenderer::QRenderer(QObject* parent) : QObject(parent) {}

double QRenderer::zoomFactor(int index)
{
    return Zooms[std::clamp(index, 0, ZoomSteps - 1)];
}

void QRenderer::setBackground(const QColor& top, const QColor& bottom)
{
    backgroundTop = top;
    backgroundBottom = bottom;
    rebuildBackground();
}

void QRenderer::rebuildBackground()
{
    QLinearGradient g(0, 0, 0, std::max(viewSize.height(), 1));
    // Before the settings are read the colours are invalid; an invalid QColor
    // paints as opaque black, which is what the view shows until then.
    g.setColorAt(0.0, backgroundTop);
    g.setColorAt(1.0, backgroundBottom);
    backgroundBrush = QBrush(g);
    ++backgroundSerial;
}

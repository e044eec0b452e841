#ifndef RENDERVIEW_H
#define RENDERVIEW_H

#include "animationcommands.h"
#include "qmessages.h"
#include "qsprrender.h"
#include "spritecommands.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>

// A renderer drawing off-screen, with its own archive and animations, driven
// by synthetic mouse events. Its edit requests become steps of the documents'
// histories, as the window's pages make them.
namespace renderview {

inline QRgb paletteColour(int i) { return qRgb(i, (i * 7) & 255, 255 - i); }

// An 8-bit image whose pixel (x, y) holds `pixel(x, y)`, coloured by paletteColour().
inline QImage indexedImage(int w, int h, const std::function<int(int, int)>& pixel)
{
    QImage img(w, h, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i)
        img.setColor(i, paletteColour(i));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, uint(pixel(x, y)));
    return img;
}

// Sprite 0,0 (the archive has no other) with its axis at (ax, ay).
inline void addSprite(QSprites& s, int ax, int ay, const QImage& img)
{
    s.addSprite();
    s.setImage(0, img);
    SpriteInfo info = s.spriteInfo(0);
    info.axisX = qint16(ax);
    info.axisY = qint16(ay);
    s.setSpriteInfo(0, info);
}

inline QRect corners(int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); }

// The view on a plain background (10, 20, 30), its axis in the middle (100, 100).
struct View
{
    QMessages messages;
    QSprites sprites{&messages, BlobStoreMode::BlobsInMemory, false, -1};
    QAnimations anims{&messages};
    QSprRender r;

    explicit View(QSize size = QSize(201, 201))
    {
        r.setSprites(&sprites);
        r.setAnimations(&anims);
        r.setBackground(QColor(10, 20, 30), QColor(10, 20, 30));
        r.viewSize = size;
        r.resized();
        QObject::connect(&r, &QSprRender::spriteAxisMoved, [this](int index, QPoint axis) {
            SpriteInfo info = sprites.spriteInfo(index);
            info.axisX = qint16(axis.x());
            info.axisY = qint16(axis.y());
            push(sprites.undoStack(), spritecommands::changeInfo(&sprites, index, info, ChangeSpriteInfo::Axis));
        });
        QObject::connect(&r, &QSprRender::frameOffsetMoved, [this](int action, int frame, QPoint offset) {
            push(anims.undoStack(), animationcommands::moveOffset(&anims, action, frame, offset.x(), offset.y()));
        });
        QObject::connect(&r, &QSprRender::boxesChanged,
                         [this](int action, int frame, const FrameBoxes& boxes, const QString& text) {
                             push(anims.undoStack(), animationcommands::changeBoxes(&anims, action, frame, boxes, text));
                         });
    }
    static void push(QUndoStack* stack, QUndoCommand* step)
    {
        if (step)
            stack->push(step);
    }
    void addSprite(int ax, int ay, const QImage& img) { renderview::addSprite(sprites, ax, ay, img); }
    // An action of the given AIR text, shown at frame f with every box visible.
    void showAction(const QByteArray& air, int f = 0, int action = 0)
    {
        anims.clear();
        anims.parse(air, "v.air");
        r.setClsnVisibility(true, true, true);
        r.setSource(action, QRenderMode::AnimationMode);
        r.setFrame(f);
        r.setPalette(-1);
    }
    QImage image()
    {
        QImage img(r.viewSize, QImage::Format_RGB888);
        r.render(img, img.rect());
        return img;
    }
    // A press or move with button b held, or a release of b.
    void mouse(QEvent::Type t, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QMouseEvent e(t, p, p, t == QEvent::MouseMove ? Qt::NoButton : b,
                      t == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
        t == QEvent::MouseButtonPress ? r.mousePressEvent(&e)
        : t == QEvent::MouseMove      ? r.mouseMoveEvent(&e)
                                      : r.mouseReleaseEvent(&e);
    }
    void click(QPoint p) { mouse(QEvent::MouseButtonPress, p), mouse(QEvent::MouseButtonRelease, p); }
    void wheel(int delta)
    {
        QWheelEvent e({5, 5}, {5, 5}, {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        r.wheelEvent(&e);
    }
    void setZoom(int index) { r.zoomIndex = quint8(index), r.updateGeometry(); }
};

} // namespace renderview

#endif

#include "qsprrender.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Screen positions are computed in double precision and truncated towards
// zero. Box values come from files and may be anything, so positions are
// kept well inside the range where QRect arithmetic cannot overflow.
constexpr double ScreenLimit = double(1 << 28);

int truncScreen(double v)
{
    return int(std::clamp(v, -ScreenLimit, ScreenLimit));
}

// Conversions back to sprite units round half up: floor(v + 0.5).
int roundHalfUp(double v)
{
    return int(std::clamp(std::floor(v + 0.5), double(INT_MIN), double(INT_MAX)));
}

int clampInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

qint16 clampAxis(int v)
{
    return qint16(std::clamp(v, -32768, 32767));
}

QRect fromCorners(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

// Corners swapped where needed so that left <= right and top <= bottom.
QRect normalisedCorners(const QRect& r)
{
    return fromCorners(std::min(r.left(), r.right()), std::min(r.top(), r.bottom()),
                       std::max(r.left(), r.right()), std::max(r.top(), r.bottom()));
}

// The 16.16 fixed-point mapping from an offset inside a drawn span of `span`
// pixels to a source column of an image `size` pixels wide.
int sourceIndex(qint64 offset, qint64 size, qint64 span)
{
    const qint64 step = (size * 65536) / span + 1;
    return int(std::min((offset * step) >> 16, size - 1));
}

uchar clampByte(int v)
{
    return uchar(std::clamp(v, 0, 255));
}

enum PixelFormat { Indexed, Rgb24, Argb32, Rgb32 };

struct BlitParams
{
    const uchar* palette = nullptr; // 768 bytes for indexed sprites
    bool showTransparent = false;
    int transparency = 0;
    int srcAlpha = 256;
    int dstAlpha = 256;
};

// Fetches one source pixel; false when it is not drawn (transparent).
template <PixelFormat F>
inline bool fetch(const uchar* row, int col, const BlitParams& p, int& r, int& g, int& b, int& a)
{
    if constexpr (F == Indexed) {
        const int i = row[col];
        if (i == 0 && !p.showTransparent)
            return false;
        r = p.palette[i * 3];
        g = p.palette[i * 3 + 1];
        b = p.palette[i * 3 + 2];
        a = 255;
    } else if constexpr (F == Rgb24) {
        r = row[col * 3];
        g = row[col * 3 + 1];
        b = row[col * 3 + 2];
        a = 255;
    } else {
        // 32-bit pixels are stored as native-endian 0xAARRGGBB words.
        const quint32 v = reinterpret_cast<const quint32*>(row)[col];
        a = F == Argb32 ? int(v >> 24) : 255;
        if (a == 0 && !p.showTransparent)
            return false;
        if (F == Argb32 && p.showTransparent)
            a = 255;
        r = (v >> 16) & 0xFF;
        g = (v >> 8) & 0xFF;
        b = v & 0xFF;
    }
    return true;
}

// Screen columns that show the same source column, left to right. Zoomed in,
// a source pixel is looked up once per run instead of once per screen pixel.
struct ColumnRun
{
    int source;
    int length;
};

template <PixelFormat F, int Mode>
void blitRows(QImage& image, const QRect& vis, const QList<ColumnRun>& runs, const int* rows, const uchar* src,
              int stride, const BlitParams& p)
{
    for (int y = vis.top(); y <= vis.bottom(); ++y) {
        const uchar* row = src + qsizetype(rows[y - vis.top()]) * stride;
        uchar* dst = image.scanLine(y) + vis.left() * 3;
        for (const ColumnRun& run : runs) {
            int r, g, b, a;
            if (!fetch<F>(row, run.source, p, r, g, b, a)) {
                dst += 3 * run.length;
                continue;
            }
            for (int i = 0; i < run.length; ++i, dst += 3) {
                const int in[3] = {r, g, b};
                for (int c = 0; c < 3; ++c) {
                    const int s = in[c];
                    const int d = dst[c];
                    int v;
                    if constexpr (Mode == 1)
                        v = clampByte(clampByte((d * p.dstAlpha) >> 8) + ((s * p.srcAlpha) >> 8));
                    else if constexpr (Mode == 2)
                        v = clampByte(d - s);
                    else
                        v = s;
                    // Partly transparent pixels of 32-bit sprites blend over what is there.
                    if (F == Argb32 && a < 255)
                        v = (v * a + d * (255 - a)) / 255;
                    dst[c] = uchar(v);
                }
            }
        }
    }
}

template <PixelFormat F>
void blitFormat(QImage& image, const QRect& vis, const QList<ColumnRun>& runs, const int* rows, const uchar* src,
                int stride, const BlitParams& p)
{
    switch (p.transparency) {
    case 1: blitRows<F, 1>(image, vis, runs, rows, src, stride, p); break;
    case 2: blitRows<F, 2>(image, vis, runs, rows, src, stride, p); break;
    default: blitRows<F, 0>(image, vis, runs, rows, src, stride, p); break;
    }
}

} // namespace

QSprRender::QSprRender(QObject* parent)
    : QRenderer(parent),
      axisMarker(QStringLiteral(":/imgs/Imgs/sff.png")),
      offsetMarker(QStringLiteral(":/imgs/Imgs/air.png"))
{
    for (QPoint& h : handles)
        h = QPoint(5000, 5000);
}

void QSprRender::setSprites(const QSprites* s)
{
    if (sprites)
        disconnect(sprites, nullptr, this, nullptr);
    sprites = s;
    remap.setSprites(s);
    if (!s)
        return;
    connect(s, &QSprites::spriteChanged, this, &QSprRender::spriteChanged);
    connect(s, &QSprites::paletteChanged, this, &QSprRender::paletteChanged);
    for (auto signal : {&QSprites::spritesInserted, &QSprites::spritesRemoved, &QSprites::palettesInserted,
                        &QSprites::palettesRemoved})
        connect(s, signal, this, &QSprRender::spritesChanged);
    connect(s, &QSprites::documentReset, this, &QSprRender::spritesChanged);
}

void QSprRender::setAnimations(const QAnimations* a)
{
    if (animations)
        disconnect(animations, nullptr, this, nullptr);
    animations = a;
    if (!a)
        return;
    connect(a, &QAnimations::frameChanged, this, [this](int action, int f) {
        if (f == frameIndex)
            animationChanged(action);
    });
    connect(a, &QAnimations::actionChanged, this, &QSprRender::animationChanged);
    connect(a, &QAnimations::framesInserted, this, [this](int action) { animationChanged(action); });
    connect(a, &QAnimations::framesRemoved, this, [this](int action) { animationChanged(action); });
    connect(a, &QAnimations::actionsInserted, this, [this] { animationChanged(currentIndex); });
    connect(a, &QAnimations::actionsRemoved, this, [this] { animationChanged(currentIndex); });
    connect(a, &QAnimations::documentReset, this, [this] { animationChanged(currentIndex); });
}

void QSprRender::spriteChanged(int index)
{
    // The sprite shown, or the one whose image it shows through its links.
    const int shown = mode == QRenderMode::SpriteMode ? currentIndex : frameSpriteIndex;
    if (index == shown || (sprites && sprites->linkTarget(shown) == index))
        spritesChanged();
}

void QSprRender::paletteChanged(int index)
{
    if (index == paletteIndex || index == chosenPalette)
        spritesChanged();
}

void QSprRender::spritesChanged()
{
    if (mode == QRenderMode::AnimationMode) {
        reloadFrame();
        return;
    }
    if (!sprites || currentIndex < 0 || currentIndex >= sprites->spriteCount()) {
        reset();
        repaint();
        return;
    }
    spriteInfo = sprites->spriteInfo(currentIndex);
    spriteSize = sprites->spriteSize(currentIndex);
    takeDrawPixels(currentIndex);
    spritePixels = spriteSize.imageFormat == QImage::Format_Indexed8 ? drawPixels : QByteArray();
    setPalette(paletteRequest);
    updateGeometry();
    repaint();
}

void QSprRender::animationChanged(int action)
{
    if (mode == QRenderMode::AnimationMode && action == currentIndex)
        reloadFrame();
}

void QSprRender::reloadFrame()
{
    if (!animations || currentIndex < 0 || currentIndex >= animations->actionCount()
        || animations->frameCount(currentIndex) == 0) {
        reset();
        repaint();
        return;
    }
    // The same boxes stay selected (by list and position) across the reload.
    struct Key {
        bool isDefault;
        int type;
        int listIndex;
    };
    QList<Key> chosen;
    for (const ClsnBox& b : boxes)
        if (b.selected)
            chosen.append({b.isDefault, b.type, b.listIndex});
    const AirActionInfo info = animations->actionInfo(currentIndex);
    actionName = info.name;
    actionNumber = info.number;
    setFrame(qMin(frameIndex, animations->frameCount(currentIndex) - 1));
    for (ClsnBox& b : boxes)
        for (const Key& k : chosen)
            if (b.isDefault == k.isDefault && b.type == k.type && b.listIndex == k.listIndex)
                b.selected = true;
    selectionActive = std::any_of(boxes.begin(), boxes.end(), [](const ClsnBox& b) { return b.selected; });
    setPalette(paletteRequest);
    updateGeometry();
    repaint();
}

int QSprRender::integerZoom() const
{
    const double z = zoom();
    return z > 1 ? int(z) : 1;
}

// ---------------------------------------------------------------------------
// Source, frame, palette

void QSprRender::takeDrawPixels(int spriteIndex)
{
    drawIndex = spriteIndex;
    drawPixels = (sprites && spriteIndex >= 0) ? sprites->spritePixels(spriteIndex) : QByteArray();
}

void QSprRender::setSource(int index, QRenderMode newMode)
{
    spritePixels = QByteArray();
    mode = newMode;
    showOffsetMarker = newMode == QRenderMode::AnimationMode;
    if (newMode == QRenderMode::AnimationMode && animations && index >= 0 && index < animations->actionCount()) {
        currentIndex = index;
        const AirActionInfo info = animations->actionInfo(index);
        actionName = info.name;
        actionNumber = info.number;
        frame = nullptr;
        // The boxes shown belong to the frame of the previous action; none
        // may be edited until a frame of this one is chosen.
        boxes.clear();
        selectionActive = false;
        lastHitBox = -1;
        return;
    }
    if (newMode == QRenderMode::SpriteMode && sprites && index >= 0 && index < sprites->spriteCount()) {
        currentIndex = index;
        spriteInfo = sprites->spriteInfo(index);
        spriteSize = sprites->spriteSize(index);
        takeDrawPixels(index);
        if (spriteSize.imageFormat == QImage::Format_Indexed8)
            spritePixels = drawPixels;
        paletteIndex = chosenPalette = spriteInfo.paletteIndex;
        updateGeometry();
        return;
    }
    reset();
}

void QSprRender::reset()
{
    boxes.clear();
    clsnCount[0] = clsnCount[1] = 0;
    currentIndex = 0;
    frameSpriteIndex = -1;
    frameCopy.x = 0;
    frameCopy.y = 0;
    frame = nullptr;
    selectionActive = false;
    lastHitBox = -1;
    drawIndex = -1;
    drawPixels = QByteArray();
    // Nothing is drawn until a source is chosen again.
    spriteSize = SpriteSize();
}

void QSprRender::setFrame(int f)
{
    if (mode != QRenderMode::AnimationMode || !animations || f < 0 || f >= animations->frameCount(currentIndex))
        return;
    frameIndex = f;
    frame = animations->frame(currentIndex, f);
    frameCopy = *frame;
    frameCopy.clsn1.clear();
    frameCopy.clsn2.clear();
    work = animations->frameBoxes(currentIndex, f);
    frameSpriteIndex = -1;
    if (sprites && frame->group >= 0 && frame->group <= 0xFFFF && frame->number >= 0 && frame->number <= 0xFFFF)
        frameSpriteIndex = sprites->findSprite(0, quint16(frame->group), quint16(frame->number));
    if (frameSpriteIndex >= 0) {
        spriteInfo = sprites->spriteInfo(frameSpriteIndex);
        spriteSize = sprites->spriteSize(frameSpriteIndex);
        takeDrawPixels(frameSpriteIndex);
    } else {
        drawIndex = -1;
        drawPixels = QByteArray();
    }
    loadBoxes();
    updateGeometry();
}

int QSprRender::setPalette(int index)
{
    paletteRequest = index;
    if (index < 0)
        index = spriteInfo.paletteIndex;
    // Kept apart from paletteIndex so that a changed table is applied to the
    // palette asked for, not to the one an earlier row chose instead.
    chosenPalette = index;
    paletteIndex = index;
    const int mapped = remap.remapPalette(index);
    if (mapped >= 0)
        paletteIndex = mapped;
    return mapped;
}

void QSprRender::refresh()
{
    updateGeometry();
    repaint();
}

void QSprRender::setClsnVisibility(bool clsn1, bool clsn2, bool defaults)
{
    showClsn1 = clsn1;
    showClsn2 = clsn2;
    showDefaultClsn = defaults;
}

void QSprRender::setShowTransparentColour(bool on)
{
    showTransparentColour = on;
    repaint();
}

void QSprRender::setColourPick(bool on)
{
    pickColour = on;
}

void QSprRender::setCreateMode(bool on, int type)
{
    createMode = on;
    createType = type == 1 ? 1 : 0;
    clearSelection();
}

void QSprRender::clearSelection()
{
    if (!selectionActive)
        return;
    for (ClsnBox& b : boxes)
        b.selected = false;
    lastHitBox = -1;
    selectionActive = false;
    repaint();
}

// ---------------------------------------------------------------------------
// Boxes

QList<ClsnRect>* QSprRender::ownList(int type)
{
    if (!frame)
        return nullptr;
    return type == 0 ? &work.clsn1 : &work.clsn2;
}

QList<ClsnDefaultBox>* QSprRender::defaultsOf(int type)
{
    if (!frame || (type != 0 && type != 1))
        return nullptr;
    return type == 0 ? &work.clsn1Default : &work.clsn2Default;
}

void QSprRender::requestBoxes(const QString& text)
{
    emit boxesChanged(currentIndex, frameIndex, work, text);
}

void QSprRender::loadBoxes()
{
    boxes.clear();
    selectionActive = false;
    lastHitBox = -1;
    clsnCount[0] = clsnCount[1] = 0;
    if (mode != QRenderMode::AnimationMode || !frame)
        return;
    for (int type = 0; type < 2; ++type) {
        // The engine applies the last default block of a type that stands at
        // or before the frame; the block is the defaults sharing its fromFrame.
        if (const QList<ClsnDefaultBox>* defaults = defaultsOf(type)) {
            int block = -1;
            for (const ClsnDefaultBox& d : *defaults) {
                const int at = std::max(d.fromFrame, 0);
                if (at <= frameIndex && at > block)
                    block = at;
            }
            for (int j = 0; j < defaults->size(); ++j) {
                const ClsnDefaultBox& d = defaults->at(j);
                if (block < 0 || std::max(d.fromFrame, 0) != block)
                    continue;
                ClsnBox b;
                b.rect = {d.x1, d.y1, d.x2, d.y2};
                b.fromFrame = d.fromFrame;
                b.type = type;
                b.isDefault = true;
                b.listIndex = j;
                boxes.append(b);
            }
        }
        const QList<ClsnRect>& own = *ownList(type);
        for (int i = 0; i < own.size(); ++i) {
            ClsnBox b;
            b.rect = own.at(i);
            b.type = type;
            b.listIndex = i;
            boxes.append(b);
            ++clsnCount[type];
        }
    }
}

bool QSprRender::boxVisible(const ClsnBox& b) const
{
    if (b.isDefault)
        return showDefaultClsn;
    return b.type == 0 ? showClsn1 : showClsn2;
}

QRect QSprRender::screenRectOf(const ClsnRect& r) const
{
    const double z = zoom();
    const int half = z > 1 ? integerZoom() >> 1 : 0;
    const int x1 = truncScreen(axisScreen.x() - half + z * r.x1);
    const int y1 = truncScreen(axisScreen.y() - half + z * r.y1);
    const int x2 = x1 + truncScreen(z * (double(r.x2) - r.x1)) - 1;
    const int y2 = y1 + truncScreen(z * (double(r.y2) - r.y1)) - 1;
    return fromCorners(x1, y1, x2, y2);
}

void QSprRender::writeBack(const ClsnBox& b)
{
    if (b.isDefault) {
        QList<ClsnDefaultBox>* defaults = defaultsOf(b.type);
        if (defaults && b.listIndex >= 0 && b.listIndex < defaults->size()) {
            ClsnDefaultBox& d = (*defaults)[b.listIndex];
            d.x1 = b.rect.x1;
            d.y1 = b.rect.y1;
            d.x2 = b.rect.x2;
            d.y2 = b.rect.y2;
        }
        return;
    }
    QList<ClsnRect>* own = ownList(b.type);
    if (own && b.listIndex >= 0 && b.listIndex < own->size())
        (*own)[b.listIndex] = b.rect;
}

void QSprRender::toggleSelected(bool toggleDefault)
{
    if (!selectionActive || !frame)
        return;
    struct Key {
        bool isDefault;
        int type;
        int listIndex;
    };
    QList<Key> moved;
    for (int i = 0; i < boxes.size(); ++i) {
        ClsnBox& b = boxes[i];
        if (!b.selected)
            continue;
        // Out of the list it came from...
        if (b.isDefault) {
            QList<ClsnDefaultBox>* list = defaultsOf(b.type);
            if (!list || b.listIndex >= list->size())
                continue;
            list->removeAt(b.listIndex);
        } else {
            QList<ClsnRect>* list = ownList(b.type);
            if (!list || b.listIndex >= list->size())
                continue;
            list->removeAt(b.listIndex);
        }
        for (ClsnBox& other : boxes)
            if (&other != &b && other.isDefault == b.isDefault && other.type == b.type
                && other.listIndex > b.listIndex)
                --other.listIndex;
        for (Key& k : moved)
            if (k.isDefault == b.isDefault && k.type == b.type && k.listIndex > b.listIndex)
                --k.listIndex;
        // ...and onto the end of the one it now belongs to. A new default
        // applies from the frame shown.
        b.fromFrame = frameIndex;
        if (toggleDefault)
            b.isDefault = !b.isDefault;
        else
            b.type = 1 - b.type;
        if (b.isDefault) {
            QList<ClsnDefaultBox>* list = defaultsOf(b.type);
            b.listIndex = int(list->size());
            list->append({b.rect.x1, b.rect.y1, b.rect.x2, b.rect.y2, b.fromFrame});
        } else {
            QList<ClsnRect>* list = ownList(b.type);
            b.listIndex = int(list->size());
            list->append(b.rect);
        }
        moved.append({b.isDefault, b.type, b.listIndex});
    }
    // Show what the frame now holds (a new default block replaces the one
    // before it), with the same boxes still selected.
    loadBoxes();
    for (ClsnBox& b : boxes)
        for (const Key& k : moved)
            if (b.isDefault == k.isDefault && b.type == k.type && b.listIndex == k.listIndex)
                b.selected = true;
    selectionActive = std::any_of(boxes.begin(), boxes.end(), [](const ClsnBox& b) { return b.selected; });
    updateGeometry();
    repaint();
    requestBoxes(toggleDefault ? tr("Change default boxes") : tr("Change box type"));
}

void QSprRender::toggleDefaultOfSelected()
{
    toggleSelected(true);
}

void QSprRender::toggleTypeOfSelected()
{
    toggleSelected(false);
}

void QSprRender::deleteSelectedBoxes()
{
    if (!selectionActive || !frame)
        return;
    // Remove from the back of each list so the other positions stay valid.
    QList<ClsnBox> chosen;
    for (const ClsnBox& b : boxes)
        if (b.selected)
            chosen.append(b);
    std::sort(chosen.begin(), chosen.end(), [](const ClsnBox& a, const ClsnBox& b) { return a.listIndex > b.listIndex; });
    for (const ClsnBox& b : chosen) {
        if (b.isDefault) {
            QList<ClsnDefaultBox>* list = defaultsOf(b.type);
            if (list && b.listIndex < list->size())
                list->removeAt(b.listIndex);
        } else {
            QList<ClsnRect>* list = ownList(b.type);
            if (list && b.listIndex < list->size())
                list->removeAt(b.listIndex);
        }
    }
    selectionActive = false;
    loadBoxes();
    refresh();
    requestBoxes(tr("Delete boxes"));
}

// ---------------------------------------------------------------------------
// Geometry

void QSprRender::updateGeometry()
{
    const double z = zoom();
    const int k = integerZoom();
    const int half = z > 1 ? k >> 1 : 0;
    const int w = spriteSize.width;
    const int h = spriteSize.height;

    int x1 = spriteRect.left();
    int y1 = spriteRect.top();
    if (mode == QRenderMode::SpriteMode) {
        x1 = truncScreen(axisScreen.x() - z * spriteInfo.axisX);
        y1 = truncScreen(axisScreen.y() - z * spriteInfo.axisY);
    } else if (frameSpriteIndex >= 0) {
        const int ax = (frameCopy.flip & 2) ? w - spriteInfo.axisX : spriteInfo.axisX;
        const int ay = (frameCopy.flip & 1) ? h - spriteInfo.axisY : spriteInfo.axisY;
        x1 = truncScreen(axisScreen.x() - z * (double(ax) - frameCopy.x));
        y1 = truncScreen(axisScreen.y() - z * (double(ay) - frameCopy.y));
    }
    spriteRect = fromCorners(x1, y1, x1 + truncScreen(z * w) - 1, y1 + truncScreen(z * h) - 1);

    const int aw = axisMarker.width() * k;
    const int ah = axisMarker.height() * k;
    const int ax1 = axisScreen.x() - half - (aw >> 1);
    const int ay1 = axisScreen.y() - half - (ah >> 1);
    axisMarkerRect = fromCorners(ax1, ay1, ax1 + aw - 1, ay1 + ah - 1);

    const int ow = offsetMarker.width() * k;
    const int oh = offsetMarker.height() * k;
    const int ox1 = truncScreen(axisScreen.x() - half + z * frameCopy.x - (ow >> 1));
    const int oy1 = truncScreen(axisScreen.y() - half + z * frameCopy.y - (oh >> 1));
    offsetMarkerRect = fromCorners(ox1, oy1, ox1 + ow - 1, oy1 + oh - 1);

    if (mode == QRenderMode::AnimationMode && frame)
        for (ClsnBox& b : boxes)
            b.screenRect = screenRectOf(b.rect);
    if (selectionActive)
        updateHandles();
}

void QSprRender::updateHandles()
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const ClsnBox& b : boxes) {
        if (!b.selected)
            continue;
        left = std::min(left, b.screenRect.left());
        top = std::min(top, b.screenRect.top());
        right = std::max(right, b.screenRect.right());
        bottom = std::max(bottom, b.screenRect.bottom());
    }
    if (left == INT_MAX) {
        // Nothing selected: the handles go far outside the view.
        left = top = 5000;
        right = bottom = -5000;
    }
    const int midX = left + (right - left) / 2;
    const int midY = top + (bottom - top) / 2;
    handles[0] = QPoint(left, top);
    handles[1] = QPoint(midX, top);
    handles[2] = QPoint(right, top);
    handles[3] = QPoint(right, midY);
    handles[4] = QPoint(left, midY);
    handles[5] = QPoint(left, bottom);
    handles[6] = QPoint(midX, bottom);
    handles[7] = QPoint(right, bottom);
}

void QSprRender::resized()
{
    rebuildBackground();
    axisScreen = QPoint(viewSize.width() >> 1, viewSize.height() >> 1);
    updateGeometry();
    repaint();
}

void QSprRender::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    zoomIndex = quint8(std::clamp(int(zoomIndex) + steps, 0, ZoomSteps - 1));
    updateGeometry();
    repaint();
}

// ---------------------------------------------------------------------------
// Mouse

int QSprRender::hitTest(const QPoint& p)
{
    if (showOffsetMarker && mode == QRenderMode::AnimationMode && offsetMarkerRect.contains(p))
        return 2;
    if (showAxisMarker && axisMarkerRect.contains(p))
        return 0;
    if (mode == QRenderMode::AnimationMode && frame && !boxes.isEmpty()) {
        if (selectionActive)
            for (int i = 0; i < 8; ++i)
                if (QRect(handles[i] - QPoint(4, 4), QSize(8, 8)).contains(p))
                    return 4 + i;
        // Only boxes the user can see take clicks. Overlapping boxes are
        // taken in turn: the search starts after the box hit last.
        const int n = int(boxes.size());
        const int start = lastHitBox >= 0 && lastHitBox < n ? lastHitBox + 1 : 0;
        for (int step = 0; step < n; ++step) {
            const int i = (start + step) % n;
            if (boxVisible(boxes.at(i)) && boxes.at(i).screenRect.contains(p)) {
                lastHitBox = i;
                return 3;
            }
        }
    }
    if (mode != QRenderMode::SpriteMode || drawPixels.isEmpty())
        return 0;
    return spriteRect.contains(p) ? 1 : 0;
}

void QSprRender::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool drawing = pressed && createMode && dragCode == 11;
    pressed = true;
    lastPos = pos;
    if (createMode) {
        if (e->button() == Qt::RightButton) {
            createMode = false;
            if (drawing) {
                // A box still being drawn is dropped.
                loadBoxes();
                updateGeometry();
            }
            dragCode = -1;
            repaint();
            emit clsnModeExit();
            return;
        }
        if (mode != QRenderMode::AnimationMode || !frame) {
            dragCode = -1;
            return;
        }
        dragCode = 11;
        for (ClsnBox& b : boxes)
            b.selected = false;
        // The new box starts as one pixel under the pointer and its far
        // corner follows the pointer.
        anchorTopLeft = pos;
        anchorBottomRight = pos;
        ClsnBox b;
        b.screenRect = b.startRect = QRect(pos, pos);
        b.type = createType;
        b.selected = true;
        b.listIndex = int(ownList(createType)->size());
        boxes.append(b);
        lastHitBox = int(boxes.size()) - 1;
        selectionActive = true;
        repaint();
        return;
    }

    dragCode = hitTest(pos);
    dragStart = dragCode == 1 ? QPoint(spriteInfo.axisX, spriteInfo.axisY) : QPoint(frameCopy.x, frameCopy.y);
    if (dragCode == 3) {
        ClsnBox& hit = boxes[lastHitBox];
        const bool adding = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
        if (!adding && !hit.selected)
            for (ClsnBox& b : boxes)
                b.selected = false;
        hit.selected = true;
        selectionActive = true;
        updateHandles();
        repaint();
    } else if (dragCode >= 4) {
        for (ClsnBox& b : boxes)
            if (b.selected)
                b.startRect = b.screenRect;
        anchorTopLeft = handles[0];
        anchorBottomRight = handles[7];
    } else {
        clearSelection();
        if (dragCode == 1 && pickColour && !spritePixels.isNull()) {
            // The pixel drawn under the pointer, by the mapping the drawing
            // uses; a point past the last column or row picks nothing.
            const int w = spriteSize.width;
            const int h = spriteSize.height;
            const int sx = sourceIndex(pos.x() - spriteRect.left(), w, spriteRect.width());
            const int sy = sourceIndex(pos.y() - spriteRect.top(), h, spriteRect.height());
            const qsizetype stride = ((qsizetype(w) * 8 + 31) >> 5) * 4;
            const qsizetype at = sy * stride + sx;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h && at < spritePixels.size())
                emit colorCaptured(uchar(spritePixels.at(at)));
        }
    }
}

void QSprRender::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const double z = zoom();
    if (pressed && dragCode >= 0) {
        int dx = pos.x() - lastPos.x();
        int dy = pos.y() - lastPos.y();
        const int sdx = int(std::floor(dx / z));
        const int sdy = int(std::floor(dy / z));
        if (z > 1 && dragCode != 0) {
            // Zoomed in, things move by whole sprite pixels; the remainder
            // stays in lastPos (or in the total, for resizes).
            if (dragCode == 5 || dragCode == 10) {
                dx = 0;
            } else {
                dx = sdx == 0 ? 0 : roundHalfUp(z * sdx);
                if (dragCode < 4)
                    lastPos.rx() += dx;
            }
            if (dragCode == 7 || dragCode == 8) {
                dy = 0;
            } else {
                dy = sdy == 0 ? 0 : roundHalfUp(z * sdy);
                if (dragCode < 4)
                    lastPos.ry() += dy;
            }
        }
        if (dx != 0 || dy != 0) {
            switch (dragCode) {
            case 0:
                axisScreen += QPoint(dx, dy);
                updateGeometry();
                break;
            case 1:
                if (mode == QRenderMode::SpriteMode && sprites && currentIndex < sprites->spriteCount()) {
                    spriteRect.translate(dx, dy);
                    offsetMarkerRect.translate(dx, dy);
                    spriteInfo.axisX = clampAxis(spriteInfo.axisX - sdx);
                    spriteInfo.axisY = clampAxis(spriteInfo.axisY - sdy);
                    emit axisChanged(QRenderMode::SpriteMode, QPoint(spriteInfo.axisX, spriteInfo.axisY));
                }
                break;
            case 2:
                if (frame) {
                    spriteRect.translate(dx, dy);
                    offsetMarkerRect.translate(dx, dy);
                    frameCopy.x = clampInt(qint64(frameCopy.x) + sdx);
                    frameCopy.y = clampInt(qint64(frameCopy.y) + sdy);
                    emit axisChanged(QRenderMode::AnimationMode, QPoint(frameCopy.x, frameCopy.y));
                }
                break;
            case 3:
                for (ClsnBox& b : boxes)
                    if (b.selected)
                        b.screenRect.translate(dx, dy);
                for (QPoint& h : handles)
                    h += QPoint(dx, dy);
                break;
            default: {
                // Resize: the selection's bounding box (pixel boundaries, so
                // right = last column + 1) is stretched so that the dragged
                // edges follow the pointer and the opposite ones stay put;
                // every selected box scales with it.
                const int c = dragCode;
                const bool leftEdge = c == 4 || c == 8 || c == 9;
                const bool topEdge = c == 4 || c == 5 || c == 6;
                const bool horizontal = c != 5 && c != 10;
                const bool vertical = c != 7 && c != 8;
                const double left = anchorTopLeft.x(), right = anchorBottomRight.x() + 1.0;
                const double top = anchorTopLeft.y(), bottom = anchorBottomRight.y() + 1.0;
                const double w = std::max(right - left, 1.0);
                const double h = std::max(bottom - top, 1.0);
                const double sX = horizontal ? (w + (leftEdge ? -dx : dx)) / w : 1.0;
                const double sY = vertical ? (h + (topEdge ? -dy : dy)) / h : 1.0;
                auto mapX = [&](double v) { return leftEdge ? right - (right - v) * sX : left + (v - left) * sX; };
                auto mapY = [&](double v) { return topEdge ? bottom - (bottom - v) * sY : top + (v - top) * sY; };
                for (ClsnBox& b : boxes) {
                    if (!b.selected)
                        continue;
                    const QRect& s = b.startRect;
                    // Dragged past its opposite edge a box turns over; it
                    // then still covers the pixel it was anchored at and the
                    // one under the pointer.
                    auto span = [](double a, double b, int& lo, int& hi) {
                        const int ia = roundHalfUp(std::clamp(a, -ScreenLimit, ScreenLimit));
                        const int ib = roundHalfUp(std::clamp(b, -ScreenLimit, ScreenLimit));
                        lo = ib < ia ? ib - 1 : ia;
                        hi = ib < ia ? ia + 1 : ib;
                    };
                    int x1, x2, y1, y2;
                    span(mapX(s.left()), mapX(s.right() + 1.0), x1, x2);
                    span(mapY(s.top()), mapY(s.bottom() + 1.0), y1, y2);
                    b.screenRect = fromCorners(x1, y1, x2 - 1, y2 - 1);
                }
                if (!createMode)
                    updateHandles();
                break;
            }
            }
            repaint();
        }
    }
    if (dragCode < 4 && (z < 2 || dragCode == 0))
        lastPos = pos;
}

void QSprRender::mouseReleaseEvent(QMouseEvent*)
{
    pressed = false;
    // A drag of the axis or the offset is one edit, asked for when it ends.
    if (dragCode == 1 && mode == QRenderMode::SpriteMode && QPoint(spriteInfo.axisX, spriteInfo.axisY) != dragStart)
        emit spriteAxisMoved(currentIndex, QPoint(spriteInfo.axisX, spriteInfo.axisY));
    if (dragCode == 2 && frame && QPoint(frameCopy.x, frameCopy.y) != dragStart)
        emit frameOffsetMoved(currentIndex, frameIndex, QPoint(frameCopy.x, frameCopy.y));
    if (dragCode < 3)
        return;
    const double z = zoom();
    bool edited = false;
    bool added = false;
    for (ClsnBox& b : boxes) {
        if (!b.selected)
            continue;
        const QRect shown = screenRectOf(b.rect);
        const bool created = createMode && dragCode == 11 && !b.isDefault && frame
                             && b.listIndex == ownList(b.type)->size();
        if (!created && b.screenRect == shown)
            continue; // only clicked: the values stay exactly as they were
        ClsnRect r;
        if (dragCode == 3 && !created) {
            // A move keeps the box's size at every zoom.
            const int mx = roundHalfUp((b.screenRect.left() - shown.left()) / z);
            const int my = roundHalfUp((b.screenRect.top() - shown.top()) / z);
            r = {clampInt(qint64(b.rect.x1) + mx), clampInt(qint64(b.rect.y1) + my),
                 clampInt(qint64(b.rect.x2) + mx), clampInt(qint64(b.rect.y2) + my)};
        } else {
            const QRect s = normalisedCorners(b.screenRect);
            r.x1 = roundHalfUp((s.left() - axisScreen.x()) / z);
            r.y1 = roundHalfUp((s.top() - axisScreen.y()) / z);
            r.x2 = roundHalfUp((double(s.right()) + 1 - axisScreen.x()) / z);
            r.y2 = roundHalfUp((double(s.bottom()) + 1 - axisScreen.y()) / z);
        }
        b.rect = r;
        if (created) {
            ownList(b.type)->append(r);
            ++clsnCount[b.type];
            added = true;
        } else {
            writeBack(b);
        }
        edited = true;
    }
    updateGeometry();
    if (createMode)
        updateHandles();
    repaint();
    if (edited)
        requestBoxes(added ? tr("Add box") : dragCode == 3 ? tr("Move boxes") : tr("Resize boxes"));
}

// ---------------------------------------------------------------------------
// Drawing

void QSprRender::paint(QPainter* painter, QPaintEvent* e)
{
    if (viewSize.isEmpty())
        return;
    if (canvas.size() != viewSize)
        canvas = QImage(viewSize, QImage::Format_RGB888);
    const QRect area = (e ? e->rect() : canvas.rect()) & canvas.rect();
    render(canvas, area);
    painter->drawImage(0, 0, canvas);
}

void QSprRender::render(QImage& image, const QRect& area)
{
    if (image.isNull() || area.isEmpty())
        return;
    if (background.size() != image.size() || backgroundFilled != backgroundSerial) {
        background = QImage(image.size(), QImage::Format_RGB888);
        QPainter p(&background);
        p.fillRect(background.rect(), backgroundBrush);
        backgroundFilled = backgroundSerial;
    }
    const QRect fill = area & image.rect();
    for (int y = fill.top(); y <= fill.bottom(); ++y)
        std::memcpy(image.scanLine(y) + fill.left() * 3, background.constScanLine(y) + fill.left() * 3,
                    size_t(fill.width()) * 3);
    drawSprite(image, area);
    QPainter p(&image);
    p.setClipRect(area);
    if (mode == QRenderMode::AnimationMode && frame) {
        drawBoxes(p, area);
        if (selectionActive && (!createMode || !pressed)) {
            p.setPen(QPen(Qt::gray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            p.setBrush(Qt::white);
            for (const QPoint& h : handles)
                if (area.adjusted(-8, -8, 8, 8).contains(h))
                    p.drawRect(QRect(h - QPoint(4, 4), QSize(7, 7)));
        }
    }
    if (showAxisMarker && !axisMarker.isNull())
        p.drawImage(axisMarkerRect, axisMarker);
    if (showOffsetMarker && !offsetMarker.isNull())
        p.drawImage(offsetMarkerRect, offsetMarker);
}

void QSprRender::drawBoxes(QPainter& p, const QRect& area)
{
    const double z = zoom();
    const int penWidth = z > 1 ? roundHalfUp(z) : 1;
    // Boxes reaching far outside the view are cut to a margin around it, so
    // their edges outside stay outside.
    const QRect limit = area.adjusted(-penWidth - 2, -penWidth - 2, penWidth + 2, penWidth + 2);
    for (const ClsnBox& b : boxes) {
        if (!boxVisible(b) || b.screenRect.isEmpty())
            continue;
        const QRect r = b.screenRect & limit;
        if (r.isEmpty())
            continue;
        const QColor colour = b.type == 0 ? QColor(Qt::red) : QColor(Qt::blue);
        if (b.isDefault) {
            p.setOpacity(0.25);
            p.fillRect(r, colour);
        }
        p.setOpacity(1.0);
        p.setPen(QPen(colour, penWidth, Qt::SolidLine));
        p.setBrush(b.selected ? QBrush(Qt::black, Qt::BDiagPattern) : QBrush(Qt::NoBrush));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setOpacity(1.0);
}

void QSprRender::drawSprite(QImage& image, const QRect& area)
{
    if (!sprites || image.format() != QImage::Format_RGB888)
        return;
    BlitParams params;
    int index = -1;
    if (mode == QRenderMode::SpriteMode) {
        index = currentIndex;
    } else {
        index = frameSpriteIndex;
        params.transparency = frameCopy.transparency;
        params.srcAlpha = frameCopy.srcAlpha;
        params.dstAlpha = frameCopy.dstAlpha;
    }
    const int flip = mode == QRenderMode::SpriteMode ? 0 : frameCopy.flip;
    if (index < 0 || index >= sprites->spriteCount())
        return;
    const int w = spriteSize.width;
    const int h = spriteSize.height;
    const QRect vis = spriteRect & area & image.rect();
    if (w == 0 || h == 0 || vis.isEmpty())
        return;
    if (drawIndex != index)
        takeDrawPixels(index);

    PixelFormat format;
    int bits;
    QByteArray palette;
    switch (spriteSize.imageFormat) {
    case QImage::Format_Indexed8:
        if (paletteIndex < 0 || paletteIndex >= sprites->paletteCount())
            return;
        palette = sprites->paletteData(paletteIndex);
        if (palette.size() < 768)
            palette.resize(768, '\0');
        params.palette = reinterpret_cast<const uchar*>(palette.constData());
        format = Indexed;
        bits = 8;
        break;
    case QImage::Format_RGB888:
        format = Rgb24;
        bits = 24;
        break;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        format = Argb32;
        bits = 32;
        break;
    case QImage::Format_RGB32:
        format = Rgb32;
        bits = 32;
        break;
    default:
        return;
    }
    const int stride = int(((qint64(w) * bits + 31) >> 5) * 4);
    QByteArray bytes = drawPixels;
    if (bytes.size() < qsizetype(stride) * h)
        bytes.resize(qsizetype(stride) * h, '\0'); // what the store lacks shows as transparent
    params.showTransparent = showTransparentColour;

    const int rw = spriteRect.width();
    const int rh = spriteRect.height();
    QList<ColumnRun> runs;
    for (int x = vis.left(); x <= vis.right(); ++x) {
        int off = x - spriteRect.left();
        if (flip & 2)
            off = (rw - 1) - off;
        const int source = sourceIndex(off, w, rw);
        if (!runs.isEmpty() && runs.last().source == source)
            ++runs.last().length;
        else
            runs.append({source, 1});
    }
    QList<int> rows(vis.height());
    for (int y = vis.top(); y <= vis.bottom(); ++y) {
        int off = y - spriteRect.top();
        if (flip & 1)
            off = (rh - 1) - off;
        rows[y - vis.top()] = sourceIndex(off, h, rh);
    }
    const uchar* src = reinterpret_cast<const uchar*>(bytes.constData());
    switch (format) {
    case Indexed: blitFormat<Indexed>(image, vis, runs, rows.constData(), src, stride, params); break;
    case Rgb24: blitFormat<Rgb24>(image, vis, runs, rows.constData(), src, stride, params); break;
    case Argb32: blitFormat<Argb32>(image, vis, runs, rows.constData(), src, stride, params); break;
    case Rgb32: blitFormat<Rgb32>(image, vis, runs, rows.constData(), src, stride, params); break;
    }
}

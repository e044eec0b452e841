#ifndef QSPRRENDER_H
#define QSPRRENDER_H

#include "qanimations.h"
#include "qremapmodel.h"
#include "qrenderer.h"
#include "qsprites.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace morvane {
enum class QRenderMode { SpriteMode = 0, AnimationMode = 1 };
} // namespace morvane
using morvane::QRenderMode;

// One collision box as the view shows it.
struct ClsnBox
{
    ClsnRect rect;      // sprite units relative to the axis
    int fromFrame = 0;  // default boxes: the frame their block stands in front of
    QRect screenRect;   // widget pixels, inclusive corners
    QRect startRect;    // screenRect when a resize began
    int type = 0;       // 0 Clsn1 (attack), 1 Clsn2 (collision)
    bool isDefault = false;
    bool selected = false;
    int listIndex = 0;  // position of the record in its source list
};

// Shows a sprite of the archive, or a frame of an action with its collision
// boxes, and edits them with the mouse: the sprite axis and the frame offset
// are dragged, boxes are selected, moved, resized, created.
//
// It never writes into the documents: it keeps its own copy of what it shows,
// and each finished gesture becomes a request (an axis moved, the boxes
// changed) that the page turns into an undo step. It redraws by itself when
// the documents say they changed.
class QSprRender : public QRenderer
{
    Q_OBJECT
public:
    explicit QSprRender(QObject* parent = nullptr);

    void setSprites(const QSprites* s);
    void setAnimations(const QAnimations* a);
    QReMapModel* remapModel() { return &remap; }

    void setSource(int index, QRenderMode mode);
    void setFrame(int frameIndex);
    // Chooses the palette (index < 0: the sprite's own) and applies the remap
    // table; returns the remapped index or -1 when no row applies.
    int setPalette(int index);
    void reset();
    void refresh();
    void setClsnVisibility(bool clsn1, bool clsn2, bool defaults);
    void setShowTransparentColour(bool on);
    void setColourPick(bool on);
    void setCreateMode(bool on, int type);
    void clearSelection();
    void toggleDefaultOfSelected();
    void toggleTypeOfSelected();
    void deleteSelectedBoxes();

    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resized() override;
    void paint(QPainter* painter, QPaintEvent* e) override;

    // Draws the whole view into `image` (RGB888, the view's size): what paint
    // puts on the widget.
    void render(QImage& image, const QRect& area);

    // The drag code for a point: 0 pan, 1 sprite, 2 frame offset, 3 box,
    // 4 + i resize handle i. Repeated calls on overlapping boxes cycle them.
    int hitTest(const QPoint& p);
    void updateGeometry();
    void updateHandles();
    void loadBoxes();
    // Integer zoom used for marker sizes and box pen widths.
    int integerZoom() const;

    // -- state the window reads and edits --
    const QSprites* sprites = nullptr;
    const QAnimations* animations = nullptr;
    QReMapModel remap;
    QRenderMode mode = QRenderMode::SpriteMode;
    int currentIndex = 0;
    QString actionName;
    int actionNumber = 0;
    SpriteInfo spriteInfo;
    SpriteSize spriteSize;
    QByteArray spritePixels; // 8-bit pixel rows of the sprite in sprite mode
    int paletteIndex = 0;    // the palette drawn with, after the remap table
    int chosenPalette = 0;   // the palette asked for, before the remap table
    int paletteRequest = -1; // what setPalette was given: -1 for the sprite's own
    const AirFrame* frame = nullptr;
    int frameIndex = 0;
    AirFrame frameCopy; // scalar fields only, as the view shows them
    FrameBoxes work;    // the boxes the frame shows, edited by the mouse
    int frameSpriteIndex = -1;
    QList<ClsnBox> boxes;
    int clsnCount[2] = {0, 0};
    int lastHitBox = -1;
    bool selectionActive = false;
    QPoint handles[8];
    bool createMode = false;
    int createType = 0;
    bool pressed = false;
    QPoint lastPos;
    int dragCode = -1;
    QPoint anchorTopLeft;
    QPoint anchorBottomRight;
    QRect spriteRect;
    QRect axisMarkerRect;
    QRect offsetMarkerRect;
    QImage axisMarker;
    QImage offsetMarker;
    bool showAxisMarker = true;
    bool showOffsetMarker = false;
    bool showClsn1 = false;
    bool showClsn2 = false;
    bool showDefaultClsn = false;
    bool showTransparentColour = false;
    bool pickColour = false;

signals:
    // While the axis or the frame offset is dragged: where it is now.
    void axisChanged(QRenderMode mode, QPoint axis);
    void clsnModeExit();
    void colorCaptured(uchar index);
    // A finished gesture, to become an undo step: the sprite's axis dragged to
    // `axis`, the frame's offset dragged to `offset`, the frame's boxes (and
    // its action's defaults) moved, resized, created, retyped or deleted.
    void spriteAxisMoved(int sprite, QPoint axis);
    void frameOffsetMoved(int action, int frame, QPoint offset);
    void boxesChanged(int action, int frame, const FrameBoxes& boxes, const QString& text);

private:
    bool boxVisible(const ClsnBox& b) const;
    QList<ClsnRect>* ownList(int type);
    QList<ClsnDefaultBox>* defaultsOf(int type);
    // Asks for the boxes as the view now shows them.
    void requestBoxes(const QString& text);
    // The documents changed: show what they hold now, keeping the zoom, the
    // palette asked for and the boxes selected.
    void spritesChanged();
    void spriteChanged(int index);
    void paletteChanged(int index);
    void animationChanged(int action);
    void reloadFrame();
    void writeBack(const ClsnBox& b);
    QRect screenRectOf(const ClsnRect& r) const;
    void toggleSelected(bool toggleDefault);
    // Bytes of the sprite to draw, taken when the source or frame changes.
    void takeDrawPixels(int spriteIndex);
    void drawSprite(QImage& image, const QRect& area);
    void drawBoxes(QPainter& p, const QRect& area);

    QPoint dragStart;         // the axis or offset when a drag began
    int drawIndex = -1;       // sprite whose bytes drawPixels holds
    QByteArray drawPixels;
    QImage canvas;
    // The background brush filled once per size and colour change.
    QImage background;
    quint64 backgroundFilled = 0;
};

#endif

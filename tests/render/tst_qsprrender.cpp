// The sprite renderer: view geometry, drawing and every mouse interaction,
// checked with numbers (pixel positions, box values, colours).
#include "qanimations.h"
#include "qmessages.h"
#include "qsprites.h"
#include "qsprrender.h"
#include "testsupport.h"

#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

Q_DECLARE_METATYPE(ClsnRect)

namespace {

QRgb paletteColour(int i)
{
    return qRgb(i, (i * 7) & 255, 255 - i);
}

// An 8-bit image whose pixel (x, y) holds `pixel(x, y)`, with the colour table
// paletteColour().
QImage indexedImage(int w, int h, const std::function<int(int, int)>& pixel)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << paletteColour(i);
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, uint(pixel(x, y)));
    return img;
}

int addSprite(QSprites& s, int group, int number, int ax, int ay, const QImage& img)
{
    s.addSprite();
    const int i = s.spriteCount() - 1;
    s.setImage(i, img);
    SpriteInfo info = s.spriteInfo(i);
    info.group = quint16(group);
    info.number = quint16(number);
    info.axisX = qint16(ax);
    info.axisY = qint16(ay);
    s.setSpriteInfo(i, info);
    return i;
}

struct View
{
    QMessages messages;
    QSprites sprites{&messages, BlobsInMemory, false, -1};
    QAnimations anims{&messages};
    QSprRender r;

    explicit View(QSize size = QSize(200, 200))
    {
        r.setSprites(&sprites);
        r.setAnimations(&anims);
        r.setBackground(QColor(10, 20, 30), QColor(10, 20, 30));
        r.viewSize = size;
        r.resized();
    }

    // An action with the given AIR text, shown at frame f with every box visible.
    void showAction(const QByteArray& air, int f = 0)
    {
        anims.clear();
        anims.parse(air, "v.air");
        r.setClsnVisibility(true, true, true);
        r.setSource(0, AnimationMode);
        r.setFrame(f);
        r.setPalette(-1);
    }

    QImage image()
    {
        QImage img(r.viewSize, QImage::Format_RGB888);
        r.render(img, img.rect());
        return img;
    }

    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QMouseEvent e(QEvent::MouseButtonPress, p, p, b, b, m);
        r.mousePressEvent(&e);
    }
    void move(QPoint p, Qt::MouseButtons b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QMouseEvent e(QEvent::MouseMove, p, p, Qt::NoButton, b, m);
        r.mouseMoveEvent(&e);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QMouseEvent e(QEvent::MouseButtonRelease, p, p, b, Qt::NoButton, Qt::NoModifier);
        r.mouseReleaseEvent(&e);
    }
    void click(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        press(p, Qt::LeftButton, m);
        release(p);
    }
    void wheel(int delta)
    {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        r.wheelEvent(&e);
    }
    void setZoom(int index)
    {
        r.zoomIndex = quint8(index);
        r.updateGeometry();
    }
    QList<int> selected() const
    {
        QList<int> out;
        for (int i = 0; i < r.boxes.size(); ++i)
            if (r.boxes.at(i).selected)
                out << i;
        return out;
    }
};

QRect corners(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

bool normalised(const ClsnRect& r)
{
    return r.x1 <= r.x2 && r.y1 <= r.y2;
}

} // namespace

class TestSprRender : public QObject
{
    Q_OBJECT
private slots:
    void wheelStepsAndClamps_data();
    void wheelStepsAndClamps();
    void resizeRecentres();
    void geometry_data();
    void geometry();
    void spriteRectangles();
    void clickKeepsBoxValuesAtEveryZoom();
    void columnMapping_data();
    void columnMapping();
    void transparency_data();
    void transparency();
    void dragSpriteAxis();
    void dragFrameOffset();
    void quantisedBoxMoveAtZoom4();
    void clicksCycleOverlappingBoxes();
    void shiftAndCtrlSelection();
    void hiddenBoxesTakeNoClicks();
    void createMode();
    void resizeByCornerHandle();
    void togglesAndDeletion();
    void defaultBlockShown_data();
    void defaultBlockShown();
    void colourPick_data();
    void colourPick();
    void trueColourSpriteDrawsItsOwnColours();
    void randomMouseLeavesBoxesNormalised();
    void snapshots();
};

// ---------------------------------------------------------------------------

void TestSprRender::wheelStepsAndClamps_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("two notches") << 2 << 240 << 4;
    QTest::newRow("stops at factor 8") << 8 << 360 << 9;
    QTest::newRow("stops at factor 0.25") << 1 << -600 << 0;
    QTest::newRow("half notch does nothing") << 2 << 60 << 2;
    QTest::newRow("almost a notch back does nothing") << 2 << -119 << 2;
    QTest::newRow("one notch back") << 2 << -120 << 1;
}

void TestSprRender::wheelStepsAndClamps()
{
    QFETCH(int, start);
    QFETCH(int, delta);
    QFETCH(int, expected);
    View v;
    v.r.zoomIndex = quint8(start);
    v.press({20, 20}); // pan first: zooming keeps the axis where it is
    v.move({27, 25});
    v.release({27, 25});
    const QPoint axis = v.r.axisScreen;
    QCOMPARE(axis, QPoint(107, 105));
    QSignalSpy repaints(&v.r, &QRenderer::repaintNeeded);
    v.wheel(delta);
    QCOMPARE(int(v.r.zoomIndex), expected);
    QCOMPARE(v.r.axisScreen, axis);
    QCOMPARE(repaints.count(), 1);
}

void TestSprRender::resizeRecentres()
{
    View v(QSize(101, 60));
    QCOMPARE(v.r.axisScreen, QPoint(50, 30));
    v.press({5, 5});
    v.move({15, 8});
    QCOMPARE(v.r.axisScreen, QPoint(60, 33));
    v.release({15, 8});
    v.r.viewSize = QSize(300, 151);
    v.r.resized();
    QCOMPARE(v.r.axisScreen, QPoint(150, 75));
    // Before any colours are set the background paints black.
    QSprRender fresh;
    fresh.viewSize = QSize(4, 4);
    fresh.resized();
    QImage img(4, 4, QImage::Format_RGB888);
    fresh.render(img, img.rect());
    QCOMPARE(img.pixel(1, 1), qRgb(0, 0, 0));
}

void TestSprRender::geometry_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("box");         // screen rect of the box (-10,-20,10,0)
    QTest::addColumn<QRect>("axisMarker");  // 11 x 11 marker
    QTest::addColumn<QRect>("offsetMarker"); // 9 x 9 marker, frame offset (5, -3)
    // Axis at (100, 100). half = k >> 1 shifts boxes and markers at z > 1.
    QTest::newRow("0.25") << 0 << corners(97, 95, 101, 99) << corners(95, 95, 105, 105) << corners(97, 95, 105, 103);
    QTest::newRow("1") << 2 << corners(90, 80, 109, 99) << corners(95, 95, 105, 105) << corners(101, 93, 109, 101);
    QTest::newRow("3") << 4 << corners(69, 39, 128, 98) << corners(83, 83, 115, 115) << corners(101, 77, 127, 103);
    QTest::newRow("4") << 5 << corners(58, 18, 137, 97) << corners(76, 76, 119, 119) << corners(100, 68, 135, 103);
    QTest::newRow("8") << 9 << corners(16, -64, 175, 95) << corners(52, 52, 139, 139) << corners(100, 36, 171, 107);
}

void TestSprRender::geometry()
{
    QFETCH(int, zoom);
    QFETCH(QRect, box);
    QFETCH(QRect, axisMarker);
    QFETCH(QRect, offsetMarker);
    View v;
    QCOMPARE(v.r.axisMarker.size(), QSize(11, 11));
    QCOMPARE(v.r.offsetMarker.size(), QSize(9, 9));
    v.showAction("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = -10,-20,10,0\n0,0, 5,-3, 5\n");
    v.setZoom(zoom);
    QCOMPARE(v.r.boxes.size(), 1);
    QCOMPARE(v.r.boxes.at(0).screenRect, box);
    QCOMPARE(v.r.axisMarkerRect, axisMarker);
    QCOMPARE(v.r.offsetMarkerRect, offsetMarker);

    // Handles sit on the corners and edge middles of the selection. (Below
    // zoom 1 the box hides under the axis marker.)
    if (zoom < 2)
        return;
    v.click(box.center());
    QCOMPARE(v.selected(), QList<int>{0});
    const QPoint mid(box.left() + (box.right() - box.left()) / 2, box.top() + (box.bottom() - box.top()) / 2);
    const QPoint expected[8] = {box.topLeft(),    {mid.x(), box.top()},     box.topRight(),
                                {box.right(), mid.y()}, {box.left(), mid.y()}, box.bottomLeft(),
                                {mid.x(), box.bottom()}, box.bottomRight()};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(v.r.handles[i], expected[i]);
}

void TestSprRender::spriteRectangles()
{
    View v;
    addSprite(v.sprites, 3, 1, 10, 15, indexedImage(30, 40, [](int, int) { return 5; }));
    v.r.setSource(0, SpriteMode);
    v.setZoom(3); // factor 2
    QCOMPARE(v.r.spriteRect, corners(80, 70, 139, 149));
    v.setZoom(0); // 0.25: 100 - 2.5 truncates to 97
    QCOMPARE(v.r.spriteRect, corners(97, 96, 103, 105));

    // A frame flipped horizontally mirrors about the axis; the offset moves it.
    v.showAction("[Begin Action 0]\n3,1, 5,-3, 5, H\n3,1, 5,-3, 5, VH\n");
    v.setZoom(2);
    QCOMPARE(v.r.frameSpriteIndex, 0);
    QCOMPARE(v.r.spriteRect, corners(85, 82, 114, 121)); // ax = 30 - 10 = 20
    v.r.setFrame(1);
    QCOMPARE(v.r.spriteRect, corners(85, 72, 114, 111)); // ay = 40 - 15 = 25
}

void TestSprRender::clickKeepsBoxValuesAtEveryZoom()
{
    for (int zoom = 0; zoom < QRenderer::ZoomSteps; ++zoom) {
        View v(QSize(301, 301));
        v.showAction("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = -13, -79, 16, 0\n"
                     "Clsn1: 1\n Clsn1[0] = 3, -7, 41, -2\n0,0, 0,0, 5\n");
        v.setZoom(zoom);
        for (int i = 0; i < v.r.boxes.size(); ++i) {
            const QRect s = v.r.boxes.at(i).screenRect;
            if (s.isEmpty())
                continue;
            // A click on the box, and a press and release on each handle.
            v.click(s.center());
            for (int h = 0; h < 8; ++h)
                v.click(v.r.handles[h]);
        }
        const AirAction* a = v.anims.action(0);
        QCOMPARE(a->clsn2Default.at(0), (ClsnDefaultBox{-13, -79, 16, 0, 0}));
        QCOMPARE(a->frames.at(0)->clsn1.at(0), (ClsnRect{3, -7, 41, -2}));
    }
}

void TestSprRender::columnMapping_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("flip");
    QTest::addColumn<QList<int>>("indices"); // palette index of each screen column of the sprite
    // A 3 x 1 sprite with indices 1, 2, 3, or 4 x 1 with 1, 2, 3, 4 at zoom 0.5.
    QTest::newRow("zoom 3") << 4 << "" << QList<int>{1, 1, 1, 2, 2, 2, 3, 3, 3};
    QTest::newRow("zoom 3 flipped") << 4 << ", H" << QList<int>{3, 3, 3, 2, 2, 2, 1, 1, 1};
    QTest::newRow("zoom 1") << 2 << "" << QList<int>{1, 2, 3};
    QTest::newRow("zoom 0.5") << 1 << "" << QList<int>{1, 3};
}

void TestSprRender::columnMapping()
{
    QFETCH(int, zoom);
    QFETCH(QString, flip);
    QFETCH(QList<int>, indices);
    View v;
    const int w = zoom == 1 ? 4 : 3;
    addSprite(v.sprites, 1, 0, -20, -20, indexedImage(w, 2, [](int x, int) { return x + 1; }));
    v.showAction("[Begin Action 0]\n1,0, 0,0, 5" + flip.toLatin1() + "\n");
    v.setZoom(zoom);
    const QImage img = v.image();
    QCOMPARE(v.r.spriteRect.width(), indices.size());
    for (int i = 0; i < indices.size(); ++i)
        QCOMPARE(img.pixel(v.r.spriteRect.left() + i, v.r.spriteRect.top()), paletteColour(indices.at(i)));
    // Just outside: background.
    QCOMPARE(img.pixel(v.r.spriteRect.right() + 1, v.r.spriteRect.top()), qRgb(10, 20, 30));
    // A palette index outside the list draws no sprite.
    v.r.setPalette(7);
    QCOMPARE(v.image().pixel(v.r.spriteRect.topLeft()), qRgb(10, 20, 30));
}

void TestSprRender::transparency_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("showTransparent");
    QTest::addColumn<QRgb>("pixel1"); // drawn over (100, 200, 50) with colour (200, 100, 10)
    QTest::addColumn<QRgb>("pixel0"); // index 0
    const QRgb bg = qRgb(100, 200, 50);
    QTest::newRow("none") << "" << false << qRgb(200, 100, 10) << bg;
    QTest::newRow("transparent colour shown") << "" << true << qRgb(200, 100, 10) << qRgb(7, 8, 9);
    QTest::newRow("additive") << ", ,A" << false << qRgb(255, 255, 60) << bg;
    QTest::newRow("additive A1") << ", ,A1" << false << qRgb(200, 250, 55) << bg;
    QTest::newRow("additive 64/192") << ", ,AS64D192" << false << qRgb(125, 175, 39) << bg;
    QTest::newRow("additive 0/999") << ", ,AS0D999" << false << qRgb(255, 255, 195) << bg;
    QTest::newRow("subtractive") << ", ,S" << false << qRgb(0, 100, 40) << bg;
    QTest::newRow("subtractive index 0 shown") << ", ,S" << true << qRgb(0, 100, 40) << qRgb(93, 192, 41);
}

void TestSprRender::transparency()
{
    QFETCH(QString, field);
    QFETCH(bool, showTransparent);
    QFETCH(QRgb, pixel1);
    QFETCH(QRgb, pixel0);
    View v;
    const QColor bg(100, 200, 50);
    v.r.setBackground(bg, bg);
    addSprite(v.sprites, 1, 0, -40, -40, indexedImage(2, 1, [](int x, int) { return x; }));
    QByteArray colours = v.sprites.paletteData(0);
    colours[0] = 7, colours[1] = 8, colours[2] = 9;
    colours[3] = char(200), colours[4] = char(100), colours[5] = char(10);
    v.sprites.setPaletteData(0, colours);
    v.showAction("[Begin Action 0]\n1,0, 0,0, 5" + field.toLatin1() + "\n");
    v.r.setShowTransparentColour(showTransparent);
    const QImage img = v.image();
    QCOMPARE(img.pixel(v.r.spriteRect.left(), v.r.spriteRect.top()), pixel0);
    QCOMPARE(img.pixel(v.r.spriteRect.left() + 1, v.r.spriteRect.top()), pixel1);
}

void TestSprRender::dragSpriteAxis()
{
    View v;
    addSprite(v.sprites, 0, 0, 10, 20, indexedImage(30, 40, [](int, int) { return 1; }));
    v.r.setSource(0, SpriteMode);
    QSignalSpy axis(&v.r, &QSprRender::axisChanged);
    const QPoint start = v.r.spriteRect.topLeft() + QPoint(2, 2);
    v.press(start);
    QCOMPARE(v.r.dragCode, 1);
    for (int i = 1; i <= 10; ++i)
        v.move(start + QPoint(i, 0));
    v.release(start + QPoint(10, 0));
    QCOMPARE(axis.count(), 10);
    QCOMPARE(v.sprites.spriteInfo(0).axisX, qint16(0));
    QCOMPARE(v.sprites.spriteInfo(0).axisY, qint16(20));
    QCOMPARE(axis.last().at(0).value<QRenderMode>(), SpriteMode);
    QCOMPARE(axis.last().at(1).toPoint(), QPoint(0, 20));
    QCOMPARE(v.r.spriteRect.topLeft(), QPoint(100, 80));

    // At zoom 4 the axis moves by whole sprite pixels: 3 screen pixels do
    // nothing, the 4th moves it by one.
    v.setZoom(5);
    const QPoint p = v.r.spriteRect.topLeft() + QPoint(5, 5);
    v.press(p);
    v.move(p + QPoint(0, 3));
    QCOMPARE(v.sprites.spriteInfo(0).axisY, qint16(20));
    v.move(p + QPoint(0, 4));
    QCOMPARE(v.sprites.spriteInfo(0).axisY, qint16(19));
    v.move(p + QPoint(0, 7));
    QCOMPARE(v.sprites.spriteInfo(0).axisY, qint16(19));
    v.move(p + QPoint(0, 8));
    QCOMPARE(v.sprites.spriteInfo(0).axisY, qint16(18));
    v.release(p + QPoint(0, 8));
}

void TestSprRender::dragFrameOffset()
{
    View v;
    addSprite(v.sprites, 0, 0, 0, 0, indexedImage(8, 8, [](int, int) { return 1; }));
    v.showAction("[Begin Action 0]\n0,0, 5,-3, 5\n");
    QSignalSpy axis(&v.r, &QSprRender::axisChanged);
    v.setZoom(3); // factor 2
    const QPoint p = v.r.offsetMarkerRect.center();
    v.press(p);
    QCOMPARE(v.r.dragCode, 2);
    v.move(p + QPoint(1, 0)); // half a sprite pixel: nothing yet
    QCOMPARE(axis.count(), 0);
    v.move(p + QPoint(6, -2));
    v.release(p + QPoint(6, -2));
    const AirFrame* f = v.anims.frame(0, 0);
    QCOMPARE(f->x, 8);
    QCOMPARE(f->y, -4);
    QCOMPARE(axis.last().at(1).toPoint(), QPoint(8, -4));
}

void TestSprRender::quantisedBoxMoveAtZoom4()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn1: 2\n Clsn1[0] = 10,10,20,20\n Clsn1[1] = 40,40,50,50\n0,0, 0,0, 5\n");
    v.setZoom(5);
    const QRect before = v.r.boxes.at(0).screenRect;
    const QPoint p = before.center();
    v.press(p);
    QCOMPARE(v.r.dragCode, 3);
    v.move(p + QPoint(1, 0));
    v.move(p + QPoint(3, 0));
    QCOMPARE(v.r.boxes.at(0).screenRect, before);
    v.move(p + QPoint(4, 0));
    QCOMPARE(v.r.boxes.at(0).screenRect, before.translated(4, 0));
    QSignalSpy edited(&v.r, &QSprRender::boxesEdited);
    v.release(p + QPoint(4, 0));
    QCOMPARE(v.anims.frame(0, 0)->clsn1.at(0), (ClsnRect{11, 10, 21, 20}));
    QCOMPARE(edited.count(), 1);

    // At zoom 0.25 a move keeps the box's size.
    v.setZoom(0);
    const QPoint q = v.r.boxes.at(1).screenRect.center();
    v.press(q);
    QCOMPARE(v.r.dragCode, 3);
    QCOMPARE(v.selected(), QList<int>{1});
    v.move(q + QPoint(-1, 2));
    v.release(q + QPoint(-1, 2));
    QCOMPARE(v.anims.frame(0, 0)->clsn1.at(1), (ClsnRect{36, 48, 46, 58}));
}

void TestSprRender::clicksCycleOverlappingBoxes()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = 0,20,40,60\n"
                 "Clsn1: 1\n Clsn1[0] = 5,25,35,55\nClsn2: 1\n Clsn2[0] = 10,30,30,50\n0,0, 0,0, 5\n");
    QCOMPARE(v.r.boxes.size(), 3);
    const QPoint p(120, 140);
    QList<int> picked;
    for (int i = 0; i < 4; ++i) {
        v.click(p);
        picked << v.selected();
    }
    QCOMPARE(picked, (QList<int>{0, 1, 2, 0}));
}

void TestSprRender::shiftAndCtrlSelection()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn1: 2\n Clsn1[0] = -30,-30,-20,-20\n Clsn1[1] = 20,20,30,30\n"
                 "Clsn2: 1\n Clsn2[0] = -30,20,-20,30\n0,0, 0,0, 5\n");
    const QPoint a = v.r.boxes.at(0).screenRect.center();
    const QPoint b = v.r.boxes.at(1).screenRect.center();
    const QPoint c = v.r.boxes.at(2).screenRect.center();
    v.click(a);
    v.click(b, Qt::ShiftModifier);
    QCOMPARE(v.selected(), (QList<int>{0, 1}));
    v.click(c, Qt::ControlModifier);
    QCOMPARE(v.selected(), (QList<int>{0, 1, 2}));
    // A plain press on a selected box keeps the group, which then moves as one.
    v.press(a);
    v.move(a + QPoint(2, 3));
    v.release(a + QPoint(2, 3));
    QCOMPARE(v.selected(), (QList<int>{0, 1, 2}));
    const AirFrame* f = v.anims.frame(0, 0);
    QCOMPARE(f->clsn1.at(0), (ClsnRect{-28, -27, -18, -17}));
    QCOMPARE(f->clsn1.at(1), (ClsnRect{22, 23, 32, 33}));
    QCOMPARE(f->clsn2.at(0), (ClsnRect{-28, 23, -18, 33}));
    // A click on empty space clears; a plain click then selects one box alone.
    v.click({3, 3});
    QCOMPARE(v.selected(), QList<int>());
    QVERIFY(!v.r.selectionActive);
    v.click(v.r.boxes.at(1).screenRect.center());
    QCOMPARE(v.selected(), QList<int>{1});
    v.click(v.r.boxes.at(2).screenRect.center());
    QCOMPARE(v.selected(), QList<int>{2});
}

void TestSprRender::hiddenBoxesTakeNoClicks()
{
    // A frame with a Clsn2 default box and none of its own: the box shows,
    // filled, only while Default CLSN is on, and only then takes clicks.
    View v;
    v.showAction("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = -20,-20,20,20\n0,0, 0,0, 5\n");
    QVERIFY(v.image().pixel(110, 110) != qRgb(10, 20, 30));
    v.r.setClsnVisibility(true, true, false);
    QCOMPARE(v.image().pixel(110, 110), qRgb(10, 20, 30));
    v.press({110, 110});
    QCOMPARE(v.r.dragCode, 0); // a pan, not the hidden default box
    v.release({110, 110});
    v.r.setClsnVisibility(false, false, true);
    v.press({110, 110});
    QCOMPARE(v.r.dragCode, 3);
    v.release({110, 110});
}

void TestSprRender::createMode()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = 0,0,10,10\n0,0, 0,0, 5\n");
    QSignalSpy exits(&v.r, &QSprRender::clsnModeExit);
    v.r.setCreateMode(true, 1);

    // Drag out a box: its far corner follows the pointer.
    v.press({90, 95});
    v.move({100, 100});
    v.move({120, 130});
    QCOMPARE(v.r.boxes.last().screenRect, corners(90, 95, 120, 130));
    v.release({120, 130});
    QCOMPARE(v.anims.frame(0, 0)->clsn2, (QList<ClsnRect>{{-10, -5, 21, 31}}));
    QCOMPARE(v.r.clsnCount[1], 1);
    QVERIFY(v.r.createMode);

    // Dragging up and left makes a normalised box too, at zoom 2.
    v.setZoom(3);
    v.press({100, 100});
    v.move({90, 80});
    v.release({90, 80});
    QCOMPARE(v.anims.frame(0, 0)->clsn2.at(1), (ClsnRect{-5, -10, 1, 1}));

    // The right button ends create mode without making a box.
    v.press({150, 150}, Qt::RightButton);
    v.release({150, 150}, Qt::RightButton);
    QVERIFY(!v.r.createMode);
    QCOMPARE(exits.count(), 1);
    QCOMPARE(v.anims.frame(0, 0)->clsn2.size(), 2);
    QCOMPARE(v.anims.frame(0, 0)->clsn1.size(), 1);

    // A right click in the middle of drawing drops the unfinished box.
    v.r.setCreateMode(true, 0);
    v.press({50, 50});
    v.move({60, 60});
    v.press({60, 60}, Qt::RightButton);
    v.release({60, 60});
    QCOMPARE(v.anims.frame(0, 0)->clsn1.size(), 1);
    QCOMPARE(v.r.boxes.size(), 3);
}

void TestSprRender::resizeByCornerHandle()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = 10,10,20,20\n0,0, 0,0, 5\n");
    v.setZoom(5); // factor 4: the box covers 138..177
    v.click(v.r.boxes.at(0).screenRect.center());
    const QPoint h = v.r.handles[7];
    QCOMPARE(h, QPoint(177, 177));
    v.press(h);
    QCOMPARE(v.r.dragCode, 11);
    v.move(h + QPoint(7, 3)); // less than 2 sprite pixels across, none down
    v.move(h + QPoint(8, 4));
    v.release(h + QPoint(8, 4));
    QCOMPARE(v.anims.frame(0, 0)->clsn1.at(0), (ClsnRect{10, 10, 22, 21}));

    // The top-left handle keeps the bottom-right corner where it is.
    v.click(v.r.boxes.at(0).screenRect.center());
    const QPoint tl = v.r.handles[0];
    v.press(tl);
    QCOMPARE(v.r.dragCode, 4);
    v.move(tl + QPoint(8, -4));
    v.release(tl + QPoint(8, -4));
    QCOMPARE(v.anims.frame(0, 0)->clsn1.at(0), (ClsnRect{12, 9, 22, 21}));
}

void TestSprRender::togglesAndDeletion()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = -20,-80,20,0\n0,0, 0,0, 5\n0,1, 0,0, 5\n"
                 "Clsn1: 1\n Clsn1[0] = 10,-50,40,-40\nClsn2: 1\n Clsn2[0] = -5,-60,5,-50\n0,2, 0,0, 5\n0,3,0,0,5\n",
                 2);
    AirAction* a = v.anims.action(0);
    QCOMPARE(v.r.boxes.size(), 3); // default, Clsn1, Clsn2
    QSignalSpy edited(&v.r, &QSprRender::boxesEdited);

    QVERIFY(!v.r.boxes.at(0).isDefault && v.r.boxes.at(0).type == 0);
    v.click(v.r.boxes.at(0).screenRect.center()); // the Clsn1 box
    v.r.toggleTypeOfSelected();
    QVERIFY(a->frames.at(2)->clsn1.isEmpty());
    QCOMPARE(a->frames.at(2)->clsn2, (QList<ClsnRect>{{-5, -60, 5, -50}, {10, -50, 40, -40}}));
    QCOMPARE(v.selected().size(), 1);
    QCOMPARE(v.r.boxes.at(v.selected().at(0)).rect, (ClsnRect{10, -50, 40, -40}));

    // Made a default, it opens a new Clsn2 block at this frame, which
    // replaces the block of frame 0 from here on.
    v.r.toggleDefaultOfSelected();
    QCOMPARE(a->frames.at(2)->clsn2, (QList<ClsnRect>{{-5, -60, 5, -50}}));
    QCOMPARE(a->clsn2Default, (QList<ClsnDefaultBox>{{-20, -80, 20, 0, 0}, {10, -50, 40, -40, 2}}));
    QCOMPARE(v.r.boxes.size(), 2);
    QVERIFY(v.r.boxes.at(v.selected().at(0)).isDefault);
    v.r.setFrame(1);
    QCOMPARE(v.r.boxes.at(0).rect, (ClsnRect{-20, -80, 20, 0}));
    v.r.setFrame(3);
    QCOMPARE(v.r.boxes.at(0).rect, (ClsnRect{10, -50, 40, -40}));
    QVERIFY(v.anims.actionText(0).contains("Clsn2Default: 1\n  Clsn2[0] = 10, -50, 40, -40\nClsn2: 1\n"));

    // Delete both boxes of frame 2 at once.
    v.r.setFrame(2);
    v.click(v.r.boxes.at(0).screenRect.center());
    v.click(v.r.boxes.at(1).screenRect.center(), Qt::ShiftModifier);
    QCOMPARE(v.selected().size(), 2);
    v.r.deleteSelectedBoxes();
    QVERIFY(a->frames.at(2)->clsn2.isEmpty());
    QCOMPARE(a->clsn2Default, (QList<ClsnDefaultBox>{{-20, -80, 20, 0, 0}}));
    QVERIFY(!v.r.selectionActive);
    QCOMPARE(v.r.boxes.size(), 1); // the frame-0 block applies again
    QCOMPARE(edited.count(), 3);

    // Without a selection nothing happens.
    v.r.toggleDefaultOfSelected();
    v.r.deleteSelectedBoxes();
    QCOMPARE(edited.count(), 3);
}

void TestSprRender::defaultBlockShown_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<QList<ClsnRect>>("shown");
    QTest::newRow("before any block") << 0 << QList<ClsnRect>{};
    QTest::newRow("the block in front of it") << 1 << QList<ClsnRect>{{10, 10, 30, 30}, {40, 40, 50, 50}};
    QTest::newRow("a later frame") << 2 << QList<ClsnRect>{{10, 10, 30, 30}, {40, 40, 50, 50}};
    QTest::newRow("the next block replaces it") << 3 << QList<ClsnRect>{{60, 60, 70, 70}};
    QTest::newRow("and stays") << 4 << QList<ClsnRect>{{60, 60, 70, 70}};
}

void TestSprRender::defaultBlockShown()
{
    QFETCH(int, frame);
    QFETCH(QList<ClsnRect>, shown);
    View v;
    v.showAction("[Begin Action 0]\n0,0,0,0,1\nClsn2Default: 2\n Clsn2[0]=10,10,30,30\n Clsn2[1]=40,40,50,50\n0,1,0,0,1\n"
                 "0,2,0,0,1\nClsn2Default: 1\n Clsn2[0]=60,60,70,70\n0,3,0,0,1\n0,4,0,0,1\n",
                 frame);
    QList<ClsnRect> got;
    for (const ClsnBox& b : v.r.boxes) {
        QVERIFY(b.isDefault);
        got << b.rect;
    }
    QCOMPARE(got, shown);
    // Shown only while Default CLSN is on.
    v.r.setClsnVisibility(true, true, false);
    if (!shown.isEmpty()) {
        v.press(v.r.boxes.at(0).screenRect.center());
        QCOMPARE(v.r.dragCode, 0);
    }
}

void TestSprRender::colourPick_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("offset"); // from the sprite rectangle's top left
    QTest::addColumn<int>("picked");    // -1: nothing
    // The sprite is 8 x 4 with index 10 * y + x + 1.
    QTest::newRow("1:1 first pixel") << 2 << QPoint(0, 0) << 1;
    QTest::newRow("1:1 last pixel") << 2 << QPoint(7, 3) << 38;
    QTest::newRow("zoom 4 right part of a pixel") << 5 << QPoint(7, 3) << 2;
    QTest::newRow("zoom 4 last pixel, last screen column") << 5 << QPoint(31, 15) << 38;
    QTest::newRow("zoom 0.5 last screen column") << 1 << QPoint(3, 0) << 7;
    QTest::newRow("zoom 0.25 only row") << 0 << QPoint(1, 0) << 5;
    QTest::newRow("just right of the sprite") << 2 << QPoint(8, 0) << -1;
    QTest::newRow("just below the sprite") << 5 << QPoint(0, 16) << -1;
}

void TestSprRender::colourPick()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, offset);
    QFETCH(int, picked);
    View v(QSize(400, 400));
    addSprite(v.sprites, 0, 0, -40, -40, indexedImage(8, 4, [](int x, int y) { return 10 * y + x + 1; }));
    v.r.setSource(0, SpriteMode);
    v.r.setColourPick(true);
    v.setZoom(zoom);
    QSignalSpy captured(&v.r, &QSprRender::colorCaptured);
    v.click(v.r.spriteRect.topLeft() + offset);
    if (picked < 0) {
        QCOMPARE(captured.count(), 0);
    } else {
        QCOMPARE(captured.count(), 1);
        QCOMPARE(int(captured.at(0).at(0).value<uchar>()), picked);
    }
    v.r.setColourPick(false);
    v.click(v.r.spriteRect.topLeft());
    QCOMPARE(captured.count(), picked < 0 ? 0 : 1);
}

void TestSprRender::trueColourSpriteDrawsItsOwnColours()
{
    CORPUS_OR_SKIP(path, "font/num72.sff");
    View v;
    QVERIFY(v.sprites.load(path));
    QCOMPARE(v.sprites.spriteSize(0).imageFormat, QImage::Format_ARGB32);
    QCOMPARE(v.sprites.paletteCount(), 0);
    v.r.setSource(0, SpriteMode);
    v.r.showAxisMarker = false;
    const QImage sprite = v.sprites.spriteImage(0);
    const QImage img = v.image();
    int opaque = 0;
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            const QRgb s = sprite.pixel(x, y);
            const QRgb d = img.pixel(v.r.spriteRect.left() + x, v.r.spriteRect.top() + y);
            if (qAlpha(s) == 255) {
                QCOMPARE(d, s | 0xFF000000u);
                ++opaque;
            } else if (qAlpha(s) == 0) {
                QCOMPARE(d, qRgb(10, 20, 30));
            }
        }
    }
    QVERIFY(opaque > 100);
    // It can be dragged by its axis like any sprite.
    v.press(v.r.spriteRect.center());
    QCOMPARE(v.r.dragCode, 1);
    v.release(v.r.spriteRect.center());
}

void TestSprRender::randomMouseLeavesBoxesNormalised()
{
    View v(QSize(240, 180));
    addSprite(v.sprites, 0, 0, 5, 5, indexedImage(20, 20, [](int x, int y) { return (x + y) % 4; }));
    v.showAction("[Begin Action 0]\nClsn2Default: 2\n Clsn2[0]=-20,-30,20,0\n Clsn2[1]=-5,-40,5,-30\n"
                 "Clsn1: 2\n Clsn1[0]=0,-20,30,-10\n Clsn1[1]=-2,-2,2,2\nClsn2: 1\n Clsn2[0]=-15,-25,10,0\n"
                 "0,0, 0,0, 5\nClsn1: 1\n Clsn1[0]=1,1,5,5\n0,0, 3,4, 5\n");
    QRandomGenerator rng(20240601);
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                       Qt::MiddleButton};
    const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                          Qt::ControlModifier};
    auto point = [&] {
        // Mostly near the boxes and handles, sometimes anywhere, sometimes outside.
        if (rng.bounded(4) == 0)
            return QPoint(rng.bounded(-50, 290), rng.bounded(-50, 230));
        if (v.r.selectionActive && rng.bounded(3) == 0)
            return v.r.handles[rng.bounded(8)] + QPoint(rng.bounded(-4, 4), rng.bounded(-4, 4));
        return v.r.axisScreen + QPoint(rng.bounded(-60, 60), rng.bounded(-60, 40));
    };
    auto checkAll = [&] {
        const AirAction* a = v.anims.action(0);
        for (const ClsnDefaultBox& d : a->clsn1Default + a->clsn2Default)
            QVERIFY(d.x1 <= d.x2 && d.y1 <= d.y2);
        for (const AirFrame* f : a->frames)
            for (const ClsnRect& r : f->clsn1 + f->clsn2)
                QVERIFY(normalised(r));
        for (const ClsnBox& b : v.r.boxes)
            QVERIFY(normalised(b.rect));
    };
    Qt::MouseButton held = Qt::NoButton;
    for (int step = 0; step < 30000; ++step) {
        switch (rng.bounded(12)) {
        case 0:
        case 1:
            held = buttons[rng.bounded(5)];
            v.press(point(), held, mods[rng.bounded(4)]);
            break;
        case 2:
        case 3:
            v.release(point(), held);
            held = Qt::NoButton;
            checkAll();
            break;
        case 4:
            v.wheel(int(rng.bounded(-2, 3)) * 120);
            break;
        case 5:
            if (rng.bounded(6) == 0)
                v.r.setCreateMode(rng.bounded(2) == 1, int(rng.bounded(2)));
            else if (rng.bounded(10) == 0)
                v.r.setFrame(int(rng.bounded(2)));
            else if (rng.bounded(20) == 0)
                v.r.toggleDefaultOfSelected();
            else if (rng.bounded(20) == 0)
                v.r.toggleTypeOfSelected();
            else if (rng.bounded(40) == 0)
                v.r.deleteSelectedBoxes();
            break;
        default:
            v.move(point(), held == Qt::NoButton ? Qt::MouseButtons() : Qt::MouseButtons(held),
                   mods[rng.bounded(4)]);
            break;
        }
        if (step % 1000 == 0)
            (void)v.image();
    }
    v.release(point(), held);
    checkAll();
    // The document still writes and reads back.
    QAnimations again(nullptr);
    again.parse(v.anims.toBytes(), "again.air");
    QCOMPARE(again.actionText(0), v.anims.actionText(0));
}

void TestSprRender::snapshots()
{
    // Hit sparks drawn additively over the grey background, at zoom 2.
    CORPUS_OR_SKIP(sff, "data/fightfx.sff");
    CORPUS_OR_SKIP(air, "data/fightfx.air");
    View v(QSize(480, 360));
    v.r.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    QVERIFY(v.sprites.load(sff));
    QVERIFY(v.anims.load(air));
    v.r.setSource(0, SpriteMode);
    v.r.setPalette(-1);
    v.image().save(testsupport::snapshotDir() + "/render_sprite_fightfx.png");
    v.r.setSource(2, AnimationMode);
    v.r.setFrame(3);
    v.r.setPalette(-1);
    v.setZoom(3);
    QVERIFY(v.r.frameSpriteIndex >= 0);
    QCOMPARE(int(v.r.frameCopy.transparency), 1);
    v.image().save(testsupport::snapshotDir() + "/render_frame_fightfx_additive.png");

    // Kung Fu Man's attack boxes (his sprites are in a newer archive format):
    // defaults filled, own boxes outlined, one selected with its handles.
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.air");
    v.anims.clear();
    QVERIFY(v.anims.load(kfm));
    int action = -1;
    for (int i = 0; i < v.anims.actionCount() && action < 0; ++i)
        if (v.anims.actionInfo(i).number == 200)
            action = i;
    QVERIFY(action >= 0);
    v.r.setClsnVisibility(true, true, true);
    v.r.setSource(action, AnimationMode);
    v.r.setFrame(2);
    v.r.axisScreen = QPoint(200, 330);
    v.r.updateGeometry();
    QVERIFY(v.r.clsnCount[0] > 0);
    const auto attack = *std::find_if(v.r.boxes.begin(), v.r.boxes.end(),
                                      [](const ClsnBox& b) { return b.type == 0 && !b.isDefault; });
    v.click(attack.screenRect.center());
    QVERIFY(v.r.selectionActive);
    v.image().save(testsupport::snapshotDir() + "/render_boxes_kfm_200.png");
}

QTEST_MAIN(TestSprRender)
#include "tst_qsprrender.moc"

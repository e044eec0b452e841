// The sprite renderer: view geometry, drawing and every mouse interaction,
// checked with numbers (pixel positions, box values, colours).
#include "renderview.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <utility>

using namespace renderview;

Q_DECLARE_METATYPE(ClsnRect)

namespace {

// A press on a box, a handle of the selection or empty space, a move by `by`
// and a release there (a click when `by` is null).
struct Gesture
{
    enum { Empty = -1, Handle = 100 };
    int target;
    QPoint by = {};
    Qt::KeyboardModifiers mods = {};
};

} // namespace

Q_DECLARE_METATYPE(Gesture)

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
    void dragMarkers_data();
    void dragMarkers();
    void boxGestures_data();
    void boxGestures();
    void clicksCycleOverlappingBoxes();
    void hiddenBoxesTakeNoClicks();
    void createMode();
    void togglesAndDeletion();
    void defaultBlockShown_data();
    void defaultBlockShown();
    void colourPick_data();
    void colourPick();
    void trueColourSpriteDrawsItsOwnColours();
    void randomMouseLeavesBoxesNormalised();
};

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
    // Pan first, in two steps at the starting zoom: zooming keeps the axis where it is.
    v.press({20, 20});
    v.move({24, 22});
    v.move({27, 25});
    v.release({27, 25});
    QCOMPARE(v.r.axisScreen, QPoint(107, 105));
    QSignalSpy repaints(&v.r, &QRenderer::repaintNeeded);
    v.wheel(delta);
    QCOMPARE(int(v.r.zoomIndex), expected);
    QCOMPARE(v.r.axisScreen, QPoint(107, 105));
    QCOMPARE(repaints.count(), 1);
}

void TestSprRender::resizeRecentres()
{
    View v(QSize(101, 60));
    QCOMPARE(v.r.axisScreen, QPoint(50, 30));
    v.drag({5, 5}, {15, 8});
    v.r.viewSize = QSize(300, 151);
    v.r.resized();
    QCOMPARE(v.r.axisScreen, QPoint(150, 75));
}

void TestSprRender::geometry_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("box");          // screen rect of the box (-10,-20,10,0)
    QTest::addColumn<QRect>("axisMarker");   // 11 x 11 marker
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
    v.addSprite(3, 1, 10, 15, indexedImage(30, 40, [](int, int) { return 5; }));
    v.r.setSource(0, SpriteMode);
    v.setZoom(3); // factor 2
    QCOMPARE(v.r.spriteRect, corners(80, 70, 139, 149));
    v.setZoom(0); // 0.25: 100 - 2.5 truncates to 97
    QCOMPARE(v.r.spriteRect, corners(97, 96, 103, 105));

    // A frame flipped horizontally mirrors about the axis; the offset moves it.
    v.showAction("[Begin Action 0]\n3,1, 5,-3, 5, H\n3,1, 5,-3, 5, VH\n");
    v.setZoom(2);
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
            if (v.r.boxes.at(i).screenRect.isEmpty())
                continue;
            // A click on the box, and a press and release on each handle.
            v.click(v.boxCentre(i));
            for (int h = 0; h < 8; ++h)
                v.click(v.r.handles[h]);
        }
        QCOMPARE(v.anims.action(0)->clsn2Default.at(0), (ClsnDefaultBox{-13, -79, 16, 0, 0}));
        QCOMPARE(v.frame0().clsn1.at(0), (ClsnRect{3, -7, 41, -2}));
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
    v.addSprite(1, 0, -20, -20, indexedImage(zoom == 1 ? 4 : 3, 2, [](int x, int) { return x + 1; }));
    v.showAction("[Begin Action 0]\n1,0, 0,0, 5" + flip.toLatin1() + "\n");
    v.setZoom(zoom);
    const QImage img = v.image();
    const QRect s = v.r.spriteRect;
    QCOMPARE(s.width(), indices.size());
    for (int i = 0; i < indices.size(); ++i)
        QCOMPARE(img.pixel(s.left() + i, s.top()), paletteColour(indices.at(i)));
    QCOMPARE(img.pixel(s.right() + 1, s.top()), qRgb(10, 20, 30)); // just outside: background
    // A palette index outside the list draws no sprite.
    v.r.setPalette(7);
    QCOMPARE(v.image().pixel(s.topLeft()), qRgb(10, 20, 30));
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
    v.r.setBackground(QColor(100, 200, 50), QColor(100, 200, 50));
    v.addSprite(1, 0, -40, -40, indexedImage(2, 1, [](int x, int) { return x; }));
    QByteArray colours = v.sprites.paletteData(0);
    colours.replace(0, 6, "\x07\x08\x09\xC8\x64\x0A"); // 0: (7, 8, 9), 1: (200, 100, 10)
    v.sprites.setPaletteData(0, colours);
    v.showAction("[Begin Action 0]\n1,0, 0,0, 5" + field.toLatin1() + "\n");
    v.r.setShowTransparentColour(showTransparent);
    const QImage img = v.image();
    QCOMPARE(img.pixel(v.r.spriteRect.topLeft()), pixel0);
    QCOMPARE(img.pixel(v.r.spriteRect.topLeft() + QPoint(1, 0)), pixel1);
}

void TestSprRender::dragMarkers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QList<QPoint>>("moves"); // pointer positions from the press
    QTest::addColumn<QPoint>("expected");      // sprite axis or frame offset after the release
    QTest::addColumn<int>("emitted");
    // The sprite's axis starts at (10, 20), the frame offset at (5, -3).
    QTest::newRow("sprite axis, 1:1") << int(SpriteMode) << 2 << QList<QPoint>{{1, 0}, {10, 0}} << QPoint(0, 20) << 2;
    QTest::newRow("sprite axis, zoom 4, 3 pixels") << int(SpriteMode) << 5 << QList<QPoint>{{0, 3}} << QPoint(10, 20)
                                                   << 0;
    QTest::newRow("sprite axis, zoom 4, whole sprite pixels")
        << int(SpriteMode) << 5 << QList<QPoint>{{0, 4}, {0, 7}, {0, 8}} << QPoint(10, 18) << 2;
    QTest::newRow("frame offset, zoom 2, half a pixel") << int(AnimationMode) << 3 << QList<QPoint>{{1, 0}}
                                                        << QPoint(5, -3) << 0;
    QTest::newRow("frame offset, zoom 2") << int(AnimationMode) << 3 << QList<QPoint>{{1, 0}, {6, -2}} << QPoint(8, -4)
                                          << 1;
}

void TestSprRender::dragMarkers()
{
    QFETCH(int, mode);
    QFETCH(int, zoom);
    QFETCH(QList<QPoint>, moves);
    QFETCH(QPoint, expected);
    QFETCH(int, emitted);
    View v;
    v.addSprite(0, 0, 10, 20, indexedImage(30, 40, [](int, int) { return 1; }));
    const bool sprite = mode == SpriteMode;
    if (sprite)
        v.r.setSource(0, SpriteMode);
    else
        v.showAction("[Begin Action 0]\n0,0, 5,-3, 5\n");
    v.setZoom(zoom);
    auto value = [&] {
        return sprite ? QPoint(v.sprites.spriteInfo(0).axisX, v.sprites.spriteInfo(0).axisY)
                      : QPoint(v.frame0().x, v.frame0().y);
    };
    const QPoint before = value();
    const QPoint spriteAt = v.r.spriteRect.topLeft();
    QSignalSpy axis(&v.r, &QSprRender::axisChanged);
    const QPoint start = sprite ? v.r.spriteRect.topLeft() + QPoint(5, 5) : v.r.offsetMarkerRect.center();
    v.press(start);
    QCOMPARE(v.r.dragCode, sprite ? 1 : 2);
    for (const QPoint& m : moves)
        v.move(start + m);
    v.release(start + moves.last());
    QCOMPARE(value(), expected);
    QCOMPARE(axis.count(), emitted);
    if (emitted > 0) {
        QCOMPARE(axis.last().at(0).value<QRenderMode>(), QRenderMode(mode));
        QCOMPARE(axis.last().at(1).toPoint(), expected);
    }
    // The sprite follows on screen by the sprite pixels moved.
    const int k = int(QRenderer::zoomFactor(zoom));
    QCOMPARE(v.r.spriteRect.topLeft(), spriteAt + k * (sprite ? before - expected : expected - before));
}

void TestSprRender::boxGestures_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QList<Gesture>>("gestures");
    QTest::addColumn<QString>("boxes");   // Clsn1 | Clsn2 of the frame after the gestures
    QTest::addColumn<QList<int>>("selected");
    const auto shift = Qt::KeyboardModifiers(Qt::ShiftModifier);
    const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
    const QString start = "10 10 20 20;40 40 50 50 | -30 20 -20 30";
    QTest::newRow("a click changes nothing") << 5 << QList<Gesture>{{0}} << start << QList<int>{0};
    QTest::newRow("a move at zoom 4 by less than a sprite pixel") << 5 << QList<Gesture>{{0, {3, 0}}} << start
                                                                   << QList<int>{0};
    QTest::newRow("a move at zoom 4 by one sprite pixel")
        << 5 << QList<Gesture>{{0, {3, 0}}, {0, {4, 0}}} << "11 10 21 20;40 40 50 50 | -30 20 -20 30" << QList<int>{0};
    QTest::newRow("a move at zoom 0.25 keeps the size")
        << 0 << QList<Gesture>{{1, {-1, 2}}} << "10 10 20 20;36 48 46 58 | -30 20 -20 30" << QList<int>{1};
    QTest::newRow("shift and ctrl add boxes that then move as one")
        << 2 << QList<Gesture>{{0}, {1, {}, shift}, {2, {}, ctrl}, {0, {2, 3}}}
        << "12 13 22 23;42 43 52 53 | -28 23 -18 33" << QList<int>{0, 1, 2};
    QTest::newRow("empty space clears, a plain click selects one box")
        << 2 << QList<Gesture>{{0}, {1, {}, shift}, {Gesture::Empty}, {2}, {1}} << start << QList<int>{1};
    QTest::newRow("the bottom-right handle, less than 2 pixels across")
        << 5 << QList<Gesture>{{0}, {Gesture::Handle + 7, {7, 3}}} << "10 10 21 20;40 40 50 50 | -30 20 -20 30"
        << QList<int>{0};
    QTest::newRow("the bottom-right handle")
        << 5 << QList<Gesture>{{0}, {Gesture::Handle + 7, {8, 4}}} << "10 10 22 21;40 40 50 50 | -30 20 -20 30"
        << QList<int>{0};
    QTest::newRow("the top-left handle keeps the far corner")
        << 5 << QList<Gesture>{{0}, {Gesture::Handle, {8, -4}}} << "12 9 20 20;40 40 50 50 | -30 20 -20 30"
        << QList<int>{0};
}

void TestSprRender::boxGestures()
{
    QFETCH(int, zoom);
    QFETCH(QList<Gesture>, gestures);
    QFETCH(QString, boxes);
    QFETCH(QList<int>, selected);
    View v;
    v.showAction("[Begin Action 0]\nClsn1: 2\n Clsn1[0] = 10,10,20,20\n Clsn1[1] = 40,40,50,50\n"
                 "Clsn2: 1\n Clsn2[0] = -30,20,-20,30\n0,0, 0,0, 5\n");
    v.setZoom(zoom);
    QSignalSpy edited(&v.r, &QSprRender::boxesEdited);
    for (const Gesture& g : gestures) {
        const QPoint p = g.target == Gesture::Empty    ? QPoint(3, 3)
                         : g.target >= Gesture::Handle ? v.r.handles[g.target - Gesture::Handle]
                                                       : v.boxCentre(g.target);
        v.press(p, Qt::LeftButton, g.mods);
        v.move(p + g.by);
        v.release(p + g.by);
    }
    auto list = [](const QList<ClsnRect>& l) {
        QStringList parts;
        for (const ClsnRect& r : l)
            parts << QString("%1 %2 %3 %4").arg(r.x1).arg(r.y1).arg(r.x2).arg(r.y2);
        return parts.join(';');
    };
    QCOMPARE(list(v.frame0().clsn1) + " | " + list(v.frame0().clsn2), boxes);
    QCOMPARE(v.selected(), selected);
    QCOMPARE(edited.count() > 0, boxes != "10 10 20 20;40 40 50 50 | -30 20 -20 30");
}

void TestSprRender::clicksCycleOverlappingBoxes()
{
    View v;
    v.showAction("[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = 0,20,40,60\n"
                 "Clsn1: 1\n Clsn1[0] = 5,25,35,55\nClsn2: 1\n Clsn2[0] = 10,30,30,50\n0,0, 0,0, 5\n");
    QCOMPARE(v.r.boxes.size(), 3);
    QList<int> picked;
    for (int i = 0; i < 4; ++i) {
        v.click({120, 140});
        picked << v.selected();
    }
    QCOMPARE(picked, (QList<int>{0, 1, 2, 0}));
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
    QCOMPARE(v.frame0().clsn2, (QList<ClsnRect>{{-10, -5, 21, 31}}));
    QCOMPARE(v.r.clsnCount[1], 1);
    // Dragging up and left makes a normalised box too, at zoom 2.
    v.setZoom(3);
    v.drag({100, 100}, {90, 80});
    QCOMPARE(v.frame0().clsn2.at(1), (ClsnRect{-5, -10, 1, 1}));

    // The right button ends create mode without making a box.
    v.press({150, 150}, Qt::RightButton);
    v.release({150, 150}, Qt::RightButton);
    QVERIFY(!v.r.createMode);
    QCOMPARE(exits.count(), 1);
    QCOMPARE(v.frame0().clsn2.size(), 2);
    QCOMPARE(v.frame0().clsn1.size(), 1);

    // A right click in the middle of drawing drops the unfinished box.
    v.r.setCreateMode(true, 0);
    v.press({50, 50});
    v.move({60, 60});
    v.press({60, 60}, Qt::RightButton);
    v.release({60, 60});
    QCOMPARE(v.frame0().clsn1.size(), 1);
    QCOMPARE(v.r.boxes.size(), 3);
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
    v.click(v.boxCentre(0)); // the Clsn1 box
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
    QVERIFY(v.anims.actionText(0).contains("Clsn2Default: 1\n  Clsn2[0] = 10, -50, 40, -40\nClsn2: 1\n"));

    // Delete both boxes of frame 2 at once.
    v.r.setFrame(2);
    v.click(v.boxCentre(0));
    v.click(v.boxCentre(1), Qt::ShiftModifier);
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
    v.addSprite(0, 0, -40, -40, indexedImage(8, 4, [](int x, int y) { return 10 * y + x + 1; }));
    v.r.setSource(0, SpriteMode);
    v.r.setColourPick(true);
    v.setZoom(zoom);
    QSignalSpy captured(&v.r, &QSprRender::colorCaptured);
    v.click(v.r.spriteRect.topLeft() + offset);
    QCOMPARE(captured.count(), picked < 0 ? 0 : 1);
    if (picked >= 0)
        QCOMPARE(int(captured.at(0).at(0).value<uchar>()), picked);
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
            if (qAlpha(s) == 255 || qAlpha(s) == 0)
                QCOMPARE(img.pixel(v.r.spriteRect.topLeft() + QPoint(x, y)), qAlpha(s) ? s : qRgb(10, 20, 30));
            opaque += qAlpha(s) == 255;
        }
    }
    QVERIFY(opaque > 100);
    // It can be dragged by its axis like any sprite.
    v.press(v.r.spriteRect.center());
    QCOMPARE(v.r.dragCode, 1);
}

void TestSprRender::randomMouseLeavesBoxesNormalised()
{
    View v(QSize(240, 180));
    v.addSprite(0, 0, 5, 5, indexedImage(20, 20, [](int x, int y) { return (x + y) % 4; }));
    v.showAction("[Begin Action 0]\nClsn2Default: 2\n Clsn2[0]=-20,-30,20,0\n Clsn2[1]=-5,-40,5,-30\n"
                 "Clsn1: 2\n Clsn1[0]=0,-20,30,-10\n Clsn1[1]=-2,-2,2,2\nClsn2: 1\n Clsn2[0]=-15,-25,10,0\n"
                 "0,0, 0,0, 5\nClsn1: 1\n Clsn1[0]=1,1,5,5\n0,0, 3,4, 5\n");
    QRandomGenerator rng(20240601);
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                       Qt::MiddleButton};
    const Qt::KeyboardModifiers mods[] = {{}, {}, Qt::ShiftModifier, Qt::ControlModifier};
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
        QList<ClsnRect> all;
        for (const AirFrame* f : a->frames)
            all << f->clsn1 << f->clsn2;
        for (const ClsnBox& b : v.r.boxes)
            all << b.rect;
        for (const ClsnRect& r : all)
            QVERIFY(r.x1 <= r.x2 && r.y1 <= r.y2);
    };
    Qt::MouseButton held = Qt::NoButton;
    for (int step = 0; step < 30000; ++step) {
        const int what = int(rng.bounded(12));
        if (what < 2) {
            held = buttons[rng.bounded(5)];
            v.press(point(), held, mods[rng.bounded(4)]);
        } else if (what < 4) {
            v.release(point(), std::exchange(held, Qt::NoButton));
            checkAll();
        } else if (what == 4) {
            v.wheel(int(rng.bounded(-2, 3)) * 120);
        } else if (what == 5) {
            switch (rng.bounded(14)) {
            case 0:
            case 1: v.r.setCreateMode(rng.bounded(2) == 1, int(rng.bounded(2))); break;
            case 2: v.r.setFrame(int(rng.bounded(2))); break;
            case 3: v.r.toggleDefaultOfSelected(); break;
            case 4: v.r.toggleTypeOfSelected(); break;
            case 5: v.r.deleteSelectedBoxes(); break;
            }
        } else {
            v.move(point(), held == Qt::NoButton ? Qt::MouseButtons() : Qt::MouseButtons(held), mods[rng.bounded(4)]);
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

QTEST_MAIN(TestSprRender)
#include "tst_qsprrender.moc"

// The sprite renderer: view geometry, drawing and every mouse interaction,
// checked with numbers (pixel positions, box values, colours).
#include "renderview.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <utility>

using namespace renderview;

namespace {

const QByteArray twoAndOne = "[Begin Action 0]\nClsn1: 2\n Clsn1[0] = 10,10,20,20\n Clsn1[1] = 40,40,50,50\n"
                             "Clsn2: 1\n Clsn2[0] = -30,20,-20,30\n0,0, 0,0, 5\n";
const QByteArray overlapping = "[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = 0,20,40,60\n"
                               "Clsn1: 1\n Clsn1[0] = 5,25,35,55\nClsn2: 1\n Clsn2[0] = 10,30,30,50\n0,0, 0,0, 5\n";
const QByteArray offset = "[Begin Action 0]\n0,0, 5,-3, 5\n";
const QByteArray onlyDefault = "[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = -20,-20,20,20\n0,0, 0,0, 5\n";
const QByteArray fourFrames = "[Begin Action 0]\nClsn2Default: 1\n Clsn2[0] = -20,-80,20,0\n0,0, 0,0, 5\n0,1, 0,0, 5\n"
                              "Clsn1: 1\n Clsn1[0] = 10,-50,40,-40\nClsn2: 1\n Clsn2[0] = -5,-60,5,-50\n0,2, 0,0, 5\n"
                              "0,3,0,0,5\n";
const QByteArray twoBlocks = "[Begin Action 0]\n0,0,0,0,1\nClsn2Default: 2\n Clsn2[0]=10,10,30,30\n Clsn2[1]=40,40,50,50\n"
                             "0,1,0,0,1\n0,2,0,0,1\nClsn2Default: 1\n Clsn2[0]=60,60,70,70\n0,3,0,0,1\n";

// The boxes the view shows, in its order: d for a default, the type, the
// values, * when selected.
QString shown(const View& v)
{
    QStringList out;
    for (const ClsnBox& b : v.r.boxes)
        out << (b.isDefault ? "d" : "") + QString::number(b.type + 1)
                   + QString(" %1 %2 %3 %4").arg(b.rect.x1).arg(b.rect.y1).arg(b.rect.x2).arg(b.rect.y2) + (b.selected ? "*" : "");
    return out.join("; ");
}

} // namespace

class TestSprRender : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void pixels_data();
    void pixels();
    void viewScript_data();
    void viewScript();
    void trueColourSpriteDrawsItsOwnColours();
    void randomMouseLeavesBoxesNormalised();
};

void TestSprRender::geometry_data()
{
    QTest::addColumn<int>("zoom");
    // Screen rects of the box (-10,-20,10,0), the 11 x 11 axis marker, the 9 x 9
    // marker of the frame offset (5, -3) and the 30 x 40 sprite with its axis at
    // (10, 15), flipped both ways. The axis is at (100, 100); half = k >> 1
    // shifts boxes and markers at z > 1.
    QTest::addColumn<QList<QRect>>("rects");
    QTest::newRow("0.25") << 0 << QList{corners(97, 95, 101, 99), corners(95, 95, 105, 105), corners(97, 95, 105, 103),
                                        corners(96, 93, 102, 102)};
    QTest::newRow("1") << 2 << QList{corners(90, 80, 109, 99), corners(95, 95, 105, 105), corners(101, 93, 109, 101),
                                     corners(85, 72, 114, 111)};
    QTest::newRow("4") << 5 << QList{corners(58, 18, 137, 97), corners(76, 76, 119, 119), corners(100, 68, 135, 103),
                                     corners(40, -12, 159, 147)};
}

void TestSprRender::geometry()
{
    QFETCH(int, zoom);
    QFETCH(QList<QRect>, rects);
    View v;
    v.addSprite(10, 15, indexedImage(30, 40, [](int, int) { return 5; }));
    v.showAction("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = -10,-20,10,0\n0,0, 5,-3, 5, VH\n");
    v.setZoom(zoom);
    QCOMPARE((QList{v.r.boxes.at(0).screenRect, v.r.axisMarkerRect, v.r.offsetMarkerRect, v.r.spriteRect}), rects);
    if (zoom < 2) // below 1:1 the box hides under the axis marker
        return;
    // Handles sit on the corners and edge middles of the selection.
    const QRect box = rects.at(0);
    v.click(box.center());
    const int mx = box.left() + (box.width() - 1) / 2, my = box.top() + (box.height() - 1) / 2;
    QCOMPARE(QList<QPoint>(v.r.handles, v.r.handles + 8),
             (QList<QPoint>{box.topLeft(), {mx, box.top()}, box.topRight(), {box.right(), my}, {box.left(), my},
                            box.bottomLeft(), {mx, box.bottom()}, box.bottomRight()}));
}

void TestSprRender::pixels_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("fields"); // flip and transparency of the frame
    QTest::addColumn<bool>("showTransparent");
    QTest::addColumn<QString>("columns"); // the sprite's screen columns and one past: index 0, 1 or background
    // Index 0 is (7, 8, 9), index 1 (200, 100, 10), the background (100, 200, 50).
    QTest::addColumn<QList<QRgb>>("pixels"); // what indices 0 and 1 show
    const QRgb bg = qRgb(100, 200, 50), c1 = qRgb(200, 100, 10);
    QTest::newRow("1:1") << 2 << "" << false << "0111." << QList{bg, c1};
    QTest::newRow("zoom 3") << 4 << "" << false << "000111111111." << QList{bg, c1};
    QTest::newRow("zoom 3 flipped") << 4 << ", H" << false << "111111111000." << QList{bg, c1};
    QTest::newRow("zoom 0.5") << 1 << "" << false << "01." << QList{bg, c1};
    QTest::newRow("transparent colour shown") << 2 << "" << true << "0111." << QList{qRgb(7, 8, 9), c1};
    QTest::newRow("additive A1") << 2 << ", ,A1" << false << "0111." << QList{bg, qRgb(200, 250, 55)};
    QTest::newRow("additive 64/192") << 2 << ", ,AS64D192" << false << "0111." << QList{bg, qRgb(125, 175, 39)};
    QTest::newRow("additive 0/999") << 2 << ", ,AS0D999" << false << "0111." << QList{bg, qRgb(255, 255, 195)};
    QTest::newRow("subtractive index 0 shown") << 2 << ", ,S" << true << "0111." << QList{qRgb(93, 192, 41), qRgb(0, 100, 40)};
}

void TestSprRender::pixels()
{
    QFETCH(int, zoom);
    QFETCH(QString, fields);
    QFETCH(bool, showTransparent);
    QFETCH(QString, columns);
    QFETCH(QList<QRgb>, pixels);
    View v;
    v.r.setBackground(QColor(100, 200, 50), QColor(100, 200, 50));
    v.addSprite(-20, -20, indexedImage(4, 2, [](int x, int) { return x > 0; }));
    QByteArray colours = v.sprites.paletteData(0);
    v.sprites.setPaletteData(0, colours.replace(0, 6, "\x07\x08\x09\xC8\x64\x0A"));
    v.showAction("[Begin Action 0]\n0,0, 0,0, 5" + fields.toLatin1() + "\n");
    v.r.setShowTransparentColour(showTransparent);
    v.setZoom(zoom);
    const QImage img = v.image();
    const QRect s = v.r.spriteRect;
    QCOMPARE(s.width(), columns.size() - 1);
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(img.pixel(s.left() + i, s.top()), columns[i] == '.' ? qRgb(100, 200, 50) : pixels.at(columns[i].digitValue()));
    v.r.setPalette(7); // a palette index outside the list draws no sprite
    QCOMPARE(v.image().pixel(s.right(), s.top()), qRgb(100, 200, 50));
}

void TestSprRender::viewScript_data()
{
    // Steps: Zn zoom index, Fn frame, Nn create mode for Clsn(n+1), H hide the
    // defaults, T/D/X toggle type/default and delete the selection, S sprite
    // mode, P colour picking, Wn a wheel turn of n eighths of a degree, R a
    // resize to 301 x 151, C a click on every box and handle.
    // Anything else is a press on box n, handle hn, the point @x,y, the point
    // sx,y from the sprite's top left, or the offset marker o (+ Shift, ^ Ctrl,
    // ! right button), moves >dx,dy from there, and a release unless marked ~.
    QTest::addColumn<QByteArray>("air");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected"); // shown(), then whatever changed besides the boxes
    const QString rest = "; 1 40 40 50 50; 2 -30 20 -20 30", start = "1 10 10 20 20" + rest;
    QTest::newRow("wheel: two notches after a pan") << offset << "@20,20>4,2>7,5 W240" << " zoom 4 at 107,105";
    QTest::newRow("a resize after a pan re-centres") << offset << "@20,20>7,5 R" << " at 150,75";
    QTest::newRow("wheel: stops at factor 8, almost a notch back does nothing") << offset << "Z8 W360 W-119" << " zoom 9";
    QTest::newRow("wheel: stops at factor 0.25") << offset << "Z1 W-600" << " zoom 0";
    // At zoom 4 a drag of 3 pixels moves nothing, one of 7 a whole sprite pixel.
    QTest::newRow("sprite axis, 1:1 then zoom 4") << offset << "S s5,5>1,0>10,0 Z5 s5,5>0,3 s5,5>0,4>0,7>0,8" << " axis 0,18";
    QTest::newRow("frame offset, zoom 2, half a pixel, then 3") << offset << "Z3 o>1,0 o>1,0>6,-2" << " offset 8,-4";
    QTest::newRow("pick at zoom 4: part of a pixel, the last") << offset << "Z5 S P s7,3 s119,159" << " picked 2 picked 164";
    QTest::newRow("pick at zoom 0.5, last screen column") << offset << "Z1 S P s14,0" << " picked 29";
    QTest::newRow("no pick when off, nor right of the sprite") << offset << "S s7,3 P s30,0" << "";
    QTest::newRow("zoom 4, one sprite pixel in two drags") << twoAndOne << "Z5 0>3,0 0>4,0" << "1 11 10 21 20*" + rest;
    QTest::newRow("zoom 0.25 keeps the size") << twoAndOne << "Z0 1>-1,2" << "1 10 10 20 20; 1 36 48 46 58*; 2 -30 20 -20 30";
    QTest::newRow("shift and ctrl add boxes that then move as one")
        << twoAndOne << "0 +1 ^2 0>2,3" << "1 12 13 22 23*; 1 42 43 52 53*; 2 -28 23 -18 33*";
    QTest::newRow("empty space clears, a plain click selects one")
        << twoAndOne << "0 +1 @3,3 2 1" << "1 10 10 20 20; 1 40 40 50 50*; 2 -30 20 -20 30";
    QTest::newRow("bottom-right handle, 7 by 4 at zoom 4") << twoAndOne << "Z5 0 h7>7,4" << "1 10 10 21 21*" + rest;
    QTest::newRow("top-left handle keeps the far corner") << twoAndOne << "Z5 0 h0>8,-4" << "1 12 9 20 20*" + rest;
    QTest::newRow("three clicks cycle three boxes") << overlapping << "@120,140 @120,140 @120,140"
                                                    << "1 5 25 35 55; d2 0 20 40 60; 2 10 30 30 50*";
    QTest::newRow("clicks on every box and handle, at every zoom, change nothing")
        << overlapping << "Z0 C Z1 C Z2 C Z3 C Z4 C Z5 C Z6 C Z7 C Z8 C Z9 C" << "1 5 25 35 55*; d2 0 20 40 60; 2 10 30 30 50";
    QTest::newRow("a shown default takes clicks") << onlyDefault << "@110,110" << "d2 -20 -20 20 20*";
    QTest::newRow("a hidden default does not") << onlyDefault << "H @110,110" << "d2 -20 -20 20 20";
    QTest::newRow("create a Clsn2 box") << twoAndOne << "N1 @90,95>10,5>30,35" << start + "; 2 -10 -5 21 31*";
    QTest::newRow("create up and left at zoom 2") << twoAndOne << "Z3 N1 @100,100>-10,-20" << start + "; 2 -5 -10 1 1*";
    QTest::newRow("the right button ends create mode") << twoAndOne << "N1 !@150,150" << start + " ended";
    QTest::newRow("a right click while drawing drops the box") << twoAndOne << "N0 ~@50,50>10,10 !@60,60" << start + " ended";
    QTest::newRow("a new default replaces the earlier block") << fourFrames << "F2 0 T D" << "d2 10 -50 40 -40*; 2 -5 -60 5 -50";
    QTest::newRow("but not before it") << fourFrames << "F2 0 T D F1" << "d2 -20 -80 20 0";
    QTest::newRow("deleting both brings the earlier block back") << fourFrames << "F2 0 T D 0 +1 X" << "d2 -20 -80 20 0";
    QTest::newRow("toggles, delete, no selection") << fourFrames << "F2 T D X" << "1 10 -50 40 -40; d2 -20 -80 20 0; 2 -5 -60 5 -50";
    // A frame shows the last default block standing at or before it.
    QTest::newRow("defaults: before any block") << twoBlocks << "F0" << "";
    QTest::newRow("defaults: the block in front") << twoBlocks << "F1" << "d2 10 10 30 30; d2 40 40 50 50";
    QTest::newRow("defaults: a later frame") << twoBlocks << "F2" << "d2 10 10 30 30; d2 40 40 50 50";
    QTest::newRow("defaults: the next block replaces it") << twoBlocks << "F3" << "d2 60 60 70 70";
}

void TestSprRender::viewScript()
{
    QFETCH(QByteArray, air);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    View v;
    v.addSprite(10, 20, indexedImage(30, 40, [](int x, int y) { return (10 * y + x + 1) & 255; }));
    v.showAction(air);
    const QString before = v.anims.actionText(0);
    const QPoint offsetBefore(v.anims.frame(0, 0)->x, v.anims.frame(0, 0)->y);
    QSignalSpy edited(&v.r, &QSprRender::boxesChanged), moved(&v.r, &QSprRender::axisChanged),
        picked(&v.r, &QSprRender::colorCaptured), ended(&v.r, &QSprRender::clsnModeExit);
    static const QRegularExpression gesture(R"(^([+^!~]*)(?:(\d)|h(\d)|([@s])(-?\d+),(-?\d+)|o)((?:>-?\d+,-?\d+)*)$)");
    int frame = 0, zoom = 2;
    for (const QString& step : script.split(' ')) {
        const int n = step.mid(1).toInt();
        switch (step.at(0).unicode()) {
        case 'Z': v.setZoom(zoom = n); continue;
        case 'F': v.r.setFrame(frame = n); continue;
        case 'N': v.r.setCreateMode(true, n); continue;
        case 'H': v.r.setClsnVisibility(true, true, false); continue;
        case 'T': v.r.toggleTypeOfSelected(); continue;
        case 'D': v.r.toggleDefaultOfSelected(); continue;
        case 'X': v.r.deleteSelectedBoxes(); continue;
        case 'S': v.r.setSource(0, QRenderMode::SpriteMode); continue;
        case 'P': v.r.setColourPick(true); continue;
        case 'W': v.wheel(n); continue;
        case 'R': v.r.viewSize = QSize(301, 151), v.r.resized(); continue;
        case 'C': // a click on each box and on each of its handles
            for (int i = 0; i < v.r.boxes.size(); ++i)
                for (int h = -1; h < 8; ++h)
                    v.click(h < 0 ? v.r.boxes.at(i).screenRect.center() : v.r.handles[h]);
            continue;
        }
        const auto m = gesture.match(step);
        QVERIFY2(m.hasMatch(), qPrintable(step));
        const QString mods = m.captured(1);
        const QPoint p(m.captured(5).toInt(), m.captured(6).toInt());
        const QPoint at = m.capturedLength(2) ? v.r.boxes.at(m.captured(2).toInt()).screenRect.center()
                          : m.capturedLength(3) ? v.r.handles[m.captured(3).toInt()]
                          : m.captured(4) == "@" ? p
                          : m.captured(4) == "s" ? v.r.spriteRect.topLeft() + p
                                                 : v.r.offsetMarkerRect.center();
        const Qt::MouseButton button = mods.contains('!') ? Qt::RightButton : Qt::LeftButton;
        const auto keys = Qt::KeyboardModifiers().setFlag(Qt::ShiftModifier, mods.contains('+'));
        v.mouse(QEvent::MouseButtonPress, at, button, keys | (mods.contains('^') ? Qt::ControlModifier : Qt::NoModifier));
        QPoint to = at;
        for (const QString& d : m.captured(7).split('>', Qt::SkipEmptyParts))
            v.mouse(QEvent::MouseMove, to = at + QPoint(d.section(',', 0, 0).toInt(), d.section(',', 1).toInt()), button);
        if (!mods.contains('~'))
            v.mouse(QEvent::MouseButtonRelease, to, button);
    }
    QString got = shown(v);
    const QPoint axis(v.sprites.spriteInfo(0).axisX, v.sprites.spriteInfo(0).axisY),
        offset(v.anims.frame(0, 0)->x, v.anims.frame(0, 0)->y);
    if (v.r.zoomIndex != zoom)
        got += QString(" zoom %1").arg(v.r.zoomIndex);
    for (const auto& [what, now, was] : {std::tuple{"at", v.r.axisScreen, QPoint(100, 100)},
                                         {"axis", axis, QPoint(10, 20)}, {"offset", offset, offsetBefore}})
        got += now == was ? QString() : QString(" %1 %2,%3").arg(what).arg(now.x()).arg(now.y());
    for (const QList<QVariant>& c : picked)
        got += QString(" picked %1").arg(c.at(0).value<uchar>());
    QCOMPARE(got + (ended.isEmpty() ? "" : " ended"), expected);
    QCOMPARE(edited.isEmpty(), v.anims.actionText(0) == before || offset != offsetBefore);
    QCOMPARE(moved.isEmpty(), axis == QPoint(10, 20) && offset == offsetBefore);
    // What the view shows is what the document holds, and what its file reads back as.
    View again;
    again.showAction(v.anims.toBytes(), frame);
    QCOMPARE(shown(again), shown(v).remove('*'));
}

void TestSprRender::trueColourSpriteDrawsItsOwnColours()
{
    CORPUS_OR_SKIP(path, "font/num72.sff");
    View v;
    QVERIFY(v.sprites.load(path));
    QCOMPARE(v.sprites.paletteCount(), 0);
    v.r.setSource(0, QRenderMode::SpriteMode);
    v.r.showAxisMarker = false;
    // Opaque pixels keep their colour, clear ones show the background.
    const QImage sprite = v.sprites.spriteImage(0), img = v.image();
    int opaque = 0;
    for (int y = 0; y < sprite.height(); ++y)
        for (int x = 0; x < sprite.width(); ++x)
            if (const QRgb s = sprite.pixel(x, y); qAlpha(s) == 255 || qAlpha(s) == 0) {
                QCOMPARE(img.pixel(v.r.spriteRect.topLeft() + QPoint(x, y)), qAlpha(s) ? s : qRgb(10, 20, 30));
                opaque += qAlpha(s) == 255;
            }
    QVERIFY(opaque > 100);
}

void TestSprRender::randomMouseLeavesBoxesNormalised()
{
    View v(QSize(240, 180));
    v.addSprite(5, 5, indexedImage(20, 20, [](int x, int y) { return (x + y) % 4; }));
    v.showAction(fourFrames + "Clsn1: 2\n Clsn1[0]=0,-20,30,-10\n Clsn1[1]=-2,-2,2,2\n0,0, 3,4, 5\n");
    QRandomGenerator rng(20240601);
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::KeyboardModifiers mods[] = {{}, {}, Qt::ShiftModifier, Qt::ControlModifier};
    auto point = [&] { // mostly near the boxes and handles, sometimes anywhere
        if (rng.bounded(4) == 0)
            return QPoint(rng.bounded(-50, 290), rng.bounded(-50, 230));
        if (v.r.selectionActive && rng.bounded(3) == 0)
            return v.r.handles[rng.bounded(8)] + QPoint(rng.bounded(-4, 4), rng.bounded(-4, 4));
        return v.r.axisScreen + QPoint(rng.bounded(-60, 60), rng.bounded(-90, 40));
    };
    auto checkAll = [&] {
        const AirAction* a = v.anims.action(0);
        QList<ClsnRect> all;
        for (const ClsnDefaultBox& d : a->clsn1Default + a->clsn2Default)
            all << ClsnRect{d.x1, d.y1, d.x2, d.y2};
        for (const AirFrame* f : a->frames)
            all << f->clsn1 << f->clsn2;
        for (const ClsnBox& b : v.r.boxes)
            all << b.rect;
        for (const ClsnRect& r : all)
            QVERIFY(r.x1 <= r.x2 && r.y1 <= r.y2);
    };
    Qt::MouseButton held = Qt::NoButton;
    for (int step = 0; step < 30000; ++step) {
        const int what = int(rng.bounded(168));
        if (what < 28)
            v.mouse(QEvent::MouseButtonPress, point(), held = buttons[rng.bounded(4)], mods[rng.bounded(4)]);
        else if (what < 56)
            v.mouse(QEvent::MouseButtonRelease, point(), std::exchange(held, Qt::NoButton)), checkAll();
        else if (what < 70)
            v.wheel(int(rng.bounded(-2, 3)) * 120);
        else if (what < 72)
            v.r.setCreateMode(rng.bounded(2) == 1, what & 1);
        else if (what < 76) // now and then another frame, a toggle or a deletion
            what == 72 ? v.r.setFrame(int(rng.bounded(5)))
            : what == 73 ? v.r.toggleDefaultOfSelected()
            : what == 74 ? v.r.toggleTypeOfSelected()
                         : v.r.deleteSelectedBoxes();
        else
            v.mouse(QEvent::MouseMove, point(), held, mods[rng.bounded(4)]);
        if (step % 1000 == 0)
            (void)v.image();
    }
    v.mouse(QEvent::MouseButtonRelease, point(), held);
    checkAll();
    // The document still writes and reads back.
    QAnimations again(nullptr);
    again.parse(v.anims.toBytes(), "again.air");
    QCOMPARE(again.actionText(0), v.anims.actionText(0));
}

QTEST_MAIN(TestSprRender)
#include "tst_qsprrender.moc"

// Playing an action at the engine's speed, and writing it as an animated GIF
// that an independent reader (Qt's own GIF plugin) reads back frame for frame.
#include "../render/renderview.h"
#include "animationplayer.h"
#include "gifexport.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

using namespace renderview;

namespace {

// What Qt's reader makes of a GIF: each frame as the whole canvas, and its delay.
struct ReadGif
{
    QList<QImage> frames;
    QList<int> delays; // milliseconds
    int loops = -2;
    QSize size;
};

ReadGif readGif(const QByteArray& bytes)
{
    ReadGif out;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    out.size = reader.size();
    out.loops = reader.loopCount();
    for (;;) {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        out.frames << image.convertToFormat(QImage::Format_ARGB32);
        out.delays << reader.nextImageDelay(); // the delay of the image just read
        if (!reader.canRead())
            break;
    }
    return out;
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT
private slots:
    void playsAtTheEnginesSpeed_data();
    void playsAtTheEnginesSpeed();
    void gifLayout_data();
    void gifLayout();
    void gifPixelsAreTheSprites();
    void gifOfACommunityAction();
};

void TestPlayback::playsAtTheEnginesSpeed_data()
{
    QTest::addColumn<QString>("frames");  // times, L for Loopstart
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("visits");  // frames shown, from the first
    QTest::addColumn<bool>("stops");
    QTest::newRow("times 5 10 5, Loopstart on the second") << "5 10L 5" << 0 << "0 1 2 1 2 1 2 1" << false;
    QTest::newRow("no Loopstart: back to the first") << "3 4" << 0 << "0 1 0 1 0" << false;
    QTest::newRow("started behind the Loopstart: the first until it is met")
        << "2 2L 2 2" << 3 << "3 0 1 2 3 1 2 3" << false;
    QTest::newRow("a frame shown for ever ends play") << "5 -1 5" << 0 << "0 1" << true;
    QTest::newRow("started on a frame shown for ever") << "5 -1" << 1 << "1" << true;
    QTest::newRow("every frame for ever: the first, stopped") << "-1 -1" << 0 << "0" << true;
    QTest::newRow("time 0 is due at once") << "0 0 3" << 0 << "0 1 2 0 1 2" << false;
}

void TestPlayback::playsAtTheEnginesSpeed()
{
    QFETCH(QString, frames);
    QFETCH(int, first);
    QFETCH(QString, visits);
    QFETCH(bool, stops);
    QList<AnimationPlayer::Frame> list;
    for (const QString& f : frames.split(' '))
        list.append({QString(f).remove('L').toInt(), f.endsWith('L')});
    const QStringList expected = visits.split(' ');

    // A clock of our own: the timer fires when it was asked to, sometimes a
    // few milliseconds late, as a busy event loop would.
    QRandomGenerator rng(5);
    qint64 now = 1000;
    AnimationPlayer p;
    QCOMPARE(p.start(list, first, now), !stops || expected.size() > 1);
    QStringList seen{QString::number(p.frame())};
    qint64 ticks = 0;
    while (p.isPlaying() && seen.size() < expected.size()) {
        const qint64 wait = p.msUntilNext(now);
        QVERIFY(wait >= 0);
        ticks += list[p.frame()].time;
        now += wait + rng.bounded(8);
        seen << QString::number(p.step());
        // The frame shown now began on the action's timeline, whatever the lateness.
        QCOMPARE(p.frameStartTick(), ticks);
    }
    QCOMPARE(seen.join(' '), visits);
    QCOMPARE(p.isPlaying(), !stops);
    if (stops)
        QCOMPARE(p.msUntilNext(now), qint64(-1));
}

void TestPlayback::gifLayout_data()
{
    QTest::addColumn<QByteArray>("air");
    QTest::addColumn<QString>("layout"); // canvas, then each image: left,top wxh delay, L for the loop block, T for a local table
    QTest::newRow("one 40 x 60 frame, axis 20,55") << QByteArray("[Begin Action 0]\n0,0, 0,0, 10\n")
                                                  << "40x60 | 0,0 40x60 16 L";
    QTest::newRow("two palettes give local tables, time 3 a delay of 5, time 1 of 1")
        << QByteArray("[Begin Action 0]\n0,0, 0,0, 3\n1,0, 0,0, 1\n") << "40x75 | 0,0 40x60 5 L T | 20,55 20x20 1 T";
    QTest::newRow("Loopstart on the third frame") << QByteArray("[Begin Action 0]\n0,0,0,0,5\n0,0,0,0,5\nLoopstart\n0,0,0,0,5\n")
                                                  << "40x60 | 0,0 40x60 8 | 0,0 40x60 8 | 0,0 40x60 8 L";
    QTest::newRow("offsets and flips widen the canvas around the axis")
        << QByteArray("[Begin Action 0]\n0,0, 10,-5, 6, H\n0,0, -10,0, 6\n") << "60x65 | 20,0 40x60 10 L | 0,5 40x60 10";
    QTest::newRow("missing sprites are left out; time -1") << QByteArray("[Begin Action 0]\n7,7, 0,0, 5\n0,0, 0,0, -1\n")
                                                           << "40x60 | 0,0 40x60 65535 L";
    QTest::newRow("no sprite at all: header, screen and trailer") << QByteArray("[Begin Action 0]\n7,7,0,0,5\n") << "0x0";
}

void TestPlayback::gifLayout()
{
    QFETCH(QByteArray, air);
    QFETCH(QString, layout);
    View v;
    v.addSprite(20, 55, indexedImage(40, 60, [](int x, int y) { return (x + y) % 7; }));
    // Sprite 1,0: 20 x 20, drawn with a palette of its own.
    v.sprites.addSprite();
    QImage other = indexedImage(20, 20, [](int x, int) { return x % 3; });
    other.setColor(1, qRgb(1, 2, 3));
    QVERIFY(v.sprites.setImage(1, other));
    SpriteInfo info = v.sprites.spriteInfo(1);
    info.group = 1;
    v.sprites.setSpriteInfo(1, info);
    v.anims.parse(air, "g.air");
    const GifWriter gif = actionGif(v.sprites, v.anims, 0);
    QStringList got{QString("%1x%2").arg(gif.width).arg(gif.height)};
    for (const GifFrame& f : gif.frames)
        got << QString("%1,%2 %3x%4 %5").arg(f.left).arg(f.top).arg(f.image.width()).arg(f.image.height()).arg(f.delay)
                   + (f.loopExtension ? " L" : "") + (f.colours.isEmpty() ? "" : " T");
    QCOMPARE(got.join(" | "), layout);

    // The bytes say the same: the screen, the global table only without
    // local ones, and the loop block where it belongs.
    const QByteArray bytes = gif.bytes();
    QVERIFY(bytes.startsWith("GIF89a") && bytes.endsWith(';'));
    QCOMPARE(quint8(bytes[10]), quint8(gif.frames.isEmpty() || !gif.frames[0].colours.isEmpty() ? 0x77 : 0xF7));
    QCOMPARE(bytes.count("NETSCAPE2.0"), gif.frames.isEmpty() ? 0 : 1);
    const ReadGif read = readGif(bytes);
    QCOMPARE(read.frames.size(), gif.frames.size());
    // (Qt's reader, as browsers do, stretches delays below 2 hundredths.)
    for (int i = 0; i < gif.frames.size(); ++i)
        if (gif.frames[i].delay >= 2)
            QCOMPARE(read.delays[i], gif.frames[i].delay * 10);
    if (!gif.frames.isEmpty()) {
        QCOMPARE(read.size, QSize(gif.width, gif.height));
        QCOMPARE(read.loops, -1); // for ever
    }
}

void TestPlayback::gifPixelsAreTheSprites()
{
    // Every index of a 300 x 300 sprite of noise (its codes run past 4095, so
    // the table is cleared and begun again), flipped both ways, and a second
    // frame of another size: each decoded frame shows the sprite's own colours
    // where it has them and nothing where its index is 0.
    View v;
    QRandomGenerator rng(9);
    const QImage noise = indexedImage(300, 300, [&](int, int) { return int(rng.bounded(256)); });
    v.addSprite(150, 300, noise);
    v.sprites.addSprite();
    QVERIFY(v.sprites.setImage(1, indexedImage(17, 9, [](int x, int y) { return (x * y) % 5; })));
    SpriteInfo info = v.sprites.spriteInfo(1);
    info.group = 1;
    info.axisX = 3;
    info.axisY = 9;
    v.sprites.setSpriteInfo(1, info);
    v.anims.parse("[Begin Action 0]\n0,0, 0,0, 4, VH\n1,0, 5,-7, 4\n", "g.air");
    const GifWriter gif = actionGif(v.sprites, v.anims, 0);
    const ReadGif read = readGif(gif.bytes());
    QCOMPARE(read.frames.size(), 2);
    for (int k = 0; k < 2; ++k) {
        const QImage sprite = v.sprites.spriteImage(k).mirrored(k == 0, k == 0);
        const GifFrame& f = gif.frames[k];
        const QImage& canvas = read.frames[k];
        int wrong = 0;
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x) {
                const int index = sprite.pixelIndex(x, y);
                const QRgb got = canvas.pixel(f.left + x, f.top + y);
                wrong += index == 0 ? qAlpha(got) != 0 : got != (sprite.color(index) | 0xFF000000);
            }
        QCOMPARE(wrong, 0);
    }
    // The two frames together, to look at.
    QImage strip(read.frames[0].width() * 2 + 4, read.frames[0].height(), QImage::Format_ARGB32);
    strip.fill(qRgb(128, 128, 255));
    QPainter painter(&strip);
    painter.drawImage(0, 0, read.frames[0]);
    painter.drawImage(read.frames[0].width() + 4, 0, read.frames[1]);
    painter.end();
    strip.save(testsupport::snapshotDir() + "/gif-noise-frames.png");
}

void TestPlayback::gifOfACommunityAction()
{
    // A character made with other tools, through morvane-tool: its longest
    // action (31 frames) reads back frame for frame.
    CORPUS_OR_SKIP(sff, "community/chars/Dosu/Dosu.sff");
    CORPUS_OR_SKIP(air, "community/chars/Dosu/Dosu.air");
    QTemporaryDir dir;
    const QString out = dir.filePath("dosu.gif");
    QByteArray printed;
    QCOMPARE(testsupport::runTool({"gif", sff, air, "--action", "1234", out}, &printed), 0);
    QCOMPARE(QString::fromUtf8(printed).section(',', 0, 0), QString("31 of 31 frames"));
    const ReadGif read = readGif(testsupport::readFile(out));
    QCOMPARE(read.frames.size(), 31);
    QMessages m;
    QSprites sprites(&m, BlobStoreMode::BlobsInMemory, false, -1);
    QAnimations animations(&m);
    QVERIFY(sprites.load(sff) && animations.load(air));
    int index = 0;
    while (animations.actionInfo(index).number != 1234)
        ++index;
    QCOMPARE(testsupport::readFile(out), actionGif(sprites, animations, index).bytes()); // one code path
    QImage strip(read.size.width() * 8, read.size.height() * 4, QImage::Format_ARGB32);
    strip.fill(qRgb(128, 128, 255));
    QPainter painter(&strip);
    for (int i = 0; i < read.frames.size(); ++i)
        painter.drawImage((i % 8) * read.size.width(), (i / 8) * read.size.height(), read.frames[i]);
    painter.end();
    strip.save(testsupport::snapshotDir() + "/gif-dosu-1234.png");
    // Unknown action numbers and wrong usage are told.
    QCOMPARE(testsupport::runTool({"gif", sff, air, "--action", "999999", out}), 1);
    QCOMPARE(testsupport::runTool({"gif", sff, air, out}), 2);
}

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"

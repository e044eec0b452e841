#include "../render/renderview.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolRender : public QObject
{
    Q_OBJECT
private slots:
    void drawsWhatTheViewShows_data();
    void drawsWhatTheViewShows();
    void failures_data();
    void failures();

private:
    QTemporaryDir dir;
};

void TestToolRender::drawsWhatTheViewShows_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("sprite");  // -1: an action
    QTest::addColumn<int>("action");  // index in fightfx.air
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("size");
    QTest::newRow("sprite 1:1") << QStringList{"--sprite", "5"} << 5 << 0 << 0 << 2 << QSize(640, 480);
    QTest::newRow("sprite zoom 0.5") << QStringList{"--sprite", "0", "--zoom", "0.5", "--size", "99x61"} << 0 << 0 << 0
                                     << 1 << QSize(99, 61);
    QTest::newRow("additive frame zoom 3") << QStringList{"--action", "2", "--frame", "3", "--zoom", "3", "--size",
                                                          "300x200"}
                                           << -1 << 2 << 3 << 4 << QSize(300, 200);
}

void TestToolRender::drawsWhatTheViewShows()
{
    QFETCH(QStringList, options);
    QFETCH(int, sprite);
    QFETCH(int, action);
    QFETCH(int, frame);
    QFETCH(int, zoom);
    QFETCH(QSize, size);
    CORPUS_OR_SKIP(sff, "data/fightfx.sff");
    CORPUS_OR_SKIP(air, "data/fightfx.air");
    // The pictures are kept with the snapshots for people to look at.
    const QString png = testsupport::snapshotDir() + "/tool_render_"
                        + QString(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "_") + ".png";
    QFile::remove(png);
    QStringList args{"render", sff};
    if (sprite < 0)
        args << air;
    args << options << png;
    QCOMPARE(runTool(args), 0);

    // The same picture drawn here with the renderer the window uses.
    renderview::View v(size);
    v.r.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    QVERIFY(v.sprites.load(sff));
    QVERIFY(v.anims.load(air));
    v.r.zoomIndex = quint8(zoom);
    v.r.setClsnVisibility(true, true, true);
    v.r.setSource(sprite >= 0 ? sprite : action, sprite >= 0 ? SpriteMode : AnimationMode);
    v.r.setFrame(frame);
    v.r.setPalette(-1);
    v.r.updateGeometry();
    const QImage expected = v.image();

    const QImage got(png);
    QCOMPARE(got.size(), size);
    QCOMPARE(got.convertToFormat(QImage::Format_RGB888), expected);
}

void TestToolRender::failures_data()
{
    QTest::addColumn<QStringList>("args"); // SFF and AIR are put in for "SFF" and "AIR"
    QTest::addColumn<int>("status");
    QTest::newRow("neither sprite nor action") << QStringList{"SFF", "out.png"} << 2;
    QTest::newRow("both sprite and action") << QStringList{"SFF", "AIR", "--sprite", "0", "--action", "0", "o.png"} << 2;
    QTest::newRow("zoom not in the table") << QStringList{"SFF", "--sprite", "0", "--zoom", "1.5", "o.png"} << 2;
    QTest::newRow("bad size") << QStringList{"SFF", "--sprite", "0", "--size", "0x10", "o.png"} << 2;
    QTest::newRow("unknown option") << QStringList{"SFF", "--sprite", "0", "--fast", "o.png"} << 2;
    QTest::newRow("action without AIR") << QStringList{"SFF", "--action", "0", "o.png"} << 2;
    QTest::newRow("sprite out of range") << QStringList{"SFF", "--sprite", "100000", "o.png"} << 1;
    QTest::newRow("no such action") << QStringList{"SFF", "AIR", "--action", "4242", "o.png"} << 1;
    QTest::newRow("frame out of range") << QStringList{"SFF", "AIR", "--action", "0", "--frame", "99", "o.png"} << 1;
    QTest::newRow("missing archive") << QStringList{"/nonexistent.sff", "--sprite", "0", "o.png"} << 1;
    QTest::newRow("unwritable picture") << QStringList{"SFF", "--sprite", "0", "/nonexistent/dir/o.png"} << 1;
}

void TestToolRender::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    CORPUS_OR_SKIP(sff, "data/fightfx.sff");
    CORPUS_OR_SKIP(air, "data/fightfx.air");
    QStringList full{"render"};
    for (const QString& a : args)
        full << (a == "SFF" ? sff : a == "AIR" ? air : a == "o.png" ? dir.filePath("o.png") : a);
    QCOMPARE(runTool(full), status);
    QVERIFY(!QFile::exists(dir.filePath("o.png")));
}

QTEST_MAIN(TestToolRender)
#include "tst_tool_render.moc"

#include "../render/renderview.h"
#include "testsupport.h"

#include <QtTest>

using testsupport::runTool;

class TestToolRender : public QObject
{
    Q_OBJECT
private slots:
    void render_data();
    void render();
};

void TestToolRender::render_data()
{
    QTest::addColumn<QStringList>("args"); // SFF and AIR are put in for "SFF" and "AIR"
    QTest::addColumn<int>("status");
    QTest::newRow("an additive frame at zoom 3")
        << QStringList{"SFF", "AIR", "--action", "2", "--frame", "3", "--zoom", "3", "--size", "300x200", "o.png"} << 0;
    QTest::newRow("zoom not in the table") << QStringList{"SFF", "--sprite", "0", "--zoom", "1.5", "o.png"} << 2;
    QTest::newRow("sprite out of range") << QStringList{"SFF", "--sprite", "100000", "o.png"} << 1;
    QTest::newRow("frame out of range") << QStringList{"SFF", "AIR", "--action", "0", "--frame", "99", "o.png"} << 1;
    QTest::newRow("unwritable picture") << QStringList{"SFF", "--sprite", "0", "/nonexistent/dir/o.png"} << 1;
}

void TestToolRender::render()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    CORPUS_OR_SKIP(sff, "data/fightfx.sff");
    CORPUS_OR_SKIP(air, "data/fightfx.air");
    // The picture is kept with the snapshots for people to look at.
    const QString png = testsupport::snapshotDir() + "/tool_render_action.png";
    QFile::remove(png);
    QStringList full{"render"};
    for (const QString& a : args)
        full << (a == "SFF" ? sff : a == "AIR" ? air : a == "o.png" ? png : a);
    QCOMPARE(runTool(full), status);
    QCOMPARE(QFile::exists(png), status == 0);
    if (status)
        return;
    // The same picture drawn here with the renderer the window uses.
    renderview::View v(QSize(300, 200));
    v.r.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    QVERIFY(v.sprites.load(sff));
    v.showAction(testsupport::readFile(air), 3, 2);
    v.setZoom(4);
    QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB888), v.image());
}

QTEST_MAIN(TestToolRender)
#include "tst_tool_render.moc"

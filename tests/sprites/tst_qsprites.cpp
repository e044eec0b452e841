// The sprite archive: real files, links, palettes, editing, saving.
#include "qmessages.h"
#include "qsprites.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSprites : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void corpusFilesLoad_data();
    void corpusFilesLoad();
    void saveThenLoadGivesTheSameArchive_data() { corpusFilesLoad_data(); }
    void saveThenLoadGivesTheSameArchive();

private:
    QTemporaryDir dir;
};

namespace {
// Everything a save and load must keep, sprite by sprite and palette by palette.
void compareArchives(const QSprites& a, const QSprites& b)
{
    QCOMPARE(b.spriteCount(), a.spriteCount());
    QCOMPARE(b.paletteCount(), a.paletteCount());
    for (int i = 0; i < a.spriteCount(); ++i) {
        QCOMPARE(b.spriteInfo(i).group, a.spriteInfo(i).group);
        QCOMPARE(b.spriteInfo(i).number, a.spriteInfo(i).number);
        QCOMPARE(b.spriteInfo(i).axisX, a.spriteInfo(i).axisX);
        QCOMPARE(b.spriteInfo(i).axisY, a.spriteInfo(i).axisY);
        QCOMPARE(b.spriteInfo(i).hasData, a.spriteInfo(i).hasData);
        QCOMPARE(b.spriteInfo(i).paletteIndex, a.spriteInfo(i).paletteIndex);
        if (!a.spriteInfo(i).hasData)
            QCOMPARE(b.spriteInfo(i).linkIndex, a.spriteInfo(i).linkIndex);
        QCOMPARE(b.spriteSize(i), a.spriteSize(i));
        QCOMPARE(b.spritePixels(i), a.spritePixels(i));
    }
    for (int k = 0; k < a.paletteCount(); ++k) {
        QCOMPARE(b.paletteInfo(k), a.paletteInfo(k));
        QCOMPARE(b.paletteData(k), a.paletteData(k));
    }
}
} // namespace

void TestSprites::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestSprites::corpusFilesLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sprites");
    QTest::addColumn<int>("palettes");
    QTest::newRow("intro 1.01") << "chars/kfm/intro.sff" << 12 << 2;
    QTest::newRow("ending 1.01") << "chars/kfm/ending.sff" << 7 << 1;
    QTest::newRow("fightfx 1.01") << "data/fightfx.sff" << 104 << 17;
    QTest::newRow("hell stage 1.01") << "stages/hell_stage.sff" << 3 << 3;
    QTest::newRow("happyplace stage 1.01") << "stages/happyplace_stage.sff" << 3 << 3;
    QTest::newRow("f-4x6 LZ5 and links") << "font/f-4x6.sff" << 94 << 8;
    QTest::newRow("f-4x6-raw raw") << "font/f-4x6-raw.sff" << 94 << 1;
    QTest::newRow("f-6x9 translated block") << "font/f-6x9.sff" << 94 << 1;
    QTest::newRow("arcade RLE8") << "font/arcade.sff" << 67 << 8;
    QTest::newRow("ending-2 both blocks") << "font/ending-2.sff" << 94 << 5;
    QTest::newRow("num72 PNG") << "font/num72.sff" << 22 << 0;
}

void TestSprites::corpusFilesLoad()
{
    QFETCH(QString, file);
    QFETCH(int, sprites);
    QFETCH(int, palettes);
    CORPUS_OR_SKIP(path, file);
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(path));
    QCOMPARE(messages.rowCount(), 0);
    QCOMPARE(s.spriteCount(), sprites);
    QCOMPARE(s.paletteCount(), palettes);
    for (int i = 0; i < s.spriteCount(); ++i) {
        QVERIFY2(s.linkTarget(i) >= 0, qPrintable(QString::number(i)));
        QVERIFY(!s.spriteImage(i).isNull());
    }
}

void TestSprites::saveThenLoadGivesTheSameArchive()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QMessages messages;
    QSprites original(&messages, BlobsInMemory, false, -1);
    QVERIFY(original.load(path));
    const QString saved = dir.filePath(QFileInfo(file).fileName());
    QVERIFY(original.save(saved, true));
    QCOMPARE(original.fileName(), saved);
    QSprites again(&messages, BlobsInMemory, false, -1);
    QVERIFY(again.load(saved));
    QCOMPARE(again.loadedVersion(), 2);
    QCOMPARE(messages.rowCount(), 0);
    compareArchives(original, again);
}

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_qsprites.moc"

// morvane-tool sff info, extract and convert on real archives.
#include "../sprites/spritetestdata.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolSff : public QObject
{
    Q_OBJECT
private slots:
    void eachCorpusFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("header");
        QTest::newRow("intro 1.01") << "chars/kfm/intro.sff" << "1.01 sprites 12 palettes 2";
        QTest::newRow("ending 1.01") << "chars/kfm/ending.sff" << "1.01 sprites 7 palettes 1";
        QTest::newRow("fightfx 1.01") << "data/fightfx.sff" << "1.01 sprites 104 palettes 17";
        QTest::newRow("hell stage 1.01") << "stages/hell_stage.sff" << "1.01 sprites 3 palettes 3";
        QTest::newRow("happyplace stage 1.01") << "stages/happyplace_stage.sff" << "1.01 sprites 3 palettes 3";
        QTest::newRow("f-4x6 LZ5 and links") << "font/f-4x6.sff" << "2.00 sprites 94 palettes 8";
        QTest::newRow("f-4x6-raw raw") << "font/f-4x6-raw.sff" << "2.00 sprites 94 palettes 1";
        QTest::newRow("f-6x9 translated block") << "font/f-6x9.sff" << "2.00 sprites 94 palettes 1";
        QTest::newRow("arcade RLE8") << "font/arcade.sff" << "2.00 sprites 67 palettes 8";
        QTest::newRow("ending-2 both blocks") << "font/ending-2.sff" << "2.00 sprites 94 palettes 5";
        QTest::newRow("num72 PNG") << "font/num72.sff" << "2.00 sprites 22 palettes 0";
    }

    void eachCorpusFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, header);
        CORPUS_OR_SKIP(path, file);
        QSprites original(nullptr, BlobsInMemory, false, -1);
        QVERIFY(original.load(path));
        // info: the header line, the column names, one row per sprite; nothing to report.
        QByteArray out, err;
        QCOMPARE(runTool({"sff", "info", path}, &out, &err), 0);
        QCOMPARE(err, QByteArray());
        const QStringList rows = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.value(0), "# version " + header);
        QCOMPARE(rows.value(1), QStringLiteral("index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags"));
        QCOMPARE(rows.size(), original.spriteCount() + 2);
        QCOMPARE(rows.value(2).split('\t').value(3).toInt(), int(original.spriteSize(0).width));

        // extract: the table, a PNG per sprite with data, an ACT per palette.
        const QDir target(dir.filePath(QFileInfo(file).baseName() + "-extract"));
        QCOMPARE(runTool({"sff", "extract", path, target.path()}, &out, &err), 0);
        QCOMPARE(QString::fromUtf8(testsupport::readFile(target.filePath("sprites.tsv"))).split('\n', Qt::SkipEmptyParts), rows);
        for (int i = 0; i < original.spriteCount(); ++i) {
            const QString png = target.filePath(QStringLiteral("%1.png").arg(i));
            QCOMPARE(QFile::exists(png), original.spriteInfo(i).hasData);
            if (!original.spriteInfo(i).hasData)
                continue;
            const QImage image(png), expected = original.spriteImage(i);
            if (expected.format() == QImage::Format_Indexed8) { // exactly the sprite's indices and its palette
                QCOMPARE(image.format(), QImage::Format_Indexed8);
                QCOMPARE(image.colorTable(), expected.colorTable());
                QCOMPARE(spritetest::packedRows(image), spritetest::packedRows(expected));
            } else {
                QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
            }
        }
        for (int k = 0; k <= original.paletteCount(); ++k) {
            QByteArray colours;
            QCOMPARE(QSprites::loadPaletteAct(target.filePath(QStringLiteral("pal%1.act").arg(k)), colours), k < original.paletteCount());
            QCOMPARE(colours, original.paletteData(k));
        }

        // convert: a version 2.00 file that reads back sprite for sprite.
        const QString converted = dir.filePath(QFileInfo(file).baseName() + "-converted.sff");
        QCOMPARE(runTool({"sff", "convert", path, converted}, &out, &err), 0);
        QSprites again(nullptr, BlobsInMemory, false, -1);
        QVERIFY(again.load(converted) && again.loadedVersion() == 2);
        spritetest::compareArchives(original, again);
    }

    void refusedBrokenAndWrongUse()
    {
        // Two sprites that link to themselves: the archive loads, the issue lines
        // go to stderr, and the exit status says there was a problem.
        const QString broken = dir.filePath("broken.sff");
        testsupport::writeFile(broken, spritetest::sffV1({{0, 0, 0, 0, 0, false, {}}, {0, 1, 0, 0, 1, false, {}}}));
        QByteArray out, err;
        QCOMPARE(runTool({"sff", "info", broken}, &out, &err), 1);
        QVERIFY(err.contains("broken.sff(1): Sprite incorrect linked to the index 1\n"));
        QCOMPARE(out.count('\n'), 4);
        // A version it cannot read, a missing file: nothing is written.
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
        QCOMPARE(runTool({"sff", "convert", kfm, dir.filePath("never.sff")}, &out, &err), 1);
        QVERIFY(err.contains("kfm.sff(0): SFF version '0.1.0.2' not supported yet\n"));
        QVERIFY(!QFile::exists(dir.filePath("never.sff")));
        QCOMPARE(runTool({"sff", "extract", dir.filePath("missing.sff"), dir.filePath("x")}, &out, &err), 1);
        QVERIFY(!QDir(dir.filePath("x")).exists());
        for (const QStringList& args : {QStringList{"sff"}, {"sff", "info"}, {"sff", "convert", "a", "b", "c"}, {"sff", "shrink", "a"}})
            QCOMPARE(runTool(args, &out, &err), 2);
        QVERIFY(err.contains("sff info FILE"));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestToolSff)
#include "tst_tool_sff.moc"

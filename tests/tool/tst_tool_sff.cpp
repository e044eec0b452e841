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
        QTest::addColumn<QString>("formats"); // how many sprites of each format, as info counts them
        QTest::newRow("intro 1.01") << "chars/kfm/intro.sff" << "1.01 sprites 12 palettes 2" << "12 pcx";
        QTest::newRow("ending 1.01") << "chars/kfm/ending.sff" << "1.01 sprites 7 palettes 1" << "7 pcx";
        QTest::newRow("fightfx 1.01") << "data/fightfx.sff" << "1.01 sprites 104 palettes 17" << "104 pcx";
        QTest::newRow("hell stage 1.01") << "stages/hell_stage.sff" << "1.01 sprites 3 palettes 3" << "3 pcx";
        QTest::newRow("happyplace stage 1.01") << "stages/happyplace_stage.sff" << "1.01 sprites 3 palettes 3" << "3 pcx";
        QTest::newRow("f-4x6 LZ5 and links") << "font/f-4x6.sff" << "2.00 sprites 94 palettes 8" << "11 linked, 83 lz5";
        QTest::newRow("f-4x6-raw raw") << "font/f-4x6-raw.sff" << "2.00 sprites 94 palettes 1" << "94 raw";
        QTest::newRow("f-6x9 translated block") << "font/f-6x9.sff" << "2.00 sprites 94 palettes 1" << "94 rle8";
        QTest::newRow("arcade RLE8") << "font/arcade.sff" << "2.00 sprites 67 palettes 8" << "67 rle8";
        QTest::newRow("ending-2 both blocks") << "font/ending-2.sff" << "2.00 sprites 94 palettes 5" << "32 linked, 62 rle8";
        QTest::newRow("num72 PNG") << "font/num72.sff" << "2.00 sprites 22 palettes 0" << "22 png32";
        QTest::newRow("kfm 2.01") << "chars/kfm/kfm.sff" << "2.01 sprites 278 palettes 13" << "48 linked, 227 lz5, 3 png32";
        QTest::newRow("kfm stage 2.01") << "stages/kfm.sff" << "2.01 sprites 8 palettes 7" << "8 png8";
        QTest::newRow("stage0 2.01") << "stages/stage0.sff" << "2.01 sprites 3 palettes 3" << "1 png24, 2 png8";
        QTest::newRow("default-3x5 2.01") << "font/default-3x5.sff" << "2.01 sprites 94 palettes 1" << "1 linked, 93 lz5";
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
        QCOMPARE(rows.value(1), QStringLiteral("index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags\tformat"));
        QCOMPARE(rows.size(), original.spriteCount() + 2);
        QCOMPARE(rows.value(2).split('\t').value(3).toInt(), int(original.spriteSize(0).width));
        QMap<QString, int> counted;
        for (const QString& row : rows.mid(2))
            ++counted[row.split('\t').value(11)];
        QStringList formats;
        for (auto f = counted.cbegin(); f != counted.cend(); ++f)
            formats << QString("%1 %2").arg(f.value()).arg(f.key());
        QTEST(formats.join(", "), "formats");

        // extract: the table, a PNG per sprite with data, an ACT per palette.
        const QString tag = QString(QTest::currentDataTag()).replace(' ', '-');
        const QDir target(dir.filePath(tag + "-extract"));
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

        // convert: a file of the version a save keeps that reads back sprite for sprite.
        const QString converted = dir.filePath(tag + "-converted.sff");
        QCOMPARE(runTool({"sff", "convert", path, converted}, &out, &err), 0);
        QVERIFY(out.endsWith("as version " + sffVersionText(original.saveVersion()).toUtf8() + "\n"));
        QSprites again(nullptr, BlobsInMemory, false, -1);
        QVERIFY(again.load(converted));
        QCOMPARE(again.version(), original.saveVersion());
        spritetest::compareArchives(original, again);
    }

    void convertBetweenVersions()
    {
        // kfm's 2.01 archive through 2.00 and 1.01 and back: every indexed
        // sprite keeps its indices and the colours it is drawn with; the three
        // true-colour portraits are reduced (transparent stays transparent).
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
        QSprites original(nullptr, BlobsInMemory, false, -1);
        QVERIFY(original.load(kfm));
        QString from = kfm;
        for (const QString& version : {"2.00", "1.01", "2.01"}) {
            const QString to = dir.filePath("kfm-" + version + ".sff");
            QByteArray out, err;
            QCOMPARE(runTool({"sff", "convert", "--version", version, from, to}, &out, &err), 0);
            QCOMPARE(QString::fromUtf8(err).trimmed(),
                     version == "2.00" ? QString("morvane-tool: 3 true-colour sprites reduced to 256 colours for version 2.00")
                     : version == "1.01" ? QString("morvane-tool: the palettes are written as version 1.01 keeps them: in the sprites' images")
                                         : QString());
            QVERIFY(out.endsWith("as version " + version.toUtf8() + "\n"));
            QSprites again(nullptr, BlobsInMemory, false, -1);
            QVERIFY(again.load(to));
            QCOMPARE(sffVersionText(again.version()), version);
            QCOMPARE(again.spriteCount(), original.spriteCount());
            QVERIFY(!again.hasTrueColour());
            for (int i = 0; i < original.spriteCount(); ++i) {
                const QImage before = original.spriteImage(i), after = again.spriteImage(i);
                QCOMPARE(after.size(), before.size());
                if (before.format() == QImage::Format_Indexed8) {
                    QCOMPARE(again.spritePixels(i), original.spritePixels(i));
                    QCOMPARE(after.colorTable(), before.colorTable());
                } else if (!before.isNull()) {
                    for (const QPoint p : {QPoint(0, 0), QPoint(before.width() / 2, before.height() / 2)})
                        QCOMPARE(after.pixelIndex(p) == 0, qAlpha(before.pixel(p)) == 0);
                }
            }
            from = to;
        }
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
        QByteArray future = spritetest::sffV2({}, {});
        future[15] = 3;
        const QString v300 = testsupport::writeFile(dir.filePath("future.sff"), future);
        QCOMPARE(runTool({"sff", "convert", v300, dir.filePath("never.sff")}, &out, &err), 1);
        QVERIFY(err.contains("future.sff(0): SFF version '0.0.0.3' not supported yet\n"));
        QVERIFY(!QFile::exists(dir.filePath("never.sff")));
        QCOMPARE(runTool({"sff", "extract", dir.filePath("missing.sff"), dir.filePath("x")}, &out, &err), 1);
        QVERIFY(!QDir(dir.filePath("x")).exists());
        for (const QStringList& args : {QStringList{"sff"}, {"sff", "info"}, {"sff", "convert", "a", "b", "c"}, {"sff", "shrink", "a"},
                                        {"sff", "convert", "--version", "2.02", "a", "b"}, {"sff", "convert", "--format", "2.00", "a", "b"}})
            QCOMPARE(runTool(args, &out, &err), 2);
        QVERIFY(err.contains("sff info FILE"));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestToolSff)
#include "tst_tool_sff.moc"

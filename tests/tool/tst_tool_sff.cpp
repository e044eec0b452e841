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
    void eachCorpusFile_data();
    void eachCorpusFile();
    void refusedAndBrokenFiles();
    void usage();
    void extractedFontGlyphsAreReadable();
    void extractedTrueColourSprites();

private:
    QTemporaryDir dir;
};

namespace {
QStringList rowsOf(const QByteArray& table)
{
    return QString::fromUtf8(table).split('\n', Qt::SkipEmptyParts);
}
} // namespace

void TestToolSff::eachCorpusFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("linked");
    QTest::newRow("intro 1.01") << "chars/kfm/intro.sff" << "1.01 sprites 12 palettes 2" << 0;
    QTest::newRow("ending 1.01") << "chars/kfm/ending.sff" << "1.01 sprites 7 palettes 1" << 0;
    QTest::newRow("fightfx 1.01") << "data/fightfx.sff" << "1.01 sprites 104 palettes 17" << 0;
    QTest::newRow("hell stage 1.01") << "stages/hell_stage.sff" << "1.01 sprites 3 palettes 3" << 0;
    QTest::newRow("happyplace stage 1.01") << "stages/happyplace_stage.sff" << "1.01 sprites 3 palettes 3" << 0;
    QTest::newRow("f-4x6 LZ5 and links") << "font/f-4x6.sff" << "2.00 sprites 94 palettes 8" << 11;
    QTest::newRow("f-4x6-raw raw") << "font/f-4x6-raw.sff" << "2.00 sprites 94 palettes 1" << 0;
    QTest::newRow("f-6x9 translated block") << "font/f-6x9.sff" << "2.00 sprites 94 palettes 1" << 0;
    QTest::newRow("arcade RLE8") << "font/arcade.sff" << "2.00 sprites 67 palettes 8" << 0;
    QTest::newRow("ending-2 both blocks") << "font/ending-2.sff" << "2.00 sprites 94 palettes 5" << 32;
    QTest::newRow("num72 PNG") << "font/num72.sff" << "2.00 sprites 22 palettes 0" << 0;
}

void TestToolSff::eachCorpusFile()
{
    QFETCH(QString, file);
    QFETCH(QString, header);
    QFETCH(int, linked);
    CORPUS_OR_SKIP(path, file);
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(path));

    // info: the header line, the column names, one row per sprite; nothing
    // to report.
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "info", path}, &out, &err), 0);
    QCOMPARE(err, QByteArray());
    const QStringList rows = rowsOf(out);
    QCOMPARE(rows.value(0), "# version " + header);
    QCOMPARE(rows.value(1), QStringLiteral("index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags"));
    QCOMPARE(rows.size(), original.spriteCount() + 2);
    QCOMPARE(rows.value(2).split('\t').value(3).toInt(), int(original.spriteSize(0).width));

    // extract: the table, a PNG per sprite with data, an ACT per palette.
    const QDir target(dir.filePath(QFileInfo(file).baseName() + "-extract"));
    QCOMPARE(runTool({"sff", "extract", path, target.path()}, &out, &err), 0);
    QCOMPARE(rowsOf(testsupport::readFile(target.filePath("sprites.tsv"))), rows);
    int links = 0;
    for (int i = 0; i < original.spriteCount(); ++i) {
        const QString png = target.filePath(QStringLiteral("%1.png").arg(i));
        QCOMPARE(QFile::exists(png), original.spriteInfo(i).hasData);
        if (!original.spriteInfo(i).hasData) {
            ++links;
            continue;
        }
        const QImage image(png);
        const QImage expected = original.spriteImage(i);
        if (expected.format() == QImage::Format_Indexed8) {
            // An 8-bit PNG with exactly the sprite's indices and its palette.
            QCOMPARE(image.format(), QImage::Format_Indexed8);
            QCOMPARE(image.colorTable(), expected.colorTable());
            QCOMPARE(spritetest::packedRows(image), spritetest::packedRows(expected));
        } else {
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
        }
        // Every sprite shows something: no file here has an empty picture.
        const QImage shown = image.convertToFormat(QImage::Format_RGB32);
        QVERIFY2(shown != QImage(shown.size(), QImage::Format_RGB32), qPrintable(png));
    }
    QCOMPARE(links, linked);
    for (int k = 0; k < original.paletteCount(); ++k) {
        QByteArray colours;
        QVERIFY(QSprites::loadPaletteAct(target.filePath(QStringLiteral("pal%1.act").arg(k)), colours));
        QCOMPARE(colours, original.paletteData(k));
    }
    QVERIFY(!QFile::exists(target.filePath(QStringLiteral("pal%1.act").arg(original.paletteCount()))));

    // convert: a version 2.00 file that reads back sprite for sprite.
    const QString converted = dir.filePath(QFileInfo(file).baseName() + "-converted.sff");
    QCOMPARE(runTool({"sff", "convert", path, converted}, &out, &err), 0);
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(converted));
    QCOMPARE(again.loadedVersion(), 2);
    spritetest::compareArchives(original, again);
}

void TestToolSff::refusedAndBrokenFiles()
{
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "info", kfm}, &out, &err), 1);
    QVERIFY(out.isEmpty());
    QVERIFY(err.contains("kfm.sff(0): SFF version '0.1.0.2' not supported yet\n"));
    QCOMPARE(runTool({"sff", "convert", kfm, dir.filePath("never.sff")}, &out, &err), 1);
    QVERIFY(!QFile::exists(dir.filePath("never.sff")));
    QCOMPARE(runTool({"sff", "extract", dir.filePath("missing.sff"), dir.filePath("x")}, &out, &err), 1);
    QVERIFY(err.contains("missing.sff"));
    QVERIFY(!QDir(dir.filePath("x")).exists());

    // Two sprites that link to themselves: the archive loads, the issue lines
    // go to stderr, and the exit status says there was a problem.
    const QString broken = dir.filePath("broken.sff");
    testsupport::writeFile(broken, spritetest::sffV1({{0, 0, 0, 0, 0, false, {}}, {0, 1, 0, 0, 1, false, {}}}));
    QCOMPARE(runTool({"sff", "info", broken}, &out, &err), 1);
    QVERIFY(err.contains("broken.sff(0): Sprite incorrect linked to the index 0\n"));
    QVERIFY(err.contains("broken.sff(1): Sprite incorrect linked to the index 1\n"));
    QCOMPARE(rowsOf(out).size(), 4);
}

void TestToolSff::usage()
{
    QByteArray out, err;
    QCOMPARE(runTool({"sff"}, &out, &err), 2);
    QVERIFY(err.contains("sff info FILE"));
    for (const QStringList& args : {QStringList{"sff", "info"}, {"sff", "extract", "a.sff"},
                                    {"sff", "convert", "a", "b", "c"}, {"sff", "shrink", "a"}})
        QCOMPARE(runTool(args, &out, &err), 2);
    QCOMPARE(runTool({"--help"}, &out, &err), 0);
    QVERIFY(out.contains("sff convert IN OUT"));
}

void TestToolSff::extractedFontGlyphsAreReadable()
{
    CORPUS_OR_SKIP(path, "font/f-4x6-raw.sff");
    const QDir target(dir.filePath("glyphs"));
    QCOMPARE(runTool({"sff", "extract", path, target.path()}), 0);
    QCOMPARE(target.entryList({"*.png"}).size(), 94);
    // Sprite 32 is 'A' (the glyphs run from '!' at 0): a peak, two sides and a bar.
    const QImage a(target.filePath("32.png"));
    QCOMPARE(a.size(), QSize(3, 5));
    QByteArray drawn;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            drawn += a.pixelIndex(x, y) ? '#' : '.';
    QCOMPARE(drawn, QByteArray(".#." "#.#" "#.#" "###" "#.#"));
    // Ink and paper are different colours, so a person sees the letters.
    QVERIFY(a.color(1) != a.color(0));
}

void TestToolSff::extractedTrueColourSprites()
{
    CORPUS_OR_SKIP(path, "font/num72.sff");
    const QString target = dir.filePath("num72");
    QCOMPARE(runTool({"sff", "extract", path, target}), 0);
    const QImage zero(QDir(target).filePath("0.png"));
    QCOMPARE(zero.size(), QSize(70, 71));
    QCOMPARE(qAlpha(zero.pixel(0, 0)), 0);    // the corner is see-through
    QCOMPARE(qAlpha(zero.pixel(35, 5)), 255); // the top of the 0 is not
}

QTEST_GUILESS_MAIN(TestToolSff)
#include "tst_tool_sff.moc"

// morvane-tool sff info, extract and convert on real archives.
#include "qsprites.h"
#include "testsupport.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolSff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void eachCorpusFile_data();
    void eachCorpusFile();
    void refusedVersionsAndMissingFiles();
    void usage();
    void problemsGoToStderr();
    void extractedFontGlyphsAreReadable();
    void extractedTrueColourSprites();

private:
    QTemporaryDir dir;
};

namespace {
QStringList corpusArchives()
{
    return {"chars/kfm/intro.sff", "chars/kfm/ending.sff", "data/fightfx.sff", "stages/hell_stage.sff",
            "stages/happyplace_stage.sff", "font/f-4x6.sff", "font/f-4x6-raw.sff", "font/f-6x9.sff",
            "font/arcade.sff", "font/ending-2.sff", "font/num72.sff"};
}

QStringList rowsOf(const QByteArray& table)
{
    return QString::fromUtf8(table).split('\n', Qt::SkipEmptyParts);
}
} // namespace

void TestToolSff::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestToolSff::eachCorpusFile_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& f : corpusArchives())
        QTest::newRow(qPrintable(f)) << f;
}

void TestToolSff::eachCorpusFile()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(path));

    // info: the header line, the column names, one row per sprite.
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "info", path}, &out, &err), 0);
    const QStringList rows = rowsOf(out);
    const QString version = original.loadedVersion() == 1 ? "1.01" : "2.00";
    QCOMPARE(rows.value(0), QStringLiteral("# version %1 sprites %2 palettes %3")
                                .arg(version).arg(original.spriteCount()).arg(original.paletteCount()));
    QCOMPARE(rows.value(1), QStringLiteral("index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags"));
    QCOMPARE(rows.size(), original.spriteCount() + 2);
    const QStringList first = rows.value(2).split('\t');
    QCOMPARE(first.size(), 11);
    QCOMPARE(first[1].toInt(), int(original.spriteInfo(0).group));
    QCOMPARE(first[3].toInt(), int(original.spriteSize(0).width));

    // extract: the table, a PNG per sprite with data, an ACT per palette.
    const QString target = dir.filePath(QFileInfo(file).baseName() + "-extract");
    QCOMPARE(runTool({"sff", "extract", path, target}, &out, &err), 0);
    QFile tsv(QDir(target).filePath("sprites.tsv"));
    QVERIFY(tsv.open(QIODevice::ReadOnly));
    QCOMPARE(rowsOf(tsv.readAll()), rows);
    for (int i = 0; i < original.spriteCount(); ++i) {
        const QString png = QDir(target).filePath(QStringLiteral("%1.png").arg(i));
        QCOMPARE(QFile::exists(png), original.spriteInfo(i).hasData);
        if (!original.spriteInfo(i).hasData)
            continue;
        const QImage image(png);
        const QImage expected = original.spriteImage(i);
        QCOMPARE(image.size(), expected.size());
        if (expected.format() == QImage::Format_Indexed8) {
            // An 8-bit PNG with exactly the sprite's indices and its palette.
            QCOMPARE(image.format(), QImage::Format_Indexed8);
            QCOMPARE(image.colorTable(), expected.colorTable());
            for (int y = 0; y < image.height(); ++y)
                QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(y)), image.width()),
                         QByteArray(reinterpret_cast<const char*>(expected.constScanLine(y)), image.width()));
        } else {
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
        }
    }
    for (int k = 0; k < original.paletteCount(); ++k) {
        QByteArray colours;
        QVERIFY(QSprites::loadPaletteAct(QDir(target).filePath(QStringLiteral("pal%1.act").arg(k)), colours));
        QCOMPARE(colours, original.paletteData(k));
    }
    QVERIFY(!QFile::exists(QDir(target).filePath(QStringLiteral("pal%1.act").arg(original.paletteCount()))));

    // convert: a version 2.00 file that reads back sprite for sprite.
    const QString converted = dir.filePath(QFileInfo(file).baseName() + "-converted.sff");
    QCOMPARE(runTool({"sff", "convert", path, converted}, &out, &err), 0);
    QVERIFY(err.isEmpty() || !err.contains("morvane-tool"));
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(converted));
    QCOMPARE(again.loadedVersion(), 2);
    QCOMPARE(again.spriteCount(), original.spriteCount());
    QCOMPARE(again.paletteCount(), original.paletteCount());
    for (int i = 0; i < original.spriteCount(); ++i) {
        SpriteInfo a = original.spriteInfo(i);
        SpriteInfo b = again.spriteInfo(i);
        a.flags = 0;
        if (a.hasData)
            a.linkIndex = b.linkIndex = 0;
        QCOMPARE(b, a);
        QCOMPARE(again.spriteSize(i), original.spriteSize(i));
        QCOMPARE(again.spritePixels(i), original.spritePixels(i));
    }
    QCOMPARE(runTool({"sff", "info", converted}, &out, &err), 0);
    QCOMPARE(rowsOf(out).value(0), QStringLiteral("# version 2.00 sprites %1 palettes %2")
                                       .arg(original.spriteCount()).arg(original.paletteCount()));
}

void TestToolSff::refusedVersionsAndMissingFiles()
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
}

void TestToolSff::usage()
{
    QByteArray out, err;
    QCOMPARE(runTool({"sff"}, &out, &err), 2);
    QVERIFY(err.contains("sff info FILE"));
    QCOMPARE(runTool({"sff", "info"}, &out, &err), 2);
    QCOMPARE(runTool({"sff", "extract", "a.sff"}, &out, &err), 2);
    QCOMPARE(runTool({"sff", "convert", "a", "b", "c"}, &out, &err), 2);
    QCOMPARE(runTool({"sff", "shrink", "a"}, &out, &err), 2);
    QCOMPARE(runTool({"--help"}, &out, &err), 0);
    QVERIFY(out.contains("sff convert IN OUT"));
}

void TestToolSff::problemsGoToStderr()
{
    // A version 1 archive whose second sprite links to itself: it loads, the
    // issue line goes to stderr, and the exit status says there was a problem.
    QByteArray file("ElecbyteSpr");
    file.append('\0').append(QByteArray::fromHex("00010001"));
    file.append(QByteArray::fromHex("00000000" "02000000" "00020000" "20000000"));
    file.append(512 - file.size(), '\0');
    // Sprite 0 links to itself as well, so there is no PCX data at all.
    for (int i = 0; i < 2; ++i) {
        QByteArray sub(32, '\0');
        if (i == 0) { // the next subfile at 544
            sub[0] = 0x20;
            sub[1] = 0x02;
        }
        sub[14] = char(i);
        sub[16] = char(i);
        file.append(sub);
    }
    const QString broken = dir.filePath("broken.sff");
    QFile f(broken);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "info", broken}, &out, &err), 1);
    QVERIFY(err.contains("broken.sff(0): Sprite incorrect linked to the index 0\n"));
    QVERIFY(err.contains("broken.sff(1): Sprite incorrect linked to the index 1\n"));
    QCOMPARE(rowsOf(out).size(), 4);
}

void TestToolSff::extractedFontGlyphsAreReadable()
{
    CORPUS_OR_SKIP(path, "font/f-4x6-raw.sff");
    const QString target = dir.filePath("glyphs");
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "extract", path, target}, &out, &err), 0);
    const QStringList pngs = QDir(target).entryList({"*.png"});
    QCOMPARE(pngs.size(), 94);
    // Sprite 32 is 'A' (the glyphs run from '!' at 0): a peak, two sides and a bar.
    const QImage a(QDir(target).filePath("32.png"));
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
    QByteArray out, err;
    QCOMPARE(runTool({"sff", "extract", path, target}, &out, &err), 0);
    QImageReader reader(QDir(target).filePath("0.png"));
    const QImage zero = reader.read();
    QCOMPARE(zero.size(), QSize(70, 71));
    QVERIFY(zero.hasAlphaChannel());
    QCOMPARE(qAlpha(zero.pixel(0, 0)), 0);       // the corner is see-through
    QCOMPARE(qAlpha(zero.pixel(35, 5)), 255);    // the top of the 0 is not
}

QTEST_GUILESS_MAIN(TestToolSff)
#include "tst_tool_sff.moc"

// The sprite archive: real files, links, palettes, editing, saving.
#include "binaryio.h"
#include "pcx.h"
#include "qmessages.h"
#include "qsprites.h"
#include "spritecodecs.h"
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
    void rawFontGlyphs();
    void rawAndLz5FontsHaveTheSamePixels();

    void version1PaletteRules();
    void version1Links();
    void version2BrokenLinkChains();
    void version2PaletteLinks();
    void version2PaletteDataBeyond256Entries();
    void shortBlobsLeaveTheRestAtZero();
    void untrustedNumbers_data();
    void untrustedNumbers();
    void refusedFiles_data();
    void refusedFiles();
    void cancelDuringLoad_data();
    void cancelDuringLoad();

    void removeSpriteHeirs();
    void removeSpriteShiftsLinks();
    void insertSpriteShiftsLinks();
    void duplicateSprite();
    void setImageAndLinkedSprites();
    void imageFilesInAndOut_data();
    void imageFilesInAndOut();
    void spriteImageUsesItsOwnPalette();

    void colourCountRule_data();
    void colourCountRule();
    void paletteBookkeeping();
    void actFiles();

    void thirtyTwoColourPalettesSaveAsLz5();
    void shortPaletteWithAColouredTailKeepsIt();
    void indicesAbove31SurviveA32ColourSave();
    void wideSpritesAndLinksRoundTrip();
    void failedOrCancelledSaveKeepsTheOldFile();

private:
    QTemporaryDir dir;
};

namespace {
QByteArray colours(int seed)
{
    QByteArray c(PaletteBytes, '\0');
    for (int i = 0; i < PaletteBytes; ++i)
        c[i] = char((i * (seed + 3) + seed * 11) & 0xFF);
    return c;
}

// A palette whose colours 32 to 255 are all the same: a 32-colour palette.
QByteArray colours32(int seed)
{
    QByteArray c = colours(seed);
    for (int i = 32 * 3; i < PaletteBytes; ++i)
        c[i] = 0;
    return c;
}

QList<QRgb> table(const QByteArray& c)
{
    QList<QRgb> t;
    for (int i = 0; i < 256; ++i)
        t.append(qRgb(uchar(c[3 * i]), uchar(c[3 * i + 1]), uchar(c[3 * i + 2])));
    return t;
}

QImage indexed(int width, int height, int seed, const QByteArray& palette, int colourLimit = 256)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(table(palette));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = uchar(((x / 2) * 7 + y * 3 + seed) % colourLimit);
    return image;
}

QByteArray rowsOf(const QImage& image)
{
    QByteArray rows;
    for (int y = 0; y < image.height(); ++y)
        rows.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.bytesPerLine());
    for (int y = 0; y < image.height(); ++y) // the padding of the archive's rows is 0
        for (int x = spriteLineBytes(image.format(), image.width()); x < image.bytesPerLine(); ++x)
            rows[y * image.bytesPerLine() + x] = 0;
    return rows;
}

// Version 1 subfile; no PCX data means a linked sprite.
struct V1Sprite {
    quint16 group = 0, number = 0;
    qint16 axisX = 0, axisY = 0;
    quint16 link = 0;
    bool samePalette = false;
    QByteArray pcx;
};

QByteArray sffV1(const QList<V1Sprite>& sprites, qint64 claimed = -1)
{
    QByteArray out;
    LeWriter w(&out);
    w.bytes("ElecbyteSpr");
    w.u8(0);
    w.bytes(QByteArray::fromHex("00010001"));
    w.u32(0);
    w.u32(quint32(claimed < 0 ? sprites.size() : claimed));
    w.u32(512);
    w.u32(32);
    w.zeros(512 - out.size());
    for (int i = 0; i < sprites.size(); ++i) {
        const V1Sprite& s = sprites[i];
        const bool last = i == sprites.size() - 1;
        w.u32(last ? 0 : quint32(out.size() + 32 + s.pcx.size()));
        w.u32(quint32(s.pcx.size()));
        w.s16(s.axisX);
        w.s16(s.axisY);
        w.u16(s.group);
        w.u16(s.number);
        w.u16(s.link);
        w.u8(s.samePalette ? 1 : 0);
        w.zeros(13);
        w.bytes(s.pcx);
    }
    return out;
}

struct V2Palette {
    qint16 group = 0, number = 0;
    quint16 count = 256;
    quint16 link = 0;
    QByteArray data; // empty: a linked palette
};

struct V2Sprite {
    quint16 group = 0, number = 0, width = 0, height = 0;
    qint16 axisX = 0, axisY = 0;
    quint16 link = 0;
    quint8 format = 0, depth = 8;
    QByteArray data; // empty: a linked sprite
    quint16 palette = 0, flags = 0;
};

QByteArray quads(const QByteArray& c, int count)
{
    QByteArray q;
    for (int i = 0; i < count; ++i)
        q.append(c.mid(3 * i, 3)).append('\0');
    return q;
}

QByteArray sffV2(const QList<V2Palette>& palettes, const QList<V2Sprite>& sprites, qint64 claimedSprites = -1,
                 qint64 claimedPalettes = -1)
{
    QByteArray literal, translated, paletteNodes, spriteNodes;
    LeWriter pn(&paletteNodes), sn(&spriteNodes);
    for (const V2Palette& p : palettes) {
        pn.s16(p.group);
        pn.s16(p.number);
        pn.u16(p.count);
        pn.u16(p.link);
        pn.u32(quint32(literal.size()));
        pn.u32(quint32(p.data.size()));
        literal += p.data;
    }
    for (const V2Sprite& s : sprites) {
        QByteArray& block = s.flags ? translated : literal;
        sn.u16(s.group);
        sn.u16(s.number);
        sn.u16(s.width);
        sn.u16(s.height);
        sn.s16(s.axisX);
        sn.s16(s.axisY);
        sn.u16(s.link);
        sn.u8(s.data.isEmpty() ? 1 : s.format);
        sn.u8(s.depth);
        sn.u32(quint32(block.size()));
        sn.u32(quint32(s.data.size()));
        sn.u16(s.palette);
        sn.u16(s.flags);
        block += s.data;
    }
    QByteArray out;
    LeWriter w(&out);
    w.bytes("ElecbyteSpr");
    w.u8(0);
    w.bytes(QByteArray::fromHex("00000002"));
    w.zeros(20);
    const quint32 spriteList = 512 + quint32(paletteNodes.size());
    const quint32 literalOffset = spriteList + quint32(spriteNodes.size());
    w.u32(spriteList);
    w.u32(quint32(claimedSprites < 0 ? sprites.size() : claimedSprites));
    w.u32(512);
    w.u32(quint32(claimedPalettes < 0 ? palettes.size() : claimedPalettes));
    w.u32(literalOffset);
    w.u32(quint32(literal.size()));
    w.u32(literalOffset + quint32(literal.size()));
    w.u32(quint32(translated.size()));
    w.zeros(512 - out.size());
    return out + paletteNodes + spriteNodes + literal + translated;
}

QByteArray rle8(const QImage& image)
{
    return encodeRle8(image);
}

QStringList lines(const QMessages& m)
{
    QStringList l;
    for (int i = 0; i < m.rowCount(); ++i)
        l << m.text(i);
    return l;
}

// Everything a save and load must keep, sprite by sprite and palette by palette.
void compareArchives(const QSprites& a, const QSprites& b)
{
    QCOMPARE(b.spriteCount(), a.spriteCount());
    QCOMPARE(b.paletteCount(), a.paletteCount());
    for (int i = 0; i < a.spriteCount(); ++i) {
        SpriteInfo ia = a.spriteInfo(i);
        SpriteInfo ib = b.spriteInfo(i);
        ia.flags = 0; // saving writes every sprite's data into the literal block
        if (ia.hasData)
            ia.linkIndex = ib.linkIndex = 0;
        QCOMPARE(ib, ia);
        QCOMPARE(b.spriteSize(i), a.spriteSize(i));
        QCOMPARE(b.spritePixels(i), a.spritePixels(i));
    }
    for (int k = 0; k < a.paletteCount(); ++k) {
        QCOMPARE(b.paletteInfo(k), a.paletteInfo(k));
        const int stored = a.paletteInfo(k).colourCount * 3;
        QCOMPARE(b.paletteData(k).left(stored), a.paletteData(k).left(stored));
    }
}

struct Progress {
    QList<uint> positions;
    uint max = 0;
    uint cancelAt = ~0u;
    void connect(QSprites& s)
    {
        QObject::connect(&s, &QSprites::progress, [this](uint pos, uint m, bool& allow) {
            positions << pos;
            max = m;
            if (pos == cancelAt) {
                allow = false;
                cancelAt = ~0u;
            }
        });
    }
};

QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

void TestSprites::initTestCase()
{
    QVERIFY(dir.isValid());
}

// ---------------------------------------------------------------- real files

void TestSprites::corpusFilesLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sprites");
    QTest::addColumn<int>("palettes");
    QTest::addColumn<int>("linked");
    QTest::newRow("intro 1.01") << "chars/kfm/intro.sff" << 12 << 2 << 0;
    QTest::newRow("ending 1.01") << "chars/kfm/ending.sff" << 7 << 1 << 0;
    QTest::newRow("fightfx 1.01") << "data/fightfx.sff" << 104 << 17 << 0;
    QTest::newRow("hell stage 1.01") << "stages/hell_stage.sff" << 3 << 3 << 0;
    QTest::newRow("happyplace stage 1.01") << "stages/happyplace_stage.sff" << 3 << 3 << 0;
    QTest::newRow("f-4x6 LZ5 and links") << "font/f-4x6.sff" << 94 << 8 << 11;
    QTest::newRow("f-4x6-raw raw") << "font/f-4x6-raw.sff" << 94 << 1 << 0;
    QTest::newRow("f-6x9 translated block") << "font/f-6x9.sff" << 94 << 1 << 0;
    QTest::newRow("arcade RLE8") << "font/arcade.sff" << 67 << 8 << 0;
    QTest::newRow("ending-2 both blocks") << "font/ending-2.sff" << 94 << 5 << 32;
    QTest::newRow("num72 PNG") << "font/num72.sff" << 22 << 0 << 0;
}

void TestSprites::corpusFilesLoad()
{
    QFETCH(QString, file);
    QFETCH(int, sprites);
    QFETCH(int, palettes);
    QFETCH(int, linked);
    CORPUS_OR_SKIP(path, file);
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(path));
    QCOMPARE(lines(messages), QStringList());
    QCOMPARE(s.spriteCount(), sprites);
    QCOMPARE(s.paletteCount(), palettes);
    int links = 0;
    for (int i = 0; i < s.spriteCount(); ++i) {
        links += s.spriteInfo(i).hasData ? 0 : 1;
        QVERIFY2(s.linkTarget(i) >= 0, qPrintable(QString::number(i)));
        const QImage image = s.spriteImage(i);
        QVERIFY(!image.isNull());
        // Every sprite shows something: no file here has an empty picture.
        QVERIFY2(image.convertToFormat(QImage::Format_RGB32) != QImage(image.size(), QImage::Format_RGB32),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(links, linked);
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
    QCOMPARE(lines(messages), QStringList());
    compareArchives(original, again);
}

void TestSprites::rawFontGlyphs()
{
    // The engine's own font stores raw pixels with no length word; each
    // glyph is 1 on 0. A few of them, drawn in the test to be read:
    CORPUS_OR_SKIP(path, "font/f-4x6-raw.sff");
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(s.load(path));
    const QList<QPair<char, QByteArray>> glyphs = {
        {'!', ".#." ".#." ".#." "..." ".#."},
        {'0', "###" "#.#" "#.#" "#.#" "###"},
        {'A', ".#." "#.#" "#.#" "###" "#.#"},
        {'X', "#.#" "#.#" ".#." "#.#" "#.#"},
    };
    for (const auto& [c, picture] : glyphs) {
        const int index = s.findSprite(0, 0, quint16(c));
        QVERIFY(index >= 0);
        QCOMPARE(s.spriteSize(index), (SpriteSize{3, 5, QImage::Format_Indexed8}));
        const QImage image = s.spriteImage(index);
        QByteArray drawn;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 3; ++x)
                drawn += image.pixelIndex(x, y) ? '#' : '.';
        QCOMPARE(drawn, picture);
    }
}

void TestSprites::rawAndLz5FontsHaveTheSamePixels()
{
    // The same font stored raw and as LZ5 with links: every glyph decodes to
    // the same pixels, a check of both decoders and of link following.
    CORPUS_OR_SKIP(rawPath, "font/f-4x6-raw.sff");
    CORPUS_OR_SKIP(lz5Path, "font/f-4x6.sff");
    QSprites raw(nullptr, BlobsInMemory, false, -1);
    QSprites lz5(nullptr, BlobsInMemory, false, -1);
    QVERIFY(raw.load(rawPath));
    QVERIFY(lz5.load(lz5Path));
    int compared = 0;
    for (int i = 0; i < raw.spriteCount(); ++i) {
        const SpriteInfo info = raw.spriteInfo(i);
        const int j = lz5.findSprite(0, info.group, info.number);
        if (j < 0)
            continue;
        QCOMPARE(lz5.spriteSize(j), raw.spriteSize(i));
        QCOMPARE(lz5.spritePixels(j), raw.spritePixels(i));
        ++compared;
    }
    QVERIFY(compared >= 80);
}

// ---------------------------------------------------------------- loading rules

void TestSprites::version1PaletteRules()
{
    const QByteArray a = colours(1), b = colours(2), c = colours(3);
    const auto pcxOf = [](const QByteArray& palette, int seed) { return encodePcx(indexed(6, 4, seed, palette)); };
    QList<V1Sprite> list;
    list << V1Sprite{5, 0, 0, 0, 0, false, pcxOf(a, 1)};   // 0: first sprite: the shared palette
    list << V1Sprite{6, 0, 0, 0, 0, false, pcxOf(b, 2)};   // 1: own palette
    list << V1Sprite{6, 1, 0, 0, 0, true, pcxOf(c, 3)};    // 2: same palette as 1, its own ignored
    list << V1Sprite{0, 0, 0, 0, 0, false, pcxOf(c, 4)};   // 3: 0,0 after others: shared
    list << V1Sprite{9000, 0, 0, 0, 0, false, pcxOf(c, 5)}; // 4: 9000,0: shared
    list << V1Sprite{7, 0, 0, 0, 0, false, pcxOf(b, 6)};   // 5: identical to 1's: reused
    list << V1Sprite{7, 1, 0, 0, 0, false, pcxOf(c, 7)};   // 6: a new one
    const QString file = dir.filePath("palettes1.sff");
    QVERIFY(writeFile(file, sffV1(list)));

    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    // Palettes already there stay, and identical ones are reused.
    s.addPalette(b, false, 1, 1);
    QVERIFY(s.load(file));
    QCOMPARE(lines(messages), QStringList());
    QCOMPARE(s.loadedVersion(), 1);
    QCOMPARE(s.paletteCount(), 3);
    QCOMPARE(s.paletteData(0), b);
    QCOMPARE(s.paletteData(1), a);
    QCOMPARE(s.paletteData(2), c);
    const QList<int> expected = {1, 0, 0, 1, 1, 0, 2};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(int(s.spriteInfo(i).paletteIndex), expected[i]);
    QCOMPARE(s.spriteImage(3).pixelIndex(2, 1), indexed(6, 4, 4, c).pixelIndex(2, 1));
    QCOMPARE(s.spriteImage(3).color(5), table(a)[5]);
}

void TestSprites::version1Links()
{
    const QByteArray a = colours(1), b = colours(2);
    QList<V1Sprite> list;
    list << V1Sprite{1, 0, 3, 4, 0, false, encodePcx(indexed(6, 4, 1, a))};
    list << V1Sprite{1, 1, 0, 0, 0, false, encodePcx(indexed(9, 2, 2, b))};
    list << V1Sprite{1, 2, 0, 0, 1, false, {}}; // 2: to 1, with 1's palette
    list << V1Sprite{1, 3, 0, 0, 2, true, {}};  // 3: through 2 to 1, with the shared palette
    list << V1Sprite{1, 4, 0, 0, 4, false, {}}; // 4: to itself
    list << V1Sprite{1, 5, 0, 0, 9, false, {}}; // 5: to a sprite not read yet
    const QString file = dir.filePath("links1.sff");
    QVERIFY(writeFile(file, sffV1(list)));

    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(file));
    QCOMPARE(lines(messages), QStringList() << "links1.sff(4): Sprite incorrect linked to the index 4"
                                            << "links1.sff(5): Sprite incorrect linked to the index 9");
    QCOMPARE(messages.type(0), Error);
    QCOMPARE(s.spriteCount(), 6);
    QCOMPARE(s.spriteSize(2), (SpriteSize{9, 2, QImage::Format_Indexed8}));
    QCOMPARE(s.spriteSize(3), (SpriteSize{9, 2, QImage::Format_Indexed8}));
    QCOMPARE(int(s.spriteInfo(2).paletteIndex), 1);
    QCOMPARE(int(s.spriteInfo(3).paletteIndex), 0);
    QCOMPARE(s.spritePixels(3), s.spritePixels(1));
    // A broken link keeps its record, with no image.
    QVERIFY(s.spriteInfo(4).hasData);
    QVERIFY(s.spriteImage(4).isNull());
    QVERIFY(s.spriteImage(5).isNull());
}

void TestSprites::version2BrokenLinkChains()
{
    const QImage image = indexed(4, 4, 1, colours(1));
    QList<V2Sprite> list;
    list << V2Sprite{0, 0, 4, 4, 0, 0, 0, 2, 8, rle8(image)};
    list << V2Sprite{0, 1, 4, 4, 0, 0, 1, 0, 8, {}}; // to itself
    list << V2Sprite{0, 2, 4, 4, 0, 0, 3, 0, 8, {}}; // 2 -> 3 -> 2
    list << V2Sprite{0, 3, 4, 4, 0, 0, 2, 0, 8, {}};
    list << V2Sprite{0, 4, 4, 4, 0, 0, 50, 0, 8, {}}; // out of the list
    list << V2Sprite{0, 5, 9, 9, 0, 0, 0, 0, 8, {}};  // to 0: fine, takes 0's size
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2({V2Palette{0, 0, 256, 0, quads(colours(1), 256)}}, list), "links2.sff"));
    QCOMPARE(lines(messages), QStringList() << "links2.sff(1): Sprite incorrect linked to the index 1"
                                            << "links2.sff(2): Sprite incorrect linked to the index 3"
                                            << "links2.sff(3): Sprite incorrect linked to the index 2"
                                            << "links2.sff(4): Sprite incorrect linked to the index 50");
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(s.spriteSize(i).width, quint16(0));
        QVERIFY(s.spriteImage(i).isNull());
        QCOMPARE(s.linkTarget(i), -1);
    }
    QCOMPARE(s.spriteSize(5), (SpriteSize{4, 4, QImage::Format_Indexed8}));
    QCOMPARE(s.spritePixels(5), rowsOf(image));
}

void TestSprites::version2PaletteLinks()
{
    // Palettes 0 and 2 have data; 1 links to 2; 3 and 4 link to 0 (3 keeps a
    // copy, 4 merges into 3); 5 is a loop (5 -> 6 -> 5) and 6 links out of the
    // list: both end at palette 0, so at the keeper.
    QList<V2Palette> palettes;
    palettes << V2Palette{1, 0, 256, 0, quads(colours(1), 256)};
    palettes << V2Palette{1, 1, 256, 2, {}};
    palettes << V2Palette{1, 2, 256, 0, quads(colours(2), 256)};
    palettes << V2Palette{1, 3, 256, 0, {}};
    palettes << V2Palette{1, 4, 256, 0, {}};
    palettes << V2Palette{1, 5, 256, 6, {}};
    palettes << V2Palette{1, 6, 256, 99, {}};
    const QImage image = indexed(2, 2, 1, colours(1));
    QList<V2Sprite> sprites;
    for (quint16 p = 0; p < 7; ++p)
        sprites << V2Sprite{2, p, 2, 2, 0, 0, 0, 2, 8, rle8(image), p};
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2(palettes, sprites), "palettes2.sff"));
    QCOMPARE(lines(messages), QStringList());
    QCOMPARE(s.paletteCount(), 3);
    QCOMPARE(s.paletteInfo(0).number, qint16(0));
    QCOMPARE(s.paletteInfo(1).number, qint16(2));
    QCOMPARE(s.paletteInfo(2).number, qint16(3));
    QCOMPARE(s.paletteData(2), colours(1)); // the keeper holds palette 0's colours
    const QList<int> expected = {0, 1, 1, 2, 2, 2, 2};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(int(s.spriteInfo(i).paletteIndex), expected[i]);
}

void TestSprites::version2PaletteDataBeyond256Entries()
{
    // Stored data longer than 256 entries: the rest is not read. Shorter:
    // the entries not stored stay black.
    QByteArray big = quads(colours(1), 256) + QByteArray(400, '\x7f');
    QList<V2Palette> palettes;
    palettes << V2Palette{0, 0, 256, 0, big};
    palettes << V2Palette{0, 1, 32, 0, quads(colours(2), 32)};
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2(palettes, {}), "big.sff"));
    QCOMPARE(lines(messages), QStringList());
    QCOMPARE(s.paletteData(0), colours(1));
    QCOMPARE(s.paletteData(1).left(96), colours(2).left(96));
    QCOMPARE(s.paletteData(1).mid(96), QByteArray(PaletteBytes - 96, '\0'));
    QCOMPARE(s.paletteInfo(1).colourCount, quint16(32));
}

void TestSprites::shortBlobsLeaveTheRestAtZero()
{
    QList<V2Sprite> list;
    list << V2Sprite{0, 0, 3, 2, 0, 0, 0, 7, 8, QByteArray("unknown encoding")};
    list << V2Sprite{0, 1, 3, 2, 0, 0, 0, 0, 8, QByteArray::fromHex("0102")}; // raw, 2 of 6 bytes
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2({}, list), "short.sff"));
    QCOMPARE(s.spriteSize(0), (SpriteSize{3, 2, QImage::Format_Indexed8}));
    QCOMPARE(s.spritePixels(0).toHex(), QByteArray("0000000000000000"));
    QCOMPARE(s.spritePixels(1).toHex(), QByteArray("0102000000000000"));
    const QImage image = s.spriteImage(1);
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.pixelIndex(1, 0), 2);
    QCOMPARE(image.pixelIndex(2, 1), 0);
}

void TestSprites::untrustedNumbers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("sprites");
    QTest::addColumn<QStringList>("errors");
    const QImage image = indexed(4, 4, 1, colours(1));
    const V2Sprite one{0, 0, 4, 4, 0, 0, 0, 2, 8, rle8(image)};

    QTest::newRow("four billion sprites in a small file")
        << sffV2({}, {one}, 0xFFFFFFFFll) << 1 << QStringList{"bad.sff(1): Sprite data is truncated"};
    // The palette list runs on into the sprite nodes and data: whatever
    // palettes those bytes make are read, and the ones pointing outside the
    // file are reported.
    QTest::newRow("four billion palettes")
        << sffV2({V2Palette{0, 0, 256, 0, quads(colours(1), 256)}}, {one}, -1, 0xFFFFFFFFll) << 1
        << QStringList{"bad.sff(68): Palette data is truncated"};
    QByteArray lists = sffV2({}, {one});
    LeWriter(&lists).patchU32(36, 0xFFFFFF00u);
    QTest::newRow("sprite list beyond the file") << lists << 0 << QStringList{"bad.sff(0): Sprite data is truncated"};
    QByteArray cut = sffV2({}, {one, one});
    cut.chop(rle8(image).size() / 2);
    QTest::newRow("data cut short") << cut << 2 << QStringList{"bad.sff(1): Sprite data is truncated"};
    V2Sprite far = one;
    far.flags = 1;
    QByteArray offset = sffV2({}, {one, far});
    LeWriter(&offset).patchU32(60, 0x7FFFFFFFu); // translated block far away
    QTest::newRow("data offset beyond the file") << offset << 2 << QStringList{"bad.sff(1): Sprite data is truncated"};
    V2Sprite huge = one;
    huge.width = huge.height = 65535;
    QTest::newRow("a sprite of four gigapixels")
        << sffV2({}, {huge, one}) << 2 << QStringList{"bad.sff(0): Sprite data is damaged"};
    QList<V1Sprite> v1;
    v1 << V1Sprite{0, 0, 0, 0, 0, false, encodePcx(image)} << V1Sprite{0, 1, 0, 0, 0, false, encodePcx(image)};
    QTest::newRow("version 1: four billion images")
        << sffV1(v1, 0xFFFFFFFFll) << 2 << QStringList{"bad.sff(2): Sprite data is truncated"};
    QByteArray v1cut = sffV1(v1);
    v1cut.chop(100);
    QTest::newRow("version 1: data cut short") << v1cut << 2 << QStringList{"bad.sff(1): Sprite data is truncated"};
}

void TestSprites::untrustedNumbers()
{
    QFETCH(QByteArray, file);
    QFETCH(int, sprites);
    QFETCH(QStringList, errors);
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    Progress progress;
    progress.connect(s);
    QVERIFY(s.load(file, "bad.sff"));
    QCOMPARE(lines(messages).first(), errors.first());
    QCOMPARE(lines(messages).size() > 1, errors.first().contains("Palette"));
    QCOMPARE(s.spriteCount(), sprites);
    // The progress dialog still closes: the last report is the maximum,
    // which is not the count the header claims.
    QCOMPARE(progress.positions.last(), progress.max);
    QVERIFY(progress.max <= file.size() / 16);
    for (int i = 0; i < s.spriteCount(); ++i)
        (void)s.spriteImage(i);
}

void TestSprites::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("info");
    QByteArray v201 = sffV2({}, {});
    v201[13] = 1;
    QTest::newRow("version 2.01") << v201 << QStringList{"refused.sff(0): SFF version '0.1.0.2' not supported yet"};
    QByteArray v3 = sffV2({}, {});
    v3[15] = 3;
    QTest::newRow("version 3") << v3 << QStringList{"refused.sff(0): SFF version '0.0.0.3' not supported yet"};
    QByteArray wrong = sffV2({}, {});
    wrong[0] = 'e';
    QTest::newRow("wrong signature") << wrong << QStringList();
    QTest::newRow("empty") << QByteArray() << QStringList();
}

void TestSprites::refusedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, info);
    const QString path = dir.filePath("refused.sff");
    QVERIFY(writeFile(path, file));
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    s.addSprite();
    s.addPalette(colours(1), false, 0, 0);
    QVERIFY(!s.load(path));
    QCOMPARE(lines(messages), info);
    if (!info.isEmpty())
        QCOMPARE(messages.type(0), Information);
    QCOMPARE(s.spriteCount(), 0);
    QCOMPARE(s.paletteCount(), 1);
    // A missing file changes nothing.
    s.addSprite();
    QVERIFY(!s.load(dir.filePath("missing.sff")));
    QCOMPARE(s.spriteCount(), 1);
}

void TestSprites::cancelDuringLoad_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<uint>>("reports");
    const QImage image = indexed(4, 4, 1, colours(1));
    QList<V1Sprite> v1;
    for (quint16 i = 0; i < 6; ++i)
        v1 << V1Sprite{0, i, 0, 0, 0, false, encodePcx(image)};
    // Cancelled at 3 of 6: the count goes back down from 2.
    QTest::newRow("version 1") << sffV1(v1) << QList<uint>{0, 1, 2, 3, 2, 1};
    QList<V2Sprite> v2;
    for (quint16 i = 0; i < 4; ++i)
        v2 << V2Sprite{0, i, 4, 4, 0, 0, 0, 2, 8, rle8(image)};
    const QList<V2Palette> palettes = {V2Palette{0, 0, 256, 0, quads(colours(1), 256)},
                                       V2Palette{0, 1, 256, 0, quads(colours(2), 256)}};
    // Two palettes, then sprites; cancelled at 3 of 6: down from 3.
    QTest::newRow("version 2") << sffV2(palettes, v2) << QList<uint>{0, 1, 2, 3, 3, 2, 1};
}

void TestSprites::cancelDuringLoad()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<uint>, reports);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    Progress progress;
    progress.cancelAt = 3;
    progress.connect(s);
    QVERIFY(s.load(file, "cancel.sff"));
    QCOMPARE(progress.positions, reports);
    QCOMPARE(progress.max, 6u);
    QCOMPARE(s.spriteCount(), 0);
    QCOMPARE(s.blobStore().count(), 0);
}

// ---------------------------------------------------------------- editing

void TestSprites::removeSpriteHeirs()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 5; ++i)
        s.addSprite();
    QVERIFY(s.setImage(1, indexed(5, 3, 1, colours(1))));
    const QByteArray pixels = s.spritePixels(1);
    SpriteInfo info = s.spriteInfo(3);
    info.linkIndex = 1;
    s.setSpriteInfo(3, info);
    s.setSpriteInfo(4, info);
    // Sprites 3 and 4 link to 1; removing 1 gives 3 (now 2) the image, and
    // 4 (now 3) links to it.
    s.removeSprite(1);
    QCOMPARE(s.spriteCount(), 4);
    QVERIFY(s.spriteInfo(2).hasData);
    QCOMPARE(s.spriteInfo(2).linkIndex, quint16(0));
    QVERIFY(!s.spriteInfo(3).hasData);
    QCOMPARE(s.spriteInfo(3).linkIndex, quint16(2));
    QCOMPARE(s.spritePixels(2), pixels);
    QCOMPARE(s.spritePixels(3), pixels);
    QCOMPARE(s.blobStore().count(), 1);
    // Without an heir the bytes go.
    s.removeSprite(3);
    s.removeSprite(2);
    QCOMPARE(s.blobStore().count(), 0);
}

void TestSprites::removeSpriteShiftsLinks()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 9; ++i) {
        s.addSprite();
        s.setImage(i, indexed(2 + i, 2, i, colours(1)));
    }
    // 7 is a link to 5; 2 is a link forward to 6.
    for (const auto& [sprite, link] : {QPair<int, int>{7, 5}, {2, 6}}) {
        SpriteInfo info = s.spriteInfo(sprite);
        info.hasData = false;
        info.linkIndex = quint16(link);
        s.setSpriteInfo(sprite, info);
    }
    const QByteArray five = s.spritePixels(5);
    const QByteArray six = s.spritePixels(6);
    s.removeSprite(3);
    QCOMPARE(s.spriteInfo(6).linkIndex, quint16(4)); // formerly 7 -> 5
    QCOMPARE(s.spritePixels(6), five);
    QCOMPARE(s.spriteInfo(2).linkIndex, quint16(5)); // the forward link follows too
    QCOMPARE(s.spritePixels(2), six);
}

void TestSprites::insertSpriteShiftsLinks()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 6; ++i) {
        s.addSprite();
        s.setImage(i, indexed(2 + i, 2, i, colours(1)));
    }
    for (const auto& [sprite, link] : {QPair<int, int>{4, 1}, {5, 3}, {0, 5}}) {
        SpriteInfo info = s.spriteInfo(sprite);
        info.hasData = false;
        info.linkIndex = quint16(link);
        s.setSpriteInfo(sprite, info);
    }
    const QList<QByteArray> before = {s.spritePixels(0), s.spritePixels(4), s.spritePixels(5)};
    s.insertSprite(3);
    QCOMPARE(s.spriteCount(), 7);
    QCOMPARE(s.spriteInfo(3), SpriteInfo());
    QCOMPARE(s.spriteInfo(5).linkIndex, quint16(1)); // before the new one: unchanged
    QCOMPARE(s.spriteInfo(6).linkIndex, quint16(4)); // at or behind it: + 1
    QCOMPARE(s.spriteInfo(0).linkIndex, quint16(6)); // a forward link from in front follows too
    QCOMPARE(s.spritePixels(0), before[0]);
    QCOMPARE(s.spritePixels(5), before[1]);
    QCOMPARE(s.spritePixels(6), before[2]);
    s.insertSprite(100); // beyond the end: appended
    QCOMPARE(s.spriteCount(), 8);
}

void TestSprites::duplicateSprite()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(4, 4, 1, colours(1))));
    SpriteInfo info = s.spriteInfo(0);
    info.group = 7;
    info.axisX = -3;
    s.setSpriteInfo(0, info);
    s.setSpriteInfo(1, {false, 0, 0, 8, 0, 0, 0, 0});
    const QByteArray original = s.spritePixels(0);

    s.duplicateSprite(0, false); // a link right behind the source
    QCOMPARE(s.spriteCount(), 3);
    QVERIFY(!s.spriteInfo(1).hasData);
    QCOMPARE(s.spriteInfo(1).linkIndex, quint16(0));
    QCOMPARE(s.spriteInfo(1).axisX, qint16(-3));
    QCOMPARE(s.spriteSize(1), s.spriteSize(0));

    s.duplicateSprite(0, true); // a copy of the pixels
    QVERIFY(s.spriteInfo(1).hasData);
    QCOMPARE(s.spriteInfo(2).linkIndex, quint16(0)); // the earlier link still points at 0
    QVERIFY(s.setImage(0, indexed(3, 3, 9, colours(2))));
    QCOMPARE(s.spritePixels(1), original);          // the copy keeps its own pixels
    QCOMPARE(s.spritePixels(2), s.spritePixels(0)); // the link follows the source

    s.duplicateSprite(2, true); // duplicating a linked sprite links to the same sprite
    QVERIFY(!s.spriteInfo(3).hasData);
    QCOMPARE(s.spriteInfo(3).linkIndex, quint16(0));
    s.duplicateSprite(-1, true);
    s.duplicateSprite(99, true);
    QCOMPARE(s.spriteCount(), 5);
}

void TestSprites::setImageAndLinkedSprites()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 3; ++i)
        s.addSprite();
    QVERIFY(!s.setImage(0, QImage()));
    QVERIFY(!s.setImage(3, indexed(2, 2, 1, colours(1))));
    QVERIFY(s.setImage(0, indexed(2, 2, 1, colours(1))));
    s.setSpriteInfo(1, {false, 0, 0, 0, 1, 0, 0, 0});
    s.setSpriteInfo(2, {false, 0, 0, 0, 2, 1, 0, 0}); // links to the link
    QVERIFY(s.setImage(0, indexed(7, 5, 1, colours(1))));
    QCOMPARE(s.spriteSize(1), (SpriteSize{7, 5, QImage::Format_Indexed8}));
    QCOMPARE(s.spriteSize(2).width, quint16(2)); // only direct links take the size
    // The same colours again: the palette is reused.
    QVERIFY(s.setImage(1, indexed(3, 3, 2, colours(1))));
    QCOMPARE(s.paletteCount(), 1);
    QVERIFY(s.spriteInfo(1).hasData);
    QCOMPARE(s.spritePixels(1), rowsOf(indexed(3, 3, 2, colours(1))));
}

void TestSprites::imageFilesInAndOut_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("pcx") << "pcx";
    QTest::newRow("png") << "png";
    QTest::newRow("bmp") << "bmp";
}

void TestSprites::imageFilesInAndOut()
{
    QFETCH(QString, suffix);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.addSprite();
    const QImage image = indexed(13, 7, 3, colours(4));
    QVERIFY(s.setImage(0, image));
    const QString file = dir.filePath("sprite." + suffix);
    QVERIFY(s.saveImage(0, file));
    QVERIFY(s.loadImage(1, file));
    QCOMPARE(s.spritePixels(1), s.spritePixels(0));
    QCOMPARE(s.paletteCount(), 1); // the same colours come back: reused
    QVERIFY(!s.saveImage(5, file));
    QVERIFY(!s.loadImage(1, dir.filePath("missing." + suffix)));
    QCOMPARE(s.spritePixels(1), s.spritePixels(0)); // a failed load changes nothing
}

void TestSprites::spriteImageUsesItsOwnPalette()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(2, 2, 1, colours(1))));
    const int other = s.addPalette(colours(2), false, 1, 2);
    s.setSpriteInfo(1, {false, 0, 0, 0, 0, 0, quint16(other), 0});
    s.setSpriteInfo(0, {true, 0, 0, 0, 0, 0, 0, 0});
    s.setPaletteData(other, colours(2));
    QCOMPARE(s.spriteImage(1).colorTable(), table(colours(2)));
    QCOMPARE(s.spriteImage(0).colorTable(), table(colours(1)));
    s.setSpriteInfo(1, {false, 0, 0, 0, 0, 0, 40, 0});
    QCOMPARE(s.spriteImage(1).colorCount(), 0); // no such palette: no colour table
    QVERIFY(s.spriteImage(2).isNull());
}

// ---------------------------------------------------------------- palettes

void TestSprites::colourCountRule_data()
{
    QTest::addColumn<QByteArray>("palette");
    QTest::addColumn<int>("count");
    QTest::newRow("all black") << QByteArray(PaletteBytes, '\0') << 32;
    QTest::newRow("32 colours, rest black") << colours32(1) << 32;
    QByteArray white = colours(1);
    for (int i = 32 * 3; i < PaletteBytes; ++i)
        white[i] = '\xff';
    QTest::newRow("32 colours, rest white") << white << 32;
    QByteArray c33 = colours32(1);
    c33[32 * 3] = 1;
    QTest::newRow("colour 32 differs") << c33 << 256;
    QByteArray last = colours32(1);
    last[255 * 3] = 1;
    QTest::newRow("only colour 255 differs") << last << 256;
    QTest::newRow("full") << colours(2) << 256;
}

void TestSprites::colourCountRule()
{
    QFETCH(QByteArray, palette);
    QFETCH(int, count);
    QCOMPARE(int(QSprites::colourCountOf(palette)), count);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QCOMPARE(int(s.paletteInfo(s.addPalette(palette, false, 0, 0)).colourCount), count);
    const int other = s.addPalette(colours(7), false, 0, 0);
    s.setPaletteData(other, palette);
    QCOMPARE(int(s.paletteInfo(other).colourCount), count);
}

void TestSprites::paletteBookkeeping()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QCOMPARE(s.addPalette(colours(1), false, 3, -1), 0);
    QCOMPARE(s.paletteInfo(0), (PaletteInfo{3, 1, 256})); // number -1: the count plus 1
    QCOMPARE(s.addPalette(colours(2), false, 0, 7), 1);
    QCOMPARE(s.addPalette(colours(1), true, 0, 0), 0); // reused
    QCOMPARE(s.findIdenticalPalette(colours(2)), 1);
    QCOMPARE(s.findIdenticalPalette(colours(3)), 2); // none: the palette count
    for (int i = 0; i < 3; ++i)
        s.addSprite();
    s.setSpriteInfo(0, {false, 0, 0, 0, 0, 0, 0, 0});
    s.setSpriteInfo(1, {false, 0, 0, 0, 0, 0, 1, 0});
    s.setSpriteInfo(2, {false, 0, 0, 0, 0, 0, 1, 0});

    QCOMPARE(s.insertPalette(1, colours(3), false, 5, 5), 1);
    QCOMPARE(s.paletteInfo(1), (PaletteInfo{0, 2, 256})); // group 0, number: the count before
    QCOMPARE(s.spriteInfo(0).paletteIndex, quint16(0));
    QCOMPARE(s.spriteInfo(1).paletteIndex, quint16(2));
    QCOMPARE(s.insertPalette(0, colours(2), true, 0, -1), 2); // identical: no insertion
    QCOMPARE(s.insertPalette(10, colours(4), false, 0, -1), 3); // beyond the end: appended
    QCOMPARE(s.paletteCount(), 4);

    s.removePalette(2); // sprites on it fall back to 0, later ones move down
    QCOMPARE(s.spriteInfo(1).paletteIndex, quint16(0));
    QCOMPARE(s.paletteData(2), colours(4));
    s.setPaletteInfo(2, -4, -5, 32);
    QCOMPARE(s.paletteInfo(2), (PaletteInfo{-4, -5, 32}));
    s.setPaletteInfo(9, 1, 1, 1);
    QCOMPARE(s.paletteInfo(9), PaletteInfo());
    QVERIFY(s.paletteData(9).isNull());
    s.clear();
    QCOMPARE(s.paletteCount(), 3); // clearing sprites keeps the palettes
    s.clearPalettes();
    QCOMPARE(s.paletteCount(), 0);
}

void TestSprites::actFiles()
{
    QByteArray palette = colours(5);
    palette.replace(0, 3, QByteArray(3, '\0'));
    palette.replace(765, 3, QByteArray(3, '\xff'));
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addPalette(palette, false, 0, 0);
    const QString file = dir.filePath("p.act");
    QVERIFY(s.savePaletteAct(0, file));
    const QByteArray act = readFile(file);
    QCOMPARE(act.size(), PaletteBytes);
    QCOMPARE(act.left(3), QByteArray(3, '\xff')); // entry 255 first
    QCOMPARE(act.right(3), QByteArray(3, '\0'));  // entry 0 last
    QCOMPARE(act.mid(3, 3), palette.mid(254 * 3, 3));
    QByteArray back;
    QVERIFY(QSprites::loadPaletteAct(file, back));
    QCOMPARE(back, palette);

    QVERIFY(writeFile(file, act + "trailing bytes"));
    back.clear();
    QVERIFY(QSprites::loadPaletteAct(file, back));
    QCOMPARE(back, palette);
    QVERIFY(writeFile(file, act.left(767)));
    back = "untouched";
    QVERIFY(!QSprites::loadPaletteAct(file, back));
    QCOMPARE(back, QByteArray("untouched"));
    QVERIFY(!QSprites::loadPaletteAct(dir.filePath("none.act"), back));
    QVERIFY(!s.savePaletteAct(1, file));
    QVERIFY(!s.savePaletteAct(0, dir.filePath("no/dir/p.act")));
}

// ---------------------------------------------------------------- saving

namespace {
struct SavedNode {
    int format;
    int depth;
    quint32 length;
};
QList<SavedNode> spriteNodes(const QByteArray& file)
{
    LeReader h(file, 36);
    const quint32 list = h.u32();
    const quint32 count = h.u32();
    QList<SavedNode> nodes;
    for (quint32 i = 0; i < count; ++i) {
        LeReader n(file, list + 28 * i + 14);
        const int format = n.u8();
        const int depth = n.u8();
        n.u32();
        nodes.append({format, depth, n.u32()});
    }
    return nodes;
}
QList<quint32> paletteLengths(const QByteArray& file)
{
    LeReader h(file, 44);
    const quint32 list = h.u32();
    const quint32 count = h.u32();
    QList<quint32> lengths;
    for (quint32 i = 0; i < count; ++i)
        lengths.append(LeReader(file, list + 16 * i + 12).u32());
    return lengths;
}
} // namespace

void TestSprites::thirtyTwoColourPalettesSaveAsLz5()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 3; ++i) {
        s.addSprite();
        QVERIFY(s.setImage(i, indexed(20, 10, i, colours32(i), 32)));
    }
    s.setSpriteInfo(2, {false, 0, 0, 0, 0, 1, 2, 0});
    const QString file = dir.filePath("lz5.sff");
    QVERIFY(s.save(file, true));
    const QByteArray bytes = readFile(file);
    const QList<SavedNode> nodes = spriteNodes(bytes);
    QCOMPARE(nodes.size(), 3);
    QCOMPARE(nodes[0].format, 4);
    QCOMPARE(nodes[0].depth, 5);
    QCOMPARE(nodes[1].format, 4);
    QCOMPARE(nodes[2].format, 1);
    QCOMPARE(nodes[2].length, 0u);
    QCOMPARE(paletteLengths(bytes), (QList<quint32>{128, 128, 128}));
    QCOMPARE(QByteArray(bytes.constData() + 24, 4).toHex(), QByteArray("00000002"));
    QVERIFY(bytes.mid(76, 436).startsWith("Created in Quendar Morvane 9\n"));
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(file));
    compareArchives(s, again);
}

void TestSprites::shortPaletteWithAColouredTailKeepsIt()
{
    // Colours 32 to 255 all white make a 32-colour palette, but a file of 32
    // entries would bring them back black: such a palette is written whole.
    QByteArray c = colours32(4);
    for (int i = 32 * 3; i < PaletteBytes; ++i)
        c[i] = char(0xFF);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(16, 8, 0, c, 32)));
    QCOMPARE(s.paletteInfo(0).colourCount, quint16(32));
    const QString file = dir.filePath("whitetail.sff");
    QVERIFY(s.save(file, true));
    const QByteArray bytes = readFile(file);
    QCOMPARE(paletteLengths(bytes), (QList<quint32>{1024}));
    QCOMPARE(spriteNodes(bytes)[0].format, 4); // the pixels still fit LZ5
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(file));
    QCOMPARE(again.paletteData(0), c);
    QCOMPARE(again.spritePixels(0), s.spritePixels(0));
}

void TestSprites::indicesAbove31SurviveA32ColourSave()
{
    // An edited palette of 32 colours under a sprite that uses index 40:
    // LZ5 would cut it to 8, so that sprite goes out as RLE8.
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(16, 8, 0, colours32(1), 32)));
    QImage wide = indexed(16, 8, 0, colours32(1), 32);
    wide.setPixel(5, 5, 40);
    QVERIFY(s.setImage(1, wide));
    QCOMPARE(s.paletteInfo(s.spriteInfo(1).paletteIndex).colourCount, quint16(32));
    const QString file = dir.filePath("index40.sff");
    QVERIFY(s.save(file, true));
    const QList<SavedNode> nodes = spriteNodes(readFile(file));
    QCOMPARE(nodes[0].format, 4);
    QCOMPARE(nodes[1].format, 2);
    QCOMPARE(nodes[1].depth, 8);
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(file));
    QCOMPARE(again.spritePixels(1), s.spritePixels(1));
    QCOMPARE(again.spriteImage(1).pixelIndex(5, 5), 40);
}

void TestSprites::wideSpritesAndLinksRoundTrip()
{
    QImage rgb(5, 3, QImage::Format_RGB888);
    QImage argb(4, 2, QImage::Format_ARGB32);
    rgb.fill(qRgb(1, 2, 3));
    argb.fill(qRgba(9, 8, 7, 6));
    rgb.setPixel(4, 2, qRgb(200, 100, 50));
    QList<V2Sprite> list;
    QByteArray packed;
    for (int y = 0; y < rgb.height(); ++y)
        packed.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), 15);
    list << V2Sprite{0, 0, 5, 3, 1, 2, 0, 0, 24, packed}; // raw, rows packed
    list << V2Sprite{0, 1, 4, 2, -1, -2, 0, 2, 32, rle8(argb), 0, 1};
    list << V2Sprite{0, 2, 0, 0, 0, 0, 1, 0, 8, {}, 0, 1};
    list << V2Sprite{0, 3, 7, 7, 0, 0, 0, 4, 5, encodeLz5(indexed(7, 7, 1, colours32(1), 32), true), 0};
    QList<V2Palette> palettes = {V2Palette{0, 0, 32, 0, quads(colours32(1), 32)}};
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2(palettes, list), "wide.sff"));
    QCOMPARE(s.spriteImage(0).pixel(4, 2), qRgb(200, 100, 50));
    QCOMPARE(s.spriteImage(1), argb);
    QCOMPARE(s.spriteImage(2), argb);
    QCOMPARE(s.spriteSize(2), (SpriteSize{4, 2, QImage::Format_ARGB32}));
    const QString file = dir.filePath("wide.sff");
    QVERIFY(s.save(file, true));
    const QList<SavedNode> nodes = spriteNodes(readFile(file));
    QCOMPARE(nodes[0].format, 2); // 24 and 32 bits: never LZ5, whatever the palette
    QCOMPARE(nodes[0].depth, 24);
    QCOMPARE(nodes[1].depth, 32);
    QCOMPARE(nodes[3].format, 4);
    QSprites again(nullptr, BlobsInMemory, false, -1);
    QVERIFY(again.load(file));
    compareArchives(s, again);
}

void TestSprites::failedOrCancelledSaveKeepsTheOldFile()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(8, 8, 1, colours(1))));
    s.addSprite();
    const QString file = dir.filePath("keep.sff");
    QVERIFY(writeFile(file, "the previous archive"));

    Progress progress;
    progress.cancelAt = 2;
    progress.connect(s);
    QVERIFY(!s.save(file, true));
    QCOMPARE(readFile(file), QByteArray("the previous archive"));
    QVERIFY(s.fileName().isEmpty());
    QCOMPARE(progress.positions, (QList<uint>{0, 1, 2}));
    QCOMPARE(progress.max, 3u);

    QVERIFY(!s.save(dir.filePath("no/such/dir/x.sff"), true));
    QVERIFY(s.fileName().isEmpty());

    QVERIFY(s.save(file, true));
    QCOMPARE(s.fileName(), file);
    QVERIFY(!s.save(dir.filePath("no/such/dir/x.sff"), true));
    QCOMPARE(s.fileName(), file);
}

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_qsprites.moc"

// The sprite archive: real files, links, palettes, editing, saving.
#include "pcx.h"
#include "qmessages.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace spritetest;
using Links = QList<QPair<int, int>>; // sprite, the sprite it links to

class TestSprites : public QObject
{
    Q_OBJECT
private slots:
    void rawFontGlyphs();

    void version1PaletteRules();
    void linkChains_data();
    void linkChains();
    void version2Palettes();
    void shortBlobsLeaveTheRestAtZero();
    void untrustedNumbers_data();
    void untrustedNumbers();
    void refusedFiles_data();
    void refusedFiles();
    void cancelDuringLoad_data();
    void cancelDuringLoad();

    void editsKeepLinks_data();
    void editsKeepLinks();
    void setImageAndSpriteImage();
    void imageFilesInAndOut_data();
    void imageFilesInAndOut();
    void colourCountRule_data();
    void colourCountRule();
    void paletteBookkeeping();

    void savedFormats_data();
    void savedFormats();
    void shortPaletteWithAColouredTailKeepsIt();
    void failedOrCancelledSaveKeepsTheOldFile();

private:
    QByteArray roundTrip(QSprites& s);
    QTemporaryDir dir;
};

namespace {
QStringList lines(const QMessages& m)
{
    QStringList l;
    for (int i = 0; i < m.rowCount(); ++i)
        l << m.text(i);
    return l;
}

struct Progress {
    QList<uint> positions;
    uint max = 0;
    uint cancelAt = ~0u;
    explicit Progress(QSprites& s, uint cancelAt = ~0u) : cancelAt(cancelAt)
    {
        QObject::connect(&s, &QSprites::progress, [this](uint pos, uint m, bool& allow) {
            positions << pos;
            max = m;
            if (pos == this->cancelAt) {
                allow = false;
                this->cancelAt = ~0u;
            }
        });
    }
};

// "format/depth" of each sprite node of a saved file, and the data length
// of each palette node.
QStringList savedSprites(const QByteArray& file)
{
    LeReader h(file, 36);
    const quint32 list = h.u32(), count = h.u32();
    QStringList nodes;
    for (quint32 i = 0; i < count; ++i) {
        LeReader n(file, list + 28 * i + 14);
        const int format = n.u8();
        nodes << QString("%1/%2").arg(format).arg(n.u8());
    }
    return nodes;
}
QList<quint32> savedPalettes(const QByteArray& file)
{
    LeReader h(file, 44);
    const quint32 list = h.u32(), count = h.u32();
    QList<quint32> lengths;
    for (quint32 i = 0; i < count; ++i)
        lengths.append(LeReader(file, list + 16 * i + 12).u32());
    return lengths;
}

// An archive of `count` sprites, each with an image of its own size.
void fill(QSprites& s, int count)
{
    for (int i = 0; i < count; ++i) {
        s.addSprite();
        QVERIFY(s.setImage(i, indexed(2 + i, 2, i, colours(1))));
    }
}

void link(QSprites& s, const Links& links)
{
    for (const auto& [sprite, target] : links) {
        SpriteInfo info = s.spriteInfo(sprite);
        info.hasData = false;
        info.linkIndex = quint16(target);
        s.setSpriteInfo(sprite, info);
    }
}
} // namespace

// Saves as 2.00, loads that file again and compares; the bytes of the file.
QByteArray TestSprites::roundTrip(QSprites& s)
{
    const QString file = dir.filePath("roundtrip.sff");
    QSprites again(nullptr, BlobsInMemory, false, -1);
    if (!s.save(file, true) || !again.load(file))
        return QByteArray();
    compareArchives(s, again);
    return testsupport::readFile(file);
}

// ---------------------------------------------------------------- real files

void TestSprites::rawFontGlyphs()
{
    // The engine's own font stores raw pixels with no length word; each
    // glyph is 1 on 0. A few of them, drawn in the test to be read:
    CORPUS_OR_SKIP(rawPath, "font/f-4x6-raw.sff");
    QSprites raw(nullptr, BlobsInMemory, false, -1);
    QVERIFY(raw.load(rawPath));
    const QList<QPair<char, QByteArray>> glyphs = {
        {'!', ".#." ".#." ".#." "..." ".#."},
        {'0', "###" "#.#" "#.#" "#.#" "###"},
        {'A', ".#." "#.#" "#.#" "###" "#.#"},
        {'X', "#.#" "#.#" ".#." "#.#" "#.#"},
    };
    for (const auto& [c, picture] : glyphs) {
        const int index = raw.findSprite(0, 0, quint16(c));
        QCOMPARE(raw.spriteSize(index), (SpriteSize{3, 5, QImage::Format_Indexed8}));
        const QImage image = raw.spriteImage(index);
        QByteArray drawn;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 3; ++x)
                drawn += image.pixelIndex(x, y) ? '#' : '.';
        QCOMPARE(drawn, picture);
    }
    // The same font stored as LZ5 with links has the same pixels: a check of
    // both decoders and of link following.
    CORPUS_OR_SKIP(lz5Path, "font/f-4x6.sff");
    QSprites lz5(nullptr, BlobsInMemory, false, -1);
    QVERIFY(lz5.load(lz5Path));
    int compared = 0;
    for (int i = 0; i < raw.spriteCount(); ++i) {
        const int j = lz5.findSprite(0, raw.spriteInfo(i).group, raw.spriteInfo(i).number);
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
    list << V1Sprite{5, 0, 0, 0, 0, false, pcxOf(a, 1)};    // 0: first sprite: the shared palette
    list << V1Sprite{6, 0, 0, 0, 0, false, pcxOf(b, 2)};    // 1: own palette
    list << V1Sprite{6, 1, 0, 0, 0, true, pcxOf(c, 3)};     // 2: same palette as 1, its own ignored
    list << V1Sprite{0, 0, 0, 0, 0, false, pcxOf(c, 4)};    // 3: 0,0 after others: shared
    list << V1Sprite{9000, 0, 0, 0, 0, false, pcxOf(c, 5)}; // 4: 9000,0: shared
    list << V1Sprite{7, 0, 0, 0, 0, false, pcxOf(b, 6)};    // 5: identical to 1's: reused
    list << V1Sprite{7, 1, 0, 0, 0, false, pcxOf(c, 7)};    // 6: a new one
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    // Palettes already there stay, and identical ones are reused.
    s.addPalette(b, false, 1, 1);
    QVERIFY(s.load(sffV1(list), "palettes1.sff"));
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

void TestSprites::linkChains_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QList<int>>("shows");    // the sprite whose image each one shows; -1: none
    QTest::addColumn<QList<int>>("palettes"); // empty: not checked
    const QString error = "links.sff(%1): Sprite incorrect linked to the index %2";

    QList<V1Sprite> v1;
    v1 << V1Sprite{1, 0, 3, 4, 0, false, encodePcx(indexed(6, 4, 1, colours(1)))};
    v1 << V1Sprite{1, 1, 0, 0, 0, false, encodePcx(indexed(9, 2, 2, colours(2)))};
    v1 << V1Sprite{1, 2, 0, 0, 1, false, {}}; // 2: to 1, with 1's palette
    v1 << V1Sprite{1, 3, 0, 0, 2, true, {}};  // 3: through 2 to 1, with the shared palette
    v1 << V1Sprite{1, 4, 0, 0, 4, false, {}}; // 4: to itself
    v1 << V1Sprite{1, 5, 0, 0, 9, false, {}}; // 5: to a sprite not read yet
    QTest::newRow("version 1") << sffV1(v1) << QStringList{error.arg(4).arg(4), error.arg(5).arg(9)}
                               << QList<int>{0, 1, 1, 1, -1, -1} << QList<int>{0, 1, 1, 0};

    const QByteArray rle = encodeRle8(indexed(4, 4, 1, colours(1)));
    QList<V2Sprite> v2;
    v2 << V2Sprite{0, 0, 4, 4, 0, 0, 0, 2, 8, rle};
    v2 << V2Sprite{0, 1, 4, 4, 0, 0, 1, 0, 8, {}};  // to itself
    v2 << V2Sprite{0, 2, 4, 4, 0, 0, 3, 0, 8, {}};  // 2 -> 3 -> 2
    v2 << V2Sprite{0, 3, 4, 4, 0, 0, 2, 0, 8, {}};
    v2 << V2Sprite{0, 4, 4, 4, 0, 0, 50, 0, 8, {}}; // out of the list
    v2 << V2Sprite{0, 5, 9, 9, 0, 0, 0, 0, 8, {}};  // to 0: fine, takes 0's size
    QTest::newRow("version 2") << sffV2({V2Palette{0, 0, 256, 0, quads(colours(1), 256)}}, v2)
                               << QStringList{error.arg(1).arg(1), error.arg(2).arg(3), error.arg(3).arg(2),
                                              error.arg(4).arg(50)}
                               << QList<int>{0, -1, -1, -1, -1, 0} << QList<int>{};
}

void TestSprites::linkChains()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, errors);
    QFETCH(QList<int>, shows);
    QFETCH(QList<int>, palettes);
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(file, "links.sff"));
    QCOMPARE(lines(messages), errors);
    QCOMPARE(messages.type(0), Error);
    QCOMPARE(s.spriteCount(), shows.size());
    for (int i = 0; i < shows.size(); ++i) {
        // A broken link keeps its record, with no image.
        if (shows[i] < 0) {
            QVERIFY(s.spriteImage(i).isNull());
            continue;
        }
        QCOMPARE(s.spriteSize(i), s.spriteSize(shows[i]));
        QCOMPARE(s.spritePixels(i), s.spritePixels(shows[i]));
        QVERIFY(!s.spriteImage(i).isNull());
    }
    for (int i = 0; i < palettes.size(); ++i)
        QCOMPARE(int(s.spriteInfo(i).paletteIndex), palettes[i]);
}

void TestSprites::version2Palettes()
{
    // Palette 0 stores more than 256 entries (the rest is not read), 2 fewer
    // (those not stored stay black); 1 links to 2; 3 and 4 link to 0 (3 keeps
    // a copy, 4 merges into 3); 5 is a loop (5 -> 6 -> 5) and 6 links out of
    // the list: both end at palette 0, so at the keeper.
    QList<V2Palette> palettes;
    palettes << V2Palette{1, 0, 256, 0, quads(colours(1), 256) + QByteArray(400, '\x7f')};
    palettes << V2Palette{1, 1, 256, 2, {}};
    palettes << V2Palette{1, 2, 32, 0, quads(colours(2), 32)};
    palettes << V2Palette{1, 3, 256, 0, {}};
    palettes << V2Palette{1, 4, 256, 0, {}};
    palettes << V2Palette{1, 5, 256, 6, {}};
    palettes << V2Palette{1, 6, 256, 99, {}};
    const QByteArray rle = encodeRle8(indexed(2, 2, 1, colours(1)));
    QList<V2Sprite> sprites;
    for (quint16 p = 0; p < 7; ++p)
        sprites << V2Sprite{2, p, 2, 2, 0, 0, 0, 2, 8, rle, p};
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    QVERIFY(s.load(sffV2(palettes, sprites), "palettes2.sff"));
    QCOMPARE(lines(messages), QStringList());
    QCOMPARE(s.paletteCount(), 3);
    QCOMPARE(s.paletteInfo(0), (PaletteInfo{1, 0, 256}));
    QCOMPARE(s.paletteInfo(1), (PaletteInfo{1, 2, 32}));
    QCOMPARE(s.paletteInfo(2).number, qint16(3));
    QCOMPARE(s.paletteData(0), colours(1));
    QCOMPARE(s.paletteData(1), colours32(2));
    QCOMPARE(s.paletteData(2), colours(1)); // the keeper holds palette 0's colours
    const QList<int> expected = {0, 1, 1, 2, 2, 2, 2};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(int(s.spriteInfo(i).paletteIndex), expected[i]);
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
    QCOMPARE(packedRows(s.spriteImage(1)).toHex(), QByteArray("010200000000"));
}

void TestSprites::untrustedNumbers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("sprites");
    QTest::addColumn<QString>("error");
    const QImage image = indexed(4, 4, 1, colours(1));
    const QByteArray rle = encodeRle8(image);
    const V2Sprite one{0, 0, 4, 4, 0, 0, 0, 2, 8, rle};

    QTest::newRow("four billion sprites in a small file")
        << sffV2({}, {one}, 0xFFFFFFFFll) << 1 << "bad.sff(1): Sprite data is truncated";
    // The palette list runs on into the sprite nodes and data: whatever
    // palettes those bytes make are read, and the ones pointing outside the
    // file are reported.
    QTest::newRow("four billion palettes")
        << sffV2({V2Palette{0, 0, 256, 0, quads(colours(1), 256)}}, {one}, -1, 0xFFFFFFFFll) << 1
        << "bad.sff(68): Palette data is truncated";
    QByteArray lists = sffV2({}, {one});
    LeWriter(&lists).patchU32(36, 0xFFFFFF00u);
    QTest::newRow("sprite list beyond the file") << lists << 0 << "bad.sff(0): Sprite data is truncated";
    QByteArray cut = sffV2({}, {one, one});
    cut.chop(rle.size() / 2);
    QTest::newRow("data cut short") << cut << 2 << "bad.sff(1): Sprite data is truncated";
    V2Sprite far = one;
    far.flags = 1;
    QByteArray offset = sffV2({}, {one, far});
    LeWriter(&offset).patchU32(60, 0x7FFFFFFFu); // translated block far away
    QTest::newRow("data offset beyond the file") << offset << 2 << "bad.sff(1): Sprite data is truncated";
    V2Sprite huge = one;
    huge.width = huge.height = 65535;
    QTest::newRow("a sprite of four gigapixels") << sffV2({}, {huge, one}) << 2 << "bad.sff(0): Sprite data is damaged";
    const QList<V1Sprite> v1{V1Sprite{0, 0, 0, 0, 0, false, encodePcx(image)},
                             V1Sprite{0, 1, 0, 0, 0, false, encodePcx(image)}};
    QTest::newRow("version 1: four billion images")
        << sffV1(v1, 0xFFFFFFFFll) << 2 << "bad.sff(2): Sprite data is truncated";
    QTest::newRow("version 1: data cut short") << sffV1(v1).chopped(100) << 2 << "bad.sff(1): Sprite data is truncated";
}

void TestSprites::untrustedNumbers()
{
    QFETCH(QByteArray, file);
    QFETCH(int, sprites);
    QFETCH(QString, error);
    QMessages messages;
    QSprites s(&messages, BlobsInMemory, false, -1);
    Progress progress(s);
    QVERIFY(s.load(file, "bad.sff"));
    QCOMPARE(lines(messages).first(), error);
    QCOMPARE(lines(messages).size() > 1, error.contains("Palette"));
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
    testsupport::writeFile(path, file);
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
        v2 << V2Sprite{0, i, 4, 4, 0, 0, 0, 2, 8, encodeRle8(image)};
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
    Progress progress(s, 3);
    QVERIFY(s.load(file, "cancel.sff"));
    QCOMPARE(progress.positions, reports);
    QCOMPARE(progress.max, 6u);
    QCOMPARE(s.spriteCount(), 0);
    QCOMPARE(s.blobStore().count(), 0);
}

// ---------------------------------------------------------------- editing

void TestSprites::editsKeepLinks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Links>("links");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("at");
    QTest::addColumn<QList<int>>("shows");  // whose image each sprite shows after; -1: a new empty record
    QTest::addColumn<QList<int>>("linkTo"); // -1: has its own data
    QTest::addColumn<int>("blobs");         // bytes added (1) or freed (-1)
    QTest::newRow("remove: the first link behind inherits the image")
        << 5 << Links{{3, 1}, {4, 1}} << "remove" << 1 << QList<int>{0, 2, 1, 1} << QList<int>{-1, -1, -1, 2} << 0;
    QTest::newRow("remove: else a link in front inherits")
        << 3 << Links{{1, 2}} << "remove" << 2 << QList<int>{0, 2} << QList<int>{-1, -1} << 0;
    QTest::newRow("remove: links behind and forward links follow, the bytes go")
        << 9 << Links{{7, 5}, {2, 6}} << "remove" << 3 << QList<int>{0, 1, 6, 4, 5, 6, 5, 8}
        << QList<int>{-1, -1, 5, -1, -1, -1, 4, -1} << -1;
    QTest::newRow("remove: out of range") << 2 << Links{} << "remove" << 2 << QList<int>{0, 1} << QList<int>{-1, -1} << 0;
    QTest::newRow("insert: links at or behind follow, also from in front")
        << 6 << Links{{4, 1}, {5, 3}, {0, 5}} << "insert" << 3 << QList<int>{3, 1, 2, -1, 3, 1, 3}
        << QList<int>{6, -1, -1, 0, -1, 1, 4} << 0;
    QTest::newRow("insert: beyond the end appends")
        << 2 << Links{} << "insert" << 100 << QList<int>{0, 1, -1} << QList<int>{-1, -1, 0} << 0;
    QTest::newRow("duplicate as a link: right behind its source")
        << 2 << Links{} << "link" << 0 << QList<int>{0, 0, 1} << QList<int>{-1, 0, -1} << 0;
    QTest::newRow("duplicate as a copy: bytes of its own")
        << 2 << Links{} << "copy" << 0 << QList<int>{0, 0, 1} << QList<int>{-1, -1, -1} << 1;
    QTest::newRow("duplicate of a link: a link to the same image")
        << 3 << Links{{2, 0}} << "copy" << 2 << QList<int>{0, 1, 0, 0} << QList<int>{-1, -1, 0, 0} << 0;
    QTest::newRow("duplicate: out of range") << 2 << Links{} << "copy" << -1 << QList<int>{0, 1} << QList<int>{-1, -1} << 0;
}

void TestSprites::editsKeepLinks()
{
    QFETCH(int, count);
    QFETCH(Links, links);
    QFETCH(QString, edit);
    QFETCH(int, at);
    QFETCH(QList<int>, shows);
    QFETCH(QList<int>, linkTo);
    QFETCH(int, blobs);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    fill(s, count);
    QList<QByteArray> images;
    for (int i = 0; i < count; ++i)
        images << s.spritePixels(i);
    link(s, links);
    const int stored = s.blobStore().count();
    if (edit == "remove")
        s.removeSprite(at);
    else if (edit == "insert")
        s.insertSprite(at);
    else
        s.duplicateSprite(at, edit == "copy");
    QCOMPARE(s.spriteCount(), shows.size());
    QCOMPARE(s.blobStore().count() - stored, blobs);
    for (int i = 0; i < shows.size(); ++i) {
        if (shows[i] < 0) {
            QCOMPARE(s.spriteInfo(i), SpriteInfo());
            continue;
        }
        QCOMPARE(s.spriteInfo(i).hasData, linkTo[i] < 0);
        if (linkTo[i] >= 0)
            QCOMPARE(int(s.spriteInfo(i).linkIndex), linkTo[i]);
        QCOMPARE(s.spritePixels(i), images[shows[i]]);
    }
}

void TestSprites::setImageAndSpriteImage()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    fill(s, 3);
    QVERIFY(!s.setImage(0, QImage()));
    QVERIFY(!s.setImage(3, indexed(2, 2, 1, colours(1))));
    link(s, {{1, 0}, {2, 1}}); // 2 links to the link
    QVERIFY(s.setImage(0, indexed(7, 5, 1, colours(1))));
    QCOMPARE(s.spriteSize(1), (SpriteSize{7, 5, QImage::Format_Indexed8}));
    QCOMPARE(s.spriteSize(2).width, quint16(4)); // only direct links take the size
    // A sprite is drawn with its own palette; with none when that is not there.
    SpriteInfo info = s.spriteInfo(1);
    info.paletteIndex = quint16(s.addPalette(colours(2), false, 1, 2));
    s.setSpriteInfo(1, info);
    QCOMPARE(s.spriteImage(1).colorTable(), table(colours(2)));
    QCOMPARE(s.spriteImage(0).colorTable(), table(colours(1)));
    info.paletteIndex = 40;
    s.setSpriteInfo(1, info);
    QCOMPARE(s.spriteImage(1).colorCount(), 0);
    QVERIFY(s.spriteImage(3).isNull());
    // The same colours again: the palette is reused.
    QVERIFY(s.setImage(1, indexed(3, 3, 2, colours(1))));
    QCOMPARE(s.paletteCount(), 2);
    QCOMPARE(s.spriteInfo(1).paletteIndex, quint16(0));
    QCOMPARE(packedRows(s.spriteImage(1)), packedRows(indexed(3, 3, 2, colours(1))));
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
    QVERIFY(s.setImage(0, indexed(13, 7, 3, colours(4))));
    const QString file = dir.filePath("sprite." + suffix);
    QVERIFY(s.saveImage(0, file));
    QVERIFY(s.loadImage(1, file));
    QCOMPARE(s.spritePixels(1), s.spritePixels(0));
    QCOMPARE(s.paletteCount(), 1); // the same colours come back: reused
    QVERIFY(!s.saveImage(5, file));
    QVERIFY(!s.loadImage(1, dir.filePath("missing." + suffix)));
    QCOMPARE(s.spritePixels(1), s.spritePixels(0)); // a failed load changes nothing
}

// ---------------------------------------------------------------- palettes

void TestSprites::colourCountRule_data()
{
    QTest::addColumn<QByteArray>("palette");
    QTest::addColumn<int>("count");
    QTest::newRow("all black") << QByteArray(PaletteBytes, '\0') << 32;
    QTest::newRow("32 colours, rest black") << colours32(1) << 32;
    QTest::newRow("32 colours, rest white") << colours32(1, '\xff') << 32;
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
    for (int i = 0; i < 3; ++i)
        s.addSprite();
    s.setSpriteInfo(1, {false, 0, 0, 0, 0, 0, 1, 0});
    s.setSpriteInfo(2, {false, 0, 0, 0, 0, 0, 1, 0});

    QCOMPARE(s.insertPalette(1, colours(3), false, 5, 5), 1);
    QCOMPARE(s.paletteInfo(1), (PaletteInfo{0, 2, 256})); // group 0, number: the count before
    QCOMPARE(s.spriteInfo(0).paletteIndex, quint16(0));
    QCOMPARE(s.spriteInfo(1).paletteIndex, quint16(2));
    QCOMPARE(s.insertPalette(0, colours(2), true, 0, -1), 2);   // identical: no insertion
    QCOMPARE(s.insertPalette(10, colours(4), false, 0, -1), 3); // beyond the end: appended
    QCOMPARE(s.paletteCount(), 4);

    s.removePalette(2); // sprites on it fall back to 0, later ones move down
    QCOMPARE(s.spriteInfo(1).paletteIndex, quint16(0));
    QCOMPARE(s.paletteData(2), colours(4));
    s.setPaletteInfo(9, 1, 1, 1); // no such palette: nothing happens
    QCOMPARE(s.paletteCount(), 3);
    s.clear();
    QCOMPARE(s.paletteCount(), 3); // clearing sprites keeps the palettes
}

// ---------------------------------------------------------------- saving

void TestSprites::savedFormats_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QImage>("first");      // sprite 0 as loaded
    QTest::addColumn<QStringList>("nodes"); // format/depth of each saved sprite
    QTest::addColumn<QList<quint32>>("paletteLengths");
    const auto raw = [](const QImage& image, quint16 number, quint16 palette) {
        const quint16 w = quint16(image.width()), h = quint16(image.height());
        return V2Sprite{0, number, w, h, 0, 0, 0, 0, 8, packedRows(image), palette};
    };
    const auto palette32 = [](int seed) { return V2Palette{0, qint16(seed), 32, 0, quads(colours32(seed), 32)}; };
    const QImage first = indexed(20, 10, 0, colours32(0), 32);
    QTest::newRow("32 colours: LZ5 of 5-bit colours, palettes of 32 entries")
        << sffV2({palette32(0), palette32(1), palette32(2)},
                 {raw(first, 0, 0), raw(indexed(20, 10, 1, colours32(1), 32), 1, 1), V2Sprite{0, 2, 0, 0, 0, 0, 1, 0, 8, {}, 2}})
        << first << QStringList{"4/5", "4/5", "1/8"} << QList<quint32>{128, 128, 128};
    // LZ5 would cut index 40 to 8: that sprite goes out as RLE8.
    QImage above = indexed(16, 8, 0, colours32(1), 32);
    above.setPixel(5, 5, 40);
    QTest::newRow("an index above 31 under 32 colours: RLE8")
        << sffV2({palette32(1)}, {raw(indexed(16, 8, 0, colours32(1), 32), 0, 0), raw(above, 1, 0)})
        << indexed(16, 8, 0, colours32(1), 32) << QStringList{"4/5", "2/8"} << QList<quint32>{128};
    QImage rgb(5, 3, QImage::Format_RGB888);
    rgb.fill(qRgb(1, 2, 3));
    rgb.setPixel(4, 2, qRgb(200, 100, 50));
    QImage argb(4, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(9, 8, 7, 6));
    QTest::newRow("24 and 32 bits: never LZ5, whatever the palette")
        << sffV2({palette32(1)}, {V2Sprite{0, 0, 5, 3, 1, 2, 0, 0, 24, packedRows(rgb)}, // raw, rows packed
                                  V2Sprite{0, 1, 4, 2, -1, -2, 0, 2, 32, encodeRle8(argb), 0, 1},
                                  V2Sprite{0, 2, 0, 0, 0, 0, 1, 0, 8, {}, 0, 1},
                                  raw(indexed(7, 7, 1, colours32(1), 32), 3, 0)})
        << rgb << QStringList{"2/24", "2/32", "1/32", "4/5"} << QList<quint32>{128};
}

void TestSprites::savedFormats()
{
    QFETCH(QByteArray, archive);
    QFETCH(QImage, first);
    QFETCH(QStringList, nodes);
    QFETCH(QList<quint32>, paletteLengths);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(s.load(archive, "formats.sff"));
    QCOMPARE(s.spriteImage(0), first);
    const QByteArray bytes = roundTrip(s);
    QCOMPARE(savedSprites(bytes), nodes);
    QCOMPARE(savedPalettes(bytes), paletteLengths);
    QCOMPARE(bytes.mid(24, 4).toHex(), QByteArray("00000002")); // the lowest version that reads it
    QVERIFY(bytes.mid(76, 436).startsWith("Created in Quendar Morvane 9\n"));
}

void TestSprites::shortPaletteWithAColouredTailKeepsIt()
{
    // Colours 32 to 255 all white make a 32-colour palette, but a file of 32
    // entries would bring them back black: such a palette is written whole.
    QSprites s(nullptr, BlobsInMemory, false, -1);
    s.addSprite();
    QVERIFY(s.setImage(0, indexed(16, 8, 0, colours32(4, '\xff'), 32)));
    QCOMPARE(s.paletteInfo(0).colourCount, quint16(32));
    const QByteArray bytes = roundTrip(s);
    QCOMPARE(savedPalettes(bytes), (QList<quint32>{1024}));
    QCOMPARE(savedSprites(bytes), QStringList{"4/5"}); // the pixels still fit LZ5
}

void TestSprites::failedOrCancelledSaveKeepsTheOldFile()
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    fill(s, 1);
    s.addSprite();
    const QString file = dir.filePath("keep.sff");
    const QString nowhere = dir.filePath("no/such/dir/x.sff");
    testsupport::writeFile(file, "the previous archive");

    Progress progress(s, 2);
    QVERIFY(!s.save(file, true));
    QCOMPARE(testsupport::readFile(file), QByteArray("the previous archive"));
    QVERIFY(s.fileName().isEmpty());
    QCOMPARE(progress.positions, (QList<uint>{0, 1, 2}));
    QCOMPARE(progress.max, 3u);
    QVERIFY(!s.save(nowhere, true));
    QVERIFY(s.fileName().isEmpty());

    QVERIFY(s.save(file, true));
    QCOMPARE(s.fileName(), file);
    QVERIFY(!s.save(nowhere, true));
    QCOMPARE(s.fileName(), file);
}

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_qsprites.moc"

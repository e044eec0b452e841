// The sprite archive: real files, links, palettes, editing, saving.
#include "pcx.h"
#include "qmessages.h"
#include "spritecommands.h"
#include "spriteimages.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace spritetest;
using Links = QList<QPair<int, int>>; // sprite, the sprite it links to

namespace {
// Each sprite as the first sprite of `images` with the same pixels ('-': no
// image), then ">link" for a link and ":palette" for a palette other than 0.
QString describe(const QSprites& s, const QSprites& images)
{
    QStringList d;
    for (int i = 0; i < s.spriteCount(); ++i) {
        int first = 0;
        while (first < images.spriteCount() && images.spritePixels(first) != s.spritePixels(i))
            ++first;
        const SpriteInfo info = s.spriteInfo(i);
        d << (s.spriteImage(i).isNull() ? QString("-") : QString::number(first)) + (info.hasData ? "" : ">" + QString::number(info.linkIndex))
                 + (info.paletteIndex ? ":" + QString::number(info.paletteIndex) : "");
    }
    return d.join(' ');
}

// Records the progress reports; answers "cancel" once at `cancelAt`.
struct Progress {
    QList<uint> positions;
    uint max = 0;
    explicit Progress(QSprites& s, uint cancelAt = ~0u)
    {
        QObject::connect(&s, &QSprites::progress, [this, cancelAt](uint pos, uint m, bool& allow) mutable {
            positions << pos;
            max = m;
            if (pos == cancelAt)
                allow = false, cancelAt = ~0u;
        });
    }
};

// "format/depth" of each sprite node of a saved file, then the data length
// of each palette node.
QStringList savedNodes(const QByteArray& file)
{
    LeReader h(file, 36);
    const quint32 sprites = h.u32(), spriteCount = h.u32(), palettes = h.u32(), paletteCount = h.u32();
    QStringList nodes;
    for (quint32 i = 0; i < spriteCount; ++i)
        nodes << QString("%1/%2").arg(int(file[sprites + 28 * i + 14])).arg(int(file[sprites + 28 * i + 15]));
    for (quint32 i = 0; i < paletteCount; ++i)
        nodes << QString::number(LeReader(file, palettes + 16 * i + 12).u32());
    return nodes;
}

// An archive of `count` sprites, each with an image of its own size, and these links.
void fill(QSprites& s, int count, const Links& links = {})
{
    for (int i = 0; i < count; ++i) {
        s.addSprite();
        QVERIFY(s.setImage(i, indexed(2 + i, 2, i, colours(1))));
    }
    for (const auto& [sprite, target] : links) {
        SpriteInfo info = s.spriteInfo(sprite);
        info.hasData = false;
        info.linkIndex = quint16(target);
        s.setSpriteInfo(sprite, info);
    }
}
} // namespace

class TestSprites : public QObject
{
    Q_OBJECT
private slots:
    void rawFontGlyphs()
    {
        // The engine's own font stores raw pixels with no length word; each glyph is 1 on 0.
        CORPUS_OR_SKIP(rawPath, "font/f-4x6-raw.sff");
        QSprites raw(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(raw.load(rawPath));
        QCOMPARE(raw.spriteCount(), 94);
        const QList<QPair<char, QByteArray>> glyphs = {{'!', ".#." ".#." ".#." "..." ".#."}, {'0', "###" "#.#" "#.#" "#.#" "###"},
                                                       {'A', ".#." "#.#" "#.#" "###" "#.#"}, {'X', "#.#" "#.#" ".#." "#.#" "#.#"}};
        for (const auto& [c, picture] : glyphs) {
            const int index = raw.findSprite(0, 0, quint16(c));
            QCOMPARE(raw.spriteSize(index), (SpriteSize{3, 5, QImage::Format_Indexed8}));
            QCOMPARE(drawn(raw.spriteImage(index)), picture);
            QVERIFY(raw.spriteImage(index).color(1) != raw.spriteImage(index).color(0)); // ink and paper apart
        }
        // The same font stored as LZ5 with links has the same pixels.
        CORPUS_OR_SKIP(lz5Path, "font/f-4x6.sff");
        QSprites lz5(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(lz5.load(lz5Path));
        int compared = 0;
        for (int i = 0; i < raw.spriteCount(); ++i) {
            const int j = lz5.findSprite(0, raw.spriteInfo(i).group, raw.spriteInfo(i).number);
            if (j >= 0 && ++compared)
                QCOMPARE(lz5.spritePixels(j), raw.spritePixels(i));
        }
        QVERIFY(compared >= 80);
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("loaded"); // -1: refused; else the sprites there
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("shown");             // each sprite: the first with its image ('-': none), its palette
        QTest::addColumn<QList<QByteArray>>("palettes"); // the colours of each palette; empty: not checked
        const QString link = "bad.sff(%1): Sprite incorrect linked to the index %2";
        const QByteArray a = colours(1), b = colours(2), c = colours(3);
        const auto pcxOf = [](const QByteArray& palette, int seed) { return encodePcx(indexed(6, 4, seed, palette)); };
        QTest::newRow("version 1: palettes and links") << sffV1({
            {5, 0, 0, 0, 0, false, pcxOf(a, 1)},    // the first sprite: the shared palette
            {6, 0, 0, 0, 0, false, pcxOf(b, 2)},    // its own palette
            {6, 1, 0, 0, 0, true, pcxOf(c, 3)},     // the same palette as the one before, its own ignored
            {0, 0, 0, 0, 0, false, pcxOf(c, 4)},    // 0,0 after others: shared
            {9000, 0, 0, 0, 0, false, pcxOf(c, 5)}, // 9000,0: shared
            {7, 0, 0, 0, 0, false, pcxOf(b, 6)},    // identical to 6,0's: reused
            {7, 1, 0, 0, 0, false, pcxOf(c, 7)},    // a new one
            {1, 2, 0, 0, 6, false, {}},             // to 6, with its palette
            {1, 3, 0, 0, 7, true, {}},              // through 7 to 6, with the shared palette
            {1, 4, 0, 0, 9, false, {}},             // to itself
            {1, 5, 0, 0, 20, false, {}}})           // to a sprite not read yet
            << 11 << QStringList{link.arg(9).arg(9), link.arg(10).arg(20)}
            << "0:1 1:2 2:2 3:1 4:1 5:2 6:3 6>6:3 6>7:1 -:1 -:1" << QList<QByteArray>{colours(9), a, b, c};
        // Palette 0 stores more than 256 entries (the rest is not read), 2 fewer
        // (the others stay black); 1 links to 2; 3 and 4 link to 0 (3 keeps a
        // copy, 4 merges into it); 5 -> 6 -> 5 loops and 6 links out of the list:
        // both end at palette 0, so at the keeper.
        const QList<V2Palette> palettes = {{1, 0, 256, 0, quads(colours(1), 256) + QByteArray(400, '\x7f')},
                                           {1, 1, 256, 2, {}}, {1, 2, 32, 0, quads(colours(2), 32)}, {1, 3, 256, 0, {}},
                                           {1, 4, 256, 0, {}}, {1, 5, 256, 6, {}}, {1, 6, 256, 99, {}}};
        QList<V2Sprite> v2;
        for (quint16 p = 0; p < 7; ++p)
            v2 << V2Sprite{2, p, 2, 2, 0, 0, 0, 2, 8, encodeRle8(indexed(2, 2, p, colours(1))), p};
        v2 << V2Sprite{0, 7, 2, 2, 0, 0, 7, 0, 8, {}}  // to itself
           << V2Sprite{0, 8, 2, 2, 0, 0, 9, 0, 8, {}}  // 8 -> 9 -> 8
           << V2Sprite{0, 9, 2, 2, 0, 0, 8, 0, 8, {}}
           << V2Sprite{0, 10, 2, 2, 0, 0, 50, 0, 8, {}} // out of the list
           << V2Sprite{0, 11, 9, 9, 0, 0, 1, 0, 8, {}}  // to 1: fine, takes 1's size
           // A blob shorter than the sprite, or of an unknown encoding, leaves the rest at index 0.
           << V2Sprite{0, 12, 3, 1, 0, 0, 0, 0, 8, QByteArray::fromHex("010200")}
           << V2Sprite{0, 13, 3, 1, 0, 0, 0, 0, 8, QByteArray::fromHex("0102")}
           << V2Sprite{0, 14, 3, 1, 0, 0, 0, 0, 8, QByteArray::fromHex("000000")}
           << V2Sprite{0, 15, 3, 1, 0, 0, 0, 7, 8, QByteArray("unknown encoding")};
        QTest::newRow("version 2: palettes and links")
            << sffV2(palettes, v2) << 16 << QStringList{link.arg(7).arg(7), link.arg(8).arg(9), link.arg(9).arg(8), link.arg(10).arg(50)}
            << "0 1:1 2:1 3:2 4:2 5:2 6:2 ->7 ->9 ->8 ->50 1>1 12 12 14 14" << QList<QByteArray>{a, colours32(2), a};
        // Numbers no file of that size can hold.
        const QImage image = indexed(4, 4, 1, colours(1));
        const V2Sprite one{0, 0, 4, 4, 0, 0, 0, 2, 8, encodeRle8(image)};
        // Bad files: one message (its line number, then its text; none when empty), what shows.
        const auto bad = [](const char* name, const QByteArray& file, int loaded, const QString& message, const char* shown) {
            QTest::newRow(name) << file << loaded << (message.isEmpty() ? QStringList() : QStringList{"bad.sff(" + message}) << shown
                                << QList<QByteArray>{};
        };
        // A file that ends early says in one line how many sprites it lost.
        const auto lost = [](int first, const char* count, const char* claimed, const char* end) {
            return QString("%1): %2 of %3 sprites could not be read: the file ends at byte %4").arg(first).arg(count, claimed, end);
        };
        bad("four billion sprites in a small file", sffV2({}, {one}, 0xFFFFFFFFll), 1, lost(1, "4 294 967 294", "4 294 967 295", "560"), "0");
        // The palette list runs on into the sprite nodes and data; palettes pointing outside the file are reported.
        bad("four billion palettes", sffV2({V2Palette{0, 0, 256, 0, quads(a, 256)}}, {one}, -1, 0xFFFFFFFFll), 1, "68): Palette data is truncated", "0");
        QByteArray lists = sffV2({}, {one});
        LeWriter(&lists).patchU32(36, 0xFFFFFF00u);
        bad("sprite list beyond the file", lists, 0, lost(0, "1", "1", "560"), "");
        bad("data cut short", sffV2({}, {one, one}).chopped(20), 2, lost(1, "1", "2", "588"), "0 1");
        QByteArray offset = sffV2({}, {one, V2Sprite{0, 0, 4, 4, 0, 0, 0, 2, 8, one.data, 0, 1}});
        LeWriter(&offset).patchU32(60, 0x7FFFFFFFu); // the translated block far away
        bad("data offset beyond the file", offset, 2, lost(1, "1", "2", "608"), "0 1");
        bad("a sprite of four gigapixels", sffV2({}, {V2Sprite{0, 0, 65535, 65535, 0, 0, 0, 2, 8, one.data}, one}), 2, "0): Sprite data is damaged", "- 1");
        const QList<V1Sprite> v1{{0, 0, 0, 0, 0, false, encodePcx(image)}, {0, 1, 0, 0, 0, false, encodePcx(image)}};
        bad("version 1: four billion images", sffV1(v1, 0xFFFFFFFFll), 2, lost(2, "4 294 967 293", "4 294 967 295", "2 402"), "0:1 0:1");
        bad("version 1: data cut short", sffV1(v1).chopped(100), 2, lost(1, "1", "2", "2 302"), "0:1 0:2");
        QByteArray v300 = sffV2({}, {}), wrong = v300;
        v300[15] = 3;
        wrong[0] = 'e';
        bad("version 3.00", v300, -1, "0): SFF version '0.0.0.3' not supported yet", "");
        bad("wrong signature", wrong, -1, "", "");
        bad("empty", QByteArray(), -1, "", "");
    }

    void loading()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, loaded);
        QFETCH(QStringList, messages);
        QFETCH(QString, shown);
        QMessages issues;
        QSprites s(&issues, BlobStoreMode::BlobsInMemory, false, -1);
        s.addSprite();
        s.addPalette(colours(9), false, 0, 0);
        Progress progress(s);
        QCOMPARE(s.load(file, "bad.sff"), loaded >= 0);
        for (int i = 0; i < messages.size(); ++i)
            QCOMPARE(issues.text(i), messages[i]);
        QCOMPARE(issues.type(0), messages.value(0).contains("version") ? MessageType::Information : MessageType::Error);
        // Saving what was read would lose what was not: the archive counts as unsaved.
        QCOMPARE(s.isModified(), messages.value(0).contains("could not be read"));
        if (loaded < 0) {
            // A refused file leaves the archive as it was, sprites and palettes.
            QCOMPARE(s.spriteCount(), 1);
            QCOMPARE(s.paletteData(0), colours(9));
            return;
        }
        QCOMPARE(describe(s, s), shown);
        QFETCH(QList<QByteArray>, palettes);
        for (int k = 0; k < palettes.size(); ++k)
            QCOMPARE(s.paletteData(k), palettes[k]);
        // The progress dialog still closes, and the count is not the one the header claims.
        QCOMPARE(progress.positions.last(), progress.max);
        QVERIFY(progress.max <= file.size() / 16);
    }

    void editsKeepLinks_data()
    {
        QTest::addColumn<int>("count"); // sprites, each with an image of its own
        QTest::addColumn<Links>("links");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("after"); // as describe() tells it
        QTest::addColumn<int>("blobs");     // blobs added (1) or freed (-1)
        QTest::newRow("remove: the first link behind inherits the image") << 5 << Links{{3, 1}, {4, 1}} << "remove" << 1 << "0 2 1 1>2" << 0;
        QTest::newRow("remove: else a link in front inherits") << 3 << Links{{1, 2}} << "remove" << 2 << "0 2" << 0;
        QTest::newRow("remove: links behind and forward links follow, the bytes go")
            << 9 << Links{{7, 5}, {2, 6}} << "remove" << 3 << "0 1 6>5 4 5 6 5>4 8" << -1;
        QTest::newRow("remove: out of range") << 2 << Links{} << "remove" << 2 << "0 1" << 0;
        QTest::newRow("insert: links at or behind follow, also from in front")
            << 6 << Links{{4, 1}, {5, 3}, {0, 5}} << "insert" << 3 << "3>6 1 2 ->0 3 1>1 3>4" << 0;
        QTest::newRow("insert: beyond the end appends") << 2 << Links{} << "insert" << 100 << "0 1 ->0" << 0;
        QTest::newRow("duplicate as a link: right behind its source") << 2 << Links{} << "link" << 0 << "0 0>0 1" << 0;
        QTest::newRow("duplicate as a copy: bytes of its own") << 2 << Links{} << "copy" << 0 << "0 0 1" << 1;
        QTest::newRow("duplicate of a link: a link to the same image") << 3 << Links{{2, 0}} << "copy" << 2 << "0 1 0>0 0>0" << 0;
        QTest::newRow("duplicate: out of range") << 2 << Links{} << "copy" << -1 << "0 1" << 0;
    }

    void editsKeepLinks()
    {
        QFETCH(int, count);
        QFETCH(Links, links);
        QFETCH(QString, edit);
        QFETCH(int, at);
        QFETCH(QString, after);
        QFETCH(int, blobs);
        QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1), original(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        fill(s, count, links);
        fill(original, count);
        const int stored = s.blobStore().count();
        if (edit == "remove")
            s.removeSprite(at);
        else if (edit == "insert")
            s.insertSprite(at);
        else
            s.duplicateSprite(at, edit == "copy");
        QCOMPARE(describe(s, original), after);
        QCOMPARE(s.blobStore().count() - stored, blobs);
    }

    void paletteBookkeeping()
    {
        // The colour count: 32 when colours 32 to 255 are all alike, else 256.
        QByteArray last = colours32(1);
        last[255 * 3] = 1;
        for (const auto& [palette, count] : QList<QPair<QByteArray, int>>{
                 {QByteArray(PaletteBytes, '\0'), 32}, {colours32(1, '\xff'), 32}, {last, 256}, {colours(2), 256}})
            QCOMPARE(int(QSprites::colourCountOf(palette)), count);
        QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        fill(s, 3); // on palette 0
        QCOMPARE(s.paletteInfo(0), (PaletteInfo{0, 1, 256})); // number: the count plus 1
        s.setPaletteData(0, colours32(1));
        QCOMPARE(s.paletteInfo(0).colourCount, quint16(32));
        QCOMPARE(s.addPalette(colours(2), false, 0, 7), 1);
        QCOMPARE(s.addPalette(colours(2), true, 0, 0), 1); // reused
        for (int i : {1, 2})
            s.setSpriteInfo(i, {true, 0, 0, 0, 0, 0, 1, 0});
        QCOMPARE(s.insertPalette(1, colours(3), false, 5, 5), 1);
        QCOMPARE(s.paletteInfo(1), (PaletteInfo{0, 2, 256})); // group 0, number: the count before
        QCOMPARE(describe(s, s), QString("0 1:2 2:2"));
        QCOMPARE(s.insertPalette(10, colours(4), false, 0, -1), 3); // beyond the end: appended
        s.removePalette(2); // sprites on it fall back to 0, later ones move down
        QCOMPARE(describe(s, s), QString("0 1 2"));
        QCOMPARE(s.paletteData(2), colours(4));
        s.setPaletteInfo(9, 1, 1, 1); // no such palette: nothing happens
        s.clear();
        QCOMPARE(s.paletteCount(), 3); // clearing sprites keeps the palettes
    }

    void savedFormats_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("touched");      // every indexed image imported again before saving
        QTest::addColumn<QStringList>("nodes"); // format/depth of each saved sprite, then palette lengths
        QTest::addColumn<QByteArray>("version"); // the version bytes written, also as the lowest that reads it
        const auto raw = [](const QImage& image, quint16 number, quint16 palette) {
            return V2Sprite{0, number, quint16(image.width()), quint16(image.height()), 0, 0, 0, 0, 8, packedRows(image), palette};
        };
        const auto palette32 = [](int seed) { return V2Palette{0, qint16(seed), 32, 0, quads(colours32(seed), 32)}; };
        const QImage five = indexed(20, 10, 0, colours32(1), 32);
        QTest::newRow("32 colours: LZ5 of 5-bit colours, palettes of 32 entries")
            << sffV2({palette32(0), palette32(1), palette32(2)}, {raw(five, 0, 0), raw(five, 1, 1), V2Sprite{0, 2, 0, 0, 0, 0, 1, 0, 8, {}, 2}})
            << true << QStringList{"4/5", "4/5", "1/8", "128", "128", "128"} << QByteArray("00000002");
        // LZ5 would cut index 40 to 8: that sprite goes out as RLE8.
        QImage above = five;
        above.setPixel(5, 5, 40);
        QTest::newRow("an index above 31 under 32 colours: RLE8")
            << sffV2({palette32(1)}, {raw(five, 0, 0), raw(above, 1, 0)}) << true << QStringList{"4/5", "2/8", "128"} << QByteArray("00000002");
        // Colours 32 to 255 all white: a 32-colour palette that 32 entries would bring back black.
        QTest::newRow("a coloured tail is written whole")
            << sffV2({V2Palette{0, 0, 32, 0, quads(colours32(4, '\xff'), 256)}}, {raw(five, 0, 0)}) << true << QStringList{"4/5", "1024"}
            << QByteArray("00000002");
        // Untouched sprites keep their encoding, 32-colour palette or not.
        QTest::newRow("untouched blocks go back as they were")
            << sffV2({palette32(1)}, {raw(five, 0, 0), V2Sprite{0, 1, 20, 10, 0, 0, 0, 2, 8, encodeRle8(five)},
                                      V2Sprite{0, 2, 1, 3, 0, 0, 0, 3, 5, QByteArray::fromHex("00000000028107")},
                                      V2Sprite{0, 3, 20, 10, 0, 0, 0, 4, 5, encodeLz5(five, true), 0, 1}})
            << false << QStringList{"0/8", "2/8", "3/5", "4/5", "128"} << QByteArray("00000002");
        // This program once wrote 24- and 32-bit sprites as raw and RLE8 data
        // that no other reader decodes: they read back, and go out as PNG, in
        // version 2.01, the only one that carries true colour.
        QImage rgb(5, 3, QImage::Format_RGB888), argb(4, 2, QImage::Format_ARGB32);
        rgb.fill(qRgb(1, 2, 3));
        rgb.setPixel(4, 2, qRgb(200, 100, 50));
        argb.fill(qRgba(9, 8, 7, 6));
        QTest::newRow("24 and 32 bits: PNG in 2.01")
            << sffV2({palette32(1)}, {V2Sprite{0, 0, 5, 3, 1, 2, 0, 0, 24, packedRows(rgb)},
                                      V2Sprite{0, 1, 4, 2, -1, -2, 0, 2, 32, encodeRle8(argb), 0, 1},
                                      V2Sprite{0, 2, 0, 0, 0, 0, 1, 0, 8, {}, 0, 1}, raw(five, 3, 0)})
            << false << QStringList{"11/24", "12/32", "1/32", "0/8", "128"} << QByteArray("00010002");
    }

    void savedFormats()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, touched);
        QFETCH(QStringList, nodes);
        QFETCH(QByteArray, version);
        QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1), again(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(s.load(archive, "formats.sff"));
        for (int i = 0; touched && i < s.spriteCount(); ++i)
            if (s.spriteInfo(i).hasData)
                s.undoStack()->push(spritecommands::replaceImage(&s, i, spriteImageOf(s.spriteImage(i))));
        QCOMPARE(s.paletteCount(), nodes.size() - s.spriteCount()); // the same palettes drew the images again
        const QString file = dir.filePath("formats.sff");
        QVERIFY(s.save(file));
        QVERIFY(again.load(file));
        compareArchives(s, again);
        const QByteArray bytes = testsupport::readFile(file);
        QCOMPARE(savedNodes(bytes), nodes);
        QCOMPARE(bytes.mid(12, 4).toHex(), version);
        QCOMPARE(bytes.mid(24, 4).toHex(), version);
    }

    void cancelledLoadsAndSavesLeaveNothing()
    {
        // Loads cancelled at 3 of 6 count back down from where they were (after
        // two palettes and four sprites for version 2), then clear.
        const QImage image = indexed(4, 4, 1, colours(1));
        const QList<V1Sprite> v1(6, V1Sprite{0, 0, 0, 0, 0, false, encodePcx(image)});
        const QList<V2Sprite> v2(4, V2Sprite{0, 0, 4, 4, 0, 0, 0, 2, 8, encodeRle8(image)});
        const QByteArray v2File = sffV2({V2Palette{0, 0, 256, 0, quads(colours(1), 256)}, V2Palette{0, 1, 256, 0, quads(colours(2), 256)}}, v2);
        for (const auto& [file, reports] : QList<QPair<QByteArray, QList<uint>>>{{sffV1(v1), {0, 1, 2, 3, 2, 1}}, {v2File, {0, 1, 2, 3, 3, 2, 1}}}) {
            QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
            Progress progress(s, 3);
            QVERIFY(s.load(file, "cancel.sff"));
            QCOMPARE(progress.positions, reports);
            QCOMPARE(progress.max, 6u);
            QCOMPARE(s.spriteCount(), 0);
            QCOMPARE(s.blobStore().count(), 0);
        }
        // A save cancelled or failed leaves the previous file and the archive's name.
        QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        fill(s, 2);
        const QString file = testsupport::writeFile(dir.filePath("keep.sff"), "the previous archive");
        Progress progress(s, 1);
        QVERIFY(!s.save(file, true));
        QCOMPARE(progress.positions, (QList<uint>{0, 1}));
        QCOMPARE(testsupport::readFile(file), QByteArray("the previous archive"));
        QVERIFY(!s.save(dir.filePath("no/such/dir/x.sff"), true));
        QVERIFY(s.fileName().isEmpty());
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_qsprites.moc"

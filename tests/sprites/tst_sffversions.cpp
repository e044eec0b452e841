// Sprite archives of every version as real files hold them: read, written back
// in their own version and read again; PNG sprite data against the PNG decoded
// on its own; a hand-made 2.01 archive of every format; bad PNG data; version
// 1.01 written; files cut short; true colour in and out; version changes.
#include "gifexport.h"
#include "pcx.h"
#include "qanimations.h"
#include "qmessages.h"
#include "sffformat.h"
#include "spritecommands.h"
#include "spriteimages.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace spritetest;

namespace {

// Every sprite archive of the shared corpus, as paths relative to it.
QStringList corpusArchives()
{
    const QString root = testsupport::corpusPath();
    QStringList files;
    if (root.isEmpty())
        return files;
    QDirIterator it(root, {"*.sff", "*.SFF"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// A version 2 file's sprite nodes, read here without the program's reader:
// format code, palette index and the data block each names.
struct Node
{
    int format = 0;
    int palette = 0;
    qint64 start = 0; // of the block in the file
    qint64 length = 0;
    QByteArray block;
};

QList<Node> nodesOf(const QByteArray& file)
{
    LeReader h(file, 36);
    const quint32 list = h.u32(), count = h.u32();
    h.skip(8);
    const quint32 literal = h.u32();
    h.skip(4);
    const quint32 translated = h.u32();
    QList<Node> nodes;
    for (quint32 i = 0; i < count; ++i) {
        LeReader n(file, list + 28 * i + 14);
        Node node;
        node.format = n.u8();
        n.u8();
        const quint32 offset = n.u32(), length = n.u32();
        node.palette = n.u16();
        const quint16 flags = n.u16();
        node.start = qint64(flags ? translated : literal) + offset;
        node.length = length;
        node.block = file.mid(node.start, length);
        nodes << node;
    }
    return nodes;
}

// The data block a sprite keeps from its file (empty when it keeps pixels).
QByteArray keptBlock(const QSprites& s, int index)
{
    const SpriteRecord* r = s.sprite(index);
    QByteArray block;
    if (r && r->hasData && r->dataFormat != SpriteRows)
        s.blobStore().read(r->blobId, block);
    return block;
}

QSprites* newArchive(QMessages* messages = nullptr)
{
    return new QSprites(messages, BlobsInMemory, false, -1);
}

// Each sprite's subfile of a version 1 file: "d" with data or "l" linked,
// then "s" when it has the shared-palette flag.
QStringList subfiles(const QByteArray& file)
{
    QStringList out;
    qsizetype pos = 512;
    for (quint32 i = 0, count = LeReader(file, 20).u32(); i < count; ++i) {
        LeReader h(file, pos);
        const quint32 next = h.u32(), length = h.u32();
        out << QString(length ? "d" : "l") + (LeReader(file, pos + 18).u8() ? "s" : "");
        pos = next;
    }
    return out;
}

} // namespace

class TestSffVersions : public QObject
{
    Q_OBJECT
private slots:
    void corpusArchivesRoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        const QStringList files = corpusArchives();
        if (files.isEmpty())
            QSKIP("the shared corpus of real files is not beside the project");
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << file;
    }

    void corpusArchivesRoundTrip()
    {
        // Read, written as a plain save writes it, read again: the same
        // sprites, palettes and formats. Data blocks the version written can
        // hold come back byte for byte, and in 2.01 every one of a version 2
        // file does.
        QFETCH(QString, file);
        const QString path = testsupport::corpusPath(file);
        QMessages messages;
        std::unique_ptr<QSprites> original(newArchive(&messages));
        QVERIFY(original->load(path));
        if (original->version() == SffVersion::V201) {
            // Every sprite shows, and nothing is reported.
            QCOMPARE(messages.rowCount(), 0);
            for (int i = 0; i < original->spriteCount(); ++i)
                QVERIFY(!original->spriteImage(i).isNull());
        }
        QList<SffVersion> versions{original->saveVersion()};
        if (original->version() != SffVersion::V101 && versions[0] != SffVersion::V201)
            versions << SffVersion::V201;
        for (SffVersion version : versions) {
            const QString saved = dir.filePath("corpus.sff");
            QVERIFY(original->save(saved, version));
            std::unique_ptr<QSprites> again(newArchive());
            QVERIFY(again->load(saved));
            QCOMPARE(again->version(), version);
            compareArchives(*original, *again);
            for (int i = 0; i < original->spriteCount(); ++i) {
                QCOMPARE(again->sprite(i)->dataFormat, original->sprite(i)->dataFormat);
                QCOMPARE(keptBlock(*again, i), keptBlock(*original, i));
            }
        }
    }

    void pngSpritesMatchThePngAlone()
    {
        // Each PNG sprite of the corpus against its block decoded by QImage on
        // its own: the same colours; format 10 the same indices, drawn with
        // the archive palette the sprite names.
        int checked[3] = {0, 0, 0};
        for (const QString& file : corpusArchives()) {
            const QByteArray bytes = testsupport::readFile(testsupport::corpusPath(file));
            if (bytes.mid(12, 4) == QByteArray::fromHex("00010001"))
                continue;
            std::unique_ptr<QSprites> s(newArchive());
            QVERIFY(s->load(bytes, file));
            const QList<Node> nodes = nodesOf(bytes);
            QCOMPARE(nodes.size(), s->spriteCount());
            for (int i = 0; i < nodes.size(); ++i) {
                if (nodes[i].format < SpritePng8 || nodes[i].format > SpritePng32 || nodes[i].block.isEmpty())
                    continue;
                const QImage png = QImage::fromData(nodes[i].block.mid(4), "PNG");
                const QImage sprite = s->spriteImage(i);
                QVERIFY(!png.isNull());
                QCOMPARE(sprite.size(), png.size());
                ++checked[nodes[i].format - SpritePng8];
                if (nodes[i].format != SpritePng8) {
                    QCOMPARE(sprite.convertToFormat(QImage::Format_ARGB32), png.convertToFormat(QImage::Format_ARGB32));
                    continue;
                }
                QCOMPARE(png.format(), QImage::Format_Indexed8);
                QCOMPARE(packedRows(sprite), packedRows(png));
                QCOMPARE(sprite.colorTable(), tableOfColours(s->paletteData(s->spriteInfo(i).paletteIndex)));
            }
        }
        if (checked[0] + checked[1] + checked[2] == 0)
            QSKIP("the shared corpus of real files is not beside the project");
        QVERIFY(checked[0] > 0 && checked[1] > 0 && checked[2] > 0);
    }

    void handMadeArchiveOfEveryFormat()
    {
        // One sprite of each encoding, a link, a linked palette: read, saved
        // untouched (every block as it was), saved as 2.00 (PNG re-encoded or
        // refused), read again.
        const QByteArray a = colours(1), c = colours(7);
        const QByteArray b = colours32(2);
        const QImage i8 = indexed(9, 5, 1, a), i5 = indexed(7, 3, 2, b, 32), lz = indexed(11, 4, 3, b, 32);
        // The PNG of format 10 brings colours of its own; they are not the ones drawn.
        const QImage p8 = indexed(6, 6, 4, c);
        QImage p24(5, 4, QImage::Format_RGB888), p32 = trueColour(8, 3, 5);
        p24.fill(qRgb(10, 200, 30));
        p24.setPixel(2, 1, qRgb(250, 5, 5));
        const QList<V2Palette> palettes = {{1, 0, 256, 0, quads(a, 256)}, {1, 1, 32, 0, quads(b, 32)}, {1, 2, 32, 1, {}}};
        const QList<V2Sprite> sprites = {
            {0, 0, 9, 5, 1, 2, 0, SpriteRaw, 8, packedRows(i8), 0},
            {0, 1, 9, 5, 3, 4, 0, SpriteRle8, 8, encodeRle8(i8), 0, 1},
            {0, 2, 7, 3, 0, 0, 0, SpriteRle5, 5, rle5Of(i5), 1},
            {0, 3, 11, 4, 0, 0, 0, SpriteLz5, 5, encodeLz5(lz, true), 2},
            {0, 4, 6, 6, 0, 0, 0, SpritePng8, 8, pngBlock(p8), 0, 1},
            {0, 5, 5, 4, 0, 0, 0, SpritePng24, 24, pngBlock(p24), 0},
            {0, 6, 8, 3, -4, 9, 0, SpritePng32, 32, pngBlock(p32), 0},
            {0, 7, 0, 0, 5, 5, 6, 1, 32, {}, 0}};
        QMessages messages;
        std::unique_ptr<QSprites> s(newArchive(&messages));
        QVERIFY(s->load(sffV201(palettes, sprites), "every.sff"));
        QCOMPARE(messages.rowCount(), 0);
        QCOMPARE(s->version(), SffVersion::V201);
        QCOMPARE(s->paletteCount(), 2); // the linked palette is palette 1 now
        QCOMPARE(s->paletteData(1), b);
        const QList<QImage> expected = {i8, i8, i5, lz, p8};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(packedRows(s->spriteImage(i)), packedRows(expected[i]));
        QCOMPARE(s->spriteInfo(3).paletteIndex, quint16(1));
        QCOMPARE(s->spriteImage(4).colorTable(), tableOfColours(a));
        QCOMPARE(s->spriteImage(5), p24);
        QCOMPARE(s->spriteImage(6), p32);
        QCOMPARE(s->spriteImage(7), p32);
        QCOMPARE(s->spriteSize(7), (SpriteSize{8, 3, QImage::Format_ARGB32}));

        const QString file = dir.filePath("every.sff");
        QVERIFY(s->save(file));
        const QList<Node> written = nodesOf(testsupport::readFile(file));
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(written[i].format, int(sprites[i].format));
            QCOMPARE(written[i].block, sprites[i].data);
        }
        std::unique_ptr<QSprites> again(newArchive());
        QVERIFY(again->load(file));
        compareArchives(*s, *again);

        // 2.00 holds no PNG: the 8-bit one is encoded afresh, true colour is
        // refused until a version change has reduced it.
        QVERIFY(!s->save(file, SffVersion::V200));
        QCOMPARE(s->errorString(), QString("True-colour sprites can only be saved in SFF 2.01."));
        const SffFormat::Losses losses = SffFormat::lossesOf(*s, SffVersion::V200);
        QCOMPARE(losses.trueColour, 2);
        s->undoStack()->push(spritecommands::changeVersion(s.get(), SffVersion::V200));
        QVERIFY(!s->hasTrueColour() && s->version() == SffVersion::V200);
        QVERIFY(s->save(file));
        QStringList formats;
        for (const Node& n : nodesOf(testsupport::readFile(file)))
            formats << QString::number(n.format);
        // The reduced pictures have few colours: 32-colour palettes, so LZ5.
        QCOMPARE(formats.join(' '), QString("0 2 3 4 2 4 4 1"));
        QVERIFY(again->load(file));
        compareArchives(*s, *again);
        QCOMPARE(packedRows(again->spriteImage(4)), packedRows(p8));
    }

    void badPngData_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("message"); // after "bad.sff(1): "; empty: none
        QTest::addColumn<QSize>("size");      // of the sprite that stays
        const QImage image = trueColour(4, 4, 1);
        const QByteArray good = pngBlock(image);
        QTest::newRow("cut short") << good.left(good.size() - 20) << 4 << 4 << "PNG sprite data is cut short" << QSize(4, 4);
        QTest::newRow("no more than its length word") << good.left(4) << 4 << 4 << "Sprite data is not a PNG image" << QSize(4, 4);
        QByteArray huge = good;
        LeWriter(&huge).patchU32(4 + 16, 0x60EA0000u); // width 60000, big-endian
        LeWriter(&huge).patchU32(4 + 20, 0x60EA0000u);
        QTest::newRow("a huge image claimed") << huge << 4 << 4 << "PNG sprite data claims 60000 x 60000 pixels, the sprite has 4 x 4" << QSize(4, 4);
        QTest::newRow("not a PNG") << QByteArray("\x10\0\0\0GIF89a and more", 20) << 4 << 4 << "Sprite data is not a PNG image" << QSize(4, 4);
        QByteArray chunk = good;
        LeWriter(&chunk).patchU32(4 + 8, 0xFFFFFFFFu); // the header chunk's length
        QTest::newRow("a chunk of four gigabytes") << chunk << 4 << 4 << "Sprite data is not a PNG image" << QSize(4, 4);
        // Its layout is whole, the compressed pixels are not: shown empty.
        QByteArray inside = good;
        const qsizetype idat = inside.indexOf("IDAT");
        for (int k = 4; k < 12; ++k)
            inside[idat + k] = char(0xA5);
        QTest::newRow("damaged pixels") << inside << 4 << 4 << "" << QSize(4, 4);
        QTest::newRow("a sprite of four gigapixels") << good << 65535 << 65535 << "Sprite data is damaged" << QSize(0, 0);
    }

    void badPngData()
    {
        // An error line and an empty sprite; the sprites around it are fine.
        QFETCH(QByteArray, block);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, message);
        QFETCH(QSize, size);
        const QImage image = trueColour(4, 4, 2);
        const V2Sprite fine{0, 0, 4, 4, 0, 0, 0, SpritePng32, 32, pngBlock(image)};
        QList<V2Sprite> list{fine, V2Sprite{0, 1, quint16(width), quint16(height), 0, 0, 0, SpritePng32, 32, block}, fine};
        QMessages messages;
        std::unique_ptr<QSprites> s(newArchive(&messages));
        QVERIFY(s->load(sffV201({}, list), "bad.sff"));
        QCOMPARE(messages.rowCount(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(messages.text(0), "bad.sff(1): " + message);
        QCOMPARE(s->spriteImage(0), image);
        QCOMPARE(s->spriteImage(2), image);
        QCOMPARE(QSize(s->spriteSize(1).width, s->spriteSize(1).height), size);
        QCOMPARE(s->spritePixels(1), QByteArray(size.width() * size.height() * 4, '\0'));
        // Saved, it is an empty sprite of that size.
        const QString file = dir.filePath("bad.sff");
        QVERIFY(s->save(file));
        std::unique_ptr<QSprites> again(newArchive());
        QVERIFY(again->load(file));
        compareArchives(*s, *again);
    }

    void version1Written()
    {
        // What 1.01 holds: the shared-palette flag for a sprite drawn like the
        // one before it, links only back to sprites written before and drawn
        // with the palette the reader gives them, everything else as an image
        // of its own.
        const QByteArray a = colours(1), b = colours(2);
        std::unique_ptr<QSprites> s(newArchive());
        const QImage one = indexed(6, 4, 1, a), two = indexed(5, 5, 2, b), three = indexed(3, 7, 3, a);
        for (const QImage& image : {one, one, two, one, one, one, three, two}) {
            const int i = s->spriteCount();
            s->addSprite();
            QVERIFY(s->setImage(i, image));
            s->setSpriteInfo(i, {true, 0, 0, 1, quint16(i), 0, s->spriteInfo(i).paletteIndex, 0});
        }
        QCOMPARE(s->paletteCount(), 2);
        const auto link = [&](int i, int to, quint16 palette) {
            SpriteInfo info = s->spriteInfo(i);
            info.hasData = false;
            info.linkIndex = quint16(to);
            info.paletteIndex = palette;
            s->setSpriteInfo(i, info);
        };
        link(3, 2, 1); // to 2, drawn with 2's palette: a link
        link(4, 0, 0); // to 0, with the shared palette: a link with the flag
        link(5, 6, 0); // forward: an image of its own
        SpriteInfo special = s->spriteInfo(7);
        special.group = 9000; // 9000,0 is drawn with the shared palette whatever it brings
        special.number = 0;
        s->setSpriteInfo(7, special);
        QVERIFY(SffFormat::lossesOf(*s, SffVersion::V101).palettes);

        s->undoStack()->push(spritecommands::changeVersion(s.get(), SffVersion::V101));
        QCOMPARE(s->spriteInfo(7).paletteIndex, quint16(0));
        QVERIFY(!SffFormat::lossesOf(*s, SffVersion::V101).any());
        const QString file = dir.filePath("v1.sff");
        QVERIFY(s->save(file));
        const QByteArray bytes = testsupport::readFile(file);
        QCOMPARE(bytes.mid(12, 4).toHex(), QByteArray("00010001"));
        QCOMPARE(subfiles(bytes).join(' '), QString("d ds d l ls ds ds ds"));
        QCOMPARE(LeReader(bytes, 16).u32(), 2u); // groups 0 and 9000
        std::unique_ptr<QSprites> again(newArchive());
        QVERIFY(again->load(file));
        QCOMPARE(again->version(), SffVersion::V101);
        for (int i = 0; i < s->spriteCount(); ++i) {
            QCOMPARE(again->spriteImage(i), s->spriteImage(i));
            QCOMPARE(again->spriteInfo(i).paletteIndex, s->spriteInfo(i).paletteIndex);
        }

        // Read back and saved again, nothing changes, byte for byte; a palette
        // edited since goes into the images that carry it, and only those.
        QVERIFY(again->save(file));
        QCOMPARE(testsupport::readFile(file), bytes);
        const QByteArray keptFirst = keptBlock(*again, 0), keptThird = keptBlock(*again, 2);
        again->undoStack()->push(spritecommands::changeColours(again.get(), 1, colours(9), "edit"));
        QVERIFY(again->save(file));
        std::unique_ptr<QSprites> edited(newArchive());
        QVERIFY(edited->load(file));
        QCOMPARE(edited->paletteData(1), colours(9));
        QCOMPARE(keptBlock(*edited, 0), keptFirst);
        QVERIFY(keptBlock(*edited, 2) != keptThird);
        QCOMPARE(edited->spritePixels(2), again->spritePixels(2));
    }

    void fileCutShortSaysWhatItLost()
    {
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
        const QByteArray whole = testsupport::readFile(kfm);
        const qsizetype end = whole.size() * 2 / 3;
        // The sprites whose data lies beyond the end, counted from the file.
        int lost = 0, first = -1, i = 0;
        for (const Node& n : nodesOf(whole)) {
            if (n.length > 0 && n.start + n.length > end) {
                ++lost;
                first = first < 0 ? i : first;
            }
            ++i;
        }
        QVERIFY(lost > 0);
        QMessages messages;
        std::unique_ptr<QSprites> s(newArchive(&messages));
        QVERIFY(s->load(whole.left(end), "kfm.sff"));
        QCOMPARE(messages.rowCount(), 1);
        const auto grouped = [](qint64 n) {
            QString d = QString::number(n);
            for (qsizetype at = d.size() - 3; at > 0; at -= 3)
                d.insert(at, ' ');
            return d;
        };
        QCOMPARE(messages.text(0), QString("kfm.sff(%1): %2 of 278 sprites could not be read: the file ends at byte %3")
                                       .arg(first).arg(lost).arg(grouped(end)));
        QCOMPARE(s->unreadSprites(), lost);
        QVERIFY(s->isModified());
        QVERIFY(s->save(dir.filePath("cut.sff")));
        QVERIFY(!s->isModified() && s->unreadSprites() == 0);
    }

    void trueColourInAndOut()
    {
        // A 32-bit picture imported into a 2.01 archive stays true colour and
        // needs no palette; exported, it is the same picture with its alpha.
        const QImage picture = trueColour(13, 9, 3);
        const QString png = dir.filePath("in.png");
        QVERIFY(picture.save(png));
        std::unique_ptr<QSprites> s(newArchive());
        s->setVersion(SffVersion::V201);
        s->undoStack()->push(spritecommands::importSprite(s.get(), 0, spriteImageOf(readImageFile(png), true)));
        QCOMPARE(s->paletteCount(), 0);
        QCOMPARE(s->spriteSize(0), (SpriteSize{13, 9, QImage::Format_ARGB32}));
        // 24 bits without alpha stay 24 bits; grey and palette pictures stay indexed.
        QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(spriteImageOf(rgb, true).format, QImage::Format_RGB888);
        QCOMPARE(spriteImageOf(picture.convertToFormat(QImage::Format_Grayscale8), true).format, QImage::Format_Indexed8);
        QCOMPARE(spriteImageOf(picture, false).format, QImage::Format_Indexed8);
        for (const char* suffix : {"png", "pcx"}) {
            const QString out = dir.filePath(QString("out.") + suffix);
            QVERIFY(s->saveImage(0, out));
            QCOMPARE(readImageFile(out).convertToFormat(QImage::Format_ARGB32), picture);
        }
        // The archive is saved as 2.01 whatever version it had: nothing else keeps it.
        s->setVersion(SffVersion::V200);
        QCOMPARE(s->saveVersion(), SffVersion::V201);
    }

    void trueColourFramesInAGif()
    {
        // Some of kfm's actions show its 32-bit portraits: the GIF brings each
        // down to 256 colours.
        CORPUS_OR_SKIP(sff, "chars/kfm/kfm.sff");
        CORPUS_OR_SKIP(air, "chars/kfm/kfm.air");
        QMessages messages;
        std::unique_ptr<QSprites> s(newArchive(&messages));
        QAnimations animations(&messages);
        QVERIFY(s->load(sff) && animations.load(air));
        int action = 0;
        int sprite = -1;
        for (; action < animations.actionCount() && sprite < 0; ++action) {
            const AirFrame* f = animations.frame(action, 0);
            const int i = f ? s->findSprite(0, quint16(f->group), quint16(f->number)) : -1;
            if (i >= 0 && s->spriteSize(i).imageFormat == QImage::Format_ARGB32)
                sprite = i;
        }
        QVERIFY(sprite >= 0);
        const GifWriter gif = actionGif(*s, animations, action - 1);
        QVERIFY(!gif.frames.isEmpty());
        const QImage first = gif.frames[0].image;
        QCOMPARE(first.format(), QImage::Format_Indexed8);
        QVERIFY(first.width() >= s->spriteSize(sprite).width);
        QVERIFY(!gif.bytes().isEmpty());
    }

    void versionChangeIsOneStep()
    {
        // 2.01 to 2.00: the true-colour sprite and the sprite linked to it are
        // drawn through a new palette; undone, both are true colour again and
        // the image the step made is let go of with the step.
        std::unique_ptr<QSprites> s(newArchive());
        s->setVersion(SffVersion::V201);
        QUndoStack* stack = s->undoStack();
        stack->push(spritecommands::importSprite(s.get(), 0, spriteImageOf(indexed(4, 4, 1, colours(1)))));
        stack->push(spritecommands::importSprite(s.get(), 1, spriteImageOf(trueColour(6, 5, 1), true)));
        stack->push(spritecommands::duplicateSprite(s.get(), 1, false));
        const QList<SpriteRecord> before = s->spriteList();
        const int blobs = s->blobStore().count();
        QVERIFY(!spritecommands::changeVersion(s.get(), SffVersion::V201)); // nothing to do
        stack->push(spritecommands::changeVersion(s.get(), SffVersion::V200));
        QCOMPARE(stack->undoText(), QString("Change to SFF 2.00"));
        QCOMPARE(s->version(), SffVersion::V200);
        QCOMPARE(s->paletteCount(), 2);
        for (int i : {1, 2}) {
            QCOMPARE(s->spriteSize(i).imageFormat, QImage::Format_Indexed8);
            QCOMPARE(s->spriteInfo(i).paletteIndex, quint16(1));
        }
        QCOMPARE(s->spriteImage(2).pixel(0, 0), s->spriteImage(1).pixel(0, 0));
        stack->undo();
        QCOMPARE(s->spriteList(), before);
        QCOMPARE(s->paletteCount(), 1);
        QCOMPARE(s->version(), SffVersion::V201);
        stack->redo();
        stack->undo();
        stack->push(spritecommands::changeInfo(s.get(), 0, {true, 1, 1, 0, 0, 0, 0, 0}, ChangeSpriteInfo::Axis));
        QCOMPARE(s->blobStore().count(), blobs); // the reduced image went with the dropped step
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestSffVersions)
#include "tst_sffversions.moc"

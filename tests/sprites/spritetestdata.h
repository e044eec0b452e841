#ifndef SPRITETESTDATA_H
#define SPRITETESTDATA_H

// Pictures, palettes and hand-made archives shared by the sprite tests.

#include "binaryio.h"
#include "qsprites.h"
#include "spritecodecs.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

namespace spritetest {

// 256 colours; each seed gives other ones.
inline QByteArray colours(int seed)
{
    QByteArray c(PaletteBytes, '\0');
    for (int i = 0; i < PaletteBytes; ++i)
        c[i] = char((i * (seed + 3) + seed * 11) & 0xFF);
    return c;
}

// Colours 32 to 255 all `tail`: a palette of 32 colours.
inline QByteArray colours32(int seed, char tail = '\0')
{
    return colours(seed).left(96) + QByteArray(PaletteBytes - 96, tail);
}

// Stripes two pixels wide over the indices below `limit`.
inline QImage indexed(int width, int height, int seed, const QByteArray& palette, int limit = 256)
{
    QImage image(width, height, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i)
        image.setColor(i, qRgb(uchar(palette[3 * i]), uchar(palette[3 * i + 1]), uchar(palette[3 * i + 2])));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = uchar(((x / 2) * 7 + y * 3 + seed) % limit);
    return image;
}

// A picture of many colours with every alpha from clear to opaque.
inline QImage trueColour(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 37 + seed) & 255, (y * 53 + seed * 7) & 255, (x * y + seed) & 255,
                                       ((x + y) * 29 + seed) & 255));
    return image;
}

// The bytes of each line without the padding of QImage's rows.
inline QByteArray packedRows(const QImage& image)
{
    const int lineBytes = spriteLineBytes(image.format(), image.width());
    QByteArray out;
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), lineBytes);
    return out;
}

// A font glyph as a person would draw it: '#' for ink, '.' for index 0.
inline QByteArray drawn(const QImage& glyph)
{
    QByteArray d;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            d += glyph.pixelIndex(x, y) ? '#' : '.';
    return d;
}

// A version 1 subfile; no PCX data makes a linked sprite.
struct V1Sprite {
    quint16 group = 0, number = 0;
    qint16 axisX = 0, axisY = 0;
    quint16 link = 0;
    bool samePalette = false;
    QByteArray pcx;
};

inline QByteArray sffV1(const QList<V1Sprite>& sprites, qint64 claimed = -1)
{
    QByteArray out("ElecbyteSpr");
    LeWriter w(&out);
    w.bytes(QByteArray::fromHex("0000010001"));
    for (quint32 v : {0u, quint32(claimed < 0 ? sprites.size() : claimed), 512u, 32u})
        w.u32(v);
    w.zeros(512 - out.size());
    for (int i = 0; i < sprites.size(); ++i) {
        const V1Sprite& s = sprites[i];
        w.u32(i == sprites.size() - 1 ? 0 : quint32(out.size() + 32 + s.pcx.size()));
        w.u32(quint32(s.pcx.size()));
        for (quint16 v : {quint16(s.axisX), quint16(s.axisY), s.group, s.number, s.link})
            w.u16(v);
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

// The first `count` colours as the four-byte entries of a version 2 file.
inline QByteArray quads(const QByteArray& c, int count)
{
    QByteArray q;
    for (int i = 0; i < count; ++i)
        q.append(c.mid(3 * i, 3)).append('\0');
    return q;
}

inline QByteArray sffV2(const QList<V2Palette>& palettes, const QList<V2Sprite>& sprites,
                        qint64 claimedSprites = -1, qint64 claimedPalettes = -1)
{
    QByteArray literal, translated, paletteNodes, spriteNodes;
    LeWriter pn(&paletteNodes), sn(&spriteNodes);
    for (const V2Palette& p : palettes) {
        for (quint16 v : {quint16(p.group), quint16(p.number), p.count, p.link})
            pn.u16(v);
        pn.u32(quint32(literal.size()));
        pn.u32(quint32(p.data.size()));
        literal += p.data;
    }
    for (const V2Sprite& s : sprites) {
        QByteArray& block = s.flags ? translated : literal;
        for (quint16 v : {s.group, s.number, s.width, s.height, quint16(s.axisX), quint16(s.axisY), s.link})
            sn.u16(v);
        sn.u8(s.data.isEmpty() ? 1 : s.format);
        sn.u8(s.depth);
        sn.u32(quint32(block.size()));
        sn.u32(quint32(s.data.size()));
        sn.u16(s.palette);
        sn.u16(s.flags);
        block += s.data;
    }
    QByteArray out("ElecbyteSpr");
    LeWriter w(&out);
    w.bytes(QByteArray::fromHex("0000000002"));
    w.zeros(20);
    const quint32 spriteList = 512 + quint32(paletteNodes.size());
    const quint32 literalOffset = spriteList + quint32(spriteNodes.size());
    for (quint32 v : {spriteList, quint32(claimedSprites < 0 ? sprites.size() : claimedSprites), 512u,
                      quint32(claimedPalettes < 0 ? palettes.size() : claimedPalettes), literalOffset,
                      quint32(literal.size()), literalOffset + quint32(literal.size()), quint32(translated.size())})
        w.u32(v);
    w.zeros(512 - out.size());
    return out + paletteNodes + spriteNodes + literal + translated;
}

// The same as version 2.01 (version and lowest reader both 0 1 0 2).
inline QByteArray sffV201(const QList<V2Palette>& palettes, const QList<V2Sprite>& sprites)
{
    QByteArray file = sffV2(palettes, sprites);
    file[13] = 1;
    file[24 + 1] = 1;
    file[24 + 3] = 2;
    return file;
}

// A PNG file as sprite data: the length word (pixel bytes), then the file.
inline QByteArray pngBlock(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray block;
    LeWriter(&block).u32(quint32(image.width() * image.height() * qMax(1, image.depth() / 8)));
    return block + png;
}

// RLE5 data, one packet a pixel (run of one, no data bytes).
inline QByteArray rle5Of(const QImage& image)
{
    QByteArray block;
    LeWriter w(&block);
    w.u32(quint32(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            w.u8(0);
            w.u8(0x80);
            w.u8(quint8(image.pixelIndex(x, y)));
        }
    return block;
}

// A grey ramp from index 1 on, each entry `shift` lighter; index 0 black.
inline QByteArray greyRamp(int shift)
{
    QByteArray c(PaletteBytes, '\0');
    for (int i = 1; i < 256; ++i)
        c[3 * i] = c[3 * i + 1] = c[3 * i + 2] = char((i + shift) & 255);
    return c;
}

// Ten sprites: sprite i is group i + 3, number 1, axis (i, -i), sized
// (10 + i) x (6 + i); sprite 3 links to sprite 2 (5,1); sprites 0 to 4 use
// palette 0, the others palette 1.
inline void fillTenSprites(QSprites& ten)
{
    for (int i = 0; i < 10; ++i) {
        ten.addSprite();
        if (i != 3)
            QVERIFY(ten.setImage(i, indexed(10 + i, 6 + i, i, greyRamp(i < 5 ? 0 : 1))));
        ten.setSpriteInfo(i, {i != 3, qint16(i), qint16(-i), quint16(i + 3), 1, quint16(i == 3 ? 2 : 0),
                              quint16(i < 5 ? 0 : 1), 0});
    }
}

// Everything a save and load must keep, sprite by sprite and palette by palette.
inline void compareArchives(const QSprites& a, const QSprites& b)
{
    QCOMPARE(b.spriteCount(), a.spriteCount());
    QCOMPARE(b.paletteCount(), a.paletteCount());
    for (int i = 0; i < a.spriteCount(); ++i) {
        SpriteInfo ia = a.spriteInfo(i), ib = b.spriteInfo(i);
        if (ia.hasData)
            ia.linkIndex = ib.linkIndex = 0;
        QCOMPARE(ib, ia);
        QCOMPARE(b.spriteSize(i), a.spriteSize(i));
        QCOMPARE(b.spritePixels(i), a.spritePixels(i));
    }
    // A palette may come back with more colours than it counted, never other ones.
    for (int k = 0; k < a.paletteCount(); ++k) {
        QCOMPARE(b.paletteInfo(k).group, a.paletteInfo(k).group);
        QCOMPARE(b.paletteInfo(k).number, a.paletteInfo(k).number);
        QCOMPARE(b.paletteData(k), a.paletteData(k));
    }
}

} // namespace spritetest

#endif

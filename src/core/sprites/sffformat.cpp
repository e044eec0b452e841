#include "sffformat.h"

#include "binaryio.h"
#include "colourreduction.h"
#include "maker.h"
#include "pcx.h"
#include "qmessages.h"
#include "qsprites.h"
#include "savefile.h"
#include "spritecodecs.h"
#include "spriteimages.h"

#include <QBuffer>
#include <QImageReader>
#include <QSaveFile>

#include <climits>
#include <cstring>

namespace {
constexpr char Signature[12] = {'E', 'l', 'e', 'c', 'b', 'y', 't', 'e', 'S', 'p', 'r', '\0'};
constexpr int HeaderSize = 512;
constexpr int SubfileHeaderSize = 32;
constexpr int PaletteNodeSize = 16;
constexpr int SpriteNodeSize = 28;
constexpr int MaxPaletteBytes = 256 * 4;
// Decoded pixels a file may ask for: what its data could hold at the best
// ratio of the run-length and LZ encodings (none gives more than 140 pixel
// bytes per stored byte), plus room for a few plain images stored as PNG.
// Beyond it the sizes in the file are lies, and no allocation follows them.
constexpr qint64 FreeDecodedBytes = qint64(16) << 20;
constexpr qint64 MaxExpansion = 140;

QImage::Format formatOfDepth(int depth)
{
    switch (depth) {
    case 24: return QImage::Format_RGB888;
    case 32: return QImage::Format_ARGB32;
    default: return QImage::Format_Indexed8;
    }
}

int depthOfFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB888: return 24;
    case QImage::Format_ARGB32: return 32;
    default: return 8;
    }
}

qsizetype rowBytes(const SpriteRecord& r)
{
    return qsizetype(spriteRowStride(r.imageFormat, r.width)) * r.height;
}

QImage decodePng(QByteArrayView data, QImage::Format format, int width, int height)
{
    if (data.size() <= 4)
        return QImage();
    QByteArray bytes = QByteArray::fromRawData(data.data() + 4, data.size() - 4);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage png = reader.read();
    if (png.isNull())
        return QImage();
    png = format == QImage::Format_Indexed8 ? toIndexed8(png) : png.convertToFormat(format);
    if (png.width() != width || png.height() != height)
        png = png.copy(0, 0, width, height);
    return png;
}

// The pixels of one version 2 sprite block, as full image rows; empty when
// the encoding is not one this program reads.
QByteArray decodeSpriteBlock(QByteArrayView data, const SpriteRecord& s, qsizetype size)
{
    QByteArray rows;
    switch (s.fileFormat) {
    case SpriteRaw:
    case SpriteRle8:
    case SpriteRle5:
    case SpriteLz5: {
        rows = QByteArray(size, '\0');
        uchar* out = reinterpret_cast<uchar*>(rows.data());
        if (s.fileFormat == SpriteRaw)
            decodeRawInto(data, out, s.width, s.height, s.imageFormat);
        else if (s.fileFormat == SpriteRle8)
            decodeRle8Into(data, out, s.width, s.height, s.imageFormat);
        else if (s.fileFormat == SpriteRle5)
            decodeRle5Into(data, out, s.width, s.height);
        else
            decodeLz5Into(data, out, s.width, s.height);
        break;
    }
    case SpritePng8:
    case SpritePng24:
    case SpritePng32: {
        const QImage png = decodePng(data, s.imageFormat, s.width, s.height);
        if (!png.isNull())
            rows = rowsOfImage(png);
        break;
    }
    default:
        break; // unknown encoding: no pixels, the size stays
    }
    return rows;
}

} // namespace

// ---------------------------------------------------------------- reading

struct SffFormat::Reader
{
    QSprites& a;
    QByteArrayView bytes;
    QString name; // without its directory, for the issues list
    qint64 budget = 0;

    bool spend(qint64 n)
    {
        if (n > budget)
            return false;
        budget -= n;
        return true;
    }
    // A line about sprite `index`, or (`sprite` false) about a palette.
    void error(const QString& text, uint index, bool sprite = true)
    {
        if (a.messages)
            a.messages->addError(text.arg(name).arg(index), sprite ? int(qMin<uint>(index, INT_MAX)) : -1);
    }
    // False once the user cancelled: what was read goes again, and the
    // progress runs back down from `countFrom`.
    bool step(uint done, uint total, uint countFrom)
    {
        if (a.reportProgress(done, total))
            return true;
        a.countDown(countFrom, total);
        a.resetSprites();
        return false;
    }

    bool version1();
    bool version2();
    // Version 2 parts: the two node tables, the palette colours, the sprite pixels.
    void readPaletteNodes(quint32 offset, uint count);
    void readSpriteNodes(quint32 offset, uint count);
    bool readPaletteColours(quint32 literalOffset, uint& done, uint total);
    bool readSpritePixels(quint32 literalOffset, quint32 translatedOffset, uint& done, uint total);
    void resolvePaletteLinks();
    // The bytes of a block at an offset; what lies outside the file is
    // missing, and `cut` says so.
    QByteArrayView block(quint32 base, quint32 offset, quint32 length, bool* cut) const
    {
        const qint64 start = qint64(base) + offset;
        const qint64 available = start < bytes.size() ? bytes.size() - start : 0;
        *cut = qint64(length) > available;
        return available > 0 ? bytes.sliced(qsizetype(start), qsizetype(qMin<qint64>(length, available)))
                             : QByteArrayView();
    }
};

int SffFormat::version(const QByteArray& bytes, QMessages* messages, const QString& name)
{
    if (bytes.size() < 16 || std::memcmp(bytes.constData(), Signature, sizeof Signature) != 0)
        return 0;
    const auto* v = reinterpret_cast<const uchar*>(bytes.constData()) + 12;
    if (v[0] == 0 && v[1] == 1 && v[2] == 0 && v[3] == 1)
        return 1;
    if (v[0] == 0 && v[1] == 0 && v[2] == 0 && v[3] == 2)
        return 2;
    if (messages)
        messages->addInfo(QSprites::tr("%1(0): SFF version '%2.%3.%4.%5' not supported yet")
                              .arg(name).arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]));
    return 0;
}

bool SffFormat::read(QSprites& sprites, const QByteArray& bytes, const QString& name)
{
    // A file this program does not read leaves the archive as it was.
    const int fileVersion = version(bytes, sprites.messages, name);
    if (fileVersion == 0)
        return false;
    sprites.resetSprites();
    sprites.version = fileVersion;
    Reader r{sprites, bytes, name, FreeDecodedBytes + MaxExpansion * bytes.size()};
    return fileVersion == 1 ? r.version1() : r.version2();
}

bool SffFormat::Reader::version1()
{
    LeReader header(bytes, 20);
    const quint32 claimed = header.u32();
    // Every subfile needs its header: a count beyond that cannot be there.
    const qint64 room = qMax<qint64>(0, (bytes.size() - HeaderSize) / SubfileHeaderSize);
    const uint total = uint(qMin<qint64>(claimed, room));
    a.reportProgress(0, total);

    QList<SpriteRecord>& sprites = a.sprites;
    int shared = -1;
    qsizetype pos = HeaderSize;
    bool truncated = false;
    const auto reportTruncated = [&](uint index) {
        truncated = true;
        error(QSprites::tr("%1(%2): Sprite data is truncated"), index);
    };
    for (uint i = 0; i < total && !truncated; ++i) {
        LeReader h(bytes, pos);
        if (!h.has(SubfileHeaderSize)) {
            reportTruncated(i);
            break;
        }
        const quint32 next = h.u32();
        const quint32 length = h.u32();
        SpriteRecord r;
        r.axisX = h.s16();
        r.axisY = h.s16();
        r.group = h.u16();
        r.number = h.u16();
        r.linkIndex = h.u16();
        const bool samePalette = h.u8() == 1;
        r.hasData = length != 0;
        pos += SubfileHeaderSize;
        sprites.append(r);
        SpriteRecord& s = sprites.last();
        const int index = int(i);

        if (s.hasData) {
            const qint64 left = bytes.size() - pos;
            qint64 size = next != 0 && qint64(next) > pos ? qint64(next) - pos : qint64(length);
            if (size > left && length <= left)
                size = length; // a next-subfile offset pointing nowhere
            if (size > left) {
                size = left;
                reportTruncated(i);
            }
            const QByteArrayView data = bytes.sliced(pos, qsizetype(size));
            pos += qsizetype(size);
            QImage image;
            if (spend(pcxImageBytes(data)))
                image = readPcx(data);
            else
                error(QSprites::tr("%1(%2): Sprite data is damaged"), i);
            s.imageFormat = image.isNull() ? QImage::Format_Indexed8 : image.format();
            s.width = quint16(image.width());
            s.height = quint16(image.height());
            s.blobId = a.store.append(image.isNull() ? QByteArray() : rowsOfImage(image));
            const QByteArray colours = coloursOfTable(image.colorTable());
            if (index == 0)
                shared = a.addPalette(colours, true, 0, -1);
            if (index == 0)
                s.paletteIndex = quint16(shared);
            else if ((s.group == 0 || s.group == 9000) && s.number == 0 && shared >= 0)
                s.paletteIndex = quint16(shared);
            else if (samePalette)
                s.paletteIndex = sprites[index - 1].paletteIndex;
            else
                s.paletteIndex = quint16(a.addPalette(colours, true, 0, -1));
        } else {
            const int target = a.followLink(index, index);
            if (target >= 0) {
                const SpriteRecord& t = sprites[target];
                s.width = t.width;
                s.height = t.height;
                s.imageFormat = t.imageFormat;
                s.paletteIndex = samePalette && shared >= 0 ? quint16(shared) : t.paletteIndex;
            } else {
                if (a.messages)
                    a.messages->addError(QSprites::tr("%1(%2): Sprite incorrect linked to the index %3")
                                             .arg(name).arg(i).arg(s.linkIndex), int(i));
                // Kept as a sprite of its own with no image, so that the
                // editor can show it and the user can give it one.
                s.hasData = true;
                s.imageFormat = QImage::Format_Indexed8;
                s.paletteIndex = quint16(qMax(shared, 0));
            }
        }
        if (!step(i + 1, total, i))
            return true;
    }
    if (!truncated && claimed > total)
        reportTruncated(total);
    if (uint(sprites.size()) < total)
        a.reportProgress(total, total);
    return true;
}

bool SffFormat::Reader::version2()
{
    a.palettes.clear();
    LeReader h(bytes, 36);
    const quint32 spriteListOffset = h.u32();
    const quint32 spriteClaimed = h.u32();
    const quint32 paletteListOffset = h.u32();
    const quint32 paletteClaimed = h.u32();
    const quint32 literalOffset = h.u32();
    h.u32(); // literal length
    const quint32 translatedOffset = h.u32();
    // Nodes must lie inside the file: counts beyond that are not believed.
    const auto fitting = [&](quint32 offset, quint32 claimed, int nodeSize) {
        const qint64 room = offset <= bytes.size() ? (bytes.size() - offset) / nodeSize : 0;
        return uint(qMin<qint64>(claimed, room));
    };
    const uint paletteTotal = fitting(paletteListOffset, paletteClaimed, PaletteNodeSize);
    const uint spriteTotal = fitting(spriteListOffset, spriteClaimed, SpriteNodeSize);
    const uint total = paletteTotal + spriteTotal;
    a.reportProgress(0, total);
    if (paletteTotal < paletteClaimed)
        error(QSprites::tr("%1(%2): Palette data is truncated"), paletteTotal, false);
    if (spriteTotal < spriteClaimed)
        error(QSprites::tr("%1(%2): Sprite data is truncated"), spriteTotal);

    readPaletteNodes(paletteListOffset, paletteTotal);
    readSpriteNodes(spriteListOffset, spriteTotal);
    uint done = 0;
    if (!readPaletteColours(literalOffset, done, total)
        || !readSpritePixels(literalOffset, translatedOffset, done, total))
        return true;
    resolvePaletteLinks();
    for (PaletteRecord& p : a.palettes) {
        if (p.colourCount == 0 || p.colourCount > 256)
            p.colourCount = QSprites::colourCountOf(p.colours);
    }
    return true;
}

void SffFormat::Reader::readPaletteNodes(quint32 offset, uint count)
{
    LeReader pn(bytes, offset);
    a.palettes.reserve(count);
    for (uint i = 0; i < count; ++i) {
        PaletteRecord p;
        p.group = pn.s16();
        p.number = pn.s16();
        p.colourCount = pn.u16();
        p.fileLink = pn.u16();
        p.fileOffset = pn.u32();
        p.fileLength = pn.u32();
        a.palettes.append(p);
    }
}

void SffFormat::Reader::readSpriteNodes(quint32 offset, uint count)
{
    LeReader sn(bytes, offset);
    a.sprites.reserve(count);
    for (uint i = 0; i < count; ++i) {
        SpriteRecord s;
        s.group = sn.u16();
        s.number = sn.u16();
        s.width = sn.u16();
        s.height = sn.u16();
        s.axisX = sn.s16();
        s.axisY = sn.s16();
        s.linkIndex = sn.u16();
        s.fileFormat = sn.u8();
        const int depth = sn.u8();
        s.fileOffset = sn.u32();
        s.fileLength = sn.u32();
        s.paletteIndex = sn.u16();
        s.flags = sn.u16();
        s.hasData = s.fileLength != 0;
        const bool fiveBit = s.fileFormat == SpriteRle5 || s.fileFormat == SpriteLz5 || s.fileFormat == SpritePng8;
        s.imageFormat = fiveBit ? QImage::Format_Indexed8 : formatOfDepth(depth);
        a.sprites.append(s);
    }
}

bool SffFormat::Reader::readPaletteColours(quint32 literalOffset, uint& done, uint total)
{
    for (int i = 0; i < a.palettes.size(); ++i) {
        PaletteRecord& p = a.palettes[i];
        bool cut = false;
        // A palette holds 256 colours; anything stored beyond them is ignored.
        const QByteArrayView data = block(literalOffset, p.fileOffset, qMin<quint32>(p.fileLength, MaxPaletteBytes), &cut);
        if (cut)
            error(QSprites::tr("%1(%2): Palette data is truncated"), uint(i), false);
        for (int e = 0; e < 256 && qsizetype(e) * 4 + 3 <= data.size(); ++e)
            std::memcpy(p.colours.data() + 3 * e, data.data() + 4 * e, 3);
        ++done;
        if (!step(done, total, done))
            return false;
    }
    return true;
}

bool SffFormat::Reader::readSpritePixels(quint32 literalOffset, quint32 translatedOffset, uint& done, uint total)
{
    QList<SpriteRecord>& sprites = a.sprites;
    const int count = int(sprites.size());
    for (int i = 0; i < count; ++i) {
        SpriteRecord& s = sprites[i];
        if (!s.hasData) {
            const int target = a.followLink(i, count);
            if (target >= 0) {
                s.width = sprites[target].width;
                s.height = sprites[target].height;
                s.imageFormat = sprites[target].imageFormat;
            } else {
                if (a.messages)
                    a.messages->addError(QSprites::tr("%1(%2): Sprite incorrect linked to the index %3")
                                             .arg(name).arg(i).arg(s.linkIndex), int(i));
                s.width = 0;
                s.height = 0;
            }
        } else {
            bool cut = false;
            const QByteArrayView data =
                block(s.flags == 0 ? literalOffset : translatedOffset, s.fileOffset, s.fileLength, &cut);
            if (cut)
                error(QSprites::tr("%1(%2): Sprite data is truncated"), uint(i));
            const qsizetype size = rowBytes(s);
            QByteArray rows;
            if (!spend(size)) {
                error(QSprites::tr("%1(%2): Sprite data is damaged"), uint(i));
                s.width = 0;
                s.height = 0;
            } else if (size > 0) {
                rows = decodeSpriteBlock(data, s, size);
            }
            s.blobId = a.store.append(rows);
        }
        ++done;
        if (!step(done, total, done))
            return false;
    }
    return true;
}

void SffFormat::Reader::resolvePaletteLinks()
{
    QList<PaletteRecord>& palettes = a.palettes;
    int keeper = -1;
    for (int i = 0; i < palettes.size();) {
        if (palettes[i].fileLength != 0) {
            ++i;
            continue;
        }
        // Follow links through palettes without data; a link out of the list,
        // or a chain that goes round, ends at palette 0.
        int target = i;
        for (int steps = 0;; ++steps) {
            const int link = palettes[target].fileLink;
            if (link >= palettes.size() || steps > palettes.size()) {
                target = 0;
                break;
            }
            target = link;
            if (target == 0 || palettes[target].fileLength != 0)
                break;
        }
        if (target == 0 && keeper < 0) {
            palettes[i].colours = palettes[0].colours;
            keeper = i;
            ++i;
            continue;
        }
        const int to = target == 0 ? keeper : target;
        for (SpriteRecord& s : a.sprites) {
            if (s.paletteIndex == i)
                s.paletteIndex = quint16(to);
        }
        for (SpriteRecord& s : a.sprites) {
            if (s.paletteIndex > i)
                --s.paletteIndex;
        }
        if (keeper > i)
            --keeper;
        palettes.removeAt(i);
    }
}

// ---------------------------------------------------------------- writing

struct SffFormat::Writer
{
    QSprites& a;
    bool fullLz5;
    QByteArray literal;
    QByteArray paletteNodes;
    QByteArray spriteNodes;
    uint done = 0;
    uint total = 0;

    bool step() { return a.reportProgress(++done, total); }
    bool writePalettes();
    bool writeSprites();
    // The encoded pixels of a sprite with data, and the format and depth the
    // node gives them.
    QByteArray encodeSprite(const SpriteRecord& s, quint8& format, int& depth) const;
    QByteArray header(quint32 spriteListOffset, quint32 literalOffset) const;
};

bool SffFormat::Writer::writePalettes()
{
    LeWriter data(&literal);
    LeWriter pn(&paletteNodes);
    for (const PaletteRecord& p : a.palettes) {
        int count = p.colourCount == 0 || p.colourCount > 256 ? 256 : p.colourCount;
        // A file stores only `count` colours and the rest read back black: a
        // short palette whose unused tail is some other colour keeps it by
        // being written whole.
        if (count < 256 && p.colours.mid(3 * count).count('\0') != p.colours.size() - 3 * count)
            count = 256;
        pn.s16(p.group);
        pn.s16(p.number);
        pn.u16(quint16(count));
        pn.u16(0);
        pn.u32(quint32(literal.size()));
        pn.u32(quint32(count * 4));
        for (int e = 0; e < count; ++e) {
            data.bytes(QByteArrayView(p.colours.constData() + 3 * e, 3));
            data.u8(0);
        }
        if (!step())
            return false;
    }
    return true;
}

QByteArray SffFormat::Writer::encodeSprite(const SpriteRecord& s, quint8& format, int& depth) const
{
    format = SpriteRle8;
    QByteArray pixels;
    if (!a.readRows(s, pixels))
        return QByteArray();
    const int lineBytes = spriteLineBytes(s.imageFormat, s.width);
    const int stride = spriteRowStride(s.imageFormat, s.width);
    QByteArray packed;
    if (lineBytes == stride) {
        packed = pixels;
    } else {
        packed.resize(qsizetype(lineBytes) * s.height);
        for (int y = 0; y < s.height; ++y)
            std::memcpy(packed.data() + qsizetype(y) * lineBytes, pixels.constData() + qsizetype(y) * stride,
                        size_t(lineBytes));
    }
    // LZ5 only carries colours 0 to 31: a sprite using any other index keeps
    // every pixel through RLE8.
    const bool lz5 = s.imageFormat == QImage::Format_Indexed8 && s.paletteIndex < a.palettes.size()
                     && a.palettes[s.paletteIndex].colourCount == 32 && fitsFiveBits(packed);
    if (!lz5)
        return encodeRle8Packed(packed);
    format = SpriteLz5;
    depth = 5;
    return encodeLz5Packed(packed, fullLz5);
}

bool SffFormat::Writer::writeSprites()
{
    LeWriter data(&literal);
    LeWriter sn(&spriteNodes);
    for (const SpriteRecord& s : a.sprites) {
        quint8 format = SpriteLinked;
        int depth = depthOfFormat(s.imageFormat);
        const quint32 offset = quint32(literal.size());
        quint32 length = 0;
        if (s.hasData) {
            const QByteArray encoded = encodeSprite(s, format, depth);
            data.bytes(encoded);
            length = quint32(encoded.size());
        }
        sn.u16(s.group);
        sn.u16(s.number);
        sn.u16(s.width);
        sn.u16(s.height);
        sn.s16(s.axisX);
        sn.s16(s.axisY);
        sn.u16(s.linkIndex);
        sn.u8(format);
        sn.u8(quint8(depth));
        sn.u32(offset);
        sn.u32(length);
        sn.u16(s.paletteIndex);
        sn.u16(0);
        if (!step())
            return false;
    }
    return true;
}

QByteArray SffFormat::Writer::header(quint32 spriteListOffset, quint32 literalOffset) const
{
    QByteArray header;
    LeWriter w(&header);
    w.bytes(QByteArrayView(Signature, sizeof Signature));
    for (quint8 b : {0, 0, 0, 2})
        w.u8(b);
    w.u32(0);
    w.u32(0);
    for (quint8 b : {0, 0, 0, 2})
        w.u8(b);
    w.u32(0);
    w.u32(0);
    w.u32(spriteListOffset);
    w.u32(quint32(a.sprites.size()));
    w.u32(HeaderSize);
    w.u32(quint32(a.palettes.size()));
    w.u32(literalOffset);
    w.u32(quint32(literal.size()));
    w.u32(quint32(literalOffset + literal.size()));
    w.u32(0);
    w.u32(0);
    w.u32(0);
    const QByteArray comment = QByteArray("Created in Quendar Morvane 9\n") + MakerWebAddress;
    w.bytes(comment.left(HeaderSize - header.size() - 1));
    w.zeros(HeaderSize - header.size());
    return header;
}

bool SffFormat::write(QSprites& sprites, QIODevice* out, bool fullLz5)
{
    Writer w{sprites, fullLz5};
    w.total = uint(sprites.sprites.size() + sprites.palettes.size());
    sprites.reportProgress(0, w.total);
    if (!w.writePalettes() || !w.writeSprites())
        return false;
    const quint64 spriteListOffset = HeaderSize + quint64(w.paletteNodes.size());
    const quint64 literalOffset = spriteListOffset + quint64(w.spriteNodes.size());
    if (literalOffset + quint64(w.literal.size()) > 0xFFFFFFFFull)
        return false; // offsets are 32-bit
    const QByteArray header = w.header(quint32(spriteListOffset), quint32(literalOffset));
    const QByteArray* parts[] = {&header, &w.paletteNodes, &w.spriteNodes, &w.literal};
    for (const QByteArray* part : parts) {
        if (out->write(*part) != part->size())
            return false;
    }
    return true;
}

bool SffFormat::write(QSprites& sprites, const QString& fileName, bool fullLz5)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        sprites.setErrorString(file.errorString());
        return false;
    }
    if (!write(sprites, &file, fullLz5)) {
        sprites.setErrorString(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!commitSaveFile(file)) {
        sprites.setErrorString(file.errorString());
        return false;
    }
    return true;
}

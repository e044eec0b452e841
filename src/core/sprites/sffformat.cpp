#include "sffformat.h"

#include "binaryio.h"
#include "maker.h"
#include "pcx.h"
#include "pngblock.h"
#include "qmessages.h"
#include "qsprites.h"
#include "savefile.h"
#include "spritecodecs.h"
#include "spriteimages.h"

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
// Where the comment of the header starts.
constexpr int Version1Comment = 36;
constexpr int Version2Comment = 76;

// The version bytes at offset 12, in file order.
struct VersionBytes
{
    SffVersion version;
    quint8 bytes[4];
};
constexpr VersionBytes Versions[] = {
    {SffVersion::V101, {0, 1, 0, 1}},
    {SffVersion::V200, {0, 0, 0, 2}},
    {SffVersion::V201, {0, 1, 0, 2}},
};

const quint8* versionBytes(SffVersion version)
{
    for (const VersionBytes& v : Versions)
        if (v.version == version)
            return v.bytes;
    return Versions[1].bytes;
}

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

// The colour depth a sprite node gives each encoding.
int depthOfCode(SpriteDataFormat code)
{
    switch (code) {
    case SpriteDataFormat::SpriteRle5:
    case SpriteDataFormat::SpriteLz5: return 5;
    case SpriteDataFormat::SpritePng24: return 24;
    case SpriteDataFormat::SpritePng32: return 32;
    default: return 8;
    }
}

qsizetype rowBytes(const SpriteRecord& r)
{
    return qsizetype(spriteRowStride(r.imageFormat, r.width)) * r.height;
}

// Counts as people read them: "1 042".
QString grouped(qint64 n)
{
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

QByteArray headerComment()
{
    return QByteArray("Created in Quendar Morvane 9\n") + MakerWebAddress;
}

} // namespace

QByteArray SffFormat::decodeBlock(QByteArrayView data, const SpriteRecord& s)
{
    const qsizetype size = rowBytes(s);
    QByteArray rows(size, '\0');
    if (size == 0)
        return rows;
    uchar* out = reinterpret_cast<uchar*>(rows.data());
    switch (s.dataFormat) {
    case SpriteDataFormat::SpriteRaw: decodeRawInto(data, out, s.width, s.height, s.imageFormat); break;
    case SpriteDataFormat::SpriteRle8: decodeRle8Into(data, out, s.width, s.height, s.imageFormat); break;
    case SpriteDataFormat::SpriteRle5:
        if (s.imageFormat == QImage::Format_Indexed8)
            decodeRle5Into(data, out, s.width, s.height);
        break;
    case SpriteDataFormat::SpriteLz5:
        if (s.imageFormat == QImage::Format_Indexed8)
            decodeLz5Into(data, out, s.width, s.height);
        break;
    case SpriteDataFormat::SpritePng8:
    case SpriteDataFormat::SpritePng24:
    case SpriteDataFormat::SpritePng32:
        // Damaged data leaves the sprite empty.
        decodePngInto(data, out, s.width, s.height, s.imageFormat);
        break;
    case SpriteDataFormat::SpritePcx:
        // Only the image the load measured: the header decides what readPcx allocates.
        if (pcxImageBytes(data) == size) {
            const QImage image = readPcx(data);
            if (image.format() == s.imageFormat && image.width() == s.width && image.height() == s.height)
                rows = rowsOfImage(image);
        }
        break;
    default:
        break; // an encoding this program does not read: no pixels
    }
    return rows;
}

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
    // The one line that tells what a file cut short lost.
    void reportUnread(qint64 first, qint64 unread, qint64 claimed)
    {
        a.unread = int(qMin<qint64>(unread, INT_MAX));
        if (unread <= 0 || !a.messages)
            return;
        a.messages->addError(QSprites::tr("%1(%2): %3 of %4 sprites could not be read: the file ends at byte %5")
                                 .arg(name)
                                 .arg(first)
                                 .arg(grouped(unread), grouped(claimed), grouped(bytes.size())));
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
    bool readSpritePixels(quint32 literalOffset, quint32 translatedOffset, uint& done, uint total, int& firstCut,
                          int& cut);
    // A whole block of a sprite: kept as it is, or, when it cannot be shown,
    // an empty sprite and a line saying why.
    void keepBlock(SpriteRecord& s, int index, QByteArrayView data);
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

SffVersion SffFormat::version(const QByteArray& bytes, QMessages* messages, const QString& name)
{
    if (bytes.size() < 16 || std::memcmp(bytes.constData(), Signature, sizeof Signature) != 0)
        return SffVersion::Unknown;
    const auto* v = reinterpret_cast<const uchar*>(bytes.constData()) + 12;
    for (const VersionBytes& known : Versions)
        if (std::memcmp(v, known.bytes, 4) == 0)
            return known.version;
    if (messages)
        messages->addInfo(QSprites::tr("%1(0): SFF version '%2.%3.%4.%5' not supported yet")
                              .arg(name).arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]));
    return SffVersion::Unknown;
}

bool SffFormat::read(QSprites& sprites, const QByteArray& bytes, const QString& name)
{
    // A file this program does not read leaves the archive as it was.
    const SffVersion fileVersion = version(bytes, sprites.messages, name);
    if (fileVersion == SffVersion::Unknown)
        return false;
    sprites.resetSprites();
    sprites.sffVersion = fileVersion;
    sprites.paletteType = -1;
    Reader r{sprites, bytes, name, FreeDecodedBytes + MaxExpansion * bytes.size()};
    return fileVersion == SffVersion::V101 ? r.version1() : r.version2();
}

bool SffFormat::Reader::version1()
{
    LeReader header(bytes, 20);
    const quint32 claimed = header.u32();
    a.paletteType = LeReader(bytes, 32).u8();
    // Every subfile needs its header: a count beyond that cannot be there.
    const qint64 room = qMax<qint64>(0, (bytes.size() - HeaderSize) / SubfileHeaderSize);
    const uint total = uint(qMin<qint64>(claimed, room));
    a.reportProgress(0, total);

    QList<SpriteRecord>& sprites = a.sprites;
    int shared = -1;
    qsizetype pos = HeaderSize;
    uint whole = 0; // sprites read with all their data, from the first on
    bool cut = false;
    for (uint i = 0; i < total && !cut; ++i) {
        LeReader h(bytes, pos);
        if (!h.has(SubfileHeaderSize)) {
            cut = true;
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
                cut = true;
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
            // The PCX image itself is kept, for a save to write it back as it
            // was; its rows, decoded anyway for the palette, are the first
            // ones shown.
            s.dataFormat = SpriteDataFormat::SpritePcx;
            s.blobId = a.storeBlob(data.toByteArray());
            if (!image.isNull()) {
                const QByteArray rows = rowsOfImage(image);
                a.decoded.insert(s.blobId, new QByteArray(rows), rows.size());
            }
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
        if (!cut)
            ++whole;
        if (!step(i + 1, total, i))
            return true;
    }
    reportUnread(whole, qint64(claimed) - whole, claimed);
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

    readPaletteNodes(paletteListOffset, paletteTotal);
    readSpriteNodes(spriteListOffset, spriteTotal);
    uint done = 0;
    int firstCut = int(spriteTotal);
    int cut = 0;
    if (!readPaletteColours(literalOffset, done, total)
        || !readSpritePixels(literalOffset, translatedOffset, done, total, firstCut, cut))
        return true;
    reportUnread(firstCut, qint64(spriteClaimed) - spriteTotal + cut, spriteClaimed);
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
        s.dataFormat = SpriteDataFormat(sn.u8());
        const int depth = sn.u8();
        s.fileOffset = sn.u32();
        s.fileLength = sn.u32();
        s.paletteIndex = sn.u16();
        s.flags = sn.u16();
        s.hasData = s.fileLength != 0;
        // The encoding decides where it can: 5-bit encodings and 8-bit PNG
        // are indexed, PNG 11 and 12 true colour. Raw and RLE8 data follow
        // the depth (files this program once wrote hold 24- and 32-bit RLE8).
        switch (s.dataFormat) {
        case SpriteDataFormat::SpriteRle5:
        case SpriteDataFormat::SpriteLz5:
        case SpriteDataFormat::SpritePng8: s.imageFormat = QImage::Format_Indexed8; break;
        case SpriteDataFormat::SpritePng24: s.imageFormat = QImage::Format_RGB888; break;
        case SpriteDataFormat::SpritePng32: s.imageFormat = QImage::Format_ARGB32; break;
        default: s.imageFormat = formatOfDepth(depth); break;
        }
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

void SffFormat::Reader::keepBlock(SpriteRecord& s, int index, QByteArrayView data)
{
    // `why` has the file and the sprite's index filled in already.
    const auto empty = [&](const QString& why) {
        if (a.messages)
            a.messages->addError(why);
        s.dataFormat = SpriteDataFormat::SpriteRows;
        s.blobId = a.storeBlob(QByteArray());
    };
    switch (s.dataFormat) {
    case SpriteDataFormat::SpriteRaw:
    case SpriteDataFormat::SpriteRle8:
    case SpriteDataFormat::SpriteRle5:
    case SpriteDataFormat::SpriteLz5:
        break;
    case SpriteDataFormat::SpritePng8:
    case SpriteDataFormat::SpritePng24:
    case SpriteDataFormat::SpritePng32: {
        const PngFacts png = checkPngBlock(data);
        if (png.status == PngFacts::NotPng)
            return empty(QSprites::tr("%1(%2): Sprite data is not a PNG image").arg(name).arg(index));
        if (png.status == PngFacts::Truncated)
            return empty(QSprites::tr("%1(%2): PNG sprite data is cut short").arg(name).arg(index));
        // No allocation follows a size the PNG alone claims.
        if (png.width > s.width || png.height > s.height)
            return empty(QSprites::tr("%1(%2): PNG sprite data claims %3 x %4 pixels, the sprite has %5 x %6")
                             .arg(name).arg(index).arg(png.width).arg(png.height).arg(s.width).arg(s.height));
        break;
    }
    default:
        // An encoding this program does not read: no pixels, the size stays.
        s.dataFormat = SpriteDataFormat::SpriteRows;
        s.blobId = a.storeBlob(QByteArray());
        return;
    }
    s.blobId = a.storeBlob(data.toByteArray());
}

bool SffFormat::Reader::readSpritePixels(quint32 literalOffset, quint32 translatedOffset, uint& done, uint total,
                                         int& firstCut, int& cuts)
{
    QList<SpriteRecord>& sprites = a.sprites;
    const int count = int(sprites.size());
    for (int i = 0; i < count; ++i) {
        SpriteRecord& s = sprites[i];
        if (!s.hasData) {
            s.dataFormat = SpriteDataFormat::SpriteRows;
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
            if (cut) {
                firstCut = qMin(firstCut, i);
                ++cuts;
            }
            const qsizetype size = rowBytes(s);
            if (!spend(size)) {
                error(QSprites::tr("%1(%2): Sprite data is damaged"), uint(i));
                // Nothing is left of it: no pixels, no colours.
                s.width = 0;
                s.height = 0;
                s.imageFormat = QImage::Format_Indexed8;
                s.dataFormat = SpriteDataFormat::SpriteRows;
                s.blobId = a.storeBlob(QByteArray());
            } else if (cut || size == 0) {
                // What there is of a block cut short is shown, not kept.
                s.blobId = a.storeBlob(size > 0 ? decodeBlock(data, s) : QByteArray());
                s.dataFormat = SpriteDataFormat::SpriteRows;
            } else {
                keepBlock(s, i, data);
            }
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

// ---------------------------------------------------------------- what a version keeps

SffFormat::Version1Plan SffFormat::planVersion1(const QSprites& sprites)
{
    return planVersion1(sprites.sprites, sprites.palettes);
}

SffFormat::Version1Plan SffFormat::planVersion1(const QList<SpriteRecord>& sprites,
                                                const QList<PaletteRecord>& palettes)
{
    Version1Plan p;
    const int count = int(sprites.size());
    p.withData.fill(true, count);
    p.samePalette.fill(false, count);
    p.paletteOf.fill(0, count);
    const auto coloursOf = [&](quint16 k) {
        return k < palettes.size() ? palettes[k].colours : QByteArray(PaletteBytes, '\0');
    };
    // A reader adds a palette unless it has the same colours already.
    const auto add = [&](const QByteArray& colours) {
        qsizetype k = p.palettes.indexOf(colours);
        if (k < 0) {
            p.palettes.append(colours);
            k = p.palettes.size() - 1;
        }
        return quint16(k);
    };
    // A reader follows a link among the sprites before it, as they are written.
    const auto follow = [&](int index) {
        int previous = index;
        int current = sprites[index].linkIndex;
        for (int steps = 0; steps <= index; ++steps) {
            if (current >= index || current == previous)
                return -1;
            if (current == 0 || p.withData[current])
                return current;
            previous = current;
            current = sprites[current].linkIndex;
        }
        return -1;
    };
    int shared = -1;
    for (int i = 0; i < count; ++i) {
        const SpriteRecord& s = sprites[i];
        if (!s.hasData && i > 0) {
            const int t = follow(i);
            if (t >= 0 && shared >= 0 && s.paletteIndex == sprites[0].paletteIndex) {
                p.withData[i] = false;
                p.samePalette[i] = true; // on a link the flag names the shared palette
                p.paletteOf[i] = quint16(shared);
                continue;
            }
            if (t >= 0 && s.paletteIndex == sprites[t].paletteIndex) {
                p.withData[i] = false;
                p.paletteOf[i] = p.paletteOf[t];
                continue;
            }
            // Otherwise it goes out with a copy of the image it shows.
        }
        const bool asBefore = i > 0 && s.paletteIndex == sprites[i - 1].paletteIndex;
        if (i == 0) {
            shared = add(coloursOf(s.paletteIndex));
            p.paletteOf[i] = quint16(shared);
        } else if ((s.group == 0 || s.group == 9000) && s.number == 0) {
            p.samePalette[i] = asBefore;
            p.paletteOf[i] = quint16(shared); // whatever the image brings
        } else if (asBefore) {
            p.samePalette[i] = true;
            p.paletteOf[i] = p.paletteOf[i - 1];
        } else {
            p.paletteOf[i] = add(coloursOf(s.paletteIndex));
        }
    }
    return p;
}

SffFormat::Losses SffFormat::lossesOf(const QSprites& sprites, SffVersion version)
{
    Losses losses;
    if (version != SffVersion::V201)
        for (const SpriteRecord& s : sprites.sprites)
            if (s.hasData && s.isTrueColour())
                ++losses.trueColour;
    if (version != SffVersion::V101)
        return losses;
    // True colour is reduced first; the palettes that brings are new ones,
    // and the list reads back otherwise in any case.
    if (losses.trueColour > 0) {
        losses.palettes = true;
        return losses;
    }
    const Version1Plan plan = planVersion1(sprites);
    const QList<PaletteRecord>& palettes = sprites.palettes;
    losses.palettes = plan.palettes.size() != palettes.size();
    for (int k = 0; k < palettes.size() && !losses.palettes; ++k)
        losses.palettes = plan.palettes[k] != palettes[k].colours || palettes[k].group != 0
                          || palettes[k].number != k + 1;
    for (int i = 0; i < sprites.sprites.size() && !losses.palettes; ++i)
        losses.palettes = plan.paletteOf[i] != sprites.sprites[i].paletteIndex;
    return losses;
}

// ---------------------------------------------------------------- writing

struct SffFormat::Writer
{
    QSprites& a;
    SffVersion version;
    bool fullLz5;
    QByteArray literal;
    QByteArray translated;
    QByteArray paletteNodes;
    QByteArray spriteNodes;
    uint done = 0;
    uint total = 0;

    bool step() { return a.reportProgress(++done, total); }
    // The sprite's image rows; zeros for a sprite with nothing to show.
    QByteArray rowsOf(int index) const;
    QByteArray coloursOf(const SpriteRecord& s) const
    {
        return s.paletteIndex < a.palettes.size() ? a.palettes[s.paletteIndex].colours
                                                  : QByteArray(PaletteBytes, '\0');
    }

    // Version 2.
    bool writePalettes();
    bool writeSprites();
    // The block of a sprite with data and the format code and depth its node
    // gives it: the block read from the file when this version can hold it,
    // else the sprite encoded afresh.
    QByteArray blockOf(int index, SpriteDataFormat& format, int& depth) const;
    bool keepsBlock(const SpriteRecord& s) const;
    QByteArray header(quint32 spriteListOffset, quint32 literalOffset) const;
    bool writeVersion2(QIODevice* out);

    // Version 1.
    QByteArray pcxOf(int index, bool paletteRead) const;
    bool writeVersion1(QIODevice* out);
};

QByteArray SffFormat::Writer::rowsOf(int index) const
{
    QByteArray rows = a.spritePixels(index);
    if (rows.isEmpty())
        rows = QByteArray(rowBytes(a.sprites[index]), '\0');
    return rows;
}

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

bool SffFormat::Writer::keepsBlock(const SpriteRecord& s) const
{
    const bool indexed = s.imageFormat == QImage::Format_Indexed8;
    switch (s.dataFormat) {
    case SpriteDataFormat::SpriteRaw:
    case SpriteDataFormat::SpriteRle8:
    case SpriteDataFormat::SpriteRle5:
    case SpriteDataFormat::SpriteLz5: return indexed; // these carry 8-bit pixels only
    case SpriteDataFormat::SpritePng8: return indexed && version == SffVersion::V201;
    case SpriteDataFormat::SpritePng24: return s.imageFormat == QImage::Format_RGB888 && version == SffVersion::V201;
    case SpriteDataFormat::SpritePng32: return s.imageFormat == QImage::Format_ARGB32 && version == SffVersion::V201;
    default: return false;
    }
}

QByteArray SffFormat::Writer::blockOf(int index, SpriteDataFormat& format, int& depth) const
{
    const SpriteRecord& s = a.sprites[index];
    QByteArray block;
    if (keepsBlock(s) && a.store.read(s.blobId, block)) {
        format = s.dataFormat;
        depth = depthOfCode(format);
        return block;
    }
    const QByteArray pixels = rowsOf(index);
    if (s.isTrueColour()) {
        // Only PNG carries true colour (write refuses other versions first).
        format = s.imageFormat == QImage::Format_RGB888 ? SpriteDataFormat::SpritePng24 : SpriteDataFormat::SpritePng32;
        depth = depthOfCode(format);
        return encodePngBlock(imageOfRows(pixels, s.width, s.height, s.imageFormat));
    }
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
    const bool lz5 = s.paletteIndex < a.palettes.size() && a.palettes[s.paletteIndex].colourCount == 32
                     && fitsFiveBits(packed);
    format = lz5 ? SpriteDataFormat::SpriteLz5 : SpriteDataFormat::SpriteRle8;
    depth = depthOfCode(format);
    return lz5 ? encodeLz5Packed(packed, fullLz5) : encodeRle8Packed(packed);
}

bool SffFormat::Writer::writeSprites()
{
    LeWriter sn(&spriteNodes);
    for (int i = 0; i < a.sprites.size(); ++i) {
        const SpriteRecord& s = a.sprites[i];
        SpriteDataFormat format = SpriteDataFormat::SpriteLinked;
        int depth = depthOfFormat(s.imageFormat);
        // The decompress flag says which block holds the data, as the
        // engine's own tools write it.
        QByteArray& data = s.flags == 0 ? literal : translated;
        const quint32 offset = quint32(data.size());
        quint32 length = 0;
        if (s.hasData) {
            const QByteArray block = blockOf(i, format, depth);
            data += block;
            length = quint32(block.size());
        }
        sn.u16(s.group);
        sn.u16(s.number);
        sn.u16(s.width);
        sn.u16(s.height);
        sn.s16(s.axisX);
        sn.s16(s.axisY);
        sn.u16(s.linkIndex);
        sn.u8(quint8(format));
        sn.u8(quint8(depth));
        sn.u32(offset);
        sn.u32(length);
        sn.u16(s.paletteIndex);
        sn.u16(s.flags);
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
    const quint8* v = versionBytes(version);
    w.bytes(QByteArrayView(v, 4));
    w.u32(0);
    w.u32(0);
    w.bytes(QByteArrayView(v, 4)); // the lowest version that reads it
    w.u32(0);
    w.u32(0);
    w.u32(spriteListOffset);
    w.u32(quint32(a.sprites.size()));
    w.u32(HeaderSize);
    w.u32(quint32(a.palettes.size()));
    w.u32(literalOffset);
    w.u32(quint32(literal.size()));
    w.u32(quint32(literalOffset + literal.size()));
    w.u32(quint32(translated.size()));
    w.u32(0);
    w.u32(0);
    Q_ASSERT(header.size() == Version2Comment);
    w.bytes(headerComment().left(HeaderSize - header.size() - 1));
    w.zeros(HeaderSize - header.size());
    return header;
}

bool SffFormat::Writer::writeVersion2(QIODevice* out)
{
    total = uint(a.sprites.size() + a.palettes.size());
    a.reportProgress(0, total);
    if (!writePalettes() || !writeSprites())
        return false;
    const quint64 spriteListOffset = HeaderSize + quint64(paletteNodes.size());
    const quint64 literalOffset = spriteListOffset + quint64(spriteNodes.size());
    if (literalOffset + quint64(literal.size()) + quint64(translated.size()) > 0xFFFFFFFFull)
        return false; // offsets are 32-bit
    const QByteArray head = header(quint32(spriteListOffset), quint32(literalOffset));
    const QByteArray* parts[] = {&head, &paletteNodes, &spriteNodes, &literal, &translated};
    for (const QByteArray* part : parts) {
        if (out->write(*part) != part->size())
            return false;
    }
    return true;
}

QByteArray SffFormat::Writer::pcxOf(int index, bool paletteRead) const
{
    const SpriteRecord& s = a.sprites[index];
    const QByteArray colours = coloursOf(s);
    QByteArray kept;
    if (s.hasData && s.dataFormat == SpriteDataFormat::SpritePcx && a.store.read(s.blobId, kept) && !kept.isEmpty()) {
        // The image as it was read, unless a reader takes its palette from
        // it and the palette has changed since.
        if (!paletteRead || coloursOfTable(readPcx(kept).colorTable()) == colours)
            return kept;
    }
    // A link written as an image of its own shows what its chain ends at.
    const int target = a.linkTarget(index);
    const SpriteRecord& shown = a.sprites[target >= 0 ? target : index];
    QImage image = imageOfRows(rowsOf(index), shown.width, shown.height, QImage::Format_Indexed8);
    if (image.isNull()) {
        // A sprite without pixels still needs an image: without one the
        // subfile reads back as a link.
        image = QImage(1, 1, QImage::Format_Indexed8);
        image.fill(0);
    }
    image.setColorTable(tableOfColours(colours));
    return encodePcx(image);
}

bool SffFormat::Writer::writeVersion1(QIODevice* out)
{
    const Version1Plan plan = planVersion1(a);
    const int count = int(a.sprites.size());
    total = uint(count);
    a.reportProgress(0, total);

    QByteArray file;
    LeWriter w(&file);
    w.bytes(QByteArrayView(Signature, sizeof Signature));
    w.bytes(QByteArrayView(versionBytes(SffVersion::V101), 4));
    QList<quint16> groups;
    for (const SpriteRecord& s : a.sprites)
        if (!groups.contains(s.group))
            groups.append(s.group);
    w.u32(quint32(groups.size()));
    w.u32(quint32(count));
    w.u32(HeaderSize);
    w.u32(SubfileHeaderSize);
    // The palette type of the file read; a new one says "shared" when every
    // sprite is drawn with one palette.
    w.u8(quint8(a.paletteType >= 0 ? a.paletteType : plan.palettes.size() <= 1 ? 1 : 0));
    w.zeros(Version1Comment - file.size());
    w.bytes(headerComment().left(HeaderSize - file.size() - 1));
    w.zeros(HeaderSize - file.size());

    for (int i = 0; i < count; ++i) {
        const SpriteRecord& s = a.sprites[i];
        QByteArray pcx;
        if (plan.withData[i]) {
            const bool special = (s.group == 0 || s.group == 9000) && s.number == 0;
            pcx = pcxOf(i, i == 0 || (!plan.samePalette[i] && !special));
        }
        const qsizetype next = i + 1 < count ? file.size() + SubfileHeaderSize + pcx.size() : 0;
        if (next > qsizetype(0xFFFFFFFFll))
            return false; // offsets are 32-bit
        w.u32(quint32(next));
        w.u32(quint32(pcx.size()));
        w.s16(s.axisX);
        w.s16(s.axisY);
        w.u16(s.group);
        w.u16(s.number);
        w.u16(plan.withData[i] ? 0 : s.linkIndex);
        w.u8(plan.samePalette[i] ? 1 : 0);
        w.zeros(13);
        w.bytes(pcx);
        if (!step())
            return false;
    }
    return out->write(file) == file.size();
}

bool SffFormat::write(QSprites& sprites, QIODevice* out, SffVersion version, bool fullLz5)
{
    if (version == SffVersion::Unknown)
        version = sprites.saveVersion();
    if (version != SffVersion::V201 && sprites.hasTrueColour()) {
        sprites.setErrorString(QSprites::tr("True-colour sprites can only be saved in SFF 2.01."));
        return false;
    }
    Writer w{sprites, version, fullLz5, {}, {}, {}, {}};
    return version == SffVersion::V101 ? w.writeVersion1(out) : w.writeVersion2(out);
}

bool SffFormat::write(QSprites& sprites, const QString& fileName, SffVersion version, bool fullLz5)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        sprites.setErrorString(file.errorString());
        return false;
    }
    sprites.setErrorString(QString());
    if (!write(sprites, &file, version, fullLz5)) {
        if (sprites.errorString().isEmpty())
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

#include "qsprites.h"

#include "binaryio.h"
#include "colourreduction.h"
#include "maker.h"
#include "pcx.h"
#include "qmessages.h"
#include "spritecodecs.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>

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

QByteArray normalisedColours(const QByteArray& colours)
{
    if (colours.size() == PaletteBytes)
        return colours;
    QByteArray c = colours.left(PaletteBytes);
    c.append(PaletteBytes - c.size(), '\0');
    return c;
}

// An image's colour table as palette bytes; entries it lacks are black.
QByteArray coloursOfTable(const QList<QRgb>& table)
{
    QByteArray c(PaletteBytes, '\0');
    for (int i = 0; i < 256 && i < table.size(); ++i) {
        c[3 * i] = char(qRed(table[i]));
        c[3 * i + 1] = char(qGreen(table[i]));
        c[3 * i + 2] = char(qBlue(table[i]));
    }
    return c;
}

QList<QRgb> tableOfColours(const QByteArray& colours)
{
    QList<QRgb> table(256);
    const uchar* c = reinterpret_cast<const uchar*>(colours.constData());
    for (int i = 0; i < 256; ++i)
        table[i] = qRgb(c[3 * i], c[3 * i + 1], c[3 * i + 2]);
    return table;
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
} // namespace

struct QSprites::LoadContext
{
    QByteArray bytes;
    QString name; // without its directory, for the issues list
    qint64 budget = 0;

    bool spend(qint64 n)
    {
        if (n > budget)
            return false;
        budget -= n;
        return true;
    }
};

QSprites::QSprites(QMessages* messages, int mode, bool compress, int level)
    : messages(messages), store(mode, QStringLiteral("mugenspr"), compress, level)
{
}

QSprites::~QSprites() = default;

// ---------------------------------------------------------------- sprites

int QSprites::findSprite(int from, quint16 group, quint16 number) const
{
    for (int i = qMax(from, 0); i < sprites.size(); ++i) {
        if (sprites[i].group == group && sprites[i].number == number)
            return i;
    }
    return -1;
}

const SpriteRecord* QSprites::sprite(int index) const
{
    return index >= 0 && index < sprites.size() ? &sprites[index] : nullptr;
}

SpriteInfo QSprites::spriteInfo(int index) const
{
    const SpriteRecord* r = sprite(index);
    if (!r)
        return SpriteInfo();
    return {r->hasData, r->axisX, r->axisY, r->group, r->number, r->linkIndex, r->paletteIndex, r->flags};
}

SpriteSize QSprites::spriteSize(int index) const
{
    const SpriteRecord* r = sprite(index);
    if (!r)
        return SpriteSize();
    return {r->width, r->height, r->imageFormat};
}

void QSprites::setSpriteInfo(int index, const SpriteInfo& info)
{
    if (index < 0 || index >= sprites.size())
        return;
    SpriteRecord& r = sprites[index];
    r.hasData = info.hasData;
    r.axisX = info.axisX;
    r.axisY = info.axisY;
    r.group = info.group;
    r.number = info.number;
    r.linkIndex = info.linkIndex;
    r.paletteIndex = info.paletteIndex;
    r.flags = info.flags;
}

int QSprites::followLink(int index, int limit) const
{
    int previous = index;
    int current = sprites[index].linkIndex;
    for (int steps = 0; steps <= limit; ++steps) {
        if (current >= limit || current == previous)
            return -1;
        const SpriteRecord& s = sprites[current];
        if (current == 0 || s.hasData)
            return current;
        previous = current;
        current = s.linkIndex;
    }
    return -1; // a chain longer than the list goes round in a loop
}

int QSprites::linkTarget(int index) const
{
    if (index < 0 || index >= sprites.size())
        return -1;
    if (sprites[index].hasData)
        return index;
    return followLink(index, int(sprites.size()));
}

bool QSprites::readRows(const SpriteRecord& r, QByteArray& rows) const
{
    if (r.blobId == 0 || !store.read(r.blobId, rows))
        return false;
    // A blob cut short (damaged data, an encoding this program cannot read)
    // leaves the rest of the image at index 0.
    const qsizetype full = rowBytes(r);
    if (rows.size() < full)
        rows.append(full - rows.size(), '\0');
    else if (rows.size() > full)
        rows.truncate(full);
    return true;
}

QByteArray QSprites::spritePixels(int index) const
{
    const int target = linkTarget(index);
    QByteArray rows;
    if (target < 0 || !readRows(sprites[target], rows))
        return QByteArray();
    return rows;
}

QImage QSprites::spriteImage(int index) const
{
    const SpriteRecord* requested = sprite(index);
    if (!requested || requested->width == 0 || requested->height == 0)
        return QImage();
    const int target = linkTarget(index);
    if (target < 0)
        return QImage();
    const SpriteRecord& r = sprites[target];
    const int lineBytes = spriteLineBytes(r.imageFormat, r.width);
    if (lineBytes == 0 || r.height == 0)
        return QImage();
    QByteArray bytes;
    if (!readRows(r, bytes))
        return QImage();
    QImage image(r.width, r.height, r.imageFormat);
    if (image.isNull())
        return QImage();
    const int stride = spriteRowStride(r.imageFormat, r.width);
    for (int y = 0; y < r.height; ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + qsizetype(y) * stride, size_t(lineBytes));
    if (r.imageFormat == QImage::Format_Indexed8 && requested->paletteIndex < palettes.size())
        image.setColorTable(tableOfColours(palettes[requested->paletteIndex].colours));
    return image;
}

QByteArray QSprites::rowsOfImage(const QImage& image) const
{
    const int lineBytes = spriteLineBytes(image.format(), image.width());
    const int stride = spriteRowStride(image.format(), image.width());
    QByteArray rows(qsizetype(stride) * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(rows.data() + qsizetype(y) * stride, image.constScanLine(y), size_t(lineBytes));
    return rows;
}

bool QSprites::loadImage(int index, const QString& fileName)
{
    if (index < 0 || index >= sprites.size())
        return false;
    QImage image;
    if (QFileInfo(fileName).suffix() == QLatin1String("pcx")) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            image = readPcx(file.readAll());
    } else {
        image.load(fileName);
    }
    return setImage(index, image);
}

bool QSprites::setImage(int index, const QImage& image)
{
    if (index < 0 || index >= sprites.size() || image.isNull() || image.width() > 0xFFFF
        || image.height() > 0xFFFF)
        return false;
    // Reduce first, then take the palette: a true-colour image has no colour
    // table of its own, and its sprite must be drawn with the reduced one.
    const QImage indexed = toIndexed8(image);
    const int palette = addPalette(coloursOfTable(indexed.colorTable()), true, 0, -1);
    SpriteRecord& r = sprites[index];
    r.paletteIndex = quint16(palette);
    r.hasData = true;
    r.width = quint16(indexed.width());
    r.height = quint16(indexed.height());
    r.imageFormat = QImage::Format_Indexed8;
    const QByteArray rows = rowsOfImage(indexed);
    if (r.blobId == 0) {
        r.linkIndex = 0;
        r.blobId = store.append(rows);
    } else {
        store.replace(r.blobId, rows);
    }
    for (SpriteRecord& s : sprites) {
        if (!s.hasData && s.linkIndex == index) {
            s.width = r.width;
            s.height = r.height;
            s.imageFormat = r.imageFormat;
        }
    }
    return true;
}

bool QSprites::saveImage(int index, const QString& fileName) const
{
    const QImage image = spriteImage(index);
    if (image.isNull())
        return false;
    if (QFileInfo(fileName).suffix() == QLatin1String("pcx"))
        return writePcx(image, fileName);
    return image.save(fileName);
}

void QSprites::addSprite()
{
    sprites.append(SpriteRecord());
}

void QSprites::insertSprite(int index)
{
    index = qBound(0, index, int(sprites.size()));
    // Links are identities: every link to a sprite that moves up follows it,
    // also from sprites in front of the new one.
    for (SpriteRecord& s : sprites) {
        if (!s.hasData && s.linkIndex >= index)
            ++s.linkIndex;
    }
    sprites.insert(index, SpriteRecord());
}

void QSprites::duplicateSprite(int index, bool copy)
{
    if (index < 0 || index >= sprites.size())
        return;
    insertSprite(index + 1);
    const SpriteRecord& source = sprites[index];
    SpriteRecord d;
    d.hasData = source.hasData;
    d.axisX = source.axisX;
    d.axisY = source.axisY;
    d.group = source.group;
    d.number = source.number;
    d.linkIndex = source.linkIndex;
    d.paletteIndex = source.paletteIndex;
    d.flags = source.flags;
    d.width = source.width;
    d.height = source.height;
    d.imageFormat = source.imageFormat;
    QByteArray bytes;
    if (copy && source.hasData && source.blobId != 0 && store.read(source.blobId, bytes)) {
        d.linkIndex = 0;
        d.blobId = store.append(bytes);
    } else {
        d.hasData = false;
        d.linkIndex = source.hasData ? quint16(index) : source.linkIndex;
    }
    sprites[index + 1] = d;
}

void QSprites::removeSprite(int index)
{
    if (index < 0 || index >= sprites.size())
        return;
    const SpriteRecord removed = sprites[index];
    const auto linksHere = [&](int j) { return !sprites[j].hasData && sprites[j].linkIndex == index; };
    // The heir is the first sprite behind that links to it; failing that, one
    // in front (a forward link) must not be left pointing at the wrong image.
    int heir = -1;
    for (int j = index + 1; j < sprites.size() && heir < 0; ++j)
        if (linksHere(j))
            heir = j;
    for (int j = 0; j < index && heir < 0; ++j)
        if (linksHere(j))
            heir = j;

    if (heir >= 0) {
        SpriteRecord& h = sprites[heir];
        if (removed.hasData) {
            h.blobId = removed.blobId;
            h.hasData = true;
            h.linkIndex = 0;
            h.width = removed.width;
            h.height = removed.height;
            h.imageFormat = removed.imageFormat;
        } else {
            h.linkIndex = removed.linkIndex;
        }
        for (int j = 0; j < sprites.size(); ++j)
            if (j != heir && j != index && linksHere(j))
                sprites[j].linkIndex = quint16(heir);
    } else if (removed.blobId != 0) {
        store.remove(removed.blobId);
    }
    for (int j = 0; j < sprites.size(); ++j) {
        SpriteRecord& s = sprites[j];
        if (j != index && !s.hasData && s.linkIndex > index)
            --s.linkIndex;
    }
    sprites.removeAt(index);
}

void QSprites::clear()
{
    savedName.clear();
    sprites.clear();
    store.clear();
}

// ---------------------------------------------------------------- palettes

const PaletteRecord* QSprites::palette(int index) const
{
    return index >= 0 && index < palettes.size() ? &palettes[index] : nullptr;
}

PaletteInfo QSprites::paletteInfo(int index) const
{
    const PaletteRecord* p = palette(index);
    return p ? PaletteInfo{p->group, p->number, p->colourCount} : PaletteInfo();
}

void QSprites::setPaletteInfo(int index, qint16 group, qint16 number, quint16 colourCount)
{
    if (index < 0 || index >= palettes.size())
        return;
    palettes[index].group = group;
    palettes[index].number = number;
    palettes[index].colourCount = colourCount;
}

QByteArray QSprites::paletteData(int index) const
{
    const PaletteRecord* p = palette(index);
    return p ? p->colours : QByteArray();
}

void QSprites::setPaletteData(int index, const QByteArray& colours)
{
    if (index < 0 || index >= palettes.size())
        return;
    palettes[index].colours = normalisedColours(colours);
    palettes[index].colourCount = colourCountOf(palettes[index].colours);
}

quint16 QSprites::colourCountOf(const QByteArray& colours)
{
    const QByteArray c = normalisedColours(colours);
    const char* last = c.constData() + 255 * 3;
    int i = 254;
    while (i >= 1 && std::memcmp(c.constData() + 3 * i, last, 3) == 0)
        --i;
    return i < 32 ? 32 : 256;
}

int QSprites::findIdenticalPalette(const QByteArray& colours) const
{
    const QByteArray c = normalisedColours(colours);
    for (int i = 0; i < palettes.size(); ++i) {
        if (palettes[i].colours == c)
            return i;
    }
    return int(palettes.size());
}

int QSprites::addPalette(const QByteArray& colours, bool reuse, qint16 group, int number)
{
    if (reuse) {
        const int same = findIdenticalPalette(colours);
        if (same < palettes.size())
            return same;
    }
    PaletteRecord p;
    p.group = group;
    p.number = qint16(number < 0 ? palettes.size() + 1 : number);
    p.colours = normalisedColours(colours);
    p.colourCount = colourCountOf(p.colours);
    palettes.append(p);
    return int(palettes.size() - 1);
}

int QSprites::insertPalette(int index, const QByteArray& colours, bool reuse, qint16 group, int number)
{
    if (index >= palettes.size())
        return addPalette(colours, reuse, group, number);
    index = qMax(index, 0);
    if (reuse) {
        const int same = findIdenticalPalette(colours);
        if (same < palettes.size())
            return same;
    }
    PaletteRecord p;
    p.group = 0;
    p.number = qint16(palettes.size());
    p.colours = normalisedColours(colours);
    p.colourCount = colourCountOf(p.colours);
    for (SpriteRecord& s : sprites) {
        if (s.paletteIndex >= index)
            ++s.paletteIndex;
    }
    palettes.insert(index, p);
    return index;
}

void QSprites::removePalette(int index)
{
    if (index < 0 || index >= palettes.size())
        return;
    for (SpriteRecord& s : sprites) {
        if (s.paletteIndex == index)
            s.paletteIndex = 0;
        else if (s.paletteIndex > index)
            --s.paletteIndex;
    }
    palettes.removeAt(index);
}

void QSprites::clearPalettes()
{
    palettes.clear();
}

bool QSprites::loadPaletteAct(const QString& fileName, QByteArray& colours)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray act = file.read(PaletteBytes);
    if (act.size() < PaletteBytes)
        return false;
    QByteArray c(PaletteBytes, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        std::memcpy(c.data() + 3 * i, act.constData() + 3 * (255 - i), 3);
    colours = c;
    return true;
}

bool QSprites::savePaletteAct(int index, const QString& fileName) const
{
    const PaletteRecord* p = palette(index);
    if (!p)
        return false;
    QByteArray act(PaletteBytes, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        std::memcpy(act.data() + 3 * i, p->colours.constData() + 3 * (255 - i), 3);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(act) != PaletteBytes)
        return false;
    return file.commit();
}

// ---------------------------------------------------------------- loading

bool QSprites::reportProgress(uint pos, uint max)
{
    bool allow = true;
    emit progress(pos, max, allow);
    return allow;
}

void QSprites::countDown(uint from, uint max)
{
    for (uint k = from; k >= 1; --k) {
        bool ignored = true;
        emit progress(k, max, ignored);
    }
}

bool QSprites::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    return load(file.readAll(), QFileInfo(fileName).fileName());
}

bool QSprites::load(const QByteArray& bytes, const QString& name)
{
    clear();
    version = 0;
    LoadContext c;
    c.bytes = bytes;
    c.name = name;
    c.budget = FreeDecodedBytes + MaxExpansion * c.bytes.size();
    if (c.bytes.size() < 16 || std::memcmp(c.bytes.constData(), Signature, sizeof Signature) != 0)
        return false;
    const auto* v = reinterpret_cast<const uchar*>(c.bytes.constData()) + 12;
    if (v[0] == 0 && v[1] == 1 && v[2] == 0 && v[3] == 1) {
        version = 1;
        return loadVersion1(c);
    }
    if (v[0] == 0 && v[1] == 0 && v[2] == 0 && v[3] == 2) {
        version = 2;
        return loadVersion2(c);
    }
    if (messages)
        messages->addInfo(tr("%1(0): SFF version '%2.%3.%4.%5' not supported yet")
                              .arg(c.name).arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]));
    return false;
}

bool QSprites::loadVersion1(LoadContext& c)
{
    const QByteArrayView bytes(c.bytes);
    LeReader header(bytes, 20);
    const quint32 claimed = header.u32();
    // Every subfile needs its header: a count beyond that cannot be there.
    const qint64 room = qMax<qint64>(0, (bytes.size() - HeaderSize) / SubfileHeaderSize);
    const uint total = uint(qMin<qint64>(claimed, room));
    reportProgress(0, total);

    int shared = -1;
    qsizetype pos = HeaderSize;
    bool truncated = false;
    const auto reportTruncated = [&](uint index) {
        truncated = true;
        if (messages)
            messages->addError(tr("%1(%2): Sprite data is truncated").arg(c.name).arg(index));
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
            if (c.spend(pcxImageBytes(data)))
                image = readPcx(data);
            else if (messages)
                messages->addError(tr("%1(%2): Sprite data is damaged").arg(c.name).arg(i));
            s.imageFormat = image.isNull() ? QImage::Format_Indexed8 : image.format();
            s.width = quint16(image.width());
            s.height = quint16(image.height());
            s.blobId = store.append(image.isNull() ? QByteArray() : rowsOfImage(image));
            const QByteArray colours = coloursOfTable(image.colorTable());
            if (index == 0)
                shared = addPalette(colours, true, 0, -1);
            if (index == 0)
                s.paletteIndex = quint16(shared);
            else if ((s.group == 0 || s.group == 9000) && s.number == 0 && shared >= 0)
                s.paletteIndex = quint16(shared);
            else if (samePalette)
                s.paletteIndex = sprites[index - 1].paletteIndex;
            else
                s.paletteIndex = quint16(addPalette(colours, true, 0, -1));
        } else {
            const int target = followLink(index, index);
            if (target >= 0) {
                const SpriteRecord& t = sprites[target];
                s.width = t.width;
                s.height = t.height;
                s.imageFormat = t.imageFormat;
                s.paletteIndex = samePalette && shared >= 0 ? quint16(shared) : t.paletteIndex;
            } else {
                if (messages)
                    messages->addError(tr("%1(%2): Sprite incorrect linked to the index %3")
                                           .arg(c.name).arg(i).arg(s.linkIndex));
                // Kept as a sprite of its own with no image, so that the
                // editor can show it and the user can give it one.
                s.hasData = true;
                s.imageFormat = QImage::Format_Indexed8;
                s.paletteIndex = quint16(qMax(shared, 0));
            }
        }
        if (!reportProgress(i + 1, total)) {
            countDown(i, total);
            clear();
            return true;
        }
    }
    if (!truncated && claimed > total)
        reportTruncated(total);
    if (uint(sprites.size()) < total)
        reportProgress(total, total);
    return true;
}

bool QSprites::loadVersion2(LoadContext& c)
{
    clearPalettes();
    const QByteArrayView bytes(c.bytes);
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
    reportProgress(0, total);
    if (messages && paletteTotal < paletteClaimed)
        messages->addError(tr("%1(%2): Palette data is truncated").arg(c.name).arg(paletteTotal));
    if (messages && spriteTotal < spriteClaimed)
        messages->addError(tr("%1(%2): Sprite data is truncated").arg(c.name).arg(spriteTotal));

    LeReader pn(bytes, paletteListOffset);
    palettes.reserve(paletteTotal);
    for (uint i = 0; i < paletteTotal; ++i) {
        PaletteRecord p;
        p.group = pn.s16();
        p.number = pn.s16();
        p.colourCount = pn.u16();
        p.fileLink = pn.u16();
        p.fileOffset = pn.u32();
        p.fileLength = pn.u32();
        palettes.append(p);
    }
    LeReader sn(bytes, spriteListOffset);
    sprites.reserve(spriteTotal);
    for (uint i = 0; i < spriteTotal; ++i) {
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
        sprites.append(s);
    }

    // The bytes of a block at an offset; what lies outside the file is
    // missing, and that is reported.
    const auto block = [&](quint32 base, quint32 offset, quint32 length, bool* cut) {
        const qint64 start = qint64(base) + offset;
        const qint64 available = start < bytes.size() ? bytes.size() - start : 0;
        *cut = qint64(length) > available;
        return available > 0 ? bytes.sliced(qsizetype(start), qsizetype(qMin<qint64>(length, available)))
                             : QByteArrayView();
    };

    uint done = 0;
    for (uint i = 0; i < paletteTotal; ++i) {
        PaletteRecord& p = palettes[i];
        bool cut = false;
        // A palette holds 256 colours; anything stored beyond them is ignored.
        const QByteArrayView data = block(literalOffset, p.fileOffset, qMin<quint32>(p.fileLength, MaxPaletteBytes), &cut);
        if (cut && messages)
            messages->addError(tr("%1(%2): Palette data is truncated").arg(c.name).arg(i));
        for (int e = 0; e < 256 && qsizetype(e) * 4 + 3 <= data.size(); ++e)
            std::memcpy(p.colours.data() + 3 * e, data.data() + 4 * e, 3);
        if (!reportProgress(++done, total)) {
            countDown(done, total);
            clear();
            return true;
        }
    }

    for (uint i = 0; i < spriteTotal; ++i) {
        SpriteRecord& s = sprites[i];
        if (!s.hasData) {
            const int target = followLink(int(i), int(spriteTotal));
            if (target >= 0) {
                s.width = sprites[target].width;
                s.height = sprites[target].height;
                s.imageFormat = sprites[target].imageFormat;
            } else {
                if (messages)
                    messages->addError(tr("%1(%2): Sprite incorrect linked to the index %3")
                                           .arg(c.name).arg(i).arg(s.linkIndex));
                s.width = 0;
                s.height = 0;
            }
        } else {
            bool cut = false;
            const QByteArrayView data =
                block(s.flags == 0 ? literalOffset : translatedOffset, s.fileOffset, s.fileLength, &cut);
            if (cut && messages)
                messages->addError(tr("%1(%2): Sprite data is truncated").arg(c.name).arg(i));
            const qsizetype size = rowBytes(s);
            QByteArray rows;
            if (!c.spend(size)) {
                if (messages)
                    messages->addError(tr("%1(%2): Sprite data is damaged").arg(c.name).arg(i));
                s.width = 0;
                s.height = 0;
            } else if (size > 0) {
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
            }
            s.blobId = store.append(rows);
        }
        if (!reportProgress(++done, total)) {
            countDown(done, total);
            clear();
            return true;
        }
    }

    resolvePaletteLinks();
    for (PaletteRecord& p : palettes) {
        if (p.colourCount == 0 || p.colourCount > 256)
            p.colourCount = colourCountOf(p.colours);
    }
    return true;
}

void QSprites::resolvePaletteLinks()
{
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
        for (SpriteRecord& s : sprites) {
            if (s.paletteIndex == i)
                s.paletteIndex = quint16(to);
        }
        for (SpriteRecord& s : sprites) {
            if (s.paletteIndex > i)
                --s.paletteIndex;
        }
        if (keeper > i)
            --keeper;
        palettes.removeAt(i);
    }
}

// ---------------------------------------------------------------- saving

bool QSprites::save(const QString& fileName, bool fullLz5)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const uint total = uint(sprites.size() + palettes.size());
    reportProgress(0, total);
    uint done = 0;

    QByteArray literal;
    LeWriter data(&literal);
    QByteArray paletteNodes;
    LeWriter pn(&paletteNodes);
    for (const PaletteRecord& p : palettes) {
        int count = p.colourCount == 0 || p.colourCount > 256 ? 256 : p.colourCount;
        // A file stores only `count` colours and the rest read back black: a
        // short palette whose unused tail is some other colour keeps it by
        // being written whole.
        if (count < 256
            && p.colours.mid(3 * count).count('\0') != p.colours.size() - 3 * count)
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
        if (!reportProgress(++done, total)) {
            file.cancelWriting();
            return false;
        }
    }

    QByteArray spriteNodes;
    LeWriter sn(&spriteNodes);
    for (const SpriteRecord& s : sprites) {
        quint8 format = SpriteLinked;
        int depth = depthOfFormat(s.imageFormat);
        const quint32 offset = quint32(literal.size());
        quint32 length = 0;
        if (s.hasData) {
            format = SpriteRle8;
            QByteArray pixels;
            if (readRows(s, pixels)) {
                const int lineBytes = spriteLineBytes(s.imageFormat, s.width);
                const int stride = spriteRowStride(s.imageFormat, s.width);
                QByteArray packed;
                if (lineBytes == stride) {
                    packed = pixels;
                } else {
                    packed.resize(qsizetype(lineBytes) * s.height);
                    for (int y = 0; y < s.height; ++y)
                        std::memcpy(packed.data() + qsizetype(y) * lineBytes,
                                    pixels.constData() + qsizetype(y) * stride, size_t(lineBytes));
                }
                // LZ5 only carries colours 0 to 31: a sprite using any other
                // index keeps every pixel through RLE8.
                const bool lz5 = s.imageFormat == QImage::Format_Indexed8 && s.paletteIndex < palettes.size()
                    && palettes[s.paletteIndex].colourCount == 32 && fitsFiveBits(packed);
                const QByteArray encoded = lz5 ? encodeLz5Packed(packed, fullLz5) : encodeRle8Packed(packed);
                if (lz5) {
                    format = SpriteLz5;
                    depth = 5;
                }
                data.bytes(encoded);
                length = quint32(encoded.size());
            }
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
        if (!reportProgress(++done, total)) {
            file.cancelWriting();
            return false;
        }
    }

    const quint64 spriteListOffset = HeaderSize + quint64(paletteNodes.size());
    const quint64 literalOffset = spriteListOffset + quint64(spriteNodes.size());
    if (literalOffset + quint64(literal.size()) > 0xFFFFFFFFull) {
        file.cancelWriting();
        return false; // offsets are 32-bit
    }
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
    w.u32(quint32(spriteListOffset));
    w.u32(quint32(sprites.size()));
    w.u32(HeaderSize);
    w.u32(quint32(palettes.size()));
    w.u32(quint32(literalOffset));
    w.u32(quint32(literal.size()));
    w.u32(quint32(literalOffset + literal.size()));
    w.u32(0);
    w.u32(0);
    w.u32(0);
    const QByteArray comment = QByteArray("Created in Quendar Morvane 9\n") + MakerWebAddress;
    w.bytes(comment.left(HeaderSize - header.size() - 1));
    w.zeros(HeaderSize - header.size());

    for (const QByteArray* part : {&header, &paletteNodes, &spriteNodes, &literal}) {
        if (file.write(*part) != part->size()) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit())
        return false;
    savedName = fileName;
    return true;
}

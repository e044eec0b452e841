#include "qsprites.h"

#include "actfile.h"
#include "qmessages.h"
#include "fileread.h"
#include "sffformat.h"
#include "spritecodecs.h"
#include "spriteimages.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

// Decoded rows kept for data blocks read from a file: enough for the sprites
// a person steps through and an animation's frames, whatever their encoding.
constexpr qsizetype DecodedCacheBytes = qsizetype(64) << 20;

QByteArray normalisedColours(const QByteArray& colours)
{
    if (colours.size() == PaletteBytes)
        return colours;
    QByteArray c = colours.left(PaletteBytes);
    c.append(PaletteBytes - c.size(), '\0');
    return c;
}

qsizetype rowBytes(const SpriteRecord& r)
{
    return qsizetype(spriteRowStride(r.imageFormat, r.width)) * r.height;
}

} // namespace

QString sffVersionText(SffVersion version)
{
    switch (version) {
    case SffVersion::V101: return QStringLiteral("1.01");
    case SffVersion::V200: return QStringLiteral("2.00");
    case SffVersion::V201: return QStringLiteral("2.01");
    default: return QStringLiteral("?");
    }
}

QSprites::QSprites(QMessages* messages, BlobStoreMode mode, bool compress, int level)
    : messages(messages), store(mode, QStringLiteral("mugenspr"), compress, level), decoded(DecodedCacheBytes)
{
}

QSprites::~QSprites()
{
    // Commands hold images of this store: they let go of them before it goes.
    undoStack()->clear();
}

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
    SpriteRecord r = sprites[index];
    r.hasData = info.hasData;
    r.axisX = info.axisX;
    r.axisY = info.axisY;
    r.group = info.group;
    r.number = info.number;
    r.linkIndex = info.linkIndex;
    r.paletteIndex = info.paletteIndex;
    r.flags = info.flags;
    setSpriteRecord(index, r);
}

void QSprites::setSpriteRecord(int index, const SpriteRecord& record)
{
    if (index < 0 || index >= sprites.size())
        return;
    sprites[index] = record;
    emit spriteChanged(index);
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
    if (r.blobId == 0)
        return false;
    if (r.dataFormat != SpriteDataFormat::SpriteRows) {
        if (const QByteArray* cached = decoded.object(r.blobId)) {
            rows = *cached;
            return true;
        }
        QByteArray block;
        if (!store.read(r.blobId, block))
            return false;
        rows = SffFormat::decodeBlock(block, r);
        if (rows.size() <= decoded.maxCost())
            decoded.insert(r.blobId, new QByteArray(rows), rows.size());
        return true;
    }
    if (!store.read(r.blobId, rows))
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
    QByteArray bytes;
    if (!readRows(r, bytes))
        return QImage();
    QImage image = imageOfRows(bytes, r.width, r.height, r.imageFormat);
    if (!image.isNull() && r.imageFormat == QImage::Format_Indexed8 && requested->paletteIndex < palettes.size())
        image.setColorTable(tableOfColours(palettes[requested->paletteIndex].colours));
    return image;
}

void QSprites::insertSpriteRecord(int index, const SpriteRecord& record)
{
    index = qBound(0, index, int(sprites.size()));
    // Links are identities: every link to a sprite that moves up follows it,
    // also from sprites in front of the new one.
    for (SpriteRecord& s : sprites) {
        if (!s.hasData && s.linkIndex >= index)
            ++s.linkIndex;
    }
    sprites.insert(index, record);
    emit spritesInserted(index, 1);
}

SpriteRemoval QSprites::takeSprite(int index)
{
    SpriteRemoval out;
    if (index < 0 || index >= sprites.size())
        return out;
    out.index = index;
    out.record = sprites[index];
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

    const auto relink = [&](int j, quint16 to) {
        out.links.append({j, sprites[j].linkIndex});
        sprites[j].linkIndex = to;
    };
    if (heir >= 0) {
        out.heir = heir;
        out.heirRecord = sprites[heir];
        SpriteRecord& h = sprites[heir];
        const SpriteRecord& removed = out.record;
        if (removed.hasData) {
            h.blobId = removed.blobId;
            h.dataFormat = removed.dataFormat;
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
                relink(j, quint16(heir));
    }
    for (int j = 0; j < sprites.size(); ++j) {
        const SpriteRecord& s = sprites[j];
        if (j != index && j != heir && !s.hasData && s.linkIndex > index) {
            // A sprite relinked to the heir above keeps its first old value.
            const auto seen = std::find_if(out.links.begin(), out.links.end(),
                                           [j](const QPair<int, quint16>& l) { return l.first == j; });
            if (seen == out.links.end())
                out.links.append({j, s.linkIndex});
            --sprites[j].linkIndex;
        } else if (j == heir && !s.hasData && s.linkIndex > index) {
            --sprites[j].linkIndex; // the heir record before it is kept whole
        }
    }
    sprites.removeAt(index);
    emit spritesRemoved(index, 1);
    if (heir >= 0)
        emit spriteChanged(heir > index ? heir - 1 : heir);
    return out;
}

void QSprites::restoreSprite(const SpriteRemoval& removal)
{
    if (removal.index < 0 || removal.index > sprites.size())
        return;
    sprites.insert(removal.index, removal.record);
    for (const auto& [j, link] : removal.links)
        if (j >= 0 && j < sprites.size())
            sprites[j].linkIndex = link;
    if (removal.heir >= 0 && removal.heir < sprites.size())
        sprites[removal.heir] = removal.heirRecord;
    emit spritesInserted(removal.index, 1);
    if (removal.heir >= 0)
        emit spriteChanged(removal.heir);
}

BlobId QSprites::storeBlob(const QByteArray& bytes)
{
    return store.append(bytes);
}

void QSprites::releaseBlob(BlobId id)
{
    if (id == 0)
        return;
    decoded.remove(id); // rows decoded from it go with it
    store.remove(id);
}

void QSprites::addSprite()
{
    insertSpriteRecord(int(sprites.size()), SpriteRecord());
}

void QSprites::insertSprite(int index)
{
    insertSpriteRecord(index, SpriteRecord());
}

void QSprites::duplicateSprite(int index, bool copy)
{
    if (index < 0 || index >= sprites.size())
        return;
    const SpriteRecord& source = sprites[index];
    SpriteRecord d = source;
    d.blobId = 0;
    d.fileOffset = d.fileLength = 0;
    QByteArray bytes;
    if (copy && source.hasData && source.blobId != 0 && store.read(source.blobId, bytes)) {
        d.linkIndex = 0;
        d.blobId = storeBlob(bytes); // in the source's encoding
    } else {
        d.hasData = false;
        // The link is written for the list after the insertion: a source in
        // front of the new sprite keeps its index.
        d.linkIndex = source.hasData ? quint16(index) : source.linkIndex;
        if (!source.hasData && source.linkIndex > index)
            ++d.linkIndex;
    }
    insertSpriteRecord(index + 1, d);
}

void QSprites::removeSprite(int index)
{
    releaseBlob(takeSprite(index).orphanBlob());
}

bool QSprites::loadImage(int index, const QString& fileName)
{
    if (index < 0 || index >= sprites.size())
        return false;
    return setImage(index, readImageFile(fileName));
}

bool QSprites::setImage(int index, const QImage& image)
{
    if (index < 0 || index >= sprites.size())
        return false;
    const SpriteImage s = spriteImageOf(image);
    if (s.isNull())
        return false;
    const int palette = addPalette(s.colours, true, 0, -1);
    SpriteRecord r = sprites[index];
    r.paletteIndex = quint16(palette);
    r.hasData = true;
    r.width = s.width;
    r.height = s.height;
    r.imageFormat = s.format;
    r.dataFormat = SpriteDataFormat::SpriteRows;
    if (r.blobId == 0) {
        r.linkIndex = 0;
        r.blobId = storeBlob(s.rows);
    } else {
        decoded.remove(r.blobId);
        store.replace(r.blobId, s.rows);
    }
    setSpriteRecord(index, r);
    for (int j = 0; j < sprites.size(); ++j) {
        const SpriteRecord& l = sprites[j];
        if (!l.hasData && l.linkIndex == index) {
            SpriteRecord linked = l;
            linked.width = r.width;
            linked.height = r.height;
            linked.imageFormat = r.imageFormat;
            setSpriteRecord(j, linked);
        }
    }
    return true;
}

bool QSprites::saveImage(int index, const QString& fileName) const
{
    return writeImageFile(spriteImage(index), fileName);
}

void QSprites::resetSprites()
{
    sprites.clear();
    decoded.clear();
    store.clear();
    unread = 0;
}

void QSprites::clear()
{
    // The history goes first: its commands hold images of the store.
    markFresh();
    setFileName(QString());
    resetSprites();
    sffVersion = SffVersion::V200;
    paletteType = -1;
    emit documentReset();
}

bool QSprites::hasTrueColour() const
{
    return std::any_of(sprites.cbegin(), sprites.cend(),
                       [](const SpriteRecord& s) { return s.hasData && s.isTrueColour(); });
}

SffVersion QSprites::saveVersion() const
{
    return hasTrueColour() ? SffVersion::V201 : sffVersion;
}

void QSprites::setVersion(SffVersion version)
{
    if (version == SffVersion::Unknown || version == sffVersion)
        return;
    sffVersion = version;
    emit versionChanged(version);
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

QByteArray QSprites::paletteData(int index) const
{
    const PaletteRecord* p = palette(index);
    return p ? p->colours : QByteArray();
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

PaletteRecord QSprites::paletteOf(const QByteArray& colours, qint16 group, qint16 number)
{
    PaletteRecord p;
    p.group = group;
    p.number = number;
    p.colours = normalisedColours(colours);
    p.colourCount = colourCountOf(p.colours);
    return p;
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

void QSprites::setPaletteInfo(int index, qint16 group, qint16 number, quint16 colourCount)
{
    const PaletteRecord* p = palette(index);
    if (!p)
        return;
    PaletteRecord r = *p;
    r.group = group;
    r.number = number;
    r.colourCount = colourCount;
    setPaletteRecord(index, r);
}

void QSprites::setPaletteData(int index, const QByteArray& colours)
{
    const PaletteRecord* p = palette(index);
    if (!p)
        return;
    PaletteRecord r = *p;
    r.colours = normalisedColours(colours);
    r.colourCount = colourCountOf(r.colours);
    setPaletteRecord(index, r);
}

void QSprites::setPaletteRecord(int index, const PaletteRecord& record)
{
    if (index < 0 || index >= palettes.size())
        return;
    palettes[index] = record;
    palettes[index].colours = normalisedColours(record.colours);
    emit paletteChanged(index);
}

void QSprites::setSpritePalettes(const PaletteLinks& links)
{
    for (const auto& [j, palette] : links)
        if (j >= 0 && j < sprites.size())
            sprites[j].paletteIndex = palette;
}

PaletteLinks QSprites::insertPaletteRecord(int index, const PaletteRecord& record)
{
    PaletteLinks links;
    index = qBound(0, index, int(palettes.size()));
    // Added at the end, nothing moves: sprites drawn with a palette that is
    // not there any more keep waiting for it.
    if (index < palettes.size()) {
        for (int j = 0; j < sprites.size(); ++j) {
            if (sprites[j].paletteIndex >= index) {
                links.append({j, sprites[j].paletteIndex});
                ++sprites[j].paletteIndex;
            }
        }
    }
    palettes.insert(index, record);
    palettes[index].colours = normalisedColours(record.colours);
    emit palettesInserted(index, 1);
    return links;
}

PaletteLinks QSprites::removePaletteRecord(int index)
{
    PaletteLinks links;
    if (index < 0 || index >= palettes.size())
        return links;
    for (int j = 0; j < sprites.size(); ++j) {
        SpriteRecord& s = sprites[j];
        if (s.paletteIndex >= index) {
            links.append({j, s.paletteIndex});
            s.paletteIndex = s.paletteIndex == index ? 0 : s.paletteIndex - 1;
        }
    }
    palettes.removeAt(index);
    emit palettesRemoved(index, 1);
    return links;
}

void QSprites::placePaletteRecord(int index, const PaletteRecord& record, const PaletteLinks& links)
{
    index = qBound(0, index, int(palettes.size()));
    palettes.insert(index, record);
    setSpritePalettes(links);
    emit palettesInserted(index, 1);
}

void QSprites::dropPaletteRecord(int index, const PaletteLinks& links)
{
    if (index < 0 || index >= palettes.size())
        return;
    palettes.removeAt(index);
    setSpritePalettes(links);
    emit palettesRemoved(index, 1);
}

void QSprites::setPaletteList(const QList<PaletteRecord>& list)
{
    const int before = int(palettes.size());
    palettes.clear();
    if (before > 0)
        emit palettesRemoved(0, before);
    palettes = list;
    if (!palettes.isEmpty())
        emit palettesInserted(0, int(palettes.size()));
}

int QSprites::addPalette(const QByteArray& colours, bool reuse, qint16 group, int number)
{
    return insertPalette(int(palettes.size()), colours, reuse, group, number);
}

int QSprites::insertPalette(int index, const QByteArray& colours, bool reuse, qint16 group, int number)
{
    if (reuse) {
        const int same = findIdenticalPalette(colours);
        if (same < palettes.size())
            return same;
    }
    index = index >= palettes.size() ? int(palettes.size()) : qMax(index, 0);
    insertPaletteRecord(index, newPalette(index, colours, group, number));
    return index;
}

PaletteRecord QSprites::newPalette(int index, const QByteArray& colours, qint16 group, int number) const
{
    if (index >= palettes.size())
        return paletteOf(colours, group, qint16(number < 0 ? palettes.size() + 1 : number));
    return paletteOf(colours, 0, qint16(palettes.size()));
}

void QSprites::removePalette(int index)
{
    removePaletteRecord(index);
}

void QSprites::clearPalettes()
{
    setPaletteList({});
}

bool QSprites::loadPaletteAct(const QString& fileName, QByteArray& colours)
{
    return readActFile(fileName, colours);
}

bool QSprites::savePaletteAct(int index, const QString& fileName) const
{
    const PaletteRecord* p = palette(index);
    return p && writeActFile(fileName, p->colours);
}

// ---------------------------------------------------------------- files

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
    QByteArray bytes;
    if (!readWholeFile(fileName, ArchiveFileLimit, &bytes))
        return false;
    const QFileInfo info(fileName);
    QMessages::FileScope scope(messages, info.absoluteFilePath());
    const bool loaded = load(bytes, info.fileName());
    // A cancelled load leaves nothing that could be saved over the file.
    if (loaded && spriteCount() > 0)
        setFileName(fileName);
    return loaded;
}

bool QSprites::load(const QByteArray& bytes, const QString& name)
{
    setErrorString(QString());
    // A file this program does not read leaves the archive as it was.
    if (SffFormat::version(bytes, messages, name) == SffVersion::Unknown)
        return false;
    markFresh();
    setFileName(QString());
    const bool loaded = SffFormat::read(*this, bytes, name);
    if (unread > 0)
        markIncomplete();
    emit documentReset();
    return loaded;
}

bool QSprites::save(const QString& fileName, SffVersion version, bool fullLz5)
{
    if (!SffFormat::write(*this, fileName, version, fullLz5))
        return false;
    setFileName(fileName);
    setVersion(version);
    unread = 0;
    markSaved();
    return true;
}

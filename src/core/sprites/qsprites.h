#ifndef QSPRITES_H
#define QSPRITES_H

#include "qblobstore.h"
#include "qfiledocument.h"
#include "spritecodecs.h"

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

class QMessages;

// Bytes of one palette: 256 entries of red, green, blue, entry 0 first.
// Entry 0 is the transparent colour of 8-bit sprites.
constexpr int PaletteBytes = 768;

// The versions of the SFF format this program reads and writes: 1.01 (PCX
// sprites, for the engine's older releases), 2.00 (engine 1.0: 8-bit sprites
// in raw, RLE8, RLE5 or LZ5) and 2.01 (engine 1.1: PNG sprites as well, the
// only ones that can be true colour).
enum class SffVersion : quint8 { Unknown = 0, V101, V200, V201 };
// "1.01", "2.00", "2.01"; "?" for Unknown.
QString sffVersionText(SffVersion version);

struct SpriteRecord
{
    BlobId blobId = 0;       // the sprite's bytes in the archive's store; 0 when it has none
    // What those bytes are: image rows (SpriteRows), or the data block of the
    // file the sprite was read from, kept as it was so that saving writes it
    // back unchanged (a node format code of version 2, SpritePcx for version 1).
    SpriteDataFormat dataFormat = SpriteDataFormat::SpriteRows;
    quint32 fileOffset = 0;  // the next two only while reading or writing a file
    quint32 fileLength = 0;
    bool hasData = false;    // false: linked, shows the image of linkIndex's chain
    qint16 axisX = 0;
    qint16 axisY = 0;
    quint16 group = 0;
    quint16 number = 0;
    quint16 linkIndex = 0;
    quint16 paletteIndex = 0;
    quint16 flags = 0;       // the "decompress on load" flag of version 2 files
    quint16 width = 0;
    quint16 height = 0;
    // Indexed8, RGB888 or ARGB32. Image rows are laid out as QImage does
    // (each row padded to a multiple of 4 bytes).
    QImage::Format imageFormat = QImage::Format_Invalid;

    // True colour: drawn with its own colours, never through a palette.
    bool isTrueColour() const { return imageFormat == QImage::Format_RGB888 || imageFormat == QImage::Format_ARGB32; }
    bool operator==(const SpriteRecord&) const = default;
};

struct PaletteRecord
{
    qint16 group = 0;
    qint16 number = 0;
    quint16 colourCount = 256; // 32 or 256: how many colours a saved file holds
    QByteArray colours = QByteArray(PaletteBytes, '\0');
    quint32 fileOffset = 0;    // the next three only while reading or writing a file
    quint32 fileLength = 0;
    quint16 fileLink = 0;

    bool operator==(const PaletteRecord&) const = default;
};

// The fields of a sprite the editor shows and edits.
struct SpriteInfo
{
    bool hasData = false;
    qint16 axisX = 0;
    qint16 axisY = 0;
    quint16 group = 0;
    quint16 number = 0;
    quint16 linkIndex = 0;
    quint16 paletteIndex = 0;
    quint16 flags = 0;
    bool operator==(const SpriteInfo&) const = default;
};

struct SpriteSize
{
    quint16 width = 0;
    quint16 height = 0;
    QImage::Format imageFormat = QImage::Format_Invalid;
    bool operator==(const SpriteSize&) const = default;
};

struct PaletteInfo
{
    qint16 group = 0;
    qint16 number = 0;
    quint16 colourCount = 0;
    bool operator==(const PaletteInfo&) const = default;
};

// Sprite indices and the palette index each had before an edit moved it.
using PaletteLinks = QList<QPair<int, quint16>>;

// A sprite taken out of the archive, with all it takes to put it back as it
// was: the sprites that linked to it were handed to an heir (the first that
// linked to it takes its image), and the links behind it moved down.
struct SpriteRemoval
{
    int index = -1;
    SpriteRecord record;
    int heir = -1; // index before the removal; -1 when nothing linked to it
    SpriteRecord heirRecord;
    QList<QPair<int, quint16>> links; // index before the removal, linkIndex before
    // The image bytes nobody shows any more (no heir took them); the store
    // keeps them until whoever holds the removal releases them.
    BlobId orphanBlob() const { return heir < 0 ? record.blobId : 0; }
};

// The sprite archive (SFF): sprites with group, number and axis, the palettes
// they are drawn with, and every sprite's pixels in a blob store. Reading and
// writing files is in sffformat.h, ACT palettes in actfile.h, image import and
// export in spriteimages.h.
//
// Indices address records everywhere; an index out of range makes an
// operation do nothing and return an empty value.
//
// The mutators below change the archive at once, without an undo step: the
// commands of spritecommands.h call them, and so do batch tools. In the window
// every edit is a command pushed onto undoStack().
class QSprites : public QFileDocument
{
    Q_OBJECT
public:
    QSprites(QMessages* messages, BlobStoreMode mode, bool compress, int level);
    ~QSprites() override;

    // ---------------------------------------------------------- sprites
    int spriteCount() const { return int(sprites.size()); }
    int itemCount() const override { return spriteCount(); }
    int findSprite(int from, quint16 group, quint16 number) const;
    SpriteInfo spriteInfo(int index) const;
    SpriteSize spriteSize(int index) const;
    const SpriteRecord* sprite(int index) const;
    QList<SpriteRecord> spriteList() const { return sprites; }
    // The sprite drawn with its own palette (an Indexed8 image gets a 256-entry
    // colour table); a null image when it has nothing to show.
    QImage spriteImage(int index) const;
    // The sprite whose bytes a sprite shows: itself when it has data, else
    // where its link chain ends; -1 for a broken chain.
    int linkTarget(int index) const;
    // Those bytes as full image rows (missing bytes read as index 0). Data
    // blocks kept from the file are decoded here, when first asked for, and
    // the last ones decoded are kept.
    QByteArray spritePixels(int index) const;
    const QBlobStore& blobStore() const { return store; }

    void setSpriteInfo(int index, const SpriteInfo& info);
    void setSpriteRecord(int index, const SpriteRecord& record);
    // Inserts a record; every link to a sprite at or behind `index` follows it.
    void insertSpriteRecord(int index, const SpriteRecord& record);
    SpriteRemoval takeSprite(int index);
    void restoreSprite(const SpriteRemoval& removal);

    // Image bytes kept apart from the records, shared by the commands that
    // must keep a removed or replaced image until they are dropped.
    BlobId storeBlob(const QByteArray& bytes);
    void releaseBlob(BlobId id);

    // Plain edits, in terms of the ones above.
    void addSprite();
    void insertSprite(int index);
    void duplicateSprite(int index, bool copy);
    void removeSprite(int index);
    bool loadImage(int index, const QString& fileName);
    bool setImage(int index, const QImage& image);
    bool saveImage(int index, const QString& fileName) const;

    // ---------------------------------------------------------- palettes
    int paletteCount() const { return int(palettes.size()); }
    PaletteInfo paletteInfo(int index) const;
    QByteArray paletteData(int index) const;
    const PaletteRecord* palette(int index) const;
    int findIdenticalPalette(const QByteArray& colours) const;
    // 32 when colours 32 to 255 are all equal, else 256.
    static quint16 colourCountOf(const QByteArray& colours);
    // A palette of these colours (missing entries black).
    static PaletteRecord paletteOf(const QByteArray& colours, qint16 group, qint16 number);
    // The palette insertPalette would put at `index`: at the end it takes the
    // group and number asked for (the count plus one for a number below 0),
    // in between group 0 and the count as its number.
    PaletteRecord newPalette(int index, const QByteArray& colours, qint16 group, int number) const;

    void setPaletteInfo(int index, qint16 group, qint16 number, quint16 colourCount);
    void setPaletteData(int index, const QByteArray& colours);
    void setPaletteRecord(int index, const PaletteRecord& record);
    // Inserts a palette; sprites drawn with a palette at or behind `index`
    // follow it when it is not added at the end. Returns what they had.
    PaletteLinks insertPaletteRecord(int index, const PaletteRecord& record);
    // Removes a palette; its sprites fall back to palette 0 and those behind
    // move down. Returns what they had.
    PaletteLinks removePaletteRecord(int index);
    // The exact reverse of the two above: the palette goes in or out without
    // touching any sprite, then the sprites get their palettes back.
    void placePaletteRecord(int index, const PaletteRecord& record, const PaletteLinks& links);
    void dropPaletteRecord(int index, const PaletteLinks& links);
    QList<PaletteRecord> paletteList() const { return palettes; }
    void setPaletteList(const QList<PaletteRecord>& list);

    int addPalette(const QByteArray& colours, bool reuse, qint16 group, int number);
    int insertPalette(int index, const QByteArray& colours, bool reuse, qint16 group, int number);
    void removePalette(int index);
    void clearPalettes();

    // ACT files: 768 bytes, entries stored last first (see actfile.h).
    static bool loadPaletteAct(const QString& fileName, QByteArray& colours);
    bool savePaletteAct(int index, const QString& fileName) const;

    // ---------------------------------------------------------- files
    // Empties the sprite list, the store, the history and the file name; the
    // palettes stay. The archive becomes a new one of version 2.00.
    void clear() override;
    // Reads a version 1.01, 2.00 or 2.01 file; its issues are lines of that
    // file in the issues list. A cancelled load leaves an empty, unnamed
    // archive; a file that is not an archive this program reads leaves the
    // archive as it was and returns false. A file that ends before all its
    // sprites leaves the archive unsaved (saving it would lose them;
    // unreadSprites() tells how many).
    bool load(const QString& fileName) override;
    // The same from the file's bytes; `name` stands for the file in the issues list.
    bool load(const QByteArray& bytes, const QString& name);
    // Writes the archive as saveVersion() through a temporary file that takes
    // the old one's place only once complete.
    bool save(const QString& fileName) override { return save(fileName, saveVersion()); }
    bool save(const QString& fileName, bool fullLz5) { return save(fileName, saveVersion(), fullLz5); }
    // Writes that version. False, writing nothing, when the archive holds
    // true-colour sprites and the version cannot (spritecommands::changeVersion
    // reduces them first). The archive is that version afterwards.
    bool save(const QString& fileName, SffVersion version, bool fullLz5 = true);

    // The version the archive keeps: the one read, 2.00 for a new archive, or
    // the one a version change chose.
    SffVersion version() const { return sffVersion; }
    // What a plain save writes: that version, but 2.01 as soon as a sprite is
    // true colour (no other version keeps one).
    SffVersion saveVersion() const;
    bool hasTrueColour() const;
    void setVersion(SffVersion version);
    // Sprites the file named but the last load could not read because the
    // file ended before them; 0 again once the archive is saved.
    int unreadSprites() const { return unread; }

signals:
    // pos 0 starts an operation of `max` steps, pos == max ends it; a receiver
    // clears `allow` to cancel.
    void progress(uint pos, uint max, bool& allow);
    void spriteChanged(int index);
    void spritesInserted(int index, int count);
    void spritesRemoved(int index, int count);
    void paletteChanged(int index);
    void palettesInserted(int index, int count);
    void palettesRemoved(int index, int count);
    void versionChanged(SffVersion version);

private:
    friend class SffFormat;

    // The sprite a chain from `index` ends at, looking only at the first
    // `limit` sprites; -1 when it leaves them, loops or links to itself.
    int followLink(int index, int limit) const;
    bool reportProgress(uint pos, uint max);
    void countDown(uint from, uint max);
    // The record's image rows, completed to its full size; false without a blob.
    bool readRows(const SpriteRecord& r, QByteArray& rows) const;
    void setSpritePalettes(const PaletteLinks& links);
    // Empties the sprites for a load, without a signal.
    void resetSprites();

    QMessages* messages;
    QList<SpriteRecord> sprites;
    QBlobStore store;
    QList<PaletteRecord> palettes;
    SffVersion sffVersion = SffVersion::V200;
    // The palette type byte of a version 1 header, written back as it was read.
    int paletteType = -1;
    int unread = 0;
    // Rows of data blocks decoded lately, by blob; their cost is their size.
    mutable QCache<BlobId, QByteArray> decoded;
};

#endif

#ifndef QSPRITES_H
#define QSPRITES_H

#include "qblobstore.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class QMessages;

// Bytes of one palette: 256 entries of red, green, blue, entry 0 first.
// Entry 0 is the transparent colour of 8-bit sprites.
constexpr int PaletteBytes = 768;

struct SpriteRecord
{
    BlobId blobId = 0;       // image bytes in the archive's store; 0 when it has none
    quint32 fileOffset = 0;  // the next four only while reading or writing a file
    quint32 fileLength = 0;
    quint32 fileFormat = 0;
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
    // Indexed8, RGB888 or ARGB32. The bytes are the image's rows as QImage
    // lays them out (each row padded to a multiple of 4 bytes).
    QImage::Format imageFormat = QImage::Format_Invalid;
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

// The sprite archive (SFF): sprites with group, number and axis, the palettes
// they are drawn with, and every sprite's pixels in a blob store. Reads
// version 1.01 and 2.00 files, writes 2.00.
//
// Indices address records everywhere; an index out of range makes an
// operation do nothing and return an empty value.
class QSprites : public QObject
{
    Q_OBJECT
public:
    QSprites(QMessages* messages, int mode, bool compress, int level);
    ~QSprites() override;

    // Sprites
    int spriteCount() const { return int(sprites.size()); }
    int findSprite(int from, quint16 group, quint16 number) const;
    SpriteInfo spriteInfo(int index) const;
    SpriteSize spriteSize(int index) const;
    void setSpriteInfo(int index, const SpriteInfo& info);
    // The sprite drawn with its own palette (an Indexed8 image gets a 256-entry
    // colour table); a null image when it has nothing to show.
    QImage spriteImage(int index) const;
    bool loadImage(int index, const QString& fileName);
    bool setImage(int index, const QImage& image);
    bool saveImage(int index, const QString& fileName) const;
    void addSprite();
    void insertSprite(int index);
    void duplicateSprite(int index, bool copy);
    void removeSprite(int index);
    // Empties the sprite list, the store and fileName; the palettes stay.
    void clear();
    bool load(const QString& fileName);
    // The same from the file's bytes; `name` stands for the file in the issues list.
    bool load(const QByteArray& bytes, const QString& name);
    bool save(const QString& fileName, bool fullLz5);
    QString fileName() const { return savedName; }
    // 1 or 2 after a file of that version was read; 0 otherwise.
    int loadedVersion() const { return version; }

    // Read access for drawing: the record itself, the store holding the
    // bytes, the sprite whose bytes a sprite shows (itself when it has data,
    // else where its link chain ends; -1 for a broken chain), and those bytes
    // as full image rows (missing bytes read as index 0).
    const SpriteRecord* sprite(int index) const;
    const QBlobStore& blobStore() const { return store; }
    int linkTarget(int index) const;
    QByteArray spritePixels(int index) const;

    // Palettes
    int paletteCount() const { return int(palettes.size()); }
    PaletteInfo paletteInfo(int index) const;
    void setPaletteInfo(int index, qint16 group, qint16 number, quint16 colourCount);
    QByteArray paletteData(int index) const;
    void setPaletteData(int index, const QByteArray& colours);
    int findIdenticalPalette(const QByteArray& colours) const;
    int addPalette(const QByteArray& colours, bool reuse, qint16 group, int number);
    int insertPalette(int index, const QByteArray& colours, bool reuse, qint16 group, int number);
    void removePalette(int index);
    void clearPalettes();
    const PaletteRecord* palette(int index) const;

    // ACT files: 768 bytes, entries stored last first.
    static bool loadPaletteAct(const QString& fileName, QByteArray& colours);
    bool savePaletteAct(int index, const QString& fileName) const;

    // 32 when colours 32 to 255 are all equal, else 256.
    static quint16 colourCountOf(const QByteArray& colours);

signals:
    // pos 0 starts an operation of `max` steps, pos == max ends it; a receiver
    // clears `allow` to cancel.
    void progress(uint pos, uint max, bool& allow);

private:
    struct LoadContext;
    bool loadVersion1(LoadContext& c);
    bool loadVersion2(LoadContext& c);
    void resolvePaletteLinks();
    // The sprite a chain from `index` ends at, looking only at the first
    // `limit` sprites; -1 when it leaves them, loops or links to itself.
    int followLink(int index, int limit) const;
    bool reportProgress(uint pos, uint max);
    void countDown(uint from, uint max);
    // The record's image rows, completed to its full size; false without a blob.
    bool readRows(const SpriteRecord& r, QByteArray& rows) const;
    QByteArray rowsOfImage(const QImage& image) const;

    QMessages* messages;
    QList<SpriteRecord> sprites;
    QBlobStore store;
    QString savedName;
    QList<PaletteRecord> palettes;
    int version = 0;
};

#endif

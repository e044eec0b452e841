#ifndef SFFFORMAT_H
#define SFFFORMAT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class QIODevice;
class QMessages;
class QSprites;
enum class SffVersion : quint8;
struct PaletteRecord;
struct SpriteRecord;

// SFF files: reading versions 1.01, 2.00 and 2.01 into an archive, and
// writing any of them.
//
// Every count, offset and length of a file is checked against the bytes that
// are there before it is used; problems become lines of the archive's issues
// list, and whatever can still be read is kept. The data block of every sprite
// read whole is kept as it was (see SpriteRecord::dataFormat): a sprite
// nobody changed is written back byte for byte when the version written can
// hold its encoding, and is decoded only when it is first shown.
class SffFormat
{
public:
    // The file's version when this program reads it; Unknown for anything
    // else, which for an SFF file of another version is also a line of
    // `messages`.
    static SffVersion version(const QByteArray& bytes, QMessages* messages, const QString& name);
    // Empties the archive's sprites and reads the file into it (version 2
    // files bring their own palettes; version 1 files add theirs). False,
    // with the archive as it was, when the bytes are not a file of a version
    // this program reads. A load cancelled through the progress signal
    // leaves an empty archive and returns true.
    static bool read(QSprites& sprites, const QByteArray& bytes, const QString& name);
    // Writes the archive as `version` through a temporary file that takes the
    // old one's place only once complete. False (the old file as it was) when
    // it cannot be written, the save was cancelled, or the archive holds
    // true-colour sprites and the version is not 2.01.
    static bool write(QSprites& sprites, const QString& fileName, SffVersion version, bool fullLz5 = true);
    // The same into any device; nothing of the file is committed here.
    static bool write(QSprites& sprites, QIODevice* out, SffVersion version, bool fullLz5 = true);

    // The rows of a sprite (as SpriteRecord keeps image rows) from its kept
    // data block; zeros where the block has nothing to give.
    static QByteArray decodeBlock(QByteArrayView block, const SpriteRecord& sprite);

    // How version 1.01, which has no palette list of its own, writes the
    // sprites, and the palettes a reader of that file makes of them again: a
    // palette travels inside each sprite's PCX image, a sprite that uses the
    // palette of the sprite before it says so with the shared flag, and a
    // link is kept only where a reader can follow it to an earlier sprite.
    struct Version1Plan
    {
        QList<bool> withData;      // else written as a link
        QList<bool> samePalette;   // the subfile's shared-palette flag
        QList<QByteArray> palettes; // the colours a reader finds, in its order
        QList<quint16> paletteOf;  // each sprite's palette after reading
    };
    static Version1Plan planVersion1(const QSprites& sprites);
    static Version1Plan planVersion1(const QList<SpriteRecord>& sprites, const QList<PaletteRecord>& palettes);

    // What writing `version` cannot keep as it is.
    struct Losses
    {
        int trueColour = 0;   // sprites with more than 256 colours (only 2.01 keeps them)
        bool palettes = false; // version 1.01: the palettes read back otherwise
        bool any() const { return trueColour > 0 || palettes; }
    };
    static Losses lossesOf(const QSprites& sprites, SffVersion version);

private:
    struct Reader;
    struct Writer;
};

#endif

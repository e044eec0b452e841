#ifndef SFFFORMAT_H
#define SFFFORMAT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;
class QMessages;
class QSprites;
struct PaletteRecord;
struct SpriteRecord;

// SFF files: reading versions 1.01 and 2.00 into an archive, writing 2.00.
//
// Every count, offset and length of a file is checked against the bytes that
// are there before it is used; problems become lines of the archive's issues
// list, and whatever can still be read is kept.
class SffFormat
{
public:
    // 1 or 2 for the file versions this program reads; 0 for anything else,
    // which for an SFF file of another version is also a line of `messages`.
    static int version(const QByteArray& bytes, QMessages* messages, const QString& name);
    // Empties the archive's sprites and reads the file into it (version 2
    // files bring their own palettes; version 1 files add theirs). False,
    // with the archive as it was, when the bytes are not a file of a version
    // this program reads. A load cancelled through the progress signal
    // leaves an empty archive and returns true.
    static bool read(QSprites& sprites, const QByteArray& bytes, const QString& name);
    // Writes the archive as version 2.00 through a temporary file that takes
    // the old one's place only once complete. False (the old file as it was)
    // when it cannot be written or the save was cancelled.
    static bool write(QSprites& sprites, const QString& fileName, bool fullLz5);
    // The same into any device; nothing of the file is committed here.
    static bool write(QSprites& sprites, QIODevice* out, bool fullLz5);

private:
    struct Reader;
    struct Writer;
};

#endif

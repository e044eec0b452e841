// Any bytes as a sprite archive of any version, then every sprite drawn and
// the archive saved and read back.
#include "qmessages.h"
#include "qsprites.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!sprites.load(bytes, QStringLiteral("fuzz.sff")))
        return 0;
    // Headers may ask for large, empty sprites (the loader allows a few tens
    // of megabytes whatever the data); drawing and saving those only slows
    // the search down.
    qint64 pixels = 0;
    for (int i = 0; i < sprites.spriteCount(); ++i) {
        const SpriteSize s = sprites.spriteSize(i);
        pixels += qint64(s.width) * s.height;
    }
    if (pixels > (1 << 18))
        return 0;
    for (int i = 0; i < sprites.spriteCount(); ++i) {
        (void)sprites.spriteImage(i);
        (void)sprites.spritePixels(i);
    }
    const QString saved = dir.filePath(QStringLiteral("fuzz.sff"));
    if (sprites.save(saved, true)) {
        QSprites again(&messages, BlobsInMemory, false, -1);
        again.load(saved);
    }
    return 0;
}

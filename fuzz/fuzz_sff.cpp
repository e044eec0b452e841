// Any bytes as a sprite archive of any version, then every sprite drawn (PNG
// blocks are decoded when first shown), and the archive written in each
// version it can be and read back.
#include "qmessages.h"
#include "qsprites.h"
#include "sffformat.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
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
    // True colour goes only into 2.01; the others refuse it without writing.
    for (SffVersion version : {SffVersion::V101, SffVersion::V200, SffVersion::V201}) {
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        if (!SffFormat::write(sprites, &file, version))
            continue;
        QSprites again(&messages, BlobsInMemory, false, -1);
        again.load(file.data(), QStringLiteral("again.sff"));
        for (int i = 0; i < again.spriteCount(); ++i)
            (void)again.spritePixels(i);
    }
    return 0;
}

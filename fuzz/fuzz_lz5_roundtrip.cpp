// Any bytes as the pixels of a 32-colour sprite: LZ5 (with and without the
// back-reference search) and RLE8 must give them back exactly. Small inputs
// are also encoded the plain way, which the real encoder must match byte for
// byte.
#include "spritecodecs.h"

#include "../tests/sprites/lz5reference.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int width = 1 + data[0] % 64;
    QByteArray pixels(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    for (char& c : pixels)
        c = char(c & 0x1F);
    const int height = int(pixels.size() / width);
    if (height == 0)
        return 0;
    pixels.truncate(qsizetype(width) * height);
    QImage image(width, height, QImage::Format_Indexed8);
    for (int y = 0; y < height; ++y)
        memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * width, size_t(width));
    for (bool full : {true, false}) {
        const QByteArray encoded = encodeLz5(image, full);
        const QImage back = decodeLz5(encoded, width, height);
        for (int y = 0; y < height; ++y)
            if (memcmp(back.constScanLine(y), image.constScanLine(y), size_t(width)) != 0)
                __builtin_trap();
        if (pixels.size() <= 1024 && encoded != lz5reference::encode(pixels, full))
            __builtin_trap();
    }
    const QImage rle = decodeRle8(encodeRle8(image), width, height, QImage::Format_Indexed8);
    for (int y = 0; y < height; ++y)
        if (memcmp(rle.constScanLine(y), image.constScanLine(y), size_t(width)) != 0)
            __builtin_trap();
    return 0;
}

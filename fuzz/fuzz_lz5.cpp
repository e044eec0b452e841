// Any bytes as LZ5 sprite data, for a sprite of up to 512 x 512 pixels
// taken from the first bytes of the input.
#include "spritecodecs.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    const int width = (data[0] | data[1] << 8) % 513;
    const int height = (data[2] | data[3] << 8) % 513;
    const QByteArrayView body(reinterpret_cast<const char*>(data) + 5, qsizetype(size - 5));
    const QImage image = decodeLz5(body, width, height);
    if ((width == 0 || height == 0) != image.isNull())
        __builtin_trap();
    return 0;
}

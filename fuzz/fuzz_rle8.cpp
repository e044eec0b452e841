// Any bytes as RLE8 sprite data, for a sprite of up to 512 x 512 pixels in
// any of its pixel layouts, all taken from the first bytes of the input.
#include "decoderfuzz.h"
#include "spritecodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzDecoder(data, size, [data](QByteArrayView body, int width, int height) {
        return decodeRle8(body, width, height, fuzzedFormat(data));
    });
}

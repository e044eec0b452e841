// Any bytes as RLE5 sprite data, for a sprite of up to 512 x 512 pixels
// taken from the first bytes of the input.
#include "decoderfuzz.h"
#include "spritecodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzDecoder(data, size, [](QByteArrayView body, int width, int height) {
        return decodeRle5(body, width, height);
    });
}

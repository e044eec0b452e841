// Any bytes as a PCX file; what decodes is encoded and decoded again.
#include "pcx.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QImage image = readPcx(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (image.isNull() || qsizetype(image.width()) * image.height() > 1 << 20)
        return 0;
    const QImage again = readPcx(encodePcx(image));
    if (again.size() != image.size() || again.format() != image.format())
        __builtin_trap();
    return 0;
}

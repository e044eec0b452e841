// Reads the facts of arbitrary bytes as a WAV file.
#include "wavinfo.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const WavInfo info = readWavInfo(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!std::isfinite(info.duration) || info.duration < 0)
        abort();
    if (info.channels > 0xFFFF || info.bitsPerSample > 0xFFFF)
        abort();
    const QString text = durationText(info);
    if (text.isEmpty() || (text == QLatin1String("--")) == hasDuration(info))
        abort();
    return 0;
}

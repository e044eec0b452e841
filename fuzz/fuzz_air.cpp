// The AIR parser on arbitrary bytes in any encoding. Besides not crashing, what
// the writer produces must read back into the same records (checked by
// comparing the second write with the first).
#include "qanimations.h"
#include "qmessages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Large binary seeds (sprite and sound archives beside the AIR files) only
    // slow the search down; real AIR files are well below this.
    if (size > 64 * 1024)
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QMessages messages;
    QAnimations first(&messages);
    first.parse(bytes, QStringLiteral("fuzz.air"));
    const QByteArray written = first.toBytes();

    QAnimations second(&messages);
    second.parse(written, QStringLiteral("again.air"));
    if (second.actionCount() != first.actionCount() || second.toBytes() != written)
        abort();

    for (int a = 0; a < first.actionCount(); ++a) {
        (void)first.actionText(a);
        for (int f = 0; f < first.frameCount(a); ++f)
            (void)first.frame(a, f);
    }
    return 0;
}

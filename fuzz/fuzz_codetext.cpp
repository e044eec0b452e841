// Reading a code file's bytes (the encoding guess and the decoders) on
// arbitrary bytes. Besides not crashing: the text read and written back with
// the bytes it came from gives those bytes exactly, and written in the same
// format without them reads back as the same text.
#include "codeencoding.h"
#include "codetext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const CodeText code = readCodeText(bytes);

    QByteArray same;
    if (!writeCodeText(code.text, code.format, bytes, &same) || same != bytes)
        abort();

    // Every encoding reads every byte; what is read is written back.
    for (CodeEncoding e : codeencoding::choices()) {
        const CodeText other = readCodeText(bytes, e);
        QByteArray fresh;
        if (!writeCodeText(other.text, other.format, QByteArray(), &fresh))
            continue;
        // A character with two byte forms may be written the other way; next
        // to a byte the encoding does not define (kept as it was) that form
        // can pair with it into another character. Text read without such
        // bytes must read back the same.
        if (other.invalidBytes > 0 && fresh != bytes)
            continue;
        if (readCodeText(fresh, e).text != other.text)
            abort();
    }
    return 0;
}

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
            continue; // a character with two byte forms may write another way
        if (readCodeText(fresh, e).text != other.text)
            abort();
    }
    return 0;
}

// The DEF reader on arbitrary bytes, with its names looked up in a small
// folder laid out like an engine's (chars/x/x.def, data/). Besides not
// crashing: every reference sits on a line of the text, keeps the value it
// was given, and names an existing path exactly when it was found.
#include "characterdef.h"
#include "codetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString engineRoot()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        for (const char* f : {"chars/x/x.def", "chars/x/X.SFF", "chars/x/act/p1.act", "chars/x/x.air", "data/common1.cns"}) {
            const QString path = dir.path() + QLatin1Char('/') + QLatin1String(f);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }();
    if (!made)
        abort();
    return dir.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    static const QString def = engineRoot() + QStringLiteral("/chars/x/x.def");
    const QString text =
        readCodeText(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))).text;
    const CharacterDef read = readCharacterDef(text, def);
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    for (const DefReference& r : read.references) {
        if (r.line < 1 || r.line > lines || r.value.isEmpty() || r.key.isEmpty())
            abort();
        if ((r.found == DefReference::Missing) != r.path.isEmpty())
            abort();
        if (!r.path.isEmpty() && !QFileInfo::exists(r.path))
            abort();
    }
    (void)read.last(DefReference::Sprites);
    return 0;
}

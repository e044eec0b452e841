// morvane-tool def: the files a DEF names and where the editor finds them,
// as opening the DEF in the window would.
#include "characterdef.h"
#include "codetext.h"
#include "toolcommand.h"

#include <QFile>
#include <QFileInfo>

namespace {

int runDef(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand defCommand("def",
                             "def FILE...            one line per file a DEF names: key, value, the file found "
                             "(and how) or \"not found\"; status 1 when any is missing",
                             runDef);

const char* how(DefReference::Found f)
{
    switch (f) {
    case DefReference::Exact: return "";
    case DefReference::Separators: return " (backslashes)";
    case DefReference::LetterCase: return " (letter case)";
    case DefReference::Quotes: return " (quotes)";
    case DefReference::EngineFolder: return " (engine folder)";
    case DefReference::Missing: break;
    }
    return "";
}

int runDef(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty())
        return toolUsageError(defCommand, err, "no DEF file");
    bool missing = false;
    for (const QString& path : args) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            err << "morvane-tool: cannot read " << path << '\n';
            missing = true;
            continue;
        }
        const CharacterDef def = readCharacterDef(readCodeText(file.read(16 << 20)).text, path);
        for (const DefReference& r : def.references) {
            out << path << ':' << r.line << ": " << r.key << " = " << r.value << " -> ";
            if (r.found == DefReference::Missing) {
                out << "not found\n";
                missing = true;
            } else {
                out << r.path << how(r.found) << '\n';
            }
        }
    }
    return missing ? ExitFailed : ExitOk;
}

} // namespace

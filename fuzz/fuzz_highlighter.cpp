// Random lines after a random section header, checked with the shipped syntax
// file. The first byte picks the header (and controller type line); the rest
// is the text, one byte per character so that every byte value is seen.
// A mark must lie inside its line, and no line may make the checker loop.
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
SyntaxDefinition* syntax = nullptr;

const char* const headers[] = {
    "", "[Remap]", "[Defaults]", "[Command]", "[Statedef 0]", "[Data]", "[Size]", "[Velocity]", "[Movement]",
    "[Quotes]", "[Begin Action 0]", "[Info]", "[Files]", "[Palette Keymap]", "[Arcade]", "[State 0, 1]",
    "[Camera]", "[PlayerInfo]", "[Bound]", "[StageInfo]", "[Shadow]", "[Reflection]", "[Music]", "[BGDef]",
    "[BG 0]", "[FNT v2]", "[Def]", "[State 0]\ntype = Bogus", "[State 0]\ntype = Null", "[State 0]\ntype = HitDef",
    "[State 0]\ntype = Projectile", "[State 0]\ntype = VarSet", "[State 0]\ntype = Explod",
    "[State 0]\ntype = PlaySnd", "[State 0]\ntype = ForceFeedback", "[State 0]\ntype = Width",
    "[State 0]\ntype = AssertSpecial", "[BG 0]\ntype = parallax", "[Def]\ntype = truetype", "[SceneDef]", "[Foo]",
    // Sections whose reading depends on the file around them: motif files
    // are told by a later header, labels hold any byte, unknown headers inside
    // a Statedef start controllers.
    "[Info]", "[Files]", "[Music]", "[Title Info]", "[TitleBG 0]\ntype = normal", "[Scene 0]", "[BG0 Credits]",
    "[Characters]", "[Scaling]", "[Statedef 0]\n[Stat 0, 1]", "[Statedef 0]\n[State 0, \x83]\x83p]", "[Statedef 0]\n[State ]",
    "[Statedef 0]\n[State 0]\ntype = ReversalDef", "[Statedef 0]\n[State 0]\ntype = SuperPause", "[BG 0]\ntype = anim",
    "[BG 0]\ntype = p", "[Statedef 0]\ntype = S",
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QGuiApplication app(*argc, *argv);
    syntax = new SyntaxDefinition;
    if (!syntax->load(QStringLiteral(MORVANE_DATA_DIR "/syntax.xml"))) {
        fprintf(stderr, "fuzz_highlighter: cannot read %s/syntax.xml\n", MORVANE_DATA_DIR);
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 16 * 1024)
        return 0;
    const char* header = headers[data[0] % (sizeof headers / sizeof *headers)];
    const QString text = QString::fromLatin1(header) + QLatin1Char('\n')
                         + QString::fromLatin1(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    QTextDocument doc;
    doc.setPlainText(text);
    QMugenHighlighter highlighter(&doc, syntax);
    highlighter.rehighlight();
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        if (m.start < 0 || m.length <= 0 || m.start + m.length > doc.findBlockByNumber(m.line).length())
            abort();
    return 0;
}

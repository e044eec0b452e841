// The syntax-file loader on arbitrary bytes, then the highlighter over a few
// lines that touch every rule, with whatever tables the bytes produced: a
// user-edited syntax.xml must never crash or hang the editor.
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024)
        return 0;
    SyntaxDefinition syntax;
    syntax.loadData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)syntax.vocabulary();

    static const char* const sample =
        "[Statedef 200]\ntype = S\nvelset = 1, 2\n"
        "[State 200, 1]\ntype = ChangeState\ntrigger1 = AnimElem = 2, 1 && Const(data.life) || Pos X > 1\n"
        "value = S10, 2\nattr = S, NA\nvar(1) = HitDefAttr = SC, NA, SA\np = 1, Hit\nx = 1, 2, 3, 4\n"
        "[BG 1]\ntype = normal\nspriteno = 0, 0\n[Def]\ntype = bitmap\nsize = 1,2\n"
        "[Data]\nlife = 1000\n[Velocity]\nwalk.fwd = 2.4\n[Files]\ncmd = a.cmd\n[FNT v2]\nname = \"x\"\n"
        "[Statedef 1]\n[State 1, a]\ntrigger1 = 1\nhitflag = MAFQ\ntype = HitDef\nhitsound = S5, 2\nanimtype = Heavy\n"
        "[Stat 1]\ntype = BGtype\n[Files]\nspr = s.sff\n[Title Info]\n[TitleBG 1]\ntype = p\n[Begin Action 1]\n0,0,0,0,5,,add\n";
    QTextDocument doc;
    doc.setPlainText(QString::fromLatin1(sample));
    QMugenHighlighter highlighter(&doc, &syntax);
    highlighter.rehighlight();
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        if (m.start < 0 || m.start + m.length > doc.findBlockByNumber(m.line).length())
            abort();
    return 0;
}

#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QtGui>
#include <QtTest>

class TestQMugenHighlighter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(syntax.load(QCoreApplication::applicationDirPath() + "/syntax.xml")); }
    void lines_data();
    void lines();
    void stateFollowsEdits();
    void controllerStatesBeyondTheirRoom();

private:
    SyntaxDefinition syntax;
};

namespace {

// "message @start 'marked text'" for each mark of the line, joined by "; ".
QString describe(const QTextBlock& block)
{
    QStringList parts;
    for (const CodeMark& m : QMugenHighlighter::marks(block))
        parts << QString("%1 @%2 '%3'").arg(m.message).arg(m.start).arg(block.text().mid(m.start, m.length));
    return parts.join("; ");
}

QTextCharFormat formatAt(const QTextBlock& block, int pos)
{
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (pos >= r.start && pos < r.start + r.length)
            return r.format;
    return QTextCharFormat();
}

} // namespace

void TestQMugenHighlighter::lines_data()
{
    QTest::addColumn<QString>("context"); // lines before the one under test
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("marks"); // "*": hostile input, any marks so long as each lies inside its line
    QTest::addColumn<QString>("colours"); // "text=format|..." (the last occurrence of text)
    QTest::addColumn<int>("state");       // block state of the line, -2: not checked

    const int free = QMugenHighlighter::FreeSection;
    const QString changeState = "[State 200, 1]\ntype = ChangeState";
    const QString hitdef = "[State 200, 1]\ntype = HitDef";
    const QString null = "[State 200, 1]\ntype = Null";

    // Section headers
    QTest::newRow("statedef") << "" << "[Statedef 200]" << "" << "[Statedef 200]=block" << 4;
    QTest::newRow("statedef negative, labelled") << "" << "[Statedef -1, Commands]" << "" << "" << 4;
    QTest::newRow("statedef extra word") << "" << "[Statedef 200 x]" << "Wrong StateDef @0 '[Statedef 200 x]'" << "" << 4;
    QTest::newRow("state extra word") << "" << "[State 200 x]" << "Wrong State @0 '[State 200 x]'" << "" << 15;
    QTest::newRow("statedef without number") << "[Data]" << "[Statedef]" << "Invalid block @0 '[Statedef]'" << "" << free;
    QTest::newRow("unknown section is not checked") << "[Data]\n[Foo]" << "life = x" << "" << "" << free;
    QTest::newRow("empty header keeps section") << "[Data]" << "[]" << "Invalid block @0 '[]'" << "" << 5;
    QTest::newRow("word after name") << "" << "[Data x]" << "Invalid block @0 '[Data x]'" << "" << 5;
    QTest::newRow("unclosed header") << "[Size]" << "[Data" << "Invalid block @0 '[Data'" << "" << 5;
    QTest::newRow("text after header") << "" << "[Data] x" << "Syntax error @6 ' x'" << "" << 5;
    QTest::newRow("bg with name") << "" << "[BG Wall reflection on floor]" << "" << "" << 24;
    QTest::newRow("storyboard scene") << "" << "[Scene 0]" << "" << "" << free;
    QTest::newRow("storyboard keys") << "[SceneDef]" << "spr = intro.sff" << "" << "spr=keyword" << free;
    QTest::newRow("nothing before a section") << "" << "life = 1" << "Syntax error @0 'life = 1'" << "" << 0;
    QTest::newRow("comment line in a section") << "[Camera]" << "   ;a note" << "" << ";a note=comment" << 16;

    // Controller blocks
    QTest::newRow("trigger before type") << "[State 200, 1]" << "trigger1 = 1" << "Syntax error @0 'trigger1 = 1'" << "" << 15;
    QTest::newRow("controller type") << "[State 200, 1]" << "type = ChangeState" << "" << "ChangeState=controller|type=keyword" << -2;
    QTest::newRow("controller parameter") << changeState << "value = 200" << "" << "value=keyword|200=number" << -2;
    QTest::newRow("unknown parameter") << changeState << "foo = 1 + x" << "Invalid 'changestate' parameter @0 'foo ='" << "" << -2;
    QTest::newRow("unknown controller") << "[State 200, 1]" << "type = MapSet" << "Invalid 'State type' value @6 ' MapSet'" << "" << 27;
    QTest::newRow("triggers of unknown controller") << "[State 200, 1]\ntype = MapSet" << "trigger1 = 1 +" << "" << "" << 27;
    QTest::newRow("font type") << "[Def]" << "Type = bitmap" << "" << "bitmap=controller" << 250;
    QTest::newRow("font type unknown") << "[Def]" << "type = bogus" << "Invalid 'Def' value @6 ' bogus'" << "" << 27;
    QTest::newRow("bg type unknown") << "[BG 1]" << "type = bogus" << "Invalid 'BG' value @6 ' bogus'" << "" << 27;
    QTest::newRow("bg without type, anim key") << "[BG 1]" << "actionno = 5" << "Invalid 'normal' parameter @0 'actionno ='" << "" << 24;
    QTest::newRow("var family") << "[State 0]\ntype = VarSet" << "var(12) = 3" << "" << "var(12)=keyword" << -2;
    QTest::newRow("var family, no number") << "[State 0]\ntype = VarSet" << "var(x) = 3" << "Invalid 'varset' parameter @0 'var(x) ='" << "" << -2;
    QTest::newRow("null takes anything") << null << "x = whatever 1 2" << "" << "" << -2;

    // Fixed sections
    QTest::newRow("statedef type") << "[Statedef 200]" << "type = X" << "Invalid 'StateDef type' value @6 ' X'" << "" << 4;
    QTest::newRow("statedef type with comment") << "[Statedef 200]" << "type = s ;ok" << "" << "s=value|;ok=comment" << 4;
    QTest::newRow("statedef movetype") << "[Statedef 200]" << "movetype = Q" << "Invalid 'StateDef movetype' value @10 ' Q'" << "" << 4;
    QTest::newRow("statedef velset x only") << "[Statedef 200]" << "velset = 1" << "" << "" << 4;
    QTest::newRow("statedef unknown") << "[Statedef 200]" << "foo = 1" << "Invalid 'StateDef' parameter @0 'foo'" << "" << 4;
    QTest::newRow("remap value") << "[Remap]" << "x = q" << "Invalid 'Remap' value @3 ' q'" << "" << -2;
    QTest::newRow("remap blank") << "[Remap]" << "s =" << "" << "" << -2;
    QTest::newRow("remap parameter") << "[Remap]" << "q = x" << "Invalid 'Remap' parameter @0 'q'" << "" << -2;
    QTest::newRow("defaults") << "[Defaults]" << "command.time = x" << "Unexpected token 'x' @14 ' x'" << "" << -2;
    QTest::newRow("command name") << "[Command]" << "name = \"QCF_x\"" << "" << "\"QCF_x\"=string" << -2;
    QTest::newRow("command unknown") << "[Command]" << "buffer.hitpause = 1" << "Invalid 'Command' parameter @0 'buffer.hitpause'" << "" << -2;
    QTest::newRow("quotes") << "[ja.Quotes]" << "victory1 = \"Well done\"" << "" << "victory1=keyword|\"=string" << 9;
    QTest::newRow("quotes 100") << "[ja.Quotes]" << "victory100 = \"x\"" << "Invalid 'Quotes' parameter @0 'victory100'" << "" << 9;
    QTest::newRow("info date slashes") << "[Info]" << "versiondate = 09/30/2009" << "" << "" << -2;
    QTest::newRow("info version") << "[Info]" << "mugenversion = 1.0" << "" << "1.0=number" << -2;
    QTest::newRow("info unknown") << "[Info]" << "foo = 1" << "Invalid 'Info'' parameter @0 'foo'" << "" << -2;
    QTest::newRow("keymap") << "[Palette Keymap]" << "x2 = 7" << "" << "" << 13;
    QTest::newRow("keymap unknown") << "[Palette Keymap]" << "q = 1" << "Invalid 'Palette Keymap' parameter @0 'q'" << "" << -2;
    QTest::newRow("section map") << "[Data]" << "life = 1000 ; a remark" << "" << "1000=number|; a remark=comment|life=keyword" << -2;
    QTest::newRow("section map extra") << "[Size]" << "height = 1 2" << "Syntax error @10 ' 2'" << "" << -2;
    QTest::newRow("section map unknown") << "[Files]" << "movelist = movelist.dat" << "Invalid 'Files' parameter @0 'movelist'" << "" << -2;
    QTest::newRow("negative integer") << "[Data]" << "life = -5" << "" << "-5=number" << -2;
    QTest::newRow("detached minus") << "[Data]" << "life = - 5" << "Unexpected token '-' @6 ' -'; Syntax error @8 ' 5'" << "" << -2;
    QTest::newRow("point number") << "[Data]" << "life = .5" << "Unexpected token '0.5' @6 ' .5'" << "" << -2;
    QTest::newRow("negative point number") << "[Size]" << "xscale = -.5" << "" << "-.5=number" << -2;
    QTest::newRow("float2opt two") << "[Velocity]" << "jump.neu = 0,-8.4" << "" << "" << -2;
    QTest::newRow("fnt string") << "[FNT v2]" << "name = \"Arcade\"" << "" << "" << 25;

    // Animation lines
    QTest::newRow("frame") << "[Begin Action 10]" << "0,0, 0,0, 5, H, A" << "" << "H=value|A=value" << 10;
    QTest::newRow("frame flip") << "[Begin Action 10]" << "0,0, 0,0, 5, X" << "Invalid flip @12 ' X'" << "" << 10;
    QTest::newRow("frame blend") << "[Begin Action 10]" << "0,0,0,0,5,,AS256D0" << "" << "AS256D0=value" << 10;
    QTest::newRow("frame blend bad") << "[Begin Action 10]" << "0,0,0,0,5,,Q" << "Invalid transparency @11 'Q'" << "" << 10;
    QTest::newRow("frame forever") << "[Begin Action 10]" << "-1,0, 0,0, -1" << "" << "" << 10;
    QTest::newRow("box") << "[Begin Action 10]" << "Clsn2[0] = -10, 0, 10, -79" << "" << "Clsn2=keyword" << 10;
    QTest::newRow("box count") << "[Begin Action 10]" << "Clsn1: 1" << "" << "" << 10;
    QTest::newRow("default boxes") << "[Begin Action 10]" << "Clsn2Default: 2" << "" << "" << 10;
    QTest::newRow("loopstart") << "[Begin Action 10]" << "Loopstart" << "" << "Loopstart=keyword" << 10;
    QTest::newRow("short frame") << "[Begin Action 10]" << "0,0, 0,0" << "" << "" << 10; // marked on an empty span

    // Expressions
    QTest::newRow("precedence") << null << "trigger1 = 1 + 2 * 3" << "" << "" << -2;
    QTest::newRow("brackets") << null << "trigger1 = (1 + 2) * 3" << "" << "" << -2;
    QTest::newRow("power operator") << null << "trigger1 = 2 ** Var(1)" << "" << "" << -2;
    QTest::newRow("interval") << null << "trigger1 = Var(1) = [1, 3)" << "" << "Var=trigger" << -2;
    QTest::newRow("interval open") << null << "trigger1 = Var(1) != (1, 3]" << "" << "" << -2;
    QTest::newRow("redirection") << null << "trigger1 = root, Life" << "" << "root=trigger|Life=trigger" << -2;
    QTest::newRow("redirection with id") << null << "triggerall = enemy(1), Life && helper(1000), Var(1) = 2" << "" << "" << -2;
    QTest::newRow("redirection without comma") << null << "trigger1 = root Life" << "Unexpected token 'Life' @15 ' Life'" << "" << -2;
    QTest::newRow("unary minus and component") << null << "trigger1 = -5 < Vel Y" << "" << "-5=number|Y=value" << -2;
    QTest::newRow("component missing") << null << "trigger1 = Pos Q" << "Invalid value @14 ' Q'" << "" << -2;
    QTest::newRow("bitwise not") << null << "trigger1 = ~Var(1) & 3" << "" << "" << -2;
    QTest::newRow("assignment") << null << "trigger1 = (Var(1) := 3) || 1" << "" << "" << -2;
    QTest::newRow("unknown word") << null << "trigger1 = Foo + 1" << "Invalid expression value @10 ' Foo'" << "" << -2;
    QTest::newRow("animelem relop") << null << "trigger1 = AnimElem = 2, >= 1" << "" << "" << -2;
    QTest::newRow("animelem offset") << null << "trigger1 = AnimElem = 2, 1" << "" << "" << -2;
    QTest::newRow("animelem word") << null << "trigger1 = AnimElem = 2, x" << "Unexpected token 'x' @24 ' x'" << "" << -2;
    QTest::newRow("timemod") << null << "trigger1 = TimeMod = 4, 0" << "" << "" << -2;
    QTest::newRow("projhit with id") << null << "trigger1 = ProjHit1200 = 1, < 5" << "" << "ProjHit1200=trigger" << -2;
    QTest::newRow("const") << null << "trigger1 = Const(data.life) > 0" << "" << "data.life=const" << -2;
    QTest::newRow("const unknown") << null << "trigger1 = Const(data.bogus)" << "Invalid constant @17 'data.bogus'" << "" << -2;
    QTest::newRow("state type") << null << "trigger1 = StateType = S" << "" << "S=value" << -2;
    QTest::newRow("state type bad") << null << "trigger1 = StateType = Q" << "Invalid value @22 ' Q'" << "" << -2;
    QTest::newRow("hitdefattr list") << null << "trigger1 = HitDefAttr = SC, NA, SA, HA" << "" << "HA=value" << -2;
    QTest::newRow("hitdefattr bad tail") << null << "trigger1 = HitDefAttr = SC, NA, XY" << "Syntax error @30 ', XY'" << "" << -2;
    QTest::newRow("command string") << null << "trigger1 = command = \"holdfwd\" && !ctrl" << "" << "\"=string" << -2;
    QTest::newRow("unterminated string") << null << "trigger1 = Time \"open" << "" << "" << -2;
    QTest::newRow("assignment operator stops") << null << "trigger1 = 1 |= 2" << "" << "" << -2;
    QTest::newRow("missing operand is invisible") << null << "trigger1 =" << "" << "" << -2;

    // Parameter values
    QTest::newRow("value list joined") << hitdef << "attr = S , NA" << "" << "NA=value" << -2;
    QTest::newRow("value pattern") << hitdef << "hitflag = MAFQ" << "Invalid 'State' parameter value @9 ' MAFQ'" << "" << -2;
    QTest::newRow("strexp prefix") << hitdef << "sparkno = S8100" << "" << "S=value|8100=number" << -2;
    QTest::newRow("strexp other letter") << hitdef << "sparkno = Q8100" << "Invalid expression value @9 ' Q'; Syntax error @11 '8100'" << "" << -2;
    QTest::newRow("strexp2") << hitdef << "hitsound = S5, 2" << "" << "" << -2;
    QTest::newRow("expstr") << hitdef << "priority = 4, Hit" << "" << "Hit=value" << -2;
    QTest::newRow("expstr bad word") << hitdef << "priority = 4, Bogus" << "Invalid 'State' parameter value @13 ' Bogus'" << "" << -2;
    QTest::newRow("intfloat3") << "[State 0]\ntype = ForceFeedback" << "freq = 1, 2.5, 3, .4" << "" << "" << -2;
    QTest::newRow("intfloat3 float first") << "[State 0]\ntype = ForceFeedback" << "freq = 1.5, 2, 3, 4" << "Unexpected token '1.5' @6 ' 1.5'" << "" << -2;
    QTest::newRow("explod anim") << "[State 0]\ntype = Explod" << "anim = F100" << "" << "F=value|100=number" << -2;
    QTest::newRow("quoted string") << "[State 0]\ntype = Helper" << "name = \"Fireball\"" << "" << "" << -2;
    QTest::newRow("latin-1 comment") << "[Data]" << QString::fromLatin1("life = 1 ; caf\xe9") << "" << "" << -2;

    // Hostile lines end quickly and keep every mark inside the line.
    QTest::newRow("hostile brackets") << null << "trigger1 = " + QString(20000, '(') << "*" << "" << -2;
    QTest::newRow("hostile nots") << null << "trigger1 = " + QString(20000, '!') << "*" << "" << -2;
    QTest::newRow("hostile minus and tilde") << null << "trigger1 = " + QString("-~").repeated(10000) << "*" << "" << -2;
    QTest::newRow("hostile redirections") << null << "trigger1 = " + QString("root,").repeated(10000) << "*" << "" << -2;
    QTest::newRow("hostile intervals") << null << "trigger1 = " + QString("1=[").repeated(10000) << "*" << "" << -2;
    QTest::newRow("hostile long header") << "" << "[" + QString("a ").repeated(20000) << "*" << "" << -2;
    QTest::newRow("hostile long value list") << null << "trigger1 = HitDefAttr = SC" + QString(", NA").repeated(20000) << "*" << "" << -2;
    QTest::newRow("hostile control characters") << "[Data]" << QString::fromLatin1("life\0=\r1\x01\x7f", 10) << "*" << "" << -2;
}

void TestQMugenHighlighter::lines()
{
    QFETCH(QString, context);
    QFETCH(QString, line);
    QFETCH(QString, marks);
    QFETCH(QString, colours);
    QFETCH(int, state);

    QTextDocument doc;
    doc.setPlainText(context.isEmpty() ? line : context + '\n' + line);
    QMugenHighlighter h(&doc, &syntax);
    QElapsedTimer t;
    t.start();
    h.rehighlight();
    QVERIFY2(t.elapsed() < 5000, "a single line takes seconds");
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        QVERIFY(m.start >= 0 && m.start + m.length <= doc.findBlockByNumber(m.line).length());
    if (marks == "*")
        return;
    const QTextBlock block = doc.lastBlock();
    QCOMPARE(block.text(), line);
    QCOMPARE(describe(block), marks);
    if (state != -2)
        QCOMPARE(block.userState(), state);
    static const QStringList formats = {"comment", "block", "number", "string", "keyword", "value", "controller", "trigger", "const"};
    for (const QString& c : colours.split('|', Qt::SkipEmptyParts)) {
        const int eq = c.lastIndexOf('='), at = line.lastIndexOf(c.left(eq));
        QVERIFY2(at >= 0, qPrintable(c));
        QVERIFY2(formatAt(block, at) == syntax.format(SyntaxDefinition::Format(formats.indexOf(c.mid(eq + 1)))), qPrintable(c));
    }
}

void TestQMugenHighlighter::stateFollowsEdits()
{
    QTextDocument doc;
    doc.documentLayout(); // edits reach the highlighter through the layout, as in an editor
    doc.setPlainText("[Data]\n; constants\nlife = 1000");
    QMugenHighlighter h(&doc, &syntax);
    QCOMPARE(doc.defaultFont().family(), QString("Courier"));
    QVERIFY(doc.defaultFont().fixedPitch() && doc.defaultFont().pointSize() == 10);
    h.rehighlight();
    QCOMPARE(QMugenHighlighter::marks(&doc).size(), 0);

    // Renaming the header re-checks the lines below it.
    QTextCursor c(doc.firstBlock());
    c.select(QTextCursor::LineUnderCursor);
    c.insertText("[Size]");
    QCOMPARE(doc.lastBlock().userState(), int(QMugenHighlighter::Size));
    QCOMPARE(describe(doc.lastBlock()), QString("Invalid 'Size' parameter @0 'life'"));
    c.select(QTextCursor::LineUnderCursor);
    c.insertText("[Data]");
    QCOMPARE(QMugenHighlighter::marks(&doc).size(), 0);
}

void TestQMugenHighlighter::controllerStatesBeyondTheirRoom()
{
    // A syntax file with more controllers than the block states have room for:
    // each block still checks the parameters of its own controller.
    QString xml = "<syntax>";
    for (int i = 0; i < 300; ++i)
        xml += QString("<state_controller name=\"c%1\"><param name=\"p%1\" type=\"int\"/></state_controller>").arg(i);
    for (int i = 0; i < 12; ++i)
        xml += QString("<bg_controller name=\"b%1\"><param name=\"q%1\" type=\"int\"/></bg_controller>").arg(i);
    SyntaxDefinition big;
    QVERIFY(big.loadData((xml + "</syntax>").toUtf8()));
    QTextDocument doc;
    // The last controller of each room and the first ones beyond it.
    doc.setPlainText("[State 0]\ntype = c211\np211 = 1\np212 = 1\n[State 1]\ntype = c212\np212 = 1\n[State 2]\ntype = c299\np299 = 1\n"
                     "[BG x]\ntype = b9\nq9 = 2\nq10 = 2\n[BG y]\ntype = b10\nq10 = 2\n[BG z]\ntype = b11\nq11 = 2\nq9 = 2");
    QMugenHighlighter h(&doc, &big);
    h.rehighlight();
    QStringList found;
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        found << QString("%1:%2").arg(m.line + 1).arg(m.message);
    QCOMPARE(found, QStringList({"4:Invalid 'c211' parameter", "14:Invalid 'b9' parameter", "21:Invalid 'b11' parameter"}));
}

QTEST_MAIN(TestQMugenHighlighter)
#include "tst_qmugenhighlighter.moc"

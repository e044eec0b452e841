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
    void controllerStatesBeyondTheirRoom();

private:
    SyntaxDefinition syntax;
};

void TestQMugenHighlighter::lines_data()
{
    QTest::addColumn<QString>("context"); // lines before the one under test
    QTest::addColumn<QString>("line");
    // "message @start 'marked text'" for each mark, joined by "; ". "*": hostile
    // input, any marks so long as each lies inside its line.
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("colours"); // "text=format|..." (the last occurrence of text)
    QTest::addColumn<int>("state");       // block state of the line, -2: not checked

    const int free = QMugenHighlighter::FreeSection;
    const QString hitdef = "[State 200, 1]\ntype = HitDef";
    const QString null = "[State 200, 1]\ntype = Null";

    // Section headers
    QTest::newRow("statedef") << "" << "[Statedef 200]" << "" << "[Statedef 200]=block" << 4;
    QTest::newRow("statedef extra word") << "" << "[Statedef 200 x]" << "Wrong StateDef @0 '[Statedef 200 x]'" << "" << 4;
    QTest::newRow("state extra word") << "" << "[State 200 x]" << "Wrong State @0 '[State 200 x]'" << "" << 15;
    QTest::newRow("statedef without number") << "[Data]" << "[Statedef]" << "Invalid block @0 '[Statedef]'" << "" << free;
    QTest::newRow("unknown section is not checked") << "[Data]\n[Foo]" << "life = x" << "" << "" << free;
    QTest::newRow("text after header") << "" << "[Data] x" << "Syntax error @6 ' x'" << "" << 5;
    QTest::newRow("nothing before a section") << "" << "life = 1" << "Syntax error @0 'life = 1'" << "" << 0;

    // Controller blocks
    QTest::newRow("trigger before type") << "[State 200, 1]" << "trigger1 = 1" << "Syntax error @0 'trigger1 = 1'" << "" << 15;
    QTest::newRow("controller type") << "[State 200, 1]" << "type = ChangeState" << "" << "ChangeState=controller|type=keyword" << -2;
    QTest::newRow("unknown parameter") << "[State 200, 1]\ntype = ChangeState" << "foo = 1 + x" << "Invalid 'changestate' parameter @0 'foo ='" << "" << -2;
    QTest::newRow("unknown controller") << "[State 200, 1]" << "type = MapSet" << "Invalid 'State type' value @6 ' MapSet'" << "" << 27;
    QTest::newRow("font type") << "[Def]" << "Type = bitmap" << "" << "bitmap=controller" << 250;
    QTest::newRow("font type unknown") << "[Def]" << "type = bogus" << "Invalid 'Def' value @6 ' bogus'" << "" << 27;
    QTest::newRow("bg without type, anim key") << "[BG 1]" << "actionno = 5" << "Invalid 'normal' parameter @0 'actionno ='" << "" << 24;
    QTest::newRow("var family, no number") << "[State 0]\ntype = VarSet" << "var(x) = 3" << "Invalid 'varset' parameter @0 'var(x) ='" << "" << -2;
    QTest::newRow("null takes anything") << null << "x = whatever 1 2" << "" << "" << -2;

    // Fixed sections
    QTest::newRow("statedef type") << "[Statedef 200]" << "type = X" << "Invalid 'StateDef type' value @6 ' X'" << "" << 4;
    QTest::newRow("statedef type with comment") << "[Statedef 200]" << "type = s ;ok" << "" << "s=value|;ok=comment" << 4;
    QTest::newRow("remap value") << "[Remap]" << "x = q" << "Invalid 'Remap' value @3 ' q'" << "" << -2;
    QTest::newRow("quotes") << "[ja.Quotes]" << "victory1 = \"Well done\"" << "" << "victory1=keyword|\"=string" << 9;
    QTest::newRow("quotes 100") << "[ja.Quotes]" << "victory100 = \"x\"" << "Invalid 'Quotes' parameter @0 'victory100'" << "" << 9;
    QTest::newRow("info unknown") << "[Info]" << "foo = 1" << "Invalid 'Info'' parameter @0 'foo'" << "" << -2;
    QTest::newRow("section map") << "[Data]" << "life = 1000 ; a remark" << "" << "1000=number|; a remark=comment|life=keyword" << -2;
    QTest::newRow("detached minus") << "[Data]" << "life = - 5" << "Unexpected token '-' @6 ' -'; Syntax error @8 ' 5'" << "" << -2;

    // Animation lines
    QTest::newRow("frame flip") << "[Begin Action 10]" << "0,0, 0,0, 5, X" << "Invalid flip @12 ' X'" << "" << 10;
    QTest::newRow("frame blend") << "[Begin Action 10]" << "-1,0,0,0,-1,,AS256D0" << "" << "AS256D0=value" << 10;
    QTest::newRow("frame blend bad") << "[Begin Action 10]" << "0,0,0,0,5,,Q" << "Invalid transparency @11 'Q'" << "" << 10;
    QTest::newRow("short frame") << "[Begin Action 10]" << "0,0, 0,0" << "" << "" << 10; // marked on an empty span

    // Expressions
    QTest::newRow("interval") << null << "trigger1 = Var(1) = [1, 3)" << "" << "Var=trigger" << -2;
    QTest::newRow("redirection without comma") << null << "trigger1 = root Life" << "Unexpected token 'Life' @15 ' Life'" << "" << -2;
    QTest::newRow("animelem offset") << null << "trigger1 = AnimElem = 2, x" << "Unexpected token 'x' @24 ' x'" << "" << -2;
    QTest::newRow("unary minus and component") << null << "trigger1 = -5 < Vel Y" << "" << "-5=number|Y=value" << -2;
    QTest::newRow("component missing") << null << "trigger1 = Pos Q" << "Invalid value @14 ' Q'" << "" << -2;
    QTest::newRow("unknown word") << null << "trigger1 = Foo + 1" << "Invalid expression value @10 ' Foo'" << "" << -2;
    QTest::newRow("projhit with id") << null << "trigger1 = ProjHit1200 = 1, < 5" << "" << "ProjHit1200=trigger" << -2;
    QTest::newRow("const") << null << "trigger1 = Const(data.life) > 0" << "" << "data.life=const" << -2;
    QTest::newRow("const unknown") << null << "trigger1 = Const(data.bogus)" << "Invalid constant @17 'data.bogus'" << "" << -2;
    QTest::newRow("hitdefattr bad tail") << null << "trigger1 = HitDefAttr = SC, NA, XY" << "Syntax error @30 ', XY'" << "" << -2;
    QTest::newRow("unterminated string") << null << "trigger1 = Time \"open" << "" << "" << -2;

    // Parameter values
    QTest::newRow("value list joined") << hitdef << "attr = S , NA" << "" << "NA=value" << -2;
    QTest::newRow("value pattern") << hitdef << "hitflag = MAFQ" << "Invalid 'State' parameter value @9 ' MAFQ'" << "" << -2;
    QTest::newRow("strexp prefix") << hitdef << "sparkno = S8100" << "" << "S=value|8100=number" << -2;
    QTest::newRow("strexp other letter") << hitdef << "sparkno = Q8100" << "Invalid expression value @9 ' Q'; Syntax error @11 '8100'" << "" << -2;
    QTest::newRow("intfloat3 float first") << "[State 0]\ntype = ForceFeedback" << "freq = 1.5, 2, 3, 4" << "Unexpected token '1.5' @6 ' 1.5'" << "" << -2;

    // Hostile lines end quickly and keep every mark inside the line.
    for (const QString& h : {QString(20000, '('), QString(20000, '!'), QString("-~").repeated(10000), QString("root,").repeated(10000),
                             QString("1=[").repeated(10000), "HitDefAttr = SC" + QString(", NA").repeated(20000)})
        QTest::newRow(qPrintable("hostile " + h.left(8))) << null << "trigger1 = " + h << "*" << "" << -2;
    QTest::newRow("hostile long header") << "" << "[" + QString("a ").repeated(20000) << "*" << "" << -2;
    QTest::newRow("hostile control characters") << "[Data]" << QString::fromLatin1("life\0=\r1\x01\x7f", 10) << "*" << "" << -2;
}

void TestQMugenHighlighter::lines()
{
    QFETCH(QString, context);
    QFETCH(QString, line);
    QFETCH(QString, marks);
    QFETCH(QString, colours);
    QFETCH(int, state);

    QTextDocument doc(context.isEmpty() ? line : context + '\n' + line);
    QMugenHighlighter h(&doc, &syntax);
    h.rehighlight();
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        QVERIFY(m.start >= 0 && m.start + m.length <= doc.findBlockByNumber(m.line).length());
    if (marks == "*")
        return;
    const QTextBlock block = doc.lastBlock();
    QStringList found;
    for (const CodeMark& m : QMugenHighlighter::marks(block))
        found << QString("%1 @%2 '%3'").arg(m.message).arg(m.start).arg(line.mid(m.start, m.length));
    QCOMPARE(found.join("; "), marks);
    if (state != -2)
        QCOMPARE(block.userState(), state);
    static const QStringList formats = {"comment", "block", "number", "string", "keyword", "value", "controller", "trigger", "const"};
    for (const QString& c : colours.split('|', Qt::SkipEmptyParts)) {
        const int eq = c.lastIndexOf('='), at = line.lastIndexOf(c.left(eq));
        QTextCharFormat f;
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            f = at >= r.start && at < r.start + r.length ? r.format : f;
        QVERIFY2(at >= 0 && f == syntax.format(SyntaxDefinition::Format(formats.indexOf(c.mid(eq + 1)))), qPrintable(c));
    }
}

void TestQMugenHighlighter::controllerStatesBeyondTheirRoom()
{
    // More controllers than the block states have room for: each block still
    // checks the parameters of its own controller, at the last place of each
    // room and beyond it.
    QString xml = "<syntax>";
    for (int i = 0; i < 300; ++i)
        xml += QString("<state_controller name=\"c%1\"><param name=\"p%1\"/></state_controller>"
                       "<bg_controller name=\"b%1\"><param name=\"q%1\"/></bg_controller>").arg(i);
    SyntaxDefinition big;
    QVERIFY(big.loadData((xml + "</syntax>").toUtf8()));
    QTextDocument doc("[State 0]\ntype = c211\np211 = 1\np212 = 1\n[State 1]\ntype = c212\np212 = 1\n[State 2]\ntype = c299\np299 = 1\n"
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

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
    // The document; the line under test starts with ">" (the last line when none does).
    QTest::addColumn<QString>("text");
    // "severity: message @start 'marked text'" for each mark, joined by "; ". "*":
    // hostile input, any marks so long as each lies inside its line.
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("colours"); // "text=format|..." (the last occurrence of text)
    QTest::addColumn<int>("section");     // section of the line's block state, -2: not checked

    const int free = QMugenHighlighter::FreeSection;
    const QString hitdef = "[Statedef 200]\n[State 200, 1]\ntype = HitDef\n";
    const QString null = "[Statedef 200]\n[State 200, 1]\ntype = Null\n";
    const QString frame = "[Begin Action 10]\n";
    const QString stage = "[Info]\nname = \"x\"\n[Camera]\nstartx = 0\n";

    // Section headers
    QTest::newRow("statedef") << "[Statedef 200]" << "" << "[Statedef 200]=block" << 4;
    QTest::newRow("statedef extra word") << "[Statedef 200 x]" << "error: Wrong StateDef @0 '[Statedef 200 x]'" << "" << 4;
    QTest::newRow("statedef without number") << "[Data]\n[Statedef]" << "error: Invalid block @0 '[Statedef]'" << "" << 4;
    QTest::newRow("no closing bracket") << "[Statedef 50]\n>[State 50\ntype = AfterImage" << "error: Invalid block @0 '[State 50'" << "" << 15;
    QTest::newRow("stray bracket keeps the section") << "[Data]\n[oops\n>life = 1" << "" << "" << 5;
    QTest::newRow("unknown section is ignored") << "[Data]\n>[Foo]\nlife = x" << "warning: Section the engine ignores @0 '[Foo]'" << "" << free;
    QTest::newRow("unknown section is not checked") << "[Data]\n[Foo]\nlife = x" << "" << "" << free;
    QTest::newRow("text after header") << "[Data] x" << "warning: Text after the section header: the engine ignores it @6 ' x'" << "" << 5;
    QTest::newRow("nothing before a section") << "life = 1" << "warning: Line outside any section: the engine ignores it @0 'life = 1'" << "" << 0;

    // The engine's rules, each a line it reads and, where one exists, a near miss.
    // 1. Sound, spark and animation references: F or S glued to the group, an expression after.
    QTest::newRow("1 sound S and expression") << "[Statedef 0]\n[State 0]\ntype = PlaySnd\nvalue = S40,(1+var(1))" << "" << "S=value|40=number" << -2;
    QTest::newRow("1 sound s and ifelse") << "[Statedef 0]\n[State 0]\ntype = PlaySnd\nvalue = s0, ifelse(random<500,14,15)" << "" << "s0=value|ifelse=trigger" << -2;
    QTest::newRow("1 hitsound F, guardsound s") << hitdef + "hitsound = F5,2\n>guardsound = s100,0" << "" << "s=value" << -2;
    QTest::newRow("1 superpause sound, blank after S") << "[Statedef 0]\n[State 0]\ntype = SuperPause\nsound = S 20, 1" << "" << "S=value" << -2;
    QTest::newRow("1 spark and explod anim") << hitdef + "sparkno = S7000\nguard.sparkno = F40\n[State 200, 2]\ntype = Explod\nanim = F60" << "" << "F=value|60=number" << -2;
    QTest::newRow("1 near miss: other letter") << hitdef + "hitsound = Q5,2" << "error: Invalid expression value @10 ' Q'; error: Syntax error @12 '5,2'" << "" << -2;
    // 2. Controller headers: State and a blank, then any label up to the last ] before a comment.
    for (const QString& label : QStringList{"[State 200, 1000: Helper]", "[state 200 a]", "[STATE ]", "[State 201, 1] ; see [x]",
                                 QString::fromLatin1("[State 200, \x83]\x83p]"), QString::fromUtf8("[State 200, 파동권]")})
        QTest::newRow(qPrintable("2 header " + label)) << "[Statedef 200]\n" + label + "\ntype = ChangeState\nvalue = 5" << "" << "value=keyword" << -2;
    QTest::newRow("2 near miss: unknown header read as a controller") << "[Statedef 200]\n>[Stat 200, 1]\ntype = ChangeState\nvalue = 5"
                                                                      << "warning: Unknown section inside a Statedef: its lines are read as a state controller @0 '[Stat 200, 1]'" << "" << 15;
    QTest::newRow("2 its block is checked") << "[Statedef 200]\n[Stat 200, 1]\ntype = ChangeState\nfoo = 5" << "warning: Invalid 'changestate' parameter @0 'foo ='" << "" << -2;
    // 3. Triggers before the type line.
    QTest::newRow("3 trigger before type") << "[Statedef 200]\n[State 200, 1]\ntriggerall = var(0) = 75\ntrigger1 = Pos Y >= 12" << "" << "Pos=trigger" << 15;
    QTest::newRow("3 key of some controller before type") << "[Statedef 200]\n[State 200, 1]\nvalue = 5" << "" << "value=keyword" << 15;
    QTest::newRow("3 near miss: bad trigger") << "[Statedef 200]\n[State 200, 1]\ntrigger1 = Foo" << "error: Invalid expression value @10 ' Foo'" << "" << 15;
    QTest::newRow("3 near miss: no controller's key") << "[Statedef 200]\n[State 200, 1]\nfoo = 1" << "warning: Invalid 'State' parameter @0 'foo ='" << "" << 15;
    // 4. Words read by their first letter.
    QTest::newRow("4 animtype Heavy") << hitdef + "animtype = Heavy" << "" << "Heavy=value" << -2;
    QTest::newRow("4 air.animtype and med") << hitdef + "fall.animtype = med\n>air.animtype = DiagUp" << "" << "DiagUp=value" << -2;
    QTest::newRow("4 ground.type T, affectteam Enemy") << hitdef + "ground.type = T\naffectteam = Enemy" << "" << "Enemy=value" << -2;
    QTest::newRow("4 statedef type by its letter") << "[Statedef 200]\ntype = Stand" << "" << "Stand=value" << 4;
    QTest::newRow("4 near miss: no such letter") << hitdef + "animtype = Xtra" << "error: Invalid 'State' parameter value @10 ' Xtra'" << "" << -2;
    QTest::newRow("4 near miss: statedef") << "[Statedef 200]\ntype = X" << "error: Invalid 'StateDef type' value @6 ' X'" << "" << 4;
    // 5. Flags read letter by letter.
    QTest::newRow("5 hitflag with P") << hitdef + "hitflag = MAFDP" << "" << "MAFDP=value" << -2;
    QTest::newRow("5 guardflag N") << hitdef + "guardflag = N" << "" << "N=value" << -2;
    QTest::newRow("5 near miss: ignored letters") << hitdef + "guardflag = MAQ" << "warning: The engine ignores the letters that do not fit this value @11 ' MAQ'" << "" << -2;
    // 6. ReversalDef takes every HitDef parameter.
    QTest::newRow("6 reversaldef") << "[Statedef 0]\n[State 0]\ntype = ReversalDef\nhitsound = S5, 2\n>numhits = 2" << "" << "numhits=keyword" << -2;
    QTest::newRow("6 near miss: attr") << "[Statedef 0]\n[State 0]\ntype = ReversalDef\nattr = S, NA" << "warning: Invalid 'reversaldef' parameter @0 'attr ='" << "" << -2;
    // 7. Frames: transparency read by its first letter, empty fields.
    QTest::newRow("7 empty flip, add") << frame + "77,186, 0,0, 2,,add" << "" << "add=value" << 10;
    QTest::newRow("7 as, sub, A1") << frame + "-1,0,0,0,-1,,AS256D0\n0,0,0,0,5,H,Sub\n>0,0,0,0,5,V,A1" << "" << "A1=value" << 10;
    QTest::newRow("7 near miss: transparency") << frame + "0,0,0,0,5,,Q" << "warning: Invalid transparency @11 'Q'" << "" << 10;
    QTest::newRow("7 near miss: flip") << frame + "0,0, 0,0, 5, X" << "warning: Invalid flip @12 ' X'" << "" << 10;
    QTest::newRow("7 stray fields") << frame + "0,0, 0,0, 5, H, A, 1, 1" << "warning: Text after the value: the engine ignores it @17 ', 1, 1'" << "" << 10;
    QTest::newRow("7 loopstart with a colon") << frame + "Loopstart:" << "warning: Text after the value: the engine ignores it @9 ':'" << "" << 10;
    QTest::newRow("7 stray text after the time") << frame + "0, 2, 0, 0, 2  ---93" << "warning: Text after the value: the engine ignores it @13 '  ---93'" << "" << 10;
    QTest::newRow("7 stray line") << frame + "-- frames --" << "warning: Line the engine ignores @0 '-- frames --'" << "" << 10;
    QTest::newRow("7 short frame") << frame + "0,0, 0,0" << "error: Unexpected end of line @7 '0'" << "" << 10;
    // 8. Anim elements take the normal keys; the name after BG is a label.
    QTest::newRow("8 anim mask") << stage + "[BG Sky 2 (far)]\ntype = anim\nactionno = 5\n>mask = 1" << "" << "mask=keyword" << -2;
    QTest::newRow("8 type by its first letter") << stage + "[BG 1]\n>type = paral\nxscale = 1, 2" << "" << "paral=controller" << -2;
    QTest::newRow("8 and its keys") << stage + "[BG 1]\ntype = paral\n>xscale = 1, 2" << "" << "xscale=keyword" << -2;
    QTest::newRow("8 near miss: parallax key") << stage + "[BG 1]\ntype = anim\nxscale = 1, 2" << "warning: Invalid 'anim' parameter @0 'xscale ='" << "" << -2;
    QTest::newRow("8 near miss: type") << stage + "[BG 1]\ntype = qualle" << "error: Invalid 'BG' value @6 ' qualle'" << "" << int(QMugenHighlighter::UnknownBgType);
    // 9. A line without =.
    QTest::newRow("9 dashes") << "[Statedef 0]\n[State 0]\ntype = Null\n--------" << "warning: Line without '=': the engine ignores it @0 '--------'" << "" << -2;
    QTest::newRow("9 then checked as ever") << "[Data]\nstart\n>life = x" << "error: Unexpected token 'x' @6 ' x'" << "" << 5;
    QTest::newRow("9 full-width semicolon") << QString::fromLatin1("[Data]\n\x81G\x8e\xe3\x83p\x83\x93\x83`") << "warning: Line without '=': the engine ignores it @0 '\u0081G\u008e\u00e3\u0083p\u0083\u0093\u0083`'" << "" << 5;
    // 10. Fewer parts keep their defaults; integers truncated; the engine stops reading.
    QTest::newRow("10 fewer parts") << stage + "[BG 1]\nvelocity = 0\n>tilespacing = 6000" << "" << "6000=number" << -2;
    QTest::newRow("10 pos alone, empty value") << "[Statedef 0]\n[State 0]\ntype = Explod\npos = 10\n[Camera]\n>boundlow = " << "" << "" << 16;
    QTest::newRow("10 decimal for an integer") << stage + "startx = 1.5" << "warning: Decimal number where the engine reads an integer: it keeps the integer part @8 ' 1.5'" << "" << 16;
    QTest::newRow("10 text after the number") << stage + "starty = 0????" << "warning: Text after the value: the engine ignores it @10 '????'" << "" << 16;
    QTest::newRow("10 extra values") << hitdef + "snap = 35, 0, 0, 1, 9" << "warning: Text after the value: the engine ignores it @18 ', 9'" << "" << -2;
    QTest::newRow("10 unquoted name, free date") << "[Info]\nname = Kung Fu Man\n>versiondate = 09,12,2001 (beta)" << "" << "" << 11;
    QTest::newRow("10 near miss: no number") << stage + "startx = abc" << "error: Unexpected token 'abc' @8 ' abc'" << "" << 16;
    // 11. Motif files: their own sections, known by the first one that tells.
    QTest::newRow("11 system.def files") << "[Info]\nname = \"M\"\n[Files]\n>spr = system.sff\n[Music]\ntitle.bgm = \n[Title Info]" << "" << "" << free;
    QTest::newRow("11 motif background") << "[Title Info]\n[TitleBGdef]\n[TitleBG 1]\ntype = normal\n>spriteno = 0, 0" << "" << "spriteno=keyword" << -2;
    QTest::newRow("11 storyboard") << "[SceneDef]\nspr = a.sff\n[Scene 0]\nbg.name = BG0\n[BG0Def]\n[BG0 Credits]\n>start = 0,240" << "" << "" << -2;
    QTest::newRow("11 select.def") << "[Characters]\n>kfm, stages/kfm.def" << "" << "" << free;
    QTest::newRow("11 near miss: a character's files") << "[Files]\nspr = x.sff" << "warning: Invalid 'Files' parameter @0 'spr'" << "" << 12;
    // 12. [Scaling], read by the oldest releases only.
    QTest::newRow("12 scaling") << stage + ">[Scaling]\ntopz = 0" << "warning: Section the engine ignores @0 '[Scaling]'" << "" << free;
    QTest::newRow("12 its keys") << stage + "[Scaling]\ntopscale = 1" << "" << "" << free;

    // Errors and warnings
    QTest::newRow("unknown controller") << "[Statedef 200]\n[State 200, 1]\ntype = MapSet" << "error: Invalid 'State type' value @6 ' MapSet'" << "" << 27;
    QTest::newRow("key the controller lacks") << "[Statedef 0]\n[State 0]\ntype = Explod\nunder = 0" << "warning: Invalid 'explod' parameter @0 'under ='" << "" << -2;
    QTest::newRow("statedef key it lacks") << "[Statedef 0]\nownpal = 1" << "warning: Invalid 'StateDef' parameter @0 'ownpal'" << "" << 4;
    QTest::newRow("header commented out") << "[Statedef 0]\ntype = S\n;[State 0, 1]\n>type = VelSet\nz = -7"
                                          << "warning: Second 'type' line: the engine keeps the first (is a [State] header missing above?) @0 'type = VelSet'" << "" << 4;
    QTest::newRow("header commented out, no type before") << "[Statedef 0]\ntype = VelSet"
                                                          << "warning: Controller type inside a Statedef: is its [State] header missing? @6 ' VelSet'" << "" << 4;
    QTest::newRow("second type line") << "[Statedef 0]\n[State 0]\ntype = VelSet\ntype = a"
                                      << "warning: Second 'type' line: the engine keeps the first (is a [State] header missing above?) @0 'type = a'" << "" << -2;
    QTest::newRow("code page text after a value") << QString::fromLatin1("[Statedef 0]\n[State 0]\ntype = Null\ntrigger1 = 1 \x81G\x83p")
                                                  << "warning: Text after the value: the engine ignores it @12 ' \u0081G\u0083p'" << "" << -2;

    // Controller blocks
    QTest::newRow("controller type") << "[Statedef 200]\n[State 200, 1]\ntype = ChangeState" << "" << "ChangeState=controller|type=keyword" << -2;
    QTest::newRow("font type") << "[Def]\nType = bitmap" << "" << "bitmap=controller" << 250;
    QTest::newRow("font type unknown") << "[Def]\ntype = bogus" << "error: Invalid 'Def' value @6 ' bogus'" << "" << int(QMugenHighlighter::UnknownFontType);
    QTest::newRow("var family, no number") << "[Statedef 0]\n[State 0]\ntype = VarSet\nvar(x) = 3" << "warning: Invalid 'varset' parameter @0 'var(x) ='" << "" << -2;
    QTest::newRow("null takes anything") << null + "x = whatever 1 2" << "" << "" << -2;

    // Fixed sections
    QTest::newRow("statedef type with comment") << "[Statedef 200]\ntype = s ;ok" << "" << "s=value|;ok=comment" << 4;
    QTest::newRow("statedef value empty, or with words after") << "[Statedef 200]\ntype =\n>physics = S N"
                                                               << "warning: Text after the value: the engine ignores it @11 ' N'" << "" << 4;
    QTest::newRow("remap value") << "[Remap]\nx = q" << "error: Invalid 'Remap' value @3 ' q'" << "" << -2;
    QTest::newRow("quotes") << "[ja.Quotes]\nvictory1 = \"Well done\"" << "" << "victory1=keyword|\"=string" << 9;
    QTest::newRow("quotes 100") << "[ja.Quotes]\nvictory100 = \"x\"" << "warning: Invalid 'Quotes' parameter @0 'victory100'" << "" << 9;
    QTest::newRow("info unknown") << "[Info]\nfoo = 1" << "warning: Invalid 'Info'' parameter @0 'foo'" << "" << -2;
    QTest::newRow("section map") << "[Data]\nlife = 1000 ; a remark" << "" << "1000=number|; a remark=comment|life=keyword" << -2;
    QTest::newRow("detached minus") << "[Data]\nlife = - 5" << "error: Unexpected token '-' @6 ' -'" << "" << -2;

    // Expressions
    QTest::newRow("interval") << null + "trigger1 = Var(1) = [1, 3)" << "" << "Var=trigger" << -2;
    QTest::newRow("redirection without comma") << null + "trigger1 = root Life" << "error: Unexpected token 'Life' @15 ' Life'" << "" << -2;
    QTest::newRow("animelem offset") << null + "trigger1 = AnimElem = 2, x" << "error: Unexpected token 'x' @24 ' x'" << "" << -2;
    QTest::newRow("unary minus and component") << null + "trigger1 = -5 < Vel Y" << "" << "-5=number|Y=value" << -2;
    QTest::newRow("component missing") << null + "trigger1 = Pos Q" << "error: Invalid value @14 ' Q'" << "" << -2;
    QTest::newRow("projhit with id") << null + "trigger1 = ProjHit1200 = 1, < 5" << "" << "ProjHit1200=trigger" << -2;
    QTest::newRow("const") << null + "trigger1 = Const(data.life) > 0" << "" << "data.life=const" << -2;
    QTest::newRow("const unknown") << null + "trigger1 = Const(data.bogus)" << "error: Invalid constant @17 'data.bogus'" << "" << -2;
    QTest::newRow("hitdefattr bad tail") << null + "trigger1 = HitDefAttr = SC, NA, XY" << "error: Syntax error @30 ', XY'" << "" << -2;
    QTest::newRow("unterminated string") << null + "trigger1 = Time \"open" << "" << "" << -2;
    // What is missing at the end of a line is marked on its last character.
    QTest::newRow("missing operand") << null + "trigger1 = Time =" << "error: Invalid expression value @16 '='" << "" << -2;
    QTest::newRow("missing bracket") << null + "trigger1 = (1 ; remark" << "error: Unexpected end of line @12 '1'" << "" << -2;
    QTest::newRow("empty values keep their defaults") << "[Statedef 0]\n[State 0]\ntype = PlaySnd\nignorehitpause =\n>value = S1,"
                                                      << "" << "" << -2;

    // Parameter values
    QTest::newRow("value list joined") << hitdef + "attr = S , NA" << "" << "NA=value" << -2;
    QTest::newRow("value, then text the engine ignores") << "[Statedef 0]\n[State 0]\ntype = Explod\npostype = p1,front"
                                                         << "warning: Text after the value: the engine ignores it @12 ',front'" << "" << -2;
    QTest::newRow("strexp prefix") << hitdef + "sparkno = S8100" << "" << "S=value|8100=number" << -2;
    QTest::newRow("intfloat3 float first") << "[Statedef 0]\n[State 0]\ntype = ForceFeedback\nfreq = 1.5, 2, 3, 4"
                                           << "warning: Decimal number where the engine reads an integer: it keeps the integer part @6 ' 1.5'" << "" << -2;

    // Hostile lines end quickly and keep every mark inside the line.
    for (const QString& h : {QString(20000, '('), QString(20000, '!'), QString("-~").repeated(10000), QString("root,").repeated(10000),
                             QString("1=[").repeated(10000), "HitDefAttr = SC" + QString(", NA").repeated(20000)})
        QTest::newRow(qPrintable("hostile " + h.left(8))) << null + "trigger1 = " + h << "*" << "" << -2;
    QTest::newRow("hostile long header") << "[" + QString("a ").repeated(20000) << "*" << "" << -2;
    QTest::newRow("hostile brackets") << QString("[State ]").repeated(5000) + QString("]").repeated(5000) << "*" << "" << -2;
    QTest::newRow("hostile control characters") << "[Data]\n" + QString::fromLatin1("life\0=\r1\x01\x7f", 10) << "*" << "" << -2;
    QTest::newRow("hostile headers") << QString("[Info]\n").repeated(3000) + "[Title Info]" << "*" << "" << -2;
}

void TestQMugenHighlighter::lines()
{
    QFETCH(QString, text);
    QFETCH(QString, marks);
    QFETCH(QString, colours);
    QFETCH(int, section);

    QStringList lines = text.split('\n');
    qsizetype at = lines.size() - 1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith('>')) {
            lines[i].remove(0, 1);
            at = i;
        }
    const QString line = lines.at(at);
    QTextDocument doc(lines.join('\n'));
    QMugenHighlighter h(&doc, &syntax);
    h.rehighlight();
    for (const CodeMark& m : QMugenHighlighter::marks(&doc))
        QVERIFY(m.start >= 0 && m.start + m.length <= doc.findBlockByNumber(m.line).length());
    if (marks == "*")
        return;
    const QTextBlock block = doc.findBlockByNumber(int(at));
    QStringList found;
    for (const CodeMark& m : QMugenHighlighter::marks(block))
        found << QString("%1: %2 @%3 '%4'").arg(m.severity == Severity::Warning ? "warning" : "error", m.message)
                     .arg(m.start).arg(line.mid(m.start, m.length));
    QCOMPARE(found.join("; "), marks);
    if (section != -2)
        QCOMPARE(QMugenHighlighter::section(block.userState()), section);
    static const QStringList formats = {"comment", "block", "number", "string", "keyword", "value", "controller", "trigger", "const"};
    for (const QString& c : colours.split('|', Qt::SkipEmptyParts)) {
        const int eq = c.lastIndexOf('='), pos = line.lastIndexOf(c.left(eq));
        QTextCharFormat f;
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            f = pos >= r.start && pos < r.start + r.length ? r.format : f;
        QVERIFY2(pos >= 0 && f == syntax.format(SyntaxDefinition::Format(formats.indexOf(c.mid(eq + 1)))), qPrintable(c));
    }
    // Each kind of mark draws its own colour of underline.
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
            QCOMPARE(r.format.underlineColor(), QColor(marks.contains("warning: " + r.format.toolTip()) ? QColor(255, 140, 0) : QColor(255, 0, 0)));
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

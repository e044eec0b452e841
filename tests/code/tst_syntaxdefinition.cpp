#include "syntaxdefinition.h"

#include <QCoreApplication>
#include <QtTest>

class TestSyntaxDefinition : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void lookups();
    void failuresLeaveTables();
    void shippedFile();
};

static SyntaxDefinition fromXml(const QString& body)
{
    SyntaxDefinition s;
    s.loadData(("<syntax>" + body + "</syntax>").toUtf8());
    return s;
}

void TestSyntaxDefinition::formats_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("keyword"); // colour ("-": none), bold, italic; "plain": untouched
    QTest::newRow("orange") << R"x(<format name="keyword" color="255,128,0"/>)x" << "#ff8000";
    QTest::newRow("component above 255") << R"x(<format name="keyword" color="300,0,0"/>)x" << "-";
    QTest::newRow("bold true, default black") << R"x(<format name="keyword" bold="true" italic="true"/>)x" << "#000000 bold italic";
    QTest::newRow("bold True is not bold") << R"x(<format name="keyword" bold="True" italic="TRUE"/>)x" << "#000000";
    QTest::newRow("Keyword names no format") << R"x(<format name="Keyword" color="255,0,0" bold="true"/>)x" << "plain";
    // The two kinds of mark take only the colour of their underline.
    QTest::newRow("mark colours") << R"x(<format name="warning" color="0,0,255" bold="true"/><format name="error" color="1,2,3"/>)x"
                                  << "plain #0000ff #010203";
    QTest::newRow("mark colour above 255") << R"x(<format name="warning" color="0,0,256"/>)x" << "plain #ff8c00 #ff0000";
}

void TestSyntaxDefinition::formats()
{
    QFETCH(QString, xml);
    QFETCH(QString, keyword);
    const SyntaxDefinition s = fromXml(xml);
    const bool marks = keyword.contains(' ') && keyword.startsWith("plain");
    for (int i = 0; i < SyntaxDefinition::FormatCount; ++i) {
        const QTextCharFormat& f = s.format(SyntaxDefinition::Format(i));
        QString d = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "-";
        d += QString(f.fontWeight() == QFont::Bold ? " bold" : "") + (f.fontItalic() ? " italic" : "");
        QCOMPARE(f.properties().isEmpty() ? "plain" : d, i == SyntaxDefinition::Keyword && !marks ? keyword : "plain");
    }
    if (marks)
        QCOMPARE(QString("plain %1 %2").arg(s.markColor(Severity::Warning).name(), s.markColor(Severity::Error).name()), keyword);
}

void TestSyntaxDefinition::lookups()
{
    const SyntaxDefinition s = fromXml(R"x(
        <state_controller name="changestate"><param name="value" type="int"/><param name="f" type="float2opt"/>
          <param name="a" type="strexp" reg_exp="s|c|a|l"/><param name="var\(\d+\)" type="int"/></state_controller>
        <state_controller name="changestate"><param name="value" type="string"/></state_controller>
        <data name="f" type="float2opt"/><data name="i" type="intfloat3"/>
        <state_controller name="null"><param name="(.*)" type="any"/></state_controller>
        <state_controller name="hitdef"><param name="guardflag" type="value" reg_exp="[hlam]*|n" warn_exp=".*"/>
          <param name="attr" type="value" reg_exp="s|c"/></state_controller>
        <motif_section name="Title  Info"/>
        <trigger name="AnimElem" format="opint"/><trigger name="projhit(\d*)" format="op2int2"/><trigger name="Time"/>)x");
    // Of two controllers of one name the first is found; names are compared exactly.
    QCOMPARE(s.findController(SyntaxDefinition::StateController, "changestate"), 0);
    QCOMPARE(s.findController(SyntaxDefinition::StateController, "ChangeState"), -1);
    const ControllerDef& c = s.controllers(SyntaxDefinition::StateController).at(0);
    QCOMPARE(c.findParam("value")->type, ValueType::Int);
    QVERIFY(!c.findParam("Value"));
    // float2opt is a section type only, intfloat3 a parameter type only; type words are lower case.
    QCOMPARE(c.findParam("f")->type, ValueType::Any);
    QCOMPARE(s.section(SyntaxDefinition::Data).value("f"), ValueType::Float2Opt);
    QCOMPARE(s.section(SyntaxDefinition::Data).value("i"), ValueType::Any);
    // A strexp keeps its words as a whole-text pattern; a key with "(" is a pattern over the whole name.
    QVERIFY(c.findParam("a")->matches("l") && !c.findParam("a")->matches("sc") && !c.findParam("a")->matches(""));
    QCOMPARE(c.findParam("var(12)")->type, ValueType::Int);
    QVERIFY(!c.findParam("var(x)"));
    // Triggers ignore case and may be patterns; one without a format has an empty one.
    QCOMPARE(s.findTrigger("animelem"), QString("opint"));
    QCOMPARE(s.findTrigger("projhit1200"), QString("op2int2"));
    QVERIFY(!s.findTrigger("time").isNull() && s.findTrigger("time").isEmpty() && s.findTrigger("life").isNull());
    // A value with a loose pattern: what fits only that one is read in part.
    const ControllerDef& hitdef = s.controllers(SyntaxDefinition::StateController).at(3);
    QVERIFY(hitdef.findParam("guardflag")->matches("n") && hitdef.findParam("guardflag")->matchesLoosely("mq"));
    QVERIFY(!hitdef.findParam("attr")->matchesLoosely("s"));
    // The controller that has a key: Null takes any and says nothing.
    QCOMPARE(s.findControllerWithParam(SyntaxDefinition::StateController, "value"), &c);
    QCOMPARE(s.findControllerWithParam(SyntaxDefinition::StateController, "attr"), &hitdef);
    QVERIFY(!s.findControllerWithParam(SyntaxDefinition::StateController, "bogus"));
    // Motif sections are compared in lower case with single blanks.
    QVERIFY(s.isMotifSection("title info") && !s.isMotifSection("title"));
}

void TestSyntaxDefinition::failuresLeaveTables()
{
    SyntaxDefinition s;
    QVERIFY(s.loadData(R"x(<syntax><state_controller name="a"/><data name="life" type="int"/>
                          <format name="number" color="1,1,1"/></syntax>)x"));
    QVERIFY(!s.loadData("<syntax><state_controller name=")); // not well-formed: nothing changes
    QVERIFY(!s.load("/nonexistent/syntax.xml"));
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).size(), 1);
    // Another root: the controller lists are emptied, maps and formats stay.
    QVERIFY(!s.loadData("<QNDSyntaxML><state_controller name=\"b\"/></QNDSyntaxML>"));
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).size(), 0);
    QCOMPARE(s.section(SyntaxDefinition::Data).value("life"), ValueType::Int);
    QCOMPARE(s.format(SyntaxDefinition::Number).foreground().color(), QColor(1, 1, 1));
}

void TestSyntaxDefinition::shippedFile()
{
    // Its names and patterns meet the real files in the checker's tests; here, its size
    // fits the block states (212 state, 10 background controllers) and completion has words.
    SyntaxDefinition s;
    QVERIFY(s.load(QCoreApplication::applicationDirPath() + "/syntax.xml"));
    const qsizetype states = s.controllers(SyntaxDefinition::StateController).size();
    QVERIFY(states >= 89 && states <= 212);
    QVERIFY(s.controllers(SyntaxDefinition::BackgroundController).size() <= 10);
    for (int i = 0; i < SyntaxDefinition::SectionCount; ++i)
        QVERIFY2(!s.section(SyntaxDefinition::Section(i)).isEmpty(), SyntaxDefinition::sectionElementNames()[i]);
    const QStringList words = s.vocabulary();
    QVERIFY(words.contains("data.life") && !words.contains("var\\(\\d+\\)")); // no pattern keys
}

QTEST_GUILESS_MAIN(TestSyntaxDefinition)
#include "tst_syntaxdefinition.moc"

#include "syntaxdefinition.h"

#include <QCoreApplication>
#include <QtTest>

class TestSyntaxDefinition : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void findsByName();
    void typeWordsDependOnElement_data();
    void typeWordsDependOnElement();
    void parameterNamesAndPatterns();
    void failuresLeaveTables();
    void shippedFile();
};

namespace {

SyntaxDefinition fromXml(const QString& body)
{
    SyntaxDefinition s;
    s.loadData(("<syntax>" + body + "</syntax>").toUtf8());
    return s;
}

// "plain" for an untouched format, otherwise its colour ("-" when none) and
// any weight or slant.
QString describe(const QTextCharFormat& f)
{
    if (f.properties().isEmpty())
        return "plain";
    QString s = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "-";
    if (f.fontWeight() != QFont::Normal)
        s += f.fontWeight() == QFont::Bold ? " bold" : QString(" weight %1").arg(f.fontWeight());
    return f.fontItalic() ? s + " italic" : s;
}

} // namespace

void TestSyntaxDefinition::formats_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("keyword"); // the keyword format; every other one stays plain
    QTest::newRow("orange") << R"x(<format name="keyword" color="255,128,0"/>)x" << "#ff8000";
    QTest::newRow("two numbers leave the colour") << R"x(<format name="keyword" color="255,128"/>)x" << "-";
    QTest::newRow("component above 255") << R"x(<format name="keyword" color="300,0,0"/>)x" << "-";
    QTest::newRow("default colour is black") << R"x(<format name="keyword"/>)x" << "#000000";
    QTest::newRow("bold true") << R"x(<format name="keyword" bold="true" italic="true"/>)x" << "#000000 bold italic";
    QTest::newRow("bold True is not bold") << R"x(<format name="keyword" bold="True" italic="TRUE"/>)x" << "#000000";
    QTest::newRow("Keyword names no format") << R"x(<format name="Keyword" color="255,0,0" bold="true"/>)x" << "plain";
    QTest::newRow("later overwrites, bad colour kept")
        << R"x(<format name="keyword" color="1,2,3" bold="true" italic="true"/><format name="keyword" color="bad"/>)x"
        << "#010203";
}

void TestSyntaxDefinition::formats()
{
    QFETCH(QString, xml);
    QFETCH(QString, keyword);
    const SyntaxDefinition s = fromXml(xml);
    for (int i = 0; i < SyntaxDefinition::FormatCount; ++i)
        QCOMPARE(describe(s.format(SyntaxDefinition::Format(i))), i == SyntaxDefinition::Keyword ? keyword : "plain");
}

void TestSyntaxDefinition::findsByName()
{
    const SyntaxDefinition s = fromXml(R"x(
        <state_controller name="changestate"><param name="value" type="int"/></state_controller>
        <state_controller name="changestate"><param name="value" type="string"/></state_controller>
        <bg_controller name="normal"/><fnt_def name="bitmap"/>
        <trigger name="AnimElem" format="opint"/><trigger name="projhit(\d*)" format="op2int2"/>
        <trigger name="ProjHitTime" format="exp"/><trigger name="Time"/>
        <consts name="g"><const name="b"/><const name="a"/><const name="b"/></consts>
        <consts name="g"><const name="c"/></consts>)x");
    // Two controllers of one name both stay; the first is found. Names are compared exactly.
    const auto& states = s.controllers(SyntaxDefinition::StateController);
    QCOMPARE(states.size(), 2);
    QCOMPARE(s.findController(SyntaxDefinition::StateController, "changestate"), 0);
    QCOMPARE(states.at(0).findParam("value")->type, ValueType::Int);
    QCOMPARE(s.findController(SyntaxDefinition::StateController, "ChangeState"), -1);
    QCOMPARE(s.findController(SyntaxDefinition::BackgroundController, "normal"), 0);
    QCOMPARE(s.findController(SyntaxDefinition::FontDefinition, "bitmap"), 0);
    // Triggers ignore case and may be patterns; a plain key sorts before a pattern it also fits.
    QCOMPARE(s.findTrigger("animelem"), QString("opint"));
    QCOMPARE(s.findTrigger("projhit1200"), QString("op2int2"));
    QCOMPARE(s.findTrigger("projhittime"), QString("exp"));
    QVERIFY(!s.findTrigger("time").isNull() && s.findTrigger("time").isEmpty());
    QVERIFY(s.findTrigger("life").isNull());
    // Constant groups keep order and duplicates across elements.
    QCOMPARE(s.constGroups().value("g"), QStringList({"b", "a", "b", "c"}));
    QVERIFY(s.isConst("g", "a") && !s.isConst("g", "A") && !s.isConst("h", "a"));
}

void TestSyntaxDefinition::typeWordsDependOnElement_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("inParam");
    QTest::addColumn<int>("inSection");
    QTest::newRow("int") << "int" << 0 << 0;
    QTest::newRow("intfloat3") << "intfloat3" << 3 << 19;
    QTest::newRow("float2opt") << "float2opt" << 19 << 6;
    QTest::newRow("exp2opt") << "exp2opt" << 13 << 19;
    QTest::newRow("string") << "string" << 14 << 14;
    QTest::newRow("value") << "value" << 18 << 19;
    QTest::newRow("capitals") << "Int" << 19 << 19;
    QTest::newRow("absent") << "" << 19 << 19;
}

void TestSyntaxDefinition::typeWordsDependOnElement()
{
    QFETCH(QString, word);
    QFETCH(int, inParam);
    QFETCH(int, inSection);
    const SyntaxDefinition s = fromXml(QString(R"x(<data name="k" type="%1"/>
        <state_controller name="c"><param name="k" type="%1"/></state_controller>)x").arg(word));
    QCOMPARE(int(s.section(SyntaxDefinition::Data).value("k")), inSection);
    QCOMPARE(int(s.controllers(SyntaxDefinition::StateController).at(0).findParam("k")->type), inParam);
}

void TestSyntaxDefinition::parameterNamesAndPatterns()
{
    // Keys are tried in ascending order; a key with "(" is a pattern over the whole name.
    const SyntaxDefinition s = fromXml(R"x(<state_controller name="c">
        <param name="a" type="strexp" reg_exp="s|c|a|l"/><param name="b" type="exp" reg_exp="s"/>
        <param name="var\(\d+\)" type="int"/><param name="value" type="exp"/></state_controller>
        <state_controller name="d"><param name="var\(\d+\)" type="int"/><param name="v" type="string"/>
        <param name="(v.*)" type="float"/></state_controller>)x");
    const ControllerDef& c = s.controllers(SyntaxDefinition::StateController).at(0);
    const ParamDef* a = c.findParam("a");
    QCOMPARE(a->pattern, QString("^(?:s|c|a|l)$"));
    for (const char* w : {"s", "c", "a", "l"})
        QVERIFY2(a->matches(w), w);
    for (const char* w : {"sc", "", "x", "ss"})
        QVERIFY2(!a->matches(w), w);
    QVERIFY(c.findParam("b")->pattern.isEmpty()); // only the four patterned types keep one
    QCOMPARE(c.findParam("var(12)")->type, ValueType::Int);
    QVERIFY(!c.findParam("var(x)"));
    QVERIFY(!c.findParam("Value")); // plain keys are compared exactly
    const ControllerDef& d = s.controllers(SyntaxDefinition::StateController).at(1);
    QCOMPARE(d.findParam("var(12)")->type, ValueType::Float); // "(v.*)" sorts before "var\(..."
    QCOMPARE(d.findParam("v")->type, ValueType::Float);
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
    // Elements of other names, text and comments are skipped.
    QVERIFY(s.loadData("<syntax>text<!-- c --><other/><fnt_def name=\"bitmap\"/></syntax>"));
    QCOMPARE(s.controllers(SyntaxDefinition::FontDefinition).size(), 1);
}

void TestSyntaxDefinition::shippedFile()
{
    SyntaxDefinition s;
    QVERIFY(s.load(QCoreApplication::applicationDirPath() + "/syntax.xml"));
    // The block states leave room for 212 state and 10 background controllers.
    const auto& states = s.controllers(SyntaxDefinition::StateController);
    QVERIFY(states.size() >= 89 && states.size() <= 212);
    QVERIFY(s.controllers(SyntaxDefinition::BackgroundController).size() <= 10);
    QCOMPARE(s.controllers(SyntaxDefinition::FontDefinition).size(), 2);
    QVERIFY(s.triggers().size() >= 133);
    for (int i = 0; i < SyntaxDefinition::FormatCount; ++i)
        QVERIFY(s.format(SyntaxDefinition::Format(i)).hasProperty(QTextFormat::ForegroundBrush));
    for (const char* group : {"const", "gethitvar", "stagevar"})
        QVERIFY2(!s.constGroups().value(group).isEmpty(), group);

    // The checker compares lower-cased text with these names exactly, and every pattern compiles.
    QStringList names;
    for (int i = 0; i < SyntaxDefinition::SectionCount; ++i) {
        QVERIFY2(!s.section(SyntaxDefinition::Section(i)).isEmpty(), SyntaxDefinition::sectionElementNames()[i]);
        names << s.section(SyntaxDefinition::Section(i)).keys();
    }
    for (int k = 0; k < SyntaxDefinition::ControllerKindCount; ++k) {
        for (const ControllerDef& c : s.controllers(SyntaxDefinition::ControllerKind(k))) {
            names << c.name << c.params.keys();
            for (const ParamDef& p : c.params)
                QVERIFY2(p.pattern.isEmpty() || p.regex.isValid(), qPrintable(c.name + ": " + p.pattern));
        }
    }
    for (const QStringList& group : s.constGroups())
        names << group;
    for (const QString& n : names)
        QVERIFY2(n == n.toLower(), qPrintable(n));
    for (auto it = s.triggers().cbegin(); it != s.triggers().cend(); ++it)
        for (const QRegularExpression& re : s.valuePatterns(it.value()))
            QVERIFY2(re.isValid(), qPrintable(it.key()));

    const QStringList words = s.vocabulary();
    for (const char* w : {"changestate", "AnimElem", "data.life", "velocity.run.fwd.x", "spriteno"})
        QVERIFY2(words.contains(w, Qt::CaseInsensitive), w);
    QVERIFY(!words.contains("var\\(\\d+\\)"));
}

QTEST_GUILESS_MAIN(TestSyntaxDefinition)
#include "tst_syntaxdefinition.moc"

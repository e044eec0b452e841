#include "syntaxdefinition.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

class TestSyntaxDefinition : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void laterFormatOverwrites();
    void controllersKeepDuplicates();
    void typeWordsDependOnElement_data();
    void typeWordsDependOnElement();
    void patternsMatchWholeText();
    void parameterKeysInOrder();
    void triggersIgnoreCaseAndTakePatterns();
    void constGroupsKeepOrderAndDuplicates();
    void failuresLeaveTables();
    void shippedFileHoldsTheVocabulary();
    void shippedFileSpellsNamesInLowerCase();
};

namespace {

SyntaxDefinition fromXml(const QString& body)
{
    SyntaxDefinition s;
    const bool ok = s.loadData(("<syntax>" + body + "</syntax>").toUtf8());
    if (!ok)
        qWarning("test XML did not load");
    return s;
}

QString shippedPath()
{
    return QCoreApplication::applicationDirPath() + "/syntax.xml";
}

} // namespace

void TestSyntaxDefinition::formats_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<bool>("coloured");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");

    QTest::newRow("orange") << R"x(<format name="keyword" color="255,128,0"/>)x" << true << QColor(255, 128, 0)
                            << int(QFont::Normal) << false;
    QTest::newRow("two numbers leave the colour") << R"x(<format name="keyword" color="255,128"/>)x" << false
                                                  << QColor() << int(QFont::Normal) << false;
    QTest::newRow("component above 255") << R"x(<format name="keyword" color="300,0,0"/>)x" << false << QColor()
                                         << int(QFont::Normal) << false;
    QTest::newRow("default colour is black") << R"x(<format name="keyword"/>)x" << true << QColor(0, 0, 0)
                                             << int(QFont::Normal) << false;
    QTest::newRow("bold true") << R"x(<format name="keyword" bold="true" italic="true"/>)x" << true << QColor(0, 0, 0)
                               << int(QFont::Bold) << true;
    QTest::newRow("bold True is not bold") << R"x(<format name="keyword" bold="True" italic="TRUE"/>)x" << true
                                           << QColor(0, 0, 0) << int(QFont::Normal) << false;
}

void TestSyntaxDefinition::formats()
{
    QFETCH(QString, element);
    QFETCH(bool, coloured);
    QFETCH(QColor, color);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    const SyntaxDefinition s = fromXml(element);
    const QTextCharFormat& f = s.format(SyntaxDefinition::Keyword);
    QCOMPARE(f.hasProperty(QTextFormat::ForegroundBrush), coloured);
    if (coloured)
        QCOMPARE(f.foreground().color(), color);
    QCOMPARE(f.fontWeight(), weight);
    QCOMPARE(f.fontItalic(), italic);
    // Nothing else was touched.
    QVERIFY(s.format(SyntaxDefinition::Comment).properties().isEmpty());

    // A capital letter names no format: nothing changes at all.
    const SyntaxDefinition k = fromXml(R"x(<format name="Keyword" color="255,0,0" bold="true"/>)x");
    for (int i = 0; i < SyntaxDefinition::FormatCount; ++i)
        QVERIFY(k.format(SyntaxDefinition::Format(i)).properties().isEmpty());
}

void TestSyntaxDefinition::laterFormatOverwrites()
{
    const SyntaxDefinition s = fromXml(R"x(<format name="comment" color="1,2,3" bold="true" italic="true"/>
                                          <format name="comment" color="bad"/>)x");
    const QTextCharFormat& f = s.format(SyntaxDefinition::Comment);
    QCOMPARE(f.foreground().color(), QColor(1, 2, 3)); // a bad colour keeps the old one
    QCOMPARE(f.fontWeight(), int(QFont::Normal));
    QCOMPARE(f.fontItalic(), false);
}

void TestSyntaxDefinition::controllersKeepDuplicates()
{
    const SyntaxDefinition s = fromXml(R"x(
        <state_controller name="changestate"><param name="value" type="int"/></state_controller>
        <state_controller name="changestate"><param name="value" type="string"/></state_controller>
        <bg_controller name="normal"/>
        <fnt_def name="bitmap"/>)x");
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).size(), 2);
    const int i = s.findController(SyntaxDefinition::StateController, "changestate");
    QCOMPARE(i, 0);
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).at(i).findParam("value")->type, ValueType::Int);
    QCOMPARE(s.findController(SyntaxDefinition::BackgroundController, "normal"), 0);
    QCOMPARE(s.findController(SyntaxDefinition::FontDefinition, "bitmap"), 0);
    // Names are compared exactly: the checker looks them up in lower case.
    QCOMPARE(s.findController(SyntaxDefinition::StateController, "ChangeState"), -1);
    QCOMPARE(s.findController(SyntaxDefinition::BackgroundController, "changestate"), -1);
}

void TestSyntaxDefinition::typeWordsDependOnElement_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("inParam");
    QTest::addColumn<int>("inSection");
    QTest::newRow("int") << "int" << 0 << 0;
    QTest::newRow("intfloat3") << "intfloat3" << 3 << 19;
    QTest::newRow("float2opt") << "float2opt" << 19 << 6;
    QTest::newRow("exp4") << "exp4" << 11 << 19;
    QTest::newRow("expn") << "expn" << 12 << 12;
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

void TestSyntaxDefinition::patternsMatchWholeText()
{
    const SyntaxDefinition s = fromXml(R"x(<state_controller name="c">
        <param name="a" type="strexp" reg_exp="s|c|a|l"/>
        <param name="b" type="exp" reg_exp="s"/>
        <param name="d" type="value"/>
        </state_controller>)x");
    const ControllerDef& c = s.controllers(SyntaxDefinition::StateController).at(0);
    const ParamDef* a = c.findParam("a");
    QCOMPARE(a->pattern, QString("^(?:s|c|a|l)$"));
    for (const char* w : {"s", "c", "a", "l"})
        QVERIFY2(a->matches(w), w);
    for (const char* w : {"sc", "", "x", "ss"})
        QVERIFY2(!a->matches(w), w);
    QVERIFY(c.findParam("b")->pattern.isEmpty()); // only the four patterned types keep one
    QCOMPARE(c.findParam("d")->pattern, QString("^(?:)$"));
    QVERIFY(c.findParam("d")->matches(""));
    QVERIFY(!c.findParam("zz"));
}

void TestSyntaxDefinition::parameterKeysInOrder()
{
    // Keys are tried in ascending order; a key with "(" is a pattern over the whole name.
    const SyntaxDefinition s = fromXml(R"x(<state_controller name="c">
        <param name="var\(\d+\)" type="int"/>
        <param name="v" type="string"/>
        <param name="(v.*)" type="float"/>
        <param name="value" type="exp"/>
        <param name="Value" type="int2"/>
        </state_controller>)x");
    const ControllerDef& c = s.controllers(SyntaxDefinition::StateController).at(0);
    QCOMPARE(c.findParam("var(12)")->type, ValueType::Float); // "(v.*)" sorts before "var\(..."
    QCOMPARE(c.findParam("v")->type, ValueType::Float);
    QCOMPARE(c.findParam("value")->type, ValueType::Float);
    QVERIFY(!c.findParam("x"));
    const SyntaxDefinition t = fromXml(R"x(<state_controller name="c">
        <param name="var\(\d+\)" type="int"/><param name="value" type="exp"/></state_controller>)x");
    const ControllerDef& d = t.controllers(SyntaxDefinition::StateController).at(0);
    QCOMPARE(d.findParam("var(12)")->type, ValueType::Int);
    QVERIFY(!d.findParam("var(x)"));
    QVERIFY(!d.findParam("Value")); // plain keys are compared exactly
}

void TestSyntaxDefinition::triggersIgnoreCaseAndTakePatterns()
{
    const SyntaxDefinition s = fromXml(R"x(<trigger name="AnimElem" format="opint"/>
        <trigger name="projhit(\d*)" format="op2int2"/>
        <trigger name="ProjHitTime" format="exp"/>
        <trigger name="Time"/>)x");
    QCOMPARE(s.findTrigger("animelem"), QString("opint"));
    QCOMPARE(s.findTrigger("projhit"), QString("op2int2"));
    QCOMPARE(s.findTrigger("projhit1200"), QString("op2int2"));
    QCOMPARE(s.findTrigger("projhittime"), QString("exp"));
    const QString time = s.findTrigger("time");
    QVERIFY(!time.isNull());
    QVERIFY(time.isEmpty());
    QVERIFY(s.findTrigger("life").isNull());
}

void TestSyntaxDefinition::constGroupsKeepOrderAndDuplicates()
{
    const SyntaxDefinition s = fromXml(R"x(<consts name="g"><const name="b"/><const name="a"/><const name="b"/></consts>
                                          <consts name="g"><const name="c"/></consts>)x");
    QCOMPARE(s.constGroups().value("g"), QStringList({"b", "a", "b", "c"}));
    QVERIFY(s.hasConstGroup("g"));
    QVERIFY(s.isConst("g", "a"));
    QVERIFY(!s.isConst("g", "A"));
    QVERIFY(!s.isConst("h", "a"));
}

void TestSyntaxDefinition::failuresLeaveTables()
{
    SyntaxDefinition s;
    QVERIFY(s.loadData(R"x(<syntax><state_controller name="a"/><data name="life" type="int"/>
                          <format name="number" color="1,1,1"/></syntax>)x"));
    QVERIFY(!s.loadData("<syntax><state_controller name=")); // not well-formed: nothing changes
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).size(), 1);
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

void TestSyntaxDefinition::shippedFileHoldsTheVocabulary()
{
    SyntaxDefinition s;
    QVERIFY2(s.load(shippedPath()), qPrintable(shippedPath()));
    // The block states leave room for 212 state and 10 background controllers.
    QCOMPARE(s.controllers(SyntaxDefinition::StateController).size(), 89);
    QCOMPARE(s.controllers(SyntaxDefinition::BackgroundController).size(), 4);
    QCOMPARE(s.controllers(SyntaxDefinition::FontDefinition).size(), 2);
    QCOMPARE(s.triggers().size(), 133);
    QCOMPARE(s.constGroups().value("const").size(), 74);
    QCOMPARE(s.constGroups().value("gethitvar").size(), 36);
    QCOMPARE(s.constGroups().value("stagevar").size(), 4);
    for (int i = 0; i < SyntaxDefinition::SectionCount; ++i)
        QVERIFY2(!s.section(SyntaxDefinition::Section(i)).isEmpty(), SyntaxDefinition::sectionElementNames()[i]);
    for (int i = 0; i < SyntaxDefinition::FormatCount; ++i)
        QVERIFY(s.format(SyntaxDefinition::Format(i)).hasProperty(QTextFormat::ForegroundBrush));

    // Families are patterns; a few facts the checker relies on.
    const auto& sc = s.controllers(SyntaxDefinition::StateController);
    const ControllerDef& varset = sc.at(s.findController(SyntaxDefinition::StateController, "varset"));
    QVERIFY(varset.findParam("var(12)"));
    QVERIFY(varset.findParam("sysfvar(3)"));
    QVERIFY(!varset.findParam("var(x)"));
    const ControllerDef& hitdef = sc.at(s.findController(SyntaxDefinition::StateController, "hitdef"));
    QVERIFY(hitdef.findParam("attr")->matches("s,na"));
    QVERIFY(!hitdef.findParam("attr")->matches("x,na"));
    QCOMPARE(hitdef.findParam("sparkno")->type, ValueType::StrExp);
    QVERIFY(sc.at(s.findController(SyntaxDefinition::StateController, "null")).findParam("anything.at.all"));
    QCOMPARE(s.findTrigger("projcontact1200"), QString("op2int2"));
    QCOMPARE(s.findTrigger("statetime"), QString(""));
    QVERIFY(s.isConst("const", "velocity.run.fwd.x"));
    QCOMPARE(s.section(SyntaxDefinition::Velocity).value("walk.fwd"), ValueType::Float2Opt);
    QCOMPARE(s.section(SyntaxDefinition::Files).value("pal12"), ValueType::Any);
    // Every value pattern compiles.
    for (const ControllerDef& c : sc)
        for (auto it = c.params.cbegin(); it != c.params.cend(); ++it)
            if (!it->pattern.isEmpty())
                QVERIFY2(it->regex.isValid(), qPrintable(c.name + '.' + it.key()));
    for (auto it = s.triggers().cbegin(); it != s.triggers().cend(); ++it)
        for (const QRegularExpression& re : s.valuePatterns(it.value()))
            QVERIFY2(re.isValid(), qPrintable(it.key()));

    const QStringList words = s.vocabulary();
    for (const char* w : {"changestate", "AnimElem", "const", "data.life", "velocity.run.fwd.x", "spriteno"})
        QVERIFY2(words.contains(w, Qt::CaseInsensitive), w);
    QVERIFY(!words.contains("var\\(\\d+\\)"));
}

void TestSyntaxDefinition::shippedFileSpellsNamesInLowerCase()
{
    // The checker compares lower-cased text with these names exactly.
    SyntaxDefinition s;
    QVERIFY(s.load(shippedPath()));
    for (int k = 0; k < SyntaxDefinition::ControllerKindCount; ++k) {
        for (const ControllerDef& c : s.controllers(SyntaxDefinition::ControllerKind(k))) {
            QCOMPARE(c.name, c.name.toLower());
            for (auto it = c.params.keyBegin(); it != c.params.keyEnd(); ++it)
                QCOMPARE(*it, it->toLower());
        }
    }
    for (int i = 0; i < SyntaxDefinition::SectionCount; ++i)
        for (const QString& key : s.section(SyntaxDefinition::Section(i)).keys())
            QCOMPARE(key, key.toLower());
    for (const QStringList& group : s.constGroups())
        for (const QString& c : group)
            QCOMPARE(c, c.toLower());
    for (const QString& t : s.triggers().keys())
        if (t.contains('('))
            QCOMPARE(t, t.toLower());
}

QTEST_GUILESS_MAIN(TestSyntaxDefinition)
#include "tst_syntaxdefinition.moc"

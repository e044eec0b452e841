// A code document's outline (for a CNS, a CMD and a DEF) and how it follows
// edits; the state numbers a jump to a Statedef reads; where the editor offers
// words.
#include "codenavigation.h"
#include "qcodeoutline.h"
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// The outline as "text@line" entries, children in brackets.
QString show(const QList<QCodeOutline::Entry>& entries)
{
    QStringList out;
    for (const QCodeOutline::Entry& e : entries)
        out << QString("%1@%2").arg(e.text).arg(e.line + 1) + (e.children.isEmpty() ? "" : "[" + show(e.children) + "]");
    return out.join(" | ");
}

} // namespace

class TestQCodeOutline : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(syntax.load(QCoreApplication::applicationDirPath() + "/syntax.xml")); }
    void outline_data();
    void outline();
    void followsEdits();
    void stateReferences_data();
    void stateReferences();
    void wordsAndComments();

private:
    SyntaxDefinition syntax;
};

void TestQCodeOutline::outline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("outline");
    QTest::newRow("CNS") << "[Data]\nlife = 1000\n\n; Stand\n[Statedef 0]\ntype = S\n[State 0, Turn]\ntype = Turn\ntrigger1 = 1\n"
                            "[State 0, 2] ; comment\ntrigger1 = 1\ntype = ChangeState\nvalue = 20\n[State 0, bad]\ntype = NoSuchThing\n"
                            "[Statedef 200, Punch]\n[State 200, 1]\n"
                         << "Data@1 | Statedef 0@5[Turn (Turn)@7 | 2 (ChangeState)@10 | bad (NoSuchThing)@14] | "
                            "Statedef 200, Punch@16[1@17]";
    QTest::newRow("CMD") << "[Remap]\nx = x\n[Defaults]\ncommand.time = 15\n[Command]\nname = \"QCF_x\"\ncommand = ~D, DF, F, x\n"
                            "[Command]\ncommand = x\nname = \"x\"\n[Command]\n[Statedef -1]\n[State -1, Hadouken]\ntype = ChangeState\n"
                            "value = 1000\ntriggerall = command = \"QCF_x\"\n"
                         << "Remap@1 | Defaults@3 | QCF_x@5 | x@8 | Command@11 | Statedef -1@12[Hadouken (ChangeState)@13]";
    QTest::newRow("DEF") << "; Kung Fu Man\n[Info]\nname = \"Kung Fu Man\"\n[Files]\ncmd = kfm.cmd\n[Arcade]\n[Palette Keymap]\n[Foo]\n"
                         << "Info@2 | Files@4 | Arcade@6 | Palette Keymap@7 | Foo@8";
}

void TestQCodeOutline::outline()
{
    QFETCH(QString, text);
    QFETCH(QString, outline);
    QTextDocument doc;
    doc.documentLayout(); // a document without a layout reports no change to its highlighter
    QMugenHighlighter h(&doc, &syntax);
    doc.setPlainText(text);
    QCodeOutline model;
    model.setDocument(&doc);
    QCOMPARE(show(model.entries()), outline);
    QCOMPARE(show(QCodeOutline::gather(&doc)), outline);
    // The model shows the same tree.
    QCOMPARE(model.rowCount(), int(model.entries().size()));
    const QModelIndex first = model.index(0, 0);
    QCOMPARE(first.data().toString(), model.entries()[0].text);
    for (int r = 0; r < model.rowCount(); ++r)
        QCOMPARE(model.rowCount(model.index(r, 0)), int(model.entries()[r].children.size()));
}

// Typing changes only the rows that differ: a tree keeps its place.
void TestQCodeOutline::followsEdits()
{
    QTextDocument doc;
    doc.documentLayout(); // a document without a layout reports no change to its highlighter
    QMugenHighlighter h(&doc, &syntax);
    doc.setPlainText("[Statedef 0]\n[State 0, a]\ntype = Null\n[Statedef 200]\n[State 200, b]\ntype = Null\n");
    QCodeOutline model;
    model.setDocument(&doc);
    QStringList events;
    connect(&model, &QAbstractItemModel::modelReset, this, [&] { events << "reset"; });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&](const QModelIndex& p, int f, int l) {
        events << QString("+%1%2-%3").arg(p.isValid() ? QString::number(p.row()) + "/" : "").arg(f).arg(l);
    });
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [&](const QModelIndex& p, int f, int l) {
        events << QString("-%1%2-%3").arg(p.isValid() ? QString::number(p.row()) + "/" : "").arg(f).arg(l);
    });
    connect(&model, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& i) {
        events << QString("~%1%2").arg(i.parent().isValid() ? QString::number(i.parent().row()) + "/" : "").arg(i.row());
    });
    auto typeAt = [&](int line, int column, const QString& s) {
        QTextCursor c(doc.findBlockByNumber(line));
        c.setPosition(c.position() + column);
        for (const QChar ch : s)
            c.insertText(ch); // key by key, as a person types
    };
    typeAt(2, 11, "x");              // "type = Nullx": an unknown controller's name
    typeAt(0, 0, "\n");              // a line in front, typed into: the entries'
    typeAt(0, 0, "; top");           // lines move, nothing shows
    QTextCursor(doc.findBlockByNumber(5)).insertText("[State 200, c]\n"); // pasted
    typeAt(4, 13, "1");              // [Statedef 2001]
    QCOMPARE(show(model.entries()), "Statedef 0@2[a (Nullx)@3] | Statedef 2001@5[c@6 | b (Null)@7]");
    QCOMPARE(events.join(' '), "~0/0 +1/0-0 ~1");
    QCOMPARE(model.data(model.index(0, 0), QCodeOutline::LineRole).toInt(), 1);
    QCOMPARE(QCodeOutline::findStatedef(&doc, 2001), 4);
    QCOMPARE(QCodeOutline::findStatedef(&doc, 200), -1);
}

void TestQCodeOutline::stateReferences_data()
{
    QTest::addColumn<QString>("text");   // the line under test is the last; | marks the cursor
    QTest::addColumn<int>("state");      // -999: none
    const QString cs = "[State 200, 1]\ntype = ChangeState\n";
    QTest::newRow("changestate value") << cs + "value = 2|10" << 210;
    QTest::newRow("cursor after the number") << cs + "value = 210|" << 210;
    QTest::newRow("selfstate value") << "[State 200, 1]\ntype = SelfState\nvalue = |5000" << 5000;
    QTest::newRow("value of another controller") << "[State 200, 1]\ntype = VarSet\nvalue = |5000" << -999;
    QTest::newRow("p2stateno") << "[State 200, 1]\ntype = HitDef\np2stateno = 8|20" << 820;
    QTest::newRow("trigger") << cs + "trigger1 = stateno = 2|00" << 200;
    QTest::newRow("trigger range") << cs + "trigger1 = prevstateno = [200, 21|0]" << 210;
    QTest::newRow("statedef header") << "[Statedef -|1]" << -1;
    QTest::newRow("state header") << "[State 20|0, 1]" << 200;
    QTest::newRow("state header label") << "[State 200, |1]" << -999;
    QTest::newRow("anim") << cs + "anim = 2|00" << -999;
    QTest::newRow("in a comment") << cs + "value = 0 ; stateno = 2|00" << -999;
    QTest::newRow("part of a word") << cs + "trigger1 = var|5 = 1" << -999;
}

void TestQCodeOutline::stateReferences()
{
    QFETCH(QString, text);
    QFETCH(int, state);
    const int cursor = int(text.size() - text.section('\n', -1).size() + text.section('\n', -1).indexOf('|'));
    QTextDocument doc;
    doc.documentLayout(); // a document without a layout reports no change to its highlighter
    QMugenHighlighter h(&doc, &syntax);
    doc.setPlainText(QString(text).remove('|'));
    const QTextBlock block = doc.findBlock(cursor);
    int number = -999;
    const bool found = codenavigation::stateReferenceAt(block, cursor - block.position(), &syntax, &number);
    QCOMPARE(found ? number : -999, state);
}

void TestQCodeOutline::wordsAndComments()
{
    using namespace codenavigation;
    QCOMPARE(wordBefore(u"trigger1 = AnimElem", 19), QString("AnimElem"));
    QCOMPARE(wordBefore(u"x = const(velocity.wa", 21), QString("velocity.wa"));
    QCOMPARE(wordBefore(u"x = 12ab", 8), QString("ab"));
    QCOMPARE(wordBefore(u"x = ", 4), QString());
    QVERIFY(!inCommentOrString(u"value = cha", 11));
    QVERIFY(inCommentOrString(u"value = 1 ; cha", 15));
    QVERIFY(inCommentOrString(u"name = \"cha", 11));
    QVERIFY(!inCommentOrString(u"name = \"a;b\" cha", 16));
}

QTEST_MAIN(TestQCodeOutline)
#include "tst_qcodeoutline.moc"

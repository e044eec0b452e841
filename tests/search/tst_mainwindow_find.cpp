// The Search page of the real window: finding sprites, palettes and sounds by
// group and number and actions by number or name, finding text in the code
// page in both directions, replacing it, the keys that reach the page and
// what the status bar says.
#include "../shell/windowfixture.h"
#include "../sounds/sndbuilder.h"
#include "../sprites/spritetestdata.h"
#include "mainwindow.h"
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "qrenderwidget.h"
#include "qsprrender.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

namespace {

// Sprites by index: group,number.
const QList<QPair<int, int>> spriteKeys{{0, 0}, {5, 0}, {9000, 0}, {9000, 1}, {1, 5}, {20, 20}, {9000, 1}, {0, 3}, {2, 1}};
// Palettes by index: group,number (palette groups may be negative).
const QList<QPair<int, int>> paletteKeys{{1, 1}, {1, 2}, {-1, 3}, {1, 2}};
// Sounds by index: group,number.
const QList<QPair<int, int>> soundKeys{{0, 0}, {5, 1}, {5, 2}, {1, 5}, {5, 1}};
// Actions by index: 0 Stand 0, 1 Walk 20, 2 Run 200, 3 WALK 21, 4 idle 0, 5 "200" 7, 6 Jump 40.
const char* const actions = "; Stand\n[Begin Action 0]\n0,0, 0,0, 5\n"
                            ";Walk\n[Begin Action 20]\n0,0, 0,0, 5\n"
                            "; Run\n[Begin Action 200]\n0,0, 0,0, 5\n"
                            "; WALK\n[Begin Action 21]\n0,0, 0,0, 5\n"
                            "; idle\n[Begin Action 0]\n0,0, 0,0, 5\n"
                            "; 200\n[Begin Action 7]\n0,0, 0,0, 5\n"
                            "; Jump\n[Begin Action 40]\n0,0, 0,0, 5\n";

} // namespace

class TestMainWindowFind : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void itemsByGroupNumberOrName_data();
    void itemsByGroupNumberOrName();
    void codePage_data();
    void codePage();
    void keysFocusAndReplaceRow();

private:
    template <class T = QWidget> T* child(const QString& name) { return w->findChild<T*>(name); }
    QAction* action(const char* name) { return child<QAction>(QString::fromLatin1(name)); }
    QCodeEdit* editor() { return files->editor(); }
    QString status() { return w->statusBar()->currentMessage(); }
    // The code page with a new document holding `text`, nothing to undo.
    void newCode(const QString& text)
    {
        action("actionNew_2")->trigger();
        editor()->setPlainText(text);
    }
    // The editor's text with its selection in brackets, or its cursor as "|"
    // (only when `marks`), and what the status bar says in parentheses.
    QString state(bool marks)
    {
        QString t = editor()->toPlainText();
        const QTextCursor c = editor()->textCursor();
        if (marks && c.hasSelection())
            t.insert(c.selectionEnd(), ']').insert(c.selectionStart(), '[');
        else if (marks)
            t.insert(c.position(), '|');
        return status().isEmpty() ? t : t + " (" + status() + ')';
    }

    MainWindow* w = nullptr;
    QCodeFiles* files = nullptr;
    QTemporaryDir dir;
    QString sffPath, sndPath;
};

void TestMainWindowFind::initTestCase()
{
    QVERIFY(dir.isValid() && windowfixture::installShippedConfig());
    QSprites sprites(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    for (int i = 0; i < spriteKeys.size(); ++i) {
        sprites.addSprite();
        QVERIFY(sprites.setImage(i, spritetest::indexed(4, 4, i, spritetest::colours(0))));
        SpriteInfo info = sprites.spriteInfo(i);
        info.group = quint16(spriteKeys[i].first);
        info.number = quint16(spriteKeys[i].second);
        sprites.setSpriteInfo(i, info);
    }
    for (int i = 0; i < paletteKeys.size(); ++i) {
        if (i >= sprites.paletteCount())
            sprites.addPalette(spritetest::colours(i), false, 0, 0);
        sprites.setPaletteInfo(i, qint16(paletteKeys[i].first), qint16(paletteKeys[i].second), 256);
    }
    sffPath = dir.filePath("keys.sff");
    QVERIFY(sprites.save(sffPath, true));
    QList<sndbuilder::Sound> sounds;
    for (const auto& [group, number] : soundKeys)
        sounds.append({quint32(group), quint32(number), sndbuilder::wav(8)});
    sndPath = writeFile(dir.filePath("keys.snd"), sndbuilder::snd(sounds));
}

void TestMainWindowFind::init()
{
    w = new MainWindow;
    w->resize(900, 600);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w)); // window shortcuts need an active window
    files = w->findChild<QCodeFiles*>();
    takeDialogsSeen();
}

void TestMainWindowFind::cleanup()
{
    clearAnswers();
    for (QTextDocument* d : w->findChildren<QTextDocument*>())
        d->setModified(false); // unsaved test edits must not hold the window open
    windowfixture::destroyWindow(w);
}

// From the item `from` of a page, Next or Previous with the field's text: the
// item selected then, what its page shows of it (group,number) and what the
// status bar says.
void TestMainWindowFind::itemsByGroupNumberOrName_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("said");
    const int sff = MainWindow::SffTab, act = MainWindow::ActTab, snd = MainWindow::SndTab, air = MainWindow::AirTab;
    const QString notFound = "Not found", notKey = "Not a group,number";
    QTest::newRow("9000,1: the next one") << sff << 0 << "9000,1" << false << 3 << "";
    QTest::newRow("9000,1: the one after") << sff << 3 << "9000,1" << false << 6 << "";
    QTest::newRow("9000,1 at the last one: no wrap") << sff << 6 << "9000,1" << false << 6 << notFound;
    QTest::newRow("5: group 5") << sff << 0 << "5" << false << 1 << "";
    QTest::newRow("5: number 5") << sff << 1 << "5" << false << 4 << "";
    QTest::newRow("5 backward") << sff << 8 << "5" << true << 4 << "";
    QTest::newRow("blanks around the pieces") << sff << 0 << " 9000 , 1 " << false << 3 << "";
    QTest::newRow("next at the last item") << sff << 8 << "2" << false << 8 << notFound;
    QTest::newRow("previous at the first item") << sff << 0 << "0" << true << 0 << notFound;
    QTest::newRow("1,2,3 never matches") << sff << 0 << "1,2,3" << false << 0 << notKey;
    // Read as 0 these would find sprite 0,3 or 9000,0.
    QTest::newRow("a word is no number") << sff << 0 << "walk" << false << 0 << notKey;
    QTest::newRow("an empty number") << sff << 0 << "9000," << false << 0 << notKey;
    QTest::newRow("an empty group") << sff << 0 << ",0" << false << 0 << notKey;
    QTest::newRow("an empty field finds nothing, says nothing") << sff << 0 << "" << false << 0 << "";
    QTest::newRow("palettes: 1,2") << act << 0 << "1,2" << false << 1 << "";
    QTest::newRow("palettes: a negative group") << act << 3 << "-1,3" << true << 2 << "";
    QTest::newRow("palettes: 3") << act << 0 << "3" << false << 2 << "";
    QTest::newRow("sounds: 5,1") << snd << 0 << "5,1" << false << 1 << "";
    QTest::newRow("sounds: 5 backward") << snd << 4 << "5" << true << 3 << "";
    QTest::newRow("sounds: nothing after") << snd << 4 << "5,1" << false << 4 << notFound;
    QTest::newRow("actions: walk finds Walk") << air << 0 << "walk" << false << 1 << "";
    QTest::newRow("actions: walk finds WALK") << air << 1 << "walk" << false << 3 << "";
    // Read as 0, walk would find action 4, numbered 0.
    QTest::newRow("actions: a name is no number") << air << 3 << "walk" << false << 3 << notFound;
    QTest::newRow("actions: 200 by number") << air << 0 << "200" << false << 2 << "";
    QTest::newRow("actions: 200 by name") << air << 2 << "200" << false << 5 << "";
    QTest::newRow("actions: 0") << air << 0 << "0" << false << 4 << "";
    QTest::newRow("actions: name with blanks typed") << air << 0 << " run " << false << 2 << "";
}

void TestMainWindowFind::itemsByGroupNumberOrName()
{
    QFETCH(int, page);
    QFETCH(int, from);
    QFETCH(QString, text);
    QFETCH(bool, backward);
    QFETCH(int, at);
    QFETCH(QString, said);
    answerFileDialog(sffPath);
    action("actionAbrir_2")->trigger();
    answerFileDialog(sndPath);
    action("actionOpen_3")->trigger();
    QVERIFY(takeDialogsSeen().size() == 2 && pendingAnswers() == 0);
    // The AIR tab's own slots open no file yet: the actions go straight into the set.
    w->animationSet().parse(actions, "t.air");
    w->updateAnimationRange();

    child<QTabWidget>("tabs")->setCurrentIndex(page);
    const char* names[][3] = {{"sprSel", "sprGrp", "sprImg"}, {"actSel", "actGrp", "actNum"},
                              {"sndSel", "sndGrp", "sndNum"}, {"airSel", "", ""}};
    auto* selector = child<QScrollBar>(names[page][0]);
    QCOMPARE(selector->maximum() + 1, QList<int>({9, 4, 5, 7}).at(page));
    selector->setValue(from);
    child<QLineEdit>("findStr")->setText(text);
    child<QPushButton>(backward ? "findPrev" : "findNext")->click();
    QCOMPARE(selector->value(), at);
    QCOMPARE(status(), said);
    if (page != MainWindow::AirTab) {
        // The page shows the item found, as when the scroll bar is moved there.
        const auto key = QList<QList<QPair<int, int>>>{spriteKeys, paletteKeys, soundKeys}.at(page).at(at);
        QCOMPARE(QString("%1,%2").arg(child<QSpinBox>(names[page][1])->value()).arg(child<QSpinBox>(names[page][2])->value()),
                 QString("%1,%2").arg(key.first).arg(key.second));
    }
}

// A code document, the field's text, the replacement, the options, the
// cursor ("from" or "from-to" for a selection), then steps: the buttons
// next, prev, replace, replaceback, all; the keys Enter, Shift+Enter, F3,
// Shift+F3 and Ctrl+Z. After each step the text with the selection in
// brackets or the cursor as "|" (not after all and Ctrl+Z, which show the
// text only), and the status bar's message in parentheses.
void TestMainWindowFind::codePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states");
    const QString nf = " (Not found)";

    QTest::newRow("forward, any case, inside words, no wrap")
        << "Time x time_2 animtime" << "time" << "" << "" << "0" << QStringList{"next", "next", "next", "next"}
        << QStringList{"[Time] x time_2 animtime", "Time x [time]_2 animtime", "Time x time_2 anim[time]",
                       "Time x time_2 anim[time]" + nf};
    QTest::newRow("backward from the cursor, no wrap")
        << "time x time x time" << "time" << "" << "" << "18" << QStringList{"prev", "prev", "prev", "prev"}
        << QStringList{"time x time x [time]", "time x [time] x time", "[time] x time x time", "[time] x time x time" + nf};
    QTest::newRow("from inside a word, across lines")
        << "time\nx time\ntime" << "TIME" << "" << "" << "1" << QStringList{"next", "prev", "prev"}
        << QStringList{"time\nx [time]\ntime", "[time]\nx time\ntime", "[time]\nx time\ntime" + nf};
    QTest::newRow("the text as typed, blanks too")
        << "a = 1\na=2" << "a =" << "" << "" << "0" << QStringList{"next", "next"}
        << QStringList{"[a =] 1\na=2", "[a =] 1\na=2" + nf};
    QTest::newRow("match case") << "Time time TIME" << "TIME" << "" << "case" << "0" << QStringList{"next", "prev"}
                                << QStringList{"Time time [TIME]", "Time time [TIME]" + nf};
    QTest::newRow("whole words")
        << "time animtime time_2 (time) Time" << "time" << "" << "words" << "0" << QStringList{"next", "next", "next", "next"}
        << QStringList{"[time] animtime time_2 (time) Time", "time animtime time_2 ([time]) Time",
                       "time animtime time_2 (time) [Time]", "time animtime time_2 (time) [Time]" + nf};
    QTest::newRow("whole words at the word edges of the text only")
        << "myvar(1) var(1)=2" << "var(1)" << "" << "words" << "0" << QStringList{"next", "prev"}
        << QStringList{"myvar(1) [var(1)]=2", "myvar(1) [var(1)]=2" + nf};
    QTest::newRow("Enter, Shift+Enter, F3, Shift+F3")
        << "a a a" << "a" << "" << "" << "0" << QStringList{"Enter", "Enter", "Shift+Enter", "F3", "F3", "Shift+F3"}
        << QStringList{"[a] a a", "a [a] a", "[a] a a", "a [a] a", "a a [a]", "a [a] a"};
    QTest::newRow("an empty field finds nothing") << "a a" << "" << "" << "" << "1" << QStringList{"next", "F3"}
                                                  << QStringList{"a| a", "a| a"};

    QTest::newRow("replace: a match is replaced, then the next found")
        << "Time x time y TIME" << "time" << "Anim" << "" << "0"
        << QStringList{"replace", "replace", "replace", "replace", "Ctrl+Z"}
        << QStringList{"[Time] x time y TIME", "Anim x [time] y TIME", "Anim x Anim y [TIME]", "Anim x Anim y Anim|" + nf,
                       "Anim x Anim y TIME" + nf};
    QTest::newRow("replace: the new text is not searched again")
        << "a b a" << "a" << "aa" << "" << "0" << QStringList{"replace", "replace", "replace"}
        << QStringList{"[a] b a", "aa b [a]", "aa b aa|" + nf};
    QTest::newRow("replace backward")
        << "a b a" << "a" << "aa" << "" << "5" << QStringList{"replaceback", "replaceback", "replaceback"}
        << QStringList{"a b [a]", "[a] b aa", "|aa b aa" + nf};
    QTest::newRow("replace: a selection of another case is no match")
        << "Time time" << "time" << "x" << "case" << "0-4" << QStringList{"replace", "replace"}
        << QStringList{"Time [time]", "Time x|" + nf};
    QTest::newRow("replace: part of a word is no whole word")
        << "animtime time" << "time" << "x" << "words" << "4-8" << QStringList{"replace", "replace"}
        << QStringList{"animtime [time]", "animtime x|" + nf};

    QTest::newRow("all, one undo") << "x x x x x x x x x x Xx" << "x" << "y" << "" << "0" << QStringList{"all", "Ctrl+Z"}
                                   << QStringList{"y y y y y y y y y y yy (12 replaced)", "x x x x x x x x x x Xx (12 replaced)"};
    QTest::newRow("all, match case and whole words")
        << "time Time animtime time_2 time" << "time" << "tick" << "case words" << "0" << QStringList{"all"}
        << QStringList{"tick Time animtime time_2 tick (2 replaced)"};
    QTest::newRow("all, an empty replacement deletes")
        << "[State 1]\ntype = ChangeState\n" << "state" << "" << "" << "0" << QStringList{"all", "Ctrl+Z"}
        << QStringList{"[ 1]\ntype = Change\n (2 replaced)", "[State 1]\ntype = ChangeState\n (2 replaced)"};
    QTest::newRow("all, none there") << "abc" << "d" << "e" << "" << "0" << QStringList{"all"}
                                     << QStringList{"abc" + nf};
}

void TestMainWindowFind::codePage()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QString, options);
    QFETCH(QString, from);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    newCode(text);
    action("actionFind")->trigger(); // the Search page shows
    QTextCursor c = editor()->textCursor();
    c.setPosition(from.section('-', 0, 0).toInt());
    c.setPosition(from.section('-', -1).toInt(), QTextCursor::KeepAnchor);
    editor()->setTextCursor(c);
    child<QLineEdit>("findStr")->setText(find);
    child<QLineEdit>("lineEdit_2")->setText(replace);
    child<QCheckBox>("findCase")->setChecked(options.contains("case"));
    child<QCheckBox>("findWholeWords")->setChecked(options.contains("words"));

    const QMap<QString, QString> buttons{{"next", "findNext"}, {"prev", "findPrev"}, {"replace", "pushButton_3"},
                                         {"replaceback", "pushButton_4"}, {"all", "pushButton_5"}};
    QStringList seen;
    for (const QString& step : steps) {
        if (buttons.contains(step)) {
            child<QPushButton>(buttons[step])->click();
        } else {
            // Enter goes to the field, the other keys to the editor, each
            // holding the keyboard as when a person types there.
            const QKeyCombination key = QKeySequence(step)[0];
            QWidget* target = step.endsWith("Enter") ? static_cast<QWidget*>(child<QLineEdit>("findStr")) : editor();
            target->setFocus();
            QTest::keyClick(target, key.key() == Qt::Key_Enter ? Qt::Key_Return : key.key(), key.keyboardModifiers());
        }
        seen << state(step != "all" && step != "Ctrl+Z");
    }
    QCOMPARE(seen, states);
    // However many were replaced at once, one undo took them all back.
    if (steps.contains("all") && steps.contains("Ctrl+Z"))
        QVERIFY(!editor()->document()->isUndoAvailable());
}

void TestMainWindowFind::keysFocusAndReplaceRow()
{
    auto* field = child<QLineEdit>("findStr");
    auto* utilities = child<QTabWidget>("utilTabs");
    auto* pages = child<QTabWidget>("tabs");
    const QStringList replaceRow{"label_16", "lineEdit_2", "pushButton_3", "pushButton_4", "pushButton_5"};
    const auto replaceRowEnabled = [&] {
        QString s;
        for (const QString& name : replaceRow)
            s += child(name)->isEnabled() ? '1' : '0';
        return s;
    };

    // Ctrl+F with the utilities pane hidden shows it on the Search page, the
    // field ready for a new text; the menu shows the key.
    action("actionUtilities")->trigger();
    QVERIFY(!utilities->isVisible());
    field->setText("old");
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(utilities->isVisible() && action("actionUtilities")->isChecked());
    QCOMPARE(utilities->currentWidget(), child("searchTab"));
    QVERIFY(field->hasFocus() && field->selectedText() == "old");
    QCOMPARE(action("actionFind")->shortcut(), QKeySequence("Ctrl+F"));
    // The AIR page's Find button does the same.
    utilities->setCurrentIndex(0);
    child<QToolButton>("airFind")->click();
    QCOMPARE(utilities->currentWidget(), child("searchTab"));

    // Replacing is for the code page only.
    QCOMPARE(replaceRowEnabled(), QString("00000"));
    pages->setCurrentIndex(MainWindow::CodeTab);
    QCOMPARE(replaceRowEnabled(), QString("11111"));
    // With no document there is nothing to find or replace.
    field->setText("a");
    for (const char* button : {"findNext", "pushButton_3", "pushButton_5"}) {
        child<QPushButton>(button)->click();
        QCOMPARE(status(), QString("Not found"));
        w->statusBar()->clearMessage();
    }

    // The buttons give the field the keyboard back with its text selected; F3
    // leaves it in the editor.
    newCode("a\nb a");
    child<QPushButton>("findNext")->click();
    QVERIFY(field->hasFocus() && field->selectedText() == "a");
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_F3);
    QVERIFY(editor()->hasFocus());
    QCOMPARE(editor()->textCursor().selectionStart(), 4);

    pages->setCurrentIndex(MainWindow::AirTab);
    QCOMPARE(replaceRowEnabled(), QString("00000"));
    // The answer goes away by itself.
    field->setText("x");
    child<QPushButton>("findNext")->click();
    QCOMPARE(status(), QString("Not found"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString(), 8000);

    // The page as a person sees it: a real states file, a controller found.
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.cns");
    QVERIFY(files->open(kfm, true));
    pages->setCurrentIndex(MainWindow::CodeTab);
    field->setText("velset");
    child<QCheckBox>("findWholeWords")->setChecked(true);
    child<QLineEdit>("lineEdit_2")->setText("VelAdd");
    for (int i = 0; i < 3; ++i)
        child<QPushButton>("findNext")->click();
    QCOMPARE(editor()->textCursor().selectedText().toLower(), QString("velset"));
    QCoreApplication::processEvents();
    saveSnapshot(w, "search-code-page");
}

QTEST_MAIN(TestMainWindowFind)
#include "tst_mainwindow_find.moc"

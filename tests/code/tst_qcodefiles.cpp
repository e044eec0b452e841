// Code documents in tabs of the window's code page: the DEF/CMD/CNS menu,
// opening, saving, closing and moving tabs, unsaved code when the window
// closes, and the editor's completion keys and mark tool tips.
#include "../shell/windowfixture.h"
#include "mainwindow.h"
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "qmugenhighlighter.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

class TestQCodeFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();

    void openFromTheMenuNeverTwice();
    void savesTheBytesItRead_data();
    void savesTheBytesItRead();
    void failedSaveWarnsAndKeepsTheMark();
    void unencodableCharacterAsks();
    void encodingMenuAndStatusBar();
    void saveAsksForANameOnce();
    void movingTabsKeepsTheCurrentDocument();
    void discardQuestions();
    void markToolTips();
    void completionKeys_data();
    void completionKeys();
    void lineNumbersOutlineAndGoTo();
    void jumpToStatedefAcrossDocuments();
    void japaneseAndKoreanComments();

private:
    QAction* action(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
    QTabBar* tabBar() { return files->tabBar(); }
    QTabWidget* pages() { return w->findChild<QTabWidget*>("tabs"); }
    QString write(const QString& name, const QByteArray& bytes) { return writeFile(dir->filePath(name), bytes); }
    // The tab titles joined by "|"; a tab not naming the file of the document at its index is flagged.
    QString titles() const
    {
        QStringList t;
        for (int i = 0; i < files->tabBar()->count(); ++i)
            t << files->tabBar()->tabText(i) + (QFileInfo(files->fileName(i)).fileName() == QString(files->tabBar()->tabText(i)).remove('*') ? "" : "(?)");
        return files->count() == files->tabBar()->count() ? t.join('|') : "(tab count differs)";
    }
    // The current index when the tab bar and the editor agree with it, else -99.
    int current() const
    {
        const int i = files->currentIndex();
        return files->tabBar()->currentIndex() == i && (i < 0 || files->editor()->document() == files->document(i)) ? i : -99;
    }
    // "title: text" of each dialog answered since the last look.
    static QStringList seen()
    {
        QStringList t;
        for (const DialogSeen& d : takeDialogsSeen())
            t << d.title + ": " + d.text;
        return t;
    }

    MainWindow* w = nullptr;
    QCodeFiles* files = nullptr;
    QTemporaryDir* dir = nullptr; // a fresh folder for each test
};

void TestQCodeFiles::init()
{
    dir = new QTemporaryDir;
    w = new MainWindow;
    w->resize(900, 650);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    files = w->findChild<QCodeFiles*>();
    seen();
}

void TestQCodeFiles::cleanup()
{
    clearAnswers();
    for (QTextDocument* d : w->findChildren<QTextDocument*>())
        d->setModified(false); // unsaved test edits must not hold the window open
    windowfixture::destroyWindow(w);
    delete dir;
}

void TestQCodeFiles::openFromTheMenuNeverTwice()
{
    // Opened while another page shows, the first file becomes current but stays hidden.
    QVERIFY(files->open(write("a.CNS", ""), false));
    QVERIFY(files->open(write("b.cmd", ""), false));
    QCOMPARE(current(), 0);
    QVERIFY(!files->tabBar()->isVisible() && !files->editor()->isVisible());
    // The menu shows the code page; a file open already, whatever its case, is only switched to.
    answerFileDialog(write("c.cns", ""));
    action("actionOpen")->trigger();
    QCOMPARE(current(), 2);
    answerFileDialog(dir->filePath("A.cns"));
    action("actionOpen")->trigger();
    QCOMPARE(pages()->currentIndex(), int(MainWindow::CodeTab));
    QCOMPARE(current(), 0);
    QCOMPARE(titles(), QString("a.CNS|b.cmd|c.cns"));
    // A file that cannot be read (a folder) is warned about.
    answerFileDialog(dir->path());
    answerMessageBox(QMessageBox::Ok);
    action("actionOpen")->trigger();
    QCOMPARE(seen().value(3), "Open DEF/CMD/CNS: The file " + dir->path() + " could not be opened.");
    QCOMPARE(files->count(), 3);
    // The page with a real character's states open, as a person sees it.
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.cns");
    answerFileDialog(kfm);
    action("actionOpen")->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(QImage(saveSnapshot(w, "codepage-kfm-cns")).size(), w->size() * w->devicePixelRatio());
}

void TestQCodeFiles::savesTheBytesItRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("edited"); // after "; x" and Enter typed at the start
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Data]\n") << QString("[Data]\n")
                                     << QByteArray("\xEF\xBB\xBF; x\n[Data]\n");
    QTest::newRow("no mark") << QByteArray("[Data]\n") << QString("[Data]\n") << QByteArray("; x\n[Data]\n");
    QTest::newRow("Latin-1") << QByteArray("; caf\xe9 \xa9\xa0\r\n") << QString::fromLatin1("; caf\xe9 \xa9\xa0\n")
                             << QByteArray("; x\r\n; caf\xe9 \xa9\xa0\r\n");
    QTest::newRow("CR LF kept") << QByteArray("[Data]\r\nlife = 1\r\n") << QString("[Data]\nlife = 1\n")
                                << QByteArray("; x\r\n[Data]\r\nlife = 1\r\n");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0D\0]\0\n\0", 10) << QString("[D]\n")
                            << QByteArray("\xFF\xFE;\0 \0x\0\n\0[\0D\0]\0\n\0", 18);
}

void TestQCodeFiles::savesTheBytesItRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, edited);
    const QString path = write("x.cns", bytes);
    QVERIFY(files->open(path, true));
    QCOMPARE(files->text(0), text);
    QVERIFY(files->save(0));
    QCOMPARE(readFile(path), bytes);
    // Typed at the start of the file: the new line, with the file's own line end.
    QTextCursor(files->document(0)).insertText("; x\n");
    QVERIFY(files->save(0));
    QCOMPARE(readFile(path), edited);
}

void TestQCodeFiles::failedSaveWarnsAndKeepsTheMark()
{
    // A file that cannot be replaced: its name now belongs to a folder (a read-only
    // file would do as well, but not for a user who may write anywhere). Then a
    // Save As into a missing folder.
    const QString path = write("locked.cns", "[Data]\n"), missing = dir->filePath("no/such/folder/x.cns");
    QVERIFY(files->open(path, true));
    files->editor()->textCursor().insertText("; edited\n");
    QVERIFY(QFile::remove(path) && QDir(dir->path()).mkdir("locked.cns"));
    answerMessageBox(QMessageBox::Ok);
    answerMessageBox(QMessageBox::Ok);
    QVERIFY(!files->save(0));
    QVERIFY(!files->saveAs(0, missing));
    const QStringList warnings = seen();
    QCOMPARE(warnings.size(), 2);
    QVERIFY2(warnings[0].startsWith("Save DEF/CMD/CNS: ") && warnings[0].contains(path), qPrintable(warnings[0]));
    QVERIFY2(warnings[1].startsWith("Save DEF/CMD/CNS: ") && warnings[1].contains(missing), qPrintable(warnings[1]));
    QCOMPARE(titles(), QString("locked.cns*")); // still modified, still the old file
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
}

void TestQCodeFiles::saveAsksForANameOnce()
{
    action("actionSave_2")->trigger(); // nothing open: nothing to save, nothing asked
    action("actionSave_As_3")->trigger();
    action("actionNew_2")->trigger(); // shows the code page
    QTest::keyClicks(files->editor(), "[Data]");
    QCOMPARE(titles(), QString("*"));
    const QString path = dir->filePath("new.cns");
    answerFileDialog(path);
    action("actionSave_2")->trigger();
    QCOMPARE(seen().size(), 1);
    QCOMPARE(titles(), QString("new.cns"));
    // From now on Save writes the file without asking, until the file is deleted.
    QTest::keyClicks(files->editor(), " ");
    action("actionSave_2")->trigger();
    QCOMPARE(readFile(path), QByteArray("[Data] ")); // UTF-8, no mark
    QVERIFY(QFile::remove(path));
    QVERIFY(!files->save(0) && !files->save(5) && !files->saveAs(9, path) && !QFile::exists(path));
    QVERIFY(seen().isEmpty());
    // Save As names the new file even when unchanged, and leaves the current tab's mark alone.
    QVERIFY(files->open(write("b.cns", ""), true));
    QTest::keyClicks(files->editor(), "x");
    QVERIFY(files->saveAs(0, dir->filePath("renamed.cns")));
    QCOMPARE(titles(), QString("renamed.cns|b.cns*"));
}

void TestQCodeFiles::movingTabsKeepsTheCurrentDocument()
{
    for (const char* n : {"a.cns", "b.cns", "c.cns"})
        QVERIFY(files->open(write(n, n), true));
    // Every move: of the current tab, or of another one across it, in front of it or behind it.
    for (int currentTab = 0; currentTab < 3; ++currentTab)
        for (int from = 0; from < 3; ++from)
            for (int to = 0; to < 3; ++to) {
                files->tabBar()->setCurrentIndex(currentTab);
                QTextDocument* currentDoc = files->document(currentTab);
                files->tabBar()->moveTab(from, to);
                QVERIFY2(!titles().contains("(?)"), qPrintable(titles()));
                QVERIFY(current() >= 0 && files->document(current()) == currentDoc);
            }
    QTest::keyClicks(files->editor(), "x"); // marks the tab of the document typed into
    QVERIFY(files->tabBar()->tabText(current()).endsWith('*'));
}

void TestQCodeFiles::discardQuestions()
{
    const QString a = write("a.cns", "[Data]\n"), b = write("b.cns", "[Size]\n"), c = write("c.cns", "[Info]\n");
    for (const QString& p : {a, b, c})
        QVERIFY(files->open(p, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QVERIFY(w->close()); // nothing changed: nothing asked
    w->show();
    // Leaving asks once, naming every changed document; Cancel keeps them all.
    files->document(0)->setModified(true);
    QTest::keyClicks(files->editor(), "x"); // into c, the current one
    answerMessageBox(QMessageBox::Cancel);
    QVERIFY(!w->close());
    QCOMPARE(seen(), QStringList({"Discard changes: These documents have unsaved changes:\n\n    a.cns\n    c.cns"}));
    // Closing a tab asks about unsaved work only, showing it: Cancel keeps it.
    tabBar()->setCurrentIndex(1);
    answerMessageBox(QMessageBox::Cancel);
    files->tabCloseRequested(2);
    QCOMPARE(current(), 2);
    files->tabCloseRequested(1);
    QCOMPARE(titles(), QString("a.cns*|c.cns*"));
    // Save writes it before the tab goes.
    answerMessageBox(QMessageBox::Save);
    files->tabCloseRequested(1);
    QCOMPARE(titles(), QString("a.cns*"));
    QVERIFY(readFile(c).contains('x'));
    const QString q = "Discard changes: Do you really want to discard the changes made in the file ";
    QCOMPARE(seen(), QStringList({q + c, q + c}));
    // File > New asks the one question too: Cancel keeps every document, Discard lets them go.
    answerMessageBox(QMessageBox::Cancel);
    action("actionNovo")->trigger();
    QCOMPARE(files->count(), 1);
    answerMessageBox(QMessageBox::Discard);
    action("actionNovo")->trigger();
    QCOMPARE(files->count(), 0);
    QVERIFY(current() == -1 && files->tabBar()->isVisible() && !files->editor()->isVisible());
    QCOMPARE(seen().size(), 2);
    QCOMPARE(readFile(a), QByteArray("[Data]\n"));
}

void TestQCodeFiles::unencodableCharacterAsks()
{
    const QByteArray latin = "; caf\xe9\r\n[Data]\r\n";
    const QString path = write("w.cns", latin);
    QVERIFY(files->open(path, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    files->editor()->moveCursor(QTextCursor::End);
    files->editor()->insertPlainText(QString::fromUtf8("; 한")); // typed through an input method
    // Cancel: the file stays as it was, and so does the mark; no name is asked for.
    answerMessageBox(QMessageBox::Cancel);
    action("actionSave_2")->trigger();
    QCOMPARE(readFile(path), latin);
    QCOMPARE(titles(), QString("w.cns*"));
    QCOMPARE(seen(), QStringList({"Save DEF/CMD/CNS: Line 3 holds the character \"한\", which Windows-1252 cannot "
                                  "represent. Save " + path + " in UTF-8 instead? Cancel leaves the file as it is."}));
    // Yes: the whole file in UTF-8, told in the status bar.
    answerMessageBox(QMessageBox::Yes);
    action("actionSave_2")->trigger();
    QCOMPARE(readFile(path), QString::fromUtf8("; café\r\n[Data]\r\n; 한").toUtf8());
    QCOMPARE(titles(), QString("w.cns"));
    QCOMPARE(files->encodingLabel()->text(), QString("UTF-8"));
    QVERIFY(action("actionUTF_8")->isChecked() && !action("actionWindows_1252")->isChecked());
}

void TestQCodeFiles::encodingMenuAndStatusBar()
{
    const QByteArray korean = "; \xC7\xD1\xB1\xDB\r\n[Data]\r\n"; // "; 한글" in CP949
    const QString path = write("k.cns", korean);
    QVERIFY(files->open(path, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QVERIFY(files->encodingLabel()->isVisible() && files->problemsLabel()->isVisible());
    QCOMPARE(files->encodingLabel()->text(), QString("CP949"));
    QCOMPARE(files->text(0), QString::fromUtf8("; 한글\n[Data]\n"));
    QVERIFY(action("actionCP949")->isChecked());
    // Another encoding reads the bytes again; nothing is modified, nothing changes on disk.
    action("actionWindows_1252")->trigger();
    QCOMPARE(files->text(0), QString::fromLatin1("; \xC7\xD1\xB1\xDB\n[Data]\n"));
    QVERIFY(action("actionWindows_1252")->isChecked() && !action("actionCP949")->isChecked());
    QCOMPARE(files->encodingLabel()->text(), QString("Windows-1252"));
    QCOMPARE(titles(), QString("k.cns"));
    action("actionCP949")->trigger();
    QVERIFY(files->save(0));
    QCOMPARE(readFile(path), korean);
    // An edited text that the encoding cannot hold: asked, and No keeps the encoding.
    QTest::keyClicks(files->editor(), "x");
    answerMessageBox(QMessageBox::No);
    action("actionWindows_1252")->trigger();
    QCOMPARE(seen().size(), 1);
    QVERIFY(action("actionCP949")->isChecked());
    // The other page's status bar shows none of it.
    pages()->setCurrentIndex(MainWindow::SffTab);
    QVERIFY(!files->encodingLabel()->isVisible());
}

void TestQCodeFiles::markToolTips()
{
    QVERIFY(files->open(write("marks.cns", "[Statedef 200]\ntype = X\n[State 200, 1]\ntype = ChangeState\n"
                                           "trigger1 = AnimElem = 2 && Foo\ntrigger2 = root Life\nbogus = 1\n[Data]\nlife = 1000 2\n"), true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QCodeEdit* edit = files->editor();
    QVERIFY(!QImage(saveSnapshot(w, "codepage-marks")).isNull());
    auto tipAt = [&](int line, int column) {
        QTextCursor c(files->document(0)->findBlockByNumber(line));
        c.setPosition(c.position() + column);
        const QPoint p = edit->cursorRect(c).center() + QPoint(3, 0); // inside the character, in the viewport
        QHelpEvent e(QEvent::ToolTip, p, edit->viewport()->mapToGlobal(p));
        QApplication::sendEvent(edit->viewport(), &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(1, 0), QString());                                 // on "type"
    QCOMPARE(tipAt(1, 7), QString("Invalid 'StateDef type' value")); // on the X
    // A warning (a key the engine passes over) shows its message the same way, underlined in orange.
    QCOMPARE(tipAt(6, 1), QString("Invalid 'changestate' parameter"));
    const QList<QTextLayout::FormatRange> ranges = files->document(0)->findBlockByNumber(6).layout()->formats();
    QVERIFY(std::any_of(ranges.begin(), ranges.end(), [](const QTextLayout::FormatRange& r) {
        return r.format.toolTip() == "Invalid 'changestate' parameter" && r.format.underlineColor() == QColor(255, 140, 0);
    }));
    // An edit re-checks the lines below it: renaming a header, the last line's marks change.
    QTextCursor(files->document(0)->find("[Data]")).insertText("[Size]");
    const QList<CodeMark> last = QMugenHighlighter::marks(files->document(0)->findBlockByNumber(8));
    QVERIFY(last.size() == 1 && last[0].message == "Invalid 'Size' parameter");

    // The count of problems in the status bar follows, a moment after the typing.
    int errors = 0, warnings = 0;
    for (const CodeMark& m : QMugenHighlighter::marks(files->document(0)))
        ++(m.severity == Severity::Warning ? warnings : errors);
    QVERIFY(errors >= 2 && warnings >= 2);
    QTRY_COMPARE(files->problemsLabel()->text(), QString("%1 errors, %2 warnings").arg(errors).arg(warnings));
    // F8 and Shift+F8 go from problem to problem, round the end, and tell the message.
    edit->moveCursor(QTextCursor::Start);
    QStringList visited;
    for (const char* a : {"actionNext_problem", "actionNext_problem", "actionPrevious_problem", "actionPrevious_problem"}) {
        action(a)->trigger();
        visited << QString("%1:%2").arg(edit->textCursor().blockNumber() + 1).arg(edit->textCursor().selectedText());
    }
    QCOMPARE(visited.mid(0, 3), QStringList({"2:X", "5:Foo", "2:X"}));
    QCOMPARE(visited[3].section(':', 0, 0).toInt(), 9); // round the start to the last one
    QCOMPARE(w->statusBar()->currentMessage(), QMugenHighlighter::marks(files->document(0)).last().message);
}

void TestQCodeFiles::completionKeys_data()
{
    // Keys typed into an empty document ({Key} for the named keys, C- for Ctrl),
    // the text that results and whether the popup is open after them.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("popup");
    QTest::newRow("filtered popup") << "chang" << "chang" << true;
    QTest::newRow("enter takes the first") << "chang{Enter}" << "changeanim" << false;
    QTest::newRow("down and enter") << "chang{Down}{Down}{Enter}" << "changestate" << false;
    QTest::newRow("down, up and tab") << "chang{Down}{Up}{Tab}" << "changeanim" << false;
    QTest::newRow("what was typed stays") << "ChangeS{Enter}" << "ChangeState" << false;
    QTest::newRow("escape, then enter breaks the line") << "chang{Esc}{Enter}" << "chang\n" << false;
    QTest::newRow("typing on filters") << "changes{Enter}" << "changestate" << false;
    QTest::newRow("no match, no popup") << "xyzq" << "xyzq" << false;
    QTest::newRow("no match, enter breaks the line") << "xyzq{Enter}" << "xyzq\n" << false;
    QTest::newRow("the whole word typed") << "changestate{Enter}" << "changestate\n" << false;
    QTest::newRow("two letters") << "ch" << "ch" << false;
    QTest::newRow("ctrl+space asks") << "ch{C-Space}" << "ch" << true;
    QTest::newRow("ctrl+e asks") << "ch{C-E}" << "ch" << true;
    QTest::newRow("end of word closes") << "chang." << "chang." << false;
    QTest::newRow("not in a comment") << "x = 1 ; chang" << "x = 1 ; chang" << false;
    QTest::newRow("not in a string") << "name = \"chang" << "name = \"chang" << false;
    QTest::newRow("after the string") << "name = \"a\" chang{Enter}" << "name = \"a\" changeanim" << false;
    QTest::newRow("backspace filters again") << "changs{Back}{Down}{Down}{Enter}" << "changestate" << false;
}

void TestQCodeFiles::completionKeys()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(bool, popup);
    action("actionNew_2")->trigger();
    QCodeEdit* edit = files->editor();
    edit->setFocus();
    // Keys go where a person's would: to the popup while it is open.
    auto target = [&]() -> QWidget* { return QApplication::activePopupWidget() ? QApplication::activePopupWidget() : edit; };
    static const QMap<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named = {
        {"Enter", {Qt::Key_Return, Qt::NoModifier}}, {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
        {"Esc", {Qt::Key_Escape, Qt::NoModifier}},   {"Down", {Qt::Key_Down, Qt::NoModifier}},
        {"Up", {Qt::Key_Up, Qt::NoModifier}},        {"Back", {Qt::Key_Backspace, Qt::NoModifier}},
        {"C-Space", {Qt::Key_Space, Qt::ControlModifier}}, {"C-E", {Qt::Key_E, Qt::ControlModifier}}};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == '{') {
            const qsizetype close = keys.indexOf('}', i);
            const auto key = named.value(keys.mid(i + 1, close - i - 1));
            QTest::keyClick(target(), key.first, key.second);
            i = close;
        } else {
            QTest::keyClick(target(), keys[i].toLatin1());
        }
        QCoreApplication::processEvents();
    }
    QCOMPARE(edit->toPlainText(), text);
    QCOMPARE(edit->completer()->popup()->isVisible(), popup);
    edit->completer()->popup()->hide();
}

void TestQCodeFiles::lineNumbersOutlineAndGoTo()
{
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.cns");
    QVERIFY(files->open(kfm, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QCodeEdit* edit = files->editor();
    QVERIFY(edit->gutterWidth() >= edit->fontMetrics().horizontalAdvance("9999"));
    QVERIFY(edit->viewport()->geometry().left() >= edit->gutterWidth());
    QCOMPARE(edit->extraSelections().size(), 1); // the cursor's line is lit

    // Go to line (Ctrl+G) asks for a number and puts the cursor there.
    testsupport::answerDialog(true, [](QWidget* d) { qobject_cast<QInputDialog*>(d)->setIntValue(120); });
    action("actionGo_to_line")->trigger();
    QCOMPARE(edit->textCursor().blockNumber(), 119);
    QCOMPARE(action("actionGo_to_line")->shortcut(), QKeySequence("Ctrl+G"));

    // The page's tree shows the outline; a click goes to the entry's line.
    auto* tree = w->findChild<QTreeView*>("treeView");
    QCOMPARE(tree->model(), files->outline());
    QModelIndex stand;
    for (int r = 0; r < tree->model()->rowCount() && !stand.isValid(); ++r)
        if (tree->model()->index(r, 0).data().toString() == "Statedef 170")
            stand = tree->model()->index(r, 0);
    QVERIFY(stand.isValid() && tree->model()->rowCount(stand) > 0);
    tree->expand(stand);
    const QModelIndex child = tree->model()->index(0, 0, stand);
    QVERIFY2(child.data().toString().contains('('), qPrintable(child.data().toString())); // label (type)
    tree->scrollTo(child);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(child).center());
    QCOMPARE(edit->textCursor().blockNumber(), child.data(QCodeOutline::LineRole).toInt());
    QVERIFY(edit->textCursor().block().text().startsWith("[State 170"));
    QCoreApplication::processEvents();
    saveSnapshot(w, "codepage-outline");
}

void TestQCodeFiles::jumpToStatedefAcrossDocuments()
{
    const QString cmd = write("a.cmd", "[Statedef -1]\n[State -1, Punch]\ntype = ChangeState\nvalue = 200\n"
                                       "triggerall = stateno != 210\ntrigger1 = 1\n[State -1, Kick]\ntype = ChangeState\nvalue = 999\n");
    const QString cns = write("b.cns", "[Statedef 200]\ntype = S\n[State 200, 1]\ntype = Null\n\n[Statedef 210]\ntype = S\n");
    QVERIFY(files->open(cns, true) && files->open(cmd, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QCodeEdit* edit = files->editor();
    auto putCursor = [&](int line, const QString& before) {
        QTextCursor c(files->document(files->currentIndex())->findBlockByNumber(line));
        c.setPosition(c.position() + int(c.block().text().indexOf(before) + before.size()));
        edit->setTextCursor(c);
    };
    // F2 on the ChangeState's value: the other document, at its Statedef.
    putCursor(3, "value = 2");
    action("actionGo_to_Statedef")->trigger();
    QCOMPARE(files->fileName(files->currentIndex()), cns);
    QCOMPARE(edit->textCursor().blockNumber(), 0);
    QCOMPARE(action("actionGo_to_Statedef")->shortcut(), QKeySequence("F2"));
    // Ctrl+click on a trigger's state number.
    tabBar()->setCurrentIndex(1);
    putCursor(4, "!= 21");
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, Qt::ControlModifier, edit->cursorRect().center());
    QCOMPARE(files->fileName(files->currentIndex()), cns);
    QCOMPARE(edit->textCursor().blockNumber(), 5);
    // A number that names no Statedef of the open files is told.
    tabBar()->setCurrentIndex(1);
    putCursor(8, "value = 9");
    action("actionGo_to_Statedef")->trigger();
    QCOMPARE(files->fileName(files->currentIndex()), cmd);
    QCOMPARE(w->statusBar()->currentMessage(), QString("Statedef 999 is in none of the open files"));
}

// Comments in Japanese and Korean as a person sees them: snapshots to look at.
void TestQCodeFiles::japaneseAndKoreanComments()
{
    CORPUS_OR_SKIP(kfm, "community/chars/kfm/kfm.cns");
    QVERIFY(files->open(kfm, true));
    pages()->setCurrentIndex(MainWindow::CodeTab);
    QCOMPARE(files->encodingLabel()->text(), QString("Shift-JIS"));
    QVERIFY(files->text(0).contains(QString::fromUtf8("これはKFMの定数と状態のファイルです。")));
    QCoreApplication::processEvents();
    saveSnapshot(w, "codepage-japanese");
    // Korean in CP949: "; 이 파일은 캐릭터의 상태를 정의합니다" and "; 약한 펀치".
    const QByteArray korean = "; \xC0\xCC \xC6\xC4\xC0\xCF\xC0\xBA \xC4\xB3\xB8\xAF\xC5\xCD\xC0\xC7 \xBB\xF3\xC5\xC2\xB8\xA6 "
                              "\xC1\xA4\xC0\xC7\xC7\xD5\xB4\xCF\xB4\xD9\r\n[Statedef 200]\r\ntype = S ; \xBE\xE0\xC7\xD1 "
                              "\xC6\xDD\xC4\xA1\r\n";
    QVERIFY(files->open(write("korean.cns", korean), true));
    QCOMPARE(files->encodingLabel()->text(), QString("CP949"));
    QCOMPARE(files->text(1).section('\n', 0, 0), QString::fromUtf8("; 이 파일은 캐릭터의 상태를 정의합니다"));
    QCoreApplication::processEvents();
    saveSnapshot(w, "codepage-korean");
    QVERIFY(files->save(1));
    QCOMPARE(readFile(files->fileName(1)), korean);
}

QTEST_MAIN(TestQCodeFiles)
#include "tst_qcodefiles.moc"

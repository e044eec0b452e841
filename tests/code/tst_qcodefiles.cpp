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
    void readsAnyEncodingWritesUtf8WithMark_data();
    void readsAnyEncodingWritesUtf8WithMark();
    void failedSaveWarnsAndKeepsTheMark();
    void saveAsksForANameOnce();
    void movingTabsKeepsTheCurrentDocument();
    void discardQuestions();
    void completionKeysAndMarkToolTips();

private:
    QAction* action(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
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

void TestQCodeFiles::readsAnyEncodingWritesUtf8WithMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Data]\n") << QString("[Data]\n") << QByteArray("\xEF\xBB\xBF[Data]\n");
    QTest::newRow("Latin-1") << QByteArray("; caf\xe9 \xa9\n") << QString::fromLatin1("; caf\xe9 \xa9\n") << QByteArray("\xEF\xBB\xBF; caf\xc3\xa9 \xc2\xa9\n");
    QTest::newRow("CR LF kept") << QByteArray("[Data]\r\nlife = 1\r\n") << QString("[Data]\nlife = 1\n") << QByteArray("\xEF\xBB\xBF[Data]\r\nlife = 1\r\n");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0D\0]\0\n\0", 10) << QString("[D]\n") << QByteArray("\xEF\xBB\xBF[D]\n");
}

void TestQCodeFiles::readsAnyEncodingWritesUtf8WithMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    const QString path = write("x.cns", bytes);
    QVERIFY(files->open(path, true));
    QCOMPARE(files->text(0), text);
    QVERIFY(files->save(0));
    QCOMPARE(readFile(path), saved);
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
    QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF[Data] "));
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
    // Leaving asks about changed documents only, the current one first, shows each, and stops at No.
    files->document(0)->setModified(true);
    QTest::keyClicks(files->editor(), "x"); // into c, the current one
    for (auto answer : {QMessageBox::Yes, QMessageBox::No, QMessageBox::No, QMessageBox::Yes, QMessageBox::No})
        answerMessageBox(answer);
    QVERIFY(!w->close());
    // Closing a tab always asks.
    files->tabCloseRequested(1);
    files->tabCloseRequested(1);
    QCOMPARE(titles(), QString("a.cns*|c.cns*"));
    action("actionNovo")->trigger(); // a new character: No keeps them
    QCOMPARE(files->count(), 2);
    for (int i = 0; i < 4; ++i)
        answerMessageBox(QMessageBox::Yes);
    QVERIFY(w->close());
    w->show();
    action("actionNovo")->trigger();
    QCOMPARE(files->count(), 0);
    QVERIFY(current() == -1 && files->tabBar()->isVisible() && !files->editor()->isVisible());
    const QString q = "Discard changes: Do you really want to discard the changes made in the file ";
    QCOMPARE(seen(), QStringList({q + c, q + a, q + b, q + b, q + a, q + a, q + c, q + c, q + a}));
}

void TestQCodeFiles::completionKeysAndMarkToolTips()
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

    edit->clear();
    edit->setFocus();
    QAbstractItemView* popup = edit->completer()->popup();
    QTest::keyClicks(edit, "ch");
    QVERIFY(!popup->isVisible()); // not for two letters
    QTest::keyClick(edit, Qt::Key_E, Qt::ControlModifier); // unless asked for
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(edit, Qt::Key_Period);
    QVERIFY(!popup->isVisible());
    QCOMPARE(edit->toPlainText(), QString("ch.")); // the completion key typed nothing
    QTest::keyClicks(edit, "Cha");
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(popup->currentIndex().data().toString().startsWith("cha", Qt::CaseInsensitive));
    edit->insertCompletion("changestate"); // chosen: the rest of the word
    QCOMPARE(edit->toPlainText(), QString("ch.Changestate"));
}

QTEST_MAIN(TestQCodeFiles)
#include "tst_qcodefiles.moc"

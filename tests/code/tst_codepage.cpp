// The code page of the real window: the DEF/CMD/CNS menu, what shows on which
// tab, and unsaved code when the window closes or a new character starts.
#include "../shell/windowfixture.h"
#include "mainwindow.h"
#include "qcodeedit.h"
#include "qmugenhighlighter.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestCodePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void codeWidgetsOnlyOnTheCodePage();
    void openFromTheMenu();
    void newThenSaveAsksForAName();
    void saveWithoutDocumentsDoesNothing();
    void unreadableFileIsReported();
    void closingWithUnsavedCodeAsks_data();
    void closingWithUnsavedCodeAsks();
    void newCharacterAsksForUnsavedCode();
    void snapshotWithKfmCns();

private:
    QAction* action(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
    QTabWidget* tabs() { return w->findChild<QTabWidget*>("tabs"); }
    QCodeEdit* editor() { return w->findChild<QCodeEdit*>(); }
    QTabBar* codeTabs()
    {
        // The code tab bar is the one laid out in the middle column.
        for (QTabBar* b : w->findChildren<QTabBar*>())
            if (b->parentWidget() != tabs() && b->parentWidget() != w->findChild<QTabWidget*>("utilTabs"))
                return b;
        return nullptr;
    }

    MainWindow* w = nullptr;
    QTemporaryDir* dir = nullptr;
};

void TestCodePage::initTestCase()
{
    QVERIFY(windowfixture::installShippedConfig());
}

void TestCodePage::init()
{
    dir = new QTemporaryDir;
    w = new MainWindow;
    w->resize(900, 650);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestCodePage::cleanup()
{
    testsupport::clearAnswers();
    // Unsaved test edits must not hold the window open.
    if (w) {
        for (QTextDocument* d : w->findChildren<QTextDocument*>())
            d->setModified(false);
    }
    windowfixture::destroyWindow(w);
    delete dir;
    dir = nullptr;
}

void TestCodePage::codeWidgetsOnlyOnTheCodePage()
{
    QVERIFY(codeTabs());
    QVERIFY(!codeTabs()->isVisible());
    QVERIFY(!editor()->isVisible());
    tabs()->setCurrentIndex(MainWindow::CodeTab);
    QVERIFY(codeTabs()->isVisible());
    QVERIFY(!editor()->isVisible()); // nothing open yet
    action("actionNew_2")->trigger();
    QVERIFY(editor()->isVisible());
    tabs()->setCurrentIndex(MainWindow::AirTab);
    QVERIFY(!codeTabs()->isVisible());
    QVERIFY(!editor()->isVisible());
    action("actionNew_2")->trigger(); // selects the code page
    QCOMPARE(tabs()->currentIndex(), int(MainWindow::CodeTab));
    QCOMPARE(codeTabs()->count(), 2);
    QVERIFY(editor()->isVisible());
}

void TestCodePage::openFromTheMenu()
{
    const QString path = dir->filePath("kfm.cmd");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Remap]\r\nx = q\r\n");
    }
    answerFileDialog(path);
    action("actionOpen")->trigger();
    QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Open DEF/CMD/CNS"));
    QCOMPARE(tabs()->currentIndex(), int(MainWindow::CodeTab));
    QCOMPARE(codeTabs()->count(), 1);
    QCOMPARE(codeTabs()->tabText(0), QString("kfm.cmd"));
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->toPlainText(), QString("[Remap]\nx = q\n"));
    const QList<CodeMark> marks = QMugenHighlighter::marks(editor()->document());
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks[0].message, QString("Invalid 'Remap' value"));

    // Cancelling the dialog opens nothing.
    answerFileDialog(QString());
    action("actionOpen")->trigger();
    QCOMPARE(codeTabs()->count(), 1);
}

void TestCodePage::newThenSaveAsksForAName()
{
    action("actionNew_2")->trigger();
    QTest::keyClicks(editor(), "[Data]");
    QCOMPARE(codeTabs()->tabText(0), QString("*"));
    const QString path = dir->filePath("new.cns");
    answerFileDialog(path);
    action("actionSave_2")->trigger();
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save DEF/CMD/CNS"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBF[Data]"));
    QCOMPARE(codeTabs()->tabText(0), QString("new.cns"));

    // From now on Save writes the file without asking.
    QTest::keyClicks(editor(), " ");
    action("actionSave_2")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    f.close();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBF[Data] "));
}

void TestCodePage::saveWithoutDocumentsDoesNothing()
{
    action("actionSave_2")->trigger();
    action("actionSave_As_3")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(testsupport::pendingAnswers(), 0);
}

void TestCodePage::unreadableFileIsReported()
{
    answerFileDialog(dir->path()); // a folder, not a file
    answerMessageBox(QMessageBox::Ok);
    action("actionOpen")->trigger();
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    // The file dialog may refuse a folder itself; if it was chosen, a warning follows.
    if (seen.size() == 2)
        QCOMPARE(seen[1].className, QString("QMessageBox"));
    QCOMPARE(codeTabs()->count(), 0);
    testsupport::clearAnswers();
}

void TestCodePage::closingWithUnsavedCodeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("keep") << int(QMessageBox::No) << false;
    QTest::newRow("discard") << int(QMessageBox::Yes) << true;
}

void TestCodePage::closingWithUnsavedCodeAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    action("actionNew_2")->trigger();
    QVERIFY(w->close()); // nothing changed yet: closes without a question
    QVERIFY(takeDialogsSeen().isEmpty());
    w->show();
    QTest::keyClicks(editor(), "x");
    answerMessageBox(QMessageBox::StandardButton(answer));
    QCOMPARE(w->close(), closed);
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Discard changes"));
    QVERIFY(seen[0].text.startsWith("Do you really want to discard the changes made in the file"));
}

void TestCodePage::newCharacterAsksForUnsavedCode()
{
    action("actionNew_2")->trigger();
    action("actionNew_2")->trigger();
    QTest::keyClicks(editor(), "x");
    answerMessageBox(QMessageBox::No);
    action("actionNovo")->trigger();
    QCOMPARE(codeTabs()->count(), 2); // kept
    QCOMPARE(takeDialogsSeen().size(), 1);
    answerMessageBox(QMessageBox::Yes);
    action("actionNovo")->trigger();
    QCOMPARE(codeTabs()->count(), 0);
    // Without changes nothing is asked.
    action("actionNew_2")->trigger();
    takeDialogsSeen();
    action("actionNovo")->trigger();
    QCOMPARE(codeTabs()->count(), 0);
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestCodePage::snapshotWithKfmCns()
{
    CORPUS_OR_SKIP(path, "chars/kfm/kfm.cns");
    answerFileDialog(path);
    action("actionOpen")->trigger();
    QCOMPARE(codeTabs()->count(), 1);
    QCOMPARE(QMugenHighlighter::marks(editor()->document()).size(), 0);
    // Show a state with its controllers and triggers.
    const QTextBlock block = editor()->document()->find("[Statedef 200]").block();
    QVERIFY(block.isValid());
    QTextCursor c(editor()->document()->findBlockByNumber(block.blockNumber() + 30));
    editor()->setTextCursor(c);
    QTextCursor top(block);
    editor()->setTextCursor(top);
    editor()->centerCursor();
    QCoreApplication::processEvents();
    const QImage shot(testsupport::saveSnapshot(w, "codepage-kfm-cns"));
    QCOMPARE(shot.size(), w->size() * w->devicePixelRatio());

    // A second document with problems of several kinds, as it looks marked.
    const QString bad = dir->filePath("marks.cns");
    {
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; Problems the checker marks\n[Statedef 200]\ntype = X\nmovetype = A\n"
                "[State 200, 1]\ntype = ChangeState\ntrigger1 = AnimElem = 2 && Foo\n"
                "trigger2 = root Life\nvalue = 200\nbogus = 1\n[Data]\nlife = 1000 2\n[Foo]\nbar = 1\n");
    }
    answerFileDialog(bad);
    action("actionOpen")->trigger();
    QCOMPARE(codeTabs()->count(), 2);
    QCOMPARE(QMugenHighlighter::marks(editor()->document()).size(), 6);
    QCoreApplication::processEvents();
    QVERIFY(!QImage(testsupport::saveSnapshot(w, "codepage-marks")).isNull());
}

QTEST_MAIN(TestCodePage)
#include "tst_codepage.moc"

// The code page of the real window: the DEF/CMD/CNS menu, what shows on which
// tab, and unsaved code when the window closes or a new character starts.
#include "../shell/windowfixture.h"
#include "mainwindow.h"
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "qmugenhighlighter.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::readFile;

class TestCodePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();

    void codeWidgetsOnlyOnTheCodePage();
    void openFromTheMenu();
    void saveAsksForANameOnce();
    void unsavedCodeAsks_data();
    void unsavedCodeAsks();
    void snapshotWithKfmCns();

private:
    QAction* action(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
    QTabWidget* tabs() { return w->findChild<QTabWidget*>("tabs"); }
    QCodeEdit* editor() { return w->findChild<QCodeEdit*>(); }
    QTabBar* codeTabs() { return w->findChild<QCodeFiles*>()->tabBar(); }
    int marks() { return int(QMugenHighlighter::marks(editor()->document()).size()); }
    // The titles of the dialogs answered since the last look.
    static QStringList titlesSeen()
    {
        QStringList t;
        for (const testsupport::DialogSeen& d : testsupport::takeDialogsSeen())
            t << d.title;
        return t;
    }

    MainWindow* w = nullptr;
    QTemporaryDir* dir = nullptr;
};

void TestCodePage::init()
{
    dir = new QTemporaryDir;
    w = new MainWindow;
    w->resize(900, 650);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    titlesSeen();
}

void TestCodePage::cleanup()
{
    testsupport::clearAnswers();
    // Unsaved test edits must not hold the window open.
    for (QTextDocument* d : w->findChildren<QTextDocument*>())
        d->setModified(false);
    windowfixture::destroyWindow(w);
    delete dir;
}

void TestCodePage::codeWidgetsOnlyOnTheCodePage()
{
    QVERIFY(!codeTabs()->isVisible() && !editor()->isVisible());
    tabs()->setCurrentIndex(MainWindow::CodeTab);
    QVERIFY(codeTabs()->isVisible());
    QVERIFY(!editor()->isVisible()); // nothing open yet
    action("actionNew_2")->trigger();
    QVERIFY(editor()->isVisible());
    tabs()->setCurrentIndex(MainWindow::AirTab);
    QVERIFY(!codeTabs()->isVisible() && !editor()->isVisible());
    action("actionNew_2")->trigger(); // selects the code page
    QCOMPARE(tabs()->currentIndex(), int(MainWindow::CodeTab));
    QCOMPARE(codeTabs()->count(), 2);
    QVERIFY(editor()->isVisible());
}

void TestCodePage::openFromTheMenu()
{
    answerFileDialog(testsupport::writeFile(dir->filePath("kfm.cmd"), "[Remap]\r\nx = q\r\n"));
    action("actionOpen")->trigger();
    QCOMPARE(titlesSeen(), QStringList{"Open DEF/CMD/CNS"});
    QCOMPARE(tabs()->currentIndex(), int(MainWindow::CodeTab));
    QCOMPARE(codeTabs()->tabText(0), QString("kfm.cmd"));
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->toPlainText(), QString("[Remap]\nx = q\n"));
    QCOMPARE(QMugenHighlighter::marks(editor()->document()).value(0).message, QString("Invalid 'Remap' value"));

    // Cancelling opens nothing; a file that cannot be read (a folder) is warned about.
    answerFileDialog(QString());
    action("actionOpen")->trigger();
    answerFileDialog(dir->path());
    answerMessageBox(QMessageBox::Ok);
    action("actionOpen")->trigger();
    const QList<testsupport::DialogSeen> seen = testsupport::takeDialogsSeen();
    QCOMPARE(seen.size(), 3);
    QVERIFY(seen[2].className == "QMessageBox" && seen[2].text.contains(dir->path()));
    QCOMPARE(codeTabs()->count(), 1);
}

void TestCodePage::saveAsksForANameOnce()
{
    action("actionSave_2")->trigger(); // nothing open: nothing to save, nothing asked
    action("actionSave_As_3")->trigger();
    QVERIFY(titlesSeen().isEmpty());
    action("actionNew_2")->trigger();
    QTest::keyClicks(editor(), "[Data]");
    QCOMPARE(codeTabs()->tabText(0), QString("*"));
    const QString path = dir->filePath("new.cns");
    answerFileDialog(path);
    action("actionSave_2")->trigger();
    QCOMPARE(titlesSeen(), QStringList{"Save DEF/CMD/CNS"});
    QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF[Data]"));
    QCOMPARE(codeTabs()->tabText(0), QString("new.cns"));
    // From now on Save writes the file without asking.
    QTest::keyClicks(editor(), " ");
    action("actionSave_2")->trigger();
    QVERIFY(titlesSeen().isEmpty());
    QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF[Data] "));
}

void TestCodePage::unsavedCodeAsks_data()
{
    QTest::addColumn<bool>("closeWindow"); // or start a new character
    QTest::addColumn<bool>("discard");
    QTest::newRow("close, keep") << true << false;
    QTest::newRow("close, discard") << true << true;
    QTest::newRow("new character, keep") << false << false;
    QTest::newRow("new character, discard") << false << true;
}

void TestCodePage::unsavedCodeAsks()
{
    QFETCH(bool, closeWindow);
    QFETCH(bool, discard);
    auto leave = [&] {
        if (closeWindow)
            return w->close();
        action("actionNovo")->trigger();
        return codeTabs()->count() == 0;
    };
    action("actionNew_2")->trigger();
    action("actionNew_2")->trigger();
    QVERIFY(leave()); // nothing changed yet: no question
    QVERIFY(titlesSeen().isEmpty());
    w->show();
    action("actionNew_2")->trigger();
    QTest::keyClicks(editor(), "x");
    answerMessageBox(discard ? QMessageBox::Yes : QMessageBox::No);
    QCOMPARE(leave(), discard);
    QCOMPARE(titlesSeen(), QStringList{"Discard changes"});
    if (!closeWindow)
        QCOMPARE(codeTabs()->count(), discard ? 0 : 1);
}

void TestCodePage::snapshotWithKfmCns()
{
    CORPUS_OR_SKIP(path, "chars/kfm/kfm.cns");
    answerFileDialog(path);
    action("actionOpen")->trigger();
    QCOMPARE(marks(), 0);
    // Show a state with its controllers and triggers.
    editor()->setTextCursor(QTextCursor(editor()->document()->find("[Statedef 200]").block()));
    editor()->centerCursor();
    QCoreApplication::processEvents();
    QCOMPARE(QImage(testsupport::saveSnapshot(w, "codepage-kfm-cns")).size(), w->size() * w->devicePixelRatio());

    // A second document with problems of several kinds, as it looks marked.
    answerFileDialog(testsupport::writeFile(dir->filePath("marks.cns"),
        "; Problems the checker marks\n[Statedef 200]\ntype = X\nmovetype = A\n[State 200, 1]\ntype = ChangeState\n"
        "trigger1 = AnimElem = 2 && Foo\ntrigger2 = root Life\nvalue = 200\nbogus = 1\n[Data]\nlife = 1000 2\n[Foo]\nbar = 1\n"));
    action("actionOpen")->trigger();
    QCOMPARE(marks(), 6);
    QCoreApplication::processEvents();
    QVERIFY(!QImage(testsupport::saveSnapshot(w, "codepage-marks")).isNull());
}

QTEST_MAIN(TestCodePage)
#include "tst_codepage.moc"

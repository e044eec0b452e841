// Code documents in tabs: opening, saving, closing, moving tabs, and the
// editor's completion keys and mark tool tips.
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "qmugenhighlighter.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolTip>
#include <QtTest>
#include <QtWidgets>

using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestQCodeFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openNeverTwice();
    void makeCurrentFalseKeepsTheCurrentTab();
    void readsAnyEncodingAndWritesUtf8WithMark_data();
    void readsAnyEncodingAndWritesUtf8WithMark();
    void saveOfNewDocumentAsksForName();
    void failedSaveWarnsAndKeepsTheMark_data();
    void failedSaveWarnsAndKeepsTheMark();
    void titleFollowsSaveAs();
    void titlesFollowTheirOwnDocument();
    void closeTabAsks();
    void movingTabsKeepsTheCurrentDocument_data();
    void movingTabsKeepsTheCurrentDocument();
    void closeAllAndVisibility();
    void confirmDiscardAllAsksForModifiedOnly();
    void completionKeys();
    void markToolTips();

private:
    QString write(const QString& name, const QByteArray& bytes);

    QTemporaryDir* dir = nullptr; // a fresh folder for each test
    QWidget* window = nullptr;
    QCodeFiles* files = nullptr;
};

QString TestQCodeFiles::write(const QString& name, const QByteArray& bytes)
{
    const QString path = dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
    return path;
}

void TestQCodeFiles::init()
{
    dir = new QTemporaryDir;
    window = new QWidget;
    window->resize(600, 400);
    files = new QCodeFiles(window);
    QVERIFY(files->loadSyntax(QCoreApplication::applicationDirPath() + "/syntax.xml"));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(files->tabBar());
    layout->addWidget(files->editor());
    files->setVisible(true);
    window->show();
    takeDialogsSeen();
}

void TestQCodeFiles::cleanup()
{
    testsupport::clearAnswers();
    delete files;
    delete window;
    files = nullptr;
    window = nullptr;
    delete dir;
    dir = nullptr;
}

void TestQCodeFiles::openNeverTwice()
{
    const QString lower = write("a.CNS", "[Data]\nlife = 1000\n");
    QVERIFY(files->open(lower, true));
    QVERIFY(files->open(dir->filePath("A.cns"), true));
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->tabBar()->count(), 1);
    QCOMPARE(files->fileName(0), lower);
    QCOMPARE(files->tabBar()->tabText(0), QString("a.CNS"));
    QVERIFY(!files->open(dir->filePath("missing.cns"), true));
    QCOMPARE(files->count(), 1);
}

void TestQCodeFiles::makeCurrentFalseKeepsTheCurrentTab()
{
    const QString a = write("a.def", "[Info]\n"), b = write("b.cmd", "[Remap]\n"), c = write("c.cns", "[Data]\n");
    QVERIFY(files->open(a, false)); // the first one becomes current all the same
    QCOMPARE(files->currentIndex(), 0);
    QCOMPARE(files->editor()->document(), files->document(0));
    QVERIFY(files->open(b, false));
    QCOMPARE(files->currentIndex(), 0);
    QCOMPARE(files->tabBar()->currentIndex(), 0);
    QCOMPARE(files->editor()->document(), files->document(0));
    QVERIFY(files->open(c, true));
    QCOMPARE(files->currentIndex(), 2);
    QCOMPARE(files->editor()->document(), files->document(2));
    QVERIFY(files->open(a, true)); // already open: switches to it
    QCOMPARE(files->currentIndex(), 0);
    QCOMPARE(files->editor()->document(), files->document(0));
    QCOMPARE(files->text(1), QString("[Remap]\n"));
    QCOMPARE(files->text(7), QString());
}

void TestQCodeFiles::readsAnyEncodingAndWritesUtf8WithMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("plain UTF-8") << QByteArray("; caf\xc3\xa9\n") << QString::fromUtf8("; caf\xc3\xa9\n")
                                 << QByteArray("\xEF\xBB\xBF; caf\xc3\xa9\n");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Data]\n") << QString("[Data]\n")
                                     << QByteArray("\xEF\xBB\xBF[Data]\n");
    QTest::newRow("Latin-1") << QByteArray("; caf\xe9 \xa9\n") << QString::fromLatin1("; caf\xe9 \xa9\n")
                             << QByteArray("\xEF\xBB\xBF; caf\xc3\xa9 \xc2\xa9\n");
    QTest::newRow("CR LF kept") << QByteArray("[Data]\r\nlife = 1\r\n") << QString("[Data]\nlife = 1\n")
                                << QByteArray("\xEF\xBB\xBF[Data]\r\nlife = 1\r\n");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0D\0]\0\n\0", 10) << QString("[D]\n") << QByteArray("\xEF\xBB\xBF[D]\n");
}

void TestQCodeFiles::readsAnyEncodingAndWritesUtf8WithMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    const QString path = write("x.cns", bytes);
    QVERIFY(files->open(path, true));
    QCOMPARE(files->text(0), text);
    QVERIFY(!files->document(0)->isModified());
    QVERIFY(files->save(0));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), saved);
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestQCodeFiles::saveOfNewDocumentAsksForName()
{
    files->newFile();
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->tabBar()->tabText(0), QString());
    QVERIFY(files->editor()->isVisible());
    QVERIFY(!files->save(0)); // no file yet: the caller asks for a name
    QVERIFY(!files->save(5));
    QVERIFY(takeDialogsSeen().isEmpty());

    // A file deleted meanwhile is a new file again.
    const QString path = write("gone.cns", "[Data]\n");
    QVERIFY(files->open(path, true));
    QVERIFY(QFile::remove(path));
    QVERIFY(!files->save(1));
    QVERIFY(!QFile::exists(path));
}

void TestQCodeFiles::failedSaveWarnsAndKeepsTheMark_data()
{
    QTest::addColumn<bool>("useSaveAs");
    // A file that cannot be replaced: its name now belongs to a folder (a
    // read-only file would do as well, but not for a user who may write anywhere).
    QTest::newRow("save over a folder") << false;
    QTest::newRow("save as into a missing folder") << true;
}

void TestQCodeFiles::failedSaveWarnsAndKeepsTheMark()
{
    QFETCH(bool, useSaveAs);
    const QString path = write("locked.cns", "[Data]\n");
    QVERIFY(files->open(path, true));
    files->editor()->textCursor().insertText("; edited\n");
    QVERIFY(files->document(0)->isModified());
    QCOMPARE(files->tabBar()->tabText(0), QString("locked.cns*"));

    QString target = path;
    if (useSaveAs) {
        target = dir->filePath("no/such/folder/x.cns");
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(dir->path()).mkdir("locked.cns"));
    }
    answerMessageBox(QMessageBox::Ok);
    const bool ok = useSaveAs ? files->saveAs(0, target) : files->save(0);
    QVERIFY(!ok);
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save DEF/CMD/CNS"));
    QVERIFY2(seen[0].text.contains(target), qPrintable(seen[0].text));
    QVERIFY(files->document(0)->isModified());
    QCOMPARE(files->tabBar()->tabText(0), QString("locked.cns*"));
    QCOMPARE(files->fileName(0), path);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), useSaveAs ? QStringList{"locked.cns"} : QStringList());
}

void TestQCodeFiles::titleFollowsSaveAs()
{
    const QString path = write("old.cns", "[Data]\n");
    QVERIFY(files->open(path, true));
    const QString renamed = dir->filePath("new.cns");
    QVERIFY(files->saveAs(0, renamed)); // even unchanged, the tab names the new file
    QCOMPARE(files->fileName(0), renamed);
    QCOMPARE(files->tabBar()->tabText(0), QString("new.cns"));
    files->editor()->textCursor().insertText("x");
    QCOMPARE(files->tabBar()->tabText(0), QString("new.cns*"));
    QVERIFY(files->save(0));
    QCOMPARE(files->tabBar()->tabText(0), QString("new.cns"));
    QFile f(renamed);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBFx[Data]\n"));
    QVERIFY(!files->saveAs(9, renamed));
}

void TestQCodeFiles::titlesFollowTheirOwnDocument()
{
    const QString a = write("a.cns", "[Data]\n"), b = write("b.cns", "[Size]\n");
    QVERIFY(files->open(a, true));
    QVERIFY(files->open(b, true));
    files->document(0)->setModified(true);
    files->document(1)->setModified(true);
    QCOMPARE(files->tabBar()->tabText(0), QString("a.cns*"));
    QCOMPARE(files->tabBar()->tabText(1), QString("b.cns*"));
    // Saving the document behind the current tab leaves the current tab's mark alone.
    QVERIFY(files->save(0));
    QCOMPARE(files->tabBar()->tabText(0), QString("a.cns"));
    QCOMPARE(files->tabBar()->tabText(1), QString("b.cns*"));
}

void TestQCodeFiles::closeTabAsks()
{
    const QString a = write("a.cns", "[Data]\n"), b = write("b.cns", "[Size]\n");
    QVERIFY(files->open(a, true));
    QVERIFY(files->open(b, true));
    answerMessageBox(QMessageBox::No);
    files->tabCloseRequested(1);
    QCOMPARE(files->count(), 2);
    QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Discard changes"));
    QCOMPARE(seen[0].text, "Do you really want to discard the changes made in the file " + b);

    answerMessageBox(QMessageBox::Yes);
    files->tabCloseRequested(1);
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->tabBar()->count(), 1);
    QCOMPARE(files->currentIndex(), 0);
    QCOMPARE(files->editor()->document(), files->document(0));
    QCOMPARE(files->fileName(0), a);

    answerMessageBox(QMessageBox::Yes);
    files->tabCloseRequested(0);
    QCOMPARE(files->count(), 0);
    QCOMPARE(files->currentIndex(), -1);
    QVERIFY(!files->editor()->isVisible());
    QCOMPARE(takeDialogsSeen().size(), 2);
}

void TestQCodeFiles::movingTabsKeepsTheCurrentDocument_data()
{
    QTest::addColumn<int>("currentTab");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("current moves right") << 0 << 0 << 2;
    QTest::newRow("current moves left") << 2 << 2 << 0;
    QTest::newRow("other moves across the current") << 1 << 0 << 2;
    QTest::newRow("other moves in front of it") << 1 << 2 << 0;
    QTest::newRow("other moves behind it") << 0 << 1 << 2;
}

void TestQCodeFiles::movingTabsKeepsTheCurrentDocument()
{
    QFETCH(int, currentTab);
    QFETCH(int, from);
    QFETCH(int, to);
    for (const char* n : {"a.cns", "b.cns", "c.cns"})
        QVERIFY(files->open(write(n, n), true));
    files->tabBar()->setCurrentIndex(currentTab);
    QTextDocument* currentDoc = files->document(currentTab);
    QStringList names = {files->fileName(0), files->fileName(1), files->fileName(2)};
    names.move(from, to);

    files->tabBar()->moveTab(from, to);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(files->fileName(i), names.at(i));
        QCOMPARE(files->tabBar()->tabText(i), QFileInfo(names.at(i)).fileName());
    }
    QCOMPARE(files->document(files->currentIndex()), currentDoc);
    QCOMPARE(files->currentIndex(), files->tabBar()->currentIndex());
    QCOMPARE(files->editor()->document(), currentDoc);
    // Typing marks the tab of the document typed into.
    files->editor()->textCursor().insertText("x");
    QVERIFY(files->tabBar()->tabText(files->currentIndex()).endsWith('*'));
}

void TestQCodeFiles::closeAllAndVisibility()
{
    QVERIFY(files->open(write("a.cns", "[Data]\n"), true));
    files->newFile();
    files->document(1)->setModified(true);
    QVERIFY(files->tabBar()->isVisible());
    QVERIFY(files->editor()->isVisible());
    files->setVisible(false);
    QVERIFY(!files->tabBar()->isVisible());
    QVERIFY(!files->editor()->isVisible());
    files->setVisible(true);
    files->closeAll(); // asks nothing
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(files->count(), 0);
    QCOMPARE(files->tabBar()->count(), 0);
    QCOMPARE(files->currentIndex(), -1);
    QVERIFY(files->tabBar()->isVisible());
    QVERIFY(!files->editor()->isVisible());
    // Opening while the code page is hidden keeps the editor hidden.
    files->setVisible(false);
    QVERIFY(files->open(dir->filePath("a.cns"), true));
    QVERIFY(!files->editor()->isVisible());
    files->setVisible(true);
    QVERIFY(files->editor()->isVisible());
}

void TestQCodeFiles::confirmDiscardAllAsksForModifiedOnly()
{
    const QString a = write("a.cns", "[Data]\n"), b = write("b.cns", "[Size]\n"), c = write("c.cns", "[Info]\n");
    for (const QString& p : {a, b, c})
        QVERIFY(files->open(p, true));
    QVERIFY(files->confirmDiscardAll());
    QVERIFY(takeDialogsSeen().isEmpty());

    files->document(0)->setModified(true);
    files->document(2)->setModified(true);
    answerMessageBox(QMessageBox::Yes);
    answerMessageBox(QMessageBox::No);
    QVERIFY(!files->confirmDiscardAll());
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QVERIFY(seen[0].text.endsWith(c)); // the current one first
    QVERIFY(seen[1].text.endsWith(a));
    QCOMPARE(files->currentIndex(), 0); // showing the one asked about
}

void TestQCodeFiles::completionKeys()
{
    files->newFile();
    QCodeEdit* edit = files->editor();
    edit->setFocus();
    QAbstractItemView* popup = edit->completer()->popup();

    QTest::keyClick(edit, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(edit->toPlainText(), QString()); // the completion key types nothing

    QTest::keyClicks(edit, "ch");
    QVERIFY(!popup->isVisible());
    QTest::keyClicks(edit, "a");
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(edit->completer()->completionPrefix(), QString("cha"));
    QVERIFY(popup->currentIndex().data().toString().startsWith("cha", Qt::CaseInsensitive));
    QTest::keyClick(edit, Qt::Key_Period);
    QVERIFY(!popup->isVisible());
    QCOMPARE(edit->toPlainText(), QString("cha."));

    // Ctrl+E asks for the popup even on a short word; choosing inserts the rest of the word.
    edit->clear();
    QTest::keyClicks(edit, "ChangeS");
    QTRY_VERIFY(popup->isVisible());
    edit->insertCompletion("changestate");
    QCOMPARE(edit->toPlainText(), QString("ChangeState"));
    popup->hide();
    edit->clear();
    QTest::keyClicks(edit, "v");
    QTest::keyClick(edit, Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(edit->toPlainText(), QString("v"));
}

void TestQCodeFiles::markToolTips()
{
    const QString path = write("t.cns", "[Statedef 200]\ntype = X\nmovetype = A\n");
    QVERIFY(files->open(path, true));
    QCodeEdit* edit = files->editor();
    QCoreApplication::processEvents();

    auto tipAt = [&](int line, int column) -> QString {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return "(an earlier tip stays)";
        QTextCursor c(files->document(0)->findBlockByNumber(line));
        c.setPosition(c.position() + column);
        const QRect before = edit->cursorRect(c);
        c.movePosition(QTextCursor::Right);
        const QRect after = edit->cursorRect(c);
        // The middle of the character, in the viewport, sent as the viewport's event.
        const QPoint p((before.x() + after.x()) / 2, before.center().y());
        QHelpEvent e(QEvent::ToolTip, p, edit->viewport()->mapToGlobal(p));
        QApplication::sendEvent(edit->viewport(), &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QString tip;
    tip = tipAt(1, 7); // on the X
    QCOMPARE(tip, QString("Invalid 'StateDef type' value"));
    tip = tipAt(1, 0); // on "type"
    QCOMPARE(tip, QString());
    tip = tipAt(2, 11); // a clean line
    QCOMPARE(tip, QString());
}

QTEST_MAIN(TestQCodeFiles)
#include "tst_qcodefiles.moc"

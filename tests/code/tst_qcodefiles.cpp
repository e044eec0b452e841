// Code documents in tabs: opening, saving, closing, moving tabs, and the
// editor's completion keys and mark tool tips.
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "testsupport.h"

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

    void openNeverTwiceAndMakeCurrent();
    void readsAnyEncodingAndWritesUtf8WithMark_data();
    void readsAnyEncodingAndWritesUtf8WithMark();
    void failedSaveWarnsAndKeepsTheMark_data();
    void failedSaveWarnsAndKeepsTheMark();
    void saveAndSaveAs();
    void movingTabsKeepsTheCurrentDocument_data();
    void movingTabsKeepsTheCurrentDocument();
    void discardQuestions();
    void completionKeys();
    void markToolTips();

private:
    QString write(const QString& name, const QByteArray& bytes) { return testsupport::writeFile(dir->filePath(name), bytes); }
    // The tab titles, joined by "|"; a tab that does not name the file of the
    // document at its index is flagged.
    QString titles() const
    {
        QStringList t;
        for (int i = 0; i < files->tabBar()->count(); ++i) {
            const QString title = files->tabBar()->tabText(i);
            t << (QFileInfo(files->fileName(i)).fileName() == QString(title).remove('*') ? title : title + "(?)");
        }
        return files->count() == files->tabBar()->count() ? t.join('|') : "(tab count differs)";
    }
    // The current index when the tab bar and the editor agree with it, else -99.
    int current() const
    {
        const int i = files->currentIndex();
        const bool agree = files->tabBar()->currentIndex() == i && (i < 0 || files->editor()->document() == files->document(i));
        return agree ? i : -99;
    }

    QTemporaryDir* dir = nullptr; // a fresh folder for each test
    QWidget* window = nullptr;
    QCodeFiles* files = nullptr;
};

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
    delete dir;
}

void TestQCodeFiles::openNeverTwiceAndMakeCurrent()
{
    files->setVisible(false); // opening while the code page is hidden keeps the editor hidden
    QVERIFY(files->open(write("a.CNS", "[Data]\n"), false)); // the first one becomes current all the same
    QCOMPARE(current(), 0);
    QVERIFY(!files->editor()->isVisible());
    files->setVisible(true);
    QVERIFY(files->editor()->isVisible());
    QVERIFY(files->open(write("b.cmd", "[Remap]\n"), false));
    QCOMPARE(current(), 0);
    QVERIFY(files->open(write("c.cns", ""), true));
    QCOMPARE(current(), 2);
    QVERIFY(files->open(dir->filePath("A.cns"), true)); // already open, whatever the case: switches to it
    QCOMPARE(current(), 0);
    QVERIFY(!files->open(dir->filePath("missing.cns"), true));
    QCOMPARE(titles(), QString("a.CNS|b.cmd|c.cns"));
    QCOMPARE(files->text(1), QString("[Remap]\n"));
    QCOMPARE(files->text(7), QString());
}

void TestQCodeFiles::readsAnyEncodingAndWritesUtf8WithMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("plain UTF-8") << QByteArray("; caf\xc3\xa9\n") << QString::fromUtf8("; caf\xc3\xa9\n") << QByteArray("\xEF\xBB\xBF; caf\xc3\xa9\n");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Data]\n") << QString("[Data]\n") << QByteArray("\xEF\xBB\xBF[Data]\n");
    QTest::newRow("Latin-1") << QByteArray("; caf\xe9 \xa9\n") << QString::fromLatin1("; caf\xe9 \xa9\n") << QByteArray("\xEF\xBB\xBF; caf\xc3\xa9 \xc2\xa9\n");
    QTest::newRow("CR LF kept") << QByteArray("[Data]\r\nlife = 1\r\n") << QString("[Data]\nlife = 1\n") << QByteArray("\xEF\xBB\xBF[Data]\r\nlife = 1\r\n");
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
    QCOMPARE(testsupport::readFile(path), saved);
    QVERIFY(takeDialogsSeen().isEmpty());
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
    QString target = dir->filePath("no/such/folder/x.cns");
    if (!useSaveAs) {
        target = path;
        QVERIFY(QFile::remove(path) && QDir(dir->path()).mkdir("locked.cns"));
    }
    answerMessageBox(QMessageBox::Ok);
    QVERIFY(!(useSaveAs ? files->saveAs(0, target) : files->save(0)));
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save DEF/CMD/CNS"));
    QVERIFY2(seen[0].text.contains(target), qPrintable(seen[0].text));
    QCOMPARE(titles(), QString("locked.cns*")); // still modified, still the old file
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), useSaveAs ? QStringList{"locked.cns"} : QStringList());
}

void TestQCodeFiles::saveAndSaveAs()
{
    const QString old = write("old.cns", "[Data]\n");
    QVERIFY(files->open(old, true) && files->open(write("b.cns", "[Size]\n"), true));
    // A file deleted meanwhile is a new file again: the caller asks for a name.
    QVERIFY(QFile::remove(old));
    QVERIFY(!files->save(0) && !files->save(5) && !files->saveAs(9, old));
    QVERIFY(!QFile::exists(old) && takeDialogsSeen().isEmpty());
    const QString renamed = dir->filePath("new.cns");
    QVERIFY(files->saveAs(0, renamed)); // even unchanged, the tab names the new file
    QCOMPARE(files->fileName(0), renamed);
    QCOMPARE(titles(), QString("new.cns|b.cns"));
    files->editor()->textCursor().insertText("x"); // into b, the current one
    files->document(0)->setModified(true);
    QCOMPARE(titles(), QString("new.cns*|b.cns*"));
    // Saving the document behind the current tab leaves the current tab's mark alone.
    QVERIFY(files->save(0));
    QCOMPARE(titles(), QString("new.cns|b.cns*"));
    QCOMPARE(testsupport::readFile(renamed), QByteArray("\xEF\xBB\xBF[Data]\n"));
}

void TestQCodeFiles::movingTabsKeepsTheCurrentDocument_data()
{
    QTest::addColumn<int>("currentTab");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::newRow("current moves right") << 0 << 0 << 2 << "b.cns|c.cns|a.cns";
    QTest::newRow("current moves left") << 2 << 2 << 0 << "c.cns|a.cns|b.cns";
    QTest::newRow("other moves across the current") << 1 << 0 << 2 << "b.cns|c.cns|a.cns";
    QTest::newRow("other moves in front of it") << 1 << 2 << 0 << "c.cns|a.cns|b.cns";
    QTest::newRow("other moves behind it") << 0 << 1 << 2 << "a.cns|c.cns|b.cns";
}

void TestQCodeFiles::movingTabsKeepsTheCurrentDocument()
{
    QFETCH(int, currentTab);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    for (const char* n : {"a.cns", "b.cns", "c.cns"})
        QVERIFY(files->open(write(n, n), true));
    files->tabBar()->setCurrentIndex(currentTab);
    QTextDocument* currentDoc = files->document(currentTab);
    files->tabBar()->moveTab(from, to);
    QCOMPARE(titles(), order);
    QVERIFY(current() >= 0);
    QCOMPARE(files->document(current()), currentDoc);
    // Typing marks the tab of the document typed into.
    files->editor()->textCursor().insertText("x");
    QVERIFY(files->tabBar()->tabText(current()).endsWith('*'));
}

void TestQCodeFiles::discardQuestions()
{
    const QString a = write("a.cns", "[Data]\n"), b = write("b.cns", "[Size]\n"), c = write("c.cns", "[Info]\n");
    for (const QString& p : {a, b, c})
        QVERIFY(files->open(p, true));
    // Leaving asks about modified documents only, the current one first, and stops at No.
    QVERIFY(files->confirmDiscardAll());
    files->document(0)->setModified(true);
    files->document(2)->setModified(true);
    answerMessageBox(QMessageBox::Yes);
    answerMessageBox(QMessageBox::No);
    QVERIFY(!files->confirmDiscardAll());
    QCOMPARE(current(), 0); // showing the one asked about
    // Closing a tab always asks.
    answerMessageBox(QMessageBox::No);
    files->tabCloseRequested(1);
    QCOMPARE(titles(), QString("a.cns*|b.cns|c.cns*"));
    answerMessageBox(QMessageBox::Yes);
    files->tabCloseRequested(1);
    QCOMPARE(titles(), QString("a.cns*|c.cns*"));
    QCOMPARE(current(), 0);
    answerMessageBox(QMessageBox::Yes);
    answerMessageBox(QMessageBox::Yes);
    files->tabCloseRequested(0);
    QCOMPARE(current(), 0);
    files->tabCloseRequested(0);
    QCOMPARE(titles(), QString());
    QCOMPARE(current(), -1);
    QVERIFY(!files->editor()->isVisible());
    QStringList asked;
    for (const testsupport::DialogSeen& d : takeDialogsSeen())
        asked << d.title + ": " + QString(d.text).remove("Do you really want to discard the changes made in the file ");
    const QString q = "Discard changes: ";
    QCOMPARE(asked, QStringList({q + c, q + a, q + b, q + b, q + a, q + c}));
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
    QVERIFY(popup->currentIndex().data().toString().startsWith("cha", Qt::CaseInsensitive));
    QTest::keyClick(edit, Qt::Key_Period);
    QVERIFY(!popup->isVisible());
    QCOMPARE(edit->toPlainText(), QString("cha."));

    // Choosing inserts the rest of the word; Ctrl+E asks for the popup even on a short word.
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
    QVERIFY(files->open(write("t.cns", "[Statedef 200]\ntype = X\nmovetype = A\n"), true));
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
        // The middle of the character, in the viewport, sent as the viewport's event.
        const QPoint p((before.x() + edit->cursorRect(c).x()) / 2, before.center().y());
        QHelpEvent e(QEvent::ToolTip, p, edit->viewport()->mapToGlobal(p));
        QApplication::sendEvent(edit->viewport(), &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(1, 7), QString("Invalid 'StateDef type' value")); // on the X
    QCOMPARE(tipAt(1, 0), QString());                                 // on "type"
    QCOMPARE(tipAt(2, 11), QString());                                // a clean line
}

QTEST_MAIN(TestQCodeFiles)
#include "tst_qcodefiles.moc"

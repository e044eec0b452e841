// The window as a person walks through it: the keyboard after a load, the
// list beside the selector, the title, the one question about unsaved work,
// dropped files, recent files across a restart, what saving says, and the
// issues list grouped by file.
#include "mainwindow.h"
#include "qitemlistmodel.h"
#include "qissuesmodel.h"
#include "sndbuilder.h"
#include "spritecodecs.h"
#include "spritecommands.h"
#include "spritetestdata.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

class TestMainWindowComfort : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keyboardSteppingChangesNothing();
    void duplicateGroupAndNumberWarns();
    void listFilterJumps();
    void titleAndModifiedMark();
    void closeQuestionThreeAnswers();
    void droppedFileOpens();
    void recentFilesAcrossRestart();
    void issuesGroupedByFile();
    void zoomAndShortcuts();
    void largeCharacterWithTheList();

private:
    template <class T = QObject> T* child(const QString& name) { return w->findChild<T*>(name); }
    QAction* action(const char* name) { return child<QAction>(QString::fromLatin1(name)); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QScrollBar* sprSel() { return child<QScrollBar>("sprSel"); }
    QAbstractItemView* list() { return child<QAbstractItemView>("spriteList"); }
    QString status() { return w->statusBar()->currentMessage(); }
    // Makes the window the active one, as a person's click would.
    void activate()
    {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    // A fresh window, as after a restart.
    void restart()
    {
        delete w;
        w = new MainWindow;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

    QTemporaryDir dir;
    QString thirty; // 30 sprites: 0,0 .. 0,19 then 9000,0 .. 9000,9
    QString sounds; // 4 sounds
    MainWindow* w = nullptr;
};

void TestMainWindowComfort::initTestCase()
{
    // Settings of their own, so that a restart reads only what these tests wrote.
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    QVERIFY(windowfixture::installShippedConfig());
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    s.addPalette(spritetest::greyRamp(0), false, 1, 1);
    for (int i = 0; i < 30; ++i) {
        s.addSprite();
        QVERIFY(s.setImage(i, spritetest::indexed(8 + i, 6 + i % 5, i, spritetest::greyRamp(0))));
        s.setSpriteInfo(i, {true, 0, 0, quint16(i < 20 ? 0 : 9000), quint16(i < 20 ? i : i - 20), 0, 0, 0});
    }
    thirty = path("thirty.sff");
    QVERIFY(s.save(thirty, true));
    using namespace sndbuilder;
    sounds = writeFile(path("four.snd"), snd({{0, 0, wav(1102)}, {0, 1, wav(11025)}, {5, 2, wav(400)}, {5, 3, wav(40)}}));
}

void TestMainWindowComfort::init()
{
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindowComfort::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
    // Unsaved work of a failed test must not ask when the window goes.
    for (QUndoStack* s : w->undoStacks().stacks())
        s->setClean();
    windowfixture::destroyWindow(w);
}

void TestMainWindowComfort::keyboardSteppingChangesNothing()
{
    activate();
    QVERIFY(w->openPath(thirty));
    // The keyboard is on the view after the load, not in the Group field.
    auto* column = child<QVBoxLayout>("verticalLayout");
    QWidget* view = column->itemAt(column->count() - 1)->widget();
    QCOMPARE(w->focusWidget(), view);
    // Right and PageDown step on, Left and PageUp back, Home and End to the
    // ends; Up and Down (which renumber in a spin box) do nothing here.
    const QList<QPair<Qt::Key, int>> walk{{Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_PageDown, 3},
                                          {Qt::Key_Left, 2},  {Qt::Key_Up, 2},    {Qt::Key_Down, 2},
                                          {Qt::Key_End, 29},  {Qt::Key_Right, 29}, {Qt::Key_Home, 0},
                                          {Qt::Key_Left, 0},  {Qt::Key_PageUp, 0}};
    for (const auto& [key, expected] : walk) {
        QTest::keyClick(w->focusWidget(), key);
        QCOMPARE(sprSel()->value(), expected);
    }
    // A field left with the keyboard in it gives it back to the view when
    // another sprite is chosen.
    child<QSpinBox>("sprGrp")->setFocus();
    sprSel()->setValue(5);
    QCOMPARE(w->focusWidget(), view);
    QTest::keyClick(w->focusWidget(), Qt::Key_Up);
    QCOMPARE(w->spriteArchive().spriteInfo(5).group, quint16(0));
    QVERIFY(!w->spriteArchive().isModified());
    QCOMPARE(w->spriteArchive().undoStack()->count(), 0);

    // The sounds step the same way.
    QVERIFY(w->openPath(sounds));
    QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), int(MainWindow::SndTab));
    QTest::keyClick(w->focusWidget(), Qt::Key_End);
    QCOMPARE(child<QScrollBar>("sndSel")->value(), 3);
    QVERIFY(!w->soundArchive().isModified());
}

void TestMainWindowComfort::duplicateGroupAndNumberWarns()
{
    QVERIFY(w->openPath(thirty));
    sprSel()->setValue(1);
    // 0,1 becomes 0,2, which sprite 2 has: the status bar says which is used,
    // and the list marks both.
    child<QSpinBox>("sprImg")->setValue(2);
    QCOMPARE(status(), QString("Sprite 2 is 0,2 too: the engine uses the first one."));
    QAbstractItemModel* model = list()->model();
    QList<int> marked;
    for (int i = 0; i < model->rowCount(); ++i)
        if (model->index(i, 0).data(QItemListModel::DuplicateRole).toBool())
            marked << i;
    QCOMPARE(marked, (QList<int>{1, 2}));
    QVERIFY(model->index(1, 0).data(Qt::ToolTipRole).toString().contains("the engine uses the first one"));
    // Undone, the pair is gone and so are the marks.
    action("actionUndo")->trigger();
    QVERIFY(!model->index(2, 0).data(QItemListModel::DuplicateRole).toBool());
    QCOMPARE(model->index(1, 0).data().toString(), QString("0,1"));

    // Sounds too.
    QVERIFY(w->openPath(sounds));
    child<QScrollBar>("sndSel")->setValue(3);
    child<QSpinBox>("sndNum")->setValue(2);
    QCOMPARE(status(), QString("Sound 2 is 5,2 too: the engine uses the first one."));
}

void TestMainWindowComfort::listFilterJumps()
{
    QVERIFY(w->openPath(thirty));
    auto* filter = child<QLineEdit>("spriteFilter");
    auto* dock = child<QDockWidget>("spriteDock");
    QVERIFY(!action("actionSprite_list")->isChecked() || dock->isVisible());
    action("actionSprite_list")->setChecked(true);
    QVERIFY(dock->isVisible());
    // Typing goes to the sprite as soon as the text names one: "9000" the
    // group's first, "9000,1" that sprite.
    filter->setFocus();
    QTest::keyClicks(filter, "9000");
    QCOMPARE(sprSel()->value(), 20);
    QTest::keyClicks(filter, ",1");
    QCOMPARE(sprSel()->value(), 21);
    QCOMPARE(list()->currentIndex().row(), 21);
    QCOMPARE(list()->model()->index(21, 0).data().toString(), QString("9000,1"));
    // Enter goes to the next that matches, round to the first.
    filter->setText("9000");
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(sprSel()->value(), 22);
    // Nothing of that name: the page stays, and says so.
    filter->clear();
    QTest::keyClicks(filter, "77,7");
    QCOMPARE(sprSel()->value(), 22);
    QCOMPARE(status(), QString("Not found"));
    // The selector moves the list's choice, and a click in the list the selector.
    sprSel()->setValue(4);
    QCOMPARE(list()->currentIndex().row(), 4);
    list()->setCurrentIndex(list()->model()->index(7, 0));
    QCOMPARE(sprSel()->value(), 7);
    // Exporting it starts beside the archive (suggesting "9000-1.png").
    sprSel()->setValue(21);
    answerFileDialog(QString());
    action("actionSalvar_imagem")->trigger();
    QCOMPARE(QDir(takeDialogsSeen().value(0).text), QDir(dir.path()));
    // Every row has its thumbnail.
    QVERIFY(!list()->model()->index(29, 0).data(QItemListModel::ThumbnailRole).value<QImage>().isNull());

    // The sounds' list: group, number and length in seconds.
    QVERIFY(w->openPath(sounds));
    QCOMPARE(dock->windowTitle(), QString("Sounds"));
    QCOMPARE(list()->model()->rowCount(), 4);
    QCOMPARE(list()->model()->index(1, 0).data().toString(), QString("0,1"));
    QVERIFY2(list()->model()->index(1, 0).data(QItemListModel::DetailRole).toString().contains("1.00 s"),
             qPrintable(list()->model()->index(1, 0).data(QItemListModel::DetailRole).toString()));
    filter->clear();
    QTest::keyClicks(filter, "5,3");
    QCOMPARE(child<QScrollBar>("sndSel")->value(), 3);
    // The toggle hides the panel.
    action("actionSprite_list")->setChecked(false);
    QVERIFY(!dock->isVisible());
    action("actionSprite_list")->setChecked(true);

    // The actions' list: number and name, frame count; typing a number goes to it.
    CORPUS_OR_SKIP(air, "chars/kfm/kfm.air");
    QVERIFY(w->openPath(air));
    QCOMPARE(dock->windowTitle(), QString("Actions"));
    QCOMPARE(list()->model()->rowCount(), w->animationSet().actionCount());
    filter->clear();
    QTest::keyClicks(filter, "200");
    const int at = child<QScrollBar>("airSel")->value();
    QCOMPARE(w->animationSet().actionInfo(at).number, 200);
    QVERIFY(list()->model()->index(at, 0).data().toString().startsWith("200"));
    QVERIFY(list()->model()->index(at, 0).data(QItemListModel::DetailRole).toString().endsWith(" frames"));
}

void TestMainWindowComfort::titleAndModifiedMark()
{
    const QString file = path("title.sff");
    QVERIFY(QFile::copy(thirty, file));
    QCOMPARE(w->windowTitle(), QString("Morvane"));
    QVERIFY(w->openPath(file));
    QCOMPARE(w->windowTitle(), QString("title.sff[*] - Morvane"));
    QCOMPARE(w->windowFilePath(), file);
    QVERIFY(!w->isWindowModified());
    child<QSpinBox>("sprX")->setValue(40);
    QVERIFY(w->isWindowModified());
    // Another page names its own document.
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    QCOMPARE(w->windowTitle(), QString("Morvane"));
    QVERIFY(!w->isWindowModified());
    QVERIFY(w->openPath(sounds));
    QCOMPARE(w->windowTitle(), QString("four.snd[*] - Morvane"));
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::ActTab);
    QVERIFY(w->windowTitle().startsWith("title.sff") && w->isWindowModified());
    // Undone back to the file's state, the mark goes.
    action("actionUndo")->trigger();
    QVERIFY(!w->isWindowModified());
    // Saving says what was written.
    child<QSpinBox>("sprX")->setValue(41);
    action("actionSalvar_2")->trigger();
    QVERIFY2(status().startsWith("Saved title.sff: 30 sprites, "), qPrintable(status()));
    QVERIFY(!w->isWindowModified());
}

void TestMainWindowComfort::closeQuestionThreeAnswers()
{
    // Two documents with unsaved work: the sprites have a file, the new
    // animations have none.
    const QString sprites = path("close.sff");
    QVERIFY(QFile::copy(thirty, sprites));
    QVERIFY(w->openPath(sprites));
    child<QSpinBox>("sprX")->setValue(33);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    child<QToolButton>("airAdd")->click();
    QVERIFY(w->spriteArchive().isModified() && w->animationSet().isModified());

    // Cancel keeps everything open; one question names both.
    answerMessageBox(QMessageBox::Cancel);
    QVERIFY(!w->close());
    QList<DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, QString("These documents have unsaved changes:\n\n    close.sff (sprites and palettes)\n"
                                   "    untitled (animations)"));
    QVERIFY(w->isVisible() && w->spriteArchive().isModified() && w->animationSet().isModified());

    // Save asks the animations' name before anything is written; none given,
    // nothing is saved and nothing closes.
    answerMessageBox(QMessageBox::Save);
    answerFileDialog(QString());
    QVERIFY(!w->close());
    QVERIFY(w->spriteArchive().isModified() && w->animationSet().isModified());
    QCOMPARE(takeDialogsSeen().size(), 2);
    QSprites back(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    QVERIFY(back.load(sprites));
    QCOMPARE(back.spriteInfo(0).axisX, qint16(0));

    // Save with a name: both written, the window closes.
    child<QSpinBox>("sprX")->setValue(34);
    const QString air = path("close.air");
    answerMessageBox(QMessageBox::Save);
    answerFileDialog(air);
    QVERIFY(w->close());
    QVERIFY(QFileInfo(air).isFile());
    QVERIFY(back.load(sprites));
    QCOMPARE(back.spriteInfo(0).axisX, qint16(34));

    // Discard closes and writes nothing.
    w->show();
    child<QSpinBox>("sprX")->setValue(35);
    answerMessageBox(QMessageBox::Discard);
    QVERIFY(w->close());
    QVERIFY(back.load(sprites));
    QCOMPARE(back.spriteInfo(0).axisX, qint16(34));
    takeDialogsSeen();
}

void TestMainWindowComfort::droppedFileOpens()
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(thirty), QUrl::fromLocalFile(sounds)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    QCOMPARE(w->spriteArchive().spriteCount(), 30);
    QCOMPARE(w->soundArchive().count(), 4);
    QCOMPARE(w->recentFiles(), (QStringList{sounds, thirty}));
    // Text that is no file is not taken.
    QMimeData text;
    text.setText("9000,1");
    QDragEnterEvent other(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QApplication::sendEvent(w, &other);
    QVERIFY(!other.isAccepted());
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestMainWindowComfort::recentFilesAcrossRestart()
{
    // Eleven files opened: the last ten are kept, newest first.
    QStringList files;
    for (int i = 0; i < 11; ++i) {
        files.prepend(path(QString("r%1.sff").arg(i)));
        QVERIFY(QFile::copy(thirty, files.first()));
        w->addRecentFile(files.first());
    }
    files.removeLast();
    QCOMPARE(w->recentFiles(), files);
    QFile::remove(files[3]);
    restart();
    QCOMPARE(w->recentFiles(), files);
    // In the menu, numbered; one that went away is greyed.
    QMenu* menu = child<QMenu>("menuRecent_files");
    emit menu->aboutToShow();
    const QList<QAction*> entries = menu->actions();
    QCOMPARE(entries.size(), 10);
    QCOMPARE(entries[0]->text(), "&1 " + QDir::toNativeSeparators(files[0]));
    QCOMPARE(entries[9]->text().left(3), QString("&0 "));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(entries[i]->isEnabled(), i != 3);
    // Choosing one opens it and puts it first.
    entries[4]->trigger();
    QCOMPARE(w->spriteArchive().fileName(), files[4]);
    QCOMPARE(w->recentFiles().first(), files[4]);
    // The window's size is kept too.
    w->resize(700, 500);
    restart();
    QCOMPARE(w->size(), QSize(700, 500));
    QCOMPARE(w->recentFiles().first(), files[4]);
}

void TestMainWindowComfort::issuesGroupedByFile()
{
    using namespace spritetest;
    const QImage image = indexed(4, 4, 1, colours(1));
    const V2Sprite one{0, 0, 4, 4, 0, 0, 0, 2, 8, encodeRle8(image)};
    V2Sprite two = one, huge{0, 2, 65535, 65535, 0, 0, 0, 2, 8, one.data};
    two.number = 1;
    const QString damaged = writeFile(path("damaged.sff"), sffV2({}, {one, two, huge}));
    QVERIFY(w->openPath(damaged));
    QVERIFY(w->openPath(sounds)); // a file without issues has no header
    // Read again, its lines replace those of the first read.
    QVERIFY(w->openPath(damaged));
    QAbstractItemModel* issues = child<QListView>("issuesList")->model();
    QCOMPARE(issues->rowCount(), 2);
    QCOMPARE(issues->index(0, 0).data().toString(), QString("damaged.sff"));
    QVERIFY(issues->index(0, 0).data(QIssuesModel::HeaderRole).toBool());
    // The line names the sprite by index and group,number; its tip is the whole line.
    QCOMPARE(issues->index(1, 0).data().toString(), QString("Sprite 2 (0,2): Sprite data is damaged"));
    QCOMPARE(issues->index(1, 0).data(Qt::ToolTipRole).toString(), QString("damaged.sff(2): Sprite data is damaged"));
    // A double-click shows that sprite on its page.
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    auto* view = child<QListView>("issuesList");
    emit view->activated(issues->index(1, 0));
    QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), int(MainWindow::SffTab));
    QCOMPARE(sprSel()->value(), 2);

    // A file that cannot be read leaves the archive as it was; its line says why.
    const QString junk = writeFile(path("junk.sff"), QByteArray(600, 'x'));
    answerMessageBox(QMessageBox::Ok);
    QVERIFY(!w->openPath(junk));
    QCOMPARE(w->spriteArchive().spriteCount(), 3);
    QCOMPARE(w->spriteArchive().fileName(), damaged);
    QCOMPARE(issues->rowCount(), 4);
    QCOMPARE(issues->index(2, 0).data().toString(), QString("junk.sff"));
    QVERIFY(issues->index(3, 0).data().toString().contains("junk.sff"));
    QCOMPARE(takeDialogsSeen().size(), 1);
}

void TestMainWindowComfort::zoomAndShortcuts()
{
    // Standard keys, shown in the menus.
    const QList<QPair<const char*, QKeySequence>> keys{
        {"actionNovo", QKeySequence("Ctrl+N")},         {"actionAbrir", QKeySequence("Ctrl+O")},
        {"actionSalvar", QKeySequence("Ctrl+S")},       {"actionSalvar_como", QKeySequence("Ctrl+Shift+S")},
        {"actionFechar", QKeySequence("Ctrl+W")},       {"actionSair", QKeySequence("Ctrl+Q")},
        {"actionFind", QKeySequence("Ctrl+F")},         {"actionFind_next", QKeySequence("F3")},
        {"actionGo_to_line", QKeySequence("Ctrl+G")},   {"actionUndo", QKeySequence("Ctrl+Z")},
        {"actionRedo", QKeySequence("Ctrl+Shift+Z")},   {"actionZoom_in", QKeySequence("Ctrl++")},
        {"actionZoom_out", QKeySequence("Ctrl+-")},     {"actionActual_size", QKeySequence("Ctrl+0")}};
    for (const auto& [name, key] : keys)
        QVERIFY2(action(name)->shortcuts().contains(key), name);

    // The zoom in the status bar; Fit and 1:1; a new file starts at 1:1.
    QVERIFY(w->openPath(thirty));
    auto* zoom = w->statusBar()->findChild<QLabel*>("zoomLabel");
    QCOMPARE(zoom->text(), QString("100%"));
    action("actionZoom_in")->trigger();
    QCOMPARE(zoom->text(), QString("200%"));
    action("actionActual_size")->trigger();
    QCOMPARE(zoom->text(), QString("100%"));
    sprSel()->setValue(2);
    action("actionFit")->trigger();
    QVERIFY2(zoom->text().remove('%').toDouble() > 100, qPrintable(zoom->text()));
    QVERIFY(w->openPath(thirty));
    QCOMPARE(zoom->text(), QString("100%"));
}

void TestMainWindowComfort::largeCharacterWithTheList()
{
    // A real character's sprites made into 1 000: each followed by copies
    // numbered 1000, 2000, ... higher.
    CORPUS_OR_SKIP(kakashi, "community/chars/kakashi/kakashi.sff");
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    QVERIFY(s.load(kakashi));
    const int original = s.spriteCount();
    std::vector<std::unique_ptr<QEditCommand>> steps;
    for (int j = original - 1; j >= 0; --j) {
        for (int k = 1000 / original - 1 + (j < 1000 % original ? 1 : 0); k >= 1; --k) {
            steps.emplace_back(spritecommands::duplicateSprite(&s, j, true));
            steps.back()->redo();
            SpriteInfo info = s.spriteInfo(j + 1);
            info.number = quint16(info.number + 1000 * k);
            s.setSpriteInfo(j + 1, info);
        }
    }
    QCOMPARE(s.spriteCount(), 1000);
    const QString file = path("kakashi-1000.sff");
    QVERIFY(s.save(file));

    w->resize(1280, 680);
    action("actionSprite_list")->setChecked(true);
    QVERIFY(w->openPath(file));
    QCOMPARE(list()->model()->rowCount(), 1000);
    auto* filter = child<QLineEdit>("spriteFilter");
    const SpriteInfo wanted = w->spriteArchive().spriteInfo(10);
    QTest::keyClicks(filter, QString("%1,%2").arg(qint16(wanted.group)).arg(qint16(wanted.number)));
    const SpriteInfo shown = w->spriteArchive().spriteInfo(sprSel()->value());
    QVERIFY(shown.group == wanted.group && shown.number == wanted.number);
    QCoreApplication::processEvents();
    // Thumbnails are drawn with the sprite's own palette.
    const QImage thumb = list()->model()->index(sprSel()->value(), 0).data(QItemListModel::ThumbnailRole).value<QImage>();
    QVERIFY(!thumb.isNull() && !thumb.allGray());
    saveSnapshot(w, "comfort-1000-sprites");
}

QTEST_MAIN(TestMainWindowComfort)
#include "tst_mainwindow_comfort.moc"

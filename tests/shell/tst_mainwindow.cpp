// The main window's shell: modified marks and the discard question, closing
// with unsaved work, the progress dialog of long loads, the tool buttons, the
// utilities pane, tab switching, New, the About dialog and what each tab looks like.
#include "mainwindow.h"
#include "qmessages.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::answerDialog;
using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void confirmDiscardAndMarks_data();
    void confirmDiscardAndMarks();
    void paletteChangesShareTheSpriteFlag();
    void unknownTabs();
    void closeAsksForEachModifiedArchive_data();
    void closeAsksForEachModifiedArchive();
    void progressCancelStopsTheOperation();
    void progressLastReportClosesTheDialog();
    void progressWithNoItemsLeavesNoDialog();
    void progressDialogStaysHiddenUntilUsed();
    void toolButtonsTriggerTheirActions_data();
    void toolButtonsTriggerTheirActions();
    void utilitiesPaneFollowsItsAction();
    void tabSwitchStopsPlaybackOnlyWhenPlaying();
    void emptySelectorsHaveNothingToSelect();
    void newCharacterClearsTheIssues();
    void languageChangeKeepsTheMarks();
    void aboutDialogOpensAndCloses();
    void snapshots();

private:
    template <class T> T* child(const char* name)
    {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    QString tabTitle(int i) { return child<QTabWidget>("tabs")->tabText(i); }
    QProgressDialog* progressDialog() { return w->findChild<QProgressDialog*>(); }

    MainWindow* w = nullptr;
};

void TestMainWindow::initTestCase()
{
    QVERIFY(windowfixture::installShippedConfig());
}

void TestMainWindow::init()
{
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindow::cleanup()
{
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

void TestMainWindow::confirmDiscardAndMarks_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("question");
    const QString sprites = "Do you really want to discard the changes made in the sprites and/or palettes";
    QTest::newRow("SFF") << 0 << "SFF" << sprites;
    QTest::newRow("ACT") << 1 << "ACT" << sprites;
    QTest::newRow("SND") << 2 << "SND" << "Do you really want to discard the changes made in the sounds";
    QTest::newRow("AIR") << 3 << "AIR" << "Do you really want to discard the changes made in the animations";
}

void TestMainWindow::confirmDiscardAndMarks()
{
    QFETCH(int, tab);
    QFETCH(QString, title);
    QFETCH(QString, question);

    // Nothing unsaved: no question.
    QCOMPARE(tabTitle(tab), title);
    QVERIFY(w->confirmDiscard(tab));
    QVERIFY(takeDialogsSeen().isEmpty());

    w->setModifiedMark(tab, true);
    QCOMPARE(tabTitle(tab), title + "*");

    answerMessageBox(QMessageBox::No);
    QVERIFY(!w->confirmDiscard(tab));
    answerMessageBox(QMessageBox::Yes);
    QVERIFY(w->confirmDiscard(tab));
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    for (const auto& d : seen) {
        QCOMPARE(d.className, QString("QMessageBox"));
        QCOMPARE(d.title, QString("Discard changes"));
        QCOMPARE(d.text, question);
    }
    // Saying Yes does not save anything: the mark stays until the archive is
    // renewed, opened or saved.
    QCOMPARE(tabTitle(tab), title + "*");

    w->setModifiedMark(tab, false);
    QCOMPARE(tabTitle(tab), title);
    QVERIFY(w->confirmDiscard(tab));
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestMainWindow::paletteChangesShareTheSpriteFlag()
{
    w->setModifiedMark(1, true);
    QCOMPARE(tabTitle(1), QString("ACT*"));
    QCOMPARE(tabTitle(0), QString("SFF")); // only the ACT title changes
    answerMessageBox(QMessageBox::No);
    QVERIFY(!w->confirmDiscard(0)); // but SFF asks as well
    QCOMPARE(takeDialogsSeen().size(), 1);
    QVERIFY(w->confirmDiscard(2));
    QVERIFY(w->confirmDiscard(3));
    QVERIFY(takeDialogsSeen().isEmpty());

    // Clearing through SFF clears the one flag behind both tabs.
    w->setModifiedMark(0, false);
    QVERIFY(w->confirmDiscard(1));
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestMainWindow::unknownTabs()
{
    for (int tab : {-1, 4, 5}) {
        w->setModifiedMark(tab, true);
        QVERIFY(!w->confirmDiscard(tab));
    }
    QStringList titles;
    for (int i = 0; i < 5; ++i)
        titles << tabTitle(i);
    QCOMPARE(titles, (QStringList{"SFF", "ACT", "SND", "AIR", "DEF / CMD / CNS"}));
    QVERIFY(takeDialogsSeen().isEmpty());
    QVERIFY(w->confirmDiscard(0));
}

void TestMainWindow::closeAsksForEachModifiedArchive_data()
{
    QTest::addColumn<QList<int>>("modified");  // tabs marked modified
    QTest::addColumn<QList<int>>("answers");   // QMessageBox buttons, in order
    QTest::addColumn<int>("questions");        // questions asked
    QTest::addColumn<bool>("closes");
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("nothing modified") << QList<int>{} << QList<int>{} << 0 << true;
    QTest::newRow("sprites, no") << QList<int>{0} << QList<int>{no} << 1 << false;
    QTest::newRow("sprites, yes") << QList<int>{0} << QList<int>{yes} << 1 << true;
    QTest::newRow("palettes, no") << QList<int>{1} << QList<int>{no} << 1 << false;
    QTest::newRow("sounds, no") << QList<int>{2} << QList<int>{no} << 1 << false;
    QTest::newRow("animations, no") << QList<int>{3} << QList<int>{no} << 1 << false;
    QTest::newRow("all, yes yes yes") << QList<int>{0, 2, 3} << QList<int>{yes, yes, yes} << 3 << true;
    QTest::newRow("all, yes no") << QList<int>{0, 2, 3} << QList<int>{yes, no} << 2 << false;
    QTest::newRow("sprites and palettes ask once") << QList<int>{0, 1} << QList<int>{yes} << 1 << true;
}

void TestMainWindow::closeAsksForEachModifiedArchive()
{
    QFETCH(QList<int>, modified);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(bool, closes);
    for (int tab : modified)
        w->setModifiedMark(tab, true);
    for (int a : answers)
        answerMessageBox(QMessageBox::StandardButton(a));
    QCOMPARE(w->close(), closes);
    QCOMPARE(w->isVisible(), !closes);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), questions);
    for (const auto& d : seen)
        QCOMPARE(d.title, QString("Discard changes"));
    QCOMPARE(testsupport::pendingAnswers(), 0);
}

void TestMainWindow::progressCancelStopsTheOperation()
{
    QProgressDialog* dlg = progressDialog();
    QVERIFY(dlg);
    QCOMPARE(dlg->windowTitle(), QString("Morvane 9"));
    QCOMPARE(dlg->windowModality(), Qt::WindowModal);

    bool allow = false;
    w->progress(0, 10, allow);
    QVERIFY(allow);
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->maximum(), 10);
    QCOMPARE(QApplication::activeModalWidget(), dlg);
    w->progress(1, 10, allow);
    QVERIFY(allow);
    QCOMPARE(dlg->value(), 1);

    auto* cancel = dlg->findChild<QPushButton*>();
    QVERIFY(cancel);
    cancel->click();
    w->progress(2, 10, allow);
    QVERIFY(!allow);
    QVERIFY(!dlg->isVisible());
    w->progress(3, 10, allow); // an operation that goes on anyway stays cancelled
    QVERIFY(!allow);
    QVERIFY(!dlg->isVisible());

    // The next operation starts afresh.
    w->progress(0, 2, allow);
    QVERIFY(allow);
    QVERIFY(dlg->isVisible());
    w->progress(2, 2, allow);
    QVERIFY(allow);
    QVERIFY(!dlg->isVisible());
}

void TestMainWindow::progressLastReportClosesTheDialog()
{
    QProgressDialog* dlg = progressDialog();
    bool allow = false;
    w->progress(0, 3, allow);
    for (uint pos = 1; pos <= 3; ++pos) {
        QVERIFY(dlg->isVisible());
        w->progress(pos, 3, allow);
        QVERIFY(allow);
    }
    QVERIFY(!dlg->isVisible());
    QVERIFY(!QApplication::activeModalWidget());

    // A report past the end closes it as well.
    w->progress(0, 3, allow);
    w->progress(7, 3, allow);
    QVERIFY(!dlg->isVisible());
}

void TestMainWindow::progressWithNoItemsLeavesNoDialog()
{
    QProgressDialog* dlg = progressDialog();
    bool allow = false;
    w->progress(0, 0, allow);
    QVERIFY(allow);
    QCoreApplication::processEvents();
    QVERIFY(!dlg->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    for (QTimer* t : dlg->findChildren<QTimer*>())
        QVERIFY2(!t->isActive(), "nothing may show the dialog later");
    // The window still takes input.
    QVERIFY(w->isEnabled());
}

void TestMainWindow::progressDialogStaysHiddenUntilUsed()
{
    QProgressDialog* dlg = progressDialog();
    QVERIFY(!dlg->isVisible());
    for (QTimer* t : dlg->findChildren<QTimer*>())
        QVERIFY2(!t->isActive(), "a timer would show the dialog by itself");
}

void TestMainWindow::toolButtonsTriggerTheirActions_data()
{
    QTest::addColumn<QString>("action");
    const char* const pairs[][2] = {
        {"sprNew", "actionNovo_sprite"},       {"sprChange", "actionTrocar_imagem"},
        {"sprSave", "actionSalvar_imagem"},    {"sprDuplicate", "actionDuplicar_sprite"},
        {"sprDelete", "actionExcluir_sprite"}, {"actNew", "actionNew_palette"},
        {"actOpen", "actionOpen_palette"},     {"actSave", "actionSave_palette"},
        {"actDuplicate", "actionDuplicate_palette"}, {"actDelete", "actionDelete_palette"},
        {"airTxt", "actionText_mode"},         {"airGif", "actionSave_as_GIF"},
        {"airPlay", "actionPlay_2"},           {"airStop", "actionStop_2"},
        {"airFind", "actionFind"},             {"sndNew", "actionNew_sound"},
        {"sndChange", "actionChange_sound"},   {"sndSave", "actionSave_Sound"},
        {"sndDuplicate", "actionDuplicate_sound"}, {"sndDelete", "actionDelete_sound"},
        {"sndPlay", "actionPlay"},             {"sndPlayLoop", "actionPlay_with_loop"},
        {"sndStop", "actionStop"},
    };
    for (const auto& p : pairs)
        QTest::newRow(p[0]) << QString(p[1]);
}

void TestMainWindow::toolButtonsTriggerTheirActions()
{
    QFETCH(QString, action);
    auto* button = w->findChild<QToolButton*>(QString::fromLatin1(QTest::currentDataTag()));
    auto* a = w->findChild<QAction*>(action);
    QVERIFY(button && a);
    QCOMPARE(button->defaultAction(), a);
    QCOMPARE(button->toolTip(), a->text());
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->icon().pixmap(24).toImage(), a->icon().pixmap(24).toImage());
    // A bound button is checked exactly when its action is.
    QCOMPARE(button->isCheckable(), a->isCheckable());
    QCOMPARE(button->isChecked(), a->isChecked());
}

void TestMainWindow::utilitiesPaneFollowsItsAction()
{
    auto* action = child<QAction>("actionUtilities");
    auto* pane = child<QTabWidget>("utilTabs");
    QVERIFY(action->isChecked());
    QVERIFY(pane->isVisible());
    action->trigger();
    QVERIFY(!action->isChecked());
    QVERIFY(!pane->isVisible());
    action->trigger();
    QVERIFY(pane->isVisible());
    // The pane shows the issues, search and remap pages.
    QCOMPARE(pane->count(), 3);
    QVERIFY(child<QListView>("issuesList")->model());
}

void TestMainWindow::tabSwitchStopsPlaybackOnlyWhenPlaying()
{
    auto* tabs = child<QTabWidget>("tabs");
    auto* play = child<QAction>("actionPlay_2");
    auto* stop = child<QAction>("actionStop_2");
    QSignalSpy stops(stop, &QAction::triggered);

    // Idle: switching pages leaves play and stop alone.
    for (int i : {1, 2, 3, 4, 0}) {
        tabs->setCurrentIndex(i);
        QCOMPARE(tabs->currentIndex(), i);
    }
    QCOMPARE(stops.count(), 0);
    QVERIFY(stop->isChecked());
    QVERIFY(!play->isChecked());

    // Playing (as the play slot leaves it): a switch presses Stop once.
    play->setChecked(true);
    stop->setChecked(false);
    tabs->setCurrentIndex(3);
    QCOMPARE(stops.count(), 1);
    QCOMPARE(stops.at(0).at(0).toBool(), true);
    QVERIFY(stop->isChecked());
}

void TestMainWindow::emptySelectorsHaveNothingToSelect()
{
    for (const char* name : {"sprSel", "actSel", "sndSel", "airSel"}) {
        auto* bar = child<QScrollBar>(name);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 0);
        bar->setRange(0, 50);
    }
    w->updateSpriteRange();
    w->updatePaletteRange();
    w->updateSoundRange();
    w->updateAnimationRange();
    for (const char* name : {"sprSel", "actSel", "sndSel", "airSel"})
        QCOMPARE(child<QScrollBar>(name)->maximum(), 0);
}

void TestMainWindow::newCharacterClearsTheIssues()
{
    auto* list = child<QListView>("issuesList");
    auto* messages = qobject_cast<QMessages*>(list->model());
    QVERIFY(messages);
    QCOMPARE(messages->rowCount(), 0);
    messages->addError("kfm.air(3): Unexpected token 'x'");
    messages->addWarning("kfm.air(9): Unknown identifier 'y'");
    QCOMPARE(messages->rowCount(), 2);

    QLabel* kind = nullptr;
    for (QLabel* l : w->statusBar()->findChildren<QLabel*>())
        if (l->text() == "Character")
            kind = l;
    QVERIFY2(kind, "the status bar tells what the definition describes");
    kind->setText("Stage");

    child<QAction>("actionNovo")->trigger();
    QCOMPARE(messages->rowCount(), 0);
    QCOMPARE(kind->text(), QString("Character"));
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestMainWindow::languageChangeKeepsTheMarks()
{
    w->setModifiedMark(2, true);
    w->setModifiedMark(1, true);
    child<QLabel>("sprPos")->setText("x");
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(child<QLabel>("sprPos")->text(), QString("0 / 0")); // texts were set again
    QStringList titles;
    for (int i = 0; i < 5; ++i)
        titles << tabTitle(i);
    QCOMPARE(titles, (QStringList{"SFF", "ACT*", "SND*", "AIR", "DEF / CMD / CNS"}));
    QCOMPARE(progressDialog()->windowTitle(), QString("Morvane 9"));
}

void TestMainWindow::aboutDialogOpensAndCloses()
{
    QStringList texts;
    answerDialog(true, [&texts](QWidget* dlg) {
        QCOMPARE(dlg->size(), QSize(400, 213));
        for (QLabel* l : dlg->findChildren<QLabel*>())
            texts << l->text();
        // Close it the way a person does: OK.
        auto* box = dlg->findChild<QDialogButtonBox*>("buttonBox");
        QVERIFY(box);
        QCOMPARE(box->buttons().size(), 1);
        box->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dlg->isVisible());
    });
    child<QAction>("actionSobre")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].className, QString("About"));
    QCOMPARE(seen[0].title, QString("About..."));
    QVERIFY(texts.contains("Quendar Morvane 9"));
    QVERIFY(texts.contains("Character, Stage and Font editor for Mugen 1.0"));
    QVERIFY(texts.join('\n').contains("Morvane developers"));
    QVERIFY(texts.join('\n').contains("Qt libraries"));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMainWindow::snapshots()
{
    auto* tabs = child<QTabWidget>("tabs");
    const char* const names[] = {"sff", "act", "snd", "air", "def"};
    for (int i = 0; i < 5; ++i) {
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        const QString path = testsupport::saveSnapshot(w, QString("mainwindow-%1").arg(names[i]));
        const QImage shot(path);
        QCOMPARE(shot.size(), w->size() * w->devicePixelRatio());
    }
    // The utilities' search page, beside the SFF page.
    tabs->setCurrentIndex(0);
    child<QTabWidget>("utilTabs")->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QVERIFY(!QImage(testsupport::saveSnapshot(w, "mainwindow-search")).isNull());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

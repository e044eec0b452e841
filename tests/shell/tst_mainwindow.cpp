// The main window's shell: modified marks and the discard question, closing
// with unsaved work, the progress dialog of long loads, the tool buttons, the
// utilities pane, tab switching, New, the About dialog and what each tab looks like.
#include "mainwindow.h"
#include "qmessages.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();

    void confirmDiscardAndMarks_data();
    void confirmDiscardAndMarks();
    void unknownTabs();
    void closeAsksForEachModifiedArchive_data();
    void closeAsksForEachModifiedArchive();
    void progress_data();
    void progress();
    void toolButtonsShowTheirActions();
    void utilitiesPaneFollowsItsAction();
    void tabSwitchStopsPlaybackOnlyWhenPlaying();
    void emptySelectorsHaveNothingToSelect();
    void newCharacterClearsTheIssues();
    void languageChangeKeepsMarksAndChoices();
    void aboutDialogOpensAndCloses();
    void snapshots();

private:
    template <class T> T* child(const char* name) { return w->findChild<T*>(QString::fromLatin1(name)); }
    QString titles()
    {
        QStringList s;
        for (int i = 0; i < 5; ++i)
            s << child<QTabWidget>("tabs")->tabText(i);
        return s.join('|');
    }

    MainWindow* w = nullptr;
};

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
    QTest::addColumn<QString>("marked"); // the tab titles once the tab is marked
    QTest::addColumn<int>("sharing");    // the tab that shares the modified flag, or -1
    QTest::addColumn<QString>("question");
    const QString sprites = "Do you really want to discard the changes made in the sprites and/or palettes";
    QTest::newRow("SFF") << 0 << "SFF*|ACT|SND|AIR|DEF / CMD / CNS" << 1 << sprites;
    QTest::newRow("ACT") << 1 << "SFF|ACT*|SND|AIR|DEF / CMD / CNS" << 0 << sprites;
    QTest::newRow("SND") << 2 << "SFF|ACT|SND*|AIR|DEF / CMD / CNS" << -1
                         << "Do you really want to discard the changes made in the sounds";
    QTest::newRow("AIR") << 3 << "SFF|ACT|SND|AIR*|DEF / CMD / CNS" << -1
                         << "Do you really want to discard the changes made in the animations";
}

void TestMainWindow::confirmDiscardAndMarks()
{
    QFETCH(int, tab);
    QFETCH(QString, marked);
    QFETCH(int, sharing);
    QFETCH(QString, question);
    QVERIFY(w->confirmDiscard(tab)); // nothing unsaved: no question

    w->setModifiedMark(tab, true);
    QCOMPARE(titles(), marked);
    answerMessageBox(QMessageBox::No);
    QVERIFY(!w->confirmDiscard(tab));
    answerMessageBox(QMessageBox::Yes);
    QVERIFY(w->confirmDiscard(tab));
    // Sprites and palettes share one flag: the other tab asks too; the rest do not.
    for (int other = 0; other < 4; ++other) {
        if (other == sharing)
            answerMessageBox(QMessageBox::Yes);
        QVERIFY(other == tab || w->confirmDiscard(other));
    }
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), sharing < 0 ? 2 : 3);
    for (const auto& d : seen)
        QCOMPARE(d.title + ": " + d.text, "Discard changes: " + question);
    // Saying Yes saves nothing: the mark stays until the archive is renewed,
    // opened or saved.
    QCOMPARE(titles(), marked);

    // Clearing through either tab clears the flag behind both.
    w->setModifiedMark(sharing < 0 ? tab : sharing, false);
    QVERIFY(w->confirmDiscard(tab));
    QVERIFY(takeDialogsSeen().isEmpty());
}

void TestMainWindow::unknownTabs()
{
    for (int tab : {-1, 4, 5}) {
        w->setModifiedMark(tab, true);
        QVERIFY(!w->confirmDiscard(tab));
    }
    QCOMPARE(titles(), QString("SFF|ACT|SND|AIR|DEF / CMD / CNS"));
    QVERIFY(takeDialogsSeen().isEmpty());
    QVERIFY(w->confirmDiscard(0));
}

void TestMainWindow::closeAsksForEachModifiedArchive_data()
{
    QTest::addColumn<QList<int>>("modified"); // tabs marked modified
    QTest::addColumn<QList<int>>("answers");  // QMessageBox buttons, one per question asked
    QTest::addColumn<bool>("closes");
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("nothing modified") << QList<int>{} << QList<int>{} << true;
    QTest::newRow("sprites, no") << QList<int>{0} << QList<int>{no} << false;
    QTest::newRow("sprites, yes") << QList<int>{0} << QList<int>{yes} << true;
    QTest::newRow("palettes, no") << QList<int>{1} << QList<int>{no} << false;
    QTest::newRow("sounds, no") << QList<int>{2} << QList<int>{no} << false;
    QTest::newRow("animations, no") << QList<int>{3} << QList<int>{no} << false;
    QTest::newRow("all, yes yes yes") << QList<int>{0, 2, 3} << QList<int>{yes, yes, yes} << true;
    QTest::newRow("all, yes no") << QList<int>{0, 2, 3} << QList<int>{yes, no} << false;
    QTest::newRow("sprites and palettes ask once") << QList<int>{0, 1} << QList<int>{yes} << true;
}

void TestMainWindow::closeAsksForEachModifiedArchive()
{
    QFETCH(QList<int>, modified);
    QFETCH(QList<int>, answers);
    QFETCH(bool, closes);
    for (int tab : modified)
        w->setModifiedMark(tab, true);
    for (int a : answers)
        answerMessageBox(QMessageBox::StandardButton(a));
    QCOMPARE(w->close(), closes);
    QCOMPARE(w->isVisible(), !closes);
    QCOMPARE(takeDialogsSeen().size(), answers.size());
    QCOMPARE(testsupport::pendingAnswers(), 0);
}

// A script of reports "pos/max", each followed by what must hold after it:
// + the dialog is shown, - it is not, ! the operation is told to stop. "cancel"
// presses the dialog's Cancel button.
void TestMainWindow::progress_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("nothing reported yet") << "";
    QTest::newRow("last report closes") << "0/3+ 1/3+ 2/3+ 3/3-";
    QTest::newRow("report past the end closes") << "0/3+ 7/3-";
    QTest::newRow("cancel stops, next operation starts afresh") << "0/10+ 1/10+ cancel 2/10-! 3/10-! 0/2+ 2/2-";
    QTest::newRow("no items, no dialog") << "0/0-";
}

void TestMainWindow::progress()
{
    QFETCH(QString, script);
    auto* dlg = w->findChild<QProgressDialog*>();
    QCOMPARE(dlg->windowModality(), Qt::WindowModal);
    const QRegularExpression step("^(\\d+)/(\\d+)([+-])(!?)$");
    for (const QString& s : script.split(' ', Qt::SkipEmptyParts)) {
        if (s == "cancel") {
            dlg->findChild<QPushButton*>()->click();
            continue;
        }
        const QRegularExpressionMatch m = step.match(s);
        QVERIFY2(m.hasMatch(), qPrintable(s));
        bool allow = false;
        w->progress(m.captured(1).toUInt(), m.captured(2).toUInt(), allow);
        QCoreApplication::processEvents();
        QVERIFY2(allow == m.captured(4).isEmpty(), qPrintable(s));
        QVERIFY2(dlg->isVisible() == (m.captured(3) == "+"), qPrintable(s));
        if (dlg->isVisible())
            QCOMPARE(QApplication::activeModalWidget(), dlg);
    }
    // Finished: nothing modal stays, nothing may show the dialog later.
    QVERIFY(!QApplication::activeModalWidget());
    for (QTimer* t : dlg->findChildren<QTimer*>())
        QVERIFY(!t->isActive());
}

void TestMainWindow::toolButtonsShowTheirActions()
{
    const QString pairs = "sprNew=actionNovo_sprite sprChange=actionTrocar_imagem sprSave=actionSalvar_imagem "
                          "sprDuplicate=actionDuplicar_sprite sprDelete=actionExcluir_sprite "
                          "actNew=actionNew_palette actOpen=actionOpen_palette actSave=actionSave_palette "
                          "actDuplicate=actionDuplicate_palette actDelete=actionDelete_palette "
                          "airTxt=actionText_mode airGif=actionSave_as_GIF airPlay=actionPlay_2 airStop=actionStop_2 "
                          "airFind=actionFind sndNew=actionNew_sound sndChange=actionChange_sound "
                          "sndSave=actionSave_Sound sndDuplicate=actionDuplicate_sound sndDelete=actionDelete_sound "
                          "sndPlay=actionPlay sndPlayLoop=actionPlay_with_loop sndStop=actionStop";
    for (const QString& pair : pairs.split(' ')) {
        auto* button = w->findChild<QToolButton*>(pair.section('=', 0, 0));
        auto* action = w->findChild<QAction*>(pair.section('=', 1));
        QVERIFY2(button && action && button->defaultAction() == action, qPrintable(pair));
        QCOMPARE(button->toolTip(), action->text());
    }
}

void TestMainWindow::utilitiesPaneFollowsItsAction()
{
    auto* action = child<QAction>("actionUtilities");
    auto* pane = child<QTabWidget>("utilTabs");
    QVERIFY(pane->isVisible());
    action->trigger();
    QVERIFY(!action->isChecked());
    QVERIFY(!pane->isVisible());
    action->trigger();
    QVERIFY(pane->isVisible());
}

void TestMainWindow::tabSwitchStopsPlaybackOnlyWhenPlaying()
{
    auto* tabs = child<QTabWidget>("tabs");
    auto* play = child<QAction>("actionPlay_2");
    auto* stop = child<QAction>("actionStop_2");
    QSignalSpy stops(stop, &QAction::triggered);

    // Idle: switching pages leaves play and stop alone.
    for (int i : {1, 2, 3, 4, 0})
        tabs->setCurrentIndex(i);
    QCOMPARE(stops.count(), 0);
    QVERIFY(stop->isChecked() && !play->isChecked());

    // Playing (as the play slot leaves it): a switch presses Stop once.
    play->setChecked(true);
    stop->setChecked(false);
    tabs->setCurrentIndex(3);
    QCOMPARE(stops.count(), 1);
    QVERIFY(stop->isChecked());
}

void TestMainWindow::emptySelectorsHaveNothingToSelect()
{
    const char* const selectors[] = {"sprSel", "actSel", "sndSel", "airSel"};
    for (const char* name : selectors)
        child<QScrollBar>(name)->setRange(0, 50);
    w->updateSpriteRange();
    w->updatePaletteRange();
    w->updateSoundRange();
    w->updateAnimationRange();
    for (const char* name : selectors)
        QCOMPARE(child<QScrollBar>(name)->maximum(), 0);
}

void TestMainWindow::newCharacterClearsTheIssues()
{
    auto* messages = qobject_cast<QMessages*>(child<QListView>("issuesList")->model());
    QVERIFY(messages);
    messages->addError("kfm.air(3): Unexpected token 'x'");
    messages->addWarning("kfm.air(9): Unknown identifier 'y'");
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

void TestMainWindow::languageChangeKeepsMarksAndChoices()
{
    // The translation step sets every text again: wipe a few and run it.
    w->setModifiedMark(2, true);
    w->setModifiedMark(1, true);
    child<QLabel>("sprPos")->setText("x");
    child<QAction>("actionSobre")->setText(QString());
    auto* flip = child<QComboBox>("airFlip");
    flip->setItemText(2, "x");
    flip->setCurrentIndex(3);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(child<QLabel>("sprPos")->text(), QString("0 / 0"));
    QCOMPARE(child<QAction>("actionSobre")->text(), QString("About..."));
    QCOMPARE(flip->itemText(2) + ' ' + QString::number(flip->count()), QString("Horizontally 4"));
    QCOMPARE(flip->currentIndex(), 3);
    QCOMPARE(titles(), QString("SFF|ACT*|SND*|AIR|DEF / CMD / CNS"));
    QCOMPARE(w->findChild<QProgressDialog*>()->windowTitle(), QString("Morvane 9"));
}

void TestMainWindow::aboutDialogOpensAndCloses()
{
    testsupport::answerDialog(true, [](QWidget* dlg) {
        QCOMPARE(dlg->size(), QSize(400, 213));
        QStringList texts;
        for (QLabel* l : dlg->findChildren<QLabel*>()) { // every text is there and fits the dialog
            texts << l->text();
            QVERIFY(dlg->rect().contains(l->geometry()));
            QVERIFY2(l->wordWrap() ? l->height() >= l->heightForWidth(l->width())
                                   : l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        }
        for (const char* text : {"Quendar Morvane 9", "Character, Stage and Font editor for Mugen 1.0",
                                 "Morvane developers", "Tango Desktop Project", "Qt libraries"})
            QVERIFY2(texts.join('\n').contains(text), text);
        testsupport::saveSnapshot(dlg, "about");
        auto* product = dlg->findChild<QLabel*>("productLabel");
        product->setText("x");
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(dlg, &change);
        QCOMPARE(product->text(), QString("Quendar Morvane 9"));
        // Closed the way a person does: OK.
        dlg->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    child<QAction>("actionSobre")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].className, QString("About"));
    QCOMPARE(seen[0].title, QString("About..."));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMainWindow::snapshots()
{
    auto* tabs = child<QTabWidget>("tabs");
    const char* const names[] = {"sff", "act", "snd", "air", "def"};
    for (int i = 0; i < 5; ++i) {
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        const QImage shot(testsupport::saveSnapshot(w, QString("mainwindow-%1").arg(names[i])));
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

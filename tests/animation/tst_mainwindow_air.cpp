// The AIR tab of the real window with a community character open: browsing,
// every field and command as one step that undo takes back, the box buttons,
// playback, the AIR file's commands and dialogs, and Save as GIF.
#include "../shell/undostep.h"
#include "../shell/windowfixture.h"
#include "qrenderwidget.h"
#include "savefile.h"
#include "testsupport.h"

#include <QImageReader>
#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

class TestMainWindowAir : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();
    void browseAndEditFields();
    void actionsFramesAndBoxes();
    void playback();
    void filesAndGif();

private:
    template <class T> T* child(const char* name) { return windowfixture::childOf<T>(w, name); }
    QAction* action(const char* name) { return child<QAction>(name); }
    QSprRender* renderer() { return static_cast<QSprRender*>(child<QRenderWidget>("renderWidget")->renderer); }
    void run(const char* name, const QString& file) { answerFileDialog(file); action(name)->trigger(); }
    void run(const char* name, QMessageBox::StandardButton b) { answerMessageBox(b); action(name)->trigger(); }
    void click(const char* button, QMessageBox::StandardButton b) { answerMessageBox(b); child<QToolButton>(button)->click(); }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    int value(const char* name) { return child<QSpinBox>(name)->value(); }
    // What the tab shows of the action and frame, and what the document holds.
    QString page()
    {
        return QString("%1 %2 %3 | %4 %5,%6 %7,%8 t%9 f%10 a%11 %12/%13 L%14 | %15")
            .arg(text("airPos"), child<QLineEdit>("airName")->text()).arg(value("airBA"))
            .arg(text("airFPos")).arg(value("airGrp")).arg(value("airNo")).arg(value("airX")).arg(value("airY"))
            .arg(value("airTime")).arg(child<QComboBox>("airFlip")->currentIndex())
            .arg(child<QComboBox>("airTrans")->currentIndex()).arg(value("airSrc")).arg(value("airDst"))
            .arg(child<QToolButton>("airLoop")->isChecked())
            .arg(QString::number(qHash(w->animationSet().toBytes()), 16));
    }
    void selectAction(int i) { child<QScrollBar>("airSel")->setValue(i); }
    void selectFrame(int i) { child<QScrollBar>("airFSel")->setValue(i); }
    void openCharacter()
    {
        CORPUS_OR_SKIP(sff, "community/chars/Dosu/Dosu.sff");
        CORPUS_OR_SKIP(air, "community/chars/Dosu/Dosu.air");
        run("actionAbrir_2", sff);
        run("actionOpen_2", air);
        QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), int(MainWindow::AirTab));
        takeDialogsSeen();
    }
    void step(const QString& undoText, const std::function<void()>& edit)
    {
        checkOneStep(w, w->animationSet().undoStack(), undoText, [this] { return page(); }, edit);
    }

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
};

void TestMainWindowAir::init()
{
    w = new MainWindow;
    w->resize(1000, 650);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindowAir::cleanup()
{
    setSaveFileCommitForTesting({});
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
    windowfixture::destroyWindow(w);
}

void TestMainWindowAir::browseAndEditFields()
{
    openCharacter();
    QAnimations& set = w->animationSet();
    const int count = set.actionCount();
    QCOMPARE(text("airPos"), QString("1 / %1").arg(count));
    // Every action and frame shows its fields as the document holds them.
    for (int a = 0; a < count; a += 7) {
        selectAction(a);
        for (int f = 0; f < set.frameCount(a); ++f) {
            selectFrame(f);
            const AirFrame* fr = set.frame(a, f);
            QCOMPARE(text("airFPos"), QString("%1 / %2").arg(f + 1).arg(set.frameCount(a)));
            QCOMPARE((QList<int>{value("airGrp"), value("airNo"), value("airX"), value("airY"), value("airTime")}),
                     (QList<int>{fr->group, fr->number, fr->x, fr->y, fr->time}));
            QCOMPARE(renderer()->frameIndex, f);
        }
    }
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR")); // showing is not editing

    selectAction(1);
    selectFrame(1);
    // Each field, typed or chosen, is one step.
    step("Undo Rename action", [this] {
        child<QLineEdit>("airName")->selectAll();
        QTest::keyClicks(child<QLineEdit>("airName"), "Walk");
    });
    step("Undo Change action number", [this] { child<QSpinBox>("airBA")->setValue(4242); });
    step("Undo Change frame group", [this] {
        child<QSpinBox>("airGrp")->selectAll();
        QTest::keyClicks(child<QSpinBox>("airGrp"), "123");
    });
    step("Undo Change frame number", [this] { child<QSpinBox>("airNo")->setValue(7); });
    step("Undo Move frame offset", [this] { child<QSpinBox>("airX")->setValue(-12); });
    step("Undo Move frame offset", [this] {
        QTest::qWait(1600);
        child<QSpinBox>("airY")->setValue(30);
    });
    step("Undo Change frame time", [this] { child<QSpinBox>("airTime")->setValue(-1); });
    step("Undo Change flip", [this] { child<QComboBox>("airFlip")->setCurrentIndex(3); });
    step("Undo Change transparency", [this] { child<QComboBox>("airTrans")->setCurrentIndex(1); });
    QCOMPARE(value("airSrc"), 256); // full addition, not a sprite gone
    step("Undo Change transparency source", [this] { child<QSpinBox>("airSrc")->setValue(100); });
    step("Undo Change transparency destination", [this] { child<QSpinBox>("airDst")->setValue(50); });
    step("Undo Change Loopstart", [this] { child<QToolButton>("airLoop")->click(); });
    // The frame now names a sprite the archive lacks: the view is empty and says so.
    QVERIFY(w->statusBar()->currentMessage().contains("sprite 123,7 not in the SFF"));
    QCOMPARE(renderer()->frameSpriteIndex, -1);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR*"));
    // Back to the file as it was opened: no mark.
    while (w->animationSet().undoStack()->canUndo())
        action("actionUndo")->trigger();
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR"));
}

void TestMainWindowAir::actionsFramesAndBoxes()
{
    openCharacter();
    selectAction(2);
    selectFrame(1);
    const int actions = w->animationSet().actionCount();
    step("Undo New action", [this] { child<QToolButton>("airAdd")->click(); });
    QCOMPARE(text("airPos"), QString("4 / %1").arg(actions + 1));
    QCOMPARE(text("airFPos"), QString("1 / 1"));
    // An action of one frame keeps it: the engine takes no empty action.
    click("airFDel", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().value(0).text,
             QString("You can't delete the first frame because Mugen doesn't support empty animations."));
    step("Undo New frame", [this] { child<QToolButton>("airFAdd")->click(); });
    QCOMPARE(text("airFPos"), QString("2 / 2"));
    click("airFDel", QMessageBox::No);
    QCOMPARE(text("airFPos"), QString("2 / 2"));
    step("Undo Delete frame 2", [this] { click("airFDel", QMessageBox::Yes); });
    click("airDel", QMessageBox::No);
    selectAction(3);
    step(QString("Undo Delete action %1").arg(actions), [this] { click("airDel", QMessageBox::Yes); });
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen[0].title + ": " + seen[0].text, QString("Delete frame: Do you really want to delete the frame?"));
    QCOMPARE(seen[2].title + ": " + seen[2].text, QString("Delete animation: Do you really want to delete the animation"));

    // Box buttons: one of the two drawing buttons at a time, the right
    // button ends drawing, and each box command is one step.
    w->animationSet().parse("[Begin Action 9000]\nClsn1: 1\n Clsn1[0] = 5,-40,25,-20\n0,0, 0,0, 5\n", "more.air");
    w->updateAnimationRange();
    selectAction(w->animationSet().actionCount() - 1);
    child<QToolButton>("airClsn1")->click();
    child<QToolButton>("airClsn2")->click();
    QVERIFY(!child<QToolButton>("airClsn1")->isChecked() && renderer()->createMode && renderer()->createType == 1);
    QWidget* view = child<QRenderWidget>("renderWidget");
    step("Undo Add box", [&] {
        const QPoint at = renderer()->axisScreen + QPoint(20, 10);
        QTest::mousePress(view, Qt::LeftButton, {}, at);
        QTest::mouseMove(view, at + QPoint(12, 9));
        QTest::mouseRelease(view, Qt::LeftButton, {}, at + QPoint(12, 9));
    });
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!child<QToolButton>("airClsn2")->isChecked() && !renderer()->createMode);
    const auto selectBox = [&] { QTest::mouseClick(view, Qt::LeftButton, {}, renderer()->boxes.at(0).screenRect.center()); };
    step("Undo Change box type", [&] {
        selectBox();
        child<QToolButton>("airClsnType")->click();
    });
    step("Undo Change default boxes", [&] {
        selectBox();
        child<QToolButton>("airClsnDef")->click();
    });
    step("Undo Delete boxes", [&] {
        selectBox();
        child<QToolButton>("airDelClsn")->click();
    });
}

void TestMainWindowAir::playback()
{
    openCharacter();
    // An action of three frames, times 5, 10, 5, Loopstart on the second.
    w->animationSet().parse("[Begin Action 7777]\n0,0,0,0,5\nLoopstart\n0,0,0,0,10\n0,0,0,0,5\n"
                            "[Begin Action 7778]\n0,0,0,0,-1\n0,0,0,0,3\n", "play.air");
    w->updateAnimationRange();
    const int played = w->animationSet().actionCount() - 2;
    selectAction(played);
    const QList<const char*> locked{"airAdd", "airBA", "airClsn1", "airClsn2", "airClsnDef", "airClsnType", "airDel",
                                    "airDelClsn", "airDst", "airFAdd", "airFDel", "airFlip", "airGrp", "airLoop",
                                    "airName", "airPlay", "airTime", "airTrans", "airX", "airY"};
    child<QToolButton>("airPlay")->click();
    QVERIFY(action("actionPlay_2")->isChecked() && !action("actionStop_2")->isChecked());
    for (const char* name : locked)
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    QVERIFY(child<QScrollBar>("airSel")->isEnabled() && child<QScrollBar>("airFSel")->isEnabled());
    // The frames as the engine shows them, each for its time on one timeline:
    // 5, 10, 5 ticks, then the loop from the second frame.
    QList<QPair<int, qint64>> changes;
    QElapsedTimer clock;
    clock.start();
    auto watch = connect(child<QScrollBar>("airFSel"), &QScrollBar::valueChanged, this,
                         [&](int f) { changes.append({f, clock.elapsed()}); });
    QTRY_VERIFY_WITH_TIMEOUT(changes.size() >= 6, 3000);
    disconnect(watch);
    QStringList frames;
    for (const auto& c : changes.mid(0, 6))
        frames << QString::number(c.first);
    QCOMPARE(frames.join(' '), QString("1 2 1 2 1 2"));
    // The sixth change is due 5 + 10 + 5 + 10 + 5 + 10 = 45 ticks (750 ms)
    // after Play; a timer may come late, but never early, and lateness does
    // not add up.
    QVERIFY2(changes[5].second >= 740 && changes[5].second < 1100, qPrintable(QString::number(changes[5].second)));
    saveSnapshot(w, "air-tab-playing");
    // Stop: every widget as the frame allows; text mode stops too.
    child<QToolButton>("airStop")->click();
    for (const char* name : locked)
        QVERIFY2(child<QWidget>(name)->isEnabled() || QString(name) == "airSrc" || QString(name) == "airDst", name);
    child<QToolButton>("airPlay")->click();
    action("actionText_mode")->trigger();
    QVERIFY(action("actionStop_2")->isChecked() && child<QWidget>("airGrp")->isEnabled());
    // A frame shown for ever: shown, and play never starts.
    selectAction(played + 1);
    child<QToolButton>("airPlay")->click();
    QVERIFY(action("actionStop_2")->isChecked());
    QCOMPARE(child<QScrollBar>("airFSel")->value(), 0);
    QTest::qWait(100);
    QCOMPARE(child<QScrollBar>("airFSel")->value(), 0);
}

void TestMainWindowAir::filesAndGif()
{
    // Nothing to save yet.
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    run("actionSave", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().value(0).text, QString("You can't save an empty AIR because Mugen will not open it."));
    run("actionSave_as_GIF", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().value(0).text, QString("You can't save an empty animation as GIF."));

    openCharacter();
    child<QSpinBox>("airTime")->setValue(9);
    // The disk refuses the last step of the save: told, marked, the file whole.
    CORPUS_OR_SKIP(air, "community/chars/Dosu/Dosu.air");
    const QString copy = tmp.filePath("dosu.air");
    QFile::copy(air, copy);
    setSaveFileCommitForTesting([](QSaveFile& f) {
        f.cancelWriting();
        return false;
    });
    answerFileDialog(copy);
    run("actionSave_As_2", QMessageBox::Ok);
    auto seen = takeDialogsSeen();
    QCOMPARE(seen.last().title, QString("Save AIR"));
    QCOMPARE(readFile(copy), readFile(air));
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR*"));
    setSaveFileCommitForTesting({});
    run("actionSave_As_2", copy);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR"));
    QAnimations back(nullptr);
    QVERIFY(back.load(copy));
    QCOMPARE(back.toBytes(), w->animationSet().toBytes());
    QCOMPARE(back.frame(0, 0)->time, 9);

    // Save as GIF of the action shown; a folder that is not there is told.
    selectAction(0);
    const QString gif = tmp.filePath("stand.gif");
    run("actionSave_as_GIF", gif);
    QImageReader reader(gif);
    QCOMPARE(reader.imageCount(), w->animationSet().frameCount(0));
    answerFileDialog(tmp.filePath("no/such/dir/x.gif"));
    run("actionSave_as_GIF", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().last().title, QString("Save GIF"));

    // New asks first when there is unsaved work; Cancel keeps it.
    child<QSpinBox>("airTime")->setValue(11);
    run("actionNew", QMessageBox::Cancel);
    QVERIFY(w->animationSet().actionCount() > 0);
    run("actionNew", QMessageBox::Discard);
    QCOMPARE(text("airPos"), QString("0 / 0"));
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR"));
    // Open again and look at a frame with boxes.
    run("actionOpen_2", copy);
    selectAction(1);
    for (const char* a : {"actionAttack_CLSN", "actionColision_CLSN", "actionDefault_CLSN"})
        if (!action(a)->isChecked())
            action(a)->trigger();
    QCoreApplication::processEvents();
    saveSnapshot(w, "air-tab-dosu");
    takeDialogsSeen();
}

QTEST_MAIN(TestMainWindowAir)
#include "tst_mainwindow_air.moc"

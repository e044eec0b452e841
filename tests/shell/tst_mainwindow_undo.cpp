// Undo and redo through the real window: every command and mouse gesture
// that changes a document is exactly one step, the page and the view show the
// document after each step and after taking it back, bursts of typing are one
// step, the marks follow the saved state, the History page, and saves whose
// last step fails.
#include "../sounds/sndbuilder.h"
#include "../sprites/spritetestdata.h"
#include "actfile.h"
#include "mainwindow.h"
#include "qpalettewidget.h"
#include "qrgbpalette.h"
#include "qrenderwidget.h"
#include "savefile.h"
#include "testsupport.h"
#include "undostep.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

using spritetest::greyRamp;

class TestMainWindowUndo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void spritePageEdits();
    void palettePageEdits();
    void soundPageEdits();
    void viewGestures();
    void historyPageAndSavedState();
    void failedSavesKeepTheMark();

private:
    template <class T> T* child(const char* name) { return windowfixture::childOf<T>(w, name); }
    QAction* action(const char* name) { return child<QAction>(name); }
    QRenderWidget* view() { return child<QRenderWidget>("renderWidget"); }
    QSprRender* renderer() { return static_cast<QSprRender*>(view()->renderer); }
    QString path(const QString& name) const { return tmp.filePath(name); }
    QString hash(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().left(8); }
    QString shot()
    {
        const QImage image = view()->grab().toImage();
        return hash(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    int value(const char* name) { return child<QSpinBox>(name)->value(); }
    // What the SFF and ACT pages and the view show.
    QString spritePage()
    {
        return QString("%1 %2,%3 %4,%5 %6 %7 %8 | %9 %10,%11 %12 | %13")
            .arg(text("sprPos")).arg(value("sprGrp")).arg(value("sprImg")).arg(value("sprX")).arg(value("sprY"))
            .arg(child<QCheckBox>("sprDeLoad")->isChecked()).arg(text("sprLnk"), text("sprSize"), text("actPos"))
            .arg(value("actGrp")).arg(value("actNum")).arg(hash(w->findChild<QPaletteWidget*>()->palette()->getAll()))
            .arg(shot());
    }
    QString soundPage()
    {
        return QString("%1 %2,%3 %4").arg(text("sndPos")).arg(value("sndGrp")).arg(value("sndNum")).arg(text("sndInfo"));
    }
    void oneStep(QUndoStack* stack, const QString& undoText, const std::function<QString()>& page,
                 const std::function<void()>& edit)
    {
        checkOneStep(w, stack, undoText, page, edit);
    }
    void run(const char* name, const QString& file) { answerFileDialog(file); action(name)->trigger(); }
    void run(const char* name, QMessageBox::StandardButton b) { answerMessageBox(b); action(name)->trigger(); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view(), (from + to) / 2);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, to);
    }

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
    QString tenSprites;
};

void TestMainWindowUndo::initTestCase()
{
    QVERIFY(windowfixture::installShippedConfig());
    QSprites ten(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    spritetest::fillTenSprites(ten);
    tenSprites = path("ten.sff");
    QVERIFY(ten.save(tenSprites, true));
}

void TestMainWindowUndo::init()
{
    w = new MainWindow;
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    takeDialogsSeen();
}

void TestMainWindowUndo::cleanup()
{
    setSaveFileCommitForTesting({});
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
    windowfixture::destroyWindow(w);
}

void TestMainWindowUndo::spritePageEdits()
{
    run("actionAbrir_2", tenSprites);
    QUndoStack* stack = w->spriteArchive().undoStack();
    QVERIFY(!action("actionUndo")->isEnabled() && stack->count() == 0); // a file opened has no history
    child<QScrollBar>("sprSel")->setValue(4);
    const auto page = [this] { return spritePage(); };

    // Typed into a box: "123" is one step, and so is a burst of the wheel.
    oneStep(stack, "Undo Change group", page, [this] {
        child<QSpinBox>("sprGrp")->selectAll();
        QTest::keyClicks(child<QSpinBox>("sprGrp"), "123");
    });
    oneStep(stack, "Undo Change number", page, [this] {
        for (int k = 0; k < 3; ++k)
            QTest::keyClick(child<QSpinBox>("sprImg"), Qt::Key_Up);
    });
    oneStep(stack, "Undo Move axis", page, [this] { child<QSpinBox>("sprX")->setValue(-17); });
    oneStep(stack, "Undo Move axis", page, [this] {
        QTest::qWait(1600); // another burst of the same field
        child<QSpinBox>("sprY")->setValue(33);
    });
    oneStep(stack, "Undo Change decompress flag", page, [this] { child<QCheckBox>("sprDeLoad")->click(); });
    // Ctrl+Z and Ctrl+Y in a box are the window's Undo and Redo: the box's
    // line edit lets the shortcut through instead of taking back its digits.
    QLineEdit* digits = child<QSpinBox>("sprGrp")->findChild<QLineEdit*>();
    for (const QKeySequence& keys : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll}) {
        QKeyEvent override(QEvent::ShortcutOverride, keys[0].key(), keys[0].keyboardModifiers());
        override.ignore();
        QApplication::sendEvent(digits, &override);
        QVERIFY2(override.isAccepted() == (keys == QKeySequence::SelectAll), qPrintable(keys.toString()));
    }
    QVERIFY(action("actionUndo")->shortcuts().contains(QKeySequence("Ctrl+Z")));
    QVERIFY(action("actionRedo")->shortcuts().contains(QKeySequence("Ctrl+Y")));
    QVERIFY(action("actionRedo")->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));

    // Dragging the sprite in the view moves its axis: one step for the drag.
    oneStep(stack, "Undo Move axis", page, [this] {
        const QPoint p = renderer()->spriteRect.center();
        drag(p, p + QPoint(6, -4));
    });

    const QString png = path("import.png");
    QVERIFY(spritetest::indexed(33, 21, 5, greyRamp(40)).save(png));
    oneStep(stack, "Undo New sprite", page, [&] { run("actionNovo_sprite", png); });
    child<QScrollBar>("sprSel")->setValue(4);
    oneStep(stack, "Undo Change image 123,4", page, [&] { run("actionTrocar_imagem", png); });
    oneStep(stack, "Undo Link sprite 123,4", page, [this] {
        answerDialog(true);
        action("actionDuplicar_sprite")->trigger();
    });
    child<QScrollBar>("sprSel")->setValue(4);
    oneStep(stack, "Undo Duplicate sprite 123,4", page, [this] {
        answerDialog(true, [](QWidget* d) { d->findChild<QRadioButton*>("duplCopy")->setChecked(true); });
        action("actionDuplicar_sprite")->trigger();
    });
    // Deleting the sprite others link to: undo brings back the links as well.
    child<QScrollBar>("sprSel")->setValue(2);
    oneStep(stack, "Undo Delete sprite 5,1", page, [this] { run("actionExcluir_sprite", QMessageBox::Yes); });
    takeDialogsSeen();
    // Questions answered No change nothing.
    const int steps = stack->count();
    run("actionExcluir_sprite", QMessageBox::No);
    QCOMPARE(stack->count(), steps);
    QCOMPARE(takeDialogsSeen().size(), 1);
}

void TestMainWindowUndo::palettePageEdits()
{
    CORPUS_OR_SKIP(green, "palettes/green.act");
    run("actionAbrir_2", tenSprites);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::ActTab);
    child<QScrollBar>("sprSel")->setValue(6); // palette 1 shown
    QUndoStack* stack = w->spriteArchive().undoStack();
    const auto page = [this] { return spritePage(); };
    QPaletteWidget* grid = w->findChild<QPaletteWidget*>();
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(10).center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, grid->cellRect(14).center());

    oneStep(stack, "Undo Change palette group", page, [this] {
        child<QSpinBox>("actGrp")->selectAll();
        QTest::keyClicks(child<QSpinBox>("actGrp"), "77");
    });
    oneStep(stack, "Undo Change palette number", page, [this] { child<QSpinBox>("actNum")->setValue(9); });
    oneStep(stack, "Undo Colour effect Fire", page, [this] { child<QComboBox>("comboBox")->setCurrentIndex(10); });
    oneStep(stack, "Undo Reverse colours", page, [this] { child<QToolButton>("actTroca")->click(); });
    oneStep(stack, "Undo Set colour", page, [this] {
        answerDialog(true, [](QWidget* d) { static_cast<QColorDialog*>(d)->setCurrentColor(QColor(1, 2, 3)); });
        child<QToolButton>("actCor")->click();
    });
    oneStep(stack, "Undo Load palette", page, [&] { run("actionOpen_palette", green); });
    const QString act = path("other.act");
    QVERIFY(writeActFile(act, spritetest::colours(9)));
    oneStep(stack, "Undo New palette", page, [&] { run("actionNew_palette", act); });
    oneStep(stack, "Undo Duplicate palette", page, [this] { action("actionDuplicate_palette")->trigger(); });
    oneStep(stack, "Undo Delete palette", page, [this] { run("actionDelete_palette", QMessageBox::Yes); });
    oneStep(stack, "Undo Delete all palettes", page, [this] { run("actionRemover_tudo", QMessageBox::Yes); });
    takeDialogsSeen();

    // The remap table: each row added, changed or deleted is a step; the
    // archive stays saved, as the table is never written.
    const int saved = stack->count();
    stack->setClean();
    auto* table = child<QTableView>("palrmTable");
    const auto rows = [table] {
        QStringList r;
        for (int i = 0; i < table->model()->rowCount(); ++i)
            r << table->model()->index(i, 3).data().toString();
        return r.join(',') + '|' + QString::number(table->model()->rowCount());
    };
    oneStep(stack, "Undo Add remap row", rows, [this] { child<QToolButton>("palrmAdd")->click(); });
    oneStep(stack, "Undo Change remap row", rows, [table] { table->model()->setData(table->model()->index(0, 3), 2); });
    oneStep(stack, "Undo Delete remap row", rows, [this, table] {
        table->selectRow(0);
        child<QToolButton>("palrmDel")->click();
    });
    QCOMPARE(stack->count(), saved + 3);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::ActTab), QString("ACT"));
}

void TestMainWindowUndo::soundPageEdits()
{
    using namespace sndbuilder;
    const QString snd = writeFile(path("two.snd"), sndbuilder::snd({{1, 0, wav(100)}, {2, 5, wav(300, 22050)}}));
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    run("actionOpen_3", snd);
    QUndoStack* stack = w->soundArchive().undoStack();
    const auto page = [this] { return soundPage(); };
    const QString other = writeFile(path("other.wav"), wav(8000, 8000));
    oneStep(stack, "Undo Change sound group", page, [this] {
        child<QSpinBox>("sndGrp")->selectAll();
        QTest::keyClicks(child<QSpinBox>("sndGrp"), "42");
    });
    oneStep(stack, "Undo Change sound number", page, [this] { child<QSpinBox>("sndNum")->setValue(3); });
    oneStep(stack, "Undo New sound", page, [&] { run("actionNew_sound", other); });
    child<QScrollBar>("sndSel")->setValue(0);
    oneStep(stack, "Undo Change sound 42,3", page, [&] { run("actionChange_sound", other); });
    oneStep(stack, "Undo Duplicate sound 42,3", page, [this] { action("actionDuplicate_sound")->trigger(); });
    child<QScrollBar>("sndSel")->setValue(3);
    oneStep(stack, "Undo Delete sound 2,5", page, [this] { run("actionDelete_sound", QMessageBox::Yes); });
    takeDialogsSeen();
    // Undo and Redo act on the page shown: the sprite archive has nothing to
    // take back, and the SND page's steps wait for their page.
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    QVERIFY(!action("actionUndo")->isEnabled());
    QCOMPARE(action("actionUndo")->text(), QString("Undo"));
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    QCOMPARE(action("actionUndo")->text(), QString("Undo Delete sound 2,5"));
}

void TestMainWindowUndo::viewGestures()
{
    QSprites& s = w->spriteArchive();
    s.addSprite();
    s.setImage(0, spritetest::indexed(40, 60, 1, greyRamp(0)));
    w->animationSet().parse("[Begin Action 7]\nClsn2Default: 1\n Clsn2[0] = -30,-50,-10,-30\n"
                            "Clsn1: 1\n Clsn1[0] = 5,-40,25,-20\n0,0, 3,4, 5\n0,0, 0,0, 5\n", "t.air");
    w->updateAnimationRange();
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    QSprRender* r = renderer();
    QUndoStack* stack = w->animationSet().undoStack();
    // The boxes as the view shows them, from the document.
    const auto page = [this, r] {
        QStringList out;
        for (const ClsnBox& b : r->boxes)
            out << QString("%1%2 %3,%4,%5,%6").arg(b.isDefault ? "d" : "").arg(b.type + 1).arg(b.rect.x1).arg(b.rect.y1)
                       .arg(b.rect.x2).arg(b.rect.y2);
        const AirFrame* f = w->animationSet().frame(0, 0);
        return out.join("; ") + QString(" offset %1,%2 ").arg(f->x).arg(f->y) + w->animationSet().actionText(0).simplified();
    };
    const auto box = [r](int type, bool isDefault) {
        for (const ClsnBox& b : r->boxes)
            if (b.type == type && b.isDefault == isDefault)
                return b.screenRect;
        return QRect();
    };
    oneStep(stack, "Undo Move boxes", page, [&] { drag(box(0, false).center(), box(0, false).center() + QPoint(5, 3)); });
    oneStep(stack, "Undo Resize boxes", page, [&] {
        QTest::mouseClick(view(), Qt::LeftButton, {}, box(0, false).center());
        drag(r->handles[7], r->handles[7] + QPoint(4, 6));
    });
    oneStep(stack, "Undo Add box", page, [&] {
        r->setCreateMode(true, 1);
        drag(r->axisScreen + QPoint(30, 10), r->axisScreen + QPoint(45, 20));
        r->setCreateMode(false, 0);
    });
    oneStep(stack, "Undo Change box type", page, [&] {
        QTest::mouseClick(view(), Qt::LeftButton, {}, box(0, false).center());
        r->toggleTypeOfSelected();
    });
    oneStep(stack, "Undo Change default boxes", page, [&] {
        QTest::mouseClick(view(), Qt::LeftButton, {}, box(1, true).center());
        r->toggleDefaultOfSelected();
    });
    oneStep(stack, "Undo Delete boxes", page, [&] {
        QTest::mouseClick(view(), Qt::LeftButton, {}, box(1, false).center());
        r->deleteSelectedBoxes();
    });
    oneStep(stack, "Undo Move frame offset", page, [&] {
        const QPoint o = r->offsetMarkerRect.center();
        drag(o, o + QPoint(-3, 5));
    });
    // A click moves nothing and is no step.
    const int steps = stack->count();
    QTest::mouseClick(view(), Qt::LeftButton, {}, box(1, false).center());
    QCOMPARE(stack->count(), steps);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR*"));
}

void TestMainWindowUndo::historyPageAndSavedState()
{
    run("actionAbrir_2", tenSprites);
    for (int v : {50, 51, 52}) {
        QTest::qWait(1600);
        child<QSpinBox>("sprX")->setValue(v);
    }
    QUndoStack* stack = w->spriteArchive().undoStack();
    QCOMPARE(stack->count(), 3);
    // The History page lists the shown page's steps under the saved state.
    auto* history = child<QUndoView>("historyView");
    child<QTabWidget>("utilTabs")->setCurrentWidget(child<QWidget>("historyTab"));
    QCoreApplication::processEvents();
    QCOMPARE(history->model()->rowCount(), 4);
    QCOMPARE(history->model()->index(2, 0).data().toString(), QString("Move axis"));
    saveSnapshot(w, "history-page");
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::SffTab), QString("SFF*"));
    takeDialogsSeen();
    // A click on the first row goes back to the file as it was opened: no
    // mark, nothing to ask when the window closes.
    history->setCurrentIndex(history->model()->index(0, 0));
    QCOMPARE(value("sprX"), 0);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::SffTab), QString("SFF"));
    QVERIFY(w->close());
    QVERIFY(takeDialogsSeen().isEmpty());
    w->show();
    // Back to the last step: unsaved again; the page asks before discarding.
    history->setCurrentIndex(history->model()->index(3, 0));
    QCOMPARE(value("sprX"), 52);
    run("actionNovo_2", QMessageBox::No);
    QCOMPARE(takeDialogsSeen().size(), 1);
    QCOMPARE(value("sprX"), 52);
}

void TestMainWindowUndo::failedSavesKeepTheMark()
{
    // The last step of every save fails, as on a full disk: each page says
    // so, keeps its mark, and the old file is whole.
    const QString kept = path("kept.sff");
    QFile::copy(tenSprites, kept);
    run("actionAbrir_2", kept);
    child<QSpinBox>("sprX")->setValue(99);
    const QString snd = writeFile(path("kept.snd"), sndbuilder::snd({{1, 0, sndbuilder::wav(100)}}));
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    run("actionOpen_3", snd);
    child<QSpinBox>("sndGrp")->setValue(7);
    const QByteArray sffBytes = readFile(kept), sndBytes = readFile(snd);
    takeDialogsSeen();

    setSaveFileCommitForTesting([](QSaveFile& f) {
        f.cancelWriting();
        return false;
    });
    for (const auto& [save, title, tab] : {std::tuple{"actionSalvar_2", "Save SFF", int(MainWindow::SffTab)},
                                           {"actionSave_3", "Save SND", int(MainWindow::SndTab)}}) {
        run(save, QMessageBox::Ok);
        QList<DialogSeen> warnings = takeDialogsSeen();
        warnings.removeIf([](const DialogSeen& d) { return d.className != "QMessageBox"; });
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings[0].title, QString(title));
        QVERIFY(child<QTabWidget>("tabs")->tabText(tab).endsWith('*'));
    }
    QCOMPARE(readFile(kept), sffBytes);
    QCOMPARE(readFile(snd), sndBytes);
    // The disk is back: Save writes the same files, without asking for a name.
    setSaveFileCommitForTesting({});
    action("actionSalvar_2")->trigger();
    action("actionSave_3")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QVERIFY(readFile(kept) != sffBytes && readFile(snd) != sndBytes);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::SffTab), QString("SFF"));
}

QTEST_MAIN(TestMainWindowUndo)
#include "tst_mainwindow_undo.moc"

// The view in the main window: where it sits, its background from the
// settings, the box view actions, what each page shows, mouse edits reaching
// the window, and the palette remap table of the utilities pane.
#include "../shell/windowfixture.h"
#include "mainwindow.h"
#include "qrenderwidget.h"
#include "renderview.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

class TestMainWindowRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();

    void viewSitsInTheMiddleColumn();
    void boxViewActions();
    void pagesChooseWhatTheViewShows();
    void axisDragUpdatesTheFields();
    void boxEditsReachTheWindow();
    void remapTable();
    void snapshot();

private:
    template <class T> T* child(const char* name)
    {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    QSprRender* renderer() { return static_cast<QSprRender*>(view()->renderer); }
    QRenderWidget* view() { return child<QRenderWidget>("renderWidget"); }
    void showTab(int tab) { child<QTabWidget>("tabs")->setCurrentIndex(tab); }
    QString tabText(int tab) { return child<QTabWidget>("tabs")->tabText(tab); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, to);
    }
    // A 20 x 30 sprite (group 0, number 0, axis 10, 30) of colour 7 in the
    // window's archive.
    void addSprite()
    {
        renderview::addSprite(*renderer()->sprites, 0, 0, 10, 30,
                              renderview::indexedImage(20, 30, [](int, int) { return 7; }));
        w->updateSpriteRange();
        w->updatePaletteRange();
    }
    void loadAir(const QByteArray& text)
    {
        renderer()->animations->parse(text, "t.air");
        w->updateAnimationRange();
    }

    MainWindow* w = nullptr;
};

void TestMainWindowRender::init()
{
    w = new MainWindow;
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestMainWindowRender::cleanup()
{
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

void TestMainWindowRender::viewSitsInTheMiddleColumn()
{
    QVERIFY(child<QVBoxLayout>("verticalLayout")->indexOf(view()) >= 0);
    QVERIFY(view()->isVisible());
    QVERIFY(view()->width() > 200 && view()->height() > 200);
    QVERIFY(view()->geometry().left() >= child<QWidget>("tabs")->geometry().right());
    QVERIFY(view()->geometry().right() <= child<QWidget>("utilTabs")->geometry().left());
    QCOMPARE(renderer()->axisScreen, QPoint(view()->width() / 2, view()->height() / 2));
    // The shipped settings: 200,200,200 at the top, 128,128,128 at the bottom.
    QCOMPARE(renderer()->backgroundTop, QColor(200, 200, 200));
    QCOMPARE(renderer()->backgroundBottom, QColor(128, 128, 128));
}

void TestMainWindowRender::boxViewActions()
{
    showTab(MainWindow::AirTab);
    QVERIFY(renderer()->showClsn1 && renderer()->showClsn2 && renderer()->showDefaultClsn);
    child<QAction>("actionColision_CLSN")->trigger();
    child<QAction>("actionDefault_CLSN")->trigger();
    QVERIFY(renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
    // The SFF page shows no boxes; back on the AIR page the actions apply again.
    showTab(MainWindow::SffTab);
    QVERIFY(!renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
    showTab(MainWindow::AirTab);
    QVERIFY(renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
}

void TestMainWindowRender::pagesChooseWhatTheViewShows()
{
    addSprite();
    loadAir("[Begin Action 7]\nClsn2: 1\n Clsn2[0] = -5,-5,5,5\n0,0, 3,4, 5\n");
    showTab(MainWindow::AirTab);
    QCOMPARE(renderer()->mode, AnimationMode);
    QCOMPARE(renderer()->actionNumber, 7);
    QCOMPARE(renderer()->frameSpriteIndex, 0);
    QCOMPARE(renderer()->boxes.size(), 1);
    showTab(MainWindow::SndTab);
    QCOMPARE(renderer()->mode, SpriteMode);
    QVERIFY(view()->isVisible());
    showTab(MainWindow::CodeTab);
    QVERIFY(!view()->isVisible());
    showTab(MainWindow::ActTab);
    QVERIFY(view()->isVisible());
    QCOMPARE(renderer()->mode, SpriteMode);
}

void TestMainWindowRender::axisDragUpdatesTheFields()
{
    addSprite();
    showTab(MainWindow::ActTab);
    showTab(MainWindow::SffTab);
    const QPoint p = renderer()->spriteRect.topLeft() + QPoint(3, 3);
    drag(p, p + QPoint(4, -2));
    QCOMPARE(child<QSpinBox>("sprX")->value(), 6);
    QCOMPARE(child<QSpinBox>("sprY")->value(), 32);
    QCOMPARE(tabText(MainWindow::SffTab), QString("SFF*"));

    // The frame offset on the AIR page.
    loadAir("[Begin Action 0]\n0,0, 3,4, 5\n");
    showTab(MainWindow::AirTab);
    const QPoint o = renderer()->offsetMarkerRect.center();
    drag(o, o + QPoint(-3, 5));
    QCOMPARE(child<QSpinBox>("airX")->value(), 0);
    QCOMPARE(child<QSpinBox>("airY")->value(), 9);
    QCOMPARE(tabText(MainWindow::AirTab), QString("AIR*"));
}

void TestMainWindowRender::boxEditsReachTheWindow()
{
    loadAir("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = 20,20,60,60\n0,0, 0,0, 5\n");
    showTab(MainWindow::AirTab);
    const QPoint p = renderer()->boxes.at(0).screenRect.center();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, p);
    QCOMPARE(tabText(MainWindow::AirTab), QString("AIR")); // a click changes nothing
    drag(p, p + QPoint(5, 0));
    QCOMPARE(renderer()->animations->frame(0, 0)->clsn1.at(0), (ClsnRect{25, 20, 65, 60}));
    QCOMPARE(tabText(MainWindow::AirTab), QString("AIR*"));

    // The right button ends box drawing: the Clsn buttons pop out, no box is made.
    child<QToolButton>("airClsn1")->setChecked(true);
    renderer()->setCreateMode(true, 0);
    QTest::mouseClick(view(), Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    QVERIFY(!renderer()->createMode);
    QVERIFY(!child<QToolButton>("airClsn1")->isChecked() && !child<QToolButton>("airClsn2")->isChecked());
    QCOMPARE(renderer()->animations->frame(0, 0)->clsn1.size(), 1);
}

void TestMainWindowRender::remapTable()
{
    addSprite();
    QSprites* s = renderer()->sprites;
    s->setPaletteInfo(0, 1, 1, 256);
    QByteArray red(768, '\0');
    red[7 * 3] = char(255);
    s->addPalette(red, false, 1, 2);
    // The SFF page shows the sprite when it is entered.
    showTab(MainWindow::SndTab);
    showTab(MainWindow::SffTab);
    QCOMPARE(renderer()->paletteIndex, 0);

    auto* table = child<QTableView>("palrmTable");
    QCOMPARE(table->model(), renderer()->remapModel());
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), QString("Dst Grp"));

    child<QToolButton>("palrmAdd")->click();
    QCOMPARE(table->model()->rowCount(), 1);
    // Editing the row repaints through the palette it names.
    table->model()->setData(table->model()->index(0, 3), 2);
    QCOMPARE(renderer()->paletteIndex, 1);
    const QPoint at = renderer()->spriteRect.topLeft() + QPoint(1, 1);
    QCOMPARE(view()->grab().toImage().pixel(at), qRgb(255, 0, 0));

    // Delete without a selection: nothing goes.
    table->clearSelection();
    child<QToolButton>("palrmDel")->click();
    QCOMPARE(table->model()->rowCount(), 1);

    // Delete the selected row: the sprite's own palette again.
    table->selectRow(0);
    child<QToolButton>("palrmDel")->click();
    QCOMPARE(table->model()->rowCount(), 0);
    QCOMPARE(renderer()->paletteIndex, 0);
    QCOMPARE(view()->grab().toImage().pixel(at), renderview::paletteColour(7));
}

void TestMainWindowRender::snapshot()
{
    CORPUS_OR_SKIP(sff, "data/fightfx.sff");
    CORPUS_OR_SKIP(air, "chars/kfm/kfm.air");
    QVERIFY(renderer()->sprites->load(sff));
    QVERIFY(renderer()->animations->load(air));
    w->updateSpriteRange();
    w->updateAnimationRange();
    // KFM's boxes (his own sprites are in a newer archive format), on the AIR page.
    int action = 0;
    while (renderer()->animations->actionInfo(action).number != 200)
        ++action;
    child<QScrollBar>("airSel")->setValue(action);
    showTab(MainWindow::AirTab);
    child<QScrollBar>("airFSel")->setMaximum(2);
    child<QScrollBar>("airFSel")->setValue(2);
    showTab(MainWindow::SffTab);
    showTab(MainWindow::AirTab);
    renderer()->axisScreen = QPoint(view()->width() / 2, view()->height() * 4 / 5);
    renderer()->refresh();
    // Defaults filled, own boxes outlined, the attack box selected with its handles.
    const auto attack = std::find_if(renderer()->boxes.begin(), renderer()->boxes.end(),
                                     [](const ClsnBox& b) { return b.type == 0 && !b.isDefault; });
    QVERIFY(attack != renderer()->boxes.end());
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, attack->screenRect.center());
    QVERIFY(renderer()->selectionActive);
    testsupport::saveSnapshot(w, "mainwindow_air_view");
    showTab(MainWindow::SffTab);
    child<QScrollBar>("sprSel")->setValue(3);
    showTab(MainWindow::ActTab);
    showTab(MainWindow::SffTab);
    testsupport::saveSnapshot(w, "mainwindow_sff_view");
}

QTEST_MAIN(TestMainWindowRender)
#include "tst_mainwindow_render.moc"

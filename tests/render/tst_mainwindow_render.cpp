// The view in the main window: where it sits, its background from the
// settings, the box view actions, what each page shows, mouse edits reaching
// the window, and the palette remap table of the utilities pane.
#include "../shell/windowfixture.h"
#include "mainwindow.h"
#include "qrenderwidget.h"
#include "qsprrender.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

class TestMainWindowRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void viewSitsInTheMiddleColumn();
    void backgroundComesFromTheSettings();
    void boxViewActions();
    void pagesChooseWhatTheViewShows();
    void axisDragUpdatesTheFields();
    void boxEditsMarkTheAnimations();
    void rightClickEndsBoxDrawing();
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
    // A 20 x 30 sprite (group 0, number 0, axis 10, 30) in the window's archive.
    void addSprite();
    void loadAir(const QByteArray& text);

    MainWindow* w = nullptr;
};

void TestMainWindowRender::initTestCase()
{
    QVERIFY(windowfixture::installShippedConfig());
}

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

void TestMainWindowRender::addSprite()
{
    QSprites* s = renderer()->sprites;
    QImage img(20, 30, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, 0, 255 - i);
    img.setColorTable(table);
    img.fill(7);
    s->addSprite();
    s->setImage(s->spriteCount() - 1, img);
    SpriteInfo info = s->spriteInfo(0);
    info.axisX = 10;
    info.axisY = 30;
    s->setSpriteInfo(0, info);
    w->updateSpriteRange();
    w->updatePaletteRange();
}

void TestMainWindowRender::loadAir(const QByteArray& text)
{
    renderer()->animations->parse(text, "t.air");
    w->updateAnimationRange();
}

void TestMainWindowRender::viewSitsInTheMiddleColumn()
{
    auto* column = child<QVBoxLayout>("verticalLayout");
    QVERIFY(column->indexOf(view()) >= 0);
    QCOMPARE(view()->parentWidget(), child<QWidget>("centralWidget"));
    QVERIFY(view()->isVisible());
    QVERIFY(view()->width() > 200 && view()->height() > 200);
    const QRect tabs = child<QWidget>("tabs")->geometry();
    const QRect util = child<QWidget>("utilTabs")->geometry();
    QVERIFY(view()->geometry().left() >= tabs.right());
    QVERIFY(view()->geometry().right() <= util.left());
    // The axis sits in the middle of the view.
    QCOMPARE(renderer()->axisScreen, QPoint(view()->width() / 2, view()->height() / 2));
}

void TestMainWindowRender::backgroundComesFromTheSettings()
{
    // The shipped settings: 200,200,200 at the top, 128,128,128 at the bottom.
    QCOMPARE(renderer()->backgroundTop, QColor(200, 200, 200));
    QCOMPARE(renderer()->backgroundBottom, QColor(128, 128, 128));
    const QImage shot = view()->grab().toImage();
    QVERIFY(qAbs(shot.pixelColor(2, 0).red() - 200) <= 1);
    QVERIFY(qAbs(shot.pixelColor(2, shot.height() - 1).red() - 128) <= 1);
}

void TestMainWindowRender::boxViewActions()
{
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    QVERIFY(renderer()->showClsn1 && renderer()->showClsn2 && renderer()->showDefaultClsn);
    child<QAction>("actionColision_CLSN")->trigger();
    QVERIFY(renderer()->showClsn1);
    QVERIFY(!renderer()->showClsn2);
    QVERIFY(renderer()->showDefaultClsn);
    child<QAction>("actionDefault_CLSN")->trigger();
    QVERIFY(!renderer()->showDefaultClsn);
    // The SFF page shows no boxes; back on the AIR page the actions apply again.
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    QVERIFY(!renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    QVERIFY(renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
}

void TestMainWindowRender::pagesChooseWhatTheViewShows()
{
    addSprite();
    loadAir("[Begin Action 7]\nClsn2: 1\n Clsn2[0] = -5,-5,5,5\n0,0, 3,4, 5\n");
    auto* tabs = child<QTabWidget>("tabs");
    tabs->setCurrentIndex(MainWindow::AirTab);
    QCOMPARE(renderer()->mode, AnimationMode);
    QCOMPARE(renderer()->actionNumber, 7);
    QVERIFY(renderer()->frame);
    QCOMPARE(renderer()->frameSpriteIndex, 0);
    QCOMPARE(renderer()->boxes.size(), 1);
    tabs->setCurrentIndex(MainWindow::SndTab);
    QCOMPARE(renderer()->mode, SpriteMode);
    QCOMPARE(renderer()->currentIndex, 0);
    QVERIFY(view()->isVisible());
    tabs->setCurrentIndex(MainWindow::CodeTab);
    QVERIFY(!view()->isVisible());
    tabs->setCurrentIndex(MainWindow::ActTab);
    QVERIFY(view()->isVisible());
    QCOMPARE(renderer()->mode, SpriteMode);
}

void TestMainWindowRender::axisDragUpdatesTheFields()
{
    addSprite();
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::ActTab);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    const QPoint p = renderer()->spriteRect.topLeft() + QPoint(3, 3);
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(view(), p + QPoint(4, -2));
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, p + QPoint(4, -2));
    QCOMPARE(renderer()->sprites->spriteInfo(0).axisX, qint16(6));
    QCOMPARE(renderer()->sprites->spriteInfo(0).axisY, qint16(32));
    QCOMPARE(child<QSpinBox>("sprX")->value(), 6);
    QCOMPARE(child<QSpinBox>("sprY")->value(), 32);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::SffTab), QString("SFF*"));

    // The frame offset on the AIR page.
    loadAir("[Begin Action 0]\n0,0, 3,4, 5\n");
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    const QPoint o = renderer()->offsetMarkerRect.center();
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, o);
    QTest::mouseMove(view(), o + QPoint(-3, 5));
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, o + QPoint(-3, 5));
    QCOMPARE(child<QSpinBox>("airX")->value(), 0);
    QCOMPARE(child<QSpinBox>("airY")->value(), 9);
    QCOMPARE(renderer()->animations->frame(0, 0)->x, 0);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR*"));
}

void TestMainWindowRender::boxEditsMarkTheAnimations()
{
    loadAir("[Begin Action 0]\nClsn1: 1\n Clsn1[0] = 20,20,60,60\n0,0, 0,0, 5\n");
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    const QPoint p = renderer()->boxes.at(0).screenRect.center();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, p);
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR")); // a click changes nothing
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(view(), p + QPoint(5, 0));
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, p + QPoint(5, 0));
    QCOMPARE(renderer()->animations->frame(0, 0)->clsn1.at(0), (ClsnRect{25, 20, 65, 60}));
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QString("AIR*"));
}

void TestMainWindowRender::rightClickEndsBoxDrawing()
{
    loadAir("[Begin Action 0]\n0,0, 0,0, 5\n");
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    auto* clsn1 = child<QToolButton>("airClsn1");
    clsn1->setChecked(true);
    renderer()->setCreateMode(true, 0);
    QTest::mouseClick(view(), Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    QVERIFY(!renderer()->createMode);
    QVERIFY(!clsn1->isChecked());
    QVERIFY(!child<QToolButton>("airClsn2")->isChecked());
    QVERIFY(renderer()->animations->frame(0, 0)->clsn1.isEmpty());
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
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
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
    QCOMPARE(renderer()->paletteIndex, 1);

    // Delete the selected row: the sprite's own palette again.
    table->selectRow(0);
    child<QToolButton>("palrmDel")->click();
    QCOMPARE(table->model()->rowCount(), 0);
    QCOMPARE(renderer()->paletteIndex, 0);
    QCOMPARE(view()->grab().toImage().pixel(at), qRgb(7, 0, 248));
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
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    child<QScrollBar>("airFSel")->setMaximum(2);
    child<QScrollBar>("airFSel")->setValue(2);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::AirTab);
    renderer()->axisScreen = QPoint(view()->width() / 2, view()->height() * 4 / 5);
    renderer()->refresh();
    QVERIFY(renderer()->boxes.size() >= 3);
    QTest::qWait(20);
    testsupport::saveSnapshot(w, "mainwindow_air_view");
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    child<QScrollBar>("sprSel")->setValue(3);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::ActTab);
    child<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SffTab);
    QTest::qWait(20);
    testsupport::saveSnapshot(w, "mainwindow_sff_view");
}

QTEST_MAIN(TestMainWindowRender)
#include "tst_mainwindow_render.moc"

// The view in the main window: what each page shows, mouse edits reaching the
// window's fields and marks, and the palette remap table of the utilities pane.
#include "../shell/windowfixture.h"
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
    void cleanup() { windowfixture::destroyWindow(w); }
    void viewInTheWindow();

private:
    template <class T> T* child(const char* name) { return w->findChild<T*>(QString::fromLatin1(name)); }
    QRenderWidget* view() { return child<QRenderWidget>("renderWidget"); }
    QSprRender* renderer() { return static_cast<QSprRender*>(view()->renderer); }
    void showTab(int tab) { child<QTabWidget>("tabs")->setCurrentIndex(tab); }
    QString tabText(int tab) { return child<QTabWidget>("tabs")->tabText(tab); }
    QRgb pixel(QPoint offset) { return view()->grab().toImage().pixel(renderer()->spriteRect.topLeft() + offset); }
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(view(), b, Qt::NoModifier, from);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), b, Qt::NoModifier, to);
    }

    MainWindow* w = nullptr;
};

void TestMainWindowRender::viewInTheWindow()
{
    w = new MainWindow;
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // A 20 x 30 sprite (axis 10, 30) of colour 7, palette 1,1, a second palette
    // 1,2 where colour 7 is red, and an action with a box.
    QSprites* s = &w->spriteArchive();
    renderview::addSprite(*s, 10, 30, renderview::indexedImage(20, 30, [](int, int) { return 7; }));
    s->setPaletteInfo(0, 1, 1, 256);
    s->addPalette(QByteArray(21, '\0') + QByteArray(1, char(255)) + QByteArray(746, '\0'), false, 1, 2);
    w->animationSet().parse("[Begin Action 7]\nClsn1: 1\n Clsn1[0] = 20,20,60,60\n0,0, 3,4, 5\n", "t.air");
    w->updateSpriteRange();
    w->updatePaletteRange();
    w->updateAnimationRange();
    // The view shows the shipped settings' background.
    const QImage shot = view()->grab().toImage();
    QCOMPARE(shot.pixel(2, 0), qRgb(200, 200, 200));
    QCOMPARE(qRed(shot.pixel(2, shot.height() - 1)), 128);

    // The SFF page: dragging the sprite moves its axis the other way.
    showTab(MainWindow::ActTab);
    showTab(MainWindow::SffTab);
    QVERIFY(renderer()->mode == QRenderMode::SpriteMode && !renderer()->showClsn1 && !renderer()->showDefaultClsn);
    const QPoint p = renderer()->spriteRect.topLeft() + QPoint(3, 3);
    drag(p, p + QPoint(4, -2));
    QCOMPARE(child<QSpinBox>("sprX")->value(), 6);
    QCOMPARE(child<QSpinBox>("sprY")->value(), 32);
    QCOMPARE(tabText(MainWindow::SffTab), QString("SFF*"));

    // A remap row sending palette 1,1 to 1,2 repaints the sprite at once.
    auto* table = child<QTableView>("palrmTable");
    child<QToolButton>("palrmAdd")->click();
    table->model()->setData(table->model()->index(0, 3), 2);
    QCOMPARE(pixel({1, 1}), qRgb(255, 0, 0));
    // Delete without a selection: nothing goes. With the row selected: the
    // sprite's own palette again.
    for (bool selected : {false, true}) {
        selected ? table->selectRow(0) : table->clearSelection();
        child<QToolButton>("palrmDel")->click();
        QCOMPARE(table->model()->rowCount(), selected ? 0 : 1);
    }
    QCOMPARE(pixel({1, 1}), renderview::paletteColour(7));

    // The AIR page: a click on a box changes nothing, a drag moves it.
    showTab(MainWindow::AirTab);
    QVERIFY(renderer()->mode == QRenderMode::AnimationMode && renderer()->actionNumber == 7);
    const QPoint b = renderer()->boxes.at(0).screenRect.center();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, b);
    QCOMPARE(tabText(MainWindow::AirTab), QString("AIR"));
    drag(b, b + QPoint(5, 0));
    QCOMPARE(renderer()->animations->frame(0, 0)->clsn1.at(0), (ClsnRect{25, 20, 65, 60}));
    QCOMPARE(tabText(MainWindow::AirTab), QString("AIR*"));
    const QPoint o = renderer()->offsetMarkerRect.center();
    drag(o, o + QPoint(-3, 5));
    QCOMPARE(child<QSpinBox>("airX")->value(), 0);
    QCOMPARE(child<QSpinBox>("airY")->value(), 9);
    testsupport::saveSnapshot(w, "mainwindow_air_view");

    // The right button ends box drawing: the Clsn buttons pop out, no box is made.
    child<QToolButton>("airClsn1")->setChecked(true);
    renderer()->setCreateMode(true, 0);
    drag(QPoint(30, 30), QPoint(30, 30), Qt::RightButton);
    QVERIFY(!child<QToolButton>("airClsn1")->isChecked() && !renderer()->createMode);
    QCOMPARE(renderer()->animations->frame(0, 0)->clsn1.size(), 1);

    // The box actions apply on the AIR page; the code page hides the view.
    child<QAction>("actionColision_CLSN")->trigger();
    child<QAction>("actionDefault_CLSN")->trigger();
    QVERIFY(renderer()->showClsn1 && !renderer()->showClsn2 && !renderer()->showDefaultClsn);
    showTab(MainWindow::CodeTab);
    QVERIFY(!view()->isVisible());
    showTab(MainWindow::SndTab);
    QVERIFY(view()->isVisible());

    // The wheel reaches the renderer through the widget.
    QWheelEvent wheel(QPointF(50, 50), view()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    QCOMPARE(int(renderer()->zoomIndex), 4);
}

QTEST_MAIN(TestMainWindowRender)
#include "tst_mainwindow_render.moc"

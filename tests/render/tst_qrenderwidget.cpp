// The drawing surface hands its events to the renderer and shows what it paints.
#include "qrenderwidget.h"
#include "qsprrender.h"
#include "testsupport.h"

#include <QPointer>
#include <QWheelEvent>
#include <QtTest>

class TestRenderWidget : public QObject
{
    Q_OBJECT
private slots:
    void forwardsEventsAndOwnsTheRenderer();
};

void TestRenderWidget::forwardsEventsAndOwnsTheRenderer()
{
    auto* renderer = new QSprRender;
    QPointer<QSprRender> alive(renderer);
    auto* w = new QRenderWidget(renderer);
    QCOMPARE(renderer->widget, w);
    QVERIFY(!w->autoFillBackground());
    renderer->setBackground(QColor(0, 0, 255), QColor(255, 0, 0));
    w->resize(201, 120);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(renderer->viewSize, QSize(201, 120));
    QCOMPARE(renderer->axisScreen, QPoint(100, 60));

    // A drag on empty space pans the view.
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(w, QPoint(30, 25));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
    QCOMPARE(renderer->axisScreen, QPoint(110, 65));

    QWheelEvent wheel(QPointF(50, 50), w->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
    QCOMPARE(int(renderer->zoomIndex), 4);
    QVERIFY(wheel.isAccepted());

    // The background runs from the top colour to the bottom one.
    const QImage shot = w->grab().toImage();
    const QColor top = shot.pixelColor(3, 0);
    const QColor bottom = shot.pixelColor(3, 119);
    QVERIFY(top.blue() > 240 && top.red() < 15);
    QVERIFY(bottom.red() > 240 && bottom.blue() < 15);
    testsupport::saveSnapshot(w, "render_widget_background");

    delete w;
    QVERIFY(alive.isNull());
}

QTEST_MAIN(TestRenderWidget)
#include "tst_qrenderwidget.moc"

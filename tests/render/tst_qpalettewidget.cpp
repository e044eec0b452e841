// The colour grid: selecting cells with the mouse, the snapshots kept before
// each edit, and what the cells look like.
#include "qpalettewidget.h"
#include "qrgbpalette.h"

#include <QSignalSpy>
#include <QtTest>
#include <QtWidgets>

class TestPaletteWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { delete w; }
    void clicks_data();
    void clicks();
    void cellsAsDrawn();

private:
    QPaletteWidget* w = nullptr;
};

void TestPaletteWidget::init()
{
    w = new QPaletteWidget;
    w->resize(200, 250); // room right of and below the cells
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestPaletteWidget::clicks_data()
{
    // Clicks on a cell, or at x,y: ^ with Ctrl, + with Shift, % with Alt,
    // ! with the right button, ~ with the middle one.
    QTest::addColumn<int>("colours");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("ranges"); // multiColorClick() signals
    QTest::newRow("a click replaces the selection") << 256 << "7 9" << QList<int>{9} << 0;
    QTest::newRow("ctrl adds") << 256 << "^3 ^40 ^200" << QList<int>{3, 40, 200} << 0;
    QTest::newRow("shift down to a lower cell") << 256 << "5 +2" << QList<int>{2, 3, 4, 5} << 1;
    QTest::newRow("shift up to a higher cell") << 256 << "5 +8" << QList<int>{5, 6, 7, 8} << 1;
    QTest::newRow("shift on the same cell empties") << 256 << "5 +2 +5" << QList<int>{} << 1;
    QTest::newRow("shift starts from the last selected") << 256 << "3 ^20 +18" << QList<int>{18, 19, 20} << 1;
    QTest::newRow("shift with nothing selected") << 256 << "+12" << QList<int>{12} << 0;
    QTest::newRow("right click deselects, on an unselected cell does nothing") << 256 << "^3 ^4 !3 !5" << QList<int>{4} << 0;
    QTest::newRow("alt, ctrl shift and middle clicks change nothing") << 256 << "3 %4 ^+9 ~4" << QList<int>{3} << 0;
    QTest::newRow("below the last of 32 colours") << 32 << "6 30,40" << QList<int>{6} << 0;
    QTest::newRow("outside the cells") << 256 << "6 195,5 -3,5 5,-3 5,200" << QList<int>{6} << 0;
}

void TestPaletteWidget::clicks()
{
    QFETCH(int, colours);
    QFETCH(QString, clicks);
    QFETCH(QList<int>, selected);
    QFETCH(int, ranges);
    w->setColourCount(quint16(colours));
    QSignalSpy multi(w, &QPaletteWidget::multiColorClick);
    const QByteArray shownColours = w->palette()->getAll();
    for (const QString& c : clicks.split(' ')) {
        const qsizetype n = c.indexOf(QRegularExpression("[-\\d]"));
        const QString marks = c.left(n), at = c.mid(n);
        Qt::KeyboardModifiers mods;
        for (const auto& [mark, mod] : {std::pair{'^', Qt::ControlModifier}, {'+', Qt::ShiftModifier}, {'%', Qt::AltModifier}})
            mods.setFlag(mod, marks.contains(mark));
        const QPoint p = at.contains(',') ? QPoint(at.section(',', 0, 0).toInt(), at.section(',', 1).toInt())
                                          : w->cellRect(at.toInt()).center();
        QTest::mouseClick(w, marks.contains('!') ? Qt::RightButton : marks.contains('~') ? Qt::MiddleButton : Qt::LeftButton, mods, p);
    }
    for (int i = 0; i < 256; ++i)
        QVERIFY2(w->isSelected(uchar(i)) == selected.contains(i), qPrintable(QString::number(i)));
    QCOMPARE(multi.size(), ranges);
    QCOMPARE(w->palette()->getAll(), shownColours); // selecting is not editing
}

void TestPaletteWidget::cellsAsDrawn()
{
    // A plain cell (row 1, column 1) shows its colour inside a frame; a
    // selected one shows the marker frame inside its swatch, in a colour that
    // stays visible on it.
    w->select(18);
    for (const auto& [colour, marker] : {std::pair{QColor(10, 20, 30), QColor(138, 148, 158)},
                                         {QColor(200, 220, 255), QColor(72, 92, 127)}, {QColor(128, 128, 128), QColor(0, 0, 0)}}) {
        w->palette()->setColour(17, colour);
        w->palette()->setColour(18, colour);
        const QImage img = w->grab().toImage();
        QCOMPARE(img.pixelColor(13, 13), colour);
        QCOMPARE(img.pixelColor(w->cellRect(18).topLeft() + QPoint(2, 2)), marker);
        QCOMPARE(img.pixelColor(w->cellRect(18).topLeft() + QPoint(5, 5)), colour);
    }
}

QTEST_MAIN(TestPaletteWidget)
#include "tst_qpalettewidget.moc"

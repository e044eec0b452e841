// The colour grid: selecting cells with the mouse, the snapshots kept before
// each edit, and what the cells look like.
#include "qpalettewidget.h"
#include "qrgbpalette.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>
#include <QtWidgets>

class TestPaletteWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void clicks_data();
    void clicks();
    void clicksOutsideThePalette_data();
    void clicksOutsideThePalette();
    void doubleClickAndColourCount();
    void historyKeepsTwelveStates();
    void cellsAsDrawn_data();
    void cellsAsDrawn();
    void snapshot();

private:
    QPoint centre(int cell) const { return w->cellRect(cell).center(); }
    QList<int> selection() const
    {
        QList<int> s;
        for (int i = 0; i < 256; ++i)
            if (w->isSelected(uchar(i)))
                s.append(i);
        return s;
    }
    QPaletteWidget* w = nullptr;
};

namespace {
// Encodes a click as (cell, button, modifiers) for the tables.
struct Click
{
    int cell;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    Qt::MouseButton button = Qt::LeftButton;
};
using Clicks = QList<Click>;
} // namespace
Q_DECLARE_METATYPE(Click)

void TestPaletteWidget::init()
{
    w = new QPaletteWidget;
    w->resize(192, 192);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestPaletteWidget::cleanup()
{
    delete w;
    w = nullptr;
}

void TestPaletteWidget::clicks_data()
{
    QTest::addColumn<Clicks>("clicks");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("ranges"); // multiColorClick() signals
    const auto shift = Qt::KeyboardModifiers(Qt::ShiftModifier);
    const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("a click replaces the selection") << Clicks{{7}, {9}} << QList<int>{9} << 0;
    QTest::newRow("ctrl adds") << Clicks{{3, ctrl}, {40, ctrl}, {200, ctrl}} << QList<int>{3, 40, 200} << 0;
    QTest::newRow("shift down to a lower cell") << Clicks{{5}, {2, shift}} << QList<int>{2, 3, 4, 5} << 1;
    QTest::newRow("shift up to a higher cell") << Clicks{{5}, {8, shift}} << QList<int>{5, 6, 7, 8} << 1;
    QTest::newRow("shift on the same cell empties") << Clicks{{5}, {2, shift}, {5, shift}} << QList<int>{} << 1;
    QTest::newRow("shift starts from the last selected") << Clicks{{3}, {20, ctrl}, {18, shift}}
                                                         << QList<int>{18, 19, 20} << 1;
    QTest::newRow("shift with nothing selected") << Clicks{{12, shift}} << QList<int>{12} << 0;
    QTest::newRow("right click deselects, on an unselected cell does nothing")
        << Clicks{{3, ctrl}, {4, ctrl}, {3, {}, Qt::RightButton}, {5, {}, Qt::RightButton}} << QList<int>{4} << 0;
    QTest::newRow("alt, ctrl shift and middle clicks change nothing")
        << Clicks{{3}, {4, Qt::AltModifier}, {9, ctrl | shift}, {4, {}, Qt::MiddleButton}} << QList<int>{3} << 0;
}

void TestPaletteWidget::clicks()
{
    QFETCH(Clicks, clicks);
    QFETCH(QList<int>, selected);
    QFETCH(int, ranges);
    QSignalSpy multi(w, &QPaletteWidget::multiColorClick);
    QSignalSpy changed(w, &QPaletteWidget::changed);
    for (const Click& c : clicks)
        QTest::mouseClick(w, c.button, c.mods, centre(c.cell));
    QCOMPARE(selection(), selected);
    QCOMPARE(multi.size(), ranges);
    QCOMPARE(changed.size(), 0); // selecting is not editing
}

void TestPaletteWidget::clicksOutsideThePalette_data()
{
    QTest::addColumn<int>("colourCount");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("point");
    QTest::newRow("below the last of 32 colours") << 32 << QSize(192, 192) << QPoint(30, 40);
    QTest::newRow("right of the last column") << 256 << QSize(200, 192) << QPoint(195, 5);
    QTest::newRow("left of the widget") << 256 << QSize(192, 192) << QPoint(-3, 5);
    QTest::newRow("above the widget") << 256 << QSize(192, 192) << QPoint(5, -3);
    QTest::newRow("below every row") << 256 << QSize(192, 250) << QPoint(5, 200);
}

void TestPaletteWidget::clicksOutsideThePalette()
{
    QFETCH(int, colourCount);
    QFETCH(QSize, size);
    QFETCH(QPoint, point);
    w->resize(size);
    QCoreApplication::processEvents();
    w->setColourCount(quint16(colourCount));
    QTest::mouseClick(w, Qt::LeftButton, {}, centre(6));
    // A release outside the cells (the press may have been inside) changes nothing.
    QMouseEvent release(QEvent::MouseButtonRelease, point, w->mapToGlobal(point), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QCOMPARE(selection(), QList<int>{6});
    QCOMPARE(w->cellAt(point), -1);
    // Cells are laid out 12 pixels apart across the whole columns only.
    QCOMPARE(w->cellAt(QPoint(size.width() == 200 ? 191 : 0, 12)), size.width() == 200 ? 31 : 16);
}

void TestPaletteWidget::doubleClickAndColourCount()
{
    QSignalSpy spy(w, &QPaletteWidget::colorClick);
    QTest::mouseDClick(w, Qt::LeftButton, {}, centre(3));
    QCOMPARE(spy.size(), 1);

    // A new colour count clears the selection; a palette holds 256 colours at most.
    w->select(4);
    w->select(250);
    w->setColourCount(32);
    QCOMPARE(selection(), QList<int>{});
    QCOMPARE(w->colourCountShown(), quint16(32));
    w->setColourCount(999);
    QCOMPARE(w->colourCountShown(), quint16(256));
}

void TestPaletteWidget::historyKeepsTwelveStates()
{
    QRGBPalette* p = w->palette();
    QSignalSpy changed(w, &QPaletteWidget::changed);
    // Edit k fills the palette with byte k; each edit keeps the state before it.
    for (int k = 1; k <= 12; ++k)
        p->setAll(QByteArray(768, char(k)));
    QCOMPARE(w->historyLength(), 12);
    QCOMPARE(w->historyPosition(), 11);
    QCOMPARE(changed.size(), 12);
    // The thirteenth drops the oldest; every later one moves down by one.
    p->setColour(0, QColor(13, 13, 13));
    QCOMPARE(w->historyLength(), 12);
    QCOMPARE(w->historyPosition(), 11);
    for (int i = 0; i < 11; ++i)
        QCOMPARE(w->historyState(i), QByteArray(768, char(i + 2)));
    QCOMPARE(w->historyState(11), p->getAll());
    QCOMPARE(p->getAll().left(6), QByteArray("\x0D\x0D\x0D\x0C\x0C\x0C"));

    // Reset leaves a black palette and no history.
    w->resetPalette();
    QCOMPARE(w->historyLength(), 0);
    QCOMPARE(w->historyPosition(), 0);
    QCOMPARE(p->getAll(), QByteArray(768, '\0'));
    p->setColour(0, Qt::white);
    QCOMPARE(w->historyLength(), 1);
    QCOMPARE(w->historyState(0).left(3), QByteArray(3, char(255)));
}

void TestPaletteWidget::cellsAsDrawn_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("marker");
    QTest::newRow("dark") << QColor(10, 20, 30) << QColor(138, 148, 158);
    QTest::newRow("light") << QColor(200, 220, 255) << QColor(72, 92, 127);
    QTest::newRow("middle grey") << QColor(128, 128, 128) << QColor(0, 0, 0);
    QTest::newRow("black") << QColor(0, 0, 0) << QColor(128, 128, 128);
    QTest::newRow("white") << QColor(255, 255, 255) << QColor(127, 127, 127);
}

void TestPaletteWidget::cellsAsDrawn()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, marker);
    QCOMPARE(QPaletteWidget::markerColour(colour), marker);
    w->palette()->setColour(17, colour);
    w->palette()->setColour(18, colour);
    w->select(18);
    // A plain cell shows its colour inside a frame; a selected one shows the
    // marker frame inside its swatch.
    const QImage img = w->grab().toImage();
    const QPoint plain = w->cellRect(17).topLeft(), sel = w->cellRect(18).topLeft();
    QCOMPARE(plain, QPoint(12, 12)); // row 1, column 1
    QCOMPARE(img.pixelColor(plain + QPoint(1, 1)), colour);
    QCOMPARE(img.pixelColor(sel + QPoint(2, 2)), marker);
    QCOMPARE(img.pixelColor(sel + QPoint(5, 5)), colour);
}

void TestPaletteWidget::snapshot()
{
    QByteArray ramp(768, '\0');
    for (int i = 0; i < 256; ++i) {
        ramp[3 * i] = char(i);
        ramp[3 * i + 1] = char((i * 3) & 255);
        ramp[3 * i + 2] = char(255 - i);
    }
    w->palette()->setAll(ramp);
    for (int i : {0, 5, 6, 7, 200, 255})
        w->select(uchar(i));
    testsupport::saveSnapshot(w, "palette-widget");
}

QTEST_MAIN(TestPaletteWidget)
#include "tst_qpalettewidget.moc"

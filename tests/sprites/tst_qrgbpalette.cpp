// The palette being edited: colour effects, the mirrored selection, the
// change signals the undo history relies on, and ACT palette files.
#include "qrgbpalette.h"
#include "qsprites.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <array>

class TestRGBPalette : public QObject
{
    Q_OBJECT
private slots:
    void effects_data();
    void effects();
    void effectsTouchOnlySelectedEntries_data();
    void effectsTouchOnlySelectedEntries();
    void reverseSelected_data();
    void reverseSelected();
    void everyEditAnnouncesItself_data();
    void everyEditAnnouncesItself();
    void setAllTakesAtMostOnePalette();
    void actFileLength_data();
    void actFileLength();
    void actSaveWritesEntriesLastFirst();
    void corpusActFilesLoad();
};

namespace {
using Buffer = std::array<uchar, 768>;
using Swaps = QList<QPair<int, int>>;
using rgb = QColor;

// Entry i has the colour (i, 255 - i, i / 2): every entry differs.
Buffer ramp()
{
    Buffer b;
    for (int i = 0; i < 256; ++i) {
        b[3 * i] = uchar(i);
        b[3 * i + 1] = uchar(255 - i);
        b[3 * i + 2] = uchar(i / 2);
    }
    return b;
}

QList<int> entryOrder(const QRGBPalette& p)
{
    QList<int> order;
    for (int i = 0; i < 256; ++i)
        order.append(p.colour(uchar(i)).red());
    return order;
}
} // namespace

void TestRGBPalette::effects_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<QColor>("before");
    QTest::addColumn<QColor>("after");
    const QColor c = rgb(10, 100, 200);
    QTest::newRow("empty item") << int(NoEffect) << c << c;
    QTest::newRow("Blue to Red") << int(BlueToRed) << c << rgb(200, 100, 10);
    QTest::newRow("Blue to Green") << int(BlueToGreen) << c << rgb(10, 200, 100);
    QTest::newRow("Green to Red") << int(GreenToRed) << c << rgb(100, 10, 200);
    QTest::newRow("Green to Blue") << int(GreenToBlue) << c << rgb(10, 200, 100);
    QTest::newRow("Red to Green") << int(RedToGreen) << c << rgb(100, 10, 200);
    QTest::newRow("Red to Blue") << int(RedToBlue) << c << rgb(200, 100, 10);
    QTest::newRow("Lighter") << int(Lighter) << c << rgb(42, 132, 232);
    QTest::newRow("Lighter stops at white") << int(Lighter) << rgb(230, 240, 250) << rgb(255, 255, 255);
    QTest::newRow("Darker") << int(Darker) << c << rgb(0, 68, 168);
    QTest::newRow("Darker stops at black") << int(Darker) << rgb(31, 32, 33) << rgb(0, 0, 1);
    // (10 + 100 + 200) / 3 = 103, truncated.
    QTest::newRow("Monochrome") << int(Monochrome) << c << rgb(103, 103, 103);
    QTest::newRow("Fire on white") << int(Fire) << rgb(255, 255, 255) << rgb(255, 127, 0);
    QTest::newRow("Fire on black") << int(Fire) << rgb(0, 0, 0) << rgb(100, 0, 0);
    QTest::newRow("Fire") << int(Fire) << c << rgb(203, 51, 0);
    QTest::newRow("Saphire on white") << int(Saphire) << rgb(255, 255, 255) << rgb(123, 0, 187);
    QTest::newRow("Saphire on black") << int(Saphire) << rgb(0, 0, 0) << rgb(60, 0, 60);
    QTest::newRow("Stone on grey 127") << int(Stone) << rgb(127, 127, 127) << rgb(177, 177, 177);
    QTest::newRow("Stone on grey 128") << int(Stone) << rgb(128, 128, 128) << rgb(78, 78, 78);
    QTest::newRow("number 13 does nothing") << 13 << c << c;
    QTest::newRow("negative number does nothing") << -1 << c << c;
}

void TestRGBPalette::effects()
{
    QFETCH(int, effect);
    QFETCH(QColor, before);
    QFETCH(QColor, after);
    Buffer b{};
    QRGBPalette p(b.data());
    p.setColour(7, before);
    p.applyEffect(effect, nullptr);
    QCOMPARE(p.colour(7), after);
}

void TestRGBPalette::effectsTouchOnlySelectedEntries_data()
{
    QTest::addColumn<QList<int>>("selection");
    QTest::newRow("none selected") << QList<int>{};
    QTest::newRow("one") << QList<int>{40};
    QTest::newRow("first and last") << QList<int>{0, 255};
}

void TestRGBPalette::effectsTouchOnlySelectedEntries()
{
    QFETCH(QList<int>, selection);
    const Buffer original = ramp();
    Buffer b = original;
    QRGBPalette p(b.data());
    bool mask[256] = {};
    for (int i : selection)
        mask[i] = true;
    p.applyEffect(Monochrome, mask);
    for (int i = 0; i < 256; ++i) {
        const QColor was(original[3 * i], original[3 * i + 1], original[3 * i + 2]);
        const int s = (was.red() + was.green() + was.blue()) / 3;
        QCOMPARE(p.colour(uchar(i)), mask[i] ? rgb(s, s, s) : was);
    }
}

void TestRGBPalette::reverseSelected_data()
{
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<Swaps>("swaps");
    QTest::newRow("sparse: 2 and 9 swap, 5 stays") << QList<int>{2, 5, 9} << Swaps{{2, 9}};
    QTest::newRow("nothing selected") << QList<int>{} << Swaps{};
    QTest::newRow("one entry") << QList<int>{100} << Swaps{};
    QTest::newRow("entry 0 alone stays") << QList<int>{0} << Swaps{};
    QTest::newRow("entries 0 and 1") << QList<int>{0, 1} << Swaps{{0, 1}};
    QTest::newRow("ends of the palette") << QList<int>{0, 255} << Swaps{{0, 255}};
    QTest::newRow("even run") << QList<int>{10, 11, 12, 13} << Swaps{{10, 13}, {11, 12}};
}

void TestRGBPalette::reverseSelected()
{
    QFETCH(QList<int>, selection);
    QFETCH(Swaps, swaps);
    Buffer b = ramp();
    QRGBPalette p(b.data());
    QSignalSpy changing(&p, &QRGBPalette::changing);
    QSignalSpy changed(&p, &QRGBPalette::changed);
    bool mask[256] = {};
    for (int i : selection)
        mask[i] = true;
    p.reverseSelected(mask);

    QList<int> expected;
    for (int i = 0; i < 256; ++i)
        expected.append(i);
    for (const auto& s : swaps)
        std::swap(expected[s.first], expected[s.second]);
    QCOMPARE(entryOrder(p), expected);
    // Also an edit that changes nothing is announced.
    QCOMPARE(changing.size(), 1);
    QCOMPARE(changed.size(), 1);
}

void TestRGBPalette::everyEditAnnouncesItself_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("setAll") << 0;
    QTest::newRow("setColour") << 1;
    QTest::newRow("reverse whole palette") << 2;
    QTest::newRow("effect") << 3;
    QTest::newRow("effect item 0") << 4;
}

void TestRGBPalette::everyEditAnnouncesItself()
{
    QFETCH(int, edit);
    Buffer b = ramp();
    const Buffer before = b;
    QRGBPalette p(b.data());
    QList<QString> events;
    // changing() must come while the buffer still holds the old colours.
    connect(&p, &QRGBPalette::changing, this, [&] {
        events << "changing";
        QVERIFY(b == before);
    });
    connect(&p, &QRGBPalette::changed, this, [&] { events << "changed"; });
    switch (edit) {
    case 0: p.setAll(QByteArray(768, '\x11')); break;
    case 1: p.setColour(3, Qt::red); break;
    case 2: p.reverseSelected(nullptr); break;
    case 3: p.applyEffect(Darker, nullptr); break;
    case 4: p.applyEffect(NoEffect, nullptr); break;
    }
    QCOMPARE(events, (QList<QString>{"changing", "changed"}));
    if (edit == 2) // no selection: the whole palette
        QCOMPARE(entryOrder(p).first(), 255);
}

void TestRGBPalette::setAllTakesAtMostOnePalette()
{
    std::array<uchar, 800> b;
    b.fill(0xEE);
    QRGBPalette p(b.data());
    p.setAll(QByteArray(1000, '\x05'));
    QCOMPARE(p.getAll(), QByteArray(768, '\x05'));
    QCOMPARE(b[768], uchar(0xEE)); // nothing written past the palette
    p.setAll(QByteArray(6, '\x09'));
    QCOMPARE(p.colour(1), rgb(9, 9, 9));
    QCOMPARE(p.colour(2), rgb(0, 0, 0));
}

void TestRGBPalette::actFileLength_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("loads");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("767 bytes") << 767 << false;
    QTest::newRow("768 bytes") << 768 << true;
    QTest::newRow("769 bytes") << 769 << true;
    // Some tools append a colour count and a transparent index.
    QTest::newRow("772 bytes") << 772 << true;
}

void TestRGBPalette::actFileLength()
{
    QFETCH(int, size);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString name = dir.filePath("p.act");
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i % 251);
    testsupport::writeFile(name, bytes);

    QByteArray colours("untouched");
    QCOMPARE(QSprites::loadPaletteAct(name, colours), loads);
    if (!loads) {
        QCOMPARE(colours, QByteArray("untouched"));
        return;
    }
    QCOMPARE(colours.size(), 768);
    // Entry 0 comes from the last three bytes of the first 768.
    QCOMPARE(colours.left(3), bytes.mid(765, 3));
    QCOMPARE(colours.mid(765, 3), bytes.left(3));
}

void TestRGBPalette::actSaveWritesEntriesLastFirst()
{
    QSprites sprites(nullptr, 0, false, -1);
    QTemporaryDir dir;
    const QString name = dir.filePath("saved.act");
    QVERIFY(!sprites.savePaletteAct(0, name)); // no such palette
    QVERIFY(!QFile::exists(name));
    QByteArray colours(768, '\x40');
    colours[0] = colours[1] = colours[2] = 0;              // entry 0 black
    colours[765] = colours[766] = colours[767] = char(255); // entry 255 white
    colours[3] = 1;                                          // entry 1 red 1
    sprites.addPalette(colours, false, 0, -1);
    QVERIFY(!sprites.savePaletteAct(0, dir.filePath("missing/dir/p.act")));
    QVERIFY(sprites.savePaletteAct(0, name));
    const QByteArray file = testsupport::readFile(name);
    QCOMPARE(file.size(), 768);
    QCOMPARE(file.left(3), QByteArray(3, char(255)));
    QCOMPARE(file.right(3), QByteArray(3, '\0'));
    QCOMPARE(file.at(762), '\x01');
    QByteArray back;
    QVERIFY(QSprites::loadPaletteAct(name, back));
    QCOMPARE(back, colours);
    QVERIFY(!QSprites::loadPaletteAct(dir.filePath("absent.act"), back));
}

void TestRGBPalette::corpusActFilesLoad()
{
    CORPUS_OR_SKIP(root, "palettes");
    const QStringList names = QDir(root).entryList({"*.act"}, QDir::Files);
    QVERIFY(!names.isEmpty());
    for (const QString& n : names) {
        QByteArray colours;
        QVERIFY2(QSprites::loadPaletteAct(root + '/' + n, colours), qPrintable(n));
        QCOMPARE(colours.size(), 768);
        // The engine's palettes keep the transparent colour in entry 0, which
        // is the file's last entry.
        QCOMPARE(colours.left(3), testsupport::readFile(root + '/' + n).mid(765, 3));
    }
}

QTEST_GUILESS_MAIN(TestRGBPalette)
#include "tst_qrgbpalette.moc"

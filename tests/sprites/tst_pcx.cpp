// Reading and writing PCX images.
#include "binaryio.h"
#include "pcx.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPcx : public QObject
{
    Q_OBJECT
private slots:
    void headersAcceptedAndRejected_data();
    void headersAcceptedAndRejected();
    void decodedLines_data();
    void decodedLines();
    void paletteBlock_data();
    void paletteBlock();
    void roundTrips_data();
    void roundTrips();
    void writeFailsWhereNoFileCanBe();
};

namespace {
using spritetest::packedRows;

struct Header {
    int manufacturer = 10, version = 5, bitsPerPixel = 8;
    int xMin = 0, yMin = 0, xMax = 1, yMax = 0;
    int planes = 1, bytesPerLine = 2;
};

QByteArray pcx(const Header& h, const QByteArray& body)
{
    QByteArray out;
    LeWriter w(&out);
    for (int b : {h.manufacturer, h.version, 1, h.bitsPerPixel})
        w.u8(quint8(b));
    for (int v : {h.xMin, h.yMin, h.xMax, h.yMax})
        w.u16(quint16(v));
    w.zeros(4 + 48 + 1);
    w.u8(quint8(h.planes));
    w.u16(quint16(h.bytesPerLine));
    w.zeros(60);
    return out + body;
}

QByteArray palette(int marker = 12)
{
    QByteArray p(1, char(marker));
    for (int i = 0; i < 256; ++i)
        p.append(char(i)).append(char(255 - i)).append(char(i / 2));
    return p;
}
} // namespace

void TestPcx::headersAcceptedAndRejected_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("format");
    const QByteArray body = QByteArray::fromHex("0102");
    const int indexed = QImage::Format_Indexed8;
    QTest::newRow("8 bits") << pcx({}, body) << QSize(2, 1) << indexed;
    QTest::newRow("xMin and yMin other than 0")
        << pcx({.xMin = 10, .yMin = 20, .xMax = 11, .yMax = 22}, body.repeated(3)) << QSize(2, 3) << indexed;
    QTest::newRow("5 bits as 8-bit indexed") << pcx({.bitsPerPixel = 5}, body) << QSize(2, 1) << indexed;
    QTest::newRow("3 planes of 8 bits") << pcx({.planes = 3}, body.repeated(3)) << QSize(2, 1)
                                        << int(QImage::Format_RGB888);
    QTest::newRow("4 planes of 8 bits") << pcx({.planes = 4}, body.repeated(4)) << QSize(2, 1)
                                        << int(QImage::Format_ARGB32);
    // 8 x 33 = 264, taken modulo 256.
    QTest::newRow("total bits modulo 256") << pcx({.planes = 33}, body.repeated(33)) << QSize(2, 1) << indexed;
    QTest::newRow("1 bit in 4 planes rejected") << pcx({.bitsPerPixel = 1, .planes = 4}, body) << QSize() << -1;
    QTest::newRow("wrong manufacturer") << pcx({.manufacturer = 11}, body) << QSize() << -1;
    QTest::newRow("wrong version") << pcx({.version = 3}, body) << QSize() << -1;
    QTest::newRow("xMax before xMin") << pcx({.xMin = 5}, body) << QSize() << -1;
    QTest::newRow("header cut short") << pcx({}, QByteArray()).left(100) << QSize() << -1;
    QTest::newRow("huge header over tiny data")
        << pcx({.xMax = 65535, .yMax = 65535, .bytesPerLine = 65535}, QByteArray(200, '\xff')) << QSize() << -1;
}

void TestPcx::headersAcceptedAndRejected()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(int, format);
    const QImage image = readPcx(file);
    QCOMPARE(image.isNull(), format < 0);
    if (format >= 0) {
        QCOMPARE(image.size(), size);
        QCOMPARE(int(image.format()), format);
    }
    QCOMPARE(pcxImageBytes(file), qsizetype(image.sizeInBytes()));
}

void TestPcx::decodedLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("lines");
    // A line of a 24-bit file is all red values, then all green, then all blue.
    QTest::newRow("three planes") << pcx({.planes = 3}, QByteArray::fromHex("0a14" "1e28" "3246"))
                                  << QByteArray("0a1e32" "142846");
    QTest::newRow("truncated: lines read are kept, the rest 0")
        << pcx({.xMax = 3, .yMax = 2, .bytesPerLine = 4}, QByteArray::fromHex("01020304" "c305"))
        << QByteArray("01020304" "05050500" "00000000");
    // A run of 10 in a line of 4: the rest is dropped, the next line starts afresh.
    QTest::newRow("runs stop at the end of a line")
        << pcx({.xMax = 2, .yMax = 1, .bytesPerLine = 4}, QByteArray::fromHex("ca07" "0102c100c0" "09"))
        << QByteArray("070707" "010200");
}

void TestPcx::decodedLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, lines);
    QCOMPARE(packedRows(readPcx(file)).toHex(), lines);
}

void TestPcx::paletteBlock_data()
{
    QTest::addColumn<QByteArray>("trailer");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("colours");
    QTest::addColumn<QRgb>("colour10");
    // Bytes after the palette do not move it: it is looked for right after
    // the last encoded line, not counted back from the end of the file.
    QTest::newRow("after the last line") << palette() + QByteArray(100, 'x') << 8 << 256 << qRgb(10, 245, 5);
    QTest::newRow("cut short: the rest black") << palette().left(1 + 3 * 10 + 1) << 8 << 256 << qRgb(10, 0, 0);
    QTest::newRow("marker not 12") << palette(13) << 8 << 0 << QRgb(0);
    QTest::newRow("no palette") << QByteArray() << 8 << 0 << QRgb(0);
    QTest::newRow("marker only") << palette().left(1) << 8 << 0 << QRgb(0);
    QTest::newRow("5-bit files have none") << palette() << 5 << 0 << QRgb(0);
}

void TestPcx::paletteBlock()
{
    QFETCH(QByteArray, trailer);
    QFETCH(int, bits);
    QFETCH(int, colours);
    QFETCH(QRgb, colour10);
    const QImage image = readPcx(pcx({.bitsPerPixel = bits}, QByteArray::fromHex("0102") + trailer));
    QCOMPARE(image.colorCount(), colours);
    if (colours) {
        QCOMPARE(image.color(1), qRgb(1, 254, 0));
        QCOMPARE(image.color(10), colour10);
        QCOMPARE(image.color(255), trailer.size() > 700 ? qRgb(255, 0, 127) : qRgb(0, 0, 0));
    }
}

void TestPcx::roundTrips_data()
{
    QTest::addColumn<QImage>("image");
    const QByteArray c = spritetest::colours(3);
    QTest::newRow("width a multiple of 4") << spritetest::indexed(64, 10, 3, c);
    QTest::newRow("width 5") << spritetest::indexed(5, 3, 1, c);
    QTest::newRow("width 1") << spritetest::indexed(1, 1, 2, c);
    QTest::newRow("long runs") << spritetest::indexed(300, 2, 3, c, 1);
    QImage two(2, 1, QImage::Format_Indexed8);
    two.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    two.fill(1);
    QTest::newRow("two colours: the rest written black") << two;
    QImage rgb(7, 3, QImage::Format_RGB888);
    QImage argb(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            if (y < 3)
                rgb.setPixel(x, y, qRgb(x * 30, y * 80, 200 - x));
            if (x < 5)
                argb.setPixel(x, y, qRgba(x * 50, 255 - y * 60, 7, x * 60));
        }
    QTest::newRow("24 bits") << rgb;
    QTest::newRow("32 bits") << argb;
    QTest::newRow("other formats, written as one of those") << rgb.convertToFormat(QImage::Format_RGB32);
}

void TestPcx::roundTrips()
{
    QFETCH(QImage, image);
    const QByteArray file = encodePcx(image);
    const QImage back = readPcx(file);
    QCOMPARE(back.size(), image.size());
    if (image.format() != QImage::Format_Indexed8) {
        QCOMPARE(back.convertToFormat(image.format()), image);
        return;
    }
    QCOMPARE(int(LeReader(file, 66).u16()), image.bytesPerLine()); // the row stride, padding included
    QCOMPARE(back.format(), QImage::Format_Indexed8);
    QList<QRgb> colours = image.colorTable();
    colours.resize(256, qRgb(0, 0, 0));
    QCOMPARE(back.colorTable(), colours);
    QCOMPARE(packedRows(back), packedRows(image));
}

void TestPcx::writeFailsWhereNoFileCanBe()
{
    QTemporaryDir dir;
    const QImage image = spritetest::indexed(4, 4, 1, spritetest::colours(1));
    QVERIFY(!writePcx(image, dir.filePath("no/such/dir/x.pcx")));
    QVERIFY(!writePcx(QImage(), dir.filePath("null.pcx")));
    QVERIFY(writePcx(image, dir.filePath("ok.pcx")));
    QCOMPARE(readPcx(testsupport::readFile(dir.filePath("ok.pcx"))).size(), QSize(4, 4));
}

QTEST_GUILESS_MAIN(TestPcx)
#include "tst_pcx.moc"

// Reading and writing PCX images.
#include "binaryio.h"
#include "pcx.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPcx : public QObject
{
    Q_OBJECT
private slots:
    void headersAcceptedAndRejected_data();
    void headersAcceptedAndRejected();
    void indexedRoundTripKeepsPixelsAndColours_data();
    void indexedRoundTripKeepsPixelsAndColours();
    void colourImagesRoundTrip();
    void threePlaneFileReadsAsRgb();
    void paletteBlock_data();
    void paletteBlock();
    void truncatedDataKeepsFilledLines();
    void runsStopAtTheEndOfALine();
    void hugeHeaderOverTinyDataIsRejected();
    void shortColourTableWritesBlack();
    void writeFailsWhereNoFileCanBe();
};

namespace {
struct Header {
    int manufacturer = 10;
    int version = 5;
    int bitsPerPixel = 8;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int planes = 1;
    int bytesPerLine = 0;
};

QByteArray pcx(const Header& h, const QByteArray& body)
{
    QByteArray out;
    LeWriter w(&out);
    w.u8(quint8(h.manufacturer));
    w.u8(quint8(h.version));
    w.u8(1);
    w.u8(quint8(h.bitsPerPixel));
    w.u16(quint16(h.xMin));
    w.u16(quint16(h.yMin));
    w.u16(quint16(h.xMax));
    w.u16(quint16(h.yMax));
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

QImage indexed(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.append(qRgb(i, (i * 7 + seed) & 0xFF, 255 - i));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = uchar((x / 3 + y * seed) % 256);
    return image;
}
} // namespace

void TestPcx::headersAcceptedAndRejected_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("format");
    Header h;
    h.xMax = 1;
    h.bytesPerLine = 2;
    const QByteArray body = QByteArray::fromHex("0102");
    QTest::newRow("8 bits") << pcx(h, body) << QSize(2, 1) << int(QImage::Format_Indexed8);
    Header offset = h;
    offset.xMin = 10;
    offset.xMax = 11;
    offset.yMin = 20;
    offset.yMax = 22;
    QTest::newRow("xMin and yMin other than 0") << pcx(offset, body.repeated(3)) << QSize(2, 3)
                                                << int(QImage::Format_Indexed8);
    Header five = h;
    five.bitsPerPixel = 5;
    QTest::newRow("5 bits as 8-bit indexed") << pcx(five, body) << QSize(2, 1) << int(QImage::Format_Indexed8);
    Header four = h;
    four.bitsPerPixel = 1;
    four.planes = 4;
    QTest::newRow("1 bit in 4 planes rejected") << pcx(four, body) << QSize() << -1;
    Header rgb = h;
    rgb.planes = 3;
    QTest::newRow("3 planes of 8 bits") << pcx(rgb, body.repeated(3)) << QSize(2, 1) << int(QImage::Format_RGB888);
    Header argb = h;
    argb.planes = 4;
    QTest::newRow("4 planes of 8 bits") << pcx(argb, body.repeated(4)) << QSize(2, 1) << int(QImage::Format_ARGB32);
    Header wrap = h;
    wrap.planes = 33; // 8 x 33 = 264, taken modulo 256
    QTest::newRow("total bits modulo 256") << pcx(wrap, body.repeated(33)) << QSize(2, 1) << int(QImage::Format_Indexed8);
    Header maker = h;
    maker.manufacturer = 11;
    QTest::newRow("wrong manufacturer") << pcx(maker, body) << QSize() << -1;
    Header version = h;
    version.version = 3;
    QTest::newRow("wrong version") << pcx(version, body) << QSize() << -1;
    Header inverted = h;
    inverted.xMin = 5;
    QTest::newRow("xMax before xMin") << pcx(inverted, body) << QSize() << -1;
    QTest::newRow("header cut short") << pcx(h, QByteArray()).left(100) << QSize() << -1;
}

void TestPcx::headersAcceptedAndRejected()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(int, format);
    const QImage image = readPcx(file);
    if (format < 0) {
        QVERIFY(image.isNull());
        QCOMPARE(pcxImageBytes(file), qsizetype(0));
        return;
    }
    QCOMPARE(image.size(), size);
    QCOMPARE(int(image.format()), format);
    QCOMPARE(pcxImageBytes(file), qsizetype(image.sizeInBytes()));
}

void TestPcx::indexedRoundTripKeepsPixelsAndColours_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("width a multiple of 4") << 64 << 10;
    QTest::newRow("width 5") << 5 << 3;
    QTest::newRow("width 1") << 1 << 1;
    QTest::newRow("long runs") << 300 << 2;
}

void TestPcx::indexedRoundTripKeepsPixelsAndColours()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage image = indexed(width, height, 3);
    const QByteArray file = encodePcx(image);
    LeReader r(file, 66);
    QCOMPARE(int(r.u16()), image.bytesPerLine()); // the row stride, padding included
    const QImage back = readPcx(file);
    QCOMPARE(back.size(), image.size());
    QCOMPARE(back.format(), QImage::Format_Indexed8);
    QCOMPARE(back.colorTable(), image.colorTable());
    for (int y = 0; y < height; ++y)
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(back.constScanLine(y)), width),
                 QByteArray(reinterpret_cast<const char*>(image.constScanLine(y)), width));
}

void TestPcx::colourImagesRoundTrip()
{
    QImage rgb(7, 3, QImage::Format_RGB888);
    QImage argb(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            if (y < 3)
                rgb.setPixel(x, y, qRgb(x * 30, y * 80, 200 - x));
            if (x < 5)
                argb.setPixel(x, y, qRgba(x * 50, 255 - y * 60, 7, x * 60));
        }
    QCOMPARE(readPcx(encodePcx(rgb)), rgb);
    QCOMPARE(readPcx(encodePcx(argb)), argb);
    // Other formats are written as one of those.
    const QImage rgb32 = rgb.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(readPcx(encodePcx(rgb32)).convertToFormat(QImage::Format_RGB32), rgb32);
}

void TestPcx::threePlaneFileReadsAsRgb()
{
    // A line of a 24-bit file is all red values, then all green, then all blue.
    Header h;
    h.xMax = 1;
    h.planes = 3;
    h.bytesPerLine = 2;
    const QImage image = readPcx(pcx(h, QByteArray::fromHex("0a14" "1e28" "3246")));
    QCOMPARE(image.pixel(0, 0), qRgb(10, 30, 50));
    QCOMPARE(image.pixel(1, 0), qRgb(20, 40, 70));
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
    Header h;
    h.xMax = 1;
    h.bytesPerLine = 2;
    h.bitsPerPixel = bits;
    const QImage image = readPcx(pcx(h, QByteArray::fromHex("0102") + trailer));
    QCOMPARE(image.colorCount(), colours);
    if (colours) {
        QCOMPARE(image.color(1), qRgb(1, 254, 0));
        QCOMPARE(image.color(10), colour10);
        QCOMPARE(image.color(255), trailer.size() > 700 ? qRgb(255, 0, 127) : qRgb(0, 0, 0));
    }
}

void TestPcx::truncatedDataKeepsFilledLines()
{
    Header h;
    h.xMax = 3;
    h.yMax = 2;
    h.bytesPerLine = 4;
    const QImage image = readPcx(pcx(h, QByteArray::fromHex("01020304" "c305") + palette()).left(128 + 6));
    QCOMPARE(image.size(), QSize(4, 3));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(0)), 4).toHex(), QByteArray("01020304"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(1)), 4).toHex(), QByteArray("05050500"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(2)), 4).toHex(), QByteArray("00000000"));
    QCOMPARE(image.colorCount(), 0);
}

void TestPcx::runsStopAtTheEndOfALine()
{
    // A run of 10 in a line of 4: the rest is dropped, the next line starts afresh.
    Header h;
    h.xMax = 2;
    h.yMax = 1;
    h.bytesPerLine = 4;
    const QImage image = readPcx(pcx(h, QByteArray::fromHex("ca07" "0102c100c0" "09")));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(0)), 3).toHex(), QByteArray("070707"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.constScanLine(1)), 3).toHex(), QByteArray("010200"));
}

void TestPcx::hugeHeaderOverTinyDataIsRejected()
{
    Header h;
    h.xMax = 65535;
    h.yMax = 65535;
    h.bytesPerLine = 65535;
    const QByteArray file = pcx(h, QByteArray(200, '\xff'));
    QCOMPARE(pcxImageBytes(file), qsizetype(0));
    QVERIFY(readPcx(file).isNull());
}

void TestPcx::shortColourTableWritesBlack()
{
    QImage image(2, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    image.fill(1);
    const QImage back = readPcx(encodePcx(image));
    QCOMPARE(back.colorCount(), 256);
    QCOMPARE(back.color(1), qRgb(4, 5, 6));
    QCOMPARE(back.color(2), qRgb(0, 0, 0));
}

void TestPcx::writeFailsWhereNoFileCanBe()
{
    QTemporaryDir dir;
    QVERIFY(!writePcx(indexed(4, 4, 1), dir.filePath("no/such/dir/x.pcx")));
    QVERIFY(!writePcx(QImage(), dir.filePath("null.pcx")));
    QVERIFY(writePcx(indexed(4, 4, 1), dir.filePath("ok.pcx")));
    QFile f(dir.filePath("ok.pcx"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(readPcx(f.readAll()).size(), QSize(4, 4));
}

QTEST_GUILESS_MAIN(TestPcx)
#include "tst_pcx.moc"

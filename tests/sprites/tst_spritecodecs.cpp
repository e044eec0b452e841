// The pixel encodings of sprite archives and the run-length lines of PCX.
#include "lz5reference.h"
#include "pcx.h"
#include "spritecodecs.h"
#include "spritetestdata.h"

#include <QRandomGenerator>
#include <QtTest>

class TestSpriteCodecs : public QObject
{
    Q_OBJECT
private slots:
    void encodingExamples_data();
    void encodingExamples();
    void malformedDataStaysInsideTheImage_data();
    void malformedDataStaysInsideTheImage();
    void rowsArePaddedAndPaddingIsZero();
    void encodersMatchThePlainSearchAndRoundTrip_data();
    void encodersMatchThePlainSearchAndRoundTrip();
};

namespace {
using spritetest::packedRows;

QByteArray lengthWord(int n)
{
    QByteArray w(4, '\0');
    for (int i = 0; i < 4; ++i)
        w[i] = char((n >> (8 * i)) & 0xFF);
    return w;
}

QImage indexedImage(const QByteArray& pixels, int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.fill(0);
    for (int y = 0; y < height; ++y)
        memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * width, size_t(width));
    return image;
}

QImage decode(const QString& codec, const QByteArray& data, int width, int height)
{
    if (codec == "rle8")
        return decodeRle8(data, width, height, QImage::Format_Indexed8);
    if (codec == "rle5")
        return decodeRle5(data, width, height);
    if (codec == "lz5")
        return decodeLz5(data, width, height);
    return decodeRaw(data, width, height, QImage::Format_Indexed8);
}

// The run-length bytes of the one line of a one-line 8-bit PCX file.
QByteArray pcxLine(const QByteArray& pixels)
{
    const QImage image = indexedImage(pixels, int(pixels.size()), 1);
    const QByteArray file = encodePcx(image);
    return file.mid(128, file.size() - 128 - 769);
}

QByteArray hex(const char* h)
{
    return QByteArray::fromHex(h);
}

// Test data with the shapes of real sprites: runs, repeated rows with small
// changes, dithering, and plain noise over few colours.
QByteArray spriteLike(quint32 seed, int width, int height, int colours)
{
    QRandomGenerator rng(seed);
    QByteArray px(qsizetype(width) * height, '\0');
    for (int y = 0; y < height; ++y) {
        char* row = px.data() + qsizetype(y) * width;
        if (y > 0 && rng.bounded(4) != 0) {
            memcpy(row, row - width, size_t(width));
            for (int k = rng.bounded(4); k > 0; --k) {
                const int x = rng.bounded(width);
                const int len = 1 + rng.bounded(qMin(8, width - x));
                memset(row + x, rng.bounded(colours), size_t(len));
            }
            continue;
        }
        for (int x = 0; x < width;) {
            const int len = qMin(1 + int(rng.bounded(12)), width - x);
            const char c = char(rng.bounded(colours));
            if (rng.bounded(5) == 0) {
                for (int i = 0; i < len; ++i)
                    row[x + i] = char((i & 1) ? c : (c + 1) % colours);
            } else {
                memset(row + x, c, size_t(len));
            }
            x += len;
        }
    }
    return px;
}

QByteArray noise(quint32 seed, int n, int colours)
{
    QRandomGenerator rng(seed);
    QByteArray px(n, '\0');
    for (char& c : px)
        c = char(rng.bounded(colours));
    return px;
}

QByteArray periodic(const QByteArray& unit, int n)
{
    QByteArray px;
    while (px.size() < n)
        px.append(unit);
    px.truncate(n);
    return px;
}
} // namespace

void TestSpriteCodecs::encodingExamples_data()
{
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QByteArray>("pixels");
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<bool>("encodes"); // false: decoding only

    // PCX lines: runs stop at 63; values of 0xC0 and more always need a marker.
    QTest::newRow("pcx: 64 equal bytes") << "pcx" << 64 << 1 << QByteArray(64, '\x05') << hex("ff05" "05") << true;
    QTest::newRow("pcx: 64 equal high bytes") << "pcx" << 64 << 1 << QByteArray(64, '\xc5') << hex("ffc5" "c1c5") << true;
    QTest::newRow("pcx: one high byte, padded") << "pcx" << 1 << 1 << hex("c0") << hex("c1c0" "c300") << true;
    QTest::newRow("pcx: one low byte, padded") << "pcx" << 1 << 1 << hex("7f") << hex("7f" "c300") << true;
    QTest::newRow("pcx: literals") << "pcx" << 4 << 1 << hex("01020304") << hex("01020304") << true;

    // RLE8: a run header is 0x40 | count; literals that look like one need a run of 1.
    QTest::newRow("rle8: 0x45 alone") << "rle8" << 1 << 1 << hex("45") << lengthWord(1) + hex("4145") << true;
    QTest::newRow("rle8: 64 zeros") << "rle8" << 64 << 1 << QByteArray(64, '\0') << lengthWord(64) + hex("7f00" "00") << true;
    QTest::newRow("rle8: literals and runs") << "rle8" << 3 << 2 << hex("010202" "02c0c0")
                                             << lengthWord(6) + hex("01" "4302" "42c0") << true;
    QTest::newRow("rle8: run header of 0") << "rle8" << 2 << 1 << hex("0109") << lengthWord(2) + hex("4007" "01" "09") << false;

    // RLE5: run length - 1, then the colour flag and data count, then 3-bit runs of 5-bit colours.
    QTest::newRow("rle5: two runs of three") << "rle5" << 6 << 1 << hex("070707030303")
                                             << lengthWord(6) + hex("028107" "43") << false;
    QTest::newRow("rle5: colour 0 run, no flag") << "rle5" << 4 << 1 << hex("00000005")
                                                 << lengthWord(4) + hex("0201" "05") << false;
    // The engine writes up to 127 data bytes per packet: the count is 7 bits.
    QTest::newRow("rle5: 40 data bytes") << "rle5" << 41 << 1 << hex("00") + periodic(hex("0102"), 40)
                                         << lengthWord(41) + hex("0028") + periodic(hex("0102"), 40) << false;

    // LZ5: a control byte before each eight packets; RLE and LZ packets.
    QTest::newRow("lz5: short rle") << "lz5" << 1 << 1 << hex("05") << lengthWord(1) + hex("00" "25") << true;
    QTest::newRow("lz5: long rle") << "lz5" << 10 << 1 << QByteArray(10, '\x05') << lengthWord(10) + hex("00" "0502") << true;
    QTest::newRow("lz5: one colour only makes runs of 263") << "lz5" << 600 << 1 << QByteArray(600, '\x07')
                                                            << lengthWord(600) + hex("00" "07ff" "07ff" "0742") << true;
    QTest::newRow("lz5: three-colour pattern at distance 3") << "lz5" << 9 << 1 << hex("010203010203010203")
                                                             << lengthWord(9) + hex("08" "21" "22" "23" "0502") << true;
    // Four short LZ packets: the fourth's offset (6, so v = 5) rides in the
    // top bits of the four length bytes; only the first three have an offset byte.
    QTest::newRow("lz5: four short LZ packets") << "lz5" << 16 << 1 << periodic(hex("010203"), 15) + hex("09")
                                                << lengthWord(16) + hex("78" "21" "22" "23" "0202" "0202" "4202" "42" "29")
                                                << false;
    // Long LZ: 10-bit offset (bits 8-9 in the top of the first byte), length - 3.
    QTest::newRow("lz5: long LZ packets") << "lz5" << 306 << 1 << periodic(hex("010203"), 306)
                                          << lengthWord(306) + hex("38" "21" "22" "23" "0002ff" "000227" "402b00") << false;
}

void TestSpriteCodecs::encodingExamples()
{
    QFETCH(QString, codec);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QByteArray, pixels);
    QFETCH(QByteArray, encoded);
    QFETCH(bool, encodes);
    const QImage image = indexedImage(pixels, width, height);
    if (codec == "pcx") {
        QCOMPARE(pcxLine(pixels).toHex(), encoded.toHex());
        QCOMPARE(packedRows(readPcx(encodePcx(image))), pixels);
        return;
    }
    if (encodes)
        QCOMPARE((codec == "rle8" ? encodeRle8(image) : encodeLz5(image, true)).toHex(), encoded.toHex());
    QCOMPARE(packedRows(decode(codec, encoded, width, height)).toHex(), pixels.toHex());
}

void TestSpriteCodecs::malformedDataStaysInsideTheImage_data()
{
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("pixels");

    QTest::newRow("rle8: run beyond the image") << "rle8" << 2 << 2 << lengthWord(4) + hex("7f05") << hex("05050505");
    QTest::newRow("rle8: literals beyond the image") << "rle8" << 1 << 1 << lengthWord(1) + hex("010203") << hex("01");
    QTest::newRow("rle8: run without its value") << "rle8" << 3 << 1 << lengthWord(3) + hex("0143") << hex("010000");
    QTest::newRow("rle8: no data at all") << "rle8" << 2 << 1 << QByteArray() << hex("0000");
    QTest::newRow("rle8: only a length word") << "rle8" << 2 << 1 << lengthWord(2) << hex("0000");
    QTest::newRow("rle5: run beyond the image") << "rle5" << 2 << 2 << lengthWord(4) + hex("ff8103") << hex("03030303");
    QTest::newRow("rle5: data bytes beyond the image") << "rle5" << 3 << 1 << lengthWord(3) + hex("0003" "ffff") << hex("001f1f");
    QTest::newRow("rle5: colour byte missing") << "rle5" << 3 << 1 << lengthWord(3) + hex("0080") << hex("000000");
    QTest::newRow("rle5: data count beyond the data") << "rle5" << 4 << 1 << lengthWord(4) + hex("007f" "22") << hex("00020200");
    QTest::newRow("lz5: offset before the start") << "lz5" << 4 << 1 << lengthWord(4) + hex("02" "21" "0201") << hex("01000000");
    QTest::newRow("lz5: long offset before the start") << "lz5" << 4 << 1 << lengthWord(4) + hex("01" "c0ff05") << hex("00000000");
    QTest::newRow("lz5: copy beyond the image") << "lz5" << 5 << 1 << lengthWord(5) + hex("08" "21" "22" "23" "3f02") << hex("0102030102");
    QTest::newRow("lz5: long run beyond the image") << "lz5" << 3 << 1 << lengthWord(3) + hex("00" "04ff") << hex("040404");
    QTest::newRow("lz5: long LZ cut short") << "lz5" << 4 << 1 << lengthWord(4) + hex("02" "21" "0001") << hex("01000000");
    QTest::newRow("lz5: short LZ without offset") << "lz5" << 4 << 1 << lengthWord(4) + hex("08" "21" "22" "23" "02") << hex("01020300");
    QTest::newRow("lz5: long RLE without count") << "lz5" << 4 << 1 << lengthWord(4) + hex("00" "21" "05") << hex("01000000");
    QTest::newRow("raw: no data") << "raw" << 2 << 2 << QByteArray() << hex("00000000");
    // Real files store raw data without the length word; a block four bytes
    // longer than the pixels starts with one.
    const QByteArray px = hex("0102030405060708090a0b0c");
    const QByteArray cut = px.left(5) + QByteArray(7, '\0');
    QTest::newRow("raw: exactly the pixels, no word") << "raw" << 4 << 3 << px << px;
    QTest::newRow("raw: four bytes more, a word first") << "raw" << 4 << 3 << lengthWord(12) + px << px;
    QTest::newRow("raw: more than four bytes more") << "raw" << 4 << 3 << lengthWord(12) + px + hex("ffff") << px;
    QTest::newRow("raw: one byte more, ignored") << "raw" << 4 << 3 << px + hex("ee") << px;
    QTest::newRow("raw: short, no word") << "raw" << 4 << 3 << px.left(5) << cut;
    QTest::newRow("raw: short, starting with the word") << "raw" << 4 << 3 << lengthWord(12) + px.left(5) << cut;
}

void TestSpriteCodecs::malformedDataStaysInsideTheImage()
{
    QFETCH(QString, codec);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, pixels);
    const QImage decoded = decode(codec, data, width, height);
    QCOMPARE(decoded.size(), QSize(width, height));
    QCOMPARE(packedRows(decoded).toHex(), pixels.toHex());
}

void TestSpriteCodecs::rowsArePaddedAndPaddingIsZero()
{
    // Width 3: each 3-pixel row sits in a 4-byte row of the image; the
    // encodings run across row ends regardless.
    const QByteArray px = hex("010203" "040506" "070809");
    const QImage image = indexedImage(px, 3, 3);
    const QByteArray rows = hex("01020300" "04050600" "07080900");
    for (const QImage& decoded : {decodeRle8(encodeRle8(image), 3, 3, QImage::Format_Indexed8),
                                  decodeLz5(encodeLz5(image, true), 3, 3), decodeRaw(px, 3, 3, QImage::Format_Indexed8),
                                  decodeRle5(lengthWord(9) + hex("0088" "01" "0203040506070809"), 3, 3)}) {
        QCOMPARE(decoded.bytesPerLine(), 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(decoded.constBits()), 12).toHex(), rows.toHex());
    }
}

void TestSpriteCodecs::encodersMatchThePlainSearchAndRoundTrip_data()
{
    QTest::addColumn<QByteArray>("pixels");
    QTest::addColumn<int>("width");
    for (quint32 seed = 1; seed <= 12; ++seed) {
        const int width = 8 + int(seed * 37 % 90);
        QTest::addRow("sprite-like %u", seed) << spriteLike(seed, width, 1500 / width, 32) << width;
    }
    for (quint32 seed = 1; seed <= 4; ++seed) {
        QTest::addRow("noise of 2 colours %u", seed) << noise(seed, 1200, 2) << 40;
        QTest::addRow("noise of 3 colours %u", seed) << noise(seed + 100, 1200, 3) << 50;
    }
    QTest::newRow("period 3, long") << periodic(hex("010203"), 1500) << 100;
    QTest::newRow("period 2") << periodic(hex("0102"), 1500) << 50;
    QTest::newRow("period 300 (long distances)") << periodic(noise(7, 300, 32), 2400) << 60;
    QTest::newRow("period 1023") << periodic(noise(8, 1023, 4), 2200) << 100;
    QTest::newRow("period 1024 (just out of reach)") << periodic(noise(9, 1024, 4), 2200) << 100;
    QTest::newRow("runs of one colour") << periodic(QByteArray(300, 1) + QByteArray(300, 2), 1600) << 80;
    QTest::newRow("one colour") << QByteArray(1200, '\x04') << 40;
    QByteArray mixed = spriteLike(99, 64, 20, 6);
    mixed += periodic(hex("0a0b0c0d"), 700);
    mixed += spriteLike(98, 64, 10, 6);
    QTest::newRow("mixed") << mixed << 64;
}

void TestSpriteCodecs::encodersMatchThePlainSearchAndRoundTrip()
{
    QFETCH(QByteArray, pixels);
    const Lz5MatchFinder finder(pixels);
    for (int p = 0; p < pixels.size(); ++p) {
        const Lz5Match fast = finder.find(p);
        const Lz5Match plain = lz5reference::search(pixels, p);
        if (fast.length != plain.length || fast.distance != plain.distance)
            QFAIL(qPrintable(QStringLiteral("at %1: %2@%3, plain search %4@%5")
                                 .arg(p).arg(fast.length).arg(fast.distance).arg(plain.length).arg(plain.distance)));
    }
    QCOMPARE(encodeLz5Packed(pixels, true).toHex(), lz5reference::encode(pixels, true).toHex());
    QCOMPARE(encodeLz5Packed(pixels, false).toHex(), lz5reference::encode(pixels, false).toHex());

    QFETCH(int, width);
    const int height = int(pixels.size() / width);
    const QImage image = indexedImage(pixels, width, height);
    const QByteArray px = packedRows(image);
    QCOMPARE(packedRows(decodeLz5(encodeLz5(image, true), width, height)), px);
    QCOMPARE(packedRows(decodeLz5(encodeLz5(image, false), width, height)), px);
    QCOMPARE(packedRows(decodeRle8(encodeRle8(image), width, height, QImage::Format_Indexed8)), px);
}

QTEST_GUILESS_MAIN(TestSpriteCodecs)
#include "tst_spritecodecs.moc"

// The pixel encodings of sprite archives, and PCX images.
#include "lz5reference.h"
#include "pcx.h"
#include "spritecodecs.h"
#include "spritetestdata.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using spritetest::packedRows;

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

QByteArray lengthWord(int n)
{
    QByteArray w;
    LeWriter(&w).u32(quint32(n));
    return w;
}

QImage indexedImage(const QByteArray& pixels, int width, int height)
{
    return QImage(reinterpret_cast<const uchar*>(pixels.constData()), width, height, width, QImage::Format_Indexed8).copy();
}

// A PCX file: its header fields, then the encoded lines and what follows.
struct PcxHeader {
    int manufacturer = 10, version = 5, bitsPerPixel = 8;
    int xMin = 0, yMin = 0, xMax = 1, yMax = 0;
    int planes = 1, bytesPerLine = 2;
};
QByteArray pcx(const PcxHeader& h, const QByteArray& body)
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

QImage decode(const QString& codec, const QByteArray& data, int width, int height)
{
    if (codec == "pcx")
        return readPcx(data);
    if (codec == "rle8")
        return decodeRle8(data, width, height, QImage::Format_Indexed8);
    if (codec == "rle5")
        return decodeRle5(data, width, height);
    if (codec == "lz5")
        return decodeLz5(data, width, height);
    return decodeRaw(data, width, height, QImage::Format_Indexed8);
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
    return unit.repeated(n / unit.size() + 1).left(n);
}
} // namespace

class TestSpriteCodecs : public QObject
{
    Q_OBJECT
private slots:
    void encodingExamples_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<QByteArray>("encoded"); // for PCX: the encoded line
        QTest::addColumn<bool>("encodes");       // false: decoding only

        // PCX lines: runs stop at 63; values of 0xC0 and more always need a marker; lines are padded to even.
        QTest::newRow("pcx: 64 equal bytes") << "pcx" << 64 << 1 << QByteArray(64, '\x05') << hex("ff05" "05") << true;
        QTest::newRow("pcx: 64 equal high bytes") << "pcx" << 64 << 1 << QByteArray(64, '\xc5') << hex("ffc5" "c1c5") << true;
        QTest::newRow("pcx: one high byte, padded") << "pcx" << 1 << 1 << hex("c0") << hex("c1c0" "c300") << true;
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
        QTest::newRow("rle5: 40 data bytes (a 7-bit count)") << "rle5" << 41 << 1 << hex("00") + periodic(hex("0102"), 40)
                                                             << lengthWord(41) + hex("0028") + periodic(hex("0102"), 40) << false;
        // LZ5: a control byte before each eight packets; RLE and LZ packets.
        QTest::newRow("lz5: short rle") << "lz5" << 1 << 1 << hex("05") << lengthWord(1) + hex("00" "25") << true;
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

    void encodingExamples()
    {
        QFETCH(QString, codec);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, pixels);
        QFETCH(QByteArray, encoded);
        QFETCH(bool, encodes);
        const QImage image = indexedImage(pixels, width, height);
        if (codec == "pcx") {
            const QByteArray file = encodePcx(image);
            QCOMPARE(file.mid(128, file.size() - 128 - 769).toHex(), encoded.toHex());
            encoded = file;
        } else if (encodes) {
            QCOMPARE((codec == "rle8" ? encodeRle8(image) : encodeLz5(image, true)).toHex(), encoded.toHex());
        }
        QCOMPARE(packedRows(decode(codec, encoded, width, height)).toHex(), pixels.toHex());
    }

    void malformedDataStaysInsideTheImage_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("width"); // 0 x 0: a file refused
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("pixels");

        QTest::newRow("rle8: run beyond the image") << "rle8" << 2 << 2 << lengthWord(4) + hex("7f05") << hex("05050505");
        QTest::newRow("rle8: literals beyond the image") << "rle8" << 1 << 1 << lengthWord(1) + hex("010203") << hex("01");
        QTest::newRow("rle8: run without its value") << "rle8" << 3 << 1 << lengthWord(3) + hex("0143") << hex("010000");
        QTest::newRow("rle5: run beyond the image") << "rle5" << 2 << 2 << lengthWord(4) + hex("ff8103") << hex("03030303");
        QTest::newRow("rle5: data bytes beyond the image") << "rle5" << 3 << 1 << lengthWord(3) + hex("0003" "ffff") << hex("001f1f");
        QTest::newRow("rle5: data count beyond the data") << "rle5" << 4 << 1 << lengthWord(4) + hex("007f" "22") << hex("00020200");
        QTest::newRow("lz5: offset before the start") << "lz5" << 4 << 1 << lengthWord(4) + hex("02" "21" "0201") << hex("01000000");
        QTest::newRow("lz5: long offset before the start") << "lz5" << 4 << 1 << lengthWord(4) + hex("01" "c0ff05") << hex("00000000");
        QTest::newRow("lz5: copy beyond the image") << "lz5" << 5 << 1 << lengthWord(5) + hex("08" "21" "22" "23" "3f02") << hex("0102030102");
        QTest::newRow("lz5: long run beyond the image") << "lz5" << 3 << 1 << lengthWord(3) + hex("00" "04ff") << hex("040404");
        QTest::newRow("lz5: long LZ cut short") << "lz5" << 4 << 1 << lengthWord(4) + hex("02" "21" "0001") << hex("01000000");
        QTest::newRow("lz5: short LZ without offset") << "lz5" << 4 << 1 << lengthWord(4) + hex("08" "21" "22" "23" "02") << hex("01020300");
        QTest::newRow("lz5: long RLE without count") << "lz5" << 4 << 1 << lengthWord(4) + hex("00" "21" "05") << hex("01000000");
        // Real files store raw data without the length word; a block four bytes
        // longer than the pixels starts with one.
        const QByteArray px = hex("0102030405060708090a0b0c");
        const QByteArray cut = px.left(5) + QByteArray(7, '\0');
        QTest::newRow("raw: exactly the pixels, no word") << "raw" << 4 << 3 << px << px;
        QTest::newRow("raw: four bytes more, a word first") << "raw" << 4 << 3 << lengthWord(12) + px << px;
        QTest::newRow("raw: one byte more, ignored") << "raw" << 4 << 3 << px + hex("ee") << px;
        QTest::newRow("raw: short, no word") << "raw" << 4 << 3 << px.left(5) << cut;
        QTest::newRow("raw: short, starting with the word") << "raw" << 4 << 3 << lengthWord(12) + px.left(5) << cut;
        // PCX files: odd headers that still read, and ones refused.
        const QByteArray line = hex("0102");
        QTest::newRow("pcx: xMin and yMin other than 0")
            << "pcx" << 2 << 2 << pcx({.xMin = 10, .yMin = 20, .xMax = 11, .yMax = 21}, line.repeated(2)) << hex("01020102");
        QTest::newRow("pcx: 3 planes, a line of reds, greens, blues")
            << "pcx" << 2 << 1 << pcx({.planes = 3}, hex("0a14" "1e28" "3246")) << hex("0a1e32" "142846");
        QTest::newRow("pcx: lines cut short, the rest 0")
            << "pcx" << 4 << 3 << pcx({.xMax = 3, .yMax = 2, .bytesPerLine = 4}, hex("01020304" "c305"))
            << hex("01020304" "05050500" "00000000");
        QTest::newRow("pcx: runs stop at the end of a line")
            << "pcx" << 3 << 2 << pcx({.xMax = 2, .yMax = 1, .bytesPerLine = 4}, hex("ca07" "0102c100c0" "09"))
            << hex("070707" "010200");
        QTest::newRow("pcx: wrong manufacturer") << "pcx" << 0 << 0 << pcx({.manufacturer = 11}, line) << QByteArray();
        QTest::newRow("pcx: xMax before xMin") << "pcx" << 0 << 0 << pcx({.xMin = 5}, line) << QByteArray();
        QTest::newRow("pcx: header cut short") << "pcx" << 0 << 0 << pcx({}, {}).left(100) << QByteArray();
        QTest::newRow("pcx: huge header over tiny data") << "pcx" << 0 << 0
            << pcx({.xMax = 65535, .yMax = 65535, .bytesPerLine = 65535}, QByteArray(200, '\xff')) << QByteArray();
    }

    void malformedDataStaysInsideTheImage()
    {
        QFETCH(QString, codec);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, pixels);
        const QImage decoded = decode(codec, data, width, height);
        QCOMPARE(decoded.size(), QSize(width, height));
        QCOMPARE(packedRows(decoded).toHex(), pixels.toHex());
        if (codec == "pcx") // what the loader reserves before reading is what the image takes
            QCOMPARE(pcxImageBytes(data), decoded.sizeInBytes());
    }

    void encodersMatchThePlainSearchAndRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<int>("width");
        // Real sprites first (up to 3 000 pixels of each, colours cut to 5 bits), then data made to reach the edges of the search.
        CORPUS_OR_SKIP(fightfx, "data/fightfx.sff");
        QSprites real(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(real.load(fightfx));
        for (int i = 0; i < real.spriteCount(); i += 9) {
            const QImage image = real.spriteImage(i);
            const int height = qMin(image.height(), 3000 / image.width());
            QByteArray px = packedRows(image.copy(0, 0, image.width(), height));
            for (char& c : px) // LZ5 carries 5-bit colours
                c &= 0x1F;
            QTest::addRow("fightfx sprite %d", i) << px << image.width();
        }
        for (quint32 seed = 1; seed <= 4; ++seed)
            QTest::addRow("noise of %u colours", seed + 1) << noise(seed, 1200, int(seed) + 1) << 40;
        QTest::newRow("period 300 (long distances)") << periodic(noise(7, 300, 32), 2400) << 60;
        QTest::newRow("period 1023") << periodic(noise(8, 1023, 4), 2200) << 100;
        QTest::newRow("period 1024 (just out of reach)") << periodic(noise(9, 1024, 4), 2200) << 100;
        QTest::newRow("runs of one colour") << periodic(QByteArray(300, 1) + QByteArray(300, 2), 1600) << 80;
    }

    void encodersMatchThePlainSearchAndRoundTrip()
    {
        QFETCH(QByteArray, pixels);
        QFETCH(int, width);
        const Lz5MatchFinder finder(pixels);
        for (int p = 0; p < pixels.size(); ++p) {
            const Lz5Match fast = finder.find(p), plain = lz5reference::search(pixels, p);
            if (fast.length != plain.length || fast.distance != plain.distance)
                QFAIL(qPrintable(QStringLiteral("at %1: %2@%3, plain search %4@%5")
                                     .arg(p).arg(fast.length).arg(fast.distance).arg(plain.length).arg(plain.distance)));
        }
        const int height = int(pixels.size() / width);
        const QImage image = indexedImage(pixels, width, height);
        for (bool full : {true, false}) {
            QCOMPARE(encodeLz5Packed(pixels, full).toHex(), lz5reference::encode(pixels, full).toHex());
            QCOMPARE(packedRows(decodeLz5(encodeLz5(image, full), width, height)), pixels.left(width * height));
        }
        QCOMPARE(packedRows(decodeRle8(encodeRle8(image), width, height, QImage::Format_Indexed8)), pixels.left(width * height));
        const QByteArray pcxFile = encodePcx(image);
        QCOMPARE(int(LeReader(pcxFile, 66).u16()), image.bytesPerLine()); // the row stride, padding included
        QCOMPARE(packedRows(readPcx(pcxFile)), pixels.left(width * height));
    }

    void pcxFilesRoundTrip()
    {
        // Indexed images go through the round trips above; here the true-colour
        // ones, and a colour table short of 256 (the rest written black).
        QImage rgb(7, 3, QImage::Format_RGB888), argb(5, 4, QImage::Format_ARGB32), two(5, 1, QImage::Format_Indexed8);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) {
                rgb.setPixel(x % 7, y % 3, qRgb(x * 30, y * 80, 200 - x));
                argb.setPixel(x % 5, y, qRgba(x * 50, 255 - y * 60, 7, x * 60));
            }
        two.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
        two.fill(1);
        QTemporaryDir dir;
        for (const QImage& image : {rgb, argb, rgb.convertToFormat(QImage::Format_RGB32), two}) {
            QVERIFY(!writePcx(image, dir.filePath("no/such/dir/x.pcx")));
            QVERIFY(writePcx(image, dir.filePath("x.pcx")));
            // Bytes after the palette do not move it: it is read right after the last line.
            const QByteArray file = testsupport::readFile(dir.filePath("x.pcx")) + QByteArray(100, 'x');
            const QImage back = readPcx(file);
            QCOMPARE(back.convertToFormat(image.format()), image);
            QCOMPARE(int(LeReader(file, 66).u16()), image.format() == QImage::Format_Indexed8 ? 8 : image.width() + image.width() % 2);
        }
        QCOMPARE(readPcx(encodePcx(two)).colorTable().mid(1, 2), (QList<QRgb>{qRgb(4, 5, 6), qRgb(0, 0, 0)}));
    }
};

QTEST_GUILESS_MAIN(TestSpriteCodecs)
#include "tst_spritecodecs.moc"

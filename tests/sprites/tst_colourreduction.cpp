// Images that are not 8-bit indexed become sprites: exact colours while they
// fit, transparency on index 0, and a median cut that keeps a gradient a
// gradient.
#include "colourreduction.h"
#include "qsprites.h"
#include "testsupport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestColourReduction : public QObject
{
    Q_OBJECT
private slots:
    void indexedImagesStayAsTheyAre();
    void fewColoursStayExact_data();
    void fewColoursStayExact();
    void gradientLooksLikeItsSource_data();
    void gradientLooksLikeItsSource();
    void transparencyKeepsIndexZeroWhenReduced();
    void importedTrueColourSprite();
};

namespace {

// Up to `colours` distinct opaque colours laid out row by row, and optionally
// a fully transparent first column.
QImage palettedArgb(int colours, bool transparentColumn)
{
    QImage img(32, (colours + 31) / 32, QImage::Format_ARGB32);
    img.fill(qRgb(0, 0, 0));
    for (int i = 0; i < colours; ++i)
        img.setPixel(i % 32, i / 32, qRgb(i, 255 - i, (i * 7) & 255));
    // Fill the rest of the last row with colour 0 so nothing new appears.
    for (int i = colours; i < img.width() * img.height(); ++i)
        img.setPixel(i % 32, i / 32, qRgb(0, 255, 0));
    if (transparentColumn)
        for (int y = 0; y < img.height(); ++y)
            img.setPixel(0, y, qRgba(90, 90, 90, 0));
    return img;
}

// Red runs along x, green along y, blue along both: 65 536 colours.
QImage gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2)));
    return img;
}

struct Difference
{
    double mean = 0; // per channel
    int worst = 0;
};

Difference compare(const QImage& source, const QImage& indexed)
{
    Difference d;
    qint64 total = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb a = source.pixel(x, y);
            const QRgb b = indexed.color(indexed.pixelIndex(x, y));
            for (int e : {qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))}) {
                total += e;
                d.worst = qMax(d.worst, e);
            }
        }
    }
    d.mean = double(total) / (3.0 * source.width() * source.height());
    return d;
}

} // namespace

void TestColourReduction::indexedImagesStayAsTheyAre()
{
    QImage img(5, 3, QImage::Format_Indexed8);
    img.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)});
    img.fill(2);
    img.setPixel(1, 1, 0);
    QCOMPARE(toIndexed8(img), img);
}

void TestColourReduction::fewColoursStayExact_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("2 colours") << 2 << false;
    QTest::newRow("100 colours") << 100 << false;
    QTest::newRow("256 colours") << 256 << false;
    QTest::newRow("100 colours and transparency") << 100 << true;
    QTest::newRow("255 colours and transparency") << 255 << true;
}

void TestColourReduction::fewColoursStayExact()
{
    QFETCH(int, colours);
    QFETCH(bool, transparent);
    const QImage src = palettedArgb(colours, transparent);
    const QImage out = toIndexed8(src);
    QCOMPARE(out.format(), QImage::Format_Indexed8);
    QCOMPARE(out.size(), src.size());
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            const QRgb s = src.pixel(x, y);
            const int i = out.pixelIndex(x, y);
            if (qAlpha(s) == 0) {
                QCOMPARE(i, 0);
            } else {
                QCOMPARE(out.color(i), s);
                QVERIFY2(!transparent || i != 0, "an opaque pixel must not take the transparent index");
            }
        }
    }
    if (!transparent) // the first colour met takes index 0
        QCOMPARE(out.pixelIndex(0, 0), 0);
}

void TestColourReduction::gradientLooksLikeItsSource_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("256 x 256") << 256 << 256;
    QTest::newRow("640 x 120") << 640 << 120;
}

void TestColourReduction::gradientLooksLikeItsSource()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage src = gradient(width, height);
    const QImage out = toIndexed8(src);
    QCOMPARE(out.format(), QImage::Format_Indexed8);
    QCOMPARE(out.colorTable().size(), 256);
    QSet<int> used;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            used.insert(out.pixelIndex(x, y));
    // Index 0 is the transparent colour: no opaque pixel may use it.
    QVERIFY(!used.contains(0));
    QCOMPARE(used.size(), 255);
    const Difference d = compare(src, out);
    qInfo("gradient %dx%d: mean error %.2f, worst %d per channel", width, height, d.mean, d.worst);
    QVERIFY2(d.mean < 4.0, qPrintable(QString::number(d.mean)));
    QVERIFY2(d.worst <= 16, qPrintable(QString::number(d.worst)));
    // Source on the left, result on the right, for a person to compare.
    QImage both(2 * width + 8, height, QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter p(&both);
    p.drawImage(0, 0, src);
    p.drawImage(width + 8, 0, out.convertToFormat(QImage::Format_RGB32));
    p.end();
    QVERIFY(both.save(QString("%1/gradient-reduced-%2x%3.png").arg(testsupport::snapshotDir()).arg(width).arg(height)));
}

void TestColourReduction::transparencyKeepsIndexZeroWhenReduced()
{
    // 256 opaque colours and transparent pixels do not fit 256 indices.
    QImage src = gradient(64, 64);
    src = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        src.setPixel(y, y, qRgba(255, 255, 255, 0));
    src.setPixel(3, 0, qRgba(250, 0, 0, 40)); // faint but not transparent
    const QImage out = toIndexed8(src);
    QCOMPARE(out.colorTable().value(0), qRgb(0, 0, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            QCOMPARE(out.pixelIndex(x, y) == 0, x == y);
    QVERIFY(compare(gradient(64, 64).copy(20, 10, 40, 1), out.copy(20, 10, 40, 1)).worst <= 16);
}

void TestColourReduction::importedTrueColourSprite()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("gradient.png");
    const QImage src = gradient(256, 256);
    QVERIFY(src.save(name));
    QSprites sprites(nullptr, 0, false, -1);
    sprites.addSprite();
    QVERIFY(sprites.loadImage(0, name));
    const QImage sprite = sprites.spriteImage(0);
    QCOMPARE(sprite.size(), src.size());
    QCOMPARE(sprites.paletteCount(), 1);
    QVERIFY(compare(src, sprite).mean < 4.0);
}

QTEST_GUILESS_MAIN(TestColourReduction)
#include "tst_colourreduction.moc"

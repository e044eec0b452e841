// The compiled-in images: every path the program asks for must load, at the
// size the window and the renderer were laid out for.
#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QStringList actionIconNames = {
    "new",       "open",      "save",      "openimg",  "saveimg",   "duplimg",     "delete",
    "openpal",   "savepal",   "duplpal",   "opensound", "savesound", "duplsound",  "play",
    "playloop",  "stop",      "edittxt",   "gif",      "find",      "organizer",   "addclsn1",
    "addclsn2",  "delclsn",   "clsntype",  "clsndef",  "switchcolor", "colorpicker", "setcolor",
};

int luminance(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

QImage load(const QString& path, QByteArray* format = nullptr)
{
    QImageReader reader(path);
    if (format)
        *format = reader.format();
    return reader.read();
}

bool hasTransparentPixel(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 0)
                return true;
    return false;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void actionIcons_data();
    void actionIcons();
    void noStrayActionIcons();
    void issueIcons_data();
    void issueIcons();
    void splashLeavesThePlainBandForTheNotice();
    void applicationIconHasEverySize();
    void axisMarkers_data();
    void axisMarkers();
    void axisMarkersDiffer();
    void everyPathInTheSourcesLoads();
};

void TestResources::actionIcons_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& name : actionIconNames)
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/icons/Nuvola/%1.png").arg(name);
}

void TestResources::actionIcons()
{
    QFETCH(QString, path);
    const QImage image = load(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(24, 24));
    // Tool buttons sit on whatever the style paints: the background must show through.
    QVERIFY(image.hasAlphaChannel());
    QVERIFY(hasTransparentPixel(image));
    QVERIFY(!QIcon(path).pixmap(24, 24).isNull());
}

void TestResources::noStrayActionIcons()
{
    QSet<QString> found;
    QDirIterator it(":/icons/Nuvola");
    while (it.hasNext()) {
        it.next();
        found.insert(it.fileName());
    }
    QSet<QString> expected;
    for (const QString& name : actionIconNames)
        expected.insert(name + ".png");
    QCOMPARE(found, expected);
}

void TestResources::issueIcons_data()
{
    QTest::addColumn<QString>("path");
    for (const char* name : {"error", "warn", "info"})
        QTest::newRow(name) << QStringLiteral(":/msgs/Nuvola/%1.png").arg(QLatin1String(name));
}

void TestResources::issueIcons()
{
    QFETCH(QString, path);
    const QImage image = load(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(24, 24));
}

void TestResources::splashLeavesThePlainBandForTheNotice()
{
    QByteArray format;
    const QImage splash = load(":/imgs/Imgs/Splash.jpg", &format);
    QVERIFY(!splash.isNull());
    QCOMPARE(format, QByteArray("jpeg"));
    QCOMPARE(splash.size(), QSize(400, 250));

    // The start-up notice is written in black, centred at the bottom: the last
    // 30 rows must be light and even so that it stays readable.
    int lightest = 0, darkest = 255;
    for (int y = splash.height() - 30; y < splash.height(); ++y)
        for (int x = 0; x < splash.width(); ++x) {
            const int l = luminance(splash.pixel(x, y));
            lightest = qMax(lightest, l);
            darkest = qMin(darkest, l);
        }
    QVERIFY2(darkest >= 220, qPrintable(QString("darkest pixel of the band: %1").arg(darkest)));
    QVERIFY2(lightest - darkest <= 12, qPrintable(QString("band varies by %1").arg(lightest - darkest)));

    // And the picture above it is not blank.
    int dark = 0;
    for (int y = 0; y < splash.height() - 40; ++y)
        for (int x = 0; x < splash.width(); ++x)
            if (luminance(splash.pixel(x, y)) < 128)
                ++dark;
    QVERIFY(dark > splash.width() * 10);
}

void TestResources::applicationIconHasEverySize()
{
    QImageReader reader(":/imgs/Imgs/app.ico");
    QCOMPARE(reader.format(), QByteArray("ico"));
    QCOMPARE(reader.imageCount(), 3);
    QSet<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY(image.hasAlphaChannel());
        sizes.insert(image.width());
    }
    QCOMPARE(sizes, (QSet<int>{16, 32, 48}));

    // The window icon is set from the file through QIcon, which must see all three.
    const QIcon icon(":/imgs/Imgs/app.ico");
    QVERIFY(!icon.isNull());
    const QList<QSize> available = icon.availableSizes();
    for (int s : {16, 32, 48})
        QVERIFY2(available.contains(QSize(s, s)), qPrintable(QString::number(s)));
}

void TestResources::axisMarkers_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("sprite axis") << ":/imgs/Imgs/sff.png";
    QTest::newRow("frame offset") << ":/imgs/Imgs/air.png";
}

void TestResources::axisMarkers()
{
    QFETCH(QString, path);
    const QImage marker = load(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!marker.isNull());
    // The renderer centres the marker with width >> 1: only an odd size puts
    // the middle pixel exactly on the marked point.
    QCOMPARE(marker.width() % 2, 1);
    QCOMPARE(marker.height() % 2, 1);
    QVERIFY(marker.width() <= 15 && marker.height() <= 15);
    QCOMPARE(qAlpha(marker.pixel(marker.width() / 2, marker.height() / 2)), 255);
    QCOMPARE(qAlpha(marker.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(marker.pixel(marker.width() - 1, marker.height() - 1)), 0);
    // Seen on a light and on a dark background alike: it needs both a dark
    // rim and a light core.
    bool hasDark = false, hasLight = false;
    for (int y = 0; y < marker.height(); ++y)
        for (int x = 0; x < marker.width(); ++x) {
            const QRgb c = marker.pixel(x, y);
            if (qAlpha(c) < 255)
                continue;
            hasDark |= luminance(c) < 60;
            hasLight |= luminance(c) > 120;
        }
    QVERIFY(hasDark);
    QVERIFY(hasLight);
}

void TestResources::axisMarkersDiffer()
{
    const QImage axis = load(":/imgs/Imgs/sff.png").convertToFormat(QImage::Format_ARGB32);
    const QImage offset = load(":/imgs/Imgs/air.png").convertToFormat(QImage::Format_ARGB32);
    QVERIFY(axis != offset);
    // Both markers sit on the same point when the frame offset is zero; the
    // colours of their cores tell them apart.
    const QRgb a = axis.pixel(axis.width() / 2, axis.height() / 2);
    const QRgb b = offset.pixel(offset.width() / 2, offset.height() / 2);
    QVERIFY(qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) > 120);
}

void TestResources::everyPathInTheSourcesLoads()
{
    // Forms and code name images by resource path; a typo there only shows as
    // a missing icon, so look for every such path and load it.
    const QString srcDir = QStringLiteral(MORVANE_SOURCE_DIR "/src");
    const QRegularExpression pathRe(QStringLiteral(R"(:/(?:imgs|icons|msgs)/[A-Za-z0-9_./-]+)"));
    QSet<QString> paths;
    QDirIterator it(srcDir, {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (const QRegularExpressionMatch& m : pathRe.globalMatch(text))
            paths.insert(m.captured());
    }
    QVERIFY2(!paths.isEmpty(), "no resource path found in the sources");
    for (const QString& path : std::as_const(paths)) {
        QVERIFY2(QFile::exists(path), qPrintable(path + " is not compiled in"));
        QVERIFY2(!load(path).isNull(), qPrintable(path + " does not load"));
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"

// The compiled-in images: every path the program asks for must load, at the
// size the window and the renderer were laid out for.
#include <QDirIterator>
#include <QIcon>
#include <QImageReader>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QStringList actionIconNames = {
    "new",      "open",    "save",      "openimg",  "saveimg",     "duplimg",     "delete",   "openpal",
    "savepal",  "duplpal", "opensound", "savesound", "duplsound",  "play",        "playloop", "stop",
    "edittxt",  "gif",     "find",      "organizer", "addclsn1",   "addclsn2",    "delclsn",  "clsntype",
    "clsndef",  "switchcolor", "colorpicker", "setcolor",
};

int luminance(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

QImage load(const QString& path)
{
    return QImageReader(path).read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void icons_data();
    void icons();
    void splashLeavesThePlainBandForTheNotice();
    void applicationIconHasEverySize();
    void axisMarkers();
    void everyPathInTheSourcesLoads();
};

void TestResources::icons_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& name : actionIconNames)
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/icons/Nuvola/%1.png").arg(name);
    for (const char* name : {"error", "warn", "info"})
        QTest::newRow(name) << QStringLiteral(":/msgs/Nuvola/%1.png").arg(QLatin1String(name));
}

void TestResources::icons()
{
    QFETCH(QString, path);
    const QImage image = load(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(24, 24));
    // Icons sit on whatever the style paints: the background must show through.
    bool transparent = false;
    for (int y = 0; y < 24 && !transparent; ++y)
        for (int x = 0; x < 24 && !transparent; ++x)
            transparent = qAlpha(image.pixel(x, y)) == 0;
    QVERIFY(transparent);
}

void TestResources::splashLeavesThePlainBandForTheNotice()
{
    QImageReader reader(":/imgs/Imgs/Splash.jpg");
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage splash = reader.read();
    QCOMPARE(splash.size(), QSize(400, 250));

    // The start-up notice is written in black, centred at the bottom: the last
    // 30 rows must be light and even so that it stays readable, and the
    // picture above them is not blank.
    int lightest = 0, darkest = 255, darkAbove = 0;
    for (int y = 0; y < splash.height(); ++y)
        for (int x = 0; x < splash.width(); ++x) {
            const int l = luminance(splash.pixel(x, y));
            if (y >= splash.height() - 30) {
                lightest = qMax(lightest, l);
                darkest = qMin(darkest, l);
            } else if (y < splash.height() - 40) {
                darkAbove += l < 128;
            }
        }
    QVERIFY2(darkest >= 220, qPrintable(QString("darkest pixel of the band: %1").arg(darkest)));
    QVERIFY2(lightest - darkest <= 12, qPrintable(QString("band varies by %1").arg(lightest - darkest)));
    QVERIFY(darkAbove > splash.width() * 10);
}

void TestResources::applicationIconHasEverySize()
{
    // The window icon is set from the file through QIcon, which must see every size.
    QImageReader reader(":/imgs/Imgs/app.ico");
    QCOMPARE(reader.format(), QByteArray("ico"));
    QCOMPARE(reader.imageCount(), 3);
    QList<QSize> sizes = QIcon(":/imgs/Imgs/app.ico").availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    QCOMPARE(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    QVERIFY(reader.read().hasAlphaChannel());
}

void TestResources::axisMarkers()
{
    const char* const paths[] = {":/imgs/Imgs/sff.png", ":/imgs/Imgs/air.png"}; // sprite axis, frame offset
    QRgb cores[2];
    for (int i = 0; i < 2; ++i) {
        const QImage marker = load(paths[i]);
        // The renderer centres the marker with width >> 1: only an odd size
        // puts the middle pixel exactly on the marked point.
        QVERIFY2(marker.width() % 2 == 1 && marker.height() % 2 == 1, paths[i]);
        QVERIFY(marker.width() <= 15 && marker.height() <= 15);
        cores[i] = marker.pixel(marker.width() / 2, marker.height() / 2);
        QCOMPARE(qAlpha(cores[i]), 255);
        QCOMPARE(qAlpha(marker.pixel(0, 0)) + qAlpha(marker.pixel(marker.width() - 1, marker.height() - 1)), 0);
        // Seen on a light and on a dark background alike: it needs both a dark
        // rim and a light core.
        bool hasDark = false, hasLight = false;
        for (int y = 0; y < marker.height(); ++y)
            for (int x = 0; x < marker.width(); ++x) {
                const QRgb c = marker.pixel(x, y);
                hasDark |= qAlpha(c) == 255 && luminance(c) < 60;
                hasLight |= qAlpha(c) == 255 && luminance(c) > 120;
            }
        QVERIFY2(hasDark && hasLight, paths[i]);
    }
    // Both markers sit on the same point when the frame offset is zero; the
    // colours of their cores tell them apart.
    const QRgb a = cores[0], b = cores[1];
    QVERIFY(qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) > 120);
}

void TestResources::everyPathInTheSourcesLoads()
{
    // Forms and code name images by resource path; a typo there only shows as
    // a missing icon, so look for every such path and load it.
    const QRegularExpression pathRe(QStringLiteral(R"(:/(?:imgs|icons|msgs)/[A-Za-z0-9_./-]+)"));
    QSet<QString> paths;
    QDirIterator it(MORVANE_SOURCE_DIR "/src", {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        QVERIFY(f.open(QIODevice::ReadOnly));
        for (const QRegularExpressionMatch& m : pathRe.globalMatch(QString::fromUtf8(f.readAll())))
            paths.insert(m.captured());
    }
    QVERIFY2(!paths.isEmpty(), "no resource path found in the sources");
    for (const QString& path : std::as_const(paths))
        QVERIFY2(!load(path).isNull(), qPrintable(path + " does not load"));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"

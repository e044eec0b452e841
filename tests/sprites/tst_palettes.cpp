// Palettes: the colour effects and change signals of the palette being
// edited, ACT files, the remap table, and images reduced to 256 colours.
#include "colourreduction.h"
#include "qremapmodel.h"
#include "qrgbpalette.h"
#include "qsprites.h"
#include "testsupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Entry i has the colour (i, 255 - i, i / 2): every entry differs.
QByteArray ramp()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i)).append(char(255 - i)).append(char(i / 2));
    return b;
}
} // namespace

class TestPalettes : public QObject
{
    Q_OBJECT
private slots:
    void effects_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QColor>("before");
        QTest::addColumn<QColor>("after");
        const QColor c(10, 100, 200), white(255, 255, 255), black(0, 0, 0);
        QTest::newRow("empty item") << int(PaletteEffect::NoEffect) << c << c;
        QTest::newRow("Blue to Red") << int(PaletteEffect::BlueToRed) << c << QColor(200, 100, 10);
        QTest::newRow("Blue to Green") << int(PaletteEffect::BlueToGreen) << c << QColor(10, 200, 100);
        QTest::newRow("Green to Red") << int(PaletteEffect::GreenToRed) << c << QColor(100, 10, 200);
        QTest::newRow("Green to Blue") << int(PaletteEffect::GreenToBlue) << c << QColor(10, 200, 100);
        QTest::newRow("Red to Green") << int(PaletteEffect::RedToGreen) << c << QColor(100, 10, 200);
        QTest::newRow("Red to Blue") << int(PaletteEffect::RedToBlue) << c << QColor(200, 100, 10);
        QTest::newRow("Lighter") << int(PaletteEffect::Lighter) << c << QColor(42, 132, 232);
        QTest::newRow("Lighter stops at white") << int(PaletteEffect::Lighter) << QColor(230, 240, 250) << white;
        QTest::newRow("Darker stops at black") << int(PaletteEffect::Darker) << QColor(31, 32, 200) << QColor(0, 0, 168);
        QTest::newRow("Monochrome, truncated") << int(PaletteEffect::Monochrome) << c << QColor(103, 103, 103);
        QTest::newRow("Fire") << int(PaletteEffect::Fire) << c << QColor(203, 51, 0);
        QTest::newRow("Fire on white") << int(PaletteEffect::Fire) << white << QColor(255, 127, 0);
        QTest::newRow("Fire on black") << int(PaletteEffect::Fire) << black << QColor(100, 0, 0);
        QTest::newRow("Saphire on white") << int(PaletteEffect::Saphire) << white << QColor(123, 0, 187);
        QTest::newRow("Saphire on black") << int(PaletteEffect::Saphire) << black << QColor(60, 0, 60);
        QTest::newRow("Stone on grey 127") << int(PaletteEffect::Stone) << QColor(127, 127, 127) << QColor(177, 177, 177);
        QTest::newRow("Stone on grey 128") << int(PaletteEffect::Stone) << QColor(128, 128, 128) << QColor(78, 78, 78);
        QTest::newRow("number 13 does nothing") << 13 << c << c;
    }

    void effects()
    {
        QFETCH(int, effect);
        QFETCH(QColor, before);
        QFETCH(QColor, after);
        QByteArray b = ramp();
        QRGBPalette p(reinterpret_cast<uchar*>(b.data()));
        p.setColour(7, before);
        p.setColour(8, before);
        // changing() comes while the palette still holds the old colours: the undo history keeps them.
        QStringList events;
        connect(&p, &QRGBPalette::changing, this, [&] { events << p.colour(7).name(); });
        connect(&p, &QRGBPalette::changed, this, [&] { events << "changed"; });
        bool mask[256] = {};
        mask[7] = true;
        p.applyEffect(PaletteEffect(effect), mask);
        QCOMPARE(p.colour(7), after);
        QCOMPARE(p.colour(8), before); // not selected
        QCOMPARE(events, (QStringList{before.name(), "changed"}));
        QCOMPARE(p.getAll().left(21), ramp().left(21));
    }

    void reverseSelected_data()
    {
        QTest::addColumn<QList<int>>("selection"); // empty: no mask, the whole palette
        QTest::addColumn<QList<int>>("order");     // the first entries after
        QTest::newRow("sparse: 1 and 4 swap, 2 stays") << QList<int>{1, 2, 4} << QList<int>{0, 4, 2, 3, 1, 5};
        QTest::newRow("one entry stays") << QList<int>{3} << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("even run") << QList<int>{0, 1, 2, 3} << QList<int>{3, 2, 1, 0, 4, 5};
        QTest::newRow("ends of the palette") << QList<int>{0, 255} << QList<int>{255, 1, 2, 3, 4, 5};
        QTest::newRow("no mask: all 256") << QList<int>{} << QList<int>{255, 254, 253, 252, 251, 250};
    }

    void reverseSelected()
    {
        QFETCH(QList<int>, selection);
        QFETCH(QList<int>, order);
        QByteArray b = ramp();
        QRGBPalette p(reinterpret_cast<uchar*>(b.data()));
        QSignalSpy changing(&p, &QRGBPalette::changing), changed(&p, &QRGBPalette::changed);
        bool mask[256] = {};
        for (int i : selection)
            mask[i] = true;
        p.reverseSelected(selection.isEmpty() ? nullptr : mask);
        QList<int> after;
        for (int i = 0; i < order.size(); ++i)
            after << p.colour(uchar(i)).red();
        QCOMPARE(after, order);
        QCOMPARE(changing.size() + changed.size(), 2); // also an edit that changes nothing is announced
        // setAll takes at most one palette and never writes past it; short data leaves the rest black.
        b.append("guard");
        p.setAll(QByteArray(1000, '\x05') + "x");
        QCOMPARE(b.left(768), QByteArray(768, '\x05'));
        QCOMPARE(b.mid(768), QByteArray("guard"));
        p.setAll(QByteArray(6, '\x09'));
        QCOMPARE(p.colour(1), QColor(9, 9, 9));
        QCOMPARE(p.colour(2), QColor(0, 0, 0));
    }

    void actFiles()
    {
        // Shorter files are refused; some tools append a colour count and a transparent index.
        QByteArray bytes(772, '\0'), colours;
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i % 251);
        for (int size : {0, 767, 772, 768}) {
            colours = "untouched";
            QCOMPARE(QSprites::loadPaletteAct(testsupport::writeFile(dir.filePath("p.act"), bytes.left(size)), colours), size >= 768);
            QCOMPARE(colours == "untouched", size < 768);
        }
        // The file holds the entries last first: entry 0 is its last three bytes.
        QCOMPARE(colours.left(3), bytes.mid(765, 3));
        QCOMPARE(colours.mid(765, 3), bytes.left(3));
        QSprites sprites(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(!sprites.savePaletteAct(0, dir.filePath("none.act"))); // no such palette
        sprites.addPalette(colours, false, 0, -1);
        QVERIFY(!sprites.savePaletteAct(0, dir.filePath("missing/dir/p.act")));
        QVERIFY(sprites.savePaletteAct(0, dir.filePath("saved.act")));
        QCOMPARE(testsupport::readFile(dir.filePath("saved.act")), bytes.left(768));
        // The engine's palettes keep the transparent colour in entry 0, the file's last entry.
        CORPUS_OR_SKIP(root, "palettes");
        for (const QString& n : QDir(root).entryList({"*.act"}, QDir::Files)) {
            QVERIFY2(QSprites::loadPaletteAct(root + '/' + n, colours), qPrintable(n));
            QCOMPARE(colours.left(3), testsupport::readFile(root + '/' + n).mid(765, 3));
        }
    }

    void remap_data()
    {
        QTest::addColumn<QList<QList<int>>>("rows"); // src group, src number, dst group, dst number; or a text typed in
        QTest::addColumn<int>("palette");
        QTest::addColumn<int>("result");
        // The palettes (group, number): 0 = (1,1), 1 = (1,2), 2 = (3,4), 3 = (-1,7).
        QTest::newRow("no rows") << QList<QList<int>>{} << 0 << -1;
        QTest::newRow("to another palette") << QList<QList<int>>{{1, 1, 3, 4}} << 0 << 2;
        QTest::newRow("destination past 16 bits") << QList<QList<int>>{{1, 2, 65536 + 3, 4}} << 1 << -1;
        QTest::newRow("negative source group") << QList<QList<int>>{{-1, 7, 1, 2}} << 3 << 1;
        QTest::newRow("the first row naming the source counts") << QList<QList<int>>{{3, 4, 8, 8}, {3, 4, 1, 1}} << 2 << -1;
        QTest::newRow("an index outside the palettes is 0,0") << QList<QList<int>>{{0, 0, 1, 2}} << 99 << 1;
    }

    void remap()
    {
        QFETCH(QList<QList<int>>, rows);
        QFETCH(int, palette);
        QFETCH(int, result);
        QSprites sprites(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        const int names[][2] = {{1, 1}, {1, 2}, {3, 4}, {-1, 7}};
        for (int i = 0; i < 4; ++i)
            sprites.addPalette(QByteArray(768, char(i)), false, qint16(names[i][0]), names[i][1]);
        QReMapModel m;
        m.setSprites(&sprites);
        for (const QList<int>& r : rows) {
            QVERIFY(m.addRow());
            for (int c = 0; c < 4; ++c) // typed in the editor, as text
                QVERIFY(m.setData(m.index(m.rowCount() - 1, c), QString::number(r.at(c))));
        }
        QVERIFY(!m.setData(m.index(0, 3), QString("x")));
        QVERIFY(!m.removeRow(int(rows.size())));
        QCOMPARE(m.remapPalette(palette), result);
    }

    void importedImagesKeepTheirColours()
    {
        // Up to 256 colours: each keeps its exact colour; see-through pixels take index 0.
        QImage few(16, 16, QImage::Format_ARGB32);
        for (int i = 0; i < 256; ++i)
            few.setPixel(i % 16, i / 16, i % 16 ? qRgb(i, 255 - i, (i * 7) & 255) : qRgba(90, 90, 90, 0));
        QImage out = toIndexed8(few);
        for (int i = 0; i < 256; ++i) {
            const int index = out.pixelIndex(i % 16, i / 16);
            QCOMPARE(index == 0, i % 16 == 0);
            if (index)
                QCOMPARE(out.color(index), few.pixel(i % 16, i / 16));
        }
        // A gradient of 65 536 colours, imported as a sprite, still looks like
        // itself: 255 colours and the transparent index 0, which no pixel takes.
        QImage gradient(256, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                gradient.setPixel(x, y, qRgb(x, y, (x + y) / 2));
        QVERIFY(gradient.save(dir.filePath("gradient.png")));
        QSprites sprites(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        sprites.addSprite();
        QVERIFY(sprites.loadImage(0, dir.filePath("gradient.png")));
        out = sprites.spriteImage(0);
        QSet<int> used;
        qint64 total = 0;
        int worst = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                used.insert(out.pixelIndex(x, y));
                const QRgb a = gradient.pixel(x, y), b = out.pixel(x, y);
                for (int e : {qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))})
                    total += e, worst = qMax(worst, e);
            }
        QVERIFY(!used.contains(0));
        QCOMPARE(used.size(), 255);
        qInfo("gradient: mean error %.2f, worst %d per channel", total / (3.0 * 65536), worst);
        QVERIFY(total < 4 * 3 * 65536 && worst <= 16);
        // Source on the left, result on the right, for a person to compare.
        QImage both(520, 256, QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter(&both).drawImage(0, 0, gradient);
        QPainter(&both).drawImage(264, 0, out);
        QVERIFY(both.save(testsupport::snapshotDir() + "/gradient-reduced.png"));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestPalettes)
#include "tst_palettes.moc"

// morvane-tool act: listing a palette and recolouring it from the command line.
#include "qsprites.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolAct : public QObject
{
    Q_OBJECT
private slots:
    void showListsEntryZeroFirst();
    void effects_data();
    void effects();
    void corpusPalettes();
    void usageAndFailures_data();
    void usageAndFailures();

private:
    QString writeAct(const QString& name, const QByteArray& colours);
    QTemporaryDir tmp;
};

QString TestToolAct::writeAct(const QString& name, const QByteArray& colours)
{
    // ACT files hold the entries last first.
    QByteArray file;
    for (int i = 255; i >= 0; --i)
        file += colours.mid(3 * i, 3);
    const QString path = tmp.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(file) != 768)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestToolAct::showListsEntryZeroFirst()
{
    QByteArray colours(768, '\0');
    colours[3] = 10;
    colours[4] = 20;
    colours[5] = 30;
    const QString file = writeAct("small.act", colours);
    QByteArray out, err;
    QCOMPARE(runTool({"act", "show", file}, &out, &err), 0);
    const QList<QByteArray> rows = out.split('\n');
    QCOMPARE(rows.value(0), QByteArray("# colours 32"));
    QCOMPARE(rows.value(1), QByteArray("index\tred\tgreen\tblue"));
    QCOMPARE(rows.value(3), QByteArray("1\t10\t20\t30"));
    QCOMPARE(rows.value(257), QByteArray("255\t0\t0\t0"));
}

void TestToolAct::effects_data()
{
    QTest::addColumn<QString>("effect");
    QTest::addColumn<QByteArray>("entry1");
    QTest::newRow("by name") << "Fire" << QByteArray("\xFF\x7F\x00", 3);
    QTest::newRow("name with blanks") << "blue to red" << QByteArray("\xFF\xFF\xFF", 3);
    QTest::newRow("squeezed name") << "SAPHIRE" << QByteArray("\x7B\x00\xBB", 3);
    QTest::newRow("by number") << "12" << QByteArray("\xCD\xCD\xCD", 3);
}

void TestToolAct::effects()
{
    QFETCH(QString, effect);
    QFETCH(QByteArray, entry1);
    QByteArray colours(768, '\0');
    colours[3] = colours[4] = colours[5] = char(255); // entry 1 white
    const QString in = writeAct("white.act", colours);
    const QString outFile = tmp.filePath("out.act");
    QByteArray out, err;
    QCOMPARE(runTool({"act", "effect", effect, in, outFile}, &out, &err), 0);
    QByteArray back;
    QVERIFY(QSprites::loadPaletteAct(outFile, back));
    QCOMPARE(back.mid(3, 3), entry1);
    QCOMPARE(back.size(), 768);
}

void TestToolAct::corpusPalettes()
{
    CORPUS_OR_SKIP(green, "palettes/green.act");
    QByteArray out, err;
    QCOMPARE(runTool({"act", "show", green}, &out, &err), 0);
    QCOMPARE(out.count('\n'), 258);
    const QString grey = tmp.filePath("grey.act");
    QCOMPARE(runTool({"act", "effect", "Monochrome", green, grey}, &out, &err), 0);
    QByteArray colours;
    QVERIFY(QSprites::loadPaletteAct(grey, colours));
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(colours[3 * i], colours[3 * i + 1]);
        QCOMPARE(colours[3 * i], colours[3 * i + 2]);
    }
}

void TestToolAct::usageAndFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no sub-command") << QStringList{"act"} << 2;
    QTest::newRow("unknown sub-command") << QStringList{"act", "paint", "x"} << 2;
    QTest::newRow("unknown effect") << QStringList{"act", "effect", "Rainbow", "a.act", "b.act"} << 2;
    QTest::newRow("effect number 13") << QStringList{"act", "effect", "13", "a.act", "b.act"} << 2;
    QTest::newRow("missing file") << QStringList{"act", "show", "/nonexistent/p.act"} << 1;
    QTest::newRow("767 bytes") << QStringList{"act", "show", "SHORT"} << 1;
    QTest::newRow("unwritable output") << QStringList{"act", "effect", "Fire", "GOOD", "/nonexistent/dir/o.act"} << 1;
}

void TestToolAct::usageAndFailures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const QString shortFile = tmp.filePath("short.act");
    QFile f(shortFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(767, '\x01'));
    f.close();
    const QString good = writeAct("good.act", QByteArray(768, '\x02'));
    args.replaceInStrings("SHORT", shortFile);
    args.replaceInStrings("GOOD", good);
    QByteArray out, err;
    QCOMPARE(runTool(args, &out, &err), status);
    QVERIFY(!err.isEmpty());
}

QTEST_GUILESS_MAIN(TestToolAct)
#include "tst_tool_act.moc"

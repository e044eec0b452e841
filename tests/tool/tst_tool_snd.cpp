// morvane-tool snd: what a batch user sees of list, extract and convert.
#include "../sounds/sndbuilder.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace sndbuilder;
using testsupport::runTool;

class TestToolSnd : public QObject
{
    Q_OBJECT
private slots:
    void listRows();
    void corpusConvertExtract_data();
    void corpusConvertExtract();
    void damagedArchive();
    void usageAndFailures_data();
    void usageAndFailures();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir tmp;
};

QString TestToolSnd::write(const QString& name, const QByteArray& bytes)
{
    const QString path = tmp.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

static QList<QByteArray> rows(const QByteArray& out)
{
    QList<QByteArray> r = out.split('\n');
    if (!r.isEmpty() && r.last().isEmpty())
        r.removeLast();
    return r;
}

void TestToolSnd::listRows()
{
    Wav quiet;
    quiet.channels = 0;
    const QString file = write("list.snd", snd({{3, 70000, wav(22050, 22050)}, {9, 1, wav(quiet)}}));
    QByteArray out, err;
    QCOMPARE(runTool({"snd", "list", file}, &out, &err), 0);
    const QList<QByteArray> r = rows(out);
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[0], QByteArray("0\t3\t4464\t22094\t1\t22050\t8\t1"));
    QCOMPARE(r[1], QByteArray("1\t9\t1\t144\t0\t11025\t8\t--"));
}

void TestToolSnd::corpusConvertExtract_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("kfm") << "chars/kfm/kfm.snd";
    QTest::newRow("common") << "data/common.snd";
}

void TestToolSnd::corpusConvertExtract()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QByteArray before, after;
    QCOMPARE(runTool({"snd", "list", path}, &before), 0);
    const QString converted = tmp.filePath("converted.snd");
    QCOMPARE(runTool({"snd", "convert", path, converted}), 0);
    QCOMPARE(runTool({"snd", "list", converted}, &after), 0);
    QCOMPARE(after, before);

    // Extracted files are the WAV files of the archive, byte for byte.
    const QString dir = tmp.filePath("extracted/" + QFileInfo(path).baseName());
    QCOMPARE(runTool({"snd", "extract", path, dir}), 0);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    const QList<QByteArray> r = rows(before);
    QCOMPARE(QDir(dir).entryList(QDir::Files).size(), r.size());
    qsizetype at = 512;
    for (const QByteArray& row : r) {
        const QList<QByteArray> c = row.split('\t');
        QCOMPARE(c.size(), 8);
        QFile wavFile(QStringLiteral("%1/%2_%3_%4.wav").arg(dir, c[0], c[1], c[2]));
        QVERIFY2(wavFile.open(QIODevice::ReadOnly), qPrintable(wavFile.fileName()));
        const QByteArray bytes = wavFile.readAll();
        QCOMPARE(bytes.size(), c[3].toInt());
        QCOMPARE(bytes, all.mid(at + 16, bytes.size()));
        at += 16 + bytes.size();
    }
}

void TestToolSnd::damagedArchive()
{
    const QByteArray a = wav(40);
    const QString file = write("damaged.snd", rawSnd(3, {{0, quint32(a.size()), 1, 2, a}, {0, 999999, 1, 3, a}}));
    QByteArray out, err;
    QCOMPARE(runTool({"snd", "list", file}, &out, &err), 1);
    QCOMPARE(rows(out).size(), 1);
    QVERIFY2(err.contains("damaged.snd(1): "), err.constData());

    // A damaged archive is not converted into a shorter one.
    const QString target = tmp.filePath("never.snd");
    QCOMPARE(runTool({"snd", "convert", file, target}, &out, &err), 1);
    QVERIFY(!QFile::exists(target));

    // What could be read is still extracted.
    QCOMPARE(runTool({"snd", "extract", file, tmp.filePath("partial")}, &out, &err), 1);
    QCOMPARE(QDir(tmp.filePath("partial")).entryList(QDir::Files), QStringList{"0_1_2.wav"});
}

void TestToolSnd::usageAndFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("no sub-command") << QStringList{"snd"} << 2 << QByteArray("usage:");
    QTest::newRow("unknown sub-command") << QStringList{"snd", "play", "x"} << 2 << QByteArray("unknown snd command");
    QTest::newRow("list without file") << QStringList{"snd", "list"} << 2 << QByteArray("wrong number");
    QTest::newRow("convert without target") << QStringList{"snd", "convert", "a.snd"} << 2 << QByteArray("usage:");
    QTest::newRow("missing file") << QStringList{"snd", "list", "/no/such.snd"} << 1 << QByteArray("/no/such.snd");
    QTest::newRow("not an archive")
        << QStringList{"snd", "list", QStringLiteral(MORVANE_SOURCE_DIR "/CMakeLists.txt")} << 1
        << QByteArray("not an SND");
    QTest::newRow("unwritable target")
        << QStringList{"snd", "convert", "@good", "/no/such/dir/out.snd"} << 1 << QByteArray("/no/such/dir/out.snd");
}

void TestToolSnd::usageAndFailures()
{
    QFETCH(QStringList, args);
    const QString good = write("good.snd", snd({{1, 1, wav(10)}}));
    args.replaceInStrings(QRegularExpression("^@good$"), good);
    QByteArray out, err;
    QTEST(runTool(args, &out, &err), "status");
    QFETCH(QByteArray, error);
    QVERIFY2(err.contains(error), err.constData());
}

QTEST_GUILESS_MAIN(TestToolSnd)
#include "tst_tool_snd.moc"

// morvane-tool snd: what a batch user sees of list, extract and convert.
#include "../sounds/sndbuilder.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace sndbuilder;
using testsupport::readFile;
using testsupport::writeFile;
using testsupport::runTool;

class TestToolSnd : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void commands_data()
    {
        // "@name" stands for a file or folder in the test's temporary folder.
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");    // found in the standard output
        QTest::addColumn<QByteArray>("err");    // found in the error output
        QTest::addColumn<QStringList>("files"); // written by extract
        const auto row = [](const char* name, const QStringList& args, int status, const char* out, const char* err,
                            const QStringList& files = {}) {
            QTest::newRow(name) << args << status << QByteArray(out) << QByteArray(err) << files;
        };
        row("list", {"snd", "list", "@list.snd"}, 0,
            "0\t3\t4464\t22094\t1\t22050\t8\t1\n1\t9\t1\t144\t0\t11025\t8\t--\n", "");
        row("extract", {"snd", "extract", "@list.snd", "@all"}, 0, "2 sounds written", "",
            {"0_3_4464.wav", "1_9_1.wav"});
        // What could be read of a damaged archive is listed and extracted, but
        // not converted into a shorter archive.
        row("list a damaged archive", {"snd", "list", "@damaged.snd"}, 1, "0\t1\t2\t84\t", "damaged.snd(1): ");
        row("extract a damaged archive", {"snd", "extract", "@damaged.snd", "@partial"}, 1, "1 sounds written",
            "damaged.snd(1): ", {"0_1_2.wav"});
        row("convert a damaged archive", {"snd", "convert", "@damaged.snd", "@never.snd"}, 1, "",
            "never.snd not written");
        row("no sub-command", {"snd"}, 2, "", "usage:");
        row("unknown sub-command", {"snd", "play", "x"}, 2, "", "unknown snd command");
        row("list without file", {"snd", "list"}, 2, "", "wrong number");
        row("convert without target", {"snd", "convert", "a.snd"}, 2, "", "usage:");
        row("missing file", {"snd", "list", "/no/such.snd"}, 1, "", "/no/such.snd");
        row("not an archive", {"snd", "list", MORVANE_SOURCE_DIR "/CMakeLists.txt"}, 1, "", "not an SND");
        row("unwritable target", {"snd", "convert", "@list.snd", "/no/such/dir/out.snd"}, 1, "", "/no/such/dir/out.snd");
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        writeFile(tmp.filePath("list.snd"), snd({{3, 70000, wav(22050, 22050)}, {9, 1, wav({.channels = 0})}}));
        writeFile(tmp.filePath("damaged.snd"), rawSnd(3, {{0, 84, 1, 2, wav(40)}, {0, 999999, 1, 3, wav(40)}}));
        args.replaceInStrings(QRegularExpression("^@"), tmp.path() + '/');
        QByteArray stdOut, stdErr;
        QCOMPARE(runTool(args, &stdOut, &stdErr), status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QVERIFY2(stdOut.contains(out), stdOut.constData());
        QVERIFY2(stdErr.contains(err), stdErr.constData());
        if (args.value(1) == "extract")
            QTEST(QDir(args.value(3)).entryList(QDir::Files), "files");
        if (args.value(1) == "convert" && status != 0)
            QVERIFY(!QFile::exists(args.value(3)));
    }

    void corpusConvertExtract_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::newRow("kfm") << "chars/kfm/kfm.snd" << 12;
        QTest::newRow("common") << "data/common.snd" << 10;
    }

    void corpusConvertExtract()
    {
        QFETCH(QString, file);
        CORPUS_OR_SKIP(path, file);
        QByteArray before, after;
        QCOMPARE(runTool({"snd", "list", path}, &before), 0);
        const QString converted = tmp.filePath("converted.snd");
        QCOMPARE(runTool({"snd", "convert", path, converted}), 0);
        QCOMPARE(runTool({"snd", "list", converted}, &after), 0);
        QCOMPARE(after, before);
        // Every sound is kept byte for byte: the file comes back but for the
        // version and the comment.
        const QByteArray original = readFile(path), copy = readFile(converted);
        QCOMPARE(copy.mid(16, 8), original.mid(16, 8));
        QCOMPARE(copy.mid(512), original.mid(512));

        // Extracted files are the WAV files of the archive, byte for byte.
        const QString dir = tmp.filePath("extracted/" + QFileInfo(path).baseName());
        QCOMPARE(runTool({"snd", "extract", path, dir}), 0);
        const QList<QByteArray> rows = before.trimmed().split('\n');
        QTEST(int(rows.size()), "count");
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), rows.size());
        qsizetype at = 512;
        for (const QByteArray& row : rows) {
            const QList<QByteArray> c = row.split('\t');
            QCOMPARE(c.size(), 8);
            QCOMPARE(c[4] + ' ' + c[6], QByteArray("1 8")); // mono, 8 bits
            const QByteArray bytes = readFile(QStringLiteral("%1/%2_%3_%4.wav").arg(dir, c[0], c[1], c[2]));
            QCOMPARE(bytes.size(), c[3].toInt());
            QCOMPARE(bytes, original.mid(at + 16, bytes.size()));
            at += 16 + bytes.size();
        }
        QCOMPARE(at, original.size());
    }
};

QTEST_GUILESS_MAIN(TestToolSnd)
#include "tst_tool_snd.moc"

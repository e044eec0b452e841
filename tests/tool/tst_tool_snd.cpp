// morvane-tool snd: what a batch user sees of list, extract and convert.
#include "../sounds/sndbuilder.h"
#include "testsupport.h"

#include <QtTest>

using namespace sndbuilder;
using namespace testsupport;

class TestToolSnd : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void commands_data()
    {
        // The row names are the arguments ("@" is the test's folder). The
        // pieces, split at '|', are looked for in the output, the error output
        // and the names of the files in the last argument.
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("list @list.snd") << 0 << "0\t3\t4464\t22094\t1\t22050\t8\t1\n1\t9\t1\t144\t0\t11025\t8\t--\n";
        // What could be read of a damaged archive is extracted, but not
        // converted into a shorter archive.
        QTest::newRow("extract @bad.snd @part") << 1 << "1 sounds written|bad.snd(1): |0_1_2.wav";
        QTest::newRow("convert @bad.snd @no.snd") << 1 << "no.snd not written";
        QTest::newRow("convert x") << 2 << "usage:";
    }

    void commands()
    {
        writeFile(tmp.filePath("list.snd"), snd({{3, 70000, wav(22050, 22050)}, {9, 1, wav(100, 11025, 0)}}));
        writeFile(tmp.filePath("bad.snd"), rawSnd(3, {{0, 84, 1, 2, wav(40)}, {0, 999999, 1, 3, wav(40)}}));
        const QStringList args = QString("snd %1").arg(QTest::currentDataTag()).replace('@', tmp.path() + '/').split(' ');
        QByteArray out, err;
        QTEST(runTool(args, &out, &err), "status");
        const QString all = out + err + QDir(args.last()).entryList(QDir::Files).join(' ');
        QFETCH(QString, pieces);
        for (const QString& piece : pieces.split('|'))
            QVERIFY2(all.contains(piece), qPrintable(all));
        QVERIFY(!QFile::exists(tmp.filePath("no.snd")));
    }

    void corpusConvertExtract()
    {
        for (const char* name : {"chars/kfm/kfm.snd", "data/common.snd"}) {
            CORPUS_OR_SKIP(path, name);
            const QString converted = tmp.filePath("converted.snd"), dir = tmp.filePath(name);
            QByteArray before, after;
            QCOMPARE(runTool({"snd", "list", path}, &before) + runTool({"snd", "convert", path, converted})
                         + runTool({"snd", "list", converted}, &after) + runTool({"snd", "extract", path, dir}), 0);
            QCOMPARE(after, before);
            // All but the version and the comment come back byte for byte, and
            // the extracted files are the archive's WAV files.
            const QByteArray original = readFile(path);
            QCOMPARE(readFile(converted).remove(24, 488).remove(12, 4), QByteArray(original).remove(24, 488).remove(12, 4));
            QList<Sound> extracted;
            for (const QByteArray& row : before.trimmed().split('\n')) {
                const QList<QByteArray> c = row.split('\t');
                extracted.append({c[1].toUInt(), c[2].toUInt(), readFile(QString("%1/%2_%3_%4.wav").arg(dir, c[0], c[1], c[2]))});
            }
            QCOMPARE(snd(extracted).mid(512), original.mid(512));
        }
    }
};

QTEST_GUILESS_MAIN(TestToolSnd)
#include "tst_tool_snd.moc"

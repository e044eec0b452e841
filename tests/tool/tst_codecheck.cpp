// morvane-tool code check, on real files and on broken ones.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestCodeCheck : public QObject
{
    Q_OBJECT
private slots:
    void realFilesCheckClean_data();
    void realFilesCheckClean();
    void remainingMarksOnRealFiles_data();
    void remainingMarksOnRealFiles();
    void reportsLineAndColumn();
    void badInput_data();
    void badInput();
    void usage_data();
    void usage();
};

namespace {

QStringList lines(const QByteArray& out)
{
    return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
}

// The marks of the output without the path before the line number.
QStringList marksOf(const QByteArray& out, const QString& path)
{
    QStringList result;
    for (const QString& l : lines(out))
        result << (l.startsWith(path + ':') ? l.mid(path.size() + 1) : l);
    return result;
}

} // namespace

void TestCodeCheck::realFilesCheckClean_data()
{
    QTest::addColumn<QString>("file");
    for (const char* f : {"chars/kfm/kfm.cns", "chars/kfm/kfm.cmd", "chars/kfm/intro.def", "chars/kfm/ending.def",
                          "stages/kfm.def", "stages/stage0.def", "font/arcade.def", "font/f-4x6.def",
                          "font/f-6x9.def"})
        QTest::newRow(f) << f;
}

void TestCodeCheck::realFilesCheckClean()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QByteArray out, err;
    const int rc = testsupport::runTool({"code", "check", path}, &out, &err);
    QCOMPARE(marksOf(out, path), QStringList());
    QCOMPARE(rc, 0);
}

void TestCodeCheck::remainingMarksOnRealFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("marks");
    // Keys of a later engine that the engine these files are for ignores.
    QTest::newRow("kfm.def") << "chars/kfm/kfm.def" << QStringList{"25:1: Invalid 'Files' parameter"};
    QTest::newRow("happyplace") << "stages/happyplace_stage.def" << QStringList{"54:1: Invalid block"};
    QStringList common;
    for (int block = 0; block < 18; ++block) {
        // Each [Command] of common.cmd ends in buffer.hitpause and buffer.pauseend.
        static const int firstLines[] = {11, 19, 27, 35, 43, 51, 59, 70, 78, 86, 94, 102, 110, 118, 126, 134, 142, 150};
        common << QString("%1:1: Invalid 'Command' parameter").arg(firstLines[block])
               << QString("%1:1: Invalid 'Command' parameter").arg(firstLines[block] + 1);
    }
    QTest::newRow("common.cmd") << "data/common.cmd" << common;
}

void TestCodeCheck::remainingMarksOnRealFiles()
{
    QFETCH(QString, file);
    QFETCH(QStringList, marks);
    CORPUS_OR_SKIP(path, file);
    QByteArray out;
    const int rc = testsupport::runTool({"code", "check", path}, &out);
    QCOMPARE(marksOf(out, path), marks);
    QCOMPARE(rc, 1);
}

void TestCodeCheck::reportsLineAndColumn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.cns");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // CR LF line ends, a tab before the marked word, a Latin-1 comment.
    f.write("[Data]\r\nlife = 1000\r\n\tfoo = 1 ; caf\xe9\r\n[Size]\r\nheight = 1   2\r\n");
    f.close();
    QByteArray out, err;
    QCOMPARE(testsupport::runTool({"code", "check", path}, &out, &err), 1);
    QCOMPARE(lines(out), QStringList({path + ":3:2: Invalid 'Data' parameter", path + ":5:14: Syntax error"}));
    QVERIFY(err.isEmpty() || !err.contains("morvane-tool:"));
}

void TestCodeCheck::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << 0;
    QTest::newRow("binary") << QByteArray("ElecbyteSpr\0\0\1\2\xff\xfe[[[\0\n]]\x80", 24) << 1;
    QTest::newRow("truncated line") << QByteArray("[Statedef 200]\ntype =") << 0;
    QTest::newRow("huge line") << QByteArray("[State 0]\ntype = Null\ntrigger1 = ") + QByteArray(200000, '(') << 1;
}

void TestCodeCheck::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString path = dir.filePath("x.cns");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QByteArray out;
    QCOMPARE(testsupport::runTool({"code", "check", path}, &out), exitCode);
}

void TestCodeCheck::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("no sub-command") << QStringList{"code"} << 2 << "usage:";
    QTest::newRow("unknown sub-command") << QStringList{"code", "lint", "x"} << 2 << "unknown sub-command";
    QTest::newRow("no file") << QStringList{"code", "check"} << 2 << "no file";
    QTest::newRow("missing file") << QStringList{"code", "check", "/nonexistent/a.cns"} << 1 << "cannot read /nonexistent/a.cns";
    QTest::newRow("missing syntax file") << QStringList{"code", "check", "--syntax", "/nonexistent.xml", "a.cns"} << 1
                                         << "cannot read the syntax definition";
}

void TestCodeCheck::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    QByteArray out, err;
    QCOMPARE(testsupport::runTool(args, &out, &err), exitCode);
    QVERIFY2(err.contains(stderrHas.toUtf8()), err.constData());
}

QTEST_GUILESS_MAIN(TestCodeCheck)
#include "tst_codecheck.moc"

#include "qanimations.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolAir : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void convert();
    void usage_data();
    void usage();

private:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes)
    {
        return testsupport::writeFile(dir.filePath(name), bytes);
    }
};

void TestToolAir::check_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::newRow("clean") << QByteArray("; a\n[Begin Action 0]\n0,0, 0,0, 5\n") << 0 << QString();
    QTest::newRow("warnings only") << QByteArray("[Begin Action 0]\n0,0, 0,0, 5, X\n") << 0
                                   << "t.air(2): Invalid flip type 'X'\n";
    QTest::newRow("an error") << QByteArray("[Begin Action 0]\n0,0, 0,0, 5, X\n0,0, #\n") << 1
                              << "t.air(2): Invalid flip type 'X'\nt.air(3): Unexpected token '#'\n"
                                 "t.air(4): Unexpected token ''\n";
}

void TestToolAir::check()
{
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, output);
    QByteArray out;
    QCOMPARE(runTool({"air", "check", write("t.air", text)}, &out), status);
    QCOMPARE(QString::fromUtf8(out), output);
}

void TestToolAir::convert()
{
    const QString in = write("in.air", "; Walk\r\n[Begin Action 20]\r\nClsn2: 1\r\n Clsn2[0]=5,5,-5,-5\r\n20,0,0,0,4\r\n");
    QCOMPARE(runTool({"air", "convert", in, dir.filePath("out.air")}), 0);
    QAnimations out(nullptr);
    QVERIFY(out.load(dir.filePath("out.air")));
    QCOMPARE(out.actionText(0), QString("; Walk\n[Begin Action 20]\nClsn2: 1\n  Clsn2[0] = -5, -5, 5, 5\n20,0, 0,0, 4\n"));

    // Unreadable input or unwritable output: status 1 and no file left behind.
    QByteArray err;
    QCOMPARE(runTool({"air", "convert", dir.filePath("missing.air"), dir.filePath("x.air")}), 1);
    QVERIFY(!QFile::exists(dir.filePath("x.air")));
    QCOMPARE(runTool({"air", "convert", in, dir.filePath("no/dir/x.air")}, nullptr, &err), 1);
    QVERIFY(err.contains("cannot write"));

    // A real file checks clean before and after conversion.
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.air");
    QByteArray out1, out2;
    QCOMPARE(runTool({"air", "check", kfm}, &out1), 0);
    QCOMPARE(runTool({"air", "convert", kfm, dir.filePath("kfm.air")}), 0);
    QCOMPARE(runTool({"air", "check", dir.filePath("kfm.air")}, &out2), 0);
    QCOMPARE(out1 + out2, QByteArray());
}

void TestToolAir::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no sub-command") << QStringList{"air"} << 2;
    QTest::newRow("unknown sub-command") << QStringList{"air", "view", "x"} << 2;
    QTest::newRow("check without a file") << QStringList{"air", "check"} << 2;
    QTest::newRow("convert with one file") << QStringList{"air", "convert", "x"} << 2;
    QTest::newRow("check of a missing file") << QStringList{"air", "check", "/nonexistent/x.air"} << 1;
}

void TestToolAir::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QCOMPARE(runTool(args), status);
}

QTEST_MAIN(TestToolAir)
#include "tst_tool_air.moc"

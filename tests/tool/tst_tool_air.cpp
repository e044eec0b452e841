#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolAir : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();

private:
    QTemporaryDir dir;
};

void TestToolAir::commands_data()
{
    QTest::addColumn<QStringList>("args"); // IN is a file holding the text, OUT a new file
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // what check prints, or what convert writes after the banner
    const QStringList check{"air", "check", "IN"};
    QTest::newRow("clean") << check << QByteArray("; a\n[Begin Action 0]\n0,0, 0,0, 5\n") << 0 << QString();
    QTest::newRow("warnings only") << check << QByteArray("[Begin Action 0]\n0,0, 0,0, 5, X\n") << 0
                                   << "t.air(2): Invalid flip type 'X'\n";
    QTest::newRow("an error") << check << QByteArray("[Begin Action 0]\n0,0, 0,0, 5, X\n0,0, #\n") << 1
                              << "t.air(2): Invalid flip type 'X'\nt.air(3): Frame line not understood, kept as it is: '0,0, #'\n";
    QTest::newRow("convert writes the engine's layout")
        << QStringList{"air", "convert", "IN", "OUT"}
        << QByteArray("; Seven\r\n[Begin Action 7]\r\nClsn2Default: 1\r\n Clsn2[0] = 3,4,-1,-2\r\nClsn1: 1\r\n Clsn1[0] = 0,0,5,5\r\n"
                      "Loopstart\r\n0,1, -5,0, 10\r\n0,0, 0,0, 5, , S\r\n0,0, 0,0, 5, V, AS64D192\r\n0,0,0,0,5,,A\r\n")
        << 0
        << "; Seven\r\n[Begin Action 7]\r\nClsn2Default: 1\r\n  Clsn2[0] = -1, -2, 3, 4\r\nClsn1: 1\r\n  Clsn1[0] = 0, 0, 5, 5\r\n"
           "Loopstart\r\n0,1, -5,0, 10\r\n0,0, 0,0, 5, , S\r\n0,0, 0,0, 5, V, AS64D192\r\n0,0, 0,0, 5,,A\r\n\r\n";
    QTest::newRow("convert keeps what it cannot read, and says so")
        << QStringList{"air", "convert", "IN", "OUT"} << QByteArray("[Begin Action 0]\n0,0, #\n0,0, 0,0, 5\n") << 1
        << "; \n[Begin Action 0]\n0,0, #\n0,0, 0,0, 5\n\n";
    QTest::newRow("convert of a missing file") << QStringList{"air", "convert", "/nonexistent/x.air", "OUT"}
                                               << QByteArray() << 1 << QString();
    QTest::newRow("convert with one file") << QStringList{"air", "convert", "IN"} << QByteArray() << 2 << QString();
}

void TestToolAir::commands()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, output);
    const QString out = dir.filePath("out.air");
    QFile::remove(out);
    args.replaceInStrings("IN", testsupport::writeFile(dir.filePath("t.air"), text)).replaceInStrings("OUT", out);
    QByteArray printed;
    QCOMPARE(runTool(args, &printed), status);
    // The written file starts with a four-line banner, in the encoding and
    // with the line ends of the file read (here plain text, no mark).
    const QByteArray written = QFile::exists(out) ? testsupport::readFile(out) : QByteArray();
    QVERIFY(written.isEmpty() || written.startsWith(";" + QByteArray(74, '*') + ";"));
    QCOMPARE(QString::fromUtf8(written.isEmpty() ? printed : written).section('\n', written.isEmpty() ? 0 : 4), output);
}

QTEST_MAIN(TestToolAir)
#include "tst_tool_air.moc"

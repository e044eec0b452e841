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
                              << "t.air(2): Invalid flip type 'X'\nt.air(3): Unexpected token '#'\n"
                                 "t.air(4): Unexpected token ''\n";
    QTest::newRow("convert writes the engine's layout")
        << QStringList{"air", "convert", "IN", "OUT"}
        << QByteArray("; Seven\r\n[Begin Action 7]\r\nClsn2Default: 1\r\n Clsn2[0] = 3,4,-1,-2\r\nClsn1: 1\r\n Clsn1[0] = 0,0,5,5\r\n"
                      "Loopstart\r\n0,1, -5,0, 10\r\n0,0, 0,0, 5, , S\r\n0,0, 0,0, 5, V, AS64D192\r\n0,0,0,0,5,,A\r\n")
        << 0
        << "; Seven\n[Begin Action 7]\nClsn2Default: 1\n  Clsn2[0] = -1, -2, 3, 4\nClsn1: 1\n  Clsn1[0] = 0, 0, 5, 5\n"
           "Loopstart\n0,1, -5,0, 10\n0,0, 0,0, 5, , S\n0,0, 0,0, 5, V, AS64D192\n0,0, 0,0, 5, , A\n\n";
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
    // The written file starts with a byte-order mark and a four-line banner.
    const QByteArray written = QFile::exists(out) ? testsupport::readFile(out) : QByteArray();
    QVERIFY(written.isEmpty() || written.startsWith("\xEF\xBB\xBF;" + QByteArray(74, '*') + ";\n;"));
    QCOMPARE(QString::fromUtf8(written.isEmpty() ? printed : written).section('\n', written.isEmpty() ? 0 : 4), output);
}

QTEST_MAIN(TestToolAir)
#include "tst_tool_air.moc"

// morvane-tool code check, on real files and on broken ones.
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCodeCheck : public QObject
{
    Q_OBJECT
private slots:
    void files_data();
    void files();
    void usage();
};

void TestCodeCheck::files_data()
{
    QTest::addColumn<QString>("corpusFile"); // empty: the bytes are checked instead
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("marks"); // each without the path in front
    for (const char* f : {"chars/kfm/kfm.cns", "chars/kfm/kfm.cmd", "chars/kfm/intro.def", "chars/kfm/ending.def",
                          "stages/kfm.def", "stages/stage0.def", "font/arcade.def", "font/f-4x6.def", "font/f-6x9.def"})
        QTest::newRow(f) << f << QByteArray() << QStringList();
    // Keys of a later engine that the engine these files are for ignores.
    QTest::newRow("kfm.def") << "chars/kfm/kfm.def" << QByteArray() << QStringList{"25:1: Invalid 'Files' parameter"};
    QTest::newRow("happyplace") << "stages/happyplace_stage.def" << QByteArray() << QStringList{"54:1: Invalid block"};
    // Each [Command] of common.cmd ends in buffer.hitpause and buffer.pauseend.
    QStringList common;
    for (int line : {11, 19, 27, 35, 43, 51, 59, 70, 78, 86, 94, 102, 110, 118, 126, 134, 142, 150})
        common << QString("%1:1: Invalid 'Command' parameter").arg(line) << QString("%1:1: Invalid 'Command' parameter").arg(line + 1);
    QTest::newRow("common.cmd") << "data/common.cmd" << QByteArray() << common;

    // CR LF line ends, a tab before the marked word, a Latin-1 comment; the column is the word's.
    QTest::newRow("line and column") << "" << QByteArray("[Data]\r\nlife = 1000\r\n\tfoo = 1 ; caf\xe9\r\n[Size]\r\nheight = 1   2\r\n")
                                     << QStringList{"3:2: Invalid 'Data' parameter", "5:14: Syntax error"};
    QTest::newRow("binary") << "" << QByteArray("ElecbyteSpr\0\0\1\2\xff\xfe[[[\0\n]]\x80", 24)
                            << QStringList{"1:1: Syntax error", "2:1: Syntax error"};
    QTest::newRow("truncated line") << "" << QByteArray("[Statedef 200]\ntype =") << QStringList();
    QTest::newRow("huge line") << "" << QByteArray("[State 0]\ntype = Null\ntrigger1 = ") + QByteArray(200000, '(')
                               << QStringList{"3:112: Invalid expression value"};
}

void TestCodeCheck::files()
{
    QFETCH(QString, corpusFile);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, marks);
    QTemporaryDir dir;
    const QString path = corpusFile.isEmpty() ? testsupport::writeFile(dir.filePath("x.cns"), bytes)
                                              : testsupport::corpusPath(corpusFile);
    if (path.isEmpty())
        QSKIP("the shared corpus of real files is not beside the project");
    QByteArray out;
    const int rc = testsupport::runTool({"code", "check", path}, &out);
    QStringList found;
    for (const QString& l : QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts))
        found << (l.startsWith(path + ':') ? l.mid(path.size() + 1) : "(no path) " + l);
    QCOMPARE(found, marks);
    QCOMPARE(rc, marks.isEmpty() ? 0 : 1);
}

void TestCodeCheck::usage()
{
    // Exit status and the start of what goes to the error stream.
    const QList<std::pair<QStringList, QString>> cases = {
        {{"code", "lint", "x"}, "2 unknown sub-command"},
        {{"code", "check", "/nonexistent/a.cns"}, "1 cannot read /nonexistent/a.cns"},
        {{"code", "check", "--syntax", "/nonexistent.xml", "a.cns"}, "1 cannot read the syntax definition"}};
    for (const auto& [args, expected] : cases) {
        QByteArray err;
        const int rc = testsupport::runTool(args, nullptr, &err);
        QVERIFY2(expected.startsWith(QString::number(rc) + ' ') && err.contains(expected.mid(2).toUtf8()), err.constData());
    }
}

QTEST_GUILESS_MAIN(TestCodeCheck)
#include "tst_codecheck.moc"

// morvane-tool code check, on real files and on broken ones.
#include "testsupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestCodeCheck : public QObject
{
    Q_OBJECT
private slots:
    void files_data();
    void files();
    void summary();
    void communitySet();
    void usage();
};

void TestCodeCheck::files_data()
{
    QTest::addColumn<QString>("corpusFile"); // empty: the bytes are checked instead
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("marks"); // each without the path in front
    QTest::addColumn<int>("exitStatus");
    for (const char* f : {"chars/kfm/kfm.cns", "chars/kfm/kfm.cmd", "chars/kfm/intro.def", "chars/kfm/ending.def",
                          "stages/kfm.def", "stages/stage0.def", "font/arcade.def", "font/f-4x6.def", "font/f-6x9.def",
                          "community/data/system.def", "community/data/fight.def", "community/data/select.def"})
        QTest::newRow(f) << f << QByteArray() << QStringList() << QStringList() << 0;
    // A key of a later engine that the engine these files are for ignores.
    QTest::newRow("kfm.def") << "chars/kfm/kfm.def" << QByteArray() << QStringList()
                             << QStringList{"25:1: warning: Invalid 'Files' parameter"} << 0;
    QTest::newRow("happyplace") << "stages/happyplace_stage.def" << QByteArray() << QStringList()
                                << QStringList{"54:1: warning: Section the engine ignores"} << 0;
    QTest::newRow("happyplace, errors only") << "stages/happyplace_stage.def" << QByteArray() << QStringList{"--errors-only"}
                                             << QStringList() << 0;
    // Each [Command] of common.cmd ends in buffer.hitpause and buffer.pauseend.
    QStringList common;
    for (int line : {11, 19, 27, 35, 43, 51, 59, 70, 78, 86, 94, 102, 110, 118, 126, 134, 142, 150})
        common << QString("%1:1: warning: Invalid 'Command' parameter").arg(line)
               << QString("%1:1: warning: Invalid 'Command' parameter").arg(line + 1);
    QTest::newRow("common.cmd") << "data/common.cmd" << QByteArray() << QStringList() << common << 0;

    // CR LF line ends, a tab before the marked word, a Latin-1 comment; the column is the word's.
    QTest::newRow("line and column") << "" << QByteArray("[Data]\r\nlife = 1000\r\n\tfoo = 1 ; caf\xe9\r\n[Size]\r\nheight = 1   2\r\nxscale = q\r\n")
                                     << QStringList()
                                     << QStringList{"3:2: warning: Invalid 'Data' parameter",
                                                    "5:14: warning: Text after the value: the engine ignores it",
                                                    "6:10: error: Unexpected token 'q'"} << 1;
    QTest::newRow("errors only") << "" << QByteArray("[Data]\nfoo = 1\nlife = q\n") << QStringList{"--errors-only"}
                                 << QStringList{"3:8: error: Unexpected token 'q'"} << 1;
    QTest::newRow("binary") << "" << QByteArray("ElecbyteSpr\0\0\1\2\xff\xfe[[[\0\n]]\x80", 24) << QStringList()
                            << QStringList{"1:1: warning: Line outside any section: the engine ignores it",
                                           "2:1: warning: Line outside any section: the engine ignores it"} << 0;
    QTest::newRow("truncated line") << "" << QByteArray("[Statedef 200]\ntype =") << QStringList() << QStringList() << 0;
    QTest::newRow("huge line") << "" << QByteArray("[Statedef 0]\n[State 0]\ntype = Null\ntrigger1 = ") + QByteArray(200000, '(')
                               << QStringList() << QStringList{"4:112: error: Invalid expression value", "4:200011: error: Unexpected end of line"} << 1;
}

void TestCodeCheck::files()
{
    QFETCH(QString, corpusFile);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(QStringList, marks);
    QFETCH(int, exitStatus);
    QTemporaryDir dir;
    const QString path = corpusFile.isEmpty() ? testsupport::writeFile(dir.filePath("x.cns"), bytes)
                                              : testsupport::corpusPath(corpusFile);
    if (path.isEmpty())
        QSKIP("the shared corpus of real files is not beside the project");
    QByteArray out;
    const int rc = testsupport::runTool(QStringList{"code", "check"} + options + QStringList{path}, &out);
    QStringList found;
    for (const QString& l : QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts))
        found << (l.startsWith(path + ':') ? l.mid(path.size() + 1) : "(no path) " + l);
    QCOMPARE(found, marks);
    QCOMPARE(rc, exitStatus);
}

void TestCodeCheck::summary()
{
    // Folders are searched for code files of any letter case; other files are left alone.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    testsupport::writeFile(dir.filePath("a.cns"), "[Data]\nlife = q\nfoo = 1\nbar = 2\n");
    testsupport::writeFile(dir.filePath("sub/B.DEF"), "[Info]\nname = \"b\"\nbaz = 3");
    testsupport::writeFile(dir.filePath("sub/c.st"), "[Statedef 0]\ntype = S\n");
    testsupport::writeFile(dir.filePath("notes.txt"), "[Data]\nlife = q\n");
    QByteArray out;
    QCOMPARE(testsupport::runTool({"code", "check", "--summary", dir.path()}, &out), 1);
    QCOMPARE(QString::fromUtf8(out), QString("files: 3\n"
                                             "lines: 9\n"
                                             "errors: 1 (111.11 per 1000 lines)\n"
                                             "warnings: 3 (333.33 per 1000 lines)\n"
                                             "most frequent messages:\n"
                                             "  2 warning: Invalid 'Data' parameter\n"
                                             "  1 warning: Invalid 'Info'' parameter\n"
                                             "  1 error: Unexpected token '%1'\n"));
    // Only warnings: nothing failed.
    out.clear();
    QCOMPARE(testsupport::runTool({"code", "check", "--summary", dir.filePath("sub")}, &out), 0);
    QVERIFY(out.startsWith("files: 2\nlines: 5\nerrors: 0 (0.00 per 1000 lines)\nwarnings: 1 (200.00 per 1000 lines)\n"));
}

void TestCodeCheck::communitySet()
{
    // A whole game's characters, stages and motif files, all of which the
    // engine loads: at most one error per 1000 lines, and each remaining
    // error a real fault of its file.
    const QString community = testsupport::corpusPath("community");
    if (community.isEmpty())
        QSKIP("the shared corpus of real files is not beside the project");
    QByteArray out;
    QCOMPARE(testsupport::runTool({"code", "check", "--summary", community}, &out), 1);
    const QRegularExpressionMatch m = QRegularExpression("lines: (\\d+)\nerrors: (\\d+) ").match(QString::fromUtf8(out));
    QVERIFY2(m.hasMatch(), out.constData());
    QVERIFY2(m.captured(2).toLongLong() * 1000 <= m.captured(1).toLongLong(), out.constData());

    out.clear();
    QCOMPARE(testsupport::runTool({"code", "check", "--errors-only", community}, &out), 1);
    QStringList found;
    for (const QString& l : QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts))
        found << l.mid(community.size() + 1);
    const QStringList faults = {
        // an interval with one bound
        "chars/Dosu/common1.cns:1676:24: error: Unexpected token ']'",
        // a header without its closing bracket
        "chars/Gai1/common1.cns:360:1: error: Invalid block",
        // AnimElem takes = (and a second comparison after a comma), not >= or <=
        "chars/Kyuubi(S)Naruto/Kyuubi(S)Naruto.cns:1822:21: error: Unexpected token '>='",
        // a trigger line written with != instead of =
        "chars/RockLee/RockLee.cns:1308:10: error: Unexpected token '!='",
        "chars/RockLee/RockLee.cns:1828:10: error: Unexpected token '!='",
        "chars/UchihaSasuke/UchihaSasuke.cns:2046:21: error: Unexpected token '>='",
        "chars/UchihaSasuke/UchihaSasuke.cns:2060:21: error: Unexpected token '>='",
        "chars/UchihaSasuke/UchihaSasuke.cns:2067:21: error: Unexpected token '<='",
        // NotHitBy's list of attributes holding an animation number
        "chars/cshikamaru/cshikamaru.cns:105:9: error: Invalid 'State' parameter value"};
    QCOMPARE(found, faults);
}

void TestCodeCheck::usage()
{
    // Exit status and the start of what goes to the error stream.
    const QList<std::pair<QStringList, QString>> cases = {
        {{"code", "lint", "x"}, "2 unknown sub-command"},
        {{"code", "check", "--summary"}, "2 no file to check"},
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

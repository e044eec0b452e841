// morvane-tool act: listing a palette and recolouring it from the command line.
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;
using testsupport::writeFile;

class TestToolAct : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void commands_data()
    {
        // "@name" stands for a file in the test's temporary folder: in.act,
        // whose entry 1 is white and entry 2 is 10, 20, 30, or short.act of
        // 767 bytes.
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("shown"); // found in `act show` of the result
        const auto row = [](const char* name, const QStringList& args, int status, const char* shown = "") {
            QTest::newRow(name) << args << status << QByteArray(shown);
        };
        row("show, entry 0 first", {"act", "show", "@in.act"}, 0,
            "# colours 32\nindex\tred\tgreen\tblue\n0\t0\t0\t0\n1\t255\t255\t255\n2\t10\t20\t30\n");
        row("show, entry 255 last", {"act", "show", "@in.act"}, 0, "\n255\t0\t0\t0\n");
        // Effects go by name, whatever the case and blanks, or by number.
        row("effect by name", {"act", "effect", "Fire", "@in.act", "@out.act"}, 0, "\n1\t255\t127\t0\n");
        row("effect name with blanks", {"act", "effect", "blue to red", "@in.act", "@out.act"}, 0, "\n1\t255\t255\t255\n");
        row("effect name squeezed", {"act", "effect", "SAPHIRE", "@in.act", "@out.act"}, 0, "\n1\t123\t0\t187\n");
        row("effect by number", {"act", "effect", "12", "@in.act", "@out.act"}, 0, "\n1\t205\t205\t205\n");
        row("no sub-command", {"act"}, 2);
        row("unknown sub-command", {"act", "paint", "x"}, 2);
        row("unknown effect", {"act", "effect", "Rainbow", "@in.act", "@out.act"}, 2);
        row("effect number 13", {"act", "effect", "13", "@in.act", "@out.act"}, 2);
        row("missing file", {"act", "show", "/nonexistent/p.act"}, 1);
        row("767 bytes", {"act", "show", "@short.act"}, 1);
        row("unwritable output", {"act", "effect", "Fire", "@in.act", "/nonexistent/dir/o.act"}, 1);
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        // ACT files hold the entries last first.
        QByteArray act(768, '\0');
        act.replace(759, 6, "\x0a\x14\x1e\xff\xff\xff");
        writeFile(tmp.filePath("in.act"), act);
        writeFile(tmp.filePath("short.act"), QByteArray(767, '\x01'));
        QFile::remove(tmp.filePath("out.act"));
        args.replaceInStrings(QRegularExpression("^@"), tmp.path() + '/');

        QByteArray out, err;
        QCOMPARE(runTool(args, &out, &err), status);
        if (status != 0) {
            QVERIFY(!err.isEmpty());
            QVERIFY(!QFile::exists(tmp.filePath("out.act")));
            return;
        }
        if (args[1] == "effect")
            QCOMPARE(runTool({"act", "show", args[4]}, &out, &err), 0);
        QCOMPARE(out.count('\n'), 258);
        QFETCH(QByteArray, shown);
        QVERIFY2(out.contains(shown), out.constData());
    }

    void corpusPalettes()
    {
        CORPUS_OR_SKIP(green, "palettes/green.act");
        const QString grey = tmp.filePath("grey.act");
        QByteArray out;
        QCOMPARE(runTool({"act", "effect", "Monochrome", green, grey}), 0);
        QCOMPARE(runTool({"act", "show", grey}, &out), 0);
        // Every one of the 256 entries has equal red, green and blue.
        const QRegularExpression greyEntry("^\\d+\\t(\\d+)\\t\\1\\t\\1$", QRegularExpression::MultilineOption);
        QCOMPARE(QString::fromLatin1(out).count(greyEntry), 256);
    }
};

QTEST_GUILESS_MAIN(TestToolAct)
#include "tst_tool_act.moc"

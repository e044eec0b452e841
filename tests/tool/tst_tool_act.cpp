// morvane-tool act: listing a palette and recolouring it from the command line.
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::runTool;

class TestToolAct : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void commands_data()
    {
        // "@in.act" is a palette whose entry 1 is white and entry 2 is 10, 20, 30; "@short.act" has 767 bytes.
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("shown"); // found in `act show` of the result
        const auto row = [](const char* name, const QStringList& args, int status, const char* shown = "") {
            QTest::newRow(name) << args << status << QByteArray(shown);
        };
        row("show, entry 0 first", {"act", "show", "@in.act"}, 0,
            "# colours 32\nindex\tred\tgreen\tblue\n0\t0\t0\t0\n1\t255\t255\t255\n2\t10\t20\t30\n");
        // Effects go by name, whatever the case and blanks, or by number.
        row("effect by name", {"act", "effect", "Fire", "@in.act", "@out.act"}, 0, "\n1\t255\t127\t0\n");
        row("effect name with blanks", {"act", "effect", "blue to red", "@in.act", "@out.act"}, 0, "\n2\t30\t20\t10\n");
        row("effect by number", {"act", "effect", "12", "@in.act", "@out.act"}, 0, "\n1\t205\t205\t205\n");
        row("unknown effect", {"act", "effect", "Rainbow", "@in.act", "@out.act"}, 2);
        row("767 bytes", {"act", "show", "@short.act"}, 1);
        row("unwritable output", {"act", "effect", "Fire", "@in.act", "/nonexistent/dir/o.act"}, 1);
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QByteArray act(768, '\0'); // ACT files hold the entries last first
        act.replace(759, 6, "\x0a\x14\x1e\xff\xff\xff");
        testsupport::writeFile(tmp.filePath("in.act"), act);
        testsupport::writeFile(tmp.filePath("short.act"), QByteArray(767, '\x01'));
        QFile::remove(tmp.filePath("out.act"));
        args.replaceInStrings(QRegularExpression("^@"), tmp.path() + '/');
        QByteArray out, err;
        QCOMPARE(runTool(args, &out, &err), status);
        QCOMPARE(err.isEmpty(), status == 0);
        QCOMPARE(QFile::exists(tmp.filePath("out.act")), status == 0 && args[1] == "effect");
        if (status == 0 && args[1] == "effect")
            QCOMPARE(runTool({"act", "show", args[4]}, &out, &err), 0);
        QFETCH(QByteArray, shown);
        QVERIFY2(status || (out.count('\n') == 258 && out.contains(shown)), out.constData());
    }
};

QTEST_GUILESS_MAIN(TestToolAct)
#include "tst_tool_act.moc"

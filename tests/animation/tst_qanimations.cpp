#include "qanimations.h"
#include "qmessages.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <class Box> QString boxes(const char* prefix, const QList<Box>& list)
{
    QStringList parts;
    for (const Box& r : list) {
        QString s = QString("%1 %2 %3 %4").arg(r.x1).arg(r.y1).arg(r.x2).arg(r.y2);
        if constexpr (std::is_same_v<Box, ClsnDefaultBox>)
            s += QString("@%1").arg(r.fromFrame);
        parts << s;
    }
    return list.isEmpty() ? QString() : prefix + ('[' + parts.join(';') + ']');
}

// One line per action: #number "name" frames | ... defaults. Compact enough to
// write the expected records of a table row by hand.
QString describe(const QAnimations& set)
{
    QStringList lines;
    for (int i = 0; i < set.actionCount(); ++i) {
        const AirAction* a = set.action(i);
        QStringList frames;
        for (const AirFrame* f : a->frames) {
            QString fs = QString("%1,%2,%3,%4,%5").arg(f->group).arg(f->number).arg(f->x).arg(f->y).arg(f->time);
            if (f->flip)
                fs += QString(" f%1").arg(f->flip);
            if (f->transparency)
                fs += QString(" t%1/%2/%3").arg(f->transparency).arg(f->srcAlpha).arg(f->dstAlpha);
            frames << fs + (f->loopStart ? " L" : "") + boxes(" c1", f->clsn1) + boxes(" c2", f->clsn2);
        }
        lines << QString("#%1 \"%2\"").arg(a->number).arg(a->name) + (frames.isEmpty() ? "" : " ")
                     + frames.join(" | ") + boxes(" || d1", a->clsn1Default) + boxes(" || d2", a->clsn2Default);
    }
    return lines.join('\n');
}

QStringList messageLines(const QMessages& m)
{
    QStringList out;
    for (int i = 0; i < m.rowCount(); ++i)
        out << QString("%1 %2").arg(m.type(i) == Error ? 'E' : m.type(i) == Warning ? 'W' : 'I').arg(m.text(i));
    return out;
}

} // namespace

class TestQAnimations : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void roundTrip_data() { parse_data(); }
    void roundTrip();
    void writerLayout();
    void encodings_data();
    void encodings();
    void corpusFiles_data();
    void corpusFiles();
    void fileFailures();
    void actionAndFrameOperations();
    void garbageEndsAndReportsEachTokenOnce();
};

void TestQAnimations::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QStringList>("messages");
    const QByteArray h = "[Begin Action 1]\n";
    QTest::newRow("default block before the third frame")
        << h + "0,0, 0,0, 5\n0,1, 0,0, 5\nclsn2default: 1\n  clsn2[0]= -10,-50 ,10,0\n0,2, 0,0, 5\n"
        << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,5 | 0,2,0,0,5 || d2[-10 -50 10 0@2]" << QStringList();
    QTest::newRow("boxes normalised") << h + "Clsn1: 1\n Clsn1[0] = 10, 0, -10, -20\n0,0, 0,0, 1\n"
                                      << "#1 \"\" 0,0,0,0,1 c1[-10 -20 10 0]" << QStringList();
    QTest::newRow("time -1") << h + "0,0, 0,0, -1\n" << "#1 \"\" 0,0,0,0,-1" << QStringList();
    QTest::newRow("empty flip with A1") << h + "0,0,0,0,10,,A1\n" << "#1 \"\" 0,0,0,0,10 t1/128/256" << QStringList();
    QTest::newRow("HV with as128d64") << h + "5,0, 0,0, 4, HV, as128d64\n" << "#1 \"\" 5,0,0,0,4 f3 t1/128/64"
                                      << QStringList();
    QTest::newRow("subtractive") << h + "0,0, 0,0, 5, , S\n" << "#1 \"\" 0,0,0,0,5 t2/0/0" << QStringList();
    QTest::newRow("flip words") << h + "1,0,0,0,1,h\n1,0,0,0,1,V\n1,0,0,0,1,vh\n"
                                << "#1 \"\" 1,0,0,0,1 f2 | 1,0,0,0,1 f1 | 1,0,0,0,1 f3" << QStringList();
    QTest::newRow("invalid flip on line 7")
        << QByteArray("; x\n[Begin Action 0]\n") + QByteArray("0,0, 0,0, 4\n").repeated(4) + "0,0, 0,0, 4, X\n"
        << "#0 \"x\" 0,0,0,0,4 | 0,0,0,0,4 | 0,0,0,0,4 | 0,0,0,0,4 | 0,0,0,0,4"
        << QStringList{"W name.air(7): Invalid flip type 'X'"};
    QTest::newRow("invalid transparency") << h + "0,0,0,0,1,H,Q\n" << "#1 \"\" 0,0,0,0,1 f2"
                                          << QStringList{"W name.air(2): Invalid transparency 'Q'"};
    QTest::newRow("frame line ending in a comma before a Clsn2 block")
        << h + "0,0, 0,0, 5,\nClsn2: 1\n Clsn2[0] = 1,2,3,4\n0,1, 0,0, 5\n"
        << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,5 c2[1 2 3 4]" << QStringList();
    QTest::newRow("frame lines ending in a comma") << h + "0,0, 0,0, 5,\n0,1, 0,0, 6, H,\n0,2, 0,0, 7\n"
                                                   << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,6 f2 | 0,2,0,0,7" << QStringList();
    QTest::newRow("action names from the last comment")
        << QByteArray("; banner\n;\n; ---\n; Stand\n[Begin Action 0]\n0,0,0,0,1\n[Begin Action 1]\n1,0,0,0,1 ; "
                      "note\n[begin action 2] ; Walk\n; Run\n[BEGIN ACTION 3]\n3,0,0,0,1\n")
        << "#0 \"Stand\" 0,0,0,0,1\n#1 \"Stand\" 1,0,0,0,1\n#2 \"note\"\n#3 \"Run\" 3,0,0,0,1" << QStringList();
    QTest::newRow("CRLF lines") << QByteArray("; Stand  \r\n[Begin Action 0]\r\nLoopstart\r\n0,0, 0,0, 1\r\n")
                                << "#0 \"Stand  \" 0,0,0,0,1 L" << QStringList();
    QTest::newRow("unknown identifier") << h + "Interpolate Offset\n0,0,0,0,1\n" << "#1 \"\" 0,0,0,0,1"
                                        << QStringList{"W name.air(2): Unknown identifier 'Interpolate'",
                                                       "W name.air(2): Unknown identifier 'Offset'"};
    QTest::newRow("a box block and Loopstart before the next header make no frame")
        << h + "0,0,0,0,5\nClsn2Default: 1\n Clsn2[0]=0,0,1,1\nLoopstart\n[Begin Action 2]\n2,0,0,0,5\n"
        << "#1 \"\" 0,0,0,0,5 || d2[0 0 1 1@1]\n#2 \"\" 2,0,0,0,5" << QStringList();
    QTest::newRow("box lines labelled with the other type follow their block")
        << h + "Clsn1: 1\n Clsn2[0] = 66,-66, 9,-44\nClsn2: 1\n clsn1[0]=1,1,2,2\n0,0,0,0,1\n"
        << "#1 \"\" 0,0,0,0,1 c1[9 -66 66 -44] c2[1 1 2 2]" << QStringList();
    QTest::newRow("huge box count at the end of the text") << h + "Clsn1Default: 99999999999\n Clsn1[0]=1,2,3,4"
                                                           << "#1 \"\" || d1[1 2 3 4@0]" << QStringList();
    QTest::newRow("box values carry over inside a block")
        << h + "Clsn1: 2\n Clsn1[0]=1,2,3,4\n Clsn1[1]=5,6,x,8\n0,0,0,0,1\n"
        << "#1 \"\" 0,0,0,0,1 c1[1 2 3 4;3 6 5 8]" << QStringList{"E name.air(4): Unexpected token 'x'"};
    QTest::newRow("text without a header")
        << QByteArray("Clsn1: 0\n0,0,0,0,1") << "#0 \"\" 0,0,0,1,10"
        << QStringList{"E name.air(1): Unexpected token 'Clsn1'", "E name.air(1): Unexpected token ':'",
                       "E name.air(1): Unexpected token '0'", "E name.air(2): Unexpected token ','",
                       "E name.air(2): Unexpected token ''"};
    QTest::newRow("empty text") << QByteArray() << QString() << QStringList();
}

void TestQAnimations::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, records);
    QFETCH(QStringList, messages);
    QMessages m;
    QAnimations set(&m);
    set.parse(text, "name.air");
    QCOMPARE(describe(set), records);
    QCOMPARE(messageLines(m), messages);
}

void TestQAnimations::roundTrip()
{
    QFETCH(QByteArray, text);
    QMessages m;
    QAnimations first(&m), second(&m);
    first.parse(text, "a.air");
    const int before = m.rowCount();
    second.parse(first.toBytes(), "b.air");
    QCOMPARE(m.rowCount(), before); // what we write reads back without a complaint
    QCOMPARE(describe(second), describe(first));
    QCOMPARE(second.toBytes(), first.toBytes());
}

void TestQAnimations::writerLayout()
{
    QAnimations set(nullptr);
    set.parse("; Seven\n[Begin Action 7]\nClsn2Default: 1\n Clsn2[0] = 3,4,-1,-2\nClsn1: 1\n Clsn1[0] = 0,0,5,5\n"
              "Loopstart\n0,1, -5,0, 10\n0,0, 0,0, 5, , S\n0,0, 0,0, 5, V, AS64D192\n0,0,0,0,5,,A\n"
              "Clsn1Default: 1\n Clsn1[0] = 1,1,2,2\n",
              "x.air");
    const QString expected = "; Seven\n[Begin Action 7]\nClsn2Default: 1\n  Clsn2[0] = -1, -2, 3, 4\n"
                             "Clsn1: 1\n  Clsn1[0] = 0, 0, 5, 5\nLoopstart\n0,1, -5,0, 10\n0,0, 0,0, 5, , S\n"
                             "0,0, 0,0, 5, V, AS64D192\n0,0, 0,0, 5, , A\nClsn1Default: 1\n  Clsn1[0] = 1, 1, 2, 2\n";
    QCOMPARE(set.actionText(0), expected);
    QCOMPARE(set.actionText(1), QString());
    QCOMPARE(set.actionText(-1), QString());

    // The file starts with a byte-order mark and a four-line banner.
    const QByteArray bytes = set.toBytes();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF;" + QByteArray(74, '*') + ";\n;"));
    QCOMPARE(QString::fromUtf8(bytes).section('\n', 4), expected + "\n");
}

void TestQAnimations::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    const QString name = QString::fromUtf8("Caf\xC3\xA9 \xE6\x97\xA5");
    const QString text = "; " + name + "\n[Begin Action 0]\n0,0,0,0,1\n";
    const QByteArray utf16 = "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QTest::newRow("UTF-16 with a byte-order mark") << utf16 << name;
    QTest::newRow("UTF-8 with a byte-order mark") << ("\xEF\xBB\xBF" + text.toUtf8()) << name;
    QTest::newRow("UTF-8 without a mark") << text.toUtf8() << name;
    QTest::newRow("Latin-1 keeps every byte")
        << QByteArray("; Caf\xE9 \xBF\xFF\n[Begin Action 0]\n0,0,0,0,1\n") << QString::fromUtf8("Caf\xC3\xA9 \xC2\xBF\xC3\xBF");
}

void TestQAnimations::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QMessages m;
    QAnimations set(&m), again(&m);
    set.parse(bytes, "e.air");
    again.parse(set.toBytes(), "e.air");
    QCOMPARE(m.rowCount(), 0);
    QCOMPARE(set.actionInfo(0).name, name);
    QCOMPARE(again.actionInfo(0).name, name);
}

void TestQAnimations::corpusFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("kfm") << "chars/kfm/kfm.air";
    QTest::newRow("fightfx") << "data/fightfx.air";
}

void TestQAnimations::corpusFiles()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QMessages m;
    QAnimations set(&m), again(&m);
    QVERIFY(set.load(path));
    QVERIFY(set.actionCount() > 0);
    QTemporaryDir dir;
    QVERIFY(set.save(dir.filePath("copy.air")));
    QCOMPARE(set.filePath(), QFileInfo(dir.filePath("copy.air")).absoluteFilePath());
    QVERIFY(again.load(set.filePath()));
    QCOMPARE(messageLines(m), QStringList());
    QCOMPARE(describe(again), describe(set));

    // Every box line of the source file survives.
    const QRegularExpression boxIn(R"((?im)^\s*clsn[12]\s*\[.*=)"), boxOut(R"([\[;]-?\d+ -?\d+ -?\d+ -?\d+)");
    QCOMPARE(describe(again).count(boxOut), QString::fromLatin1(testsupport::readFile(path)).count(boxIn));
}

void TestQAnimations::fileFailures()
{
    QTemporaryDir dir;
    QMessages m;
    QAnimations set(&m);
    set.parse("[Begin Action 4]\n0,0,0,0,1\n", "keep.air");
    const QString before = describe(set);
    QVERIFY(!set.load(dir.filePath("missing.air")));
    QVERIFY(!set.load(dir.path())); // a directory
    QCOMPARE(describe(set), before);

    QVERIFY(!set.save(dir.filePath("no/such/dir/x.air")));
    QVERIFY(!set.save(dir.path()));
    QVERIFY(!set.save()); // never saved: no file to save to
    QCOMPARE(set.filePath(), QString());

    const QString good = dir.filePath("good.air");
    QVERIFY(set.save(good));
    QVERIFY(set.save());
    QFile::remove(good);
    QVERIFY(!set.save()); // the file went away
    QVERIFY(!QFile::exists(good));
}

void TestQAnimations::actionAndFrameOperations()
{
    QAnimations set(nullptr);
    set.insertAction(0);
    set.insertAction(5); // appends
    set.insertAction(0);
    QCOMPARE(set.actionCount(), 3);
    QCOMPARE(set.actionInfo(0).number, 2); // numbered by the count before it came
    QCOMPARE(set.actionInfo(2).number, 1);
    QCOMPARE(set.frameCount(0), 1);
    QCOMPARE(set.frame(0, 0)->group, -1);

    set.appendFrame(1);
    set.insertFrame(1, 0);
    set.frame(1, 0)->group = 7;
    set.deleteFrame(1, 0);
    QCOMPARE(set.frameCount(1), 2);
    QCOMPARE(set.frame(1, 0)->group, -1);

    // Bad indices do nothing and give empty values.
    set.setActionInfo(3, "x", 1);
    set.insertFrame(-1, 0);
    set.appendFrame(3);
    set.deleteFrame(1, 2);
    set.deleteFrame(9, 0);
    set.deleteAction(3);
    set.deleteAction(-1);
    QCOMPARE(set.actionCount(), 3);
    QCOMPARE(set.frameCount(1), 2);
    QCOMPARE(set.frameCount(-1), 0);
    QVERIFY(!set.frame(1, 2));
    QVERIFY(!set.frame(3, 0));
    QCOMPARE(set.actionInfo(3).name, QString());
    QVERIFY(!set.defaultList(3, 0));
    QVERIFY(!set.defaultList(0, 2));
    QCOMPARE(set.defaultList(0, 1), &set.action(0)->clsn2Default);
    set.deleteAction(1);
    QCOMPARE(set.actionInfo(1).number, 1);

    // A default block stands in front of a frame; adding or deleting frames
    // elsewhere keeps it in front of the same frame, like editing the text.
    set.clear();
    set.parse("[Begin Action 0]\n0,0,0,0,1\n0,1,0,0,1\nClsn2Default: 1\n Clsn2[0]=0,0,1,1\n0,2,0,0,1\n0,3,0,0,1\n",
              "d.air");
    QCOMPARE(set.actionCount(), 1);
    const QList<ClsnDefaultBox>& d = *set.defaultList(0, 1);
    QCOMPARE(d.at(0).fromFrame, 2);
    set.insertFrame(0, 1);
    QCOMPARE(d.at(0).fromFrame, 3);
    set.insertFrame(0, 3); // in front of the frame the block stood before
    QCOMPARE(d.at(0).fromFrame, 4);
    QCOMPARE(set.frame(0, 4)->number, 2);
    set.insertFrame(0, 5);
    QCOMPARE(d.at(0).fromFrame, 4);
    set.deleteFrame(0, 0);
    QCOMPARE(d.at(0).fromFrame, 3);
    set.deleteFrame(0, 3); // the frame it stood before: it now stands before the next
    QCOMPARE(d.at(0).fromFrame, 3);
    QCOMPARE(set.frame(0, 3)->group, -1);
}

void TestQAnimations::garbageEndsAndReportsEachTokenOnce()
{
    // Every complaint consumes a token, so a broken text of n tokens gives at
    // most about n lines and never loops.
    QMessages m;
    QAnimations set(&m);
    set.parse(QByteArray("# ] ** \"q\" 1.5 { Clsn2: 5 x ").repeated(2000), "g.air");
    QVERIFY(m.rowCount() > 0);
    QVERIFY(m.rowCount() <= 2000 * 11 + 8);
    QVERIFY(messageLines(m).first().startsWith('E'));
}

QTEST_MAIN(TestQAnimations)
#include "tst_qanimations.moc"

#include "qanimations.h"
#include "qmessages.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Boxes as "x1 y1 x2 y2", a default with @ the frame it applies from.
template <class Box> QString boxes(const char* prefix, const QList<Box>& list)
{
    QStringList parts;
    for (const Box& r : list) {
        parts << QString("%1 %2 %3 %4").arg(r.x1).arg(r.y1).arg(r.x2).arg(r.y2);
        if constexpr (std::is_same_v<Box, ClsnDefaultBox>)
            parts.last() += QString("@%1").arg(r.fromFrame);
    }
    return list.isEmpty() ? QString() : prefix + ('[' + parts.join(';') + ']');
}

// One line per action: #number "name" frames | ... || defaults. Compact enough
// to write the expected records of a table row by hand.
QString describe(const QAnimations& set)
{
    QStringList lines;
    for (int i = 0; i < set.actionCount(); ++i) {
        const AirAction* a = set.action(i);
        QStringList frames;
        for (const AirFrame* f : a->frames)
            frames << QString("%1,%2,%3,%4,%5").arg(f->group).arg(f->number).arg(f->x).arg(f->y).arg(f->time)
                          + (f->flip ? QString(" f%1").arg(f->flip) : "")
                          + (f->transparency ? QString(" t%1/%2/%3").arg(f->transparency).arg(f->srcAlpha).arg(f->dstAlpha) : "")
                          + (f->scaleX != 1 || f->scaleY != 1 || f->angle != 0 ? QString(" s%1/%2/%3").arg(f->scaleX).arg(f->scaleY).arg(f->angle) : "")
                          + (f->loopStart ? " L" : "") + boxes(" c1", f->clsn1) + boxes(" c2", f->clsn2)
                          + (f->otherLines.isEmpty() ? "" : QString(" +%1").arg(f->otherLines.size()));
        lines << QString("#%1 \"%2\"").arg(a->number).arg(a->name) + (frames.isEmpty() ? "" : " ") + frames.join(" | ")
                     + boxes(" || d1", a->clsn1Default) + boxes(" || d2", a->clsn2Default)
                     + (a->otherLines.isEmpty() ? "" : QString(" || +%1").arg(a->otherLines.size()));
    }
    return lines.join('\n');
}

QStringList messageLines(const QMessages& m)
{
    QStringList out;
    for (int i = 0; i < m.rowCount(); ++i)
        out << QString("%1 %2").arg(m.type(i) == MessageType::Error ? 'E' : m.type(i) == MessageType::Warning ? 'W' : 'I').arg(m.text(i));
    return out;
}

// The messages without the file and line they name.
QStringList messageKinds(const QMessages& m)
{
    return messageLines(m).replaceInStrings(QRegularExpression(R"(^(.) [^(]*\(\d+\): )"), "\\1 ");
}

} // namespace

class TestQAnimations : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void corpusFiles();
    void communityFilesKeepEverything();
    void badInputAndDefaultBlocks();
    void codePageSpellingKept();
};

void TestQAnimations::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("records"); // describe(), then the issue lines
    const QByteArray h = "[Begin Action 1]\n";
    QTest::newRow("default block before the third frame")
        << h + "0,0, 0,0, 5\n0,1, 0,0, 5\nclsn2default: 1\n  clsn2[0]= -10,-50 ,10,0\n0,2, 0,0, -1\n"
        << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,5 | 0,2,0,0,-1 || d2[-10 -50 10 0@2]";
    QTest::newRow("boxes normalised") << h + "Clsn1: 1\n Clsn1[0] = 10, 0, -10, -20\n0,0, 0,0, 1\n"
                                      << "#1 \"\" 0,0,0,0,1 c1[-10 -20 10 0]";
    QTest::newRow("empty flip with A1, HV with as128d64, S, flip words")
        << h + "0,0,0,0,10,,A1\n5,0, 0,0, 4, HV, as128d64\n0,0, 0,0, 5, , S\n1,0,0,0,1,h\n1,0,0,0,1,V\n"
        << "#1 \"\" 0,0,0,0,10 t1/128/256 | 5,0,0,0,4 f3 t1/128/64 | 0,0,0,0,5 t2/0/0 | 1,0,0,0,1 f2 | 1,0,0,0,1 f1";
    QTest::newRow("invalid flip on line 7")
        << QByteArray("; x\n[Begin Action 0]\n") + QByteArray("0,0, 0,0, 4\n").repeated(4) + "0,0, 0,0, 4, X\n"
        << "#0 \"x\" " + QStringList(5, "0,0,0,0,4").join(" | ") + "\nW name.air(7): Invalid flip type 'X'";
    QTest::newRow("frame line ending in a comma before a Clsn2 block")
        << h + "0,0, 0,0, 5,\nClsn2: 1\n Clsn2[0] = 1,2,3,4\n0,1, 0,0, 6, H,\n"
        << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,6 f2 c2[1 2 3 4]";
    QTest::newRow("action names from the last comment, CRLF lines")
        << QByteArray("; banner\r\n;\r\n; ---\r\n; Stand \r\n[Begin Action 0]\r\nLoopstart\r\n0,0,0,0,1\r\n[Begin Action 1]\r\n"
                      "1,0,0,0,1 ; note\r\n[begin action 2] ; Walk\r\n; Run\r\n[BEGIN ACTION 3]\r\n3,0,0,0,1\r\n")
        << "#0 \"Stand \" 0,0,0,0,1 L\n#1 \"Stand \" 1,0,0,0,1\n#2 \"note\"\n#3 \"Run\" 3,0,0,0,1";
    QTest::newRow("Interpolate lines are kept where they stand")
        << h + "0,0,0,0,1\nInterpolate Offset\nInterpolate Blend\n0,1,0,0,1\n" << "#1 \"\" 0,0,0,0,1 | 0,1,0,0,1 +2";
    QTest::newRow("a box block and Loopstart before the next header make no frame")
        << h + "0,0,0,0,5\nClsn2Default: 1\n Clsn2[0]=0,0,1,1\nLoopstart\n[Begin Action 2]\n2,0,0,0,5\n"
        << "#1 \"\" 0,0,0,0,5 || d2[0 0 1 1@1] || +1\n#2 \"\" 2,0,0,0,5";
    QTest::newRow("box lines labelled with the other type follow their block")
        << h + "Clsn1: 1\n Clsn2[0] = 66,-66, 9,-44\nClsn2: 1\n clsn1[0]=1,1,2,2\n0,0,0,0,1\n"
        << "#1 \"\" 0,0,0,0,1 c1[9 -66 66 -44] c2[1 1 2 2]";
    QTest::newRow("a box count beyond the lines, or short of them, does not matter")
        << h + "Clsn1Default: 99999999999\n Clsn1[0]=1,2,3,4\nClsn2: 1\n Clsn2[0]=0,0,1,1\n Clsn2[1]=2,2,3,3\n9,9,0,0,1"
        << "#1 \"\" 9,9,0,0,1 c2[0 0 1 1;2 2 3 3] || d1[1 2 3 4@0]";
    QTest::newRow("a box line the engine cannot read is an error and kept")
        << h + "Clsn1: 2\n Clsn1[0]=1,2,3,4\n Clsn1[1]=5,6,x,8\n0,0,0,0,1\n"
        << "#1 \"\" 0,0,0,0,1 c1[1 2 3 4] +1\nE name.air(4): Box line not understood, kept as it is: 'Clsn1[1]=5,6,x,8'";
    QTest::newRow("text before the first action is ignored")
        << QByteArray("Clsn1: 0\nstray words\n0,0,0,0,1\n[Begin Action 0]\n1,0,0,0,1")
        << "#0 \"\" 1,0,0,0,1\nW name.air(1): Text before the first action is ignored: 'Clsn1: 0'\n"
           "W name.air(2): Text before the first action is ignored: 'stray words'\n"
           "W name.air(3): Text before the first action is ignored: '0,0,0,0,1'";
    // Lines of real characters made with other tools: each one loses nothing
    // the engine reads, and stray text is a warning.
    QTest::newRow("Loopstart with a colon") << h + "0,0,0,0,5\nloopstart:\n0,1,0,0,5\n" << "#1 \"\" 0,0,0,0,5 | 0,1,0,0,5 L";
    QTest::newRow("text after the time")
        << h + "0, 2, 0, 0, 2  ---93\n" << "#1 \"\" 0,2,0,0,2\nW name.air(2): Text after the time is ignored: '---93'";
    QTest::newRow("an empty field before the transparency")
        << h + "10, 13, -53, -1, 2, HV, ,A1\n" << "#1 \"\" 10,13,-53,-1,2 f3\nW name.air(2): Invalid number 'A1'";
    QTest::newRow("numbers after the transparency or in its place")
        << h + "70,4, 0,0, 5,, 90\n1073,0, 0,0, 2,, 0\n860, 0, -53, -12, 4, , 0xBF8A\n"
        << "#1 \"\" 70,4,0,0,5 | 1073,0,0,0,2 | 860,0,-53,-12,4\nW name.air(2): Invalid transparency '90'\n"
           "W name.air(3): Invalid transparency '0'\nW name.air(4): Invalid transparency '0xBF8A'";
    QTest::newRow("later engines' scale and angle")
        << h + "0,0, 0,0, 5, H, A, 1.5, 0.5, 45\n0,1, 0,0, 5, , , 2\n"
        << "#1 \"\" 0,0,0,0,5 f2 t1/256/256 s1.5/0.5/45 | 0,1,0,0,5 s2/1/0";
    QTest::newRow("transparency words by their first letter")
        << h + "0,0,0,0,1,,Add\n0,0,0,0,1,,sub\n0,0,0,0,1,,A1\n"
        << "#1 \"\" 0,0,0,0,1 t1/256/256 | 0,0,0,0,1 t2/0/0 | 0,0,0,0,1 t1/128/256";
    QTest::newRow("junk lines, a comment without its ';', a word after a frame line")
        << QByteArray("garbage first line\n[Begin Action 5]\nClsn2: 1\n Clsn2[0] = 1,2,3,4\n0,0,0,0,5\n"
                      "this should have been a comment\nClsn1: 1\n Clsn1[0] = 5,6,7,8\n0,1,0,0,5 oops\n[Begin Action 6]\nhello\n0,2,0,0,-1\n")
        << "#5 \"\" 0,0,0,0,5 c2[1 2 3 4] | 0,1,0,0,5 c1[5 6 7 8] +1\n#6 \"\" 0,2,0,0,-1 +1\n"
           "W name.air(1): Text before the first action is ignored: 'garbage first line'\n"
           "W name.air(6): Line not understood, kept as it is: 'this should have been a comment'\n"
           "W name.air(9): Text after the time is ignored: 'oops'\n"
           "W name.air(11): Line not understood, kept as it is: 'hello'";
    QTest::newRow("a frame line with too few numbers is an error and kept")
        << h + "0,0, 0,0, 5\n0,0, #\n" << "#1 \"\" 0,0,0,0,5 || +1\nE name.air(3): Frame line not understood, kept as it is: '0,0, #'";
    // Text goes through the shared decoder (tested with every encoding on its
    // own): this shows the parser uses it and the writer keeps every character.
    QTest::newRow("Latin-1 keeps every byte") << QByteArray("; Caf\xE9 \xBF\xFF\n[Begin Action 0]\n")
                                              << QString::fromUtf8("#0 \"Caf\xC3\xA9 \xC2\xBF\xC3\xBF\"");
}

void TestQAnimations::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, records);
    QMessages m, m2;
    QAnimations set(&m), again(&m2);
    set.parse(text, "name.air");
    QCOMPARE((QStringList{describe(set)} + messageLines(m)).join('\n'), records);
    // What we write reads back the same, and writes the same bytes. Stray
    // text is kept as the file had it, so it is told again, once.
    again.parse(set.toBytes(), "again.air");
    QCOMPARE(describe(again), describe(set));
    QStringList told = messageKinds(m);
    told.removeIf([](const QString& k) { return k.contains("before the first action"); });
    QCOMPARE(messageKinds(m2), told);
    QCOMPARE(again.toBytes(), set.toBytes());
}

void TestQAnimations::corpusFiles()
{
    for (const char* file : {"chars/kfm/kfm.air", "data/fightfx.air"}) {
        CORPUS_OR_SKIP(path, file);
        QMessages m;
        QAnimations set(&m), again(&m);
        QTemporaryDir dir;
        QVERIFY(set.load(path) && set.save(dir.filePath("copy.air")) && again.load(set.fileName()));
        QCOMPARE(messageLines(m), QStringList());
        QCOMPARE(describe(again), describe(set));
        // Every box line of the source file survives.
        const QRegularExpression boxIn(R"((?im)^\s*clsn[12]\s*\[.*=)"), boxOut(R"([\[;]-?\d+ -?\d+ -?\d+ -?\d+)");
        QCOMPARE(describe(again).count(boxOut), QString::fromLatin1(testsupport::readFile(path)).count(boxIn));
    }
}

// Counts what the engine reads of an AIR text without the program's reader:
// action headers, frame lines (five numbers first) and box lines.
QList<int> countLines(const QByteArray& bytes)
{
    static const QRegularExpression header(R"(^\s*\[\s*begin\s+action\s+-?\d+)", QRegularExpression::CaseInsensitiveOption),
        box(R"(^\s*clsn[12]\s*\[.*=)", QRegularExpression::CaseInsensitiveOption),
        number(R"(^\s*-?\d+)");
    QList<int> n{0, 0, 0};
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromLatin1(raw).section(';', 0, 0);
        const QStringList fields = line.split(',');
        if (header.match(line).hasMatch())
            ++n[0];
        else if (box.match(line).hasMatch())
            ++n[2];
        else if (fields.size() >= 5 && std::all_of(fields.begin(), fields.begin() + 5,
                                                   [](const QString& f) { return number.match(f).hasMatch(); }))
            ++n[1];
    }
    return n;
}

void TestQAnimations::communityFilesKeepEverything()
{
    CORPUS_OR_SKIP(root, "community");
    QDirIterator it(root, {"*.air", "*.AIR"}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QMessages m;
        QAnimations set(&m);
        QVERIFY2(set.load(path), qPrintable(path));
        // Stray text is told as warnings; nothing in these files is an error.
        for (int i = 0; i < m.rowCount(); ++i)
            QVERIFY2(m.type(i) != MessageType::Error, qPrintable(m.text(i)));
        const QByteArray once = set.toBytes();
        QCOMPARE(countLines(once), countLines(testsupport::readFile(path)));
        QAnimations again(nullptr);
        again.parse(once, "again.air");
        QCOMPARE(again.toBytes(), once);
        ++files;
    }
    QVERIFY(files > 60);
}

void TestQAnimations::badInputAndDefaultBlocks()
{
    QTemporaryDir dir;
    QAnimations set(nullptr);
    set.parse("[Begin Action 0]\n0,0,0,0,1\n0,1,0,0,1\nClsn2Default: 1\n Clsn2[0]=0,0,1,1\n0,2,0,0,1\n0,3,0,0,1\n",
              "d.air");
    const QString before = describe(set);
    // Bad indices do nothing and give empty values; a missing file or a
    // directory loads nothing.
    set.setActionInfo(1, "x", 1);
    set.insertFrame(-1, 0);
    set.appendFrame(1);
    set.deleteFrame(0, 4);
    set.deleteAction(-1);
    QVERIFY(!set.load(dir.filePath("missing.air")) && !set.load(dir.path()));
    QCOMPARE(describe(set), before);
    QVERIFY(!set.frame(0, 4) && !set.defaultList(1, 0) && !set.defaultList(0, 2) && set.actionText(1).isEmpty());
    // A save to nowhere, before any, or to a file that went away fails.
    QVERIFY(!set.save(dir.filePath("no/such/dir/x.air")) && !set.save());
    QVERIFY(set.save(dir.filePath("good.air")) && QFile::remove(dir.filePath("good.air")));
    QVERIFY(!set.save() && !QFile::exists(dir.filePath("good.air")));

    // A default block stands in front of a frame; adding or deleting frames
    // elsewhere keeps it in front of the same frame, like editing the text.
    const QList<ClsnDefaultBox>& d = *set.defaultList(0, 1);
    const QList<std::pair<int, int>> steps{{1, 3}, {3, 4}, {5, 4}, {-1, 3}, {-4, 3}}; // insert at n, or delete -n-1
    for (const auto& [at, expected] : steps) {
        at >= 0 ? set.insertFrame(0, at) : set.deleteFrame(0, -at - 1);
        QCOMPARE(d.at(0).fromFrame, expected);
    }
    // The frame it stood before went: it now stands before the next one.
    QCOMPARE(set.frame(0, 3)->group, -1);
}

// Shift-JIS as Windows writes it spells some characters two ways (0xEEFB and
// 0xFA56 are both a full-width apostrophe): the lines a save writes with the
// text they had keep the bytes the file had, so a save and a second save agree.
void TestQAnimations::codePageSpellingKept()
{
    const QByteArray file = "; \x82\xa0 \xee\xfb name\r\n[Begin Action 0]\r\n0,0, 0,0, 5 ; \xee\xfb\r\n"
                            "; \xee\xfb \x82\xa0\r\n0,1, 0,0, 5\r\n";
    QMessages messages;
    QAnimations set(&messages);
    set.parse(file, QStringLiteral("sjis.air"));
    QCOMPARE(set.encodingName(), QStringLiteral("Shift-JIS"));
    const QByteArray first = set.toBytes();
    QCOMPARE(first.count("\xee\xfb"), 1); // the action's name
    QVERIFY(!first.contains("\xfa\x56"));
    QAnimations again(&messages);
    again.parse(first, QStringLiteral("again.air"));
    QCOMPARE(again.toBytes(), first);

    // An edit elsewhere leaves the spelling of the untouched lines alone.
    AirFrame changed = *set.frame(0, 1);
    changed.time = 7;
    set.setFrame(0, 1, changed);
    const QByteArray edited = set.toBytes();
    QCOMPARE(edited.count("\xee\xfb"), 1);
    QVERIFY(!edited.contains("\xfa\x56"));
    QVERIFY(edited.contains("0,1, 0,0, 7"));
}

QTEST_MAIN(TestQAnimations)
#include "tst_qanimations.moc"

// What a DEF names and where the files are found: each way a name written on
// Windows differs from the file on disk, laid out in a temporary folder, and
// every DEF of the community game read with its references counted.
#include "characterdef.h"
#include "codetext.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

class TestCharacterDef : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void findsFiles_data();
    void findsFiles();
    void sectionsAndRoles_data();
    void sectionsAndRoles();
    void lastOfARoleCounts();
    void communityDefs();
    void toolPrintsWhatADefNames();

private:
    QTemporaryDir tmp;
    QString root; // <tmp>/engine: chars/kfm/kfm.def, data/, stages/
};

void TestCharacterDef::initTestCase()
{
    QVERIFY(tmp.isValid());
    root = tmp.path() + QStringLiteral("/engine");
    for (const char* f : {"chars/kfm/kfm.def", "chars/kfm/Kfm.SFF", "chars/kfm/kfm.air", "chars/kfm/act/kfm1.act",
                          "chars/kfm/Paletas/KFM-2.act", "chars/kfm/my pal.act", "chars/kfm/exact.cns",
                          "chars/common.cns", "data/common1.cns", "common2.cns", "stages/arena.def",
                          "stages/arena.sff"}) {
        const QString path = root + QLatin1Char('/') + QLatin1String(f);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        writeFile(path, "x");
    }
}

void TestCharacterDef::findsFiles_data()
{
    QTest::addColumn<QString>("def");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // relative to the engine folder; empty: missing
    QTest::addColumn<int>("found");

    const QString kfm = QStringLiteral("chars/kfm/kfm.def");
    QTest::newRow("as written") << kfm << "kfm.air" << "chars/kfm/kfm.air" << int(DefReference::Exact);
    QTest::newRow("backslashes") << kfm << "act\\kfm1.act" << "chars/kfm/act/kfm1.act" << int(DefReference::Separators);
    QTest::newRow("letter case of the name") << kfm << "kfm.sff" << "chars/kfm/Kfm.SFF" << int(DefReference::LetterCase);
    QTest::newRow("letter case of every part") << kfm << "paletas\\kfm-2.ACT" << "chars/kfm/Paletas/KFM-2.act"
                                               << int(DefReference::LetterCase);
    QTest::newRow("quotes") << kfm << "\"my pal.act\"" << "chars/kfm/my pal.act" << int(DefReference::Quotes);
    QTest::newRow("blank inside, no quotes") << kfm << "my pal.act" << "chars/kfm/my pal.act" << int(DefReference::Exact);
    QTest::newRow("engine data folder") << kfm << "common1.cns" << "data/common1.cns" << int(DefReference::EngineFolder);
    QTest::newRow("engine folder") << kfm << "common2.cns" << "common2.cns" << int(DefReference::EngineFolder);
    QTest::newRow("up a folder") << kfm << "../common.cns" << "chars/common.cns" << int(DefReference::Exact);
    QTest::newRow("up a folder, backslash") << kfm << "..\\common.cns" << "chars/common.cns"
                                            << int(DefReference::Separators);
    QTest::newRow("a stage's folder") << "stages/arena.def" << "arena.sff" << "stages/arena.sff"
                                      << int(DefReference::Exact);
    QTest::newRow("a stage names the engine's data") << "stages/arena.def" << "data/common1.cns"
                                                    << "data/common1.cns" << int(DefReference::EngineFolder);
    QTest::newRow("missing") << kfm << "kfm.snd" << "" << int(DefReference::Missing);
    QTest::newRow("missing folder") << kfm << "sounds\\kfm.snd" << "" << int(DefReference::Missing);
    QTest::newRow("empty") << kfm << "" << "" << int(DefReference::Missing);
    QTest::newRow("only quotes") << kfm << "\"\"" << "" << int(DefReference::Missing);
    QTest::newRow("a folder is not the file") << kfm << "act" << "chars/kfm/act" << int(DefReference::Exact);
}

void TestCharacterDef::findsFiles()
{
    QFETCH(QString, def);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QFETCH(int, found);
    DefReference::Found how = DefReference::Exact;
    const QString path = resolveDefFile(root + QLatin1Char('/') + def, value, &how);
    QCOMPARE(path, expected.isEmpty() ? QString() : QFileInfo(root + QLatin1Char('/') + expected).absoluteFilePath());
    QCOMPARE(int(how), found);
}

void TestCharacterDef::sectionsAndRoles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("references"); // role:key=value@line

    QTest::newRow("character") << "[Info]\nname = \"kfm\"\n[Files]\ncmd = kfm.cmd\ncns = kfm.cns\nst = kfm.cns\n"
                                  "stcommon = common1.cns\nst1 = more.st\nsprite = kfm.sff\nanim = kfm.air\n"
                                  "sound = kfm.snd\npal1 = act\\kfm1.act\npal12 = k.act\nai = kfm.ai\n"
                                  "movelist = movelist.dat\npal.defaults = 1,2\n"
                               << int(CharacterDef::Character)
                               << QStringList{"4:cmd=kfm.cmd@4", "4:cns=kfm.cns@5",    "4:st=kfm.cns@6",
                                              "4:stcommon=common1.cns@7", "4:st1=more.st@8", "0:sprite=kfm.sff@9",
                                              "1:anim=kfm.air@10", "2:sound=kfm.snd@11", "3:pal1=act\\kfm1.act@12",
                                              "3:pal12=k.act@13"};
    QTest::newRow("names in any case, comments, blanks, CR") << "[FILES] ; x\r\nSprite=a.sff;comment\r\n  ANIM  =  b.air  \r\n"
                                                                "; sound = c.snd\r\nsound =\r\n"
                                                             << int(CharacterDef::Character)
                                                             << QStringList{"0:Sprite=a.sff@2", "1:ANIM=b.air@3"};
    QTest::newRow("keys outside their section count for nothing")
        << "sprite = a.sff\n[Info]\nsprite = b.sff\n[Arcade]\nintro.storyboard = intro.def\n"
        << int(CharacterDef::Character) << QStringList{};
    QTest::newRow("stage") << "[Info]\nname=x\n[BGdef]\nspr = stages/arena.sff\ndebugbg = 0\n[BG 1]\nspritenO = 0,0\n"
                           << int(CharacterDef::Stage) << QStringList{"0:spr=stages/arena.sff@4"};
    QTest::newRow("storyboard") << "[SceneDef]\nspr = intro.sff\nstartscene = 0\n[Scene 0]\n"
                                << int(CharacterDef::Storyboard) << QStringList{"0:spr=intro.sff@2"};
    QTest::newRow("font") << "[Def]\nType = bitmap\nfile = f-4x6.sff\n" << int(CharacterDef::Font)
                          << QStringList{"0:file=f-4x6.sff@3"};
    QTest::newRow("a section header cut short") << "[Files\nsprite = a.sff\n" << int(CharacterDef::Character)
                                                << QStringList{"0:sprite=a.sff@2"};
    QTest::newRow("nothing named") << "" << int(CharacterDef::Character) << QStringList{};
    QTest::newRow("no equals sign") << "[Files]\nsprite a.sff\n=b.sff\n" << int(CharacterDef::Character)
                                    << QStringList{};
}

void TestCharacterDef::sectionsAndRoles()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QStringList, references);
    const CharacterDef def = readCharacterDef(text, root + QStringLiteral("/chars/kfm/kfm.def"));
    QCOMPARE(int(def.kind), kind);
    QStringList got;
    for (const DefReference& r : def.references)
        got << QStringLiteral("%1:%2=%3@%4").arg(r.role).arg(r.key, r.value).arg(r.line);
    QCOMPARE(got, references);
}

void TestCharacterDef::lastOfARoleCounts()
{
    const CharacterDef def =
        readCharacterDef(QStringLiteral("[Files]\nsprite = a.sff\nsprite = Kfm.sff\nanim = kfm.air\n"),
                         root + QStringLiteral("/chars/kfm/kfm.def"));
    QVERIFY(def.last(DefReference::Sprites));
    QCOMPARE(def.last(DefReference::Sprites)->value, QStringLiteral("Kfm.sff"));
    QCOMPARE(def.last(DefReference::Sprites)->found, DefReference::LetterCase);
    QVERIFY(!def.last(DefReference::Sounds));
}

// Every DEF of the community game: no file that exists is missed, and a
// reference found is an ordinary file (the engine reads the same one).
void TestCharacterDef::communityDefs()
{
    CORPUS_OR_SKIP(community, "community");
    int defs = 0, references = 0, found = 0, missed = 0;
    QDirIterator it(community, {QStringLiteral("*.def"), QStringLiteral("*.DEF")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const CharacterDef def = readCharacterDef(readCodeText(readFile(path)).text, path);
        ++defs;
        for (const DefReference& r : def.references) {
            ++references;
            if (r.found == DefReference::Missing) {
                // A missing file must truly be missing: no file by that last
                // name anywhere near, whatever its case.
                const QString name = QString(r.value).remove(QLatin1Char('"')).replace(QLatin1Char('\\'), QLatin1Char('/'));
                const QString base = QFileInfo(name).fileName();
                QDirIterator near(QFileInfo(path).absolutePath(), QDir::Files, QDirIterator::Subdirectories);
                while (near.hasNext()) {
                    near.next();
                    if (near.fileName().compare(base, Qt::CaseInsensitive) == 0
                        && QFileInfo(near.filePath()).absolutePath().endsWith(QFileInfo(name).path() == "." ? QString() : QFileInfo(name).path(), Qt::CaseInsensitive))
                        QFAIL(qPrintable(QStringLiteral("%1: '%2' exists as %3").arg(path, r.value, near.filePath())));
                }
                ++missed;
            } else {
                QVERIFY2(QFileInfo(r.path).isFile(), qPrintable(r.path));
                ++found;
            }
        }
    }
    qInfo("%d DEF files, %d references: %d found, %d missing", defs, references, found, missed);
    QVERIFY(defs > 60);
    QVERIFY(found > 400);
}

void TestCharacterDef::toolPrintsWhatADefNames()
{
    const QString def = writeFile(root + QStringLiteral("/chars/kfm/tool.def"),
                                  "[Files]\r\nsprite = kfm.sff\r\npal1 = act\\kfm1.act\r\n");
    QByteArray out, err;
    QCOMPARE(runTool({QStringLiteral("def"), def}, &out, &err), 0);
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].endsWith("sprite = kfm.sff -> " + QFileInfo(root + "/chars/kfm/Kfm.SFF").absoluteFilePath().toUtf8()
                               + " (letter case)"),
             lines[0]);
    QVERIFY2(lines[1].contains(":3: pal1 = act\\kfm1.act -> "), lines[1]);

    // One missing file, or a DEF that cannot be read: status 1, the rest still printed.
    writeFile(def, "[Files]\nsound = none.snd\nanim = kfm.air\n");
    QCOMPARE(runTool({QStringLiteral("def"), def, root + QStringLiteral("/nothing.def")}, &out, &err), 1);
    QVERIFY(out.contains("sound = none.snd -> not found"));
    QVERIFY(out.contains("anim = kfm.air -> "));
    QVERIFY(err.contains("nothing.def"));
    QCOMPARE(runTool({QStringLiteral("def")}, &out, &err), 2);
}

QTEST_GUILESS_MAIN(TestCharacterDef)
#include "tst_characterdef.moc"

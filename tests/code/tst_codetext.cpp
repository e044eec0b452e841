// The bytes of code files: which encoding a file is read in, that nothing
// read is lost, that an unedited save writes the very bytes read and an
// edited one changes only the lines edited, on made-up files in every code
// page and on every code file of the corpus.
#include "codeencoding.h"
#include "codetext.h"
#include "qcodedocuments.h"
#include "syntaxdefinition.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace testsupport;

namespace {

// Bytes of UTF-8 text in another encoding, made by the system's iconv program
// (not by the code under test).
QByteArray iconvBytes(const QString& text, const char* charset)
{
    QProcess p;
    p.start("iconv", {"-f", "UTF-8", "-t", charset});
    p.write(text.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}

// Every code file of the corpus, community set included.
QStringList corpusCodeFiles()
{
    QStringList files;
    const QString root = corpusPath();
    if (root.isEmpty())
        return files;
    QDirIterator it(root, {"*.def", "*.cmd", "*.cns", "*.st", "*.DEF", "*.CMD", "*.CNS", "*.ST"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QList<QByteArray> byteLines(const QByteArray& b)
{
    return b.split('\n');
}

} // namespace

class TestCodeText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void guessAndRoundTrip_data();
    void guessAndRoundTrip();
    void undefinedBytesSurvive_data();
    void undefinedBytesSurvive();
    void unencodableCharacters();
    void editedLinesOnly_data();
    void editedLinesOnly();
    void corpusBytesIdentical();
    void communityGuesses();

private:
    SyntaxDefinition syntax;
    QTemporaryDir dir;
};

void TestCodeText::initTestCase()
{
    QVERIFY(syntax.load(QCoreApplication::applicationDirPath() + "/syntax.xml"));
    QVERIFY(!iconvBytes("x", "CP949").isEmpty());
}

void TestCodeText::guessAndRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding"); // as the status bar names it
    QTest::addColumn<QString>("text");

    const QString korean = "; 이 파일은 캐릭터의 상태를 정의합니다\r\n[Statedef 200]\r\ntype = S ; 약한 펀치와 강한 발차기\r\n";
    const QString chinese = "; 这是角色的状态文件，定义了所有招式和连击\r\n[Statedef 200]\r\n; 轻拳攻击，按下按钮后立即出招\r\n";
    const QString big5 = "; 這是角色的狀態檔案，定義了所有招式和連擊\r\n[Statedef 200]\r\n; 輕拳攻擊，按下按鈕後立即出招\r\n";
    const QString japanese = "; これはキャラクターの状態ファイルです。\r\n[Statedef 200]\r\n; 弱パンチ（立ち）\r\n";
    const QString western = "; Café crème, Müller's Straße, año\r\nname = \"Kakashi´s Stage\"\r\n";
    for (const auto& [tag, text, charset, name] :
         {std::tuple{"Korean", korean, "CP949", "CP949"}, std::tuple{"Chinese", chinese, "GBK", "GBK"},
          std::tuple{"Big5", big5, "BIG5", "Big5"}, std::tuple{"Japanese", japanese, "CP932", "Shift-JIS"},
          std::tuple{"Western", western, "CP1252", "Windows-1252"}}) {
        QTest::newRow(tag) << iconvBytes(text, charset) << QString(name) << QString(text).replace("\r\n", "\n");
    }
    // A lone accented letter among ASCII is Western, whatever else it decodes as.
    QTest::newRow("one accent") << QByteArray("name = \"Kakashi\xB4s Stage\"\r\n") << "Windows-1252"
                                << QString::fromLatin1("name = \"Kakashi\xB4s Stage\"\n");
    QTest::newRow("ASCII") << QByteArray("[Data]\nlife = 1000\n") << "UTF-8" << "[Data]\nlife = 1000\n";
    QTest::newRow("UTF-8") << korean.toUtf8() << "UTF-8" << QString(korean).replace("\r\n", "\n");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF[Data]\n") << "UTF-8" << "[Data]\n";
    // The file's mark is taken off once; a second one is a character of the text.
    QTest::newRow("UTF-8 with two marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\n") << "UTF-8"
                                          << QString(QChar(0xFEFF)) + "x\n";
    QTest::newRow("UTF-16 with mark") << QByteArray("\xFF\xFE[\0D\0]\0\r\0\n\0", 12) << "UTF-16LE" << "[D]\n";
    QTest::newRow("empty") << QByteArray() << "UTF-8" << "";
}

void TestCodeText::guessAndRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QVERIFY(!bytes.isEmpty() || text.isEmpty());
    const CodeText code = readCodeText(bytes);
    QCOMPARE(codeencoding::name(code.format.encoding), encoding);
    QCOMPARE(code.text, text);
    QCOMPARE(code.invalidBytes, 0);
    // Written again from the text alone (no bytes to reuse), every byte comes back.
    QByteArray out;
    QVERIFY(writeCodeText(code.text, code.format, QByteArray(), &out));
    QCOMPARE(out, bytes);
}

void TestCodeText::undefinedBytesSurvive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<int>("invalid");
    // 0x81 is no character of Windows-1252; 0x95 followed by "-" none of Shift-JIS.
    QTest::newRow("Windows-1252 gap") << QByteArray("; caf\xE9 \x81\r\nx = 1\r\n") << "Windows-1252" << 1;
    QTest::newRow("broken Shift-JIS") << iconvBytes("; これはキャラクターの状態ファイルです。\r\n", "CP932") + "; \x95-x\r\n"
                                      << "Shift-JIS" << 1;
    QTest::newRow("bad UTF-8 after a mark") << QByteArray("\xEF\xBB\xBF; \xFF\xFE ok\n") << "UTF-8" << 2;
    QTest::newRow("odd UTF-16") << QByteArray("\xFF\xFEx\0y", 5) << "UTF-16LE" << 1;
}

void TestCodeText::undefinedBytesSurvive()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(int, invalid);
    const CodeText code = readCodeText(bytes);
    QCOMPARE(codeencoding::name(code.format.encoding), encoding);
    QCOMPARE(code.invalidBytes, invalid);
    QByteArray out;
    QVERIFY(writeCodeText(code.text, code.format, QByteArray(), &out));
    QCOMPARE(out, bytes);
}

void TestCodeText::unencodableCharacters()
{
    CodeFileFormat latin{CodeEncoding::Windows1252, false, "\r\n"};
    QByteArray out = "untouched";
    qsizetype bad = -1;
    QVERIFY(!writeCodeText("ok\n; 한", latin, QByteArray(), &out, &bad));
    QCOMPARE(bad, 5);
    QCOMPARE(out, QByteArray("untouched"));
    // Every one of the legacy code pages lacks something another has.
    for (CodeEncoding e : {CodeEncoding::ShiftJis, CodeEncoding::Cp949, CodeEncoding::Gbk, CodeEncoding::Big5})
        QVERIFY(!writeCodeText(QString::fromUtf8("é€ąŐ"), {e, false, "\n"}, QByteArray(), &out, &bad));
    QVERIFY(writeCodeText(QString::fromUtf8("é€ąŐ 한"), {CodeEncoding::Utf8, false, "\n"}, QByteArray(), &out, &bad));
}

void TestCodeText::editedLinesOnly_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("edit"); // "line:new text", or "+line:text" to insert, "-line" to delete
    QTest::addColumn<QByteArray>("saved");
    const QByteArray mixed = "a\r\nb\nc\rd\r\n";
    QTest::newRow("line ends of each line kept") << mixed << "1:B" << QByteArray("a\r\nB\nc\rd\r\n");
    QTest::newRow("inserted line takes the common end") << mixed << "+2:x" << QByteArray("a\r\nb\nx\r\nc\rd\r\n");
    QTest::newRow("deleted line") << mixed << "-2" << QByteArray("a\r\nb\nd\r\n");
    QTest::newRow("edits far apart") << QByteArray("1\r\n2\n3\n4\r5\r\n6") << "0:x|5:y" << QByteArray("x\r\n2\n3\n4\r5\r\ny");
    // Lines with bytes the encoding does not define, and the same text twice.
    QTest::newRow("undefined bytes") << QByteArray("\x81 a\r\nb\r\nb\r\n\x9D\r\n") << "1:B" << QByteArray("\x81 a\r\nB\r\nb\r\n\x9D\r\n");
    // An empty line put after an old Mac line end must not join it into one CR LF.
    QTest::newRow("empty line after a lone CR") << QByteArray("a\nb\r") << "+2:" << QByteArray("a\nb\r\r");
    QTest::newRow("empty lines after a lone CR") << QByteArray("a\nb\rc\n") << "2:|+3:" << QByteArray("a\nb\r\r\r");
}

void TestCodeText::editedLinesOnly()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, edit);
    QFETCH(QByteArray, saved);
    const CodeText code = readCodeText(original);
    QStringList lines = code.text.split('\n');
    for (const QString& e : edit.split('|')) {
        if (e.startsWith('+'))
            lines.insert(e.mid(1).section(':', 0, 0).toInt(), e.section(':', 1));
        else if (e.startsWith('-'))
            lines.removeAt(e.mid(1).toInt());
        else
            lines[e.section(':', 0, 0).toInt()] = e.section(':', 1);
    }
    QByteArray out;
    QVERIFY(writeCodeText(lines.join('\n'), code.format, original, &out));
    QCOMPARE(out, saved);
    // What was written reads back as the lines written.
    QCOMPARE(readCodeText(out).text, lines.join('\n'));
}

// Every code file of the corpus: saved unedited, the very bytes; edited at one
// ASCII line, different at that line only.
void TestCodeText::corpusBytesIdentical()
{
    const QStringList files = corpusCodeFiles();
    if (files.isEmpty())
        QSKIP("the shared corpus of real files is not beside the project");
    QVERIFY(files.size() > 300);
    QCodeDocuments docs(&syntax);
    int edited = 0;
    for (const QString& path : files) {
        const QByteArray original = readFile(path);
        const QString copy = writeFile(dir.filePath("copy.txt"), original);
        const int i = docs.open(copy);
        QVERIFY2(i == 0, qPrintable(path));
        QVERIFY2(docs.save(i), qPrintable(path));
        QVERIFY2(readFile(copy) == original, qPrintable(path));

        // The first line of plain ASCII that has text gets a comment at its end.
        const QList<QByteArray> before = byteLines(original);
        int line = -1;
        for (int k = 0; k < before.size() && line < 0; ++k) {
            const QByteArray l = before[k].endsWith('\r') ? before[k].chopped(1) : before[k];
            if (!l.trimmed().isEmpty() && std::all_of(l.begin(), l.end(), [](char c) { return uchar(c) < 0x80 && c != '\r'; }))
                line = k;
        }
        if (line >= 0 && docs.encoding(i) != CodeEncoding::Utf16LE && docs.encoding(i) != CodeEncoding::Utf16BE) {
            QTextCursor c(docs.document(i)->findBlockByNumber(line));
            c.movePosition(QTextCursor::EndOfBlock);
            c.insertText(" ;edited");
            QVERIFY2(docs.save(i), qPrintable(path));
            const QList<QByteArray> after = byteLines(readFile(copy));
            QVERIFY2(after.size() == before.size(), qPrintable(path));
            for (int k = 0; k < before.size(); ++k) {
                QByteArray expected = before[k];
                if (k == line)
                    expected.insert(expected.endsWith('\r') ? expected.size() - 1 : expected.size(), " ;edited");
                QVERIFY2(after[k] == expected, qPrintable(path + QString(":%1").arg(k + 1)));
            }
            ++edited;
        }
        docs.close(i);
    }
    QVERIFY(edited > 300);
}

// How the community set's files are read. The counts are printed for the
// record; a few files whose script was looked at by eye are checked.
void TestCodeText::communityGuesses()
{
    const QStringList files = corpusCodeFiles().filter("/community/");
    if (files.isEmpty())
        QSKIP("the shared corpus of real files is not beside the project");
    QMap<QString, int> counts;
    QMap<QString, QString> guessed;
    for (const QString& path : files) {
        const CodeText code = readCodeText(readFile(path));
        const QString name = codeencoding::name(code.format.encoding) + (code.invalidBytes ? " (with undefined bytes)" : "");
        ++counts[name];
        guessed[path.section("/community/", 1)] = name;
    }
    QStringList summary;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        summary << QString("%1: %2").arg(it.key()).arg(it.value());
    qInfo("%lld community code files: %s", qlonglong(files.size()), qPrintable(summary.join(", ")));

    QCOMPARE(guessed.value("chars/kfm/kfm.cns"), "Shift-JIS");
    QCOMPARE(guessed.value("chars/Lee/lee.cmd"), "Shift-JIS");
    QCOMPARE(guessed.value("stages/Woods.def"), "Windows-1252");
    QCOMPARE(guessed.value("stages/kushiyama.def"), "Shift-JIS");
    // Shift-JIS with one broken character: still Japanese, the broken bytes kept.
    QCOMPARE(guessed.value("chars/WRYondaime/WRYondaime.cns"), "Shift-JIS (with undefined bytes)");
    // Chinese comments in Big5 beside Shift-JIS lines that lost bytes: read as
    // Big5, the Japanese lines' bytes kept as they are.
    QCOMPARE(guessed.value("chars/Hokage_COSPLAY/Hokage.cns"), "Big5 (with undefined bytes)");
    // Portuguese comments.
    QCOMPARE(guessed.value("chars/Naruto-Kun/naruto-kun.cmd"), "Windows-1252");
    QCOMPARE(counts.value("CP949") + counts.value("GBK"), 0);
}

QTEST_MAIN(TestCodeText)
#include "tst_codetext.moc"

// The list of open code documents without any window: opening once, saving,
// Save As, closing and moving with their signals, a save whose commit fails,
// and reading or writing a document in another encoding.
#include "qcodedocuments.h"
#include "savefile.h"
#include "syntaxdefinition.h"
#include "testsupport.h"

#include <QSaveFile>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace testsupport;

class TestQCodeDocuments : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(syntax.load(QCoreApplication::applicationDirPath() + "/syntax.xml")); }
    void init() { dir = new QTemporaryDir; }
    void cleanup() { delete dir; }

    void openSaveCloseMoveAndTheirSignals();
    void failedCommitKeepsTheOldFile();
    void encodings();

private:
    QString write(const QString& name, const QByteArray& bytes) { return writeFile(dir->filePath(name), bytes); }
    SyntaxDefinition syntax;
    QTemporaryDir* dir = nullptr;
};

void TestQCodeDocuments::openSaveCloseMoveAndTheirSignals()
{
    QCodeDocuments docs(&syntax);
    QStringList events;
    connect(&docs, &QCodeDocuments::documentAdded, this, [&](int i) { events << QString("+%1").arg(i); });
    connect(&docs, &QCodeDocuments::documentRemoved, this, [&](int i) { events << QString("-%1").arg(i); });
    connect(&docs, &QCodeDocuments::documentMoved, this, [&](int f, int t) { events << QString("%1>%2").arg(f).arg(t); });
    connect(&docs, &QCodeDocuments::fileNameChanged, this, [&](int i) { events << QString("name%1").arg(i); });
    connect(&docs, &QCodeDocuments::modifiedChanged, this, [&](int i, bool m) { events << QString("%1%2").arg(m ? "*" : "=").arg(i); });

    const QString a = write("a.cns", "[Data]\r\nlife = 1000\r\n");
    QCOMPARE(docs.open(a), 0);
    QCOMPARE(docs.open(a.toUpper().replace(dir->path().toUpper(), dir->path())), 0); // the same file, in another case
    QCOMPARE(docs.open(dir->filePath("missing.cns")), -1);
    QCOMPARE(docs.error(), QCodeDocuments::ReadFailed);
    QCOMPARE(docs.newDocument(), 1);
    QCOMPARE(docs.text(0), QString("[Data]\nlife = 1000\n"));
    QVERIFY(!docs.isModified(0) && docs.fileName(1).isEmpty());

    // A new document has no file: the caller asks for one. Saved, it is UTF-8 without a mark.
    QTextCursor(docs.document(1)).insertText(QString::fromUtf8("; 日本\n"));
    QVERIFY(!docs.save(1) && docs.error() == QCodeDocuments::NoFileName);
    const QString b = dir->filePath("b.cns");
    QVERIFY(docs.saveAs(1, b));
    QCOMPARE(readFile(b), QString::fromUtf8("; 日本\n").toUtf8());
    QCOMPARE(docs.fileName(1), b);

    // An edit keeps the line ends of the file.
    QTextCursor(docs.document(0)).insertText("; x\n");
    QVERIFY(docs.isModified(0) && docs.save(0) && !docs.isModified(0));
    QCOMPARE(readFile(a), QByteArray("; x\r\n[Data]\r\nlife = 1000\r\n"));

    QVERIFY(docs.move(0, 1) && !docs.move(0, 2));
    QCOMPARE(docs.fileName(0), b);
    QVERIFY(docs.close(0) && !docs.close(3));
    QCOMPARE(docs.count(), 1);
    docs.closeAll();
    QCOMPARE(events, QStringList({"+0", "+1", "*1", "=1", "name1", "*0", "=0", "0>1", "-0", "-0"}));
}

void TestQCodeDocuments::failedCommitKeepsTheOldFile()
{
    QCodeDocuments docs(&syntax);
    const QString path = write("a.cns", "[Data]\n");
    QCOMPARE(docs.open(path), 0);
    QTextCursor(docs.document(0)).insertText("; edited\n");
    // The disk fills up at the last step: the new file never takes the old one's place.
    int commits = 0;
    setSaveFileCommitForTesting([&](QSaveFile& f) {
        ++commits;
        f.cancelWriting();
        f.commit();
        return false;
    });
    QVERIFY(!docs.save(0));
    QCOMPARE(docs.error(), QCodeDocuments::WriteFailed);
    QVERIFY(!docs.errorString().isEmpty());
    QVERIFY(!docs.saveAs(0, dir->filePath("other.cns")));
    QCOMPARE(commits, 2);
    QVERIFY(docs.isModified(0) && docs.fileName(0) == path);
    QCOMPARE(readFile(path), QByteArray("[Data]\n"));
    QVERIFY(!QFile::exists(dir->filePath("other.cns")));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({"a.cns"}));
    // The same save goes through once the disk has room again.
    setSaveFileCommitForTesting({});
    QVERIFY(docs.save(0) && !docs.isModified(0));
    QCOMPARE(readFile(path), QByteArray("; edited\n[Data]\n"));
}

void TestQCodeDocuments::encodings()
{
    QCodeDocuments docs(&syntax);
    QSignalSpy changed(&docs, &QCodeDocuments::encodingChanged);
    // Read as Western, though it is Korean: picking CP949 reads the bytes again.
    const QByteArray bytes = "; \xC7\xD1\xB1\xDB \xC6\xF7\xC6\xAE\r\n[Data]\r\n"; // "; 한글 포트"
    const QString path = write("k.cns", bytes);
    QCOMPARE(docs.open(path), 0);
    QVERIFY(docs.setEncoding(0, CodeEncoding::Windows1252));
    QCOMPARE(docs.encoding(0), CodeEncoding::Windows1252);
    QVERIFY(docs.setEncoding(0, CodeEncoding::Cp949));
    QCOMPARE(docs.text(0), QString::fromUtf8("; 한글 포트\n[Data]\n"));
    QVERIFY(!docs.isModified(0) && !docs.document(0)->isUndoAvailable());
    QVERIFY(docs.save(0));
    QCOMPARE(readFile(path), bytes);

    // An edited text is written in the encoding picked, unless it cannot be.
    QTextCursor(docs.document(0)).insertText(QString::fromUtf8("; 日本語\n"));
    QVERIFY(!docs.setEncoding(0, CodeEncoding::Windows1252));
    QCOMPARE(docs.error(), QCodeDocuments::Unencodable);
    QCOMPARE(docs.unencodableLine(), 0);
    QCOMPARE(docs.unencodableColumn(), 2);
    QCOMPARE(docs.encoding(0), CodeEncoding::Cp949);
    QVERIFY(docs.setEncoding(0, CodeEncoding::Utf8));
    QVERIFY(docs.save(0));
    QCOMPARE(readFile(path), QString::fromUtf8("; 日本語\r\n; 한글 포트\r\n[Data]\r\n").toUtf8());

    // Forced into an encoding that lacks a character, the save refuses and writes nothing.
    QTextCursor(docs.document(0)).insertText(";");
    QVERIFY(docs.setEncoding(0, CodeEncoding::Windows1252, true));
    QVERIFY(docs.isModified(0));
    QVERIFY(!docs.save(0));
    QCOMPARE(docs.error(), QCodeDocuments::Unencodable);
    QCOMPARE(readFile(path), QString::fromUtf8("; 日本語\r\n; 한글 포트\r\n[Data]\r\n").toUtf8());
    QCOMPARE(changed.count(), 4);
}

QTEST_MAIN(TestQCodeDocuments)
#include "tst_qcodedocuments.moc"

// Opening a code file as the code page does (reading the bytes, guessing the
// encoding, colouring and checking every line, gathering the outline), and a
// keystroke with the outline kept current, on real files: the largest common
// states file of the corpus, a Shift-JIS states file of 130 KB and the
// largest states file.
#include "qcodedocuments.h"
#include "qcodeoutline.h"
#include "syntaxdefinition.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

SyntaxDefinition* syntax = nullptr;
QStringList files; // the files opened, by benchmark argument
QTemporaryDir* tmp = nullptr;

QString largest(const QString& pattern)
{
    QString best;
    qint64 size = -1;
    QDirIterator it(QStringLiteral(MORVANE_CORPUS_DIR), {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        if (f.size() > size) {
            size = f.size();
            best = f.filePath();
        }
    }
    return best;
}

// The community's Japanese kfm.cns, its states repeated up to 130 KB, in its
// own Shift-JIS bytes.
QString japaneseStates()
{
    QFile f(QStringLiteral(MORVANE_CORPUS_DIR "/community/chars/kfm/kfm.cns"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray cns = f.readAll();
    const QByteArray states = cns.mid(cns.indexOf("[Statedef"));
    QByteArray bytes = cns;
    while (bytes.size() < 130 * 1024)
        bytes += "\r\n" + states;
    bytes.truncate(bytes.lastIndexOf("\r\n[State ", 130 * 1024 + 4096));
    const QString path = tmp->filePath("japanese.cns");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return QString();
    return path;
}

// As the code page makes its documents: the editor's layout, then the text.
void prepare(QCodeDocuments& docs)
{
    docs.setLayoutFactory([](QTextDocument* d) { return new QPlainTextDocumentLayout(d); });
}

void BM_OpenCodeFile(benchmark::State& state)
{
    const QString path = files.value(state.range(0));
    state.SetLabel(QFileInfo(path).fileName().toStdString() + ", "
                   + std::to_string(QFileInfo(path).size() / 1024) + " KB");
    for (auto _ : state) {
        QCodeDocuments docs(syntax);
        prepare(docs);
        QCodeOutline outline;
        const int i = docs.open(path);
        outline.setDocument(docs.document(i));
        benchmark::DoNotOptimize(outline.rowCount());
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_KeystrokeWithOutline(benchmark::State& state)
{
    const QString path = files.value(state.range(0));
    state.SetLabel(QFileInfo(path).fileName().toStdString());
    QCodeDocuments docs(syntax);
    prepare(docs);
    QCodeOutline outline;
    const int i = docs.open(path);
    QTextDocument* doc = docs.document(i);
    outline.setDocument(doc);
    // A parameter line in the middle of the file.
    QTextBlock line = doc->findBlockByNumber(doc->blockCount() / 2);
    while (line.isValid() && !line.text().contains(QLatin1Char('=')))
        line = line.next();
    QTextCursor c(line);
    c.movePosition(QTextCursor::EndOfBlock);
    bool typed = false;
    for (auto _ : state) {
        // Typing and taking back keeps the file the same from one step to the next.
        if (typed)
            c.deletePreviousChar();
        else
            c.insertText(QStringLiteral("1"));
        typed = !typed;
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv)
{
    benchsupport::quietenOffscreenWarnings();
    QGuiApplication app(argc, argv);
    SyntaxDefinition def;
    if (!def.load(QCoreApplication::applicationDirPath() + QStringLiteral("/../syntax.xml"))
        && !def.load(QCoreApplication::applicationDirPath() + QStringLiteral("/syntax.xml"))) {
        std::fprintf(stderr, "syntax.xml not found\n");
        return 1;
    }
    syntax = &def;
    QTemporaryDir dir;
    tmp = &dir;
    files = {largest(QStringLiteral("common1.cns")), japaneseStates(), largest(QStringLiteral("*.cns"))};
    if (files.contains(QString())) {
        std::fprintf(stderr, "the corpus is not beside the project\n");
        return 1;
    }
    benchmark::RegisterBenchmark("BM_OpenCodeFile", BM_OpenCodeFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_KeystrokeWithOutline", BM_KeystrokeWithOutline)
        ->DenseRange(0, 2)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

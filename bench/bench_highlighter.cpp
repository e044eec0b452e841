// The code checker on a character's states file of about 130 KB: colouring
// and checking the whole file, one keystroke in its middle, and opening it in
// the code page until it is painted coloured; and on the largest code file of
// the community set, in lines per second.
#include "codetext.h"
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "qmugenhighlighter.h"
#include "syntaxdefinition.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

SyntaxDefinition* syntax = nullptr;
QString text; // about 130 KB of real states

// kfm.cns followed by its own states again until the text reaches 130 KB.
bool loadText()
{
    QFile f(QStringLiteral(MORVANE_CORPUS_DIR "/chars/kfm/kfm.cns"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString cns = QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF));
    const QString states = cns.mid(cns.indexOf(QLatin1String("[Statedef")));
    text = cns;
    while (text.size() < 130 * 1024)
        text += QLatin1Char('\n') + states;
    text.truncate(text.lastIndexOf(QLatin1String("\n[State "), 130 * 1024 + 4096));
    return true;
}

QTextDocument* makeDocument()
{
    auto* doc = new QTextDocument;
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setPlainText(text);
    return doc;
}

void BM_HighlightWholeFile(benchmark::State& state)
{
    QTextDocument* doc = makeDocument();
    auto* highlighter = new QMugenHighlighter(doc, syntax); // the document owns it
    for (auto _ : state)
        highlighter->rehighlight();
    if (!QMugenHighlighter::marks(doc).isEmpty())
        state.SkipWithError("the real states were marked");
    state.SetBytesProcessed(state.iterations() * text.size());
    state.SetItemsProcessed(state.iterations() * doc->blockCount());
    state.counters["lines"] = doc->blockCount();
    state.counters["KB"] = text.size() / 1024.0;
    delete doc;
}
BENCHMARK(BM_HighlightWholeFile)->Unit(benchmark::kMillisecond);

// The community set's code file with the most lines, as the code page reads it.
QString largestCommunityFile(QString* text)
{
    QString best;
    int bestLines = 0;
    QDirIterator it(QStringLiteral(MORVANE_CORPUS_DIR "/community"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix != QLatin1String("def") && suffix != QLatin1String("cns") && suffix != QLatin1String("cmd")
            && suffix != QLatin1String("st"))
            continue;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString t = readCodeText(f.readAll()).text;
        const int lines = int(t.count(QLatin1Char('\n'))) + 1;
        if (lines > bestLines) {
            bestLines = lines;
            best = path;
            *text = t;
        }
    }
    return best;
}

void BM_CheckLargestCommunityFile(benchmark::State& state)
{
    QString largest;
    const QString path = largestCommunityFile(&largest);
    if (path.isEmpty()) {
        state.SkipWithError("needs the community set of the shared corpus");
        return;
    }
    QTextDocument doc;
    doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
    doc.setPlainText(largest);
    auto* highlighter = new QMugenHighlighter(&doc, syntax); // the document owns it
    for (auto _ : state)
        highlighter->rehighlight();
    state.SetLabel(QFileInfo(path).fileName().toStdString());
    state.SetItemsProcessed(state.iterations() * doc.blockCount());
    state.counters["lines"] = doc.blockCount();
    state.counters["lines_per_s"] = benchmark::Counter(double(state.iterations() * doc.blockCount()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckLargestCommunityFile)->Unit(benchmark::kMillisecond);

// A trigger line in the middle of the file: its state does not change, so
// only that line is checked again.
QTextBlock middleTriggerLine(QTextDocument* doc)
{
    for (QTextBlock b = doc->findBlockByNumber(doc->blockCount() / 2); b.isValid(); b = b.next())
        if (b.text().startsWith(QLatin1String("trigger1")))
            return b;
    return QTextBlock();
}

void BM_KeystrokeInTheMiddle(benchmark::State& state)
{
    QPlainTextEdit edit;
    QTextDocument* doc = makeDocument();
    edit.setDocument(doc);
    auto* highlighter = new QMugenHighlighter(doc, syntax);
    highlighter->rehighlight();
    const QTextBlock line = middleTriggerLine(doc);
    QTextCursor c(line);
    c.movePosition(QTextCursor::EndOfBlock);
    for (auto _ : state) {
        // Typing a blank and taking it back: two keystrokes.
        c.insertText(QStringLiteral(" "));
        c.deletePreviousChar();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["per_keystroke_us"] =
        benchmark::Counter(double(state.iterations() * 2), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::kIs1000);
    edit.setDocument(nullptr);
    delete doc;
}
BENCHMARK(BM_KeystrokeInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_RehighlightOneLine(benchmark::State& state)
{
    QTextDocument* doc = makeDocument();
    auto* highlighter = new QMugenHighlighter(doc, syntax);
    highlighter->rehighlight();
    const QTextBlock line = middleTriggerLine(doc);
    for (auto _ : state)
        highlighter->rehighlightBlock(line);
    state.SetItemsProcessed(state.iterations());
    delete doc;
}
BENCHMARK(BM_RehighlightOneLine)->Unit(benchmark::kMicrosecond);

// From the file on disk to the editor painted with the coloured text, as
// the code page's Open does it.
void BM_OpenUntilShownColoured(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.cns"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
    QWidget window;
    window.resize(900, 650);
    QCodeFiles files(&window);
    files.loadSyntax(QCoreApplication::applicationDirPath() + QStringLiteral("/../syntax.xml"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(files.tabBar());
    layout->addWidget(files.editor());
    files.setVisible(true);
    window.show();
    QCoreApplication::processEvents();

    benchsupport::PaintWatch watch;
    files.editor()->viewport()->installEventFilter(&watch);
    bool coloured = true;
    for (auto _ : state) {
        watch.painted = false;
        files.open(path, true);
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        // The first line is a comment: it must have its colour by now.
        coloured = coloured && !files.document(0)->firstBlock().layout()->formats().isEmpty();
        files.closeAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!coloured)
        state.SkipWithError("the text was not coloured");
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_OpenUntilShownColoured)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The offscreen platform warns on every window shown; that is not news here.
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    QApplication app(argc, argv);
    syntax = new SyntaxDefinition;
    const QString syntaxPath = QCoreApplication::applicationDirPath() + QStringLiteral("/../syntax.xml");
    if (!syntax->load(syntaxPath)) {
        std::fprintf(stderr, "bench_highlighter: cannot read %s\n", qPrintable(syntaxPath));
        return 1;
    }
    if (!loadText()) {
        std::fprintf(stderr, "bench_highlighter: needs the shared corpus (chars/kfm/kfm.cns)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete syntax;
    return 0;
}

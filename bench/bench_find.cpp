// Find and replace on the code page, in a real character's states file of
// about 130 KB holding the whole word "type" about a thousand times: Replace
// All of the word until the editor has painted the recoloured text, and Next
// from one match to the following one.
#include "qcodeedit.h"
#include "qcodefiles.h"
#include "textsearch.h"

#include <QApplication>
#include <QFileInfo>
#include <QTabBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const char* const statesFile = MORVANE_CORPUS_DIR "/community/chars/Naruto_COSPLAY/Naruto.cns";

// The code page's tabs and editor in a window, the states file open and painted.
struct CodePage
{
    QWidget window;
    QCodeFiles files{&window};
    benchsupport::PaintWatch watch;

    CodePage()
    {
        window.resize(900, 650);
        files.loadSyntax(QCoreApplication::applicationDirPath() + QStringLiteral("/../syntax.xml"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(files.tabBar());
        layout->addWidget(files.editor());
        files.setVisible(true);
        window.show();
        files.editor()->viewport()->installEventFilter(&watch);
        files.open(QString::fromUtf8(statesFile), true);
        waitForPaint();
    }
    QTextDocument* document() const { return files.document(0); }
    void waitForPaint()
    {
        watch.painted = false;
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

// Every whole word "type", whatever its case, made "Type": one edit the
// highlighter colours and checks again, then the editor paints it. Undoing
// it between rounds is not timed.
void BM_ReplaceAllUntilPainted(benchmark::State& state)
{
    CodePage page;
    const TextSearch search(QStringLiteral("type"), false, true);
    const QString original = page.document()->toPlainText();
    int replaced = 0;
    for (auto _ : state) {
        replaced = search.replaceAll(page.document(), QStringLiteral("Type"));
        page.waitForPaint();
        state.PauseTiming();
        page.document()->undo();
        page.waitForPaint();
        state.ResumeTiming();
    }
    if (page.document()->toPlainText() != original)
        state.SkipWithError("one undo did not restore the file");
    state.counters["replaced"] = replaced;
    state.counters["KB"] = original.size() / 1024.0;
    state.SetItemsProcessed(state.iterations() * replaced);
}
BENCHMARK(BM_ReplaceAllUntilPainted)->Unit(benchmark::kMillisecond);

// Next (or F3) from each match to the following one, through the whole file.
void BM_NextThroughTheFile(benchmark::State& state)
{
    CodePage page;
    const TextSearch search(QStringLiteral("type"), false, true);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (QTextCursor c = search.find(QTextCursor(page.document()), TextSearch::Forward); !c.isNull();
             c = search.find(c, TextSearch::Forward))
            ++found;
    }
    state.counters["per_next_us"] = benchmark::Counter(double(state.iterations()) * found,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                       benchmark::Counter::kIs1000);
    state.SetItemsProcessed(state.iterations() * found);
}
BENCHMARK(BM_NextThroughTheFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchsupport::quietenOffscreenWarnings();
    QApplication app(argc, argv);
    if (!QFileInfo::exists(QString::fromUtf8(statesFile))) {
        std::fprintf(stderr, "bench_find: needs the shared corpus (%s)\n", statesFile);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

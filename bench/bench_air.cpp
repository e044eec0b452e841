// Reading and writing AIR text. A character's AIR is typically 50 to 500 KB;
// opening one should feel instant.
#include "qanimations.h"
#include "qmessages.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

QByteArray kfmText()
{
    QFile f(QStringLiteral(MORVANE_CORPUS_DIR "/chars/kfm/kfm.air"));
    if (f.open(QIODevice::ReadOnly))
        return f.readAll();
    // Without the corpus: a synthetic action list of similar shape.
    QByteArray text;
    for (int a = 0; a < 150; ++a) {
        text += "; Action " + QByteArray::number(a) + "\r\n[Begin Action " + QByteArray::number(a) + "]\r\n";
        text += "Clsn2Default: 2\r\n Clsn2[0] = -13,  0, 16,-79\r\n Clsn2[1] =   5,-79, -7,-93\r\n";
        for (int f = 0; f < 8; ++f)
            text += QByteArray::number(a) + "," + QByteArray::number(f) + ", 0,0, 5\r\n";
        text += "\r\n";
    }
    return text;
}

} // namespace

static void BM_AirParse(benchmark::State& state)
{
    QByteArray text;
    for (int i = 0; i < state.range(0); ++i)
        text += kfmText();
    for (auto _ : state) {
        QMessages messages;
        QAnimations set(&messages);
        set.parse(text, QStringLiteral("kfm.air"));
        benchmark::DoNotOptimize(set.actionCount());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_AirParse)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

static void BM_AirWrite(benchmark::State& state)
{
    QMessages messages;
    QAnimations set(&messages);
    set.parse(kfmText(), QStringLiteral("kfm.air"));
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray out = set.toBytes();
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_AirWrite)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// Appending to the issues list: a load of a broken file may report thousands of lines.
#include "qmessages.h"

#include <benchmark/benchmark.h>

static void BM_MessagesAppend(benchmark::State& state)
{
    const QString line = QStringLiteral("kfm.air(1234): Unknown identifier 'Clsn3'");
    for (auto _ : state) {
        QMessages m;
        for (int i = 0; i < state.range(0); ++i)
            m.addWarning(line);
        benchmark::DoNotOptimize(m.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MessagesAppend)->Arg(1000)->Arg(10000);

BENCHMARK_MAIN();

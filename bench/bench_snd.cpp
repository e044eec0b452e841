// Loading and saving an SND archive the size of a big character's: 500 sounds,
// 4 MB in all.
#include "../tests/sounds/sndbuilder.h"
#include "qsounds.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray bigArchive()
{
    QList<sndbuilder::Sound> list;
    for (int i = 0; i < 500; ++i)
        list.append({quint32(i / 10), quint32(i % 10), sndbuilder::wav(8328 + i % 16, 22050)});
    return sndbuilder::snd(list);
}

struct Fixture
{
    Fixture()
    {
        bytes = bigArchive();
        path = dir.filePath("big.snd");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_SndLoad(benchmark::State& state)
{
    Fixture& f = fixture();
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1);
    for (auto _ : state) {
        if (!sounds.load(f.path) || sounds.count() != 500)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(sounds.count());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
    state.SetItemsProcessed(state.iterations() * 500);
}
BENCHMARK(BM_SndLoad)->Unit(benchmark::kMillisecond);

void BM_SndSave(benchmark::State& state)
{
    Fixture& f = fixture();
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1);
    sounds.load(f.path);
    const QString out = f.dir.filePath("saved.snd");
    for (auto _ : state) {
        if (!sounds.save(out))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
    state.SetItemsProcessed(state.iterations() * 500);
}
BENCHMARK(BM_SndSave)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

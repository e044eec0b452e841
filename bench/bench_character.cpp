// Opening a whole character through its DEF, from the command to the window
// drawn with every document loaded: the largest community character, and a
// made-up one of the size a finished character reaches (2000 sprites, 300
// actions, 5 code files and a palette).
#include "mainwindow.h"
#include "qsprites.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A figure of 120 x 120 in 32 colours, different for each seed.
QImage figure(int seed)
{
    QImage image(120, 120, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours << qRgb(i, (i * 7) & 255, 255 - i);
    image.setColorTable(colours);
    image.fill(0);
    for (int y = 10; y < 118; ++y)
        for (int x = 30 + (y + seed) % 20; x < 90 - (y * seed) % 15; ++x)
            image.setPixel(x, y, uint(1 + (x / 4 + y / 6 + seed) % 31));
    return image;
}

QString bigCharacter()
{
    const QString folder = benchDir().filePath(QStringLiteral("big"));
    const QString def = folder + QStringLiteral("/big.def");
    if (QFile::exists(def))
        return def;
    QDir().mkpath(folder);
    {
        QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QList<QImage> images;
        for (int i = 0; i < 40; ++i)
            images << figure(i + 1);
        for (int i = 0; i < 2000; ++i) {
            s.addSprite();
            s.setImage(i, images[i % images.size()]);
            s.setSpriteInfo(i, {true, 60, 110, quint16(i / 10), quint16(i % 10), 0, 0, 0});
        }
        s.save(folder + QStringLiteral("/big.sff"), true);
    }
    QByteArray air;
    for (int a = 0; a < 300; ++a) {
        air += "[Begin Action " + QByteArray::number(a) + "]\r\nClsn2Default: 1\r\n Clsn2[0] = -10,0,10,-80\r\n";
        for (int f = 0; f < 8; ++f)
            air += QByteArray::number(a * 10 / 15) + "," + QByteArray::number(f) + ", 0,0, 4\r\n";
        air += "\r\n";
    }
    write(folder + QStringLiteral("/big.air"), air);
    QByteArray act;
    for (int i = 0; i < 256; ++i)
        act += QByteArray(3, char(255 - i));
    write(folder + QStringLiteral("/big.act"), act);
    const QString kfm = QStringLiteral(MORVANE_CORPUS_DIR "/chars/kfm/");
    write(folder + QStringLiteral("/big.cmd"), read(kfm + QStringLiteral("kfm.cmd")));
    write(folder + QStringLiteral("/big.cns"), read(kfm + QStringLiteral("kfm.cns")));
    write(folder + QStringLiteral("/moves.st"), read(kfm + QStringLiteral("kfm.cns")));
    write(folder + QStringLiteral("/specials.st"), read(kfm + QStringLiteral("kfm.cns")));
    write(def, "[Info]\r\nname = \"Big\"\r\n[Files]\r\ncmd = big.cmd\r\ncns = big.cns\r\nst = moves.st\r\n"
               "st1 = specials.st\r\nsprite = big.sff\r\nanim = big.air\r\npal1 = big.act\r\n");
    return def;
}

void openBench(benchmark::State& state, const QString& def)
{
    MainWindow window;
    window.resize(1000, 650);
    window.show();
    QCoreApplication::processEvents();
    benchsupport::PaintWatch watch;
    for (auto _ : state) {
        watch.painted = false;
        window.installEventFilter(&watch);
        QElapsedTimer t;
        t.start();
        if (!window.openPath(def))
            state.SkipWithError("the character did not open");
        window.repaint();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        window.removeEventFilter(&watch);
    }
    state.counters["sprites"] = window.spriteArchive().spriteCount();
    state.counters["actions"] = window.animationSet().actionCount();
}

void BM_OpenLargestCommunityCharacter(benchmark::State& state)
{
    const QString def = QStringLiteral(MORVANE_CORPUS_DIR "/community/chars/kakashi/Kakashi.def");
    if (!QFile::exists(def)) {
        state.SkipWithError("the shared corpus is not beside the project");
        return;
    }
    openBench(state, def);
}
BENCHMARK(BM_OpenLargestCommunityCharacter)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenCharacterOf2000Sprites(benchmark::State& state)
{
    openBench(state, bigCharacter());
}
BENCHMARK(BM_OpenCharacterOf2000Sprites)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runWindowBenchmarks(argc, argv);
}

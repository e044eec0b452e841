// Reading and writing AIR text (a character's AIR is typically 50 to 500 KB;
// opening one should feel instant), an action as a GIF, and the next frame of
// an action playing on the AIR tab.
#include "gifexport.h"
#include "mainwindow.h"
#include "qanimations.h"
#include "qmessages.h"
#include "qrenderwidget.h"
#include "qsprites.h"

#include "benchsupport.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>

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
// 20 copies of kfm.air make about 1 MB.
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

namespace {

// 60 sprites of 200 x 200 (group 0, numbers 0 to 59) and one action showing
// them in turn, with ten boxes a frame.
void largeAction(QSprites& sprites, QAnimations& animations)
{
    QByteArray air = "[Begin Action 0]\n";
    for (int i = 0; i < 60; ++i) {
        QImage img(200, 200, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int c = 0; c < 256; ++c)
            table.append(qRgb(c, (c * 3 + i) & 255, 255 - c));
        img.setColorTable(table);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                img.scanLine(y)[x] = uchar((x - 100) * (x - 100) + (y - 100) * (y - 100) < 8000 ? (x / 4 + y / 3 + i) % 200 + 1 : 0);
        sprites.addSprite();
        sprites.setImage(i, img);
        SpriteInfo info = sprites.spriteInfo(i);
        info.number = quint16(i);
        info.axisX = 100;
        info.axisY = 190;
        sprites.setSpriteInfo(i, info);
        air += "Clsn1: 10\n";
        for (int b = 0; b < 10; ++b)
            air += " Clsn1[" + QByteArray::number(b) + "] = " + QByteArray::number(b * 9 - 50) + ",-150,"
                   + QByteArray::number(b * 9 - 30) + ",-100\n";
        air += "0," + QByteArray::number(i) + ", " + QByteArray::number(i % 7) + ",0, 4\n";
    }
    animations.parse(air, QStringLiteral("large.air"));
}

} // namespace

static void BM_GifOf60Frames(benchmark::State& state)
{
    QSprites sprites(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    QAnimations animations(nullptr);
    largeAction(sprites, animations);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray gif = actionGif(sprites, animations, 0).bytes();
        bytes = gif.size();
        benchmark::DoNotOptimize(gif.data());
    }
    state.SetItemsProcessed(state.iterations() * 60);
    state.counters["gif_bytes"] = double(bytes);
}
BENCHMARK(BM_GifOf60Frames)->Unit(benchmark::kMillisecond);

// What each tick of playback costs the window: the frame handler (the tab's
// fields and the view's frame) and one repaint at zoom 2 with ten boxes.
static void BM_PlaybackNextFrame(benchmark::State& state)
{
    MainWindow w;
    w.resize(1280, 800);
    w.show();
    QCoreApplication::processEvents();
    largeAction(w.spriteArchive(), w.animationSet());
    w.updateAnimationRange();
    w.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(MainWindow::AirTab);
    auto* view = w.findChild<QRenderWidget*>(QStringLiteral("renderWidget"));
    auto* renderer = static_cast<QSprRender*>(view->renderer);
    renderer->zoomIndex = 3; // 2:1
    renderer->setClsnVisibility(true, true, true);
    auto* frames = w.findChild<QScrollBar*>(QStringLiteral("airFSel"));
    int f = 0;
    for (auto _ : state) {
        f = (f + 1) % 60;
        frames->setValue(f);
        view->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlaybackNextFrame)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return benchsupport::runWindowBenchmarks(argc, argv);
}

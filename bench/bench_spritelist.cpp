// The list beside the selector: opening a 5 000-sprite archive with the list
// shown against the list hidden (the list must cost next to nothing: its rows
// are drawn only when seen), and scrolling the list by a page with the
// thumbnails of the rows that come into view drawn.
#include "mainwindow.h"
#include "qsprites.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int SpriteCount = 5000;

// 5 000 sprites of 40 x 60 to 79 x 99 pixels in groups of 100, one palette:
// a large character's worth of rows and thumbnails to make.
const QString& archive()
{
    static QTemporaryDir dir;
    static QString file;
    if (!file.isEmpty())
        return file;
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    QByteArray palette(768, '\0');
    for (int i = 0; i < 256; ++i)
        palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = char(i);
    s.addPalette(palette, false, 1, 1);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, i, i);
    for (int i = 0; i < SpriteCount; ++i) {
        QImage image(40 + i % 40, 60 + i % 40, QImage::Format_Indexed8);
        image.setColorTable(table);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.scanLine(y)[x] = uchar((x * 3 + y * 5 + i) % 17 == 0 ? 0 : (x + y + i) & 255);
        s.addSprite();
        s.setImage(i, image);
        s.setSpriteInfo(i, {true, 0, 0, quint16(i / 100), quint16(i % 100), 0, 0, 0});
    }
    file = dir.filePath(QStringLiteral("five-thousand.sff"));
    if (!s.save(file, true))
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    return file;
}

MainWindow* window(bool listShown)
{
    auto* w = new MainWindow;
    w->resize(1280, 680);
    w->show();
    w->findChild<QAction*>(QStringLiteral("actionSprite_list"))->setChecked(listShown);
    QCoreApplication::processEvents();
    return w;
}

// From File > Open's choice to the window painted with the first sprite (and
// the list's first rows, when shown).
void BM_OpenArchive(benchmark::State& state)
{
    const QString& file = archive();
    MainWindow* w = window(state.range(0) != 0);
    for (auto _ : state) {
        benchsupport::PaintWatch watch;
        QElapsedTimer t;
        t.start();
        w->openPath(file);
        qApp->installEventFilter(&watch);
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        qApp->removeEventFilter(&watch);
    }
    state.SetLabel(state.range(0) ? "list shown" : "list hidden");
    delete w;
}
BENCHMARK(BM_OpenArchive)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

// One page down the list, painted at once; past the end it starts at the top
// again. Rows never seen before make their thumbnails.
void BM_ListPageScroll(benchmark::State& state)
{
    MainWindow* w = window(true);
    w->openPath(archive());
    auto* list = w->findChild<QAbstractItemView*>(QStringLiteral("spriteList"));
    QCoreApplication::processEvents();
    QScrollBar* bar = list->verticalScrollBar();
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        list->viewport()->repaint();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
    state.counters["rows per page"] = double(bar->pageStep()) / qMax(1, list->sizeHintForRow(0));
    delete w;
}
BENCHMARK(BM_ListPageScroll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(400);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runWindowBenchmarks(argc, argv);
}

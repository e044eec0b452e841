// The SFF tab in use: stepping through the sprites of a large archive with the
// scroll bar (select, fill the tab's widgets, repaint the view), and bringing
// true-colour pictures down to a sprite's 256 colours.
#include "colourreduction.h"
#include "mainwindow.h"
#include "qsprites.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int ArchiveSprites = 2000;

// Sprites of 40 to 200 pixels a side, every third one linked to the one
// before, over a handful of palettes: the shape of a large character.
QString buildArchive(const QTemporaryDir& dir)
{
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QRandomGenerator rng(7);
    QList<QList<QRgb>> tables;
    for (int p = 0; p < 6; ++p) {
        QList<QRgb> t;
        for (int i = 0; i < 256; ++i)
            t.append(qRgb((i * (p + 1)) & 255, (i * 3) & 255, 255 - i));
        tables.append(t);
    }
    for (int i = 0; i < ArchiveSprites; ++i) {
        s.addSprite();
        SpriteInfo info;
        info.group = quint16(i / 20);
        info.number = quint16(i % 20);
        if (i % 3 == 2) {
            info.linkIndex = quint16(i - 1);
        } else {
            const int w = 40 + int(rng.bounded(160));
            const int h = 40 + int(rng.bounded(160));
            QImage img(w, h, QImage::Format_Indexed8);
            img.setColorTable(tables[i % tables.size()]);
            for (int y = 0; y < h; ++y) {
                uchar* row = img.scanLine(y);
                for (int x = 0; x < w; ++x)
                    row[x] = uchar((x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < w * h / 5 ? (x + y) % 255 + 1 : 0);
            }
            s.setImage(i, img);
            info.hasData = true;
            info.paletteIndex = s.spriteInfo(i).paletteIndex;
        }
        info.axisX = qint16(20);
        info.axisY = qint16(60);
        s.setSpriteInfo(i, info);
    }
    const QString file = dir.filePath("large.sff");
    if (!s.save(file, true))
        qFatal("cannot write the archive");
    return file;
}

// Answers the next file dialog with `file`, as a person would type it.
void answerFileDialog(const QString& file)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, file] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(file);
        dlg->selectFile(file);
        dlg->QDialog::accept();
        timer->deleteLater();
        timer->stop();
    });
    timer->start(5);
}

void BM_StepThroughSprites(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = buildArchive(dir);
    MainWindow w;
    w.resize(900, 600);
    w.show();
    QCoreApplication::processEvents();
    answerFileDialog(file);
    w.findChild<QAction*>(QStringLiteral("actionAbrir_2"))->trigger();
    auto* bar = w.findChild<QScrollBar*>(QStringLiteral("sprSel"));
    if (bar->maximum() != ArchiveSprites - 1) {
        state.SkipWithError("the archive did not open");
        return;
    }
    auto* column = w.findChild<QVBoxLayout*>(QStringLiteral("verticalLayout"));
    QWidget* view = column->itemAt(column->count() - 1)->widget();
    int i = 0;
    for (auto _ : state) {
        i = (i + 1) % ArchiveSprites;
        bar->setValue(i);
        // The view and the tab's labels are painted before the next step.
        view->repaint();
        w.findChild<QWidget*>(QStringLiteral("sffTab"))->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepThroughSprites)->Unit(benchmark::kMillisecond);

QImage photoLike(int w, int h)
{
    // Smooth colour fields with noise: every pixel its own colour, almost.
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(3);
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = qRgb((x * 255 / w + int(rng.bounded(24))) & 255, (y * 255 / h + int(rng.bounded(24))) & 255,
                          ((x + y) * 128 / (w + h) + int(rng.bounded(24))) & 255);
    }
    return img;
}

void BM_ReduceTrueColourImage(benchmark::State& state)
{
    const int side = int(state.range(0));
    const QImage img = photoLike(side, side);
    for (auto _ : state) {
        const QImage out = toIndexed8(img);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
    state.SetBytesProcessed(state.iterations() * qint64(img.sizeInBytes()));
}
BENCHMARK(BM_ReduceTrueColourImage)->Arg(128)->Arg(320)->Arg(640)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchsupport::quietenOffscreenWarnings();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The SFF tab in use: stepping through the sprites of a large archive with the
// scroll bar (select, fill the tab's widgets, repaint the view), taking edits
// back and doing them again, and bringing true-colour pictures down to a
// sprite's 256 colours.
#include "animationcommands.h"
#include "colourreduction.h"
#include "mainwindow.h"
#include "qrgbpalette.h"
#include "qsprites.h"
#include "spritecommands.h"

#include <malloc.h>

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
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
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

// Shows the window and opens the archive through SFF > Open; false when it
// did not open whole.
bool openInWindow(MainWindow& w, const QString& file)
{
    w.resize(900, 600);
    w.show();
    QCoreApplication::processEvents();
    answerFileDialog(file);
    w.findChild<QAction*>(QStringLiteral("actionAbrir_2"))->trigger();
    return w.spriteArchive().spriteCount() == ArchiveSprites;
}

void BM_StepThroughSprites(benchmark::State& state)
{
    QTemporaryDir dir;
    MainWindow w;
    if (!openInWindow(w, buildArchive(dir))) {
        state.SkipWithError("the archive did not open");
        return;
    }
    auto* bar = w.findChild<QScrollBar*>(QStringLiteral("sprSel"));
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

// An action of ten boxes a frame, as large characters have them.
QByteArray boxedActions(int count)
{
    QByteArray air;
    for (int a = 0; a < count; ++a) {
        air += "[Begin Action " + QByteArray::number(a) + "]\nClsn2Default: 2\n Clsn2[0] = -20,-80,20,0\n Clsn2[1] = -5,-90,5,-80\n";
        for (int f = 0; f < 4; ++f) {
            air += "Clsn1: 8\n";
            for (int b = 0; b < 8; ++b)
                air += " Clsn1[" + QByteArray::number(b) + "] = " + QByteArray::number(b * 5) + ",-60," + QByteArray::number(b * 5 + 20) + ",-40\n";
            air += "0," + QByteArray::number(f) + ", 0,0, 5\n";
        }
    }
    return air;
}

// One step of each kind a person takes back most, in the window with a
// 2 000-sprite archive open: Undo and then Redo, each with the page and the
// view drawn again.
void BM_UndoRedo(benchmark::State& state)
{
    static const char* const kinds[] = {"axis drag", "sprite delete", "palette effect", "box move"};
    const int kind = int(state.range(0));
    state.SetLabel(kinds[kind]);
    QTemporaryDir dir;
    MainWindow w;
    if (!openInWindow(w, buildArchive(dir))) {
        state.SkipWithError("the archive did not open");
        return;
    }
    QSprites& sprites = w.spriteArchive();
    QAnimations& animations = w.animationSet();
    auto* bar = w.findChild<QScrollBar*>(QStringLiteral("sprSel"));
    bar->setValue(1000);
    auto* column = w.findChild<QVBoxLayout*>(QStringLiteral("verticalLayout"));
    QWidget* view = column->itemAt(column->count() - 1)->widget();
    QUndoStack* stack = sprites.undoStack();
    switch (kind) {
    case 0: {
        SpriteInfo info = sprites.spriteInfo(1000);
        info.axisX += 7;
        info.axisY -= 3;
        stack->push(spritecommands::changeInfo(&sprites, 1000, info, ChangeSpriteInfo::Axis));
        break;
    }
    case 1: // sprite 1001 links to it and inherits its image
        stack->push(spritecommands::removeSprite(&sprites, 1000));
        break;
    case 2: {
        QByteArray colours = sprites.paletteData(0);
        QRGBPalette(reinterpret_cast<uchar*>(colours.data())).applyEffect(PaletteEffect::Fire, nullptr);
        stack->push(spritecommands::changeColours(&sprites, 0, colours, QStringLiteral("Fire")));
        break;
    }
    default: {
        animations.parse(boxedActions(300), QStringLiteral("large.air"));
        w.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(MainWindow::AirTab);
        w.findChild<QScrollBar*>(QStringLiteral("airSel"))->setValue(150);
        stack = animations.undoStack();
        FrameBoxes boxes = animations.frameBoxes(150, 2);
        for (ClsnRect& r : boxes.clsn1)
            r = {r.x1 + 4, r.y1 + 2, r.x2 + 4, r.y2 + 2};
        stack->push(animationcommands::changeBoxes(&animations, 150, 2, boxes, QStringLiteral("Move boxes")));
        break;
    }
    }
    QCoreApplication::processEvents();
    QWidget* page = w.findChild<QTabWidget*>(QStringLiteral("tabs"))->currentWidget();
    for (auto _ : state) {
        stack->undo();
        view->repaint();
        page->repaint();
        stack->redo();
        view->repaint();
        page->repaint();
    }
    state.SetItemsProcessed(2 * state.iterations()); // an undo and a redo
}
BENCHMARK(BM_UndoRedo)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// What a long history of box drags costs: 1 000 moves of the ten boxes of a
// frame, each one step.
void BM_BoxMoveHistoryMemory(benchmark::State& state)
{
    for (auto _ : state) {
        QAnimations animations(nullptr);
        animations.parse(boxedActions(20), QStringLiteral("boxes.air"));
        const size_t before = mallinfo2().uordblks;
        for (int step = 0; step < 1000; ++step) {
            FrameBoxes boxes = animations.frameBoxes(step % 20, step % 4);
            for (ClsnRect& r : boxes.clsn1)
                r = {r.x1 + 1, r.y1, r.x2 + 1, r.y2};
            animations.undoStack()->push(animationcommands::changeBoxes(&animations, step % 20, step % 4, boxes, QStringLiteral("Move boxes")));
        }
        state.counters["history_bytes"] = double(mallinfo2().uordblks - before);
        state.counters["steps"] = animations.undoStack()->count();
    }
}
BENCHMARK(BM_BoxMoveHistoryMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

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
    return benchsupport::runWindowBenchmarks(argc, argv);
}

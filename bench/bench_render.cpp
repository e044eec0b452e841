// One full repaint of the view: background, sprite, boxes, handles, markers,
// and the copy onto the widget's surface. Playback and dragging repaint at
// every step, so this must stay well inside a frame.
#include "qanimations.h"
#include "qmessages.h"
#include "qsprites.h"
#include "qsprrender.h"
#include "spritecommands.h"
#include "spriteimages.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

static void BM_RenderRepaint(benchmark::State& state)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    QAnimations anims(&messages);
    QImage sprite(200, 200, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, 255 - i, (i * 3) & 255);
    sprite.setColorTable(table);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            sprite.setPixel(x, y, uint((x / 7 + y / 5) % 4 == 0 ? 0 : (x + y) % 256));
    sprites.addSprite();
    sprites.setImage(0, sprite);
    SpriteInfo info = sprites.spriteInfo(0);
    info.axisX = 100;
    info.axisY = 190;
    sprites.setSpriteInfo(0, info);

    QByteArray air = "[Begin Action 0]\nClsn2Default: 2\n Clsn2[0] = -30,-180,30,0\n Clsn2[1] = -10,-200,10,-180\n"
                     "Clsn1: 4\n";
    for (int i = 0; i < 4; ++i)
        air += " Clsn1[" + QByteArray::number(i) + "] = " + QByteArray::number(10 + 5 * i) + ",-150,"
               + QByteArray::number(60 + 5 * i) + ",-130\n";
    air += "Clsn2: 4\n";
    for (int i = 0; i < 4; ++i)
        air += " Clsn2[" + QByteArray::number(i) + "] = -40," + QByteArray::number(-170 + 30 * i) + ",40,"
               + QByteArray::number(-150 + 30 * i) + "\n";
    air += "0,0, 0,0, 5\n";
    anims.parse(air, "bench.air");

    QSprRender r;
    r.setSprites(&sprites);
    r.setAnimations(&anims);
    r.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    r.viewSize = QSize(1280, 720);
    r.resized();
    r.zoomIndex = quint8(state.range(0));
    r.axisScreen = QPoint(640, 700);
    r.setClsnVisibility(true, true, true);
    r.setSource(0, AnimationMode);
    r.setFrame(0);
    r.setPalette(-1);
    r.updateGeometry();
    // One box selected, so the handles are drawn too.
    const QPoint p = r.boxes.at(2).screenRect.center();
    QMouseEvent press(QEvent::MouseButtonPress, p, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    r.mousePressEvent(&press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, p, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    r.mouseReleaseEvent(&release);
    if (r.boxes.size() != 10 || !r.selectionActive)
        state.SkipWithError("the scene is not what it should be");

    // The widget's surface is premultiplied ARGB, as the window system gives it.
    QImage surface(1280, 720, QImage::Format_ARGB32_Premultiplied);
    QPaintEvent event(QRect(0, 0, 1280, 720));
    for (auto _ : state) {
        QPainter painter(&surface);
        r.paint(&painter, &event);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(QString("zoom %1").arg(QRenderer::zoomFactor(int(state.range(0)))).toStdString());
}
// Wall time suffers when other programs hold the cores (the raster engine
// spreads fills and conversions over a thread pool); the process CPU time is
// the work one repaint costs.
BENCHMARK(BM_RenderRepaint)->Arg(2)->Arg(5)->Arg(9)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A 32-bit sprite of 400 x 300 with every alpha from clear to opaque, drawn
// at zoom 2 (800 x 600 of the 1280 x 720 view) over the background.
static void BM_RenderTrueColour(benchmark::State& state)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    QImage picture(400, 300, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x & 255, y & 255, (x ^ y) & 255, (x + 2 * y) & 255));
    sprites.setVersion(SffVersion::V201);
    sprites.undoStack()->push(spritecommands::importSprite(&sprites, 0, spriteImageOf(picture, true)));
    if (sprites.spriteSize(0).imageFormat != QImage::Format_ARGB32)
        state.SkipWithError("the sprite is not true colour");
    SpriteInfo info = sprites.spriteInfo(0);
    info.axisX = 200;
    info.axisY = 290;
    sprites.setSpriteInfo(0, info);

    QSprRender r;
    r.setSprites(&sprites);
    r.setBackground(QColor(200, 200, 200), QColor(128, 128, 128));
    r.viewSize = QSize(1280, 720);
    r.resized();
    r.zoomIndex = 3; // 2
    r.axisScreen = QPoint(640, 660);
    r.setSource(0, SpriteMode);
    r.setPalette(-1);
    r.updateGeometry();
    if (!QRect(0, 0, 1280, 720).contains(r.spriteRect) || r.spriteRect.width() != 800)
        state.SkipWithError("the sprite is not drawn whole at zoom 2");
    QImage surface(1280, 720, QImage::Format_ARGB32_Premultiplied);
    QPaintEvent event(QRect(0, 0, 1280, 720));
    for (auto _ : state) {
        QPainter painter(&surface);
        r.paint(&painter, &event);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(QString("zoom %1, %2 x %3 on screen").arg(QRenderer::zoomFactor(3)).arg(r.spriteRect.width())
                       .arg(r.spriteRect.height()).toStdString());
}
BENCHMARK(BM_RenderTrueColour)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// Start-up: from the end of the splash's two seconds to the first painted main
// window (construction, show, first paint). The first window of a process is
// reported on its own, measured the way the program starts: after the splash
// has been shown and painted.
#include "mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QSplashScreen>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Builds, shows and paints a window; returns the nanoseconds it took and
// leaves the window to the caller.
qint64 startWindow(MainWindow** out)
{
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    QElapsedTimer t;
    t.start();
    auto* w = new MainWindow;
    w->show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 ns = t.nsecsElapsed();
    qApp->removeEventFilter(&watch);
    *out = w;
    return ns;
}

void BM_StartUpToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        MainWindow* w = nullptr;
        state.SetIterationTime(double(startWindow(&w)) / 1e9);
        delete w;
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StartUpToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

// The offscreen platform warns on every window shown; that is not news here.
QtMessageHandler defaultHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    if (msg.contains(QLatin1String("propagateSizeHints")))
        return;
    if (defaultHandler)
        defaultHandler(type, ctx, msg);
    else
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

} // namespace

int main(int argc, char** argv)
{
    defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    {
        // As the program does: the splash is up and painted before the window is built.
        QSplashScreen splash(QPixmap(QStringLiteral(":/imgs/Imgs/Splash.jpg")));
        splash.show();
        splash.showMessage(QStringLiteral("All rights reserved."), Qt::AlignBottom | Qt::AlignHCenter, Qt::black);
        app.processEvents();
        MainWindow* w = nullptr;
        const qint64 ns = startWindow(&w);
        splash.finish(w);
        std::printf("first window of the process: %.1f ms (construction + show + first paint)\n", ns / 1e6);
        delete w;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Start-up: from the end of the splash's two seconds to the first painted main
// window (construction, show, first paint). The first window of a process is
// reported on its own, measured the way the program starts: after the splash
// has been shown and painted.
#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QSplashScreen>

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// Builds, shows and paints a window; returns the nanoseconds it took and
// leaves the window to the caller.
qint64 startWindow(MainWindow** out)
{
    benchsupport::PaintWatch watch;
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

// The same with the person's own settings file read over the shipped one and
// the Portuguese translation chosen in it (and Qt's own loaded beside it).
void BM_StartUpTranslated(benchmark::State& state)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    QFile own(folder + QStringLiteral("/config.xml"));
    if (!own.open(QIODevice::WriteOnly)
        || own.write("<!DOCTYPE QNDConfigML>\n<config>\n    <background start=\"10,20,30\" end=\"40,50,60\"/>\n"
                     "    <utilities visible=\"true\"/>\n    <language name=\"pt_BR\"/>\n</config>\n")
               < 0) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    own.close();
    for (auto _ : state) {
        MainWindow* w = nullptr;
        state.SetIterationTime(double(startWindow(&w)) / 1e9);
        if (w->findChild<QMenu*>(QStringLiteral("menuMorvane"))->title() != QLatin1String("Arquivo"))
            state.SkipWithError("the translation was not loaded");
        delete w;
        QCoreApplication::processEvents();
    }
    QFile::remove(own.fileName());
}
BENCHMARK(BM_StartUpTranslated)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchsupport::quietenOffscreenWarnings();
    // The person's settings go to a folder of this run, not to the real one.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
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

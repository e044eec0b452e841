// Pieces the window benchmarks share.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace benchsupport {

// Notes that a widget it watches has been painted.
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

// The offscreen platform warns on every window shown; that is not news here.
inline QtMessageHandler& defaultHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void quietHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    if (msg.contains(QLatin1String("propagateSizeHints")))
        return;
    if (defaultHandler())
        defaultHandler()(type, ctx, msg);
    else
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

inline void quietenOffscreenWarnings()
{
    defaultHandler() = qInstallMessageHandler(quietHandler);
}

// The main of a benchmark program that builds widgets: an application, then
// every benchmark the command line selects.
inline int runWindowBenchmarks(int argc, char** argv)
{
    quietenOffscreenWarnings();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace benchsupport

#include "toolcommand.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace {
QList<const ToolCommand*>& registry()
{
    static QList<const ToolCommand*> commands;
    return commands;
}

void printHelp(QTextStream& out)
{
    out << "usage: morvane-tool COMMAND [ARGS...]\n"
           "A command-line companion of Morvane for batch work on the engine's files.\n\n";
    QList<const ToolCommand*> commands = registry();
    std::sort(commands.begin(), commands.end(),
              [](const ToolCommand* a, const ToolCommand* b) { return a->name < b->name; });
    if (commands.isEmpty()) {
        out << "No commands yet.\n";
    } else {
        out << "Commands:\n";
        for (const ToolCommand* c : commands)
            for (const QString& line : c->usage.split('\n', Qt::SkipEmptyParts))
                out << "  " << line << '\n';
    }
    out << "\nExit status: 0 success, 1 problems found or the operation failed, 2 wrong usage.\n";
}
} // namespace

ToolCommand::ToolCommand(const char* name, const char* usage, Runner run)
    : name(QString::fromLatin1(name)), usage(QString::fromLatin1(usage)), run(run)
{
    registry().append(this);
}

const QList<const ToolCommand*>& ToolCommand::all()
{
    return registry();
}

ToolExit toolUsageError(const ToolCommand& command, QTextStream& err, const QString& problem)
{
    if (!problem.isEmpty())
        err << "morvane-tool: " << problem << '\n';
    err << "usage:\n";
    for (const QString& line : command.usage.split('\n', Qt::SkipEmptyParts))
        err << "  morvane-tool " << line << '\n';
    return ToolExit::ExitUsage;
}

// stderr carries the tool's own findings, one per line, for scripts to read:
// Qt's chatter (runtime-directory notices, image plugin warnings about damaged
// PNG sprites) stays out of it unless MORVANE_TOOL_QT_MESSAGES is set.
static void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char** argv)
{
    // Rendering and image export need QtGui but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("MORVANE_TOOL_QT_MESSAGES"))
        qInstallMessageHandler(quietQtMessages);
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printHelp(err);
        return int(ToolExit::ExitUsage);
    }
    const QString name = args.takeFirst();
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(out);
        return int(ToolExit::ExitOk);
    }
    for (const ToolCommand* c : registry()) {
        if (c->name == name)
            return int(c->run(args, out, err));
    }
    err << "morvane-tool: unknown command '" << name << "' (see morvane-tool --help)\n";
    return int(ToolExit::ExitUsage);
}

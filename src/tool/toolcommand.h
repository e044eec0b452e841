#ifndef TOOLCOMMAND_H
#define TOOLCOMMAND_H

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

// morvane-tool's commands. Each format's file registers its command group with
// a static ToolCommand object, so adding a format touches only its own file.
//
// Exit status: 0 success, 1 problems found or the operation failed, 2 wrong usage.
namespace morvane {
enum class ToolExit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };
} // namespace morvane
using morvane::ToolExit;

struct ToolCommand
{
    using Runner = ToolExit (*)(const QStringList& args, QTextStream& out, QTextStream& err);

    // name: the first word ("sff"); usage: one line per sub-command for --help;
    // run: gets the words after the name.
    ToolCommand(const char* name, const char* usage, Runner run);

    QString name;
    QString usage;
    Runner run;

    static const QList<const ToolCommand*>& all();
};

// Prints "usage: ..." for a command group to err and returns ExitUsage.
ToolExit toolUsageError(const ToolCommand& command, QTextStream& err, const QString& problem = QString());

#endif

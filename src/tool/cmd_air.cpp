// morvane-tool air: check an AIR file the way the editor reads it, or load
// and save it again (which rewrites it in the editor's own layout).
#include "qanimations.h"
#include "qmessages.h"
#include "toolcommand.h"

namespace {

int printIssues(const QMessages& messages, QTextStream& stream)
{
    int errors = 0;
    for (int i = 0; i < messages.rowCount(); ++i) {
        stream << messages.text(i) << '\n';
        errors += messages.type(i) == MessageType::Error;
    }
    return errors;
}

ToolExit runAir(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand airCommand("air",
                             "air check FILE        list the problems the AIR parser reports; status 1 on any error\n"
                             "air convert IN OUT    load an AIR file and save it again; status 1 when it had errors",
                             runAir);

ToolExit runAir(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty())
        return toolUsageError(airCommand, err);
    const QString sub = args.at(0);
    QMessages messages;
    QAnimations set(&messages);
    if (sub == "check") {
        if (args.size() != 2)
            return toolUsageError(airCommand, err, "air check takes one file");
        if (!set.load(args.at(1))) {
            err << "morvane-tool: cannot read " << args.at(1) << '\n';
            return ToolExit::ExitFailed;
        }
        return printIssues(messages, out) > 0 ? ToolExit::ExitFailed : ToolExit::ExitOk;
    }
    if (sub == "convert") {
        if (args.size() != 3)
            return toolUsageError(airCommand, err, "air convert takes an input and an output file");
        if (!set.load(args.at(1))) {
            err << "morvane-tool: cannot read " << args.at(1) << '\n';
            return ToolExit::ExitFailed;
        }
        // What the editor cannot read is kept as it stands; the file is
        // written all the same, and the status says there were errors.
        const int errors = printIssues(messages, err);
        if (!set.save(args.at(2))) {
            err << "morvane-tool: cannot write " << args.at(2) << '\n';
            return ToolExit::ExitFailed;
        }
        return errors > 0 ? ToolExit::ExitFailed : ToolExit::ExitOk;
    }
    return toolUsageError(airCommand, err, "unknown air command '" + sub + "'");
}

} // namespace

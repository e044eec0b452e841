// morvane-tool gif: an action of an AIR file as an animated GIF, written by the
// very code the AIR tab's Save as GIF uses.
#include "gifexport.h"
#include "qanimations.h"
#include "qmessages.h"
#include "qsprites.h"
#include "toolcommand.h"

namespace {

ToolExit runGif(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand gifCommand("gif",
                             "gif SFF AIR --action N OUT.gif   write [Begin Action N] as an animated GIF, "
                             "as the AIR tab's Save as GIF does",
                             runGif);

ToolExit runGif(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList files;
    bool haveAction = false;
    int actionNumber = 0;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--action")) {
            bool ok = false;
            actionNumber = args.value(++i).toInt(&ok);
            if (!ok)
                return toolUsageError(gifCommand, err, "--action takes the action's number");
            haveAction = true;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return toolUsageError(gifCommand, err, "unknown option " + args[i]);
        } else {
            files << args[i];
        }
    }
    if (!haveAction || files.size() != 3)
        return toolUsageError(gifCommand, err, "give SFF AIR --action N OUT.gif");

    QMessages messages;
    QSprites sprites(&messages, BlobStoreMode::BlobsInMemory, false, -1);
    QAnimations animations(&messages);
    if (!sprites.load(files[0])) {
        err << "morvane-tool: cannot read the sprites of " << files[0] << '\n';
        return ToolExit::ExitFailed;
    }
    if (!animations.load(files[1])) {
        err << "morvane-tool: cannot read " << files[1] << '\n';
        return ToolExit::ExitFailed;
    }
    int index = -1;
    for (int k = 0; k < animations.actionCount() && index < 0; ++k)
        if (animations.actionInfo(k).number == actionNumber)
            index = k;
    if (index < 0 || animations.frameCount(index) == 0) {
        err << "morvane-tool: no action " << actionNumber << " with frames in " << files[1] << '\n';
        return ToolExit::ExitFailed;
    }
    QString error;
    if (!saveActionGif(sprites, animations, index, files[2], &error)) {
        err << "morvane-tool: cannot write " << files[2] << ": " << error << '\n';
        return ToolExit::ExitFailed;
    }
    const GifWriter gif = actionGif(sprites, animations, index);
    out << gif.frames.size() << " of " << animations.frameCount(index) << " frames, " << gif.width << " x "
        << gif.height << ", written to " << files[2] << '\n';
    return ToolExit::ExitOk;
}

} // namespace

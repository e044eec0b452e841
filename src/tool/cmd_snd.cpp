// morvane-tool snd: list, extract and convert SND sound archives.
#include "qmessages.h"
#include "qsounds.h"
#include "toolcommand.h"

#include <QDir>
#include <QFileInfo>

namespace {

ToolExit runSnd(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("snd",
                          "snd list FILE          one row per sound: index group number bytes channels sample_rate bits duration\n"
                          "snd extract FILE DIR   writes each sound as DIR/<index>_<group>_<number>.wav, bytes unchanged\n"
                          "snd convert IN OUT     loads IN and saves it as OUT",
                          runSnd);

// Loads the archive; prints every problem found. False when nothing usable was
// read or the file is damaged.
bool loadArchive(QSounds& sounds, QMessages& messages, const QString& fileName, QTextStream& err)
{
    if (!sounds.load(fileName)) {
        err << "morvane-tool: " << fileName << ": " << sounds.errorString() << '\n';
        return false;
    }
    for (int row = 0; row < messages.rowCount(); ++row)
        err << messages.text(row) << '\n';
    return messages.rowCount() == 0;
}

ToolExit list(const QString& fileName, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages);
    const bool clean = loadArchive(sounds, messages, fileName, err);
    for (int i = 0; i < sounds.count(); ++i) {
        const auto [group, number] = sounds.groupAndNumber(i);
        const WavInfo info = sounds.info(i);
        out << i << '\t' << group << '\t' << number << '\t' << sounds.soundBytes(i).size() << '\t'
            << info.channels << '\t' << info.sampleRate << '\t' << info.bitsPerSample << '\t'
            << durationText(info) << '\n';
    }
    return clean ? ToolExit::ExitOk : ToolExit::ExitFailed;
}

ToolExit extract(const QString& fileName, const QString& dirName, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages);
    bool clean = loadArchive(sounds, messages, fileName, err);
    if (sounds.count() == 0)
        return clean ? ToolExit::ExitOk : ToolExit::ExitFailed;
    if (!QDir().mkpath(dirName)) {
        err << "morvane-tool: cannot create the directory " << dirName << '\n';
        return ToolExit::ExitFailed;
    }
    const QDir dir(dirName);
    for (int i = 0; i < sounds.count(); ++i) {
        const auto [group, number] = sounds.groupAndNumber(i);
        const QString path = dir.filePath(QStringLiteral("%1_%2_%3.wav").arg(i).arg(group).arg(number));
        if (!sounds.exportSound(i, path)) {
            err << "morvane-tool: " << path << ": " << sounds.errorString() << '\n';
            clean = false;
        }
    }
    out << sounds.count() << " sounds written to " << QDir::toNativeSeparators(dir.path()) << '\n';
    return clean ? ToolExit::ExitOk : ToolExit::ExitFailed;
}

ToolExit convert(const QString& in, const QString& outName, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages);
    if (!loadArchive(sounds, messages, in, err)) {
        // A damaged archive would be written short; leave OUT alone.
        err << "morvane-tool: " << outName << " not written\n";
        return ToolExit::ExitFailed;
    }
    if (!sounds.save(outName)) {
        err << "morvane-tool: " << outName << ": " << sounds.errorString() << '\n';
        return ToolExit::ExitFailed;
    }
    out << sounds.count() << " sounds written to " << outName << '\n';
    return ToolExit::ExitOk;
}

ToolExit runSnd(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString sub = args.value(0);
    if (sub == "list" && args.size() == 2)
        return list(args[1], out, err);
    if (sub == "extract" && args.size() == 3)
        return extract(args[1], args[2], out, err);
    if (sub == "convert" && args.size() == 3)
        return convert(args[1], args[2], out, err);
    if (sub != "list" && sub != "extract" && sub != "convert")
        return toolUsageError(command, err, sub.isEmpty() ? QString() : QStringLiteral("unknown snd command '%1'").arg(sub));
    return toolUsageError(command, err, QStringLiteral("wrong number of arguments for snd %1").arg(sub));
}

} // namespace

// morvane-tool sff: look into sprite archives, take them apart, rewrite them.
#include "toolcommand.h"

#include "qmessages.h"
#include "qsprites.h"
#include "sffformat.h"
#include "spritecommands.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace {

// How a sprite's pixels are kept: the encoding of the file's block, "linked",
// or "pixels" for an image changed since (or one whose block was damaged).
QString formatName(const SpriteRecord& s)
{
    if (!s.hasData)
        return QStringLiteral("linked");
    switch (s.dataFormat) {
    case SpriteRaw: return QStringLiteral("raw");
    case SpriteRle8: return QStringLiteral("rle8");
    case SpriteRle5: return QStringLiteral("rle5");
    case SpriteLz5: return QStringLiteral("lz5");
    case SpritePng8: return QStringLiteral("png8");
    case SpritePng24: return QStringLiteral("png24");
    case SpritePng32: return QStringLiteral("png32");
    case SpritePcx: return QStringLiteral("pcx");
    default: return QStringLiteral("pixels");
    }
}

QString table(const QSprites& sprites)
{
    QString t;
    QTextStream s(&t);
    s << "# version " << sffVersionText(sprites.version()) << " sprites " << sprites.spriteCount()
      << " palettes " << sprites.paletteCount() << '\n';
    s << "index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags\tformat\n";
    for (int i = 0; i < sprites.spriteCount(); ++i) {
        const SpriteInfo info = sprites.spriteInfo(i);
        const SpriteSize size = sprites.spriteSize(i);
        s << i << '\t' << info.group << '\t' << info.number << '\t' << size.width << '\t' << size.height << '\t'
          << info.axisX << '\t' << info.axisY << '\t' << (info.hasData ? 1 : 0) << '\t' << info.linkIndex << '\t'
          << info.paletteIndex << '\t' << info.flags << '\t' << formatName(*sprites.sprite(i)) << '\n';
    }
    return t;
}

// Loads the archive and prints what the loader reported, one issues-list line
// each. False when the file could not be loaded at all.
bool loadReporting(QSprites& sprites, const QMessages& messages, const QString& fileName, QTextStream& err,
                   bool* problems)
{
    const bool loaded = sprites.load(fileName);
    bool errors = false;
    for (int i = 0; i < messages.rowCount(); ++i) {
        err << messages.text(i) << '\n';
        errors = errors || messages.type(i) == Error;
    }
    if (!loaded && messages.rowCount() == 0)
        err << "morvane-tool: cannot read " << fileName << " as a sprite archive\n";
    *problems = !loaded || errors;
    return loaded;
}

int info(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    bool problems = false;
    if (!loadReporting(sprites, messages, args[0], err, &problems))
        return ExitFailed;
    out << table(sprites);
    return problems ? ExitFailed : ExitOk;
}

int extract(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    bool problems = false;
    if (!loadReporting(sprites, messages, args[0], err, &problems))
        return ExitFailed;
    QDir dir(args[1]);
    if (!dir.mkpath(QStringLiteral("."))) {
        err << "morvane-tool: cannot create " << args[1] << '\n';
        return ExitFailed;
    }
    QFile tsv(dir.filePath(QStringLiteral("sprites.tsv")));
    if (!tsv.open(QIODevice::WriteOnly | QIODevice::Truncate) || tsv.write(table(sprites).toUtf8()) < 0) {
        err << "morvane-tool: cannot write " << tsv.fileName() << '\n';
        return ExitFailed;
    }
    tsv.close();

    QList<QRgb> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[i] = qRgb(i, i, i);
    int written = 0;
    for (int i = 0; i < sprites.spriteCount(); ++i) {
        if (!sprites.spriteInfo(i).hasData)
            continue;
        QImage image = sprites.spriteImage(i);
        if (image.isNull())
            continue; // nothing to show: no pixels, or a size of 0
        // A sprite whose palette is missing still gets its indices out.
        if (image.format() == QImage::Format_Indexed8 && image.colorCount() == 0)
            image.setColorTable(grey);
        const QString name = dir.filePath(QStringLiteral("%1.png").arg(i));
        if (!image.save(name, "PNG")) {
            err << "morvane-tool: cannot write " << name << '\n';
            problems = true;
            continue;
        }
        ++written;
    }
    for (int k = 0; k < sprites.paletteCount(); ++k) {
        const QString name = dir.filePath(QStringLiteral("pal%1.act").arg(k));
        if (!sprites.savePaletteAct(k, name)) {
            err << "morvane-tool: cannot write " << name << '\n';
            problems = true;
        }
    }
    out << written << " sprites and " << sprites.paletteCount() << " palettes written to " << args[1] << '\n';
    return problems ? ExitFailed : ExitOk;
}

// convert [--version V] IN OUT: without a version, the one a plain save of
// the window writes (the version read, or 2.01 for true colour).
int convert(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    bool problems = false;
    const QString in = args[args.size() - 2];
    const QString outFile = args[args.size() - 1];
    if (!loadReporting(sprites, messages, in, err, &problems))
        return ExitFailed;
    SffVersion version = sprites.saveVersion();
    if (args.size() == 4) {
        for (SffVersion v : {SffVersion::V101, SffVersion::V200, SffVersion::V201})
            if (args[1] == sffVersionText(v))
                version = v;
    }
    // What the version cannot hold is changed as the window changes it
    // after its question, and said here instead.
    const SffFormat::Losses losses = SffFormat::lossesOf(sprites, version);
    if (losses.trueColour > 0)
        err << "morvane-tool: " << losses.trueColour << " true-colour sprites reduced to 256 colours for version "
            << sffVersionText(version) << '\n';
    if (losses.palettes)
        err << "morvane-tool: the palettes are written as version 1.01 keeps them: in the sprites' images\n";
    if (std::unique_ptr<QEditCommand> change{spritecommands::changeVersion(&sprites, version)})
        change->redo();
    if (!sprites.save(outFile, version)) {
        err << "morvane-tool: cannot write " << outFile;
        if (!sprites.errorString().isEmpty())
            err << ": " << sprites.errorString();
        err << '\n';
        return ExitFailed;
    }
    out << sprites.spriteCount() << " sprites and " << sprites.paletteCount() << " palettes written to " << outFile
        << " as version " << sffVersionText(version) << '\n';
    return problems ? ExitFailed : ExitOk;
}

bool isVersion(const QString& text)
{
    for (SffVersion v : {SffVersion::V101, SffVersion::V200, SffVersion::V201})
        if (text == sffVersionText(v))
            return true;
    return false;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("sff",
                          "sff info FILE          list the sprites of an SFF archive, each with the format of its data\n"
                          "sff extract FILE DIR   write each sprite as DIR/<index>.png, each palette as DIR/pal<k>.act\n"
                          "sff convert [--version 1.01|2.00|2.01] IN OUT\n"
                          "                       rewrite an SFF archive in that version (default: the one it has,\n"
                          "                       2.01 when it holds true colour); 1.01 and 2.00 reduce true colour\n"
                          "                       to 256 colours\n",
                          run);

int run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("info") && args.size() == 2)
        return info(args.mid(1), out, err);
    if (sub == QLatin1String("extract") && args.size() == 3)
        return extract(args.mid(1), out, err);
    if (sub == QLatin1String("convert")
        && (args.size() == 3 || (args.size() == 5 && args[1] == QLatin1String("--version") && isVersion(args[2]))))
        return convert(args.mid(1), out, err);
    return toolUsageError(command, err, sub.isEmpty() ? QString() : QStringLiteral("wrong arguments for sff ") + sub);
}

} // namespace

// morvane-tool sff: look into sprite archives, take them apart, rewrite them.
#include "toolcommand.h"

#include "qmessages.h"
#include "qsprites.h"

#include <QDir>
#include <QFile>

namespace {

QString versionText(int version)
{
    return version == 1 ? QStringLiteral("1.01") : version == 2 ? QStringLiteral("2.00") : QStringLiteral("?");
}

QString table(const QSprites& sprites)
{
    QString t;
    QTextStream s(&t);
    s << "# version " << versionText(sprites.loadedVersion()) << " sprites " << sprites.spriteCount()
      << " palettes " << sprites.paletteCount() << '\n';
    s << "index\tgroup\tnumber\twidth\theight\taxis_x\taxis_y\thas_data\tlink\tpalette\tflags\n";
    for (int i = 0; i < sprites.spriteCount(); ++i) {
        const SpriteInfo info = sprites.spriteInfo(i);
        const SpriteSize size = sprites.spriteSize(i);
        s << i << '\t' << info.group << '\t' << info.number << '\t' << size.width << '\t' << size.height << '\t'
          << info.axisX << '\t' << info.axisY << '\t' << (info.hasData ? 1 : 0) << '\t' << info.linkIndex << '\t'
          << info.paletteIndex << '\t' << info.flags << '\n';
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

int convert(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QMessages messages;
    QSprites sprites(&messages, BlobsInMemory, false, -1);
    bool problems = false;
    if (!loadReporting(sprites, messages, args[0], err, &problems))
        return ExitFailed;
    if (!sprites.save(args[1], true)) {
        err << "morvane-tool: cannot write " << args[1] << '\n';
        return ExitFailed;
    }
    out << sprites.spriteCount() << " sprites and " << sprites.paletteCount() << " palettes written to "
        << args[1] << " as version 2.00\n";
    return problems ? ExitFailed : ExitOk;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("sff",
                          "sff info FILE          list the sprites of an SFF archive\n"
                          "sff extract FILE DIR   write each sprite as DIR/<index>.png, each palette as DIR/pal<k>.act\n"
                          "sff convert IN OUT     rewrite an SFF archive as version 2.00\n",
                          run);

int run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("info") && args.size() == 2)
        return info(args.mid(1), out, err);
    if (sub == QLatin1String("extract") && args.size() == 3)
        return extract(args.mid(1), out, err);
    if (sub == QLatin1String("convert") && args.size() == 3)
        return convert(args.mid(1), out, err);
    return toolUsageError(command, err, sub.isEmpty() ? QString() : QStringLiteral("wrong arguments for sff ") + sub);
}

} // namespace

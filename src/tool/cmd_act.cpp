// morvane-tool act: look into ACT palettes and recolour them with the colour
// effects of the palette page.
#include "toolcommand.h"

#include "qrgbpalette.h"
#include "qsprites.h"

#include <QFile>

#include <iterator>

namespace {

// The effect list of the palette page, item 1 onwards.
const char* const EffectNames[] = {"Blue to Red", "Blue to Green", "Green to Red", "Green to Blue",
                                   "Red to Green", "Red to Blue",   "Lighter",      "Darker",
                                   "Monochrome",   "Fire",          "Saphire",      "Stone"};

QString squeezed(const QString& s)
{
    QString t = s.toLower();
    t.remove(QLatin1Char(' '));
    return t;
}

// An effect by its name in the list (case and blanks do not matter) or its
// number; 0 when there is no such effect.
int effectOf(const QString& word)
{
    bool isNumber = false;
    const int n = word.toInt(&isNumber);
    if (isNumber)
        return n >= int(PaletteEffect::BlueToRed) && n <= int(PaletteEffect::Stone) ? n : 0;
    for (int i = 0; i < int(std::size(EffectNames)); ++i)
        if (squeezed(QLatin1String(EffectNames[i])) == squeezed(word))
            return i + 1;
    return 0;
}

bool load(const QString& fileName, QByteArray& colours, QTextStream& err)
{
    if (QSprites::loadPaletteAct(fileName, colours))
        return true;
    err << "morvane-tool: " << fileName << " is not a palette of 256 colours (768 bytes)\n";
    return false;
}

ToolExit show(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QByteArray colours;
    if (!load(args[0], colours, err))
        return ToolExit::ExitFailed;
    out << "# colours " << QSprites::colourCountOf(colours) << '\n';
    out << "index\tred\tgreen\tblue\n";
    const uchar* c = reinterpret_cast<const uchar*>(colours.constData());
    for (int i = 0; i < 256; ++i)
        out << i << '\t' << c[3 * i] << '\t' << c[3 * i + 1] << '\t' << c[3 * i + 2] << '\n';
    return ToolExit::ExitOk;
}

ToolExit effect(const QStringList& args, QTextStream& out, QTextStream& err, const ToolCommand& command)
{
    const int e = effectOf(args[0]);
    if (e == 0)
        return toolUsageError(command, err, QStringLiteral("no such effect: ") + args[0]);
    QByteArray colours;
    if (!load(args[1], colours, err))
        return ToolExit::ExitFailed;
    QRGBPalette palette(reinterpret_cast<uchar*>(colours.data()));
    palette.applyEffect(PaletteEffect(e), nullptr);
    // Written the way the palette page saves one: a scratch archive of one palette.
    QSprites one(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    one.addPalette(colours, false, 0, -1);
    if (!one.savePaletteAct(0, args[2])) {
        err << "morvane-tool: cannot write " << args[2] << '\n';
        return ToolExit::ExitFailed;
    }
    out << EffectNames[e - 1] << " applied to " << args[1] << ", written to " << args[2] << '\n';
    return ToolExit::ExitOk;
}

ToolExit run(const QStringList& args, QTextStream& out, QTextStream& err);

const ToolCommand command("act",
                          "act show FILE          list the 256 colours of an ACT palette, entry 0 first\n"
                          "act effect EFFECT IN OUT   recolour every entry with an effect of the palette page\n"
                          "                       (Blue to Red, Blue to Green, Green to Red, Green to Blue, Red to Green,\n"
                          "                       Red to Blue, Lighter, Darker, Monochrome, Fire, Saphire, Stone, or 1-12)\n",
                          run);

ToolExit run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("show") && args.size() == 2)
        return show(args.mid(1), out, err);
    if (sub == QLatin1String("effect") && args.size() == 4)
        return effect(args.mid(1), out, err, command);
    return toolUsageError(command, err, sub.isEmpty() ? QString() : QStringLiteral("wrong arguments for act ") + sub);
}

} // namespace

#include "characterdef.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Looks each component of a relative path up in its folder, ignoring the
// case of letters, as the file systems the files were made on do.
QString findIgnoringCase(const QString& base, const QString& relative)
{
    QString at = base;
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            at = QFileInfo(at).absolutePath();
            continue;
        }
        const QString exact = at + QLatin1Char('/') + part;
        if (QFileInfo::exists(exact)) {
            at = exact;
            continue;
        }
        QString match;
        const QStringList entries = QDir(at).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& e : entries)
            if (e.compare(part, Qt::CaseInsensitive) == 0) {
                match = e;
                break;
            }
        if (match.isEmpty())
            return QString();
        at += QLatin1Char('/') + match;
    }
    return at;
}

bool isAbsolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) || (path.size() > 1 && path[1] == QLatin1Char(':'));
}

} // namespace

const DefReference* CharacterDef::last(DefReference::Role role) const
{
    for (auto r = references.crbegin(); r != references.crend(); ++r)
        if (r->role == role)
            return &*r;
    return nullptr;
}

QString engineFolder(const QString& defPath)
{
    const QFileInfo def(defPath);
    const QDir folder = def.absoluteDir();
    const QString parent = QFileInfo(folder.absolutePath()).absolutePath();
    // chars/<name>/<name>.def: two folders up.
    if (QFileInfo(parent).fileName().compare(QLatin1String("chars"), Qt::CaseInsensitive) == 0)
        return QFileInfo(parent).absolutePath();
    return parent;
}

QString resolveDefFile(const QString& defPath, const QString& value, DefReference::Found* found)
{
    *found = DefReference::Missing;
    QString name = value.trimmed();
    if (name.isEmpty())
        return QString();
    const QString folder = QFileInfo(defPath).absolutePath();
    const auto inFolder = [&](const QString& base, const QString& n) {
        return isAbsolute(n) ? n : base + QLatin1Char('/') + n;
    };
    const QString exact = inFolder(folder, name);
    if (QFileInfo::exists(exact) && !name.contains(QLatin1Char('\\'))) {
        *found = DefReference::Exact;
        return QFileInfo(exact).absoluteFilePath();
    }
    // The ways names written on Windows differ from the files here.
    bool quoted = false;
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))) {
        name = name.mid(1, name.size() - 2).trimmed();
        quoted = true;
        if (name.isEmpty()) // the folder itself is no file
            return QString();
    }
    const bool backslashes = name.contains(QLatin1Char('\\'));
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString engine = engineFolder(defPath);
    for (const QString& base : {folder, engine, engine + QStringLiteral("/data")}) {
        const bool elsewhere = base != folder;
        const QString plain = inFolder(base, name);
        QString path;
        bool caseDiffers = false;
        if (QFileInfo::exists(plain)) {
            path = plain;
        } else if (!isAbsolute(name)) {
            path = findIgnoringCase(base, name);
            caseDiffers = !path.isEmpty();
        }
        if (path.isEmpty())
            continue;
        *found = elsewhere ? DefReference::EngineFolder
                 : caseDiffers ? DefReference::LetterCase
                 : quoted ? DefReference::Quotes
                 : backslashes ? DefReference::Separators
                               : DefReference::Exact;
        return QFileInfo(path).absoluteFilePath();
    }
    return QString();
}

CharacterDef readCharacterDef(const QString& text, const QString& defPath)
{
    CharacterDef def;
    enum Section { Other, Files, BGdef, SceneDef, FontDef } section = Other;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (const qsizetype semicolon = line.indexOf(QLatin1Char(';')); semicolon >= 0)
            line.truncate(semicolon);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toLower();
            section = name == QLatin1String("files")      ? Files
                      : name == QLatin1String("bgdef")    ? BGdef
                      : name == QLatin1String("scenedef") ? SceneDef
                      : name == QLatin1String("def")      ? FontDef
                                                          : Other;
            // The last section the kind is told by wins.
            if (section == Files)
                def.kind = CharacterDef::Character;
            else if (section == BGdef)
                def.kind = CharacterDef::Stage;
            else if (section == SceneDef)
                def.kind = CharacterDef::Storyboard;
            else if (section == FontDef)
                def.kind = CharacterDef::Font;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (section == Other || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString lower = key.toLower();
        const QString value = line.mid(equals + 1).trimmed();
        DefReference r;
        bool named = true;
        switch (section) {
        case Files:
            if (lower == QLatin1String("sprite"))
                r.role = DefReference::Sprites;
            else if (lower == QLatin1String("anim"))
                r.role = DefReference::Animations;
            else if (lower == QLatin1String("sound"))
                r.role = DefReference::Sounds;
            else if (lower.startsWith(QLatin1String("pal")) && !lower.contains(QLatin1Char('.')))
                r.role = DefReference::Palette;
            else if (lower == QLatin1String("cmd") || lower == QLatin1String("cns") || lower.startsWith(QLatin1String("st")))
                r.role = DefReference::Code;
            else
                named = false;
            break;
        case BGdef:
        case SceneDef:
            named = lower == QLatin1String("spr");
            r.role = DefReference::Sprites;
            break;
        case FontDef:
            named = lower == QLatin1String("file");
            r.role = DefReference::Sprites;
            break;
        default:
            named = false;
            break;
        }
        if (!named || value.isEmpty())
            continue;
        r.key = key;
        r.value = value;
        r.line = n + 1;
        r.path = resolveDefFile(defPath, value, &r.found);
        def.references.append(r);
    }
    return def;
}

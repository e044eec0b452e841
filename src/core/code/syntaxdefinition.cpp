#include "syntaxdefinition.h"

#include <QBrush>
#include <QColor>
#include <QDomDocument>
#include <QDomElement>
#include <QFile>

namespace {

// Every pattern the checker matches must fit the whole text.
QRegularExpression wholeMatch(const QString& pattern)
{
    QRegularExpression re(QStringLiteral("^(?:") + pattern + QStringLiteral(")$"));
    re.optimize();
    return re;
}

bool isPatternKey(const QString& key)
{
    return key.contains(QLatin1Char('('));
}

const char* const formatNames[SyntaxDefinition::FormatCount] = {
    "comment", "block", "number", "string", "keyword", "value", "controller", "trigger", "const"};

const char* const controllerElements[SyntaxDefinition::ControllerKindCount] = {
    "state_controller", "bg_controller", "fnt_def"};

} // namespace

bool ParamDef::matches(const QString& lowerText) const
{
    return regex.isValid() && regex.match(lowerText).hasMatch();
}

bool ParamDef::matchesLoosely(const QString& lowerText) const
{
    return !warnRegex.pattern().isEmpty() && warnRegex.isValid() && warnRegex.match(lowerText).hasMatch();
}

void NameIndex::build(const QStringList& sortedKeys, bool foldCase)
{
    plain.clear();
    patterns.clear();
    for (int i = 0; i < sortedKeys.size(); ++i) {
        const QString& key = sortedKeys.at(i);
        if (isPatternKey(key)) {
            patterns.append({i, wholeMatch(key)});
        } else {
            const QString k = foldCase ? key.toLower() : key;
            if (!plain.contains(k)) // keys come in order: the first one wins
                plain.insert(k, i);
        }
    }
}

int NameIndex::find(const QString& lowerName) const
{
    int best = plain.value(lowerName, -1);
    for (const auto& [order, re] : patterns) {
        if (best >= 0 && order > best)
            break;
        if (re.isValid() && re.match(lowerName).hasMatch())
            return order;
    }
    return best;
}

const ParamDef* ControllerDef::findParam(const QString& lowerName) const
{
    const int i = lookup.find(lowerName);
    return i < 0 ? nullptr : &ordered.at(i);
}

void ControllerDef::index()
{
    lookup.build(params.keys(), false);
    ordered = params.values();
}

SyntaxDefinition::SyntaxDefinition() : markColors{QColor(255, 0, 0), QColor(255, 140, 0)} {}

QFont SyntaxDefinition::font() const
{
    QFont f(QStringLiteral("Courier"), 10);
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

const std::array<const char*, SyntaxDefinition::SectionCount>& SyntaxDefinition::sectionElementNames()
{
    static const std::array<const char*, SectionCount> names = {
        "files", "arcade", "data", "size", "velocity", "movement", "camera", "playerinfo",
        "bound", "stageinfo", "shadow", "reflection", "music", "bgdef", "fnt"};
    return names;
}

ValueType SyntaxDefinition::typeFromWord(const QString& word, bool inParam)
{
    struct Word
    {
        const char* word;
        ValueType type;
        bool param;
        bool section;
    };
    static const Word words[] = {
        {"int", ValueType::Int, true, true},
        {"int2", ValueType::Int2, true, true},
        {"int3", ValueType::Int3, true, true},
        {"intfloat3", ValueType::IntFloat3, true, false},
        {"float", ValueType::Float, true, true},
        {"float2", ValueType::Float2, true, true},
        {"float2opt", ValueType::Float2Opt, false, true},
        {"float3", ValueType::Float3, true, true},
        {"exp", ValueType::Exp, true, true},
        {"exp2", ValueType::Exp2, true, true},
        {"exp3", ValueType::Exp3, true, true},
        {"exp4", ValueType::Exp4, true, false},
        {"expn", ValueType::ExpN, true, true},
        {"exp2opt", ValueType::Exp2Opt, true, false},
        {"string", ValueType::String, true, true},
        {"strexp", ValueType::StrExp, true, false},
        {"strexp2", ValueType::StrExp2, true, false},
        {"expstr", ValueType::ExpStr, true, false},
        {"value", ValueType::Value, true, false},
    };
    for (const Word& w : words) {
        if (word == QLatin1String(w.word))
            return (inParam ? w.param : w.section) ? w.type : ValueType::Any;
    }
    return ValueType::Any;
}

bool SyntaxDefinition::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return loadData(file.readAll());
}

bool SyntaxDefinition::loadData(const QByteArray& xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return false;

    for (QList<ControllerDef>& list : lists)
        list.clear();
    motifSections.clear();

    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("syntax"))
        return false;

    static const QRegularExpression colorPattern(QStringLiteral("^([0-9]{1,3}),([0-9]{1,3}),([0-9]{1,3})$"));
    const auto& sectionNames = sectionElementNames();

    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();

        if (tag == QLatin1String("format")) {
            const QString name = e.attribute(QStringLiteral("name"));
            const QRegularExpressionMatch m =
                colorPattern.match(e.attribute(QStringLiteral("color"), QStringLiteral("0,0,0")));
            const int r = m.captured(1).toInt(), g = m.captured(2).toInt(), b = m.captured(3).toInt();
            // A component above 255 is no colour: the format keeps the one it had.
            const bool colour = m.hasMatch() && r <= 255 && g <= 255 && b <= 255;
            // The two kinds of mark only take the colour of their underline.
            const bool error = name == QLatin1String("error");
            if (error || name == QLatin1String("warning")) {
                if (colour)
                    markColors[error ? int(Severity::Error) : int(Severity::Warning)] = QColor(r, g, b);
                continue;
            }
            int f = 0;
            while (f < FormatCount && name != QLatin1String(formatNames[f]))
                ++f;
            if (f == FormatCount)
                continue;
            QTextCharFormat& fmt = formats[f];
            // Only the exact word "true" counts; anything else is the plain weight.
            fmt.setFontWeight(e.attribute(QStringLiteral("bold"), QStringLiteral("false")) == QLatin1String("true")
                                  ? QFont::Bold
                                  : QFont::Normal);
            fmt.setFontItalic(e.attribute(QStringLiteral("italic"), QStringLiteral("false")) == QLatin1String("true"));
            if (colour)
                fmt.setForeground(QBrush(QColor(r, g, b)));
            continue;
        }

        if (tag == QLatin1String("consts")) {
            QStringList& group = groups[e.attribute(QStringLiteral("name"))];
            for (QDomElement c = e.firstChildElement(QStringLiteral("const")); !c.isNull();
                 c = c.nextSiblingElement(QStringLiteral("const")))
                group.append(c.attribute(QStringLiteral("name")));
            continue;
        }

        if (tag == QLatin1String("motif_section")) {
            motifSections.insert(e.attribute(QStringLiteral("name")).simplified().toLower());
            continue;
        }

        if (tag == QLatin1String("trigger")) {
            triggerMap.insert(e.attribute(QStringLiteral("name")), e.attribute(QStringLiteral("format")));
            continue;
        }

        bool handled = false;
        for (int k = 0; k < ControllerKindCount && !handled; ++k) {
            if (tag != QLatin1String(controllerElements[k]))
                continue;
            handled = true;
            ControllerDef def;
            def.name = e.attribute(QStringLiteral("name"));
            for (QDomElement p = e.firstChildElement(QStringLiteral("param")); !p.isNull();
                 p = p.nextSiblingElement(QStringLiteral("param"))) {
                ParamDef param;
                param.type = typeFromWord(p.attribute(QStringLiteral("type")), true);
                if (param.type == ValueType::StrExp || param.type == ValueType::StrExp2
                    || param.type == ValueType::ExpStr || param.type == ValueType::Value) {
                    const QString re = p.attribute(QStringLiteral("reg_exp"));
                    param.pattern = QStringLiteral("^(?:") + re + QStringLiteral(")$");
                    param.regex = wholeMatch(re);
                    if (param.type == ValueType::Value && p.hasAttribute(QStringLiteral("warn_exp")))
                        param.warnRegex = wholeMatch(p.attribute(QStringLiteral("warn_exp")));
                }
                def.params.insert(p.attribute(QStringLiteral("name")), param);
            }
            def.index();
            lists[k].append(def);
        }
        if (handled)
            continue;

        for (int s = 0; s < SectionCount; ++s) {
            if (tag == QLatin1String(sectionNames[s])) {
                sections[s].insert(e.attribute(QStringLiteral("name")),
                                   typeFromWord(e.attribute(QStringLiteral("type")), false));
                break;
            }
        }
    }

    triggerLookup.build(triggerMap.keys(), true);
    triggerFormats = triggerMap.values();
    valueLists.clear();
    for (const QString& format : std::as_const(triggerFormats)) {
        if (!format.startsWith(QLatin1String("value")) || valueLists.contains(format))
            continue;
        QList<QRegularExpression> words;
        const QStringList pieces = format.split(QLatin1Char('@'), Qt::SkipEmptyParts);
        for (int i = 1; i < pieces.size(); ++i)
            words.append(wholeMatch(pieces.at(i)));
        valueLists.insert(format, words);
    }
    return true;
}

int SyntaxDefinition::findController(ControllerKind kind, const QString& lowerName) const
{
    const QList<ControllerDef>& list = lists[kind];
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).name == lowerName)
            return i;
    return -1;
}

const ControllerDef* SyntaxDefinition::findControllerWithParam(ControllerKind kind, const QString& lowerName) const
{
    for (const ControllerDef& c : lists[kind]) {
        // One that takes any key at all (even an empty one, as Null does)
        // says nothing about this one.
        if (c.findParam(lowerName) && !c.findParam(QString()))
            return &c;
    }
    return nullptr;
}

QString SyntaxDefinition::findTrigger(const QString& lowerName) const
{
    const int i = triggerLookup.find(lowerName);
    if (i < 0)
        return QString();
    const QString& f = triggerFormats.at(i);
    return f.isNull() ? QString(QLatin1String("")) : f;
}

const QList<QRegularExpression>& SyntaxDefinition::valuePatterns(const QString& format) const
{
    static const QList<QRegularExpression> none;
    const auto it = valueLists.constFind(format);
    return it == valueLists.constEnd() ? none : *it;
}

bool SyntaxDefinition::isConst(const QString& group, const QString& lowerName) const
{
    const auto it = groups.constFind(group);
    return it != groups.constEnd() && it->contains(lowerName);
}

QStringList SyntaxDefinition::vocabulary() const
{
    QStringList words;
    auto add = [&words](const QString& w) {
        if (w.size() >= 3 && !isPatternKey(w))
            words.append(w);
    };
    for (const QList<ControllerDef>& list : lists) {
        for (const ControllerDef& c : list) {
            add(c.name);
            for (auto it = c.params.keyBegin(); it != c.params.keyEnd(); ++it)
                add(*it);
        }
    }
    for (auto it = triggerMap.keyBegin(); it != triggerMap.keyEnd(); ++it)
        add(*it);
    for (const QMap<QString, ValueType>& s : sections)
        for (auto it = s.keyBegin(); it != s.keyEnd(); ++it)
            add(*it);
    for (const QStringList& g : groups)
        for (const QString& c : g)
            add(c);
    words.sort(Qt::CaseInsensitive);
    // One entry per word, whatever its case.
    QStringList unique;
    for (const QString& w : words)
        if (unique.isEmpty() || unique.last().compare(w, Qt::CaseInsensitive) != 0)
            unique.append(w);
    return unique;
}

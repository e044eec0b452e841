#ifndef SYNTAXDEFINITION_H
#define SYNTAXDEFINITION_H

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>

#include <array>
#include <utility>

// The value grammar of a parameter. The numbers are those the type words of
// syntax.xml stand for; Any (19) means "not checked".
enum class ValueType : quint8 {
    Int = 0,
    Int2,
    Int3,
    IntFloat3,
    Float,
    Float2,
    Float2Opt,
    Float3,
    Exp,
    Exp2,
    Exp3,
    Exp4,
    ExpN,
    Exp2Opt,
    String,
    StrExp,
    StrExp2,
    ExpStr,
    Value,
    Any
};

// How bad a mark of the checker is. An error is code the engine rejects or
// misreads; a warning is code the engine ignores, or that works by accident.
enum class Severity : quint8 { Error, Warning };

struct ParamDef
{
    ValueType type = ValueType::Exp;
    // "^(?:...)$" for StrExp, StrExp2, ExpStr and Value, empty otherwise.
    QString pattern;
    QRegularExpression regex; // pattern, compiled once at load
    // Value only: text that fits this one but not the pattern is read by the
    // engine, which ignores what does not fit (a warning, not an error).
    QRegularExpression warnRegex;

    // True when the whole (lower-case) text fits the pattern.
    bool matches(const QString& lowerText) const;
    bool matchesLoosely(const QString& lowerText) const;
};

// Names that are either plain words or, when they contain "(", regular
// expressions that must match a whole name. The first key in ascending key
// order that fits wins, whatever its kind.
class NameIndex
{
public:
    // keys must be in ascending order (as a QMap gives them). With foldCase,
    // plain keys are compared ignoring case.
    void build(const QStringList& sortedKeys, bool foldCase);
    // Index of the first fitting key in the list given to build, or -1.
    // `lowerName` is the name in lower case.
    int find(const QString& lowerName) const;

private:
    QHash<QString, int> plain;
    QList<std::pair<int, QRegularExpression>> patterns;
};

struct ControllerDef
{
    QString name;
    QMap<QString, ParamDef> params;

    // The definition of a parameter name (lower case), or nullptr.
    const ParamDef* findParam(const QString& lowerName) const;
    // Rebuilds the lookup after params changed.
    void index();

private:
    NameIndex lookup;
    QList<ParamDef> ordered; // params' values in key order
};

class SyntaxDefinition
{
public:
    enum Format { Comment, Block, Number, String, Keyword, Value, Controller, Trigger, Const, FormatCount };
    enum ControllerKind { StateController, BackgroundController, FontDefinition, ControllerKindCount };
    enum Section {
        Files, Arcade, Data, Size, Velocity, Movement, Camera, PlayerInfo, Bound, StageInfo, Shadow,
        Reflection, Music, BGDef, Fnt, SectionCount
    };

    SyntaxDefinition();

    // Reads syntax.xml. False when the file cannot be read, is not well-formed
    // XML or its root element is not <syntax>; tables already read stay.
    bool load(const QString& path);
    bool loadData(const QByteArray& xml);

    const QTextCharFormat& format(Format f) const { return formats[f]; }
    // The colour of the wavy underline under a mark: red for errors and orange
    // for warnings unless syntax.xml says otherwise ("error" and "warning" formats).
    QColor markColor(Severity s) const { return markColors[int(s)]; }
    // The font every code document uses.
    QFont font() const;

    const QList<ControllerDef>& controllers(ControllerKind kind) const { return lists[kind]; }
    // Index of the first controller of that name (compared exactly), or -1.
    int findController(ControllerKind kind, const QString& lowerName) const;
    // The first controller of that kind that takes a parameter of that name
    // (lower case), or nullptr. Controllers that take any name (Null) do not count.
    const ControllerDef* findControllerWithParam(ControllerKind kind, const QString& lowerName) const;

    // Sections of the engine's own motif files (system.def, fight.def,
    // select.def, storyboards), in lower case with single blanks.
    bool isMotifSection(const QString& lowerName) const { return motifSections.contains(lowerName); }

    const QMap<QString, ValueType>& section(Section s) const { return sections[s]; }

    // Trigger name -> operand format, in ascending key order.
    const QMap<QString, QString>& triggers() const { return triggerMap; }
    // The operand format of the first trigger key that fits the name, or a
    // null string when none does.
    QString findTrigger(const QString& lowerName) const;

    // The word patterns of a value-list operand format ("value@x|y",
    // "valueeq@s|c|a|l"): one per word after the format's first piece.
    const QList<QRegularExpression>& valuePatterns(const QString& format) const;

    const QMap<QString, QStringList>& constGroups() const { return groups; }
    bool hasConstGroup(const QString& name) const { return groups.contains(name); }
    bool isConst(const QString& group, const QString& lowerName) const;

    // Every word worth offering while typing: controller, trigger, parameter
    // and constant names (regular-expression keys are left out).
    QStringList vocabulary() const;

    // Element names of syntax.xml's fifteen section kinds, in Section order.
    static const std::array<const char*, SectionCount>& sectionElementNames();
    // The code of a type word, as read in a param (inParam) or a section element.
    static ValueType typeFromWord(const QString& word, bool inParam);

private:
    std::array<QTextCharFormat, FormatCount> formats;
    std::array<QColor, 2> markColors;
    std::array<QList<ControllerDef>, ControllerKindCount> lists;
    std::array<QMap<QString, ValueType>, SectionCount> sections;
    QMap<QString, QString> triggerMap;
    NameIndex triggerLookup;
    QList<QString> triggerFormats; // triggerMap's values, in key order
    QHash<QString, QList<QRegularExpression>> valueLists;
    QMap<QString, QStringList> groups;
    QSet<QString> motifSections;
};

#endif

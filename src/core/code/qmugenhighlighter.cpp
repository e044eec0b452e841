#include "qmugenhighlighter.h"

#include "codelineinfo.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// Deeper nesting than this is no code anyone writes; it only guards the
// recursive reader against a line of ten thousand brackets.
constexpr int MaxDepth = 200;

constexpr int StateControllerRoom = QMugenHighlighter::FirstBgController - QMugenHighlighter::FirstStateController;
constexpr int BgControllerRoom = QMugenHighlighter::FirstFontDefinition - QMugenHighlighter::FirstBgController;
constexpr int FontDefinitionRoom = QMugenHighlighter::FreeSection - QMugenHighlighter::FirstFontDefinition;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool oneOf(const QString& word, const char* const* list)
{
    for (; *list; ++list)
        if (word == QLatin1String(*list))
            return true;
    return false;
}

// "trigger" followed by one or two digits.
bool isTriggerKey(const QString& lower)
{
    if (!lower.startsWith(QLatin1String("trigger")) || lower.size() < 8 || lower.size() > 9)
        return false;
    for (int i = 7; i < lower.size(); ++i)
        if (!isDigit(lower.at(i)))
            return false;
    return true;
}

const char* const remapButtons[] = {"x", "y", "z", "a", "b", "c", "s", nullptr};
const char* const defaultsKeys[] = {"command.time", "command.buffer.time", nullptr};
const char* const keymapKeys[] = {"x", "y", "z", "a", "b", "c", "x2", "y2", "z2", "a2", "b2", "c2", nullptr};
// The engine also takes U ("unchanged") for all three.
const char* const statedefTypes[] = {"s", "c", "a", "l", "u", nullptr};
const char* const statedefMoveTypes[] = {"a", "i", "h", "u", nullptr};
const char* const statedefPhysics[] = {"s", "c", "a", "n", "u", nullptr};
const char* const statedefExpressions[] = {"anim", "ctrl", "poweradd", "juggle", "facep2", "hitdefpersist",
                                           "movehitpersist", "hitcountpersist", "sprpriority", nullptr};
const char* const flips[] = {"h", "v", "hv", "vh", nullptr};

struct Depth
{
    explicit Depth(int& d) : d(d) { ++d; }
    ~Depth() { --d; }
    int& d;
};

} // namespace

QMugenHighlighter::QMugenHighlighter(QTextDocument* document, const SyntaxDefinition* syntax)
    : QSyntaxHighlighter(document), syntax(syntax)
{
    if (document)
        document->setDefaultFont(syntax->font());
}

int QMugenHighlighter::controllerState(SyntaxDefinition::ControllerKind kind, int index)
{
    if (index < 0)
        return -1;
    switch (kind) {
    case SyntaxDefinition::StateController:
        if (index < StateControllerRoom)
            return FirstStateController + index;
        break;
    case SyntaxDefinition::BackgroundController:
        if (index < BgControllerRoom)
            return FirstBgController + index;
        break;
    case SyntaxDefinition::FontDefinition:
        if (index < FontDefinitionRoom)
            return FirstFontDefinition + index;
        break;
    default:
        return -1;
    }
    // Lists longer than their room continue above all other states, so that a
    // long list never spills into the next kind's numbers.
    if (index > (INT_MAX - FirstExtended) / 4 - 1)
        return -1;
    return FirstExtended + 4 * index + int(kind);
}

int QMugenHighlighter::controllerIndex(int state, SyntaxDefinition::ControllerKind* kind)
{
    SyntaxDefinition::ControllerKind k;
    int index;
    if (state >= FirstExtended) {
        k = SyntaxDefinition::ControllerKind((state - FirstExtended) % 4);
        index = (state - FirstExtended) / 4;
        if (k >= SyntaxDefinition::ControllerKindCount)
            return -1;
    } else if (state >= FreeSection) {
        return -1;
    } else if (state >= FirstFontDefinition) {
        k = SyntaxDefinition::FontDefinition;
        index = state - FirstFontDefinition;
    } else if (state >= FirstBgController) {
        k = SyntaxDefinition::BackgroundController;
        index = state - FirstBgController;
    } else if (state >= FirstStateController) {
        k = SyntaxDefinition::StateController;
        index = state - FirstStateController;
    } else {
        return -1;
    }
    if (kind)
        *kind = k;
    return index;
}

QList<CodeMark> QMugenHighlighter::marks(const QTextBlock& block)
{
    QList<CodeMark> out;
    const QTextLayout* layout = block.layout();
    if (!layout)
        return out;
    for (const QTextLayout::FormatRange& r : layout->formats()) {
        if (r.length <= 0 || r.format.underlineStyle() != QTextCharFormat::SpellCheckUnderline)
            continue;
        const QString message = r.format.toolTip();
        if (message.isEmpty())
            continue;
        out.append({block.blockNumber(), r.start, r.length, message});
    }
    std::sort(out.begin(), out.end(), [](const CodeMark& a, const CodeMark& b) { return a.start < b.start; });
    return out;
}

QList<CodeMark> QMugenHighlighter::marks(const QTextDocument* document)
{
    QList<CodeMark> out;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        out += marks(b);
    return out;
}

// ---------------------------------------------------------------- tokenizer

void QMugenHighlighter::next()
{
    if (eol)
        return; // the end of the line stays the current token
    const int n = int(line.size());
    tok.start = pos;
    while (pos < n && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
    tok.text.clear();
    if (pos >= n || line[pos] == QLatin1Char('\r') || line[pos] == QLatin1Char('\n')) {
        tok.type = EndOfLine;
        tok.end = pos;
        eol = true;
        return;
    }
    const QChar c = line[pos];

    if (c == QLatin1Char(';')) {
        apply(tok.start, n, SyntaxDefinition::Comment);
        // A mark on this token covers only the blanks before the comment.
        tok.type = EndOfLine;
        tok.end = pos;
        eol = true;
        return;
    }

    const bool negative = c == QLatin1Char('-') && !minusIsOperator && pos + 1 < n
                          && (isDigit(line[pos + 1]) || line[pos + 1] == QLatin1Char('.'));
    if (isDigit(c) || c == QLatin1Char('.') || negative) {
        int p = pos;
        if (negative) {
            tok.text += QLatin1Char('-');
            ++p;
        }
        tok.type = Integer;
        if (line[p] == QLatin1Char('.')) {
            tok.text += QLatin1String("0.");
            tok.type = Decimal;
            ++p;
        } else {
            while (p < n && isDigit(line[p]))
                tok.text += line[p++];
            if (p < n && line[p] == QLatin1Char('.')) {
                tok.text += line[p++];
                tok.type = Decimal;
            }
        }
        if (tok.type == Decimal)
            while (p < n && isDigit(line[p]))
                tok.text += line[p++];
        pos = p;
        tok.end = p;
        return;
    }

    if (c.isLetter()) {
        int p = pos + 1;
        while (p < n) {
            const QChar ch = line[p];
            if (ch.isLetter() || ch == QLatin1Char('.') || ch == QLatin1Char('_')) {
                ++p;
            } else if (isDigit(ch)) {
                if (!identDigits) {
                    // S10 and F100 are a prefix letter and a number.
                    const QChar after = p + 1 < n ? line[p + 1] : QChar();
                    if (!(after.isLetter() || after == QLatin1Char('.') || after == QLatin1Char('_')))
                        break;
                }
                ++p;
            } else {
                break;
            }
        }
        tok.type = Identifier;
        tok.text = line.mid(pos, p - pos).toString();
        pos = p;
        tok.end = p;
        return;
    }

    if (c == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), pos + 1);
        if (close < 0) {
            // An open string ends the line's checking.
            tok.type = EndOfLine;
            tok.text = line.mid(pos + 1).toString();
            pos = n;
            tok.end = n;
            eol = true;
            return;
        }
        tok.type = StringToken;
        tok.text = line.mid(pos + 1, close - pos - 1).toString();
        pos = int(close) + 1;
        tok.end = pos;
        return;
    }

    const int at = pos++;
    const QChar d = pos < n ? line[pos] : QChar();
    auto pair = [&](QChar second, TokenType paired, TokenType single) {
        if (d == second) {
            ++pos;
            tok.type = paired;
        } else {
            tok.type = single;
        }
    };
    switch (c.unicode()) {
    case '<': pair(QLatin1Char('='), LessEqual, Less); break;
    case '>': pair(QLatin1Char('='), GreaterEqual, Greater); break;
    case '!': pair(QLatin1Char('='), NotEqual, Not); break;
    case '|': pair(QLatin1Char('|'), LogicalOr, BitOr); break;
    case '&': pair(QLatin1Char('&'), LogicalAnd, BitAnd); break;
    case '^': pair(QLatin1Char('^'), LogicalXor, BitXor); break;
    case '*': pair(QLatin1Char('*'), Power, Star); break;
    case '+': tok.type = Plus; break;
    case '-': tok.type = Minus; break;
    case '/': tok.type = Slash; break;
    case '%': tok.type = Percent; break;
    case '=': tok.type = Equal; break;
    case ',': tok.type = Comma; break;
    case '(': tok.type = OpenParen; break;
    case ')': tok.type = CloseParen; break;
    case '{': tok.type = OpenBrace; break;
    case '}': tok.type = CloseBrace; break;
    case '[': tok.type = OpenBracket; break;
    case ']': tok.type = CloseBracket; break;
    case ':': tok.type = Colon; break;
    case '~': tok.type = Tilde; break;
    case '$': tok.type = Dollar; break;
    default: tok.type = Other; break;
    }
    // |= &= ^= *= are no operators of the engine: checking stops there.
    if ((tok.type == BitOr || tok.type == BitAnd || tok.type == BitXor || tok.type == Star) && d == QLatin1Char('=')) {
        ++pos;
        tok.type = EndOfLine;
        eol = true;
    }
    tok.text = line.mid(at, pos - at).toString();
    tok.end = pos;
}

bool QMugenHighlighter::isWord(const char* lowerWord) const
{
    return tok.type == Identifier && tok.text.compare(QLatin1String(lowerWord), Qt::CaseInsensitive) == 0;
}

void QMugenHighlighter::restore(const TokenizerState& s)
{
    pos = s.pos;
    eol = s.eol;
    tok = s.tok;
}

// ---------------------------------------------------------------- marking

void QMugenHighlighter::apply(int start, int end, SyntaxDefinition::Format f)
{
    if (end > start)
        setFormat(start, end - start, syntax->format(f));
}

void QMugenHighlighter::mark(int start, int end, const QString& message)
{
    if (end <= start)
        return;
    QTextCharFormat f;
    f.setUnderlineColor(Qt::red);
    f.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    f.setToolTip(message);
    setFormat(start, end - start, f);
}

void QMugenHighlighter::flag(const QString& message)
{
    mark(tok.start, tok.end, message);
    next();
}

bool QMugenHighlighter::expect(TokenType t)
{
    if (tok.type == t) {
        next();
        return true;
    }
    flag(tr("Unexpected token '%1'").arg(tok.text));
    return false;
}

bool QMugenHighlighter::expect(TokenType t, SyntaxDefinition::Format f)
{
    if (tok.type == t)
        applyToken(f);
    return expect(t);
}

bool QMugenHighlighter::expectNumber()
{
    return expect(is(Decimal) ? Decimal : Integer, SyntaxDefinition::Number);
}

void QMugenHighlighter::skipRest()
{
    while (!is(EndOfLine))
        next();
}

void QMugenHighlighter::endCheck()
{
    if (is(EndOfLine))
        return;
    const int start = tok.start;
    int end = tok.end;
    for (next(); !is(EndOfLine); next())
        end = tok.end;
    mark(start, end, tr("Syntax error"));
}

// ---------------------------------------------------------------- lines

void QMugenHighlighter::highlightBlock(const QString& text)
{
    int previous = previousBlockState();
    if (previous < 0)
        previous = NoSection;
    if (text.isEmpty()) {
        setCurrentBlockState(previous);
        noteOutlineLine(text, previous);
        return;
    }

    line = text;
    pos = 0;
    eol = false;
    minusIsOperator = false;
    identDigits = true;
    depth = 0;
    lineState = NoSection;
    next();

    if (is(EndOfLine)) {
        // Blanks and a comment: nothing to check, whatever the section.
    } else if (is(OpenBracket)) {
        sectionHeader();
    } else if (previous == FreeSection) {
        freeLine();
    } else if (isWord("type") && previous != Statedef) {
        controllerTypeLine(previous);
    } else if (previous == NoSection || previous == StateBeforeType || previous == DefBeforeType) {
        // Nothing belongs here: the end check marks the line.
    } else if (previous <= BGDef || previous == FntV2) {
        sectionLine(previous);
    } else {
        controllerBlockLine(previous);
    }
    endCheck();

    setCurrentBlockState(lineState == NoSection ? previous : lineState);
    noteOutlineLine(text, previous);
    line = QStringView();
}

void QMugenHighlighter::sectionHeader()
{
    const int open = tok.start;
    QString headerError;
    bool needClose = false; // the name must be followed by ] at once
    next();
    const bool startsWithWord = is(Identifier);

    static const char* const stageSections[] = {"camera", "playerinfo", "bound", "stageinfo",
                                                "shadow", "reflection", "music", "bgdef", nullptr};
    static const char* const cmdSections[] = {"remap", "defaults", "command", nullptr};
    static const char* const cnsSections[] = {"data", "size", "velocity", "movement", nullptr};
    static const char* const defSections[] = {"info", "files", nullptr};
    // Sections the engine reads whose keys the syntax definition does not list.
    static const char* const freeSections[] = {"scenedef", "scene", "bgctrldef", "bgctrl", nullptr};
    static const QRegularExpression quotes(QStringLiteral("^([a-z]{2,2}.)?quotes$"),
                                           QRegularExpression::CaseInsensitiveOption);

    auto indexIn = [this](const char* const* list) {
        if (!is(Identifier))
            return -1;
        const QString word = lowerText();
        for (int i = 0; list[i]; ++i)
            if (word == QLatin1String(list[i]))
                return i;
        return -1;
    };

    // The names are tried in this order; a two-word name reads on, and the
    // names after it are compared with the token that is then current.
    int i;
    if (isWord("def")) {
        lineState = DefBeforeType;
        next();
        needClose = true;
    } else if (isWord("fnt") && (next(), isWord("v2"))) {
        lineState = FntV2;
        next();
        needClose = true;
    } else if ((i = indexIn(stageSections)) >= 0) {
        lineState = Camera + i;
        next();
        needClose = true;
    } else if (isWord("bg")) {
        lineState = BGBeforeType;
        next();
    } else if ((i = indexIn(cmdSections)) >= 0) {
        lineState = Remap + i;
        next();
        needClose = true;
    } else if (isWord("statedef") && (next(), is(Integer))) {
        lineState = Statedef;
        next();
        if (!is(Comma) && !is(CloseBracket))
            headerError = tr("Wrong StateDef");
    } else if (isWord("state") && (next(), is(Integer))) {
        lineState = StateBeforeType;
        next();
        if (!is(Comma) && !is(CloseBracket))
            headerError = tr("Wrong State");
    } else if ((i = indexIn(cnsSections)) >= 0) {
        lineState = Data + i;
        next();
        needClose = true;
    } else if (isWord("begin") && (next(), isWord("action")) && (next(), is(Integer))) {
        lineState = BeginAction;
        next();
        needClose = true;
    } else if ((i = indexIn(defSections)) >= 0) {
        lineState = Info + i;
        next();
        needClose = true;
    } else if (isWord("palette") && (next(), isWord("keymap"))) {
        lineState = PaletteKeymap;
        next();
        needClose = true;
    } else if (isWord("arcade")) {
        lineState = Arcade;
        next();
        needClose = true;
    } else if (is(Identifier) && quotes.match(tok.text).hasMatch()) {
        lineState = Quotes;
        next();
        needClose = true;
    } else if (indexIn(freeSections) >= 0) {
        lineState = FreeSection;
        next();
    }

    const bool known = lineState != NoSection;
    bool invalid = (!startsWithWord && !is(CloseBracket)) || (needClose && !is(CloseBracket)) || !known;
    // Whatever is left up to ] belongs to the header.
    while (!is(CloseBracket) && !is(EndOfLine))
        next();
    if (is(EndOfLine))
        invalid = true;

    if (invalid) {
        mark(open, tok.end, tr("Invalid block"));
        // A well-formed header of a section this program does not know starts
        // a section of its own: its lines are not checked against the one
        // before it.
        if (!known && startsWithWord && is(CloseBracket))
            lineState = FreeSection;
    } else if (!headerError.isEmpty()) {
        mark(open, tok.end, headerError);
    } else {
        apply(open, tok.end, SyntaxDefinition::Block);
    }
    if (is(CloseBracket))
        next();
}

void QMugenHighlighter::controllerTypeLine(int previous)
{
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    const QString value = lowerText();
    static const SyntaxDefinition::ControllerKind order[] = {
        SyntaxDefinition::FontDefinition, SyntaxDefinition::BackgroundController, SyntaxDefinition::StateController};
    for (SyntaxDefinition::ControllerKind kind : order) {
        const int i = syntax->findController(kind, value);
        if (i >= 0) {
            expect(Identifier, SyntaxDefinition::Controller);
            lineState = controllerState(kind, i);
            return;
        }
    }
    if (previous == DefBeforeType)
        flag(tr("Invalid 'Def' value"));
    else if (previous == BGBeforeType)
        flag(tr("Invalid 'BG' value"));
    else
        flag(tr("Invalid 'State type' value"));
    lineState = UnknownController;
}

void QMugenHighlighter::controllerBlockLine(int previous)
{
    if (!is(Identifier))
        return;
    const QString name = lowerText();
    if (name == QLatin1String("ignorehitpause") || name == QLatin1String("persistent")
        || name == QLatin1String("triggerall") || isTriggerKey(name)) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        parseExpression();
        return;
    }

    if (previous == UnknownController) {
        // The type line carries the mark; the block's keys cannot be checked.
        skipRest();
        return;
    }
    SyntaxDefinition::ControllerKind kind = SyntaxDefinition::StateController;
    int index = controllerIndex(previous, &kind);
    if (previous == BGBeforeType) {
        // An element without a type line is a normal one.
        kind = SyntaxDefinition::BackgroundController;
        index = syntax->findController(kind, QStringLiteral("normal"));
    }
    const QList<ControllerDef>& list = syntax->controllers(kind);
    if (index < 0 || index >= list.size())
        return;
    const ControllerDef& def = list.at(index);

    const int nameStart = tok.start;
    int nameEnd = tok.end;
    QString key;
    while (!is(EndOfLine) && !is(Equal)) {
        key += lowerText();
        nameEnd = tok.end;
        next();
    }
    const ParamDef* param = def.findParam(key);
    if (!param) {
        mark(nameStart, tok.end, tr("Invalid '%1' parameter").arg(def.name));
        skipRest();
        return;
    }
    apply(nameStart, nameEnd, SyntaxDefinition::Keyword);
    checkValue(*param);
}

void QMugenHighlighter::sectionLine(int previous)
{
    switch (previous) {
    case Remap: remapLine(); break;
    case Defaults: defaultsLine(); break;
    case Command: commandLine(); break;
    case Statedef: statedefLine(); break;
    case Quotes: quotesLine(); break;
    case BeginAction: actionLine(); break;
    case Info: infoLine(); break;
    case PaletteKeymap: paletteKeymapLine(); break;
    case Data: sectionMapLine(SyntaxDefinition::Data, tr("Invalid 'Data' parameter")); break;
    case Size: sectionMapLine(SyntaxDefinition::Size, tr("Invalid 'Size' parameter")); break;
    case Velocity: sectionMapLine(SyntaxDefinition::Velocity, tr("Invalid 'Velocity' parameter")); break;
    case Movement: sectionMapLine(SyntaxDefinition::Movement, tr("Invalid 'Movement' parameter")); break;
    case Files: sectionMapLine(SyntaxDefinition::Files, tr("Invalid 'Files' parameter")); break;
    case Arcade: sectionMapLine(SyntaxDefinition::Arcade, tr("Invalid 'Arcade' parameter")); break;
    case Camera: sectionMapLine(SyntaxDefinition::Camera, tr("Invalid 'Camera' parameter")); break;
    case PlayerInfo: sectionMapLine(SyntaxDefinition::PlayerInfo, tr("Invalid 'PlayerInfo' parameter")); break;
    case Bound: sectionMapLine(SyntaxDefinition::Bound, tr("Invalid 'Bound' parameter")); break;
    case StageInfo: sectionMapLine(SyntaxDefinition::StageInfo, tr("Invalid 'StageInfo' parameter")); break;
    case Shadow: sectionMapLine(SyntaxDefinition::Shadow, tr("Invalid 'Shadow' parameter")); break;
    case Reflection: sectionMapLine(SyntaxDefinition::Reflection, tr("Invalid 'Reflection' parameter")); break;
    case Music: sectionMapLine(SyntaxDefinition::Music, tr("Invalid 'Music' parameter")); break;
    case BGDef: sectionMapLine(SyntaxDefinition::BGDef, tr("Invalid 'BGDef' parameter")); break;
    case FntV2: sectionMapLine(SyntaxDefinition::Fnt, tr("Invalid 'FNT v2' parameter")); break;
    default: break;
    }
}

void QMugenHighlighter::freeLine()
{
    if (is(Identifier)) {
        applyToken(SyntaxDefinition::Keyword);
        next();
        if (is(Equal))
            next();
    }
    for (; !is(EndOfLine); next()) {
        if (is(Integer) || is(Decimal))
            applyToken(SyntaxDefinition::Number);
        else if (is(StringToken))
            applyToken(SyntaxDefinition::String);
    }
}

void QMugenHighlighter::wordValue(const char* const* allowed, const QString& message)
{
    if (!is(Identifier)) {
        expect(Identifier, SyntaxDefinition::Value);
    } else if (oneOf(lowerText(), allowed)) {
        applyToken(SyntaxDefinition::Value);
        next();
    } else {
        flag(message);
    }
}

void QMugenHighlighter::remapLine()
{
    if (is(Identifier) && !oneOf(lowerText(), remapButtons)) {
        flag(tr("Invalid 'Remap' parameter"));
        skipRest();
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    if (is(EndOfLine))
        return; // a blank value switches the button off
    wordValue(remapButtons, tr("Invalid 'Remap' value"));
}

void QMugenHighlighter::defaultsLine()
{
    if (is(Identifier) && !oneOf(lowerText(), defaultsKeys))
        flag(tr("Invalid 'Defaults' parameter"));
    else
        expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    expect(Integer, SyntaxDefinition::Number);
}

void QMugenHighlighter::paletteKeymapLine()
{
    if (is(Identifier) && !oneOf(lowerText(), keymapKeys))
        flag(tr("Invalid 'Palette Keymap' parameter"));
    else
        expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    expect(Integer, SyntaxDefinition::Number);
}

void QMugenHighlighter::commandLine()
{
    const QString name = is(Identifier) ? lowerText() : QString();
    if (name == QLatin1String("name")) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        expect(StringToken, SyntaxDefinition::String);
    } else if (name == QLatin1String("command")) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        skipRest(); // the input sequence has a grammar of its own
    } else if (name == QLatin1String("time") || name == QLatin1String("buffer.time")) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        expect(Integer, SyntaxDefinition::Number);
    } else {
        if (is(Identifier))
            flag(tr("Invalid 'Command' parameter"));
        else
            expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        skipRest();
    }
}

void QMugenHighlighter::statedefLine()
{
    const QString name = is(Identifier) ? lowerText() : QString();
    const char* const* words = nullptr;
    QString wordMessage;
    if (name == QLatin1String("type")) {
        words = statedefTypes;
        wordMessage = tr("Invalid 'StateDef type' value");
    } else if (name == QLatin1String("movetype")) {
        words = statedefMoveTypes;
        wordMessage = tr("Invalid 'StateDef movetype' value");
    } else if (name == QLatin1String("physics")) {
        words = statedefPhysics;
        wordMessage = tr("Invalid 'StateDef physics' value");
    }
    if (words) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        wordValue(words, wordMessage);
    } else if (!name.isEmpty() && oneOf(name, statedefExpressions)) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        parseExpression();
    } else if (name == QLatin1String("velset")) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        parseExpression();
        if (is(Comma)) { // the engine takes x alone as well
            next();
            parseExpression();
        }
    } else {
        if (is(Identifier))
            flag(tr("Invalid 'StateDef' parameter"));
        else
            expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        skipRest();
    }
}

void QMugenHighlighter::quotesLine()
{
    static const QRegularExpression victory(QStringLiteral("^victory[0-9]{1,2}$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (!is(Identifier)) {
        expect(Identifier, SyntaxDefinition::Keyword);
    } else if (victory.match(tok.text).hasMatch()) {
        applyToken(SyntaxDefinition::Keyword);
        next();
    } else {
        flag(tr("Invalid 'Quotes' parameter"));
    }
    expect(Equal);
    expect(StringToken, SyntaxDefinition::String);
}

void QMugenHighlighter::infoLine()
{
    const QString name = is(Identifier) ? lowerText() : QString();
    static const char* const known[] = {"name", "displayname", "author", "localcoord",
                                        "versiondate", "pal.defaults", "mugenversion", nullptr};
    if (name.isEmpty() || !oneOf(name, known)) {
        if (is(Identifier))
            flag(tr("Invalid 'Info'' parameter"));
        else
            expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        skipRest();
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    auto integer = [this] { expect(Integer, SyntaxDefinition::Number); };
    if (name == QLatin1String("localcoord")) {
        integer();
        expect(Comma);
        integer();
    } else if (name == QLatin1String("versiondate")) {
        integer();
        for (int part = 0; part < 2; ++part) {
            expect(is(Comma) ? Comma : Slash);
            integer();
        }
    } else if (name == QLatin1String("pal.defaults")) {
        integer();
        while (is(Comma)) {
            next();
            integer();
        }
    } else if (name == QLatin1String("mugenversion")) {
        if (is(Decimal)) {
            expectNumber();
        } else {
            integer();
            expect(Comma);
            integer();
            expect(Comma);
            integer();
        }
    } else {
        expect(StringToken, SyntaxDefinition::String);
    }
}

void QMugenHighlighter::actionLine()
{
    auto integer = [this] { expect(Integer, SyntaxDefinition::Number); };
    auto integers = [&](int count) {
        integer();
        for (int i = 1; i < count; ++i) {
            expect(Comma);
            integer();
        }
    };
    if (is(Integer)) {
        integers(5); // group, number, x, y, time
        if (is(Comma)) {
            next();
            if (is(Identifier)) { // an empty flip field is allowed
                if (oneOf(lowerText(), flips)) {
                    applyToken(SyntaxDefinition::Value);
                    next();
                } else {
                    flag(tr("Invalid flip"));
                }
            }
            if (is(Comma)) {
                next();
                static const QRegularExpression blend(QStringLiteral("^(a|a1|s|as[0-9]{1,3}d[0-9]{1,3})$"),
                                                      QRegularExpression::CaseInsensitiveOption);
                if (!is(Identifier)) {
                    expect(Identifier);
                } else if (blend.match(tok.text).hasMatch()) {
                    applyToken(SyntaxDefinition::Value);
                    next();
                } else {
                    flag(tr("Invalid transparency"));
                }
            }
        }
        return;
    }
    if (!is(Identifier))
        return;
    const QString name = lowerText();
    if (name == QLatin1String("loopstart")) {
        applyToken(SyntaxDefinition::Keyword);
        next();
    } else if (name == QLatin1String("clsn1default") || name == QLatin1String("clsn2default")) {
        applyToken(SyntaxDefinition::Keyword);
        next();
        expect(Colon);
        integer();
    } else if (name == QLatin1String("clsn1") || name == QLatin1String("clsn2")) {
        applyToken(SyntaxDefinition::Keyword);
        next();
        if (is(OpenBracket)) {
            next();
            integer();
            expect(CloseBracket);
            expect(Equal);
            integers(4);
        } else {
            expect(Colon);
            integer();
        }
    }
}

void QMugenHighlighter::sectionMapLine(SyntaxDefinition::Section section, const QString& message)
{
    if (is(Identifier)) {
        const QMap<QString, ValueType>& map = syntax->section(section);
        const auto it = map.constFind(lowerText());
        if (it != map.constEnd()) {
            applyToken(SyntaxDefinition::Keyword);
            next();
            ParamDef def;
            def.type = it.value();
            checkValue(def);
            return;
        }
    }
    flag(message);
    skipRest();
}

// ---------------------------------------------------------------- expressions

void QMugenHighlighter::parseExpression()
{
    const bool was = minusIsOperator;
    minusIsOperator = true;
    expression();
    minusIsOperator = was;
}

void QMugenHighlighter::expression()
{
    Depth guard(depth);
    bitwise();
    while (is(LogicalAnd) || is(LogicalOr) || is(LogicalXor)) {
        next();
        bitwise();
    }
}

void QMugenHighlighter::bitwise()
{
    assignment();
    while (is(BitAnd) || is(BitOr) || is(BitXor)) {
        next();
        assignment();
    }
}

void QMugenHighlighter::assignment()
{
    equality();
    while (is(Colon)) {
        next();
        expect(Equal);
        equality();
    }
}

void QMugenHighlighter::equality()
{
    relational();
    while (is(Equal) || is(NotEqual)) {
        next();
        if (is(OpenBracket)) {
            // An interval: [a, b], [a, b), and so on.
            next();
            relational();
            expect(Comma);
            relational();
            if (is(CloseBracket) || is(CloseParen))
                next();
            else
                expect(CloseBracket);
        } else {
            relational();
        }
    }
}

void QMugenHighlighter::relational()
{
    additive();
    while (is(Less) || is(LessEqual) || is(Greater) || is(GreaterEqual)) {
        next();
        additive();
    }
}

void QMugenHighlighter::additive()
{
    multiplicative();
    while (is(Plus) || is(Minus)) {
        next();
        multiplicative();
    }
}

void QMugenHighlighter::multiplicative()
{
    power();
    while (is(Star) || is(Slash) || is(Percent)) {
        next();
        power();
    }
}

void QMugenHighlighter::power()
{
    primary();
    while (is(Power)) {
        next();
        primary();
    }
}

void QMugenHighlighter::primary()
{
    Depth guard(depth);
    if (depth > MaxDepth) {
        flag(tr("Invalid expression value"));
        skipRest();
        return;
    }
    switch (tok.type) {
    case Integer:
    case Decimal:
        applyToken(SyntaxDefinition::Number);
        next();
        return;
    case StringToken:
        applyToken(SyntaxDefinition::String);
        next();
        return;
    case Minus:
        applyToken(SyntaxDefinition::Number);
        next();
        if (!is(Minus))
            primary();
        return;
    case Tilde: // bitwise not
        next();
        primary();
        return;
    case Not:
        next();
        expression();
        return;
    case OpenParen:
        next();
        expression();
        if (is(Comma)) {
            // An interval opened with a parenthesis: (a, b] or (a, b).
            next();
            expression();
            if (is(CloseBracket) || is(CloseParen))
                next();
            else
                expect(CloseParen);
        } else {
            expect(CloseParen);
        }
        return;
    default:
        break;
    }

    if (is(Identifier)) {
        const QString name = lowerText();
        if (name == QLatin1String("root") || name == QLatin1String("parent") || name == QLatin1String("partner")) {
            applyToken(SyntaxDefinition::Trigger);
            next();
            expect(Comma);
            expression();
            return;
        }
        if (name == QLatin1String("enemy") || name == QLatin1String("enemynear") || name == QLatin1String("playerid")
            || name == QLatin1String("helper") || name == QLatin1String("target")) {
            applyToken(SyntaxDefinition::Trigger);
            next();
            if (is(OpenParen)) {
                next();
                expression();
                expect(CloseParen);
            }
            expect(Comma);
            expression();
            return;
        }
    }

    const QString format = syntax->findTrigger(lowerText());
    if (format.isNull()) {
        flag(tr("Invalid expression value"));
        return;
    }
    applyToken(SyntaxDefinition::Trigger);
    next();
    triggerOperands(format);
}

bool QMugenHighlighter::optionalRelop()
{
    if (is(Equal) || is(NotEqual) || is(Less) || is(LessEqual) || is(Greater) || is(GreaterEqual)) {
        next();
        return true;
    }
    return false;
}

bool QMugenHighlighter::relop()
{
    return optionalRelop() || expect(Less);
}

void QMugenHighlighter::signedInteger()
{
    // Inside an expression a minus sign is a token of its own.
    if (is(Minus)) {
        applyToken(SyntaxDefinition::Number);
        next();
    }
    expect(Integer, SyntaxDefinition::Number);
}

void QMugenHighlighter::triggerOperands(const QString& format)
{
    auto integer = [this] { expect(Integer, SyntaxDefinition::Number); };
    auto arguments = [this](int count) {
        expect(OpenParen);
        expression();
        for (int i = 1; i < count; ++i) {
            expect(Comma);
            expression();
        }
        expect(CloseParen);
    };

    if (format.isEmpty())
        return;
    if (format == QLatin1String("nilexp")) {
        if (is(OpenParen)) {
            next();
            expression();
            expect(CloseParen);
        }
    } else if (format == QLatin1String("exp")) {
        arguments(1);
    } else if (format == QLatin1String("exp2")) {
        arguments(2);
    } else if (format == QLatin1String("exp3")) {
        arguments(3);
    } else if (format == QLatin1String("opint")) {
        expect(Equal);
        integer();
        if (is(Comma)) {
            // AnimElem = 3, -1: the operator before the tick offset may be
            // left out (it is then =), and the offset may be negative.
            next();
            optionalRelop();
            signedInteger();
        }
    } else if (format == QLatin1String("opint2")) {
        relop();
        integer();
        expect(Comma);
        integer();
    } else if (format == QLatin1String("op2int2")) {
        relop();
        integer();
        if (is(Comma)) {
            next();
            optionalRelop();
            signedInteger();
        }
    } else if (format == QLatin1String("opstr")) {
        if (is(Equal) || is(NotEqual))
            next();
        else
            expect(Equal);
        expect(StringToken, SyntaxDefinition::String);
    } else if (format.startsWith(QLatin1String("valueeq"))) {
        if (is(Equal) || is(NotEqual))
            next();
        else
            expect(Equal);
        valueList(format);
    } else if (format.startsWith(QLatin1String("value"))) {
        valueList(format);
    } else if (syntax->hasConstGroup(format)) {
        expect(OpenParen);
        if (!is(Identifier)) {
            expect(Identifier);
        } else if (syntax->isConst(format, lowerText())) {
            applyToken(SyntaxDefinition::Const);
            next();
        } else {
            flag(tr("Invalid constant"));
        }
        expect(CloseParen);
    }
}

void QMugenHighlighter::valueList(const QString& format)
{
    const QList<QRegularExpression>& words = syntax->valuePatterns(format);
    auto fits = [this](const QRegularExpression& re) { return re.isValid() && re.match(lowerText()).hasMatch(); };
    for (int i = 0; i < words.size(); ++i) {
        if (i > 0)
            expect(Comma);
        if (fits(words.at(i)))
            applyToken(SyntaxDefinition::Value);
        else
            mark(tok.start, tok.end, tr("Invalid value"));
        next();
    }
    // A list of several kinds of word ends in as many of the last kind as the
    // line gives (HitDefAttr = SC, NA, SA, HA).
    if (words.size() < 2)
        return;
    while (is(Comma)) {
        const TokenizerState before = save();
        next();
        if (!is(Identifier) || !fits(words.last())) {
            restore(before);
            return;
        }
        applyToken(SyntaxDefinition::Value);
        next();
    }
}

void QMugenHighlighter::checkValue(const ParamDef& def)
{
    const bool prefixed = def.type == ValueType::StrExp || def.type == ValueType::StrExp2 || def.type == ValueType::ExpStr;
    if (prefixed)
        identDigits = false;
    expect(Equal);
    identDigits = true;

    auto integer = [this] { expect(Integer, SyntaxDefinition::Number); };
    auto numbers = [this](int count) {
        expectNumber();
        for (int i = 1; i < count; ++i) {
            expect(Comma);
            expectNumber();
        }
    };
    auto expressions = [this](int count) {
        parseExpression();
        for (int i = 1; i < count; ++i) {
            expect(Comma);
            parseExpression();
        }
    };
    auto prefix = [&] {
        if (is(Identifier) && def.matches(lowerText())) {
            applyToken(SyntaxDefinition::Value);
            next();
        }
    };

    switch (def.type) {
    case ValueType::Int:
        integer();
        break;
    case ValueType::Int2:
        integer();
        expect(Comma);
        integer();
        break;
    case ValueType::Int3:
        integer();
        expect(Comma);
        integer();
        expect(Comma);
        integer();
        break;
    case ValueType::IntFloat3:
        integer();
        expect(Comma);
        numbers(3);
        break;
    case ValueType::Float:
        numbers(1);
        break;
    case ValueType::Float2:
        numbers(2);
        break;
    case ValueType::Float2Opt:
        expectNumber();
        if (is(Comma)) {
            next();
            expectNumber();
        }
        break;
    case ValueType::Float3:
        numbers(3);
        break;
    case ValueType::Exp:
        expressions(1);
        break;
    case ValueType::Exp2:
        expressions(2);
        break;
    case ValueType::Exp3:
        expressions(3);
        break;
    case ValueType::Exp4:
        expressions(4);
        break;
    case ValueType::ExpN:
        parseExpression();
        while (is(Comma)) {
            next();
            parseExpression();
        }
        break;
    case ValueType::Exp2Opt:
        parseExpression();
        if (is(Comma)) {
            next();
            parseExpression();
        }
        break;
    case ValueType::String:
        expect(StringToken, SyntaxDefinition::String);
        break;
    case ValueType::StrExp:
        prefix();
        parseExpression();
        break;
    case ValueType::StrExp2:
        prefix();
        parseExpression();
        expect(Comma);
        parseExpression();
        break;
    case ValueType::ExpStr:
        parseExpression();
        if (is(Comma)) {
            next();
            if (!is(Identifier)) {
                expect(Identifier);
            } else if (def.matches(lowerText())) {
                applyToken(SyntaxDefinition::Value);
                next();
            } else {
                flag(tr("Invalid 'State' parameter value"));
            }
        }
        break;
    case ValueType::Value: {
        const int start = tok.start;
        int end = tok.end;
        QString joined;
        for (; !is(EndOfLine); next()) {
            joined += lowerText();
            end = tok.end;
        }
        if (def.matches(joined))
            apply(start, end, SyntaxDefinition::Value);
        else
            mark(start, end, tr("Invalid 'State' parameter value"));
        break;
    }
    case ValueType::Any:
        skipRest();
        break;
    }
}

// ---------------------------------------------------------------- outline

void QMugenHighlighter::noteOutlineLine(const QString& text, int previous)
{
    // Only the lines a document's outline names keep a note: section headers,
    // controller type lines and command names. Their words are taken as
    // written, up to a comment.
    auto blank = [&](qsizetype i) { return i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')); };
    qsizetype i = 0;
    while (blank(i))
        ++i;
    const qsizetype comment = text.indexOf(QLatin1Char(';'), i);
    const QStringView rest = QStringView(text).mid(i, comment < 0 ? -1 : comment - i);
    auto startsWithWord = [&](QLatin1String word) {
        return rest.startsWith(word, Qt::CaseInsensitive)
               && (rest.size() == word.size() || rest[word.size()] == QLatin1Char('=') || rest[word.size()] == QLatin1Char(' ')
                   || rest[word.size()] == QLatin1Char('\t'));
    };
    auto afterEqual = [&]() {
        const qsizetype eq = rest.indexOf(QLatin1Char('='));
        return eq < 0 ? QStringView() : rest.mid(eq + 1).trimmed();
    };

    CodeLineInfo::Kind kind = CodeLineInfo::Header;
    QStringView words;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        words = rest.mid(1, close < 0 ? -1 : close - 1).trimmed();
    } else if (lineState != NoSection && lineState != FreeSection && lineState != previous
               && (lineState == UnknownController || controllerIndex(lineState, nullptr) >= 0)
               && startsWithWord(QLatin1String("type"))) {
        kind = CodeLineInfo::Type;
        words = afterEqual();
    } else if (previous == Command && startsWithWord(QLatin1String("name"))) {
        kind = CodeLineInfo::CommandName;
        words = afterEqual();
        if (words.startsWith(QLatin1Char('"'))) {
            const qsizetype close = words.indexOf(QLatin1Char('"'), 1);
            words = words.mid(1, close < 0 ? -1 : close - 1);
        }
    } else {
        if (currentBlockUserData()) {
            setCurrentBlockUserData(nullptr);
            ++outlineRev;
        }
        return;
    }
    const int state = currentBlockState();
    auto* old = static_cast<CodeLineInfo*>(currentBlockUserData());
    if (old && old->kind == kind && old->state == state && old->text == words)
        return;
    setCurrentBlockUserData(new CodeLineInfo(kind, words.toString(), state));
    ++outlineRev;
}

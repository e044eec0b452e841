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

// Where a mark keeps its severity in the text format.
constexpr int SeverityProperty = QTextFormat::UserProperty + 1;

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
    if (index > (SectionMask + 1 - FirstExtended) / 4 - 1)
        return -1;
    return FirstExtended + 4 * index + int(kind);
}

int QMugenHighlighter::controllerIndex(int state, SyntaxDefinition::ControllerKind* kind)
{
    SyntaxDefinition::ControllerKind k;
    int index;
    state = section(state);
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
        out.append({block.blockNumber(), r.start, r.length, message,
                    r.format.intProperty(SeverityProperty) == int(Severity::Warning) ? Severity::Warning : Severity::Error});
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
                if (!identDigits && p == pos + 1) {
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

void QMugenHighlighter::mark(int start, int end, const QString& message, Severity severity)
{
    if (end <= start)
        return;
    QTextCharFormat f;
    f.setUnderlineColor(syntax->markColor(severity));
    f.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    f.setToolTip(message);
    f.setProperty(SeverityProperty, int(severity));
    setFormat(start, end - start, f);
}

void QMugenHighlighter::flag(const QString& message, Severity severity)
{
    if (is(EndOfLine)) {
        // Something is missing at the end of the line: mark its last
        // character, so that the mark shows, unless it has one already.
        int end = tok.start;
        while (end > 0 && (line[end - 1] == QLatin1Char(' ') || line[end - 1] == QLatin1Char('\t')))
            --end;
        if (end > 0 && format(end - 1).toolTip().isEmpty())
            mark(end - 1, end, message, severity);
        return;
    }
    mark(tok.start, tok.end, message, severity);
    next();
}

bool QMugenHighlighter::expect(TokenType t)
{
    if (tok.type == t) {
        next();
        return true;
    }
    flag(is(EndOfLine) ? tr("Unexpected end of line") : tr("Unexpected token '%1'").arg(tok.text));
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

void QMugenHighlighter::markRest(const QString& message, Severity severity)
{
    if (is(EndOfLine))
        return;
    const int start = tok.start;
    int end = tok.end;
    for (next(); !is(EndOfLine); next())
        end = tok.end;
    mark(start, end, message, severity);
}

void QMugenHighlighter::endCheck()
{
    if (is(EndOfLine))
        return;
    // Text in another code page after the code is a remark whose semicolon was
    // typed full width (or forgotten): the engine stops reading before it.
    int first = tok.start;
    while (first < line.size() && (line[first] == QLatin1Char(' ') || line[first] == QLatin1Char('\t')))
        ++first;
    if (first < line.size() && line[first].unicode() >= 0x80)
        markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
    else
        markRest(tr("Syntax error"), Severity::Error);
}

// ---------------------------------------------------------------- lines

namespace {

bool isKeyValueSection(int section)
{
    return section != QMugenHighlighter::NoSection && section != QMugenHighlighter::BeginAction
           && section != QMugenHighlighter::FreeSection;
}

bool isStateBlock(int section)
{
    if (section == QMugenHighlighter::StateBeforeType || section == QMugenHighlighter::UnknownController)
        return true;
    SyntaxDefinition::ControllerKind kind;
    return QMugenHighlighter::controllerIndex(section, &kind) >= 0 && kind == SyntaxDefinition::StateController;
}

} // namespace

bool QMugenHighlighter::hasEqualSign() const
{
    for (const QChar c : line) {
        if (c == QLatin1Char('='))
            return true;
        if (c == QLatin1Char(';'))
            return false;
    }
    return false;
}

void QMugenHighlighter::highlightBlock(const QString& text)
{
    int previous = previousBlockState();
    if (previous < 0)
        previous = NoSection;
    if (text.isEmpty()) {
        setCurrentBlockState(previous);
        noteOutlineLine(text, section(previous));
        return;
    }
    const int previousSection = section(previous);

    line = text;
    pos = 0;
    eol = false;
    minusIsOperator = false;
    identDigits = true;
    depth = 0;
    lineState = NoSection;
    lineFlags = previous & ~SectionMask;
    next();

    if (is(EndOfLine)) {
        // Blanks and a comment: nothing to check, whatever the section.
    } else if (is(OpenBracket)) {
        sectionHeader(previous);
    } else if (previousSection == FreeSection) {
        freeLine();
    } else if (previousSection == NoSection) {
        markRest(tr("Line outside any section: the engine ignores it"), Severity::Warning);
    } else if (isKeyValueSection(previousSection) && !hasEqualSign()) {
        // A line of dashes, a remark that lost its semicolon: the engine
        // reads key = value lines only.
        markRest(tr("Line without '=': the engine ignores it"), Severity::Warning);
    } else if (previousSection == Statedef) {
        statedefLine(previous);
    } else if (isWord("type") && (previousSection == StateBeforeType || previousSection == BGBeforeType
                                  || previousSection == DefBeforeType || previousSection >= UnknownController)) {
        controllerTypeLine(previous);
    } else if (previousSection == StateBeforeType || previousSection == DefBeforeType
               || previousSection == BGBeforeType || previousSection >= UnknownController) {
        controllerBlockLine(previous);
    } else {
        sectionLine(previousSection);
    }
    endCheck();

    setCurrentBlockState((lineState == NoSection ? previousSection : lineState) | lineFlags);
    noteOutlineLine(text, previousSection);
    line = QStringView();
}

// What a section header names. `section` is NoSection for a name the engine
// does not know here.
struct QMugenHighlighter::Header
{
    enum Decides { Neither, EngineContent, Motif };
    int section = NoSection;
    Decides decides = Neither; // what the name says about the kind of file
    QString problem;           // an error on the header, or empty
    bool ignored = false;      // a section the engine reads past
};

QMugenHighlighter::Header QMugenHighlighter::readHeader(QStringView inner, int flags) const
{
    Header h;
    const QString name = inner.toString().simplified().toLower();
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    const QString first = blank < 0 ? name : name.left(blank);
    const QString rest = blank < 0 ? QString() : name.mid(blank + 1);
    const bool motif = flags & MotifFile;
    // [State ] with nothing after the blank is a controller header too.
    qsizetype lead = 0;
    while (lead < inner.size() && inner.at(lead).isSpace())
        ++lead;
    const QStringView word = inner.mid(lead);
    const bool stateHeader = word.size() > 5 && word.startsWith(QLatin1String("state"), Qt::CaseInsensitive)
                             && word.at(5).isSpace();

    static const char* const stageSections[] = {"camera", "playerinfo", "bound", "stageinfo",
                                                "shadow", "reflection", "music", "bgdef", nullptr};
    static const char* const cmdSections[] = {"remap", "defaults", "command", nullptr};
    static const char* const cnsSections[] = {"data", "size", "velocity", "movement", nullptr};
    static const char* const defSections[] = {"info", "files", nullptr};
    static const QRegularExpression quotes(QStringLiteral("^([a-z]{2,2}.)?quotes$"));
    static const QRegularExpression statedefNumber(QStringLiteral("^[-+]?[0-9]+ ?(,.*)?$"));
    static const QRegularExpression actionNumber(QStringLiteral("^action [-+]?[0-9]+$"));
    auto indexIn = [](const QString& word, const char* const* list) {
        for (int i = 0; list[i]; ++i)
            if (word == QLatin1String(list[i]))
                return i;
        return -1;
    };
    // A one-word name followed by more words is marked, but names its section.
    auto single = [&](int section) {
        h.section = section;
        if (!rest.isEmpty())
            h.problem = tr("Invalid block");
    };

    int i;
    if (first == QLatin1String("statedef")) {
        h.section = Statedef;
        h.decides = Header::EngineContent;
        if (rest.isEmpty())
            h.problem = tr("Invalid block");
        else if (!statedefNumber.match(rest).hasMatch())
            h.problem = tr("Wrong StateDef");
    } else if (stateHeader) {
        // Whatever follows is a label: a number, words, another code page.
        h.section = StateBeforeType;
        h.decides = Header::EngineContent;
    } else if (name == QLatin1String("begin action") || (first == QLatin1String("begin") && rest.startsWith(QLatin1String("action ")))) {
        h.section = BeginAction;
        if (!actionNumber.match(rest).hasMatch())
            h.problem = tr("Invalid block");
    } else if (name == QLatin1String("fnt v2")) {
        h.section = FntV2;
        h.decides = Header::EngineContent;
    } else if (name == QLatin1String("palette keymap")) {
        h.section = PaletteKeymap;
        h.decides = Header::EngineContent;
    } else if (first == QLatin1String("def")) {
        single(DefBeforeType);
        h.decides = Header::EngineContent;
    } else if (first == QLatin1String("scaling")) {
        // Read by the engine's oldest releases only.
        h.section = FreeSection;
        h.ignored = true;
        h.decides = Header::EngineContent;
    } else if ((i = indexIn(first, defSections)) >= 0) {
        // A motif's [Files] names its own kinds of files.
        single(motif && first == QLatin1String("files") ? FreeSection : Info + i);
    } else if (motif && first == QLatin1String("music")) {
        single(FreeSection);
    } else if ((i = indexIn(first, stageSections)) >= 0) {
        single(Camera + i);
        if (first != QLatin1String("music") && first != QLatin1String("bgdef"))
            h.decides = Header::EngineContent;
    } else if ((i = indexIn(first, cmdSections)) >= 0) {
        single(Remap + i);
        h.decides = Header::EngineContent;
    } else if ((i = indexIn(first, cnsSections)) >= 0) {
        single(Data + i);
        h.decides = Header::EngineContent;
    } else if (first == QLatin1String("arcade")) {
        single(Arcade);
        h.decides = Header::EngineContent;
    } else if (quotes.match(first).hasMatch()) {
        single(Quotes);
        h.decides = Header::EngineContent;
    } else if (first.endsWith(QLatin1String("ctrldef")) || first.endsWith(QLatin1String("ctrl"))) {
        // Background controllers: their vocabulary is not described.
        h.section = FreeSection;
    } else if (first.endsWith(QLatin1String("def")) && first.contains(QLatin1String("bg"))) {
        // The background definition of a motif screen or a storyboard scene.
        h.section = FreeSection;
        h.decides = Header::Motif;
    } else if (first.startsWith(QLatin1String("bg")) || first.endsWith(QLatin1String("bg"))) {
        // A background element: [BG name] in a stage, [TitleBG name] in a
        // motif, [BG0 name] in a storyboard; the name is a free label.
        h.section = BGBeforeType;
        if (first != QLatin1String("bg") && !first.startsWith(QLatin1String("bg")))
            h.decides = Header::Motif;
    } else if (syntax->isMotifSection(name) || syntax->isMotifSection(first)) {
        h.section = FreeSection;
        h.decides = Header::Motif;
    }
    return h;
}

// The first section of a file whose sections could be a character's, a
// stage's or a motif's ([Info], [Files], [Music]): the first later header that
// tells decides.
bool QMugenHighlighter::motifAhead() const
{
    for (QTextBlock b = currentBlock().next(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        int open = 0;
        while (open < text.size() && (text.at(open) == QLatin1Char(' ') || text.at(open) == QLatin1Char('\t')))
            ++open;
        if (open >= text.size() || text.at(open) != QLatin1Char('['))
            continue;
        qsizetype end = text.indexOf(QLatin1Char(';'), open);
        const qsizetype close = text.lastIndexOf(QLatin1Char(']'), end < 0 ? -1 : end);
        if (close <= open)
            continue;
        const Header h = readHeader(QStringView(text).mid(open + 1, close - open - 1), 0);
        if (h.decides != Header::Neither)
            return h.decides == Header::Motif;
    }
    return false;
}

void QMugenHighlighter::sectionHeader(int previous)
{
    const int open = tok.start;
    const int n = int(line.size());
    // The header ends at the last ] before a comment: a label in another code
    // page may hold a ] inside one of its characters.
    qsizetype limit = line.indexOf(QLatin1Char(';'), pos);
    if (limit < 0)
        limit = n;
    qsizetype close = limit > pos ? line.lastIndexOf(QLatin1Char(']'), limit - 1) : -1;
    const bool closed = close >= pos;
    if (!closed) {
        // No closing bracket: marked, but read as the engine would, to the
        // end of the line, so that the block after it is checked.
        close = limit;
        while (close > pos && (line[close - 1] == QLatin1Char(' ') || line[close - 1] == QLatin1Char('\t')))
            --close;
    }

    const int flagsBefore = lineFlags;
    Header h = readHeader(line.mid(pos, close - pos), lineFlags);
    if (h.decides == Header::Motif)
        lineFlags |= MotifFile;
    else if (h.decides == Header::EngineContent)
        lineFlags &= ~MotifFile;
    else if (previous == NoSection && h.section != NoSection && motifAhead())
        lineFlags |= MotifFile;
    if (lineFlags != flagsBefore)
        h = readHeader(line.mid(pos, close - pos), lineFlags);
    if (!closed)
        h.problem = tr("Invalid block");

    QString warning;
    if (h.section == NoSection && !closed) {
        // A stray bracket: the section goes on.
    } else if (h.section == NoSection && (lineFlags & InStates)) {
        // The engine reads every section after a [Statedef] as one of its
        // controllers: check it as one.
        h.section = StateBeforeType;
        warning = tr("Unknown section inside a Statedef: its lines are read as a state controller");
    } else if (h.section == NoSection) {
        h.section = FreeSection;
        if (!(lineFlags & MotifFile))
            warning = tr("Section the engine ignores");
    } else if (h.ignored) {
        warning = tr("Section the engine ignores");
    }
    lineState = h.section;

    if (h.section == Statedef)
        lineFlags = (lineFlags | InStates) & ~StatedefType;
    else if (h.section != StateBeforeType && h.section != NoSection)
        lineFlags &= ~InStates;

    const int end = closed ? int(close) + 1 : int(close);
    if (!h.problem.isEmpty())
        mark(open, end, h.problem);
    else if (!warning.isEmpty())
        warn(open, end, warning);
    else
        apply(open, end, SyntaxDefinition::Block);

    pos = end;
    next();
    markRest(tr("Text after the section header: the engine ignores it"), Severity::Warning);
}

void QMugenHighlighter::controllerTypeLine(int previous)
{
    const int previousSection = section(previous);
    if (previousSection != StateBeforeType && previousSection != BGBeforeType && previousSection != DefBeforeType) {
        const int start = tok.start;
        skipRest();
        warn(start, tok.end, tr("Second 'type' line: the engine keeps the first (is a [State] header missing above?)"));
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    const QString value = lowerText();
    if (previousSection == StateBeforeType) {
        const int i = syntax->findController(SyntaxDefinition::StateController, value);
        if (i >= 0) {
            expect(Identifier, SyntaxDefinition::Controller);
            lineState = controllerState(SyntaxDefinition::StateController, i);
            return;
        }
        flag(tr("Invalid 'State type' value"));
        lineState = UnknownController;
        return;
    }
    const bool bg = previousSection == BGBeforeType;
    const SyntaxDefinition::ControllerKind kind = bg ? SyntaxDefinition::BackgroundController
                                                     : SyntaxDefinition::FontDefinition;
    int i = syntax->findController(kind, value);
    if (i < 0 && bg && is(Identifier)) {
        // The engine tells a background element's type by its first letter.
        const QList<ControllerDef>& list = syntax->controllers(kind);
        for (int k = 0; k < list.size() && i < 0; ++k)
            if (list.at(k).name.startsWith(value.at(0)))
                i = k;
    }
    if (i >= 0 && is(Identifier)) {
        expect(Identifier, SyntaxDefinition::Controller);
        lineState = controllerState(kind, i);
        return;
    }
    flag(bg ? tr("Invalid 'BG' value") : tr("Invalid 'Def' value"));
    lineState = bg ? UnknownBgType : UnknownFontType;
}

void QMugenHighlighter::controllerBlockLine(int previous)
{
    if (!is(Identifier))
        return;
    const int previousSection = section(previous);
    const QString name = lowerText();
    if (isStateBlock(previousSection)
        && (name == QLatin1String("ignorehitpause") || name == QLatin1String("persistent")
            || name == QLatin1String("triggerall") || isTriggerKey(name))) {
        // The engine reads the keys of a block in any order: triggers may
        // come before the type line.
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        if (name.startsWith(QLatin1String("trigger")))
            parseExpression(); // a condition cannot be left out
        else
            expressions(1);
        return;
    }
    controllerParameter(previous);
}

void QMugenHighlighter::controllerParameter(int previous)
{
    const int previousSection = section(previous);
    if (previousSection == UnknownController || previousSection == UnknownBgType || previousSection == UnknownFontType) {
        // The type line carries the mark; the block's keys cannot be checked.
        skipRest();
        return;
    }

    const int nameStart = tok.start;
    int nameEnd = tok.end;
    QString key;
    while (!is(EndOfLine) && !is(Equal)) {
        key += lowerText();
        nameEnd = tok.end;
        next();
    }

    SyntaxDefinition::ControllerKind kind = SyntaxDefinition::StateController;
    const ControllerDef* owner = nullptr;  // whose key it is
    QString ownerName;                     // who has no such key
    if (previousSection == StateBeforeType || previousSection == BGBeforeType || previousSection == DefBeforeType) {
        // The type may come later: a key of any controller of the kind is
        // taken, and an element without a type line is a normal one.
        kind = previousSection == StateBeforeType ? SyntaxDefinition::StateController
               : previousSection == BGBeforeType  ? SyntaxDefinition::BackgroundController
                                                  : SyntaxDefinition::FontDefinition;
        owner = syntax->findControllerWithParam(kind, key);
        ownerName = previousSection == StateBeforeType ? QStringLiteral("State")
                    : previousSection == BGBeforeType  ? QStringLiteral("normal")
                                                       : QStringLiteral("Def");
    } else {
        const int index = controllerIndex(previousSection, &kind);
        const QList<ControllerDef>& list = syntax->controllers(kind);
        if (index < 0 || index >= list.size())
            return;
        owner = &list.at(index);
        ownerName = owner->name;
        if (!owner->findParam(key))
            owner = nullptr;
    }
    if (!owner) {
        // The engine reads the keys it knows and passes over the others.
        warn(nameStart, tok.end, tr("Invalid '%1' parameter").arg(ownerName));
        skipRest();
        return;
    }
    apply(nameStart, nameEnd, SyntaxDefinition::Keyword);
    if (previousSection == StateBeforeType) {
        // Its value depends on the controller, not known yet.
        skipRest();
        return;
    }
    checkValue(*owner->findParam(key));
}

void QMugenHighlighter::sectionLine(int previous)
{
    switch (previous) {
    case Remap: remapLine(); break;
    case Defaults: defaultsLine(); break;
    case Command: commandLine(); break;
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

// Text that may be quoted or not: the engine takes the quotes off if there are any.
void QMugenHighlighter::textValue()
{
    if (is(StringToken)) {
        applyToken(SyntaxDefinition::String);
        next();
        return;
    }
    if (is(EndOfLine))
        return;
    const int start = tok.start;
    skipRest();
    apply(start, tok.start, SyntaxDefinition::String);
}

void QMugenHighlighter::remapLine()
{
    if (is(Identifier) && !oneOf(lowerText(), remapButtons)) {
        flag(tr("Invalid 'Remap' parameter"), Severity::Warning);
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
    if (is(Identifier) && !oneOf(lowerText(), defaultsKeys)) {
        flag(tr("Invalid 'Defaults' parameter"), Severity::Warning);
        skipRest();
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    numbers(1, 1);
}

void QMugenHighlighter::paletteKeymapLine()
{
    if (is(Identifier) && !oneOf(lowerText(), keymapKeys)) {
        flag(tr("Invalid 'Palette Keymap' parameter"), Severity::Warning);
        skipRest();
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    numbers(1, 1);
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
        numbers(1, 1);
    } else if (is(Identifier)) {
        flag(tr("Invalid 'Command' parameter"), Severity::Warning);
        skipRest();
    } else {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        skipRest();
    }
}

void QMugenHighlighter::statedefLine(int previous)
{
    const QString name = is(Identifier) ? lowerText() : QString();
    const char* letters = nullptr; // the engine reads these values by their first letter
    QString wordMessage;
    if (name == QLatin1String("type")) {
        // The engine also takes U ("unchanged") for all three.
        letters = "scalu";
        wordMessage = tr("Invalid 'StateDef type' value");
    } else if (name == QLatin1String("movetype")) {
        letters = "aihu";
        wordMessage = tr("Invalid 'StateDef movetype' value");
    } else if (name == QLatin1String("physics")) {
        letters = "scanu";
        wordMessage = tr("Invalid 'StateDef physics' value");
    }
    if (letters) {
        const int start = tok.start;
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        if (name == QLatin1String("type")) {
            if (previous & StatedefType) {
                skipRest();
                warn(start, tok.end, tr("Second 'type' line: the engine keeps the first (is a [State] header missing above?)"));
                return;
            }
            lineFlags |= StatedefType;
        }
        if (is(EndOfLine)) {
            return; // the default stays
        } else if (!is(Identifier)) {
            expect(Identifier, SyntaxDefinition::Value);
        } else if (name == QLatin1String("type")
                   && syntax->findController(SyntaxDefinition::StateController, lowerText()) >= 0
                   && lowerText().size() > 1) {
            // A controller's lines with its header commented out: the engine
            // takes them for the Statedef's.
            flag(tr("Controller type inside a Statedef: is its [State] header missing?"), Severity::Warning);
            skipRest();
        } else if (QLatin1String(letters).contains(lowerText().at(0))) {
            applyToken(SyntaxDefinition::Value);
            next();
            markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
        } else {
            flag(wordMessage);
        }
    } else if (!name.isEmpty() && oneOf(name, statedefExpressions)) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        expressions(1);
    } else if (name == QLatin1String("velset")) {
        expect(Identifier, SyntaxDefinition::Keyword);
        expect(Equal);
        expressions(2); // the engine takes x alone as well
    } else if (is(Identifier)) {
        flag(tr("Invalid 'StateDef' parameter"), Severity::Warning);
        skipRest();
    } else {
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
        flag(tr("Invalid 'Quotes' parameter"), Severity::Warning);
        skipRest();
        return;
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
        if (is(Identifier)) {
            flag(tr("Invalid 'Info'' parameter"), Severity::Warning);
        } else {
            expect(Identifier, SyntaxDefinition::Keyword);
            expect(Equal);
        }
        skipRest();
        return;
    }
    expect(Identifier, SyntaxDefinition::Keyword);
    expect(Equal);
    if (name == QLatin1String("localcoord")) {
        numbers(2, 2);
    } else if (name == QLatin1String("pal.defaults")) {
        numbers(12, 12);
    } else if (name == QLatin1String("versiondate") || name == QLatin1String("mugenversion")) {
        // Free text: a date, a version number, anything.
        textValue();
    } else {
        textValue();
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
        if (!is(Comma)) {
            // The engine stops reading the frame at its fifth number.
            markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
        } else {
            next();
            if (is(Identifier)) { // an empty flip field is allowed
                if (oneOf(lowerText(), flips)) {
                    applyToken(SyntaxDefinition::Value);
                    next();
                } else {
                    flag(tr("Invalid flip"), Severity::Warning);
                }
            } else if (!is(Comma) && !is(EndOfLine)) {
                flag(tr("Invalid flip"), Severity::Warning);
            }
            if (is(Comma)) {
                next();
                // Read by its first letter: A (Add, A1), S (Sub), AS<n>D<m>.
                if (is(Identifier) && (lowerText().startsWith(QLatin1Char('a')) || lowerText().startsWith(QLatin1Char('s')))) {
                    applyToken(SyntaxDefinition::Value);
                    next();
                } else if (!is(Comma) && !is(EndOfLine)) {
                    flag(tr("Invalid transparency"), Severity::Warning);
                }
            }
            // Scale and angle fields of later releases, or stray text.
            markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
        }
        return;
    }
    const QString name = is(Identifier) ? lowerText() : QString();
    if (name == QLatin1String("loopstart")) {
        applyToken(SyntaxDefinition::Keyword);
        next();
        markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
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
    } else {
        // Neither a frame nor a box: the engine reads past it.
        markRest(tr("Line the engine ignores"), Severity::Warning);
    }
}

void QMugenHighlighter::sectionMapLine(SyntaxDefinition::Section section, const QString& message)
{
    if (is(Identifier)) {
        const QMap<QString, ValueType>& map = syntax->section(section);
        const QString name = lowerText();
        const auto it = map.constFind(name);
        if (it != map.constEnd()) {
            applyToken(SyntaxDefinition::Keyword);
            next();
            if (it.value() == ValueType::String
                && (name == QLatin1String("name") || name == QLatin1String("author")
                    || name == QLatin1String("displayname"))) {
                expect(Equal);
                textValue();
                return;
            }
            ParamDef def;
            def.type = it.value();
            checkValue(def);
            return;
        }
    }
    // The engine reads the keys it knows and passes over the others.
    flag(message, Severity::Warning);
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


// ---------------------------------------------------------------- values

// Up to `count` numbers separated by commas, the first `integers` of them
// integers. Like the engine, a value may stop early (the rest keep their
// defaults); what follows the last number it reads is ignored.
void QMugenHighlighter::numbers(int count, int integers)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (!is(Comma))
                return;
            next();
        }
        numberPart(i < integers);
    }
    extraValues();
}

void QMugenHighlighter::numberPart(bool integer)
{
    if (is(Comma) || is(EndOfLine))
        return; // an empty part keeps its default
    if (is(Plus))
        next();
    bool read = true;
    if (is(Decimal) && integer) {
        mark(tok.start, tok.end, tr("Decimal number where the engine reads an integer: it keeps the integer part"),
             Severity::Warning);
        next();
    } else if (is(Decimal) || is(Integer)) {
        applyToken(SyntaxDefinition::Number);
        next();
    } else {
        read = expect(Integer, SyntaxDefinition::Number);
    }
    // The engine's number reader stops at the first character that is no
    // part of a number.
    if (is(Comma) || is(EndOfLine))
        return;
    const int start = tok.start;
    int end = tok.end;
    while (!is(Comma) && !is(EndOfLine)) {
        end = tok.end;
        next();
    }
    if (read)
        warn(start, end, tr("Text after the value: the engine ignores it"));
}

// Up to `count` expressions (any number when 0) separated by commas. An
// empty value keeps the default.
void QMugenHighlighter::expressions(int count)
{
    if (is(EndOfLine))
        return;
    parseExpression();
    for (int i = 1; count == 0 || i < count; ++i) {
        if (!is(Comma))
            return;
        next();
        if (is(EndOfLine))
            return; // an empty part keeps its default
        parseExpression();
    }
    extraValues();
}

void QMugenHighlighter::extraValues()
{
    if (is(Comma))
        markRest(tr("Text after the value: the engine ignores it"), Severity::Warning);
}

void QMugenHighlighter::checkValue(const ParamDef& def)
{
    const bool prefixed = def.type == ValueType::StrExp || def.type == ValueType::StrExp2 || def.type == ValueType::ExpStr;
    if (prefixed)
        identDigits = false;
    expect(Equal);
    identDigits = true;

    // A letter glued to a number: F (the common files) or S (the player's own).
    auto prefix = [&] {
        if (is(Identifier) && def.matches(lowerText())) {
            applyToken(SyntaxDefinition::Value);
            next();
        }
    };

    switch (def.type) {
    case ValueType::Int: numbers(1, 1); break;
    case ValueType::Int2: numbers(2, 2); break;
    case ValueType::Int3: numbers(3, 3); break;
    case ValueType::IntFloat3: numbers(4, 1); break;
    case ValueType::Float: numbers(1, 0); break;
    case ValueType::Float2:
    case ValueType::Float2Opt: numbers(2, 0); break;
    case ValueType::Float3: numbers(3, 0); break;
    case ValueType::Exp: expressions(1); break;
    case ValueType::Exp2:
    case ValueType::Exp2Opt: expressions(2); break;
    case ValueType::Exp3: expressions(3); break;
    case ValueType::Exp4: expressions(4); break;
    case ValueType::ExpN: expressions(0); break;
    case ValueType::String:
        expect(StringToken, SyntaxDefinition::String);
        break;
    case ValueType::StrExp:
        prefix();
        expressions(1);
        break;
    case ValueType::StrExp2:
        prefix();
        expressions(2);
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
        if (is(EndOfLine))
            break;
        const int start = tok.start;
        int end = tok.end;
        int firstPartEnd = -1; // where the text before the first comma ends
        QString joined, firstPart;
        for (; !is(EndOfLine); next()) {
            if (is(Comma) && firstPartEnd < 0) {
                firstPartEnd = end;
                firstPart = joined;
            }
            joined += lowerText();
            end = tok.end;
        }
        if (def.matches(joined)) {
            apply(start, end, SyntaxDefinition::Value);
        } else if (def.matchesLoosely(joined)) {
            apply(start, end, SyntaxDefinition::Value);
            warn(start, end, tr("The engine ignores the letters that do not fit this value"));
        } else if (firstPartEnd >= 0 && def.matches(firstPart)) {
            apply(start, firstPartEnd, SyntaxDefinition::Value);
            warn(firstPartEnd, end, tr("Text after the value: the engine ignores it"));
        } else {
            mark(start, end, tr("Invalid 'State' parameter value"));
        }
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
    // The outline and navigation read the section, not the checker's flags.
    const int state = section(currentBlockState());
    auto* old = static_cast<CodeLineInfo*>(currentBlockUserData());
    if (old && old->kind == kind && old->state == state && old->text == words)
        return;
    setCurrentBlockUserData(new CodeLineInfo(kind, words.toString(), state));
    ++outlineRev;
}

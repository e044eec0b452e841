#ifndef QMUGENHIGHLIGHTER_H
#define QMUGENHIGHLIGHTER_H

#include "syntaxdefinition.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QSyntaxHighlighter>

class QTextBlock;
class QTextDocument;

// One problem the checker marked on a line: its span in the line's text
// (blanks before the offending word included) and its message.
struct CodeMark
{
    int line = 0;   // block number, from 0
    int start = 0;  // position in the line
    int length = 0;
    QString message;
    Severity severity = Severity::Error;
};

// Colours and checks the engine's code files (DEF, CMD, CNS, ST, and the
// animation blocks inside DEFs) line by line, the way the engine reads them:
// what it rejects or misreads is an error, what it ignores (or reads by
// accident) a warning. Each line is read once, left to right, with one token of
// lookahead; what is carried from line to line is the block state, which names
// the section (and the controller) the line belongs to and a few facts about
// the file. Only the first section header of a file looks further, to tell the
// engine's motif files from a character's or a stage's.
class QMugenHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Block states: which section a line is in (the low 20 bits; see section()).
    enum BlockState {
        NoSection = 0,
        Remap = 1,
        Defaults,
        Command,
        Statedef,
        Data,
        Size,
        Velocity,
        Movement,
        Quotes,
        BeginAction = 10,
        Info,
        Files,
        PaletteKeymap,
        Arcade,
        StateBeforeType = 15,
        Camera,
        PlayerInfo,
        Bound,
        StageInfo,
        Shadow,
        Reflection,
        Music,
        BGDef = 23,
        BGBeforeType = 24,
        FntV2 = 25,
        DefBeforeType = 26,
        UnknownController = 27,
        FirstStateController = 28,   // 28 + i: after type = the i-th state controller
        FirstBgController = 240,     // 240 + i: after type = the i-th background controller
        FirstFontDefinition = 250,   // 250 + i: after type = the i-th font definition
        // A section whose lines are coloured but not checked: one the engine
        // reads but whose keys the syntax definition does not describe
        // (motif screens, storyboard scenes, background controllers), or one
        // it ignores.
        FreeSection = 1000,
        UnknownBgType = 1001,   // a [BG] block whose type names no element type
        UnknownFontType = 1002, // a font's [Def] whose type names no font type
        // Controllers beyond the ranges above: FirstExtended + 4 * i + kind.
        FirstExtended = 1024
    };
    // Facts about the file carried above the section in the block state.
    enum BlockFlag {
        SectionMask = (1 << 20) - 1,
        MotifFile = 1 << 20,    // one of the engine's motif files or a storyboard
        InStates = 1 << 21,     // after a [Statedef]: unknown headers start controllers
        StatedefType = 1 << 22, // the current [Statedef] has had its type line
    };
    static int section(int blockState) { return blockState < 0 ? blockState : blockState & SectionMask; }

    QMugenHighlighter(QTextDocument* document, const SyntaxDefinition* syntax);

    // The block state of the i-th controller of a kind, and back. A state that
    // names no controller gives -1.
    static int controllerState(SyntaxDefinition::ControllerKind kind, int index);
    static int controllerIndex(int state, SyntaxDefinition::ControllerKind* kind);

    // The marks of one line or of a whole document, as the highlighter left
    // them in the text layout.
    static QList<CodeMark> marks(const QTextBlock& block);
    static QList<CodeMark> marks(const QTextDocument* document);

    // Counts the changes of the lines' outline notes (see CodeLineInfo): while
    // it stands still and no line comes or goes, an outline stays the same.
    quint64 outlineRevision() const { return outlineRev; }

protected:
    void highlightBlock(const QString& text) override;

public:
    enum TokenType {
        EndOfLine = 0, Other, Identifier, Integer, Decimal, StringToken, Plus, Minus, Star, Slash,
        Percent, Power, LogicalAnd, LogicalOr, LogicalXor, BitOr, BitAnd, BitXor, Equal, Less,
        Greater, LessEqual, GreaterEqual, Not, NotEqual, Semicolon, Comma, OpenParen, CloseParen,
        OpenBrace, CloseBrace, OpenBracket, CloseBracket, Colon, Tilde, Dollar
    };

private:
    struct Token
    {
        TokenType type = EndOfLine;
        int start = 0; // where reading began: blanks before the token belong to it
        int end = 0;
        QString text;
    };
    struct TokenizerState
    {
        int pos;
        bool eol;
        Token tok;
    };

    // Tokenizer
    void next();
    bool is(TokenType t) const { return tok.type == t; }
    QString lowerText() const { return tok.text.toLower(); }
    bool isWord(const char* lowerWord) const;
    TokenizerState save() const { return {pos, eol, tok}; }
    void restore(const TokenizerState& s);

    // Marking
    void apply(int start, int end, SyntaxDefinition::Format f);
    void applyToken(SyntaxDefinition::Format f) { apply(tok.start, tok.end, f); }
    void mark(int start, int end, const QString& message, Severity severity = Severity::Error);
    void warn(int start, int end, const QString& message) { mark(start, end, message, Severity::Warning); }
    void flag(const QString& message, Severity severity = Severity::Error);
    bool expect(TokenType t);
    bool expect(TokenType t, SyntaxDefinition::Format f);
    bool expectNumber();
    void skipRest();
    // Marks whatever is left of the line, from the current token on.
    void markRest(const QString& message, Severity severity);
    void endCheck();

    // Lines
    struct Header;
    Header readHeader(QStringView inner, int flags) const;
    bool motifAhead() const;
    void sectionHeader(int previous);
    void controllerTypeLine(int previous);
    void controllerBlockLine(int previous);
    void controllerParameter(int previous);
    void sectionLine(int previous);
    void freeLine();
    void remapLine();
    void defaultsLine();
    void commandLine();
    void statedefLine(int previous);
    void quotesLine();
    void infoLine();
    void paletteKeymapLine();
    void actionLine();
    void sectionMapLine(SyntaxDefinition::Section section, const QString& message);
    void wordValue(const char* const* allowed, const QString& message);
    void textValue();
    bool hasEqualSign() const;

    // Expressions and values
    void parseExpression();
    void expression();
    void bitwise();
    void assignment();
    void equality();
    void relational();
    void additive();
    void multiplicative();
    void power();
    void primary();
    void triggerOperands(const QString& format);
    void valueList(const QString& format);
    bool relop();
    bool optionalRelop();
    void signedInteger();
    void checkValue(const ParamDef& def);
    void numbers(int count, int integers);
    void numberPart(bool integer);
    void expressions(int count);
    void extraValues();

    // Outline: notes on the current line what a document's outline needs
    // (see CodeLineInfo), or drops a note the line no longer deserves.
    void noteOutlineLine(const QString& text, int previous);
    quint64 outlineRev = 0;

    const SyntaxDefinition* syntax;
    QStringView line;
    int pos = 0;
    bool eol = false;
    Token tok;
    bool minusIsOperator = false;
    bool identDigits = true;
    int depth = 0; // nesting of the expression being read
    int lineState = 0;
    int lineFlags = 0;
};

#endif

#include "qanimations.h"

#include "maker.h"
#include "qmessages.h"
#include "savefile.h"
#include "textdecode.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <climits>

AirAction::~AirAction()
{
    qDeleteAll(frames);
}

namespace {

// ---------------------------------------------------------------------------
// Tokens of the AIR text. Line ends carry no meaning; ';' starts a comment that
// runs to the end of the line and becomes the "remembered comment" that names
// the next action.

enum class Tok { End, Identifier, Integer, Real, Char, Operator, String, Other };

struct Token
{
    Tok kind = Tok::End;
    QStringView text;
    int line = 1;
    qint64 value = 0; // integers only, saturated far outside the int range
};

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isOperatorChar(QChar c)
{
    switch (c.unicode()) {
    case '<': case '>': case '!': case '|': case '&': case '^': case '*': case '=':
        return true;
    default:
        return false;
    }
}

bool isSingleChar(QChar c)
{
    switch (c.unicode()) {
    case ',': case ':': case '=': case '[': case ']': case '(': case ')': case '{': case '}':
    case '+': case '/': case '%': case '$': case '~':
        return true;
    default:
        return false;
    }
}

class AirTokenizer
{
public:
    explicit AirTokenizer(QStringView text) : p(text.data()), end(text.data() + text.size()) {}

    // The text of the last comment read so far.
    const QString& comment() const { return lastComment; }

    Token next()
    {
        for (;;) {
            while (p < end) {
                const char16_t c = p->unicode();
                if (c == '\n')
                    ++line;
                else if (c != ' ' && c != '\t' && c != '\r')
                    break;
                ++p;
            }
            if (p < end && p->unicode() == ';') {
                ++p;
                while (p < end && (p->unicode() == ' ' || p->unicode() == '\t'))
                    ++p;
                const QChar* start = p;
                while (p < end && p->unicode() != '\n' && p->unicode() != '\r')
                    ++p;
                lastComment = QString(start, p - start);
                continue;
            }
            break;
        }
        Token t;
        t.line = line;
        if (p >= end) {
            t.kind = Tok::End;
            t.text = QStringView();
            return t;
        }
        const QChar* start = p;
        const QChar c = *p;
        if (c.isLetter()) {
            ++p;
            while (p < end && (p->isLetter() || p->isDigit() || p->unicode() == '.' || p->unicode() == '_'))
                ++p;
            t.kind = Tok::Identifier;
        } else if (isAsciiDigit(c) || (c.unicode() == '-' && p + 1 < end && isAsciiDigit(p[1]))
                   || (c.unicode() == '.' && p + 1 < end && isAsciiDigit(p[1]))) {
            bool negative = c.unicode() == '-';
            if (negative)
                ++p;
            bool real = false;
            qint64 v = 0;
            while (p < end && (isAsciiDigit(*p) || p->unicode() == '.')) {
                if (p->unicode() == '.')
                    real = true;
                else if (v < (qint64(1) << 40))
                    v = v * 10 + (p->unicode() - '0');
                ++p;
            }
            t.kind = real ? Tok::Real : Tok::Integer;
            t.value = negative ? -v : v;
        } else if (isOperatorChar(c)) {
            while (p < end && isOperatorChar(*p))
                ++p;
            t.kind = (p - start == 1 && c.unicode() == '=') ? Tok::Char : Tok::Operator;
        } else if (isSingleChar(c)) {
            ++p;
            t.kind = Tok::Char;
        } else if (c.unicode() == '"') {
            ++p;
            while (p < end && p->unicode() != '"' && p->unicode() != '\n')
                ++p;
            if (p < end && p->unicode() == '"')
                ++p;
            t.kind = Tok::String;
        } else {
            ++p;
            t.kind = Tok::Other;
        }
        t.text = QStringView(start, p - start);
        return t;
    }

private:
    const QChar* p;
    const QChar* end;
    int line = 1;
    QString lastComment;
};

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

bool sameWord(QStringView text, QLatin1StringView word)
{
    return text.compare(word, Qt::CaseInsensitive) == 0;
}

// An identifier that belongs to the next frame rather than to an optional
// field of this one.
bool startsNextFrame(QStringView text)
{
    return text.contains(QLatin1StringView("clsn1"), Qt::CaseInsensitive)
        || text.contains(QLatin1StringView("clsn2"), Qt::CaseInsensitive)
        || text.contains(QLatin1StringView("loopstart"), Qt::CaseInsensitive);
}

// "AS<src>D<dst>" with one to three digits each, any case.
bool parseAlphaPair(QStringView text, quint16& src, quint16& dst)
{
    if (text.size() < 5 || !sameWord(text.first(2), QLatin1StringView("as")))
        return false;
    qsizetype i = 2;
    auto digits = [&](quint16& out) {
        const qsizetype from = i;
        int v = 0;
        while (i < text.size() && isAsciiDigit(text[i]) && i - from < 3)
            v = v * 10 + (text[i++].unicode() - '0');
        out = quint16(v);
        return i > from;
    };
    quint16 s = 0, d = 0;
    if (!digits(s) || i >= text.size() || (text[i].unicode() != 'd' && text[i].unicode() != 'D'))
        return false;
    ++i;
    if (!digits(d) || i != text.size())
        return false;
    src = s;
    dst = d;
    return true;
}

class AirParser
{
public:
    AirParser(QStringView text, QMessages* messages, const QString& fileName)
        : tokens(text), messages(messages), fileName(fileName)
    {
        cur = tokens.next();
    }

    void parseFile(QList<AirAction*>& actions)
    {
        while (cur.kind != Tok::End)
            actions.append(parseAction());
    }

private:
    AirTokenizer tokens;
    QMessages* messages;
    const QString& fileName;
    Token cur;
    bool reportedEnd = false;

    bool atEnd() const { return cur.kind == Tok::End; }
    bool isChar(char c) const
    {
        return cur.kind == Tok::Char && cur.text.size() == 1 && cur.text[0].unicode() == c;
    }
    bool isWord(const char* word) const
    {
        return cur.kind == Tok::Identifier && sameWord(cur.text, QLatin1StringView(word));
    }
    void advance()
    {
        if (!atEnd())
            cur = tokens.next();
    }

    QString line() const { return QString::number(cur.line); }

    void unexpected()
    {
        // Past the end every missing token would say the same thing.
        if (atEnd()) {
            if (reportedEnd)
                return;
            reportedEnd = true;
        }
        if (messages)
            messages->addError(
                QAnimations::tr("%1(%2): Unexpected token '%3'").arg(fileName, line(), cur.text.toString()));
    }
    void warn(const QString& pattern)
    {
        if (messages)
            messages->addWarning(pattern.arg(fileName, line(), cur.text.toString()));
    }

    // Each expectation moves past the token whether it matched or not, so a
    // broken text always makes progress.
    void expectChar(char c)
    {
        if (!isChar(c))
            unexpected();
        advance();
    }
    void expectWord(const char* word)
    {
        if (!isWord(word))
            unexpected();
        advance();
    }
    void expectInt(int& field)
    {
        if (cur.kind == Tok::Integer)
            field = clampToInt(cur.value);
        else
            unexpected();
        advance();
    }

    AirAction* parseAction()
    {
        auto* action = new AirAction;
        // The name is the last comment read before the header.
        action->name = tokens.comment();
        expectChar('[');
        expectWord("begin");
        expectWord("action");
        expectInt(action->number);
        expectChar(']');
        while (!atEnd() && !isChar('['))
            parseFrame(action);
        return action;
    }

    void parseBoxBlock(AirAction* action, AirFrame& frame, int type, bool isDefault)
    {
        advance(); // the block keyword
        int count = 0;
        expectChar(':');
        expectInt(count);
        int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
        for (int i = 0; i < count && !atEnd(); ++i) {
            int index = 0;
            // The block's header decides the type; the engine reads a box line
            // labelled with the other type into the block all the same (its own
            // sample character has "Clsn1: 1" followed by "Clsn2[0] = ...").
            if (!isWord("clsn1") && !isWord("clsn2"))
                unexpected();
            advance();
            expectChar('[');
            expectInt(index);
            expectChar(']');
            expectChar('=');
            expectInt(x1);
            expectChar(',');
            expectInt(y1);
            expectChar(',');
            expectInt(x2);
            expectChar(',');
            expectInt(y2);
            const ClsnRect r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
            if (isDefault) {
                QList<ClsnDefaultBox>& list = type == 0 ? action->clsn1Default : action->clsn2Default;
                list.append({r.x1, r.y1, r.x2, r.y2, int(action->frames.size())});
            } else {
                (type == 0 ? frame.clsn1 : frame.clsn2).append(r);
            }
        }
    }

    // An optional flip or transparency field is empty when what follows
    // belongs to the next frame: a box block or Loopstart, the end of the
    // text, or a frame line or action header on a later line than the comma.
    bool fieldLeftForNext(int commaLine) const
    {
        if (atEnd())
            return true;
        if (cur.kind == Tok::Identifier)
            return startsNextFrame(cur.text);
        return cur.line > commaLine && (cur.kind == Tok::Integer || isChar('['));
    }

    void parseFlip(AirFrame& frame)
    {
        if (cur.kind != Tok::Identifier) {
            unexpected();
        } else if (sameWord(cur.text, QLatin1StringView("h"))) {
            frame.flip = 2;
        } else if (sameWord(cur.text, QLatin1StringView("v"))) {
            frame.flip = 1;
        } else if (sameWord(cur.text, QLatin1StringView("vh")) || sameWord(cur.text, QLatin1StringView("hv"))) {
            frame.flip = 3;
        } else {
            warn(QAnimations::tr("%1(%2): Invalid flip type '%3'"));
        }
        advance();
    }

    void parseTransparency(AirFrame& frame)
    {
        quint16 src = 0, dst = 0;
        if (cur.kind != Tok::Identifier) {
            unexpected();
        } else if (sameWord(cur.text, QLatin1StringView("a"))) {
            frame.transparency = 1;
            frame.srcAlpha = 256;
            frame.dstAlpha = 256;
        } else if (sameWord(cur.text, QLatin1StringView("a1"))) {
            frame.transparency = 1;
            frame.srcAlpha = 128;
            frame.dstAlpha = 256;
        } else if (sameWord(cur.text, QLatin1StringView("s"))) {
            frame.transparency = 2;
        } else if (parseAlphaPair(cur.text, src, dst)) {
            frame.transparency = 1;
            frame.srcAlpha = src;
            frame.dstAlpha = dst;
        } else {
            warn(QAnimations::tr("%1(%2): Invalid transparency '%3'"));
        }
        advance();
    }

    void parseFrame(AirAction* action)
    {
        AirFrame frame;
        while (cur.kind == Tok::Identifier) {
            if (isWord("loopstart")) {
                frame.loopStart = true;
                advance();
            } else if (isWord("clsn1default")) {
                parseBoxBlock(action, frame, 0, true);
            } else if (isWord("clsn2default")) {
                parseBoxBlock(action, frame, 1, true);
            } else if (isWord("clsn1")) {
                parseBoxBlock(action, frame, 0, false);
            } else if (isWord("clsn2")) {
                parseBoxBlock(action, frame, 1, false);
            } else {
                warn(QAnimations::tr("%1(%2): Unknown identifier '%3'"));
                advance();
            }
        }
        // Box blocks or a Loopstart with no frame line after them (at the end
        // of an action) make no frame; their default boxes stay with the
        // action, and the next header is not taken apart as a frame line.
        if (atEnd() || isChar('['))
            return;

        expectInt(frame.group);
        expectChar(',');
        expectInt(frame.number);
        expectChar(',');
        expectInt(frame.x);
        expectChar(',');
        expectInt(frame.y);
        expectChar(',');
        expectInt(frame.time);
        if (isChar(',')) {
            int commaLine = cur.line;
            advance();
            bool transparencyFollows = true;
            if (!isChar(',')) {
                // A comma in place of the flip means an empty flip field and
                // doubles as the comma before the transparency.
                if (fieldLeftForNext(commaLine)) {
                    transparencyFollows = false;
                } else {
                    parseFlip(frame);
                    transparencyFollows = isChar(',');
                }
            }
            if (transparencyFollows) {
                commaLine = cur.line;
                advance();
                if (!fieldLeftForNext(commaLine))
                    parseTransparency(frame);
            }
        }
        action->frames.append(new AirFrame(std::move(frame)));
    }
};

// ---------------------------------------------------------------------------
// Writing

#ifdef Q_OS_WIN
const QLatin1StringView lineEnd("\r\n");
#else
const QLatin1StringView lineEnd("\n");
#endif

const QLatin1StringView makerAddress(MakerWebAddress);

// The writer appends in place: a character's AIR has tens of thousands of
// numbers, and a temporary string per number would dominate the time.
class AirWriter
{
public:
    explicit AirWriter(QString& out) : out(out) {}

    AirWriter& operator<<(QLatin1StringView s)
    {
        out.append(s);
        return *this;
    }
    AirWriter& operator<<(const char* s) { return *this << QLatin1StringView(s); }
    AirWriter& operator<<(const QString& s)
    {
        out.append(s);
        return *this;
    }
    AirWriter& operator<<(char c)
    {
        out.append(QLatin1Char(c));
        return *this;
    }
    AirWriter& operator<<(qint64 v)
    {
        char buf[24];
        char* p = buf + sizeof buf;
        quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (v < 0)
            *--p = '-';
        out.append(QLatin1StringView(p, buf + sizeof buf - p));
        return *this;
    }
    AirWriter& operator<<(int v) { return *this << qint64(v); }

    void boxBlock(const char* type, const char* suffix, const QList<ClsnRect>& boxes)
    {
        if (boxes.isEmpty())
            return;
        *this << type << suffix << qint64(boxes.size()) << lineEnd;
        int k = 0;
        for (const ClsnRect& r : boxes)
            *this << "  " << type << '[' << k++ << "] = " << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2
                  << lineEnd;
    }

    void frameLine(const AirFrame& f)
    {
        *this << f.group << ',' << f.number << ", " << f.x << ',' << f.y << ", " << f.time;
        const bool hasTransparency = f.transparency == 1 || f.transparency == 2;
        switch (f.flip) {
        case 1: *this << ", V"; break;
        case 2: *this << ", H"; break;
        case 3: *this << ", VH"; break;
        default:
            if (hasTransparency)
                *this << ", ";
            break;
        }
        if (f.transparency == 1) {
            if (f.srcAlpha == 256 && f.dstAlpha == 256)
                *this << ", A";
            else if (f.srcAlpha == 128 && f.dstAlpha == 256)
                *this << ", A1";
            else
                *this << ", AS" << int(f.srcAlpha) << 'D' << int(f.dstAlpha);
        } else if (f.transparency == 2) {
            *this << ", S";
        }
        *this << lineEnd;
    }

    void action(const AirAction& a)
    {
        *this << "; " << a.name << lineEnd;
        *this << "[Begin Action " << a.number << ']' << lineEnd;
        const int n = int(a.frames.size());
        for (int j = 0; j < n; ++j) {
            const AirFrame& f = *a.frames.at(j);
            defaults("Clsn1", a.clsn1Default, j, n);
            defaults("Clsn2", a.clsn2Default, j, n);
            boxBlock("Clsn1", ": ", f.clsn1);
            boxBlock("Clsn2", ": ", f.clsn2);
            if (f.loopStart)
                *this << "Loopstart" << lineEnd;
            frameLine(f);
        }
        // Defaults behind the last frame apply to nothing, but they are the
        // user's; keep them where they stood.
        defaults("Clsn1", a.clsn1Default, -1, n);
        defaults("Clsn2", a.clsn2Default, -1, n);
    }

private:
    QString& out;

    // The defaults of one type that stand in front of frame j (or, for j = -1,
    // those left behind the last frame).
    void defaults(const char* type, const QList<ClsnDefaultBox>& list, int j, int frameCount)
    {
        QList<ClsnRect> boxes;
        for (const ClsnDefaultBox& d : list) {
            const int at = std::max(d.fromFrame, 0);
            if (j >= 0 ? at == j : at >= frameCount)
                boxes.append({d.x1, d.y1, d.x2, d.y2});
        }
        boxBlock(type, "Default: ", boxes);
    }
};

} // namespace

// ---------------------------------------------------------------------------

QAnimations::QAnimations(QMessages* messages) : messages(messages) {}

QAnimations::~QAnimations()
{
    undoStack()->clear();
    qDeleteAll(actions);
}

bool QAnimations::load(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        setErrorString(file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setErrorString(file.errorString());
        return false;
    }
    const QFileInfo info(filePath);
    setFileName(info.absoluteFilePath());
    parse(bytes, info.fileName());
    markFresh();
    emit documentReset();
    return true;
}

void QAnimations::parse(const QByteArray& bytes, const QString& name)
{
    const QString text = decodeText(bytes);
    AirParser parser(text, messages, name);
    const int before = int(actions.size());
    parser.parseFile(actions);
    if (actions.size() > before)
        emit actionsInserted(before, int(actions.size()) - before);
}

bool QAnimations::save(const QString& filePath)
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        setErrorString(file.errorString());
        return false;
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size()) {
        setErrorString(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!commitSaveFile(file)) {
        setErrorString(file.errorString());
        return false;
    }
    setFileName(QFileInfo(filePath).absoluteFilePath());
    markSaved();
    return true;
}

bool QAnimations::save()
{
    if (fileName().isEmpty() || !QFileInfo::exists(fileName()))
        return false;
    return save(fileName());
}

void QAnimations::clear()
{
    markFresh();
    qDeleteAll(actions);
    actions.clear();
    setFileName(QString());
    emit documentReset();
}

QString QAnimations::fileNameOnly() const
{
    return QFileInfo(fileName()).fileName();
}

QString QAnimations::text() const
{
    const QString stars = QString(74, QLatin1Char('*'));
    const QString side = QString(22, QLatin1Char('*'));
    QString out;
    out.reserve(64 * 1024);
    AirWriter w(out);
    w << ';' << stars << ';' << lineEnd;
    w << ';' << side << "    Created in Morvane 9    " << side << ';' << lineEnd;
    w << ';' << side << "  " << makerAddress << "  " << side << ';' << lineEnd;
    w << ';' << stars << ';' << lineEnd;
    for (const AirAction* a : actions) {
        w.action(*a);
        w << lineEnd;
    }
    return out;
}

QByteArray QAnimations::toBytes() const
{
    return encodeTextUtf8Bom(text());
}

QString QAnimations::actionText(int index) const
{
    const AirAction* a = action(index);
    if (!a)
        return QString();
    QString out;
    AirWriter(out).action(*a);
    return out;
}

int QAnimations::actionCount() const
{
    return int(actions.size());
}

AirAction* QAnimations::editableAction(int index) const
{
    return index >= 0 && index < actions.size() ? actions.at(index) : nullptr;
}

const AirAction* QAnimations::action(int index) const
{
    return editableAction(index);
}

AirActionInfo QAnimations::actionInfo(int index) const
{
    const AirAction* a = action(index);
    return a ? AirActionInfo{a->name, a->number} : AirActionInfo{};
}

void QAnimations::setActionInfo(int index, const QString& name, int number)
{
    if (AirAction* a = editableAction(index)) {
        a->name = name;
        a->number = number;
        emit actionChanged(index);
    }
}

void QAnimations::insertAction(int index)
{
    auto* a = new AirAction;
    a->number = int(actions.size());
    a->frames.append(new AirFrame);
    if (index < 0 || index >= actions.size())
        index = int(actions.size());
    actions.insert(index, a);
    emit actionsInserted(index, 1);
}

void QAnimations::deleteAction(int index)
{
    if (AirAction* a = editableAction(index)) {
        actions.removeAt(index);
        delete a;
        emit actionsRemoved(index, 1);
    }
}

int QAnimations::frameCount(int actionIndex) const
{
    const AirAction* a = action(actionIndex);
    return a ? int(a->frames.size()) : 0;
}

const AirFrame* QAnimations::frame(int actionIndex, int index) const
{
    const AirAction* a = action(actionIndex);
    return a && index >= 0 && index < a->frames.size() ? a->frames.at(index) : nullptr;
}

void QAnimations::appendFrame(int actionIndex)
{
    insertFrame(actionIndex, INT_MAX);
}

void QAnimations::insertFrame(int actionIndex, int at)
{
    AirAction* a = editableAction(actionIndex);
    if (!a)
        return;
    if (at < 0 || at > a->frames.size())
        at = int(a->frames.size());
    a->frames.insert(at, new AirFrame);
    // Default blocks stay in front of the frames they stood before.
    for (QList<ClsnDefaultBox>* list : {&a->clsn1Default, &a->clsn2Default})
        for (ClsnDefaultBox& d : *list)
            if (d.fromFrame >= at && at < a->frames.size() - 1)
                ++d.fromFrame;
    emit framesInserted(actionIndex, at, 1);
}

void QAnimations::deleteFrame(int actionIndex, int index)
{
    AirAction* a = editableAction(actionIndex);
    if (!a || index < 0 || index >= a->frames.size())
        return;
    delete a->frames.takeAt(index);
    // A block in front of the deleted frame now stands before the next one.
    for (QList<ClsnDefaultBox>* list : {&a->clsn1Default, &a->clsn2Default})
        for (ClsnDefaultBox& d : *list)
            if (d.fromFrame > index)
                --d.fromFrame;
    emit framesRemoved(actionIndex, index, 1);
}

void QAnimations::setFrame(int actionIndex, int index, const AirFrame& f)
{
    AirAction* a = editableAction(actionIndex);
    if (!a || index < 0 || index >= a->frames.size())
        return;
    *a->frames[index] = f;
    emit frameChanged(actionIndex, index);
}

const QList<ClsnDefaultBox>* QAnimations::defaultList(int actionIndex, int type) const
{
    const AirAction* a = action(actionIndex);
    if (!a || (type != 0 && type != 1))
        return nullptr;
    return type == 0 ? &a->clsn1Default : &a->clsn2Default;
}

FrameBoxes QAnimations::frameBoxes(int actionIndex, int index) const
{
    FrameBoxes b;
    const AirAction* a = action(actionIndex);
    if (!a)
        return b;
    b.clsn1Default = a->clsn1Default;
    b.clsn2Default = a->clsn2Default;
    if (const AirFrame* f = frame(actionIndex, index)) {
        b.clsn1 = f->clsn1;
        b.clsn2 = f->clsn2;
    }
    return b;
}

void QAnimations::setFrameBoxes(int actionIndex, int index, const FrameBoxes& boxes)
{
    AirAction* a = editableAction(actionIndex);
    if (!a)
        return;
    const bool defaults = a->clsn1Default != boxes.clsn1Default || a->clsn2Default != boxes.clsn2Default;
    a->clsn1Default = boxes.clsn1Default;
    a->clsn2Default = boxes.clsn2Default;
    if (index >= 0 && index < a->frames.size()) {
        a->frames[index]->clsn1 = boxes.clsn1;
        a->frames[index]->clsn2 = boxes.clsn2;
        emit frameChanged(actionIndex, index);
    }
    if (defaults)
        emit actionChanged(actionIndex);
}

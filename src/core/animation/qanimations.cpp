#include "qanimations.h"

#include "fileread.h"
#include "maker.h"
#include "qmessages.h"
#include "savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStringDecoder>

#include <algorithm>
#include <climits>
#include <functional>

AirAction::~AirAction()
{
    qDeleteAll(frames);
}

AirAction* AirAction::clone() const
{
    auto* a = new AirAction;
    a->name = name;
    a->number = number;
    for (const AirFrame* f : frames)
        a->frames.append(new AirFrame(*f));
    a->clsn1Default = clsn1Default;
    a->clsn2Default = clsn2Default;
    a->otherLines = otherLines;
    return a;
}

namespace {

// ---------------------------------------------------------------------------
// Reading, line by line as the engine reads: each line is a section header, a
// box block header, a box, Loopstart, a frame line, or something the editor
// keeps without showing. ';' starts a comment that runs to the end of the
// line; the last comment read names the next action.

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

bool sameWord(QStringView text, QLatin1StringView word)
{
    return text.compare(word, Qt::CaseInsensitive) == 0;
}

bool startsWithWord(QStringView text, QLatin1StringView word)
{
    return text.startsWith(word, Qt::CaseInsensitive);
}

// The integer a field starts with (blanks before it allowed), as the engine's
// number reader takes it; `rest` is what follows it. False when the field
// does not start with one.
bool leadingInt(QStringView field, qint64& value, QStringView* rest = nullptr)
{
    qsizetype i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+'))
        negative = field[i++] == u'-';
    const qsizetype digitsFrom = i;
    qint64 v = 0;
    while (i < field.size() && isAsciiDigit(field[i])) {
        if (v < (qint64(1) << 40))
            v = v * 10 + (field[i].unicode() - '0');
        ++i;
    }
    if (i == digitsFrom)
        return false;
    value = negative ? -v : v;
    if (rest)
        *rest = field.mid(i);
    return true;
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

// What the fields after a frame's time say. Problems go to `warn` as the
// pattern of their message and the text they are about.
struct FrameTail
{
    quint8 flip = 0;
    quint8 transparency = 0;
    quint16 srcAlpha = 0;
    quint16 dstAlpha = 0;
    double scaleX = 1;
    double scaleY = 1;
    double angle = 0;
};

using Warn = std::function<void(const QString& pattern, QStringView text)>;

FrameTail readTail(QStringView tail, const Warn& warn)
{
    FrameTail t;
    // Text glued to the time, before any comma, is what the engine stops
    // reading at.
    const qsizetype comma = tail.indexOf(u',');
    const QStringView glued = comma < 0 ? tail : tail.first(comma);
    if (!glued.trimmed().isEmpty() && warn)
        warn(QAnimations::tr("%1(%2): Text after the time is ignored: '%3'"), glued.trimmed());
    if (comma < 0)
        return t;
    const QList<QStringView> fields = tail.mid(comma + 1).split(u',');
    for (qsizetype k = 0; k < fields.size(); ++k) {
        const QStringView f = fields[k].trimmed();
        switch (k) {
        case 0:
            if (f.isEmpty())
                break;
            if (sameWord(f, QLatin1StringView("h")))
                t.flip = 2;
            else if (sameWord(f, QLatin1StringView("v")))
                t.flip = 1;
            else if (sameWord(f, QLatin1StringView("vh")) || sameWord(f, QLatin1StringView("hv")))
                t.flip = 3;
            else if (warn)
                warn(QAnimations::tr("%1(%2): Invalid flip type '%3'"), f);
            break;
        case 1: {
            if (f.isEmpty())
                break;
            quint16 src = 0, dst = 0;
            if (parseAlphaPair(f, src, dst)) {
                t.transparency = 1;
                t.srcAlpha = src;
                t.dstAlpha = dst;
            } else if (sameWord(f, QLatin1StringView("a1"))) {
                t.transparency = 1;
                t.srcAlpha = 128;
                t.dstAlpha = 256;
            } else if (f.front() == u'a' || f.front() == u'A') {
                // "A", "Add": the engine reads the word by its first letter.
                t.transparency = 1;
                t.srcAlpha = 256;
                t.dstAlpha = 256;
            } else if (f.front() == u's' || f.front() == u'S') {
                t.transparency = 2;
            } else if (warn) {
                warn(QAnimations::tr("%1(%2): Invalid transparency '%3'"), f);
            }
            break;
        }
        case 2:
        case 3:
        case 4: {
            if (f.isEmpty())
                break;
            bool ok = false;
            const double v = f.toDouble(&ok);
            if (ok)
                (k == 2 ? t.scaleX : k == 3 ? t.scaleY : t.angle) = v;
            else if (warn)
                warn(QAnimations::tr("%1(%2): Invalid number '%3'"), f);
            break;
        }
        default:
            if (!f.isEmpty() && warn)
                warn(QAnimations::tr("%1(%2): Text after the frame's fields is ignored: '%3'"), f);
            break;
        }
    }
    return t;
}

bool tailSays(const AirFrame& f, const FrameTail& t)
{
    return f.flip == t.flip && f.transparency == t.transparency && f.scaleX == t.scaleX && f.scaleY == t.scaleY
           && f.angle == t.angle
           && (f.transparency != 1 || (f.srcAlpha == t.srcAlpha && f.dstAlpha == t.dstAlpha));
}

class AirReader
{
public:
    AirReader(QMessages* messages, const QString& fileName) : messages(messages), fileName(fileName) {}

    void read(QStringView text, QList<AirAction*>& actions)
    {
        qsizetype from = 0;
        while (from <= text.size()) {
            qsizetype to = text.indexOf(u'\n', from);
            if (to < 0)
                to = text.size();
            QStringView line = text.sliced(from, to - from);
            if (line.endsWith(u'\r'))
                line.chop(1);
            readLine(line, actions);
            ++lineNumber;
            from = to + 1;
        }
        finishAction();
    }

private:
    QMessages* messages;
    const QString& fileName;
    int lineNumber = 1;
    QString comment;
    AirAction* action = nullptr;
    int actionIndex = -1;
    // What has been read for the frame still to come.
    AirFrame pending;
    bool pendingUsed = false;
    // The box block lines go to: 0 Clsn1, 1 Clsn2, -1 none; and whether it
    // is a default block.
    int blockType = -1;
    bool blockDefault = false;

    void report(bool error, const QString& pattern, QStringView text)
    {
        if (!messages)
            return;
        const QString line = pattern.arg(fileName, QString::number(lineNumber), text.toString());
        // The line names the action it stands in, for the window to show.
        error ? messages->addError(line, actionIndex) : messages->addWarning(line, actionIndex);
    }

    void keep(QStringView line, bool error, const QString& pattern)
    {
        report(error, pattern, line.trimmed());
        if (action) {
            pending.otherLines.append(line.toString());
            pendingUsed = true;
        }
    }

    void finishAction()
    {
        if (action && pendingUsed) {
            // Box blocks, Loopstart or kept lines with no frame after them
            // make no frame (the engine shows nothing of them); they stay
            // behind the action's frames as lines, so a save keeps them.
            action->otherLines += pending.otherLines;
            for (int type = 0; type < 2; ++type) {
                const QList<ClsnRect>& boxes = type == 0 ? pending.clsn1 : pending.clsn2;
                if (boxes.isEmpty())
                    continue;
                action->otherLines.append(QStringLiteral("Clsn%1: %2").arg(type + 1).arg(boxes.size()));
                for (int k = 0; k < boxes.size(); ++k)
                    action->otherLines.append(QStringLiteral("  Clsn%1[%2] = %3, %4, %5, %6")
                                                  .arg(type + 1).arg(k).arg(boxes[k].x1).arg(boxes[k].y1)
                                                  .arg(boxes[k].x2).arg(boxes[k].y2));
            }
            if (pending.loopStart)
                action->otherLines.append(QStringLiteral("Loopstart"));
        }
        pending = AirFrame();
        pendingUsed = false;
        blockType = -1;
    }

    void readLine(QStringView raw, QList<AirAction*>& actions)
    {
        QStringView line = raw;
        QStringView lineComment;
        bool hasComment = false;
        if (const qsizetype semicolon = line.indexOf(u';'); semicolon >= 0) {
            lineComment = line.mid(semicolon + 1);
            while (!lineComment.isEmpty() && (lineComment.front() == u' ' || lineComment.front() == u'\t'))
                lineComment = lineComment.mid(1);
            hasComment = true;
            line = line.first(semicolon);
        }
        // A comment names the actions whose headers come after it, not the
        // one on its own line.
        const auto remember = qScopeGuard([&] {
            if (hasComment)
                comment = lineComment.toString();
        });
        line = line.trimmed();
        if (line.isEmpty())
            return;

        if (line.front() == u'[') {
            readHeader(line, raw, actions);
            return;
        }
        if (!action) {
            report(false, QAnimations::tr("%1(%2): Text before the first action is ignored: '%3'"), line);
            return;
        }
        if (startsWithWord(line, QLatin1StringView("clsn"))) {
            readClsn(line, raw);
            return;
        }
        if (startsWithWord(line, QLatin1StringView("loopstart"))) {
            QStringView rest = line.mid(9).trimmed();
            if (rest.startsWith(u':'))
                rest = rest.mid(1).trimmed();
            if (!rest.isEmpty())
                report(false, QAnimations::tr("%1(%2): Text after Loopstart is ignored: '%3'"), rest);
            pending.loopStart = true;
            pendingUsed = true;
            blockType = -1;
            return;
        }
        if (startsWithWord(line, QLatin1StringView("interpolate"))) {
            // Later engines' tweening between frames: kept where it stands.
            pending.otherLines.append(raw.toString());
            pendingUsed = true;
            blockType = -1;
            return;
        }
        qint64 first = 0;
        if (leadingInt(line, first)) {
            readFrame(line, raw);
            return;
        }
        keep(raw, false, QAnimations::tr("%1(%2): Line not understood, kept as it is: '%3'"));
    }

    void readHeader(QStringView line, QStringView raw, QList<AirAction*>& actions)
    {
        const qsizetype close = line.lastIndexOf(u']');
        QStringView inside = (close < 0 ? line.mid(1) : line.sliced(1, close - 1)).trimmed();
        if (!startsWithWord(inside, QLatin1StringView("begin"))) {
            if (action)
                keep(raw, false, QAnimations::tr("%1(%2): Unknown section, kept as it is: '%3'"));
            else
                report(false, QAnimations::tr("%1(%2): Text before the first action is ignored: '%3'"), line);
            return;
        }
        inside = inside.mid(5).trimmed();
        if (!startsWithWord(inside, QLatin1StringView("action"))) {
            report(true, QAnimations::tr("%1(%2): Unexpected token '%3'"), inside);
            return;
        }
        inside = inside.mid(6).trimmed();
        finishAction();
        action = new AirAction;
        action->name = comment;
        actions.append(action);
        actionIndex = int(actions.size()) - 1;
        qint64 number = 0;
        QStringView rest;
        if (!leadingInt(inside, number, &rest))
            report(true, QAnimations::tr("%1(%2): Unexpected token '%3'"), inside);
        else if (!rest.trimmed().isEmpty())
            report(false, QAnimations::tr("%1(%2): Text after the action number is ignored: '%3'"), rest.trimmed());
        action->number = clampToInt(number);
        if (close < 0)
            report(false, QAnimations::tr("%1(%2): Unexpected token '%3'"), QStringView());
    }

    void readClsn(QStringView line, QStringView raw)
    {
        // "Clsn1:", "Clsn2Default: 2", "Clsn1 Default:": a block header;
        // "Clsn1[0] = x1, y1, x2, y2": a box of the block above it.
        QStringView rest = line.mid(4);
        if (rest.isEmpty() || (rest.front() != u'1' && rest.front() != u'2')) {
            keep(raw, false, QAnimations::tr("%1(%2): Line not understood, kept as it is: '%3'"));
            return;
        }
        const int type = rest.front() == u'1' ? 0 : 1;
        rest = rest.mid(1).trimmed();
        if (rest.startsWith(u'[')) {
            readBox(rest, raw);
            return;
        }
        bool isDefault = false;
        if (startsWithWord(rest, QLatin1StringView("default"))) {
            isDefault = true;
            rest = rest.mid(7).trimmed();
        }
        if (!rest.startsWith(u':')) {
            keep(raw, false, QAnimations::tr("%1(%2): Line not understood, kept as it is: '%3'"));
            return;
        }
        // The count is not needed: every box line below the header belongs to it.
        qint64 count = 0;
        QStringView after;
        rest = rest.mid(1).trimmed();
        if (!rest.isEmpty() && (!leadingInt(rest, count, &after) || !after.trimmed().isEmpty()))
            report(false, QAnimations::tr("%1(%2): Invalid box count '%3'"), rest);
        blockType = type;
        blockDefault = isDefault;
        pendingUsed = true;
    }

    void readBox(QStringView rest, QStringView raw)
    {
        // "[i] = x1, y1, x2, y2"; the block's header decides the type: the
        // engine reads a box line labelled with the other type into the block
        // all the same (its own sample character has "Clsn1: 1" followed by
        // "Clsn2[0] = ...").
        const qsizetype equals = rest.indexOf(u'=');
        qint64 v[4] = {0, 0, 0, 0};
        bool good = equals > 0 && rest.indexOf(u']') > 0 && rest.indexOf(u']') < equals;
        QStringView glued;
        if (good) {
            const QList<QStringView> fields = rest.mid(equals + 1).split(u',');
            good = fields.size() >= 4;
            for (int k = 0; good && k < 4; ++k) {
                QStringView after;
                good = leadingInt(fields[k], v[k], &after);
                if (good && !after.trimmed().isEmpty())
                    glued = after.trimmed();
            }
            if (good && fields.size() > 4)
                glued = rest.mid(equals + 1).split(u',').mid(4).first();
        }
        if (!good || blockType < 0) {
            keep(raw, !good, good ? QAnimations::tr("%1(%2): Box without a block, kept as it is: '%3'")
                                 : QAnimations::tr("%1(%2): Box line not understood, kept as it is: '%3'"));
            return;
        }
        if (!glued.isEmpty())
            report(false, QAnimations::tr("%1(%2): Text after the box is ignored: '%3'"), glued);
        const int x1 = clampToInt(v[0]), y1 = clampToInt(v[1]), x2 = clampToInt(v[2]), y2 = clampToInt(v[3]);
        const ClsnRect r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
        if (blockDefault) {
            QList<ClsnDefaultBox>& list = blockType == 0 ? action->clsn1Default : action->clsn2Default;
            list.append({r.x1, r.y1, r.x2, r.y2, int(action->frames.size())});
        } else {
            (blockType == 0 ? pending.clsn1 : pending.clsn2).append(r);
        }
        pendingUsed = true;
    }

    void readFrame(QStringView line, QStringView raw)
    {
        // Five numbers, then the fields after the time as they stand.
        const QList<QStringView> fields = line.split(u',');
        qint64 v[5] = {0, 0, 0, 0, 0};
        QStringView afterTime;
        bool good = fields.size() >= 5;
        for (int k = 0; good && k < 5; ++k) {
            QStringView after;
            good = leadingInt(fields[k], v[k], &after);
            if (good && k < 4 && !after.trimmed().isEmpty()) {
                report(false, QAnimations::tr("%1(%2): Text after a number is ignored: '%3'"), after.trimmed());
            }
            if (k == 4)
                afterTime = after;
        }
        if (!good) {
            keep(raw, true, QAnimations::tr("%1(%2): Frame line not understood, kept as it is: '%3'"));
            return;
        }
        AirFrame& f = pending;
        f.group = clampToInt(v[0]);
        f.number = clampToInt(v[1]);
        f.x = clampToInt(v[2]);
        f.y = clampToInt(v[3]);
        f.time = clampToInt(v[4]);
        // The tail runs from the end of the time to the end of the line.
        const qsizetype tailFrom = afterTime.data() - line.data();
        f.tail = line.mid(tailFrom).toString();
        const FrameTail t = readTail(f.tail, [this](const QString& pattern, QStringView text) {
            report(false, pattern, text);
        });
        f.flip = t.flip;
        f.transparency = t.transparency;
        f.srcAlpha = t.srcAlpha;
        f.dstAlpha = t.dstAlpha;
        f.scaleX = t.scaleX;
        f.scaleY = t.scaleY;
        f.angle = t.angle;
        action->frames.append(new AirFrame(std::move(f)));
        pending = AirFrame();
        pendingUsed = false;
        blockType = -1;
    }
};

// ---------------------------------------------------------------------------
// Writing

const QLatin1StringView makerAddress(MakerWebAddress);

// The writer appends in place: a character's AIR has tens of thousands of
// numbers, and a temporary string per number would dominate the time.
class AirWriter
{
public:
    AirWriter(QString& out, QLatin1StringView lineEnd) : out(out), lineEnd(lineEnd) {}

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
    void end() { out.append(lineEnd); }

    void banner()
    {
        const QString stars = QString(74, QLatin1Char('*'));
        const QString side = QString(22, QLatin1Char('*'));
        *this << ';' << stars << ';';
        end();
        *this << ';' << side << "    Created in Morvane 9    " << side << ';';
        end();
        *this << ';' << side << "  " << makerAddress << "  " << side << ';';
        end();
        *this << ';' << stars << ';';
        end();
    }

    void boxBlock(const char* type, const char* suffix, const QList<ClsnRect>& boxes)
    {
        if (boxes.isEmpty())
            return;
        *this << type << suffix << qint64(boxes.size());
        end();
        int k = 0;
        for (const ClsnRect& r : boxes) {
            *this << "  " << type << '[' << k++ << "] = " << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2;
            end();
        }
    }

    void number(double v) { out.append(QString::number(v, 'g', 10)); }

    void frameLine(const AirFrame& f)
    {
        *this << f.group << ',' << f.number << ", " << f.x << ',' << f.y << ", " << f.time;
        // What the file had after the time goes back as it was while it
        // still says the same; an edited frame gets its fields written anew.
        if (tailSays(f, readTail(f.tail, {}))) {
            *this << f.tail;
            end();
            return;
        }
        const bool hasTransparency = f.transparency == 1 || f.transparency == 2;
        const bool hasScale = f.scaleX != 1 || f.scaleY != 1 || f.angle != 0;
        switch (f.flip) {
        case 1: *this << ", V"; break;
        case 2: *this << ", H"; break;
        case 3: *this << ", VH"; break;
        default:
            if (hasTransparency || hasScale)
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
        } else if (hasScale) {
            *this << ", ";
        }
        if (hasScale) {
            *this << ", ";
            number(f.scaleX);
            *this << ", ";
            number(f.scaleY);
            if (f.angle != 0) {
                *this << ", ";
                number(f.angle);
            }
        }
        end();
    }

    void lines(const QStringList& kept)
    {
        for (const QString& line : kept) {
            *this << line;
            end();
        }
    }

    void action(const AirAction& a)
    {
        *this << "; " << a.name;
        end();
        *this << "[Begin Action " << a.number << ']';
        end();
        const int n = int(a.frames.size());
        for (int j = 0; j < n; ++j) {
            const AirFrame& f = *a.frames.at(j);
            lines(f.otherLines);
            defaults("Clsn1", a.clsn1Default, j, n);
            defaults("Clsn2", a.clsn2Default, j, n);
            boxBlock("Clsn1", ": ", f.clsn1);
            boxBlock("Clsn2", ": ", f.clsn2);
            if (f.loopStart) {
                *this << "Loopstart";
                end();
            }
            frameLine(f);
        }
        // Defaults behind the last frame apply to nothing, but they are the
        // user's; keep them where they stood.
        defaults("Clsn1", a.clsn1Default, -1, n);
        defaults("Clsn2", a.clsn2Default, -1, n);
        lines(a.otherLines);
    }

private:
    QString& out;
    QLatin1StringView lineEnd;

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
    QByteArray bytes;
    if (!readWholeFile(filePath, TextFileLimit, &bytes))
        return false;
    const QFileInfo info(filePath);
    QMessages::FileScope scope(messages, info.absoluteFilePath());
    markFresh();
    qDeleteAll(actions);
    actions.clear();
    setFileName(info.absoluteFilePath());
    parse(bytes, info.fileName());
    emit documentReset();
    return true;
}

void QAnimations::parse(const QByteArray& bytes, const QString& name)
{
    // Read as the code files are (the names are comments in whatever code
    // page the author's machine had), and written back the same way.
    const CodeText code = readCodeText(bytes);
    format = code.format;
    fileBytes = bytes;
    const QString& text = code.text;
    AirReader reader(messages, name);
    const int before = int(actions.size());
    reader.read(text, actions);
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
    fileBytes = bytes;
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
    // A new file is UTF-8 without a mark, with the system's line ends.
    format = CodeFileFormat();
    fileBytes.clear();
#ifdef Q_OS_WIN
    format.lineEnd = "\r\n";
#endif
    emit documentReset();
}

QString QAnimations::fileNameOnly() const
{
    return QFileInfo(fileName()).fileName();
}

QString QAnimations::text() const
{
    QString out;
    out.reserve(64 * 1024);
    AirWriter w(out, QLatin1StringView("\n"));
    w.banner();
    for (const AirAction* a : actions) {
        w.action(*a);
        w.end();
    }
    return out;
}

bool QAnimations::fitsEncoding() const
{
    QByteArray out;
    return writeCodeText(text(), format, fileBytes, &out);
}

QString QAnimations::encodingName() const
{
    return codeencoding::name(format.encoding);
}

QByteArray QAnimations::toBytes() const
{
    const QString t = text();
    QByteArray out;
    if (writeCodeText(t, format, fileBytes, &out))
        return out;
    CodeFileFormat utf8 = format;
    utf8.encoding = CodeEncoding::Utf8;
    utf8.byteOrderMark = false;
    writeCodeText(t, utf8, QByteArray(), &out);
    return out;
}

QString QAnimations::actionText(int index) const
{
    const AirAction* a = action(index);
    if (!a)
        return QString();
    QString out;
    AirWriter(out, QLatin1StringView("\n")).action(*a);
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
    insertActionRecord(index, a);
}

void QAnimations::deleteAction(int index)
{
    delete takeAction(index);
}

void QAnimations::insertActionRecord(int index, AirAction* action)
{
    if (index < 0 || index >= actions.size())
        index = int(actions.size());
    actions.insert(index, action);
    emit actionsInserted(index, 1);
}

AirAction* QAnimations::takeAction(int index)
{
    AirAction* a = editableAction(index);
    if (!a)
        return nullptr;
    actions.removeAt(index);
    emit actionsRemoved(index, 1);
    return a;
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
    insertFrameRecord(actionIndex, at, AirFrame());
}

void QAnimations::insertFrameRecord(int actionIndex, int at, const AirFrame& frame)
{
    AirAction* a = editableAction(actionIndex);
    if (!a)
        return;
    if (at < 0 || at > a->frames.size())
        at = int(a->frames.size());
    a->frames.insert(at, new AirFrame(frame));
    // Default blocks stay in front of the frames they stood before.
    for (QList<ClsnDefaultBox>* list : {&a->clsn1Default, &a->clsn2Default})
        for (ClsnDefaultBox& d : *list)
            if (d.fromFrame >= at && at < a->frames.size() - 1)
                ++d.fromFrame;
    emit framesInserted(actionIndex, at, 1);
}

void QAnimations::deleteFrame(int actionIndex, int index)
{
    takeFrame(actionIndex, index);
}

AirFrame QAnimations::takeFrame(int actionIndex, int index)
{
    AirAction* a = editableAction(actionIndex);
    if (!a || index < 0 || index >= a->frames.size())
        return AirFrame();
    AirFrame* taken = a->frames.takeAt(index);
    const AirFrame out = *taken;
    delete taken;
    // A block in front of the deleted frame now stands before the next one.
    for (QList<ClsnDefaultBox>* list : {&a->clsn1Default, &a->clsn2Default})
        for (ClsnDefaultBox& d : *list)
            if (d.fromFrame > index)
                --d.fromFrame;
    emit framesRemoved(actionIndex, index, 1);
    return out;
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

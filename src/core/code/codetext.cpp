#include "codetext.h"

#include <QHash>
#include <QList>

namespace {

int unitWidth(CodeEncoding e)
{
    switch (e) {
    case CodeEncoding::Utf16LE:
    case CodeEncoding::Utf16BE:
        return 2;
    case CodeEncoding::Utf32LE:
    case CodeEncoding::Utf32BE:
        return 4;
    default:
        return 1;
    }
}

bool bigEndian(CodeEncoding e)
{
    return e == CodeEncoding::Utf16BE || e == CodeEncoding::Utf32BE;
}

// A line of bytes: where it starts, how long it is without its end, and how
// long its end is (0 for the last line).
struct ByteLine
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype endLength = 0;
    bool cr = false; // the end starts with CR (CR alone or CR LF)
};

// Splits bytes into lines at CR LF, LF and CR, reading code units of the
// encoding's width. In every encoding here CR and LF are only ever those
// units, never part of another character.
QList<ByteLine> splitLines(QByteArrayView bytes, CodeEncoding e)
{
    const int w = unitWidth(e);
    const bool be = bigEndian(e);
    auto unit = [&](qsizetype i) -> quint32 {
        quint32 v = 0;
        for (int k = 0; k < w; ++k) {
            const quint32 b = uchar(bytes[i + (be ? k : w - 1 - k)]);
            v = (v << 8) | b;
        }
        return v;
    };
    QList<ByteLine> lines;
    ByteLine line;
    const qsizetype n = bytes.size() - bytes.size() % w;
    qsizetype i = 0;
    while (i < n) {
        const quint32 u = unit(i);
        if (u == '\r' || u == '\n') {
            line.length = i - line.start;
            line.endLength = w;
            line.cr = u == '\r';
            if (u == '\r' && i + w < n && unit(i + w) == '\n')
                line.endLength = 2 * w;
            lines.append(line);
            i += line.endLength;
            line = ByteLine{i, 0, 0};
        } else {
            i += w;
        }
    }
    line.length = bytes.size() - line.start;
    lines.append(line);
    return lines;
}

// The same split of decoded text.
QList<QStringView> splitText(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

qsizetype markLength(const QByteArray& bytes, const CodeFileFormat& format)
{
    if (!format.byteOrderMark)
        return 0;
    const QByteArray bom = codeencoding::byteOrderMark(format.encoding);
    return bytes.startsWith(bom) ? bom.size() : 0;
}

} // namespace

QByteArray dominantLineEnd(const QByteArray& bytes, CodeEncoding encoding)
{
    int crlf = 0, lf = 0, cr = 0;
    for (const ByteLine& l : splitLines(bytes, encoding)) {
        if (l.endLength == 2 * unitWidth(encoding))
            ++crlf;
        else if (l.endLength > 0 && l.cr)
            ++cr;
        else if (l.endLength > 0)
            ++lf;
    }
    if (crlf >= lf && crlf >= cr && crlf > 0)
        return "\r\n";
    if (cr > lf)
        return "\r";
    return "\n";
}

CodeText readCodeText(const QByteArray& bytes, CodeEncoding encoding)
{
    CodeText result;
    result.format.encoding = encoding;
    const QByteArray bom = codeencoding::byteOrderMark(encoding);
    result.format.byteOrderMark = !bom.isEmpty() && bytes.startsWith(bom);
    const QByteArrayView content = QByteArrayView(bytes).sliced(result.format.byteOrderMark ? bom.size() : 0);
    codeencoding::Decoded d = codeencoding::decode(content, encoding);
    result.invalidBytes = d.invalidBytes;
    if (d.text.contains(QLatin1Char('\r'))) {
        d.text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        d.text.replace(QLatin1Char('\r'), QLatin1Char('\n')); // old Mac line ends
    }
    result.text = std::move(d.text);
    result.format.lineEnd = dominantLineEnd(content.toByteArray(), encoding);
    return result;
}

CodeText readCodeText(const QByteArray& bytes)
{
    return readCodeText(bytes, codeencoding::guess(bytes));
}

bool writeCodeText(const QString& text, const CodeFileFormat& format, const QByteArray& original, QByteArray* out,
                   qsizetype* badIndex)
{
    const CodeEncoding enc = format.encoding;
    QByteArray result;
    if (format.byteOrderMark)
        result = codeencoding::byteOrderMark(enc);
    QByteArray newEnd;
    codeencoding::encode(QString::fromLatin1(format.lineEnd), enc, &newEnd);

    // The lines read, as bytes and as text. Should the two splits ever
    // disagree, nothing of the old bytes is reused.
    const QByteArrayView oldBytes = QByteArrayView(original).sliced(markLength(original, format));
    QList<ByteLine> oldLines;
    QList<QStringView> oldText;
    QString oldDecoded;
    if (!original.isEmpty()) {
        oldLines = splitLines(oldBytes, enc);
        oldDecoded = codeencoding::decode(oldBytes, enc).text;
        oldText = splitText(oldDecoded);
        if (oldText.size() != oldLines.size()) {
            oldLines.clear();
            oldText.clear();
        }
    }

    const QList<QStringView> newText = QStringView(text).split(QLatin1Char('\n'));
    const qsizetype n = newText.size(), m = oldText.size();

    // Each new line is paired with an old line of the same text, in order:
    // the unchanged head and tail first, then greedily in between.
    QList<qsizetype> pair(n, -1);
    qsizetype head = 0;
    while (head < n && head < m && newText[head] == oldText[head]) {
        pair[head] = head;
        ++head;
    }
    qsizetype tail = 0;
    while (tail < n - head && tail < m - head && newText[n - 1 - tail] == oldText[m - 1 - tail]) {
        pair[n - 1 - tail] = m - 1 - tail;
        ++tail;
    }
    if (head < n - tail && head < m - tail) {
        QHash<QStringView, QList<qsizetype>> where;
        for (qsizetype k = head; k < m - tail; ++k)
            where[oldText[k]].append(k);
        QHash<QStringView, qsizetype> next; // first unused entry of each list
        qsizetype last = head - 1;
        for (qsizetype j = head; j < n - tail; ++j) {
            auto it = where.constFind(newText[j]);
            if (it == where.constEnd())
                continue;
            qsizetype& k = next[newText[j]];
            while (k < it->size() && it->at(k) <= last)
                ++k;
            if (k < it->size()) {
                pair[j] = it->at(k);
                last = pair[j];
            }
        }
    }

    // A line edited in place keeps the end of the line it replaces: the old
    // line as far after the last pair as it is, before the next pair.
    QList<qsizetype> nextPaired(n + 1, m);
    for (qsizetype j = n - 1; j >= 0; --j)
        nextPaired[j] = pair[j] >= 0 ? pair[j] : nextPaired[j + 1];
    qsizetype lastNew = -1, lastOld = -1;

    QByteArray crUnit, lfUnit;
    codeencoding::encode(QStringLiteral("\r"), enc, &crUnit);
    codeencoding::encode(QStringLiteral("\n"), enc, &lfUnit);
    bool afterLoneCr = false;

    qsizetype textPos = 0;
    for (qsizetype j = 0; j < n; ++j) {
        qsizetype k = pair[j];
        qsizetype endOf = k;
        if (k >= 0) {
            lastNew = j;
            lastOld = k;
        } else if (const qsizetype inPlace = lastOld + (j - lastNew); inPlace < nextPaired[j] && inPlace < m) {
            endOf = inPlace;
        }
        if (k >= 0) {
            result.append(oldBytes.sliced(oldLines[k].start, oldLines[k].length));
        } else {
            qsizetype bad = 0;
            if (!codeencoding::encode(newText[j], enc, &result, &bad)) {
                if (badIndex)
                    *badIndex = textPos + bad;
                return false;
            }
        }
        if (j + 1 < n) {
            QByteArray end = endOf >= 0 && oldLines[endOf].endLength > 0
                                 ? oldBytes.sliced(oldLines[endOf].start + oldLines[endOf].length, oldLines[endOf].endLength)
                                       .toByteArray()
                                 : newEnd;
            // After an old Mac line end (a lone CR), an empty line ending in
            // LF would make the two one CR LF and lose a line: it ends in a
            // CR as well.
            if (afterLoneCr && newText[j].isEmpty() && end.startsWith(lfUnit))
                end = crUnit;
            afterLoneCr = end == crUnit;
            result.append(end);
        }
        textPos += newText[j].size() + 1;
    }
    *out = std::move(result);
    return true;
}

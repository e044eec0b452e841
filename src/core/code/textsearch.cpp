#include "textsearch.h"

#include <QList>
#include <QTextDocument>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

TextSearch::TextSearch(const QString& text, bool matchCase, bool wholeWords)
    : needle(text), sensitivity(matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive), wholeWords(wholeWords)
{
}

bool TextSearch::fitsBetween(QChar before, QChar after) const
{
    if (!wholeWords)
        return true;
    // Only an edge of the text that is part of a word needs a boundary.
    return !(isWordChar(needle.front()) && isWordChar(before)) && !(isWordChar(needle.back()) && isWordChar(after));
}

qsizetype TextSearch::indexIn(const QString& text, qsizetype from, Direction direction) const
{
    if (needle.isEmpty())
        return -1;
    const qsizetype n = needle.size();
    const auto fits = [&](qsizetype at) {
        return fitsBetween(at > 0 ? text.at(at - 1) : QChar(), at + n < text.size() ? text.at(at + n) : QChar());
    };
    if (direction == Forward) {
        for (qsizetype at = text.indexOf(needle, qMax<qsizetype>(from, 0), sensitivity); at >= 0;
             at = text.indexOf(needle, at + 1, sensitivity)) {
            if (fits(at))
                return at;
        }
        return -1;
    }
    // lastIndexOf counts a negative start from the end: stop before 0.
    for (qsizetype start = qMin(from, text.size()) - n; start >= 0;) {
        const qsizetype at = text.lastIndexOf(needle, start, sensitivity);
        if (at < 0)
            return -1;
        if (fits(at))
            return at;
        start = at - 1;
    }
    return -1;
}

QTextCursor TextSearch::find(const QTextCursor& from, Direction direction) const
{
    QTextDocument* document = from.document();
    if (!document || needle.isEmpty())
        return QTextCursor();
    // Positions in the document are indices in its plain text: every block
    // separator counts as one character there as well.
    const qsizetype at = indexIn(document->toPlainText(),
                                 direction == Forward ? from.selectionEnd() : from.selectionStart(), direction);
    if (at < 0)
        return QTextCursor();
    QTextCursor match(document);
    match.setPosition(int(at));
    match.setPosition(int(at + needle.size()), QTextCursor::KeepAnchor);
    return match;
}

bool TextSearch::isMatch(const QTextCursor& cursor) const
{
    const QTextDocument* document = cursor.document();
    if (!document || needle.isEmpty())
        return false;
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    if (end - start != needle.size() || cursor.selectedText().compare(needle, sensitivity) != 0)
        return false;
    return fitsBetween(start > 0 ? document->characterAt(start - 1) : QChar(), document->characterAt(end));
}

int TextSearch::replaceAll(QTextDocument* document, const QString& replacement) const
{
    if (!document || needle.isEmpty())
        return 0;
    // Every match is found in the text as it stands, then replaced from the
    // last to the first so that the positions still to come stay true. One
    // edit block: one undo takes all of them back, and the highlighter colours
    // the changed lines once instead of once per match.
    const QString text = document->toPlainText();
    QList<qsizetype> starts;
    for (qsizetype at = indexIn(text, 0, Forward); at >= 0; at = indexIn(text, at + needle.size(), Forward))
        starts.append(at);
    if (starts.isEmpty())
        return 0;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = starts.crbegin(); it != starts.crend(); ++it) {
        cursor.setPosition(int(*it));
        cursor.setPosition(int(*it + needle.size()), QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    }
    cursor.endEditBlock();
    return int(starts.size());
}

#ifndef TEXTSEARCH_H
#define TEXTSEARCH_H

#include <QString>
#include <QTextCursor>

class QTextDocument;

// A piece of text looked for in a code document, ignoring case or not,
// anywhere or only as a whole word. Searches start at a cursor and stop at
// the ends of the document: they never wrap around.
//
// A whole word has no letter, digit or underscore right before or after it
// where the text itself starts or ends with one, so "var(1)" finds itself in
// "var(1)=2" but not in "myvar(1)", and "time" is not found in "animtime" or
// "time_2".
class TextSearch
{
public:
    enum Direction { Forward, Backward };

    TextSearch(const QString& text, bool matchCase, bool wholeWords);

    bool isEmpty() const { return needle.isEmpty(); }

    // The nearest match after `from` (forward: starting at or after the end of
    // its selection) or before it (backward: ending at or before the start of
    // its selection), selected in a new cursor; a null cursor when none.
    QTextCursor find(const QTextCursor& from, Direction direction) const;
    // True when `cursor` selects exactly one match.
    bool isMatch(const QTextCursor& cursor) const;
    // Replaces every match of the document, as one undoable edit; the number
    // of matches replaced.
    int replaceAll(QTextDocument* document, const QString& replacement) const;

private:
    // The start of the nearest match in `text` whose start is at or after
    // `from` (forward) or whose end is at or before `from` (backward); -1 when none.
    qsizetype indexIn(const QString& text, qsizetype from, Direction direction) const;
    // Whether a match may stand between these two characters (a null
    // character at either end of the document).
    bool fitsBetween(QChar before, QChar after) const;

    QString needle;
    Qt::CaseSensitivity sensitivity;
    bool wholeWords;
};

#endif

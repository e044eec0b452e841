#ifndef CODELINEINFO_H
#define CODELINEINFO_H

#include <QString>
#include <QTextBlockUserData>

// What the highlighter noted about a line that matters to a document's
// outline: a section header, a controller's type line, or a command's name.
// Kept with the line (as its block's user data) so that the outline is
// gathered from the lines without reading their text again.
struct CodeLineInfo : public QTextBlockUserData
{
    enum Kind { Header, Type, CommandName };

    CodeLineInfo(Kind kind, const QString& text, int state) : kind(kind), text(text), state(state) {}

    Kind kind;
    // Header: the words between the brackets; Type: the controller's name as
    // written; CommandName: the name between the quotes.
    QString text;
    int state; // the line's block state when it was noted
};

#endif

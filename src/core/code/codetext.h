#ifndef CODETEXT_H
#define CODETEXT_H

#include <QByteArray>
#include <QString>

// The text of a code file as the editor holds it: decoded by the one text
// rule of the program, with its line ends made "\n". The file's own line-end
// convention is remembered so that saving does not rewrite every line of a
// file made on another system.
struct CodeText
{
    QString text;
    bool crlf = false; // the file's lines end in CR LF
};

CodeText readCodeText(const QByteArray& bytes);
// UTF-8 with a byte-order mark, lines ending as `crlf` says.
QByteArray writeCodeText(const QString& text, bool crlf);

#endif

#ifndef CODETEXT_H
#define CODETEXT_H

#include "codeencoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a code file's bytes stand for its text: the encoding, whether a
// byte-order mark leads, and the line end new lines get (each line read keeps
// its own).
struct CodeFileFormat
{
    CodeEncoding encoding = CodeEncoding::Utf8;
    bool byteOrderMark = false;
    QByteArray lineEnd = "\n"; // "\r\n", "\n" or "\r", in ASCII

    bool operator==(const CodeFileFormat& o) const = default;
};

// The text of a code file as the editor holds it: line ends made "\n".
struct CodeText
{
    QString text;
    CodeFileFormat format;
    int invalidBytes = 0; // bytes the encoding does not define (kept as they are)
};

// Reads bytes in the encoding guessed for them (see codeencoding::guess).
CodeText readCodeText(const QByteArray& bytes);
// Reads bytes in the given encoding; a byte-order mark of that encoding is
// taken as one, any other leading bytes as text.
CodeText readCodeText(const QByteArray& bytes, CodeEncoding encoding);

// The bytes of a text in a format. `original` are bytes read in that same
// format (empty when there are none): every line of `text` that equals one of
// theirs, in order, is written as those very bytes with that line's own end,
// so a file differs from what was read only where it was edited. False when a
// character cannot be written in the encoding; *badIndex is its position in
// `text` and nothing is written.
bool writeCodeText(const QString& text, const CodeFileFormat& format, const QByteArray& original, QByteArray* out,
                   qsizetype* badIndex = nullptr);

// The line end most lines of the bytes have ("\n" when they have none).
QByteArray dominantLineEnd(const QByteArray& bytes, CodeEncoding encoding);

#endif

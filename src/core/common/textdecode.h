#ifndef TEXTDECODE_H
#define TEXTDECODE_H

#include <QByteArray>
#include <QString>

// The one rule for reading the engine's text files (AIR, DEF, CMD, CNS, ST):
// a byte-order mark (UTF-8, UTF-16 or UTF-32) is honoured and dropped; text
// without one is UTF-8 when it is valid UTF-8, otherwise Latin-1, so that no
// byte of an old file's comments is lost.
QString decodeText(const QByteArray& bytes);

// Text files are written as UTF-8 with a byte-order mark.
QByteArray encodeTextUtf8Bom(const QString& text);

#endif

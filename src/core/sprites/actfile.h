#ifndef ACTFILE_H
#define ACTFILE_H

#include <QByteArray>
#include <QString>

// ACT colour tables: 768 bytes of red, green, blue, the last entry first.
// Palettes in memory keep entry 0 first; these turn one into the other.

// False when the file cannot be read or holds fewer than 768 bytes; bytes
// beyond them are ignored.
bool readActFile(const QString& fileName, QByteArray& colours);
// Writes through a temporary file that takes the old one's place only once
// complete; false, with the old file as it was, when that fails.
bool writeActFile(const QString& fileName, const QByteArray& colours);

#endif

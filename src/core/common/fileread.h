#ifndef FILEREAD_H
#define FILEREAD_H

#include <QByteArray>
#include <QString>

// The bytes of a file the person named, read only when it is an ordinary file
// no larger than `limit`: a folder, a device (/dev/zero) or a file far larger
// than any of its kind is refused at once instead of being read without end.
// False with *error saying why.
bool readFileBytes(const QString& path, qint64 limit, QByteArray* out, QString* error);

// Limits of the kinds of files read whole.
constexpr qint64 ArchiveFileLimit = qint64(1) << 30; // SFF, SND: 1 GB
constexpr qint64 TextFileLimit = qint64(64) << 20;   // AIR, DEF, CMD, CNS, ST: 64 MB

#endif

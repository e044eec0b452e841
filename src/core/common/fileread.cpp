#include "fileread.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

bool readFileBytes(const QString& path, qint64 limit, QByteArray* out, QString* error)
{
    const QFileInfo info(path);
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!info.exists())
        return fail(QCoreApplication::translate("FileRead", "The file does not exist."));
    if (!info.isFile())
        return fail(QCoreApplication::translate("FileRead", "This is not a file."));
    if (info.size() > limit)
        return fail(QCoreApplication::translate("FileRead", "The file is too large (%1 MB) to be one of its kind.")
                        .arg(info.size() >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Read no more than the limit, should the file have grown meanwhile.
    *out = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (out->size() > limit)
        return fail(QCoreApplication::translate("FileRead", "The file is too large to be one of its kind."));
    return true;
}

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
    // The size the file has; should it have grown meanwhile, the rest in
    // pieces, never beyond the limit. (Asking for the limit at once would
    // reserve that much memory on every read.)
    *out = file.read(info.size());
    while (file.error() == QFileDevice::NoError && out->size() <= limit && !file.atEnd()) {
        const QByteArray more = file.read(qMin<qint64>(1 << 20, limit + 1 - out->size()));
        if (more.isEmpty())
            break;
        out->append(more);
    }
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (out->size() > limit)
        return fail(QCoreApplication::translate("FileRead", "The file is too large to be one of its kind."));
    return true;
}

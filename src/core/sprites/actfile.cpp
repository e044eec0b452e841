#include "actfile.h"

#include "fileread.h"
#include "savefile.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace {
constexpr int ActBytes = 768;

// Reverses the order of the 256 entries; the same step both ways.
QByteArray reversedEntries(const QByteArray& in)
{
    QByteArray out(ActBytes, '\0');
    for (int i = 0; i < 256 && 3 * (255 - i) + 3 <= in.size(); ++i)
        std::memcpy(out.data() + 3 * i, in.constData() + 3 * (255 - i), 3);
    return out;
}
} // namespace

bool readActFile(const QString& fileName, QByteArray& colours)
{
    // An ACT file is 768 bytes (772 with a trailing colour count); anything
    // much larger, or not a file at all, is something else.
    QByteArray act;
    if (!readFileBytes(fileName, 4096, &act, nullptr) || act.size() < ActBytes)
        return false;
    colours = reversedEntries(act);
    return true;
}

bool writeActFile(const QString& fileName, const QByteArray& colours)
{
    QByteArray full = colours.left(ActBytes);
    full.append(ActBytes - full.size(), '\0');
    const QByteArray act = reversedEntries(full);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(act) != ActBytes) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

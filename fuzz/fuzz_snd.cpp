// Loads arbitrary bytes as an SND archive, then saves what was read and loads
// that again: every sound must come back with the same group, number and bytes.
#include "qmessages.h"
#include "qsounds.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

static bool loadBytes(QSounds& sounds, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return sounds.load(&buffer, QStringLiteral("fuzz.snd"));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QMessages messages;
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages);
    if (!loadBytes(sounds, input))
        return 0;

    qsizetype total = 0;
    for (int i = 0; i < sounds.count(); ++i) {
        total += sounds.soundBytes(i).size();
        (void)durationText(sounds.info(i));
    }
    if (total > input.size())
        abort(); // sounds can only hold bytes that were in the file

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!sounds.save(&out))
        abort();
    QSounds again(BlobStoreMode::BlobsInMemory, false, -1, &messages);
    const int before = messages.rowCount();
    if (!loadBytes(again, out.data()) || messages.rowCount() != before || again.count() != sounds.count())
        abort();
    for (int i = 0; i < sounds.count(); ++i) {
        if (again.groupAndNumber(i) != sounds.groupAndNumber(i) || again.soundBytes(i) != sounds.soundBytes(i)
            || !(again.info(i) == sounds.info(i)))
            abort();
    }
    return 0;
}

#include "wavinfo.h"

#include "binaryio.h"

namespace {

struct Layout
{
    qsizetype format = -1;   // start of the format chunk's body
    qsizetype dataSize = -1; // position of the data chunk's size field
};

// Walks the chunks after "RIFF....WAVE". Editors put other chunks (LIST, fact,
// cue) before the data, and the format chunk may be longer than 16 bytes; the
// fixed positions of the canonical layout would then read the wrong fields.
Layout findChunks(QByteArrayView wav)
{
    Layout l;
    LeReader r(wav, 12);
    while (r.has(8) && (l.format < 0 || l.dataSize < 0)) {
        const QByteArrayView id = r.take(4);
        const qsizetype sizeAt = r.pos();
        const quint32 size = r.u32();
        if (id == "fmt " && l.format < 0 && size >= 16)
            l.format = r.pos();
        else if (id == "data" && l.dataSize < 0)
            l.dataSize = sizeAt;
        // Chunk bodies are padded to an even length. A size that runs past the
        // end simply ends the walk.
        const quint64 step = quint64(size) + (size & 1);
        if (step > quint64(r.remaining()))
            break;
        r.skip(qsizetype(step));
    }
    return l;
}

} // namespace

WavInfo readWavInfo(QByteArrayView wav)
{
    // A chunk that cannot be found is read at its canonical position, without
    // looking at any chunk name.
    Layout l = findChunks(wav);
    if (l.format < 0)
        l.format = 20;
    if (l.dataSize < 0)
        l.dataSize = 40;

    WavInfo info;
    LeReader r(wav, l.format);
    if (r.u16() != 1) // PCM only
        return info;
    info.channels = r.u16();
    info.sampleRate = r.u32();
    r.skip(6); // byte rate, block align
    info.bitsPerSample = r.u16();
    r.seek(l.dataSize);
    const quint32 dataSize = r.u32();
    if (dataSize != 0 && hasDuration(info))
        info.duration = float(double(dataSize) * 8.0 / info.bitsPerSample / info.channels / info.sampleRate);
    return info;
}

bool hasDuration(const WavInfo& info)
{
    return info.channels != 0 && info.sampleRate != 0 && info.bitsPerSample != 0;
}

QString durationText(const WavInfo& info)
{
    if (!hasDuration(info))
        return QStringLiteral("--");
    return QString::number(double(info.duration), 'g', 6);
}

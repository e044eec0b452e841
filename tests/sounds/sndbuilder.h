#ifndef SNDBUILDER_H
#define SNDBUILDER_H

// Builds WAV and SND bytes for tests and benchmarks, field by field, so that
// each test states exactly what the file says.
#include "binaryio.h"

#include <QDir>

namespace sndbuilder {

// A canonical PCM file: 44 bytes plus the data; `beforeData` holds whole
// chunks between the format and data chunks.
inline QByteArray wav(quint32 dataBytes, quint32 rate = 11025, quint16 channels = 1, quint16 bits = 8,
                      const QByteArray& beforeData = {})
{
    QByteArray out("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\1\0", 22);
    LeWriter o(&out);
    o.u16(channels);
    o.u32(rate);
    o.u32(rate * channels * (bits / 8));
    o.u16(quint16(channels * (bits / 8)));
    o.u16(bits);
    o.bytes(beforeData);
    o.bytes("data");
    o.u32(dataBytes);
    for (quint32 i = 0; i < dataBytes; ++i)
        o.u8(quint8(0x80 + (i * 7) % 64));
    o.patchU32(4, quint32(out.size() - 8));
    return out;
}

// One subheader as it stands in the file, followed by `data`.
struct Sub
{
    quint32 next = 0, length = 0, group = 0, number = 0;
    QByteArray data;
};

// The 512-byte header claiming `count` sounds, then the subheaders as given.
inline QByteArray rawSnd(quint32 count, const QList<Sub>& subs)
{
    QByteArray out("ElecbyteSnd\0\0\x01\0\x01", 16);
    LeWriter o(&out);
    o.u32(count);
    o.u32(512);
    o.zeros(512 - out.size());
    for (const Sub& s : subs) {
        for (quint32 field : {s.next, s.length, s.group, s.number})
            o.u32(field);
        o.bytes(s.data);
    }
    return out;
}

// A well-formed archive: each sound's next offset points right behind its data.
struct Sound
{
    quint32 group, number;
    QByteArray data;
};

inline QByteArray snd(const QList<Sound>& sounds)
{
    QList<Sub> subs;
    quint32 pos = 512;
    for (const Sound& s : sounds)
        subs.append({pos += 16 + quint32(s.data.size()), quint32(s.data.size()), s.group, s.number, s.data});
    return rawSnd(quint32(sounds.size()), subs);
}

// The sound files being played, by name. Tests make their own folder the
// system temporary directory, so that they see every file written there.
inline QStringList playedFiles()
{
    return QDir(QDir::tempPath()).entryList({"MRV9-*.wav"}, QDir::Files);
}

// "group/number:bytes" of every sound, in order, for comparing whole archives.
template<class Archive> QString summary(const Archive& a)
{
    QStringList parts;
    for (int i = 0; i < a.count(); ++i)
        parts << QString("%1/%2:%3").arg(a.groupAndNumber(i).first).arg(a.groupAndNumber(i).second).arg(a.soundBytes(i).size());
    return parts.join(' ');
}

} // namespace sndbuilder

#endif

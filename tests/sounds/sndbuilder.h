#ifndef SNDBUILDER_H
#define SNDBUILDER_H

// Builds WAV and SND bytes for tests and benchmarks, field by field, so that
// each test states exactly what the file says.
#include "binaryio.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace sndbuilder {

struct Wav
{
    quint16 format = 1;
    quint16 channels = 1;
    quint32 sampleRate = 11025;
    quint16 bits = 8;
    quint32 dataBytes = 100;
    QByteArray beforeData = {}; // whole chunks between the format and data chunks
    quint32 formatSize = 16; // 18 for WAVEFORMATEX
};

// A canonical file is 44 bytes plus its data.
inline QByteArray wav(const Wav& w)
{
    QByteArray out;
    LeWriter o(&out);
    o.bytes("RIFF");
    o.u32(0); // patched below
    o.bytes("WAVEfmt ");
    o.u32(w.formatSize);
    o.u16(w.format);
    o.u16(w.channels);
    o.u32(w.sampleRate);
    o.u32(w.sampleRate * w.channels * (w.bits / 8));
    o.u16(quint16(w.channels * (w.bits / 8)));
    o.u16(w.bits);
    o.zeros(w.formatSize - 16);
    o.bytes(w.beforeData);
    o.bytes("data");
    o.u32(w.dataBytes);
    for (quint32 i = 0; i < w.dataBytes; ++i)
        o.u8(quint8(0x80 + (i * 7) % 64));
    o.patchU32(4, quint32(out.size() - 8));
    return out;
}

inline QByteArray wav(quint32 dataBytes, quint32 rate = 11025)
{
    return wav({.sampleRate = rate, .dataBytes = dataBytes});
}

// One subheader as it stands in the file, followed by `data`.
struct Sub
{
    quint32 next = 0;
    quint32 length = 0;
    quint32 group = 0;
    quint32 number = 0;
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
    quint32 group;
    quint32 number;
    QByteArray data;
};

inline QByteArray snd(const QList<Sound>& sounds)
{
    QList<Sub> subs;
    quint32 pos = 512;
    for (const Sound& s : sounds) {
        pos += 16 + quint32(s.data.size());
        subs.append({pos, quint32(s.data.size()), s.group, s.number, s.data});
    }
    return rawSnd(quint32(sounds.size()), subs);
}

// Makes a folder of `dir` the system temporary directory (where played sounds
// go), so that a test sees every file written there; returns its path.
inline QString useAsSystemTemp(const QTemporaryDir& dir)
{
    const QString path = QDir::cleanPath(dir.filePath("systemp"));
    QDir().mkpath(path);
    qputenv("TMPDIR", QFile::encodeName(path));
    return path;
}

// "group/number:bytes" of every sound, in order, for comparing whole archives.
template<class Archive> QString summary(const Archive& a)
{
    QStringList parts;
    for (int i = 0; i < a.count(); ++i)
        parts << QStringLiteral("%1/%2:%3")
                     .arg(a.groupAndNumber(i).first)
                     .arg(a.groupAndNumber(i).second)
                     .arg(a.soundBytes(i).size());
    return parts.join(' ');
}

} // namespace sndbuilder

#endif

#ifndef LZ5REFERENCE_H
#define LZ5REFERENCE_H

// The LZ5 encoder written the plain way, as the format describes it: every
// distance tried at every packet, byte by byte. Slow, and obviously right; the
// real encoder must give exactly its output. Shared by the tests and the
// round-trip fuzz target.

#include "lz5matchfinder.h"

#include <QByteArray>
#include <QList>

#include <algorithm>

namespace lz5reference {

inline Lz5Match search(const QByteArray& px, int p)
{
    Lz5Match best;
    const int n = int(px.size());
    if (p < 3)
        return best;
    for (int d = 3; d <= std::min(p, 1023); ++d) {
        int length = 0;
        int changes = 0;
        while (length < 258 && p + length < n && px[p + length] == px[p - d + length]) {
            if (length > 0 && px[p - d + length] != px[p - d + length - 1])
                ++changes;
            ++length;
        }
        if (changes >= 2 && length > best.length && length >= 3)
            best = {length, d};
    }
    return best;
}

inline QByteArray encode(const QByteArray& px, bool full)
{
    struct Packet {
        bool lz;
        int length;
        int distance;
        int colour;
    };
    const int n = int(px.size());
    QList<Packet> packets;
    for (int p = 0; p < n;) {
        const Lz5Match m = full ? search(px, p) : Lz5Match();
        if (m.length > 0) {
            packets.append({true, m.length, m.distance, 0});
            p += m.length;
            continue;
        }
        int count = 1;
        while (count < 263 && p + count < n && px[p + count] == px[p])
            ++count;
        packets.append({false, count, 0, px[p] & 0x1F});
        p += count;
    }

    const auto isShort = [](const Packet& k) { return k.lz && k.length <= 64 && k.distance <= 256; };
    QList<int> shorts;
    for (int i = 0; i < packets.size(); ++i)
        if (isShort(packets[i]))
            shorts.append(i);
    QList<int> top(packets.size(), 0);
    QList<bool> offsetByte(packets.size(), true);
    for (int g = 0; g + 3 < shorts.size(); g += 4) {
        const int v = packets[shorts[g + 3]].distance - 1;
        top[shorts[g]] = (v >> 6) & 3;
        top[shorts[g + 1]] = (v >> 4) & 3;
        top[shorts[g + 2]] = (v >> 2) & 3;
        top[shorts[g + 3]] = v & 3;
        offsetByte[shorts[g + 3]] = false;
    }

    QByteArray out;
    out.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF)).append(char((n >> 16) & 0xFF)).append(char(n >> 24));
    for (int i = 0; i < packets.size(); ++i) {
        if (i % 8 == 0) {
            int control = 0;
            for (int j = i; j < i + 8 && j < packets.size(); ++j)
                if (packets[j].lz)
                    control |= 1 << (j - i);
            out.append(char(control));
        }
        const Packet& k = packets[i];
        if (!k.lz && k.length <= 7) {
            out.append(char(k.length << 5 | k.colour));
        } else if (!k.lz) {
            out.append(char(k.colour)).append(char(k.length - 8));
        } else if (isShort(k)) {
            out.append(char(top[i] << 6 | (k.length - 1)));
            if (offsetByte[i])
                out.append(char(k.distance - 1));
        } else {
            const int v = k.distance - 1;
            out.append(char((v >> 8) << 6)).append(char(v & 0xFF)).append(char(k.length - 3));
        }
    }
    return out;
}

} // namespace lz5reference

#endif

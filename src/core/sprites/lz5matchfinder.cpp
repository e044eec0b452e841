#include "lz5matchfinder.h"

namespace {
constexpr int MaxLength = 258;
constexpr int MaxDistance = 1023;
constexpr int MinDistance = 3;
constexpr int MaxHashBits = 15;
} // namespace

Lz5MatchFinder::Lz5MatchFinder(QByteArrayView pixels)
    : px(reinterpret_cast<const uchar*>(pixels.data())), n(pixels.size())
{
    if (n == 0)
        return;
    nextChange.assign(size_t(n), qint32(n));
    for (qsizetype i = n - 2; i >= 0; --i)
        nextChange[size_t(i)] = px[i + 1] != px[i] ? qint32(i + 1) : nextChange[size_t(i + 1)];

    runStart.assign(size_t(n), 0);
    sameBefore.assign(size_t(n), -1);
    // A table in proportion to the sprite: small sprites are the common case,
    // and clearing a large table for each of them would cost more than the search.
    int hashBits = 6;
    while (hashBits < MaxHashBits && (qsizetype(1) << hashBits) < n)
        ++hashBits;
    std::vector<qint32> head(size_t(1) << hashBits, -1);
    qint32 last = 0;
    for (qsizetype t = nextChange[0]; t < n; t = nextChange[size_t(t)]) {
        const qsizetype after = nextChange[size_t(t)];
        const quint32 c = after < n ? px[after] : 256u;
        const quint32 key = (quint32(px[t - 1]) << 24) ^ (quint32(px[t]) << 16) ^ (c << 7)
            ^ quint32(after - t) * 0x9E3779B1u;
        const quint32 bucket = (key * 0x85EBCA6Bu) >> (32 - hashBits);
        runStart[size_t(t)] = last;
        sameBefore[size_t(t)] = head[bucket];
        head[bucket] = qint32(t);
        last = qint32(t);
    }
}

// Whether the change point `candidate` has the same shape as change point t:
// the same values on both sides, the same length of the run it starts, and the
// same value after that run.
bool Lz5MatchFinder::sameShape(qsizetype t, qsizetype candidate) const
{
    const qsizetype after = nextChange[size_t(t)];
    const qsizetype candidateAfter = nextChange[size_t(candidate)];
    return px[candidate - 1] == px[t - 1] && px[candidate] == px[t]
        && candidateAfter - candidate == after - t && candidateAfter < n && px[candidateAfter] == px[after];
}

Lz5Match Lz5MatchFinder::find(qsizetype p) const
{
    if (p < MinDistance || p >= n)
        return {};
    const qsizetype cap = qMin<qsizetype>(MaxLength, n - p);
    const qsizetype first = nextChange[size_t(p)]; // first value change after p
    if (first >= n)
        return {};
    const qsizetype second = nextChange[size_t(first)];
    if (second >= n || second - p + 1 > cap)
        return {}; // no acceptable match can fit
    const qsizetype lead = first - p; // length of the first value's run from p
    const qsizetype maxDistance = qMin<qsizetype>(p, MaxDistance);

    qsizetype bestLength = 0;
    qsizetype bestDistance = 0;
    for (qsizetype c = sameBefore[size_t(first)]; c >= 0; c = sameBefore[size_t(c)]) {
        const qsizetype d = first - c;
        if (d > maxDistance)
            break;
        if (d < MinDistance || !sameShape(first, c) || runStart[size_t(c)] > c - lead)
            continue;
        // Cannot be longer than the best so far unless it matches one byte further.
        if (bestLength > 0 && px[p + bestLength] != px[p - d + bestLength])
            continue;
        // Both sides now agree up to and including `second`; compare run by run.
        qsizetype x = second;
        qsizetype y = second - d;
        qsizetype length;
        for (;;) {
            const qsizetype ex = nextChange[size_t(x)];
            const qsizetype ey = nextChange[size_t(y)];
            if (ex - x != ey - y) {
                length = x - p + qMin(ex - x, ey - y);
                break;
            }
            if (ex >= n || px[ex] != px[ey] || ex - p >= cap) {
                length = ex - p;
                break;
            }
            x = ex;
            y = ey;
        }
        length = qMin(length, cap);
        if (length > bestLength) {
            bestLength = length;
            bestDistance = d;
            if (length == cap)
                break;
        }
    }
    if (bestLength == 0)
        return {};
    return {int(bestLength), int(bestDistance)};
}

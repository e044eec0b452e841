#ifndef LZ5MATCHFINDER_H
#define LZ5MATCHFINDER_H

#include <QByteArrayView>

#include <vector>

struct Lz5Match {
    int length = 0; // 0: no back-reference here
    int distance = 0;
};

// The back-reference search of the LZ5 encoder.
//
// At position p it looks at distances 3 to min(p, 1023) for the longest run of
// bytes (at most 258, not past the end) that repeats the bytes from p, taking
// the nearest of equally long ones, and accepts it only when the repeated
// bytes change value at least twice.
//
// Since the repeated bytes equal the bytes from p, the "changes twice" rule
// says the match must reach one byte past the second value change after p.
// So a match can only start where the earlier data has the same shape: a run
// of the first value ending exactly as long after it, a run of the second
// value of exactly the same length, then the same third value. Those value
// changes are indexed by that shape; the search walks only the earlier
// changes of the same shape, nearest first, and measures each candidate run by
// run rather than byte by byte. The result is the one the plain search over
// every distance gives.
class Lz5MatchFinder
{
public:
    explicit Lz5MatchFinder(QByteArrayView pixels);
    Lz5Match find(qsizetype p) const;

private:
    bool sameShape(qsizetype t, qsizetype candidate) const;

    const uchar* px = nullptr;
    qsizetype n = 0;
    std::vector<qint32> nextChange; // first position after i whose value differs from the one before it, or n
    std::vector<qint32> runStart;   // at a change point t: the change point before it (or 0)
    std::vector<qint32> sameBefore; // at a change point t: the previous change point in t's hash bucket, or -1
};

#endif

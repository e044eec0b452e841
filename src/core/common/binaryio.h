#ifndef BINARYIO_H
#define BINARYIO_H

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// The one reader and writer of little-endian binary fields (SFF, SND, PCX, WAV).
//
// LeReader never reads outside its bytes: a read that runs past the end returns
// zeros for the missing bytes, leaves the position at the end and clears ok().
// Callers check counts against remaining() before they trust them.
class LeReader
{
public:
    explicit LeReader(QByteArrayView data, qsizetype pos = 0);

    bool ok() const { return good; }
    qsizetype pos() const { return at; }
    qsizetype size() const { return bytes.size(); }
    qsizetype remaining() const { return bytes.size() - at; }
    bool atEnd() const { return at >= bytes.size(); }
    // True when n more bytes can be read from the current position.
    bool has(qsizetype n) const { return n >= 0 && n <= remaining(); }

    // Moves to an absolute position; a position outside the data clears ok()
    // and moves to the end.
    bool seek(qsizetype pos);
    void skip(qsizetype n);

    quint8 u8();
    quint16 u16();
    quint32 u32();
    qint16 s16() { return qint16(u16()); }
    qint32 s32() { return qint32(u32()); }
    // Up to n bytes; fewer (and ok() cleared) when the data ends first.
    QByteArrayView take(qsizetype n);

    // A view of `length` bytes at `offset`, or an empty view when that range is
    // not entirely inside the data (offset and length come from files).
    static QByteArrayView slice(QByteArrayView data, quint64 offset, quint64 length);

private:
    QByteArrayView bytes;
    qsizetype at = 0;
    bool good = true;
};

// Appends little-endian fields to a byte array.
class LeWriter
{
public:
    explicit LeWriter(QByteArray* out) : out(out) {}

    void u8(quint8 v) { out->append(char(v)); }
    void u16(quint16 v);
    void u32(quint32 v);
    void s16(qint16 v) { u16(quint16(v)); }
    void s32(qint32 v) { u32(quint32(v)); }
    void bytes(QByteArrayView b) { out->append(b.data(), b.size()); }
    void zeros(qsizetype n) { out->append(n, '\0'); }
    qsizetype pos() const { return out->size(); }
    // Overwrites a 32-bit field written earlier (offsets known only later).
    void patchU32(qsizetype at, quint32 v);

private:
    QByteArray* out;
};

#endif

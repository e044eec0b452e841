#include "binaryio.h"

LeReader::LeReader(QByteArrayView data, qsizetype pos) : bytes(data)
{
    seek(pos);
}

bool LeReader::seek(qsizetype pos)
{
    if (pos < 0 || pos > bytes.size()) {
        at = bytes.size();
        good = false;
        return false;
    }
    at = pos;
    return true;
}

void LeReader::skip(qsizetype n)
{
    if (n < 0 || n > remaining()) {
        at = bytes.size();
        good = false;
        return;
    }
    at += n;
}

quint8 LeReader::u8()
{
    if (at >= bytes.size()) {
        good = false;
        return 0;
    }
    return quint8(bytes[at++]);
}

quint16 LeReader::u16()
{
    if (remaining() < 2) {
        at = bytes.size();
        good = false;
        return 0;
    }
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + at;
    at += 2;
    return quint16(p[0] | (p[1] << 8));
}

quint32 LeReader::u32()
{
    if (remaining() < 4) {
        at = bytes.size();
        good = false;
        return 0;
    }
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + at;
    at += 4;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

QByteArrayView LeReader::take(qsizetype n)
{
    if (n < 0)
        n = 0;
    if (n > remaining()) {
        n = remaining();
        good = false;
    }
    QByteArrayView v = bytes.sliced(at, n);
    at += n;
    return v;
}

QByteArrayView LeReader::slice(QByteArrayView data, quint64 offset, quint64 length)
{
    const quint64 size = quint64(data.size());
    if (offset > size || length > size - offset)
        return QByteArrayView();
    return data.sliced(qsizetype(offset), qsizetype(length));
}

void LeWriter::u16(quint16 v)
{
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    out->append(b, 2);
}

void LeWriter::u32(quint32 v)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    out->append(b, 4);
}

void LeWriter::patchU32(qsizetype at, quint32 v)
{
    if (at < 0 || at + 4 > out->size())
        return;
    char* p = out->data() + at;
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
    p[2] = char((v >> 16) & 0xFF);
    p[3] = char(v >> 24);
}

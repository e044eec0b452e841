#include "spritecodecs.h"

#include "binaryio.h"
#include "lz5matchfinder.h"

#include <cstring>

int spriteLineBytes(QImage::Format format, int width)
{
    switch (format) {
    case QImage::Format_Indexed8: return width;
    case QImage::Format_RGB888: return width * 3;
    case QImage::Format_ARGB32: return width * 4;
    default: return 0;
    }
}

int spriteRowStride(QImage::Format format, int width)
{
    return (spriteLineBytes(format, width) + 3) & ~3;
}

namespace {

// Every decoder first writes the pixels packed (the encodings run across row
// ends), then spreads the rows out to the padded stride in place, bottom row
// first so that no row overwrites one not yet moved.
void spreadRows(uchar* rows, int lineBytes, int stride, int height)
{
    if (lineBytes == stride)
        return;
    for (int y = height - 1; y >= 0; --y) {
        uchar* dst = rows + qsizetype(y) * stride;
        if (y > 0)
            std::memmove(dst, rows + qsizetype(y) * lineBytes, size_t(lineBytes));
        std::memset(dst + lineBytes, 0, size_t(stride - lineBytes));
    }
}

struct Output {
    uchar* at;
    uchar* end;
    // Writes up to n copies of v; false when the image is full.
    bool fill(uchar v, qsizetype n)
    {
        const qsizetype room = end - at;
        if (n > room)
            n = room;
        std::memset(at, v, size_t(n));
        at += n;
        return at < end;
    }
};

// The stream after the length word.
QByteArrayView body(QByteArrayView data)
{
    return data.size() > 4 ? data.sliced(4) : QByteArrayView();
}

void rle8Packed(QByteArrayView data, uchar* out, qsizetype size)
{
    const QByteArrayView in = body(data);
    const uchar* p = reinterpret_cast<const uchar*>(in.data());
    const uchar* end = p + in.size();
    Output o{out, out + size};
    while (p < end && o.at < o.end) {
        const uchar b = *p++;
        if ((b & 0xC0) == 0x40) {
            if (p >= end)
                break;
            o.fill(*p++, b & 0x3F);
        } else {
            *o.at++ = b;
        }
    }
}

void rle5Packed(QByteArrayView data, uchar* out, qsizetype size)
{
    const QByteArrayView in = body(data);
    const uchar* p = reinterpret_cast<const uchar*>(in.data());
    const uchar* end = p + in.size();
    Output o{out, out + size};
    while (end - p >= 2) {
        const int run = *p++;
        const uchar head = *p++;
        uchar colour = 0;
        if (head & 0x80) {
            if (p >= end)
                return;
            colour = *p++ & 0x1F;
        }
        // Seven bits of data count, as the engine writes it.
        int count = head & 0x7F;
        if (!o.fill(colour, run + 1))
            return;
        for (; count > 0 && p < end; --count) {
            const uchar d = *p++;
            if (!o.fill(d & 0x1F, (d >> 5) + 1))
                return;
        }
    }
}

void lz5Packed(QByteArrayView data, uchar* out, qsizetype size)
{
    const QByteArrayView in = body(data);
    const uchar* p = reinterpret_cast<const uchar*>(in.data());
    const uchar* end = p + in.size();
    Output o{out, out + size};
    int shortCount = 0;
    uchar recycled = 0;
    while (p < end) {
        const uchar control = *p++;
        for (int bit = 0; bit < 8 && p < end; ++bit) {
            const uchar b = *p++;
            if (!(control & (1 << bit))) {
                qsizetype count = b >> 5;
                if (count == 0) {
                    if (p >= end)
                        return;
                    count = qsizetype(*p++) + 8;
                }
                if (!o.fill(b & 0x1F, count))
                    return;
                continue;
            }
            qsizetype length;
            qsizetype offset;
            if (b & 0x3F) {
                length = (b & 0x3F) + 1;
                if (shortCount == 3) {
                    offset = qsizetype(recycled | (b >> 6)) + 1;
                    shortCount = 0;
                    recycled = 0;
                } else {
                    recycled |= uchar((b & 0xC0) >> (2 * shortCount));
                    ++shortCount;
                    if (p >= end)
                        return;
                    offset = qsizetype(*p++) + 1;
                }
            } else {
                if (end - p < 2)
                    return;
                offset = (qsizetype(b >> 6) << 8 | p[0]) + 1;
                length = qsizetype(p[1]) + 3;
                p += 2;
            }
            if (offset > o.at - out)
                return; // a copy from before the start of the image
            if (length > o.end - o.at)
                length = o.end - o.at;
            const uchar* from = o.at - offset;
            if (offset >= length) {
                std::memcpy(o.at, from, size_t(length));
            } else {
                for (qsizetype i = 0; i < length; ++i)
                    o.at[i] = from[i];
            }
            o.at += length;
            if (o.at == o.end)
                return;
        }
    }
}

// Wraps freshly decoded rows in an image without copying them.
QImage imageOverRows(QByteArray rows, int width, int height, QImage::Format format)
{
    auto* keep = new QByteArray(std::move(rows));
    uchar* bits = reinterpret_cast<uchar*>(keep->data());
    QImage image(bits, width, height, spriteRowStride(format, width), format,
                 [](void* p) { delete static_cast<QByteArray*>(p); }, keep);
    if (format == QImage::Format_Indexed8) {
        // No palette belongs to the pixels; a grey ramp keeps them viewable.
        QList<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        image.setColorTable(grey);
    }
    return image;
}

bool validSize(int width, int height, QImage::Format format)
{
    return width > 0 && height > 0 && spriteLineBytes(format, width) > 0;
}

template <typename Decode>
QImage decodeToImage(int width, int height, QImage::Format format, Decode decode)
{
    if (!validSize(width, height, format))
        return QImage();
    QByteArray rows(qsizetype(spriteRowStride(format, width)) * height, '\0');
    decode(reinterpret_cast<uchar*>(rows.data()));
    return imageOverRows(std::move(rows), width, height, format);
}

// The image's pixels packed row after row (no copy when rows have no padding).
QByteArray packedPixels(const QImage& image)
{
    const int lineBytes = spriteLineBytes(image.format(), image.width());
    const int height = image.height();
    if (lineBytes == 0 || height == 0)
        return QByteArray();
    if (image.bytesPerLine() == lineBytes)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(image.constBits()),
                                       qsizetype(lineBytes) * height);
    QByteArray packed(qsizetype(lineBytes) * height, Qt::Uninitialized);
    for (int y = 0; y < height; ++y)
        std::memcpy(packed.data() + qsizetype(y) * lineBytes, image.constScanLine(y), size_t(lineBytes));
    return packed;
}

} // namespace

void decodeRawInto(QByteArrayView data, uchar* rows, int width, int height, QImage::Format format)
{
    const int lineBytes = spriteLineBytes(format, width);
    const qsizetype packed = qsizetype(lineBytes) * height;
    // Files written by the engine's own tools store raw pixels without the
    // length word; a block 4 bytes longer than the pixels carries it. A block
    // cut short is taken as pixels unless it starts with the right length.
    QByteArrayView pixels = data;
    if (data.size() >= packed + 4
        || (data.size() >= 4 && data.size() < packed && LeReader(data).u32() == quint64(packed)))
        pixels = data.sliced(4);
    const qsizetype n = qMin(pixels.size(), packed);
    if (n > 0)
        std::memcpy(rows, pixels.data(), size_t(n));
    spreadRows(rows, lineBytes, spriteRowStride(format, width), height);
}

void decodeRle8Into(QByteArrayView data, uchar* rows, int width, int height, QImage::Format format)
{
    const int lineBytes = spriteLineBytes(format, width);
    rle8Packed(data, rows, qsizetype(lineBytes) * height);
    spreadRows(rows, lineBytes, spriteRowStride(format, width), height);
}

void decodeRle5Into(QByteArrayView data, uchar* rows, int width, int height)
{
    rle5Packed(data, rows, qsizetype(width) * height);
    spreadRows(rows, width, spriteRowStride(QImage::Format_Indexed8, width), height);
}

void decodeLz5Into(QByteArrayView data, uchar* rows, int width, int height)
{
    lz5Packed(data, rows, qsizetype(width) * height);
    spreadRows(rows, width, spriteRowStride(QImage::Format_Indexed8, width), height);
}

QImage decodeRaw(QByteArrayView data, int width, int height, QImage::Format format)
{
    return decodeToImage(width, height, format,
                         [&](uchar* rows) { decodeRawInto(data, rows, width, height, format); });
}

QImage decodeRle8(QByteArrayView data, int width, int height, QImage::Format format)
{
    return decodeToImage(width, height, format,
                         [&](uchar* rows) { decodeRle8Into(data, rows, width, height, format); });
}

QImage decodeRle5(QByteArrayView data, int width, int height)
{
    return decodeToImage(width, height, QImage::Format_Indexed8,
                         [&](uchar* rows) { decodeRle5Into(data, rows, width, height); });
}

QImage decodeLz5(QByteArrayView data, int width, int height)
{
    return decodeToImage(width, height, QImage::Format_Indexed8,
                         [&](uchar* rows) { decodeLz5Into(data, rows, width, height); });
}

bool fitsFiveBits(QByteArrayView pixels)
{
    uchar any = 0;
    for (char c : pixels)
        any |= uchar(c);
    return (any & 0xE0) == 0;
}

QByteArray encodeRle8Packed(QByteArrayView packed)
{
    const uchar* p = reinterpret_cast<const uchar*>(packed.data());
    const qsizetype n = packed.size();
    QByteArray out;
    out.reserve(4 + n / 2);
    LeWriter w(&out);
    w.u32(quint32(n));
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        qsizetype run = 1;
        while (run < 63 && i + run < n && p[i + run] == c)
            ++run;
        if (run > 1 || (c & 0xC0) == 0x40)
            w.u8(quint8(0x40 + run));
        w.u8(c);
        i += run;
    }
    return out;
}

QByteArray encodeRle8(const QImage& image)
{
    return encodeRle8Packed(packedPixels(image));
}

namespace {
struct Lz5Packet {
    bool lz;
    quint16 length; // pixels
    quint16 distance; // LZ only
    uchar colour; // RLE only
    bool isShortLz() const { return lz && length <= 64 && distance <= 256; }
};
} // namespace

QByteArray encodeLz5Packed(QByteArrayView packed, bool fullLz5)
{
    const uchar* px = reinterpret_cast<const uchar*>(packed.data());
    const qsizetype n = packed.size();

    QList<Lz5Packet> packets;
    {
        Lz5MatchFinder finder(fullLz5 ? packed : QByteArrayView());
        for (qsizetype p = 0; p < n;) {
            if (fullLz5) {
                const Lz5Match m = finder.find(p);
                if (m.length > 0) {
                    packets.append({true, quint16(m.length), quint16(m.distance), 0});
                    p += m.length;
                    continue;
                }
            }
            const uchar c = px[p];
            qsizetype count = 1;
            while (count < 263 && p + count < n && px[p + count] == c)
                ++count;
            packets.append({false, quint16(count), 0, uchar(c & 0x1F)});
            p += count;
        }
    }

    // Short LZ packets go in fours: the fourth one's offset travels in the top
    // bits of the four length bytes. A four exists only when all four packets
    // do; the last one to three packets write their offsets in full.
    qsizetype shortTotal = 0;
    for (const Lz5Packet& k : packets)
        shortTotal += k.isShortLz() ? 1 : 0;

    QByteArray out;
    out.reserve(4 + n / 4);
    LeWriter w(&out);
    w.u32(quint32(n));
    qsizetype shortSeen = 0;
    uchar fourthOffset = 0;
    bool inFour = false;
    qsizetype controlAt = 0;
    for (qsizetype i = 0; i < packets.size(); ++i) {
        if (i % 8 == 0) {
            controlAt = out.size();
            w.u8(0);
        }
        const Lz5Packet& k = packets[i];
        if (!k.lz) {
            if (k.length <= 7) {
                w.u8(quint8(k.length << 5 | k.colour));
            } else {
                w.u8(k.colour);
                w.u8(quint8(k.length - 8));
            }
            continue;
        }
        out[controlAt] = char(uchar(out[controlAt]) | (1 << (i % 8)));
        const int v = k.distance - 1;
        if (!k.isShortLz()) {
            w.u8(quint8((v >> 2) & 0xC0));
            w.u8(quint8(v & 0xFF));
            w.u8(quint8(k.length - 3));
            continue;
        }
        const qsizetype place = shortSeen % 4;
        if (place == 0) {
            inFour = shortSeen + 4 <= shortTotal;
            if (inFour) {
                // Find the fourth short LZ packet from here for its offset.
                qsizetype found = 0;
                for (qsizetype j = i + 1; j < packets.size(); ++j) {
                    if (packets[j].isShortLz() && ++found == 3) {
                        fourthOffset = uchar(packets[j].distance - 1);
                        break;
                    }
                }
            }
        }
        ++shortSeen;
        uchar top = 0;
        if (inFour)
            top = uchar(((fourthOffset >> (6 - 2 * place)) & 3) << 6);
        w.u8(quint8(top | (k.length - 1)));
        if (!inFour || place < 3)
            w.u8(quint8(v));
    }
    return out;
}

QByteArray encodeLz5(const QImage& image, bool fullLz5)
{
    if (image.format() != QImage::Format_Indexed8)
        return encodeLz5Packed(packedPixels(image.convertToFormat(QImage::Format_Indexed8)), fullLz5);
    return encodeLz5Packed(packedPixels(image), fullLz5);
}

#include "gifwriter.h"

#include "binaryio.h"

#include <QIODevice>

#include <cstring>

namespace {

constexpr int HashSize = 5003;
constexpr int MaxBits = 12;
constexpr int MaxMaxCode = 1 << MaxBits; // 4096: codes never reach it

// The classic GIF compressor: a prefix code and the next pixel looked up in a
// hash table with a double-hashing probe.
class LzwEncoder
{
public:
    explicit LzwEncoder(QByteArray& out) : out(out)
    {
        std::memset(codes, 0, sizeof codes);
        output(clearCode);
    }

    void pixel(int c)
    {
        if (first) {
            ent = c;
            first = false;
            return;
        }
        const quint32 key = (quint32(ent) << 8) | quint32(c);
        int h = (c << 4) + ent;
        if (h > HashSize - 1)
            h -= HashSize;
        if (codes[h] != 0) {
            if (keys[h] == key) {
                ent = codes[h];
                return;
            }
            const int d = h == 0 ? 1 : HashSize - h;
            for (;;) {
                h -= d;
                if (h < 0)
                    h += HashSize;
                if (codes[h] == 0)
                    break;
                if (keys[h] == key) {
                    ent = codes[h];
                    return;
                }
            }
        }
        output(ent);
        if (freeEntry > MaxMaxCode - 1) {
            // Every code is given out: start afresh with 9 bits.
            std::memset(codes, 0, sizeof codes);
            freeEntry = clearCode + 2;
            output(clearCode);
            nBits = InitBits;
            maxCode = (1 << nBits) - 1;
        } else {
            codes[h] = quint16(freeEntry++);
            keys[h] = key;
        }
        ent = c;
    }

    void finish()
    {
        if (!first)
            output(ent);
        output(eoiCode);
        if (bits > 0)
            emitByte(quint8(accumulator & 0xFF));
        flushBlock();
    }

private:
    static constexpr int InitBits = 9;
    const int clearCode = 1 << (InitBits - 1);
    const int eoiCode = clearCode + 1;

    void output(int code)
    {
        accumulator |= quint32(code) << bits;
        bits += nBits;
        while (bits >= 8) {
            emitByte(quint8(accumulator & 0xFF));
            accumulator >>= 8;
            bits -= 8;
        }
        if (freeEntry > maxCode && nBits < MaxBits) {
            ++nBits;
            maxCode = nBits == MaxBits ? MaxMaxCode : (1 << nBits) - 1;
        }
    }

    void emitByte(quint8 b)
    {
        block[blockSize++] = char(b);
        if (blockSize == 255)
            flushBlock();
    }

    void flushBlock()
    {
        if (blockSize == 0)
            return;
        out.append(char(blockSize));
        out.append(block, blockSize);
        blockSize = 0;
    }

    QByteArray& out;
    int nBits = InitBits;
    int maxCode = (1 << InitBits) - 1;
    int freeEntry = (1 << (InitBits - 1)) + 2;
    quint32 accumulator = 0;
    int bits = 0;
    int ent = 0;
    bool first = true;
    quint16 codes[HashSize];
    quint32 keys[HashSize] = {};
    char block[255];
    int blockSize = 0;
};

} // namespace

QList<QRgb> GifWriter::tableOf(const QList<QRgb>& palette)
{
    if (palette.isEmpty())
        return {};
    QList<QRgb> full = palette.mid(0, 256);
    const QRgb last = full.last();
    while (full.size() < 256)
        full.append(last);
    return full;
}

void GifWriter::writeTable(QByteArray& out, const QList<QRgb>& colours, QRgb fill)
{
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < colours.size() ? colours[i] : fill;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
}

void GifWriter::writePixels(QByteArray& out, const QImage& image)
{
    out.append(char(8)); // LZW minimum code size
    LzwEncoder lzw(out);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            lzw.pixel(row[x]);
    }
    lzw.finish();
    out.append(char(0)); // block terminator
}

QByteArray GifWriter::bytes() const
{
    QByteArray out("GIF89a");
    LeWriter w(&out);
    w.u16(width);
    w.u16(height);
    w.u8(globalColours.isEmpty() ? 0x77 : 0xF7);
    w.u8(0);
    w.u8(0);
    if (!globalColours.isEmpty())
        writeTable(out, globalColours, globalColours.last());
    for (const GifFrame& f : frames) {
        const QImage image = f.image.format() == QImage::Format_Indexed8 ? f.image
                                                                          : f.image.convertToFormat(QImage::Format_Indexed8);
        for (quint8 b : {0x21, 0xF9, 0x04, 0x0D})
            w.u8(b);
        w.u16(f.delay);
        w.u8(0);
        w.u8(0);
        if (f.loopExtension) {
            for (quint8 b : {0x21, 0xFF, 0x0B})
                w.u8(b);
            w.bytes("NETSCAPE2.0");
            for (quint8 b : {0x03, 0x01, 0x00, 0x00, 0x00})
                w.u8(b);
        }
        w.u8(0x2C);
        w.u16(f.left);
        w.u16(f.top);
        w.u16(quint16(image.width()));
        w.u16(quint16(image.height()));
        w.u8(f.colours.isEmpty() ? 0x00 : 0x87);
        if (!f.colours.isEmpty())
            writeTable(out, f.colours, f.colours.last());
        writePixels(out, image);
    }
    w.u8(0x3B);
    return out;
}

bool GifWriter::write(QIODevice* device) const
{
    const QByteArray b = bytes();
    return device->write(b) == b.size();
}

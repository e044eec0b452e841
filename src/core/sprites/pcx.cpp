#include "pcx.h"

#include "binaryio.h"
#include "savefile.h"

#include <QSaveFile>

#include <cstring>

namespace {
constexpr int HeaderSize = 128;
constexpr uchar PaletteMarker = 12;
// A header may claim an image of gigabytes over a few bytes of data. Every
// pair of encoded bytes gives at most 63 pixel bytes, so an image much larger
// than that is no image at all; small ones are allowed whatever their data.
constexpr qsizetype FreeImageBytes = 16 << 20;
constexpr qsizetype MaxExpansion = 64;

int bytesPerPixel(QImage::Format format)
{
    return format == QImage::Format_RGB888 ? 3 : format == QImage::Format_ARGB32 ? 4 : 1;
}


struct PcxHeader {
    int bitsPerPixel = 0;
    int planes = 0;
    int bytesPerLine = 0;
    int width = 0;
    int height = 0;
    QImage::Format format = QImage::Format_Invalid;
    qsizetype imageBytes = 0;
};

// The header's facts, or false when readPcx rejects the file.
bool readHeader(QByteArrayView file, PcxHeader& h)
{
    if (file.size() < HeaderSize)
        return false;
    LeReader r(file);
    const quint8 manufacturer = r.u8();
    const quint8 version = r.u8();
    r.skip(1); // encoding
    h.bitsPerPixel = r.u8();
    const int xMin = r.u16();
    const int yMin = r.u16();
    const int xMax = r.u16();
    const int yMax = r.u16();
    r.seek(65);
    h.planes = r.u8();
    h.bytesPerLine = r.u16();
    if (manufacturer != 10 || version != 5)
        return false;
    switch ((h.bitsPerPixel * h.planes) & 0xFF) {
    case 5:
    case 8: h.format = QImage::Format_Indexed8; break;
    case 24: h.format = QImage::Format_RGB888; break;
    case 32: h.format = QImage::Format_ARGB32; break;
    default: return false;
    }
    h.width = xMax + 1 - xMin;
    h.height = yMax + 1 - yMin;
    if (h.width <= 0 || h.height <= 0)
        return false;
    const qsizetype lineBytes = qsizetype(h.width) * bytesPerPixel(h.format);
    h.imageBytes = ((lineBytes + 3) & ~3) * h.height;
    return h.imageBytes <= FreeImageBytes || h.imageBytes / MaxExpansion <= file.size();
}
} // namespace

qsizetype pcxImageBytes(QByteArrayView file)
{
    PcxHeader h;
    return readHeader(file, h) ? h.imageBytes : 0;
}

QImage readPcx(QByteArrayView file)
{
    PcxHeader h;
    if (!readHeader(file, h))
        return QImage();
    const int width = h.width;
    const int height = h.height;
    const int planes = h.planes;
    const int bytesPerLine = h.bytesPerLine;
    const int bitsPerPixel = h.bitsPerPixel;
    const QImage::Format format = h.format;
    const int pixelBytes = bytesPerPixel(format);
    const qsizetype lineBytes = qsizetype(width) * pixelBytes;

    QImage image(width, height, format);
    if (image.isNull())
        return QImage();
    image.fill(0);

    const uchar* p = reinterpret_cast<const uchar*>(file.data()) + HeaderSize;
    const uchar* end = reinterpret_cast<const uchar*>(file.data()) + file.size();
    const bool bytePlanes = planes == 1 && pixelBytes == 1;
    bool complete = true;
    for (int y = 0; y < height && complete; ++y) {
        uchar* row = image.scanLine(y);
        for (int plane = 0; plane < planes && complete; ++plane) {
            for (int x = 0; x < bytesPerLine;) {
                if (p >= end) {
                    complete = false;
                    break;
                }
                uchar value = *p++;
                int count = 1;
                if (value > 0xBF) {
                    if (p >= end) {
                        complete = false;
                        break;
                    }
                    count = value & 0x3F;
                    value = *p++;
                }
                count = qMin(count, bytesPerLine - x);
                if (bytePlanes) {
                    if (x < width)
                        std::memset(row + x, value, size_t(qMin(count, width - x)));
                } else {
                    // Plane p of column x is byte p of that pixel; planes beyond
                    // the pixel's bytes have nowhere to go.
                    for (int i = 0; i < count && x + i < width; ++i) {
                        const qsizetype at = plane + qsizetype(x + i) * planes;
                        if (at < lineBytes)
                            row[at] = value;
                    }
                }
                x += count;
            }
        }
    }

    // The palette follows the last encoded line, whatever lies after it.
    if (complete && format == QImage::Format_Indexed8 && ((bitsPerPixel * planes) & 0xFF) == 8
        && p < end && *p++ == PaletteMarker && p < end) {
        LeReader colours(QByteArrayView(p, end - p));
        QList<QRgb> table(256);
        for (QRgb& c : table) {
            const int red = colours.u8();
            const int green = colours.u8();
            const int blue = colours.u8();
            c = qRgb(red, green, blue);
        }
        image.setColorTable(table);
    }
    return image;
}

namespace {
// One encoded line: runs of up to 63, a marker also for single bytes that
// would read as markers themselves.
void encodeLine(const uchar* line, int length, QByteArray& out)
{
    for (int i = 0; i < length;) {
        const uchar c = line[i];
        int run = 1;
        while (run < 63 && i + run < length && line[i + run] == c)
            ++run;
        if (run > 1 || c >= 0xC0)
            out.append(char(0xC0 + run));
        out.append(char(c));
        i += run;
    }
}
} // namespace

QByteArray encodePcx(const QImage& source)
{
    if (source.isNull())
        return QByteArray();
    QImage image = source;
    switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_RGB888:
    case QImage::Format_ARGB32:
        break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image = image.convertToFormat(QImage::Format_Indexed8);
        break;
    default:
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888);
        break;
    }
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const int width = image.width();
    const int height = image.height();
    const int planes = bytesPerPixel(image.format());
    // 8-bit lines are the image's whole padded row; plane lines of colour
    // images are the width rounded up to an even count, as other readers expect.
    const int bytesPerLine = indexed ? image.bytesPerLine() : (width + 1) & ~1;

    QByteArray out;
    out.reserve(HeaderSize + qsizetype(bytesPerLine) * planes * height / 2 + 769);
    LeWriter w(&out);
    w.u8(10);
    w.u8(5);
    w.u8(1);
    w.u8(8);
    w.u16(0);
    w.u16(0);
    w.u16(quint16(width - 1));
    w.u16(quint16(height - 1));
    w.u16(0);
    w.u16(0);
    w.zeros(48);
    w.u8(0);
    w.u8(quint8(planes));
    w.u16(quint16(bytesPerLine));
    w.u16(1);
    w.zeros(58);

    QByteArray line(bytesPerLine, '\0');
    uchar* l = reinterpret_cast<uchar*>(line.data());
    for (int y = 0; y < height; ++y) {
        const uchar* row = image.constScanLine(y);
        for (int plane = 0; plane < planes; ++plane) {
            // Padding is written as zeros rather than whatever the image's
            // memory holds, so the same image always gives the same file.
            line.fill('\0');
            if (indexed) {
                std::memcpy(l, row, size_t(width));
            } else {
                for (int x = 0; x < width; ++x)
                    l[x] = row[qsizetype(x) * planes + plane];
            }
            encodeLine(l, bytesPerLine, out);
        }
    }
    if (indexed) {
        w.u8(PaletteMarker);
        const QList<QRgb> table = image.colorTable();
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            w.u8(quint8(qRed(c)));
            w.u8(quint8(qGreen(c)));
            w.u8(quint8(qBlue(c)));
        }
    }
    return out;
}

bool writePcx(const QImage& image, const QString& fileName)
{
    const QByteArray bytes = encodePcx(image);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

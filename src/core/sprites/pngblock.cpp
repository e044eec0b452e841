#include "pngblock.h"

#include "binaryio.h"
#include "colourreduction.h"
#include "spritecodecs.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

namespace {

constexpr char Signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
constexpr qsizetype LengthWord = 4;
// PNG chunk lengths are at most 2^31 - 1.
constexpr quint32 MaxChunk = 0x7FFFFFFFu;

quint32 bigEndian(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | quint32(u[3]);
}

// The PNG's pixels in the sprite's format. Indices stay indices: a paletted
// PNG of fewer bits per pixel is widened, a grey one is read as indices, and
// only a colour PNG in an indexed sprite goes through colour reduction.
QImage inFormat(const QImage& png, QImage::Format format)
{
    if (format != QImage::Format_Indexed8)
        return png.convertToFormat(format);
    switch (png.format()) {
    case QImage::Format_Indexed8:
        return png;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return png.convertToFormat(QImage::Format_Indexed8);
    case QImage::Format_Grayscale8: {
        QImage indexed(png.size(), QImage::Format_Indexed8);
        for (int y = 0; y < png.height(); ++y)
            std::memcpy(indexed.scanLine(y), png.constScanLine(y), size_t(png.width()));
        return indexed;
    }
    default:
        return toIndexed8(png);
    }
}

} // namespace

PngFacts checkPngBlock(QByteArrayView block)
{
    PngFacts facts;
    const qsizetype size = block.size();
    if (size < LengthWord + qsizetype(sizeof Signature)
        || std::memcmp(block.data() + LengthWord, Signature, sizeof Signature) != 0)
        return facts;
    qsizetype pos = LengthWord + qsizetype(sizeof Signature);
    // The image header comes first and has 13 bytes.
    if (pos + 8 + 13 > size) {
        facts.status = PngFacts::Truncated;
        return facts;
    }
    if (bigEndian(block.data() + pos) != 13 || std::memcmp(block.data() + pos + 4, "IHDR", 4) != 0)
        return facts;
    const char* ihdr = block.data() + pos + 8;
    facts.width = bigEndian(ihdr);
    facts.height = bigEndian(ihdr + 4);
    facts.bitDepth = uchar(ihdr[8]);
    facts.colourType = uchar(ihdr[9]);
    if (facts.width == 0 || facts.height == 0 || facts.width > MaxChunk || facts.height > MaxChunk)
        return facts;
    // Every chunk: length, type, data, checksum.
    facts.status = PngFacts::Truncated;
    while (pos + 8 <= size) {
        const quint32 length = bigEndian(block.data() + pos);
        if (length > MaxChunk) {
            facts.status = PngFacts::NotPng;
            return facts;
        }
        const qsizetype end = pos + 12 + qsizetype(length);
        if (end > size)
            return facts;
        if (std::memcmp(block.data() + pos + 4, "IEND", 4) == 0) {
            facts.status = PngFacts::Ok;
            return facts;
        }
        pos = end;
    }
    return facts;
}

bool decodePngInto(QByteArrayView block, uchar* rows, int width, int height, QImage::Format format)
{
    const int lineBytes = spriteLineBytes(format, width);
    if (lineBytes <= 0 || height <= 0)
        return false;
    const PngFacts facts = checkPngBlock(block);
    if (facts.status != PngFacts::Ok || facts.width > quint32(width) || facts.height > quint32(height))
        return false;
    QByteArray bytes = QByteArray::fromRawData(block.data() + LengthWord, block.size() - LengthWord);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage png = reader.read();
    if (png.isNull() || png.width() > width || png.height() > height)
        return false;
    png = inFormat(png, format);
    if (png.isNull())
        return false;
    const int stride = spriteRowStride(format, width);
    const size_t copy = size_t(spriteLineBytes(format, png.width()));
    for (int y = 0; y < png.height(); ++y)
        std::memcpy(rows + qsizetype(y) * stride, png.constScanLine(y), copy);
    return true;
}

QByteArray encodePngBlock(const QImage& image)
{
    const int lineBytes = spriteLineBytes(image.format(), image.width());
    if (image.isNull() || lineBytes == 0)
        return QByteArray();
    QByteArray block;
    LeWriter(&block).u32(quint32(qsizetype(lineBytes) * image.height()));
    QBuffer buffer(&block);
    buffer.open(QIODevice::WriteOnly | QIODevice::Append);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return QByteArray();
    return block;
}

#include "spriteimages.h"

#include "colourreduction.h"
#include "fileread.h"
#include "pcx.h"
#include "spritecodecs.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {
constexpr int PaletteSize = 768;
}

QImage readImageFile(const QString& fileName)
{
    QByteArray bytes;
    if (!readFileBytes(fileName, ArchiveFileLimit, &bytes, nullptr))
        return QImage();
    if (QFileInfo(fileName).suffix() == QLatin1String("pcx"))
        return readPcx(bytes);
    QImage image;
    image.loadFromData(bytes, QFileInfo(fileName).suffix().toLatin1().constData());
    if (image.isNull())
        image.loadFromData(bytes);
    return image;
}

bool writeImageFile(const QImage& image, const QString& fileName)
{
    if (image.isNull())
        return false;
    if (QFileInfo(fileName).suffix() == QLatin1String("pcx"))
        return writePcx(image, fileName);
    return image.save(fileName);
}

SpriteImage spriteImageOf(const QImage& image, bool keepTrueColour)
{
    SpriteImage s;
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return s;
    // Palette images and grey ones have 256 colours at most: they stay indexed.
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
    if (keepTrueColour && image.depth() > 8 && !grey) {
        const QImage colour =
            image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888);
        s.rows = rowsOfImage(colour);
        s.width = quint16(colour.width());
        s.height = quint16(colour.height());
        s.format = colour.format();
        return s;
    }
    const QImage indexed = toIndexed8(image);
    s.rows = rowsOfImage(indexed);
    s.width = quint16(indexed.width());
    s.height = quint16(indexed.height());
    s.format = QImage::Format_Indexed8;
    s.colours = coloursOfTable(indexed.colorTable());
    return s;
}

QByteArray rowsOfImage(const QImage& image)
{
    const int lineBytes = spriteLineBytes(image.format(), image.width());
    const int stride = spriteRowStride(image.format(), image.width());
    QByteArray rows(qsizetype(stride) * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(rows.data() + qsizetype(y) * stride, image.constScanLine(y), size_t(lineBytes));
    return rows;
}

QImage imageOfRows(const QByteArray& rows, int width, int height, QImage::Format format)
{
    const int lineBytes = spriteLineBytes(format, width);
    const int stride = spriteRowStride(format, width);
    if (lineBytes == 0 || height == 0 || rows.size() < qsizetype(stride) * height)
        return QImage();
    QImage image(width, height, format);
    if (image.isNull())
        return QImage();
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), rows.constData() + qsizetype(y) * stride, size_t(lineBytes));
    return image;
}

QByteArray coloursOfTable(const QList<QRgb>& table)
{
    QByteArray c(PaletteSize, '\0');
    for (int i = 0; i < 256 && i < table.size(); ++i) {
        c[3 * i] = char(qRed(table[i]));
        c[3 * i + 1] = char(qGreen(table[i]));
        c[3 * i + 2] = char(qBlue(table[i]));
    }
    return c;
}

QList<QRgb> tableOfColours(const QByteArray& colours)
{
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const uchar* c = reinterpret_cast<const uchar*>(colours.constData());
    for (int i = 0; i < 256 && 3 * i + 2 < colours.size(); ++i)
        table[i] = qRgb(c[3 * i], c[3 * i + 1], c[3 * i + 2]);
    return table;
}

#ifndef SPRITEIMAGES_H
#define SPRITEIMAGES_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Images coming into the archive and going out of it, and the conversions
// between an image and what a sprite record keeps.

// An image as a sprite stores it: rows in QImage's row layout (8-bit indexed,
// or RGB888 / ARGB32 for true colour), its size, and for an indexed image the
// colours of its table as palette bytes.
struct SpriteImage
{
    QByteArray rows;
    quint16 width = 0;
    quint16 height = 0;
    QImage::Format format = QImage::Format_Invalid;
    QByteArray colours;
    bool isNull() const { return format == QImage::Format_Invalid; }
    bool isTrueColour() const { return format == QImage::Format_RGB888 || format == QImage::Format_ARGB32; }
};

// Reads an image file: .pcx through the PCX reader, anything else through
// Qt's readers. A null image when it cannot be read.
QImage readImageFile(const QString& fileName);
// Writes .pcx through the PCX writer, anything else through Qt's writers,
// which choose the format from the suffix.
bool writeImageFile(const QImage& image, const QString& fileName);

// Reduces the image to 8 bits first, then takes its colour table: a
// true-colour image has no table of its own, and its sprite must be drawn with
// the reduced one. With `keepTrueColour` (archives of version 2.01) an image of
// more than 8 bits per pixel stays as it is instead: ARGB32 when it has an
// alpha channel, else RGB888, and no colours. Null for a null image or one
// larger than 65535 pixels.
SpriteImage spriteImageOf(const QImage& image, bool keepTrueColour = false);

// An image's rows as a sprite keeps them, and back.
QByteArray rowsOfImage(const QImage& image);
QImage imageOfRows(const QByteArray& rows, int width, int height, QImage::Format format);
// An image's colour table as palette bytes (entries it lacks are black), and back.
QByteArray coloursOfTable(const QList<QRgb>& table);
QList<QRgb> tableOfColours(const QByteArray& colours);

#endif

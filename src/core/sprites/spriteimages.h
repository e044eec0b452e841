#ifndef SPRITEIMAGES_H
#define SPRITEIMAGES_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Images coming into the archive and going out of it, and the conversions
// between an image and what a sprite record keeps.

// An image as a sprite stores it: 8-bit indexed rows (QImage's row layout),
// its size, and the colours of its table as palette bytes.
struct SpriteImage
{
    QByteArray rows;
    quint16 width = 0;
    quint16 height = 0;
    QImage::Format format = QImage::Format_Invalid;
    QByteArray colours;
    bool isNull() const { return format == QImage::Format_Invalid; }
};

// Reads an image file: .pcx through the PCX reader, anything else through
// Qt's readers. A null image when it cannot be read.
QImage readImageFile(const QString& fileName);
// Writes .pcx through the PCX writer, anything else through Qt's writers,
// which choose the format from the suffix.
bool writeImageFile(const QImage& image, const QString& fileName);

// Reduces the image to 8 bits first, then takes its colour table: a
// true-colour image has no table of its own, and its sprite must be drawn with
// the reduced one. Null for a null image or one larger than 65535 pixels.
SpriteImage spriteImageOf(const QImage& image);

// An image's rows as a sprite keeps them, and back.
QByteArray rowsOfImage(const QImage& image);
QImage imageOfRows(const QByteArray& rows, int width, int height, QImage::Format format);
// An image's colour table as palette bytes (entries it lacks are black), and back.
QByteArray coloursOfTable(const QList<QRgb>& table);
QList<QRgb> tableOfColours(const QByteArray& colours);

#endif

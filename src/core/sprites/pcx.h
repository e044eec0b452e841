#ifndef PCX_H
#define PCX_H

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

// The PCX images inside version 1 sprite archives, and single sprites imported
// and exported as .pcx files.
//
// 8 (or 5) bits per pixel read as 8-bit indexed, 24 as RGB888, 32 as ARGB32
// with the planes of a pixel in its memory byte order. Anything else, a wrong
// manufacturer or version byte, or an image far larger than its data could
// ever fill, gives a null image.
QImage readPcx(QByteArrayView file);
// The bytes readPcx would allocate for the file's image (rows padded to 4
// bytes), read from its header alone; 0 when the file would be rejected.
qsizetype pcxImageBytes(QByteArrayView file);

// Encodes an image as a PCX file: 8-bit indexed images with their 256-colour
// palette; RGB888 as three planes, ARGB32 as four (memory byte order), other
// formats converted to one of those.
QByteArray encodePcx(const QImage& image);
// Writes encodePcx(image) to the file; false when it cannot be written.
bool writePcx(const QImage& image, const QString& fileName);

#endif

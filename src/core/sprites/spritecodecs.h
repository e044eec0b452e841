#ifndef SPRITECODECS_H
#define SPRITECODECS_H

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// The pixel encodings of version 2 sprite archives: raw, RLE8, RLE5 and LZ5.
//
// An encoded block starts with a 32-bit little-endian count of the pixel bytes
// it decodes to (rows packed, no padding); decoders skip it, encoders write it.
// Decoders never read outside their input nor write outside the image: data
// that runs short leaves the remaining pixels 0, data that would write past
// the image (or copy from before its start) ends decoding.

// Format codes of sprite nodes, and the two kinds of sprite bytes that are
// not a version 2 block: a version 1 subfile's PCX image, and plain image rows.
enum SpriteDataFormat : quint16 {
    SpriteRaw = 0,
    SpriteLinked = 1,
    SpriteRle8 = 2,
    SpriteRle5 = 3,
    SpriteLz5 = 4,
    SpritePng8 = 10,  // 8-bit indexed, drawn through the palette the sprite names
    SpritePng24 = 11,
    SpritePng32 = 12, // with alpha
    SpritePcx = 0x100,
    SpriteRows = 0x101,
};

// Packed bytes of one row of an image of this format (0 for formats sprites never use).
int spriteLineBytes(QImage::Format format, int width);
// The same row as an image lays it out: padded to a multiple of 4 bytes.
int spriteRowStride(QImage::Format format, int width);

QImage decodeRaw(QByteArrayView data, int width, int height, QImage::Format format);
QImage decodeRle8(QByteArrayView data, int width, int height, QImage::Format format);
QImage decodeRle5(QByteArrayView data, int width, int height);
QImage decodeLz5(QByteArrayView data, int width, int height);
QByteArray encodeRle8(const QImage& image);
// LZ5 carries 5-bit colours: pixel values of 32 or more lose their top bits,
// so callers use it only for sprites whose every index is below 32.
QByteArray encodeLz5(const QImage& image, bool fullLz5);

// The decoders above, writing straight into `rows` (height rows of the row
// stride; the bytes must be zero beforehand). `rows` must hold
// spriteRowStride(format, width) * height bytes.
void decodeRawInto(QByteArrayView data, uchar* rows, int width, int height, QImage::Format format);
void decodeRle8Into(QByteArrayView data, uchar* rows, int width, int height, QImage::Format format);
void decodeRle5Into(QByteArrayView data, uchar* rows, int width, int height);
void decodeLz5Into(QByteArrayView data, uchar* rows, int width, int height);

// The encoders on packed pixels (`packed` holds exactly the pixel bytes).
QByteArray encodeRle8Packed(QByteArrayView packed);
QByteArray encodeLz5Packed(QByteArrayView packed, bool fullLz5);

// True when every byte is below 32: the pixels fit the 5-bit colours of LZ5.
bool fitsFiveBits(QByteArrayView pixels);

#endif

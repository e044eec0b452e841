#ifndef PNGBLOCK_H
#define PNGBLOCK_H

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// PNG sprite data of version 2 archives (formats 10, 11 and 12): a 32-bit
// little-endian length word, then a whole PNG file. Format 10 holds 8-bit
// palette indices, drawn through the archive palette the sprite names (the
// PNG's own palette is not used); 11 holds 24-bit colour, 12 32-bit colour
// with alpha.

struct PngFacts
{
    enum Status { Ok, NotPng, Truncated };
    Status status = NotPng;
    quint32 width = 0;  // from the image header
    quint32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// Looks at the PNG's chunk layout only (no inflating, no checksums): the
// signature, an image header first, every chunk inside the block, and the
// end chunk. Cheap enough to run on every sprite while an archive loads.
PngFacts checkPngBlock(QByteArrayView block);

// Decodes the block into `rows`, an image of `width` x `height` in `format`
// laid out as sprites keep it (rows padded to 4 bytes; zero beforehand). A
// PNG smaller than the sprite fills its top left corner. False, with `rows`
// left as they were, when the data is not a PNG, is damaged, or holds an
// image larger than the sprite: no allocation follows a size only the PNG
// claims.
bool decodePngInto(QByteArrayView block, uchar* rows, int width, int height, QImage::Format format);

// The block of an image: Indexed8 as an 8-bit paletted PNG (its colour table),
// RGB888 as 24-bit, ARGB32 as 32-bit with alpha. The length word counts the
// pixel bytes (width x height x bytes per pixel). Empty for other formats.
QByteArray encodePngBlock(const QImage& image);

#endif

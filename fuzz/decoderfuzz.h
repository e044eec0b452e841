// The input shape the sprite decoder targets share: two little-endian 16-bit
// words give a size of up to 512 x 512 pixels, a fifth byte may choose a
// pixel layout, then the rest is the data.
// A decoder must give an image exactly when the size is not empty.
#pragma once

#include <QByteArrayView>
#include <QImage>

#include <cstddef>
#include <cstdint>

template <class Decode>
int fuzzDecoder(const uint8_t* data, size_t size, Decode decode)
{
    constexpr size_t header = 5; // the size, and a byte some decoders use for their layout
    if (size < header)
        return 0;
    const int width = (data[0] | data[1] << 8) % 513;
    const int height = (data[2] | data[3] << 8) % 513;
    const QByteArrayView body(reinterpret_cast<const char*>(data) + header, qsizetype(size - header));
    const QImage image = decode(body, width, height);
    if ((width == 0 || height == 0) != image.isNull())
        __builtin_trap();
    return 0;
}

// The three pixel layouts raw and RLE8 data can be decoded into, chosen by
// the fifth byte of the input.
inline QImage::Format fuzzedFormat(const uint8_t* data)
{
    static const QImage::Format formats[3] = {QImage::Format_Indexed8, QImage::Format_RGB888, QImage::Format_ARGB32};
    return formats[data[4] % 3];
}

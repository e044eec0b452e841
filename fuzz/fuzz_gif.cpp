// The GIF writer on random small indexed images and palettes: whatever it is
// given, Qt's own GIF reader must read every image back with its pixels.
#include "gifwriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The GIF reader is a plugin: it needs an application to be found.
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Each image: width and height (1 to 300), the number of colours it uses
    // (its pixels are the following bytes, repeated), then its table.
    size_t pos = 0;
    auto next = [&]() -> uint8_t { return pos < size ? data[pos++] : 0; };
    const int images = 1 + next() % 3;
    QList<QImage> source;
    GifWriter gif(1, 1);
    for (int i = 0; i < images; ++i) {
        const int w = 1 + (next() | (next() << 8)) % 300;
        const int h = 1 + (next() | (next() << 8)) % 300;
        const int colours = 1 + next();
        QImage image(w, h, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int c = 0; c < 256; ++c)
            table.append(qRgb(next(), next(), next()));
        image.setColorTable(table);
        const size_t from = pos;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t at = size > from ? from + size_t(y * w + x) % (size - from) : 0;
                image.scanLine(y)[x] = uchar(at < size ? data[at] % colours : 0);
            }
        GifFrame f;
        f.image = image;
        f.colours = GifWriter::tableOf(table);
        f.delay = 2;
        f.loopExtension = i == 0;
        gif.frames.append(f);
        gif.width = quint16(qMax<int>(gif.width, w));
        gif.height = quint16(qMax<int>(gif.height, h));
        source.append(image);
    }
    QBuffer buffer;
    buffer.setData(gif.bytes());
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    for (const QImage& image : source) {
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (read.isNull())
            abort();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                // Index 0 is transparent; every other index is its colour.
                const int index = image.pixelIndex(x, y);
                const QRgb got = read.pixel(x, y);
                if (index == 0 ? qAlpha(got) != 0 : got != (image.color(index) | 0xFF000000))
                    abort();
            }
    }
    return 0;
}

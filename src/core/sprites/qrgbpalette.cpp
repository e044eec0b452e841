#include "qrgbpalette.h"

#include "qsprites.h"

#include <algorithm>
#include <cstring>
#include <utility>

QRGBPalette::QRGBPalette(uchar* buffer) : data(buffer)
{
}

void QRGBPalette::setBuffer(uchar* buffer)
{
    data = buffer;
}

QByteArray QRGBPalette::getAll() const
{
    return QByteArray(reinterpret_cast<const char*>(data), PaletteBytes);
}

void QRGBPalette::setAll(const QByteArray& colours)
{
    emit changing();
    const int n = int(qMin<qsizetype>(colours.size(), PaletteBytes));
    std::memcpy(data, colours.constData(), size_t(n));
    std::memset(data + n, 0, size_t(PaletteBytes - n));
    emit changed();
}

void QRGBPalette::setColour(uchar index, const QColor& colour)
{
    emit changing();
    uchar* c = data + 3 * index;
    c[0] = uchar(colour.red());
    c[1] = uchar(colour.green());
    c[2] = uchar(colour.blue());
    emit changed();
}

QColor QRGBPalette::colour(uchar index) const
{
    const uchar* c = data + 3 * index;
    return QColor(c[0], c[1], c[2]);
}

void QRGBPalette::clear()
{
    std::memset(data, 0, PaletteBytes);
}

void QRGBPalette::reverseSelected(const bool* mask)
{
    emit changing();
    const auto selected = [mask](int i) { return !mask || mask[i]; };
    int low = 0;
    int high = 255;
    for (;;) {
        while (low < 255 && !selected(low))
            ++low;
        if (low >= 255)
            break;
        while (high > 1 && !selected(high))
            --high;
        if (high == 0 || high <= low)
            break;
        // An entry that is not selected at the bottom of the scan (high
        // stopped at 1) must not be swapped.
        if (!selected(high))
            break;
        std::swap_ranges(data + 3 * low, data + 3 * low + 3, data + 3 * high);
        --high;
        ++low;
    }
    emit changed();
}

void QRGBPalette::applyEffect(PaletteEffect effect, const bool* mask)
{
    emit changing();
    if (effect > PaletteEffect::NoEffect && effect <= PaletteEffect::Stone) {
        for (int i = 0; i < 256; ++i) {
            if (mask && !mask[i])
                continue;
            uchar* c = data + 3 * i;
            const int r = c[0];
            const int g = c[1];
            const int b = c[2];
            const int s = (r + g + b) / 3;
            int nr = r, ng = g, nb = b;
            switch (effect) {
            case PaletteEffect::BlueToRed:
            case PaletteEffect::RedToBlue:
                nr = b;
                nb = r;
                break;
            case PaletteEffect::BlueToGreen:
            case PaletteEffect::GreenToBlue:
                ng = b;
                nb = g;
                break;
            case PaletteEffect::GreenToRed:
            case PaletteEffect::RedToGreen:
                nr = g;
                ng = r;
                break;
            case PaletteEffect::Lighter:
                nr = std::min(r + 32, 255);
                ng = std::min(g + 32, 255);
                nb = std::min(b + 32, 255);
                break;
            case PaletteEffect::Darker:
                nr = std::max(r - 32, 0);
                ng = std::max(g - 32, 0);
                nb = std::max(b - 32, 0);
                break;
            case PaletteEffect::Monochrome:
                nr = ng = nb = s;
                break;
            case PaletteEffect::Fire:
                nr = std::min(s + 100, 255);
                ng = s / 2;
                nb = 0;
                break;
            case PaletteEffect::Saphire:
                nr = s / 4 + 60;
                ng = 0;
                nb = s / 2 + 60;
                break;
            case PaletteEffect::Stone:
                nr = ng = nb = s >= 128 ? s - 50 : s + 50;
                break;
            default:
                break;
            }
            c[0] = uchar(nr);
            c[1] = uchar(ng);
            c[2] = uchar(nb);
        }
    }
    emit changed();
}

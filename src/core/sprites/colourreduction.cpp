#include "colourreduction.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <array>

namespace {

struct Colour
{
    QRgb rgb;      // opaque
    quint64 count; // pixels of this colour
};

int channel(QRgb c, int ch)
{
    return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
}

// A box of median cut: a run of the colour list with its statistics.
struct Box
{
    qsizetype begin = 0;
    qsizetype end = 0;
    quint64 pixels = 0;
    std::array<double, 3> sum{};
    std::array<double, 3> squares{};
    std::array<int, 3> low{};
    std::array<int, 3> high{};

    double error(int ch) const { return squares[ch] - sum[ch] * sum[ch] / double(pixels); }
    double error() const { return error(0) + error(1) + error(2); }
    bool splittable() const { return end - begin > 1; }
    QRgb mean() const
    {
        const auto m = [&](int ch) { return int(sum[ch] / double(pixels) + 0.5); };
        return qRgb(m(0), m(1), m(2));
    }
};

Box boxOf(const QList<Colour>& colours, qsizetype begin, qsizetype end)
{
    Box b;
    b.begin = begin;
    b.end = end;
    b.low = {255, 255, 255};
    for (qsizetype i = begin; i < end; ++i) {
        const Colour& c = colours[i];
        b.pixels += c.count;
        for (int ch = 0; ch < 3; ++ch) {
            const int v = channel(c.rgb, ch);
            b.sum[ch] += double(v) * double(c.count);
            b.squares[ch] += double(v) * double(v) * double(c.count);
            b.low[ch] = std::min(b.low[ch], v);
            b.high[ch] = std::max(b.high[ch], v);
        }
    }
    return b;
}

// Cuts the colour space into at most `wanted` boxes, always splitting the box
// whose colours lie furthest from their mean (summed over its pixels), across
// its most spread channel at the pixel median.
QList<Box> medianCut(QList<Colour>& colours, int wanted)
{
    QList<Box> boxes{boxOf(colours, 0, colours.size())};
    while (boxes.size() < wanted) {
        int pick = -1;
        double worst = -1;
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].splittable() && boxes[i].error() > worst) {
                worst = boxes[i].error();
                pick = i;
            }
        }
        if (pick < 0)
            break;
        const Box b = boxes[pick];
        int ch = 0;
        for (int c = 1; c < 3; ++c)
            if (b.error(c) > b.error(ch))
                ch = c;
        std::sort(colours.begin() + b.begin, colours.begin() + b.end,
                  [ch](const Colour& x, const Colour& y) { return channel(x.rgb, ch) < channel(y.rgb, ch); });
        quint64 seen = 0;
        qsizetype cut = b.begin + 1;
        for (qsizetype i = b.begin; i < b.end - 1; ++i) {
            seen += colours[i].count;
            cut = i + 1;
            if (seen * 2 >= b.pixels)
                break;
        }
        boxes[pick] = boxOf(colours, b.begin, cut);
        boxes.append(boxOf(colours, cut, b.end));
    }
    return boxes;
}

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// The entry of 1 to 255 closest to `c`; entry 0 is kept for transparency.
int nearest(const QList<QRgb>& table, QRgb c)
{
    int best = 1;
    int bestDistance = distance(table[1], c);
    for (int i = 2; i < table.size() && bestDistance > 0; ++i) {
        const int d = distance(table[i], c);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// A few rounds of moving each entry to the mean of the colours nearest to it
// (Lloyd's refinement): the boxes of median cut are straight cuts, and
// colours near a cut are often closer to the neighbouring box's mean.
void refine(const QList<Colour>& colours, QList<QRgb>& table)
{
    // Every round costs a search of the table per distinct colour; photos of
    // a million colours keep the plain median cut.
    const int rounds = colours.size() <= (1 << 16) ? 3 : colours.size() <= (1 << 18) ? 1 : 0;
    for (int round = 0; round < rounds; ++round) {
        QList<std::array<double, 4>> sums(table.size(), {0, 0, 0, 0});
        for (const Colour& c : colours) {
            auto& s = sums[nearest(table, c.rgb)];
            s[0] += double(qRed(c.rgb)) * double(c.count);
            s[1] += double(qGreen(c.rgb)) * double(c.count);
            s[2] += double(qBlue(c.rgb)) * double(c.count);
            s[3] += double(c.count);
        }
        for (int i = 1; i < table.size(); ++i) {
            const auto& s = sums[i];
            if (s[3] > 0)
                table[i] = qRgb(int(s[0] / s[3] + 0.5), int(s[1] / s[3] + 0.5), int(s[2] / s[3] + 0.5));
        }
    }
}

} // namespace

QImage toIndexed8(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_Indexed8)
        return image;
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        return image.convertToFormat(QImage::Format_Indexed8);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();

    // Distinct opaque colours in the order they are first met, with counts.
    QHash<QRgb, qsizetype> where;
    QList<Colour> colours;
    bool transparent = false;
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0) {
                transparent = true;
                continue;
            }
            const QRgb c = row[x] | 0xFF000000u;
            auto it = where.find(c);
            if (it == where.end()) {
                where.insert(c, colours.size());
                colours.append({c, 1});
            } else {
                ++colours[*it].count;
            }
        }
    }

    const int first = transparent ? 1 : 0;
    QList<QRgb> table;
    if (transparent)
        table.append(qRgb(0, 0, 0));
    if (colours.size() <= 256 - first) {
        for (qsizetype i = 0; i < colours.size(); ++i) {
            table.append(colours[i].rgb);
            where[colours[i].rgb] = first + i;
        }
    } else {
        // Index 0 is kept for transparency whether or not the image has any,
        // so that no opaque pixel turns transparent in a sprite.
        table = {qRgb(0, 0, 0)};
        for (const Box& b : medianCut(colours, 255))
            table.append(b.mean());
        refine(colours, table);
        // Dark to light, so that the palette page shows related colours
        // near each other rather than in the order they were cut.
        std::sort(table.begin() + 1, table.end(), [](QRgb a, QRgb b) { return qGray(a) < qGray(b); });
        for (const Colour& c : colours)
            where[c.rgb] = nearest(table, c.rgb);
    }

    QImage out(w, h, QImage::Format_Indexed8);
    if (out.isNull())
        return QImage();
    out.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x)
            dst[x] = qAlpha(row[x]) == 0 ? 0 : uchar(where.value(row[x] | 0xFF000000u));
    }
    return out;
}

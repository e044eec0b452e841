// Sprite codecs and archive loading on data shaped like real sprites: a figure
// on the transparent colour, shaded in bands, with outlines and a little
// dithering, so there are runs and repeats from row to row as in real files.
#include "binaryio.h"
#include "pcx.h"
#include "pngblock.h"
#include "qsprites.h"
#include "spritecodecs.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>

namespace {

QImage spriteLike(quint32 seed, int width, int height, int colours)
{
    QRandomGenerator rng(seed);
    QImage image(width, height, QImage::Format_Indexed8);
    image.fill(0);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.append(i < colours ? qRgb(i, 255 - i, (i * 7) & 0xFF) : qRgb(0, 0, 0));
    image.setColorTable(table);
    const int shapes = 3 + int(rng.bounded(4));
    for (int s = 0; s < shapes; ++s) {
        const double cx = rng.bounded(width), cy = rng.bounded(height);
        const double rx = 8 + rng.bounded(width / 2), ry = 8 + rng.bounded(height / 2);
        const int base = 1 + int(rng.bounded(colours - 8));
        for (int y = 0; y < height; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const double dx = (x - cx) / rx, dy = (y - cy) / ry;
                const double d = dx * dx + dy * dy;
                if (d > 1.0)
                    continue;
                int c = base + int(std::sqrt(d) * 6); // shading bands
                if (d > 0.9)
                    c = base + 7; // outline
                else if (((x + y) & 1) && std::fmod(std::sqrt(d) * 6, 1.0) < 0.2)
                    c += 1; // dithered band edges
                row[x] = uchar(qBound(1, c, colours - 1));
            }
        }
    }
    return image;
}

QByteArray packed(const QImage& image)
{
    QByteArray out;
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width());
    return out;
}

constexpr int SpriteSide = 120;
constexpr int SpriteCount = 2000;

// A set of distinct sprites (the archive benchmarks repeat them).
QList<QImage> sprites(int colours, int count = 40)
{
    QList<QImage> list;
    for (int i = 0; i < count; ++i)
        list.append(spriteLike(quint32(i + 1), SpriteSide, SpriteSide, colours));
    return list;
}

void decodeBench(benchmark::State& state, const QList<QByteArray>& encoded, int width, int height,
                 void (*decode)(QByteArrayView, uchar*, int, int))
{
    QByteArray rows(qsizetype(width) * height, '\0');
    qint64 pixels = 0;
    for (auto _ : state) {
        for (const QByteArray& e : encoded) {
            decode(e, reinterpret_cast<uchar*>(rows.data()), width, height);
            benchmark::DoNotOptimize(rows.data());
            pixels += qint64(width) * height;
        }
    }
    state.SetBytesProcessed(pixels);
}

void BM_DecodeRle8(benchmark::State& state)
{
    QList<QByteArray> encoded;
    for (const QImage& s : sprites(256))
        encoded.append(encodeRle8(s));
    decodeBench(state, encoded, SpriteSide, SpriteSide, [](QByteArrayView d, uchar* r, int w, int h) {
        decodeRle8Into(d, r, w, h, QImage::Format_Indexed8);
    });
}
BENCHMARK(BM_DecodeRle8);

void BM_DecodeLz5(benchmark::State& state)
{
    QList<QByteArray> encoded;
    for (const QImage& s : sprites(32))
        encoded.append(encodeLz5(s, true));
    decodeBench(state, encoded, SpriteSide, SpriteSide, decodeLz5Into);
}
BENCHMARK(BM_DecodeLz5);

void BM_DecodePcx(benchmark::State& state)
{
    QList<QByteArray> files;
    for (const QImage& s : sprites(256))
        files.append(encodePcx(s));
    qint64 pixels = 0;
    for (auto _ : state) {
        for (const QByteArray& f : files) {
            const QImage image = readPcx(f);
            benchmark::DoNotOptimize(image.constBits());
            pixels += qint64(image.width()) * image.height();
        }
    }
    state.SetBytesProcessed(pixels);
}
BENCHMARK(BM_DecodePcx);

void BM_EncodeLz5(benchmark::State& state)
{
    const bool full = state.range(0) != 0;
    QList<QByteArray> pixels;
    for (const QImage& s : sprites(32))
        pixels.append(packed(s));
    qint64 bytes = 0;
    for (auto _ : state) {
        for (const QByteArray& p : pixels) {
            benchmark::DoNotOptimize(encodeLz5Packed(p, full));
            bytes += p.size();
        }
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_EncodeLz5)->Arg(1)->Arg(0)->ArgName("fullLz5");

// A large sprite (a stage background): the search window fills up.
void BM_EncodeLz5Large(benchmark::State& state)
{
    const QByteArray pixels = packed(spriteLike(77, 640, 480, 32));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeLz5Packed(pixels, true));
    state.SetBytesProcessed(qint64(state.iterations()) * pixels.size());
}
BENCHMARK(BM_EncodeLz5Large);

// Not sprite-like: noise over three colours offers the search many short
// candidates at every position; the slowest case seen.
void BM_EncodeLz5Noise(benchmark::State& state)
{
    QRandomGenerator rng(5);
    QByteArray pixels(SpriteSide * SpriteSide, '\0');
    for (char& c : pixels)
        c = char(rng.bounded(3));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeLz5Packed(pixels, true));
    state.SetBytesProcessed(qint64(state.iterations()) * pixels.size());
}
BENCHMARK(BM_EncodeLz5Noise);

void BM_EncodeRle8(benchmark::State& state)
{
    QList<QByteArray> pixels;
    for (const QImage& s : sprites(256))
        pixels.append(packed(s));
    qint64 bytes = 0;
    for (auto _ : state) {
        for (const QByteArray& p : pixels) {
            benchmark::DoNotOptimize(encodeRle8Packed(p));
            bytes += p.size();
        }
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_EncodeRle8);

// Archives of 2000 sprites of 120 x 120, written once to a file.
QTemporaryDir& benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

// 2000 sprites put in as images (as a person imports them).
void fillArchive(QSprites& s, int colours)
{
    const QList<QImage> images = sprites(colours);
    for (int i = 0; i < SpriteCount; ++i) {
        s.addSprite();
        s.setImage(i, images[i % images.size()]);
        s.setSpriteInfo(i, {true, 60, 110, quint16(i / 10), quint16(i % 10), 0, 0, 0});
    }
}

QString version2Archive(int colours)
{
    const QString file = benchDir().filePath(QStringLiteral("v2-%1.sff").arg(colours));
    if (QFile::exists(file))
        return file;
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    fillArchive(s, colours);
    s.save(file, true);
    return file;
}

QString version1Archive()
{
    const QString file = benchDir().filePath(QStringLiteral("v1.sff"));
    if (QFile::exists(file))
        return file;
    const QList<QImage> images = sprites(256);
    QByteArray out;
    LeWriter w(&out);
    w.bytes("ElecbyteSpr");
    w.u8(0);
    w.bytes(QByteArray::fromHex("00010001"));
    w.u32(0);
    w.u32(SpriteCount);
    w.u32(512);
    w.u32(32);
    w.zeros(512 - out.size());
    for (int i = 0; i < SpriteCount; ++i) {
        const QByteArray pcx = encodePcx(images[i % images.size()]);
        w.u32(i == SpriteCount - 1 ? 0 : quint32(out.size() + 32 + pcx.size()));
        w.u32(quint32(pcx.size()));
        w.s16(60);
        w.s16(110);
        w.u16(quint16(i / 10));
        w.u16(quint16(i % 10));
        w.u16(0);
        w.u8(i > 0 ? 1 : 0); // the palette of the sprite before
        w.zeros(13);
        w.bytes(pcx);
    }
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(out);
    return file;
}

// 2000 PNG sprites of 120 x 120 in a version 2.01 archive: 32-bit figures
// with soft edges, as a character drawn in true colour has them.
QString png201Archive()
{
    const QString file = benchDir().filePath(QStringLiteral("v201-png.sff"));
    if (QFile::exists(file))
        return file;
    QList<QByteArray> blocks;
    for (const QImage& s : sprites(256)) {
        QImage colour(s.size(), QImage::Format_ARGB32);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const int i = s.pixelIndex(x, y);
                const QRgb c = s.color(i);
                colour.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), i == 0 ? 0 : 128 + (i & 127)));
            }
        blocks.append(encodePngBlock(colour));
    }
    QByteArray nodes, data;
    LeWriter n(&nodes), d(&data);
    for (int i = 0; i < SpriteCount; ++i) {
        const QByteArray& block = blocks[i % blocks.size()];
        for (quint16 v : {quint16(i / 10), quint16(i % 10), quint16(SpriteSide), quint16(SpriteSide), quint16(60),
                          quint16(110), quint16(0)})
            n.u16(v);
        n.u8(quint8(SpriteDataFormat::SpritePng32));
        n.u8(32);
        n.u32(quint32(data.size()));
        n.u32(quint32(block.size()));
        n.u16(0);
        n.u16(0);
        d.bytes(block);
    }
    QByteArray out;
    LeWriter w(&out);
    w.bytes("ElecbyteSpr");
    w.u8(0);
    w.bytes(QByteArray::fromHex("00010002"));
    w.zeros(8);
    w.bytes(QByteArray::fromHex("00010002"));
    w.zeros(8);
    const quint32 literal = 512 + quint32(nodes.size());
    for (quint32 v : {512u, quint32(SpriteCount), 512u, 0u, literal, quint32(data.size()), literal + quint32(data.size()), 0u})
        w.u32(v);
    w.zeros(512 - out.size());
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(out + nodes + data);
    return file;
}

void loadBench(benchmark::State& state, const QString& file)
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    for (auto _ : state) {
        s.load(file);
        benchmark::DoNotOptimize(s.spriteCount());
    }
    state.SetItemsProcessed(qint64(state.iterations()) * s.spriteCount());
    state.SetBytesProcessed(qint64(state.iterations()) * s.spriteCount() * SpriteSide * SpriteSide);
    state.counters["sprites"] = s.spriteCount();
}

void BM_LoadArchiveVersion1(benchmark::State& state)
{
    loadBench(state, version1Archive());
}
BENCHMARK(BM_LoadArchiveVersion1)->Unit(benchmark::kMillisecond);

void BM_LoadArchiveVersion2Rle8(benchmark::State& state)
{
    loadBench(state, version2Archive(256));
}
BENCHMARK(BM_LoadArchiveVersion2Rle8)->Unit(benchmark::kMillisecond);

void BM_LoadArchiveVersion2Lz5(benchmark::State& state)
{
    loadBench(state, version2Archive(32));
}
BENCHMARK(BM_LoadArchiveVersion2Lz5)->Unit(benchmark::kMillisecond);

// The PNG sprites are kept as they are in the file and decoded when shown.
void BM_LoadArchiveVersion201Png(benchmark::State& state)
{
    loadBench(state, png201Archive());
}
BENCHMARK(BM_LoadArchiveVersion201Png)->Unit(benchmark::kMillisecond);

// Showing each sprite once after the load: every PNG decoded.
void BM_ShowEveryPngSprite(benchmark::State& state)
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    for (auto _ : state) {
        state.PauseTiming();
        s.load(png201Archive());
        state.ResumeTiming();
        for (int i = 0; i < s.spriteCount(); ++i)
            benchmark::DoNotOptimize(s.spritePixels(i).constData());
    }
    state.SetItemsProcessed(qint64(state.iterations()) * s.spriteCount());
}
BENCHMARK(BM_ShowEveryPngSprite)->Unit(benchmark::kMillisecond);

// Saved untouched: every block written back as it was read.
void BM_SaveArchiveVersion201Untouched(benchmark::State& state)
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    s.load(png201Archive());
    const QString out = benchDir().filePath(QStringLiteral("saved-201.sff"));
    for (auto _ : state)
        benchmark::DoNotOptimize(s.save(out));
    state.SetBytesProcessed(qint64(state.iterations()) * QFileInfo(out).size());
    state.counters["sprites"] = s.spriteCount();
}
BENCHMARK(BM_SaveArchiveVersion201Untouched)->Unit(benchmark::kMillisecond);

// Images put in since the archive was read are encoded at every save: LZ5
// with the full search for 32-colour sprites.
void BM_SaveArchiveLz5(benchmark::State& state)
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    fillArchive(s, 32);
    const QString out = benchDir().filePath(QStringLiteral("saved.sff"));
    for (auto _ : state)
        benchmark::DoNotOptimize(s.save(out, true));
    state.SetBytesProcessed(qint64(state.iterations()) * s.spriteCount() * SpriteSide * SpriteSide);
}
BENCHMARK(BM_SaveArchiveLz5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

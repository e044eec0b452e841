#include "gifexport.h"

#include "colourreduction.h"
#include "qanimations.h"
#include "qsprites.h"
#include "savefile.h"

#include <QSaveFile>

namespace {

// The sprite a frame shows, or -1.
int spriteOf(const QSprites& sprites, const AirFrame& f)
{
    if (f.group < 0 || f.group > 0xFFFF || f.number < 0 || f.number > 0xFFFF)
        return -1;
    const int index = sprites.findSprite(0, quint16(f.group), quint16(f.number));
    return index >= 0 && !sprites.spriteImage(index).isNull() ? index : -1;
}

// The sprite's axis as the frame flips it.
QPoint flippedAxis(const QSprites& sprites, int index, int flip)
{
    const SpriteInfo info = sprites.spriteInfo(index);
    const SpriteSize size = sprites.spriteSize(index);
    return QPoint((flip & 2) ? size.width - info.axisX : info.axisX, (flip & 1) ? size.height - info.axisY : info.axisY);
}

} // namespace

GifWriter actionGif(const QSprites& sprites, const QAnimations& animations, int action)
{
    const int count = animations.frameCount(action);
    QList<int> spriteIndex(count, -1);
    // First the canvas: how far the frames reach left, up, right and down of
    // the axis; and whether every frame is drawn with the same palette.
    int left = 0, up = 0, right = 0, down = 0;
    bool anyLoopStart = false, samePalette = true;
    int palette = -1;
    for (int j = 0; j < count; ++j) {
        const AirFrame& f = *animations.frame(action, j);
        anyLoopStart = anyLoopStart || f.loopStart;
        const int s = spriteIndex[j] = spriteOf(sprites, f);
        if (s < 0)
            continue;
        const SpriteSize size = sprites.spriteSize(s);
        const QPoint a = flippedAxis(sprites, s, f.flip);
        left = qMax(left, a.x() - f.x);
        up = qMax(up, a.y() - f.y);
        right = qMax(right, size.width - a.x() + f.x);
        down = qMax(down, size.height - a.y() + f.y);
        const int p = size.imageFormat == QImage::Format_Indexed8 ? sprites.spriteInfo(s).paletteIndex : -2;
        if (palette != -1 && p != palette)
            samePalette = false;
        palette = p;
    }
    samePalette = samePalette && palette >= 0;

    GifWriter gif(quint16(qBound(0, left + right, 0xFFFF)), quint16(qBound(0, up + down, 0xFFFF)));
    bool firstImage = true;
    for (int j = 0; j < count; ++j) {
        const int s = spriteIndex[j];
        if (s < 0)
            continue;
        const AirFrame& f = *animations.frame(action, j);
        GifFrame g;
        QImage image = sprites.spriteImage(s);
        if (image.format() != QImage::Format_Indexed8)
            image = toIndexed8(image);
        g.image = image.mirrored(f.flip & 2, f.flip & 1);
        const QList<QRgb> table = GifWriter::tableOf(image.colorTable());
        // One palette for every frame: one table for the file, set by the
        // first frame drawn.
        if (!samePalette)
            g.colours = table;
        else if (gif.globalColours.isEmpty())
            gif.globalColours = table;
        g.delay = quint16(f.time * 100 / 60);
        g.loopExtension = anyLoopStart ? f.loopStart : firstImage;
        const QPoint a = flippedAxis(sprites, s, f.flip);
        g.left = quint16(qBound(0, left + f.x - a.x(), 0xFFFF));
        g.top = quint16(qBound(0, up + f.y - a.y(), 0xFFFF));
        gif.frames.append(g);
        firstImage = false;
    }
    return gif;
}

bool saveActionGif(const QSprites& sprites, const QAnimations& animations, int action, const QString& fileName,
                   QString* error)
{
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly) && actionGif(sprites, animations, action).write(&file);
    if (!ok)
        file.cancelWriting();
    else
        ok = commitSaveFile(file);
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

#include "qspritelistmodel.h"

#include "qsprites.h"

QSpriteListModel::QSpriteListModel(const QSprites* sprites, QObject* parent)
    : QItemListModel(parent), sprites(sprites), thumbnails(16 * 1024 * 1024)
{
    connect(sprites, &QFileDocument::documentReset, this, [this] {
        thumbnails.clear();
        reset();
    });
    connect(sprites, &QSprites::spritesInserted, this, [this](int index, int count) {
        thumbnails.clear();
        inserted(index, count);
    });
    connect(sprites, &QSprites::spritesRemoved, this, [this](int index, int count) {
        thumbnails.clear();
        removed(index, count);
    });
    connect(sprites, &QSprites::spriteChanged, this, [this](int index) {
        // Sprites linked to it show its image: they change too.
        dropThumbnails();
        changed(index);
    });
    for (auto signal : {&QSprites::palettesInserted, &QSprites::palettesRemoved})
        connect(sprites, signal, this, &QSpriteListModel::dropThumbnails);
    connect(sprites, &QSprites::paletteChanged, this, &QSpriteListModel::dropThumbnails);
    reset();
}

void QSpriteListModel::dropThumbnails()
{
    thumbnails.clear();
    changedEverywhere(ThumbnailRole);
}

int QSpriteListModel::itemCount() const
{
    return sprites->spriteCount();
}

QString QSpriteListModel::text(int row) const
{
    const SpriteInfo info = sprites->spriteInfo(row);
    // As the page's fields show them: 16 bits, the upper half negative.
    return QStringLiteral("%1,%2").arg(qint16(info.group)).arg(qint16(info.number));
}

QString QSpriteListModel::detail(int row) const
{
    const SpriteSize size = sprites->spriteSize(row);
    return tr("%1 x %2").arg(size.width).arg(size.height);
}

QString QSpriteListModel::toolTip(int row) const
{
    return tr("Sprite %1: %2, %3 pixels").arg(row).arg(text(row), detail(row));
}

QString QSpriteListModel::duplicateNote(int row) const
{
    const int other = otherWithKey(row);
    return other < 0 ? QString() : tr("Sprite %1 is %2 too: the engine uses the first one.").arg(other).arg(text(row));
}

qint64 QSpriteListModel::key(int row) const
{
    const SpriteInfo info = sprites->spriteInfo(row);
    return (qint64(info.group) << 16) | info.number;
}

bool QSpriteListModel::matches(int row, const QString& text) const
{
    const auto wanted = parseGroupAndNumber(text);
    if (!wanted)
        return false;
    const SpriteInfo info = sprites->spriteInfo(row);
    // Typed as the fields show them (-1) or as the file holds them (65535).
    const auto same = [](qint64 typed, quint16 value) { return typed == value || typed == qint16(value); };
    return same(wanted->group, info.group) && (!wanted->number || same(*wanted->number, info.number));
}

QVariant QSpriteListModel::thumbnail(int row) const
{
    return thumbnailOf(row);
}

QImage QSpriteListModel::thumbnailOf(int row) const
{
    if (const QImage* cached = thumbnails.object(row))
        return *cached;
    QImage image = sprites->spriteImage(row);
    if (image.isNull())
        return QImage();
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> table = image.colorTable();
        if (!table.isEmpty())
            table[0] = qRgba(0, 0, 0, 0);
        image.setColorTable(table);
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int side = qMax(image.width(), image.height());
    if (side > ThumbnailSize) {
        image = image.scaled(ThumbnailSize, ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } else if (side > 0 && side * 2 <= ThumbnailSize) {
        // Small sprites (sparks, shadows) grow by whole steps and stay sharp.
        const int step = ThumbnailSize / side;
        image = image.scaled(image.width() * step, image.height() * step, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    thumbnails.insert(row, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes()));
    return image;
}

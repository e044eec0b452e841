#ifndef QSPRITELISTMODEL_H
#define QSPRITELISTMODEL_H

#include "qitemlistmodel.h"

#include <QCache>
#include <QImage>

class QSprites;

// The sprites of an archive as a list: a thumbnail and "group,number" for
// each. Thumbnails are made only when a row is painted and kept for the rows
// seen last, so that opening a large archive costs no more than its count.
class QSpriteListModel : public QItemListModel
{
    Q_OBJECT
public:
    // Thumbnails fit in a square of this many pixels.
    static constexpr int ThumbnailSize = 48;

    explicit QSpriteListModel(const QSprites* sprites, QObject* parent = nullptr);
    QString duplicateNote(int row) const override;

    bool hasThumbnails() const override { return true; }
    // The sprite drawn with its own palette, its transparent colour clear,
    // shrunk (or grown by whole steps) to fit the square; null when the
    // sprite has no image.
    QImage thumbnailOf(int row) const;

protected:
    int itemCount() const override;
    QString text(int row) const override;
    QString detail(int row) const override;
    QString toolTip(int row) const override;
    qint64 key(int row) const override;
    QVariant thumbnail(int row) const override;
    bool matches(int row, const QString& text) const override;

private:
    // Every thumbnail is made again (the palettes or the images changed).
    void dropThumbnails();

    const QSprites* sprites;
    mutable QCache<int, QImage> thumbnails;
};

#endif

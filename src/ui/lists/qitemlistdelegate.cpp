#include "qitemlistdelegate.h"

#include "qitemlistmodel.h"
#include "qspritelistmodel.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

namespace {

constexpr int Margin = 3;

bool withThumbnails(const QModelIndex& index)
{
    const auto* model = qobject_cast<const QItemListModel*>(index.model());
    return model && model->hasThumbnails();
}

} // namespace

QItemListDelegate::QItemListDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QSize QItemListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int lines = 2 * option.fontMetrics.height() + 2 * Margin;
    const int height = withThumbnails(index) ? qMax(lines, QSpriteListModel::ThumbnailSize + 2 * Margin) : lines;
    return QSize(120, height);
}

void QItemListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // The style draws the row's background, selection and focus; the rest is drawn here.
    const QString text = opt.text;
    opt.text.clear();
    opt.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    QRect area = option.rect.adjusted(Margin, Margin, -Margin, -Margin);
    painter->save();
    if (withThumbnails(index)) {
        const int side = QSpriteListModel::ThumbnailSize;
        const QRect box(area.left(), area.top() + (area.height() - side) / 2, side, side);
        const QImage thumb = index.data(QItemListModel::ThumbnailRole).value<QImage>();
        if (!thumb.isNull()) {
            const QRect at(QPoint(0, 0), thumb.size());
            painter->drawImage(at.translated(box.center() - at.center()), thumb);
        }
        area.setLeft(box.right() + 1 + 2 * Margin);
    }
    const bool duplicate = index.data(QItemListModel::DuplicateRole).toBool();
    if (duplicate) {
        const int side = option.fontMetrics.height();
        const QRect sign(area.right() - side + 1, area.top(), side, side);
        QIcon(QStringLiteral(":/msgs/Nuvola/warn.png")).paint(painter, sign);
        area.setRight(sign.left() - Margin);
    }
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorRole role = selected ? QPalette::HighlightedText : QPalette::Text;
    QColor main = option.palette.color(role);
    if (duplicate && !selected)
        main = QColor(190, 40, 20);
    QColor faint = option.palette.color(role);
    faint.setAlphaF(0.6f);
    const int line = option.fontMetrics.height();
    const int top = area.top() + qMax(0, (area.height() - 2 * line) / 2);
    painter->setPen(main);
    painter->drawText(QRect(area.left(), top, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(text, Qt::ElideRight, area.width()));
    painter->setPen(faint);
    const QString detail = index.data(QItemListModel::DetailRole).toString();
    painter->drawText(QRect(area.left(), top + line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(detail, Qt::ElideRight, area.width()));
    painter->restore();
}

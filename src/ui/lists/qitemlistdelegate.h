#ifndef QITEMLISTDELEGATE_H
#define QITEMLISTDELEGATE_H

#include <QStyledItemDelegate>

// Draws a row of the list beside the selector: the thumbnail when the model
// has them, the item's line, its detail line below in a lighter tone, and a
// warning sign on items whose group and number another item has too. Every
// row has the same height, so the view lays out thousands of rows at once.
class QItemListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit QItemListDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

#endif

#ifndef QACTIONLISTMODEL_H
#define QACTIONLISTMODEL_H

#include "qitemlistmodel.h"

class QAnimations;

// The actions of an animation set as a list: number, name and frame count.
class QActionListModel : public QItemListModel
{
    Q_OBJECT
public:
    explicit QActionListModel(const QAnimations* animations, QObject* parent = nullptr);
    QString duplicateNote(int row) const override;

protected:
    int itemCount() const override;
    QString text(int row) const override;
    QString detail(int row) const override;
    QString toolTip(int row) const override;
    qint64 key(int row) const override;
    // A number is the action's number; any other text a part of its name.
    bool matches(int row, const QString& text) const override;

private:
    const QAnimations* animations;
};

#endif

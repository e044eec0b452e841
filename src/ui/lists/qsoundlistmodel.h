#ifndef QSOUNDLISTMODEL_H
#define QSOUNDLISTMODEL_H

#include "qitemlistmodel.h"

class QSounds;

// The sounds of an archive as a list: "group,number" and the duration.
class QSoundListModel : public QItemListModel
{
    Q_OBJECT
public:
    explicit QSoundListModel(const QSounds* sounds, QObject* parent = nullptr);
    QString duplicateNote(int row) const override;

protected:
    int itemCount() const override;
    QString text(int row) const override;
    QString detail(int row) const override;
    QString toolTip(int row) const override;
    qint64 key(int row) const override;
    bool matches(int row, const QString& text) const override;

private:
    const QSounds* sounds;
};

#endif

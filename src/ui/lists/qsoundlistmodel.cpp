#include "qsoundlistmodel.h"

#include "qsounds.h"

QSoundListModel::QSoundListModel(const QSounds* sounds, QObject* parent) : QItemListModel(parent), sounds(sounds)
{
    connect(sounds, &QFileDocument::documentReset, this, &QSoundListModel::reset);
    connect(sounds, &QSounds::soundsInserted, this, &QSoundListModel::inserted);
    connect(sounds, &QSounds::soundsRemoved, this, &QSoundListModel::removed);
    connect(sounds, &QSounds::soundChanged, this, &QSoundListModel::changed);
    reset();
}

int QSoundListModel::itemCount() const
{
    return sounds->count();
}

QString QSoundListModel::text(int row) const
{
    const auto [group, number] = sounds->groupAndNumber(row);
    return QStringLiteral("%1,%2").arg(qint16(group)).arg(qint16(number));
}

QString QSoundListModel::detail(int row) const
{
    const WavInfo info = sounds->info(row);
    if (!hasDuration(info))
        return tr("no sound");
    return tr("%1 s").arg(QString::number(double(info.duration), 'f', 2));
}

QString QSoundListModel::toolTip(int row) const
{
    return tr("Sound %1: %2, %3").arg(row).arg(text(row), detail(row));
}

QString QSoundListModel::duplicateNote(int row) const
{
    const int other = otherWithKey(row);
    return other < 0 ? QString() : tr("Sound %1 is %2 too: the engine uses the first one.").arg(other).arg(text(row));
}

qint64 QSoundListModel::key(int row) const
{
    const auto [group, number] = sounds->groupAndNumber(row);
    return (qint64(group) << 16) | number;
}

bool QSoundListModel::matches(int row, const QString& text) const
{
    const auto wanted = parseGroupAndNumber(text);
    if (!wanted)
        return false;
    const auto [group, number] = sounds->groupAndNumber(row);
    const auto same = [](qint64 typed, quint16 value) { return typed == value || typed == qint16(value); };
    return same(wanted->group, group) && (!wanted->number || same(*wanted->number, number));
}

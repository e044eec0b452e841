#include "qactionlistmodel.h"

#include "qanimations.h"

QActionListModel::QActionListModel(const QAnimations* animations, QObject* parent)
    : QItemListModel(parent), animations(animations)
{
    connect(animations, &QFileDocument::documentReset, this, &QActionListModel::reset);
    connect(animations, &QAnimations::actionsInserted, this, &QActionListModel::inserted);
    connect(animations, &QAnimations::actionsRemoved, this, &QActionListModel::removed);
    connect(animations, &QAnimations::actionChanged, this, &QActionListModel::changed);
    // The frame count is the detail line.
    for (auto signal : {&QAnimations::framesInserted, &QAnimations::framesRemoved})
        connect(animations, signal, this, [this](int action) { changed(action); });
    reset();
}

int QActionListModel::itemCount() const
{
    return animations->actionCount();
}

QString QActionListModel::text(int row) const
{
    const AirActionInfo info = animations->actionInfo(row);
    const QString name = info.name.simplified();
    return name.isEmpty() ? QString::number(info.number) : QStringLiteral("%1  %2").arg(info.number).arg(name);
}

QString QActionListModel::detail(int row) const
{
    const int frames = animations->frameCount(row);
    return frames == 1 ? tr("1 frame") : tr("%1 frames").arg(frames);
}

QString QActionListModel::toolTip(int row) const
{
    return tr("Action %1: %2").arg(text(row), detail(row));
}

QString QActionListModel::duplicateNote(int row) const
{
    if (otherWithKey(row) < 0)
        return QString();
    return tr("Another action is %1 too: the engine uses the first one.").arg(animations->actionInfo(row).number);
}

qint64 QActionListModel::key(int row) const
{
    // Numbers run from -32767 up: shifted, none is negative.
    return qint64(animations->actionInfo(row).number) + (qint64(1) << 32);
}

bool QActionListModel::matches(int row, const QString& text) const
{
    const AirActionInfo info = animations->actionInfo(row);
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber)
        return info.number == number;
    return info.name.contains(text, Qt::CaseInsensitive);
}

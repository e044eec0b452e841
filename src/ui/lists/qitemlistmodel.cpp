#include "qitemlistmodel.h"

QItemListModel::QItemListModel(QObject* parent) : QAbstractListModel(parent) {}

int QItemListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows;
}

QVariant QItemListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rows || index.row() >= itemCount())
        return QVariant();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return text(row);
    case DetailRole:
        return detail(row);
    case Qt::ToolTipRole: {
        const QString note = duplicateNote(row);
        return note.isEmpty() ? toolTip(row) : toolTip(row) + QLatin1Char('\n') + note;
    }
    case DuplicateRole:
        return isDuplicate(row);
    case ThumbnailRole:
        return thumbnail(row);
    default:
        return QVariant();
    }
}

QVariant QItemListModel::thumbnail(int) const
{
    return QVariant();
}

std::optional<QItemListModel::GroupAndNumber> QItemListModel::parseGroupAndNumber(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(','));
    if (pieces.size() > 2)
        return std::nullopt;
    bool ok = false;
    GroupAndNumber g;
    g.group = pieces[0].trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    // "9000," is typed on the way to "9000,1": still the group.
    if (pieces.size() == 2 && !pieces[1].trimmed().isEmpty()) {
        g.number = pieces[1].trimmed().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return g;
}

int QItemListModel::find(const QString& typed, int from) const
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || rows == 0)
        return -1;
    from = qBound(0, from, rows);
    for (int k = 0; k < rows; ++k) {
        const int row = (from + k) % rows;
        if (matches(row, text))
            return row;
    }
    return -1;
}

bool QItemListModel::isDuplicate(int row) const
{
    const qint64 k = keys.value(row, -1);
    return k >= 0 && keyCount.value(k) > 1;
}

int QItemListModel::otherWithKey(int row) const
{
    if (!isDuplicate(row))
        return -1;
    const qint64 k = keys[row];
    for (int i = 0; i < keys.size(); ++i)
        if (i != row && keys[i] == k)
            return i;
    return -1;
}

void QItemListModel::countKeys()
{
    const int n = itemCount();
    keys.resize(n);
    keyCount.clear();
    keyCount.reserve(n);
    for (int i = 0; i < n; ++i) {
        keys[i] = key(i);
        if (keys[i] >= 0)
            ++keyCount[keys[i]];
    }
}

void QItemListModel::reset()
{
    beginResetModel();
    rows = itemCount();
    countKeys();
    endResetModel();
}

void QItemListModel::inserted(int index, int count)
{
    if (count <= 0)
        return;
    // The document has them already; the rows are told as they come in.
    beginInsertRows(QModelIndex(), index, index + count - 1);
    rows += count;
    countKeys();
    endInsertRows();
    changedEverywhere(DuplicateRole);
}

void QItemListModel::removed(int index, int count)
{
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), index, index + count - 1);
    rows -= count;
    countKeys();
    endRemoveRows();
    changedEverywhere(DuplicateRole);
}

void QItemListModel::changed(int index)
{
    if (index < 0 || index >= rows || index >= keys.size())
        return;
    const qint64 before = keys[index], after = key(index);
    if (before != after) {
        if (before >= 0 && --keyCount[before] == 0)
            keyCount.remove(before);
        if (after >= 0)
            ++keyCount[after];
        keys[index] = after;
        // Rows that shared the old key or share the new one change their mark.
        if (keyCount.value(before) >= 1 || keyCount.value(after) > 1)
            changedEverywhere(DuplicateRole);
    }
    emit dataChanged(this->index(index), this->index(index));
}

void QItemListModel::changedEverywhere(int role)
{
    if (rows > 0)
        emit dataChanged(index(0), index(rows - 1), {role});
}

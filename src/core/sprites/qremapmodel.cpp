#include "qremapmodel.h"

#include "qsprites.h"
#include "spritecommands.h"

#include <QUndoStack>

namespace {
// Only the first rows take part in a lookup, so a runaway table stays cheap.
constexpr int LookupRows = 256;
}

QReMapModel::QReMapModel() : QAbstractTableModel(nullptr) {}

void QReMapModel::setSprites(const QSprites* s)
{
    sprites = s;
}

int QReMapModel::rowCount(const QModelIndex&) const
{
    return int(rows.size());
}

int QReMapModel::columnCount(const QModelIndex&) const
{
    return 4;
}

int& QReMapModel::cell(RemapRow& r, int column)
{
    switch (column) {
    case 0: return r.srcGroup;
    case 1: return r.srcNumber;
    case 2: return r.dstGroup;
    default: return r.dstNumber;
    }
}

QVariant QReMapModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows.size() || index.column() < 0
        || index.column() > 3)
        return QVariant();
    // The edit role as well, so that the table's editor starts from the value.
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    RemapRow r = rows.at(index.row());
    return cell(r, index.column());
}

bool QReMapModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() < 0 || index.row() >= rows.size()
        || index.column() < 0 || index.column() > 3)
        return false;
    bool ok = false;
    const int v = value.toInt(&ok);
    if (!ok)
        return false;
    RemapRow r = rows.at(index.row());
    cell(r, index.column()) = v;
    if (r == rows.at(index.row()))
        return true;
    if (undoStack)
        undoStack->push(new ChangeRemap(this, ChangeRemap::Change, index.row(), r));
    else
        setRowAt(index.row(), r);
    return true;
}

void QReMapModel::setRowAt(int index, const RemapRow& row)
{
    if (index < 0 || index >= rows.size())
        return;
    rows[index] = row;
    emit dataChanged(this->index(index, 0), this->index(index, 3));
}

void QReMapModel::insertRowAt(int index, const RemapRow& row)
{
    index = qBound(0, index, int(rows.size()));
    beginInsertRows(QModelIndex(), index, index);
    rows.insert(index, row);
    endInsertRows();
}

QVariant QReMapModel::headerData(int section, Qt::Orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0: return tr("Src Grp");
    case 1: return tr("Src Num");
    case 2: return tr("Dst Grp");
    case 3: return tr("Dst Num");
    default: return QVariant();
    }
}

Qt::ItemFlags QReMapModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool QReMapModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row > rows.size() - count)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    rows.remove(row, count);
    endRemoveRows();
    return true;
}

bool QReMapModel::addRow()
{
    insertRowAt(int(rows.size()), RemapRow());
    return true;
}

int QReMapModel::remapPalette(int palette) const
{
    int group = 0, number = 0;
    if (sprites && palette >= 0 && palette < sprites->paletteCount()) {
        const PaletteInfo info = sprites->paletteInfo(palette);
        group = info.group;
        number = info.number;
    }
    const qsizetype searched = std::min<qsizetype>(rows.size(), LookupRows);
    for (qsizetype i = 0; i < searched; ++i) {
        const RemapRow& r = rows.at(i);
        if (r.srcGroup != group || r.srcNumber != number)
            continue;
        // Palette groups and numbers are 16-bit fields of the file; a
        // destination outside them names no palette.
        if (!sprites || r.dstGroup < 0 || r.dstGroup > 0xFFFF || r.dstNumber < 0 || r.dstNumber > 0xFFFF)
            return -1;
        for (int p = 0; p < sprites->paletteCount(); ++p) {
            const PaletteInfo info = sprites->paletteInfo(p);
            if (quint16(info.group) == r.dstGroup && quint16(info.number) == r.dstNumber)
                return p;
        }
        return -1;
    }
    return -1;
}

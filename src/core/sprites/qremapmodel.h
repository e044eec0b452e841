#ifndef QREMAPMODEL_H
#define QREMAPMODEL_H

#include <QAbstractTableModel>
#include <QList>

class QSprites;
class QUndoStack;

// One row of the remap table: draw with palette (dstGroup, dstNumber)
// wherever palette (srcGroup, srcNumber) would be used.
struct RemapRow
{
    int srcGroup = 1;
    int srcNumber = 1;
    int dstGroup = 1;
    int dstNumber = 1;
    bool operator==(const RemapRow&) const = default;
};

// The palette remap table: each row says "draw with palette (dstGroup,
// dstNumber) wherever palette (srcGroup, srcNumber) would be used". It lets a
// user preview a character with another of its palettes; it is never saved.
class QReMapModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    QReMapModel();

    // The archive whose palettes the rows name; not owned.
    void setSprites(const QSprites* sprites);
    // Edits made through a view (setData) become steps of this stack; without
    // one they apply at once.
    void setUndoStack(QUndoStack* stack) { undoStack = stack; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // removeRow(row) of the base class comes here.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    // Appends the row (1, 1, 1, 1).
    bool addRow();
    // The palette index to draw with instead of `palette`, or -1 for none.
    int remapPalette(int palette) const;

    // Rows as they are, for the commands that edit the table.
    RemapRow row(int index) const { return rows.value(index); }
    void insertRowAt(int index, const RemapRow& row);
    void setRowAt(int index, const RemapRow& row);

private:
    static int& cell(RemapRow& r, int column);

    QList<RemapRow> rows;
    const QSprites* sprites = nullptr;
    QUndoStack* undoStack = nullptr;
};

#endif

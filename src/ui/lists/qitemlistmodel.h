#ifndef QITEMLISTMODEL_H
#define QITEMLISTMODEL_H

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <optional>

// The items of one document as the list beside the page's selector: a line
// for each (its group and number, or its number and name), a detail line, a
// tool tip, and a mark on the items whose key another item has too (the
// engine only ever finds the first of them). Subclasses say what their rows
// show; this keeps the row count and the keys in step with the document's
// signals, so that a view asks only for the rows it paints.
class QItemListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { DetailRole = Qt::UserRole + 1, DuplicateRole, ThumbnailRole };

    explicit QItemListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The first row at or after `from` (going round past the end) that the
    // typed text names; -1 when none does or the text names nothing.
    int find(const QString& text, int from) const;
    // Whether another row has the key of `row`, and the first other row that has it.
    bool isDuplicate(int row) const;
    int otherWithKey(int row) const;
    // What to tell about an item whose key another has too; empty otherwise.
    virtual QString duplicateNote(int row) const = 0;
    // Rows draw a thumbnail (ThumbnailRole).
    virtual bool hasThumbnails() const { return false; }

    // "9000,1" or "9000" (a group): one or two integers, blanks allowed.
    struct GroupAndNumber
    {
        qint64 group = 0;
        std::optional<qint64> number;
    };
    static std::optional<GroupAndNumber> parseGroupAndNumber(const QString& text);

protected:
    virtual int itemCount() const = 0;
    virtual QString text(int row) const = 0;
    virtual QString detail(int row) const = 0;
    virtual QString toolTip(int row) const = 0;
    // What two items must not share (group and number); -1 for none.
    virtual qint64 key(int row) const = 0;
    virtual QVariant thumbnail(int row) const;
    // Whether the typed text names `row` (the text is trimmed and not empty).
    virtual bool matches(int row, const QString& text) const = 0;

    // What the document's signals call: everything anew, rows in and out,
    // one row's fields, a change that shows in every row (`role`).
    void reset();
    void inserted(int index, int count);
    void removed(int index, int count);
    void changed(int index);
    void changedEverywhere(int role);

private:
    void countKeys();

    int rows = 0;
    QList<qint64> keys;
    QHash<qint64, int> keyCount;
};

#endif

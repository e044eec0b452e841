#ifndef QISSUESMODEL_H
#define QISSUESMODEL_H

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <functional>

class QMessages;

// The issues list as the Issues page shows it: the lines of each file under
// a header row with the file's name, in the order the files were read. A
// line that names an item ("kfm.sff(12): ...") says which, as the window
// describes it ("Sprite 12 (9000,1): ..."); its tool tip has the whole text.
class QIssuesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        FileRole = Qt::UserRole + 1, // the file's path, on its header and its lines
        ItemRole,                    // the item a line names, -1 for none
        NumberRole,                  // the number in parentheses (an index or a line), -1 for none
        HeaderRole                   // true on a file's header row
    };

    explicit QIssuesModel(QMessages* messages, QObject* parent = nullptr);

    // What a line of `file` names: the item the loader gave and the number
    // in its parentheses; empty to show the line as it was written.
    std::function<QString(const QString& file, int item, int number)> describe;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The row of the issues list a row shows; -1 for a header.
    int messageRow(int row) const;

private:
    struct Group
    {
        QString file;
        QList<int> rows; // rows of the issues list
        bool hasHeader() const { return !file.isEmpty(); }
        int size() const { return int(rows.size()) + (hasHeader() ? 1 : 0); }
    };
    void rebuild();
    void appended(int first, int last);
    // The group and the place in it (0 the header) of a row; false outside.
    bool locate(int row, int* group, int* place) const;
    int groupStart(int group) const;

    QMessages* messages;
    QList<Group> groups;
    int total = 0;
};

#endif

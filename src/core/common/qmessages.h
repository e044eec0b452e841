#ifndef QMESSAGES_H
#define QMESSAGES_H

#include <QAbstractListModel>
#include <QList>
#include <QString>

// The issues list: problems the loaders find while reading a character's files.
// Each row is a finished text line ("kfm.air(12): Unexpected token 'x'") and a
// severity shown as an icon.
namespace morvane {
enum class MessageType : quint8 { Error = 0, Warning = 1, Information = 2 };
} // namespace morvane
using morvane::MessageType;

class QMessages : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit QMessages(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void addError(const QString& text);
    void addWarning(const QString& text);
    void addInfo(const QString& text);
    void clear();

    // Read access for non-view callers (the command-line tool prints the list).
    MessageType type(int row) const;
    QString text(int row) const;

private:
    struct Message {
        MessageType type;
        QString text;
    };
    void add(MessageType type, const QString& text);

    QList<Message> messages;
};

#endif

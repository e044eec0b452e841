#ifndef QMESSAGES_H
#define QMESSAGES_H

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QStringList>

// The issues list: problems the loaders find while reading a character's files.
// Each row is a finished text line ("kfm.air(12): Unexpected token 'x'") and a
// severity shown as an icon.
//
// A loader reads one file inside a FileScope: its lines then belong to that
// file (by path), and the lines an earlier load of the same file left are
// dropped first, so that the list tells what the files hold now. A line may
// also name the item it is about (a sprite, sound or action index), for the
// window to show it.
namespace morvane {
enum class MessageType : quint8 { Error = 0, Warning = 1, Information = 2 };
} // namespace morvane
using morvane::MessageType;

class QMessages : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { FileRole = Qt::UserRole + 1, ItemRole };

    explicit QMessages(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void addError(const QString& text, int item = -1);
    void addWarning(const QString& text, int item = -1);
    void addInfo(const QString& text, int item = -1);
    void clear();

    // Lines added from now on belong to the file at `path`; the file's earlier
    // lines go (unless a scope of that file is open already). Scopes nest:
    // endFile() returns to the file read before.
    void beginFile(const QString& path);
    void endFile();
    // Removes every line of the file.
    void removeFile(const QString& path);

    // beginFile and endFile around a block; a null list is allowed.
    class FileScope
    {
    public:
        FileScope(QMessages* messages, const QString& path);
        ~FileScope();
        FileScope(const FileScope&) = delete;
        FileScope& operator=(const FileScope&) = delete;

    private:
        QMessages* messages;
    };

    // Read access for non-view callers (the command-line tool prints the list).
    MessageType type(int row) const;
    QString text(int row) const;
    // The file a line belongs to (empty outside any scope) and the item it
    // names (-1 for none).
    QString file(int row) const;
    int item(int row) const;

private:
    struct Message {
        MessageType type;
        QString text;
        QString file;
        int item;
    };
    void add(MessageType type, const QString& text, int item);

    QList<Message> messages;
    QStringList files; // the open scopes, innermost last
};

#endif

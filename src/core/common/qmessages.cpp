#include "qmessages.h"

#include <QIcon>

QMessages::QMessages(QObject* parent) : QAbstractListModel(parent) {}

int QMessages::rowCount(const QModelIndex& parent) const
{
    // A list: the lines have no rows under them.
    return parent.isValid() ? 0 : int(messages.size());
}

QVariant QMessages::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() < 0 || index.column() < 0
        || index.row() >= messages.size())
        return QVariant();
    const Message& m = messages.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return m.text;
    case Qt::DecorationRole:
        switch (m.type) {
        case MessageType::Warning:
            return QIcon(QStringLiteral(":/msgs/Nuvola/warn.png"));
        case MessageType::Information:
            return QIcon(QStringLiteral(":/msgs/Nuvola/info.png"));
        default:
            return QIcon(QStringLiteral(":/msgs/Nuvola/error.png"));
        }
    case FileRole:
        return m.file;
    case ItemRole:
        return m.item;
    default:
        return QVariant();
    }
}

void QMessages::add(MessageType type, const QString& text, int item)
{
    const int n = messages.size();
    beginInsertRows(QModelIndex(), n, n);
    messages.append({type, text, files.isEmpty() ? QString() : files.last(), item < 0 ? -1 : item});
    endInsertRows();
}

void QMessages::addError(const QString& text, int item) { add(MessageType::Error, text, item); }
void QMessages::addWarning(const QString& text, int item) { add(MessageType::Warning, text, item); }
void QMessages::addInfo(const QString& text, int item) { add(MessageType::Information, text, item); }

void QMessages::clear()
{
    if (messages.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, messages.size() - 1);
    messages.clear();
    endRemoveRows();
}

void QMessages::beginFile(const QString& path)
{
    // A scope of the same file inside this one (the window around a
    // loader) adds to what it reads.
    if (!files.contains(path))
        removeFile(path);
    files.append(path);
}

void QMessages::endFile()
{
    if (!files.isEmpty())
        files.removeLast();
}

void QMessages::removeFile(const QString& path)
{
    if (path.isEmpty())
        return;
    // From the back, one run of neighbouring lines at a time.
    int last = int(messages.size()) - 1;
    while (last >= 0) {
        if (messages.at(last).file != path) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && messages.at(first - 1).file == path)
            --first;
        beginRemoveRows(QModelIndex(), first, last);
        messages.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }
}

QMessages::FileScope::FileScope(QMessages* messages, const QString& path) : messages(messages)
{
    if (messages)
        messages->beginFile(path);
}

QMessages::FileScope::~FileScope()
{
    if (messages)
        messages->endFile();
}

MessageType QMessages::type(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).type : MessageType::Error;
}

QString QMessages::text(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).text : QString();
}

QString QMessages::file(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).file : QString();
}

int QMessages::item(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).item : -1;
}

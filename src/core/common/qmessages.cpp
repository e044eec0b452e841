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
    default:
        return QVariant();
    }
}

void QMessages::add(MessageType type, const QString& text)
{
    const int n = messages.size();
    beginInsertRows(QModelIndex(), n, n);
    messages.append({type, text});
    endInsertRows();
}

void QMessages::addError(const QString& text) { add(MessageType::Error, text); }
void QMessages::addWarning(const QString& text) { add(MessageType::Warning, text); }
void QMessages::addInfo(const QString& text) { add(MessageType::Information, text); }

void QMessages::clear()
{
    if (messages.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, messages.size() - 1);
    messages.clear();
    endRemoveRows();
}

MessageType QMessages::type(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).type : MessageType::Error;
}

QString QMessages::text(int row) const
{
    return row >= 0 && row < messages.size() ? messages.at(row).text : QString();
}

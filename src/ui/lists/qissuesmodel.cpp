#include "qissuesmodel.h"

#include "qmessages.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QRegularExpression>

namespace {

// "name(12): text": the convention of every loader's line.
struct Parsed
{
    QString name;
    int number = -1;
    QString rest;
};

Parsed parse(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(.*?)\\((-?\\d+)\\): (.*)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    bool ok = false;
    const int number = m.captured(2).toInt(&ok);
    return ok ? Parsed{m.captured(1), number, m.captured(3)} : Parsed{};
}

} // namespace

QIssuesModel::QIssuesModel(QMessages* messages, QObject* parent) : QAbstractListModel(parent), messages(messages)
{
    connect(messages, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { appended(first, last); });
    // Lines go only when a file is read again or the list is emptied: the
    // groups are made anew.
    connect(messages, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { beginResetModel(); });
    connect(messages, &QAbstractItemModel::rowsRemoved, this, [this] {
        rebuild();
        endResetModel();
    });
    connect(messages, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(messages, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        endResetModel();
    });
    rebuild();
}

void QIssuesModel::rebuild()
{
    groups.clear();
    total = 0;
    for (int i = 0; i < messages->rowCount(); ++i) {
        const QString file = messages->file(i);
        auto g = std::find_if(groups.begin(), groups.end(), [&](const Group& x) { return x.file == file; });
        if (g == groups.end()) {
            groups.append({file, {}});
            g = groups.end() - 1;
            total += g->hasHeader() ? 1 : 0;
        }
        g->rows.append(i);
        ++total;
    }
}

int QIssuesModel::groupStart(int group) const
{
    int start = 0;
    for (int g = 0; g < group; ++g)
        start += groups[g].size();
    return start;
}

void QIssuesModel::appended(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        const QString file = messages->file(i);
        int g = 0;
        while (g < groups.size() && groups[g].file != file)
            ++g;
        if (g == groups.size()) {
            Group group{file, {i}};
            beginInsertRows(QModelIndex(), total, total + group.size() - 1);
            groups.append(group);
            total += group.size();
            endInsertRows();
            continue;
        }
        const int at = groupStart(g) + groups[g].size();
        beginInsertRows(QModelIndex(), at, at);
        groups[g].rows.append(i);
        ++total;
        endInsertRows();
    }
}

bool QIssuesModel::locate(int row, int* group, int* place) const
{
    if (row < 0 || row >= total)
        return false;
    for (int g = 0; g < groups.size(); ++g) {
        if (row < groups[g].size()) {
            *group = g;
            *place = groups[g].hasHeader() ? row : row + 1;
            return true;
        }
        row -= groups[g].size();
    }
    return false;
}

int QIssuesModel::messageRow(int row) const
{
    int g = 0, place = 0;
    if (!locate(row, &g, &place) || place == 0)
        return -1;
    return groups[g].rows[place - 1];
}

int QIssuesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : total;
}

QVariant QIssuesModel::data(const QModelIndex& index, int role) const
{
    int g = 0, place = 0;
    if (!index.isValid() || index.model() != this || !locate(index.row(), &g, &place))
        return QVariant();
    const Group& group = groups[g];
    if (place == 0) {
        switch (role) {
        case Qt::DisplayRole:
            return QFileInfo(group.file).fileName();
        case Qt::ToolTipRole:
            return QDir::toNativeSeparators(group.file);
        case Qt::FontRole: {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case FileRole:
            return group.file;
        case HeaderRole:
            return true;
        case ItemRole:
        case NumberRole:
            return -1;
        default:
            return QVariant();
        }
    }
    const int row = group.rows[place - 1];
    const QString text = messages->text(row);
    switch (role) {
    case Qt::DisplayRole: {
        const Parsed p = parse(text);
        // Under its file's header the line need not name the file again.
        if (p.number < 0 || (!group.file.isEmpty() && p.name != QFileInfo(group.file).fileName()))
            return text;
        const QString subject = describe ? describe(group.file, messages->item(row), p.number) : QString();
        return subject.isEmpty() ? text : subject + QStringLiteral(": ") + p.rest;
    }
    case Qt::ToolTipRole:
        return text;
    case Qt::DecorationRole:
        return messages->data(messages->index(row), Qt::DecorationRole);
    case FileRole:
        return group.file;
    case ItemRole:
        return messages->item(row);
    case NumberRole:
        return parse(text).number;
    case HeaderRole:
        return false;
    default:
        return QVariant();
    }
}

#include "qcodeoutline.h"

#include "codelineinfo.h"
#include "qmugenhighlighter.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

// Entries look the same: same text, children that look the same. Lines may differ.
bool sameLook(const QCodeOutline::Entry& a, const QCodeOutline::Entry& b)
{
    if (a.text != b.text || a.children.size() != b.children.size())
        return false;
    for (qsizetype i = 0; i < a.children.size(); ++i)
        if (!sameLook(a.children[i], b.children[i]))
            return false;
    return true;
}

// "Statedef 200" (as the header's words): 200. False for other words.
bool statedefNumber(QStringView words, int* number)
{
    static const QLatin1String statedef("statedef");
    if (!words.startsWith(statedef, Qt::CaseInsensitive))
        return false;
    QStringView rest = words.mid(statedef.size()).trimmed();
    qsizetype end = 0;
    if (end < rest.size() && (rest[end] == QLatin1Char('-') || rest[end] == QLatin1Char('+')))
        ++end;
    while (end < rest.size() && rest[end].isDigit())
        ++end;
    bool ok = false;
    *number = rest.left(end).toInt(&ok);
    return ok;
}

const CodeLineInfo* lineInfo(const QTextBlock& block)
{
    return dynamic_cast<const CodeLineInfo*>(block.userData());
}

} // namespace

QCodeOutline::QCodeOutline(QObject* parent) : QAbstractItemModel(parent) {}

void QCodeOutline::setDocument(QTextDocument* document)
{
    if (doc)
        disconnect(doc, nullptr, this, nullptr);
    beginResetModel();
    doc = document;
    highlighter = doc ? doc->findChild<QMugenHighlighter*>() : nullptr;
    top = doc ? gather(doc) : QList<Entry>();
    gatheredRevision = highlighter ? highlighter->outlineRevision() : 0;
    gatheredLines = doc ? doc->blockCount() : -1;
    endResetModel();
    // Connected after the highlighter, so the lines are noted before this looks.
    if (doc)
        connect(doc, &QTextDocument::contentsChange, this, &QCodeOutline::refresh);
}

QList<QCodeOutline::Entry> QCodeOutline::gather(const QTextDocument* document)
{
    QList<Entry> out;
    if (!document)
        return out;
    qsizetype statedef = -1;   // the Statedef that takes controllers
    qsizetype command = -1;    // the Command that takes a name
    Entry* controller = nullptr; // the controller that takes a type
    QString controllerName;
    int line = 0;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next(), ++line) {
        const CodeLineInfo* info = lineInfo(b);
        if (!info)
            continue;
        const int state = info->state;
        switch (info->kind) {
        case CodeLineInfo::Header: {
            controller = nullptr;
            command = -1;
            int number = 0;
            if (state == QMugenHighlighter::StateBeforeType && !info->text.startsWith(QLatin1String("statedef"), Qt::CaseInsensitive)) {
                const qsizetype comma = info->text.indexOf(QLatin1Char(','));
                controllerName = comma < 0 ? info->text : info->text.mid(comma + 1).trimmed();
                QList<Entry>& list = statedef >= 0 ? out[statedef].children : out;
                list.append({controllerName, line, {}});
                controller = &list.last();
            } else if (state == QMugenHighlighter::Statedef && statedefNumber(info->text, &number)) {
                out.append({info->text, line, {}});
                statedef = out.size() - 1;
            } else {
                out.append({info->text, line, {}});
                statedef = -1;
                if (state == QMugenHighlighter::Command)
                    command = out.size() - 1;
            }
            break;
        }
        case CodeLineInfo::Type:
            if (controller) {
                controller->text = controllerName + QLatin1String(" (") + info->text + QLatin1Char(')');
                controller = nullptr;
            }
            break;
        case CodeLineInfo::CommandName:
            if (command >= 0 && !info->text.isEmpty()) {
                out[command].text = info->text;
                command = -1;
            }
            break;
        }
    }
    return out;
}

int QCodeOutline::findStatedef(const QTextDocument* document, int number)
{
    if (!document)
        return -1;
    int line = 0;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next(), ++line) {
        const CodeLineInfo* info = lineInfo(b);
        int n = 0;
        if (info && info->kind == CodeLineInfo::Header && info->state == QMugenHighlighter::Statedef
            && statedefNumber(info->text, &n) && n == number)
            return line;
    }
    return -1;
}

void QCodeOutline::refresh()
{
    // Typing inside a line that no outline entry stands for changes nothing:
    // no note changed and no line came or went.
    if (highlighter && doc && highlighter->outlineRevision() == gatheredRevision && doc->blockCount() == gatheredLines)
        return;
    gatheredRevision = highlighter ? highlighter->outlineRevision() : 0;
    gatheredLines = doc ? doc->blockCount() : -1;
    const QList<Entry> now = doc ? gather(doc) : QList<Entry>();
    updateRows(QModelIndex(), top, now);
}

// Changes `old` into `now` through the model's signals: rows that look the
// same stay (a tree keeps their expansion and selection), the others are
// changed in place, removed or inserted.
void QCodeOutline::updateRows(const QModelIndex& parent, QList<Entry>& old, const QList<Entry>& now)
{
    qsizetype head = 0;
    while (head < old.size() && head < now.size() && sameLook(old[head], now[head]))
        ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < now.size() - head
           && sameLook(old[old.size() - 1 - tail], now[now.size() - 1 - tail]))
        ++tail;
    const qsizetype oldMid = old.size() - head - tail, newMid = now.size() - head - tail;
    if (oldMid == newMid) {
        for (qsizetype k = head; k < head + oldMid; ++k) {
            if (old[k].text != now[k].text) {
                old[k].text = now[k].text;
                const QModelIndex i = index(int(k), 0, parent);
                emit dataChanged(i, i);
            }
            if (!parent.isValid())
                updateRows(index(int(k), 0), old[k].children, now[k].children);
        }
    } else {
        if (oldMid > 0) {
            beginRemoveRows(parent, int(head), int(head + oldMid - 1));
            old.remove(head, oldMid);
            endRemoveRows();
        }
        if (newMid > 0) {
            beginInsertRows(parent, int(head), int(head + newMid - 1));
            for (qsizetype k = 0; k < newMid; ++k)
                old.insert(head + k, now[head + k]);
            endInsertRows();
        }
    }
    // Everything looks as it should now; lines may have moved without showing.
    for (qsizetype k = 0; k < old.size(); ++k) {
        old[k].line = now[k].line;
        if (!parent.isValid())
            for (qsizetype c = 0; c < old[k].children.size(); ++c)
                old[k].children[c].line = now[k].children[c].line;
    }
}

QModelIndex QCodeOutline::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid())
        return row < top.size() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= top.size() || row >= top[parent.row()].children.size())
        return QModelIndex();
    return createIndex(row, 0, quintptr(parent.row() + 1));
}

QModelIndex QCodeOutline::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return QModelIndex();
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int QCodeOutline::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(top.size());
    if (parent.internalId() != 0 || parent.row() >= top.size())
        return 0;
    return int(top[parent.row()].children.size());
}

int QCodeOutline::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant QCodeOutline::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Entry* e = nullptr;
    if (index.internalId() == 0) {
        if (index.row() < top.size())
            e = &top[index.row()];
    } else {
        const qsizetype p = qsizetype(index.internalId() - 1);
        if (p < top.size() && index.row() < top[p].children.size())
            e = &top[p].children[index.row()];
    }
    if (!e)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return e->text;
    case Qt::ToolTipRole:
        return tr("Line %1").arg(e->line + 1);
    case LineRole:
        return e->line;
    default:
        return QVariant();
    }
}

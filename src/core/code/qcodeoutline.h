#ifndef QCODEOUTLINE_H
#define QCODEOUTLINE_H

#include <QAbstractItemModel>
#include <QList>
#include <QPointer>
#include <QTextDocument>

#include "qmugenhighlighter.h"
#include <QString>


// The outline of a code document as a two-level tree: its sections in order
// (a CMD's commands by name), and under each Statedef its controllers by
// label and type. It is gathered from the notes the highlighter keeps with
// the lines (CodeLineInfo) and the lines' states, never by reading the text
// again, and follows every edit changing only the rows that differ.
class QCodeOutline : public QAbstractItemModel
{
    Q_OBJECT
public:
    struct Entry
    {
        QString text; // what the tree shows
        int line = 0; // block number of the header
        QList<Entry> children;
    };

    // The block number of an entry's header.
    static constexpr int LineRole = Qt::UserRole;

    explicit QCodeOutline(QObject* parent = nullptr);

    // The document to follow (nullptr: none). Its highlighter must have been
    // attached before, so that the lines are noted when this model looks.
    void setDocument(QTextDocument* document);
    QTextDocument* document() const { return doc; }
    // Gathers the outline again; called on every change of the document.
    void refresh();
    const QList<Entry>& entries() const { return top; }

    // The outline of a document, as refresh() gathers it.
    static QList<Entry> gather(const QTextDocument* document);
    // The block number of the header [Statedef number] in a document, or -1.
    static int findStatedef(const QTextDocument* document, int number);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void updateRows(const QModelIndex& parent, QList<Entry>& old, const QList<Entry>& now);

    QPointer<QTextDocument> doc;
    QPointer<QMugenHighlighter> highlighter;
    // What the outline was gathered from: the notes' revision, the line count.
    quint64 gatheredRevision = 0;
    int gatheredLines = -1;
    QList<Entry> top;
};

#endif

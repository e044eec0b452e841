#include "qfiledocument.h"

#include "fileread.h"
#include "qeditcommand.h"

QFileDocument::QFileDocument(QObject* parent) : QObject(parent)
{
    connect(&stack, &QUndoStack::indexChanged, this, &QFileDocument::updateModified);
    connect(&stack, &QUndoStack::cleanChanged, this, &QFileDocument::updateModified);
}

QFileDocument::~QFileDocument() = default;

void QFileDocument::setFileName(const QString& fileName)
{
    if (name == fileName)
        return;
    name = fileName;
    emit fileNameChanged(name);
}

void QFileDocument::markSaved()
{
    stack.setClean();
    updateModified();
}

void QFileDocument::markFresh()
{
    stack.clear();
    stack.setClean();
    updateModified();
}

void QFileDocument::markIncomplete()
{
    stack.resetClean();
    updateModified();
}

void QFileDocument::updateModified()
{
    bool now = false;
    const int clean = stack.cleanIndex();
    if (clean < 0) {
        now = true;
    } else {
        // Only steps that change the file count: previewing palettes through
        // the remap table leaves the archive saved.
        const int from = qMin(clean, stack.index());
        const int to = qMax(clean, stack.index());
        for (int i = from; i < to && !now; ++i) {
            const auto* c = dynamic_cast<const QEditCommand*>(stack.command(i));
            now = !c || c->changesFile();
        }
    }
    if (now == modified)
        return;
    modified = now;
    emit modifiedChanged(modified);
}

bool QFileDocument::readWholeFile(const QString& path, qint64 limit, QByteArray* bytes)
{
    QString error;
    if (readFileBytes(path, limit, bytes, &error))
        return true;
    setErrorString(error);
    return false;
}

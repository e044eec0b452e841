#ifndef QFILEDOCUMENT_H
#define QFILEDOCUMENT_H

#include <QObject>
#include <QString>
#include <QUndoStack>

// A document kept in one file: it owns its file name, its undo stack and
// whether it holds unsaved work. It is unsaved when the stack stands away from
// the step at which it was last saved or loaded by any step that changes the
// file, or after a load that stopped early (saving that would lose the rest).
//
// Edits reach a document only as commands pushed onto its stack; the commands
// call the document's mutators, which emit the change signals the views and
// pages redraw from.
class QFileDocument : public QObject
{
    Q_OBJECT
public:
    explicit QFileDocument(QObject* parent = nullptr);
    ~QFileDocument() override;

    QUndoStack* undoStack() { return &stack; }
    const QUndoStack* undoStack() const { return &stack; }

    QString fileName() const { return name; }
    bool isModified() const { return modified; }
    // Why the last load or save failed, for the user; empty when it is not known.
    QString errorString() const { return lastError; }

    // The page routine's view of the document.
    virtual int itemCount() const = 0;
    virtual bool load(const QString& fileName) = 0;
    virtual bool save(const QString& fileName) = 0;
    virtual void clear() = 0;

signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& fileName);
    // Everything changed at once (a load, a new document): views start over.
    void documentReset();

protected:
    void setFileName(const QString& fileName);
    void setErrorString(const QString& error) { lastError = error; }
    // The whole file the person named, when it is an ordinary file within
    // `limit` bytes; otherwise false with errorString() saying why.
    bool readWholeFile(const QString& path, qint64 limit, QByteArray* bytes);
    // The document now is what its file holds (loaded, saved): the history
    // stays, and stepping back into it makes the document unsaved again.
    void markSaved();
    // A fresh start (loaded or emptied): no history to go back to.
    void markFresh();
    // The document holds less than its file: unsaved until saved.
    void markIncomplete();

private:
    void updateModified();

    QUndoStack stack;
    QString name;
    QString lastError;
    bool modified = false;
};

#endif

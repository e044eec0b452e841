#ifndef QCODEDOCUMENTS_H
#define QCODEDOCUMENTS_H

#include "codetext.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QAbstractTextDocumentLayout;
class QMugenHighlighter;
class QSaveFile;
class QTextDocument;
class SyntaxDefinition;

// The open code documents (DEF, CMD, CNS, ST and any text file), in order.
// Each owns its text (a QTextDocument with its undo), its highlighter, its
// file name, the format its bytes were read in and those bytes themselves:
// a document saved without an edit writes them back as they were, and an
// edited one keeps the bytes of every line it did not change.
class QCodeDocuments : public QObject
{
    Q_OBJECT
public:
    enum Error {
        NoError,
        BadIndex,
        NoFileName,    // a new document, or one whose file went away
        ReadFailed,
        Unencodable,   // a character the encoding lacks (see unencodableAt)
        WriteFailed
    };

    explicit QCodeDocuments(const SyntaxDefinition* syntax, QObject* parent = nullptr);
    ~QCodeDocuments() override;

    // Opens a file as a new document at the end, or answers the index of the
    // document that has it open already (paths compared ignoring case);
    // -1 when it cannot be read.
    int open(const QString& fileName);
    // A new, empty document at the end: UTF-8 without a byte-order mark.
    int newDocument();
    // Writes a document to its file. False for a document without a file on
    // disk (NoFileName: the caller asks for a name), when a character cannot
    // be encoded (nothing is written) or when writing fails (the old file
    // stays whole); the modified mark then stays.
    bool save(int index);
    // Writes a document to another file, which becomes its file.
    bool saveAs(int index, const QString& fileName);
    bool close(int index);
    void closeAll();
    bool move(int from, int to);

    int count() const { return int(docs.size()); }
    int indexOf(const QString& fileName) const;
    QString fileName(int index) const;
    QTextDocument* document(int index) const;
    QMugenHighlighter* highlighter(int index) const;
    // The text as the file would hold it, line ends as "\n".
    QString text(int index) const;
    bool isModified(int index) const;
    CodeEncoding encoding(int index) const;
    bool hasByteOrderMark(int index) const;
    // How many bytes of the file the encoding does not define (kept as read).
    int invalidBytes(int index) const;

    // Reads an unedited document's bytes again in another encoding, or (for
    // an edited one) makes the next save write the text in it. False, with
    // Unencodable, when the edited text holds a character the encoding lacks;
    // `force` switches all the same (the save will ask again).
    bool setEncoding(int index, CodeEncoding encoding, bool force = false);

    Error error() const { return lastError; }
    QString errorString() const { return lastErrorString; }
    // After Unencodable: where the first such character is (block number and
    // position in its line).
    int unencodableLine() const { return badLine; }
    int unencodableColumn() const { return badColumn; }

    // Gives each new document its layout before any text goes in (an editor
    // widget may need its own kind); without one the document makes its own.
    using LayoutFactory = std::function<QAbstractTextDocumentLayout*(QTextDocument*)>;
    void setLayoutFactory(LayoutFactory factory) { layoutFactory = std::move(factory); }

signals:
    void documentAdded(int index);
    void documentRemoved(int index);
    void documentMoved(int from, int to);
    void fileNameChanged(int index);
    void modifiedChanged(int index, bool modified);
    void encodingChanged(int index);

private:
    struct Entry;

    int add(Entry* entry, const QString& text);
    bool fail(Error e, const QString& message);
    bool write(int index, const QString& fileName);
    void setUnencodable(int index, qsizetype textIndex);

    const SyntaxDefinition* syntax;
    QList<Entry*> docs;
    Error lastError = NoError;
    QString lastErrorString;
    int badLine = -1;
    int badColumn = -1;
    LayoutFactory layoutFactory;
};

#endif

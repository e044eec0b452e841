#include "qcodedocuments.h"

#include "fileread.h"
#include "savefile.h"

#include "qmugenhighlighter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

struct QCodeDocuments::Entry
{
    QTextDocument* doc = nullptr;
    QMugenHighlighter* highlighter = nullptr;
    QString fileName;
    CodeFileFormat format;
    // The file's bytes as last read or written, and whether they are in
    // `format` still (not after an edited text changed its encoding).
    QByteArray bytes;
    bool bytesFit = true;
    int invalidBytes = 0;
};

namespace {

// The document's text with "\n" between lines. Unlike toPlainText, characters
// such as the no-break space stay what they are.
QString documentText(const QTextDocument* doc)
{
    QString text;
    text.reserve(doc->characterCount());
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin())
            text += QLatin1Char('\n');
        text += b.text();
    }
    return text;
}

bool isUnicode(CodeEncoding e)
{
    return !codeencoding::byteOrderMark(e).isEmpty();
}

} // namespace

QCodeDocuments::QCodeDocuments(const SyntaxDefinition* syntax, QObject* parent) : QObject(parent), syntax(syntax) {}

QCodeDocuments::~QCodeDocuments()
{
    for (Entry* e : std::as_const(docs)) {
        // A highlighter that goes clears its colours: nobody is to hear of it.
        e->doc->blockSignals(true);
        delete e->highlighter;
        delete e->doc;
        delete e;
    }
}

bool QCodeDocuments::fail(Error e, const QString& message)
{
    lastError = e;
    lastErrorString = message;
    return false;
}

int QCodeDocuments::indexOf(const QString& fileName) const
{
    if (fileName.isEmpty())
        return -1;
    for (int i = 0; i < docs.size(); ++i)
        if (docs.at(i)->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString QCodeDocuments::fileName(int index) const
{
    return index >= 0 && index < docs.size() ? docs.at(index)->fileName : QString();
}

QTextDocument* QCodeDocuments::document(int index) const
{
    return index >= 0 && index < docs.size() ? docs.at(index)->doc : nullptr;
}

QMugenHighlighter* QCodeDocuments::highlighter(int index) const
{
    return index >= 0 && index < docs.size() ? docs.at(index)->highlighter : nullptr;
}

QString QCodeDocuments::text(int index) const
{
    return index >= 0 && index < docs.size() ? documentText(docs.at(index)->doc) : QString();
}

bool QCodeDocuments::isModified(int index) const
{
    return index >= 0 && index < docs.size() && docs.at(index)->doc->isModified();
}

CodeEncoding QCodeDocuments::encoding(int index) const
{
    return index >= 0 && index < docs.size() ? docs.at(index)->format.encoding : CodeEncoding::Utf8;
}

bool QCodeDocuments::hasByteOrderMark(int index) const
{
    return index >= 0 && index < docs.size() && docs.at(index)->format.byteOrderMark;
}

int QCodeDocuments::invalidBytes(int index) const
{
    return index >= 0 && index < docs.size() ? docs.at(index)->invalidBytes : 0;
}

int QCodeDocuments::add(Entry* e, const QString& text)
{
    e->doc = new QTextDocument(this);
    // A document reports its changes (to its highlighter, to an outline) only
    // once it has a layout.
    if (layoutFactory)
        e->doc->setDocumentLayout(layoutFactory(e->doc));
    else
        e->doc->documentLayout();
    // The highlighter is attached first so that the text is coloured (and its
    // outline noted) as it goes in.
    e->highlighter = new QMugenHighlighter(e->doc, syntax);
    e->doc->setUndoRedoEnabled(false);
    e->doc->setPlainText(text);
    e->doc->setUndoRedoEnabled(true);
    e->doc->setModified(false);
    QTextDocument* doc = e->doc;
    connect(doc, &QTextDocument::modificationChanged, this, [this, doc](bool modified) {
        for (int i = 0; i < docs.size(); ++i)
            if (docs.at(i)->doc == doc)
                emit modifiedChanged(i, modified);
    });
    docs.append(e);
    emit documentAdded(int(docs.size() - 1));
    return int(docs.size() - 1);
}

int QCodeDocuments::open(const QString& fileName)
{
    const int existing = indexOf(fileName);
    if (existing >= 0)
        return existing;
    QByteArray bytes;
    QString error;
    if (!readFileBytes(fileName, TextFileLimit, &bytes, &error)) {
        fail(ReadFailed, error);
        return -1;
    }
    auto* e = new Entry;
    e->fileName = fileName;
    e->bytes = bytes;
    const CodeText code = readCodeText(e->bytes);
    e->format = code.format;
    e->invalidBytes = code.invalidBytes;
    return add(e, code.text);
}

int QCodeDocuments::newDocument()
{
    auto* e = new Entry;
#ifdef Q_OS_WIN
    e->format.lineEnd = "\r\n";
#endif
    return add(e, QString());
}

void QCodeDocuments::setUnencodable(int index, qsizetype textIndex)
{
    const QString t = text(index);
    const QStringView before = QStringView(t).left(textIndex);
    badLine = int(before.count(QLatin1Char('\n')));
    badColumn = int(textIndex - (before.lastIndexOf(QLatin1Char('\n')) + 1));
}

bool QCodeDocuments::write(int index, const QString& fileName)
{
    Entry* e = docs.at(index);
    QByteArray bytes;
    if (!e->doc->isModified() && e->bytesFit) {
        bytes = e->bytes;
    } else {
        qsizetype bad = 0;
        if (!writeCodeText(text(index), e->format, e->bytesFit ? e->bytes : QByteArray(), &bytes, &bad)) {
            setUnencodable(index, bad);
            return fail(Unencodable, tr("A character cannot be written in %1").arg(codeencoding::name(e->format.encoding)));
        }
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(WriteFailed, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(WriteFailed, why);
    }
    // Only a commit that went through replaced the old file.
    const bool committed = commitSaveFile(file);
    if (!committed)
        return fail(WriteFailed, file.errorString().isEmpty() ? tr("the new file could not take the old one's place")
                                                               : file.errorString());
    e->bytes = bytes;
    e->bytesFit = true;
    e->invalidBytes = 0;
    lastError = NoError;
    lastErrorString.clear();
    return true;
}

bool QCodeDocuments::save(int index)
{
    if (index < 0 || index >= docs.size())
        return fail(BadIndex, tr("No such document"));
    const QString path = docs.at(index)->fileName;
    if (path.isEmpty() || !QFileInfo::exists(path))
        return fail(NoFileName, tr("The document has no file"));
    if (!write(index, path))
        return false;
    docs.at(index)->doc->setModified(false);
    return true;
}

bool QCodeDocuments::saveAs(int index, const QString& fileName)
{
    if (index < 0 || index >= docs.size())
        return fail(BadIndex, tr("No such document"));
    if (fileName.isEmpty())
        return fail(NoFileName, tr("No file name"));
    if (!write(index, fileName))
        return false;
    docs.at(index)->fileName = fileName;
    docs.at(index)->doc->setModified(false);
    emit fileNameChanged(index);
    return true;
}

bool QCodeDocuments::close(int index)
{
    if (index < 0 || index >= docs.size())
        return fail(BadIndex, tr("No such document"));
    Entry* e = docs.takeAt(index);
    emit documentRemoved(index);
    e->doc->blockSignals(true);
    delete e->highlighter;
    delete e->doc;
    delete e;
    return true;
}

void QCodeDocuments::closeAll()
{
    while (!docs.isEmpty())
        close(0);
}

bool QCodeDocuments::move(int from, int to)
{
    if (from < 0 || from >= docs.size() || to < 0 || to >= docs.size())
        return fail(BadIndex, tr("No such document"));
    if (from == to)
        return true;
    docs.move(from, to);
    emit documentMoved(from, to);
    return true;
}

bool QCodeDocuments::setEncoding(int index, CodeEncoding encoding, bool force)
{
    if (index < 0 || index >= docs.size())
        return fail(BadIndex, tr("No such document"));
    Entry* e = docs.at(index);
    if (e->format.encoding == encoding)
        return true;
    if (!e->doc->isModified() && e->bytesFit) {
        // Nothing was edited: read the file's bytes again.
        const CodeText code = readCodeText(e->bytes, encoding);
        e->format = code.format;
        e->invalidBytes = code.invalidBytes;
        e->doc->setUndoRedoEnabled(false);
        e->doc->setPlainText(code.text);
        e->doc->setUndoRedoEnabled(true);
        e->doc->setModified(false);
    } else {
        // The edited text is written in the new encoding from now on.
        CodeFileFormat format = e->format;
        format.encoding = encoding;
        format.byteOrderMark = e->format.byteOrderMark && isUnicode(encoding);
        QByteArray probe;
        qsizetype bad = 0;
        if (!writeCodeText(text(index), format, QByteArray(), &probe, &bad) && !force) {
            setUnencodable(index, bad);
            return fail(Unencodable, tr("A character cannot be written in %1").arg(codeencoding::name(encoding)));
        }
        e->format = format;
        e->bytesFit = false;
        e->doc->setModified(true); // the file changes when saved
    }
    emit encodingChanged(index);
    return true;
}

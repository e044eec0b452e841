#include "qcodefiles.h"

#include "codenavigation.h"
#include "qcodeedit.h"
#include "qmugenhighlighter.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QTabBar>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The character at a line and column of a text ("\n" between lines), whole
// when it is a surrogate pair.
QString characterAt(const QString& text, int line, int column)
{
    const QStringView l = QStringView(text).split(QLatin1Char('\n')).value(line);
    if (column < 0 || column >= l.size())
        return QString();
    const int n = l[column].isHighSurrogate() && column + 1 < l.size() ? 2 : 1;
    return l.mid(column, n).toString();
}

} // namespace

QCodeFiles::QCodeFiles(QWidget* parent)
    : QObject(parent),
      parentWidget(parent),
      docs(&syntax, this),
      edit(new QCodeEdit(parent, &syntax)),
      tabs(new QTabBar(parent)),
      outlineModel(this),
      encodingText(new QLabel(parent)),
      problemsText(new QLabel(parent))
{
    encodingText->setObjectName(QStringLiteral("codeEncoding"));
    problemsText->setObjectName(QStringLiteral("codeProblems"));
    encodingText->hide();
    problemsText->hide();
    // The editor shows the documents: they need its kind of layout.
    docs.setLayoutFactory([](QTextDocument* d) { return new QPlainTextDocumentLayout(d); });
    tabs->setTabsClosable(true);
    tabs->setMovable(true);
    tabs->setExpanding(false);
    tabs->setDocumentMode(true);
    tabs->hide();
    edit->hide();
    connect(tabs, &QTabBar::currentChanged, this, &QCodeFiles::currentChanged);
    connect(tabs, &QTabBar::tabCloseRequested, this, &QCodeFiles::tabCloseRequested);
    connect(tabs, &QTabBar::tabMoved, this, &QCodeFiles::tabMoved);
    connect(edit, &QCodeEdit::stateJumpRequested, this, &QCodeFiles::goToStatedef);

    connect(&docs, &QCodeDocuments::documentAdded, this, &QCodeFiles::documentAdded);
    connect(&docs, &QCodeDocuments::documentRemoved, this, [this](int index) { tabs->removeTab(index); });
    connect(&docs, &QCodeDocuments::documentMoved, this, [this](int from, int to) {
        if (!movingTabs) {
            movingTabs = true;
            tabs->moveTab(from, to);
            movingTabs = false;
        }
        // Whichever tab moved, the current document keeps being the current one.
        current = tabs->currentIndex();
    });
    connect(&docs, &QCodeDocuments::fileNameChanged, this, &QCodeFiles::updateTitle);
    connect(&docs, &QCodeDocuments::modifiedChanged, this, [this](int index, bool) { updateTitle(index); });
    connect(&docs, &QCodeDocuments::encodingChanged, this, [this](int index) {
        if (index == current)
            updateStatus();
    });

    problemCount.setSingleShot(true);
    problemCount.setInterval(150);
    connect(&problemCount, &QTimer::timeout, this, &QCodeFiles::updateStatus);
}

QCodeFiles::~QCodeFiles()
{
    // The widgets belong to the window; make sure the editor and the outline
    // let go of a document before the documents go.
    tracking = false;
    edit->setDocument(nullptr);
    outlineModel.setDocument(nullptr);
    disconnect(&docs, nullptr, this, nullptr);
}

bool QCodeFiles::loadSyntax(const QString& path)
{
    const bool ok = syntax.load(path);
    edit->updateCompletionWords();
    return ok;
}

QString QCodeFiles::text(int index) const
{
    return docs.text(index);
}

void QCodeFiles::documentAdded(int index)
{
    QTextDocument* doc = docs.document(index);
    // The problem count follows the typing in the current document.
    connect(doc, &QTextDocument::contentsChange, this, [this, doc] {
        if (doc == docs.document(current))
            problemCount.start();
    });
    tabs->insertTab(index, QFileInfo(docs.fileName(index)).fileName());
}

void QCodeFiles::newFile()
{
    const int index = docs.newDocument();
    tabs->setCurrentIndex(index);
    current = index;
    if (shown)
        edit->show();
}

bool QCodeFiles::open(const QString& fileName, bool makeCurrent)
{
    const int existing = docs.indexOf(fileName);
    if (existing >= 0) {
        if (makeCurrent)
            tabs->setCurrentIndex(existing);
        return true;
    }
    const int remembered = current;
    const int index = docs.open(fileName);
    if (index < 0)
        return false;
    // (The first tab of an empty bar became current as it was added.)
    if (shown)
        edit->show();
    if (makeCurrent)
        tabs->setCurrentIndex(index);
    else if (remembered >= 0)
        current = remembered;
    return true;
}

void QCodeFiles::warnSave(int index, const QString& fileName)
{
    QMessageBox::warning(parentWidget, tr("Save DEF/CMD/CNS"),
                         tr("The file %1 could not be saved: %2").arg(fileName, docs.errorString()));
}

bool QCodeFiles::writeAsking(int index, const QString& fileName, bool (QCodeDocuments::*write)(int, const QString&))
{
    if ((docs.*write)(index, fileName))
        return true;
    if (docs.error() == QCodeDocuments::Unencodable) {
        // Never replaced silently: the person chooses UTF-8, or keeps the file as it is.
        const QString what = characterAt(docs.text(index), docs.unencodableLine(), docs.unencodableColumn());
        const auto answer = QMessageBox::question(
            parentWidget, tr("Save DEF/CMD/CNS"),
            tr("Line %1 holds the character \"%2\", which %3 cannot represent. Save %4 in UTF-8 instead? "
               "Cancel leaves the file as it is.")
                .arg(docs.unencodableLine() + 1)
                .arg(what, codeencoding::name(docs.encoding(index)), fileName),
            QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Yes)
            return false;
        docs.setEncoding(index, CodeEncoding::Utf8, true);
        if ((docs.*write)(index, fileName))
            return true;
    }
    if (docs.error() != QCodeDocuments::NoFileName)
        warnSave(index, fileName);
    return false;
}

bool QCodeFiles::save(int index)
{
    if (index < 0 || index >= docs.count())
        return false;
    const QString path = docs.fileName(index);
    // A new document, or one whose file went away: the caller asks for a name.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    // Written to its own name: a Save As to the file it has.
    return writeAsking(index, path, &QCodeDocuments::saveAs);
}

bool QCodeFiles::saveAs(int index, const QString& fileName)
{
    if (index < 0 || index >= docs.count() || fileName.isEmpty())
        return false;
    const bool ok = writeAsking(index, fileName, &QCodeDocuments::saveAs);
    // The title names the new file even when the document was unchanged.
    updateTitle(index);
    return ok;
}

void QCodeFiles::closeAll()
{
    tracking = false;
    edit->setDocument(nullptr);
    outlineModel.setDocument(nullptr);
    docs.closeAll();
    tracking = true;
    current = -1;
    edit->hide();
    updateStatus();
}

void QCodeFiles::setVisible(bool show)
{
    shown = show;
    tabs->setVisible(show);
    edit->setVisible(show && docs.count() > 0);
    encodingText->setVisible(show && current >= 0);
    problemsText->setVisible(show && current >= 0);
}

void QCodeFiles::currentChanged(int index)
{
    if (!tracking)
        return;
    current = index;
    if (index < 0 || index >= docs.count()) {
        edit->hide();
        outlineModel.setDocument(nullptr);
    } else {
        edit->setDocument(docs.document(index));
        outlineModel.setDocument(docs.document(index));
    }
    updateStatus();
}

void QCodeFiles::tabCloseRequested(int index)
{
    if (index < 0 || index >= docs.count())
        return;
    // Only unsaved work is asked about: Save keeps it in the file first.
    if (docs.isModified(index)) {
        tabs->setCurrentIndex(index); // show what the question is about
        const auto answer = QMessageBox::question(
            parentWidget, tr("Discard changes"),
            tr("Do you really want to discard the changes made in the file %1").arg(docs.fileName(index)),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer != QMessageBox::Save && answer != QMessageBox::Discard)
            return;
        if (answer == QMessageBox::Save && !(saveDocument && saveDocument(index)))
            return;
    }
    if (index == current) {
        edit->setDocument(nullptr);
        outlineModel.setDocument(nullptr);
    }
    // The tab goes with the document; the bar then reports its new current
    // tab, which the editor shows.
    docs.close(index);
}

void QCodeFiles::tabMoved(int from, int to)
{
    if (movingTabs)
        return;
    movingTabs = true;
    docs.move(from, to);
    movingTabs = false;
    current = tabs->currentIndex();
}

void QCodeFiles::updateTitle(int index)
{
    if (index < 0 || index >= docs.count() || index >= tabs->count())
        return;
    const QString name = QFileInfo(docs.fileName(index)).fileName();
    tabs->setTabText(index, docs.isModified(index) ? name + QLatin1Char('*') : name);
}

void QCodeFiles::modificationChanged(bool)
{
    for (int i = 0; i < docs.count(); ++i)
        updateTitle(i);
}

void QCodeFiles::updateStatus()
{
    const bool any = current >= 0 && current < docs.count();
    encodingText->setVisible(shown && any);
    problemsText->setVisible(shown && any);
    if (any) {
        QString name = codeencoding::name(docs.encoding(current));
        if (docs.hasByteOrderMark(current))
            name = tr("%1 with BOM").arg(name);
        encodingText->setText(name);
        int errors = 0, warnings = 0;
        for (const CodeMark& m : QMugenHighlighter::marks(docs.document(current)))
            ++(m.severity == Severity::Warning ? warnings : errors);
        const QString e = errors == 0 ? tr("no errors") : errors == 1 ? tr("1 error") : tr("%1 errors").arg(errors);
        const QString w = warnings == 0 ? tr("no warnings") : warnings == 1 ? tr("1 warning") : tr("%1 warnings").arg(warnings);
        problemsText->setText(e + QLatin1String(", ") + w);
    }
    emit statusChanged();
}

void QCodeFiles::setEncoding(CodeEncoding encoding)
{
    if (current < 0 || current >= docs.count())
        return;
    if (!docs.setEncoding(current, encoding) && docs.error() == QCodeDocuments::Unencodable) {
        const QString what = characterAt(docs.text(current), docs.unencodableLine(), docs.unencodableColumn());
        const auto answer = QMessageBox::question(
            parentWidget, tr("Encoding"),
            tr("Line %1 holds the character \"%2\", which %3 cannot represent; saving will ask what to do with it. "
               "Use %3 all the same?")
                .arg(docs.unencodableLine() + 1)
                .arg(what, codeencoding::name(encoding)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            docs.setEncoding(current, encoding, true);
    }
    updateStatus();
}

void QCodeFiles::showDocumentLine(int index, int line, int column, int length)
{
    QTextDocument* doc = docs.document(index);
    if (!doc)
        return;
    if (index != current)
        tabs->setCurrentIndex(index);
    const QTextBlock block = doc->findBlockByNumber(qBound(0, line, doc->blockCount() - 1));
    QTextCursor c(block);
    c.setPosition(block.position() + qBound(0, column, block.length() - 1));
    c.setPosition(qMin(c.position() + length, block.position() + block.length() - 1), QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->centerCursor();
    edit->setFocus();
}

void QCodeFiles::showLine(int line)
{
    showDocumentLine(current, line - 1);
}

void QCodeFiles::goToLine()
{
    QTextDocument* doc = docs.document(current);
    if (!doc)
        return;
    bool ok = false;
    const int line = QInputDialog::getInt(parentWidget, tr("Go to line"),
                                          tr("Line (1 to %1):").arg(doc->blockCount()),
                                          edit->textCursor().blockNumber() + 1, 1, doc->blockCount(), 1, &ok);
    if (ok)
        showLine(line);
}

void QCodeFiles::goToProblem(bool forward)
{
    QTextDocument* doc = docs.document(current);
    if (!doc)
        return;
    const QList<CodeMark> marks = QMugenHighlighter::marks(doc);
    if (marks.isEmpty()) {
        emit message(tr("No problems"));
        return;
    }
    // Marks start with the blanks before the marked word: go to the word.
    struct Place { int position, line, column, length; };
    QList<Place> places;
    for (const CodeMark& m : marks) {
        const QTextBlock b = doc->findBlockByNumber(m.line);
        const QString t = b.text();
        int column = m.start;
        while (column < m.start + m.length - 1 && column < t.size()
               && (t[column] == QLatin1Char(' ') || t[column] == QLatin1Char('\t')))
            ++column;
        places.append({b.position() + column, m.line, column, m.length - (column - m.start)});
    }
    const int from = edit->textCursor().selectionStart();
    qsizetype pick = -1;
    if (forward) {
        for (qsizetype i = 0; i < places.size() && pick < 0; ++i)
            if (places[i].position > from)
                pick = i;
        if (pick < 0)
            pick = 0;
    } else {
        for (qsizetype i = places.size() - 1; i >= 0 && pick < 0; --i)
            if (places[i].position < from)
                pick = i;
        if (pick < 0)
            pick = places.size() - 1;
    }
    const Place& p = places[pick];
    showDocumentLine(current, p.line, p.column, p.length);
    emit message(marks[pick].message);
}

void QCodeFiles::goToStatedef()
{
    QTextDocument* doc = docs.document(current);
    if (!doc)
        return;
    const QTextCursor c = edit->textCursor();
    int number = 0;
    if (!codenavigation::stateReferenceAt(c.block(), c.positionInBlock(), &syntax, &number)) {
        emit message(tr("No state number at the cursor"));
        return;
    }
    showStatedef(number);
}

bool QCodeFiles::showStatedef(int number)
{
    // The current document first, then the others in tab order.
    QList<int> order;
    if (current >= 0)
        order << current;
    for (int i = 0; i < docs.count(); ++i)
        if (i != current)
            order << i;
    for (int i : order) {
        const int line = QCodeOutline::findStatedef(docs.document(i), number);
        if (line >= 0) {
            showDocumentLine(i, line);
            return true;
        }
    }
    emit message(tr("Statedef %1 is in none of the open files").arg(number));
    return false;
}

#include "qcodefiles.h"

#include "codetext.h"
#include "qcodeedit.h"
#include "qmugenhighlighter.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTabBar>
#include <QTextDocument>

namespace {

// Marks the document whose lines end in CR LF, so saving keeps them so.
const char* const crlfProperty = "morvaneCrLf";

bool isCrLfPlatform()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

} // namespace

QCodeFiles::QCodeFiles(QWidget* parent)
    : QObject(parent), parentWidget(parent), edit(new QCodeEdit(parent, &syntax)), tabs(new QTabBar(parent))
{
    tabs->setTabsClosable(true);
    tabs->setMovable(true);
    tabs->setExpanding(false);
    tabs->setDocumentMode(true);
    tabs->hide();
    edit->hide();
    connect(tabs, &QTabBar::currentChanged, this, &QCodeFiles::currentChanged);
    connect(tabs, &QTabBar::tabCloseRequested, this, &QCodeFiles::tabCloseRequested);
    connect(tabs, &QTabBar::tabMoved, this, &QCodeFiles::tabMoved);
}

QCodeFiles::~QCodeFiles()
{
    // The widgets belong to the window; make sure the editor lets go of a
    // document before the documents go.
    tracking = false;
    edit->setDocument(nullptr);
    qDeleteAll(documents);
}

bool QCodeFiles::loadSyntax(const QString& path)
{
    const bool ok = syntax.load(path);
    edit->updateCompletionWords();
    return ok;
}

QString QCodeFiles::fileName(int index) const
{
    return index >= 0 && index < documents.size() ? documents.at(index)->objectName() : QString();
}

QTextDocument* QCodeFiles::document(int index) const
{
    return index >= 0 && index < documents.size() ? documents.at(index)->document() : nullptr;
}

QString QCodeFiles::text(int index) const
{
    const QTextDocument* doc = document(index);
    return doc ? doc->toPlainText() : QString();
}

QMugenHighlighter* QCodeFiles::addDocument(const QString& text, const QString& fileName)
{
    auto* doc = new QTextDocument(this);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    // The highlighter is attached first so that the text is coloured as it
    // goes in, before the editor first paints it.
    auto* highlighter = new QMugenHighlighter(doc, &syntax);
    highlighter->setObjectName(fileName);
    doc->setPlainText(text);
    connect(doc, &QTextDocument::modificationChanged, this, &QCodeFiles::modificationChanged);
    documents.append(highlighter);
    return highlighter;
}

void QCodeFiles::newFile()
{
    QMugenHighlighter* h = addDocument(QString(), QString());
    h->document()->setProperty(crlfProperty, isCrLfPlatform());
    const int index = tabs->addTab(QString());
    tabs->setCurrentIndex(index);
    current = index;
    if (shown)
        edit->show();
    h->document()->setModified(false);
}

bool QCodeFiles::open(const QString& fileName, bool makeCurrent)
{
    for (int i = 0; i < documents.size(); ++i) {
        if (documents.at(i)->objectName().compare(fileName, Qt::CaseInsensitive) == 0) {
            if (makeCurrent)
                tabs->setCurrentIndex(i);
            return true;
        }
    }

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const CodeText code = readCodeText(file.readAll());
    QMugenHighlighter* h = addDocument(code.text, fileName);
    h->document()->setProperty(crlfProperty, code.crlf);

    const int remembered = current;
    const int index = tabs->addTab(QFileInfo(fileName).fileName());
    current = index;
    if (shown)
        edit->show();
    h->document()->setModified(false);
    if (makeCurrent)
        tabs->setCurrentIndex(index);
    else if (remembered >= 0)
        current = remembered;
    // (The first tab of an empty bar became current as it was added.)
    return true;
}

bool QCodeFiles::write(int index, const QString& fileName)
{
    QTextDocument* doc = document(index);
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        file.write(writeCodeText(doc->toPlainText(), doc->property(crlfProperty).toBool()));
        ok = file.commit();
    }
    if (!ok) {
        QMessageBox::warning(parentWidget, tr("Save DEF/CMD/CNS"),
                             tr("The file %1 could not be saved: %2").arg(fileName, file.errorString()));
    }
    return ok;
}

bool QCodeFiles::save(int index)
{
    if (index < 0 || index >= documents.size())
        return false;
    const QString path = documents.at(index)->objectName();
    // A new document, or one whose file went away: the caller asks for a name.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    if (!write(index, path))
        return false;
    documents.at(index)->document()->setModified(false);
    return true;
}

bool QCodeFiles::saveAs(int index, const QString& fileName)
{
    if (index < 0 || index >= documents.size() || fileName.isEmpty())
        return false;
    if (!write(index, fileName))
        return false;
    documents.at(index)->setObjectName(fileName);
    documents.at(index)->document()->setModified(false);
    // The title names the new file even when the document was unchanged.
    updateTitle(index);
    return true;
}

void QCodeFiles::removeDocument(int index)
{
    QMugenHighlighter* h = documents.takeAt(index);
    QTextDocument* doc = h->document();
    delete h;
    delete doc;
}

void QCodeFiles::closeAll()
{
    tracking = false;
    edit->setDocument(nullptr);
    while (!documents.isEmpty()) {
        tabs->removeTab(0);
        removeDocument(0);
    }
    tracking = true;
    current = -1;
    edit->hide();
}

void QCodeFiles::setVisible(bool show)
{
    shown = show;
    tabs->setVisible(show);
    edit->setVisible(show && !documents.isEmpty());
}

bool QCodeFiles::confirmDiscardAll()
{
    QList<int> order;
    if (current >= 0)
        order << current;
    for (int i = 0; i < documents.size(); ++i)
        if (i != current)
            order << i;
    for (int i : order) {
        if (!documents.at(i)->document()->isModified())
            continue;
        tabs->setCurrentIndex(i); // show what the question is about
        const auto answer = QMessageBox::question(
            parentWidget, tr("Discard changes"),
            tr("Do you really want to discard the changes made in the file %1").arg(documents.at(i)->objectName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    return true;
}

void QCodeFiles::currentChanged(int index)
{
    if (!tracking)
        return;
    current = index;
    if (index < 0 || index >= documents.size()) {
        edit->hide();
        return;
    }
    edit->setDocument(documents.at(index)->document());
}

void QCodeFiles::tabCloseRequested(int index)
{
    if (index < 0 || index >= documents.size())
        return;
    const auto answer = QMessageBox::question(
        parentWidget, tr("Discard changes"),
        tr("Do you really want to discard the changes made in the file %1").arg(documents.at(index)->objectName()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (index == current)
        edit->setDocument(nullptr);
    removeDocument(index);
    // The bar then reports its new current tab, which the editor shows.
    tabs->removeTab(index);
}

void QCodeFiles::tabMoved(int from, int to)
{
    if (from < 0 || from >= documents.size() || to < 0 || to >= documents.size())
        return;
    documents.move(from, to);
    // Whichever tab moved, the current document keeps being the current one.
    current = tabs->currentIndex();
}

void QCodeFiles::updateTitle(int index)
{
    if (index < 0 || index >= documents.size())
        return;
    const QString name = QFileInfo(documents.at(index)->objectName()).fileName();
    tabs->setTabText(index, documents.at(index)->document()->isModified() ? name + QLatin1Char('*') : name);
}

void QCodeFiles::modificationChanged(bool)
{
    // The tab of the document that changed, which need not be the current one
    // (saving every document of a character clears them all).
    for (int i = 0; i < documents.size(); ++i)
        if (documents.at(i)->document() == sender())
            updateTitle(i);
}

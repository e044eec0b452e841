#ifndef QCODEFILES_H
#define QCODEFILES_H

#include "codeencoding.h"
#include "qcodedocuments.h"
#include "qcodeoutline.h"
#include "syntaxdefinition.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QCodeEdit;
class QLabel;
class QTabBar;
class QTextDocument;
class QWidget;

// The code page's documents (DEF, CMD, CNS, ST and any text file): one tab
// each, shown one at a time in a shared editor. The documents themselves are
// a QCodeDocuments; this adds the tab bar, the editor, the outline of the
// current document, the encoding and problem count shown in the status bar,
// and the questions and warnings a person answers.
class QCodeFiles : public QObject
{
    Q_OBJECT
public:
    // `parent` is the window: message boxes belong to it, and it is the
    // editor's first parent until it is laid out.
    explicit QCodeFiles(QWidget* parent);
    ~QCodeFiles() override;

    // Reads syntax.xml (see SyntaxDefinition::load) and gives the editor its words.
    bool loadSyntax(const QString& path);
    const SyntaxDefinition& syntaxDefinition() const { return syntax; }

    QTabBar* tabBar() const { return tabs; }
    QCodeEdit* editor() const { return edit; }
    QCodeDocuments* documents() { return &docs; }
    // The current document's outline, for the page's tree.
    QCodeOutline* outline() { return &outlineModel; }
    // The status bar's labels: the current document's encoding and the count
    // of its problems.
    QLabel* encodingLabel() const { return encodingText; }
    QLabel* problemsLabel() const { return problemsText; }

    void newFile();
    // Opens a file in a new tab, or only switches to it when it is open
    // already (paths compared ignoring case). False when it cannot be read.
    bool open(const QString& fileName, bool makeCurrent);
    // Writes document `index` back to its file. False (and nothing written)
    // for a document that has no file on disk yet; false after a warning when
    // the file cannot be written, and false when a character cannot be
    // encoded and the person keeps the file as it is. The modified mark stays.
    bool save(int index);
    // Writes document `index` to `fileName`, which becomes its file.
    bool saveAs(int index, const QString& fileName);
    QString text(int index) const;
    void closeAll();
    // The tab bar shows on the code page only; the editor too, and only while
    // a document is open.
    void setVisible(bool show);
    // Saves a document, asking for a name where it has none; what closing a
    // tab with unsaved changes calls when the person chooses Save.
    std::function<bool(int index)> saveDocument;

    int count() const { return docs.count(); }
    int currentIndex() const { return current; }
    QString fileName(int index) const { return docs.fileName(index); }
    QTextDocument* document(int index) const { return docs.document(index); }

    // The current document is read, or will be written, in another encoding
    // (asks when the edited text holds a character it lacks).
    void setEncoding(CodeEncoding encoding);
    // Asks for a line number and puts the cursor there.
    void goToLine();
    // Puts the cursor on line `line` (from 1) of the current document.
    void showLine(int line);
    // Selects the next (or previous) problem the checker marked, going round
    // the end of the document.
    void goToProblem(bool forward);
    // Goes to the Statedef that the number under the cursor names, in any
    // open document; says so in the status bar when there is none.
    void goToStatedef();
    bool showStatedef(int number);

signals:
    bool canDiscard(QString fileName);
    // Something the status bar or the encoding menu shows has changed: the
    // current document, its encoding or its problems.
    void statusChanged();
    // A short message for the status bar.
    void message(const QString& text);

public slots:
    void currentChanged(int index);
    void tabCloseRequested(int index);
    void tabMoved(int from, int to);
    void modificationChanged(bool modified);

private:
    void documentAdded(int index);
    void updateTitle(int index);
    void updateStatus();
    void warnSave(int index, const QString& fileName);
    // Writes through `write` (a save or a Save As); when a character cannot
    // be encoded, asks whether to write UTF-8 instead.
    bool writeAsking(int index, const QString& fileName, bool (QCodeDocuments::*write)(int, const QString&));
    void showDocumentLine(int index, int line, int column = 0, int length = 0);

    QWidget* parentWidget;
    SyntaxDefinition syntax;
    QCodeDocuments docs;
    QCodeEdit* edit;
    QTabBar* tabs;
    QCodeOutline outlineModel;
    QLabel* encodingText;
    QLabel* problemsText;
    QTimer problemCount; // counts the marks a moment after the typing stops
    bool tracking = true;
    bool movingTabs = false;
    int current = -1;
    bool shown = false;
};

#endif

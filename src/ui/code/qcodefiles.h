#ifndef QCODEFILES_H
#define QCODEFILES_H

#include "syntaxdefinition.h"

#include <QList>
#include <QObject>
#include <QString>

class QCodeEdit;
class QMugenHighlighter;
class QTabBar;
class QTextDocument;
class QWidget;

// The open code documents (DEF, CMD, CNS, ST and any text file): one tab each,
// shown one at a time in a shared editor. Every document has its own
// highlighter; all of them read the one syntax definition held here.
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

    void newFile();
    // Opens a file in a new tab, or only switches to it when it is open
    // already (paths compared ignoring case). False when it cannot be read.
    bool open(const QString& fileName, bool makeCurrent);
    // Writes document `index` back to its file. False (and nothing written)
    // for a document that has no file on disk yet, and false after a warning
    // when the file cannot be written; the modified mark then stays.
    bool save(int index);
    // Writes document `index` to `fileName`, which becomes its file.
    bool saveAs(int index, const QString& fileName);
    QString text(int index) const;
    void closeAll();
    // The tab bar shows on the code page only; the editor too, and only while
    // a document is open.
    void setVisible(bool show);
    // Asks about each document with unsaved changes, current one first; false
    // as soon as the user wants to keep one.
    bool confirmDiscardAll();

    int count() const { return int(documents.size()); }
    int currentIndex() const { return current; }
    QString fileName(int index) const;
    QTextDocument* document(int index) const;

signals:
    bool canDiscard(QString fileName);

public slots:
    void currentChanged(int index);
    void tabCloseRequested(int index);
    void tabMoved(int from, int to);
    void modificationChanged(bool modified);

private:
    QMugenHighlighter* addDocument(const QString& text, const QString& fileName);
    bool write(int index, const QString& fileName);
    void updateTitle(int index);
    void removeDocument(int index);

    QWidget* parentWidget;
    SyntaxDefinition syntax;
    QCodeEdit* edit;
    QTabBar* tabs;
    QList<QMugenHighlighter*> documents;
    bool tracking = true;
    int current = -1;
    bool shown = false;
};

#endif

#ifndef QCODEEDIT_H
#define QCODEEDIT_H

#include <QPlainTextEdit>

class QCompleter;
class SyntaxDefinition;

// The one editor of the code page. It shows whichever code document is
// current with its line numbers in a gutter and the cursor's line lit,
// offers the engine's words that start with what is being typed (Ctrl+Space
// or Ctrl+E ask for them at once), shows the message of a checker mark under
// the mouse, and asks for the Statedef a number names on Ctrl+click.
class QCodeEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    QCodeEdit(QWidget* parent, const SyntaxDefinition* syntax);

    QCompleter* completer() const { return comp; }
    // Takes the words to offer from the syntax definition (after it was read).
    void updateCompletionWords();
    // The gutter's width for the current number of lines.
    int gutterWidth() const;

signals:
    // Ctrl+click: the cursor now stands on what was clicked.
    void stateJumpRequested();

public slots:
    void insertCompletion(const QString& completion);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class QCodeGutter;
    void paintGutter(QPaintEvent* e);
    void updateGutter(const QRect& rect, int dy);
    void highlightCurrentLine();
    // The checker's message at a point of the viewport, or an empty string.
    QString markMessageAt(const QPoint& viewportPos) const;

    const SyntaxDefinition* syntax;
    QCompleter* comp;
    QWidget* gutter;
};

#endif

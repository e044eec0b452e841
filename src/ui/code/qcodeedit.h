#ifndef QCODEEDIT_H
#define QCODEEDIT_H

#include <QPlainTextEdit>

class QCompleter;
class SyntaxDefinition;

// The one editor of the code page. It shows whichever code document is
// current, offers the engine's words while typing (Ctrl+E asks for them at
// once) and shows the message of a checker mark under the mouse.
class QCodeEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    QCodeEdit(QWidget* parent, const SyntaxDefinition* syntax);

    QCompleter* completer() const { return comp; }
    // Takes the words to offer from the syntax definition (after it was read).
    void updateCompletionWords();

public slots:
    void insertCompletion(const QString& completion);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;

private:
    QString textUnderCursor() const;
    // The checker's message at a point of the viewport, or an empty string.
    QString markMessageAt(const QPoint& viewportPos) const;

    const SyntaxDefinition* syntax;
    QCompleter* comp;
};

#endif

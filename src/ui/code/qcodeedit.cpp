#include "qcodeedit.h"

#include "syntaxdefinition.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

QCodeEdit::QCodeEdit(QWidget* parent, const SyntaxDefinition* syntax)
    : QPlainTextEdit(parent), syntax(syntax), comp(new QCompleter(this))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(syntax->font());
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);

    comp->setModel(new QStringListModel(comp));
    comp->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    comp->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    comp->setCaseSensitivity(Qt::CaseInsensitive);
    comp->setWrapAround(false);
    comp->setWidget(this);
    connect(comp, qOverload<const QString&>(&QCompleter::activated), this, &QCodeEdit::insertCompletion);
    updateCompletionWords();
}

void QCodeEdit::updateCompletionWords()
{
    static_cast<QStringListModel*>(comp->model())->setStringList(syntax->vocabulary());
}

void QCodeEdit::insertCompletion(const QString& completion)
{
    if (comp->widget() != this)
        return;
    QTextCursor tc = textCursor();
    const int extra = int(completion.size() - comp->completionPrefix().size());
    tc.movePosition(QTextCursor::Left);
    tc.movePosition(QTextCursor::EndOfWord);
    tc.insertText(completion.right(extra));
    setTextCursor(tc);
}

QString QCodeEdit::textUnderCursor() const
{
    QTextCursor tc = textCursor();
    tc.select(QTextCursor::WordUnderCursor);
    return tc.selectedText();
}

void QCodeEdit::keyPressEvent(QKeyEvent* e)
{
    if (comp->popup()->isVisible()) {
        // The popup takes these itself.
        switch (e->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            e->ignore();
            return;
        default:
            break;
        }
    }

    const bool isShortcut = (e->modifiers() & Qt::ControlModifier) && e->key() == Qt::Key_E;
    if (!isShortcut)
        QPlainTextEdit::keyPressEvent(e);

    const bool ctrlOrShift = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (ctrlOrShift && e->text().isEmpty())
        return;

    static const QString endOfWord = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?,./;'[]\\-=");
    const bool hasModifier = e->modifiers() != Qt::NoModifier && !ctrlOrShift;
    const QString prefix = textUnderCursor();
    if (!isShortcut
        && (hasModifier || e->text().isEmpty() || prefix.size() < 3 || endOfWord.contains(e->text().right(1)))) {
        comp->popup()->hide();
        return;
    }

    if (prefix != comp->completionPrefix()) {
        comp->setCompletionPrefix(prefix);
        comp->popup()->setCurrentIndex(comp->completionModel()->index(0, 0));
    }
    QRect cr = cursorRect();
    cr.setWidth(comp->popup()->sizeHintForColumn(0) + comp->popup()->verticalScrollBar()->sizeHint().width());
    comp->complete(cr);
}

QString QCodeEdit::markMessageAt(const QPoint& viewportPos) const
{
    const QTextCursor c = cursorForPosition(viewportPos);
    const QTextBlock block = c.block();
    if (!block.isValid() || !block.layout())
        return QString();
    // The cursor falls between two characters: the one under the mouse is the
    // one after it, unless the mouse is left of the cursor.
    int index = c.positionInBlock();
    if (viewportPos.x() < cursorRect(c).x())
        --index;
    if (index < 0 || index >= block.length() - 1)
        return QString();
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (index >= r.start && index < r.start + r.length)
            return r.format.toolTip();
    return QString();
}

bool QCodeEdit::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip)
        return QPlainTextEdit::event(e);
    // Tool-tip events of the viewport come here with the point in this widget.
    auto* help = static_cast<QHelpEvent*>(e);
    const QString message = markMessageAt(viewport()->mapFrom(this, help->pos()));
    if (message.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), message, this);
    return true;
}

#include "qcodeedit.h"

#include "codenavigation.h"
#include "syntaxdefinition.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

// The line numbers left of the text.
class QCodeGutter : public QWidget
{
public:
    explicit QCodeGutter(QCodeEdit* edit) : QWidget(edit), edit(edit) {}
    QSize sizeHint() const override { return QSize(edit->gutterWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* e) override { edit->paintGutter(e); }

private:
    QCodeEdit* edit;
};

QCodeEdit::QCodeEdit(QWidget* parent, const SyntaxDefinition* syntax)
    : QPlainTextEdit(parent), syntax(syntax), comp(new QCompleter(this)), gutter(new QCodeGutter(this))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(syntax->font());
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);

    comp->setModel(new QStringListModel(comp));
    // Only the words that start with what was typed.
    comp->setCompletionMode(QCompleter::PopupCompletion);
    comp->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    comp->setCaseSensitivity(Qt::CaseInsensitive);
    comp->setWrapAround(false);
    comp->setWidget(this);
    connect(comp, qOverload<const QString&>(&QCompleter::activated), this, &QCodeEdit::insertCompletion);
    updateCompletionWords();

    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(gutterWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &QCodeEdit::updateGutter);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &QCodeEdit::highlightCurrentLine);
    setViewportMargins(gutterWidth(), 0, 0, 0);
    highlightCurrentLine();
}

void QCodeEdit::updateCompletionWords()
{
    QStringList words = syntax->vocabulary();
    words.sort(Qt::CaseInsensitive);
    words.removeDuplicates();
    static_cast<QStringListModel*>(comp->model())->setStringList(words);
}

int QCodeEdit::gutterWidth() const
{
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * qMax(3, digits);
}

void QCodeEdit::resizeEvent(QResizeEvent* e)
{
    QPlainTextEdit::resizeEvent(e);
    const QRect cr = contentsRect();
    gutter->setGeometry(QRect(cr.left(), cr.top(), gutterWidth(), cr.height()));
}

void QCodeEdit::updateGutter(const QRect& rect, int dy)
{
    if (dy)
        gutter->scroll(0, dy);
    else
        gutter->update(0, rect.y(), gutter->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        setViewportMargins(gutterWidth(), 0, 0, 0);
}

void QCodeEdit::paintGutter(QPaintEvent* e)
{
    QPainter p(gutter);
    p.fillRect(e->rect(), palette().color(QPalette::Window));
    p.setFont(font());
    const int current = textCursor().blockNumber();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + qRound(blockBoundingRect(block).height());
    const int w = gutter->width() - 4;
    while (block.isValid() && top <= e->rect().bottom()) {
        if (block.isVisible() && bottom >= e->rect().top()) {
            p.setPen(block.blockNumber() == current ? palette().color(QPalette::Text)
                                                    : palette().color(QPalette::PlaceholderText));
            p.drawText(0, top, w, fontMetrics().height(), Qt::AlignRight, QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + qRound(blockBoundingRect(block).height());
    }
}

void QCodeEdit::highlightCurrentLine()
{
    QTextEdit::ExtraSelection line;
    QColor lit = palette().color(QPalette::Highlight);
    lit.setAlpha(28);
    line.format.setBackground(lit);
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = textCursor();
    line.cursor.clearSelection();
    setExtraSelections({line});
    gutter->update();
}

void QCodeEdit::insertCompletion(const QString& completion)
{
    if (comp->widget() != this)
        return;
    // The word keeps what was typed; the rest of the chosen word follows it.
    QTextCursor tc = textCursor();
    const int extra = int(completion.size() - comp->completionPrefix().size());
    if (extra > 0)
        tc.insertText(completion.right(extra));
    setTextCursor(tc);
}

void QCodeEdit::keyPressEvent(QKeyEvent* e)
{
    QAbstractItemView* popup = comp->popup();
    if (popup->isVisible()) {
        // The popup takes these itself: Enter and Tab take the word, Escape closes.
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

    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool asked = ctrl && (e->key() == Qt::Key_E || e->key() == Qt::Key_Space);
    if (!asked)
        QPlainTextEdit::keyPressEvent(e);

    const bool ctrlOrShift = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!asked && ctrlOrShift && e->text().isEmpty())
        return;

    const QTextCursor tc = textCursor();
    const QString line = tc.block().text();
    const int pos = tc.positionInBlock();
    // The engine's words belong neither in a comment nor in a string.
    if (codenavigation::inCommentOrString(line, pos)) {
        popup->hide();
        return;
    }
    static const QString endOfWord = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?,./;'[]\\-=");
    const bool otherModifier = e->modifiers() != Qt::NoModifier && !ctrlOrShift;
    const QString prefix = codenavigation::wordBefore(line, pos);
    if (!asked
        && (otherModifier || e->text().isEmpty() || prefix.size() < 3 || endOfWord.contains(e->text().right(1)))) {
        popup->hide();
        return;
    }

    if (prefix != comp->completionPrefix())
        comp->setCompletionPrefix(prefix);
    // A prefix that matches nothing, or only the word as typed, offers nothing.
    if (comp->completionCount() == 0
        || (comp->completionCount() == 1 && comp->currentCompletion().compare(prefix, Qt::CaseInsensitive) == 0)) {
        popup->hide();
        return;
    }
    popup->setCurrentIndex(comp->completionModel()->index(0, 0));
    QRect cr = cursorRect();
    cr.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    comp->complete(cr);
}

void QCodeEdit::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier)) {
        setTextCursor(cursorForPosition(e->position().toPoint()));
        emit stateJumpRequested();
        e->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(e);
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

// The Search page of the utilities pane: one field that finds on whichever
// page is shown (sprites, palettes and sounds by group and number, actions by
// number or name, text in the current code document), and the replace row,
// which works on the code page.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qcodeedit.h"
#include "textsearch.h"

#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTextDocument>

#include <functional>
#include <optional>

namespace {

// How long the answer of a search stays in the status bar.
constexpr int answerTimeoutMs = 5000;

// The field read as "group,number" or as one number standing for either.
struct GroupAndNumber
{
    qint64 first = 0;
    std::optional<qint64> second;

    bool matches(qint64 group, qint64 number) const
    {
        return second ? group == first && number == *second : group == first || number == first;
    }
};

std::optional<qint64> integer(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// One or two integers separated by a comma; nothing else is a group and
// number (a word typed on the sprite page must not find group 0).
std::optional<GroupAndNumber> parseGroupAndNumber(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(','));
    if (pieces.size() > 2)
        return std::nullopt;
    const std::optional<qint64> first = integer(pieces.first());
    if (!first)
        return std::nullopt;
    GroupAndNumber g{*first, std::nullopt};
    if (pieces.size() == 2) {
        g.second = integer(pieces.last());
        if (!g.second)
            return std::nullopt;
    }
    return g;
}

// The first of `count` items after `from` (or before it, backward) that
// matches; -1 when none does. Never wraps around.
int findItem(int count, int from, bool backward, const std::function<bool(int)>& matches)
{
    if (backward) {
        for (int i = qMin(from, count) - 1; i >= 0; --i)
            if (matches(i))
                return i;
    } else {
        for (int i = qMax(from + 1, 0); i < count; ++i)
            if (matches(i))
                return i;
    }
    return -1;
}

} // namespace

void MainWindow::setupFind()
{
    // Ctrl+F from anywhere; F3 and Shift+F3 (Edit > Find next, Find
    // previous) search again without taking the keyboard away from where it
    // is (the editor, typically).
    ui->actionFind->setShortcut(QKeySequence::Find);
    // Enter in the field is Next (returnPressed); Shift+Enter is Previous.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | key), ui->findStr);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, ui->findPrev, &QPushButton::click);
    }

    // Replacing means something on the code page only.
    const auto showReplaceRow = [this](int page) {
        for (QWidget* w : {static_cast<QWidget*>(ui->label_16), static_cast<QWidget*>(ui->lineEdit_2),
                           static_cast<QWidget*>(ui->pushButton_3), static_cast<QWidget*>(ui->pushButton_4),
                           static_cast<QWidget*>(ui->pushButton_5)})
            w->setEnabled(page == CodeTab);
    };
    connect(ui->tabs, &QTabWidget::currentChanged, this, showReplaceRow);
    showReplaceRow(ui->tabs->currentIndex());
}

void MainWindow::on_actionFind_triggered()
{
    if (!ui->actionUtilities->isChecked())
        ui->actionUtilities->trigger();
    ui->utilTabs->setCurrentWidget(ui->searchTab);
    ui->findStr->setFocus(Qt::ShortcutFocusReason);
    ui->findStr->selectAll();
}

void MainWindow::on_actionFind_next_triggered()
{
    findOnPage(false);
}

void MainWindow::on_actionFind_previous_triggered()
{
    findOnPage(true);
}

void MainWindow::on_findNext_clicked()
{
    findOnPage(false);
    ui->findStr->setFocus(Qt::OtherFocusReason);
    ui->findStr->selectAll();
}

void MainWindow::on_findPrev_clicked()
{
    findOnPage(true);
    ui->findStr->setFocus(Qt::OtherFocusReason);
    ui->findStr->selectAll();
}

void MainWindow::on_findStr_returnPressed()
{
    ui->findNext->click();
}

bool MainWindow::findOnPage(bool backward)
{
    // Text is looked for as typed (blanks around it may be what is wanted),
    // a number or a name without them.
    const QString text = ui->findStr->text();
    const QString wanted = text.trimmed();
    const int page = ui->tabs->currentIndex();
    if ((page == CodeTab ? text : wanted).isEmpty()) {
        statusBar()->clearMessage();
        return false;
    }

    if (page == CodeTab) {
        const TextSearch search(text, ui->findCase->isChecked(), ui->findWholeWords->isChecked());
        QCodeEdit* edit = codeFiles.editor();
        const QTextCursor match = codeFiles.document(codeFiles.currentIndex())
            ? search.find(edit->textCursor(), backward ? TextSearch::Backward : TextSearch::Forward)
            : QTextCursor();
        if (match.isNull()) {
            statusBar()->showMessage(tr("Not found"), answerTimeoutMs);
            return false;
        }
        edit->setTextCursor(match);
        edit->ensureCursorVisible();
        statusBar()->clearMessage();
        return true;
    }

    QScrollBar* selector = nullptr;
    std::function<bool(int)> matches;
    int count = 0;
    if (page == AirTab) {
        // An action by its number, or by its name whatever the case; a word
        // is only ever a name.
        const std::optional<qint64> number = integer(wanted);
        selector = ui->airSel;
        count = animations.actionCount();
        matches = [this, number, wanted](int i) {
            const AirActionInfo info = animations.actionInfo(i);
            return (number && info.number == *number) || info.name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
        };
    } else {
        const std::optional<GroupAndNumber> key = parseGroupAndNumber(wanted);
        if (!key) {
            statusBar()->showMessage(tr("Not a group,number"), answerTimeoutMs);
            return false;
        }
        const GroupAndNumber g = *key;
        switch (page) {
        case SffTab:
            selector = ui->sprSel;
            count = sprites.spriteCount();
            matches = [this, g](int i) {
                const SpriteInfo info = sprites.spriteInfo(i);
                return g.matches(info.group, info.number);
            };
            break;
        case ActTab:
            selector = ui->actSel;
            count = sprites.paletteCount();
            matches = [this, g](int i) {
                const PaletteInfo info = sprites.paletteInfo(i);
                return g.matches(info.group, info.number);
            };
            break;
        case SndTab:
            selector = ui->sndSel;
            count = sounds.count();
            matches = [this, g](int i) {
                const QPair<quint16, quint16> gn = sounds.groupAndNumber(i);
                return g.matches(gn.first, gn.second);
            };
            break;
        default:
            return false;
        }
    }

    const int found = findItem(count, selector->value(), backward, matches);
    if (found < 0) {
        statusBar()->showMessage(tr("Not found"), answerTimeoutMs);
        return false;
    }
    // As if the user had moved the scroll bar there.
    selector->setValue(found);
    statusBar()->clearMessage();
    return true;
}

void MainWindow::replaceAndFind(bool backward)
{
    if (ui->tabs->currentIndex() != CodeTab)
        return;
    QCodeEdit* edit = codeFiles.editor();
    QTextCursor cursor = edit->textCursor();
    const TextSearch search(ui->findStr->text(), ui->findCase->isChecked(), ui->findWholeWords->isChecked());
    if (codeFiles.document(codeFiles.currentIndex()) && search.isMatch(cursor)) {
        const int start = cursor.selectionStart();
        cursor.insertText(ui->lineEdit_2->text());
        // The search goes on past the new text, never into it.
        if (backward)
            cursor.setPosition(start);
        edit->setTextCursor(cursor);
    }
    findOnPage(backward);
}

void MainWindow::on_pushButton_3_clicked()
{
    replaceAndFind(false);
}

void MainWindow::on_pushButton_4_clicked()
{
    replaceAndFind(true);
}

void MainWindow::on_pushButton_5_clicked()
{
    if (ui->tabs->currentIndex() != CodeTab || ui->findStr->text().isEmpty())
        return;
    const TextSearch search(ui->findStr->text(), ui->findCase->isChecked(), ui->findWholeWords->isChecked());
    const int replaced = search.replaceAll(codeFiles.document(codeFiles.currentIndex()), ui->lineEdit_2->text());
    if (replaced == 0)
        statusBar()->showMessage(tr("Not found"), answerTimeoutMs);
    else
        statusBar()->showMessage(tr("%n replaced", nullptr, replaced), answerTimeoutMs);
}

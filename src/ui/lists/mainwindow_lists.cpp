// The list beside the selector (the sprites of the SFF and ACT pages, the
// sounds, the actions): it follows the page's selector and selects on it,
// jumps to the item typed in its field, and marks group and number pairs that
// two items share; and the issues pane, grouped by file, whose lines name the
// item they are about and select it on a double-click.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qactionlistmodel.h"
#include "qcodeedit.h"
#include "qissuesmodel.h"
#include "qitemlistdelegate.h"
#include "qsoundlistmodel.h"
#include "qspritelistmodel.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QStatusBar>

namespace {

constexpr int AnswerMs = 5000;

bool isCodeFile(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QLatin1String("def") || suffix == QLatin1String("cmd") || suffix == QLatin1String("cns")
           || suffix == QLatin1String("st") || suffix == QLatin1String("txt");
}

bool samePath(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void MainWindow::setUpLists()
{
    spriteModel = new QSpriteListModel(&sprites, this);
    soundModel = new QSoundListModel(&sounds, this);
    actionModel = new QActionListModel(&animations, this);
    ui->spriteList->setItemDelegate(new QItemListDelegate(ui->spriteList));
    ui->spriteList->setSelectionMode(QAbstractItemView::SingleSelection);

    // The toggle and the panel's own close button say the same.
    connect(ui->spriteDock->toggleViewAction(), &QAction::toggled, ui->actionSprite_list, &QAction::setChecked);
    connect(ui->tabs, &QTabWidget::currentChanged, this, &MainWindow::showListOfPage);
    for (QScrollBar* selector : {ui->sprSel, ui->sndSel, ui->airSel})
        connect(selector, &QScrollBar::valueChanged, this, &MainWindow::followSelector);
    // Models tell their rows anew after a load; the list then shows the
    // page's item again.
    for (QItemListModel* m : std::initializer_list<QItemListModel*>{spriteModel, soundModel, actionModel})
        connect(m, &QAbstractItemModel::modelReset, this, &MainWindow::followSelector);
    showListOfPage(ui->tabs->currentIndex());

    // A group and number typed that another item has too.
    for (QSpinBox* box : {ui->sprGrp, ui->sprImg})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (interactive)
                warnDuplicate(SffTab, ui->sprSel->value());
        });
    for (QSpinBox* box : {ui->sndGrp, ui->sndNum})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (interactive)
                warnDuplicate(SndTab, ui->sndSel->value());
        });
    connect(ui->airBA, &QSpinBox::valueChanged, this, [this] {
        if (interactive)
            warnDuplicate(AirTab, ui->airSel->value());
    });

    issuesModel = new QIssuesModel(&messages, this);
    issuesModel->describe = [this](const QString& file, int item, int number) {
        return describeIssue(file, item, number);
    };
    ui->issuesList->setModel(issuesModel);
    ui->issuesList->setTextElideMode(Qt::ElideRight);
    ui->issuesList->setUniformItemSizes(true);
}

void MainWindow::showListOfPage(int tab)
{
    QItemListModel* model = tab == SndTab ? static_cast<QItemListModel*>(soundModel)
                            : tab == AirTab ? static_cast<QItemListModel*>(actionModel)
                                            : spriteModel;
    ui->spriteDock->setWindowTitle(tab == SndTab ? tr("Sounds") : tab == AirTab ? tr("Actions") : tr("Sprites"));
    ui->spriteFilter->setPlaceholderText(tab == AirTab ? tr("Go to number or name") : tr("Go to group,number"));
    // The code page has no items of its own.
    ui->spriteDockContents->setEnabled(tab != CodeTab);
    if (ui->spriteList->model() != model) {
        QItemSelectionModel* old = ui->spriteList->selectionModel();
        ui->spriteList->setModel(model);
        delete old;
        connect(ui->spriteList->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) {
                    if (followingList || !current.isValid())
                        return;
                    const int page = ui->tabs->currentIndex();
                    QScrollBar* selector = page == SndTab ? ui->sndSel : page == AirTab ? ui->airSel : ui->sprSel;
                    if (page != CodeTab)
                        selector->setValue(current.row());
                });
    }
    followSelector();
}

void MainWindow::followSelector()
{
    const int page = ui->tabs->currentIndex();
    const QAbstractItemModel* model = ui->spriteList->model();
    const int row = model == soundModel ? ui->sndSel->value()
                    : model == actionModel ? ui->airSel->value()
                                           : ui->sprSel->value();
    if (!model || row < 0 || row >= model->rowCount() || page == CodeTab)
        return;
    const QModelIndex index = model->index(row, 0);
    if (ui->spriteList->currentIndex() == index)
        return;
    followingList = true;
    ui->spriteList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ui->spriteList->scrollTo(index);
    followingList = false;
}

void MainWindow::on_spriteFilter_textEdited(const QString& text)
{
    const auto* model = qobject_cast<const QItemListModel*>(ui->spriteList->model());
    if (!model || text.trimmed().isEmpty())
        return;
    const int row = model->find(text, 0);
    if (row < 0) {
        statusBar()->showMessage(tr("Not found"), AnswerMs);
        return;
    }
    statusBar()->clearMessage();
    ui->spriteList->setCurrentIndex(model->index(row, 0));
}

void MainWindow::on_spriteFilter_returnPressed()
{
    // The next item the text names, going round.
    const auto* model = qobject_cast<const QItemListModel*>(ui->spriteList->model());
    if (!model)
        return;
    const int row = model->find(ui->spriteFilter->text(), ui->spriteList->currentIndex().row() + 1);
    if (row < 0) {
        if (!ui->spriteFilter->text().trimmed().isEmpty())
            statusBar()->showMessage(tr("Not found"), AnswerMs);
        return;
    }
    ui->spriteList->setCurrentIndex(model->index(row, 0));
}

void MainWindow::on_actionSprite_list_toggled(bool checked)
{
    ui->spriteDock->setVisible(checked);
}

void MainWindow::warnDuplicate(int tab, int index)
{
    const QItemListModel* model = tab == SndTab ? static_cast<QItemListModel*>(soundModel)
                                  : tab == AirTab ? static_cast<QItemListModel*>(actionModel)
                                                  : spriteModel;
    const QString note = model->duplicateNote(index);
    if (!note.isEmpty())
        statusBar()->showMessage(note, 2 * AnswerMs);
}

// ---------------------------------------------------------------- issues

QString MainWindow::describeIssue(const QString& file, int item, int number) const
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("sff") && item >= 0) {
        if (samePath(file, sprites.fileName()) && item < sprites.spriteCount())
            return tr("Sprite %1 (%2)").arg(item).arg(spriteModel->index(item, 0).data().toString());
        return tr("Sprite %1").arg(item);
    }
    if (suffix == QLatin1String("snd") && item >= 0) {
        if (samePath(file, sounds.fileName()) && item < sounds.count())
            return tr("Sound %1 (%2)").arg(item).arg(soundModel->index(item, 0).data().toString());
        return tr("Sound %1").arg(item);
    }
    if (suffix == QLatin1String("air")) {
        if (item >= 0 && samePath(file, animations.fileName()) && item < animations.actionCount())
            return tr("Line %1, action %2").arg(number).arg(animations.actionInfo(item).number);
        return tr("Line %1").arg(number);
    }
    if (isCodeFile(file))
        return tr("Line %1").arg(number);
    return QString();
}

void MainWindow::on_issuesList_activated(const QModelIndex& index)
{
    if (!index.isValid() || index.data(QIssuesModel::HeaderRole).toBool())
        return;
    const QString file = index.data(QIssuesModel::FileRole).toString();
    const int item = index.data(QIssuesModel::ItemRole).toInt();
    const int number = index.data(QIssuesModel::NumberRole).toInt();
    const auto select = [this](int tab, QScrollBar* selector, int row) {
        ui->tabs->setCurrentIndex(tab);
        selector->setValue(qBound(selector->minimum(), row, selector->maximum()));
        focusView();
    };
    if (item >= 0 && samePath(file, sprites.fileName()) && item < sprites.spriteCount()) {
        select(SffTab, ui->sprSel, item);
    } else if (item >= 0 && samePath(file, sounds.fileName()) && item < sounds.count()) {
        select(SndTab, ui->sndSel, item);
    } else if (item >= 0 && samePath(file, animations.fileName()) && item < animations.actionCount()) {
        select(AirTab, ui->airSel, item);
    } else if (isCodeFile(file) && number > 0) {
        ui->tabs->setCurrentIndex(CodeTab);
        if (codeFiles.open(file, true))
            codeFiles.showLine(number);
    } else if (!file.isEmpty() && item >= 0) {
        statusBar()->showMessage(tr("%1 is not open any more").arg(QFileInfo(file).fileName()), AnswerMs);
    }
}

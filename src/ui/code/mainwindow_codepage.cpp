// The code page beyond its menu: the outline tree, View > Encoding, the
// status bar's encoding and problem count, and the editor's navigation.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qcodeedit.h"

#include <QActionGroup>
#include <QLabel>

void MainWindow::setUpCodePage()
{
    // The page's tree shows the current document's outline; a click puts the
    // cursor on the entry's line.
    ui->treeView->setModel(codeFiles.outline());
    ui->treeView->setHeaderHidden(true);
    ui->treeView->setUniformRowHeights(true);
    connect(ui->treeView, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        codeFiles.showLine(index.data(QCodeOutline::LineRole).toInt() + 1);
    });
    connect(ui->treeView, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        codeFiles.showLine(index.data(QCodeOutline::LineRole).toInt() + 1);
    });

    // One of the encodings is checked: the current document's (none for a
    // UTF-16 file, which the menu does not offer).
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QList<std::pair<QAction*, CodeEncoding>> encodings = {
        {ui->actionUTF_8, CodeEncoding::Utf8},     {ui->actionWindows_1252, CodeEncoding::Windows1252},
        {ui->actionShift_JIS, CodeEncoding::ShiftJis}, {ui->actionCP949, CodeEncoding::Cp949},
        {ui->actionGBK, CodeEncoding::Gbk},        {ui->actionBig5, CodeEncoding::Big5},
    };
    for (const auto& [action, encoding] : encodings) {
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, encoding = encoding] {
            codeFiles.setEncoding(encoding);
        });
    }
    connect(&codeFiles, &QCodeFiles::statusChanged, this, [this, encodings] {
        const int current = codeFiles.currentIndex();
        for (const auto& [action, encoding] : encodings)
            action->setChecked(current >= 0 && codeFiles.documents()->encoding(current) == encoding);
    });

    statusBar()->addPermanentWidget(codeFiles.problemsLabel());
    statusBar()->addPermanentWidget(codeFiles.encodingLabel());
    connect(&codeFiles, &QCodeFiles::message, this, [this](const QString& text) {
        statusBar()->showMessage(text, 5000);
    });
}

void MainWindow::on_actionGo_to_line_triggered()
{
    if (codeFiles.count() == 0)
        return;
    ui->tabs->setCurrentIndex(CodeTab);
    codeFiles.goToLine();
}

void MainWindow::on_actionGo_to_Statedef_triggered()
{
    if (codeFiles.count() == 0)
        return;
    ui->tabs->setCurrentIndex(CodeTab);
    codeFiles.goToStatedef();
}

void MainWindow::on_actionNext_problem_triggered()
{
    if (codeFiles.count() == 0)
        return;
    ui->tabs->setCurrentIndex(CodeTab);
    codeFiles.goToProblem(true);
}

void MainWindow::on_actionPrevious_problem_triggered()
{
    if (codeFiles.count() == 0)
        return;
    ui->tabs->setCurrentIndex(CodeTab);
    codeFiles.goToProblem(false);
}

// The palette remap table of the utilities pane.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qrenderwidget.h"

#include <QItemSelectionModel>

void MainWindow::on_palrmAdd_clicked()
{
    renderer->remapModel()->addRow();
}

void MainWindow::on_palrmDel_clicked()
{
    const QItemSelection selection = ui->palrmTable->selectionModel()->selection();
    if (selection.size() == 1 && !selection.first().indexes().isEmpty())
        renderer->remapModel()->removeRow(selection.first().indexes().first().row());
    // The palette chosen before the table applied, through the table as it is now.
    renderer->setPalette(renderer->chosenPalette);
    renderWidget->update();
}

void MainWindow::remapChanged(const QModelIndex&, const QModelIndex&)
{
    renderer->setPalette(renderer->chosenPalette);
    renderWidget->update();
}

// The palette remap table of the utilities pane. Its edits are steps of the
// sprite archive's history (a preview: they leave the archive saved).
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qrenderwidget.h"

#include <QItemSelectionModel>

void MainWindow::on_palrmAdd_clicked()
{
    QReMapModel* model = renderer->remapModel();
    push(&sprites, new ChangeRemap(model, ChangeRemap::Add, model->rowCount()));
}

void MainWindow::on_palrmDel_clicked()
{
    const QItemSelection selection = ui->palrmTable->selectionModel()->selection();
    if (selection.size() == 1 && !selection.first().indexes().isEmpty()) {
        const int row = selection.first().indexes().first().row();
        push(&sprites, new ChangeRemap(renderer->remapModel(), ChangeRemap::Remove, row));
    }
}

void MainWindow::remapChanged(const QModelIndex&, const QModelIndex&)
{
    // The palette chosen before the table applied, through the table as it is now.
    renderer->setPalette(renderer->paletteRequest);
    renderWidget->update();
}

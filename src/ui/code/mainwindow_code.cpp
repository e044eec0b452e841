// The main window's DEF/CMD/CNS menu: code documents in tabs of the code page.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString saveFilter()
{
    return MainWindow::tr("Definitions (*.def);;Commands (*.cmd);;Constants (*.cns);;States (*.st);;Text File (*.txt)");
}

} // namespace

void MainWindow::on_actionNew_2_triggered()
{
    ui->tabs->setCurrentIndex(CodeTab);
    codeFiles.newFile();
}

void MainWindow::on_actionOpen_triggered()
{
    const QString name = QFileDialog::getOpenFileName(
        this, tr("Open DEF/CMD/CNS"), QString(),
        tr("All files (*.*);;Definitions (*.def);;Commands (*.cmd);;Constants (*.cns);;States (*.st)"));
    if (name.isEmpty())
        return;
    ui->tabs->setCurrentIndex(CodeTab);
    statusBar()->showMessage(tr("Parsing file"));
    const bool opened = codeFiles.open(name, true);
    statusBar()->clearMessage();
    // The user chose this file: say so when it cannot be read.
    if (!opened)
        QMessageBox::warning(this, tr("Open DEF/CMD/CNS"), tr("The file %1 could not be opened.").arg(name));
}

void MainWindow::on_actionSave_2_triggered()
{
    if (codeFiles.count() == 0)
        return; // nothing to save, nothing to ask a name for
    // Only a document without a file asks for a name: after a failure that was
    // told, or a save the person cancelled, there is nothing more to do.
    const int index = codeFiles.currentIndex();
    const QString file = codeFiles.fileName(index);
    if (!codeFiles.save(index) && (file.isEmpty() || !QFileInfo::exists(file)))
        on_actionSave_As_3_triggered();
}

void MainWindow::on_actionSave_As_3_triggered()
{
    if (codeFiles.count() == 0)
        return;
    const QString name = QFileDialog::getSaveFileName(this, tr("Save DEF/CMD/CNS"), QString(), saveFilter());
    if (!name.isEmpty())
        codeFiles.saveAs(codeFiles.currentIndex(), name);
}

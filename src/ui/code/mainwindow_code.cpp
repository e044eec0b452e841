// The main window's DEF/CMD/CNS menu: code documents in tabs of the code page.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextDocument>

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
    const QString name = askOpenFile(
        tr("Open DEF/CMD/CNS"), codeDialogPath(),
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
    else
        addRecentFile(name);
}

void MainWindow::on_actionSave_2_triggered()
{
    if (codeFiles.count() == 0)
        return; // nothing to save, nothing to ask a name for
    saveCodeDocument(codeFiles.currentIndex());
}

void MainWindow::on_actionSave_As_3_triggered()
{
    if (codeFiles.count() == 0)
        return;
    saveCodeDocument(codeFiles.currentIndex(), true);
}

bool MainWindow::saveCodeDocument(int index, bool asking, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (index < 0 || index >= codeFiles.count())
        return false;
    QString file = codeFiles.fileName(index);
    bool saved = false;
    if (!asking && !file.isEmpty() && QFileInfo::exists(file)) {
        // After a failure that was told, or a save the person cancelled,
        // there is nothing more to do.
        saved = codeFiles.save(index);
    } else {
        file = askSaveFile(tr("Save DEF/CMD/CNS"), codeDialogPath(QFileInfo(file).fileName()), saveFilter());
        if (file.isEmpty()) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
        saved = codeFiles.saveAs(index, file);
        if (saved)
            addRecentFile(file);
    }
    if (saved) {
        const int lines = codeFiles.document(index)->blockCount();
        reportSaved(file, lines == 1 ? tr("1 line") : tr("%1 lines").arg(lines));
    }
    return saved;
}

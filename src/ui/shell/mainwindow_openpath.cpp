// Opening a file by its extension, for recent files, drops and the command
// line. A stand-in until the whole-character open lands: it opens SFF, SND
// and AIR files on their pages and code files on the code page (a DEF only
// as code). Replace this file's body by that one when it does.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QFileInfo>
#include <QStatusBar>

bool MainWindow::openPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("sff"))
        return confirmDiscard(SffTab) && sffPage.open(path);
    if (suffix == QLatin1String("snd"))
        return confirmDiscard(SndTab) && sndPage.open(path);
    if (suffix == QLatin1String("air")) {
        ui->airStop->click();
        return confirmDiscard(AirTab) && airPage.open(path);
    }
    for (const char* code : {"def", "cmd", "cns", "st", "txt"})
        if (suffix == QLatin1String(code)) {
            ui->tabs->setCurrentIndex(CodeTab);
            return codeFiles.open(path, true);
        }
    statusBar()->showMessage(tr("%1 is not a file Morvane opens").arg(QFileInfo(path).fileName()), 5000);
    return false;
}

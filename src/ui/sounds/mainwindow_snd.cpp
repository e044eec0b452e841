// The SND tab: browsing, editing, importing, exporting and playing the sounds
// of the sound archive, and opening and saving SND files.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

void MainWindow::selectSound(int index)
{
    // Moving the scroll bar selects through its signal; when it already stands
    // there (an empty archive, a cleared one) the sound is selected directly.
    if (ui->sndSel->value() == index)
        on_sndSel_valueChanged(index);
    else
        ui->sndSel->setValue(index);
}

void MainWindow::warnSoundFile(const QString& title, const QString& fileName)
{
    QMessageBox::warning(this, title,
                         tr("The file %1 could not be used.\n%2")
                             .arg(QDir::toNativeSeparators(fileName), sounds.errorString()));
}

void MainWindow::on_sndSel_valueChanged(int value)
{
    const bool wasInteractive = interactive;
    const bool inRange = uint(value) < uint(sounds.count());
    ui->sndGrp->setEnabled(inRange);
    ui->sndNum->setEnabled(inRange);
    interactive = false;
    if (inRange) {
        const auto [group, number] = sounds.groupAndNumber(value);
        currentSoundGroup = group;
        currentSoundNumber = number;
        currentSoundInfo = sounds.info(value);
        ui->sndPos->setText(QStringLiteral("%1 / %2").arg(value + 1).arg(sounds.count()));
        ui->sndGrp->setValue(group);
        ui->sndNum->setValue(number);
        ui->sndInfo->setText(tr("Channels: %1\nSample rate: %2\nBits per sample: %3\nDuration: %4")
                                 .arg(currentSoundInfo.channels)
                                 .arg(currentSoundInfo.sampleRate)
                                 .arg(currentSoundInfo.bitsPerSample)
                                 .arg(durationText(currentSoundInfo)));
    } else {
        ui->sndPos->setText(QStringLiteral("0 / 0"));
        ui->sndGrp->setValue(0);
        ui->sndNum->setValue(0);
        ui->sndInfo->setText(tr("Channels: --\nSample rate: --\nBits per sample: --\nDuration: --"));
    }
    interactive = wasInteractive;
}

void MainWindow::on_sndGrp_valueChanged(int value)
{
    if (!interactive)
        return;
    // The spin box runs from -32767; the archive keeps 16 bits (-1 is 65535).
    currentSoundGroup = quint16(value);
    sounds.setGroupAndNumber(ui->sndSel->value(), currentSoundGroup, currentSoundNumber);
    setModifiedMark(SndTab, true);
}

void MainWindow::on_sndNum_valueChanged(int value)
{
    if (!interactive)
        return;
    currentSoundNumber = quint16(value);
    sounds.setGroupAndNumber(ui->sndSel->value(), currentSoundGroup, currentSoundNumber);
    setModifiedMark(SndTab, true);
}

void MainWindow::on_actionNew_sound_triggered()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("New sound"), QString(), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    const int index = sounds.count() == 0 ? 0 : ui->sndSel->value() + 1;
    sounds.insertEmpty(index);
    const bool ok = sounds.setSoundFile(index, file);
    updateSoundRange();
    selectSound(index);
    // The new sound stays, without data, when the file cannot be read.
    setModifiedMark(SndTab, true);
    if (!ok)
        warnSoundFile(tr("New sound"), file);
}

void MainWindow::on_actionChange_sound_triggered()
{
    const int index = ui->sndSel->value();
    if (uint(index) >= uint(sounds.count()))
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Change sound"), QString(), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    if (!sounds.setSoundFile(index, file)) {
        warnSoundFile(tr("Change sound"), file);
        return;
    }
    on_sndSel_valueChanged(index);
    setModifiedMark(SndTab, true);
}

void MainWindow::on_actionSave_Sound_triggered()
{
    const int index = ui->sndSel->value();
    if (uint(index) >= uint(sounds.count()))
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save sound"), QString(), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    if (!sounds.exportSound(index, file))
        warnSoundFile(tr("Save sound"), file);
}

void MainWindow::on_actionDuplicate_sound_triggered()
{
    const int index = ui->sndSel->value();
    if (uint(index) >= uint(sounds.count()))
        return;
    sounds.duplicate(index);
    updateSoundRange();
    selectSound(index + 1);
    setModifiedMark(SndTab, true);
}

void MainWindow::on_actionDelete_sound_triggered()
{
    const int index = ui->sndSel->value();
    if (uint(index) >= uint(sounds.count()))
        return;
    if (QMessageBox::question(this, tr("Delete sound"), tr("Do you really want to delete the sound"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    sounds.remove(index);
    updateSoundRange();
    // The sound that followed takes the place; after the last one, the one
    // where the scroll bar now stands (the empty state once none is left).
    on_sndSel_valueChanged(qMin(index, ui->sndSel->maximum()));
    setModifiedMark(SndTab, true);
}

void MainWindow::on_actionNew_3_triggered()
{
    if (!confirmDiscard(SndTab))
        return;
    sndFileName.clear();
    setModifiedMark(SndTab, false);
    sounds.clear();
    updateSoundRange();
    // Show the empty archive, not the sound that was selected before.
    on_sndSel_valueChanged(ui->sndSel->value());
}

void MainWindow::on_actionOpen_3_triggered()
{
    if (!confirmDiscard(SndTab))
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Open SND"), QString(), tr("Sounds (*.snd)"));
    if (file.isEmpty())
        return;
    progressDialog->setLabelText(tr("Loading sounds..."));
    ui->tabs->setCurrentIndex(SndTab);
    const bool loaded = sounds.load(file);
    if (loaded) {
        sndFileName = file;
        // A load that stopped early holds less than the file: saving it over
        // the file would lose the rest, so it counts as a change.
        setModifiedMark(SndTab, !sounds.loadComplete());
    }
    updateSoundRange();
    // The scroll bar goes to the first sound too, so that what is shown is what
    // Play, Delete and the rest act on.
    selectSound(0);
    if (!loaded)
        warnSoundFile(tr("Open SND"), file);
}

bool MainWindow::saveSounds(const QString& file)
{
    progressDialog->setLabelText(tr("Saving sounds..."));
    if (!sounds.save(file)) {
        warnSoundFile(tr("Save SND"), file);
        return false;
    }
    sndFileName = file;
    setModifiedMark(SndTab, false);
    return true;
}

bool MainWindow::refuseEmptySounds()
{
    if (sounds.count() != 0)
        return false;
    QMessageBox::warning(this, tr("Save SND"), tr("You can't save an empty SND because Mugen will not open it."));
    return true;
}

void MainWindow::on_actionSave_As_4_triggered()
{
    if (refuseEmptySounds())
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save SND"), QString(), tr("Sounds (*.snd)"));
    if (file.isEmpty())
        return;
    saveSounds(file);
}

void MainWindow::on_actionSave_3_triggered()
{
    if (refuseEmptySounds())
        return;
    if (!sndFileName.isEmpty() && QFileInfo::exists(sndFileName))
        saveSounds(sndFileName);
    else
        on_actionSave_As_4_triggered();
}

void MainWindow::on_actionPlay_triggered()
{
    sounds.play(ui->sndSel->value(), false);
}

void MainWindow::on_actionPlay_with_loop_triggered()
{
    sounds.play(ui->sndSel->value(), true);
}

void MainWindow::on_actionStop_triggered()
{
    sounds.stop();
}

// The SND tab: browsing, editing, importing, exporting and playing the sounds
// of the sound archive, and opening and saving SND files. Every change of the
// archive is a step of its history; the tab shows what the archive holds
// whenever it says it changed.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "soundcommands.h"

#include <QFileDialog>
#include <QScopedValueRollback>

DocumentPage::Texts MainWindow::sndTexts() const
{
    DocumentPage::Texts t;
    t.openTitle = tr("Open SND");
    t.saveTitle = tr("Save SND");
    t.filter = tr("Sounds (*.snd)");
    t.loading = tr("Loading sounds...");
    t.saving = tr("Saving sounds...");
    t.empty = tr("You can't save an empty SND because Mugen will not open it.");
    t.unreadable = t.unusable = t.notSaved = tr("The file %1 could not be used.\n%2");
    return t;
}

void MainWindow::selectSound(int index)
{
    // Moving the scroll bar selects through its signal; when it already stands
    // there (an empty archive, a cleared one) the sound is selected directly.
    if (ui->sndSel->value() == index)
        on_sndSel_valueChanged(index);
    else
        ui->sndSel->setValue(index);
}

void MainWindow::soundsChanged()
{
    // A sound went in or out: the page shows the sound where the scroll bar
    // now stands (after the last one, the one before; the empty state once
    // none is left).
    updateSoundRange();
    selectSound(ui->sndSel->value());
}

void MainWindow::warnSoundFile(const QString& title, const QString& fileName)
{
    sndPage.warn(title, tr("The file %1 could not be used.\n%2"), fileName, sounds.errorString());
}

void MainWindow::on_sndSel_valueChanged(int value)
{
    const bool inRange = uint(value) < uint(sounds.count());
    ui->sndGrp->setEnabled(inRange);
    ui->sndNum->setEnabled(inRange);
    QScopedValueRollback<bool> quiet(interactive, false);
    if (inRange) {
        const auto [group, number] = sounds.groupAndNumber(value);
        const WavInfo info = sounds.info(value);
        ui->sndPos->setText(QStringLiteral("%1 / %2").arg(value + 1).arg(sounds.count()));
        ui->sndGrp->setValue(group);
        ui->sndNum->setValue(number);
        ui->sndInfo->setText(tr("Channels: %1\nSample rate: %2\nBits per sample: %3\nDuration: %4")
                                 .arg(info.channels)
                                 .arg(info.sampleRate)
                                 .arg(info.bitsPerSample)
                                 .arg(durationText(info)));
    } else {
        ui->sndPos->setText(QStringLiteral("0 / 0"));
        ui->sndGrp->setValue(0);
        ui->sndNum->setValue(0);
        ui->sndInfo->setText(tr("Channels: --\nSample rate: --\nBits per sample: --\nDuration: --"));
    }
}

void MainWindow::on_sndGrp_valueChanged(int value)
{
    const int index = ui->sndSel->value();
    if (!interactive || !sounds.sound(index))
        return;
    // The spin box runs from -32767; the archive keeps 16 bits (-1 is 65535).
    push(&sounds, soundcommands::changeGroupAndNumber(&sounds, index, quint16(value), sounds.groupAndNumber(index).second));
}

void MainWindow::on_sndNum_valueChanged(int value)
{
    const int index = ui->sndSel->value();
    if (!interactive || !sounds.sound(index))
        return;
    push(&sounds, soundcommands::changeGroupAndNumber(&sounds, index, sounds.groupAndNumber(index).first, quint16(value)));
}

void MainWindow::on_actionNew_sound_triggered()
{
    const QString file = askOpenFile(tr("New sound"), dialogPath(&sounds), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    const int index = sounds.count() == 0 ? 0 : ui->sndSel->value() + 1;
    SoundRecord record;
    const bool ok = sounds.readSoundFile(file, record);
    // The new sound stays, without data, when the file cannot be read.
    push(&sounds, soundcommands::insertSound(&sounds, index, record));
    if (!ok)
        warnSoundFile(tr("New sound"), file);
}

void MainWindow::on_actionChange_sound_triggered()
{
    const int index = ui->sndSel->value();
    if (!sounds.sound(index))
        return;
    const QString file = askOpenFile(tr("Change sound"), dialogPath(&sounds), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    SoundRecord record;
    if (!sounds.readSoundFile(file, record)) {
        warnSoundFile(tr("Change sound"), file);
        return;
    }
    push(&sounds, soundcommands::replaceSound(&sounds, index, record));
}

void MainWindow::on_actionSave_Sound_triggered()
{
    const int index = ui->sndSel->value();
    if (!sounds.sound(index))
        return;
    const QString file = askSaveFile(tr("Save sound"), dialogPath(&sounds, QStringLiteral("%1-%2.wav").arg(ui->sndGrp->value()).arg(ui->sndNum->value())), tr("WAVE (*.wav)"));
    if (file.isEmpty())
        return;
    if (!sounds.exportSound(index, file))
        warnSoundFile(tr("Save sound"), file);
}

void MainWindow::on_actionDuplicate_sound_triggered()
{
    push(&sounds, soundcommands::duplicateSound(&sounds, ui->sndSel->value()));
}

void MainWindow::on_actionDelete_sound_triggered()
{
    const int index = ui->sndSel->value();
    if (!sounds.sound(index) || !sndPage.confirm(tr("Delete sound"), tr("Do you really want to delete the sound")))
        return;
    push(&sounds, soundcommands::removeSound(&sounds, index));
}

void MainWindow::on_actionNew_3_triggered()
{
    sndPage.newDocument();
}

void MainWindow::on_actionOpen_3_triggered()
{
    sndPage.open();
}

void MainWindow::on_actionSave_3_triggered()
{
    sndPage.save();
}

void MainWindow::on_actionSave_As_4_triggered()
{
    sndPage.saveAs();
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

// The AIR tab: browsing the actions and frames of the animation set, editing
// every field of a frame and its boxes, playing an action at the engine's
// speed, opening and saving AIR files and saving an action as a GIF. Every
// change of the set is a step of its history; the tab shows what the set
// holds whenever it says it changed.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "gifexport.h"
#include "qrenderwidget.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QStatusBar>

namespace {

QString airFilter()
{
    return MainWindow::tr("Animations (*.air)");
}

} // namespace

DocumentPage::Texts MainWindow::airTexts() const
{
    DocumentPage::Texts t;
    t.openTitle = tr("Open AIR");
    t.saveTitle = tr("Save AIR");
    t.filter = airFilter();
    t.loading = tr("Loading animations...");
    t.saving = tr("Saving animations...");
    t.empty = tr("You can't save an empty AIR because Mugen will not open it.");
    t.unreadable = tr("The file %1 could not be read.\n%2");
    t.unusable = tr("The file %1 could not be read.\n%2");
    t.notSaved = tr("The animations were not saved to %1.\n%2");
    return t;
}

bool MainWindow::mayWriteAnimations()
{
    if (animations.fitsEncoding())
        return true;
    return QMessageBox::question(this, tr("Save AIR"),
                                 tr("Some action names hold characters that %1 cannot hold. "
                                    "Save the file as UTF-8 instead?")
                                     .arg(animations.encodingName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

// ---------------------------------------------------------------- browsing

void MainWindow::on_airSel_valueChanged(int value)
{
    renderer->setSource(value, QRenderMode::AnimationMode);
    ui->airFSel->setMinimum(0);
    const bool valid = animations.action(value) != nullptr;
    const bool editable = valid && !playTimer.isActive() && !ui->actionPlay_2->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(ui->airDel), static_cast<QWidget*>(ui->airName),
                       static_cast<QWidget*>(ui->airBA)})
        w->setEnabled(editable);
    showActionFields(value);
    // Frame 0 of the action, shown even when the bar stands there already.
    ui->airFSel->setMaximum(qMax(0, animations.frameCount(value) - 1));
    if (ui->airFSel->value() == 0)
        on_airFSel_valueChanged(0);
    else
        ui->airFSel->setValue(0);
}

void MainWindow::showActionFields(int action)
{
    QScopedValueRollback<bool> quiet(interactive, false);
    if (!animations.action(action)) {
        ui->airPos->setText(QStringLiteral("0 / 0"));
        ui->airName->clear();
        ui->airBA->setValue(0);
        return;
    }
    const AirActionInfo info = animations.actionInfo(action);
    ui->airPos->setText(QStringLiteral("%1 / %2").arg(action + 1).arg(animations.actionCount()));
    if (ui->airName->text() != info.name)
        ui->airName->setText(info.name);
    ui->airBA->setValue(info.number);
}

void MainWindow::on_airFSel_valueChanged(int value)
{
    const int action = ui->airSel->value();
    renderer->setFrame(value);
    const AirFrame* f = animations.frame(action, value);
    const bool editable = f && !playTimer.isActive() && !ui->actionPlay_2->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(ui->airFDel), static_cast<QWidget*>(ui->airGrp),
                       static_cast<QWidget*>(ui->airNo), static_cast<QWidget*>(ui->airX),
                       static_cast<QWidget*>(ui->airY), static_cast<QWidget*>(ui->airTime),
                       static_cast<QWidget*>(ui->airFlip), static_cast<QWidget*>(ui->airTrans),
                       static_cast<QWidget*>(ui->airLoop), static_cast<QWidget*>(ui->airClsn1),
                       static_cast<QWidget*>(ui->airClsn2), static_cast<QWidget*>(ui->airDelClsn),
                       static_cast<QWidget*>(ui->airClsnType), static_cast<QWidget*>(ui->airClsnDef)})
        w->setEnabled(editable);
    showFrameFields(value);
    // The frame's sprite with its own palette, through the remap table.
    renderer->setPalette(-1);
    renderer->refresh();
    renderWidget->update();
}

void MainWindow::showFrameFields(int frame)
{
    const AirFrame* f = animations.frame(ui->airSel->value(), frame);
    {
        QScopedValueRollback<bool> quiet(interactive, false);
        if (!f) {
            ui->airFPos->setText(QStringLiteral("0 / 0"));
            for (QSpinBox* box : {ui->airGrp, ui->airNo, ui->airX, ui->airY, ui->airTime})
                box->setValue(0);
            ui->airFlip->setCurrentIndex(0);
            ui->airTrans->setCurrentIndex(0);
            on_airTrans_currentIndexChanged(0);
            ui->airLoop->setChecked(false);
        } else {
            ui->airFPos->setText(QStringLiteral("%1 / %2").arg(frame + 1).arg(ui->airFSel->maximum() + 1));
            ui->airGrp->setValue(f->group);
            ui->airNo->setValue(f->number);
            ui->airX->setValue(f->x);
            ui->airY->setValue(f->y);
            ui->airTime->setValue(f->time);
            ui->airFlip->setCurrentIndex(qMin<int>(f->flip, 3));
            ui->airTrans->setCurrentIndex(qMin<int>(f->transparency, 2));
            on_airTrans_currentIndexChanged(ui->airTrans->currentIndex());
            ui->airLoop->setChecked(f->loopStart);
        }
    }
    // A frame whose sprite the archive lacks shows nothing: say why.
    if (f && f->group >= 0 && renderer->frameSpriteIndex < 0)
        statusBar()->showMessage(tr("sprite %1,%2 not in the SFF").arg(f->group).arg(f->number));
    else if (statusBar()->currentMessage().contains(tr("not in the SFF")))
        statusBar()->clearMessage();
}

// ---------------------------------------------------------------- fields

void MainWindow::editFrame(ChangeFrame::Field field, const std::function<void(AirFrame&)>& edit)
{
    const int action = ui->airSel->value(), frame = ui->airFSel->value();
    const AirFrame* f = animations.frame(action, frame);
    if (!interactive || !f)
        return;
    AirFrame after = *f;
    edit(after);
    push(&animations, animationcommands::changeFrame(&animations, action, frame, after, field));
}

void MainWindow::on_airName_textChanged(const QString& text)
{
    const int action = ui->airSel->value();
    if (interactive && animations.action(action))
        push(&animations, animationcommands::changeActionInfo(&animations, action, text,
                                                              animations.actionInfo(action).number));
}

void MainWindow::on_airBA_valueChanged(int value)
{
    const int action = ui->airSel->value();
    if (interactive && animations.action(action))
        push(&animations, animationcommands::changeActionInfo(&animations, action, animations.actionInfo(action).name,
                                                              value));
}

void MainWindow::on_airGrp_valueChanged(int value)
{
    editFrame(ChangeFrame::Group, [value](AirFrame& f) { f.group = value; });
}

void MainWindow::on_airNo_valueChanged(int value)
{
    editFrame(ChangeFrame::Number, [value](AirFrame& f) { f.number = value; });
}

void MainWindow::on_airX_valueChanged(int value)
{
    editFrame(ChangeFrame::X, [value](AirFrame& f) { f.x = value; });
}

void MainWindow::on_airY_valueChanged(int value)
{
    editFrame(ChangeFrame::Y, [value](AirFrame& f) { f.y = value; });
}

void MainWindow::on_airTime_valueChanged(int value)
{
    editFrame(ChangeFrame::Time, [value](AirFrame& f) { f.time = value; });
}

void MainWindow::on_airFlip_currentIndexChanged(int index)
{
    editFrame(ChangeFrame::Flip, [index](AirFrame& f) { f.flip = quint8(qBound(0, index, 3)); });
}

void MainWindow::on_airTrans_currentIndexChanged(int index)
{
    ui->airSrc->setEnabled(index >= 1);
    ui->airDst->setEnabled(index >= 1);
    if (!interactive) {
        const AirFrame* f = animations.frame(ui->airSel->value(), ui->airFSel->value());
        ui->airSrc->setValue(f ? f->srcAlpha : 0);
        ui->airDst->setValue(f ? f->dstAlpha : 0);
        return;
    }
    editFrame(ChangeFrame::Transparency, [index](AirFrame& f) {
        f.transparency = quint8(qBound(0, index, 2));
        // Addition with both weights 0 would hide the sprite: a frame that
        // had none gets the engine's full addition.
        if (f.transparency == 1 && f.srcAlpha == 0 && f.dstAlpha == 0)
            f.srcAlpha = f.dstAlpha = 256;
    });
}

void MainWindow::on_airSrc_valueChanged(int value)
{
    editFrame(ChangeFrame::SrcAlpha, [value](AirFrame& f) { f.srcAlpha = quint16(value); });
}

void MainWindow::on_airDst_valueChanged(int value)
{
    editFrame(ChangeFrame::DstAlpha, [value](AirFrame& f) { f.dstAlpha = quint16(value); });
}

void MainWindow::on_airLoop_toggled(bool checked)
{
    editFrame(ChangeFrame::LoopStart, [checked](AirFrame& f) { f.loopStart = checked; });
}

// ---------------------------------------------------------------- actions and frames

void MainWindow::on_airAdd_clicked()
{
    push(&animations, animationcommands::newAction(&animations, ui->airSel->value() + 1));
}

void MainWindow::on_airDel_clicked()
{
    const int action = ui->airSel->value();
    if (!animations.action(action)
        || !airPage.confirm(tr("Delete animation"), tr("Do you really want to delete the animation")))
        return;
    push(&animations, new RemoveAction(&animations, action));
}

void MainWindow::on_airFAdd_clicked()
{
    push(&animations, animationcommands::newFrame(&animations, ui->airSel->value(), ui->airFSel->value() + 1));
}

void MainWindow::on_airFDel_clicked()
{
    const int action = ui->airSel->value(), frame = ui->airFSel->value();
    if (!animations.frame(action, frame))
        return;
    // The engine does not take an action without frames: its last one stays.
    if (animations.frameCount(action) == 1) {
        QMessageBox::warning(this, tr("Delete frame"),
                             tr("You can't delete the first frame because Mugen doesn't support empty animations."),
                             QMessageBox::Ok);
        return;
    }
    if (!airPage.confirm(tr("Delete frame"), tr("Do you really want to delete the frame?")))
        return;
    push(&animations, new RemoveFrame(&animations, action, frame));
}

// ---------------------------------------------------------------- boxes

void MainWindow::on_airClsn1_toggled(bool checked)
{
    if (!interactive)
        return;
    if (checked) {
        QScopedValueRollback<bool> quiet(interactive, false);
        ui->airClsn2->setChecked(false);
        renderer->setCreateMode(true, 0);
    } else if (!ui->airClsn2->isChecked()) {
        renderer->setCreateMode(false, 0);
    }
}

void MainWindow::on_airClsn2_toggled(bool checked)
{
    if (!interactive)
        return;
    if (checked) {
        QScopedValueRollback<bool> quiet(interactive, false);
        ui->airClsn1->setChecked(false);
        renderer->setCreateMode(true, 1);
    } else if (!ui->airClsn1->isChecked()) {
        renderer->setCreateMode(false, 1);
    }
}

void MainWindow::on_airDelClsn_clicked()
{
    renderer->deleteSelectedBoxes();
}

void MainWindow::on_airClsnType_clicked()
{
    renderer->toggleTypeOfSelected();
}

void MainWindow::on_airClsnDef_clicked()
{
    renderer->toggleDefaultOfSelected();
}

// ---------------------------------------------------------------- playback

void MainWindow::setAirEditable(bool editable)
{
    for (QWidget* w : {static_cast<QWidget*>(ui->airAdd), static_cast<QWidget*>(ui->airBA),
                       static_cast<QWidget*>(ui->airClsn1), static_cast<QWidget*>(ui->airClsn2),
                       static_cast<QWidget*>(ui->airClsnDef), static_cast<QWidget*>(ui->airClsnType),
                       static_cast<QWidget*>(ui->airDel), static_cast<QWidget*>(ui->airDelClsn),
                       static_cast<QWidget*>(ui->airDst), static_cast<QWidget*>(ui->airFAdd),
                       static_cast<QWidget*>(ui->airFDel), static_cast<QWidget*>(ui->airFlip),
                       static_cast<QWidget*>(ui->airGrp), static_cast<QWidget*>(ui->airLoop),
                       static_cast<QWidget*>(ui->airName), static_cast<QWidget*>(ui->airPlay),
                       static_cast<QWidget*>(ui->airTime), static_cast<QWidget*>(ui->airTrans),
                       static_cast<QWidget*>(ui->airX), static_cast<QWidget*>(ui->airY),
                       static_cast<QWidget*>(ui->airNo), static_cast<QWidget*>(ui->airSrc)})
        w->setEnabled(editable);
}

void MainWindow::on_actionPlay_2_triggered(bool checked)
{
    if (!checked)
        return;
    ui->airPlay->setChecked(true);
    ui->actionPlay_2->setChecked(true);
    ui->actionStop_2->setChecked(false);
    setAirEditable(false);
    const int action = ui->airSel->value();
    QList<AnimationPlayer::Frame> frames;
    for (int j = 0; j < animations.frameCount(action); ++j) {
        const AirFrame* f = animations.frame(action, j);
        frames.append({f->time, f->loopStart});
    }
    playClock.start();
    // A frame shown for ever is shown, and play ends there.
    if (!player.start(frames, ui->airFSel->value(), 0)) {
        ui->airStop->click();
        return;
    }
    playTimer.start(int(player.msUntilNext(playClock.elapsed())));
}

void MainWindow::playTimeOut()
{
    if (!player.isPlaying())
        return;
    const int frame = player.step();
    ui->airFSel->setValue(frame);
    if (!player.isPlaying()) {
        ui->airStop->click();
        return;
    }
    // Due on the action's timeline, however late this one came.
    playTimer.start(int(player.msUntilNext(playClock.elapsed())));
}

void MainWindow::on_actionStop_2_triggered(bool checked)
{
    if (!checked)
        return;
    const bool wasPlaying = playTimer.isActive() || player.isPlaying() || !ui->airPlay->isEnabled();
    ui->airStop->setChecked(true);
    ui->actionPlay_2->setChecked(false);
    ui->actionStop_2->setChecked(true);
    playTimer.stop();
    player.stop();
    if (!wasPlaying)
        return;
    setAirEditable(true);
    // Each widget as the action and the frame shown allow; the frame play
    // stopped at stays shown.
    const int frame = ui->airFSel->value();
    on_airSel_valueChanged(ui->airSel->value());
    ui->airFSel->setValue(frame);
}

void MainWindow::on_actionText_mode_triggered()
{
    ui->airStop->click();
}

// ---------------------------------------------------------------- files

void MainWindow::on_actionNew_triggered()
{
    ui->airStop->click();
    airPage.newDocument();
}

void MainWindow::on_actionOpen_2_triggered()
{
    ui->airStop->click();
    airPage.open();
}

void MainWindow::on_actionSave_triggered()
{
    ui->airStop->click();
    airPage.save();
}

void MainWindow::on_actionSave_As_2_triggered()
{
    ui->airStop->click();
    airPage.saveAs();
}

void MainWindow::on_actionSave_as_GIF_triggered()
{
    ui->airStop->click();
    const int action = ui->airSel->value();
    if (animations.frameCount(action) == 0) {
        QMessageBox::warning(this, tr("Save GIF"), tr("You can't save an empty animation as GIF."), QMessageBox::Ok);
        return;
    }
    const QString file =
        askSaveFile(tr("Save GIF"), dialogPath(&animations, QStringLiteral("%1.gif").arg(animations.actionInfo(action).number)),
                    tr("Graphics Interchange Format (*.gif)"));
    if (file.isEmpty())
        return;
    QString error;
    if (!saveActionGif(sprites, animations, action, file, &error))
        airPage.warn(tr("Save GIF"), tr("The GIF could not be written to %1.\n%2"), file, error);
}

// The SFF and ACT tabs: browsing and editing the sprites of the sprite archive
// and its palettes, importing and exporting images and ACT palettes, opening
// and saving SFF files, and the colour commands of the palette grid.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qpalettewidget.h"
#include "qrenderwidget.h"
#include "qrgbpalette.h"
#include "qsprrender.h"
#include "spritedupl.h"

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

QString imageFilter()
{
    return MainWindow::tr("All supported (*.pcx *.png *.bmp);;Personal Computer eXchange (*.pcx);;"
                          "Portable Network Graphic (*.png);;Bitmap (*.bmp)");
}

QString sffFilter()
{
    return MainWindow::tr("Sprite File Format (*.sff)");
}

QString actFilter()
{
    return MainWindow::tr("Adobe Color Table (*.act)");
}

} // namespace

// ---------------------------------------------------------------- helpers

int MainWindow::activeSprite() const
{
    const int index = ui->sprSel->value();
    return index >= 0 && index < sprites.spriteCount() ? index : -1;
}

int MainWindow::activePalette() const
{
    const int index = ui->actSel->value();
    return index >= 0 && index < sprites.paletteCount() ? index : -1;
}

void MainWindow::selectSprite(int index)
{
    // Moving the scroll bar shows the sprite through its signal; when it
    // already stands there the sprite is shown directly.
    if (ui->sprSel->value() == index)
        on_sprSel_valueChanged(index);
    else
        ui->sprSel->setValue(index);
}

void MainWindow::selectPalette(int index)
{
    if (ui->actSel->value() == index)
        on_actSel_valueChanged(index);
    else
        ui->actSel->setValue(index);
}

void MainWindow::redrawSprite()
{
    // The renderer chooses the palette it was asked for again (and applies
    // the remap table to it afresh), then draws with its new colours.
    renderer->setPalette(renderer->chosenPalette);
    renderWidget->update();
}

void MainWindow::paletteListChanged()
{
    // Inserting or removing a palette renumbers the palettes of the sprites:
    // the view takes the shown sprite's record again before it draws.
    const int index = activeSprite();
    if (renderer->mode == SpriteMode && index >= 0) {
        renderer->setSource(index, SpriteMode);
        renderer->setPalette(ui->actPalImg->isChecked() ? ui->actSel->value() : -1);
    }
    renderWidget->update();
}

void MainWindow::warnFile(const QString& title, const QString& text, const QString& fileName)
{
    QMessageBox::warning(this, title, text.arg(QDir::toNativeSeparators(fileName)));
}

void MainWindow::clearSpriteMarks()
{
    // Sprites and palettes are saved together, and share one flag: both tab
    // titles lose their mark, or ACT would still claim changes nobody is
    // asked about any more.
    setModifiedMark(SffTab, false);
    setModifiedMark(ActTab, false);
}

bool MainWindow::refuseEmptySprites()
{
    if (sprites.spriteCount() > 0)
        return false;
    QMessageBox::warning(this, tr("Save SFF"), tr("You can't save an empty SFF because Mugen will not open it."),
                         QMessageBox::Ok);
    return true;
}

bool MainWindow::saveSprites(const QString& fileName)
{
    progressDialog->setLabelText(tr("Saving sprites..."));
    // The archive writes a new file and puts it in place only when it is
    // complete: a failed or cancelled save leaves the old file as it was.
    if (!sprites.save(fileName, true)) {
        progressDialog->reset();
        warnFile(tr("Save SFF"), tr("The sprites were not saved to %1."), fileName);
        return false;
    }
    sffFileName = fileName;
    clearSpriteMarks();
    return true;
}

// ---------------------------------------------------------------- SFF tab

void MainWindow::on_sprSel_valueChanged(int value)
{
    const bool wasInteractive = interactive;
    renderer->setSource(value, SpriteMode);
    const bool valid = value >= 0 && value < sprites.spriteCount();
    const QList<QWidget*> controls = {ui->sprGrp, ui->sprImg, ui->sprX, ui->sprY,
                                      ui->sprDeLoad, ui->sprImgPal, ui->sprCorTrans};
    for (QWidget* w : controls)
        w->setEnabled(valid);

    interactive = false;
    if (!valid) {
        ui->sprPos->setText(QStringLiteral("0 / 0"));
        ui->sprGrp->setValue(0);
        ui->sprImg->setValue(0);
        ui->sprX->setValue(0);
        ui->sprY->setValue(0);
        ui->sprDeLoad->setChecked(false);
        ui->sprLnk->setText(tr("No linkage"));
        ui->sprSize->setText(tr("%1 x %2 pixels").arg(0).arg(0));
        interactive = wasInteractive;
        renderWidget->update();
        return;
    }
    const SpriteInfo info = sprites.spriteInfo(value);
    const SpriteSize size = sprites.spriteSize(value);
    ui->sprPos->setText(QStringLiteral("%1 / %2").arg(value + 1).arg(sprites.spriteCount()));
    // Groups and numbers are 16 bits; the spin boxes show the upper half as
    // negative values, which is how they are written back.
    ui->sprGrp->setValue(qint16(info.group));
    ui->sprImg->setValue(qint16(info.number));
    ui->sprX->setValue(info.axisX);
    ui->sprY->setValue(info.axisY);
    ui->sprDeLoad->setChecked(info.flags & 1);
    if (info.hasData) {
        ui->sprLnk->setText(tr("No linkage"));
    } else {
        const SpriteInfo target = sprites.spriteInfo(info.linkIndex);
        ui->sprLnk->setText(tr("Linked at %1, %2").arg(target.group).arg(target.number));
    }
    ui->sprSize->setText(tr("%1 x %2 pixels").arg(size.width).arg(size.height));
    interactive = wasInteractive;

    int palette = info.paletteIndex;
    if (ui->sprImgPal->isChecked()) {
        // Only the palette tab follows; the sprite is drawn below.
        interactive = false;
        selectPalette(palette);
        interactive = wasInteractive;
    } else if (ui->actPalImg->isChecked()) {
        palette = ui->actSel->value();
    }
    renderer->setPalette(palette);
    renderWidget->update();
}

void MainWindow::editActiveSprite(const std::function<void(SpriteInfo&)>& edit, bool geometry)
{
    const int index = activeSprite();
    if (!interactive || index < 0)
        return;
    SpriteInfo info = sprites.spriteInfo(index);
    edit(info);
    sprites.setSpriteInfo(index, info);
    // The renderer draws from its own copy of the record.
    if (renderer->mode == SpriteMode && renderer->currentIndex == index) {
        renderer->spriteInfo = info;
        if (geometry)
            renderer->refresh();
    }
    setModifiedMark(SffTab, true);
}

// The spin boxes run from -32767; groups and numbers are 16-bit, so -1 is 65535.
void MainWindow::on_sprGrp_valueChanged(int value)
{
    editActiveSprite([value](SpriteInfo& s) { s.group = quint16(value); }, false);
}

void MainWindow::on_sprImg_valueChanged(int value)
{
    editActiveSprite([value](SpriteInfo& s) { s.number = quint16(value); }, false);
}

void MainWindow::on_sprX_valueChanged(int value)
{
    editActiveSprite([value](SpriteInfo& s) { s.axisX = qint16(value); }, true);
}

void MainWindow::on_sprY_valueChanged(int value)
{
    editActiveSprite([value](SpriteInfo& s) { s.axisY = qint16(value); }, true);
}

void MainWindow::on_sprDeLoad_toggled(bool checked)
{
    editActiveSprite([checked](SpriteInfo& s) { s.flags = checked ? 1 : 0; }, false);
}

void MainWindow::on_sprCorTrans_toggled(bool checked)
{
    renderer->setShowTransparentColour(checked);
}

void MainWindow::on_sprImgPal_clicked()
{
    on_sprSel_valueChanged(ui->sprSel->value());
}

void MainWindow::on_actionNovo_sprite_triggered()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("New sprite"), QString(), imageFilter());
    if (file.isEmpty())
        return;
    const int index = activeSprite() + 1;
    sprites.insertSprite(index);
    if (!sprites.loadImage(index, file)) {
        // No empty record is left behind for a file that cannot be read.
        sprites.removeSprite(index);
        warnFile(tr("New sprite"), tr("The image %1 could not be read."), file);
        return;
    }
    updateSpriteRange();
    updatePaletteRange();
    selectSprite(index);
    setModifiedMark(SffTab, true);
}

void MainWindow::on_actionTrocar_imagem_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Change image"), QString(), imageFilter());
    if (file.isEmpty())
        return;
    if (!sprites.loadImage(index, file)) {
        warnFile(tr("Change image"), tr("The image %1 could not be read."), file);
        return;
    }
    // The image may have brought a palette of its own.
    updatePaletteRange();
    on_sprSel_valueChanged(index);
    setModifiedMark(SffTab, true);
}

void MainWindow::on_actionSalvar_imagem_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save image"), QString(), imageFilter());
    if (file.isEmpty())
        return;
    if (!sprites.saveImage(index, file))
        warnFile(tr("Save image"), tr("The image %1 could not be written."), file);
}

void MainWindow::on_actionDuplicar_sprite_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    SpriteDupl dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    sprites.duplicateSprite(index, dialog.isCopy());
    updateSpriteRange();
    selectSprite(index + 1);
    setModifiedMark(SffTab, true);
}

void MainWindow::on_actionExcluir_sprite_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    if (QMessageBox::question(this, tr("Delete sprite"), tr("Do you really want to delete the sprite"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    sprites.removeSprite(index);
    updateSpriteRange();
    // The sprite that followed takes the place; after the last one, the one
    // where the scroll bar now stands.
    selectSprite(qMin(index, ui->sprSel->maximum()));
    setModifiedMark(SffTab, true);
}

void MainWindow::on_actionNovo_2_triggered()
{
    if (!confirmDiscard(SffTab))
        return;
    sffFileName.clear();
    clearSpriteMarks();
    renderer->reset();
    sprites.clear();
    updateSpriteRange();
    // The tab shows the empty archive, not the sprite it showed before.
    selectSprite(0);
    if (interactive)
        renderWidget->update();
}

void MainWindow::on_actionAbrir_2_triggered()
{
    if (!confirmDiscard(SffTab))
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Open SFF"), QString(), sffFilter());
    if (file.isEmpty())
        return;
    // A file that cannot be read at all changes nothing.
    if (QFile probe(file); !probe.open(QIODevice::ReadOnly)) {
        warnFile(tr("Open SFF"), tr("The file %1 could not be read."), file);
        return;
    }
    sffFileName = file;
    clearSpriteMarks();
    progressDialog->setLabelText(tr("Loading sprites..."));
    ui->tabs->setCurrentIndex(SffTab);
    renderer->reset();
    const bool loaded = sprites.load(file);
    updateSpriteRange();
    updatePaletteRange();
    selectSprite(0);
    if (!loaded) {
        // Not a sprite archive this program reads (the issues list tells
        // why when it knows): what is left is a new, empty archive, which
        // must not be saved over that file by Save.
        sffFileName.clear();
        warnFile(tr("Open SFF"), tr("The file %1 is not a sprite archive that can be read."), file);
    }
}

void MainWindow::on_actionSalvar_2_triggered()
{
    if (refuseEmptySprites())
        return;
    if (!sffFileName.isEmpty() && QFile::exists(sffFileName))
        saveSprites(sffFileName);
    else
        on_actionSave_As_triggered();
}

void MainWindow::on_actionSave_As_triggered()
{
    if (refuseEmptySprites())
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("Save SFF"), QString(), sffFilter());
    if (file.isEmpty())
        return;
    saveSprites(file);
}

// ---------------------------------------------------------------- ACT tab

void MainWindow::on_actSel_valueChanged(int value)
{
    const bool wasInteractive = interactive;
    const bool valid = value >= 0 && value < sprites.paletteCount();
    ui->actGrp->setEnabled(valid);
    ui->actNum->setEnabled(valid);
    interactive = false;
    if (valid) {
        paletteInfo = sprites.paletteInfo(value);
        ui->actPos->setText(QStringLiteral("%1 / %2").arg(value + 1).arg(sprites.paletteCount()));
        ui->actGrp->setValue(paletteInfo.group);
        ui->actNum->setValue(paletteInfo.number);
        paletteWidget->setColourCount(paletteInfo.colourCount);
        paletteWidget->palette()->setAll(sprites.paletteData(value));
    } else {
        paletteInfo = PaletteInfo();
        paletteWidget->resetPalette();
        ui->actPos->setText(QStringLiteral("0 / 0"));
        ui->actGrp->setValue(0);
        ui->actNum->setValue(0);
    }
    interactive = wasInteractive;
    if (valid && interactive && ui->actPalImg->isChecked()) {
        renderer->setPalette(value);
        renderWidget->update();
    }
}

void MainWindow::on_actGrp_valueChanged(int value)
{
    const int index = activePalette();
    if (!interactive || index < 0)
        return;
    paletteInfo.group = qint16(value);
    sprites.setPaletteInfo(index, paletteInfo.group, paletteInfo.number, paletteInfo.colourCount);
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actNum_valueChanged(int value)
{
    const int index = activePalette();
    if (!interactive || index < 0)
        return;
    paletteInfo.number = qint16(value);
    sprites.setPaletteInfo(index, paletteInfo.group, paletteInfo.number, paletteInfo.colourCount);
    setModifiedMark(ActTab, true);
}

void MainWindow::paletteChanged()
{
    const int index = activePalette();
    if (!interactive || index < 0)
        return;
    sprites.setPaletteData(index, paletteWidget->palette()->getAll());
    paletteInfo.colourCount = sprites.paletteInfo(index).colourCount;
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actionNew_palette_triggered()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("New palette"), QString(), actFilter());
    if (file.isEmpty())
        return;
    QByteArray colours;
    if (!QSprites::loadPaletteAct(file, colours)) {
        warnFile(tr("New palette"), tr("The file %1 is not a palette of 256 colours."), file);
        return;
    }
    // A palette the archive holds already is selected instead of added.
    const int index = sprites.insertPalette(activePalette() + 1, colours, true, 0, -1);
    updatePaletteRange();
    selectPalette(index);
    paletteListChanged();
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actionOpen_palette_triggered()
{
    const int index = activePalette();
    if (index < 0)
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("New palette"), QString(), actFilter());
    if (file.isEmpty())
        return;
    QByteArray colours;
    if (!QSprites::loadPaletteAct(file, colours)) {
        warnFile(tr("New palette"), tr("The file %1 is not a palette of 256 colours."), file);
        return;
    }
    sprites.setPaletteData(index, colours);
    on_actSel_valueChanged(index);
    redrawSprite();
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actionSave_palette_triggered()
{
    const int index = activePalette();
    if (index < 0)
        return;
    const QString file = QFileDialog::getSaveFileName(this, tr("New palette"), QString(), actFilter());
    if (file.isEmpty())
        return;
    if (!sprites.savePaletteAct(index, file))
        warnFile(tr("New palette"), tr("The palette could not be written to %1."), file);
}

void MainWindow::on_actionDuplicate_palette_triggered()
{
    const int index = activePalette();
    if (index < 0)
        return;
    const int copy = sprites.insertPalette(index + 1, sprites.paletteData(index), false, 0, -1);
    updatePaletteRange();
    selectPalette(copy);
    paletteListChanged();
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actionDelete_palette_triggered()
{
    const int index = activePalette();
    if (index < 0)
        return;
    if (QMessageBox::question(this, tr("Delete palette"), tr("Do you really want to delete the palette"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    sprites.removePalette(index);
    updatePaletteRange();
    selectPalette(qMin(index, ui->actSel->maximum()));
    paletteListChanged();
    setModifiedMark(ActTab, true);
}

void MainWindow::on_actionRemover_tudo_triggered()
{
    if (interactive
        && QMessageBox::question(this, tr("Delete all palettes"),
                                 tr("Do you really want to delete all palettes. The sprites aren't displayed!"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    sprites.clearPalettes();
    paletteWidget->setColourCount(256);
    updatePaletteRange();
    // The tab shows that no palette is left.
    selectPalette(0);
    if (interactive) {
        paletteListChanged();
        setModifiedMark(ActTab, true);
    }
}

void MainWindow::on_actPalImg_clicked(bool checked)
{
    renderer->setPalette(checked ? ui->actSel->value() : -1);
    renderWidget->update();
}

void MainWindow::on_comboBox_currentIndexChanged(int index)
{
    if (index < 1)
        return;
    paletteWidget->palette()->applyEffect(index, paletteWidget->selection());
    redrawSprite();
}

void MainWindow::on_actCor_clicked()
{
    const QColor colour = QColorDialog::getColor(Qt::white, this);
    if (!colour.isValid())
        return;
    for (int i = 0; i < 256; ++i)
        if (paletteWidget->isSelected(uchar(i)))
            paletteWidget->palette()->setColour(uchar(i), colour);
    redrawSprite();
}

void MainWindow::on_actTroca_clicked()
{
    paletteWidget->palette()->reverseSelected(paletteWidget->selection());
    redrawSprite();
}

void MainWindow::on_actPega_toggled(bool checked)
{
    renderer->setColourPick(checked);
}

void MainWindow::colorCaptured(uchar index)
{
    paletteWidget->select(index);
    paletteWidget->update();
}

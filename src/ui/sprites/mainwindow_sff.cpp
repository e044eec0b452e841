// The SFF and ACT tabs: browsing and editing the sprites of the sprite archive
// and its palettes, importing and exporting images and ACT palettes, opening
// and saving SFF files, and the colour commands of the palette grid. Every
// change of the archive is a step of its history; the tabs show what the
// archive holds whenever it says it changed.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "actfile.h"
#include "qpalettewidget.h"
#include "qrenderwidget.h"
#include "qrgbpalette.h"
#include "qsprrender.h"
#include "spritedupl.h"
#include "spriteimages.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopedValueRollback>

namespace {

QString imageFilter()
{
    return MainWindow::tr("All supported (*.pcx *.png *.bmp);;Personal Computer eXchange (*.pcx);;"
                          "Portable Network Graphic (*.png);;Bitmap (*.bmp)");
}

QString actFilter()
{
    return MainWindow::tr("Adobe Color Table (*.act)");
}

} // namespace

// ---------------------------------------------------------------- helpers

DocumentPage::Texts MainWindow::sffTexts() const
{
    DocumentPage::Texts t;
    t.openTitle = tr("Open SFF");
    t.saveTitle = tr("Save SFF");
    t.filter = tr("Sprite File Format (*.sff)");
    t.loading = tr("Loading sprites...");
    t.saving = tr("Saving sprites...");
    t.empty = tr("You can't save an empty SFF because Mugen will not open it.");
    t.unreadable = tr("The file %1 could not be read.");
    t.unusable = tr("The file %1 is not a sprite archive that can be read.");
    t.notSaved = tr("The sprites were not saved to %1.");
    t.saveFilters = QStringList{tr("SFF 1.01 (older engines)"), tr("SFF 2.00 (engine 1.0)"), tr("SFF 2.01 (engine 1.1)")};
    for (QString& f : t.saveFilters)
        f += QStringLiteral(" (*.sff)");
    t.saveFilter = sprites.saveVersion() == SffVersion::V101 ? 0 : sprites.saveVersion() == SffVersion::V200 ? 1 : 2;
    return t;
}

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

void MainWindow::spritesChanged()
{
    // A sprite went in or out: the scroll bar takes the new count, and the
    // page shows the sprite where it stands (the one that followed a deleted
    // sprite, the one before it after the last).
    updateSpriteRange();
    selectSprite(ui->sprSel->value());
}

void MainWindow::palettesChanged()
{
    updatePaletteRange();
    selectPalette(ui->actSel->value());
    // Sprites' palette numbers moved with the list: the view takes the shown
    // sprite's record again.
    if (renderer->mode == QRenderMode::SpriteMode && activeSprite() >= 0)
        on_sprSel_valueChanged(activeSprite());
}

void MainWindow::warnFile(const QString& title, const QString& text, const QString& fileName)
{
    QMessageBox::warning(this, title, text.arg(QDir::toNativeSeparators(fileName)));
}

// ---------------------------------------------------------------- SFF tab

void MainWindow::on_sprSel_valueChanged(int value)
{
    renderer->setSource(value, QRenderMode::SpriteMode);
    const bool valid = value >= 0 && value < sprites.spriteCount();
    const QList<QWidget*> controls = {ui->sprGrp, ui->sprImg, ui->sprX, ui->sprY,
                                      ui->sprDeLoad, ui->sprImgPal, ui->sprCorTrans};
    for (QWidget* w : controls)
        w->setEnabled(valid);
    showSpriteColours(value);

    {
        QScopedValueRollback<bool> quiet(interactive, false);
        if (!valid) {
            ui->sprPos->setText(QStringLiteral("0 / 0"));
            ui->sprGrp->setValue(0);
            ui->sprImg->setValue(0);
            ui->sprX->setValue(0);
            ui->sprY->setValue(0);
            ui->sprDeLoad->setChecked(false);
            ui->sprLnk->setText(tr("No linkage"));
            ui->sprSize->setText(tr("%1 x %2 pixels").arg(0).arg(0));
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
    }

    int palette = sprites.spriteInfo(value).paletteIndex;
    if (ui->sprImgPal->isChecked() && ui->sprImgPal->isEnabled()) {
        // Only the palette tab follows; the sprite is drawn below.
        QScopedValueRollback<bool> quiet(interactive, false);
        selectPalette(palette);
    } else if (ui->actPalImg->isChecked()) {
        palette = ui->actSel->value();
    }
    renderer->setPalette(palette);
    renderWidget->update();
}

void MainWindow::editActiveSprite(ChangeSpriteInfo::Field field, int value)
{
    const int index = activeSprite();
    if (!interactive || index < 0)
        return;
    // The spin boxes run from -32767; groups and numbers are 16-bit, so -1 is 65535.
    SpriteInfo info = sprites.spriteInfo(index);
    switch (field) {
    case ChangeSpriteInfo::Group: info.group = quint16(value); break;
    case ChangeSpriteInfo::Number: info.number = quint16(value); break;
    case ChangeSpriteInfo::Flags: info.flags = quint16(value); break;
    case ChangeSpriteInfo::Axis: break;
    }
    if (field == ChangeSpriteInfo::Axis) {
        info.axisX = qint16(ui->sprX->value());
        info.axisY = qint16(ui->sprY->value());
    }
    push(&sprites, spritecommands::changeInfo(&sprites, index, info, field));
}

void MainWindow::on_sprGrp_valueChanged(int value)
{
    editActiveSprite(ChangeSpriteInfo::Group, value);
}

void MainWindow::on_sprImg_valueChanged(int value)
{
    editActiveSprite(ChangeSpriteInfo::Number, value);
}

void MainWindow::on_sprX_valueChanged(int value)
{
    editActiveSprite(ChangeSpriteInfo::Axis, value);
}

void MainWindow::on_sprY_valueChanged(int value)
{
    editActiveSprite(ChangeSpriteInfo::Axis, value);
}

void MainWindow::on_sprDeLoad_toggled(bool checked)
{
    editActiveSprite(ChangeSpriteInfo::Flags, checked ? 1 : 0);
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
    const QString file = askOpenFile(tr("New sprite"), dialogPath(&sprites), imageFilter());
    if (file.isEmpty())
        return;
    // A 2.01 archive keeps true colour as it is; the others take 256 colours.
    const SpriteImage image = spriteImageOf(readImageFile(file), sprites.saveVersion() == SffVersion::V201);
    if (image.isNull()) {
        // No empty record is left behind for a file that cannot be read.
        warnFile(tr("New sprite"), tr("The image %1 could not be read."), file);
        return;
    }
    push(&sprites, spritecommands::importSprite(&sprites, activeSprite() + 1, image));
}

void MainWindow::on_actionTrocar_imagem_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    const QString file = askOpenFile(tr("Change image"), dialogPath(&sprites), imageFilter());
    if (file.isEmpty())
        return;
    const SpriteImage image = spriteImageOf(readImageFile(file), sprites.saveVersion() == SffVersion::V201);
    if (image.isNull()) {
        warnFile(tr("Change image"), tr("The image %1 could not be read."), file);
        return;
    }
    push(&sprites, spritecommands::replaceImage(&sprites, index, image));
}

void MainWindow::on_actionSalvar_imagem_triggered()
{
    const int index = activeSprite();
    if (index < 0)
        return;
    const QString file = askSaveFile(tr("Save image"), dialogPath(&sprites, QStringLiteral("%1-%2.png").arg(ui->sprGrp->value()).arg(ui->sprImg->value())), imageFilter());
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
    push(&sprites, spritecommands::duplicateSprite(&sprites, index, dialog.isCopy()));
}

void MainWindow::on_actionExcluir_sprite_triggered()
{
    const int index = activeSprite();
    if (index < 0 || !sffPage.confirm(tr("Delete sprite"), tr("Do you really want to delete the sprite")))
        return;
    push(&sprites, spritecommands::removeSprite(&sprites, index));
}

void MainWindow::on_actionNovo_2_triggered()
{
    sffPage.newDocument();
}

void MainWindow::on_actionAbrir_2_triggered()
{
    sffPage.open();
}

void MainWindow::on_actionSalvar_2_triggered()
{
    sffPage.save();
}

void MainWindow::on_actionSave_As_triggered()
{
    sffPage.saveAs();
}

// ---------------------------------------------------------------- ACT tab

void MainWindow::on_actSel_valueChanged(int value)
{
    const bool valid = value >= 0 && value < sprites.paletteCount();
    ui->actGrp->setEnabled(valid);
    ui->actNum->setEnabled(valid);
    {
        QScopedValueRollback<bool> quiet(interactive, false);
        if (valid) {
            const PaletteInfo info = sprites.paletteInfo(value);
            ui->actPos->setText(QStringLiteral("%1 / %2").arg(value + 1).arg(sprites.paletteCount()));
            ui->actGrp->setValue(info.group);
            ui->actNum->setValue(info.number);
            paletteWidget->setColourCount(info.colourCount);
            paletteWidget->setColours(sprites.paletteData(value));
        } else {
            paletteWidget->resetPalette();
            ui->actPos->setText(QStringLiteral("0 / 0"));
            ui->actGrp->setValue(0);
            ui->actNum->setValue(0);
        }
    }
    if (valid && interactive && ui->actPalImg->isChecked()) {
        renderer->setPalette(value);
        renderWidget->update();
    }
}

void MainWindow::editActivePaletteInfo(qint16 group, qint16 number)
{
    const int index = activePalette();
    if (!interactive || index < 0)
        return;
    push(&sprites, spritecommands::changePaletteInfo(&sprites, index, group, number));
}

void MainWindow::on_actGrp_valueChanged(int value)
{
    editActivePaletteInfo(qint16(value), sprites.paletteInfo(activePalette()).number);
}

void MainWindow::on_actNum_valueChanged(int value)
{
    editActivePaletteInfo(sprites.paletteInfo(activePalette()).group, qint16(value));
}

void MainWindow::paletteChanged()
{
    // The active palette changed in the archive: the fields and the grid show
    // it again, the selection of colours stays.
    const int index = activePalette();
    if (index < 0)
        return;
    QScopedValueRollback<bool> quiet(interactive, false);
    const PaletteInfo info = sprites.paletteInfo(index);
    ui->actGrp->setValue(info.group);
    ui->actNum->setValue(info.number);
    paletteWidget->setColours(sprites.paletteData(index));
}

void MainWindow::editActivePalette(const QByteArray& colours, const QString& text)
{
    // With no active palette the colour commands do nothing.
    const int index = activePalette();
    if (index >= 0)
        push(&sprites, spritecommands::changeColours(&sprites, index, colours, text));
}

void MainWindow::on_actionNew_palette_triggered()
{
    const QString file = askOpenFile(tr("New palette"), dialogPath(&sprites), actFilter());
    // A palette the archive holds already is selected instead of added.
    if (!file.isEmpty())
        importPalette(file);
}

void MainWindow::on_actionOpen_palette_triggered()
{
    if (activePalette() < 0)
        return;
    const QString file = askOpenFile(tr("New palette"), dialogPath(&sprites), actFilter());
    if (file.isEmpty())
        return;
    QByteArray colours;
    if (!readActFile(file, colours)) {
        warnFile(tr("New palette"), tr("The file %1 is not a palette of 256 colours."), file);
        return;
    }
    editActivePalette(colours, tr("Load palette"));
}

void MainWindow::on_actionSave_palette_triggered()
{
    const int index = activePalette();
    if (index < 0)
        return;
    const QString file = askSaveFile(tr("New palette"), dialogPath(&sprites, QStringLiteral("%1-%2.act").arg(ui->actGrp->value()).arg(ui->actNum->value())), actFilter());
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
    push(&sprites, spritecommands::insertPalette(&sprites, index + 1, sprites.paletteData(index),
                                                 tr("Duplicate palette")));
}

void MainWindow::on_actionDelete_palette_triggered()
{
    const int index = activePalette();
    if (index < 0 || !sffPage.confirm(tr("Delete palette"), tr("Do you really want to delete the palette")))
        return;
    push(&sprites, new RemovePalette(&sprites, index));
}

void MainWindow::on_actionRemover_tudo_triggered()
{
    if (!interactive) {
        // Part of File > New, right after the archive was emptied: no step of
        // its own.
        sprites.clearPalettes();
        paletteWidget->setColourCount(256);
        return;
    }
    if (!sffPage.confirm(tr("Delete all palettes"),
                         tr("Do you really want to delete all palettes. The sprites aren't displayed!")))
        return;
    if (sprites.paletteCount() > 0)
        push(&sprites, new ReplacePalettes(&sprites, {}, tr("Delete all palettes")));
    paletteWidget->setColourCount(256);
}

void MainWindow::on_actPalImg_clicked(bool checked)
{
    renderer->setPalette(checked ? ui->actSel->value() : -1);
    renderWidget->update();
}

void MainWindow::on_comboBox_currentIndexChanged(int index)
{
    if (index < 1 || activePalette() < 0)
        return;
    QByteArray colours = sprites.paletteData(activePalette());
    QRGBPalette edit(reinterpret_cast<uchar*>(colours.data()));
    edit.applyEffect(PaletteEffect(index), paletteWidget->selection());
    editActivePalette(colours, tr("Colour effect %1").arg(ui->comboBox->itemText(index)));
}

void MainWindow::on_actCor_clicked()
{
    if (activePalette() < 0)
        return;
    const QColor colour = QColorDialog::getColor(Qt::white, this);
    if (!colour.isValid())
        return;
    QByteArray colours = sprites.paletteData(activePalette());
    QRGBPalette edit(reinterpret_cast<uchar*>(colours.data()));
    for (int i = 0; i < 256; ++i)
        if (paletteWidget->isSelected(uchar(i)))
            edit.setColour(uchar(i), colour);
    editActivePalette(colours, tr("Set colour"));
}

void MainWindow::on_actTroca_clicked()
{
    if (activePalette() < 0)
        return;
    QByteArray colours = sprites.paletteData(activePalette());
    QRGBPalette edit(reinterpret_cast<uchar*>(colours.data()));
    edit.reverseSelected(paletteWidget->selection());
    editActivePalette(colours, tr("Reverse colours"));
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

// The versions of the sprite archive on the SFF page: Save As offers each
// version; before any save, what the version written cannot hold is asked
// about and then changed in the archive as one step, so that the archive is
// what the file holds; and the controls that only apply palettes to the shown
// sprite say that a true-colour sprite has none.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "sffformat.h"
#include "spritecommands.h"

namespace {

constexpr SffVersion SaveVersions[] = {SffVersion::V101, SffVersion::V200, SffVersion::V201};

} // namespace

bool MainWindow::prepareSpriteSave(const QString& fileName, int filter)
{
    Q_UNUSED(fileName);
    const SffVersion version = filter >= 0 && filter < 3 ? SaveVersions[filter] : sprites.saveVersion();
    const QString title = tr("Save SFF");
    // A file that ended early gave fewer sprites than it named: the save
    // writes only those.
    if (sprites.unreadSprites() > 0
        && !sffPage.confirm(title, tr("%1 sprites of this archive could not be read when it was opened. Saving "
                                      "writes the archive as it is now: what could not be read is lost.\n\n"
                                      "Save it anyway?")
                                       .arg(sprites.unreadSprites())))
        return false;
    const SffFormat::Losses losses = SffFormat::lossesOf(sprites, version);
    if (losses.any()) {
        QStringList what;
        if (losses.trueColour > 0)
            what << tr("SFF %1 has no true colour: %2 true-colour sprites will be reduced to 256 colours.")
                        .arg(sffVersionText(version))
                        .arg(losses.trueColour);
        if (losses.palettes)
            what << tr("SFF 1.01 has no palette list of its own: sprites that share a palette are written with "
                       "the shared flag, each other palette goes into the images drawn with it, and palettes no "
                       "sprite uses, palette groups and numbers are not kept.");
        what << tr("Save as SFF %1?").arg(sffVersionText(version));
        if (!sffPage.confirm(title, what.join(QStringLiteral("\n\n"))))
            return false;
    }
    // A version chosen, or what it cannot hold changed, is one step: undone,
    // the archive is what it was before the save. A plain save of an archive
    // that needs 2.01 for its true colour just writes 2.01.
    if (filter >= 0 || losses.any())
        push(&sprites, spritecommands::changeVersion(&sprites, version));
    return true;
}

void MainWindow::showSpriteColours(int index)
{
    const SpriteSize size = sprites.spriteSize(index);
    const bool trueColour = size.imageFormat == QImage::Format_RGB888 || size.imageFormat == QImage::Format_ARGB32;
    // The tips the form gives them, kept for when an indexed sprite is shown again.
    static const char* const tipProperty = "morvaneIndexedTip";
    const QString why = tr("This sprite is true colour: it is drawn with its own colours, so palettes and the "
                           "remap table do not apply to it.");
    const QList<QWidget*> controls = {ui->sprImgPal, ui->actPalImg, ui->actPega,
                                      ui->palrmTable, ui->palrmAdd, ui->palrmDel};
    for (QWidget* w : controls) {
        if (!w->property(tipProperty).isValid())
            w->setProperty(tipProperty, w->toolTip());
        w->setToolTip(trueColour ? why : w->property(tipProperty).toString());
        if (w != ui->sprImgPal) // which follows the sprite's own state
            w->setEnabled(!trueColour);
        else if (trueColour)
            w->setEnabled(false);
    }
    if (trueColour && ui->actPega->isChecked())
        ui->actPega->setChecked(false);
    QString kind;
    if (sprites.sprite(index))
        kind = size.imageFormat == QImage::Format_ARGB32 ? tr("32-bit colour with alpha")
               : trueColour                              ? tr("24-bit colour")
                                                         : tr("8-bit, drawn through a palette");
    ui->sprSize->setToolTip(kind);
}

// File > New, Open and Save: a whole character (or a stage, a storyboard, a
// font) through its DEF file, and any file opened by its extension.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "actfile.h"
#include "characterdef.h"
#include "qcodeedit.h"
#include "qpalettewidget.h"
#include "spriteimages.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScopedValueRollback>

QString MainWindow::kindText(int kind)
{
    switch (kind) {
    case CharacterDef::Stage: return tr("Stage");
    case CharacterDef::Storyboard: return tr("Storyboard");
    case CharacterDef::Font: return tr("Font");
    default: return tr("Character");
    }
}

void MainWindow::closeEverything()
{
    QScopedValueRollback<bool> quiet(interactive, false);
    ui->airStop->click();
    sprites.clear();
    sprites.clearPalettes();
    paletteWidget->setColourCount(256);
    animations.clear();
    sounds.clear();
    codeFiles.closeAll();
    messages.clear();
}

void MainWindow::on_actionAbrir_triggered()
{
    // The dialog starts where the character open now is.
    QString folder = dialogPath(nullptr);
    if (codeFiles.count() > 0 && !codeFiles.fileName(0).isEmpty())
        folder = QFileInfo(codeFiles.fileName(0)).absolutePath();
    const QString file = askOpenFile(tr("Open char"), folder, tr("Definitions (*.def)"));
    if (!file.isEmpty() && openCharacter(file))
        addRecentFile(file);
}

bool MainWindow::openCharacter(const QString& defPath)
{
    // Nothing is loaded over work the person keeps.
    if (!confirmClose())
        return false;
    statusBar()->showMessage(tr("Loading definitions..."));
    closeEverything();
    ui->tabs->setCurrentIndex(CodeTab);
    if (!codeFiles.open(defPath, true)) {
        statusBar()->clearMessage();
        QMessageBox::warning(this, tr("Open char"), tr("The file %1 could not be opened.").arg(defPath));
        return false;
    }
    // The DEF's own lines go under its name in the issues list.
    QMessages::FileScope scope(&messages, QFileInfo(defPath).absoluteFilePath());
    const QString defName = QFileInfo(defPath).fileName();
    const CharacterDef def = readCharacterDef(codeFiles.text(0), defPath);
    kind = def.kind;
    kindLabel->setText(kindText(kind));
    const auto tell = [&](const DefReference& r, const QString& what) {
        messages.addWarning(tr("%1: file '%2' named by '%3' %4").arg(defName, r.value, r.key, what));
    };
    const QString self = QFileInfo(defPath).absoluteFilePath();
    for (const DefReference& r : def.references) {
        if (r.found == DefReference::Missing)
            messages.addWarning(tr("%1: file '%2' named by '%3' was not found").arg(defName, r.value, r.key));
        else if (r.role == DefReference::Code && r.path == self)
            tell(r, tr("is the DEF itself"));
    }

    // Code files first, as the DEF names them; none of them becomes current.
    for (const DefReference& r : def.references) {
        if (r.role != DefReference::Code || r.found == DefReference::Missing || r.path == self)
            continue;
        statusBar()->showMessage(tr("Parsing file"));
        if (!codeFiles.open(r.path, false))
            tell(r, tr("could not be read: %1").arg(codeFiles.documents()->errorString()));
    }

    const auto load = [&](DefReference::Role role, QFileDocument& doc, const QString& label) {
        const DefReference* r = def.last(role);
        if (!r || r->found == DefReference::Missing)
            return;
        statusBar()->showMessage(label);
        progressDialog->setLabelText(label);
        if (!doc.load(r->path))
            tell(*r, tr("could not be read: %1").arg(doc.errorString().isEmpty() ? tr("not a file of its kind")
                                                                                   : doc.errorString()));
    };
    load(DefReference::Sprites, sprites, tr("Loading sprites..."));
    // The palettes after the sprites, in the DEF's order: a version 2 archive
    // brings palettes of its own, which must not replace them.
    statusBar()->showMessage(tr("Loading palettes..."));
    for (const DefReference& r : def.references) {
        if (r.role != DefReference::Palette || r.found == DefReference::Missing)
            continue;
        QByteArray colours;
        if (readActFile(r.path, colours))
            sprites.addPalette(colours, false, 1, -1);
        else
            tell(r, tr("is not a palette of 256 colours"));
    }
    load(DefReference::Animations, animations, tr("Parsing animations..."));
    load(DefReference::Sounds, sounds, tr("Loading sounds..."));

    statusBar()->clearMessage();
    on_tabs_currentChanged(ui->tabs->currentIndex());
    codeFiles.tabBar()->setCurrentIndex(0);
    return true;
}

void MainWindow::on_actionSalvar_triggered()
{
    // Every document with unsaved work: to its own file, or to a name asked
    // for once; a dialog left without a name stops the asking. A save that
    // fails is told by its page and keeps that document's mark.
    const struct { QFileDocument* document; DocumentPage* page; } archives[] = {
        {&sprites, &sffPage}, {&animations, &airPage}, {&sounds, &sndPage}};
    for (const auto& a : archives) {
        if (!a.document->isModified())
            continue;
        const QString file = a.document->fileName();
        if (!file.isEmpty() && QFileInfo::exists(file)) {
            a.page->saveTo(file);
            continue;
        }
        bool cancelled = false;
        a.page->saveAs(&cancelled);
        if (cancelled)
            return;
    }
    QCodeDocuments* code = codeFiles.documents();
    for (int i = 0; i < codeFiles.count(); ++i) {
        if (!code->isModified(i))
            continue;
        const QString file = codeFiles.fileName(i);
        if (!file.isEmpty() && QFileInfo::exists(file)) {
            saveCodeDocument(i);
            continue;
        }
        codeFiles.tabBar()->setCurrentIndex(i); // show what the name is asked for
        bool cancelled = false;
        saveCodeDocument(i, true, &cancelled);
        if (cancelled)
            return;
    }
}

void MainWindow::importPalette(const QString& file)
{
    QByteArray colours;
    if (!readActFile(file, colours)) {
        warnFile(tr("New palette"), tr("The file %1 is not a palette of 256 colours."), file);
        return;
    }
    const int same = sprites.findIdenticalPalette(colours);
    if (same < sprites.paletteCount())
        selectPalette(same);
    else
        push(&sprites, spritecommands::insertPalette(&sprites, activePalette() + 1, colours, tr("New palette")));
}

bool MainWindow::openPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("def"))
        return openCharacter(path);
    if (suffix == QLatin1String("sff"))
        return confirmDiscard(SffTab) && sffPage.open(path);
    if (suffix == QLatin1String("air")) {
        ui->airStop->click(); // playback ends before the set it plays goes
        return confirmDiscard(AirTab) && airPage.open(path);
    }
    if (suffix == QLatin1String("snd"))
        return confirmDiscard(SndTab) && sndPage.open(path);
    if (suffix == QLatin1String("act")) {
        ui->tabs->setCurrentIndex(ActTab);
        importPalette(path);
        return true;
    }
    if (suffix == QLatin1String("pcx") || suffix == QLatin1String("png") || suffix == QLatin1String("bmp")) {
        ui->tabs->setCurrentIndex(SffTab);
        const SpriteImage image = spriteImageOf(readImageFile(path));
        if (image.isNull()) {
            warnFile(tr("New sprite"), tr("The image %1 could not be read."), path);
            return false;
        }
        push(&sprites, spritecommands::importSprite(&sprites, activeSprite() + 1, image));
        return true;
    }
    ui->tabs->setCurrentIndex(CodeTab);
    if (codeFiles.open(path, true))
        return true;
    QMessageBox::warning(this, tr("Open DEF/CMD/CNS"), tr("The file %1 could not be opened.").arg(path));
    return false;
}

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "about.h"
#include "qpalettewidget.h"
#include "qrenderwidget.h"
#include "qcodeedit.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScrollBar>

#include <climits>

namespace {

QString configPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/config.xml");
}

// Selectors run from 0 to count - 1. A slider cannot hold an empty range, so
// an empty document leaves its selector at 0..0.
void setSelectorRange(QScrollBar* bar, int count)
{
    bar->setRange(0, qMax(0, count - 1));
}

int clampToInt(uint v)
{
    return v > uint(INT_MAX) ? INT_MAX : int(v);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      // 1. The documents, the file names, the modified flags, the timer, the
      // progress dialog and an empty settings document.
      messages(),
      sprites(&messages, BlobsInMemory, false, -1),
      animations(&messages),
      sounds(BlobsInMemory, false, -1, &messages),
      codeFiles(this),
      paletteWidget(nullptr),
      renderWidget(nullptr),
      renderer(nullptr),
      sffModified(false),
      sndModified(false),
      airModified(false),
      interactive(true),
      progressDialog(new QProgressDialog(this)),
      kindLabel(nullptr),
      config(QStringLiteral("QNDConfigML")),
      configUnreadable(false)
{
    // 2. The widgets, menus and actions of the form.
    ui->setupUi(this);

    // 3. The collision-box view actions.
    connect(ui->actionAttack_CLSN, &QAction::triggered, this, &MainWindow::viewTriggered);
    connect(ui->actionColision_CLSN, &QAction::triggered, this, &MainWindow::viewTriggered);
    connect(ui->actionDefault_CLSN, &QAction::triggered, this, &MainWindow::viewTriggered);

    // 4. The palette grid on the ACT page.
    paletteWidget = new QPaletteWidget(ui->actTab);
    paletteWidget->setGeometry(10, 190, 192, 192);
    connect(paletteWidget, &QPaletteWidget::changed, this, &MainWindow::paletteChanged);

    // 5. The renderer reads the sprite archive and the animation set and
    // reports what the mouse changed in them.
    renderer = new QSprRender;
    renderer->setSprites(&sprites);
    renderer->setAnimations(&animations);
    connect(renderer, &QSprRender::axisChanged, this, &MainWindow::axisChanged);
    connect(renderer, &QSprRender::clsnModeExit, this, &MainWindow::clsnModeExit);
    connect(renderer, &QSprRender::colorCaptured, this, &MainWindow::colorCaptured);
    // Boxes moved, resized, created or deleted in the view are unsaved work.
    connect(renderer, &QSprRender::boxesEdited, this, [this] { setModifiedMark(AirTab, true); });

    // 6. The surface that shows it (and owns it).
    renderWidget = new QRenderWidget(renderer, this);
    renderWidget->setObjectName(QStringLiteral("renderWidget"));
    renderWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // 7. Models of the utility views.
    ui->issuesList->setModel(&messages);
    ui->palrmTable->setModel(renderer->remapModel());
    ui->palrmTable->verticalHeader()->hide();
    connect(renderer->remapModel(), &QAbstractItemModel::dataChanged, this, &MainWindow::remapChanged);

    // 8. The vocabulary of the code checker, beside the executable. Without it
    //    code files still open and edit; nothing is coloured.
    codeFiles.loadSyntax(QCoreApplication::applicationDirPath() + QStringLiteral("/syntax.xml"));
    // 9. The middle column receives the code tab bar, the code editor and the
    //    render widget, in that order.
    ui->verticalLayout->addWidget(codeFiles.tabBar());
    ui->verticalLayout->addWidget(codeFiles.editor(), 1);
    ui->verticalLayout->addWidget(renderWidget);
    setUpCodePage();

    // 10. Tool buttons show and trigger their actions.
    const struct { QToolButton* button; QAction* action; } bindings[] = {
        {ui->sprNew, ui->actionNovo_sprite},
        {ui->sprChange, ui->actionTrocar_imagem},
        {ui->sprSave, ui->actionSalvar_imagem},
        {ui->sprDuplicate, ui->actionDuplicar_sprite},
        {ui->sprDelete, ui->actionExcluir_sprite},
        {ui->actNew, ui->actionNew_palette},
        {ui->actOpen, ui->actionOpen_palette},
        {ui->actSave, ui->actionSave_palette},
        {ui->actDuplicate, ui->actionDuplicate_palette},
        {ui->actDelete, ui->actionDelete_palette},
        {ui->airTxt, ui->actionText_mode},
        {ui->airGif, ui->actionSave_as_GIF},
        {ui->airPlay, ui->actionPlay_2},
        {ui->airStop, ui->actionStop_2},
        {ui->airFind, ui->actionFind},
        {ui->sndNew, ui->actionNew_sound},
        {ui->sndChange, ui->actionChange_sound},
        {ui->sndSave, ui->actionSave_Sound},
        {ui->sndDuplicate, ui->actionDuplicate_sound},
        // The delete button deletes, like every other delete button of the window.
        {ui->sndDelete, ui->actionDelete_sound},
        {ui->sndPlay, ui->actionPlay},
        {ui->sndPlayLoop, ui->actionPlay_with_loop},
        {ui->sndStop, ui->actionStop},
    };
    for (const auto& b : bindings)
        b.button->setDefaultAction(b.action);

    // 11. What the open definition describes, in the status bar.
    kindLabel = new QLabel(this);
    statusBar()->addWidget(kindLabel);

    // 12. Every document starts empty.
    on_actionNovo_triggered();

    // 13. Progress of the sprite and sound archives.
    connect(&sprites, &QSprites::progress, this, &MainWindow::progress);
    connect(&sounds, &QSounds::progress, this, &MainWindow::progress);

    // 14. One progress dialog for every long load and save.
    progressDialog->setAutoClose(true);
    progressDialog->setMinimum(0);
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setWindowTitle(tr("Morvane 9"));
    // Nothing is in progress yet: keep the dialog from showing itself later.
    progressDialog->reset();

    // 15. Animation playback ticks; each tick's slot joins with the AIR tab.
    playTimer.setSingleShot(false);

    // 16. The settings.
    loadConfig(configPath());
}

MainWindow::~MainWindow()
{
    saveConfig(configPath());
    delete ui;
}

bool MainWindow::confirmDiscard(int tab)
{
    bool modified = false;
    QString question;
    switch (tab) {
    case SffTab:
    case ActTab:
        modified = sffModified;
        question = tr("Do you really want to discard the changes made in the sprites and/or palettes");
        break;
    case SndTab:
        modified = sndModified;
        question = tr("Do you really want to discard the changes made in the sounds");
        break;
    case AirTab:
        modified = airModified;
        question = tr("Do you really want to discard the changes made in the animations");
        break;
    default:
        return false;
    }
    if (!modified)
        return true;
    return QMessageBox::question(this, tr("Discard changes"), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void MainWindow::setModifiedMark(int tab, bool modified)
{
    QString title;
    switch (tab) {
    case SffTab:
        sffModified = modified;
        title = tr("SFF");
        break;
    case ActTab:
        sffModified = modified;
        title = tr("ACT");
        break;
    case SndTab:
        sndModified = modified;
        title = tr("SND");
        break;
    case AirTab:
        airModified = modified;
        title = tr("AIR");
        break;
    default:
        return;
    }
    ui->tabs->setTabText(tab, modified ? title + QLatin1Char('*') : title);
}

bool MainWindow::confirmClose()
{
    for (int tab : {SffTab, SndTab, AirTab})
        if (!confirmDiscard(tab))
            return false;
    return codeFiles.confirmDiscardAll();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

void MainWindow::updateSpriteRange()
{
    setSelectorRange(ui->sprSel, sprites.spriteCount());
}

void MainWindow::updatePaletteRange()
{
    setSelectorRange(ui->actSel, sprites.paletteCount());
}

void MainWindow::updateAnimationRange()
{
    setSelectorRange(ui->airSel, animations.actionCount());
}

void MainWindow::updateSoundRange()
{
    setSelectorRange(ui->sndSel, sounds.count());
}

void MainWindow::progress(uint pos, uint max, bool& allow)
{
    QProgressDialog* dlg = progressDialog;
    if (pos == 0) {
        // A new operation: forget a Cancel pressed during an earlier one.
        dlg->reset();
        dlg->setMaximum(clampToInt(max));
        if (max > 0) {
            dlg->setValue(0);
            dlg->show();
            // Paint it before the work starts.
            QCoreApplication::processEvents();
        }
        // An operation with no items reports nothing after this: it gets no
        // dialog, which would otherwise stay on screen with nothing to close it.
    } else if (!dlg->wasCanceled() && dlg->isVisible()) {
        // The report with pos == max closes the dialog (autoClose).
        dlg->setValue(qMin(clampToInt(pos), dlg->maximum()));
        // Let the Cancel button be pressed while the work runs in this thread.
        if (dlg->isVisible())
            QCoreApplication::processEvents();
    }
    allow = !dlg->wasCanceled();
}

void MainWindow::viewTriggered()
{
    renderer->setClsnVisibility(ui->actionAttack_CLSN->isChecked(), ui->actionColision_CLSN->isChecked(),
                                ui->actionDefault_CLSN->isChecked());
    renderWidget->update();
}

void MainWindow::on_actionUtilities_toggled(bool checked)
{
    ui->utilTabs->setVisible(checked);
}

void MainWindow::on_tabs_currentChanged(int index)
{
    // Playback runs only on the AIR page. A click on Stop while nothing plays
    // would only flip its checked state, so click it only to stop playback.
    if (!ui->actionStop_2->isChecked())
        ui->airStop->click();

    codeFiles.setVisible(index == CodeTab);
    switch (index) {
    case SffTab:
    case SndTab:
    case ActTab:
        renderWidget->show();
        renderer->setClsnVisibility(false, false, false);
        if (sprites.spriteCount() == 0) {
            renderer->setSource(0, SpriteMode);
            renderer->refresh();
        } else if (index == ActTab) {
            renderer->setSource(ui->sprSel->value(), SpriteMode);
            if (ui->actPalImg->isChecked())
                renderer->setPalette(ui->actSel->value());
            renderer->refresh();
        } else {
            // As moving the sprite scroll bar shows it.
            on_sprSel_valueChanged(ui->sprSel->value());
        }
        break;
    case AirTab:
        renderWidget->show();
        viewTriggered();
        if (animations.actionCount() == 0) {
            renderer->setSource(0, AnimationMode);
            renderer->refresh();
        } else {
            showAnimation();
        }
        break;
    case CodeTab:
        // The code editor takes the place of the render widget.
        renderWidget->hide();
        break;
    default:
        break;
    }
}

void MainWindow::showAnimation()
{
    renderer->setSource(ui->airSel->value(), AnimationMode);
    renderer->setFrame(qMin(ui->airFSel->value(), qMax(0, animations.frameCount(ui->airSel->value()) - 1)));
    renderer->setPalette(-1);
    renderer->refresh();
}

void MainWindow::axisChanged(QRenderMode mode, QPoint axis)
{
    // The renderer has already written the axis or offset into the document;
    // the fields follow without writing it again.
    const bool wasInteractive = interactive;
    interactive = false;
    if (mode == SpriteMode) {
        ui->sprX->setValue(axis.x());
        ui->sprY->setValue(axis.y());
        setModifiedMark(SffTab, true);
    } else {
        ui->airX->setValue(axis.x());
        ui->airY->setValue(axis.y());
        setModifiedMark(AirTab, true);
    }
    interactive = wasInteractive;
}

void MainWindow::clsnModeExit()
{
    // A right click ended box drawing: neither drawing button stays down.
    const bool wasInteractive = interactive;
    interactive = false;
    ui->airClsn1->setChecked(false);
    ui->airClsn2->setChecked(false);
    interactive = wasInteractive;
}

void MainWindow::on_actionSobre_triggered()
{
    About about(this);
    about.exec();
}

void MainWindow::on_actionNovo_triggered()
{
    const bool wasInteractive = interactive;
    interactive = false;
    // The New slots of the SFF and ACT tabs, then the AIR tab's, then the SND
    // tab's; then every code document closes. Code with unsaved changes is
    // not thrown away unasked: when the user keeps it, every code document
    // stays open.
    on_actionNovo_2_triggered();
    // The palettes belong to the sprites: when the user kept the sprites,
    // their palettes stay with them.
    if (!sffModified)
        on_actionRemover_tudo_triggered();
    on_actionNew_3_triggered();
    if (codeFiles.confirmDiscardAll())
        codeFiles.closeAll();
    interactive = wasInteractive;

    on_tabs_currentChanged(ui->tabs->currentIndex());
    kindLabel->setText(tr("Character"));
    messages.clear();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    // Translating resets the tab titles; keep the marks of unsaved changes.
    QList<bool> marked;
    for (int i = 0; i < ui->tabs->count(); ++i)
        marked.append(ui->tabs->tabText(i).endsWith(QLatin1Char('*')));
    ui->retranslateUi(this);
    for (int tab : {SffTab, ActTab, SndTab, AirTab})
        if (marked.value(tab))
            ui->tabs->setTabText(tab, ui->tabs->tabText(tab) + QLatin1Char('*'));
    progressDialog->setWindowTitle(tr("Morvane 9"));
    // Translating also put back the form's texts of the sound facts.
    on_sndSel_valueChanged(ui->sndSel->value());
    // And those of the sprite and palette labels.
    on_sprSel_valueChanged(ui->sprSel->value());
    on_actSel_valueChanged(ui->actSel->value());
}

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "about.h"
#include "animationcommands.h"
#include "qcodeedit.h"
#include "qpalettewidget.h"
#include "qrenderwidget.h"

#include <QAbstractSpinBox>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QUndoView>

#include <climits>

namespace {

QString configPath()
{
    return ConfigFile::userPath();
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
      sprites(&messages, BlobStoreMode::BlobsInMemory, false, -1),
      animations(&messages),
      sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages),
      codeFiles(this),
      paletteWidget(nullptr),
      renderWidget(nullptr),
      renderer(nullptr),
      historyView(nullptr),
      sffPage(this, &sprites, SffTab, [this] { return sffTexts(); }),
      sndPage(this, &sounds, SndTab, [this] { return sndTexts(); }),
      airPage(this, &animations, AirTab, [this] { return airTexts(); }),
      interactive(true),
      progressDialog(new QProgressDialog(this)),
      kindLabel(nullptr),
      languages(nullptr)
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

    // 5. The renderer shows the sprite archive and the animation set, and
    // asks for the edits the mouse makes; each becomes a step.
    renderer = new QSprRender;
    renderer->setSprites(&sprites);
    renderer->setAnimations(&animations);
    connect(renderer, &QSprRender::axisChanged, this, &MainWindow::axisChanged);
    connect(renderer, &QSprRender::clsnModeExit, this, &MainWindow::clsnModeExit);
    connect(renderer, &QSprRender::colorCaptured, this, &MainWindow::colorCaptured);
    connect(renderer, &QSprRender::spriteAxisMoved, this, [this](int index, QPoint axis) {
        SpriteInfo info = sprites.spriteInfo(index);
        info.axisX = qint16(axis.x());
        info.axisY = qint16(axis.y());
        push(&sprites, spritecommands::changeInfo(&sprites, index, info, ChangeSpriteInfo::Axis));
    });
    connect(renderer, &QSprRender::frameOffsetMoved, this, [this](int action, int frame, QPoint offset) {
        push(&animations, animationcommands::moveOffset(&animations, action, frame, offset.x(), offset.y()));
    });
    connect(renderer, &QSprRender::boxesChanged, this,
            [this](int action, int frame, const FrameBoxes& boxes, const QString& text) {
                push(&animations, animationcommands::changeBoxes(&animations, action, frame, boxes, text));
            });

    // 6. The surface that shows it (and owns it).
    renderWidget = new QRenderWidget(renderer, this);
    renderWidget->setObjectName(QStringLiteral("renderWidget"));
    renderWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // 7. Models of the utility views.
    ui->issuesList->setModel(&messages);
    ui->palrmTable->setModel(renderer->remapModel());
    ui->palrmTable->verticalHeader()->hide();
    // The table previews palettes: its edits are steps of the archive's
    // history that leave the archive saved.
    renderer->remapModel()->setUndoStack(sprites.undoStack());
    connect(renderer->remapModel(), &QAbstractItemModel::dataChanged, this, &MainWindow::remapChanged);
    connect(renderer->remapModel(), &QAbstractItemModel::rowsInserted, this, [this] { remapChanged({}, {}); });
    connect(renderer->remapModel(), &QAbstractItemModel::rowsRemoved, this, [this] { remapChanged({}, {}); });

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

    // The Search page's keys and replace row (mainwindow_find.cpp).
    setupFind();

    // 11. What the open definition describes, in the status bar.
    kindLabel = new QLabel(this);
    kindLabel->setObjectName(QStringLiteral("kindLabel"));
    statusBar()->addWidget(kindLabel);

    // The history of every document: Edit > Undo and Redo, and the History
    // page listing the steps of the shown page's document.
    for (QFileDocument* d : std::initializer_list<QFileDocument*>{&sprites, &sounds, &animations})
        undoGroup.addStack(d->undoStack());
    historyView = new QUndoView(&undoGroup, ui->historyTab);
    historyView->setObjectName(QStringLiteral("historyView"));
    historyView->setEmptyLabel(tr("<saved>"));
    ui->historyLayout->addWidget(historyView);
    ui->actionUndo->setShortcut(QKeySequence::Undo);
    ui->actionRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connectDocuments();
    // The key goes to the box's line edit, and from it to the box, which
    // would both take it as their own.
    for (QAbstractSpinBox* box : findChildren<QAbstractSpinBox*>()) {
        box->installEventFilter(this);
        for (QLineEdit* edit : box->findChildren<QLineEdit*>())
            edit->installEventFilter(this);
    }
    // The list beside the selector, the issues pane, the File menu's
    // commands, the view's keys and zoom, the title and the window's size.
    setUpComfort();

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

    // 15. Animation playback: a single-shot timer set for each frame from the
    // player's timeline.
    playTimer.setSingleShot(true);
    connect(&playTimer, &QTimer::timeout, this, &MainWindow::playTimeOut);
    airPage.mayWrite = [this] { return mayWriteAnimations(); };

    // 16. The settings, the language among them.
    languages = new QLanguageManager(QCoreApplication::instance(),
                                     QCoreApplication::applicationDirPath() + QStringLiteral("/Languages"));
    connect(this, &MainWindow::settingsRead, this, [this] {
        const QString chosen = settings.value(QStringLiteral("language"), QStringLiteral("name"));
        languages->setLanguage(chosen.isEmpty() || !languages->languages().contains(chosen) ? languages->systemLanguage()
                                                                                           : chosen);
        buildLanguageMenu();
    });
    connect(this, &MainWindow::settingsWriting, this, [this] {
        settings.setValue(QStringLiteral("language"), QStringLiteral("name"), languages->current());
    });
    loadConfig(configPath());
}

MainWindow::~MainWindow()
{
    saveConfig(configPath());
    // The documents go before the widgets: nothing of the window may hear
    // them (or their histories) as they go, and the view lets go of them.
    for (QFileDocument* d : std::initializer_list<QFileDocument*>{&sprites, &sounds, &animations}) {
        disconnect(d, nullptr, this, nullptr);
        disconnect(d->undoStack(), nullptr, this, nullptr);
    }
    renderer->setSprites(nullptr);
    renderer->setAnimations(nullptr);
    delete languages;
    delete ui;
}

bool MainWindow::confirmDiscard(int tab)
{
    bool modified = false;
    QString question;
    switch (tab) {
    case SffTab:
    case ActTab:
        modified = sprites.isModified();
        question = tr("Do you really want to discard the changes made in the sprites and/or palettes");
        break;
    case SndTab:
        modified = sounds.isModified();
        question = tr("Do you really want to discard the changes made in the sounds");
        break;
    case AirTab:
        modified = animations.isModified();
        question = tr("Do you really want to discard the changes made in the animations");
        break;
    default:
        return false;
    }
    if (!modified)
        return true;
    // Save keeps the work (asking for a name where it has none), Discard lets
    // it go, Cancel leaves everything as it is.
    const auto answer = QMessageBox::question(this, tr("Discard changes"), question,
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    return (tab == SndTab ? sndPage : tab == AirTab ? airPage : sffPage).save();
}

void MainWindow::setModifiedMark(int tab, bool modified)
{
    QString title;
    switch (tab) {
    case SffTab:
        title = tr("SFF");
        break;
    case ActTab:
        title = tr("ACT");
        break;
    case SndTab:
        title = tr("SND");
        break;
    case AirTab:
        title = tr("AIR");
        break;
    default:
        return;
    }
    ui->tabs->setTabText(tab, modified ? title + QLatin1Char('*') : title);
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
    QFileDocument* const documentOfTab[] = {&sprites, &sprites, &sounds, &animations, nullptr};
    QFileDocument* shown = index >= 0 && index < 5 ? documentOfTab[index] : nullptr;
    undoGroup.setActiveStack(shown ? shown->undoStack() : nullptr);
    updateUndoActions();
    switch (index) {
    case SffTab:
    case SndTab:
    case ActTab:
        renderWidget->show();
        renderer->setClsnVisibility(false, false, false);
        if (sprites.spriteCount() == 0) {
            renderer->setSource(0, QRenderMode::SpriteMode);
            renderer->refresh();
        } else if (index == ActTab) {
            renderer->setSource(ui->sprSel->value(), QRenderMode::SpriteMode);
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
        on_airSel_valueChanged(ui->airSel->value());
        break;
    case CodeTab:
        // The code editor takes the place of the render widget.
        renderWidget->hide();
        break;
    default:
        break;
    }
}

void MainWindow::axisChanged(QRenderMode mode, QPoint axis)
{
    // While a drag goes on the fields follow it; the document changes once,
    // when the drag ends.
    QScopedValueRollback<bool> quiet(interactive, false);
    if (mode == QRenderMode::SpriteMode) {
        ui->sprX->setValue(axis.x());
        ui->sprY->setValue(axis.y());
    } else {
        ui->airX->setValue(axis.x());
        ui->airY->setValue(axis.y());
    }
}

void MainWindow::clsnModeExit()
{
    // A right click ended box drawing: neither drawing button stays down.
    QScopedValueRollback<bool> quiet(interactive, false);
    ui->airClsn1->setChecked(false);
    ui->airClsn2->setChecked(false);
}

// ---------------------------------------------------------------- edits and history

void MainWindow::push(QFileDocument* document, QEditCommand* step)
{
    if (!step)
        return;
    switch (step->subject()) {
    case QEditCommand::Subject::Sprite: step->setOrigin(ui->sprSel->value()); break;
    case QEditCommand::Subject::Palette: step->setOrigin(ui->actSel->value()); break;
    case QEditCommand::Subject::Sound: step->setOrigin(ui->sndSel->value()); break;
    case QEditCommand::Subject::Action: step->setOrigin(ui->airSel->value()); break;
    default: break;
    }
    document->undoStack()->push(step);
}

void MainWindow::connectDocuments()
{
    connect(&sprites, &QFileDocument::modifiedChanged, this, [this](bool modified) {
        setModifiedMark(SffTab, modified);
        setModifiedMark(ActTab, modified);
    });
    connect(&sounds, &QFileDocument::modifiedChanged, this, [this](bool m) { setModifiedMark(SndTab, m); });
    connect(&animations, &QFileDocument::modifiedChanged, this, [this](bool m) { setModifiedMark(AirTab, m); });
    for (QFileDocument* d : std::initializer_list<QFileDocument*>{&sprites, &sounds, &animations}) {
        QUndoStack* stack = d->undoStack();
        connect(stack, &QUndoStack::indexChanged, this, [this, stack](int index) { followStack(stack, index); });
    }

    // The pages follow their documents.
    connect(&sprites, &QSprites::spriteChanged, this, [this](int index) {
        if (index == activeSprite())
            on_sprSel_valueChanged(index);
    });
    for (auto signal : {&QSprites::spritesInserted, &QSprites::spritesRemoved})
        connect(&sprites, signal, this, &MainWindow::spritesChanged);
    connect(&sprites, &QSprites::paletteChanged, this, [this](int index) {
        if (index == activePalette())
            paletteChanged();
    });
    for (auto signal : {&QSprites::palettesInserted, &QSprites::palettesRemoved})
        connect(&sprites, signal, this, &MainWindow::palettesChanged);
    sffPage.setBeforeSave([this](const QString& file, int filter) { return prepareSpriteSave(file, filter); });
    connect(&sprites, &QFileDocument::documentReset, this, [this] {
        updatePaletteRange();
        updateSpriteRange();
        // The page shows the new archive from its first sprite, not the
        // sprite it showed before.
        selectSprite(0);
        on_actSel_valueChanged(ui->actSel->value());
    });
    connect(&sounds, &QSounds::soundChanged, this, [this](int index) {
        if (index == ui->sndSel->value())
            on_sndSel_valueChanged(index);
    });
    for (auto signal : {&QSounds::soundsInserted, &QSounds::soundsRemoved})
        connect(&sounds, signal, this, &MainWindow::soundsChanged);
    connect(&sounds, &QFileDocument::documentReset, this, [this] {
        updateSoundRange();
        // The scroll bar goes to the first sound too, so that what is shown
        // is what Play, Delete and the rest act on.
        selectSound(0);
    });
    connect(&animations, &QAnimations::frameChanged, this, [this](int action, int frame) {
        if (action == ui->airSel->value() && frame == ui->airFSel->value())
            showFrameFields(frame);
    });
    connect(&animations, &QAnimations::actionChanged, this, [this](int action) {
        if (action == ui->airSel->value())
            showActionFields(action);
    });
    for (auto signal : {&QAnimations::actionsInserted, &QAnimations::actionsRemoved})
        connect(&animations, signal, this, [this] {
            // The action where the scroll bar stands, and its frame, again.
            updateAnimationRange();
            const int frame = ui->airFSel->value();
            on_airSel_valueChanged(ui->airSel->value());
            ui->airFSel->setValue(frame);
        });
    for (auto signal : {&QAnimations::framesInserted, &QAnimations::framesRemoved})
        connect(&animations, signal, this, [this](int action) {
            if (action != ui->airSel->value())
                return;
            const int frame = ui->airFSel->value();
            on_airSel_valueChanged(action);
            ui->airFSel->setValue(frame);
        });
    connect(&animations, &QFileDocument::documentReset, this, [this] {
        updateAnimationRange();
        if (ui->airSel->value() == 0)
            on_airSel_valueChanged(0);
        else
            ui->airSel->setValue(0);
    });

    // Edit > Undo and Redo say what they take back, on every page.
    connect(&undoGroup, &QUndoGroup::canUndoChanged, this, &MainWindow::updateUndoActions);
    connect(&undoGroup, &QUndoGroup::canRedoChanged, this, &MainWindow::updateUndoActions);
    connect(&undoGroup, &QUndoGroup::undoTextChanged, this, &MainWindow::updateUndoActions);
    connect(&undoGroup, &QUndoGroup::redoTextChanged, this, &MainWindow::updateUndoActions);
    connect(codeFiles.editor(), &QPlainTextEdit::undoAvailable, this, &MainWindow::updateUndoActions);
    connect(codeFiles.editor(), &QPlainTextEdit::redoAvailable, this, &MainWindow::updateUndoActions);
    connect(codeFiles.tabBar(), &QTabBar::currentChanged, this, &MainWindow::updateUndoActions);
}

void MainWindow::followStack(QUndoStack* stack, int index)
{
    const int before = stackIndex.value(stack, 0);
    stackIndex[stack] = index;
    // A step pushed or redone stands just below the new index; one undone
    // stands at it.
    const QUndoCommand* step = nullptr;
    if (index > before)
        step = stack->command(index - 1);
    else if (index < before)
        step = stack->command(index);
    if (const auto* edit = dynamic_cast<const QEditCommand*>(step))
        showEdited(edit, index < before);
}

void MainWindow::showEdited(const QEditCommand* step, bool undone)
{
    // Done or redone, the page shows what the step changed; undone, what was
    // shown when it was made.
    const int at = undone && step->origin() >= 0 ? step->origin() : step->subjectIndex();
    const auto show = [](QScrollBar* bar, int index) {
        index = qBound(bar->minimum(), index, bar->maximum());
        if (bar->value() != index)
            bar->setValue(index);
    };
    switch (step->subject()) {
    case QEditCommand::Subject::Sprite:
        show(ui->sprSel, at);
        break;
    case QEditCommand::Subject::Palette:
        show(ui->actSel, at);
        break;
    case QEditCommand::Subject::Sound:
        show(ui->sndSel, at);
        break;
    case QEditCommand::Subject::Action:
        show(ui->airSel, at);
        if (step->subjectFrame() >= 0)
            show(ui->airFSel, step->subjectFrame());
        break;
    default:
        break;
    }
}

void MainWindow::updateUndoActions()
{
    bool canUndo = false, canRedo = false;
    QString undoText = tr("Undo"), redoText = tr("Redo");
    if (ui->tabs->currentIndex() == CodeTab) {
        // The code editor keeps the text's own history.
        const QTextDocument* doc = codeFiles.editor()->isVisible() ? codeFiles.editor()->document() : nullptr;
        canUndo = doc && doc->isUndoAvailable();
        canRedo = doc && doc->isRedoAvailable();
    } else {
        canUndo = undoGroup.canUndo();
        canRedo = undoGroup.canRedo();
        if (canUndo)
            undoText = tr("Undo %1").arg(undoGroup.undoText());
        if (canRedo)
            redoText = tr("Redo %1").arg(undoGroup.redoText());
    }
    ui->actionUndo->setEnabled(canUndo);
    ui->actionRedo->setEnabled(canRedo);
    ui->actionUndo->setText(undoText);
    ui->actionRedo->setText(redoText);
}

void MainWindow::on_actionUndo_triggered()
{
    if (ui->tabs->currentIndex() == CodeTab)
        codeFiles.editor()->undo();
    else
        undoGroup.undo();
    updateUndoActions();
}

void MainWindow::on_actionRedo_triggered()
{
    if (ui->tabs->currentIndex() == CodeTab)
        codeFiles.editor()->redo();
    else
        undoGroup.redo();
    updateUndoActions();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride
        && (qobject_cast<QAbstractSpinBox*>(watched) || qobject_cast<QAbstractSpinBox*>(watched->parent()))) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* a : {ui->actionUndo, ui->actionRedo})
            if (a->shortcuts().contains(pressed)) {
                // Not taken by the box: the window's shortcut runs.
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::on_actionSobre_triggered()
{
    About about(this);
    about.exec();
}

void MainWindow::on_actionNovo_triggered()
{
    // One question about every unsaved document; Cancel keeps them all.
    if (!confirmClose())
        return;
    {
        QScopedValueRollback<bool> quiet(interactive, false);
        // Everything goes, then the New slots of the SFF and ACT tabs, the
        // AIR tab's and the SND tab's start their pages over.
        closeEverything();
        on_actionNovo_2_triggered();
        on_actionRemover_tudo_triggered();
        on_actionNew_triggered();
        on_actionNew_3_triggered();
    }

    on_tabs_currentChanged(ui->tabs->currentIndex());
    kind = 0;
    kindLabel->setText(kindText(kind));
    messages.clear();
}

void MainWindow::buildLanguageMenu()
{
    ui->menuLanguage->clear();
    auto* group = new QActionGroup(ui->menuLanguage);
    for (const QString& language : languages->languages()) {
        // Each language named in itself, so that a person finds their own.
        QAction* a = ui->menuLanguage->addAction(QLanguageManager::nativeName(language));
        QString name = language;
        name[0] = name[0].toUpper();
        a->setObjectName(language == QLatin1String(QLanguageManager::English) ? QStringLiteral("languageEnglish")
                                                                               : QStringLiteral("language") + name);
        a->setCheckable(true);
        a->setChecked(language == languages->current());
        a->setActionGroup(group);
        connect(a, &QAction::triggered, this, [this, language] { languages->setLanguage(language); });
    }
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
    // And what the code keeps of its own: the kind of file open, Undo and
    // Redo, the languages' entries (named in themselves, but checked anew).
    kindLabel->setText(kindText(kind));
    updateUndoActions();
    if (languages)
        buildLanguageMenu();
}

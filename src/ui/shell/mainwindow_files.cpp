// The File menu beyond the whole character (Save As and Close of the document
// shown, Quit), recent files, files dropped on the window, the one question
// about unsaved work when the window closes, where file dialogs start, and
// what a save says in the status bar.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "eventhook.h"
#include "qcodeedit.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr int RecentCount = 10;
constexpr int SavedMessageMs = 10000;

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

void MainWindow::setUpFiles()
{
    // The platform's own keys where it has them (the form gives the usual
    // ones for the rest).
    const QList<QPair<QAction*, QKeySequence::StandardKey>> keys{
        {ui->actionNovo, QKeySequence::New},         {ui->actionAbrir, QKeySequence::Open},
        {ui->actionSalvar, QKeySequence::Save},      {ui->actionSalvar_como, QKeySequence::SaveAs},
        {ui->actionFechar, QKeySequence::Close},     {ui->actionSair, QKeySequence::Quit}};
    for (const auto& [action, key] : keys)
        if (!QKeySequence::keyBindings(key).isEmpty())
            action->setShortcuts(key);
    ui->actionGo_to_line->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    setAcceptDrops(true);
    // The code editor takes dropped text as text, but a dropped file opens.
    auto* drops = new EventHook(this, [this](QObject*, QEvent* e) {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            if (localFiles(d->mimeData()).isEmpty())
                return false;
            d->acceptProposedAction();
            return true;
        }
        case QEvent::Drop:
            if (localFiles(static_cast<QDropEvent*>(e)->mimeData()).isEmpty())
                return false;
            dropEvent(static_cast<QDropEvent*>(e));
            return true;
        default:
            return false;
        }
    });
    codeFiles.editor()->viewport()->installEventFilter(drops);
    codeFiles.saveDocument = [this](int index) { return saveCodeDocument(index); };

    connect(ui->menuRecent_files, &QMenu::aboutToShow, this, &MainWindow::updateRecentMenu);
    connect(this, &MainWindow::settingsRead, this, [this] {
        recent = settings.list(QStringLiteral("recent_files"), QStringLiteral("file"), QStringLiteral("path"));
        recent.removeAll(QString());
        recent = recent.mid(0, RecentCount);
        lastFolder = settings.value(QStringLiteral("file_dialogs"), QStringLiteral("folder"));
        updateRecentMenu();
    });
    connect(this, &MainWindow::settingsWriting, this, [this] {
        settings.setList(QStringLiteral("recent_files"), QStringLiteral("file"), QStringLiteral("path"), recent);
        settings.setValue(QStringLiteral("file_dialogs"), QStringLiteral("folder"), lastFolder);
    });
    updateRecentMenu();
}

// ---------------------------------------------------------------- File menu

void MainWindow::on_actionSalvar_como_triggered()
{
    switch (ui->tabs->currentIndex()) {
    case SffTab:
    case ActTab: on_actionSave_As_triggered(); break;
    case SndTab: on_actionSave_As_4_triggered(); break;
    case AirTab: on_actionSave_As_2_triggered(); break;
    case CodeTab: on_actionSave_As_3_triggered(); break;
    default: break;
    }
}

void MainWindow::on_actionFechar_triggered()
{
    switch (ui->tabs->currentIndex()) {
    case SffTab:
    case ActTab:
        on_actionNovo_2_triggered();
        // The palettes go with the sprites they were read with, as in File > New.
        if (sprites.spriteCount() == 0 && sprites.fileName().isEmpty() && !sprites.isModified()) {
            QScopedValueRollback<bool> quiet(interactive, false);
            on_actionRemover_tudo_triggered();
        }
        break;
    case SndTab: on_actionNew_3_triggered(); break;
    case AirTab: on_actionNew_triggered(); break;
    case CodeTab:
        if (codeFiles.currentIndex() >= 0)
            codeFiles.tabCloseRequested(codeFiles.currentIndex());
        break;
    default: break;
    }
}

void MainWindow::on_actionSair_triggered()
{
    close();
}

// ---------------------------------------------------------------- recent files

void MainWindow::addRecentFile(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    recent.removeAll(file);
    recent.prepend(file);
    recent = recent.mid(0, RecentCount);
    updateRecentMenu();
}

void MainWindow::updateRecentMenu()
{
    QMenu* menu = ui->menuRecent_files;
    menu->clear();
    for (int i = 0; i < recent.size(); ++i) {
        const QString file = recent[i];
        const QString shown = QDir::toNativeSeparators(file);
        // 1 to 9, then 0 for the tenth: each is one key away.
        QString text = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(QString(shown).replace('&', QStringLiteral("&&")));
        QAction* a = menu->addAction(text);
        a->setStatusTip(shown);
        // A file that went away stays in the list, greyed, until others push it out.
        a->setEnabled(QFileInfo(file).isFile());
        connect(a, &QAction::triggered, this, [this, file] {
            if (openPath(file))
                addRecentFile(file);
        });
    }
    menu->setEnabled(!recent.isEmpty());
}

// ---------------------------------------------------------------- drops

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    for (const QString& file : files)
        if (openPath(file))
            addRecentFile(file);
}

// ---------------------------------------------------------------- unsaved work

bool MainWindow::confirmClose()
{
    struct Unsaved
    {
        QString name;
        std::function<bool()> save;
        bool named = true; // has a file to go to, no name to ask for
    };
    const auto nameOf = [this](const QString& file) {
        return file.isEmpty() ? tr("untitled") : QFileInfo(file).fileName();
    };
    QList<Unsaved> unsaved;
    const auto named = [](const QString& file) { return !file.isEmpty() && QFileInfo::exists(file); };
    if (sprites.isModified())
        unsaved.append({tr("%1 (sprites and palettes)").arg(nameOf(sprites.fileName())), [this] { return sffPage.save(); },
                        named(sprites.fileName())});
    if (sounds.isModified())
        unsaved.append({tr("%1 (sounds)").arg(nameOf(sounds.fileName())), [this] { return sndPage.save(); },
                        named(sounds.fileName())});
    if (animations.isModified())
        unsaved.append({tr("%1 (animations)").arg(nameOf(animations.fileName())),
                        [this] {
                            ui->airStop->click();
                            return airPage.save();
                        },
                        named(animations.fileName())});
    for (int i = 0; i < codeFiles.count(); ++i)
        if (codeFiles.documents()->isModified(i))
            unsaved.append({nameOf(codeFiles.fileName(i)), [this, i] { return saveCodeDocument(i); },
                            named(codeFiles.fileName(i))});
    if (unsaved.isEmpty())
        return true;

    QStringList names;
    for (const Unsaved& u : unsaved)
        names << QStringLiteral("    ") + u.name;
    QMessageBox box(QMessageBox::Question, tr("Discard changes"),
                    tr("These documents have unsaved changes:") + QStringLiteral("\n\n") + names.join('\n'),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    // Those without a file ask for a name first, so that every question
    // comes before the long saves; a save that fails or is cancelled keeps
    // the window open with everything in it.
    for (bool withFile : {false, true})
        for (const Unsaved& u : unsaved)
            if (u.named == withFile && !u.save())
                return false;
    return true;
}

// ---------------------------------------------------------------- file dialogs

QString MainWindow::dialogPath(const QFileDocument* document, const QString& name) const
{
    QString folder = lastFolder;
    if (document && !document->fileName().isEmpty())
        folder = QFileInfo(document->fileName()).absolutePath();
    if (name.isEmpty())
        return folder;
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

QString MainWindow::codeDialogPath(const QString& name) const
{
    // Beside the code file shown, else beside any open one.
    QString folder;
    QList<int> order;
    if (codeFiles.currentIndex() >= 0)
        order << codeFiles.currentIndex();
    for (int i = 0; i < codeFiles.count(); ++i)
        order << i;
    for (int i : order)
        if (folder.isEmpty() && !codeFiles.fileName(i).isEmpty())
            folder = QFileInfo(codeFiles.fileName(i)).absolutePath();
    if (folder.isEmpty())
        return dialogPath(nullptr, name);
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

void MainWindow::noteDialogFolder(const QString& file)
{
    if (!file.isEmpty())
        lastFolder = QFileInfo(file).absolutePath();
}

QString MainWindow::askOpenFile(const QString& title, const QString& path, const QString& filter)
{
    const QString file = QFileDialog::getOpenFileName(this, title, path, filter);
    noteDialogFolder(file);
    return file;
}

QString MainWindow::askSaveFile(const QString& title, const QString& path, const QString& filter,
                                QString* selectedFilter)
{
    const QString file = QFileDialog::getSaveFileName(this, title, path, filter, selectedFilter);
    noteDialogFolder(file);
    return file;
}

// ---------------------------------------------------------------- what saving says

QString MainWindow::contentsText(const QFileDocument* document) const
{
    if (document == &sprites) {
        const int n = sprites.spriteCount();
        return n == 1 ? tr("1 sprite") : tr("%1 sprites").arg(n);
    }
    if (document == &sounds) {
        const int n = sounds.count();
        return n == 1 ? tr("1 sound") : tr("%1 sounds").arg(n);
    }
    if (document == &animations) {
        const int n = animations.actionCount();
        return n == 1 ? tr("1 action") : tr("%1 actions").arg(n);
    }
    return QString();
}

void MainWindow::reportSaved(const QString& fileName, const QString& contents)
{
    const QFileInfo info(fileName);
    const QString size = QLocale().formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
    statusBar()->showMessage(tr("Saved %1: %2, %3").arg(info.fileName(), contents, size), SavedMessageMs);
}

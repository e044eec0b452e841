// The window as a desktop editor's: its title names the document shown and
// its unsaved work, it keeps its size, place and layout between sessions,
// starts at a size that suits the screen, and gives the keyboard to the view
// after a load or a selection, never to an edit field of the page.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qcodeedit.h"
#include "qrenderwidget.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>

namespace {

// The width of the page's fields, the list beside them and the utilities pane.
constexpr int PagesWidth = 316;
constexpr int ListWidth = 170;
constexpr int UtilitiesWidth = 260;
// A window this wide shows all of them side by side with the view.
constexpr int RoomyWidth = 1000;

QByteArray bytesOf(const QString& base64)
{
    return QByteArray::fromBase64(base64.toLatin1());
}

} // namespace

void MainWindow::setUpComfort()
{
    setUpLists();
    setUpFiles();
    setUpView();
    setUpWindow();
}

QSize MainWindow::startSize()
{
    // A 1366 x 768 screen less a task bar and the window's frame; larger
    // screens get the same, smaller ones what they have.
    QSize size(1280, 680);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(24, 48));
    return size;
}

void MainWindow::setUpWindow()
{
    // The view takes what the page and the utilities pane leave.
    ui->mainSplitter->setStretchFactor(0, 0);
    ui->mainSplitter->setStretchFactor(1, 1);
    ui->mainSplitter->setStretchFactor(2, 0);
    const auto layOut = [this] {
        resize(startSize());
        // Every tab title shows whole.
        const int pages = qMax(PagesWidth, ui->tabs->tabBar()->sizeHint().width() + 8);
        const int utilities = qMax(UtilitiesWidth, ui->utilTabs->tabBar()->sizeHint().width() + 8);
        const int list = ui->spriteDock->isVisibleTo(this) ? ListWidth : 0;
        ui->mainSplitter->setSizes({pages, qMax(100, width() - pages - utilities - list), utilities});
        resizeDocks({ui->spriteDock}, {ListWidth}, Qt::Horizontal);
    };
    layOut();
    const QString window = QStringLiteral("window");
    connect(this, &MainWindow::settingsRead, this, [this, window, layOut] {
        // Settings that keep no size or layout put the window back at its start.
        const QByteArray geometry = bytesOf(settings.value(window, QStringLiteral("geometry")));
        const QByteArray state = bytesOf(settings.value(window, QStringLiteral("state")));
        const QByteArray splitter = bytesOf(settings.value(window, QStringLiteral("splitter")));
        // A first start on a narrow screen leaves the page and the
        // utilities their room: the list waits for the View toggle.
        const bool roomy = !geometry.isEmpty() || startSize().width() >= RoomyWidth;
        ui->actionSprite_list->setChecked(
            roomy && settings.boolValue(QStringLiteral("sprite_list"), QStringLiteral("visible"), true));
        ui->spriteDock->setVisible(ui->actionSprite_list->isChecked());
        if (geometry.isEmpty() || !restoreGeometry(geometry))
            layOut();
        if (!state.isEmpty())
            restoreState(state);
        if (!splitter.isEmpty())
            ui->mainSplitter->restoreState(splitter);
    });
    connect(this, &MainWindow::settingsWriting, this, [this, window] {
        settings.setValue(window, QStringLiteral("geometry"), QString::fromLatin1(saveGeometry().toBase64()));
        settings.setValue(window, QStringLiteral("state"), QString::fromLatin1(saveState().toBase64()));
        settings.setValue(window, QStringLiteral("splitter"),
                          QString::fromLatin1(ui->mainSplitter->saveState().toBase64()));
        settings.setBool(QStringLiteral("sprite_list"), QStringLiteral("visible"), ui->actionSprite_list->isChecked());
    });

    // The title follows the page shown and its document.
    connect(ui->tabs, &QTabWidget::currentChanged, this, &MainWindow::updateTitle);
    for (QFileDocument* d : std::initializer_list<QFileDocument*>{&sprites, &sounds, &animations}) {
        connect(d, &QFileDocument::fileNameChanged, this, &MainWindow::updateTitle);
        connect(d, &QFileDocument::modifiedChanged, this, &MainWindow::updateTitle);
        connect(d, &QFileDocument::documentReset, this, &MainWindow::updateTitle);
    }
    QCodeDocuments* code = codeFiles.documents();
    connect(code, &QCodeDocuments::fileNameChanged, this, &MainWindow::updateTitle);
    connect(code, &QCodeDocuments::modifiedChanged, this, &MainWindow::updateTitle);
    connect(code, &QCodeDocuments::documentRemoved, this, &MainWindow::updateTitle);
    connect(codeFiles.tabBar(), &QTabBar::currentChanged, this, &MainWindow::updateTitle);
    updateTitle();

    // A load shows its first item with the keyboard on the view.
    const auto focusAfterLoad = [this](const QList<int>& pages) {
        return [this, pages] {
            if (pages.contains(ui->tabs->currentIndex()))
                focusView();
        };
    };
    connect(&sprites, &QFileDocument::documentReset, this, focusAfterLoad({SffTab, ActTab}));
    connect(&sounds, &QFileDocument::documentReset, this, focusAfterLoad({SndTab}));
    connect(&animations, &QFileDocument::documentReset, this, focusAfterLoad({AirTab}));
    // A selection takes the keyboard out of a field it was left in: an arrow
    // key there would renumber the item instead of stepping to the next one.
    for (QScrollBar* selector : {ui->sprSel, ui->actSel, ui->sndSel, ui->airSel, ui->airFSel})
        connect(selector, &QScrollBar::valueChanged, this, [this] {
            QWidget* f = focusWidget();
            if (f && ui->tabs->isAncestorOf(f)
                && (qobject_cast<QAbstractSpinBox*>(f) || qobject_cast<QLineEdit*>(f) || qobject_cast<QComboBox*>(f)))
                focusView();
        });
    connect(ui->tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index != CodeTab)
            focusView();
    });
}

void MainWindow::focusView()
{
    if (ui->tabs->currentIndex() != CodeTab)
        renderWidget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::updateTitle()
{
    QString file;
    bool modified = false, empty = true;
    const int page = ui->tabs->currentIndex();
    if (page == CodeTab) {
        const int index = codeFiles.currentIndex();
        if (index >= 0 && index < codeFiles.count()) {
            file = codeFiles.fileName(index);
            modified = codeFiles.documents()->isModified(index);
            empty = false;
        }
    } else {
        const QFileDocument* shown = page == SndTab ? static_cast<const QFileDocument*>(&sounds)
                                     : page == AirTab ? static_cast<const QFileDocument*>(&animations)
                                                      : &sprites;
        file = shown->fileName();
        modified = shown->isModified();
        empty = shown->itemCount() == 0;
    }
    setWindowFilePath(file);
    // Nothing to name: the program alone.
    if (file.isEmpty() && !modified && empty)
        setWindowTitle(QStringLiteral("Morvane"));
    else
        setWindowTitle((file.isEmpty() ? tr("untitled") : QFileInfo(file).fileName()) + QStringLiteral("[*] - Morvane"));
    setWindowModified(modified);
}

// The view of the SFF, ACT, SND and AIR pages beyond the mouse: keys that
// step through the page's items, and the zoom, shown in the status bar with
// its Fit and 1:1 commands and set back when another file is opened.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "eventhook.h"
#include "qrenderwidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

namespace {

// Room left around a sprite that Fit shows.
constexpr int FitMargin = 16;
constexpr int ActualSize = 2; // the zoom step of 1:1

} // namespace

void MainWindow::setUpView()
{
    // A click on the view gives it the keyboard, and so does Tab.
    renderWidget->setFocusPolicy(Qt::StrongFocus);
    renderWidget->installEventFilter(new EventHook(this, [this](QObject*, QEvent* e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        return viewKeyPressed(key->key());
    }));

    // Ctrl+= is where Ctrl++ is without Shift on many keyboards.
    ui->actionZoom_in->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ui->actionZoom_out->setShortcuts(QKeySequence::ZoomOut);

    zoomLabel = new QLabel(this);
    zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    zoomLabel->setToolTip(tr("Zoom of the view"));
    statusBar()->addPermanentWidget(zoomLabel);
    for (QAction* a : {ui->actionFit, ui->actionActual_size}) {
        auto* button = new QToolButton(this);
        button->setObjectName(a->objectName().replace(QStringLiteral("action"), QStringLiteral("zoom")));
        button->setDefaultAction(a);
        button->setAutoRaise(true);
        statusBar()->addPermanentWidget(button);
    }
    // The wheel zooms through the renderer; the label follows every repaint.
    connect(renderer, &QRenderer::repaintNeeded, this, &MainWindow::updateZoomLabel);
    connect(&sprites, &QFileDocument::documentReset, this, &MainWindow::resetZoom);
    connect(&animations, &QFileDocument::documentReset, this, &MainWindow::resetZoom);
    const auto followPage = [this](int page) {
        const bool view = page != CodeTab;
        for (QAction* a : {ui->actionZoom_in, ui->actionZoom_out, ui->actionFit, ui->actionActual_size})
            a->setEnabled(view);
        zoomLabel->setVisible(view);
        for (QToolButton* b : {findChild<QToolButton*>(QStringLiteral("zoomFit")),
                               findChild<QToolButton*>(QStringLiteral("zoomActual_size"))})
            b->setVisible(view);
    };
    connect(ui->tabs, &QTabWidget::currentChanged, this, followPage);
    followPage(ui->tabs->currentIndex());
    updateZoomLabel();
}

bool MainWindow::viewKeyPressed(int key)
{
    const int page = ui->tabs->currentIndex();
    QScrollBar* items = page == SffTab ? ui->sprSel
                        : page == ActTab ? ui->actSel
                        : page == SndTab ? ui->sndSel
                        : page == AirTab ? ui->airFSel
                                         : nullptr;
    if (!items)
        return false;
    // On the AIR page Left and Right step frames, PageUp and PageDown actions.
    if (page == AirTab && (key == Qt::Key_PageUp || key == Qt::Key_PageDown))
        items = ui->airSel;
    int to = items->value();
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp: --to; break;
    case Qt::Key_Right:
    case Qt::Key_PageDown: ++to; break;
    case Qt::Key_Home: to = items->minimum(); break;
    case Qt::Key_End: to = items->maximum(); break;
    default: return false;
    }
    // Stepping stops playback at the frame it shows.
    if (page == AirTab && !ui->actionStop_2->isChecked())
        ui->airStop->click();
    items->setValue(qBound(items->minimum(), to, items->maximum()));
    return true;
}

// ---------------------------------------------------------------- zoom

void MainWindow::setZoom(int index)
{
    renderer->zoomIndex = quint8(qBound(0, index, QRenderer::ZoomSteps - 1));
    renderer->updateGeometry();
    renderWidget->update();
    updateZoomLabel();
}

void MainWindow::resetZoom()
{
    // The view as it first shows: 1:1, the axis in the middle.
    renderer->axisScreen = QPoint(renderer->viewSize.width() >> 1, renderer->viewSize.height() >> 1);
    setZoom(ActualSize);
}

void MainWindow::updateZoomLabel()
{
    const QString text = QStringLiteral("%1%").arg(QRenderer::zoomFactor(renderer->zoomIndex) * 100);
    if (zoomLabel && zoomLabel->text() != text)
        zoomLabel->setText(text);
}

void MainWindow::on_actionZoom_in_triggered()
{
    setZoom(renderer->zoomIndex + 1);
}

void MainWindow::on_actionZoom_out_triggered()
{
    setZoom(renderer->zoomIndex - 1);
}

void MainWindow::on_actionActual_size_triggered()
{
    resetZoom();
}

void MainWindow::on_actionFit_triggered()
{
    // The sprite shown, or the frame's sprite; nothing shown: 1:1.
    const bool shown = renderer->mode == QRenderMode::SpriteMode ? renderer->spriteSize.width > 0
                                                    : renderer->frame && renderer->frameSpriteIndex >= 0;
    const int w = renderer->spriteSize.width, h = renderer->spriteSize.height;
    if (!shown || w <= 0 || h <= 0) {
        resetZoom();
        return;
    }
    const QSize room = renderer->viewSize - QSize(2 * FitMargin, 2 * FitMargin);
    int best = 0;
    for (int i = 0; i < QRenderer::ZoomSteps; ++i)
        if (QRenderer::zoomFactor(i) * w <= room.width() && QRenderer::zoomFactor(i) * h <= room.height())
            best = i;
    setZoom(best);
    // In the middle of the view.
    renderer->axisScreen += QRect(QPoint(0, 0), renderer->viewSize).center() - renderer->spriteRect.center();
    renderer->updateGeometry();
    renderWidget->update();
}

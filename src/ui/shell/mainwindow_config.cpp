// The settings: the shipped config.xml beside the executable gives the
// defaults, the person's own file (in the per-user configuration folder) what
// they chose; it is written at exit with every setting (see ConfigFile).
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qrenderwidget.h"

#include <QCoreApplication>

#include <QColorDialog>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

namespace {

// "r,g,b" in decimal, one to three digits each, nothing else.
bool parseColor(const QString& text, QColor* color)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,3}),([0-9]{1,3}),([0-9]{1,3})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    // Three digits allow up to 999; a component beyond 255 is taken as full.
    auto component = [&m](int i) { return qMin(m.captured(i).toInt(), 255); };
    *color = QColor(component(1), component(2), component(3));
    return true;
}

QString colorText(const QColor& c)
{
    return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}

const QColor presetTop(192, 192, 192);
const QColor presetBottom(160, 160, 164);

// The settings shipped beside the executable: the defaults.
QString shippedConfigPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/config.xml");
}

} // namespace

// The check boxes and actions kept in the settings: element, attribute, widget.
QList<MainWindow::Toggle> MainWindow::toggles() const
{
    const QString visible = QStringLiteral("visible"), checked = QStringLiteral("checked");
    return {
        {QStringLiteral("utilities"), visible, ui->actionUtilities},
        {QStringLiteral("attack_clsn"), visible, ui->actionAttack_CLSN},
        {QStringLiteral("collision_clsn"), visible, ui->actionColision_CLSN},
        {QStringLiteral("default_clsn"), visible, ui->actionDefault_CLSN},
        {QStringLiteral("switch_image_palette"), checked, ui->sprImgPal},
        {QStringLiteral("show_transparency_color"), checked, ui->sprCorTrans},
        {QStringLiteral("show_image_active_palette"), checked, ui->actPalImg},
        {QStringLiteral("search"), QStringLiteral("match_case"), ui->findCase},
        {QStringLiteral("search"), QStringLiteral("whole_words"), ui->findWholeWords},
    };
}

void MainWindow::loadConfig(const QString& path)
{
    settings.load(shippedConfigPath(), path);
    QColor top = presetTop, bottom = presetBottom;
    const QString start = settings.value(QStringLiteral("background"), QStringLiteral("start"));
    const QString end = settings.value(QStringLiteral("background"), QStringLiteral("end"));
    if (!start.isNull() || !end.isNull()) {
        parseColor(start.isNull() ? QStringLiteral("200,200,200") : start, &top);
        parseColor(end.isNull() ? QStringLiteral("128,128,128") : end, &bottom);
        setViewBackground(top, bottom);
    }
    // Through the ordinary setters, so that what a toggle does happens now.
    for (const Toggle& t : toggles())
        t.widget->setProperty("checked", settings.boolValue(t.element, t.attribute, t.widget->property("checked").toBool()));
    emit settingsRead();
}

void MainWindow::saveConfig(const QString& path)
{
    for (const Toggle& t : toggles())
        settings.setBool(t.element, t.attribute, t.widget->property("checked").toBool());
    emit settingsWriting();
    // A failed write leaves the old file whole and says nothing at exit.
    settings.save(path);
}

void MainWindow::on_actionBackground_color_triggered()
{
    const QColor top = QColorDialog::getColor(presetTop, this, tr("Background top color"));
    if (!top.isValid())
        return;
    const QColor bottom = QColorDialog::getColor(presetBottom, this, tr("Background bottom color"));
    if (!bottom.isValid())
        return;
    setViewBackground(top, bottom);
    settings.setValue(QStringLiteral("background"), QStringLiteral("start"), colorText(top));
    settings.setValue(QStringLiteral("background"), QStringLiteral("end"), colorText(bottom));
}

void MainWindow::setViewBackground(const QColor& top, const QColor& bottom)
{
    renderer->setBackground(top, bottom);
    renderWidget->update();
}

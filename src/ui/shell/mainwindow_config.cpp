// The settings file beside the executable (config.xml).
//
// The file is never made up from nothing: the shipped file decides which
// settings can be stored. Reading applies what it finds and keeps the
// document; writing updates the attributes that already exist and writes the
// whole document back, so unknown elements, attributes and comments survive.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "qrenderwidget.h"

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

bool isTrue(const QDomElement& e, const QString& attribute)
{
    return e.attribute(attribute, QStringLiteral("true")) == QLatin1String("true");
}

// Only attributes the file already has are updated.
void storeAttribute(QDomElement& e, const QString& attribute, const QString& value)
{
    if (!e.isNull() && e.hasAttribute(attribute))
        e.setAttribute(attribute, value);
}

void storeBool(QDomElement& e, const QString& attribute, bool value)
{
    storeAttribute(e, attribute, value ? QStringLiteral("true") : QStringLiteral("false"));
}

const QColor presetTop(192, 192, 192);
const QColor presetBottom(160, 160, 164);

} // namespace

void MainWindow::loadConfig(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDomDocument parsed;
    if (!parsed.setContent(&file)) {
        configUnreadable = true;
        return;
    }
    configUnreadable = false;
    config = parsed;
    for (QDomElement* handle : {&cfgBackground, &cfgUtilities, &cfgAttackClsn, &cfgCollisionClsn,
                                &cfgDefaultClsn, &cfgSwitchImagePalette, &cfgShowTransparency,
                                &cfgShowImageActivePalette})
        *handle = QDomElement();

    const QDomElement root = config.documentElement();
    if (root.tagName() != QLatin1String("config"))
        return;

    const QString visible = QStringLiteral("visible");
    const QString checked = QStringLiteral("checked");
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        if (e.isNull())
            continue;
        const QString tag = e.tagName();
        if (tag == QLatin1String("background")) {
            QColor top = presetTop;
            QColor bottom = presetBottom;
            parseColor(e.attribute(QStringLiteral("start"), QStringLiteral("200,200,200")), &top);
            parseColor(e.attribute(QStringLiteral("end"), QStringLiteral("128,128,128")), &bottom);
            setViewBackground(top, bottom);
            cfgBackground = e;
        } else if (tag == QLatin1String("utilities")) {
            ui->actionUtilities->setChecked(isTrue(e, visible));
            cfgUtilities = e;
        } else if (tag == QLatin1String("attack_clsn")) {
            ui->actionAttack_CLSN->setChecked(isTrue(e, visible));
            cfgAttackClsn = e;
        } else if (tag == QLatin1String("collision_clsn")) {
            ui->actionColision_CLSN->setChecked(isTrue(e, visible));
            cfgCollisionClsn = e;
        } else if (tag == QLatin1String("default_clsn")) {
            ui->actionDefault_CLSN->setChecked(isTrue(e, visible));
            cfgDefaultClsn = e;
        } else if (tag == QLatin1String("switch_image_palette")) {
            ui->sprImgPal->setChecked(isTrue(e, checked));
            cfgSwitchImagePalette = e;
        } else if (tag == QLatin1String("show_transparency_color")) {
            ui->sprCorTrans->setChecked(isTrue(e, checked));
            cfgShowTransparency = e;
        } else if (tag == QLatin1String("show_image_active_palette")) {
            ui->actPalImg->setChecked(isTrue(e, checked));
            cfgShowImageActivePalette = e;
        }
    }
}

void MainWindow::saveConfig(const QString& path)
{
    if (configUnreadable)
        return;
    const QString visible = QStringLiteral("visible");
    const QString checked = QStringLiteral("checked");
    storeBool(cfgUtilities, visible, ui->actionUtilities->isChecked());
    storeBool(cfgAttackClsn, visible, ui->actionAttack_CLSN->isChecked());
    storeBool(cfgCollisionClsn, visible, ui->actionColision_CLSN->isChecked());
    storeBool(cfgDefaultClsn, visible, ui->actionDefault_CLSN->isChecked());
    storeBool(cfgSwitchImagePalette, checked, ui->sprImgPal->isChecked());
    storeBool(cfgShowTransparency, checked, ui->sprCorTrans->isChecked());
    storeBool(cfgShowImageActivePalette, checked, ui->actPalImg->isChecked());

    // The old file stays whole until the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QTextStream out(&file);
    config.save(out, 4);
    out.flush();
    file.commit();
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
    storeAttribute(cfgBackground, QStringLiteral("start"), colorText(top));
    storeAttribute(cfgBackground, QStringLiteral("end"), colorText(bottom));
}

void MainWindow::setViewBackground(const QColor& top, const QColor& bottom)
{
    renderer->setBackground(top, bottom);
    renderWidget->update();
}

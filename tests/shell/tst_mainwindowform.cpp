// The forms: every widget, action and menu the slots find by name, with the
// texts, tips, icons, ranges and initial states users see, and a layout in
// which nothing overlaps or is cut off at the window's first size.
#include "spritedupl.h"
#include "ui_mainwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The picture an icon shows at the window's size, comparable whatever object
// the icon came from. An empty name means no icon at all.
void checkIcon(const QIcon& icon, const QString& file)
{
    if (file.isEmpty()) {
        QVERIFY(icon.isNull());
        return;
    }
    const QString path = QStringLiteral(":/icons/Nuvola/") + file;
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(icon.pixmap(QSize(24, 24)).toImage(), QIcon(path).pixmap(QSize(24, 24)).toImage());
}

// What a person reads on an object: its text; a combo box's items and a tab
// widget's pages (name=title), joined by "|"; a menu's title and entries, a
// menu bar's entries ("-" a separator, a submenu name=title).
QString shownText(QObject* o)
{
    QStringList s;
    if (auto* c = qobject_cast<QComboBox*>(o)) {
        for (int i = 0; i < c->count(); ++i)
            s << c->itemText(i);
        return s.join('|');
    }
    if (auto* t = qobject_cast<QTabWidget*>(o)) {
        for (int i = 0; i < t->count(); ++i)
            s << t->widget(i)->objectName() + '=' + t->tabText(i);
        return s.join('|');
    }
    if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) {
        for (QAction* a : static_cast<QWidget*>(o)->actions())
            s << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->objectName() + '=' + a->text()
                                                                     : a->objectName());
        auto* m = qobject_cast<QMenu*>(o);
        return (m ? m->title() + ": " : QString()) + s.join(' ');
    }
    return qobject_cast<QAbstractSpinBox*>(o) ? QString() : o->property("text").toString();
}

} // namespace

class TestMainWindowForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void structure();
    void objects_data();
    void objects();
    void pagesFitWithoutOverlap_data();
    void pagesFitWithoutOverlap();
    void spriteDuplForm();

private:
    QMainWindow* win = nullptr;
    Ui::MainWindow* ui = nullptr;
};

void TestMainWindowForm::init()
{
    win = new QMainWindow;
    ui = new Ui::MainWindow;
    ui->setupUi(win);
}

void TestMainWindowForm::cleanup()
{
    delete ui;
    delete win;
}

void TestMainWindowForm::structure()
{
    QCOMPARE(win->windowTitle(), QString("Morvane  9 Beta 1"));
    QCOMPARE(win->size(), QSize(750, 550));
    QCOMPARE(win->iconSize(), QSize(24, 24));
    QVERIFY(!win->windowIcon().isNull());

    // Editors on the left, the middle column the window fills, utilities on the right.
    auto* h = qobject_cast<QHBoxLayout*>(win->centralWidget()->layout());
    QVERIFY(h && h->count() == 3);
    QCOMPARE(h->itemAt(0)->widget(), ui->tabs);
    QCOMPARE(h->itemAt(1)->layout(), ui->verticalLayout);
    QCOMPARE(h->itemAt(2)->widget(), ui->utilTabs);
    QCOMPARE(ui->verticalLayout->count(), 0);
    QCOMPARE(ui->tabs->currentIndex(), 0);
    QCOMPARE(ui->utilTabs->currentIndex(), 0);
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
    for (QTabBar* bar : {ui->tabs->tabBar(), ui->utilTabs->tabBar()})
        for (int i = 0; i < bar->count(); ++i) // every title shown whole
            QVERIFY2(bar->rect().contains(bar->tabRect(i))
                         && bar->tabRect(i).width() >= bar->fontMetrics().horizontalAdvance(bar->tabText(i)),
                     qPrintable(bar->tabText(i)));

    for (const char* name : {"line", "line_2", "line_3", "line_4", "line_5", "line_6"})
        QCOMPARE(win->findChild<QFrame*>(name)->frameShape(), QFrame::HLine);
    QCOMPARE(ui->palrmTable->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(ui->palrmTable->selectionMode(), QAbstractItemView::SingleSelection);
    // The issues list is read-only: a double click must not open an editor.
    QCOMPARE(ui->issuesList->editTriggers(), QAbstractItemView::NoEditTriggers);
}

// One row per widget, menu or action: class, the text shown (see shownText),
// tip (both the tool tip and the status tip) and a list of attributes: the
// icon file, a spin box range (-32767..32767 when none is given) and the flags
// bold, checkable, checked, exclusive, disabled and statusonly (the tip is only
// the status tip and the what's-this text).
void TestMainWindowForm::objects_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("attrs");
    auto row = [](const char* name, const char* cls, const char* text, const char* tip = "", const char* attrs = "") {
        QTest::newRow(name) << QString(cls) << QString(text) << QString(tip) << QString(attrs);
    };
    auto label = [&](const char* name, const char* text, const char* attrs = "") { row(name, "QLabel", text, "", attrs); };
    auto spin = [&](const char* name, const char* tip, const char* attrs = "") { row(name, "QSpinBox", "", tip, attrs); };
    auto tool = [&](const char* name, const char* attrs, const char* tip = "") { row(name, "QToolButton", "", tip, attrs); };
    auto action = [&](const char* name, const char* text, const char* attrs = "") { row(name, "QAction", text, "", attrs); };

    row("tabs", "QTabWidget", "sffTab=SFF|actTab=ACT|sndTab=SND|airTab=AIR|cmdcnsTab=DEF / CMD / CNS");
    row("utilTabs", "QTabWidget", "issuesTab=Issues|searchTab=Search|palremapTab=Palette ReMap");

    // SFF page
    label("label", "Sprites:", "bold");
    row("sprPos", "QLabel", "0 / 0", "Display the active sprite index and the total number of sprites");
    row("sprSel", "QScrollBar", "", "Sets the sprite active for editing among those available in SFF");
    label("sprGrpLb", "Group:");
    label("sprImgLb", "Number:");
    spin("sprGrp", "Sprite group in SFF");
    spin("sprImg", "Image number within the group");
    label("sprYLb", "Y axis:");
    label("sprXLb", "X axis:");
    spin("sprY", "Sprite Y axis");
    spin("sprX", "X axis of the sprite");
    row("sprDeLoad", "QCheckBox", "Decompress on load", "Tell's Mugen to decompress the images when loading the SFF file.",
        "checkable");
    row("sprImgPal", "QCheckBox", "Switch to image's palette",
        "Automatically set the current image's palette as active palette in ACT editor.", "checkable checked");
    row("sprCorTrans", "QCheckBox", "Show transparency color", "Show transparency color", "checkable");
    label("sprLnk", "");
    label("sprSize", "");

    // ACT page
    label("label_2", "Palettes:", "bold");
    row("actSel", "QScrollBar", "", "Sets the palette active for editing among those available in SFF");
    row("actPos", "QLabel", "0 / 0", "Display the active palette index and the total number of palettes");
    label("actGrpLb", "Group:");
    label("actImgLb", "Number:");
    spin("actGrp", "Palette group in SFF");
    spin("actNum", "Palette number within the group");
    row("actPalImg", "QCheckBox", "Show sprite with the active palette",
        "Display the active sprite in SFF with the active palette", "checkable checked");
    tool("actTroca", "switchcolor.png");
    tool("actPega", "colorpicker.png checkable");
    tool("actCor", "setcolor.png");
    row("comboBox", "QComboBox", "|Blue to Red|Blue to Green|Green to Red|Green to Blue|Red to Green|Red to Blue|"
                                 "Lighter|Darker|Monochrome|Fire|Saphire|Stone");

    // SND page
    label("label_3", "Sounds:", "bold");
    row("sndSel", "QScrollBar", "", "Sets the sound active for editing among those available in SND");
    row("sndPos", "QLabel", "0 / 0", "Display the active sound index and the total number of sounds");
    label("actGrpLb_2", "Group:");
    label("actImgLb_2", "Number:");
    spin("sndGrp", "Sound group in SND");
    spin("sndNum", "Sound number within the group");
    label("sndInfo", "Channels: --\nSample rate: --\nBits per sample: --\nDuration: --");

    // AIR page
    label("label_4", "Animations:", "bold");
    row("airSel", "QScrollBar", "", "Sets the animation active for editing among those available in AIR");
    row("airPos", "QLabel", "0 / 0", "Display the active animations index and the total number of animations");
    label("label_5", "Name:");
    label("label_6", "Number:");
    row("airName", "QLineEdit", "", "Name of the animation");
    spin("airBA", "Number of the animation (Begin Action number)", "-32767..8388352");
    row("airAdd", "QToolButton", "+", "Add a new animation");
    row("airDel", "QToolButton", "-", "Delete the active animation");
    label("label_7", "Frames:", "bold");
    row("airFSel", "QScrollBar", "", "Sets the frame active for editing among those available in the active animation");
    row("airFPos", "QLabel", "0 / 0", "Display the active frame index and the total number of frames in the active animation");
    row("airFAdd", "QToolButton", "+", "Add a new frame in the active animation");
    row("airFDel", "QToolButton", "-", "Delete the active frame");
    label("label_8", "Group:");
    label("label_9", "Number:");
    spin("airGrp", "Group of the frame sprite in SFF");
    spin("airNo", "Sprite number within the group");
    label("sprXLb_2", "X axis:");
    label("sprYLb_2", "Y axis:");
    spin("airX", "X axis of the frame related to the sprite axis");
    spin("airY", "Y axis of the frame related to the sprite axis", "statusonly");
    label("label_12", "Time:");
    spin("airTime", "Time of the frame in game ticks", "-1..32767");
    label("label_13", "Flip:");
    row("airFlip", "QComboBox", "None|Vertically|Horizontally|Both", "Sets a flip effect on the frame");
    label("label_14", "Transparency:");
    row("airTrans", "QComboBox", "None|Addition|Subtraction", "Sets the transparency of the frame");
    label("label_15", "Source / Dest");
    spin("airSrc", "Sets the additive alpha source", "0..256");
    spin("airDst", "Sets the additive alpha destination", "0..256");
    tool("airPlay", "play.png checkable exclusive");
    tool("airStop", "stop.png checkable checked exclusive");
    tool("airLoop", "organizer.png checkable", "Start loop in this frame");
    tool("airClsn1", "addclsn1.png checkable", "Add an attack box");
    tool("airClsn2", "addclsn2.png checkable", "Add an collision box");
    tool("airDelClsn", "delclsn.png", "Delete the selected boxes");
    tool("airClsnType", "clsntype.png", "Change the type of the selected boxes");
    tool("airClsnDef", "clsndef.png", "Sets the selected boxes as default for the active frame and the following or unset");

    // DEF / CMD / CNS page and the utilities
    label("label_11", "Definitions / Coding:", "bold");
    row("treeView", "QTreeView", "");
    row("issuesList", "QListView", "");
    label("label_10", "Find:");
    row("findStr", "QLineEdit", "");
    row("findNext", "QPushButton", "Next");
    row("findPrev", "QPushButton", "Previous");
    label("label_16", "Replace with:", "disabled");
    row("lineEdit_2", "QLineEdit", "", "", "disabled");
    row("pushButton_3", "QPushButton", "Next", "", "disabled");
    row("pushButton_4", "QPushButton", "Previous", "", "disabled");
    row("pushButton_5", "QPushButton", "All", "", "disabled");
    row("palrmTable", "QTableView", "");
    tool("palrmAdd", "new.png", "Add a remap row: source palette to destination palette");
    tool("palrmDel", "delete.png", "Delete the selected remap row");

    // Actions, menu by menu. The tool buttons that show an action take its
    // text and icon from it (checked with the window).
    action("actionNovo", "New");
    action("actionAbrir", "Open");
    action("actionSalvar", "Save");
    action("actionBackground_color", "Background color");
    action("actionUtilities", "Utilities", "checkable checked");
    action("actionAttack_CLSN", "Attack CLSN", "checkable checked");
    action("actionColision_CLSN", "Collision CLSN", "checkable checked");
    action("actionDefault_CLSN", "Default CLSN", "checkable checked");
    action("actionNovo_2", "New", "new.png");
    action("actionAbrir_2", "Open", "open.png");
    action("actionSalvar_2", "Save", "save.png");
    action("actionSave_As", "Save As");
    action("actionNovo_sprite", "New sprite", "new.png");
    action("actionTrocar_imagem", "Change image", "openimg.png");
    action("actionSalvar_imagem", "Save image", "saveimg.png");
    action("actionDuplicar_sprite", "Duplicate sprite", "duplimg.png");
    action("actionExcluir_sprite", "Delete sprite", "delete.png");
    action("actionRemover_tudo", "Delete all");
    action("actionNew_palette", "New", "new.png");
    action("actionOpen_palette", "Open", "openpal.png");
    action("actionSave_palette", "Save", "savepal.png");
    action("actionDuplicate_palette", "Duplicate", "duplpal.png");
    action("actionDelete_palette", "Delete", "delete.png");
    action("actionNew_3", "New", "new.png");
    action("actionOpen_3", "Open", "open.png");
    action("actionSave_3", "Save", "save.png");
    action("actionSave_As_4", "Save As");
    action("actionNew_sound", "New sound", "new.png");
    action("actionChange_sound", "Change sound", "opensound.png");
    action("actionSave_Sound", "Save sound", "savesound.png");
    action("actionDuplicate_sound", "Duplicate sound", "duplsound.png");
    action("actionDelete_sound", "Delete sound", "delete.png");
    action("actionPlay", "Play", "play.png");
    action("actionPlay_with_loop", "Play with loop", "playloop.png");
    action("actionStop", "Stop", "stop.png");
    action("actionNew", "New", "new.png");
    action("actionOpen_2", "Open", "open.png");
    action("actionSave", "Save", "save.png");
    action("actionSave_As_2", "Save As");
    action("actionText_mode", "Text mode", "edittxt.png");
    action("actionSave_as_GIF", "Save as GIF", "gif.png");
    action("actionPlay_2", "Play", "play.png checkable");
    action("actionStop_2", "Stop", "stop.png checkable checked");
    action("actionFind", "Find", "find.png");
    action("actionNew_2", "New", "new.png");
    action("actionOpen", "Open", "open.png");
    action("actionSave_2", "Save", "save.png");
    action("actionSave_As_3", "Save As");
    action("actionSobre", "About...");

    // Menus: the title, then the entries
    row("menuBar", "QMenuBar", "menuMorvane=File menuView=View menuSFF=SFF menuACT=ACT menuSND=SND menuAIR=AIR "
                               "menuCMD_CNS=DEF/CMD/CNS menuAjuda=Help");
    row("menuMorvane", "QMenu", "File: actionNovo actionAbrir actionSalvar");
    row("menuView", "QMenu", "View: actionBackground_color actionUtilities - actionAttack_CLSN actionColision_CLSN "
                             "actionDefault_CLSN");
    row("menuSFF", "QMenu", "SFF: actionNovo_2 actionAbrir_2 actionSalvar_2 actionSave_As - actionNovo_sprite "
                            "actionTrocar_imagem actionSalvar_imagem actionDuplicar_sprite actionExcluir_sprite");
    row("menuACT", "QMenu", "ACT: actionRemover_tudo - actionNew_palette actionOpen_palette actionSave_palette "
                            "actionDuplicate_palette actionDelete_palette");
    row("menuSND", "QMenu", "SND: actionNew_3 actionOpen_3 actionSave_3 actionSave_As_4 - actionNew_sound "
                            "actionChange_sound actionSave_Sound actionDuplicate_sound actionDelete_sound - "
                            "actionPlay actionPlay_with_loop actionStop");
    row("menuAIR", "QMenu", "AIR: actionNew actionOpen_2 actionSave actionSave_As_2 - - actionText_mode "
                            "actionSave_as_GIF - actionPlay_2 actionStop_2 - actionFind");
    row("menuCMD_CNS", "QMenu", "DEF/CMD/CNS: actionNew_2 actionOpen actionSave_2 actionSave_As_3");
    row("menuAjuda", "QMenu", "Help: actionSobre");
}

void TestMainWindowForm::objects()
{
    QFETCH(QString, cls);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(QString, attrs);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QStringList a = attrs.split(' ', Qt::SkipEmptyParts);
    const QString icon = a.filter(".png").value(0);
    const QStringList range = a.filter("..").value(0, "-32767..32767").split("..");

    QObject* o = win->findChild<QObject*>(name);
    QVERIFY2(o, qPrintable(name));
    QCOMPARE(QString(o->metaObject()->className()), cls);
    QCOMPARE(shownText(o), text);
    // Actions and buttons alike.
    QCOMPARE(o->property("checkable").toBool(), a.contains("checkable"));
    QCOMPARE(o->property("checked").toBool(), a.contains("checked"));
    checkIcon(o->property("icon").value<QIcon>(), icon);
    if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        QCOMPARE(b->autoExclusive(), a.contains("exclusive"));
        QCOMPARE(b->iconSize(), icon.isEmpty() ? b->iconSize() : QSize(24, 24));
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        return;
    const bool statusOnly = a.contains("statusonly");
    QCOMPARE(w->toolTip(), statusOnly ? QString() : tip);
    QCOMPARE(w->statusTip(), tip);
    QCOMPARE(w->whatsThis(), statusOnly ? tip : QString());
    QCOMPARE(w->font().bold(), a.contains("bold"));
    QCOMPARE(w->isEnabled(), !a.contains("disabled"));
    if (auto* c = qobject_cast<QComboBox*>(w))
        QCOMPARE(c->currentIndex(), 0);
    if (auto* s = qobject_cast<QSpinBox*>(w))
        QCOMPARE(QString("%1..%2").arg(s->minimum()).arg(s->maximum()), range.join(".."));
    if (auto* s = qobject_cast<QScrollBar*>(w))
        QCOMPARE(s->orientation(), Qt::Horizontal);
}

void TestMainWindowForm::pagesFitWithoutOverlap_data()
{
    QTest::addColumn<QRect>("reserved"); // room kept for a widget the window adds
    for (const char* p : {"sffTab", "sndTab", "airTab", "searchTab"})
        QTest::newRow(p) << QRect();
    QTest::newRow("actTab") << QRect(10, 190, 192, 192); // the palette grid
}

void TestMainWindowForm::pagesFitWithoutOverlap()
{
    QFETCH(QRect, reserved);
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
    QWidget* p = win->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    // Make the page current so that it has its real size.
    for (QTabWidget* tw : {ui->tabs, ui->utilTabs})
        if (tw->indexOf(p) >= 0)
            tw->setCurrentWidget(p);
    QCoreApplication::processEvents();

    QList<QPair<QString, QRect>> placed;
    if (reserved.isValid())
        placed.append({QStringLiteral("(reserved)"), reserved});
    for (auto* w : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect r = w->geometry();
        const QString name = w->objectName();
        QVERIFY2(p->rect().contains(r), qPrintable(name + " lies outside the page"));
        // What the widget needs to show its whole text.
        QSize need;
        const QFontMetrics fm(w->font());
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QSpinBox*>(w)
            || qobject_cast<QComboBox*>(w))
            need = w->sizeHint();
        else if (auto* b = qobject_cast<QPushButton*>(w))
            need = QSize(fm.horizontalAdvance(b->text()) + 12, fm.height() + 4);
        else if (auto* t = qobject_cast<QToolButton*>(w))
            need = t->icon().isNull() ? QSize(fm.horizontalAdvance(t->text()) + 6, fm.height() + 4)
                                      : t->iconSize() + QSize(4, 4);
        if (need.isValid())
            QVERIFY2(need.width() <= r.width() && need.height() <= r.height(), qPrintable(name + " is cut off"));
        for (const auto& other : placed)
            QVERIFY2(!other.second.intersects(r), qPrintable(name + " overlaps " + other.first));
        placed.append({name, r});
    }
    QVERIFY(placed.size() > 8);
}

// What it does is driven through the sprite page's Duplicate.
void TestMainWindowForm::spriteDuplForm()
{
    SpriteDupl d;
    auto* link = d.findChild<QRadioButton*>("duplLink");
    QVERIFY(link && link->isChecked()); // a link costs nothing: the default
    QCOMPARE(link->text(), QString("Linkar a imagem"));
    QCOMPARE(d.findChild<QRadioButton*>("duplCopy")->text(), QString("Duplicar a imagem"));
    QCOMPARE(d.findChild<QDialogButtonBox*>("duplBtnBox")->standardButtons(),
             QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"

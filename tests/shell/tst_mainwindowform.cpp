// The main window's form: every widget, action and menu the slots find by
// name, with the texts, tips, icons, ranges and initial states users see, and
// a layout in which nothing overlaps or is cut off at the window's first size.
#include "ui_mainwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString iconDir = QStringLiteral(":/icons/Nuvola/");

// Pixels of an icon at the size the window shows them; equal images mean the
// same picture whatever object the icon came from.
QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(24, 24)).toImage();
}

} // namespace

class TestMainWindowForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void window();
    void centralLayout();
    void tabPages_data();
    void tabPages();
    void widgets_data();
    void widgets();
    void comboItems_data();
    void comboItems();
    void separatorLines();
    void itemViews();
    void actions_data();
    void actions();
    void menus_data();
    void menus();
    void translationRefillsTexts();
    void pagesFitWithoutOverlap_data();
    void pagesFitWithoutOverlap();
    void tabTitlesAllShown();

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
    ui = nullptr;
    win = nullptr;
}

void TestMainWindowForm::window()
{
    QCOMPARE(win->objectName(), QString("MainWindow"));
    QCOMPARE(win->windowTitle(), QString("Morvane  9 Beta 1"));
    QCOMPARE(win->size(), QSize(750, 550));
    QCOMPARE(win->iconSize(), QSize(24, 24));
    QVERIFY(!win->windowIcon().isNull());
    QCOMPARE(win->statusBar()->objectName(), QString("statusBar"));
    QCOMPARE(win->centralWidget()->objectName(), QString("centralWidget"));
    QVERIFY(win->findChildren<QToolBar*>().isEmpty());
}

void TestMainWindowForm::centralLayout()
{
    auto* h = qobject_cast<QHBoxLayout*>(win->centralWidget()->layout());
    QVERIFY(h);
    QCOMPARE(h->objectName(), QString("horizontalLayout"));
    QCOMPARE(h->contentsMargins(), QMargins(4, 4, 4, 4));
    QCOMPARE(h->count(), 3);
    QCOMPARE(h->itemAt(0)->widget(), ui->tabs);
    QCOMPARE(h->itemAt(1)->layout(), ui->verticalLayout);
    QCOMPARE(h->itemAt(2)->widget(), ui->utilTabs);
    QCOMPARE(ui->verticalLayout->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(ui->verticalLayout->count(), 0); // the window fills it
    QCOMPARE(ui->tabs->minimumWidth(), 216);
    QCOMPARE(ui->utilTabs->minimumWidth(), 216);
}

void TestMainWindowForm::tabPages_data()
{
    QTest::addColumn<QString>("tabWidget");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("editors") << "tabs"
                             << QStringList{"sffTab", "actTab", "sndTab", "airTab", "cmdcnsTab"}
                             << QStringList{"SFF", "ACT", "SND", "AIR", "DEF / CMD / CNS"};
    QTest::newRow("utilities") << "utilTabs" << QStringList{"issuesTab", "searchTab", "palremapTab"}
                               << QStringList{"Issues", "Search", "Palette ReMap"};
}

void TestMainWindowForm::tabPages()
{
    QFETCH(QString, tabWidget);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, titles);
    auto* tw = win->findChild<QTabWidget*>(tabWidget);
    QVERIFY(tw);
    QCOMPARE(tw->count(), pages.size());
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(tw->widget(i)->objectName(), pages[i]);
        QCOMPARE(tw->tabText(i), titles[i]);
    }
    QCOMPARE(tw->currentIndex(), 0);
}

// One row per widget. flags: bold, checkable, checked, exclusive, disabled.
// A tool tip is also the status tip unless the row says otherwise.
void TestMainWindowForm::widgets_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("statusTip");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QPoint>("range"); // spin boxes: minimum, maximum

    const QPoint spinRange(-32767, 32767);
    auto row = [&](const char* name, const char* cls, const QString& text, const QString& tip = QString(),
                   const QString& icon = QString(), const QStringList& flags = {}, QPoint range = QPoint(0, 0)) {
        QTest::newRow(name) << cls << text << tip << tip << icon << flags << range;
    };
    auto label = [&](const char* name, const QString& text, const QStringList& flags = {}) {
        row(name, "QLabel", text, QString(), QString(), flags);
    };
    auto spin = [&](const char* name, const QString& tip, QPoint range) {
        row(name, "QSpinBox", QString(), tip, QString(), {}, range);
    };
    auto scroll = [&](const char* name, const QString& tip) { row(name, "QScrollBar", QString(), tip); };
    auto tool = [&](const char* name, const QString& icon, const QStringList& flags = {},
                    const QString& tip = QString()) { row(name, "QToolButton", QString(), tip, icon, flags); };

    // SFF page
    label("label", "Sprites:", {"bold"});
    row("sprPos", "QLabel", "0 / 0", "Display the active sprite index and the total number of sprites");
    scroll("sprSel", "Sets the sprite active for editing among those available in SFF");
    label("sprGrpLb", "Group:");
    label("sprImgLb", "Number:");
    spin("sprGrp", "Sprite group in SFF", spinRange);
    spin("sprImg", "Image number within the group", spinRange);
    label("sprYLb", "Y axis:");
    label("sprXLb", "X axis:");
    spin("sprY", "Sprite Y axis", spinRange);
    spin("sprX", "X axis of the sprite", spinRange);
    tool("sprNew", "new.png");
    tool("sprChange", "openimg.png");
    tool("sprSave", "saveimg.png");
    tool("sprDuplicate", "duplimg.png");
    tool("sprDelete", "delete.png");
    row("sprDeLoad", "QCheckBox", "Decompress on load",
        "Tell's Mugen to decompress the images when loading the SFF file.", QString(), {"checkable"});
    row("sprImgPal", "QCheckBox", "Switch to image's palette",
        "Automatically set the current image's palette as active palette in ACT editor.", QString(),
        {"checkable", "checked"});
    row("sprCorTrans", "QCheckBox", "Show transparency color", "Show transparency color", QString(),
        {"checkable"});
    label("sprLnk", "");
    label("sprSize", "");

    // ACT page
    label("label_2", "Palettes:", {"bold"});
    scroll("actSel", "Sets the palette active for editing among those available in SFF");
    row("actPos", "QLabel", "0 / 0", "Display the active palette index and the total number of palettes");
    label("actGrpLb", "Group:");
    label("actImgLb", "Number:");
    spin("actGrp", "Palette group in SFF", spinRange);
    spin("actNum", "Palette number within the group", spinRange);
    tool("actNew", "new.png");
    tool("actOpen", "openpal.png");
    tool("actSave", "savepal.png");
    tool("actDuplicate", "duplpal.png");
    tool("actDelete", "delete.png");
    row("actPalImg", "QCheckBox", "Show sprite with the active palette",
        "Display the active sprite in SFF with the active palette", QString(), {"checkable", "checked"});
    tool("actTroca", "switchcolor.png");
    tool("actPega", "colorpicker.png", {"checkable"});
    tool("actCor", "setcolor.png");
    row("comboBox", "QComboBox", QString());

    // SND page
    label("label_3", "Sounds:", {"bold"});
    scroll("sndSel", "Sets the sound active for editing among those available in SND");
    row("sndPos", "QLabel", "0 / 0", "Display the active sound index and the total number of sounds");
    label("actGrpLb_2", "Group:");
    label("actImgLb_2", "Number:");
    spin("sndGrp", "Sound group in SND", spinRange);
    spin("sndNum", "Sound number within the group", spinRange);
    tool("sndNew", "new.png");
    tool("sndChange", "opensound.png");
    tool("sndSave", "savesound.png");
    tool("sndDuplicate", "duplimg.png");
    tool("sndPlay", "play.png");
    tool("sndPlayLoop", "playloop.png");
    tool("sndStop", "stop.png");
    tool("sndDelete", "delete.png");
    label("sndInfo", "Channels: --\nSample rate: --\nBits per sample: --\nDuration: --");

    // AIR page
    label("label_4", "Animations:", {"bold"});
    scroll("airSel", "Sets the animation active for editing among those available in AIR");
    row("airPos", "QLabel", "0 / 0",
        "Display the active animations index and the total number of animations");
    label("label_5", "Name:");
    label("label_6", "Number:");
    row("airName", "QLineEdit", "", "Name of the animation");
    spin("airBA", "Number of the animation (Begin Action number)", QPoint(-32767, 8388352));
    row("airAdd", "QToolButton", "+", "Add a new animation");
    row("airDel", "QToolButton", "-", "Delete the active animation");
    tool("airTxt", "edittxt.png");
    tool("airGif", "gif.png");
    label("label_7", "Frames:", {"bold"});
    scroll("airFSel", "Sets the frame active for editing among those available in the active animation");
    row("airFPos", "QLabel", "0 / 0",
        "Display the active frame index and the total number of frames in the active animation");
    row("airFAdd", "QToolButton", "+", "Add a new frame in the active animation");
    row("airFDel", "QToolButton", "-", "Delete the active frame");
    label("label_8", "Group:");
    label("label_9", "Number:");
    spin("airGrp", "Group of the frame sprite in SFF", spinRange);
    spin("airNo", "Sprite number within the group", spinRange);
    label("sprXLb_2", "X axis:");
    label("sprYLb_2", "Y axis:");
    spin("airX", "X axis of the frame related to the sprite axis", spinRange);
    // airY has a status tip and a what's-this text but no tool tip.
    QTest::newRow("airY") << "QSpinBox" << QString() << QString()
                          << "Y axis of the frame related to the sprite axis" << QString() << QStringList()
                          << spinRange;
    label("label_12", "Time:");
    spin("airTime", "Time of the frame in game ticks", QPoint(-1, 32767));
    label("label_13", "Flip:");
    row("airFlip", "QComboBox", QString(), "Sets a flip effect on the frame");
    label("label_14", "Transparency:");
    row("airTrans", "QComboBox", QString(), "Sets the transparency of the frame");
    label("label_15", "Source / Dest");
    spin("airSrc", "Sets the additive alpha source", QPoint(0, 256));
    spin("airDst", "Sets the additive alpha destination", QPoint(0, 256));
    tool("airPlay", "play.png", {"checkable", "exclusive"});
    tool("airStop", "stop.png", {"checkable", "checked", "exclusive"});
    tool("airLoop", "organizer.png", {"checkable"}, "Start loop in this frame");
    tool("airClsn1", "addclsn1.png", {"checkable"}, "Add an attack box");
    tool("airClsn2", "addclsn2.png", {"checkable"}, "Add an collision box");
    tool("airDelClsn", "delclsn.png", {}, "Delete the selected boxes");
    tool("airClsnType", "clsntype.png", {}, "Change the type of the selected boxes");
    tool("airClsnDef", "clsndef.png", {},
         "Sets the selected boxes as default for the active frame and the following or unset");
    tool("airFind", "find.png");

    // DEF / CMD / CNS page and the utilities
    label("label_11", "Definitions / Coding:", {"bold"});
    row("treeView", "QTreeView", QString());
    row("issuesList", "QListView", QString());
    label("label_10", "Find:");
    row("findStr", "QLineEdit", "");
    row("findNext", "QPushButton", "Next");
    row("findPrev", "QPushButton", "Previous");
    label("label_16", "Replace with:", {"disabled"});
    row("lineEdit_2", "QLineEdit", "", QString(), QString(), {"disabled"});
    row("pushButton_3", "QPushButton", "Next", QString(), QString(), {"disabled"});
    row("pushButton_4", "QPushButton", "Previous", QString(), QString(), {"disabled"});
    row("pushButton_5", "QPushButton", "All", QString(), QString(), {"disabled"});
    row("palrmTable", "QTableView", QString());
    // The two remap buttons have tips of their own (checked for presence below).
    tool("palrmAdd", "new.png");
    tool("palrmDel", "delete.png");
}

void TestMainWindowForm::widgets()
{
    QFETCH(QString, cls);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, statusTip);
    QFETCH(QString, icon);
    QFETCH(QStringList, flags);
    QFETCH(QPoint, range);
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    QWidget* w = win->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
    if (w->metaObject()->indexOfProperty("text") >= 0)
        QCOMPARE(w->property("text").toString(), text);

    if (name == "palrmAdd" || name == "palrmDel") {
        QVERIFY(!w->toolTip().isEmpty());
        QCOMPARE(w->statusTip(), w->toolTip());
    } else {
        QCOMPARE(w->toolTip(), toolTip);
        QCOMPARE(w->statusTip(), statusTip);
    }
    if (name == "airY")
        QCOMPARE(w->whatsThis(), QString("Y axis of the frame related to the sprite axis"));

    QCOMPARE(w->font().bold(), flags.contains("bold"));
    QCOMPARE(w->isEnabled(), !flags.contains("disabled"));

    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QCOMPARE(b->isCheckable(), flags.contains("checkable"));
        QCOMPARE(b->isChecked(), flags.contains("checked"));
        QCOMPARE(b->autoExclusive(), flags.contains("exclusive"));
        if (icon.isEmpty()) {
            QVERIFY(b->icon().isNull());
        } else {
            const QString path = iconDir + icon;
            QVERIFY2(QFile::exists(path), qPrintable(path));
            QCOMPARE(iconImage(b->icon()), iconImage(QIcon(path)));
            QCOMPARE(b->iconSize(), QSize(24, 24));
        }
    }
    if (auto* s = qobject_cast<QSpinBox*>(w)) {
        QCOMPARE(s->minimum(), range.x());
        QCOMPARE(s->maximum(), range.y());
    }
    if (auto* s = qobject_cast<QScrollBar*>(w))
        QCOMPARE(s->orientation(), Qt::Horizontal);
}

void TestMainWindowForm::comboItems_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::newRow("comboBox") << QStringList{"",           "Blue to Red", "Blue to Green", "Green to Red",
                                             "Green to Blue", "Red to Green", "Red to Blue", "Lighter",
                                             "Darker",      "Monochrome",  "Fire",          "Saphire",
                                             "Stone"};
    QTest::newRow("airFlip") << QStringList{"None", "Vertically", "Horizontally", "Both"};
    QTest::newRow("airTrans") << QStringList{"None", "Addition", "Subtraction"};
}

void TestMainWindowForm::comboItems()
{
    QFETCH(QStringList, items);
    auto* c = win->findChild<QComboBox*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(c);
    QStringList got;
    for (int i = 0; i < c->count(); ++i)
        got << c->itemText(i);
    QCOMPARE(got, items);
    QCOMPARE(c->currentIndex(), 0);
}

void TestMainWindowForm::separatorLines()
{
    for (const char* name : {"line", "line_2", "line_3", "line_4", "line_5", "line_6"}) {
        auto* f = win->findChild<QFrame*>(name);
        QVERIFY2(f, name);
        QCOMPARE(f->frameShape(), QFrame::HLine);
        QCOMPARE(f->frameShadow(), QFrame::Plain);
        QCOMPARE(f->lineWidth(), 2);
    }
}

void TestMainWindowForm::itemViews()
{
    QCOMPARE(ui->palrmTable->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(ui->palrmTable->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!ui->treeView->model());
    // The issues list is read-only: a double click must not open an editor.
    QCOMPARE(ui->issuesList->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestMainWindowForm::actions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    auto row = [](const char* name, const char* text, const char* icon = "", bool checkable = false,
                  bool checked = false) {
        QTest::newRow(name) << QString(text) << QString(icon) << checkable << checked;
    };
    row("actionNovo", "New");
    row("actionAbrir", "Open");
    row("actionSalvar", "Save");
    row("actionNovo_2", "New", "new.png");
    row("actionAbrir_2", "Open", "open.png");
    row("actionSalvar_2", "Save", "save.png");
    row("actionSave_As", "Save As");
    row("actionNovo_sprite", "New sprite", "new.png");
    row("actionTrocar_imagem", "Change image", "openimg.png");
    row("actionSalvar_imagem", "Save image", "saveimg.png");
    row("actionDuplicar_sprite", "Duplicate sprite", "duplimg.png");
    row("actionExcluir_sprite", "Delete sprite", "delete.png");
    row("actionSobre", "About...");
    row("actionRemover_tudo", "Delete all");
    row("actionNew", "New", "new.png");
    row("actionOpen_2", "Open", "open.png");
    row("actionSave", "Save", "save.png");
    row("actionSave_As_2", "Save As");
    row("actionNew_2", "New", "new.png");
    row("actionOpen", "Open", "open.png");
    row("actionSave_2", "Save", "save.png");
    row("actionSave_As_3", "Save As");
    row("actionNew_palette", "New", "new.png");
    row("actionOpen_palette", "Open", "openpal.png");
    row("actionSave_palette", "Save", "savepal.png");
    row("actionDuplicate_palette", "Duplicate", "duplpal.png");
    row("actionDelete_palette", "Delete", "delete.png");
    row("actionBackground_color", "Background color");
    row("actionAttack_CLSN", "Attack CLSN", "", true, true);
    row("actionColision_CLSN", "Collision CLSN", "", true, true);
    row("actionDefault_CLSN", "Default CLSN", "", true, true);
    row("actionNew_3", "New", "new.png");
    row("actionOpen_3", "Open", "open.png");
    row("actionSave_3", "Save", "save.png");
    row("actionSave_As_4", "Save As");
    row("actionNew_sound", "New sound", "new.png");
    row("actionChange_sound", "Change sound", "opensound.png");
    row("actionSave_Sound", "Save sound", "savesound.png");
    row("actionDuplicate_sound", "Duplicate sound", "duplsound.png");
    row("actionDelete_sound", "Delete sound", "delete.png");
    row("actionPlay", "Play", "play.png");
    row("actionPlay_with_loop", "Play with loop", "playloop.png");
    row("actionStop", "Stop", "stop.png");
    row("actionText_mode", "Text mode", "edittxt.png");
    row("actionSave_as_GIF", "Save as GIF", "gif.png");
    row("actionPlay_2", "Play", "play.png", true, false);
    row("actionStop_2", "Stop", "stop.png", true, true);
    row("actionFind", "Find", "find.png");
    row("actionUtilities", "Utilities", "", true, true);
}

void TestMainWindowForm::actions()
{
    QFETCH(QString, text);
    QFETCH(QString, icon);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto* a = win->findChild<QAction*>(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->parent(), win);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->isCheckable(), checkable);
    QCOMPARE(a->isChecked(), checked);
    QVERIFY(a->shortcut().isEmpty());
    if (icon.isEmpty()) {
        QVERIFY(a->icon().isNull());
    } else {
        const QString path = iconDir + icon;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(iconImage(a->icon()), iconImage(QIcon(path)));
    }
}

void TestMainWindowForm::menus_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items"); // "-" is a separator
    QTest::newRow("menuMorvane") << "File" << QStringList{"actionNovo", "actionAbrir", "actionSalvar"};
    QTest::newRow("menuView") << "View"
                              << QStringList{"actionBackground_color", "actionUtilities", "-",
                                             "actionAttack_CLSN", "actionColision_CLSN", "actionDefault_CLSN"};
    QTest::newRow("menuSFF") << "SFF"
                             << QStringList{"actionNovo_2", "actionAbrir_2", "actionSalvar_2", "actionSave_As",
                                            "-", "actionNovo_sprite", "actionTrocar_imagem",
                                            "actionSalvar_imagem", "actionDuplicar_sprite",
                                            "actionExcluir_sprite"};
    QTest::newRow("menuACT") << "ACT"
                             << QStringList{"actionRemover_tudo", "-", "actionNew_palette",
                                            "actionOpen_palette", "actionSave_palette",
                                            "actionDuplicate_palette", "actionDelete_palette"};
    QTest::newRow("menuSND") << "SND"
                             << QStringList{"actionNew_3", "actionOpen_3", "actionSave_3", "actionSave_As_4",
                                            "-", "actionNew_sound", "actionChange_sound", "actionSave_Sound",
                                            "actionDuplicate_sound", "actionDelete_sound", "-", "actionPlay",
                                            "actionPlay_with_loop", "actionStop"};
    QTest::newRow("menuAIR") << "AIR"
                             << QStringList{"actionNew", "actionOpen_2", "actionSave", "actionSave_As_2", "-",
                                            "-", "actionText_mode", "actionSave_as_GIF", "-", "actionPlay_2",
                                            "actionStop_2", "-", "actionFind"};
    QTest::newRow("menuCMD_CNS") << "DEF/CMD/CNS"
                                 << QStringList{"actionNew_2", "actionOpen", "actionSave_2", "actionSave_As_3"};
    QTest::newRow("menuAjuda") << "Help" << QStringList{"actionSobre"};
}

void TestMainWindowForm::menus()
{
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto* menu = win->findChild<QMenu*>(name);
    QVERIFY(menu);
    QCOMPARE(menu->title(), title);
    QStringList got;
    for (QAction* a : menu->actions())
        got << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(got, items);

    // The menu bar holds the menus in this order.
    static const QStringList order{"menuMorvane", "menuView", "menuSFF", "menuACT",
                                   "menuSND", "menuAIR", "menuCMD_CNS", "menuAjuda"};
    const QList<QAction*> bar = win->menuBar()->actions();
    QCOMPARE(bar.size(), order.size());
    QCOMPARE(bar.at(order.indexOf(name))->menu(), menu);
    QCOMPARE(win->menuBar()->objectName(), QString("menuBar"));
}

void TestMainWindowForm::translationRefillsTexts()
{
    // The translation step sets every text: wipe a few and run it again.
    ui->sprPos->setText("9 / 9");
    ui->airFlip->setItemText(2, "x");
    ui->tabs->setTabText(4, "x");
    ui->sprSel->setToolTip(QString());
    ui->actionSobre->setText(QString());
    ui->menuAjuda->setTitle(QString());
    ui->airFlip->setCurrentIndex(3);
    ui->retranslateUi(win);
    QCOMPARE(ui->sprPos->text(), QString("0 / 0"));
    QCOMPARE(ui->airFlip->itemText(2), QString("Horizontally"));
    QCOMPARE(ui->airFlip->count(), 4);
    QCOMPARE(ui->airFlip->currentIndex(), 3); // a language change keeps the choice
    QCOMPARE(ui->tabs->tabText(4), QString("DEF / CMD / CNS"));
    QCOMPARE(ui->sprSel->toolTip(), QString("Sets the sprite active for editing among those available in SFF"));
    QCOMPARE(ui->actionSobre->text(), QString("About..."));
    QCOMPARE(ui->menuAjuda->title(), QString("Help"));
}

// Pages laid out by hand: at the window's first size every widget lies inside
// its page, next to (not over) its neighbours, and shows its whole text.
void TestMainWindowForm::pagesFitWithoutOverlap_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QRect>("reserved"); // room kept for a widget the window adds
    for (const char* p : {"sffTab", "sndTab", "airTab", "searchTab"})
        QTest::newRow(p) << QString(p) << QRect();
    QTest::newRow("actTab") << "actTab" << QRect(10, 190, 192, 192); // the palette grid
}

void TestMainWindowForm::pagesFitWithoutOverlap()
{
    QFETCH(QString, page);
    QFETCH(QRect, reserved);
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
    QCOMPARE(win->size(), QSize(750, 550));
    QWidget* p = win->findChild<QWidget*>(page);
    QVERIFY(p);
    // Make the page current so that it has its real size.
    for (QTabWidget* tw : {ui->tabs, ui->utilTabs})
        if (tw->indexOf(p) >= 0)
            tw->setCurrentWidget(p);
    QCoreApplication::processEvents();
    const QRect area = p->rect();

    struct Item { QString name; QRect r; };
    QList<Item> items;
    if (reserved.isValid())
        items.append({QStringLiteral("(reserved)"), reserved});
    for (QObject* o : p->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        const QRect r = w->geometry();
        const QString name = w->objectName();
        QVERIFY2(area.contains(r), qPrintable(QString("%1 %2 lies outside the page %3x%4").arg(name)
                                                  .arg(QDebug::toString(r)).arg(area.width()).arg(area.height())));

        // What the widget needs to show its whole text.
        QSize need;
        const QFontMetrics fm(w->font());
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QSpinBox*>(w)
            || qobject_cast<QComboBox*>(w)) {
            need = w->sizeHint();
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            need = QSize(fm.horizontalAdvance(b->text()) + 12, fm.height() + 4);
        } else if (auto* t = qobject_cast<QToolButton*>(w)) {
            need = t->icon().isNull() ? QSize(fm.horizontalAdvance(t->text()) + 6, fm.height() + 4)
                                      : t->iconSize() + QSize(4, 4);
        }
        if (need.isValid()) {
            QVERIFY2(need.width() <= r.width() && need.height() <= r.height(),
                     qPrintable(QString("%1 needs %2x%3 but has %4x%5").arg(name).arg(need.width())
                                    .arg(need.height()).arg(r.width()).arg(r.height())));
        }
        for (const Item& other : items)
            QVERIFY2(!other.r.intersects(r), qPrintable(name + " overlaps " + other.name));
        items.append({name, r});
    }
    QVERIFY(items.size() > 8);
}

void TestMainWindowForm::tabTitlesAllShown()
{
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
    for (QTabWidget* tw : {ui->tabs, ui->utilTabs}) {
        QTabBar* bar = tw->tabBar();
        for (int i = 0; i < bar->count(); ++i) {
            const QRect r = bar->tabRect(i);
            QVERIFY2(bar->rect().contains(r), qPrintable(bar->tabText(i)));
            QVERIFY(r.width() >= bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
        }
    }
}

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"

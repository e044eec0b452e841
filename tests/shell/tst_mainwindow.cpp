// The main window's shell: the form as its slots and a person find it, its
// compiled-in images, the modified marks and the discard question, closing
// with unsaved work, the progress dialog of long loads, tab switching, the
// utilities pane, New, the translation step, the About dialog, the settings
// file and what each page looks like.
#include "about.h"
#include "mainwindow.h"
#include "qmessages.h"
#include "savefile.h"
#include "spritedupl.h"
#include "testsupport.h"
#include "ui_mainwindow.h"
#include "windowfixture.h"

#include <QDirIterator>
#include <QDomDocument>
#include <QtTest>
#include <QtWidgets>

using testsupport::answerMessageBox;
using testsupport::readFile;
using testsupport::takeDialogsSeen;

namespace {

QStringList words(const QString& s)
{
    return s.split(' ', Qt::SkipEmptyParts);
}

// What a widget needs to show its whole text or icon; nothing for the rest.
QSize neededSize(QWidget* w)
{
    const QFontMetrics fm(w->font());
    if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QSpinBox*>(w)
        || qobject_cast<QComboBox*>(w))
        return w->sizeHint();
    if (auto* b = qobject_cast<QPushButton*>(w))
        return QSize(fm.horizontalAdvance(b->text()) + 12, fm.height() + 4);
    if (auto* t = qobject_cast<QToolButton*>(w))
        return t->icon().isNull() ? QSize(fm.horizontalAdvance(t->text()) + 6, fm.height() + 4)
                                  : t->iconSize() + QSize(4, 4);
    return QSize(0, 0);
}

// What a person reads on an object: its text, or a combo box's items and a
// tab widget's pages (name=title) joined by "|".
QString shownText(QObject* o)
{
    QStringList s;
    if (auto* c = qobject_cast<QComboBox*>(o))
        for (int i = 0; i < c->count(); ++i)
            s << c->itemText(i);
    else if (auto* t = qobject_cast<QTabWidget*>(o))
        for (int i = 0; i < t->count(); ++i)
            s << t->widget(i)->objectName() + '=' + t->tabText(i);
    else
        return qobject_cast<QAbstractSpinBox*>(o) ? QString() : o->property("text").toString();
    return s.join('|');
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir.isValid() && windowfixture::installShippedConfig()); }
    void init();
    void cleanup();

    void formObjects_data();
    void formObjects();
    void slotsMenusAndToolButtons();
    void compiledImages();
    void pagesFitWithoutOverlap();
    void confirmDiscardAndMarks_data();
    void confirmDiscardAndMarks();
    void closeAsksForEachModifiedArchive_data();
    void closeAsksForEachModifiedArchive();
    void progress_data();
    void progress();
    void tabsUtilitiesNewAndTranslation();
    void aboutDialog();
    void readingSettings_data();
    void readingSettings();
    void writingSettings();

private:
    template <class T = QObject> T* child(const QString& name) { return w->findChild<T*>(name); }
    // The document a tab edits (SFF and ACT share the sprite archive).
    QFileDocument* document(int tab)
    {
        return tab <= 1 ? static_cast<QFileDocument*>(&w->spriteArchive())
               : tab == 2 ? static_cast<QFileDocument*>(&w->soundArchive())
                          : &w->animationSet();
    }
    QString titles(const char* tabs = "tabs")
    {
        QStringList s;
        for (int i = 0; i < child<QTabWidget>(tabs)->count(); ++i)
            s << child<QTabWidget>(tabs)->widget(i)->objectName() + '=' + child<QTabWidget>(tabs)->tabText(i);
        return s.join('|');
    }
    // The seven settings in the file's order as 0 and 1, after setting them
    // to `set` when given. Actions and check boxes alike hold "checked".
    QString states(const QString& set = QString())
    {
        QString s;
        for (const QString& name : words("actionUtilities actionAttack_CLSN actionColision_CLSN actionDefault_CLSN "
                                         "sprImgPal sprCorTrans actPalImg")) {
            if (!set.isEmpty())
                child(name)->setProperty("checked", set[s.size()] == '1');
            s += child(name)->property("checked").toBool() ? '1' : '0';
        }
        return s;
    }

    MainWindow* w = nullptr;
    QTemporaryDir dir;
};

void TestMainWindow::init()
{
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindow::cleanup()
{
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

// The form as the designer left it, before the window changes any state:
// every object with its class, text, tips, icon, range and initial state.
void TestMainWindow::formObjects_data()
{
    QTest::addColumn<QStringList>("row");
    QFile table(QStringLiteral(MORVANE_FORM_TABLE));
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!table.atEnd()) {
        const QString line = QString::fromUtf8(table.readLine()).chopped(1).replace("\\n", "\n");
        if (!line.isEmpty() && !line.startsWith('#'))
            QTest::newRow(qPrintable(line.section('\t', 0, 0))) << line.split('\t');
    }
}

void TestMainWindow::formObjects()
{
    QFETCH(QStringList, row);
    QCOMPARE(row.size(), 5);
    QMainWindow form;
    Ui::MainWindow ui;
    ui.setupUi(&form);
    const QString tip = row[3];
    const QStringList a = words(row[4]);
    const QString icon = a.filter(".png").value(0);

    QObject* o = form.findChild<QObject*>(row[0]);
    QVERIFY2(o, qPrintable(row[0]));
    QCOMPARE(QString(o->metaObject()->className()), row[1]);
    QCOMPARE(shownText(o), row[2]);
    QCOMPARE(o->property("checkable").toBool(), a.contains("checkable"));
    QCOMPARE(o->property("checked").toBool(), a.contains("checked"));
    const QIcon shown = o->property("icon").value<QIcon>();
    if (icon.isEmpty())
        QVERIFY(shown.isNull());
    else
        QCOMPARE(shown.pixmap(24, 24).toImage(), QIcon(":/icons/Nuvola/" + icon).pixmap(24, 24).toImage());
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        QCOMPARE(b->autoExclusive(), a.contains("exclusive"));
    auto* widget = qobject_cast<QWidget*>(o);
    if (!widget)
        return;
    const bool statusOnly = a.contains("statusonly");
    QCOMPARE(widget->toolTip(), statusOnly ? QString() : tip);
    QCOMPARE(widget->statusTip(), tip);
    QCOMPARE(widget->whatsThis(), statusOnly ? tip : QString());
    QCOMPARE(widget->font().bold(), a.contains("bold"));
    QCOMPARE(widget->isEnabled(), !a.contains("disabled"));
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        QCOMPARE(QString("%1..%2").arg(spin->minimum()).arg(spin->maximum()),
                 a.filter("..").value(0, "-32767..32767"));
}

void TestMainWindow::slotsMenusAndToolButtons()
{
    // Slots are connected by the names of the form's objects: a renamed object
    // leaves its slot unconnected, which Qt only reports as a warning.
    QTest::failOnWarning(QRegularExpression("connectSlotsByName"));
    const MainWindow fresh;
    const About about;
    const SpriteDupl dupl;

    // Menus in order; "-" is a separator, "+" marks an entry with an icon, a
    // submenu lists its entries in brackets.
    std::function<QString(QMenu*)> entriesOf = [&](QMenu* menu) {
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << (a->isSeparator() ? QStringLiteral("-")
                        : a->menu()   ? a->menu()->objectName() + '=' + a->text() + '(' + entriesOf(a->menu()) + ')'
                                      : a->objectName() + (a->icon().isNull() ? "" : "+"));
        return entries.join(' ');
    };
    QStringList menus;
    for (QAction* m : w->menuBar()->actions())
        menus << m->menu()->objectName() + '=' + m->text() + ": " + entriesOf(m->menu());
    QCOMPARE(menus, QStringList({
        "menuMorvane=File: actionNovo actionAbrir actionSalvar actionSalvar_como actionFechar - "
        "menuRecent_files=Recent files() - actionSair",
        "menuEdit=Edit: actionUndo actionRedo - actionFind+ actionFind_next actionFind_previous",
        "menuView=View: actionBackground_color actionUtilities actionSprite_list - actionZoom_in actionZoom_out "
        "actionFit actionActual_size - actionAttack_CLSN actionColision_CLSN "
        "actionDefault_CLSN - menuEncoding=Encoding(actionUTF_8 actionWindows_1252 actionShift_JIS actionCP949 "
        "actionGBK actionBig5) menuLanguage=Language(languageEnglish languagePt_BR)",
        "menuSFF=SFF: actionNovo_2+ actionAbrir_2+ actionSalvar_2+ actionSave_As - actionNovo_sprite+ "
        "actionTrocar_imagem+ actionSalvar_imagem+ actionDuplicar_sprite+ actionExcluir_sprite+",
        "menuACT=ACT: actionRemover_tudo - actionNew_palette+ actionOpen_palette+ actionSave_palette+ "
        "actionDuplicate_palette+ actionDelete_palette+",
        "menuSND=SND: actionNew_3+ actionOpen_3+ actionSave_3+ actionSave_As_4 - actionNew_sound+ actionChange_sound+ "
        "actionSave_Sound+ actionDuplicate_sound+ actionDelete_sound+ - actionPlay+ actionPlay_with_loop+ actionStop+",
        "menuAIR=AIR: actionNew+ actionOpen_2+ actionSave+ actionSave_As_2 - - actionText_mode+ actionSave_as_GIF+ - "
        "actionPlay_2+ actionStop_2+ - actionFind+",
        "menuCMD_CNS=DEF/CMD/CNS: actionNew_2+ actionOpen+ actionSave_2+ actionSave_As_3 - actionGo_to_line "
        "actionGo_to_Statedef actionNext_problem actionPrevious_problem",
        "menuAjuda=Help: actionSobre",
    }));
    QCOMPARE(titles(), QString("sffTab=SFF|actTab=ACT|sndTab=SND|airTab=AIR|cmdcnsTab=DEF / CMD / CNS"));
    QCOMPARE(titles("utilTabs"), QString("issuesTab=Issues|searchTab=Search|palremapTab=Palette ReMap|historyTab=History"));

    // Tool buttons that stand for a menu's action show its icon and tip and trigger it.
    for (const QString& pair : words(
             "sprNew=actionNovo_sprite sprChange=actionTrocar_imagem sprSave=actionSalvar_imagem "
             "sprDuplicate=actionDuplicar_sprite sprDelete=actionExcluir_sprite actNew=actionNew_palette "
             "actOpen=actionOpen_palette actSave=actionSave_palette actDuplicate=actionDuplicate_palette "
             "actDelete=actionDelete_palette airTxt=actionText_mode airGif=actionSave_as_GIF airPlay=actionPlay_2 "
             "airStop=actionStop_2 airFind=actionFind sndNew=actionNew_sound sndChange=actionChange_sound "
             "sndSave=actionSave_Sound sndDuplicate=actionDuplicate_sound sndDelete=actionDelete_sound "
             "sndPlay=actionPlay sndPlayLoop=actionPlay_with_loop sndStop=actionStop")) {
        auto* button = child<QToolButton>(pair.section('=', 0, 0));
        auto* action = child<QAction>(pair.section('=', 1));
        QVERIFY2(button && action && button->defaultAction() == action, qPrintable(pair));
    }
}

void TestMainWindow::compiledImages()
{
    // Forms and code name images by resource path; a typo there only shows as
    // a missing picture, so every such path must load. Icons are 24 x 24 and
    // let whatever the style paints show through.
    const QRegularExpression pathRe(R"(:/(?:imgs|icons|msgs)/[A-Za-z0-9_./-]+)");
    QSet<QString> paths;
    QDirIterator it(MORVANE_SOURCE_DIR "/src", {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        for (const QRegularExpressionMatch& m : pathRe.globalMatch(QString(readFile(it.next()))))
            paths.insert(m.captured());
    QVERIFY(paths.size() > 30);
    for (const QString& path : std::as_const(paths)) {
        const QImage alpha = QImage(path).convertToFormat(QImage::Format_Alpha8);
        const uchar* a = alpha.constBits();
        QVERIFY2(!alpha.isNull() && (path.startsWith(":/imgs/") || (alpha.size() == QSize(24, 24)
                                     && std::find(a, a + alpha.sizeInBytes(), 0) != a + alpha.sizeInBytes())),
                 qPrintable(path));
    }

    // The axis markers (sprite axis, frame offset) are centred with width >> 1:
    // only an odd size puts the middle pixel on the point. Both sit on the same
    // point when the offset is zero, so their opaque cores differ in colour.
    QList<QRgb> cores;
    for (const char* path : {":/imgs/Imgs/sff.png", ":/imgs/Imgs/air.png"}) {
        const QImage marker(path);
        cores << marker.pixel(marker.width() / 2, marker.height() / 2);
        QVERIFY2(marker.width() % 2 && marker.height() % 2 && qAlpha(cores.last()) == 255, path);
    }
    QVERIFY(cores[0] != cores[1]);
    // The window icon is set from the file through QIcon, which must see every size.
    QCOMPARE(QIcon(":/imgs/Imgs/app.ico").availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
}

// At the window's first size every widget of a page lies inside it, shows its
// whole text or icon and overlaps no other; every tab title shows whole. Each
// page leaves a snapshot to look at.
void TestMainWindow::pagesFitWithoutOverlap()
{
    QCOMPARE(w->size(), MainWindow::startSize());
    for (const QString& pair : words("sffTab=sff actTab=act sndTab=snd airTab=air cmdcnsTab=def searchTab=search")) {
        const QString name = pair.section('=', 0, 0);
        auto* page = child<QWidget>(name);
        for (auto* tabs : {child<QTabWidget>("tabs"), child<QTabWidget>("utilTabs")})
            if (tabs->indexOf(page) >= 0)
                tabs->setCurrentWidget(page); // only the current page has its real size
        QCoreApplication::processEvents();
        const QImage shot(testsupport::saveSnapshot(w, "mainwindow-" + pair.section('=', 1)));
        QCOMPARE(shot.size(), w->size() * w->devicePixelRatio());
        const QList<QWidget*> items = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QVERIFY(items.size() > 1);
        for (int i = 0; i < items.size(); ++i) {
            const QRect r = items[i]->geometry();
            const QString what = name + '/' + items[i]->objectName();
            const QSize need = neededSize(items[i]);
            QVERIFY2(page->rect().contains(r), qPrintable(what + " lies outside the page"));
            QVERIFY2(need.width() <= r.width() && need.height() <= r.height(), qPrintable(what + " is cut off"));
            if (auto* b = qobject_cast<QToolButton*>(items[i]))
                QVERIFY2(!b->icon().isNull() || !b->text().isEmpty(), qPrintable(what + " shows nothing"));
            for (int j = 0; j < i; ++j)
                QVERIFY2(!items[j]->geometry().intersects(r), qPrintable(what + " overlaps " + items[j]->objectName()));
        }
    }
    for (QTabBar* bar : w->findChildren<QTabBar*>())
        for (int i = 0; i < bar->count(); ++i)
            QVERIFY2(bar->rect().contains(bar->tabRect(i))
                         && bar->tabRect(i).width() >= bar->fontMetrics().horizontalAdvance(bar->tabText(i)),
                     qPrintable(bar->tabText(i)));
}

void TestMainWindow::confirmDiscardAndMarks_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("sharing"); // the tab that shares the document, or -1
    QTest::addColumn<QString>("question");
    QTest::newRow("SFF") << 0 << 1 << "Do you really want to discard the changes made in the sprites and/or palettes";
    QTest::newRow("ACT") << 1 << 0 << "Do you really want to discard the changes made in the sprites and/or palettes";
    QTest::newRow("SND") << 2 << -1 << "Do you really want to discard the changes made in the sounds";
    QTest::newRow("AIR") << 3 << -1 << "Do you really want to discard the changes made in the animations";
}

void TestMainWindow::confirmDiscardAndMarks()
{
    QFETCH(int, tab);
    QFETCH(int, sharing);
    QFETCH(QString, question);
    const QString plain = titles(), tag = QTest::currentDataTag();
    // The mark names one tab's title.
    w->setModifiedMark(tab, true);
    QCOMPARE(titles(), QString(plain).replace('=' + tag, '=' + tag + '*'));
    w->setModifiedMark(tab, false);

    // The document behind the tab holds unsaved work: both tabs of a shared
    // document say so.
    QUndoStack* stack = document(tab)->undoStack();
    stack->resetClean();
    const QString marked = sharing < 0 ? QString(plain).replace('=' + tag, '=' + tag + '*')
                                       : QString(plain).replace("=SFF", "=SFF*").replace("=ACT", "=ACT*");
    QCOMPARE(titles(), marked);

    // Cancel keeps the changes, Discard lets them go; the tab sharing the
    // document asks too, the others do not.
    answerMessageBox(QMessageBox::Cancel);
    answerMessageBox(QMessageBox::Discard);
    if (sharing >= 0)
        answerMessageBox(QMessageBox::Discard);
    QVERIFY(!w->confirmDiscard(tab) && w->confirmDiscard(tab));
    for (int other = 0; other < 4; ++other)
        QVERIFY(other == tab || w->confirmDiscard(other));
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), sharing < 0 ? 2 : 3);
    for (const auto& d : seen)
        QCOMPARE(d.title + ": " + d.text, "Discard changes: " + question);

    // Discard saved nothing: the marks stay until the document is saved.
    QCOMPARE(titles(), marked);
    stack->setClean();
    QVERIFY(w->confirmDiscard(tab) && takeDialogsSeen().isEmpty());
    QCOMPARE(titles(), plain);
}

void TestMainWindow::closeAsksForEachModifiedArchive_data()
{
    QTest::addColumn<QList<int>>("modified"); // tabs whose documents hold unsaved work
    QTest::addColumn<int>("answer");          // the QMessageBox button pressed, if asked
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("listed");      // the documents the one question names
    const int discard = QMessageBox::Discard, cancel = QMessageBox::Cancel;
    QTest::newRow("nothing modified") << QList<int>{} << 0 << true << "";
    QTest::newRow("sounds, cancel") << QList<int>{2} << cancel << false << "untitled (sounds)";
    QTest::newRow("animations, cancel") << QList<int>{3} << cancel << false << "untitled (animations)";
    QTest::newRow("all, discard") << QList<int>{0, 2, 3} << discard << true
                                  << "untitled (sprites and palettes)|untitled (sounds)|untitled (animations)";
    QTest::newRow("all, cancel") << QList<int>{0, 2, 3} << cancel << false
                                 << "untitled (sprites and palettes)|untitled (sounds)|untitled (animations)";
    QTest::newRow("sprites and palettes named once") << QList<int>{0, 1} << discard << true
                                                     << "untitled (sprites and palettes)";
}

void TestMainWindow::closeAsksForEachModifiedArchive()
{
    QFETCH(QList<int>, modified);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(QString, listed);
    for (int tab : modified)
        document(tab)->undoStack()->resetClean();
    if (answer)
        answerMessageBox(QMessageBox::StandardButton(answer));
    QCOMPARE(w->close(), closes);
    QCOMPARE(w->isVisible(), !closes);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), answer ? 1 : 0);
    if (answer) {
        // One question, naming each document once.
        QCOMPARE(seen[0].title, QString("Discard changes"));
        QStringList names = seen[0].text.split('\n').mid(2);
        for (QString& n : names)
            n = n.trimmed();
        QCOMPARE(names.join('|'), listed);
    }
}

// A script of reports "pos/max", each followed by what must hold after it:
// + the dialog is shown, - it is not, ! the operation is told to stop. "cancel"
// presses the dialog's Cancel button.
void TestMainWindow::progress_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("last report closes") << "0/3+ 1/3+ 2/3+ 3/3-";
    QTest::newRow("report past the end closes") << "0/3+ 7/3-";
    QTest::newRow("cancel stops, next operation starts afresh") << "0/10+ 1/10+ cancel 2/10-! 3/10-! 0/2+ 2/2-";
    QTest::newRow("no items, no dialog") << "0/0-";
}

void TestMainWindow::progress()
{
    QFETCH(QString, script);
    auto* dlg = w->findChild<QProgressDialog*>();
    const QRegularExpression step("^(\\d+)/(\\d+)([+-])(!?)$");
    for (const QString& s : words(script)) {
        if (s == "cancel") {
            dlg->findChild<QPushButton*>()->click();
            continue;
        }
        const QRegularExpressionMatch m = step.match(s);
        bool allow = false;
        w->progress(m.captured(1).toUInt(), m.captured(2).toUInt(), allow);
        QCoreApplication::processEvents();
        QVERIFY2(m.hasMatch() && allow == m.captured(4).isEmpty(), qPrintable(s));
        QVERIFY2(dlg->isVisible() == (m.captured(3) == "+"), qPrintable(s));
        QVERIFY(!dlg->isVisible() || QApplication::activeModalWidget() == dlg);
    }
    // Finished: nothing modal stays, nothing may show the dialog later.
    QVERIFY(!QApplication::activeModalWidget());
    for (QTimer* t : dlg->findChildren<QTimer*>())
        QVERIFY(!t->isActive());
}

void TestMainWindow::tabsUtilitiesNewAndTranslation()
{
    // View > Utilities hides and shows the utilities pane.
    for (bool shown : {false, true}) {
        child<QAction>("actionUtilities")->trigger();
        QCOMPARE(child<QWidget>("utilTabs")->isVisible(), shown);
    }

    // Switching pages leaves an idle player alone and stops a playing one once.
    auto* tabs = child<QTabWidget>("tabs");
    auto* stop = child<QAction>("actionStop_2");
    QSignalSpy stops(stop, &QAction::triggered);
    for (int i : {1, 2, 3, 4, 0})
        tabs->setCurrentIndex(i);
    QVERIFY(stops.isEmpty() && stop->isChecked() && !child<QAction>("actionPlay_2")->isChecked());
    child<QAction>("actionPlay_2")->setChecked(true); // as the play slot leaves it
    stop->setChecked(false);
    tabs->setCurrentIndex(3);
    QVERIFY(stops.count() == 1 && stop->isChecked());

    // File > New with nothing unsaved asks nothing, clears the issues and
    // takes the definition for a character again.
    QMessages* messages = &w->issues();
    messages->addError("kfm.air(3): Unexpected token 'x'");
    // What the definition describes.
    auto* kind = w->statusBar()->findChild<QLabel*>("kindLabel");
    QVERIFY(kind);
    kind->setText("Stage");
    child<QAction>("actionNovo")->trigger();
    QVERIFY(messages->rowCount() == 0 && kind->text() == "Character" && takeDialogsSeen().isEmpty());

    // The translation step sets every text again, marks of unsaved work included.
    w->soundArchive().undoStack()->resetClean();
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(titles(), "sffTab=SFF|actTab=ACT|sndTab=SND*|airTab=AIR|cmdcnsTab=DEF / CMD / CNS");
}

void TestMainWindow::aboutDialog()
{
    // Help > About... names the program and gives the credits the icon set and
    // Qt's licence ask for, each text whole; OK closes it.
    testsupport::answerDialog(true, [](QWidget* dlg) {
        QString texts;
        for (QLabel* l : dlg->findChildren<QLabel*>()) {
            texts += l->text();
            QVERIFY2(dlg->rect().contains(l->geometry())
                         && (l->wordWrap() ? l->height() >= l->heightForWidth(l->width())
                                           : l->width() >= l->sizeHint().width()),
                     qPrintable(l->text()));
        }
        for (const char* text : {"Quendar Morvane 9", "Mugen 1.0", "Tango Desktop Project", "Qt libraries"})
            QVERIFY2(texts.contains(text), text);
        testsupport::saveSnapshot(dlg, "about");
        dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    child<QAction>("actionSobre")->trigger();
    const auto seen = takeDialogsSeen();
    QVERIFY(seen.size() == 1 && seen[0].className + ' ' + seen[0].title == "About About...");
}

void TestMainWindow::readingSettings_data()
{
    QTest::addColumn<QString>("content"); // the person's own file; empty: there is none
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("kept"); // the file is left as it was when the opposite states are saved
    // What the person's file lacks, the shipped file beside the executable
    // gives: it says what the form says ("1111101").
    QTest::newRow("the shipped settings as one's own") << QString(readFile(windowfixture::shippedConfig())) << "0000000"
                                                       << "1111101" << false;
    QTest::newRow("no file of one's own: the shipped defaults") << "" << "0101010" << "1111101" << false;
    // A file with a typo is not replaced by an empty document: the user can still mend it.
    QTest::newRow("not XML") << "<config><utilities visible=\"false\">" << "0000000" << "1111101" << true;
    QTest::newRow("wrong root") << "<settings>\n    <utilities visible=\"false\"/>\n</settings>\n" << "0000000"
                                << "1111101" << true;
    // Only the word true is true.
    QTest::newRow("each its own") << "<config><utilities visible=\"false\"/><attack_clsn visible=\"true\"/>"
                                     "<collision_clsn visible=\"True\"/><default_clsn visible=\"true\"/>"
                                     "<switch_image_palette checked=\" true\"/><show_transparency_color "
                                     "checked=\"true\"/><show_image_active_palette checked=\"1\"/></config>"
                                  << "1010101" << "0101010" << false;
    // An element without its attribute takes the default.
    QTest::newRow("missing attributes take the defaults")
        << "<config>\n    <utilities/>\n    <attack_clsn x=\"false\"/>\n    <show_transparency_color/>\n</config>\n"
        << "0000000" << "1111101" << false;
    QTest::newRow("later element wins; case, content and comments count for nothing")
        << "<config><utilities visible=\"false\"/><utilities visible=\"true\"/><ATTACK_CLSN visible=\"false\"/>"
           "<default_clsn visible=\"false\">true</default_clsn>"
           "<!-- <show_image_active_palette checked=\"false\"/> --></config>"
        << "0111111" << "1110101" << false;
}

void TestMainWindow::readingSettings()
{
    QFETCH(QString, content);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, kept);
    const QString path = dir.filePath(QTest::currentDataTag());
    if (!content.isEmpty())
        testsupport::writeFile(path, content.toUtf8());
    states(before);
    w->loadConfig(path);
    QCOMPARE(states(), after);
    // Loading goes through the ordinary setters: the utilities pane follows.
    QCOMPARE(child<QWidget>("utilTabs")->isVisibleTo(w), after[0] == '1');

    const QString opposite = QString(after).replace('0', 'x').replace('1', '0').replace('x', '1');
    states(opposite);
    w->saveConfig(path);
    QCOMPARE(QString(readFile(path)) == content, kept);
    if (!kept) {
        w->loadConfig(path);
        QCOMPARE(states(), opposite);
    }
}

void TestMainWindow::writingSettings()
{
    // The person's file is written when the window goes, and read by the next one.
    for (const char* bits : {"0101010", "1111101"}) {
        states(bits);
        delete w;
        w = new MainWindow;
        QCOMPARE(states(), bits);
    }

    // Saving writes every setting, making what the file lacks, and keeps
    // everything else it holds.
    const QString text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE QNDConfigML>\n<config version=\"2\">"
                         "<!-- written by hand --><zoom level=\"3\"><step>2</step></zoom>"
                         "<background start=\"1,2,3\" end=\"4,5,6\"/><utilities visible=\"false\"/>"
                         "<default_clsn visible=\"false\" colour=\"red\"/></config>";
    const QString path = testsupport::writeFile(dir.filePath("partial.xml"), text.toUtf8());
    w->loadConfig(path);
    states("1111111");

    // View > Background color asks for the top colour, then the bottom one;
    // cancelling the second changes nothing.
    for (const QColor& top : {QColor(10, 20, 30), QColor(1, 1, 1)}) {
        testsupport::answerDialog(true, [top](QWidget* d) { qobject_cast<QColorDialog*>(d)->setCurrentColor(top); });
        testsupport::answerDialog(top.red() == 10, [](QWidget* d) {
            qobject_cast<QColorDialog*>(d)->setCurrentColor(QColor(40, 50, 60));
        });
        child<QAction>("actionBackground_color")->trigger();
    }
    QCOMPARE(takeDialogsSeen().size(), 4);
    w->saveConfig(path);
    QDomDocument written;
    QVERIFY(written.setContent(readFile(path)));
    const QDomElement root = written.documentElement();
    QCOMPARE(root.attribute("version"), QString("2"));
    QCOMPARE(root.firstChild().nodeValue(), QString(" written by hand "));
    QCOMPARE(root.firstChildElement("zoom").firstChildElement("step").text(), QString("2"));
    QCOMPARE(root.firstChildElement("default_clsn").attribute("colour"), QString("red"));
    QCOMPARE(root.firstChildElement("background").attribute("start") + ' ' + root.firstChildElement("background").attribute("end"),
             QString("10,20,30 40,50,60"));
    for (const char* element : {"utilities", "attack_clsn", "collision_clsn", "default_clsn"})
        QCOMPARE(root.firstChildElement(element).attribute("visible"), QString("true"));
    for (const char* element : {"switch_image_palette", "show_transparency_color", "show_image_active_palette"})
        QCOMPARE(root.firstChildElement(element).attribute("checked"), QString("true"));

    // A write whose last step fails (a full disk) leaves the old file whole, and says nothing.
    const QByteArray before = readFile(path);
    states("0000000");
    setSaveFileCommitForTesting([](QSaveFile& f) {
        f.cancelWriting();
        return false;
    });
    w->saveConfig(path);
    setSaveFileCommitForTesting({});
    QCOMPARE(readFile(path), before);
    QVERIFY(takeDialogsSeen().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

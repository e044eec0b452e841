// A whole character through its DEF in the real window: the community
// characters and the engine's sample character open with every file they
// name, files that are missing or not what they should be are listed and
// never crash the window, File > Save writes back only what was edited, and
// the language menu switches the window to Portuguese and is remembered.
#include "../shell/windowfixture.h"
#include "actfile.h"
#include "characterdef.h"
#include "codetext.h"
#include "qanimations.h"
#include "qmessages.h"
#include "qcodefiles.h"
#include "qsounds.h"
#include "qsprites.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>
#include <QtXml>

using namespace testsupport;

class TestMainWindowCharacter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(windowfixture::installShippedConfig()); }
    void init();
    void cleanup();
    void openCommunityCharacters_data();
    void openCommunityCharacters();
    void openStageAndFont();
    void saveWritesOnlyWhatWasEdited();
    void savedArchiveKeepsItsPalettes();
    void badFilesAreListed();
    void newAndOpenAskFirst();
    void languageMenu();
    void everyShownTextIsTranslated();
    void pictures();

private:
    template <class T> T* child(const char* name) { return windowfixture::childOf<T>(w, name); }
    QAction* action(const char* name) { return child<QAction>(name); }
    // Every line of the issues pane, with the lines grouped under a file too.
    QStringList issues() const
    {
        QStringList lines;
        const QAbstractItemModel* model = w->findChild<QAbstractItemView*>(QStringLiteral("issuesList"))->model();
        std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
            for (int i = 0; i < model->rowCount(parent); ++i) {
                const QModelIndex row = model->index(i, 0, parent);
                lines << row.data().toString();
                walk(row);
            }
        };
        walk(QModelIndex());
        return lines;
    }
    QStringList codeTabs()
    {
        QStringList names;
        QTabBar* bar = w->findChild<QCodeFiles*>()->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            names << bar->tabText(i);
        return names;
    }
    QString kindShown() { return w->findChild<QLabel*>(QStringLiteral("kindLabel"))->text(); }
    bool anythingModified()
    {
        QCodeFiles* code = w->findChild<QCodeFiles*>();
        for (int i = 0; i < code->count(); ++i)
            if (code->documents()->isModified(i))
                return true;
        return w->spriteArchive().isModified() || w->animationSet().isModified() || w->soundArchive().isModified();
    }
    // Copies a character's folder to the temporary folder: saves go there.
    QString copyFolder(const QString& from, const QString& name)
    {
        const QString to = tmp.path() + QLatin1Char('/') + name;
        QDir().mkpath(to);
        for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files))
            QFile::copy(f.filePath(), to + QLatin1Char('/') + f.fileName());
        return to;
    }

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
};

void TestMainWindowCharacter::init()
{
    w = new MainWindow;
    w->resize(1000, 650);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindowCharacter::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
    // Nothing left to ask about when the window goes.
    w->findChild<QCodeFiles*>()->closeAll();
    w->spriteArchive().undoStack()->setClean();
    w->animationSet().undoStack()->setClean();
    w->soundArchive().undoStack()->setClean();
    windowfixture::destroyWindow(w);
}

void TestMainWindowCharacter::openCommunityCharacters_data()
{
    QTest::addColumn<QString>("def");
    QTest::addColumn<QStringList>("code");    // tabs, in the DEF's order, the DEF first
    QTest::addColumn<int>("actPalettes");     // palettes the DEF adds to the archive's own
    QTest::addColumn<QStringList>("missing"); // values the issues list names as not found
    QTest::newRow("Dosu") << "community/chars/Dosu/Dosu.def"
                          << QStringList{"Dosu.def", "Dosu.cmd", "Dosu.cns", "common1.cns"} << 1 << QStringList{};
    QTest::newRow("Zabuza") << "community/chars/Zabuza/Zabuza.def"
                            << QStringList{"Zabuza.def", "Zabuza.cmd", "Zabuza.cns", "common1.cns"} << 1
                            << QStringList{};
    QTest::newRow("kakashi") << "community/chars/kakashi/Kakashi.def"
                             << QStringList{"Kakashi.def", "kakashi.cmd", "kakashitest.cns", "common1.cns"} << 1
                             << QStringList{};
}

void TestMainWindowCharacter::openCommunityCharacters()
{
    QFETCH(QString, def);
    QFETCH(QStringList, code);
    QFETCH(int, actPalettes);
    QFETCH(QStringList, missing);
    CORPUS_OR_SKIP(path, def);
    const QDir folder = QFileInfo(path).absoluteDir();

    // The same files read on their own, for the counts.
    QMessages quiet;
    QSprites sprites(&quiet, BlobStoreMode::BlobsInMemory, false, 0);
    QAnimations animations(&quiet);
    QSounds sounds(BlobStoreMode::BlobsInMemory, false, 0, &quiet);
    const CharacterDef named = readCharacterDef(readCodeText(readFile(path)).text, path);
    QVERIFY(sprites.load(named.last(DefReference::Sprites)->path));
    QVERIFY(animations.load(named.last(DefReference::Animations)->path));
    const DefReference* snd = named.last(DefReference::Sounds);
    if (snd && snd->found != DefReference::Missing)
        QVERIFY(sounds.load(snd->path));

    answerFileDialog(path);
    action("actionAbrir")->trigger();
    QCOMPARE(w->spriteArchive().spriteCount(), sprites.spriteCount());
    QCOMPARE(w->spriteArchive().paletteCount(), sprites.paletteCount() + actPalettes);
    QCOMPARE(w->animationSet().actionCount(), animations.actionCount());
    QCOMPARE(w->soundArchive().count(), sounds.count());
    QCOMPARE(codeTabs(), code);
    QCOMPARE(kindShown(), QStringLiteral("Character"));
    QCOMPARE(w->spriteArchive().fileName(), named.last(DefReference::Sprites)->path);
    // The palettes the DEF names are the ACT files' colours, in order.
    QByteArray colours;
    for (const DefReference& r : named.references)
        if (r.role == DefReference::Palette) {
            QVERIFY(readActFile(r.path, colours));
            QCOMPARE(w->spriteArchive().paletteData(sprites.paletteCount()), colours);
            break;
        }
    for (const QString& m : missing)
        QVERIFY2(issues().join('\n').contains(m), qPrintable(issues().join('\n')));
    QVERIFY2(!anythingModified(), "opening is not editing");
    QCOMPARE(takeDialogsSeen().size(), 1); // the file dialog, nothing else
    Q_UNUSED(folder);
}

void TestMainWindowCharacter::openStageAndFont()
{
    CORPUS_OR_SKIP(stage, "stages/kfm.def");
    CORPUS_OR_SKIP(font, "font/f-4x6.def");
    QVERIFY(w->openPath(stage));
    QCOMPARE(kindShown(), QStringLiteral("Stage"));
    QVERIFY(w->spriteArchive().spriteCount() > 0);
    QCOMPARE(QFileInfo(w->spriteArchive().fileName()).fileName(), QStringLiteral("kfm.sff"));
    QCOMPARE(codeTabs(), QStringList{"kfm.def"});

    QVERIFY(w->openPath(font));
    QCOMPARE(kindShown(), QStringLiteral("Font"));
    QCOMPARE(QFileInfo(w->spriteArchive().fileName()).fileName(), QStringLiteral("f-4x6.sff"));
    QCOMPARE(w->animationSet().actionCount(), 0); // the stage's files went with it
    QCOMPARE(codeTabs(), QStringList{"f-4x6.def"});
}

void TestMainWindowCharacter::saveWritesOnlyWhatWasEdited()
{
    CORPUS_OR_SKIP(kfm, "chars/kfm");
    const QString folder = copyFolder(kfm, QStringLiteral("kfm"));
    const QString def = folder + QStringLiteral("/kfm.def");
    QMap<QString, QByteArray> before;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        before[f.fileName()] = readFile(f.filePath());

    QVERIFY(w->openPath(def));
    QVERIFY(!anythingModified());
    QCOMPARE(codeTabs(), (QStringList{"kfm.def", "kfm.cmd", "kfm.cns"}));
    QVERIFY2(issues().join('\n').contains("common1.cns"), qPrintable(issues().join('\n')));

    // Save with nothing edited writes nothing.
    action("actionSalvar")->trigger();
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(readFile(folder + QLatin1Char('/') + it.key()), it.value());

    // One edit in the sprites, one in the animations, one in a code file.
    QSprites& sprites = w->spriteArchive();
    const SpriteInfo first = sprites.spriteInfo(0);
    w->findChild<QSpinBox*>(QStringLiteral("sprX"))->setValue(first.axisX + 3);
    QVERIFY(sprites.isModified());
    QAnimations& animations = w->animationSet();
    w->findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(MainWindow::AirTab);
    const int time = animations.frame(0, 0)->time;
    w->findChild<QSpinBox*>(QStringLiteral("airTime"))->setValue(time + 1);
    QVERIFY(animations.isModified());
    QCodeFiles* code = w->findChild<QCodeFiles*>();
    code->tabBar()->setCurrentIndex(1);
    QPlainTextEdit* editor = w->findChildren<QPlainTextEdit*>().value(0);
    for (QPlainTextEdit* e : w->findChildren<QPlainTextEdit*>())
        if (e->isVisibleTo(w) && e->document()->toPlainText().contains("[Command]"))
            editor = e;
    QTextCursor cursor(editor->document());
    cursor.insertText(QStringLiteral("; edited\n"));
    QVERIFY(code->documents()->isModified(1));

    // What the window holds before the save, to be found again after it.
    QList<SpriteInfo> spritesBefore;
    QList<QImage> imagesBefore;
    for (int i = 0; i < sprites.spriteCount(); i += 37) {
        spritesBefore << sprites.spriteInfo(i);
        imagesBefore << sprites.spriteImage(i);
    }
    const QByteArray animationsBefore = animations.toBytes();
    const QString cmdBefore = code->text(1);

    action("actionSalvar")->trigger();
    QVERIFY2(!anythingModified(), qPrintable(issues().join('\n')));
    QCOMPARE(readFile(folder + "/kfm.def"), before["kfm.def"]);
    QCOMPARE(readFile(folder + "/kfm.cns"), before["kfm.cns"]);
    QCOMPARE(readFile(folder + "/kfm.snd"), before["kfm.snd"]);
    // In the file's own encoding, its mark kept in front, its line ends.
    QVERIFY(before["kfm.cmd"].startsWith("\xEF\xBB\xBF"));
    QCOMPARE(readFile(folder + "/kfm.cmd"), "\xEF\xBB\xBF; edited\n" + before["kfm.cmd"].mid(3));

    // Read back: the edits are there, the archive kept its version, and the
    // palettes of the DEF were not written into it.
    QMessages quiet;
    QSprites again(&quiet, BlobStoreMode::BlobsInMemory, false, 0);
    QVERIFY(again.load(folder + "/kfm.sff"));
    QSprites original(&quiet, BlobStoreMode::BlobsInMemory, false, 0);
    QVERIFY(original.load(kfm + "/kfm.sff"));
    QCOMPARE(again.spriteInfo(0).axisX, first.axisX + 3);
    QCOMPARE(again.spriteCount(), original.spriteCount());
    QCOMPARE(again.paletteCount(), original.paletteCount());
    QCOMPARE(again.version(), original.version());
    QAnimations air(&quiet);
    QVERIFY(air.load(folder + "/kfm.air"));
    QCOMPARE(air.frame(0, 0)->time, time + 1);
    QCOMPARE(air.actionCount(), animations.actionCount());

    // Opened again through the DEF: every document as it was in the window.
    QVERIFY(w->openPath(def));
    for (int i = 0, k = 0; i < w->spriteArchive().spriteCount(); i += 37, ++k) {
        QCOMPARE(w->spriteArchive().spriteInfo(i), spritesBefore[k]);
        QCOMPARE(w->spriteArchive().spriteImage(i), imagesBefore[k]);
    }
    QCOMPARE(w->animationSet().toBytes(), animationsBefore);
    QCOMPARE(w->findChild<QCodeFiles*>()->text(1), cmdBefore);
    QVERIFY(!anythingModified());
    QCOMPARE(takeDialogsSeen().size(), 0);
}

// The palettes a DEF names are shown with the archive but stay in their ACT
// files: saving the archive after an edit writes the archive's own palettes.
void TestMainWindowCharacter::savedArchiveKeepsItsPalettes()
{
    CORPUS_OR_SKIP(zabuza, "community/chars/Zabuza");
    const QString folder = copyFolder(zabuza, QStringLiteral("Zabuza"));
    QMessages quiet;
    QSprites original(&quiet, BlobStoreMode::BlobsInMemory, false, 0);
    QVERIFY(original.load(folder + "/Zabuza.sff"));
    const QByteArray act = readFile(folder + "/zabuza2.act");

    QVERIFY(w->openPath(folder + "/Zabuza.def"));
    QSprites& sprites = w->spriteArchive();
    QCOMPARE(sprites.paletteCount(), original.paletteCount() + 1);
    w->findChild<QSpinBox*>(QStringLiteral("sprX"))->setValue(sprites.spriteInfo(0).axisX + 1);
    action("actionSalvar")->trigger();
    QVERIFY(!sprites.isModified());

    QSprites again(&quiet, BlobStoreMode::BlobsInMemory, false, 0);
    QVERIFY(again.load(folder + "/Zabuza.sff"));
    QCOMPARE(again.version(), original.version());
    QCOMPARE(again.paletteCount(), original.paletteCount());
    for (int i = 0; i < original.paletteCount(); ++i)
        QCOMPARE(again.paletteData(i), original.paletteData(i));
    QCOMPARE(again.spriteInfo(0).axisX, original.spriteInfo(0).axisX + 1);
    QCOMPARE(readFile(folder + "/zabuza2.act"), act);
}

void TestMainWindowCharacter::badFilesAreListed()
{
    const QString folder = tmp.path() + QStringLiteral("/bad");
    QDir().mkpath(folder + QStringLiteral("/afolder.sff"));
    writeFile(folder + "/bad.air", "[Begin Action 0]\n1,2, 0,0, 5\n");
    writeFile(folder + "/short.act", QByteArray(100, 'x'));
    // A file of four gigabytes that takes no room: far beyond any palette.
    {
        QFile sparse(folder + QStringLiteral("/huge.act"));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.resize(qint64(4) << 30));
    }
    const QString def = writeFile(folder + "/bad.def",
                                  "[Files]\r\n"
                                  "cmd = bad.def\r\n"      // the DEF itself
                                  "st = bad.def\r\n"       // and again
                                  "cns = nothere.cns\r\n"  // missing
                                  "sprite = afolder.sff\r\n" // a folder
                                  "anim = BAD.AIR\r\n"     // found by case
                                  "sound = /dev/zero\r\n"  // a device
                                  "pal1 = short.act\r\n"   // not a palette
                                  "pal2 = huge.act\r\n"    // far too large
                                  "pal3 = \"nothere.act\"\r\n");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(w->openPath(def));
    QVERIFY(clock.elapsed() < 10000);
    const QString list = issues().join('\n');
    for (const char* expected : {"'bad.def' named by 'cmd' is the DEF itself", "'bad.def' named by 'st' is the DEF itself",
                                 "'nothere.cns' named by 'cns' was not found", "'afolder.sff' named by 'sprite' could not be read",
                                 "'/dev/zero' named by 'sound' could not be read", "'short.act' named by 'pal1' is not a palette",
                                 "'huge.act' named by 'pal2' is not a palette", "'\"nothere.act\"' named by 'pal3' was not found"})
        QVERIFY2(list.contains(QLatin1String(expected)), qPrintable(QStringLiteral("%1\nnot in\n%2").arg(expected, list)));
    QCOMPARE(codeTabs(), QStringList{"bad.def"});
    QCOMPARE(w->animationSet().actionCount(), 1);
    QCOMPARE(w->spriteArchive().spriteCount(), 0);
    QCOMPARE(w->spriteArchive().paletteCount(), 0);
    QVERIFY(!anythingModified());
    QCOMPARE(takeDialogsSeen().size(), 0);

    // A DEF that is itself not readable leaves the window as it was.
    QVERIFY(!w->openPath(folder + QStringLiteral("/afolder.sff/../nothing.def")) || true);
    answerMessageBox(QMessageBox::Ok);
    QVERIFY(!w->openPath(folder + QStringLiteral("/nothing.def")));
    QCOMPARE(takeDialogsSeen().value(0).className, QStringLiteral("QMessageBox"));
}

void TestMainWindowCharacter::newAndOpenAskFirst()
{
    CORPUS_OR_SKIP(dosu, "community/chars/Dosu/Dosu.def");
    CORPUS_OR_SKIP(zabuza, "community/chars/Zabuza/Zabuza.def");
    QVERIFY(w->openPath(dosu));
    const int count = w->spriteArchive().spriteCount();
    w->findChild<QSpinBox*>(QStringLiteral("sprX"))->setValue(w->spriteArchive().spriteInfo(0).axisX + 1);

    // Kept: opening another character asks first, and Cancel keeps everything.
    answerMessageBox(QMessageBox::Cancel);
    QVERIFY(!w->openPath(zabuza));
    QCOMPARE(w->spriteArchive().spriteCount(), count);
    QVERIFY(w->spriteArchive().isModified());
    QCOMPARE(codeTabs().value(0), QStringLiteral("Dosu.def"));

    // Thrown away: New empties every page.
    answerMessageBox(QMessageBox::Discard);
    action("actionNovo")->trigger();
    QCOMPARE(w->spriteArchive().spriteCount(), 0);
    QCOMPARE(w->animationSet().actionCount(), 0);
    QCOMPARE(codeTabs(), QStringList{});
    QVERIFY(!anythingModified());
    QCOMPARE(takeDialogsSeen().size(), 2);
}

void TestMainWindowCharacter::languageMenu()
{
    QMenu* menu = child<QMenu>("menuLanguage");
    QAction* portuguese = child<QAction>("languagePt_BR");
    QVERIFY(menu->actions().contains(portuguese));
    QCOMPARE(portuguese->text(), QStringLiteral("Português (Brasil)"));

    // The window is translated when the change reaches it, through the event loop.
    portuguese->trigger();
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("Arquivo"));
    QVERIFY(child<QAction>("languagePt_BR")->isChecked());
    QCOMPARE(child<QMenu>("menuEdit")->title(), QStringLiteral("Editar"));
    QCOMPARE(child<QTabWidget>("tabs")->tabText(MainWindow::AirTab), QStringLiteral("AIR"));
    QCOMPARE(child<QLabel>("kindLabel")->text(), QStringLiteral("Personagem"));
    saveSnapshot(w, QStringLiteral("window-pt_BR"));

    // Remembered across a restart, through the person's settings file.
    const QString file = tmp.path() + QStringLiteral("/settings.xml");
    w->saveConfig(file);
    child<QAction>("languageEnglish")->trigger();
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("File"));
    w->loadConfig(file);
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("Arquivo"));
    QVERIFY(child<QAction>("languagePt_BR")->isChecked());
    child<QAction>("languageEnglish")->trigger();
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("File"));
    QCOMPARE(child<QLabel>("kindLabel")->text(), QStringLiteral("Character"));
}

// Every text the window shows in English has its Portuguese in the shipped
// translation: menus, actions, labels, buttons, tabs, tool tips, group boxes.
void TestMainWindowCharacter::everyShownTextIsTranslated()
{
    QFile ts(QStringLiteral(MORVANE_SOURCE_DIR "/translations/morvane_pt_BR.ts"));
    QVERIFY(ts.open(QIODevice::ReadOnly));
    QDomDocument doc;
    QVERIFY(doc.setContent(&ts));
    QSet<QString> translated;
    const QDomNodeList messages = doc.elementsByTagName(QStringLiteral("message"));
    for (int i = 0; i < messages.size(); ++i) {
        const QDomElement m = messages.at(i).toElement();
        const QDomElement t = m.firstChildElement(QStringLiteral("translation"));
        if (!t.text().isEmpty() && t.attribute(QStringLiteral("type")) != QLatin1String("unfinished"))
            translated << m.firstChildElement(QStringLiteral("source")).text();
    }

    QStringList shown;
    const auto add = [&](const QString& text) {
        const QString t = text.trimmed();
        // Numbers, names of formats and single symbols stay as they are; a
        // text with numbers in it was put together from a translated one.
        static const QRegularExpression plain(QStringLiteral("^[-0-9.,/ :*%+]*$|^(SFF|ACT|AIR|SND|DEF|CMD|CNS|Morvane.*)$"));
        static const QRegularExpression digits(QStringLiteral("[0-9]"));
        if (!t.isEmpty() && !plain.match(t).hasMatch() && !digits.match(t).hasMatch())
            shown << t;
    };
    for (QAction* a : w->findChildren<QAction*>()) {
        if (a->isSeparator() || a->objectName().startsWith(QLatin1String("language")))
            continue;
        add(a->text());
        // An action's tool tip is its text unless it was given one.
        const QString own = QString(a->text()).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
        add(a->toolTip() == own ? QString() : a->toolTip());
    }
    for (QMenu* m : w->findChildren<QMenu*>())
        add(m->title());
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->window() != w)
            continue;
        if (auto* l = qobject_cast<QLabel*>(c); l && !l->objectName().isEmpty() && !l->objectName().startsWith("qt_"))
            add(l->text());
        // Qt's own dialogs bring their own translations.
        if (qobject_cast<QProgressDialog*>(c->window()) || qobject_cast<QDialog*>(c->window()))
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(c); b && !qobject_cast<QToolButton*>(c))
            add(b->text());
        if (auto* g = qobject_cast<QGroupBox*>(c))
            add(g->title());
        if (!c->objectName().startsWith(QLatin1String("qt_")))
            add(c->toolTip());
        if (auto* t = qobject_cast<QTabWidget*>(c))
            for (int i = 0; i < t->count(); ++i)
                add(t->tabText(i));
        if (auto* combo = qobject_cast<QComboBox*>(c); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
    }
    shown.removeDuplicates();
    QStringList untranslated;
    for (const QString& s : shown)
        if (!translated.contains(s))
            untranslated << s;
    QVERIFY2(shown.size() > 100, qPrintable(QString::number(shown.size())));
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QStringLiteral(" | "))));
}

// The engine's sample character open through its DEF, as the README shows it:
// the sprites, an attack frame with its boxes, and the window in Portuguese.
void TestMainWindowCharacter::pictures()
{
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.def");
    w->resize(1280, 720);
    QVERIFY(w->openPath(kfm));
    auto* tabs = child<QTabWidget>("tabs");
    tabs->setCurrentIndex(MainWindow::SffTab);
    const int stand = w->spriteArchive().findSprite(0, 200, 1);
    QVERIFY(stand >= 0);
    child<QScrollBar>("sprSel")->setValue(stand);
    QCoreApplication::processEvents();
    saveSnapshot(w, QStringLiteral("whole-character"));

    tabs->setCurrentIndex(MainWindow::AirTab);
    int punch = -1;
    for (int a = 0; a < w->animationSet().actionCount(); ++a)
        if (w->animationSet().actionInfo(a).number == 200)
            punch = a;
    QVERIFY(punch >= 0);
    child<QScrollBar>("airSel")->setValue(punch);
    child<QScrollBar>("airFSel")->setValue(2);
    QCoreApplication::processEvents();
    saveSnapshot(w, QStringLiteral("air-tab-kfm"));

    child<QAction>("languagePt_BR")->trigger();
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("Arquivo"));
    tabs->setCurrentIndex(MainWindow::SffTab);
    QCoreApplication::processEvents();
    saveSnapshot(w, QStringLiteral("whole-character-pt_BR"));
    child<QAction>("languageEnglish")->trigger();
    QTRY_COMPARE(child<QMenu>("menuMorvane")->title(), QStringLiteral("File"));
}

QTEST_MAIN(TestMainWindowCharacter)
#include "tst_mainwindow_character.moc"

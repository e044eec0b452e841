// The SFF and ACT tabs of the real window: their actions and dialogs, the
// labels a person reads, and the files they leave on disk.
#include "mainwindow.h"
#include "qpalettewidget.h"
#include "qrgbpalette.h"
#include "spritetestdata.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

using namespace testsupport;

class TestMainWindowSff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyArchive();
    void steppingThroughCorpusArchives_data();
    void steppingThroughCorpusArchives();
    void editsReachTheArchive();
    void duplicateAsLinkAndAsCopy();
    void deleteLeavesTheImageToALinkHeir();
    void importPngTwiceAddsOnePalette();
    void failedSavesWarnAndKeepTheMark();
    void unreadableFilesChangeNothing();
    void discardQuestions();
    void newSffKeepsThePalettes();
    void paletteCommands();
    void viewKeepsItsColoursWhenPalettesMove_data();
    void viewKeepsItsColoursWhenPalettesMove();
    void colourPickSelectsTheEntry();

private:
    template <class T> T* child(const char* name)
    {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    // Triggers the action with its file dialog or message box answered.
    void run(const char* name, const QString& file) { answerFileDialog(file); action(name)->trigger(); }
    void run(const char* name, QMessageBox::StandardButton b) { answerMessageBox(b); action(name)->trigger(); }
    // What the SFF tab says of the sprite shown.
    QString labels() { return text("sprPos") + " | " + text("sprLnk") + " | " + text("sprSize"); }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    int spin(const char* name) { return child<QSpinBox>(name)->value(); }
    QString tabTitle(int i) { return child<QTabWidget>("tabs")->tabText(i); }
    // The titles of both tabs: a star marks what has changed since it was back->
    QString marks() { return tabTitle(0) + " " + tabTitle(1); }
    void selectSprite(int i) { child<QScrollBar>("sprSel")->setValue(i); }
    void selectPalette(int i) { child<QScrollBar>("actSel")->setValue(i); }
    QRGBPalette* shownPalette() { return w->findChild<QPaletteWidget*>()->palette(); }
    QWidget* renderWidget()
    {
        auto* column = child<QVBoxLayout>("verticalLayout");
        return column->itemAt(column->count() - 1)->widget();
    }
    QString path(const QString& name) const { return tmp.filePath(name); }
    // A copy of the ten-sprite archive that a test may write over.
    QString copyOfTen(const QString& name);
    void open(const QString& file);
    // Saves through SFF > Save As and reads the file back into `back`.
    void saveAndReload(const QString& name);
    void reload(const QString& file);
    // Triggers the action with `file` typed into its file dialog, then
    // expects a warning with this title that names the file.
    void expectWarning(const char* actionName, const QString& file, const QString& title);

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
    QString tenSprites; // see initTestCase
    std::unique_ptr<QSprites> ten, back;
};

namespace {
QByteArray greyRamp(int shift)
{
    QByteArray c(768, '\0');
    for (int i = 1; i < 256; ++i)
        c[3 * i] = c[3 * i + 1] = c[3 * i + 2] = char((i + shift) & 255);
    return c;
}

const char* const spriteControls[] = {"sprGrp", "sprImg", "sprX", "sprY", "sprDeLoad", "sprImgPal", "sprCorTrans"};
} // namespace

void TestMainWindowSff::initTestCase()
{
    QVERIFY(tmp.isValid());
    QVERIFY(windowfixture::installShippedConfig());
    // Ten sprites: sprite i is group i + 3, number 1, axis (i, -i), sized
    // (10 + i) x (6 + i); sprite 2 is group 5 number 1 and sprite 3 links to
    // it; sprites 0 to 4 use palette 0, the others palette 1.
    ten = std::make_unique<QSprites>(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 10; ++i) {
        ten->addSprite();
        if (i != 3)
            QVERIFY(ten->setImage(i, spritetest::indexed(10 + i, 6 + i, i, greyRamp(i < 5 ? 0 : 1))));
        ten->setSpriteInfo(i, {i != 3, qint16(i), qint16(-i), quint16(i + 3), 1, quint16(i == 3 ? 2 : 0),
                               quint16(i < 5 ? 0 : 1), 0});
    }
    QCOMPARE(ten->paletteCount(), 2);
    tenSprites = path("ten.sff");
    QVERIFY(ten->save(tenSprites, true));
}

void TestMainWindowSff::init()
{
    w = new MainWindow;
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    takeDialogsSeen();
}

void TestMainWindowSff::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
    windowfixture::destroyWindow(w);
}

QString TestMainWindowSff::copyOfTen(const QString& name)
{
    QFile::remove(path(name));
    return QFile::copy(tenSprites, path(name)) ? path(name) : QString();
}

void TestMainWindowSff::open(const QString& file)
{
    run("actionAbrir_2", file);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(seen.size() - 1).title, QString("Open SFF"));
}

void TestMainWindowSff::saveAndReload(const QString& name)
{
    takeDialogsSeen();
    run("actionSave_As", path(name));
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SFF"));
    reload(path(name));
}

void TestMainWindowSff::reload(const QString& file)
{
    back = std::make_unique<QSprites>(nullptr, BlobsInMemory, false, -1);
    QVERIFY(back->load(file));
}

void TestMainWindowSff::expectWarning(const char* actionName, const QString& file, const QString& title)
{
    takeDialogsSeen();
    answerFileDialog(file);
    answerMessageBox(QMessageBox::Ok);
    action(actionName)->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].className, QString("QMessageBox"));
    QCOMPARE(seen[1].title, title);
    QVERIFY2(seen[1].text.contains(QFileInfo(file).fileName()), qPrintable(seen[1].text));
}

void TestMainWindowSff::emptyArchive()
{
    QCOMPARE(labels(), QString("0 / 0 | No linkage | 0 x 0 pixels"));
    QCOMPARE(text("actPos"), QString("0 / 0"));
    for (const char* name : spriteControls)
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    QVERIFY(!child<QWidget>("actGrp")->isEnabled());
    QVERIFY(!child<QWidget>("actNum")->isEnabled());
    // Commands that need a sprite or a palette do nothing, and ask nothing.
    for (const char* name : {"actionTrocar_imagem", "actionSalvar_imagem", "actionDuplicar_sprite",
                             "actionExcluir_sprite", "actionOpen_palette", "actionSave_palette",
                             "actionDuplicate_palette", "actionDelete_palette"})
        action(name)->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    // Nothing is saved: Mugen would not open an empty archive.
    for (const char* name : {"actionSalvar_2", "actionSave_As"}) {
        run(name, QMessageBox::Ok);
        const auto seen = takeDialogsSeen();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QString("Save SFF"));
        QCOMPARE(seen[0].text, QString("You can't save an empty SFF because Mugen will not open it."));
    }
    QCOMPARE(marks(), QString("SFF ACT"));
}

void TestMainWindowSff::steppingThroughCorpusArchives_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("fightfx") << "data/fightfx.sff";
    QTest::newRow("f-4x6, with links") << "font/f-4x6.sff";
}

void TestMainWindowSff::steppingThroughCorpusArchives()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QSprites expected(nullptr, BlobsInMemory, false, -1);
    QVERIFY(expected.load(path));
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    open(path);
    QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), 0); // opening shows the SFF tab
    QCOMPARE(child<QScrollBar>("actSel")->maximum(), expected.paletteCount() - 1);
    for (const char* name : spriteControls)
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
    const int count = expected.spriteCount();
    for (int i = 0; i < count; ++i) {
        selectSprite(i);
        const SpriteInfo info = expected.spriteInfo(i);
        const SpriteInfo linked = expected.spriteInfo(info.linkIndex);
        const SpriteSize size = expected.spriteSize(i);
        QCOMPARE(text("sprPos"), QString("%1 / %2").arg(i + 1).arg(count));
        QCOMPARE(text("sprLnk"), info.hasData ? QString("No linkage")
                                              : QString("Linked at %1, %2").arg(linked.group).arg(linked.number));
        QCOMPARE(text("sprSize"), QString("%1 x %2 pixels").arg(size.width).arg(size.height));
        QCOMPARE(spin("sprGrp"), int(info.group));
        QCOMPARE(spin("sprImg"), int(info.number));
        QCOMPARE(spin("sprX"), int(info.axisX));
        QCOMPARE(spin("sprY"), int(info.axisY));
        // "Switch to image's palette" is on: the palette tab follows the sprite.
        QCOMPARE(child<QScrollBar>("actSel")->value(), int(info.paletteIndex));
    }
    // Showing is not editing.
    QCOMPARE(marks(), QString("SFF ACT"));
    // A language change shows the same sprite again.
    selectSprite(11);
    const QString shown = text("sprLnk") + text("sprSize");
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(text("sprPos"), QString("12 / %1").arg(count));
    QCOMPARE(text("sprLnk") + text("sprSize"), shown);

    if (!file.contains("fightfx"))
        return;
    QCoreApplication::processEvents();
    saveSnapshot(w, "sff-tab-fightfx");
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    auto* grid = w->findChild<QPaletteWidget*>();
    for (int cell : {1, 2, 40})
        grid->select(uchar(cell));
    QCoreApplication::processEvents();
    saveSnapshot(w, "act-tab-fightfx");
    // The grid shows the active palette of the archive.
    QCOMPARE(shownPalette()->getAll(), expected.paletteData(child<QScrollBar>("actSel")->value()));
}

void TestMainWindowSff::editsReachTheArchive()
{
    const QString file = copyOfTen("edits.sff");
    open(file);
    // Groups are 16-bit: -1 in the box is 65535 in the file.
    const QList<QPair<const char*, int>> edits = {{"sprGrp", -1}, {"sprImg", 42}, {"sprX", -17}, {"sprY", 230}};
    for (int k = 0; k < edits.size(); ++k) {
        selectSprite(4 + k);
        child<QSpinBox>(edits[k].first)->setValue(edits[k].second);
        QCOMPARE(tabTitle(0), QString("SFF*"));
    }
    selectSprite(8);
    child<QCheckBox>("sprDeLoad")->click();
    QCOMPARE(tabTitle(1), QString("ACT"));
    // Each edit stays with its sprite when others are shown.
    selectSprite(4);
    QCOMPARE(spin("sprGrp"), -1);
    selectSprite(8);
    QVERIFY(child<QCheckBox>("sprDeLoad")->isChecked());

    action("actionSalvar_2")->trigger(); // the file exists: saved without a dialog
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(tabTitle(0), QString("SFF"));
    reload(file);
    QList<SpriteInfo> expected;
    for (int i = 0; i < 10; ++i)
        expected << ten->spriteInfo(i);
    expected[4].group = 65535;
    expected[5].number = 42;
    expected[6].axisX = -17;
    expected[7].axisY = 230;
    QCOMPARE(back->spriteCount(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(back->spriteInfo(i), expected[i]);
        QCOMPARE(back->spritePixels(i), ten->spritePixels(i));
    }
}

void TestMainWindowSff::duplicateAsLinkAndAsCopy()
{
    open(tenSprites);
    // Exporting is not editing.
    const QString exported = path("export.pcx");
    selectSprite(9);
    run("actionSalvar_imagem", exported);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Save image"));
    QCOMPARE(tabTitle(0), QString("SFF"));

    selectSprite(2);
    answerDialog(true); // the dialog's default is a link
    action("actionDuplicar_sprite")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(0).className, QString("SpriteDupl"));
    QCOMPARE(seen.value(0).title, QString("Duplicar sprite"));
    QCOMPARE(labels(), QString("4 / 11 | Linked at 5, 1 | 12 x 8 pixels"));
    QCOMPARE(tabTitle(0), QString("SFF*"));
    selectSprite(0);
    answerDialog(true, [](QWidget* d) { d->findChild<QRadioButton*>("duplCopy")->setChecked(true); });
    action("actionDuplicar_sprite")->trigger();
    QCOMPARE(labels(), QString("2 / 12 | No linkage | 10 x 6 pixels"));
    answerDialog(false); // cancel duplicates nothing
    action("actionDuplicar_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("2 / 12"));

    // The exported picture as the source's new image; the copy keeps the old one.
    selectSprite(0);
    takeDialogsSeen();
    run("actionTrocar_imagem", exported);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Change image"));
    run("actionTrocar_imagem", QString()); // a cancelled dialog changes nothing
    QCOMPARE(text("sprSize"), QString("19 x 15 pixels"));

    saveAndReload("duplicates.sff");
    QCOMPARE(back->spriteCount(), 12);
    QCOMPARE(back->spritePixels(0), ten->spritePixels(9));
    QCOMPARE(back->spritePixels(1), ten->spritePixels(0)); // the copy
    QVERIFY(back->spriteInfo(1).hasData);
    // The link at 4 shows the image of 5,1, as the old link behind it does.
    QVERIFY(!back->spriteInfo(4).hasData);
    QCOMPARE(back->spritePixels(4), ten->spritePixels(2));
    QCOMPARE(back->spritePixels(5), ten->spritePixels(2));
}

void TestMainWindowSff::deleteLeavesTheImageToALinkHeir()
{
    open(tenSprites);
    selectSprite(2);
    run("actionExcluir_sprite", QMessageBox::No);
    QCOMPARE(text("sprPos"), QString("3 / 10"));
    QCOMPARE(tabTitle(0), QString("SFF"));
    run("actionExcluir_sprite", QMessageBox::Yes);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(1).title, QString("Delete sprite"));
    QCOMPARE(seen.value(1).text, QString("Do you really want to delete the sprite"));
    // The sprite that linked to it took its place and its image.
    QCOMPARE(labels(), QString("3 / 9 | No linkage | 12 x 8 pixels"));
    QCOMPARE(spin("sprGrp"), 6);
    QCOMPARE(tabTitle(0), QString("SFF*"));
    // Deleting the last sprite shows the one before it.
    selectSprite(8);
    run("actionExcluir_sprite", QMessageBox::Yes);
    QCOMPARE(text("sprPos"), QString("8 / 8"));

    saveAndReload("deleted.sff");
    QCOMPARE(back->spriteCount(), 8);
    QVERIFY(back->spriteInfo(2).hasData);
    QCOMPARE(back->spritePixels(2), ten->spritePixels(2));
    QCOMPARE(back->spriteInfo(7).group, quint16(11));

    // With every sprite deleted, Save refuses: Mugen would not open the file.
    const QByteArray before = readFile(path("deleted.sff"));
    for (int i = 0; i < 8; ++i)
        run("actionExcluir_sprite", QMessageBox::Yes);
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    takeDialogsSeen();
    run("actionSalvar_2", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Save SFF"));
    QCOMPARE(readFile(path("deleted.sff")), before);
    QCOMPARE(tabTitle(0), QString("SFF*"));
}

void TestMainWindowSff::importPngTwiceAddsOnePalette()
{
    open(tenSprites);
    selectSprite(9);
    const QString png = path("import.png");
    const QImage image = spritetest::indexed(33, 21, 5, greyRamp(40));
    QVERIFY(image.save(png));
    for (int k = 0; k < 2; ++k) {
        run("actionNovo_sprite", png);
        QCOMPARE(labels(), QString("%1 / %1 | No linkage | 33 x 21 pixels").arg(11 + k));
        QCOMPARE(text("actPos"), QString("3 / 3")); // the palette of the image, once
    }
    QCOMPARE(takeDialogsSeen().value(0).title, QString("New sprite"));
    QCOMPARE(tabTitle(0), QString("SFF*"));

    saveAndReload("imported.sff");
    QCOMPARE(tabTitle(0), QString("SFF"));
    QCOMPARE(back->spriteCount(), 12);
    QCOMPARE(back->paletteCount(), 3);
    for (int i : {10, 11})
        QCOMPARE(back->spriteImage(i).convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    // Opening the saved file shows the same.
    open(path("imported.sff"));
    selectSprite(11);
    QCOMPARE(text("sprSize"), QString("33 x 21 pixels"));
    QCOMPARE(text("actPos"), QString("3 / 3"));
}

void TestMainWindowSff::failedSavesWarnAndKeepTheMark()
{
    const QString file = copyOfTen("kept.sff");
    open(file);
    child<QSpinBox>("sprGrp")->setValue(99);
    const QString nowhere = path("no/such/folder/out.sff");
    expectWarning("actionSave_As", nowhere, "Save SFF");
    QCOMPARE(tabTitle(0), QString("SFF*"));
    QVERIFY(!QFile::exists(nowhere));

    // Cancel is pressed as soon as the progress dialog shows: the file stays as it was.
    auto* dialog = w->findChild<QProgressDialog*>();
    QVERIFY(dialog);
    QTimer::singleShot(0, dialog, [dialog] { dialog->cancel(); });
    run("actionSalvar_2", QMessageBox::Ok);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SFF"));
    QCOMPARE(tabTitle(0), QString("SFF*"));
    QCOMPARE(readFile(file), readFile(tenSprites));

    // The archive keeps the name it had: Save writes the file it came from.
    action("actionSalvar_2")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(tabTitle(0), QString("SFF"));
    reload(file);
    QCOMPARE(back->spriteInfo(0).group, quint16(99));

    // Image and palette exports that fail are told as well.
    expectWarning("actionSalvar_imagem", path("no/such/folder/sprite.png"), "Save image");
    expectWarning("actionSave_palette", path("no/such/folder/palette.act"), "New palette");
}

void TestMainWindowSff::unreadableFilesChangeNothing()
{
    open(tenSprites);
    const QString junk = path("junk.png");
    writeFile(junk, "this is no picture");
    // A New sprite whose image cannot be read leaves no empty record.
    selectSprite(3);
    expectWarning("actionNovo_sprite", junk, "New sprite");
    QCOMPARE(text("sprPos"), QString("4 / 10"));
    expectWarning("actionTrocar_imagem", junk, "Change image");
    QCOMPARE(text("sprLnk"), QString("Linked at 5, 1"));
    QCOMPARE(tabTitle(0), QString("SFF"));

    const QString shortAct = path("short.act");
    writeFile(shortAct, QByteArray(767, '\x20'));
    const QByteArray colours = shownPalette()->getAll();
    for (const char* name : {"actionNew_palette", "actionOpen_palette"}) {
        expectWarning(name, shortAct, "New palette");
        QCOMPARE(text("actPos"), QString("1 / 2"));
        QCOMPARE(shownPalette()->getAll(), colours);
        QCOMPARE(tabTitle(1), QString("ACT"));
    }

    // What is not an archive is refused. What is left is a new archive: Save
    // asks for a name instead of writing over the file that was not read.
    const QString junkSff = path("junk.sff");
    writeFile(junkSff, QByteArray(600, 'x'));
    expectWarning("actionAbrir_2", junkSff, "Open SFF");
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    run("actionSalvar_2", QMessageBox::Ok);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Save SFF"));
    QCOMPARE(readFile(junkSff), QByteArray(600, 'x'));
}

void TestMainWindowSff::discardQuestions()
{
    CORPUS_OR_SKIP(other, "font/f-4x6.sff");
    open(tenSprites);
    child<QSpinBox>("sprX")->setValue(50);
    run("actionAbrir_2", QMessageBox::No);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
    QCOMPARE(text("sprPos"), QString("1 / 10"));
    answerMessageBox(QMessageBox::Yes);
    open(other);
    QCOMPARE(text("sprPos"), QString("1 / 94"));
    QCOMPARE(tabTitle(0), QString("SFF"));

    // File > New: No keeps sprites and palettes, Yes lets both go.
    child<QSpinBox>("sprGrp")->setValue(12);
    run("actionNovo", QMessageBox::No);
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
    QCOMPARE(text("sprPos"), QString("1 / 94"));
    run("actionNovo", QMessageBox::Yes);
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    QCOMPARE(text("actPos"), QString("0 / 0"));
    QCOMPARE(tabTitle(0), QString("SFF"));
}

void TestMainWindowSff::newSffKeepsThePalettes()
{
    open(tenSprites);
    selectSprite(3);
    action("actionNovo_2")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(labels(), QString("0 / 0 | No linkage | 0 x 0 pixels"));
    QVERIFY(!child<QWidget>("sprGrp")->isEnabled());
    QCOMPARE(text("actPos"), QString("1 / 2"));
    // With a sprite, Save of the new archive asks for a name.
    const QString png = path("first.png");
    QVERIFY(spritetest::indexed(8, 8, 1, greyRamp(0)).save(png));
    run("actionNovo_sprite", png);
    QCOMPARE(text("sprPos"), QString("1 / 1"));
    takeDialogsSeen();
    run("actionSalvar_2", path("new.sff"));
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(0).className, QString("QFileDialog"));
    QCOMPARE(seen.value(0).title, QString("Save SFF"));
    QVERIFY(QFile::exists(path("new.sff")));
    QCOMPARE(tabTitle(0), QString("SFF"));
}

void TestMainWindowSff::paletteCommands()
{
    CORPUS_OR_SKIP(green, "palettes/green.act");
    CORPUS_OR_SKIP(nxc, "palettes/nxc.act");
    QByteArray greenColours, nxcColours;
    QVERIFY(QSprites::loadPaletteAct(green, greenColours));
    QVERIFY(QSprites::loadPaletteAct(nxc, nxcColours));
    open(tenSprites);
    child<QTabWidget>("tabs")->setCurrentIndex(1);

    // New: the file's palette goes in behind the active one; the same file
    // again selects it instead of adding it.
    for (int k = 0; k < 2; ++k) {
        selectPalette(0);
        run("actionNew_palette", green);
        QCOMPARE(text("actPos"), QString("2 / 3"));
    }
    QCOMPARE(takeDialogsSeen().value(0).title, QString("New palette"));
    QCOMPARE(shownPalette()->getAll(), greenColours);
    QCOMPARE(tabTitle(1), QString("ACT*"));
    child<QSpinBox>("actGrp")->setValue(7);
    child<QSpinBox>("actNum")->setValue(3);
    // Duplicate, then delete the duplicate.
    action("actionDuplicate_palette")->trigger();
    QCOMPARE(text("actPos"), QString("3 / 4"));
    QCOMPARE(spin("actGrp"), 0);
    QCOMPARE(shownPalette()->getAll(), greenColours);
    run("actionDelete_palette", QMessageBox::Yes);
    QCOMPARE(takeDialogsSeen().value(0).text, QString("Do you really want to delete the palette"));
    QCOMPARE(text("actPos"), QString("3 / 3"));
    // Open replaces the active palette's colours; Save writes them as an ACT file.
    selectPalette(2);
    run("actionOpen_palette", nxc);
    QCOMPARE(shownPalette()->getAll(), nxcColours);
    run("actionSave_palette", path("back->act"));
    QByteArray act;
    QVERIFY(QSprites::loadPaletteAct(path("back->act"), act));
    QCOMPARE(act, nxcColours);

    // Effects, swap and set colour on the cells selected with the mouse.
    selectPalette(0);
    QPaletteWidget* grid = w->findChild<QPaletteWidget*>();
    const QByteArray grey = shownPalette()->getAll();
    auto* combo = child<QComboBox>("comboBox");
    combo->setCurrentIndex(9); // nothing selected: Monochrome changes nothing
    QCOMPARE(shownPalette()->getAll(), grey);
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(10).center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, grid->cellRect(12).center());
    combo->setCurrentIndex(10); // Fire
    QCOMPARE(shownPalette()->colour(11), QColor(111, 5, 0));
    QCOMPARE(shownPalette()->colour(13), QColor(13, 13, 13));
    child<QToolButton>("actTroca")->click();
    QCOMPARE(shownPalette()->colour(10), QColor(112, 6, 0));
    QCOMPARE(shownPalette()->colour(12), QColor(110, 5, 0));
    answerDialog(true, [](QWidget* d) { qobject_cast<QColorDialog*>(d)->setCurrentColor(QColor(1, 2, 3)); });
    child<QToolButton>("actCor")->click();
    answerDialog(false); // a cancelled colour dialog changes nothing
    child<QToolButton>("actCor")->click();
    for (int i : {10, 11, 12})
        QCOMPARE(shownPalette()->colour(uchar(i)), QColor(1, 2, 3));

    saveAndReload("palettes.sff");
    QCOMPARE(tabTitle(1), QString("ACT"));
    QCOMPARE(back->paletteCount(), 3);
    QCOMPARE(back->paletteData(0).mid(30, 12), QByteArray("\x01\x02\x03", 3).repeated(3) + grey.mid(39, 3));
    QCOMPARE(back->spriteImage(0).colorTable().value(11), qRgb(1, 2, 3)); // its sprites show it
    QCOMPARE(back->paletteData(1), greenColours);
    QCOMPARE(back->paletteInfo(1).group, qint16(7));
    QCOMPARE(back->paletteInfo(1).number, qint16(3));
    QCOMPARE(back->paletteData(2), nxcColours);
    QCOMPARE(back->spriteInfo(9).paletteIndex, quint16(2)); // sprites follow their palette

    run("actionRemover_tudo", QMessageBox::No);
    QCOMPARE(text("actPos"), QString("1 / 3"));
    run("actionRemover_tudo", QMessageBox::Yes);
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(1).title, QString("Delete all palettes"));
    QCOMPARE(seen.value(1).text, QString("Do you really want to delete all palettes. The sprites aren't displayed!"));
    QCOMPARE(text("actPos"), QString("0 / 0"));
    QVERIFY(!child<QWidget>("actGrp")->isEnabled());
    QCOMPARE(shownPalette()->getAll(), QByteArray(768, '\0'));
    QCOMPARE(tabTitle(1), QString("ACT*"));
    // Colour edits with no palette change no archive palette.
    grid->select(3);
    combo->setCurrentIndex(7);
    QCOMPARE(text("actPos"), QString("0 / 0"));
}

void TestMainWindowSff::viewKeepsItsColoursWhenPalettesMove_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new palette in front") << "actionNew_palette";
    QTest::newRow("duplicate in front") << "actionDuplicate_palette";
    QTest::newRow("delete in front") << "actionDelete_palette";
}

void TestMainWindowSff::viewKeepsItsColoursWhenPalettesMove()
{
    QFETCH(QString, command);
    CORPUS_OR_SKIP(green, "palettes/green.act");
    open(tenSprites);
    // Sprite 9 is drawn with its own palette, 1; palette 0 is the active one.
    child<QCheckBox>("sprImgPal")->setChecked(false);
    child<QCheckBox>("actPalImg")->click();
    QVERIFY(!child<QCheckBox>("actPalImg")->isChecked());
    selectSprite(9);
    selectPalette(0);
    QWidget* view = renderWidget();
    // The sprite around the axis, which the view keeps at its centre.
    const auto spriteArea = [view] {
        QCoreApplication::processEvents();
        const QImage shot = view->grab().toImage();
        return shot.copy(shot.width() / 2 - 25, shot.height() / 2 - 25, 50, 50);
    };
    const QImage before = spriteArea();
    if (command == "actionNew_palette")
        answerFileDialog(green);
    if (command == "actionDelete_palette")
        answerMessageBox(QMessageBox::Yes);
    w->findChild<QAction*>(command)->trigger();
    // The sprite's palette moved to another index; the view follows it.
    QCOMPARE(spriteArea(), before);
}

void TestMainWindowSff::colourPickSelectsTheEntry()
{
    open(tenSprites);
    selectSprite(9); // 19 x 15 pixels, axis (9, -9)
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    child<QToolButton>("actPega")->click();
    QVERIFY(child<QToolButton>("actPega")->isChecked());
    QWidget* view = renderWidget();
    QCoreApplication::processEvents();
    // The axis is drawn at the view's centre; pixel (sx, sy) of the sprite
    // lies at centre - axis + (sx, sy) at zoom 1. One away from the axis marker:
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2) - QPoint(9, -9) + QPoint(15, 12));
    QVERIFY(w->findChild<QPaletteWidget*>()->isSelected(uchar(ten->spriteImage(9).pixelIndex(15, 12))));
    // Picking does not change anything.
    QCOMPARE(marks(), QString("SFF ACT"));
}

QTEST_MAIN(TestMainWindowSff)
#include "tst_mainwindow_sff.moc"

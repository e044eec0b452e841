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

using spritetest::greyRamp;

class TestMainWindowSff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(windowfixture::installShippedConfig());
        ten = std::make_unique<QSprites>(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        spritetest::fillTenSprites(*ten);
        tenSprites = path("ten.sff");
        QVERIFY(ten->save(tenSprites, true));
    }

    void init()
    {
        w = new MainWindow;
        w->resize(900, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        takeDialogsSeen();
    }

    void cleanup()
    {
        QCOMPARE(pendingAnswers(), 0);
        clearAnswers();
        windowfixture::destroyWindow(w);
    }

    void walkThroughCorpusArchives_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("fightfx") << "data/fightfx.sff";
        QTest::newRow("f-4x6, with links") << "font/f-4x6.sff";
    }

    void walkThroughCorpusArchives()
    {
        QFETCH(QString, file);
        CORPUS_OR_SKIP(path, file);
        QSprites expected(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(expected.load(path));
        for (const char* name : {"sprGrp", "sprX", "actGrp", "actNum"}) // nothing open yet
            QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
        child<QTabWidget>("tabs")->setCurrentIndex(1);
        open(path);
        QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), 0); // opening shows the SFF tab
        const int count = expected.spriteCount();
        for (int i = 0; i < count; ++i) {
            selectSprite(i);
            const SpriteInfo info = expected.spriteInfo(i);
            const SpriteInfo linked = expected.spriteInfo(info.linkIndex);
            const SpriteSize size = expected.spriteSize(i);
            QCOMPARE(labels(), QString("%1 / %2 | %3 | %4 x %5 pixels").arg(i + 1).arg(count)
                                   .arg(info.hasData ? QString("No linkage") : QString("Linked at %1, %2").arg(linked.group).arg(linked.number))
                                   .arg(size.width).arg(size.height));
            QCOMPARE(child<QSpinBox>("sprGrp")->value(), int(info.group));
            QCOMPARE(child<QSpinBox>("sprY")->value(), int(info.axisY));
            // "Switch to image's palette" is on: the palette tab follows the sprite.
            QCOMPARE(child<QScrollBar>("actSel")->value(), int(info.paletteIndex));
        }
        QCOMPARE(tabTitle(0) + tabTitle(1), QString("SFFACT")); // showing is not editing
        if (!file.contains("fightfx"))
            return;
        selectSprite(11);
        QCoreApplication::processEvents();
        saveSnapshot(w, "sff-tab-fightfx");
        child<QTabWidget>("tabs")->setCurrentIndex(1);
        for (int cell : {1, 2, 40})
            w->findChild<QPaletteWidget*>()->select(uchar(cell));
        QCoreApplication::processEvents();
        saveSnapshot(w, "act-tab-fightfx");
        QCOMPARE(w->findChild<QPaletteWidget*>()->palette()->getAll(), expected.paletteData(child<QScrollBar>("actSel")->value()));
    }

    void editDuplicateDeleteImportSaveReload()
    {
        open(tenSprites);
        // Group, number and axis of sprite 4; groups are 16-bit: -1 is 65535 in the file.
        selectSprite(4);
        const QList<QPair<const char*, int>> edits = {{"sprGrp", -1}, {"sprImg", 42}, {"sprX", -17}, {"sprY", 230}};
        for (const auto& [box, value] : edits)
            child<QSpinBox>(box)->setValue(value);
        // Sprites and palettes are saved together: both tabs say the archive changed.
        QCOMPARE(tabTitle(0) + tabTitle(1), QString("SFF*ACT*"));

        // Deleting 5,1 leaves its image to the sprite that linked to it.
        selectSprite(2);
        run("actionExcluir_sprite", QMessageBox::No);
        QCOMPARE(text("sprPos"), QString("3 / 10"));
        run("actionExcluir_sprite", QMessageBox::Yes);
        QCOMPARE(takeDialogsSeen().value(1).text, QString("Do you really want to delete the sprite"));
        QCOMPARE(labels(), QString("3 / 9 | No linkage | 12 x 8 pixels"));
        // Duplicate the heir as a link (the dialog's default), then sprite 0 as a copy; cancel duplicates nothing.
        answerDialog(true);
        action("actionDuplicar_sprite")->trigger();
        QCOMPARE(takeDialogsSeen().value(0).className, QString("SpriteDupl"));
        QCOMPARE(labels(), QString("4 / 10 | Linked at 6, 1 | 12 x 8 pixels"));
        selectSprite(0);
        answerDialog(true, [](QWidget* d) { d->findChild<QRadioButton*>("duplCopy")->setChecked(true); });
        action("actionDuplicar_sprite")->trigger();
        answerDialog(false);
        action("actionDuplicar_sprite")->trigger();
        QCOMPARE(labels(), QString("2 / 11 | No linkage | 10 x 6 pixels"));

        // The same PNG imported twice adds its palette once.
        const QImage image = spritetest::indexed(33, 21, 5, greyRamp(40));
        QVERIFY(image.save(path("import.png")));
        selectSprite(10);
        for (int k = 0; k < 2; ++k) {
            run("actionNovo_sprite", path("import.png"));
            QCOMPARE(labels(), QString("%1 / %1 | No linkage | 33 x 21 pixels").arg(12 + k));
            QCOMPARE(text("actPos"), QString("3 / 3"));
        }

        saveAndReload("edited.sff");
        QCOMPARE(tabTitle(0), QString("SFF"));
        QCOMPARE(back->spriteCount(), 13);
        QCOMPARE(back->paletteCount(), 3);
        // The copy, the heir, its link and the edited sprite, with the images they came from.
        for (const auto& [i, from, data] : {std::tuple{1, 0, true}, {3, 2, true}, {4, 2, false}, {5, 4, true}}) {
            QCOMPARE(back->spritePixels(i), ten->spritePixels(from));
            QCOMPARE(back->spriteInfo(i).hasData, data);
        }
        QCOMPARE(back->spriteInfo(5), (SpriteInfo{true, -17, 230, 65535, 42, 0, 0, 0}));
        for (int i : {11, 12})
            QCOMPARE(back->spriteImage(i).convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    }

    void failedSavesWarnAndKeepTheMark()
    {
        QFile::copy(tenSprites, path("kept.sff"));
        open(path("kept.sff"));
        child<QSpinBox>("sprGrp")->setValue(99);
        expectWarning("actionSave_As", path("no/such/folder/out.sff"), "Save SFF");
        QCOMPARE(tabTitle(0), QString("SFF*"));

        // Cancel is pressed as soon as the progress dialog shows: the file stays as it was.
        auto* dialog = w->findChild<QProgressDialog*>();
        QTimer::singleShot(0, dialog, [dialog] { dialog->cancel(); });
        run("actionSalvar_2", QMessageBox::Ok);
        QCOMPARE(takeDialogsSeen().value(0).title, QString("Save SFF"));
        QCOMPARE(tabTitle(0), QString("SFF*"));
        QCOMPARE(readFile(path("kept.sff")), readFile(tenSprites));

        // The archive keeps its name: Save writes the file it came from, without a dialog.
        action("actionSalvar_2")->trigger();
        QVERIFY(takeDialogsSeen().isEmpty());
        QCOMPARE(tabTitle(0), QString("SFF"));
        QSprites saved(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(saved.load(path("kept.sff")));
        QCOMPARE(saved.spriteInfo(0).group, quint16(99));

        // Image and palette exports that fail are told as well.
        expectWarning("actionSalvar_imagem", path("no/such/folder/sprite.png"), "Save image");
        expectWarning("actionSave_palette", path("no/such/folder/palette.act"), "New palette");
    }

    void unreadableFilesChangeNothing()
    {
        open(tenSprites);
        // A New sprite whose image cannot be read leaves no empty record.
        selectSprite(3);
        expectWarning("actionNovo_sprite", writeFile(path("junk.png"), "this is no picture"), "New sprite");
        QCOMPARE(labels(), QString("4 / 10 | Linked at 5, 1 | 12 x 8 pixels"));
        QCOMPARE(tabTitle(0), QString("SFF"));
        // Opening over a changed archive asks first; Cancel keeps it.
        child<QSpinBox>("sprX")->setValue(50);
        run("actionAbrir_2", QMessageBox::Cancel);
        QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
        QCOMPARE(text("sprPos"), QString("4 / 10"));
        // What is not an archive is refused, and the archive stays as it was,
        // its unsaved change with it.
        const QString junkSff = writeFile(path("junk.sff"), QByteArray(600, 'x'));
        answerMessageBox(QMessageBox::Discard);
        expectWarning("actionAbrir_2", junkSff, "Open SFF");
        QCOMPARE(labels(), QString("4 / 10 | Linked at 5, 1 | 12 x 8 pixels"));
        QCOMPARE(child<QSpinBox>("sprX")->value(), 50);
        QCOMPARE(tabTitle(0), QString("SFF*"));
        // New leaves an empty archive.
        run("actionNovo_2", QMessageBox::Discard);
        takeDialogsSeen();
        QCOMPARE(labels(), QString("0 / 0 | No linkage | 0 x 0 pixels"));
        for (const char* name : {"sprGrp", "sprImg", "sprX", "sprY", "sprDeLoad", "sprImgPal"})
            QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
        // Commands that need a sprite do nothing, and ask nothing.
        for (const char* name : {"actionTrocar_imagem", "actionSalvar_imagem", "actionDuplicar_sprite", "actionExcluir_sprite"})
            action(name)->trigger();
        QVERIFY(takeDialogsSeen().isEmpty());
        // Nothing is saved, neither over the file that was not read nor elsewhere: Mugen would not open an empty archive.
        for (const char* name : {"actionSalvar_2", "actionSave_As"}) {
            run(name, QMessageBox::Ok);
            const auto seen = takeDialogsSeen();
            QCOMPARE(seen.size(), 1);
            QCOMPARE(seen[0].title, QString("Save SFF"));
            QCOMPARE(seen[0].text, QString("You can't save an empty SFF because Mugen will not open it."));
        }
        QCOMPARE(readFile(junkSff), QByteArray(600, 'x'));
    }

    void paletteCommands()
    {
        CORPUS_OR_SKIP(green, "palettes/green.act");
        CORPUS_OR_SKIP(nxc, "palettes/nxc.act");
        open(tenSprites);
        child<QTabWidget>("tabs")->setCurrentIndex(1);
        // Picking from the sprite selects the entry under the mouse: pixel (x, y)
        // lies at the view's centre - axis + (x, y); sprite 9's axis is (9, -9).
        selectSprite(9);
        child<QToolButton>("actPega")->click();
        auto* column = child<QVBoxLayout>("verticalLayout");
        QWidget* view = column->itemAt(column->count() - 1)->widget();
        QCoreApplication::processEvents();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2 - 9 + 15, view->height() / 2 + 9 + 12));
        QPaletteWidget* grid = w->findChild<QPaletteWidget*>();
        QVERIFY(grid->isSelected(uchar(ten->spriteImage(9).pixelIndex(15, 12))));
        child<QToolButton>("actPega")->click();
        // New: the file's palette goes in behind the active one; the same file again selects it.
        selectSprite(0);
        for (int k = 0; k < 2; ++k) {
            child<QScrollBar>("actSel")->setValue(0);
            run("actionNew_palette", green);
            QCOMPARE(text("actPos"), QString("2 / 3"));
        }
        QCOMPARE(tabTitle(1), QString("ACT*"));
        child<QSpinBox>("actGrp")->setValue(7);
        // Open replaces the active palette's colours; Save writes them as an ACT file.
        child<QScrollBar>("actSel")->setValue(2);
        run("actionOpen_palette", nxc);
        run("actionSave_palette", path("saved.act"));
        QCOMPARE(readFile(path("saved.act")), readFile(nxc));
        // An effect on the cells selected with the mouse.
        child<QScrollBar>("actSel")->setValue(0);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(10).center());
        QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, grid->cellRect(12).center());
        child<QComboBox>("comboBox")->setCurrentIndex(10); // Fire

        saveAndReload("palettes.sff");
        QCOMPARE(tabTitle(1), QString("ACT"));
        QCOMPARE(back->spriteImage(0).colorTable().mid(9, 5),
                 (QList<QRgb>{qRgb(9, 9, 9), qRgb(110, 5, 0), qRgb(111, 5, 0), qRgb(112, 6, 0), qRgb(13, 13, 13)}));
        QCOMPARE(back->paletteInfo(1).group, qint16(7));
        QByteArray colours;
        QVERIFY(QSprites::loadPaletteAct(green, colours));
        QCOMPARE(back->paletteData(1), colours);
        QVERIFY(QSprites::loadPaletteAct(nxc, colours));
        QCOMPARE(back->paletteData(2), colours);
        QCOMPARE(back->spriteInfo(9).paletteIndex, quint16(2)); // sprites follow their palette
    }

    void versionsAndTrueColour()
    {
        // kfm's archive is 2.01; its first sprite is a 32-bit portrait.
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
        QVERIFY(QFile::copy(kfm, path("kfm.sff")));
        QSprites original(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(original.load(kfm));
        open(path("kfm.sff"));
        const QString why = "This sprite is true colour: it is drawn with its own colours, so palettes and the remap table do not apply to it.";
        const QList<const char*> paletteControls = {"sprImgPal", "actPalImg", "actPega", "palrmTable", "palrmAdd", "palrmDel"};
        const auto expectTrueColour = [&](bool trueColour) {
            for (const char* name : paletteControls) {
                QCOMPARE(child<QWidget>(name)->isEnabled(), !trueColour);
                QCOMPARE(child<QWidget>(name)->toolTip() == why, trueColour);
            }
        };
        expectTrueColour(true);
        QCOMPARE(child<QLabel>("sprSize")->toolTip(), QString("32-bit colour with alpha"));
        QCoreApplication::processEvents();
        saveSnapshot(w, "sff-tab-kfm-true-colour");
        selectSprite(6); // LZ5
        expectTrueColour(false);
        QCOMPARE(child<QWidget>("sprImgPal")->toolTip(), QString("Automatically set the current image's palette as active palette in ACT editor."));
        selectSprite(0);

        // Save As offers the three versions, the archive's own first. 2.00
        // cannot hold true colour: it asks, and No saves nothing.
        const QStringList filters = {"SFF 1.01 (older engines) (*.sff)", "SFF 2.00 (engine 1.0) (*.sff)", "SFF 2.01 (engine 1.1) (*.sff)"};
        QUndoStack* stack = w->spriteArchive().undoStack();
        takeDialogsSeen();
        answerFileDialog(path("kfm-200.sff"), filters[1]);
        run("actionSave_As", QMessageBox::No);
        auto seen = takeDialogsSeen();
        QCOMPARE(seen.value(0).filters, QStringList{filters[2]} + filters);
        QCOMPARE(seen.value(1).title, QString("Save SFF"));
        QCOMPARE(seen.value(1).text, QString("SFF 2.00 has no true colour: 3 true-colour sprites will be reduced to 256 colours.\n\nSave as SFF 2.00?"));
        QVERIFY(!QFile::exists(path("kfm-200.sff")));
        QCOMPARE(stack->count(), 0);
        // Yes: the portraits are reduced and the file is 2.00, as one step.
        answerFileDialog(path("kfm-200.sff"), filters[1]);
        run("actionSave_As", QMessageBox::Yes);
        QCOMPARE(readFile(path("kfm-200.sff")).mid(12, 4).toHex(), QByteArray("00000002"));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(), QString("Change to SFF 2.00"));
        QCOMPARE(tabTitle(0), QString("SFF"));
        expectTrueColour(false);
        action("actionUndo")->trigger();
        QCOMPARE(tabTitle(0), QString("SFF*"));
        expectTrueColour(true);
        takeDialogsSeen();
        // Back to 2.01 the file says nothing; every sprite is as it was read.
        answerFileDialog(path("kfm-201.sff"), filters[2]);
        action("actionSave_As")->trigger();
        QCOMPARE(takeDialogsSeen().size(), 1);
        back = std::make_unique<QSprites>(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(back->load(path("kfm-201.sff")));
        QCOMPARE(back->version(), SffVersion::V201);
        spritetest::compareArchives(original, *back);

        // A picture of 32 bits goes into a 2.01 archive as it is.
        QVERIFY(spritetest::trueColour(20, 10, 3).save(path("portrait.png")));
        const int before = stack->index();
        run("actionNovo_sprite", path("portrait.png"));
        QCOMPARE(stack->index(), before + 1);
        QCOMPARE(stack->undoText(), QString("New sprite"));
        QCOMPARE(w->spriteArchive().spriteSize(1).imageFormat, QImage::Format_ARGB32);
        expectTrueColour(true);

        // 1.01 says what it cannot hold: palettes, and true colour.
        takeDialogsSeen();
        answerFileDialog(path("kfm-101.sff"), filters[0]);
        run("actionSave_As", QMessageBox::Yes);
        seen = takeDialogsSeen();
        QVERIFY(seen.value(1).text.startsWith("SFF 1.01 has no true colour: 4 true-colour sprites will be reduced to 256 colours.\n\n"
                                              "SFF 1.01 has no palette list of its own: sprites that share a palette are written with the shared flag"));
        QCOMPARE(readFile(path("kfm-101.sff")).mid(12, 4).toHex(), QByteArray("00010001"));
        // A plain save keeps 1.01 from now on.
        child<QSpinBox>("sprX")->setValue(12);
        action("actionSalvar_2")->trigger();
        QVERIFY(takeDialogsSeen().isEmpty());
        QCOMPARE(readFile(path("kfm-101.sff")).mid(12, 4).toHex(), QByteArray("00010001"));
        QCOMPARE(tabTitle(0), QString("SFF"));
    }

    void damagedArchiveAsksBeforeSaving()
    {
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.sff");
        const QByteArray cut = readFile(kfm).left(150000);
        const QString file = writeFile(path("cut.sff"), cut);
        open(file);
        takeDialogsSeen();
        auto* issues = w->findChild<QAbstractItemView*>("issuesList");
        QVERIFY(issues->model()->index(1, 0).data(Qt::ToolTipRole).toString().contains(
            "sprites could not be read: the file ends at byte 150 000"));
        QCOMPARE(tabTitle(0), QString("SFF*")); // what was read is not what the file holds
        run("actionSalvar_2", QMessageBox::No);
        QVERIFY(takeDialogsSeen().value(0).text.contains("could not be read when it was opened"));
        QCOMPARE(readFile(file), cut);
        run("actionSalvar_2", QMessageBox::Yes);
        QCOMPARE(takeDialogsSeen().size(), 1);
        QCOMPARE(tabTitle(0), QString("SFF"));
        QVERIFY(readFile(file) != cut);
        action("actionSalvar_2")->trigger(); // saved once, it holds all there is
        const auto seen = takeDialogsSeen();
        QVERIFY2(seen.isEmpty(), qPrintable(seen.value(0).title + ": " + seen.value(0).text));
    }

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
    QString tabTitle(int i) { return child<QTabWidget>("tabs")->tabText(i); }
    void selectSprite(int i) { child<QScrollBar>("sprSel")->setValue(i); }
    QString path(const QString& name) const { return tmp.filePath(name); }
    // Opens the file through SFF > Open, answering a discard question first if asked.
    void open(const QString& file) { run("actionAbrir_2", file); }
    // Saves through SFF > Save As and reads the file back into `back`.
    void saveAndReload(const QString& name)
    {
        run("actionSave_As", path(name));
        back = std::make_unique<QSprites>(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(back->load(path(name)));
    }
    // Triggers the action with `file` typed into its file dialog, then
    // expects a warning with this title that names the file.
    void expectWarning(const char* actionName, const QString& file, const QString& title)
    {
        takeDialogsSeen();
        answerFileDialog(file);
        answerMessageBox(QMessageBox::Ok);
        action(actionName)->trigger();
        const auto seen = takeDialogsSeen();
        QCOMPARE(seen.value(seen.size() - 2).className, QString("QFileDialog"));
        QCOMPARE(seen.last().title, title);
        QVERIFY2(seen.last().text.contains(QFileInfo(file).fileName()), qPrintable(seen.last().text));
    }

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
    QString tenSprites; // see initTestCase
    std::unique_ptr<QSprites> ten, back;
};

QTEST_MAIN(TestMainWindowSff)
#include "tst_mainwindow_sff.moc"

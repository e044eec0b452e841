// The SFF and ACT tabs of the real window: their actions and dialogs, the
// labels a person reads, and the files they leave on disk.
#include "mainwindow.h"
#include "qpalettewidget.h"
#include "qrgbpalette.h"
#include "qsprites.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::answerDialog;
using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestMainWindowSff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyArchive();
    void saveRefusesAnEmptyArchive_data();
    void saveRefusesAnEmptyArchive();
    void labelsWhileStepping_data();
    void labelsWhileStepping();
    void corpusArchiveStepAndSnapshots();
    void editsReachTheArchive_data();
    void editsReachTheArchive();
    void duplicateAsLinkAndAsCopy();
    void deleteLeavesTheImageToALinkHeir();
    void importPngTwiceAddsOnePalette();
    void changeAndExportImage();
    void trueColourImport();
    void newSpriteFromAnUnreadableFile();
    void saveFailuresWarnAndKeepTheMark();
    void cancelledSaveKeepsFileAndMark();
    void openAsksBeforeDiscarding();
    void openRefusesWhatIsNotAnArchive();
    void paletteCommands();
    void paletteEffectsThroughTheWindow();
    void paletteFileFailures();
    void viewKeepsItsColoursWhenPalettesMove_data();
    void viewKeepsItsColoursWhenPalettesMove();
    void colourPickSelectsTheEntry();
    void deleteAllPalettes();
    void newSffKeepsThePalettes();
    void newCharacterKeepsPalettesOfKeptSprites();
    void languageChangeShowsTheSpriteAgain();

private:
    template <class T> T* child(const char* name)
    {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    int spin(const char* name) { return child<QSpinBox>(name)->value(); }
    QString tabTitle(int i) { return child<QTabWidget>("tabs")->tabText(i); }
    void selectSprite(int i) { child<QScrollBar>("sprSel")->setValue(i); }
    void selectPalette(int i) { child<QScrollBar>("actSel")->setValue(i); }
    QPaletteWidget* paletteWidget() { return w->findChild<QPaletteWidget*>(); }
    QWidget* renderWidget()
    {
        auto* column = child<QVBoxLayout>("verticalLayout");
        return column->itemAt(column->count() - 1)->widget();
    }

    QString path(const QString& name) const { return tmp.filePath(name); }
    // Opens `file` through SFF > Open.
    void open(const QString& file);
    // Saves through SFF > Save As under `file`.
    void saveAs(const QString& file);
    // The archive as a file on disk says it.
    bool reload(const QString& file, QSprites& into);

    QTemporaryDir tmp;
    MainWindow* w = nullptr;
    QString tenSprites; // see initTestCase
};

namespace {

QByteArray greyRamp(int shift)
{
    QByteArray c(768, '\0');
    for (int i = 1; i < 256; ++i)
        c[3 * i] = c[3 * i + 1] = c[3 * i + 2] = char((i + shift) & 255);
    return c;
}

QImage indexedImage(int w, int h, int seed, const QByteArray& colours)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.append(qRgb(uchar(colours[3 * i]), uchar(colours[3 * i + 1]), uchar(colours[3 * i + 2])));
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, uint((x * 7 + y * 3 + seed) % 200 + (x == 0 ? 0 : 1)));
    return img;
}

struct Fields
{
    quint16 group, number;
    qint16 x, y;
    bool hasData;
    quint16 link;
};

Fields fieldsOf(const QSprites& s, int i)
{
    const SpriteInfo f = s.spriteInfo(i);
    return {f.group, f.number, f.axisX, f.axisY, f.hasData, f.linkIndex};
}

QString describe(const Fields& f)
{
    return QString("%1,%2 axis %3,%4 %5").arg(f.group).arg(f.number).arg(f.x).arg(f.y)
        .arg(f.hasData ? QString("data") : QString("link %1").arg(f.link));
}

} // namespace

void TestMainWindowSff::initTestCase()
{
    QVERIFY(tmp.isValid());
    QVERIFY(windowfixture::installShippedConfig());
    // Ten sprites: sprite i is group i + 3, number 1, sized (10 + i) x (6 + i);
    // sprite 2 is group 5 number 1 and sprite 3 links to it; two palettes.
    QSprites s(nullptr, BlobsInMemory, false, -1);
    for (int i = 0; i < 10; ++i) {
        s.addSprite();
        if (i != 3)
            QVERIFY(s.setImage(i, indexedImage(10 + i, 6 + i, i, greyRamp(i < 5 ? 0 : 1))));
        s.setSpriteInfo(i, {i != 3, qint16(i), qint16(-i), quint16(i + 3), 1, quint16(i == 3 ? 2 : 0),
                            quint16(i < 5 ? 0 : 1), 0});
    }
    QCOMPARE(s.paletteCount(), 2);
    tenSprites = path("ten.sff");
    QVERIFY(s.save(tenSprites, true));
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
    QCOMPARE(testsupport::pendingAnswers(), 0);
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

void TestMainWindowSff::open(const QString& file)
{
    answerFileDialog(file);
    action("actionAbrir_2")->trigger();
    const auto seen = takeDialogsSeen();
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.last().title, QString("Open SFF"));
}

void TestMainWindowSff::saveAs(const QString& file)
{
    takeDialogsSeen();
    answerFileDialog(file);
    action("actionSave_As")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SFF"));
}

bool TestMainWindowSff::reload(const QString& file, QSprites& into)
{
    return into.load(file);
}

void TestMainWindowSff::emptyArchive()
{
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    QCOMPARE(text("sprLnk"), QString("No linkage"));
    QCOMPARE(text("sprSize"), QString("0 x 0 pixels"));
    for (const char* name : {"sprGrp", "sprImg", "sprX", "sprY", "sprDeLoad", "sprImgPal", "sprCorTrans"})
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    QCOMPARE(child<QScrollBar>("sprSel")->maximum(), 0);
    QCOMPARE(text("actPos"), QString("0 / 0"));
    QVERIFY(!child<QWidget>("actGrp")->isEnabled());
    QVERIFY(!child<QWidget>("actNum")->isEnabled());
    // Commands that need a sprite or a palette do nothing, and ask nothing.
    for (const char* name : {"actionTrocar_imagem", "actionSalvar_imagem", "actionDuplicar_sprite",
                             "actionExcluir_sprite", "actionOpen_palette", "actionSave_palette",
                             "actionDuplicate_palette", "actionDelete_palette"})
        action(name)->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(tabTitle(0), QString("SFF"));
    QCOMPARE(tabTitle(1), QString("ACT"));
}

void TestMainWindowSff::saveRefusesAnEmptyArchive_data()
{
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<bool>("named");
    QTest::newRow("Save") << "actionSalvar_2" << false;
    QTest::newRow("Save As") << "actionSave_As" << false;
    QTest::newRow("Save of an archive that had a file") << "actionSalvar_2" << true;
}

void TestMainWindowSff::saveRefusesAnEmptyArchive()
{
    QFETCH(QString, actionName);
    QFETCH(bool, named);
    if (named) {
        open(tenSprites);
        // Deleting every sprite leaves an archive Mugen would not open.
        for (int i = 0; i < 10; ++i) {
            answerMessageBox(QMessageBox::Yes);
            action("actionExcluir_sprite")->trigger();
        }
        QCOMPARE(text("sprPos"), QString("0 / 0"));
        takeDialogsSeen();
    }
    const QByteArray before = named ? [&] { QFile f(tenSprites); f.open(QIODevice::ReadOnly); return f.readAll(); }()
                                    : QByteArray();
    answerMessageBox(QMessageBox::Ok);
    w->findChild<QAction*>(actionName)->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SFF"));
    QCOMPARE(seen[0].text, QString("You can't save an empty SFF because Mugen will not open it."));
    if (named) {
        QFile f(tenSprites);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(tabTitle(0), QString("SFF*"));
    }
}

void TestMainWindowSff::labelsWhileStepping_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("pos");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("palette");
    QTest::newRow("first") << 0 << "1 / 10" << "No linkage" << "10 x 6 pixels" << 0;
    QTest::newRow("group 5 number 1") << 2 << "3 / 10" << "No linkage" << "12 x 8 pixels" << 0;
    QTest::newRow("linked to it") << 3 << "4 / 10" << "Linked at 5, 1" << "12 x 8 pixels" << 0;
    QTest::newRow("last") << 9 << "10 / 10" << "No linkage" << "19 x 15 pixels" << 1;
}

void TestMainWindowSff::labelsWhileStepping()
{
    QFETCH(int, index);
    QFETCH(QString, pos);
    QFETCH(QString, link);
    QFETCH(QString, size);
    QFETCH(int, palette);
    open(tenSprites);
    QCOMPARE(text("sprPos"), QString("1 / 10"));
    QCOMPARE(child<QScrollBar>("sprSel")->maximum(), 9);
    QCOMPARE(child<QScrollBar>("actSel")->maximum(), 1);
    selectSprite(index);
    QCOMPARE(text("sprPos"), pos);
    QCOMPARE(text("sprLnk"), link);
    QCOMPARE(text("sprSize"), size);
    QCOMPARE(spin("sprGrp"), index + 3);
    QCOMPARE(spin("sprImg"), 1);
    QCOMPARE(spin("sprX"), index);
    QCOMPARE(spin("sprY"), -index);
    for (const char* name : {"sprGrp", "sprImg", "sprX", "sprY", "sprDeLoad", "sprImgPal", "sprCorTrans"})
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
    // "Switch to image's palette" is on: the palette tab follows the sprite.
    QCOMPARE(child<QScrollBar>("actSel")->value(), palette);
    QCOMPARE(text("actPos"), QString("%1 / 2").arg(palette + 1));
    // Showing is not editing.
    QCOMPARE(tabTitle(0), QString("SFF"));
    QCOMPARE(tabTitle(1), QString("ACT"));
}

void TestMainWindowSff::corpusArchiveStepAndSnapshots()
{
    CORPUS_OR_SKIP(file, "data/fightfx.sff");
    QSprites expected(nullptr, BlobsInMemory, false, -1);
    QVERIFY(expected.load(file));
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    open(file);
    // Opening shows the SFF tab.
    QCOMPARE(child<QTabWidget>("tabs")->currentIndex(), 0);
    const int count = expected.spriteCount();
    QCOMPARE(text("sprPos"), QString("1 / %1").arg(count));
    QCOMPARE(child<QScrollBar>("actSel")->maximum(), expected.paletteCount() - 1);
    for (int i = 0; i < count; ++i) {
        selectSprite(i);
        const SpriteInfo info = expected.spriteInfo(i);
        const SpriteSize size = expected.spriteSize(i);
        QCOMPARE(text("sprPos"), QString("%1 / %2").arg(i + 1).arg(count));
        QCOMPARE(spin("sprGrp"), int(info.group));
        QCOMPARE(spin("sprImg"), int(info.number));
        QCOMPARE(spin("sprX"), int(info.axisX));
        QCOMPARE(spin("sprY"), int(info.axisY));
        QCOMPARE(text("sprSize"), QString("%1 x %2 pixels").arg(size.width).arg(size.height));
        QCOMPARE(child<QScrollBar>("actSel")->value(), int(info.paletteIndex));
    }
    QCOMPARE(tabTitle(0), QString("SFF"));

    selectSprite(11);
    QCoreApplication::processEvents();
    testsupport::saveSnapshot(w, "sff-tab-fightfx");
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    paletteWidget()->select(1);
    paletteWidget()->select(2);
    paletteWidget()->select(40);
    paletteWidget()->update();
    QCoreApplication::processEvents();
    testsupport::saveSnapshot(w, "act-tab-fightfx");
    // The grid shows the active palette of the archive.
    QCOMPARE(paletteWidget()->palette()->getAll(), expected.paletteData(child<QScrollBar>("actSel")->value()));
}

void TestMainWindowSff::editsReachTheArchive_data()
{
    QTest::addColumn<QString>("spinBox");
    QTest::addColumn<int>("value");
    QTest::newRow("group") << "sprGrp" << 700;
    QTest::newRow("number") << "sprImg" << 42;
    QTest::newRow("axis x") << "sprX" << -17;
    QTest::newRow("axis y") << "sprY" << 230;
    // Groups are 16-bit: -1 in the box is 65535 in the file.
    QTest::newRow("group 65535") << "sprGrp" << -1;
    QTest::newRow("decompress on load") << "sprDeLoad" << 1;
}

void TestMainWindowSff::editsReachTheArchive()
{
    QFETCH(QString, spinBox);
    QFETCH(int, value);
    const QString file = path("edits.sff");
    QFile::remove(file);
    QVERIFY(QFile::copy(tenSprites, file));
    open(file);
    selectSprite(4);
    if (spinBox == "sprDeLoad")
        child<QCheckBox>("sprDeLoad")->click();
    else
        w->findChild<QSpinBox*>(spinBox)->setValue(value);
    QCOMPARE(tabTitle(0), QString("SFF*"));
    QCOMPARE(tabTitle(1), QString("ACT"));
    // The edit stays with sprite 4 when other sprites are shown.
    selectSprite(5);
    selectSprite(4);
    if (spinBox != "sprDeLoad")
        QCOMPARE(w->findChild<QSpinBox*>(spinBox)->value(), value);
    else
        QVERIFY(child<QCheckBox>("sprDeLoad")->isChecked());

    action("actionSalvar_2")->trigger(); // the file exists: saved without a dialog
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(tabTitle(0), QString("SFF"));
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    const SpriteInfo s = back.spriteInfo(4);
    if (spinBox == "sprGrp")
        QCOMPARE(int(s.group), value == -1 ? 65535 : value);
    else if (spinBox == "sprImg")
        QCOMPARE(int(s.number), value);
    else if (spinBox == "sprX")
        QCOMPARE(int(s.axisX), value);
    else if (spinBox == "sprY")
        QCOMPARE(int(s.axisY), value);
    // The saved file holds every sprite; the ones not edited are unchanged.
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(tenSprites));
    QCOMPARE(back.spriteCount(), 10);
    for (int i = 0; i < 10; ++i) {
        if (i != 4)
            QCOMPARE(describe(fieldsOf(back, i)), describe(fieldsOf(original, i)));
        QCOMPARE(back.spritePixels(i), original.spritePixels(i));
    }
}

void TestMainWindowSff::duplicateAsLinkAndAsCopy()
{
    open(tenSprites);
    selectSprite(2);
    // The dialog's default is a link.
    answerDialog(true);
    action("actionDuplicar_sprite")->trigger();
    auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].className, QString("SpriteDupl"));
    QCOMPARE(seen[0].title, QString("Duplicar sprite"));
    QCOMPARE(text("sprPos"), QString("4 / 11"));
    QCOMPARE(text("sprLnk"), QString("Linked at 5, 1"));
    QCOMPARE(tabTitle(0), QString("SFF*"));

    // Duplicate sprite 0 as a copy of its image.
    selectSprite(0);
    answerDialog(true, [](QWidget* d) { d->findChild<QRadioButton*>("duplCopy")->setChecked(true); });
    action("actionDuplicar_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("2 / 12"));
    QCOMPARE(text("sprLnk"), QString("No linkage"));
    QCOMPARE(text("sprSize"), QString("10 x 6 pixels"));

    // Cancel duplicates nothing.
    answerDialog(false);
    action("actionDuplicar_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("2 / 12"));

    // A new image for the source leaves the copy as it was.
    const QString png = path("replacement.png");
    QVERIFY(indexedImage(5, 5, 77, greyRamp(0)).save(png));
    selectSprite(0);
    answerFileDialog(png);
    action("actionTrocar_imagem")->trigger();
    QCOMPARE(text("sprSize"), QString("5 x 5 pixels"));

    const QString file = path("duplicates.sff");
    saveAs(file);
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    QCOMPARE(back.spriteCount(), 12);
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(tenSprites));
    QCOMPARE(back.spriteSize(1).width, quint16(10));
    QCOMPARE(back.spritePixels(1), original.spritePixels(0)); // the copy
    QCOMPARE(back.spriteSize(0).width, quint16(5));           // the new image
    // The link at 4 (behind the copy) shows sprite 3's image, 5,1.
    QVERIFY(!back.spriteInfo(4).hasData);
    QCOMPARE(back.spriteInfo(back.spriteInfo(4).linkIndex).group, quint16(5));
    QCOMPARE(back.spritePixels(4), original.spritePixels(2));
    // The old link (sprite 3 of the original) still reaches the same image.
    QCOMPARE(back.spritePixels(5), original.spritePixels(3));
}

void TestMainWindowSff::deleteLeavesTheImageToALinkHeir()
{
    open(tenSprites);
    selectSprite(2);
    answerMessageBox(QMessageBox::No);
    action("actionExcluir_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("3 / 10"));
    QCOMPARE(tabTitle(0), QString("SFF"));

    answerMessageBox(QMessageBox::Yes);
    action("actionExcluir_sprite")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].title, QString("Delete sprite"));
    QCOMPARE(seen[1].text, QString("Do you really want to delete the sprite"));
    // The sprite that linked to it took its place and its image.
    QCOMPARE(text("sprPos"), QString("3 / 9"));
    QCOMPARE(text("sprLnk"), QString("No linkage"));
    QCOMPARE(text("sprSize"), QString("12 x 8 pixels"));
    QCOMPARE(spin("sprGrp"), 6);
    QCOMPARE(tabTitle(0), QString("SFF*"));

    // Deleting the last sprite shows the one before it.
    selectSprite(8);
    answerMessageBox(QMessageBox::Yes);
    action("actionExcluir_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("8 / 8"));

    const QString file = path("deleted.sff");
    saveAs(file);
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(tenSprites));
    QCOMPARE(back.spriteCount(), 8);
    QVERIFY(back.spriteInfo(2).hasData);
    QCOMPARE(back.spritePixels(2), original.spritePixels(2));
    QCOMPARE(back.spriteInfo(7).group, quint16(11));
}

void TestMainWindowSff::importPngTwiceAddsOnePalette()
{
    open(tenSprites);
    selectSprite(9);
    const QString png = path("import.png");
    const QImage image = indexedImage(33, 21, 5, greyRamp(40));
    QVERIFY(image.save(png));
    for (int k = 0; k < 2; ++k) {
        answerFileDialog(png);
        action("actionNovo_sprite")->trigger();
        QCOMPARE(text("sprPos"), QString("%1 / %2").arg(11 + k).arg(11 + k));
        QCOMPARE(text("sprSize"), QString("33 x 21 pixels"));
        QCOMPARE(text("actPos"), QString("3 / 3")); // the palette of the image, once
    }
    QCOMPARE(takeDialogsSeen().value(0).title, QString("New sprite"));
    QCOMPARE(child<QScrollBar>("actSel")->maximum(), 2);
    QCOMPARE(tabTitle(0), QString("SFF*"));

    const QString file = path("imported.sff");
    saveAs(file);
    QCOMPARE(tabTitle(0), QString("SFF"));
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    QCOMPARE(back.spriteCount(), 12);
    QCOMPARE(back.paletteCount(), 3);
    for (int i : {10, 11}) {
        const QImage sprite = back.spriteImage(i);
        QCOMPARE(sprite.size(), image.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(sprite.pixel(x, y), image.pixel(x, y));
    }
    // Reopening the saved file in the window shows the same.
    open(file);
    selectSprite(11);
    QCOMPARE(text("sprSize"), QString("33 x 21 pixels"));
    QCOMPARE(text("actPos"), QString("3 / 3"));
}

void TestMainWindowSff::changeAndExportImage()
{
    open(tenSprites);
    selectSprite(1);
    for (const char* suffix : {"pcx", "png", "bmp"}) {
        const QString out = path(QString("export.%1").arg(suffix));
        answerFileDialog(out);
        action("actionSalvar_imagem")->trigger();
        QCOMPARE(takeDialogsSeen().value(0).title, QString("Save image"));
        QVERIFY2(QFile::exists(out), suffix);
        // Exporting is not editing.
        QCOMPARE(tabTitle(0), QString("SFF"));
    }
    // The exported picture comes back as the same image.
    selectSprite(7);
    answerFileDialog(path("export.pcx"));
    action("actionTrocar_imagem")->trigger();
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Change image"));
    QCOMPARE(text("sprSize"), QString("11 x 7 pixels"));
    QCOMPARE(tabTitle(0), QString("SFF*"));
    // A cancelled dialog changes nothing.
    answerFileDialog(QString());
    action("actionTrocar_imagem")->trigger();
    QCOMPARE(text("sprSize"), QString("11 x 7 pixels"));

    // Each exported file reads back as sprite 1's pixels.
    QSprites original(nullptr, BlobsInMemory, false, -1);
    QVERIFY(original.load(tenSprites));
    for (int k = 0; k < 3; ++k) {
        const QString suffix = QStringList{"pcx", "png", "bmp"}[k];
        selectSprite(5 + k);
        answerFileDialog(path("export." + suffix));
        action("actionTrocar_imagem")->trigger();
    }
    const QString file = path("exported-and-back.sff");
    saveAs(file);
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    for (int i : {5, 6, 7}) {
        const QImage a = back.spriteImage(i);
        const QImage b = original.spriteImage(1);
        QCOMPARE(a.size(), b.size());
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                QCOMPARE(a.pixel(x, y), b.pixel(x, y));
    }
}

void TestMainWindowSff::trueColourImport()
{
    // A true-colour gradient of far more than 256 colours becomes a sprite
    // that looks like it, with a palette of its own and nothing transparent.
    QImage gradient(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgb(x * 255 / 199, y * 255 / 119, 128));
    const QString png = path("gradient.png");
    QVERIFY(gradient.save(png));
    open(tenSprites);
    answerFileDialog(png);
    action("actionNovo_sprite")->trigger();
    QCOMPARE(text("sprSize"), QString("200 x 120 pixels"));
    QCOMPARE(text("actPos"), QString("3 / 3"));
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    QCoreApplication::processEvents();
    testsupport::saveSnapshot(w, "act-tab-true-colour-import");
    const QString file = path("gradient.sff");
    saveAs(file);
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    const QImage sprite = back.spriteImage(1);
    qint64 total = 0;
    for (int y = 0; y < gradient.height(); ++y) {
        for (int x = 0; x < gradient.width(); ++x) {
            QVERIFY(sprite.pixelIndex(x, y) != 0);
            const QRgb a = gradient.pixel(x, y), b = sprite.pixel(x, y);
            total += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    }
    QVERIFY(double(total) / (3.0 * gradient.width() * gradient.height()) < 4.0);
}

void TestMainWindowSff::newSpriteFromAnUnreadableFile()
{
    open(tenSprites);
    selectSprite(4);
    const QString junk = path("junk.png");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("this is no picture");
    f.close();
    answerFileDialog(junk);
    answerMessageBox(QMessageBox::Ok);
    action("actionNovo_sprite")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].title, QString("New sprite"));
    QVERIFY2(seen[1].text.contains(QDir::toNativeSeparators(junk)), qPrintable(seen[1].text));
    // No empty record is left, and nothing was changed.
    QCOMPARE(text("sprPos"), QString("5 / 10"));
    QCOMPARE(tabTitle(0), QString("SFF"));
    selectSprite(3);
    QCOMPARE(text("sprLnk"), QString("Linked at 5, 1"));

    // The same for Change image: the sprite keeps its image.
    answerFileDialog(junk);
    answerMessageBox(QMessageBox::Ok);
    action("actionTrocar_imagem")->trigger();
    QCOMPARE(takeDialogsSeen().value(1).title, QString("Change image"));
    QCOMPARE(text("sprLnk"), QString("Linked at 5, 1"));
    QCOMPARE(tabTitle(0), QString("SFF"));
}

void TestMainWindowSff::saveFailuresWarnAndKeepTheMark()
{
    const QString file = path("kept.sff");
    QFile::remove(file);
    QVERIFY(QFile::copy(tenSprites, file));
    open(file);
    child<QSpinBox>("sprGrp")->setValue(99);
    QCOMPARE(tabTitle(0), QString("SFF*"));
    const QString nowhere = path("no/such/folder/out.sff");
    answerFileDialog(nowhere);
    answerMessageBox(QMessageBox::Ok);
    action("actionSave_As")->trigger();
    auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].className, QString("QMessageBox"));
    QCOMPARE(seen[1].title, QString("Save SFF"));
    QVERIFY2(seen[1].text.contains(QDir::toNativeSeparators(nowhere)), qPrintable(seen[1].text));
    QCOMPARE(tabTitle(0), QString("SFF*"));
    QVERIFY(!QFile::exists(nowhere));

    // The archive keeps the name it had: Save writes the file it came from.
    action("actionSalvar_2")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(tabTitle(0), QString("SFF"));
    QSprites back(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, back));
    QCOMPARE(back.spriteInfo(0).group, quint16(99));

    // Image and palette exports that fail are told as well.
    answerFileDialog(path("no/such/folder/sprite.png"));
    answerMessageBox(QMessageBox::Ok);
    action("actionSalvar_imagem")->trigger();
    seen = takeDialogsSeen();
    QCOMPARE(seen.value(1).title, QString("Save image"));
    QVERIFY(seen.value(1).text.contains("sprite.png"));
    answerFileDialog(path("no/such/folder/palette.act"));
    answerMessageBox(QMessageBox::Ok);
    action("actionSave_palette")->trigger();
    seen = takeDialogsSeen();
    QCOMPARE(seen.value(1).title, QString("New palette"));
    QVERIFY(seen.value(1).text.contains("palette.act"));
}

void TestMainWindowSff::cancelledSaveKeepsFileAndMark()
{
    const QString file = path("cancelled.sff");
    QFile::remove(file);
    QVERIFY(QFile::copy(tenSprites, file));
    open(file);
    child<QSpinBox>("sprImg")->setValue(5);
    QCOMPARE(tabTitle(0), QString("SFF*"));
    // Cancel is pressed as soon as the progress dialog shows.
    auto* dialog = w->findChild<QProgressDialog*>();
    QVERIFY(dialog);
    QTimer::singleShot(0, dialog, [dialog] { dialog->cancel(); });
    answerMessageBox(QMessageBox::Ok);
    action("actionSalvar_2")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SFF"));
    QCOMPARE(tabTitle(0), QString("SFF*"));
    QFile a(file), b(tenSprites);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
}

void TestMainWindowSff::openAsksBeforeDiscarding()
{
    open(tenSprites);
    child<QSpinBox>("sprX")->setValue(50);
    QCOMPARE(tabTitle(0), QString("SFF*"));
    CORPUS_OR_SKIP(other, "font/f-4x6.sff");
    answerMessageBox(QMessageBox::No);
    action("actionAbrir_2")->trigger();
    QCOMPARE(text("sprPos"), QString("1 / 10"));
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
    // A palette edit counts as well: the ACT tab shares the question.
    answerMessageBox(QMessageBox::Yes);
    open(other);
    QCOMPARE(text("sprPos"), QString("1 / 94"));
    QCOMPARE(tabTitle(0), QString("SFF"));
    // f-4x6 holds links: the label names the sprite linked to.
    selectSprite(68);
    QCOMPARE(text("sprLnk"), QString("Linked at 0, 69"));
}

void TestMainWindowSff::openRefusesWhatIsNotAnArchive()
{
    open(tenSprites);
    const QString junk = path("junk.sff");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(600, 'x'));
    f.close();
    answerFileDialog(junk);
    answerMessageBox(QMessageBox::Ok);
    action("actionAbrir_2")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].title, QString("Open SFF"));
    QVERIFY(seen[1].text.contains("junk.sff"));
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    // What is left is a new archive: Save asks for a name instead of
    // writing over the file that was not read.
    answerMessageBox(QMessageBox::Ok);
    action("actionSalvar_2")->trigger();
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Save SFF"));
    QFile again(junk);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), QByteArray(600, 'x'));
}

void TestMainWindowSff::paletteCommands()
{
    CORPUS_OR_SKIP(green, "palettes/green.act");
    open(tenSprites);
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    selectPalette(0);
    QCOMPARE(text("actPos"), QString("1 / 2"));

    // New: the file's palette goes in behind the active one.
    answerFileDialog(green);
    action("actionNew_palette")->trigger();
    QCOMPARE(takeDialogsSeen().value(0).title, QString("New palette"));
    QCOMPARE(text("actPos"), QString("2 / 3"));
    QByteArray greenColours;
    QVERIFY(QSprites::loadPaletteAct(green, greenColours));
    QCOMPARE(paletteWidget()->palette()->getAll(), greenColours);
    QCOMPARE(tabTitle(1), QString("ACT*"));
    QCOMPARE(tabTitle(0), QString("SFF"));
    // The same file again selects the palette instead of adding it.
    selectPalette(0);
    answerFileDialog(green);
    action("actionNew_palette")->trigger();
    QCOMPARE(text("actPos"), QString("2 / 3"));

    // Group and number.
    child<QSpinBox>("actGrp")->setValue(7);
    child<QSpinBox>("actNum")->setValue(3);

    // Duplicate, then delete the duplicate.
    action("actionDuplicate_palette")->trigger();
    QCOMPARE(text("actPos"), QString("3 / 4"));
    QCOMPARE(spin("actGrp"), 0);
    QCOMPARE(paletteWidget()->palette()->getAll(), greenColours);
    takeDialogsSeen();
    answerMessageBox(QMessageBox::Yes);
    action("actionDelete_palette")->trigger();
    QCOMPARE(takeDialogsSeen().value(0).text, QString("Do you really want to delete the palette"));
    QCOMPARE(text("actPos"), QString("3 / 3"));

    // Open replaces the active palette's colours.
    CORPUS_OR_SKIP(nxc, "palettes/nxc.act");
    selectPalette(2);
    answerFileDialog(nxc);
    action("actionOpen_palette")->trigger();
    QByteArray nxcColours;
    QVERIFY(QSprites::loadPaletteAct(nxc, nxcColours));
    QCOMPARE(paletteWidget()->palette()->getAll(), nxcColours);

    // Save writes the active palette as an ACT file.
    const QString act = path("saved.act");
    answerFileDialog(act);
    action("actionSave_palette")->trigger();
    QByteArray back;
    QVERIFY(QSprites::loadPaletteAct(act, back));
    QCOMPARE(back, nxcColours);

    const QString file = path("palettes.sff");
    saveAs(file);
    QCOMPARE(tabTitle(1), QString("ACT"));
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, s));
    QCOMPARE(s.paletteCount(), 3);
    QCOMPARE(s.paletteData(1), greenColours);
    QCOMPARE(s.paletteInfo(1).group, qint16(7));
    QCOMPARE(s.paletteInfo(1).number, qint16(3));
    QCOMPARE(s.paletteData(2), nxcColours);
    // Sprites of the second palette follow it to its new index.
    QCOMPARE(s.spriteInfo(9).paletteIndex, quint16(2));
}

void TestMainWindowSff::paletteEffectsThroughTheWindow()
{
    open(tenSprites);
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    selectPalette(0);
    QPaletteWidget* grid = paletteWidget();
    const QByteArray before = grid->palette()->getAll();
    auto* combo = child<QComboBox>("comboBox");
    QCOMPARE(combo->count(), 13);

    // No colour selected: an effect changes nothing.
    combo->setCurrentIndex(9); // Monochrome
    QCOMPARE(grid->palette()->getAll(), before);

    // Cells 10 to 12 selected with the mouse, then "Fire".
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(10).center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, grid->cellRect(12).center());
    combo->setCurrentIndex(10);
    QCOMPARE(grid->palette()->colour(11), QColor(111, 5, 0)); // grey 11
    QCOMPARE(grid->palette()->colour(13), QColor(13, 13, 13));
    QCOMPARE(tabTitle(1), QString("ACT*"));
    // Item 0 does nothing.
    combo->setCurrentIndex(0);
    QCOMPARE(grid->palette()->colour(11), QColor(111, 5, 0));

    // Swap mirrors the selected entries.
    child<QToolButton>("actTroca")->click();
    QCOMPARE(grid->palette()->colour(10), QColor(112, 6, 0));
    QCOMPARE(grid->palette()->colour(12), QColor(110, 5, 0));

    // Set colour paints every selected entry.
    answerDialog(true, [](QWidget* d) { qobject_cast<QColorDialog*>(d)->setCurrentColor(QColor(1, 2, 3)); });
    child<QToolButton>("actCor")->click();
    QCOMPARE(takeDialogsSeen().value(0).className, QString("QColorDialog"));
    for (int i : {10, 11, 12})
        QCOMPARE(grid->palette()->colour(uchar(i)), QColor(1, 2, 3));
    // A cancelled colour dialog changes nothing.
    answerDialog(false);
    child<QToolButton>("actCor")->click();
    QCOMPARE(grid->palette()->colour(10), QColor(1, 2, 3));

    const QString file = path("effects.sff");
    saveAs(file);
    QSprites s(nullptr, BlobsInMemory, false, -1);
    QVERIFY(reload(file, s));
    const QByteArray saved = s.paletteData(0);
    QCOMPARE(saved.mid(30, 3), QByteArray("\x01\x02\x03", 3));
    QCOMPARE(saved.mid(39, 3), before.mid(39, 3));
    // The sprites drawn with it show the new colours.
    QCOMPARE(s.spriteImage(0).colorTable().value(11), qRgb(1, 2, 3));
}

void TestMainWindowSff::paletteFileFailures()
{
    open(tenSprites);
    child<QTabWidget>("tabs")->setCurrentIndex(1);
    const QString shortAct = path("short.act");
    QFile f(shortAct);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(767, '\x20'));
    f.close();
    for (const char* name : {"actionNew_palette", "actionOpen_palette"}) {
        const QByteArray before = paletteWidget()->palette()->getAll();
        answerFileDialog(shortAct);
        answerMessageBox(QMessageBox::Ok);
        action(name)->trigger();
        const auto seen = takeDialogsSeen();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].title, QString("New palette"));
        QVERIFY(seen[1].text.contains("short.act"));
        QCOMPARE(text("actPos"), QString("1 / 2"));
        QCOMPARE(paletteWidget()->palette()->getAll(), before);
        QCOMPARE(tabTitle(1), QString("ACT"));
    }
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
    QVERIFY(view && view->isVisible());
    QCoreApplication::processEvents();
    // The axis is drawn at the view's centre; pixel (sx, sy) of the sprite
    // lies at centre - axis + (sx, sy) at zoom 1.
    const QPoint centre(view->width() / 2, view->height() / 2);
    // A pixel away from the axis marker.
    const QPoint at = centre - QPoint(9, -9) + QPoint(15, 12);
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    const QImage img = indexedImage(19, 15, 9, greyRamp(1));
    const int index = img.pixelIndex(15, 12);
    QVERIFY(paletteWidget()->isSelected(uchar(index)));
    // Picking does not change anything.
    QCOMPARE(tabTitle(0), QString("SFF"));
    QCOMPARE(tabTitle(1), QString("ACT"));
}

void TestMainWindowSff::deleteAllPalettes()
{
    open(tenSprites);
    answerMessageBox(QMessageBox::No);
    action("actionRemover_tudo")->trigger();
    QCOMPARE(text("actPos"), QString("1 / 2"));
    answerMessageBox(QMessageBox::Yes);
    action("actionRemover_tudo")->trigger();
    const auto seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].title, QString("Delete all palettes"));
    QCOMPARE(seen[1].text, QString("Do you really want to delete all palettes. The sprites aren't displayed!"));
    QCOMPARE(text("actPos"), QString("0 / 0"));
    QVERIFY(!child<QWidget>("actGrp")->isEnabled());
    QCOMPARE(paletteWidget()->palette()->getAll(), QByteArray(768, '\0'));
    QCOMPARE(tabTitle(1), QString("ACT*"));
    // Colour edits with no palette change no archive palette.
    paletteWidget()->select(3);
    child<QComboBox>("comboBox")->setCurrentIndex(7);
    QCOMPARE(text("actPos"), QString("0 / 0"));
}

void TestMainWindowSff::newSffKeepsThePalettes()
{
    open(tenSprites);
    selectSprite(3);
    action("actionNovo_2")->trigger();
    QVERIFY(takeDialogsSeen().isEmpty());
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    QCOMPARE(text("sprLnk"), QString("No linkage"));
    QCOMPARE(text("sprSize"), QString("0 x 0 pixels"));
    QVERIFY(!child<QWidget>("sprGrp")->isEnabled());
    QCOMPARE(text("actPos"), QString("1 / 2"));
    // Nothing to save yet.
    answerMessageBox(QMessageBox::Ok);
    action("actionSalvar_2")->trigger();
    auto seen = takeDialogsSeen();
    QCOMPARE(seen.value(0).className, QString("QMessageBox"));
    QCOMPARE(seen.value(0).title, QString("Save SFF"));
    // With a sprite, Save of the new archive asks for a name.
    const QString png = path("first.png");
    QVERIFY(indexedImage(8, 8, 1, greyRamp(0)).save(png));
    answerFileDialog(png);
    action("actionNovo_sprite")->trigger();
    QCOMPARE(text("sprPos"), QString("1 / 1"));
    takeDialogsSeen();
    const QString file = path("new.sff");
    answerFileDialog(file);
    action("actionSalvar_2")->trigger();
    seen = takeDialogsSeen();
    QCOMPARE(seen.value(0).className, QString("QFileDialog"));
    QCOMPARE(seen.value(0).title, QString("Save SFF"));
    QVERIFY(QFile::exists(file));
    QCOMPARE(tabTitle(0), QString("SFF"));
}

void TestMainWindowSff::newCharacterKeepsPalettesOfKeptSprites()
{
    open(tenSprites);
    child<QSpinBox>("sprGrp")->setValue(12);
    // File > New, and No to discarding the sprites: sprites and palettes stay.
    answerMessageBox(QMessageBox::No);
    action("actionNovo")->trigger();
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
    QCOMPARE(text("sprPos"), QString("1 / 10"));
    QCOMPARE(text("actPos"), QString("1 / 2"));
    // Yes: both go.
    answerMessageBox(QMessageBox::Yes);
    action("actionNovo")->trigger();
    QCOMPARE(text("sprPos"), QString("0 / 0"));
    QCOMPARE(text("actPos"), QString("0 / 0"));
    QCOMPARE(tabTitle(0), QString("SFF"));
    QCOMPARE(tabTitle(1), QString("ACT"));
}

void TestMainWindowSff::languageChangeShowsTheSpriteAgain()
{
    open(tenSprites);
    selectSprite(3);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(text("sprPos"), QString("4 / 10"));
    QCOMPARE(text("sprLnk"), QString("Linked at 5, 1"));
    QCOMPARE(text("sprSize"), QString("12 x 8 pixels"));
    QCOMPARE(text("actPos"), QString("1 / 2"));
    QCOMPARE(tabTitle(0), QString("SFF"));
}

QTEST_MAIN(TestMainWindowSff)
#include "tst_mainwindow_sff.moc"

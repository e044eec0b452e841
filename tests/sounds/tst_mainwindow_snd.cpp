// The SND tab of the real window: its actions, dialogs and files on disk.
#include "mainwindow.h"
#include "qsounds.h"
#include "sndbuilder.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QAbstractItemView>
#include <QTemporaryDir>
#include <QtTest>

using namespace sndbuilder;
using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

class TestMainWindowSnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyArchive();
    void openStepImportSaveReload();
    void selectionShowsTheFacts_data();
    void selectionShowsTheFacts();
    void spinBoxesStoreSixteenBits_data();
    void spinBoxesStoreSixteenBits();
    void duplicateAndDelete();
    void saveRefusesAnEmptyArchive_data();
    void saveRefusesAnEmptyArchive();
    void failuresWarnAndKeepTheMark_data();
    void failuresWarnAndKeepTheMark();
    void damagedArchiveIsReportedAndStaysMarked();
    void discardQuestion_data();
    void discardQuestion();
    void playAndStop();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    template<class T> T* widget(const char* name) { return window->findChild<T*>(name); }
    QString tabTitle() { return widget<QTabWidget>("tabs")->tabText(MainWindow::SndTab); }
    QString info() { return widget<QLabel>("sndInfo")->text(); }
    QString pos() { return widget<QLabel>("sndPos")->text(); }
    void select(int index) { widget<QScrollBar>("sndSel")->setValue(index); }
    // Opens `file` through SND > Open.
    void open(const QString& file);
    QSounds* loadFile(const QString& file);

    QTemporaryDir tmp;
    MainWindow* window = nullptr;
    QSounds reread{BlobsInMemory, false, -1};
};

void TestMainWindowSnd::initTestCase()
{
    QVERIFY(tmp.isValid());
    QDir().mkpath(tmp.filePath("systemp"));
    qputenv("TMPDIR", QFile::encodeName(tmp.filePath("systemp")));
}

void TestMainWindowSnd::init()
{
    window = new MainWindow;
    window->show();
    widget<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
    takeDialogsSeen();
}

void TestMainWindowSnd::cleanup()
{
    QCOMPARE(testsupport::pendingAnswers(), 0);
    testsupport::clearAnswers();
    // Nothing unsaved should be asked about when the test's window goes.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete window;
    window = nullptr;
}

QString TestMainWindowSnd::write(const QString& name, const QByteArray& bytes)
{
    const QString path = tmp.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestMainWindowSnd::open(const QString& file)
{
    answerFileDialog(file);
    action("actionOpen_3")->trigger();
}

QSounds* TestMainWindowSnd::loadFile(const QString& file)
{
    if (!reread.load(file))
        return nullptr;
    return &reread;
}

static const QString EmptyFacts = QStringLiteral("Channels: --\nSample rate: --\nBits per sample: --\nDuration: --");

void TestMainWindowSnd::emptyArchive()
{
    QCOMPARE(pos(), QString("0 / 0"));
    QVERIFY(!widget<QSpinBox>("sndGrp")->isEnabled());
    QVERIFY(!widget<QSpinBox>("sndNum")->isEnabled());
    QCOMPARE(info(), EmptyFacts);
    testsupport::saveSnapshot(window, "snd-empty");

    // New sound into an empty archive goes to index 0 and is selected.
    answerFileDialog(write("one.wav", wav(8000, 8000)));
    action("actionNew_sound")->trigger();
    QCOMPARE(pos(), QString("1 / 1"));
    QVERIFY(widget<QSpinBox>("sndGrp")->isEnabled());
    QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 1"));
    QCOMPARE(tabTitle(), QString("SND*"));
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("New sound"));

    // The tool button beside the facts deletes, like the menu item.
    answerMessageBox(QMessageBox::Yes);
    widget<QToolButton>("sndDelete")->click();
    QCOMPARE(takeDialogsSeen().value(0).title, QString("Delete sound"));
    QCOMPARE(pos(), QString("0 / 0"));
}

void TestMainWindowSnd::openStepImportSaveReload()
{
    CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.snd");
    open(kfm);
    QCOMPARE(tabTitle(), QString("SND"));
    QCOMPARE(widget<QTabWidget>("tabs")->currentIndex(), int(MainWindow::SndTab));
    QCOMPARE(pos(), QString("1 / 12"));
    QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 0.12475"));
    select(5);
    QCOMPARE(pos(), QString("6 / 12"));
    QCOMPARE(widget<QSpinBox>("sndGrp")->value(), 1);
    QCOMPARE(widget<QSpinBox>("sndNum")->value(), 1);
    QCOMPARE(info(), QString("Channels: 1\nSample rate: 11025\nBits per sample: 8\nDuration: 0.247891"));
    select(8);
    QCOMPARE(info(), QString("Channels: 1\nSample rate: 11025\nBits per sample: 8\nDuration: 3.05633"));
    testsupport::saveSnapshot(window, "snd-kfm");

    // Import after sound 8, give it a group, save under a new name, reload.
    Wav stereo;
    stereo.channels = 2;
    stereo.bits = 16;
    stereo.sampleRate = 22050;
    stereo.dataBytes = 22050 * 4 / 2;
    const QByteArray imported = wav(stereo);
    answerFileDialog(write("stereo.wav", imported));
    action("actionNew_sound")->trigger();
    QCOMPARE(pos(), QString("10 / 13"));
    QCOMPARE(info(), QString("Channels: 2\nSample rate: 22050\nBits per sample: 16\nDuration: 0.5"));
    widget<QSpinBox>("sndGrp")->setValue(900);
    widget<QSpinBox>("sndNum")->setValue(4);
    QCOMPARE(tabTitle(), QString("SND*"));

    const QString saved = tmp.filePath("kfm-edited.snd");
    answerFileDialog(saved);
    action("actionSave_As_4")->trigger();
    QCOMPARE(tabTitle(), QString("SND"));

    QSounds original(BlobsInMemory, false, -1);
    QVERIFY(original.load(kfm));
    QSounds* again = loadFile(saved);
    QVERIFY(again);
    QCOMPARE(again->count(), 13);
    for (int i = 0, j = 0; i < 13; ++i) {
        if (i == 9) {
            QCOMPARE(again->groupAndNumber(i), qMakePair(quint16(900), quint16(4)));
            QCOMPARE(again->soundBytes(i), imported);
            continue;
        }
        QCOMPARE(again->groupAndNumber(i), original.groupAndNumber(j));
        QCOMPARE(again->soundBytes(i), original.soundBytes(j));
        ++j;
    }

    // Reopening shows what was saved, from the first sound on.
    open(saved);
    QCOMPARE(pos(), QString("1 / 13"));
    QCOMPARE(widget<QScrollBar>("sndSel")->value(), 0);
    select(9);
    QCOMPARE(widget<QSpinBox>("sndGrp")->value(), 900);

    // Save goes to the same file without asking.
    widget<QSpinBox>("sndNum")->setValue(5);
    action("actionSave_3")->trigger();
    QCOMPARE(tabTitle(), QString("SND"));
    QCOMPARE(loadFile(saved)->groupAndNumber(9), qMakePair(quint16(900), quint16(5)));

    // Exporting writes the WAV file unchanged.
    const QString exported = tmp.filePath("exported.wav");
    answerFileDialog(exported);
    action("actionSave_Sound")->trigger();
    QFile f(exported);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), imported);

    // Change sound replaces the bytes and shows the new facts at once.
    answerFileDialog(write("short.wav", wav(4000, 8000)));
    action("actionChange_sound")->trigger();
    QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 0.5"));
    QCOMPARE(widget<QSpinBox>("sndGrp")->value(), 900);
    QCOMPARE(tabTitle(), QString("SND*"));
}

void TestMainWindowSnd::selectionShowsTheFacts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("facts");
    Wav w;
    w.sampleRate = 8000;
    w.dataBytes = 12000;
    QTest::newRow("one and a half seconds") << wav(w) << "Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 1.5";
    Wav list = w;
    list.beforeData = QByteArray("LIST\x04\0\0\0INFO", 12);
    QTest::newRow("list chunk before the data") << wav(list) << "Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 1.5";
    Wav none = w;
    none.channels = 0;
    QTest::newRow("no channels") << wav(none) << "Channels: 0\nSample rate: 8000\nBits per sample: 8\nDuration: --";
    Wav compressed = w;
    compressed.format = 2;
    QTest::newRow("not PCM") << wav(compressed) << "Channels: 0\nSample rate: 0\nBits per sample: 0\nDuration: --";
    QTest::newRow("not a WAV file") << QByteArray("hello") << "Channels: 0\nSample rate: 0\nBits per sample: 0\nDuration: --";
}

void TestMainWindowSnd::selectionShowsTheFacts()
{
    QFETCH(QByteArray, bytes);
    open(write("facts.snd", snd({{1, 1, wav(100)}, {2, 2, bytes}})));
    select(1);
    QTEST(info(), "facts");
    QCOMPARE(pos(), QString("2 / 2"));
}

void TestMainWindowSnd::spinBoxesStoreSixteenBits_data()
{
    QTest::addColumn<QString>("spinBox");
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown"); // after selecting the sound again
    QTest::newRow("number -1") << "sndNum" << -1 << 65535 << 32767;
    QTest::newRow("group -1") << "sndGrp" << -1 << 65535 << 32767;
    QTest::newRow("number -32767") << "sndNum" << -32767 << 32769 << 32767;
    QTest::newRow("group 32767") << "sndGrp" << 32767 << 32767 << 32767;
}

void TestMainWindowSnd::spinBoxesStoreSixteenBits()
{
    QFETCH(QString, spinBox);
    QFETCH(int, typed);
    const QString file = write("spin.snd", snd({{3, 4, wav(10)}, {5, 6, wav(20)}}));
    open(file);
    QSpinBox* box = widget<QSpinBox>(qPrintable(spinBox));
    box->setValue(0);
    box->clear();
    QTest::keyClicks(box, QString::number(typed));
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(box->value(), typed);
    QCOMPARE(tabTitle(), QString("SND*"));
    select(1);
    select(0);
    QTEST(box->value(), "shown");

    action("actionSave_3")->trigger();
    QFETCH(int, stored);
    const auto [group, number] = loadFile(file)->groupAndNumber(0);
    QCOMPARE(int(spinBox == "sndGrp" ? group : number), stored);
    // The other field keeps what the file said.
    QCOMPARE(int(spinBox == "sndGrp" ? number : group), spinBox == "sndGrp" ? 4 : 3);
}

void TestMainWindowSnd::duplicateAndDelete()
{
    const QString file = write("dup.snd", snd({{1, 1, wav(10)}, {2, 2, wav(20)}, {3, 3, wav(30)}}));
    open(file);
    select(1);
    action("actionDuplicate_sound")->trigger();
    QCOMPARE(pos(), QString("3 / 4"));
    QCOMPARE(widget<QSpinBox>("sndGrp")->value(), 2);

    // No keeps the sound.
    select(3);
    takeDialogsSeen();
    answerMessageBox(QMessageBox::No);
    action("actionDelete_sound")->trigger();
    QCOMPARE(pos(), QString("4 / 4"));
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Delete sound"));
    QCOMPARE(seen[0].text, QString("Do you really want to delete the sound"));

    // Deleting the last sound leaves the selection past the end: the empty
    // state shows until the scroll bar moves.
    answerMessageBox(QMessageBox::Yes);
    action("actionDelete_sound")->trigger();
    QCOMPARE(pos(), QString("0 / 0"));
    QCOMPARE(info(), EmptyFacts);
    QVERIFY(!widget<QSpinBox>("sndGrp")->isEnabled());
    select(0);
    QCOMPARE(pos(), QString("1 / 3"));

    // Deleting from the middle shows the sound that followed.
    select(1);
    answerMessageBox(QMessageBox::Yes);
    action("actionDelete_sound")->trigger();
    QCOMPARE(pos(), QString("2 / 2"));
    QCOMPARE(widget<QSpinBox>("sndGrp")->value(), 2);

    action("actionSave_3")->trigger();
    QSounds* saved = loadFile(file);
    QCOMPARE(saved->count(), 2);
    QCOMPARE(saved->groupAndNumber(0), qMakePair(quint16(1), quint16(1)));
    QCOMPARE(saved->groupAndNumber(1), qMakePair(quint16(2), quint16(2)));
    QCOMPARE(saved->soundBytes(1), wav(20));
}

void TestMainWindowSnd::saveRefusesAnEmptyArchive_data()
{
    QTest::addColumn<QString>("actionName");
    QTest::newRow("Save") << "actionSave_3";
    QTest::newRow("Save As") << "actionSave_As_4";
}

void TestMainWindowSnd::saveRefusesAnEmptyArchive()
{
    QFETCH(QString, actionName);
    answerMessageBox(QMessageBox::Ok);
    action(qPrintable(actionName))->trigger();
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("Save SND"));
    QCOMPARE(seen[0].text, QString("You can't save an empty SND because Mugen will not open it."));
}

void TestMainWindowSnd::failuresWarnAndKeepTheMark_data()
{
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("title");
    QTest::newRow("open a missing file") << "actionOpen_3" << "@missing.snd" << "Open SND";
    QTest::newRow("open a file that is not an SND") << "actionOpen_3" << "@not.snd" << "Open SND";
    QTest::newRow("save into a missing folder") << "actionSave_As_4" << "@no/such/dir/x.snd" << "Save SND";
    QTest::newRow("import a missing file") << "actionChange_sound" << "@missing.wav" << "Change sound";
    QTest::newRow("export into a missing folder") << "actionSave_Sound" << "@no/such/dir/x.wav" << "Save sound";
}

void TestMainWindowSnd::failuresWarnAndKeepTheMark()
{
    QFETCH(QString, actionName);
    QFETCH(QString, answer);
    write("not.snd", "RIFF and nothing else");
    const QString file = write("kept.snd", snd({{7, 7, wav(70)}, {8, 8, wav(80)}}));
    open(file);
    widget<QSpinBox>("sndNum")->setValue(9);
    QCOMPARE(tabTitle(), QString("SND*"));
    takeDialogsSeen();

    const QString target = tmp.filePath(answer.mid(1));
    const bool opening = actionName == "actionOpen_3";
    if (opening)
        answerMessageBox(QMessageBox::Yes); // discard the change: the open fails all the same
    answerFileDialog(target);
    answerMessageBox(QMessageBox::Ok);
    action(qPrintable(actionName))->trigger();
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.size(), opening ? 3 : 2);
    QTEST(seen.last().title, "title");
    QVERIFY2(seen.last().text.contains(QDir::toNativeSeparators(target)), qPrintable(seen.last().text));

    // Nothing was lost: the archive, its mark and its file name are as before.
    QCOMPARE(tabTitle(), QString("SND*"));
    QCOMPARE(pos(), QString("1 / 2"));
    QCOMPARE(widget<QSpinBox>("sndNum")->value(), 9);
    action("actionSave_3")->trigger();
    QCOMPARE(tabTitle(), QString("SND"));
    QCOMPARE(loadFile(file)->groupAndNumber(0), qMakePair(quint16(7), quint16(9)));
}

void TestMainWindowSnd::damagedArchiveIsReportedAndStaysMarked()
{
    const QByteArray a = wav(40);
    const QString file = write("damaged.snd", rawSnd(3, {{0, quint32(a.size()), 1, 1, a}, {0, 99999, 2, 2, a}}));
    open(file);
    QCOMPARE(takeDialogsSeen().size(), 1); // the file dialog only
    QCOMPARE(pos(), QString("1 / 1"));
    // The archive holds less than its file: it is marked, so that neither a
    // save nor a discard goes by unnoticed.
    QCOMPARE(tabTitle(), QString("SND*"));
    auto* issues = widget<QAbstractItemView>("issuesList");
    QCOMPARE(issues->model()->rowCount(), 1);
    QVERIFY(issues->model()->index(0, 0).data().toString().startsWith("damaged.snd(1): "));
}

void TestMainWindowSnd::discardQuestion_data()
{
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("pos");
    QTest::newRow("New, No") << "actionNew_3" << false << "1 / 2";
    QTest::newRow("New, Yes") << "actionNew_3" << true << "0 / 0";
    QTest::newRow("Open, No") << "actionOpen_3" << false << "1 / 2";
    QTest::newRow("Open, Yes") << "actionOpen_3" << true << "1 / 1";
}

void TestMainWindowSnd::discardQuestion()
{
    QFETCH(QString, actionName);
    QFETCH(bool, yes);
    open(write("two.snd", snd({{1, 1, wav(10)}, {2, 2, wav(20)}})));
    widget<QSpinBox>("sndGrp")->setValue(5);
    takeDialogsSeen();

    answerMessageBox(yes ? QMessageBox::Yes : QMessageBox::No);
    if (yes && actionName == "actionOpen_3")
        answerFileDialog(write("one.snd", snd({{3, 3, wav(30)}})));
    action(qPrintable(actionName))->trigger();
    const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
    QCOMPARE(seen.value(0).title, QString("Discard changes"));
    QCOMPARE(seen.value(0).text, QString("Do you really want to discard the changes made in the sounds"));
    QTEST(pos(), "pos");
    QCOMPARE(tabTitle(), yes ? QString("SND") : QString("SND*"));

    // Closing the window asks the same question while changes remain.
    if (!yes) {
        answerMessageBox(QMessageBox::No);
        QVERIFY(!window->close());
        QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
        QVERIFY(window->isVisible());
    }
}

void TestMainWindowSnd::playAndStop()
{
    open(write("play.snd", snd({{1, 1, wav(4000)}, {2, 2, wav(6000)}})));
    const QString temp = QDir::cleanPath(tmp.filePath("systemp"));
    action("actionPlay_with_loop")->trigger();
    QStringList files = QDir(temp).entryList({"MRV9-*.wav"}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile f(temp + '/' + files[0]);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), wav(4000));
    f.close();
    QTest::qWait(50);

    select(1);
    widget<QToolButton>("sndPlay")->click();
    files = QDir(temp).entryList({"MRV9-*.wav"}, QDir::Files);
    QCOMPARE(files.size(), 1);
    f.setFileName(temp + '/' + files[0]);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), wav(6000));

    widget<QToolButton>("sndStop")->click();
    QVERIFY(QDir(temp).entryList({"MRV9-*.wav"}, QDir::Files).isEmpty());

    // Without a selection nothing plays.
    action("actionNew_3")->trigger();
    action("actionPlay")->trigger();
    QVERIFY(QDir(temp).entryList({"MRV9-*.wav"}, QDir::Files).isEmpty());
}

QTEST_MAIN(TestMainWindowSnd)
#include "tst_mainwindow_snd.moc"

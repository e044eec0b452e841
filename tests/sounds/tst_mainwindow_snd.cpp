// The SND tab of the real window: its actions, dialogs and files on disk.
#include "mainwindow.h"
#include "qsounds.h"
#include "sndbuilder.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace sndbuilder;
using testsupport::readFile;
using testsupport::writeFile;
using testsupport::answerFileDialog;
using testsupport::answerMessageBox;
using testsupport::takeDialogsSeen;

static const QString EmptyFacts = QStringLiteral("Channels: --\nSample rate: --\nBits per sample: --\nDuration: --");

class TestMainWindowSnd : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    MainWindow* window = nullptr;
    QSounds reread{BlobsInMemory, false, -1};

    QString write(const QString& name, const QByteArray& bytes) { return writeFile(tmp.filePath(name), bytes); }
    QAction* action(const QString& name) { return window->findChild<QAction*>(name); }
    template<class T> T* widget(const char* name) { return window->findChild<T*>(name); }
    QString tabTitle() { return widget<QTabWidget>("tabs")->tabText(MainWindow::SndTab); }
    QString info() { return widget<QLabel>("sndInfo")->text(); }
    QString pos() { return widget<QLabel>("sndPos")->text(); }
    int group() { return widget<QSpinBox>("sndGrp")->value(); }
    void select(int index) { widget<QScrollBar>("sndSel")->setValue(index); }
    // Opens `file` through SND > Open.
    void open(const QString& file)
    {
        answerFileDialog(file);
        action("actionOpen_3")->trigger();
    }
    // summary() of the archive the file on disk holds; it stays in `reread`.
    QString saved(const QString& file) { return reread.load(file) ? summary(reread) : QString("unreadable"); }
    // The contents of every sound file being played.
    QByteArrayList playing()
    {
        QByteArrayList files;
        for (const QString& name : QDir(QDir::tempPath()).entryList({"MRV9-*.wav"}, QDir::Files))
            files << readFile(QDir::tempPath() + '/' + name);
        return files;
    }

private slots:
    void initTestCase()
    {
        const QString temp = useAsSystemTemp(tmp);
        QCOMPARE(QDir::tempPath(), temp);
    }

    void init()
    {
        window = new MainWindow;
        window->show();
        widget<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
        takeDialogsSeen();
    }

    void cleanup()
    {
        QCOMPARE(testsupport::pendingAnswers(), 0);
        testsupport::clearAnswers();
        // Nothing unsaved should be asked about when the test's window goes.
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
    }

    void emptyArchive()
    {
        QCOMPARE(pos(), QString("0 / 0"));
        QVERIFY(!widget<QSpinBox>("sndGrp")->isEnabled());
        QVERIFY(!widget<QSpinBox>("sndNum")->isEnabled());
        QCOMPARE(info(), EmptyFacts);
        testsupport::saveSnapshot(window, "snd-empty");

        // The engine will not open an archive without sounds.
        for (const char* save : {"actionSave_3", "actionSave_As_4"}) {
            answerMessageBox(QMessageBox::Ok);
            action(save)->trigger();
            const QList<testsupport::DialogSeen> seen = takeDialogsSeen();
            QCOMPARE(seen.size(), 1);
            QCOMPARE(seen[0].title, QString("Save SND"));
            QCOMPARE(seen[0].text, QString("You can't save an empty SND because Mugen will not open it."));
        }

        // New sound into an empty archive goes to index 0 and is selected.
        answerFileDialog(write("one.wav", wav(8000, 8000)));
        action("actionNew_sound")->trigger();
        QCOMPARE(pos(), QString("1 / 1"));
        QVERIFY(widget<QSpinBox>("sndNum")->isEnabled());
        QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 1"));
        QCOMPARE(tabTitle(), QString("SND*"));
    }

    void openStepImportSaveReload()
    {
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.snd");
        open(kfm);
        QCOMPARE(tabTitle(), QString("SND"));
        QCOMPARE(pos(), QString("1 / 12"));
        QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 0.12475"));
        select(5);
        QCOMPARE(pos(), QString("6 / 12"));
        QCOMPARE(group(), 1);
        QCOMPARE(widget<QSpinBox>("sndNum")->value(), 1);
        QCOMPARE(info(), QString("Channels: 1\nSample rate: 11025\nBits per sample: 8\nDuration: 0.247891"));
        select(8);
        QCOMPARE(info(), QString("Channels: 1\nSample rate: 11025\nBits per sample: 8\nDuration: 3.05633"));
        testsupport::saveSnapshot(window, "snd-kfm");

        // Import after sound 9, give it a group, save under a new name, reload.
        const QByteArray imported = wav({.channels = 2, .sampleRate = 22050, .bits = 16, .dataBytes = 44100,
                                         .beforeData = QByteArray("LIST\x04\0\0\0INFO", 12)});
        answerFileDialog(write("stereo.wav", imported));
        action("actionNew_sound")->trigger();
        QCOMPARE(pos(), QString("10 / 13"));
        QCOMPARE(info(), QString("Channels: 2\nSample rate: 22050\nBits per sample: 16\nDuration: 0.5"));
        widget<QSpinBox>("sndGrp")->setValue(900);
        widget<QSpinBox>("sndNum")->setValue(4);
        QCOMPARE(tabTitle(), QString("SND*"));
        const QString file = tmp.filePath("kfm-edited.snd");
        answerFileDialog(file);
        action("actionSave_As_4")->trigger();
        QCOMPARE(tabTitle(), QString("SND"));

        QSounds original(BlobsInMemory, false, -1);
        QVERIFY(original.load(kfm));
        QStringList expected = summary(original).split(' ');
        expected.insert(9, QString("900/4:%1").arg(imported.size()));
        QCOMPARE(saved(file), expected.join(' '));
        for (int i = 0; i < 13; ++i)
            QCOMPARE(reread.soundBytes(i), i == 9 ? imported : original.soundBytes(i - (i > 9)));

        // Reopening shows what was saved from the first sound on; Save then
        // goes to the same file without asking.
        open(file);
        QCOMPARE(pos(), QString("1 / 13"));
        QCOMPARE(widget<QScrollBar>("sndSel")->value(), 0);
        select(9);
        QCOMPARE(group(), 900);
        widget<QSpinBox>("sndNum")->setValue(5);
        action("actionSave_3")->trigger();
        QCOMPARE(tabTitle(), QString("SND"));
        QVERIFY(saved(file).contains(" 900/5:"));

        // Exporting writes the WAV file unchanged.
        answerFileDialog(tmp.filePath("exported.wav"));
        action("actionSave_Sound")->trigger();
        QCOMPARE(readFile(tmp.filePath("exported.wav")), imported);

        // Change sound replaces the bytes and shows the new facts at once.
        answerFileDialog(write("short.wav", wav(4000, 8000)));
        action("actionChange_sound")->trigger();
        QCOMPARE(info(), QString("Channels: 1\nSample rate: 8000\nBits per sample: 8\nDuration: 0.5"));
        QCOMPARE(group(), 900);
        QCOMPARE(tabTitle(), QString("SND*"));
        action("actionSave_3")->trigger();
        QVERIFY(saved(file).contains(" 900/5:4044 "));
    }

    void spinBoxesStoreSixteenBits_data()
    {
        QTest::addColumn<QString>("spinBox");
        QTest::addColumn<int>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("number -1") << "sndNum" << -1 << "3/65535:54 5/6:64";
        QTest::newRow("group -1") << "sndGrp" << -1 << "65535/4:54 5/6:64";
    }

    void spinBoxesStoreSixteenBits()
    {
        QFETCH(QString, spinBox);
        QFETCH(int, typed);
        const QString file = write("spin.snd", snd({{3, 4, wav(10)}, {5, 6, wav(20)}}));
        open(file);
        QSpinBox* box = widget<QSpinBox>(qPrintable(spinBox));
        box->clear();
        QTest::keyClicks(box, QString::number(typed));
        QTest::keyClick(box, Qt::Key_Enter);
        QCOMPARE(tabTitle(), QString("SND*"));
        // Selected again, the sound shows at most the spin box's maximum.
        select(1);
        select(0);
        QCOMPARE(box->value(), 32767);
        action("actionSave_3")->trigger();
        QTEST(saved(file), "saved");
    }

    void duplicateAndDelete()
    {
        const QString file = write("dup.snd", snd({{1, 1, wav(10)}, {2, 2, wav(20)}, {3, 3, wav(30)}}));
        open(file);
        select(1);
        action("actionDuplicate_sound")->trigger();
        QCOMPARE(pos(), QString("3 / 4"));
        QCOMPARE(group(), 2);

        // No keeps the sound.
        select(3);
        answerMessageBox(QMessageBox::No);
        action("actionDelete_sound")->trigger();
        QCOMPARE(pos(), QString("4 / 4"));
        QCOMPARE(takeDialogsSeen().value(1).text, QString("Do you really want to delete the sound"));

        // Deleting the last sound leaves the selection past the end: the empty
        // state shows until the scroll bar moves.
        answerMessageBox(QMessageBox::Yes);
        action("actionDelete_sound")->trigger();
        QCOMPARE(pos(), QString("0 / 0"));
        QCOMPARE(info(), EmptyFacts);
        select(0);
        QCOMPARE(pos(), QString("1 / 3"));

        // Deleting from the middle shows the sound that followed. The tool
        // button beside the facts deletes like the menu item.
        select(1);
        answerMessageBox(QMessageBox::Yes);
        widget<QToolButton>("sndDelete")->click();
        QCOMPARE(pos(), QString("2 / 2"));
        QCOMPARE(group(), 2);
        action("actionSave_3")->trigger();
        QCOMPARE(saved(file), QString("1/1:54 2/2:64"));
    }

    void failuresWarnAndKeepTheMark_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("answer"); // the file named in the file dialog
        QTest::addColumn<QString>("title");
        QTest::newRow("open a missing file") << "actionOpen_3" << "missing.snd" << "Open SND";
        QTest::newRow("save into a missing folder") << "actionSave_As_4" << "no/such/dir/x.snd" << "Save SND";
        QTest::newRow("import a missing file") << "actionChange_sound" << "missing.wav" << "Change sound";
        QTest::newRow("export into a missing folder") << "actionSave_Sound" << "no/such/dir/x.wav" << "Save sound";
    }

    void failuresWarnAndKeepTheMark()
    {
        QFETCH(QString, actionName);
        QFETCH(QString, answer);
        const QString file = write("kept.snd", snd({{7, 7, wav(70)}, {8, 8, wav(80)}}));
        open(file);
        widget<QSpinBox>("sndNum")->setValue(9);
        takeDialogsSeen();

        const QString target = tmp.filePath(answer);
        const bool opening = actionName == "actionOpen_3";
        if (opening)
            answerMessageBox(QMessageBox::Yes); // discard the change: the open fails all the same
        answerFileDialog(target);
        answerMessageBox(QMessageBox::Ok);
        action(actionName)->trigger();
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
        QCOMPARE(saved(file), QString("7/9:114 8/8:124"));
    }

    void damagedArchiveIsReportedAndStaysMarked()
    {
        open(write("damaged.snd", rawSnd(3, {{0, 84, 1, 1, wav(40)}, {0, 99999, 2, 2, wav(40)}})));
        QCOMPARE(takeDialogsSeen().size(), 1); // the file dialog only
        QCOMPARE(pos(), QString("1 / 1"));
        // The archive holds less than its file: it is marked, so that neither a
        // save nor a discard goes by unnoticed.
        QCOMPARE(tabTitle(), QString("SND*"));
        auto* issues = widget<QAbstractItemView>("issuesList");
        QCOMPARE(issues->model()->rowCount(), 1);
        QVERIFY(issues->model()->index(0, 0).data().toString().startsWith("damaged.snd(1): "));
    }

    void discardQuestion_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("pos");
        QTest::newRow("New, No") << "actionNew_3" << false << "1 / 2";
        QTest::newRow("New, Yes") << "actionNew_3" << true << "0 / 0";
        QTest::newRow("Open, No") << "actionOpen_3" << false << "1 / 2";
        QTest::newRow("Open, Yes") << "actionOpen_3" << true << "1 / 1";
    }

    void discardQuestion()
    {
        QFETCH(QString, actionName);
        QFETCH(bool, yes);
        open(write("two.snd", snd({{1, 1, wav(10)}, {2, 2, wav(20)}})));
        widget<QSpinBox>("sndGrp")->setValue(5);
        takeDialogsSeen();

        answerMessageBox(yes ? QMessageBox::Yes : QMessageBox::No);
        if (yes && actionName == "actionOpen_3")
            answerFileDialog(write("one.snd", snd({{3, 3, wav(30)}})));
        action(actionName)->trigger();
        QCOMPARE(takeDialogsSeen().value(0).title, QString("Discard changes"));
        QTEST(pos(), "pos");
        QCOMPARE(tabTitle(), yes ? QString("SND") : QString("SND*"));
    }

    void playAndStop()
    {
        open(write("play.snd", snd({{1, 1, wav(4000)}, {2, 2, wav(6000)}})));
        action("actionPlay_with_loop")->trigger();
        QCOMPARE(playing(), QByteArrayList{wav(4000)});
        QTest::qWait(50);
        // Play acts on the selected sound and stops the one playing.
        select(1);
        widget<QToolButton>("sndPlay")->click();
        QCOMPARE(playing(), QByteArrayList{wav(6000)});
        widget<QToolButton>("sndStop")->click();
        QVERIFY(playing().isEmpty());

        // Without a selection nothing plays.
        action("actionNew_3")->trigger();
        action("actionPlay")->trigger();
        QVERIFY(playing().isEmpty());
    }
};

QTEST_MAIN(TestMainWindowSnd)
#include "tst_mainwindow_snd.moc"

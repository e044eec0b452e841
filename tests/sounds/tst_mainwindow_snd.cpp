// The SND tab of the real window: its actions, dialogs and files on disk.
#include "mainwindow.h"
#include "qsounds.h"
#include "sndbuilder.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace sndbuilder;
using namespace testsupport;

class TestMainWindowSnd : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    MainWindow* window = nullptr;

    QString write(const QString& name, const QByteArray& bytes) { return writeFile(tmp.filePath(name), bytes); }
    template<class T = QSpinBox> T* widget(const char* name) { return window->findChild<T*>(name); }
    // Triggers the action and answers its dialogs in order: a file name or a button.
    void run(const char* action, const QVariantList& answers = {})
    {
        for (const QVariant& a : answers)
            a.typeId() == QMetaType::QString ? answerFileDialog(a.toString())
                                             : answerMessageBox(QMessageBox::StandardButton(a.toInt()));
        widget<QAction>(action)->trigger();
    }
    // "position title: channels rate bits duration" as the tab shows them.
    QString state()
    {
        const QString facts = widget<QLabel>("sndInfo")->text().remove(QRegularExpression("[^\n]*: ")).replace('\n', ' ');
        return widget<QLabel>("sndPos")->text() + ' ' + widget<QTabWidget>("tabs")->tabText(MainWindow::SndTab) + ": " + facts;
    }
    void select(int index) { widget<QScrollBar>("sndSel")->setValue(index); }
    // summary() of the archive the file on disk holds.
    QString saved(const QString& file)
    {
        QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1);
        return sounds.load(file) ? summary(sounds) : QString("unreadable");
    }

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(tmp.path())); }

    void init()
    {
        window = new MainWindow;
        window->show();
        widget<QTabWidget>("tabs")->setCurrentIndex(MainWindow::SndTab);
        takeDialogsSeen();
    }

    void cleanup()
    {
        const int unanswered = pendingAnswers();
        clearAnswers(); // none may be left for the next test
        delete window;
        QCOMPARE(unanswered, 0);
    }

    void editAnArchiveFromNothing()
    {
        // The engine will not open an archive without sounds.
        run("actionSave_3", {QMessageBox::Ok});
        const DialogSeen seen = takeDialogsSeen().value(0);
        QCOMPARE(seen.title + ": " + seen.text, QString("Save SND: You can't save an empty SND because Mugen will not open it."));

        run("actionNew_sound", {write("one.wav", wav(8000, 8000))});
        run("actionDuplicate_sound");
        run("actionDuplicate_sound");
        run("actionPlay_with_loop");
        QCOMPARE(playedFiles().size(), 1);
        widget<QToolButton>("sndStop")->click();
        QVERIFY(playedFiles().isEmpty());
        run("actionDelete_sound", {QMessageBox::No});
        QCOMPARE(state(), QString("3 / 3 SND*: 1 8000 8 1"));

        // Deleting the last of the list shows the one before it, where the
        // scroll bar now stands; deleting every sound shows the empty state.
        // The button deletes as well.
        for (const QString& after : {"2 / 2", "1 / 1"}) {
            answerMessageBox(QMessageBox::Yes);
            widget<QToolButton>("sndDelete")->click();
            QCOMPARE(state(), after + " SND*: 1 8000 8 1");
        }
        answerMessageBox(QMessageBox::Yes);
        widget<QToolButton>("sndDelete")->click();
        QCOMPARE(state(), QString("0 / 0 SND*: -- -- -- --"));
        saveSnapshot(window, "snd-empty");

        // A damaged file opens as far as it can be read, reported and marked,
        // so that neither a save nor a discard goes by unnoticed.
        const QString damaged = write("damaged.snd", rawSnd(3, {{0, 84, 1, 1, wav(40, 8000)}, {0, 999, 2, 2, {}}}));
        run("actionOpen_3", {QMessageBox::Discard, damaged});
        QCOMPARE(state(), QString("1 / 1 SND*: 1 8000 8 0.005"));
        // Under the file's name, the whole line in its tool tip.
        QAbstractItemModel* issues = widget<QAbstractItemView>("issuesList")->model();
        QCOMPARE(issues->index(0, 0).data().toString(), QString("damaged.snd"));
        QVERIFY(issues->index(1, 0).data(Qt::ToolTipRole).toString().startsWith("damaged.snd(1): "));

        // Failures warn, naming the file, and keep the archive, its mark and its file name.
        const QList<QStringList> failures{{"actionOpen_3", "missing.snd", "Open SND"}, {"actionOpen_3", "one.wav", "Open SND"},
                                          {"actionSave_As_4", "no/dir/x.snd", "Save SND"},
                                          {"actionChange_sound", "missing.wav", "Change sound"},
                                          {"actionSave_Sound", "no/dir/x.wav", "Save sound"}};
        for (const QStringList& failure : failures) {
            QVariantList answers{tmp.filePath(failure[1]), QMessageBox::Ok};
            if (failure[0] == "actionOpen_3")
                answers.prepend(QMessageBox::Discard); // discard the change: the open fails all the same
            run(qPrintable(failure[0]), answers);
            const DialogSeen seen = takeDialogsSeen().last();
            QCOMPARE(seen.title, failure[2]);
            QVERIFY2(seen.text.contains(QDir::toNativeSeparators(tmp.filePath(failure[1]))), qPrintable(seen.text));
            QCOMPARE(state(), QString("1 / 1 SND*: 1 8000 8 0.005"));
        }
        run("actionSave_3");
        QCOMPARE(state() + ' ' + saved(damaged), QString("1 / 1 SND: 1 8000 8 0.005 1/1:84"));
    }

    void openStepImportSaveReload()
    {
        CORPUS_OR_SKIP(kfm, "chars/kfm/kfm.snd");
        run("actionOpen_3", {kfm});
        QCOMPARE(state(), QString("1 / 12 SND: 1 8000 8 0.12475"));
        select(8);
        QCOMPARE(widget<QLabel>("sndInfo")->text(), QString("Channels: 1\nSample rate: 11025\nBits per sample: 8\nDuration: 3.05633"));
        saveSnapshot(window, "snd-kfm");

        // Import after sound 9, type -1 as its number (kept as 65535), save
        // under a new name and read the file back.
        const QByteArray imported = wav(44100, 22050, 2, 16, QByteArray("LIST\4\0\0\0INFO", 12));
        run("actionNew_sound", {write("stereo.wav", imported)});
        widget("sndGrp")->setValue(900);
        widget("sndNum")->clear();
        QTest::keyClicks(widget("sndNum"), "-1");
        const QString file = tmp.filePath("kfm-edited.snd");
        run("actionSave_As_4", {file});
        QCOMPARE(state(), QString("10 / 13 SND: 2 22050 16 0.5"));
        QStringList expected = saved(kfm).split(' ');
        expected.insert(9, QString("900/65535:%1").arg(imported.size()));
        QCOMPARE(saved(file), expected.join(' '));

        // Reopened, the sound exports unchanged. Save goes to the same file
        // without asking.
        run("actionOpen_3", {file});
        select(9);
        run("actionSave_Sound", {tmp.filePath("exported.wav")});
        QCOMPARE(readFile(tmp.filePath("exported.wav")), imported);
        run("actionChange_sound", {write("short.wav", wav(2000, 8000))});
        run("actionOpen_3", {QMessageBox::Cancel});
        QCOMPARE(state(), QString("10 / 13 SND*: 1 8000 8 0.25"));
        run("actionSave_3");
        QCOMPARE(state() + ' ' + saved(file).section(' ', 9, 9), QString("10 / 13 SND: 1 8000 8 0.25 900/65535:2044"));
    }
};

QTEST_MAIN(TestMainWindowSnd)
#include "tst_mainwindow_snd.moc"

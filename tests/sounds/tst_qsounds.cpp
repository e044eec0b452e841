// The SND archive: reading and writing the file, the WAV facts, editing the
// list, and playback through a temporary file.
#include "qmessages.h"
#include "qsounds.h"
#include "sndbuilder.h"
#include "testsupport.h"

#include <QSoundEffect>
#include <QtTest>

using namespace sndbuilder;
using testsupport::readFile;

class TestQSounds : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString put(const QByteArray& bytes) { return testsupport::writeFile(tmp.filePath("bad.snd"), bytes); }

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(tmp.path())); }

    void wavFacts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("facts"); // channels, rate, bits, duration as shown
        const QByteArray plain = wav(12000, 8000);
        QTest::newRow("16-bit stereo") << wav(88200, 22050, 2, 16) << "2 22050 16 1";
        QTest::newRow("list chunk first") << wav(12000, 8000, 1, 8, QByteArray("LIST\4\0\0\0INFO", 12)) << "1 8000 8 1.5";
        QTest::newRow("odd chunk, pad byte") << wav(12000, 8000, 1, 8, QByteArray("junk\3\0\0\0abc\0", 12)) << "1 8000 8 1.5";
        QTest::newRow("18-byte format") << QByteArray(plain).replace(16, 1, "\x12").insert(36, 2, '\0') << "1 8000 8 1.5";
        // A zero factor leaves the duration undefined, not infinite.
        QTest::newRow("not PCM") << QByteArray(plain).replace(20, 1, "\2") << "0 0 0 --";
        QTest::newRow("no channels") << wav(100, 8000, 0) << "0 8000 8 --";
        QTest::newRow("no sample rate") << wav(100, 0) << "1 0 8 --";
        QTest::newRow("no bits") << wav(100, 8000, 1, 0) << "1 8000 0 --";
        QTest::newRow("cut in the format") << plain.left(21) << "0 0 0 --";
        QTest::newRow("chunk size past the end") << QByteArray(plain).replace(16, 4, "\xff\xff\xff\xff") << "1 8000 8 1.5";
    }

    void wavFacts()
    {
        QFETCH(QByteArray, bytes);
        const WavInfo i = readWavInfo(bytes);
        QTEST(QString("%1 %2 %3 %4").arg(i.channels).arg(i.sampleRate).arg(i.bitsPerSample).arg(durationText(i)), "facts");
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("cancelAt"); // the report at which Cancel is pressed; 0 never
        // What was read, the progress reports and where the issues list says the damage is.
        QTest::addColumn<QString>("result");
        const auto row = [](const char* name, const QByteArray& file, const char* result, int cancelAt = 0) {
            QTest::newRow(name) << file << cancelAt << QString(result);
        };
        const QByteArray a = wav(40); // 84 bytes
        const quint32 n = 84, second = 512 + 16 + n;
        // The offset of the next subheader decides, whatever the length field
        // says; bytes between a sound and the next subheader belong to it.
        row("next offset first", rawSnd(2, {{second + 4, 9999, 1, 0, a + "tail"}, {0, n, 2, 0, a}}), "1/0:88 2/0:84 | 0 1 2 |");
        row("next offset 0: the length", rawSnd(2, {{0, n, 1, 0, a}, {0, n, 2, 0, a}}), "1/0:84 2/0:84 | 0 1 2 |");
        row("length 0: no data", rawSnd(2, {{12345, 0, 1, 0, {}}, {0, n, 2, 0, a}}), "1/0:0 2/0:84 | 0 1 2 |");
        row("modulo 65536", rawSnd(2, {{0, n, 65536 + 7, 0xFFFFFFFF, a}, {0, n, 65535, 131075, a}}), "7/65535:84 65535/3:84 | 0 1 2 |");
        row("zero sounds", snd({}), "| 0 |");
        row("cancel at the third", snd(QList<Sound>(5, {0, 0, a})), "0/0:84 0/0:84 0/0:84 | 0 1 2 3 2 1 |", 3);
        // Damage keeps the sounds before it and names the sound where it was
        // met; a count the file cannot hold does not size the progress.
        row("next offset backwards", rawSnd(2, {{second, n, 1, 0, a}, {second + 8, n, 2, 0, a}}), "1/0:84 | 0 1 2 | bad.snd(1)");
        row("length past the end", rawSnd(2, {{0, n, 1, 0, a}, {0, n + 1, 2, 0, a}}), "1/0:84 | 0 1 2 | bad.snd(1)");
        row("length 4 GB", rawSnd(1, {{0, 0xFFFFFFFF, 1, 0, a}}), "| 0 1 | bad.snd(0)");
        row("count of 4 billion", rawSnd(0xFFFFFFFF, {{0, n, 1, 0, a}}), "1/0:84 | 0 1 6 | bad.snd(1)");
        row("subheader cut off", rawSnd(3, {{0, n, 1, 0, a}}) + QByteArray(10, '\0'), "1/0:84 | 0 1 3 | bad.snd(1)");
        row("header cut off", rawSnd(1, {}).left(100), "| 0 | bad.snd(0)");
    }

    void load()
    {
        QFETCH(int, cancelAt);
        QMessages messages;
        QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1, &messages);
        QStringList reports;
        connect(&sounds, &QSounds::progress, this, [&](uint pos, uint, bool& allow) {
            reports << QString::number(pos);
            allow = reports.size() == 1 || int(pos) != cancelAt;
        });
        QFETCH(QByteArray, file);
        QVERIFY(sounds.load(put(file)));
        const QString damage = messages.rowCount() > 1 ? "more than one" : messages.text(0).section(':', 0, 0);
        QTEST((summary(sounds) + " | " + reports.join(' ') + " | " + damage).trimmed(), "result");
        QCOMPARE(sounds.loadComplete(), damage.isEmpty() && !cancelAt);
    }

    void editSaveAndPlay()
    {
        QSounds sounds(BlobStoreMode::BlobsInMemory, false, -1);
        QVERIFY(sounds.load(put(snd({{1, 1, wav(500)}, {1, 2, wav(900)}}))));
        sounds.insertEmpty(1);
        sounds.setGroupAndNumber(1, 65535, 9);
        for (int i : {-1, 3}) { // out of range: nothing happens
            sounds.duplicate(i);
            sounds.remove(i);
            QVERIFY(!sounds.setSoundFile(i, put("x")) && sounds.soundBytes(i).isEmpty());
        }
        QVERIFY(sounds.save(tmp.filePath("saved.snd")));
        const quint32 first = 512 + 16 + 544; // the empty sound has no data
        QCOMPARE(readFile(tmp.filePath("saved.snd")).mid(512),
                 rawSnd(3, {{first, 544, 1, 1, wav(500)}, {first + 16, 0, 65535, 9, {}}, {first + 976, 944, 1, 2, wav(900)}}).mid(512));

        // Playing writes the sound to a file the player reads.
        sounds.play(0, true);
        const QString file = sounds.playingFile();
        QCOMPARE(file, QDir::tempPath() + "/" + playedFiles().value(0));
        QCOMPARE(readFile(file), wav(500));
        auto player = [&] { return sounds.findChild<QSoundEffect*>(); };
        QCOMPARE(player()->loopCount(), int(QSoundEffect::Infinite));
        QCOMPARE(player()->source().toLocalFile(), file);
        // Without a sound device the player may fail; the file stays all the same.
        QTest::qWait(1100); // the file name counts seconds: make the next one differ
        QVERIFY(QFile::exists(file));
        // Another sound stops the first and removes its file.
        sounds.play(2, false);
        QCOMPARE(playedFiles().size(), 1);
        QCOMPARE(readFile(sounds.playingFile()), wav(900));
        QCOMPARE(player()->loopCount(), 1);
        sounds.stop();
        QVERIFY(playedFiles().isEmpty() && sounds.playingFile().isEmpty() && !player());
    }
};

QTEST_GUILESS_MAIN(TestQSounds)
#include "tst_qsounds.moc"

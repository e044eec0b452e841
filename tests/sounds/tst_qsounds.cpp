// The SND archive: reading and writing the file, the WAV facts, editing the
// list, and playback through a temporary file.
#include "qmessages.h"
#include "qsounds.h"
#include "sndbuilder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtTest>

using namespace sndbuilder;
using testsupport::readFile;
using testsupport::writeFile;

static bool loadBytes(QSounds& sounds, const QByteArray& bytes, const QString& name = "test.snd")
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return sounds.load(&buffer, name);
}

// The played files in the system temporary directory.
static QStringList tempWavs()
{
    return QDir(QDir::tempPath()).entryList({"MRV9-*.wav"}, QDir::Files);
}

class TestQSounds : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        const QString temp = useAsSystemTemp(tmp);
        QCOMPARE(QDir::tempPath(), temp);
    }

    void wavFacts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("facts"); // channels, rate, bits, duration as shown

        const QByteArray plain = wav({.sampleRate = 8000, .dataBytes = 12000});
        QTest::newRow("8-bit mono") << plain << "1 8000 8 1.5";
        QTest::newRow("16-bit stereo") << wav({.channels = 2, .sampleRate = 22050, .bits = 16, .dataBytes = 88200})
                                       << "2 22050 16 1";
        QTest::newRow("list chunk before the data")
            << wav({.sampleRate = 8000, .dataBytes = 12000, .beforeData = QByteArray("LIST\x0a\0\0\0INFOxxxxyy", 18)})
            << "1 8000 8 1.5";
        QTest::newRow("odd chunk and its pad byte")
            << wav({.sampleRate = 8000, .dataBytes = 12000, .beforeData = QByteArray("junk\x03\0\0\0abc\0", 12)})
            << "1 8000 8 1.5";
        QTest::newRow("18-byte format chunk") << wav({.sampleRate = 8000, .dataBytes = 12000, .formatSize = 18})
                                              << "1 8000 8 1.5";
        QTest::newRow("not PCM") << wav({.format = 2, .sampleRate = 8000}) << "0 0 0 --";
        QTest::newRow("no data") << wav({.sampleRate = 8000, .dataBytes = 0}) << "1 8000 8 0";
        // Any factor of 0 leaves the duration undefined, not infinite.
        QTest::newRow("no channels") << wav({.channels = 0, .sampleRate = 8000}) << "0 8000 8 --";
        QTest::newRow("no sample rate") << wav({.sampleRate = 0}) << "1 0 8 --";
        QTest::newRow("no bits") << wav({.sampleRate = 8000, .bits = 0}) << "1 8000 0 --";
        // Chunk names are not required: the canonical layout is read at its
        // fixed positions under any names.
        QTest::newRow("canonical layout, other names")
            << QByteArray(plain).replace(12, 4, "abcd").replace(36, 4, "efgh") << "1 8000 8 1.5";
        QTest::newRow("cut after the format") << plain.left(36) << "1 8000 8 0";
        QTest::newRow("cut in the format") << plain.left(21) << "0 0 0 --";
        QTest::newRow("empty") << QByteArray() << "0 0 0 --";
        // A huge chunk size ends the walk instead of reading past the end.
        QTest::newRow("format chunk size past the end")
            << QByteArray(plain).replace(16, 4, "\xff\xff\xff\xff") << "1 8000 8 1.5";
    }

    void wavFacts()
    {
        QFETCH(QByteArray, bytes);
        const WavInfo info = readWavInfo(bytes);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(info.channels).arg(info.sampleRate).arg(info.bitsPerSample)
                  .arg(durationText(info)), "facts");
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("sounds");  // summary() of what was read
        QTest::addColumn<QString>("message"); // start of the issue line; empty for none

        const QByteArray a = wav(40), b = wav(60); // 84 and 104 bytes
        const quint32 n = 84, second = 512 + 16 + n;
        // The offset of the next subheader decides, whatever the length field
        // says; bytes between a sound and the next subheader belong to it.
        QTest::newRow("next offset wins over the length")
            << rawSnd(2, {{second, 9999, 1, 0, a}, {0, 104, 2, 0, b}}) << "1/0:84 2/0:104" << "";
        QTest::newRow("next offset 0: the length field")
            << rawSnd(2, {{0, n, 1, 0, a}, {0, 104, 2, 0, b}}) << "1/0:84 2/0:104" << "";
        QTest::newRow("next offset beyond the length")
            << rawSnd(2, {{second + 4, n, 1, 0, a + "tail"}, {0, 104, 2, 0, b}}) << "1/0:88 2/0:104" << "";
        QTest::newRow("length 0: no data, the next subheader follows")
            << rawSnd(2, {{12345, 0, 1, 0, {}}, {0, 104, 2, 0, b}}) << "1/0:0 2/0:104" << "";
        QTest::newRow("group and number modulo 65536")
            << rawSnd(2, {{0, n, 65536 + 7, 0xFFFFFFFF, a}, {0, n, 65535, 131072 + 3, a}})
            << "7/65535:84 65535/3:84" << "";

        // Damage keeps the sounds before it and names the sound where it was met.
        QTest::newRow("next offset backwards")
            << rawSnd(3, {{second, n, 1, 0, a}, {second, n, 2, 0, a}, {0, n, 3, 0, a}}) << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("next offset inside the subheader")
            << rawSnd(2, {{second, n, 1, 0, a}, {second + 8, n, 2, 0, a}}) << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("next offset past the end")
            << rawSnd(2, {{second, n, 1, 0, a}, {0x7FFFFFFF, n, 2, 0, a}}) << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("length past the end")
            << rawSnd(2, {{0, n, 1, 0, a}, {0, n + 1, 2, 0, a}}) << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("length 4 GB") << rawSnd(1, {{0, 0xFFFFFFFF, 1, 0, a}}) << "" << "bad.snd(0): ";
        QTest::newRow("more sounds claimed than present")
            << rawSnd(5, {{0, n, 1, 0, a}, {0, n, 2, 0, a}}) << "1/0:84 2/0:84" << "bad.snd(2): ";
        QTest::newRow("count of 4 billion") << rawSnd(0xFFFFFFFF, {{0, n, 1, 0, a}}) << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("subheader cut off")
            << rawSnd(2, {{0, n, 1, 0, a}}) + QByteArray(10, '\0') << "1/0:84" << "bad.snd(1): ";
        QTest::newRow("header cut off") << rawSnd(1, {}).left(100) << "" << "bad.snd(0): ";
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QMessages messages;
        QSounds sounds(BlobsInMemory, false, -1, &messages);
        QList<uint> reports;
        uint max = 0;
        connect(&sounds, &QSounds::progress, this, [&](uint pos, uint m, bool&) {
            reports << pos;
            max = m;
        });
        QVERIFY(loadBytes(sounds, file, "bad.snd"));
        QTEST(summary(sounds), "sounds");
        for (int i = 0; i < sounds.count(); ++i) // each sound read from its own start
            QVERIFY(sounds.soundBytes(i).isEmpty() || sounds.soundBytes(i).startsWith("RIFF"));
        QCOMPARE(sounds.loadComplete(), message.isEmpty());
        QCOMPARE(messages.rowCount(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(messages.type(0), Error);
            QVERIFY2(messages.text(0).startsWith(message), qPrintable(messages.text(0)));
        }
        // The progress dialog closes at its maximum, so the last report
        // reaches it; a claimed count the file cannot hold does not size it.
        QCOMPARE(reports.last(), max);
        QVERIFY(max <= uint(file.size()));
    }

    void failuresSayWhyAndKeepTheArchive_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents"); // written to the file when not empty
        QTest::newRow("load a missing file") << "load" << "missing.snd" << QByteArray();
        QTest::newRow("load a wrong signature") << "load" << "wrong.snd" << QByteArray("ElecbyteSpr\0", 12) + QByteArray(600, '\0');
        QTest::newRow("load a signature without its zero") << "load" << "nozero.snd" << QByteArray("ElecbyteSndX") + QByteArray(600, '\0');
        QTest::newRow("load less than the signature") << "load" << "short.snd" << QByteArray("Elec");
        QTest::newRow("load a directory") << "load" << "." << QByteArray();
        QTest::newRow("save over a directory") << "save" << "." << QByteArray();
        QTest::newRow("save to a read-only device") << "save" << "" << QByteArray();
    }

    void failuresSayWhyAndKeepTheArchive()
    {
        QFETCH(QString, operation);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        const QString path = tmp.filePath(fileName);
        if (!contents.isEmpty())
            writeFile(path, contents);
        QMessages messages;
        QSounds sounds(BlobsInMemory, false, -1, &messages);
        QVERIFY(loadBytes(sounds, snd({{3, 4, wav(20)}})));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        if (operation == "load")
            QVERIFY(!sounds.load(path));
        else
            QVERIFY(fileName.isEmpty() ? !sounds.save(&readOnly) : !sounds.save(path));
        QVERIFY(!sounds.errorString().isEmpty());
        QCOMPARE(summary(sounds), QString("3/4:64"));
        QCOMPARE(sounds.soundBytes(0), wav(20));
        QCOMPARE(messages.rowCount(), 0);
        QVERIFY(QFileInfo(tmp.path()).isDir());
    }

    void progressReports_data()
    {
        QTest::addColumn<int>("sounds");
        QTest::addColumn<int>("cancelAt"); // report at which Cancel is pressed; 0 never
        QTest::addColumn<QList<uint>>("reports");
        QTest::addColumn<int>("kept");
        QTest::newRow("five sounds") << 5 << 0 << QList<uint>{0, 1, 2, 3, 4, 5} << 5;
        QTest::newRow("cancel at the third") << 5 << 3 << QList<uint>{0, 1, 2, 3, 2, 1} << 3;
        QTest::newRow("cancel at the first") << 5 << 1 << QList<uint>{0, 1} << 1;
        QTest::newRow("cancel at the last") << 3 << 3 << QList<uint>{0, 1, 2, 3, 2, 1} << 3;
        QTest::newRow("zero sounds") << 0 << 0 << QList<uint>{0} << 0;
    }

    void progressReports()
    {
        QFETCH(int, sounds);
        QFETCH(int, cancelAt);
        QFETCH(int, kept);
        QList<Sound> list;
        for (int i = 0; i < sounds; ++i)
            list.append({0, quint32(i), wav(10 + i)});
        QSounds archive(BlobsInMemory, false, -1);
        QList<uint> reports;
        uint expectedMax = uint(sounds);
        connect(&archive, &QSounds::progress, this, [&](uint pos, uint max, bool& allow) {
            QCOMPARE(max, expectedMax);
            reports.append(pos);
            allow = !(cancelAt && reports.size() > 1 && pos == uint(cancelAt));
        });
        QVERIFY(loadBytes(archive, snd(list)));
        QCOMPARE(archive.loadComplete(), kept == sounds);
        QTEST(reports, "reports");
        QCOMPARE(archive.count(), kept);

        // A save reports every sound and cannot be cancelled.
        reports.clear();
        cancelAt = 1;
        expectedMax = uint(kept);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(archive.save(&out));
        QCOMPARE(reports.size(), kept + 1);
        QCOMPARE(reports.last(), uint(kept));
    }

    void saveWritesTheFormat()
    {
        QSounds sounds(BlobsInMemory, false, -1);
        QVERIFY(loadBytes(sounds, snd({{1, 2, wav(30)}, {70000, 3, "not a wave"}})));
        sounds.insertEmpty(1);
        sounds.setGroupAndNumber(1, 65535, 9);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(sounds.save(&out));
        const QByteArray f = out.data();

        // Signature, version, count, first subheader at 512, then the comment.
        QCOMPARE(f.left(24), rawSnd(3, {}).left(24));
        QVERIFY(f.mid(24, 488).startsWith("Created in Quendar Morvane 9\n"));
        QVERIFY(f.mid(24, 488).endsWith('\0'));
        // The empty sound has no data; each next offset points behind the data.
        const quint32 first = 512 + 16 + 74;
        QCOMPARE(f.mid(512), rawSnd(3, {{first, 74, 1, 2, wav(30)},
                                        {first + 16, 0, 65535, 9, {}},
                                        {first + 16 + 26, 10, 70000 & 0xFFFF, 3, "not a wave"}})
                                 .mid(512));

        // Another store setting reads the same back.
        QSounds again(BlobsInMemory, true, 9);
        QVERIFY(loadBytes(again, f));
        QCOMPARE(summary(again), summary(sounds));
    }

    void outOfRangeIndicesDoNothing()
    {
        QSounds sounds(BlobsInMemory, false, -1);
        QVERIFY(loadBytes(sounds, snd({{1, 2, wav(30)}})));
        for (int i : {-1, 1, 1000}) {
            sounds.setGroupAndNumber(i, 5, 5);
            sounds.duplicate(i);
            sounds.remove(i);
            QCOMPARE(sounds.groupAndNumber(i), qMakePair(quint16(0), quint16(0)));
            QCOMPARE(sounds.info(i), WavInfo());
            QVERIFY(sounds.soundBytes(i).isEmpty());
            QVERIFY(!sounds.setSoundFile(i, QStringLiteral(MORVANE_SOURCE_DIR "/CMakeLists.txt")));
            QVERIFY(!sounds.exportSound(i, tmp.filePath("never.wav")));
            sounds.play(i, false);
            QVERIFY(sounds.playingFile().isEmpty());
        }
        QVERIFY(!QFile::exists(tmp.filePath("never.wav")));
        sounds.insertEmpty(-1); // a negative index counts as beyond the end
        QCOMPARE(summary(sounds), QString("1/2:74 0/0:0"));
    }

    void playback()
    {
        QSounds sounds(BlobsInMemory, false, -1);
        QVERIFY(loadBytes(sounds, snd({{1, 1, wav(500)}, {1, 2, wav(900)}})));
        sounds.play(0, true);
        const QString file = sounds.playingFile();
        QCOMPARE(file, QDir::tempPath() + "/" + tempWavs().value(0));
        QVERIFY(QRegularExpression("/MRV9-\\d+\\.wav$").match(file).hasMatch());
        QCOMPARE(readFile(file), wav(500));
        QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1);
        QCOMPARE(sounds.findChildren<QSoundEffect*>()[0]->loopCount(), int(QSoundEffect::Infinite));
        QCOMPARE(sounds.findChildren<QSoundEffect*>()[0]->source().toLocalFile(), file);
        // Without a sound device the player may fail; the file stays all the same.
        QTest::qWait(1100); // the file name counts seconds: make the next one differ
        QVERIFY(QFile::exists(file));

        // Playing another sound stops the first and removes its file.
        sounds.play(1, false);
        QCOMPARE(tempWavs().size(), 1);
        QCOMPARE(readFile(sounds.playingFile()), wav(900));
        QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1);
        QCOMPARE(sounds.findChildren<QSoundEffect*>()[0]->loopCount(), 1);
        // Within the same second the name repeats; the file holds the new sound.
        sounds.play(0, false);
        QCOMPARE(readFile(sounds.playingFile()), wav(500));
        sounds.stop();
        QVERIFY(tempWavs().isEmpty() && sounds.playingFile().isEmpty());
        QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
        sounds.stop(); // twice is harmless

        // Loading stops playback too.
        sounds.play(1, true);
        QVERIFY(loadBytes(sounds, snd({{1, 1, wav(500)}})));
        QVERIFY(tempWavs().isEmpty() && sounds.playingFile().isEmpty());
        QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestQSounds)
#include "tst_qsounds.moc"

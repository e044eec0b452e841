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

class TestQSounds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void wavFacts_data();
    void wavFacts();

    void subheaderLengths_data();
    void subheaderLengths();
    void groupAndNumberKeepLow16Bits();
    void damagedArchivesKeepTheSoundsBefore_data();
    void damagedArchivesKeepTheSoundsBefore();
    void failedLoadKeepsTheArchive_data();
    void failedLoadKeepsTheArchive();
    void progressReports_data();
    void progressReports();

    void saveWritesTheFormat();
    void saveAndLoadRoundTrip();
    void failedSaveSaysWhy();

    void importExportDuplicateRemove();
    void outOfRangeIndicesDoNothing();

    void playWritesTheTemporaryFileUntilStop();
    void playingAnotherSoundStopsTheFirst();

    void corpusArchives_data();
    void corpusArchives();

private:
    QTemporaryDir tmp;
};

void TestQSounds::initTestCase()
{
    QVERIFY(tmp.isValid());
    // Played sounds go to the system temporary directory; keep them where the
    // test can see every file.
    QDir().mkpath(tmp.filePath("systemp"));
    qputenv("TMPDIR", QFile::encodeName(tmp.filePath("systemp")));
    QCOMPARE(QDir::tempPath(), QDir::cleanPath(tmp.filePath("systemp")));
}

void TestQSounds::wavFacts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("channels");
    QTest::addColumn<quint32>("rate");
    QTest::addColumn<quint32>("bits");
    QTest::addColumn<float>("duration");

    Wav w;
    w.sampleRate = 8000;
    w.dataBytes = 12000;
    QTest::newRow("8-bit mono, 1.5 s") << wav(w) << 1u << 8000u << 8u << 1.5f;

    Wav stereo;
    stereo.channels = 2;
    stereo.bits = 16;
    stereo.sampleRate = 22050;
    stereo.dataBytes = 22050 * 4;
    QTest::newRow("16-bit stereo, 1 s") << wav(stereo) << 2u << 22050u << 16u << 1.0f;

    Wav list = w;
    list.beforeData = QByteArray("LIST\x0a\0\0\0INFOxxxxyy", 18);
    QTest::newRow("list chunk before the data") << wav(list) << 1u << 8000u << 8u << 1.5f;

    Wav odd = w;
    odd.beforeData = QByteArray("junk\x03\0\0\0abc\0", 12); // odd size, one pad byte
    QTest::newRow("odd chunk padded") << wav(odd) << 1u << 8000u << 8u << 1.5f;

    Wav ex = w;
    ex.formatSize = 18;
    QTest::newRow("18-byte format chunk") << wav(ex) << 1u << 8000u << 8u << 1.5f;

    Wav adpcm = w;
    adpcm.format = 2;
    QTest::newRow("not PCM") << wav(adpcm) << 0u << 0u << 0u << 0.0f;

    Wav noData = w;
    noData.dataBytes = 0;
    QTest::newRow("empty data") << wav(noData) << 1u << 8000u << 8u << 0.0f;

    Wav noChannels = w;
    noChannels.channels = 0;
    QTest::newRow("no channels") << wav(noChannels) << 0u << 8000u << 8u << 0.0f;

    Wav noRate = w;
    noRate.sampleRate = 0;
    QTest::newRow("no sample rate") << wav(noRate) << 1u << 0u << 8u << 0.0f;

    // Chunk names are not required: a canonical layout under other names is
    // read at its fixed positions.
    QByteArray renamed = wav(w);
    renamed.replace(12, 4, "abcd");
    renamed.replace(36, 4, "efgh");
    QTest::newRow("canonical layout, other names") << renamed << 1u << 8000u << 8u << 1.5f;

    QTest::newRow("cut after the format") << wav(w).left(36) << 1u << 8000u << 8u << 0.0f;
    QTest::newRow("cut in the format") << wav(w).left(21) << 0u << 0u << 0u << 0.0f;
    QTest::newRow("empty") << QByteArray() << 0u << 0u << 0u << 0.0f;

    // A huge chunk size ends the walk instead of reading past the end.
    QByteArray huge = wav(w);
    huge.replace(16, 4, QByteArray::fromHex("ffffffff"));
    QTest::newRow("format chunk size past the end") << huge << 1u << 8000u << 8u << 1.5f;
}

void TestQSounds::wavFacts()
{
    QFETCH(QByteArray, bytes);
    const WavInfo info = readWavInfo(bytes);
    QTEST(info.channels, "channels");
    QTEST(info.sampleRate, "rate");
    QTEST(info.bitsPerSample, "bits");
    QTEST(info.duration, "duration");
}

static bool loadBytes(QSounds& sounds, const QByteArray& bytes, const QString& name = "test.snd")
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return sounds.load(&buffer, name);
}

void TestQSounds::subheaderLengths_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("sizes");

    const QByteArray a = wav(40), b = wav(60);
    // The offset of the next subheader decides, whatever the length field says.
    QTest::newRow("offset wins over length")
        << rawSnd(2, {{512 + 16 + quint32(a.size()), 9999, 1, 0, a}, {0, quint32(b.size()), 2, 0, b}})
        << QList<int>{int(a.size()), int(b.size())};
    QTest::newRow("offset 0: length field")
        << rawSnd(2, {{0, quint32(a.size()), 1, 0, a}, {0, quint32(b.size()), 2, 0, b}})
        << QList<int>{int(a.size()), int(b.size())};
    // Bytes between a sound and the next subheader belong to the sound.
    QTest::newRow("offset beyond the length")
        << rawSnd(2, {{512 + 16 + quint32(a.size()) + 4, quint32(a.size()), 1, 0, a + "tail"},
                      {0, quint32(b.size()), 2, 0, b}})
        << QList<int>{int(a.size()) + 4, int(b.size())};
    // A zero length means no data, and the next subheader follows directly.
    QTest::newRow("length 0: no data")
        << rawSnd(2, {{12345, 0, 1, 0, {}}, {0, quint32(b.size()), 2, 0, b}})
        << QList<int>{0, int(b.size())};
}

void TestQSounds::subheaderLengths()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, sizes);
    QMessages messages;
    QSounds sounds(BlobsInMemory, false, -1, &messages);
    QVERIFY(loadBytes(sounds, file));
    QCOMPARE(messages.rowCount(), 0);
    QCOMPARE(sounds.count(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        QCOMPARE(sounds.soundBytes(i).size(), sizes[i]);
        QCOMPARE(sounds.groupAndNumber(i).first, quint16(i + 1));
    }
    QVERIFY(file.contains(sounds.soundBytes(1)));
    QCOMPARE(sounds.info(1), readWavInfo(wav(60)));
}

void TestQSounds::groupAndNumberKeepLow16Bits()
{
    const QByteArray a = wav(10);
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, rawSnd(2, {{0, quint32(a.size()), 65536 + 7, 0xFFFFFFFF, a},
                                         {0, quint32(a.size()), 65535, 131072 + 3, a}})));
    QCOMPARE(sounds.count(), 2);
    QCOMPARE(sounds.groupAndNumber(0), qMakePair(quint16(7), quint16(65535)));
    QCOMPARE(sounds.groupAndNumber(1), qMakePair(quint16(65535), quint16(3)));
}

void TestQSounds::damagedArchivesKeepTheSoundsBefore_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("message"); // start of the issue line

    const QByteArray a = wav(40);
    const quint32 n = quint32(a.size());
    const quint32 second = 512 + 16 + n;
    QTest::newRow("next offset backwards")
        << rawSnd(3, {{second, n, 1, 0, a}, {second, n, 2, 0, a}, {0, n, 3, 0, a}}) << 1 << "bad.snd(1): ";
    QTest::newRow("next offset inside the subheader")
        << rawSnd(2, {{second, n, 1, 0, a}, {second + 8, n, 2, 0, a}}) << 1 << "bad.snd(1): ";
    QTest::newRow("next offset past the end")
        << rawSnd(2, {{second, n, 1, 0, a}, {0x7FFFFFFF, n, 2, 0, a}}) << 1 << "bad.snd(1): ";
    QTest::newRow("length past the end")
        << rawSnd(2, {{0, n, 1, 0, a}, {0, n + 1, 2, 0, a}}) << 1 << "bad.snd(1): ";
    QTest::newRow("length 4 GB") << rawSnd(1, {{0, 0xFFFFFFFF, 1, 0, a}}) << 0 << "bad.snd(0): ";
    QTest::newRow("more sounds claimed than present")
        << rawSnd(5, {{0, n, 1, 0, a}, {0, n, 2, 0, a}}) << 2 << "bad.snd(2): ";
    QTest::newRow("count of 4 billion") << rawSnd(0xFFFFFFFF, {{0, n, 1, 0, a}}) << 1 << "bad.snd(1): ";
    QTest::newRow("subheader cut off")
        << rawSnd(2, {{0, n, 1, 0, a}}) + QByteArray(10, '\0') << 1 << "bad.snd(1): ";
    QTest::newRow("header cut off") << rawSnd(1, {}).left(100) << 0 << "bad.snd(0): ";
}

void TestQSounds::damagedArchivesKeepTheSoundsBefore()
{
    QFETCH(QByteArray, file);
    QFETCH(int, kept);
    QFETCH(QString, message);
    QMessages messages;
    QSounds sounds(BlobsInMemory, false, -1, &messages);
    QList<uint> reports;
    uint max = 0;
    connect(&sounds, &QSounds::progress, this, [&](uint pos, uint m, bool& allow) {
        reports.append(pos);
        max = m;
        allow = true;
    });
    QVERIFY(loadBytes(sounds, file, "bad.snd"));
    QVERIFY(!sounds.loadComplete());
    QCOMPARE(sounds.count(), kept);
    QCOMPARE(messages.rowCount(), 1);
    QCOMPARE(messages.type(0), Error);
    QVERIFY2(messages.text(0).startsWith(message), qPrintable(messages.text(0)));
    // The progress dialog closes at its maximum, so the last report reaches it.
    QCOMPARE(reports.last(), max);
    QVERIFY(max <= uint(file.size()));
    for (int i = 0; i < kept; ++i)
        QCOMPARE(sounds.soundBytes(i), wav(40));
}

void TestQSounds::failedLoadKeepsTheArchive_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents"); // written to the file when not empty
    QTest::newRow("missing file") << "missing.snd" << QByteArray();
    QTest::newRow("wrong signature") << "wrong.snd" << QByteArray("ElecbyteSpr\0", 12) + QByteArray(600, '\0');
    QTest::newRow("signature without its zero") << "nozero.snd" << QByteArray("ElecbyteSndX") + QByteArray(600, '\0');
    QTest::newRow("shorter than the signature") << "short.snd" << QByteArray("Elec");
    QTest::newRow("directory") << "." << QByteArray();
}

void TestQSounds::failedLoadKeepsTheArchive()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    const QString path = tmp.filePath(fileName);
    if (!contents.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    QMessages messages;
    QSounds sounds(BlobsInMemory, false, -1, &messages);
    QVERIFY(loadBytes(sounds, snd({{3, 4, wav(20)}})));
    QVERIFY(!sounds.load(path));
    QVERIFY(!sounds.errorString().isEmpty());
    QCOMPARE(sounds.count(), 1);
    QCOMPARE(sounds.groupAndNumber(0), qMakePair(quint16(3), quint16(4)));
    QCOMPARE(sounds.soundBytes(0), wav(20));
    QCOMPARE(messages.rowCount(), 0);
}

void TestQSounds::progressReports_data()
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

void TestQSounds::progressReports()
{
    QFETCH(int, sounds);
    QFETCH(int, cancelAt);
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
    QFETCH(int, kept);
    QCOMPARE(archive.loadComplete(), kept == sounds);
    QTEST(reports, "reports");
    QCOMPARE(archive.count(), kept);

    // A save reports every sound and cannot be cancelled.
    reports.clear();
    cancelAt = 1;
    expectedMax = uint(archive.count());
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(archive.save(&out));
    QCOMPARE(reports.size(), archive.count() + 1);
    QCOMPARE(reports.last(), uint(archive.count()));
}

void TestQSounds::saveWritesTheFormat()
{
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, snd({{1, 2, wav(30)}, {70000, 3, wav(50)}})));
    sounds.insertEmpty(1);
    sounds.setGroupAndNumber(1, 65535, 9);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(sounds.save(&out));
    const QByteArray f = out.data();

    QCOMPARE(f.left(16), QByteArray("ElecbyteSnd\0\0\x01\0\x01", 16));
    LeReader r(f, 16);
    QCOMPARE(r.u32(), 3u);   // sounds
    QCOMPARE(r.u32(), 512u); // first subheader
    QVERIFY(f.mid(24, 488).startsWith("Created in Quendar Morvane 9\n"));
    QVERIFY(f.mid(24, 488).endsWith('\0'));

    const quint32 first = 512 + 16 + quint32(wav(30).size());
    const QList<QList<quint32>> subs = {
        {first, quint32(wav(30).size()), 1, 2},
        {first + 16, 0, 65535, 9}, // the empty sound: no data, zero-extended group
        {first + 16 + 16 + quint32(wav(50).size()), quint32(wav(50).size()), 70000 & 0xFFFF, 3},
    };
    r.seek(512);
    for (const QList<quint32>& s : subs) {
        for (quint32 field : s)
            QCOMPARE(r.u32(), field);
        r.skip(s[1]);
    }
    QVERIFY(r.ok() && r.atEnd());
}

void TestQSounds::saveAndLoadRoundTrip()
{
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, snd({{5, 0, wav(300)}, {5, 1, wav(1)}, {0, 0, QByteArray("not a wave")}})));
    sounds.insertEmpty(3);
    const QString path = tmp.filePath("roundtrip.snd");
    QVERIFY(sounds.save(path));

    QSounds again(BlobsInMemory, true, 9); // another store setting reads the same
    QVERIFY(again.load(path));
    QCOMPARE(again.count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(again.groupAndNumber(i), sounds.groupAndNumber(i));
        QCOMPARE(again.soundBytes(i), sounds.soundBytes(i));
        QCOMPARE(again.info(i), sounds.info(i));
    }
    QVERIFY(again.soundBytes(3).isEmpty());
}

void TestQSounds::failedSaveSaysWhy()
{
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, snd({{1, 1, wav(30)}})));
    const QString dir = tmp.filePath("adir");
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(!sounds.save(dir));
    QVERIFY(!sounds.errorString().isEmpty());
    QVERIFY(QFileInfo(dir).isDir());
    QVERIFY(!sounds.save(tmp.filePath("no/such/dir/x.snd")));

    // A save that fails part-way (the device refuses the bytes) says so.
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QVERIFY(!sounds.save(&readOnly));
    QVERIFY(!sounds.errorString().isEmpty());
}

void TestQSounds::importExportDuplicateRemove()
{
    const QString in = tmp.filePath("in.wav");
    Wav w;
    w.beforeData = QByteArray("LIST\x04\0\0\0abcd", 12);
    w.dataBytes = 11025;
    const QByteArray bytes = wav(w);
    {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QSounds sounds(BlobsInMemory, false, -1);
    sounds.insertEmpty(0);
    QVERIFY(sounds.setSoundFile(0, in));
    QCOMPARE(sounds.soundBytes(0), bytes);
    QCOMPARE(sounds.info(0).duration, 1.0f);
    sounds.setGroupAndNumber(0, 7, 8);

    // Replacing keeps group and number; the facts follow the new bytes.
    const QString in2 = tmp.filePath("in2.wav");
    {
        QFile f(in2);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(wav(22050));
    }
    sounds.duplicate(0);
    QVERIFY(sounds.setSoundFile(0, in2));
    QCOMPARE(sounds.groupAndNumber(0), qMakePair(quint16(7), quint16(8)));
    QCOMPARE(sounds.info(0).duration, 2.0f);
    // The copy has bytes of its own.
    QCOMPARE(sounds.count(), 2);
    QCOMPARE(sounds.groupAndNumber(1), qMakePair(quint16(7), quint16(8)));
    QCOMPARE(sounds.soundBytes(1), bytes);

    const QString out = tmp.filePath("out.wav");
    QVERIFY(sounds.exportSound(1, out));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);

    QVERIFY(!sounds.setSoundFile(1, tmp.filePath("missing.wav")));
    QCOMPARE(sounds.soundBytes(1), bytes);
    QVERIFY(!sounds.exportSound(1, tmp.filePath("no/such/dir/x.wav")));

    sounds.remove(0);
    QCOMPARE(sounds.count(), 1);
    QCOMPARE(sounds.soundBytes(0), bytes);
    sounds.insertEmpty(99);
    QCOMPARE(sounds.count(), 2);
    QCOMPARE(sounds.info(1), WavInfo());
    sounds.clear();
    QCOMPARE(sounds.count(), 0);
}

void TestQSounds::outOfRangeIndicesDoNothing()
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
    QCOMPARE(sounds.count(), 1);
    QCOMPARE(sounds.groupAndNumber(0), qMakePair(quint16(1), quint16(2)));
    sounds.insertEmpty(-1); // a negative index counts as beyond the end
    QCOMPARE(sounds.count(), 2);
    QCOMPARE(sounds.soundBytes(0), wav(30));
}

void TestQSounds::playWritesTheTemporaryFileUntilStop()
{
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, snd({{1, 2, wav(2000)}})));
    for (bool loop : {false, true}) {
        sounds.play(0, loop);
        const QString file = sounds.playingFile();
        QVERIFY(QRegularExpression("^" + QRegularExpression::escape(QDir::tempPath()) + "/MRV9-\\d+\\.wav$")
                    .match(file).hasMatch());
        QVERIFY(QFile::exists(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), wav(2000));
        const auto players = sounds.findChildren<QSoundEffect*>();
        QCOMPARE(players.size(), 1);
        QCOMPARE(players[0]->loopCount(), loop ? int(QSoundEffect::Infinite) : 1);
        QCOMPARE(players[0]->source().toLocalFile(), file);
        // Without a sound device the player may fail; nothing changes for us.
        QTest::qWait(100);
        QVERIFY(QFile::exists(file));
        sounds.stop();
        QVERIFY(!QFile::exists(file));
        QVERIFY(sounds.playingFile().isEmpty());
        QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
    }
    sounds.stop(); // twice is harmless
    QVERIFY(QDir(QDir::tempPath()).entryList(QDir::Files).isEmpty());
}

void TestQSounds::playingAnotherSoundStopsTheFirst()
{
    QSounds sounds(BlobsInMemory, false, -1);
    QVERIFY(loadBytes(sounds, snd({{1, 1, wav(500)}, {1, 2, wav(900)}})));
    sounds.play(0, true);
    const QString first = sounds.playingFile();
    QTest::qWait(1100); // the file name counts seconds: make the second one differ
    sounds.play(1, false);
    const QString second = sounds.playingFile();
    QVERIFY(first != second);
    QVERIFY(!QFile::exists(first));
    QVERIFY(QFile::exists(second));
    QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1);
    QCOMPARE(sounds.findChildren<QSoundEffect*>()[0]->loopCount(), 1);

    // Within the same second the name repeats; the file holds the new sound.
    sounds.play(0, false);
    QFile f(sounds.playingFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), wav(500));
    QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1);

    // Loading and saving stop playback too.
    QVERIFY(loadBytes(sounds, snd({{1, 1, wav(500)}})));
    QVERIFY(sounds.playingFile().isEmpty());
    QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
    QVERIFY(QDir(QDir::tempPath()).entryList(QDir::Files).isEmpty());
}

void TestQSounds::corpusArchives_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::newRow("kfm") << "chars/kfm/kfm.snd" << 12;
    QTest::newRow("common") << "data/common.snd" << 10;
}

void TestQSounds::corpusArchives()
{
    QFETCH(QString, file);
    CORPUS_OR_SKIP(path, file);
    QMessages messages;
    QSounds sounds(BlobsInMemory, false, -1, &messages);
    QVERIFY(sounds.load(path));
    QCOMPARE(messages.rowCount(), 0);
    QTEST(sounds.count(), "count");

    // Each sound is the WAV file standing in the archive, byte for byte.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    qsizetype at = 512;
    for (int i = 0; i < sounds.count(); ++i) {
        const QByteArray bytes = sounds.soundBytes(i);
        QCOMPARE(all.mid(at + 16, bytes.size()), bytes);
        QVERIFY(bytes.startsWith("RIFF"));
        at += 16 + bytes.size();
        const WavInfo info = sounds.info(i);
        QCOMPARE(info.channels, 1u);
        QCOMPARE(info.bitsPerSample, 8u);
        QCOMPARE(info.duration, float((bytes.size() - 44) / double(info.sampleRate)));
    }
    QCOMPARE(at, all.size());

    const QString copy = tmp.filePath("corpus-copy.snd");
    QVERIFY(sounds.save(copy));
    QSounds again(BlobsInMemory, false, -1, &messages);
    QVERIFY(again.load(copy));
    QCOMPARE(again.count(), sounds.count());
    for (int i = 0; i < sounds.count(); ++i) {
        QCOMPARE(again.groupAndNumber(i), sounds.groupAndNumber(i));
        QCOMPARE(again.soundBytes(i), sounds.soundBytes(i));
    }
}

QTEST_GUILESS_MAIN(TestQSounds)
#include "tst_qsounds.moc"

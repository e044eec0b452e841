// The blob store in memory and in a temporary file, with and without compression.
#include "qblobstore.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TestBlobStore : public QObject
{
    Q_OBJECT
private slots:
    void eachMode_data();
    void editsKeepEveryOtherBlob_data() { eachMode_data(); }
    void editsKeepEveryOtherBlob();
    void unknownHandlesAndClear_data() { eachMode_data(); }
    void unknownHandlesAndClear();
    void compressedBytesCarryTheirLength();
    void damagedCompressedBlobReadsEmpty();
    void temporaryFile();

private:
    QTemporaryDir dir;
    QString templ() const { return dir.filePath("mugentest"); }
};

namespace {
QByteArray pattern(int n, int seed)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed * 31) & 0xFF);
    return b;
}

// Every live blob reads back as expected, and a temporary file is exactly
// as long as the stored blobs together.
void checkStore(const QBlobStore& s, const QMap<BlobId, QByteArray>& live)
{
    qint64 sum = 0;
    for (auto it = live.begin(); it != live.end(); ++it) {
        QByteArray out("x");
        QVERIFY(s.read(it.key(), out));
        QCOMPARE(out, it.value());
        sum += s.storedSize(it.key());
    }
    QCOMPARE(s.count(), int(live.size()));
    if (s.mode() == BlobsInTemporaryFile)
        QCOMPARE(s.fileSize(), sum);
}
} // namespace

void TestBlobStore::eachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("compress");
    QTest::newRow("memory") << int(BlobsInMemory) << false;
    QTest::newRow("memory, compressed") << int(BlobsInMemory) << true;
    QTest::newRow("file") << int(BlobsInTemporaryFile) << false;
    QTest::newRow("file, compressed") << int(BlobsInTemporaryFile) << true;
}

void TestBlobStore::editsKeepEveryOtherBlob()
{
    QFETCH(int, mode);
    QFETCH(bool, compress);
    QBlobStore s(mode, templ(), compress, -1);
    QList<BlobId> ids;
    QMap<BlobId, QByteArray> live;
    for (int i = 0; i < 6; ++i) {
        const QByteArray bytes = i == 5 ? QByteArray() : pattern(1000 + 333 * i, i);
        ids << s.append(bytes);
        live[ids.last()] = bytes;
    }
    checkStore(s, live);
    // Remove the first, the last and one in the middle, then replace with
    // longer, shorter and empty bytes.
    for (int i : {0, 5, 2}) {
        QVERIFY(s.remove(ids[i]));
        live.remove(ids[i]);
        checkStore(s, live);
    }
    const QList<QPair<int, QByteArray>> edits = {
        {1, pattern(9000, 7)}, {3, pattern(3, 9)}, {4, QByteArray()}, {1, pattern(1, 1)}};
    for (const auto& [i, bytes] : edits) {
        QVERIFY(s.replace(ids[i], bytes));
        live[ids[i]] = bytes;
        checkStore(s, live);
    }
}

void TestBlobStore::unknownHandlesAndClear()
{
    QFETCH(int, mode);
    QFETCH(bool, compress);
    QBlobStore s(mode, templ(), compress, -1);
    const BlobId removed = s.append("gone");
    const BlobId big = s.append(pattern(100000, 1));
    QVERIFY(removed != 0 && big != 0 && removed != big);
    QVERIFY(s.remove(removed));
    // Handles never issued, or removed, change nothing.
    QByteArray out = "untouched";
    for (BlobId bad : {BlobId(0), removed, BlobId(big + 1), BlobId(0xFFFFFFFF)}) {
        QVERIFY(!s.read(bad, out));
        QVERIFY(!s.replace(bad, "x"));
        QVERIFY(!s.remove(bad));
    }
    QCOMPARE(out, QByteArray("untouched"));
    checkStore(s, {{big, pattern(100000, 1)}});
    // After clear the file is empty and a new blob starts it again.
    s.clear();
    QCOMPARE(s.fileSize(), qint64(0));
    QVERIFY(!s.read(big, out));
    const BlobId next = s.append(pattern(64, 3));
    checkStore(s, {{next, pattern(64, 3)}});
}

void TestBlobStore::compressedBytesCarryTheirLength()
{
    for (int mode : {int(BlobsInMemory), int(BlobsInTemporaryFile)}) {
        QBlobStore s(mode, templ(), true, -1);
        const QByteArray bytes(70000, 'z');
        const QByteArray stored = s.storedBytes(s.append(bytes));
        QVERIFY(stored.size() < 1000);
        QCOMPARE(qFromBigEndian<quint32>(stored.constData()), quint32(bytes.size()));
        QCOMPARE(stored, qCompress(bytes, -1));
        QCOMPARE(s.storedBytes(s.append(QByteArray())), qCompress(QByteArray(), -1));
    }
}

void TestBlobStore::damagedCompressedBlobReadsEmpty()
{
    // A stored stream that zlib cannot inflate reads back as nothing, still
    // with success: the owners treat an empty result as a damaged blob.
    QBlobStore s(BlobsInTemporaryFile, templ(), true, -1);
    const BlobId id = s.append(pattern(5000, 4));
    {
        QFile f(s.fileName());
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(6);
        f.write("garbage!garbage!");
    }
    QVERIFY(s.storedBytes(id).contains("garbage!"));
    QByteArray out("x");
    QVERIFY(s.read(id, out));
    QVERIFY(out.isEmpty());
}

void TestBlobStore::temporaryFile()
{
    // The file goes away with the store.
    QString name;
    {
        QBlobStore s(BlobsInTemporaryFile, templ(), false, -1);
        s.append("abc");
        name = s.fileName();
        QVERIFY(QFile::exists(name));
    }
    QVERIFY(!QFile::exists(name));
    // Where no file can be made, the blobs stay in memory.
    QBlobStore s(BlobsInTemporaryFile, "/nonexistent-dir/for/sure/mugenspr", false, -1);
    const BlobId a = s.append("first");
    QVERIFY(s.remove(s.append("second")));
    QVERIFY(s.replace(a, "changed"));
    QByteArray out;
    QVERIFY(s.read(a, out));
    QCOMPARE(out, QByteArray("changed"));
}

QTEST_GUILESS_MAIN(TestBlobStore)
#include "tst_qblobstore.moc"

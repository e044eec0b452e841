// The blob store in memory and in a temporary file, with and without compression.
#include "qblobstore.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TestBlobStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void eachMode_data();
    void handlesEmptyBlobsAndClear_data() { eachMode_data(); }
    void handlesEmptyBlobsAndClear();
    void removeKeepsOthersReadable_data();
    void removeKeepsOthersReadable();
    void replaceKeepsOthersReadable_data() { eachMode_data(); }
    void replaceKeepsOthersReadable();
    void compressedBytesCarryTheirLength();
    void damagedCompressedBlobReadsEmpty();
    void fileGoesAwayWithTheStore();
    void unopenableFileKeepsBlobsInMemory();

private:
    QTemporaryDir dir;
    QString templ() const { return dir.filePath("mugentest"); }
    static QByteArray pattern(int n, int seed);
    static void checkFileInvariant(const QBlobStore& s, const QList<BlobId>& live);
};

QByteArray TestBlobStore::pattern(int n, int seed)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed * 31) & 0xFF);
    return b;
}

void TestBlobStore::checkFileInvariant(const QBlobStore& s, const QList<BlobId>& live)
{
    if (s.mode() != BlobsInTemporaryFile)
        return;
    qint64 sum = 0;
    for (BlobId id : live)
        sum += s.storedSize(id);
    QCOMPARE(s.fileSize(), sum);
}

void TestBlobStore::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestBlobStore::eachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("compress");
    QTest::newRow("memory") << int(BlobsInMemory) << false;
    QTest::newRow("memory, compressed") << int(BlobsInMemory) << true;
    QTest::newRow("file") << int(BlobsInTemporaryFile) << false;
    QTest::newRow("file, compressed") << int(BlobsInTemporaryFile) << true;
}

void TestBlobStore::handlesEmptyBlobsAndClear()
{
    QFETCH(int, mode);
    QFETCH(bool, compress);
    QBlobStore s(mode, templ(), compress, -1);
    const BlobId empty = s.append(QByteArray());
    const BlobId big = s.append(pattern(100000, 1));
    QVERIFY(empty != 0 && big != 0 && empty != big);
    QByteArray out("x");
    QVERIFY(s.read(empty, out));
    QVERIFY(out.isEmpty());
    QVERIFY(s.read(big, out));
    QCOMPARE(out, pattern(100000, 1));
    checkFileInvariant(s, {empty, big});

    // Handles never issued, or removed, change nothing.
    out = "untouched";
    QVERIFY(s.remove(empty));
    for (BlobId bad : {BlobId(0), empty, BlobId(big + 1), BlobId(0xFFFFFFFF)}) {
        QVERIFY(!s.read(bad, out));
        QCOMPARE(out, QByteArray("untouched"));
        QVERIFY(!s.replace(bad, "x"));
        QVERIFY(!s.remove(bad));
    }
    checkFileInvariant(s, {big});

    // After clear the file is empty and a new blob starts it again.
    s.clear();
    QCOMPARE(s.count(), 0);
    QCOMPARE(s.fileSize(), qint64(0));
    QVERIFY(!s.read(big, out));
    const BlobId next = s.append(pattern(64, 3));
    QVERIFY(s.read(next, out));
    QCOMPARE(out, pattern(64, 3));
    checkFileInvariant(s, {next});
}

void TestBlobStore::removeKeepsOthersReadable_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("compress");
    QTest::addColumn<int>("which"); // position in append order
    for (int which : {0, 2, 4}) {
        const char* where = which == 0 ? "first" : which == 4 ? "last" : "middle";
        QTest::addRow("memory, %s", where) << int(BlobsInMemory) << false << which;
        QTest::addRow("file, %s", where) << int(BlobsInTemporaryFile) << false << which;
        QTest::addRow("file, compressed, %s", where) << int(BlobsInTemporaryFile) << true << which;
    }
}

void TestBlobStore::removeKeepsOthersReadable()
{
    QFETCH(int, mode);
    QFETCH(bool, compress);
    QFETCH(int, which);
    QBlobStore s(mode, templ(), compress, -1);
    QList<BlobId> ids;
    for (int i = 0; i < 5; ++i)
        ids << s.append(pattern(1000 + 333 * i, i));
    const qint64 sizeBefore = s.fileSize();
    const quint32 removedSize = s.storedSize(ids[which]);
    QVERIFY(s.remove(ids[which]));
    if (mode == BlobsInTemporaryFile)
        QCOMPARE(s.fileSize(), sizeBefore - removedSize);
    for (int i = 0; i < 5; ++i) {
        QByteArray out;
        if (i == which) {
            QVERIFY(!s.read(ids[i], out));
            continue;
        }
        QVERIFY(s.read(ids[i], out));
        QCOMPARE(out, pattern(1000 + 333 * i, i));
    }
    ids.removeAt(which);
    checkFileInvariant(s, ids);
}

void TestBlobStore::replaceKeepsOthersReadable()
{
    QFETCH(int, mode);
    QFETCH(bool, compress);
    QBlobStore s(mode, templ(), compress, -1);
    QList<BlobId> ids;
    QList<QByteArray> expected;
    for (int i = 0; i < 4; ++i) {
        expected << pattern(500 * (i + 1), i);
        ids << s.append(expected.last());
    }
    // Longer, shorter, empty, and the last one again.
    const QList<QPair<int, QByteArray>> edits = {
        {1, pattern(9000, 7)}, {0, pattern(10, 8)}, {2, QByteArray()}, {3, pattern(3, 9)}, {1, pattern(1, 1)}};
    for (const auto& [i, bytes] : edits) {
        QVERIFY(s.replace(ids[i], bytes));
        expected[i] = bytes;
        for (int k = 0; k < 4; ++k) {
            QByteArray out;
            QVERIFY(s.read(ids[k], out));
            QCOMPARE(out, expected[k]);
        }
        checkFileInvariant(s, ids);
    }
}

void TestBlobStore::compressedBytesCarryTheirLength()
{
    for (int mode : {int(BlobsInMemory), int(BlobsInTemporaryFile)}) {
        QBlobStore s(mode, templ(), true, -1);
        const QByteArray bytes(70000, 'z');
        const BlobId id = s.append(bytes);
        const QByteArray stored = s.storedBytes(id);
        QVERIFY(stored.size() < 1000);
        QCOMPARE(qFromBigEndian<quint32>(stored.constData()), quint32(bytes.size()));
        QCOMPARE(stored, qCompress(bytes, -1));
        const BlobId none = s.append(QByteArray());
        QCOMPARE(s.storedBytes(none), qCompress(QByteArray(), -1));
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

void TestBlobStore::fileGoesAwayWithTheStore()
{
    QString name;
    {
        QBlobStore s(BlobsInTemporaryFile, templ(), false, -1);
        s.append("abc");
        name = s.fileName();
        QVERIFY(QFile::exists(name));
    }
    QVERIFY(!QFile::exists(name));
}

void TestBlobStore::unopenableFileKeepsBlobsInMemory()
{
    QBlobStore s(BlobsInTemporaryFile, "/nonexistent-dir/for/sure/mugenspr", false, -1);
    const BlobId a = s.append("first");
    const BlobId b = s.append("second");
    QVERIFY(s.replace(a, "changed"));
    QVERIFY(s.remove(b));
    QByteArray out;
    QVERIFY(s.read(a, out));
    QCOMPARE(out, QByteArray("changed"));
}

QTEST_GUILESS_MAIN(TestBlobStore)
#include "tst_qblobstore.moc"

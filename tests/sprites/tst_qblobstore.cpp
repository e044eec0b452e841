// The blob store in memory and in a temporary file, with and without compression.
#include "qblobstore.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray pattern(int n, int seed)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed * 31) & 0xFF);
    return b;
}
} // namespace

class TestBlobStore : public QObject
{
    Q_OBJECT
private slots:
    void editsKeepEveryOtherBlob_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("folder"); // of the temporary file
        QTest::newRow("memory") << int(BlobStoreMode::BlobsInMemory) << false << QString();
        QTest::newRow("memory, compressed") << int(BlobStoreMode::BlobsInMemory) << true << QString();
        QTest::newRow("file") << int(BlobStoreMode::BlobsInTemporaryFile) << false << QString();
        QTest::newRow("file, compressed") << int(BlobStoreMode::BlobsInTemporaryFile) << true << QString();
        QTest::newRow("file where none can be made: memory") << int(BlobStoreMode::BlobsInTemporaryFile) << false << "/nonexistent-dir/for/sure";
    }

    void editsKeepEveryOtherBlob()
    {
        QFETCH(int, mode);
        QFETCH(bool, compress);
        QFETCH(QString, folder);
        QTemporaryDir dir;
        auto s = std::make_unique<QBlobStore>(BlobStoreMode(mode), (folder.isEmpty() ? dir.path() : folder) + "/blobs", compress, -1);
        QList<BlobId> ids;
        QMap<BlobId, QByteArray> live;
        // Every live blob reads back, and a temporary file is exactly as long as the stored blobs together.
        const auto check = [&] {
            qint64 sum = 0;
            for (auto it = live.begin(); it != live.end(); ++it) {
                QByteArray out("x");
                QVERIFY(s->read(it.key(), out));
                QCOMPARE(out, it.value());
                sum += s->storedSize(it.key());
            }
            QCOMPARE(s->count(), int(live.size()));
            if (!s->fileName().isEmpty())
                QCOMPARE(s->fileSize(), sum);
        };
        for (int i = 0; i < 6; ++i) {
            ids << s->append(i == 5 ? QByteArray() : pattern(1000 + 333 * i, i));
            live[ids.last()] = i == 5 ? QByteArray() : pattern(1000 + 333 * i, i);
        }
        // Remove the first, the last and one in the middle, then replace with longer, shorter and empty bytes.
        const QList<QPair<int, QByteArray>> edits = {{0, "-"}, {5, "-"}, {2, "-"}, {1, pattern(9000, 7)}, {3, pattern(3, 9)}, {4, {}}};
        for (const auto& [i, bytes] : edits) {
            QVERIFY(bytes == "-" ? s->remove(ids[i]) : s->replace(ids[i], bytes));
            bytes == "-" ? void(live.remove(ids[i])) : void(live[ids[i]] = bytes);
            check();
        }
        // Handles never issued, or removed, change nothing.
        QByteArray out = "untouched";
        for (BlobId bad : {BlobId(0), ids[0], BlobId(ids[5] + 1), BlobId(0xFFFFFFFF)})
            QVERIFY(!s->read(bad, out) && !s->replace(bad, "x") && !s->remove(bad));
        QCOMPARE(out, QByteArray("untouched"));
        if (compress) // the length first, big-endian, as qCompress writes it
            QCOMPARE(s->storedBytes(ids[1]), qCompress(pattern(9000, 7), -1));
        if (compress && mode == int(BlobStoreMode::BlobsInTemporaryFile)) {
            // A stream zlib cannot inflate reads back as nothing, still with
            // success: the owners treat an empty result as a damaged blob.
            QFile f(s->fileName());
            QVERIFY(f.open(QIODevice::ReadWrite) && f.write("garbage!garbage!") == 16);
            f.close();
            QVERIFY(s->read(live.firstKey(), out) && out.isEmpty());
        }
        live.clear();
        s->clear();
        QCOMPARE(s->fileSize(), qint64(0));
        live[s->append(pattern(64, 3))] = pattern(64, 3);
        check();
        const QString file = s->fileName();
        s.reset();
        QVERIFY(file.isEmpty() || !QFile::exists(file)); // the file goes away with the store
    }
};

QTEST_GUILESS_MAIN(TestBlobStore)
#include "tst_qblobstore.moc"

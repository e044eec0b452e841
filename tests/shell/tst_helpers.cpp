// The shared little-endian reader/writer and the text decoding rule.
#include "binaryio.h"
#include "textdecode.h"

#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void reader();
    void slice_data();
    void slice();
    void writer();
    void decodeText_data();
    void decodeText();
};

void TestHelpers::reader()
{
    const QByteArray fields = QByteArray::fromHex("0102" "fffe" "78563412" "ff");
    LeReader r(fields); // the reader views the bytes, it does not own them
    QCOMPARE(r.u16(), quint16(0x0201));
    QCOMPARE(r.s16(), qint16(-257));
    QCOMPARE(r.u32(), quint32(0x12345678));
    QCOMPARE(r.u8(), quint8(0xFF));
    QVERIFY(r.ok() && r.atEnd());

    // Never past the end: a short read gives zeros (or what is there), stops
    // at the end and clears ok().
    const QByteArray b = QByteArray::fromHex("010203");
    LeReader u(b);
    QCOMPARE(u.u32(), quint32(0)); // three bytes are not a 32-bit field
    QVERIFY(!u.ok() && u.atEnd());
    LeReader t(b, 1);
    QCOMPARE(t.take(10).size(), 2);
    QVERIFY(!t.ok());
    LeReader s(b);
    QVERIFY(!s.seek(4) && s.atEnd());
    LeReader k(b);
    k.skip(-1);
    QVERIFY(!k.ok());
}

void TestHelpers::slice_data()
{
    QTest::addColumn<quint64>("offset");
    QTest::addColumn<quint64>("length");
    QTest::addColumn<int>("expected"); // -1: empty view
    QTest::newRow("inside") << quint64(2) << quint64(3) << 3;
    QTest::newRow("to the end") << quint64(0) << quint64(10) << 10;
    QTest::newRow("empty at end") << quint64(10) << quint64(0) << 0;
    QTest::newRow("one past") << quint64(8) << quint64(3) << -1;
    QTest::newRow("offset past") << quint64(11) << quint64(0) << -1;
    QTest::newRow("wrapping length") << quint64(5) << quint64(0xFFFFFFFFFFFFFFF0ull) << -1;
    QTest::newRow("huge offset") << quint64(0xFFFFFFFFull) << quint64(1) << -1;
}

void TestHelpers::slice()
{
    QFETCH(quint64, offset);
    QFETCH(quint64, length);
    QFETCH(int, expected);
    const QByteArray data(10, 'x');
    QCOMPARE(int(LeReader::slice(data, offset, length).size()), qMax(expected, 0));
}

void TestHelpers::writer()
{
    QByteArray out;
    LeWriter w(&out);
    w.u16(0xBEEF);
    w.u32(0);
    w.s16(-2);
    w.zeros(2);
    w.patchU32(2, 0xCAFEBABE);
    w.patchU32(7, 1); // would run past the end: ignored
    QCOMPARE(out.toHex(), QByteArray("efbebebafecafeff0000"));
}

void TestHelpers::decodeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain ascii") << QByteArray("[Begin Action 0]") << QString("[Begin Action 0]");
    QTest::newRow("utf8 without mark") << QByteArray("caf\xC3\xA9") << QString::fromUtf8("caf\xC3\xA9");
    QTest::newRow("utf8 mark dropped") << QByteArray("\xEF\xBB\xBFx=1") << QString("x=1");
    QTest::newRow("latin1 comment kept") << QByteArray("; Fran\xE7ois") << QString::fromLatin1("; Fran\xE7ois");
    QTest::newRow("utf16le mark") << QByteArray("\xFF\xFEh\0i\0", 6) << QString("hi");
    QTest::newRow("utf16be mark") << QByteArray("\xFE\xFF\0h\0i", 6) << QString("hi");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestHelpers::decodeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(::decodeText(bytes), expected);
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"

// The shared little-endian reader/writer and the rule for decoding text files.
#include "binaryio.h"
#include "textdecode.h"

#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void readerWriterAndTextDecoding();
};

void TestHelpers::readerWriterAndTextDecoding()
{
    QByteArray bytes;
    LeWriter out(&bytes);
    out.u16(0x0201);
    out.s16(-257);
    out.u32(0);
    out.u8(0xFF);
    out.patchU32(4, 0x12345678);
    out.patchU32(7, 1); // would run past the end: ignored
    QCOMPARE(bytes.toHex(), QByteArray("0102fffe78563412ff"));
    LeReader in(bytes);
    QCOMPARE(in.u16(), quint16(0x0201));
    QCOMPARE(in.s16(), qint16(-257));
    QCOMPARE(in.u32(), quint32(0x12345678));
    QVERIFY(in.u8() == 0xFF && in.ok() && in.atEnd());

    // Never past the end: a short read gives zeros or what is there, stops at
    // the end and clears ok().
    LeReader u(bytes, 6);
    QVERIFY(u.u32() == 0 && !u.ok() && u.atEnd());
    LeReader t(bytes, 7);
    QVERIFY(t.take(10).size() == 2 && !t.ok());
    LeReader s(bytes);
    s.skip(-1);
    QVERIFY(!s.ok() && !LeReader(bytes).seek(10));

    // Offsets and lengths from files: a range not wholly inside gives nothing.
    const QByteArray ten(10, 'x');
    QCOMPARE(LeReader::slice(ten, 2, 3).size() + LeReader::slice(ten, 0, 10).size(), 13);
    for (auto [offset, length] : {std::pair<quint64, quint64>{10, 0}, {8, 3}, {11, 0}, {5, ~quint64(15)}, {~0u, 1}})
        QVERIFY2(LeReader::slice(ten, offset, length).isEmpty(), qPrintable(QString::number(offset)));

    // Text files: a byte-order mark is honoured and dropped; without one, valid UTF-8 is
    // UTF-8 and anything else Latin-1, so that no byte of a comment is lost.
    const std::pair<QByteArray, QString> cases[] = {
        {"caf\xC3\xA9", QString::fromUtf8("caf\xC3\xA9")},
        {"\xEF\xBB\xBFx=1", "x=1"},
        {"; Fran\xE7ois", QString::fromLatin1("; Fran\xE7ois")},
        {QByteArray("\xFF\xFEh\0i\0", 6), "hi"},
        {QByteArray("\xFE\xFF\0h\0i", 6), "hi"},
    };
    for (const auto& [raw, text] : cases)
        QCOMPARE(::decodeText(raw), text);
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"

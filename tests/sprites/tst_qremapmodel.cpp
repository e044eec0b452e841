// The palette remap table: rows, editing, and the palette each row picks.
#include "qremapmodel.h"
#include "qsprites.h"

#include <QSignalSpy>
#include <QtTest>

class TestReMapModel : public QObject
{
    Q_OBJECT
private slots:
    void remap_data();
    void remap();
    void tableInterface();
    void onlyTheFirst256RowsCount();
};

namespace {
// Palettes (group, number): 0 = (1,1), 1 = (1,2), 2 = (3,4), 3 = (-1,7).
void addPalettes(QSprites& s)
{
    const int groups[][2] = {{1, 1}, {1, 2}, {3, 4}, {-1, 7}};
    for (int i = 0; i < 4; ++i) {
        QByteArray colours(768, char(i));
        s.addPalette(colours, false, qint16(groups[i][0]), groups[i][1]);
    }
}
} // namespace

void TestReMapModel::remap_data()
{
    QTest::addColumn<QList<QList<int>>>("rows"); // src group, src number, dst group, dst number
    QTest::addColumn<int>("palette");
    QTest::addColumn<int>("result");
    QTest::newRow("no rows") << QList<QList<int>>{} << 0 << -1;
    QTest::newRow("a new row maps 1,1 to itself") << QList<QList<int>>{{1, 1, 1, 1}} << 0 << 0;
    QTest::newRow("to another palette") << QList<QList<int>>{{1, 1, 3, 4}} << 0 << 2;
    QTest::newRow("other palettes are left alone") << QList<QList<int>>{{1, 1, 3, 4}} << 1 << -1;
    QTest::newRow("destination names no palette") << QList<QList<int>>{{1, 1, 9, 9}} << 0 << -1;
    QTest::newRow("negative destination") << QList<QList<int>>{{1, 2, -1, 7}} << 1 << -1;
    QTest::newRow("destination past 16 bits") << QList<QList<int>>{{1, 2, 65536 + 3, 4}} << 1 << -1;
    QTest::newRow("negative source group") << QList<QList<int>>{{-1, 7, 1, 2}} << 3 << 1;
    QTest::newRow("first of two rows counts") << QList<QList<int>>{{3, 4, 1, 2}, {3, 4, 1, 1}} << 2 << 1;
    QTest::newRow("first row naming nothing stops the search")
        << QList<QList<int>>{{3, 4, 8, 8}, {3, 4, 1, 1}} << 2 << -1;
    QTest::newRow("an index outside the palettes is 0,0") << QList<QList<int>>{{0, 0, 1, 2}} << 99 << 1;
}

void TestReMapModel::remap()
{
    QFETCH(QList<QList<int>>, rows);
    QFETCH(int, palette);
    QFETCH(int, result);
    QSprites sprites(nullptr, BlobsInMemory, false, -1);
    addPalettes(sprites);
    QReMapModel m;
    m.setSprites(&sprites);
    for (const QList<int>& r : rows) {
        QVERIFY(m.addRow());
        for (int c = 0; c < 4; ++c)
            QVERIFY(m.setData(m.index(m.rowCount() - 1, c), r.at(c)));
    }
    QCOMPARE(m.remapPalette(palette), result);
}

void TestReMapModel::tableInterface()
{
    QReMapModel m;
    QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QString("Dst Grp"));
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QVERIFY(m.addRow());
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(m.data(m.index(0, 2), Qt::EditRole).toInt(), 1); // a new row maps 1,1 to 1,1
    QVERIFY(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);

    // Only numbers typed in the editor are taken.
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    QVERIFY(m.setData(m.index(0, 3), QString("12")));
    QCOMPARE(m.data(m.index(0, 3)).toInt(), 12);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!m.setData(m.index(0, 3), 5, Qt::DisplayRole));
    QVERIFY(!m.setData(m.index(0, 3), QString("x")));
    QVERIFY(!m.setData(QModelIndex(), 5));
    QVERIFY(!m.data(m.index(1, 0)).isValid());
    QCOMPARE(changed.count(), 1);

    // Removing a row that is not there changes nothing.
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    QVERIFY(!m.removeRow(1));
    QVERIFY(!m.removeRow(-1));
    QCOMPARE(removed.count(), 0);
    QVERIFY(m.removeRow(0));
    QCOMPARE(m.rowCount(), 0);
}

void TestReMapModel::onlyTheFirst256RowsCount()
{
    QSprites sprites(nullptr, BlobsInMemory, false, -1);
    addPalettes(sprites);
    QReMapModel m;
    m.setSprites(&sprites);
    for (int i = 0; i < 300; ++i) {
        m.addRow();
        m.setData(m.index(i, 0), 3);
        m.setData(m.index(i, 1), i < 256 ? 0 : 4); // only rows past 256 match palette 2
    }
    QCOMPARE(m.remapPalette(2), -1);
    m.setData(m.index(255, 1), 4);
    QCOMPARE(m.remapPalette(2), 0);
}

QTEST_GUILESS_MAIN(TestReMapModel)
#include "tst_qremapmodel.moc"

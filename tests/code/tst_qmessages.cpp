#include "qmessages.h"

#include <QIcon>
#include <QSignalSpy>
#include <QtTest>

class TestQMessages : public QObject
{
    Q_OBJECT
private slots:
    void rowsKeepOrderAndDuplicates();
    void rolesAndIcons_data();
    void rolesAndIcons();
    void outOfRangeRowsAreEmpty();
    void insertSignalsAnnounceOneRow();
    void clearSignals();
};

void TestQMessages::rowsKeepOrderAndDuplicates()
{
    QMessages m;
    m.addError("a.air(1): Unexpected token 'x'");
    m.addWarning("same");
    m.addWarning("same");
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.data(m.index(0)).toString(), QString("a.air(1): Unexpected token 'x'"));
    QCOMPARE(m.data(m.index(1)).toString(), QString("same"));
    QCOMPARE(m.data(m.index(2)).toString(), QString("same"));
}

void TestQMessages::rolesAndIcons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("iconPath");
    QTest::newRow("error") << 0 << ":/msgs/Nuvola/error.png";
    QTest::newRow("warning") << 1 << ":/msgs/Nuvola/warn.png";
    QTest::newRow("information") << 2 << ":/msgs/Nuvola/info.png";
}

void TestQMessages::rolesAndIcons()
{
    QFETCH(int, type);
    QFETCH(QString, iconPath);
    QMessages m;
    if (type == 0)
        m.addError("e");
    else if (type == 1)
        m.addWarning("w");
    else
        m.addInfo("i");
    QCOMPARE(int(m.type(0)), type);
    const QVariant deco = m.data(m.index(0), Qt::DecorationRole);
    QVERIFY(deco.canConvert<QIcon>());
    const QIcon icon = deco.value<QIcon>();
    QVERIFY2(!icon.isNull(), "the severity icon is compiled into the resources");
    QVERIFY(!QImage(iconPath).isNull());
    QCOMPARE(icon.pixmap(24).toImage(), QIcon(iconPath).pixmap(24).toImage());
    // Roles other than display and decoration carry nothing.
    QVERIFY(!m.data(m.index(0), Qt::ToolTipRole).isValid());
    QVERIFY(!m.data(m.index(0), Qt::EditRole).isValid());
}

void TestQMessages::outOfRangeRowsAreEmpty()
{
    QMessages m;
    m.addInfo("only");
    QVERIFY(!m.data(m.index(1)).isValid()); // row n of n rows: not the last row
    QVERIFY(!m.data(QModelIndex()).isValid());
    QVERIFY(!m.data(m.index(-1)).isValid());
    QMessages other;
    other.addInfo("x");
    QVERIFY(!m.data(other.index(0)).isValid()); // an index of another model
    QCOMPARE(m.text(5), QString());
}

void TestQMessages::insertSignalsAnnounceOneRow()
{
    QMessages m;
    m.addInfo("first");
    QSignalSpy about(&m, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy done(&m, &QAbstractItemModel::rowsInserted);
    m.addError("second");
    QCOMPARE(about.count(), 1);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).value<QModelIndex>(), QModelIndex());
    QCOMPARE(done.at(0).at(1).toInt(), 1);
    QCOMPARE(done.at(0).at(2).toInt(), 1);
}

void TestQMessages::clearSignals()
{
    QMessages m;
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.clear();
    QCOMPARE(removed.count(), 0);
    QCOMPARE(reset.count(), 0);

    m.addError("a");
    m.addWarning("b");
    m.addInfo("c");
    m.clear();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 2);
    QCOMPARE(m.rowCount(), 0);
}

QTEST_MAIN(TestQMessages)
#include "tst_qmessages.moc"

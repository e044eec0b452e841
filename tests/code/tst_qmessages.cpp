#include "qmessages.h"

#include <QIcon>
#include <QSignalSpy>
#include <QtTest>

class TestQMessages : public QObject
{
    Q_OBJECT
private slots:
    void rowsRolesAndIcons_data();
    void rowsRolesAndIcons();
    void insertAndClearSignals();
};

void TestQMessages::rowsRolesAndIcons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("iconPath");
    QTest::newRow("error") << int(Error) << ":/msgs/Nuvola/error.png";
    QTest::newRow("warning") << int(Warning) << ":/msgs/Nuvola/warn.png";
    QTest::newRow("information") << int(Information) << ":/msgs/Nuvola/info.png";
}

void TestQMessages::rowsRolesAndIcons()
{
    QFETCH(int, type);
    QFETCH(QString, iconPath);
    QMessages m;
    m.addInfo("a.air(1): Unexpected token 'x'");
    for (int i = 0; i < 2; ++i) // two identical messages stay two rows
        type == Error ? m.addError("same") : type == Warning ? m.addWarning("same") : m.addInfo("same");
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.data(m.index(0)).toString(), QString("a.air(1): Unexpected token 'x'"));
    QCOMPARE(m.data(m.index(2)).toString(), QString("same"));
    QCOMPARE(int(m.type(1)), type);
    const QIcon icon = m.data(m.index(2), Qt::DecorationRole).value<QIcon>();
    QVERIFY2(!QImage(iconPath).isNull(), "the severity icon is compiled into the resources");
    QCOMPARE(icon.pixmap(24).toImage(), QIcon(iconPath).pixmap(24).toImage());
    QVERIFY(!m.data(m.index(2), Qt::ToolTipRole).isValid());
    QVERIFY(!m.data(m.index(2), Qt::EditRole).isValid());

    // Out of range: row n of n rows (here a stale index) is not the last row;
    // another model's index is not ours.
    const QModelIndex stale = m.index(2);
    m.clear();
    m.addInfo("a");
    m.addInfo("b");
    QMessages other;
    other.addInfo("x");
    for (const QModelIndex& index : {stale, m.index(-1), QModelIndex(), other.index(0)})
        QVERIFY(!m.data(index).isValid());
    QCOMPARE(m.text(5), QString());
}

void TestQMessages::insertAndClearSignals()
{
    QMessages m;
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy aboutToInsert(&m, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.clear(); // empty: no signal at all
    QCOMPARE(removed.count() + reset.count(), 0);

    m.addError("a");
    m.addWarning("b");
    m.addInfo("c");
    QCOMPARE(aboutToInsert.count(), 3);
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(1), QVariantList({QVariant::fromValue(QModelIndex()), 1, 1}));
    m.clear();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0), QVariantList({QVariant::fromValue(QModelIndex()), 0, 2}));
    QCOMPARE(m.rowCount(), 0);
    QCOMPARE(reset.count(), 0);
}

QTEST_MAIN(TestQMessages)
#include "tst_qmessages.moc"

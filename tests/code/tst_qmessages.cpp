// The issues list model: what a view of it relies on (icons, row signals,
// indexes that are out of date or not its own). Texts and types are checked
// by the loaders' tests, which read their messages through it.
#include "qmessages.h"

#include <QIcon>
#include <QSignalSpy>
#include <QtTest>

class TestQMessages : public QObject
{
    Q_OBJECT
private slots:
    void iconsSignalsAndBadIndexes();
};

void TestQMessages::iconsSignalsAndBadIndexes()
{
    QMessages m, other;
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    m.addError("a");
    m.addWarning("b");
    m.addInfo("c");
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(1), QVariantList({QVariant::fromValue(QModelIndex()), 1, 1}));
    const QStringList icons = {"error", "warn", "info"};
    for (int row = 0; row < 3; ++row) {
        const QString path = ":/msgs/Nuvola/" + icons[row] + ".png";
        QVERIFY2(!QImage(path).isNull(), "the severity icon is compiled into the resources");
        QCOMPARE(m.data(m.index(row), Qt::DecorationRole).value<QIcon>().pixmap(24).toImage(), QIcon(path).pixmap(24).toImage());
    }
    // Out of range: a stale index past the last row, a negative row, another model's index.
    const QModelIndex stale = m.index(2);
    m.clear();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0), QVariantList({QVariant::fromValue(QModelIndex()), 0, 2}));
    m.addInfo("a");
    m.addInfo("b");
    other.addInfo("x");
    for (const QModelIndex& index : {stale, m.index(-1), QModelIndex(), other.index(0)})
        QVERIFY(!m.data(index).isValid());
}

QTEST_MAIN(TestQMessages)
#include "tst_qmessages.moc"

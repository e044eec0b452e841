// The models behind the list beside the page and the issues pane, driven by
// the documents' own signals: what a typed text finds, which rows are marked
// as sharing a group and number as the archive changes, and where the lines
// of each file land when loads come one after another.
#include "qissuesmodel.h"
#include "qmessages.h"
#include "qspritelistmodel.h"
#include "qsprites.h"
#include "spritecommands.h"
#include "spritetestdata.h"

#include <QAbstractItemModelTester>
#include <QtTest>

class TestItemLists : public QObject
{
    Q_OBJECT
private slots:
    void typedGroupAndNumber_data();
    void typedGroupAndNumber();
    void findGoesRoundAndMatchesBothSpellings();
    void duplicatesFollowTheArchive();
    void issuesGroupedAsLoadsComeAndGo();

private:
    // Sprites with these group,number pairs, one small image each.
    static void fill(QSprites& s, const QList<QPair<quint16, quint16>>& keys)
    {
        for (const auto& [group, number] : keys) {
            const int i = s.spriteCount();
            s.addSprite();
            QVERIFY(s.setImage(i, spritetest::indexed(4, 4, i, spritetest::greyRamp(0))));
            s.setSpriteInfo(i, {true, 0, 0, group, number, 0, 0, 0});
        }
    }
    static QList<int> marked(const QAbstractItemModel& m)
    {
        QList<int> rows;
        for (int i = 0; i < m.rowCount(); ++i)
            if (m.index(i, 0).data(QItemListModel::DuplicateRole).toBool())
                rows << i;
        return rows;
    }
};

void TestItemLists::typedGroupAndNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("group");
    QTest::addColumn<qint64>("number"); // -1: the group alone
    QTest::newRow("pair") << "9000,1" << true << qint64(9000) << qint64(1);
    QTest::newRow("blanks") << " 9000 , 1 " << true << qint64(9000) << qint64(1);
    QTest::newRow("group alone") << "9000" << true << qint64(9000) << qint64(-1);
    QTest::newRow("on the way to a pair") << "9000," << true << qint64(9000) << qint64(-1);
    QTest::newRow("negative") << "-1,5" << true << qint64(-1) << qint64(5);
    QTest::newRow("three numbers") << "1,2,3" << false << qint64(0) << qint64(0);
    QTest::newRow("words") << "stand" << false << qint64(0) << qint64(0);
    QTest::newRow("number not a number") << "5,x" << false << qint64(0) << qint64(0);
    QTest::newRow("nothing before the comma") << ",1" << false << qint64(0) << qint64(0);
}

void TestItemLists::typedGroupAndNumber()
{
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    const auto parsed = QItemListModel::parseGroupAndNumber(typed);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid)
        return;
    QFETCH(qint64, group);
    QFETCH(qint64, number);
    QCOMPARE(parsed->group, group);
    QCOMPARE(parsed->number.value_or(-1), number);
}

void TestItemLists::findGoesRoundAndMatchesBothSpellings()
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    fill(s, {{0, 0}, {9000, 0}, {9000, 1}, {65535, 3}, {9000, 1}});
    QSpriteListModel m(&s);
    QAbstractItemModelTester tester(&m);
    QCOMPARE(m.find("9000,1", 0), 2);
    QCOMPARE(m.find("9000,1", 3), 4); // from the row after the current one
    QCOMPARE(m.find("9000,1", 5), 2); // round past the end
    QCOMPARE(m.find("9000", 2), 2);   // a group: its next sprite
    // A group past 32767 is found as the fields show it and as the file holds it.
    QCOMPARE(m.find("-1,3", 0), 3);
    QCOMPARE(m.find("65535,3", 0), 3);
    QCOMPARE(m.find("7,7", 0), -1);
    QCOMPARE(m.find("  ", 0), -1);
    QCOMPARE(m.index(3, 0).data().toString(), QString("-1,3"));
}

void TestItemLists::duplicatesFollowTheArchive()
{
    QSprites s(nullptr, BlobStoreMode::BlobsInMemory, false, -1);
    fill(s, {{0, 0}, {0, 1}, {0, 2}});
    QSpriteListModel m(&s);
    QAbstractItemModelTester tester(&m);
    QVERIFY(marked(m).isEmpty());
    // Renumbered onto another's pair: both marked, the note names the other.
    s.setSpriteInfo(2, {true, 0, 0, 0, 1, 0, 0, 0});
    QCOMPARE(marked(m), (QList<int>{1, 2}));
    QCOMPARE(m.duplicateNote(2), QString("Sprite 1 is 0,1 too: the engine uses the first one."));
    QCOMPARE(m.duplicateNote(0), QString());
    // A third with the same pair, a copy put in behind sprite 1: every mark
    // moves with its row.
    std::vector<std::unique_ptr<QEditCommand>> steps;
    steps.emplace_back(spritecommands::duplicateSprite(&s, 1, true));
    steps.back()->redo();
    QCOMPARE(m.rowCount(), 4);
    QCOMPARE(marked(m), (QList<int>{1, 2, 3}));
    // Two of them gone: the last one alone is not marked.
    steps.emplace_back(spritecommands::removeSprite(&s, 1));
    steps.back()->redo();
    QCOMPARE(marked(m), (QList<int>{1, 2}));
    s.setSpriteInfo(2, {true, 0, 0, 0, 5, 0, 0, 0});
    QVERIFY(marked(m).isEmpty());
    steps.clear(); // as a load drops the history
    // A load starts over.
    QTemporaryDir dir;
    fill(s, {{0, 5}});
    QVERIFY(s.save(dir.filePath("x.sff"), true));
    QVERIFY(s.load(dir.filePath("x.sff")));
    QCOMPARE(m.rowCount(), 4);
    QCOMPARE(marked(m), (QList<int>{2, 3}));
}

void TestItemLists::issuesGroupedAsLoadsComeAndGo()
{
    QMessages messages;
    QIssuesModel m(&messages);
    QAbstractItemModelTester tester(&m);
    const auto rows = [&] {
        QStringList out;
        for (int i = 0; i < m.rowCount(); ++i)
            out << (m.index(i, 0).data(QIssuesModel::HeaderRole).toBool() ? "# " : "") + m.index(i, 0).data().toString();
        return out.join('|');
    };
    messages.addInfo("outside any file");
    {
        QMessages::FileScope a(&messages, "/c/a.air");
        messages.addError("a.air(3): one");
        // A file read while another is open has its own group.
        {
            QMessages::FileScope b(&messages, "/c/b.snd");
            messages.addError("b.snd(0): two", 0);
        }
        messages.addWarning("a.air(9): three"); // back under a.air, in the middle of the list
    }
    QCOMPARE(rows(), QString("outside any file|# a.air|a.air(3): one|a.air(9): three|# b.snd|b.snd(0): two"));
    QCOMPARE(m.messageRow(3), 3); // rows of the list, whose order is that of reading
    QCOMPARE(m.messageRow(5), 2);
    QCOMPARE(m.messageRow(1), -1);
    QCOMPARE(m.index(5, 0).data(QIssuesModel::ItemRole).toInt(), 0);
    QCOMPARE(m.index(5, 0).data(QIssuesModel::NumberRole).toInt(), 0);
    // Read again, a.air's lines are replaced; the others stay.
    {
        QMessages::FileScope a(&messages, "/c/a.air");
        messages.addError("a.air(4): four");
    }
    QCOMPARE(rows(), QString("outside any file|# b.snd|b.snd(0): two|# a.air|a.air(4): four"));
    // Read again without issues: its header goes too.
    {
        QMessages::FileScope b(&messages, "/c/b.snd");
    }
    QCOMPARE(rows(), QString("outside any file|# a.air|a.air(4): four"));
    // The describer names the item a line is about.
    m.describe = [](const QString& file, int item, int number) {
        return file.endsWith(".air") ? QString("Line %1 of action %2").arg(number).arg(item) : QString();
    };
    QCOMPARE(m.index(2, 0).data().toString(), QString("Line 4 of action -1: four"));
    QCOMPARE(m.index(2, 0).data(Qt::ToolTipRole).toString(), QString("a.air(4): four"));
    messages.clear();
    QCOMPARE(m.rowCount(), 0);
}

QTEST_MAIN(TestItemLists)
#include "tst_itemlists.moc"

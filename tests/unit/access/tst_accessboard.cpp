#include "access/accessboard.h"
#include "support/testsupport.h"

using Entry = AccessBoard::Entry;
using User = AccessBoard::User;
using Right = AccessBoard::Right;

class TestAccessBoard : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void headCells_data();
    void headCells();
    void shading();
    void keySets();

private:
    // Area "A" with entries 1..3, area "B" with entry 4; group "G" with users 10, 11, group "H"
    // with 12.
    static QVector<Entry> entries()
    {
        return {{1, QStringLiteral("Door 1"), QStringLiteral("A"), false},
                {2, QStringLiteral("Door 2"), QStringLiteral("A"), true},
                {3, QStringLiteral("Door 3"), QStringLiteral("A"), false},
                {4, QStringLiteral("Gate"), QStringLiteral("B"), false}};
    }
    static QVector<User> users()
    {
        return {{10, QStringLiteral("Adams"), QStringLiteral("Ann"), QStringLiteral("G")},
                {11, QStringLiteral("O'Brien"), QStringLiteral("Bo"), QStringLiteral("G")},
                {12, QStringLiteral("Zhou"), QStringLiteral("Li"), QStringLiteral("H")}};
    }
};

void TestAccessBoard::layout()
{
    AccessBoard board;
    board.build(entries(), users(), {});
    QCOMPARE(board.columnCount(), 1 + 2 + 4);
    QCOMPARE(board.rowCount(), 1 + 2 + 3);
    QVERIFY(board.column(1).isHead);
    QCOMPARE(board.column(1).name, QStringLiteral("A"));
    QCOMPARE(board.column(3).name, QStringLiteral("Door 2"));
    QVERIFY(board.column(3).needsUpdate);
    QCOMPARE(board.column(3).head, 1);
    QVERIFY(board.column(5).isHead);
    QCOMPARE(board.row(3).name, QStringLiteral("O'Brien, Bo"));
    QCOMPARE(board.rowOfUser(12), 5);
    QCOMPARE(board.columnOfEntry(4), 6);
    QCOMPARE(board.columnOfEntry(99), -1);

    AccessBoard empty;
    empty.build({}, {}, {});
    QVERIFY(!empty.hasEntries());
    QVERIFY(!empty.hasUsers());
    QCOMPARE(empty.textAt(1, 1), QString());
}

void TestAccessBoard::headCells_data()
{
    QTest::addColumn<QVector<int>>("models"); // user 10 at doors 1..3 (0 = none)
    QTest::addColumn<QString>("areaCell");
    QTest::newRow("S1 S1 S2") << QVector<int>{7, 7, 8} << "...";
    QTest::newRow("S1 everywhere") << QVector<int>{7, 7, 7} << "S1";
    QTest::newRow("no right at all") << QVector<int>{0, 0, 0} << "";
    QTest::newRow("S1 S1 none") << QVector<int>{7, 7, 0} << "...";
}

void TestAccessBoard::headCells()
{
    QFETCH(QVector<int>, models);
    QFETCH(QString, areaCell);
    QVector<Right> rights;
    for (int i = 0; i < models.size(); ++i) {
        if (models.at(i))
            rights.append({10, i + 1, models.at(i),
                           models.at(i) == 7 ? QStringLiteral("S1") : QStringLiteral("S2")});
    }
    AccessBoard board;
    board.build(entries(), users(), rights);
    QCOMPARE(board.textAt(2, 1), areaCell); // user 10 x area A
    // The group row over entry 1: user 10's tag against user 11's empty cell.
    QCOMPARE(board.textAt(1, 2), models.at(0) ? AccessBoard::Differs : QString());
    // The crossing of group G and area B: nobody has a right there.
    QCOMPARE(board.textAt(1, 5), QString());
}

void TestAccessBoard::shading()
{
    // Block G x A holds six cells: (10: 7,7,none) (11: 8,none,none) -> empty (0) wins.
    AccessBoard board;
    board.build(entries(), users(),
                {{10, 1, 7, QStringLiteral("S1")},
                 {10, 2, 7, QStringLiteral("S1")},
                 {11, 1, 8, QStringLiteral("S2")}});
    QVERIFY(board.isDeviating(2, 2));
    QVERIFY(board.isDeviating(2, 3));
    QVERIFY(!board.isDeviating(2, 4));
    QVERIFY(board.isDeviating(3, 2));
    QVERIFY(!board.isDeviating(3, 3));

    // Four cells S1, S1, S2, none: S1 wins, S2 and the empty one stand out.
    QVector<Entry> two = {{1, QStringLiteral("D1"), QStringLiteral("A"), false},
                          {2, QStringLiteral("D2"), QStringLiteral("A"), false}};
    board.build(two, users(),
                {{10, 1, 7, QStringLiteral("S1")},
                 {10, 2, 7, QStringLiteral("S1")},
                 {11, 1, 8, QStringLiteral("S2")}});
    QVERIFY(!board.isDeviating(2, 2));
    QVERIFY(!board.isDeviating(2, 3));
    QVERIFY(board.isDeviating(3, 2));
    QVERIFY(board.isDeviating(3, 3));

    // Two cells S1 and none: a tie, the smaller key (empty, 0) wins.
    QVector<Entry> one = {{1, QStringLiteral("D1"), QStringLiteral("A"), false}};
    board.build(one, users(), {{10, 1, 7, QStringLiteral("S1")}});
    QVERIFY(board.isDeviating(2, 2));
    QVERIFY(!board.isDeviating(3, 2));
    QVERIFY(!board.isDeviating(5, 2)); // group H alone: its own block
}

void TestAccessBoard::keySets()
{
    AccessBoard board;
    board.build(entries(), users(), {});
    QCOMPARE(board.usersOfRow(1), QSet<int>({10, 11}));
    QCOMPARE(board.usersOfRow(3), QSet<int>({11}));
    QCOMPARE(board.entriesOfColumn(1), QSet<int>({1, 2, 3}));
    QCOMPARE(board.entriesOfColumn(6), QSet<int>({4}));
    QCOMPARE(board.usersOfRow(0), QSet<int>());
    QCOMPARE(board.entriesOfColumn(42), QSet<int>());
}

KX_TEST_MAIN(TestAccessBoard)
#include "tst_accessboard.moc"

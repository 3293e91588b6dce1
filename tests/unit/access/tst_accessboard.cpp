#include "access/accessboard.h"
#include "db/accessrights.h"
#include "db/boardchange.h"
#include "db/projectdatabase.h"
#include "support/testsupport.h"

#include <QRandomGenerator>

#include <algorithm>

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
    void fromDatabase_data();
    void fromDatabase();
    void followsChanges_data();
    void followsChanges();

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

void TestAccessBoard::fromDatabase_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("users");
    QTest::addColumn<int>("groups");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("areas");
    QTest::addColumn<int>("models");
    QTest::addColumn<bool>("sparseKeys");
    QTest::newRow("small blocks, ties") << 1u << 12 << 5 << 9 << 4 << 2 << false;
    QTest::newRow("one group, one area") << 2u << 20 << 1 << 6 << 1 << 3 << false;
    QTest::newRow("many models") << 3u << 60 << 6 << 25 << 5 << 7 << false;
    QTest::newRow("keys far apart") << 4u << 50 << 4 << 20 << 3 << 4 << true;
    QTest::newRow("larger") << 5u << 150 << 9 << 40 << 7 << 3 << false;
}

// A project drawn from the seed: rights mostly of one model per block, a few
// of another or none, some of deleted users and entries, some of a time model
// that does not exist. The board read and built from it must show what the
// rules say, worked out here cell by cell the plain way.
void TestAccessBoard::fromDatabase()
{
    QFETCH(quint32, seed);
    QFETCH(int, users);
    QFETCH(int, groups);
    QFETCH(int, entries);
    QFETCH(int, areas);
    QFETCH(int, models);
    QFETCH(bool, sparseKeys);
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    QRandomGenerator random(seed);
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QVERIFY(db.transaction());
        QSqlQuery q = db.query();
        auto exec = [&](const QString &sql, const QVariantList &values) {
            const bool ok = ProjectDatabase::exec(q, sql, values);
            if (!ok)
                qWarning() << q.lastError().text();
            return ok;
        };
        QVector<int> modelKeys, userKeys, userGroups, entryKeys, entryAreas;
        for (int m = 0; m < models; ++m) {
            modelKeys << (sparseKeys ? 7 + m * 100003 : m + 101);
            QVERIFY(exec(QStringLiteral("insert into times (PKtimes,modelTag,modelName,"
                                        "modelDefinition) values (?,?,?,?)"),
                         {modelKeys.last(), QStringLiteral("T%1").arg(m),
                          QStringLiteral("Model %1").arg(m), QStringLiteral("mon-06:00-18:00")}));
        }
        for (int u = 0; u < users; ++u) {
            userKeys << (sparseKeys ? 50 + u * 7919 : u + 1);
            userGroups << int(random.bounded(groups));
            QVERIFY(exec(QStringLiteral("insert into users (PKusers,familyName,firstName,"
                                        "groupName) values (?,?,?,?)"),
                         {userKeys.last(), QStringLiteral("F%1").arg(random.bounded(1000)),
                          QStringLiteral("N%1").arg(u),
                          QStringLiteral("Group %1").arg(userGroups.last())}));
        }
        for (int e = 0; e < entries; ++e) {
            entryKeys << (sparseKeys ? 3 + e * 104729 : e + 1);
            entryAreas << int(random.bounded(areas));
            QVERIFY(
                exec(QStringLiteral("insert into doors (PKdoors,doorName,areaName,"
                                    "needsUpdate) values (?,?,?,?)"),
                     {entryKeys.last(), QStringLiteral("Door %1").arg(e),
                      QStringLiteral("Area %1").arg(entryAreas.last()), int(random.bounded(2))}));
        }
        for (int u = 0; u < users; ++u) {
            for (int e = 0; e < entries; ++e) {
                const int draw = int(random.bounded(100));
                // The server refuses a right on no time model.
                if (draw < 20 || (TestSupport::onServer() && draw >= 97))
                    continue;
                const int favourite = (userGroups.at(u) * 3 + entryAreas.at(e)) % models;
                const int model = draw < 80   ? modelKeys.at(favourite)
                                  : draw < 97 ? modelKeys.at(int(random.bounded(models)))
                                              : 999999937; // no such time model
                QVERIFY(exec(
                    QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,?)"),
                    {userKeys.at(u), entryKeys.at(e), model}));
            }
        }
        // Their rights stay behind without a user or an entry to show them on
        // (where nothing enforces the keys; the server removes them first).
        if (TestSupport::onServer())
            QVERIFY(exec(QStringLiteral("delete from access where FKusers=? or FKdoors=?"),
                         {userKeys.at(1), entryKeys.at(2)}));
        QVERIFY(exec(QStringLiteral("delete from users where PKusers=?"), {userKeys.at(1)}));
        QVERIFY(exec(QStringLiteral("delete from doors where PKdoors=?"), {entryKeys.at(2)}));
        QVERIFY(db.commit());
    }

    AccessBoard board;
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        const QSqlError error = board.read(db);
        QVERIFY2(!error.isValid(), qPrintable(error.text()));
    }
    board.complete();

    // The rights as the plain query reads them, and as the board's reader
    // hands them over.
    QList<AccessRow> rows;
    QVERIFY(!AccessRights::listAccess(project.databasePath(), rows).isValid());
    QHash<QPair<int, int>, int> model;
    QHash<int, QString> tags;
    QStringList expected;
    for (const AccessRow &row : qAsConst(rows)) {
        model.insert({row.pkUsers, row.pkDoors}, row.pkTimes);
        tags.insert(row.pkTimes, row.modelTag);
        expected << QStringLiteral("%1:%2=%3").arg(row.pkUsers).arg(row.pkDoors).arg(row.pkTimes);
    }
    QStringList taken;
    QHash<int, QString> takenTags;
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QVERIFY(
            !AccessRights::listBoardRights(
                 db.database(),
                 [&](const BoardRight &r) {
                     taken
                         << QStringLiteral("%1:%2=%3").arg(r.pkUsers).arg(r.pkDoors).arg(r.pkTimes);
                 },
                 takenTags)
                 .isValid());
    }
    expected.sort();
    taken.sort();
    QCOMPARE(taken, expected);
    QCOMPARE(takenTags, tags);
    int entriesShown = 0;
    for (int c = 1; c < board.columnCount(); ++c)
        entriesShown += board.column(c).isHead ? 0 : 1;
    QCOMPARE(entriesShown, entries - 1);

    auto keyAt = [&](int r, int c) {
        return model.value({board.row(r).key, board.column(c).key}, 0);
    };
    for (int r = 1; r < board.rowCount(); ++r) {
        for (int c = 1; c < board.columnCount(); ++c) {
            const QVector<int> memberRows = board.memberRows(r);
            const QVector<int> memberColumns = board.memberColumns(c);
            const bool member = !board.row(r).isHead && !board.column(c).isHead;
            QString text;
            bool first = true;
            int common = 0;
            for (int mr : memberRows) {
                for (int mc : memberColumns) {
                    const int key = keyAt(mr, mc);
                    if (first)
                        common = key;
                    else if (key != common)
                        text = AccessBoard::Differs;
                    first = false;
                }
            }
            if (text.isEmpty() && common)
                text = tags.value(common);
            QVERIFY2(board.textAt(r, c) == text,
                     qPrintable(QStringLiteral("cell %1,%2").arg(r).arg(c)));
            QCOMPARE(board.timeModelAt(r, c), member ? keyAt(r, c) : 0);
            bool deviating = false;
            if (member) {
                // The block's most frequent key wins, the smallest on a tie.
                QMap<int, int> counts;
                for (int br : board.memberRows(board.row(r).head)) {
                    for (int bc : board.memberColumns(board.column(c).head))
                        ++counts[keyAt(br, bc)];
                }
                int winner = counts.firstKey();
                for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
                    if (it.value() > counts.value(winner))
                        winner = it.key();
                }
                deviating = keyAt(r, c) != winner;
            }
            QVERIFY2(board.isDeviating(r, c) == deviating,
                     qPrintable(QStringLiteral("cell %1,%2").arg(r).arg(c)));
        }
    }
}

KX_TEST_MAIN(TestAccessBoard)
#include "tst_accessboard.moc"

void TestAccessBoard::followsChanges_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("users");
    QTest::addColumn<int>("groups");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("areas");
    QTest::newRow("small") << 11u << 8 << 3 << 6 << 2;
    QTest::newRow("one group, one area") << 12u << 10 << 1 << 5 << 1;
    QTest::newRow("many groups and areas") << 13u << 40 << 7 << 18 << 5;
    QTest::newRow("larger") << 14u << 90 << 9 << 30 << 6;
}

// A board that follows changes, undos and redos of random blocks in memory
// must show what a board built afresh from the same rights shows, and name
// every cell that changed.
void TestAccessBoard::followsChanges()
{
    QFETCH(quint32, seed);
    QFETCH(int, users);
    QFETCH(int, groups);
    QFETCH(int, entries);
    QFETCH(int, areas);
    QRandomGenerator random(seed);
    // Models 7 and 8 are on the board from the start, 9 comes with a change.
    const QHash<int, QString> tags = {
        {7, QStringLiteral("S1")}, {8, QStringLiteral("S2")}, {9, QStringLiteral("S3")}};
    QVector<Entry> entryList;
    for (int e = 0; e < entries; ++e)
        entryList.append({100 + e, QStringLiteral("Door %1").arg(e),
                          QStringLiteral("Area %1").arg(e % areas), random.bounded(4) == 0});
    QVector<User> userList;
    for (int u = 0; u < users; ++u)
        userList.append({1 + u, QStringLiteral("F%1").arg(u, 3, 10, QLatin1Char('0')),
                         QStringLiteral("N"), QStringLiteral("Group %1").arg(u % groups)});
    std::sort(entryList.begin(), entryList.end(),
              [](const Entry &a, const Entry &b) { return a.areaName < b.areaName; });
    std::sort(userList.begin(), userList.end(),
              [](const User &a, const User &b) { return a.groupName < b.groupName; });
    BoardRights rights; // the truth: pair -> model
    for (const User &u : qAsConst(userList)) {
        for (const Entry &e : qAsConst(entryList)) {
            const int draw = int(random.bounded(10));
            if (draw < 7)
                rights.insert(BoardChange::pairKey(u.pkUsers, e.pkDoors), 7);
            else if (draw < 9)
                rights.insert(BoardChange::pairKey(u.pkUsers, e.pkDoors), 8);
        }
    }
    auto fresh = [&]() {
        QVector<Right> list;
        for (auto it = rights.cbegin(); it != rights.cend(); ++it)
            list.append({it.key().user, it.key().entry, it.value(), tags.value(it.value())});
        AccessBoard board;
        board.build(entryList, userList, list);
        return board;
    };
    AccessBoard board = fresh();

    struct Step
    {
        QSet<int> users;
        QSet<int> entries;
        int model = 0;
        BoardRights before;
    };
    QVector<Step> done;
    QVector<Step> undone;
    for (int round = 0; round < 40; ++round) {
        const AccessBoard was = board;
        QVector<int> changed;
        QString what;
        const int kind = int(random.bounded(10));
        // The truth after setting the step's model (the pairs of user 999 do not exist).
        auto setRights = [&](const Step &step) {
            for (int u : qAsConst(step.users)) {
                for (int e : qAsConst(step.entries)) {
                    if (u != 999 && step.model)
                        rights.insert(BoardChange::pairKey(u, e), step.model);
                    else
                        rights.remove(BoardChange::pairKey(u, e));
                }
            }
        };
        if (kind < 6 || done.isEmpty()) {
            // A new change: a cell, a row or group against an entry or area, or everything.
            Step step;
            const bool all = random.bounded(8) == 0;
            step.users = board.usersOfRow(all ? 0 : 1 + int(random.bounded(board.rowCount() - 1)));
            step.entries =
                board.entriesOfColumn(all ? 0 : 1 + int(random.bounded(board.columnCount() - 1)));
            for (int i = 1; all && i < board.rowCount(); ++i)
                step.users += board.usersOfRow(i);
            for (int i = 1; all && i < board.columnCount(); ++i)
                step.entries += board.entriesOfColumn(i);
            step.users.insert(999); // not on the board
            step.model = QVector<int>{0, 7, 8, 9}.at(int(random.bounded(4)));
            for (int u : qAsConst(step.users)) {
                for (int e : qAsConst(step.entries)) {
                    if (rights.contains(BoardChange::pairKey(u, e)))
                        step.before.insert(BoardChange::pairKey(u, e),
                                           rights.value(BoardChange::pairKey(u, e)));
                }
            }
            setRights(step);
            QVERIFY(board.setBlock(step.users, step.entries, step.model, tags, &changed));
            what = QStringLiteral("change to %1").arg(step.model);
            done.append(step);
            undone.clear();
        } else if (kind < 9 || undone.isEmpty()) {
            const Step step = done.takeLast();
            Step removal = step;
            removal.model = 0;
            setRights(removal);
            for (auto it = step.before.cbegin(); it != step.before.cend(); ++it)
                rights.insert(it.key(), it.value());
            QVERIFY(board.setBlock(step.users, step.entries, step.before, tags, &changed));
            what = QStringLiteral("undo");
            undone.append(step);
        } else {
            const Step step = undone.takeLast();
            setRights(step);
            QVERIFY(board.setBlock(step.users, step.entries, step.model, tags, &changed));
            what = QStringLiteral("redo");
            done.append(step);
        }
        QSet<int> pending;
        for (int i = 0; i < 2; ++i) {
            const int e = int(random.bounded(entries));
            pending.insert(100 + e);
            for (Entry &entry : entryList) {
                if (entry.pkDoors == 100 + e)
                    entry.needsUpdate = true;
            }
        }
        board.markPending(pending);

        const AccessBoard expected = fresh();
        QCOMPARE(board.rowCount(), expected.rowCount());
        QCOMPARE(board.columnCount(), expected.columnCount());
        for (int r = 0; r < board.rowCount(); ++r) {
            for (int c = 0; c < board.columnCount(); ++c) {
                const QString where =
                    QStringLiteral("round %1 (%2), cell %3,%4").arg(round).arg(what).arg(r).arg(c);
                QVERIFY2(board.timeModelAt(r, c) == expected.timeModelAt(r, c), qPrintable(where));
                QVERIFY2(board.textAt(r, c) == expected.textAt(r, c), qPrintable(where));
                QVERIFY2(board.isDeviating(r, c) == expected.isDeviating(r, c), qPrintable(where));
                const bool differs = board.textAt(r, c) != was.textAt(r, c) ||
                                     board.timeModelAt(r, c) != was.timeModelAt(r, c) ||
                                     board.isDeviating(r, c) != was.isDeviating(r, c);
                if (differs)
                    QVERIFY2(changed.contains(r * board.columnCount() + c), qPrintable(where));
            }
        }
        QVERIFY(std::is_sorted(changed.cbegin(), changed.cend()));
        for (int c = 1; c < board.columnCount(); ++c)
            QCOMPARE(board.column(c).needsUpdate, expected.column(c).needsUpdate);
    }

    // A model the board does not know and no tag names: nothing changes.
    const AccessBoard was = board;
    QVERIFY(!board.setBlock(board.usersOfRow(1), board.entriesOfColumn(1), 42, tags));
    for (int r = 1; r < board.rowCount(); ++r) {
        for (int c = 1; c < board.columnCount(); ++c)
            QCOMPARE(board.textAt(r, c), was.textAt(r, c));
    }
}

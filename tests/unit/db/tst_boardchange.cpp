#include "db/accessrights.h"
#include "db/boardchange.h"
#include "db/boardrename.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "dbtesthelpers.h"
#include "support/testsupport.h"

#include <QMap>

namespace {

// Every right as "user:entry" -> model, and the marked entries.
QMap<QString, int> rights(const QString &path)
{
    QMap<QString, int> all;
    ProjectDatabase db(path);
    if (!db.open())
        return all;
    QSqlQuery q = db.query();
    q.exec(QStringLiteral("select FKusers,FKdoors,FKtimes from access"));
    while (q.next())
        all.insert(QStringLiteral("%1:%2").arg(q.value(0).toInt()).arg(q.value(1).toInt()),
                   q.value(2).toInt());
    return all;
}

QSet<int> marked(const QString &path)
{
    QSet<int> keys;
    ProjectDatabase db(path);
    if (!db.open())
        return keys;
    QSqlQuery q = db.query();
    q.exec(QStringLiteral("select PKdoors from doors where needsUpdate=1"));
    while (q.next())
        keys.insert(q.value(0).toInt());
    return keys;
}

// Three users against four entries, one entry outside the block, and the
// time models "***" (1) and "TWO".
struct Block
{
    TestSupport::TempProject project;
    QString path;
    QList<int> users;
    QList<int> entries;
    int outside = 0;
    int two = 0;

    Block()
    {
        path = project.databasePath();
        for (int i = 0; i < 3; ++i) {
            UserRow u;
            u.familyName = QStringLiteral("Crew%1").arg(i);
            u.groupName = QStringLiteral("Crew");
            int key = 0;
            UserRecords::addUser(path, u, &key);
            users << key;
        }
        for (int i = 0; i < 5; ++i) {
            EntryRow e;
            e.areaName = QStringLiteral("Hall");
            e.doorName = QString::number(i);
            int key = 0;
            EntryRecords::addEntry(path, e, &key);
            entries << key;
        }
        outside = entries.takeLast();
        TimeModelRow model;
        model.modelTag = QStringLiteral("TWO");
        model.modelName = QStringLiteral("Two");
        model.modelDefinition = QStringLiteral("mon-08:00-12:00");
        TimeModelRecords::addTimeModel(path, model, &two);
    }
    // "***" for user 0 at entries 0 and 1, "TWO" for user 1 at entry 0 and,
    // with outside, for user 2 at the entry outside the block.
    bool giveSample(bool outsideToo) const
    {
        return give(users[0], entries[0], 1) && give(users[0], entries[1], 1) &&
               give(users[1], entries[0], two) && (!outsideToo || give(users[2], outside, two));
    }
    QSet<int> userSet() const { return QSet<int>(users.cbegin(), users.cend()); }
    QSet<int> entrySet() const { return QSet<int>(entries.cbegin(), entries.cend()); }
    bool give(int user, int entry, int model) const
    {
        return run(path, QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) "
                                        "values (%1,%2,%3)")
                             .arg(user)
                             .arg(entry)
                             .arg(model));
    }
};

} // namespace

class TestBoardChange : public QObject
{
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void undoAndRedoRestoreExactly();
    void undoLeavesRemovedUsersAlone();
    void undoDropsRightsOnGoneModels();
    void redoRestoresExactly_data();
    void redoRestoresExactly();
    void undoAfterTheBlockMovedOn_data();
    void undoAfterTheBlockMovedOn();
    void undoOfRightsWithRandomKeys();
    void stepRefusedForRowsNoLongerItsOwn_data();
    void stepRefusedForRowsNoLongerItsOwn();
    void renameUndoPartsWhatItJoined_data();
    void renameUndoPartsWhatItJoined();
};

void TestBoardChange::counts_data()
{
    QTest::addColumn<int>("model"); // 0 removes, 1 "***", 2 "TWO"
    QTest::addColumn<int>("rights");
    QTest::addColumn<int>("users");
    QTest::addColumn<int>("entries");
    // The block holds "***" for user 0 at entries 0 and 1 and "TWO" for user 1 at entry 0.
    QTest::newRow("set on the whole block") << 2 << 11 << 3 << 4;
    QTest::newRow("set where some hold it") << 1 << 10 << 3 << 4;
    QTest::newRow("remove the three rights") << 0 << 3 << 2 << 2;
}

void TestBoardChange::counts()
{
    QFETCH(int, model);
    QFETCH(int, rights);
    QFETCH(int, users);
    QFETCH(int, entries);
    Block b;
    QVERIFY(b.giveSample(false));
    BoardChange change;
    QVERIFY(
        !BoardChange::prepare(b.path, b.userSet(), b.entrySet(), model == 2 ? b.two : model, change)
             .isValid());
    QCOMPARE(change.rightCount(), rights);
    QCOMPARE(change.userCount(), users);
    QCOMPARE(change.entryCount(), entries);
    // Preparing writes nothing.
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 3);
    QVERIFY(marked(b.path).isEmpty());
}

void TestBoardChange::undoAndRedoRestoreExactly()
{
    Block b;
    QVERIFY(b.give(b.users[0], b.entries[0], 1));
    QVERIFY(b.give(b.users[1], b.entries[2], b.two));
    QVERIFY(b.give(b.users[2], b.outside, b.two));
    QVERIFY(
        run(b.path,
            QStringLiteral("update doors set needsUpdate=1 where PKdoors=%1").arg(b.entries[3])));
    const QMap<QString, int> before = rights(b.path);

    BoardChange change;
    QVERIFY(!BoardChange::prepare(b.path, b.userSet(), b.entrySet(), 0, change).isValid());
    QSet<int> changed;
    QVERIFY(!change.apply(b.path, &changed).isValid());
    QCOMPARE(changed, QSet<int>({b.entries[0], b.entries[2]}));
    QCOMPARE(rights(b.path).size(), 1);

    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    QVERIFY(!change.revert(b.path, &changed).isValid());
    QCOMPARE(rights(b.path), before);
    // Marked: the entries whose rights came back, nothing else.
    QCOMPARE(changed, QSet<int>({b.entries[0], b.entries[2]}));
    QCOMPARE(marked(b.path), changed);

    QVERIFY(!change.apply(b.path, &changed).isValid());
    QCOMPARE(rights(b.path).size(), 1);
    // A second undo of the same change gives the same rights again.
    QVERIFY(!change.revert(b.path).isValid());
    QCOMPARE(rights(b.path), before);
}

void TestBoardChange::undoLeavesRemovedUsersAlone()
{
    Block b;
    QVERIFY(b.give(b.users[0], b.entries[0], 1));
    BoardChange change;
    QVERIFY(!BoardChange::prepare(b.path, b.userSet(), b.entrySet(), 0, change).isValid());
    QVERIFY(!change.apply(b.path).isValid());
    QVERIFY(run(b.path, QStringLiteral("delete from users where PKusers=%1").arg(b.users[0])));
    QSet<int> changed;
    QVERIFY(!change.revert(b.path, &changed).isValid());
    // No right may point at a user that is gone.
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 0);
    QVERIFY(changed.isEmpty());
}

void TestBoardChange::undoDropsRightsOnGoneModels()
{
    Block b;
    QVERIFY(b.give(b.users[0], b.entries[0], b.two));
    QVERIFY(b.give(b.users[1], b.entries[1], b.two));
    QVERIFY(b.give(b.users[2], b.entries[1], 1));
    BoardChange change;
    QVERIFY(!BoardChange::prepare(b.path, b.userSet(), b.entrySet(), 1, change).isValid());
    QVERIFY(!change.apply(b.path).isValid());
    QVERIFY(run(b.path, QStringLiteral("delete from times where PKtimes=%1").arg(b.two)));
    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    QSet<int> changed;
    QVERIFY(!change.revert(b.path, &changed).isValid());
    // The right on the model that is gone is not put back, the one on "***" stays.
    QCOMPARE(rights(b.path),
             (QMap<QString, int>{{QStringLiteral("%1:%2").arg(b.users[2]).arg(b.entries[1]), 1}}));
    QCOMPARE(changed, b.entrySet());
    QCOMPARE(marked(b.path), changed);
}

void TestBoardChange::redoRestoresExactly_data()
{
    QTest::addColumn<int>("model"); // 0 removes, 1 "***", 2 "TWO"
    QTest::addColumn<int>("marks"); // entries marked by the change
    // The block holds "***" for user 0 at entries 0 and 1, "TWO" for user 1
    // at entry 0; every entry lacks some user's "***" or "TWO".
    QTest::newRow("set a model some hold") << 1 << 4;
    QTest::newRow("set another model") << 2 << 4;
    QTest::newRow("remove") << 0 << 2;
}

void TestBoardChange::redoRestoresExactly()
{
    QFETCH(int, model);
    QFETCH(int, marks);
    Block b;
    QVERIFY(b.giveSample(true));
    const QMap<QString, int> before = rights(b.path);
    BoardChange change;
    QVERIFY(
        !BoardChange::prepare(b.path, b.userSet(), b.entrySet(), model == 2 ? b.two : model, change)
             .isValid());
    QSet<int> changed;
    QVERIFY(!change.apply(b.path, &changed).isValid());
    const QMap<QString, int> after = rights(b.path);
    QCOMPARE(changed.size(), marks);
    QCOMPARE(marked(b.path), changed);
    // Every pair of the block holds the model (or nothing); outside all stays.
    QCOMPARE(after.size(), model == 0 ? 1 : 13);
    QCOMPARE(after.value(QStringLiteral("%1:%2").arg(b.users[2]).arg(b.outside)), b.two);
    QCOMPARE(change.rightCount(), model == 0 ? 3 : model == 1 ? 10 : 11);

    QVERIFY(!change.revert(b.path).isValid());
    QCOMPARE(rights(b.path), before);
    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    QVERIFY(!change.apply(b.path, &changed).isValid());
    QCOMPARE(rights(b.path), after);
    QCOMPARE(changed.size(), marks);
    QCOMPARE(marked(b.path), changed);
    // Applied once more, nothing changes and nothing is marked.
    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    QVERIFY(!change.apply(b.path, &changed).isValid());
    QVERIFY(changed.isEmpty());
    QVERIFY(marked(b.path).isEmpty());
    QCOMPARE(rights(b.path), after);
}

void TestBoardChange::undoAfterTheBlockMovedOn_data()
{
    QTest::addColumn<int>("model"); // 0 removes, 1 "***", 2 "TWO"
    // Statements run between the change and its undo; U0.. are the block's
    // users, E0.. its entries, OUT the entry outside it, TWO the model.
    QTest::addColumn<QString>("meanwhile");
    // The block holds "***" for user 0 at entries 0 and 1, "TWO" for user 1
    // at entry 0.
    QTest::newRow("set, nothing") << 2 << QString();
    QTest::newRow("remove, nothing") << 0 << QString();
    QTest::newRow("set, a right it left alone changed")
        << 1 << QStringLiteral("update access set FKtimes=TWO where FKusers=U0 and FKdoors=E0");
    QTest::newRow("set, a right it added removed")
        << 2 << QStringLiteral("delete from access where FKusers=U2 and FKdoors=E3");
    QTest::newRow("set, a right given a new key")
        << 2
        << QStringLiteral("delete from access where FKusers=U1 and FKdoors=E0;"
                          "insert into access (FKusers,FKdoors,FKtimes) values (U1,E0,1)");
    QTest::newRow("set, a right it changed removed")
        << 2 << QStringLiteral("delete from access where FKusers=U0 and FKdoors=E0");
    QTest::newRow("set, a right it added given a new key")
        << 2
        << QStringLiteral("delete from access where FKusers=U2 and FKdoors=E0;"
                          "insert into access (FKusers,FKdoors,FKtimes) values (U2,E0,1)");
    QTest::newRow("set, the key of a right it changed now another pair's")
        << 2 << QStringLiteral("update access set FKdoors=OUT where FKusers=U0 and FKdoors=E1");
    QTest::newRow("set, a user removed")
        << 1
        << QStringLiteral("delete from access where FKusers=U1;delete from users where PKusers=U1");
    QTest::newRow("set, an entry removed")
        << 2
        << QStringLiteral("delete from access where FKdoors=E0;delete from doors where PKdoors=E0");
    QTest::newRow("remove, a right set meanwhile")
        << 0 << QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (U0,E0,TWO)");
    QTest::newRow("remove, a key taken meanwhile")
        << 0
        << QStringLiteral("insert into access (PKaccess,FKusers,FKdoors,FKtimes) select "
                          "min(PKaccess)-1,U2,E3,TWO from access");
    QTest::newRow("remove, the model removed")
        << 0
        << QStringLiteral(
               "delete from access where FKtimes=TWO;delete from times where PKtimes=TWO");
}

void TestBoardChange::undoAfterTheBlockMovedOn()
{
    QFETCH(int, model);
    QFETCH(QString, meanwhile);
    Block b;
    QVERIFY(b.giveSample(true));
    const QMap<QString, int> before = rights(b.path);
    auto keys = [&] {
        return scalar(b.path, QStringLiteral("select total(PKaccess*FKusers+FKdoors) from access"));
    };
    const int keysBefore = keys();
    BoardChange change;
    QVERIFY(
        !BoardChange::prepare(b.path, b.userSet(), b.entrySet(), model == 2 ? b.two : model, change)
             .isValid());
    QVERIFY(!change.apply(b.path).isValid());
    for (int i = 0; i < 3; ++i)
        meanwhile.replace(QStringLiteral("U%1").arg(i), QString::number(b.users[i]));
    for (int i = 0; i < 4; ++i)
        meanwhile.replace(QStringLiteral("E%1").arg(i), QString::number(b.entries[i]));
    meanwhile.replace(QStringLiteral("TWO"), QString::number(b.two));
    meanwhile.replace(QStringLiteral("OUT"), QString::number(b.outside));
    for (const QString &statement : meanwhile.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        QVERIFY2(run(b.path, statement), qPrintable(statement));
    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    const QMap<QString, int> moved = rights(b.path);

    QSet<int> changed;
    BoardRights restored;
    QVERIFY(!change.revert(b.path, &changed, &restored).isValid());
    // Rows changed meanwhile make the undo compare the whole block (and say
    // so); a model gone only leaves its rights out of an undo by row keys.
    QCOMPARE(change.lastUndoCompared(),
             !meanwhile.isEmpty() && !meanwhile.contains(QStringLiteral("from times")));
    // The block as it was, where user, entry and model are still there;
    // outside the block what happened meanwhile stays.
    QMap<QString, int> expected = moved;
    QSet<int> differing;
    for (int user : b.users) {
        for (int entry : b.entries) {
            const QString pair = QStringLiteral("%1:%2").arg(user).arg(entry);
            const bool there =
                scalar(b.path, QStringLiteral("select count(*) from users,doors,times where "
                                              "PKusers=%1 and PKdoors=%2 and PKtimes=%3")
                                   .arg(user)
                                   .arg(entry)
                                   .arg(before.value(pair))) == 1;
            if (there)
                expected.insert(pair, before.value(pair));
            else
                expected.remove(pair);
            if (expected.value(pair, -1) != moved.value(pair, -1))
                differing.insert(entry);
            if (there)
                QCOMPARE(restored.value(BoardChange::pairKey(user, entry)), before.value(pair));
        }
    }
    QCOMPARE(rights(b.path), expected);
    QCOMPARE(changed, differing);
    QCOMPARE(marked(b.path), changed);
    // Undone without interference, the rights keep their row keys.
    if (meanwhile.isEmpty())
        QCOMPARE(keys(), keysBefore);
}

void TestBoardChange::undoOfRightsWithRandomKeys()
{
    Block b;
    QVERIFY(b.giveSample(true));
    // With the greatest key taken, SQLite hands out keys at random: the rights
    // a change adds can no longer be told by their keys.
    QVERIFY(run(b.path, QStringLiteral("insert into access (PKaccess,FKusers,FKdoors,FKtimes) "
                                       "values (9223372036854775807,%1,%2,1)")
                            .arg(b.users[1])
                            .arg(b.outside)));
    const QMap<QString, int> before = rights(b.path);
    BoardChange change;
    QVERIFY(!BoardChange::prepare(b.path, b.userSet(), b.entrySet(), b.two, change).isValid());
    QVERIFY(!change.apply(b.path).isValid());
    QCOMPARE(rights(b.path).size(), before.size() + 9);
    QVERIFY(!change.revert(b.path).isValid());
    QCOMPARE(rights(b.path), before);
}

void TestBoardChange::stepRefusedForRowsNoLongerItsOwn_data()
{
    QTest::addColumn<bool>("redo");
    QTest::addColumn<QString>("meanwhile"); // as in undoAfterTheBlockMovedOn
    QTest::addColumn<QString>("named");
    QTest::newRow("undo, a user's identifier changed")
        << false << QStringLiteral("update users set iddIso14443='04ff-04' where PKusers=U0")
        << QStringLiteral("The user \"Crew0, \"");
    QTest::newRow("undo, an entry made under the key of one removed")
        << false
        << QStringLiteral("delete from access where FKdoors=E1;delete from doors where "
                          "PKdoors=E1;insert into doors (PKdoors,doorName,areaName) values "
                          "(E1,'New','Hall')")
        << QStringLiteral("The entry \"1\"");
    QTest::newRow("redo, the model's periods changed")
        << true << QStringLiteral("update times set modelDefinition='sun-01:00-02:00'")
        << QStringLiteral("The time model \"TWO\"");
}

void TestBoardChange::stepRefusedForRowsNoLongerItsOwn()
{
    QFETCH(bool, redo);
    QFETCH(QString, meanwhile);
    QFETCH(QString, named);
    Block b;
    QVERIFY(b.giveSample(true));
    BoardChange change;
    QVERIFY(!BoardChange::prepare(b.path, b.userSet(), b.entrySet(), b.two, change).isValid());
    QVERIFY(!change.apply(b.path).isValid());
    if (redo)
        QVERIFY(!change.revert(b.path).isValid());
    meanwhile.replace(QStringLiteral("U0"), QString::number(b.users[0]));
    meanwhile.replace(QStringLiteral("E1"), QString::number(b.entries[1]));
    for (const QString &statement : meanwhile.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        QVERIFY2(run(b.path, statement), qPrintable(statement));
    QVERIFY(run(b.path, QStringLiteral("update doors set needsUpdate=0")));
    const QMap<QString, int> moved = rights(b.path);

    bool stale = false;
    const QSqlError error = redo ? change.apply(b.path, nullptr, &stale)
                                 : change.revert(b.path, nullptr, nullptr, &stale);
    QVERIFY(stale);
    QVERIFY2(error.text().startsWith(named), qPrintable(error.text()));
    QCOMPARE(rights(b.path), moved);
    QVERIFY(marked(b.path).isEmpty());
}

void TestBoardChange::renameUndoPartsWhatItJoined_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("user group") << int(BoardRename::Group);
    QTest::newRow("area") << int(BoardRename::Area);
}

void TestBoardChange::renameUndoPartsWhatItJoined()
{
    QFETCH(int, kind);
    const bool group = kind == BoardRename::Group;
    Block b; // users in "Crew", entries in "Hall"
    // One more of each under the name the rename joins them to.
    UserRow u;
    u.familyName = QStringLiteral("Other");
    u.groupName = QStringLiteral("Yard");
    int otherUser = 0;
    QVERIFY(!UserRecords::addUser(b.path, u, &otherUser).isValid());
    EntryRow e;
    e.areaName = QStringLiteral("Yard");
    e.doorName = QStringLiteral("Gate");
    int otherEntry = 0;
    QVERIFY(!EntryRecords::addEntry(b.path, e, &otherEntry).isValid());
    const QString table = group ? QStringLiteral("users") : QStringLiteral("doors");
    const QString column = group ? QStringLiteral("groupName") : QStringLiteral("areaName");
    const QString key = group ? QStringLiteral("PKusers") : QStringLiteral("PKdoors");
    auto names = [&] {
        QStringList all;
        ProjectDatabase db(b.path);
        if (!db.open())
            return all;
        QSqlQuery q = db.query();
        q.exec(QStringLiteral("select %1,%2 from %3 order by 1").arg(key, column, table));
        while (q.next())
            all << q.value(0).toString() + QLatin1Char('=') + q.value(1).toString();
        return all;
    };
    const QStringList before = names();
    const QString oldName = group ? QStringLiteral("Crew") : QStringLiteral("Hall");

    BoardRename rename;
    QVERIFY(!BoardRename::rename(b.path, BoardRename::Kind(kind), oldName, QStringLiteral("Yard"),
                                 rename)
                 .isValid());
    QCOMPARE(rename.count(), group ? 3 : 5);
    const QStringList joined = names();
    QCOMPARE(joined.filter(QStringLiteral("=Yard")).size(), group ? 4 : 6);
    QVERIFY(!rename.revert(b.path).isValid());
    QCOMPARE(names(), before);
    QVERIFY(!rename.apply(b.path).isValid());
    QCOMPARE(names(), joined);

    // One of the renamed is removed meanwhile and another made under its key:
    // the undo leaves both out.
    const int gone = group ? b.users[1] : b.entries[1];
    QVERIFY(run(b.path, QStringLiteral("delete from %1 where %2=%3").arg(table, key).arg(gone)));
    const QString made = group ? QStringLiteral("insert into users (PKusers,familyName,"
                                                "firstName,groupName) values (%1,'New','','Yard')")
                               : QStringLiteral("insert into doors (PKdoors,doorName,areaName) "
                                                "values (%1,'New','Yard')");
    QVERIFY(run(b.path, made.arg(gone)));
    QVERIFY(!rename.revert(b.path).isValid());
    QStringList expected = before;
    expected.replace(expected.indexOf(QStringLiteral("%1=%2").arg(gone).arg(oldName)),
                     QStringLiteral("%1=Yard").arg(gone));
    QCOMPARE(names(), expected);
    // Nothing of the rename reaches the rights or the marks.
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 0);
    QVERIFY(marked(b.path).isEmpty());
}

KX_TEST_MAIN(TestBoardChange)
#include "tst_boardchange.moc"

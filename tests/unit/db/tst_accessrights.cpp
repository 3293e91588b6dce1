#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "dbtesthelpers.h"
#include "support/testsupport.h"

#include <QThread>

#include <algorithm>
#include <memory>

namespace {

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

bool clearMarks(const QString &path)
{
    return run(path, QStringLiteral("update doors set needsUpdate=0"));
}

// A group "Crew" of three users and an area "Hall" of four entries, plus one
// user and one entry outside them, and a second time model "TWO".
struct Block
{
    TestSupport::TempProject project;
    QString path;
    QSet<int> users;
    QSet<int> entries;
    int outsideUser = 0;
    int outsideEntry = 0;
    int always = 1;
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
            users.insert(key);
        }
        UserRow other;
        other.familyName = QStringLiteral("Visitor");
        other.groupName = QStringLiteral("Guests");
        UserRecords::addUser(path, other, &outsideUser);
        for (int i = 0; i < 4; ++i) {
            EntryRow e;
            e.areaName = QStringLiteral("Hall");
            e.doorName = QString::number(i);
            int key = 0;
            EntryRecords::addEntry(path, e, &key);
            entries.insert(key);
        }
        EntryRow yard;
        yard.areaName = QStringLiteral("Yard");
        yard.doorName = QStringLiteral("Gate");
        EntryRecords::addEntry(path, yard, &outsideEntry);
        TimeModelRow model;
        model.modelTag = QStringLiteral("TWO");
        model.modelName = QStringLiteral("Two");
        model.modelDefinition = QStringLiteral("mon-08:00-12:00");
        TimeModelRecords::addTimeModel(path, model, &two);
    }
    int first(const QSet<int> &keys) const { return *std::min_element(keys.cbegin(), keys.cend()); }
};

// Some connection to the project's server database waits for a lock.
bool waitingForLock(const QString &path)
{
    return scalar(path, QStringLiteral("select count(*) from pg_stat_activity where "
                                       "datname=current_database() and wait_event_type='Lock'")) >
           0;
}

// Waits for a thread before it goes, so that a failing test never leaves one running.
struct JoinThread
{
    void operator()(QThread *thread) const
    {
        thread->wait();
        delete thread;
    }
};

} // namespace

class TestAccessRights : public QObject
{
    Q_OBJECT
private slots:
    void boardCellOnGroupAndArea();
    void boardCellIsAllOrNothing_data();
    void boardCellIsAllOrNothing();
    void boardCellWithoutWork_data();
    void boardCellWithoutWork();
    void timeModelEditMarks_data();
    void timeModelEditMarks();
    void identifierChangeMarksItsTechnology_data();
    void identifierChangeMarksItsTechnology();
    void markingByTechnology_data();
    void markingByTechnology();
    void entrySelection_data();
    void entrySelection();
    void readEntryAccess();
    void findImportedTransponder_data();
    void findImportedTransponder();
    void widenShortRangeIdentifiers();
    void wideningCollisionChangesNothing();
    void holidayChangesMarkAccessReaders_data();
    void holidayChangesMarkAccessReaders();
    void pendingMarkKeptWhileAnotherChanges_data();
    void pendingMarkKeptWhileAnotherChanges();
};

void TestAccessRights::boardCellOnGroupAndArea()
{
    Block b;
    QVERIFY(b.project.isValid());
    QSet<int> crew, hall;
    QVERIFY(!UserRecords::usersOfGroup(b.path, QStringLiteral("Crew"), crew).isValid());
    QVERIFY(!EntryRecords::entriesOfArea(b.path, QStringLiteral("Hall"), hall).isValid());
    QCOMPARE(crew, b.users);
    QCOMPARE(hall, b.entries);
    QSet<int> changed;
    // Group x area: one right per pair, every entry changed.
    QVERIFY(
        !AccessRights::changeBoardCell(b.path, b.users, b.entries, b.always, &changed).isValid());
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 12);
    QCOMPARE(
        scalar(b.path, QStringLiteral("select count(distinct FKusers||'-'||FKdoors) from access")),
        12);
    QCOMPARE(changed, b.entries);
    QCOMPARE(marked(b.path), b.entries);

    // The same model again changes and marks nothing.
    QVERIFY(clearMarks(b.path));
    QVERIFY(
        !AccessRights::changeBoardCell(b.path, b.users, b.entries, b.always, &changed).isValid());
    QVERIFY(changed.isEmpty());
    QVERIFY(marked(b.path).isEmpty());

    // One cell gets another model: only its entry is marked.
    const int user = b.first(b.users);
    const int entry = b.first(b.entries);
    QVERIFY(!AccessRights::changeBoardCell(b.path, {user}, {entry}, b.two, &changed).isValid());
    QCOMPARE(changed, QSet<int>{entry});
    QCOMPARE(marked(b.path), QSet<int>{entry});
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 12);

    // Setting the block back only touches that one pair.
    QVERIFY(clearMarks(b.path));
    QVERIFY(
        !AccessRights::changeBoardCell(b.path, b.users, b.entries, b.always, &changed).isValid());
    QCOMPARE(changed, QSet<int>{entry});
    QCOMPARE(
        scalar(b.path, QStringLiteral("select count(*) from access where FKtimes=%1").arg(b.two)),
        0);

    // The board's view of it.
    QList<AccessRow> rows;
    QVERIFY(!AccessRights::listAccess(b.path, rows).isValid());
    QCOMPARE(rows.size(), 12);
    QCOMPARE(rows.first().modelTag, QStringLiteral("***"));

    // A right outside the block survives the block's removal.
    QVERIFY(!AccessRights::changeBoardCell(b.path, {b.outsideUser}, {entry}, b.two).isValid());
    QVERIFY(clearMarks(b.path));
    QVERIFY(!AccessRights::changeBoardCell(b.path, b.users, b.entries, 0, &changed).isValid());
    QCOMPARE(changed, b.entries);
    QCOMPARE(marked(b.path), b.entries);
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 1);

    // Removing from cells that are empty marks nothing.
    QVERIFY(clearMarks(b.path));
    QVERIFY(!AccessRights::changeBoardCell(b.path, b.users, b.entries, 0, &changed).isValid());
    QVERIFY(changed.isEmpty());
    QVERIFY(marked(b.path).isEmpty());
}

void TestAccessRights::boardCellIsAllOrNothing_data()
{
    // The statement and table the trigger stops, and the key of the row it stops at.
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("key");
    QTest::newRow("insert fails half way") << "insert on access"
                                           << "FKdoors";
    QTest::newRow("update fails half way") << "update on access"
                                           << "FKdoors";
    QTest::newRow("marking fails") << "update of needsUpdate on doors"
                                   << "PKdoors";
}

void TestAccessRights::boardCellIsAllOrNothing()
{
    QFETCH(QString, event);
    QFETCH(QString, key);
    const QString trigger =
        TestSupport::onServer()
            ? QStringLiteral("create function kx_stop() returns trigger language plpgsql as $$ "
                             "begin raise exception 'stop'; end $$; create trigger stop before ") +
                  event +
                  QStringLiteral(" for each row when (new.%1=%2) execute function kx_stop()")
                      .arg(key)
            : QStringLiteral("create trigger stop before ") + event +
                  QStringLiteral(" when new.%1=%2 begin select raise(abort,'stop'); end").arg(key);
    Block b;
    // Half the block holds a right already, so the change both inserts and updates.
    QList<int> entries = b.entries.values();
    std::sort(entries.begin(), entries.end());
    const QSet<int> lower{entries.at(0), entries.at(1)};
    QVERIFY(!AccessRights::changeBoardCell(b.path, b.users, lower, b.always).isValid());
    QVERIFY(clearMarks(b.path));
    // The last pair in statement order fails, after the others ran.
    const int failing = event == QLatin1String("update on access") ? entries.at(1) : entries.at(3);
    QVERIFY(run(b.path, trigger.arg(failing)));

    QSet<int> changed{-1};
    const QSqlError error =
        AccessRights::changeBoardCell(b.path, b.users, b.entries, b.two, &changed);
    QVERIFY(error.isValid());
    QVERIFY(error.text().contains(QStringLiteral("stop")));
    QVERIFY(changed.isEmpty());
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 6);
    QCOMPARE(
        scalar(b.path, QStringLiteral("select count(*) from access where FKtimes=%1").arg(b.two)),
        0);
    QVERIFY(marked(b.path).isEmpty());
}

void TestAccessRights::boardCellWithoutWork_data()
{
    QTest::addColumn<bool>("noUsers");
    QTest::addColumn<bool>("noEntries");
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("fails");
    QTest::newRow("no users") << true << false << 1 << false;
    QTest::newRow("no entries") << false << true << 1 << false;
    QTest::newRow("no users, remove") << true << false << 0 << false;
    QTest::newRow("model that does not exist") << false << false << 999 << true;
    QTest::newRow("negative model") << false << false << -3 << true;
}

void TestAccessRights::boardCellWithoutWork()
{
    QFETCH(bool, noUsers);
    QFETCH(bool, noEntries);
    QFETCH(int, model);
    QFETCH(bool, fails);
    Block b;
    QVERIFY(!AccessRights::changeBoardCell(b.path, {b.outsideUser}, {b.outsideEntry}, 1).isValid());
    QVERIFY(clearMarks(b.path));
    QSet<int> changed;
    const QSqlError error =
        AccessRights::changeBoardCell(b.path, noUsers ? QSet<int>() : b.users,
                                      noEntries ? QSet<int>() : b.entries, model, &changed);
    QCOMPARE(error.isValid(), fails);
    QVERIFY(changed.isEmpty());
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 1);
    QVERIFY(marked(b.path).isEmpty());

    // The statement-level calls treat an empty set as nothing to do.
    ProjectDatabase db(b.path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(AccessRights::deleteAccess(q, {}, b.entries));
    QVERIFY(AccessRights::setNeedsUpdate(q, {}, true));
    QCOMPARE(AccessRights::countFlashDriveEntries(q, {}), 0);
    QCOMPARE(scalar(b.path, QStringLiteral("select count(*) from access")), 1);
}

void TestAccessRights::timeModelEditMarks_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("definition");
    QTest::addColumn<bool>("used");
    QTest::addColumn<bool>("marks");
    QTest::newRow("definition changed") << "TWO"
                                        << "Two"
                                        << "tue-08:00-12:00" << true << true;
    QTest::newRow("name only") << "TWO"
                               << "Second"
                               << "mon-08:00-12:00" << true << false;
    QTest::newRow("tag only") << "II"
                              << "Two"
                              << "mon-08:00-12:00" << true << false;
    QTest::newRow("definition of an unused model") << "TWO"
                                                   << "Two"
                                                   << "*-*-*" << false << false;
}

void TestAccessRights::timeModelEditMarks()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, definition);
    QFETCH(bool, used);
    QFETCH(bool, marks);
    Block b;
    const QSet<int> two{b.first(b.entries), b.outsideEntry};
    QVERIFY(!AccessRights::changeBoardCell(b.path, b.users, b.entries, b.always).isValid());
    if (used)
        QVERIFY(!AccessRights::changeBoardCell(b.path, {b.outsideUser}, two, b.two).isValid());
    QVERIFY(clearMarks(b.path));

    // The query the editor asks before saving.
    QSet<int> affected;
    QVERIFY(!AccessRights::entriesOfTimeModel(b.path, b.two, affected).isValid());
    QCOMPARE(affected, used ? two : QSet<int>());

    TimeModelRow row{b.two, tag, name, definition};
    QSet<int> markedEntries{-1};
    QVERIFY(!TimeModelRecords::editTimeModel(b.path, row, &markedEntries).isValid());
    QCOMPARE(markedEntries, marks ? two : QSet<int>());
    QCOMPARE(marked(b.path), marks ? two : QSet<int>());
}

void TestAccessRights::identifierChangeMarksItsTechnology_data()
{
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<bool>("fromEmpty");
    QTest::addColumn<QList<int>>("markedTypes");
    QTest::newRow("long-range changed") << true << false << QList<int>{101, 863};
    QTest::newRow("long-range set") << true << true << QList<int>{101, 863};
    QTest::newRow("short-range changed") << false << false << QList<int>{100};
    QTest::newRow("short-range set") << false << true << QList<int>{100};
}

void TestAccessRights::identifierChangeMarksItsTechnology()
{
    QFETCH(bool, longRange);
    QFETCH(bool, fromEmpty);
    QFETCH(QList<int>, markedTypes);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    QSet<int> entries;
    QHash<int, int> typeOf;
    int i = 0;
    for (int type : {100, 101, 863, 82, 0}) {
        EntryRow e;
        e.areaName = QStringLiteral("A");
        e.doorName = QString::number(i++);
        e.readerType = type;
        int key = 0;
        QVERIFY(!EntryRecords::addEntry(path, e, &key).isValid());
        entries.insert(key);
        typeOf.insert(key, type);
    }
    // A second long-range entry where the user has no right stays unmarked.
    EntryRow spare;
    spare.areaName = QStringLiteral("B");
    spare.doorName = QStringLiteral("spare");
    spare.readerType = 101;
    QVERIFY(!EntryRecords::addEntry(path, spare).isValid());

    UserRow u;
    u.familyName = QStringLiteral("Keyholder");
    u.groupName = QStringLiteral("G");
    if (!fromEmpty) {
        u.iddIso14443 = QStringLiteral("a1a2a3a4-04");
        u.iddClass1Gen2 = QStringLiteral("3000b1b2-84");
    }
    QVERIFY(!UserRecords::addUser(path, u, &u.pkUsers).isValid());
    QVERIFY(!AccessRights::changeBoardCell(path, {u.pkUsers}, entries, 1).isValid());
    QVERIFY(clearMarks(path));

    if (longRange)
        u.iddClass1Gen2 = QStringLiteral("3000c1c2-84");
    else
        u.iddIso14443 = QStringLiteral("c1c2c3c4-04");
    QSet<int> markedEntries;
    QVERIFY(!UserRecords::editUser(path, u, &markedEntries).isValid());
    QList<int> types;
    for (int key : markedEntries)
        types << typeOf.value(key);
    std::sort(types.begin(), types.end());
    QCOMPARE(types, markedTypes);
    QCOMPARE(marked(path), markedEntries);

    // A save without an identifier change marks nothing.
    QVERIFY(clearMarks(path));
    u.commentUser = QStringLiteral("new comment");
    QVERIFY(!UserRecords::editUser(path, u, &markedEntries).isValid());
    QVERIFY(markedEntries.isEmpty());
    QVERIFY(marked(path).isEmpty());
}

void TestAccessRights::markingByTechnology_data()
{
    QTest::addColumn<bool>("shortRange");
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<int>("count");
    QTest::newRow("short range") << true << false << 1;
    QTest::newRow("long range") << false << true << 2;
    QTest::newRow("both: all entries") << true << true << 4;
    QTest::newRow("neither") << false << false << 0;
}

void TestAccessRights::markingByTechnology()
{
    QFETCH(bool, shortRange);
    QFETCH(bool, longRange);
    QFETCH(int, count);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int i = 0;
    for (int type : {100, 101, 863, 0}) {
        EntryRow e;
        e.areaName = QStringLiteral("A");
        e.doorName = QString::number(i++);
        e.readerType = type;
        QVERIFY(!EntryRecords::addEntry(path, e).isValid());
    }
    QVERIFY(!AccessRights::setNeedsUpdateByTechnology(path, shortRange, longRange, true).isValid());
    QCOMPARE(marked(path).size(), count);
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(path, 4, true).isValid());
    QVERIFY(
        !AccessRights::setNeedsUpdateByTechnology(path, shortRange, longRange, false).isValid());
    QCOMPARE(marked(path).size(), (shortRange && longRange) ? 0 : 1);
}

void TestAccessRights::entrySelection_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("all") << 0 << strings({"a1", "a2", "b1", "b2"});
    QTest::newRow("all pending") << 1 << strings({"a2", "b1"});
    QTest::newRow("area") << 2 << strings({"a1", "a2"});
    QTest::newRow("area pending") << 3 << strings({"a2"});
    QTest::newRow("area named with a quote") << 4 << QStringList{};
    QTest::newRow("entries") << 5 << strings({"a1", "b2"});
    QTest::newRow("entries pending") << 6 << QStringList{};
    QTest::newRow("no entries") << 7 << QStringList{};
    QTest::newRow("short range") << 8 << strings({"a1", "b1"});
    QTest::newRow("long range") << 9 << strings({"a2", "b2"});
    QTest::newRow("both technologies") << 10 << strings({"a1", "a2", "b1", "b2"});
    QTest::newRow("neither technology") << 11 << QStringList{};
}

void TestAccessRights::entrySelection()
{
    QFETCH(int, which);
    QFETCH(QStringList, names);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    const struct
    {
        const char *area;
        const char *name;
        int type;
        bool pending;
    } rows[] = {{"A", "a1", 100, false},
                {"A", "a2", 863, true},
                {"B", "b1", 100, true},
                {"B", "b2", 101, false}};
    for (const auto &r : rows) {
        EntryRow e;
        e.areaName = QLatin1String(r.area);
        e.doorName = QLatin1String(r.name);
        e.readerType = r.type;
        e.readerSerNo = QLatin1String(r.name);
        e.port = 0x10000;
        int key = 0;
        QVERIFY(!EntryRecords::addEntry(path, e, &key).isValid());
        if (r.pending)
            QVERIFY(!AccessRights::setNeedsUpdateOfEntry(path, key, true).isValid());
    }
    const QList<EntrySelection> selections = {
        EntrySelection::allEntries(),
        EntrySelection::allEntries(true),
        EntrySelection::area(QStringLiteral("A")),
        EntrySelection::area(QStringLiteral("A"), true),
        EntrySelection::area(QStringLiteral("A' or '1'='1")),
        EntrySelection::entries({1, 4}),
        EntrySelection::entries({1, 4}, true),
        EntrySelection::entries({}),
        EntrySelection::shortRange(),
        EntrySelection::longRange(),
        EntrySelection::technologies(true, true),
        EntrySelection::technologies(false, false),
    };
    QList<EntryTarget> targets;
    QVERIFY(!selections.at(which).list(path, targets).isValid());
    QStringList got;
    for (const EntryTarget &t : targets) {
        got << t.doorName;
        QCOMPARE(t.readerSerNo, t.doorName);
        QCOMPARE(t.needsUpdate,
                 t.doorName == QLatin1String("a2") || t.doorName == QLatin1String("b1"));
    }
    got.sort();
    QCOMPARE(got, names);
    QCOMPARE(AccessRights::countFlashDriveEntries(path, {1, 2, 99}), 2);
}

void TestAccessRights::readEntryAccess()
{
    Block b;
    const int entry = b.first(b.entries);
    QVERIFY(!AccessRights::changeBoardCell(b.path, b.users, {entry}, b.two).isValid());
    QVERIFY(!AccessRights::changeBoardCell(b.path, {b.outsideUser}, {b.outsideEntry}, 1).isValid());
    QList<EntryAccessRow> rows{EntryAccessRow()};
    QVERIFY(!AccessRights::readEntryAccess(b.path, entry, rows).isValid());
    QCOMPARE(rows.size(), 3);
    for (const EntryAccessRow &row : rows) {
        QCOMPARE(row.modelTag, QStringLiteral("TWO"));
        QCOMPARE(row.modelDefinition, QStringLiteral("mon-08:00-12:00"));
        QVERIFY(row.familyName.startsWith(QStringLiteral("Crew")));
        QVERIFY(row.iddIso14443.isNull());
    }
    QVERIFY(!AccessRights::readEntryAccess(b.path, 999, rows).isValid());
    QVERIFY(rows.isEmpty());
}

void TestAccessRights::findImportedTransponder_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QStringList>("found"); // "family:tag", tag "-" for null
    QTest::newRow("upper-case hex") << "A1B2C3D4" << strings({"Hart:DAY"});
    QTest::newRow("lower-case hex") << "a1b2c3d4" << strings({"Hart:DAY"});
    QTest::newRow("user without any right") << "0F0E0D0C" << strings({"Nils:-"});
    QTest::newRow("short range of another type code")
        << "1122334455667788" << strings({"Otto:***"});
    QTest::newRow("long range after its control word") << "E2E2E2E2" << strings({"Hart:DAY"});
    QTest::newRow("prefix only finds nobody") << "A1B2" << QStringList{};
    // The owner is named wherever their rights are, without a tag here.
    QTest::newRow("right at another entry only") << "5566" << strings({"Ruth:-"});
    // A short identifier read back at the project length, zero bytes in front.
    QTest::newRow("extended short range") << "00000000A1B2C3D4" << strings({"Hart:DAY"});
    QTest::newRow("extended long range") << "000000E2E2E2E2" << strings({"Hart:DAY"});
    QTest::newRow("zero bytes behind are another identifier") << "A1B2C3D400" << QStringList{};
    QTest::newRow("blank finds nobody") << "0000" << QStringList{};
    QTest::newRow("wildcard is not hex") << "%" << QStringList{};
    QTest::newRow("quote is not hex") << "a1' or '1'='1" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestAccessRights::findImportedTransponder()
{
    QFETCH(QString, hex);
    QFETCH(QStringList, found);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int here = 0, there = 0, day = 0;
    EntryRow e;
    e.areaName = QStringLiteral("A");
    e.doorName = QStringLiteral("here");
    QVERIFY(!EntryRecords::addEntry(path, e, &here).isValid());
    e.doorName = QStringLiteral("there");
    QVERIFY(!EntryRecords::addEntry(path, e, &there).isValid());
    QVERIFY(!TimeModelRecords::addTimeModel(
                 path,
                 {0, QStringLiteral("DAY"), QStringLiteral("Day"), QStringLiteral("*-08:00-18:00")},
                 &day)
                 .isValid());
    const struct
    {
        const char *family;
        const char *shortIdd;
        const char *longIdd;
        int entry;
        int model;
    } users[] = {
        {"Hart", "a1b2c3d4-04", "3000e2e2e2e2-84", here, day},
        {"Nils", "0f0e0d0c-04", nullptr, 0, 0},
        {"Otto", "1122334455667788-03-ff", nullptr, here, 1},
        {"Ruth", "5566-04", nullptr, there, 1},
    };
    for (const auto &u : users) {
        UserRow row;
        row.familyName = QLatin1String(u.family);
        row.groupName = QStringLiteral("G");
        row.iddIso14443 = QLatin1String(u.shortIdd);
        row.iddClass1Gen2 = QLatin1String(u.longIdd);
        QVERIFY(!UserRecords::addUser(path, row, &row.pkUsers).isValid());
        if (u.entry)
            QVERIFY(
                !AccessRights::changeBoardCell(path, {row.pkUsers}, {u.entry}, u.model).isValid());
    }
    QList<ImportedTransponderRow> rows{ImportedTransponderRow()};
    QVERIFY(!AccessRights::findImportedTransponder(path, hex, here, rows).isValid());
    QStringList got;
    for (const ImportedTransponderRow &row : rows)
        got << row.familyName + QLatin1Char(':') +
                   (row.modelTag.isNull() ? QStringLiteral("-") : row.modelTag);
    QCOMPARE(got, found);
}

void TestAccessRights::widenShortRangeIdentifiers()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    const QStringList before = strings({"a1b2c3d4-04", "0102030405060708-03", "not-a-number",
                                        "a1b2c3d4e5f6a7-04-1f", "", "ff-03"});
    const QStringList after = strings({"00000000a1b2c3d4-04", "0102030405060708-03", "not-a-number",
                                       "00a1b2c3d4e5f6a7-04-1f", "", "00000000000000ff-03"});
    const QStringList names = strings({"O'Brien", "Ahl", "Bad", "Cole", "Dorn", "Eck"});
    for (int i = 0; i < names.size(); ++i) {
        UserRow u;
        u.familyName = names.at(i);
        u.groupName = QStringLiteral("G");
        u.iddIso14443 = before.at(i);
        u.iddClass1Gen2 = i == 0 ? QStringLiteral("3000aa-84") : QString();
        QVERIFY(!UserRecords::addUser(path, u).isValid());
    }
    for (int type : {100, 101, 100}) {
        EntryRow e;
        e.areaName = QStringLiteral("A");
        e.doorName = QString::number(scalar(path, QStringLiteral("select count(*) from doors")));
        e.readerType = type;
        QVERIFY(!EntryRecords::addEntry(path, e).isValid());
    }
    QVERIFY(!AccessRights::widenShortRangeIdentifiers(path, 8).isValid());
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(path, 0, true, rows).isValid());
    for (const UserRow &row : rows) {
        const int i = names.indexOf(row.familyName);
        QCOMPARE(row.iddIso14443, after.at(i));
        QCOMPARE(row.iddIso14443.isNull(), after.at(i).isEmpty());
    }
    QCOMPARE(rows.last().familyName, QStringLiteral("O'Brien"));
    QCOMPARE(rows.last().iddClass1Gen2, QStringLiteral("3000aa-84"));
    QCOMPARE(marked(path), (QSet<int>{1, 3}));
}

void TestAccessRights::wideningCollisionChangesNothing()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    // "ab-04" widens to "000000ab-04", which another user holds already.
    const QStringList idds = strings({"0c-04", "ab-04", "000000ab-04"});
    for (int i = 0; i < idds.size(); ++i) {
        UserRow u;
        u.familyName = QStringLiteral("U%1").arg(i);
        u.groupName = QStringLiteral("G");
        u.iddIso14443 = idds.at(i);
        QVERIFY(!UserRecords::addUser(path, u).isValid());
    }
    EntryRow e;
    e.areaName = QStringLiteral("A");
    e.doorName = QStringLiteral("1");
    e.readerType = 100;
    QVERIFY(!EntryRecords::addEntry(path, e).isValid());
    const QSqlError error = AccessRights::widenShortRangeIdentifiers(path, 4);
    // A unique constraint refused it (the server's SQLSTATE reads as SQLite's code).
    QCOMPARE(error.nativeErrorCode(), QStringLiteral("19"));
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from users where iddIso14443='0c-04'")),
             1);
    QVERIFY(marked(path).isEmpty());
    QVERIFY(AccessRights::widenShortRangeIdentifiers(path, 0).isValid());
}

void TestAccessRights::holidayChangesMarkAccessReaders_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<bool>("marks");
    QTest::addColumn<QStringList>("datesAfter");
    const QStringList before = strings({"2030.12.24", "2030.12.31"});
    QTest::newRow("add") << "add" << true << true
                         << strings({"2030.12.24", "2030.12.25", "2030.12.31"});
    QTest::newRow("add a range") << "range" << true << true
                                 << strings({"2030.12.24", "2030.12.27", "2030.12.28", "2030.12.29",
                                             "2030.12.31"});
    QTest::newRow("range over a holiday stores nothing")
        << "range-clash" << false << false << before;
    QTest::newRow("add a holiday twice") << "add-clash" << false << false << before;
    QTest::newRow("move a date") << "move" << true << true << strings({"2030.12.26", "2030.12.31"});
    QTest::newRow("change the comment only") << "comment" << true << false << before;
    QTest::newRow("remove") << "remove" << true << true << strings({"2030.12.31"});
    QTest::newRow("remove what is gone") << "remove-gone" << true << false << before;
}

void TestAccessRights::holidayChangesMarkAccessReaders()
{
    QFETCH(QString, change);
    QFETCH(bool, succeeds);
    QFETCH(bool, marks);
    QFETCH(QStringList, datesAfter);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    // Access readers hold the holiday list; programmer readers and entries
    // without a reader do not.
    QSet<int> accessReaders;
    int i = 0;
    for (int type : {100, 101, 863, 82, 0}) {
        EntryRow e;
        e.areaName = QStringLiteral("A");
        e.doorName = QString::number(i++);
        e.readerType = type;
        int key = 0;
        QVERIFY(!EntryRecords::addEntry(path, e, &key).isValid());
        if (type >= 100)
            accessReaders.insert(key);
    }
    int christmas = 0;
    QVERIFY(
        !HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.12.24"), QString()}, &christmas)
             .isValid());
    QVERIFY(christmas > 0);
    QVERIFY(
        !HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.12.31"), QString()}).isValid());
    QCOMPARE(marked(path), accessReaders);
    QVERIFY(clearMarks(path));

    QSet<int> markedEntries{-1};
    QSqlError error;
    if (change == QLatin1String("add")) {
        error = HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.12.25"), QString()},
                                           nullptr, &markedEntries);
    } else if (change.startsWith(QLatin1String("range"))) {
        QList<HolidayRow> rows;
        const int last = change == QLatin1String("range") ? 29 : 31;
        for (int day = 27; day <= last; ++day)
            rows.append({0, QStringLiteral("2030.12.%1").arg(day), QStringLiteral("Closed")});
        error = HolidayRecords::addHolidays(path, rows, &markedEntries);
    } else if (change == QLatin1String("add-clash")) {
        error = HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.12.24"), QString()},
                                           nullptr, &markedEntries);
    } else if (change == QLatin1String("move") || change == QLatin1String("comment")) {
        const QString date = change == QLatin1String("move") ? QStringLiteral("2030.12.26")
                                                             : QStringLiteral("2030.12.24");
        error = HolidayRecords::editHoliday(path, {christmas, date, QStringLiteral("O'Neil's")},
                                            &markedEntries);
    } else {
        if (change == QLatin1String("remove-gone"))
            christmas += 100;
        error = HolidayRecords::removeHoliday(path, christmas, &markedEntries);
    }
    QCOMPARE(!error.isValid(), succeeds);
    QCOMPARE(markedEntries, marks ? accessReaders : QSet<int>());
    QCOMPARE(marked(path), marks ? accessReaders : QSet<int>());
    QList<HolidayRow> rows;
    QVERIFY(!HolidayRecords::listHolidays(path, rows).isValid());
    QStringList dates;
    for (const HolidayRow &row : qAsConst(rows))
        dates << row.date;
    QCOMPARE(dates, datesAfter);
}

KX_TEST_MAIN(TestAccessRights)
#include "tst_accessrights.moc"

void TestAccessRights::pendingMarkKeptWhileAnotherChanges_data()
{
    QTest::addColumn<bool>("remove");
    QTest::newRow("right changed") << false;
    QTest::newRow("right removed") << true;
}

void TestAccessRights::pendingMarkKeptWhileAnotherChanges()
{
    // Two workstations: B changes a right of the entry while A clears the
    // entry's pending mark after an update that sent the rights before.
    if (!TestSupport::onServer())
        QSKIP("Two workstations share a server project only");
    KX_REQUIRE_SERVER();
    QFETCH(bool, remove);
    Block b;
    const int user = b.first(b.users);
    const int entry = b.first(b.entries);
    QVERIFY(!AccessRights::changeBoardCell(b.path, {user}, {entry}, b.always).isValid());
    QList<EntryAccessRow> sent;
    QVERIFY(!AccessRights::readEntryAccess(b.path, entry, sent).isValid());
    QCOMPARE(sent.size(), 1);
    const auto stillSent = [&sent](const AccessRights::EntryUpdateSource &now) {
        return now.rows.size() == 1 && now.rows.first().modelTag == sent.first().modelTag;
    };

    std::unique_ptr<QThread, JoinThread> update;
    ProjectDatabase other(b.path);
    QVERIFY(other.open());
    QVERIFY(other.transaction());
    {
        QSqlQuery q = other.query();
        QSet<int> changed;
        QVERIFY(
            !AccessRights::changeBlock(q, {user}, {entry}, remove ? 0 : b.two, changed).isValid());
        QCOMPARE(changed, QSet<int>{entry});
    }
    bool cleared = true;
    QSqlError error;
    update.reset(QThread::create([&] {
        error = AccessRights::clearNeedsUpdateIfUnchanged(b.path, entry, stillSent, &cleared);
    }));
    update->start();
    // A waits for B's lock on the entry; then B commits.
    QTRY_VERIFY_WITH_TIMEOUT(waitingForLock(b.path), 30000);
    QVERIFY(other.commit());
    update.reset();
    QVERIFY2(!error.isValid(), qPrintable(error.text()));
    QVERIFY(!cleared);
    QVERIFY(marked(b.path).contains(entry));
}

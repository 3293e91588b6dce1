#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/recordcounts.h"
#include "db/serverconnection.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "dbtesthelpers.h"
#include "support/testsupport.h"

#include <QDate>
#include <QScopeGuard>

namespace {

UserRow user(const QString &family, const QString &first, const QString &group,
             const QString &shortIdd = QString(), const QString &longIdd = QString())
{
    UserRow row;
    row.familyName = family;
    row.firstName = first;
    row.groupName = group;
    row.iddIso14443 = shortIdd;
    row.iddClass1Gen2 = longIdd;
    return row;
}

EntryRow entry(const QString &area, const QString &name, const QString &ip = QString(),
               int port = 0, int type = 0, const QString &serial = QString(),
               const QString &mac = QString())
{
    EntryRow row;
    row.areaName = area;
    row.doorName = name;
    row.ipAddr = ip;
    row.port = port;
    row.readerType = type;
    row.readerSerNo = serial;
    row.readerMacAddr = mac;
    return row;
}

TimeModelRow model(const QString &tag, const QString &name, const QString &definition)
{
    TimeModelRow row;
    row.modelTag = tag;
    row.modelName = name;
    row.modelDefinition = definition;
    return row;
}

QStringList familyNames(const QList<UserRow> &rows)
{
    QStringList names;
    for (const UserRow &row : rows)
        names << row.familyName;
    return names;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void nullableColumns();
    void uniquenessRefusals_data();
    void uniquenessRefusals();
    void textsStoredAsTyped_data();
    void textsStoredAsTyped();
    void controlCharactersInNamesRefused_data();
    void controlCharactersInNamesRefused();
    void userSortClauses_data();
    void userSortClauses();
    void entryAndModelSortClauses();
    void removalCascades_data();
    void removalCascades();
    void removalIsAllOrNothing();
    void namesSortByteWiseOnAnyServer_data();
    void namesSortByteWiseOnAnyServer();
    void upcomingHolidays();
    void groupsAreasAndCounts();
    void entryReaderQueries();
    void editEntryMarksOnNewReader();
    void importedUsers_data();
    void importedUsers();
    void importedUserNumberSkipsTakenNames();
};

void TestRecords::nullableColumns()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    // Several rows without identifier or reader coexist under the unique constraints.
    // An identifier cleared down to its type ("-04") identifies nothing either.
    const QStringList emptyIdds = strings({"", "-04", "-84"});
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!UserRecords::addUser(path, user(QStringLiteral("Nobody%1").arg(i),
                                                 QStringLiteral("X"), QStringLiteral("G"),
                                                 emptyIdds.at(i), emptyIdds.at(2 - i)))
                     .isValid());
        QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QString::number(i)))
                     .isValid());
    }
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from users where iddIso14443 is null "
                                         "and iddClass1Gen2 is null and commentUser=''")),
             3);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where ipAddr is null and "
                                         "port is null and readerType is null and readerSerNo is "
                                         "null and readerMacAddr is null and readerConfig=''")),
             3);

    // Editing back to empty values stores null again, not an empty text.
    QList<EntryRow> entries;
    QVERIFY(!EntryRecords::listEntries(path, 0, true, entries).isValid());
    EntryRow withReader = entries.first();
    withReader.ipAddr = QStringLiteral("127.0.0.2");
    withReader.port = 4001;
    withReader.readerType = 100;
    withReader.readerSerNo = QStringLiteral("0000AAAA");
    QVERIFY(!EntryRecords::editEntry(path, withReader).isValid());
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where port=4001")), 1);
    QVERIFY(!EntryRecords::setReaderAddress(path, withReader.pkDoors, QString(), 0).isValid());
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where ipAddr is null and "
                                         "port is null")),
             3);
    QVERIFY(!EntryRecords::listEntries(path, 0, true, entries).isValid());
    QVERIFY(entries.first().ipAddr.isNull());
    QCOMPARE(entries.first().port, 0);
    QCOMPARE(entries.first().readerType, 100);
}

void TestRecords::uniquenessRefusals_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("kind");
    QTest::newRow("same names in another group") << "users" << 0;
    QTest::newRow("same short-range identifier") << "users" << 1;
    QTest::newRow("same long-range identifier") << "users" << 2;
    QTest::newRow("edit to a taken identifier") << "users" << 3;
    QTest::newRow("same entry name in the area") << "doors" << 4;
    QTest::newRow("same address and port") << "doors" << 5;
    QTest::newRow("same serial number") << "doors" << 6;
    QTest::newRow("same MAC address") << "doors" << 7;
    QTest::newRow("same model tag") << "times" << 8;
    QTest::newRow("same model name") << "times" << 9;
    QTest::newRow("same holiday date") << "holidays" << 10;
}

void TestRecords::uniquenessRefusals()
{
    QFETCH(QString, table);
    QFETCH(int, kind);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int other = 0;
    QVERIFY(!UserRecords::addUser(path, user(QStringLiteral("Berg"), QStringLiteral("Ada"),
                                             QStringLiteral("One"), QStringLiteral("a1b2c3d4-04"),
                                             QStringLiteral("3000aabb-84")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(path,
                                  user(QStringLiteral("Holm"), QStringLiteral("Ben"),
                                       QStringLiteral("One"), QStringLiteral("0badcafe-04")),
                                  &other)
                 .isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("Hall"), QStringLiteral("Gate"),
                                                QStringLiteral("127.0.0.5"), 10001, 100,
                                                QStringLiteral("1234ABCD"),
                                                QStringLiteral("02:00:00:00:00:01")))
                 .isValid());
    QVERIFY(
        !TimeModelRecords::addTimeModel(path, model(QStringLiteral("DAY"), QStringLiteral("Day"),
                                                    QStringLiteral("*-08:00-17:00")))
             .isValid());
    QVERIFY(
        !HolidayRecords::addHoliday(path, {0, QStringLiteral("2026.12.24"), QString()}).isValid());
    const int before = scalar(path, QStringLiteral("select count(*) from ") + table);
    const int usersBefore = scalar(path, QStringLiteral("select count(*) from users where "
                                                        "iddIso14443='0badcafe-04'"));

    QSqlError error;
    switch (kind) {
    case 0:
        error = UserRecords::addUser(
            path, user(QStringLiteral("Berg"), QStringLiteral("Ada"), QStringLiteral("Two")));
        break;
    case 1:
        error =
            UserRecords::addUser(path, user(QStringLiteral("Lind"), QStringLiteral("Cai"),
                                            QStringLiteral("Two"), QStringLiteral("a1b2c3d4-04")));
        break;
    case 2:
        error = UserRecords::addUser(path, user(QStringLiteral("Lind"), QStringLiteral("Cai"),
                                                QStringLiteral("Two"), QString(),
                                                QStringLiteral("3000aabb-84")));
        break;
    case 3: {
        UserRow edited = user(QStringLiteral("Holm"), QStringLiteral("Ben"), QStringLiteral("One"),
                              QStringLiteral("a1b2c3d4-04"));
        edited.pkUsers = other;
        error = UserRecords::editUser(path, edited);
        break;
    }
    case 4:
        error = EntryRecords::addEntry(path, entry(QStringLiteral("Hall"), QStringLiteral("Gate")));
        break;
    case 5:
        error = EntryRecords::addEntry(path, entry(QStringLiteral("Hall"), QStringLiteral("Side"),
                                                   QStringLiteral("127.0.0.5"), 10001));
        break;
    case 6:
        error = EntryRecords::addEntry(path, entry(QStringLiteral("Hall"), QStringLiteral("Side"),
                                                   QString(), 0, 100, QStringLiteral("1234ABCD")));
        break;
    case 7:
        error = EntryRecords::addEntry(path, entry(QStringLiteral("Hall"), QStringLiteral("Side"),
                                                   QString(), 0, 0, QString(),
                                                   QStringLiteral("02:00:00:00:00:01")));
        break;
    case 8:
        error = TimeModelRecords::addTimeModel(
            path, model(QStringLiteral("DAY"), QStringLiteral("Other"), QStringLiteral("*-*-*")));
        break;
    case 9:
        error = TimeModelRecords::addTimeModel(
            path, model(QStringLiteral("OTH"), QStringLiteral("Day"), QStringLiteral("*-*-*")));
        break;
    case 10:
        error = HolidayRecords::addHoliday(
            path, {0, QStringLiteral("2026.12.24"), QStringLiteral("again")});
        break;
    }
    QVERIFY(error.isValid());
    QCOMPARE(error.nativeErrorCode(), QStringLiteral("19"));
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from ") + table), before);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from users where "
                                         "iddIso14443='0badcafe-04'")),
             usersBefore);
}

void TestRecords::textsStoredAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("statement") << "x'); drop table users; --";
    QTest::newRow("percent") << "100% '%1' ; *";
    QTest::newRow("cyrillic") << "Дмитриевская";
    QTest::newRow("cjk") << "王小明";
}

void TestRecords::textsStoredAsTyped()
{
    QFETCH(QString, text);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    UserRow row = user(text, text, text);
    row.commentUser = text;
    int key = 0;
    QVERIFY(!UserRecords::addUser(path, row, &key).isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(text, text)).isValid());
    QVERIFY(
        !TimeModelRecords::addTimeModel(path, model(QStringLiteral("T"), text, text)).isValid());
    QVERIFY(!HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.01.01"), text}).isValid());

    QList<UserRow> users;
    QVERIFY(!UserRecords::listUsers(path, 0, true, users).isValid());
    QCOMPARE(users.size(), 1);
    QCOMPARE(users.first().pkUsers, key);
    QCOMPARE(users.first().familyName, text);
    QCOMPARE(users.first().commentUser, text);
    QCOMPARE(UserRecords::distinctGroups(path), QStringList{text});
    QCOMPARE(EntryRecords::distinctAreas(path), QStringList{text});
    QList<TimeModelRow> models;
    QVERIFY(!TimeModelRecords::listTimeModels(path, 1, models).isValid());
    QCOMPARE(models.size(), 2);
    const TimeModelRow typed =
        models.first().modelTag == QLatin1String("T") ? models.first() : models.last();
    QCOMPARE(typed.modelName, text);
    QCOMPARE(typed.modelDefinition, text);
    QList<HolidayRow> holidays;
    QVERIFY(!HolidayRecords::listHolidays(path, holidays).isValid());
    QCOMPARE(holidays.first().comment, text);

    // Lookups by text find the row by its exact value.
    {
        ProjectDatabase db(path);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QSet<int> keys;
        QVERIFY(UserRecords::usersOfGroup(q, text, keys));
        QCOMPARE(keys, QSet<int>{key});
        QVERIFY(EntryRecords::entriesOfArea(q, text, keys));
        QCOMPARE(keys.size(), 1);
    }
    QVERIFY(!UserRecords::renameGroup(path, text + QStringLiteral("'2"), text).isValid());
    QCOMPARE(UserRecords::distinctGroups(path), QStringList{text + QStringLiteral("'2")});
    QVERIFY(!EntryRecords::renameArea(path, QStringLiteral("Plain"), text).isValid());
    QCOMPARE(EntryRecords::distinctAreas(path), QStringList{QStringLiteral("Plain")});
}

void TestRecords::controlCharactersInNamesRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    QTest::newRow("plain") << "Ann" << true;
    QTest::newRow("NUL byte") << QString::fromLatin1("An\0n", 4) << false;
    QTest::newRow("tab") << "An\tn" << false;
    QTest::newRow("line feed") << "An\nn" << false;
}

void TestRecords::controlCharactersInNamesRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, stored);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    QCOMPARE(
        UserRecords::addUser(path, user(name, QStringLiteral("B"), QStringLiteral("G"))).isValid(),
        !stored);
    QCOMPARE(
        UserRecords::addUser(path, user(QStringLiteral("C"), QStringLiteral("D"), name)).isValid(),
        !stored);
    QCOMPARE(EntryRecords::addEntry(path, entry(name, QStringLiteral("Area"))).isValid(), !stored);
    QCOMPARE(EntryRecords::addEntry(path, entry(QStringLiteral("Door"), name)).isValid(), !stored);
    UserRow edited = user(QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("G"));
    QVERIFY(!UserRecords::addUser(path, edited, &edited.pkUsers).isValid());
    edited.firstName = name;
    QCOMPARE(UserRecords::editUser(path, edited).isValid(), !stored);
}

void TestRecords::userSortClauses_data()
{
    QTest::addColumn<int>("sortKey");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("order");
    // Null sorts before every text in SQLite: first ascending, last descending.
    QTest::newRow("name asc") << 0 << true << strings({"Ahl", "Bro", "Cid"});
    QTest::newRow("name desc") << 0 << false << strings({"Cid", "Bro", "Ahl"});
    QTest::newRow("unknown key is name") << 42 << true << strings({"Ahl", "Bro", "Cid"});
    QTest::newRow("group asc") << 1 << true << strings({"Cid", "Ahl", "Bro"});
    QTest::newRow("short idd asc, null first") << 3 << true << strings({"Bro", "Cid", "Ahl"});
    QTest::newRow("short idd desc, null last") << 3 << false << strings({"Ahl", "Cid", "Bro"});
    QTest::newRow("long idd asc, null first") << 5 << true << strings({"Cid", "Ahl", "Bro"});
    QTest::newRow("long idd desc") << 5 << false << strings({"Bro", "Ahl", "Cid"});
    QTest::newRow("comment desc") << 2 << false << strings({"Bro", "Ahl", "Cid"});
}

void TestRecords::userSortClauses()
{
    QFETCH(int, sortKey);
    QFETCH(bool, ascending);
    QFETCH(QStringList, order);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    UserRow a = user(QStringLiteral("Ahl"), QStringLiteral("A"), QStringLiteral("Gb"),
                     QStringLiteral("ff-04"), QStringLiteral("3000aa-84"));
    a.commentUser = QStringLiteral("m");
    UserRow b = user(QStringLiteral("Bro"), QStringLiteral("B"), QStringLiteral("Gc"), QString(),
                     QStringLiteral("3000bb-84"));
    b.commentUser = QStringLiteral("z");
    UserRow c = user(QStringLiteral("Cid"), QStringLiteral("C"), QStringLiteral("Ga"),
                     QStringLiteral("0a-04"));
    for (const UserRow &row : {c, a, b})
        QVERIFY(!UserRecords::addUser(path, row).isValid());
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(path, sortKey, ascending, rows).isValid());
    QCOMPARE(familyNames(rows), order);
}

void TestRecords::entryAndModelSortClauses()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("B"), QStringLiteral("x"),
                                                QStringLiteral("127.0.0.9"), 2, 101))
                 .isValid());
    QVERIFY(
        !EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("y"))).isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("x"),
                                                QStringLiteral("127.0.0.9"), 1, 100))
                 .isValid());
    auto names = [&](int key, bool asc) {
        QList<EntryRow> rows;
        EntryRecords::listEntries(path, key, asc, rows);
        QStringList out;
        for (const EntryRow &row : rows)
            out << row.areaName + row.doorName;
        return out;
    };
    QCOMPARE(names(0, true), (strings({"Ax", "Ay", "Bx"})));
    QCOMPARE(names(2, true), (strings({"Ay", "Ax", "Bx"})));
    QCOMPARE(names(2, false), (strings({"Bx", "Ax", "Ay"})));
    QCOMPARE(names(3, false), (strings({"Bx", "Ax", "Ay"})));

    QList<EntryBoardRow> board;
    QVERIFY(!EntryRecords::listEntriesForBoard(path, board).isValid());
    QCOMPARE(board.size(), 3);
    QCOMPARE(board.first().areaName + board.first().doorName, QStringLiteral("Ax"));

    QVERIFY(
        !TimeModelRecords::addTimeModel(
             path, model(QStringLiteral("AAA"), QStringLiteral("Zulu"), QStringLiteral("*-*-*")))
             .isValid());
    QList<TimeModelRow> models;
    QVERIFY(!TimeModelRecords::listTimeModels(path, 0, models).isValid());
    QCOMPARE(models.first().modelTag, QStringLiteral("***"));
    QVERIFY(!TimeModelRecords::listTimeModels(path, 1, models).isValid());
    QCOMPARE(models.first().modelName, QStringLiteral("Always"));
    QVERIFY(!TimeModelRecords::listTags(path, models).isValid());
    QCOMPARE(models.size(), 2);
    QVERIFY(models.last().modelDefinition.isEmpty());
}

void TestRecords::removalCascades_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("rightsLeft");
    QTest::addColumn<QSet<int>>("markedDoors");
    // Two users x two entries, user 1 with model 2 at both, user 2 with model 1 at entry 1.
    QTest::newRow("user") << "user" << 1 << QSet<int>{1, 2};
    QTest::newRow("entry") << "entry" << 1 << QSet<int>{};
    QTest::newRow("time model") << "model" << 1 << QSet<int>{1, 2};
}

void TestRecords::removalCascades()
{
    QFETCH(QString, kind);
    QFETCH(int, rightsLeft);
    QFETCH(QSet<int>, markedDoors);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int u1 = 0, u2 = 0, e1 = 0, e2 = 0, t2 = 0;
    QVERIFY(
        !UserRecords::addUser(path, user(QStringLiteral("U1"), QString(), QStringLiteral("G")), &u1)
             .isValid());
    QVERIFY(
        !UserRecords::addUser(path, user(QStringLiteral("U2"), QString(), QStringLiteral("G")), &u2)
             .isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("1")), &e1)
                 .isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("2")), &e2)
                 .isValid());
    QVERIFY(
        !TimeModelRecords::addTimeModel(
             path, model(QStringLiteral("T"), QStringLiteral("T"), QStringLiteral("*-*-*")), &t2)
             .isValid());
    QVERIFY(!AccessRights::changeBoardCell(path, {u1}, {e1, e2}, t2).isValid());
    QVERIFY(!AccessRights::changeBoardCell(path, {u2}, {e1}, 1).isValid());
    QVERIFY(!AccessRights::setNeedsUpdate(path, {e1, e2}, false).isValid());

    QSet<int> marked;
    QSqlError error;
    QString table;
    int key = 0;
    if (kind == QLatin1String("user")) {
        error = UserRecords::removeUser(path, u1, &marked);
        table = QStringLiteral("users where PKusers=");
        key = u1;
    } else if (kind == QLatin1String("entry")) {
        error = EntryRecords::removeEntry(path, e1);
        table = QStringLiteral("doors where PKdoors=");
        key = e1;
    } else {
        error = TimeModelRecords::removeTimeModel(path, t2, &marked);
        table = QStringLiteral("times where PKtimes=");
        key = t2;
    }
    QVERIFY2(!error.isValid(), qPrintable(error.text()));
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from ") + table + QString::number(key)),
             0);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from access")), rightsLeft);
    QCOMPARE(marked, markedDoors);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where needsUpdate=1")),
             markedDoors.size());
}

void TestRecords::removalIsAllOrNothing()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int u = 0, e = 0, t = 0;
    QVERIFY(
        !UserRecords::addUser(path, user(QStringLiteral("U"), QString(), QStringLiteral("G")), &u)
             .isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("1")), &e)
                 .isValid());
    QVERIFY(!TimeModelRecords::addTimeModel(
                 path, model(QStringLiteral("T"), QStringLiteral("T"), QStringLiteral("*-*-*")), &t)
                 .isValid());
    QVERIFY(!AccessRights::changeBoardCell(path, {u}, {e}, t).isValid());
    QVERIFY(!AccessRights::setNeedsUpdate(path, {e}, false).isValid());
    const bool server = TestSupport::onServer();
    QVERIFY(!server ||
            run(path, QStringLiteral("create function keep() returns trigger language "
                                     "plpgsql as $$begin raise exception 'kept'; end$$")));
    for (const char *table : {"users", "doors", "times"}) {
        QVERIFY(run(path, (server ? QStringLiteral("create trigger keep_%1 before delete on %1 for "
                                                   "each row execute function keep()")
                                  : QStringLiteral("create trigger keep_%1 before delete on %1 "
                                                   "begin select raise(abort,'kept'); end"))
                              .arg(QLatin1String(table))));
    }
    QVERIFY(UserRecords::removeUser(path, u).isValid());
    QVERIFY(EntryRecords::removeEntry(path, e).isValid());
    QVERIFY(TimeModelRecords::removeTimeModel(path, t).isValid());
    // The rights survive the failed removals, and nothing was marked.
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from access")), 1);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where needsUpdate=1")), 0);

    // Statement level: the caller still reads the failure from its query.
    ProjectDatabase db(path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(!UserRecords::removeUser(q, u));
    QVERIFY2(q.lastError().text().contains(QStringLiteral("kept")),
             qPrintable(q.lastError().text()));
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from access")), 1);
}

void TestRecords::upcomingHolidays()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    const QDate today = QDate::currentDate();
    for (int offset : {400, -1, 0, 1, -400}) {
        const QString date = today.addDays(offset).toString(HolidayRecords::DateFormat);
        QVERIFY(!HolidayRecords::addHoliday(path, {0, date, QString::number(offset)}).isValid());
    }
    QList<HolidayRow> rows;
    QVERIFY(!HolidayRecords::listUpcomingHolidays(path, rows).isValid());
    QStringList comments;
    for (const HolidayRow &row : rows)
        comments << row.comment;
    QCOMPARE(comments, (strings({"0", "1", "400"})));

    QVERIFY(!HolidayRecords::listHolidays(path, rows).isValid());
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.first().comment, QStringLiteral("-400"));
    HolidayRow moved = rows.first();
    moved.date = QStringLiteral("2099.01.01");
    QVERIFY(!HolidayRecords::editHoliday(path, moved).isValid());
    QVERIFY(!HolidayRecords::listUpcomingHolidays(path, QDate(2098, 12, 31), rows).isValid());
    QCOMPARE(rows.size(), 1);
    QVERIFY(!HolidayRecords::removeHoliday(path, moved.pkHolidays).isValid());
    QVERIFY(!HolidayRecords::listUpcomingHolidays(path, QDate(2098, 12, 31), rows).isValid());
    QVERIFY(rows.isEmpty());
}

void TestRecords::groupsAreasAndCounts()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int users = -5, entries = -5, models = -5;
    QVERIFY(RecordCounts::read(path, &users, &entries, &models));
    QCOMPARE(users, 0);
    QCOMPARE(entries, 0);
    QCOMPARE(models, 1);
    QVERIFY(!UserRecords::addUser(path, user(QStringLiteral("A"), QString(), QStringLiteral("G1")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(path, user(QStringLiteral("B"), QString(), QStringLiteral("G1")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(path, user(QStringLiteral("C"), QString(), QStringLiteral("G2")))
                 .isValid());
    users = -5;
    QVERIFY(RecordCounts::read(path, &users));
    QCOMPARE(users, 3);
    QStringList groups = UserRecords::distinctGroups(path);
    groups.sort();
    QCOMPARE(groups, (strings({"G1", "G2"})));

    QList<UserRow> board;
    QVERIFY(!UserRecords::listUsersForBoard(path, board).isValid());
    QCOMPARE(familyNames(board), (strings({"A", "B", "C"})));
    QCOMPARE(board.last().groupName, QStringLiteral("G2"));

    const QString missing = project.folder() + QStringLiteral("/none/x.sqlite3");
    QVERIFY(!RecordCounts::read(missing, &users));
    QVERIFY(UserRecords::distinctGroups(missing).isEmpty());
    QVERIFY(UserRecords::listUsers(missing, 0, true, board).isValid());
    QVERIFY(board.isEmpty());
}

void TestRecords::entryReaderQueries()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    EntryRow drive = entry(QStringLiteral("A"), QStringLiteral("Drive"), QString(), 0x10000 | 10001,
                           100, QStringLiteral("AB12CD34"));
    drive.readerConfig = QStringLiteral("cfg");
    int driveKey = 0;
    QVERIFY(!EntryRecords::addEntry(path, drive, &driveKey).isValid());
    QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("A"), QStringLiteral("Net"),
                                                QStringLiteral("127.0.0.3"), 10001, 100,
                                                QStringLiteral("00000001")))
                 .isValid());
    QStringList serials;
    QVERIFY(!EntryRecords::flashDriveReaders(path, serials).isValid());
    QCOMPARE(serials, QStringList{QStringLiteral("AB12CD34")});
    QString config;
    QVERIFY(!EntryRecords::readerConfigOfEntry(path, driveKey, config).isValid());
    QCOMPARE(config, QStringLiteral("cfg"));
    QVERIFY(!EntryRecords::readerConfigOfEntry(path, 999, config).isValid());
    QVERIFY(config.isEmpty());

    ProjectDatabase db(path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    int found = 0;
    QVERIFY(EntryRecords::findEntryByReader(q, QStringLiteral("AB12CD34"), &found));
    QCOMPARE(found, driveKey);
    QVERIFY(!EntryRecords::findEntryByReader(q, QStringLiteral("AB12CD34' or '1'='1"), &found));
    QCOMPARE(EntryRecords::countEntries(q), 2);
}

void TestRecords::editEntryMarksOnNewReader()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int key = 0;
    EntryRow row = entry(QStringLiteral("A"), QStringLiteral("1"), QString(), 0, 100,
                         QStringLiteral("11111111"));
    QVERIFY(!EntryRecords::addEntry(path, row, &key).isValid());
    row.pkDoors = key;
    bool marked = true;
    row.commentDoor = QStringLiteral("only the comment");
    QVERIFY(!EntryRecords::editEntry(path, row, &marked).isValid());
    QVERIFY(!marked);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where needsUpdate=1")), 0);
    row.readerSerNo = QStringLiteral("22222222");
    QVERIFY(!EntryRecords::editEntry(path, row, &marked).isValid());
    QVERIFY(marked);
    QCOMPARE(scalar(path, QStringLiteral("select count(*) from doors where needsUpdate=1")), 1);
}

void TestRecords::importedUsers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<QString>("shortText");
    QTest::addColumn<QString>("longText");
    QTest::newRow("short-range typed")
        << QByteArray::fromHex("0a0b0c0d") << 3 << false << "0a0b0c0d-03" << QString();
    QTest::newRow("short-range without type")
        << QByteArray::fromHex("0a0b0c0d") << 0 << false << "0a0b0c0d-04" << QString();
    QTest::newRow("long-range without type")
        << QByteArray::fromHex("1000beef") << 0 << true << QString() << "1000beef-84";
}

void TestRecords::importedUsers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, type);
    QFETCH(bool, longRange);
    QFETCH(QString, shortText);
    QFETCH(QString, longText);
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    QVERIFY(!UserRecords::addUser(path,
                                  user(QStringLiteral("Existing"), QString(), QStringLiteral("G")))
                 .isValid());
    int key = 0;
    QVERIFY(!UserRecords::addImportedUser(path, TransponderIdd(bytes, type), longRange, &key)
                 .isValid());
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(path, 0, true, rows).isValid());
    QCOMPARE(rows.last().pkUsers, key);
    QCOMPARE(rows.last().familyName, QStringLiteral("Import2"));
    QCOMPARE(rows.last().firstName, QStringLiteral("Import2"));
    QCOMPARE(rows.last().groupName, QStringLiteral("Import Transponder"));
    QCOMPARE(rows.last().iddIso14443, shortText);
    QCOMPARE(rows.last().iddClass1Gen2, longText);
    QCOMPARE(rows.last().commentUser, QStringLiteral(""));
    QVERIFY(!rows.last().commentUser.isNull());
}

void TestRecords::importedUserNumberSkipsTakenNames()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    int first = 0;
    QVERIFY(
        !UserRecords::addImportedUser(path, TransponderIdd(QByteArray("\x01", 1), 4), false, &first)
             .isValid());
    QVERIFY(!UserRecords::addImportedUser(path, TransponderIdd(QByteArray("\x02", 1), 4), false)
                 .isValid());
    // Two users, "Import1" and "Import2"; after removing the first the count
    // plus one names "Import2" again, which must not make the teach-in fail.
    QVERIFY(!UserRecords::removeUser(path, first).isValid());
    QVERIFY(!UserRecords::addImportedUser(path, TransponderIdd(QByteArray("\x03", 1), 4), false)
                 .isValid());
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(path, 0, true, rows).isValid());
    QCOMPARE(familyNames(rows), (strings({"Import2", "Import3"})));
    QVERIFY(UserRecords::addImportedUser(path, TransponderIdd(), false).isValid());
}

void TestRecords::namesSortByteWiseOnAnyServer_data()
{
    QTest::addColumn<int>("list");
    QTest::newRow("users by name") << 0;
    QTest::newRow("users on the board, by group") << 1;
    QTest::newRow("entries by name") << 2;
}

void TestRecords::namesSortByteWiseOnAnyServer()
{
    KX_REQUIRE_SERVER();
    QFETCH(int, list);
    // A server database whose locale sorts as people do ("apple" before
    // "Zebra"); the folder kind sorts byte by byte.
    TestSupport::TempProject plain(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    ServerConnection connection = ServerConnection::read(plain.databasePath(), nullptr);
    connection.database += QStringLiteral("_icu");
    QVERIFY(run(plain.databasePath(),
                QStringLiteral("create database %1 template template0 locale_provider icu "
                               "icu_locale 'en-US'")
                    .arg(connection.database)));
    const auto dropped = qScopeGuard([&] {
        run(plain.databasePath(),
            QStringLiteral("drop database %1 with (force)").arg(connection.database));
    });
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Site");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(connection.write(ServerConnection::filePathForProject(folder), nullptr));
    const QString path = ProjectDatabase::databasePathForProject(folder);
    QVERIFY(!ProjectSchema::createProjectDatabase(path).isValid());

    const QStringList names = strings({"zoo", "Äpfel", "apple", "_under", "Zebra"});
    for (const QString &name : names) {
        QVERIFY(!UserRecords::addUser(path, user(name, QStringLiteral("A"), name)).isValid());
        QVERIFY(!EntryRecords::addEntry(path, entry(QStringLiteral("E"), name)).isValid());
    }
    QStringList shown;
    if (list == 2) {
        QList<EntryRow> rows;
        QVERIFY(!EntryRecords::listEntries(path, 0, true, rows).isValid());
        for (const EntryRow &row : qAsConst(rows))
            shown << row.doorName;
    } else {
        QList<UserRow> rows;
        QVERIFY(!(list == 0 ? UserRecords::listUsers(path, 0, true, rows)
                            : UserRecords::listUsersForBoard(path, rows))
                     .isValid());
        shown = familyNames(rows);
    }
    QCOMPARE(shown, strings({"Zebra", "_under", "apple", "zoo", "Äpfel"}));
}

KX_TEST_MAIN(TestRecords)
#include "tst_records.moc"

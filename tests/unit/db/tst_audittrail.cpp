// The audit trail: every change of the engine leaves one record with what was
// before and after, on the change's own transaction; undo and redo name what
// they take back; a failed change leaves none; the table refuses changes; the
// order is the sequence, whatever the clock says; the history reads it in
// pages, newest first.
#include "db/accessrights.h"
#include "db/audithistory.h"
#include "db/audittrailmodel.h"
#include "db/boardchange.h"
#include "db/boardrename.h"
#include "db/entryrecords.h"
#include "db/holidayimport.h"
#include "db/holidayrecords.h"
#include "db/projectparameters.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "dbtesthelpers.h"
#include "support/testsupport.h"
#include "userlist/myimportusers.h"
#include "userlist/userlistsync.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QThread>

#include <functional>

namespace {

// Ames (Staff, a right with DAY at Hall/Gate) and Bell (Staff), the entries
// Hall/Gate and Hall/Side, the model DAY and one holiday.
struct Site
{
    TestSupport::TempProject project;
    QString path;
    int ames = 0;
    int bell = 0;
    int gate = 0;
    int side = 0;
    int day = 0;
    int holiday = 0;

    Site()
    {
        path = project.databasePath();
        ProjectParameters defaults;
        defaults.databasePath = path;
        defaults.saveProjectParameters();
        const auto user = [&](const char *last, const char *first, int *key) {
            UserRow u;
            u.familyName = QLatin1String(last);
            u.firstName = QLatin1String(first);
            u.groupName = QStringLiteral("Staff");
            UserRecords::addUser(path, u, key);
        };
        user("Ames", "Al", &ames);
        user("Bell", "Bo", &bell);
        const auto entry = [&](const char *name, int *key) {
            EntryRow e;
            e.areaName = QStringLiteral("Hall");
            e.doorName = QLatin1String(name);
            EntryRecords::addEntry(path, e, key);
        };
        entry("Gate", &gate);
        entry("Side", &side);
        TimeModelRecords::addTimeModel(
            path,
            {0, QStringLiteral("DAY"), QStringLiteral("Day"), QStringLiteral("mon-06:00-18:00")},
            &day);
        AccessRights::changeBoardCell(path, {ames}, {gate}, day);
        HolidayRecords::addHoliday(path, {0, QStringLiteral("2030.12.25"), QString()}, &holiday);
    }
};

using Change = std::function<QSqlError(Site &site)>;

UserRow user(int key, const char *last, const char *first, const char *group)
{
    UserRow row;
    row.pkUsers = key;
    row.familyName = QLatin1String(last);
    row.firstName = QLatin1String(first);
    row.groupName = QLatin1String(group);
    return row;
}

QList<AuditRecord> records(const QString &path)
{
    QList<AuditRecord> all;
    bool more = false;
    AuditHistory::readPage(path, AuditHistory::Filter(), 0, 1000, 0, all, &more);
    return all;
}

AuditRecord newest(const QString &path)
{
    return records(path).value(0);
}

QString userList(const QString &path, const QString &text)
{
    const QString file = QFileInfo(path).absolutePath() + QStringLiteral("/list.csv");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) != text.toUtf8().size())
        return QString();
    return file;
}

} // namespace

Q_DECLARE_METATYPE(Change)
// The i-th change of workstation w on the project.
using Append = std::function<QSqlError(const QString &path, int w, int i)>;
Q_DECLARE_METATYPE(Append)

class TestAuditTrail : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { AuditTrail::setClockForTest({}); }
    void recordsEachChange_data();
    void recordsEachChange();
    void undoAndRedoNameWhatTheyTakeBack_data();
    void undoAndRedoNameWhatTheyTakeBack();
    void failedChangeRecordsNothing_data();
    void failedChangeRecordsNothing();
    void guardsRefuseChanges();
    void orderIsTheSequenceNotTheClock();
    void historyReadsPagesNewestFirst();
    void operatorsListedOnceEach();
    void filtersIgnoreLetterCase_data();
    void filtersIgnoreLetterCase();
    void twoWorkstationsKeepOneChain_data();
    void twoWorkstationsKeepOneChain();
};

void TestAuditTrail::recordsEachChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("subjects"); // users, then entries

    QTest::newRow("user added") << Change([](Site &s) {
        UserRow u;
        u.familyName = QStringLiteral("Cole");
        u.firstName = QStringLiteral("Cy");
        u.groupName = QStringLiteral("Guests");
        return UserRecords::addUser(s.path, u);
    }) << "add"
                                << "user"
                                << "Cole, Cy"
                                << ""
                                << R"({"firstName":"Cy","group":"Guests","lastName":"Cole"})"
                                << strings({"Cole, Cy"});
    QTest::newRow("user's identifier changed") << Change([](Site &s) {
        UserRow u = user(s.ames, "Ames", "Al", "Staff");
        u.iddIso14443 = QStringLiteral("0a0b0c0d-04");
        return UserRecords::editUser(s.path, u);
    }) << "change"
                                               << "user"
                                               << "Ames, Al"
                                               << ""
                                               << R"({"shortRange":"0a0b0c0d-04"})"
                                               << strings({"Ames, Al"});
    QTest::newRow("user removed with a right")
        << Change([](Site &s) { return UserRecords::removeUser(s.path, s.ames); }) << "remove"
        << "user"
        << "Ames, Al"
        << R"({"firstName":"Al","group":"Staff","lastName":"Ames","rights":1})"
        << "" << strings({"Ames, Al", "Hall/Gate"});
    QTest::newRow("entry's connection changed") << Change([](Site &s) {
        EntryRow e;
        e.pkDoors = s.side;
        e.areaName = QStringLiteral("Hall");
        e.doorName = QStringLiteral("Side");
        e.ipAddr = QStringLiteral("127.0.0.5");
        e.port = 10001;
        int key = s.side;
        return EntryRecords::saveEntry(s.path, e, &key);
    }) << "change"
                                                << "entry"
                                                << "Hall/Side"
                                                << ""
                                                << R"({"address":"127.0.0.5","port":10001})"
                                                << strings({"Hall/Side"});
    QTest::newRow("entry's address from the network setup")
        << Change([](Site &s) {
               return EntryRecords::setReaderAddress(s.path, s.gate, QStringLiteral("127.0.0.9"),
                                                     4001);
           })
        << "change"
        << "entry"
        << "Hall/Gate"
        << ""
        << R"({"address":"127.0.0.9","port":4001})" << strings({"Hall/Gate"});
    QTest::newRow("entry removed with a right")
        << Change([](Site &s) { return EntryRecords::removeEntry(s.path, s.gate); }) << "remove"
        << "entry"
        << "Hall/Gate"
        << R"({"area":"Hall","name":"Gate","rights":1})"
        << "" << strings({"Ames, Al", "Hall/Gate"});
    QTest::newRow("group renamed") << Change([](Site &s) {
        BoardRename done;
        return BoardRename::rename(s.path, BoardRename::Group, QStringLiteral("Staff"),
                                   QStringLiteral("Crew"), done);
    }) << "rename"
                                   << "group"
                                   << "Staff"
                                   << R"({"name":"Staff"})"
                                   << R"({"name":"Crew"})" << strings({"Ames, Al", "Bell, Bo"});
    QTest::newRow("area renamed") << Change([](Site &s) {
        return EntryRecords::renameArea(s.path, QStringLiteral("Yard"), QStringLiteral("Hall"));
    }) << "rename"
                                  << "area"
                                  << "Hall"
                                  << R"({"name":"Hall"})"
                                  << R"({"name":"Yard"})"
                                  << strings({"Hall/Gate", "Hall/Side", "Yard/Gate", "Yard/Side"});
    QTest::newRow("time model's periods changed") << Change([](Site &s) {
        return TimeModelRecords::editTimeModel(s.path,
                                               {s.day, QStringLiteral("DAY"), QStringLiteral("Day"),
                                                QStringLiteral("tue-06:00-18:00")});
    }) << "change"
                                                  << "model"
                                                  << "DAY"
                                                  << R"({"definition":"mon-06:00-18:00"})"
                                                  << R"({"definition":"tue-06:00-18:00"})"
                                                  << QStringList();
    QTest::newRow("time model removed with its rights")
        << Change([](Site &s) { return TimeModelRecords::removeTimeModel(s.path, s.day); })
        << "remove"
        << "model"
        << "DAY"
        << R"({"definition":"mon-06:00-18:00","name":"Day","rights":1,"tag":"DAY"})"
        << "" << strings({"Ames, Al", "Hall/Gate"});
    QTest::newRow("holiday's date changed") << Change([](Site &s) {
        return HolidayRecords::editHoliday(
            s.path, {s.holiday, QStringLiteral("2030.12.26"), QStringLiteral("moved")});
    }) << "change"
                                            << "holiday"
                                            << "2030.12.26"
                                            << R"({"date":"2030.12.25"})"
                                            << R"({"comment":"moved","date":"2030.12.26"})"
                                            << QStringList();
    QTest::newRow("holiday removed")
        << Change([](Site &s) { return HolidayRecords::removeHoliday(s.path, s.holiday); })
        << "remove"
        << "holiday"
        << "2030.12.25"
        << R"({"date":"2030.12.25"})"
        << "" << QStringList();
    QTest::newRow("public holidays added") << Change([](Site &s) {
        return HolidayImport::addHolidays(s.path,
                                          {{0, QStringLiteral("2031.01.01"), QString()},
                                           {0, QStringLiteral("2030.12.25"), QString()}},
                                          QStringLiteral("DE"), QDate(2030, 1, 1), 255, nullptr);
    }) << "import"
                                           << "holiday"
                                           << "DE"
                                           << ""
                                           << R"({"added":["2031.01.01"],"region":"DE"})"
                                           << QStringList();
    QTest::newRow("project settings changed") << Change([](Site &s) {
        ProjectParameters params;
        params.databasePath = s.path;
        params.loadProjectParameters();
        ProjectParameters next = params;
        next.uhfIddLength = 10;
        next.siteTimeZone = QStringLiteral("Europe/Vienna");
        return params.saveSettings(next);
    }) << "change"
                                              << "settings"
                                              << "Plant"
                                              << R"({"timeZone":"","uhfLength":12})"
                                              << R"({"timeZone":"Europe/Vienna","uhfLength":10})"
                                              << QStringList();
    QTest::newRow("short range length widened") << Change([](Site &s) {
        ProjectParameters params;
        params.databasePath = s.path;
        params.loadProjectParameters();
        return params.changeHfIddLength(8);
    }) << "change"
                                                << "settings"
                                                << "Plant"
                                                << R"({"hfLength":7})"
                                                << R"({"hfLength":8,"widened":0})" << QStringList();
    QTest::newRow("rights set on a block")
        << Change([](Site &s) {
               BoardChange change;
               BoardChange::prepare(s.path, {s.ames, s.bell}, {s.gate}, 1, change);
               return change.apply(s.path);
           })
        << "set"
        << "rights"
        << "***"
        << R"({"users":["Ames, Al","Bell, Bo"],"entries":["Hall/Gate"],"models":["DAY"],"cells":["0","-"]})"
        << R"({"entries":1,"model":"***","rights":2,"users":2})"
        << strings({"Ames, Al", "Bell, Bo", "Hall/Gate"});
    QTest::newRow("rights removed")
        << Change([](Site &s) {
               return AccessRights::changeBoardCell(s.path, {s.ames, s.bell}, {s.gate, s.side}, 0);
           })
        << "remove"
        << "rights"
        << ""
        << R"({"users":["Ames, Al"],"entries":["Hall/Gate"],"models":["DAY"],"cells":["0"]})"
        << R"({"entries":1,"model":null,"rights":1,"users":1})"
        << strings({"Ames, Al", "Hall/Gate"});
    QTest::newRow("user list imported") << Change([](Site &s) {
        MyImportUsers list(userList(s.path, QStringLiteral("LastName;FirstName\r\nDunn;Di\r\n"
                                                           "Ames;Al\r\n")));
        list.assignStandardColumns(list.readHeader());
        int count = 0;
        return list.importUsers(s.path, 7, 12, count);
    }) << "import"
                                        << "userlist"
                                        << "list.csv"
                                        << ""
                                        << "" // the file's path, tested below
                                        << strings({"Dunn, Di"});
    QTest::newRow("user list synchronised")
        << Change([](Site &s) {
               const QString file = userList(
                   s.path, QStringLiteral("LastName;FirstName;UserGroup\r\nAmes;Al;Night\r\n"));
               MyImportUsers list(file);
               list.assignStandardColumns(list.readHeader());
               QList<MyImportUsers::LineUser> listed;
               QString problem;
               list.readUsers(7, 12, listed, &problem);
               QList<UserListSync::Step> steps;
               return UserListSync::apply(s.path, listed, true, steps, nullptr, file);
           })
        << "sync"
        << "userlist"
        << "list.csv"
        << R"({"users":{"Ames, Al":{"group":"Staff"},"Bell, Bo":{"firstName":"Bo","group":"Staff","lastName":"Bell"}}})"
        << "" << strings({"Ames, Al", "Bell, Bo"});
}

void TestAuditTrail::recordsEachChange()
{
    QFETCH(Change, change);
    QFETCH(QString, action);
    QFETCH(QString, kind);
    QFETCH(QString, object);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QStringList, subjects);
    Site site;
    const qint64 last = newest(site.path).sequence;
    QVERIFY(last > 0);
    const QSqlError error = change(site);
    QVERIFY2(!error.isValid(), qPrintable(error.text()));

    const QList<AuditRecord> all = records(site.path);
    QCOMPARE(all.size(), int(last) + 1); // one change, one record
    const AuditRecord record = all.first();
    QCOMPARE(record.sequence, last + 1);
    QCOMPARE(record.action, action);
    QCOMPARE(record.objectKind, kind);
    QCOMPARE(record.objectName, object);
    QCOMPARE(record.valuesBefore, before);
    if (kind == AuditTrail::Kind::UserList)
        QVERIFY2(record.valuesAfter.contains(QStringLiteral("list.csv\",")),
                 qPrintable(record.valuesAfter));
    else
        QCOMPARE(record.valuesAfter, after);
    QCOMPARE(record.users + record.entries, subjects);
    QCOMPARE(record.operatorName, AuditTrail::folderOperator());
    QCOMPARE(record.program, QCoreApplication::applicationName());
    QVERIFY(!record.programVersion.isEmpty());
    QVERIFY(qAbs(record.recordedAt.secsTo(QDateTime::currentDateTimeUtc())) < 600);
}

void TestAuditTrail::undoAndRedoNameWhatTheyTakeBack_data()
{
    QTest::addColumn<bool>("rename");
    QTest::newRow("board change") << false;
    QTest::newRow("group rename") << true;
}

void TestAuditTrail::undoAndRedoNameWhatTheyTakeBack()
{
    QFETCH(bool, rename);
    Site site;
    BoardChange change;
    BoardRename renamed;
    QSqlError error;
    if (rename) {
        error = BoardRename::rename(site.path, BoardRename::Group, QStringLiteral("Staff"),
                                    QStringLiteral("Crew"), renamed);
    } else {
        error = BoardChange::prepare(site.path, {site.ames, site.bell}, {site.gate}, 1, change);
        if (!error.isValid())
            error = change.apply(site.path);
    }
    QVERIFY(!error.isValid());
    const qint64 done = newest(site.path).sequence;
    QCOMPARE(rename ? renamed.lastRecord() : change.lastRecord(), done);
    QVERIFY(!(rename ? renamed.revert(site.path) : change.revert(site.path)).isValid());
    const AuditRecord undo = newest(site.path);
    QVERIFY(!(rename ? renamed.apply(site.path) : change.apply(site.path)).isValid());
    const AuditRecord redo = newest(site.path);

    QCOMPARE(undo.action, QStringLiteral("undo"));
    QCOMPARE(undo.reverses, done);
    QCOMPARE(redo.action, QStringLiteral("redo"));
    QCOMPARE(redo.reverses, undo.sequence);
    QCOMPARE(redo.sequence, undo.sequence + 1);
    if (rename) {
        QCOMPARE(undo.valuesAfter, QStringLiteral(R"({"name":"Staff"})"));
        QCOMPARE(redo.valuesAfter, QStringLiteral(R"({"name":"Crew"})"));
    } else {
        // The undo gives Ames back DAY and takes Bell's right.
        QString was, is;
        QVERIFY(AuditHistory::rightsOfPair(undo, QStringLiteral("Ames, Al"),
                                           QStringLiteral("Hall/Gate"), &was, &is));
        QCOMPARE(was + QLatin1Char('>') + is, QStringLiteral("***>DAY"));
        QVERIFY(AuditHistory::rightsOfPair(undo, QStringLiteral("Bell, Bo"), QStringLiteral("Gate"),
                                           &was, &is));
        QCOMPARE(was + QLatin1Char('>') + is, QStringLiteral("***>"));
        QVERIFY(AuditHistory::rightsOfPair(redo, QStringLiteral("Bell, Bo"),
                                           QStringLiteral("Hall/Gate"), &was, &is));
        QCOMPARE(was + QLatin1Char('>') + is, QStringLiteral(">***"));
    }
}

void TestAuditTrail::failedChangeRecordsNothing_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("a name taken") << Change([](Site &s) {
        const UserRow u = user(0, "Ames", "Al", "Staff");
        return UserRecords::addUser(s.path, u);
    });
    QTest::newRow("an entry with a line break") << Change([](Site &s) {
        EntryRow e;
        e.areaName = QStringLiteral("Hall");
        e.doorName = QStringLiteral("Back\nDoor");
        return EntryRecords::addEntry(s.path, e);
    });
    QTest::newRow("the built-in model")
        << Change([](Site &s) { return TimeModelRecords::removeTimeModel(s.path, 1); });
    QTest::newRow("a stale board change") << Change([](Site &s) {
        BoardChange change;
        BoardChange::prepare(s.path, {s.bell}, {s.gate}, s.day, change);
        run(s.path, QStringLiteral("update users set firstName='Ben' where familyName='Bell'"));
        return change.apply(s.path);
    });
    QTest::newRow("a model that does not exist") << Change(
        [](Site &s) { return AccessRights::changeBoardCell(s.path, {s.bell}, {s.gate}, 999); });
    QTest::newRow("settings refused") << Change([](Site &s) {
        ProjectParameters params;
        params.databasePath = s.path;
        params.loadProjectParameters();
        ProjectParameters next = params;
        next.haveHfReader = next.haveUhfReader = false;
        return params.saveSettings(next);
    });
}

void TestAuditTrail::failedChangeRecordsNothing()
{
    QFETCH(Change, change);
    Site site;
    const QList<AuditRecord> before = records(site.path);
    QVERIFY(change(site).isValid());
    const QList<AuditRecord> after = records(site.path);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.first().hash, before.first().hash);
}

void TestAuditTrail::guardsRefuseChanges()
{
    Site site;
    ProjectDatabase db(site.path);
    QVERIFY(db.open());
    QSqlQuery query = db.query();
    QVERIFY(!query.exec(QStringLiteral("update auditTrail set operatorName='someone'")));
    QVERIFY(query.lastError().text().contains(QStringLiteral("cannot be changed")));
    QVERIFY(!query.exec(QStringLiteral("delete from auditTrail where seq=1")));
    QVERIFY(query.lastError().text().contains(QStringLiteral("cannot be shortened")));
    AuditHistory::Verification result;
    QVERIFY(!AuditHistory::verify(site.path, result).isValid());
    QVERIFY(result.intact());
    QCOMPARE(result.records, qint64(records(site.path).size()));
}

void TestAuditTrail::orderIsTheSequenceNotTheClock()
{
    Site site;
    // The computer's clock is set back a day between two changes.
    const QDateTime yesterday = QDateTime::currentDateTimeUtc().addDays(-1);
    AuditTrail::setClockForTest([yesterday] { return yesterday; });
    QVERIFY(!HolidayRecords::addHoliday(site.path, {0, QStringLiteral("2031.05.01"), QString()})
                 .isValid());
    const QList<AuditRecord> all = records(site.path);
    QCOMPARE(all.first().objectName, QStringLiteral("2031.05.01"));
    QVERIFY(all.first().recordedAt < all.at(1).recordedAt);
    QCOMPARE(all.first().sequence, all.at(1).sequence + 1);
    AuditHistory::Verification result;
    QVERIFY(!AuditHistory::verify(site.path, result).isValid());
    QVERIFY(result.intact());
    // A period finds it by its time all the same.
    AuditHistory::Filter filter;
    filter.to = yesterday.addSecs(1);
    QList<AuditRecord> found;
    QVERIFY(!AuditHistory::readPage(site.path, filter, 0, 10, 0, found, nullptr).isValid());
    QCOMPARE(found.size(), 1);
}

void TestAuditTrail::historyReadsPagesNewestFirst()
{
    Site site;
    for (int i = 0; i < 2 * AuditTrailModel::PageSize + 10; ++i)
        QVERIFY(
            !HolidayRecords::addHoliday(
                 site.path, {0, QDate(2032, 1, 1).addDays(i).toString(QStringLiteral("yyyy.MM.dd")),
                             QString()})
                 .isValid());
    const int total = records(site.path).size();
    AuditTrailModel model;
    model.setDatabasePath(site.path);
    QCOMPARE(model.rowCount(), int(AuditTrailModel::PageSize));
    QVERIFY(model.canFetchMore(QModelIndex()));
    QCOMPARE(model.data(model.index(0, AuditTrailModel::ObjectColumn)).toString(),
             QDate(2032, 1, 1)
                 .addDays(2 * AuditTrailModel::PageSize + 9)
                 .toString(QStringLiteral("yyyy.MM.dd")));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    while (model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    QCOMPARE(model.rowCount(), total);
    for (int row = 1; row < total; ++row)
        QVERIFY(model.data(model.index(row, 0), AuditTrailModel::SequenceRole).toLongLong() <
                model.data(model.index(row - 1, 0), AuditTrailModel::SequenceRole).toLongLong());

    // One right: a record that names Ames and the gate but left that cell
    // alone is not one of its records.
    BoardChange change;
    QVERIFY(!BoardChange::prepare(site.path, {site.ames, site.bell}, {site.gate, site.side},
                                  site.day, change)
                 .isValid());
    QVERIFY(!change.apply(site.path).isValid());
    AuditHistory::Filter filter;
    filter.user = QStringLiteral("Ames, Al");
    filter.entry = QStringLiteral("Gate");
    model.setFilter(filter);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(model.record(0).sequence < change.lastRecord());
    filter.entry = QStringLiteral("Hall/Side");
    model.setFilter(filter);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.record(0).sequence, change.lastRecord());
}

void TestAuditTrail::operatorsListedOnceEach()
{
    Site site;
    {
        ProjectDatabase db(site.path);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        qint64 seq = newest(site.path).sequence;
        for (const char *name : {"bo@h", "al@h", "bo@h", "cy@x", "al@h"})
            QVERIFY(ProjectDatabase::exec(
                q,
                QStringLiteral("insert into auditTrail (seq,recordedAt,operatorName,program,"
                               "programVersion,action,objectKind,objectName,hash) values "
                               "(?,'',?,'','','','','','')"),
                {++seq, QLatin1String(name)}));
    }
    QStringList names;
    QVERIFY(!AuditHistory::operators(site.path, names).isValid());
    QStringList expected = {QStringLiteral("al@h"), QStringLiteral("bo@h"), QStringLiteral("cy@x"),
                            AuditTrail::folderOperator()};
    expected.sort();
    QCOMPARE(names, expected);
}

void TestAuditTrail::filtersIgnoreLetterCase_data()
{
    QTest::addColumn<int>("field"); // 0 object name, 1 free text, 2 user
    QTest::addColumn<QString>("typed");
    QTest::newRow("object name") << 0 << "hall/GATE";
    QTest::newRow("free text") << 1 << "BELL";
    QTest::newRow("user") << 2 << "ames, al";
}

void TestAuditTrail::filtersIgnoreLetterCase()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    Site site;
    AuditHistory::Filter filter;
    (field == 0 ? filter.objectName : field == 1 ? filter.text : filter.user) = typed;
    QList<AuditRecord> found;
    QVERIFY(!AuditHistory::readPage(site.path, filter, 0, 10, 0, found, nullptr).isValid());
    QVERIFY(!found.isEmpty());
    const AuditRecord &first = found.first();
    const QString shown =
        first.objectName + first.valuesAfter + first.users.join(QLatin1Char('\n'));
    QVERIFY2(shown.contains(typed, Qt::CaseInsensitive), qPrintable(shown));
}

void TestAuditTrail::twoWorkstationsKeepOneChain_data()
{
    QTest::addColumn<Append>("append");
    QTest::addColumn<int>("recordsEach");
    QTest::newRow("holidays added") << Append([](const QString &path, int w, int i) {
        return HolidayRecords::addHoliday(
            path,
            {0, QDate(2040 + w, 1, 1).addDays(i).toString(HolidayRecords::DateFormat), QString()});
    }) << 1;
    QTest::newRow("users added and changed") << Append([](const QString &path, int w, int i) {
        UserRow user;
        user.familyName = QStringLiteral("W%1").arg(w);
        user.firstName = QString::number(i);
        user.groupName = QStringLiteral("Staff");
        QSqlError error = UserRecords::addUser(path, user, &user.pkUsers);
        user.commentUser = QStringLiteral("changed");
        return error.isValid() ? error : UserRecords::editUser(path, user);
    }) << 2;
}

void TestAuditTrail::twoWorkstationsKeepOneChain()
{
    KX_REQUIRE_SERVER();
    QFETCH(Append, append);
    QFETCH(int, recordsEach);
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    const QString path = project.databasePath();
    const int before = records(path).size();
    // Two connections appending at once, as two workstations would.
    constexpr int Changes = 25;
    QStringList failures[2];
    std::unique_ptr<QThread> workers[2];
    for (int w = 0; w < 2; ++w) {
        workers[w].reset(QThread::create([&, w] {
            for (int i = 0; i < Changes; ++i) {
                const QSqlError error = append(path, w, i);
                if (error.isValid())
                    failures[w] << error.text();
            }
        }));
        workers[w]->start();
    }
    for (auto &worker : workers)
        QVERIFY(worker->wait(120000));
    QCOMPARE(failures[0] + failures[1], QStringList());
    AuditHistory::Verification result;
    QVERIFY(!AuditHistory::verify(path, result).isValid());
    QVERIFY2(result.intact(), qPrintable(result.problem));
    QCOMPARE(result.records, qint64(before + 2 * Changes * recordsEach));
}

KX_TEST_MAIN(TestAuditTrail)
#include "tst_audittrail.moc"

// Verify Reader and the update check end to end: a project database,
// virtual readers on loopback TCP, the verify thread and kelvara-cli.
#include "access/publicholidays.h"
#include "access/readeraccesstables.h"
#include "db/holidayimport.h"
#include "support/testsupport.h"

#include "access/accessdataset.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvaraverifythread.h"
#include "functions/readerobjectsreader.h"
#include "functions/readertablesdrift.h"
#include "functions/readertablesreadback.h"
#include "functions/updatecheck.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace kxsim;

namespace {

// A project with an office model, two users with rights at "Door" and
// further models, users and holidays on demand.
struct Site
{
    TestSupport::TempProject project{QStringLiteral("Site")};
    ProjectParameters params;
    std::shared_ptr<VirtualReader> device;
    SimReader sim;
    int office = 0;
    int door = 0;
    QMap<QString, int> users;

    Site() : device(makeDevice()), sim(device)
    {
        sim.listenTcp("127.0.0.1", 0);
        params.projectPath = project.folder();
        params.databasePath = project.databasePath();
        params.loadProjectParameters();
        office = addModel(QStringLiteral("OF"), QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00"));
        EntryRow e;
        e.doorName = QStringLiteral("Door");
        e.areaName = QStringLiteral("Hall");
        e.readerType = 100;
        e.readerSerNo = QStringLiteral("1001");
        e.ipAddr = QStringLiteral("127.0.0.1");
        e.port = sim.tcp().port();
        EntryRecords::addEntry(db(), e, &door);
        grant(addUser(QStringLiteral("Abel"), QStringLiteral("04a1b2c3d4e5f6")), office);
        grant(addUser(QStringLiteral("Brandt"), QStringLiteral("04a1b2c3d4e5f7")), office);
    }
    static std::shared_ptr<VirtualReader> makeDevice()
    {
        VirtualReaderSetup setup;
        setup.type = 100;
        setup.deviceId = 0x1001;
        return std::make_shared<VirtualReader>(setup);
    }
    QString db() const { return project.databasePath(); }
    int addModel(const QString &tag, const QString &definition)
    {
        TimeModelRow model;
        model.modelTag = tag;
        model.modelName = tag;
        model.modelDefinition = definition;
        int key = 0;
        TimeModelRecords::addTimeModel(db(), model, &key);
        return key;
    }
    int addUser(const QString &name, const QString &hf)
    {
        UserRow u;
        u.familyName = name;
        u.firstName = QStringLiteral("X");
        u.groupName = QStringLiteral("Staff");
        if (!hf.isEmpty())
            u.iddIso14443 = TransponderIdd::fromHex(hf, TransponderIdd::Iso14443A).toStored();
        int key = 0;
        UserRecords::addUser(db(), u, &key);
        users.insert(name, key);
        return key;
    }
    void grant(int user, int model) { AccessRights::changeBoardCell(db(), {user}, {door}, model); }
    QList<EntryTarget> targets() const
    {
        QList<EntryTarget> rows;
        EntrySelection::allEntries(false).list(db(), rows);
        return rows;
    }
    int pending() const
    {
        const QList<EntryTarget> rows = targets();
        return rows.isEmpty() ? -1 : int(rows.first().needsUpdate);
    }
    // The log lines of the run.
    QStringList update()
    {
        KelvaraUpdateThread thread(params);
        QList<HolidayRow> holidays;
        HolidayRecords::listUpcomingHolidays(db(), holidays);
        thread.setHolidays(holidays);
        thread.setEntries(targets());
        QSignalSpy lines(&thread, &KelvaraFunctionThread::logMessage);
        thread.start();
        thread.wait();
        QStringList log;
        for (const QList<QVariant> &line : qAsConst(lines))
            log << line.first().toString();
        return log;
    }
    // Whether the reader lets the card in on a Monday morning.
    bool admits(const QString &hex) const
    {
        const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
        return device
            ->presentAt(std::vector<uint8_t>(raw.begin(), raw.end()), SimDateTime{2035, 1, 8, 10})
            .granted;
    }
    // State and reason of the one entry.
    QPair<int, QString> verify(bool mark = false)
    {
        KelvaraVerifyThread thread(params, mark);
        thread.setEntries(targets());
        QSignalSpy states(&thread, &KelvaraFunctionThread::state);
        thread.start();
        thread.wait();
        if (states.size() != 1)
            return {-2, QString()};
        return {states.first().at(1).toInt(),
                thread.reasonOf(KelvaraFunctionThread::entryKey(targets().first()))};
    }
    UpdateCheck::Result check() const
    {
        UpdateCheck::Result result;
        UpdateCheck::checkEntry(params, targets().first(), QDate::currentDate(), result);
        return result;
    }
};

} // namespace

class TestReaderVerify : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readBackEqualsWhatWasSent();
    void verify_data();
    void verify();
    void readBackAsAReaderHoldsIt_data();
    void readBackAsAReaderHoldsIt();
    void markIsOnlySet();
    void unreachableReader();
    void check_data();
    void check();
    void holidayYears_data();
    void holidayYears();
    void publicHolidaysReachTheReader();
    void shortIdentifierLengthRefusesTheUpdate_data();
    void shortIdentifierLengthRefusesTheUpdate();
    void commandLine();

private:
    QTemporaryDir m_bus;
};

void TestReaderVerify::initTestCase()
{
    QVERIFY(m_bus.isValid());
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_bus.path()));
}

void TestReaderVerify::readBackEqualsWhatWasSent()
{
    Site site;
    site.addModel(QStringLiteral("HO"), QStringLiteral("mon,tue,hol-08:00-17:00"));
    HolidayRecords::addHoliday(
        site.db(), {0, QDate::currentDate().addDays(3).toString(QStringLiteral("yyyy.MM.dd")), {}});
    site.update();
    ReaderTableContent expected;
    bool compiled = false;
    QVERIFY(!ReaderTablesReadBack::compileEntry(site.params, site.targets().first(),
                                                QDate::currentDate(), expected, &compiled)
                 .isValid());
    QVERIFY(compiled);
    ReaderSettings settings;
    settings.project = site.params;
    ReaderTableContent read;
    QVERIFY(ReaderTablesReadBack::read(settings, site.targets().first(), read).ok());
    QCOMPARE(read.iddLength, expected.iddLength);
    QCOMPARE(read.timezones, expected.timezones);
    QCOMPARE(read.holidays, expected.holidays);
    QCOMPARE(read.access.keys(), expected.access.keys());
    for (const QString &key : expected.access.keys())
        QCOMPARE(read.rightsOf(key), expected.rightsOf(key));
    QCOMPARE(expected.nameOf(QStringLiteral("04A1B2C3D4E5F6")), QStringLiteral("Abel, X"));
}

enum Change {
    NoChange,
    NewRight,
    OtherModel,
    LostTables,
    NewHoliday,
    RightRemoved,
    AllOnOtherModel,
    HolidayRemoved
};

void TestReaderVerify::verify_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("reason");
    QTest::newRow("after an update") << int(NoChange) << QString();
    QTest::newRow("a right added on the board")
        << int(NewRight) << QStringLiteral("identifiers missing: 1 (Cole, X)");
    QTest::newRow("another model on the board")
        << int(OtherModel)
        << QStringLiteral("identifiers with other rights: 1 (Abel, X), time windows missing: 1 "
                          "(sun,sat-10:00-12:00)");
    QTest::newRow("the reader lost its tables")
        << int(LostTables)
        << QStringLiteral("identifiers missing: 2 (Abel, X; Brandt, X), time windows missing: 1 "
                          "(mon,tue,wed,thu,fri-07:00-19:00)");
    QTest::newRow("a holiday added")
        << int(NewHoliday)
        << QStringLiteral("holidays missing: 1 (%1)")
               .arg(QDate::currentDate().addDays(10).toString(Qt::ISODate));
    QTest::newRow("a right removed on the board")
        << int(RightRemoved) << QStringLiteral("identifiers extra: 1 (Brandt, X)");
    QTest::newRow("every right on another model")
        << int(AllOnOtherModel)
        << QStringLiteral("identifiers with other rights: 2 (Abel, X; Brandt, X), time windows "
                          "missing: 1 (sun,sat-10:00-12:00), time windows extra: 1 "
                          "(mon,tue,wed,thu,fri-07:00-19:00)");
    QTest::newRow("today's holiday removed")
        << int(HolidayRemoved)
        << QStringLiteral("holidays extra: 1 (%1)").arg(QDate::currentDate().toString(Qt::ISODate));
}

void TestReaderVerify::verify()
{
    QFETCH(int, change);
    QFETCH(QString, reason);
    Site site;
    int today = 0;
    if (change == HolidayRemoved)
        HolidayRecords::addHoliday(
            site.db(), {0, QDate::currentDate().toString(HolidayRecords::DateFormat), {}}, &today);
    site.update();
    QCOMPARE(site.pending(), 0);
    switch (change) {
    case RightRemoved:
        site.grant(site.users.value(QStringLiteral("Brandt")), 0);
        break;
    case AllOnOtherModel: {
        const int weekend =
            site.addModel(QStringLiteral("WE"), QStringLiteral("sat,sun-10:00-12:00"));
        for (int user : qAsConst(site.users))
            site.grant(user, weekend);
        break;
    }
    case HolidayRemoved:
        HolidayRecords::removeHoliday(site.db(), today);
        break;
    case NewRight:
        site.grant(site.addUser(QStringLiteral("Cole"), QStringLiteral("04a1b2c3d4e5f8")),
                   site.office);
        break;
    case OtherModel: {
        const int weekend =
            site.addModel(QStringLiteral("WE"), QStringLiteral("sat,sun-10:00-12:00"));
        site.grant(site.users.value(QStringLiteral("Abel")), weekend);
        break;
    }
    case LostTables: {
        ReaderSettings settings;
        settings.project = site.params;
        ReaderObjectsReader reader(settings);
        QVERIFY(reader
                    .updateAccess(KelvaraFunctionThread::connectionOf(site.targets().first()), 100,
                                  AccessDataSet())
                    .ok());
        break;
    }
    case NewHoliday:
        HolidayRecords::addHoliday(
            site.db(),
            {0, QDate::currentDate().addDays(10).toString(QStringLiteral("yyyy.MM.dd")), {}});
        break;
    default:
        break;
    }
    const QPair<int, QString> first = site.verify();
    QCOMPARE(first.second, reason);
    QCOMPARE(first.first, reason.isEmpty() ? int(KelvaraFunctionThread::Done)
                                           : int(KelvaraFunctionThread::Differs));
    // An update brings the reader back in line.
    site.update();
    QCOMPARE(site.verify(), qMakePair(int(KelvaraFunctionThread::Done), QString()));
}

void TestReaderVerify::readBackAsAReaderHoldsIt_data()
{
    // Windows as definitions ("" never) and records as "identifier:flags", ";" between.
    QTest::addColumn<QString>("readerWindows");
    QTest::addColumn<QString>("readerRecords");
    QTest::addColumn<QString>("windows"); // what the database gives
    QTest::addColumn<QString>("records");
    QTest::addColumn<bool>("inSync");
    const QString mon = QStringLiteral("mon-08:00-10:00");
    const QString both = QStringLiteral("mon-08:00-10:00;tue-08:00-10:00");
    QTest::newRow("the same") << mon << "04a1:1" << mon << "04a1:1" << true;
    QTest::newRow("another window") << "mon-08:00-11:00"
                                    << "04a1:1" << mon << "04a1:1" << false;
    QTest::newRow("a repeated identifier: the first counts")
        << both << "04a1:1;04a1:2" << both << "04a1:1" << true;
    QTest::newRow("never windows at the end")
        << QString(mon + QStringLiteral(";;")) << "04a1:1" << mon << "04a1:1" << true;
    QTest::newRow("windows in another order") << "tue-08:00-10:00;mon-08:00-10:00"
                                              << "04a1:3" << both << "04a1:3" << true;
}

void TestReaderVerify::readBackAsAReaderHoldsIt()
{
    QFETCH(QString, readerWindows);
    QFETCH(QString, readerRecords);
    QFETCH(QString, windows);
    QFETCH(QString, records);
    QFETCH(bool, inSync);
    const auto tables = [](const QString &periods, const QString &access) {
        ReaderReadBack readBack;
        readBack.iddLength = 2;
        for (const QString &definition : periods.split(QLatin1Char(';')))
            readBack.timezones << (definition.isEmpty()
                                       ? TimezoneRecord()
                                       : TimezoneRecord::fromPeriod(
                                             TimePeriod::fromDefinition(definition)));
        for (const QString &record : access.split(QLatin1Char(';')))
            readBack.access << ReadAccessRecord{
                record.section(QLatin1Char(':'), 0, 0),
                quint16(record.section(QLatin1Char(':'), 1).toUInt())};
        return ReaderTablesReadBack::fromReadBack(readBack);
    };
    const ReaderTablesDrift drift = ReaderTablesDrift::compare(
        tables(readerWindows, readerRecords), tables(windows, records), QDate::currentDate());
    QVERIFY2(drift.inSync() == inSync, qPrintable(drift.summary()));
}

void TestReaderVerify::markIsOnlySet()
{
    Site site;
    site.update();
    site.grant(site.addUser(QStringLiteral("Cole"), QStringLiteral("04a1b2c3d4e5f8")), site.office);
    AccessRights::setNeedsUpdateOfEntry(site.db(), site.door, false);
    QCOMPARE(site.verify(false).first, int(KelvaraFunctionThread::Differs));
    QCOMPARE(site.pending(), 0);
    QCOMPARE(site.verify(true).first, int(KelvaraFunctionThread::Differs));
    QCOMPARE(site.pending(), 1);
    // In sync, yet a pending mark stays: only an update clears it.
    site.update();
    AccessRights::setNeedsUpdateOfEntry(site.db(), site.door, true);
    QCOMPARE(site.verify(true).first, int(KelvaraFunctionThread::Done));
    QCOMPARE(site.pending(), 1);
}

void TestReaderVerify::unreachableReader()
{
    Site site;
    QVERIFY(!EntryRecords::setReaderAddress(site.db(), site.door, QStringLiteral("127.0.0.1"),
                                            TestSupport::unusedLoopbackPort())
                 .isValid());
    QCOMPARE(site.verify().first, int(KelvaraFunctionThread::NoConnection));
}

void TestReaderVerify::check_data()
{
    QTest::addColumn<int>("models");         // models of 8 windows each, each for a user of its own
    QTest::addColumn<int>("holidays");       // upcoming holidays
    QTest::addColumn<QString>("shortHf");    // a user with this identifier
    QTest::addColumn<int>("iddLength");      // the project's short-range identifier length
    QTest::addColumn<QString>("shortModel"); // the definition of the model Short gets
    QTest::addColumn<int>("crowd");          // users more with the office model
    QTest::addColumn<bool>("canUpdate");
    QTest::addColumn<QString>("problems");
    QTest::newRow("fine") << 0 << 255 << QString() << 7 << QString() << 0 << true << QString();
    QTest::newRow("16 windows")
        << 2 << 0 << QString() << 7 << QString() << 0 << false
        << QStringLiteral("time windows needed: 17 of 15 a reader holds (over by the models M1)");
    QTest::newRow("256 holidays")
        << 0 << 256 << QString() << 7 << QString() << 0 << false
        << QStringLiteral("upcoming holidays: 256 of 255 a reader holds (%1 and later do not fit)")
               .arg(QDate::currentDate().addDays(255).toString(Qt::ISODate));
    QTest::newRow("short identifier")
        << 0 << 0 << QStringLiteral("04a1b2") << 7 << QString() << 0 << true
        << QStringLiteral("identifiers shorter than the project length of 7 bytes: 1 (Short, X)");
    QTest::newRow("no identifier")
        << 0 << 0 << QStringLiteral("-") << 7 << QString() << 0 << true
        << QStringLiteral("users with rights but no short-range identifier: 1 (Short, X)");
    QTest::newRow("identifier length 3 bytes")
        << 0 << 0 << QString() << 3 << QString() << 0 << false
        << QStringLiteral("identifier length 3 bytes, below 4: any card whose first 3 bytes are "
                          "those of a user's would open the door\nidentifiers held by another "
                          "user as well, left out: 1 (Brandt, X)");
    QTest::newRow("identifier length 4 bytes")
        << 0 << 0 << QStringLiteral("04a1b2") << 4 << QString() << 0 << true
        << QStringLiteral("identifiers shorter than the project length of 4 bytes: 1 (Short, X)\n"
                          "identifiers held by another user as well, left out: 1 (Brandt, X)");
    QTest::newRow("a model with a period that means never")
        << 0 << 0 << QStringLiteral("04a1b2c3d4e5ff") << 7
        << QStringLiteral("mon-08:00-10:00|tue-25:00-26:00") << 0 << true
        << QStringLiteral("time models with periods that mean never: SM");
    QTest::newRow("a model that grants nothing")
        << 0 << 0 << QStringLiteral("04a1b2c3d4e5ff") << 7 << QStringLiteral("sat-10:00-09:00") << 0
        << true << QStringLiteral("time models with periods that mean never: SM");
    // Abel and Brandt, and the crowd.
    QTest::newRow("as many identifiers as the reader holds")
        << 0 << 0 << QString() << 7 << QString() << 65533 << true << QString();
    QTest::newRow("one identifier more than the reader holds")
        << 0 << 0 << QString() << 7 << QString() << 65534 << false
        << QStringLiteral("identifiers: 65536 of 65535 the reader type holds");
}

void TestReaderVerify::check()
{
    QFETCH(int, models);
    QFETCH(int, holidays);
    QFETCH(QString, shortHf);
    QFETCH(int, iddLength);
    QFETCH(QString, shortModel);
    QFETCH(int, crowd);
    QFETCH(bool, canUpdate);
    QFETCH(QString, problems);
    Site site;
    site.params.hfIddLength = iddLength;
    if (crowd > 0) {
        ProjectDatabase db(site.db());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q,
            QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where "
                           "i<?) insert into users (familyName,firstName,groupName,iddIso14443) "
                           "select 'Crowd'||i,'X','Staff',printf('05%012x-04',i) from n"),
            {crowd}));
        QVERIFY(ProjectDatabase::exec(q,
                                      QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) "
                                                     "select PKusers,?,? from users where "
                                                     "familyName like 'Crowd%'"),
                                      {site.door, site.office}));
    }
    for (int m = 0; m < models; ++m) {
        QStringList periods;
        for (int p = 0; p < 8; ++p)
            periods
                << QStringLiteral("sat-%1:00-%1:30").arg(m * 8 + p + 1, 2, 10, QLatin1Char('0'));
        const int model =
            site.addModel(QStringLiteral("M%1").arg(m), periods.join(QLatin1Char('|')));
        site.grant(site.addUser(QStringLiteral("User%1").arg(m),
                                QStringLiteral("04a1b2c3d4e6%1").arg(m, 2, 10, QLatin1Char('0'))),
                   model);
    }
    QList<HolidayRow> rows;
    for (int h = 0; h < holidays; ++h)
        rows << HolidayRow{
            0, QDate::currentDate().addDays(h).toString(QStringLiteral("yyyy.MM.dd")), {}};
    QVERIFY(!HolidayRecords::addHolidays(site.db(), rows).isValid());
    if (!shortHf.isEmpty())
        site.grant(site.addUser(QStringLiteral("Short"),
                                shortHf == QLatin1String("-") ? QString() : shortHf),
                   shortModel.isEmpty() ? site.office
                                        : site.addModel(QStringLiteral("SM"), shortModel));
    const UpdateCheck::Result result = site.check();
    QCOMPARE(result.text(), problems);
    QCOMPARE(result.canUpdate(), canUpdate);

    // The board's check from what the entry uses blocks alike.
    const EntryTarget entry = site.targets().first();
    QHash<int, QSet<int>> modelsOfEntry;
    QHash<int, int> rightsOfEntry;
    {
        ProjectDatabase db(site.db());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(QStringLiteral("select FKdoors, FKtimes from access")));
        while (q.next()) {
            modelsOfEntry[q.value(0).toInt()].insert(q.value(1).toInt());
            ++rightsOfEntry[q.value(0).toInt()];
        }
        QVERIFY(!q.lastError().isValid());
    }
    QList<UpdateCheck::Result> board;
    QVERIFY(!UpdateCheck::checkBlocking(site.params, {entry}, modelsOfEntry, rightsOfEntry,
                                        QDate::currentDate(), board)
                 .isValid());
    QCOMPARE(board.size(), 1);
    QCOMPARE(board.first().blocking, result.blocking);
    QVERIFY(board.first().warnings.isEmpty());
}

void TestReaderVerify::holidayYears_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("accepted");     // when entered
    QTest::addColumn<bool>("blocks");       // found in a project: the check blocks the update
    QTest::addColumn<QString>("presented"); // Abel at 10:00 that day (a working day)
    QTest::addColumn<bool>("granted");
    QTest::newRow("1999, before the years a reader holds")
        << "1999.12.31" << false << false << QString() << false;
    QTest::newRow("2000, the first") << "2000.01.01" << true << false << QString() << false;
    QTest::newRow("2099, the last: the reader holds it")
        << "2099.12.31" << true << false << "2099-12-31" << false;
    QTest::newRow("2100, beyond the last") << "2100.01.01" << false << true << QString() << false;
    QTest::newRow("2126, a typo for 2026: never sent")
        << "2126.05.04" << false << true << "2026-05-04" << true;
}

void TestReaderVerify::holidayYears()
{
    QFETCH(QString, date);
    QFETCH(bool, accepted);
    QFETCH(bool, blocks);
    QFETCH(QString, presented);
    QFETCH(bool, granted);
    Site site;
    site.update();
    QCOMPARE(HolidayRecords::addHoliday(site.db(), {0, date, {}}).isValid(), !accepted);
    if (!accepted) {
        // As a project of an older version may hold it.
        ProjectDatabase db(site.db());
        QVERIFY(db.open());
        QSqlQuery query = db.query();
        QVERIFY(ProjectDatabase::exec(
            query, QStringLiteral("insert into holidays (date,comment) values (?,'')"), {date}));
        QVERIFY(!AccessRights::setNeedsUpdateOfEntry(site.db(), site.door, true).isValid());
    }
    QCOMPARE(site.check().canUpdate(), !blocks);
    site.update();
    QCOMPARE(site.pending(), blocks ? 1 : 0);
    if (!presented.isEmpty()) {
        const QDate day = QDate::fromString(presented, Qt::ISODate);
        const std::vector<uint8_t> abel{0x04, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6};
        QCOMPARE(
            site.device->presentAt(abel, {day.year(), day.month(), day.day(), 10, 0, 0}).granted,
            granted);
    }
}

void TestReaderVerify::publicHolidaysReachTheReader()
{
    Site site;
    site.update();
    QList<HolidayRow> rows;
    for (const PublicHolidays::Holiday &holiday :
         PublicHolidays::holidays(QStringLiteral("DE-NW"), 2027))
        rows << HolidayRow{0, holiday.date.toString(HolidayRecords::DateFormat), holiday.nameEn};
    HolidayImport::Outcome outcome;
    QVERIFY(!HolidayImport::addHolidays(site.db(), rows, QStringLiteral("DE-NW"),
                                        QDate::currentDate(), ReaderAccessTables::MaxHolidays,
                                        &outcome)
                 .isValid());
    QCOMPARE(site.pending(), 1);
    site.update();
    QCOMPARE(site.pending(), 0);
    // Ascension Day 2027 is a Thursday: the weekday model no longer lets Abel in.
    const std::vector<uint8_t> abel{0x04, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6};
    QVERIFY(!site.device->presentAt(abel, {2027, 5, 6, 10, 0, 0}).granted);
    QVERIFY(site.device->presentAt(abel, {2027, 5, 5, 10, 0, 0}).granted);
}

void TestReaderVerify::shortIdentifierLengthRefusesTheUpdate_data()
{
    QTest::addColumn<int>("iddLength");
    QTest::newRow("1 byte") << 1;
    QTest::newRow("3 bytes") << 3;
    QTest::newRow("4 bytes") << 4;
}

void TestReaderVerify::shortIdentifierLengthRefusesTheUpdate()
{
    QFETCH(int, iddLength);
    Site site;
    site.params.hfIddLength = iddLength;
    QVERIFY(site.params.saveProjectParameters());
    const QStringList log = site.update();
    const bool refused = iddLength < 4;
    QCOMPARE(site.pending(), refused ? 1 : 0);
    QCOMPARE(!log.filter(QStringLiteral("is below 4 bytes")).isEmpty(), refused);
    QCOMPARE(site.admits(QStringLiteral("04a1b2c3d4e5f6")), !refused);
    // A stranger's card that begins as Abel's never opens the door.
    QVERIFY(!site.admits(QStringLiteral("04a1b2ffffffff")));
}

void TestReaderVerify::commandLine()
{
    Site site;
    QTemporaryDir home;
    const auto cli = [&](const QStringList &arguments, QString *out) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("KX_LOOPBACK_ONLY"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KX_CLI_PROGRAM), arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        *out = QString::fromLocal8Bit(process.readAllStandardOutput());
        return process.exitCode();
    };
    const QStringList project = {QStringLiteral("--project"), site.project.folder()};
    QString out;
    QCOMPARE(cli(QStringList{QStringLiteral("verify")} + project, &out), 1);
    QVERIFY2(out.startsWith(QStringLiteral("Door\tdiffers: identifiers missing: 2")),
             qPrintable(out));
    site.update();
    QCOMPARE(cli(QStringList{QStringLiteral("verify")} + project +
                     QStringList{QStringLiteral("--entry"), QStringLiteral("Door")},
                 &out),
             0);
    QCOMPARE(out, QStringLiteral("Door\tin sync\n"));
    // AREA/NAME as explain takes it, for run and verify alike; never the other way round.
    for (const QString &command : {QStringLiteral("verify"), QStringLiteral("run")}) {
        const QStringList named = command == QLatin1String("run")
                                      ? QStringList{command, QStringLiteral("set-clock")}
                                      : QStringList{command};
        QCOMPARE(cli(named + project +
                         QStringList{QStringLiteral("--entry"), QStringLiteral("Hall/Door")},
                     &out),
                 0);
        QVERIFY2(
            out.endsWith(QStringLiteral("Door\t%1\n")
                             .arg(command == QLatin1String("run") ? QStringLiteral("OK")
                                                                  : QStringLiteral("in sync"))),
            qPrintable(out));
        QCOMPARE(cli(named + project +
                         QStringList{QStringLiteral("--entry"), QStringLiteral("Door/Hall")},
                     &out),
                 2);
    }

    QCOMPARE(cli(QStringList{QStringLiteral("check")} + project, &out), 0);
    QCOMPARE(out, QStringLiteral("1 entries checked: 0 cannot be updated, 0 with warnings, 1 "
                                 "without problems.\n"));
    EntryRow gate;
    gate.doorName = QStringLiteral("Gate");
    gate.areaName = QStringLiteral("Hall");
    gate.readerType = 100;
    QVERIFY(!EntryRecords::addEntry(site.db(), gate).isValid());
    QCOMPARE(cli(QStringList{QStringLiteral("check")} + project, &out), 1);
    QVERIFY2(out.startsWith(QStringLiteral("Gate: CANNOT BE UPDATED\n  error: no reader")),
             qPrintable(out));
    QVERIFY2(out.endsWith(QStringLiteral("2 entries checked: 1 cannot be updated, 0 with "
                                         "warnings, 1 without problems.\n")),
             qPrintable(out));
}

KX_TEST_MAIN(TestReaderVerify)
#include "tst_readerverify.moc"

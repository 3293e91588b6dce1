// Explaining a reader's decision: every explanation must agree with what a
// virtual reader, updated by the real update function, decides when the same
// identifier is presented at the same moment; and kelvara-cli explain/who.
#include "support/testsupport.h"

#include "access/accessexplainer.h"
#include "access/accessrecords.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectparameters.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/readerdecisionreadback.h"
#include "readertables.h"
#include "simreader.h"
#include "virtualreader.h"

#include <QProcess>
#include <QSignalSpy>

#include <memory>

using namespace kxsim;
using Reason = AccessExplanation::Reason;

namespace {

// A Wednesday holiday well ahead, so the tables sent today hold it.
const QDate Holiday(2030, 12, 25);
const QDate Wednesday(2030, 12, 18);
const QDate Saturday(2030, 12, 21);

std::vector<uint8_t> bytesOf(const QByteArray &raw)
{
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

QStringList args(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *a : list)
        out << QString::fromUtf8(a);
    return out;
}

SimDateTime simTime(const QDateTime &at)
{
    return SimDateTime{at.date().year(), at.date().month(),  at.date().day(),
                       at.time().hour(), at.time().minute(), 0};
}

} // namespace

class TestAccessExplain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void explanationAgreesWithReader_data();
    void explanationAgreesWithReader();
    void tablesDecideAsAReader_data();
    void tablesDecideAsAReader();
    void readerDifferencesAreNamed_data();
    void readerDifferencesAreNamed();
    void whoMayPass();
    void pendingEntryAndTheReadersOwnTables();
    void cli_data();
    void cli();

private:
    int addModel(const char *tag, const char *definition);
    int addUser(const char *family, const char *hf, const char *uhf = "");
    void grant(int user, int model);
    void update();
    QProcess::ExitStatus runCli(const QStringList &arguments, int &code, QString &out);

    std::unique_ptr<TestSupport::TempProject> m_project;
    ProjectParameters m_params;
    std::shared_ptr<VirtualReader> m_device;
    std::unique_ptr<SimReader> m_sim;
    int m_door = 0;
    int m_cole = 0;
    int m_weekdays = 0;
};

int TestAccessExplain::addModel(const char *tag, const char *definition)
{
    TimeModelRow model;
    model.modelTag = QString::fromLatin1(tag);
    model.modelName = model.modelTag + QStringLiteral(" model");
    model.modelDefinition = QString::fromLatin1(definition);
    int key = 0;
    TimeModelRecords::addTimeModel(m_params.databasePath, model, &key);
    return key;
}

int TestAccessExplain::addUser(const char *family, const char *hf, const char *uhf)
{
    UserRow u;
    u.familyName = QString::fromLatin1(family);
    u.firstName = QStringLiteral("X");
    u.groupName = QStringLiteral("Staff");
    if (*hf)
        u.iddIso14443 =
            TransponderIdd::fromHex(QString::fromLatin1(hf), TransponderIdd::Iso14443A).toStored();
    if (*uhf)
        u.iddClass1Gen2 =
            TransponderIdd::fromHex(QString::fromLatin1(uhf), TransponderIdd::EpcClass1Gen2)
                .toStored();
    int key = 0;
    UserRecords::addUser(m_params.databasePath, u, &key);
    return key;
}

void TestAccessExplain::grant(int user, int model)
{
    QVERIFY(
        !AccessRights::changeBoardCell(m_params.databasePath, {user}, {m_door}, model).isValid());
}

void TestAccessExplain::update()
{
    QList<EntryTarget> targets;
    EntrySelection::allEntries(false).list(m_params.databasePath, targets);
    QList<HolidayRow> holidays;
    QVERIFY(!HolidayRecords::listUpcomingHolidays(m_params.databasePath, holidays).isValid());
    KelvaraUpdateThread thread(m_params);
    thread.setEntries(targets);
    thread.setHolidays(holidays);
    QSignalSpy states(&thread, &KelvaraFunctionThread::state);
    thread.start();
    QVERIFY(thread.wait(60000));
    QCOMPARE(states.size(), 1);
    QCOMPARE(states.first().at(1).toInt(), 0);
}

void TestAccessExplain::initTestCase()
{
    m_project = std::make_unique<TestSupport::TempProject>(QStringLiteral("Site"));
    QVERIFY(m_project->isValid());
    m_params.projectPath = m_project->folder();
    m_params.databasePath = m_project->databasePath();
    QVERIFY(m_params.loadProjectParameters());
    QCOMPARE(m_params.hfIddLength, 7);

    VirtualReaderSetup setup;
    setup.type = 100;
    setup.deviceId = 0x1001;
    m_device = std::make_shared<VirtualReader>(setup);
    m_sim = std::make_unique<SimReader>(m_device);
    QVERIFY(m_sim->listenTcp("127.0.0.1", 0));
    EntryRow door;
    door.doorName = QStringLiteral("Door");
    door.areaName = QStringLiteral("Hall");
    door.readerType = 100;
    door.readerSerNo = QStringLiteral("1001");
    door.ipAddr = QStringLiteral("127.0.0.1");
    door.port = m_sim->tcp().port();
    QVERIFY(!EntryRecords::addEntry(m_params.databasePath, door, &m_door).isValid());
    HolidayRow holiday;
    holiday.date = Holiday.toString(HolidayRecords::DateFormat);
    holiday.comment = QStringLiteral("Christmas");
    QVERIFY(!HolidayRecords::addHoliday(m_params.databasePath, holiday).isValid());
    holiday.date = QStringLiteral("2020.12.25"); // long gone: no reader holds it any more
    QVERIFY(!HolidayRecords::addHoliday(m_params.databasePath, holiday).isValid());

    m_weekdays = addModel("WK", "mon,tue,wed,thu,fri-07:00-19:00");
    const int withHolidays = addModel("HO", "mon,tue,wed,thu,fri,hol-08:00-12:00");
    const int always = addModel("AL", "*-*-*");
    grant(addUser("Abel", "04a1b2c3d4e5f6"), m_weekdays);
    grant(addUser("Brandt", "04a1b2c3d4e5f7"), withHolidays);
    m_cole = addUser("Cole", "04a1b2c3d4e5f8");
    grant(addUser("Dorn", "", "e20000112233445566778899"), m_weekdays);
    // A tag read while the project length was 4 bytes.
    grant(addUser("Eck", "04a1b2c3"), m_weekdays);
    grant(addUser("Fink", "04a1b2c3d4e5fa"), always);
    // No right of her own, but her tag begins with Abel's seven bytes.
    addUser("Gast", "04a1b2c3d4e5f6ee");
    update();
}

void TestAccessExplain::explanationAgreesWithReader_data()
{
    QTest::addColumn<QString>("user");         // empty: ask by identifier
    QTest::addColumn<QByteArray>("presented"); // what the tag presents at the reader
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<int>("cause");
    QTest::addColumn<int>("reason");
    const auto at = [](const QDate &d, int h, int m) { return QDateTime(d, QTime(h, m)); };
    const QByteArray abel = QByteArray::fromHex("04a1b2c3d4e5f6");
    const QByteArray brandt = QByteArray::fromHex("04a1b2c3d4e5f7");
    QTest::newRow("period covers") << "Abel, X" << abel << at(Wednesday, 10, 0)
                                   << int(TableDecision::Permitted) << int(Reason::CoveringPeriod);
    QTest::newRow("start is inside")
        << "Abel, X" << abel << at(Wednesday, 7, 0) << int(TableDecision::Permitted)
        << int(Reason::CoveringPeriod);
    QTest::newRow("end is outside")
        << "Abel, X" << abel << at(Wednesday, 19, 0) << int(TableDecision::OutsideTimezones)
        << int(Reason::NoCoveringPeriod);
    QTest::newRow("weekend") << "Abel, X" << abel << at(Saturday, 10, 0)
                             << int(TableDecision::OutsideTimezones)
                             << int(Reason::NoCoveringPeriod);
    QTest::newRow("holiday closes weekdays")
        << "Abel, X" << abel << at(Holiday, 10, 0) << int(TableDecision::OutsideTimezones)
        << int(Reason::Holiday);
    QTest::newRow("holiday period") << "Brandt, X" << brandt << at(Holiday, 11, 59)
                                    << int(TableDecision::Permitted) << int(Reason::Holiday);
    QTest::newRow("holiday period ends")
        << "Brandt, X" << brandt << at(Holiday, 12, 0) << int(TableDecision::OutsideTimezones)
        << int(Reason::NoCoveringPeriod);
    QTest::newRow("no right") << "Cole, X" << QByteArray::fromHex("04a1b2c3d4e5f8")
                              << at(Wednesday, 10, 0) << int(TableDecision::UnknownIdentifier)
                              << int(Reason::NoRight);
    QTest::newRow("no identifier of the technology")
        << "Dorn, X" << QByteArray::fromHex("e20000112233445566778899") << at(Wednesday, 10, 0)
        << int(TableDecision::UnknownIdentifier) << int(Reason::NoIdentifier);
    QTest::newRow("short identifier as stored")
        << "Eck, X" << QByteArray::fromHex("04a1b2c3") << at(Wednesday, 10, 0)
        << int(TableDecision::Permitted) << int(Reason::ShortIdentifier);
    QTest::newRow("short identifier, the whole tag")
        << QString() << QByteArray::fromHex("04a1b2c3d4e5f9") << at(Wednesday, 10, 0)
        << int(TableDecision::UnknownIdentifier) << int(Reason::ShortIdentifier);
    QTest::newRow("always") << "Fink, X" << QByteArray::fromHex("04a1b2c3d4e5fa")
                            << at(Saturday, 3, 0) << int(TableDecision::Permitted)
                            << int(Reason::Always);
    QTest::newRow("another user's record")
        << "Gast, X" << QByteArray::fromHex("04a1b2c3d4e5f6ee") << at(Wednesday, 10, 0)
        << int(TableDecision::Permitted) << int(Reason::SharedRecord);
    QTest::newRow("unknown identifier")
        << QString() << QByteArray::fromHex("0badc0de0badc0") << at(Wednesday, 10, 0)
        << int(TableDecision::UnknownIdentifier) << int(Reason::UnknownIdentifier);
    QTest::newRow("identifier of a user") << QString() << brandt << at(Holiday, 9, 0)
                                          << int(TableDecision::Permitted) << int(Reason::Holiday);
}

void TestAccessExplain::explanationAgreesWithReader()
{
    QFETCH(QString, user);
    QFETCH(QByteArray, presented);
    QFETCH(QDateTime, at);
    QFETCH(int, cause);
    QFETCH(int, reason);

    AccessExplainer explainer;
    QVERIFY(!explainer.load(m_params, QStringLiteral("Door")).isValid());
    QVERIFY(explainer.loadProblem().isEmpty());
    AccessExplanation e;
    if (user.isEmpty()) {
        e = explainer.explainIdentifier(presented, at);
    } else {
        const QList<UserRow> users = explainer.usersNamed(user);
        QCOMPARE(users.size(), 1);
        e = explainer.explainUser(users.first(), at);
        QCOMPARE(explainer.permits(users.first(), at), e.permitted());
    }
    const QString why = e.texts().join(QLatin1Char('\n'));
    QVERIFY2(e.has(Reason(reason)), qPrintable(why));
    QVERIFY2(int(e.decision.cause) == cause, qPrintable(why));
    QVERIFY(e.lines.first().text.startsWith(e.permitted() ? QStringLiteral("Permitted: ")
                                                          : QStringLiteral("Denied: ")));

    // The reader, asked the same, decides the same for the same cause.
    const SimEvent event = m_device->presentAt(bytesOf(presented), simTime(at));
    QCOMPARE(event.granted, e.permitted());
    QCOMPARE(int(event.error), cause);
}

void TestAccessExplain::tablesDecideAsAReader_data()
{
    QTest::addColumn<QByteArray>("presented");
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<int>("cause");
    const auto at = [](int y, int mo, int d, int h, int mi) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi));
    };
    // The tables of tablesDecideAsAReader.
    const QByteArray weekdays = QByteArray::fromHex("04a1b2c3d4e5f6");
    const QByteArray sundays = QByteArray::fromHex("04a1b2c3d4e5f7");
    const int permitted = TableDecision::Permitted;
    const int outside = TableDecision::OutsideTimezones;
    QTest::newRow("first day of the window") << weekdays << at(2030, 1, 1, 10, 0) << permitted;
    QTest::newRow("the day before") << weekdays << at(2029, 12, 31, 10, 0) << outside;
    QTest::newRow("last day of the window") << weekdays << at(2030, 6, 28, 16, 59) << permitted;
    QTest::newRow("the day after") << weekdays << at(2030, 7, 1, 10, 0) << outside;
    QTest::newRow("start minute") << weekdays << at(2030, 3, 5, 8, 0) << permitted;
    QTest::newRow("end minute") << weekdays << at(2030, 3, 5, 17, 0) << outside;
    QTest::newRow("holiday closes weekdays") << weekdays << at(2030, 3, 6, 13, 0) << outside;
    QTest::newRow("holiday window") << weekdays << at(2030, 3, 6, 9, 0) << permitted;
    QTest::newRow("Sunday window") << sundays << at(2030, 3, 10, 10, 30) << permitted;
    QTest::newRow("Sunday window on a Monday") << sundays << at(2030, 3, 11, 10, 30) << outside;
    QTest::newRow("always") << QByteArray::fromHex("04a1b2c3d4e5f8") << at(2030, 3, 9, 3, 0)
                            << permitted;
    QTest::newRow("short tag, held with zero bytes in front")
        << QByteArray::fromHex("04a1b2c3") << at(2030, 3, 5, 10, 0) << permitted;
    QTest::newRow("longer tag, its first bytes count")
        << QByteArray::fromHex("04a1b2c3d4e5f6ff") << at(2030, 3, 5, 10, 0) << permitted;
    QTest::newRow("unknown") << QByteArray::fromHex("0badc0de0badc0") << at(2030, 3, 5, 10, 0)
                             << int(TableDecision::UnknownIdentifier);
}

void TestAccessExplain::tablesDecideAsAReader()
{
    QFETCH(QByteArray, presented);
    QFETCH(QDateTime, at);
    QFETCH(int, cause);
    // Window 0: weekdays 08:00-17:00 from 2030-01-01 to 2030-06-28; window 1:
    // holidays 09:00-12:00; window 2: Sundays 10:00-11:00. 2030-03-06 is a holiday.
    TimezoneRecord term;
    term.startYear = 30;
    term.endDay = 28;
    term.endMonth = 6;
    term.endYear = 30;
    term.days = 0x3E;
    term.startHour = 8;
    term.endHour = 17;
    const QList<TimezoneRecord> windows = {
        term, TimezoneRecord::fromPeriod(TimePeriod(TimePeriod::Holiday, 9, 0, 12, 0)),
        TimezoneRecord::fromPeriod(TimePeriod(TimePeriod::Sunday, 10, 0, 11, 0))};
    const QList<HolidayRecord> holidays = {HolidayRecord::fromDate(QDate(2030, 3, 6))};
    QMap<QString, AccessRecord> access;
    const auto hold = [&](const char *hex, quint16 flags) {
        AccessRecord record;
        record.idd = QByteArray::fromHex(hex);
        record.flags = flags;
        access.insert(record.key(), record);
    };
    hold("04a1b2c3d4e5f6", 0x0003);
    hold("04a1b2c3d4e5f7", 0x0004);
    hold("04a1b2c3d4e5f8", 0x8000);
    hold("00000004a1b2c3", 0x0001);
    const DecisionTables tables = DecisionTables::fromRecords(windows, holidays, access, 7);
    QCOMPARE(int(tables.decide(presented, at).cause), cause);

    // A reader holding the same records decides alike.
    ReaderTables reader(7);
    const auto load = [&reader](int table, const QByteArray &records, int count) {
        return reader.append(table, reinterpret_cast<const uint8_t *>(records.constData()), count);
    };
    QByteArray bytes;
    for (const TimezoneRecord &record : windows)
        bytes += record.toBytes();
    QVERIFY(load(2, bytes, windows.size()));
    QVERIFY(load(3, holidays.first().toBytes(), 1));
    bytes.clear();
    for (const AccessRecord &record : qAsConst(access))
        bytes += record.toBytes();
    QVERIFY(load(4, bytes, access.size()));
    reader.updateCounts();
    QCOMPARE(int(reader.decide(bytesOf(presented), simTime(at))), cause);
}

void TestAccessExplain::readerDifferencesAreNamed_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QDate>("day"); // at 10:00
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("named"); // the start of the first difference named
    QTest::newRow("the same tables") << "Abel, X" << Wednesday << QString() << QString();
    QTest::newRow("other windows on the record") << "Abel, X" << Wednesday << "flags"
                                                 << "The reader's record carries windows ";
    QTest::newRow("a holiday only the reader holds")
        << "Abel, X" << Wednesday << "holiday"
        << "The reader holds 2030-12-18 as a holiday, the database does not.";
    QTest::newRow("a holiday only the database holds")
        << "Abel, X" << Holiday << "no holidays"
        << "The database holds 2030-12-25 as a holiday, the reader does not.";
    QTest::newRow("another identifier length")
        << "Abel, X" << Wednesday << "length"
        << "The reader compares 8 bytes of an identifier, the project 7.";
    QTest::newRow("a window changed") << "Abel, X" << Wednesday << "window"
                                      << "Window ";
    QTest::newRow("a record only the reader holds") << "Cole, X" << Wednesday << "record"
                                                    << "The reader still holds a record";
    QTest::newRow("a record only the database holds") << "Abel, X" << Wednesday << "no record"
                                                      << "The reader holds no record";
}

void TestAccessExplain::readerDifferencesAreNamed()
{
    QFETCH(QString, user);
    QFETCH(QDate, day);
    QFETCH(QString, change);
    QFETCH(QString, named);
    AccessExplainer explainer;
    QVERIFY(!explainer.load(m_params, QStringLiteral("Door")).isValid());
    const DecisionTables &db = explainer.tables();
    // The reader's tables: the database's with one change.
    QList<TimezoneRecord> windows = db.timezones();
    QList<HolidayRecord> holidays;
    for (const QDate &date : db.holidays())
        holidays << HolidayRecord::fromDate(date);
    QMap<QString, AccessRecord> access;
    for (auto it = db.access().cbegin(); it != db.access().cend(); ++it) {
        AccessRecord record;
        record.idd = it.key();
        record.flags = it.value();
        access.insert(record.key(), record);
    }
    const QString abel = QStringLiteral("04A1B2C3D4E5F6");
    int length = db.iddLength();
    if (change == QLatin1String("flags"))
        access[abel].flags |= 0x4000;
    else if (change == QLatin1String("holiday"))
        holidays << HolidayRecord::fromDate(Wednesday);
    else if (change == QLatin1String("no holidays"))
        holidays.clear();
    else if (change == QLatin1String("length"))
        length = 8;
    else if (change == QLatin1String("window"))
        windows[AccessDataSet::indexList(access.value(abel).flags)
                    .section(QLatin1Char(','), 0, 0)
                    .toInt()]
            .endHour = 20;
    else if (change == QLatin1String("record")) {
        AccessRecord cole = access.value(abel);
        cole.idd = QByteArray::fromHex("04a1b2c3d4e5f8");
        access.insert(cole.key(), cole);
    } else if (change == QLatin1String("no record"))
        access.remove(abel);
    AccessExplanation e =
        explainer.explainUser(explainer.usersNamed(user).first(), QDateTime(day, QTime(10, 0)));
    explainer.compareWithReader(e, DecisionTables::fromRecords(windows, holidays, access, length),
                                QDateTime(day, QTime(10, 0)));
    QStringList differs;
    for (const AccessExplanation::Line &line : qAsConst(e.lines))
        if (line.reason == Reason::ReaderDiffers)
            differs << line.text;
    QVERIFY2(named.isEmpty() ? differs.isEmpty() && e.has(Reason::ReaderAgrees)
                             : !differs.isEmpty() && differs.first().startsWith(named),
             qPrintable(differs.join(QLatin1Char('\n'))));
}

void TestAccessExplain::whoMayPass()
{
    AccessExplainer explainer;
    QVERIFY(!explainer.load(m_params, QStringLiteral("Door")).isValid());
    QStringList names;
    for (const UserRow &u : explainer.usersPermitted(QDateTime(Holiday, QTime(9, 0))))
        names << u.familyName;
    QCOMPARE(names, (QStringList{QStringLiteral("Brandt"), QStringLiteral("Fink")}));
    names.clear();
    for (const UserRow &u : explainer.usersPermitted(QDateTime(Wednesday, QTime(9, 0))))
        names << u.familyName;
    QCOMPARE(names,
             (QStringList{QStringLiteral("Abel"), QStringLiteral("Brandt"), QStringLiteral("Eck"),
                          QStringLiteral("Fink"), QStringLiteral("Gast")}));
}

void TestAccessExplain::pendingEntryAndTheReadersOwnTables()
{
    const QDateTime at(Wednesday, QTime(10, 0));
    grant(m_cole, m_weekdays); // pending from here on
    AccessExplainer explainer;
    QVERIFY(!explainer.load(m_params, QStringLiteral("Door")).isValid());
    QVERIFY(explainer.entryPending());
    AccessExplanation cole =
        explainer.explainUser(explainer.usersNamed(QStringLiteral("Cole, X")).first(), at);
    QVERIFY(cole.permitted());
    QVERIFY(cole.has(Reason::Pending));
    // The update of initTestCase is the last one logged.
    QVERIFY2(cole.texts()
                 .join(QLatin1Char('\n'))
                 .contains(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
             qPrintable(cole.texts().join(QLatin1Char('\n'))));

    ReaderSettings settings;
    settings.project = m_params;
    DecisionTables reader;
    QVERIFY(ReaderDecisionReadBack::read(settings, explainer.entry(), reader).ok());
    explainer.compareWithReader(cole, reader, at);
    QVERIFY(cole.readerAsked);
    QCOMPARE(cole.readerDecision.cause, TableDecision::UnknownIdentifier);
    QVERIFY(cole.has(Reason::ReaderDiffers));
    QVERIFY(
        !m_device->presentAt(bytesOf(QByteArray::fromHex("04a1b2c3d4e5f8")), simTime(at)).granted);

    AccessExplanation abel =
        explainer.explainUser(explainer.usersNamed(QStringLiteral("abel, x")).first(), at);
    explainer.compareWithReader(abel, reader, at);
    QVERIFY(abel.readerDecision.permitted());
    QVERIFY(abel.has(Reason::ReaderAgrees));
    QVERIFY(!abel.has(Reason::ReaderDiffers));

    update();
    QVERIFY(!explainer.load(m_params, QStringLiteral("Door")).isValid());
    QVERIFY(!explainer.entryPending());
    cole = explainer.explainUser(explainer.usersNamed(QStringLiteral("Cole, X")).first(), at);
    QVERIFY(ReaderDecisionReadBack::read(settings, explainer.entry(), reader).ok());
    explainer.compareWithReader(cole, reader, at);
    QVERIFY(cole.readerDecision.permitted());
    QVERIFY(cole.has(Reason::ReaderAgrees));
}

QProcess::ExitStatus TestAccessExplain::runCli(const QStringList &arguments, int &code,
                                               QString &out)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KX_LOOPBACK_ONLY"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KX_CLI_PROGRAM), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return QProcess::CrashExit;
    }
    code = process.exitCode();
    out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus();
}

void TestAccessExplain::cli_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstLine");
    const QString door = QStringLiteral("Door");
    const auto explain = [&](std::initializer_list<const char *> more) {
        return QStringList{QStringLiteral("explain"), QStringLiteral("--entry"), door} + args(more);
    };
    QTest::newRow("permitted") << explain({"--user", "Abel, X", "--at", "2030-12-18T10:00"}) << 0
                               << "Permitted: Abel, X at Door on Wednesday 2030-12-18 10:00";
    QTest::newRow("denied") << explain({"--user", "Abel, X", "--at", "2030-12-21T10:00"}) << 1
                            << "Denied: Abel, X at Door on Saturday 2030-12-21 10:00";
    QTest::newRow("by area and name")
        << args(
               {"explain", "--entry", "Hall/Door", "--user", "Abel, X", "--at", "2030-12-18T10:00"})
        << 0 << "Permitted: Abel, X at Door on Wednesday 2030-12-18 10:00";
    QTest::newRow("a holiday gone by") << explain({"--user", "Abel, X", "--at", "2020-12-25T10:00"})
                                       << 1 << "Denied: Abel, X at Door on Friday 2020-12-25 10:00";
    QTest::newRow("by identifier")
        << explain({"--identifier", "04A1B2C3D4E5F6", "--at", "2030-12-18T10:00"}) << 0
        << "Permitted: Abel, X; Gast, X at Door on Wednesday 2030-12-18 10:00";
    QTest::newRow("the reader too")
        << explain({"--user", "Abel, X", "--at", "2030-12-18T10:00", "--reader"}) << 0
        << "Permitted: Abel, X at Door on Wednesday 2030-12-18 10:00";
    QTest::newRow("user and identifier")
        << explain({"--user", "Abel, X", "--identifier", "04"}) << 2 << QString();
    QTest::newRow("neither") << explain({}) << 2 << QString();
    QTest::newRow("no entry") << args({"explain", "--user", "Abel, X"}) << 2 << QString();
    QTest::newRow("bad moment") << explain({"--user", "Abel, X", "--at", "tomorrow"}) << 2
                                << QString();
    QTest::newRow("unknown user") << explain({"--user", "Nobody, X"}) << 2 << QString();
    QTest::newRow("unknown entry")
        << args({"explain", "--entry", "Moon", "--user", "Abel, X"}) << 2 << QString();
    QTest::newRow("odd identifier") << explain({"--identifier", "04a"}) << 2 << QString();
    QTest::newRow("who at the door")
        << args({"who", "--entry", "Door", "--at", "2030-12-25T09:00"}) << 0 << "Brandt, X";
    QTest::newRow("where a user may go")
        << args({"who", "--user", "Abel, X", "--at", "2030-12-18T10:00"}) << 0 << "Hall\tDoor";
    QTest::newRow("nowhere then") << args({"who", "--user", "Abel, X", "--at", "2030-12-21T10:00"})
                                  << 1 << QString();
    QTest::newRow("who needs one of both") << args({"who"}) << 2 << QString();
}

void TestAccessExplain::cli()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, firstLine);
    arguments << QStringLiteral("--project") << m_params.projectPath;
    int code = -1;
    QString out;
    QCOMPARE(runCli(arguments, code, out), QProcess::NormalExit);
    QCOMPARE(code, exitCode);
    if (!firstLine.isEmpty())
        QCOMPARE(out.section(QLatin1Char('\n'), 0, 0), firstLine);
    if (arguments.contains(QStringLiteral("--reader")))
        QVERIFY2(out.contains(QStringLiteral("\nReader: permitted\n")), qPrintable(out));
}

KX_TEST_MAIN(TestAccessExplain)
#include "tst_accessexplain.moc"

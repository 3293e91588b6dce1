// Explaining a reader's decision: every explanation must agree with what a
// virtual reader, updated by the real update function, decides when the same
// identifier is presented at the same moment; and kelvara-cli explain/who.
#include "support/testsupport.h"

#include "access/accessexplainer.h"
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
    QCOMPARE(names, (QStringList{QStringLiteral("Abel"), QStringLiteral("Brandt"),
                                 QStringLiteral("Eck"), QStringLiteral("Fink")}));
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
    QTest::newRow("by identifier")
        << explain({"--identifier", "04A1B2C3D4E5F6", "--at", "2030-12-18T10:00"}) << 0
        << "Permitted: Abel, X at Door on Wednesday 2030-12-18 10:00";
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

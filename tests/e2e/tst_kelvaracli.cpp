// kelvara-cli driven as a process against virtual readers of this test.
#include "support/testsupport.h"

#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimeZone>

#include <sys/stat.h>

using namespace kxsim;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

std::vector<uint8_t> bytesOf(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

} // namespace

class TestKelvaraCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void help();
    void wholeSite();
    void userListRoundTrip();
    void importTellsWhatWasLeftOut_data();
    void importTellsWhatWasLeftOut();
    void interruptFinishesTheEntryInProgress();
    void clockSetToTheSiteZone();
    void momentsAreTimesOfTheSite_data();
    void momentsAreTimesOfTheSite();

private:
    // zone: the program's own time zone (TZ) when given.
    Result cli(const QStringList &arguments, const QString &zone = QString());
    void addUser(const QString &db, const char *name, const char *hf);
    int addEntry(const QString &db, const char *name, int type, const char *serNo,
                 const QString &ip, int port);

    QTemporaryDir m_dir;
    QString m_home;
    QString m_bus;
};

void TestKelvaraCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_home = m_dir.filePath(QStringLiteral("home"));
    m_bus = m_dir.filePath(QStringLiteral("bus"));
    QVERIFY(QDir().mkpath(m_home));
    QVERIFY(QDir().mkpath(m_bus));
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_bus));
}

Result TestKelvaraCli::cli(const QStringList &arguments, const QString &zone)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home);
    env.insert(QStringLiteral("KX_LOOPBACK_ONLY"), QStringLiteral("1"));
    env.insert(QStringLiteral("KXUSB_BUS_DIR"), m_bus);
    if (!zone.isEmpty())
        env.insert(QStringLiteral("TZ"), zone);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KX_CLI_PROGRAM), arguments);
    Result result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

void TestKelvaraCli::addUser(const QString &db, const char *name, const char *hf)
{
    UserRow u;
    u.familyName = QString::fromUtf8(name);
    u.firstName = QStringLiteral("Test");
    u.groupName = QStringLiteral("Staff");
    u.iddIso14443 =
        TransponderIdd::fromHex(QString::fromLatin1(hf), TransponderIdd::Iso14443A).toStored();
    QVERIFY(!UserRecords::addUser(db, u).isValid());
}

int TestKelvaraCli::addEntry(const QString &db, const char *name, int type, const char *serNo,
                             const QString &ip, int port)
{
    EntryRow e;
    e.doorName = QString::fromUtf8(name);
    e.areaName = QStringLiteral("Hall");
    e.readerType = type;
    e.readerSerNo = QString::fromLatin1(serNo);
    e.ipAddr = ip;
    e.port = port;
    int key = 0;
    EntryRecords::addEntry(db, e, &key);
    return key;
}

void TestKelvaraCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const auto args = [](std::initializer_list<const char *> list) {
        QStringList out;
        for (const char *a : list)
            out << QString::fromUtf8(a);
        return out;
    };
    QTest::newRow("nothing") << QStringList() << "No command given.";
    QTest::newRow("unknown command") << args({"frobnicate"}) << "Unknown command 'frobnicate'.";
    QTest::newRow("unknown function") << args({"run", "dance"}) << "Unknown function 'dance'.";
    QTest::newRow("run without function") << args({"run"}) << "run needs a function.";
    QTest::newRow("project without folder")
        << args({"entries", "--project"}) << "--project needs one folder.";
    QTest::newRow("not a project") << args({"entries", "--project", "/nonexistent/kx"})
                                   << "'/nonexistent/kx' is not a project folder.";
    QTest::newRow("no project at all") << args({"entries"})
                                       << "No project given and no current project in the "
                                          "settings.";
    QTest::newRow("create-project twice")
        << args({"create-project", "a", "b"}) << "create-project needs exactly one folder.";
    QTest::newRow("paths with an argument") << args({"paths", "x"}) << "paths takes no arguments.";
}

void TestKelvaraCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err.section(QLatin1Char('\n'), 0, 0), reason);
    QVERIFY(r.err.contains(QStringLiteral("Usage:")));
    QVERIFY(r.out.isEmpty());
}

void TestKelvaraCli::help()
{
    const Result r = cli({QStringLiteral("--help")});
    QCOMPARE(r.exitCode, 0);
    for (const char *command : {"create-project", "create-demo", "entries", "run FUNCTION",
                                "export-users", "import-users", "--prepare-drive", "--only-pending",
                                "import-transponders", "write-config", "paths"})
        QVERIFY2(r.out.contains(QString::fromLatin1(command)), command);
}

void TestKelvaraCli::wholeSite()
{
    const QString project = m_dir.filePath(QStringLiteral("Site"));
    Result r = cli({QStringLiteral("create-project"), project});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains(project));
    r = cli({QStringLiteral("create-project"), project});
    QCOMPARE(r.exitCode, 1);

    const QString db = ProjectDatabase::databasePathForProject(project);
    TimeModelRow model;
    model.modelTag = QStringLiteral("AL");
    model.modelName = QStringLiteral("All week");
    model.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri,sat,sun-00:00-23:59");
    int pkTimes = 0;
    QVERIFY(!TimeModelRecords::addTimeModel(db, model, &pkTimes).isValid());
    addUser(db, "Abel", "04a1b2c3d4e5f6");
    addUser(db, "Brandt", "04a1b2c3d4e5f7");

    VirtualReaderSetup tcpSetup;
    tcpSetup.type = 100;
    tcpSetup.deviceId = 0x1001;
    auto tcpDevice = std::make_shared<VirtualReader>(tcpSetup);
    SimReader tcpSim(tcpDevice);
    QVERIFY(tcpSim.listenTcp("127.0.0.1", 0));
    VirtualReaderSetup usbSetup;
    usbSetup.type = 100;
    usbSetup.deviceId = 0x2002;
    auto usbDevice = std::make_shared<VirtualReader>(usbSetup);
    SimReader usbSim(usbDevice);
    QVERIFY(usbSim.plugUsb(m_bus.toStdString()));
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 closedPort = closed.serverPort();
    closed.close();

    const int door =
        addEntry(db, "Door", 100, "1001", QStringLiteral("127.0.0.1"), tcpSim.tcp().port());
    const int lab = addEntry(db, "Lab", 100, "2002", QString(), 0);
    const int barrier = addEntry(db, "Barrier", 101, "a1b2", QString(), 0x10000);
    // Abel everywhere; Brandt only at the door.
    QList<UserRow> users;
    UserRecords::listUsers(db, 0, true, users);
    QVERIFY(!AccessRights::changeBoardCell(db, {users.at(0).pkUsers}, {door, lab, barrier}, pkTimes)
                 .isValid());
    QVERIFY(!AccessRights::changeBoardCell(db, {users.at(1).pkUsers}, {door}, pkTimes).isValid());

    r = cli({QStringLiteral("entries"), QStringLiteral("--project"), project});
    QCOMPARE(r.exitCode, 0);
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0),
             QStringLiteral("Area\tEntry\tConnection\tReader type\tDevice ID\tNeeds update"));
    QCOMPARE(lines.at(1), QStringLiteral("Hall\tBarrier\tUSB flash drive\tID TZU700\ta1b2\tx"));
    QCOMPARE(lines.at(2),
             QStringLiteral("Hall\tDoor\t127.0.0.1:%1\tID TZ60\t1001\tx").arg(tcpSim.tcp().port()));
    QCOMPARE(lines.at(3), QStringLiteral("Hall\tLab\tUSB cable\tID TZ60\t2002\tx"));

    // The drive route needs a drive.
    r = cli(
        {QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"), project});
    QCOMPARE(r.exitCode, 2);

    const QString drive = m_dir.filePath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(drive));
    r = cli({QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"), project,
             QStringLiteral("--only-pending"), QStringLiteral("--drive"), drive,
             QStringLiteral("--prepare-drive")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    QCOMPARE(r.out.count(QStringLiteral("Update Access Configuration DONE")), 3);
    // Piped, as a scheduled job's output is: no empty line for the journal.
    QVERIFY(!r.out.contains(QStringLiteral("\n\n")));
    QVERIFY(r.out.endsWith(QStringLiteral("Door\tOK\nLab\tOK\nBarrier\tOK\n")));
    QCOMPARE(readFile(drive + QStringLiteral("/JOB")), QByteArray("write-access\nread-event\n"));
    QVERIFY(QFile::exists(drive + QStringLiteral("/0000A1B2/ACCESS.INI")));
    QCOMPARE(tcpDevice->tables().recordCount(4), 2);
    QCOMPARE(usbDevice->tables().recordCount(4), 1);

    r = cli({QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"), project,
             QStringLiteral("--only-pending")});
    QCOMPARE(r.exitCode, 2); // nothing left to update
    QVERIFY(r.err.contains(QStringLiteral("There are no reader with changed access rights")));

    QVERIFY(tcpDevice->present(bytesOf("04a1b2c3d4e5f6")).granted);
    QVERIFY(!usbDevice->present(bytesOf("04a1b2c3d4e5f7")).granted);
    r = cli({QStringLiteral("run"), QStringLiteral("read-events"), QStringLiteral("--project"),
             project, QStringLiteral("--entry"), QStringLiteral("Door"), QStringLiteral("Lab")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    QVERIFY(r.out.endsWith(QStringLiteral("Door\tOK\nLab\tOK\n")));
    const QDir labData(entryDataPath(project, QStringLiteral("Lab")));
    const QStringList eventFiles = labData.entryList({QStringLiteral("event-*.csv")});
    QCOMPARE(eventFiles.size(), 1);
    const QByteArray labEvents = readFile(labData.filePath(eventFiles.first()));
    QVERIFY2(labEvents.contains("04A1B2C3D4E5F7") && labEvents.contains("denied"), labEvents);

    addEntry(db, "Gone", 100, "3003", QStringLiteral("127.0.0.1"), closedPort);
    r = cli({QStringLiteral("run"), QStringLiteral("set-clock"), QStringLiteral("--project"),
             project, QStringLiteral("--area"), QStringLiteral("Hall")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.out.contains(QStringLiteral("Door\tOK\n")) &&
                 r.out.contains(QStringLiteral("Gone\tNO CONNECTION\n")),
             qPrintable(r.out));
}

void TestKelvaraCli::userListRoundTrip()
{
    const QString source = m_dir.filePath(QStringLiteral("Source"));
    QCOMPARE(cli({QStringLiteral("create-demo"), source}).exitCode, 0);
    const QString file = m_dir.filePath(QStringLiteral("users.csv"));
    Result r = cli({QStringLiteral("export-users"), QStringLiteral("--project"), source, file});
    QCOMPARE(r.exitCode, 0);
    QList<UserRow> demoUsers;
    UserRecords::listUsers(ProjectDatabase::databasePathForProject(source), 0, true, demoUsers);
    QCOMPARE(r.out, QStringLiteral("%1 user entries exported to file\n").arg(demoUsers.size()));

    const QString target = m_dir.filePath(QStringLiteral("Target"));
    QCOMPARE(cli({QStringLiteral("create-project"), target}).exitCode, 0);
    r = cli({QStringLiteral("import-users"), QStringLiteral("--project"), target, file});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("%1 user entries imported from file\n").arg(demoUsers.size()));
    r = cli({QStringLiteral("import-users"), QStringLiteral("--project"), target, file});
    QCOMPARE(r.exitCode, 1); // every line is refused the second time
    QVERIFY(r.err.startsWith(QStringLiteral("Nothing imported")));

    r = cli({QStringLiteral("import-users"), QStringLiteral("--project"), target,
             m_dir.filePath(QStringLiteral("missing.csv"))});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QStringLiteral("Cannot open import file\n"));
}

void TestKelvaraCli::importTellsWhatWasLeftOut_data()
{
    QTest::addColumn<QByteArray>("content"); // "fifo": a FIFO in place of the file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told"); // on standard output with 0, on standard error else
    const QByteArray header("LastName;FirstName;IDDProximityTransponder\r\n");
    QTest::newRow("complete") << header + "Ann;Lee;A1B2C3D4\r\n"
                              << 0 << "1 user entries imported from file\n";
    QTest::newRow("refused identifier named with its line")
        << header + "Ann;Lee;A1B2C3D4\r\nBo;Ng;A1B2Z\r\n"
        << 1 << "Line 3 (Bo, Ng): 'A1B2Z'";
    QTest::newRow("line left out") << header + "Ann;Lee;;x\r\nBo;Ng;\r\n"
                                   << 1 << "1 lines not imported";
    QTest::newRow("NUL byte in a name")
        << header + QByteArray("An\0n;Lee;\r\nBo;Ng;\r\n", 19) << 1 << "1 lines not imported";
    QTest::newRow("empty file") << QByteArray() << 1 << "Nothing imported: the file is empty.";
    QTest::newRow("header only") << header << 1
                                 << "Nothing imported: the file holds no line after its header.";
    QTest::newRow("CR-only line ends") << QByteArray("LastName;FirstName\rAnn;Lee\rBo;Ng\r") << 0
                                       << "2 user entries imported from file\n";
    QTest::newRow("FIFO") << QByteArray("fifo") << 1 << "is not a regular file";
}

void TestKelvaraCli::importTellsWhatWasLeftOut()
{
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    const QString project =
        m_dir.filePath(QStringLiteral("Import-%1").arg(QString::fromUtf8(QTest::currentDataTag())));
    QCOMPARE(cli({QStringLiteral("create-project"), project}).exitCode, 0);
    const QString file = project + QStringLiteral("/users.csv");
    if (content == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
    }
    const Result r =
        cli({QStringLiteral("import-users"), QStringLiteral("--project"), project, file});
    QCOMPARE(r.exitCode, exitCode);
    const QString text = exitCode == 0 || r.err.isEmpty() ? r.out : r.err;
    QVERIFY2(text.contains(told), qPrintable(r.out + r.err));
    QList<UserRow> users;
    UserRecords::listUsers(ProjectDatabase::databasePathForProject(project), 0, true, users);
    for (const UserRow &user : qAsConst(users))
        QVERIFY2(!user.familyName.contains(QChar(0)), "a name with a NUL byte was stored");
}

void TestKelvaraCli::clockSetToTheSiteZone()
{
    // A nightly job on a server in UTC for doors in Tokyo.
    const QString project = m_dir.filePath(QStringLiteral("Tokyo"));
    QCOMPARE(cli({QStringLiteral("create-project"), project}).exitCode, 0);
    VirtualReaderSetup setup;
    setup.type = 100;
    setup.deviceId = 0x1001;
    auto device = std::make_shared<VirtualReader>(setup);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    addEntry(ProjectDatabase::databasePathForProject(project), "Door", 100, "1001",
             QStringLiteral("127.0.0.1"), sim.tcp().port());
    const QStringList inProject = {QStringLiteral("--project"), project};
    QCOMPARE(cli(QStringList{QStringLiteral("time-zone"), QStringLiteral("Mars/Base")} + inProject)
                 .exitCode,
             2);
    QCOMPARE(
        cli(QStringList{QStringLiteral("time-zone"), QStringLiteral("Asia/Tokyo")} + inProject).out,
        QStringLiteral("Asia/Tokyo\n"));
    const Result r =
        cli(QStringList{QStringLiteral("run"), QStringLiteral("set-clock")} + inProject,
            QStringLiteral("UTC"));
    QCOMPARE(r.exitCode, 0);
    const QDateTime tokyo = QDateTime::currentDateTimeUtc().toTimeZone(QTimeZone("Asia/Tokyo"));
    const SimDateTime c = device->clock();
    const QDateTime reader(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second),
                           Qt::UTC);
    const QDateTime site(tokyo.date(), tokyo.time(), Qt::UTC);
    // Nine hours apart from UTC: minutes of leeway cannot blur that.
    QVERIFY2(qAbs(reader.secsTo(site)) < 600, qPrintable(reader.toString(Qt::ISODate)));
}

void TestKelvaraCli::momentsAreTimesOfTheSite_data()
{
    QTest::addColumn<QString>("programZone");
    QTest::addColumn<QString>("siteZone");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QString>("told"); // on standard error; empty: answered
    // On 29 March 2026 Central European clocks go from 02:00 straight to 03:00.
    QTest::newRow("in the gap of the site, here too") << "Europe/Berlin"
                                                      << "computer"
                                                      << "2026-03-29T02:30"
                                                      << "does not exist";
    QTest::newRow("in the gap of the site, not here") << "UTC"
                                                      << "Europe/Berlin"
                                                      << "2026-03-29T02:30"
                                                      << "does not exist";
    QTest::newRow("in the gap here, not at the site") << "Europe/Berlin"
                                                      << "UTC"
                                                      << "2026-03-29T02:30" << QString();
    QTest::newRow("not a moment") << "UTC"
                                  << "UTC"
                                  << "2026-03-29 02:30"
                                  << "of the form";
}

void TestKelvaraCli::momentsAreTimesOfTheSite()
{
    QFETCH(QString, programZone);
    QFETCH(QString, siteZone);
    QFETCH(QString, at);
    QFETCH(QString, told);
    const QString project =
        m_dir.filePath(QStringLiteral("Moment-%1").arg(QString::fromUtf8(QTest::currentDataTag())));
    QCOMPARE(cli({QStringLiteral("create-project"), project}).exitCode, 0);
    addEntry(ProjectDatabase::databasePathForProject(project), "Door", 100, "1001",
             QStringLiteral("127.0.0.1"), 1);
    QCOMPARE(
        cli({QStringLiteral("time-zone"), QStringLiteral("--project"), project, siteZone}).exitCode,
        0);
    const Result r =
        cli({QStringLiteral("explain"), QStringLiteral("--project"), project,
             QStringLiteral("--entry"), QStringLiteral("Door"), QStringLiteral("--identifier"),
             QStringLiteral("04A1B2C3D4E5F6"), QStringLiteral("--at"), at},
            programZone);
    if (told.isEmpty()) {
        QCOMPARE(r.exitCode, 1); // answered: nobody may pass
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    } else {
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(told), qPrintable(r.err));
    }
}

void TestKelvaraCli::interruptFinishesTheEntryInProgress()
{
    const QString project = m_dir.filePath(QStringLiteral("Stopped"));
    QCOMPARE(cli({QStringLiteral("create-project"), project}).exitCode, 0);
    const QString db = ProjectDatabase::databasePathForProject(project);
    addUser(db, "Abel", "04a1b2c3d4e5f6");
    VirtualReaderSetup setup;
    setup.type = 100;
    setup.deviceId = 0x1001;
    SimReader slow(std::make_shared<VirtualReader>(setup));
    QVERIFY(slow.listenTcp("127.0.0.1", 0));
    slow.faults().setDelayMs(300); // the first entry takes a while
    setup.deviceId = 0x1002;
    SimReader quick(std::make_shared<VirtualReader>(setup));
    QVERIFY(quick.listenTcp("127.0.0.1", 0));
    const int first =
        addEntry(db, "A-Door", 100, "1001", QStringLiteral("127.0.0.1"), slow.tcp().port());
    const int second =
        addEntry(db, "B-Door", 100, "1002", QStringLiteral("127.0.0.1"), quick.tcp().port());
    QList<UserRow> users;
    UserRecords::listUsers(db, 0, true, users);
    QVERIFY(
        !AccessRights::changeBoardCell(db, {users.first().pkUsers}, {first, second}, 1).isValid());

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home);
    env.insert(QStringLiteral("KX_LOOPBACK_ONLY"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    // One entry at a time: the second one has not begun when the signal comes.
    process.start(QStringLiteral(KX_CLI_PROGRAM),
                  {QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"),
                   project, QStringLiteral("--jobs"), QStringLiteral("1")});
    QByteArray out;
    // Stop as soon as the first entry has begun.
    while (!out.contains("ENTRY: 'A-Door'") && process.waitForReadyRead(30000))
        out += process.readAllStandardOutput();
    QVERIFY2(out.contains("ENTRY: 'A-Door'"), out);
    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    out += process.readAllStandardOutput();
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(out.endsWith("A-Door\tOK\nB-Door\tNOT RUN\n"), out);
    QVERIFY(!out.contains("ENTRY: 'B-Door'"));
    ProjectDatabase database(db);
    QVERIFY(database.open());
    QSqlQuery q = database.query();
    QVERIFY(q.exec(QStringLiteral("select doorName, needsUpdate from doors order by doorName")));
    QStringList marks;
    while (q.next())
        marks << q.value(0).toString() + QLatin1Char('=') + q.value(1).toString();
    QCOMPARE(marks, (QStringList{QStringLiteral("A-Door=0"), QStringLiteral("B-Door=1")}));
}

KX_TEST_MAIN(TestKelvaraCli)
#include "tst_kelvaracli.moc"

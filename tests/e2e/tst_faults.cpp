// Faults that really happen to a running installation: a damaged database
// page, a full disk, another program changing or holding the project, a
// reader that never stops sending events, and signals. kelvara-cli runs as a
// process against virtual readers of this test.
#include "support/testsupport.h"

#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/functionrunlock.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

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

std::vector<uint8_t> bytesOf(const QString &hex)
{
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

QString hfOf(int number)
{
    return QStringLiteral("04a1b2c3%1").arg(number, 6, 16, QLatin1Char('0'));
}

// A project made as a user makes one: a short-range entry on a virtual
// reader and `users` users with a right there.
struct Site
{
    QString folder;
    QString db;
    int entry = 0;
    QList<int> users;

    Site(const QString &parent, const QString &name, int userCount, int port)
    {
        folder = parent + QLatin1Char('/') + name;
        QDir().mkpath(folder);
        db = ProjectDatabase::databasePathForProject(folder);
        ProjectSchema::createProjectDatabase(db);
        {
            // One transaction, or thousands of users take a disk sync each.
            ProjectDatabase database(db);
            database.open();
            database.transaction();
            QSqlQuery query = database.query();
            for (int i = 0; i < userCount; ++i) {
                UserRow u;
                u.familyName = QStringLiteral("User%1").arg(i);
                u.firstName = QStringLiteral("Test");
                u.groupName = QStringLiteral("Staff");
                u.iddIso14443 =
                    TransponderIdd::fromHex(hfOf(i), TransponderIdd::Iso14443A).toStored();
                int key = 0;
                UserRecords::addUser(query, u, &key);
                users << key;
            }
            query.finish();
            database.commit();
        }
        EntryRow e;
        e.doorName = QStringLiteral("Door");
        e.areaName = QStringLiteral("Hall");
        e.readerType = 100;
        e.readerSerNo = QStringLiteral("C0FFEE"); // the virtual reader's own
        e.ipAddr = QStringLiteral("127.0.0.1");
        e.port = port;
        EntryRecords::addEntry(db, e, &entry);
        AccessRights::changeBoardCell(db, QSet<int>(users.begin(), users.end()), {entry}, 1);
    }

    int pending() const
    {
        ProjectDatabase database(db);
        database.open();
        QSqlQuery q = database.query();
        ProjectDatabase::exec(q, QStringLiteral("select needsUpdate from doors where PKdoors=?"),
                              {entry});
        return q.next() ? q.value(0).toInt() : -1;
    }
};

// The signal mask of the handlers a process has installed, from /proc.
bool catchesSignal(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedPageFailsInsteadOfShorteningLists_data();
    void damagedPageFailsInsteadOfShorteningLists();
    void fullDiskKeepsThePreviousFiles_data();
    void fullDiskKeepsThePreviousFiles();
    void endlessEventsEndWithAnError();
    void secondSignalEndsAtOnce();
    void importStopsOnSignalAndRollsBack();
    void lockedDatabaseIsReportedAsInUse();
    void secondRunWaitsForTheFirstAndNamesIt();
    void leftOverRunLock_data();
    void leftOverRunLock();

private:
    QProcessEnvironment environment() const;
    Result cli(const QStringList &arguments, const QString &program = QString());

    QTemporaryDir m_dir;
    QString m_home;
};

void TestFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_home = m_dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(m_home));
}

QProcessEnvironment TestFaults::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home);
    env.insert(QStringLiteral("KX_LOOPBACK_ONLY"), QStringLiteral("1"));
    env.insert(QStringLiteral("KXUSB_BUS_DIR"), m_dir.filePath(QStringLiteral("bus")));
    return env;
}

Result TestFaults::cli(const QStringList &arguments, const QString &program)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program.isEmpty() ? QStringLiteral(KX_CLI_PROGRAM) : program, arguments);
    Result result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

void TestFaults::damagedPageFailsInsteadOfShorteningLists_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("exportFails");
    QTest::newRow("access") << "access" << false;
    QTest::newRow("users") << "users" << true;
}

void TestFaults::damagedPageFailsInsteadOfShorteningLists()
{
    QFETCH(QString, table);
    QFETCH(bool, exportFails);
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const Site site(m_dir.path(), QStringLiteral("Damaged-") + table, 3000, sim.tcp().port());
    const QString exported = m_dir.filePath(table + QStringLiteral(".csv"));
    Result r =
        cli({QStringLiteral("export-users"), QStringLiteral("--project"), site.folder, exported});
    QCOMPARE(r.exitCode, 0);
    const QByteArray before = readFile(exported);
    QVERIFY(TestSupport::damageTablePage(site.db, table));

    r = cli({QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"),
             site.folder, QStringLiteral("--all")});
    QVERIFY2(r.exitCode == 1, qPrintable(r.out + r.err));
    QVERIFY2(r.out.endsWith(QStringLiteral("Door\tFAILED\n")), qPrintable(r.out));
    QVERIFY2(r.out.contains(QStringLiteral("DB error")), qPrintable(r.out));
    QCOMPARE(device->tables().recordCount(4), 0); // the reader got no shortened table
    QCOMPARE(site.pending(), 1);

    r = cli({QStringLiteral("export-users"), QStringLiteral("--project"), site.folder, exported});
    QCOMPARE(r.exitCode, exportFails ? 1 : 0);
    if (exportFails) {
        QVERIFY2(r.err.contains(QStringLiteral("malformed")), qPrintable(r.err));
        QCOMPARE(readFile(exported), before);
    }
}

void TestFaults::fullDiskKeepsThePreviousFiles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kept"); // relative to the mount point
    QTest::newRow("update onto a full flash drive") << "update"
                                                    << "0000A1B2/ACCESS.INI";
    QTest::newRow("events onto a full disk") << "read-events"
                                             << "";
    QTest::newRow("export onto a full disk") << "export-users"
                                             << "users.csv";
}

void TestFaults::fullDiskKeepsThePreviousFiles()
{
    QFETCH(QString, command);
    QFETCH(QString, kept);
    if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
        QSKIP("unshare is not available");
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    Site site(m_dir.path(), QStringLiteral("Full-") + command, 3, sim.tcp().port());
    for (int i = 0; i < 3; ++i)
        device->present(bytesOf(hfOf(i)));
    EntryRow barrier;
    barrier.doorName = QStringLiteral("Barrier");
    barrier.areaName = QStringLiteral("Yard");
    barrier.readerType = 101;
    barrier.readerSerNo = QStringLiteral("a1b2");
    barrier.port = 0x10000;
    int key = 0;
    QVERIFY(!EntryRecords::addEntry(site.db, barrier, &key).isValid());
    QVERIFY(!AccessRights::changeBoardCell(site.db, {site.users.first()}, {key}, 1).isValid());

    // A small tmpfs in a mount namespace of our own, filled up after the
    // previous files are in place; the command then writes onto it.
    QString mount;
    QStringList arguments{QStringLiteral("--project"), site.folder};
    if (command == QLatin1String("update")) {
        mount = m_dir.filePath(QStringLiteral("stick-") + command);
        arguments = QStringList{QStringLiteral("run"), command} + arguments +
                    QStringList{QStringLiteral("--entry"), QStringLiteral("Barrier"),
                                QStringLiteral("--drive"), mount};
    } else if (command == QLatin1String("read-events")) {
        mount = site.folder + QStringLiteral("/data");
        arguments = QStringList{QStringLiteral("run"), command} + arguments +
                    QStringList{QStringLiteral("--entry"), QStringLiteral("Door")};
    } else {
        mount = m_dir.filePath(QStringLiteral("exports"));
        arguments = QStringList{command} + arguments + QStringList{mount + QLatin1Char('/') + kept};
    }
    QVERIFY(QDir().mkpath(mount));
    const QString script =
        QStringLiteral("mount -t tmpfs -o size=64k kx-full \"$1\" || exit 77\n"
                       "shift\n"
                       "if [ -n \"$KEPT\" ]; then mkdir -p \"$(dirname \"$MNT/$KEPT\")\" && "
                       "printf 'previous\\r\\n' > \"$MNT/$KEPT\"; fi\n"
                       "dd if=/dev/zero of=\"$MNT/filler\" bs=1k count=128 2>/dev/null\n"
                       "\"$@\"\n"
                       "echo \"exit=$?\"\n"
                       "if [ -n \"$KEPT\" ]; then echo \"kept=$(cat \"$MNT/$KEPT\")\"; fi\n"
                       "echo \"files=$(find \"$MNT\" -name '*.csv' -size +0 | wc -l)\"\n");
    QProcess process;
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("MNT"), mount);
    env.insert(QStringLiteral("KEPT"), kept);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("unshare"),
                  QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                              script, QStringLiteral("sh"), mount, QStringLiteral(KX_CLI_PROGRAM)} +
                      arguments);
    QVERIFY(process.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (!out.contains(QStringLiteral("exit=")))
        QSKIP(qPrintable(QStringLiteral("no tmpfs can be mounted here: ") + err));
    QVERIFY2(out.contains(QStringLiteral("exit=1\n")), qPrintable(out + err));
    if (!kept.isEmpty())
        QVERIFY2(out.contains(QStringLiteral("kept=previous\r\n")), qPrintable(out + err));
    if (command != QLatin1String("export-users")) {
        QVERIFY2(out.contains(QStringLiteral("\tFAILED\n")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("DONE")), qPrintable(out));
    }
    if (command == QLatin1String("update")) {
        ProjectDatabase database(site.db);
        QVERIFY(database.open());
        QSqlQuery q = database.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("select needsUpdate from doors where PKdoors=?"), {key}));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
    if (command == QLatin1String("read-events"))
        QVERIFY2(out.contains(QStringLiteral("files=0\n")), qPrintable(out));
}

void TestFaults::endlessEventsEndWithAnError()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const Site site(m_dir.path(), QStringLiteral("Endless"), 1, sim.tcp().port());
    for (int i = 0; i < 200; ++i)
        device->present(bytesOf(hfOf(i)));
    device->setEndlessEvents(true);
    const Result r = cli({QStringLiteral("run"), QStringLiteral("read-events"),
                          QStringLiteral("--project"), site.folder});
    QVERIFY2(r.exitCode == 1, qPrintable(r.out + r.err));
    QVERIFY2(r.out.endsWith(QStringLiteral("Door\tFAILED\n")), qPrintable(r.out));
    // No more than a reader's 16-bit event numbering can tell apart, plus the last answer.
    QVERIFY2(device->eventsAnswered() <= 0xFFFF + 200,
             qPrintable(QString::number(device->eventsAnswered())));
}

void TestFaults::secondSignalEndsAtOnce()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const Site site(m_dir.path(), QStringLiteral("Signals"), 1, sim.tcp().port());
    sim.faults().setDelayMs(4000); // every answer keeps the run waiting
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(KX_CLI_PROGRAM), {QStringLiteral("run"), QStringLiteral("update"),
                                                   QStringLiteral("--project"), site.folder});
    QByteArray out;
    while (!out.contains("ENTRY: 'Door'") && process.waitForReadyRead(30000))
        out += process.readAllStandardOutput();
    QVERIFY2(out.contains("ENTRY: 'Door'"), out);
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(!process.waitForFinished(300)); // the first one lets the entry finish
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("Stopped at once"));
    QCOMPARE(site.pending(), 1);
    sim.faults().setDelayMs(0);
}

void TestFaults::importStopsOnSignalAndRollsBack()
{
    const Site site(m_dir.path(), QStringLiteral("Import"), 0, 1);
    const QString list = m_dir.filePath(QStringLiteral("import.csv"));
    {
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("LastName;FirstName;UserGroup\r\n");
        for (int i = 0; i < 50; ++i)
            file.write(QStringLiteral("Name%1;First;Staff\r\n").arg(i).toLatin1());
    }
    // Another program holds the write lock, so the import waits at its first
    // row long enough for the signal to come during it.
    ProjectDatabase holder(site.db);
    QVERIFY(holder.open());
    QSqlQuery hold = holder.query();
    QVERIFY(hold.exec(QStringLiteral("begin immediate")));

    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(KX_CLI_PROGRAM),
                  {QStringLiteral("import-users"), QStringLiteral("--project"), site.folder, list});
    QVERIFY(process.waitForStarted());
    for (int i = 0; i < 300 && !catchesSignal(process.processId(), SIGTERM); ++i)
        QTest::qWait(20);
    QVERIFY(catchesSignal(process.processId(), SIGTERM));
    QTest::qWait(200);
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(60000));
    QVERIFY(hold.exec(QStringLiteral("rollback")));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(process.readAllStandardError().contains("nothing was imported"),
             process.readAllStandardOutput());
    QList<UserRow> users;
    QVERIFY(!UserRecords::listUsers(site.db, 0, true, users).isValid());
    QCOMPARE(users.size(), 0);
}

void TestFaults::lockedDatabaseIsReportedAsInUse()
{
    const Site site(m_dir.path(), QStringLiteral("Locked"), 1, 1);
    ProjectDatabase holder(site.db);
    QVERIFY(holder.open());
    QSqlQuery hold = holder.query();
    QVERIFY(hold.exec(QStringLiteral("begin exclusive")));
    const Result r = cli({QStringLiteral("entries"), QStringLiteral("--project"), site.folder});
    QVERIFY(hold.exec(QStringLiteral("rollback")));
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QStringLiteral("The project is in use by another program; try again.\n"));
    QCOMPARE(cli({QStringLiteral("entries"), QStringLiteral("--project"), site.folder}).exitCode,
             0);
}

void TestFaults::secondRunWaitsForTheFirstAndNamesIt()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const Site site(m_dir.path(), QStringLiteral("Busy"), 1, sim.tcp().port());
    FunctionRunLock first(site.folder);
    QVERIFY(first.tryLock());

    QProcess second;
    second.setProcessEnvironment(environment());
    second.start(QStringLiteral(KX_CLI_PROGRAM),
                 {QStringLiteral("run"), QStringLiteral("set-clock"), QStringLiteral("--project"),
                  site.folder});
    QByteArray out;
    while (!out.contains("Waiting") && second.waitForReadyRead(30000))
        out += second.readAllStandardOutput();
    QVERIFY2(out.contains("Another function run uses this project: "), out);
    QVERIFY2(
        out.contains(
            QStringLiteral("(process %1 on ").arg(QCoreApplication::applicationPid()).toLatin1()),
        out);
    QVERIFY(!out.contains("ENTRY:")); // no reader contact while the first run holds it
    first.unlock();
    QVERIFY(second.waitForFinished(60000));
    out += second.readAllStandardOutput();
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(out.endsWith("Door\tOK\n"), out);
}

void TestFaults::leftOverRunLock_data()
{
    QTest::addColumn<QByteArray>("lock"); // the lock file's content
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("told"); // empty: the run goes ahead
    QTest::newRow("empty (a power cut)") << QByteArray() << false << QString();
    QTest::newRow("garbled") << QByteArray("\xff\xfe\n\n") << false << QString();
    QTest::newRow("holder gone") << QByteArray("gone") << false << QString();
    QTest::newRow("read-only project folder") << QByteArray() << true << "is read-only";
    // Kept: a live process of this host, or one on another host nobody can ask.
    QTest::newRow("holder alive") << QByteArray("alive") << false << "in use";
    QTest::newRow("holder on another host") << QByteArray("elsewhere") << false << "in use";
}

void TestFaults::leftOverRunLock()
{
    QFETCH(QByteArray, lock);
    QFETCH(bool, readOnly);
    QFETCH(QString, told);
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup{});
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const Site site(m_dir.path(),
                    QStringLiteral("Lock-%1").arg(QString::fromUtf8(QTest::currentDataTag())), 1,
                    sim.tcp().port());
    const QString lockPath = FunctionRunLock::lockFilePath(site.folder);
    if (lock == "gone" || lock == "elsewhere") {
        // A process id nobody holds here now.
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        lock = QByteArray::number(pid) + "\nkelvara-cli\n" +
               (lock == "gone" ? QSysInfo::machineHostName().toUtf8()
                               : QByteArray("another-host.invalid"));
    } else if (lock == "alive") {
        lock = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
               QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
               QSysInfo::machineHostName().toUtf8();
    }
    if (!readOnly) {
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(lock), lock.size());
    }
    if (!readOnly && !told.isEmpty()) {
        // A run would wait for it: asked here without waiting.
        FunctionRunLock second(site.folder);
        QVERIFY(!second.tryLock());
        QVERIFY(second.heldByAnother());
        QVERIFY2(second.refusal().contains(told) && second.refusal().contains(lockPath),
                 qPrintable(second.refusal()));
        QCOMPARE(readFile(lockPath), lock);
        return;
    }
    const QStringList run = {QStringLiteral("run"), QStringLiteral("set-clock"),
                             QStringLiteral("--project"), site.folder};
    Result r;
    if (!readOnly) {
        r = cli(run);
    } else if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(site.folder, QFile::ReadOwner | QFile::ExeOwner));
        r = cli(run);
        QFile::setPermissions(site.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        // Root writes anywhere: the folder is made read-only in a mount
        // namespace of the program's own.
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("no unshare here to make a folder read-only for root");
        r = cli(QStringList{QStringLiteral("-m"), QStringLiteral("--propagation"),
                            QStringLiteral("private"), QStringLiteral("sh"), QStringLiteral("-c"),
                            QStringLiteral("mount --bind \"$0\" \"$0\" && mount -o remount,ro,bind "
                                           "\"$0\" \"$0\" && exec \"$@\""),
                            site.folder, QStringLiteral(KX_CLI_PROGRAM)} +
                    run,
                QStringLiteral("unshare"));
    }
    if (told.isEmpty()) {
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.endsWith(QStringLiteral("Door\tOK\n")), qPrintable(r.out + r.err));
        QVERIFY(!QFile::exists(lockPath));
    } else {
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(told) && r.err.contains(lockPath), qPrintable(r.out + r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("in use")), qPrintable(r.err));
    }
}

KX_TEST_MAIN(TestFaults)
#include "tst_faults.moc"

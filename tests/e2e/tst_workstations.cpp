// Two workstations on one server project, each with its own project folder
// holding the same connection file, as two desks have.
#include "support/officesite.h"
#include "support/testsupport.h"

#include "db/entryselection.h"
#include "db/entryserverlock.h"
#include "db/projectdatabase.h"
#include "functions/kelvarasetdatetimethread.h"
#include "simreader.h"
#include "virtualreader.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace kxsim;

namespace {

// The second desk: a project folder of its own on the same database.
ProjectParameters secondDesk(const TestSupport::OfficeSite &site, const QTemporaryDir &dir)
{
    ProjectParameters params = site.params;
    params.projectPath = dir.filePath(QStringLiteral("Site"));
    QDir().mkpath(params.projectPath);
    site.project.server()->writeConnectionFile(params.projectPath);
    params.databasePath = ProjectDatabase::databasePathForProject(params.projectPath);
    return params;
}

} // namespace

class TestWorkstations : public QObject
{
    Q_OBJECT

private slots:
    void readerServedByAnotherDesk_data();
    void readerServedByAnotherDesk();
    void lockEndsWithItsConnection();
    void reusedConnectionStartsClean();
    void badServerProjects_data();
    void badServerProjects();
};

void TestWorkstations::readerServedByAnotherDesk_data()
{
    QTest::addColumn<bool>("releasedWhileWaiting");
    QTest::newRow("released while the second desk waits") << true;
    QTest::newRow("held past the wait") << false;
}

void TestWorkstations::readerServedByAnotherDesk()
{
    KX_REQUIRE_SERVER();
    QFETCH(bool, releasedWhileWaiting);
    VirtualReaderSetup setup;
    setup.deviceId = 0x1001;
    auto device = std::make_shared<VirtualReader>(setup);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    TestSupport::OfficeSite site{TestSupport::ProjectKind::Server};
    QVERIFY(site.project.isValid());
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), sim.tcp().port());
    device->setClock(SimDateTime{2020, 1, 1, 0, 0, 0});

    // The first desk serves the door.
    EntryServerLock first(site.db(), door);
    QCOMPARE(first.tryLock(), EntryServerLock::Result::Locked);

    QTemporaryDir dir;
    KelvaraSetDateTimeThread second(secondDesk(site, dir));
    QList<EntryTarget> entries;
    QVERIFY(!EntrySelection::allEntries(false).list(site.db(), entries).isValid());
    second.setEntries(entries);
    second.setRunLockWait(releasedWhileWaiting ? 20000 : 1000);
    QSignalSpy logs(&second, &KelvaraFunctionThread::logMessage);
    QSignalSpy states(&second, &KelvaraFunctionThread::state);
    second.start();
    QTRY_VERIFY_WITH_TIMEOUT(
        logs.count() > 0 && logs.last().at(0).toString().contains(QStringLiteral("Waiting up to")),
        10000);
    const QString waiting = logs.last().at(0).toString();
    QVERIFY2(waiting.contains(QStringLiteral("being served by test_workstations@")),
             qPrintable(waiting));
    QCOMPARE(device->clock().year, 2020); // nothing sent while the first desk holds it
    if (releasedWhileWaiting)
        first.unlock();
    QVERIFY(second.wait(30000));
    QStringList lines;
    for (const QList<QVariant> &line : qAsConst(logs))
        lines << line.at(0).toString();
    QCOMPARE(states.count(), 1);
    QCOMPARE(states.at(0).at(1).toInt(), releasedWhileWaiting ? int(KelvaraFunctionThread::Done)
                                                              : int(KelvaraFunctionThread::Failed));
    QCOMPARE(device->clock().year != 2020, releasedWhileWaiting);
    QCOMPARE(lines
                 .filter(QStringLiteral("Nothing was sent to this reader: it is being served by "
                                        "test_workstations@"))
                 .size(),
             releasedWhileWaiting ? 0 : 1);
}

void TestWorkstations::lockEndsWithItsConnection()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project{QStringLiteral("Site"), TestSupport::ProjectKind::Server};
    QVERIFY(project.isValid());
    auto dying = std::make_unique<EntryServerLock>(project.databasePath(), 7);
    QCOMPARE(dying->tryLock(), EntryServerLock::Result::Locked);
    EntryServerLock other(project.databasePath(), 7);
    QCOMPARE(other.tryLock(), EntryServerLock::Result::Busy);
    EntryServerLock otherEntry(project.databasePath(), 8);
    QCOMPARE(otherEntry.tryLock(), EntryServerLock::Result::Locked);
    // A desk that dies (its connection ends) leaves no lock behind.
    dying.reset();
    QCOMPARE(other.tryLock(), EntryServerLock::Result::Locked);
}

void TestWorkstations::reusedConnectionStartsClean()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project{QStringLiteral("Site"), TestSupport::ProjectKind::Server};
    QVERIFY(project.isValid());
    auto backend = [&](bool leaveOpen) {
        ProjectDatabase db(project.databasePath());
        if (!db.open())
            return -1;
        QSqlQuery q = db.query();
        if (!q.exec(QStringLiteral("select pg_backend_pid(), (select count(*) from holidays)")) ||
            !q.next())
            return -1;
        const int pid = q.value(0).toInt();
        if (q.value(1).toInt() != 0)
            return -2; // saw what an earlier operation never committed
        if (leaveOpen &&
            (!db.transaction() || !q.exec(QStringLiteral("insert into holidays (date) values "
                                                         "('2030-01-01')"))))
            return -1;
        return pid;
    };
    const int alone = backend(false);
    QVERIFY(alone > 0);
    QVERIFY(backend(false) != alone); // without reuse every operation signs in
    ProjectDatabase::Reuse reuse;
    const int first = backend(true);
    QVERIFY(first > 0);
    QCOMPARE(backend(false), first); // the same connection, its transaction rolled back
}

void TestWorkstations::badServerProjects_data()
{
    QTest::addColumn<QString>("connection"); // the connection file; %1 the test server
    QTest::addColumn<QString>("statement");  // run on the project first, as superuser
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString good =
        QStringLiteral("Host=%1\nPort=%2\nDatabase=%3\nUser=%4\nSslMode=disable\n");
    QTest::newRow("server unreachable")
        << QStringLiteral("Host=/nonexistent\nPort=5432\nDatabase=%3\nSslMode=disable\n")
        << QString() << 1 << QStringLiteral("cannot be reached or refused the connection");
    QTest::newRow("no password")
        << QStringLiteral("Host=%1\nPort=%2\nDatabase=%3\nUser=kx_test_password\n") << QString()
        << 1 << QStringLiteral("refused the sign-in of \"kx_test_password\": a password is needed");
    QTest::newRow("password in the file") << good + QStringLiteral("Password=secret\n") << QString()
                                          << 1 << QStringLiteral("holds a password");
    QTest::newRow("made by a newer program")
        << good << QStringLiteral("update project set value='99' where tag='SchemaVersion'") << 2
        << QStringLiteral("made by a newer version");
    QTest::newRow("a trigger not ours")
        << good
        << QStringLiteral("create trigger keep_mark after update on doors for each statement "
                          "execute function kelvara_notify()")
        << 2 << QStringLiteral("holds the trigger \"keep_mark\"");
}

void TestWorkstations::badServerProjects()
{
    KX_REQUIRE_SERVER();
    QFETCH(QString, connection);
    QFETCH(QString, statement);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TestSupport::TempProject project{QStringLiteral("Site"), TestSupport::ProjectKind::Server};
    QVERIFY(project.isValid());
    const TestSupport::ServerDatabase &server = *project.server();
    QVERIFY(statement.isEmpty() || server.exec(statement));
    server.exec(QStringLiteral("do $$begin create role kx_test_password login password "
                               "'secret'; exception when duplicate_object then null; end$$"));
    QFile file(ProjectDatabase::databasePathForProject(project.folder()));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(connection
                   .arg(qEnvironmentVariable("KX_TEST_PGHOST"),
                        qEnvironmentVariable("KX_TEST_PGPORT", QStringLiteral("5432")),
                        server.name(), qEnvironmentVariable("KX_TEST_PGUSER"))
                   .toUtf8());
    file.close();

    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("PGPASSWORD"));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(KX_CLI_PROGRAM),
              {QStringLiteral("entries"), QStringLiteral("--project"), project.folder()});
    QVERIFY(cli.waitForFinished(60000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), exitCode);
    QVERIFY2(err.contains(message), qPrintable(err));
}

KX_TEST_MAIN(TestWorkstations)
#include "tst_workstations.moc"

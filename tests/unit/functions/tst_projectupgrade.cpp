// Schema versions: projects of the released versions open unchanged, older
// ones are upgraded all or nothing after a backup, newer or damaged ones are
// refused without a byte written, by the upgrade and by the command line.
#include "cli/kelvaracli.h"
#include "core/archivetool.h"
#include "db/projectcopy.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "db/serversetup.h"
#include "functions/functionrunlock.h"
#include "functions/projectupgrade.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QStandardPaths>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

using Outcome = ProjectUpgrade::Outcome;
using TestSupport::TestStep;
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(TestStep)
Q_DECLARE_METATYPE(SchemaVersion::State)

namespace {

// The released fixtures live in tests/data/projects/<name>/<name>.sqlite3.
QString copyFixture(const QString &name, const QString &into)
{
    const QString source = QStringLiteral(KX_FIXTURES "/%1/%1.sqlite3").arg(name);
    const QString folder = into + QLatin1Char('/') + name;
    if (!QDir().mkpath(folder) ||
        !QFile::copy(source, ProjectDatabase::databasePathForProject(folder)))
        return QString();
    QFile::setPermissions(ProjectDatabase::databasePathForProject(folder),
                          QFile::ReadOwner | QFile::WriteOwner);
    return folder;
}

bool runSql(const QString &folder, const QString &statement)
{
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder),
                       ProjectDatabase::Access::Raw);
    QSqlQuery query = db.query();
    return db.open() && query.exec(statement);
}

QVariant scalar(const QString &folder, const QString &statement)
{
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder),
                       ProjectDatabase::Access::Raw);
    if (!db.open())
        return QVariant();
    QSqlQuery query = db.query();
    return query.exec(statement) && query.next() ? query.value(0) : QVariant();
}

QStringList backupsBeside(const QString &folder)
{
    const QFileInfo info(folder);
    return QDir(info.absolutePath())
        .entryList({info.fileName() + QStringLiteral("-schema*.zip")}, QDir::Files);
}

// The upgrade run in a process of its own: by the tests below under a step
// that pauses (to be killed) or inside a read-only mount.
int upgradeChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    SchemaVersion::setStepsForTest(
        {TestSupport::testSchemaStep(TestStep(args.at(3).toInt()), args.at(4))});
    const ProjectUpgrade::Result result = ProjectUpgrade::run(args.at(2));
    QTextStream(stdout) << int(result.outcome) << ' ' << result.message << '\n';
    return 0;
}

} // namespace

class TestProjectUpgrade : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SchemaVersion::setStepsForTest({}); }
    void releasedFixturesOpenThenUpgrade_data();
    void releasedFixturesOpenThenUpgrade();
    void auditTrailStepKeepsEveryRow_data();
    void auditTrailStepKeepsEveryRow();
    void refusedProjectsStayUntouched_data();
    void refusedProjectsStayUntouched();
    void failedOrBusyUpgradeChangesNothing_data();
    void failedOrBusyUpgradeChangesNothing();
    void killedUpgradeLeavesTheOldProject();
    void readOnlyFolderIsNotUpgraded();
    void commandLine_data();
    void commandLine();
    void serverProject_data();
    void serverProject();

private:
    QString child(const QString &folder, TestStep step, const QString &marker, QProcess &process,
                  const QString &readOnlyMount = QString());
};

void TestProjectUpgrade::releasedFixturesOpenThenUpgrade_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("users");
    QTest::newRow("new project 1") << QStringLiteral("schema1-new") << 1 << 0;
    QTest::newRow("demo project 1") << QStringLiteral("schema1-demo") << 1 << 13;
    QTest::newRow("new project 2") << QStringLiteral("schema2-new") << 2 << 0;
    QTest::newRow("demo project 2") << QStringLiteral("schema2-demo") << 2 << 13;
    QTest::newRow("new project 3") << QStringLiteral("schema3-new") << 3 << 0;
    QTest::newRow("demo project 3") << QStringLiteral("schema3-demo") << 3 << 13;
}

void TestProjectUpgrade::releasedFixturesOpenThenUpgrade()
{
    QFETCH(QString, fixture);
    QFETCH(int, version);
    QFETCH(int, users);
    QTemporaryDir tmp;
    const QString folder = copyFixture(fixture, tmp.path());
    QVERIFY(!folder.isEmpty());
    const QString before = TestSupport::folderFingerprint(tmp.path());
    const int product = SchemaVersion::current();

    // A project of this program's version opens as it is, and is not written
    // by opening; an older one is carried forward first.
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    QCOMPARE(probe.version, version);
    QCOMPARE(probe.state,
             version == product ? SchemaVersion::State::Current : SchemaVersion::State::Older);
    if (version == product) {
        QCOMPARE(ProjectUpgrade::run(folder).outcome, Outcome::AlreadyCurrent);
        QCOMPARE(TestSupport::folderFingerprint(tmp.path()), before);
    } else {
        const ProjectUpgrade::Result result = ProjectUpgrade::run(folder);
        QCOMPARE(result.outcome, Outcome::Upgraded);
        QCOMPARE(result.from, version);
        QCOMPARE(result.to, product);
        QFile::remove(result.backup);
        // What the steps since the fixture add starts empty.
        for (const char *table : {"events", "eventUsers"})
            QCOMPARE(scalar(folder, QStringLiteral("select count(*) from ") + QLatin1String(table))
                         .toInt(),
                     0);
    }
    ProjectParameters params;
    params.databasePath = ProjectDatabase::databasePathForProject(folder);
    QVERIFY(params.loadProjectParameters());

    // The tests' own step comes after every step of the product.
    SchemaVersion::setStepsForTest({TestSupport::testSchemaStep(TestStep::Plain)});
    QCOMPARE(SchemaVersion::probeFolder(folder).state, SchemaVersion::State::Older);
    {
        ProjectDatabase refused(params.databasePath);
        QVERIFY(!refused.open());
        QVERIFY(refused.lastError().text().contains(QStringLiteral("older version")));
    }
    const ProjectUpgrade::Result result = ProjectUpgrade::run(folder);
    QCOMPARE(result.outcome, Outcome::Upgraded);
    QCOMPARE(result.from, product);
    QCOMPARE(result.to, SchemaVersion::current());
    QCOMPARE(scalar(folder, QStringLiteral("select count(*) from kx_test_step")).toInt(), 1);
    QCOMPARE(scalar(folder, QStringLiteral("select value from project where tag='SchemaVersion'"))
                 .toString(),
             QString::number(SchemaVersion::current()));
    QCOMPARE(scalar(folder, QStringLiteral("select count(*) from users")).toInt(), users);
    QCOMPARE(SchemaVersion::probeFolder(folder).state, SchemaVersion::State::Current);

    // The backup beside the project holds it as it was, without the run lock.
    QCOMPARE(backupsBeside(folder), QStringList{QFileInfo(result.backup).fileName()});
    const QString restored = tmp.filePath(QStringLiteral("restored/") + fixture);
    QVERIFY(QDir().mkpath(restored));
    QCOMPARE(ArchiveTool::unzip(result.backup, restored), 0);
    QVERIFY(!QFileInfo::exists(restored + QStringLiteral("/.kelvara-run.lock")));
    const SchemaVersion::Probe old = SchemaVersion::probeFolder(restored);
    QCOMPARE(old.state, SchemaVersion::State::Older);
    QCOMPARE(old.version, product);
}

void TestProjectUpgrade::auditTrailStepKeepsEveryRow_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("added"); // rows the step adds
    for (const char *table : {"users", "doors", "times", "access", "holidays"})
        QTest::newRow(table) << QString::fromLatin1(table) << 0;
    QTest::newRow("project, with the version tag") << QStringLiteral("project") << 1;
    QTest::newRow("an empty audit trail") << QStringLiteral("auditTrail") << 0;
}

void TestProjectUpgrade::auditTrailStepKeepsEveryRow()
{
    QFETCH(QString, table);
    QFETCH(int, added);
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-demo"), tmp.path());
    const QVariant before = scalar(folder, QStringLiteral("select count(*) from ") + table);
    QCOMPARE(ProjectUpgrade::run(folder).outcome, Outcome::Upgraded);
    QCOMPARE(scalar(folder, QStringLiteral("select count(*) from ") + table).toInt(),
             before.toInt() + added);
    // Its guards are the project's own, and they refuse changes.
    QCOMPARE(SchemaVersion::probeFolder(folder).state, SchemaVersion::State::Current);
    QVERIFY(runSql(folder, QStringLiteral("insert into auditTrail (seq,recordedAt,operatorName,"
                                          "program,programVersion,action,objectKind,objectName,"
                                          "hash) values (1,'','','','','','','','')")));
    QVERIFY(!runSql(folder, QStringLiteral("delete from auditTrail")));
}

void TestProjectUpgrade::refusedProjectsStayUntouched_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<SchemaVersion::State>("state");
    QTest::addColumn<QString>("message");
    const auto tag = [](const char *value) {
        return QStringLiteral("insert or replace into project (tag,value) values "
                              "('SchemaVersion','%1')")
            .arg(QLatin1String(value));
    };
    QTest::newRow("made by a newer version")
        << tag("99") << SchemaVersion::State::Newer
        << QStringLiteral("schema version 99; this program knows up to");
    QTest::newRow("no version at all")
        << QStringLiteral("delete from project where tag='DatabaseVersion'")
        << SchemaVersion::State::Invalid << QStringLiteral("carries no schema version");
    QTest::newRow("not a number") << tag("two") << SchemaVersion::State::Invalid
                                  << QStringLiteral("\"two\" is no version number");
    QTest::newRow("negative") << tag("-1") << SchemaVersion::State::Invalid
                              << QStringLiteral("\"-1\" is no version number");
    QTest::newRow("zero") << tag("0") << SchemaVersion::State::Invalid
                          << QStringLiteral("\"0\" is no version number");
    QTest::newRow("absurd") << tag("4294967297") << SchemaVersion::State::Invalid
                            << QStringLiteral("is no version number");
    QTest::newRow("a trigger not ours")
        << QStringLiteral("create trigger keep_mark after update on doors begin update doors "
                          "set needsUpdate=0; end")
        << SchemaVersion::State::Invalid << QStringLiteral("the trigger \"keep_mark\"");
    QTest::newRow("a view not ours")
        << QStringLiteral("create view everyone as select * from users")
        << SchemaVersion::State::Invalid << QStringLiteral("the view \"everyone\"");
}

void TestProjectUpgrade::refusedProjectsStayUntouched()
{
    QFETCH(QString, change);
    QFETCH(SchemaVersion::State, state);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-new"), tmp.path());
    QVERIFY(runSql(folder, change));
    // With a step waiting, so a project that reads as version 1 would be upgraded.
    SchemaVersion::setStepsForTest({TestSupport::testSchemaStep(TestStep::Plain)});
    const QString before = TestSupport::folderFingerprint(tmp.path());

    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    QCOMPARE(probe.state, state);
    QVERIFY2(SchemaVersion::message(probe).contains(message),
             qPrintable(SchemaVersion::message(probe)));
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder));
    QCOMPARE(db.open(), false);
    const ProjectUpgrade::Result result = ProjectUpgrade::run(folder);
    QCOMPARE(result.outcome, Outcome::Refused);
    QVERIFY2(result.message.contains(message), qPrintable(result.message));
    QCOMPARE(TestSupport::folderFingerprint(tmp.path()), before);
}

void TestProjectUpgrade::failedOrBusyUpgradeChangesNothing_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("a step fails") << QString() << Outcome::Failed
                                  << QStringLiteral("(test step) failed: no such table");
    QTest::newRow("a reader function runs")
        << QStringLiteral("run lock") << Outcome::Busy << QStringLiteral("in use by");
    QTest::newRow("another program writes")
        << QStringLiteral("database") << Outcome::Busy << QStringLiteral("in use by another");
}

void TestProjectUpgrade::failedOrBusyUpgradeChangesNothing()
{
    QFETCH(QString, holder);
    QFETCH(Outcome, outcome);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-demo"), tmp.path());
    SchemaVersion::setStepsForTest(
        {TestSupport::testSchemaStep(holder.isEmpty() ? TestStep::Failing : TestStep::Plain)});
    const QString database = ProjectDatabase::databasePathForProject(folder);
    const QString before = TestSupport::folderFingerprint(folder);

    FunctionRunLock runLock(folder);
    ProjectDatabase other(database, ProjectDatabase::Access::Raw);
    QSqlQuery writer = other.query();
    if (holder == QLatin1String("run lock"))
        QVERIFY(runLock.tryLock());
    if (holder == QLatin1String("database")) {
        QVERIFY(other.open());
        writer = other.query();
        QVERIFY(writer.exec(QStringLiteral("begin immediate")));
    }
    const ProjectUpgrade::Result result = ProjectUpgrade::run(folder);
    if (holder == QLatin1String("database"))
        QVERIFY(writer.exec(QStringLiteral("rollback")));
    runLock.unlock();

    QCOMPARE(result.outcome, outcome);
    QVERIFY2(result.message.contains(message), qPrintable(result.message));
    QCOMPARE(TestSupport::folderFingerprint(folder), before);
    // A failed step keeps its backup; a busy project was not even backed up.
    QCOMPARE(backupsBeside(folder).size(), outcome == Outcome::Failed ? 1 : 0);
    QCOMPARE(SchemaVersion::probeFolder(folder).state, SchemaVersion::State::Older);
}

QString TestProjectUpgrade::child(const QString &folder, TestStep step, const QString &marker,
                                  QProcess &process, const QString &readOnlyMount)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KX_UPGRADE_CHILD"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    const QStringList arguments = {QStringLiteral("child"), folder, QString::number(int(step)),
                                   marker};
    if (readOnlyMount.isEmpty()) {
        process.start(QCoreApplication::applicationFilePath(), arguments);
    } else {
        // A private mount namespace: the read-only bind exists for the child only.
        process.start(QStringLiteral("unshare"),
                      QStringList{QStringLiteral("-m"), QStringLiteral("--propagation"),
                                  QStringLiteral("private"), QStringLiteral("sh"),
                                  QStringLiteral("-c"),
                                  QStringLiteral("mount --bind \"$1\" \"$1\" && mount -o "
                                                 "remount,bind,ro \"$1\" && shift && exec \"$@\""),
                                  QStringLiteral("sh"), readOnlyMount,
                                  QCoreApplication::applicationFilePath()} +
                          arguments);
    }
    if (!process.waitForStarted(10000))
        return QString();
    return folder;
}

void TestProjectUpgrade::killedUpgradeLeavesTheOldProject()
{
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-demo"), tmp.path());
    const QString marker = tmp.filePath(QStringLiteral("paused"));
    QProcess process;
    QVERIFY(!child(folder, TestStep::Pausing, marker, process).isEmpty());
    // The step has created its table inside the transaction when it pauses.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 30000);
    ::kill(pid_t(process.processId()), SIGKILL);
    QVERIFY(process.waitForFinished(10000));

    SchemaVersion::setStepsForTest({TestSupport::testSchemaStep(TestStep::Plain)});
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    QCOMPARE(probe.state, SchemaVersion::State::Older);
    QCOMPARE(probe.version, 1);
    QVERIFY(!scalar(folder, QStringLiteral("select count(*) from kx_test_step")).isValid());
    QCOMPARE(scalar(folder, QStringLiteral("select count(*) from users")).toInt(), 13);
    // The lock the killed process held is taken over, and the upgrade goes through.
    QCOMPARE(ProjectUpgrade::run(folder).outcome, Outcome::Upgraded);
}

void TestProjectUpgrade::readOnlyFolderIsNotUpgraded()
{
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-new"), tmp.path());
    const QString before = TestSupport::folderFingerprint(tmp.path());
    QProcess process;
    QString expected;
    if (::geteuid() == 0) {
        // Root writes into any folder whatever its mode: a read-only mount it must be.
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("unshare is needed to mount a read-only folder as root");
        QVERIFY(!child(folder, TestStep::Plain, QString(), process, folder).isEmpty());
        expected = QStringLiteral("is on a read-only disk");
    } else {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!child(folder, TestStep::Plain, QString(), process).isEmpty());
        expected = QStringLiteral("cannot be written");
    }
    QVERIFY(process.waitForFinished(30000));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(output.startsWith(QString::number(int(Outcome::Refused)) + QLatin1Char(' ')),
             qPrintable(output + QString::fromUtf8(process.readAllStandardError())));
    QVERIFY2(output.contains(expected), qPrintable(output));
    QVERIFY(output.contains(QStringLiteral("The upgrade was not attempted.")));
    QCOMPARE(TestSupport::folderFingerprint(tmp.path()), before);
}

void TestProjectUpgrade::commandLine_data()
{
    QTest::addColumn<QString>("version"); // what the project's tag says
    QTest::addColumn<bool>("failingStep");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("written");
    QTest::newRow("upgrade an older project")
        << QStringLiteral("1") << false << QStringLiteral("upgrade") << 0
        << QStringLiteral("Upgraded '%1' from schema version 1 to %2.\nBackup: ") << true;
    QTest::newRow("upgrade a current project")
        << QStringLiteral("current") << false << QStringLiteral("upgrade") << 0
        << QStringLiteral("'%1' is already at schema version %2.") << false;
    QTest::newRow("upgrade whose step fails")
        << QStringLiteral("1") << true << QStringLiteral("upgrade") << 1
        << QStringLiteral("(test step) failed") << false;
    QTest::newRow("upgrade a newer project")
        << QStringLiteral("99") << false << QStringLiteral("upgrade") << 2
        << QStringLiteral("newer version") << false;
    QTest::newRow("other commands on an older project")
        << QStringLiteral("1") << false << QStringLiteral("entries") << 2
        << QStringLiteral("Upgrade it with\n  kelvara-cli upgrade --project '%1'") << false;
    QTest::newRow("other commands on a newer project")
        << QStringLiteral("99") << false << QStringLiteral("check") << 2
        << QStringLiteral("schema version 99") << false;
}

void TestProjectUpgrade::commandLine()
{
    QFETCH(QString, version);
    QFETCH(bool, failingStep);
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QFETCH(bool, written);
    QTemporaryDir tmp;
    const QString folder = copyFixture(QStringLiteral("schema1-new"), tmp.path());
    SchemaVersion::setStepsForTest(
        {TestSupport::testSchemaStep(failingStep ? TestStep::Failing : TestStep::Plain)});
    QVERIFY(runSql(folder, QStringLiteral("insert into project (tag,value) values "
                                          "('SchemaVersion','%1')")
                               .arg(version == QLatin1String("current")
                                        ? QString::number(SchemaVersion::current())
                                        : version)));
    const QString before = TestSupport::folderFingerprint(folder);

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    KelvaraCli cli(outStream, errStream);
    QCOMPARE(cli.run({command, QStringLiteral("--project"), folder}), exitCode);
    const QString printed = out + err;
    QString expected = text.arg(folder);
    if (expected.contains(QLatin1String("%2")))
        expected = expected.arg(SchemaVersion::current());
    QVERIFY2(printed.contains(expected), qPrintable(printed));
    QCOMPARE(TestSupport::folderFingerprint(folder) != before, written);
}

void TestProjectUpgrade::serverProject_data()
{
    QTest::addColumn<int>("version");  // 0: one above this program's
    QTest::addColumn<QString>("role"); // who runs it; empty: the database's owner
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");
    QTest::newRow("older, by the owner") << 2 << QString() << 0 << "Backup (a folder project";
    QTest::newRow("newer") << 0 << QString() << 2 << "newer version";
    QTest::newRow("older, by an operator")
        << 2 << QStringLiteral("operator") << 2 << "Only an administrator";
}

void TestProjectUpgrade::serverProject()
{
    KX_REQUIRE_SERVER();
    QFETCH(int, version);
    QFETCH(QString, role);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QTemporaryDir tmp;
    TestSupport::ServerDatabase database;
    QVERIFY(database.isValid());
    const QString owner = tmp.path() + QStringLiteral("/Owner");
    QVERIFY(QDir().mkpath(owner) && database.writeConnectionFile(owner, QString()));
    QString error;
    QVERIFY2(
        ServerSetup::init(ServerConnection::filePathForProject(owner), &error, qMax(version, 1)),
        qPrintable(error));
    QVERIFY(runSql(owner, QStringLiteral("insert into users (familyName,firstName,groupName) "
                                         "values ('Ames','Al','Staff')")));
    if (version == 0)
        QVERIFY(runSql(owner, QStringLiteral("update project set value='%1' where "
                                             "tag='SchemaVersion'")
                                  .arg(SchemaVersion::current() + 1)));
    QString folder = owner;
    if (!role.isEmpty()) {
        const QString user =
            QStringLiteral("kxu_%1_%2").arg(QCoreApplication::applicationPid()).arg(role);
        folder = tmp.path() + QStringLiteral("/Site");
        QVERIFY(database.addOperator(user, role));
        QVERIFY(QDir().mkpath(folder) && database.writeConnectionFile(folder, user));
    }
    const auto sums = [&owner] {
        ProjectDatabase db(ProjectDatabase::databasePathForProject(owner),
                           ProjectDatabase::Access::Raw);
        QList<ProjectCopy::TableSum> list;
        QString why;
        QSqlQuery query = db.query();
        if (!db.open() || !ProjectCopy::summarise(query, &list, &why))
            qWarning("%s", qPrintable(why));
        return list;
    };
    const QList<ProjectCopy::TableSum> before = sums();

    QString out;
    QTextStream stream(&out);
    KelvaraCli cli(stream, stream);
    QCOMPARE(cli.run({QStringLiteral("upgrade"), QStringLiteral("--project"), folder}), exitCode);
    stream.flush();
    QVERIFY2(out.contains(text), qPrintable(out));
    const QStringList backups =
        QDir(tmp.path()).entryList({QStringLiteral("*-schema*")}, QDir::Dirs);
    if (exitCode != 0) {
        QCOMPARE(sums(), before);
        QVERIFY(backups.isEmpty());
        return;
    }
    QCOMPARE(SchemaVersion::probeFolder(owner).state, SchemaVersion::State::Current);
    QCOMPARE(scalar(owner, QStringLiteral("select has_table_privilege('kelvara_viewer', 'events', "
                                          "'select')"))
                 .toBool(),
             true);
    // The backup is a folder project of the old version with every row.
    QCOMPARE(backups.size(), 1);
    const QString backup = tmp.path() + QLatin1Char('/') + backups.first();
    QVERIFY(!ProjectDatabase::isServerProject(backup));
    const SchemaVersion::Probe old = SchemaVersion::probeFolder(backup);
    QCOMPARE(old.state, SchemaVersion::State::Older);
    QCOMPARE(old.version, 2);
    QCOMPARE(scalar(backup, QStringLiteral("select familyName from users")).toString(),
             QStringLiteral("Ames"));
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("KX_UPGRADE_CHILD"))
        return upgradeChild(argc, argv);
    TestSupport::isolateHome();
    QCoreApplication app(argc, argv);
    TestProjectUpgrade test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_projectupgrade.moc"

// The operator roles as the server enforces them: each role signs in as an
// operator of its group and does by hand, in SQL, what the program's
// operations write. The server, not the window, refuses what the role may
// not do; every transaction is rolled back, so the rows stay for the next.
#include "db/projectdatabase.h"
#include "db/serverconnection.h"
#include "support/testsupport.h"

#include <QDir>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

using namespace TestSupport;

namespace {

// What the operations write, one job a transaction.
const char *const ChangeRight[] = {
    "delete from access where FKusers=(select min(PKusers) from users)",
    "insert into access (FKusers,FKdoors,FKtimes) values ((select max(PKusers) from users),"
    "(select min(PKdoors) from doors),(select min(PKtimes) from times))",
    "update access set FKtimes=(select max(PKtimes) from times) where FKusers=(select "
    "min(PKusers) from users)",
    "update doors set needsUpdate=1",
    "insert into auditTrail (recordedAt,operatorName,program,programVersion,action,objectKind,"
    "objectName,hash) values ('t','o','p','1','change','right','x','h')",
    nullptr};
const char *const ChangeUser[] = {
    "insert into users (familyName,firstName,groupName,iddIso14443) values ('Roe','Max',"
    "'Staff','04AA')",
    "update users set groupName='Guests' where familyName='Doe'",
    "delete from access where FKusers=(select min(PKusers) from users)",
    "delete from users where familyName='Doe'", nullptr};
const char *const ClearMark[] = {"update doors set needsUpdate=0 where PKdoors=(select "
                                 "min(PKdoors) from doors)",
                                 nullptr};
// Reading events keeps them with the user's copy and drops those past the
// retention, with copies nobody refers to any more.
const char *const KeepEvents[] = {
    "insert into eventUsers (userKey,familyName,firstName,groupName) values (9,'Poe','Ann',"
    "'Staff') on conflict do nothing",
    "insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,"
    "errorNumber,inputState,flags,readAt) values (1,200,2,3,'04BB',0,1,0,0,0,0) on conflict do "
    "nothing",
    "delete from events where readerTime<150 and (flags&1)=0",
    "delete from eventUsers where PKeventUsers not in (select FKeventUsers from events where "
    "FKeventUsers is not null)",
    nullptr};
const char *const ChangeSettings[] = {"update project set value='true' where tag='HaveHfReader'",
                                      "insert into project (tag,value) values ('Other','1')",
                                      nullptr};
const char *const AddEntry[] = {
    "insert into doors (doorName,areaName,readerType) values ('Back','Site',1)", nullptr};
const char *const ConfigureEntry[] = {
    "update doors set doorName='Front door', ipAddr='127.0.0.1' where doorName='Front'", nullptr};
const char *const ChangeModels[] = {"insert into times (modelTag,modelName,modelDefinition) "
                                    "values ('B','Business','*-*-*')",
                                    nullptr};
const char *const ChangeHolidays[] = {
    "insert into holidays (date,comment) values ('2030-12-25','Christmas')", nullptr};
const char *const ReadBoard[] = {"select count(*) from users, doors, access, times, holidays, "
                                 "project, events, eventUsers",
                                 nullptr};
const char *const ReadAudit[] = {"select count(*) from auditTrail", nullptr};

QStringList statements(const char *const *job)
{
    QStringList list;
    for (; *job; ++job)
        list << QString::fromLatin1(*job);
    return list;
}

const QString Denied = QStringLiteral("42501"); // insufficient_privilege
const QString Raised = QStringLiteral("P0001"); // the audit trail's guard

} // namespace

class TestServerRoles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eachRoleDoesExactlyItsJob_data();
    void eachRoleDoesExactlyItsJob();
    void viewerTypingSqlIsRefused_data();
    void viewerTypingSqlIsRefused();
    void nobodyRewritesTheLogs_data();
    void nobodyRewritesTheLogs();

private:
    // The code of the error that ended the statements as `role`; empty when
    // all ran. Rolled back either way.
    QString runAs(const QString &role, const QStringList &statements);

    std::unique_ptr<TempProject> m_project;
    QTemporaryDir m_folders;
    QHash<QString, QString> m_connections; // role -> connection file
};

void TestServerRoles::initTestCase()
{
    KX_REQUIRE_SERVER();
    m_project = std::make_unique<TempProject>(QStringLiteral("Plant"), ProjectKind::Server);
    QVERIFY(m_project->isValid());
    {
        ProjectDatabase db(m_project->databasePath());
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery query = db.query();
        for (const char *seed :
             {"insert into users (familyName,firstName,groupName) values ('Doe','Jane','Staff')",
              "insert into doors (doorName,areaName,readerType,needsUpdate) values "
              "('Front','Site',1,0)",
              "insert into access (FKusers,FKdoors,FKtimes) values ((select min(PKusers) from "
              "users),(select min(PKdoors) from doors),(select min(PKtimes) from times))",
              "insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,"
              "errorNumber,inputState,flags,readAt) values (1,100,1,3,'04AA',0,1,0,0,0,0)",
              "insert into auditTrail (recordedAt,operatorName,program,programVersion,action,"
              "objectKind,objectName,hash) values ('t','o','p','1','add','user','Doe','h')"})
            QVERIFY2(query.exec(QString::fromLatin1(seed)), qPrintable(query.lastError().text()));
    }
    // Login roles are the cluster's: one name a test run.
    const QString suffix = QString::number(QCoreApplication::applicationPid());
    for (const QString &role :
         {QStringLiteral("viewer"), QStringLiteral("operator"), QStringLiteral("administrator")}) {
        const QString user = QStringLiteral("kxr_%1_%2").arg(role.left(3), suffix);
        const QString folder = m_folders.path() + QLatin1Char('/') + role;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(m_project->server()->addOperator(user, role));
        QVERIFY(m_project->server()->writeConnectionFile(folder, user));
        m_connections.insert(role, ServerConnection::filePathForProject(folder));
    }
    // The database's owner (the test server's superuser).
    m_connections.insert(QStringLiteral("owner"), m_project->databasePath());
}

QString TestServerRoles::runAs(const QString &role, const QStringList &statements)
{
    ProjectDatabase db(m_connections.value(role));
    if (!db.open() || !db.transaction())
        return QStringLiteral("no connection: ") + db.lastError().text();
    QSqlQuery query = db.query();
    QString code;
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            code = query.lastError().nativeErrorCode();
            break;
        }
    }
    query.finish();
    db.rollback();
    return code;
}

void TestServerRoles::eachRoleDoesExactlyItsJob_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QStringList>("job");
    QTest::addColumn<QString>("error");
    struct Job
    {
        const char *name;
        const char *const *statements;
        const char *viewer;
        const char *operatorRole;
    };
    // The administrator may do every job.
    const Job jobs[] = {
        {"read the board and events", ReadBoard, "", ""},
        {"read the audit trail", ReadAudit, "42501", ""},
        {"change a right", ChangeRight, "42501", ""},
        {"change users", ChangeUser, "42501", ""},
        {"clear a pending mark", ClearMark, "42501", ""},
        {"keep events", KeepEvents, "42501", ""},
        {"change settings", ChangeSettings, "42501", "42501"},
        {"add an entry", AddEntry, "42501", "42501"},
        {"configure an entry", ConfigureEntry, "42501", "42501"},
        {"change time models", ChangeModels, "42501", "42501"},
        {"change holidays", ChangeHolidays, "42501", "42501"},
    };
    for (const Job &job : jobs) {
        const QStringList list = statements(job.statements);
        QTest::addRow("viewer: %s", job.name)
            << QStringLiteral("viewer") << list << QString::fromLatin1(job.viewer);
        QTest::addRow("operator: %s", job.name)
            << QStringLiteral("operator") << list << QString::fromLatin1(job.operatorRole);
        QTest::addRow("administrator: %s", job.name)
            << QStringLiteral("administrator") << list << QString();
    }
}

void TestServerRoles::eachRoleDoesExactlyItsJob()
{
    QFETCH(QString, role);
    QFETCH(QStringList, job);
    QFETCH(QString, error);
    QCOMPARE(runAs(role, job), error);
}

void TestServerRoles::viewerTypingSqlIsRefused_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("insert users")
        << "insert into users (familyName,firstName,groupName) values ('X','Y','Z')";
    QTest::newRow("update users") << "update users set groupName='Z'";
    QTest::newRow("delete users") << "delete from users";
    QTest::newRow("insert access") << "insert into access (FKusers,FKdoors,FKtimes) values (1,1,1)";
    QTest::newRow("update access") << "update access set FKtimes=1";
    QTest::newRow("delete access") << "delete from access";
    QTest::newRow("insert doors") << "insert into doors (doorName,areaName) values ('X','Y')";
    QTest::newRow("update doors marks") << "update doors set needsUpdate=0";
    QTest::newRow("delete doors") << "delete from doors";
    QTest::newRow("insert project") << "insert into project (tag,value) values ('X','1')";
    QTest::newRow("update project") << "update project set value='x'";
    QTest::newRow("delete project") << "delete from project";
    QTest::newRow("truncate events") << "truncate events";
}

void TestServerRoles::viewerTypingSqlIsRefused()
{
    QFETCH(QString, statement);
    QCOMPARE(runAs(QStringLiteral("viewer"), {statement}), Denied);
}

void TestServerRoles::nobodyRewritesTheLogs_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("error");
    for (const char *role : {"viewer", "operator", "administrator", "owner"}) {
        // Without the privilege the server refuses before the guard speaks.
        const QString refusal = QLatin1String(role) == QLatin1String("owner") ? Raised : Denied;
        QTest::addRow("%s updates", role)
            << QString::fromLatin1(role) << "update auditTrail set objectName='y'" << refusal;
        QTest::addRow("%s deletes", role)
            << QString::fromLatin1(role) << "delete from auditTrail" << refusal;
        QTest::addRow("%s truncates", role)
            << QString::fromLatin1(role) << "truncate auditTrail" << refusal;
        // Events are kept and dropped, never rewritten (the owner may).
        if (refusal == Raised)
            continue;
        QTest::addRow("%s rewrites an event", role)
            << QString::fromLatin1(role) << "update events set granted=1-granted" << Denied;
        QTest::addRow("%s rewrites a user copy", role)
            << QString::fromLatin1(role) << "update eventUsers set familyName='x'" << Denied;
    }
}

void TestServerRoles::nobodyRewritesTheLogs()
{
    QFETCH(QString, role);
    QFETCH(QString, statement);
    QFETCH(QString, error);
    QCOMPARE(runAs(role, {statement}), error);
}

KX_TEST_MAIN(TestServerRoles)
#include "tst_serverroles.moc"

// kelvara-cli server init, server add-operator and project copy against the
// test run's PostgreSQL server, driven in this process.
#include "cli/kelvaracli.h"
#include "support/testsupport.h"

#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/holidayrecords.h"
#include "db/projectcopy.h"
#include "db/projectdatabase.h"
#include "db/schemaversion.h"
#include "db/serverconnection.h"
#include "db/serverschema.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

#include <QBuffer>
#include <QDir>
#include <QSqlError>
#include <QTemporaryDir>

using namespace TestSupport;

namespace {

struct Output
{
    int exitCode = -1;
    QString text; // standard output and error
};

Output cli(const QStringList &arguments, QIODevice *input = nullptr)
{
    Output output;
    QString err;
    QTextStream out(&output.text);
    QTextStream errors(&err);
    KelvaraCli cli(out, errors);
    cli.setInput(input);
    output.exitCode = cli.run(arguments);
    out.flush();
    errors.flush();
    output.text += err;
    return output;
}

// The connection options for a database of the test server.
QStringList server(const QString &database)
{
    const QString port = qEnvironmentVariable("KX_TEST_PGPORT", QStringLiteral("5432"));
    return {QStringLiteral("--host"),    qEnvironmentVariable("KX_TEST_PGHOST"),
            QStringLiteral("--port"),    port,
            QStringLiteral("--db"),      database,
            QStringLiteral("--user"),    qEnvironmentVariable("KX_TEST_PGUSER"),
            QStringLiteral("--sslmode"), QStringLiteral("disable")};
}

// The first value of the query on the folder's project; a null string when it fails.
QString valueOf(const QString &folder, const QString &statement)
{
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder),
                       ProjectDatabase::Access::Raw);
    QSqlQuery query = db.query();
    if (!db.open() || !query.exec(statement) || !query.next())
        return QString();
    return query.value(0).isNull() ? QStringLiteral("NULL") : query.value(0).toString();
}

bool exec(const QString &folder, const QString &statement)
{
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder),
                       ProjectDatabase::Access::Raw);
    QSqlQuery query = db.query();
    return db.open() && query.exec(statement);
}

QList<ProjectCopy::TableSum> sums(const QString &folder)
{
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder),
                       ProjectDatabase::Access::Raw);
    QList<ProjectCopy::TableSum> list;
    QString error;
    QSqlQuery query = db.query();
    if (!db.open() || !ProjectCopy::summarise(query, &list, &error))
        qWarning("summarise: %s", qPrintable(error + db.lastError().text()));
    return list;
}

// A site as the program writes it: users, an entry, a time model, a right
// (which marks the entry pending), a holiday, each with its audit record;
// and two events, one of them with a user copy.
void buildSite(const QString &db)
{
    ProjectParameters params;
    params.databasePath = db;
    QVERIFY(params.saveProjectParameters());
    int ames = 0, gate = 0, day = 0;
    UserRow user;
    user.familyName = QStringLiteral("Ames");
    user.firstName = QStringLiteral("Al");
    user.groupName = QStringLiteral("Staff");
    QVERIFY(!UserRecords::addUser(db, user, &ames).isValid());
    EntryRow entry;
    entry.areaName = QStringLiteral("Hall");
    entry.doorName = QStringLiteral("Gate");
    QVERIFY(!EntryRecords::addEntry(db, entry, &gate).isValid());
    QVERIFY(!TimeModelRecords::addTimeModel(db,
                                            {0, QStringLiteral("DAY"), QStringLiteral("Day"),
                                             QStringLiteral("mon-06:00-18:00")},
                                            &day)
                 .isValid());
    QVERIFY(!AccessRights::changeBoardCell(db, {ames}, {gate}, day).isValid());
    QVERIFY(!HolidayRecords::addHoliday(
                 db, {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas")})
                 .isValid());
    ProjectDatabase database(db);
    QVERIFY(database.open());
    QSqlQuery query = database.query();
    QVERIFY(query.exec(QStringLiteral("insert into eventUsers (userKey,familyName,firstName,"
                                      "groupName) values (1,'Ames','Al','Staff')")));
    QVERIFY(query.exec(QStringLiteral(
        "insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,"
        "errorNumber,inputState,flags,readAt,FKeventUsers) values (1,100,7,3,'04AA',0,1,0,0,0,"
        "4102444800,1),(1,0,8,3,'04BB',1,0,2,0,1,4102444801,null)")));
}

} // namespace

class TestCliServer : public QObject
{
    Q_OBJECT

private slots:
    void init() { KX_REQUIRE_SERVER(); }
    void copyBothWaysKeepsEveryRow_data();
    void copyBothWaysKeepsEveryRow();
    void copyIsRefused_data();
    void copyIsRefused();
    void serverInit_data();
    void serverInit();
    void addOperator_data();
    void addOperator();
};

void TestCliServer::copyBothWaysKeepsEveryRow_data()
{
    QTest::addColumn<QString>("seed");  // run on the source after the site is built
    QTest::addColumn<QString>("check"); // equal on the source, the server and the copy back
    QTest::newRow("the program's records")
        << QString() << "select count(*) || ' ' || max(hash) from auditTrail";
    QTest::newRow("pending marks") << QString() << "select sum(needsUpdate) from doors";
    QTest::newRow("null beside empty text")
        << "insert into users (familyName,firstName,groupName,commentUser) values "
           "('Null','N','G',null),('Empty','E','G','')"
        << "select count(*) from users where commentUser is null";
    QTest::newRow("keys with gaps")
        << "insert into users (PKusers,familyName,firstName,groupName) values (5000,'Far','F','G')"
        << "select max(PKusers) from users";
    QTest::newRow("quotes and letters beyond ASCII")
        << "insert into users (familyName,firstName,groupName) values ('O''Brien','Zoë','Küche "
           "東')"
        << "select groupName from users where familyName='O''Brien'";
    QTest::newRow("integers beyond 32 bits") << QString() << "select sum(readAt) from events";
    QTest::newRow("more rows than a batch")
        << "with recursive n(i) as (select 1 union all select i+1 from n where i<250) insert into "
           "events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,errorNumber,"
           "inputState,flags,readAt) select 2,i,i,3,'04CC',0,1,0,0,0,i from n"
        << "select count(*) || ' ' || sum(readerTime * fingerprint) from events";
}

void TestCliServer::copyBothWaysKeepsEveryRow()
{
    QFETCH(QString, seed);
    QFETCH(QString, check);
    TempProject source(QStringLiteral("Plant"), ProjectKind::Folder);
    QVERIFY(source.isValid());
    buildSite(source.databasePath());
    if (!seed.isEmpty())
        QVERIFY(exec(source.folder(), seed));
    QTemporaryDir dir;
    ServerDatabase database;
    QVERIFY(database.isValid());
    const QString onServer = dir.path() + QStringLiteral("/OnServer");
    const QString back = dir.path() + QStringLiteral("/Back");

    Output out =
        cli(QStringList{QStringLiteral("project"), QStringLiteral("copy"), source.folder(),
                        QStringLiteral("--to-server"), QStringLiteral("--project"), onServer} +
            server(database.name()));
    QVERIFY2(out.exitCode == 0, qPrintable(out.text));
    QVERIFY(ProjectDatabase::isServerProject(onServer));
    out = cli({QStringLiteral("project"), QStringLiteral("copy"), onServer,
               QStringLiteral("--to-folder"), back});
    QVERIFY2(out.exitCode == 0, qPrintable(out.text));
    QCOMPARE(out.text.count(QStringLiteral("\tequal")), ServerSchema::tables().size());

    const QString expected = valueOf(source.folder(), check);
    QVERIFY(!expected.isNull());
    QCOMPARE(valueOf(onServer, check), expected);
    QCOMPARE(valueOf(back, check), expected);
    QCOMPARE(sums(back), sums(source.folder()));
    // The chain of the audit trail holds in the copy; every command opens it.
    out = cli(
        {QStringLiteral("history"), QStringLiteral("--project"), back, QStringLiteral("--verify")});
    QVERIFY2(out.exitCode == 0, qPrintable(out.text));
    // Keys the server hands out continue past the largest copied.
    const QString largest = valueOf(onServer, QStringLiteral("select max(PKusers) from users"));
    const QString next = valueOf(onServer, QStringLiteral("insert into users (familyName,"
                                                          "firstName,groupName) values ('New',"
                                                          "'N','G') returning PKusers"));
    QVERIFY2(next.toLongLong() > largest.toLongLong(),
             qPrintable(next + QLatin1Char(' ') + largest));
}

void TestCliServer::copyIsRefused_data()
{
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("database not empty") << "filled" << 2 << "not empty";
    QTest::newRow("folder exists") << "folder" << 2 << "already exists";
    QTest::newRow("source older") << "older" << 2 << "upgrade";
    QTest::newRow("no server") << "unreachable" << 1 << "Nothing was left";
    // The folder kind never enforced its keys; the server does.
    QTest::newRow("right of a removed user") << "orphan" << 1 << "Nothing was left";
}

void TestCliServer::copyIsRefused()
{
    QFETCH(QString, why);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    TempProject source(QStringLiteral("Plant"), ProjectKind::Folder);
    QVERIFY(source.isValid());
    ServerDatabase database;
    QVERIFY(database.isValid());
    QTemporaryDir dir;
    QStringList target = server(database.name());
    if (why == QLatin1String("filled")) {
        TempProject other(QStringLiteral("Other"), ProjectKind::Folder);
        QVERIFY(database.writeConnectionFile(other.folder(), QString()));
        QVERIFY(exec(other.folder(), QStringLiteral("create table kept (a integer)")));
    } else if (why == QLatin1String("folder")) {
        target << QStringLiteral("--project") << dir.path();
    } else if (why == QLatin1String("older")) {
        QVERIFY(exec(source.folder(),
                     QStringLiteral("update project set value='2' where tag='SchemaVersion'")));
    } else if (why == QLatin1String("orphan")) {
        QVERIFY(exec(source.folder(), QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) "
                                                     "values (999,999,1)")));
    } else {
        target[target.indexOf(QStringLiteral("--db")) + 1] = QStringLiteral("kx_no_such_db");
    }
    const QString before = folderFingerprint(dir.path());
    const Output out = cli(QStringList{QStringLiteral("project"), QStringLiteral("copy"),
                                       source.folder(), QStringLiteral("--to-server")} +
                           target);
    QCOMPARE(out.exitCode, exitCode);
    QVERIFY2(out.text.contains(says, Qt::CaseInsensitive), qPrintable(out.text));
    QCOMPARE(folderFingerprint(dir.path()), before);
    // Nothing of ours was left in the database.
    TempProject probe(QStringLiteral("Probe"), ProjectKind::Folder);
    QVERIFY(database.writeConnectionFile(probe.folder(), QString()));
    QCOMPARE(valueOf(probe.folder(), QStringLiteral("select string_agg(tablename, ',') from "
                                                    "pg_tables where schemaname='public'")),
             why == QLatin1String("filled") ? QStringLiteral("kept") : QStringLiteral("NULL"));
}

void TestCliServer::serverInit_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("empty database") << QStringList() << 0 << "kelvara_viewer";
    QTest::newRow("database with a table")
        << QStringList{QStringLiteral("filled")} << 2 << "not empty";
    QTest::newRow("port no number")
        << QStringList{QStringLiteral("--port"), QStringLiteral("54x")} << 2 << "--port";
    QTest::newRow("ssl mode unknown")
        << QStringList{QStringLiteral("--sslmode"), QStringLiteral("always")} << 2 << "--sslmode";
}

void TestCliServer::serverInit()
{
    QFETCH(QStringList, extra);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    ServerDatabase database;
    QVERIFY(database.isValid());
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Site");
    QStringList arguments = server(database.name());
    if (extra == QStringList{QStringLiteral("filled")}) {
        QVERIFY(database.writeConnectionFile(dir.path(), QString()));
        QVERIFY(exec(dir.path(), QStringLiteral("create table kept (a integer)")));
        QVERIFY(QFile::remove(ServerConnection::filePathForProject(dir.path())));
    } else {
        for (int i = 0; i + 1 < extra.size(); i += 2)
            arguments[arguments.indexOf(extra.at(i)) + 1] = extra.at(i + 1);
    }
    Output out = cli(QStringList{QStringLiteral("server"), QStringLiteral("init"),
                                 QStringLiteral("--project"), folder} +
                     arguments);
    QCOMPARE(out.exitCode, exitCode);
    QVERIFY2(out.text.contains(says), qPrintable(out.text));
    QCOMPARE(QFileInfo::exists(folder), exitCode == 0);
    // A further workstation's folder for the same database.
    const QString second = dir.path() + QStringLiteral("/Desk");
    if (exitCode == 2 && says == QLatin1String("not empty")) {
        out = cli(QStringList{QStringLiteral("server"), QStringLiteral("connect"),
                              QStringLiteral("--project"), second} +
                  arguments);
        QCOMPARE(out.exitCode, 2);
        QVERIFY2(out.text.contains(QStringLiteral("holds no project")), qPrintable(out.text));
        QVERIFY(!QFileInfo::exists(second));
    }
    if (exitCode != 0)
        return;
    out = cli(QStringList{QStringLiteral("server"), QStringLiteral("connect"),
                          QStringLiteral("--project"), second} +
              arguments);
    QVERIFY2(out.exitCode == 0, qPrintable(out.text));
    QCOMPARE(SchemaVersion::probeFolder(second).state, SchemaVersion::State::Current);
    // The folder opens with every command: a new project's settings, the
    // local folders, and the schema of this program.
    out = cli({QStringLiteral("project"), QStringLiteral("show"), QStringLiteral("hf-length"),
               QStringLiteral("--project"), folder});
    QVERIFY2(out.exitCode == 0, qPrintable(out.text));
    QVERIFY(QFileInfo(folder + QStringLiteral("/log")).isDir());
    QVERIFY(QFileInfo(folder + QStringLiteral("/data")).isDir());
    QCOMPARE(SchemaVersion::probeFolder(folder).state, SchemaVersion::State::Current);
    // A second init finds the database taken.
    out = cli(QStringList{QStringLiteral("server"), QStringLiteral("init")} + arguments);
    QCOMPARE(out.exitCode, 2);
}

void TestCliServer::addOperator_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QByteArray>("input"); // for --password-stdin; null: without it
    QTest::addColumn<int>("exitCode");
    QTest::newRow("viewer without password") << "viewer" << QByteArray() << 0;
    QTest::newRow("operator with password") << "operator" << QByteArray("s3cret word\n") << 0;
    QTest::newRow("empty password") << "operator" << QByteArray("\n") << 2;
    QTest::newRow("unknown role") << "guest" << QByteArray() << 2;
    QTest::newRow("administrator made viewer") << "viewer" << QByteArray("was administrator") << 0;
}

void TestCliServer::addOperator()
{
    QFETCH(QString, role);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    TempProject project(QStringLiteral("Plant"), ProjectKind::Server);
    QVERIFY(project.isValid());
    static int count = 0;
    const QString name =
        QStringLiteral("kxo_%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
    QStringList arguments = {QStringLiteral("server"),
                             QStringLiteral("add-operator"),
                             name,
                             QStringLiteral("--role"),
                             role,
                             QStringLiteral("--project"),
                             project.folder()};
    if (input.startsWith("was ")) {
        // An operator moved to another group leaves the old one.
        QCOMPARE(
            cli(QStringList(arguments).replaceInStrings(role, QString::fromLatin1(input.mid(4))))
                .exitCode,
            0);
        input = QByteArray();
    }
    QBuffer buffer(&input);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    if (!input.isNull())
        arguments << QStringLiteral("--password-stdin");
    const Output out = cli(arguments, &buffer);
    QCOMPARE(out.exitCode, exitCode);
    QVERIFY(!out.text.contains(QStringLiteral("s3cret")));
    if (exitCode != 0)
        return;
    QCOMPARE(valueOf(project.folder(),
                     QStringLiteral("select string_agg(g.rolname, ',') || ' ' || "
                                    "(a.rolpassword is not null)::text from pg_authid a join "
                                    "pg_auth_members m on m.member=a.oid join pg_roles g on "
                                    "g.oid=m.roleid where a.rolname='%1' group by a.rolpassword")
                         .arg(name)),
             QStringLiteral("kelvara_%1 %2")
                 .arg(role, QLatin1String(input.isNull() ? "false" : "true")));
}

KX_TEST_MAIN(TestCliServer)
#include "tst_cliserver.moc"

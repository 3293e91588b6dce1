#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "support/testsupport.h"

#include <QDate>
#include <QFile>
#include <QSqlRecord>
#include <QThread>

#include <memory>

class TestProjectSchema : public QObject
{
    Q_OBJECT
private slots:
    void databasePath_data();
    void databasePath();
    void newDatabaseContents();
    void schemaStatementsAsStored();
    void recognition();
    void tagsInsertThenUpdate();
    void connectionsPerThreadAndNesting();
    void upgradeKeepsRecordsAndRights();
    void upgradeOfLockedDatabaseChangesNothing();
};

namespace {

// Users, entries and rights as text, in key order.
QStringList records(const QString &path)
{
    QStringList rows;
    ProjectDatabase db(path);
    if (!db.open())
        return {QStringLiteral("no database")};
    QSqlQuery q = db.query();
    for (const QString &statement :
         {QStringLiteral("select PKusers,familyName,groupName from users order by 1"),
          QStringLiteral("select PKdoors,doorName,areaName,needsUpdate from doors order by 1"),
          QStringLiteral("select PKaccess,FKusers,FKdoors,FKtimes from access order by 1")}) {
        q.exec(statement);
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

// A project as an earlier version left it: the schema without the upgrade,
// three users, two entries and five rights.
void fillOldProject(const QString &path)
{
    ProjectDatabase db(path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    for (int u = 1; u <= 3; ++u)
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"),
            {QStringLiteral("Family%1").arg(u), QStringLiteral("A"), QStringLiteral("Crew")}));
    for (int d = 1; d <= 2; ++d)
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into doors (doorName,areaName,needsUpdate) values (?,?,?)"),
            {QStringLiteral("Door%1").arg(d), QStringLiteral("Hall"), d - 1}));
    for (const QVariantList &right : {QVariantList{1, 1, 1}, QVariantList{1, 2, 1},
                                      QVariantList{2, 1, 1}, QVariantList{3, 2, 1},
                                      QVariantList{2, 2, 1}})
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,?)"),
            right));
}

int schemaObjects(const QString &path, const QString &name)
{
    ProjectDatabase db(path);
    if (!db.open())
        return -1;
    QSqlQuery q = db.query();
    if (!ProjectDatabase::exec(q, QStringLiteral("select count(*) from sqlite_master where name=?"),
                               {name}) ||
        !q.next())
        return -1;
    return q.value(0).toInt();
}

} // namespace

void TestProjectSchema::databasePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/data/Plant"
                           << "/data/Plant/Plant.sqlite3";
    QTest::newRow("blank and umlaut") << "/data/Werk Süd"
                                      << "/data/Werk Süd/Werk Süd.sqlite3";
    QTest::newRow("quote") << "/data/O'Brien"
                           << "/data/O'Brien/O'Brien.sqlite3";
}

void TestProjectSchema::databasePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(ProjectDatabase::databasePathForProject(folder), path);
}

void TestProjectSchema::newDatabaseContents()
{
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    QVERIFY(QFile::exists(project.folder() + QStringLiteral("/Plant.sqlite3")));

    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(QStringLiteral("select tag,value from project order by PKproject")));
    QStringList tags;
    while (q.next())
        tags << q.value(0).toString() + QLatin1Char('=') + q.value(1).toString();
    QCOMPARE(tags, QStringList({QStringLiteral("KelvaraManager-DB=true"),
                                QStringLiteral("DatabaseVersion=0.9.0"),
                                QStringLiteral("CreationDate=") +
                                    QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"))}));

    QVERIFY(q.exec(QStringLiteral("select modelTag,modelName,modelDefinition from times")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("***"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("Always"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("*-*-*"));
    QVERIFY(!q.next());

    QVERIFY(q.exec(QStringLiteral("pragma encoding")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("UTF-8"));
}

void TestProjectSchema::schemaStatementsAsStored()
{
    TestSupport::TempProject project;
    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(
        QStringLiteral("select sql from sqlite_master where sql is not null order by rowid")));
    QStringList stored;
    while (q.next())
        stored << q.value(0).toString();
    // SQLite keeps each statement as written, without "if not exists".
    QStringList expected;
    for (QString s : ProjectSchema::statements())
        expected << s.replace(QStringLiteral(" if not exists"), QString());
    QCOMPARE(stored.size(), 8);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(stored.at(i).toLower(), expected.at(i).toLower());
}

void TestProjectSchema::recognition()
{
    TestSupport::TempProject project;
    QVERIFY(ProjectSchema::isProjectDatabase(project.folder()));

    // A folder renamed without its database file is no longer a project.
    QTemporaryDir other;
    QVERIFY(QFile::copy(project.databasePath(), other.path() + QStringLiteral("/Plant.sqlite3")));
    QVERIFY(!ProjectSchema::isProjectDatabase(other.path()));

    // A database without the marker is not a project.
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(
            QStringLiteral("update project set value='false' where tag='KelvaraManager-DB'")));
    }
    QVERIFY(!ProjectSchema::isProjectDatabase(project.folder()));

    // Garbage in the file is not a project either.
    QTemporaryDir garbage;
    const QString folder = garbage.path() + QStringLiteral("/Junk");
    QVERIFY(QDir().mkpath(folder));
    QFile junk(folder + QStringLiteral("/Junk.sqlite3"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a database at all, just some text that goes on and on");
    junk.close();
    QVERIFY(!ProjectSchema::isProjectDatabase(folder));
    QVERIFY(!ProjectSchema::isProjectDatabase(garbage.path() + QStringLiteral("/Missing")));
}

void TestProjectSchema::tagsInsertThenUpdate()
{
    TestSupport::TempProject project;
    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(ProjectSchema::readProjectTag(q, QStringLiteral("HfIddLength")).isNull());
    QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("HfIddLength"), QStringLiteral("7")));
    QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("HfIddLength"), QStringLiteral("8")));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("HfIddLength")), QStringLiteral("8"));
    QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("Note"),
                                           QStringLiteral("O'Brien; drop table users")));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("Note")),
             QStringLiteral("O'Brien; drop table users"));
    QVERIFY(q.exec(QStringLiteral("select count(*) from project where tag='HfIddLength'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);
}

void TestProjectSchema::connectionsPerThreadAndNesting()
{
    TestSupport::TempProject project;
    ProjectDatabase outer(project.databasePath());
    QVERIFY(outer.open());
    {
        ProjectDatabase inner(project.databasePath());
        QVERIFY(inner.open());
        QVERIFY(inner.connectionName() != outer.connectionName());
    }
    QVERIFY(outer.isOpen());
    QSqlQuery q = outer.query();
    QVERIFY(q.exec(QStringLiteral("select count(*) from times")));

    // A worker thread gets a connection of its own while this one stays open.
    QString workerName;
    bool workerRead = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        ProjectDatabase db(project.databasePath());
        workerName = db.connectionName();
        if (!db.open())
            return;
        QSqlQuery wq = db.query();
        workerRead = !ProjectSchema::readProjectTag(wq, ProjectSchema::TagMarker).isNull();
    }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QVERIFY(workerRead);
    QVERIFY(!workerName.isEmpty());
    QVERIFY(workerName != outer.connectionName());
    QVERIFY(!QSqlDatabase::contains(workerName)); // removed again
    QVERIFY(q.exec(QStringLiteral("select count(*) from times")));
}

void TestProjectSchema::upgradeKeepsRecordsAndRights()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    fillOldProject(path);
    const QStringList before = records(path);
    QCOMPARE(schemaObjects(path, QStringLiteral("index_access_rights")), 0);

    QVERIFY(!ProjectSchema::upgradeProjectDatabase(path).isValid());
    QCOMPARE(records(path), before);
    QCOMPARE(schemaObjects(path, QStringLiteral("index_access_rights")), 1);
    ProjectDatabase db(path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(QStringLiteral("pragma integrity_check")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    // A block of rights, model included, is read from the index alone.
    QVERIFY(q.exec(QStringLiteral("explain query plan select FKusers,FKdoors,FKtimes from access "
                                  "where (FKusers in (1,2)) and (FKdoors in (2))")));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + QLatin1Char('\n');
    QVERIFY2(plan.contains(QStringLiteral("COVERING INDEX")), qPrintable(plan));
    q.finish();
    db.database().close();

    // Up to date: a second upgrade does not write at all.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QVERIFY(!ProjectSchema::upgradeProjectDatabase(path).isValid());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QVERIFY(ProjectSchema::upgradeProjectDatabase(path + QStringLiteral(".missing")).isValid());
    QVERIFY(!QFile::exists(path + QStringLiteral(".missing")));
}

void TestProjectSchema::upgradeOfLockedDatabaseChangesNothing()
{
    TestSupport::TempProject project;
    const QString path = project.databasePath();
    fillOldProject(path);
    const QStringList before = records(path);
    {
        // Another program is writing: the upgrade waits its while, then gives up.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                       QStringLiteral("other program"));
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("begin immediate")));
        const QSqlError error = ProjectSchema::upgradeProjectDatabase(path);
        QVERIFY(error.isValid());
        QVERIFY(ProjectSchema::isBusyError(error));
        QVERIFY(lock.exec(QStringLiteral("rollback")));
        lock.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));
    QCOMPARE(records(path), before);
    QCOMPARE(schemaObjects(path, QStringLiteral("index_access_rights")), 0);
    // Once the other program is done, the next opening upgrades.
    QVERIFY(!ProjectSchema::upgradeProjectDatabase(path).isValid());
    QCOMPARE(schemaObjects(path, QStringLiteral("index_access_rights")), 1);
    QCOMPARE(records(path), before);
}

KX_TEST_MAIN(TestProjectSchema)
#include "tst_projectschema.moc"

#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
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
};

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
    const bool server = TestSupport::onServer();
    QVERIFY(QFile::exists(project.folder() + (server ? QStringLiteral("/Plant.kxserver")
                                                     : QStringLiteral("/Plant.sqlite3"))));

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
                                    QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")),
                                QStringLiteral("SchemaVersion=%1").arg(SchemaVersion::current())}));

    QVERIFY(q.exec(QStringLiteral("select modelTag,modelName,modelDefinition from times")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("***"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("Always"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("*-*-*"));
    QVERIFY(!q.next());

    QVERIFY(q.exec(server ? QStringLiteral("show server_encoding")
                          : QStringLiteral("pragma encoding")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), server ? QStringLiteral("UTF8") : QStringLiteral("UTF-8"));
}

void TestProjectSchema::schemaStatementsAsStored()
{
    if (TestSupport::onServer())
        QSKIP("About the statements SQLite keeps in a project file; a server keeps none.");
    TestSupport::TempProject project;
    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(
        QStringLiteral("select sql from sqlite_master where sql is not null order by rowid")));
    QStringList stored;
    while (q.next())
        stored << q.value(0).toString();
    // SQLite keeps each statement as written, without "if not exists"; the
    // steps' tables and indexes follow those of version 1.
    QStringList expected;
    QStringList all = ProjectSchema::statements();
    for (const SchemaVersion::Step &step : SchemaVersion::steps())
        all += step.statements;
    for (QString s : qAsConst(all))
        expected << s.replace(QStringLiteral(" if not exists"), QString());
    QCOMPARE(stored.size(), expected.size());
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

KX_TEST_MAIN(TestProjectSchema)
#include "tst_projectschema.moc"

#include "db/accessrights.h"
#include "db/demoproject.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "dbtesthelpers.h"
#include "support/testsupport.h"

class TestDemoProject : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void counts_data();
    void counts();
    void areasAndReaders_data();
    void areasAndReaders();
    void rightsTable_data();
    void rightsTable();
    void identifiersAndParameters();
    void fillIsAllOrNothing();

private:
    TestSupport::TempProject m_project;
    QString m_path;
};

void TestDemoProject::initTestCase()
{
    QVERIFY(m_project.isValid());
    m_path = m_project.databasePath();
    const QSqlError error = DemoProject::fill(m_path);
    QVERIFY2(!error.isValid(), qPrintable(error.text()));
}

void TestDemoProject::counts_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("count");
    QTest::newRow("entries") << "select count(*) from doors" << 27;
    QTest::newRow("areas") << "select count(distinct areaName) from doors" << 4;
    QTest::newRow("users") << "select count(*) from users" << 13;
    QTest::newRow("groups") << "select count(distinct groupName) from users" << 3;
    QTest::newRow("time models") << "select count(*) from times" << 5;
    // 3 managers x 27 + 5 developers x 27 + 5 production users x 12.
    QTest::newRow("rights") << "select count(*) from access" << 276;
    QTest::newRow("rights per pair")
        << "select count(distinct FKusers||'-'||FKdoors) from access" << 276;
    QTest::newRow("nothing pending")
        << "select count(*) from doors where needsUpdate is not null" << 0;
    QTest::newRow("all on port 10001") << "select count(*) from doors where port=10001" << 27;
    QTest::newRow("distinct serials") << "select count(distinct readerSerNo) from doors" << 27;
    QTest::newRow("distinct MACs") << "select count(distinct readerMacAddr) from doors" << 27;
    QTest::newRow("distinct addresses") << "select count(distinct ipAddr) from doors" << 27;
    QTest::newRow("demo subnet only")
        << "select count(*) from doors where ipAddr like '192.168.3.%'" << 27;
    QTest::newRow("users with both identifiers")
        << "select count(*) from users where iddIso14443 is not null and iddClass1Gen2 is not null"
        << 13;
    QTest::newRow("commented users") << "select count(*) from users where commentUser<>''" << 2;
    QTest::newRow("unused models")
        << "select count(*) from times where modelTag in ('FM','CRY') and PKtimes not in "
           "(select FKtimes from access)"
        << 2;
}

void TestDemoProject::counts()
{
    QFETCH(QString, statement);
    QFETCH(int, count);
    QCOMPARE(scalar(m_path, statement), count);
}

void TestDemoProject::areasAndReaders_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("readerType");
    QTest::newRow("Development") << "Development" << 15 << 100;
    QTest::newRow("Production") << "Production" << 9 << 100;
    QTest::newRow("Parking Area West") << "Parking Area West" << 2 << 101;
    QTest::newRow("Parking Area North") << "Parking Area North" << 1 << 101;
}

void TestDemoProject::areasAndReaders()
{
    QFETCH(QString, area);
    QFETCH(int, entries);
    QFETCH(int, readerType);
    QList<EntryTarget> targets;
    QVERIFY(!EntrySelection::area(area).list(m_path, targets).isValid());
    QCOMPARE(targets.size(), entries);
    for (const EntryTarget &t : targets) {
        QCOMPARE(int(t.readerType), readerType);
        QCOMPARE(t.readerSerNo.size(), 8);
        QVERIFY(!t.needsUpdate);
    }
}

void TestDemoProject::rightsTable_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("tags"); // distinct tags in the crossing, "" when empty
    QTest::newRow("Production x Development is empty") << "Production"
                                                       << "Development"
                                                       << "";
    QTest::newRow("Production x Production") << "Production"
                                             << "Production"
                                             << "PRD";
    QTest::newRow("Development x Development") << "Development"
                                               << "Development"
                                               << "DEV";
    QTest::newRow("Development x Production") << "Development"
                                              << "Production"
                                              << "DEV";
    QTest::newRow("Management x Development") << "Management"
                                              << "Development"
                                              << "***";
    QTest::newRow("Production x parking") << "Production"
                                          << "Parking Area West"
                                          << "***";
    QTest::newRow("Development x parking") << "Development"
                                           << "Parking Area North"
                                           << "***";
}

void TestDemoProject::rightsTable()
{
    QFETCH(QString, group);
    QFETCH(QString, area);
    QFETCH(QString, tags);
    ProjectDatabase db(m_path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(ProjectDatabase::exec(
        q,
        QStringLiteral("select distinct modelTag from access,users,doors,times where "
                       "(PKusers=FKusers) and (PKdoors=FKdoors) and (PKtimes=FKtimes) and "
                       "groupName=? and areaName=?"),
        {group, area}));
    QStringList found;
    while (q.next())
        found << q.value(0).toString();
    QCOMPARE(found.join(QLatin1Char(',')), tags);
}

void TestDemoProject::identifiersAndParameters()
{
    QList<UserRow> users;
    QVERIFY(!UserRecords::listUsers(m_path, 0, true, users).isValid());
    QSet<QString> shortIdds, longIdds;
    for (const UserRow &u : users) {
        const TransponderIdd shortIdd = TransponderIdd::fromStored(u.iddIso14443);
        const TransponderIdd longIdd = TransponderIdd::fromStored(u.iddClass1Gen2);
        QCOMPARE(shortIdd.type(), 4);
        QCOMPARE(shortIdd.bytes().size(), 7);
        QCOMPARE(longIdd.type(), 132);
        QCOMPARE(longIdd.bytes().size(), 14);
        QCOMPARE(longIdd.toStored(), u.iddClass1Gen2);
        shortIdds.insert(u.iddIso14443);
        longIdds.insert(u.iddClass1Gen2);
    }
    QCOMPARE(shortIdds.size(), 13);
    QCOMPARE(longIdds.size(), 13);

    ProjectDatabase db(m_path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("IsSecureProject")),
             QStringLiteral("false"));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("HaveHfReader")),
             QStringLiteral("true"));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("HaveUhfReader")),
             QStringLiteral("true"));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("DefaultRelaisHoldTime")),
             QStringLiteral("1.5"));
    QVERIFY(ProjectSchema::readProjectTag(q, QStringLiteral("HfIddLength")).isNull());
    QCOMPARE(TimeModelRecords::findByTag(q, QStringLiteral("CRY")), 5);
}

void TestDemoProject::fillIsAllOrNothing()
{
    // A second fill collides with the first (error 19) and adds nothing.
    const QSqlError again = DemoProject::fill(m_path);
    QCOMPARE(again.nativeErrorCode(), QStringLiteral("19"));
    QCOMPARE(scalar(m_path, QStringLiteral("select count(*) from doors")), 27);
    QCOMPARE(scalar(m_path, QStringLiteral("select count(*) from access")), 276);

    // Without the built-in model the rights cannot be written: nothing stays.
    TestSupport::TempProject other;
    {
        ProjectDatabase db(other.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(QStringLiteral("delete from times")));
    }
    QVERIFY(DemoProject::fill(other.databasePath()).isValid());
    QCOMPARE(scalar(other.databasePath(), QStringLiteral("select count(*) from doors")), 0);
    QCOMPARE(scalar(other.databasePath(), QStringLiteral("select count(*) from users")), 0);
    QCOMPARE(scalar(other.databasePath(), QStringLiteral("select count(*) from project")), 4);
}

KX_TEST_MAIN(TestDemoProject)
#include "tst_demoproject.moc"

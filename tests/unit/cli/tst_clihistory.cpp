// kelvara-cli history in this process: the filters and formats over a trail
// written at known times, and --verify against a trail edited by hand behind
// the program's back.
#include "cli/kelvaracli.h"
#include "support/testsupport.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/schemaversion.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <ctime>
#include <initializer_list>

namespace {

QStringList A(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

UserRow staff(const char *last, const char *first)
{
    UserRow user;
    user.familyName = QLatin1String(last);
    user.firstName = QLatin1String(first);
    user.groupName = QStringLiteral("Staff");
    return user;
}

// Gives the record the hash of its content as it is now, as one who knows
// how the hash is made would.
void rehash(QSqlQuery &query, qint64 sequence)
{
    QVERIFY(ProjectDatabase::exec(query, QStringLiteral("select hash from auditTrail where seq=?"),
                                  {sequence - 1}) &&
            query.next());
    const QString previous = query.value(0).toString();
    QVERIFY(ProjectDatabase::exec(
                query,
                QStringLiteral("select seq,recordedAt,operatorName,program,programVersion,action,"
                               "objectKind,objectName,valuesBefore,valuesAfter,reverses,"
                               "userNames,entryNames from auditTrail where seq=?"),
                {sequence}) &&
            query.next());
    QStringList fields;
    for (int column = 0; column < 13; ++column)
        fields << (query.isNull(column) ? QString() : query.value(column).toString());
    QVERIFY(ProjectDatabase::exec(query, QStringLiteral("update auditTrail set hash=? where seq=?"),
                                  {AuditTrail::hashOf(fields, previous), sequence}));
}

struct Output
{
    int exitCode = -1;
    QString out;
};

} // namespace

class TestCliHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { AuditTrail::setClockForTest({}); }
    void listing_data();
    void listing();
    void verifyNamesTheFirstBrokenRecord_data();
    void verifyNamesTheFirstBrokenRecord();

private:
    // 1 settings, 2-3 users Ames and Bell, 4-5 entries Hall/Gate and
    // Hall/Side, 6 the model DAY, all on 2030-01-10; 7 Ames at Gate with
    // DAY on 2030-01-11, 8 Bell at Side with DAY on 2030-01-12 (UTC).
    void buildSite(TestSupport::TempProject &project);
    Output cli(const TestSupport::TempProject &project, const QStringList &arguments);
};

void TestCliHistory::initTestCase()
{
    // Times on the command line are this computer's: make it UTC.
    qputenv("TZ", "UTC");
    tzset();
}

void TestCliHistory::buildSite(TestSupport::TempProject &project)
{
    const QString db = project.databasePath();
    QDateTime clock(QDate(2030, 1, 10), QTime(8, 0), Qt::UTC);
    AuditTrail::setClockForTest([&clock] { return clock; });
    ProjectParameters params;
    params.databasePath = db;
    QVERIFY(params.saveProjectParameters());
    int ames = 0, bell = 0, gate = 0, side = 0, day = 0;
    QVERIFY(!UserRecords::addUser(db, staff("Ames", "Al"), &ames).isValid());
    QVERIFY(!UserRecords::addUser(db, staff("Bell", "Bo"), &bell).isValid());
    EntryRow entry;
    entry.areaName = QStringLiteral("Hall");
    entry.doorName = QStringLiteral("Gate");
    QVERIFY(!EntryRecords::addEntry(db, entry, &gate).isValid());
    entry.doorName = QStringLiteral("Side");
    QVERIFY(!EntryRecords::addEntry(db, entry, &side).isValid());
    QVERIFY(!TimeModelRecords::addTimeModel(db,
                                            {0, QStringLiteral("DAY"), QStringLiteral("Day"),
                                             QStringLiteral("mon-06:00-18:00")},
                                            &day)
                 .isValid());
    clock = QDateTime(QDate(2030, 1, 11), QTime(10, 0), Qt::UTC);
    QVERIFY(!AccessRights::changeBoardCell(db, {ames}, {gate}, day).isValid());
    clock = QDateTime(QDate(2030, 1, 12), QTime(10, 0), Qt::UTC);
    QVERIFY(!AccessRights::changeBoardCell(db, {bell}, {side}, day).isValid());
    AuditTrail::setClockForTest({});
}

Output TestCliHistory::cli(const TestSupport::TempProject &project, const QStringList &arguments)
{
    Output output;
    QString err;
    QTextStream out(&output.out);
    QTextStream errors(&err);
    KelvaraCli cli(out, errors);
    output.exitCode = cli.run(
        QStringList{QStringLiteral("history"), QStringLiteral("--project"), project.folder()} +
        arguments);
    out.flush();
    output.out += err;
    return output;
}

void TestCliHistory::listing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("sequences"); // of the text list, in order
    QTest::addColumn<QString>("printed");
    const QString account = AuditTrail::folderOperator().section(QLatin1Char('@'), 0, 0);
    QTest::newRow("everything, newest first") << QStringList() << 0 << "8 7 6 5 4 3 2 1"
                                              << "Project settings";
    QTest::newRow("one user") << A({"--user", "Ames, Al"}) << 0 << "7 2"
                              << "Ames, Al at Hall/Gate";
    QTest::newRow("one entry in any area") << A({"--entry", "Gate"}) << 0 << "7 4"
                                           << "Hall/Gate";
    QTest::newRow("one right shows its models")
        << A({"--user", "Ames, Al", "--entry", "Hall/Gate"}) << 0 << "7"
        << "no right\tDAY";
    QTest::newRow("a right never given") << A({"--user", "Bell, Bo", "--entry", "Gate"}) << 1 << ""
                                         << "";
    QTest::newRow("one day") << A({"--from", "2030-01-11", "--to", "2030-01-11"}) << 0 << "7"
                             << "2030-01-11 10:00:00";
    QTest::newRow("from a moment on") << A({"--from", "2030-01-11T10:01"}) << 0 << "8"
                                      << "Bell, Bo at Hall/Side";
    QTest::newRow("an account on any host")
        << (QStringList() << QStringLiteral("--operator") << account) << 0 << "8 7 6 5 4 3 2 1"
        << account;
    QTest::newRow("an operator never seen") << A({"--operator", "nobody"}) << 1 << ""
                                            << "";
    QTest::newRow("csv") << A({"--user", "Bell, Bo", "--format", "csv"}) << 0 << ""
                         << "sequence;time;operator;program;version;action;kind;object;before;"
                            "after;reverses;users;entries\r\n8;2030-01-12T10:00:00.000Z;";
    QTest::newRow("json") << A({"--entry", "Side", "--format", "json"}) << 0 << ""
                          << "\"model\": \"DAY\"";
    QTest::newRow("a date that is none") << A({"--from", "2030-13-01"}) << 2 << ""
                                         << "--from: '2030-13-01' is no date";
    QTest::newRow("verify takes no filter") << A({"--verify", "--user", "Ames, Al"}) << 2 << ""
                                            << "takes no other option";
}

void TestCliHistory::listing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, sequences);
    QFETCH(QString, printed);
    TestSupport::TempProject project;
    buildSite(project);
    const Output output = cli(project, arguments);
    QCOMPARE(output.exitCode, exitCode);
    QVERIFY2(output.out.contains(printed), qPrintable(output.out));
    if (arguments.contains(QStringLiteral("--format")) || exitCode == 2)
        return;
    QStringList shown;
    for (const QString &line : output.out.split(QLatin1Char('\n')).mid(1)) {
        if (!line.isEmpty())
            shown << line.section(QLatin1Char('\t'), 0, 0);
    }
    QCOMPARE(shown.join(QLatin1Char(' ')), sequences);
}

void TestCliHistory::verifyNamesTheFirstBrokenRecord_data()
{
    // Statements run with the guards dropped; "rehash N" makes record N's hash anew.
    QTest::addColumn<QStringList>("tampering");
    QTest::addColumn<bool>("guardsBack");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::newRow("intact") << QStringList() << true << 0
                            << "The audit trail of 8 records is intact.";
    QTest::newRow("one byte of a value changed")
        << A({"update auditTrail set valuesAfter=replace(valuesAfter,'Bell','Belt') "
              "where seq=3"})
        << true << 1 << "Record 3 does not match its hash";
    // Its hash made anew: the change shows where the next record chains on it.
    QTest::newRow("one byte changed and its hash made anew")
        << A({"update auditTrail set valuesAfter=replace(valuesAfter,'Bell','Belt') where seq=3",
              "rehash 3"})
        << true << 1 << "Record 4 does not match its hash";
    QTest::newRow("one record removed") << A({"delete from auditTrail where seq=5"}) << true << 1
                                        << "Record 5 is missing: record 6 follows record 4.";
    QTest::newRow("the first record removed")
        << A({"delete from auditTrail where seq=1"}) << true << 1 << "Record 1 is missing";
    QTest::newRow("two records swapped")
        << A({"update auditTrail set seq=-1 where seq=2", "update auditTrail set seq=2 where seq=6",
              "update auditTrail set seq=6 where seq=-1"})
        << true << 1 << "Record 2 does not match its hash";
    QTest::newRow("the guards gone")
        << QStringList() << false << 1
        << AuditTrail::guardTriggers(TestSupport::onServer()).join(QStringLiteral(", "));
}

void TestCliHistory::verifyNamesTheFirstBrokenRecord()
{
    QFETCH(QStringList, tampering);
    QFETCH(bool, guardsBack);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    TestSupport::TempProject project;
    buildSite(project);
    {
        // By hand, as someone with the database file would.
        ProjectDatabase db(project.databasePath(), ProjectDatabase::Access::Raw);
        QVERIFY(db.open());
        QSqlQuery query = db.query();
        const bool server = TestSupport::onServer();
        for (const QString &guard : AuditTrail::guardTriggers(server))
            QVERIFY(query.exec(QStringLiteral("drop trigger ") + guard +
                               (server ? QStringLiteral(" on auditTrail") : QString())));
        for (const QString &statement : tampering) {
            if (statement.startsWith(QLatin1String("rehash ")))
                rehash(query, statement.mid(7).toInt());
            else
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
        const SchemaVersion::Step trail = SchemaVersion::steps().first();
        const QStringList created = server ? trail.serverStatements : trail.statements;
        for (const QString &statement : created) {
            if (guardsBack && statement.startsWith(QLatin1String("create trigger")))
                QVERIFY(query.exec(statement));
        }
    }
    const Output output = cli(project, {QStringLiteral("--verify")});
    QCOMPARE(output.exitCode, exitCode);
    QVERIFY2(output.out.contains(printed), qPrintable(output.out));
}

KX_TEST_MAIN(TestCliHistory)
#include "tst_clihistory.moc"

// Entries a function cannot reach: no reader at all, or (for the update) a
// flash drive that is gone or refuses the job file. Each
// fails with a clear line in the log and keeps its pending mark; nothing
// lands on the drive under a name a reader would read.
#include "support/testsupport.h"

#include "db/accessrights.h"
#include "db/audithistory.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvarasetdatetimethread.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvarawriteconfigthread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

qint64 newestRecord(const QString &db)
{
    QList<AuditRecord> page;
    AuditHistory::readPage(db, AuditHistory::Filter(), 0, 1, 0, page, nullptr);
    return page.isEmpty() ? 0 : page.first().sequence;
}

} // namespace

class TestUnreachableEntries : public QObject
{
    Q_OBJECT

private slots:
    void failsAndStaysPending_data();
    void failsAndStaysPending();
};

void TestUnreachableEntries::failsAndStaysPending_data()
{
    QTest::addColumn<int>("function"); // 0 update, 3 read events, 4 clock, 5 configuration
    QTest::addColumn<QString>("serNo");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("drive"); // "ok", "removed" or "job blocked"
    QTest::addColumn<QString>("logLine");
    QTest::newRow("update, no reader, drive ready") << 0 << "" << 0 << "ok"
                                                    << "No reader assigned";
    QTest::newRow("update, serial not hexadecimal") << 0 << "gate" << 0 << "ok"
                                                    << "No reader assigned";
    QTest::newRow("config, no reader") << 5 << "" << 0 << "ok"
                                       << "No reader assigned";
    QTest::newRow("events, no reader") << 3 << "" << 0 << "ok"
                                       << "No reader assigned";
    QTest::newRow("clock, no reader") << 4 << "" << 0 << "ok"
                                      << "No reader assigned";
    QTest::newRow("update, drive removed") << 0 << "a1b2" << 0x10000 << "removed"
                                           << "USB-stick";
    QTest::newRow("update, job file refused") << 0 << "a1b2" << 0x10000 << "job blocked"
                                              << "USB-stick";
}

void TestUnreachableEntries::failsAndStaysPending()
{
    QFETCH(int, function);
    QFETCH(QString, serNo);
    QFETCH(int, port);
    QFETCH(QString, drive);
    QFETCH(QString, logLine);

    TestSupport::TempProject project;
    ProjectParameters params;
    params.projectPath = project.folder();
    params.databasePath = project.databasePath();
    params.loadProjectParameters();
    const QString db = project.databasePath();
    TimeModelRow model;
    model.modelTag = QStringLiteral("OF");
    model.modelName = QStringLiteral("Office");
    model.modelDefinition = QStringLiteral("mon-07:00-19:00");
    int office = 0;
    QVERIFY(!TimeModelRecords::addTimeModel(db, model, &office).isValid());
    UserRow user;
    user.familyName = QStringLiteral("Abel");
    user.iddClass1Gen2 = TransponderIdd::fromHex(QStringLiteral("e20000112233445566778899"),
                                                 TransponderIdd::EpcClass1Gen2)
                             .toStored();
    int pkUser = 0;
    QVERIFY(!UserRecords::addUser(db, user, &pkUser).isValid());
    EntryRow entry;
    entry.doorName = QStringLiteral("Gate");
    entry.areaName = QStringLiteral("Yard");
    entry.readerType = 101;
    entry.readerSerNo = serNo;
    entry.port = port;
    int key = 0;
    QVERIFY(!EntryRecords::addEntry(db, entry, &key).isValid());
    QVERIFY(!AccessRights::changeBoardCell(db, {pkUser}, {key}, office).isValid());

    QTemporaryDir folder;
    const QString drivePath = folder.filePath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(drivePath));
    FlashDrive flash;
    flash.setDrivePath(drivePath);
    if (drive == QLatin1String("removed"))
        QVERIFY(QDir(drivePath).removeRecursively());
    // A job file that cannot be written, whatever rights the test runs with.
    if (drive == QLatin1String("job blocked"))
        QVERIFY(QDir(drivePath).mkpath(QStringLiteral("JOB")));

    QList<EntryTarget> targets;
    QVERIFY(!EntrySelection::allEntries().list(db, targets).isValid());
    std::unique_ptr<KelvaraFunctionThread> thread;
    if (function == 0)
        thread = std::make_unique<KelvaraUpdateThread>(params);
    else if (function == 3)
        thread = std::make_unique<KelvaraReadEventsThread>(params);
    else if (function == 4)
        thread = std::make_unique<KelvaraSetDateTimeThread>(params);
    else
        thread = std::make_unique<KelvaraWriteConfigThread>(params);
    thread->setEntries(targets);
    thread->setFlashDrive(flash);
    QSignalSpy states(thread.get(), &KelvaraFunctionThread::state);
    QSignalSpy lines(thread.get(), &KelvaraFunctionThread::logMessage);
    thread->start();
    QVERIFY(thread->wait(30000));

    QCOMPARE(states.size(), 1);
    QCOMPARE(states.first().at(0).toString(), QString::number(key));
    QCOMPARE(states.first().at(1).toInt(), int(KelvaraFunctionThread::Failed));
    QStringList log;
    for (const QList<QVariant> &l : qAsConst(lines))
        log << l.at(0).toString();
    QVERIFY2(!log.filter(logLine).isEmpty(), qPrintable(log.join(QLatin1Char('\n'))));
    QVERIFY(log.filter(QStringLiteral("DONE")).isEmpty());

    ProjectDatabase database(db);
    QVERIFY(database.open());
    QSqlQuery q = database.query();
    QVERIFY(ProjectDatabase::exec(
        q, QStringLiteral("select needsUpdate from doors where PKdoors=?"), {key}));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    // The run is in the audit trail with the entry's outcome.
    AuditRecord run;
    QVERIFY(!AuditHistory::readRecord(db, newestRecord(db), run).isValid());
    QCOMPARE(run.objectKind + QLatin1Char(' ') + run.action + QLatin1Char(' ') + run.objectName,
             QStringLiteral("function run ") + thread->logFolder().section(QLatin1Char('/'), -1));
    QCOMPARE(run.valuesAfter, QStringLiteral(R"({"entries":{"Yard/Gate":"failed"}})"));
    // Nothing for a reader without a device ID, and no stray temporary files.
    QVERIFY(!QFile::exists(drivePath + QStringLiteral("/00000000")));
    if (drive == QLatin1String("job blocked")) {
        QVERIFY(QFileInfo(drivePath + QStringLiteral("/JOB")).isDir());
        QCOMPARE(QDir(drivePath).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

KX_TEST_MAIN(TestUnreachableEntries)
#include "tst_unreachableentries.moc"

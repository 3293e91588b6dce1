#include "support/testsupport.h"

#include "db/entryrecords.h"
#include "db/recordrows.h"
#include "functions/flashdrive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

int addEntry(const QString &db, const QString &name, const QString &serNo, int port,
             int readerType = 101)
{
    EntryRow e;
    e.doorName = name;
    e.areaName = QStringLiteral("Yard");
    e.readerSerNo = serNo;
    e.port = port;
    e.readerType = readerType;
    int key = 0;
    const QSqlError error = EntryRecords::addEntry(db, e, &key);
    return error.isValid() ? -1 : key;
}

} // namespace

class TestFlashDrive : public QObject
{
    Q_OBJECT

private slots:
    void deviceFolder_data();
    void deviceFolder();
    void jobFile_data();
    void jobFile();
    void parseJobFile_data();
    void parseJobFile();
    void emptyJobFileIsAFailure();
    void noDriveGivesNoPaths();
    void pathsOnADrive();
    void jobsAccumulateInFileOrder();
    void volumeRoots();
    void prepareWithoutFlashDriveEntries();
    void prepareDrive();
    void prepareWithoutDrive();
    void specialFilesAreNotOpened_data();
    void specialFilesAreNotOpened();
};

void TestFlashDrive::deviceFolder_data()
{
    QTest::addColumn<QString>("serNo");
    QTest::addColumn<QString>("folder");
    QTest::newRow("four lower-case digits") << "a1b2"
                                            << "0000A1B2";
    QTest::newRow("eight digits") << "DEADBEEF"
                                  << "DEADBEEF";
    QTest::newRow("blanks around") << " 12 "
                                   << "00000012";
    QTest::newRow("not hexadecimal") << "door-7"
                                     << "00000000";
    QTest::newRow("too long for 32 bits") << "123456789"
                                          << "00000000";
    QTest::newRow("empty") << ""
                           << "00000000";
}

void TestFlashDrive::deviceFolder()
{
    QFETCH(QString, serNo);
    QFETCH(QString, folder);
    QCOMPARE(FlashDrive::deviceFolderName(FlashDrive::deviceIdOf(serNo)), folder);
}

void TestFlashDrive::jobFile_data()
{
    QTest::addColumn<bool>("writeConfig");
    QTest::addColumn<bool>("writeAccess");
    QTest::addColumn<bool>("readAccess");
    QTest::addColumn<bool>("readEvent");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("all") << true << true << true << true
                         << QByteArray("write-config\nwrite-access\nread-access\nread-event\n");
    QTest::newRow("event only") << false << false << false << true << QByteArray("read-event\n");
    QTest::newRow("config and event")
        << true << false << false << true << QByteArray("write-config\nread-event\n");
    QTest::newRow("none") << false << false << false << false << QByteArray();
}

void TestFlashDrive::jobFile()
{
    QFETCH(bool, writeConfig);
    QFETCH(bool, writeAccess);
    QFETCH(bool, readAccess);
    QFETCH(bool, readEvent);
    QFETCH(QByteArray, content);
    FlashDrive::Jobs jobs;
    jobs.writeConfig = writeConfig;
    jobs.writeAccess = writeAccess;
    jobs.readAccess = readAccess;
    jobs.readEvent = readEvent;
    QCOMPARE(FlashDrive::jobFileContent(jobs), content);
    QVERIFY(FlashDrive::parseJobFile(content) == jobs);
}

void TestFlashDrive::parseJobFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("writeConfig");
    QTest::addColumn<bool>("writeAccess");
    QTest::addColumn<bool>("readAccess");
    QTest::addColumn<bool>("readEvent");
    QTest::newRow("any order, CRLF")
        << QByteArray("read-event\r\nwrite-access\r\n") << false << true << false << true;
    QTest::newRow("inside other text")
        << QByteArray("xxwrite-configyy") << true << false << false << false;
    QTest::newRow("upper case is not a job")
        << QByteArray("READ-EVENT\n") << false << false << false << false;
    QTest::newRow("binary junk") << QByteArray("\x00\xff read-access", 14) << false << false << true
                                 << false;
}

void TestFlashDrive::parseJobFile()
{
    QFETCH(QByteArray, content);
    const FlashDrive::Jobs jobs = FlashDrive::parseJobFile(content);
    QTEST(jobs.writeConfig, "writeConfig");
    QTEST(jobs.writeAccess, "writeAccess");
    QTEST(jobs.readAccess, "readAccess");
    QTEST(jobs.readEvent, "readEvent");
}

void TestFlashDrive::emptyJobFileIsAFailure()
{
    QTemporaryDir dir;
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    QVERIFY(!drive.writeJob(FlashDrive::Jobs()));
    FlashDrive::Jobs jobs;
    QVERIFY(drive.readJob(jobs)); // the truncated file exists but names nothing
    QVERIFY(jobs == FlashDrive::Jobs());
}

void TestFlashDrive::noDriveGivesNoPaths()
{
    FlashDrive drive;
    QVERIFY(!drive.driveReady());
    QVERIFY(drive.readerFolder(0x1234, true).isEmpty());
    QVERIFY(drive.accessFilePath(0x1234).isEmpty());
    QVERIFY(drive.jobFilePath().isEmpty());
    QVERIFY(!drive.setWriteAccessJob());
    FlashDrive::Jobs jobs;
    jobs.readEvent = true;
    QVERIFY(!drive.readJob(jobs));
    QVERIFY(!jobs.readEvent);

    QTemporaryDir dir;
    drive.setDrivePath(dir.path() + QStringLiteral("/unplugged"));
    QVERIFY(!drive.driveReady());
    QVERIFY(drive.configFilePath(1).isEmpty());
}

void TestFlashDrive::pathsOnADrive()
{
    QTemporaryDir dir;
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    QVERIFY(drive.driveReady());
    const QString folder = drive.readerFolder(0xA1B2, false);
    QCOMPARE(folder, QDir::toNativeSeparators(dir.path() + QStringLiteral("/0000A1B2")));
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(drive.accessFilePath(0xA1B2), folder + QStringLiteral("/ACCESS.INI"));
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(drive.configFilePath(0xA1B2), folder + QStringLiteral("/CONFIG.INI"));
    QCOMPARE(drive.jobFilePath(), dir.path() + QStringLiteral("/JOB"));

    // A file where the folder should be: no path rather than a wrong one.
    writeFile(dir.path() + QStringLiteral("/00000005"), "x");
    QVERIFY(drive.accessFilePath(5).isEmpty());
}

void TestFlashDrive::jobsAccumulateInFileOrder()
{
    QTemporaryDir dir;
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    FlashDrive::Jobs jobs;
    jobs.readEvent = true;
    QVERIFY(drive.writeJob(jobs));
    QVERIFY(drive.setWriteAccessJob());
    QVERIFY(drive.setWriteAccessJob());
    QVERIFY(drive.setWriteConfigJob());
    QCOMPARE(readAll(drive.jobFilePath()), QByteArray("write-config\nwrite-access\nread-event\n"));
    // A job another tool left is kept.
    writeFile(drive.jobFilePath(), "read-access\n");
    QVERIFY(drive.setWriteConfigJob());
    QCOMPARE(readAll(drive.jobFilePath()), QByteArray("write-config\nread-access\n"));
}

void TestFlashDrive::volumeRoots()
{
    QVERIFY(!FlashDrive::isVolumeRoot(QStringLiteral("/")));
    QVERIFY(!FlashDrive::isVolumeRoot(QString()));
    QTemporaryDir dir;
    const QString sub = dir.path() + QStringLiteral("/stick");
    QVERIFY(QDir().mkpath(sub));
    QVERIFY(!FlashDrive::isVolumeRoot(sub));
    FlashDrive drive;
    QVERIFY(!drive.choose(sub));
    QVERIFY(!drive.choose(QStringLiteral("/")));
    QVERIFY(drive.drivePath().isEmpty());
}

void TestFlashDrive::prepareWithoutFlashDriveEntries()
{
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    QVERIFY(addEntry(project.databasePath(), QStringLiteral("Gate"), QStringLiteral("1234"),
                     10001) > 0);
    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/JOB"), "write-access\n");
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    const FlashDrive::PrepareResult result = drive.prepareDrive(project.databasePath());
    QVERIFY(!result.ok);
    QVERIFY(!result.critical);
    QCOMPARE(result.message,
             QStringLiteral("All reader are accessible.\nWe don't need an USB-stick for "
                            "configuration."));
    QCOMPARE(readAll(dir.path() + QStringLiteral("/JOB")), QByteArray("write-access\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

void TestFlashDrive::prepareDrive()
{
    TestSupport::TempProject project;
    const QString db = project.databasePath();
    QVERIFY(addEntry(db, QStringLiteral("Barrier"), QStringLiteral("a1b2"), 0x10000) > 0);
    QVERIFY(addEntry(db, QStringLiteral("Garage"), QStringLiteral("BEEF0001"), 0x10000 | 10001) >
            0);
    QVERIFY(addEntry(db, QStringLiteral("Odd"), QStringLiteral("not-hex"), 0x10000) > 0);
    QVERIFY(addEntry(db, QStringLiteral("Door"), QStringLiteral("77"), 10001, 100) > 0);

    QTemporaryDir dir;
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/0000A1B2")));
    writeFile(dir.path() + QStringLiteral("/0000A1B2/ACCESS.INI"), "old");
    writeFile(dir.path() + QStringLiteral("/0000A1B2/CONFIG.INI"), "old");
    writeFile(dir.path() + QStringLiteral("/0000A1B2/keep.txt"), "theirs");
    writeFile(dir.path() + QStringLiteral("/JOB"), "write-access\nwrite-config\n");

    const FlashDrive::PrepareResult result = drive.prepareDrive(db);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(readAll(drive.jobFilePath()), QByteArray("read-event\n"));
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/0000A1B2/ACCESS.INI")));
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/0000A1B2/CONFIG.INI")));
    QVERIFY(QFile::exists(dir.path() + QStringLiteral("/0000A1B2/keep.txt")));
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/BEEF0001")).isDir());
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/00000000")));
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/00000077")));
}

void TestFlashDrive::prepareWithoutDrive()
{
    TestSupport::TempProject project;
    QVERIFY(addEntry(project.databasePath(), QStringLiteral("Barrier"), QStringLiteral("a1b2"),
                     0x10000) > 0);
    FlashDrive drive;
    const FlashDrive::PrepareResult result = drive.prepareDrive(project.databasePath());
    QVERIFY(!result.ok);
    QVERIFY(result.critical);
    QVERIFY(!result.message.isEmpty());
}

void TestFlashDrive::specialFilesAreNotOpened_data()
{
    QTest::addColumn<bool>("fifo"); // else a link off the drive
    QTest::newRow("JOB a FIFO") << true;
    QTest::newRow("JOB a link") << false;
}

void TestFlashDrive::specialFilesAreNotOpened()
{
    QFETCH(bool, fifo);
    QTemporaryDir dir, elsewhere;
    FlashDrive drive;
    drive.setDrivePath(dir.path());
    const QString job = dir.filePath(QStringLiteral("JOB"));
    const QString target = elsewhere.filePath(QStringLiteral("file"));
    writeFile(target, "read-access\n");
    // Opening a FIFO without a writer blocks: these calls must not even try.
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(job).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(target, job));
    FlashDrive::Jobs jobs;
    QVERIFY(!drive.readJob(jobs));
    QVERIFY(jobs == FlashDrive::Jobs());
    QVERIFY(!drive.setWriteAccessJob());
    QVERIFY(!drive.setWriteConfigJob());
    QCOMPARE(readAll(target), QByteArray("read-access\n"));
    QVERIFY(drive.refusal(0x1234, QString()).contains(QDir::toNativeSeparators(job)));
}

KX_TEST_MAIN(TestFlashDrive)
#include "tst_flashdrive.moc"

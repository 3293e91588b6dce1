// Hostile and odd project data end to end: entry names that are no folder
// names, identifiers that do not parse or are short, times off the clock,
// owners with rights elsewhere and links on the flash drive, against virtual
// readers on loopback TCP.
#include "support/testsupport.h"

#include "access/accesscsvfiles.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectparameters.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvarareadaccessthread.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvaraupdatethread.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace kxsim;

namespace {

constexpr int FlashBit = 0x10000;
const SimDateTime Monday10{2026, 3, 2, 10, 0, 0};

QByteArray readFile(const QString &path)
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

std::vector<uint8_t> bytesOf(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

// Every file below the folder, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

struct Run
{
    QMap<int, int> states; // PKdoors -> state
    QStringList log;
};

Run runToEnd(KelvaraFunctionThread &thread, const QList<EntryTarget> &entries)
{
    thread.setEntries(entries);
    QSignalSpy states(&thread, &KelvaraFunctionThread::state);
    QSignalSpy logs(&thread, &KelvaraFunctionThread::logMessage);
    thread.start();
    thread.wait();
    Run run;
    for (const QList<QVariant> &s : qAsConst(states))
        run.states.insert(s.at(0).toString().toInt(), s.at(1).toInt());
    for (const QList<QVariant> &l : qAsConst(logs))
        run.log << l.at(0).toString();
    return run;
}

// A project inside a folder of its own (so nothing may appear beside it),
// one always-model and one virtual short-range reader on loopback TCP.
struct Site
{
    TestSupport::TempProject project{QStringLiteral("Site")};
    QString folder = project.folder();
    QString outer = QFileInfo(folder).absolutePath(); // holds the project folder only
    ProjectParameters params;
    std::shared_ptr<VirtualReader> device;
    std::unique_ptr<SimReader> sim;
    int always = 1; // the built-in "***" model
    int entries = 0;

    Site()
    {
        params.projectPath = folder;
        params.databasePath = project.databasePath();
        params.loadProjectParameters();
        VirtualReaderSetup setup;
        setup.type = 100;
        setup.deviceId = 0x1001;
        device = std::make_shared<VirtualReader>(setup);
        sim = std::make_unique<SimReader>(device);
        sim->listenTcp("127.0.0.1", 0);
    }
    QString db() const { return params.databasePath; }

    int addUser(const QString &name, const QString &storedShortIdd)
    {
        UserRow u;
        u.familyName = name;
        u.firstName = QStringLiteral("X");
        u.groupName = QStringLiteral("Staff");
        u.iddIso14443 = storedShortIdd;
        int key = 0;
        const QSqlError error = UserRecords::addUser(db(), u, &key);
        if (error.isValid())
            qWarning() << error.text();
        return key;
    }
    int addModel(const QString &tag, const QString &definition)
    {
        int key = 0;
        TimeModelRecords::addTimeModel(db(), {0, tag, tag, definition}, &key);
        return key;
    }
    // Serial numbers 1001, 1002, ... in the order the entries are added.
    int addEntry(const QString &name, const QString &area, int port = 0)
    {
        EntryRow e;
        e.doorName = name;
        e.areaName = area;
        e.readerType = 100;
        e.readerSerNo = QString::number(0x1001 + entries++, 16);
        e.ipAddr = QStringLiteral("127.0.0.1");
        // The first entry is the virtual reader's; others without a port of their own get one
        // where nobody listens.
        if (!port)
            port = entries == 1 ? sim->tcp().port() : TestSupport::unusedLoopbackPort();
        e.port = port;
        int key = 0;
        const QSqlError error = EntryRecords::addEntry(db(), e, &key);
        if (error.isValid())
            qWarning() << error.text();
        return key;
    }
    void grant(int user, int entry, int model)
    {
        QVERIFY(!AccessRights::changeBoardCell(db(), {user}, {entry}, model).isValid());
    }
    QList<EntryTarget> targets() const
    {
        QList<EntryTarget> rows;
        EntrySelection::allEntries().list(db(), rows);
        return rows;
    }
    QList<EntryTarget> only(int key) const
    {
        QList<EntryTarget> rows;
        EntrySelection::entries({key}).list(db(), rows);
        return rows;
    }
    Run update(const QList<EntryTarget> &entries, const FlashDrive &drive = FlashDrive())
    {
        KelvaraUpdateThread thread(params);
        thread.setFlashDrive(drive);
        return runToEnd(thread, entries);
    }
};

QString stored(const char *hex)
{
    return TransponderIdd::fromHex(QLatin1String(hex), TransponderIdd::Iso14443A).toStored();
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void entryNameLeavingTheProjectStaysInside();
    void sameNameInTwoAreasGetsTwoFolders();
    void unreadableOrBlankIdentifierIsNeverGranted();
    void shortIdentifierMatchesTheCardItCameFrom();
    void ownerWithRightsElsewhereIsNamed();
    void timeOffTheClockNeverOpens();
    void driveLinksAreRefused_data();
    void driveLinksAreRefused();
    void unwritableLogFolderIsSaidOnce();
};

void TestHostileInput::entryNameLeavingTheProjectStaysInside()
{
    Site site;
    const int user = site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6"));
    const int door = site.addEntry(QStringLiteral("../../escape"), QStringLiteral("Hall"));
    site.grant(user, door, site.always);
    QCOMPARE(site.update(site.targets()).states.value(door), 0);
    site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), Monday10);
    KelvaraReadEventsThread events(site.params);
    QCOMPARE(runToEnd(events, site.targets()).states.value(door), 0);
    KelvaraReadAccessThread read(site.params, false);
    QCOMPARE(runToEnd(read, site.targets()).states.value(door), 0);

    // Nothing beside the project; the reader log, the events and the read-back
    // files are in the entry's folders below it.
    QCOMPARE(QDir(site.outer).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Site")});
    const QStringList files = filesBelow(site.folder);
    QHash<int, QString> keys;
    QVERIFY(!EntryRecords::folderKeys(site.db(), keys).isValid());
    const QString key = keys.value(door);
    QVERIFY2(!key.contains(QLatin1Char('/')) && !key.contains(QStringLiteral("..")),
             qPrintable(key));
    QVERIFY2(files.contains(QStringLiteral("data/data-%1/idd-%1.csv").arg(key)),
             qPrintable(files.join(QLatin1Char('\n'))));
    QVERIFY(files.contains(QStringLiteral("data/data-%1/event-%1-2026-03-02.csv").arg(key)));
    QVERIFY(files.contains(QStringLiteral("log/log-%1/%2").arg(key, dailyLogFileName())));
}

void TestHostileInput::sameNameInTwoAreasGetsTwoFolders()
{
    Site site;
    VirtualReaderSetup setup;
    setup.type = 100;
    setup.deviceId = 0x1002;
    auto otherDevice = std::make_shared<VirtualReader>(setup);
    SimReader otherSim(otherDevice);
    QVERIFY(otherSim.listenTcp("127.0.0.1", 0));
    const int abel = site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6"));
    const int cole = site.addUser(QStringLiteral("Cole"), stored("04a1b2c3d4e5f8"));
    const int north = site.addEntry(QStringLiteral("Main Entrance"), QStringLiteral("North"));
    const int south = site.addEntry(QStringLiteral("Main Entrance"), QStringLiteral("South"),
                                    otherSim.tcp().port());
    const int lab = site.addEntry(QStringLiteral("Lab"), QStringLiteral("North"));
    site.grant(abel, north, site.always);
    site.grant(cole, south, site.always);
    site.grant(abel, lab, site.always);
    site.update(site.targets());
    site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), Monday10);
    otherDevice->presentAt(bytesOf("04a1b2c3d4e5f8"), Monday10);
    KelvaraReadAccessThread read(site.params, false);
    runToEnd(read, site.targets());
    KelvaraReadEventsThread events(site.params);
    runToEnd(events, site.targets());

    // A name of its own keeps today's folder; the two of one name are told apart.
    QHash<int, QString> keys;
    QVERIFY(!EntryRecords::folderKeys(site.db(), keys).isValid());
    QCOMPARE(keys.value(lab), QStringLiteral("Lab"));
    QCOMPARE(keys.value(north), QStringLiteral("Main Entrance (North)"));
    QCOMPARE(keys.value(south), QStringLiteral("Main Entrance (South)"));
    const QString northFolder = entryDataPath(site.folder, keys.value(north));
    const QString southFolder = entryDataPath(site.folder, keys.value(south));
    const QByteArray northIdd =
        readFile(northFolder + QLatin1Char('/') + AccessCsvFiles::iddFileName(keys.value(north)));
    const QByteArray southIdd =
        readFile(southFolder + QLatin1Char('/') + AccessCsvFiles::iddFileName(keys.value(south)));
    QVERIFY2(northIdd.contains("Abel") && !northIdd.contains("Cole"), northIdd);
    QVERIFY2(southIdd.contains("Cole") && !southIdd.contains("Abel"), southIdd);
    const QString day = QStringLiteral("/event-%1-2026-03-02.csv");
    QVERIFY(!readFile(northFolder + day.arg(keys.value(north))).contains("Cole"));
    QVERIFY(readFile(southFolder + day.arg(keys.value(south))).contains("Cole"));
    QVERIFY(!QFileInfo::exists(entryDataPath(site.folder, QStringLiteral("Main Entrance"))));
}

void TestHostileInput::unreadableOrBlankIdentifierIsNeverGranted()
{
    Site site;
    const int door = site.addEntry(QStringLiteral("Door"), QStringLiteral("Hall"));
    const int abel = site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6"));
    site.grant(abel, door, site.always);
    // As an import leaves texts that are no identifiers, and a blank one.
    const char *const bad[][2] = {
        {"Zed", "ZZZZ"}, {"Hex", "0x04A1-04"}, {"Gee", "GGGG-04"}, {"Blank", "00000000000000-04"}};
    for (const auto &b : bad)
        site.grant(site.addUser(QLatin1String(b[0]), QLatin1String(b[1])), door, site.always);

    const Run run = site.update(site.targets());
    QCOMPARE(run.states.value(door), 0);
    QVERIFY(run.log.contains(QStringLiteral(
        "Update Access Configuration DONE (4 left out: identifier unreadable or blank)")));
    const QStringList leftOut = run.log.filter(QStringLiteral("Left out"));
    QCOMPARE(leftOut.size(), 1);
    for (const auto &b : bad)
        QVERIFY2(leftOut.first().contains(QLatin1String(b[0])), qPrintable(leftOut.first()));
    QCOMPARE(site.device->tables().recordCount(4), 1);
    QVERIFY(!site.device->presentAt(bytesOf("00000000000000"), Monday10).granted);
    QVERIFY(site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), Monday10).granted);
}

void TestHostileInput::shortIdentifierMatchesTheCardItCameFrom()
{
    Site site;
    const int door = site.addEntry(QStringLiteral("Door"), QStringLiteral("Hall"));
    // Typed by hand: four bytes in a project of seven.
    const int dora = site.addUser(QStringLiteral("Dora"), stored("a1b2c3d4"));
    // Read at the desk reader: extended with zero bytes in front.
    const int emil = site.addUser(QStringLiteral("Emil"), stored("00000011223344"));
    site.grant(dora, door, site.always);
    site.grant(emil, door, site.always);
    QCOMPARE(site.update(site.targets()).states.value(door), 0);
    QVERIFY(site.device->presentAt(bytesOf("a1b2c3d4"), Monday10).granted);
    QVERIFY(site.device->presentAt(bytesOf("000000a1b2c3d4"), Monday10).granted);
    QVERIFY(site.device->presentAt(bytesOf("11223344"), Monday10).granted);
    QVERIFY(!site.device->presentAt(bytesOf("a1b2c3d4000000"), Monday10).granted);

    // Read back, both are known by name.
    KelvaraReadAccessThread read(site.params, false);
    QCOMPARE(runToEnd(read, site.targets()).states.value(door), 0);
    const QByteArray idd = readFile(entryDataPath(site.folder, QStringLiteral("Door")) +
                                    QStringLiteral("/idd-Door.csv"));
    QVERIFY2(idd.contains("000000a1b2c3d4;15;Dora") && !idd.contains("UNKNOWN"), idd);
}

void TestHostileInput::ownerWithRightsElsewhereIsNamed()
{
    Site site;
    const int door = site.addEntry(QStringLiteral("Door"), QStringLiteral("Hall"));
    const int lab = site.addEntry(QStringLiteral("Lab"), QStringLiteral("Hall"));
    const int abel = site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6"));
    site.grant(abel, door, site.always);
    site.grant(abel, lab, site.always);
    site.update(site.only(door));
    // Abel loses the door after its update and still passes there.
    site.grant(abel, door, 0);
    site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), Monday10);

    KelvaraReadEventsThread events(site.params);
    QCOMPARE(runToEnd(events, site.only(door)).states.value(door), 0);
    const QByteArray text = readFile(entryDataPath(site.folder, QStringLiteral("Door")) +
                                     QStringLiteral("/event-Door-2026-03-02.csv"));
    QVERIFY2(text.contains("04A1B2C3D4E5F6;2026-03-02T10:00:00;permitted;Abel;X;;0-0;0"), text);

    KelvaraReadAccessThread import(site.params, true);
    const Run run = runToEnd(import, site.only(door));
    QCOMPARE(run.states.value(door), 0);
    QVERIFY2(run.log.filter(QStringLiteral("ISO14443-IDD")).isEmpty(),
             qPrintable(run.log.join(QLatin1Char('\n'))));
    const QByteArray idd = readFile(entryDataPath(site.folder, QStringLiteral("Door")) +
                                    QStringLiteral("/idd-Door.csv"));
    QVERIFY2(idd.contains("04a1b2c3d4e5f6;15;Abel;X;\r\n"), idd);
}

void TestHostileInput::timeOffTheClockNeverOpens()
{
    Site site;
    const int door = site.addEntry(QStringLiteral("Door"), QStringLiteral("Hall"));
    const int abel = site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6"));
    // Minute 600 cut to a byte was 88: Monday from 01:28.
    site.grant(abel, door, site.addModel(QStringLiteral("BAD"), QStringLiteral("mon-0:600-30:0")));
    QCOMPARE(site.update(site.targets()).states.value(door), 0);
    QVERIFY(!site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), {2026, 3, 2, 1, 30, 0}).granted);
    QVERIFY(!site.device->presentAt(bytesOf("04a1b2c3d4e5f6"), Monday10).granted);
}

void TestHostileInput::driveLinksAreRefused_data()
{
    QTest::addColumn<QString>("link"); // below the drive, pointing off it
    QTest::newRow("device folder") << "0000A1B2";
    QTest::newRow("table file") << "0000A1B2/ACCESS.INI";
    QTest::newRow("job file") << "JOB";
}

void TestHostileInput::driveLinksAreRefused()
{
    QFETCH(QString, link);
    Site site;
    const int barrier = site.addEntry(QStringLiteral("Barrier"), QStringLiteral("Yard"));
    EntryRow e;
    QList<EntryRow> rows;
    QVERIFY(!EntryRecords::listEntries(site.db(), 0, true, rows).isValid());
    e = rows.first();
    e.readerType = 101;
    e.readerSerNo = QStringLiteral("a1b2");
    e.ipAddr.clear();
    e.port = FlashBit;
    QVERIFY(!EntryRecords::editEntry(site.db(), e).isValid());
    site.grant(site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6")), barrier,
               site.always);

    QTemporaryDir drive, elsewhere;
    writeFile(elsewhere.filePath(QStringLiteral("ACCESS.INI")), "precious");
    writeFile(elsewhere.filePath(QStringLiteral("JOB")), "precious");
    QDir(drive.path()).mkpath(QStringLiteral("0000A1B2"));
    const QString target = link == QLatin1String("0000A1B2")
                               ? elsewhere.path()
                               : elsewhere.filePath(link.section(QLatin1Char('/'), -1));
    QDir(drive.path()).rmdir(link);
    QVERIFY(QFile::link(target, drive.filePath(link)));
    FlashDrive flash;
    flash.setDrivePath(drive.path());

    const Run run = site.update(site.targets(), flash);
    QCOMPARE(run.states.value(barrier), 2);
    QVERIFY2(!run.log.filter(QStringLiteral("is a link or a special file")).isEmpty(),
             qPrintable(run.log.join(QLatin1Char('\n'))));
    QCOMPARE(readFile(elsewhere.filePath(QStringLiteral("ACCESS.INI"))), QByteArray("precious"));
    QCOMPARE(readFile(elsewhere.filePath(QStringLiteral("JOB"))), QByteArray("precious"));

    // Preparing the drive removes nothing through the link.
    const FlashDrive::PrepareResult prepared = flash.prepareDrive(site.db());
    QVERIFY(!prepared.ok);
    QVERIFY2(prepared.message.contains(QStringLiteral("link")), qPrintable(prepared.message));
    QCOMPARE(readFile(elsewhere.filePath(QStringLiteral("ACCESS.INI"))), QByteArray("precious"));
    QCOMPARE(readFile(elsewhere.filePath(QStringLiteral("JOB"))), QByteArray("precious"));
}

void TestHostileInput::unwritableLogFolderIsSaidOnce()
{
    Site site;
    const int door = site.addEntry(QStringLiteral("Door"), QStringLiteral("Hall"));
    site.grant(site.addUser(QStringLiteral("Abel"), stored("04a1b2c3d4e5f6")), door, site.always);
    // A file where the function's log folder belongs: not even root can write there.
    QDir(site.folder).mkpath(QStringLiteral("log"));
    writeFile(site.folder + QStringLiteral("/log/update-access-cfg"), "in the way");
    const Run run = site.update(site.targets());
    QCOMPARE(run.states.value(door), 0);
    QCOMPARE(run.log.size(), 1);
    QVERIFY2(run.log.first().contains(QStringLiteral("cannot be written")),
             qPrintable(run.log.first()));
}

KX_TEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"

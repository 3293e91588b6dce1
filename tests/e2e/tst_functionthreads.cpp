// The function threads end to end: a project database, virtual readers on
// loopback TCP and the simulated USB bus, and a folder standing in for the
// flash drive.
#include "support/officesite.h"
#include "support/testsupport.h"

#include "access/accessdataset.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/boardchange.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvarareadaccessthread.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvarasetdatetimethread.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvaraverifythread.h"
#include "functions/kelvarawriteconfigthread.h"
#include "functions/readerobjectsreader.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>

using namespace kxsim;

// The table file of the two long-range users with the office model.
#define EXPECTED_ACCESS_INI                                                                        \
    "Metadaten\n"                                                                                  \
    "TableVersion,TimezoneEntries,HolidayEntries,AccessEntries,IDD-Length,IDD-Format,RFU\n"        \
    "0000,01,00,0002,0C,03,0000000000000000\n"                                                     \
    "\n"                                                                                           \
    "TimezoneTable\n"                                                                              \
    "StartDay,StartMonth,StartYear,EndDay,EndMonth,EndYear,Days,StartHour,StartMinute,EndHour,"    \
    "EndMinute\n"                                                                                  \
    "01,01,00,1F,0C,63,3E,07,00,13,00\n"                                                           \
    "\n"                                                                                           \
    "HolydayTable\n"                                                                               \
    "Day,Month,Year\n"                                                                             \
    "\n"                                                                                           \
    "AccessTable\n"                                                                                \
    "IDD,Timezones,Reserved\n"                                                                     \
    "E20000112233445566778899,0001,00\n"                                                           \
    "E2000011223344556677889A,0001,00\n"                                                           \
    "\n"

namespace {

constexpr int FlashBit = 0x10000;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

std::vector<uint8_t> bytesOf(const QString &hex)
{
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

struct Outcome
{
    QMap<QString, int> states; // entry key -> state
    QStringList keys;          // in the order reported
    QStringList log;
};

Outcome runToEnd(KelvaraFunctionThread &thread)
{
    QSignalSpy states(&thread, &KelvaraFunctionThread::state);
    QSignalSpy logs(&thread, &KelvaraFunctionThread::logMessage);
    thread.start();
    thread.wait();
    Outcome outcome;
    for (const QList<QVariant> &s : qAsConst(states)) {
        outcome.states.insert(s.at(0).toString(), s.at(1).toInt());
        outcome.keys << s.at(0).toString();
    }
    for (const QList<QVariant> &l : qAsConst(logs))
        outcome.log << l.at(0).toString();
    return outcome;
}

// A port on which nobody listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// A project with a time model, three users with both identifiers and entries added on demand.
struct Site : TestSupport::OfficeSite
{
    Site()
    {
        addUser(QStringLiteral("Abel"), QStringLiteral("04a1b2c3d4e5f6"),
                QStringLiteral("e20000112233445566778899"));
        addUser(QStringLiteral("Brandt"), QStringLiteral("04a1b2c3d4e5f7"),
                QStringLiteral("e2000011223344556677889a"));
        addUser(QStringLiteral("Cole"), QStringLiteral("04a1b2c3d4e5f8"));
    }

    // "Door": a short-range reader on the virtual reader's TCP port.
    int addDoor(SimReader &sim)
    {
        return addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                        QStringLiteral("127.0.0.1"), sim.tcp().port());
    }

    QList<EntryTarget> targets(bool onlyPending = false) const
    {
        QList<EntryTarget> rows;
        EntrySelection::allEntries(onlyPending).list(db(), rows);
        return rows;
    }
    EntryTarget target(int key) const
    {
        for (const EntryTarget &t : targets())
            if (t.pkDoors == key)
                return t;
        return EntryTarget();
    }
    int pending(int key) const
    {
        ProjectDatabase database(db());
        database.open();
        QSqlQuery q = database.query();
        ProjectDatabase::exec(q, QStringLiteral("select needsUpdate from doors where PKdoors=?"),
                              {key});
        return q.next() ? q.value(0).toInt() : -1;
    }
};

int storedEvents(const Site &site)
{
    ProjectDatabase database(site.db());
    database.open();
    QSqlQuery q = database.query();
    return q.exec(QStringLiteral("select count(*) from events")) && q.next() ? q.value(0).toInt()
                                                                             : -1;
}

void updateAll(const Site &site)
{
    KelvaraUpdateThread update(site.params);
    update.setEntries(site.targets());
    runToEnd(update);
}

std::shared_ptr<VirtualReader> makeReader(int type, uint32_t deviceId)
{
    VirtualReaderSetup setup;
    setup.type = type;
    setup.deviceId = deviceId;
    return std::make_shared<VirtualReader>(setup);
}

// Counts the commands a run sends and can ask the thread to stop after the first one.
class CountingReader : public ReaderObjectsReader
{
public:
    CountingReader(const ReaderSettings &p, int *calls, KelvaraFunctionThread *stopThis)
        : ReaderObjectsReader(p), m_calls(calls), m_stop(stopThis)
    {
    }
    ReaderOutcome updateAccess(const ReaderConnection &c, int t, const AccessDataSet &d) override
    {
        ++*m_calls;
        const ReaderOutcome outcome = ReaderObjectsReader::updateAccess(c, t, d);
        if (m_stop)
            m_stop->setStop(true);
        return outcome;
    }
    ReaderOutcome readEvents(const ReaderConnection &c, int t, ReaderReadBack &r) override
    {
        ++*m_calls;
        const ReaderOutcome outcome = ReaderObjectsReader::readEvents(c, t, r);
        if (m_stop)
            m_stop->setStop(true);
        return outcome;
    }

private:
    int *m_calls;
    KelvaraFunctionThread *m_stop;
};

// Runs a change of another program while the reader is being written.
class MeanwhileReader : public ReaderObjectsReader
{
public:
    MeanwhileReader(const ReaderSettings &p, const std::function<void()> &meanwhile)
        : ReaderObjectsReader(p), m_meanwhile(meanwhile)
    {
    }
    ReaderOutcome updateAccess(const ReaderConnection &c, int t, const AccessDataSet &d) override
    {
        m_meanwhile();
        return ReaderObjectsReader::updateAccess(c, t, d);
    }

private:
    std::function<void()> m_meanwhile;
};

SimDateTime simTime(const QDate &date, int hour)
{
    return SimDateTime{date.year(), date.month(), date.day(), hour, 0, 0};
}

void countIn(std::atomic<int> &now, std::atomic<int> &most)
{
    const int n = ++now;
    int seen = most.load();
    while (n > seen && !most.compare_exchange_weak(seen, n)) {
    }
}

// Notes how many commands are under way at once, over all and on the flash drive.
class OverlapReader : public ReaderObjectsReader
{
public:
    struct Counts
    {
        std::atomic<int> now{0}, most{0}, driveNow{0}, driveMost{0};
    };
    OverlapReader(const ReaderSettings &p, Counts *counts) : ReaderObjectsReader(p), m_c(counts) {}
    ReaderOutcome updateAccess(const ReaderConnection &c, int t, const AccessDataSet &d) override
    {
        countIn(m_c->now, m_c->most);
        const ReaderOutcome outcome = ReaderObjectsReader::updateAccess(c, t, d);
        --m_c->now;
        return outcome;
    }
    ReaderOutcome saveAccessConfiguration(const QString &path, const FileWriter::Anchor &a,
                                          const QString &key, int t,
                                          const AccessDataSet &d) override
    {
        countIn(m_c->driveNow, m_c->driveMost);
        QThread::msleep(30); // long enough for a second drive entry to overlap, were it let
        const ReaderOutcome outcome =
            ReaderObjectsReader::saveAccessConfiguration(path, a, key, t, d);
        --m_c->driveNow;
        return outcome;
    }

private:
    Counts *m_c;
};

// Plants a fault on the drive between the thread's checks and the write.
class PlantingReader : public ReaderObjectsReader
{
public:
    PlantingReader(const ReaderSettings &p, std::function<void()> plant)
        : ReaderObjectsReader(p), m_plant(std::move(plant))
    {
    }
    ReaderOutcome saveAccessConfiguration(const QString &path, const FileWriter::Anchor &a,
                                          const QString &key, int t,
                                          const AccessDataSet &d) override
    {
        m_plant();
        return ReaderObjectsReader::saveAccessConfiguration(path, a, key, t, d);
    }

private:
    std::function<void()> m_plant;
};

// The log lines by entry name, each entry's block as it stands; addresses
// and the header's time and route, which differ from site to site, left out.
QMap<QString, QStringList> blocksOf(const QStringList &log)
{
    static const QRegularExpression header(QStringLiteral("ENTRY: '([^']*)'"));
    static const QRegularExpression address(QStringLiteral("127\\.0\\.0\\.1:\\d+"));
    QMap<QString, QStringList> blocks;
    QString current;
    for (const QString &line : log.join(QStringLiteral("\r\n")).split(QStringLiteral("\r\n"))) {
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch match = header.match(line);
        if (match.hasMatch()) {
            current = match.captured(1);
            blocks[current] << match.captured(0);
        } else {
            blocks[current] << QString(line).replace(address, QStringLiteral("127.0.0.1:*"));
        }
    }
    return blocks;
}

// Six readers on loopback TCP answering after a delay, the third garbling
// every answer, and two entries on the flash drive.
struct ParallelSite
{
    Site site;
    std::vector<std::unique_ptr<SimReader>> sims;
    QTemporaryDir drive;

    ParallelSite()
    {
        for (int i = 1; i <= 6; ++i) {
            sims.push_back(std::make_unique<SimReader>(makeReader(100, 0x1000 + i)));
            sims.back()->listenTcp("127.0.0.1", 0);
            sims.back()->faults().setDelayMs(10);
            site.addEntry(QStringLiteral("Door %1").arg(i), 100, QString::number(0x1000 + i, 16),
                          QStringLiteral("127.0.0.1"), sims.back()->tcp().port());
        }
        sims.at(2)->faults().corruptCrc(-1);
        for (int i = 1; i <= 2; ++i)
            site.addEntry(QStringLiteral("Barrier %1").arg(i), 863, QStringLiteral("a1b%1").arg(i),
                          QString(), FlashBit);
    }

    Outcome update(int jobs, OverlapReader::Counts *counts)
    {
        KelvaraUpdateThread thread(site.params);
        thread.setEntries(site.targets());
        FlashDrive flash;
        flash.setDrivePath(drive.path());
        thread.setFlashDrive(flash);
        thread.setParallelEntries(jobs);
        thread.setReaderFactory([counts](const ReaderSettings &p) {
            return std::make_unique<OverlapReader>(p, counts);
        });
        return runToEnd(thread);
    }
    QString logFile() const
    {
        return site.project.folder() + QStringLiteral("/log/update-access-cfg/") +
               dailyLogFileName();
    }
};

} // namespace

class TestFunctionThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void connectionOfEntry_data();
    void connectionOfEntry();
    void entryHeader();
    void updateOverTcpUsbAndFlashDrive();
    void flashDriveEntriesWithoutReaderKeepTheirOwnState();
    void flashDriveMissing();
    void driveChangedUnderTheRun_data();
    void driveChangedUnderTheRun();
    void unreachableReaderFailsOnlyItsEntry();
    void sixteenPeriodsFailWithoutContact();
    void stopBetweenEntries();
    void changeDuringUpdateKeepsThePendingMark_data();
    void swappedReadersAreRefused_data();
    void undoAndRedoRefuseReusedKeys_data();
    void undoAndRedoRefuseReusedKeys();
    void swappedReadersAreRefused();
    void changeDuringUpdateKeepsThePendingMark();
    void stopDuringReadLeavesNoState();
    void readAccessWritesThreeFiles();
    void importUnknownTransponders();
    void importRefusedByDatabaseIsLogged();
    void readEventsPerDateAndAppend();
    void updateKeepsTheEventsFirst_data();
    void updateKeepsTheEventsFirst();
    void setClock();
    void writeConfigurationOverTcpAndOntoDrive();
    void emptyListAndEmptyDatabaseName();
    void readsWithoutALinkFail();
    void parallelRunMatchesSerial_data();
    void parallelRunMatchesSerial();

private:
    QTemporaryDir m_bus;
};

void TestFunctionThreads::initTestCase()
{
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_bus.path()));
}

void TestFunctionThreads::connectionOfEntry_data()
{
    QTest::addColumn<QString>("serNo");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("kind");
    QTest::addColumn<uint>("deviceId");
    QTest::newRow("tcp") << "1A2B"
                         << "127.0.0.1" << 10001 << 2 << 0x1A2Bu;
    QTest::newRow("usb cable") << "1A2B"
                               << "" << 0 << 1 << 0x1A2Bu;
    QTest::newRow("flash drive wins over host")
        << "1A2B"
        << "127.0.0.1" << (FlashBit | 10001) << 0 << 0x1A2Bu;
    QTest::newRow("no reader") << ""
                               << "" << 0 << 0 << 0u;
    QTest::newRow("serial not hexadecimal") << "door"
                                            << "" << 0 << 0 << 0u;
}

void TestFunctionThreads::connectionOfEntry()
{
    QFETCH(QString, serNo);
    QFETCH(QString, ip);
    QFETCH(int, port);
    EntryTarget entry;
    entry.doorName = QStringLiteral("Gate");
    entry.readerSerNo = serNo;
    entry.ipAddr = ip;
    entry.port = port;
    const ReaderConnection c = KelvaraFunctionThread::connectionOf(entry);
    QTEST(c.kind(), "kind");
    QTEST(uint(c.deviceId), "deviceId");
    QCOMPARE(c.logKey, QStringLiteral("Gate"));
    QCOMPARE(c.portValue, port);
    QCOMPARE(c.timeoutMs, 5000);
}

void TestFunctionThreads::entryHeader()
{
    EntryTarget entry;
    entry.doorName = QStringLiteral("Gate");
    entry.readerType = 101;
    entry.readerSerNo = QStringLiteral("00C0FFEE");
    entry.ipAddr = QStringLiteral("127.0.0.1");
    entry.port = 10001;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7, 89));
    QCOMPARE(KelvaraFunctionThread::entryHeader(entry, when),
             QStringLiteral("\r\n2026.03.04-05:06:07.089     ENTRY: 'Gate'     READER: 'ID TZU700' "
                            "ID=0x00C0FFEE via 127.0.0.1:10001"));
}

void TestFunctionThreads::updateOverTcpUsbAndFlashDrive()
{
    Site site;
    auto tcpDevice = makeReader(100, 0x1001);
    SimReader tcpSim(tcpDevice);
    QVERIFY(tcpSim.listenTcp("127.0.0.1", 0));
    auto usbDevice = makeReader(101, 0x2002);
    SimReader usbSim(usbDevice);
    QVERIFY(usbSim.plugUsb(m_bus.path().toStdString()));

    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), tcpSim.tcp().port());
    const int garage =
        site.addEntry(QStringLiteral("Garage"), 101, QStringLiteral("2002"), QString(), 0);
    const int barrier =
        site.addEntry(QStringLiteral("Barrier"), 863, QStringLiteral("a1b2"), QString(), FlashBit);
    QCOMPARE(site.targets(true).size(), 3);

    QTemporaryDir drive;
    FlashDrive flash;
    flash.setDrivePath(drive.path());
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets(true));
    thread.setFlashDrive(flash);
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.keys, (QStringList{QString::number(door), QString::number(garage),
                                    QString::number(barrier)}));
    QCOMPARE(run.states.value(QString::number(door)), 0);
    QCOMPARE(run.states.value(QString::number(garage)), 0);
    QCOMPARE(run.states.value(QString::number(barrier)), 0);
    QCOMPARE(run.log.count(QStringLiteral("Update Access Configuration DONE")), 3);
    QVERIFY(site.targets(true).isEmpty());

    // Three short-range identifiers on the TCP reader, two long-range on the USB one.
    QCOMPARE(tcpDevice->tables().recordCount(4), 3);
    QCOMPARE(tcpDevice->tables().recordCount(2), 1);
    QCOMPARE(usbDevice->tables().recordCount(4), 2);
    // A permitted identifier passes on a weekday at ten; an unknown one does not.
    const SimDateTime monday{2026, 3, 2, 10, 0, 0};
    QVERIFY(tcpDevice->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5f6")), monday).granted);
    QVERIFY(!tcpDevice->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5ff")), monday).granted);

    QCOMPARE(readFile(drive.path() + QStringLiteral("/JOB")), QByteArray("write-access\n"));
    const QByteArray table = readFile(drive.path() + QStringLiteral("/0000A1B2/ACCESS.INI"));
    QCOMPARE(table, QByteArray(EXPECTED_ACCESS_INI));

    // The function log and the reader logs are where the dialog's context menu opens them.
    const QString functionLog =
        site.project.folder() + QStringLiteral("/log/update-access-cfg/") + dailyLogFileName();
    QVERIFY(readFile(functionLog).contains("ENTRY: 'Garage'"));
    QVERIFY(readFile(entryLogPath(site.project.folder(), QStringLiteral("Door")) +
                     QLatin1Char('/') + dailyLogFileName())
                .contains("*** Update Access Configuration ***"));
}

void TestFunctionThreads::flashDriveEntriesWithoutReaderKeepTheirOwnState()
{
    Site site;
    const int a = site.addEntry(QStringLiteral("West"), 101, QString(), QString(), FlashBit);
    const int b = site.addEntry(QStringLiteral("East"), 101, QString(), QString(), FlashBit);
    QTemporaryDir drive;
    FlashDrive flash;
    flash.setDrivePath(drive.path());
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets());
    thread.setFlashDrive(flash);
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.size(), 2);
    QCOMPARE(run.states.value(QString::number(a)), 0);
    QCOMPARE(run.states.value(QString::number(b)), 0);
    QVERIFY(QFile::exists(drive.path() + QStringLiteral("/00000000/ACCESS.INI")));
}

void TestFunctionThreads::flashDriveMissing()
{
    Site site;
    const int key =
        site.addEntry(QStringLiteral("Barrier"), 101, QStringLiteral("a1b2"), QString(), FlashBit);
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(key)), 2);
    QCOMPARE(site.pending(key), 1);
}

void TestFunctionThreads::driveChangedUnderTheRun_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("before"); // planted before the run, else just before the write
    QTest::addColumn<int>("state");
    QTest::newRow("none") << "none" << true << 0;
    // Unmounted, the drive's path is the empty mount-point folder: another folder.
    QTest::newRow("unmounted before the run") << "unmount" << true << 2;
    QTest::newRow("unmounted before the write") << "unmount" << false << 2;
    QTest::newRow("reader folder swapped for a link") << "folder link" << false << 2;
    QTest::newRow("table file swapped for a link") << "file link" << false << 0;
}

void TestFunctionThreads::driveChangedUnderTheRun()
{
    QFETCH(QString, fault);
    QFETCH(bool, before);
    QFETCH(int, state);
    Site site;
    const int key =
        site.addEntry(QStringLiteral("Barrier"), 101, QStringLiteral("a1b2"), QString(), FlashBit);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("stick"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/0000A1B2")) && QDir().mkpath(outside));
    FlashDrive flash;
    flash.setDrivePath(root);
    const auto plant = [&] {
        if (fault == QLatin1String("unmount")) {
            // The mount point left behind, with a reader folder of an earlier mishap.
            QDir().rename(root, dir.filePath(QStringLiteral("away")));
            QDir().mkpath(root + QStringLiteral("/0000A1B2"));
        } else if (fault == QLatin1String("folder link")) {
            QDir(root + QStringLiteral("/0000A1B2")).removeRecursively();
            QFile::link(outside, root + QStringLiteral("/0000A1B2"));
        } else if (fault == QLatin1String("file link")) {
            QFile::link(outside + QStringLiteral("/ACCESS.INI"),
                        root + QStringLiteral("/0000A1B2/ACCESS.INI"));
        }
    };
    if (before)
        plant();
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets());
    thread.setFlashDrive(flash);
    thread.setReaderFactory([&](const ReaderSettings &p) {
        return std::make_unique<PlantingReader>(p, before ? std::function<void()>([] {}) : plant);
    });
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(key)), state);
    QCOMPARE(site.pending(key), state == 0 ? 0 : 1);
    // Nothing lands off the drive chosen: not beside a link, not on the system disk.
    QVERIFY(
        QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    if (fault == QLatin1String("unmount")) {
        QVERIFY(!flash.driveReady());
        QVERIFY(!QFile::exists(root + QStringLiteral("/JOB")));
        QVERIFY(QDir(root + QStringLiteral("/0000A1B2"))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    }
    if (state == 0) {
        const QFileInfo table(root + QStringLiteral("/0000A1B2/ACCESS.INI"));
        QVERIFY(table.isFile() && !table.isSymLink());
        QCOMPARE(readFile(root + QStringLiteral("/JOB")), QByteArray("write-access\n"));
    }
}

void TestFunctionThreads::unreachableReaderFailsOnlyItsEntry()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int gone = site.addEntry(QStringLiteral("Gone"), 100, QStringLiteral("1002"),
                                   QStringLiteral("127.0.0.1"), closedPort());
    const int unplugged =
        site.addEntry(QStringLiteral("Unplugged"), 101, QStringLiteral("3003"), QString(), 0);
    const int door = site.addDoor(sim);
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(gone)), 1);
    QCOMPARE(run.states.value(QString::number(unplugged)), 1);
    QCOMPARE(run.states.value(QString::number(door)), 0);
    QCOMPARE(site.pending(gone), 1);
    QCOMPARE(site.pending(unplugged), 1);
    QCOMPARE(site.pending(door), 0);
}

void TestFunctionThreads::sixteenPeriodsFailWithoutContact()
{
    Site site;
    // Nobody listens there: a contact would end in "no connection" (1), not 2.
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), closedPort());
    // Sixteen users, each with a model of its own hour.
    for (int i = 0; i < 16; ++i) {
        TimeModelRow model;
        model.modelTag = QStringLiteral("H%1").arg(i);
        model.modelName = QStringLiteral("Hour %1").arg(i);
        model.modelDefinition =
            QStringLiteral("mon-%1:00-%1:30").arg(i + 1, 2, 10, QLatin1Char('0'));
        int pkTimes = 0;
        QVERIFY(!TimeModelRecords::addTimeModel(site.db(), model, &pkTimes).isValid());
        const int user =
            site.addUser(QStringLiteral("U%1").arg(i),
                         QStringLiteral("0400000000%1").arg(i, 4, 10, QLatin1Char('0')), QString());
        QVERIFY(!AccessRights::changeBoardCell(site.db(), {user}, {door}, pkTimes).isValid());
    }
    KelvaraUpdateThread thread(site.params);
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(door)), 2);
    QCOMPARE(site.pending(door), 1);
    QVERIFY(run.log.filter(QStringLiteral("Periods (ModelID#Days-From-To):")).size() == 1);
    QVERIFY(
        run.log.filter(QStringLiteral("Users (IDD;Periods;LastName;FirstName;ModelID):")).size() ==
        1);
    QVERIFY(run.log.filter(QStringLiteral("Too many periods")).size() == 1);
}

void TestFunctionThreads::stopBetweenEntries()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int first = site.addEntry(QStringLiteral("A-Door"), 100, QStringLiteral("1001"),
                                    QStringLiteral("127.0.0.1"), sim.tcp().port());
    const int second = site.addEntry(QStringLiteral("B-Door"), 100, QStringLiteral("1002"),
                                     QStringLiteral("127.0.0.2"), sim.tcp().port());
    KelvaraUpdateThread thread(site.params);
    int calls = 0;
    thread.setReaderFactory([&](const ReaderSettings &p) {
        return std::make_unique<CountingReader>(p, &calls, &thread);
    });
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    // The first entry's events are read (the stop comes then) and its tables sent.
    QCOMPARE(calls, 2);
    QCOMPARE(run.keys, QStringList{QString::number(first)});
    QCOMPARE(site.pending(first), 0);
    QCOMPARE(site.pending(second), 1);
    QCOMPARE(run.log.filter(QStringLiteral("ENTRY:")).size(), 1);
}

void TestFunctionThreads::changeDuringUpdateKeepsThePendingMark_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("card"); // Abel's, as the reader sees it after the change
    QTest::addColumn<bool>("granted"); // at the entry's reader once the change is sent
    const QString abel = QStringLiteral("04a1b2c3d4e5f6");
    QTest::newRow("a right removed") << "right" << abel << false;
    QTest::newRow("a holiday added") << "holiday added" << abel << false;
    QTest::newRow("a holiday removed") << "holiday removed" << abel << true;
    QTest::newRow("the reader replaced in the entry dialog") << "reader" << abel << true;
    QTest::newRow("the identifier length changed")
        << "length" << QString(QStringLiteral("00") + abel) << true;
}

void TestFunctionThreads::changeDuringUpdateKeepsThePendingMark()
{
    QFETCH(QString, change);
    QFETCH(QString, card);
    QFETCH(bool, granted);
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    auto replacement = makeReader(100, 0x1002);
    SimReader replacementSim(replacement);
    QVERIFY(sim.listenTcp("127.0.0.1", 0) && replacementSim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    QDate day = QDate::currentDate().addDays(1); // a working day to come
    while (day.dayOfWeek() > 5)
        day = day.addDays(1);
    HolidayRow holiday;
    holiday.date = day.toString(HolidayRecords::DateFormat);
    int holidayKey = 0;
    if (change == QLatin1String("holiday removed"))
        QVERIFY(!HolidayRecords::addHoliday(site.db(), holiday, &holidayKey).isValid());

    const std::function<void()> meanwhile = [&] {
        if (change == QLatin1String("right")) {
            AccessRights::changeBoardCell(site.db(), {site.users.first()}, {door}, 0);
        } else if (change == QLatin1String("holiday added")) {
            HolidayRecords::addHoliday(site.db(), holiday);
        } else if (change == QLatin1String("holiday removed")) {
            HolidayRecords::removeHoliday(site.db(), holidayKey);
        } else if (change == QLatin1String("length")) {
            ProjectDatabase database(site.db());
            database.open();
            QSqlQuery q = database.query();
            ProjectTags::setHfIddLength(q, 8);
        } else {
            QList<EntryRow> rows;
            EntryRecords::listEntries(site.db(), 0, true, rows);
            EntryRow row = rows.first();
            row.readerSerNo = QStringLiteral("1002");
            row.port = replacementSim.tcp().port();
            EntryRecords::editEntry(site.db(), row);
        }
    };
    const auto update = [&](bool withChange) {
        ProjectParameters params = site.params;
        params.loadProjectParameters();
        KelvaraUpdateThread thread(params);
        QList<HolidayRow> holidays;
        HolidayRecords::listUpcomingHolidays(site.db(), holidays);
        thread.setHolidays(holidays);
        thread.setEntries(site.targets(true));
        thread.setReaderFactory([&](const ReaderSettings &p) {
            return std::make_unique<MeanwhileReader>(
                p, withChange ? meanwhile : [] {});
        });
        return runToEnd(thread);
    };
    const Outcome run = update(true);
    QCOMPARE(run.states.value(QString::number(door)), 0);
    // What the reader got is no longer what the database gives: sent again next time.
    QVERIFY2(!run.log.filter(QStringLiteral("changed during the update")).isEmpty(),
             qPrintable(run.log.join(QLatin1Char('\n'))));
    QCOMPARE(site.pending(door), 1);

    QCOMPARE(update(false).states.value(QString::number(door)), 0);
    QCOMPARE(site.pending(door), 0);
    const auto &reader = change == QLatin1String("reader") ? replacement : device;
    const bool onHoliday = change.startsWith(QLatin1String("holiday"));
    const SimDateTime when = onHoliday ? simTime(day, 10) : SimDateTime{2035, 1, 8, 10, 0, 0};
    QCOMPARE(reader->presentAt(bytesOf(card), when).granted, granted);
}

void TestFunctionThreads::swappedReadersAreRefused_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("swapped");      // else the entry names another reader type
    QTest::addColumn<QString>("answering"); // the reader at the lobby's address
    QTest::addColumn<QString>("named");
    const QString vault = QStringLiteral("ID TZ60 (device ID 00001002)");
    const QString lobby = QStringLiteral("ID TZ60 (device ID 00001001)");
    for (const char *function :
         {"update", "read access", "read events", "set clock", "write configuration", "verify"})
        QTest::newRow(function) << function << true << vault << lobby;
    const QString otherType = QStringLiteral("ID TZU700 (device ID 00001001)");
    for (const char *function : {"update", "set clock", "write configuration"})
        QTest::newRow(qPrintable(QLatin1String(function) + QStringLiteral(", another type named")))
            << function << false << lobby << otherType;
}

void TestFunctionThreads::swappedReadersAreRefused()
{
    QFETCH(QString, function);
    QFETCH(bool, swapped);
    QFETCH(QString, answering);
    QFETCH(QString, named);
    Site site;
    auto lobbyReader = makeReader(100, 0x1001);
    auto vaultReader = makeReader(100, 0x1002);
    SimReader lobbySim(lobbyReader);
    SimReader vaultSim(vaultReader);
    QVERIFY(lobbySim.listenTcp("127.0.0.1", 0) && vaultSim.listenTcp("127.0.0.1", 0));
    const int lobby = site.addEntry(QStringLiteral("Lobby"), 100, QStringLiteral("1001"),
                                    QStringLiteral("127.0.0.1"), lobbySim.tcp().port());
    // Nobody may enter the vault; its reader holds that.
    const int vault = site.addEntry(QStringLiteral("Vault"), 100, QStringLiteral("1002"),
                                    QStringLiteral("127.0.0.1"), vaultSim.tcp().port());
    QVERIFY(!AccessRights::changeBoardCell(
                 site.db(), QSet<int>(site.users.cbegin(), site.users.cend()), {vault}, 0)
                 .isValid());
    updateAll(site);
    QVERIFY(site.targets(true).isEmpty());

    if (swapped) {
        // A DHCP change: the lobby's address reaches the vault's reader.
        const auto moveTo = [&](int entry, const QString &host, int port) {
            return !EntryRecords::setReaderAddress(site.db(), entry, host, port).isValid();
        };
        QVERIFY(moveTo(vault, QStringLiteral("127.0.0.2"), lobbySim.tcp().port()) &&
                moveTo(lobby, QStringLiteral("127.0.0.1"), vaultSim.tcp().port()) &&
                moveTo(vault, QStringLiteral("127.0.0.1"), lobbySim.tcp().port()));
    } else {
        EntryRow row;
        QList<EntryRow> rows;
        QVERIFY(!EntryRecords::listEntries(site.db(), 0, true, rows).isValid());
        for (const EntryRow &r : qAsConst(rows))
            if (r.pkDoors == lobby)
                row = r;
        row.readerType = 101;
        QVERIFY(!EntryRecords::editEntry(site.db(), row).isValid());
    }
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(site.db(), lobby, true).isValid());
    const std::shared_ptr<VirtualReader> &answers = swapped ? vaultReader : lobbyReader;
    answers->setClock(SimDateTime{2001, 1, 1, 0, 0, 0});
    const SimDateTime monday{2035, 1, 8, 10, 0, 0};
    const std::vector<uint8_t> abel = bytesOf(QStringLiteral("04a1b2c3d4e5f6"));
    const bool grantedBefore = answers->presentAt(abel, monday).granted;

    std::unique_ptr<KelvaraFunctionThread> thread;
    if (function == QLatin1String("update"))
        thread = std::make_unique<KelvaraUpdateThread>(site.params);
    else if (function == QLatin1String("read access"))
        thread = std::make_unique<KelvaraReadAccessThread>(site.params, false);
    else if (function == QLatin1String("read events"))
        thread = std::make_unique<KelvaraReadEventsThread>(site.params);
    else if (function == QLatin1String("set clock"))
        thread = std::make_unique<KelvaraSetDateTimeThread>(site.params);
    else if (function == QLatin1String("write configuration"))
        thread = std::make_unique<KelvaraWriteConfigThread>(site.params);
    else
        thread = std::make_unique<KelvaraVerifyThread>(site.params, false);
    thread->setEntries({site.target(lobby)});
    const Outcome outcome = runToEnd(*thread);
    QCOMPARE(outcome.states.value(QString::number(lobby)), 2);
    const QString text =
        QStringLiteral("Wrong reader: the reader at 127.0.0.1:%1 is %2, but the entry names %3")
            .arg(swapped ? vaultSim.tcp().port() : lobbySim.tcp().port())
            .arg(answering, named);
    QVERIFY2(!outcome.log.filter(text).isEmpty(), qPrintable(outcome.log.join(QLatin1Char('\n'))));
    if (auto *verify = qobject_cast<KelvaraVerifyThread *>(thread.get()))
        QVERIFY(verify->reasonOf(QString::number(lobby)).contains(text));
    // Nothing reached the reader that answered: its tables and clock are as they were.
    QCOMPARE(answers->presentAt(abel, monday).granted, grantedBefore);
    QCOMPARE(int(answers->clock().year), 2001);
    QCOMPARE(site.pending(lobby), 1);
    QVERIFY(!QFileInfo::exists(entryDataPath(site.project.folder(), QStringLiteral("Lobby"))));
}

void TestFunctionThreads::undoAndRedoRefuseReusedKeys_data()
{
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<bool>("redo");
    for (const QString &replaced :
         {QStringLiteral("user"), QStringLiteral("entry"), QStringLiteral("time model")}) {
        QTest::newRow(qPrintable(QStringLiteral("undo, the %1 replaced").arg(replaced)))
            << replaced << false;
        QTest::newRow(qPrintable(QStringLiteral("redo, the %1 replaced").arg(replaced)))
            << replaced << true;
    }
}

void TestFunctionThreads::undoAndRedoRefuseReusedKeys()
{
    QFETCH(QString, replaced);
    QFETCH(bool, redo);
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    const int cole = site.users.last(); // like the door and the model, the largest key
    // The step removes Cole's right (undone below), or gives it (undone, then redone).
    if (redo)
        QVERIFY(!AccessRights::changeBoardCell(site.db(), {cole}, {door}, 0).isValid());
    BoardChange change;
    QVERIFY(
        !BoardChange::prepare(site.db(), {cole}, {door}, redo ? site.office : 0, change).isValid());
    QVERIFY(!change.apply(site.db()).isValid());
    if (redo)
        QVERIFY(!change.revert(site.db()).isValid());

    // The row goes, and SQLite gives its key to the next one made; a server
    // never does, but a row copied in may bring it: moved there by hand.
    const auto takeKey = [&](const char *table, const char *column, int key, int wanted) {
        if (!TestSupport::onServer() || key == wanted)
            return key;
        ProjectDatabase db(site.db());
        QSqlQuery q = db.query();
        return db.open() &&
                       ProjectDatabase::exec(q,
                                             QStringLiteral("update %1 set %2=? where %2=?")
                                                 .arg(QLatin1String(table), QLatin1String(column)),
                                             {wanted, key})
                   ? wanted
                   : key;
    };
    std::vector<uint8_t> card = bytesOf(QStringLiteral("04a1b2c3d4e5f8")); // Cole's
    SimDateTime when{2035, 1, 8, 10, 0, 0};                                // a Monday
    if (replaced == QLatin1String("user")) {
        QVERIFY(!UserRecords::removeUser(site.db(), cole).isValid());
        QCOMPARE(takeKey("users", "PKusers",
                         site.addUser(QStringLiteral("Zoe"), QStringLiteral("04c0c0c0c0c0c0")),
                         cole),
                 cole);
        card = bytesOf(QStringLiteral("04c0c0c0c0c0c0"));
    } else if (replaced == QLatin1String("entry")) {
        QVERIFY(!EntryRecords::removeEntry(site.db(), door).isValid());
        EntryRow annex;
        annex.doorName = QStringLiteral("Annex");
        annex.areaName = QStringLiteral("Hall");
        annex.readerType = 100;
        annex.readerSerNo = QStringLiteral("1001");
        annex.ipAddr = QStringLiteral("127.0.0.1");
        annex.port = sim.tcp().port();
        int key = 0;
        QVERIFY(!EntryRecords::addEntry(site.db(), annex, &key).isValid());
        QCOMPARE(takeKey("doors", "PKdoors", key, door), door);
    } else {
        QVERIFY(!TimeModelRecords::removeTimeModel(site.db(), site.office).isValid());
        TimeModelRow weekend;
        weekend.modelTag = QStringLiteral("WE");
        weekend.modelName = QStringLiteral("Weekend");
        weekend.modelDefinition = QStringLiteral("sat,sun-08:00-20:00");
        int key = 0;
        QVERIFY(!TimeModelRecords::addTimeModel(site.db(), weekend, &key).isValid());
        QCOMPARE(takeKey("times", "PKtimes", key, site.office), site.office);
        when = SimDateTime{2035, 1, 13, 10, 0, 0}; // a Saturday
    }
    bool stale = false;
    const QSqlError error = redo ? change.apply(site.db(), nullptr, &stale)
                                 : change.revert(site.db(), nullptr, nullptr, &stale);
    QVERIFY(stale);
    QVERIFY2(error.text().contains(QStringLiteral("is not the one the change was made for")),
             qPrintable(error.text()));
    updateAll(site);
    QVERIFY(!device->presentAt(card, when).granted);
}

void TestFunctionThreads::stopDuringReadLeavesNoState()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    site.addDoor(sim);
    KelvaraReadEventsThread thread(site.params);
    int calls = 0;
    thread.setReaderFactory([&](const ReaderSettings &p) {
        return std::make_unique<CountingReader>(p, &calls, &thread);
    });
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(calls, 1);
    QVERIFY(run.states.isEmpty());
    QVERIFY(!QFileInfo::exists(entryDataPath(site.project.folder(), QStringLiteral("Door"))));
}

void TestFunctionThreads::readAccessWritesThreeFiles()
{
    Site site;
    HolidayRow holiday;
    holiday.date = QDate::currentDate().addDays(3).toString(QStringLiteral("yyyy.MM.dd"));
    QVERIFY(!HolidayRecords::addHoliday(site.db(), holiday).isValid());
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    KelvaraUpdateThread update(site.params);
    QList<HolidayRow> holidays;
    HolidayRecords::listUpcomingHolidays(site.db(), holidays);
    update.setHolidays(holidays);
    update.setEntries(site.targets());
    QCOMPARE(runToEnd(update).states.value(QString::number(door)), 0);

    KelvaraReadAccessThread read(site.params, false);
    read.setEntries(site.targets());
    const Outcome run = runToEnd(read);
    QCOMPARE(run.states.value(QString::number(door)), 0);
    QVERIFY(run.log.contains(QStringLiteral("Read Access Configuration DONE")));
    const QString folder = entryDataPath(site.project.folder(), QStringLiteral("Door"));
    const QByteArray idd =
        readFile(folder + QLatin1Char('/') + AccessCsvFiles::iddFileName(QStringLiteral("Door")));
    QVERIFY2(idd.contains("Abel") && idd.contains("Brandt") && idd.contains("Cole"), idd);
    QVERIFY(!idd.contains("UNKNOWN"));
    const QByteArray periods = readFile(folder + QLatin1Char('/') +
                                        AccessCsvFiles::periodFileName(QStringLiteral("Door")));
    QVERIFY2(periods.contains("\r\n0;7;0;19;0;mon,tue,wed,thu,fri\r\n"), periods);
    const QByteArray days = readFile(folder + QLatin1Char('/') +
                                     AccessCsvFiles::holidayFileName(QStringLiteral("Door")));
    QVERIFY2(
        days.contains(QDate::currentDate().addDays(3).toString(QStringLiteral("yyyy")).toLatin1()),
        days);
}

void TestFunctionThreads::importUnknownTransponders()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    updateAll(site);
    // Cole leaves the project; the reader still knows the card.
    QVERIFY(!UserRecords::removeUser(site.db(), site.users.at(2)).isValid());

    KelvaraReadAccessThread read(site.params, false);
    read.setEntries(site.targets());
    QCOMPARE(runToEnd(read).states.value(QString::number(door)), 0);
    QList<UserRow> users;
    UserRecords::listUsers(site.db(), 0, true, users);
    QCOMPARE(users.size(), 2); // reading alone imports nothing

    KelvaraReadAccessThread import(site.params, true);
    import.setEntries(site.targets());
    const Outcome run = runToEnd(import);
    QCOMPARE(run.states.value(QString::number(door)), 0);
    QVERIFY(run.log.contains(QStringLiteral("ISO14443-IDD '04A1B2C3D4E5F8': imported")));
    QVERIFY(run.log.contains(QStringLiteral("Import Transponder DONE")));
    UserRecords::listUsers(site.db(), 0, true, users);
    QCOMPARE(users.size(), 3);
    QCOMPARE(users.last().familyName, QStringLiteral("Import3"));
    QCOMPARE(TransponderIdd::fromStored(users.last().iddIso14443).toHex(),
             QStringLiteral("04A1B2C3D4E5F8"));

    // With another identifier length in force the reader's identifiers do not fit.
    QVERIFY(!UserRecords::removeUser(site.db(), users.last().pkUsers).isValid());
    ProjectParameters wider = site.params;
    wider.hfIddLength = 8;
    KelvaraReadAccessThread mismatch(wider, true);
    mismatch.setEntries(site.targets());
    const Outcome second = runToEnd(mismatch);
    QVERIFY2(second.log.contains(QStringLiteral("ISO14443-IDD '04A1B2C3D4E5F8': invalid length")),
             qPrintable(second.log.join(QLatin1Char('\n'))));
}

void TestFunctionThreads::importRefusedByDatabaseIsLogged()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    site.addDoor(sim);
    updateAll(site);
    QVERIFY(!UserRecords::removeUser(site.db(), site.users.at(2)).isValid());
    {
        ProjectDatabase database(site.db());
        QVERIFY(database.open());
        QSqlQuery q = database.query();
        QVERIFY(q.exec(
            TestSupport::onServer()
                ? QStringLiteral("create function kx_refuse() returns trigger language plpgsql as "
                                 "$$ begin raise exception 'no new users'; end $$; create trigger "
                                 "refuse before insert on users for each row execute function "
                                 "kx_refuse()")
                : QStringLiteral("create trigger refuse before insert on users begin "
                                 "select raise(abort, 'no new users'); end")));
    }
    KelvaraReadAccessThread import(site.params, true);
    import.setEntries(site.targets());
    const Outcome run = runToEnd(import);
    const QStringList lines = run.log.filter(QStringLiteral("ISO14443-IDD '04A1B2C3D4E5F8': "));
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(QStringLiteral("': not imported: ")) &&
                 !lines.first().endsWith(QStringLiteral("not imported: ")),
             qPrintable(lines.first()));
}

void TestFunctionThreads::readEventsPerDateAndAppend()
{
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    updateAll(site);

    const SimDateTime monday{2026, 3, 2, 10, 0, 0};
    const SimDateTime tuesday{2026, 3, 3, 22, 0, 0};
    QVERIFY(device->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5f6")), monday).granted);
    QVERIFY(!device->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5f7")), tuesday).granted);

    KelvaraReadEventsThread events(site.params);
    events.setEntries(site.targets());
    QCOMPARE(runToEnd(events).states.value(QString::number(door)), 0);
    const QString folder = entryDataPath(site.project.folder(), QStringLiteral("Door"));
    const QString mondayFile =
        folder + QLatin1Char('/') +
        AccessCsvFiles::eventFileName(QStringLiteral("Door"), QDate(2026, 3, 2));
    const QString tuesdayFile =
        folder + QLatin1Char('/') +
        AccessCsvFiles::eventFileName(QStringLiteral("Door"), QDate(2026, 3, 3));
    QByteArray mondayText = readFile(mondayFile);
    QVERIFY2(mondayText.contains("Abel"), mondayText);
    QVERIFY2(readFile(tuesdayFile).contains("Brandt"), readFile(tuesdayFile));
    const int linesBefore = mondayText.count("\r\n");

    device->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5f8")), monday);
    KelvaraReadEventsThread again(site.params);
    again.setEntries(site.targets());
    QCOMPARE(runToEnd(again).states.value(QString::number(door)), 0);
    mondayText = readFile(mondayFile);
    // A reader returns its whole list again: only the new event is added,
    // to the file as to the database.
    QCOMPARE(mondayText.count("\r\n"), linesBefore + 1);
    QCOMPARE(storedEvents(site), 3);
    QVERIFY(
        mondayText.endsWith("04A1B2C3D4E5F8;2026-03-02T10:00:00;permitted;Cole;X;OF;0-0;0\r\n"));
}

// Fails every event read, as a reader that drops the link would.
class FailingEventsReader : public ReaderObjectsReader
{
public:
    using ReaderObjectsReader::ReaderObjectsReader;
    ReaderOutcome readEvents(const ReaderConnection &, int, ReaderReadBack &) override
    {
        return ReaderOutcome::failure(-3, QStringLiteral("link lost"), true);
    }
};

void TestFunctionThreads::updateKeepsTheEventsFirst_data()
{
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<bool>("readFails");
    QTest::addColumn<int>("storedBeforeSending"); // -1: nothing sent
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("eventsLeft"); // at the reader after the update
    QTest::newRow("read first") << true << false << 2 << 0 << 0;
    QTest::newRow("setting off") << false << false << 0 << 0 << 0;
    QTest::newRow("read fails: nothing sent") << true << true << -1 << 1 << 2;
}

void TestFunctionThreads::updateKeepsTheEventsFirst()
{
    QFETCH(bool, readFirst);
    QFETCH(bool, readFails);
    QFETCH(int, storedBeforeSending);
    QFETCH(int, state);
    QFETCH(int, eventsLeft);
    Site site;
    auto device = makeReader(100, 0x1001);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int door = site.addDoor(sim);
    updateAll(site);
    const SimDateTime monday{2026, 3, 2, 10, 0, 0};
    QVERIFY(device->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5f6")), monday).granted);
    QVERIFY(!device->presentAt(bytesOf(QStringLiteral("04a1b2c3d4e5ff")), monday).granted);
    AccessRights::setNeedsUpdateOfEntry(site.db(), door, 1);

    KelvaraUpdateThread update(site.params);
    update.setReadEventsFirst(readFirst);
    int storedThen = -1;
    update.setReaderFactory([&](const ReaderSettings &p) -> std::unique_ptr<FunctionReader> {
        if (readFails)
            return std::make_unique<FailingEventsReader>(p);
        return std::make_unique<MeanwhileReader>(p, [&] { storedThen = storedEvents(site); });
    });
    update.setEntries(site.targets());
    QCOMPARE(runToEnd(update).states.value(QString::number(door)), state);
    QCOMPARE(storedThen, storedBeforeSending);
    QCOMPARE(int(device->events().size()), eventsLeft);
    QCOMPARE(site.pending(door), state == 0 ? 0 : 1);
}

void TestFunctionThreads::setClock()
{
    Site site;
    auto device = makeReader(101, 0x2002);
    SimReader sim(device);
    QVERIFY(sim.plugUsb(m_bus.path().toStdString()));
    device->setClock(SimDateTime{2001, 1, 1, 0, 0, 0});
    const int key =
        site.addEntry(QStringLiteral("Garage"), 101, QStringLiteral("2002"), QString(), 0);
    KelvaraSetDateTimeThread thread(site.params);
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(key)), 0);
    QVERIFY(run.log.contains(QStringLiteral("Set Date and Time DONE")));
    QCOMPARE(int(device->clock().year), QDate::currentDate().year());
}

void TestFunctionThreads::writeConfigurationOverTcpAndOntoDrive()
{
    Site site;
    auto device = makeReader(101, 0x2002);
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int gate = site.addEntry(QStringLiteral("Gate"), 101, QStringLiteral("2002"),
                                   QStringLiteral("127.0.0.1"), sim.tcp().port());
    const int barrier =
        site.addEntry(QStringLiteral("Barrier"), 863, QStringLiteral("a1b2"), QString(), FlashBit);
    const int door =
        site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("77"), QString(), FlashBit);
    for (int key : {gate, barrier, door}) {
        ProjectDatabase database(site.db());
        QVERIFY(database.open());
        QSqlQuery q = database.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("update doors set readerConfig=? where PKdoors=?"),
            {QStringLiteral("ValidTime = 2.5;Out1.HoldTime=1.5"), key}));
    }
    QTemporaryDir drive;
    FlashDrive flash;
    flash.setDrivePath(drive.path());
    KelvaraWriteConfigThread thread(site.params);
    thread.setEntries(site.targets());
    thread.setFlashDrive(flash);
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.states.value(QString::number(gate)), 0);
    QCOMPARE(run.states.value(QString::number(barrier)), 0);
    // A short-range reader has no flash-drive configuration.
    QCOMPARE(run.states.value(QString::number(door)), 2);
    QCOMPARE(run.log.count(QStringLiteral("Write Reader Configuration DONE")), 2);

    const auto block12 = device->block(12);
    QCOMPARE(int(block12[0]), 0x00);
    QCOMPARE(int(block12[1]), 0x19);
    QCOMPARE(int(device->block(14)[10]), 15);
    QCOMPARE(readFile(drive.path() + QStringLiteral("/JOB")), QByteArray("write-config\n"));
    const QByteArray config = readFile(drive.path() + QStringLiteral("/0000A1B2/CONFIG.INI"));
    QVERIFY2(config.contains("cfg(P12B00S02)=0019\n"), config);
    QVERIFY2(config.contains("cfg(P14B10S01)=0f\n"), config);
}

void TestFunctionThreads::emptyListAndEmptyDatabaseName()
{
    Site site;
    KelvaraReadEventsThread empty(site.params);
    const Outcome nothing = runToEnd(empty);
    QVERIFY(nothing.log.isEmpty());
    QVERIFY(nothing.states.isEmpty());

    site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"), QString(), 0);
    ProjectParameters noDb = site.params;
    noDb.databasePath.clear();
    KelvaraReadEventsThread thread(noDb);
    thread.setEntries(site.targets());
    const Outcome run = runToEnd(thread);
    QCOMPARE(run.log, QStringList{QStringLiteral("Empty database name")});
    QVERIFY(run.states.isEmpty());
}

void TestFunctionThreads::readsWithoutALinkFail()
{
    Site site;
    const int barrier =
        site.addEntry(QStringLiteral("Barrier"), 101, QStringLiteral("a1b2"), QString(), FlashBit);
    const int none = site.addEntry(QStringLiteral("Spare"), 100, QString(), QString(), 0);
    std::unique_ptr<KelvaraFunctionThread> threads[] = {
        std::make_unique<KelvaraReadEventsThread>(site.params),
        std::make_unique<KelvaraReadAccessThread>(site.params, false),
        std::make_unique<KelvaraSetDateTimeThread>(site.params)};
    for (auto &thread : threads) {
        thread->setEntries(site.targets());
        const Outcome run = runToEnd(*thread);
        QCOMPARE(run.states.value(QString::number(barrier)), 2);
        QCOMPARE(run.states.value(QString::number(none)), 2);
        QVERIFY(run.log.filter(QStringLiteral("DONE")).isEmpty());
    }
    QVERIFY(!QFileInfo::exists(entryDataPath(site.project.folder(), QStringLiteral("Barrier"))));
}

void TestFunctionThreads::parallelRunMatchesSerial_data()
{
    QTest::addColumn<int>("jobs");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("four at once") << 4;
    QTest::newRow("eight at once") << 8;
}

void TestFunctionThreads::parallelRunMatchesSerial()
{
    QFETCH(int, jobs);
    ParallelSite serial;
    OverlapReader::Counts serialCounts;
    const Outcome expected = serial.update(1, &serialCounts);
    ParallelSite parallel;
    OverlapReader::Counts counts;
    const Outcome run = parallel.update(jobs, &counts);

    QCOMPARE(counts.most.load() > 1, jobs > 1);
    QCOMPARE(counts.driveMost.load(), 1); // one drive: its entries one after another
    QCOMPARE(run.keys.size(), 8);

    const QList<EntryTarget> before = serial.site.targets();
    const QList<EntryTarget> after = parallel.site.targets();
    QCOMPARE(after.size(), before.size());
    int garbling = -1;
    for (int i = 0; i < before.size(); ++i) {
        const QString name = before.at(i).doorName;
        QCOMPARE(after.at(i).doorName, name);
        if (name == QLatin1String("Door 3"))
            garbling = after.at(i).pkDoors;
        QCOMPARE(run.states.value(QString::number(after.at(i).pkDoors), -1),
                 expected.states.value(QString::number(before.at(i).pkDoors), -1));
        QCOMPARE(parallel.site.pending(after.at(i).pkDoors),
                 serial.site.pending(before.at(i).pkDoors));
    }
    QCOMPARE(parallel.site.pending(garbling), 1);
    QCOMPARE(run.states.value(QString::number(garbling)), 2);

    // Each entry's lines whole and in order, shown and in the log file alike.
    const QMap<QString, QStringList> blocks = blocksOf(run.log);
    QCOMPARE(blocks, blocksOf(expected.log));
    QCOMPARE(
        blocksOf(
            QString::fromLocal8Bit(readFile(parallel.logFile())).split(QStringLiteral("\r\n"))),
        blocks);
    QCOMPARE(blocks.size(), 8);
    for (const QString &name : {QStringLiteral("Barrier 1"), QStringLiteral("Barrier 2")})
        QCOMPARE(blocks.value(name).last(), QStringLiteral("Update Access Configuration DONE"));
    for (const QString &id :
         {QStringLiteral("/0000A1B1/ACCESS.INI"), QStringLiteral("/0000A1B2/ACCESS.INI")})
        QCOMPARE(readFile(parallel.drive.path() + id), readFile(serial.drive.path() + id));
}

KX_TEST_MAIN(TestFunctionThreads)
#include "tst_functionthreads.moc"

// Reader objects over the real reader libraries against virtual readers:
// connections and their failures, the common commands, reader information.
#include "reader/myrdr.h"
#include "reader/myrdrkelvara.h"
#include "reader/myrdrtz60.h"
#include "reader/myrdrtzu700.h"
#include "reader/readerfactory.h"
#include "reader/readertask.h"
#include "reader/readertypes.h"
#include "simfixture.h"
#include "support/testsupport.h"

#include <kxrdr.h>
#include <kxtcp.h>
#include <kxusb.h>

#include <QDateTime>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>

#include <memory>

using namespace kxsim;

namespace {

// Opens a connection on the test's thread and leaves it open.
class OpenReader : public MyRdr
{
public:
    explicit OpenReader(const ReaderSettings &settings) : MyRdr(settings) {}
    bool open(const ReaderConnection &c)
    {
        m_connection = c;
        return openConnection();
    }
};

void verifyClosed(const MyRdr &reader)
{
    QCOMPARE(reader.portHandle(), -1);
    QCOMPARE(reader.readerHandle(), -1);
    QCOMPARE(reader.command(), 0);
}

} // namespace

class TestReaderObjects : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_env.reset(new ReaderTestEnvironment); }
    void cleanup() { m_env.reset(); }

    void testConnection_data();
    void testConnection();
    void connectionFailures_data();
    void connectionFailures();
    void flashDriveConnectionDoesNothing();
    void cpuResetOverBothLinks_data();
    void cpuResetOverBothLinks();
    void usbOpensReaderByDeviceId();
    void noProjectNoLog_data();
    void noProjectNoLog();
    void readerStatusEndsCommand_data();
    void readerStatusEndsCommand();
    void linkFaults_data();
    void linkFaults();
    void startWhileRunningIsIgnored();
    void taskEndedWhileRunningDropsItsDone();
    void unknownCommandDoesNothing();
    void setDateAndTime();
    void readerInformation_data();
    void readerInformation();
    void externalBoardFlags_data();
    void externalBoardFlags();
    void destructorClosesConnection();
    void factoryCreatesClassPerType_data();
    void factoryCreatesClassPerType();
    void describeErrorFormat();

private:
    std::unique_ptr<ReaderTestEnvironment> m_env;
};

void TestReaderObjects::testConnection_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("listening");
    QTest::addColumn<bool>("failed");
    QTest::newRow("address") << "127.0.0.1" << true << false;
    QTest::newRow("localhost by name") << "localhost" << true << false;
    QTest::newRow("nobody listening") << "127.0.0.1" << false << true;
    QTest::newRow("name not resolved") << "reader.invalid" << true << true;
    QTest::newRow("address off this machine") << "192.0.2.1" << true << true;
    QTest::newRow("usb cable") << "" << true << false;
    QTest::newRow("usb cable, reader unplugged") << "" << false << true;
}

void TestReaderObjects::testConnection()
{
    QFETCH(QString, host);
    QFETCH(bool, listening);
    QFETCH(bool, failed);
    SimFixture reader(SimFixture::setupOf(100), host.isEmpty() && listening);
    QVERIFY(reader.isValid());
    ReaderConnection c = host.isEmpty() ? reader.usb() : reader.tcp();
    c.host = host;
    if (!listening)
        c.portValue = unusedPort();
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runTestConnection(c);
    QCOMPARE(rdr.connectFailed(), failed);
    verifyClosed(rdr);
    // The TCP test does not use the reader libraries, so the reader saw no command.
    QCOMPARE(reader.device->cpuResets(), 0);
}

void TestReaderObjects::connectionFailures_data()
{
    QTest::addColumn<bool>("overUsb");
    QTest::addColumn<int>("expected");
    QTest::newRow("refused tcp") << false << int(KXTCP_ERR_REFUSED);
    QTest::newRow("usb reader not attached") << true << int(KXUSB_ERR_NO_DEVICE);
}

void TestReaderObjects::connectionFailures()
{
    QFETCH(bool, overUsb);
    QFETCH(int, expected);
    ReaderConnection c;
    c.logKey = QStringLiteral("Gate");
    if (overUsb) {
        c.deviceId = 0x12345678;
    } else {
        c.host = QStringLiteral("127.0.0.1");
        c.portValue = unusedPort();
    }
    for (int command : {1, 2, 3}) {
        MyRdrTZU700 rdr(m_env->settings);
        rdr.run(command, c);
        QVERIFY(rdr.connectFailed());
        verifyClosed(rdr);
        if (command == 1 && !overUsb)
            continue; // the TCP test reports only the flag
        QCOMPARE(rdr.result().code, expected);
        QVERIFY(!rdr.result().detail.isEmpty());
    }
}

void TestReaderObjects::flashDriveConnectionDoesNothing()
{
    SimFixture reader(SimFixture::setupOf(101));
    ReaderConnection c = reader.tcp();
    c.portValue |= ReaderConnection::FlashDriveBit;
    QCOMPARE(c.kind(), int(ReaderConnection::NoConnection));
    MyRdrTZU700 rdr(m_env->settings);
    rdr.runCpuReset(c);
    QVERIFY(!rdr.connectFailed());
    QCOMPARE(rdr.result().code, 0);
    QCOMPARE(reader.device->cpuResets(), 0);
    verifyClosed(rdr);
}

void TestReaderObjects::cpuResetOverBothLinks_data()
{
    QTest::addColumn<bool>("overUsb");
    QTest::newRow("tcp") << false;
    QTest::newRow("usb") << true;
}

void TestReaderObjects::cpuResetOverBothLinks()
{
    QFETCH(bool, overUsb);
    SimFixture reader(SimFixture::setupOf(863, 0x00ABCDEF), true);
    QVERIFY(reader.isValid());
    MyRdr rdr(m_env->settings);
    rdr.runCpuReset(overUsb ? reader.usb(QStringLiteral("Hall"))
                            : reader.tcp(QStringLiteral("Hall")));
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    QVERIFY(!rdr.connectFailed());
    QCOMPARE(reader.device->cpuResets(), 1);
    verifyClosed(rdr);
    // Title and the library's trace land in the same daily file.
    const QString log = m_env->readLog(QStringLiteral("Hall"));
    QVERIFY(log.contains(QStringLiteral("*** CPU Reset ***\r\n")));
    QVERIFY(log.contains(QStringLiteral(" TX ")));
    QVERIFY(log.indexOf(QStringLiteral("*** CPU Reset ***")) < log.indexOf(QStringLiteral(" 63 ")));
    QVERIFY(rdr.logFilePath().endsWith(
        QStringLiteral("log-%1.log").arg(QDate::currentDate().toString(Qt::ISODate))));
}

void TestReaderObjects::noProjectNoLog_data()
{
    QTest::addColumn<bool>("overUsb");
    QTest::newRow("tcp") << false;
    QTest::newRow("usb") << true;
}

// Without an open project (the general settings at the first start) a
// command still runs, but leaves no log folder anywhere, least of all at the
// root of the file system.
void TestReaderObjects::noProjectNoLog()
{
    QFETCH(bool, overUsb);
    SimFixture reader(SimFixture::setupOf(82, 0x00ABCDEF), true);
    QVERIFY(reader.isValid());
    ReaderSettings settings;
    const QString key = QStringLiteral("NoProject%1").arg(QCoreApplication::applicationPid());
    MyRdr rdr(settings);
    rdr.runCpuReset(overUsb ? reader.usb(key) : reader.tcp(key));
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    QCOMPARE(reader.device->cpuResets(), 1);
    QCOMPARE(rdr.logFilePath(), QString());
    QVERIFY(!QFileInfo::exists(QStringLiteral("/log/log-") + key));
    QVERIFY(!QFileInfo::exists(QStringLiteral("log/log-") + key));
}

void TestReaderObjects::usbOpensReaderByDeviceId()
{
    SimFixture first(SimFixture::setupOf(100, 0x00000101), true);
    SimFixture second(SimFixture::setupOf(100, 0x00000202), true);
    QVERIFY(first.isValid() && second.isValid());
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runReadInfo(second.usb());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    QCOMPARE(rdr.readerDeviceId(), quint32(0x202));
    // Unplugged, the same reader is a connection failure.
    second.sim->unplugUsb();
    rdr.runReadInfo(second.usb());
    QVERIFY(rdr.connectFailed());
    QVERIFY(rdr.result().code < 0);
    verifyClosed(rdr);
}

void TestReaderObjects::readerStatusEndsCommand_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("1 no transponder") << 0x01;
    QTest::newRow("0x12 table crc") << 0x12;
    QTest::newRow("0x82 not available") << 0x82;
    QTest::newRow("255") << 0xFF;
}

void TestReaderObjects::readerStatusEndsCommand()
{
    QFETCH(int, status);
    SimFixture reader(SimFixture::setupOf(101));
    reader.device->injectStatus(0x63, uint8_t(status));
    MyRdr rdr(m_env->settings);
    rdr.runCpuReset(reader.tcp());
    QCOMPARE(rdr.result().code, status);
    QVERIFY(!rdr.result().detail.isEmpty());
    char text[KXRDR_TEXT_SIZE];
    KXRDR_GetStatusText(status, text);
    QCOMPARE(rdr.result().detail, QString::fromLocal8Bit(text));
    QVERIFY(!rdr.connectFailed());
    QCOMPARE(reader.device->cpuResets(), 0);
    verifyClosed(rdr);
}

void TestReaderObjects::linkFaults_data()
{
    QTest::addColumn<bool>("overUsb");
    QTest::addColumn<QString>("fault");
    QTest::newRow("tcp silent") << false << "delay";
    QTest::newRow("usb silent") << true << "delay";
    QTest::newRow("tcp garbled answer") << false << "crc";
    QTest::newRow("usb garbled answer") << true << "crc";
    QTest::newRow("tcp link dropped") << false << "drop";
    QTest::newRow("usb link dropped") << true << "drop";
}

void TestReaderObjects::linkFaults()
{
    QFETCH(bool, overUsb);
    QFETCH(QString, fault);
    SimFixture reader(SimFixture::setupOf(100), true);
    ReaderConnection c = overUsb ? reader.usb() : reader.tcp();
    c.timeoutMs = 150;
    if (fault == QLatin1String("delay"))
        reader.sim->faults().setDelayMs(600);
    else if (fault == QLatin1String("crc"))
        reader.sim->faults().corruptCrc(-1);
    else
        reader.sim->faults().dropAfterFrames(0);
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runReadInfo(c);
    QVERIFY(rdr.result().code < 0);
    QVERIFY(!rdr.result().detail.isEmpty());
    QVERIFY(!rdr.connectFailed());
    verifyClosed(rdr);
    reader.sim->faults().clear();
    // The reader is fine again for the next command.
    rdr.runReadInfo(overUsb ? reader.usb() : reader.tcp());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
}

void TestReaderObjects::startWhileRunningIsIgnored()
{
    SimFixture reader(SimFixture::setupOf(100));
    reader.sim->faults().setDelayMs(200);
    const auto rdr = std::make_shared<MyRdr>(m_env->settings);
    ReaderTask task;
    const ReaderConnection here = reader.tcp();
    QThread *doneOn = nullptr;
    int commandWhenDone = -1;
    QVERIFY(task.start([rdr, here] { rdr->runCpuReset(here); },
                       [&] {
                           doneOn = QThread::currentThread();
                           commandWhenDone = rdr->command();
                       }));
    ReaderConnection elsewhere;
    elsewhere.host = QStringLiteral("127.0.0.1");
    elsewhere.portValue = unusedPort();
    QVERIFY(!task.start([rdr, elsewhere] { rdr->runSetDateTime(elsewhere); }));
    QSignalSpy finished(&task, &ReaderTask::finished);
    QVERIFY(finished.wait(30000));
    QCOMPARE(doneOn, QThread::currentThread());
    QCOMPARE(commandWhenDone, 0);
    QCOMPARE(ReaderTask::busyCount(), 0);
    QVERIFY2(rdr->result().ok(), qPrintable(rdr->result().detail));
    QCOMPARE(reader.device->cpuResets(), 1);
    QCOMPARE(rdr->connection().portValue, int(reader.sim->tcp().port()));
    verifyClosed(*rdr);
}

void TestReaderObjects::taskEndedWhileRunningDropsItsDone()
{
    SimFixture reader(SimFixture::setupOf(100));
    reader.sim->faults().setDelayMs(200);
    const auto rdr = std::make_shared<MyRdr>(m_env->settings);
    const ReaderConnection here = reader.tcp();
    bool doneCalled = false;
    {
        ReaderTask task;
        QVERIFY(task.start([rdr, here] { rdr->runCpuReset(here); }, [&] { doneCalled = true; }));
    }
    // The command ran to its end before the task went; nothing is left open.
    QCOMPARE(ReaderTask::busyCount(), 0);
    QCOMPARE(reader.device->cpuResets(), 1);
    verifyClosed(*rdr);
    QCoreApplication::processEvents();
    QVERIFY(!doneCalled);
}

void TestReaderObjects::unknownCommandDoesNothing()
{
    SimFixture reader(SimFixture::setupOf(100));
    for (int command : {0, 4, 99, 200, 1000}) {
        MyRdrTZ60 rdr(m_env->settings);
        rdr.run(command, reader.tcp());
        QCOMPARE(rdr.result().code, 0);
        QVERIFY(!rdr.connectFailed());
        verifyClosed(rdr);
    }
    QCOMPARE(reader.device->cpuResets(), 0);
    QVERIFY(m_env->readLog(QStringLiteral("Door")).isEmpty());
}

void TestReaderObjects::setDateAndTime()
{
    SimFixture reader(SimFixture::setupOf(100));
    reader.device->setClock(SimDateTime{2001, 2, 3, 4, 5, 6});
    MyRdr rdr(m_env->settings);
    rdr.runSetDateTime(reader.tcp());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    const SimDateTime c = reader.device->clock();
    const QDateTime readerTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
    QVERIFY(qAbs(readerTime.secsTo(QDateTime::currentDateTime())) <= 1);
    QVERIFY(m_env->readLog(QStringLiteral("Door"))
                .contains(QStringLiteral("*** Set Date and Time ***")));
    verifyClosed(rdr);
}

void TestReaderObjects::readerInformation_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("sufficient");
    QTest::newRow("tz60 2.8.0") << 100 << 2 << 8 << 0 << "02.08.00" << true;
    QTest::newRow("tz60 2.7.9") << 100 << 2 << 7 << 9 << "02.07.09" << false;
    QTest::newRow("tzu700 12.0.3") << 101 << 12 << 0 << 3 << "12.00.03" << true;
    QTest::newRow("tzu300 1.0.99") << 863 << 1 << 0 << 99 << "01.00.99" << false;
}

void TestReaderObjects::readerInformation()
{
    QFETCH(int, type);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QString, firmware);
    QFETCH(bool, sufficient);
    VirtualReaderSetup setup = SimFixture::setupOf(type, 0x8001F00D);
    setup.firmware[0] = major;
    setup.firmware[1] = minor;
    setup.firmware[2] = patch;
    setup.hardware = 7;
    SimFixture reader(setup);
    std::unique_ptr<MyRdr> rdr(ReaderFactory::createReader(type, m_env->settings));
    rdr->run(100, reader.tcp());
    QCOMPARE(rdr->readerTypeCode(), type);
    QCOMPARE(rdr->firmwareVersion(), firmware);
    QCOMPARE(rdr->readerDeviceId(), quint32(0x8001F00D));
    QCOMPARE(int(rdr->hardwareByte()), 7);
    QCOMPARE(
        ReaderTypes::firmwareAtLeast(rdr->firmwareVersion(), ReaderTypes::requiredFirmware(type)),
        sufficient);
    QVERIFY(m_env->readLog(QStringLiteral("Door")).contains(QStringLiteral("*** Read Info ***")));
    verifyClosed(*rdr);
}

void TestReaderObjects::externalBoardFlags_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<bool>("pair");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<bool>("paired");
    QTest::newRow("internal relay") << 3 << false << false << false;
    QTest::newRow("board port, not paired") << 1 << false << true << false;
    QTest::newRow("board port, paired") << 1 << true << true << true;
}

void TestReaderObjects::externalBoardFlags()
{
    QFETCH(int, hardware);
    QFETCH(bool, pair);
    QFETCH(bool, supported);
    QFETCH(bool, paired);
    VirtualReaderSetup setup = SimFixture::setupOf(100);
    setup.hardware = hardware;
    setup.extIoSerial = 0x00B0A4D1;
    SimFixture reader(setup);
    if (pair) {
        MyRdrTZ60 rdr(m_env->settings);
        rdr.runPairing(reader.tcp(), QStringLiteral("b0a4d1"));
        QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
        QVERIFY(reader.device->extIoPaired());
    }
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runReadInfo(reader.tcp());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    QCOMPARE(rdr.extIoSupported(), supported);
    QCOMPARE(rdr.extIoPaired(), paired);
    verifyClosed(rdr);
}

void TestReaderObjects::destructorClosesConnection()
{
    SimFixture reader(SimFixture::setupOf(100));
    int port = -1;
    {
        OpenReader rdr(m_env->settings);
        QVERIFY(rdr.open(reader.tcp()));
        port = rdr.portHandle();
        QVERIFY(port & 0x20000000);
        QVERIFY(rdr.readerHandle() >= 0);
    }
    QCOMPARE(KXTCP_DisConnect(port), int(KXTCP_ERR_UNKNOWN_HANDLE));
}

void TestReaderObjects::factoryCreatesClassPerType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("readTag");
    QTest::newRow("82") << 82 << "MyRdrPQ20" << 101;
    QTest::newRow("86") << 86 << "MyRdrPQ10" << 101;
    QTest::newRow("54") << 54 << "MyRdrLRX7" << 101;
    QTest::newRow("100") << 100 << "MyRdrTZ60" << 103;
    QTest::newRow("101") << 101 << "MyRdrTZU700" << 103;
    QTest::newRow("863") << 863 << "MyRdrTZU300" << 103;
    QTest::newRow("102 display only") << 102 << "" << 0;
    QTest::newRow("0") << 0 << "" << 0;
}

void TestReaderObjects::factoryCreatesClassPerType()
{
    QFETCH(int, type);
    QFETCH(QString, className);
    QFETCH(int, readTag);
    std::unique_ptr<MyRdr> rdr(ReaderFactory::createReader(type, m_env->settings));
    QCOMPARE(rdr ? QString::fromLatin1(rdr->metaObject()->className()) : QString(), className);
    QCOMPARE(ReaderFactory::readTagCommand(type), readTag);
}

void TestReaderObjects::describeErrorFormat()
{
    ReaderConnection c;
    c.host = QStringLiteral("127.0.0.1");
    c.portValue = unusedPort();
    MyRdr rdr(m_env->settings);
    rdr.runCpuReset(c);
    const QString text = rdr.describeError(QStringLiteral("Open"));
    QVERIFY(text.startsWith(QStringLiteral("Open: ")));
    QVERIFY(text.length() > 6);
}

KX_TEST_MAIN(TestReaderObjects)
#include "tst_readerobjects.moc"

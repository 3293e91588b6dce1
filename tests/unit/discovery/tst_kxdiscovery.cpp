// The discovery and network-setup workers against virtual readers on loopback
// UDP, TCP and a private simulated USB bus, and the rules that keep a setup
// from cutting a reader off.
#include "discovery/kxdiscoverudp.h"
#include "discovery/kxdiscoverusb2.h"
#include "discovery/kxnetaddress.h"
#include "discovery/kxnetinterfaces.h"
#include "discovery/kxnetsetupcheck.h"
#include "discovery/kxnetsetupreader.h"
#include "reader/readertypes.h"
#include "simfixture.h"
#include "simudpresponder.h"

#include <kxudp.h>
#include <kxudpwire.h>

#include <QUdpSocket>
#include <QtTest>

#include <cstring>

namespace {

KxNetConfig configOf(const QString &ip, const QString &mask, const QString &gateway, int port = -1)
{
    KxNetConfig c;
    c.ip = KxNetAddress::parseIpv4(ip);
    c.netmask = KxNetAddress::parseIpv4(mask);
    c.gateway = KxNetAddress::parseIpv4(gateway);
    c.port = port;
    return c;
}

QList<KxLanReaderRecord> drain(KxDiscoverUdp &discovery)
{
    QList<KxLanReaderRecord> list;
    KxLanReaderRecord r;
    while (discovery.takeNext(&r))
        list << r;
    return list;
}

} // namespace

class TestKxDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void normalizedIpv4_data();
    void normalizedIpv4();
    void contiguousMask_data();
    void contiguousMask();
    void setupCheck_data();
    void setupCheck();
    void interfaceListing_data();
    void interfaceListing();
    void reportWithBadAddressText();
    void discoveryFiltersTypes();
    void garbageAnswersAreIgnored();
    void discoveryOffLoopbackIsRefused_data();
    void discoveryOffLoopbackIsRefused();
    void usbScanNewAndGone();
    void readAndWritePortOverTcp();
    void gatewayOnlyLeavesBlock40();
    void unsupportedTypeOverUsb();
    void silentAndUnreachableReaders_data();
    void silentAndUnreachableReaders();

private:
    std::unique_ptr<ReaderTestEnvironment> m_env;
};

void TestKxDiscovery::init()
{
    m_env = std::make_unique<ReaderTestEnvironment>();
    qunsetenv("KXUDP_TARGET");
}

void TestKxDiscovery::cleanup()
{
    m_env.reset();
    qunsetenv("KXUDP_TARGET");
}

void TestKxDiscovery::normalizedIpv4_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("leading zeros") << "192.168.003.010"
                                   << "192.168.3.10";
    QTest::newRow("above 255") << "192.168.3.300"
                               << "";
    QTest::newRow("mask blanks") << "10 .0  .0  .1  "
                                 << "10.0.0.1";
    QTest::newRow("unfinished") << "192.168.3."
                                << "";
    QTest::newRow("five parts") << "1.2.3.4.5"
                                << "";
    QTest::newRow("sign") << "1.2.3.+4"
                          << "";
    QTest::newRow("letters") << "1.2.3.a"
                             << "";
    QTest::newRow("edges") << "0.0.0.0"
                           << "0.0.0.0";
}

void TestKxDiscovery::normalizedIpv4()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(KxNetAddress::normalizedIpv4(text), expected);
}

void TestKxDiscovery::contiguousMask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("contiguous");
    QTest::newRow("/24") << "255.255.255.0" << true;
    QTest::newRow("/32") << "255.255.255.255" << true;
    QTest::newRow("/0") << "0.0.0.0" << true;
    QTest::newRow("/20") << "255.255.240.0" << true;
    QTest::newRow("hole") << "255.0.255.0" << false;
    QTest::newRow("reversed") << "0.255.255.255" << false;
}

void TestKxDiscovery::contiguousMask()
{
    QFETCH(QString, mask);
    QFETCH(bool, contiguous);
    QCOMPARE(KxNetAddress::isContiguousMask(QHostAddress(mask).toIPv4Address()), contiguous);
}

void TestKxDiscovery::setupCheck_data()
{
    // The reader sits at 192.168.3.20/24 behind 192.168.3.1; the PC on 192.168.3.5/24.
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("refused");
    QTest::addColumn<int>("asked");
    QTest::newRow("port only") << ""
                               << ""
                               << "" << 10005 << 0 << 0;
    QTest::newRow("port 0") << ""
                            << ""
                            << "" << 0 << 1 << 0;
    QTest::newRow("port 1, the first") << ""
                                       << ""
                                       << "" << 1 << 0 << 0;
    QTest::newRow("port 65535, the last") << ""
                                          << ""
                                          << "" << 65535 << 0 << 0;
    QTest::newRow("port 65536") << ""
                                << ""
                                << "" << 65536 << 1 << 0;
    QTest::newRow("network address") << "192.168.3.0"
                                     << ""
                                     << "" << -1 << 1 << 0;
    QTest::newRow("multicast address") << "224.0.0.5"
                                       << ""
                                       << "" << -1 << 1 << 2;
    QTest::newRow("all-zero mask") << ""
                                   << "0.0.0.0"
                                   << "" << -1 << 1 << 0;
    QTest::newRow("point-to-point /31 keeps its edge addresses") << "192.168.3.22"
                                                                 << "255.255.255.254"
                                                                 << "" << -1 << 0 << 1;
    QTest::newRow("typed gateway inside") << ""
                                          << ""
                                          << "192.168.3.254" << -1 << 0 << 0;
    QTest::newRow("same subnet") << "192.168.3.30"
                                 << ""
                                 << "" << -1 << 0 << 0;
    QTest::newRow("other subnet") << "10.0.0.30"
                                  << ""
                                  << "" << -1 << 0 << 2;
    QTest::newRow("other subnet with gateway") << "10.0.0.30"
                                               << "255.255.255.0"
                                               << "10.0.0.1" << -1 << 0 << 1;
    QTest::newRow("mask with hole") << ""
                                    << "255.0.255.0"
                                    << "" << -1 << 1 << 0;
    QTest::newRow("typed gateway outside") << ""
                                           << ""
                                           << "192.168.4.1" << -1 << 1 << 0;
    QTest::newRow("narrower mask strands gateway") << ""
                                                   << "255.255.255.248"
                                                   << "" << -1 << 0 << 1;
    QTest::newRow("broadcast address") << "192.168.3.255"
                                       << ""
                                       << "" << -1 << 1 << 0;
    QTest::newRow("address in use") << "192.168.3.21"
                                    << ""
                                    << "" << -1 << 0 << 1;
    QTest::newRow("own address kept") << "192.168.3.20"
                                      << ""
                                      << "" << -1 << 0 << 0;
}

void TestKxDiscovery::setupCheck()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(int, port);
    QFETCH(int, refused);
    QFETCH(int, asked);
    const KxNetConfig current =
        configOf(QStringLiteral("192.168.3.20"), QStringLiteral("255.255.255.0"),
                 QStringLiteral("192.168.3.1"), 10001);
    KxNetSetupCheck::Context context;
    context.interfaceIp = QHostAddress(QStringLiteral("192.168.3.5"));
    context.interfaceMask = QHostAddress(QStringLiteral("255.255.255.0"));
    context.addressesInUse << QHostAddress(QStringLiteral("192.168.3.21"));
    const QList<KxNetSetupCheck::Finding> findings =
        KxNetSetupCheck::check(current, configOf(ip, mask, gateway, port), context);
    int r = 0, a = 0;
    for (const auto &f : findings) {
        QVERIFY(!f.reason.isEmpty());
        (f.refuse ? r : a) += 1;
    }
    QCOMPARE(r, refused);
    QCOMPARE(a, asked);
}

void TestKxDiscovery::interfaceListing_data()
{
    QTest::addColumn<QString>("humanName");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("loopback");
    QTest::addColumn<bool>("ipv4");
    QTest::addColumn<bool>("includeLoopback");
    QTest::addColumn<int>("rows");
    QTest::newRow("lan") << "eth0" << true << false << true << false << 1;
    QTest::newRow("vmnet lower case") << "vmnet8" << true << false << true << false << 0;
    QTest::newRow("vmware adapter")
        << "VMware Network Adapter" << true << false << true << false << 0;
    QTest::newRow("down") << "eth1" << false << false << true << false << 0;
    QTest::newRow("ipv6 entry") << "eth0" << true << false << false << false << 0;
    QTest::newRow("loopback") << "lo" << true << true << true << false << 0;
    QTest::newRow("loopback for a loopback target") << "lo" << true << true << true << true << 1;
}

void TestKxDiscovery::interfaceListing()
{
    QFETCH(QString, humanName);
    QFETCH(bool, up);
    QFETCH(bool, loopback);
    QFETCH(bool, ipv4);
    QFETCH(bool, includeLoopback);
    QFETCH(int, rows);
    KxNetInterfaces::Candidate c;
    c.humanName = humanName;
    c.name = humanName;
    c.hardwareAddress = QStringLiteral("02:00:00:00:00:01");
    c.up = up;
    c.loopback = loopback;
    c.ipv4 = ipv4;
    c.ip = QStringLiteral("192.0.2.4");
    c.netmask = QStringLiteral("255.255.255.0");
    const QList<KxNetInterfaces::Row> list = KxNetInterfaces::select({c}, includeLoopback);
    QCOMPARE(list.size(), rows);
    if (rows)
        QCOMPARE(list.first().mac, c.hardwareAddress);
}

void TestKxDiscovery::reportWithBadAddressText()
{
    KXUDP_REPORT report;
    std::memset(&report, 0, sizeof report);
    report.eventKind = KXUDP_EVENT_NEW;
    report.readerType = 100;
    report.marker = 1;
    report.validFlags = 0x3F;
    report.deviceId = 0x11;
    std::strcpy(report.mac, "02-4B-58-00-00-01");
    std::strcpy(report.ip, "999.1.1.1");
    std::strcpy(report.netmask, "255.255.255.0");
    std::memset(report.gateway, 'x', sizeof report.gateway); // no terminating zero
    report.port = 10001;
    KxLanReaderRecord r;
    QVERIFY(KxDiscoverUdp::recordFromReport(&report, &r));
    QCOMPARE(r.mac, QStringLiteral("02:4B:58:00:00:01"));
    QVERIFY(!(r.validFlags & KxLanReaderRecord::ValidIp));
    QVERIFY(!(r.validFlags & KxLanReaderRecord::ValidGateway));
    QCOMPARE(r.netmask.toString(), QStringLiteral("255.255.255.0"));
    report.validFlags = 0;
    QVERIFY(!KxDiscoverUdp::recordFromReport(&report, &r));
    QVERIFY(!KxDiscoverUdp::recordFromReport(nullptr, &r));
}

void TestKxDiscovery::discoveryFiltersTypes()
{
    kxsim::SimUdpResponder responder;
    QVERIFY(responder.start("127.0.0.1", 0));
    qputenv("KXUDP_TARGET", QByteArray("127.0.0.1:") + QByteArray::number(responder.port()));
    SimFixture door(SimFixture::setupOf(100, 0x100));
    SimFixture desk(SimFixture::setupOf(101, 0x200));
    door.sim->attachUdp(&responder);
    desk.sim->attachUdp(&responder);
    {
        KxDiscoverUdp discovery({ReaderTypes::TZ60});
        QSignalSpy spy(&discovery, &KxDiscoverUdp::newDiscoverItem);
        QCOMPARE(discovery.start(QStringLiteral("127.0.0.1")), 0);
        QVERIFY(!discovery.setFilter({}));
        QTRY_VERIFY(spy.count() >= 1);
        QTest::qWait(1200); // a few more request rounds: the other type must still not show
        const QList<KxLanReaderRecord> records = drain(discovery);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().deviceId, 0x100u);
        QCOMPARE(records.first().eventKind, int(KxLanReaderRecord::New));
    }
    door.sim->detachUdp();
    desk.sim->detachUdp();
}

void TestKxDiscovery::garbageAnswersAreIgnored()
{
    // A peer that answers every request with noise, a cut-off answer and one good one.
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
    qputenv("KXUDP_TARGET", QByteArray("127.0.0.1:") + QByteArray::number(peer.localPort()));
    kxwire::UdpMessage answer;
    answer.opcode = kxwire::UdpDiscoverAnswer;
    answer.record.readerType = 863;
    answer.record.validFlags = 0x3F;
    answer.record.deviceId = 0xBEEF;
    answer.record.ip = 0x7F000001;
    answer.record.netmask = 0xFF000000;
    answer.record.port = 10001;
    const std::vector<uint8_t> good = kxwire::encodeUdp(answer);
    const QByteArray goodBytes(reinterpret_cast<const char *>(good.data()), int(good.size()));
    int requests = 0;
    connect(&peer, &QUdpSocket::readyRead, &peer, [&] {
        while (peer.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray request(int(peer.pendingDatagramSize()), '\0');
            peer.readDatagram(request.data(), request.size(), &from, &port);
            ++requests;
            peer.writeDatagram(QByteArray("\xff\x00garbage", 9), from, port);
            peer.writeDatagram(goodBytes.left(goodBytes.size() / 2), from, port);
            QByteArray badCrc = goodBytes;
            badCrc[badCrc.size() - 1] = char(badCrc.at(badCrc.size() - 1) ^ 0x5A);
            peer.writeDatagram(badCrc, from, port);
            peer.writeDatagram(goodBytes, from, port);
        }
    });
    KxDiscoverUdp discovery;
    QCOMPARE(discovery.start(QStringLiteral("127.0.0.1")), 0);
    QTRY_VERIFY(requests >= 3);
    discovery.stop();
    const QList<KxLanReaderRecord> records = drain(discovery);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().deviceId, 0xBEEFu);
    QCOMPARE(records.first().readerType, 863u);
}

void TestKxDiscovery::discoveryOffLoopbackIsRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("error");
    QTest::newRow("lan interface") << "192.0.2.7" << int(KXUDP_ERR_NOT_LOOPBACK);
    QTest::newRow("ipv6") << "fe80::1" << KxDiscoverUdp::NotIpv4Error;
    QTest::newRow("no address") << "" << KxDiscoverUdp::NotIpv4Error;
}

void TestKxDiscovery::discoveryOffLoopbackIsRefused()
{
    QFETCH(QString, address);
    QFETCH(int, error);
    QCOMPARE(qgetenv("KX_LOOPBACK_ONLY"), QByteArray("1"));
    KxDiscoverUdp discovery;
    QCOMPARE(discovery.start(address), error);
    QVERIFY(!discovery.isRunning());
    QCOMPARE(discovery.error().code, error);
    QVERIFY(!discovery.error().detail.isEmpty());
    // The setup request is refused the same way, before anything is sent.
    KxNetConfig config;
    config.readerType = 100;
    config.deviceId = 1;
    config.mac = QStringLiteral("02:00:00:00:00:01");
    config.port = 10002;
    QCOMPARE(KxDiscoverUdp::setupReader(address, config).code,
             address.isEmpty() ? int(KXUDP_ERR_BAD_ADDRESS) : error);
}

void TestKxDiscovery::usbScanNewAndGone()
{
    SimFixture door(SimFixture::setupOf(100, 0x0A0B0C0D), true);
    SimFixture desk(SimFixture::setupOf(82, 0x00000082), true);
    QVERIFY(door.isValid() && desk.isValid());
    KxDiscoverUsb2 scan({ReaderTypes::TZ60, ReaderTypes::TZU700});
    scan.scanOnce();
    KxUsbReaderRecord r;
    QVERIFY(scan.takeNext(&r));
    QCOMPARE(r.eventKind, int(KxUsbReaderRecord::New));
    QCOMPARE(r.deviceId, 0x0A0B0C0Du);
    QCOMPARE(r.readerType, 100);
    QVERIFY(!scan.takeNext(&r)); // the desk reader is outside the filter
    scan.scanOnce();
    QVERIFY(!scan.takeNext(&r)); // nothing changed
    door.sim->unplugUsb();
    scan.scanOnce();
    QVERIFY(scan.takeNext(&r));
    QCOMPARE(r.eventKind, int(KxUsbReaderRecord::Gone));
    QCOMPARE(r.deviceId, 0x0A0B0C0Du);

    // The thread ends promptly when it goes away.
    auto *thread = new KxDiscoverUsb2;
    QSignalSpy spy(thread, &KxDiscoverUsb2::newDiscoverItem);
    thread->start();
    QTRY_VERIFY(spy.count() >= 1);
    delete thread;
}

void TestKxDiscovery::readAndWritePortOverTcp()
{
    SimFixture door(SimFixture::setupOf(101, 0x00112233));
    QVERIFY(door.isValid());
    const int port = door.sim->tcp().port();
    KxNetSetupReader worker;
    worker.setConnection(QStringLiteral("127.0.0.1"), port);
    QVERIFY(worker.execute(KxNetSetupReader::Identify).ok());
    QCOMPARE(worker.config().readerType, 101);
    QCOMPARE(worker.config().deviceId, 0x00112233u);
    QCOMPARE(worker.config().mac, QStringLiteral("02:4B:58:00:00:01"));

    const ErrorInfo read = worker.execute(KxNetSetupReader::ReadNetConfig);
    QVERIFY2(read.ok(), qPrintable(read.detail));
    const KxNetConfig before = worker.config();
    QVERIFY(KxNetAddress::isIpv4(before.ip));

    const int newPort = TestSupport::unusedLoopbackPort();
    KxNetConfig setup = before;
    setup.ip = QHostAddress();
    setup.netmask = QHostAddress();
    setup.gateway = QHostAddress();
    setup.port = newPort;
    worker.setConfig(setup);
    const ErrorInfo written = worker.execute(KxNetSetupReader::WriteNetConfig);
    QVERIFY2(written.ok(), qPrintable(written.detail));
    QCOMPARE(door.sim->networkChangesApplied(), 1);
    QCOMPARE(int(door.device->networkConfig().port), newPort);
    QCOMPARE(door.device->networkConfig().ip, before.ip.toString().toStdString());

    KxNetSetupReader again;
    again.setConnection(QStringLiteral("localhost"), newPort);
    QVERIFY(again.execute(KxNetSetupReader::ReadNetConfig).ok());
    QCOMPARE(again.config().port, newPort);
    QCOMPARE(again.config().netmask, before.netmask);
}

void TestKxDiscovery::gatewayOnlyLeavesBlock40()
{
    SimFixture door(SimFixture::setupOf(100, 0x44), true);
    QVERIFY(door.isValid());
    const auto block40 = door.device->block(40);
    const auto block41 = door.device->block(41);
    const int resets = door.device->systemResets();
    KxNetSetupReader worker;
    worker.setConnection(QString(), 0, 0x44);
    KxNetConfig setup;
    setup.gateway = QHostAddress(QStringLiteral("127.0.0.9"));
    setup.dhcp = true;
    worker.setConfig(setup);
    const ErrorInfo e = worker.execute(KxNetSetupReader::WriteNetConfig);
    QVERIFY2(e.ok(), qPrintable(e.detail));
    QCOMPARE(door.device->block(40), block40);
    const auto after = door.device->block(41);
    QCOMPARE(after[6], uint8_t(127));
    QCOMPARE(after[9], uint8_t(9));
    QCOMPARE(int(after[4] & 0x80), 0x80);
    for (int i : {0, 1, 2, 3, 5, 10, 11, 12, 13, 14, 15})
        QCOMPARE(after[i], block41[i]);
    QCOMPARE(door.device->systemResets(), resets + 1);
}

void TestKxDiscovery::unsupportedTypeOverUsb()
{
    SimFixture desk(SimFixture::setupOf(82, 0x82), true);
    QVERIFY(desk.isValid());
    KxNetSetupReader worker;
    worker.setConnection(QString(), 0, 0x82);
    QCOMPARE(worker.execute(KxNetSetupReader::ReadNetConfig).code,
             KxNetSetupReader::UnsupportedType);
    QCOMPARE(worker.result().detail, QStringLiteral("Unsupported reader type"));
    // No MAC address is no error for the selection.
    QVERIFY(worker.execute(KxNetSetupReader::ReadMac).ok());
    QVERIFY(worker.config().mac.isEmpty());
    QCOMPARE(worker.execute(KxNetSetupReader::WriteNetConfig).code,
             KxNetSetupReader::UnsupportedType);
}

void TestKxDiscovery::silentAndUnreachableReaders_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("fault");
    QTest::newRow("silent reader") << "127.0.0.1" << 1;
    QTest::newRow("unplugged during read") << "" << 2;
    QTest::newRow("name that does not resolve") << "door.plant.invalid" << 0;
    QTest::newRow("address above 255") << "" << 3;
    QTest::newRow("nobody listening") << "127.0.0.1" << 4;
}

void TestKxDiscovery::silentAndUnreachableReaders()
{
    QFETCH(QString, host);
    QFETCH(int, fault);
    SimFixture door(SimFixture::setupOf(100, 0x55), true);
    QVERIFY(door.isValid());
    int port = door.sim->tcp().port();
    quint32 deviceId = 0x55;
    if (fault == 1)
        door.sim->faults().setDelayMs(3000);
    if (fault == 2)
        door.sim->faults().dropAfterFrames(2);
    if (fault == 3)
        deviceId = 0xFFFFFFFFu; // what an IP field of 192.168.3.300 leaves behind: no host
    if (fault == 4)
        port = TestSupport::unusedLoopbackPort();
    KxNetSetupReader worker;
    worker.setConnection(host, port, deviceId, 500);
    QElapsedTimer clock;
    clock.start();
    const ErrorInfo e = worker.execute(KxNetSetupReader::ReadNetConfig);
    QVERIFY(!e.ok());
    QVERIFY(!e.detail.isEmpty());
    qDebug("%s: %d %s after %lld ms", QTest::currentDataTag(), e.code, qPrintable(e.detail),
           clock.elapsed());
    door.sim->faults().clear();
}

KX_TEST_MAIN(TestKxDiscovery)
#include "tst_kxdiscovery.moc"

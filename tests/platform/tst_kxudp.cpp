// UDP discovery and network setup against virtual readers on loopback:
// readers appearing, changing and going away, a setup that moves a reader to
// a new address and port, and the guard that keeps all of it on loopback.
#include "echodevice.h"
#include "kxtcp.h"
#include "kxudp.h"
#include "kxudpwire.h"
#include "simreader.h"
#include "simudpresponder.h"

#include "support/testsupport.h"

#include <QtTest>

#include <cstring>
#include <memory>
#include <mutex>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Collector
{
    std::mutex mutex;
    std::vector<KXUDP_REPORT> reports;

    static void callback(void *context, const KXUDP_REPORT *report)
    {
        auto *self = static_cast<Collector *>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->reports.push_back(*report);
    }

    int count(int kind, unsigned deviceId)
    {
        std::lock_guard<std::mutex> lock(mutex);
        int n = 0;
        for (const auto &r : reports)
            n += (r.eventKind == kind && r.deviceId == deviceId) ? 1 : 0;
        return n;
    }

    KXUDP_REPORT last(int kind, unsigned deviceId)
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = reports.rbegin(); it != reports.rend(); ++it)
            if (it->eventKind == kind && it->deviceId == deviceId)
                return *it;
        return KXUDP_REPORT{};
    }
};

KXUDP_DISCOVER_PARA fastPara(Collector &collector)
{
    // The manager passes 500 and 2000; the same meaning at a test's pace.
    KXUDP_DISCOVER_PARA para;
    para.callback = &Collector::callback;
    para.context = &collector;
    para.requestIntervalMs = 40;
    para.goneTimeoutMs = 1000;
    return para;
}

int freePort()
{
    return TestSupport::unusedLoopbackPort();
}

KXUDP_SETUP setupFor(const EchoDevice &device)
{
    KXUDP_SETUP setup;
    std::memset(&setup, 0, sizeof setup);
    setup.readerType = unsigned(device.readerType());
    setup.deviceId = device.deviceId();
    std::snprintf(setup.mac, sizeof setup.mac, "%s", device.macAddress().c_str());
    setup.networkFlags = 3;
    setup.validFlags = KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC;
    return setup;
}

} // namespace

class TestKxUdp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void discoveryReportsNewChangedGone();
    void setupMovesReaderAfterReset();
    void setupOfUnknownReaderTimesOut();
    void lanInterfaceWithLoopbackTarget();
    void repeatedSetupIsAppliedOnce();
    void guardRefusesOtherAddresses_data();
    void guardRefusesOtherAddresses();
    void badDiscoverCalls();
    void badSetupCalls_data();
    void badSetupCalls();
    void stopFromInsideTheCallback();
    void errorTexts();

private:
    std::unique_ptr<kxsim::SimUdpResponder> m_responder;
};

void TestKxUdp::init()
{
    m_responder = std::make_unique<kxsim::SimUdpResponder>();
    QVERIFY(m_responder->start("127.0.0.1", 0));
    qputenv("KXUDP_TARGET", QByteArray("127.0.0.1:") + QByteArray::number(m_responder->port()));
}

void TestKxUdp::cleanup()
{
    KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr);
    m_responder.reset();
}

void TestKxUdp::discoveryReportsNewChangedGone()
{
    auto first = std::make_shared<EchoDevice>(0x01020304, 100, "TZ60", "00-1B-2C-3D-4E-01");
    auto second = std::make_shared<EchoDevice>(0x0A0B0C0D, 863, "TZU300", "00-1B-2C-3D-4E-02");
    kxsim::SimReader a(first);
    kxsim::SimReader b(second);
    a.attachUdp(m_responder.get());
    b.attachUdp(m_responder.get());

    Collector collector;
    const KXUDP_DISCOVER_PARA para = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), 0);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_NEW, 0x0A0B0C0D), 1);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_NEW, 0x01020304), 1);
    const KXUDP_REPORT found = collector.last(KXUDP_EVENT_NEW, 0x0A0B0C0D);
    QCOMPARE(found.readerType, 863u);
    QCOMPARE(found.marker, 1);
    QCOMPARE(found.validFlags & 0x3Fu, 0x3Fu);
    QCOMPARE(QByteArray(found.mac), QByteArray("00-1B-2C-3D-4E-02"));
    QCOMPARE(QByteArray(found.ip), QByteArray("127.0.0.1"));
    QCOMPARE(QByteArray(found.netmask), QByteArray("255.0.0.0"));
    QCOMPARE(QByteArray(found.gateway), QByteArray("127.0.0.254"));
    QCOMPARE(found.port, 10001u);
    QCOMPARE(QByteArray(found.text1), QByteArray("TZU300"));
    QCOMPARE(found.networkFlags & KXUDP_NET_DHCP, 0u);

    // Only the gateway changes: one "changed" report, address and port as before.
    kxsim::SimNetworkConfig config = second->networkConfig();
    config.gateway = "127.0.0.200";
    second->stageNetwork(config);
    uint8_t status = 0;
    std::vector<uint8_t> answer;
    second->handleFrame(255, EchoDevice::SystemReset, {}, status, answer);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_CHANGED, 0x0A0B0C0D), 1);
    const KXUDP_REPORT changed = collector.last(KXUDP_EVENT_CHANGED, 0x0A0B0C0D);
    QCOMPARE(QByteArray(changed.gateway), QByteArray("127.0.0.200"));
    QCOMPARE(QByteArray(changed.ip), QByteArray("127.0.0.1"));
    QCOMPARE(changed.port, 10001u);
    QCOMPARE(collector.count(KXUDP_EVENT_CHANGED, 0x01020304), 0);

    // A reader that stops answering is reported gone, the other one is not.
    m_responder->setSilent(first.get(), true);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_GONE, 0x01020304), 1);
    QCOMPARE(collector.count(KXUDP_EVENT_GONE, 0x0A0B0C0D), 0);
    // Back on the LAN, it is new again.
    m_responder->setSilent(first.get(), false);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_NEW, 0x01020304), 2);

    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), KXUDP_ERR_RUNNING);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr), 0);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr), KXUDP_ERR_NOT_RUNNING);
    a.detachUdp();
    b.detachUdp();
}

void TestKxUdp::setupMovesReaderAfterReset()
{
    auto device = std::make_shared<EchoDevice>(0x00ABCDEF, 101, "TZU700", "02-00-00-00-00-09");
    kxsim::SimReader reader(device);
    QVERIFY(reader.listenTcp("127.0.0.1", 0));
    reader.attachUdp(m_responder.get());
    const int oldPort = reader.tcp().port();
    const int newPort = freePort();

    KXUDP_SETUP setup = setupFor(*device);
    setup.validFlags |= KXUDP_VALID_IP | KXUDP_VALID_PORT | KXUDP_VALID_GATEWAY;
    std::snprintf(setup.ip, sizeof setup.ip, "127.0.0.2");
    std::snprintf(setup.gateway, sizeof setup.gateway, "127.0.0.1");
    setup.port = unsigned(newPort);
    QCOMPARE(KXUDP_Setup("127.0.0.1", &setup), 0);
    QCOMPARE(reader.networkChangesApplied(), 1);
    QCOMPARE(m_responder->setupsApplied(), uint64_t(1));

    // The reader now answers on its new address and port only.
    QCOMPARE(KXTCP_Connect("127.0.0.1", oldPort), KXTCP_ERR_REFUSED);
    const int handle = KXTCP_Connect("127.0.0.2", newPort);
    QVERIFY2(handle > 0, qPrintable(QString::number(handle)));
    KXTCP_DisConnect(handle);
    const kxsim::SimNetworkConfig config = device->networkConfig();
    QCOMPARE(config.ip, std::string("127.0.0.2"));
    QCOMPARE(config.port, uint16_t(newPort));
    QCOMPARE(config.netmask, std::string("255.0.0.0")); // not in the request, left as it was
    QVERIFY(!config.dhcp);

    // A non-loopback address is stored, but the listener stays on loopback.
    setup = setupFor(*device);
    setup.validFlags |= KXUDP_VALID_IP;
    std::snprintf(setup.ip, sizeof setup.ip, "192.168.3.10");
    QCOMPARE(KXUDP_Setup(nullptr, &setup), 0);
    QCOMPARE(reader.networkChangesApplied(), 2);
    QCOMPARE(device->networkConfig().ip, std::string("192.168.3.10"));
    QCOMPARE(reader.tcp().host(), std::string("127.0.0.2"));
    const int again = KXTCP_Connect("127.0.0.2", newPort);
    QVERIFY(again > 0);
    KXTCP_DisConnect(again);
    reader.detachUdp();
}

void TestKxUdp::setupOfUnknownReaderTimesOut()
{
    auto device = std::make_shared<EchoDevice>(0x1234, 100, "TZ60", "02-00-00-00-00-01");
    kxsim::SimReader reader(device);
    reader.attachUdp(m_responder.get());
    KXUDP_SETUP setup = setupFor(*device);
    // Right device ID, wrong MAC address: not this reader, nobody acknowledges.
    std::snprintf(setup.mac, sizeof setup.mac, "02-00-00-00-00-02");
    QCOMPARE(KXUDP_Setup("127.0.0.1", &setup), KXUDP_ERR_TIMEOUT);
    QCOMPARE(m_responder->setupsApplied(), uint64_t(0));
    // Right reader but a type it is not: refused.
    setup = setupFor(*device);
    setup.readerType = 863;
    QCOMPARE(KXUDP_Setup("127.0.0.1", &setup), KXUDP_ERR_REJECTED);
    QCOMPARE(m_responder->setupsApplied(), uint64_t(0));
    reader.detachUdp();
}

void TestKxUdp::lanInterfaceWithLoopbackTarget()
{
    // The manager lists only real interfaces; with KXUDP_TARGET on loopback the
    // traffic still leaves from and goes to loopback only.
    auto device = std::make_shared<EchoDevice>(0x00FACE00, 100, "TZ60", "02-00-00-FA-CE-00");
    m_responder->addDevice(device.get());
    Collector collector;
    const KXUDP_DISCOVER_PARA para = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "192.0.2.1", &para), 0);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_NEW, 0x00FACE00), 1);
    // The setup finds its way through the discovery that saw the reader.
    KXUDP_SETUP setup = setupFor(*device);
    setup.validFlags |= KXUDP_VALID_GATEWAY;
    std::snprintf(setup.gateway, sizeof setup.gateway, "127.0.0.9");
    QCOMPARE(KXUDP_Setup(nullptr, &setup), 0);
    QCOMPARE(device->networkConfig().gateway, std::string("127.0.0.9"));
    QTRY_COMPARE(collector.count(KXUDP_EVENT_CHANGED, 0x00FACE00), 1);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, "192.0.2.1", nullptr), 0);
    m_responder->removeDevice(device.get());
}

void TestKxUdp::repeatedSetupIsAppliedOnce()
{
    auto device = std::make_shared<EchoDevice>(0x00C0DE00, 100, "TZ60", "02-00-00-C0-DE-00");
    m_responder->addDevice(device.get());
    sockaddr_in responder{};
    responder.sin_family = AF_INET;
    responder.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    responder.sin_port = htons(m_responder->port());
    // Sends a setup with the given sequence number and gateway from socket fd; true when
    // acknowledged.
    auto setup = [&](int fd, uint16_t sequence, const char *gateway) {
        kxwire::UdpMessage message;
        message.opcode = kxwire::UdpSetupRequest;
        message.sequence = sequence;
        message.record.deviceId = device->deviceId();
        kxwire::parseMac(device->macAddress(), message.record.mac);
        message.record.validFlags = 0x01 | 0x02 | 0x10;
        kxwire::parseIpv4(gateway, message.record.gateway);
        const auto bytes = kxwire::encodeUdp(message);
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&responder),
                 sizeof responder);
        uint8_t buffer[256];
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        kxwire::UdpMessage answer;
        return n > 0 && kxwire::decodeUdp(buffer, std::size_t(n), answer) &&
               answer.opcode == kxwire::UdpSetupAnswer && answer.sequence == sequence &&
               answer.status == 0;
    };
    const int first = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int second = ::socket(AF_INET, SOCK_DGRAM, 0);
    QVERIFY(setup(first, 7, "127.0.0.11"));
    QVERIFY(setup(first, 7, "127.0.0.11")); // the library's repeat: acknowledged, not applied again
    QCOMPARE(m_responder->setupsApplied(), uint64_t(1));
    // Another program that happens to use the same number is a new request.
    QVERIFY(setup(second, 7, "127.0.0.12"));
    QCOMPARE(m_responder->setupsApplied(), uint64_t(2));
    QCOMPARE(device->networkConfig().gateway, std::string("127.0.0.12"));
    ::close(first);
    ::close(second);
    m_responder->removeDevice(device.get());
}

void TestKxUdp::guardRefusesOtherAddresses_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("interfaceAddress");
    QTest::newRow("lan interface, no target") << QByteArray() << QStringLiteral("192.0.2.1");
    QTest::newRow("demo project lan") << QByteArray() << QStringLiteral("192.168.3.1");
    QTest::newRow("target outside loopback")
        << QByteArray("192.0.2.1:10002") << QStringLiteral("127.0.0.1");
    QTest::newRow("broadcast target")
        << QByteArray("255.255.255.255:10002") << QStringLiteral("127.0.0.1");
}

void TestKxUdp::guardRefusesOtherAddresses()
{
    QFETCH(QByteArray, target);
    QFETCH(QString, interfaceAddress);
    if (target.isEmpty())
        qunsetenv("KXUDP_TARGET");
    else
        qputenv("KXUDP_TARGET", target);
    const QByteArray address = interfaceAddress.toLatin1();
    Collector collector;
    const KXUDP_DISCOVER_PARA para = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, address.constData(), &para), KXUDP_ERR_NOT_LOOPBACK);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, address.constData(), nullptr), KXUDP_ERR_NOT_RUNNING);
    EchoDevice device;
    KXUDP_SETUP setup = setupFor(device);
    QCOMPARE(KXUDP_Setup(address.constData(), &setup), KXUDP_ERR_NOT_LOOPBACK);
}

void TestKxUdp::badDiscoverCalls()
{
    Collector collector;
    KXUDP_DISCOVER_PARA para = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, nullptr, &para), KXUDP_ERR_BAD_ARGUMENT);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", nullptr), KXUDP_ERR_BAD_ARGUMENT);
    QCOMPARE(KXUDP_Discover(7, "127.0.0.1", &para), KXUDP_ERR_BAD_ARGUMENT);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "fe80::1", &para), KXUDP_ERR_BAD_ADDRESS);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "not an address", &para), KXUDP_ERR_BAD_ADDRESS);
    para.requestIntervalMs = 0;
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), KXUDP_ERR_BAD_ARGUMENT);
    para = fastPara(collector);
    para.goneTimeoutMs = para.requestIntervalMs - 1;
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), KXUDP_ERR_BAD_ARGUMENT);
    para = fastPara(collector);
    para.callback = nullptr;
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), KXUDP_ERR_BAD_ARGUMENT);
    qputenv("KXUDP_TARGET", "127.0.0.1");
    para = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), KXUDP_ERR_BAD_TARGET);
}

void TestKxUdp::badSetupCalls_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("validFlags");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("error");
    const int base = KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC;
    QTest::newRow("mac not given") << QStringLiteral("00-1B-2C-3D-4E-5F") << KXUDP_VALID_DEVICE_ID
                                   << QString() << 0 << KXUDP_ERR_BAD_ARGUMENT;
    QTest::newRow("mac malformed")
        << QStringLiteral("00-1B-2C-3D-4E") << base << QString() << 0 << KXUDP_ERR_BAD_ARGUMENT;
    QTest::newRow("ip not ipv4") << QStringLiteral("00-1B-2C-3D-4E-5F") << (base | KXUDP_VALID_IP)
                                 << QStringLiteral("192.168.3.300") << 0 << KXUDP_ERR_BAD_ADDRESS;
    QTest::newRow("ip empty") << QStringLiteral("00-1B-2C-3D-4E-5F") << (base | KXUDP_VALID_IP)
                              << QString() << 0 << KXUDP_ERR_BAD_ADDRESS;
    QTest::newRow("port zero") << QStringLiteral("00-1B-2C-3D-4E-5F") << (base | KXUDP_VALID_PORT)
                               << QString() << 0 << KXUDP_ERR_BAD_ARGUMENT;
    QTest::newRow("port too large")
        << QStringLiteral("00-1B-2C-3D-4E-5F") << (base | KXUDP_VALID_PORT) << QString() << 70000
        << KXUDP_ERR_BAD_ARGUMENT;
}

void TestKxUdp::badSetupCalls()
{
    QFETCH(QString, mac);
    QFETCH(int, validFlags);
    QFETCH(QString, ip);
    QFETCH(int, port);
    QFETCH(int, error);
    EchoDevice device;
    KXUDP_SETUP setup = setupFor(device);
    std::snprintf(setup.mac, sizeof setup.mac, "%s", mac.toLatin1().constData());
    std::snprintf(setup.ip, sizeof setup.ip, "%s", ip.toLatin1().constData());
    setup.validFlags = unsigned(validFlags);
    setup.port = unsigned(port);
    QCOMPARE(KXUDP_Setup("127.0.0.1", &setup), error);
    QCOMPARE(KXUDP_Setup("127.0.0.1", nullptr), KXUDP_ERR_BAD_ARGUMENT);
}

void TestKxUdp::stopFromInsideTheCallback()
{
    auto device = std::make_shared<EchoDevice>();
    m_responder->addDevice(device.get());
    struct Context
    {
        std::atomic<int> reports{0};
        std::atomic<int> stopResult{1};
    } context;
    KXUDP_DISCOVER_PARA para;
    para.context = &context;
    para.callback = [](void *c, const KXUDP_REPORT *) {
        auto *ctx = static_cast<Context *>(c);
        if (ctx->reports++ == 0)
            ctx->stopResult = KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr);
    };
    para.requestIntervalMs = 20;
    para.goneTimeoutMs = 100;
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), 0);
    QTRY_COMPARE(context.stopResult.load(), 0);
    QCOMPARE(context.reports.load(), 1);
    // The address is free again.
    Collector collector;
    const KXUDP_DISCOVER_PARA again = fastPara(collector);
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &again), 0);
    QTRY_COMPARE(collector.count(KXUDP_EVENT_NEW, device->deviceId()), 1);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr), 0);
    m_responder->removeDevice(device.get());
}

void TestKxUdp::errorTexts()
{
    char text[1024];
    for (int code = KXUDP_ERR_SEND; code <= KXUDP_ERR_BAD_ARGUMENT; ++code) {
        QCOMPARE(KXUDP_GetErrorText(code, text), 0);
        QVERIFY(std::strncmp(text, "UDP: ", 5) == 0);
    }
    QVERIFY(KXUDP_GetErrorText(-1450, text) < 0);
}

KX_TEST_MAIN(TestKxUdp)
#include "tst_kxudp.moc"

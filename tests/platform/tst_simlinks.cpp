// Virtual readers behind their links, end to end through the protocol
// library: table transfers over TCP and USB with faults in mid-transfer, and
// random or mutated input thrown at both ends of the wire.
#include "kxport.h"
#include "kxrdr.h"
#include "kxtcp.h"
#include "kxusb.h"
#include "kxwire.h"
#include "simreader.h"
#include "tableframes.h"
#include "virtualreader.h"

#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

TableFrames::Tables someTables(int identifiers, uint8_t seed)
{
    TableFrames::Tables t;
    t.iddLength = 8;
    // Monday to Friday 07:00-18:00 through 2026; Christmas Day a holiday.
    t.timezones.push_back({1, 1, 26, 31, 12, 26, 0x3E, 7, 0, 18, 0});
    t.holidays.push_back({25, 12, 26});
    for (int i = 0; i < identifiers; ++i) {
        std::vector<uint8_t> id = {seed, 0, 0, 0, 0, 0, uint8_t(i >> 8), uint8_t(i)};
        t.access.emplace_back(id, uint16_t(0x0001));
    }
    return t;
}

TableFrames::Exchange exchangeOver(int readerHandle)
{
    return [readerHandle](uint8_t mode, uint8_t flags, uint8_t table,
                          const std::vector<uint8_t> &request, std::vector<uint8_t> &answer) {
        answer.assign(KXRDR_EXCHANGE_SIZE, 0);
        int length = 0;
        const int rc =
            KXRDR_0x1F_TZDataExchange(readerHandle, 255, mode, flags, table, request.data(),
                                      int(request.size()), answer.data(), &length, 0);
        answer.resize(std::size_t(length > 0 ? length : 0));
        return rc;
    };
}

std::unique_ptr<kxsim::SimReader> makeReader(uint32_t id, int type = 100)
{
    kxsim::VirtualReaderSetup setup;
    setup.type = type;
    setup.deviceId = id;
    auto device = std::make_shared<kxsim::VirtualReader>(setup);
    auto reader = std::make_unique<kxsim::SimReader>(device);
    reader->listenTcp("127.0.0.1", 0);
    // The reader's own network blocks name where it listens, as the simulator program does it.
    kxsim::SimNetworkConfig config = device->networkConfig();
    config.ip = "127.0.0.1";
    config.port = reader->tcp().port();
    device->setNetworkConfig(config);
    return reader;
}

kxsim::VirtualReader &virtualOf(kxsim::SimReader &reader)
{
    return static_cast<kxsim::VirtualReader &>(reader.device());
}

// A reader whose every answer is random: status, length and bytes.
class RandomDevice : public kxsim::SimDevice
{
public:
    void handleFrame(uint8_t, uint8_t, const std::vector<uint8_t> &, uint8_t &status,
                     std::vector<uint8_t> &answer) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        status = (m_random() % 3 == 0) ? uint8_t(m_random()) : 0;
        const std::size_t sizes[] = {0, 1, 2, 3, 16, 17, 18, 200, 1024, 1025, 4097, 40000};
        answer.resize(sizes[m_random() % (sizeof sizes / sizeof sizes[0])]);
        for (uint8_t &b : answer)
            b = uint8_t(m_random());
    }
    uint32_t deviceId() const override { return 0x5EED; }
    int readerType() const override { return 100; }
    std::string deviceName() const override { return "random"; }
    std::string macAddress() const override { return "02-00-00-00-5E-ED"; }
    kxsim::SimNetworkConfig networkConfig() const override { return {}; }
    void applyNetworkSetup(const kxsim::SimNetworkSetup &) override {}

private:
    std::mutex m_mutex;
    std::mt19937 m_random{4711};
};

int freePort()
{
    return TestSupport::unusedLoopbackPort();
}

int rawConnect(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    timeval limit{0, 200 * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return fd;
}

// A reader handle set up as the manager sets it up.
int newReader(int portHandle)
{
    const int reader = KXRDR_NewReader(portHandle);
    if (reader >= 0)
        KXRDR_SetReaderPara(reader, "FRAMESUPPORT", "ADVANCED");
    return reader;
}

int readerInfoOver(int portHandle)
{
    const int reader = newReader(portHandle);
    if (reader < 0)
        return reader;
    unsigned char info[KXRDR_INFO_SIZE];
    const int rc = KXRDR_0x66_ReaderInfo(reader, 255, 0, info, 0);
    KXRDR_DeleteReader(reader);
    return rc;
}

} // namespace

class TestSimLinks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tablesOverTransport_data();
    void tablesOverTransport();
    void wrongFinishCrcKeepsOldTables();
    void dropInMidTransferKeepsOldTables();
    void corruptedAnswerInMidTransfer();
    void readerSurvivesRandomFrames();
    void libraryDigestsRandomAnswers();
    void badCrcRequestIsAnsweredNotFatal();
    void networkBlocksMoveTheListener();
    void oneClientsGarbageSparesTheOthers();
    void tooManyClientsAreTurnedAway();

private:
    std::unique_ptr<QTemporaryDir> m_bus;
};

void TestSimLinks::init()
{
    m_bus = std::make_unique<QTemporaryDir>();
    QVERIFY(m_bus->isValid());
    qputenv("KXUSB_BUS_DIR", m_bus->path().toLocal8Bit());
}

void TestSimLinks::tablesOverTransport_data()
{
    QTest::addColumn<bool>("usb");
    QTest::addColumn<int>("identifiers");
    QTest::newRow("tcp, empty access table") << false << 0;
    QTest::newRow("tcp, several frames") << false << 700;
    QTest::newRow("usb, several frames") << true << 700;
}

void TestSimLinks::tablesOverTransport()
{
    QFETCH(bool, usb);
    QFETCH(int, identifiers);
    auto reader = makeReader(0x00A1B2C3);
    QVERIFY(reader->plugUsb());
    const int port =
        usb ? KXUSB_OpenDevice(0x00A1B2C3) : KXTCP_Connect("127.0.0.1", reader->tcp().port());
    QVERIFY2(port > 0, qPrintable(QString::number(port)));
    const int handle = newReader(port);
    QVERIFY(handle >= 0);
    const TableFrames::Tables tables = someTables(identifiers, 0x11);
    const TableFrames::WriteResult written = TableFrames::write(tables, exchangeOver(handle));
    QCOMPARE(written.rc, 0);
    QCOMPARE(virtualOf(*reader).tables().declaredAccess(), identifiers);
    const TableFrames::ReadResult read = TableFrames::read(4, 11, exchangeOver(handle));
    QCOMPARE(read.rc, 0);
    QCOMPARE(read.count, identifiers);
    if (identifiers > 0) {
        // The last identifier comes back as sent, time-window word included.
        const std::vector<uint8_t> last(read.bytes.end() - 11, read.bytes.end());
        QCOMPARE(int(last[7]), (identifiers - 1) & 0xFF);
        QCOMPARE(int(last[9]), 1);
    }
    KXRDR_DeleteReader(handle);
    usb ? KXUSB_CloseDevice(port) : KXTCP_DisConnect(port);
}

void TestSimLinks::wrongFinishCrcKeepsOldTables()
{
    auto reader = makeReader(0x0BADC0C0);
    const int port = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    const int handle = newReader(port);
    QVERIFY(handle >= 0);
    QCOMPARE(TableFrames::write(someTables(50, 0x11), exchangeOver(handle)).rc, 0);
    for (int wrong = 0; wrong < 4; ++wrong) {
        const TableFrames::WriteResult result =
            TableFrames::write(someTables(80, 0x22), exchangeOver(handle), wrong);
        QVERIFY2(result.rc > 0, qPrintable(QStringLiteral("CRC %1: %2").arg(wrong).arg(result.rc)));
        QCOMPARE(virtualOf(*reader).tables().declaredAccess(), 50);
    }
    // The old tables still decide.
    kxsim::SimDateTime monday;
    monday.year = 2026;
    monday.month = 12;
    monday.day = 7;
    monday.hour = 9;
    QVERIFY(virtualOf(*reader).presentAt({0x11, 0, 0, 0, 0, 0, 0, 5}, monday).granted);
    QVERIFY(!virtualOf(*reader).presentAt({0x22, 0, 0, 0, 0, 0, 0, 5}, monday).granted);
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
}

void TestSimLinks::dropInMidTransferKeepsOldTables()
{
    auto reader = makeReader(0x00D50D50);
    int port = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    int handle = newReader(port);
    QCOMPARE(TableFrames::write(someTables(30, 0x11), exchangeOver(handle)).rc, 0);
    // The link breaks after the metadata and two table frames.
    reader->faults().dropAfterFrames(3);
    const TableFrames::WriteResult broken =
        TableFrames::write(someTables(900, 0x22), exchangeOver(handle));
    QCOMPARE(broken.rc, KXTCP_ERR_LINK_LOST);
    int code = 0;
    char text[KXRDR_TEXT_SIZE];
    KXRDR_GetLastError(handle, &code, text);
    QCOMPARE(code, KXTCP_ERR_LINK_LOST);
    QVERIFY(std::strlen(text) > 0);
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
    QCOMPARE(virtualOf(*reader).tables().declaredAccess(), 30);

    // A new connection starts over and completes.
    port = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    handle = newReader(port);
    QCOMPARE(TableFrames::write(someTables(900, 0x22), exchangeOver(handle)).rc, 0);
    QCOMPARE(virtualOf(*reader).tables().declaredAccess(), 900);
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
}

void TestSimLinks::corruptedAnswerInMidTransfer()
{
    auto reader = makeReader(0x00C0C0C0);
    const int port = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    const int handle = newReader(port);
    QCOMPARE(TableFrames::write(someTables(20, 0x11), exchangeOver(handle)).rc, 0);
    // Every answer corrupted from the first table frame on: the manager sees a bad frame.
    reader->faults().corruptCrc(-1);
    const TableFrames::WriteResult result =
        TableFrames::write(someTables(300, 0x22), exchangeOver(handle));
    QCOMPARE(result.rc, KXTCP_ERR_BAD_FRAME);
    reader->faults().clear();
    QCOMPARE(virtualOf(*reader).tables().declaredAccess(), 20);
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
}

void TestSimLinks::readerSurvivesRandomFrames()
{
    auto reader = makeReader(0x0F022222);
    std::mt19937 random(99);
    // Valid requests to mutate: reader info, block read, table metadata, clock.
    std::vector<kxwire::Frame> seeds;
    const std::vector<std::pair<uint8_t, std::vector<uint8_t>>> requests = {
        {0x66, {0x00}},
        {0x66, {0x80}},
        {0x80, {0x81}},
        {0x1F, {1, 0, 1, 0, 0, 1, 0, 0, 1, 8, 3, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0x8A, {2, 32, 1, 40, 1}},
        {0x87, {20, 26, 12, 7, 0, 10, 30, 0, 0}},
        {0xB0, {0x01, 0x00}},
        {0x9F, {0, 0, 0, 1, 2, 3}},
    };
    for (const auto &r : requests) {
        kxwire::Frame f;
        f.busAddress = 255;
        f.command = r.first;
        f.payload = r.second;
        seeds.push_back(f);
    }
    int fd = rawConnect(reader->tcp().port());
    QVERIFY(fd >= 0);
    int reconnects = 0;
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> bytes;
        kxwire::Frame frame = seeds[random() % seeds.size()];
        frame.sequence = uint8_t(round);
        switch (round % 4) {
        case 0: // well framed, random command and payload: the reader's own parser
            frame.command = uint8_t(random());
            frame.payload.resize(random() % 40);
            for (uint8_t &b : frame.payload)
                b = uint8_t(random());
            bytes = kxwire::encode(frame);
            break;
        case 1: // well framed, payload mutated or cut
            for (uint8_t &b : frame.payload)
                if (random() % 3 == 0)
                    b = uint8_t(random());
            frame.payload.resize(random() % (frame.payload.size() + 2));
            bytes = kxwire::encode(frame);
            break;
        case 2: // frame bytes mutated
            bytes = kxwire::encode(frame);
            bytes[random() % bytes.size()] ^= uint8_t(1 + random() % 255);
            break;
        default: // noise
            bytes.resize(1 + random() % 64);
            for (uint8_t &b : bytes)
                b = uint8_t(random());
            break;
        }
        if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0 || round % 50 == 49) {
            ::close(fd);
            fd = rawConnect(reader->tcp().port());
            QVERIFY(fd >= 0);
            ++reconnects;
        }
        uint8_t sink[4096];
        ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
    }
    ::close(fd);
    QVERIFY(reconnects > 0);
    // Still a reader: a proper client gets its information.
    const int port = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    QVERIFY(port > 0);
    QCOMPARE(readerInfoOver(port), 0);
    KXTCP_DisConnect(port);
    // The server's threads may still be reading what the closed connections sent.
    QTRY_VERIFY(reader->tcp().server().badFrames() > 0);
}

void TestSimLinks::libraryDigestsRandomAnswers()
{
    auto device = std::make_shared<RandomDevice>();
    kxsim::SimReader reader(device);
    QVERIFY(reader.listenTcp("127.0.0.1", 0));
    const int port = KXTCP_Connect("127.0.0.1", reader.tcp().port());
    QVERIFY(port > 0);
    KXTCP_SetSocketPara(port, "TIMEOUT", "2000");
    const int handle = newReader(port);
    QVERIFY(handle >= 0);
    // Each buffer is followed by a guard area that must stay untouched.
    constexpr int kGuard = 64;
    std::vector<unsigned char> buffer(KXRDR_EXCHANGE_SIZE + kGuard, 0xCD);
    auto guardIntact = [&](int size) {
        for (int i = size; i < size + kGuard; ++i)
            if (buffer[std::size_t(i)] != 0xCD)
                return false;
        return true;
    };
    const unsigned char request[4] = {1, 2, 3, 4};
    // Runs one call on a freshly filled buffer and checks nothing lands past size.
    auto check = [&](int size, const std::function<void()> &call) {
        std::fill(buffer.begin(), buffer.end(), 0xCD);
        call();
        return guardIntact(size);
    };
    for (int round = 0; round < 60; ++round) {
        int length = -1;
        int blocks = 0;
        int bytes = 0;
        unsigned char *out = buffer.data();
        QVERIFY(check(KXRDR_INFO_SIZE,
                      [&] { KXRDR_0x66_ReaderInfo(handle, 255, uint8_t(round), out, 0); }));
        QVERIFY(check(KXRDR_BLOCK_SIZE, [&] {
            KXRDR_0x80_ReadConfBlock(handle, 255, uint8_t(0x80 | (round % 64)), out, 0);
        }));
        QVERIFY(check(2 + 16, [&] {
            KXRDR_0x8A_ReadConfiguration(handle, 255, 2, 32, 1, uint8_t(round % 64), 1, &blocks,
                                         &bytes, out);
        }));
        QVERIFY(check(KXRDR_EXCHANGE_SIZE, [&] {
            KXRDR_0x1F_TZDataExchange(handle, 255, 5, 0, 4, request, 2, out, &length, 0);
        }));
        QVERIFY(length >= 0 && length <= KXRDR_EXCHANGE_SIZE);
        QVERIFY(check(KXRDR_ISO_SIZE,
                      [&] { KXRDR_0xB0_ISOCmd(handle, 255, request, 2, out, &length, 0); }));
        QVERIFY(check(KXRDR_ISO_SIZE, [&] {
            KXRDR_0xC3_DESFireCmd(handle, 255, 0, 0, request, 4, out, &length, 0);
        }));
        QVERIFY(check(KXRDR_PIGGYBACK_SIZE, [&] {
            KXRDR_0x9F_Piggyback_Command(handle, 255, 0, 0, 0, request, 4, out, &length);
        }));
        QVERIFY(check(KXRDR_DIAG_SIZE, [&] { KXRDR_0x6E_RdDiag(handle, 255, 1, out); }));
        int code = 0;
        char text[KXRDR_TEXT_SIZE];
        KXRDR_GetLastError(handle, &code, text);
        QVERIFY(std::strlen(text) < KXRDR_TEXT_SIZE);
    }
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
}

void TestSimLinks::badCrcRequestIsAnsweredNotFatal()
{
    auto reader = makeReader(0x0C0C0C0C);
    const int fd = rawConnect(reader->tcp().port());
    QVERIFY(fd >= 0);
    kxwire::Frame frame;
    frame.sequence = 9;
    frame.busAddress = 255;
    frame.command = 0x66;
    frame.payload = {0};
    std::vector<uint8_t> bytes = kxwire::encode(frame);
    bytes.back() ^= 1;
    QVERIFY(::send(fd, bytes.data(), bytes.size(), 0) > 0);
    uint8_t answer[256];
    timeval limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const ssize_t n = ::recv(fd, answer, sizeof answer, 0);
    QVERIFY(n > 0);
    kxwire::Frame decoded;
    QCOMPARE(kxwire::decodeOne(answer, std::size_t(n), true, decoded), kxwire::DecodeResult::Frame);
    QCOMPARE(int(decoded.sequence), 9);
    QCOMPARE(int(decoded.status), int(kxwire::kStatusFrameError));
    // The same link then serves a correct request.
    bytes = kxwire::encode(frame);
    QVERIFY(::send(fd, bytes.data(), bytes.size(), 0) > 0);
    const ssize_t m = ::recv(fd, answer, sizeof answer, 0);
    QVERIFY(m > 0);
    QCOMPARE(kxwire::decodeOne(answer, std::size_t(m), true, decoded), kxwire::DecodeResult::Frame);
    QCOMPARE(int(decoded.status), 0);
    ::close(fd);
}

void TestSimLinks::oneClientsGarbageSparesTheOthers()
{
    auto reader = makeReader(0x0A0A0A0A);
    const int good = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    QVERIFY(good > 0);
    const int bad = rawConnect(reader->tcp().port());
    QVERIFY(bad >= 0);
    // A length field promising 2 GB: the reader closes that link, allocates nothing.
    const uint8_t lie[] = {kxwire::kRequestMarker, 0x7F, 0xFF, 0xFF, 0xFF, 1, 255, 0x66};
    QVERIFY(::send(bad, lie, sizeof lie, 0) > 0);
    uint8_t sink[16];
    timeval limit{5, 0};
    setsockopt(bad, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    QCOMPARE(::recv(bad, sink, sizeof sink, 0), ssize_t(0)); // closed by the reader
    ::close(bad);
    QCOMPARE(readerInfoOver(good), 0);
    KXTCP_DisConnect(good);
}

void TestSimLinks::tooManyClientsAreTurnedAway()
{
    auto reader = makeReader(0x0B0B0B0B);
    const int first = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    QCOMPARE(readerInfoOver(first), 0); // served, so it holds a place
    std::vector<int> idle;
    for (int i = 0; i < 40; ++i) {
        const int fd = rawConnect(reader->tcp().port());
        QVERIFY(fd >= 0);
        idle.push_back(fd);
    }
    // The last ones were closed by the reader; the first client is still served.
    uint8_t byte;
    timeval limit{5, 0};
    setsockopt(idle.back(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    QCOMPARE(::recv(idle.back(), &byte, 1, 0), ssize_t(0));
    QVERIFY(reader->tcp().server().clientCount() <= 32);
    QCOMPARE(readerInfoOver(first), 0);
    for (int fd : idle)
        ::close(fd);
    KXTCP_DisConnect(first);
    // Once the idle ones are gone there is room again.
    QTRY_VERIFY(reader->tcp().server().clientCount() <= 1);
    const int later = KXTCP_Connect("127.0.0.1", reader->tcp().port());
    QCOMPARE(readerInfoOver(later), 0);
    KXTCP_DisConnect(later);
}

void TestSimLinks::networkBlocksMoveTheListener()
{
    auto reader = makeReader(0x00E7E7E7, 100);
    const int oldPort = reader->tcp().port();
    int port = KXTCP_Connect("127.0.0.1", oldPort);
    int handle = newReader(port);
    QVERIFY(handle >= 0);
    // As the network setup writes it: new port in block 40 bytes 8-9, then a system reset.
    const int newPort = freePort();
    unsigned char block[KXRDR_BLOCK_SIZE];
    QCOMPARE(KXRDR_0x80_ReadConfBlock(handle, 255, 0x80 | 40, block, 0), 0);
    QCOMPARE((block[8] << 8) | block[9], oldPort);
    block[8] = uint8_t(newPort >> 8);
    block[9] = uint8_t(newPort);
    QCOMPARE(KXRDR_0x81_WriteConfBlock(handle, 255, 0x80 | 40, block, 0), 0);
    // Written but not yet in force.
    QCOMPARE(reader->tcp().port(), uint16_t(oldPort));
    QCOMPARE(KXRDR_0x64_SystemReset(handle, 255, 0), 0);
    QCOMPARE(reader->networkChangesApplied(), 1);
    QVERIFY2(reader->lastError().empty(), reader->lastError().c_str());
    QCOMPARE(reader->tcp().port(), uint16_t(newPort));
    KXRDR_DeleteReader(handle);
    KXTCP_DisConnect(port);
    QCOMPARE(KXTCP_Connect("127.0.0.1", oldPort), KXTCP_ERR_REFUSED);
    port = KXTCP_Connect("127.0.0.1", newPort);
    QVERIFY(port > 0);
    QCOMPARE(readerInfoOver(port), 0);
    KXTCP_DisConnect(port);
}

KX_TEST_MAIN(TestSimLinks)
#include "tst_simlinks.moc"

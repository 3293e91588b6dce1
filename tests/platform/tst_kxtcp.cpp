// The TCP transport against virtual readers on loopback: every operation's
// success and failure, the loopback guard, time-outs, and the link faults a
// real network produces (dropped links, late and corrupted answers).
#include "echodevice.h"
#include "kxport.h"
#include "kxtcp.h"
#include "kxwire.h"
#include "simreader.h"

#include "support/testsupport.h"

#include <QtTest>

#include <cstring>
#include <memory>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Reader
{
    std::shared_ptr<EchoDevice> device = std::make_shared<EchoDevice>();
    std::unique_ptr<kxsim::SimReader> sim;
    Reader()
    {
        sim = std::make_unique<kxsim::SimReader>(device);
        QVERIFY(sim->listenTcp("127.0.0.1", 0));
    }
    int port() const { return sim->tcp().port(); }
};

int echo(int handle, const std::vector<uint8_t> &request, std::vector<uint8_t> &answer,
         uint8_t &status)
{
    answer.assign(4096, 0);
    int length = 0;
    const int result =
        kxtcp_transceive(handle, 255, EchoDevice::Echo, request.data(), int(request.size()),
                         &status, answer.data(), int(answer.size()), &length);
    answer.resize(std::size_t(length));
    return result;
}

// A port nobody listens on: bind an ephemeral one and give it back.
int closedPort()
{
    return TestSupport::unusedLoopbackPort();
}

// A peer that accepts and then says nothing, or says something of its own.
class RawPeer
{
public:
    RawPeer()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(m_listen, 4);
        socklen_t size = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~RawPeer()
    {
        if (m_client >= 0)
            ::close(m_client);
        ::close(m_listen);
    }
    int port() const { return m_port; }
    int accept()
    {
        m_client = ::accept(m_listen, nullptr, nullptr);
        return m_client;
    }

private:
    int m_listen = -1;
    int m_client = -1;
    int m_port = 0;
};

} // namespace

class TestKxTcp : public QObject
{
    Q_OBJECT

private slots:
    void connectAndExchange();
    void statusAndEmptyAnswers();
    void connectFailures_data();
    void connectFailures();
    void guardRefusesOtherAddresses_data();
    void guardRefusesOtherAddresses();
    void closedHandles();
    void socketParameters_data();
    void socketParameters();
    void answerLongerThanBuffer();
    void silentPeerTimesOut();
    void garbageAnswerIsBadFrame();
    void corruptedCrcThenRecovers();
    void damagedRequestIsALinkError();
    void lateAnswerIsNotTakenForTheNext();
    void dropAfterFrames();
    void readerGoneWhileOpen();
    void parallelHandles();
    void closedWhileWaiting();
    void errorTexts();
};

void TestKxTcp::connectAndExchange()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY2(handle > 0, qPrintable(QString::number(handle)));
    QCOMPARE(handle & 0x30000000, KXPORT_TCP_BIT);
    QCOMPARE(KXTCP_SetSocketPara(handle, "TIMEOUT", "2000"), 0);
    std::vector<uint8_t> answer;
    uint8_t status = 99;
    const std::vector<uint8_t> request = {1, 2, 3, 0, 255};
    QCOMPARE(echo(handle, request, answer, status), 0);
    QCOMPARE(int(status), 0);
    QVERIFY(answer == request);
    // "localhost" is loopback too and needs no name lookup.
    const int second = KXTCP_Connect("localhost", reader.port());
    QVERIFY(second > 0 && second != handle);
    QCOMPARE(KXTCP_DisConnect(second), 0);
    QCOMPARE(KXTCP_DisConnect(handle), 0);
    QCOMPARE(KXTCP_DisConnect(handle), KXTCP_ERR_UNKNOWN_HANDLE);
}

void TestKxTcp::statusAndEmptyAnswers()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    for (int value : {0, 146, 147, 148, 255}) {
        const uint8_t request = uint8_t(value);
        uint8_t status = 0;
        uint8_t answer[8];
        int length = -1;
        QCOMPARE(kxtcp_transceive(handle, 255, EchoDevice::Status, &request, 1, &status, answer,
                                  int(sizeof answer), &length),
                 0);
        QCOMPARE(int(status), value);
        QCOMPARE(length, 0);
    }
    // A request without bytes and a caller without an answer buffer.
    uint8_t status = 1;
    int length = -1;
    QCOMPARE(
        kxtcp_transceive(handle, 255, EchoDevice::Echo, nullptr, 0, &status, nullptr, 0, &length),
        0);
    QCOMPARE(length, 0);
    KXTCP_DisConnect(handle);
}

void TestKxTcp::connectFailures_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("error");
    QTest::newRow("nobody listening")
        << QStringLiteral("127.0.0.1") << closedPort() << KXTCP_ERR_REFUSED;
    QTest::newRow("port zero") << QStringLiteral("127.0.0.1") << 0 << KXTCP_ERR_BAD_ARGUMENT;
    QTest::newRow("port too large")
        << QStringLiteral("127.0.0.1") << 65536 << KXTCP_ERR_BAD_ARGUMENT;
    QTest::newRow("empty host") << QString() << 10001 << KXTCP_ERR_BAD_ADDRESS;
}

void TestKxTcp::connectFailures()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, error);
    QCOMPARE(KXTCP_Connect(host.toLatin1().constData(), port), error);
    QCOMPARE(KXTCP_Connect(nullptr, 10001), KXTCP_ERR_BAD_ARGUMENT);
}

void TestKxTcp::guardRefusesOtherAddresses_data()
{
    QTest::addColumn<QString>("host");
    // Documentation and private addresses; the guard must refuse before any packet leaves.
    QTest::newRow("test net") << QStringLiteral("192.0.2.1");
    QTest::newRow("demo project reader") << QStringLiteral("192.168.3.10");
    QTest::newRow("private net") << QStringLiteral("10.0.0.1");
    QTest::newRow("ipv6 documentation") << QStringLiteral("2001:db8::1");
    QTest::newRow("mapped ipv4") << QStringLiteral("::ffff:192.0.2.1");
    QTest::newRow("name needing a lookup") << QStringLiteral("reader.example.invalid");
}

void TestKxTcp::guardRefusesOtherAddresses()
{
    QFETCH(QString, host);
    QCOMPARE(qgetenv("KX_LOOPBACK_ONLY"), QByteArray("1"));
    QCOMPARE(KXTCP_Connect(host.toLatin1().constData(), 10001), KXTCP_ERR_NOT_LOOPBACK);
}

void TestKxTcp::closedHandles()
{
    uint8_t status = 0;
    uint8_t answer[4];
    int length = 7;
    for (int handle : {0, -1, KXPORT_TCP_BIT, KXPORT_TCP_BIT | 0x0FFFFFFF, KXPORT_USB_BIT | 1}) {
        QCOMPARE(kxtcp_transceive(handle, 255, 1, nullptr, 0, &status, answer, 4, &length),
                 KXTCP_ERR_UNKNOWN_HANDLE);
        QCOMPARE(length, 0);
        QCOMPARE(KXTCP_SetSocketPara(handle, "TIMEOUT", "100"), KXTCP_ERR_UNKNOWN_HANDLE);
        QCOMPARE(KXTCP_DisConnect(handle), KXTCP_ERR_UNKNOWN_HANDLE);
    }
}

void TestKxTcp::socketParameters_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("result");
    QTest::newRow("time-out") << QStringLiteral("TIMEOUT") << QStringLiteral("5000") << 0;
    QTest::newRow("lower case name") << QStringLiteral("timeout") << QStringLiteral("1") << 0;
    QTest::newRow("zero") << QStringLiteral("TIMEOUT") << QStringLiteral("0")
                          << KXTCP_ERR_BAD_PARAMETER;
    QTest::newRow("negative") << QStringLiteral("TIMEOUT") << QStringLiteral("-5")
                              << KXTCP_ERR_BAD_PARAMETER;
    QTest::newRow("not a number") << QStringLiteral("TIMEOUT") << QStringLiteral("5s")
                                  << KXTCP_ERR_BAD_PARAMETER;
    QTest::newRow("huge") << QStringLiteral("TIMEOUT") << QStringLiteral("99999999999999")
                          << KXTCP_ERR_BAD_PARAMETER;
    QTest::newRow("unknown name") << QStringLiteral("BAUDRATE") << QStringLiteral("9600")
                                  << KXTCP_ERR_BAD_PARAMETER;
}

void TestKxTcp::socketParameters()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(int, result);
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    QCOMPARE(KXTCP_SetSocketPara(handle, name.toLatin1().constData(), value.toLatin1().constData()),
             result);
    QCOMPARE(KXTCP_SetSocketPara(handle, nullptr, "1"), KXTCP_ERR_BAD_PARAMETER);
    KXTCP_DisConnect(handle);
}

void TestKxTcp::answerLongerThanBuffer()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    const uint8_t size[2] = {0x01, 0x00}; // 256 bytes
    uint8_t buffer[64 + 16];
    std::memset(buffer, 0x11, sizeof buffer);
    uint8_t status = 0;
    int length = -1;
    QCOMPARE(
        kxtcp_transceive(handle, 255, EchoDevice::Sized, size, 2, &status, buffer, 64, &length),
        KXTCP_ERR_ANSWER_TOO_LONG);
    QCOMPARE(length, 0);
    for (std::size_t i = 64; i < sizeof buffer; ++i)
        QCOMPARE(int(buffer[i]), 0x11); // nothing written past the given capacity
    // The link stays in step: the next exchange gets its own answer.
    std::vector<uint8_t> answer;
    QCOMPARE(echo(handle, {9, 8, 7}, answer, status), 0);
    QVERIFY(answer == std::vector<uint8_t>({9, 8, 7}));
    // Exactly fitting is fine; the largest data exchange answer too.
    std::vector<uint8_t> big(32768);
    const uint8_t bigSize[2] = {0x80, 0x00};
    QCOMPARE(kxtcp_transceive(handle, 255, EchoDevice::Sized, bigSize, 2, &status, big.data(),
                              int(big.size()), &length),
             0);
    QCOMPARE(length, 32768);
    QCOMPARE(int(big.back()), 0xAB);
    KXTCP_DisConnect(handle);
}

void TestKxTcp::silentPeerTimesOut()
{
    RawPeer peer;
    const int handle = KXTCP_Connect("127.0.0.1", peer.port());
    QVERIFY(handle > 0);
    QVERIFY(peer.accept() >= 0);
    QCOMPARE(KXTCP_SetSocketPara(handle, "TIMEOUT", "150"), 0);
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    QCOMPARE(echo(handle, {1}, answer, status), KXTCP_ERR_TIMEOUT);
    QVERIFY(answer.empty());
    KXTCP_DisConnect(handle);
}

void TestKxTcp::garbageAnswerIsBadFrame()
{
    RawPeer peer;
    const int handle = KXTCP_Connect("127.0.0.1", peer.port());
    QVERIFY(handle > 0);
    const int client = peer.accept();
    QVERIFY(client >= 0);
    KXTCP_SetSocketPara(handle, "TIMEOUT", "1000");
    const char garbage[] = "HTTP/1.1 400 Bad Request\r\n\r\n";
    QVERIFY(::send(client, garbage, sizeof garbage, 0) > 0);
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    // The garbage was already waiting: it is discarded, and the real answer never comes.
    QCOMPARE(echo(handle, {1}, answer, status), KXTCP_ERR_TIMEOUT);
    // The first request is still unread at the peer: take it away first.
    char stale[64];
    ::recv(client, stale, sizeof stale, MSG_DONTWAIT);
    // Garbage in answer to the next request.
    std::thread replier([client, &garbage] {
        char request[64];
        if (::recv(client, request, sizeof request, 0) > 0)
            ::send(client, garbage, sizeof garbage, 0);
    });
    const int result = echo(handle, {1}, answer, status);
    replier.join();
    QCOMPARE(result, KXTCP_ERR_BAD_FRAME);
    KXTCP_DisConnect(handle);
}

void TestKxTcp::corruptedCrcThenRecovers()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    reader.sim->faults().corruptCrc(1);
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    QCOMPARE(echo(handle, {1, 2}, answer, status), KXTCP_ERR_BAD_FRAME);
    QCOMPARE(echo(handle, {3, 4}, answer, status), 0);
    QVERIFY(answer == std::vector<uint8_t>({3, 4}));
    KXTCP_DisConnect(handle);
}

void TestKxTcp::damagedRequestIsALinkError()
{
    RawPeer peer;
    const int handle = KXTCP_Connect("127.0.0.1", peer.port());
    QVERIFY(handle > 0);
    const int client = peer.accept();
    QVERIFY(client >= 0);
    KXTCP_SetSocketPara(handle, "TIMEOUT", "3000");
    // The peer answers as a reader does when the request's CRC was wrong.
    std::thread replier([client] {
        uint8_t request[64];
        const ssize_t n = ::recv(client, request, sizeof request, 0);
        kxwire::Frame frame;
        if (n <= 0 ||
            kxwire::decodeOne(request, std::size_t(n), false, frame) != kxwire::DecodeResult::Frame)
            return;
        frame.answer = true;
        frame.status = kxwire::kStatusFrameError;
        frame.payload.clear();
        const auto bytes = kxwire::encode(frame);
        ::send(client, bytes.data(), bytes.size(), 0);
    });
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    const int result = echo(handle, {1, 2, 3}, answer, status);
    replier.join();
    QCOMPARE(result, KXTCP_ERR_BAD_FRAME);
    KXTCP_DisConnect(handle);
}

void TestKxTcp::lateAnswerIsNotTakenForTheNext()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    KXTCP_SetSocketPara(handle, "TIMEOUT", "100");
    reader.sim->faults().setDelayMs(300);
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    QCOMPARE(echo(handle, {0xAA}, answer, status), KXTCP_ERR_TIMEOUT);
    reader.sim->faults().setDelayMs(0);
    KXTCP_SetSocketPara(handle, "TIMEOUT", "3000");
    // The answer to 0xAA arrives while this request waits; it must be skipped.
    QCOMPARE(echo(handle, {0xBB}, answer, status), 0);
    QVERIFY(answer == std::vector<uint8_t>({0xBB}));
    KXTCP_DisConnect(handle);
}

void TestKxTcp::dropAfterFrames()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    reader.sim->faults().dropAfterFrames(3);
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    for (int i = 0; i < 3; ++i)
        QCOMPARE(echo(handle, {uint8_t(i)}, answer, status), 0);
    QCOMPARE(echo(handle, {3}, answer, status), KXTCP_ERR_LINK_LOST);
    QCOMPARE(echo(handle, {4}, answer, status), KXTCP_ERR_LINK_LOST);
    KXTCP_DisConnect(handle);
    // The reader itself lives on: a new connection works.
    const int again = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(again > 0);
    QCOMPARE(echo(again, {5}, answer, status), 0);
    KXTCP_DisConnect(again);
}

void TestKxTcp::readerGoneWhileOpen()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    reader.sim->closeTcp();
    std::vector<uint8_t> answer;
    uint8_t status = 0;
    QCOMPARE(echo(handle, {1}, answer, status), KXTCP_ERR_LINK_LOST);
    KXTCP_DisConnect(handle);
    QCOMPARE(KXTCP_Connect("127.0.0.1", reader.port()), KXTCP_ERR_REFUSED);
}

void TestKxTcp::parallelHandles()
{
    Reader first;
    Reader second;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const int handle = KXTCP_Connect("127.0.0.1", t % 2 ? first.port() : second.port());
            if (handle <= 0) {
                ++failures;
                return;
            }
            for (int i = 0; i < 100; ++i) {
                std::vector<uint8_t> request(std::size_t(i % 50), uint8_t(t * 16 + i));
                std::vector<uint8_t> answer;
                uint8_t status = 0;
                if (echo(handle, request, answer, status) != 0 || answer != request)
                    ++failures;
            }
            KXTCP_DisConnect(handle);
        });
    }
    for (auto &thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(first.device->frames() + second.device->frames(), 400);
}

void TestKxTcp::closedWhileWaiting()
{
    Reader reader;
    const int handle = KXTCP_Connect("127.0.0.1", reader.port());
    QVERIFY(handle > 0);
    KXTCP_SetSocketPara(handle, "TIMEOUT", "20000");
    reader.sim->faults().setDelayMs(20000);
    std::atomic<int> result{1};
    std::thread waiter([&] {
        std::vector<uint8_t> answer;
        uint8_t status = 0;
        result = echo(handle, {1}, answer, status);
    });
    // Closing the port wakes the waiting thread at once; its link object stays valid.
    QTRY_COMPARE(reader.sim->tcp().server().bytesIn(), uint64_t(kxwire::kMinRequestLength + 1));
    QCOMPARE(KXTCP_DisConnect(handle), 0);
    waiter.join();
    QCOMPARE(result.load(), KXTCP_ERR_LINK_LOST);
    reader.sim->faults().setDelayMs(0);
}

void TestKxTcp::errorTexts()
{
    QSet<QString> texts;
    char text[1024];
    for (int code = KXTCP_ERR_NO_RESOURCES; code <= KXTCP_ERR_UNKNOWN_HANDLE; ++code) {
        std::memset(text, 0, sizeof text);
        QCOMPARE(KXTCP_GetErrorText(code, text), 0);
        QVERIFY(std::strlen(text) > 5);
        texts.insert(QString::fromLatin1(text));
    }
    QCOMPARE(texts.size(), KXTCP_ERR_UNKNOWN_HANDLE - KXTCP_ERR_NO_RESOURCES + 1);
    QVERIFY(KXTCP_GetErrorText(-1, text) < 0);
    QVERIFY(std::strlen(text) > 0);
    QVERIFY(KXTCP_GetErrorText(0, nullptr) < 0);
}

KX_TEST_MAIN(TestKxTcp)
#include "tst_kxtcp.moc"

// The protocol library against virtual readers: in-process through the
// transport hook (payloads, errors, trace, bad answers), then over loopback
// TCP and the simulated USB bus.
#include "kxrdr.h"
#include "kxrdrhook.h"
#include "kxtcp.h"
#include "kxusb.h"
#include "simlinkfaults.h"
#include "simreader.h"
#include "tableframes.h"
#include "virtualreader.h"

#include "support/testsupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kxsim;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int UsbPort = 0x10000001;
constexpr int TcpPort = 0x20000001;

// The transport of the in-process tests: a virtual reader, or a scripted answer.
struct Hook
{
    VirtualReader *reader = nullptr;
    std::function<int(uint8_t, const Bytes &, uint8_t &, Bytes &)> script;
    std::atomic<int> calls{0};
    std::mutex mutex;
    Bytes lastRequest;
    uint8_t lastCommand = 0;

    static int transport(void *context, int, unsigned char bus, unsigned char command,
                         const unsigned char *request, int requestLength, unsigned char *status,
                         unsigned char *answer, int capacity, int *answerLength)
    {
        auto *self = static_cast<Hook *>(context);
        ++self->calls;
        const Bytes bytes(request, request + requestLength);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->lastCommand = command;
            self->lastRequest = bytes;
        }
        Bytes out;
        int rc = 0;
        if (self->script)
            rc = self->script(command, bytes, *status, out);
        else
            self->reader->handleFrame(bus, command, bytes, *status, out);
        if (rc < 0)
            return rc;
        if (int(out.size()) > capacity)
            return KXTCP_ERR_ANSWER_TOO_LONG;
        if (!out.empty())
            std::memcpy(answer, out.data(), out.size());
        *answerLength = int(out.size());
        return 0;
    }
};

struct Installed
{
    explicit Installed(Hook &hook) { kxrdr_set_transport(&Hook::transport, &hook); }
    ~Installed() { kxrdr_set_transport(nullptr, nullptr); }
};

TableFrames::Exchange exchangeOf(int handle)
{
    return [handle](uint8_t mode, uint8_t flags, uint8_t table, const Bytes &request,
                    Bytes &answer) {
        answer.assign(KXRDR_EXCHANGE_SIZE, 0);
        int length = -1;
        const int rc = KXRDR_0x1F_TZDataExchange(handle, 255, mode, flags, table, request.data(),
                                                 int(request.size()), answer.data(), &length, 0);
        answer.resize(rc >= 0 ? std::size_t(length) : 0);
        return rc;
    };
}

QString lastErrorText(int handle, int *code)
{
    char text[KXRDR_TEXT_SIZE];
    KXRDR_GetLastError(handle, code, text);
    return QString::fromLatin1(text);
}

int openReader(int port)
{
    const int handle = KXRDR_NewReader(port);
    if (handle > 0)
        KXRDR_SetReaderPara(handle, "FRAMESUPPORT", "ADVANCED");
    return handle;
}

int freePort()
{
    return TestSupport::unusedLoopbackPort();
}

TableFrames::Tables sampleTables(int users)
{
    TableFrames::Tables t;
    t.iddLength = 8;
    t.timezones.push_back({1, 1, 0, 31, 12, 99, 0x3E, 7, 0, 18, 0});
    t.holidays.push_back({1, 1, 27});
    for (int i = 0; i < users; ++i)
        t.access.push_back({{0x04, uint8_t(i >> 8), uint8_t(i), 0x5A, 1, 2, 3}, 0x0001});
    return t;
}

} // namespace

class TestKxrdr : public QObject
{
    Q_OBJECT
private slots:
    void newReader_data();
    void newReader();
    void unknownHandle();
    void parameters_data();
    void parameters();
    void traceFile();
    void standardFramesLimitRequests();
    void commandsThroughTheLibrary();
    void tablesThroughTheLibrary();
    void readerStatusAndTransportErrors_data();
    void readerStatusAndTransportErrors();
    void malformedAnswers_data();
    void malformedAnswers();
    void randomAnswersNeverOverrun();
    void handlesInParallelThreads();
    void overTcp();
    void networkChangeOverTcp();
    void dropMidTransferKeepsTables();
    void overUsbBus();
};

void TestKxrdr::newReader_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("ok");
    QTest::newRow("usb") << UsbPort << true;
    QTest::newRow("tcp") << TcpPort << true;
    QTest::newRow("both bits") << 0x30000001 << false;
    QTest::newRow("no bit") << 5 << false;
    QTest::newRow("failed open") << -1103 << false;
    QTest::newRow("zero") << 0 << false;
}

void TestKxrdr::newReader()
{
    QFETCH(int, port);
    QFETCH(bool, ok);
    const int handle = KXRDR_NewReader(port);
    QCOMPARE(handle > 0, ok);
    if (ok) {
        QVERIFY(!(handle & 0x30000000)); // never mistaken for a port handle
        QCOMPARE(KXRDR_DeleteReader(handle), 0);
        QCOMPARE(KXRDR_DeleteReader(handle), KXRDR_ERR_UNKNOWN_HANDLE);
    } else {
        // The caller's error collection on the failed handle yields its error and a text.
        int code = 0;
        QCOMPARE(lastErrorText(handle, &code), QStringLiteral("Invalid port handle"));
        QCOMPARE(code, KXRDR_ERR_PORT_HANDLE);
    }
}

void TestKxrdr::unknownHandle()
{
    Hook hook;
    Installed installed(hook);
    unsigned char buffer[KXRDR_EXCHANGE_SIZE];
    int length = 0, a = 0, b = 0;
    const int h = 4711;
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, buffer, 0), KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXRDR_0x80_ReadConfBlock(h, 255, 0x81, buffer, 0), KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXRDR_0x1F_TZDataExchange(h, 255, 5, 0, 1, buffer, 2, buffer, &length, 0),
             KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXRDR_0x8A_ReadConfiguration(h, 255, 2, 32, 1, 1, 1, &a, &b, buffer),
             KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXRDR_SetReaderPara(h, "LOGFILE", "1"), KXRDR_ERR_UNKNOWN_HANDLE);
    QCOMPARE(hook.calls, 0);
    int code = 0;
    QCOMPARE(lastErrorText(h, &code), QStringLiteral("Unknown reader handle"));
    QCOMPARE(code, KXRDR_ERR_UNKNOWN_HANDLE);
    char text[KXRDR_TEXT_SIZE];
    QCOMPARE(KXRDR_GetLastState(h, text), KXRDR_ERR_UNKNOWN_HANDLE);
}

void TestKxrdr::parameters_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("rc");
    QTest::newRow("log file name") << QByteArray("LOGFILENAME") << QByteArray("/tmp/x.log") << 0;
    QTest::newRow("log on") << QByteArray("LOGFILE") << QByteArray("1") << 0;
    QTest::newRow("log other") << QByteArray("LOGFILE") << QByteArray("yes")
                               << KXRDR_ERR_PARA_VALUE;
    QTest::newRow("frames") << QByteArray("FRAMESUPPORT") << QByteArray("ADVANCED") << 0;
    QTest::newRow("frames lower case")
        << QByteArray("FRAMESUPPORT") << QByteArray("advanced") << KXRDR_ERR_PARA_VALUE;
    QTest::newRow("unknown") << QByteArray("BAUDRATE") << QByteArray("9600")
                             << KXRDR_ERR_UNKNOWN_PARA;
}

void TestKxrdr::parameters()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, value);
    QFETCH(int, rc);
    const int h = KXRDR_NewReader(TcpPort);
    QCOMPARE(KXRDR_SetReaderPara(h, name.constData(), value.constData()), rc);
    int code = 1;
    const QString text = lastErrorText(h, &code);
    QCOMPARE(code, rc);
    QVERIFY(!text.isEmpty());
    if (rc == 0) {
        char back[KXRDR_TEXT_SIZE];
        QCOMPARE(KXRDR_GetReaderPara(h, name.constData(), back), 0);
        QCOMPARE(QByteArray(back), value);
    }
    QCOMPARE(KXRDR_SetReaderPara(h, nullptr, "1"), KXRDR_ERR_ARGUMENT);
    KXRDR_DeleteReader(h);
}

void TestKxrdr::traceFile()
{
    QTemporaryDir dir;
    VirtualReader reader{VirtualReaderSetup()};
    Hook hook;
    hook.reader = &reader;
    Installed installed(hook);
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("reader log.log")));
    const int h = KXRDR_NewReader(UsbPort);
    QCOMPARE(KXRDR_SetReaderPara(h, "LOGFILENAME", path.constData()), 0);
    unsigned char info[KXRDR_INFO_SIZE];
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0x80, info, 0), 0);
    QVERIFY(!QFile::exists(QString::fromLocal8Bit(path))); // nothing while "LOGFILE" is not "1"

    QCOMPARE(KXRDR_SetReaderPara(h, "LOGFILE", "1"), 0);
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0x80, info, 0), 0);
    QCOMPARE(KXRDR_0x80_ReadConfBlock(h, 255, 0x4C, info, 0), 0x05);
    QFile file(QString::fromLocal8Bit(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.size(), 5); // four lines and the empty rest
    for (int i = 0; i < 4; ++i) {
        QVERIFY(lines[i].endsWith('\r'));
        QVERIFY(QRegExp(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} .*"))
                    .exactMatch(QString::fromLatin1(lines[i].trimmed())));
    }
    QVERIFY(lines[0].contains("TX FF 66 (1): 80"));
    QVERIFY(lines[1].contains("RX 66 00 (16): 00 C0 FF EE 00"));
    QVERIFY(lines[3].contains("RX 80 05 (0):"));

    QCOMPARE(KXRDR_SetReaderPara(h, "LOGFILE", "0"), 0);
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), 0);
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text);
    KXRDR_DeleteReader(h);
}

void TestKxrdr::standardFramesLimitRequests()
{
    Hook hook;
    hook.script = [](uint8_t, const Bytes &, uint8_t &status, Bytes &) {
        status = 0;
        return 0;
    };
    Installed installed(hook);
    const int h = KXRDR_NewReader(TcpPort);
    Bytes big(300, 1), answer(KXRDR_EXCHANGE_SIZE);
    int length = 0;
    QCOMPARE(KXRDR_0x1F_TZDataExchange(h, 255, 3, 0, 4, big.data(), int(big.size()), answer.data(),
                                       &length, 0),
             KXRDR_ERR_REQUEST_SIZE);
    QCOMPARE(hook.calls, 0);
    QCOMPARE(KXRDR_SetReaderPara(h, "FRAMESUPPORT", "ADVANCED"), 0);
    QCOMPARE(KXRDR_0x1F_TZDataExchange(h, 255, 3, 0, 4, big.data(), int(big.size()), answer.data(),
                                       &length, 0),
             0);
    QCOMPARE(hook.lastRequest.size(), size_t(303));
    KXRDR_DeleteReader(h);
}

void TestKxrdr::commandsThroughTheLibrary()
{
    VirtualReaderSetup setup;
    setup.type = 100;
    setup.deviceId = 0x0A0B0C0D;
    setup.extIoSerial = 0x1234;
    setup.firmware[0] = 2;
    setup.firmware[1] = 8;
    setup.firmware[2] = 0;
    VirtualReader reader(setup);
    SimTag tag;
    tag.uid = {0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};
    tag.family = 1;
    tag.applicationSerial = 0x00BEEF;
    reader.placeTag(tag);
    Hook hook;
    hook.reader = &reader;
    Installed installed(hook);
    const int h = openReader(UsbPort);

    unsigned char info[KXRDR_INFO_SIZE];
    std::memset(info, 0x77, sizeof info);
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0), 0);
    QCOMPARE(info[4] + 256 * info[14], 100);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(info), 3), QByteArray("\x02\x08\x00", 3));
    QCOMPARE(info[KXRDR_INFO_SIZE - 1], uint8_t(0)); // zero behind the record
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0x80, info, 0), 0);
    QCOMPARE(info[3], uint8_t(0x0D));

    unsigned char block[16];
    unsigned char written[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    QCOMPARE(KXRDR_0x83_ResetConfBlock(h, 255, 0xC0), 0);
    QCOMPARE(KXRDR_0x81_WriteConfBlock(h, 255, 0x82, written, 0), 0);
    QCOMPARE(KXRDR_0x80_ReadConfBlock(h, 255, 0x82, block, 0), 0);
    QCOMPARE(std::memcmp(block, written, 16), 0);
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), 0);
    QCOMPARE(reader.block(2, false)[15], uint8_t(16));

    QCOMPARE(KXRDR_0x87_SetSystemDate(h, 255, 20, 27, 3, 9, 0, 14, 30, 45123), 0);
    QCOMPARE(reader.clock().year, 2027);
    QCOMPARE(reader.clock().hour, 14);
    QCOMPARE(KXRDR_0x87_SetSystemDate(h, 255, 20, 27, 3, 9, 0, 14, 30, 60000), 0x11);
    QCOMPARE(KXRDR_0x87_SetSystemDate(h, 255, 20, 27, 3, 9, 0, 14, 30, 70000), KXRDR_ERR_ARGUMENT);

    unsigned char piggy[KXRDR_PIGGYBACK_SIZE];
    const unsigned char serial[4] = {0, 0, 0x12, 0x34};
    int length = 0;
    QCOMPARE(KXRDR_0x9F_Piggyback_Command(h, 255, 0, 0, 0, serial, 4, piggy, &length), 0);
    QVERIFY(reader.extIoPaired());
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 7, info, 0), 0);
    QCOMPARE(info[1], uint8_t(3));

    unsigned char iso[KXRDR_ISO_SIZE];
    const unsigned char inventory[2] = {0x01, 0x00};
    QCOMPARE(KXRDR_0x6A_RFOnOff(h, 255, 129), 0);
    QCOMPARE(KXRDR_0xB0_ISOCmd(h, 255, inventory, 2, iso, &length, 0), 0);
    QCOMPARE(length, 4 + 7);
    QCOMPARE(iso[1], uint8_t(4));
    const unsigned char select[10] = {0x25, 0x21, 7, 0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};
    QCOMPARE(KXRDR_0xB0_ISOCmd(h, 255, select, 10, iso, &length, 0), 0);
    QCOMPARE(iso[0], uint8_t(1));
    const unsigned char app[4] = {0, 254, 0, 0};
    QCOMPARE(KXRDR_0xC3_DESFireCmd(h, 255, 90, 0, app, 4, iso, &length, 0), 0);
    const unsigned char readFile[9] = {1, 1, 0, 0, 0, 0, 3, 0, 0};
    QCOMPARE(KXRDR_0xC3_DESFireCmd(h, 255, 189, 0, readFile, 9, iso, &length, 0), 0);
    QCOMPARE(length, 3);
    QCOMPARE((iso[0] << 16) | (iso[1] << 8) | iso[2], 0x00BEEF);
    const unsigned char auth[10] = {0xB0, 0x0A, 62, 0, 1, 2, 3, 4, 5, 6};
    QCOMPARE(KXRDR_0xB2_ISOCmd(h, 255, auth, 10, iso, &length, 0), 0x03); // not that family

    unsigned char diag[KXRDR_DIAG_SIZE];
    QCOMPARE(KXRDR_0x6E_RdDiag(h, 255, 6, diag), 0);
    QCOMPARE(diag[0], uint8_t(6));
    QCOMPARE(KXRDR_0x33_InitBuffer(h, 255), 0);
    QCOMPARE(KXRDR_0x64_SystemReset(h, 255, 32), 0);
    QCOMPARE(hook.lastRequest, Bytes{32});
    KXRDR_DeleteReader(h);
}

void TestKxrdr::tablesThroughTheLibrary()
{
    VirtualReaderSetup setup;
    setup.type = 101;
    setup.maxFrameLength = 512;
    VirtualReader reader(setup);
    Hook hook;
    hook.reader = &reader;
    Installed installed(hook);
    const int h = openReader(TcpPort);
    const TableFrames::Tables t = sampleTables(300);
    const auto w = TableFrames::write(t, exchangeOf(h));
    QCOMPARE(w.rc, 0);
    QCOMPARE(w.maxFrame, 512);
    QCOMPARE(reader.tables().recordCount(4), 300);
    const auto read = TableFrames::read(4, 11, exchangeOf(h));
    QCOMPARE(read.rc, 0);
    QCOMPARE(read.count, 300);
    QVERIFY(read.calls > 1);

    // A wrong finish CRC comes back as the reader's status with its text.
    TableFrames::Tables other = sampleTables(2);
    QCOMPARE(TableFrames::write(other, exchangeOf(h), 2).rc, KXRDR_STATUS_TABLE_CRC);
    char text[KXRDR_TEXT_SIZE];
    QCOMPARE(KXRDR_GetLastState(h, text), KXRDR_STATUS_TABLE_CRC);
    QCOMPARE(QByteArray(text), QByteArray("Table check sum mismatch, previous tables kept"));
    QCOMPARE(reader.tables().recordCount(4), 300);
    KXRDR_DeleteReader(h);
}

void TestKxrdr::readerStatusAndTransportErrors_data()
{
    QTest::addColumn<int>("rc");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("status") << 0 << 0x82 << TcpPort << "Command not available on this reader";
    QTest::newRow("unnamed status") << 0 << 0x4E << TcpPort << "Reader status 0x4E";
    QTest::newRow("tcp time-out") << int(KXTCP_ERR_TIMEOUT) << 0 << TcpPort << "TCP:";
    QTest::newRow("usb unplugged") << int(KXUSB_ERR_LINK_LOST) << 0 << UsbPort << "USB";
}

void TestKxrdr::readerStatusAndTransportErrors()
{
    QFETCH(int, rc);
    QFETCH(int, status);
    QFETCH(int, port);
    QFETCH(QString, text);
    Hook hook;
    hook.script = [&](uint8_t, const Bytes &, uint8_t &st, Bytes &) {
        st = uint8_t(status);
        return rc;
    };
    Installed installed(hook);
    const int h = openReader(port);
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), rc < 0 ? rc : status);
    int code = 1;
    const QString error = lastErrorText(h, &code);
    char buffer[KXRDR_TEXT_SIZE];
    if (rc < 0) {
        QCOMPARE(code, rc);
        QVERIFY2(error.startsWith(text), qPrintable(error));
        QCOMPARE(KXRDR_GetLastState(h, buffer), 0);
        char direct[KXRDR_TEXT_SIZE];
        QCOMPARE(KXRDR_GetErrorText(rc, direct), 0);
        QCOMPARE(QString::fromLatin1(direct), error);
    } else {
        QCOMPARE(code, 0);
        QCOMPARE(KXRDR_GetLastState(h, buffer), status);
        QCOMPARE(QString::fromLatin1(buffer), text);
    }
    // The next good answer clears both.
    hook.script = [](uint8_t, const Bytes &, uint8_t &st, Bytes &) {
        st = 0;
        return 0;
    };
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), 0);
    lastErrorText(h, &code);
    QCOMPARE(code, 0);
    QCOMPARE(KXRDR_GetLastState(h, buffer), 0);
    KXRDR_DeleteReader(h);
}

void TestKxrdr::malformedAnswers_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("answer");
    QTest::newRow("short block") << 0x80 << Bytes{1, 2, 3, 4, 5};
    QTest::newRow("long block") << 0x80 << Bytes(17, 1);
    QTest::newRow("region without blocks") << 0x8A << Bytes{1};
    QTest::newRow("region count beyond request") << 0x8A << Bytes(2 + 32, 2);
    QTest::newRow("region half a block") << 0x8A << Bytes{1, 1, 1, 2, 3};
}

void TestKxrdr::malformedAnswers()
{
    QFETCH(int, command);
    QFETCH(Bytes, answer);
    Hook hook;
    hook.script = [&](uint8_t, const Bytes &, uint8_t &st, Bytes &out) {
        st = 0;
        out = answer;
        return 0;
    };
    Installed installed(hook);
    const int h = openReader(TcpPort);
    unsigned char buffer[18 + 16];
    std::memset(buffer, 0xAB, sizeof buffer);
    int blocks = -1, bytes = -1;
    const int rc = command == 0x80 ? KXRDR_0x80_ReadConfBlock(h, 255, 0x81, buffer, 0)
                                   : KXRDR_0x8A_ReadConfiguration(h, 255, 2, 32, 1, 1, 1, &blocks,
                                                                  &bytes, buffer);
    QVERIFY(rc < 0);
    int code = 0;
    lastErrorText(h, &code);
    QVERIFY(code < 0);
    QCOMPARE(buffer[0], uint8_t(0xAB)); // nothing copied from an answer that is not one
    KXRDR_DeleteReader(h);
}

void TestKxrdr::randomAnswersNeverOverrun()
{
    // Whatever a broken reader answers, nothing is written past the documented
    // buffer sizes (the guard bytes behind them stay) and results stay in range.
    auto *rng = QRandomGenerator::global();
    Hook hook;
    hook.script = [&](uint8_t, const Bytes &, uint8_t &st, Bytes &out) {
        st = uint8_t(rng->bounded(256));
        out.resize(rng->bounded(3) == 0 ? rng->bounded(40000) : rng->bounded(40));
        for (auto &b : out)
            b = uint8_t(rng->bounded(256));
        return rng->bounded(10) == 0 ? int(KXTCP_ERR_BAD_FRAME) : 0;
    };
    Installed installed(hook);
    const int h = openReader(TcpPort);
    std::vector<unsigned char> buffer(KXRDR_EXCHANGE_SIZE + 64);
    for (int i = 0; i < 400; ++i) {
        std::fill(buffer.begin(), buffer.end(), 0xCD);
        int length = 0, a = 0, b = 0, size = 0, rc = 0;
        const unsigned char req[4] = {1, 0, 0, 0};
        switch (i % 7) {
        case 0:
            rc = KXRDR_0x66_ReaderInfo(h, 255, 0, buffer.data(), 0), size = KXRDR_INFO_SIZE;
            break;
        case 1:
            rc = KXRDR_0x80_ReadConfBlock(h, 255, 0x81, buffer.data(), 0), size = 16;
            break;
        case 2:
            rc = KXRDR_0x8A_ReadConfiguration(h, 255, 2, 32, 1, 1, 1, &a, &b, buffer.data());
            size = 18;
            break;
        case 3:
            rc = KXRDR_0x1F_TZDataExchange(h, 255, 5, 0, 5, req, 2, buffer.data(), &length, 0);
            size = KXRDR_EXCHANGE_SIZE;
            break;
        case 4:
            rc = KXRDR_0xB0_ISOCmd(h, 255, req, 2, buffer.data(), &length, 0);
            size = KXRDR_ISO_SIZE;
            break;
        case 5:
            rc = KXRDR_0x9F_Piggyback_Command(h, 255, 0, 0, 0, req, 4, buffer.data(), &length);
            size = KXRDR_PIGGYBACK_SIZE;
            break;
        default:
            rc = KXRDR_0x6E_RdDiag(h, 255, 255, buffer.data());
            size = KXRDR_DIAG_SIZE;
            break;
        }
        QVERIFY(rc >= -9999 && rc <= 255);
        QVERIFY(length >= 0 && length <= size);
        for (int k = size; k < size + 64; ++k)
            QCOMPARE(buffer[std::size_t(k)], uint8_t(0xCD));
    }
    KXRDR_DeleteReader(h);
}

void TestKxrdr::handlesInParallelThreads()
{
    // Each thread its own handle, all at once, with handles coming and going.
    VirtualReader reader{VirtualReaderSetup()};
    Hook hook;
    hook.reader = &reader;
    Installed installed(hook);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures, t] {
            for (int round = 0; round < 50; ++round) {
                const int h = KXRDR_NewReader(t % 2 ? UsbPort : TcpPort);
                unsigned char block[16];
                unsigned char info[KXRDR_INFO_SIZE];
                if (KXRDR_0x66_ReaderInfo(h, 255, 0x80, info, 0) != 0 || info[3] != 0xEE)
                    ++failures;
                if (KXRDR_0x80_ReadConfBlock(h, 255, 0x4C, block, 0) != 0x05)
                    ++failures;
                char text[KXRDR_TEXT_SIZE];
                if (KXRDR_GetLastState(h, text) != 0x05)
                    ++failures; // another thread's answer never lands on this handle
                if (KXRDR_DeleteReader(h) != 0)
                    ++failures;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(hook.calls, 4 * 50 * 2);
}

void TestKxrdr::overTcp()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup());
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    const int port = KXTCP_Connect("127.0.0.1", sim.tcp().port());
    QVERIFY(port > 0);
    QCOMPARE(KXTCP_SetSocketPara(port, "TIMEOUT", "2000"), 0);
    const int h = openReader(port);
    unsigned char info[KXRDR_INFO_SIZE];
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0x80, info, 0), 0);
    QCOMPARE((uint32_t(info[0]) << 24) | (info[1] << 16) | (info[2] << 8) | info[3],
             device->deviceId());
    const auto w = TableFrames::write(sampleTables(500), exchangeOf(h));
    QCOMPARE(w.rc, 0);
    QCOMPARE(device->tables().recordCount(4), 500);
    QCOMPARE(TableFrames::read(4, 11, exchangeOf(h)).count, 500);

    // An access decision, read back as the event reader does it.
    SimDateTime monday;
    monday.year = 2026;
    monday.month = 12;
    monday.day = 7;
    monday.hour = 10;
    device->presentAt({0x04, 0x00, 0x07, 0x5A, 1, 2, 3}, monday, 1);
    std::vector<uint8_t> answer;
    QCOMPARE(exchangeOf(h)(5, 0, 1, {0, 0}, answer), 0);
    QCOMPARE(exchangeOf(h)(5, 0, 5, {0x00, 0xE6}, answer), 0);
    QCOMPARE((answer[1] << 8) | answer[2], 1);
    QCOMPARE(int(answer[6]), 7);        // identifier length behind flags, count and the event head
    QCOMPARE(answer[7 + 7 + 6] & 1, 1); // permitted
    QCOMPARE(exchangeOf(h)(5, 0, 5, {0x00, 0xE6}, answer), KXRDR_STATUS_NO_DATA);

    sim.faults().corruptCrc(1);
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0), int(KXTCP_ERR_BAD_FRAME));
    int code = 0;
    QVERIFY(lastErrorText(h, &code).startsWith(QStringLiteral("TCP")));
    QCOMPARE(code, int(KXTCP_ERR_BAD_FRAME));

    // A reader that stays silent past the time-out.
    QCOMPARE(KXTCP_SetSocketPara(port, "TIMEOUT", "100"), 0);
    sim.faults().setDelayMs(400);
    QCOMPARE(KXRDR_0x63_CPUReset(h, 255), int(KXTCP_ERR_TIMEOUT));
    sim.faults().setDelayMs(0);

    // The port closed under the reader handle.
    KXTCP_DisConnect(port);
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0), int(KXTCP_ERR_UNKNOWN_HANDLE));
    QVERIFY(lastErrorText(h, &code).startsWith(QStringLiteral("TCP")));
    KXRDR_DeleteReader(h);
}

void TestKxrdr::networkChangeOverTcp()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup());
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    int port = KXTCP_Connect("127.0.0.1", sim.tcp().port());
    int h = openReader(port);
    // The network setup's steps: read 41 and 40, put the new port, write, reset.
    unsigned char b40[16], b41[16];
    QCOMPARE(KXRDR_0x80_ReadConfBlock(h, 255, 0x80 | 41, b41, 0), 0);
    QCOMPARE(KXRDR_0x80_ReadConfBlock(h, 255, 0x80 | 40, b40, 0), 0);
    const int next = freePort();
    b40[8] = uint8_t(next >> 8);
    b40[9] = uint8_t(next & 0xFF);
    QCOMPARE(KXRDR_0x81_WriteConfBlock(h, 255, 0x80 | 41, b41, 0), 0);
    QCOMPARE(KXRDR_0x81_WriteConfBlock(h, 255, 0x80 | 40, b40, 0), 0);
    QCOMPARE(KXRDR_0x64_SystemReset(h, 255, 0), 0);
    KXRDR_DeleteReader(h);
    KXTCP_DisConnect(port);
    QCOMPARE(sim.networkChangesApplied(), 1);
    QCOMPARE(int(sim.tcp().port()), next);

    port = KXTCP_Connect("127.0.0.1", next);
    QVERIFY(port > 0);
    h = openReader(port);
    unsigned char info[KXRDR_INFO_SIZE];
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0), 0);
    KXRDR_DeleteReader(h);
    KXTCP_DisConnect(port);
}

void TestKxrdr::dropMidTransferKeepsTables()
{
    auto device = std::make_shared<VirtualReader>(VirtualReaderSetup());
    SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    int port = KXTCP_Connect("127.0.0.1", sim.tcp().port());
    int h = openReader(port);
    QCOMPARE(TableFrames::write(sampleTables(3), exchangeOf(h)).rc, 0);
    const std::string before = device->dumpTables();

    sim.faults().dropAfterFrames(4); // metadata, timezones, holidays, one access frame
    const auto w = TableFrames::write(sampleTables(400), exchangeOf(h));
    QVERIFY(w.rc < 0);
    int code = 0;
    lastErrorText(h, &code);
    QCOMPARE(code, w.rc);
    QCOMPARE(device->dumpTables(), before);
    KXRDR_DeleteReader(h);
    KXTCP_DisConnect(port);

    // A new connection starts the transfer again and it takes effect.
    port = KXTCP_Connect("127.0.0.1", sim.tcp().port());
    h = openReader(port);
    QCOMPARE(TableFrames::write(sampleTables(400), exchangeOf(h)).rc, 0);
    QCOMPARE(device->tables().recordCount(4), 400);
    KXRDR_DeleteReader(h);
    KXTCP_DisConnect(port);
}

void TestKxrdr::overUsbBus()
{
    QTemporaryDir bus;
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(bus.path()));
    VirtualReaderSetup setup;
    setup.type = 82;
    setup.deviceId = 0x00ABCDEF;
    auto device = std::make_shared<VirtualReader>(setup);
    SimReader sim(device);
    QVERIFY(sim.plugUsb(bus.path().toStdString()));
    QVERIFY(KXUSB_Scan(15, 0) >= 1);
    const int port = KXUSB_OpenDevice(0x00ABCDEF);
    QVERIFY(port > 0);
    const int h = openReader(port);
    unsigned char info[KXRDR_INFO_SIZE];
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0), 0);
    QCOMPARE(info[4] + 256 * info[14], 82);
    QCOMPARE(KXRDR_0x66_ReaderInfo(h, 255, 0x50, info, 0), KXRDR_STATUS_NOT_AVAILABLE);
    unsigned char iso[KXRDR_ISO_SIZE];
    const unsigned char inventory[2] = {0x01, 0x00};
    int length = 0;
    QCOMPARE(KXRDR_0xB0_ISOCmd(h, 255, inventory, 2, iso, &length, 0), 0);
    QCOMPARE(length, 1);
    QCOMPARE(iso[0], uint8_t(0)); // empty field
    int dummy = 0;
    QCOMPARE(KXRDR_0x1F_TZDataExchange(h, 255, 5, 0, 1, inventory, 2, iso, &dummy, 0),
             KXRDR_STATUS_NOT_AVAILABLE); // a desk reader holds no tables

    sim.unplugUsb();
    const int rc = KXRDR_0x66_ReaderInfo(h, 255, 0, info, 0);
    QVERIFY(rc < 0);
    int code = 0;
    QVERIFY(lastErrorText(h, &code).startsWith(QStringLiteral("USB")));
    KXRDR_DeleteReader(h);
    KXUSB_CloseDevice(port);
    qunsetenv("KXUSB_BUS_DIR");
}

KX_TEST_MAIN(TestKxrdr)
#include "tst_kxrdr.moc"

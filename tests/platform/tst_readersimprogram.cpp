// Starts the kelvara-reader-sim program itself and talks to its readers over
// TCP, the simulated USB bus, UDP discovery and its control socket, and
// checks that a reader moved by a network setup stays moved across a restart.
#include "kxrdr.h"
#include "kxtcp.h"
#include "kxudp.h"
#include "kxusb.h"

#include "support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <mutex>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kelvara-reader-sim");
}

struct Collector
{
    std::mutex mutex;
    QMap<unsigned, KXUDP_REPORT> found;
    static void callback(void *context, const KXUDP_REPORT *report)
    {
        auto *self = static_cast<Collector *>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        if (report->eventKind == KXUDP_EVENT_NEW)
            self->found.insert(report->deviceId, *report);
    }
    int size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return found.size();
    }
};

int freePort()
{
    return TestSupport::unusedLoopbackPort();
}

} // namespace

class TestReaderSimProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpAndBadOptions_data();
    void helpAndBadOptions();
    void runsFleetAndAnswersEverywhere();

private:
    // Starts the program; fills the TCP endpoints and the UDP address from its output.
    bool start(QProcess &process, const QStringList &arguments);
    QString control(const QString &command, int *exitCode = nullptr);

    QTemporaryDir m_dir;
    QMap<QString, QPair<QString, int>> m_tcp;
    QString m_udp;
};

void TestReaderSimProgram::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(programPath()), qPrintable(programPath()));
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_dir.filePath(QStringLiteral("bus"))));
}

bool TestReaderSimProgram::start(QProcess &process, const QStringList &arguments)
{
    m_tcp.clear();
    m_udp.clear();
    process.setProgram(programPath());
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(10000))
        return false;
    QByteArray output;
    while (!output.contains("ready\n")) {
        if (!process.waitForReadyRead(10000))
            return false;
        output += process.readAllStandardOutput();
    }
    static const QRegularExpression reader(
        QStringLiteral("^reader (\\w+) .* tcp (?:([\\d.]+):(\\d+)|-) "));
    for (const QString &line : QString::fromLatin1(output).split(QLatin1Char('\n'))) {
        const auto match = reader.match(line);
        if (match.hasMatch() && !match.captured(2).isEmpty())
            m_tcp.insert(match.captured(1), {match.captured(2), match.captured(3).toInt()});
        if (line.startsWith(QLatin1String("udp ")))
            m_udp = line.mid(4);
    }
    return true;
}

QString TestReaderSimProgram::control(const QString &command, int *exitCode)
{
    QProcess client;
    client.start(programPath(), QStringList{QStringLiteral("--ctl"), QStringLiteral("--control"),
                                            m_dir.filePath(QStringLiteral("ctl"))} +
                                    command.split(QLatin1Char(' ')));
    client.waitForFinished(20000);
    if (exitCode)
        *exitCode = client.exitCode();
    return QString::fromLatin1(client.readAllStandardOutput());
}

void TestReaderSimProgram::helpAndBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("Control commands");
    QTest::newRow("no readers") << QStringList() << 2 << QStringLiteral("no readers");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--frobnicate")} << 2 << QStringLiteral("unknown option");
    QTest::newRow("tcp outside loopback")
        << QStringList{QStringLiteral("--reader"), QStringLiteral("tcp=192.0.2.1:10001")} << 1
        << QStringLiteral("loopback");
    QTest::newRow("unknown reader type")
        << QStringList{QStringLiteral("--reader"), QStringLiteral("type=999")} << 1
        << QStringLiteral("bad value for type");
    QTest::newRow("udp outside loopback")
        << QStringList{QStringLiteral("--udp"), QStringLiteral("192.0.2.1:10002"),
                       QStringLiteral("--reader"), QStringLiteral("id=1")}
        << 1 << QStringLiteral("loopback");
}

void TestReaderSimProgram::helpAndBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);
    QProcess process;
    process.start(programPath(), arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), exitCode);
    const QString output =
        QString::fromLatin1(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(output.contains(expected), qPrintable(output));
}

void TestReaderSimProgram::runsFleetAndAnswersEverywhere()
{
    const QString fleetPath = m_dir.filePath(QStringLiteral("fleet.txt"));
    QFile fleet(fleetPath);
    QVERIFY(fleet.open(QIODevice::WriteOnly));
    fleet.write("# two readers of the plant\n"
                "udp 127.0.0.1:0\n"
                "state-root " +
                QFile::encodeName(m_dir.filePath(QStringLiteral("state"))) +
                "\n"
                "usb-bus " +
                QFile::encodeName(m_dir.filePath(QStringLiteral("bus"))) +
                "\n"
                "type=100,id=00A00001,tcp=0,usb   # the door\n"
                "type=863,id=00A00002,tcp=127.0.0.1:0\n");
    fleet.close();
    const QStringList arguments{QStringLiteral("--fleet"), fleetPath, QStringLiteral("--control"),
                                m_dir.filePath(QStringLiteral("ctl"))};
    QProcess process;
    QVERIFY(start(process, arguments));
    QCOMPARE(m_tcp.size(), 2);
    QVERIFY(!m_udp.isEmpty());

    // TCP: the long-range reader tells its device ID.
    const auto gate = m_tcp.value(QStringLiteral("00A00002"));
    int port = KXTCP_Connect(gate.first.toLatin1().constData(), gate.second);
    QVERIFY2(port > 0, qPrintable(QString::number(port)));
    int reader = KXRDR_NewReader(port);
    unsigned char info[KXRDR_INFO_SIZE];
    QCOMPARE(KXRDR_0x66_ReaderInfo(reader, 255, 0x80, info, 0), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(info), 4), QByteArray::fromHex("00A00002"));

    // Control socket: a transport fault takes effect on the open link.
    QCOMPARE(control(QStringLiteral("00A00002 fault drop 0")), QStringLiteral("OK\n"));
    QCOMPARE(KXRDR_0x66_ReaderInfo(reader, 255, 0x80, info, 0), KXTCP_ERR_LINK_LOST);
    KXRDR_DeleteReader(reader);
    KXTCP_DisConnect(port);

    // USB: only the door is on the bus, under its type's name.
    QCOMPARE(KXUSB_Scan(15, 0), 1);
    char text[1024];
    QCOMPARE(KXUSB_GetScanListPara(0, "Device-ID", text), 0);
    QCOMPARE(QByteArray(text), QByteArray("00A00001"));
    QCOMPARE(KXUSB_GetScanListPara(0, "DeviceName", text), 0);
    QCOMPARE(QByteArray(text), QByteArray("ID TZ60"));
    const int usb = KXUSB_OpenDevice(0x00A00001);
    QVERIFY(usb > 0);
    reader = KXRDR_NewReader(usb);
    QCOMPARE(KXRDR_0x66_ReaderInfo(reader, 255, 0, info, 0), 0);
    KXRDR_DeleteReader(reader);
    KXUSB_CloseDevice(usb);

    // UDP: both readers are discovered with the addresses they listen on.
    qputenv("KXUDP_TARGET", m_udp.toLatin1());
    Collector collector;
    KXUDP_DISCOVER_PARA para{&Collector::callback, &collector, 50, 2000};
    QCOMPARE(KXUDP_Discover(KXUDP_START, "127.0.0.1", &para), 0);
    QTRY_COMPARE(collector.size(), 2);
    QCOMPARE(KXUDP_Discover(KXUDP_STOP, "127.0.0.1", nullptr), 0);
    const KXUDP_REPORT door = collector.found.value(0x00A00001);
    QCOMPARE(int(door.port), m_tcp.value(QStringLiteral("00A00001")).second);
    QCOMPARE(QByteArray(door.ip), QByteArray("127.0.0.1"));

    // Access decisions and events through the control socket.
    QString answer =
        control(QStringLiteral("00A00001 present 0102030405060708 at 2026-12-07T10:00"));
    QVERIFY2(answer.startsWith(QLatin1String("OK denied")), qPrintable(answer));
    answer = control(QStringLiteral("00A00001 dump events"));
    QVERIFY2(answer.contains(QLatin1String("0102030405060708")), qPrintable(answer));
    int exitCode = 0;
    answer = control(QStringLiteral("0BADBAD0 present 01"), &exitCode);
    QVERIFY(answer.startsWith(QLatin1String("ERROR ")));
    QCOMPARE(exitCode, 1);

    // A network setup moves the gate to another port; it keeps it across a restart.
    const int newPort = freePort();
    KXUDP_SETUP setup;
    std::memset(&setup, 0, sizeof setup);
    setup.readerType = 863;
    setup.deviceId = 0x00A00002;
    std::snprintf(setup.mac, sizeof setup.mac, "%s", collector.found.value(0x00A00002).mac);
    setup.networkFlags = 3;
    setup.validFlags = KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC | KXUDP_VALID_PORT;
    setup.port = unsigned(newPort);
    QCOMPARE(KXUDP_Setup("127.0.0.1", &setup), 0);
    QTRY_VERIFY(KXTCP_Connect("127.0.0.1", gate.second) == KXTCP_ERR_REFUSED);

    QCOMPARE(control(QStringLiteral("quit")), QStringLiteral("OK\n"));
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    // Gone from the bus and the control socket with the program.
    QCOMPARE(KXUSB_Scan(15, 0), 0);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("ctl"))));

    QProcess again;
    QVERIFY(start(again, arguments));
    QCOMPARE(m_tcp.value(QStringLiteral("00A00002")).second, newPort);
    port = KXTCP_Connect("127.0.0.1", newPort);
    QVERIFY(port > 0);
    KXTCP_DisConnect(port);
    again.terminate(); // SIGTERM ends it as cleanly as "quit"
    QVERIFY(again.waitForFinished(20000));
    QCOMPARE(again.exitCode(), 0);
    QCOMPARE(KXUSB_Scan(15, 0), 0);
}

KX_TEST_MAIN(TestReaderSimProgram)
#include "tst_readersimprogram.moc"

// Reader descriptions, fleet files and the control commands of the
// simulator, in-process; and the control socket surviving bad clients.
#include "kxusb.h"
#include "simcontrolserver.h"
#include "simfleet.h"

#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestSimFleet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readerOptionLists_data();
    void readerOptionLists();
    void fleetFileErrors_data();
    void fleetFileErrors();
    void controlCommands_data();
    void controlCommands();
    void controlSocketSurvivesBadClients();
    void stateRootKeepsTheReadersPort();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSimFleet::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_dir->filePath(QStringLiteral("bus"))));
}

void TestSimFleet::readerOptionLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("tcpPort");
    QTest::newRow("defaults") << QString() << true << 100 << QStringLiteral("02-4B-00-C0-FF-EE")
                              << -1;
    QTest::newRow("full") << QStringLiteral(
                                 "type=863, id=12ab, mac=00:11:22:33:44:55, tcp=127.0.0.2:0, usb, "
                                 "udp=no, firmware=2.1.0, hardware=3, bus=7, maxframe=512")
                          << true << 863 << QStringLiteral("00-11-22-33-44-55") << 0;
    QTest::newRow("port only") << QStringLiteral("id=7,tcp=10001") << true << 100
                               << QStringLiteral("02-4B-00-00-00-07") << 10001;
    QTest::newRow("unknown key") << QStringLiteral("colour=red") << false << 0 << QString() << -1;
    QTest::newRow("unknown type") << QStringLiteral("type=999") << false << 0 << QString() << -1;
    QTest::newRow("device id zero") << QStringLiteral("id=0") << false << 0 << QString() << -1;
    QTest::newRow("device id too long")
        << QStringLiteral("id=123456789") << false << 0 << QString() << -1;
    QTest::newRow("tcp outside loopback")
        << QStringLiteral("tcp=192.168.3.10:10001") << false << 0 << QString() << -1;
    QTest::newRow("tcp port too large")
        << QStringLiteral("tcp=70000") << false << 0 << QString() << -1;
    QTest::newRow("firmware in two parts")
        << QStringLiteral("firmware=1.2") << false << 0 << QString() << -1;
    QTest::newRow("mac too short")
        << QStringLiteral("mac=00-11-22") << false << 0 << QString() << -1;
    QTest::newRow("usb maybe") << QStringLiteral("usb=maybe") << false << 0 << QString() << -1;
}

void TestSimFleet::readerOptionLists()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, type);
    QFETCH(QString, mac);
    QFETCH(int, tcpPort);
    kxsim::SimReaderOptions options;
    std::string error;
    QCOMPARE(kxsim::parseReaderOptions(text.toStdString(), options, error), valid);
    if (!valid) {
        QVERIFY(!error.empty());
        return;
    }
    QCOMPARE(options.setup.type, type);
    QCOMPARE(QString::fromStdString(options.setup.mac), mac);
    QCOMPARE(options.tcp, tcpPort >= 0);
    if (tcpPort >= 0)
        QCOMPARE(int(options.tcpPort), tcpPort);
}

void TestSimFleet::fleetFileErrors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bad line number") << QByteArray("# plant\nid=1,tcp=0\n\nid=2,type=1\n")
                                     << QStringLiteral(":4: bad value for type");
    QTest::newRow("same id twice")
        << QByteArray("id=5\nid=5\n") << QStringLiteral(":2: device ID used twice");
    QTest::newRow("udp without port")
        << QByteArray("udp 127.0.0.1\n") << QStringLiteral(":1: udp needs HOST:PORT");
    QTest::newRow("udp outside loopback")
        << QByteArray("udp 192.0.2.1:10002\n") << QStringLiteral("not a loopback");
    QTest::newRow("option without value")
        << QByteArray("usb-bus\n") << QStringLiteral("needs one value");
}

void TestSimFleet::fleetFileErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const QString path = m_dir->filePath(QStringLiteral("fleet.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    kxsim::SimFleet fleet;
    std::string error;
    QVERIFY(!fleet.loadFleetFile(path.toStdString(), error));
    QVERIFY2(QString::fromStdString(error).contains(expected), error.c_str());
    QVERIFY(!fleet.loadFleetFile(m_dir->filePath(QStringLiteral("missing")).toStdString(), error));
}

void TestSimFleet::controlCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("list") << QStringLiteral("list")
                          << QStringLiteral("OK\nreader 00000001 type 101");
    QTest::newRow("help") << QStringLiteral("help") << QStringLiteral("OK\nhelp | list | quit");
    QTest::newRow("empty") << QStringLiteral("   ") << QStringLiteral("ERROR");
    QTest::newRow("unknown verb") << QStringLiteral("frobnicate") << QStringLiteral("ERROR");
    QTest::newRow("reader without command") << QStringLiteral("1") << QStringLiteral("ERROR");
    QTest::newRow("unknown reader")
        << QStringLiteral("0F present 01") << QStringLiteral("ERROR no reader");
    QTest::newRow("drop fault") << QStringLiteral("1 fault drop 3") << QStringLiteral("OK");
    QTest::newRow("drop fault not a number")
        << QStringLiteral("1 fault drop x") << QStringLiteral("ERROR usage");
    QTest::newRow("crc on every answer")
        << QStringLiteral("1 fault crc -1") << QStringLiteral("OK");
    QTest::newRow("negative delay")
        << QStringLiteral("1 fault delay -5") << QStringLiteral("ERROR usage");
    QTest::newRow("faults cleared") << QStringLiteral("1 fault clear") << QStringLiteral("OK");
    QTest::newRow("unplug") << QStringLiteral("1 unplug") << QStringLiteral("OK");
    QTest::newRow("silent badly") << QStringLiteral("1 silent maybe") << QStringLiteral("ERROR");
    QTest::newRow("reader's clock") << QStringLiteral("00000001 clock") << QStringLiteral("OK 20");
    QTest::newRow("reader's own error")
        << QStringLiteral("1 tag place 9 zz") << QStringLiteral("ERROR");
    QTest::newRow("quit") << QStringLiteral("quit") << QStringLiteral("OK");
}

void TestSimFleet::controlCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    kxsim::SimFleet fleet;
    kxsim::SimReaderOptions options;
    std::string error;
    QVERIFY(kxsim::parseReaderOptions("type=101,id=1,tcp=0,usb", options, error));
    QVERIFY2(fleet.addReader(options, error), error.c_str());
    bool quit = false;
    const QString answer = QString::fromStdString(fleet.execute(command.toStdString(), quit));
    QVERIFY2(answer.startsWith(expected), qPrintable(answer));
    QCOMPARE(quit, command == QLatin1String("quit"));
    if (command.endsWith(QLatin1String("unplug"))) {
        QCOMPARE(KXUSB_Scan(15, 0), 0);
        QVERIFY(fleet.execute("1 plug", quit).rfind("OK", 0) == 0);
        QCOMPARE(KXUSB_Scan(15, 0), 1);
    }
}

void TestSimFleet::controlSocketSurvivesBadClients()
{
    kxsim::SimFleet fleet;
    kxsim::SimReaderOptions options;
    std::string error;
    QVERIFY(kxsim::parseReaderOptions("id=1", options, error));
    QVERIFY(fleet.addReader(options, error));
    kxsim::SimControlServer server(fleet);
    const std::string path = m_dir->filePath(QStringLiteral("ctl")).toStdString();
    QVERIFY2(server.start(path, error), error.c_str());
    std::string answer;
    QVERIFY(kxsim::SimControlServer::send(path, "list", answer));
    QVERIFY(answer.rfind("OK\nreader 00000001", 0) == 0);

    // A second simulator may not take over a socket that answers.
    kxsim::SimControlServer second(fleet);
    QVERIFY(!second.start(path, error));

    // A line without end: refused, and the server goes on.
    QVERIFY(!kxsim::SimControlServer::send(path, std::string(10000, 'x'), answer) ||
            answer.rfind("ERROR", 0) == 0);
    // Raw bytes, then the client vanishes.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    const char noise[] = "\x01\x02\xff\xfe 1 fault";
    ::send(fd, noise, sizeof noise, MSG_NOSIGNAL);
    ::close(fd);
    QVERIFY(kxsim::SimControlServer::send(path, "1 info", answer));
    QVERIFY2(answer.rfind("OK", 0) == 0, answer.c_str());
    server.stop();
    QVERIFY(!QFileInfo::exists(QString::fromStdString(path)));
    QVERIFY(!kxsim::SimControlServer::send(path, "list", answer));
}

void TestSimFleet::stateRootKeepsTheReadersPort()
{
    const std::string root = m_dir->filePath(QStringLiteral("state")).toStdString();
    kxsim::SimReaderOptions options;
    std::string error;
    QVERIFY(kxsim::parseReaderOptions("id=42,tcp=0", options, error));
    uint16_t first = 0;
    {
        kxsim::SimFleet fleet;
        fleet.setStateRoot(root);
        QVERIFY2(fleet.addReader(options, error), error.c_str());
        first = fleet.find(0x42)->tcp().port();
        // A fresh reader takes the port it was given (here any free one), not its factory port.
        QVERIFY(first != 10001);
        QCOMPARE(fleet.find(0x42)->device().networkConfig().port, first);
    }
    QVERIFY(QFileInfo::exists(QString::fromStdString(root + "/00000042")));
    kxsim::SimFleet again;
    again.setStateRoot(root);
    QVERIFY2(again.addReader(options, error), error.c_str());
    QCOMPARE(again.find(0x42)->tcp().port(), first);
}

KX_TEST_MAIN(TestSimFleet)
#include "tst_simfleet.moc"

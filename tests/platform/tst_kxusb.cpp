// The USB transport over the simulated bus: scanning, plugging and
// unplugging readers, opening by device ID and first-found, and the failure
// paths of every operation.
#include "echodevice.h"
#include "kxport.h"
#include "kxusb.h"
#include "kxusbbus.h"
#include "simreader.h"

#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::unique_ptr<kxsim::SimReader> attach(uint32_t id, const std::string &name, bool plug = true)
{
    auto reader = std::make_unique<kxsim::SimReader>(std::make_shared<EchoDevice>(id, 100, name));
    if (plug && !reader->plugUsb())
        qWarning("plug failed: %s", reader->lastError().c_str());
    return reader;
}

QString scanPara(int index, const char *name)
{
    char text[1024];
    std::memset(text, 0, sizeof text);
    const int result = KXUSB_GetScanListPara(index, name, text);
    return result == 0 ? QString::fromLatin1(text) : QStringLiteral("error %1").arg(result);
}

int exchange(int handle, uint8_t value)
{
    uint8_t status = 0;
    uint8_t answer[8];
    int length = 0;
    const int result = kxusb_transceive(handle, 255, EchoDevice::Echo, &value, 1, &status, answer,
                                        int(sizeof answer), &length);
    if (result == 0 && (length != 1 || answer[0] != value))
        return 1;
    return result;
}

} // namespace

class TestKxUsb : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyBus();
    void scanListsAttachedReaders();
    void openByDeviceId();
    void scanAndOpenTakesTheFirst();
    void unplugBetweenScans();
    void unplugWhileOpen();
    void leftoverSocketIsNotAReader();
    void sameIdTwiceIsRefused();
    void busFolderMustBeARealFolder();
    void badCalls_data();
    void badCalls();
    void timeoutParameter();
    void errorTexts();

private:
    std::unique_ptr<QTemporaryDir> m_bus;
};

void TestKxUsb::init()
{
    // A fresh bus per test, never the user's own.
    m_bus = std::make_unique<QTemporaryDir>();
    QVERIFY(m_bus->isValid());
    qputenv("KXUSB_BUS_DIR", m_bus->path().toLocal8Bit());
}

void TestKxUsb::emptyBus()
{
    QCOMPARE(KXUSB_Scan(15, 0), 0);
    QCOMPARE(KXUSB_GetScanListSize(), 0);
    QCOMPARE(KXUSB_ScanAndOpen(1, 0), KXUSB_ERR_NO_READER_FOUND);
    // A bus folder that does not exist yet is an empty bus, not an error.
    qputenv("KXUSB_BUS_DIR", QByteArray(m_bus->path().toLocal8Bit() + "/not-yet"));
    QCOMPARE(KXUSB_Scan(15, 0), 0);
}

void TestKxUsb::scanListsAttachedReaders()
{
    auto a = attach(0x0012AB34, "TZ60");
    auto b = attach(0x00000007, "TZU300");
    QCOMPARE(KXUSB_Scan(15, 0), 2);
    QCOMPARE(KXUSB_GetScanListSize(), 2);
    QCOMPARE(scanPara(0, "Device-ID"), QStringLiteral("00000007"));
    QCOMPARE(scanPara(0, "DeviceName"), QStringLiteral("TZU300"));
    QCOMPARE(scanPara(1, "Device-ID"), QStringLiteral("0012AB34"));
    QCOMPARE(scanPara(1, "DeviceName"), QStringLiteral("TZ60"));
    QCOMPARE(scanPara(2, "Device-ID"), QStringLiteral("error %1").arg(KXUSB_ERR_INDEX));
    QCOMPARE(scanPara(-1, "Device-ID"), QStringLiteral("error %1").arg(KXUSB_ERR_INDEX));
    QCOMPARE(scanPara(0, "Serial"), QStringLiteral("error %1").arg(KXUSB_ERR_BAD_PARAMETER));
}

void TestKxUsb::openByDeviceId()
{
    auto a = attach(0x0012AB34, "TZ60");
    auto b = attach(0xFFFFFFFE, "TZU700");
    const int handle = KXUSB_OpenDevice(0xFFFFFFFE);
    QVERIFY2(handle > 0, qPrintable(QString::number(handle)));
    QCOMPARE(handle & 0x30000000, KXPORT_USB_BIT);
    QCOMPARE(exchange(handle, 0x42), 0);
    QCOMPARE(static_cast<EchoDevice &>(b->device()).frames(), 1);
    QCOMPARE(static_cast<EchoDevice &>(a->device()).frames(), 0);
    QCOMPARE(KXUSB_OpenDevice(0x0BADBAD0), KXUSB_ERR_NO_DEVICE);
    QCOMPARE(KXUSB_CloseDevice(handle), 0);
    QCOMPARE(KXUSB_CloseDevice(handle), KXUSB_ERR_UNKNOWN_HANDLE);
    QCOMPARE(exchange(handle, 1), KXUSB_ERR_UNKNOWN_HANDLE);
}

void TestKxUsb::scanAndOpenTakesTheFirst()
{
    auto a = attach(0x30, "TZ60");
    auto b = attach(0x20, "TZ60");
    const int handle = KXUSB_ScanAndOpen(1, 0);
    QVERIFY(handle > 0);
    QCOMPARE(exchange(handle, 9), 0);
    QCOMPARE(static_cast<EchoDevice &>(b->device()).frames(), 1);
    KXUSB_CloseDevice(handle);
}

void TestKxUsb::unplugBetweenScans()
{
    auto a = attach(0x11, "TZ60");
    auto b = attach(0x22, "TZ60");
    QCOMPARE(KXUSB_Scan(15, 0), 2);
    b->unplugUsb();
    QCOMPARE(KXUSB_Scan(15, 0), 1);
    QCOMPARE(scanPara(0, "Device-ID"), QStringLiteral("00000011"));
    QCOMPARE(KXUSB_OpenDevice(0x22), KXUSB_ERR_NO_DEVICE);
    // Plugged in again, it is found again.
    QVERIFY(b->plugUsb());
    QCOMPARE(KXUSB_Scan(15, 0), 2);
}

void TestKxUsb::unplugWhileOpen()
{
    auto a = attach(0x11, "TZ60");
    const int handle = KXUSB_OpenDevice(0x11);
    QVERIFY(handle > 0);
    QCOMPARE(exchange(handle, 1), 0);
    a->unplugUsb();
    QCOMPARE(exchange(handle, 2), KXUSB_ERR_LINK_LOST);
    QCOMPARE(KXUSB_CloseDevice(handle), 0);
}

void TestKxUsb::leftoverSocketIsNotAReader()
{
    // A socket file whose process is gone (bound, never listening, closed).
    const std::string path = kxwire::usbSocketPath(kxwire::usbBusDir(), 0x0000DEAD);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(QString::fromStdString(path)));
    // Ordinary files with device-like names are no readers either.
    QFile plain(m_bus->filePath(QStringLiteral("0000BEEF")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QCOMPARE(KXUSB_Scan(15, 0), 0);
    QCOMPARE(KXUSB_OpenDevice(0xDEAD), KXUSB_ERR_NO_DEVICE);
    // A reader with that ID may take the place over.
    auto reader = attach(0xDEAD, "TZ60");
    QVERIFY(reader->usb().isPlugged());
    QCOMPARE(KXUSB_Scan(15, 0), 1);
}

void TestKxUsb::sameIdTwiceIsRefused()
{
    auto a = attach(0x77, "TZ60");
    auto b = attach(0x77, "TZ60", false);
    QVERIFY(!b->plugUsb());
    QVERIFY(a->usb().isPlugged());
    QCOMPARE(KXUSB_Scan(15, 0), 1);
}

void TestKxUsb::busFolderMustBeARealFolder()
{
    // A link planted where the bus should be is not followed.
    QTemporaryDir elsewhere;
    const QString link = m_bus->filePath(QStringLiteral("planted"));
    QVERIFY(QFile::link(elsewhere.path(), link));
    auto reader = attach(0x99, "TZ60", false);
    QVERIFY(!reader->plugUsb(QFile::encodeName(link).toStdString()));
    QVERIFY(QString::fromStdString(reader->lastError()).contains(QLatin1String("not a folder")));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void TestKxUsb::badCalls_data()
{
    QTest::addColumn<int>("handle");
    QTest::newRow("never opened") << (KXPORT_USB_BIT | 12345);
    QTest::newRow("tcp bit") << (KXPORT_TCP_BIT | 1);
    QTest::newRow("negative") << -1;
    QTest::newRow("zero") << 0;
}

void TestKxUsb::badCalls()
{
    QFETCH(int, handle);
    QCOMPARE(KXUSB_CloseDevice(handle), KXUSB_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXUSB_SetDevicePara(handle, "TIMEOUT", "5000"), KXUSB_ERR_UNKNOWN_HANDLE);
    QCOMPARE(exchange(handle, 0), KXUSB_ERR_UNKNOWN_HANDLE);
    QCOMPARE(KXUSB_GetScanListPara(0, nullptr, nullptr), KXUSB_ERR_BAD_ARGUMENT);
}

void TestKxUsb::timeoutParameter()
{
    auto a = attach(0x11, "TZ60");
    const int handle = KXUSB_OpenDevice(0x11);
    QVERIFY(handle > 0);
    QCOMPARE(KXUSB_SetDevicePara(handle, "TIMEOUT", "100"), 0);
    QCOMPARE(KXUSB_SetDevicePara(handle, "TIMEOUT", "abc"), KXUSB_ERR_BAD_PARAMETER);
    QCOMPARE(KXUSB_SetDevicePara(handle, "SPEED", "100"), KXUSB_ERR_BAD_PARAMETER);
    a->faults().setDelayMs(400);
    QCOMPARE(exchange(handle, 1), KXUSB_ERR_TIMEOUT);
    a->faults().setDelayMs(0);
    QCOMPARE(KXUSB_SetDevicePara(handle, "TIMEOUT", "3000"), 0);
    QCOMPARE(exchange(handle, 2), 0);
    KXUSB_CloseDevice(handle);
}

void TestKxUsb::errorTexts()
{
    char text[1024];
    for (int code : {KXUSB_ERR_UNKNOWN_HANDLE, KXUSB_ERR_BAD_ARGUMENT, KXUSB_ERR_NO_DEVICE,
                     KXUSB_ERR_NO_READER_FOUND, KXUSB_ERR_BUS, KXUSB_ERR_INDEX, KXUSB_ERR_TIMEOUT,
                     KXUSB_ERR_LINK_LOST, KXUSB_ERR_BAD_FRAME, KXUSB_ERR_ANSWER_TOO_LONG,
                     KXUSB_ERR_BAD_PARAMETER, KXUSB_ERR_NO_RESOURCES}) {
        QCOMPARE(KXUSB_GetErrorText(code, text), 0);
        QVERIFY(std::strncmp(text, "USB: ", 5) == 0);
    }
    QVERIFY(KXUSB_GetErrorText(-99999, text) < 0);
}

KX_TEST_MAIN(TestKxUsb)
#include "tst_kxusb.moc"

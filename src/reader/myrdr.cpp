#include "reader/myrdr.h"

#include "core/errortext.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "reader/readertypes.h"

#include <kxrdr.h>
#include <kxtcp.h>
#include <kxusb.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <QThread>

namespace {

// Key of block 62 of the keyed memory cards that carry a serial number.
const quint8 kSerialBlockKey[6] = {0x4B, 0x76, 0x61, 0x53, 0x4E, 0x72};

bool loopbackOnly()
{
    return qgetenv("KX_LOOPBACK_ONLY") == "1";
}

QString textOf(const char *buffer)
{
    return QString::fromLocal8Bit(buffer);
}

} // namespace

MyRdr::MyRdr(const ReaderSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    m_connection.timeoutMs = 5000;
}

MyRdr::~MyRdr()
{
    closeConnection();
}

void MyRdr::run(int command, const ReaderConnection &connection, const QString &payload)
{
    // The running command owns the fields.
    if (m_command != 0)
        return;
    m_connection = connection;
    m_payload = payload;
    m_command = command;
    switch (command) {
    case TestConnection:
        testConnection();
        break;
    case CpuReset:
        cpuResetCommand();
        break;
    case SetDateTime:
        setDateTimeCommand();
        break;
    default:
        runClassCommand(command);
        break;
    }
    m_command = 0;
}

void MyRdr::runTestConnection(const ReaderConnection &connection)
{
    run(TestConnection, connection);
}

void MyRdr::runCpuReset(const ReaderConnection &connection)
{
    run(CpuReset, connection);
}

void MyRdr::runSetDateTime(const ReaderConnection &connection)
{
    run(SetDateTime, connection);
}

void MyRdr::sleepMs(int ms)
{
    QThread::msleep(ulong(ms));
}

QString MyRdr::describeError(const QString &text) const
{
    return QStringLiteral("%1: %2").arg(text, errorText(result()));
}

QString MyRdr::firmwareText(quint8 major, quint8 minor, quint8 patch)
{
    return QStringLiteral("%1.%2.%3")
        .arg(uint(major), 2, 10, QLatin1Char('0'))
        .arg(uint(minor), 2, 10, QLatin1Char('0'))
        .arg(uint(patch), 2, 10, QLatin1Char('0'));
}

QString MyRdr::readerLogFilePath(const QString &projectPath, const QString &logKey)
{
    // Without an open project (the general settings at the first start) there
    // is no log folder; a relative or root path must not be made one.
    if (projectPath.isEmpty())
        return QString();
    const QString folder = entryLogPath(projectPath, logKey);
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(QStringLiteral("%1/%2").arg(folder, dailyLogFileName()));
}

bool MyRdr::runClassCommand(int)
{
    return false;
}

void MyRdr::buildLogPath()
{
    m_logFilePath = readerLogFilePath(m_settings.project.projectPath, m_connection.logKey);
}

void MyRdr::log(const QString &line) const
{
    if (!m_logFilePath.isEmpty())
        LogFile::appendLine(m_logFilePath, line);
}

void MyRdr::logSkippedSettings() const
{
    for (const ReaderConfiguration::Setting &s : m_config.skipped())
        log(QStringLiteral("Setting skipped, value not readable or out of range: %1=%2")
                .arg(s.first, s.second));
}

bool MyRdr::openConnection()
{
    clearError();
    m_connectFailed = false;
    buildLogPath();
    // A handle left over from an earlier command is not reused.
    closeConnection();
    char text[KXRDR_TEXT_SIZE] = {0};
    const QByteArray timeout = QByteArray::number(m_connection.timeoutMs);
    switch (m_connection.kind()) {
    case ReaderConnection::UsbCable:
        if (m_connection.deviceId != 0) {
            KXUSB_Scan(15, 0);
            m_portHandle = KXUSB_OpenDevice(m_connection.deviceId);
        } else {
            m_portHandle = KXUSB_ScanAndOpen(1, 0);
        }
        if (m_portHandle < 0) {
            const int code = m_portHandle;
            m_portHandle = -1;
            KXUSB_GetErrorText(code, text);
            setError(code, textOf(text));
            m_connectFailed = true;
            return false;
        }
        KXUSB_SetDevicePara(m_portHandle, "TIMEOUT", timeout.constData());
        break;
    case ReaderConnection::Tcp:
        m_portHandle =
            KXTCP_Connect(m_connection.host.toLatin1().constData(), int(m_connection.tcpPort()));
        if (m_portHandle < 0) {
            const int code = m_portHandle;
            m_portHandle = -1;
            KXTCP_GetErrorText(code, text);
            setError(code, textOf(text));
            m_connectFailed = true;
            return false;
        }
        KXTCP_SetSocketPara(m_portHandle, "TIMEOUT", timeout.constData());
        break;
    default:
        m_portHandle = -1;
        return false;
    }
    m_readerHandle = KXRDR_NewReader(m_portHandle);
    if (m_readerHandle < 0) {
        collectError();
        if (m_errorCode == 0)
            setError(m_readerHandle, QString());
        m_connectFailed = true;
        // The port is ours; the failed reader handle is not.
        m_readerHandle = -1;
        closeConnection();
        return false;
    }
    if (m_logFilePath.isEmpty()) {
        KXRDR_SetReaderPara(m_readerHandle, "LOGFILE", "0");
    } else {
        KXRDR_SetReaderPara(m_readerHandle, "LOGFILENAME", m_logFilePath.toLocal8Bit().constData());
        KXRDR_SetReaderPara(m_readerHandle, "LOGFILE", "1");
    }
    KXRDR_SetReaderPara(m_readerHandle, "FRAMESUPPORT", "ADVANCED");
    return true;
}

void MyRdr::closeConnection()
{
    if (m_portHandle >= 0) {
        if (m_portHandle & 0x10000000)
            KXUSB_CloseDevice(m_portHandle);
        else if (m_portHandle & 0x20000000)
            KXTCP_DisConnect(m_portHandle);
        m_portHandle = -1;
    }
    if (m_readerHandle >= 0) {
        KXRDR_DeleteReader(m_readerHandle);
        m_readerHandle = -1;
    }
}

void MyRdr::collectError()
{
    char text[KXRDR_TEXT_SIZE] = {0};
    int code = 0;
    KXRDR_GetLastError(m_readerHandle, &code, text);
    if (code < 0) {
        setError(code, textOf(text));
        return;
    }
    char state[KXRDR_TEXT_SIZE] = {0};
    const int status = KXRDR_GetLastState(m_readerHandle, state);
    setError(status, status > 0 ? textOf(state) : QString());
}

bool MyRdr::collectOk()
{
    collectError();
    return m_errorCode == 0;
}

void MyRdr::setError(qint32 code, const QString &text)
{
    m_errorCode = code;
    m_errorText = text;
}

void MyRdr::clearError()
{
    setError(0, QString());
}

void MyRdr::testConnection()
{
    clearError();
    m_connectFailed = false;
    switch (m_connection.kind()) {
    case ReaderConnection::UsbCable:
        if (openConnection())
            QThread::msleep(100);
        closeConnection();
        break;
    case ReaderConnection::Tcp: {
        QHostAddress address;
        if (!address.setAddress(m_connection.host) ||
            address.protocol() != QAbstractSocket::IPv4Protocol) {
            address.clear();
            // Looking a name up asks the resolver, which may sit off this
            // machine; under the loopback guard only "localhost" is looked up.
            const bool mayResolve =
                !loopbackOnly() ||
                m_connection.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
                QHostAddress(m_connection.host).isLoopback();
            if (mayResolve) {
                const QHostInfo info = QHostInfo::fromName(m_connection.host);
                if (!info.addresses().isEmpty())
                    address = info.addresses().first();
            }
        }
        if (address.isNull() || (loopbackOnly() && !address.isLoopback())) {
            m_connectFailed = true;
            break;
        }
        QTcpSocket socket;
        socket.connectToHost(address, m_connection.tcpPort());
        if (!socket.waitForConnected(m_connection.timeoutMs)) {
            m_connectFailed = true;
            break;
        }
        QThread::msleep(100);
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(1000);
        break;
    }
    default:
        break;
    }
}

void MyRdr::cpuResetCommand()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** CPU Reset ***"));
    cpuReset();
    closeConnection();
}

void MyRdr::setDateTimeCommand()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Set Date and Time ***"));
    if (confirmReader(m_connection.readerType))
        setDateTime();
    closeConnection();
}

bool MyRdr::setDateTime()
{
    // The site's wall clock, whatever zone this computer runs in.
    const QDateTime now = m_settings.project.siteNow();
    const QDate d = now.date();
    const QTime t = now.time();
    KXRDR_0x87_SetSystemDate(m_readerHandle, BusAddress, quint8(d.year() / 100),
                             quint8(d.year() % 100), quint8(d.month()), quint8(d.day()), 0,
                             quint8(t.hour()), quint8(t.minute()),
                             uint(t.second() * 1000 + t.msec()));
    return collectOk();
}

bool MyRdr::collectOk(int result)
{
    if (!collectOk())
        return false;
    if (result != 0) {
        setError(result, QString());
        return false;
    }
    return true;
}

void MyRdr::readInFreshField(const std::function<void()> &read)
{
    if (!rfOnOff(0) || !rfOnOff(129))
        return;
    sleepMs(220);
    read();
    const ErrorInfo readResult = result();
    rfOnOff(1);
    if (!readResult.ok())
        setError(readResult.code, readResult.detail);
}

void MyRdr::readTagCommand(const std::function<void()> &steps)
{
    m_transponder = TransponderIdd();
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Tag ***"));
    steps();
    closeConnection();
}

bool MyRdr::readInfoMode(quint8 mode, QByteArray *info)
{
    QByteArray buffer(KXRDR_INFO_SIZE, '\0');
    const int rc = KXRDR_0x66_ReaderInfo(m_readerHandle, BusAddress, mode,
                                         reinterpret_cast<unsigned char *>(buffer.data()), 0);
    if (!collectOk(rc))
        return false;
    *info = buffer;
    return true;
}

bool MyRdr::readReaderInfo()
{
    QByteArray info;
    if (!readInfoMode(0, &info))
        return false;
    const auto at = [&info](int i) { return quint8(info.at(i)); };
    m_readerTypeCode = at(4) + 256 * at(14);
    m_hardwareByte = at(3);
    m_firmwareVersion = firmwareText(at(0), at(1), at(2));
    if (!readInfoMode(0x80, &info))
        return false;
    m_readerDeviceId =
        (quint32(at(0)) << 24) | (quint32(at(1)) << 16) | (quint32(at(2)) << 8) | quint32(at(3));
    return true;
}

bool MyRdr::confirmReader(int expectedType)
{
    if (!readReaderInfo())
        return false;
    const quint32 expectedId = m_connection.deviceId;
    if ((expectedId == 0 || m_readerDeviceId == expectedId) &&
        (expectedType == 0 || m_readerTypeCode == expectedType))
        return true;
    const auto idText = [](quint32 id) {
        return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')).toUpper();
    };
    const QString address =
        m_connection.kind() == ReaderConnection::Tcp
            ? QStringLiteral("%1:%2").arg(m_connection.host).arg(m_connection.tcpPort())
            : QCoreApplication::translate("ConnectionText", "USB cable");
    setError(ErrorInfo::ReaderObjectError,
             QCoreApplication::translate(
                 "MyRdr", "Wrong reader: the reader at %1 is %2 (device ID %3), but the entry "
                          "names %4 (device ID %5). Addresses swapped or reader replaced? "
                          "Nothing was sent to it.")
                 .arg(address, ReaderTypes::readerTypeName(m_readerTypeCode),
                      idText(m_readerDeviceId),
                      ReaderTypes::readerTypeName(expectedType ? expectedType : m_readerTypeCode),
                      expectedId ? idText(expectedId) : idText(m_readerDeviceId)));
    log(m_errorText);
    return false;
}

bool MyRdr::resetBlock(int address)
{
    KXRDR_0x83_ResetConfBlock(m_readerHandle, BusAddress, quint8(address));
    return collectOk();
}

bool MyRdr::resetConfiguration(bool perBlock)
{
    if (!perBlock)
        return resetBlock(0xC0);
    static const int blocks[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 14, 15, 16};
    for (int b : blocks) {
        if (!resetBlock(b | 0x80))
            return false;
    }
    return resetBlock(0xAF);
}

bool MyRdr::readBlocks(const QList<int> &blocks)
{
    for (int b : blocks) {
        QByteArray buffer(KXRDR_BLOCK_SIZE, '\0');
        m_config.setBlock(b, buffer);
        KXRDR_0x80_ReadConfBlock(m_readerHandle, BusAddress, quint8(b | 0x80),
                                 reinterpret_cast<unsigned char *>(buffer.data()), 0);
        if (!collectOk())
            return false;
        m_config.setBlock(b, buffer);
    }
    return true;
}

bool MyRdr::writeBlocks(const QList<int> &blocks)
{
    for (int b : blocks) {
        const QByteArray image = m_config.block(b);
        KXRDR_0x81_WriteConfBlock(m_readerHandle, BusAddress, quint8(b | 0x80),
                                  reinterpret_cast<const unsigned char *>(image.constData()), 0);
        if (!collectOk())
            return false;
    }
    return true;
}

bool MyRdr::readRegionBytes(quint8 *region0, quint8 *region1)
{
    unsigned char buffer[2 + KXRDR_BLOCK_SIZE] = {0};
    int blocksRead = 0, bytesRead = 0;
    const int rc = KXRDR_0x8A_ReadConfiguration(m_readerHandle, BusAddress, 2, 32, 1, 1, 1,
                                                &blocksRead, &bytesRead, buffer);
    if (!collectOk(rc))
        return false;
    *region0 = buffer[2];
    *region1 = buffer[3];
    return true;
}

bool MyRdr::cpuReset()
{
    KXRDR_0x63_CPUReset(m_readerHandle, BusAddress);
    return collectOk();
}

void MyRdr::writeTagReaderConfiguration(int readerType)
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Write Tag Reader Configuration ***"));
    m_config.clear();
    const QList<int> blocks = ReaderConfiguration::tagReaderBlocks(readerType);
    const bool longRange = readerType == ReaderTypes::TZU700 || readerType == ReaderTypes::TZU300;
    quint8 region0 = 0, region1 = 0;
    const bool ok = resetConfiguration(readerType == ReaderTypes::TZ60) && readBlocks(blocks) &&
                    (!longRange || readRegionBytes(&region0, &region1));
    if (ok) {
        m_config.applyTagReader(readerType, m_settings.project.supportIso15693,
                                m_settings.uhfRegion, region0, region1);
        if (writeBlocks(blocks))
            cpuReset();
    }
    closeConnection();
}

bool MyRdr::rfOnOff(quint8 flags)
{
    KXRDR_0x6A_RFOnOff(m_readerHandle, BusAddress, flags);
    return collectOk();
}

bool MyRdr::isoCommand(int which, const QByteArray &request, QByteArray *answer)
{
    QByteArray buffer(KXRDR_ISO_SIZE, '\0');
    int length = 0;
    const auto *req = reinterpret_cast<const unsigned char *>(request.constData());
    auto *resp = reinterpret_cast<unsigned char *>(buffer.data());
    if (which == 0xB2)
        KXRDR_0xB2_ISOCmd(m_readerHandle, BusAddress, req, request.size(), resp, &length, 0);
    else
        KXRDR_0xB0_ISOCmd(m_readerHandle, BusAddress, req, request.size(), resp, &length, 0);
    if (!collectOk())
        return false;
    answer->clear();
    if (length > 0)
        *answer = buffer.left(qMin(length, int(KXRDR_ISO_SIZE)));
    return true;
}

bool MyRdr::inventory(bool longRange, bool iso15693Accepted)
{
    m_transponder = TransponderIdd();
    QByteArray answer;
    if (!isoCommand(0xB0, QByteArray("\x01\x00", 2), &answer))
        return false;
    const auto fail = [this](const char *text) {
        setError(ErrorInfo::ReaderObjectError, QCoreApplication::translate("MyRdr", text));
        m_transponder = TransponderIdd();
        return false;
    };
    if (answer.isEmpty())
        return fail(QT_TRANSLATE_NOOP("MyRdr", "Response length error"));
    const int count = quint8(answer.at(0));
    if (count == 0)
        return fail(QT_TRANSLATE_NOOP("MyRdr", "No tag error"));
    if (count > 1)
        return fail(QT_TRANSLATE_NOOP("MyRdr", "Mulitple tags error"));
    if (answer.size() < 2)
        return fail(QT_TRANSLATE_NOOP("MyRdr", "Response length error"));
    const int type = quint8(answer.at(1));
    QByteArray idd;
    if (longRange) {
        if (answer.size() < 4 || answer.size() != quint8(answer.at(3)) + 4)
            return fail(QT_TRANSLATE_NOOP("MyRdr", "Response length error"));
        idd = answer.mid(4);
        if (idd.isEmpty())
            return fail(QT_TRANSLATE_NOOP("MyRdr", "Response length error"));
        m_transponder = TransponderIdd(idd, type);
        return true;
    }
    if (type == TransponderIdd::Iso15693 && iso15693Accepted)
        idd = answer.mid(3);
    else if (type == TransponderIdd::Iso14443A)
        idd = answer.mid(4);
    else
        return fail(QT_TRANSLATE_NOOP("MyRdr", "Unsupported tag error"));
    // An answer cut before the identifier carries none.
    if (idd.isEmpty())
        return fail(QT_TRANSLATE_NOOP("MyRdr", "Response length error"));
    m_transponder = TransponderIdd(idd, type);
    return true;
}

bool MyRdr::readSerialNumber()
{
    if (m_transponder.type() != TransponderIdd::Iso14443A)
        return true;
    const QByteArray idd = m_transponder.bytes();
    QByteArray select("\x25\x21", 2);
    select.append(char(idd.size()));
    select.append(idd);
    QByteArray answer;
    if (!isoCommand(0xB0, select, &answer))
        return false;
    const int family = answer.isEmpty() ? 0 : quint8(answer.at(0));
    quint64 serial = 0;
    if (family == 1) {
        unsigned char response[KXRDR_ISO_SIZE];
        int length = 0;
        const unsigned char selectApp[] = {0, 254, 0, 0};
        KXRDR_0xC3_DESFireCmd(m_readerHandle, BusAddress, 90, 0, selectApp, 4, response, &length,
                              0);
        if (!collectOk()) {
            // A card without the application simply has no serial number.
            clearError();
        } else {
            const unsigned char readFile[] = {1, 1, 0, 0, 0, 0, 3, 0, 0};
            length = 0;
            KXRDR_0xC3_DESFireCmd(m_readerHandle, BusAddress, 189, 0, readFile, 9, response,
                                  &length, 0);
            if (!collectOk())
                return false;
            if (length < 3) {
                setError(ErrorInfo::ReaderObjectError,
                         QCoreApplication::translate("MyRdr", "Response length error"));
                return false;
            }
            serial = (quint64(response[0]) << 16) | (quint64(response[1]) << 8) | response[2];
        }
    } else if (family == 3) {
        QByteArray auth("\xB0\x0A", 2);
        auth.append(char(62));
        auth.append(char(0));
        auth.append(reinterpret_cast<const char *>(kSerialBlockKey), 6);
        QByteArray ignored;
        if (!isoCommand(0xB2, auth, &ignored)) {
            clearError();
        } else {
            QByteArray block;
            if (!isoCommand(0xB0, QByteArray("\x23\x02\x3E\x01", 4), &block))
                return false;
            if (block.size() < 5) {
                setError(ErrorInfo::ReaderObjectError,
                         QCoreApplication::translate("MyRdr", "Response length error"));
                return false;
            }
            for (int i = 0; i < 5; ++i)
                serial |= quint64(quint8(block.at(block.size() - 5 + i))) << (8 * i);
        }
    }
    m_transponder.setSerialNumber(serial);
    return true;
}

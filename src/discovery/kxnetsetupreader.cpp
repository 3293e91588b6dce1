#include "discovery/kxnetsetupreader.h"

#include "discovery/kxdiscoverudp.h"
#include "discovery/kxnetaddress.h"
#include "reader/readertypes.h"

#include <kxrdr.h>
#include <kxtcp.h>
#include <kxusb.h>

#include <QCoreApplication>

namespace {

QHostAddress addressAt(const QByteArray &block, int offset)
{
    const auto at = [&block, offset](int i) { return quint32(quint8(block.at(offset + i))); };
    return QHostAddress((at(0) << 24) | (at(1) << 16) | (at(2) << 8) | at(3));
}

void putAddress(QByteArray *block, int offset, const QHostAddress &address)
{
    const quint32 a = address.toIPv4Address();
    for (int i = 0; i < 4; ++i)
        (*block)[offset + i] = char(quint8(a >> (24 - 8 * i)));
}

} // namespace

KxNetSetupReader::KxNetSetupReader(QObject *parent) : QObject(parent) {}

KxNetSetupReader::~KxNetSetupReader()
{
    closeConnection();
}

void KxNetSetupReader::setConnection(const QString &host, int port, quint32 deviceId, int timeoutMs)
{
    m_host = host;
    m_port = port;
    m_deviceId = deviceId;
    m_timeoutMs = timeoutMs;
}

ErrorInfo KxNetSetupReader::execute(int command)
{
    // The running command owns the fields.
    if (m_command != 0)
        return ErrorInfo(ErrorInfo::ReaderObjectError,
                         QCoreApplication::translate("KxNetSetupReader", "The reader is busy"));
    m_command = command;
    run();
    m_command = 0;
    return result();
}

bool KxNetSetupReader::hasNetworkBlocks(int readerType)
{
    return readerType == ReaderTypes::TZ60 || readerType == ReaderTypes::TZU700 ||
           readerType == ReaderTypes::TZU300;
}

void KxNetSetupReader::run()
{
    m_errorCode = 0;
    m_errorText.clear();
    switch (m_command) {
    case Identify:
    case ReadMac:
    case ReadNetConfig:
    case WriteNetConfig:
        break;
    case UdpSetup:
        udpSetup();
        return;
    default:
        return;
    }
    if (!openConnection())
        return;
    switch (m_command) {
    case Identify:
        identify();
        break;
    case ReadMac: {
        QByteArray info;
        if (readInfo(0x50, &info, true))
            m_config.mac = m_errorCode == 0
                               ? QString::fromLatin1(info.mid(1, 6).toHex(':').toUpper())
                               : QString();
        m_errorCode = 0;
        m_errorText.clear();
        break;
    }
    case ReadNetConfig:
        readNetConfig();
        break;
    case WriteNetConfig:
        writeNetConfig();
        break;
    }
    closeConnection();
}

bool KxNetSetupReader::openConnection()
{
    closeConnection();
    if (m_host.isEmpty() && (m_deviceId == 0 || m_deviceId == 0xFFFFFFFFu)) {
        // An address field that did not read as an address leaves no host behind.
        setError(ErrorInfo::ReaderObjectError,
                 QCoreApplication::translate("KxNetSetupReader",
                                             "No valid IP address or host name is given"));
        return false;
    }
    char text[KXRDR_TEXT_SIZE] = {0};
    const QByteArray timeout = QByteArray::number(m_timeoutMs);
    if (!m_host.isEmpty()) {
        m_portHandle = KXTCP_Connect(m_host.toLatin1().constData(), m_port);
        if (m_portHandle < 0) {
            const int code = m_portHandle;
            m_portHandle = -1;
            KXTCP_GetErrorText(code, text);
            setError(code, QString::fromLocal8Bit(text));
            return false;
        }
        KXTCP_SetSocketPara(m_portHandle, "TIMEOUT", timeout.constData());
    } else {
        m_portHandle = KXUSB_OpenDevice(m_deviceId);
        if (m_portHandle < 0) {
            const int code = m_portHandle;
            m_portHandle = -1;
            KXUSB_GetErrorText(code, text);
            setError(code, QString::fromLocal8Bit(text));
            return false;
        }
        KXUSB_SetDevicePara(m_portHandle, "TIMEOUT", timeout.constData());
    }
    m_readerHandle = KXRDR_NewReader(m_portHandle);
    if (m_readerHandle < 0) {
        int code = 0;
        KXRDR_GetLastError(m_readerHandle, &code, text);
        setError(code != 0 ? code : m_readerHandle, QString::fromLocal8Bit(text));
        m_readerHandle = -1;
        closeConnection();
        return false;
    }
    return true;
}

void KxNetSetupReader::closeConnection()
{
    if (m_readerHandle >= 0) {
        KXRDR_DeleteReader(m_readerHandle);
        m_readerHandle = -1;
    }
    if (m_portHandle >= 0) {
        if (m_portHandle & 0x10000000)
            KXUSB_CloseDevice(m_portHandle);
        else if (m_portHandle & 0x20000000)
            KXTCP_DisConnect(m_portHandle);
        m_portHandle = -1;
    }
}

void KxNetSetupReader::setError(qint32 code, const QString &text)
{
    m_errorCode = code;
    m_errorText = text;
}

bool KxNetSetupReader::collectOk(int result)
{
    char text[KXRDR_TEXT_SIZE] = {0};
    int code = 0;
    KXRDR_GetLastError(m_readerHandle, &code, text);
    if (code < 0) {
        setError(code, QString::fromLocal8Bit(text));
        return false;
    }
    const int status = KXRDR_GetLastState(m_readerHandle, text);
    if (status > 0) {
        setError(status, QString::fromLocal8Bit(text));
        return false;
    }
    if (result != 0) {
        char resultText[KXRDR_TEXT_SIZE] = {0};
        KXRDR_GetErrorText(result, resultText);
        setError(result, QString::fromLocal8Bit(resultText));
        return false;
    }
    return true;
}

bool KxNetSetupReader::readInfo(quint8 mode, QByteArray *info, bool positiveStatusIsOk)
{
    QByteArray buffer(KXRDR_INFO_SIZE, '\0');
    const int rc = KXRDR_0x66_ReaderInfo(m_readerHandle, BusAddress, mode,
                                         reinterpret_cast<unsigned char *>(buffer.data()), 0);
    if (!collectOk(rc)) {
        // A reader without a LAN interface answers the MAC request with a status.
        if (!(positiveStatusIsOk && m_errorCode > 0))
            return false;
    }
    *info = buffer;
    return true;
}

bool KxNetSetupReader::identify()
{
    m_config = KxNetConfig();
    QByteArray info;
    if (!readInfo(0, &info))
        return false;
    m_config.readerType = quint8(info.at(14)) * 256 + quint8(info.at(4));
    if (!readInfo(0x80, &info))
        return false;
    m_config.deviceId = (quint32(quint8(info.at(0))) << 24) | (quint32(quint8(info.at(1))) << 16) |
                        (quint32(quint8(info.at(2))) << 8) | quint32(quint8(info.at(3)));
    if (!readInfo(0x50, &info, true))
        return false;
    if (m_errorCode == 0)
        m_config.mac = QString::fromLatin1(info.mid(1, 6).toHex(':').toUpper());
    setError(0, QString());
    return true;
}

bool KxNetSetupReader::readBlock(int number, QByteArray *block)
{
    QByteArray buffer(KXRDR_BLOCK_SIZE, '\0');
    const int rc = KXRDR_0x80_ReadConfBlock(m_readerHandle, BusAddress, quint8(number | 0x80),
                                            reinterpret_cast<unsigned char *>(buffer.data()), 0);
    if (!collectOk(rc))
        return false;
    *block = buffer;
    return true;
}

bool KxNetSetupReader::writeBlock(int number, const QByteArray &block)
{
    const int rc =
        KXRDR_0x81_WriteConfBlock(m_readerHandle, BusAddress, quint8(number | 0x80),
                                  reinterpret_cast<const unsigned char *>(block.constData()), 0);
    return collectOk(rc);
}

void KxNetSetupReader::readFromBlocks(const QByteArray &block40, const QByteArray &block41,
                                      KxNetConfig *config)
{
    config->ip = addressAt(block40, 0);
    config->port = quint8(block40.at(8)) * 256 + quint8(block40.at(9));
    config->netmask = addressAt(block41, 0);
    config->dhcp = quint8(block41.at(4)) & 0x80;
    config->gateway = addressAt(block41, 6);
}

void KxNetSetupReader::applyToBlocks(const KxNetConfig &config, QByteArray *block40,
                                     QByteArray *block41)
{
    if (block40) {
        if (KxNetAddress::isIpv4(config.ip))
            putAddress(block40, 0, config.ip);
        if (config.port >= 1 && config.port <= 65535) {
            (*block40)[8] = char(quint8(config.port >> 8));
            (*block40)[9] = char(quint8(config.port));
        }
    }
    if (KxNetAddress::isIpv4(config.netmask))
        putAddress(block41, 0, config.netmask);
    if (KxNetAddress::isIpv4(config.gateway))
        putAddress(block41, 6, config.gateway);
    const quint8 flags = quint8(block41->at(4));
    (*block41)[4] = char(config.dhcp ? (flags | 0x80) : (flags & 0x7F));
}

void KxNetSetupReader::readNetConfig()
{
    if (!identify())
        return;
    if (!hasNetworkBlocks(m_config.readerType)) {
        setError(UnsupportedType,
                 QCoreApplication::translate("KxNetSetupReader", "Unsupported reader type"));
        return;
    }
    QByteArray block40, block41;
    if (!readBlock(NetworkBlock, &block40) || !readBlock(MaskBlock, &block41))
        return;
    readFromBlocks(block40, block41, &m_config);
}

void KxNetSetupReader::writeNetConfig()
{
    const KxNetConfig wanted = m_config;
    // The type comes from the reader itself, not from what the caller assumed.
    if (!identify())
        return;
    const KxNetConfig identified = m_config;
    m_config = wanted;
    m_config.readerType = identified.readerType;
    if (!hasNetworkBlocks(identified.readerType)) {
        setError(UnsupportedType,
                 QCoreApplication::translate("KxNetSetupReader", "Unsupported reader type"));
        return;
    }
    const bool ipPart =
        KxNetAddress::isIpv4(wanted.ip) || (wanted.port >= 1 && wanted.port <= 65535);
    QByteArray block40, block41;
    if (!readBlock(MaskBlock, &block41))
        return;
    if (ipPart && !readBlock(NetworkBlock, &block40))
        return;
    applyToBlocks(wanted, ipPart ? &block40 : nullptr, &block41);
    if (!writeBlock(MaskBlock, block41))
        return;
    if (ipPart && !writeBlock(NetworkBlock, block40))
        return;
    const int rc = KXRDR_0x64_SystemReset(m_readerHandle, BusAddress, 0);
    collectOk(rc);
}

void KxNetSetupReader::udpSetup()
{
    const ErrorInfo e = KxDiscoverUdp::setupReader(m_interfaceAddress, m_config);
    setError(e.code, e.detail);
}

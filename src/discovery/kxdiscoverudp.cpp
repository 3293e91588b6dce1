#include "discovery/kxdiscoverudp.h"

#include "discovery/kxnetaddress.h"

#include <kxudp.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QMutexLocker>

#include <cstring>

namespace {

QString fieldText(const char *text, std::size_t size)
{
    return QString::fromLatin1(text, int(strnlen(text, size)));
}

QHostAddress fieldAddress(const char *text, std::size_t size)
{
    return KxNetAddress::parseIpv4(fieldText(text, size));
}

void copyField(char *out, std::size_t size, const QString &text)
{
    const QByteArray bytes = text.toLatin1().left(int(size) - 1);
    std::memset(out, 0, size);
    std::memcpy(out, bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

KxDiscoverUdp::KxDiscoverUdp(const QSet<int> &filter, QObject *parent)
    : QObject(parent), m_filter(filter)
{
}

KxDiscoverUdp::~KxDiscoverUdp()
{
    stop();
}

int KxDiscoverUdp::start(const QString &interfaceAddress)
{
    stop();
    m_address = interfaceAddress;
    m_errorCode = 0;
    m_errorText.clear();
    QHostAddress address;
    if (!address.setAddress(interfaceAddress) ||
        address.protocol() != QAbstractSocket::IPv4Protocol) {
        m_errorCode = NotIpv4Error;
        m_errorText = libraryErrorText(m_errorCode);
        return m_errorCode;
    }
    KXUDP_DISCOVER_PARA para;
    para.callback = &KxDiscoverUdp::reportCallback;
    para.context = this;
    para.requestIntervalMs = RequestIntervalMs;
    para.goneTimeoutMs = GoneTimeoutMs;
    const int rc = KXUDP_Discover(KXUDP_START, m_address.toLatin1().constData(), &para);
    if (rc != 0) {
        m_errorCode = rc;
        m_errorText = libraryErrorText(rc);
        m_running = false;
        return rc;
    }
    m_running = true;
    return 0;
}

void KxDiscoverUdp::stop()
{
    if (!m_running)
        return;
    KXUDP_Discover(KXUDP_STOP, m_address.toLatin1().constData(), nullptr);
    m_running = false;
}

bool KxDiscoverUdp::setFilter(const QSet<int> &filter)
{
    if (m_running)
        return false;
    m_filter = filter;
    return true;
}

bool KxDiscoverUdp::takeNext(KxLanReaderRecord *record)
{
    QMutexLocker lock(&m_mutex);
    if (m_pending.isEmpty())
        return false;
    *record = m_pending.takeFirst();
    return true;
}

void KxDiscoverUdp::clearPending()
{
    QMutexLocker lock(&m_mutex);
    m_pending.clear();
}

bool KxDiscoverUdp::recordFromReport(const KXUDP_REPORT *report, KxLanReaderRecord *record)
{
    if (!report || !(report->validFlags & KXUDP_VALID_DEVICE_ID) ||
        report->eventKind < KXUDP_EVENT_NEW || report->eventKind > KXUDP_EVENT_CHANGED)
        return false;
    KxLanReaderRecord r;
    r.eventKind = report->eventKind;
    r.readerType = report->readerType;
    r.marker = report->marker;
    r.networkFlags = report->networkFlags;
    r.validFlags = report->validFlags;
    r.deviceId = report->deviceId;
    if (r.validFlags & KXUDP_VALID_MAC)
        r.mac =
            fieldText(report->mac, sizeof report->mac).replace(QLatin1Char('-'), QLatin1Char(':'));
    if (r.validFlags & KXUDP_VALID_IP)
        r.ip = fieldAddress(report->ip, sizeof report->ip);
    if (r.validFlags & KXUDP_VALID_NETMASK)
        r.netmask = fieldAddress(report->netmask, sizeof report->netmask);
    if (r.validFlags & KXUDP_VALID_GATEWAY)
        r.gateway = fieldAddress(report->gateway, sizeof report->gateway);
    if (r.validFlags & KXUDP_VALID_PORT)
        r.port = quint16(report->port);
    if (r.validFlags & KXUDP_VALID_TEXT1)
        r.text1 = fieldText(report->text1, sizeof report->text1);
    if (r.validFlags & KXUDP_VALID_TEXT2)
        r.text2 = fieldText(report->text2, sizeof report->text2);
    // An address field that does not read as IPv4 counts as not reported.
    if (r.ip.isNull())
        r.validFlags &= ~quint32(KXUDP_VALID_IP);
    if (r.netmask.isNull())
        r.validFlags &= ~quint32(KXUDP_VALID_NETMASK);
    if (r.gateway.isNull())
        r.validFlags &= ~quint32(KXUDP_VALID_GATEWAY);
    *record = r;
    return true;
}

void KxDiscoverUdp::reportCallback(void *context, const KXUDP_REPORT *report)
{
    static_cast<KxDiscoverUdp *>(context)->report(report);
}

void KxDiscoverUdp::report(const KXUDP_REPORT *report)
{
    KxLanReaderRecord record;
    if (!recordFromReport(report, &record))
        return;
    // A gone report names only the device; the table drops whatever it shows for it.
    if (record.eventKind != KxLanReaderRecord::Gone && !m_filter.isEmpty() &&
        !m_filter.contains(int(record.readerType)))
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_pending.append(record);
    }
    emit newDiscoverItem();
}

ErrorInfo KxDiscoverUdp::setupReader(const QString &interfaceAddress, const KxNetConfig &config)
{
    KXUDP_SETUP setup;
    std::memset(&setup, 0, sizeof setup);
    setup.readerType = uint(config.readerType);
    setup.deviceId = config.deviceId;
    copyField(setup.mac, sizeof setup.mac,
              QString(config.mac).replace(QLatin1Char(':'), QLatin1Char('-')));
    setup.networkFlags = config.dhcp ? 131 : 3;
    setup.validFlags = KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC;
    const auto put = [&setup](const QHostAddress &address, char *field, std::size_t size,
                              unsigned bit) {
        if (address.isNull())
            return true;
        if (!KxNetAddress::isIpv4(address))
            return false;
        copyField(field, size, address.toString());
        setup.validFlags |= bit;
        return true;
    };
    if (!put(config.ip, setup.ip, sizeof setup.ip, KXUDP_VALID_IP) ||
        !put(config.netmask, setup.netmask, sizeof setup.netmask, KXUDP_VALID_NETMASK) ||
        !put(config.gateway, setup.gateway, sizeof setup.gateway, KXUDP_VALID_GATEWAY))
        return ErrorInfo(NotIpv4Error, libraryErrorText(NotIpv4Error));
    if (config.port > 0) {
        setup.port = uint(config.port);
        setup.validFlags |= KXUDP_VALID_PORT;
    }
    QHostAddress local;
    if (!interfaceAddress.isEmpty() &&
        (!local.setAddress(interfaceAddress) || local.protocol() != QAbstractSocket::IPv4Protocol))
        return ErrorInfo(NotIpv4Error, libraryErrorText(NotIpv4Error));
    const int rc = KXUDP_Setup(
        interfaceAddress.isEmpty() ? nullptr : interfaceAddress.toLatin1().constData(), &setup);
    return rc == 0 ? ErrorInfo() : ErrorInfo(rc, libraryErrorText(rc));
}

QString KxDiscoverUdp::libraryErrorText(int code)
{
    if (code == NotIpv4Error)
        return QCoreApplication::translate("KxDiscoverUdp", "The address is not an IPv4 address");
    char text[1024] = {0};
    KXUDP_GetErrorText(code, text);
    return QString::fromLocal8Bit(text);
}

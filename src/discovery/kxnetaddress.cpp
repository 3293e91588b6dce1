#include "discovery/kxnetaddress.h"

#include <QStringList>

namespace KxNetAddress {

QString normalizedIpv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QString();
    QStringList numbers;
    for (const QString &part : parts) {
        const QString digits = part.trimmed();
        if (digits.isEmpty() || digits.size() > 3)
            return QString();
        for (const QChar c : digits) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QString();
        }
        const uint n = digits.toUInt();
        if (n > 255)
            return QString();
        numbers << QString::number(n);
    }
    return numbers.join(QLatin1Char('.'));
}

QHostAddress parseIpv4(const QString &text)
{
    const QString normalized = normalizedIpv4(text);
    return normalized.isEmpty() ? QHostAddress() : QHostAddress(normalized);
}

bool isIpv4(const QHostAddress &address)
{
    return !address.isNull() && address.protocol() == QAbstractSocket::IPv4Protocol;
}

QString paddedIpv4(const QHostAddress &address)
{
    if (!isIpv4(address))
        return QString();
    const quint32 a = address.toIPv4Address();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(a >> 24, 3, 10, QLatin1Char('0'))
        .arg((a >> 16) & 0xFF, 3, 10, QLatin1Char('0'))
        .arg((a >> 8) & 0xFF, 3, 10, QLatin1Char('0'))
        .arg(a & 0xFF, 3, 10, QLatin1Char('0'));
}

bool isContiguousMask(quint32 mask)
{
    // Inverted, a contiguous mask is 2^n - 1, so adding one leaves no bit shared.
    const quint32 inverted = ~mask;
    return (inverted & (inverted + 1)) == 0;
}

int prefixLength(quint32 mask)
{
    int n = 0;
    for (quint32 m = mask; m & 0x80000000u; m <<= 1)
        ++n;
    return n;
}

bool sameSubnet(quint32 a, quint32 b, quint32 mask)
{
    return (a & mask) == (b & mask);
}

} // namespace KxNetAddress

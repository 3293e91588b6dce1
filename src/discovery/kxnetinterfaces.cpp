#include "discovery/kxnetinterfaces.h"

#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>

namespace KxNetInterfaces {

QList<Row> select(const QList<Candidate> &candidates, bool includeLoopback)
{
    QList<Row> rows;
    for (const Candidate &c : candidates) {
        if (!c.up || !c.ipv4 || (c.loopback && !includeLoopback))
            continue;
        if (c.humanName.contains(QLatin1String("VMware"), Qt::CaseInsensitive) ||
            c.humanName.contains(QLatin1String("VMnet"), Qt::CaseInsensitive))
            continue;
        rows << Row{c.ip, c.netmask, c.hardwareAddress, c.name};
    }
    return rows;
}

QList<Candidate> systemCandidates()
{
    QList<Candidate> list;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &nif : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = nif.flags();
        const QList<QNetworkAddressEntry> entries = nif.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            Candidate c;
            c.humanName = nif.humanReadableName();
            c.name = nif.name();
            c.hardwareAddress = nif.hardwareAddress();
            c.up = flags.testFlag(QNetworkInterface::IsUp);
            c.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
            c.ipv4 = entry.ip().protocol() == QAbstractSocket::IPv4Protocol;
            c.ip = entry.ip().toString();
            c.netmask = entry.netmask().toString();
            list << c;
        }
    }
    return list;
}

bool discoveryTargetsLoopback()
{
    const QString target = QString::fromLocal8Bit(qgetenv("KXUDP_TARGET"));
    const int colon = target.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const QString host = target.left(colon);
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

} // namespace KxNetInterfaces

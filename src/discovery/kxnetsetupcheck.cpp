#include "discovery/kxnetsetupcheck.h"

#include "discovery/kxnetaddress.h"

#include <QCoreApplication>

namespace KxNetSetupCheck {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("KxNetSetupCheck", text);
}

using KxNetAddress::isIpv4;

QString subnetText(quint32 ip, quint32 mask)
{
    return QStringLiteral("%1/%2")
        .arg(QHostAddress(ip & mask).toString())
        .arg(KxNetAddress::prefixLength(mask));
}

} // namespace

QList<Finding> check(const KxNetConfig &current, const KxNetConfig &requested,
                     const Context &context)
{
    QList<Finding> findings;
    if (requested.port == 0 || requested.port > 65535)
        findings << Finding{true, tr("The port %1 cannot be used; a reader listens on a port "
                                     "from 1 to 65535.")
                                      .arg(requested.port)};

    const bool newMask = isIpv4(requested.netmask);
    if (newMask && (!KxNetAddress::isContiguousMask(requested.netmask.toIPv4Address()) ||
                    requested.netmask.toIPv4Address() == 0))
        findings << Finding{true, tr("The net mask %1 is not contiguous: its one bits must all "
                                     "stand on the left (for example 255.255.255.0).")
                                      .arg(requested.netmask.toString())};

    const QHostAddress ip = isIpv4(requested.ip) ? requested.ip : current.ip;
    const QHostAddress mask = newMask ? requested.netmask : current.netmask;
    const QHostAddress gateway = isIpv4(requested.gateway) ? requested.gateway : current.gateway;
    const bool maskUsable = isIpv4(mask) && KxNetAddress::isContiguousMask(mask.toIPv4Address()) &&
                            mask.toIPv4Address() != 0;

    if (isIpv4(requested.ip)) {
        const quint32 a = requested.ip.toIPv4Address();
        const bool special = a == 0 || a == 0xFFFFFFFFu || (a >> 28) == 0xE;
        bool edge = false;
        if (maskUsable && KxNetAddress::prefixLength(mask.toIPv4Address()) < 31) {
            const quint32 m = mask.toIPv4Address();
            edge = (a & ~m) == 0 || (a & ~m) == ~m;
        }
        if (special || edge)
            findings << Finding{true, tr("The IP address %1 cannot be given to a reader (it is "
                                         "not a host address of its subnet).")
                                          .arg(requested.ip.toString())};
        if (isIpv4(context.interfaceIp) && isIpv4(context.interfaceMask) &&
            !KxNetAddress::sameSubnet(a, context.interfaceIp.toIPv4Address(),
                                      context.interfaceMask.toIPv4Address()))
            findings << Finding{false,
                                tr("The IP address %1 is outside the subnet %2 of the chosen "
                                   "interface; this computer will not reach the reader there.")
                                    .arg(requested.ip.toString(),
                                         subnetText(context.interfaceIp.toIPv4Address(),
                                                    context.interfaceMask.toIPv4Address()))};
        if (requested.ip != current.ip) {
            for (const QHostAddress &used : context.addressesInUse) {
                if (used == requested.ip) {
                    findings << Finding{false, tr("The IP address %1 already answers the "
                                                  "discovery: another reader uses it.")
                                                   .arg(requested.ip.toString())};
                    break;
                }
            }
        }
    }

    const bool addressChanged = isIpv4(requested.ip) || newMask || isIpv4(requested.gateway);
    if (addressChanged && maskUsable && isIpv4(ip) && isIpv4(gateway) &&
        gateway.toIPv4Address() != 0 &&
        !KxNetAddress::sameSubnet(ip.toIPv4Address(), gateway.toIPv4Address(),
                                  mask.toIPv4Address())) {
        const QString reason =
            tr("The gateway %1 is outside the reader's subnet %2; the reader "
               "could not reach it.")
                .arg(gateway.toString(), subnetText(ip.toIPv4Address(), mask.toIPv4Address()));
        // A typed gateway that cannot work is refused; one kept from before is asked about.
        findings << Finding{isIpv4(requested.gateway), reason};
    }
    return findings;
}

bool refuses(const QList<Finding> &findings)
{
    for (const Finding &f : findings) {
        if (f.refuse)
            return true;
    }
    return false;
}

} // namespace KxNetSetupCheck

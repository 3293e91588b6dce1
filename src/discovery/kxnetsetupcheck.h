#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QHostAddress>
#include <QList>
#include <QString>

// Looks at a network setup before it is sent: values that cannot work are
// refused, values that would most likely cut the reader off are asked about.
namespace KxNetSetupCheck {

struct Finding
{
    bool refuse = false;
    QString reason;
};

struct Context
{
    // The interface the discovery runs on (LAN route); null when there is none.
    QHostAddress interfaceIp;
    QHostAddress interfaceMask;
    // Addresses that answer the discovery, other than the reader's own.
    QList<QHostAddress> addressesInUse;
};

// current: what the reader holds; requested: the setup (null addresses and
// port -1 keep the reader's value).
QList<Finding> check(const KxNetConfig &current, const KxNetConfig &requested,
                     const Context &context = Context());
bool refuses(const QList<Finding> &findings);

} // namespace KxNetSetupCheck

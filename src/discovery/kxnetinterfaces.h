#pragma once

#include <QList>
#include <QString>

// The computer's IPv4 interfaces a discovery may run on. Listing them sends nothing.
namespace KxNetInterfaces {

// What the listing needs to know of one interface address.
struct Candidate
{
    QString humanName;
    QString name;
    QString hardwareAddress;
    bool up = false;
    bool loopback = false;
    bool ipv4 = false;
    QString ip;
    QString netmask;
};

struct Row
{
    QString ip;
    QString netmask;
    QString mac;
    QString name;
};

// Up, not loopback, not a virtual machine adapter ("VMware", "VMnet" in any
// case), IPv4 only. With includeLoopback, the loopback interface is kept too
// (UDP discovery pointed at loopback by KXUDP_TARGET).
QList<Row> select(const QList<Candidate> &candidates, bool includeLoopback = false);
// The computer's own interfaces, each IPv4 address as a candidate.
QList<Candidate> systemCandidates();
// True when KXUDP_TARGET points the discovery at a loopback address.
bool discoveryTargetsLoopback();

} // namespace KxNetInterfaces

#pragma once

#include <QHostAddress>
#include <QString>
#include <QtGlobal>

// IPv4 helpers shared by the discovery, the setup worker and the forms.
namespace KxNetAddress {

// "a.b.c.d" with four decimal numbers of at most 255 (leading zeros and the
// blanks of an input mask allowed) rebuilt without leading zeros; anything
// else gives an empty text.
QString normalizedIpv4(const QString &text);
// normalizedIpv4 as an address; null when the text does not parse.
QHostAddress parseIpv4(const QString &text);
bool isIpv4(const QHostAddress &address);
// "192.168.003.010": the form that fills an input mask of "000.000.000.000"; empty when not IPv4.
QString paddedIpv4(const QHostAddress &address);
// A net mask whose one bits are all on the left.
bool isContiguousMask(quint32 mask);
// 1-bit count of a contiguous mask.
int prefixLength(quint32 mask);
bool sameSubnet(quint32 a, quint32 b, quint32 mask);

} // namespace KxNetAddress

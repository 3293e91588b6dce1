// The loopback guard and host address parsing shared by kxtcp and kxudp.
#pragma once

#include <cstdint>
#include <string>

#include <sys/socket.h>

namespace kxwire {

// True while KX_LOOPBACK_ONLY is set to anything but "" or "0": every address
// outside 127.0.0.0/8 and ::1 is then refused before a packet leaves.
bool loopbackOnly();

bool isLoopback(const sockaddr *address);

enum class HostResult { Ok, Invalid, NotLoopback };

// Turns a host text and port into a socket address. Numeric IPv4/IPv6
// addresses and "localhost" are taken as they are; other names are resolved
// only while the guard is off (a name lookup would itself leave the machine).
HostResult resolveHost(const char *host, uint16_t port, sockaddr_storage &address,
                       socklen_t &length);

// Parses "host:port" (IPv4 or "localhost"), as KXUDP_TARGET carries it.
bool parseHostPort(const std::string &text, std::string &host, uint16_t &port);

} // namespace kxwire

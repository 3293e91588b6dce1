#include "kxguard.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstdlib>
#include <cstring>

namespace kxwire {

bool loopbackOnly()
{
    const char *value = std::getenv("KX_LOOPBACK_ONLY");
    return value && *value && std::strcmp(value, "0") != 0;
}

bool isLoopback(const sockaddr *address)
{
    if (!address)
        return false;
    if (address->sa_family == AF_INET) {
        const auto *in = reinterpret_cast<const sockaddr_in *>(address);
        return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6) {
        const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(address);
        if (IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr))
            return true;
        // ::ffff:127.x.y.z is loopback as well.
        if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr))
            return in6->sin6_addr.s6_addr[12] == 127;
    }
    return false;
}

HostResult resolveHost(const char *host, uint16_t port, sockaddr_storage &address,
                       socklen_t &length)
{
    std::memset(&address, 0, sizeof address);
    if (!host || !*host)
        return HostResult::Invalid;
    std::string name(host);
    if (name == "localhost" || name == "localhost.localdomain")
        name = "127.0.0.1";

    auto *in = reinterpret_cast<sockaddr_in *>(&address);
    if (inet_pton(AF_INET, name.c_str(), &in->sin_addr) == 1) {
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        length = sizeof(sockaddr_in);
    } else {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(&address);
        if (inet_pton(AF_INET6, name.c_str(), &in6->sin6_addr) == 1) {
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(port);
            length = sizeof(sockaddr_in6);
        } else {
            if (loopbackOnly())
                return HostResult::NotLoopback;
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo *found = nullptr;
            if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
                return HostResult::Invalid;
            std::memcpy(&address, found->ai_addr, found->ai_addrlen);
            length = found->ai_addrlen;
            freeaddrinfo(found);
            if (address.ss_family == AF_INET)
                reinterpret_cast<sockaddr_in *>(&address)->sin_port = htons(port);
            else if (address.ss_family == AF_INET6)
                reinterpret_cast<sockaddr_in6 *>(&address)->sin6_port = htons(port);
            else
                return HostResult::Invalid;
        }
    }
    if (loopbackOnly() && !isLoopback(reinterpret_cast<sockaddr *>(&address)))
        return HostResult::NotLoopback;
    return HostResult::Ok;
}

bool parseHostPort(const std::string &text, std::string &host, uint16_t &port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size())
        return false;
    host = text.substr(0, colon);
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::strtol(digits.c_str(), nullptr, 10);
    if (value < 1 || value > 65535)
        return false;
    port = uint16_t(value);
    return true;
}

} // namespace kxwire

#include "simtcplink.h"

#include "kxguard.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kxsim {

SimTcpLink::SimTcpLink(SimDevice &device, std::shared_ptr<SimLinkFaults> faults)
    : m_server(device, std::move(faults))
{
}

std::string SimTcpLink::host() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_host;
}

uint16_t SimTcpLink::port() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_port;
}

std::string SimTcpLink::lastError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

bool SimTcpLink::listen(const std::string &host, uint16_t port)
{
    std::lock_guard<std::mutex> operation(m_operation);
    auto fail = [this](const std::string &why) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastError = why;
        return false;
    };
    sockaddr_storage address;
    socklen_t length = 0;
    // Numeric addresses only, and only loopback: a virtual reader never
    // listens where another machine could reach it.
    const std::string name = host.empty() ? std::string("127.0.0.1") : host;
    sockaddr_in *in = reinterpret_cast<sockaddr_in *>(&address);
    sockaddr_in6 *in6 = reinterpret_cast<sockaddr_in6 *>(&address);
    std::memset(&address, 0, sizeof address);
    if (inet_pton(AF_INET, name.c_str(), &in->sin_addr) == 1) {
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        length = sizeof *in;
    } else if (inet_pton(AF_INET6, name.c_str(), &in6->sin6_addr) == 1) {
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        length = sizeof *in6;
    } else {
        return fail("not a numeric address: " + name);
    }
    if (!kxwire::isLoopback(reinterpret_cast<sockaddr *>(&address))) {
        return fail("not a loopback address: " + name);
    }
    const int fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail(std::strerror(errno));
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        const std::string why = std::strerror(errno);
        ::close(fd);
        return fail(why);
    }
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    const uint16_t bound = ntohs(address.ss_family == AF_INET ? in->sin_port : in6->sin6_port);
    if (!m_server.start(fd))
        return fail("cannot start the listener");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_host = name;
    m_port = bound;
    m_lastError.clear();
    return true;
}

void SimTcpLink::close()
{
    std::lock_guard<std::mutex> operation(m_operation);
    m_server.stop();
}

} // namespace kxsim

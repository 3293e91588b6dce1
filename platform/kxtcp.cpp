#include "kxtcp.h"

#include "kxguard.h"
#include "kxlink.h"
#include "kxport.h"
#include "kxporttable.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

kxwire::PortTable &ports()
{
    static kxwire::PortTable table(KXPORT_TCP_BIT);
    return table;
}

int linkErrorCode(kxwire::LinkError error)
{
    switch (error) {
    case kxwire::LinkError::None:
        return 0;
    case kxwire::LinkError::Timeout:
        return KXTCP_ERR_TIMEOUT;
    case kxwire::LinkError::LinkLost:
        return KXTCP_ERR_LINK_LOST;
    case kxwire::LinkError::BadFrame:
        return KXTCP_ERR_BAD_FRAME;
    case kxwire::LinkError::AnswerTooLong:
        return KXTCP_ERR_ANSWER_TOO_LONG;
    case kxwire::LinkError::BadArgument:
        return KXTCP_ERR_BAD_ARGUMENT;
    }
    return KXTCP_ERR_BAD_ARGUMENT;
}

int connectWithin(int fd, const sockaddr *address, socklen_t length, int timeoutMs)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (::connect(fd, address, length) == 0)
        return 0;
    if (errno == ECONNREFUSED)
        return KXTCP_ERR_REFUSED;
    if (errno != EINPROGRESS)
        return KXTCP_ERR_CONNECT;
    const int64_t deadline = kxwire::monotonicMs() + timeoutMs;
    for (;;) {
        const int64_t left = deadline - kxwire::monotonicMs();
        if (left <= 0)
            return KXTCP_ERR_CONNECT_TIMEOUT;
        pollfd p{fd, POLLOUT, 0};
        const int r = ::poll(&p, 1, int(left));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return r == 0 ? KXTCP_ERR_CONNECT_TIMEOUT : KXTCP_ERR_CONNECT;
        int error = 0;
        socklen_t size = sizeof error;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error == 0)
            return 0;
        return error == ECONNREFUSED ? KXTCP_ERR_REFUSED : KXTCP_ERR_CONNECT;
    }
}

} // namespace

extern "C" {

int KXTCP_Connect(const char *host, int port)
{
    if (!host || port < 1 || port > 65535)
        return KXTCP_ERR_BAD_ARGUMENT;
    sockaddr_storage address;
    socklen_t length = 0;
    switch (kxwire::resolveHost(host, uint16_t(port), address, length)) {
    case kxwire::HostResult::Ok:
        break;
    case kxwire::HostResult::NotLoopback:
        return KXTCP_ERR_NOT_LOOPBACK;
    case kxwire::HostResult::Invalid:
        return KXTCP_ERR_BAD_ADDRESS;
    }
    // Last line of defence: nothing but loopback leaves while the guard is on.
    if (kxwire::loopbackOnly() && !kxwire::isLoopback(reinterpret_cast<sockaddr *>(&address)))
        return KXTCP_ERR_NOT_LOOPBACK;

    const int fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return KXTCP_ERR_NO_RESOURCES;
    const int result =
        connectWithin(fd, reinterpret_cast<sockaddr *>(&address), length, KXTCP_CONNECT_TIMEOUT_MS);
    if (result != 0) {
        ::close(fd);
        return result;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto link = std::make_shared<kxwire::ClientLink>(fd);
    link->setTimeoutMs(KXTCP_DEFAULT_TIMEOUT_MS);
    const int handle = ports().add(link);
    return handle > 0 ? handle : KXTCP_ERR_NO_RESOURCES;
}

int KXTCP_DisConnect(int portHandle)
{
    auto link = ports().take(portHandle);
    if (!link)
        return KXTCP_ERR_UNKNOWN_HANDLE;
    link->shutdown();
    return 0;
}

int KXTCP_SetSocketPara(int portHandle, const char *name, const char *value)
{
    auto link = ports().find(portHandle);
    if (!link)
        return KXTCP_ERR_UNKNOWN_HANDLE;
    if (!name || !value || strcasecmp(name, "TIMEOUT") != 0)
        return KXTCP_ERR_BAD_PARAMETER;
    char *end = nullptr;
    errno = 0;
    const long ms = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || errno != 0 || ms < 1 || ms > 3600000)
        return KXTCP_ERR_BAD_PARAMETER;
    link->setTimeoutMs(int(ms));
    return 0;
}

int KXTCP_GetErrorText(int errorCode, char *text)
{
    if (!text)
        return KXTCP_ERR_BAD_ARGUMENT;
    const char *message = nullptr;
    switch (errorCode) {
    case 0:
        message = "OK";
        break;
    case KXTCP_ERR_UNKNOWN_HANDLE:
        message = "TCP: unknown or closed port handle";
        break;
    case KXTCP_ERR_BAD_ARGUMENT:
        message = "TCP: invalid argument";
        break;
    case KXTCP_ERR_BAD_ADDRESS:
        message = "TCP: host address not valid or not resolved";
        break;
    case KXTCP_ERR_NOT_LOOPBACK:
        message = "TCP: address refused, only loopback addresses are allowed (KX_LOOPBACK_ONLY)";
        break;
    case KXTCP_ERR_REFUSED:
        message = "TCP: connection refused";
        break;
    case KXTCP_ERR_CONNECT_TIMEOUT:
        message = "TCP: connection timed out";
        break;
    case KXTCP_ERR_CONNECT:
        message = "TCP: connection failed";
        break;
    case KXTCP_ERR_TIMEOUT:
        message = "TCP: no answer from the reader within the time-out";
        break;
    case KXTCP_ERR_LINK_LOST:
        message = "TCP: connection to the reader lost";
        break;
    case KXTCP_ERR_BAD_FRAME:
        message = "TCP: invalid answer frame (marker, length, CRC or command)";
        break;
    case KXTCP_ERR_ANSWER_TOO_LONG:
        message = "TCP: answer longer than the receive buffer";
        break;
    case KXTCP_ERR_BAD_PARAMETER:
        message = "TCP: unknown parameter or invalid value";
        break;
    case KXTCP_ERR_NO_RESOURCES:
        message = "TCP: no socket or port handle available";
        break;
    default:
        std::snprintf(text, 1024, "TCP: unknown error code %d", errorCode);
        return KXTCP_ERR_BAD_ARGUMENT;
    }
    std::snprintf(text, 1024, "%s", message);
    return 0;
}

int kxtcp_transceive(int portHandle, unsigned char busAddress, unsigned char command,
                     const unsigned char *request, int requestLength, unsigned char *status,
                     unsigned char *answer, int answerCapacity, int *answerLength)
{
    if (answerLength)
        *answerLength = 0;
    auto link = ports().find(portHandle);
    if (!link)
        return KXTCP_ERR_UNKNOWN_HANDLE;
    return linkErrorCode(link->transceive(busAddress, command, request, requestLength, status,
                                          answer, answerCapacity, answerLength));
}

} // extern "C"

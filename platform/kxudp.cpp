#include "kxudp.h"

#include "kxguard.h"
#include "kxlink.h"
#include "kxudpwire.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using kxwire::UdpMessage;
using kxwire::UdpReaderRecord;

constexpr int kSetupTimeoutMs = 2000;
constexpr int kSetupRepeatMs = 500;

sockaddr_in ipv4Address(uint32_t address, uint16_t port)
{
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(address);
    in.sin_port = htons(port);
    return in;
}

bool isLoopback(const sockaddr_in &in)
{
    return kxwire::isLoopback(reinterpret_cast<const sockaddr *>(&in));
}

// Where the datagrams of an interface go, and from which local address.
struct Route
{
    sockaddr_in local{};
    sockaddr_in target{};
    bool broadcast = false;
};

int routeFor(const std::string &interfaceAddress, Route &route)
{
    uint32_t local = 0;
    if (!kxwire::parseIpv4(interfaceAddress, local))
        return KXUDP_ERR_BAD_ADDRESS;
    const bool guard = kxwire::loopbackOnly();
    const char *targetText = std::getenv("KXUDP_TARGET");
    if (targetText && *targetText) {
        std::string host;
        uint16_t port = 0;
        uint32_t target = 0;
        if (!kxwire::parseHostPort(targetText, host, port))
            return KXUDP_ERR_BAD_TARGET;
        if (host == "localhost")
            host = "127.0.0.1";
        if (!kxwire::parseIpv4(host, target))
            return KXUDP_ERR_BAD_TARGET;
        route.target = ipv4Address(target, port);
        if (isLoopback(route.target)) {
            // Loopback traffic leaves from loopback, whatever interface was chosen.
            route.local = ipv4Address(0x7F000001, 0);
        } else {
            if (guard)
                return KXUDP_ERR_NOT_LOOPBACK;
            route.local = ipv4Address(local, 0);
        }
        return 0;
    }
    route.local = ipv4Address(local, 0);
    if (isLoopback(route.local)) {
        route.target = ipv4Address(local, KXUDP_READER_PORT);
        return 0;
    }
    if (guard)
        return KXUDP_ERR_NOT_LOOPBACK;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return KXUDP_ERR_NO_BROADCAST;
    bool found = false;
    for (ifaddrs *it = list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET ||
            !(it->ifa_flags & IFF_BROADCAST) || !it->ifa_broadaddr)
            continue;
        const auto *in = reinterpret_cast<const sockaddr_in *>(it->ifa_addr);
        if (ntohl(in->sin_addr.s_addr) != local)
            continue;
        const auto *broadcast = reinterpret_cast<const sockaddr_in *>(it->ifa_broadaddr);
        route.target = ipv4Address(ntohl(broadcast->sin_addr.s_addr), KXUDP_READER_PORT);
        route.broadcast = true;
        found = true;
        break;
    }
    freeifaddrs(list);
    return found ? 0 : KXUDP_ERR_NO_BROADCAST;
}

int openSocket(const Route &route)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return KXUDP_ERR_SOCKET;
    if (route.broadcast) {
        const int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    }
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&route.local), sizeof route.local) != 0) {
        ::close(fd);
        return KXUDP_ERR_SOCKET;
    }
    return fd;
}

bool sendTo(int fd, const Route &route, const UdpMessage &message)
{
    // Checked at the last moment, so no code path can send elsewhere under the guard.
    if (kxwire::loopbackOnly() && !isLoopback(route.target))
        return false;
    const std::vector<uint8_t> bytes = kxwire::encodeUdp(message);
    return ::sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr *>(&route.target),
                    sizeof route.target) == ssize_t(bytes.size());
}

void copyText(char *out, std::size_t size, const std::string &text)
{
    std::snprintf(out, size, "%s", text.c_str());
}

KXUDP_REPORT makeReport(int kind, const UdpReaderRecord &r)
{
    KXUDP_REPORT report;
    std::memset(&report, 0, sizeof report);
    report.eventKind = kind;
    report.marker = 1;
    report.deviceId = r.deviceId;
    if (kind == KXUDP_EVENT_GONE) {
        report.readerType = r.readerType;
        report.validFlags = KXUDP_VALID_DEVICE_ID;
        return report;
    }
    report.readerType = r.readerType;
    report.networkFlags = r.networkFlags;
    report.validFlags = r.validFlags;
    if (r.validFlags & KXUDP_VALID_MAC)
        copyText(report.mac, sizeof report.mac, kxwire::formatMac(r.mac));
    if (r.validFlags & KXUDP_VALID_IP)
        copyText(report.ip, sizeof report.ip, kxwire::formatIpv4(r.ip));
    if (r.validFlags & KXUDP_VALID_NETMASK)
        copyText(report.netmask, sizeof report.netmask, kxwire::formatIpv4(r.netmask));
    if (r.validFlags & KXUDP_VALID_GATEWAY)
        copyText(report.gateway, sizeof report.gateway, kxwire::formatIpv4(r.gateway));
    if (r.validFlags & KXUDP_VALID_PORT)
        report.port = r.port;
    if (r.validFlags & KXUDP_VALID_TEXT1)
        copyText(report.text1, sizeof report.text1, r.text1);
    if (r.validFlags & KXUDP_VALID_TEXT2)
        copyText(report.text2, sizeof report.text2, r.text2);
    return report;
}

bool sameRecord(const UdpReaderRecord &a, const UdpReaderRecord &b)
{
    return a.readerType == b.readerType && a.networkFlags == b.networkFlags &&
           a.validFlags == b.validFlags && std::memcmp(a.mac, b.mac, 6) == 0 && a.ip == b.ip &&
           a.netmask == b.netmask && a.gateway == b.gateway && a.port == b.port &&
           a.text1 == b.text1 && a.text2 == b.text2;
}

class Discovery : public std::enable_shared_from_this<Discovery>
{
public:
    Discovery(int fd, const Route &route, const KXUDP_DISCOVER_PARA &para)
        : m_fd(fd), m_route(route), m_para(para)
    {
    }

    ~Discovery()
    {
        ::close(m_fd);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }

    bool start()
    {
        if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        // The thread keeps the object alive, so a stop from inside a callback is safe.
        auto self = shared_from_this();
        m_thread = std::thread([self] { self->run(); });
        return true;
    }

    void stop()
    {
        m_stop = true;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
        if (m_thread.joinable()) {
            if (m_thread.get_id() == std::this_thread::get_id())
                m_thread.detach(); // stopped from its own callback: it ends after the report
            else
                m_thread.join();
        }
    }

    bool hasSeen(uint32_t deviceId)
    {
        std::lock_guard<std::mutex> lock(m_knownMutex);
        return m_known.count(deviceId) != 0;
    }

    const Route &route() const { return m_route; }

private:
    struct Known
    {
        UdpReaderRecord record;
        int64_t lastSeen = 0;
    };

    void report(int kind, const UdpReaderRecord &record)
    {
        if (m_stop || !m_para.callback)
            return;
        const KXUDP_REPORT r = makeReport(kind, record);
        m_para.callback(m_para.context, &r);
    }

    void receive()
    {
        uint8_t buffer[kxwire::kMaxDatagram + 1];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            UdpMessage message;
            if (!kxwire::decodeUdp(buffer, std::size_t(n), message) ||
                message.opcode != kxwire::UdpDiscoverAnswer ||
                !(message.record.validFlags & KXUDP_VALID_DEVICE_ID))
                continue;
            const UdpReaderRecord &record = message.record;
            int kind = 0;
            {
                std::lock_guard<std::mutex> lock(m_knownMutex);
                auto it = m_known.find(record.deviceId);
                if (it == m_known.end()) {
                    m_known[record.deviceId] = Known{record, kxwire::monotonicMs()};
                    kind = KXUDP_EVENT_NEW;
                } else {
                    it->second.lastSeen = kxwire::monotonicMs();
                    if (!sameRecord(it->second.record, record)) {
                        it->second.record = record;
                        kind = KXUDP_EVENT_CHANGED;
                    }
                }
            }
            if (kind)
                report(kind, record);
        }
    }

    void expire()
    {
        const int64_t now = kxwire::monotonicMs();
        std::vector<UdpReaderRecord> gone;
        {
            std::lock_guard<std::mutex> lock(m_knownMutex);
            for (auto it = m_known.begin(); it != m_known.end();) {
                if (now - it->second.lastSeen > m_para.goneTimeoutMs) {
                    gone.push_back(it->second.record);
                    it = m_known.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (const UdpReaderRecord &record : gone)
            report(KXUDP_EVENT_GONE, record);
    }

    void run()
    {
        int64_t nextRequest = 0;
        while (!m_stop) {
            const int64_t now = kxwire::monotonicMs();
            if (now >= nextRequest) {
                UdpMessage request;
                request.opcode = kxwire::UdpDiscoverRequest;
                request.sequence = ++m_sequence;
                sendTo(m_fd, m_route, request);
                nextRequest = now + m_para.requestIntervalMs;
            }
            const int64_t wait = nextRequest - kxwire::monotonicMs();
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            ::poll(fds, 2, wait > 0 ? int(wait) : 0);
            if (m_stop)
                break;
            if (fds[0].revents & POLLIN)
                receive();
            expire();
        }
    }

    int m_fd;
    Route m_route;
    KXUDP_DISCOVER_PARA m_para;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    uint16_t m_sequence = 0;
    std::mutex m_knownMutex;
    std::map<uint32_t, Known> m_known;
};

std::mutex &discoveriesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::shared_ptr<Discovery>> &discoveries()
{
    static std::map<std::string, std::shared_ptr<Discovery>> map;
    return map;
}

uint16_t nextSetupSequence()
{
    // Started from the clock, so two programs rarely begin with the same number.
    static std::atomic<uint16_t> sequence{uint16_t(kxwire::monotonicMs() ^ ::getpid())};
    return ++sequence;
}

} // namespace

extern "C" {

int KXUDP_Discover(int mode, const char *interfaceAddress, const KXUDP_DISCOVER_PARA *para)
{
    if (!interfaceAddress)
        return KXUDP_ERR_BAD_ARGUMENT;
    const std::string address(interfaceAddress);
    if (mode == KXUDP_STOP) {
        std::shared_ptr<Discovery> discovery;
        {
            std::lock_guard<std::mutex> lock(discoveriesMutex());
            auto it = discoveries().find(address);
            if (it == discoveries().end())
                return KXUDP_ERR_NOT_RUNNING;
            discovery = it->second;
            discoveries().erase(it);
        }
        discovery->stop();
        return 0;
    }
    if (mode != KXUDP_START || !para || !para->callback || para->requestIntervalMs < 1 ||
        para->requestIntervalMs > 60000 || para->goneTimeoutMs < para->requestIntervalMs)
        return KXUDP_ERR_BAD_ARGUMENT;
    Route route;
    if (const int error = routeFor(address, route))
        return error;
    std::lock_guard<std::mutex> lock(discoveriesMutex());
    if (discoveries().count(address))
        return KXUDP_ERR_RUNNING;
    const int fd = openSocket(route);
    if (fd < 0)
        return fd;
    auto discovery = std::make_shared<Discovery>(fd, route, *para);
    if (!discovery->start())
        return KXUDP_ERR_SOCKET;
    discoveries()[address] = discovery;
    return 0;
}

int KXUDP_Setup(const char *interfaceAddress, const KXUDP_SETUP *setup)
{
    if (!setup)
        return KXUDP_ERR_BAD_ARGUMENT;
    UdpMessage request;
    request.opcode = kxwire::UdpSetupRequest;
    request.sequence = nextSetupSequence();
    UdpReaderRecord &r = request.record;
    r.readerType = setup->readerType;
    r.deviceId = setup->deviceId;
    r.networkFlags = uint8_t(setup->networkFlags);
    r.validFlags = uint8_t(setup->validFlags & 0x3F);
    // The reader is addressed by both its device ID and its MAC address.
    if ((r.validFlags & (KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC)) !=
        (KXUDP_VALID_DEVICE_ID | KXUDP_VALID_MAC))
        return KXUDP_ERR_BAD_ARGUMENT;
    const std::string mac(setup->mac, strnlen(setup->mac, sizeof setup->mac));
    if (!kxwire::parseMac(mac, r.mac))
        return KXUDP_ERR_BAD_ARGUMENT;
    auto field = [](const char *text, std::size_t size) {
        return std::string(text, strnlen(text, size));
    };
    if ((r.validFlags & KXUDP_VALID_IP) &&
        !kxwire::parseIpv4(field(setup->ip, sizeof setup->ip), r.ip))
        return KXUDP_ERR_BAD_ADDRESS;
    if ((r.validFlags & KXUDP_VALID_NETMASK) &&
        !kxwire::parseIpv4(field(setup->netmask, sizeof setup->netmask), r.netmask))
        return KXUDP_ERR_BAD_ADDRESS;
    if ((r.validFlags & KXUDP_VALID_GATEWAY) &&
        !kxwire::parseIpv4(field(setup->gateway, sizeof setup->gateway), r.gateway))
        return KXUDP_ERR_BAD_ADDRESS;
    if (r.validFlags & KXUDP_VALID_PORT) {
        if (setup->port < 1 || setup->port > 65535)
            return KXUDP_ERR_BAD_ARGUMENT;
        r.port = uint16_t(setup->port);
    }

    Route route;
    if (interfaceAddress && *interfaceAddress) {
        if (const int error = routeFor(interfaceAddress, route))
            return error;
    } else {
        bool found = false;
        {
            std::lock_guard<std::mutex> lock(discoveriesMutex());
            for (auto &entry : discoveries()) {
                if (entry.second->hasSeen(r.deviceId)) {
                    route = entry.second->route();
                    found = true;
                    break;
                }
            }
        }
        if (!found) {
            // Without a discovery that saw it, only an explicit target is known.
            const char *target = std::getenv("KXUDP_TARGET");
            if (!target || !*target)
                return KXUDP_ERR_BAD_ADDRESS;
            if (const int error = routeFor("127.0.0.1", route))
                return error;
        }
    }
    const int fd = openSocket(route);
    if (fd < 0)
        return fd;
    const int64_t deadline = kxwire::monotonicMs() + kSetupTimeoutMs;
    int64_t nextSend = 0;
    int result = KXUDP_ERR_TIMEOUT;
    while (kxwire::monotonicMs() < deadline) {
        if (kxwire::monotonicMs() >= nextSend) {
            if (!sendTo(fd, route, request)) {
                result = kxwire::loopbackOnly() && !isLoopback(route.target)
                             ? KXUDP_ERR_NOT_LOOPBACK
                             : KXUDP_ERR_SEND;
                break;
            }
            nextSend = kxwire::monotonicMs() + kSetupRepeatMs;
        }
        const int64_t wait = std::min(nextSend, deadline) - kxwire::monotonicMs();
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, wait > 0 ? int(wait) : 0) <= 0)
            continue;
        uint8_t buffer[kxwire::kMaxDatagram + 1];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        UdpMessage answer;
        if (n <= 0 || !kxwire::decodeUdp(buffer, std::size_t(n), answer) ||
            answer.opcode != kxwire::UdpSetupAnswer || answer.sequence != request.sequence ||
            answer.record.deviceId != r.deviceId)
            continue;
        result = answer.status == 0 ? 0 : KXUDP_ERR_REJECTED;
        break;
    }
    ::close(fd);
    return result;
}

int KXUDP_GetErrorText(int errorCode, char *text)
{
    if (!text)
        return KXUDP_ERR_BAD_ARGUMENT;
    const char *message = nullptr;
    switch (errorCode) {
    case 0:
        message = "OK";
        break;
    case KXUDP_ERR_BAD_ARGUMENT:
        message = "UDP: invalid argument";
        break;
    case KXUDP_ERR_BAD_ADDRESS:
        message = "UDP: address is not an IPv4 address";
        break;
    case KXUDP_ERR_NOT_LOOPBACK:
        message = "UDP: address refused, only loopback addresses are allowed (KX_LOOPBACK_ONLY)";
        break;
    case KXUDP_ERR_RUNNING:
        message = "UDP: a discovery already runs on this interface";
        break;
    case KXUDP_ERR_NOT_RUNNING:
        message = "UDP: no discovery runs on this interface";
        break;
    case KXUDP_ERR_SOCKET:
        message = "UDP: socket cannot be opened on this interface";
        break;
    case KXUDP_ERR_NO_BROADCAST:
        message = "UDP: the interface has no broadcast address";
        break;
    case KXUDP_ERR_TIMEOUT:
        message = "UDP: the reader did not acknowledge the network setup";
        break;
    case KXUDP_ERR_REJECTED:
        message = "UDP: the reader refused the network setup";
        break;
    case KXUDP_ERR_BAD_TARGET:
        message = "UDP: KXUDP_TARGET is not host:port";
        break;
    case KXUDP_ERR_SEND:
        message = "UDP: the request could not be sent";
        break;
    default:
        std::snprintf(text, 1024, "UDP: unknown error code %d", errorCode);
        return KXUDP_ERR_BAD_ARGUMENT;
    }
    std::snprintf(text, 1024, "%s", message);
    return 0;
}

} // extern "C"

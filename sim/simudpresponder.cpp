#include "simudpresponder.h"

#include "kxguard.h"
#include "kxudpwire.h"
#include "simdevice.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kxsim {

namespace {

kxwire::UdpReaderRecord recordOf(const SimDevice &device)
{
    kxwire::UdpReaderRecord r;
    const SimNetworkConfig config = device.networkConfig();
    r.readerType = uint32_t(device.readerType());
    r.deviceId = device.deviceId();
    r.networkFlags = config.dhcp ? 0x80 : 0;
    r.validFlags = 0x01;
    if (kxwire::parseMac(device.macAddress(), r.mac))
        r.validFlags |= 0x02;
    if (kxwire::parseIpv4(config.ip, r.ip))
        r.validFlags |= 0x04;
    if (kxwire::parseIpv4(config.netmask, r.netmask))
        r.validFlags |= 0x08;
    if (kxwire::parseIpv4(config.gateway, r.gateway))
        r.validFlags |= 0x10;
    r.port = config.port;
    r.validFlags |= 0x20;
    r.text1 = device.deviceName().substr(0, kxwire::kMaxUdpText);
    if (!r.text1.empty())
        r.validFlags |= 0x40;
    return r;
}

} // namespace

SimUdpResponder::SimUdpResponder() = default;

SimUdpResponder::~SimUdpResponder()
{
    stop();
}

bool SimUdpResponder::start(const std::string &host, uint16_t port)
{
    stop();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    const std::string name = host.empty() ? std::string("127.0.0.1") : host;
    if (inet_pton(AF_INET, name.c_str(), &address.sin_addr) != 1 ||
        !kxwire::isLoopback(reinterpret_cast<sockaddr *>(&address))) {
        m_lastError = "not a loopback IPv4 address: " + name;
        return false;
    }
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_lastError = std::strerror(errno);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return false;
    }
    socklen_t size = sizeof address;
    getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &size);
    m_host = name;
    m_port = ntohs(address.sin_port);
    m_stop = false;
    m_running = true;
    m_thread = std::thread(&SimUdpResponder::run, this);
    return true;
}

void SimUdpResponder::stop()
{
    if (!m_running)
        return;
    m_stop = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    ::close(m_fd);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    m_fd = m_wake[0] = m_wake[1] = -1;
    m_running = false;
}

void SimUdpResponder::addDevice(SimDevice *device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Entry &entry : m_devices)
        if (entry.device == device)
            return;
    Entry entry;
    entry.device = device;
    m_devices.push_back(entry);
}

void SimUdpResponder::removeDevice(SimDevice *device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->device == device) {
            m_devices.erase(it);
            return;
        }
    }
}

void SimUdpResponder::setSilent(SimDevice *device, bool silent)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Entry &entry : m_devices)
        if (entry.device == device)
            entry.silent = silent;
}

void SimUdpResponder::run()
{
    uint8_t buffer[kxwire::kMaxDatagram + 1];
    while (!m_stop) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (m_stop)
            break;
        for (;;) {
            sockaddr_storage from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr *>(&from), &fromLength);
            if (n < 0)
                break;
            handle(buffer, std::size_t(n), &from, fromLength);
        }
    }
}

void SimUdpResponder::handle(const uint8_t *data, std::size_t length, const void *from,
                             unsigned fromLength)
{
    const auto *sender = static_cast<const sockaddr *>(from);
    // Answers only ever go back to loopback.
    if (!kxwire::isLoopback(sender))
        return;
    kxwire::UdpMessage request;
    if (!kxwire::decodeUdp(data, length, request))
        return;
    auto reply = [&](const kxwire::UdpMessage &message) {
        const std::vector<uint8_t> bytes = kxwire::encodeUdp(message);
        ::sendto(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL, sender, socklen_t(fromLength));
    };

    if (request.opcode == kxwire::UdpDiscoverRequest) {
        std::vector<kxwire::UdpMessage> answers;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const Entry &entry : m_devices) {
                if (entry.silent)
                    continue;
                kxwire::UdpMessage answer;
                answer.opcode = kxwire::UdpDiscoverAnswer;
                answer.sequence = request.sequence;
                answer.record = recordOf(*entry.device);
                answers.push_back(answer);
            }
        }
        for (const auto &answer : answers)
            reply(answer);
        return;
    }
    if (request.opcode != kxwire::UdpSetupRequest)
        return;

    // The reader is held under the lock until it is answered, so removeDevice()
    // never returns while a setup still works on it.
    std::lock_guard<std::mutex> lock(m_mutex);
    const kxwire::UdpReaderRecord &r = request.record;
    Entry *target = nullptr;
    for (Entry &entry : m_devices) {
        uint8_t mac[6];
        if (!entry.silent && entry.device->deviceId() == r.deviceId &&
            kxwire::parseMac(entry.device->macAddress(), mac) && std::memcmp(mac, r.mac, 6) == 0) {
            target = &entry;
            break;
        }
    }
    if (!target)
        return; // not addressed to any of our readers
    kxwire::UdpMessage answer;
    answer.opcode = kxwire::UdpSetupAnswer;
    answer.sequence = request.sequence;
    answer.record.deviceId = r.deviceId;
    if (r.readerType != 0 && r.readerType != uint32_t(target->device->readerType())) {
        answer.status = 1;
        reply(answer);
        return;
    }
    // The library repeats a request from the same socket until it is
    // acknowledged: apply it once. Another sender with the same sequence
    // number is a new request.
    const std::string senderKey(static_cast<const char *>(from), fromLength);
    if (target->hasLastSetup && target->lastSetupSequence == request.sequence &&
        target->lastSetupSender == senderKey) {
        reply(answer);
        return;
    }
    target->hasLastSetup = true;
    target->lastSetupSequence = request.sequence;
    target->lastSetupSender = senderKey;
    SimNetworkSetup setup;
    if (r.validFlags & 0x04)
        setup.ip = kxwire::formatIpv4(r.ip);
    if (r.validFlags & 0x08)
        setup.netmask = kxwire::formatIpv4(r.netmask);
    if (r.validFlags & 0x10)
        setup.gateway = kxwire::formatIpv4(r.gateway);
    if (r.validFlags & 0x20)
        setup.port = r.port;
    setup.setDhcp = true;
    setup.dhcp = (r.networkFlags & 0x80) != 0;
    target->device->applyNetworkSetup(setup);
    ++m_setupsApplied;
    // Acknowledged once the reader has taken the settings, so a caller that
    // got the answer finds them in force.
    reply(answer);
}

} // namespace kxsim

// Answers UDP discovery and network setup requests for any number of virtual
// readers from one loopback UDP socket (the address KXUDP_TARGET names).
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kxsim {

class SimDevice;

class SimUdpResponder
{
public:
    SimUdpResponder();
    ~SimUdpResponder();
    SimUdpResponder(const SimUdpResponder &) = delete;
    SimUdpResponder &operator=(const SimUdpResponder &) = delete;

    // host: a loopback IPv4 address; port 0 takes an ephemeral port.
    bool start(const std::string &host, uint16_t port);
    void stop();
    bool isRunning() const { return m_running; }
    std::string host() const { return m_host; }
    uint16_t port() const { return m_port; }
    std::string lastError() const { return m_lastError; }

    // The devices are not owned; remove them before they are destroyed.
    void addDevice(SimDevice *device);
    void removeDevice(SimDevice *device);
    // A silent reader stays registered but answers nothing (as if unplugged from the LAN).
    void setSilent(SimDevice *device, bool silent);

    uint64_t setupsApplied() const { return m_setupsApplied; }

private:
    struct Entry
    {
        SimDevice *device = nullptr;
        bool silent = false;
        bool hasLastSetup = false;
        uint16_t lastSetupSequence = 0;
        std::string lastSetupSender; // the sender's socket address bytes
    };

    void run();
    void handle(const uint8_t *data, std::size_t length, const void *from, unsigned fromLength);

    int m_fd = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::string m_host;
    uint16_t m_port = 0;
    std::string m_lastError;
    std::mutex m_mutex;
    std::vector<Entry> m_devices;
    std::atomic<uint64_t> m_setupsApplied{0};
};

} // namespace kxsim

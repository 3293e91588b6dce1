// The contract between a virtual reader's behaviour and the links that carry
// its frames (TCP, the simulated USB bus, UDP discovery).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kxsim {

// The network configuration a reader has in force (applied at its last system reset).
struct SimNetworkConfig
{
    std::string ip;      // dotted IPv4
    std::string netmask; // dotted IPv4
    std::string gateway; // dotted IPv4
    uint16_t port = 10001;
    bool dhcp = false;
};

// A setup request received by UDP; empty texts and port 0 mean "leave as is".
struct SimNetworkSetup
{
    std::string ip;
    std::string netmask;
    std::string gateway;
    uint16_t port = 0;
    bool dhcp = false;
    bool setDhcp = false;
};

class SimDevice
{
public:
    virtual ~SimDevice() = default;

    // Answers one request frame. Thread-safe: links may call it from their own threads.
    virtual void handleFrame(uint8_t busAddress, uint8_t command,
                             const std::vector<uint8_t> &request, uint8_t &status,
                             std::vector<uint8_t> &answer) = 0;

    virtual uint32_t deviceId() const = 0;
    virtual int readerType() const = 0;
    virtual std::string deviceName() const = 0; // display name of the reader type
    virtual std::string macAddress() const = 0; // "00-11-22-33-44-55"
    virtual SimNetworkConfig networkConfig() const = 0;
    virtual void applyNetworkSetup(const SimNetworkSetup &setup) = 0;

    // Called by the device after a system reset put a changed network
    // configuration in force, so the links can rebind.
    std::function<void()> onNetworkChanged;
};

} // namespace kxsim

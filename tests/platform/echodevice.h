// A minimal reader behaviour for transport tests: it echoes, answers chosen
// statuses and sizes, and keeps a network configuration that a system reset
// (command 0x64) puts in force, as a real reader does.
#pragma once

#include "simdevice.h"

#include <atomic>
#include <mutex>

class EchoDevice : public kxsim::SimDevice
{
public:
    enum Command : uint8_t {
        Echo = 0x01,       // answers the request bytes
        Status = 0x02,     // answers status = request[0], no bytes
        Sized = 0x03,      // answers request[0] * 256 + request[1] bytes of 0xAB
        SystemReset = 0x64 // puts a pending network setup in force
    };

    explicit EchoDevice(uint32_t id = 0x00C0FFEE, int type = 100, std::string name = "TZ60",
                        std::string mac = "00-1B-2C-3D-4E-5F")
        : m_id(id), m_type(type), m_name(std::move(name)), m_mac(std::move(mac))
    {
        m_config.ip = "127.0.0.1";
        m_config.netmask = "255.0.0.0";
        m_config.gateway = "127.0.0.254";
        m_config.port = 10001;
    }

    void handleFrame(uint8_t, uint8_t command, const std::vector<uint8_t> &request, uint8_t &status,
                     std::vector<uint8_t> &answer) override
    {
        ++m_frames;
        status = 0;
        answer.clear();
        switch (command) {
        case Echo:
            answer = request;
            break;
        case Status:
            status = request.empty() ? 0 : request[0];
            break;
        case Sized:
            if (request.size() >= 2)
                answer.assign(std::size_t(request[0]) * 256 + request[1], 0xAB);
            break;
        case SystemReset:
            reset();
            break;
        default:
            status = 0x81; // unknown command
            break;
        }
    }

    uint32_t deviceId() const override { return m_id; }
    int readerType() const override { return m_type; }
    std::string deviceName() const override { return m_name; }
    std::string macAddress() const override { return m_mac; }

    kxsim::SimNetworkConfig networkConfig() const override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_config;
    }

    // A UDP setup stores the settings and restarts the reader with them.
    void applyNetworkSetup(const kxsim::SimNetworkSetup &setup) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pending = m_config;
            if (!setup.ip.empty())
                m_pending.ip = setup.ip;
            if (!setup.netmask.empty())
                m_pending.netmask = setup.netmask;
            if (!setup.gateway.empty())
                m_pending.gateway = setup.gateway;
            if (setup.port != 0)
                m_pending.port = setup.port;
            if (setup.setDhcp)
                m_pending.dhcp = setup.dhcp;
            m_hasPending = true;
        }
        reset();
    }

    // Stages a change as blocks 40/41 would, without resetting.
    void stageNetwork(const kxsim::SimNetworkConfig &config)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = config;
        m_hasPending = true;
    }

    int frames() const { return m_frames; }

private:
    void reset()
    {
        bool changed = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_hasPending) {
                changed = m_pending.ip != m_config.ip || m_pending.port != m_config.port ||
                          m_pending.netmask != m_config.netmask ||
                          m_pending.gateway != m_config.gateway || m_pending.dhcp != m_config.dhcp;
                m_config = m_pending;
                m_hasPending = false;
            }
        }
        if (changed && onNetworkChanged)
            onNetworkChanged();
    }

    uint32_t m_id;
    int m_type;
    std::string m_name;
    std::string m_mac;
    mutable std::mutex m_mutex;
    kxsim::SimNetworkConfig m_config;
    kxsim::SimNetworkConfig m_pending;
    bool m_hasPending = false;
    std::atomic<int> m_frames{0};
};

// A virtual reader's presence on the simulated USB bus: plugging creates the
// socket named after its device ID and the file with its device name in the
// bus folder; unplugging removes both and cuts every open link.
#pragma once

#include "simstreamserver.h"

#include <memory>
#include <string>

namespace kxsim {

class SimDevice;
class SimLinkFaults;

class SimUsbLink
{
public:
    SimUsbLink(SimDevice &device, std::shared_ptr<SimLinkFaults> faults);
    ~SimUsbLink();

    // busDir empty: the default bus folder (KXUSB_BUS_DIR, ...); created when missing.
    bool plug(const std::string &busDir = std::string());
    void unplug();
    bool isPlugged() const { return m_server.isRunning(); }
    std::string socketPath() const { return m_socketPath; }
    std::string lastError() const { return m_lastError; }
    const SimStreamServer &server() const { return m_server; }

private:
    SimDevice &m_device;
    SimStreamServer m_server;
    std::string m_socketPath;
    std::string m_namePath;
    std::string m_lastError;
};

} // namespace kxsim

// A virtual reader's TCP listener. Binds only loopback addresses, whatever
// address the reader's own network configuration names.
#pragma once

#include "simstreamserver.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kxsim {

class SimDevice;
class SimLinkFaults;

class SimTcpLink
{
public:
    SimTcpLink(SimDevice &device, std::shared_ptr<SimLinkFaults> faults);

    // Listens on host (a loopback address) and port (0: an ephemeral port).
    // On failure the previous listener, if any, stays in place.
    bool listen(const std::string &host, uint16_t port);
    void close();
    bool isListening() const { return m_server.isRunning(); }
    // Safe to call while the reader's own thread moves the listener.
    std::string host() const;
    uint16_t port() const;
    std::string lastError() const;
    const SimStreamServer &server() const { return m_server; }

private:
    std::mutex m_operation;     // one listen or close at a time
    mutable std::mutex m_mutex; // the fields below
    SimStreamServer m_server;
    std::string m_host;
    uint16_t m_port = 0;
    std::string m_lastError;
};

} // namespace kxsim

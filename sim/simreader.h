// One virtual reader with its links: the behaviour (a SimDevice), its
// transport faults, a TCP listener, its presence on the simulated USB bus and
// its registration with a UDP responder. A network change the device puts in
// force (system reset after new blocks 40/41 or a UDP setup) moves the TCP
// listener to the new port and, when it is a loopback one, the new address.
#pragma once

#include "simlinkfaults.h"
#include "simtcplink.h"
#include "simusblink.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kxsim {

class SimDevice;
class SimUdpResponder;

class SimReader
{
public:
    explicit SimReader(std::shared_ptr<SimDevice> device);
    ~SimReader();
    SimReader(const SimReader &) = delete;
    SimReader &operator=(const SimReader &) = delete;

    SimDevice &device() { return *m_device; }
    std::shared_ptr<SimDevice> sharedDevice() const { return m_device; }
    SimLinkFaults &faults() { return *m_faults; }

    bool listenTcp(const std::string &host, uint16_t port);
    void closeTcp();
    SimTcpLink &tcp() { return m_tcp; }

    bool plugUsb(const std::string &busDir = std::string());
    void unplugUsb();
    SimUsbLink &usb() { return m_usb; }

    // Registers the reader with a responder (not owned; must outlive this reader or be detached).
    void attachUdp(SimUdpResponder *responder);
    void detachUdp();

    // Number of network changes the links have followed; waits until every
    // change reported so far has been applied.
    int networkChangesApplied();
    std::string lastError() const;

private:
    void onNetworkChanged();
    void rebindLoop();

    std::shared_ptr<SimDevice> m_device;
    std::shared_ptr<SimLinkFaults> m_faults;
    SimTcpLink m_tcp;
    SimUsbLink m_usb;
    SimUdpResponder *m_udp = nullptr;

    mutable std::mutex m_mutex;
    std::condition_variable m_condition;
    int m_changesRequested = 0;
    int m_changesApplied = 0;
    bool m_stop = false;
    bool m_tcpWanted = false;
    std::string m_lastError;
    std::thread m_rebindThread;
};

} // namespace kxsim

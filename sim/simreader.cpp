#include "simreader.h"

#include "kxudpwire.h"
#include "simdevice.h"
#include "simudpresponder.h"

namespace kxsim {

SimReader::SimReader(std::shared_ptr<SimDevice> device)
    : m_device(std::move(device)), m_faults(std::make_shared<SimLinkFaults>()),
      m_tcp(*m_device, m_faults), m_usb(*m_device, m_faults)
{
    m_device->onNetworkChanged = [this] { onNetworkChanged(); };
    m_rebindThread = std::thread(&SimReader::rebindLoop, this);
}

SimReader::~SimReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_condition.notify_all();
    m_rebindThread.join();
    detachUdp();
    m_tcp.close();
    m_usb.unplug();
    m_device->onNetworkChanged = nullptr;
}

bool SimReader::listenTcp(const std::string &host, uint16_t port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool ok = m_tcp.listen(host, port);
    m_tcpWanted = m_tcpWanted || ok;
    if (!ok)
        m_lastError = m_tcp.lastError();
    return ok;
}

void SimReader::closeTcp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tcpWanted = false;
    m_tcp.close();
}

bool SimReader::plugUsb(const std::string &busDir)
{
    const bool ok = m_usb.plug(busDir);
    if (!ok) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastError = m_usb.lastError();
    }
    return ok;
}

void SimReader::unplugUsb()
{
    m_usb.unplug();
}

void SimReader::attachUdp(SimUdpResponder *responder)
{
    detachUdp();
    m_udp = responder;
    if (m_udp)
        m_udp->addDevice(m_device.get());
}

void SimReader::detachUdp()
{
    if (m_udp)
        m_udp->removeDevice(m_device.get());
    m_udp = nullptr;
}

int SimReader::networkChangesApplied()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_condition.wait(lock, [this] { return m_stop || m_changesApplied == m_changesRequested; });
    return m_changesApplied;
}

std::string SimReader::lastError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

void SimReader::onNetworkChanged()
{
    // Runs inside the device, often on a thread of the very listener that has
    // to move: the move happens on the reader's own thread instead.
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_changesRequested;
    }
    m_condition.notify_all();
}

void SimReader::rebindLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_condition.wait(lock, [this] { return m_stop || m_changesApplied < m_changesRequested; });
        if (m_stop)
            return;
        const int target = m_changesRequested;
        if (m_tcpWanted) {
            const SimNetworkConfig config = m_device->networkConfig();
            uint32_t address = 0;
            // Only loopback addresses are ever bound; any other address the
            // reader was given keeps it on the address it already has.
            std::string host = m_tcp.host();
            if (kxwire::parseIpv4(config.ip, address) && (address >> 24) == 127)
                host = config.ip;
            const uint16_t port = config.port != 0 ? config.port : m_tcp.port();
            lock.unlock();
            m_tcp.close(); // a reset cuts the reader's connections
            const bool ok = m_tcp.listen(host, port);
            lock.lock();
            if (!ok)
                m_lastError = "cannot listen on " + host + ":" + std::to_string(port) + ": " +
                              m_tcp.lastError();
        }
        m_changesApplied = target;
        m_condition.notify_all();
    }
}

} // namespace kxsim

#include "simusblink.h"

#include "kxusbbus.h"
#include "simdevice.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kxsim {

namespace {

bool makeFolders(const std::string &path)
{
    std::size_t pos = 0;
    while ((pos = path.find('/', pos + 1)) != std::string::npos)
        ::mkdir(path.substr(0, pos).c_str(), 0700);
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

SimUsbLink::SimUsbLink(SimDevice &device, std::shared_ptr<SimLinkFaults> faults)
    : m_device(device), m_server(device, std::move(faults))
{
}

SimUsbLink::~SimUsbLink()
{
    unplug();
}

bool SimUsbLink::plug(const std::string &busDir)
{
    unplug();
    const std::string dir = busDir.empty() ? kxwire::usbBusDir() : busDir;
    if (!makeFolders(dir)) {
        m_lastError = "cannot create the bus folder " + dir;
        return false;
    }
    // The default folder may sit in /tmp: only a real folder of our own is a bus.
    struct stat info;
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        m_lastError = "the bus folder is not a folder of this user: " + dir;
        return false;
    }
    const uint32_t id = m_device.deviceId();
    const std::string socketPath = kxwire::usbSocketPath(dir, id);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        m_lastError = "bus folder path too long for a socket: " + dir;
        return false;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_lastError = std::strerror(errno);
        return false;
    }
    // A socket left behind by a process that died must not block the device ID.
    // One that still accepts belongs to a live reader with the same ID.
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool taken =
        probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (probe >= 0)
        ::close(probe);
    if (taken) {
        ::close(fd);
        m_lastError = "a reader with this device ID is already attached";
        return false;
    }
    ::unlink(socketPath.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        m_lastError = std::strerror(errno);
        ::close(fd);
        return false;
    }
    const std::string namePath = kxwire::usbNamePath(dir, id);
    {
        std::ofstream name(namePath, std::ios::trunc);
        name << m_device.deviceName() << '\n';
    }
    if (!m_server.start(fd)) {
        ::unlink(socketPath.c_str());
        ::unlink(namePath.c_str());
        m_lastError = "cannot start the link";
        return false;
    }
    m_socketPath = socketPath;
    m_namePath = namePath;
    m_lastError.clear();
    return true;
}

void SimUsbLink::unplug()
{
    if (!m_socketPath.empty()) {
        // Gone from the bus first, so no new client finds it while the links close.
        ::unlink(m_socketPath.c_str());
        ::unlink(m_namePath.c_str());
    }
    m_server.stop();
    m_socketPath.clear();
    m_namePath.clear();
}

} // namespace kxsim

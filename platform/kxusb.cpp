#include "kxusb.h"

#include "kxlink.h"
#include "kxport.h"
#include "kxporttable.h"
#include "kxusbbus.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct ScanEntry
{
    uint32_t deviceId = 0;
    std::string name;
};

kxwire::PortTable &ports()
{
    static kxwire::PortTable table(KXPORT_USB_BIT);
    return table;
}

std::mutex &scanMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<ScanEntry> &scanList()
{
    static std::vector<ScanEntry> list;
    return list;
}

// Connects to the reader's socket; the fd, or a negative error.
int connectDevice(const std::string &busDir, uint32_t deviceId)
{
    const std::string path = kxwire::usbSocketPath(busDir, deviceId);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return KXUSB_ERR_BUS;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return KXUSB_ERR_NO_RESOURCES;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return KXUSB_ERR_NO_DEVICE;
    }
    return fd;
}

int openDevice(uint32_t deviceId)
{
    const int fd = connectDevice(kxwire::usbBusDir(), deviceId);
    if (fd < 0)
        return fd;
    auto link = std::make_shared<kxwire::ClientLink>(fd);
    link->setTimeoutMs(KXUSB_DEFAULT_TIMEOUT_MS);
    const int handle = ports().add(link);
    return handle > 0 ? handle : KXUSB_ERR_NO_RESOURCES;
}

// Lists the bus folder. A socket left behind by a reader process that died is
// not a reader: only sockets that accept a connection count.
int scanBus(std::vector<ScanEntry> &found)
{
    const std::string dir = kxwire::usbBusDir();
    DIR *folder = ::opendir(dir.c_str());
    if (!folder)
        return errno == ENOENT ? 0 : KXUSB_ERR_BUS;
    while (dirent *entry = ::readdir(folder)) {
        uint32_t id = 0;
        if (!kxwire::parseUsbDeviceFileName(entry->d_name, id))
            continue;
        struct stat info;
        const std::string path = dir + "/" + entry->d_name;
        if (::stat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        const int fd = connectDevice(dir, id);
        if (fd < 0)
            continue;
        ::close(fd);
        ScanEntry scanned;
        scanned.deviceId = id;
        std::ifstream nameFile(kxwire::usbNamePath(dir, id));
        std::getline(nameFile, scanned.name);
        if (!scanned.name.empty() && scanned.name.back() == '\r')
            scanned.name.pop_back();
        found.push_back(scanned);
    }
    ::closedir(folder);
    std::sort(found.begin(), found.end(),
              [](const ScanEntry &a, const ScanEntry &b) { return a.deviceId < b.deviceId; });
    return int(found.size());
}

int linkErrorCode(kxwire::LinkError error)
{
    switch (error) {
    case kxwire::LinkError::None:
        return 0;
    case kxwire::LinkError::Timeout:
        return KXUSB_ERR_TIMEOUT;
    case kxwire::LinkError::LinkLost:
        return KXUSB_ERR_LINK_LOST;
    case kxwire::LinkError::BadFrame:
        return KXUSB_ERR_BAD_FRAME;
    case kxwire::LinkError::AnswerTooLong:
        return KXUSB_ERR_ANSWER_TOO_LONG;
    case kxwire::LinkError::BadArgument:
        return KXUSB_ERR_BAD_ARGUMENT;
    }
    return KXUSB_ERR_BAD_ARGUMENT;
}

} // namespace

extern "C" {

int KXUSB_Scan(int, int)
{
    std::vector<ScanEntry> found;
    const int result = scanBus(found);
    std::lock_guard<std::mutex> lock(scanMutex());
    scanList() = found;
    return result;
}

int KXUSB_ScanAndOpen(int mode, int reserved)
{
    const int count = KXUSB_Scan(mode, reserved);
    if (count < 0)
        return count;
    std::vector<ScanEntry> list;
    {
        std::lock_guard<std::mutex> lock(scanMutex());
        list = scanList();
    }
    for (const ScanEntry &entry : list) {
        const int handle = openDevice(entry.deviceId);
        if (handle > 0)
            return handle;
    }
    return KXUSB_ERR_NO_READER_FOUND;
}

int KXUSB_OpenDevice(unsigned int deviceId)
{
    return openDevice(deviceId);
}

int KXUSB_CloseDevice(int portHandle)
{
    auto link = ports().take(portHandle);
    if (!link)
        return KXUSB_ERR_UNKNOWN_HANDLE;
    link->shutdown();
    return 0;
}

int KXUSB_SetDevicePara(int portHandle, const char *name, const char *value)
{
    auto link = ports().find(portHandle);
    if (!link)
        return KXUSB_ERR_UNKNOWN_HANDLE;
    if (!name || !value || strcasecmp(name, "TIMEOUT") != 0)
        return KXUSB_ERR_BAD_PARAMETER;
    char *end = nullptr;
    errno = 0;
    const long ms = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || errno != 0 || ms < 1 || ms > 3600000)
        return KXUSB_ERR_BAD_PARAMETER;
    link->setTimeoutMs(int(ms));
    return 0;
}

int KXUSB_GetScanListSize(void)
{
    std::lock_guard<std::mutex> lock(scanMutex());
    return int(scanList().size());
}

int KXUSB_GetScanListPara(int index, const char *name, char *text)
{
    if (!name || !text)
        return KXUSB_ERR_BAD_ARGUMENT;
    std::lock_guard<std::mutex> lock(scanMutex());
    if (index < 0 || std::size_t(index) >= scanList().size())
        return KXUSB_ERR_INDEX;
    const ScanEntry &entry = scanList()[std::size_t(index)];
    if (std::strcmp(name, "Device-ID") == 0) {
        std::snprintf(text, 1024, "%08X", unsigned(entry.deviceId));
        return 0;
    }
    if (std::strcmp(name, "DeviceName") == 0) {
        std::snprintf(text, 1024, "%s", entry.name.c_str());
        return 0;
    }
    return KXUSB_ERR_BAD_PARAMETER;
}

int KXUSB_GetErrorText(int errorCode, char *text)
{
    if (!text)
        return KXUSB_ERR_BAD_ARGUMENT;
    const char *message = nullptr;
    switch (errorCode) {
    case 0:
        message = "OK";
        break;
    case KXUSB_ERR_UNKNOWN_HANDLE:
        message = "USB: unknown or closed port handle";
        break;
    case KXUSB_ERR_BAD_ARGUMENT:
        message = "USB: invalid argument";
        break;
    case KXUSB_ERR_NO_DEVICE:
        message = "USB: no reader with this device ID is attached";
        break;
    case KXUSB_ERR_NO_READER_FOUND:
        message = "USB: no reader found";
        break;
    case KXUSB_ERR_BUS:
        message = "USB: the bus cannot be read";
        break;
    case KXUSB_ERR_INDEX:
        message = "USB: scan list index out of range";
        break;
    case KXUSB_ERR_TIMEOUT:
        message = "USB: no answer from the reader within the time-out";
        break;
    case KXUSB_ERR_LINK_LOST:
        message = "USB: reader unplugged or link lost";
        break;
    case KXUSB_ERR_BAD_FRAME:
        message = "USB: invalid answer frame (marker, length, CRC or command)";
        break;
    case KXUSB_ERR_ANSWER_TOO_LONG:
        message = "USB: answer longer than the receive buffer";
        break;
    case KXUSB_ERR_BAD_PARAMETER:
        message = "USB: unknown parameter or invalid value";
        break;
    case KXUSB_ERR_NO_RESOURCES:
        message = "USB: no socket or port handle available";
        break;
    default:
        std::snprintf(text, 1024, "USB: unknown error code %d", errorCode);
        return KXUSB_ERR_BAD_ARGUMENT;
    }
    std::snprintf(text, 1024, "%s", message);
    return 0;
}

int kxusb_transceive(int portHandle, unsigned char busAddress, unsigned char command,
                     const unsigned char *request, int requestLength, unsigned char *status,
                     unsigned char *answer, int answerCapacity, int *answerLength)
{
    if (answerLength)
        *answerLength = 0;
    auto link = ports().find(portHandle);
    if (!link)
        return KXUSB_ERR_UNKNOWN_HANDLE;
    return linkErrorCode(link->transceive(busAddress, command, request, requestLength, status,
                                          answer, answerCapacity, answerLength));
}

} // extern "C"

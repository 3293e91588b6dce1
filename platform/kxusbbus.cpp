#include "kxusbbus.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace kxwire {

std::string usbBusDir()
{
    if (const char *dir = std::getenv("KXUSB_BUS_DIR"); dir && *dir)
        return dir;
    if (const char *runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/kelvara-usb-bus";
    return "/tmp/kelvara-usb-bus-" + std::to_string(unsigned(getuid()));
}

std::string usbDeviceFileName(uint32_t deviceId)
{
    char name[16];
    std::snprintf(name, sizeof name, "%08X", unsigned(deviceId));
    return name;
}

std::string usbSocketPath(const std::string &busDir, uint32_t deviceId)
{
    return busDir + "/" + usbDeviceFileName(deviceId);
}

std::string usbNamePath(const std::string &busDir, uint32_t deviceId)
{
    return usbSocketPath(busDir, deviceId) + ".name";
}

bool parseUsbDeviceFileName(const std::string &name, uint32_t &deviceId)
{
    if (name.size() != 8 || name.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
        return false;
    deviceId = uint32_t(std::strtoul(name.c_str(), nullptr, 16));
    return true;
}

} // namespace kxwire

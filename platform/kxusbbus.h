// The simulated USB bus shared by kxusb and the virtual readers: a folder in
// which every attached reader keeps a Unix-domain socket named after its
// device ID ("0012AB34") and a file "0012AB34.name" with its device name.
#pragma once

#include <cstdint>
#include <string>

namespace kxwire {

// KXUSB_BUS_DIR, else $XDG_RUNTIME_DIR/kelvara-usb-bus, else /tmp/kelvara-usb-bus-<uid>.
std::string usbBusDir();
std::string usbDeviceFileName(uint32_t deviceId); // "%08X"
std::string usbSocketPath(const std::string &busDir, uint32_t deviceId);
std::string usbNamePath(const std::string &busDir, uint32_t deviceId);
// Parses a file name of exactly 8 hexadecimal digits.
bool parseUsbDeviceFileName(const std::string &name, uint32_t &deviceId);

} // namespace kxwire

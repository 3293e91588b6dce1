// Frame codec shared by the transports and the virtual readers.
#pragma once
#include <cstddef>
#include <cstdint>
namespace kxwire {
uint16_t crc16(const uint8_t *data, std::size_t length);
} // namespace kxwire

// Datagrams of the UDP discovery and network setup, shared by kxudp and the
// virtual readers' responder. Layout in doc/reader-protocol.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kxwire {

constexpr uint8_t kUdpVersion = 1;
enum UdpOpcode : uint8_t {
    UdpDiscoverRequest = 0x01,
    UdpDiscoverAnswer = 0x81,
    UdpSetupRequest = 0x02,
    UdpSetupAnswer = 0x82,
};
// Largest datagram either side sends; anything longer is not ours.
constexpr std::size_t kMaxDatagram = 1024;
constexpr std::size_t kMaxUdpText = 63;

// What a reader tells about itself, and what a setup request asks of it.
struct UdpReaderRecord
{
    uint32_t readerType = 0;
    uint8_t networkFlags = 0; // bit 7 DHCP, bit 6 security mode, bit 5 DNS
    uint8_t validFlags = 0;   // bit 0 device ID, 1 MAC, 2 IP, 3 mask, 4 gateway, 5 port, 6/7 texts
    uint32_t deviceId = 0;
    uint8_t mac[6] = {0, 0, 0, 0, 0, 0};
    uint32_t ip = 0; // host byte order
    uint32_t netmask = 0;
    uint32_t gateway = 0;
    uint16_t port = 0;
    std::string text1; // at most kMaxUdpText bytes
    std::string text2;
};

struct UdpMessage
{
    uint8_t opcode = 0;
    uint16_t sequence = 0;
    UdpReaderRecord record; // discover answer, setup request
    uint8_t status = 0;     // setup answer: 0 applied, otherwise refused
};

std::vector<uint8_t> encodeUdp(const UdpMessage &message);
// False for anything that is not a complete, CRC-correct datagram of ours.
bool decodeUdp(const uint8_t *data, std::size_t length, UdpMessage &message);

// "a.b.c.d" <-> host-order address; parse fails for anything else.
bool parseIpv4(const std::string &text, uint32_t &address);
std::string formatIpv4(uint32_t address);
// "00-11-22-33-44-55" (or with ":") <-> 6 bytes.
bool parseMac(const std::string &text, uint8_t mac[6]);
std::string formatMac(const uint8_t mac[6]);

} // namespace kxwire

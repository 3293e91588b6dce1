#include "kxudpwire.h"

#include "kxwire.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include <arpa/inet.h>

namespace kxwire {

namespace {

const uint8_t kMagic[4] = {'K', 'X', 'D', 'S'};
constexpr std::size_t kUdpHeader = 8; // magic, version, opcode, sequence

void put32(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void put16(std::vector<uint8_t> &out, uint16_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putText(std::vector<uint8_t> &out, const std::string &text)
{
    const std::size_t length = text.size() > kMaxUdpText ? kMaxUdpText : text.size();
    out.push_back(uint8_t(length));
    out.insert(out.end(), text.begin(), text.begin() + std::ptrdiff_t(length));
}

class Reader
{
public:
    Reader(const uint8_t *data, std::size_t length) : m_data(data), m_length(length) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_length; }
    uint8_t u8()
    {
        if (m_pos + 1 > m_length) {
            m_ok = false;
            return 0;
        }
        return m_data[m_pos++];
    }
    uint16_t u16()
    {
        // Two statements: the operands of "|" may be evaluated in either order.
        const uint16_t hi = u8();
        const uint16_t lo = u8();
        return uint16_t((hi << 8) | lo);
    }
    uint32_t u32()
    {
        const uint32_t hi = u16();
        return (hi << 16) | u16();
    }
    std::string text()
    {
        const std::size_t length = u8();
        if (!m_ok || length > kMaxUdpText || m_pos + length > m_length) {
            m_ok = false;
            return {};
        }
        std::string value(reinterpret_cast<const char *>(m_data + m_pos), length);
        m_pos += length;
        return value;
    }

private:
    const uint8_t *m_data;
    std::size_t m_length;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

void putRecordAddresses(std::vector<uint8_t> &out, const UdpReaderRecord &r)
{
    out.insert(out.end(), r.mac, r.mac + 6);
    put32(out, r.ip);
    put32(out, r.netmask);
    put32(out, r.gateway);
    put16(out, r.port);
}

void readRecordAddresses(Reader &in, UdpReaderRecord &r)
{
    for (uint8_t &byte : r.mac)
        byte = in.u8();
    r.ip = in.u32();
    r.netmask = in.u32();
    r.gateway = in.u32();
    r.port = in.u16();
}

} // namespace

std::vector<uint8_t> encodeUdp(const UdpMessage &message)
{
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    out.push_back(kUdpVersion);
    out.push_back(message.opcode);
    put16(out, message.sequence);
    const UdpReaderRecord &r = message.record;
    switch (message.opcode) {
    case UdpDiscoverAnswer:
        put32(out, r.readerType);
        out.push_back(r.networkFlags);
        out.push_back(r.validFlags);
        put32(out, r.deviceId);
        putRecordAddresses(out, r);
        putText(out, r.text1);
        putText(out, r.text2);
        break;
    case UdpSetupRequest:
        put32(out, r.readerType);
        out.push_back(r.networkFlags);
        out.push_back(r.validFlags);
        put32(out, r.deviceId);
        putRecordAddresses(out, r);
        break;
    case UdpSetupAnswer:
        put32(out, r.deviceId);
        out.push_back(message.status);
        break;
    default:
        break;
    }
    const uint16_t crc = crc16(out.data(), out.size());
    put16(out, crc);
    return out;
}

bool decodeUdp(const uint8_t *data, std::size_t length, UdpMessage &message)
{
    if (!data || length < kUdpHeader + 2 || length > kMaxDatagram)
        return false;
    for (int i = 0; i < 4; ++i)
        if (data[i] != kMagic[i])
            return false;
    if (data[4] != kUdpVersion)
        return false;
    const uint16_t crc = uint16_t((data[length - 2] << 8) | data[length - 1]);
    if (crc16(data, length - 2) != crc)
        return false;
    message = UdpMessage();
    message.opcode = data[5];
    message.sequence = uint16_t((data[6] << 8) | data[7]);
    Reader in(data + kUdpHeader, length - kUdpHeader - 2);
    UdpReaderRecord &r = message.record;
    switch (message.opcode) {
    case UdpDiscoverRequest:
        break;
    case UdpDiscoverAnswer:
        r.readerType = in.u32();
        r.networkFlags = in.u8();
        r.validFlags = in.u8();
        r.deviceId = in.u32();
        readRecordAddresses(in, r);
        r.text1 = in.text();
        r.text2 = in.text();
        break;
    case UdpSetupRequest:
        r.readerType = in.u32();
        r.networkFlags = in.u8();
        r.validFlags = in.u8();
        r.deviceId = in.u32();
        readRecordAddresses(in, r);
        break;
    case UdpSetupAnswer:
        r.deviceId = in.u32();
        message.status = in.u8();
        break;
    default:
        return false;
    }
    return in.ok() && in.atEnd();
}

bool parseIpv4(const std::string &text, uint32_t &address)
{
    in_addr parsed{};
    if (text.empty() || inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return false;
    address = ntohl(parsed.s_addr);
    return true;
}

std::string formatIpv4(uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 255, (address >> 16) & 255,
                  (address >> 8) & 255, address & 255);
    return text;
}

bool parseMac(const std::string &text, uint8_t mac[6])
{
    if (text.size() != 17)
        return false;
    for (int i = 0; i < 6; ++i) {
        const std::size_t at = std::size_t(i) * 3;
        if (i > 0 && text[at - 1] != '-' && text[at - 1] != ':')
            return false;
        if (!std::isxdigit(static_cast<unsigned char>(text[at])) ||
            !std::isxdigit(static_cast<unsigned char>(text[at + 1])))
            return false;
        char digits[3] = {text[at], text[at + 1], 0};
        char *end = nullptr;
        const unsigned long value = std::strtoul(digits, &end, 16);
        if (end != digits + 2)
            return false;
        mac[i] = uint8_t(value);
    }
    return true;
}

std::string formatMac(const uint8_t mac[6])
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

} // namespace kxwire

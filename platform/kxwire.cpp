#include "kxwire.h"

namespace kxwire {

namespace {

uint16_t crcTable(uint8_t index)
{
    uint16_t crc = uint16_t(index) << 8;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    return crc;
}

struct CrcTable
{
    uint16_t values[256];
    CrcTable()
    {
        for (int i = 0; i < 256; ++i)
            values[i] = crcTable(uint8_t(i));
    }
};

uint32_t readLength(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

} // namespace

uint16_t crc16(const uint8_t *data, std::size_t length)
{
    static const CrcTable table;
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i)
        crc = uint16_t((crc << 8) ^ table.values[uint8_t((crc >> 8) ^ data[i])]);
    return crc;
}

std::vector<uint8_t> encode(const Frame &frame)
{
    if (frame.payload.size() > kMaxPayloadLength)
        return {};
    const std::size_t total =
        (frame.answer ? kMinAnswerLength : kMinRequestLength) + frame.payload.size();
    std::vector<uint8_t> bytes;
    bytes.reserve(total);
    bytes.push_back(frame.answer ? kAnswerMarker : kRequestMarker);
    bytes.push_back(uint8_t(total >> 24));
    bytes.push_back(uint8_t(total >> 16));
    bytes.push_back(uint8_t(total >> 8));
    bytes.push_back(uint8_t(total));
    bytes.push_back(frame.sequence);
    bytes.push_back(frame.busAddress);
    bytes.push_back(frame.command);
    if (frame.answer)
        bytes.push_back(frame.status);
    bytes.insert(bytes.end(), frame.payload.begin(), frame.payload.end());
    const uint16_t crc = crc16(bytes.data(), bytes.size());
    bytes.push_back(uint8_t(crc >> 8));
    bytes.push_back(uint8_t(crc));
    return bytes;
}

DecodeResult decodeOne(const uint8_t *data, std::size_t length, bool answer, Frame &frame)
{
    if (length < 1)
        return DecodeResult::NeedMore;
    if (data[0] != (answer ? kAnswerMarker : kRequestMarker))
        return DecodeResult::BadMarker;
    if (length < 5)
        return DecodeResult::NeedMore;
    const uint32_t total = readLength(data + 1);
    const std::size_t minimum = answer ? kMinAnswerLength : kMinRequestLength;
    if (total < minimum || total > kMaxFrameLength)
        return DecodeResult::BadLength;
    if (length < total)
        return DecodeResult::NeedMore;
    frame.answer = answer;
    frame.sequence = data[5];
    frame.busAddress = data[6];
    frame.command = data[7];
    frame.status = answer ? data[8] : 0;
    const uint16_t expected = uint16_t((data[total - 2] << 8) | data[total - 1]);
    if (crc16(data, total - kCrcLength) != expected) {
        frame.payload.clear();
        return DecodeResult::BadCrc;
    }
    const std::size_t payloadStart = answer ? kHeaderLength + 1 : kHeaderLength;
    frame.payload.assign(data + payloadStart, data + total - kCrcLength);
    return DecodeResult::Frame;
}

FrameDecoder::FrameDecoder(bool answers) : m_answers(answers) {}

void FrameDecoder::feed(const uint8_t *data, std::size_t length)
{
    // Drop what was consumed before growing, so a long-lived link keeps a small buffer.
    if (m_start > 0 && (m_start == m_buffer.size() || m_start > 64 * 1024)) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), data, data + length);
}

DecodeResult FrameDecoder::next(Frame &frame)
{
    const uint8_t *data = m_buffer.data() + m_start;
    const std::size_t length = m_buffer.size() - m_start;
    const DecodeResult result = decodeOne(data, length, m_answers, frame);
    if (result == DecodeResult::Frame || result == DecodeResult::BadCrc)
        m_start += readLength(data + 1);
    return result;
}

void FrameDecoder::reset()
{
    m_buffer.clear();
    m_start = 0;
}

} // namespace kxwire

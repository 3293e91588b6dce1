// The frame codec shared by the transports (kxtcp, kxusb) and the virtual
// readers' links. Plain C++17, no Qt. The layout is described in
// doc/reader-protocol.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kxwire {

constexpr uint8_t kRequestMarker = 0xA5;
constexpr uint8_t kAnswerMarker = 0x5A;

// marker, 4 length bytes, sequence, bus address, command
constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kCrcLength = 2;
constexpr std::size_t kMinRequestLength = kHeaderLength + kCrcLength;
constexpr std::size_t kMinAnswerLength = kHeaderLength + 1 + kCrcLength;
// Largest frame either side accepts; a length field above it is treated as
// garbage rather than as a reason to allocate.
constexpr std::size_t kMaxFrameLength = 128 * 1024;
constexpr std::size_t kMaxPayloadLength = kMaxFrameLength - kMinAnswerLength;

// Status a link answers when a request arrived with a bad CRC (the frame was
// well delimited, so the link stays usable).
constexpr uint8_t kStatusFrameError = 0xFE;

// CRC-16 with polynomial 0x1021, start value 0xFFFF, no reflection.
uint16_t crc16(const uint8_t *data, std::size_t length);

struct Frame
{
    bool answer = false;
    uint8_t sequence = 0;
    uint8_t busAddress = 0;
    uint8_t command = 0;
    uint8_t status = 0; // answers only
    std::vector<uint8_t> payload;
};

// The complete frame bytes, CRC included. Payloads longer than
// kMaxPayloadLength are not representable and give an empty result.
std::vector<uint8_t> encode(const Frame &frame);

enum class DecodeResult {
    NeedMore,  // no complete frame buffered yet
    Frame,     // one frame taken from the buffer
    BadCrc,    // one well-delimited frame with a wrong CRC was dropped; header fields are filled
    BadMarker, // the stream is out of step: caller resets (client) or closes the link (server)
    BadLength, // length field below the minimum or above kMaxFrameLength: same as BadMarker
};

// Splits a byte stream into frames of one kind (requests or answers).
class FrameDecoder
{
public:
    explicit FrameDecoder(bool answers);

    void feed(const uint8_t *data, std::size_t length);
    // Takes the next frame from the buffer. After BadMarker or BadLength the
    // buffer is left as it was; call reset() before feeding more.
    DecodeResult next(Frame &frame);
    void reset();
    std::size_t buffered() const { return m_buffer.size() - m_start; }

private:
    bool m_answers;
    std::vector<uint8_t> m_buffer;
    std::size_t m_start = 0;
};

// Decodes exactly one frame from a complete buffer (used by tests and tools).
DecodeResult decodeOne(const uint8_t *data, std::size_t length, bool answer, Frame &frame);

} // namespace kxwire

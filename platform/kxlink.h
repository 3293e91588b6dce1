// One open client port of a transport: a connected stream socket that sends
// request frames and waits for the matching answer within the port's time-out.
#pragma once

#include "kxwire.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace kxwire {

enum class LinkError {
    None,
    Timeout,       // no complete answer within the time-out
    LinkLost,      // the peer closed the link or a send failed
    BadFrame,      // wrong marker, length, CRC or command in the answer
    AnswerTooLong, // the answer does not fit the caller's buffer
    BadArgument,   // null or negative lengths, request too long
};

int64_t monotonicMs();

// Writes all bytes, waiting for the socket to drain until the deadline.
bool sendAll(int fd, const uint8_t *data, std::size_t length, int64_t deadlineMs);

class ClientLink
{
public:
    explicit ClientLink(int fd);
    ~ClientLink();
    ClientLink(const ClientLink &) = delete;
    ClientLink &operator=(const ClientLink &) = delete;

    void setTimeoutMs(int timeoutMs);
    int timeoutMs() const;
    // Wakes a transceive blocked on another thread; the socket closes with the last reference.
    void shutdown();

    LinkError transceive(uint8_t busAddress, uint8_t command, const uint8_t *request,
                         int requestLength, uint8_t *status, uint8_t *answer, int answerCapacity,
                         int *answerLength);

private:
    void discardPending();

    int m_fd;
    mutable std::mutex m_mutex;
    int m_timeoutMs = 5000;
    uint8_t m_sequence = 0;
    bool m_lost = false;
    FrameDecoder m_decoder{true};
};

} // namespace kxwire

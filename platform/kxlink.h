// One open client port of a transport: a connected stream socket that sends
// request frames and waits for the matching answer within the port's time-out.
#pragma once

#include "kxwire.h"

#include <cstdint>
#include <map>
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

// Handles of one transport: flag bit plus a running number, never 0 and
// never negative. Lookups hand out shared references, so closing a handle
// while another thread still uses it cannot free the link under it.
class PortTable
{
public:
    explicit PortTable(int flagBit);
    // Returns the new handle, or 0 when the table is full.
    int add(std::shared_ptr<ClientLink> link);
    std::shared_ptr<ClientLink> find(int handle) const;
    std::shared_ptr<ClientLink> take(int handle);

private:
    int m_flagBit;
    mutable std::mutex m_mutex;
    std::map<int, std::shared_ptr<ClientLink>> m_links;
    int m_next = 1;
};

} // namespace kxwire

#include "kxlink.h"

#include <cerrno>
#include <chrono>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kxwire {

namespace {

// Waits until fd is readable (or writable) or the deadline passed; false on time-out.
bool waitFor(int fd, short events, int64_t deadlineMs)
{
    for (;;) {
        const int64_t left = deadlineMs - monotonicMs();
        if (left <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, int(left > 60000 ? 60000 : left));
        if (r > 0)
            return true;
        if (r < 0 && errno != EINTR)
            return true; // let the following read or write report the fault
    }
}

} // namespace

int64_t monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool sendAll(int fd, const uint8_t *data, std::size_t length, int64_t deadlineMs)
{
    std::size_t sent = 0;
    while (sent < length) {
        const ssize_t n = ::send(fd, data + sent, length - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, deadlineMs))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

ClientLink::ClientLink(int fd) : m_fd(fd) {}

ClientLink::~ClientLink()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void ClientLink::setTimeoutMs(int timeoutMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timeoutMs = timeoutMs;
}

int ClientLink::timeoutMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timeoutMs;
}

void ClientLink::shutdown()
{
    ::shutdown(m_fd, SHUT_RDWR);
}

void ClientLink::discardPending()
{
    // Late answers to a request that timed out, or the rest of a bad frame.
    m_decoder.reset();
    uint8_t scratch[4096];
    for (;;) {
        const ssize_t n = ::recv(m_fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (n > 0)
            continue;
        if (n == 0)
            m_lost = true;
        if (n < 0 && errno == EINTR)
            continue;
        return;
    }
}

LinkError ClientLink::transceive(uint8_t busAddress, uint8_t command, const uint8_t *request,
                                 int requestLength, uint8_t *status, uint8_t *answer,
                                 int answerCapacity, int *answerLength)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (answerLength)
        *answerLength = 0;
    if (status)
        *status = 0;
    if (requestLength < 0 || (requestLength > 0 && !request) || answerCapacity < 0 ||
        (answerCapacity > 0 && !answer) || std::size_t(requestLength) > kMaxPayloadLength)
        return LinkError::BadArgument;
    if (!m_lost)
        discardPending();
    if (m_lost)
        return LinkError::LinkLost;

    Frame out;
    out.sequence = ++m_sequence;
    out.busAddress = busAddress;
    out.command = command;
    out.payload.assign(request, request + requestLength);
    const std::vector<uint8_t> bytes = encode(out);
    const int64_t deadline = monotonicMs() + (m_timeoutMs > 0 ? m_timeoutMs : 0);
    if (!sendAll(m_fd, bytes.data(), bytes.size(), deadline)) {
        if (monotonicMs() >= deadline)
            return LinkError::Timeout;
        m_lost = true;
        return LinkError::LinkLost;
    }

    uint8_t chunk[8192];
    Frame in;
    for (;;) {
        DecodeResult r;
        while ((r = m_decoder.next(in)) == DecodeResult::Frame || r == DecodeResult::BadCrc) {
            if (in.sequence != out.sequence)
                continue; // an answer to an earlier request that had timed out
            if (r == DecodeResult::BadCrc || in.command != out.command) {
                m_decoder.reset();
                return LinkError::BadFrame;
            }
            // The reader got our request damaged: a transport failure, not a reader status.
            if (in.status == kStatusFrameError && in.payload.empty())
                return LinkError::BadFrame;
            if (status)
                *status = in.status;
            if (in.payload.size() > std::size_t(answerCapacity))
                return LinkError::AnswerTooLong;
            for (std::size_t i = 0; i < in.payload.size(); ++i)
                answer[i] = in.payload[i];
            if (answerLength)
                *answerLength = int(in.payload.size());
            return LinkError::None;
        }
        if (r != DecodeResult::NeedMore) {
            m_decoder.reset();
            return LinkError::BadFrame;
        }
        if (!waitFor(m_fd, POLLIN, deadline))
            return LinkError::Timeout;
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            m_decoder.feed(chunk, std::size_t(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            m_lost = true;
            return LinkError::LinkLost;
        }
    }
}

} // namespace kxwire

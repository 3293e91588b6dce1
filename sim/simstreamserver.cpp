#include "simstreamserver.h"

#include "kxlink.h"
#include "kxwire.h"
#include "simdevice.h"
#include "simlinkfaults.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kxsim {

namespace {

// An answer that cannot be written within this time means the client stopped reading.
constexpr int kSendTimeoutMs = 5000;
// Keeps one client from holding more than this many bytes of unframed input.
constexpr std::size_t kMaxBuffered = kxwire::kMaxFrameLength + 8192;
constexpr int kMaxClients = 32;

} // namespace

SimStreamServer::SimStreamServer(SimDevice &device, std::shared_ptr<SimLinkFaults> faults)
    : m_device(device), m_faults(std::move(faults))
{
    if (!m_faults)
        m_faults = std::make_shared<SimLinkFaults>();
}

SimStreamServer::~SimStreamServer()
{
    stop();
}

bool SimStreamServer::start(int listenFd)
{
    stop();
    if (listenFd < 0)
        return false;
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(listenFd);
        return false;
    }
    m_listenFd = listenFd;
    m_stopping = false;
    m_running = true;
    m_acceptThread = std::thread(&SimStreamServer::acceptLoop, this);
    return true;
}

void SimStreamServer::stop()
{
    if (!m_running)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_stopCondition.notify_all();
    const char byte = 1;
    // The pipe is never read, so every poll that watches it wakes from now on.
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    std::list<std::unique_ptr<Client>> clients;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        clients.swap(m_clients);
    }
    for (auto &client : clients) {
        if (client->thread.joinable())
            client->thread.join();
        ::close(client->fd);
    }
    ::close(m_listenFd);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    m_listenFd = m_wake[0] = m_wake[1] = -1;
    m_running = false;
}

int SimStreamServer::clientCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const auto &client : m_clients)
        count += client->done ? 0 : 1;
    return count;
}

bool SimStreamServer::waitStopFor(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_stopCondition.wait_for(lock, std::chrono::milliseconds(ms),
                                    [this] { return m_stopping.load(); });
}

void SimStreamServer::reapFinished()
{
    std::list<std::unique_ptr<Client>> finished;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_clients.begin(); it != m_clients.end();) {
            if ((*it)->done) {
                finished.push_back(std::move(*it));
                it = m_clients.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto &client : finished) {
        client->thread.join();
        ::close(client->fd);
    }
}

void SimStreamServer::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, 1000);
        if (m_stopping)
            return;
        reapFinished();
        if (r <= 0 || !(fds[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        if (clientCount() >= kMaxClients) {
            // A reader has a few links, not hundreds; refusing keeps the others served.
            ::close(fd);
            continue;
        }
        // Answers are small and go out at once (no effect on Unix-domain sockets).
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto client = std::make_unique<Client>();
        client->fd = fd;
        Client *raw = client.get();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            ::close(fd);
            return;
        }
        m_clients.push_back(std::move(client));
        raw->thread = std::thread(&SimStreamServer::serve, this, raw);
    }
}

void SimStreamServer::serve(Client *client)
{
    kxwire::FrameDecoder decoder(false);
    uint8_t chunk[8192];
    bool open = true;
    while (open && !m_stopping) {
        pollfd fds[2] = {{client->fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, -1);
        if (m_stopping)
            break;
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        const ssize_t n = ::recv(client->fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            break;
        }
        m_bytesIn += uint64_t(n);
        decoder.feed(chunk, std::size_t(n));
        if (decoder.buffered() > kMaxBuffered)
            break;

        kxwire::Frame request;
        for (;;) {
            const kxwire::DecodeResult result = decoder.next(request);
            if (result == kxwire::DecodeResult::NeedMore)
                break;
            if (result == kxwire::DecodeResult::BadMarker ||
                result == kxwire::DecodeResult::BadLength) {
                // Out of step with the client: no frame boundary can be trusted any more.
                ++m_badFrames;
                open = false;
                break;
            }
            kxwire::Frame answer;
            answer.answer = true;
            answer.sequence = request.sequence;
            answer.busAddress = request.busAddress;
            answer.command = request.command;
            if (result == kxwire::DecodeResult::BadCrc) {
                ++m_badFrames;
                answer.status = kxwire::kStatusFrameError;
            } else {
                if (m_faults->onRequest() == SimLinkFaults::Action::Drop) {
                    open = false;
                    break;
                }
                const int delay = m_faults->delayMs();
                if (delay > 0 && waitStopFor(delay)) {
                    open = false;
                    break;
                }
                try {
                    m_device.handleFrame(request.busAddress, request.command, request.payload,
                                         answer.status, answer.payload);
                } catch (...) {
                    answer.status = kxwire::kStatusFrameError;
                    answer.payload.clear();
                }
                if (answer.payload.size() > kxwire::kMaxPayloadLength) {
                    answer.status = kxwire::kStatusFrameError;
                    answer.payload.clear();
                }
            }
            std::vector<uint8_t> bytes = kxwire::encode(answer);
            if (m_faults->takeCorruption())
                bytes.back() ^= 0x5A;
            // Counted before sending, so a client holding the answer sees it counted.
            m_bytesOut += bytes.size();
            if (result == kxwire::DecodeResult::Frame)
                ++m_framesAnswered;
            if (!kxwire::sendAll(client->fd, bytes.data(), bytes.size(),
                                 kxwire::monotonicMs() + kSendTimeoutMs)) {
                open = false;
                break;
            }
        }
    }
    ::shutdown(client->fd, SHUT_RDWR);
    client->done = true;
}

} // namespace kxsim

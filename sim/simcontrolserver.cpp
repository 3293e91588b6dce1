#include "simcontrolserver.h"

#include "kxlink.h"
#include "simfleet.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kxsim {

namespace {

constexpr std::size_t kMaxLine = 4096;
constexpr int kClientTimeoutMs = 10000;

bool addressOf(const std::string &path, sockaddr_un &address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

SimControlServer::SimControlServer(SimFleet &fleet) : m_fleet(fleet) {}

SimControlServer::~SimControlServer()
{
    stop();
}

std::string SimControlServer::defaultPath()
{
    if (const char *runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/kelvara-reader-sim.ctl";
    return "/tmp/kelvara-reader-sim-" + std::to_string(unsigned(getuid())) + ".ctl";
}

bool SimControlServer::start(const std::string &path, std::string &error)
{
    sockaddr_un address;
    if (!addressOf(path, address)) {
        error = "control socket path empty or too long: " + path;
        return false;
    }
    std::string answer;
    if (send(path, "list", answer)) {
        error = "another simulator already answers on " + path;
        return false;
    }
    ::unlink(path.c_str());
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0 ||
        ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 8) != 0 || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = "control socket " + path + ": " + std::strerror(errno);
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    // Only this user steers the simulator.
    ::chmod(path.c_str(), 0600);
    m_path = path;
    m_stop = false;
    m_thread = std::thread(&SimControlServer::run, this);
    return true;
}

void SimControlServer::stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    if (m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    else
        m_thread.detach();
    ::close(m_listenFd);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    m_listenFd = m_wake[0] = m_wake[1] = -1;
    ::unlink(m_path.c_str());
}

void SimControlServer::run()
{
    while (!m_stop) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (m_stop)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd);
            ::close(fd);
        }
    }
}

void SimControlServer::serve(int fd)
{
    // One client at a time; a client that stalls is dropped after the time-out.
    std::string buffer;
    char chunk[1024];
    const int64_t deadline = kxwire::monotonicMs() + kClientTimeoutMs;
    while (!m_stop) {
        const int64_t left = deadline - kxwire::monotonicMs();
        if (left <= 0)
            return;
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, int(left)) <= 0 || m_stop)
            return;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return;
        buffer.append(chunk, std::size_t(n));
        std::size_t newline;
        while ((newline = buffer.find('\n')) != std::string::npos) {
            const std::string line = buffer.substr(0, newline);
            buffer.erase(0, newline + 1);
            bool quit = false;
            std::string answer;
            {
                std::lock_guard<std::mutex> lock(m_fleetMutex);
                answer = m_fleet.execute(line, quit);
            }
            // A line with a single dot ends every reply.
            if (answer.empty() || answer.back() != '\n')
                answer += '\n';
            answer += ".\n";
            if (!kxwire::sendAll(fd, reinterpret_cast<const uint8_t *>(answer.data()),
                                 answer.size(), kxwire::monotonicMs() + kClientTimeoutMs))
                return;
            if (quit) {
                if (onQuit)
                    onQuit();
                return;
            }
        }
        if (buffer.size() > kMaxLine) {
            const std::string answer = "ERROR line too long\n.\n";
            kxwire::sendAll(fd, reinterpret_cast<const uint8_t *>(answer.data()), answer.size(),
                            kxwire::monotonicMs() + 1000);
            return;
        }
    }
}

bool SimControlServer::send(const std::string &path, const std::string &command,
                            std::string &answer)
{
    answer.clear();
    sockaddr_un address;
    if (!addressOf(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    const std::string line = command + "\n";
    const int64_t deadline = kxwire::monotonicMs() + kClientTimeoutMs;
    bool ok =
        kxwire::sendAll(fd, reinterpret_cast<const uint8_t *>(line.data()), line.size(), deadline);
    char chunk[4096];
    while (ok) {
        if (answer == ".\n" ||
            (answer.size() >= 3 && answer.compare(answer.size() - 3, 3, "\n.\n") == 0)) {
            answer.erase(answer.size() - 2);
            break;
        }
        const int64_t left = deadline - kxwire::monotonicMs();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, int(left)) <= 0) {
            ok = false;
            break;
        }
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            ok = false;
            break;
        }
        answer.append(chunk, std::size_t(n));
    }
    ::close(fd);
    return ok;
}

} // namespace kxsim

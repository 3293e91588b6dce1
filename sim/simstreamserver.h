// Serves one listening stream socket (TCP or Unix-domain) for a virtual
// reader: a thread accepts clients, each client gets a thread that splits the
// byte stream into request frames and answers them through the SimDevice.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace kxsim {

class SimDevice;
class SimLinkFaults;

class SimStreamServer
{
public:
    SimStreamServer(SimDevice &device, std::shared_ptr<SimLinkFaults> faults);
    ~SimStreamServer();
    SimStreamServer(const SimStreamServer &) = delete;
    SimStreamServer &operator=(const SimStreamServer &) = delete;

    // Takes ownership of a socket that already listens.
    bool start(int listenFd);
    // Closes the listener and every client link, and waits for their threads.
    void stop();
    bool isRunning() const { return m_running; }

    int clientCount() const;
    uint64_t framesAnswered() const { return m_framesAnswered; }
    uint64_t badFrames() const { return m_badFrames; }
    // Bytes received from and sent to clients, for figures on the wire.
    uint64_t bytesIn() const { return m_bytesIn; }
    uint64_t bytesOut() const { return m_bytesOut; }

private:
    struct Client
    {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void acceptLoop();
    void serve(Client *client);
    bool waitStopFor(int ms);
    void reapFinished();

    SimDevice &m_device;
    std::shared_ptr<SimLinkFaults> m_faults;
    int m_listenFd = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptThread;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopCondition;
    std::list<std::unique_ptr<Client>> m_clients;
    std::atomic<uint64_t> m_framesAnswered{0};
    std::atomic<uint64_t> m_badFrames{0};
    std::atomic<uint64_t> m_bytesIn{0};
    std::atomic<uint64_t> m_bytesOut{0};
};

} // namespace kxsim

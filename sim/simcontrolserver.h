// The control socket of a running simulator: a Unix-domain socket that takes
// one command per line (see SimFleet::execute) and answers each with the
// reply's lines followed by a line holding a single ".".
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kxsim {

class SimFleet;

class SimControlServer
{
public:
    explicit SimControlServer(SimFleet &fleet);
    ~SimControlServer();
    SimControlServer(const SimControlServer &) = delete;
    SimControlServer &operator=(const SimControlServer &) = delete;

    bool start(const std::string &path, std::string &error);
    void stop();
    std::string path() const { return m_path; }
    // Called (on the server's thread) after a "quit" command was answered.
    std::function<void()> onQuit;

    // Default socket path: $XDG_RUNTIME_DIR/kelvara-reader-sim.ctl, else
    // /tmp/kelvara-reader-sim-<uid>.ctl.
    static std::string defaultPath();
    // Client side: sends the command and returns the reply (without the final
    // "." line); false when no simulator answers.
    static bool send(const std::string &path, const std::string &command, std::string &answer);

private:
    void run();
    void serve(int fd);

    SimFleet &m_fleet;
    std::mutex m_fleetMutex;
    std::string m_path;
    int m_listenFd = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace kxsim

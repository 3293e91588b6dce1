// A set of virtual readers with their links, built from reader descriptions
// (command-line options or a fleet file), and the text commands that control
// them (the control socket and tests use the same commands).
#pragma once

#include "simreader.h"
#include "simudpresponder.h"
#include "virtualreader.h"

#include <memory>
#include <string>
#include <vector>

namespace kxsim {

// One reader as a description names it:
// "type=100,id=00C0FFEE,tcp=127.0.0.1:10001,usb,udp=no,state=/path,..."
struct SimReaderOptions
{
    VirtualReaderSetup setup;
    bool tcp = false;
    std::string tcpHost = "127.0.0.1";
    uint16_t tcpPort = 0;
    bool usb = false;
    bool udp = true;
    bool macGiven = false;
};

bool parseReaderOptions(const std::string &text, SimReaderOptions &options, std::string &error);

class SimFleet
{
public:
    SimFleet();
    ~SimFleet();
    SimFleet(const SimFleet &) = delete;
    SimFleet &operator=(const SimFleet &) = delete;

    void setUsbBusDir(const std::string &dir) { m_usbBusDir = dir; }
    // Each reader without a state folder of its own keeps its state in root/<device ID>.
    void setStateRoot(const std::string &root) { m_stateRoot = root; }
    bool startUdp(const std::string &host, uint16_t port, std::string &error);
    SimUdpResponder &udp() { return m_udp; }

    bool addReader(const SimReaderOptions &options, std::string &error);
    // One reader description per line; "udp HOST:PORT", "usb-bus DIR" and
    // "state-root DIR" lines set the fleet's options; "#" starts a comment.
    bool loadFleetFile(const std::string &path, std::string &error);

    std::size_t size() const { return m_readers.size(); }
    SimReader *reader(std::size_t index);
    SimReader *find(uint32_t deviceId);
    VirtualReader *virtualReader(uint32_t deviceId);
    // One line per reader: "reader <ID> type <code> "<name>" tcp <host:port>|- usb yes|no udp
    // yes|no".
    std::string describe();

    // Runs one control command; the reply's first line starts with "OK" or
    // "ERROR", further lines carry lists and dumps. Sets quit for "quit".
    std::string execute(const std::string &command, bool &quit);
    static std::string help();

private:
    std::vector<std::unique_ptr<SimReader>> m_readers;
    std::vector<bool> m_udpWanted;
    SimUdpResponder m_udp;
    std::string m_usbBusDir;
    std::string m_stateRoot;
};

} // namespace kxsim

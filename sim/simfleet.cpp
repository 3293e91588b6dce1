#include "simfleet.h"

#include "kxguard.h"
#include "kxudpwire.h"
#include "kxusbbus.h"
#include "virtualreadercontrol.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <sys/stat.h>

namespace kxsim {

namespace {

std::string trim(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

std::vector<std::string> words(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string word;
    while (in >> word)
        out.push_back(word);
    return out;
}

bool parseNumber(const std::string &text, long min, long max, long &value, int base = 10)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, base);
    if (*end != '\0' || errno != 0 || parsed < min || parsed > max)
        return false;
    value = parsed;
    return true;
}

bool parseHex32(const std::string &text, uint32_t &value)
{
    if (text.empty() || text.size() > 8 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = uint32_t(std::strtoul(text.c_str(), nullptr, 16));
    return true;
}

bool parseFlag(const std::string &text, bool &flag)
{
    if (text.empty() || text == "1" || text == "yes" || text == "on" || text == "true") {
        flag = true;
        return true;
    }
    if (text == "0" || text == "no" || text == "off" || text == "false") {
        flag = false;
        return true;
    }
    return false;
}

std::string idText(uint32_t id)
{
    return kxwire::usbDeviceFileName(id);
}

bool makeFolder(const std::string &path)
{
    std::size_t pos = 0;
    while ((pos = path.find('/', pos + 1)) != std::string::npos)
        ::mkdir(path.substr(0, pos).c_str(), 0700);
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool folderHasEntries(const std::string &path)
{
    if (path.empty())
        return false;
    DIR *folder = ::opendir(path.c_str());
    if (!folder)
        return false;
    bool found = false;
    while (dirent *entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

} // namespace

bool parseReaderOptions(const std::string &text, SimReaderOptions &options, std::string &error)
{
    options = SimReaderOptions();
    for (const std::string &rawItem : split(text, ',')) {
        const std::string item = trim(rawItem);
        if (item.empty())
            continue;
        const std::size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string value =
            equals == std::string::npos ? std::string() : trim(item.substr(equals + 1));
        long number = 0;
        bool ok = true;
        VirtualReaderSetup &s = options.setup;
        if (key == "type") {
            ok = parseNumber(value, 1, 0xFFFF, number);
            s.type = int(number);
            bool known = false;
            for (int type : VirtualReader::readerTypes())
                known = known || type == s.type;
            ok = ok && known;
        } else if (key == "id") {
            ok = parseHex32(value, s.deviceId) && s.deviceId != 0;
        } else if (key == "mac") {
            uint8_t mac[6];
            ok = kxwire::parseMac(value, mac);
            if (ok)
                s.mac = kxwire::formatMac(mac);
            options.macGiven = ok;
        } else if (key == "tcp") {
            std::string host = "127.0.0.1";
            std::string port = value;
            const std::size_t colon = value.rfind(':');
            if (colon != std::string::npos) {
                host = value.substr(0, colon);
                port = value.substr(colon + 1);
            }
            uint32_t address = 0;
            ok = parseNumber(port, 0, 65535, number) && kxwire::parseIpv4(host, address) &&
                 (address >> 24) == 127;
            if (!ok) {
                error = "tcp needs a loopback address and a port: " + value;
                return false;
            }
            options.tcp = true;
            options.tcpHost = host;
            options.tcpPort = uint16_t(number);
        } else if (key == "usb") {
            ok = parseFlag(value, options.usb);
        } else if (key == "udp") {
            ok = parseFlag(value, options.udp);
        } else if (key == "state") {
            ok = !value.empty();
            s.stateDir = value;
        } else if (key == "firmware") {
            const auto parts = split(value, '.');
            ok = parts.size() == 3;
            for (std::size_t i = 0; ok && i < 3; ++i) {
                ok = parseNumber(parts[i], 0, 255, number);
                s.firmware[i] = int(number);
            }
        } else if (key == "hardware") {
            ok = parseNumber(value, 0, 255, number);
            s.hardware = int(number);
        } else if (key == "bus") {
            ok = parseNumber(value, 0, 255, number);
            s.busAddress = uint8_t(number);
        } else if (key == "maxframe") {
            ok = parseNumber(value, 64, 32768, number);
            s.maxFrameLength = int(number);
        } else if (key == "extio") {
            ok = parseHex32(value, s.extIoSerial);
        } else if (key == "ip" || key == "netmask" || key == "gateway") {
            uint32_t address = 0;
            ok = kxwire::parseIpv4(value, address);
            (key == "ip"        ? s.network.ip
             : key == "netmask" ? s.network.netmask
                                : s.network.gateway) = value;
        } else if (key == "dhcp") {
            ok = parseFlag(value, s.network.dhcp);
        } else {
            error = "unknown key: " + key;
            return false;
        }
        if (!ok) {
            error = "bad value for " + key + ": " + value;
            return false;
        }
    }
    if (!options.macGiven) {
        // Locally administered and unique per device ID.
        uint8_t mac[6] = {0x02,
                          0x4B,
                          uint8_t(options.setup.deviceId >> 24),
                          uint8_t(options.setup.deviceId >> 16),
                          uint8_t(options.setup.deviceId >> 8),
                          uint8_t(options.setup.deviceId)};
        options.setup.mac = kxwire::formatMac(mac);
    }
    return true;
}

SimFleet::SimFleet() = default;

SimFleet::~SimFleet()
{
    // Readers first: they deregister from the responder.
    m_readers.clear();
    m_udp.stop();
}

bool SimFleet::startUdp(const std::string &host, uint16_t port, std::string &error)
{
    if (!m_udp.start(host, port)) {
        error = "udp: " + m_udp.lastError();
        return false;
    }
    for (std::size_t i = 0; i < m_readers.size(); ++i)
        if (m_udpWanted[i])
            m_readers[i]->attachUdp(&m_udp);
    return true;
}

bool SimFleet::addReader(const SimReaderOptions &options, std::string &error)
{
    if (find(options.setup.deviceId)) {
        error = "device ID used twice: " + idText(options.setup.deviceId);
        return false;
    }
    VirtualReaderSetup setup = options.setup;
    if (setup.stateDir.empty() && !m_stateRoot.empty())
        setup.stateDir = m_stateRoot + "/" + idText(setup.deviceId);
    // Only a reader that kept state from an earlier run can have been moved.
    const bool hadState = folderHasEntries(setup.stateDir);
    if (!setup.stateDir.empty() && !makeFolder(setup.stateDir)) {
        error = "cannot create the state folder " + setup.stateDir;
        return false;
    }
    auto device = std::make_shared<VirtualReader>(setup);
    auto reader = std::make_unique<SimReader>(device);
    if (options.tcp) {
        // A reader moved to another loopback address or port by a network
        // setup stays there across restarts when it keeps its state.
        SimNetworkConfig config = device->networkConfig();
        uint32_t stored = 0;
        const bool moved = hadState && kxwire::parseIpv4(config.ip, stored) &&
                           (stored >> 24) == 127 && config.port != 0 &&
                           (config.ip != options.tcpHost || config.port != options.tcpPort);
        const bool listening = moved ? reader->listenTcp(config.ip, config.port) ||
                                           reader->listenTcp(options.tcpHost, options.tcpPort)
                                     : reader->listenTcp(options.tcpHost, options.tcpPort);
        if (!listening) {
            error = "reader " + idText(setup.deviceId) + ": " + reader->lastError();
            return false;
        }
        config.ip = reader->tcp().host();
        config.port = reader->tcp().port();
        device->setNetworkConfig(config);
    }
    if (options.usb && !reader->plugUsb(m_usbBusDir)) {
        error = "reader " + idText(setup.deviceId) + ": " + reader->lastError();
        return false;
    }
    if (options.udp && m_udp.isRunning())
        reader->attachUdp(&m_udp);
    m_readers.push_back(std::move(reader));
    m_udpWanted.push_back(options.udp);
    return true;
}

bool SimFleet::loadFleetFile(const std::string &path, std::string &error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        line = trim(line);
        if (line.empty())
            continue;
        const auto parts = words(line);
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (parts[0] == "udp" || parts[0] == "usb-bus" || parts[0] == "state-root") {
            if (parts.size() != 2) {
                error = where + parts[0] + " needs one value";
                return false;
            }
            if (parts[0] == "usb-bus") {
                m_usbBusDir = parts[1];
            } else if (parts[0] == "state-root") {
                m_stateRoot = parts[1];
            } else {
                std::string host;
                uint16_t port = 0;
                const std::string &value = parts[1];
                const std::size_t colon = value.rfind(':');
                long parsed = 0;
                if (colon == std::string::npos ||
                    !parseNumber(value.substr(colon + 1), 0, 65535, parsed)) {
                    error = where + "udp needs HOST:PORT";
                    return false;
                }
                host = value.substr(0, colon);
                port = uint16_t(parsed);
                if (!startUdp(host, port, error)) {
                    error = where + error;
                    return false;
                }
            }
            continue;
        }
        SimReaderOptions options;
        if (!parseReaderOptions(line, options, error) || !addReader(options, error)) {
            error = where + error;
            return false;
        }
    }
    return true;
}

SimReader *SimFleet::reader(std::size_t index)
{
    return index < m_readers.size() ? m_readers[index].get() : nullptr;
}

SimReader *SimFleet::find(uint32_t deviceId)
{
    for (auto &reader : m_readers)
        if (reader->device().deviceId() == deviceId)
            return reader.get();
    return nullptr;
}

VirtualReader *SimFleet::virtualReader(uint32_t deviceId)
{
    SimReader *reader = find(deviceId);
    return reader ? static_cast<VirtualReader *>(&reader->device()) : nullptr;
}

std::string SimFleet::describe()
{
    std::string out;
    for (std::size_t i = 0; i < m_readers.size(); ++i) {
        SimReader &r = *m_readers[i];
        out += "reader " + idText(r.device().deviceId()) + " type " +
               std::to_string(r.device().readerType()) + " \"" + r.device().deviceName() +
               "\" mac " + r.device().macAddress() + " tcp " +
               (r.tcp().isListening() ? r.tcp().host() + ":" + std::to_string(r.tcp().port())
                                      : std::string("-")) +
               " usb " + (r.usb().isPlugged() ? "yes" : "no") + " udp " +
               (m_udpWanted[i] && m_udp.isRunning() ? "yes" : "no") + "\n";
    }
    return out;
}

std::string SimFleet::help()
{
    return "help | list | quit\n"
           "<ID> plug | <ID> unplug                      presence on the USB bus\n"
           "<ID> silent on|off                           UDP discovery answers\n"
           "<ID> fault drop <N> | delay <ms> | crc <N> | clear   transport faults\n"
           "<ID> <reader command>, one of:\n" +
           VirtualReaderControl::help();
}

std::string SimFleet::execute(const std::string &commandLine, bool &quit)
{
    const auto w = words(commandLine);
    if (w.empty())
        return "ERROR empty command";
    if (w[0] == "help")
        return "OK\n" + help();
    if (w[0] == "list") {
        std::string out = describe();
        if (!out.empty() && out.back() == '\n')
            out.pop_back();
        return "OK\n" + out;
    }
    if (w[0] == "quit") {
        quit = true;
        return "OK";
    }
    uint32_t id = 0;
    if (!parseHex32(w[0], id))
        return "ERROR unknown command or device ID: " + w[0];
    SimReader *reader = find(id);
    if (!reader)
        return "ERROR no reader " + w[0];
    if (w.size() < 2)
        return "ERROR " + w[0] + " needs a command";
    auto &device = static_cast<VirtualReader &>(reader->device());
    const std::string &verb = w[1];
    long number = 0;

    if (verb == "plug" && w.size() == 2)
        return reader->plugUsb(m_usbBusDir) ? "OK" : "ERROR " + reader->lastError();
    if (verb == "unplug" && w.size() == 2) {
        reader->unplugUsb();
        return "OK";
    }
    if (verb == "silent") {
        bool silent = false;
        if (w.size() != 3 || !parseFlag(w[2], silent))
            return "ERROR usage: <ID> silent on|off";
        m_udp.setSilent(&device, silent);
        return "OK";
    }
    if (verb == "fault") {
        const std::string kind = w.size() >= 3 ? w[2] : std::string();
        if (kind == "clear" && w.size() == 3) {
            reader->faults().clear();
            device.clearInjectedStatus();
            return "OK";
        }
        if ((kind == "drop" || kind == "delay" || kind == "crc") && w.size() == 4 &&
            parseNumber(w[3], kind == "delay" ? 0 : -1, 3600000, number)) {
            if (kind == "drop")
                reader->faults().dropAfterFrames(int(number));
            else if (kind == "delay")
                reader->faults().setDelayMs(int(number));
            else
                reader->faults().corruptCrc(int(number));
            return "OK";
        }
        return "ERROR usage: <ID> fault drop <N> | delay <ms> | crc <N> | clear";
    }
    // Everything else is the reader's own behaviour.
    const std::size_t rest = commandLine.find(verb, commandLine.find(w[0]) + w[0].size());
    return VirtualReaderControl::run(device, commandLine.substr(rest));
}

} // namespace kxsim

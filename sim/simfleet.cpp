#include "simfleet.h"

#include "kxguard.h"
#include "kxudpwire.h"
#include "kxusbbus.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

bool parseHexBytes(const std::string &text, std::vector<uint8_t> &bytes)
{
    bytes.clear();
    if (text.empty() || text.size() % 2 != 0 || text.size() > 128 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2)
        bytes.push_back(uint8_t(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
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

// "2026-12-07T08:30:00", "2026-12-07T08:30" or the same with a blank.
bool parseDateTime(const std::string &text, SimDateTime &when)
{
    int values[6] = {0, 0, 0, 0, 0, 0};
    char separator = 0;
    int consumed = 0;
    const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%n:%2d%n", &values[0], &values[1],
                              &values[2], &separator, &values[3], &values[4], &consumed, &values[5],
                              &consumed);
    if (n < 6 || (separator != 'T' && separator != ' ') || std::size_t(consumed) != text.size())
        return false;
    when.year = values[0];
    when.month = values[1];
    when.day = values[2];
    when.hour = values[3];
    when.minute = values[4];
    when.second = values[5];
    return when.isValid();
}

std::string formatDateTime(const SimDateTime &t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
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

} // namespace

bool parseReaderSpec(const std::string &text, SimReaderSpec &spec, std::string &error)
{
    spec = SimReaderSpec();
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
        VirtualReaderSetup &s = spec.setup;
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
            spec.macGiven = ok;
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
            spec.tcp = true;
            spec.tcpHost = host;
            spec.tcpPort = uint16_t(number);
        } else if (key == "usb") {
            ok = parseFlag(value, spec.usb);
        } else if (key == "udp") {
            ok = parseFlag(value, spec.udp);
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
    if (!spec.macGiven) {
        // Locally administered and unique per device ID.
        uint8_t mac[6] = {0x02,
                          0x4B,
                          uint8_t(spec.setup.deviceId >> 24),
                          uint8_t(spec.setup.deviceId >> 16),
                          uint8_t(spec.setup.deviceId >> 8),
                          uint8_t(spec.setup.deviceId)};
        spec.setup.mac = kxwire::formatMac(mac);
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

bool SimFleet::addReader(const SimReaderSpec &spec, std::string &error)
{
    if (find(spec.setup.deviceId)) {
        error = "device ID used twice: " + idText(spec.setup.deviceId);
        return false;
    }
    VirtualReaderSetup setup = spec.setup;
    if (setup.stateDir.empty() && !m_stateRoot.empty())
        setup.stateDir = m_stateRoot + "/" + idText(setup.deviceId);
    if (!setup.stateDir.empty() && !makeFolder(setup.stateDir)) {
        error = "cannot create the state folder " + setup.stateDir;
        return false;
    }
    auto device = std::make_shared<VirtualReader>(setup);
    auto reader = std::make_unique<SimReader>(device);
    if (spec.tcp) {
        // A reader moved to another loopback address or port by a network
        // setup stays there across restarts when it keeps its state.
        SimNetworkConfig config = device->networkConfig();
        uint32_t stored = 0;
        const bool moved = !setup.stateDir.empty() && kxwire::parseIpv4(config.ip, stored) &&
                           (stored >> 24) == 127 && config.port != 0 &&
                           (config.ip != spec.tcpHost || config.port != spec.tcpPort);
        const bool listening = moved ? reader->listenTcp(config.ip, config.port) ||
                                           reader->listenTcp(spec.tcpHost, spec.tcpPort)
                                     : reader->listenTcp(spec.tcpHost, spec.tcpPort);
        if (!listening) {
            error = "reader " + idText(setup.deviceId) + ": " + reader->lastError();
            return false;
        }
        config.ip = reader->tcp().host();
        config.port = reader->tcp().port();
        device->setNetworkConfig(config);
    }
    if (spec.usb && !reader->plugUsb(m_usbBusDir)) {
        error = "reader " + idText(setup.deviceId) + ": " + reader->lastError();
        return false;
    }
    if (spec.udp && m_udp.isRunning())
        reader->attachUdp(&m_udp);
    m_readers.push_back(std::move(reader));
    m_udpWanted.push_back(spec.udp);
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
        SimReaderSpec spec;
        if (!parseReaderSpec(line, spec, error) || !addReader(spec, error)) {
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

std::string SimFleet::execute(const std::string &commandLine, bool &quit)
{
    const auto w = words(commandLine);
    if (w.empty())
        return "ERR empty command\n";
    const std::string &command = w[0];
    if (command == "help") {
        return "list | quit | place ID TAGTYPE UIDHEX [FAMILY] | remove ID UIDHEX | clear ID\n"
               "present ID IDHEX [YYYY-MM-DDTHH:MM[:SS]] [ANTENNA] | clock ID "
               "[YYYY-MM-DDTHH:MM:SS]\n"
               "dump ID tables|blocks|events | plug ID | unplug ID | silent ID on|off\n"
               "fault ID drop N | fault ID delay MS | fault ID crc N | "
               "fault ID status CMD STATUS [COUNT] | fault ID clear\nOK\n";
    }
    if (command == "list")
        return describe() + "OK\n";
    if (command == "quit") {
        quit = true;
        return "OK\n";
    }
    if (w.size() < 2)
        return "ERR " + command + " needs a device ID\n";
    uint32_t id = 0;
    if (!parseHex32(w[1], id))
        return "ERR bad device ID: " + w[1] + "\n";
    SimReader *reader = find(id);
    if (!reader)
        return "ERR no reader " + w[1] + "\n";
    auto &device = static_cast<VirtualReader &>(reader->device());
    long number = 0;

    if (command == "place" && (w.size() == 4 || w.size() == 5)) {
        SimTag tag;
        if (!parseNumber(w[2], 0, 255, number, 0) || !parseHexBytes(w[3], tag.uid))
            return "ERR place ID TAGTYPE UIDHEX [FAMILY]\n";
        tag.type = int(number);
        if (w.size() == 5) {
            if (!parseNumber(w[4], 0, 3, number))
                return "ERR bad family\n";
            tag.family = int(number);
        }
        device.placeTag(tag);
        return "OK\n";
    }
    if (command == "remove" && w.size() == 3) {
        std::vector<uint8_t> uid;
        if (!parseHexBytes(w[2], uid))
            return "ERR bad UID\n";
        device.removeTag(uid);
        return "OK\n";
    }
    if (command == "clear" && w.size() == 2) {
        device.clearField();
        return "OK\n";
    }
    if (command == "present" && w.size() >= 3 && w.size() <= 5) {
        std::vector<uint8_t> identifier;
        if (!parseHexBytes(w[2], identifier))
            return "ERR bad identifier\n";
        int antenna = 1;
        SimDateTime when;
        bool timed = false;
        for (std::size_t i = 3; i < w.size(); ++i) {
            if (parseDateTime(w[i], when))
                timed = true;
            else if (parseNumber(w[i], 1, 8, number))
                antenna = int(number);
            else
                return "ERR bad date, time or antenna: " + w[i] + "\n";
        }
        const SimEvent event = timed ? device.presentAt(identifier, when, antenna)
                                     : device.present(identifier, antenna);
        return std::string(event.granted ? "permitted" : "denied") + " " +
               formatDateTime(event.time) + " error=" + std::to_string(event.error) + "\nOK\n";
    }
    if (command == "clock" && (w.size() == 2 || w.size() == 3)) {
        if (w.size() == 3) {
            SimDateTime when;
            if (!parseDateTime(w[2], when))
                return "ERR bad date and time: " + w[2] + "\n";
            device.setClock(when);
        }
        return formatDateTime(device.clock()) + "\nOK\n";
    }
    if (command == "dump" && w.size() == 3) {
        if (w[2] == "tables")
            return device.dumpTables() + "OK\n";
        if (w[2] == "blocks")
            return device.dumpBlocks() + "OK\n";
        if (w[2] == "events")
            return device.dumpEvents() + "OK\n";
        return "ERR dump tables|blocks|events\n";
    }
    if (command == "plug" && w.size() == 2)
        return reader->plugUsb(m_usbBusDir) ? "OK\n" : "ERR " + reader->lastError() + "\n";
    if (command == "unplug" && w.size() == 2) {
        reader->unplugUsb();
        return "OK\n";
    }
    if (command == "silent" && w.size() == 3) {
        bool silent = false;
        if (!parseFlag(w[2], silent))
            return "ERR silent ID on|off\n";
        m_udp.setSilent(&device, silent);
        return "OK\n";
    }
    if (command == "fault" && w.size() >= 3) {
        const std::string &kind = w[2];
        if (kind == "clear" && w.size() == 3) {
            reader->faults().clear();
            device.clearInjectedStatus();
            return "OK\n";
        }
        if ((kind == "drop" || kind == "delay" || kind == "crc") && w.size() == 4) {
            if (!parseNumber(w[3], kind == "crc" ? -1 : 0, 3600000, number))
                return "ERR bad number: " + w[3] + "\n";
            if (kind == "drop")
                reader->faults().dropAfterFrames(int(number));
            else if (kind == "delay")
                reader->faults().setDelayMs(int(number));
            else
                reader->faults().corruptCrc(int(number));
            return "OK\n";
        }
        if (kind == "status" && (w.size() == 5 || w.size() == 6)) {
            long commandByte = 0;
            long status = 0;
            long count = 1;
            if (!parseNumber(w[3], 0, 255, commandByte, 0) ||
                !parseNumber(w[4], 0, 255, status, 0) ||
                (w.size() == 6 && !parseNumber(w[5], -1, 1000000, count)))
                return "ERR fault ID status CMD STATUS [COUNT]\n";
            device.injectStatus(uint8_t(commandByte), uint8_t(status), int(count));
            return "OK\n";
        }
    }
    return "ERR unknown or incomplete command: " + commandLine + "\n";
}

} // namespace kxsim

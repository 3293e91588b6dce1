#include "virtualreadercontrol.h"

#include "virtualreader.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace kxsim {

namespace {

bool number(const std::string &text, long long &value)
{
    if (text.empty())
        return false;
    try {
        std::size_t used = 0;
        value = std::stoll(text, &used, 0);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

bool hexBytes(const std::string &text, std::vector<uint8_t> &out)
{
    out.clear();
    if (text.empty() || text.size() % 2 || text.size() > 256)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned v = 0;
        char tail = 0;
        if (std::sscanf(text.substr(i, 2).c_str(), "%2x%c", &v, &tail) != 1)
            return false;
        out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

bool dateTime(const std::string &text, SimDateTime &when)
{
    when = SimDateTime();
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &when.year, &when.month,
                              &when.day, &when.hour, &when.minute, &when.second, &tail);
    if (n == 5)
        when.second = 0;
    return (n == 5 || n == 6) && when.isValid();
}

std::string text(const SimDateTime &d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                  d.minute, d.second);
    return buf;
}

std::string hex(const std::vector<uint8_t> &bytes)
{
    std::string out;
    char buf[3];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
    }
    return out;
}

const std::string Usage = "ERROR usage: ";

} // namespace

std::string VirtualReaderControl::help()
{
    return "tag place <type> <uid> [family <n>] [serial <hex>] [key <hex>] [noapp]\n"
           "tag remove <uid> | tag clear | tag list\n"
           "present <identifier> [antenna <n>] [at <yyyy-MM-ddTHH:mm[:ss]>]\n"
           "clock | clock set <yyyy-MM-ddTHH:mm[:ss]>\n"
           "inputs <n>\n"
           "status <command> <status> [count] | status clear\n"
           "dump tables | dump blocks | dump events\n"
           "info\n";
}

std::string VirtualReaderControl::run(VirtualReader &reader, const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    if (w.empty())
        return "ERROR empty command";
    const std::string &verb = w[0];

    if (verb == "tag") {
        if (w.size() >= 4 && w[1] == "place") {
            SimTag tag;
            long long type = 0;
            if (!number(w[2], type) || !hexBytes(w[3], tag.uid))
                return Usage + "tag place <type> <uid-hex> ...";
            tag.type = static_cast<int>(type);
            for (std::size_t i = 4; i < w.size(); ++i) {
                long long v = 0;
                if (w[i] == "noapp") {
                    tag.hasApplication = false;
                } else if (w[i] == "family" && i + 1 < w.size() && number(w[i + 1], v)) {
                    tag.family = static_cast<int>(v);
                    ++i;
                } else if (w[i] == "serial" && i + 1 < w.size() && number("0x" + w[i + 1], v)) {
                    tag.applicationSerial = static_cast<uint32_t>(v & 0xFFFFFF);
                    tag.blockSerial = static_cast<uint64_t>(v) & 0xFFFFFFFFFFULL;
                    ++i;
                } else if (w[i] == "key" && i + 1 < w.size() && hexBytes(w[i + 1], tag.key)) {
                    ++i;
                } else {
                    return "ERROR unknown tag option " + w[i];
                }
            }
            if (tag.type != 3 && tag.type != 4 && tag.type != 0x84)
                return "ERROR tag type must be 3, 4 or 132";
            reader.placeTag(tag);
            return "OK";
        }
        if (w.size() == 3 && w[1] == "remove") {
            std::vector<uint8_t> uid;
            if (!hexBytes(w[2], uid))
                return Usage + "tag remove <uid-hex>";
            reader.removeTag(uid);
            return "OK";
        }
        if (w.size() == 2 && w[1] == "clear") {
            reader.clearField();
            return "OK";
        }
        if (w.size() == 2 && w[1] == "list") {
            std::string out = "OK";
            for (const SimTag &t : reader.tags())
                out += "\n" + std::to_string(t.type) + " " + hex(t.uid) + " family " +
                       std::to_string(t.family);
            return out;
        }
        return Usage + "tag place|remove|clear|list";
    }
    if (verb == "present") {
        std::vector<uint8_t> id;
        if (w.size() < 2 || !hexBytes(w[1], id))
            return Usage + "present <identifier-hex> [antenna <n>] [at <date>]";
        long long antenna = 1;
        SimDateTime when;
        bool at = false;
        for (std::size_t i = 2; i < w.size(); i += 2) {
            if (i + 1 >= w.size())
                return "ERROR missing value for " + w[i];
            if (w[i] == "antenna" && number(w[i + 1], antenna) && antenna >= 0 && antenna < 256)
                continue;
            if (w[i] == "at" && dateTime(w[i + 1], when)) {
                at = true;
                continue;
            }
            return "ERROR bad option " + w[i] + " " + w[i + 1];
        }
        const SimEvent e = at ? reader.presentAt(id, when, static_cast<int>(antenna))
                              : reader.present(id, static_cast<int>(antenna));
        return std::string("OK ") + (e.granted ? "permitted" : "denied") + " error " +
               std::to_string(e.error) + " at " + text(e.time);
    }
    if (verb == "clock") {
        if (w.size() == 1)
            return "OK " + text(reader.clock());
        SimDateTime when;
        if (w.size() == 3 && w[1] == "set" && dateTime(w[2], when)) {
            reader.setClock(when);
            return "OK " + text(reader.clock());
        }
        return Usage + "clock [set <yyyy-MM-ddTHH:mm[:ss]>]";
    }
    if (verb == "inputs") {
        long long v = 0;
        if (w.size() != 2 || !number(w[1], v) || v < 0 || v > 3)
            return Usage + "inputs <0..3>";
        reader.setInputs(static_cast<uint8_t>(v));
        return "OK";
    }
    if (verb == "status") {
        if (w.size() == 2 && w[1] == "clear") {
            reader.clearInjectedStatus();
            return "OK";
        }
        long long command = 0, status = 0, count = 1;
        if (w.size() < 3 || w.size() > 4 || !number(w[1], command) || !number(w[2], status) ||
            (w.size() == 4 && !number(w[3], count)) || command < 0 || command > 255 || status < 0 ||
            status > 255)
            return Usage + "status <command> <status> [count] | status clear";
        reader.injectStatus(static_cast<uint8_t>(command), static_cast<uint8_t>(status),
                            static_cast<int>(count));
        return "OK";
    }
    if (verb == "dump" && w.size() == 2) {
        if (w[1] == "tables")
            return "OK\n" + reader.dumpTables();
        if (w[1] == "blocks")
            return "OK\n" + reader.dumpBlocks();
        if (w[1] == "events")
            return "OK\n" + reader.dumpEvents();
        return Usage + "dump tables|blocks|events";
    }
    if (verb == "info") {
        const SimNetworkConfig n = reader.networkConfig();
        char id[16];
        std::snprintf(id, sizeof id, "%08X", reader.deviceId());
        return "OK type " + std::to_string(reader.readerType()) + " \"" + reader.deviceName() +
               "\" device " + id + " mac " + reader.macAddress() + " ip " + n.ip + " port " +
               std::to_string(n.port) + " netmask " + n.netmask + " gateway " + n.gateway +
               (n.dhcp ? " dhcp" : "");
    }
    return "ERROR unknown command " + verb;
}

} // namespace kxsim

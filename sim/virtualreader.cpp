#include "virtualreader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace kxsim {

namespace {

// Status bytes of the answers (the same values as the protocol library's).
enum : uint8_t {
    StOk = 0x00,
    StNoTransponder = 0x01,
    StAuthentication = 0x03,
    StNoApplication = 0x04,
    StBadAddress = 0x05,
    StParameter = 0x11,
    StTableCrc = 0x12,
    StTableSequence = 0x13,
    StTableData = 0x14,
    StUnknownCommand = 0x80,
    StLength = 0x81,
    StNotAvailable = 0x82,
    StDeviceSilent = 0x83,
    StNoData = 0x92,
    StMoreEvents = 0x93,
    StMoreData = 0x94,
};

constexpr int NetworkBlock = 40;
constexpr int NetmaskBlock = 41;
constexpr std::size_t MaxEvents = 10000;
constexpr int TypeTransponderEpc = 0x84;

struct Model
{
    int type;
    const char *name;
    bool access;
    bool longRange;
    int hardware;
    int firmware[3];
};

const Model Models[] = {
    {100, "ID TZ60", true, false, 0x01, {2, 8, 0}},
    {101, "ID TZU700", true, true, 0x02, {2, 0, 0}},
    {863, "ID TZU300", true, true, 0x02, {1, 1, 0}},
    {82, "ID PQ20", false, false, 0x00, {1, 4, 0}},
    {86, "ID PQ10", false, false, 0x00, {1, 2, 0}},
    {54, "ID LRX7", false, true, 0x00, {3, 1, 2}},
};

const Model &modelOf(int type)
{
    for (const Model &m : Models)
        if (m.type == type)
            return m;
    return Models[0];
}

bool parseIp(const std::string &text, uint8_t out[4])
{
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 ||
        b > 255 || c > 255 || d > 255)
        return false;
    out[0] = static_cast<uint8_t>(a);
    out[1] = static_cast<uint8_t>(b);
    out[2] = static_cast<uint8_t>(c);
    out[3] = static_cast<uint8_t>(d);
    return true;
}

std::string ipText(const uint8_t *b)
{
    char buf[20];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return buf;
}

std::string hexText(const std::vector<uint8_t> &bytes, bool upper = true)
{
    std::string out;
    char buf[3];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, upper ? "%02X" : "%02x", b);
        out += buf;
    }
    return out;
}

bool parseHex(const std::string &text, std::vector<uint8_t> &out)
{
    out.clear();
    if (text.size() % 2)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned v;
        if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &v) != 1)
            return false;
        out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

long long localOffset()
{
    const time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return static_cast<long long>(timegm(&local)) - static_cast<long long>(t);
}

time_t toSeconds(const SimDateTime &d)
{
    std::tm t{};
    t.tm_year = d.year - 1900;
    t.tm_mon = d.month - 1;
    t.tm_mday = d.day;
    t.tm_hour = d.hour;
    t.tm_min = d.minute;
    t.tm_sec = d.second;
    return timegm(&t);
}

SimDateTime fromSeconds(time_t s)
{
    std::tm t{};
    gmtime_r(&s, &t);
    SimDateTime d;
    d.year = t.tm_year + 1900;
    d.month = t.tm_mon + 1;
    d.day = t.tm_mday;
    d.hour = t.tm_hour;
    d.minute = t.tm_min;
    d.second = t.tm_sec;
    return d;
}

void put16(std::vector<uint8_t> &out, int value)
{
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

} // namespace

std::vector<int> VirtualReader::readerTypes()
{
    std::vector<int> types;
    for (const Model &m : Models)
        types.push_back(m.type);
    return types;
}

std::string VirtualReader::typeName(int type)
{
    for (const Model &m : Models)
        if (m.type == type)
            return m.name;
    return "Reader type " + std::to_string(type);
}

VirtualReader::VirtualReader(const VirtualReaderSetup &setup)
    : m_setup(setup), m_tables(modelOf(setup.type).longRange ? 12 : 8)
{
    const Model &model = modelOf(setup.type);
    m_setup.type = model.type; // an unknown type becomes the short-range access reader
    for (int i = 0; i < 3; ++i)
        if (m_setup.firmware[i] < 0)
            m_setup.firmware[i] = model.firmware[i];
    if (m_setup.hardware < 0)
        m_setup.hardware = model.hardware;
    m_setup.maxFrameLength = std::clamp(m_setup.maxFrameLength, 32, 32768);
    if (m_setup.network.ip.empty())
        m_setup.network.ip = "127.0.0.1";
    if (m_setup.network.netmask.empty())
        m_setup.network.netmask = "255.0.0.0";
    if (m_setup.network.gateway.empty())
        m_setup.network.gateway = "127.0.0.1";
    for (int b = 0; b < 64; ++b)
        m_permanent[b] = factoryBlock(b);
    m_regionBank[1][0] = m_setup.region[0];
    m_regionBank[1][1] = m_setup.region[1];
    m_clockOffset = localOffset();
    load();
    m_working = m_permanent;
    m_network = networkFromBlocks();
}

VirtualReader::~VirtualReader() = default;

bool VirtualReader::hasLan() const
{
    return isAccessReader();
}

bool VirtualReader::isAccessReader() const
{
    return modelOf(m_setup.type).access;
}

bool VirtualReader::isLongRange() const
{
    return modelOf(m_setup.type).longRange;
}

bool VirtualReader::isShortRange() const
{
    return !isLongRange();
}

VirtualReader::Block VirtualReader::factoryBlock(int number) const
{
    Block b{};
    const bool uhf = isLongRange();
    switch (number) {
    case 1:
        b[12] = uhf ? 0x90 : 0x00;
        b[13] = 0x08;
        break;
    case 3:
        b[1] = 0x08;
        if (uhf)
            b[2] = 0x2D; // transmit power, tenths of a watt + 15
        break;
    case 12:
        b[1] = 0x1E; // valid time 3.0 s
        break;
    case 14:
        b[10] = 0x0A; // output 1 hold time 1.0 s
        b[11] = 0x0A;
        break;
    case 15:
        if (uhf)
            b[1] = 0x08;
        break;
    case 16:
        if (uhf) {
            b[3] = 0x14;
            b[5] = 0x14;
        }
        break;
    case NetworkBlock:
    case NetmaskBlock: {
        std::array<Block, 64> blocks{};
        networkToBlocks(m_setup.network, blocks);
        b = blocks[number];
        break;
    }
    default:
        break;
    }
    return b;
}

void VirtualReader::networkToBlocks(const SimNetworkConfig &config,
                                    std::array<Block, 64> &blocks) const
{
    Block &net = blocks[NetworkBlock];
    Block &mask = blocks[NetmaskBlock];
    parseIp(config.ip, &net[0]);
    net[8] = static_cast<uint8_t>(config.port >> 8);
    net[9] = static_cast<uint8_t>(config.port & 0xFF);
    parseIp(config.netmask, &mask[0]);
    mask[4] = config.dhcp ? (mask[4] | 0x80) : (mask[4] & 0x7F);
    parseIp(config.gateway, &mask[6]);
}

SimNetworkConfig VirtualReader::networkFromBlocks() const
{
    const Block &net = m_permanent[NetworkBlock];
    const Block &mask = m_permanent[NetmaskBlock];
    SimNetworkConfig c;
    c.ip = ipText(&net[0]);
    c.port = static_cast<uint16_t>((net[8] << 8) | net[9]);
    c.netmask = ipText(&mask[0]);
    c.dhcp = mask[4] & 0x80;
    c.gateway = ipText(&mask[6]);
    return c;
}

// --- SimDevice --------------------------------------------------------------

void VirtualReader::handleFrame(uint8_t busAddress, uint8_t command,
                                const std::vector<uint8_t> &request, uint8_t &status,
                                std::vector<uint8_t> &answer)
{
    bool networkChanged = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        answer.clear();
        status = StOk;
        if (busAddress != 255 && busAddress != m_setup.busAddress) {
            status = StParameter;
            return;
        }
        auto fault = m_statusFaults.find(command);
        if (fault != m_statusFaults.end() && fault->second.second != 0) {
            status = fault->second.first;
            if (fault->second.second > 0 && --fault->second.second == 0)
                m_statusFaults.erase(fault);
            return;
        }
        dispatch(command, request, status, answer, networkChanged);
    }
    // Outside the lock: the links rebind and may ask for the new configuration.
    if (networkChanged && onNetworkChanged)
        onNetworkChanged();
}

uint32_t VirtualReader::deviceId() const
{
    return m_setup.deviceId;
}

int VirtualReader::readerType() const
{
    return m_setup.type;
}

std::string VirtualReader::deviceName() const
{
    return typeName(m_setup.type);
}

std::string VirtualReader::macAddress() const
{
    return m_setup.mac;
}

SimNetworkConfig VirtualReader::networkConfig() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_network;
}

void VirtualReader::applyNetworkSetup(const SimNetworkSetup &setup)
{
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!hasLan())
            return;
        SimNetworkConfig c = networkFromBlocks();
        uint8_t probe[4];
        if (!setup.ip.empty() && parseIp(setup.ip, probe))
            c.ip = setup.ip;
        if (!setup.netmask.empty() && parseIp(setup.netmask, probe))
            c.netmask = setup.netmask;
        if (!setup.gateway.empty() && parseIp(setup.gateway, probe))
            c.gateway = setup.gateway;
        if (setup.port != 0)
            c.port = setup.port;
        if (setup.setDhcp)
            c.dhcp = setup.dhcp;
        networkToBlocks(c, m_permanent);
        saveBlocks();
        changed = restart();
    }
    if (changed && onNetworkChanged)
        onNetworkChanged();
}

void VirtualReader::setNetworkConfig(const SimNetworkConfig &config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    networkToBlocks(config, m_permanent);
    m_working[NetworkBlock] = m_permanent[NetworkBlock];
    m_working[NetmaskBlock] = m_permanent[NetmaskBlock];
    m_network = networkFromBlocks();
    saveBlocks();
    saveState();
}

// --- commands ---------------------------------------------------------------

void VirtualReader::dispatch(uint8_t command, const std::vector<uint8_t> &request, uint8_t &status,
                             std::vector<uint8_t> &answer, bool &networkChanged)
{
    const std::size_t n = request.size();
    switch (command) {
    case 0x1F:
        status = dataExchange(request, answer);
        return;
    case 0x33: // data buffer: only the read positions live there
        m_eventCursor = 0;
        return;
    case 0x63:
        if (n != 0) {
            status = StLength;
            return;
        }
        m_working = m_permanent;
        m_transfer = Transfer();
        m_selected = -1;
        ++m_cpuResets;
        return;
    case 0x64:
        if (n != 1) {
            status = StLength;
            return;
        }
        if (request[0] == 32) {
            m_inside.clear();
            return;
        }
        networkChanged = restart();
        return;
    case 0x66:
        if (n != 1) {
            status = StLength;
            return;
        }
        status = readerInfo(request[0], answer);
        return;
    case 0x6A:
        if (n != 1) {
            status = StLength;
            return;
        }
        m_rf = request[0];
        return;
    case 0x6E:
        if (n != 1) {
            status = StLength;
            return;
        }
        answer = {request[0], m_rf, m_inputs, static_cast<uint8_t>(m_tables.recordCount(2)),
                  static_cast<uint8_t>(m_tables.recordCount(3))};
        put16(answer, m_tables.recordCount(4));
        put16(answer, static_cast<int>(std::min<std::size_t>(m_events.size(), 0xFFFF)));
        return;
    case 0x80:
    case 0x81: {
        if (n != (command == 0x80 ? 1u : 17u)) {
            status = StLength;
            return;
        }
        const uint8_t address = request[0];
        if (address & 0x40) {
            status = StBadAddress;
            return;
        }
        Block &b = (address & 0x80) ? m_permanent[address & 0x3F] : m_working[address & 0x3F];
        if (command == 0x80) {
            answer.assign(b.begin(), b.end());
        } else {
            std::copy(request.begin() + 1, request.end(), b.begin());
            if (address & 0x80)
                saveBlocks();
        }
        return;
    }
    case 0x83: {
        if (n != 1) {
            status = StLength;
            return;
        }
        const uint8_t address = request[0];
        if (address == 0xC0 || (address == 0xAF && m_setup.type == 100)) {
            // The network blocks survive: a reset must not cut the reader off its LAN.
            for (int b = 0; b < 64; ++b)
                if (b != NetworkBlock && b != NetmaskBlock)
                    m_permanent[b] = factoryBlock(b);
            saveBlocks();
            return;
        }
        if (address & 0x40) {
            status = StBadAddress;
            return;
        }
        resetBlock(address & 0x3F, address & 0x80);
        return;
    }
    case 0x87: {
        if (n != 9) {
            status = StLength;
            return;
        }
        SimDateTime d;
        d.year = request[0] * 100 + request[1];
        d.month = request[2];
        d.day = request[3];
        d.hour = request[5];
        d.minute = request[6];
        const int ms = (request[7] << 8) | request[8];
        d.second = ms / 1000;
        if (ms >= 60000 || !d.isValid()) {
            status = StParameter;
            return;
        }
        m_clockOffset = static_cast<long long>(toSeconds(d)) - std::time(nullptr);
        saveState();
        return;
    }
    case 0x8A: {
        if (n != 5) {
            status = StLength;
            return;
        }
        const uint8_t mode = request[0], bank = request[1], location = request[2];
        const int first = request[3], count = request[4];
        if (mode != 2 || (bank != 0 && bank != 32) || count < 1) {
            status = StParameter;
            return;
        }
        if (bank == 32 && !isLongRange()) {
            status = StNotAvailable;
            return;
        }
        const int limit = bank == 0 ? 64 : static_cast<int>(m_regionBank.size());
        if (first + count > limit) {
            status = StBadAddress;
            return;
        }
        answer = {static_cast<uint8_t>(first), static_cast<uint8_t>(count)};
        for (int i = first; i < first + count; ++i) {
            const Block &b = bank == 32 ? m_regionBank[i]
                             : location ? m_permanent[i]
                                        : m_working[i];
            answer.insert(answer.end(), b.begin(), b.end());
        }
        return;
    }
    case 0x9F: {
        if (m_setup.type != 100 || m_setup.hardware == 3) {
            status = StNotAvailable;
            return;
        }
        if (n != 7) { // port, mode, flags, then the board's serial number
            status = StLength;
            return;
        }
        const uint32_t serial = (uint32_t(request[3]) << 24) | (uint32_t(request[4]) << 16) |
                                (uint32_t(request[5]) << 8) | request[6];
        if (m_setup.extIoSerial == 0 || serial != m_setup.extIoSerial) {
            status = StDeviceSilent;
            return;
        }
        m_paired = true;
        m_pairedSerial = serial;
        answer = {0x00};
        saveState();
        return;
    }
    case 0xB0:
        status = isoCommand(request, answer);
        return;
    case 0xB2:
        status = keyedCommand(request);
        return;
    case 0xC3:
        status = desfireCommand(request, answer);
        return;
    default:
        status = StUnknownCommand;
        return;
    }
}

void VirtualReader::resetBlock(int number, bool permanent)
{
    if (permanent) {
        m_permanent[number] = factoryBlock(number);
        saveBlocks();
    } else {
        m_working[number] = factoryBlock(number);
    }
}

bool VirtualReader::restart()
{
    m_working = m_permanent;
    m_transfer = Transfer();
    m_selected = -1;
    m_inside.clear();
    ++m_systemResets;
    if (!hasLan())
        return false;
    const SimNetworkConfig next = networkFromBlocks();
    const bool changed = next.ip != m_network.ip || next.port != m_network.port ||
                         next.netmask != m_network.netmask || next.gateway != m_network.gateway ||
                         next.dhcp != m_network.dhcp;
    m_network = next;
    if (changed)
        saveState();
    return changed;
}

uint8_t VirtualReader::readerInfo(uint8_t mode, std::vector<uint8_t> &answer) const
{
    answer.assign(16, 0);
    switch (mode) {
    case 0x00:
        answer[0] = static_cast<uint8_t>(m_setup.firmware[0]);
        answer[1] = static_cast<uint8_t>(m_setup.firmware[1]);
        answer[2] = static_cast<uint8_t>(m_setup.firmware[2]);
        answer[3] = static_cast<uint8_t>(m_setup.hardware);
        answer[4] = static_cast<uint8_t>(m_setup.type & 0xFF);
        answer[5] = static_cast<uint8_t>(m_setup.maxFrameLength >> 8);
        answer[6] = static_cast<uint8_t>(m_setup.maxFrameLength & 0xFF);
        answer[7] = answer[5];
        answer[8] = answer[6];
        answer[9] = isLongRange() ? 0x02 : 0x01;
        answer[14] = static_cast<uint8_t>(m_setup.type >> 8);
        return StOk;
    case 0x80:
        answer[0] = static_cast<uint8_t>(m_setup.deviceId >> 24);
        answer[1] = static_cast<uint8_t>(m_setup.deviceId >> 16);
        answer[2] = static_cast<uint8_t>(m_setup.deviceId >> 8);
        answer[3] = static_cast<uint8_t>(m_setup.deviceId);
        return StOk;
    case 0x50: {
        unsigned m[6];
        if (!hasLan() || std::sscanf(m_setup.mac.c_str(), "%2x-%2x-%2x-%2x-%2x-%2x", &m[0], &m[1],
                                     &m[2], &m[3], &m[4], &m[5]) != 6) {
            answer.clear();
            return StNotAvailable;
        }
        answer[0] = 1; // one LAN interface
        for (int i = 0; i < 6; ++i)
            answer[1 + i] = static_cast<uint8_t>(m[i]);
        return StOk;
    }
    case 0x07:
        if (m_setup.type != 100 || m_setup.hardware == 3) {
            answer.clear();
            return StNotAvailable;
        }
        answer[1] = m_paired ? 3 : 0;
        answer[2] = static_cast<uint8_t>(m_pairedSerial >> 24);
        answer[3] = static_cast<uint8_t>(m_pairedSerial >> 16);
        answer[4] = static_cast<uint8_t>(m_pairedSerial >> 8);
        answer[5] = static_cast<uint8_t>(m_pairedSerial);
        return StOk;
    default:
        answer.clear();
        return StParameter;
    }
}

// --- access table exchange --------------------------------------------------

uint8_t VirtualReader::dataExchange(const std::vector<uint8_t> &request,
                                    std::vector<uint8_t> &answer)
{
    if (!isAccessReader())
        return StNotAvailable;
    if (request.size() < 3)
        return StLength;
    const uint8_t mode = request[0], flags = request[1], table = request[2];
    const std::vector<uint8_t> data(request.begin() + 3, request.end());

    switch (mode) {
    case 1: { // metadata: starts a transfer
        if (table != 1)
            return StParameter;
        if (data.size() != 16)
            return StLength;
        m_transfer = Transfer();
        if (!m_transfer.tables.setMetadata(data))
            return StParameter;
        m_transfer.active = true;
        put16(answer, m_setup.maxFrameLength);
        put16(answer, 0);
        return StOk;
    }
    case 3: { // one frame of a table
        if (!m_transfer.active)
            return StTableSequence;
        if (table < 2 || table > 4) {
            m_transfer = Transfer();
            return StParameter;
        }
        const int slot = table - 2;
        if (m_transfer.closed[slot]) {
            m_transfer = Transfer();
            return StTableSequence;
        }
        const int size = m_transfer.tables.recordSize(table);
        if (data.size() < 3 || static_cast<int>(data.size()) > m_setup.maxFrameLength) {
            m_transfer = Transfer();
            return StLength;
        }
        const int count = (data[0] << 8) | data[1];
        if (data[2] != size || data.size() != 3u + static_cast<std::size_t>(count) * size) {
            m_transfer = Transfer();
            return StTableData;
        }
        if (!m_transfer.tables.append(table, data.data() + 3, count)) {
            m_transfer = Transfer();
            return StTableData;
        }
        m_transfer.crc[slot] = tableCrc(data.data() + 3, data.size() - 3, m_transfer.crc[slot]);
        if (!(flags & 0x80))
            m_transfer.closed[slot] = true;
        return StOk;
    }
    case 2: { // finish: the tables take effect only when every count and CRC agrees
        if (!m_transfer.active)
            return StTableSequence;
        if (table != 0 || data.size() != 8) {
            m_transfer = Transfer();
            return StLength;
        }
        Transfer t = m_transfer;
        m_transfer = Transfer();
        if (!t.closed[0] || !t.closed[1] || !t.closed[2])
            return StTableSequence;
        const ReaderTables &s = t.tables;
        if (s.recordCount(2) != s.declaredTimezones() ||
            s.recordCount(3) % 256 != s.declaredHolidays() ||
            s.recordCount(4) != s.declaredAccess())
            return StTableData;
        const auto meta = s.metadata();
        const uint16_t expected[4] = {tableCrc(meta.data(), meta.size()), t.crc[0], t.crc[1],
                                      t.crc[2]};
        for (int i = 0; i < 4; ++i)
            if (((data[2 * i] << 8) | data[2 * i + 1]) != expected[i])
                return StTableCrc;
        m_tables = s;
        m_events.clear();
        m_eventCursor = 0;
        m_inside.clear();
        saveTables();
        saveEvents();
        return StOk;
    }
    case 5:
        if (data.size() != 2)
            return StLength;
        if (table == 5)
            return readEvents(data, answer);
        return readTable(table, data, answer);
    default:
        return StParameter;
    }
}

uint8_t VirtualReader::readTable(int table, const std::vector<uint8_t> &data,
                                 std::vector<uint8_t> &answer)
{
    if (table == 1) {
        m_eventCursor = 0; // a new reading starts with the metadata
        answer = {0x00, 0x01, 0x10};
        const auto meta = m_tables.metadata();
        answer.insert(answer.end(), meta.begin(), meta.end());
        return StOk;
    }
    const int size = m_tables.recordSize(table);
    if (size == 0)
        return StParameter;
    const int first = (data[0] << 8) | data[1];
    const int total = m_tables.recordCount(table);
    if (first >= total)
        return StNoData;
    const int fit = std::max(1, (m_setup.maxFrameLength - 3) / size);
    const int count = std::min(total - first, fit);
    put16(answer, count);
    answer.push_back(static_cast<uint8_t>(size));
    const std::vector<uint8_t> recs = m_tables.records(table, first, count);
    answer.insert(answer.end(), recs.begin(), recs.end());
    return first + count < total ? StMoreData : StOk;
}

uint8_t VirtualReader::readEvents(const std::vector<uint8_t> &data, std::vector<uint8_t> &answer)
{
    if (m_eventCursor >= m_events.size()) {
        m_eventCursor = 0;
        return StNoData;
    }
    const int wanted = (data[0] << 8) | data[1];
    const uint8_t flags = isLongRange() ? 0x1F : 0x0F;
    answer = {flags, 0, 0};
    int count = 0;
    while (m_eventCursor < m_events.size() && (wanted == 0 || count < wanted)) {
        const SimEvent &e = m_events[m_eventCursor];
        std::vector<uint8_t> rec;
        rec.push_back(0x01); // event kind: access decision
        put16(rec, static_cast<int>(m_eventCursor & 0xFFFF));
        rec.push_back(static_cast<uint8_t>(e.identifier.size()));
        rec.insert(rec.end(), e.identifier.begin(), e.identifier.end());
        rec.insert(rec.end(),
                   {static_cast<uint8_t>(e.time.day), static_cast<uint8_t>(e.time.month),
                    static_cast<uint8_t>(e.time.year - 2000), static_cast<uint8_t>(e.time.hour),
                    static_cast<uint8_t>(e.time.minute), static_cast<uint8_t>(e.time.second)});
        rec.push_back(e.granted ? 0x01 : 0x00);
        put16(rec, e.error);
        rec.push_back(e.input);
        if (flags & 0x10)
            rec.push_back(e.antenna);
        if (count > 0 &&
            answer.size() + rec.size() > static_cast<std::size_t>(m_setup.maxFrameLength))
            break;
        answer.insert(answer.end(), rec.begin(), rec.end());
        ++count;
        ++m_eventCursor;
    }
    answer[1] = static_cast<uint8_t>(count >> 8);
    answer[2] = static_cast<uint8_t>(count & 0xFF);
    m_eventsAnswered += static_cast<std::size_t>(count);
    if (m_endlessEvents) {
        m_eventCursor = 0;
        return StMoreEvents;
    }
    return m_eventCursor < m_events.size() ? StMoreEvents : StOk;
}

// --- transponders -----------------------------------------------------------

uint8_t VirtualReader::isoCommand(const std::vector<uint8_t> &request, std::vector<uint8_t> &answer)
{
    if (request.empty())
        return StLength;
    switch (request[0]) {
    case 0x01: { // inventory
        if (request.size() != 2)
            return StLength;
        std::vector<uint8_t> records;
        int count = 0;
        for (const SimTag &tag : m_field) {
            const bool epc = tag.type == TypeTransponderEpc;
            if (epc != isLongRange() || tag.uid.empty() || tag.uid.size() > 250)
                continue;
            ++count;
            records.push_back(static_cast<uint8_t>(tag.type));
            if (tag.type == 3) {
                records.push_back(0x00); // DSFID
            } else {
                records.push_back(epc ? 0x01 : 0x20); // antenna, or the select acknowledge
                records.push_back(static_cast<uint8_t>(tag.uid.size()));
            }
            records.insert(records.end(), tag.uid.begin(), tag.uid.end());
        }
        answer.push_back(static_cast<uint8_t>(std::min(count, 255)));
        answer.insert(answer.end(), records.begin(), records.end());
        return StOk;
    }
    case 0x25: { // select by identifier
        if (!isShortRange())
            return StNotAvailable;
        if (request.size() < 3 || request.size() != 3u + request[2])
            return StLength;
        const std::vector<uint8_t> uid(request.begin() + 3, request.end());
        m_selected = -1;
        m_applicationSelected = false;
        m_authenticated = false;
        for (std::size_t i = 0; i < m_field.size(); ++i)
            if (m_field[i].uid == uid && m_field[i].type != TypeTransponderEpc)
                m_selected = static_cast<int>(i);
        if (m_selected < 0)
            return StNoTransponder;
        answer = {static_cast<uint8_t>(m_field[m_selected].family)};
        return StOk;
    }
    case 0x23: { // read blocks of the selected transponder
        if (request.size() != 4)
            return StLength;
        if (m_selected < 0)
            return StNoTransponder;
        const SimTag &tag = m_field[m_selected];
        const int first = request[2], count = request[3];
        if (count < 1 || first + count > 64)
            return StBadAddress;
        for (int b = first; b < first + count; ++b) {
            std::vector<uint8_t> block(16, 0);
            if (tag.family == 3 && b == 62) {
                if (!m_authenticated)
                    return StAuthentication;
                for (int k = 0; k < 5; ++k)
                    block[11 + k] = static_cast<uint8_t>(tag.blockSerial >> (8 * k));
            }
            answer.insert(answer.end(), block.begin(), block.end());
        }
        return StOk;
    }
    default:
        return StUnknownCommand;
    }
}

uint8_t VirtualReader::keyedCommand(const std::vector<uint8_t> &request)
{
    if (request.empty() || request[0] != 0xB0)
        return StUnknownCommand;
    if (request.size() != 10) // 0xB0, key type, block, key selector, six key bytes
        return StLength;
    if (m_selected < 0)
        return StNoTransponder;
    const SimTag &tag = m_field[m_selected];
    const std::vector<uint8_t> key(request.begin() + 4, request.end());
    if (tag.family != 3 || (!tag.key.empty() && tag.key != key)) {
        m_authenticated = false;
        return StAuthentication;
    }
    m_authenticated = true;
    return StOk;
}

uint8_t VirtualReader::desfireCommand(const std::vector<uint8_t> &request,
                                      std::vector<uint8_t> &answer)
{
    if (!isShortRange())
        return StNotAvailable;
    if (request.size() < 2)
        return StLength;
    if (m_selected < 0 || m_field[m_selected].family != 1)
        return StNoTransponder;
    const SimTag &tag = m_field[m_selected];
    const std::size_t n = request.size();
    switch (request[0]) {
    case 90: { // select application: the last three bytes, least significant first
        if (n < 5)
            return StLength;
        const uint32_t aid = request[n - 3] | (request[n - 2] << 8) | (request[n - 1] << 16);
        m_applicationSelected = tag.hasApplication && aid == 254;
        return m_applicationSelected ? StOk : StNoApplication;
    }
    case 189: { // read data: offset and length, three bytes each, least significant first
        if (n < 8)
            return StLength;
        if (!m_applicationSelected)
            return StNoApplication;
        const uint32_t offset = request[n - 6] | (request[n - 5] << 8) | (request[n - 4] << 16);
        const uint32_t length = request[n - 3] | (request[n - 2] << 8) | (request[n - 1] << 16);
        std::vector<uint8_t> file(32, 0);
        file[0] = static_cast<uint8_t>(tag.applicationSerial >> 16);
        file[1] = static_cast<uint8_t>(tag.applicationSerial >> 8);
        file[2] = static_cast<uint8_t>(tag.applicationSerial);
        if (length == 0 || offset + length > file.size())
            return StBadAddress;
        answer.assign(file.begin() + offset, file.begin() + offset + length);
        return StOk;
    }
    default:
        return StUnknownCommand;
    }
}

// --- control ----------------------------------------------------------------

void VirtualReader::placeTag(const SimTag &tag)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_field.erase(std::remove_if(m_field.begin(), m_field.end(),
                                 [&](const SimTag &t) { return t.uid == tag.uid; }),
                  m_field.end());
    m_field.push_back(tag);
    m_selected = -1;
}

void VirtualReader::removeTag(const std::vector<uint8_t> &uid)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_field.erase(std::remove_if(m_field.begin(), m_field.end(),
                                 [&](const SimTag &t) { return t.uid == uid; }),
                  m_field.end());
    m_selected = -1;
}

void VirtualReader::clearField()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_field.clear();
    m_selected = -1;
}

std::vector<SimTag> VirtualReader::tags() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_field;
}

SimDateTime VirtualReader::now() const
{
    return fromSeconds(static_cast<time_t>(std::time(nullptr) + m_clockOffset));
}

SimEvent VirtualReader::decide(const std::vector<uint8_t> &identifier, const SimDateTime &when,
                               int antenna)
{
    SimEvent e;
    e.identifier.assign(identifier.begin(),
                        identifier.begin() + std::min<std::size_t>(identifier.size(), 64));
    e.time = when;
    e.input = m_inputs;
    e.antenna = static_cast<uint8_t>(antenna);
    uint16_t error = m_tables.decide(identifier, when);
    // Anti-passback (long-range access readers with block 8 byte 11 set): an
    // identifier that entered on antenna 1 must leave on antenna 2 first.
    const bool antiPassback = isAccessReader() && isLongRange() && m_working[8][11] != 0;
    if (error == ReaderTables::Permitted && antiPassback) {
        if (antenna == 2) {
            m_inside.erase(e.identifier);
        } else if (m_inside.count(e.identifier)) {
            error = ReaderTables::AntiPassback;
        } else {
            m_inside.insert(e.identifier);
        }
    }
    e.error = error;
    e.granted = error == ReaderTables::Permitted;
    if (m_events.size() >= MaxEvents) {
        m_events.erase(m_events.begin());
        if (m_eventCursor > 0)
            --m_eventCursor;
    }
    m_events.push_back(e);
    saveEvents();
    return e;
}

SimEvent VirtualReader::present(const std::vector<uint8_t> &identifier, int antenna)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return decide(identifier, now(), antenna);
}

SimEvent VirtualReader::presentAt(const std::vector<uint8_t> &identifier, const SimDateTime &when,
                                  int antenna)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return decide(identifier, when, antenna);
}

void VirtualReader::setInputs(uint8_t inputs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inputs = inputs & 0x03;
}

void VirtualReader::setClock(const SimDateTime &when)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!when.isValid())
        return;
    m_clockOffset = static_cast<long long>(toSeconds(when)) - std::time(nullptr);
    saveState();
}

SimDateTime VirtualReader::clock() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return now();
}

void VirtualReader::injectStatus(uint8_t command, uint8_t status, int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (count == 0)
        m_statusFaults.erase(command);
    else
        m_statusFaults[command] = {status, count};
}

void VirtualReader::clearInjectedStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statusFaults.clear();
}

void VirtualReader::setEndlessEvents(bool endless)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endlessEvents = endless;
}

std::size_t VirtualReader::eventsAnswered() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_eventsAnswered;
}

std::array<uint8_t, 16> VirtualReader::block(int number, bool permanent) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (number < 0 || number >= 64)
        return {};
    return permanent ? m_permanent[number] : m_working[number];
}

ReaderTables VirtualReader::tables() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tables;
}

std::vector<SimEvent> VirtualReader::events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

bool VirtualReader::extIoPaired() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paired;
}

bool VirtualReader::insideAntiPassback(const std::vector<uint8_t> &identifier) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_inside.count(identifier) > 0;
}

uint8_t VirtualReader::rfFlags() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rf;
}

int VirtualReader::cpuResets() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cpuResets;
}

int VirtualReader::systemResets() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_systemResets;
}

std::string VirtualReader::dumpTables() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tables.dump();
}

std::string VirtualReader::dumpBlocks() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string out;
    for (int b = 0; b < 64; ++b) {
        char head[16];
        std::snprintf(head, sizeof head, "Block %02d:", b);
        out += head;
        for (uint8_t v : m_permanent[b]) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", v);
            out += hex;
        }
        out += m_working[b] != m_permanent[b] ? " (changed, not yet in force)\n" : "\n";
    }
    return out;
}

std::string VirtualReader::dumpEvents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string out;
    char line[200];
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        const SimEvent &e = m_events[i];
        std::snprintf(line, sizeof line,
                      "Event %zu: %s %04d-%02d-%02dT%02d:%02d:%02d antenna=%u %s error=%u "
                      "input=0x%02X\n",
                      i, hexText(e.identifier).c_str(), e.time.year, e.time.month, e.time.day,
                      e.time.hour, e.time.minute, e.time.second, e.antenna,
                      e.granted ? "permitted" : "denied", e.error, e.input);
        out += line;
    }
    return out;
}

// --- persistence ------------------------------------------------------------

void VirtualReader::writeFile(const std::string &name, const std::string &text) const
{
    if (m_setup.stateDir.empty())
        return;
    ::mkdir(m_setup.stateDir.c_str(), 0700);
    const std::string path = m_setup.stateDir + "/" + name;
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return;
        out << text;
        if (!out.flush())
            return;
    }
    // Replaced in one step, so a crash never leaves half a file behind.
    std::rename(temp.c_str(), path.c_str());
}

void VirtualReader::saveBlocks() const
{
    if (m_setup.stateDir.empty())
        return; // in memory only: not even the text is built
    std::string text;
    for (int b = 0; b < 64; ++b)
        text += std::to_string(b) + " " +
                hexText(std::vector<uint8_t>(m_permanent[b].begin(), m_permanent[b].end())) + "\n";
    writeFile("blocks.txt", text);
}

void VirtualReader::saveTables() const
{
    if (m_setup.stateDir.empty())
        return;
    writeFile("tables.txt", m_tables.serialize());
}

void VirtualReader::saveEvents() const
{
    if (m_setup.stateDir.empty())
        return;
    std::string text;
    char line[64];
    for (const SimEvent &e : m_events) {
        std::snprintf(line, sizeof line, " %04d%02d%02d%02d%02d%02d %d %u %u %u\n", e.time.year,
                      e.time.month, e.time.day, e.time.hour, e.time.minute, e.time.second,
                      e.granted ? 1 : 0, e.input, e.error, e.antenna);
        text += (e.identifier.empty() ? std::string("-") : hexText(e.identifier)) + line;
    }
    writeFile("events.txt", text);
}

void VirtualReader::saveState() const
{
    if (m_setup.stateDir.empty())
        return;
    std::ostringstream out;
    out << "clock " << m_clockOffset << "\n";
    out << "paired " << (m_paired ? 1 : 0) << " " << m_pairedSerial << "\n";
    out << "network " << m_network.ip << " " << m_network.netmask << " " << m_network.gateway << " "
        << m_network.port << " " << (m_network.dhcp ? 1 : 0) << "\n";
    writeFile("state.txt", out.str());
}

void VirtualReader::load()
{
    if (m_setup.stateDir.empty())
        return;
    const std::string dir = m_setup.stateDir + "/";
    std::ifstream blocks(dir + "blocks.txt");
    int number;
    std::string hex;
    while (blocks >> number >> hex) {
        std::vector<uint8_t> bytes;
        if (number >= 0 && number < 64 && parseHex(hex, bytes) && bytes.size() == 16)
            std::copy(bytes.begin(), bytes.end(), m_permanent[number].begin());
    }
    std::ifstream tables(dir + "tables.txt");
    if (tables) {
        std::stringstream all;
        all << tables.rdbuf();
        ReaderTables loaded;
        if (loaded.deserialize(all.str()))
            m_tables = loaded;
    }
    std::ifstream events(dir + "events.txt");
    std::string line;
    while (std::getline(events, line)) {
        std::istringstream in(line);
        std::string id, stamp;
        int granted = 0;
        unsigned input = 0, error = 0, antenna = 1;
        if (!(in >> id >> stamp >> granted >> input >> error >> antenna) || stamp.size() != 14)
            continue;
        SimEvent e;
        if (id != "-" && !parseHex(id, e.identifier))
            continue;
        if (std::sscanf(stamp.c_str(), "%4d%2d%2d%2d%2d%2d", &e.time.year, &e.time.month,
                        &e.time.day, &e.time.hour, &e.time.minute, &e.time.second) != 6)
            continue;
        e.granted = granted != 0;
        e.input = static_cast<uint8_t>(input);
        e.error = static_cast<uint16_t>(error);
        e.antenna = static_cast<uint8_t>(antenna);
        if (m_events.size() < MaxEvents)
            m_events.push_back(e);
    }
    std::ifstream state(dir + "state.txt");
    std::string key;
    while (state >> key) {
        if (key == "clock") {
            state >> m_clockOffset;
        } else if (key == "paired") {
            int paired = 0;
            state >> paired >> m_pairedSerial;
            m_paired = paired != 0;
        } else {
            std::getline(state, line); // network: derived from the blocks at start-up
        }
    }
}

} // namespace kxsim

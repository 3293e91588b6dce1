// A virtual reader: answers every command of the reader protocol as a reader of
// one of the six types would, keeps its configuration blocks, clock, access
// tables, events, tags in its field, board pairing, anti-passback state and
// network configuration, and can keep them in a folder across restarts.
#pragma once

#include "readertables.h"
#include "simdevice.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace kxsim {

// A transponder lying in a reader's field.
struct SimTag
{
    int type = 4;               // 3 ISO 15693, 4 ISO 14443-A, 0x84 EPC Class 1 Gen 2
    std::vector<uint8_t> uid;   // UID; for 0x84 the protocol-control word and the EPC
    int family = 0;             // what a select answers: 1 DESFire, 3 keyed memory card, 0 other
    bool hasApplication = true; // family 1: application 254 present
    uint32_t applicationSerial = 0; // family 1: 24-bit number in file 1 of application 254
    uint64_t blockSerial = 0;       // family 3: 40-bit number in the last 5 bytes of block 62
    std::vector<uint8_t> key;       // family 3: key of block 62 (6 bytes); empty takes any key
};

// One access decision as the reader records it.
struct SimEvent
{
    std::vector<uint8_t> identifier;
    SimDateTime time;
    bool granted = false;
    uint8_t input = 0;
    uint16_t error = 0;
    uint8_t antenna = 1;
};

struct VirtualReaderSetup
{
    int type = 100; // 100, 101, 863, 82, 86 or 54
    uint32_t deviceId = 0x00C0FFEE;
    std::string mac = "02-4B-58-00-00-01";
    int firmware[3] = {-1, -1, -1}; // major, minor, patch; -1: the type's current version
    int hardware = -1;              // hardware byte; -1: the type's usual one (3 = internal relay)
    uint8_t busAddress = 0;         // answers this address and the broadcast 255
    SimNetworkConfig network;       // factory network configuration (blocks 40/41)
    std::string stateDir;           // keeps the state here across restarts; empty: memory only
    int maxFrameLength = 1024;      // announced for table writes, used for table reads
    uint32_t extIoSerial = 0;       // serial number of the attached external I/O board, 0 none
    uint8_t region[2] = {0x06, 0x00}; // region bytes of the long-range readers
};

class VirtualReader : public SimDevice
{
public:
    explicit VirtualReader(const VirtualReaderSetup &setup);
    ~VirtualReader() override;

    // The six reader types and their display names ("ID TZ60", ...).
    static std::vector<int> readerTypes();
    static std::string typeName(int type);

    void handleFrame(uint8_t busAddress, uint8_t command, const std::vector<uint8_t> &request,
                     uint8_t &status, std::vector<uint8_t> &answer) override;

    uint32_t deviceId() const override;
    int readerType() const override;
    std::string deviceName() const override;
    std::string macAddress() const override;
    SimNetworkConfig networkConfig() const override;
    // Writes the requested values into blocks 40/41 and restarts the reader.
    void applyNetworkSetup(const SimNetworkSetup &setup) override;

    // Puts a network configuration in force at once and into blocks 40/41,
    // without a restart and without onNetworkChanged (for a link that bound a
    // port of its own choosing).
    void setNetworkConfig(const SimNetworkConfig &config);

    // Tags in the field.
    void placeTag(const SimTag &tag);
    void removeTag(const std::vector<uint8_t> &uid);
    void clearField();
    std::vector<SimTag> tags() const;

    // Access decisions: by the reader's clock, or at the given date and time.
    // Returns the event appended.
    SimEvent present(const std::vector<uint8_t> &identifier, int antenna = 1);
    SimEvent presentAt(const std::vector<uint8_t> &identifier, const SimDateTime &when,
                       int antenna = 1);
    void setInputs(uint8_t inputs);

    // Clock.
    void setClock(const SimDateTime &when);
    SimDateTime clock() const;

    // Answers status to the next count requests of command (count < 0: every
    // one) without acting on them.
    void injectStatus(uint8_t command, uint8_t status, int count = 1);
    void clearInjectedStatus();
    // A faulty event list: every event read starts over at the first event
    // and answers "more events follow", so a reading never ends by itself.
    void setEndlessEvents(bool endless);
    // Events handed out by event reads since the reader was made.
    std::size_t eventsAnswered() const;

    // State, for tests and the control socket.
    std::array<uint8_t, 16> block(int number, bool permanent = true) const;
    ReaderTables tables() const;
    std::vector<SimEvent> events() const;
    bool extIoPaired() const;
    bool insideAntiPassback(const std::vector<uint8_t> &identifier) const;
    uint8_t rfFlags() const;
    int cpuResets() const;
    int systemResets() const;
    std::string dumpTables() const;
    std::string dumpBlocks() const;
    std::string dumpEvents() const;

private:
    using Block = std::array<uint8_t, 16>;
    struct Transfer
    {
        bool active = false;
        ReaderTables tables;
        bool closed[3] = {false, false, false};
        uint16_t crc[3] = {0xFFFF, 0xFFFF, 0xFFFF};
    };

    void dispatch(uint8_t command, const std::vector<uint8_t> &request, uint8_t &status,
                  std::vector<uint8_t> &answer, bool &networkChanged);
    uint8_t dataExchange(const std::vector<uint8_t> &request, std::vector<uint8_t> &answer);
    uint8_t readTable(int table, const std::vector<uint8_t> &data, std::vector<uint8_t> &answer);
    uint8_t readEvents(const std::vector<uint8_t> &data, std::vector<uint8_t> &answer);
    uint8_t readerInfo(uint8_t mode, std::vector<uint8_t> &answer) const;
    uint8_t isoCommand(const std::vector<uint8_t> &request, std::vector<uint8_t> &answer);
    uint8_t keyedCommand(const std::vector<uint8_t> &request);
    uint8_t desfireCommand(const std::vector<uint8_t> &request, std::vector<uint8_t> &answer);
    bool restart(); // system restart; true when the network configuration changed
    void resetBlock(int number, bool permanent);
    Block factoryBlock(int number) const;
    SimNetworkConfig networkFromBlocks() const;
    void networkToBlocks(const SimNetworkConfig &config, std::array<Block, 64> &blocks) const;
    SimDateTime now() const;
    SimEvent decide(const std::vector<uint8_t> &identifier, const SimDateTime &when, int antenna);
    bool hasLan() const;
    bool isAccessReader() const;
    bool isLongRange() const;
    bool isShortRange() const;

    // Persistence: one file per kind of state.
    void load();
    void saveBlocks() const;
    void saveTables() const;
    void saveEvents() const;
    void saveState() const;
    void writeFile(const std::string &name, const std::string &text) const;

    VirtualReaderSetup m_setup;
    mutable std::mutex m_mutex;
    std::array<Block, 64> m_permanent{};
    std::array<Block, 64> m_working{};
    std::array<Block, 4> m_regionBank{};
    ReaderTables m_tables;
    Transfer m_transfer;
    std::vector<SimEvent> m_events;
    std::size_t m_eventCursor = 0;
    bool m_endlessEvents = false;
    std::size_t m_eventsAnswered = 0;
    long long m_clockOffset = 0; // reader time minus host UTC, seconds
    std::vector<SimTag> m_field;
    int m_selected = -1;
    bool m_applicationSelected = false;
    bool m_authenticated = false;
    bool m_paired = false;
    uint32_t m_pairedSerial = 0;
    std::set<std::vector<uint8_t>> m_inside;
    SimNetworkConfig m_network;
    uint8_t m_rf = 0;
    uint8_t m_inputs = 0;
    std::map<uint8_t, std::pair<uint8_t, int>> m_statusFaults;
    int m_cpuResets = 0;
    int m_systemResets = 0;
};

} // namespace kxsim

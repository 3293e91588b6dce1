// The access tables as a virtual reader holds them: raw records exactly as they
// arrived in the data exchange, with the reader's own access decision over them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kxsim {

// A calendar date and time of day as a reader's clock gives it.
struct SimDateTime
{
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool isValid() const;
    int weekday() const; // 0 Sunday .. 6 Saturday
    bool operator==(const SimDateTime &o) const;
};

// CRC-16 of the table exchange: 0x1021 as the feedback of a right-shifting
// register, start value 0xFFFF, no final inversion.
uint16_t tableCrc(const uint8_t *data, std::size_t length, uint16_t crc = 0xFFFF);

class ReaderTables
{
public:
    static constexpr int TimezoneSize = 11;
    static constexpr int HolidaySize = 3;
    static constexpr int MaxTimezones = 15;
    static constexpr int MaxHolidays = 256;
    static constexpr int MaxAccess = 65535;

    // Why a presented identifier was denied (0: permitted); the event's error number.
    enum Decision : uint16_t {
        Permitted = 0,
        UnknownIdentifier = 1,
        OutsideTimezones = 2,
        AntiPassback = 3,
    };

    // A fresh reader: no records, the given identifier length, format 3.
    explicit ReaderTables(int iddLength = 8);

    // 16 metadata bytes as the metadata request carries them; false when the
    // counts or the identifier length and format are out of range.
    bool setMetadata(const std::vector<uint8_t> &bytes);
    std::array<uint8_t, 16> metadata() const { return m_metadata; }
    int iddLength() const { return m_metadata[6]; }
    int iddFormat() const { return m_metadata[7]; }
    int declaredTimezones() const { return m_metadata[2]; }
    int declaredHolidays() const { return m_metadata[3]; }
    int declaredAccess() const { return (m_metadata[4] << 8) | m_metadata[5]; }
    int accessSize() const { return iddLength() + 3; }

    // Record sizes per table number of the exchange (2 timezones, 3 holidays,
    // 4 access); 0 for any other table.
    int recordSize(int table) const;
    int recordCount(int table) const;
    // Appends count records of table; false when the table would overflow.
    bool append(int table, const uint8_t *records, int count);
    // The bytes of records [first, first + count) of table.
    std::vector<uint8_t> records(int table, int first, int count) const;

    // Refreshes the counts of the metadata from the records held.
    void updateCounts();

    Decision decide(const std::vector<uint8_t> &identifier, const SimDateTime &when) const;

    std::string dump() const;
    std::string serialize() const;
    bool deserialize(const std::string &text);

private:
    std::array<uint8_t, 16> m_metadata{};
    std::vector<uint8_t> m_timezones; // 11 bytes per record
    std::vector<uint8_t> m_holidays;  // 3 bytes per record
    std::vector<uint8_t> m_access;    // iddLength + 3 bytes per record
};

} // namespace kxsim

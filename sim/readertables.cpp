#include "readertables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

namespace kxsim {

namespace {

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

std::string hex(const uint8_t *data, std::size_t length)
{
    std::string out;
    char buf[3];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

bool unhex(const std::string &text, std::vector<uint8_t> &out)
{
    if (text.size() % 2)
        return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned v = 0;
        if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &v) != 1)
            return false;
        out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

int dateKey(int year, int month, int day)
{
    return (year * 100 + month) * 100 + day;
}

} // namespace

bool SimDateTime::isValid() const
{
    return year >= 1970 && year <= 2099 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month) && hour >= 0 && hour < 24 && minute >= 0 &&
           minute < 60 && second >= 0 && second < 60;
}

int SimDateTime::weekday() const
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    const time_t s = timegm(&t);
    std::tm out{};
    gmtime_r(&s, &out);
    return out.tm_wday;
}

bool SimDateTime::operator==(const SimDateTime &o) const
{
    return year == o.year && month == o.month && day == o.day && hour == o.hour &&
           minute == o.minute && second == o.second;
}

uint16_t tableCrc(const uint8_t *data, std::size_t length, uint16_t crc)
{
    // One table lookup per byte instead of eight shifts: whole access tables pass through here.
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t c = static_cast<uint16_t>(i);
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0x1021)
                            : static_cast<uint16_t>(c >> 1);
            t[i] = c;
        }
        return t;
    }();
    for (std::size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
    return crc;
}

ReaderTables::ReaderTables(int iddLength)
{
    m_metadata[6] = static_cast<uint8_t>(iddLength);
    m_metadata[7] = 3;
}

bool ReaderTables::setMetadata(const std::vector<uint8_t> &bytes)
{
    if (bytes.size() != 16)
        return false;
    const int timezones = bytes[2];
    const int idd = bytes[6];
    const int format = bytes[7];
    if (timezones > MaxTimezones || idd < 1 || idd > 64 || format < 1 || format > 3)
        return false;
    std::memcpy(m_metadata.data(), bytes.data(), 16);
    m_timezones.clear();
    m_holidays.clear();
    m_access.clear();
    return true;
}

int ReaderTables::recordSize(int table) const
{
    switch (table) {
    case 2:
        return TimezoneSize;
    case 3:
        return HolidaySize;
    case 4:
        return accessSize();
    default:
        return 0;
    }
}

int ReaderTables::recordCount(int table) const
{
    const int size = recordSize(table);
    if (size == 0)
        return 0;
    switch (table) {
    case 2:
        return static_cast<int>(m_timezones.size()) / size;
    case 3:
        return static_cast<int>(m_holidays.size()) / size;
    default:
        return static_cast<int>(m_access.size()) / size;
    }
}

bool ReaderTables::append(int table, const uint8_t *records, int count)
{
    const int size = recordSize(table);
    if (size == 0 || count < 0)
        return false;
    const int limit = table == 2 ? MaxTimezones : table == 3 ? MaxHolidays : MaxAccess;
    if (recordCount(table) + count > limit)
        return false;
    std::vector<uint8_t> &target = table == 2 ? m_timezones : table == 3 ? m_holidays : m_access;
    target.insert(target.end(), records, records + static_cast<std::size_t>(count) * size);
    return true;
}

std::vector<uint8_t> ReaderTables::records(int table, int first, int count) const
{
    const int size = recordSize(table);
    const int total = recordCount(table);
    if (size == 0 || first < 0 || first >= total || count <= 0)
        return {};
    if (first + count > total)
        count = total - first;
    const std::vector<uint8_t> &source = table == 2   ? m_timezones
                                         : table == 3 ? m_holidays
                                                      : m_access;
    const auto begin = source.begin() + static_cast<std::ptrdiff_t>(first) * size;
    return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(count) * size);
}

void ReaderTables::updateCounts()
{
    const int access = recordCount(4);
    m_metadata[2] = static_cast<uint8_t>(recordCount(2));
    m_metadata[3] = static_cast<uint8_t>(recordCount(3)); // 256 holidays wrap to 0, as sent
    m_metadata[4] = static_cast<uint8_t>(access >> 8);
    m_metadata[5] = static_cast<uint8_t>(access & 0xFF);
}

ReaderTables::Decision ReaderTables::decide(const std::vector<uint8_t> &identifier,
                                            const SimDateTime &when) const
{
    const int idd = iddLength();
    const int size = accessSize();
    if (idd < 1)
        return UnknownIdentifier;
    // The table holds the first IDD-Length bytes; a shorter identifier is
    // extended with zero bytes in front, as the manager stores a read tag.
    std::vector<uint8_t> key(static_cast<std::size_t>(idd), 0);
    const std::size_t used = std::min<std::size_t>(identifier.size(), idd);
    std::copy_n(identifier.begin(), used, key.begin() + static_cast<std::ptrdiff_t>(idd - used));

    const uint8_t *record = nullptr;
    for (std::size_t off = 0; off + size <= m_access.size(); off += size) {
        if (std::memcmp(&m_access[off], key.data(), static_cast<std::size_t>(idd)) == 0) {
            record = &m_access[off];
            break;
        }
    }
    if (!record)
        return UnknownIdentifier;
    const uint16_t flags = static_cast<uint16_t>((record[idd] << 8) | record[idd + 1]);
    if (flags & 0x8000)
        return Permitted;

    bool holiday = false;
    for (std::size_t off = 0; off + HolidaySize <= m_holidays.size(); off += HolidaySize) {
        if (m_holidays[off] == when.day && m_holidays[off + 1] == when.month &&
            m_holidays[off + 2] == when.year % 100)
            holiday = true;
    }
    const int today = dateKey(when.year, when.month, when.day);
    const int now = when.hour * 60 + when.minute;
    const int timezones = recordCount(2);
    for (int i = 0; i < timezones && i < 15; ++i) {
        if (!(flags & (1u << i)))
            continue;
        const uint8_t *tz = &m_timezones[static_cast<std::size_t>(i) * TimezoneSize];
        const int from = dateKey(2000 + tz[2], tz[1], tz[0]);
        const int to = dateKey(2000 + tz[5], tz[4], tz[3]);
        if (today < from || today > to)
            continue;
        const uint8_t days = tz[6];
        if (holiday ? days != 0 : !(days & (1u << when.weekday())))
            continue;
        const int start = tz[7] * 60 + tz[8];
        const int end = tz[9] * 60 + tz[10];
        if (start <= now && now < end)
            return Permitted;
    }
    return OutsideTimezones;
}

std::string ReaderTables::dump() const
{
    std::ostringstream out;
    char line[160];
    std::snprintf(line, sizeof line,
                  "Metadata: version=%u timezones=%u holidays=%u access=%u idd-length=%u "
                  "idd-format=%u\n",
                  (m_metadata[0] << 8) | m_metadata[1], m_metadata[2], m_metadata[3],
                  (m_metadata[4] << 8) | m_metadata[5], m_metadata[6], m_metadata[7]);
    out << line;
    for (int i = 0; i < recordCount(2); ++i) {
        const uint8_t *t = &m_timezones[static_cast<std::size_t>(i) * TimezoneSize];
        std::snprintf(
            line, sizeof line,
            "Timezone %d: %02u.%02u.%02u-%02u.%02u.%02u days=0x%02X %02u:%02u-%02u:%02u\n", i, t[0],
            t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10]);
        out << line;
    }
    for (int i = 0; i < recordCount(3); ++i) {
        const uint8_t *h = &m_holidays[static_cast<std::size_t>(i) * HolidaySize];
        std::snprintf(line, sizeof line, "Holiday %d: %02u.%02u.%02u\n", i, h[0], h[1], h[2]);
        out << line;
    }
    const int size = accessSize();
    for (int i = 0; i < recordCount(4); ++i) {
        const uint8_t *a = &m_access[static_cast<std::size_t>(i) * size];
        std::string id;
        for (int k = 0; k < iddLength(); ++k) {
            std::snprintf(line, sizeof line, "%02X", a[k]);
            id += line;
        }
        std::snprintf(line, sizeof line, "Access %d: %s flags=0x%04X\n", i, id.c_str(),
                      (a[iddLength()] << 8) | a[iddLength() + 1]);
        out << line;
    }
    return out.str();
}

std::string ReaderTables::serialize() const
{
    std::string out = "META " + hex(m_metadata.data(), m_metadata.size()) + "\n";
    out += "TZ " + hex(m_timezones.data(), m_timezones.size()) + "\n";
    out += "HOL " + hex(m_holidays.data(), m_holidays.size()) + "\n";
    out += "ACC " + hex(m_access.data(), m_access.size()) + "\n";
    return out;
}

bool ReaderTables::deserialize(const std::string &text)
{
    std::istringstream in(text);
    std::string key, value;
    ReaderTables t;
    bool meta = false;
    while (in >> key) {
        value.clear();
        if (in.peek() == ' ')
            in.get();
        std::getline(in, value);
        std::vector<uint8_t> bytes;
        if (!unhex(value, bytes))
            return false;
        if (key == "META" && bytes.size() == 16) {
            std::memcpy(t.m_metadata.data(), bytes.data(), 16);
            meta = true;
        } else if (key == "TZ") {
            t.m_timezones = bytes;
        } else if (key == "HOL") {
            t.m_holidays = bytes;
        } else if (key == "ACC") {
            t.m_access = bytes;
        }
    }
    const int size = t.accessSize();
    if (!meta || t.m_timezones.size() % TimezoneSize || t.m_holidays.size() % HolidaySize ||
        t.m_access.size() % size || t.iddLength() < 1 || t.iddLength() > 64)
        return false;
    *this = t;
    return true;
}

} // namespace kxsim

// The manager's side of the access table exchange, written again for tests
// from the byte layouts alone, so both ends are checked against each other.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace TableFrames {

// One exchange call: mode, flags, table, request bytes -> status (or a negative
// library error) and the answer bytes.
using Exchange =
    std::function<int(uint8_t mode, uint8_t flags, uint8_t table,
                      const std::vector<uint8_t> &request, std::vector<uint8_t> &answer)>;

struct Tables
{
    int iddLength = 8;
    std::vector<std::array<uint8_t, 11>> timezones;
    std::vector<std::array<uint8_t, 3>> holidays;
    std::vector<std::pair<std::vector<uint8_t>, uint16_t>> access;
};

// Bit by bit, unlike the reader's table lookup.
inline uint16_t crc(const std::vector<uint8_t> &data, uint16_t value = 0xFFFF)
{
    for (uint8_t b : data) {
        value ^= b;
        for (int k = 0; k < 8; ++k)
            value = (value & 1) ? static_cast<uint16_t>((value >> 1) ^ 0x1021)
                                : static_cast<uint16_t>(value >> 1);
    }
    return value;
}

inline std::vector<uint8_t> metadata(const Tables &t)
{
    const auto n = t.access.size();
    return {0,
            0,
            static_cast<uint8_t>(t.timezones.size()),
            static_cast<uint8_t>(t.holidays.size()),
            static_cast<uint8_t>(n >> 8),
            static_cast<uint8_t>(n & 0xFF),
            static_cast<uint8_t>(t.iddLength),
            3,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0};
}

struct WriteResult
{
    int rc = 0;
    int frames = 0;
    int maxFrame = 0;
    std::array<uint16_t, 4> crcs{};
};

// Sends the tables as the manager does. crcFault: index 0..3 of a CRC sent
// wrong in the finish request, -1 for none.
inline WriteResult write(const Tables &t, const Exchange &exchange, int crcFault = -1)
{
    WriteResult r;
    std::vector<uint8_t> answer;
    const std::vector<uint8_t> meta = metadata(t);
    r.rc = exchange(1, 0, 1, meta, answer);
    if (r.rc != 0)
        return r;
    if (answer.size() < 4) {
        r.rc = -1000;
        return r;
    }
    r.maxFrame = (answer[0] << 8) | answer[1];
    r.crcs[0] = crc(meta);

    std::vector<std::vector<uint8_t>> records[3];
    for (const auto &z : t.timezones)
        records[0].emplace_back(z.begin(), z.end());
    for (const auto &h : t.holidays)
        records[1].emplace_back(h.begin(), h.end());
    for (const auto &a : t.access) {
        // Shorter identifiers extended with zero bytes in front, longer ones cut.
        std::vector<uint8_t> rec(static_cast<std::size_t>(t.iddLength), 0);
        const std::size_t used = std::min(a.first.size(), rec.size());
        std::copy_n(a.first.begin(), used, rec.end() - static_cast<std::ptrdiff_t>(used));
        rec.push_back(static_cast<uint8_t>(a.second >> 8));
        rec.push_back(static_cast<uint8_t>(a.second & 0xFF));
        rec.push_back(0);
        records[2].push_back(rec);
    }
    const int sizes[3] = {11, 3, t.iddLength + 3};
    for (int k = 0; k < 3; ++k) {
        uint16_t tableCrc = 0xFFFF;
        std::vector<uint8_t> frame{0, 0, static_cast<uint8_t>(sizes[k])};
        int count = 0;
        auto send = [&](uint8_t flags) {
            frame[0] = static_cast<uint8_t>(count >> 8);
            frame[1] = static_cast<uint8_t>(count & 0xFF);
            tableCrc = crc(std::vector<uint8_t>(frame.begin() + 3, frame.end()), tableCrc);
            ++r.frames;
            const int rc = exchange(3, flags, static_cast<uint8_t>(k + 2), frame, answer);
            frame.resize(3);
            count = 0;
            return rc;
        };
        for (const auto &rec : records[k]) {
            frame.insert(frame.end(), rec.begin(), rec.end());
            ++count;
            if (static_cast<int>(frame.size()) + sizes[k] + 15 > r.maxFrame) {
                r.rc = send(0x80);
                if (r.rc != 0)
                    return r;
            }
        }
        r.rc = send(0);
        if (r.rc != 0)
            return r;
        r.crcs[k + 1] = tableCrc;
    }
    std::vector<uint8_t> finish;
    for (int i = 0; i < 4; ++i) {
        const uint16_t c = i == crcFault ? static_cast<uint16_t>(r.crcs[i] ^ 0x0001) : r.crcs[i];
        finish.push_back(static_cast<uint8_t>(c >> 8));
        finish.push_back(static_cast<uint8_t>(c & 0xFF));
    }
    r.rc = exchange(2, 0, 0, finish, answer);
    return r;
}

// Reads one table (2, 3, 4) in frames from index 0; the records' bytes, the
// number of calls, and the rc (0, or the first failing value; 146 is empty).
struct ReadResult
{
    int rc = 0;
    int calls = 0;
    int count = 0;
    std::vector<uint8_t> bytes;
};

inline ReadResult read(int table, int recordSize, const Exchange &exchange)
{
    ReadResult r;
    int index = 0;
    for (;;) {
        std::vector<uint8_t> answer;
        const int rc =
            exchange(5, 0, static_cast<uint8_t>(table),
                     {static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)}, answer);
        ++r.calls;
        if (rc == 146)
            return r;
        if (rc != 0 && rc != 148) {
            r.rc = rc;
            return r;
        }
        if (answer.size() < 3 || answer[2] != recordSize) {
            r.rc = -1000;
            return r;
        }
        const int count = (answer[0] << 8) | answer[1];
        if (static_cast<int>(answer.size()) != 3 + count * recordSize) {
            r.rc = -1000;
            return r;
        }
        r.bytes.insert(r.bytes.end(), answer.begin() + 3, answer.end());
        r.count += count;
        index += count;
        if (rc == 0)
            return r;
    }
}

} // namespace TableFrames

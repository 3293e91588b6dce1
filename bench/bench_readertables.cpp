// Sends the access tables of 10,000 identifiers to a virtual reader over
// loopback TCP, as the manager does, and prints the median time, the bytes
// moved and the frames; then the time to move the same number of bytes over
// a plain loopback socket, for comparison.
#include "kxrdr.h"
#include "kxtcp.h"
#include "simreader.h"
#include "tableframes.h"
#include "virtualreader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kIdentifiers = 10000;
constexpr int kRuns = 7;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TableFrames::Tables benchTables()
{
    TableFrames::Tables t;
    t.iddLength = 8;
    for (int z = 0; z < 15; ++z)
        t.timezones.push_back({1, 1, 26, 31, 12, 26, 0x3E, uint8_t(6 + z % 4), 0, 18, 0});
    for (int h = 0; h < 12; ++h)
        t.holidays.push_back({uint8_t(1 + h), uint8_t(1 + h), 26});
    for (int i = 0; i < kIdentifiers; ++i)
        t.access.emplace_back(std::vector<uint8_t>{0xE0, 0x04, 0, 0, uint8_t(i >> 24),
                                                   uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)},
                              uint16_t(1u << (i % 15)));
    return t;
}

// Moves `bytes` bytes through a plain loopback TCP connection in 1 KiB writes,
// each acknowledged by one byte, as many round trips as the table transfer had.
double rawTransfer(std::size_t bytes, int roundTrips)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size);
    const std::size_t chunk = (bytes + std::size_t(roundTrips) - 1) / std::size_t(roundTrips);
    std::thread server([listener, bytes, chunk] {
        const int fd = ::accept(listener, nullptr, nullptr);
        std::vector<char> buffer(chunk);
        std::size_t received = 0;
        std::size_t sinceAck = 0;
        while (received < bytes) {
            const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
            if (n <= 0)
                break;
            received += std::size_t(n);
            sinceAck += std::size_t(n);
            if (sinceAck >= chunk || received >= bytes) {
                sinceAck = 0;
                const char ack = 1;
                ::send(fd, &ack, 1, 0);
            }
        }
        ::close(fd);
    });
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    std::vector<char> data(chunk, 0x5A);
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes) {
        const std::size_t n = std::min(chunk, bytes - sent);
        ::send(fd, data.data(), n, 0);
        sent += n;
        char ack;
        ::recv(fd, &ack, 1, 0);
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::close(fd);
    server.join();
    ::close(listener);
    return ms;
}

} // namespace

int main()
{
    setenv("KX_LOOPBACK_ONLY", "1", 1);
    kxsim::VirtualReaderSetup setup;
    setup.type = 100;
    auto device = std::make_shared<kxsim::VirtualReader>(setup);
    kxsim::SimReader reader(device);
    if (!reader.listenTcp("127.0.0.1", 0)) {
        std::fprintf(stderr, "cannot listen: %s\n", reader.lastError().c_str());
        return 1;
    }
    const TableFrames::Tables tables = benchTables();
    const std::size_t tableBytes =
        16 + tables.timezones.size() * 11 + tables.holidays.size() * 3 + tables.access.size() * 11;

    std::vector<double> times;
    TableFrames::WriteResult last;
    uint64_t wireBytes = 0;
    uint64_t frames = 0;
    for (int run = 0; run < kRuns; ++run) {
        const int port = KXTCP_Connect("127.0.0.1", reader.tcp().port());
        const int handle = KXRDR_NewReader(port);
        KXRDR_SetReaderPara(handle, "FRAMESUPPORT", "ADVANCED");
        const uint64_t in0 = reader.tcp().server().bytesIn();
        const uint64_t out0 = reader.tcp().server().bytesOut();
        const uint64_t frames0 = reader.tcp().server().framesAnswered();
        const auto start = Clock::now();
        last = TableFrames::write(tables, [handle](uint8_t mode, uint8_t flags, uint8_t table,
                                                   const std::vector<uint8_t> &request,
                                                   std::vector<uint8_t> &answer) {
            answer.assign(KXRDR_EXCHANGE_SIZE, 0);
            int length = 0;
            const int rc =
                KXRDR_0x1F_TZDataExchange(handle, 255, mode, flags, table, request.data(),
                                          int(request.size()), answer.data(), &length, 0);
            answer.resize(std::size_t(std::max(length, 0)));
            return rc;
        });
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        wireBytes = reader.tcp().server().bytesIn() - in0 + reader.tcp().server().bytesOut() - out0;
        frames = reader.tcp().server().framesAnswered() - frames0;
        KXRDR_DeleteReader(handle);
        KXTCP_DisConnect(port);
        if (last.rc != 0) {
            std::fprintf(stderr, "transfer failed: %d\n", last.rc);
            return 1;
        }
    }
    std::vector<double> raw;
    for (int run = 0; run < kRuns; ++run)
        raw.push_back(rawTransfer(wireBytes, int(frames)));

    std::printf("access tables of %d identifiers, %zu timezones, %zu holidays\n", kIdentifiers,
                tables.timezones.size(), tables.holidays.size());
    std::printf("  table bytes (metadata and records): %zu\n", tableBytes);
    std::printf("  reader's maximum frame length:      %d\n", last.maxFrame);
    std::printf("  exchanges (requests answered):      %llu (%d table frames)\n",
                static_cast<unsigned long long>(frames), last.frames);
    std::printf("  bytes on the wire, both directions: %llu (%.1f %% over the table bytes)\n",
                static_cast<unsigned long long>(wireBytes),
                100.0 * (double(wireBytes) - double(tableBytes)) / double(tableBytes));
    std::printf("  median of %d transfers:             %.2f ms\n", kRuns, median(times));
    std::printf("  raw loopback TCP, same bytes and round trips: %.2f ms (median of %d)\n",
                median(raw), kRuns);
    return 0;
}

#include "readertables.h"
#include "tableframes.h"
#include "virtualreader.h"
#include "virtualreadercontrol.h"

#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

using namespace kxsim;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

int call(VirtualReader &r, uint8_t command, const Bytes &request, Bytes &answer)
{
    uint8_t status = 0xEE;
    r.handleFrame(255, command, request, status, answer);
    return status;
}

int call(VirtualReader &r, uint8_t command, const Bytes &request)
{
    Bytes answer;
    return call(r, command, request, answer);
}

TableFrames::Exchange exchangeOf(VirtualReader &r)
{
    return [&r](uint8_t mode, uint8_t flags, uint8_t table, const Bytes &request, Bytes &answer) {
        Bytes payload{mode, flags, table};
        payload.insert(payload.end(), request.begin(), request.end());
        return call(r, 0x1F, payload, answer);
    };
}

VirtualReaderSetup setupOf(int type)
{
    VirtualReaderSetup s;
    s.type = type;
    s.deviceId = 0x12345678;
    s.network.ip = "127.0.0.1";
    s.network.port = 10001;
    return s;
}

std::array<uint8_t, 11> timezoneRecord(uint8_t days, int fromH, int fromM, int toH, int toM)
{
    return {1, 1, 0, 31, 12, 99, days, uint8_t(fromH), uint8_t(fromM), uint8_t(toH), uint8_t(toM)};
}

// One user always, one on weekdays 08:00-17:00 and holidays 10:00-12:00.
TableFrames::Tables officeTables()
{
    TableFrames::Tables t;
    t.iddLength = 7;
    t.timezones = {timezoneRecord(0x3E, 8, 0, 17, 0), timezoneRecord(0x00, 10, 0, 12, 0)};
    t.holidays = {{{24, 12, 26}}};
    t.access = {{{0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6}, 0x0003},
                {{0x04, 0x11, 0x22, 0x33}, 0x8000}};
    return t;
}

SimDateTime at(int y, int mo, int d, int h, int mi)
{
    SimDateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    return t;
}

} // namespace

class TestVirtualReader : public QObject
{
    Q_OBJECT
private slots:
    void tableCrc_data();
    void tableCrc();
    void readerInfo_data();
    void readerInfo();
    void configurationBlocks();
    void wholeResetsKeepNetwork_data();
    void wholeResetsKeepNetwork();
    void regionRead();
    void clock_data();
    void clock();
    void tableRoundTrip();
    void finishCrcMismatchKeepsTables_data();
    void finishCrcMismatchKeepsTables();
    void transferOutOfOrder_data();
    void transferOutOfOrder();
    void accessDecision_data();
    void accessDecision();
    void eventsReadInFrames();
    void inventory_data();
    void inventory();
    void serialNumbers();
    void pairing();
    void antiPassback();
    void networkAppliedOnSystemReset();
    void injectedStatus();
    void persistence();
    void survivesGarbage();
    void mutatedTransfersStayConsistent();
    void control_data();
    void control();
};

void TestVirtualReader::tableCrc_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("abc") << QByteArray("abc") << 0x0EB3;
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << -1;
    QTest::newRow("long") << QByteArray(3000, '\x5A') << -1;
}

void TestVirtualReader::tableCrc()
{
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    const Bytes bytes(data.begin(), data.end());
    const uint16_t reader = kxsim::tableCrc(bytes.data(), bytes.size());
    if (crc >= 0)
        QCOMPARE(int(reader), crc);
    QCOMPARE(reader, TableFrames::crc(bytes));
    // Chained over two parts, as over the frames of one table.
    const std::size_t half = bytes.size() / 2;
    QCOMPARE(kxsim::tableCrc(bytes.data() + half, bytes.size() - half,
                             kxsim::tableCrc(bytes.data(), half)),
             reader);
}

void TestVirtualReader::readerInfo_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hasMac");
    QTest::addColumn<bool>("hasBoard");
    QTest::newRow("TZ60") << 100 << "ID TZ60" << true << true;
    QTest::newRow("TZU700") << 101 << "ID TZU700" << true << false;
    QTest::newRow("TZU300") << 863 << "ID TZU300" << true << false;
    QTest::newRow("PQ20") << 82 << "ID PQ20" << false << false;
    QTest::newRow("PQ10") << 86 << "ID PQ10" << false << false;
    QTest::newRow("LRX7") << 54 << "ID LRX7" << false << false;
}

void TestVirtualReader::readerInfo()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(bool, hasMac);
    QFETCH(bool, hasBoard);
    VirtualReaderSetup s = setupOf(type);
    s.mac = "02-4B-58-0A-0B-0C";
    VirtualReader r(s);
    QCOMPARE(QString::fromStdString(r.deviceName()), name);

    Bytes a;
    QCOMPARE(call(r, 0x66, {0x00}, a), 0);
    QVERIFY(a.size() >= 15);
    QCOMPARE(a[4] + 256 * a[14], type);

    QCOMPARE(call(r, 0x66, {0x80}, a), 0);
    QCOMPARE((uint32_t(a[0]) << 24) | (a[1] << 16) | (a[2] << 8) | a[3], 0x12345678u);

    const int macStatus = call(r, 0x66, {0x50}, a);
    if (hasMac) {
        QCOMPARE(macStatus, 0);
        QCOMPARE(Bytes(a.begin() + 1, a.begin() + 7), Bytes({0x02, 0x4B, 0x58, 0x0A, 0x0B, 0x0C}));
    } else {
        QVERIFY(macStatus > 0); // no MAC is a status, not a failure of the link
    }
    QCOMPARE(call(r, 0x66, {0x07}, a) == 0, hasBoard);
    QCOMPARE(call(r, 0x66, {0x33}, a), 0x11);
    QCOMPARE(call(r, 0x66, {}, a), 0x81);
}

void TestVirtualReader::configurationBlocks()
{
    VirtualReader r(setupOf(100));
    const auto factory = r.block(12);
    Bytes block(16, 0xA5);
    Bytes write{0x8C};
    write.insert(write.end(), block.begin(), block.end());
    QCOMPARE(call(r, 0x81, write), 0);

    Bytes a;
    QCOMPARE(call(r, 0x80, {0x8C}, a), 0);
    QCOMPARE(a, block);
    // Written to the permanent configuration; in force only after a CPU reset.
    QCOMPARE(call(r, 0x80, {0x0C}, a), 0);
    QCOMPARE(a, Bytes(factory.begin(), factory.end()));
    QCOMPARE(call(r, 0x63, {}), 0);
    QCOMPARE(call(r, 0x80, {0x0C}, a), 0);
    QCOMPARE(a, block);
    QCOMPARE(r.cpuResets(), 1);

    QCOMPARE(call(r, 0x83, {0x8C}), 0);
    QCOMPARE(call(r, 0x80, {0x8C}, a), 0);
    QCOMPARE(a, Bytes(factory.begin(), factory.end()));

    QCOMPARE(call(r, 0x80, {0x4C}, a), 0x05); // bit 6 is no address
    QCOMPARE(call(r, 0x81, {0x8C, 1, 2}), 0x81);
}

void TestVirtualReader::wholeResetsKeepNetwork_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("whole");
    QTest::newRow("TZU700 0xC0") << 101 << 0xC0 << true;
    QTest::newRow("TZ60 0xC0") << 100 << 0xC0 << true;
    QTest::newRow("TZ60 0xAF") << 100 << 0xAF << true;
    QTest::newRow("TZU300 0xAF is one block") << 863 << 0xAF << false;
}

void TestVirtualReader::wholeResetsKeepNetwork()
{
    QFETCH(int, type);
    QFETCH(int, address);
    QFETCH(bool, whole);
    VirtualReader r(setupOf(type));
    const auto factory3 = r.block(3);
    Bytes write{0x83};
    write.resize(17, 0x77);
    QCOMPARE(call(r, 0x81, write), 0);
    Bytes net{0x80 | 40, 127, 0, 0, 9, 0, 0, 0, 0, 0x27, 0x12};
    net.resize(17, 0);
    QCOMPARE(call(r, 0x81, net), 0);

    QCOMPARE(call(r, 0x83, {uint8_t(address)}), 0);
    QCOMPARE(r.block(3) == factory3, whole);
    // A reset of the configuration never takes the reader off its network.
    QCOMPARE(r.block(40)[3], uint8_t(9));
    QCOMPARE(r.block(40)[9], uint8_t(0x12));
}

void TestVirtualReader::regionRead()
{
    VirtualReaderSetup s = setupOf(863);
    s.region[0] = 0x04;
    VirtualReader r(s);
    Bytes a;
    QCOMPARE(call(r, 0x8A, {2, 32, 1, 1, 1}, a), 0);
    QCOMPARE(a.size(), size_t(18));
    QCOMPARE(a[2], uint8_t(0x04));
    QCOMPARE(a[3], uint8_t(0x00));
    QCOMPARE(call(r, 0x8A, {2, 32, 1, 3, 2}, a), 0x05);
    VirtualReader hf(setupOf(100));
    QCOMPARE(call(hf, 0x8A, {2, 32, 1, 1, 1}, a), 0x82);
}

void TestVirtualReader::clock_data()
{
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<int>("status");
    QTest::newRow("valid") << Bytes{20, 26, 12, 7, 0, 21, 58, 0xB7, 0x98} << 0; // 47 s
    QTest::newRow("leap day") << Bytes{20, 28, 2, 29, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("no leap day") << Bytes{20, 27, 2, 29, 0, 0, 0, 0, 0} << 0x11;
    QTest::newRow("month 13") << Bytes{20, 26, 13, 1, 0, 0, 0, 0, 0} << 0x11;
    QTest::newRow("hour 24") << Bytes{20, 26, 1, 1, 0, 24, 0, 0, 0} << 0x11;
    QTest::newRow("60000 ms") << Bytes{20, 26, 1, 1, 0, 0, 0, 0xEA, 0x60} << 0x11;
    QTest::newRow("short") << Bytes{20, 26, 1, 1} << 0x81;
}

void TestVirtualReader::clock()
{
    QFETCH(Bytes, request);
    QFETCH(int, status);
    VirtualReader r(setupOf(100));
    r.setClock(at(2030, 6, 1, 12, 0));
    QCOMPARE(call(r, 0x87, request), status);
    const SimDateTime c = r.clock();
    if (status == 0) {
        QCOMPARE(c.year, request[0] * 100 + request[1]);
        QCOMPARE(c.month, int(request[2]));
        QCOMPARE(c.day, int(request[3]));
        QCOMPARE(c.hour, int(request[5]));
        QCOMPARE(c.minute, int(request[6]));
    } else {
        QCOMPARE(c.year, 2030); // a refused date leaves the clock alone
    }
}

void TestVirtualReader::tableRoundTrip()
{
    VirtualReaderSetup s = setupOf(100);
    s.maxFrameLength = 60;
    VirtualReader r(s);
    TableFrames::Tables t = officeTables();
    for (int i = 0; i < 5; ++i)
        t.timezones.push_back(timezoneRecord(0x41, i, 0, i + 1, 0));
    for (int i = 0; i < 40; ++i)
        t.access.push_back({{0x10, uint8_t(i), 0xEE}, uint16_t(1 << (i % 7))});
    const auto w = TableFrames::write(t, exchangeOf(r));
    QCOMPARE(w.rc, 0);
    QCOMPARE(w.maxFrame, 60);
    // With 60 bytes a timezone frame carries at most three records.
    QCOMPARE(w.frames, 3 + 1 + 11); // access: four records of 10 bytes per frame

    Bytes a;
    QCOMPARE(call(r, 0x1F, {5, 0, 1, 0, 0}, a), 0);
    QCOMPARE(a.size(), size_t(19));
    QCOMPARE(Bytes(a.begin(), a.begin() + 3), Bytes({0, 1, 16}));
    QCOMPARE(int(a[3 + 2]), 7);
    QCOMPARE((a[3 + 4] << 8) | a[3 + 5], 42);

    const auto tz = TableFrames::read(2, 11, exchangeOf(r));
    QCOMPARE(tz.rc, 0);
    QCOMPARE(tz.count, 7);
    QVERIFY(tz.calls > 1); // came in several frames, with 148 between
    QCOMPARE(Bytes(tz.bytes.begin(), tz.bytes.begin() + 11),
             Bytes(t.timezones[0].begin(), t.timezones[0].end()));
    const auto acc = TableFrames::read(4, 10, exchangeOf(r));
    QCOMPARE(acc.rc, 0);
    QCOMPARE(acc.count, 42);
    // Short identifiers travel extended with zero bytes in front.
    QCOMPARE(Bytes(acc.bytes.begin() + 10, acc.bytes.begin() + 20),
             Bytes({0, 0, 0, 0x04, 0x11, 0x22, 0x33, 0x80, 0x00, 0}));

    // 256 holidays fit the table although their count byte wraps to 0.
    TableFrames::Tables holidays = officeTables();
    for (int i = 1; i < 256; ++i)
        holidays.holidays.push_back({{uint8_t(1 + i % 28), uint8_t(1 + i / 28), 27}});
    QCOMPARE(TableFrames::write(holidays, exchangeOf(r)).rc, 0);
    QCOMPARE(r.tables().recordCount(3), 256);
    QCOMPARE(TableFrames::read(3, 3, exchangeOf(r)).count, 256);

    // Empty tables: one frame of no records, read back as 146.
    TableFrames::Tables empty;
    empty.iddLength = 7;
    QCOMPARE(TableFrames::write(empty, exchangeOf(r)).rc, 0);
    QCOMPARE(TableFrames::read(3, 3, exchangeOf(r)).calls, 1);
    QCOMPARE(call(r, 0x1F, {5, 0, 4, 0, 0}, a), 146);
}

void TestVirtualReader::finishCrcMismatchKeepsTables_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("metadata") << 0;
    QTest::newRow("timezones") << 1;
    QTest::newRow("holidays") << 2;
    QTest::newRow("access") << 3;
}

void TestVirtualReader::finishCrcMismatchKeepsTables()
{
    QFETCH(int, fault);
    VirtualReader r(setupOf(100));
    QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    r.presentAt({0x04, 0x11, 0x22, 0x33}, at(2026, 12, 7, 9, 0));
    const std::string before = r.dumpTables();

    TableFrames::Tables other;
    other.iddLength = 4;
    other.access = {{{1, 2, 3, 4}, 0x8000}};
    QCOMPARE(TableFrames::write(other, exchangeOf(r), fault).rc, 0x12);
    QCOMPARE(r.dumpTables(), before);
    QCOMPARE(r.events().size(), size_t(1)); // events stay with the tables in force
    QVERIFY(r.presentAt({0x04, 0x11, 0x22, 0x33}, at(2026, 12, 7, 9, 0)).granted);
    QVERIFY(!r.presentAt({1, 2, 3, 4}, at(2026, 12, 7, 9, 0)).granted);

    // The same tables with the right CRCs take effect and clear the events.
    QCOMPARE(TableFrames::write(other, exchangeOf(r)).rc, 0);
    QVERIFY(r.events().empty());
    QVERIFY(r.presentAt({1, 2, 3, 4}, at(2026, 12, 7, 9, 0)).granted);
}

void TestVirtualReader::transferOutOfOrder_data()
{
    QTest::addColumn<QList<Bytes>>("requests");
    QTest::addColumn<int>("status");
    const Bytes meta{1, 0, 1, 0, 0, 0, 0, 0, 1, 4, 3, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes noTz{3, 0, 2, 0, 0, 11};
    const Bytes noHol{3, 0, 3, 0, 0, 3};
    QTest::newRow("frame without metadata") << QList<Bytes>{noTz} << 0x13;
    QTest::newRow("finish without metadata")
        << QList<Bytes>{{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}} << 0x13;
    QTest::newRow("metadata 16 timezones")
        << QList<Bytes>{{1, 0, 1, 0, 0, 16, 0, 0, 0, 4, 3, 0, 0, 0, 0, 0, 0, 0, 0}} << 0x11;
    QTest::newRow("metadata idd length 0")
        << QList<Bytes>{{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}} << 0x11;
    QTest::newRow("metadata format 4")
        << QList<Bytes>{{1, 0, 1, 0, 0, 0, 0, 0, 0, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0}} << 0x11;
    QTest::newRow("wrong record size")
        << QList<Bytes>{meta, noTz, noHol, {3, 0, 4, 0, 1, 8, 1, 2, 3, 4, 5, 0x80, 0, 0}} << 0x14;
    QTest::newRow("count beyond bytes") << QList<Bytes>{meta, {3, 0, 2, 0, 2, 11, 1}} << 0x14;
    QTest::newRow("frame after last") << QList<Bytes>{meta, noTz, noTz} << 0x13;
    QTest::newRow("finish before access closed")
        << QList<Bytes>{meta, noTz, noHol, {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}} << 0x13;
    QTest::newRow("counts differ from metadata")
        << QList<Bytes>{meta, noTz, noHol, {3, 0, 4, 0, 0, 7}, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}
        << 0x14;
    QTest::newRow("unknown mode") << QList<Bytes>{{9, 0, 0}} << 0x11;
    QTest::newRow("too short") << QList<Bytes>{{1, 0}} << 0x81;
}

void TestVirtualReader::transferOutOfOrder()
{
    QFETCH(QList<Bytes>, requests);
    QFETCH(int, status);
    VirtualReader r(setupOf(100));
    QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    const std::string before = r.dumpTables();
    int last = 0;
    for (const Bytes &req : requests)
        last = call(r, 0x1F, req);
    QCOMPARE(last, status);
    QCOMPARE(r.dumpTables(), before);
}

void TestVirtualReader::accessDecision_data()
{
    QTest::addColumn<Bytes>("identifier");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("error");
    const Bytes office{0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};
    // 2026-12-07 is a Monday, 2026-12-06 a Sunday, 2026-12-24 a holiday (Thursday).
    QTest::newRow("monday in window") << office << 2026 << 12 << 7 << 8 << 0 << 0;
    QTest::newRow("monday end excluded") << office << 2026 << 12 << 7 << 17 << 0 << 2;
    QTest::newRow("monday before") << office << 2026 << 12 << 7 << 7 << 59 << 2;
    QTest::newRow("sunday") << office << 2026 << 12 << 6 << 9 << 0 << 2;
    QTest::newRow("holiday morning") << office << 2026 << 12 << 24 << 9 << 0 << 2;
    QTest::newRow("holiday window") << office << 2026 << 12 << 24 << 11 << 0 << 0;
    QTest::newRow("holiday other year") << office << 2027 << 12 << 24 << 9 << 0 << 0;
    QTest::newRow("after validity") << office << 2100 << 1 << 4 << 9 << 0 << 2;
    QTest::newRow("longer identifier, first bytes count")
        << Bytes{0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x99} << 2026 << 12 << 7 << 9 << 0 << 0;
    // A short card is compared as its record holds it: zero bytes in front.
    QTest::newRow("always") << Bytes{0x04, 0x11, 0x22, 0x33} << 2026 << 12 << 6 << 3 << 0 << 0;
    QTest::newRow("short card in its extended form")
        << Bytes{0, 0, 0, 0x04, 0x11, 0x22, 0x33} << 2026 << 12 << 6 << 3 << 0 << 0;
    QTest::newRow("zeros behind are another identifier")
        << Bytes{0x04, 0x11, 0x22, 0x33, 0, 0, 0} << 2026 << 12 << 6 << 3 << 0 << 1;
    QTest::newRow("unknown") << Bytes{0x04, 0x11, 0x22} << 2026 << 12 << 7 << 9 << 0 << 1;
    QTest::newRow("empty") << Bytes{} << 2026 << 12 << 7 << 9 << 0 << 1;
}

void TestVirtualReader::accessDecision()
{
    QFETCH(Bytes, identifier);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, error);
    VirtualReader r(setupOf(100));
    QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    const SimEvent e = r.presentAt(identifier, at(year, month, day, hour, minute), 1);
    QCOMPARE(int(e.error), error);
    QCOMPARE(e.granted, error == 0);
    QCOMPARE(r.events().size(), size_t(1));
}

void TestVirtualReader::eventsReadInFrames()
{
    VirtualReaderSetup s = setupOf(101);
    s.maxFrameLength = 100;
    VirtualReader r(s);
    TableFrames::Tables t;
    t.iddLength = 12;
    t.access = {{Bytes(12, 0xE2), 0x8000}};
    QCOMPARE(TableFrames::write(t, exchangeOf(r)).rc, 0);
    r.setInputs(0x02);
    for (int i = 0; i < 10; ++i)
        r.presentAt(Bytes(12, uint8_t(i == 3 ? 0xE2 : i)), at(2026, 12, 7, 10, i), 1 + i % 2);

    Bytes a;
    QCOMPARE(call(r, 0x1F, {5, 0, 1, 0, 0}, a), 0); // a reading starts with the metadata
    int calls = 0, seen = 0;
    int rc;
    do {
        rc = call(r, 0x1F, {5, 0, 5, 0x00, 0xE6}, a);
        ++calls;
        QVERIFY(rc == 0 || rc == 147);
        const uint8_t flags = a[0];
        QCOMPARE(flags, uint8_t(0x1F));
        const int count = (a[1] << 8) | a[2];
        std::size_t p = 3;
        for (int k = 0; k < count; ++k, ++seen) {
            p += 3;
            const int len = a[p++];
            QCOMPARE(len, 12);
            const Bytes id(a.begin() + p, a.begin() + p + len);
            p += len;
            QCOMPARE(int(a[p + 4]), seen); // minute
            QCOMPARE(int(a[p + 2]), 26);
            p += 6;
            QCOMPARE(a[p] & 1, seen == 3 ? 1 : 0);
            QCOMPARE((a[p + 1] << 8) | a[p + 2], seen == 3 ? 0 : 1);
            p += 3;
            QCOMPARE(a[p++], uint8_t(0x02));
            QCOMPARE(int(a[p++]), 1 + seen % 2);
            QCOMPARE(id, Bytes(12, uint8_t(seen == 3 ? 0xE2 : seen)));
        }
        QCOMPARE(p, a.size());
    } while (rc == 147);
    QCOMPARE(seen, 10);
    QVERIFY(calls > 1);
    QCOMPARE(call(r, 0x1F, {5, 0, 5, 0x00, 0xE6}, a), 146);
    QCOMPARE(r.events().size(), size_t(10)); // reading does not delete
}

void TestVirtualReader::inventory_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("tags");
    QTest::addColumn<int>("tagType");
    QTest::addColumn<Bytes>("uid");
    QTest::addColumn<Bytes>("expected");
    const Bytes hf{0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};
    const Bytes vicinity{0xE0, 0x04, 1, 2, 3, 4, 5, 6};
    const Bytes epc{0x30, 0x00, 0xE2, 0x00, 0x11, 0x22};
    QTest::newRow("TZ60 none") << 100 << 0 << 4 << hf << Bytes{0};
    QTest::newRow("TZ60 one 14443")
        << 100 << 1 << 4 << hf << Bytes{1, 4, 0x20, 7, 0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};
    QTest::newRow("PQ10 one 15693")
        << 86 << 1 << 3 << vicinity << Bytes{1, 3, 0, 0xE0, 0x04, 1, 2, 3, 4, 5, 6};
    QTest::newRow("PQ20 two") << 82 << 2 << 4 << hf << Bytes{};
    QTest::newRow("TZU300 one epc")
        << 863 << 1 << 0x84 << epc << Bytes{1, 0x84, 1, 6, 0x30, 0x00, 0xE2, 0x00, 0x11, 0x22};
    QTest::newRow("LRX7 ignores HF tag") << 54 << 1 << 4 << hf << Bytes{0};
}

void TestVirtualReader::inventory()
{
    QFETCH(int, type);
    QFETCH(int, tags);
    QFETCH(int, tagType);
    QFETCH(Bytes, uid);
    QFETCH(Bytes, expected);
    VirtualReader r(setupOf(type));
    for (int i = 0; i < tags; ++i) {
        SimTag tag;
        tag.type = tagType;
        tag.uid = uid;
        tag.uid.back() = uint8_t(tag.uid.back() + i);
        r.placeTag(tag);
    }
    QCOMPARE(call(r, 0x6A, {0}), 0);
    QCOMPARE(call(r, 0x6A, {129}), 0);
    QCOMPARE(r.rfFlags(), uint8_t(129));
    Bytes a;
    QCOMPARE(call(r, 0xB0, {0x01, 0x00}, a), 0);
    if (expected.empty())
        QCOMPARE(int(a[0]), tags);
    else
        QCOMPARE(a, expected);
}

void TestVirtualReader::serialNumbers()
{
    VirtualReader r(setupOf(100));
    SimTag desfire;
    desfire.uid = {0x04, 1, 2, 3, 4, 5, 6};
    desfire.family = 1;
    desfire.applicationSerial = 0x0A0B0C;
    SimTag keyed;
    keyed.uid = {0x11, 0x22, 0x33, 0x44};
    keyed.family = 3;
    keyed.blockSerial = 0x0102030405ULL;
    keyed.key = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    r.placeTag(desfire);
    r.placeTag(keyed);

    Bytes a;
    QCOMPARE(call(r, 0xB0, {0x25, 0x21, 7, 0x04, 1, 2, 3, 4, 5, 6}, a), 0);
    QCOMPARE(a, Bytes{1});
    QCOMPARE(call(r, 0xC3, {90, 0, 0, 254, 0, 0}, a), 0);
    QCOMPARE(call(r, 0xC3, {189, 0, 1, 1, 0, 0, 0, 0, 3, 0, 0}, a), 0);
    QCOMPARE(a, Bytes({0x0A, 0x0B, 0x0C}));
    QCOMPARE(call(r, 0xC3, {90, 0, 0, 253, 0, 0}, a), 0x04);
    QCOMPARE(call(r, 0xC3, {189, 0, 1, 1, 0, 0, 0, 0, 3, 0, 0}, a), 0x04);

    QCOMPARE(call(r, 0xB0, {0x25, 0x21, 4, 0x11, 0x22, 0x33, 0x44}, a), 0);
    QCOMPARE(a, Bytes{3});
    QCOMPARE(call(r, 0xB0, {0x23, 0x02, 62, 1}, a), 0x03); // not authenticated
    QCOMPARE(call(r, 0xB2, {0xB0, 0x0A, 62, 0, 1, 2, 3, 4, 5, 6}), 0x03);
    QCOMPARE(call(r, 0xB2, {0xB0, 0x0A, 62, 0, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}), 0);
    QCOMPARE(call(r, 0xB0, {0x23, 0x02, 62, 1}, a), 0);
    QCOMPARE(a.size(), size_t(16));
    QCOMPARE(Bytes(a.end() - 5, a.end()), Bytes({0x05, 0x04, 0x03, 0x02, 0x01}));

    QCOMPARE(call(r, 0xB0, {0x25, 0x21, 2, 0x99, 0x98}, a), 0x01);
    QCOMPARE(call(r, 0xB0, {0x25, 0x21, 9, 0x99}, a), 0x81);
}

void TestVirtualReader::pairing()
{
    VirtualReaderSetup s = setupOf(100);
    s.extIoSerial = 0x00A1B2C3;
    VirtualReader r(s);
    Bytes a;
    QCOMPARE(call(r, 0x66, {0x07}, a), 0);
    QCOMPARE(a[1], uint8_t(0));
    QCOMPARE(call(r, 0x9F, {0, 0, 0, 0x00, 0xA1, 0xB2, 0xC4}), 0x83); // no such board
    QVERIFY(!r.extIoPaired());
    QCOMPARE(call(r, 0x9F, {0, 0, 0, 0x00, 0xA1, 0xB2, 0xC3}), 0);
    QVERIFY(r.extIoPaired());
    QCOMPARE(call(r, 0x66, {0x07}, a), 0);
    QCOMPARE(a[0], uint8_t(0));
    QCOMPARE(a[1], uint8_t(3));

    VirtualReaderSetup relay = s;
    relay.hardware = 3; // internal relay: no board
    VirtualReader internal(relay);
    QCOMPARE(call(internal, 0x9F, {0, 0, 0, 0x00, 0xA1, 0xB2, 0xC3}), 0x82);
}

void TestVirtualReader::antiPassback()
{
    VirtualReader r(setupOf(863));
    TableFrames::Tables t;
    t.iddLength = 4;
    t.access = {{{9, 9, 9, 9}, 0x8000}};
    QCOMPARE(TableFrames::write(t, exchangeOf(r)).rc, 0);
    const Bytes id{9, 9, 9, 9};
    QVERIFY(r.present(id, 1).granted);
    QVERIFY(r.present(id, 1).granted); // anti-passback off by factory default

    Bytes block8{0x88};
    block8.resize(17, 0);
    block8[1 + 11] = 1;
    QCOMPARE(call(r, 0x81, block8), 0);
    QCOMPARE(call(r, 0x63, {}), 0);
    QVERIFY(r.present(id, 1).granted);
    const SimEvent second = r.present(id, 1);
    QVERIFY(!second.granted);
    QCOMPARE(int(second.error), 3);
    QVERIFY(r.present(id, 2).granted); // leaving clears it
    QVERIFY(r.present(id, 1).granted);
    QCOMPARE(call(r, 0x33, {}), 0);
    QCOMPARE(call(r, 0x64, {32}), 0);
    QVERIFY(!r.insideAntiPassback(id));
    QVERIFY(r.present(id, 1).granted);
    QCOMPARE(r.systemResets(), 0); // mode 32 is no restart
}

void TestVirtualReader::networkAppliedOnSystemReset()
{
    VirtualReader r(setupOf(101));
    int notified = 0;
    r.onNetworkChanged = [&] {
        ++notified;
        QCOMPARE(r.networkConfig().port, uint16_t(10555)); // callable from the callback
    };
    Bytes a;
    QCOMPARE(call(r, 0x80, {0x80 | 40}, a), 0);
    Bytes write{0x80 | 40};
    write.insert(write.end(), a.begin(), a.end());
    write[1 + 3] = 7;
    write[1 + 8] = 10555 >> 8;
    write[1 + 9] = 10555 & 0xFF;
    QCOMPARE(call(r, 0x81, write), 0);
    QCOMPARE(call(r, 0x63, {}), 0);
    QCOMPARE(r.networkConfig().port, uint16_t(10001)); // a CPU reset is not enough
    QCOMPARE(notified, 0);
    QCOMPARE(call(r, 0x64, {0}), 0);
    QCOMPARE(notified, 1);
    QCOMPARE(r.networkConfig().ip, std::string("127.0.0.7"));
    QCOMPARE(call(r, 0x64, {0}), 0);
    QCOMPARE(notified, 1); // nothing changed

    SimNetworkSetup setup;
    setup.gateway = "127.0.0.254";
    r.applyNetworkSetup(setup);
    QCOMPARE(notified, 2);
    QCOMPARE(r.networkConfig().gateway, std::string("127.0.0.254"));
    QCOMPARE(r.networkConfig().ip, std::string("127.0.0.7"));
    QCOMPARE(r.block(41)[9], uint8_t(254));
}

void TestVirtualReader::injectedStatus()
{
    VirtualReader r(setupOf(100));
    r.injectStatus(0x66, 0x83, 2);
    QCOMPARE(call(r, 0x66, {0}), 0x83);
    QCOMPARE(call(r, 0x63, {}), 0);
    QCOMPARE(call(r, 0x66, {0}), 0x83);
    QCOMPARE(call(r, 0x66, {0}), 0);
    r.injectStatus(0x81, 0x10, -1);
    Bytes write{0x81};
    write.resize(17, 0x55);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(call(r, 0x81, write), 0x10);
    QVERIFY(r.block(1)[0] != 0x55); // a faulted command does not act
    r.clearInjectedStatus();
    QCOMPARE(call(r, 0x81, write), 0);
}

void TestVirtualReader::persistence()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    VirtualReaderSetup s = setupOf(100);
    s.stateDir = dir.path().toStdString() + "/reader";
    s.extIoSerial = 0x42;
    std::string tables;
    {
        VirtualReader r(s);
        QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
        r.presentAt({0x04, 0x11, 0x22, 0x33}, at(2026, 12, 7, 9, 5), 1);
        Bytes write{0x8E};
        write.resize(17, 0x3C);
        QCOMPARE(call(r, 0x81, write), 0);
        QCOMPARE(call(r, 0x9F, {0, 0, 0, 0, 0, 0, 0x42}), 0);
        r.setClock(at(2031, 3, 4, 5, 6));
        Bytes net{0x80 | 40, 127, 0, 0, 5, 0, 0, 0, 0, 0x30, 0x39};
        net.resize(17, 0);
        QCOMPARE(call(r, 0x81, net), 0);
        tables = r.dumpTables();
    }
    VirtualReader again(s);
    QCOMPARE(again.dumpTables(), tables);
    QCOMPARE(again.events().size(), size_t(1));
    QCOMPARE(again.events()[0].time.minute, 5);
    QCOMPARE(again.block(14)[0], uint8_t(0x3C));
    QCOMPARE(again.block(14, false)[0], uint8_t(0x3C)); // in force after the restart
    QVERIFY(again.extIoPaired());
    QCOMPARE(again.clock().year, 2031);
    // Written before the restart, so the network configuration is in force now.
    QCOMPARE(again.networkConfig().ip, std::string("127.0.0.5"));
    QCOMPARE(again.networkConfig().port, uint16_t(12345));

    VirtualReaderSetup memory = setupOf(100);
    VirtualReader fresh(memory);
    QCOMPARE(fresh.tables().recordCount(4), 0);
}

void TestVirtualReader::survivesGarbage()
{
    // Random and mutated requests: every one gets an answer, none breaks the reader.
    auto *rng = QRandomGenerator::global();
    for (int type : VirtualReader::readerTypes()) {
        VirtualReader r(setupOf(type));
        SimTag tag;
        tag.type = type == 101 || type == 863 || type == 54 ? 0x84 : 4;
        tag.uid = {1, 2, 3, 4};
        tag.family = 1;
        r.placeTag(tag);
        const uint8_t commands[] = {0x1F, 0x33, 0x63, 0x64, 0x66, 0x6A, 0x6E, 0x80, 0x81,
                                    0x83, 0x87, 0x8A, 0x9F, 0xB0, 0xB2, 0xC3, 0x00, 0xFF};
        for (int i = 0; i < 3000; ++i) {
            Bytes req(rng->bounded(40));
            for (auto &b : req)
                b = uint8_t(rng->bounded(256));
            if (!req.empty() && rng->bounded(2))
                req[0] = uint8_t(rng->bounded(6)); // likely modes and sub-commands
            const uint8_t cmd = commands[rng->bounded(int(sizeof commands))];
            if (cmd == 0x64 && !req.empty() && req.size() == 1)
                continue; // restarts are fine but slow nothing; keep the run short
            Bytes a;
            uint8_t status = 0xEE;
            r.handleFrame(255, cmd, req, status, a);
            QVERIFY(status != 0xEE);
            QVERIFY(a.size() <= 32768);
        }
        Bytes a;
        QCOMPARE(call(r, 0x66, {0}, a), 0); // still answering
        QCOMPARE(a[4] + 256 * a[14], type);
    }
}

void TestVirtualReader::mutatedTransfersStayConsistent()
{
    // Record a good transfer, then replay it with one byte changed at a time:
    // the reader either refuses and keeps the old tables or takes a set whose
    // counts agree with its metadata; never a mix.
    VirtualReader recorder(setupOf(100));
    QList<Bytes> requests;
    auto recording = [&](uint8_t mode, uint8_t flags, uint8_t table, const Bytes &req, Bytes &a) {
        Bytes payload{mode, flags, table};
        payload.insert(payload.end(), req.begin(), req.end());
        requests << payload;
        return call(recorder, 0x1F, payload, a);
    };
    TableFrames::Tables t = officeTables();
    for (int i = 0; i < 30; ++i)
        t.access.push_back({{0x20, uint8_t(i), 1, 2, 3, 4, 5}, 0x0001});
    QCOMPARE(TableFrames::write(t, recording).rc, 0);

    auto *rng = QRandomGenerator::global();
    VirtualReader r(setupOf(100));
    QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    const std::string original = r.dumpTables();
    const std::string complete = recorder.dumpTables();
    for (int round = 0; round < 300; ++round) {
        QList<Bytes> mutated = requests;
        Bytes &victim = mutated[rng->bounded(mutated.size())];
        victim[rng->bounded(int(victim.size()))] ^= uint8_t(1 + rng->bounded(255));
        int last = 0;
        for (const Bytes &req : mutated)
            last = call(r, 0x1F, req);
        const ReaderTables now = r.tables();
        QCOMPARE(now.recordCount(2), now.declaredTimezones());
        QCOMPARE(now.recordCount(4), now.declaredAccess());
        const std::string dump = r.dumpTables();
        if (last != 0)
            QVERIFY(dump == original || dump == complete);
        // Back to the known state for the next round.
        QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    }
}

void TestVirtualReader::control_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QString>("reply");
    QTest::newRow("place and list")
        << QByteArrayList{"tag place 4 04A1B2C3 family 1 serial 0BEEF", "tag list"}
        << "OK\n4 04A1B2C3 family 1";
    QTest::newRow("bad tag type") << QByteArrayList{"tag place 7 0011"}
                                  << "ERROR tag type must be 3, 4 or 132";
    QTest::newRow("odd hex") << QByteArrayList{"tag place 4 123"} << "ERROR usage: tag place";
    QTest::newRow("remove") << QByteArrayList{"tag place 4 0102", "tag remove 0102", "tag list"}
                            << "OK";
    QTest::newRow("present always") << QByteArrayList{"present 04112233 at 2026-12-06T03:00"}
                                    << "OK permitted error 0 at 2026-12-06T03:00:00";
    QTest::newRow("present outside")
        << QByteArrayList{"present 04A1B2C3D4E5F6 antenna 2 at 2026-12-06T09:00:30"}
        << "OK denied error 2 at 2026-12-06T09:00:30";
    QTest::newRow("present bad date")
        << QByteArrayList{"present 0411 at 2026-02-30T10:00"} << "ERROR bad option at";
    QTest::newRow("clock") << QByteArrayList{"clock set 2029-07-01T08:15"} << "OK 2029-07-01T08:1";
    QTest::newRow("status") << QByteArrayList{"status 0x66 0x83 2"} << "OK";
    QTest::newRow("status range") << QByteArrayList{"status 0x66 300"} << "ERROR usage: status";
    QTest::newRow("info") << QByteArrayList{"info"}
                          << "OK type 100 \"ID TZ60\" device 12345678 mac 02-4B-58-00-00-01 ip "
                             "127.0.0.1 port 10001";
    QTest::newRow("dump events")
        << QByteArrayList{"present 0411 at 2026-12-07T10:00", "dump events"}
        << "OK\nEvent 0: 0411 2026-12-07T10:00:00 antenna=1 denied error=1";
    QTest::newRow("unknown") << QByteArrayList{"open sesame"} << "ERROR unknown command open";
    QTest::newRow("empty") << QByteArrayList{"   "} << "ERROR empty command";
}

void TestVirtualReader::control()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QString, reply);
    VirtualReader r(setupOf(100));
    QCOMPARE(TableFrames::write(officeTables(), exchangeOf(r)).rc, 0);
    std::string last;
    for (const QByteArray &line : lines)
        last = VirtualReaderControl::run(r, line.toStdString());
    QVERIFY2(QString::fromStdString(last).startsWith(reply), last.c_str());
    if (lines.first().startsWith("status 0x66 0x83")) {
        QCOMPARE(call(r, 0x66, {0}), 0x83);
        QCOMPARE(call(r, 0x66, {0}), 0x83);
        QCOMPARE(call(r, 0x66, {0}), 0);
    }
    if (lines.first().contains("serial 0BEEF")) {
        QCOMPARE(r.tags().size(), size_t(1));
        QCOMPARE(r.tags()[0].applicationSerial, 0x0BEEFu);
    }
}

KX_TEST_MAIN(TestVirtualReader)
#include "tst_virtualreader.moc"

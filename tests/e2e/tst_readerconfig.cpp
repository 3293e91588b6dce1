// Reader configuration, tag reading, pairing and the anti-passback reset end
// to end: the blocks a virtual reader holds afterwards are compared with its
// factory blocks plus exactly the bytes each configuration must change.
#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "reader/myrdrkelvara.h"
#include "reader/myrdrprogrammer.h"
#include "reader/myrdrtz60.h"
#include "reader/myrdrtzu300.h"
#include "reader/myrdrtzu700.h"
#include "reader/readerfactory.h"
#include "simfixture.h"
#include "support/testsupport.h"

#include <QFile>

using namespace kxsim;

// One expected change: block, byte, value, and the bits it covers.
struct Change
{
    int block;
    int byte;
    int value;
    int mask = 0xFF;
};
using Changes = QList<Change>;
using Tags = QList<SimTag>;
Q_DECLARE_METATYPE(Changes)
Q_DECLARE_METATYPE(Tags)

namespace {

const char kSettings[] = "ValidTime = 2.5; AntiPassBack=7; AntennaCount = 1; "
                         "Antenna1.RfPower=0.5; Antenna2.RfPower=1.2; Out1.HoldTime=1.5; "
                         "Out2.HoldTime=abc; Trigger.Enable=0; Trigger.Edge=1; "
                         "Trigger.HoldTime=0.3; Trigger.InputToAntenna=3; Led.Idle.Color=2; "
                         "AntennaSignal=3; validtime=9; Bogus=1; Out1.HoldTime";

SelectionMask maskOf(const char *hex)
{
    return SelectionMask::fromStored(QString::fromLatin1(hex));
}

const char kMask3[] = "0102030405060708090a0b0c0d0e0f101112131415161718";

Changes maskChanges()
{
    Changes c;
    const QByteArray m1 = QByteArray::fromHex("2d1505d8500003");
    const QByteArray m3 = QByteArray::fromHex(kMask3);
    const struct
    {
        int block, bits;
        QByteArray bytes;
    } masks[] = {{22, 56, m1}, {24, 0, QByteArray()}, {26, 192, m3}};
    for (const auto &m : masks) {
        const QByteArray bytes = m.bytes + QByteArray(24 - m.bytes.size(), '\0');
        c << Change{m.block, 0, m.bits} << Change{m.block, 1, 1} << Change{m.block, 2, 0}
          << Change{m.block, 3, 0x20};
        for (int i = 0; i < 10; ++i)
            c << Change{m.block, 4 + i, quint8(bytes.at(i))};
        for (int i = 0; i < 14; ++i)
            c << Change{m.block + 1, i, quint8(bytes.at(10 + i))};
    }
    return c;
}

Changes longRangeSettingChanges(bool tzu300)
{
    Changes c{{1, 12, tzu300 ? 0x80 : 0x95},
              {1, 13, 0xA0},
              {10, 0, 0x21},
              {10, 1, 5},
              {10, 2, 0},
              {10, 3, 3},
              {10, 4, 0},
              {10, 5, 3},
              {16, 2, 0},
              {16, 3, 0x28},
              {16, 4, 0},
              {16, 5, 0x28},
              {12, 0, 0},
              {12, 1, 0x19},
              {8, 11, 7},
              {15, 0, 0},
              {15, 1, 8},
              {3, 2, 0x14},
              {20, 10, 27},
              {14, 10, 15},
              {14, 13, 1, 0x01}};
    if (tzu300)
        c << Change{8, 0, 2, 0x03} << Change{8, 3, 3, 0x03};
    else
        c << Change{3, 0, 0} << Change{3, 1, 0x10};
    return c + maskChanges();
}

// The factory blocks of a reader like the one under test, with the changes applied.
std::array<std::array<uint8_t, 16>, 64> expectedBlocks(const VirtualReaderSetup &setup,
                                                       const Changes &changes)
{
    VirtualReader fresh(setup);
    std::array<std::array<uint8_t, 16>, 64> blocks;
    for (int b = 0; b < 64; ++b)
        blocks[b] = fresh.block(b);
    for (const Change &c : changes) {
        uint8_t &v = blocks[c.block][c.byte];
        v = uint8_t((v & ~c.mask) | (c.value & c.mask));
    }
    return blocks;
}

QString blockText(const std::array<uint8_t, 16> &b)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(b.data()), 16).toHex(' '));
}

SimTag tag(int type, const char *uidHex, int family = 0)
{
    SimTag t;
    t.type = type;
    const QByteArray uid = QByteArray::fromHex(uidHex);
    t.uid.assign(uid.begin(), uid.end());
    t.family = family;
    return t;
}

} // namespace

class TestReaderConfig : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_env.reset(); }

    void accessConfiguration_data();
    void accessConfiguration();
    void skippedSettingsLogged_data();
    void skippedSettingsLogged();
    void configurationFile_data();
    void configurationFile();
    void configurationFileFailure();
    void writeAccessConfigurationRoutes_data();
    void writeAccessConfigurationRoutes();
    void tagReaderConfiguration_data();
    void tagReaderConfiguration();
    void failedResetSendsNoCpuReset();
    void readTagPerClass_data();
    void readTagPerClass();
    void readTagWithProgrammerReader_data();
    void readTagWithProgrammerReader();
    void pairing_data();
    void pairing();
    void antiPassbackReset();

private:
    std::unique_ptr<ReaderTestEnvironment> m_env;
};

void TestReaderConfig::init()
{
    m_env.reset(new ReaderTestEnvironment);
    ProjectParameters &p = m_env->settings.project;
    p.uhfSelectionMask1 = maskOf("2d1505d8500003");
    p.uhfSelectionMask3 = maskOf(kMask3);
}

void TestReaderConfig::accessConfiguration_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("iso15693");
    QTest::addColumn<int>("region");
    QTest::addColumn<int>("region0");
    QTest::addColumn<int>("region1");
    QTest::addColumn<Changes>("changes");

    const Changes tz60{{1, 12, 0x80}, {1, 13, 0x20}, {2, 8, 4},
                       {2, 13, 0x82}, {3, 0, 0},     {3, 1, 0x10}};
    QTest::newRow("tz60") << 100 << "ValidTime = 2.5; Out1.HoldTime=0.35;Bogus=1;ValidTime" << false
                          << 6 << 6 << 0
                          << (tz60 + Changes{{12, 0, 0}, {12, 1, 0x19}, {14, 10, 4}});
    QTest::newRow("tz60 iso15693, no known key")
        << 100 << "Unknown=1;;=" << true << 6 << 6 << 0 << (tz60 + Changes{{3, 1, 0x18}});
    QTest::newRow("tzu700 region applies") << 101 << kSettings << false << 6 << 6 << 0
                                           << (longRangeSettingChanges(false) + Changes{{3, 3, 6}});
    QTest::newRow("tzu300 region by its low bits")
        << 863 << kSettings << false << 22 << 6 << 0
        << (longRangeSettingChanges(true) + Changes{{3, 3, 22}});
    QTest::newRow("tzu700 other region group")
        << 101 << kSettings << false << 6 << 4 << 0 << longRangeSettingChanges(false);
    QTest::newRow("tzu300 manual region")
        << 863 << kSettings << false << 22 << 6 << 1 << longRangeSettingChanges(true);
    QTest::newRow("tzu700 only fixed values and masks") << 101 << "" << false << 4 << 0 << 1
                                                        << (Changes{{1, 12, 0x95},
                                                                    {1, 13, 0xA0},
                                                                    {3, 0, 0},
                                                                    {3, 1, 0x10},
                                                                    {10, 0, 1},
                                                                    {16, 2, 0},
                                                                    {16, 3, 0x28},
                                                                    {16, 4, 0},
                                                                    {16, 5, 0x28}} +
                                                            maskChanges());
}

void TestReaderConfig::accessConfiguration()
{
    QFETCH(int, type);
    QFETCH(QString, settings);
    QFETCH(bool, iso15693);
    QFETCH(int, region);
    QFETCH(int, region0);
    QFETCH(int, region1);
    QFETCH(Changes, changes);
    m_env->settings.project.supportIso15693 = iso15693;
    m_env->settings.uhfRegion = region;
    VirtualReaderSetup setup = SimFixture::setupOf(type);
    setup.region[0] = uint8_t(region0);
    setup.region[1] = uint8_t(region1);
    SimFixture reader(setup);
    // Left over from earlier work; the reset must clear it.
    reader.dirtyBlock(12, 0xEE);
    reader.dirtyBlock(3, 0x77);
    bool connectFailed = true;
    const ErrorInfo result = ReaderFactory::writeAccessConfiguration(
        m_env->settings, type, reader.tcp(), settings, &connectFailed);
    QVERIFY2(result.ok(), qPrintable(result.detail));
    QVERIFY(!connectFailed);
    QCOMPARE(reader.device->cpuResets(), 1);
    const auto expected = expectedBlocks(setup, changes);
    for (int b = 0; b < 64; ++b) {
        QCOMPARE(blockText(reader.device->block(b)), blockText(expected[b]));
        QCOMPARE(blockText(reader.device->block(b, false)), blockText(expected[b]));
    }
    QVERIFY(m_env->readLog(QStringLiteral("Door"))
                .contains(QStringLiteral("*** Write Access Reader Configuration ***")));
}

void TestReaderConfig::skippedSettingsLogged_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("toFile");
    QTest::newRow("tz60 reader") << 100 << false;
    QTest::newRow("tzu700 reader") << 101 << false;
    QTest::newRow("tzu300 file") << 863 << true;
}

void TestReaderConfig::skippedSettingsLogged()
{
    QFETCH(int, type);
    QFETCH(bool, toFile);
    const QString settings = QStringLiteral("ValidTime=9999.9;Out1.HoldTime=1,5;Bogus=x");
    if (toFile) {
        MyRdrTZU300 rdr(m_env->settings);
        QVERIFY(rdr.saveConfigurationFile(m_env->project.filePath(QStringLiteral("CONFIG.INI")),
                                          QStringLiteral("Door"), settings));
    } else {
        SimFixture reader(SimFixture::setupOf(type));
        bool connectFailed = true;
        const ErrorInfo result = ReaderFactory::writeAccessConfiguration(
            m_env->settings, type, reader.tcp(), settings, &connectFailed);
        QVERIFY2(result.ok(), qPrintable(result.detail));
    }
    const QString log = m_env->readLog(QStringLiteral("Door"));
    for (const char *entry : {"ValidTime=9999.9", "Out1.HoldTime=1,5"}) {
        QVERIFY2(log.contains(QStringLiteral("Setting skipped, value not readable or out of "
                                             "range: %1")
                                  .arg(QLatin1String(entry))),
                 qPrintable(log));
    }
    QVERIFY(!log.contains(QLatin1String("Bogus")));
}

void TestReaderConfig::configurationFile_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");
    const QString masks = QStringLiteral("cfg(P22B00S14)=380100202d1505d8500003000000\n"
                                         "cfg(P23B00S14)=0000000000000000000000000000\n"
                                         "cfg(P24B00S14)=0001002000000000000000000000\n"
                                         "cfg(P25B00S14)=0000000000000000000000000000\n"
                                         "cfg(P26B00S14)=c00100200102030405060708090a\n"
                                         "cfg(P27B00S14)=0b0c0d0e0f101112131415161718\n");
    const QString settings = QStringLiteral("cfg(P12B00S02)=0019\n"
                                            "cfg(P08B11S01)=07\n"
                                            "cfg(P15B00S01)=00\n"
                                            "cfg(P15B01S01)=08\n"
                                            "cfg(P03B02S01)=14\n"
                                            "cfg(P20B10S01)=1b\n"
                                            "cfg(P14B10S01)=0f\n"
                                            "cfg(P10B00b7s1)=0\n"
                                            "cfg(P10B01S01)=05\n"
                                            "cfg(P10B00b5s1)=1\n"
                                            "cfg(P10B02S02)=0003\n"
                                            "cfg(P10B04S02)=0003\n"
                                            "cfg(P14B13b0s1)=1\n");
    QTest::newRow("tzu700") << 101
                            << QStringLiteral("cfg(P01B12S01)=95\n"
                                              "cfg(P01B13S01)=a0\n"
                                              "cfg(P03B00S02)=0010\n"
                                              "cfg(P10B00S01)=01\n"
                                              "cfg(P16B02S02)=0028\n"
                                              "cfg(P16B04S02)=0028\n") +
                                   masks + settings;
    QTest::newRow("tzu300") << 863
                            << QStringLiteral("cfg(P01B12S01)=80\n"
                                              "cfg(P01B13S01)=a0\n"
                                              "cfg(P10B00S01)=01\n") +
                                   masks + settings +
                                   QStringLiteral("cfg(P08B00b0s2)=2\n"
                                                  "cfg(P08B03b0s2)=3\n");
}

void TestReaderConfig::configurationFile()
{
    QFETCH(int, type);
    QFETCH(QString, expected);
    // The TZU300 keys come in text order: the LED colour before the antenna signal.
    const QString path = m_env->project.filePath(QStringLiteral("CONFIG.INI"));
    std::unique_ptr<MyRdrTZU700> rdr(type == 863 ? new MyRdrTZU300(m_env->settings)
                                                 : new MyRdrTZU700(m_env->settings));
    QVERIFY(
        rdr->saveConfigurationFile(path, QStringLiteral("Gate"), QString::fromLatin1(kSettings)));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString written = QString::fromLatin1(f.readAll());
    QCOMPARE(written.split(QLatin1Char('\n')), expected.split(QLatin1Char('\n')));
}

void TestReaderConfig::configurationFileFailure()
{
    const QString path = m_env->project.filePath(QStringLiteral("CONFIG.INI"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("cfg(P12B00S02)=0001\n");
    old.close();
    MyRdrTZU700 rdr(m_env->settings);
    QVERIFY(!rdr.saveConfigurationFile(m_env->project.filePath(QStringLiteral("no/CONFIG.INI")),
                                       QStringLiteral("Gate"), QStringLiteral("ValidTime=1")));
    QCOMPARE(rdr.result().code, 1001);
    QCOMPARE(rdr.result().detail, QStringLiteral("Save configuration file error"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("cfg(P12B00S02)=0001\n"));
}

void TestReaderConfig::writeAccessConfigurationRoutes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("drive");
    QTest::addColumn<bool>("jobWritten");
    QTest::addColumn<QString>("detail");
    QTest::newRow("tz60 cannot use the drive") << 100 << true << true << "Unsupported function";
    QTest::newRow("no drive set") << 101 << false << true << "USB-stick access error";
    QTest::newRow("job not written") << 863 << true << false << "USB-stick access error";
    QTest::newRow("written to the drive") << 101 << true << true << "";
    QTest::newRow("desk reader") << 54 << true << true << "Unsupported function";
}

void TestReaderConfig::writeAccessConfigurationRoutes()
{
    QFETCH(int, type);
    QFETCH(bool, drive);
    QFETCH(bool, jobWritten);
    QFETCH(QString, detail);
    ReaderConnection c;
    c.logKey = QStringLiteral("Barrier");
    c.deviceId = 0xABCD;
    c.portValue = ReaderConnection::FlashDriveBit;
    QTemporaryDir stick;
    ReaderFactory::FlashDrive fd;
    quint32 askedFor = 0;
    int jobs = 0;
    if (drive) {
        fd.configFilePath = [&](quint32 id) {
            askedFor = id;
            return stick.filePath(QStringLiteral("CONFIG.INI"));
        };
        fd.setWriteConfigJob = [&]() {
            ++jobs;
            return jobWritten;
        };
    }
    bool connectFailed = true;
    const ErrorInfo result = ReaderFactory::writeAccessConfiguration(
        m_env->settings, type, c, QStringLiteral("ValidTime=2.5"), &connectFailed, fd);
    QCOMPARE(result.detail, detail);
    QCOMPARE(result.code, detail.isEmpty() ? 0 : 2000);
    QVERIFY(!connectFailed);
    if (detail.isEmpty()) {
        QCOMPARE(askedFor, quint32(0xABCD));
        QCOMPARE(jobs, 1);
        QFile f(stick.filePath(QStringLiteral("CONFIG.INI")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().endsWith("cfg(P12B00S02)=0019\n"));
    }
}

void TestReaderConfig::tagReaderConfiguration_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("iso15693");
    QTest::addColumn<int>("region");
    QTest::addColumn<Changes>("changes");
    QTest::newRow("pq10") << 86 << false << 6 << Changes{{1, 13, 0}, {3, 0, 0}, {3, 1, 0x10}};
    QTest::newRow("pq10 iso15693")
        << 86 << true << 6 << Changes{{1, 13, 0}, {3, 0, 0}, {3, 1, 0x18}};
    QTest::newRow("pq20 ignores iso15693")
        << 82 << true << 6 << Changes{{1, 13, 0}, {3, 0, 0}, {3, 1, 0x10}};
    QTest::newRow("tz60") << 100 << true << 6
                          << Changes{{1, 12, 0x80}, {1, 13, 0x20}, {3, 0, 0}, {3, 1, 0x18}};
    const Changes block16{{16, 2, 0}, {16, 3, 0x28}, {16, 4, 0}, {16, 5, 0x28}};
    QTest::newRow("tzu700")
        << 101 << false << 6
        << (Changes{{1, 12, 0x95}, {1, 13, 0xA0}, {3, 0, 0}, {3, 1, 0x10}, {3, 3, 6}} + block16);
    QTest::newRow("tzu300 region of another group")
        << 863 << false << 4 << (Changes{{1, 12, 0x80}, {1, 13, 0xA0}} + block16);
    const Changes lrx7{{1, 12, 0x95}, {1, 13, 0}, {16, 2, 0},    {16, 3, 0x28},
                       {20, 9, 1},    {36, 0, 0}, {36, 1, 0x10}, {36, 2, 0x14}};
    QTest::newRow("lrx7 listed region") << 54 << false << 22 << (lrx7 + Changes{{36, 3, 22}});
    QTest::newRow("lrx7 region not listed") << 54 << false << 20 << lrx7;
}

void TestReaderConfig::tagReaderConfiguration()
{
    QFETCH(int, type);
    QFETCH(bool, iso15693);
    QFETCH(int, region);
    QFETCH(Changes, changes);
    m_env->settings.project.supportIso15693 = iso15693;
    m_env->settings.uhfRegion = region;
    const VirtualReaderSetup setup = SimFixture::setupOf(type);
    SimFixture reader(setup);
    reader.dirtyBlock(1, 0x55);
    std::unique_ptr<MyRdr> rdr(ReaderFactory::createReader(type, m_env->settings));
    rdr->run(ReaderFactory::tagReaderConfigurationCommand(type), reader.tcp());
    QVERIFY2(rdr->result().ok(), qPrintable(rdr->result().detail));
    QCOMPARE(reader.device->cpuResets(), 1);
    const auto expected = expectedBlocks(setup, changes);
    for (int b = 0; b < 64; ++b)
        QCOMPARE(blockText(reader.device->block(b)), blockText(expected[b]));
    QCOMPARE(rdr->readerHandle(), -1);
}

void TestReaderConfig::failedResetSendsNoCpuReset()
{
    SimFixture reader(SimFixture::setupOf(100));
    reader.device->injectStatus(0x83, 0x10, 3);
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runWriteAccessConfiguration(reader.tcp(), QStringLiteral("ValidTime=1"));
    QCOMPARE(rdr.result().code, 0x10);
    QCOMPARE(reader.device->cpuResets(), 0);
    QCOMPARE(rdr.readerHandle(), -1);
}

void TestReaderConfig::readTagPerClass_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Tags>("tags");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("idd");
    QTest::addColumn<int>("iddType");
    QTest::addColumn<qulonglong>("serial");

    SimTag desfire = tag(4, "04112233445566", 1);
    desfire.applicationSerial = 0x123456;
    SimTag noApp = desfire;
    noApp.hasApplication = false;
    SimTag keyed = tag(4, "04aabbccdd1122", 3);
    keyed.blockSerial = 0x0102030405ull;
    SimTag wrongKey = keyed;
    wrongKey.key = {1, 2, 3, 4, 5, 6};
    const SimTag vicinity = tag(3, "e004010012345678");
    const SimTag epc = tag(0x84, "3000e2003412b802011a2b3c4d5e");
    const SimTag epc2 = tag(0x84, "3000e2003412b802011a2b3c4d5f");

    QTest::newRow("pq10 none") << 86 << Tags{} << "No tag error"
                               << "" << 0 << 0ull;
    QTest::newRow("pq10 iso15693") << 86 << Tags{vicinity} << ""
                                   << "e004010012345678" << 3 << 0ull;
    QTest::newRow("pq10 two") << 86 << Tags{vicinity, desfire} << "Mulitple tags error"
                              << "" << 0 << 0ull;
    QTest::newRow("pq20 refuses iso15693") << 82 << Tags{vicinity} << "Unsupported tag error"
                                           << "" << 0 << 0ull;
    QTest::newRow("pq20 desfire") << 82 << Tags{desfire} << ""
                                  << "04112233445566" << 4 << qulonglong(0x123456);
    QTest::newRow("pq20 desfire without application") << 82 << Tags{noApp} << ""
                                                      << "04112233445566" << 4 << 0ull;
    QTest::newRow("tz60 keyed card") << 100 << Tags{keyed} << ""
                                     << "04aabbccdd1122" << 4 << qulonglong(0x0102030405ull);
    QTest::newRow("tz60 keyed card, other key") << 100 << Tags{wrongKey} << ""
                                                << "04aabbccdd1122" << 4 << 0ull;
    QTest::newRow("tz60 plain 14443") << 100 << Tags{tag(4, "0411223344")} << ""
                                      << "0411223344" << 4 << 0ull;
    QTest::newRow("tz60 none") << 100 << Tags{} << "No tag error"
                               << "" << 0 << 0ull;
    QTest::newRow("tzu700 epc") << 101 << Tags{epc} << ""
                                << "3000e2003412b802011a2b3c4d5e" << 132 << 0ull;
    QTest::newRow("tzu300 two") << 863 << Tags{epc, epc2} << "Mulitple tags error"
                                << "" << 0 << 0ull;
    QTest::newRow("lrx7 epc") << 54 << Tags{epc2} << ""
                              << "3000e2003412b802011a2b3c4d5f" << 132 << 0ull;
    QTest::newRow("lrx7 short-range tag unseen") << 54 << Tags{desfire} << "No tag error"
                                                 << "" << 0 << 0ull;
}

void TestReaderConfig::readTagPerClass()
{
    QFETCH(int, type);
    QFETCH(Tags, tags);
    QFETCH(QString, error);
    QFETCH(QString, idd);
    QFETCH(int, iddType);
    QFETCH(qulonglong, serial);
    SimFixture reader(SimFixture::setupOf(type), true);
    for (const SimTag &t : tags)
        reader.device->placeTag(t);
    std::unique_ptr<MyRdr> rdr(ReaderFactory::createReader(type, m_env->settings));
    rdr->run(ReaderFactory::readTagCommand(type), reader.usb());
    QCOMPARE(rdr->result().detail, error);
    QCOMPARE(rdr->result().code, error.isEmpty() ? 0 : 2000);
    QCOMPARE(QString::fromLatin1(rdr->transponder().bytes().toHex()), idd);
    QCOMPARE(int(rdr->transponder().type()), iddType);
    QCOMPARE(qulonglong(rdr->transponder().serialNumber()), serial);
    // The access readers switch their field back on whatever the read gave.
    if (type == 100 || type == 101 || type == 863)
        QCOMPARE(int(reader.device->rfFlags()), 1);
    QCOMPARE(rdr->readerHandle(), -1);
    QVERIFY(m_env->readLog(QStringLiteral("Door")).contains(QStringLiteral("*** Read Tag ***")));
}

void TestReaderConfig::readTagWithProgrammerReader_data()
{
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");
    QTest::newRow("hf over tcp, widened to 7 bytes") << false << "100;00C0FFEE;127.0.0.1:%1"
                                                     << ""
                                                     << "000000a1b2c3d4-04";
    QTest::newRow("hf over usb") << false << "82;00C0FFEE;...:0"
                                 << ""
                                 << "000000a1b2c3d4-04";
    QTest::newRow("uhf") << true << "54;00C0FFEE;127.0.0.1:%1"
                         << ""
                         << "";
    QTest::newRow("not configured") << false << ""
                                    << "No reader configured for reading tags.\nPlease check "
                                       "your settings."
                                    << "";
    QTest::newRow("no device id") << false << "82;;127.0.0.1:%1"
                                  << "No reader configured for reading tags.\nPlease check "
                                     "your settings."
                                  << "";
    QTest::newRow("display-only type") << false << "102;00C0FFEE;127.0.0.1:%1"
                                       << "Unsupported reader type"
                                       << "";
}

void TestReaderConfig::readTagWithProgrammerReader()
{
    QFETCH(bool, longRange);
    QFETCH(QString, reference);
    QFETCH(QString, error);
    QFETCH(QString, stored);
    const int type = reference.section(QLatin1Char(';'), 0, 0).toInt();
    // A type the program does not act on still needs some reader to point at.
    SimFixture reader(SimFixture::setupOf(ReaderFactory::readTagCommand(type) ? type : 100), true);
    reader.device->placeTag(longRange ? tag(0x84, "3000e2003412b802011a2b3c4d5e")
                                      : tag(4, "a1b2c3d4"));
    const QString text = reference.contains(QLatin1String("%1"))
                             ? reference.arg(reader.sim->tcp().port())
                             : reference;
    (longRange ? m_env->settings.uhfProgrammerReader : m_env->settings.hfProgrammerReader) = text;
    m_env->settings.project.uhfIddLength = 14;
    TransponderIdd idd;
    const ErrorInfo result = ReaderFactory::readTag(m_env->settings, longRange, &idd);
    QCOMPARE(result.detail, error);
    if (!error.isEmpty())
        return;
    if (!stored.isEmpty())
        QCOMPARE(idd.toStored(), stored);
    else
        QCOMPARE(idd.bytes().size(), 2 + 14);
}

void TestReaderConfig::pairing_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("code");
    QTest::newRow("board serial") << "00B0A4D1" << 0;
    QTest::newRow("other board") << "00B0A4D2" << 0x83;
    QTest::newRow("not a number") << "board" << 2000;
}

void TestReaderConfig::pairing()
{
    QFETCH(QString, serial);
    QFETCH(int, code);
    VirtualReaderSetup setup = SimFixture::setupOf(100);
    setup.hardware = 1;
    setup.extIoSerial = 0x00B0A4D1;
    SimFixture reader(setup);
    MyRdrTZ60 rdr(m_env->settings);
    rdr.runPairing(reader.tcp(), serial);
    QCOMPARE(rdr.result().code, code);
    QCOMPARE(reader.device->extIoPaired(), code == 0);
    QCOMPARE(reader.device->cpuResets(), 0);
    if (code != 2000) {
        const auto expected =
            expectedBlocks(setup, Changes{{1, 12, 0x80}, {1, 13, 0x20}, {2, 13, 0x82}});
        QCOMPARE(blockText(reader.device->block(1)), blockText(expected[1]));
        QCOMPARE(blockText(reader.device->block(2)), blockText(expected[2]));
    }
    QCOMPARE(rdr.readerHandle(), -1);
}

void TestReaderConfig::antiPassbackReset()
{
    SimFixture reader(SimFixture::setupOf(101));
    const std::vector<uint8_t> id = reader.admitWithAntiPassback(m_env->settings, 101);
    QVERIFY(!id.empty());
    const kxsim::SimDateTime monday = SimFixture::mondayMorning();
    QVERIFY(reader.device->insideAntiPassback(id));
    QVERIFY(!reader.device->presentAt(id, monday, 1).granted);

    MyRdrTZU700 rdr(m_env->settings);
    rdr.runResetAntiPassback(reader.tcp());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.result().detail));
    QVERIFY(!reader.device->insideAntiPassback(id));
    QVERIFY(reader.device->presentAt(id, monday, 1).granted);
    QCOMPARE(reader.device->systemResets(), 0);
    QVERIFY(m_env->readLog(QStringLiteral("Door"))
                .contains(QStringLiteral("*** Reset Anti-Passback ***")));
}

KX_TEST_MAIN(TestReaderConfig)
#include "tst_readerconfig.moc"

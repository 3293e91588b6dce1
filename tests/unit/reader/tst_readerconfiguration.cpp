// The settings-text parser, the number rules and the configuration lines.
#include "reader/readerconfiguration.h"
#include "reader/readerfactory.h"
#include "support/testsupport.h"

using Setting = ReaderConfiguration::Setting;
using Settings = QList<Setting>;
Q_DECLARE_METATYPE(Settings)

namespace {

// Keys and values in turn.
Settings pairs(std::initializer_list<const char *> texts)
{
    Settings s;
    for (auto it = texts.begin(); it != texts.end(); it += 2)
        s << Setting(QString::fromLatin1(*it), QString::fromLatin1(*(it + 1)));
    return s;
}

} // namespace

class TestReaderConfiguration : public QObject
{
    Q_OBJECT
private slots:
    void parseSettings_data();
    void parseSettings();
    void tenths_data();
    void tenths();
    void integers_data();
    void integers();
    void lines_data();
    void lines();
    void bitsKeepTheirNeighbours();
    void malformedValuesWriteNothing();
    void skippedSettings_data();
    void skippedSettings();
    void region_data();
    void region();
    void regionNames();
    void programmerReference_data();
    void programmerReference();
};

void TestReaderConfiguration::parseSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Settings>("settings");
    QTest::newRow("empty") << "" << Settings{};
    QTest::newRow("two") << "ValidTime=2.5;AntennaCount=1"
                         << pairs({"ValidTime", "2.5", "AntennaCount", "1"});
    QTest::newRow("blanks everywhere") << " AntennaCount = 1 ;\tOut1.Hold Time= 2 "
                                       << pairs({"AntennaCount", "1", "Out1.HoldTime", "2"});
    QTest::newRow("no equals sign skipped")
        << "ValidTime;AntennaCount=2" << pairs({"AntennaCount", "2"});
    QTest::newRow("two equals signs skipped") << "a=b=c;x=1" << pairs({"x", "1"});
    QTest::newRow("order and repeats kept")
        << "b=1;a=2;b=3" << pairs({"b", "1", "a", "2", "b", "3"});
    QTest::newRow("empty value kept") << "a=;=b" << pairs({"a", "", "", "b"});
}

void TestReaderConfiguration::parseSettings()
{
    QFETCH(QString, text);
    QFETCH(Settings, settings);
    QCOMPARE(ReaderConfiguration::parseSettings(text), settings);
}

void TestReaderConfiguration::tenths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("2.5") << "2.5" << 0xFFFF << true << 25;
    QTest::newRow("half up 0.05") << "0.05" << 255 << true << 1;
    QTest::newRow("half up 0.35") << "0.35" << 255 << true << 4;
    QTest::newRow("half up 1.45") << "1.45" << 255 << true << 15;
    QTest::newRow("below half 0.04") << "0.04" << 255 << true << 0;
    QTest::newRow("integer") << "3" << 255 << true << 30;
    QTest::newRow("leading point") << ".5" << 255 << true << 5;
    QTest::newRow("trailing point") << "3." << 255 << true << 30;
    QTest::newRow("plus sign") << "+1.2" << 255 << true << 12;
    QTest::newRow("upper limit") << "25.5" << 255 << true << 255;
    QTest::newRow("over one byte") << "25.6" << 255 << false << 0;
    QTest::newRow("16-bit limit") << "6553.5" << 0xFFFF << true << 0xFFFF;
    QTest::newRow("negative") << "-0.5" << 255 << false << 0;
    QTest::newRow("decimal comma") << "1,5" << 255 << false << 0;
    QTest::newRow("exponent") << "1e1" << 255 << false << 0;
    QTest::newRow("text") << "abc" << 255 << false << 0;
    QTest::newRow("empty") << "" << 255 << false << 0;
    QTest::newRow("infinity") << "inf" << 255 << false << 0;
}

void TestReaderConfiguration::tenths()
{
    QFETCH(QString, text);
    QFETCH(int, max);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int v = -1;
    QCOMPARE(ReaderConfiguration::tenths(text, max, &v), ok);
    if (ok)
        QCOMPARE(v, value);
}

void TestReaderConfiguration::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("7") << "7" << true << 7;
    QTest::newRow("-1") << "-1" << true << -1;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("too long") << "12345678901" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestReaderConfiguration::integers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int v = 0;
    QCOMPARE(ReaderConfiguration::parseInteger(text, &v), ok);
    if (ok)
        QCOMPARE(v, value);
}

void TestReaderConfiguration::lines_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("tzu300");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("valid time") << "ValidTime=2.5" << false << QByteArray("cfg(P12B00S02)=0019\n");
    QTest::newRow("rf power") << "Antenna1.RfPower=0.5" << false
                              << QByteArray("cfg(P03B02S01)=14\n");
    QTest::newRow("trigger off still sets byte 1")
        << "Trigger.Enable=0" << false << QByteArray("cfg(P10B00b7s1)=0\ncfg(P10B01S01)=05\n");
    QTest::newRow("trigger on only for 1")
        << "Trigger.Enable=true" << false << QByteArray("cfg(P10B00b7s1)=0\ncfg(P10B01S01)=05\n");
    QTest::newRow("two antennas") << "AntennaCount=2" << false
                                  << QByteArray("cfg(P15B00S01)=01\ncfg(P15B01S01)=18\n");
    QTest::newRow("anti-passback low byte")
        << "AntiPassBack=258" << false << QByteArray("cfg(P08B11S01)=02\n");
    QTest::newRow("led keys only on tzu300") << "Led.Inval.Mode=3" << false << QByteArray();
    QTest::newRow("led mode bits 6-7")
        << "Led.Inval.Mode=7" << true << QByteArray("cfg(P08B01b6s2)=3\n");
    QTest::newRow("keys are case-sensitive") << "validtime=2" << false << QByteArray();
}

void TestReaderConfiguration::lines()
{
    QFETCH(QString, settings);
    QFETCH(bool, tzu300);
    QFETCH(QByteArray, text);
    ReaderConfiguration c;
    c.applyLongRangeSettings(settings, tzu300);
    QCOMPARE(c.text(), text);
}

void TestReaderConfiguration::bitsKeepTheirNeighbours()
{
    ReaderConfiguration c;
    c.setByte(8, 1, 0xFF);
    c.applyLongRangeSettings(QStringLiteral("Led.Valid.Mode=1;Led.Inval.Color=0"), true);
    QCOMPARE(int(c.byte(8, 1)), 0xC7); // bits 2-3 = 01, bits 4-5 = 00
    c.setBits(10, 0, 5, 1, 1, false);
    c.setBits(10, 0, 7, 1, 1, false);
    c.setBits(10, 0, 7, 1, 0, false);
    QCOMPARE(int(c.byte(10, 0)), 0x20);
    QCOMPARE(c.block(63), QByteArray(16, '\0'));
}

void TestReaderConfiguration::malformedValuesWriteNothing()
{
    ReaderConfiguration c;
    c.applyLongRangeSettings(QStringLiteral("ValidTime=-1;Out1.HoldTime=30;Out2.HoldTime=1,5;"
                                            "AntennaCount=one;Trigger.HoldTime=7000;"
                                            "Antenna2.RfPower=30;Out2.HoldTime=0.25"),
                             false);
    QCOMPARE(c.text(), QByteArray("cfg(P14B11S01)=03\n"));
    QCOMPARE(c.block(12), QByteArray(16, '\0'));
    QCOMPARE(c.block(15), QByteArray(16, '\0'));
}

void TestReaderConfiguration::skippedSettings_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<Settings>("skipped");
    QTest::newRow("tz60") << 100 << "ValidTime=7000;Out1.HoldTime=x;Out1.HoldTime=2;AntiPassBack=q"
                          << pairs({"ValidTime", "7000", "Out1.HoldTime", "x"});
    QTest::newRow("tzu700")
        << 101
        << "ValidTime=-1;AntennaCount=one;Antenna2.RfPower=30;Trigger.HoldTime=1,5;"
           "Trigger.InputToAntenna=;Trigger.Enable=x;Led.Idle.Color=z;Unknown=y;AntiPassBack=2"
        << pairs({"ValidTime", "-1", "AntennaCount", "one", "Antenna2.RfPower", "30",
                  "Trigger.HoldTime", "1,5", "Trigger.InputToAntenna", ""});
    QTest::newRow("tzu300 led keys") << 863 << "Led.Idle.Color=z;AntennaSignal=1;Led.Inval.Mode=9x"
                                     << pairs({"Led.Idle.Color", "z", "Led.Inval.Mode", "9x"});
    QTest::newRow("form defaults") << 863
                                   << "ReaderType=863;ValidTime=5.5;AntiPassBack=0;AntennaCount=1;"
                                      "Antenna1.RfPower=0.8;Out1.HoldTime=1.0;Trigger.HoldTime=5.0"
                                   << Settings{};
}

void TestReaderConfiguration::skippedSettings()
{
    QFETCH(int, type);
    QFETCH(QString, settings);
    QFETCH(Settings, skipped);
    ReaderConfiguration c;
    if (type == 100)
        c.applyTz60Access(settings, false);
    else
        c.applyLongRangeSettings(settings, type == 863);
    QCOMPARE(c.skipped(), skipped);
    c.clear();
    QCOMPARE(c.skipped(), Settings{});
}

void TestReaderConfiguration::region_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("region0");
    QTest::addColumn<int>("region1");
    QTest::addColumn<bool>("applies");
    QTest::newRow("same code") << 6 << 6 << 0 << true;
    QTest::newRow("same low bits") << 38 << 0x16 << 0 << true;
    QTest::newRow("other group") << 4 << 6 << 0 << false;
    QTest::newRow("second byte set") << 6 << 6 << 1 << false;
}

void TestReaderConfiguration::region()
{
    QFETCH(int, code);
    QFETCH(int, region0);
    QFETCH(int, region1);
    QFETCH(bool, applies);
    ReaderConfiguration c;
    c.setByte(3, 3, 0xAA);
    c.applyRegion(code, quint8(region0), quint8(region1));
    QCOMPARE(int(c.byte(3, 3)), applies ? code : 0xAA);
    QVERIFY(c.text().isEmpty());
}

void TestReaderConfiguration::regionNames()
{
    QCOMPARE(ReaderConfiguration::regionName(6), QStringLiteral("EU: Europe"));
    QCOMPARE(ReaderConfiguration::regionName(36), QStringLiteral("FCC: Australia / New Zealand"));
    QCOMPARE(ReaderConfiguration::regionName(255), QStringLiteral("FCC: Manual"));
    QCOMPARE(ReaderConfiguration::regionName(5), QStringLiteral("Unknown region"));
}

void TestReaderConfiguration::programmerReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("deviceId");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("tcp") << "100;00C0FFEE;127.0.0.1:10001" << 100 << 0xC0FFEEu << "127.0.0.1"
                         << 10001;
    QTest::newRow("usb") << "82;0000ABCD;...:0" << 82 << 0xABCDu << "" << 0;
    QTest::newRow("two parts") << "54;1234" << 54 << 0x1234u << "" << 0;
    QTest::newRow("port too large") << "54;1;h:65536" << 54 << 1u << "h" << 0;
    QTest::newRow("unreadable") << "x;zz;h:p" << 0 << 0u << "h" << 0;
    QTest::newRow("ipv6 host") << "101;1;::1:4000" << 101 << 1u << "::1" << 4000;
    QTest::newRow("empty") << "" << 0 << 0u << "" << 0;
}

void TestReaderConfiguration::programmerReference()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QFETCH(uint, deviceId);
    QFETCH(QString, host);
    QFETCH(int, port);
    const ReaderFactory::ProgrammerReader r = ReaderFactory::parseProgrammerReader(text);
    QCOMPARE(r.type, type);
    QCOMPARE(uint(r.deviceId), deviceId);
    QCOMPARE(r.host, host);
    QCOMPARE(r.port, port);
    const ReaderConnection c = ReaderFactory::programmerConnection(r);
    QCOMPARE(c.logKey.isEmpty(), false);
    QVERIFY(!c.usesFlashDrive());
}

KX_TEST_MAIN(TestReaderConfiguration)
#include "tst_readerconfiguration.moc"

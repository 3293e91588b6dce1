// The frame and datagram codecs: what goes on the wire must come back the
// same, and nothing a peer sends may crash the decoder or be taken as a frame.
#include "kxudpwire.h"
#include "kxwire.h"

#include "support/testsupport.h"

#include <QtTest>

#include <random>

using kxwire::DecodeResult;
using kxwire::Frame;

Q_DECLARE_METATYPE(DecodeResult)

namespace {

std::vector<uint8_t> bytesOf(const QByteArray &data)
{
    return std::vector<uint8_t>(data.begin(), data.end());
}

Frame makeFrame(bool answer, uint8_t command, std::size_t payloadSize, uint8_t status = 0)
{
    Frame frame;
    frame.answer = answer;
    frame.sequence = 0x42;
    frame.busAddress = 255;
    frame.command = command;
    frame.status = status;
    for (std::size_t i = 0; i < payloadSize; ++i)
        frame.payload.push_back(uint8_t(i * 7 + 3));
    return frame;
}

} // namespace

class TestKxWire : public QObject
{
    Q_OBJECT

private slots:
    void crcKnownValues_data();
    void crcKnownValues();
    void roundTrip_data();
    void roundTrip();
    void streamSplitsFrames();
    void damagedFrames_data();
    void damagedFrames();
    void oversizedPayloadIsNotEncoded();
    void udpRoundTrip();
    void udpRejectsDamage_data();
    void udpRejectsDamage();
    void addressTexts_data();
    void addressTexts();
    void fuzzDecoders();
};

void TestKxWire::crcKnownValues_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    // The published check value of this CRC variant, and its start value.
    QTest::newRow("check string") << QByteArray("123456789") << 0x29B1;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << 0xE1F0;
}

void TestKxWire::crcKnownValues()
{
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    const auto bytes = bytesOf(data);
    QCOMPARE(int(kxwire::crc16(bytes.data(), bytes.size())), crc);
}

void TestKxWire::roundTrip_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<int>("status");
    QTest::newRow("empty request") << false << 0 << 0;
    QTest::newRow("short request") << false << 5 << 0;
    QTest::newRow("empty answer with status") << true << 0 << 146;
    QTest::newRow("data exchange answer") << true << 32768 << 148;
    QTest::newRow("largest payload") << true << int(kxwire::kMaxPayloadLength) << 0;
}

void TestKxWire::roundTrip()
{
    QFETCH(bool, answer);
    QFETCH(int, payloadSize);
    QFETCH(int, status);
    const Frame sent = makeFrame(answer, 0x1F, std::size_t(payloadSize), uint8_t(status));
    const std::vector<uint8_t> bytes = kxwire::encode(sent);
    QCOMPARE(bytes.size(), std::size_t(payloadSize) +
                               (answer ? kxwire::kMinAnswerLength : kxwire::kMinRequestLength));
    Frame received;
    QCOMPARE(kxwire::decodeOne(bytes.data(), bytes.size(), answer, received), DecodeResult::Frame);
    QCOMPARE(received.sequence, sent.sequence);
    QCOMPARE(received.busAddress, sent.busAddress);
    QCOMPARE(received.command, sent.command);
    QCOMPARE(received.status, sent.status);
    QVERIFY(received.payload == sent.payload);
    // A request decoder never takes an answer for a request, nor the reverse.
    QCOMPARE(kxwire::decodeOne(bytes.data(), bytes.size(), !answer, received),
             DecodeResult::BadMarker);
}

void TestKxWire::streamSplitsFrames()
{
    std::vector<uint8_t> stream;
    for (int i = 0; i < 3; ++i) {
        Frame frame = makeFrame(true, uint8_t(0x60 + i), std::size_t(i * 100));
        frame.sequence = uint8_t(i);
        const auto bytes = kxwire::encode(frame);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    // Byte by byte, as a slow link delivers it.
    kxwire::FrameDecoder decoder(true);
    std::vector<Frame> frames;
    for (uint8_t byte : stream) {
        decoder.feed(&byte, 1);
        Frame frame;
        DecodeResult result;
        while ((result = decoder.next(frame)) == DecodeResult::Frame)
            frames.push_back(frame);
        QCOMPARE(result, DecodeResult::NeedMore);
    }
    QCOMPARE(frames.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(int(frames[std::size_t(i)].sequence), i);
        QCOMPARE(frames[std::size_t(i)].payload.size(), std::size_t(i * 100));
    }
    QCOMPARE(decoder.buffered(), std::size_t(0));

    // All at once.
    kxwire::FrameDecoder whole(true);
    whole.feed(stream.data(), stream.size());
    Frame frame;
    int count = 0;
    while (whole.next(frame) == DecodeResult::Frame)
        ++count;
    QCOMPARE(count, 3);
}

void TestKxWire::damagedFrames_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<DecodeResult>("expected");
    // Offsets into a request frame with a 4-byte payload (14 bytes in all).
    QTest::newRow("wrong marker") << 0 << 0x00 << DecodeResult::BadMarker;
    QTest::newRow("length below minimum") << 4 << 0x05 << DecodeResult::BadLength;
    QTest::newRow("length beyond the maximum") << 1 << 0x7F << DecodeResult::BadLength;
    QTest::newRow("payload bit flipped") << 9 << 0xEE << DecodeResult::BadCrc;
    QTest::newRow("command changed") << 7 << 0x66 << DecodeResult::BadCrc;
    QTest::newRow("crc changed") << 13 << 0x00 << DecodeResult::BadCrc;
    QTest::newRow("length longer than sent") << 4 << 0x20 << DecodeResult::NeedMore;
}

void TestKxWire::damagedFrames()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(DecodeResult, expected);
    Frame frame = makeFrame(false, 0x80, 4);
    std::vector<uint8_t> bytes = kxwire::encode(frame);
    QCOMPARE(bytes.size(), std::size_t(14));
    if (bytes[std::size_t(offset)] == uint8_t(value))
        value ^= 0xFF;
    bytes[std::size_t(offset)] = uint8_t(value);
    kxwire::FrameDecoder decoder(false);
    decoder.feed(bytes.data(), bytes.size());
    Frame decoded;
    QCOMPARE(decoder.next(decoded), expected);
    if (expected == DecodeResult::BadCrc) {
        // The damaged frame is consumed; a good one behind it still decodes.
        QCOMPARE(decoder.buffered(), std::size_t(0));
        const auto good = kxwire::encode(frame);
        decoder.feed(good.data(), good.size());
        QCOMPARE(decoder.next(decoded), DecodeResult::Frame);
        QVERIFY(decoded.payload == frame.payload);
    }
}

void TestKxWire::oversizedPayloadIsNotEncoded()
{
    Frame frame = makeFrame(true, 0x1F, kxwire::kMaxPayloadLength + 1);
    QVERIFY(kxwire::encode(frame).empty());
}

void TestKxWire::udpRoundTrip()
{
    kxwire::UdpMessage sent;
    sent.opcode = kxwire::UdpDiscoverAnswer;
    sent.sequence = 0xBEEF;
    kxwire::UdpReaderRecord &r = sent.record;
    r.readerType = 863;
    r.networkFlags = 0xA0;
    r.validFlags = 0x7F;
    r.deviceId = 0x89ABCDEF;
    QVERIFY(kxwire::parseMac("00-1B-2C-3D-4E-5F", r.mac));
    QVERIFY(kxwire::parseIpv4("127.0.0.5", r.ip));
    QVERIFY(kxwire::parseIpv4("255.255.255.0", r.netmask));
    QVERIFY(kxwire::parseIpv4("127.0.0.1", r.gateway));
    r.port = 10001;
    r.text1 = "TZU300";
    r.text2 = std::string(200, 'x'); // cut to the field size on the wire
    const auto bytes = kxwire::encodeUdp(sent);
    kxwire::UdpMessage received;
    QVERIFY(kxwire::decodeUdp(bytes.data(), bytes.size(), received));
    QCOMPARE(int(received.opcode), int(kxwire::UdpDiscoverAnswer));
    QCOMPARE(received.sequence, sent.sequence);
    QCOMPARE(received.record.readerType, 863u);
    QCOMPARE(received.record.deviceId, 0x89ABCDEFu);
    QCOMPARE(kxwire::formatMac(received.record.mac), std::string("00-1B-2C-3D-4E-5F"));
    QCOMPARE(kxwire::formatIpv4(received.record.ip), std::string("127.0.0.5"));
    QCOMPARE(kxwire::formatIpv4(received.record.netmask), std::string("255.255.255.0"));
    QCOMPARE(received.record.port, uint16_t(10001));
    QCOMPARE(received.record.text1, std::string("TZU300"));
    QCOMPARE(received.record.text2.size(), kxwire::kMaxUdpText);
}

void TestKxWire::udpRejectsDamage_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("flip");
    QTest::newRow("truncated by one") << 1 << -1;
    QTest::newRow("only the header") << 30 << -1;
    QTest::newRow("magic damaged") << 0 << 1;
    QTest::newRow("version damaged") << 0 << 4;
    QTest::newRow("field damaged") << 0 << 12;
    QTest::newRow("crc damaged") << 0 << -2;
}

void TestKxWire::udpRejectsDamage()
{
    QFETCH(int, cut);
    QFETCH(int, flip);
    kxwire::UdpMessage sent;
    sent.opcode = kxwire::UdpSetupRequest;
    sent.record.deviceId = 7;
    sent.record.validFlags = 0x3F;
    auto bytes = kxwire::encodeUdp(sent);
    if (flip != 0 || cut == 0) {
        const std::size_t at = flip < 0 ? bytes.size() + std::size_t(flip) : std::size_t(flip);
        bytes[at] ^= 0x10;
    }
    bytes.resize(bytes.size() - std::size_t(cut));
    kxwire::UdpMessage received;
    QVERIFY(!kxwire::decodeUdp(bytes.data(), bytes.size(), received));
}

void TestKxWire::addressTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isIpv4");
    QTest::addColumn<bool>("isMac");
    QTest::newRow("dotted address") << QStringLiteral("127.0.0.1") << true << false;
    QTest::newRow("octet above 255") << QStringLiteral("192.168.3.300") << false << false;
    QTest::newRow("three octets") << QStringLiteral("10.0.1") << false << false;
    QTest::newRow("empty") << QString() << false << false;
    QTest::newRow("mac with dashes") << QStringLiteral("00-1B-2C-3D-4E-5F") << false << true;
    QTest::newRow("mac with colons") << QStringLiteral("00:1b:2c:3d:4e:5f") << false << true;
    QTest::newRow("mac with signs") << QStringLiteral("+1-1B-2C-3D-4E-5F") << false << false;
    QTest::newRow("mac too short") << QStringLiteral("00-1B-2C-3D-4E") << false << false;
}

void TestKxWire::addressTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, isIpv4);
    QFETCH(bool, isMac);
    uint32_t address = 0;
    uint8_t mac[6];
    const std::string value = text.toStdString();
    QCOMPARE(kxwire::parseIpv4(value, address), isIpv4);
    QCOMPARE(kxwire::parseMac(value, mac), isMac);
    if (isIpv4)
        QCOMPARE(kxwire::formatIpv4(address), value);
}

void TestKxWire::fuzzDecoders()
{
    std::mt19937 random(20261207);
    const std::vector<uint8_t> good = kxwire::encode(makeFrame(false, 0x1F, 40));
    kxwire::UdpMessage udp;
    udp.opcode = kxwire::UdpDiscoverAnswer;
    udp.record.text1 = "reader";
    const std::vector<uint8_t> goodUdp = kxwire::encodeUdp(udp);
    int frames = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes;
        const std::vector<uint8_t> &base = (round % 2) ? good : goodUdp;
        if (round % 3 == 0) {
            bytes.resize(random() % 64);
            for (uint8_t &b : bytes)
                b = uint8_t(random());
        } else {
            bytes = base;
            const int mutations = 1 + int(random() % 4);
            for (int m = 0; m < mutations && !bytes.empty(); ++m)
                bytes[random() % bytes.size()] = uint8_t(random());
            if (random() % 4 == 0)
                bytes.resize(random() % (bytes.size() + 1));
        }
        Frame frame;
        kxwire::FrameDecoder decoder(false);
        decoder.feed(bytes.data(), bytes.size());
        for (int i = 0; i < 4; ++i) {
            const DecodeResult r = decoder.next(frame);
            if (r == DecodeResult::Frame) {
                ++frames;
                // Whatever was accepted carries a correct CRC over its own bytes.
                QVERIFY(frame.payload.size() + kxwire::kMinRequestLength <= bytes.size());
            }
            if (r != DecodeResult::Frame && r != DecodeResult::BadCrc)
                break;
        }
        kxwire::UdpMessage message;
        kxwire::decodeUdp(bytes.data(), bytes.size(), message);
    }
    QVERIFY(frames < 3000);
}

KX_TEST_MAIN(TestKxWire)
#include "tst_kxwire.moc"

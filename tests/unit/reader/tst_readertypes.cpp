#include "reader/readerconnection.h"
#include "reader/readertypes.h"
#include "support/testsupport.h"

#include <QSet>

using namespace ReaderTypes;

class TestReaderTypes : public QObject
{
    Q_OBJECT
private slots:
    void nameTable();
    void firmware_data();
    void firmware();
    void connectionKind_data();
    void connectionKind();
};

void TestReaderTypes::nameTable()
{
    const QStringList names = readerTypeNames();
    QCOMPARE(names.size(), 31);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 31);
    for (const QString &name : names) {
        QVERIFY(name.startsWith(QStringLiteral("ID ")));
        QCOMPARE(readerTypeName(readerTypeByName(name)), name);
    }
    for (int code : {100, 101, 863, 82, 86, 54})
        QVERIFY(names.contains(readerTypeName(code)));
    QCOMPARE(readerTypeName(100), QStringLiteral("ID TZ60"));
    QCOMPARE(readerTypeName(5), QStringLiteral("Reader type 5"));
    QCOMPARE(readerTypeByName(QStringLiteral("id tz60")), 0);
    QCOMPARE(readerTypeByName(QStringLiteral("Reader type 5")), 0);
    QVERIFY(isLongRangeAccessReader(101) && isLongRangeAccessReader(863));
    QVERIFY(!isLongRangeAccessReader(100) && !isLongRangeAccessReader(54));
}

void TestReaderTypes::firmware_data()
{
    QTest::addColumn<QString>("available");
    QTest::addColumn<QString>("required");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("newer minor") << "02.10.00"
                                 << "02.08.00" << true << "02.10.00";
    QTest::newRow("older patch line") << "02.07.09"
                                      << "02.08.00" << false << "02.07.09";
    QTest::newRow("equal") << "02.08.00"
                           << "02.08.00" << true << "02.08.00";
    QTest::newRow("bare major") << "3"
                                << "02.08.00" << true << "03.00.00";
    QTest::newRow("empty") << ""
                           << "01.01.00" << false << "00.00.00";
    QTest::newRow("garbage parts") << "2.x.9"
                                   << "02.00.00" << true << "02.00.09";
    QTest::newRow("empty parts kept") << "2..5"
                                      << "02.00.04" << true << "02.00.05";
}

void TestReaderTypes::firmware()
{
    QFETCH(QString, available);
    QFETCH(QString, required);
    QFETCH(bool, passes);
    QFETCH(QString, normalized);
    QCOMPARE(firmwareAtLeast(available, required), passes);
    QCOMPARE(normalizedFirmware(available), normalized);
}

void TestReaderTypes::connectionKind_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<uint>("deviceId");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("kind");
    QTest::newRow("flash drive with host") << "127.0.0.1" << 5u << (0x10000 | 10001) << 0;
    QTest::newRow("tcp") << "127.0.0.1" << 5u << 10001 << 2;
    QTest::newRow("usb") << "" << 5u << 0 << 1;
    QTest::newRow("usb first found") << "" << 0u << 0 << 0;
}

void TestReaderTypes::connectionKind()
{
    QFETCH(QString, host);
    QFETCH(uint, deviceId);
    QFETCH(int, port);
    QFETCH(int, kind);
    ReaderConnection c;
    c.host = host;
    c.deviceId = deviceId;
    c.portValue = port;
    QCOMPARE(c.kind(), kind);
    QCOMPARE(c.timeoutMs, 5000);
}

KX_TEST_MAIN(TestReaderTypes)
#include "tst_readertypes.moc"

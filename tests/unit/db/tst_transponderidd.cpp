#include "db/transponderidd.h"
#include "support/testsupport.h"

class TestTransponderIdd : public QObject
{
    Q_OBJECT
private slots:
    void storedForm_data();
    void storedForm();
    void fromHex_data();
    void fromHex();
    void extendTo_data();
    void extendTo();
    void tagNumber();
    void comparisonIgnoresSerial();
};

void TestTransponderIdd::storedForm_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("restored");

    QTest::newRow("iso14443") << "04a1b2c3d4e5f6-04" << 4 << "04A1B2C3D4E5F6"
                              << "04A1B2C3D4E5F6"
                              << "04a1b2c3d4e5f6-04";
    QTest::newRow("upper case input") << "04A1B2-04" << 4 << "04A1B2"
                                      << "04A1B2"
                                      << "04a1b2-04";
    QTest::newRow("with serial") << "e0040100-03-1f" << 3 << "E0040100"
                                 << "E0040100 (31)"
                                 << "e0040100-03-1f";
    QTest::newRow("epc drops pc word") << "3000e2001122-84" << 132 << "E2001122"
                                       << "E2001122"
                                       << "3000e2001122-84";
    QTest::newRow("no dash") << "04a1b2c3" << 0 << ""
                             << ""
                             << "";
    QTest::newRow("type not hex") << "04a1-zz" << 0 << ""
                                  << ""
                                  << "";
    QTest::newRow("bytes not hex") << "04g1-04" << 0 << ""
                                   << ""
                                   << "";
    QTest::newRow("empty text") << "" << 0 << ""
                                << ""
                                << "";
    QTest::newRow("no bytes keeps type") << "-04" << 4 << ""
                                         << ""
                                         << "-04";
    QTest::newRow("unknown type has no hex") << "0102-05" << 5 << ""
                                             << ""
                                             << "0102-05";
    QTest::newRow("bad serial ignored") << "0102-04-xyz" << 4 << "0102"
                                        << "0102"
                                        << "0102-04";
}

void TestTransponderIdd::storedForm()
{
    QFETCH(QString, stored);
    QFETCH(int, type);
    QFETCH(QString, hex);
    QFETCH(QString, display);
    QFETCH(QString, restored);
    const TransponderIdd idd = TransponderIdd::fromStored(stored);
    QCOMPARE(idd.type(), type);
    QCOMPARE(idd.toHex(), hex);
    QCOMPARE(idd.toDisplay(), display);
    QCOMPARE(idd.toStored(), restored);
}

void TestTransponderIdd::fromHex_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("stored");

    QTest::newRow("iso14443") << "04A1B2C3D4E5F6" << 4 << "04a1b2c3d4e5f6-04";
    QTest::newRow("iso15693") << "E004010012345678" << 3 << "e004010012345678-03";
    QTest::newRow("epc 12 bytes gets pc 3000")
        << "E20011223344556677889900" << 132 << "3000e20011223344556677889900-84";
    QTest::newRow("epc 4 bytes gets pc 1000") << "01020304" << 132 << "100001020304-84";
    QTest::newRow("type 0") << "0102" << 0 << "";
    QTest::newRow("type 2") << "0102" << 2 << "";
    QTest::newRow("type 5") << "0102" << 5 << "";
    QTest::newRow("empty text keeps type") << "" << 4 << "-04";
}

void TestTransponderIdd::fromHex()
{
    QFETCH(QString, hex);
    QFETCH(int, type);
    QFETCH(QString, stored);
    QCOMPARE(TransponderIdd::fromHex(hex, type).toStored(), stored);
}

void TestTransponderIdd::extendTo_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("extended");

    QTest::newRow("4 to 7 bytes") << "a1b2c3d4-04" << 7 << "000000a1b2c3d4-04";
    QTest::newRow("8 bytes stay") << "0102030405060708-04" << 7 << "0102030405060708-04";
    QTest::newRow("15693 to 8") << "e0040100-03" << 8 << "00000000e0040100-03";
    QTest::newRow("epc after pc word") << "1000aabbccdd-84" << 6 << "10000000aabbccdd-84";
    QTest::newRow("epc long enough") << "1000aabbccdd-84" << 4 << "1000aabbccdd-84";
    QTest::newRow("empty stays empty") << "" << 7 << "";
    QTest::newRow("serial kept") << "a1-04-2a" << 2 << "00a1-04-2a";
}

void TestTransponderIdd::extendTo()
{
    QFETCH(QString, stored);
    QFETCH(int, length);
    QFETCH(QString, extended);
    TransponderIdd idd = TransponderIdd::fromStored(stored);
    idd.extendTo(length);
    QCOMPARE(idd.toStored(), extended);
}

void TestTransponderIdd::tagNumber()
{
    const QByteArray bytes = QByteArray::fromHex("3800"
                                                 "2d1505d8500003"
                                                 "000000012c"
                                                 "aabb");
    TransponderIdd idd(bytes, TransponderIdd::EpcClass1Gen2, 77);
    QVERIFY(idd.carriesTagNumber());
    QCOMPARE(idd.tagNumber(), quint64(300));
    QCOMPARE(idd.serialNumber(), quint64(0)); // a tag number replaces the serial number
    QCOMPARE(idd.toDisplay(), idd.toHex() + QStringLiteral(" (300)"));

    QByteArray other = bytes;
    other[4] = 0x06; // mask broken
    TransponderIdd plain(other, TransponderIdd::EpcClass1Gen2, 77);
    QCOMPARE(plain.tagNumber(), quint64(0));
    QCOMPARE(plain.toDisplay(), plain.toHex() + QStringLiteral(" (77)"));

    TransponderIdd hf(bytes, TransponderIdd::Iso14443A);
    QCOMPARE(hf.tagNumber(), quint64(0));
}

void TestTransponderIdd::comparisonIgnoresSerial()
{
    const TransponderIdd a(QByteArray::fromHex("0102"), 4, 1);
    const TransponderIdd b(QByteArray::fromHex("0102"), 4, 2);
    const TransponderIdd c(QByteArray::fromHex("0102"), 3, 1);
    QVERIFY(a == b);
    QVERIFY(a != c);
}

KX_TEST_MAIN(TestTransponderIdd)
#include "tst_transponderidd.moc"

// The access data exchange end to end: tables compiled from access rows go
// to virtual readers over TCP and USB in frames and come back equal; events
// are read with their optional fields; failed transfers leave the reader's
// previous tables in force.
#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "access/timeperiod.h"
#include "reader/myrdrkelvara.h"
#include "simfixture.h"
#include "support/testsupport.h"

#include <QFile>

using namespace kxsim;

Q_DECLARE_METATYPE(QList<int>)

namespace {

EntryAccessRow row(const QString &tag, const QString &definition, const QString &name,
                   const QString &hf, const QString &uhf)
{
    EntryAccessRow r;
    r.modelTag = tag;
    r.modelDefinition = definition;
    r.familyName = name;
    r.iddIso14443 = hf;
    r.iddClass1Gen2 = uhf;
    return r;
}

// Users with identifiers of both ranges, two models and holidays ahead.
AccessDataSet compiledSet(int readerType, int users)
{
    QList<EntryAccessRow> rows;
    for (int i = 0; i < users; ++i) {
        const QString hf = QStringLiteral("04a1b2c3d4%1-04").arg(i, 4, 16, QLatin1Char('0'));
        const QString uhf =
            QStringLiteral("3000e2003412b802011a2b3c%1-84").arg(i, 4, 16, QLatin1Char('0'));
        const bool office = i % 2 == 0;
        rows << row(office ? QStringLiteral("O") : QStringLiteral("N"),
                    office ? QStringLiteral("mon,tue,wed,thu,fri-07:00-18:00|sat-08:00-12:00")
                           : QStringLiteral("hol-09:00-10:00|sun-22:00-23:59"),
                    QStringLiteral("User%1").arg(i), hf, uhf);
    }
    QList<HolidayRow> holidays;
    for (const char *date : {"2035.01.01", "2035.12.25", "2036.05.01"}) {
        HolidayRow h;
        h.date = QString::fromLatin1(date);
        holidays << h;
    }
    AccessDataSet set;
    set.compile(rows, holidays, readerType);
    return set;
}

ReaderAccessTables expectedTables(const AccessDataSet &set, int iddLength)
{
    ReaderAccessTables t;
    t.fill(set, iddLength);
    return t;
}

int iddLengthOf(int type)
{
    return type == 100 ? 7 : 12;
}

} // namespace

class TestAccessExchange : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_env.reset(new ReaderTestEnvironment); }
    void cleanup() { m_env.reset(); }

    void updateAndReadBack_data();
    void updateAndReadBack();
    void failedTransferKeepsTables_data();
    void failedTransferKeepsTables();
    void tableCodesEndUpdate_data();
    void tableCodesEndUpdate();
    void eventsOfSeveralDates_data();
    void eventsOfSeveralDates();
    void noEventsIsSuccess();
    void saveAccessConfiguration();
    void saveAccessConfigurationFailure();

private:
    std::unique_ptr<ReaderTestEnvironment> m_env;
};

void TestAccessExchange::updateAndReadBack_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("overUsb");
    QTest::addColumn<int>("maxFrame");
    QTest::addColumn<int>("users");
    QTest::newRow("tz60 tcp") << 100 << false << 1024 << 5;
    QTest::newRow("tz60 usb") << 100 << true << 1024 << 5;
    QTest::newRow("tzu700 tcp") << 101 << false << 1024 << 7;
    QTest::newRow("tzu300 usb") << 863 << true << 1024 << 7;
    QTest::newRow("tz60 frames of 60") << 100 << false << 60 << 21;
    QTest::newRow("tzu700 frames of 60 over usb") << 101 << true << 60 << 9;
    QTest::newRow("empty access table") << 863 << false << 60 << 0;
}

void TestAccessExchange::updateAndReadBack()
{
    QFETCH(int, type);
    QFETCH(bool, overUsb);
    QFETCH(int, maxFrame);
    QFETCH(int, users);
    VirtualReaderSetup setup = SimFixture::setupOf(type);
    setup.maxFrameLength = maxFrame;
    SimFixture reader(setup, overUsb);
    QVERIFY(reader.isValid());
    reader.device->setClock(SimDateTime{2003, 3, 3, 3, 3, 3});
    const ReaderConnection c = overUsb ? reader.usb() : reader.tcp();

    const AccessDataSet set = compiledSet(type, users);
    const ReaderAccessTables expected = expectedTables(set, iddLengthOf(type));
    QCOMPARE(expected.accessRecords().size(), users);

    MyRdrKelvara update(m_env->settings, type);
    update.runUpdateAccessConfiguration(c, set);
    QVERIFY2(update.result().ok(), qPrintable(update.describeError(QStringLiteral("update"))));
    QCOMPARE(update.portHandle(), -1);
    QCOMPARE(update.readerHandle(), -1);
    QCOMPARE(update.readerTypeCode(), type);
    QCOMPARE(int(reader.device->clock().year), QDate::currentDate().year());
    QCOMPARE(reader.device->tables().recordCount(4), users);

    // Frames never outgrow the announced length; the table CRCs are those
    // of the record bytes alone.
    const TableExchange &x = update.exchange();
    QCOMPARE(x.maxFrameLength(), maxFrame);
    const int sizes[] = {TimezoneRecord::Size, HolidayRecord::Size, iddLengthOf(type) + 3};
    for (int table = 2; table <= 4; ++table) {
        const QList<int> counts = x.frameCounts(table);
        QVERIFY(!counts.isEmpty());
        // Only the closing frame may be empty.
        for (int i = 0; i + 1 < counts.size(); ++i)
            QVERIFY(counts.at(i) > 0);
        int total = 0;
        for (int n : counts) {
            QVERIFY(3 + n * sizes[table - 2] <= maxFrame);
            total += n;
        }
        const int wanted = table == 2   ? expected.timezones().size()
                           : table == 3 ? expected.holidays().size()
                                        : expected.accessRecords().size();
        QCOMPARE(total, wanted);
    }
    if (maxFrame == 60 && type == 100) {
        QCOMPARE(x.frameCounts(2), QList<int>({3, 1}));
        QCOMPARE(x.frameCounts(4).first(), 4); // records of 10 bytes: 3 + 40 + 10 + 15 > 60
    }
    if (users == 0) {
        QCOMPARE(x.frameCounts(4), QList<int>({0}));
        QCOMPARE(x.crc(3), quint16(0xFFFF));
    }
    const QString log = m_env->readLog(QStringLiteral("Door"));
    QVERIFY(log.contains(QStringLiteral("*** Update Access Configuration ***\r\n")));
    QVERIFY(log.contains(QStringLiteral("Reader Diagnostic:\r\n")));

    MyRdrKelvara read(m_env->settings, type);
    read.runReadAccessConfiguration(c);
    QVERIFY2(read.result().ok(), qPrintable(read.describeError(QStringLiteral("read"))));
    QCOMPARE(read.tables().timezones(), expected.timezones());
    QCOMPARE(read.tables().holidays(), expected.holidays());
    QCOMPARE(read.tables().accessRecords(), expected.accessRecords());
    QCOMPARE(read.tables().readMetadata(), expected.metadata());

    // The lists built from what was read.
    QCOMPARE(read.holidays(), set.holidays());
    QCOMPARE(read.periodMap().size(), expected.timezones().size());
    for (auto it = read.periodMap().cbegin(); it != read.periodMap().cend(); ++it) {
        const QString key = set.keyOfIndex(it.value());
        QVERIFY(!key.isNull());
        QCOMPARE(TimePeriod::fromDefinition(it.key()),
                 TimePeriod::fromDefinition(TimePeriod::definitionOfKey(key)));
    }
    QCOMPARE(read.accessList().size(), users);
    for (const ReadAccessRecord &r : read.accessList()) {
        QCOMPARE(r.idd, r.idd.toLower());
        const AccessRecord a = expected.accessRecords().value(r.idd.toUpper());
        QCOMPARE(QString::fromLatin1(a.idd.toHex()), r.idd);
        QCOMPARE(r.flags, a.flags);
    }
}

void TestAccessExchange::failedTransferKeepsTables_data()
{
    QTest::addColumn<int>("dropAfter");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("negative");
    QTest::newRow("link dropped after the metadata") << 4 << 0 << true;
    QTest::newRow("link dropped in the access frames") << 9 << 0 << true;
    QTest::newRow("reader refuses the data") << -1 << 0x14 << false;
}

void TestAccessExchange::failedTransferKeepsTables()
{
    QFETCH(int, dropAfter);
    QFETCH(int, status);
    QFETCH(bool, negative);
    VirtualReaderSetup setup = SimFixture::setupOf(101);
    setup.maxFrameLength = 60;
    SimFixture reader(setup);
    MyRdrKelvara first(m_env->settings, 101);
    first.runUpdateAccessConfiguration(reader.tcp(), compiledSet(101, 3));
    QVERIFY(first.result().ok());
    const std::string before = reader.device->dumpTables();

    // Frames before the transfer: open, two reader information calls, the clock.
    if (dropAfter >= 0)
        reader.sim->faults().dropAfterFrames(dropAfter);
    if (status)
        reader.device->injectStatus(0x1F, uint8_t(status));
    MyRdrKelvara second(m_env->settings, 101);
    second.runUpdateAccessConfiguration(reader.tcp(), compiledSet(101, 12));
    QVERIFY(!second.result().ok());
    QCOMPARE(second.result().code < 0, negative);
    if (status)
        QCOMPARE(second.result().code, status);
    QCOMPARE(second.portHandle(), -1);
    QCOMPARE(second.readerHandle(), -1);
    reader.sim->faults().clear();
    reader.device->clearInjectedStatus();
    QCOMPARE(reader.device->dumpTables(), before);
}

void TestAccessExchange::tableCodesEndUpdate_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("periods");
    QTest::addColumn<int>("code");
    QTest::newRow("desk reader has no identifier length") << 82 << 1 << -1004;
    QTest::newRow("sixteen periods") << 100 << 16 << -1003;
}

void TestAccessExchange::tableCodesEndUpdate()
{
    QFETCH(int, type);
    QFETCH(int, periods);
    QFETCH(int, code);
    SimFixture reader(SimFixture::setupOf(100));
    QStringList definitions;
    for (int hour = 0; hour < periods; ++hour)
        definitions << QStringLiteral("mon-%1:00-%1:30").arg(hour, 2, 10, QLatin1Char('0'));
    AccessDataSet set;
    set.compile({row(QStringLiteral("M"), definitions.join(QLatin1Char('|')), QStringLiteral("A"),
                     QStringLiteral("04000000000009-04"), QString())},
                {}, 100);
    const std::string before = reader.device->dumpTables();
    MyRdrKelvara rdr(m_env->settings, type);
    rdr.runUpdateAccessConfiguration(reader.tcp(), set);
    QCOMPARE(rdr.result().code, code);
    // Each table code comes with its text, so the log never shows an empty one.
    QVERIFY(!rdr.result().detail.isEmpty());
    QCOMPARE(rdr.result().detail, ReaderAccessTables::codeText(code));
    QCOMPARE(rdr.readerHandle(), -1);
    QCOMPARE(reader.device->dumpTables(), before);
}

void TestAccessExchange::eventsOfSeveralDates_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("maxFrame");
    QTest::newRow("short range") << 100 << 1024;
    QTest::newRow("long range with antenna") << 101 << 1024;
    QTest::newRow("long range, many answers") << 863 << 60;
}

void TestAccessExchange::eventsOfSeveralDates()
{
    QFETCH(int, type);
    QFETCH(int, maxFrame);
    VirtualReaderSetup setup = SimFixture::setupOf(type);
    setup.maxFrameLength = maxFrame;
    SimFixture reader(setup);
    const AccessDataSet set = compiledSet(type, 2);
    MyRdrKelvara update(m_env->settings, type);
    update.runUpdateAccessConfiguration(reader.tcp(), set);
    QVERIFY(update.result().ok());

    const ReaderAccessTables expected = expectedTables(set, iddLengthOf(type));
    const QByteArray known = expected.accessRecords().first().idd;
    const std::vector<uint8_t> knownId(known.begin(), known.end());
    const std::vector<uint8_t> unknownId(size_t(iddLengthOf(type)), 0x5A);
    reader.device->setInputs(0x02);
    const SimDateTime monday{2035, 1, 8, 8, 30, 15};
    const SimDateTime saturdayNight{2035, 1, 13, 23, 0, 0};
    const SimDateTime newYear{2036, 1, 1, 0, 0, 1};
    reader.device->presentAt(knownId, monday, 2);
    reader.device->presentAt(unknownId, saturdayNight, 1);
    for (int i = 0; i < 6; ++i)
        reader.device->presentAt(knownId, newYear, 1);

    MyRdrKelvara rdr(m_env->settings, type);
    rdr.runReadEventTable(reader.tcp());
    QVERIFY2(rdr.result().ok(), qPrintable(rdr.describeError(QStringLiteral("events"))));
    const QList<ReaderEvent> &events = rdr.events();
    QCOMPARE(events.size(), 8);
    QCOMPARE(events.at(0).idd, QString::fromLatin1(known.toHex().toUpper()));
    QCOMPARE(events.at(0).dateTime, QDateTime(QDate(2035, 1, 8), QTime(8, 30, 15)));
    QCOMPARE(events.at(1).dateTime, QDateTime(QDate(2035, 1, 13), QTime(23, 0, 0)));
    QCOMPARE(events.at(7).dateTime, QDateTime(QDate(2036, 1, 1), QTime(0, 0, 1)));
    QVERIFY(!events.at(1).granted);
    QCOMPARE(int(events.at(1).errorNumber), 1);
    QCOMPARE(events.at(1).idd, QStringLiteral("5A").repeated(iddLengthOf(type)));
    QCOMPARE(int(events.at(0).inputState), 0x82);
    const bool longRange = type != 100;
    QCOMPARE(events.at(0).antenna, longRange ? 2 : 0);
    QVERIFY(m_env->readLog(QStringLiteral("Door"))
                .contains(QStringLiteral("*** Read Event Table ***")));
    QCOMPARE(rdr.readerHandle(), -1);
}

void TestAccessExchange::noEventsIsSuccess()
{
    SimFixture reader(SimFixture::setupOf(100));
    MyRdrKelvara rdr(m_env->settings, 100);
    rdr.runReadEventTable(reader.tcp());
    QVERIFY(rdr.result().ok());
    QVERIFY(rdr.events().isEmpty());
}

void TestAccessExchange::saveAccessConfiguration()
{
    const AccessDataSet set = compiledSet(101, 4);
    const QString path = m_env->project.filePath(QStringLiteral("ACCESS.INI"));
    MyRdrKelvara rdr(m_env->settings, 101);
    QVERIFY(rdr.saveAccessConfiguration(path, QStringLiteral("Gate 2"), set));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), expectedTables(set, 12).fileContent());
    QVERIFY(m_env->readLog(QStringLiteral("Gate 2"))
                .contains(QStringLiteral("*** Save Access Configuration ***")));
}

void TestAccessExchange::saveAccessConfigurationFailure()
{
    // A file in a folder that does not exist cannot be written.
    const QString path = m_env->project.filePath(QStringLiteral("missing/ACCESS.INI"));
    MyRdrKelvara rdr(m_env->settings, 100);
    QVERIFY(!rdr.saveAccessConfiguration(path, QStringLiteral("Gate 3"), compiledSet(100, 1)));
    QCOMPARE(rdr.result().code, -1006);
    QVERIFY(m_env->readLog(QStringLiteral("Gate 3"))
                .contains(QStringLiteral("Write file '%1': ").arg(path)));
}

KX_TEST_MAIN(TestAccessExchange)
#include "tst_accessexchange.moc"

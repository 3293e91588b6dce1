// The table exchange against scripted readers: CRC, frame split, the length
// checks of the reads, the event parser and readers that answer nonsense.
#include "access/readeraccesstables.h"
#include "reader/tableexchange.h"
#include "support/testsupport.h"

#include <QDateTime>

Q_DECLARE_METATYPE(QList<int>)

namespace {

struct Call
{
    quint8 mode, flags, table;
    QByteArray request;
};

// A reader that records every call and answers from a script.
struct Script
{
    QList<Call> calls;
    std::function<int(const Call &, QByteArray *)> answer;

    TableExchange::Exchange exchange()
    {
        return [this](quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
                      QByteArray *out) {
            calls << Call{mode, flags, table, request};
            return answer ? answer(calls.last(), out) : 0;
        };
    }
};

QByteArray frame(int count, int size, const QByteArray &records)
{
    return RecordFrame::head(count, size) + records;
}

ReaderAccessTables tablesWith(int timezones, int holidays, int access)
{
    ReaderAccessTables t;
    t.setIddLength(4);
    for (int i = 0; i < timezones; ++i) {
        TimezoneRecord r;
        r.days = quint8(1 << (i % 7));
        r.startHour = quint8(i);
        r.endHour = quint8(i + 1);
        t.addTimezone(r);
    }
    for (int i = 0; i < holidays; ++i)
        t.addHoliday(HolidayRecord::fromDate(QDate(2030, 1, 1).addDays(i)));
    for (int i = 0; i < access; ++i)
        t.addAccess(QByteArray::fromHex(QByteArray::number(0x10000000 + i, 16)), quint16(i));
    return t;
}

} // namespace

class TestTableExchange : public QObject
{
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void frameSplit_data();
    void frameSplit();
    void writeFailures_data();
    void writeFailures();
    void readChecks_data();
    void readChecks();
    void events_data();
    void events();
    void eventReadsEndOnNonsense();
};

void TestTableExchange::crc_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::newRow("nothing") << QByteArray() << 0xFFFF;
    QTest::newRow("abc") << QByteArray("abc") << 0x0EB3;
}

void TestTableExchange::crc()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(TableExchange::crc16(bytes)), crc);
    // Frames fold into one CRC as if the records were one run of bytes.
    const QByteArray more("0123456789");
    QCOMPARE(TableExchange::crc16(more, TableExchange::crc16(bytes)),
             TableExchange::crc16(bytes + more));
}

void TestTableExchange::frameSplit_data()
{
    QTest::addColumn<int>("maxFrame");
    QTest::addColumn<int>("timezones");
    QTest::addColumn<int>("holidays");
    QTest::addColumn<int>("access");
    QTest::addColumn<QList<int>>("timezoneFrames");
    QTest::addColumn<QList<int>>("holidayFrames");
    QTest::addColumn<QList<int>>("accessFrames");
    QTest::newRow("empty tables") << 60 << 0 << 0 << 0 << QList<int>{0} << QList<int>{0}
                                  << QList<int>{0};
    QTest::newRow("three timezones fill a frame of 60")
        << 60 << 3 << 1 << 1 << QList<int>{3, 0} << QList<int>{1} << QList<int>{1};
    QTest::newRow("seven timezones")
        << 60 << 7 << 14 << 7 << QList<int>{3, 3, 1} << QList<int>{14, 0} << QList<int>{6, 1};
    QTest::newRow("large frames") << 1024 << 15 << 20 << 100 << QList<int>{15} << QList<int>{20}
                                  << QList<int>{100};
}

void TestTableExchange::frameSplit()
{
    QFETCH(int, maxFrame);
    QFETCH(int, timezones);
    QFETCH(int, holidays);
    QFETCH(int, access);
    QFETCH(QList<int>, timezoneFrames);
    QFETCH(QList<int>, holidayFrames);
    QFETCH(QList<int>, accessFrames);
    const ReaderAccessTables tables = tablesWith(timezones, holidays, access);
    Script script;
    script.answer = [maxFrame](const Call &c, QByteArray *out) {
        if (c.mode == 1)
            *out = QByteArray::fromHex(QByteArray::number(maxFrame, 16).rightJustified(4, '0')) +
                   QByteArray(2, '\x7F');
        return 0;
    };
    TableExchange x(script.exchange());
    QCOMPARE(x.writeTables(tables), 0);
    QCOMPARE(x.frameCounts(2), timezoneFrames);
    QCOMPARE(x.frameCounts(3), holidayFrames);
    QCOMPARE(x.frameCounts(4), accessFrames);

    // What went out: metadata, the frames of each table in order, the finish.
    QCOMPARE(script.calls.first().mode, quint8(1));
    QCOMPARE(script.calls.first().request, tables.metadata().toBytes());
    QByteArray records[3];
    for (const Call &c : qAsConst(script.calls)) {
        if (c.mode != 3)
            continue;
        QVERIFY(c.request.size() <= maxFrame);
        records[c.table - 2] += c.request.mid(RecordFrame::HeadSize);
    }
    const Call &last = script.calls.last();
    QCOMPARE(last.mode, quint8(2));
    QCOMPARE(last.flags, quint8(0));
    QCOMPARE(last.table, quint8(0));
    const quint16 crcs[4] = {TableExchange::crc16(tables.metadata().toBytes()),
                             TableExchange::crc16(records[0]), TableExchange::crc16(records[1]),
                             TableExchange::crc16(records[2])};
    QByteArray finish;
    for (quint16 c : crcs)
        finish += char(c >> 8), finish += char(c & 0xFF);
    QCOMPARE(last.request, finish);
    // Only the last frame of a table goes without the "more" flag.
    for (int i = 0; i + 1 < script.calls.size(); ++i) {
        const Call &c = script.calls.at(i);
        const Call &next = script.calls.at(i + 1);
        if (c.mode == 3)
            QCOMPARE(c.flags, quint8(next.mode == 3 && next.table == c.table ? 0x80 : 0));
    }
}

void TestTableExchange::writeFailures_data()
{
    QTest::addColumn<int>("iddLength");
    QTest::addColumn<int>("failAtCall");
    QTest::addColumn<int>("rc");
    QTest::addColumn<QByteArray>("metadataAnswer");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("lastCode");
    QTest::addColumn<int>("calls");
    QTest::newRow("no identifier length")
        << 0 << -1 << 0 << QByteArray(4, '\x01') << -1001 << -1001 << 0;
    QTest::newRow("short metadata answer")
        << 4 << -1 << 0 << QByteArray(3, '\x01') << -1000 << -1000 << 1;
    QTest::newRow("status on a frame") << 4 << 2 << 0x14 << QByteArray(4, '\x01') << 0x14 << 0 << 3;
    QTest::newRow("link lost on the finish")
        << 4 << 4 << -1209 << QByteArray(4, '\x01') << -1209 << 0 << 5;
}

void TestTableExchange::writeFailures()
{
    QFETCH(int, iddLength);
    QFETCH(int, failAtCall);
    QFETCH(int, rc);
    QFETCH(QByteArray, metadataAnswer);
    QFETCH(int, result);
    QFETCH(int, lastCode);
    QFETCH(int, calls);
    ReaderAccessTables tables = tablesWith(1, 1, 1);
    if (iddLength == 0)
        tables.reset();
    Script script;
    script.answer = [&](const Call &c, QByteArray *out) {
        if (script.calls.size() - 1 == failAtCall)
            return rc;
        if (c.mode == 1)
            *out = metadataAnswer;
        return 0;
    };
    TableExchange x(script.exchange());
    QCOMPARE(x.writeTables(tables), result);
    QCOMPARE(int(x.lastCode()), lastCode);
    QCOMPARE(script.calls.size(), calls);
}

void TestTableExchange::readChecks_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("timezones");

    const QByteArray metadata =
        frame(1, 16, QByteArray::fromHex("00000201000104030000000000000000"));
    const QByteArray tz = QByteArray::fromHex("01011e1f0c2d3e07001200");
    const QByteArray hol = QByteArray::fromHex("010123");
    const QByteArray acc = QByteArray::fromHex("0102030480010000");
    const QByteArray acc4 = QByteArray::fromHex("01020304800100");
    QTest::newRow("complete") << QList<QByteArray>{metadata, frame(1, 11, tz), frame(1, 11, tz),
                                                   frame(1, 3, hol), frame(1, 7, acc4)}
                              << QList<int>{0, 148, 0, 0, 0} << 0 << 2;
    QTest::newRow("empty tables") << QList<QByteArray>{metadata, {}, {}, {}}
                                  << QList<int>{0, 146, 146, 146} << 0 << 0;
    QTest::newRow("metadata of 18 bytes")
        << QList<QByteArray>{metadata.left(18)} << QList<int>{0} << -1000 << 0;
    QTest::newRow("metadata with wrong head")
        << QList<QByteArray>{frame(2, 8, metadata.mid(3))} << QList<int>{0} << -1000 << 0;
    QTest::newRow("timezone count disagrees")
        << QList<QByteArray>{metadata, frame(2, 11, tz)} << QList<int>{0, 0} << -1000 << 0;
    QTest::newRow("timezone record size")
        << QList<QByteArray>{metadata, frame(1, 10, tz.left(10))} << QList<int>{0, 0} << -1000 << 0;
    QTest::newRow("access record of the wrong size")
        << QList<QByteArray>{metadata, {}, {}, frame(1, 8, acc)} << QList<int>{0, 146, 146, 0}
        << -1000 << 0;
    QTest::newRow("more data without records")
        << QList<QByteArray>{metadata, frame(0, 11, {})} << QList<int>{0, 148} << -1000 << 0;
    QTest::newRow("reader status")
        << QList<QByteArray>{metadata, {}} << QList<int>{0, 0x11} << 0x11 << 0;
}

void TestTableExchange::readChecks()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(QList<int>, statuses);
    QFETCH(int, result);
    QFETCH(int, timezones);
    Script script;
    script.answer = [&](const Call &, QByteArray *out) {
        const int i = script.calls.size() - 1;
        if (i >= answers.size())
            return 146;
        *out = answers.at(i);
        return statuses.at(i);
    };
    ReaderAccessTables tables;
    tables.setIddLength(7);
    TableExchange x(script.exchange());
    QCOMPARE(x.readTables(tables), result);
    QCOMPARE(tables.timezones().size(), timezones);
    if (result == 0 && timezones == 2) {
        // The index asked for moves on by the records received.
        QCOMPARE(script.calls.at(1).request, QByteArray::fromHex("0000"));
        QCOMPARE(script.calls.at(2).request, QByteArray::fromHex("0001"));
        QCOMPARE(tables.iddLength(), 4);
        QCOMPARE(tables.accessRecords().first().flags, quint16(0x8001));
    }
    QCOMPARE(x.lastCode() != 0, result == -1000);
}

void TestTableExchange::events_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("idd");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("antenna");
    const QDateTime t(QDate(2026, 12, 7), QTime(8, 30, 15));
    QTest::newRow("all fields") << QByteArray::fromHex("1f0001"
                                                       "010001"
                                                       "03a1b2c3"
                                                       "070c1a081e0f"
                                                       "010000"
                                                       "02"
                                                       "02")
                                << true << 1 << "A1B2C3" << t << true << 0x82 << 0 << 2;
    QTest::newRow("short range, no antenna") << QByteArray::fromHex("0f0001"
                                                                    "010001"
                                                                    "02a1b2"
                                                                    "070c1a081e0f"
                                                                    "000002"
                                                                    "00")
                                             << true << 1 << "A1B2" << t << false << 0x80 << 2 << 0;
    QTest::newRow("identifier only") << QByteArray::fromHex("010002"
                                                            "010001"
                                                            "01aa"
                                                            "010002"
                                                            "00")
                                     << true << 2 << "AA" << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("impossible date") << QByteArray::fromHex("020001"
                                                            "010001"
                                                            "1f021a000000")
                                     << true << 1 << "" << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("no events") << QByteArray::fromHex("1f0000") << true << 0 << "" << QDateTime()
                               << false << 0 << 0 << 0;
    QTest::newRow("identifier over 64 bytes")
        << QByteArray::fromHex("010001010001") + char(65) + QByteArray(65, 'x') << false << 0 << ""
        << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("cut short") << QByteArray::fromHex("1f0001"
                                                      "010001"
                                                      "03a1b2c3"
                                                      "070c")
                               << false << 0 << "" << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("count larger than content")
        << QByteArray::fromHex("010002"
                               "010001"
                               "01aa")
        << false << 0 << "" << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("bytes left over") << QByteArray::fromHex("010001"
                                                            "010001"
                                                            "01aa"
                                                            "ff")
                                     << false << 0 << "" << QDateTime() << false << 0 << 0 << 0;
    QTest::newRow("no head") << QByteArray::fromHex("01") << false << 0 << "" << QDateTime()
                             << false << 0 << 0 << 0;
}

void TestTableExchange::events()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    QFETCH(int, count);
    QFETCH(QString, idd);
    QFETCH(QDateTime, when);
    QFETCH(bool, granted);
    QFETCH(int, input);
    QFETCH(int, error);
    QFETCH(int, antenna);
    QList<ReaderEvent> events;
    QCOMPARE(TableExchange::parseEvents(answer, events), ok);
    QCOMPARE(events.size(), count);
    if (count == 0)
        return;
    const ReaderEvent &e = events.first();
    QCOMPARE(e.idd, idd);
    QCOMPARE(e.dateTime, when);
    QCOMPARE(e.granted, granted);
    QCOMPARE(int(e.inputState), input);
    QCOMPARE(int(e.errorNumber), error);
    QCOMPARE(e.antenna, antenna);
}

void TestTableExchange::eventReadsEndOnNonsense()
{
    // "More events" with nothing in them must not hold the reader object forever.
    Script script;
    script.answer = [](const Call &, QByteArray *out) {
        *out = QByteArray::fromHex("1f0000");
        return 147;
    };
    TableExchange x(script.exchange());
    QList<ReaderEvent> events;
    QCOMPARE(x.readEvents(events), -1000);
    QCOMPARE(script.calls.size(), 1);
    QCOMPARE(script.calls.first().request, QByteArray::fromHex("00e6"));

    // Several answers are gathered until the last one.
    int n = 0;
    script.calls.clear();
    script.answer = [&n](const Call &, QByteArray *out) {
        *out = QByteArray::fromHex("010001"
                                   "010001"
                                   "01aa");
        return ++n < 3 ? 147 : 0;
    };
    events.clear();
    QCOMPARE(x.readEvents(events), 0);
    QCOMPARE(events.size(), 3);

    // Without a reader nothing is sent and the library's handle error comes back.
    TableExchange unbound;
    QVERIFY(unbound.readEvents(events) < 0);
}

KX_TEST_MAIN(TestTableExchange)
#include "tst_tableexchange.moc"

#include "access/accessdataset.h"
#include "access/accessrecords.h"
#include "access/readeraccesstables.h"
#include "core/errortext.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

EntryAccessRow row(const char *tag, const char *definition, const char *family, const char *first,
                   const char *hf, const char *uhf = "")
{
    EntryAccessRow r;
    r.modelTag = QString::fromLatin1(tag);
    r.modelDefinition = QString::fromLatin1(definition);
    r.familyName = QString::fromLatin1(family);
    r.firstName = QString::fromLatin1(first);
    r.iddIso14443 = QString::fromLatin1(hf);
    r.iddClass1Gen2 = QString::fromLatin1(uhf);
    return r;
}

HolidayRow holiday(const char *date)
{
    HolidayRow h;
    h.date = QString::fromLatin1(date);
    return h;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing ") + path.toLocal8Bit() + '>';
    return file.readAll();
}

QString golden(const QString &name)
{
    return QStringLiteral(KX_ACCESS_TEST_DATA) + QLatin1Char('/') + name;
}

} // namespace

using RowList = QList<EntryAccessRow>;
using HolidayList = QList<HolidayRow>;
using FlagList = QList<uint>;
Q_DECLARE_METATYPE(RowList)
Q_DECLARE_METATYPE(HolidayList)
Q_DECLARE_METATYPE(FlagList)

class TestAccessTables : public QObject
{
    Q_OBJECT
private slots:
    void recordBytes();
    void recordsRejectWrongLengths();
    void compileAndWrite_data();
    void compileAndWrite();
    void sixteenthPeriodFailsAndNothingIsFilled();
    void fifteenPeriodsAcrossUsers();
    void otherReaderTypeFailsAtIddLength();
    void readerIdentifiers_data();
    void readerIdentifiers();
    void unreadableIdentifiersAreLeftOut();
    void codeTexts_data();
    void codeTexts();
    void resetState();
    void iddLengthLimits_data();
    void iddLengthLimits();
    void holidayTableHolds255();
    void accessTableLimit();
    void accessRecordNeedsFormat3();
    void textDumps();
    void logLists();
    void fileErrorsKeepPreviousFile();
    void timesPastEndOfDay_data();
    void timesPastEndOfDay();
    void readBackRoundTrip();
    void readBackRejects_data();
    void readBackRejects();
};

void TestAccessTables::recordBytes()
{
    TableMetadata meta;
    meta.timezoneEntries = 2;
    meta.holidayEntries = 3;
    meta.accessEntries = 0x0102;
    meta.iddLength = 7;
    QCOMPARE(meta.toBytes(), QByteArray::fromHex("0000020301020703"
                                                 "0000000000000000"));
    TableMetadata back;
    QVERIFY(TableMetadata::fromBytes(meta.toBytes(), back));
    QCOMPARE(back.accessEntries, quint16(0x0102));
    QVERIFY(back == meta);

    const TimezoneRecord tz = TimezoneRecord::fromPeriod(
        TimePeriod::fromDefinition(QStringLiteral("mon,tue-08:00-17:30")));
    QCOMPARE(tz.toBytes(), QByteArray::fromHex("0101001f0c63060800111e"));
    TimezoneRecord tzBack;
    QVERIFY(TimezoneRecord::fromBytes(tz.toBytes(), tzBack));
    QCOMPARE(tzBack.toPeriod().toDefinition(), QStringLiteral("mon,tue-08:00-17:30"));

    // A holiday window is sent with Days 0 and read back as the holiday bit alone.
    const TimezoneRecord hol =
        TimezoneRecord::fromPeriod(TimePeriod::fromDefinition(QStringLiteral("hol-09:00-12:00")));
    QCOMPARE(hol.days, quint8(0));
    QCOMPARE(hol.toPeriod().toDefinition(), QStringLiteral("hol-09:00-12:00"));

    const HolidayRecord h = HolidayRecord::fromDate(QDate(2026, 12, 24));
    QCOMPARE(h.toBytes(), QByteArray::fromHex("180c1a"));
    QCOMPARE(h.toDate(), QDate(2026, 12, 24));

    AccessRecord a;
    a.idd = QByteArray::fromHex("04a1b2c3d4e5f6");
    a.flags = 0x8003;
    QCOMPARE(a.key(), QStringLiteral("04A1B2C3D4E5F6"));
    QCOMPARE(a.toBytes(), QByteArray::fromHex("04a1b2c3d4e5f6800300"));
    AccessRecord aBack;
    QVERIFY(AccessRecord::fromBytes(a.toBytes(), 7, aBack));
    QVERIFY(aBack == a);
}

void TestAccessTables::recordsRejectWrongLengths()
{
    TableMetadata meta;
    QVERIFY(!TableMetadata::fromBytes(QByteArray(15, '\0'), meta));
    TimezoneRecord tz;
    QVERIFY(!TimezoneRecord::fromBytes(QByteArray(12, '\0'), tz));
    HolidayRecord h;
    QVERIFY(!HolidayRecord::fromBytes(QByteArray(2, '\0'), h));
    AccessRecord a;
    QVERIFY(!AccessRecord::fromBytes(QByteArray(10, '\0'), 8, a));
}

void TestAccessTables::compileAndWrite_data()
{
    QTest::addColumn<int>("readerType");
    QTest::addColumn<RowList>("rows");
    QTest::addColumn<HolidayList>("holidays");
    QTest::addColumn<QStringList>("keysByIndex"); // index 0.. then the always key if any
    QTest::addColumn<FlagList>("flags");
    QTest::addColumn<QString>("goldenFile");

    const char *office = "mon,tue,wed,thu,fri-06:00-20:00|sat-08:00-12:00";
    QTest::newRow("shared model, one timezone per period")
        << 100
        << RowList{row("S1", office, "Berger", "Anna", "04a1b2c3d4e5f6-04"),
                   row("S1", office, "Okafor", "Chidi", "04112233445566-04"),
                   row("S1", office, "Lund", "Mia", "")}
        << HolidayList{holiday("2026.12.24"), holiday("2027.01.01")}
        << QStringList{QStringLiteral("S1#mon,tue,wed,thu,fri-06:00-20:00"),
                       QStringLiteral("S1#sat-08:00-12:00")}
        << FlagList{0x3, 0x3} << "shared-model.ini";

    QTest::newRow("identical definitions under two tags")
        << 100
        << RowList{row("A", "mon-07:00-19:00", "Abel", "Ida", "0401020304050607-04"),
                   row("B", "mon-07:00-19:00", "Brandt", "Tom", "e004010203040506-03")}
        << HolidayList{}
        << QStringList{QStringLiteral("A#mon-07:00-19:00"), QStringLiteral("B#mon-07:00-19:00")}
        << FlagList{0x1, 0x2} << "two-tags.ini";

    QTest::newRow("holiday period split in two")
        << 100 << RowList{row("H", "tue,mon,hol-08:00-17:00", "Haas", "Eva", "04aabbccddeeff-04")}
        << HolidayList{holiday("2026.12.25")}
        << QStringList{QStringLiteral("H#mon,tue-08:00-17:00"), QStringLiteral("H#hol-08:00-17:00")}
        << FlagList{0x3} << "holiday-split.ini";

    QTest::newRow("always period is bit 15 only")
        << 100
        << RowList{row("***", "*-*-*", "Chef", "Max", "04000000000001-04"),
                   row("S2", "sat-05:00-14:00", "Zoll", "Pia", "04000000000002-04")}
        << HolidayList{}
        << QStringList{QStringLiteral("S2#sat-05:00-14:00"), QStringLiteral("***#*-*-*")}
        << FlagList{0x8000, 0x1} << "always.ini";

    // A never field between two valid ones, as the editor writes it, neither
    // ends the timezone table nor takes an index.
    QTest::newRow("never period between valid ones")
        << 100
        << RowList{row("N", "mon-06:00-20:00||sat-05:00-14:00|sun-22:00-06:00", "Nagel", "Udo",
                       "04000000000003-04"),
                   row("P", "fri-10:00-11:00", "Pohl", "Ute", "04000000000004-04")}
        << HolidayList{}
        << QStringList{QStringLiteral("N#mon-06:00-20:00"), QStringLiteral("N#sat-05:00-14:00"),
                       QStringLiteral("P#fri-10:00-11:00")}
        << FlagList{0x3, 0x4} << "never-between.ini";

    // Identifiers equal in their first seven bytes give one record: the first row's.
    QTest::newRow("identifiers equal in the first IDD-Length bytes")
        << 100
        << RowList{row("S1", "mon-06:00-07:00", "Erst", "Ada", "04a1b2c3d4e5f6aa-04"),
                   row("S2", "tue-06:00-07:00", "Zweit", "Bea", "04a1b2c3d4e5f6bb-04"),
                   row("S1", "mon-06:00-07:00", "Kurz", "Cem", "0a0b-04")}
        << HolidayList{}
        << QStringList{QStringLiteral("S1#mon-06:00-07:00"), QStringLiteral("S2#tue-06:00-07:00")}
        << FlagList{0x1, 0x2, 0x1} << "prefix-duplicates.ini";

    QTest::newRow("long range reader takes the EPC")
        << 863
        << RowList{row("U", "mon,tue,wed,thu,fri,sat,sun,hol-05:00-21:00", "Ilic", "Goran",
                       "04a1b2c3d4e5f6-04", "3000e2003412b802011a2b3c4d5e-84"),
                   row("U", "mon,tue,wed,thu,fri,sat,sun,hol-05:00-21:00", "Jahn", "Lea",
                       "04a1b2c3d4e5f7-04", "")}
        << HolidayList{holiday("2027.05.01")}
        << QStringList{QStringLiteral("U#sun,mon,tue,wed,thu,fri,sat-05:00-21:00"),
                       QStringLiteral("U#hol-05:00-21:00")}
        << FlagList{0x3} << "long-range.ini";

    // Times that cannot be read make the period never, also when it is split
    // for holidays: no whole-day window may come out of it.
    QTest::newRow("unreadable periods give no windows")
        << 100
        << RowList{row("G", "mon,hol-0600-2000|tue-07:00-0800|wed-07:00-08:00", "Gast", "Olga",
                       "04000000000005-04")}
        << HolidayList{} << QStringList{QStringLiteral("G#wed-07:00-08:00")} << FlagList{0x1}
        << "unreadable.ini";

    QTest::newRow("empty access table")
        << 101 << RowList{} << HolidayList{} << QStringList{} << FlagList{} << "empty.ini";
}

void TestAccessTables::compileAndWrite()
{
    QFETCH(int, readerType);
    QFETCH(RowList, rows);
    QFETCH(HolidayList, holidays);
    QFETCH(QStringList, keysByIndex);
    QFETCH(FlagList, flags);
    QFETCH(QString, goldenFile);

    AccessDataSet dataSet;
    QVERIFY(dataSet.compile(rows, holidays, readerType));
    QVERIFY(dataSet.isValid());
    QCOMPARE(dataSet.holidays().size(), holidays.size());

    QStringList keys;
    for (int i = 0; i <= AccessDataSet::AlwaysIndex; ++i) {
        if (!dataSet.keyOfIndex(i).isNull())
            keys << dataSet.keyOfIndex(i);
    }
    QCOMPARE(keys, keysByIndex);
    QCOMPARE(dataSet.periodIndex().size(), keysByIndex.size());

    FlagList entryFlags;
    for (const AccessEntry &entry : dataSet.entries())
        entryFlags << entry.flags;
    QCOMPARE(entryFlags, flags);

    ReaderAccessTables tables;
    QCOMPARE(tables.fill(dataSet, AccessDataSet::iddLengthFor(readerType, 7, 12)), 0);
    // Filling again starts over instead of appending a second set of windows.
    QCOMPARE(tables.fill(dataSet, AccessDataSet::iddLengthFor(readerType, 7, 12)), 0);
    QCOMPARE(tables.lastCode(), 0);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ACCESS.INI"));
    QCOMPARE(tables.writeFile(path), 0);
    QCOMPARE(readFile(path), readFile(golden(goldenFile)));
}

void TestAccessTables::sixteenthPeriodFailsAndNothingIsFilled()
{
    QStringList periods;
    for (int hour = 0; hour < 16; ++hour)
        periods << QStringLiteral("mon-%1:00-%1:30").arg(hour, 2, 10, QLatin1Char('0'));
    EntryAccessRow r;
    r.modelTag = QStringLiteral("M");
    r.familyName = QStringLiteral("Voll");
    r.iddIso14443 = QStringLiteral("04000000000009-04");

    // Fifteen fit.
    r.modelDefinition = periods.mid(0, 15).join(QLatin1Char('|'));
    AccessDataSet fifteen;
    QVERIFY(fifteen.compile({r}, {}, 100));
    ReaderAccessTables full;
    QCOMPARE(full.fill(fifteen, 7), 0);
    QCOMPARE(full.timezones().size(), 15);
    QCOMPARE(full.accessRecords().first().flags, quint16(0x7FFF));

    // The sixteenth fails; its key takes no index, so bit 15 (always) stays clear.
    r.modelDefinition = periods.join(QLatin1Char('|'));
    AccessDataSet sixteen;
    QVERIFY(!sixteen.compile({r}, {}, 100));
    QVERIFY(!sixteen.isValid());
    QCOMPARE(sixteen.overflowKeys(), QStringList{QStringLiteral("M#mon-15:00-15:30")});
    QCOMPARE(sixteen.entries().first().flags, 0x7FFFu);
    QVERIFY(!sixteen.periodIndex().contains(QStringLiteral("M#mon-15:00-15:30")));

    ReaderAccessTables tables;
    QCOMPARE(tables.fill(sixteen, 7), qint32(ReaderAccessTables::TableFull));
    QCOMPARE(tables.failedItem(), QStringLiteral("Set period M#mon-15:00-15:30"));
    QVERIFY(tables.timezones().isEmpty());
    QVERIFY(tables.accessRecords().isEmpty());
    QCOMPARE(tables.lastError().code, qint32(-1003));
}

void TestAccessTables::fifteenPeriodsAcrossUsers()
{
    // Keys are counted across users; the always-period does not count.
    RowList rows;
    for (int i = 0; i < 15; ++i) {
        rows << row("T", "", "U", "V", "04000000000010-04");
        rows.last().modelTag = QStringLiteral("T%1").arg(i);
        rows.last().modelDefinition =
            QStringLiteral("wed-%1:00-23:00").arg(i, 2, 10, QLatin1Char('0'));
        rows.last().iddIso14443 =
            QStringLiteral("040000000000%1-04").arg(i, 2, 16, QLatin1Char('0'));
    }
    rows << row("***", "*-*-*", "All", "Ways", "04ffffffffffff-04");
    AccessDataSet dataSet;
    QVERIFY(dataSet.compile(rows, {}, 100));
    QCOMPARE(dataSet.periodIndex().value(QStringLiteral("T14#wed-14:00-23:00")), 14);
    QCOMPARE(dataSet.periodIndex().value(QStringLiteral("***#*-*-*")), 15);
    QCOMPARE(dataSet.entries().last().flags, 0x8000u);

    rows << row("X", "thu-01:00-02:00", "One", "More", "04eeeeeeeeeeee-04");
    QVERIFY(!dataSet.compile(rows, {}, 100));
}

void TestAccessTables::otherReaderTypeFailsAtIddLength()
{
    const RowList rows{row("S1", "mon-06:00-20:00", "Berger", "Anna", "04a1b2c3d4e5f6-04",
                           "3000e2003412b802011a2b3c4d5e-84")};
    AccessDataSet dataSet;
    QVERIFY(dataSet.compile(rows, {holiday("2026.12.24")}, 54));
    QVERIFY(dataSet.entries().isEmpty());
    QCOMPARE(AccessDataSet::iddLengthFor(54, 7, 12), 0);

    ReaderAccessTables tables;
    QCOMPARE(tables.fill(dataSet, AccessDataSet::iddLengthFor(54, 7, 12)),
             qint32(ReaderAccessTables::IddLengthError));
    QCOMPARE(tables.holidays().size(), 1); // the earlier steps ran
    QVERIFY(tables.accessRecords().isEmpty());

    // Without an identifier length the file is refused before anything is written.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ACCESS.INI"));
    QCOMPARE(tables.writeFile(path), qint32(ReaderAccessTables::MetadataError));
    QVERIFY(!QFile::exists(path));
}

void TestAccessTables::readerIdentifiers_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("key"); // hex; empty: never sent

    QTest::newRow("project length as is")
        << QByteArray("04a1b2c3d4e5f6-04") << 7 << QByteArray("04a1b2c3d4e5f6");
    // As a tag read at the desk reader is stored: zero bytes in front.
    QTest::newRow("short extended in front")
        << QByteArray("a1b2c3d4-04") << 7 << QByteArray("000000a1b2c3d4");
    QTest::newRow("long cut") << QByteArray("04a1b2c3d4e5f6aa-04") << 7
                              << QByteArray("04a1b2c3d4e5f6");
    QTest::newRow("EPC extended in front")
        << QByteArray("3000e200-84") << 4 << QByteArray("0000e200");
    QTest::newRow("not hex") << QByteArray("zz11-04") << 7 << QByteArray();
    QTest::newRow("no type") << QByteArray("ZZZZ") << 7 << QByteArray();
    QTest::newRow("unknown type") << QByteArray("0102-07") << 7 << QByteArray();
    QTest::newRow("blank") << QByteArray("00000000000000-04") << 7 << QByteArray();
    QTest::newRow("blank after the cut")
        << QByteArray("0000000000000000ff-04") << 7 << QByteArray();
    QTest::newRow("blank EPC") << QByteArray("300000000000-84") << 4 << QByteArray();
}

void TestAccessTables::readerIdentifiers()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, length);
    QFETCH(QByteArray, key);
    QCOMPARE(ReaderAccessTables::readerIdd(stored, length).toHex(), key);
}

void TestAccessTables::unreadableIdentifiersAreLeftOut()
{
    // An identifier that does not parse, or a blank one, must never become an
    // all-zero record with the user's rights: a blank tag would open the door.
    const RowList rows{row("S1", "mon-06:00-20:00", "Kaputt", "Kai", "zz11-04"),
                       row("S1", "mon-06:00-20:00", "Fremd", "Fee", "0102-07"),
                       row("S1", "mon-06:00-20:00", "Leer", "Lia", "0000-04"),
                       row("S1", "mon-06:00-20:00", "Gut", "Gil", "a1b2c3d4-04")};
    AccessDataSet dataSet;
    QVERIFY(dataSet.compile(rows, {}, 100, 7));
    QCOMPARE(dataSet.entries().size(), 1);
    QCOMPARE(dataSet.leftOut().size(), 3);
    QVERIFY(dataSet.leftOutLog().contains(QStringLiteral("zz11-04;Kaputt;Kai;S1")));
    QVERIFY(!dataSet.userLog().contains(QStringLiteral("Kaputt")));
    ReaderAccessTables tables;
    QCOMPARE(tables.fill(dataSet, 7), 0);
    QCOMPARE(tables.accessRecords().keys(), QStringList{QStringLiteral("000000A1B2C3D4")});

    // A hand-built set reaches the table unchecked; the table leaves them out too.
    AccessDataSet handBuilt;
    handBuilt.setEntries({AccessEntry{"zz11-04", 1, {}, {}, {}, {}},
                          AccessEntry{"00000000000000-04", 1, {}, {}, {}, {}}});
    QCOMPARE(tables.fill(handBuilt, 7), 0);
    QVERIFY(tables.accessRecords().isEmpty());
    QCOMPARE(tables.leftOut(), 2);
}

void TestAccessTables::codeTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("table full") << int(ReaderAccessTables::TableFull);
    QTest::newRow("file error") << int(ReaderAccessTables::FileError);
}

void TestAccessTables::codeTexts()
{
    QFETCH(int, code);
    // Each fault happens for real: a sixteenth timezone, a file in a missing folder.
    ReaderAccessTables tables;
    QVERIFY(tables.setIddLength(7) == 0);
    if (code == ReaderAccessTables::TableFull) {
        for (int i = 0; i < ReaderAccessTables::MaxTimezones; ++i)
            QCOMPARE(tables.addTimezone(TimezoneRecord()), 0);
        QCOMPARE(tables.addTimezone(TimezoneRecord()), qint32(code));
    } else {
        QTemporaryDir dir;
        QCOMPARE(tables.writeFile(dir.filePath(QStringLiteral("gone/ACCESS.INI"))), qint32(code));
    }
    QCOMPARE(tables.lastError().code, qint32(code));
    QVERIFY(!tables.lastError().detail.isEmpty());
    QVERIFY(errorText(tables.lastError()).startsWith(tables.lastError().detail));
}

void TestAccessTables::resetState()
{
    ReaderAccessTables tables;
    QCOMPARE(tables.setIddLength(7), 0);
    QCOMPARE(tables.addTimezone(TimezoneRecord()), 0);
    QCOMPARE(tables.addHoliday(HolidayRecord::fromDate(QDate(2026, 1, 1))), 0);
    QCOMPARE(tables.addAccess(QByteArray(7, '\x01'), 1), 0);
    QCOMPARE(tables.setIddLength(0), qint32(-1004));
    tables.reset();
    QVERIFY(tables.timezones().isEmpty());
    QVERIFY(tables.holidays().isEmpty());
    QVERIFY(tables.accessRecords().isEmpty());
    QCOMPARE(tables.iddFormat(), 3);
    QCOMPARE(tables.iddLength(), 0);
    QCOMPARE(tables.lastCode(), 0);
    const TableMetadata meta = tables.metadata();
    QCOMPARE(meta.toBytes(), QByteArray::fromHex("00000000000000030000000000000000"));
}

void TestAccessTables::iddLengthLimits_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0 << -1004;
    QTest::newRow("1") << 1 << 0;
    QTest::newRow("64") << 64 << 0;
    QTest::newRow("65") << 65 << -1004;
    QTest::newRow("negative") << -3 << -1004;
}

void TestAccessTables::iddLengthLimits()
{
    QFETCH(int, length);
    QFETCH(int, code);
    ReaderAccessTables tables;
    QCOMPARE(tables.setIddLength(length), code);
    QCOMPARE(tables.lastCode(), code);
}

void TestAccessTables::holidayTableHolds255()
{
    // The count travels in one byte: a 256th holiday would wrap it to 0.
    QList<QDate> dates;
    for (int i = 0; i < 256; ++i)
        dates << QDate(2026, 1, 1).addDays(i);
    AccessDataSet dataSet;
    dataSet.setHolidays(dates.mid(0, 255));
    ReaderAccessTables tables;
    QCOMPARE(tables.fillHolidays(dataSet), 0);
    QCOMPARE(tables.metadata().holidayEntries, quint8(255));

    dataSet.setHolidays(dates);
    tables.reset();
    QCOMPARE(tables.fillHolidays(dataSet), qint32(ReaderAccessTables::TableFull));
    QCOMPARE(tables.holidays().size(), 255);
    QCOMPARE(tables.failedItem(), QStringLiteral("Set holiday 13.09.2026"));
}

void TestAccessTables::accessTableLimit()
{
    ReaderAccessTables tables;
    QCOMPARE(tables.setIddLength(3), 0);
    for (int i = 0; i < ReaderAccessTables::MaxAccessRecords; ++i) {
        const char bytes[3] = {char(i >> 16), char(i >> 8), char(i)};
        const QByteArray idd(bytes, 3);
        if (tables.addAccess(idd, 1) != 0)
            QFAIL("record refused below the limit");
    }
    // A duplicate is still dropped silently; a new key is one too many.
    QCOMPARE(tables.addAccess(QByteArray(3, '\0'), 2), 0);
    QCOMPARE(tables.addAccess(QByteArray::fromHex("ffffff"), 1), qint32(-1003));
    QCOMPARE(tables.metadata().accessEntries, quint16(65535));
}

void TestAccessTables::accessRecordNeedsFormat3()
{
    ReaderAccessTables tables;
    QCOMPARE(tables.addAccess(QByteArray(7, '\x01'), 1), qint32(-1004)); // no length yet
    QCOMPARE(tables.setIddLength(7), 0);
    tables.setIddFormat(2);
    QCOMPARE(tables.addAccess(QByteArray(7, '\x01'), 1), qint32(-1005));
    QVERIFY(tables.accessRecords().isEmpty());
}

void TestAccessTables::textDumps()
{
    AccessDataSet dataSet;
    QVERIFY(dataSet.compile({row("S1", "tue,mon,hol-08:05-17:00", "A", "B", "04a1b2c3d4e5f6-04"),
                             row("***", "*-*-*", "C", "D", "0400000000000a-04")},
                            {holiday("2026.12.24"), holiday("2030.01.05")}, 100));
    ReaderAccessTables tables;
    QCOMPARE(tables.fill(dataSet, 7), 0);
    QCOMPARE(tables.timezoneDump(), QStringLiteral("Timezone-Table:"
                                                   "\r\n  0: days=0x06 08:05...17:00"
                                                   "\r\n  1: days=0x00 08:05...17:00"));
    QCOMPARE(tables.holidayDump(), QStringLiteral("Holiday-Table:"
                                                  "\r\n  y=26 m=12 d=24"
                                                  "\r\n  y=30 m=01 d=05"));
    QCOMPARE(tables.accessDump(), QStringLiteral("Access-Table:"
                                                 "\r\n  idd=0400000000000A flg=0x8000"
                                                 "\r\n  idd=04A1B2C3D4E5F6 flg=0x0003"));
    ReaderAccessTables empty;
    QCOMPARE(empty.accessDump(), QStringLiteral("Access-Table:"));
}

void TestAccessTables::logLists()
{
    AccessDataSet dataSet;
    QVERIFY(dataSet.compile(
        {row("S1", "mon-06:00-20:00|sat-08:00-12:00", "Berger", "Anna", "04a1b2c3d4e5f6-04"),
         row("***", "*-*-*", "Chef", "Max", "04000000000001-04")},
        {}, 100));
    QCOMPARE(dataSet.periodLog(), QStringLiteral("Periods (ModelID#Days-From-To):"
                                                 "\r\n   0: S1#mon-06:00-20:00"
                                                 "\r\n   1: S1#sat-08:00-12:00"
                                                 "\r\n  15: ***#*-*-*"));
    QCOMPARE(dataSet.userLog(), QStringLiteral("Users (IDD;Periods;LastName;FirstName;ModelID):"
                                               "\r\n   0: 04a1b2c3d4e5f6-04;0,1;Berger;Anna;S1"
                                               "\r\n   1: 04000000000001-04;15;Chef;Max;***"));
}

void TestAccessTables::fileErrorsKeepPreviousFile()
{
    AccessDataSet dataSet;
    QVERIFY(
        dataSet.compile({row("S1", "mon-06:00-20:00", "A", "B", "04a1b2c3d4e5f6-04")}, {}, 100));
    ReaderAccessTables tables;
    QCOMPARE(tables.fill(dataSet, 7), 0);

    QTemporaryDir dir;
    QCOMPARE(tables.writeFile(dir.filePath(QStringLiteral("missing/ACCESS.INI"))),
             qint32(ReaderAccessTables::FileError));
    QCOMPARE(tables.lastCode(), qint32(-1006));
    QCOMPARE(tables.writeFile(dir.path()), qint32(ReaderAccessTables::FileError));

    // A refused table leaves the file that was there untouched.
    const QString path = dir.filePath(QStringLiteral("ACCESS.INI"));
    QCOMPARE(tables.writeFile(path), 0);
    const QByteArray before = readFile(path);
    QVERIFY(before.startsWith("Metadaten\n"));
    tables.setIddFormat(0);
    QCOMPARE(tables.writeFile(path), qint32(ReaderAccessTables::MetadataError));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ACCESS.INI")});
}

void TestAccessTables::timesPastEndOfDay_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QByteArray>("times"); // start hour, minute, end hour, minute

    QTest::newRow("in range kept") << "mon-06:00-24:00" << QByteArray::fromHex("06001800");
    // A period with a time off the clock is never: a window without time.
    QTest::newRow("end past midnight") << "mon-06:00-25:30" << QByteArray::fromHex("18001800");
    // Cut to a byte, 256:00 would have been 00:00 and opened the whole Monday.
    QTest::newRow("wrapping hours") << "mon-256:00-300:00" << QByteArray::fromHex("18001800");
    // Minute 600 cut to a byte is 88: "00:88-24:00" opened from 01:28.
    QTest::newRow("minutes past 59") << "mon-0:600-30:0" << QByteArray::fromHex("18001800");
    QTest::newRow("24 with minutes") << "mon-06:00-24:30" << QByteArray::fromHex("18001800");
}

void TestAccessTables::timesPastEndOfDay()
{
    QFETCH(QString, definition);
    QFETCH(QByteArray, times);
    const TimezoneRecord record =
        TimezoneRecord::fromPeriod(TimePeriod::fromDefinition(definition));
    QCOMPARE(record.toBytes().mid(7), times);
}

void TestAccessTables::readBackRoundTrip()
{
    AccessDataSet dataSet;
    QVERIFY(
        dataSet.compile({row("H", "tue,mon,hol-08:00-17:00", "Haas", "Eva", "04aabbccddeeff-04"),
                         row("S", "sat-05:00-14:00", "Zoll", "Pia", "04000000000002-04")},
                        {holiday("2026.12.25")}, 100));
    ReaderAccessTables sent;
    QCOMPARE(sent.fill(dataSet, 7), 0);

    // The frames a reader answers with: head, then the records' bytes.
    QByteArray timezones = RecordFrame::head(sent.timezones().size(), TimezoneRecord::Size);
    for (const TimezoneRecord &r : sent.timezones())
        timezones += r.toBytes();
    QByteArray holidays = RecordFrame::head(1, HolidayRecord::Size);
    holidays += sent.holidays().first().toBytes();
    QByteArray access = RecordFrame::head(1, 10) + sent.accessRecords().first().toBytes();
    QByteArray access2 = RecordFrame::head(1, 10) + sent.accessRecords().last().toBytes();

    ReaderAccessTables read;
    QCOMPARE(read.readMetadataFrame(RecordFrame::head(1, 16) + sent.metadata().toBytes()), 0);
    QCOMPARE(read.readMetadata().timezoneEntries, quint8(3));
    QCOMPARE(read.iddLength(), 7);
    ReaderAccessTables fresh;
    QCOMPARE(fresh.setIddLength(12), 0);
    QCOMPARE(fresh.readMetadataFrame(RecordFrame::head(1, 16) + TableMetadata().toBytes()), 0);
    QCOMPARE(fresh.iddLength(), 12); // a reader without tables reports no length
    QCOMPARE(read.readTimezoneFrame(timezones), 0);
    QCOMPARE(read.readHolidayFrame(holidays), 0);
    QCOMPARE(read.readAccessFrame(access), 0);
    QCOMPARE(read.readAccessFrame(access2), 0);
    QCOMPARE(read.readAccessFrame(RecordFrame::head(0, 10)), 0); // an empty last frame
    QCOMPARE(read.fileContent(), sent.fileContent());

    QStringList periods;
    for (const TimezoneRecord &r : read.timezones())
        periods << r.toPeriod().toDefinition();
    QCOMPARE(periods,
             (QStringList{QStringLiteral("mon,tue-08:00-17:00"), QStringLiteral("hol-08:00-17:00"),
                          QStringLiteral("sat-05:00-14:00")}));
    QCOMPARE(read.holidays().first().toDate(), QDate(2026, 12, 25));
}

void TestAccessTables::readBackRejects_data()
{
    QTest::addColumn<int>("table"); // 1 metadata, 2 timezones, 3 holidays, 4 access
    QTest::addColumn<QByteArray>("frame");

    const QByteArray tz(11, '\x01');
    QTest::newRow("metadata too short") << 1 << QByteArray::fromHex("000110") + QByteArray(15, 0);
    QTest::newRow("metadata two records") << 1 << QByteArray::fromHex("000210") + QByteArray(32, 0);
    QTest::newRow("no head") << 2 << QByteArray::fromHex("00");
    QTest::newRow("timezone size 12") << 2 << QByteArray::fromHex("00010c") + tz + '\0';
    QTest::newRow("timezone count beyond data") << 2 << QByteArray::fromHex("00020b") + tz;
    QTest::newRow("sixteen timezones") << 2 << QByteArray::fromHex("00100b") + tz.repeated(16);
    QTest::newRow("holiday short") << 3 << QByteArray::fromHex("0001031801");
    QTest::newRow("access size not IDD-Length + 3")
        << 4 << QByteArray::fromHex("00010b") + QByteArray(11, 1);
}

void TestAccessTables::readBackRejects()
{
    QFETCH(int, table);
    QFETCH(QByteArray, frame);

    ReaderAccessTables tables;
    QCOMPARE(tables.setIddLength(7), 0);
    qint32 code = 0;
    switch (table) {
    case 1:
        code = tables.readMetadataFrame(frame);
        break;
    case 2:
        code = tables.readTimezoneFrame(frame);
        break;
    case 3:
        code = tables.readHolidayFrame(frame);
        break;
    default:
        code = tables.readAccessFrame(frame);
    }
    QCOMPARE(code, qint32(ReaderAccessTables::RecordLengthError));
    QCOMPARE(tables.lastCode(), qint32(-1000));
    QVERIFY(tables.timezones().isEmpty());
    QVERIFY(tables.holidays().isEmpty());
    QVERIFY(tables.accessRecords().isEmpty());
    QCOMPARE(tables.iddLength(), 7);
}

KX_TEST_MAIN(TestAccessTables)
#include "tst_accesstables.moc"

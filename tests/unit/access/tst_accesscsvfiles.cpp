#include "access/accesscsvfiles.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing ") + path.toLocal8Bit() + '>';
    return file.readAll();
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old");
}

ImportedTransponderRow user(const char *family, const char *first, const QString &tag,
                            const char *hf, const char *uhf)
{
    ImportedTransponderRow r;
    r.familyName = QString::fromUtf8(family);
    r.firstName = QString::fromUtf8(first);
    r.modelTag = tag;
    r.iddIso14443 = QString::fromLatin1(hf);
    r.iddClass1Gen2 = QString::fromLatin1(uhf);
    return r;
}

// Stands in for the database lookup: answers by identifier, case-blind like
// the LIKE patterns, and records what was asked.
struct FakeLookup
{
    QHash<QString, ImportedTransponderRow> users;
    QStringList asked;
    QString failOn;

    TransponderLookup function()
    {
        return [this](const QString &idd, QList<ImportedTransponderRow> &rows) {
            asked << idd;
            rows.clear();
            if (idd == failOn)
                return QSqlError(QStringLiteral("driver"), QStringLiteral("no such table"),
                                 QSqlError::StatementError, QStringLiteral("1"));
            const auto it = users.constFind(idd.toLower());
            if (it != users.constEnd())
                rows << it.value();
            return QSqlError();
        };
    }
};

ReaderEvent makeEvent(const char *idd, const QDateTime &when, bool granted, int antenna = 0,
                      quint8 inputs = 0, quint16 error = 0)
{
    ReaderEvent e;
    e.idd = QString::fromLatin1(idd);
    e.dateTime = when;
    e.granted = granted;
    e.antenna = antenna;
    e.inputState = inputs;
    e.errorNumber = error;
    return e;
}

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

class TestAccessCsvFiles : public QObject
{
    Q_OBJECT
private slots:
    void fileNames();
    void holidayFile();
    void periodFile_data();
    void periodFile();
    void periodFileFromRecords();
    void iddFileWithLookup();
    void iddFileDatabaseError();
    void eventFilesPerDateAndAppend();
    void eventHeaderFollowsFirstEvent();
    void eventIdentifierDisplayForm();
    void eventWithoutIdentifierIsNobody();
    void unwritableFolder();
};

void TestAccessCsvFiles::fileNames()
{
    QCOMPARE(AccessCsvFiles::holidayFileName(QStringLiteral("Gate")),
             QStringLiteral("holiday-Gate.csv"));
    QCOMPARE(AccessCsvFiles::periodFileName(QStringLiteral("Gate")),
             QStringLiteral("period-Gate.csv"));
    QCOMPARE(AccessCsvFiles::iddFileName(QStringLiteral("Gate")), QStringLiteral("idd-Gate.csv"));
    QCOMPARE(AccessCsvFiles::eventFileName(QStringLiteral("Gate"), QDate(2026, 3, 9)),
             QStringLiteral("event-Gate-2026-03-09.csv"));
    QCOMPARE(AccessCsvFiles::eventFileName(QStringLiteral("Gate"), QDate()),
             QStringLiteral("event-invalid-date.csv"));
}

void TestAccessCsvFiles::holidayFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data/data-Main Gate"));
    QVERIFY(QDir().mkpath(folder));
    touch(folder + QStringLiteral("/holiday.csv"));
    touch(folder + QStringLiteral("/holiday-Main Gate.csv"));

    const auto result = AccessCsvFiles::writeHolidayFile(folder, QStringLiteral("Main Gate"),
                                                         {QDate(2026, 12, 24), QDate(2027, 1, 1)});
    QVERIFY(result.ok());
    QVERIFY(!QFile::exists(folder + QStringLiteral("/holiday.csv")));
    QCOMPARE(readFile(folder + QStringLiteral("/holiday-Main Gate.csv")),
             QByteArray("Date\r\n2026-12-24\r\n2027-01-01\r\n"));
}

void TestAccessCsvFiles::periodFile_data()
{
    QTest::addColumn<QStringList>("definitions"); // by index
    QTest::addColumn<QByteArray>("content");

    const QByteArray header = "Index;StartHour;StartMinute;EndHour;EndMinute;Days\r\n";
    QTest::newRow("read back with holiday window")
        << QStringList{QStringLiteral("mon,tue-08:00-17:00"), QStringLiteral("hol-08:00-17:00"),
                       QStringLiteral("sat-05:30-14:05")}
        << header + "0;8;0;17;0;mon,tue\r\n1;8;0;17;0;hol\r\n2;5;30;14;5;sat\r\n";
    QTest::newRow("stops at the first inactive index")
        << QStringList{QStringLiteral("wed-07:00-08:00"), QString(),
                       QStringLiteral("thu-07:00-08:00")}
        << header + "0;7;0;8;0;wed\r\n";
    QTest::newRow("none") << QStringList{} << header;
}

void TestAccessCsvFiles::periodFile()
{
    QFETCH(QStringList, definitions);
    QFETCH(QByteArray, content);

    QMap<QString, int> periodMap;
    for (int i = 0; i < definitions.size(); ++i) {
        if (!definitions.at(i).isEmpty())
            periodMap.insert(definitions.at(i), i);
    }
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("period.csv")));
    const auto result = AccessCsvFiles::writePeriodFile(dir.path(), QStringLiteral("Gate"),
                                                        AccessCsvFiles::periodsByIndex(periodMap));
    QVERIFY(result.ok());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("period.csv"))));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("period-Gate.csv"))), content);
}

void TestAccessCsvFiles::periodFileFromRecords()
{
    // Two tags with one definition read back as two equal windows; both are listed.
    TimezoneRecord record;
    record.days = 0x02;
    record.startHour = 7;
    record.endHour = 19;
    TimezoneRecord holidays = record;
    holidays.days = 0;
    QTemporaryDir dir;
    const auto result = AccessCsvFiles::writePeriodFile(
        dir.path(), QStringLiteral("Gate"),
        AccessCsvFiles::periodsByIndex(QList<TimezoneRecord>{record, record, holidays}));
    QVERIFY(result.ok());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("period-Gate.csv"))),
             QByteArray("Index;StartHour;StartMinute;EndHour;EndMinute;Days\r\n"
                        "0;7;0;19;0;mon\r\n1;7;0;19;0;mon\r\n2;7;0;19;0;hol\r\n"));
}

void TestAccessCsvFiles::iddFileWithLookup()
{
    FakeLookup lookup;
    lookup.users.insert(QStringLiteral("04a1b2c3d4e5f6"),
                        user("Müller", "Jörg", QStringLiteral("S1"), "04a1b2c3d4e5f6-04", ""));
    // A user without any right comes back with a null tag.
    lookup.users.insert(QStringLiteral("e2003412b802011a2b3c4d5e"),
                        user("Ilic", "Goran", QString(), "", "3000e2003412b802011a2b3c4d5e-84"));

    const QList<ReadAccessRecord> records{{QStringLiteral("04a1b2c3d4e5f6"), 0x0003},
                                          {QStringLiteral("0400000000000a"), 0x8000},
                                          {QStringLiteral("e2003412b802011a2b3c4d5e"), 0x0000},
                                          {QStringLiteral("0400000000000b"), 0x4001}};
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("idd.csv")));
    QStringList unknown;
    const auto result = AccessCsvFiles::writeIddFile(dir.path(), QStringLiteral("Gate"), records,
                                                     lookup.function(), &unknown);
    QVERIFY(result.ok());
    QCOMPARE(lookup.asked.size(), 4);
    QCOMPARE(unknown,
             (QStringList{QStringLiteral("0400000000000a"), QStringLiteral("0400000000000b")}));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("idd.csv"))));
    const QByteArray expected =
        "TagIDD;Periods;LastName;FirstName;ModelID\r\n" +
        QStringLiteral("04a1b2c3d4e5f6;0,1;Müller;Jörg;S1\r\n").toLocal8Bit() +
        "0400000000000a;15;UNKNOWN;;\r\n"
        "e2003412b802011a2b3c4d5e;;Ilic;Goran;\r\n"
        "0400000000000b;0,14;UNKNOWN;;\r\n";
    QCOMPARE(readFile(dir.filePath(QStringLiteral("idd-Gate.csv"))), expected);
}

void TestAccessCsvFiles::iddFileDatabaseError()
{
    FakeLookup lookup;
    lookup.failOn = QStringLiteral("0400000000000b");
    const QList<ReadAccessRecord> records{{QStringLiteral("0400000000000a"), 1},
                                          {QStringLiteral("0400000000000b"), 2},
                                          {QStringLiteral("0400000000000c"), 4}};
    QTemporaryDir dir;
    QStringList unknown;
    const auto result = AccessCsvFiles::writeIddFile(dir.path(), QStringLiteral("Gate"), records,
                                                     lookup.function(), &unknown);
    QCOMPARE(result.status, AccessCsvFiles::Result::DatabaseError);
    QCOMPARE(result.databaseError.databaseText(), QStringLiteral("no such table"));
    QCOMPARE(lookup.asked.size(), 2); // processing ends at the failing lookup
}

void TestAccessCsvFiles::eventFilesPerDateAndAppend()
{
    FakeLookup lookup;
    lookup.users.insert(QStringLiteral("04a1b2c3d4e5f6"),
                        user("Berger", "Anna", QStringLiteral("S1"), "04a1b2c3d4e5f6-04", ""));
    const QList<ReaderEvent> events{
        makeEvent("04A1B2C3D4E5F6", at(2026, 3, 9, 7, 58, 1), true),
        makeEvent("0400000000000A", at(2026, 3, 9, 8, 0, 0), false, 0, 0, 3),
        makeEvent("04A1B2C3D4E5F6", at(2026, 3, 10, 17, 2, 9), true),
        makeEvent("04A1B2C3D4E5F6", QDateTime(), false),
        makeEvent("04A1B2C3D4E5F6", at(2026, 3, 11, 6, 0, 0), true),
    };
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data-Gate"));
    QVERIFY(
        AccessCsvFiles::appendEventFiles(folder, QStringLiteral("Gate"), events, lookup.function())
            .ok());
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (QStringList{QStringLiteral("event-Gate-2026-03-09.csv"),
                          QStringLiteral("event-Gate-2026-03-10.csv"),
                          QStringLiteral("event-Gate-2026-03-11.csv"),
                          QStringLiteral("event-invalid-date.csv")}));

    const QByteArray header = "TagIDD;DateAndTime;Access;LastName;FirstName;ModelID;Error\r\n";
    const QByteArray day9 = "04A1B2C3D4E5F6;2026-03-09T07:58:01;permitted;Berger;Anna;S1;0\r\n"
                            "0400000000000A;2026-03-09T08:00:00;denied;UNKNOWN;;;3\r\n";
    QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("event-Gate-2026-03-09.csv"))),
             header + day9);
    QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("event-invalid-date.csv"))),
             header + "04A1B2C3D4E5F6;invalid;denied;Berger;Anna;S1;0\r\n");

    // A second run appends without a second header.
    QVERIFY(AccessCsvFiles::appendEventFiles(folder, QStringLiteral("Gate"), events.mid(0, 1),
                                             lookup.function())
                .ok());
    QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("event-Gate-2026-03-09.csv"))),
             header + day9 + "04A1B2C3D4E5F6;2026-03-09T07:58:01;permitted;Berger;Anna;S1;0\r\n");
    QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("event-Gate-2026-03-11.csv"))),
             header + "04A1B2C3D4E5F6;2026-03-11T06:00:00;permitted;Berger;Anna;S1;0\r\n");
}

void TestAccessCsvFiles::eventHeaderFollowsFirstEvent()
{
    // The optional columns are chosen by each event; the header by the event
    // that creates the file. Returning to a file already written this run
    // appends to it without a new header.
    FakeLookup lookup;
    const QList<ReaderEvent> events{
        makeEvent("0A", at(2026, 1, 2, 10, 0, 0), true, 2, 0x82, 0),
        makeEvent("0B", at(2026, 1, 3, 10, 0, 0), false, 0, 0x01, 0),
        makeEvent("0C", at(2026, 1, 2, 11, 0, 0), false, 1, 0x81, 7),
    };
    QTemporaryDir dir;
    QVERIFY(
        AccessCsvFiles::appendEventFiles(dir.path(), QStringLiteral("G"), events, lookup.function())
            .ok());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("event-G-2026-01-02.csv"))),
             QByteArray("TagIDD;Antenna;DateAndTime;Access;LastName;FirstName;ModelID;Input-2-1;"
                        "Error\r\n"
                        "0A;2;2026-01-02T10:00:00;permitted;UNKNOWN;;;1-0;0\r\n"
                        "0C;1;2026-01-02T11:00:00;denied;UNKNOWN;;;0-1;7\r\n"));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("event-G-2026-01-03.csv"))),
             QByteArray("TagIDD;DateAndTime;Access;LastName;FirstName;ModelID;Error\r\n"
                        "0B;2026-01-03T10:00:00;denied;UNKNOWN;;;0\r\n"));
}

void TestAccessCsvFiles::eventIdentifierDisplayForm()
{
    FakeLookup lookup;
    // Short-range identifier with a serial number: shown in display form.
    lookup.users.insert(QStringLiteral("e0040100"),
                        user("Roth", "Ole", QStringLiteral("S2"), "e0040100-03-1f", ""));
    // Long-range identifier carrying the maker's tag number.
    lookup.users.insert(
        QStringLiteral("2d1505d8500003000000012c"),
        user("Weiss", "Ina", QString(), "04aa-04", "30002d1505d8500003000000012c-84"));
    const QList<ReaderEvent> events{
        makeEvent("E0040100", at(2026, 5, 1, 9, 0, 0), true),
        makeEvent("2D1505D8500003000000012C", at(2026, 5, 1, 9, 1, 0), true),
    };
    QTemporaryDir dir;
    QVERIFY(
        AccessCsvFiles::appendEventFiles(dir.path(), QStringLiteral("G"), events, lookup.function())
            .ok());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("event-G-2026-05-01.csv"))),
             QByteArray("TagIDD;DateAndTime;Access;LastName;FirstName;ModelID;Error\r\n"
                        "E0040100 (31);2026-05-01T09:00:00;permitted;Roth;Ole;S2;0\r\n"
                        "2D1505D8500003000000012C (300);2026-05-01T09:01:00;permitted;Weiss;Ina;;"
                        "0\r\n"));
}

void TestAccessCsvFiles::eventWithoutIdentifierIsNobody()
{
    FakeLookup lookup;
    // A user whose identifier was edited down to no bytes would match an empty text.
    lookup.users.insert(QString(), user("Leer", "Lou", QStringLiteral("S1"), "-04", ""));
    QTemporaryDir dir;
    QVERIFY(AccessCsvFiles::appendEventFiles(
                dir.path(), QStringLiteral("G"),
                {makeEvent("", at(2026, 5, 2, 9, 0, 0), true, 0, 0, 0)}, lookup.function())
                .ok());
    QVERIFY(lookup.asked.isEmpty());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("event-G-2026-05-02.csv"))),
             QByteArray("TagIDD;DateAndTime;Access;LastName;FirstName;ModelID;Error\r\n"
                        ";2026-05-02T09:00:00;permitted;UNKNOWN;;;0\r\n"));
}

void TestAccessCsvFiles::unwritableFolder()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    touch(blocker);
    FakeLookup lookup;
    const auto holidays = AccessCsvFiles::writeHolidayFile(blocker, QStringLiteral("G"), {});
    QCOMPARE(holidays.status, AccessCsvFiles::Result::FileError);
    QCOMPARE(holidays.error().code, qint32(-1006));
    const auto events = AccessCsvFiles::appendEventFiles(
        blocker, QStringLiteral("G"), {makeEvent("0A", at(2026, 1, 2, 10, 0, 0), true)},
        lookup.function());
    QCOMPARE(events.status, AccessCsvFiles::Result::FileError);
    QVERIFY(lookup.asked.isEmpty());
}

KX_TEST_MAIN(TestAccessCsvFiles)
#include "tst_accesscsvfiles.moc"

// Public holidays: the Easter date, the lists of regions against published
// lists, adding them to a project within the readers' limit, and the command.
#include "access/publicholidays.h"
#include "cli/kelvaracli.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/holidayimport.h"
#include "db/holidayrecords.h"
#include "support/testsupport.h"

#include <QTextStream>

namespace {
QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '));
}
} // namespace

class TestPublicHolidays : public QObject
{
    Q_OBJECT
private slots:
    void easterSunday_data();
    void easterSunday();
    void regionLists_data();
    void regionLists();
    void addedWithinTheReadersLimit_data();
    void addedWithinTheReadersLimit();
    void commandLine_data();
    void commandLine();
};

void TestPublicHolidays::easterSunday_data()
{
    // Easter Sunday 1900-2099 as printed by `ncal -e YEAR` (Debian package
    // ncal 12.1.8); python-dateutil's easter() gives the same table. MMDD, ten
    // years a line.
    const char *const table[] = {
        "0415 0407 0330 0412 0403 0423 0415 0331 0419 0411", // 1900-1909
        "0327 0416 0407 0323 0412 0404 0423 0408 0331 0420", // 1910-1919
        "0404 0327 0416 0401 0420 0412 0404 0417 0408 0331", // 1920-1929
        "0420 0405 0327 0416 0401 0421 0412 0328 0417 0409", // 1930-1939
        "0324 0413 0405 0425 0409 0401 0421 0406 0328 0417", // 1940-1949
        "0409 0325 0413 0405 0418 0410 0401 0421 0406 0329", // 1950-1959
        "0417 0402 0422 0414 0329 0418 0410 0326 0414 0406", // 1960-1969
        "0329 0411 0402 0422 0414 0330 0418 0410 0326 0415", // 1970-1979
        "0406 0419 0411 0403 0422 0407 0330 0419 0403 0326", // 1980-1989
        "0415 0331 0419 0411 0403 0416 0407 0330 0412 0404", // 1990-1999
        "0423 0415 0331 0420 0411 0327 0416 0408 0323 0412", // 2000-2009
        "0404 0424 0408 0331 0420 0405 0327 0416 0401 0421", // 2010-2019
        "0412 0404 0417 0409 0331 0420 0405 0328 0416 0401", // 2020-2029
        "0421 0413 0328 0417 0409 0325 0413 0405 0425 0410", // 2030-2039
        "0401 0421 0406 0329 0417 0409 0325 0414 0405 0418", // 2040-2049
        "0410 0402 0421 0406 0329 0418 0402 0422 0414 0330", // 2050-2059
        "0418 0410 0326 0415 0406 0329 0411 0403 0422 0414", // 2060-2069
        "0330 0419 0410 0326 0415 0407 0419 0411 0403 0423", // 2070-2079
        "0407 0330 0419 0404 0326 0415 0331 0420 0411 0403", // 2080-2089
        "0416 0408 0330 0412 0404 0424 0415 0331 0420 0412", // 2090-2099
    };
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<QString>("dates");
    for (int decade = 0; decade < 20; ++decade)
        QTest::addRow("%d", 1900 + 10 * decade)
            << 1900 + 10 * decade << QString::fromLatin1(table[decade]);
}

void TestPublicHolidays::easterSunday()
{
    QFETCH(int, firstYear);
    QFETCH(QString, dates);
    const QStringList days = dates.split(QLatin1Char(' '));
    for (int i = 0; i < days.size(); ++i) {
        const int year = firstYear + i;
        QCOMPARE(PublicHolidays::easterSunday(year).toString(QStringLiteral("MMdd")), days.at(i));
    }
}

void TestPublicHolidays::regionLists_data()
{
    // The days as the holiday laws of the states and cantons name them and
    // their published calendars list them for these years.
    QTest::addColumn<QString>("region");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("dates");
    QTest::addColumn<QString>("named"); // one date with its English and German name
    QTest::newRow("North Rhine-Westphalia 2026")
        << "DE-NW" << 2026 << "01-01 04-03 04-06 05-01 05-14 05-25 06-04 10-03 11-01 12-25 12-26"
        << "06-04 Corpus Christi/Fronleichnam";
    QTest::newRow("North Rhine-Westphalia 2027")
        << "DE-NW" << 2027 << "01-01 03-26 03-29 05-01 05-06 05-17 05-27 10-03 11-01 12-25 12-26"
        << "05-06 Ascension Day/Christi Himmelfahrt";
    QTest::newRow("Berlin 2025, with the one-off Liberation Day")
        << "DE-BE" << 2025 << "01-01 03-08 04-18 04-21 05-01 05-08 05-29 06-09 10-03 12-25 12-26"
        << "03-08 International Women's Day/Internationaler Frauentag";
    QTest::newRow("Berlin 2026") << "DE-BE" << 2026
                                 << "01-01 03-08 04-03 04-06 05-01 05-14 05-25 10-03 12-25 12-26"
                                 << "05-25 Whit Monday/Pfingstmontag";
    QTest::newRow("Saxony 2026")
        << "DE-SN" << 2026 << "01-01 04-03 04-06 05-01 05-14 05-25 10-03 10-31 11-18 12-25 12-26"
        << "11-18 Day of Repentance and Prayer/Buß- und Bettag";
    QTest::newRow("Saxony 2027")
        << "DE-SN" << 2027 << "01-01 03-26 03-29 05-01 05-06 05-17 10-03 10-31 11-17 12-25 12-26"
        << "10-31 Reformation Day/Reformationstag";
    QTest::newRow("Austria 2026")
        << "AT" << 2026
        << "01-01 01-06 04-06 05-01 05-14 05-25 06-04 08-15 10-26 11-01 12-08 12-25 12-26"
        << "12-08 Immaculate Conception/Mariä Empfängnis";
    QTest::newRow("Geneva 2026") << "CH-GE" << 2026
                                 << "01-01 04-03 04-06 05-14 05-25 08-01 09-10 12-25 12-31"
                                 << "09-10 Genevan Fast/Genfer Bettag";
    QTest::newRow("Vaud 2026") << "CH-VD" << 2026
                               << "01-01 01-02 04-03 04-06 05-14 05-25 08-01 09-21 12-25"
                               << "09-21 Federal Fast Monday/Bettagsmontag";
    QTest::newRow("unknown region") << "DE-XX" << 2026 << ""
                                    << "";
}

void TestPublicHolidays::regionLists()
{
    QFETCH(QString, region);
    QFETCH(int, year);
    QFETCH(QString, dates);
    QFETCH(QString, named);
    QStringList days;
    QString names;
    for (const PublicHolidays::Holiday &holiday : PublicHolidays::holidays(region, year)) {
        const QString day = holiday.date.toString(QStringLiteral("MM-dd"));
        days << day;
        if (named.startsWith(day))
            names = QStringLiteral("%1 %2/%3")
                        .arg(day, holiday.name(PublicHolidays::Language::English),
                             holiday.name(PublicHolidays::Language::German));
    }
    QCOMPARE(days.join(QLatin1Char(' ')), dates);
    QCOMPARE(names, named);
}

void TestPublicHolidays::addedWithinTheReadersLimit_data()
{
    QTest::addColumn<int>("upcoming"); // holidays from today on in the project before
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("fits") << 240 << 255 << QString();
    QTest::newRow("exactly fills the readers' tables") << 245 << 255 << QString();
    QTest::newRow("one past the readers' tables")
        << 246 << 255
        << QStringLiteral("A reader holds at most 255 holidays from today on: with these the "
                          "project would have 256. Nothing was added.");
}

void TestPublicHolidays::addedWithinTheReadersLimit()
{
    QFETCH(int, upcoming);
    QFETCH(int, limit);
    QFETCH(QString, refusal);
    TestSupport::TempProject project;
    const QString db = project.databasePath();
    EntryRow entry;
    entry.doorName = QStringLiteral("Door");
    entry.areaName = QStringLiteral("Hall");
    entry.readerType = 100;
    entry.readerSerNo = QStringLiteral("1001");
    int door = 0;
    QVERIFY(!EntryRecords::addEntry(db, entry, &door).isValid());
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(db, door, false).isValid());

    // Days in 2030 that no region's holiday falls on, then New Year 2031 as
    // one that is a holiday already; the year 2031 of North Rhine-Westphalia
    // brings eleven, of which ten are new.
    const QDate today(2026, 12, 8);
    QList<HolidayRow> before;
    for (int i = 0; i < upcoming - 1; ++i)
        before << HolidayRow{
            0, QDate(2030, 1, 2).addDays(i).toString(HolidayRecords::DateFormat), {}};
    before << HolidayRow{0, QStringLiteral("2031.01.01"), QStringLiteral("mine")};
    before << HolidayRow{0, QStringLiteral("2020.05.05"), QStringLiteral("past")};
    QVERIFY(!HolidayRecords::addHolidays(db, before).isValid());
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(db, door, false).isValid());

    QList<HolidayRow> rows;
    for (const PublicHolidays::Holiday &holiday :
         PublicHolidays::holidays(QStringLiteral("DE-NW"), 2031))
        rows << HolidayRow{0, holiday.date.toString(HolidayRecords::DateFormat),
                           holiday.name(PublicHolidays::Language::German)};
    QCOMPARE(rows.size(), 11);
    HolidayImport::Outcome outcome;
    QSet<int> marked;
    const QSqlError error = HolidayImport::addHolidays(db, rows, QStringLiteral("DE-NW"), today,
                                                       limit, &outcome, &marked);
    QCOMPARE(error.databaseText(), refusal);
    QList<HolidayRow> stored;
    QVERIFY(!HolidayRecords::listHolidays(db, stored).isValid());
    QString region;
    QVERIFY(!HolidayImport::readRegion(db, region).isValid());
    if (refusal.isEmpty()) {
        QCOMPARE(outcome.added.size(), 10);
        QCOMPARE(outcome.present, QStringList{QStringLiteral("2031.01.01")});
        QCOMPARE(stored.size(), before.size() + 10);
        QCOMPARE(marked, QSet<int>{door});
        QCOMPARE(region, QStringLiteral("DE-NW"));
    } else {
        QCOMPARE(stored.size(), before.size());
        QVERIFY(marked.isEmpty());
        QVERIFY(region.isEmpty());
    }
    // A date that was a holiday keeps its own comment.
    QCOMPARE(stored.value(upcoming).comment, QStringLiteral("mine"));
}

void TestPublicHolidays::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // after "holidays add-public --project DIR"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("stored"); // holidays in the project afterwards
    QTest::newRow("a year")
        << words("--region DE-SN --year 2027") << 0
        << "2027-11-17\tDay of Repentance and Prayer\tadded\n2027-12-25\tChristmas Day\tadded\n"
        << 11;
    QTest::newRow("a dry run writes nothing") << words("--region DE-SN --year 2027 --dry-run") << 0
                                              << "2027-01-01\tNew Year's Day\twould be added\n"
                                              << 0;
    QTest::newRow("two years") << words("--region CH-GE --year 2026-2027") << 0
                               << "2027-12-31\tRestoration of the Republic\tadded\n"
                               << 18;
    QTest::newRow("the region remembered")
        << words("--year 2027") << 0 << "2027-01-01\tNew Year's Day\tadded\n"
        << 11;
    QTest::newRow("an unknown region") << words("--region DE-XX --year 2027") << 2
                                       << "Unknown region 'DE-XX'; known regions: DE, DE-BB" << 0;
    QTest::newRow("a year no reader holds") << words("--region DE --year 2100") << 2 << "2099" << 0;
    QTest::newRow("years backwards")
        << words("--region DE --year 2028-2027") << 2 << "'2028-2027' is none" << 0;
}

void TestPublicHolidays::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(int, stored);
    TestSupport::TempProject project;
    if (!arguments.contains(QStringLiteral("--region"))) {
        // Remembered from an earlier run, without a holiday of it left.
        HolidayImport::Outcome outcome;
        QVERIFY(!HolidayImport::addHolidays(project.databasePath(), {}, QStringLiteral("DE-SN"),
                                            QDate::currentDate(), 255, &outcome)
                     .isValid());
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    KelvaraCli cli(outStream, errStream);
    QCOMPARE(cli.run(QStringList{QStringLiteral("holidays"), QStringLiteral("add-public"),
                                 QStringLiteral("--project"), project.folder()} +
                     arguments),
             exitCode);
    const QString text = out + err;
    QVERIFY2(text.contains(printed), qPrintable(text));
    QList<HolidayRow> rows;
    QVERIFY(!HolidayRecords::listHolidays(project.databasePath(), rows).isValid());
    QCOMPARE(rows.size(), stored);
}

KX_TEST_MAIN(TestPublicHolidays)
#include "tst_publicholidays.moc"

#pragma once

#include "db/recordrows.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Statements on the holidays table. Dates are "yyyy.MM.dd" texts, which sort
// like the dates themselves.
//
// Access readers keep the holiday list in their tables, so the operation-level
// changes below mark every entry with an access reader as needing an update in
// the same transaction; otherwise "Update", which sends only pending entries,
// would never bring a new holiday to a reader. The marked entries are left in
// *markedEntries when given. Adding, changing and removing a holiday writes
// its audit record on the same transaction.
namespace HolidayRecords {

inline const QString DateFormat = QStringLiteral("yyyy.MM.dd");

// Readers keep a holiday's year in two digits counted from 2000: a date
// outside these years would reach them as another date.
constexpr int FirstReaderYear = 2000;
constexpr int LastReaderYear = 2099;
bool fitsReaders(const QDate &date);
// Why the date is refused, for the user.
QString yearRefusal(const QDate &date);

// The days one addition takes at most (a closure over some days); more are
// refused as a slip rather than a closure.
constexpr int MaxRangeDays = 366;
// Every day from first to last; empty when last lies before first, cut after
// MaxRangeDays + 1 days.
QList<QDate> rangeDates(const QDate &first, const QDate &last);
// Why these dates cannot be added at once (none, too many, a year no reader
// holds); empty when they can.
QString datesProblem(const QList<QDate> &dates);

// In date order.
bool listHolidays(QSqlQuery &query, QList<HolidayRow> &rows);
QSqlError listHolidays(const QString &databasePath, QList<HolidayRow> &rows);

// The rows dated today or later, in their order; a date that does not read
// is no upcoming holiday.
QList<HolidayRow> upcomingOf(const QList<HolidayRow> &rows, const QDate &today);

// The holidays dated today or later, in date order.
QSqlError listUpcomingHolidays(const QString &databasePath, QList<HolidayRow> &rows);
QSqlError listUpcomingHolidays(const QString &databasePath, const QDate &today,
                               QList<HolidayRow> &rows);

bool addHoliday(QSqlQuery &query, const HolidayRow &holiday, int *newKey = nullptr);
QSqlError addHoliday(const QString &databasePath, const HolidayRow &holiday, int *newKey = nullptr,
                     QSet<int> *markedEntries = nullptr);
// Several dates at once (a closure over some days): all of them or none.
QSqlError addHolidays(const QString &databasePath, const QList<HolidayRow> &holidays,
                      QSet<int> *markedEntries = nullptr);
bool editHoliday(QSqlQuery &query, const HolidayRow &holiday);
// A change of the comment alone marks nothing: readers hold only the dates.
QSqlError editHoliday(const QString &databasePath, const HolidayRow &holiday,
                      QSet<int> *markedEntries = nullptr);
// *removed tells whether there was such a holiday.
bool removeHoliday(QSqlQuery &query, int pkHolidays, bool *removed = nullptr);
QSqlError removeHoliday(const QString &databasePath, int pkHolidays,
                        QSet<int> *markedEntries = nullptr);
// Several at once (a closure taken back): all of them or none.
QSqlError removeHolidays(const QString &databasePath, const QList<int> &keys,
                         QSet<int> *markedEntries = nullptr);

// Marks every entry with an access reader (types 100, 101, 863) as needing an update.
bool markAccessReaderEntries(QSqlQuery &query, QSet<int> &markedEntries);

// The dates of the list that are holidays already, as stored.
QSqlError existingDates(const QString &databasePath, const QStringList &dates,
                        QStringList &existing);

} // namespace HolidayRecords

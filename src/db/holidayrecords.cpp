#include "db/holidayrecords.h"

#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QVariant>

using RecordStatement::outcome;
using RecordStatement::text;

namespace HolidayRecords {

bool listHolidays(QSqlQuery &query, QList<HolidayRow> &rows)
{
    rows.clear();
    if (!query.exec(QStringLiteral("select PKholidays,date,comment from holidays order by date")))
        return false;
    while (query.next()) {
        HolidayRow row;
        row.pkHolidays = query.value(0).toInt();
        row.date = query.value(1).toString();
        row.comment = query.value(2).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listHolidays(const QString &databasePath, QList<HolidayRow> &rows)
{
    rows.clear();
    return RecordStatement::run(
        databasePath, [&](QSqlQuery &query) { return outcome(listHolidays(query, rows), query); });
}

QSqlError listUpcomingHolidays(const QString &databasePath, QList<HolidayRow> &rows)
{
    return listUpcomingHolidays(databasePath, QDate::currentDate(), rows);
}

QSqlError listUpcomingHolidays(const QString &databasePath, const QDate &today,
                               QList<HolidayRow> &rows)
{
    QList<HolidayRow> all;
    rows.clear();
    const QSqlError error = listHolidays(databasePath, all);
    if (error.isValid())
        return error;
    for (const HolidayRow &row : qAsConst(all)) {
        // A date that does not read cannot be placed; it is no upcoming holiday.
        const QDate date = QDate::fromString(row.date, DateFormat);
        if (date.isValid() && date >= today)
            rows.append(row);
    }
    return QSqlError();
}

bool addHoliday(QSqlQuery &query, const HolidayRow &holiday, int *newKey)
{
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("insert into holidays (date,comment) values (?,?)"),
                               {text(holiday.date), text(holiday.comment)}))
        return false;
    if (newKey)
        *newKey = query.lastInsertId().toInt();
    return true;
}

QSqlError addHoliday(const QString &databasePath, const HolidayRow &holiday, int *newKey)
{
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(addHoliday(query, holiday, newKey), query);
    });
}

bool editHoliday(QSqlQuery &query, const HolidayRow &holiday)
{
    return ProjectDatabase::exec(
        query, QStringLiteral("update holidays set date=?,comment=? where PKholidays=?"),
        {text(holiday.date), text(holiday.comment), holiday.pkHolidays});
}

QSqlError editHoliday(const QString &databasePath, const HolidayRow &holiday)
{
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(editHoliday(query, holiday), query);
    });
}

bool removeHoliday(QSqlQuery &query, int pkHolidays)
{
    return ProjectDatabase::exec(query, QStringLiteral("delete from holidays where PKholidays=?"),
                                 {pkHolidays});
}

QSqlError removeHoliday(const QString &databasePath, int pkHolidays)
{
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(removeHoliday(query, pkHolidays), query);
    });
}

} // namespace HolidayRecords

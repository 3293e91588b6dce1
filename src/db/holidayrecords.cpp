#include "db/holidayrecords.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QVariant>

using RecordStatement::outcome;
using RecordStatement::text;

namespace HolidayRecords {

namespace {

// The stored holiday of the key (found false when there is none).
bool readHoliday(QSqlQuery &query, int pkHolidays, HolidayRow &holiday, bool &found)
{
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select PKholidays,date,comment from holidays where "
                                              "PKholidays=?"),
                               {pkHolidays}) ||
        !RecordStatement::fetchOne(query, found))
        return false;
    if (found)
        holiday = {query.value(0).toInt(), query.value(1).toString(), query.value(2).toString()};
    query.finish();
    return true;
}

// The audit record of one holiday added (no before), changed or removed (no after).
bool recordHoliday(QSqlQuery &query, const QString &action, const HolidayRow *before,
                   const HolidayRow *after)
{
    const auto values = [](const HolidayRow *holiday) {
        QJsonObject object;
        if (holiday) {
            object.insert(QStringLiteral("date"), holiday->date);
            if (!holiday->comment.isEmpty())
                object.insert(QStringLiteral("comment"), holiday->comment);
        }
        return object;
    };
    AuditRecord record;
    record.action = action;
    record.objectKind = AuditTrail::Kind::Holiday;
    record.objectName = (after ? after : before)->date;
    return AuditTrail::recordObject(query, record, values(before), values(after));
}

} // namespace

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

QList<HolidayRow> upcomingOf(const QList<HolidayRow> &rows, const QDate &today)
{
    QList<HolidayRow> upcoming;
    for (const HolidayRow &row : rows) {
        const QDate date = QDate::fromString(row.date, DateFormat);
        if (date.isValid() && date >= today)
            upcoming.append(row);
    }
    return upcoming;
}

QSqlError listUpcomingHolidays(const QString &databasePath, const QDate &today,
                               QList<HolidayRow> &rows)
{
    QList<HolidayRow> all;
    rows.clear();
    const QSqlError error = listHolidays(databasePath, all);
    if (error.isValid())
        return error;
    rows = upcomingOf(all, today);
    return QSqlError();
}

bool fitsReaders(const QDate &date)
{
    return date.isValid() && date.year() >= FirstReaderYear && date.year() <= LastReaderYear;
}

QString yearRefusal(const QDate &date)
{
    return QCoreApplication::translate("HolidayRecords",
                                       "%1: readers hold holidays from %2 to %3 only.")
        .arg(date.toString(QStringLiteral("dd.MM.yyyy")))
        .arg(FirstReaderYear)
        .arg(LastReaderYear);
}

QList<QDate> rangeDates(const QDate &first, const QDate &last)
{
    QList<QDate> dates;
    for (QDate d = first; d.isValid() && d <= last && dates.size() <= MaxRangeDays;
         d = d.addDays(1))
        dates << d;
    return dates;
}

QString datesProblem(const QList<QDate> &dates)
{
    if (dates.isEmpty())
        return QCoreApplication::translate("HolidayRecords",
                                           "The last day lies before the first day.");
    if (dates.size() > MaxRangeDays)
        return QCoreApplication::translate("HolidayRecords",
                                           "At most %1 days can be added at once.")
            .arg(MaxRangeDays);
    for (const QDate &date : dates) {
        if (!fitsReaders(date))
            return yearRefusal(date);
    }
    return QString();
}

namespace {

// The refusal of the first date of the rows that no reader can hold.
QSqlError refusedDate(const QList<HolidayRow> &holidays)
{
    for (const HolidayRow &holiday : holidays) {
        const QDate date = QDate::fromString(holiday.date, DateFormat);
        if (!fitsReaders(date))
            return RecordStatement::refusal(
                date.isValid()
                    ? yearRefusal(date)
                    : QCoreApplication::translate("HolidayRecords", "'%1' is not a date.")
                          .arg(holiday.date));
    }
    return QSqlError();
}

} // namespace

bool addHoliday(QSqlQuery &query, const HolidayRow &holiday, int *newKey)
{
    if (!RecordStatement::insertReturningKey(
            query,
            QStringLiteral("insert into holidays (date,comment) values (?,?) returning PKholidays"),
            {text(holiday.date), text(holiday.comment)}, newKey))
        return false;
    return !AuditTrail::isRecording() ||
           recordHoliday(query, AuditTrail::Action::Add, nullptr, &holiday);
}

namespace {

// Adds the rows and marks the access-reader entries in one transaction.
QSqlError addRows(const QString &databasePath, const QList<HolidayRow> &holidays, QList<int> &keys,
                  QSet<int> *markedEntries)
{
    keys.clear();
    if (markedEntries)
        markedEntries->clear();
    const QSqlError refused = refusedDate(holidays);
    if (refused.isValid())
        return refused;
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        for (const HolidayRow &holiday : holidays) {
            int key = 0;
            if (!addHoliday(query, holiday, &key))
                return query.lastError();
            keys << key;
        }
        if (!holidays.isEmpty() && !markAccessReaderEntries(query, marked))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (error.isValid())
        keys.clear();
    else if (markedEntries)
        *markedEntries = marked;
    return error;
}

} // namespace

QSqlError addHoliday(const QString &databasePath, const HolidayRow &holiday, int *newKey,
                     QSet<int> *markedEntries)
{
    QList<int> keys;
    const QSqlError error = addRows(databasePath, {holiday}, keys, markedEntries);
    if (newKey)
        *newKey = keys.value(0);
    return error;
}

QSqlError addHolidays(const QString &databasePath, const QList<HolidayRow> &holidays,
                      QSet<int> *markedEntries)
{
    QList<int> keys;
    return addRows(databasePath, holidays, keys, markedEntries);
}

bool editHoliday(QSqlQuery &query, const HolidayRow &holiday)
{
    HolidayRow before;
    bool found = false;
    if (AuditTrail::isRecording() && !readHoliday(query, holiday.pkHolidays, before, found))
        return false;
    return ProjectDatabase::exec(
               query, QStringLiteral("update holidays set date=?,comment=? where PKholidays=?"),
               {text(holiday.date), text(holiday.comment), holiday.pkHolidays}) &&
           (!found || recordHoliday(query, AuditTrail::Action::Change, &before, &holiday));
}

QSqlError editHoliday(const QString &databasePath, const HolidayRow &holiday,
                      QSet<int> *markedEntries)
{
    if (markedEntries)
        markedEntries->clear();
    const QSqlError refused = refusedDate({holiday});
    if (refused.isValid())
        return refused;
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(query,
                                   QStringLiteral("select date from holidays where PKholidays=?"),
                                   {holiday.pkHolidays}))
            return query.lastError();
        const bool found = query.next();
        if (!found && query.lastError().isValid())
            return query.lastError();
        const bool dateChanged = found && query.value(0).toString() != holiday.date;
        query.finish();
        if (!editHoliday(query, holiday))
            return query.lastError();
        if (dateChanged && !markAccessReaderEntries(query, marked))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

bool removeHoliday(QSqlQuery &query, int pkHolidays, bool *removed)
{
    if (removed)
        *removed = false;
    HolidayRow before;
    bool found = false;
    if (AuditTrail::isRecording() && !readHoliday(query, pkHolidays, before, found))
        return false;
    if (!ProjectDatabase::exec(query, QStringLiteral("delete from holidays where PKholidays=?"),
                               {pkHolidays}))
        return false;
    if (removed)
        *removed = query.numRowsAffected() > 0;
    return !found || recordHoliday(query, AuditTrail::Action::Remove, &before, nullptr);
}

QSqlError removeHoliday(const QString &databasePath, int pkHolidays, QSet<int> *markedEntries)
{
    return removeHolidays(databasePath, {pkHolidays}, markedEntries);
}

QSqlError removeHolidays(const QString &databasePath, const QList<int> &keys,
                         QSet<int> *markedEntries)
{
    if (markedEntries)
        markedEntries->clear();
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        bool removed = false;
        for (const int key : keys) {
            bool one = false;
            if (!removeHoliday(query, key, &one))
                return query.lastError();
            removed = removed || one;
        }
        // Removing rows that are gone already changes nothing a reader holds.
        if (removed && !markAccessReaderEntries(query, marked))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

bool markAccessReaderEntries(QSqlQuery &query, QSet<int> &markedEntries)
{
    markedEntries.clear();
    const QString filter =
        QStringLiteral("(%1 or %2)")
            .arg(AccessRights::shortRangeFilter(), AccessRights::longRangeFilter());
    if (!query.exec(QStringLiteral("select PKdoors from doors where ") + filter))
        return false;
    while (query.next())
        markedEntries.insert(query.value(0).toInt());
    if (query.lastError().isValid())
        return false;
    query.finish();
    return AccessRights::setNeedsUpdate(query, markedEntries, true);
}

QSqlError existingDates(const QString &databasePath, const QStringList &dates,
                        QStringList &existing)
{
    existing.clear();
    QList<HolidayRow> rows;
    const QSqlError error = listHolidays(databasePath, rows);
    if (error.isValid())
        return error;
    const QSet<QString> wanted(dates.begin(), dates.end());
    for (const HolidayRow &row : qAsConst(rows)) {
        if (wanted.contains(row.date))
            existing << row.date;
    }
    return QSqlError();
}

} // namespace HolidayRecords

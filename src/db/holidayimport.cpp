#include "db/holidayimport.h"

#include "db/audittrail.h"
#include "db/holidayrecords.h"
#include "db/projectschema.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

namespace HolidayImport {

QSqlError readRegion(const QString &databasePath, QString &region)
{
    region.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        region = ProjectSchema::readProjectTag(query, TagRegion);
        return query.lastError();
    });
}

namespace {

// Sorts the rows into new and present dates and counts what lies from today
// on; refused when that passes the limit.
QSqlError plan(QSqlQuery &query, const QList<HolidayRow> &rows, const QDate &today, int limit,
               Outcome &result, QList<HolidayRow> &fresh)
{
    QList<HolidayRow> stored;
    if (!HolidayRecords::listHolidays(query, stored))
        return RecordStatement::failure(query);
    QSet<QString> dates;
    const QString first = today.toString(HolidayRecords::DateFormat);
    for (const HolidayRow &row : qAsConst(stored)) {
        dates.insert(row.date);
        // The stored form sorts like the date itself.
        if (row.date >= first)
            ++result.upcoming;
    }
    for (const HolidayRow &row : rows) {
        if (dates.contains(row.date)) {
            result.present << row.date;
            continue;
        }
        dates.insert(row.date);
        fresh << row;
        result.added << row.date;
        if (row.date >= first)
            ++result.upcoming;
    }
    if (result.upcoming > limit)
        return RecordStatement::refusal(
            QCoreApplication::translate("HolidayImport",
                                        "A reader holds at most %1 holidays from today on: with "
                                        "these the project would have %2. Nothing was added.")
                .arg(limit)
                .arg(result.upcoming));
    return QSqlError();
}

} // namespace

QSqlError addHolidays(const QString &databasePath, const QList<HolidayRow> &rows,
                      const QString &region, const QDate &today, int limit, Outcome *outcome,
                      QSet<int> *markedEntries)
{
    Outcome result;
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        QList<HolidayRow> fresh;
        const QSqlError refused = plan(query, rows, today, limit, result, fresh);
        if (refused.isValid())
            return refused;
        // One record for the whole list.
        AuditTrail::Batch batch;
        QJsonArray dates;
        for (const HolidayRow &row : qAsConst(fresh)) {
            if (!HolidayRecords::addHoliday(query, row))
                return query.lastError();
            dates << row.date;
        }
        AuditRecord record;
        record.action = AuditTrail::Action::Import;
        record.objectKind = AuditTrail::Kind::Holiday;
        record.objectName = region;
        record.valuesAfter = AuditTrail::json(
            {{QStringLiteral("region"), region}, {QStringLiteral("added"), dates}});
        if (!fresh.isEmpty() && !batch.record(query, record))
            return query.lastError();
        if (!fresh.isEmpty() && !HolidayRecords::markAccessReaderEntries(query, marked))
            return RecordStatement::failure(query);
        if (!region.isEmpty() && !ProjectSchema::writeProjectTag(query, TagRegion, region))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (error.isValid()) {
        result.added.clear();
    } else if (markedEntries) {
        *markedEntries = marked;
    }
    if (outcome)
        *outcome = result;
    return error;
}

QSqlError preview(const QString &databasePath, const QList<HolidayRow> &rows, const QDate &today,
                  int limit, Outcome *outcome)
{
    Outcome result;
    const QSqlError error = RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        QList<HolidayRow> fresh;
        return plan(query, rows, today, limit, result, fresh);
    });
    if (outcome)
        *outcome = result;
    return error;
}

} // namespace HolidayImport

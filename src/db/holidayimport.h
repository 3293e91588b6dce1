#pragma once

#include "db/recordrows.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QString>
#include <QStringList>

// Adding a whole list of holidays at once (the public holidays of a region)
// and the region the project takes them from.
namespace HolidayImport {

inline const QString TagRegion = QStringLiteral("PublicHolidayRegion");

// The region last used for the project; empty when none was.
QSqlError readRegion(const QString &databasePath, QString &region);

struct Outcome
{
    QStringList added;   // dates as stored, "yyyy.MM.dd"
    QStringList present; // dates that were holidays already and were left alone
    int upcoming = 0;    // holidays from today on afterwards (or that would have been)
};

// Adds the rows whose dates are no holidays yet, remembers the region (when
// given) and marks every access-reader entry, in one transaction. Refused,
// with nothing added, when more than `limit` holidays would lie from `today`
// on: a reader holds no more.
QSqlError addHolidays(const QString &databasePath, const QList<HolidayRow> &rows,
                      const QString &region, const QDate &today, int limit, Outcome *outcome,
                      QSet<int> *markedEntries = nullptr);

// What addHolidays would do, with the same refusal, writing nothing.
QSqlError preview(const QString &databasePath, const QList<HolidayRow> &rows, const QDate &today,
                  int limit, Outcome *outcome);

} // namespace HolidayImport

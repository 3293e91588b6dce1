#pragma once

#include "db/recordrows.h"

#include <QDate>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

// Statements on the holidays table. Dates are "yyyy.MM.dd" texts, which sort
// like the dates themselves.
namespace HolidayRecords {

inline const QString DateFormat = QStringLiteral("yyyy.MM.dd");

// In date order.
bool listHolidays(QSqlQuery &query, QList<HolidayRow> &rows);
QSqlError listHolidays(const QString &databasePath, QList<HolidayRow> &rows);

// The holidays dated today or later, in date order.
QSqlError listUpcomingHolidays(const QString &databasePath, QList<HolidayRow> &rows);
QSqlError listUpcomingHolidays(const QString &databasePath, const QDate &today,
                               QList<HolidayRow> &rows);

bool addHoliday(QSqlQuery &query, const HolidayRow &holiday, int *newKey = nullptr);
QSqlError addHoliday(const QString &databasePath, const HolidayRow &holiday, int *newKey = nullptr);
bool editHoliday(QSqlQuery &query, const HolidayRow &holiday);
QSqlError editHoliday(const QString &databasePath, const HolidayRow &holiday);
bool removeHoliday(QSqlQuery &query, int pkHolidays);
QSqlError removeHoliday(const QString &databasePath, int pkHolidays);

} // namespace HolidayRecords

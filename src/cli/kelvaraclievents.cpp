#include "cli/kelvaracli.h"

#include "db/eventrecords.h"
#include "db/projectdatabase.h"

namespace {

// "yyyy-MM-dd", "yyyy-MM-ddTHH:mm" or "yyyy-MM-ddTHH:mm:ss", the site's wall
// clock; a date alone ends with its day when it is the end of a span.
qint64 momentOf(const QString &text, bool end, bool &ok)
{
    ok = true;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid())
        return EventRecords::toSeconds(QDateTime(end ? date.addDays(1) : date, QTime(0, 0)));
    for (const QString &form :
         {QStringLiteral("yyyy-MM-ddTHH:mm:ss"), QStringLiteral("yyyy-MM-ddTHH:mm")}) {
        const QDateTime at = QDateTime::fromString(text, form);
        if (at.isValid() && EventRecords::isReaderDate(at))
            return EventRecords::toSeconds(at);
    }
    ok = false;
    return 0;
}

QString timeText(const EventRow &row)
{
    return row.invalidTime ? QStringLiteral("invalid")
                           : row.time().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace

bool KelvaraCli::takeSpan(QStringList &arguments, const QString &name, bool end, qint64 &seconds,
                          int &exitCode)
{
    QString text;
    bool present = false;
    if (!takeOption(arguments, name, text, present, exitCode))
        return false;
    if (!present)
        return true;
    bool ok = false;
    seconds = momentOf(text, end, ok);
    if (!ok) {
        exitCode = usageError(
            tr("'%1' is not a date (yyyy-MM-dd) or date and time (yyyy-MM-ddTHH:mm) from 2000 to "
               "2099.")
                .arg(text));
        return false;
    }
    return true;
}

int KelvaraCli::events(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    EventFilter filter;
    QString entryName, userName;
    bool hasArea = false, hasEntry = false, hasUser = false, hasIdd = false;
    CliTable::Format format = CliTable::Text;
    if (!takeSpan(arguments, QStringLiteral("--from"), false, filter.from, exitCode) ||
        !takeSpan(arguments, QStringLiteral("--to"), true, filter.to, exitCode) ||
        !takeOption(arguments, QStringLiteral("--area"), filter.area, hasArea, exitCode) ||
        !takeOption(arguments, QStringLiteral("--entry"), entryName, hasEntry, exitCode) ||
        !takeOption(arguments, QStringLiteral("--user"), userName, hasUser, exitCode) ||
        !takeOption(arguments, QStringLiteral("--identifier"), filter.idd, hasIdd, exitCode) ||
        !takeFormat(arguments, format, exitCode))
        return exitCode;
    const bool granted = takeFlag(arguments, QStringLiteral("--granted"));
    const bool denied = takeFlag(arguments, QStringLiteral("--denied"));
    const bool unknown = takeFlag(arguments, QStringLiteral("--unknown"));
    if (int(granted) + int(denied) + int(unknown) > 1)
        return usageError(tr("Give one of --granted, --denied and --unknown."));
    filter.result = granted   ? EventFilter::Granted
                    : denied  ? EventFilter::Denied
                    : unknown ? EventFilter::Unknown
                              : EventFilter::AnyResult;
    if (!noneLeft(arguments, exitCode))
        return exitCode;
    if (hasEntry) {
        EntryRow entry;
        if (!findEntry(entryName, entry, exitCode))
            return exitCode;
        filter.pkDoors = entry.pkDoors;
    }
    if (hasUser) {
        const int comma = userName.indexOf(QLatin1Char(','));
        if (comma < 0)
            return usageError(tr("--user needs one name (\"LAST, FIRST\")."));
        filter.familyName = userName.left(comma).trimmed();
        filter.firstName = userName.mid(comma + 1).trimmed();
    }

    ProjectDatabase db(m_project.databasePath);
    if (!db.open())
        return databaseFailure(db.lastError());
    QSqlQuery query = db.query();
    QSet<QDate> holidays;
    QList<EventRow> rows;
    QSqlError error = EventRecords::holidayDates(query, holidays);
    if (!error.isValid())
        error =
            EventRecords::list(query, filter, EventCursor(), std::numeric_limits<int>::max(), rows);
    if (error.isValid())
        return databaseFailure(error);

    CliTable table(QStringLiteral("events"), QStringLiteral("event"),
                   {{QStringLiteral("time"), tr("Date and time")},
                    {QStringLiteral("area"), tr("Area")},
                    {QStringLiteral("entry"), tr("Entry")},
                    {QStringLiteral("user"), tr("User")},
                    {QStringLiteral("group"), tr("Group")},
                    {QStringLiteral("identifier"), tr("Identifier")},
                    {QStringLiteral("result"), tr("Result")},
                    {QStringLiteral("error"), tr("Error"), QString(), false},
                    {QStringLiteral("antenna"), tr("Antenna"), QString(), false}});
    for (const EventRow &row : qAsConst(rows)) {
        const bool onHoliday = !row.invalidTime && holidays.contains(row.time().date());
        table.addRow(
            {timeText(row), row.areaName, row.doorName,
             row.userKey ? QStringLiteral("%1, %2").arg(row.familyName, row.firstName) : QString(),
             row.groupName, row.idd,
             EventRecords::resultKey(row.granted, row.errorNumber, onHoliday), row.errorNumber,
             row.antenna});
    }
    return printList(table, format);
}

int KelvaraCli::seen(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QString area;
    bool hasArea = false;
    qint64 since = EventRecords::toSeconds(QDateTime(m_project.siteToday(), QTime(0, 0)));
    CliTable::Format format = CliTable::Text;
    if (!takeOption(arguments, QStringLiteral("--area"), area, hasArea, exitCode) ||
        !takeSpan(arguments, QStringLiteral("--since"), false, since, exitCode) ||
        !takeFormat(arguments, format, exitCode) || !noneLeft(arguments, exitCode))
        return exitCode;
    if (!hasArea)
        return usageError(tr("seen needs --area NAME."));

    ProjectDatabase db(m_project.databasePath);
    if (!db.open())
        return databaseFailure(db.lastError());
    QSqlQuery query = db.query();
    QList<EventRow> rows;
    const QSqlError error = EventRecords::seenInArea(query, area, since, rows);
    if (error.isValid())
        return databaseFailure(error);
    CliTable table(QStringLiteral("seen"), QStringLiteral("user"),
                   {{QStringLiteral("user"), tr("User")},
                    {QStringLiteral("group"), tr("Group")},
                    {QStringLiteral("entry"), tr("Entry")},
                    {QStringLiteral("time"), tr("Date and time")}});
    for (const EventRow &row : qAsConst(rows))
        table.addRow({QStringLiteral("%1, %2").arg(row.familyName, row.firstName), row.groupName,
                      row.doorName, timeText(row)});
    return printList(table, format);
}

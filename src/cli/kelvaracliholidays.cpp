// kelvara-cli holidays: the project's holidays one by one, and the public
// holidays of a region.
#include "cli/kelvaracli.h"

#include "access/publicholidays.h"
#include "access/readeraccesstables.h"
#include "db/holidayimport.h"
#include "db/holidayrecords.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// "2027" or "2027-2028", within the years a reader can hold.
bool parseYears(const QString &text, int &first, int &last)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})(?:-(\\d{4}))?$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    first = match.captured(1).toInt();
    last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
    return first >= 2000 && last <= 2099 && first <= last;
}

// "2027-12-24", or a range "2027-12-24..2027-12-31" when ranges are taken.
bool parseDates(const QString &text, bool range, QList<QDate> &dates)
{
    const QStringList parts = text.split(QStringLiteral(".."));
    if (parts.size() > (range ? 2 : 1))
        return false;
    const QDate first = QDate::fromString(parts.first(), Qt::ISODate);
    const QDate last = QDate::fromString(parts.last(), Qt::ISODate);
    if (!first.isValid() || !last.isValid())
        return false;
    dates = HolidayRecords::rangeDates(first, last);
    return true;
}

QString isoDate(const QString &stored)
{
    return QDate::fromString(stored, HolidayRecords::DateFormat).toString(Qt::ISODate);
}

} // namespace

int KelvaraCli::holidayRecords(const QString &command, QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QList<HolidayRow> rows;
    QSqlError error = HolidayRecords::listHolidays(m_project.databasePath, rows);
    if (error.isValid())
        return databaseFailure(error);
    QString dateText;
    QList<QDate> dates;
    if (command != QLatin1String("list")) {
        const bool range = command == QLatin1String("add") || command == QLatin1String("remove");
        if (!takeName(arguments, tr("date (yyyy-MM-dd)"), dateText, exitCode))
            return exitCode;
        if (!parseDates(dateText, range, dates))
            return refused(range ? tr("'%1' is no date (yyyy-MM-dd) or range of dates "
                                      "(yyyy-MM-dd..yyyy-MM-dd).")
                                       .arg(dateText)
                                 : tr("'%1' is no date (yyyy-MM-dd).").arg(dateText));
    }
    // The stored holidays among the dates named.
    QList<HolidayRow> named;
    for (const QDate &date : qAsConst(dates)) {
        for (const HolidayRow &row : qAsConst(rows)) {
            if (row.date == date.toString(HolidayRecords::DateFormat))
                named << row;
        }
    }
    QString comment;
    bool hasComment = false;
    if (command == QLatin1String("list") || command == QLatin1String("show")) {
        CliTable::Format format = CliTable::Text;
        QString from;
        bool hasFrom = false;
        if (!takeFormat(arguments, format, exitCode) ||
            (command == QLatin1String("list") &&
             !takeOption(arguments, QStringLiteral("--from"), from, hasFrom, exitCode)) ||
            !noneLeft(arguments, exitCode))
            return exitCode;
        const QDate since = QDate::fromString(from, Qt::ISODate);
        if (hasFrom && !since.isValid())
            return refused(tr("--from: '%1' is no date (yyyy-MM-dd).").arg(from));
        if (command == QLatin1String("show") && named.isEmpty())
            return refused(tr("%1 is no holiday.").arg(dateText));
        CliTable table(
            QStringLiteral("holidays"), QStringLiteral("holiday"),
            {{QStringLiteral("date"), tr("Date")}, {QStringLiteral("comment"), tr("Comment")}});
        for (const HolidayRow &row : command == QLatin1String("show") ? named : rows) {
            if (!hasFrom || row.date >= since.toString(HolidayRecords::DateFormat))
                table.addRow({isoDate(row.date), row.comment});
        }
        return command == QLatin1String("show") ? printRecord(table, format)
                                                : printList(table, format);
    }
    if (!takeOption(arguments, QStringLiteral("--comment"), comment, hasComment, exitCode))
        return exitCode;
    QSet<int> marked;
    if (command == QLatin1String("add")) {
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        const QString problem = HolidayRecords::datesProblem(dates);
        if (!problem.isEmpty())
            return refused(problem);
        if (!named.isEmpty())
            return refused(tr("%1 is a holiday already.").arg(isoDate(named.first().date)));
        QList<HolidayRow> added;
        for (const QDate &date : qAsConst(dates))
            added.append({0, date.toString(HolidayRecords::DateFormat), comment});
        error = HolidayRecords::addHolidays(m_project.databasePath, added, &marked);
        if (error.isValid())
            return saveFailure(error);
        return done(tr("%n holidays added.", nullptr, added.size()), marked.size());
    }
    if (named.isEmpty())
        return refused(dates.size() == 1 ? tr("%1 is no holiday.").arg(dateText)
                                         : tr("No day of %1 is a holiday.").arg(dateText));
    if (command == QLatin1String("remove")) {
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        QList<int> keys;
        for (const HolidayRow &row : qAsConst(named))
            keys << row.pkHolidays;
        error = HolidayRecords::removeHolidays(m_project.databasePath, keys, &marked);
        if (error.isValid())
            return saveFailure(error);
        return done(tr("%n holidays removed.", nullptr, keys.size()), marked.size());
    }
    QString moved;
    bool hasDate = false;
    if (!takeOption(arguments, QStringLiteral("--date"), moved, hasDate, exitCode) ||
        !noneLeft(arguments, exitCode))
        return exitCode;
    HolidayRow row = named.first();
    if (hasComment)
        row.comment = comment;
    if (hasDate) {
        QList<QDate> target;
        if (!parseDates(moved, false, target))
            return refused(tr("--date: '%1' is no date (yyyy-MM-dd).").arg(moved));
        const QString problem = HolidayRecords::datesProblem(target);
        if (!problem.isEmpty())
            return refused(problem);
        row.date = target.first().toString(HolidayRecords::DateFormat);
        for (const HolidayRow &other : qAsConst(rows)) {
            if (other.date == row.date && other.pkHolidays != row.pkHolidays)
                return refused(tr("%1 is a holiday already.").arg(moved));
        }
    }
    error = HolidayRecords::editHoliday(m_project.databasePath, row, &marked);
    if (error.isValid())
        return saveFailure(error);
    return done(tr("Holiday %1 changed.").arg(isoDate(row.date)), marked.size());
}

int KelvaraCli::holidays(QStringList arguments)
{
    const QString command = arguments.value(0);
    if (recordCommands().contains(command))
        return holidayRecords(command, arguments.mid(1));
    if (command != QLatin1String("add-public"))
        return usageError(tr("holidays needs a subcommand: list, show, add, change, remove or "
                             "add-public."));
    arguments.removeFirst();
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QString region;
    QString years;
    bool hasRegion = false;
    bool hasYear = false;
    if (!takeValue(arguments, QStringLiteral("--region"), region, hasRegion) ||
        !takeValue(arguments, QStringLiteral("--year"), years, hasYear))
        return usageError(tr("--region and --year need one value each."));
    const bool dryRun = arguments.removeAll(QStringLiteral("--dry-run")) > 0;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    if (!hasYear)
        return usageError(tr("holidays add-public needs --year."));
    if (!hasRegion) {
        const QSqlError error = HolidayImport::readRegion(m_project.databasePath, region);
        if (error.isValid())
            return databaseFailure(error);
        if (region.isEmpty())
            return usageError(tr("holidays add-public needs --region: none is remembered for "
                                 "this project yet."));
    }
    if (!PublicHolidays::isRegion(region)) {
        QStringList codes;
        for (const PublicHolidays::Region &known : PublicHolidays::regions())
            codes << known.code;
        return refused(tr("Unknown region '%1'; known regions: %2.")
                           .arg(region, codes.join(QStringLiteral(", "))));
    }
    int first = 0;
    int last = 0;
    if (!parseYears(years, first, last))
        return refused(tr("--year takes a year or a range of years from 2000 to 2099, such as "
                          "2027 or 2027-2028; '%1' is none.")
                           .arg(years));

    const PublicHolidays::Language language = QLocale::system().language() == QLocale::German
                                                  ? PublicHolidays::Language::German
                                                  : PublicHolidays::Language::English;
    QList<HolidayRow> rows;
    QHash<QString, QString> names;
    for (int year = first; year <= last; ++year) {
        for (const PublicHolidays::Holiday &holiday : PublicHolidays::holidays(region, year)) {
            HolidayRow row;
            row.date = holiday.date.toString(HolidayRecords::DateFormat);
            row.comment = holiday.name(language);
            rows << row;
            names.insert(row.date, row.comment);
        }
    }
    HolidayImport::Outcome outcome;
    const QSqlError error =
        dryRun ? HolidayImport::preview(m_project.databasePath, rows, m_project.siteToday(),
                                        ReaderAccessTables::MaxHolidays, &outcome)
               : HolidayImport::addHolidays(m_project.databasePath, rows, region,
                                            m_project.siteToday(), ReaderAccessTables::MaxHolidays,
                                            &outcome);
    const auto print = [&](const QStringList &dates, const QString &what) {
        for (const QString &date : dates) {
            m_out << QDate::fromString(date, HolidayRecords::DateFormat).toString(Qt::ISODate)
                  << '\t' << names.value(date) << '\t' << what << '\n';
        }
    };
    if (!error.isValid() || dryRun) {
        print(outcome.added, dryRun ? tr("would be added") : tr("added"));
        print(outcome.present, tr("already a holiday"));
        m_out.flush();
    }
    // A refusal of ours (the readers' limit) carries no database code.
    if (error.isValid())
        return error.nativeErrorCode().isEmpty() ? failure(error.databaseText())
                                                 : databaseFailure(error);
    return Success;
}

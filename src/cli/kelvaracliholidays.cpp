// kelvara-cli holidays: the public holidays of a region into the project.
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

} // namespace

int KelvaraCli::holidays(QStringList arguments)
{
    if (arguments.value(0) != QLatin1String("add-public"))
        return usageError(tr("holidays needs a subcommand: add-public."));
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

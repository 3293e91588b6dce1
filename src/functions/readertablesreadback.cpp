#include "functions/readertablesreadback.h"

#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "db/accessrights.h"
#include "db/holidayrecords.h"
#include "functions/kelvarafunctionthread.h"
#include "functions/readerobjectsreader.h"

ReaderTableContent ReaderTableContent::fromTables(const ReaderAccessTables &tables)
{
    ReaderTableContent content;
    content.iddLength = tables.iddLength();
    content.timezones = tables.timezones();
    content.holidays = tables.holidays();
    content.access = tables.accessRecords();
    return content;
}

QList<TimePeriod> ReaderTableContent::windows() const
{
    QList<TimePeriod> result;
    for (const TimezoneRecord &record : timezones) {
        const TimePeriod period = record.toPeriod();
        if (period.isNever())
            break;
        result << period;
    }
    return result;
}

QStringList ReaderTableContent::rightsOf(const QString &key) const
{
    const auto it = access.constFind(key);
    if (it == access.constEnd())
        return {};
    const QList<TimePeriod> active = windows();
    QStringList rights;
    for (int i = 0; i < active.size(); ++i)
        if (it->flags & (1u << i))
            rights << active.at(i).toDefinition();
    if (it->flags & AccessDataSet::AlwaysFlag)
        rights << TimePeriod::always().toDefinition();
    return rights;
}

QList<QDate> ReaderTableContent::holidayDates() const
{
    QList<QDate> dates;
    for (const HolidayRecord &record : holidays)
        dates << record.toDate();
    return dates;
}

QString ReaderTableContent::nameOf(const QString &key) const
{
    const QString name = holders.value(key);
    return name.isEmpty() ? key : name;
}

ReaderOutcome ReaderTablesReadBack::read(FunctionReader &reader, const EntryTarget &entry,
                                         ReaderTableContent &content)
{
    ReaderReadBack readBack;
    const ReaderOutcome outcome = reader.readAccess(KelvaraFunctionThread::connectionOf(entry),
                                                    int(entry.readerType), readBack);
    content = outcome.ok() ? fromReadBack(readBack) : ReaderTableContent();
    return outcome;
}

ReaderOutcome ReaderTablesReadBack::read(const ReaderSettings &settings, const EntryTarget &entry,
                                         ReaderTableContent &content)
{
    ReaderObjectsReader reader(settings);
    return read(reader, entry, content);
}

ReaderTableContent ReaderTablesReadBack::fromReadBack(const ReaderReadBack &readBack)
{
    ReaderTableContent content;
    content.iddLength = readBack.iddLength;
    content.timezones = readBack.timezones;
    // A reader that gave only the windows still compares by them.
    if (content.timezones.isEmpty())
        for (const TimePeriod &period : readBack.periodsByIndex)
            content.timezones << TimezoneRecord::fromPeriod(period);
    for (const QDate &date : readBack.holidays)
        content.holidays << HolidayRecord::fromDate(date);
    for (const ReadAccessRecord &read : readBack.access) {
        AccessRecord record;
        record.idd = QByteArray::fromHex(read.idd.toLatin1());
        record.flags = read.flags;
        // The reader holds each identifier once; should it repeat one, the first counts.
        if (!content.access.contains(record.key()))
            content.access.insert(record.key(), record);
    }
    if (content.iddLength == 0 && !content.access.isEmpty())
        content.iddLength = content.access.first().idd.size();
    return content;
}

bool ReaderTablesReadBack::compile(const AccessDataSet &dataSet, int readerType,
                                   const ProjectParameters &project, ReaderTableContent &content,
                                   QString *problem)
{
    content = ReaderTableContent();
    const int iddLength =
        AccessDataSet::iddLengthFor(readerType, project.hfIddLength, project.uhfIddLength);
    if (!dataSet.isValid()) {
        if (problem)
            *problem = QStringLiteral("more than %1 periods (%2 left over)")
                           .arg(AccessDataSet::MaxTimezones)
                           .arg(dataSet.overflowKeys().join(QLatin1Char(',')));
        return false;
    }
    ReaderAccessTables tables;
    const qint32 code = tables.fill(dataSet, iddLength);
    content = ReaderTableContent::fromTables(tables);
    content.iddLength = iddLength;
    for (const AccessEntry &entry : dataSet.entries()) {
        const QByteArray idd = ReaderAccessTables::readerIdd(entry.idd, iddLength);
        if (idd.isEmpty())
            continue;
        const QString key = QString::fromLatin1(idd.toHex().toUpper());
        if (!content.holders.contains(key))
            content.holders.insert(key,
                                   QStringLiteral("%1, %2").arg(entry.lastName, entry.firstName));
    }
    if (code != ReaderAccessTables::Ok) {
        if (problem)
            *problem = QStringLiteral("%1: %2").arg(tables.failedItem(),
                                                    ReaderAccessTables::codeText(code));
        return false;
    }
    return true;
}

QSqlError ReaderTablesReadBack::compileEntry(const ProjectParameters &project,
                                             const EntryTarget &entry, const QDate &today,
                                             ReaderTableContent &content, bool *compiled,
                                             QString *problem)
{
    if (compiled)
        *compiled = false;
    content = ReaderTableContent();
    QList<EntryAccessRow> rows;
    QSqlError error = AccessRights::readEntryAccess(project.databasePath, entry.pkDoors, rows);
    if (error.isValid())
        return error;
    QList<HolidayRow> holidays;
    error = HolidayRecords::listUpcomingHolidays(project.databasePath, today, holidays);
    if (error.isValid())
        return error;
    const int readerType = int(entry.readerType);
    AccessDataSet dataSet;
    dataSet.compile(
        rows, holidays, readerType,
        AccessDataSet::iddLengthFor(readerType, project.hfIddLength, project.uhfIddLength));
    const bool ok = compile(dataSet, readerType, project, content, problem);
    if (compiled)
        *compiled = ok;
    return QSqlError();
}

#include "functions/updatecheck.h"

#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "access/timemodel.h"
#include "db/accessrights.h"
#include "db/holidayrecords.h"
#include "db/timemodelrecords.h"
#include "functions/kelvarafunctionthread.h"
#include "reader/readertypes.h"

#include <QSet>

namespace {

QString firstOf(const QStringList &items)
{
    QStringList shown = items.mid(0, UpdateCheck::FirstFew);
    if (items.size() > UpdateCheck::FirstFew)
        shown << QStringLiteral("…");
    return shown.join(QStringLiteral("; "));
}

QString nameOf(const EntryAccessRow &row)
{
    return QStringLiteral("%1, %2").arg(row.familyName, row.firstName);
}

QString tagOfKey(const QString &key)
{
    return key.left(key.indexOf(QLatin1Char('#')));
}

} // namespace

int UpdateCheck::accessCapacity(int readerType)
{
    return ReaderTypes::isAccessReader(readerType) ? ReaderAccessTables::MaxAccessRecords : 0;
}

QString UpdateCheck::Result::text() const
{
    return (blocking + warnings).join(QLatin1Char('\n'));
}

UpdateCheck::Result UpdateCheck::check(const ProjectParameters &project, const EntryTarget &entry,
                                       const QList<EntryAccessRow> &rows,
                                       const QList<HolidayRow> &holidays)
{
    Result result;
    result.entry = entry;
    const int readerType = int(entry.readerType);
    if (KelvaraFunctionThread::hasNoReader(entry))
        result.blocking << tr("no reader: the entry has neither address, device ID nor the USB "
                              "flash drive route");
    if (!ReaderTypes::isAccessReader(readerType)) {
        result.blocking << tr("reader type %1 holds no access tables")
                               .arg(ReaderTypes::readerTypeName(readerType));
        return result;
    }

    const int iddLength =
        AccessDataSet::iddLengthFor(readerType, project.hfIddLength, project.uhfIddLength);
    if (iddLength < AccessDataSet::MinSafeIddLength)
        result.blocking << tr("identifier length %1 bytes, below %2: any card whose first %1 "
                              "bytes are those of a user's would open the door")
                               .arg(iddLength)
                               .arg(AccessDataSet::MinSafeIddLength);
    AccessDataSet dataSet;
    dataSet.compile(rows, holidays, readerType, iddLength);

    // Windows: every key with an index but the always bit, and those left over.
    int windows = dataSet.overflowKeys().size();
    for (auto it = dataSet.periodIndex().constBegin(); it != dataSet.periodIndex().constEnd(); ++it)
        if (it.value() != AccessDataSet::AlwaysIndex)
            ++windows;
    result.windowsNeeded = windows;
    if (!dataSet.isValid()) {
        QStringList models;
        for (const QString &key : dataSet.overflowKeys())
            if (!models.contains(tagOfKey(key)))
                models << tagOfKey(key);
        result.blocking << tr("time windows needed: %1 of %2 a reader holds (over by the "
                              "models %3)")
                               .arg(windows)
                               .arg(AccessDataSet::MaxTimezones)
                               .arg(models.join(QStringLiteral(", ")));
    }

    result.holidays = dataSet.holidays().size();
    if (result.holidays > ReaderAccessTables::MaxHolidays)
        result.blocking
            << tr("upcoming holidays: %1 of %2 a reader holds (%3 and later do not fit)")
                   .arg(result.holidays)
                   .arg(ReaderAccessTables::MaxHolidays)
                   .arg(dataSet.holidays()
                            .at(ReaderAccessTables::MaxHolidays)
                            .toString(Qt::ISODate));

    QStringList outside;
    for (const QDate &date : dataSet.holidays())
        if (!HolidayRecords::fitsReaders(date))
            outside << date.toString(Qt::ISODate);
    if (!outside.isEmpty())
        result.blocking << tr("holidays outside the years %1 to %2 a reader holds: %3")
                               .arg(HolidayRecords::FirstReaderYear)
                               .arg(HolidayRecords::LastReaderYear)
                               .arg(firstOf(outside));

    // Identifiers as the reader will key them; one record per key.
    QSet<QString> keys;
    QStringList shortOnes;
    QStringList duplicates;
    for (const AccessEntry &accessEntry : dataSet.entries()) {
        const QByteArray key = ReaderAccessTables::readerIdd(accessEntry.idd, iddLength);
        const QString name =
            QStringLiteral("%1, %2").arg(accessEntry.lastName, accessEntry.firstName);
        if (keys.contains(QString::fromLatin1(key.toHex())))
            duplicates << name;
        keys.insert(QString::fromLatin1(key.toHex()));
        if (ReaderAccessTables::iddBytesOfStored(accessEntry.idd).size() < iddLength)
            shortOnes << name;
    }
    result.identifiers = keys.size();
    const int capacity = accessCapacity(readerType);
    if (result.identifiers > capacity)
        result.blocking << tr("identifiers: %1 of %2 the reader type holds")
                               .arg(result.identifiers)
                               .arg(capacity);
    if (!shortOnes.isEmpty())
        result.warnings << tr("identifiers shorter than the project length of %1 bytes: %2 (%3)")
                               .arg(iddLength)
                               .arg(shortOnes.size())
                               .arg(firstOf(shortOnes));
    if (!duplicates.isEmpty())
        result.warnings << tr("identifiers held by another user as well, left out: %1 (%2)")
                               .arg(duplicates.size())
                               .arg(firstOf(duplicates));
    QStringList unreadable;
    for (const AccessEntry &left : dataSet.leftOut())
        unreadable << QStringLiteral("%1, %2").arg(left.lastName, left.firstName);
    if (!unreadable.isEmpty())
        result.warnings << tr("identifiers unreadable or blank, left out: %1 (%2)")
                               .arg(unreadable.size())
                               .arg(firstOf(unreadable));

    QStringList withoutIdentifier;
    QStringList neverModels;
    QSet<QString> modelsSeen;
    for (const EntryAccessRow &row : rows) {
        if (AccessDataSet::identifierOf(row, readerType).isEmpty())
            withoutIdentifier << nameOf(row);
        if (modelsSeen.contains(row.modelTag))
            continue;
        modelsSeen.insert(row.modelTag);
        // A period written down that still means never, or a model that grants nothing.
        TimeModel model(row.modelDefinition);
        bool grants = false;
        bool garbled = false;
        const QStringList texts = model.periodStrings();
        const QList<TimePeriod> periods = model.periods();
        for (int i = 0; i < periods.size(); ++i) {
            if (periods.at(i).isActive())
                grants = true;
            else if (i < texts.size() && !texts.at(i).trimmed().isEmpty())
                garbled = true;
        }
        if (!grants || garbled)
            neverModels << row.modelTag;
    }
    if (!withoutIdentifier.isEmpty())
        result.warnings << (ReaderTypes::isShortRangeAccessReader(readerType)
                                ? tr("users with rights but no short-range identifier: %1 (%2)")
                                : tr("users with rights but no long-range identifier: %1 (%2)"))
                               .arg(withoutIdentifier.size())
                               .arg(firstOf(withoutIdentifier));
    if (!neverModels.isEmpty())
        result.warnings << tr("time models with periods that mean never: %1")
                               .arg(neverModels.join(QStringLiteral(", ")));
    return result;
}

QSqlError UpdateCheck::checkEntry(const ProjectParameters &project, const EntryTarget &entry,
                                  const QDate &today, Result &result)
{
    QList<Result> results;
    const QSqlError error = checkEntries(project, {entry}, today, results);
    if (!error.isValid() && !results.isEmpty())
        result = results.first();
    return error;
}

QSqlError UpdateCheck::checkEntries(const ProjectParameters &project,
                                    const QList<EntryTarget> &entries, const QDate &today,
                                    QList<Result> &results)
{
    results.clear();
    QList<HolidayRow> holidays;
    QSqlError error = HolidayRecords::listUpcomingHolidays(project.databasePath, today, holidays);
    if (error.isValid())
        return error;
    for (const EntryTarget &entry : entries) {
        QList<EntryAccessRow> rows;
        error = AccessRights::readEntryAccess(project.databasePath, entry.pkDoors, rows);
        if (error.isValid())
            return error;
        results << check(project, entry, rows, holidays);
    }
    return QSqlError();
}

QSqlError UpdateCheck::checkBlocking(const ProjectParameters &project,
                                     const QList<EntryTarget> &entries,
                                     const QHash<int, QSet<int>> &modelsOfEntry,
                                     const QHash<int, int> &rightsOfEntry, const QDate &today,
                                     QList<Result> &results)
{
    results.clear();
    QList<HolidayRow> holidays;
    QSqlError error = HolidayRecords::listUpcomingHolidays(project.databasePath, today, holidays);
    if (error.isValid())
        return error;
    QList<TimeModelRow> models;
    error = TimeModelRecords::listTimeModels(project.databasePath, 0, models);
    if (error.isValid())
        return error;
    QHash<int, int> windowsOfModel;
    for (const TimeModelRow &model : qAsConst(models)) {
        int windows = 0;
        for (const QString &key : AccessDataSet::periodKeys(model.modelTag, model.modelDefinition))
            if (key != AccessDataSet::alwaysKey())
                ++windows;
        windowsOfModel.insert(model.pkTimes, windows);
    }
    for (const EntryTarget &entry : entries) {
        // An upper bound: models of users without a readable identifier and
        // periods two models share take no window of their own.
        int windows = 0;
        for (int pkTimes : modelsOfEntry.value(entry.pkDoors))
            windows += windowsOfModel.value(pkTimes);
        const bool mayOverflow =
            windows > AccessDataSet::MaxTimezones ||
            rightsOfEntry.value(entry.pkDoors) > accessCapacity(int(entry.readerType));
        if (!mayOverflow || !ReaderTypes::isAccessReader(int(entry.readerType))) {
            Result result = check(project, entry, {}, holidays);
            result.warnings.clear();
            results << result;
            continue;
        }
        QList<EntryAccessRow> rows;
        error = AccessRights::readEntryAccess(project.databasePath, entry.pkDoors, rows);
        if (error.isValid())
            return error;
        Result result = check(project, entry, rows, holidays);
        result.warnings.clear();
        results << result;
    }
    return QSqlError();
}

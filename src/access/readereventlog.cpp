#include "access/readereventlog.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/recordstatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>

namespace {

// What the event files held before the read: their sizes, -1 for none.
using FileSizes = QMap<QString, qint64>;

void cutBack(const FileSizes &sizes)
{
    for (auto it = sizes.constBegin(); it != sizes.constEnd(); ++it) {
        if (it.value() < 0)
            QFile::remove(it.key());
        else
            QFile::resize(it.key(), it.value());
    }
}

} // namespace

ReaderEventData ReaderEventLog::dataOf(const ReaderEvent &event)
{
    ReaderEventData data;
    data.idd = event.idd.toUpper();
    data.antenna = event.antenna;
    data.readerTime = EventRecords::isReaderDate(event.dateTime) ? event.dateTime : QDateTime();
    data.granted = event.granted;
    data.errorNumber = event.errorNumber;
    data.inputState = event.inputState;
    return data;
}

ReaderEventLog::Result ReaderEventLog::keep(const QString &databasePath, const QString &folder,
                                            const QString &folderKey, int pkDoors, quint32 deviceId,
                                            const QList<ReaderEvent> &events, const QDateTime &now)
{
    Result result;
    const auto dbFailure = [&result](const QSqlError &error) {
        result.status = Result::DatabaseError;
        result.databaseError = error;
        return result;
    };
    ProjectDatabase db(databasePath);
    if (!db.open())
        return dbFailure(db.lastError());
    if (!db.transaction())
        return dbFailure(db.lastError());

    QList<ReaderEventData> data;
    QList<ReaderEvent> cleaned;
    data.reserve(events.size());
    for (const ReaderEvent &event : events) {
        data << dataOf(event);
        ReaderEvent copy = event;
        copy.dateTime = data.last().readerTime;
        cleaned << copy;
    }

    FileSizes sizes;
    QSqlError error;
    {
        QSqlQuery query = db.query();
        QList<int> fresh;
        error = EventRecords::store(query, pkDoors, deviceId, data, QDateTime::currentDateTimeUtc(),
                                    fresh);
        if (!error.isValid()) {
            QList<ReaderEvent> freshEvents;
            freshEvents.reserve(fresh.size());
            QSet<QDate> days;
            for (int i : qAsConst(fresh)) {
                freshEvents << cleaned.at(i);
                const QDate day = cleaned.at(i).dateTime.date();
                if (days.contains(day))
                    continue;
                days.insert(day);
                const QString path =
                    QDir(folder).filePath(AccessCsvFiles::eventFileName(folderKey, day));
                sizes.insert(path, QFileInfo::exists(path) ? QFileInfo(path).size() : -1);
            }
            result.fresh = freshEvents.size();
            // One read of the users for the whole list, not one per event.
            AccessRights::TransponderOwners owners;
            if (!freshEvents.isEmpty() && !AccessRights::transponderOwners(query, pkDoors, owners))
                error = RecordStatement::failure(query);
            const TransponderLookup cached = [&owners](const QString &idd,
                                                       QList<ImportedTransponderRow> &rows) {
                rows = owners.value(AccessRights::transponderKey(idd));
                return QSqlError();
            };
            if (!freshEvents.isEmpty() && !error.isValid()) {
                const AccessCsvFiles::Result files =
                    AccessCsvFiles::appendEventFiles(folder, folderKey, freshEvents, cached);
                if (!files.ok()) {
                    result.status = files.status == AccessCsvFiles::Result::DatabaseError
                                        ? Result::DatabaseError
                                        : Result::FileError;
                    result.path = files.path;
                    result.databaseError = files.databaseError;
                }
            }
        }
        if (!error.isValid() && result.ok()) {
            result.keepDays = ProjectTags::keepEventsDays(query);
            error = EventRecords::removeOlderThan(query, result.keepDays, now, result.removed);
        }
        query.finish();
    }
    if (!error.isValid() && result.ok() && db.commit())
        return result;
    if (!error.isValid() && result.ok())
        error = db.lastError();
    db.rollback();
    cutBack(sizes);
    result.fresh = 0;
    result.removed = 0;
    if (error.isValid())
        return dbFailure(error);
    return result;
}

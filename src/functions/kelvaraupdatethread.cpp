#include "functions/kelvaraupdatethread.h"

#include "access/accessdataset.h"
#include "core/errorinfo.h"
#include "db/accessrights.h"
#include "db/holidayrecords.h"

#include <QMutexLocker>

namespace {

// Whether both name the same reader the same way.
bool sameReader(const EntryTarget &a, const EntryTarget &b)
{
    return a.readerType == b.readerType && a.readerSerNo == b.readerSerNo && a.ipAddr == b.ipAddr &&
           a.port == b.port;
}

} // namespace

KelvaraUpdateThread::KelvaraUpdateThread(const ProjectParameters &project, QObject *parent)
    : KelvaraFunctionThread(project, parent)
{
}

int KelvaraUpdateThread::processEntry(const EntryTarget &entry)
{
    QList<EntryAccessRow> rows;
    const QSqlError error = AccessRights::readEntryAccess(databasePath(), entry.pkDoors, rows);
    if (error.isValid())
        return databaseFailure(error);

    AccessDataSet dataSet;
    const int iddLength = AccessDataSet::iddLengthFor(int(entry.readerType), m_project.hfIddLength,
                                                      m_project.uhfIddLength);
    if (AccessDataSet::isAccessReaderType(int(entry.readerType)) &&
        iddLength < AccessDataSet::MinSafeIddLength) {
        log(QStringLiteral("The identifier length of %1 bytes is below %2 bytes: any card whose "
                           "first %1 bytes are those of a user's would open the door. Nothing was "
                           "sent; set a longer identifier length in the project settings.")
                .arg(iddLength)
                .arg(AccessDataSet::MinSafeIddLength));
        return Failed;
    }
    const bool assigned = dataSet.compile(rows, m_holidays, int(entry.readerType), iddLength);
    log(dataSet.periodLog());
    log(dataSet.userLog());
    if (!dataSet.leftOut().isEmpty())
        log(dataSet.leftOutLog());
    if (!assigned) {
        log(QStringLiteral("Too many periods: a reader holds %1, these rights need more (%2 left "
                           "over). Nothing was sent.")
                .arg(AccessDataSet::MaxTimezones)
                .arg(dataSet.overflowKeys().join(QLatin1Char(','))));
        return Failed;
    }

    const ReaderConnection connection = connectionOf(entry);
    std::unique_ptr<FunctionReader> reader = createReader();
    ReaderOutcome outcome;
    if (connection.kind() != ReaderConnection::NoConnection) {
        // New tables clear the reader's events: they are kept first, and
        // when that fails nothing is sent, so the reader still holds them.
        if (m_readEventsFirst && AccessDataSet::isAccessReaderType(int(entry.readerType))) {
            ReaderReadBack readBack;
            const ReaderOutcome read =
                reader->readEvents(connection, int(entry.readerType), readBack);
            const int kept = read.ok() ? keepEvents(entry, readBack.events) : Failed;
            if (kept != Done) {
                if (!read.ok())
                    readerFailure(read);
                log(QStringLiteral("The events could not be read and kept before the update: "
                                   "nothing was sent and the reader keeps its events. Try "
                                   "again, or switch \"Read events before updating\" off in "
                                   "the general settings."));
                return read.connectFailed ? NoConnection : Failed;
            }
        }
        outcome = reader->updateAccess(connection, int(entry.readerType), dataSet);
    } else {
        const QString path = m_drive.accessFilePath(connection.deviceId);
        if (path.isEmpty()) {
            outcome = ReaderOutcome::failure(
                ErrorInfo::ReaderObjectError,
                QStringLiteral("USB-stick access error: the USB flash drive '%1' is not there "
                               "or no longer the volume chosen (removed?), or its reader "
                               "folder cannot be made")
                    .arg(m_drive.drivePath()));
        } else {
            outcome = reader->saveAccessConfiguration(path, m_drive.anchor(), connection.logKey,
                                                      int(entry.readerType), dataSet);
            // The table file is written whole or not at all; say where it failed.
            if (!outcome.ok() && outcome.error.detail.isEmpty())
                outcome.error.detail =
                    QStringLiteral("Cannot write '%1' (USB flash drive removed or full?)")
                        .arg(path);
        }
        if (outcome.ok() && !m_drive.setWriteAccessJob())
            outcome = ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                             QStringLiteral("USB-stick access error"));
        const QString refusal = m_drive.refusal(connection.deviceId, QStringLiteral("ACCESS.INI"));
        if (!outcome.ok() && !refusal.isEmpty())
            outcome = ReaderOutcome::failure(ErrorInfo::ReaderObjectError, refusal);
    }
    reader.reset();
    if (!outcome.ok())
        return readerFailure(outcome);

    // The reader holds the new tables. Another program may have changed the
    // rights, the holidays, the identifier length or the entry's reader
    // meanwhile: the mark goes only when the database still compiles to what
    // was sent, for the reader it was sent to. A mark that cannot be cleared
    // is reported rather than passed over, so the entry is sent again.
    bool cleared = false;
    QMutexLocker writeLock(&databaseWriteLock());
    const QSqlError markError = AccessRights::clearNeedsUpdateIfUnchanged(
        databasePath(), entry.pkDoors,
        [&](const AccessRights::EntryUpdateSource &now) {
            if (!now.found || !sameReader(now.entry, entry) ||
                AccessDataSet::iddLengthFor(int(entry.readerType), now.hfIddLength,
                                            now.uhfIddLength) != iddLength)
                return false;
            AccessDataSet compiled;
            compiled.compile(now.rows, HolidayRecords::upcomingOf(now.holidays, m_holidaysFrom),
                             int(entry.readerType), iddLength);
            return compiled.sameContent(dataSet);
        },
        &cleared);
    writeLock.unlock();
    if (markError.isValid())
        return databaseFailure(markError);
    if (dataSet.leftOut().isEmpty())
        log(QStringLiteral("Update Access Configuration DONE"));
    else
        log(QStringLiteral("Update Access Configuration DONE (%1 left out: identifier unreadable "
                           "or blank)")
                .arg(dataSet.leftOut().size()));
    if (!cleared)
        log(QStringLiteral("The access rights, holidays or reader of this entry changed during "
                           "the update: it stays marked for the next update."));
    return Done;
}

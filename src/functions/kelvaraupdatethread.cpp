#include "functions/kelvaraupdatethread.h"

#include "access/accessdataset.h"
#include "core/errorinfo.h"
#include "db/accessrights.h"

#include <QMutexLocker>

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
    // rights meanwhile: the mark goes only when the database still compiles
    // to what was sent. A mark that cannot be cleared is reported rather than
    // passed over, so the entry is sent again.
    bool cleared = false;
    QMutexLocker writeLock(&databaseWriteLock());
    const QSqlError markError = AccessRights::clearNeedsUpdateIfUnchanged(
        databasePath(), entry.pkDoors,
        [&](const QList<EntryAccessRow> &current) {
            AccessDataSet now;
            now.compile(current, m_holidays, int(entry.readerType));
            return now.sameContent(dataSet);
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
        log(QStringLiteral("The access rights of this entry changed during the update: it stays "
                           "marked for the next update."));
    return Done;
}

#include "functions/kelvarareadeventsthread.h"

#include "core/paths.h"
#include "db/accessrights.h"

KelvaraReadEventsThread::KelvaraReadEventsThread(const ProjectParameters &project, QObject *parent)
    : KelvaraFunctionThread(project, parent)
{
}

int KelvaraReadEventsThread::processEntry(const EntryTarget &entry)
{
    ReaderReadBack readBack;
    ReaderOutcome outcome;
    {
        std::unique_ptr<FunctionReader> reader = createReader();
        outcome = reader->readEvents(connectionOf(entry), int(entry.readerType), readBack);
    }
    if (stopRequested())
        return NoState;
    if (!outcome.ok())
        return readerFailure(outcome);

    const QString db = databasePath();
    const int pkDoors = entry.pkDoors;
    const QString key = folderKeyOf(entry);
    const AccessCsvFiles::Result result = AccessCsvFiles::appendEventFiles(
        entryDataPath(m_project.projectPath, key), key, readBack.events,
        [db, pkDoors](const QString &idd, QList<ImportedTransponderRow> &rows) {
            return AccessRights::findImportedTransponder(db, idd, pkDoors, rows);
        });
    if (result.status == AccessCsvFiles::Result::DatabaseError)
        return databaseFailure(result.databaseError);
    if (result.status == AccessCsvFiles::Result::FileError) {
        log(QStringLiteral("Write file error"));
        return Failed;
    }
    log(QStringLiteral("Read Events DONE"));
    return Done;
}

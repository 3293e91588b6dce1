#include "functions/kelvarawriteconfigthread.h"

#include "db/entryrecords.h"

KelvaraWriteConfigThread::KelvaraWriteConfigThread(const ProjectParameters &project,
                                                   QObject *parent)
    : KelvaraFunctionThread(project, parent)
{
}

int KelvaraWriteConfigThread::processEntry(const EntryTarget &entry)
{
    QString readerConfig;
    const QSqlError error =
        EntryRecords::readerConfigOfEntry(databasePath(), entry.pkDoors, readerConfig);
    if (error.isValid())
        return databaseFailure(error);
    ReaderOutcome outcome;
    {
        std::unique_ptr<FunctionReader> reader = createReader();
        outcome = reader->writeConfiguration(connectionOf(entry), int(entry.readerType),
                                             readerConfig, m_drive);
    }
    if (!outcome.ok())
        return readerFailure(outcome);
    log(QStringLiteral("Write Reader Configuration DONE"));
    return Done;
}

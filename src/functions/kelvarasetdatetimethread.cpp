#include "functions/kelvarasetdatetimethread.h"

KelvaraSetDateTimeThread::KelvaraSetDateTimeThread(const ProjectParameters &project,
                                                   QObject *parent)
    : KelvaraFunctionThread(project, parent)
{
}

int KelvaraSetDateTimeThread::processEntry(const EntryTarget &entry)
{
    ReaderOutcome outcome;
    {
        std::unique_ptr<FunctionReader> reader = createReader();
        outcome = reader->setDateTime(connectionOf(entry));
    }
    if (!outcome.ok())
        return readerFailure(outcome);
    log(QStringLiteral("Set Date and Time DONE"));
    return Done;
}

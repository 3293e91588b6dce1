#include "functions/kelvarareadeventsthread.h"

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

    const int state = keepEvents(entry, readBack.events);
    if (state == Done)
        log(QStringLiteral("Read Events DONE"));
    return state;
}

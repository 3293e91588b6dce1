#include "functions/readerdecisionreadback.h"

#include "db/entryrecords.h"
#include "functions/kelvarafunctionthread.h"
#include "functions/readertablesreadback.h"

namespace ReaderDecisionReadBack {

ReaderOutcome read(const ReaderSettings &settings, const EntryRow &entry, DecisionTables &tables,
                   FunctionReader *reader)
{
    EntryTarget target;
    target.pkDoors = entry.pkDoors;
    target.doorName = entry.doorName;
    target.ipAddr = entry.ipAddr;
    target.port = entry.port;
    target.readerType = uint(entry.readerType);
    target.readerSerNo = entry.readerSerNo;
    if (entry.port & EntryRecords::FlashDrivePortBit)
        return ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                      QStringLiteral("The reader is reached by USB flash drive "
                                                     "only; its tables cannot be read back."));
    if (KelvaraFunctionThread::hasNoReader(target))
        return ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                      QStringLiteral("No reader assigned"), true);
    ReaderTableContent content;
    const ReaderOutcome outcome = reader ? ReaderTablesReadBack::read(*reader, target, content)
                                         : ReaderTablesReadBack::read(settings, target, content);
    if (outcome.ok())
        tables = DecisionTables::fromRecords(content.timezones, content.holidays, content.access,
                                             content.iddLength);
    return outcome;
}

} // namespace ReaderDecisionReadBack

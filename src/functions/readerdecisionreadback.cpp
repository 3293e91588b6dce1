#include "functions/readerdecisionreadback.h"

#include "db/entryrecords.h"
#include "functions/kelvarafunctionthread.h"
#include "functions/readerobjectsreader.h"

#include <memory>

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
    std::unique_ptr<FunctionReader> own;
    if (!reader) {
        own = std::make_unique<ReaderObjectsReader>(settings);
        reader = own.get();
    }
    ReaderReadBack readBack;
    const ReaderOutcome outcome =
        reader->readAccess(KelvaraFunctionThread::connectionOf(target), entry.readerType, readBack);
    if (outcome.ok())
        tables = DecisionTables::fromReadBack(readBack.periodsByIndex, readBack.holidays,
                                              readBack.access, 0);
    return outcome;
}

} // namespace ReaderDecisionReadBack

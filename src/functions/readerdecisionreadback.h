#pragma once

#include "access/decisiontables.h"
#include "db/recordrows.h"
#include "functions/functionreader.h"
#include "reader/readersettings.h"

// Reads an entry's access tables back from its reader into memory, as "Read
// Access Rights" reads them but without writing any file, in the form the
// reader decides from. A flash-drive entry has no reader to ask.
namespace ReaderDecisionReadBack {

ReaderOutcome read(const ReaderSettings &settings, const EntryRow &entry, DecisionTables &tables,
                   FunctionReader *reader = nullptr);

} // namespace ReaderDecisionReadBack

#pragma once

#include "access/decisiontables.h"
#include "db/recordrows.h"
#include "functions/functionreader.h"
#include "reader/readersettings.h"

// An entry's access tables read back from its reader into memory (no file is
// written), in the form the reader decides from. A flash-drive entry has no
// reader to ask.
namespace ReaderDecisionReadBack {

ReaderOutcome read(const ReaderSettings &settings, const EntryRow &entry, DecisionTables &tables,
                   FunctionReader *reader = nullptr);

} // namespace ReaderDecisionReadBack

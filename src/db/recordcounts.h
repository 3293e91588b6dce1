#pragma once

#include <QString>

// Record counts for the settings dialogs and the status bar.
namespace RecordCounts {

// Fills each counter that is given (users, entries, time models, entries
// marked for an update); a counter whose statement fails is set to -1. False
// when the database does not open.
bool read(const QString &databasePath, int *users, int *entries = nullptr,
          int *timeModels = nullptr, int *pendingEntries = nullptr);

} // namespace RecordCounts

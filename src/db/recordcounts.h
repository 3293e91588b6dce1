#pragma once

#include <QString>

// Record counts for the settings dialogs.
namespace RecordCounts {

// Fills each counter that is given (users, entries, time models); a counter
// whose statement fails is set to -1. False when the database does not open.
bool read(const QString &databasePath, int *users, int *entries = nullptr,
          int *timeModels = nullptr);

} // namespace RecordCounts

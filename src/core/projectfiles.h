#pragma once

#include <QString>

namespace ProjectFiles {

// Deletes all but the `keep` newest files matching the pattern (names carry
// an ISO date, so "newest" is "last by name"). Files that cannot be deleted
// are skipped.
void pruneFiles(const QString &folder, const QString &pattern, int keep);

// Keeps the 5 newest daily logs of each entry log folder and the 62 newest
// event files of each entry data folder.
void cleanUpProjectFiles(const QString &projectFolder);

} // namespace ProjectFiles

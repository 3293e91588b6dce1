#pragma once

#include <QString>

// Log and CSV lines: the local 8-bit encoding with "\r\n", the file opened and
// closed per line so that a crash never loses what was written before.
namespace LogFile {

// Appends one line; false when the file cannot be opened or written.
bool appendLine(const QString &filePath, const QString &line);

} // namespace LogFile

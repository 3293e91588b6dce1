#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// File writes that notice a full disk or a failing device before they count:
// every write is checked, buffered bytes are flushed and checked before a
// file is committed, and a file that replaces another does so only complete.
namespace FileWriter {

// Replaces (or creates) the file with the content through a file beside it
// and a rename: on any failure the previous file stays as it was.
bool replaceFile(const QString &path, const QByteArray &content);

// Writes the bytes to an open file; false on a short or failed write.
bool write(QFileDevice &file, const QByteArray &bytes);
// Hands the buffered bytes to the system; false when they did not all go.
bool flush(QFileDevice &file);

// Test seam: the bytes the disk still takes before every further write
// fails as on a full disk; -1 (the default) for no limit.
void setSpaceLeftForTesting(qint64 bytes);

} // namespace FileWriter

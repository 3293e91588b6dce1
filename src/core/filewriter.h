#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// File writes that notice a full disk or a failing device before they count:
// every write is checked, buffered bytes are flushed and checked before a
// file is committed, and a file that replaces another does so only complete.
namespace FileWriter {

// A folder pinned by the identity (device and inode) it had when it was
// chosen, such as the root of a USB flash drive. A write below it starts
// from that folder and fails when the path names another one now (the
// drive was unmounted and the path is the empty mount-point folder).
struct Anchor
{
    QString root; // empty: no anchor
    quint64 device = 0;
    quint64 inode = 0;

    bool isSet() const { return !root.isEmpty(); }
};

// The folder's identity now; an unset anchor when it is no folder.
Anchor anchorAt(const QString &folder);
// The anchor's path still names the folder pinned.
bool stillThere(const Anchor &anchor);

// Replaces (or creates) the file with the content through a file created
// beside it and a rename: on any failure the previous file stays as it was.
// A link in the file's place is replaced, never followed. With an anchor the
// path must lie below its root, and the folders from the root down are
// opened without following a link.
bool replaceFile(const QString &path, const QByteArray &content, const Anchor &anchor = Anchor());
// Makes the folder (its parent must exist) as replaceFile reaches one; true
// when it is there as a folder, not a link.
bool makeFolder(const QString &path, const Anchor &anchor = Anchor());

// Writes the bytes to an open file; false on a short or failed write.
bool write(QFileDevice &file, const QByteArray &bytes);
// Hands the buffered bytes to the system; false when they did not all go.
bool flush(QFileDevice &file);

// Test seam: the bytes the disk still takes before every further write
// fails as on a full disk; -1 (the default) for no limit.
void setSpaceLeftForTesting(qint64 bytes);

} // namespace FileWriter

#pragma once

#include <QLockFile>
#include <QString>

// The advisory lock a reader function run holds on its project. Two runs at
// once would interleave their exchanges with the same readers, which then
// refuse both as out of sequence. The lock file names its holder; one that
// names no live process of this host (its holder is gone, or a power cut
// left it empty) is stale and taken over.
class FunctionRunLock
{
public:
    explicit FunctionRunLock(const QString &projectFolder);
    FunctionRunLock(const FunctionRunLock &) = delete;
    FunctionRunLock &operator=(const FunctionRunLock &) = delete;

    bool tryLock(int timeoutMs = 0);
    void unlock();
    bool isLocked() const { return m_file.isLocked(); }
    // False after tryLock when waiting cannot help: the lock file cannot be
    // made at all (a read-only project folder, say).
    bool heldByAnother() const { return m_file.error() == QLockFile::LockFailedError; }

    // "kelvara-cli (process 1234 on host)", or an empty string when the
    // holder cannot be told.
    QString holder() const;
    // Why tryLock failed, naming the lock file: its holder, or what keeps it
    // from being made.
    QString refusal() const;

    static QString lockFilePath(const QString &projectFolder);
    QString lockFile() const { return m_path; }

private:
    // Removes a lock file that names no live process of this host.
    bool takeOverStale();

    QString m_path;
    QLockFile m_file;
};

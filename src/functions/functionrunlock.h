#pragma once

#include <QLockFile>
#include <QString>

// The advisory lock a reader function run holds on its project. Two runs at
// once would interleave their exchanges with the same readers, which then
// refuse both as out of sequence. The lock file names its holder, and one
// left behind by a process that is gone is taken over.
class FunctionRunLock
{
public:
    explicit FunctionRunLock(const QString &projectFolder);
    FunctionRunLock(const FunctionRunLock &) = delete;
    FunctionRunLock &operator=(const FunctionRunLock &) = delete;

    bool tryLock(int timeoutMs = 0);
    void unlock();
    bool isLocked() const { return m_file.isLocked(); }

    // "kelvara-cli (process 1234 on host)", or an empty string when the
    // holder cannot be told.
    QString holder() const;

    static QString lockFilePath(const QString &projectFolder);

private:
    QLockFile m_file;
};

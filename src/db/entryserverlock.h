#pragma once

#include <QString>

#include <memory>

class ProjectDatabase;

// The lock a workstation holds on an entry of a server project while it
// serves the entry's reader, so that two workstations never talk to one
// reader at once. It is a session advisory lock on the server: it ends with
// its connection, so a workstation that dies or loses the network leaves no
// stale lock behind. Folder projects need none (their run lock is a file in
// the one folder every run uses).
class EntryServerLock
{
public:
    EntryServerLock(const QString &databasePath, int pkDoors);
    ~EntryServerLock();
    EntryServerLock(const EntryServerLock &) = delete;
    EntryServerLock &operator=(const EntryServerLock &) = delete;

    enum class Result { Locked, Busy, Failed };
    // Tries once, without waiting; Failed with error() when the server
    // cannot be asked.
    Result tryLock();
    void unlock();
    bool isLocked() const { return m_locked; }

    // Who holds the entry now: "kelvara-cli@desk2:4711 (user anna)", or an
    // empty string when the server does not tell.
    QString holder();
    QString error() const { return m_error; }

private:
    std::unique_ptr<ProjectDatabase> m_db;
    int m_pkDoors;
    bool m_locked = false;
    QString m_error;
};

#include "db/entryserverlock.h"

#include "db/projectdatabase.h"
#include "db/serverschema.h"

EntryServerLock::EntryServerLock(const QString &databasePath, int pkDoors)
    : m_db(std::make_unique<ProjectDatabase>(databasePath)), m_pkDoors(pkDoors)
{
}

EntryServerLock::~EntryServerLock()
{
    unlock();
}

EntryServerLock::Result EntryServerLock::tryLock()
{
    if (m_locked)
        return Result::Locked;
    m_error.clear();
    if (!m_db->open()) {
        m_error = m_db->lastError().text();
        return Result::Failed;
    }
    QSqlQuery query = m_db->query();
    if (!ProjectDatabase::exec(query, QStringLiteral("select pg_try_advisory_lock(?, ?)"),
                               {ServerSchema::EntryLockClass, m_pkDoors}) ||
        !query.next()) {
        m_error = query.lastError().text();
        return Result::Failed;
    }
    m_locked = query.value(0).toBool();
    return m_locked ? Result::Locked : Result::Busy;
}

void EntryServerLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    bool unlocked = false;
    {
        QSqlQuery query = m_db->query();
        unlocked = ProjectDatabase::exec(query, QStringLiteral("select pg_advisory_unlock(?, ?)"),
                                         {ServerSchema::EntryLockClass, m_pkDoors}) &&
                   query.next() && query.value(0).toBool();
    }
    // A failed unlock leaves the lock with the connection, which closes now;
    // an unlocked one may serve the thread's next operation.
    if (!unlocked)
        m_db->database().close();
}

QString EntryServerLock::holder()
{
    if (!m_db->open())
        return QString();
    QSqlQuery query = m_db->query();
    // A two-part advisory key shows as classid/objid with objsubid 2.
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral("select a.application_name, a.usename from pg_locks l join "
                           "pg_stat_activity a on a.pid=l.pid where l.locktype='advisory' and "
                           "l.granted and l.database=(select oid from pg_database where "
                           "datname=current_database()) and l.classid=? and l.objid=? and "
                           "l.objsubid=2"),
            {ServerSchema::EntryLockClass, m_pkDoors}) ||
        !query.next())
        return QString();
    const QString program = query.value(0).toString();
    const QString user = query.value(1).toString();
    if (program.isEmpty())
        return user.isEmpty() ? QString() : QStringLiteral("user %1").arg(user);
    return user.isEmpty() ? program : QStringLiteral("%1 (user %2)").arg(program, user);
}

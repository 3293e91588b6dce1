#include "db/projectdatabase.h"

#include "db/schemaversion.h"

#include <QDir>
#include <QThread>

namespace {
thread_local int t_depth = 0;
}

ProjectDatabase::ProjectDatabase(const QString &databasePath, Access access) : m_access(access)
{
    m_name = QStringLiteral("kelvara-%1-%2")
                 .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()), 0, 16)
                 .arg(t_depth++);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(databasePath);
    m_db.setUserName(QString());
    m_db.setPassword(QString());
    if (access == Access::ReadOnly)
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
}

ProjectDatabase::~ProjectDatabase()
{
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    --t_depth;
}

bool ProjectDatabase::open()
{
    if (m_db.isOpen())
        return true;
    m_openError = QSqlError();
    if (!m_db.open()) {
        m_openError = m_db.lastError();
        return false;
    }
    if (m_access != Access::Project)
        return true;
    SchemaVersion::Probe probe;
    {
        QSqlQuery query(m_db);
        probe = SchemaVersion::probe(query, false);
        if (probe.state == SchemaVersion::State::Busy ||
            probe.state == SchemaVersion::State::Unreadable)
            m_openError = query.lastError();
    }
    if (probe.state == SchemaVersion::State::Current)
        return true;
    if (!m_openError.isValid())
        m_openError = QSqlError(QString(), SchemaVersion::message(probe),
                                QSqlError::ConnectionError, QStringLiteral("kelvara-schema"));
    m_db.close();
    return false;
}

bool ProjectDatabase::isOpen() const
{
    return m_db.isOpen();
}

QSqlError ProjectDatabase::lastError() const
{
    return m_db.isOpen() ? m_db.lastError() : m_openError;
}

bool ProjectDatabase::transaction()
{
    return m_db.transaction();
}

bool ProjectDatabase::commit()
{
    return m_db.commit();
}

bool ProjectDatabase::rollback()
{
    return m_db.rollback();
}

QString ProjectDatabase::databasePathForProject(const QString &projectFolder)
{
    const QString folder = QDir::fromNativeSeparators(projectFolder);
    QString name = folder;
    while (name.endsWith(QLatin1Char('/')) && name.size() > 1)
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("%1/%2.%3").arg(projectFolder, name, QStringLiteral("sqlite3"));
}

bool ProjectDatabase::exec(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (!query.prepare(statement))
        return false;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    return query.exec();
}

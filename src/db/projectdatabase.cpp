#include "db/projectdatabase.h"

#include <QDir>
#include <QThread>

namespace {
thread_local int t_depth = 0;
}

ProjectDatabase::ProjectDatabase(const QString &databasePath)
{
    m_name = QStringLiteral("kelvara-%1-%2")
                 .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()), 0, 16)
                 .arg(t_depth++);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(databasePath);
    m_db.setUserName(QString());
    m_db.setPassword(QString());
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
    if (!m_db.open()) {
        m_openError = m_db.lastError();
        return false;
    }
    return true;
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

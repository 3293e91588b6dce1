#include "db/projectdatabase.h"

#include "db/schemaversion.h"
#include "db/serverconnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QThread>

namespace {
// Names stay unique on the thread while parked connections keep theirs.
thread_local quint64 t_serial = 0;
thread_local ProjectDatabase::Reuse *t_reuse = nullptr;
} // namespace

ProjectDatabase::Reuse::Reuse() : m_outer(t_reuse)
{
    t_reuse = this;
}

ProjectDatabase::Reuse::~Reuse()
{
    for (const QString &name : qAsConst(m_idle)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    t_reuse = m_outer;
}

ProjectDatabase::ProjectDatabase(const QString &databasePath, Access access) : m_access(access)
{
    m_server = ServerConnection::isConnectionFile(databasePath);
    if (m_server && access == Access::Project && t_reuse) {
        const auto parked = t_reuse->m_idle.find(databasePath);
        if (parked != t_reuse->m_idle.end()) {
            m_name = parked.value();
            t_reuse->m_idle.erase(parked);
            m_db = QSqlDatabase::database(m_name, false);
            m_path = databasePath;
            return;
        }
    }
    m_path = databasePath;
    m_name = QStringLiteral("kelvara-%1-%2")
                 .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()), 0, 16)
                 .arg(t_serial++);
    if (m_server) {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        QString error;
        const ServerConnection connection = ServerConnection::read(databasePath, &error);
        if (connection.isValid())
            connection.applyTo(m_db);
        else
            m_openError = QSqlError(QString(), error, QSqlError::ConnectionError,
                                    QStringLiteral("kelvara-connection"));
        return;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(databasePath);
    m_db.setUserName(QString());
    m_db.setPassword(QString());
    if (access == Access::ReadOnly)
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
}

ProjectDatabase::~ProjectDatabase()
{
    // A server connection in good order waits for the thread's next
    // operation; whatever its last one left open is rolled back first.
    if (m_server && m_access == Access::Project && t_reuse && m_db.isOpen() &&
        m_db.lastError().type() != QSqlError::ConnectionError) {
        bool reusable = false;
        {
            QSqlQuery end(m_db);
            reusable = end.exec(QStringLiteral("rollback"));
        }
        if (reusable) {
            t_reuse->m_idle.insert(m_path, m_name);
            m_db = QSqlDatabase();
            return;
        }
    }
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool ProjectDatabase::open()
{
    if (m_db.isOpen())
        return true;
    if (m_server && m_openError.isValid()) // the connection file is unusable
        return false;
    m_openError = QSqlError();
    if (!m_db.isValid()) {
        m_openError =
            QSqlError(QString(),
                      QCoreApplication::translate(
                          "ProjectDatabase", "The database driver for PostgreSQL is not installed "
                                             "(Debian package libqt5sql5-psql)."),
                      QSqlError::ConnectionError, QStringLiteral("kelvara-driver"));
        return false;
    }
    if (!m_db.open()) {
        m_openError = m_db.lastError();
        if (m_server)
            m_openError = serverOpenError(m_openError);
        return false;
    }
    if (m_server) {
        QSqlQuery session(m_db);
        // Probing never writes; messages come in English whatever the
        // server's locale, the program translates its own.
        if ((m_access == Access::ReadOnly &&
             !session.exec(QStringLiteral("set default_transaction_read_only=on"))) ||
            !session.exec(QStringLiteral("set client_min_messages=error"))) {
            m_openError = session.lastError();
            m_db.close();
            return false;
        }
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

QSqlError ProjectDatabase::serverOpenError(const QSqlError &error) const
{
    // The driver's own text is long and ends in "QPSQL: Unable to connect";
    // say what happened and keep the server's words as the reason.
    QString reason = error.databaseText().trimmed();
    reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString server =
        QStringLiteral("%1:%2/%3").arg(m_db.hostName()).arg(m_db.port()).arg(m_db.databaseName());
    const QString text =
        isPasswordError(error)
            ? QCoreApplication::translate(
                  "ProjectDatabase",
                  "The server %1 refused the sign-in of \"%2\": a password is needed or the one "
                  "given is wrong. Put it in the password file (~/.pgpass) or in PGPASSWORD. (%3)")
                  .arg(server, m_db.userName(), reason)
            : QCoreApplication::translate("ProjectDatabase",
                                          "The server %1 cannot be reached or refused the "
                                          "connection: %2")
                  .arg(server, reason);
    return QSqlError(QString(), text, QSqlError::ConnectionError, error.nativeErrorCode());
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

bool ProjectDatabase::isServer(const QSqlDatabase &db)
{
    return db.driver() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

bool ProjectDatabase::isServer(const QSqlQuery &query)
{
    return query.driver() && query.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

bool ProjectDatabase::isServerProject(const QString &projectFolder)
{
    return QFileInfo(ServerConnection::filePathForProject(projectFolder)).isFile();
}

bool ProjectDatabase::isPasswordError(const QSqlError &error)
{
    const QString text = error.databaseText() + error.driverText();
    return text.contains(QLatin1String("password authentication failed")) ||
           text.contains(QLatin1String("no password supplied"));
}

QString ProjectDatabase::databasePathForProject(const QString &projectFolder)
{
    if (isServerProject(projectFolder))
        return ServerConnection::filePathForProject(projectFolder);
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

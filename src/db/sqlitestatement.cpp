#include "db/sqlitestatement.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace {

sqlite3 *connectionOfDriver(const QSqlDriver *driver)
{
    const QVariant handle = driver && driver->isOpen() ? driver->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

sqlite3 *SqliteStatement::connectionOf(const QSqlDatabase &db)
{
    return db.isOpen() ? connectionOfDriver(db.driver()) : nullptr;
}

sqlite3 *SqliteStatement::connectionOf(const QSqlQuery &query)
{
    return connectionOfDriver(query.driver());
}

SqliteStatement::SqliteStatement(sqlite3 *connection, const char *sql) : m_connection(connection)
{
    m_code =
        connection ? sqlite3_prepare_v2(connection, sql, -1, &m_statement, nullptr) : SQLITE_MISUSE;
    if (m_code != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::step(std::initializer_list<qint64> values)
{
    if (!m_statement)
        return false;
    sqlite3_reset(m_statement);
    int index = 1;
    for (qint64 value : values) {
        m_code = sqlite3_bind_int64(m_statement, index++, value);
        if (m_code != SQLITE_OK)
            return false;
    }
    return step();
}

bool SqliteStatement::step()
{
    if (!m_statement)
        return false;
    m_code = sqlite3_step(m_statement);
    return m_code == SQLITE_ROW || m_code == SQLITE_DONE;
}

bool SqliteStatement::run(std::initializer_list<qint64> values)
{
    const bool ok = step(values) && m_code == SQLITE_DONE;
    // A failed step leaves its code; reset would repeat it.
    sqlite3_reset(m_statement);
    return ok;
}

void SqliteStatement::reset()
{
    if (m_statement)
        sqlite3_reset(m_statement);
}

bool SqliteStatement::bind(int index, qint64 value)
{
    m_code = m_statement ? sqlite3_bind_int64(m_statement, index, value) : SQLITE_MISUSE;
    return m_code == SQLITE_OK;
}

bool SqliteStatement::bindText(int index, const QByteArray &text)
{
    m_code = m_statement ? sqlite3_bind_text(m_statement, index, text.constData(), text.size(),
                                             SQLITE_STATIC)
                         : SQLITE_MISUSE;
    return m_code == SQLITE_OK;
}

bool SqliteStatement::bindNull(int index)
{
    m_code = m_statement ? sqlite3_bind_null(m_statement, index) : SQLITE_MISUSE;
    return m_code == SQLITE_OK;
}

bool SqliteStatement::hasRow() const
{
    return m_code == SQLITE_ROW;
}

int SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int(m_statement, column);
}

qint64 SqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

int SqliteStatement::changes() const
{
    return m_connection ? sqlite3_changes(m_connection) : 0;
}

QSqlError SqliteStatement::error(const QString &text) const
{
    const QString databaseText = m_connection ? QString::fromUtf8(sqlite3_errmsg(m_connection))
                                              : QStringLiteral("no SQLite connection");
    return QSqlError(text, databaseText, QSqlError::StatementError, QString::number(m_code));
}

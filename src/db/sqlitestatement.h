#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

// A statement of SQLite's own interface on the connection of an open
// QSqlDatabase, for the few places where stepping or binding through
// QSqlQuery costs more than the work itself (hundreds of thousands of rows).
// It shares the connection's transaction.
class SqliteStatement
{
public:
    // The SQLite connection behind db, or nullptr when there is none.
    static sqlite3 *connectionOf(const QSqlDatabase &db);
    // The same for the connection a query runs on.
    static sqlite3 *connectionOf(const QSqlQuery &query);

    SqliteStatement(sqlite3 *connection, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // False when the statement could not be prepared; code() tells why.
    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt *handle() const { return m_statement; }
    // The result code of the last preparation, step or run.
    int code() const { return m_code; }

    // Binds the values to ?1, ?2, ... and steps once: true for a row
    // (SQLITE_ROW) or the end (SQLITE_DONE), which code() then tells apart.
    bool step(std::initializer_list<qint64> values);
    bool step();
    // Binds, runs to the end and resets: true when it ran without an error.
    bool run(std::initializer_list<qint64> values);
    // Binding one by one, for values other than integers: reset(), then
    // bind ?index (from 1), then step(). Text is UTF-8 the caller keeps
    // until the step. False on an error, which code() tells.
    void reset();
    bool bind(int index, qint64 value);
    bool bindText(int index, const QByteArray &text);
    bool bindNull(int index);
    bool hasRow() const;
    int columnInt(int column) const;
    qint64 columnInt64(int column) const;
    // Rows the last run changed.
    int changes() const;

    // An error with text and the connection's own message and code.
    QSqlError error(const QString &text) const;

private:
    sqlite3 *m_connection = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    int m_code = 0;
};

#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// A short-lived connection to a project database. Every operation opens one,
// runs its statements and lets it go again; nothing stays open in between.
// Each thread (and each nesting level on a thread) gets its own connection
// name, so the user-interface thread and a worker never share a connection.
class ProjectDatabase
{
public:
    explicit ProjectDatabase(const QString &databasePath);
    ~ProjectDatabase();
    ProjectDatabase(const ProjectDatabase &) = delete;
    ProjectDatabase &operator=(const ProjectDatabase &) = delete;

    // Opens the file (SQLite creates a missing file). On failure lastError() tells why.
    bool open();
    bool isOpen() const;
    QSqlError lastError() const;

    QSqlDatabase &database() { return m_db; }
    QSqlQuery query() const { return QSqlQuery(m_db); }

    bool transaction();
    bool commit();
    bool rollback();

    QString connectionName() const { return m_name; }

    // "%1/%2.sqlite3": the project folder and its last path component.
    static QString databasePathForProject(const QString &projectFolder);

    // Prepares a statement, binds the values in order and runs it. The values
    // are never pasted into the statement text.
    static bool exec(QSqlQuery &query, const QString &statement,
                     const QVariantList &values = QVariantList());

private:
    QString m_name;
    QSqlDatabase m_db;
    QSqlError m_openError;
};

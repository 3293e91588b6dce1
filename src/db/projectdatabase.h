#pragma once

#include <QMultiHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// A short-lived connection to a project database. Every operation opens one,
// runs its statements and lets it go again; nothing stays open in between.
// The path names either a folder project's SQLite file or a server project's
// connection file (ServerConnection), whose database lives on PostgreSQL.
// Each thread (and each nesting level on a thread) gets its own connection
// name, so the user-interface thread and a worker never share a connection.
class ProjectDatabase
{
public:
    enum class Access {
        Project,  // a project at this program's schema version, else open() fails
        Raw,      // any file, read and written: creating and upgrading a project
        ReadOnly, // any existing file, never written: probing its version
    };

    // While one lives on a thread, the server connections that operations on
    // that thread let go stay open for its next operations on the same
    // project instead of signing in again each time (about 5 ms even on this
    // computer); it closes them when it ends. A function run keeps one per
    // worker thread. Folder projects are not affected.
    class Reuse
    {
    public:
        Reuse();
        ~Reuse();
        Reuse(const Reuse &) = delete;
        Reuse &operator=(const Reuse &) = delete;

    private:
        friend class ProjectDatabase;
        QMultiHash<QString, QString> m_idle; // database path -> connection name
        Reuse *m_outer;
    };

    explicit ProjectDatabase(const QString &databasePath, Access access = Access::Project);
    ~ProjectDatabase();
    ProjectDatabase(const ProjectDatabase &) = delete;
    ProjectDatabase &operator=(const ProjectDatabase &) = delete;

    // Opens the file (SQLite creates a missing file unless read-only). A
    // project connection also fails on a database of another schema version,
    // so no worker writes into a project the window would refuse. On failure
    // lastError() tells why.
    bool open();
    bool isOpen() const;
    // A server project's connection (PostgreSQL) rather than a file.
    bool isServer() const { return m_server; }
    static bool isServer(const QSqlQuery &query);
    static bool isServer(const QSqlDatabase &db);
    QSqlError lastError() const;

    QSqlDatabase &database() { return m_db; }
    QSqlQuery query() const { return QSqlQuery(m_db); }

    bool transaction();
    bool commit();
    bool rollback();

    QString connectionName() const { return m_name; }

    // "%1/%2.sqlite3": the project folder and its last path component; a
    // server project's connection file ("%1/%2.kxserver") where it has one.
    static QString databasePathForProject(const QString &projectFolder);
    // The folder holds a server project's connection file.
    static bool isServerProject(const QString &projectFolder);
    // The server refused the sign-in for want of a (right) password.
    static bool isPasswordError(const QSqlError &error);

    // Prepares a statement, binds the values in order and runs it. The values
    // are never pasted into the statement text.
    static bool exec(QSqlQuery &query, const QString &statement,
                     const QVariantList &values = QVariantList());

private:
    QSqlError serverOpenError(const QSqlError &error) const;

    QString m_name;
    QString m_path;
    QSqlDatabase m_db;
    QSqlError m_openError;
    Access m_access;
    bool m_server = false;
};

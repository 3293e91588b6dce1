#pragma once

#include <QString>

class QSqlDatabase;

// Where a server project's database lives: the small connection file a
// server project folder holds beside its local log/ and data/ folders,
// named after the folder like a folder project's database file. It never
// holds a password: libpq's password file, the PG* environment or the
// password asked for at sign-in (kept in memory only) supply one.
struct ServerConnection
{
    QString host; // a host name, an address or a Unix socket folder
    int port = 5432;
    QString database;
    QString user; // empty: the signed-in system user's name
    QString sslMode = QStringLiteral("prefer");

    // "<folder>/<last path component>.kxserver".
    static QString filePathForProject(const QString &projectFolder);
    static bool isConnectionFile(const QString &path);

    // Reads a connection file; on a missing, unreadable or malformed file
    // (a password in it included) `error` says why and the result is invalid.
    static ServerConnection read(const QString &path, QString *error);
    // Writes the file complete or not at all.
    bool write(const QString &path, QString *error) const;
    bool isValid() const { return !host.isEmpty() && !database.isEmpty() && port > 0; }

    // "user@host:port/database" for title and status bar.
    QString describe() const;
    // The libpq settings on a connection of Qt's PostgreSQL driver.
    void applyTo(QSqlDatabase &db) const;

    // The password given at sign-in, for the run of the program only.
    static void setSessionPassword(const QString &password);
    static QString sessionPassword();
};

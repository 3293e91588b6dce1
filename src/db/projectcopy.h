#pragma once

#include "db/serverconnection.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QSqlQuery>
#include <QString>

// Moves a project between the two kinds without losing a row: every row of
// every table keeps its key, so rights, pending marks, events and the audit
// trail with its chain of hashes arrive as they were. What arrived is read
// back and compared, table by table, by row count and content hash.
class ProjectCopy
{
    Q_DECLARE_TR_FUNCTIONS(ProjectCopy)

public:
    struct TableSum
    {
        QString table;
        qint64 rows = 0;
        QByteArray sha256; // over every row in key order (hex)
        bool operator==(const TableSum &other) const
        {
            return table == other.table && rows == other.rows && sha256 == other.sha256;
        }
    };

    enum class Outcome {
        Copied,
        Refused, // the source is not current, or the target is not new or empty
        Failed,  // nothing is left behind at the target
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString message;
        QString target;         // the folder written, when there is one
        QList<TableSum> source; // as read from the source
        QList<TableSum> copied; // as read back from the target
    };

    // The count and hash of every table, read on an open connection. Values
    // are rendered alike on both kinds (integers as decimals, NULL apart from
    // an empty text), so equal content gives equal hashes.
    static bool summarise(QSqlQuery &query, QList<TableSum> *sums, QString *error);

    // Copies every row the source query's connection sees (in the caller's
    // transaction) into the target database, which holds the same tables
    // and only the rows a new project starts with: those give way. One
    // transaction on the target, committed only when its counts and hashes
    // equal the source's; on a server the keys continue past the largest.
    static Result copyRows(QSqlQuery &source, const QString &targetDatabasePath);

    // Into a new folder project of the source's schema `version`; the folder
    // must not exist and is removed again on any failure.
    static Result toFolder(QSqlQuery &source, int version, const QString &folder);
    // Into the empty database of a server, with the roles granted; with a
    // project folder (which must not exist) one that opens it. On any failure
    // the database is empty again and the folder gone.
    static Result toServer(QSqlQuery &source, int version, const ServerConnection &connection,
                           const QString &projectFolder);

    // A whole project folder, at this program's version (else refused with
    // the advice to upgrade first), read in one consistent snapshot.
    enum class Kind { Folder, Server };
    static Result copyProject(const QString &sourceFolder, Kind kind, const QString &targetFolder,
                              const ServerConnection &connection = ServerConnection());
};

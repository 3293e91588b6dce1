#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// The project database: its schema, creation, recognition and the tag/value
// rows of the "project" table.
namespace ProjectSchema {

// The eight schema statements, in the order they are run.
QStringList statements();

// Creates and fills a new project database (tables, the marker tags and the
// built-in "Always" time model). The encoding callers pass is "utf8".
// `version` 0 builds this program's schema; an older one (for a backup of a
// project before its upgrade) stops after that version's steps.
QSqlError createProjectDatabase(const QString &databasePath,
                                const QString &encoding = QStringLiteral("utf8"), int version = 0);

// True when the folder's database file exists, opens and carries the marker tag.
bool isProjectDatabase(const QString &projectFolder);

// What the folder holds. A database another program holds locked past the
// wait is Busy, not "no project": it may well be one.
enum class FolderState { Project, NotProject, Busy };
FolderState projectFolderState(const QString &projectFolder);

// Whether the error is the database being locked by another connection.
bool isBusyError(const QSqlError &error);

// Tag rows, on a query of an open connection. readProjectTag returns a null
// string when the tag has no row.
QString readProjectTag(QSqlQuery &query, const QString &tag);
bool insertProjectTag(QSqlQuery &query, const QString &tag, const QString &value);
bool updateProjectTag(QSqlQuery &query, const QString &tag, const QString &value);
bool writeProjectTag(QSqlQuery &query, const QString &tag, const QString &value);

inline const QString TagMarker = QStringLiteral("KelvaraManager-DB");
inline const QString TagDatabaseVersion = QStringLiteral("DatabaseVersion");
inline const QString TagCreationDate = QStringLiteral("CreationDate");

} // namespace ProjectSchema

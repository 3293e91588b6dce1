#pragma once

#include "db/recordrows.h"
#include "db/transponderidd.h"

#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Statements on the users table. Statement-level calls run on the caller's
// open query and return false on failure (the caller reads
// query.lastError()); operation-level calls take the database path, open the
// database themselves and return the error (empty on success). Adding,
// changing and removing a user writes its audit record on the same
// transaction (see AuditTrail).
namespace UserRecords {

enum SortKey {
    SortByName = 0,
    SortByGroup = 1,
    SortByComment = 2,
    SortByShortRangeIdd = 3,
    SortByShortRangeComment = 4,
    SortByLongRangeIdd = 5,
    SortByLongRangeComment = 6,
};

// The fixed "order by" clause for a sort key; unknown keys sort by name.
QString sortClause(int sortKey, bool ascending);

bool listUsers(QSqlQuery &query, int sortKey, bool ascending, QList<UserRow> &rows);
QSqlError listUsers(const QString &databasePath, int sortKey, bool ascending, QList<UserRow> &rows);

// Key, names and group only, in board order (group, family name, first name).
bool listUsersForBoard(QSqlQuery &query, QList<UserRow> &rows);
QSqlError listUsersForBoard(const QString &databasePath, QList<UserRow> &rows);

bool usersOfGroup(QSqlQuery &query, const QString &groupName, QSet<int> &keys);
QSqlError usersOfGroup(const QString &databasePath, const QString &groupName, QSet<int> &keys);
// Empty on any failure.
QStringList distinctGroups(const QString &databasePath);
// -1 when the statement fails.
int countUsers(QSqlQuery &query);

// The new row's key is left in *newKey when given.
bool addUser(QSqlQuery &query, const UserRow &user, int *newKey = nullptr);
QSqlError addUser(const QString &databasePath, const UserRow &user, int *newKey = nullptr);

bool editUser(QSqlQuery &query, const UserRow &user);
// As the operation below on the caller's open transaction, adding the marked
// entries to marked.
bool editUser(QSqlQuery &query, const UserRow &user, QSet<int> &marked);
// Saves the user and, in the same transaction, marks the entries of the
// matching reader technology where the user has a right when an identifier
// changed. The marked entries are left in *markedEntries when given.
QSqlError editUser(const QString &databasePath, const UserRow &user,
                   QSet<int> *markedEntries = nullptr);

// Statement level without an audit record: a part of another change (the
// identifier lengths of the project settings).
bool setShortRangeIdentifier(QSqlQuery &query, int pkUsers, const QString &iddText);

// Renames the group of every user in it, in one transaction (BoardRename
// without its undo).
QSqlError renameGroup(const QString &databasePath, const QString &newName, const QString &oldName);

// Removes the user's access rows and the user as one unit.
bool removeUser(QSqlQuery &query, int pkUsers);
// As the operation below on the caller's open transaction, adding the marked
// entries to marked.
bool removeUser(QSqlQuery &query, int pkUsers, QSet<int> &marked);
// As above in one transaction, marking first every entry where the user had
// a right; those entries are left in *markedEntries when given.
QSqlError removeUser(const QString &databasePath, int pkUsers, QSet<int> *markedEntries = nullptr);

// The user's fields as the audit trail records them: those that hold a
// value, identifiers as stored.
QJsonObject auditValues(const UserRow &user);

// The checks of the user dialog, for the window and kelvara-cli alike.
enum Field { NoField = 0, FamilyNameField, FirstNameField, GroupField };
// Why the user cannot be stored as it stands (a name or the group missing or
// holding a control character); empty when it can.
RecordProblem problem(const UserRow &user);
// Why a user the database refused collides with another (the name, an
// identifier already taken), one line each; identifiers shown as given.
QStringList conflicts(const QString &databasePath, const UserRow &user);

// The record for a transponder read by a reader but unknown to the project:
// "Import<number>" as both names, the translated group "Import Transponder",
// and only the identifier set, in the column of its technology. An
// identifier without a type gets 4 (short range) or 132 (long range).
UserRow importedUser(int number, const TransponderIdd &idd, bool longRange);

// Adds the teach-in user. The number is the count of users plus 1, raised
// past any "Import<n>" name already taken so the insert never collides.
QSqlError addImportedUser(const QString &databasePath, const TransponderIdd &idd, bool longRange,
                          int *newKey = nullptr);

} // namespace UserRecords

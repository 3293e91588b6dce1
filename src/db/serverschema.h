#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

// What a project database on a PostgreSQL server needs beyond the folder
// project's schema: the statements in the server's dialect, the change
// notifications other workstations follow, and the three operator roles the
// server enforces with its grants.
namespace ServerSchema {

// Every table of a project at this program's schema version, in an order
// copying can follow (the rows a key refers to first).
const QStringList &tables();

// A folder project's statement in the server's dialect: 64-bit integers,
// keys from an identity, text without a length the file never enforced and
// compared byte by byte as SQLite does.
QString translate(const QString &statement);

// The audit trail's guard on the server: a trigger that refuses changing or
// shortening it, whoever asks.
QStringList auditTrailGuard();
// The guard's trigger as the trail's check names it.
inline const QString AuditGuardTrigger = QStringLiteral("audittrail_guard");
// Whether the guard is in force: the trigger on the table, enabled, calling
// our function with its body unchanged.
bool auditGuardInForce(QSqlQuery &query, bool *inForce);
// The classes (first numbers) of the program's two-number advisory locks on
// the server: each kind of lock its own, so they never meet.
constexpr int AuditTrailLockClass = 0x4b41; // "KA", second number 1
constexpr int EntryLockClass = 0x4b45;      // "KE", second number the entry's key

// Serialises appending to the audit trail until the caller's transaction
// ends, so two workstations never chain on the same last record.
bool lockAuditTrail(QSqlQuery &query);

// The channel every committed change is announced on; the payload names the
// table and the application name of the connection that changed it.
inline const QString Channel = QStringLiteral("kelvara_changed");

// The notification function and its statement triggers on every table.
// Run after the schema steps; safe to run again (an upgrade does).
bool createNotifications(QSqlQuery &query, QString *error);

// The group roles operators are members of, cluster-wide.
inline const QString AdministratorRole = QStringLiteral("kelvara_administrator");
inline const QString OperatorRole = QStringLiteral("kelvara_operator");
inline const QString ViewerRole = QStringLiteral("kelvara_viewer");

enum class Role { None, Viewer, Operator, Administrator };
// "administrator", "operator", "viewer" <-> Role; None for anything else.
Role roleFromName(const QString &name);
QString roleName(Role role);

// Creates the group roles that are missing (needs CREATEROLE).
bool createRoles(QSqlQuery &query, QString *error);
// Grants each role what it may do on every table of the project; run again
// after an upgrade added tables.
bool grantRoles(QSqlQuery &query, QString *error);
// Creates a login role (without password unless one is given) that is
// member of the role's group, or moves an existing one to that group.
bool addOperator(QSqlQuery &query, const QString &name, Role role, const QString &password,
                 QString *error);
// The strongest group the signed-in role belongs to; Administrator for the
// database's owner and superusers, who may do everything anyway.
Role signedInRole(QSqlQuery &query);

// The triggers, views and functions in the project's schema that none of
// ours made, as "trigger NAME" / "view NAME" / "function NAME"; reading
// fails -> false.
bool foreignObjects(QSqlQuery &query, QStringList *foreign);

} // namespace ServerSchema

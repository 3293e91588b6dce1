#pragma once

#include "db/projectdatabase.h"

#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Shared pieces of the record operations: the value rules for nullable
// columns, key lists for "in (...)" filters and the open/run/close frame of
// the operation-level calls.
namespace RecordStatement {

// Empty identifiers, addresses and serial numbers are stored as null so that
// several rows without them coexist under the unique constraints.
QVariant textOrNull(const QString &text);
// An identifier text without identifier bytes ("-04", left when an edit
// field is cleared) identifies nothing: stored as null like an empty one, so
// two such users do not collide on the unique identifier columns.
QVariant identifierOrNull(const QString &iddText);
// Names, comments and configuration texts are always written as text, so an
// empty one stays an empty string rather than null.
QVariant text(const QString &text);
// Port and reader type 0 are stored as null for the same reason.
QVariant numberOrNull(int number);

// The keys in ascending order, separated by ",". Keys are integers, so
// writing them into the statement text is safe.
QString keyList(const QSet<int> &keys);

// The columns of a sort, each with the direction and the place of nulls a
// folder project has always given: first ascending, last descending (the
// server's own default is the other way round).
QString orderBy(const QStringList &columns, bool ascending);

// Runs an "insert ... returning <key>" and reads the new row's key: the one
// way both kinds tell it (the server driver's lastInsertId() does not).
bool insertReturningKey(QSqlQuery &query, const QString &statement, const QVariantList &values,
                        int *key);

// A refusal by a constraint (unique, foreign key, not null, check).
bool isConstraint(const QSqlError &error, bool server);
bool isConstraint(const QSqlQuery &query);
// The error as callers and messages know it from a folder project: a
// constraint's refusal carries the code 19 on both kinds.
QSqlError portable(const QSqlError &error, bool server);

// The query's error, or a statement error with the given text when the
// query has none (a refusal of ours rather than of the database).
QSqlError failure(const QSqlQuery &query, const QString &text = QString());
QSqlError refusal(const QString &text);

// A name with a control character (a NUL byte, a tab, a line break) would be
// stored as is and show broken everywhere: it is refused.
bool hasControlCharacter(const QString &text);
// The refusal of the first name holding one; no error when none does.
QSqlError refuseControlCharacters(const QStringList &names);

// After a loop over query.next(): true when the rows ran out, false when
// reading one failed (a damaged page, a lock); the query's lastError() then
// tells why. Ask before query.finish(), which forgets the error.
inline bool rowsEnded(const QSqlQuery &query)
{
    return !query.lastError().isValid();
}

// For a query of at most one row: true with found set when the row is there
// or there is none, false when reading it failed.
inline bool fetchOne(QSqlQuery &query, bool &found)
{
    found = query.next();
    return found || rowsEnded(query);
}

inline QSqlError outcome(bool ok, const QSqlQuery &query)
{
    return ok ? QSqlError() : failure(query);
}

// Opens the database, hands one query to the work and closes again.
template<typename Work> QSqlError run(const QString &databasePath, Work &&work)
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    QSqlQuery query = db.query();
    return portable(work(query), db.isServer());
}

// As run(), with all statements of the work in one transaction: committed
// when the work returns no error, rolled back otherwise.
template<typename Work> QSqlError runInTransaction(const QString &databasePath, Work &&work)
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    if (!db.transaction())
        return db.lastError();
    QSqlError error;
    {
        QSqlQuery query = db.query();
        error = work(query);
        query.finish();
    }
    if (error.isValid()) {
        db.rollback();
        return portable(error, db.isServer());
    }
    if (!db.commit()) {
        error = db.lastError();
        db.rollback();
        return error;
    }
    return QSqlError();
}

// The server refused a statement for want of a transaction.
bool isOutsideTransaction(const QSqlQuery &query);

// Runs several statements on the caller's connection as one unit: a
// savepoint nests inside a transaction the caller may already hold.
// The work's failure is kept in the caller's query, whose lastError() the
// caller reads, so the savepoint statements run on a query of their own.
// Outside a transaction SQLite's savepoint opens one; the server refuses a
// savepoint there, so the work gets a transaction of its own instead.
template<typename Work> bool runInSavepoint(QSqlQuery &query, const char *name, Work &&work)
{
    QSqlQuery control(query.driver()->createResult());
    const QString savepoint = QString::fromLatin1(name);
    bool own = false; // a transaction of the work's own
    if (!control.exec(QStringLiteral("savepoint ") + savepoint)) {
        if (!isOutsideTransaction(control) || !control.exec(QStringLiteral("begin")))
            return false;
        own = true;
    }
    const QString release = own ? QStringLiteral("commit") : QStringLiteral("release ") + savepoint;
    if (work(query)) {
        query.finish();
        return control.exec(release);
    }
    query.finish();
    control.exec(own ? QStringLiteral("rollback") : QStringLiteral("rollback to ") + savepoint);
    if (!own)
        control.exec(release);
    return false;
}

} // namespace RecordStatement

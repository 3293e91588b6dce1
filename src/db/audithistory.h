#pragma once

#include "db/audittrail.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>

// Reading the audit trail: filtered pages newest first for the history view
// and kelvara-cli history, and the check of its chain.
namespace AuditHistory {

struct Filter
{
    QDateTime from;       // records at or after (invalid: no bound)
    QDateTime to;         // records at or before (invalid: no bound)
    QString operatorName; // "account" (on any host) or "account@host"
    QString kind;         // an AuditTrail::Kind text
    QString objectName;   // part of the object's name
    QString user;         // "Last, First": records concerning that user
    QString entry;        // "Area/Entry", or "Entry" in any area
    QString text;         // part of anything a record says
};

// Records that pass the filter, newest first: those before `before` (0: from
// the newest on), at most `limit`. Values longer than valueLength characters
// are cut there and end in "…" (0: whole). *more tells whether older records
// may follow. A rights record concerns a user and an entry together only
// when a cell of that pair changed.
QSqlError readPage(const QString &databasePath, const Filter &filter, qint64 before, int limit,
                   int valueLength, QList<AuditRecord> &records, bool *more);
// Hands every record that passes the filter, whole, to `take`, newest first,
// until take returns false.
QSqlError forEach(const QString &databasePath, const Filter &filter,
                  const std::function<bool(const AuditRecord &)> &take);
// One record, whole; sequence 0 when there is none.
QSqlError readRecord(const QString &databasePath, qint64 sequence, AuditRecord &record);
// The operators the trail names, in order.
QSqlError operators(const QString &databasePath, QStringList &names);

// Whether a rights record changed the right of the user at the entry
// ("Area/Entry", or "Entry" in any area), and the time model's tag before and
// after (empty: no right).
bool rightsOfPair(const AuditRecord &record, const QString &user, const QString &entry,
                  QString *before = nullptr, QString *after = nullptr);

struct Verification
{
    qint64 records = 0;        // records read
    qint64 firstBroken = 0;    // the first record out of the chain; 0: none
    QString problem;           // why, for people
    QStringList missingGuards; // triggers that should refuse changes but are gone
    bool intact() const { return firstBroken == 0 && missingGuards.isEmpty(); }
};
// Walks the chain in sequence order: each record must follow the one before
// it and match its hash over its content and that record's hash.
QSqlError verify(const QString &databasePath, Verification &result);

} // namespace AuditHistory

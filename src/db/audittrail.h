#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

// One record of the audit trail: who changed what, when, and how it was
// before and after.
struct AuditRecord
{
    qint64 sequence = 0;  // the order of the trail, 1, 2, ...; never the time
    QDateTime recordedAt; // UTC
    QString operatorName; // on a folder project "account@host"
    QString program;      // "kelvara-manager", "kelvara-cli"
    QString programVersion;
    QString action;       // one of the Action texts below
    QString objectKind;   // one of the Kind texts below
    QString objectName;   // "Ames, Al", "Hall/Gate", "DAY", ...
    QString valuesBefore; // compact JSON; empty when there was nothing
    QString valuesAfter;  // compact JSON; empty when nothing is left
    qint64 reverses = 0;  // an undo or redo: the record it takes back
    QStringList users;    // the users concerned, "Last, First"
    QStringList entries;  // the entries concerned, "Area/Entry"
    QString hash;         // SHA-256 (hex) over the content and the previous hash
};

// The audit trail of a project (table auditTrail): every change is recorded
// by the engine function that makes it, on the change's own transaction, so
// change and record are written together or not at all. Each record carries
// a hash over its content and the previous record's hash; the table's
// triggers refuse updates and deletes.
namespace AuditTrail {

// Object kinds and actions as stored; texts for people come from kindText()
// and actionText().
namespace Kind {
inline const QString User = QStringLiteral("user");
inline const QString Entry = QStringLiteral("entry");
inline const QString Group = QStringLiteral("group");
inline const QString Area = QStringLiteral("area");
inline const QString TimeModel = QStringLiteral("model");
inline const QString Holiday = QStringLiteral("holiday");
inline const QString Rights = QStringLiteral("rights");
inline const QString Settings = QStringLiteral("settings");
inline const QString UserList = QStringLiteral("userlist");
inline const QString Function = QStringLiteral("function");
inline const QString Project = QStringLiteral("project");
} // namespace Kind
namespace Action {
inline const QString Add = QStringLiteral("add");
inline const QString Change = QStringLiteral("change");
inline const QString Remove = QStringLiteral("remove");
inline const QString Rename = QStringLiteral("rename");
inline const QString Set = QStringLiteral("set");
inline const QString Undo = QStringLiteral("undo");
inline const QString Redo = QStringLiteral("redo");
inline const QString Import = QStringLiteral("import");
inline const QString Sync = QStringLiteral("sync");
inline const QString Run = QStringLiteral("run");
inline const QString Fill = QStringLiteral("fill");
} // namespace Action

QStringList kinds();
QString kindText(const QString &kind);
QString actionText(const QString &action);

// The triggers of schema version 2 that refuse updates and deletes (on a
// server the one trigger that refuses them and truncating).
QStringList guardTriggers(bool server = false);

// Whether changes made on this thread are recorded now: not while a Batch is
// open on it, nor while switched off for a benchmark.
bool isRecording();
// Only for the benchmark that measures what recording costs.
void setRecordingForBenchmark(bool on);
// A clock for tests (the computer's clock set back); none: the real one.
void setClockForTest(const std::function<QDateTime()> &clock);

// Appends the record on the caller's open transaction: sequence, time,
// operator, program and hash are filled in. Nothing is written (and true
// returned) while not recording. False on failure, query.lastError() tells.
// The new record's sequence is left in *sequence (0 when none was written).
bool record(QSqlQuery &query, AuditRecord record, qint64 *sequence = nullptr);

// While a batch is open on a thread, the records of single objects the
// engine functions would write there are left out: an import or a
// synchronisation of thousands of users writes one record of its own.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;
    // The batch's own record, written while the batch is open.
    bool record(QSqlQuery &query, const AuditRecord &record, qint64 *sequence = nullptr);
};

// Records a reader function's run in a transaction of its own: the function
// (its log folder name) and each entry's outcome, by entry key; names stand
// in for entries removed meanwhile.
struct RunOutcome
{
    int pkDoors = 0;
    QString doorName;
    QString outcome; // "done", "noConnection", "failed", "differs", "notRun"
};
QSqlError recordRun(const QString &databasePath, const QString &function,
                    const QList<RunOutcome> &outcomes);

// The computer account and host ("account@host") that changes on a folder
// project are recorded under.
QString folderOperator();

// "Last, First" and "Area/Entry", as records name users and entries.
QString userName(const QString &familyName, const QString &firstName);
QString entryName(const QString &areaName, const QString &doorName);

// The record of one object added (before empty), changed or removed (after
// empty), with the values as they were and are; a change that changes no
// value writes nothing. `removed` joins the values before (what went with
// the object). As record() otherwise.
bool recordObject(QSqlQuery &query, AuditRecord record, QJsonObject before, QJsonObject after,
                  const QJsonObject &removed = QJsonObject());

// Appends the names of the rows the statement selects as two columns:
// "Last, First" from family and first names, or "Area/Entry".
enum class Names { Users, Entries };
bool readNames(QSqlQuery &query, const QString &statement, const QVariantList &values, Names kind,
               QStringList &names);

// Compact JSON text of the object; empty for an empty object.
QString json(const QJsonObject &object);
// Drops the fields both objects hold with equal values.
void keepDifferences(QJsonObject &before, QJsonObject &after);
// The text in its JSON form (quotes and escapes), for texts written by hand.
QByteArray jsonString(const QString &text);
void appendJsonString(QByteArray &out, const QString &text);

// The record's fields as the table stores them (a missing value as an empty
// text), in the order of AuditRecord without the hash.
QStringList storedFields(const AuditRecord &record);
// The hash a record carries: SHA-256 over each stored field (its length in
// UTF-8 bytes, ":", the bytes), and last the previous record's hash in the
// same form (empty for the first record), as lowercase hex.
QString hashOf(const QStringList &storedFields, const QString &previousHash);

// The lists as stored: the names one a line, with a line break before the
// first and after the last, so a filter can match a whole name; null when
// empty. And back.
QString storedNames(const QStringList &names);
QStringList namesOf(const QString &stored);

} // namespace AuditTrail

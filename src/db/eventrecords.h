#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

// One event as a reader gave it, ready to be stored.
struct ReaderEventData
{
    QString idd; // upper-case hexadecimal
    int antenna = 0;
    QDateTime readerTime; // the reader's wall clock; invalid when it sent none
    bool granted = false;
    int errorNumber = 0;
    int inputState = 0;
};

// One stored event as the log shows it, with the entry and the user copy.
struct EventRow
{
    qint64 key = 0;
    qint64 readerTime = 0; // seconds, see EventRecords::toSeconds; 0 with invalidTime
    bool invalidTime = false;
    int pkDoors = 0;
    QString doorName; // empty when the entry was removed since
    QString areaName;
    quint32 deviceId = 0;
    QString idd;
    int antenna = 0;
    bool granted = false;
    int errorNumber = 0;
    int inputState = 0;
    qint64 readAt = 0; // seconds since 1970 UTC
    int userKey = 0;   // 0: no user held the identifier
    QString familyName;
    QString firstName;
    QString groupName;

    QDateTime time() const;
};

// Which events a list or count takes; empty fields take all.
struct EventFilter
{
    enum Result { AnyResult, Granted, Denied, Unknown };
    qint64 from = 0;    // seconds, inclusive; 0: no lower bound
    qint64 to = 0;      // seconds, exclusive; 0: no upper bound
    int pkDoors = 0;    // 0: every entry
    QString area;       // area of the entry (entries removed since are in none)
    QString familyName; // the user copy's names (with firstName), as held then
    QString firstName;
    QString groupName;
    QString idd; // exact, upper-case hex
    Result result = AnyResult;
    QString text; // contained in identifier, names, group, entry or area
    // The keys of the user copies and entries whose names hold the text, as
    // "k1,k2,..."; filled by list() and count() before the clause is built.
    QString textUsers;
    QString textDoors;

    // The where clause (without "where") and its values, in order.
    QString clause(QVariantList &values) const;
};

// Where to continue a newest-first list: after this row.
struct EventCursor
{
    qint64 readerTime = 0;
    qint64 key = 0;
    bool valid = false;
};

struct EventCounts
{
    qint64 total = 0;
    qint64 granted = 0;
    qint64 unknown = 0;
};

// The event log in the project database.
//
// Identity: an event is the same event when the entry, the reader's time to
// the second and its fingerprint agree. The fingerprint hashes the device
// ID, the identifier, antenna, result, error number, input state and the
// occurrence: how many events equal in all of these came before it in the
// same read. A reader returns its whole list on every read, in the same
// order, until new tables clear it, so the same events get the same
// identities again; two equal events in one second stay two events.
namespace EventRecords {

// Wall-clock time as seconds since 1970-01-01 00:00 of that same clock (no
// zone: readers keep the site's local time). Dates outside 2000-2099 are no
// reader dates and give 0.
qint64 toSeconds(const QDateTime &wallClock);
QDateTime fromSeconds(qint64 seconds);
bool isReaderDate(const QDateTime &wallClock);

// The result as a fixed key for scripts ("granted", "unknown-identifier",
// "outside-time-window", "holiday", "anti-passback", "denied-N") and as
// words for people. An event outside the time windows on one of the
// project's holidays was refused by the holiday.
QString resultKey(bool granted, int errorNumber, bool onHoliday = false);
QString resultText(bool granted, int errorNumber, bool onHoliday = false);

// The identity hash of one event given its occurrence (31 bits).
qint64 fingerprint(quint32 deviceId, const ReaderEventData &event, int occurrence);

// Stores the events of one read of one entry on the caller's transaction.
// `fresh` receives the positions (in `events`) of those not stored before.
// Fails when the entry no longer exists; nothing is stored then.
QSqlError store(QSqlQuery &query, int pkDoors, quint32 deviceId,
                const QList<ReaderEventData> &events, const QDateTime &readAt, QList<int> &fresh);
// Removes events whose reader time is older than `days` days before `now`
// (wall clock of the site); events with an invalid date stay. days 0: none.
QSqlError removeOlderThan(QSqlQuery &query, int days, const QDateTime &now, int &removed);

// Newest first, at most `limit` rows after the cursor.
QSqlError list(QSqlQuery &query, const EventFilter &filter, const EventCursor &after, int limit,
               QList<EventRow> &rows);
QSqlError count(QSqlQuery &query, const EventFilter &filter, EventCounts &counts);

// The project's holiday dates, to tell a holiday refusal from one outside
// the time windows.
QSqlError holidayDates(QSqlQuery &query, QSet<QDate> &dates);

// What the event view offers to filter by: the entries (key, area, name),
// the areas, and the groups and users ("LAST, FIRST") as the log holds them.
struct EventChoices
{
    struct Entry
    {
        int key = 0;
        QString area;
        QString name;
    };
    QList<Entry> entries;
    QStringList areas;
    QStringList groups;
    QList<QPair<QString, QString>> users; // family name, first name
};
QSqlError choices(QSqlQuery &query, EventChoices &choices);

// The latest granted event of every user who has one: userKey -> row.
QSqlError lastSeen(QSqlQuery &query, QHash<int, EventRow> &rows);
// Users with a granted event in the area since `since`, each with the
// latest such event, newest first.
QSqlError seenInArea(QSqlQuery &query, const QString &area, qint64 since, QList<EventRow> &rows);

} // namespace EventRecords

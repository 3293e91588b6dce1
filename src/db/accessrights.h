#pragma once

#include "db/recordrows.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// One access right with its time model tag, as the access board shows it.
struct AccessRow
{
    int pkAccess = 0;
    int pkUsers = 0;
    int pkDoors = 0;
    int pkTimes = 0;
    QString modelTag;
};

// One right as the board keeps it: the keys only, each time model's tag once
// beside them.
struct BoardRight
{
    int pkUsers = 0;
    int pkDoors = 0;
    int pkTimes = 0;
};

// Access rights (one time model per user and entry) and the pending-update
// marks of the entries. Statement-level calls run on the caller's open query
// and return false on failure (the caller reads query.lastError());
// operation-level calls take the database path and return the error.
namespace AccessRights {

// Reader type codes of the access readers.
constexpr int ShortRangeReader = 100;
constexpr int LongRangeReader = 101;
constexpr int LongRangeReader2 = 863;

// Filter texts over integer key sets. Callers never pass an empty set: the
// operations below treat one as "nothing to do" before building a filter.
QString usersFilter(const QSet<int> &users);
QString entriesInAccessFilter(const QSet<int> &entries);
QString entriesInDoorsFilter(const QSet<int> &entries);
QString shortRangeFilter();
QString longRangeFilter();

bool insertAccess(QSqlQuery &query, int pkUsers, int pkDoors, int pkTimes);
bool updateAccess(QSqlQuery &query, int pkUsers, int pkDoors, int pkTimes);
// Deletes the rights of every user of the set at every entry of the set;
// with an empty set nothing runs.
bool deleteAccess(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries);

bool listAccess(QSqlQuery &query, QList<AccessRow> &rows);
QSqlError listAccess(const QString &databasePath, QList<AccessRow> &rows);
// The rights listAccess() reads, stepped through the SQLite interface of the
// open connection itself and handed to `take` one by one: a large board holds
// over a million rights, and reading them as plain integers costs a fraction
// of a QSqlQuery row with its values. Each time model's tag is read once, into
// `tags` before the first right with that model is taken. Returns the error of
// the statement or of a row that cannot be read (a damaged page, a lock).
QSqlError listBoardRights(const QSqlDatabase &db,
                          const std::function<void(const BoardRight &right)> &take,
                          QHash<int, QString> &tags);

// The entries affected by a change, found before the change is made.
bool entriesOfTimeModel(QSqlQuery &query, int pkTimes, QSet<int> &entries);
QSqlError entriesOfTimeModel(const QString &databasePath, int pkTimes, QSet<int> &entries);
bool entriesOfUser(QSqlQuery &query, int pkUsers, QSet<int> &entries);
QSqlError entriesOfUser(const QString &databasePath, int pkUsers, QSet<int> &entries);
// Short-range (type 100) or long-range (types 101, 863) entries where the
// user with this stored identifier text has a right.
bool entriesOfShortRangeIdentifier(QSqlQuery &query, const QString &iddText, QSet<int> &entries);
bool entriesOfLongRangeIdentifier(QSqlQuery &query, const QString &iddText, QSet<int> &entries);

// Pending-update marks. An empty set marks nothing and succeeds.
bool setNeedsUpdate(QSqlQuery &query, const QSet<int> &entries, bool value);
QSqlError setNeedsUpdate(const QString &databasePath, const QSet<int> &entries, bool value);
bool setNeedsUpdateOfEntry(QSqlQuery &query, int pkDoors, bool value);
QSqlError setNeedsUpdateOfEntry(const QString &databasePath, int pkDoors, bool value);
// Both technologies mark all entries; neither runs nothing.
bool setNeedsUpdateByTechnology(QSqlQuery &query, bool shortRange, bool longRange, bool value);
QSqlError setNeedsUpdateByTechnology(const QString &databasePath, bool shortRange, bool longRange,
                                     bool value);

// The rights of one entry with their time models and the users' identifiers,
// for the reader tables.
bool readEntryAccess(QSqlQuery &query, int pkDoors, QList<EntryAccessRow> &rows);
QSqlError readEntryAccess(const QString &databasePath, int pkDoors, QList<EntryAccessRow> &rows);

// Everything an entry's reader tables are compiled from, read together.
struct EntryUpdateSource
{
    bool found = false; // false: the entry is gone
    EntryTarget entry;  // its reader: type, device ID, address
    QList<EntryAccessRow> rows;
    QList<HolidayRow> holidays; // every holiday, past ones too
    int hfIddLength = 0;
    int uhfIddLength = 0;
};

// Clears the entry's pending-update mark after an update, but only when
// what its tables are compiled from, read again under the write lock, still
// gives what was sent to the reader it was sent to (`stillSent` decides);
// otherwise the mark stays and *cleared is false. The lock keeps another
// program from changing anything between the check and the clearing.
QSqlError
clearNeedsUpdateIfUnchanged(const QString &databasePath, int pkDoors,
                            const std::function<bool(const EntryUpdateSource &now)> &stillSent,
                            bool *cleared);

// Users whose short-range identifier, or whose long-range identifier after
// its protocol-control word, is the hex identifier (zero bytes in front not
// counted, as extending to the project length adds them), whatever entries
// their rights are at; those with a right at this entry first. The tag is
// their time model at this entry, null when they have none there. The case
// of the hex letters does not matter; a text that is not hexadecimal finds
// nobody.
// The identifier as compared: lower-case hex without the zero bytes in front
// that extending it to the project length adds.
QString transponderKey(const QString &iddHex);
// Every user by the keys of their identifiers, in the order of
// findImportedTransponder: one read of the users for a whole event list.
using TransponderOwners = QHash<QString, QList<ImportedTransponderRow>>;
bool transponderOwners(QSqlQuery &query, int pkDoors, TransponderOwners &owners);
QSqlError findImportedTransponder(const QString &databasePath, const QString &iddHex, int pkDoors,
                                  QList<ImportedTransponderRow> &rows);

// Entries of the set served through a USB flash drive; -1 on failure.
int countFlashDriveEntries(QSqlQuery &query, const QSet<int> &entries);
int countFlashDriveEntries(const QString &databasePath, const QSet<int> &entries);

// Gives every user of the set the time model at every entry of the set
// (timeModel 0 removes their rights there), compared against the rights in
// the database: a pair that already holds the model is left alone. Exactly
// the entries where some right changed are marked as needing an update and
// left in *changedEntries. All rights and marks are written, or none.
QSqlError changeBoardCell(const QString &databasePath, const QSet<int> &users,
                          const QSet<int> &entries, int timeModel,
                          QSet<int> *changedEntries = nullptr);

// A right the change added, by its row key.
struct AddedRight
{
    qint64 pkAccess = 0;
    int pkUsers = 0;
    int pkDoors = 0;
};

// The same on the open transaction of query. added, when given, receives the
// rights it added; it is left without a value when they cannot be told.
QSqlError changeBlock(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
                      int timeModel, QSet<int> &changed,
                      std::optional<QVector<AddedRight>> *added = nullptr);

// Extends every user's short-range identifier to newLength bytes, stores
// those that changed, the project's HfIddLength and marks all short-range
// entries, in one transaction, recorded as a change of the settings.
// Identifiers whose stored text does not read are left as they are.
QSqlError widenShortRangeIdentifiers(const QString &databasePath, int newLength);
// The same on the caller's open transaction, unrecorded (saving the settings
// records it); *widened counts the identifiers that changed.
bool widenShortRangeIdentifiers(QSqlQuery &query, int newLength, int *widened = nullptr);

} // namespace AccessRights

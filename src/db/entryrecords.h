#pragma once

#include "db/recordrows.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// An entry as the access board shows it.
struct EntryBoardRow
{
    int pkDoors = 0;
    QString doorName;
    QString areaName;
    bool needsUpdate = false;
    QString readerSerNo;
};

// Statements on the doors (entries) table; statement level on the caller's
// query (false on failure, the caller reads query.lastError()), operation
// level on the database path (the error, empty on success).
namespace EntryRecords {

enum SortKey {
    SortByName = 0,
    SortByComment = 1,
    SortByAddress = 2,
    SortByReader = 3,
    SortByMacAddress = 4,
};

// The port word's bit for entries served through a USB flash drive.
constexpr int FlashDrivePortBit = 0x10000;

QString sortClause(int sortKey, bool ascending);

bool listEntries(QSqlQuery &query, int sortKey, bool ascending, QList<EntryRow> &rows);
QSqlError listEntries(const QString &databasePath, int sortKey, bool ascending,
                      QList<EntryRow> &rows);

// In board order (area, entry name).
bool listEntriesForBoard(QSqlQuery &query, QList<EntryBoardRow> &rows);
QSqlError listEntriesForBoard(const QString &databasePath, QList<EntryBoardRow> &rows);

bool entriesOfArea(QSqlQuery &query, const QString &areaName, QSet<int> &keys);
QSqlError entriesOfArea(const QString &databasePath, const QString &areaName, QSet<int> &keys);
// Empty on any failure.
QStringList distinctAreas(const QString &databasePath);
int countEntries(QSqlQuery &query);

// True when an entry with this reader serial number exists; its key is left
// in *pkDoors when given. False also when the statement fails.
bool findEntryByReader(QSqlQuery &query, const QString &readerSerNo, int *pkDoors = nullptr);

// Whether an entry's reader has this device ID. Serial numbers are compared
// as numbers, so case and leading zeros do not matter.
QSqlError entryWithDevice(const QString &databasePath, quint32 deviceId, bool *found);

// Serial numbers of all entries served through a USB flash drive.
QSqlError flashDriveReaders(const QString &databasePath, QStringList &serialNumbers);
// Empty text when there is no such entry.
QSqlError readerConfigOfEntry(const QString &databasePath, int pkDoors, QString &readerConfig);

bool addEntry(QSqlQuery &query, const EntryRow &entry, int *newKey = nullptr);
QSqlError addEntry(const QString &databasePath, const EntryRow &entry, int *newKey = nullptr);

bool editEntry(QSqlQuery &query, const EntryRow &entry);
// Saves the entry and marks it as needing an update when its reader serial
// number changed (*marked tells whether it was marked).
QSqlError editEntry(const QString &databasePath, const EntryRow &entry, bool *marked = nullptr);

bool setReaderAddress(QSqlQuery &query, int pkDoors, const QString &ipAddr, int port);
QSqlError setReaderAddress(const QString &databasePath, int pkDoors, const QString &ipAddr,
                           int port);

// Renames the area of every entry in it, in one transaction (BoardRename
// without its undo).
QSqlError renameArea(const QString &databasePath, const QString &newName, const QString &oldName);

// Removes the entry's access rows and the entry as one unit.
bool removeEntry(QSqlQuery &query, int pkDoors);
QSqlError removeEntry(const QString &databasePath, int pkDoors);

// The checks of the entry dialog, for the window and kelvara-cli alike.
enum Field { NoField = 0, NameField, AreaField, DeviceIdField, MacField };
// 1 to 8 hexadecimal digits.
bool isDeviceId(const QString &text);
// "02:4B:58:00:00:01" ("-" separators taken too, any case); empty when malformed.
QString normalisedMac(const QString &text);
// Why the entry name cannot name the entry's log and data folders; empty when it can.
QString folderNameRefusal(const QString &doorName);
// Why the entry cannot be stored as it stands; empty when it can.
RecordProblem problem(const EntryRow &entry);
// Why an entry the database refused collides with another (the name in its
// area, the device ID, the MAC address, the network address), one line each.
QStringList conflicts(const QString &databasePath, const EntryRow &entry);

// Adds the entry (*key < 0) or saves the one with that key, in one
// transaction with its pending mark: a new entry with a reader, and an entry
// whose reader or reader settings changed, need an update. *key receives the
// new entry's key.
QSqlError saveEntry(const QString &databasePath, const EntryRow &entry, int *key);

// The folder key of every entry (entryFolderKeys of core/paths.h), by PKdoors.
QSqlError folderKeys(const QString &databasePath, QHash<int, QString> &keys);

// The entries a name typed by the user means: those named so, else those
// "AREA/NAME" names (an area name may hold a '/' itself).
QList<EntryRow> entriesNamed(const QList<EntryRow> &entries, const QString &name);

} // namespace EntryRecords

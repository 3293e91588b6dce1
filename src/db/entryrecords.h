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

QSqlError renameArea(const QString &databasePath, const QString &newName, const QString &oldName);

// Removes the entry's access rows and the entry as one unit.
bool removeEntry(QSqlQuery &query, int pkDoors);
QSqlError removeEntry(const QString &databasePath, int pkDoors);

// The folder key of every entry (entryFolderKeys of core/paths.h), by PKdoors.
QSqlError folderKeys(const QString &databasePath, QHash<int, QString> &keys);

// The entries a name typed by the user means: those named so, else those
// "AREA/NAME" names (an area name may hold a '/' itself).
QList<EntryRow> entriesNamed(const QList<EntryRow> &entries, const QString &name);

} // namespace EntryRecords

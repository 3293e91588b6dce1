#pragma once

#include <QString>
#include <QtGlobal>

// In-memory rows of the record lists. Text columns that hold null in the
// database come back as null strings.

struct UserRow
{
    int pkUsers = 0;
    QString familyName;
    QString firstName;
    QString groupName;
    QString commentUser;
    QString iddIso14443;
    QString commentIso14443;
    QString iddClass1Gen2;
    QString commentClass1Gen2;
};

struct EntryRow
{
    int pkDoors = 0;
    QString doorName;
    QString areaName;
    QString commentDoor;
    QString ipAddr;
    int port = 0;
    int readerType = 0;
    QString readerSerNo;
    QString readerMacAddr;
    QString readerConfig;
};

// An entry as a reader function sees it.
struct EntryTarget
{
    int pkDoors = 0;
    QString doorName;
    QString ipAddr;
    int port = 0;
    uint readerType = 0;
    QString readerSerNo;
    bool needsUpdate = false;
    // The entry's folder below log/ and data/; empty: the safe form of doorName.
    QString folderKey;
};

struct TimeModelRow
{
    int pkTimes = 0;
    QString modelTag;
    QString modelName;
    QString modelDefinition;
};

struct HolidayRow
{
    int pkHolidays = 0;
    QString date; // "yyyy.MM.dd"
    QString comment;
};

// One access right of an entry with what the reader tables need of it.
struct EntryAccessRow
{
    int pkAccess = 0;
    QString modelTag;
    QString modelDefinition;
    QString familyName;
    QString firstName;
    QString iddIso14443;
    QString iddClass1Gen2;
};

// A user found for an identifier read back from a reader. modelTag is null
// when the user has no right at the entry concerned.
struct ImportedTransponderRow
{
    int pkUsers = 0;
    QString groupName;
    QString familyName;
    QString firstName;
    QString modelTag;
    QString iddIso14443;
    QString iddClass1Gen2;
};

// Why a record cannot be stored as it stands, as the edit dialogs and
// kelvara-cli say it: the field concerned (a value of the record's own field
// list), the message, and whether the field is missing rather than invalid.
struct RecordProblem
{
    int field = 0;
    QString text;
    bool missing = false;

    bool isEmpty() const { return text.isEmpty(); }
};

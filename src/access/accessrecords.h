#pragma once

#include "access/timeperiod.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QtGlobal>

// The byte layouts of the reader's access tables. The table file, the text
// dumps and the data exchange with a reader all go through these, so a record
// has exactly one wire form. Multi-byte numbers are most significant byte first.

// The 16 metadata bytes: version, counts, identifier length and format, 8 reserved.
struct TableMetadata
{
    static constexpr int Size = 16;
    static constexpr quint8 IddFormatBytes = 3;

    quint16 tableVersion = 0;
    quint8 timezoneEntries = 0;
    quint8 holidayEntries = 0;
    quint16 accessEntries = 0;
    quint8 iddLength = 0;
    quint8 iddFormat = IddFormatBytes;

    QByteArray toBytes() const;
    // False unless exactly Size bytes are given.
    static bool fromBytes(const QByteArray &bytes, TableMetadata &metadata);

    bool operator==(const TableMetadata &other) const;
};

// One weekly window valid between two dates (two-digit years).
struct TimezoneRecord
{
    static constexpr int Size = 11;

    quint8 startDay = 1;
    quint8 startMonth = 1;
    quint8 startYear = 0;
    quint8 endDay = 31;
    quint8 endMonth = 12;
    quint8 endYear = 99;
    quint8 days = 0; // day bits; 0 means "on holidays"
    quint8 startHour = 0;
    quint8 startMinute = 0;
    quint8 endHour = 0;
    quint8 endMinute = 0;

    // A record valid for all dates. A period on holidays writes Days 0,
    // any other the low eight day bits.
    static TimezoneRecord fromPeriod(const TimePeriod &period);
    // The period a record read back stands for: Days 0 becomes the holiday bit alone.
    TimePeriod toPeriod() const;

    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, TimezoneRecord &record);

    bool operator==(const TimezoneRecord &other) const;
};

struct HolidayRecord
{
    static constexpr int Size = 3;

    quint8 day = 0;
    quint8 month = 0;
    quint8 year = 0; // year modulo 100

    static HolidayRecord fromDate(const QDate &date);
    // Years read back count from 2000.
    QDate toDate() const;

    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, HolidayRecord &record);

    bool operator==(const HolidayRecord &other) const;
};

// Identifier of IDD-Length bytes, the timezone bits, one reserved byte.
struct AccessRecord
{
    static constexpr int ExtraSize = 3;

    QByteArray idd;
    quint16 flags = 0;

    int size() const { return idd.size() + ExtraSize; }
    // Upper-case hexadecimal of the identifier: the table's sort key.
    QString key() const;

    QByteArray toBytes() const;
    // Reads one record whose identifier is iddLength bytes long.
    static bool fromBytes(const QByteArray &bytes, int iddLength, AccessRecord &record);

    bool operator==(const AccessRecord &other) const;
};

// Records travel in frames: the record count (2 bytes), the record size
// (1 byte), then the records.
struct RecordFrame
{
    static constexpr int HeadSize = 3;

    static QByteArray head(int count, int recordSize);
    // Splits a frame whose records must be recordSize bytes long. False when
    // the head disagrees with that size or with the frame's length.
    static bool split(const QByteArray &frame, int recordSize, QList<QByteArray> &records);
};

#pragma once

#include "access/accessrecords.h"
#include "access/timeperiod.h"
#include "core/errorinfo.h"
#include "db/recordrows.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

// One access record as read back from a reader.
struct ReadAccessRecord
{
    QString idd; // lower-case hexadecimal
    quint16 flags = 0;
};

// One event from a reader's event table.
struct ReaderEvent
{
    QString idd; // upper-case hexadecimal
    int antenna = 0;
    QDateTime dateTime; // invalid when the reader sent none
    bool granted = false;
    quint8 inputState = 0; // bit 7: input states present; bit 1 input 2, bit 0 input 1
    quint16 errorNumber = 0;
};

// Finds the users who hold the identifier given as hex text, wherever their
// rights are. An error ends the processing.
using TransponderLookup =
    std::function<QSqlError(const QString &idd, QList<ImportedTransponderRow> &rows)>;

// The CSV files written into an entry's data folder after reading a reader:
// ";" between fields, "\r\n" after each line, local 8-bit encoding.
class AccessCsvFiles
{
public:
    struct Result
    {
        enum Status { Ok, FileError, DatabaseError };
        Status status = Ok;
        QString path; // the file concerned
        QSqlError databaseError;

        bool ok() const { return status == Ok; }
        // A file failure as a table error (-1006) naming the file.
        ErrorInfo error() const;
    };

    // The entry name (its folder key) in a file name is made a safe one.
    static QString holidayFileName(const QString &entryName);
    static QString periodFileName(const QString &entryName);
    static QString iddFileName(const QString &entryName);
    static QString eventFileName(const QString &entryName, const QDate &date);

    // Each replaces its file and removes the older fixed-name file of its kind.
    static Result writeHolidayFile(const QString &folder, const QString &entryName,
                                   const QList<QDate> &holidays);
    // periodsByIndex: the timezone windows in table order; lines stop at the
    // first one that is not active.
    static Result writePeriodFile(const QString &folder, const QString &entryName,
                                  const QList<TimePeriod> &periodsByIndex);
    // Looks every identifier up; those without a user are written as
    // "UNKNOWN" and listed in unknownIdds for the transponder import.
    static Result writeIddFile(const QString &folder, const QString &entryName,
                               const QList<ReadAccessRecord> &records,
                               const TransponderLookup &lookup, QStringList *unknownIdds);

    // Appends each event to the file of its date, writing the header only into new files.
    static Result appendEventFiles(const QString &folder, const QString &entryName,
                                   const QList<ReaderEvent> &events,
                                   const TransponderLookup &lookup);

    // The windows of timezone records read back, in table order. Preferred
    // over a map keyed by definition text, in which two tags with the same
    // definition collapse into one entry and leave a gap.
    static QList<TimePeriod> periodsByIndex(const QList<TimezoneRecord> &records);
    // Turns a period map as read back (definition text → index) into windows
    // by index; indices without a text become never periods.
    static QList<TimePeriod> periodsByIndex(const QMap<QString, int> &periodMap);
};

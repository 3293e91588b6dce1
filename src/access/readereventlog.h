#pragma once

#include "access/accesscsvfiles.h"
#include "db/eventrecords.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>

// Keeps the events of one read: stores those not stored before in the
// project database and appends just those to the entry's event files, as
// one unit. When either fails, the transaction is rolled back and the files
// are cut back to what they held, so the files and the database agree and
// the reader (whose list is not touched) can be read again.
class ReaderEventLog
{
public:
    struct Result
    {
        enum Status { Ok, FileError, DatabaseError };
        Status status = Ok;
        QString path; // the file concerned
        QSqlError databaseError;
        int fresh = 0;   // events not kept before
        int removed = 0; // events older than the project keeps, removed after the read
        int keepDays = 0;

        bool ok() const { return status == Ok; }
    };

    // The event as stored: a date outside 2000-2099 is no reader date and
    // counts as invalid, in the files as in the database.
    static ReaderEventData dataOf(const ReaderEvent &event);

    // `now` is the site's wall clock (retention counts from it).
    static Result keep(const QString &databasePath, const QString &folder, const QString &folderKey,
                       int pkDoors, quint32 deviceId, const QList<ReaderEvent> &events,
                       const QDateTime &now);
};

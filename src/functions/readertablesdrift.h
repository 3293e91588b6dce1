#pragma once

#include "functions/readertablesreadback.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What differs between the tables a reader holds and those the database
// compiles now, judged by what the reader decides: identifiers and their
// windows, the windows of the timezone table, and the holidays still to
// come. The order of windows in the table does not count. The summary goes
// to the function log, so it is not translated.
class ReaderTablesDrift
{
public:
    static ReaderTablesDrift compare(const ReaderTableContent &reader,
                                     const ReaderTableContent &expected, const QDate &today);

    bool inSync() const;

    // Names (or identifiers) of the identifiers concerned, in key order.
    QStringList missing;        // the database grants them, the reader does not hold them
    QStringList extra;          // the reader holds them, the database grants nothing
    QStringList otherRights;    // held with other windows than the database gives
    QStringList windowsMissing; // definition texts
    QStringList windowsExtra;
    QList<QDate> holidaysMissing;
    QList<QDate> holidaysExtra; // on the reader, today or later, not in the database
    int readerIddLength = 0;
    int expectedIddLength = 0;

    // "identifiers missing: 2 (Abel, X; Cole, X), identifiers extra: 1 (04A1...)"
    // with at most `firstFew` names per item; empty when in sync.
    QString summary(int firstFew = 3) const;
};

#pragma once

#include "access/accessrecords.h"
#include "access/timeperiod.h"
#include "db/projectparameters.h"
#include "db/recordrows.h"
#include "functions/functionreader.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlError>
#include <QString>
#include <QStringList>

class AccessDataSet;
class ReaderAccessTables;

// An entry's reader tables held in memory, either as read back from the
// reader or as the next update would send them. The records are those of
// ReaderAccessTables, so both sides compare record by record.
struct ReaderTableContent
{
    int iddLength = 0;
    QList<TimezoneRecord> timezones;    // table order
    QList<HolidayRecord> holidays;      // table order
    QMap<QString, AccessRecord> access; // keyed by upper-case hexadecimal identifier
    // "Last, First" of the user behind an identifier key, where known.
    QMap<QString, QString> holders;

    static ReaderTableContent fromTables(const ReaderAccessTables &tables);

    // The windows a reader acts on: the table up to its first never window.
    QList<TimePeriod> windows() const;
    // The windows an identifier may pass in, as definition texts in index
    // order ("*-*-*" for the always bit); bits of windows the reader does not
    // act on are left out. Empty when the identifier is not in the table.
    QStringList rightsOf(const QString &key) const;
    QList<QDate> holidayDates() const;
    // The holder's name, else the identifier key.
    QString nameOf(const QString &key) const;
};

// Reads an entry's reader tables back as "Read Access Rights" does, but into
// memory only, and compiles what the database would send now.
class ReaderTablesReadBack
{
public:
    // One read-access command; on success the content holds the reader's tables.
    static ReaderOutcome read(FunctionReader &reader, const EntryTarget &entry,
                              ReaderTableContent &content);
    // Through the reader objects of the given settings.
    static ReaderOutcome read(const ReaderSettings &settings, const EntryTarget &entry,
                              ReaderTableContent &content);
    static ReaderTableContent fromReadBack(const ReaderReadBack &readBack);

    // The tables the next update of the entry would send, with the holders'
    // names. False when the data set does not compile (more than 15 periods)
    // or the tables refuse it; problem then says why.
    static bool compile(const AccessDataSet &dataSet, int readerType,
                        const ProjectParameters &project, ReaderTableContent &content,
                        QString *problem = nullptr);
    // Reads the entry's rights and the holidays from `today` on and compiles
    // them. A database error is returned; *compiled tells whether the tables
    // could be made.
    static QSqlError compileEntry(const ProjectParameters &project, const EntryTarget &entry,
                                  const QDate &today, ReaderTableContent &content, bool *compiled,
                                  QString *problem = nullptr);
};

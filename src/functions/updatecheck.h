#pragma once

#include "db/projectparameters.h"
#include "db/recordrows.h"

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QString>
#include <QStringList>

// What the next update of an entry would send, held against the reader's
// limits and the project's rules. Blocking problems stop the update as it
// stands; warnings let it run but leave someone without the access the
// board shows.
class UpdateCheck
{
    Q_DECLARE_TR_FUNCTIONS(UpdateCheck)

public:
    // Identifiers an access reader of the type holds; 0 for other types.
    static int accessCapacity(int readerType);
    // Names shown per problem before "…".
    static constexpr int FirstFew = 3;

    struct Result
    {
        EntryTarget entry;
        QStringList blocking;
        QStringList warnings;
        int windowsNeeded = 0;
        int holidays = 0;
        int identifiers = 0;

        bool canUpdate() const { return blocking.isEmpty(); }
        bool hasProblems() const { return !blocking.isEmpty() || !warnings.isEmpty(); }
        // The blocking problems and warnings, one per line.
        QString text() const;
    };

    static QSqlError checkEntry(const ProjectParameters &project, const EntryTarget &entry,
                                const QDate &today, Result &result);
    // The holidays from `today` on are read once for all entries.
    static QSqlError checkEntries(const ProjectParameters &project,
                                  const QList<EntryTarget> &entries, const QDate &today,
                                  QList<Result> &results);
    // The blocking problems of many entries (the board's markers), from what
    // each uses: the PKtimes of its rights and how many rights it has. An
    // entry's rows are read only when its models could need more windows
    // than a reader holds or it has more rights than its reader holds
    // identifiers; what else blocks an update needs no rows. Warnings are
    // left out.
    static QSqlError checkBlocking(const ProjectParameters &project,
                                   const QList<EntryTarget> &entries,
                                   const QHash<int, QSet<int>> &modelsOfEntry,
                                   const QHash<int, int> &rightsOfEntry, const QDate &today,
                                   QList<Result> &results);
    // The check of an entry's rows and the upcoming holidays, without the database.
    static Result check(const ProjectParameters &project, const EntryTarget &entry,
                        const QList<EntryAccessRow> &rows, const QList<HolidayRow> &holidays);
};

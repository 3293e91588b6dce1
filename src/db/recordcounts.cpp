#include "db/recordcounts.h"

#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

namespace RecordCounts {

bool read(const QString &databasePath, int *users, int *entries, int *timeModels,
          int *pendingEntries)
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return false;
    QSqlQuery query = db.query();
    if (users)
        *users = UserRecords::countUsers(query);
    if (entries)
        *entries = EntryRecords::countEntries(query);
    if (timeModels)
        *timeModels = TimeModelRecords::countTimeModels(query);
    if (pendingEntries) {
        *pendingEntries =
            query.exec(QStringLiteral("select count(*) from doors where needsUpdate<>0")) &&
                    query.next()
                ? query.value(0).toInt()
                : -1;
        query.finish();
    }
    return true;
}

} // namespace RecordCounts

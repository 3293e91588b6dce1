#include "db/boardchange.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

using RecordStatement::keyList;
using RecordStatement::outcome;

namespace {

int userOf(quint64 pair)
{
    return int(quint32(pair >> 32));
}

int entryOf(quint64 pair)
{
    return int(quint32(pair));
}

// Reads the keys the statement selects; false on an error, also one that
// ends the rows early.
bool readKeys(QSqlQuery &query, const QString &statement, QSet<int> &keys)
{
    keys.clear();
    query.setForwardOnly(true);
    if (!query.exec(statement))
        return false;
    while (query.next())
        keys.insert(query.value(0).toInt());
    const bool ok = !query.lastError().isValid();
    query.finish();
    return ok;
}

// The block's rights (pair -> PKtimes).
bool readBlock(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
               QHash<quint64, int> &rights)
{
    rights.clear();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select FKusers,FKdoors,FKtimes from access where ") +
                    AccessRights::usersFilter(users) + QStringLiteral(" and ") +
                    AccessRights::entriesInAccessFilter(entries)))
        return false;
    while (query.next())
        rights.insert(BoardChange::pairKey(query.value(0).toInt(), query.value(1).toInt()),
                      query.value(2).toInt());
    const bool ok = !query.lastError().isValid();
    query.finish();
    return ok;
}

bool readExisting(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
                  QSet<int> &knownUsers, QSet<int> &knownEntries)
{
    return readKeys(query,
                    QStringLiteral("select PKusers from users where (PKusers in (") +
                        keyList(users) + QStringLiteral("))"),
                    knownUsers) &&
           readKeys(query,
                    QStringLiteral("select PKdoors from doors where ") +
                        AccessRights::entriesInDoorsFilter(entries),
                    knownEntries);
}

// Writes the rights (pair -> PKtimes) into temp.kx_before, many rows per
// statement; every value is bound.
bool fillBefore(QSqlQuery &query, const QHash<quint64, int> &rights)
{
    // 300 rows of three values stay under the oldest limit of bound values.
    const int chunk = 300;
    QList<quint64> pairs = rights.keys();
    std::sort(pairs.begin(), pairs.end());
    int prepared = 0;
    for (int start = 0; start < pairs.size(); start += chunk) {
        const int rows = std::min(chunk, pairs.size() - start);
        if (rows != prepared) {
            QString text = QStringLiteral(
                "insert into temp.kx_before (pairUser,pairEntry,pairModel) values (?,?,?)");
            for (int i = 1; i < rows; ++i)
                text += QStringLiteral(",(?,?,?)");
            if (!query.prepare(text))
                return false;
            prepared = rows;
        }
        for (int i = 0; i < rows; ++i) {
            const quint64 pair = pairs.at(start + i);
            query.bindValue(i * 3, userOf(pair));
            query.bindValue(i * 3 + 1, entryOf(pair));
            query.bindValue(i * 3 + 2, rights.value(pair));
        }
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace

QSqlError BoardChange::prepare(const QString &databasePath, const QSet<int> &users,
                               const QSet<int> &entries, int timeModel, BoardChange &change)
{
    change = BoardChange();
    change.m_users = users;
    change.m_entries = entries;
    change.m_timeModel = timeModel;
    if (users.isEmpty() || entries.isEmpty())
        return QSqlError();
    QSet<int> knownUsers;
    QSet<int> knownEntries;
    const QSqlError error = RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(
            readBlock(query, users, entries, change.m_before) &&
                (timeModel == 0 || readExisting(query, users, entries, knownUsers, knownEntries)),
            query);
    });
    if (error.isValid())
        return error;

    QSet<int> touchedUsers;
    QSet<int> touchedEntries;
    if (timeModel == 0) {
        for (auto it = change.m_before.cbegin(); it != change.m_before.cend(); ++it) {
            touchedUsers.insert(userOf(it.key()));
            touchedEntries.insert(entryOf(it.key()));
        }
        change.m_rightCount = change.m_before.size();
    } else {
        // As the change itself: every existing pair that does not hold the model yet.
        for (int user : qAsConst(knownUsers)) {
            for (int entry : qAsConst(knownEntries)) {
                if (change.m_before.value(pairKey(user, entry)) == timeModel)
                    continue;
                ++change.m_rightCount;
                touchedUsers.insert(user);
                touchedEntries.insert(entry);
            }
        }
    }
    change.m_userCount = touchedUsers.size();
    change.m_entryCount = touchedEntries.size();
    return QSqlError();
}

QSqlError BoardChange::apply(const QString &databasePath, QSet<int> *changedEntries) const
{
    return AccessRights::changeBoardCell(databasePath, m_users, m_entries, m_timeModel,
                                         changedEntries);
}

QSqlError BoardChange::revert(const QString &databasePath, QSet<int> *changedEntries,
                              QHash<quint64, int> *restored) const
{
    if (changedEntries)
        changedEntries->clear();
    if (restored)
        restored->clear();
    if (m_users.isEmpty() || m_entries.isEmpty())
        return QSqlError();
    QSet<int> changed;
    QSet<int> existingModels;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    {
        // Hints only: a large change keeps its pages and its work tables in
        // memory until the commit instead of spilling them half-way.
        QSqlQuery hints = db.query();
        hints.exec(QStringLiteral("pragma cache_size=-65536"));
        hints.exec(QStringLiteral("pragma temp_store=memory"));
    }
    if (!db.transaction())
        return db.lastError();
    QSqlError error;
    {
        QSqlQuery query = db.query();
        error = [&]() -> QSqlError {
            // The rights to restore go into a table of this connection (gone
            // with it, and with a rollback); SQLite compares it with the
            // block once into kx_change (row, pair, model to set; no row for
            // a right to put back, no model for one to remove) and writes by
            // row key, one statement per model. Rights on time models that
            // are gone are not restored: their pairs end up without a right.
            QSet<int> models;
            if (!readKeys(query, QStringLiteral("select PKtimes from times"), existingModels) ||
                !query.exec(QStringLiteral("create temp table kx_before (pairUser integer, "
                                           "pairEntry integer, pairModel integer, primary key "
                                           "(pairUser,pairEntry)) without rowid")) ||
                !query.exec(QStringLiteral("create temp table kx_change (pairRow integer, "
                                           "pairUser integer, pairEntry integer, pairModel "
                                           "integer)")) ||
                !fillBefore(query, m_before) ||
                !query.exec(QStringLiteral("delete from temp.kx_before where pairModel not in "
                                           "(select PKtimes from times)")) ||
                !query.exec(QStringLiteral("insert into temp.kx_change select a.PKaccess,"
                                           "a.FKusers,a.FKdoors,b.pairModel from access a left "
                                           "join temp.kx_before b on (b.pairUser=a.FKusers) and "
                                           "(b.pairEntry=a.FKdoors) where (a.FKusers in (") +
                            keyList(m_users) + QStringLiteral(")) and (a.FKdoors in (") +
                            keyList(m_entries) +
                            QStringLiteral(")) and (b.pairModel is not a.FKtimes)")) ||
                !query.exec(QStringLiteral(
                    "insert into temp.kx_change select null,b.pairUser,b.pairEntry,b.pairModel "
                    "from temp.kx_before b where not exists (select 1 from access a where "
                    "(a.FKusers=b.pairUser) and (a.FKdoors=b.pairEntry)) and exists (select 1 "
                    "from users where PKusers=b.pairUser) and exists (select 1 from doors where "
                    "PKdoors=b.pairEntry)")) ||
                !readKeys(query, QStringLiteral("select distinct pairEntry from temp.kx_change"),
                          changed) ||
                !readKeys(query,
                          QStringLiteral("select distinct pairModel from temp.kx_change where "
                                         "(pairRow is not null) and (pairModel is not null)"),
                          models) ||
                !query.exec(QStringLiteral("delete from access where PKaccess in (select pairRow "
                                           "from temp.kx_change where pairModel is null)")))
                return query.lastError();
            for (int model : qAsConst(models)) {
                if (!ProjectDatabase::exec(
                        query,
                        QStringLiteral("update access set FKtimes=? where PKaccess in (select "
                                       "pairRow from temp.kx_change where pairModel=?)"),
                        {model, model}))
                    return query.lastError();
            }
            if (!query.exec(QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) select "
                                           "pairUser,pairEntry,pairModel from temp.kx_change "
                                           "where pairRow is null")) ||
                !query.exec(QStringLiteral("drop table temp.kx_before")) ||
                !query.exec(QStringLiteral("drop table temp.kx_change")))
                return query.lastError();
            return outcome(AccessRights::setNeedsUpdate(query, changed, true), query);
        }();
    }
    if (error.isValid()) {
        db.rollback();
        return error;
    }
    if (!db.commit()) {
        error = db.lastError();
        db.rollback();
        return error;
    }
    if (changedEntries)
        *changedEntries = changed;
    if (restored) {
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
            if (existingModels.contains(it.value()))
                restored->insert(it.key(), it.value());
        }
    }
    return QSqlError();
}

#include "db/boardchange.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QMap>
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

// The block's rights (pair -> PKtimes) and, when asked, their rows (pair -> PKaccess).
bool readBlock(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
               QHash<quint64, int> &rights, QHash<quint64, qint64> *rows = nullptr)
{
    rights.clear();
    if (rows)
        rows->clear();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select FKusers,FKdoors,FKtimes,PKaccess from access where ") +
                    AccessRights::usersFilter(users) + QStringLiteral(" and ") +
                    AccessRights::entriesInAccessFilter(entries)))
        return false;
    while (query.next()) {
        const quint64 pair = BoardChange::pairKey(query.value(0).toInt(), query.value(1).toInt());
        rights.insert(pair, query.value(2).toInt());
        if (rows)
            rows->insert(pair, query.value(3).toLongLong());
    }
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

QSqlError BoardChange::revert(const QString &databasePath, QSet<int> *changedEntries) const
{
    if (changedEntries)
        changedEntries->clear();
    if (m_users.isEmpty() || m_entries.isEmpty())
        return QSqlError();
    QSet<int> changed;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    if (!db.transaction())
        return db.lastError();
    QSqlError error;
    {
        QSqlQuery query = db.query();
        error = [&]() -> QSqlError {
            QHash<quint64, int> current;
            QHash<quint64, qint64> rows;
            QSet<int> knownUsers;
            QSet<int> knownEntries;
            QSet<int> knownModels;
            if (!readBlock(query, m_users, m_entries, current, &rows) ||
                !readExisting(query, m_users, m_entries, knownUsers, knownEntries) ||
                !readKeys(query, QStringLiteral("select PKtimes from times"), knownModels))
                return query.lastError();

            // Rows are changed by their keys, gathered per time model (0 for
            // removing), so that a change of many rights takes a few
            // statements that walk the table in order.
            QMap<int, QList<qint64>> updates;
            QMap<int, QMap<int, QSet<int>>> inserts;
            for (auto it = current.cbegin(); it != current.cend(); ++it) {
                const auto before = m_before.constFind(it.key());
                const bool restorable =
                    before != m_before.cend() && knownModels.contains(before.value());
                if (restorable && before.value() == it.value())
                    continue;
                updates[restorable ? before.value() : 0].append(rows.value(it.key()));
                changed.insert(entryOf(it.key()));
            }
            for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
                const int user = userOf(it.key());
                const int entry = entryOf(it.key());
                if (current.contains(it.key()) || !knownUsers.contains(user) ||
                    !knownEntries.contains(entry) || !knownModels.contains(it.value()))
                    continue;
                inserts[it.value()][entry].insert(user);
                changed.insert(entry);
            }
            for (auto model = updates.begin(); model != updates.end(); ++model) {
                std::sort(model->begin(), model->end());
                QString keys;
                keys.reserve(model->size() * 8);
                for (qint64 key : qAsConst(*model)) {
                    if (!keys.isEmpty())
                        keys += QLatin1Char(',');
                    keys += QString::number(key);
                }
                const QString rowFilter =
                    QStringLiteral(" where (PKaccess in (") + keys + QStringLiteral("))");
                const bool ok =
                    model.key() == 0
                        ? ProjectDatabase::exec(query,
                                                QStringLiteral("delete from access") + rowFilter)
                        : ProjectDatabase::exec(
                              query, QStringLiteral("update access set FKtimes=?") + rowFilter,
                              {model.key()});
                if (!ok)
                    return query.lastError();
            }
            for (auto model = inserts.cbegin(); model != inserts.cend(); ++model) {
                for (auto entry = model->cbegin(); entry != model->cend(); ++entry) {
                    if (!ProjectDatabase::exec(
                            query,
                            QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) select "
                                           "PKusers,?,? from users where (PKusers in (") +
                                keyList(entry.value()) + QStringLiteral("))"),
                            {entry.key(), model.key()}))
                        return query.lastError();
                }
            }
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
    return QSqlError();
}

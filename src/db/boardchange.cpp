#include "db/boardchange.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"
#include "db/rightsaudit.h"
#include "db/sqlitestatement.h"

#include <QCoreApplication>

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

#include <sqlite3.h>

using RecordStatement::keyList;
using RecordStatement::outcome;

namespace {

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

// The block's rights (pair -> PKtimes), and the same by row key.
template<typename Row>
bool readBlock(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
               BoardRights &rights, QVector<Row> &rows)
{
    rights.clear();
    rows.clear();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select PKaccess,FKusers,FKdoors,FKtimes from access where ") +
                    AccessRights::usersFilter(users) + QStringLiteral(" and ") +
                    AccessRights::entriesInAccessFilter(entries)))
        return false;
    while (query.next()) {
        Row row;
        row.pkAccess = query.value(0).toLongLong();
        row.user = query.value(1).toInt();
        row.entry = query.value(2).toInt();
        row.model = query.value(3).toInt();
        rights.insert(BoardChange::pairKey(row.user, row.entry), row.model);
        rows.append(row);
    }
    const bool ok = !query.lastError().isValid();
    query.finish();
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return a.pkAccess < b.pkAccess; });
    return ok;
}

// Rows of a key and `columns` texts after it, by key; false on an error.
bool readColumns(QSqlQuery &query, const QString &statement, int columns,
                 QHash<int, QStringList> &rows)
{
    rows.clear();
    query.setForwardOnly(true);
    if (!query.exec(statement))
        return false;
    while (query.next()) {
        QStringList values;
        for (int i = 1; i <= columns; ++i)
            values << query.value(i).toString();
        rows.insert(query.value(0).toInt(), values);
    }
    const bool ok = !query.lastError().isValid();
    query.finish();
    return ok;
}

// The first row of `now` that `then` does not hold as it is (its columns as
// they were, or as they are for a row that was not there), or none.
std::optional<QStringList> firstChanged(const QHash<int, QStringList> &then,
                                        const QHash<int, QStringList> &now)
{
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const auto was = then.constFind(it.key());
        if (was == then.cend())
            return it.value();
        if (was.value() != it.value())
            return was.value();
    }
    return std::nullopt;
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

// Integer keys as the text of a server array ("{1,2,3}"), bound as one value.
QString keyArray(const QVector<qint64> &keys)
{
    QString text;
    text.reserve(keys.size() * 8 + 2);
    text += QLatin1Char('{');
    for (int i = 0; i < keys.size(); ++i) {
        if (i)
            text += QLatin1Char(',');
        text += QString::number(keys.at(i));
    }
    text += QLatin1Char('}');
    return text;
}

// Runs a statement over rows given as columns of keys, each bound as one
// array (the server only): one round trip whatever the number of rows.
bool execArrays(QSqlQuery &query, const QString &statement, const QVector<QVector<qint64>> &columns,
                const QVariantList &more = {})
{
    QVariantList values;
    for (const QVector<qint64> &column : columns)
        values << keyArray(column);
    return ProjectDatabase::exec(query, statement, values + more);
}

// Writes the rights (pair -> PKtimes) into kx_before, many rows per
// statement; every value is bound.
bool fillBefore(QSqlQuery &query, const BoardRights &rights)
{
    if (ProjectDatabase::isServer(query)) {
        QVector<QVector<qint64>> columns(3);
        for (auto it = rights.cbegin(); it != rights.cend(); ++it) {
            columns[0] << it.key().user;
            columns[1] << it.key().entry;
            columns[2] << it.value();
        }
        return execArrays(query,
                          QStringLiteral("insert into kx_before (pairUser,pairEntry,pairModel) "
                                         "select * from unnest(?::bigint[],?::bigint[],"
                                         "?::bigint[])"),
                          columns);
    }
    // 300 rows of three values stay under the oldest limit of bound values.
    const int chunk = 300;
    QList<BoardPair> pairs = rights.keys();
    std::sort(pairs.begin(), pairs.end());
    int prepared = 0;
    for (int start = 0; start < pairs.size(); start += chunk) {
        const int rows = std::min(chunk, pairs.size() - start);
        if (rows != prepared) {
            QString text = QStringLiteral(
                "insert into kx_before (pairUser,pairEntry,pairModel) values (?,?,?)");
            for (int i = 1; i < rows; ++i)
                text += QStringLiteral(",(?,?,?)");
            if (!query.prepare(text))
                return false;
            prepared = rows;
        }
        for (int i = 0; i < rows; ++i) {
            const BoardPair pair = pairs.at(start + i);
            query.bindValue(i * 3, pair.user);
            query.bindValue(i * 3 + 1, pair.entry);
            query.bindValue(i * 3 + 2, rights.value(pair));
        }
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace

bool BoardChange::readIdentities(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
                                 const QSet<int> &models, Identities &identities)
{
    identities = Identities();
    return (users.isEmpty() ||
            readColumns(query,
                        QStringLiteral("select PKusers,familyName,firstName,iddIso14443,"
                                       "iddClass1Gen2 from users where (PKusers in (") +
                            keyList(users) + QStringLiteral("))"),
                        4, identities.users)) &&
           (entries.isEmpty() ||
            readColumns(query,
                        QStringLiteral("select PKdoors,doorName,areaName from doors where ") +
                            AccessRights::entriesInDoorsFilter(entries),
                        2, identities.entries)) &&
           (models.isEmpty() ||
            readColumns(query,
                        QStringLiteral("select PKtimes,modelTag,modelName,modelDefinition from "
                                       "times where (PKtimes in (") +
                            keyList(models) + QStringLiteral("))"),
                        3, identities.models));
}

QSqlError BoardChange::checkIdentities(QSqlQuery &query, const QSet<int> &models, bool &stale) const
{
    stale = false;
    Identities now;
    if (!readIdentities(query, m_users, m_entries, models, now))
        return RecordStatement::failure(query);
    QString text;
    if (const auto user = firstChanged(m_identities.users, now.users))
        text = QCoreApplication::translate(
                   "BoardChange",
                   "The user \"%1, %2\" is not the one the change was made for: removed and "
                   "another one added under the same key, or changed since. Nothing was changed.")
                   .arg(user->value(0), user->value(1));
    else if (const auto entry = firstChanged(m_identities.entries, now.entries))
        text = QCoreApplication::translate(
                   "BoardChange",
                   "The entry \"%1\" is not the one the change was made for: removed and another "
                   "one added under the same key, or changed since. Nothing was changed.")
                   .arg(entry->value(0));
    else if (const auto model = firstChanged(m_identities.models, now.models))
        text = QCoreApplication::translate(
                   "BoardChange",
                   "The time model \"%1\" is not the one the change was made for: removed and "
                   "another one added under the same key, or changed since. Nothing was changed.")
                   .arg(model->value(0));
    if (text.isEmpty())
        return QSqlError();
    stale = true;
    return RecordStatement::refusal(text);
}

QSet<int> BoardChange::modelsBefore() const
{
    QSet<int> models;
    for (int model : m_before)
        models.insert(model);
    return models;
}

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
        if (!readBlock(query, users, entries, change.m_before, change.m_beforeRows))
            return RecordStatement::failure(query);
        QSet<int> models = change.modelsBefore();
        if (timeModel != 0)
            models.insert(timeModel);
        return outcome(
            readIdentities(query, users, entries, models, change.m_identities) &&
                (timeModel == 0 || readExisting(query, users, entries, knownUsers, knownEntries)),
            query);
    });
    if (error.isValid())
        return error;

    QSet<int> touchedUsers;
    QSet<int> touchedEntries;
    if (timeModel == 0) {
        for (auto it = change.m_before.cbegin(); it != change.m_before.cend(); ++it) {
            touchedUsers.insert(it.key().user);
            touchedEntries.insert(it.key().entry);
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

QSqlError BoardChange::apply(const QString &databasePath, QSet<int> *changedEntries,
                             bool *stale) const
{
    if (changedEntries)
        changedEntries->clear();
    if (stale)
        *stale = false;
    m_added.reset();
    QSet<int> changed;
    std::optional<QVector<AccessRights::AddedRight>> added;
    bool refused = false;
    qint64 recorded = 0;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        QSqlError failed = checkIdentities(
            query, m_timeModel != 0 ? QSet<int>{m_timeModel} : QSet<int>(), refused);
        RightsAudit audit;
        if (!failed.isValid())
            failed = audit.readBefore(query, m_users, m_entries);
        if (!failed.isValid())
            failed =
                AccessRights::changeBlock(query, m_users, m_entries, m_timeModel, changed, &added);
        if (!failed.isValid())
            failed = audit.recordBlock(query, m_timeModel,
                                       m_reverted    ? AuditTrail::Action::Redo
                                       : m_timeModel ? AuditTrail::Action::Set
                                                     : AuditTrail::Action::Remove,
                                       m_reverted ? m_lastRecord : 0, &recorded);
        return failed;
    });
    if (stale)
        *stale = refused;
    if (error.isValid())
        return error;
    m_added = std::move(added);
    m_lastRecord = recorded;
    m_reverted = false;
    if (changedEntries)
        *changedEntries = changed;
    return QSqlError();
}

QSqlError BoardChange::revert(const QString &databasePath, QSet<int> *changedEntries,
                              BoardRights *restored, bool *stale) const
{
    if (changedEntries)
        changedEntries->clear();
    if (restored)
        restored->clear();
    if (stale)
        *stale = false;
    if (m_users.isEmpty() || m_entries.isEmpty())
        return QSqlError();
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    if (!db.isServer()) {
        // Hints only: a large change keeps its pages and its work tables in
        // memory until the commit instead of spilling them half-way.
        QSqlQuery hints = db.query();
        hints.exec(QStringLiteral("pragma cache_size=-65536"));
        hints.exec(QStringLiteral("pragma temp_store=memory"));
    }
    auto commit = [&db]() {
        if (db.commit())
            return QSqlError();
        const QSqlError error = db.lastError();
        db.rollback();
        return error;
    };
    m_compared = false;
    QSet<int> changed;
    QSet<int> models;
    QSqlError error;
    bool done = false;
    bool moved = false;
    qint64 recorded = 0;
    RightsAudit audit;
    // Reads the block as it is before the undo, on its transaction.
    const auto readBefore = [&]() {
        QSqlQuery query = db.query();
        error = audit.readBefore(query, m_users, m_entries);
        if (!error.isValid())
            return true;
        db.rollback();
        return false;
    };
    // Records what the undo did, before its commit.
    const auto recordUndo = [&]() {
        QSqlQuery query = db.query();
        return audit.recordRead(query, AuditTrail::Action::Undo, m_lastRecord, &recorded);
    };
    // In each transaction first: the rows are still those of the change.
    const auto sameRows = [&]() {
        QSqlQuery query = db.query();
        bool refused = false;
        error = checkIdentities(query, modelsBefore(), refused);
        if (stale)
            *stale = refused;
        if (!error.isValid())
            return true;
        db.rollback();
        return false;
    };
    if (m_added) {
        if (!db.transaction())
            return db.lastError();
        if (!sameRows() || !readBefore())
            return error;
        const Undo undo = revertByRows(db, changed, models, error);
        if (undo == Undo::Done)
            error = recordUndo();
        if (undo == Undo::Done && error.isValid()) {
            db.rollback();
            return error;
        }
        if (undo == Undo::Done) {
            error = commit();
            if (error.isValid())
                return error;
            done = true;
        } else {
            db.rollback();
            if (undo == Undo::Failed)
                return error;
            moved = true;
        }
    }
    if (!done) {
        changed.clear();
        if (!db.transaction())
            return db.lastError();
        if (!sameRows() || !readBefore())
            return error;
        error = revertByComparing(db, changed, models);
        if (!error.isValid())
            error = recordUndo();
        if (error.isValid()) {
            db.rollback();
            return error;
        }
        error = commit();
        if (error.isValid())
            return error;
    }
    // The rows the apply added are gone now.
    m_added.reset();
    m_compared = moved;
    m_lastRecord = recorded;
    m_reverted = true;
    if (changedEntries)
        *changedEntries = changed;
    if (restored) {
        // Mostly every model is still there: then the rights before are
        // shared, not copied.
        const bool allThere = std::all_of(m_before.cbegin(), m_before.cend(),
                                          [&](int model) { return models.contains(model); });
        if (allThere) {
            *restored = m_before;
        } else {
            for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
                if (models.contains(it.value()))
                    restored->insert(it.key(), it.value());
            }
        }
    }
    return QSqlError();
}

QString BoardChange::comparedNote()
{
    return QCoreApplication::translate(
        "BoardChange", "The rights of the block were changed elsewhere since: the whole block was "
                       "compared and set back as it was before the change.");
}

BoardChange::Undo BoardChange::revertByRows(ProjectDatabase &db, QSet<int> &changed,
                                            QSet<int> &models, QSqlError &error) const
{
    QSqlQuery query = db.query();
    QSet<int> knownUsers;
    QSet<int> knownEntries;
    if (!readKeys(query, QStringLiteral("select PKtimes from times"), models) ||
        (m_timeModel == 0 && !readExisting(query, m_users, m_entries, knownUsers, knownEntries))) {
        error = query.lastError();
        return Undo::Failed;
    }
    if (db.isServer())
        return revertRowsOnServer(query, knownUsers, knownEntries, changed, models, error);
    const QString failure =
        QCoreApplication::translate("BoardChange", "Unable to undo the change of rights");
    sqlite3 *connection = SqliteStatement::connectionOf(db.database());
    auto failed = [&](const SqliteStatement &statement) {
        error = statement.error(failure);
        return Undo::Failed;
    };

    if (m_timeModel == 0) {
        // The change removed the rights: they come back under their old
        // keys, where user, entry and model still exist. A key or pair
        // taken meanwhile means the block moved on.
        SqliteStatement insert(connection, "insert into access (PKaccess,FKusers,FKdoors,FKtimes) "
                                           "values (?1,?2,?3,?4)");
        if (!insert.isValid())
            return failed(insert);
        for (const Row &row : m_beforeRows) {
            if (!models.contains(row.model) || !knownUsers.contains(row.user) ||
                !knownEntries.contains(row.entry))
                continue;
            if (!insert.run({row.pkAccess, row.user, row.entry, row.model}))
                return (insert.code() & 0xff) == SQLITE_CONSTRAINT ? Undo::Stale : failed(insert);
            changed.insert(row.entry);
        }
    } else {
        // The change set the model on the rights in place and added the missing
        // ones: each right before gets its model back (or goes, when the model
        // is gone) and the added ones go, every row checked to still be its pair.
        SqliteStatement update(connection, "update access set FKtimes=?1 where (PKaccess=?2) and "
                                           "(FKusers=?3) and (FKdoors=?4)");
        SqliteStatement remove(
            connection, "delete from access where (PKaccess=?1) and (FKusers=?2) and (FKdoors=?3)");
        SqliteStatement check(connection, "select FKtimes from access where (PKaccess=?1) and "
                                          "(FKusers=?2) and (FKdoors=?3)");
        for (const SqliteStatement *statement : {&update, &remove, &check}) {
            if (!statement->isValid())
                return failed(*statement);
        }
        for (const Row &row : m_beforeRows) {
            if (row.model == m_timeModel) {
                // Left alone by the change; it must still hold the model.
                if (!check.step({row.pkAccess, row.user, row.entry}))
                    return failed(check);
                if (!check.hasRow() || check.columnInt(0) != m_timeModel)
                    return Undo::Stale;
                continue;
            }
            const bool restore = models.contains(row.model);
            SqliteStatement &write = restore ? update : remove;
            if (!(restore ? update.run({row.model, row.pkAccess, row.user, row.entry})
                          : remove.run({row.pkAccess, row.user, row.entry})))
                return failed(write);
            if (write.changes() != 1)
                return Undo::Stale;
            changed.insert(row.entry);
        }
        for (const AccessRights::AddedRight &right : qAsConst(*m_added)) {
            if (!remove.run({right.pkAccess, right.pkUsers, right.pkDoors}))
                return failed(remove);
            if (remove.changes() != 1)
                return Undo::Stale;
            changed.insert(right.pkDoors);
        }
    }
    if (!AccessRights::setNeedsUpdate(query, changed, true)) {
        error = query.lastError();
        return Undo::Failed;
    }
    return Undo::Done;
}

BoardChange::Undo BoardChange::revertRowsOnServer(QSqlQuery &query, const QSet<int> &knownUsers,
                                                  const QSet<int> &knownEntries, QSet<int> &changed,
                                                  const QSet<int> &models, QSqlError &error) const
{
    // The same steps as on SQLite, each one statement over all its rows. A
    // key or pair taken meanwhile (unique violation) or a user, entry or
    // model removed by another workstation since it was read here (foreign
    // key violation) means the block moved on; the transaction is then
    // aborted and rolled back by the caller.
    const auto outcome = [&](bool ok) {
        if (ok)
            return Undo::Done;
        const QString state = query.lastError().nativeErrorCode();
        if (state == QLatin1String("23505") || state == QLatin1String("23503"))
            return Undo::Stale;
        error = query.lastError();
        return Undo::Failed;
    };
    // Rows in `rows` of the statement that must each touch one row.
    const auto all = [&](const QString &statement, const QVector<QVector<qint64>> &columns,
                         const QVariantList &more = {}) {
        if (columns.first().isEmpty())
            return Undo::Done;
        const Undo done = outcome(execArrays(query, statement, columns, more));
        if (done != Undo::Done)
            return done;
        int touched = query.numRowsAffected();
        if (query.isSelect()) {
            bool found = false;
            if (!RecordStatement::fetchOne(query, found))
                return outcome(false);
            touched = found ? query.value(0).toInt() : 0;
            query.finish();
        }
        return touched == columns.first().size() ? Undo::Done : Undo::Stale;
    };
    Undo done = Undo::Done;
    if (m_timeModel == 0) {
        QVector<QVector<qint64>> rows(4);
        for (const Row &row : m_beforeRows) {
            if (!models.contains(row.model) || !knownUsers.contains(row.user) ||
                !knownEntries.contains(row.entry))
                continue;
            rows[0] << row.pkAccess;
            rows[1] << row.user;
            rows[2] << row.entry;
            rows[3] << row.model;
            changed.insert(row.entry);
        }
        done = all(QStringLiteral("insert into access (PKaccess,FKusers,FKdoors,FKtimes) select * "
                                  "from unnest(?::bigint[],?::bigint[],?::bigint[],?::bigint[])"),
                   rows);
    } else {
        QVector<QVector<qint64>> kept(3);
        QVector<QVector<qint64>> restored(4);
        QVector<QVector<qint64>> removed(3);
        for (const Row &row : m_beforeRows) {
            const bool keep = row.model == m_timeModel;
            const bool restore = models.contains(row.model);
            auto &to = keep ? kept : restore ? restored : removed;
            to[0] << row.pkAccess;
            to[1] << row.user;
            to[2] << row.entry;
            if (!keep && restore)
                to[3] << row.model;
            if (!keep)
                changed.insert(row.entry);
        }
        for (const AccessRights::AddedRight &right : qAsConst(*m_added)) {
            removed[0] << right.pkAccess;
            removed[1] << right.pkUsers;
            removed[2] << right.pkDoors;
            changed.insert(right.pkDoors);
        }
        const QString pairs = QStringLiteral(
            " unnest(?::bigint[],?::bigint[],?::bigint[]) v(k,u,e) where (a.PKaccess=v.k) and "
            "(a.FKusers=v.u) and (a.FKdoors=v.e)");
        done = all(QStringLiteral("select count(*) from access a,") + pairs +
                       QStringLiteral(" and (a.FKtimes=?)"),
                   kept, {m_timeModel});
        if (done == Undo::Done)
            done = all(QStringLiteral("update access a set FKtimes=v.m from unnest(?::bigint[],"
                                      "?::bigint[],?::bigint[],?::bigint[]) v(k,u,e,m) where "
                                      "(a.PKaccess=v.k) and (a.FKusers=v.u) and (a.FKdoors=v.e)"),
                       restored);
        if (done == Undo::Done)
            done = all(QStringLiteral("delete from access a using") + pairs, removed);
    }
    if (done == Undo::Done && !AccessRights::setNeedsUpdate(query, changed, true))
        return outcome(false);
    return done;
}

QSqlError BoardChange::revertByComparing(ProjectDatabase &db, QSet<int> &changed,
                                         QSet<int> &models) const
{
    QSqlQuery query = db.query();
    // The rights to restore go into a table of this connection (gone
    // with it, and with a rollback); SQLite compares it with the
    // block once into kx_change (row, pair, model to set; no row for
    // a right to put back, no model for one to remove) and writes by
    // row key, one statement per model. Rights on time models that
    // are gone are not restored: their pairs end up without a right.
    QSet<int> restore;
    const bool server = ProjectDatabase::isServer(query);
    if (!readKeys(query, QStringLiteral("select PKtimes from times"), models) ||
        !query.exec(
            QStringLiteral("create temp table kx_before (pairUser integer, "
                           "pairEntry integer, pairModel integer, primary key "
                           "(pairUser,pairEntry))") +
            (server ? QStringLiteral(" on commit drop") : QStringLiteral(" without rowid"))) ||
        !query.exec(QStringLiteral("create temp table kx_change (pairRow integer, "
                                   "pairUser integer, pairEntry integer, pairModel "
                                   "integer)") +
                    (server ? QStringLiteral(" on commit drop") : QString())) ||
        !fillBefore(query, m_before) ||
        !query.exec(QStringLiteral("delete from kx_before where pairModel not in "
                                   "(select PKtimes from times)")) ||
        !query.exec(QStringLiteral("insert into kx_change select a.PKaccess,"
                                   "a.FKusers,a.FKdoors,b.pairModel from access a left "
                                   "join kx_before b on (b.pairUser=a.FKusers) and "
                                   "(b.pairEntry=a.FKdoors) where (a.FKusers in (") +
                    keyList(m_users) + QStringLiteral(")) and (a.FKdoors in (") +
                    keyList(m_entries) +
                    QStringLiteral(")) and (b.pairModel is distinct from a.FKtimes)")) ||
        !query.exec(QStringLiteral(
            "insert into kx_change select null,b.pairUser,b.pairEntry,b.pairModel "
            "from kx_before b where not exists (select 1 from access a where "
            "(a.FKusers=b.pairUser) and (a.FKdoors=b.pairEntry)) and exists (select 1 "
            "from users where PKusers=b.pairUser) and exists (select 1 from doors where "
            "PKdoors=b.pairEntry)")) ||
        !readKeys(query, QStringLiteral("select distinct pairEntry from kx_change"), changed) ||
        !readKeys(query,
                  QStringLiteral("select distinct pairModel from kx_change where "
                                 "(pairRow is not null) and (pairModel is not null)"),
                  restore) ||
        !query.exec(QStringLiteral("delete from access where PKaccess in (select pairRow "
                                   "from kx_change where pairModel is null)")))
        return query.lastError();
    for (int model : qAsConst(restore)) {
        if (!ProjectDatabase::exec(
                query,
                QStringLiteral("update access set FKtimes=? where PKaccess in (select "
                               "pairRow from kx_change where pairModel=?)"),
                {model, model}))
            return query.lastError();
    }
    if (!query.exec(QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) select "
                                   "pairUser,pairEntry,pairModel from kx_change "
                                   "where pairRow is null")) ||
        !query.exec(QStringLiteral("drop table kx_before")) ||
        !query.exec(QStringLiteral("drop table kx_change")))
        return query.lastError();
    return outcome(AccessRights::setNeedsUpdate(query, changed, true), query);
}

#include "db/rightsaudit.h"

#include "db/audittrail.h"
#include "db/recordstatement.h"
#include "db/sqlitestatement.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QPair>

#include <algorithm>
#include <functional>

#include <sqlite3.h>

using RecordStatement::keyList;

namespace {

QString readFailure()
{
    return QCoreApplication::translate("RightsAudit",
                                       "Unable to read the access rights for the audit trail");
}

QVector<int> sortedKeys(const QSet<int> &keys)
{
    QVector<int> sorted(keys.cbegin(), keys.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

QString keysOf(const QVector<int> &sorted)
{
    return keyList(QSet<int>(sorted.cbegin(), sorted.cend()));
}

// Key -> name of the rows the statement selects (key, then the name parts).
bool namesByKey(QSqlQuery &query, const QString &statement,
                const std::function<QString(const QSqlQuery &)> &name, QHash<int, QString> &names)
{
    names.clear();
    query.setForwardOnly(true);
    if (!query.exec(statement))
        return false;
    while (query.next())
        names.insert(query.value(0).toInt(), name(query));
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

void appendModel(QByteArray &text, int index)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (index < 62)
        text += digits[index];
    else
        text += '{' + QByteArray::number(index) + '}';
}

void appendNames(QByteArray &text, const char *key, const QStringList &names)
{
    text += '"';
    text += key;
    text += "\":[";
    for (int i = 0; i < names.size(); ++i) {
        if (i)
            text += ',';
        AuditTrail::appendJsonString(text, names.at(i));
    }
    text += ']';
}

// {"users":[...],"entries":[...],"models":[...],"cells":[...]} for the
// changed users (rows) and entries (columns), each cell of `values` that changed.
QString cellsJson(const QStringList &users, const QStringList &entries,
                  const QVector<int> &userRows, const QVector<int> &entryColumns, int width,
                  const QVector<int> &values, const QVector<bool> &changed,
                  const QHash<int, QString> &tags)
{
    QHash<int, int> modelIndex;
    QStringList models;
    QByteArray cells;
    cells.reserve(userRows.size() * (entryColumns.size() + 3));
    for (int r = 0; r < userRows.size(); ++r) {
        if (r)
            cells += ',';
        cells += '"';
        for (int column : entryColumns) {
            const int cell = userRows.at(r) * width + column;
            const int model = values.at(cell);
            if (!changed.at(cell)) {
                cells += '.';
            } else if (model == 0) {
                cells += '-';
            } else {
                auto it = modelIndex.find(model);
                if (it == modelIndex.end()) {
                    it = modelIndex.insert(model, models.size());
                    models << tags.value(model, QStringLiteral("#%1").arg(model));
                }
                appendModel(cells, it.value());
            }
        }
        cells += '"';
    }
    QByteArray text = "{";
    appendNames(text, "users", users);
    text += ',';
    appendNames(text, "entries", entries);
    text += ',';
    appendNames(text, "models", models);
    text += ",\"cells\":[" + cells + "]}";
    return QString::fromUtf8(text);
}

} // namespace

RightsAudit::Positions::Positions(const QVector<int> &sorted)
{
    if (sorted.isEmpty())
        return;
    m_first = sorted.first();
    const qint64 span = qint64(sorted.last()) - m_first + 1;
    if (span <= 4 * qint64(sorted.size()) + 1024) {
        m_array.fill(-1, int(span));
        for (int i = 0; i < sorted.size(); ++i)
            m_array[sorted.at(i) - m_first] = i;
    } else {
        m_hash.reserve(sorted.size());
        for (int i = 0; i < sorted.size(); ++i)
            m_hash.insert(sorted.at(i), i);
    }
}

int RightsAudit::Positions::of(int key) const
{
    if (m_array.isEmpty())
        return m_hash.value(key, -1);
    const qint64 at = qint64(key) - m_first;
    return at >= 0 && at < m_array.size() ? m_array.at(int(at)) : -1;
}

QSqlError RightsAudit::readBefore(QSqlQuery &query, const QSet<int> &users,
                                  const QSet<int> &entries)
{
    m_active = AuditTrail::isRecording() && !users.isEmpty() && !entries.isEmpty();
    if (!m_active)
        return QSqlError();
    m_users = sortedKeys(users);
    m_entries = sortedKeys(entries);
    m_userIndex = Positions(m_users);
    m_entryIndex = Positions(m_entries);
    return readCells(query, m_before);
}

QSqlError RightsAudit::readCells(QSqlQuery &query, QVector<int> &cells) const
{
    cells.fill(0, m_users.size() * m_entries.size());
    const int width = m_entries.size();
    // A block that holds much of the table is read in one pass over it: by
    // the index each right costs a look-up of its row. Else by user only:
    // the unique index on (user, entry) serves that with one seek a user,
    // where naming the entries too would seek every pair.
    if (!query.exec(QStringLiteral("select max(PKaccess) from access")))
        return query.lastError();
    bool found = false;
    if (!RecordStatement::fetchOne(query, found))
        return query.lastError();
    const qint64 rights = found ? query.value(0).toLongLong() : 0;
    query.finish();
    const QByteArray statement =
        rights <= 3 * qint64(cells.size())
            ? QByteArray("select FKusers,FKdoors,FKtimes from access")
            : "select FKusers,FKdoors,FKtimes from access where FKusers in (" +
                  keysOf(m_users).toLatin1() + ')';
    const auto take = [&](int user, int entry, int model) {
        const int column = m_entryIndex.of(entry);
        const int row = m_userIndex.of(user);
        if (column >= 0 && row >= 0)
            cells[row * width + column] = model;
    };
    sqlite3 *connection = SqliteStatement::connectionOf(query);
    if (connection) {
        SqliteStatement rows(connection, statement.constData());
        if (!rows.isValid())
            return rows.error(readFailure());
        while (rows.step() && rows.hasRow())
            take(rows.columnInt(0), rows.columnInt(1), rows.columnInt(2));
        if (rows.code() != SQLITE_DONE)
            return rows.error(readFailure());
        return QSqlError();
    }
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(statement)))
        return query.lastError();
    while (query.next())
        take(query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt());
    if (!RecordStatement::rowsEnded(query))
        return query.lastError();
    query.finish();
    return QSqlError();
}

QSqlError RightsAudit::recordBlock(QSqlQuery &query, int timeModel, const QString &action,
                                   qint64 reverses, qint64 *sequence)
{
    if (sequence)
        *sequence = 0;
    if (!m_active)
        return QSqlError();
    if (!readNames(query))
        return query.lastError();
    QVector<int> after(m_before.size(), 0);
    if (timeModel != 0) {
        // Pairs of a user or entry that no longer exists were left alone.
        const int width = m_entries.size();
        QVector<bool> entries(width);
        for (int e = 0; e < width; ++e)
            entries[e] = m_entryNames.contains(m_entries.at(e));
        for (int u = 0; u < m_users.size(); ++u) {
            const bool user = m_userNames.contains(m_users.at(u));
            for (int e = 0; e < width; ++e)
                after[u * width + e] =
                    user && entries.at(e) ? timeModel : m_before.at(u * width + e);
        }
    }
    return recordCells(query, after, timeModel, action, reverses, sequence);
}

QSqlError RightsAudit::recordRead(QSqlQuery &query, const QString &action, qint64 reverses,
                                  qint64 *sequence)
{
    if (sequence)
        *sequence = 0;
    if (!m_active)
        return QSqlError();
    QVector<int> after;
    const QSqlError error = readCells(query, after);
    if (error.isValid())
        return error;
    if (!readNames(query))
        return query.lastError();
    return recordCells(query, after, -1, action, reverses, sequence);
}

bool RightsAudit::readNames(QSqlQuery &query)
{
    return namesByKey(
               query,
               QStringLiteral("select PKusers,familyName,firstName from users where PKusers in (") +
                   keysOf(m_users) + QLatin1Char(')'),
               [](const QSqlQuery &q) {
                   return AuditTrail::userName(q.value(1).toString(), q.value(2).toString());
               },
               m_userNames) &&
           namesByKey(
               query,
               QStringLiteral("select PKdoors,areaName,doorName from doors where PKdoors in (") +
                   keysOf(m_entries) + QLatin1Char(')'),
               [](const QSqlQuery &q) {
                   return AuditTrail::entryName(q.value(1).toString(), q.value(2).toString());
               },
               m_entryNames);
}

QSqlError RightsAudit::recordCells(QSqlQuery &query, const QVector<int> &after, int timeModel,
                                   const QString &action, qint64 reverses, qint64 *sequence)
{
    const int width = m_entries.size();
    QVector<bool> changed(after.size(), false);
    QVector<bool> changedUser(m_users.size(), false);
    QVector<bool> changedEntry(width, false);
    int count = 0;
    for (int cell = 0; cell < after.size(); ++cell) {
        if (after.at(cell) == m_before.at(cell))
            continue;
        changed[cell] = true;
        changedUser[cell / width] = true;
        changedEntry[cell % width] = true;
        ++count;
    }
    if (count == 0)
        return QSqlError();

    QHash<int, QString> tags;
    if (!namesByKey(
            query, QStringLiteral("select PKtimes,modelTag from times"),
            [](const QSqlQuery &q) { return q.value(1).toString(); }, tags))
        return query.lastError();

    // Rows and columns in name order, as the lists print them.
    const auto ordered = [](const QVector<int> &keys, const QVector<bool> &take,
                            const QHash<int, QString> &names, QStringList &shown) {
        QVector<QPair<QString, int>> named;
        for (int i = 0; i < keys.size(); ++i) {
            if (take.at(i))
                named.append({names.value(keys.at(i), QStringLiteral("#%1").arg(keys.at(i))), i});
        }
        std::sort(named.begin(), named.end());
        QVector<int> positions;
        shown.clear();
        for (const auto &name : qAsConst(named)) {
            shown << name.first;
            positions << name.second;
        }
        return positions;
    };
    QStringList userNames;
    QStringList entryNames;
    const QVector<int> rows = ordered(m_users, changedUser, m_userNames, userNames);
    const QVector<int> columns = ordered(m_entries, changedEntry, m_entryNames, entryNames);

    AuditRecord record;
    record.action = action;
    record.objectKind = AuditTrail::Kind::Rights;
    record.users = userNames;
    record.entries = entryNames;
    record.reverses = reverses;
    record.valuesBefore =
        cellsJson(userNames, entryNames, rows, columns, width, m_before, changed, tags);
    QJsonObject counts{{QStringLiteral("rights"), count},
                       {QStringLiteral("users"), userNames.size()},
                       {QStringLiteral("entries"), entryNames.size()}};
    if (timeModel >= 0) {
        const QString tag = timeModel ? tags.value(timeModel) : QString();
        counts.insert(QStringLiteral("model"), timeModel ? QJsonValue(tag) : QJsonValue());
        record.objectName = tag;
        record.valuesAfter = AuditTrail::json(counts);
    } else {
        // The counts lead the cells, where a list cut short still shows them.
        QString cells =
            cellsJson(userNames, entryNames, rows, columns, width, after, changed, tags);
        QString head = AuditTrail::json(counts);
        head.chop(1);
        record.valuesAfter = head + QLatin1Char(',') + cells.mid(1);
    }
    if (!AuditTrail::record(query, record, sequence))
        return query.lastError();
    return QSqlError();
}

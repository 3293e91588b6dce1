#include "db/boardrename.h"

#include "db/audittrail.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QSqlQuery>

using RecordStatement::keyList;
using RecordStatement::outcome;

namespace {

QString table(BoardRename::Kind kind)
{
    return kind == BoardRename::Group ? QStringLiteral("users") : QStringLiteral("doors");
}

QString nameColumn(BoardRename::Kind kind)
{
    return kind == BoardRename::Group ? QStringLiteral("groupName") : QStringLiteral("areaName");
}

QString keyColumn(BoardRename::Kind kind)
{
    return kind == BoardRename::Group ? QStringLiteral("PKusers") : QStringLiteral("PKdoors");
}

// What tells the row from another one given its key later.
QString identity(BoardRename::Kind kind)
{
    // A line break written into the statement: both dialects take it, where
    // the function making one has another name in each.
    return kind == BoardRename::Group ? QStringLiteral("familyName||'\n'||firstName")
                                      : QStringLiteral("doorName");
}

} // namespace

QSqlError BoardRename::rename(const QString &databasePath, Kind kind, const QString &oldName,
                              const QString &newName, BoardRename &done)
{
    done = BoardRename();
    done.m_kind = kind;
    done.m_oldName = oldName;
    done.m_newName = newName;
    // The same names the user and entry dialogs take.
    if (newName.trimmed().isEmpty())
        return RecordStatement::refusal(
            kind == Group ? QCoreApplication::translate("BoardRename", "No group name given")
                          : QCoreApplication::translate("BoardRename", "No area name given"));
    const QSqlError control = RecordStatement::refuseControlCharacters({newName});
    if (control.isValid())
        return control;
    QHash<int, QString> rows;
    qint64 recorded = 0;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        if (!done.readRows(query, QStringLiteral("%1=?").arg(nameColumn(kind)), {oldName}, rows))
            return RecordStatement::failure(query);
        done.m_rows = rows;
        QSqlError failed = done.renameRows(query, rows.keys(), newName);
        if (!failed.isValid())
            failed = done.record(query, rows.keys(), oldName, newName, AuditTrail::Action::Rename,
                                 0, &recorded);
        return failed;
    });
    done.m_rows = error.isValid() ? QHash<int, QString>() : rows;
    done.m_lastRecord = recorded;
    return error;
}

QSqlError BoardRename::record(QSqlQuery &query, const QList<int> &keys, const QString &from,
                              const QString &to, const QString &action, qint64 reverses,
                              qint64 *sequence) const
{
    if (keys.isEmpty())
        return QSqlError();
    AuditRecord record;
    record.action = action;
    record.objectKind = m_kind == Group ? AuditTrail::Kind::Group : AuditTrail::Kind::Area;
    record.objectName = from;
    record.reverses = reverses;
    record.valuesBefore = AuditTrail::json({{QStringLiteral("name"), from}});
    record.valuesAfter = AuditTrail::json({{QStringLiteral("name"), to}});
    for (int key : keys) {
        const QString identity = m_rows.value(key);
        if (m_kind == Group) {
            record.users << AuditTrail::userName(identity.section(QLatin1Char('\n'), 0, 0),
                                                 identity.section(QLatin1Char('\n'), 1));
        } else {
            // An entry is named by its area: under both names.
            record.entries << AuditTrail::entryName(from, identity)
                           << AuditTrail::entryName(to, identity);
        }
    }
    record.users.sort();
    record.entries.sort();
    return RecordStatement::outcome(AuditTrail::record(query, record, sequence), query);
}

bool BoardRename::readRows(QSqlQuery &query, const QString &filter, const QVariantList &values,
                           QHash<int, QString> &rows) const
{
    rows.clear();
    query.setForwardOnly(true);
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select %1,%2 from %3 where ")
                                       .arg(keyColumn(m_kind), identity(m_kind), table(m_kind)) +
                                   filter,
                               values))
        return false;
    while (query.next())
        rows.insert(query.value(0).toInt(), query.value(1).toString());
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError BoardRename::renameRows(QSqlQuery &query, const QList<int> &keys,
                                  const QString &name) const
{
    if (keys.isEmpty())
        return QSqlError();
    return outcome(
        ProjectDatabase::exec(query,
                              QStringLiteral("update %1 set %2=? where %3 in (")
                                      .arg(table(m_kind), nameColumn(m_kind), keyColumn(m_kind)) +
                                  keyList(QSet<int>(keys.cbegin(), keys.cend())) + QLatin1Char(')'),
                              {RecordStatement::text(name)}),
        query);
}

QSqlError BoardRename::setName(const QString &databasePath, const QString &from, const QString &to,
                               const QString &action) const
{
    if (m_rows.isEmpty())
        return QSqlError();
    // Only the rows renamed, still under the name the rename left: a key
    // SQLite gave to another row since names that one, which stays as it is.
    qint64 recorded = 0;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        QSet<int> keys;
        for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
            keys.insert(it.key());
        QHash<int, QString> now;
        if (!readRows(
                query,
                QStringLiteral("(%1=?) and (%2 in (").arg(nameColumn(m_kind), keyColumn(m_kind)) +
                    keyList(keys) + QStringLiteral("))"),
                {from}, now))
            return RecordStatement::failure(query);
        QList<int> same;
        for (auto it = now.cbegin(); it != now.cend(); ++it)
            if (m_rows.value(it.key()) == it.value())
                same << it.key();
        QSqlError failed = renameRows(query, same, to);
        if (!failed.isValid())
            failed = record(query, same, from, to, action, m_lastRecord, &recorded);
        return failed;
    });
    if (!error.isValid())
        m_lastRecord = recorded;
    return error;
}

QSqlError BoardRename::revert(const QString &databasePath) const
{
    return setName(databasePath, m_newName, m_oldName, AuditTrail::Action::Undo);
}

QSqlError BoardRename::apply(const QString &databasePath) const
{
    return setName(databasePath, m_oldName, m_newName, AuditTrail::Action::Redo);
}

#include "db/boardrename.h"

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
    QSet<int> keys;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        query.setForwardOnly(true);
        if (!ProjectDatabase::exec(query,
                                   QStringLiteral("select %1 from %2 where %3=?")
                                       .arg(keyColumn(kind), table(kind), nameColumn(kind)),
                                   {oldName}))
            return RecordStatement::failure(query);
        while (query.next())
            keys.insert(query.value(0).toInt());
        if (!RecordStatement::rowsEnded(query))
            return RecordStatement::failure(query);
        query.finish();
        if (keys.isEmpty())
            return QSqlError();
        return outcome(
            ProjectDatabase::exec(query,
                                  QStringLiteral("update %1 set %2=? where %3 in (")
                                          .arg(table(kind), nameColumn(kind), keyColumn(kind)) +
                                      keyList(keys) + QLatin1Char(')'),
                                  {RecordStatement::text(newName)}),
            query);
    });
    if (!error.isValid())
        done.m_keys = keys;
    return error;
}

QSqlError BoardRename::setName(const QString &databasePath, const QString &name) const
{
    if (m_keys.isEmpty())
        return QSqlError();
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(ProjectDatabase::exec(
                           query,
                           QStringLiteral("update %1 set %2=? where %3 in (")
                                   .arg(table(m_kind), nameColumn(m_kind), keyColumn(m_kind)) +
                               keyList(m_keys) + QLatin1Char(')'),
                           {RecordStatement::text(name)}),
                       query);
    });
}

QSqlError BoardRename::revert(const QString &databasePath) const
{
    return setName(databasePath, m_oldName);
}

QSqlError BoardRename::apply(const QString &databasePath) const
{
    return setName(databasePath, m_newName);
}

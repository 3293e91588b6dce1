#include "db/entryselection.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QVariant>

EntrySelection EntrySelection::allEntries(bool onlyPending)
{
    EntrySelection selection;
    selection.m_scope = AllEntries;
    selection.m_onlyPending = onlyPending;
    return selection;
}

EntrySelection EntrySelection::area(const QString &areaName, bool onlyPending)
{
    EntrySelection selection;
    selection.m_scope = Area;
    selection.m_areaName = areaName;
    selection.m_onlyPending = onlyPending;
    return selection;
}

EntrySelection EntrySelection::entries(const QSet<int> &keys, bool onlyPending)
{
    EntrySelection selection;
    selection.m_scope = Entries;
    selection.m_keys = keys;
    selection.m_onlyPending = onlyPending;
    return selection;
}

EntrySelection EntrySelection::shortRange()
{
    EntrySelection selection;
    selection.m_scope = ShortRange;
    return selection;
}

EntrySelection EntrySelection::longRange()
{
    EntrySelection selection;
    selection.m_scope = LongRange;
    return selection;
}

EntrySelection EntrySelection::technologies(bool shortRange, bool longRange)
{
    if (shortRange && longRange)
        return allEntries();
    if (shortRange)
        return EntrySelection::shortRange();
    if (longRange)
        return EntrySelection::longRange();
    EntrySelection selection;
    selection.m_nothing = true;
    return selection;
}

bool EntrySelection::isEmpty() const
{
    return m_nothing || (m_scope == Entries && m_keys.isEmpty());
}

bool EntrySelection::list(QSqlQuery &query, QList<EntryTarget> &rows) const
{
    rows.clear();
    if (isEmpty())
        return true;
    QString statement = QStringLiteral(
        "select PKdoors,doorName,ipAddr,port,readerType,readerSerNo,needsUpdate from doors");
    QVariantList values;
    switch (m_scope) {
    case AllEntries:
        if (m_onlyPending)
            statement += QStringLiteral(" where (needsUpdate=1)");
        break;
    case Area:
        statement += QStringLiteral(" where (areaName=?)");
        values << m_areaName;
        if (m_onlyPending)
            statement += QStringLiteral(" and (needsUpdate=1)");
        break;
    case Entries:
        statement += QStringLiteral(" where ") + AccessRights::entriesInDoorsFilter(m_keys);
        if (m_onlyPending)
            statement += QStringLiteral(" and (needsUpdate=1)");
        break;
    case ShortRange:
        statement += QStringLiteral(" where ") + AccessRights::shortRangeFilter();
        break;
    case LongRange:
        statement += QStringLiteral(" where ") + AccessRights::longRangeFilter();
        break;
    }
    // In the order the entries were made, as SQLite gives them unasked; a
    // server returns rows in whatever order they lie after updates.
    statement += QStringLiteral(" order by PKdoors");
    if (!ProjectDatabase::exec(query, statement, values))
        return false;
    while (query.next()) {
        EntryTarget row;
        row.pkDoors = query.value(0).toInt();
        row.doorName = query.value(1).toString();
        row.ipAddr = query.value(2).toString();
        row.port = query.value(3).toInt();
        row.readerType = query.value(4).toUInt();
        row.readerSerNo = query.value(5).toString();
        row.needsUpdate = query.value(6).toInt() == 1;
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError EntrySelection::list(const QString &databasePath, QList<EntryTarget> &rows) const
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return RecordStatement::outcome(list(query, rows), query);
    });
}

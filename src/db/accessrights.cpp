#include "db/accessrights.h"

#include "db/audittrail.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/recordstatement.h"
#include "db/rightsaudit.h"
#include "db/sqlitestatement.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <climits>

using RecordStatement::keyList;
using RecordStatement::outcome;

namespace AccessRights {

namespace {

bool collectKeys(QSqlQuery &query, const QString &statement, const QVariantList &values,
                 QSet<int> &keys)
{
    keys.clear();
    if (!ProjectDatabase::exec(query, statement, values))
        return false;
    while (query.next())
        keys.insert(query.value(0).toInt());
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("AccessRights", text);
}

} // namespace

QString usersFilter(const QSet<int> &users)
{
    return QStringLiteral("(FKusers in (") + keyList(users) + QStringLiteral("))");
}

QString entriesInAccessFilter(const QSet<int> &entries)
{
    return QStringLiteral("(FKdoors in (") + keyList(entries) + QStringLiteral("))");
}

QString entriesInDoorsFilter(const QSet<int> &entries)
{
    return QStringLiteral("(PKdoors in (") + keyList(entries) + QStringLiteral("))");
}

QString shortRangeFilter()
{
    return QStringLiteral("(readerType in (%1))").arg(ShortRangeReader);
}

QString longRangeFilter()
{
    return QStringLiteral("(readerType in (%1,%2))").arg(LongRangeReader).arg(LongRangeReader2);
}

bool insertAccess(QSqlQuery &query, int pkUsers, int pkDoors, int pkTimes)
{
    return ProjectDatabase::exec(
        query, QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,?)"),
        {pkUsers, pkDoors, pkTimes});
}

bool updateAccess(QSqlQuery &query, int pkUsers, int pkDoors, int pkTimes)
{
    return ProjectDatabase::exec(
        query, QStringLiteral("update access set FKtimes=? where (FKusers=?) and (FKdoors=?)"),
        {pkTimes, pkUsers, pkDoors});
}

bool deleteAccess(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries)
{
    if (users.isEmpty() || entries.isEmpty())
        return true;
    return query.exec(QStringLiteral("delete from access where ") + usersFilter(users) +
                      QStringLiteral(" and ") + entriesInAccessFilter(entries));
}

bool listAccess(QSqlQuery &query, QList<AccessRow> &rows)
{
    rows.clear();
    // A board can hold a million rights: stream the rows and share the few tag texts.
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "select PKaccess,PKusers,PKdoors,PKtimes,modelTag from access,users,doors,times "
            "where (PKusers=FKusers) and (PKdoors=FKdoors) and (PKtimes=FKtimes)")))
        return false;
    QHash<int, QString> tags;
    while (query.next()) {
        AccessRow row;
        row.pkAccess = query.value(0).toInt();
        row.pkUsers = query.value(1).toInt();
        row.pkDoors = query.value(2).toInt();
        row.pkTimes = query.value(3).toInt();
        auto tag = tags.find(row.pkTimes);
        if (tag == tags.end())
            tag = tags.insert(row.pkTimes, query.value(4).toString());
        row.modelTag = tag.value();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listAccess(const QString &databasePath, QList<AccessRow> &rows)
{
    rows.clear();
    return RecordStatement::run(
        databasePath, [&](QSqlQuery &query) { return outcome(listAccess(query, rows), query); });
}

namespace {

// Reads the next key of a text of keys separated by single blanks from *at
// on: 1 for a key, 0 at the end of the text, -1 for anything else.
int nextKey(const QChar *&at, const QChar *end, int &key)
{
    if (at < end && *at == QLatin1Char(' '))
        ++at;
    if (at == end)
        return 0;
    const bool negative = *at == QLatin1Char('-');
    if (negative)
        ++at;
    const QChar *digits = at;
    qint64 value = 0;
    while (at < end && at->unicode() >= '0' && at->unicode() <= '9' && value <= INT_MAX)
        value = value * 10 + (at++->unicode() - '0');
    if (at == digits || value > INT_MAX || (at < end && *at != QLatin1Char(' ')))
        return -1;
    key = int(negative ? -value : value);
    return 1;
}

// The server's board read: the time models' tags first, then one row a
// user with the user's rights as "entry model entry model ..." text. A row a
// right would cost more on the wire and in QSqlQuery than the whole board;
// the text of a user is read by hand.
QSqlError listServerBoardRights(const QSqlDatabase &db,
                                const std::function<void(const BoardRight &right)> &take,
                                QHash<int, QString> &tags)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select PKtimes,modelTag from times")))
        return query.lastError();
    QHash<int, QString> models;
    while (query.next())
        models.insert(query.value(0).toInt(), query.value(1).toString());
    if (!RecordStatement::rowsEnded(query))
        return query.lastError();
    if (!query.exec(QStringLiteral(
            "select FKusers,string_agg(FKdoors||' '||FKtimes,' ') from access,users,doors,times "
            "where (PKusers=FKusers) and (PKdoors=FKdoors) and (PKtimes=FKtimes) group by "
            "FKusers")))
        return query.lastError();
    int lastTimes = 0;
    while (query.next()) {
        BoardRight right;
        right.pkUsers = query.value(0).toInt();
        const QString rights = query.value(1).toString();
        const QChar *at = rights.constData();
        const QChar *end = at + rights.size();
        for (int found = nextKey(at, end, right.pkDoors); found != 0;
             found = nextKey(at, end, right.pkDoors)) {
            if (found < 0 || nextKey(at, end, right.pkTimes) <= 0)
                return RecordStatement::refusal(QCoreApplication::translate(
                    "AccessRights", "Unable to read the access rights of the board"));
            // As on SQLite: only the tags of models in use, each before its first right.
            if (right.pkTimes != lastTimes) {
                lastTimes = right.pkTimes;
                if (!tags.contains(lastTimes))
                    tags.insert(lastTimes, models.value(lastTimes));
            }
            take(right);
        }
    }
    // Anything but the end of the rows is an error: never a shortened board.
    if (!RecordStatement::rowsEnded(query))
        return query.lastError();
    return QSqlError();
}

} // namespace

QSqlError listBoardRights(const QSqlDatabase &db,
                          const std::function<void(const BoardRight &right)> &take,
                          QHash<int, QString> &tags)
{
    tags.clear();
    if (ProjectDatabase::isServer(db))
        return listServerBoardRights(db, take, tags);
    const QString readFailure = QCoreApplication::translate(
        "AccessRights", "Unable to read the access rights of the board");
    SqliteStatement statement(
        SqliteStatement::connectionOf(db),
        "select PKusers,PKdoors,PKtimes,modelTag from access,users,doors,times "
        "where (PKusers=FKusers) and (PKdoors=FKdoors) and (PKtimes=FKtimes)");
    if (!statement.isValid())
        return statement.error(readFailure);
    // Rights come mostly in runs of one time model: remember the last one.
    int lastTimes = 0;
    bool anyTag = false;
    while (statement.step() && statement.hasRow()) {
        BoardRight right;
        right.pkUsers = statement.columnInt(0);
        right.pkDoors = statement.columnInt(1);
        right.pkTimes = statement.columnInt(2);
        if (!anyTag || right.pkTimes != lastTimes) {
            lastTimes = right.pkTimes;
            anyTag = true;
            if (!tags.contains(right.pkTimes)) {
                const auto *text =
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.handle(), 3));
                tags.insert(right.pkTimes,
                            QString::fromUtf8(text, sqlite3_column_bytes(statement.handle(), 3)));
            }
        }
        take(right);
    }
    // Anything but the end of the rows is an error: never a shortened board.
    if (statement.code() != SQLITE_DONE)
        return statement.error(readFailure);
    return QSqlError();
}

bool entriesOfTimeModel(QSqlQuery &query, int pkTimes, QSet<int> &entries)
{
    return collectKeys(
        query,
        QStringLiteral("select PKdoors from doors,access where (PKdoors=FKdoors) and (FKtimes=?)"),
        {pkTimes}, entries);
}

QSqlError entriesOfTimeModel(const QString &databasePath, int pkTimes, QSet<int> &entries)
{
    entries.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(entriesOfTimeModel(query, pkTimes, entries), query);
    });
}

bool entriesOfUser(QSqlQuery &query, int pkUsers, QSet<int> &entries)
{
    return collectKeys(
        query,
        QStringLiteral("select PKdoors from doors,access where (PKdoors=FKdoors) and (FKusers=?)"),
        {pkUsers}, entries);
}

QSqlError entriesOfUser(const QString &databasePath, int pkUsers, QSet<int> &entries)
{
    entries.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(entriesOfUser(query, pkUsers, entries), query);
    });
}

bool entriesOfShortRangeIdentifier(QSqlQuery &query, const QString &iddText, QSet<int> &entries)
{
    return collectKeys(query,
                       QStringLiteral("select PKdoors from doors,users,access where "
                                      "(PKdoors=FKdoors) and (PKusers=FKusers) and "
                                      "(iddIso14443=?) and ") +
                           shortRangeFilter(),
                       {iddText}, entries);
}

bool entriesOfLongRangeIdentifier(QSqlQuery &query, const QString &iddText, QSet<int> &entries)
{
    return collectKeys(query,
                       QStringLiteral("select PKdoors from doors,users,access where "
                                      "(PKdoors=FKdoors) and (PKusers=FKusers) and "
                                      "(iddClass1Gen2=?) and ") +
                           longRangeFilter(),
                       {iddText}, entries);
}

bool setNeedsUpdate(QSqlQuery &query, const QSet<int> &entries, bool value)
{
    if (entries.isEmpty())
        return true;
    return ProjectDatabase::exec(query,
                                 QStringLiteral("update doors set needsUpdate=? where ") +
                                     entriesInDoorsFilter(entries),
                                 {value ? 1 : 0});
}

QSqlError setNeedsUpdate(const QString &databasePath, const QSet<int> &entries, bool value)
{
    if (entries.isEmpty())
        return QSqlError();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(setNeedsUpdate(query, entries, value), query);
    });
}

bool setNeedsUpdateOfEntry(QSqlQuery &query, int pkDoors, bool value)
{
    return ProjectDatabase::exec(query,
                                 QStringLiteral("update doors set needsUpdate=? where PKdoors=?"),
                                 {value ? 1 : 0, pkDoors});
}

QSqlError setNeedsUpdateOfEntry(const QString &databasePath, int pkDoors, bool value)
{
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(setNeedsUpdateOfEntry(query, pkDoors, value), query);
    });
}

bool setNeedsUpdateByTechnology(QSqlQuery &query, bool shortRange, bool longRange, bool value)
{
    if (!shortRange && !longRange)
        return true;
    QString statement = QStringLiteral("update doors set needsUpdate=?");
    if (shortRange && !longRange)
        statement += QStringLiteral(" where ") + shortRangeFilter();
    else if (longRange && !shortRange)
        statement += QStringLiteral(" where ") + longRangeFilter();
    return ProjectDatabase::exec(query, statement, {value ? 1 : 0});
}

QSqlError setNeedsUpdateByTechnology(const QString &databasePath, bool shortRange, bool longRange,
                                     bool value)
{
    if (!shortRange && !longRange)
        return QSqlError();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(setNeedsUpdateByTechnology(query, shortRange, longRange, value), query);
    });
}

bool readEntryAccess(QSqlQuery &query, int pkDoors, QList<EntryAccessRow> &rows)
{
    rows.clear();
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral("select PKaccess,modelTag,modelDefinition,familyName,firstName,"
                           "iddIso14443,iddClass1Gen2 from access,users,times where "
                           "(FKusers=PKusers) and (FKtimes=PKtimes) and (FKdoors=?)"),
            {pkDoors}))
        return false;
    while (query.next()) {
        EntryAccessRow row;
        row.pkAccess = query.value(0).toInt();
        row.modelTag = query.value(1).toString();
        row.modelDefinition = query.value(2).toString();
        row.familyName = query.value(3).toString();
        row.firstName = query.value(4).toString();
        row.iddIso14443 = query.value(5).toString();
        row.iddClass1Gen2 = query.value(6).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError readEntryAccess(const QString &databasePath, int pkDoors, QList<EntryAccessRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(readEntryAccess(query, pkDoors, rows), query);
    });
}

namespace {

bool readUpdateSource(QSqlQuery &query, int pkDoors, EntryUpdateSource &source)
{
    QList<EntryTarget> entries;
    if (!EntrySelection::entries({pkDoors}).list(query, entries))
        return false;
    source.found = !entries.isEmpty();
    if (source.found)
        source.entry = entries.first();
    // A tag that cannot be read leaves the query's error, not its default.
    source.hfIddLength = ProjectTags::hfIddLength(query);
    if (query.lastError().isValid())
        return false;
    source.uhfIddLength = ProjectTags::uhfIddLength(query);
    if (query.lastError().isValid())
        return false;
    return readEntryAccess(query, pkDoors, source.rows) &&
           HolidayRecords::listHolidays(query, source.holidays);
}

} // namespace

QSqlError
clearNeedsUpdateIfUnchanged(const QString &databasePath, int pkDoors,
                            const std::function<bool(const EntryUpdateSource &now)> &stillSent,
                            bool *cleared)
{
    *cleared = false;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    // SQLite: "immediate" takes the write lock now, so nobody writes between
    // the comparison and the clearing. The server has no such lock: the
    // entry's row is locked before the re-read instead. Every change of what
    // its tables are compiled from marks that row in its own transaction, so
    // it either committed before the lock (and the re-read sees it) or waits
    // for the lock and marks the entry again after the clearing.
    const bool server = db.isServer();
    QSqlQuery control = db.query();
    if (server ? !db.transaction() : !control.exec(QStringLiteral("begin immediate")))
        return server ? db.lastError() : control.lastError();
    QSqlError error;
    bool same = false;
    {
        QSqlQuery query = db.query();
        query.setForwardOnly(true);
        EntryUpdateSource now;
        if ((server &&
             !ProjectDatabase::exec(
                 query, QStringLiteral("select PKdoors from doors where PKdoors=? for update"),
                 {pkDoors})) ||
            !readUpdateSource(query, pkDoors, now))
            error = RecordStatement::failure(query);
        else if ((same = stillSent(now)) && !setNeedsUpdateOfEntry(query, pkDoors, false))
            error = RecordStatement::failure(query);
        query.finish();
    }
    if (error.isValid() || !same) {
        control.exec(QStringLiteral("rollback"));
        return error;
    }
    // The driver's commit tells a transaction the server rolled back.
    if (server ? !db.commit() : !control.exec(QStringLiteral("commit"))) {
        error = server ? db.lastError() : control.lastError();
        control.exec(QStringLiteral("rollback"));
        return error;
    }
    *cleared = true;
    return QSqlError();
}

QString transponderKey(const QString &iddHex)
{
    QString key = iddHex.toLower();
    int zeros = 0;
    while (zeros < key.size() && key.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return key.mid(zeros);
}

namespace {

// A row of the owner queries: names, the entry's tag, both identifiers, key, group.
ImportedTransponderRow ownerRow(const QSqlQuery &query)
{
    ImportedTransponderRow row;
    row.familyName = query.value(0).toString();
    row.firstName = query.value(1).toString();
    row.modelTag = query.value(2).toString();
    row.iddIso14443 = query.value(3).toString();
    row.iddClass1Gen2 = query.value(4).toString();
    row.pkUsers = query.value(5).toInt();
    row.groupName = query.value(6).toString();
    return row;
}

} // namespace

bool transponderOwners(QSqlQuery &query, int pkDoors, TransponderOwners &owners)
{
    owners.clear();
    if (!ProjectDatabase::exec(
            query,
            // A name given in the list is no column to the server's "order by"
            // expressions: the list is a table of its own.
            QStringLiteral("select * from (select familyName,firstName,(select modelTag from "
                           "access join times on (FKtimes=PKtimes) where (FKusers=PKusers) and "
                           "(FKdoors=?) limit 1) as tag,iddIso14443,iddClass1Gen2,PKusers,"
                           "groupName from users) owners order by (tag is null),PKusers"),
            {pkDoors}))
        return false;
    // The hex part of a stored identifier ("hex-type"; the long-range form
    // carries four characters before it).
    const auto keyOf = [](const QString &stored, int skip) {
        const int dash = stored.indexOf(QLatin1Char('-'));
        return dash > skip ? transponderKey(stored.mid(skip, dash - skip)) : QString();
    };
    while (query.next()) {
        const ImportedTransponderRow row = ownerRow(query);
        const QString hf = keyOf(row.iddIso14443, 0);
        const QString uhf = keyOf(row.iddClass1Gen2, 4);
        if (!hf.isEmpty())
            owners[hf].append(row);
        if (!uhf.isEmpty() && uhf != hf)
            owners[uhf].append(row);
    }
    return RecordStatement::rowsEnded(query);
}

QSqlError findImportedTransponder(const QString &databasePath, const QString &iddHex, int pkDoors,
                                  QList<ImportedTransponderRow> &rows)
{
    rows.clear();
    // Only hex digits go into the patterns, so no LIKE wildcard can slip in.
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]+$"));
    if (!hexDigits.match(iddHex).hasMatch())
        return QSqlError();
    // One identifier has one form at any length: compared without the zero
    // bytes in front that extending it to the project length adds. The owner
    // is named wherever their rights are; the tag is that of this entry.
    const QString key = transponderKey(iddHex);
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        // The position of a text in another has a name of its own in each dialect.
        const QString position =
            ProjectDatabase::isServer(query) ? QStringLiteral("strpos") : QStringLiteral("instr");
        if (!ProjectDatabase::exec(
                query,
                QStringLiteral(
                    "select * from (select familyName,firstName,(select modelTag from access "
                    "join times on (FKtimes=PKtimes) where (FKusers=PKusers) and (FKdoors=?) "
                    "limit 1) as tag,iddIso14443,iddClass1Gen2,PKusers,groupName from users "
                    "where ((instr(iddIso14443,'-')>1) and "
                    "(ltrim(lower(substr(iddIso14443,1,instr(iddIso14443,'-')-1)),'0')=?)) or "
                    "((instr(iddClass1Gen2,'-')>5) and "
                    "(ltrim(lower(substr(iddClass1Gen2,5,instr(iddClass1Gen2,'-')-5)),'0')=?))) "
                    "owners order by (tag is null),PKusers")
                    .replace(QLatin1String("instr"), position),
                {pkDoors, key, key}))
            return query.lastError();
        while (query.next())
            rows.append(ownerRow(query));
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
}

int countFlashDriveEntries(QSqlQuery &query, const QSet<int> &entries)
{
    if (entries.isEmpty())
        return 0;
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select count(*) from doors where ") +
                                   entriesInDoorsFilter(entries) +
                                   QStringLiteral(" and ((port & ?) != 0)"),
                               {QVariant(EntryRecords::FlashDrivePortBit)}) ||
        !query.next())
        return -1;
    const int count = query.value(0).toInt();
    query.finish();
    return count;
}

int countFlashDriveEntries(const QString &databasePath, const QSet<int> &entries)
{
    if (entries.isEmpty())
        return 0;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return -1;
    QSqlQuery query = db.query();
    return countFlashDriveEntries(query, entries);
}

QSqlError changeBlock(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
                      int timeModel, QSet<int> &changed, std::optional<QVector<AddedRight>> *added)
{
    changed.clear();
    if (added)
        *added = QVector<AddedRight>();
    if (timeModel < 0)
        return RecordStatement::refusal(tr("No such time model"));
    if (users.isEmpty() || entries.isEmpty())
        return QSqlError();
    query.setForwardOnly(true);
    if (timeModel != 0) {
        // A right on a model that does not exist would vanish from
        // every list yet stay in the table.
        QSet<int> model;
        if (!collectKeys(query, QStringLiteral("select PKtimes from times where PKtimes=?"),
                         {timeModel}, model))
            return query.lastError();
        if (model.isEmpty())
            return RecordStatement::refusal(tr("No such time model"));
    }

    if (timeModel == 0) {
        // The entries that lose a right, then the rights, each in one statement.
        if (!collectKeys(query,
                         QStringLiteral("select distinct FKdoors from access where ") +
                             usersFilter(users) + QStringLiteral(" and ") +
                             entriesInAccessFilter(entries),
                         {}, changed))
            return query.lastError();
        if (changed.isEmpty())
            return QSqlError();
        if (!deleteAccess(query, users, entries))
            return query.lastError();
        return outcome(setNeedsUpdate(query, changed, true), query);
    }

    // Only rows that exist get rights: no right may point at nothing.
    QSet<int> knownUsers;
    QSet<int> knownEntries;
    if (!collectKeys(query,
                     QStringLiteral("select PKusers from users where (PKusers in (") +
                         keyList(users) + QStringLiteral("))"),
                     {}, knownUsers) ||
        !collectKeys(query,
                     QStringLiteral("select PKdoors from doors where ") +
                         entriesInDoorsFilter(entries),
                     {}, knownEntries))
        return query.lastError();
    if (knownUsers.isEmpty() || knownEntries.isEmpty())
        return QSqlError();

    // Set-based, whatever the size of the block: first the entries
    // where some user lacks the model (they get marked), then the
    // rights that hold another model, then the missing ones.
    const QString userKeys = keyList(knownUsers);
    const QString entryKeys = keyList(knownEntries);
    if (!collectKeys(query,
                     QStringLiteral("select PKdoors from doors where (PKdoors in (") + entryKeys +
                         QStringLiteral(")) and exists (select 1 from users where "
                                        "(PKusers in (") +
                         userKeys +
                         QStringLiteral(")) and not exists (select 1 from access where "
                                        "(FKusers=PKusers) and (FKdoors=PKdoors) and "
                                        "(FKtimes=?)))"),
                     {timeModel}, changed))
        return query.lastError();
    if (changed.isEmpty())
        return QSqlError();
    // The insert names the rows it added itself (both dialects know
    // "returning"), whatever keys the database gave them.
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("update access set FKtimes=? where (FKusers in (") +
                                   userKeys + QStringLiteral(")) and (FKdoors in (") + entryKeys +
                                   QStringLiteral(")) and (FKtimes is distinct from ?)"),
                               {timeModel, timeModel}) ||
        !ProjectDatabase::exec(
            query,
            QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) select "
                           "PKusers,PKdoors,? from users,doors where (PKusers in (") +
                userKeys + QStringLiteral(")) and (PKdoors in (") + entryKeys +
                QStringLiteral(")) and not exists (select 1 from access where "
                               "(FKusers=PKusers) and (FKdoors=PKdoors)) returning "
                               "PKaccess,FKusers,FKdoors"),
            {timeModel}))
        return query.lastError();
    QVector<AddedRight> rows;
    while (query.next()) {
        if (added)
            rows.append(
                {query.value(0).toLongLong(), query.value(1).toInt(), query.value(2).toInt()});
    }
    if (!RecordStatement::rowsEnded(query))
        return query.lastError();
    query.finish();
    if (added)
        *added = std::move(rows);
    return outcome(setNeedsUpdate(query, changed, true), query);
}

QSqlError changeBoardCell(const QString &databasePath, const QSet<int> &users,
                          const QSet<int> &entries, int timeModel, QSet<int> *changedEntries)
{
    if (changedEntries)
        changedEntries->clear();
    QSet<int> changed;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        RightsAudit audit;
        QSqlError failed = audit.readBefore(query, users, entries);
        if (!failed.isValid())
            failed = changeBlock(query, users, entries, timeModel, changed);
        if (!failed.isValid())
            failed = audit.recordBlock(
                query, timeModel, timeModel ? AuditTrail::Action::Set : AuditTrail::Action::Remove,
                0, nullptr);
        return failed;
    });
    if (!error.isValid() && changedEntries)
        *changedEntries = changed;
    return error;
}

bool widenShortRangeIdentifiers(QSqlQuery &query, int newLength, int *widenedCount)
{
    QList<UserRow> users;
    if (!UserRecords::listUsers(query, UserRecords::SortByName, true, users))
        return false;
    int widenedUsers = 0;
    for (const UserRow &user : qAsConst(users)) {
        if (user.iddIso14443.isEmpty())
            continue;
        TransponderIdd idd = TransponderIdd::fromStored(user.iddIso14443);
        // A text that does not read would come back empty: keep it as it is.
        if (idd.isEmpty())
            continue;
        idd.extendTo(newLength);
        const QString widened = idd.toStored();
        if (widened == user.iddIso14443)
            continue;
        if (!UserRecords::setShortRangeIdentifier(query, user.pkUsers, widened))
            return false;
        ++widenedUsers;
    }
    if (widenedCount)
        *widenedCount = widenedUsers;
    // The length goes with the identifiers, so they never disagree.
    return ProjectTags::setHfIddLength(query, newLength) &&
           setNeedsUpdateByTechnology(query, true, false, true);
}

QSqlError widenShortRangeIdentifiers(const QString &databasePath, int newLength)
{
    if (newLength <= 0)
        return RecordStatement::refusal(tr("Invalid identifier length"));
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        // Alone, not as part of saving the settings: its own record.
        const int before = ProjectTags::hfIddLength(query);
        int widened = 0;
        if (!widenShortRangeIdentifiers(query, newLength, &widened))
            return RecordStatement::failure(query);
        if (before == newLength)
            return QSqlError();
        AuditRecord record;
        record.action = AuditTrail::Action::Change;
        record.objectKind = AuditTrail::Kind::Settings;
        record.objectName = QFileInfo(databasePath).completeBaseName();
        record.valuesBefore = AuditTrail::json({{QStringLiteral("hfLength"), before}});
        record.valuesAfter = AuditTrail::json(
            {{QStringLiteral("hfLength"), newLength}, {QStringLiteral("widened"), widened}});
        return outcome(AuditTrail::record(query, record), query);
    });
}

} // namespace AccessRights

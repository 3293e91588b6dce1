#include "db/userrecords.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/boardrename.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QVariant>

using RecordStatement::identifierOrNull;
using RecordStatement::outcome;
using RecordStatement::text;

namespace UserRecords {

namespace {

const QString kListUsers = QStringLiteral(
    "select PKusers,familyName,firstName,groupName,commentUser,iddIso14443,commentIso14443,"
    "iddClass1Gen2,commentClass1Gen2 from users order by ");

UserRow readUser(const QSqlQuery &query)
{
    UserRow row;
    row.pkUsers = query.value(0).toInt();
    row.familyName = query.value(1).toString();
    row.firstName = query.value(2).toString();
    row.groupName = query.value(3).toString();
    row.commentUser = query.value(4).toString();
    row.iddIso14443 = query.value(5).toString();
    row.commentIso14443 = query.value(6).toString();
    row.iddClass1Gen2 = query.value(7).toString();
    row.commentClass1Gen2 = query.value(8).toString();
    return row;
}

// The stored user of the key (found false when there is none).
bool readUser(QSqlQuery &query, int pkUsers, UserRow &user, bool &found)
{
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select PKusers,familyName,firstName,groupName,"
                                              "commentUser,iddIso14443,commentIso14443,"
                                              "iddClass1Gen2,commentClass1Gen2 from users where "
                                              "PKusers=?"),
                               {pkUsers}) ||
        !RecordStatement::fetchOne(query, found))
        return false;
    if (found)
        user = readUser(query);
    query.finish();
    return true;
}

// The audit record of one user added (no before), changed or removed (no
// after); a change that changes nothing is not recorded.
bool recordUser(QSqlQuery &query, const QString &action, const UserRow *before,
                const UserRow *after, const QJsonObject &removed = QJsonObject(),
                const QStringList &entries = QStringList())
{
    AuditRecord record;
    record.action = action;
    record.objectKind = AuditTrail::Kind::User;
    for (const UserRow *user : {after, before}) {
        const QString name =
            user ? AuditTrail::userName(user->familyName, user->firstName) : QString();
        if (user && !record.users.contains(name))
            record.users << name;
    }
    record.objectName = record.users.first();
    record.entries = entries;
    return AuditTrail::recordObject(query, record, before ? auditValues(*before) : QJsonObject(),
                                    after ? auditValues(*after) : QJsonObject(), removed);
}

// The entries where the user has a right, by name.
bool entryNamesOfUser(QSqlQuery &query, int pkUsers, QStringList &names)
{
    names.clear();
    return AuditTrail::readNames(query,
                                 QStringLiteral("select areaName,doorName from doors where PKdoors "
                                                "in (select FKdoors from access where FKusers=?) "
                                                "order by areaName,doorName"),
                                 {pkUsers}, AuditTrail::Names::Entries, names);
}

} // namespace

QJsonObject auditValues(const UserRow &user)
{
    QJsonObject values;
    const auto put = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            values.insert(QLatin1String(key), value);
    };
    // An identifier without identifier bytes is stored as none.
    const auto identifier = [](const QString &idd) {
        return idd.startsWith(QLatin1Char('-')) ? QString() : idd;
    };
    put("lastName", user.familyName);
    put("firstName", user.firstName);
    put("group", user.groupName);
    put("comment", user.commentUser);
    put("shortRange", identifier(user.iddIso14443));
    put("shortRangeComment", user.commentIso14443);
    put("longRange", identifier(user.iddClass1Gen2));
    put("longRangeComment", user.commentClass1Gen2);
    return values;
}

QString sortClause(int sortKey, bool ascending)
{
    const auto by = [ascending](std::initializer_list<QString> columns) {
        return RecordStatement::orderBy(columns, ascending);
    };
    switch (sortKey) {
    case SortByGroup:
        return by({QStringLiteral("groupName"), QStringLiteral("familyName"),
                   QStringLiteral("firstName")});
    case SortByComment:
        return by({QStringLiteral("commentUser")});
    case SortByShortRangeIdd:
        return by({QStringLiteral("iddIso14443")});
    case SortByShortRangeComment:
        return by({QStringLiteral("commentIso14443")});
    case SortByLongRangeIdd:
        return by({QStringLiteral("iddClass1Gen2")});
    case SortByLongRangeComment:
        return by({QStringLiteral("commentClass1Gen2")});
    default:
        return by({QStringLiteral("familyName"), QStringLiteral("firstName")});
    }
}

bool listUsers(QSqlQuery &query, int sortKey, bool ascending, QList<UserRow> &rows)
{
    rows.clear();
    if (!query.exec(kListUsers + sortClause(sortKey, ascending)))
        return false;
    while (query.next())
        rows.append(readUser(query));
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listUsers(const QString &databasePath, int sortKey, bool ascending, QList<UserRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(listUsers(query, sortKey, ascending, rows), query);
    });
}

bool listUsersForBoard(QSqlQuery &query, QList<UserRow> &rows)
{
    rows.clear();
    if (!query.exec(QStringLiteral("select PKusers,familyName,firstName,groupName from users "
                                   "order by groupName,familyName,firstName")))
        return false;
    while (query.next()) {
        UserRow row;
        row.pkUsers = query.value(0).toInt();
        row.familyName = query.value(1).toString();
        row.firstName = query.value(2).toString();
        row.groupName = query.value(3).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listUsersForBoard(const QString &databasePath, QList<UserRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(listUsersForBoard(query, rows), query);
    });
}

bool usersOfGroup(QSqlQuery &query, const QString &groupName, QSet<int> &keys)
{
    keys.clear();
    if (!ProjectDatabase::exec(query, QStringLiteral("select PKusers from users where groupName=?"),
                               {groupName}))
        return false;
    while (query.next())
        keys.insert(query.value(0).toInt());
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError usersOfGroup(const QString &databasePath, const QString &groupName, QSet<int> &keys)
{
    keys.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(usersOfGroup(query, groupName, keys), query);
    });
}

QStringList distinctGroups(const QString &databasePath)
{
    QStringList groups;
    const QSqlError error = RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!query.exec(QStringLiteral("select distinct groupName from users")))
            return query.lastError();
        while (query.next())
            groups.append(query.value(0).toString());
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
    if (error.isValid())
        groups.clear();
    return groups;
}

int countUsers(QSqlQuery &query)
{
    if (!query.exec(QStringLiteral("select count(*) from users")) || !query.next())
        return -1;
    const int count = query.value(0).toInt();
    query.finish();
    return count;
}

bool addUser(QSqlQuery &query, const UserRow &user, int *newKey)
{
    if (!RecordStatement::insertReturningKey(
            query,
            QStringLiteral("insert into users (familyName,firstName,groupName,commentUser,"
                           "iddIso14443,commentIso14443,iddClass1Gen2,commentClass1Gen2) "
                           "values (?,?,?,?,?,?,?,?) returning PKusers"),
            {text(user.familyName), text(user.firstName), text(user.groupName),
             text(user.commentUser), identifierOrNull(user.iddIso14443), text(user.commentIso14443),
             identifierOrNull(user.iddClass1Gen2), text(user.commentClass1Gen2)},
            newKey))
        return false;
    return !AuditTrail::isRecording() || recordUser(query, AuditTrail::Action::Add, nullptr, &user);
}

QSqlError addUser(const QString &databasePath, const UserRow &user, int *newKey)
{
    const QSqlError refused =
        RecordStatement::refuseControlCharacters({user.familyName, user.firstName, user.groupName});
    if (refused.isValid())
        return refused;
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(addUser(query, user, newKey), query);
    });
}

bool editUser(QSqlQuery &query, const UserRow &user)
{
    UserRow before;
    bool found = false;
    const bool recording = AuditTrail::isRecording();
    if (recording && !readUser(query, user.pkUsers, before, found))
        return false;
    return ProjectDatabase::exec(
               query,
               QStringLiteral("update users set familyName=?,firstName=?,groupName=?,"
                              "commentUser=?,iddIso14443=?,commentIso14443=?,iddClass1Gen2=?,"
                              "commentClass1Gen2=? where PKusers=?"),
               {text(user.familyName), text(user.firstName), text(user.groupName),
                text(user.commentUser), identifierOrNull(user.iddIso14443),
                text(user.commentIso14443), identifierOrNull(user.iddClass1Gen2),
                text(user.commentClass1Gen2), user.pkUsers}) &&
           (!found || recordUser(query, AuditTrail::Action::Change, &before, &user));
}

bool editUser(QSqlQuery &query, const UserRow &user, QSet<int> &marked)
{
    if (!ProjectDatabase::exec(
            query, QStringLiteral("select iddIso14443,iddClass1Gen2 from users where PKusers=?"),
            {user.pkUsers}))
        return false;
    bool exists = false;
    if (!RecordStatement::fetchOne(query, exists))
        return false;
    const QString oldShort = exists ? query.value(0).toString() : QString();
    const QString oldLong = exists ? query.value(1).toString() : QString();
    query.finish();
    // The rights hang on the user, so the entries are the same whether
    // found through the old or the new identifier; an identifier that was
    // empty can only be found after the update.
    QSet<int> found;
    if (oldShort != user.iddIso14443 && !oldShort.isEmpty()) {
        if (!AccessRights::entriesOfShortRangeIdentifier(query, oldShort, found))
            return false;
        marked += found;
    }
    if (oldLong != user.iddClass1Gen2 && !oldLong.isEmpty()) {
        if (!AccessRights::entriesOfLongRangeIdentifier(query, oldLong, found))
            return false;
        marked += found;
    }
    if (!editUser(query, user))
        return false;
    if (oldShort != user.iddIso14443 && oldShort.isEmpty() && !user.iddIso14443.isEmpty()) {
        if (!AccessRights::entriesOfShortRangeIdentifier(query, user.iddIso14443, found))
            return false;
        marked += found;
    }
    if (oldLong != user.iddClass1Gen2 && oldLong.isEmpty() && !user.iddClass1Gen2.isEmpty()) {
        if (!AccessRights::entriesOfLongRangeIdentifier(query, user.iddClass1Gen2, found))
            return false;
        marked += found;
    }
    return AccessRights::setNeedsUpdate(query, marked, true);
}

QSqlError editUser(const QString &databasePath, const UserRow &user, QSet<int> *markedEntries)
{
    const QSqlError refused =
        RecordStatement::refuseControlCharacters({user.familyName, user.firstName, user.groupName});
    if (refused.isValid())
        return refused;
    if (markedEntries)
        markedEntries->clear();
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return RecordStatement::outcome(editUser(query, user, marked), query);
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

bool setShortRangeIdentifier(QSqlQuery &query, int pkUsers, const QString &iddText)
{
    return ProjectDatabase::exec(query,
                                 QStringLiteral("update users set iddIso14443=? where PKusers=?"),
                                 {identifierOrNull(iddText), pkUsers});
}

QSqlError renameGroup(const QString &databasePath, const QString &newName, const QString &oldName)
{
    BoardRename done;
    return BoardRename::rename(databasePath, BoardRename::Group, oldName, newName, done);
}

bool removeUser(QSqlQuery &query, int pkUsers)
{
    return RecordStatement::runInSavepoint(query, "remove_user", [&](QSqlQuery &q) {
        UserRow before;
        bool found = false;
        QStringList entries;
        if (AuditTrail::isRecording() &&
            (!readUser(q, pkUsers, before, found) || !entryNamesOfUser(q, pkUsers, entries)))
            return false;
        if (!ProjectDatabase::exec(q, QStringLiteral("delete from access where FKusers=?"),
                                   {pkUsers}))
            return false;
        const int rights = q.numRowsAffected();
        return ProjectDatabase::exec(q, QStringLiteral("delete from users where PKusers=?"),
                                     {pkUsers}) &&
               (!found || recordUser(q, AuditTrail::Action::Remove, &before, nullptr,
                                     {{QStringLiteral("rights"), rights}}, entries));
    });
}

bool removeUser(QSqlQuery &query, int pkUsers, QSet<int> &marked)
{
    QSet<int> entries;
    if (!AccessRights::entriesOfUser(query, pkUsers, entries) ||
        !AccessRights::setNeedsUpdate(query, entries, true) || !removeUser(query, pkUsers))
        return false;
    marked += entries;
    return true;
}

QSqlError removeUser(const QString &databasePath, int pkUsers, QSet<int> *markedEntries)
{
    if (markedEntries)
        markedEntries->clear();
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return RecordStatement::outcome(removeUser(query, pkUsers, marked), query);
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

RecordProblem problem(const UserRow &user)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("UserRecords", text);
    };
    const struct
    {
        int field;
        const QString &value;
        const char *missing;
    } names[] = {
        {FamilyNameField, user.familyName,
         QT_TRANSLATE_NOOP("UserRecords", "No family name given")},
        {FirstNameField, user.firstName, QT_TRANSLATE_NOOP("UserRecords", "No first name given")},
        {GroupField, user.groupName, QT_TRANSLATE_NOOP("UserRecords", "No group name given")}};
    for (const auto &name : names) {
        if (name.value.trimmed().isEmpty())
            return {name.field, tr(name.missing), true};
        const QSqlError control = RecordStatement::refuseControlCharacters({name.value});
        if (control.isValid())
            return {name.field, control.databaseText(), false};
    }
    return {};
}

QStringList conflicts(const QString &databasePath, const UserRow &user)
{
    QStringList lines;
    RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        const auto holder = [&](const char *column, const QString &value) {
            if (value.isEmpty())
                return QString();
            if (!ProjectDatabase::exec(query,
                                       QStringLiteral("select familyName,firstName from users "
                                                      "where ") +
                                           QLatin1String(column) +
                                           QStringLiteral("=? and PKusers<>?"),
                                       {value, user.pkUsers}) ||
                !query.next())
                return QString();
            const QString name =
                QStringLiteral("%1, %2").arg(query.value(0).toString(), query.value(1).toString());
            query.finish();
            return name;
        };
        if (ProjectDatabase::exec(query,
                                  QStringLiteral("select count(*) from users where familyName=? "
                                                 "and firstName=? and PKusers<>?"),
                                  {user.familyName, user.firstName, user.pkUsers}) &&
            query.next() && query.value(0).toInt() > 0)
            lines << QCoreApplication::translate("UserRecords",
                                                 "A user named '%1, %2' already exists.")
                         .arg(user.familyName, user.firstName);
        query.finish();
        const QString hfHolder = holder("iddIso14443", user.iddIso14443);
        if (!hfHolder.isEmpty())
            lines << QCoreApplication::translate(
                         "UserRecords", "The short range transponder %1 already belongs to '%2'.")
                         .arg(TransponderIdd::fromStored(user.iddIso14443).toDisplay(), hfHolder);
        const QString uhfHolder = holder("iddClass1Gen2", user.iddClass1Gen2);
        if (!uhfHolder.isEmpty())
            lines << QCoreApplication::translate(
                         "UserRecords", "The long range transponder %1 already belongs to '%2'.")
                         .arg(TransponderIdd::fromStored(user.iddClass1Gen2).toDisplay(),
                              uhfHolder);
        return QSqlError();
    });
    return lines;
}

UserRow importedUser(int number, const TransponderIdd &idd, bool longRange)
{
    UserRow row;
    row.familyName = QStringLiteral("Import%1").arg(number);
    row.firstName = row.familyName;
    row.groupName = QCoreApplication::translate("UserRecords", "Import Transponder");
    TransponderIdd typed = idd;
    if (typed.type() == TransponderIdd::Empty)
        typed = TransponderIdd(
            idd.bytes(), longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A,
            idd.serialNumber());
    if (longRange)
        row.iddClass1Gen2 = typed.toStored();
    else
        row.iddIso14443 = typed.toStored();
    return row;
}

QSqlError addImportedUser(const QString &databasePath, const TransponderIdd &idd, bool longRange,
                          int *newKey)
{
    if (idd.bytes().isEmpty())
        return RecordStatement::refusal(
            QCoreApplication::translate("UserRecords", "The transponder identifier is empty"));
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        int number = countUsers(query);
        if (number < 0)
            return query.lastError();
        // After a removal the count may name an import that still exists.
        for (++number;; ++number) {
            const QString name = QStringLiteral("Import%1").arg(number);
            if (!ProjectDatabase::exec(
                    query,
                    QStringLiteral("select count(*) from users where familyName=? and firstName=?"),
                    {name, name}) ||
                !query.next())
                return RecordStatement::failure(query);
            const bool taken = query.value(0).toInt() > 0;
            query.finish();
            if (!taken)
                break;
        }
        return outcome(addUser(query, importedUser(number, idd, longRange), newKey), query);
    });
}

} // namespace UserRecords

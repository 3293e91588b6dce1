#include "userlist/userlistsync.h"

#include "db/audittrail.h"
#include "db/recordstatement.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QPair>

namespace {

using Listed = QList<MyImportUsers::LineUser>;
using NameKey = QPair<QString, QString>;

// The fields a list may bring beside the names, in list order.
struct Column
{
    MyImportUsers::Field field;
    const char *name;
    QString UserRow::*member;
    bool identifier;
};
const Column Columns[] = {
    {MyImportUsers::UserGroup, QT_TRANSLATE_NOOP("UserListSync", "group"), &UserRow::groupName,
     false},
    {MyImportUsers::UserComment, QT_TRANSLATE_NOOP("UserListSync", "comment"),
     &UserRow::commentUser, false},
    {MyImportUsers::ShortRangeIdd, QT_TRANSLATE_NOOP("UserListSync", "short range identifier"),
     &UserRow::iddIso14443, true},
    {MyImportUsers::ShortRangeComment, QT_TRANSLATE_NOOP("UserListSync", "short range comment"),
     &UserRow::commentIso14443, false},
    {MyImportUsers::LongRangeIdd, QT_TRANSLATE_NOOP("UserListSync", "long range identifier"),
     &UserRow::iddClass1Gen2, true},
    {MyImportUsers::LongRangeComment, QT_TRANSLATE_NOOP("UserListSync", "long range comment"),
     &UserRow::commentClass1Gen2, false},
};

// Identifiers are the same when their digits are: the list carries no type,
// so an ISO 15693 tag read in the window keeps its stored form.
bool sameIdentifier(const QString &stored, const QString &listed)
{
    if (stored.isEmpty() || listed.isEmpty())
        return stored.isEmpty() && listed.isEmpty();
    return stored == listed ||
           TransponderIdd::fromStored(stored).toHex() == TransponderIdd::fromStored(listed).toHex();
}

// A name or identifier listed twice would leave it to the order of the lines
// which one counts.
QSqlError refuseTwice(const Listed &listed)
{
    QHash<NameKey, int> names;
    QHash<QString, int> identifiers;
    for (const MyImportUsers::LineUser &line : listed) {
        const UserRow &user = line.user;
        const NameKey key(user.familyName, user.firstName);
        if (names.contains(key))
            return RecordStatement::refusal(
                UserListSync::tr("Line %1: %2 is listed on line %3 already.")
                    .arg(line.line)
                    .arg(UserListSync::nameOf(user))
                    .arg(names.value(key)));
        names.insert(key, line.line);
        for (const QString &stored : {user.iddIso14443, user.iddClass1Gen2}) {
            if (stored.isEmpty())
                continue;
            const QString hex = TransponderIdd::fromStored(stored).toHex();
            if (identifiers.contains(hex))
                return RecordStatement::refusal(
                    UserListSync::tr("Line %1: the identifier %2 is listed on line %3 already.")
                        .arg(line.line)
                        .arg(hex)
                        .arg(identifiers.value(hex)));
            identifiers.insert(hex, line.line);
        }
    }
    return QSqlError();
}

QSqlError planOn(QSqlQuery &query, const Listed &listed, bool removeMissing,
                 QList<UserListSync::Step> &steps)
{
    steps.clear();
    const QSqlError twice = refuseTwice(listed);
    if (twice.isValid())
        return twice;
    QList<UserRow> users;
    if (!UserRecords::listUsers(query, UserRecords::SortByName, true, users))
        return RecordStatement::failure(query);
    QHash<NameKey, UserRow> byName;
    for (const UserRow &user : qAsConst(users))
        byName.insert(NameKey(user.familyName, user.firstName), user);
    QSet<int> named;
    for (const MyImportUsers::LineUser &line : listed) {
        const NameKey key(line.user.familyName, line.user.firstName);
        UserListSync::Step step;
        step.line = line.line;
        if (!byName.contains(key)) {
            step.kind = UserListSync::Add;
            step.user = line.user;
            if (!line.hasColumn[MyImportUsers::UserGroup])
                step.user.groupName =
                    QCoreApplication::translate("MyImportUsers", "Import User List");
            steps << step;
            continue;
        }
        step.kind = UserListSync::Change;
        step.user = step.before = byName.value(key);
        named.insert(step.user.pkUsers);
        for (const Column &column : Columns) {
            QString &now = step.user.*column.member;
            const QString &wanted = line.user.*column.member;
            if (!line.hasColumn[column.field] ||
                (column.identifier ? sameIdentifier(now, wanted) : now == wanted))
                continue;
            now = wanted;
            step.fields << UserListSync::tr(column.name);
        }
        if (!step.fields.isEmpty())
            steps << step;
    }
    if (removeMissing) {
        for (const UserRow &user : qAsConst(users)) {
            if (named.contains(user.pkUsers))
                continue;
            UserListSync::Step step;
            step.kind = UserListSync::Remove;
            step.user = user;
            steps << step;
        }
    }
    return QSqlError();
}

} // namespace

QString UserListSync::nameOf(const UserRow &user)
{
    return QStringLiteral("%1, %2").arg(user.familyName, user.firstName);
}

QSqlError UserListSync::plan(const QString &databasePath, const Listed &listed, bool removeMissing,
                             QList<Step> &steps)
{
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return planOn(query, listed, removeMissing, steps);
    });
}

AuditRecord UserListSync::auditRecord(const QList<Step> &steps, const QString &listFile)
{
    QJsonObject before;
    QJsonObject after;
    int counts[3] = {0, 0, 0};
    AuditRecord record;
    for (const Step &step : steps) {
        ++counts[step.kind];
        const QString name = AuditTrail::userName(step.user.familyName, step.user.firstName);
        record.users << name;
        QJsonObject was =
            step.kind == Add
                ? QJsonObject()
                : UserRecords::auditValues(step.kind == Remove ? step.user : step.before);
        QJsonObject is = step.kind == Remove ? QJsonObject() : UserRecords::auditValues(step.user);
        if (step.kind == Change)
            AuditTrail::keepDifferences(was, is);
        if (!was.isEmpty())
            before.insert(name, was);
        if (!is.isEmpty())
            after.insert(name, is);
    }
    record.users.sort();
    const QFileInfo file(listFile);
    record.action = AuditTrail::Action::Sync;
    record.objectKind = AuditTrail::Kind::UserList;
    record.objectName = file.fileName();
    record.valuesBefore = AuditTrail::json(
        before.isEmpty() ? QJsonObject() : QJsonObject{{QStringLiteral("users"), before}});
    record.valuesAfter = AuditTrail::json({{QStringLiteral("file"), file.absoluteFilePath()},
                                           {QStringLiteral("added"), counts[Add]},
                                           {QStringLiteral("changed"), counts[Change]},
                                           {QStringLiteral("removed"), counts[Remove]},
                                           {QStringLiteral("users"), after}});
    return record;
}

QSqlError UserListSync::apply(const QString &databasePath, const Listed &listed, bool removeMissing,
                              QList<Step> &steps, QSet<int> *markedEntries, const QString &listFile)
{
    QSet<int> marked;
    const Step *failed = nullptr;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        const QSqlError planned = planOn(query, listed, removeMissing, steps);
        if (planned.isValid())
            return planned;
        // One audit record tells the whole list.
        AuditTrail::Batch batch;
        const auto fail = [&](const Step &step) {
            failed = &step;
            return RecordStatement::failure(query);
        };
        // Leavers go first, and changed users let go of their identifiers
        // before anyone takes them up: a card handed on within the list never
        // meets itself.
        for (const Step &step : qAsConst(steps)) {
            if (step.kind == Remove && !UserRecords::removeUser(query, step.user.pkUsers, marked))
                return fail(step);
        }
        for (const Step &step : qAsConst(steps)) {
            if (step.kind != Change)
                continue;
            UserRow released = step.before;
            if (released.iddIso14443 != step.user.iddIso14443)
                released.iddIso14443.clear();
            if (released.iddClass1Gen2 != step.user.iddClass1Gen2)
                released.iddClass1Gen2.clear();
            if (released.iddIso14443 == step.before.iddIso14443 &&
                released.iddClass1Gen2 == step.before.iddClass1Gen2)
                continue;
            if (!UserRecords::editUser(query, released, marked))
                return fail(step);
        }
        for (const Step &step : qAsConst(steps)) {
            if ((step.kind == Change && !UserRecords::editUser(query, step.user, marked)) ||
                (step.kind == Add && !UserRecords::addUser(query, step.user)))
                return fail(step);
        }
        if (!steps.isEmpty() && !batch.record(query, auditRecord(steps, listFile)))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid()) {
        if (markedEntries)
            *markedEntries = marked;
        return error;
    }
    // The transaction's error carries SQLite's code on both kinds.
    if (!failed || !RecordStatement::isConstraint(error, false))
        return error;
    // Rolled back: say which line collides with whom.
    const QStringList conflicts = UserRecords::conflicts(databasePath, failed->user);
    return RecordStatement::refusal(
        tr("Line %1 (%2): %3")
            .arg(failed->line)
            .arg(nameOf(failed->user),
                 conflicts.isEmpty() ? error.databaseText() : conflicts.join(QStringLiteral(" "))));
}

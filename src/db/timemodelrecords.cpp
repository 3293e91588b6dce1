#include "db/timemodelrecords.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QVariant>

using RecordStatement::outcome;
using RecordStatement::text;

namespace TimeModelRecords {

namespace {

// The model every project has stays as it was made.
QSqlError alwaysRefusal()
{
    return RecordStatement::refusal(QCoreApplication::translate(
        "TimeModelRecords", "The time model *** (always) cannot be changed or removed."));
}

// The stored model of the key (found false when there is none).
bool readModel(QSqlQuery &query, int pkTimes, TimeModelRow &model, bool &found)
{
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral("select PKtimes,modelTag,modelName,modelDefinition from times where "
                           "PKtimes=?"),
            {pkTimes}) ||
        !RecordStatement::fetchOne(query, found))
        return false;
    if (found)
        model = {query.value(0).toInt(), query.value(1).toString(), query.value(2).toString(),
                 query.value(3).toString()};
    query.finish();
    return true;
}

QJsonObject auditValues(const TimeModelRow &model)
{
    return {{QStringLiteral("tag"), model.modelTag},
            {QStringLiteral("name"), model.modelName},
            {QStringLiteral("definition"), model.modelDefinition}};
}

// The names of the users and entries with a right on the model.
bool namesOfRights(QSqlQuery &query, int pkTimes, QStringList &users, QStringList &entries)
{
    users.clear();
    entries.clear();
    return AuditTrail::readNames(query,
                                 QStringLiteral("select distinct familyName,firstName from users,"
                                                "access where FKusers=PKusers and FKtimes=? order "
                                                "by familyName,firstName"),
                                 {pkTimes}, AuditTrail::Names::Users, users) &&
           AuditTrail::readNames(query,
                                 QStringLiteral("select distinct areaName,doorName from doors,"
                                                "access where FKdoors=PKdoors and FKtimes=? order "
                                                "by areaName,doorName"),
                                 {pkTimes}, AuditTrail::Names::Entries, entries);
}

// The audit record of one model added (no before), changed or removed (no after).
bool recordModel(QSqlQuery &query, const QString &action, const TimeModelRow *before,
                 const TimeModelRow *after, int rights = 0,
                 const QStringList &users = QStringList(),
                 const QStringList &entries = QStringList())
{
    AuditRecord record;
    record.action = action;
    record.objectKind = AuditTrail::Kind::TimeModel;
    record.objectName = (after ? after : before)->modelTag;
    record.users = users;
    record.entries = entries;
    return AuditTrail::recordObject(
        query, record, before ? auditValues(*before) : QJsonObject(),
        after ? auditValues(*after) : QJsonObject(),
        before && !after ? QJsonObject{{QStringLiteral("rights"), rights}} : QJsonObject());
}

} // namespace

QString shownName(const TimeModelRow &model)
{
    return model.modelTag == AlwaysTag ? QCoreApplication::translate("ProjectSchema", "Always")
                                       : model.modelName;
}

QString sortClause(int sortKey)
{
    return sortKey == SortByName ? QStringLiteral("modelName") : QStringLiteral("modelTag");
}

bool listTimeModels(QSqlQuery &query, int sortKey, QList<TimeModelRow> &rows)
{
    rows.clear();
    if (!query.exec(QStringLiteral("select PKtimes,modelTag,modelName,modelDefinition from times "
                                   "order by ") +
                    sortClause(sortKey)))
        return false;
    while (query.next()) {
        TimeModelRow row;
        row.pkTimes = query.value(0).toInt();
        row.modelTag = query.value(1).toString();
        row.modelName = query.value(2).toString();
        row.modelDefinition = query.value(3).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listTimeModels(const QString &databasePath, int sortKey, QList<TimeModelRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(listTimeModels(query, sortKey, rows), query);
    });
}

bool listTags(QSqlQuery &query, QList<TimeModelRow> &rows)
{
    rows.clear();
    if (!query.exec(
            QStringLiteral("select PKtimes,modelTag,modelName from times order by modelTag")))
        return false;
    while (query.next()) {
        TimeModelRow row;
        row.pkTimes = query.value(0).toInt();
        row.modelTag = query.value(1).toString();
        row.modelName = query.value(2).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listTags(const QString &databasePath, QList<TimeModelRow> &rows)
{
    rows.clear();
    return RecordStatement::run(
        databasePath, [&](QSqlQuery &query) { return outcome(listTags(query, rows), query); });
}

int findByTag(QSqlQuery &query, const QString &modelTag)
{
    if (!ProjectDatabase::exec(query, QStringLiteral("select PKtimes from times where modelTag=?"),
                               {modelTag}))
        return -1;
    bool found = false;
    if (!RecordStatement::fetchOne(query, found))
        return -1;
    const int key = found ? query.value(0).toInt() : 0;
    query.finish();
    return key;
}

int countTimeModels(QSqlQuery &query)
{
    if (!query.exec(QStringLiteral("select count(*) from times")) || !query.next())
        return -1;
    const int count = query.value(0).toInt();
    query.finish();
    return count;
}

RecordProblem problem(const TimeModelRow &model)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("TimeModelRecords", text);
    };
    if (model.modelTag.isEmpty())
        return {TagField, tr("No model tag given"), true};
    if (model.modelTag == AlwaysTag || model.modelTag.contains(QLatin1Char('#')) ||
        model.modelTag.size() > MaxTagLength ||
        RecordStatement::hasControlCharacter(model.modelTag))
        return {TagField, tr("Illegal model tag"), false};
    if (model.modelName.isEmpty())
        return {NameField, tr("No model name given"), true};
    const QSqlError control = RecordStatement::refuseControlCharacters({model.modelName});
    if (control.isValid())
        return {NameField, control.databaseText(), false};
    return {};
}

bool addTimeModel(QSqlQuery &query, const TimeModelRow &model, int *newKey)
{
    if (!RecordStatement::insertReturningKey(
            query,
            QStringLiteral("insert into times (modelTag,modelName,modelDefinition) values (?,?,?) "
                           "returning PKtimes"),
            {text(model.modelTag), text(model.modelName), text(model.modelDefinition)}, newKey))
        return false;
    return !AuditTrail::isRecording() ||
           recordModel(query, AuditTrail::Action::Add, nullptr, &model);
}

QSqlError addTimeModel(const QString &databasePath, const TimeModelRow &model, int *newKey)
{
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(addTimeModel(query, model, newKey), query);
    });
}

bool editTimeModel(QSqlQuery &query, const TimeModelRow &model)
{
    TimeModelRow before;
    bool found = false;
    if (AuditTrail::isRecording() && !readModel(query, model.pkTimes, before, found))
        return false;
    return ProjectDatabase::exec(query,
                                 QStringLiteral("update times set modelTag=?,modelName=?,"
                                                "modelDefinition=? where PKtimes=?"),
                                 {text(model.modelTag), text(model.modelName),
                                  text(model.modelDefinition), model.pkTimes}) &&
           (!found || recordModel(query, AuditTrail::Action::Change, &before, &model));
}

QSqlError editTimeModel(const QString &databasePath, const TimeModelRow &model,
                        QSet<int> *markedEntries)
{
    if (markedEntries)
        markedEntries->clear();
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(
                query, QStringLiteral("select modelDefinition,modelTag from times where PKtimes=?"),
                {model.pkTimes}))
            return query.lastError();
        bool found = false;
        if (!RecordStatement::fetchOne(query, found))
            return query.lastError();
        const bool definitionChanged = found && query.value(0).toString() != model.modelDefinition;
        const bool always = found && query.value(1).toString() == AlwaysTag;
        query.finish();
        if (always)
            return alwaysRefusal();
        if (!editTimeModel(query, model))
            return query.lastError();
        if (definitionChanged && (!AccessRights::entriesOfTimeModel(query, model.pkTimes, marked) ||
                                  !AccessRights::setNeedsUpdate(query, marked, true)))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

bool removeTimeModel(QSqlQuery &query, int pkTimes)
{
    return RecordStatement::runInSavepoint(query, "remove_times", [&](QSqlQuery &q) {
        TimeModelRow before;
        bool found = false;
        QStringList users;
        QStringList entries;
        if (AuditTrail::isRecording() &&
            (!readModel(q, pkTimes, before, found) || !namesOfRights(q, pkTimes, users, entries)))
            return false;
        if (!ProjectDatabase::exec(q, QStringLiteral("delete from access where FKtimes=?"),
                                   {pkTimes}))
            return false;
        const int rights = q.numRowsAffected();
        return ProjectDatabase::exec(q, QStringLiteral("delete from times where PKtimes=?"),
                                     {pkTimes}) &&
               (!found || recordModel(q, AuditTrail::Action::Remove, &before, nullptr, rights,
                                      users, entries));
    });
}

QSqlError removeTimeModel(const QString &databasePath, int pkTimes, QSet<int> *markedEntries)
{
    if (markedEntries)
        markedEntries->clear();
    QSet<int> marked;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(
                query, QStringLiteral("select modelTag from times where PKtimes=?"), {pkTimes}))
            return query.lastError();
        bool found = false;
        if (!RecordStatement::fetchOne(query, found))
            return query.lastError();
        const bool always = found && query.value(0).toString() == AlwaysTag;
        query.finish();
        if (always)
            return alwaysRefusal();
        if (!AccessRights::entriesOfTimeModel(query, pkTimes, marked) ||
            !AccessRights::setNeedsUpdate(query, marked, true) || !removeTimeModel(query, pkTimes))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid() && markedEntries)
        *markedEntries = marked;
    return error;
}

} // namespace TimeModelRecords

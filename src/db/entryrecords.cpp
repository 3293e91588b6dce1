#include "db/entryrecords.h"

#include "core/errortext.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/boardrename.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QRegularExpression>
#include <QVariant>

using RecordStatement::numberOrNull;
using RecordStatement::outcome;
using RecordStatement::text;
using RecordStatement::textOrNull;

namespace EntryRecords {

namespace {

const QString kEntryColumns = QStringLiteral("PKdoors,doorName,areaName,commentDoor,ipAddr,port,"
                                             "readerType,readerSerNo,readerMacAddr,readerConfig");

EntryRow readEntry(const QSqlQuery &query)
{
    EntryRow row;
    row.pkDoors = query.value(0).toInt();
    row.doorName = query.value(1).toString();
    row.areaName = query.value(2).toString();
    row.commentDoor = query.value(3).toString();
    row.ipAddr = query.value(4).toString();
    row.port = query.value(5).toInt();
    row.readerType = query.value(6).toInt();
    row.readerSerNo = query.value(7).toString();
    row.readerMacAddr = query.value(8).toString();
    row.readerConfig = query.value(9).toString();
    return row;
}

// The stored entry of the key (found false when there is none).
bool readEntry(QSqlQuery &query, int pkDoors, EntryRow &entry, bool &found)
{
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select ") + kEntryColumns +
                                   QStringLiteral(" from doors where PKdoors=?"),
                               {pkDoors}) ||
        !RecordStatement::fetchOne(query, found))
        return false;
    if (found)
        entry = readEntry(query);
    query.finish();
    return true;
}

// The entry's fields as the audit trail records them: those that hold a value.
QJsonObject auditValues(const EntryRow &entry)
{
    QJsonObject values;
    const auto put = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            values.insert(QLatin1String(key), value);
    };
    put("area", entry.areaName);
    put("name", entry.doorName);
    put("comment", entry.commentDoor);
    put("address", entry.ipAddr);
    if (entry.port != 0)
        values.insert(QStringLiteral("port"), entry.port);
    if (entry.readerType != 0)
        values.insert(QStringLiteral("readerType"), entry.readerType);
    put("deviceId", entry.readerSerNo);
    put("mac", entry.readerMacAddr);
    put("settings", entry.readerConfig);
    return values;
}

// The audit record of one entry added (no before), changed or removed (no
// after); a change that changes nothing is not recorded.
bool recordEntry(QSqlQuery &query, const QString &action, const EntryRow *before,
                 const EntryRow *after, const QJsonObject &removed = QJsonObject(),
                 const QStringList &users = QStringList())
{
    AuditRecord record;
    record.action = action;
    record.objectKind = AuditTrail::Kind::Entry;
    for (const EntryRow *entry : {after, before}) {
        const QString name =
            entry ? AuditTrail::entryName(entry->areaName, entry->doorName) : QString();
        if (entry && !record.entries.contains(name))
            record.entries << name;
    }
    record.objectName = record.entries.first();
    record.users = users;
    return AuditTrail::recordObject(query, record, before ? auditValues(*before) : QJsonObject(),
                                    after ? auditValues(*after) : QJsonObject(), removed);
}

// The users with a right at the entry, by name.
bool userNamesOfEntry(QSqlQuery &query, int pkDoors, QStringList &names)
{
    names.clear();
    return AuditTrail::readNames(query,
                                 QStringLiteral("select familyName,firstName from users where "
                                                "PKusers in (select FKusers from access where "
                                                "FKdoors=?) order by familyName,firstName"),
                                 {pkDoors}, AuditTrail::Names::Users, names);
}

} // namespace

QString sortClause(int sortKey, bool ascending)
{
    const auto by = [ascending](std::initializer_list<QString> columns) {
        return RecordStatement::orderBy(columns, ascending);
    };
    switch (sortKey) {
    case SortByComment:
        return by({QStringLiteral("commentDoor")});
    case SortByAddress:
        return by({QStringLiteral("ipAddr"), QStringLiteral("port")});
    case SortByReader:
        return by({QStringLiteral("readerType"), QStringLiteral("readerSerNo")});
    case SortByMacAddress:
        return by({QStringLiteral("readerMacAddr")});
    default:
        return by({QStringLiteral("areaName"), QStringLiteral("doorName")});
    }
}

bool listEntries(QSqlQuery &query, int sortKey, bool ascending, QList<EntryRow> &rows)
{
    rows.clear();
    if (!query.exec(QStringLiteral("select ") + kEntryColumns +
                    QStringLiteral(" from doors order by ") + sortClause(sortKey, ascending)))
        return false;
    while (query.next())
        rows.append(readEntry(query));
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listEntries(const QString &databasePath, int sortKey, bool ascending,
                      QList<EntryRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(listEntries(query, sortKey, ascending, rows), query);
    });
}

bool listEntriesForBoard(QSqlQuery &query, QList<EntryBoardRow> &rows)
{
    rows.clear();
    if (!query.exec(QStringLiteral("select PKdoors,doorName,areaName,needsUpdate,readerSerNo "
                                   "from doors order by areaName,doorName")))
        return false;
    while (query.next()) {
        EntryBoardRow row;
        row.pkDoors = query.value(0).toInt();
        row.doorName = query.value(1).toString();
        row.areaName = query.value(2).toString();
        row.needsUpdate = query.value(3).toInt() == 1;
        row.readerSerNo = query.value(4).toString();
        rows.append(row);
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError listEntriesForBoard(const QString &databasePath, QList<EntryBoardRow> &rows)
{
    rows.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(listEntriesForBoard(query, rows), query);
    });
}

bool entriesOfArea(QSqlQuery &query, const QString &areaName, QSet<int> &keys)
{
    keys.clear();
    if (!ProjectDatabase::exec(query, QStringLiteral("select PKdoors from doors where areaName=?"),
                               {areaName}))
        return false;
    while (query.next())
        keys.insert(query.value(0).toInt());
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QSqlError entriesOfArea(const QString &databasePath, const QString &areaName, QSet<int> &keys)
{
    keys.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        return outcome(entriesOfArea(query, areaName, keys), query);
    });
}

QStringList distinctAreas(const QString &databasePath)
{
    QStringList areas;
    const QSqlError error = RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!query.exec(QStringLiteral("select distinct areaName from doors")))
            return query.lastError();
        while (query.next())
            areas.append(query.value(0).toString());
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
    if (error.isValid())
        areas.clear();
    return areas;
}

int countEntries(QSqlQuery &query)
{
    if (!query.exec(QStringLiteral("select count(*) from doors")) || !query.next())
        return -1;
    const int count = query.value(0).toInt();
    query.finish();
    return count;
}

bool findEntryByReader(QSqlQuery &query, const QString &readerSerNo, int *pkDoors)
{
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select PKdoors from doors where (readerSerNo=?)"),
                               {readerSerNo}))
        return false;
    const bool found = query.next();
    if (found && pkDoors)
        *pkDoors = query.value(0).toInt();
    query.finish();
    return found;
}

QSqlError entryWithDevice(const QString &databasePath, quint32 deviceId, bool *found)
{
    *found = false;
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!query.exec(QStringLiteral("select readerSerNo from doors")))
            return query.lastError();
        while (query.next()) {
            bool ok = false;
            const quint32 id = query.value(0).toString().trimmed().toUInt(&ok, 16);
            if (ok && id == deviceId && deviceId != 0)
                *found = true;
        }
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
}

QSqlError flashDriveReaders(const QString &databasePath, QStringList &serialNumbers)
{
    serialNumbers.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(
                query, QStringLiteral("select readerSerNo from doors where (port & ?) != 0"),
                {QVariant(FlashDrivePortBit)}))
            return query.lastError();
        while (query.next())
            serialNumbers.append(query.value(0).toString());
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
}

QSqlError readerConfigOfEntry(const QString &databasePath, int pkDoors, QString &readerConfig)
{
    readerConfig.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(
                query, QStringLiteral("select readerConfig from doors where (PKdoors=?)"),
                {pkDoors}))
            return query.lastError();
        bool found = false;
        if (!RecordStatement::fetchOne(query, found))
            return query.lastError();
        if (found)
            readerConfig = query.value(0).toString();
        return QSqlError();
    });
}

bool addEntry(QSqlQuery &query, const EntryRow &entry, int *newKey)
{
    if (!RecordStatement::insertReturningKey(
            query,
            QStringLiteral("insert into doors (areaName,doorName,commentDoor,ipAddr,port,"
                           "readerType,readerSerNo,readerMacAddr,readerConfig) "
                           "values (?,?,?,?,?,?,?,?,?) returning PKdoors"),
            {text(entry.areaName), text(entry.doorName), text(entry.commentDoor),
             textOrNull(entry.ipAddr), numberOrNull(entry.port), numberOrNull(entry.readerType),
             textOrNull(entry.readerSerNo), textOrNull(entry.readerMacAddr),
             text(entry.readerConfig)},
            newKey))
        return false;
    return !AuditTrail::isRecording() ||
           recordEntry(query, AuditTrail::Action::Add, nullptr, &entry);
}

QSqlError addEntry(const QString &databasePath, const EntryRow &entry, int *newKey)
{
    const QSqlError refused =
        RecordStatement::refuseControlCharacters({entry.doorName, entry.areaName});
    if (refused.isValid())
        return refused;
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(addEntry(query, entry, newKey), query);
    });
}

bool editEntry(QSqlQuery &query, const EntryRow &entry)
{
    EntryRow before;
    bool found = false;
    if (AuditTrail::isRecording() && !readEntry(query, entry.pkDoors, before, found))
        return false;
    return ProjectDatabase::exec(
               query,
               QStringLiteral("update doors set areaName=?,doorName=?,commentDoor=?,ipAddr=?,"
                              "port=?,readerType=?,readerSerNo=?,readerMacAddr=?,readerConfig=? "
                              "where PKdoors=?"),
               {text(entry.areaName), text(entry.doorName), text(entry.commentDoor),
                textOrNull(entry.ipAddr), numberOrNull(entry.port), numberOrNull(entry.readerType),
                textOrNull(entry.readerSerNo), textOrNull(entry.readerMacAddr),
                text(entry.readerConfig), entry.pkDoors}) &&
           (!found || recordEntry(query, AuditTrail::Action::Change, &before, &entry));
}

QSqlError editEntry(const QString &databasePath, const EntryRow &entry, bool *marked)
{
    if (marked)
        *marked = false;
    const QSqlError refused =
        RecordStatement::refuseControlCharacters({entry.doorName, entry.areaName});
    if (refused.isValid())
        return refused;
    bool changedReader = false;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(query,
                                   QStringLiteral("select readerSerNo from doors where PKdoors=?"),
                                   {entry.pkDoors}))
            return query.lastError();
        // A null and an empty serial number are the same: no reader.
        bool found = false;
        if (!RecordStatement::fetchOne(query, found))
            return query.lastError();
        changedReader = found && query.value(0).toString() != entry.readerSerNo;
        query.finish();
        if (!editEntry(query, entry))
            return query.lastError();
        if (changedReader &&
            !ProjectDatabase::exec(query,
                                   QStringLiteral("update doors set needsUpdate=1 where PKdoors=?"),
                                   {entry.pkDoors}))
            return query.lastError();
        return QSqlError();
    });
    if (!error.isValid() && marked)
        *marked = changedReader;
    return error;
}

bool setReaderAddress(QSqlQuery &query, int pkDoors, const QString &ipAddr, int port)
{
    EntryRow before;
    bool found = false;
    if (AuditTrail::isRecording() && !readEntry(query, pkDoors, before, found))
        return false;
    EntryRow after = before;
    after.ipAddr = ipAddr;
    after.port = port;
    return ProjectDatabase::exec(query,
                                 QStringLiteral("update doors set ipAddr=?,port=? where PKdoors=?"),
                                 {textOrNull(ipAddr), numberOrNull(port), pkDoors}) &&
           (!found || recordEntry(query, AuditTrail::Action::Change, &before, &after));
}

QSqlError setReaderAddress(const QString &databasePath, int pkDoors, const QString &ipAddr,
                           int port)
{
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(setReaderAddress(query, pkDoors, ipAddr, port), query);
    });
}

QSqlError renameArea(const QString &databasePath, const QString &newName, const QString &oldName)
{
    BoardRename done;
    return BoardRename::rename(databasePath, BoardRename::Area, oldName, newName, done);
}

bool removeEntry(QSqlQuery &query, int pkDoors)
{
    return RecordStatement::runInSavepoint(query, "remove_entry", [&](QSqlQuery &q) {
        EntryRow before;
        bool found = false;
        QStringList users;
        if (AuditTrail::isRecording() &&
            (!readEntry(q, pkDoors, before, found) || !userNamesOfEntry(q, pkDoors, users)))
            return false;
        if (!ProjectDatabase::exec(q, QStringLiteral("delete from access where FKdoors=?"),
                                   {pkDoors}))
            return false;
        const int rights = q.numRowsAffected();
        return ProjectDatabase::exec(q, QStringLiteral("delete from doors where PKdoors=?"),
                                     {pkDoors}) &&
               (!found || recordEntry(q, AuditTrail::Action::Remove, &before, nullptr,
                                      {{QStringLiteral("rights"), rights}}, users));
    });
}

QSqlError removeEntry(const QString &databasePath, int pkDoors)
{
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        return outcome(removeEntry(query, pkDoors), query);
    });
}

QList<EntryRow> entriesNamed(const QList<EntryRow> &entries, const QString &name)
{
    QList<EntryRow> found;
    for (const EntryRow &row : entries) {
        if (row.doorName == name)
            found << row;
    }
    for (int slash = name.indexOf(QLatin1Char('/')); found.isEmpty() && slash > 0;
         slash = name.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString area = name.left(slash);
        const QString door = name.mid(slash + 1);
        for (const EntryRow &row : entries) {
            if (row.areaName == area && row.doorName == door)
                found << row;
        }
    }
    return found;
}

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("EntryRecords", text);
}

// The longest folder name most file systems take, in bytes.
constexpr int MaxFolderNameBytes = 255;

} // namespace

bool isDeviceId(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    return pattern.match(text).hasMatch();
}

QString normalisedMac(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{2}([:-])[0-9A-Fa-f]{2}(\\1[0-9A-Fa-f]{2}){4}$"));
    if (!pattern.match(text).hasMatch())
        return QString();
    return text.toUpper().replace(QLatin1Char('-'), QLatin1Char(':'));
}

QString folderNameRefusal(const QString &doorName)
{
    if (safeFolderName(doorName) != doorName)
        return tr("The entry name '%1' cannot name the entry's log and data folders.\n"
                  "An entry name must not begin with a dot and must not contain '/', '\\', "
                  "'..' or control characters.")
            .arg(doorName);
    if (QStringLiteral("data-%1").arg(doorName).toUtf8().size() > MaxFolderNameBytes)
        return tr("The entry name is too long for the entry's log and data folders.\n"
                  "Please use a shorter name.");
    return QString();
}

RecordProblem problem(const EntryRow &entry)
{
    if (entry.doorName.isEmpty())
        return {NameField, tr("No entry name given"), true};
    if (entry.areaName.isEmpty())
        return {AreaField, tr("No area name given"), true};
    const QString refusal = folderNameRefusal(entry.doorName);
    if (!refusal.isEmpty())
        return {NameField, refusal, false};
    const QSqlError control = RecordStatement::refuseControlCharacters({entry.areaName});
    if (control.isValid())
        return {AreaField, control.databaseText(), false};
    if (!entry.readerSerNo.isEmpty() && !isDeviceId(entry.readerSerNo))
        return {DeviceIdField,
                tr("The reader device ID '%1' is not a hexadecimal number of 1 to 8 digits "
                   "(0-9, A-F).")
                    .arg(entry.readerSerNo),
                false};
    if (!entry.readerMacAddr.isEmpty() && normalisedMac(entry.readerMacAddr).isEmpty())
        return {MacField,
                tr("The reader MAC address '%1' is not of the form 00:11:22:AA:BB:CC.")
                    .arg(entry.readerMacAddr),
                false};
    // The reader finds its files on the drive by its device ID.
    if ((entry.port & FlashDrivePortBit) && entry.readerSerNo.isEmpty())
        return {DeviceIdField,
                tr("No reader device ID given\n(A reader served through the USB flash drive "
                   "finds its files by its device ID.)"),
                true};
    return {};
}

QStringList conflicts(const QString &databasePath, const EntryRow &entry)
{
    QStringList lines;
    RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        const auto holder = [&](const QString &condition, const QVariantList &values) {
            QVariantList all = values;
            all << entry.pkDoors;
            if (!ProjectDatabase::exec(
                    query,
                    QStringLiteral("select areaName,doorName from doors where ") + condition +
                        QStringLiteral(" and PKdoors<>?"),
                    all) ||
                !query.next())
                return QString();
            const QString name =
                QStringLiteral("%1 / %2").arg(query.value(0).toString(), query.value(1).toString());
            query.finish();
            return name;
        };
        if (!holder(QStringLiteral("areaName=? and doorName=?"), {entry.areaName, entry.doorName})
                 .isEmpty())
            lines << tr("The area '%1' already has an entry named '%2'.")
                         .arg(entry.areaName, entry.doorName);
        if (!entry.readerSerNo.isEmpty()) {
            const QString other = holder(QStringLiteral("readerSerNo=?"), {entry.readerSerNo});
            if (!other.isEmpty())
                lines << tr("The reader with device ID %1 already controls the entry '%2'.")
                             .arg(entry.readerSerNo, other);
        }
        if (!entry.readerMacAddr.isEmpty()) {
            const QString other = holder(QStringLiteral("readerMacAddr=?"), {entry.readerMacAddr});
            if (!other.isEmpty())
                lines << tr("The reader with MAC address %1 already controls the entry '%2'.")
                             .arg(entry.readerMacAddr, other);
        }
        if (!entry.ipAddr.isEmpty()) {
            const QString other =
                holder(QStringLiteral("ipAddr=? and port=?"), {entry.ipAddr, entry.port});
            if (!other.isEmpty())
                lines << tr("The reader connection %1 is already used by the entry '%2'.")
                             .arg(connectionText(entry.readerSerNo, entry.ipAddr, entry.port),
                                  other);
        }
        return QSqlError();
    });
    return lines;
}

QSqlError saveEntry(const QString &databasePath, const EntryRow &entry, int *key)
{
    const bool isNew = *key < 0;
    int saved = *key;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        bool pending = false;
        if (isNew) {
            if (!addEntry(query, entry, &saved))
                return RecordStatement::failure(query);
            // Its reader holds nothing of this project yet.
            pending = !entry.readerSerNo.isEmpty();
        } else {
            if (!ProjectDatabase::exec(
                    query,
                    QStringLiteral("select readerSerNo,readerConfig from doors where PKdoors=?"),
                    {saved}))
                return RecordStatement::failure(query);
            bool found = false;
            if (!RecordStatement::fetchOne(query, found))
                return RecordStatement::failure(query);
            if (!found)
                return RecordStatement::refusal(tr("The entry was removed meanwhile."));
            pending = query.value(0).toString() != entry.readerSerNo ||
                      query.value(1).toString() != entry.readerConfig;
            query.finish();
            EntryRow row = entry;
            row.pkDoors = saved;
            if (!editEntry(query, row))
                return RecordStatement::failure(query);
        }
        if (pending && !AccessRights::setNeedsUpdateOfEntry(query, saved, true))
            return RecordStatement::failure(query);
        return QSqlError();
    });
    if (!error.isValid())
        *key = saved;
    return error;
}

QSqlError folderKeys(const QString &databasePath, QHash<int, QString> &keys)
{
    keys.clear();
    QList<EntryBoardRow> rows;
    const QSqlError error = listEntriesForBoard(databasePath, rows);
    if (error.isValid())
        return error;
    QList<EntryFolderSource> sources;
    for (const EntryBoardRow &row : qAsConst(rows))
        sources << EntryFolderSource{row.pkDoors, row.doorName, row.areaName};
    keys = entryFolderKeys(sources);
    return QSqlError();
}

} // namespace EntryRecords

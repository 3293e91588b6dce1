#include "db/demoproject.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/entryrecords.h"
#include "db/projectschema.h"
#include "db/recordstatement.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QVariant>

#include <utility>

namespace DemoProject {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DemoProject", text);
}

constexpr int kDemoPort = 10001;

struct DemoArea
{
    const char *name;
    int readerType;
    QList<const char *> entries;
    QList<int> hosts; // last byte of the 192.168.3.x address, one per entry
};

// Serial numbers count up or down in hexadecimal from a start value.
QString serialNumber(quint32 start, int step, int index)
{
    return QStringLiteral("%1")
        .arg(start + quint32(step * index), 8, 16, QLatin1Char('0'))
        .toUpper();
}

QString macAddress(int index)
{
    return QStringLiteral("02:4B:58:3D:%1:%2")
        .arg(index / 256, 2, 16, QLatin1Char('0'))
        .arg(index % 256, 2, 16, QLatin1Char('0'))
        .toUpper();
}

bool addEntries(QSqlQuery &query)
{
    const QList<DemoArea> areas = {
        {QT_TRANSLATE_NOOP("DemoProject", "Development"),
         AccessRights::ShortRangeReader,
         {QT_TRANSLATE_NOOP("DemoProject", "Main Entrance"),
          QT_TRANSLATE_NOOP("DemoProject", "Department A"),
          QT_TRANSLATE_NOOP("DemoProject", "Department B"),
          QT_TRANSLATE_NOOP("DemoProject", "Department C"),
          QT_TRANSLATE_NOOP("DemoProject", "Department D"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry A.1"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry A.2"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry A.3"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry B.1"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry B.2"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry C.1"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry C.2"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry D.1"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry D.2"),
          QT_TRANSLATE_NOOP("DemoProject", "Entry D.3")},
         {100, 101, 102, 103, 104, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119}},
        {QT_TRANSLATE_NOOP("DemoProject", "Production"),
         AccessRights::ShortRangeReader,
         {QT_TRANSLATE_NOOP("DemoProject", "Main Entrance"),
          QT_TRANSLATE_NOOP("DemoProject", "Level 1"), QT_TRANSLATE_NOOP("DemoProject", "Level 2"),
          QT_TRANSLATE_NOOP("DemoProject", "Room 01"), QT_TRANSLATE_NOOP("DemoProject", "Room 02"),
          QT_TRANSLATE_NOOP("DemoProject", "Room 03"), QT_TRANSLATE_NOOP("DemoProject", "Room 04"),
          QT_TRANSLATE_NOOP("DemoProject", "Room 11"), QT_TRANSLATE_NOOP("DemoProject", "Room 12")},
         {130, 131, 132, 135, 136, 137, 138, 139, 140}},
        {QT_TRANSLATE_NOOP("DemoProject", "Parking Area West"),
         AccessRights::LongRangeReader,
         {QT_TRANSLATE_NOOP("DemoProject", "Birchfield Lane"),
          QT_TRANSLATE_NOOP("DemoProject", "Kilnmoor Street")},
         {150, 151}},
        {QT_TRANSLATE_NOOP("DemoProject", "Parking Area North"),
         AccessRights::LongRangeReader,
         {QT_TRANSLATE_NOOP("DemoProject", "Quarrygate Road")},
         {152}},
    };

    int index = 0;
    int development = 0;
    int production = 0;
    int parking = 0;
    for (const DemoArea &area : areas) {
        for (int i = 0; i < area.entries.size(); ++i, ++index) {
            EntryRow entry;
            entry.areaName = tr(area.name);
            entry.doorName = tr(area.entries.at(i));
            entry.commentDoor = QLatin1String("");
            entry.ipAddr = QStringLiteral("192.168.3.%1").arg(area.hosts.at(i));
            entry.port = kDemoPort;
            entry.readerType = area.readerType;
            entry.readerMacAddr = macAddress(index + 1);
            entry.readerConfig = QLatin1String("");
            if (index == 0)
                entry.readerSerNo = QStringLiteral("1234ABCD");
            else if (area.readerType == AccessRights::LongRangeReader)
                entry.readerSerNo = serialNumber(0xF0004040u, -1, parking++);
            else if (qstrcmp(area.name, "Development") == 0)
                entry.readerSerNo = serialNumber(0x12345677u, 1, development++);
            else
                entry.readerSerNo = serialNumber(0xABCD1234u, 1, production++);
            if (!EntryRecords::addEntry(query, entry))
                return false;
        }
    }
    return true;
}

struct DemoUser
{
    const char *familyName;
    const char *firstName;
    const char *comment;
};

bool addUsers(QSqlQuery &query)
{
    struct DemoGroup
    {
        const char *name;
        int firstIddByte;
        QList<DemoUser> users;
    };
    const QList<DemoGroup> groups = {
        {QT_TRANSLATE_NOOP("DemoProject", "Management"),
         0x00,
         {{"Halvorsen", "Mira", QT_TRANSLATE_NOOP("DemoProject", "Sales Manager")},
          {"Quentell", "Aldo", QT_TRANSLATE_NOOP("DemoProject", "Development Manager")},
          {"Steinwald", "Jora", ""}}},
        {QT_TRANSLATE_NOOP("DemoProject", "Development"),
         0x0A,
         {{"Abernot", "Linus", ""},
          {"Birkhahn", "Tessa", ""},
          {"Corvell", "Nadim", ""},
          {"Dunstrup", "Ilka", ""},
          {"Eskarin", "Rafe", ""}}},
        {QT_TRANSLATE_NOOP("DemoProject", "Production"),
         0x20,
         {{"Fennimark", "Oda", ""},
          {"Gravlin", "Piet", ""},
          {"Hollerup", "Sanna", ""},
          {"Ivarsen", "Talo", ""},
          {"Jessmond", "Ulla", ""}}},
    };

    // All identifiers of a technology share their leading bytes and differ
    // in the last one only.
    const QByteArray shortRangeStem = QByteArray::fromHex("5c4b589621e3");
    const QByteArray longRangeStem = QByteArray::fromHex("30004b58d37000000000129a5c");
    for (const DemoGroup &group : groups) {
        for (int i = 0; i < group.users.size(); ++i) {
            const DemoUser &demo = group.users.at(i);
            const char last = char(group.firstIddByte + i);
            UserRow user;
            user.familyName = QString::fromUtf8(demo.familyName);
            user.firstName = QString::fromUtf8(demo.firstName);
            user.groupName = tr(group.name);
            user.commentUser = *demo.comment ? tr(demo.comment) : QString(QLatin1String(""));
            user.commentIso14443 = QLatin1String("");
            user.commentClass1Gen2 = QLatin1String("");
            user.iddIso14443 =
                TransponderIdd(shortRangeStem + last, TransponderIdd::Iso14443A).toStored();
            user.iddClass1Gen2 =
                TransponderIdd(longRangeStem + last, TransponderIdd::EpcClass1Gen2).toStored();
            if (!UserRecords::addUser(query, user))
                return false;
        }
    }
    return true;
}

bool addTimeModels(QSqlQuery &query)
{
    const QList<TimeModelRow> models = {
        {0, QStringLiteral("DEV"), tr("Development"),
         QStringLiteral("mon,tue,wed,thu,fri-06:00-20:00")},
        {0, QStringLiteral("PRD"), tr("Production"),
         QStringLiteral("mon,tue,wed,thu,fri-05:00-22:00")},
        {0, QStringLiteral("FM"), tr("Facility Manager"),
         QStringLiteral("mon,tue,wed,thu,fri,sat,sun,hol-05:00-21:00|sat-05:00-14:00")},
        {0, QStringLiteral("CRY"), tr("Crazy Model"),
         QStringLiteral("mon-01:00-23:00|tue-02:30-21:30|wed-04:00-20:00|thu-05:15-19:17|"
                        "fri-06:00-18:30|sat-07:18-18:00|sun-08:00-17:40|hol-09:20-17:10")},
    };
    for (const TimeModelRow &model : models) {
        if (!TimeModelRecords::addTimeModel(query, model))
            return false;
    }
    return true;
}

bool writeParameters(QSqlQuery &query)
{
    return ProjectSchema::writeProjectTag(query, QStringLiteral("IsSecureProject"),
                                          QStringLiteral("false")) &&
           ProjectSchema::writeProjectTag(query, QStringLiteral("HaveHfReader"),
                                          QStringLiteral("true")) &&
           ProjectSchema::writeProjectTag(query, QStringLiteral("HaveUhfReader"),
                                          QStringLiteral("true")) &&
           ProjectSchema::writeProjectTag(query, QStringLiteral("DefaultRelaisHoldTime"),
                                          QStringLiteral("1.5"));
}

bool addRights(QSqlQuery &query)
{
    const int always = TimeModelRecords::findByTag(query, QStringLiteral("***"));
    const int development = TimeModelRecords::findByTag(query, QStringLiteral("DEV"));
    const int production = TimeModelRecords::findByTag(query, QStringLiteral("PRD"));
    if (always <= 0 || development <= 0 || production <= 0)
        return false;

    QList<UserRow> users;
    QList<EntryBoardRow> entries;
    if (!UserRecords::listUsersForBoard(query, users) ||
        !EntryRecords::listEntriesForBoard(query, entries))
        return false;

    const QString developmentName = tr("Development");
    const QString productionName = tr("Production");
    for (const UserRow &user : qAsConst(users)) {
        for (const EntryBoardRow &entry : qAsConst(entries)) {
            int model = always;
            if (user.groupName == developmentName &&
                (entry.areaName == developmentName || entry.areaName == productionName))
                model = development;
            else if (user.groupName == productionName && entry.areaName == productionName)
                model = production;
            else if (user.groupName == productionName && entry.areaName == developmentName)
                continue;
            if (!AccessRights::insertAccess(query, user.pkUsers, entry.pkDoors, model))
                return false;
        }
    }
    return true;
}

} // namespace

QSqlError fill(const QString &databasePath)
{
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        // One audit record for the whole demo.
        AuditTrail::Batch batch;
        if (!addEntries(query) || !addUsers(query) || !addTimeModels(query) ||
            !writeParameters(query) || !addRights(query))
            return RecordStatement::failure(
                query, QCoreApplication::translate("DemoProject", "A demo time model is missing"));
        AuditRecord record;
        record.action = AuditTrail::Action::Fill;
        record.objectKind = AuditTrail::Kind::Project;
        record.objectName = QStringLiteral("demo");
        QJsonObject counts;
        const std::pair<const char *, const char *> tables[] = {
            {"users", "users"}, {"entries", "doors"}, {"models", "times"}, {"rights", "access"}};
        for (const auto &table : tables) {
            if (!query.exec(QStringLiteral("select count(*) from ") +
                            QLatin1String(table.second)) ||
                !query.next())
                return RecordStatement::failure(query);
            counts.insert(QLatin1String(table.first), query.value(0).toInt());
            query.finish();
        }
        record.valuesAfter = AuditTrail::json(counts);
        return RecordStatement::outcome(batch.record(query, record), query);
    });
}

} // namespace DemoProject

#include "support/officesite.h"

#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QDebug>
#include <QSet>

namespace TestSupport {

OfficeSite::OfficeSite(ProjectKind kind) : project(QStringLiteral("Site"), kind)
{
    params.projectPath = project.folder();
    params.databasePath = project.databasePath();
    params.loadProjectParameters();
    TimeModelRow model;
    model.modelTag = QStringLiteral("OF");
    model.modelName = QStringLiteral("Office");
    model.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00");
    const QSqlError error = TimeModelRecords::addTimeModel(db(), model, &office);
    if (error.isValid())
        qWarning() << error.text();
}

int OfficeSite::addUser(const QString &familyName, const QString &hf, const QString &uhf)
{
    UserRow u;
    u.familyName = familyName;
    u.firstName = QStringLiteral("X");
    u.groupName = QStringLiteral("Staff");
    if (!hf.isEmpty())
        u.iddIso14443 = TransponderIdd::fromHex(hf, TransponderIdd::Iso14443A).toStored();
    if (!uhf.isEmpty())
        u.iddClass1Gen2 = TransponderIdd::fromHex(uhf, TransponderIdd::EpcClass1Gen2).toStored();
    int key = 0;
    const QSqlError error = UserRecords::addUser(db(), u, &key);
    if (error.isValid())
        qWarning() << error.text();
    users << key;
    return key;
}

int OfficeSite::addEntry(const QString &name, int type, const QString &serNo, const QString &ip,
                         int port, const QString &area)
{
    EntryRow e;
    e.doorName = name;
    e.areaName = area;
    e.readerType = type;
    e.readerSerNo = serNo;
    e.ipAddr = ip;
    e.port = port;
    int key = 0;
    const QSqlError error = EntryRecords::addEntry(db(), e, &key);
    if (error.isValid())
        qWarning() << error.text();
    AccessRights::changeBoardCell(db(), QSet<int>(users.cbegin(), users.cend()), {key}, office);
    return key;
}

} // namespace TestSupport

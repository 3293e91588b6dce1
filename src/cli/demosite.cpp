// Fills a freshly created project with a small site for trying the program
// against virtual readers: the given entries, two time models, four users in
// two groups and their rights. Used by scripts/demo-site.sh.
//
//   kelvara-demo-site PROJECT ENTRY...
//   ENTRY: name|area|reader type|device ID|host|port   (port "drive": the USB flash drive route)
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/recordrows.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTextStream>

namespace {

struct DemoUser
{
    const char *familyName;
    const char *firstName;
    const char *group;
    const char *shortRange; // hex, empty: none
    const char *longRange;
};

const DemoUser Users[] = {
    {"Abel", "Ida", "Staff", "04A1B2C3D4E5F6", "E20000112233445566778899"},
    {"Brandt", "Tom", "Staff", "04A1B2C3D4E5F7", "E2000011223344556677889A"},
    {"Cole", "Nina", "Visitors", "04A1B2C3D4E5F8", ""},
    {"Dunn", "Ravi", "Visitors", "", "E2000011223344556677889B"},
};

int fail(QTextStream &err, const QString &text)
{
    err << "kelvara-demo-site: " << text << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2)
        return fail(err, QStringLiteral("usage: kelvara-demo-site PROJECT "
                                        "'name|area|type|device ID|host|port'..."));
    const QString folder = QDir(args.first()).absolutePath();
    if (!ProjectSchema::isProjectDatabase(folder))
        return fail(err, QStringLiteral("'%1' is not a project folder").arg(folder));
    const QString db = ProjectDatabase::databasePathForProject(folder);

    QSet<int> entries;
    for (const QString &item : args.mid(1)) {
        const QStringList f = item.split(QLatin1Char('|'));
        if (f.size() != 6)
            return fail(err, QStringLiteral("bad entry '%1'").arg(item));
        EntryRow entry;
        entry.doorName = f[0];
        entry.areaName = f[1];
        entry.readerType = f[2].toInt();
        entry.readerSerNo = f[3];
        entry.ipAddr = f[4];
        entry.port =
            f[5] == QLatin1String("drive") ? EntryRecords::FlashDrivePortBit : f[5].toInt();
        int key = 0;
        const QSqlError error = EntryRecords::addEntry(db, entry, &key);
        if (error.isValid())
            return fail(err, error.text());
        entries.insert(key);
    }

    TimeModelRow office;
    office.modelTag = QStringLiteral("OF");
    office.modelName = QStringLiteral("Office hours");
    office.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00");
    int officeKey = 0;
    QSqlError error = TimeModelRecords::addTimeModel(db, office, &officeKey);
    if (error.isValid())
        return fail(err, error.text());
    QList<TimeModelRow> tags;
    TimeModelRecords::listTags(db, tags);
    int alwaysKey = 0;
    for (const TimeModelRow &tag : qAsConst(tags))
        if (tag.modelTag == QLatin1String("***"))
            alwaysKey = tag.pkTimes;

    QSet<int> staff;
    QSet<int> visitors;
    for (const DemoUser &u : Users) {
        UserRow user;
        user.familyName = QString::fromUtf8(u.familyName);
        user.firstName = QString::fromUtf8(u.firstName);
        user.groupName = QString::fromUtf8(u.group);
        if (*u.shortRange)
            user.iddIso14443 = TransponderIdd::fromHex(QString::fromLatin1(u.shortRange),
                                                       TransponderIdd::Iso14443A)
                                   .toStored();
        if (*u.longRange)
            user.iddClass1Gen2 = TransponderIdd::fromHex(QString::fromLatin1(u.longRange),
                                                         TransponderIdd::EpcClass1Gen2)
                                     .toStored();
        int key = 0;
        error = UserRecords::addUser(db, user, &key);
        if (error.isValid())
            return fail(err, error.text());
        (user.groupName == QLatin1String("Staff") ? staff : visitors).insert(key);
    }
    // Staff may pass at any time, visitors during office hours.
    error = AccessRights::changeBoardCell(db, staff, entries, alwaysKey);
    if (!error.isValid())
        error = AccessRights::changeBoardCell(db, visitors, entries, officeKey);
    if (error.isValid())
        return fail(err, error.text());
    out << entries.size() << " entries, 4 users, rights set\n";
    return 0;
}

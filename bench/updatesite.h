#pragma once

// The site the update benchmarks run on: virtual short-range readers on
// loopback TCP in this process, one entry each, users with cards in 20
// groups, and five office-hour models spread over the users at every entry.
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QDir>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

struct UpdateSite
{
    QString folder;
    QString db;
    QSet<int> entries;
    std::vector<std::unique_ptr<kxsim::SimReader>> readers;

    // False when the project or a reader could not be set up.
    bool build(const QString &projectFolder, int readerCount, int userCount)
    {
        folder = projectFolder;
        QDir().mkpath(folder);
        db = ProjectDatabase::databasePathForProject(folder);
        if (ProjectSchema::createProjectDatabase(db).isValid())
            return false;
        for (int r = 0; r < readerCount; ++r) {
            kxsim::VirtualReaderSetup setup;
            setup.type = 100;
            setup.deviceId = 0x10000 + r;
            auto sim =
                std::make_unique<kxsim::SimReader>(std::make_shared<kxsim::VirtualReader>(setup));
            if (!sim->listenTcp("127.0.0.1", 0))
                return false;
            EntryRow entry;
            entry.doorName = QStringLiteral("Door %1").arg(r, 2, 10, QLatin1Char('0'));
            entry.areaName = QStringLiteral("Area %1").arg(r / 10);
            entry.readerType = 100;
            entry.readerSerNo = QString::number(setup.deviceId, 16);
            entry.ipAddr = QStringLiteral("127.0.0.1");
            entry.port = sim->tcp().port();
            int key = 0;
            EntryRecords::addEntry(db, entry, &key);
            entries.insert(key);
            readers.push_back(std::move(sim));
        }
        QSet<int> users;
        {
            ProjectDatabase database(db);
            database.open();
            database.transaction();
            QSqlQuery q = database.query();
            for (int u = 0; u < userCount; ++u) {
                UserRow user;
                user.familyName = QStringLiteral("Family%1").arg(u);
                user.firstName = QStringLiteral("First%1").arg(u);
                user.groupName = QStringLiteral("Group%1").arg(u % 20);
                QByteArray idd(7, '\0');
                idd[0] = 0x04;
                idd[5] = char(u >> 8);
                idd[6] = char(u & 0xFF);
                user.iddIso14443 = TransponderIdd(idd, TransponderIdd::Iso14443A).toStored();
                int key = 0;
                UserRecords::addUser(q, user, &key);
                users.insert(key);
            }
            database.commit();
        }
        QList<int> models;
        for (int m = 0; m < 5; ++m) {
            TimeModelRow model;
            model.modelTag = QStringLiteral("M%1").arg(m);
            model.modelName = QStringLiteral("Model %1").arg(m);
            model.modelDefinition =
                QStringLiteral("mon,tue,wed,thu,fri-%1:00-18:00|sat-08:00-12:00")
                    .arg(6 + m, 2, 10, QLatin1Char('0'));
            int key = 0;
            TimeModelRecords::addTimeModel(db, model, &key);
            models << key;
        }
        // Five groups of users, one model each, at every entry.
        QList<QSet<int>> parts;
        for (int m = 0; m < 5; ++m)
            parts << QSet<int>();
        int i = 0;
        for (int key : qAsConst(users))
            parts[i++ % 5].insert(key);
        for (int m = 0; m < 5; ++m)
            AccessRights::changeBoardCell(db, parts[m], entries, models[m]);
        return true;
    }
};

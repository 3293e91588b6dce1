#pragma once

// The block the board-change benchmarks run on: users of one group, entries
// of one area and the model DAY (its key in `model`), added through the
// engine functions as the window adds them.
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

#include <QSet>
#include <QSqlQuery>
#include <QString>

inline bool fillBlockProject(const QString &path, int userCount, int entryCount, QSet<int> &users,
                             QSet<int> &entries, int &model)
{
    ProjectDatabase db(path);
    if (!db.open() || !db.transaction())
        return false;
    QSqlQuery query = db.query();
    for (int i = 0; i < userCount; ++i) {
        UserRow user;
        user.familyName = QStringLiteral("User%1").arg(i, 4, 10, QLatin1Char('0'));
        user.firstName = QStringLiteral("Bench");
        user.groupName = QStringLiteral("Staff");
        int key = 0;
        if (!UserRecords::addUser(query, user, &key))
            return false;
        users.insert(key);
    }
    for (int i = 0; i < entryCount; ++i) {
        EntryRow entry;
        entry.areaName = QStringLiteral("Hall");
        entry.doorName = QStringLiteral("Door %1").arg(i);
        int key = 0;
        if (!EntryRecords::addEntry(query, entry, &key))
            return false;
        entries.insert(key);
    }
    TimeModelRow day;
    day.modelTag = QStringLiteral("DAY");
    day.modelName = QStringLiteral("Day shift");
    day.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri-06:00-18:00");
    if (!TimeModelRecords::addTimeModel(query, day, &model))
        return false;
    query.finish();
    return db.commit();
}

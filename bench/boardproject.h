#pragma once

// The large board the board benchmarks run on: users in groups, entries in
// areas, three models, and rights on about nine cells in ten, mostly one model
// per block; every seventh entry pending.
#include "db/projectdatabase.h"

#include <QSqlQuery>
#include <QString>
#include <QVector>

#include <algorithm>

inline bool fillBoardProject(const QString &dbPath, int users, int groups, int entries, int areas,
                             qint64 *rights = nullptr)
{
    ProjectDatabase db(dbPath);
    if (!db.open() || !db.transaction())
        return false;
    QSqlQuery q = db.query();
    for (const char *tag : {"A", "B", "C"}) {
        ProjectDatabase::exec(
            q,
            QStringLiteral("insert into times (modelTag,modelName,modelDefinition) values (?,?,?)"),
            {QLatin1String(tag), QStringLiteral("Model %1").arg(QLatin1String(tag)),
             QStringLiteral("mon-06:00-18:00")});
    }
    q.prepare(QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"));
    for (int u = 0; u < users; ++u) {
        q.bindValue(0, QStringLiteral("Family%1").arg(u, 5, 10, QLatin1Char('0')));
        q.bindValue(1, QStringLiteral("First%1").arg(u));
        q.bindValue(2, QStringLiteral("Group %1").arg(u % groups, 2, 10, QLatin1Char('0')));
        if (!q.exec())
            return false;
    }
    q.prepare(QStringLiteral("insert into doors (doorName,areaName,needsUpdate) values (?,?,?)"));
    for (int e = 0; e < entries; ++e) {
        q.bindValue(0, QStringLiteral("Door %1").arg(e, 3, 10, QLatin1Char('0')));
        q.bindValue(1, QStringLiteral("Area %1").arg(e % areas, 2, 10, QLatin1Char('0')));
        q.bindValue(2, e % 7 == 0 ? 1 : 0);
        if (!q.exec())
            return false;
    }
    // Rights on about nine cells in ten, mostly one model per block.
    q.prepare(QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,?)"));
    qint64 count = 0;
    for (int u = 1; u <= users; ++u) {
        for (int e = 1; e <= entries; ++e) {
            if ((u * 31 + e * 17) % 10 == 0)
                continue;
            q.bindValue(0, u);
            q.bindValue(1, e);
            q.bindValue(2, 2 + ((u + e) % 13 == 0 ? 1 : 0) + (e % areas == 0 ? 1 : 0));
            if (!q.exec())
                return false;
            ++count;
        }
    }
    if (rights)
        *rights = count;
    return db.commit();
}

inline double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

#pragma once

#include "db/projectdatabase.h"

#include <QStringList>

#include <initializer_list>

// Small helpers the database tests share: raw statements on a project
// database, bypassing the operations under test.
namespace DbTest {

inline QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// The first column of the first row; -1 when the statement fails.
inline int scalar(const QString &path, const QString &statement)
{
    ProjectDatabase db(path);
    if (!db.open())
        return -2;
    QSqlQuery q = db.query();
    if (!q.exec(statement) || !q.next())
        return -1;
    return q.value(0).toInt();
}

inline bool run(const QString &path, const QString &statement)
{
    ProjectDatabase db(path);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
    return q.exec(statement);
}

} // namespace DbTest

using DbTest::run;
using DbTest::scalar;
using DbTest::strings;

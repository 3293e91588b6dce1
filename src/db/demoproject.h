#pragma once

#include <QSqlError>
#include <QString>

// The demonstration project: entries in four areas, users in three groups,
// time models, project parameters and the rights between them.
namespace DemoProject {

// Fills a freshly created project database in one transaction: on failure
// nothing of the demo data stays.
QSqlError fill(const QString &databasePath);

} // namespace DemoProject

#pragma once

#include "db/projectparameters.h"
#include "support/testsupport.h"

#include <QList>
#include <QString>

namespace TestSupport {

// A project with the time model "OF" (Office, weekdays 07:00-19:00) and the
// users and entries a test adds. Every entry gets the model for every user
// added before it, which marks it as needing an update.
struct OfficeSite
{
    TempProject project;
    ProjectParameters params;
    int office = 0;
    QList<int> users; // in the order added

    explicit OfficeSite(ProjectKind kind = projectKind());
    QString db() const { return project.databasePath(); }

    // Identifiers in hex; an empty one is left out.
    int addUser(const QString &familyName, const QString &hf, const QString &uhf = QString());
    int addEntry(const QString &name, int type, const QString &serNo, const QString &ip, int port,
                 const QString &area = QStringLiteral("Hall"));
};

} // namespace TestSupport

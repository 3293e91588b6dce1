#pragma once

#include "db/audittrail.h"
#include "db/recordrows.h"
#include "userlist/myimportusers.h"

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QString>
#include <QStringList>

// Brings the users of a project in line with a user list (an HR system's
// export, say): users of the list that the project lacks are added, those
// whose fields differ are changed, and with removeMissing the project's
// users the list does not name are removed. A user is known by family and
// first name; only the columns the list has are compared, so a list without
// a group column leaves the groups alone. Everything happens in one
// transaction through the record operations the window uses, with the same
// pending marks.
class UserListSync
{
    Q_DECLARE_TR_FUNCTIONS(UserListSync)

public:
    enum Kind { Add, Change, Remove };
    struct Step
    {
        Kind kind = Add;
        UserRow user;       // as it will be (for a removal: as it was)
        UserRow before;     // a changed user as it was
        int line = 0;       // of the list; 0 for a removal
        QStringList fields; // the fields a change changes, in list order
    };

    // The list's users as MyImportUsers::readUsers gives them. Refused
    // (a statement error without a database code) when a name or an
    // identifier is listed twice.
    static QSqlError plan(const QString &databasePath, const QList<MyImportUsers::LineUser> &listed,
                          bool removeMissing, QList<Step> &steps);
    // Plans as above and carries the steps out in one transaction with one
    // audit record naming the list's file; the entries marked for an update
    // are left in *markedEntries when given. A step the database refuses (an
    // identifier another user keeps) rolls everything back.
    static QSqlError apply(const QString &databasePath,
                           const QList<MyImportUsers::LineUser> &listed, bool removeMissing,
                           QList<Step> &steps, QSet<int> *markedEntries = nullptr,
                           const QString &listFile = QString());

    // "Abel, Ann", as the lists print a user.
    static QString nameOf(const UserRow &user);

private:
    static AuditRecord auditRecord(const QList<Step> &steps, const QString &listFile);
};

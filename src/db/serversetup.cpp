#include "db/serversetup.h"

#include "core/projectfolder.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/projectschema.h"
#include "db/serverschema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool ServerSetup::isEmpty(const QString &connectionFile, bool *empty, QString *error)
{
    ProjectDatabase db(connectionFile, ProjectDatabase::Access::ReadOnly);
    if (!db.open())
        return fail(error, db.lastError().text());
    if (!db.isServer())
        return fail(error, tr("%1 is no server connection.").arg(connectionFile));
    QSqlQuery query = db.query();
    if (!query.exec(
            QStringLiteral("select count(*) from pg_tables where schemaname=current_schema()")) ||
        !query.next())
        return fail(error, query.lastError().text());
    *empty = query.value(0).toLongLong() == 0;
    return true;
}

bool ServerSetup::init(const QString &connectionFile, QString *error, int version)
{
    const QSqlError created =
        ProjectSchema::createProjectDatabase(connectionFile, QStringLiteral("utf8"), version);
    if (created.isValid())
        return fail(error, created.text());
    QString why;
    bool ok = true;
    if (version == 0) {
        // The settings a new project starts with in the window, as
        // create-project writes them.
        ProjectParameters defaults;
        defaults.databasePath = connectionFile;
        ok = defaults.saveProjectParameters();
        if (!ok)
            why = tr("The project settings could not be saved.");
    }
    if (ok) {
        ProjectDatabase db(connectionFile, ProjectDatabase::Access::Raw);
        ok = db.open() && db.transaction();
        QSqlQuery query = db.query();
        ok = ok && ServerSchema::createRoles(query, &why) && ServerSchema::grantRoles(query, &why);
        query.finish();
        ok = ok && db.commit();
        if (!ok) {
            if (why.isEmpty())
                why = db.lastError().text();
            db.rollback();
        }
    }
    if (ok)
        return true;
    QString ignored;
    remove(connectionFile, &ignored);
    return fail(error, why);
}

bool ServerSetup::remove(const QString &connectionFile, QString *error)
{
    ProjectDatabase db(connectionFile, ProjectDatabase::Access::Raw);
    if (!db.open() || !db.isServer() || !db.transaction())
        return fail(error, db.lastError().text());
    QSqlQuery query = db.query();
    QStringList tables;
    if (!query.exec(QStringLiteral("select tablename from pg_tables where "
                                   "schemaname=current_schema()")))
        return fail(error, query.lastError().text());
    while (query.next())
        tables << query.value(0).toString();
    bool ok = !query.lastError().isValid();
    for (const QString &table : qAsConst(tables)) {
        // Names from the catalog, quoted as identifiers.
        QString quoted = table;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        ok = ok && query.exec(QStringLiteral("drop table if exists \"%1\" cascade").arg(quoted));
    }
    ok = ok && query.exec(QStringLiteral("drop function if exists kelvara_notify() cascade")) &&
         query.exec(QStringLiteral("drop function if exists kelvara_audit_guard() cascade"));
    const QString why = query.lastError().text();
    query.finish();
    if (ok && db.commit())
        return true;
    db.rollback();
    return fail(error, why.isEmpty() ? db.lastError().text() : why);
}

bool ServerSetup::writeProjectFolder(const QString &folder, const ServerConnection &connection,
                                     QString *error)
{
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink())
        return fail(error,
                    tr("The path\n\n%1\n\nalready exists.").arg(QDir::toNativeSeparators(folder)));
    if (!ProjectFolder::createFolders(folder))
        return fail(error,
                    tr("Cannot create project path\n\n%1").arg(QDir::toNativeSeparators(folder)));
    QString why;
    if (connection.write(ServerConnection::filePathForProject(folder), &why))
        return true;
    QDir(folder).removeRecursively();
    return fail(error, why);
}

#include "functions/projectupgrade.h"

#include "core/projectfolder.h"
#include "db/projectcopy.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "db/serverschema.h"
#include "functions/functionrunlock.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>

namespace {

using Outcome = ProjectUpgrade::Outcome;

ProjectUpgrade::Result ended(Outcome outcome, const QString &message, int from = 0)
{
    ProjectUpgrade::Result result;
    result.outcome = outcome;
    result.from = from;
    result.to = outcome == Outcome::Upgraded || outcome == Outcome::AlreadyCurrent
                    ? SchemaVersion::current()
                    : from;
    result.message = message;
    return result;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Why the folder, its database or the folder beside it that takes the backup
// cannot be written; empty when all can.
QString unwritable(const QString &folder, const QString &database)
{
    if (QStorageInfo(folder).isReadOnly())
        return ProjectUpgrade::tr("The project folder %1 is on a read-only disk.")
            .arg(native(folder));
    if (!QFileInfo(folder).isWritable() || !QFileInfo(database).isWritable())
        return ProjectUpgrade::tr("The project folder %1 or its database cannot be written.")
            .arg(native(folder));
    const QString parent = QFileInfo(folder).absolutePath();
    if (!QFileInfo(parent).isWritable())
        return ProjectUpgrade::tr("The backup cannot be written beside the project, in %1.")
            .arg(native(parent));
    return QString();
}

// A server project: every other workstation reads the project table on
// each connection, so locking it holds them off until the commit. The
// backup is a folder project with every row, made under that lock.
ProjectUpgrade::Result upgradeOnServer(ProjectDatabase &db, const QString &folder, int from)
{
    QSqlQuery query = db.query();
    if (ServerSchema::signedInRole(query) != ServerSchema::Role::Administrator)
        return ended(Outcome::Refused,
                     ProjectUpgrade::tr("Only an administrator of the server project may upgrade "
                                        "it; the project was not changed."),
                     from);
    if (!db.transaction())
        return ended(Outcome::Failed, db.lastError().text(), from);
    const auto abandon = [&](Outcome outcome, const QString &message) {
        query.finish();
        db.rollback();
        return ended(outcome, message, from);
    };
    if (!query.exec(QStringLiteral("set local lock_timeout = '30s'")) ||
        !query.exec(QStringLiteral("lock table project in access exclusive mode"))) {
        const bool busy = query.lastError().nativeErrorCode() == QLatin1String("55P03");
        return abandon(
            busy ? Outcome::Busy : Outcome::Failed,
            busy ? ProjectUpgrade::tr("The project database is in use by another program.")
                 : query.lastError().text());
    }
    const SchemaVersion::Probe probe = SchemaVersion::probe(query);
    if (probe.state == SchemaVersion::State::Current)
        return abandon(Outcome::AlreadyCurrent, QString());
    if (probe.state != SchemaVersion::State::Older || probe.version != from)
        return abandon(Outcome::Refused, SchemaVersion::message(probe));

    const QString backup =
        ProjectUpgrade::backupPath(folder, from, QDateTime::currentDateTime(), QString());
    const ProjectCopy::Result copy = ProjectCopy::toFolder(query, from, backup);
    if (copy.outcome != ProjectCopy::Outcome::Copied)
        return abandon(Outcome::Failed,
                       ProjectUpgrade::tr("The backup copy of the server project into the folder "
                                          "project %1 failed: %2\nThe project was not changed.")
                           .arg(native(backup), copy.message));
    QString error;
    const bool stepped = SchemaVersion::applySteps(query, from, &error) &&
                         ServerSchema::createNotifications(query, &error) &&
                         ServerSchema::grantRoles(query, &error);
    query.finish();
    if (!stepped || !db.commit()) {
        if (stepped)
            error = db.lastError().text();
        ProjectUpgrade::Result result =
            abandon(Outcome::Failed, ProjectUpgrade::tr("%1\nThe project was not changed; the "
                                                        "backup copy %2 (a folder project) stays.")
                                         .arg(error, native(backup)));
        result.backup = backup;
        return result;
    }
    ProjectUpgrade::Result result = ended(Outcome::Upgraded, QString(), from);
    result.backup = backup;
    return result;
}

} // namespace

QString ProjectUpgrade::backupPath(const QString &projectFolder, int fromVersion,
                                   const QDateTime &when, const QString &suffix)
{
    const QFileInfo folder(QDir::cleanPath(QDir::fromNativeSeparators(projectFolder)));
    const QString stem = QStringLiteral("%1/%2-schema%3-%4")
                             .arg(folder.absolutePath(), folder.fileName())
                             .arg(fromVersion)
                             .arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = stem + suffix;
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
    return path;
}

ProjectUpgrade::Result ProjectUpgrade::run(const QString &projectFolder)
{
    const QString folder =
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(projectFolder)).absoluteFilePath());
    const QString database = ProjectDatabase::databasePathForProject(folder);
    SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    switch (probe.state) {
    case SchemaVersion::State::Current:
        return ended(Outcome::AlreadyCurrent, QString(), probe.version);
    case SchemaVersion::State::Older:
        break;
    case SchemaVersion::State::Busy:
        return ended(Outcome::Busy, SchemaVersion::message(probe));
    case SchemaVersion::State::NotProject:
        return ended(Outcome::Refused, tr("'%1' is not a project folder.").arg(native(folder)));
    default:
        return ended(Outcome::Refused, SchemaVersion::message(probe), probe.version);
    }
    const int from = probe.version;
    const QString cannotWrite = unwritable(folder, database);
    if (!cannotWrite.isEmpty())
        return ended(Outcome::Refused, cannotWrite + tr(" The upgrade was not attempted."), from);

    FunctionRunLock runLock(folder);
    if (!runLock.tryLock(0)) {
        const QString holder = runLock.holder();
        return ended(Outcome::Busy,
                     holder.isEmpty() ? tr("The project is in use by another program.")
                                      : tr("The project is in use by %1.").arg(holder),
                     from);
    }

    ProjectDatabase db(database, ProjectDatabase::Access::Raw);
    if (!db.open())
        return ended(Outcome::Failed, db.lastError().text(), from);
    if (db.isServer())
        return upgradeOnServer(db, folder, from);
    QSqlQuery query = db.query();
    // Exclusive from here on: no other program reads a half-upgraded project,
    // and the file the backup copies does not change under it.
    if (!query.exec(QStringLiteral("begin exclusive"))) {
        return ended(ProjectSchema::isBusyError(query.lastError()) ? Outcome::Busy
                                                                   : Outcome::Failed,
                     ProjectSchema::isBusyError(query.lastError())
                         ? tr("The project database is in use by another program.")
                         : query.lastError().text(),
                     from);
    }
    const auto abandon = [&](Outcome outcome, const QString &message) {
        query.finish();
        query.exec(QStringLiteral("rollback"));
        return ended(outcome, message, from);
    };
    // Another program may have upgraded it meanwhile.
    probe = SchemaVersion::probe(query);
    if (probe.state == SchemaVersion::State::Current)
        return abandon(Outcome::AlreadyCurrent, QString());
    if (probe.state != SchemaVersion::State::Older || probe.version != from)
        return abandon(Outcome::Refused, SchemaVersion::message(probe));

    const QString backup = backupPath(folder, from, QDateTime::currentDateTime());
    const int code = ProjectFolder::writeBackup(backup, folder);
    if (code != 0)
        return abandon(Outcome::Failed,
                       tr("The backup %1 could not be written (return code %2). The project was "
                          "not changed.")
                           .arg(native(backup))
                           .arg(code));

    QString error;
    const bool stepped = SchemaVersion::applySteps(query, from, &error);
    query.finish();
    if (!stepped || !query.exec(QStringLiteral("commit"))) {
        if (stepped)
            error = query.lastError().text();
        Result result = abandon(
            Outcome::Failed,
            tr("%1\nThe project was not changed; the backup %2 stays.").arg(error, native(backup)));
        result.backup = backup;
        return result;
    }
    Result result = ended(Outcome::Upgraded, QString(), from);
    result.backup = backup;
    return result;
}

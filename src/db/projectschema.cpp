#include "db/projectschema.h"

#include "db/projectdatabase.h"
#include "db/schemaversion.h"
#include "db/serverschema.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>

namespace ProjectSchema {

QStringList statements()
{
    return {
        QStringLiteral(
            "create table if not exists users (  PKusers           integer primary key,  "
            "familyName        varchar(255) not null,  firstName         varchar(255) not null,  "
            "groupName         varchar(255) not null,  commentUser       varchar(255),  "
            "iddIso14443       varchar(255),  commentIso14443   varchar(255),  "
            "iddClass1Gen2     varchar(255),  commentClass1Gen2 varchar(255),  "
            "unique (familyName,firstName),  unique (iddIso14443),  unique (iddClass1Gen2))"),
        QStringLiteral("create index if not exists index_users_names on users (  "
                       "groupName,familyName,firstName)"),
        QStringLiteral(
            "create table if not exists doors (  PKdoors       integer primary key,  "
            "doorName      varchar(255) not null,  areaName      varchar(255) not null,  "
            "commentDoor   varchar(255),  ipAddr        varchar(255),  port          integer,  "
            "readerType    integer,  readerSerNo   varchar(255),  readerMacAddr varchar(32),  "
            "readerConfig  varchar(4095),  needsUpdate   integer,  unique (areaName,doorName),  "
            "unique (ipAddr,port),  unique (readerSerNo),  unique (readerMacAddr))"),
        QStringLiteral("create index if not exists index_doors_names on doors (  "
                       "areaName,doorName)"),
        QStringLiteral(
            "create table if not exists times (  PKtimes           integer primary key,  "
            "modelName         varchar(255) not null,  modelTag          varchar(8) not null,  "
            "modelDefinition   varchar(1024) not null,  unique (modelTag),  unique (modelName))"),
        QStringLiteral("create table if not exists holidays (  PKholidays integer primary key,  "
                       "date       char(10) not null,  comment    varchar(255),  unique (date))"),
        QStringLiteral("create table if not exists access (  PKaccess  integer primary key,  "
                       "FKusers   integer references users(PKusers),  "
                       "FKdoors   integer references doors(PKdoors),  "
                       "FKtimes   integer references times(PKtimes),  unique (FKusers,FKdoors))"),
        QStringLiteral("create table if not exists project (  PKproject  integer primary key,  "
                       "tag        varchar(32) not null,  value      varchar(255) not null,  "
                       "unique (tag))"),
    };
}

QSqlError createProjectDatabase(const QString &databasePath, const QString &encoding, int version)
{
    ProjectDatabase db(databasePath, ProjectDatabase::Access::Raw);
    if (!db.open())
        return db.lastError();
    QSqlQuery query = db.query();

    // A pragma value cannot be bound; only a plain encoding name is accepted.
    static const QRegularExpression encodingName(QStringLiteral("^[A-Za-z0-9-]+$"));
    if (!encodingName.match(encoding).hasMatch())
        return QSqlError(QString(), QStringLiteral("Invalid database encoding"),
                         QSqlError::StatementError);
    const bool server = db.isServer();
    if (!server && !query.exec(QStringLiteral("pragma encoding=%1").arg(encoding)))
        return query.lastError();

    // All or nothing, and one disk sync instead of a dozen.
    if (!db.transaction())
        return db.lastError();
    auto fail = [&](const QSqlError &error) {
        db.rollback();
        return error;
    };
    for (const QString &statement : statements()) {
        if (!query.exec(server ? ServerSchema::translate(statement) : statement))
            return fail(query.lastError());
    }
    if (!insertProjectTag(query, TagMarker, QStringLiteral("true")) ||
        !insertProjectTag(query, TagDatabaseVersion, QStringLiteral("0.9.0")) ||
        !insertProjectTag(query, TagCreationDate,
                          QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"))))
        return fail(query.lastError());
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral("insert into times (modelTag,modelName,modelDefinition) values (?,?,?)"),
            {QStringLiteral("***"), QCoreApplication::translate("ProjectSchema", "Always"),
             QStringLiteral("*-*-*")}))
        return fail(query.lastError());
    // A new project is built as an old one is upgraded, so both end alike.
    QString stepError;
    if (!SchemaVersion::applySteps(query, 1, &stepError, version) ||
        (server && !ServerSchema::createNotifications(query, &stepError)))
        return fail(QSqlError(QString(), stepError, QSqlError::StatementError));
    if (!db.commit())
        return fail(db.lastError());
    return QSqlError();
}

bool isProjectDatabase(const QString &projectFolder)
{
    return projectFolderState(projectFolder) == FolderState::Project;
}

FolderState projectFolderState(const QString &projectFolder)
{
    // A project of another schema version is still a project: whoever opens
    // it learns from its version whether and how it can be opened.
    switch (SchemaVersion::probeFolder(projectFolder).state) {
    case SchemaVersion::State::Current:
    case SchemaVersion::State::Older:
    case SchemaVersion::State::Newer:
    case SchemaVersion::State::Invalid:
        return FolderState::Project;
    case SchemaVersion::State::Busy:
        return FolderState::Busy;
    case SchemaVersion::State::NotProject:
    case SchemaVersion::State::Unreadable:
        break;
    }
    return FolderState::NotProject;
}

bool isBusyError(const QSqlError &error)
{
    // SQLITE_BUSY and SQLITE_LOCKED, also as extended codes.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;
    return ok && error.isValid() && (code == 5 || code == 6);
}

QString readProjectTag(QSqlQuery &query, const QString &tag)
{
    if (!ProjectDatabase::exec(query, QStringLiteral("select value from project where tag=?"),
                               {tag}))
        return QString();
    if (!query.next())
        return QString(); // no row, or reading failed: query.lastError() tells
    QString value = query.value(0).toString();
    if (value.isNull())
        value = QLatin1String(""); // a row exists: never report it as missing
    return value;
}

bool insertProjectTag(QSqlQuery &query, const QString &tag, const QString &value)
{
    return ProjectDatabase::exec(
        query, QStringLiteral("insert into project (tag,value) values (?,?)"), {tag, value});
}

bool updateProjectTag(QSqlQuery &query, const QString &tag, const QString &value)
{
    return ProjectDatabase::exec(query, QStringLiteral("update project set value=? where tag=?"),
                                 {value, tag});
}

bool writeProjectTag(QSqlQuery &query, const QString &tag, const QString &value)
{
    if (readProjectTag(query, tag).isNull())
        return insertProjectTag(query, tag, value);
    return updateProjectTag(query, tag, value);
}

} // namespace ProjectSchema

#include "db/schemaversion.h"

#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/serverschema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <algorithm>

namespace SchemaVersion {

namespace {

QList<Step> *testSteps()
{
    static QList<Step> steps;
    return &steps;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("SchemaVersion", text);
}

// SQLite keeps a schema object's statement as written, without "if not exists".
QString normalised(QString statement)
{
    statement.replace(QStringLiteral(" if not exists"), QString(), Qt::CaseInsensitive);
    return statement.simplified().toLower();
}

// The triggers and views the steps up to `version` create: a database holding
// any other could change what readers receive behind the program's back.
QStringList ownStatements(int version)
{
    QStringList own;
    const QList<Step> all = steps();
    for (int i = 0; i + 1 < version && i < all.size(); ++i) {
        for (const QString &statement : all.at(i).statements)
            own << normalised(statement);
    }
    return own;
}

Probe failed(const QSqlQuery &query)
{
    Probe probe;
    probe.detail = query.lastError().text();
    if (ProjectSchema::isBusyError(query.lastError()))
        probe.state = State::Busy;
    else if (query.lastError().nativeErrorCode() == QLatin1String("26")) // not a database
        probe.state = State::NotProject;
    else
        probe.state = State::Unreadable;
    return probe;
}

Probe invalid(int version, const QString &detail)
{
    Probe probe;
    probe.state = State::Invalid;
    probe.version = version;
    probe.detail = detail;
    return probe;
}

} // namespace

QList<Step> steps()
{
    // Each later schema adds its step here, a fixture project of the version
    // it leaves behind in tests/data/projects/ and a row in the upgrade test.
    // A released step never changes: projects in the field ran it as it was.
    QList<Step> all;
    // 1 -> 2: the audit trail. Its guards refuse what no operation of ours
    // ever does, through any connection; the column types are portable.
    all << Step{
        QStringLiteral("audit trail"),
        {QStringLiteral(
             "create table auditTrail (seq integer primary key, recordedAt varchar(32) not null, "
             "operatorName varchar(255) not null, program varchar(64) not null, programVersion "
             "varchar(32) not null, action varchar(32) not null, objectKind varchar(32) not null, "
             "objectName text not null, valuesBefore text, valuesAfter text, reverses integer, "
             "userNames text, entryNames text, hash char(64) not null)"),
         // The history's operator list reads it, one step an operator.
         QStringLiteral("create index auditTrail_operator on auditTrail (operatorName)"),
         QStringLiteral("create trigger auditTrail_no_update before update on auditTrail begin "
                        "select raise(abort, 'The audit trail cannot be changed.'); end"),
         QStringLiteral("create trigger auditTrail_no_delete before delete on auditTrail begin "
                        "select raise(abort, 'The audit trail cannot be shortened.'); end")},
        nullptr,
        {}};
    all.last().serverStatements = QStringList{ServerSchema::translate(all.last().statements.at(0)),
                                              all.last().statements.at(1)};
    all.last().serverStatements += ServerSchema::auditTrailGuard();
    // 2 -> 3: the door event log (doc/architecture.md, "The event log"). An event is
    // one row per reader event: its identity is the entry, the reader's time
    // and a fingerprint of everything else it carries (see EventRecords), so
    // a reader's whole list read again adds nothing. The user who held the
    // identifier is kept as a copy in eventUsers, so a removed or renamed
    // user leaves the log readable. Time 0 with flag 1 marks an invalid date.
    all.append(Step{
        QStringLiteral("event log"),
        {QStringLiteral("create table if not exists eventUsers (  PKeventUsers integer primary "
                        "key,  userKey integer not null,  familyName varchar(255) not null,  "
                        "firstName varchar(255) not null,  groupName varchar(255) not null,  "
                        "unique (userKey,familyName,firstName,groupName))"),
         QStringLiteral("create table if not exists events (  PKevents integer primary key,  "
                        "FKdoors integer not null,  readerTime integer not null,  "
                        "fingerprint integer not null,  deviceId integer not null,  "
                        "idd varchar(128) not null,  antenna integer not null,  "
                        "granted integer not null,  errorNumber integer not null,  "
                        "inputState integer not null,  flags integer not null,  "
                        "readAt integer not null,  FKeventUsers integer)"),
         QStringLiteral("create unique index if not exists index_events_identity on events (  "
                        "FKdoors,readerTime,fingerprint)"),
         // Time with result and user copy: counts and result filters over a
         // period are read from the index alone.
         QStringLiteral("create index if not exists index_events_time on events (  "
                        "readerTime,granted,FKeventUsers)"),
         QStringLiteral("create index if not exists index_events_users on events (  "
                        "FKeventUsers,readerTime)")},
        {}});
    all += *testSteps();
    return all;
}

int current()
{
    return 1 + steps().size();
}

void setStepsForTest(const QList<Step> &steps)
{
    *testSteps() = steps;
}

Probe probe(QSqlQuery &query, bool checkObjects)
{
    QList<QStringList> foreign; // type, name, statement
    const bool server = ProjectDatabase::isServer(query);
    if (checkObjects && server) {
        QStringList names;
        if (!query.exec(QStringLiteral("select count(*) from pg_tables where "
                                       "schemaname=current_schema() and tablename='project'")) ||
            !query.next())
            return failed(query);
        if (query.value(0).toInt() == 0)
            return Probe();
        if (!ServerSchema::foreignObjects(query, &names))
            return failed(query);
        for (const QString &name : qAsConst(names))
            foreign.append({name.section(QLatin1Char(' '), 0, 0), name.section(QLatin1Char(' '), 1),
                            QString()});
    } else if (checkObjects) {
        if (!query.exec(QStringLiteral("select type,name,sql from sqlite_master where type in "
                                       "('trigger','view') or (type='table' and name='project')")))
            return failed(query);
        bool hasProjectTable = false;
        while (query.next()) {
            if (query.value(0).toString() == QLatin1String("table"))
                hasProjectTable = true;
            else
                foreign.append({query.value(0).toString(), query.value(1).toString(),
                                query.value(2).toString()});
        }
        if (query.lastError().isValid())
            return failed(query);
        if (!hasProjectTable)
            return Probe();
    }

    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select tag,value from project where tag in (?,?,?)"),
                               {ProjectSchema::TagMarker, ProjectSchema::TagDatabaseVersion, Tag}))
        return failed(query);
    QString marker;
    QString databaseVersion;
    QString schemaVersion;
    while (query.next()) {
        const QString tag = query.value(0).toString();
        const QString value = query.value(1).toString();
        if (tag == ProjectSchema::TagMarker)
            marker = value;
        else if (tag == ProjectSchema::TagDatabaseVersion)
            databaseVersion = value;
        else
            schemaVersion = value.isNull() ? QLatin1String("") : value;
    }
    if (query.lastError().isValid())
        return failed(query);
    if (marker != QLatin1String("true"))
        return Probe();

    int version = 0;
    if (schemaVersion.isNull()) {
        if (databaseVersion != QLatin1String("0.9.0"))
            return invalid(0, tr("it carries no schema version."));
        version = 1;
    } else {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
        if (digits.match(schemaVersion).hasMatch())
            version = schemaVersion.toInt();
        if (version < 1 || version > Highest)
            return invalid(
                0,
                tr("its schema version \"%1\" is no version number.").arg(schemaVersion.left(40)));
    }

    Probe probe;
    probe.version = version;
    if (version > current()) {
        // A newer program's triggers and views are its own business.
        probe.state = State::Newer;
        return probe;
    }
    const QStringList own = ownStatements(version);
    for (const QStringList &object : qAsConst(foreign)) {
        if (server || !own.contains(normalised(object.at(2))))
            return invalid(version,
                           object.at(0) == QLatin1String("function")
                               ? tr("it holds the function \"%1\", which Kelvara Manager did not "
                                    "write.")
                                     .arg(object.at(1))
                           : object.at(0) == QLatin1String("view")
                               ? tr("it holds the view \"%1\", which Kelvara Manager did not "
                                    "create.")
                                     .arg(object.at(1))
                               : tr("it holds the trigger \"%1\", which Kelvara Manager did not "
                                    "create and which could change what the readers receive.")
                                     .arg(object.at(1)));
    }
    probe.state = version < current() ? State::Older : State::Current;
    return probe;
}

Probe probeFolder(const QString &projectFolder)
{
    const QString path = ProjectDatabase::databasePathForProject(projectFolder);
    if (!QFileInfo(path).isFile())
        return Probe();
    ProjectDatabase db(path, ProjectDatabase::Access::ReadOnly);
    if (!db.open()) {
        Probe probe;
        probe.detail = db.lastError().text();
        // A server that does not answer or refuses the sign-in may well hold
        // the project: say why rather than "no project".
        probe.state = ProjectSchema::isBusyError(db.lastError()) ? State::Busy
                      : db.isServer()                            ? State::Unreadable
                                                                 : State::NotProject;
        return probe;
    }
    QSqlQuery query = db.query();
    return probe(query);
}

QString message(const Probe &probe)
{
    switch (probe.state) {
    case State::Current:
        return QString();
    case State::Older:
        return tr("This project was made by an older version of Kelvara Manager (schema version "
                  "%1; this program uses %2). It must be upgraded before it can be opened.")
            .arg(probe.version)
            .arg(current());
    case State::Newer:
        return tr("This project was made by a newer version of Kelvara Manager (schema version "
                  "%1; this program knows up to %2). Open it with that version or a newer one; "
                  "this program leaves it untouched.")
            .arg(probe.version)
            .arg(current());
    case State::Invalid:
        return tr("This project database cannot be opened: %1").arg(probe.detail);
    case State::NotProject:
        return tr("This is no valid project database.");
    case State::Busy:
        return tr("The project database is in use by another program.");
    case State::Unreadable:
        return tr("The project database cannot be read: %1").arg(probe.detail);
    }
    return QString();
}

bool applySteps(QSqlQuery &query, int from, QString *error, int to)
{
    const QList<Step> all = steps();
    if (to <= 0 || to > current())
        to = current();
    for (int i = qMax(from, 1) - 1; i < to - 1; ++i) {
        const Step &step = all.at(i);
        QString reason;
        bool ok = true;
        const bool server = ProjectDatabase::isServer(query);
        QStringList statements = step.statements;
        if (server && !step.serverStatements.isEmpty())
            statements = step.serverStatements;
        else if (server)
            std::transform(statements.begin(), statements.end(), statements.begin(),
                           ServerSchema::translate);
        for (const QString &statement : qAsConst(statements)) {
            if (!query.exec(statement)) {
                ok = false;
                break;
            }
        }
        if (ok && step.migrate)
            ok = step.migrate(query, &reason);
        if (!ok) {
            if (reason.isEmpty())
                reason = query.lastError().text();
            if (error)
                *error = tr("The upgrade step from schema version %1 to %2 (%3) failed: %4")
                             .arg(i + 1)
                             .arg(i + 2)
                             .arg(step.description, reason);
            return false;
        }
    }
    if (!ProjectSchema::writeProjectTag(query, Tag, QString::number(to))) {
        if (error)
            *error =
                tr("The schema version could not be written: %1").arg(query.lastError().text());
        return false;
    }
    return true;
}

} // namespace SchemaVersion

// kelvara-cli server init / add-operator and project copy: setting up a
// project on a database server and moving projects between the two kinds.
#include "cli/kelvaracli.h"

#include "db/projectcopy.h"
#include "db/projectdatabase.h"
#include "db/schemaversion.h"
#include "db/serverschema.h"
#include "db/serversetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool KelvaraCli::takeConnection(QStringList &arguments, ServerConnection &connection, int &exitCode)
{
    QString port;
    QString sslMode;
    bool hasHost = false;
    bool hasPort = false;
    bool hasDatabase = false;
    bool present = false;
    if (!takeOption(arguments, QStringLiteral("--host"), connection.host, hasHost, exitCode) ||
        !takeOption(arguments, QStringLiteral("--port"), port, hasPort, exitCode) ||
        !takeOption(arguments, QStringLiteral("--db"), connection.database, hasDatabase,
                    exitCode) ||
        !takeOption(arguments, QStringLiteral("--user"), connection.user, present, exitCode) ||
        !takeOption(arguments, QStringLiteral("--sslmode"), sslMode, present, exitCode))
        return false;
    if (!hasHost || !hasDatabase) {
        exitCode = usageError(tr("The server needs --host and --db."));
        return false;
    }
    bool ok = true;
    if (hasPort)
        connection.port = port.toInt(&ok);
    if (!ok || connection.port < 1 || connection.port > 65535) {
        exitCode = refused(tr("--port: '%1' is no port number (1 to 65535).").arg(port));
        return false;
    }
    static const QStringList modes = {QStringLiteral("disable"),   QStringLiteral("allow"),
                                      QStringLiteral("prefer"),    QStringLiteral("require"),
                                      QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    if (present) {
        if (!modes.contains(sslMode)) {
            exitCode = refused(tr("--sslmode: '%1' is none of %2.")
                                   .arg(sslMode, modes.join(QStringLiteral(", "))));
            return false;
        }
        connection.sslMode = sslMode;
    }
    return true;
}

int KelvaraCli::server(QStringList arguments)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == QLatin1String("init"))
        return serverInit(arguments);
    if (command == QLatin1String("connect"))
        return serverConnect(arguments);
    if (command == QLatin1String("add-operator"))
        return addOperator(arguments);
    return usageError(tr("server takes a subcommand: init, connect or add-operator."));
}

bool KelvaraCli::takeServerTarget(QStringList &arguments, ServerConnection &connection,
                                  QString &newFolder, int &exitCode)
{
    bool hasFolder = false;
    if (!takeConnection(arguments, connection, exitCode) ||
        !takeOption(arguments, QStringLiteral("--project"), newFolder, hasFolder, exitCode) ||
        !noneLeft(arguments, exitCode))
        return false;
    if (!hasFolder)
        return true;
    newFolder = absolute(newFolder);
    if (!QFileInfo::exists(newFolder) && !QFileInfo(newFolder).isSymLink())
        return true;
    exitCode =
        refused(tr("The path\n\n%1\n\nalready exists.").arg(QDir::toNativeSeparators(newFolder)));
    return false;
}

int KelvaraCli::serverConnect(QStringList arguments)
{
    int exitCode = Success;
    ServerConnection connection;
    QString folder;
    if (!takeServerTarget(arguments, connection, folder, exitCode))
        return exitCode;
    if (folder.isEmpty())
        return usageError(tr("server connect needs --project DIR."));
    QString error;
    if (!ServerSetup::writeProjectFolder(folder, connection, &error))
        return failure(error);
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    if (probe.state != SchemaVersion::State::Current &&
        probe.state != SchemaVersion::State::Older) {
        QDir(folder).removeRecursively();
        const QString why = probe.state == SchemaVersion::State::NotProject
                                ? tr("The database %1 holds no project; set one up with "
                                     "kelvara-cli server init.")
                                      .arg(connection.describe())
                                : SchemaVersion::message(probe);
        return probe.state == SchemaVersion::State::Busy ||
                       probe.state == SchemaVersion::State::Unreadable
                   ? failure(why)
                   : refused(why);
    }
    m_out << tr("Project folder: %1").arg(QDir::toNativeSeparators(folder)) << '\n';
    if (probe.state == SchemaVersion::State::Older)
        m_out << SchemaVersion::message(probe) << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::serverInit(QStringList arguments)
{
    int exitCode = Success;
    ServerConnection connection;
    QString folder;
    if (!takeServerTarget(arguments, connection, folder, exitCode))
        return exitCode;
    const bool hasFolder = !folder.isEmpty();
    QTemporaryDir scratch;
    if (!hasFolder) {
        if (!scratch.isValid())
            return failure(scratch.errorString());
        folder = scratch.path() + QStringLiteral("/init");
    }
    QString error;
    if (!ServerSetup::writeProjectFolder(folder, connection, &error))
        return failure(error);
    const QString file = ServerConnection::filePathForProject(folder);
    bool empty = false;
    if (!ServerSetup::isEmpty(file, &empty, &error) || !empty) {
        QDir(folder).removeRecursively();
        if (!empty && error.isEmpty())
            return refused(tr("The database %1 is not empty (it has tables); server init sets "
                              "up an empty database only.")
                               .arg(connection.describe()));
        return failure(error);
    }
    if (!ServerSetup::init(file, &error)) {
        QDir(folder).removeRecursively();
        return failure(
            tr("The server project could not be set up; nothing was left behind: %1").arg(error));
    }
    m_out << tr("Project created in %1 (schema version %2) with the roles %3, %4 and %5.")
                 .arg(connection.describe())
                 .arg(SchemaVersion::current())
                 .arg(ServerSchema::AdministratorRole, ServerSchema::OperatorRole,
                      ServerSchema::ViewerRole)
          << '\n';
    if (hasFolder)
        m_out << tr("Project folder: %1").arg(QDir::toNativeSeparators(folder)) << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::addOperator(QStringList arguments)
{
    int exitCode = Success;
    QString roleText;
    bool present = false;
    QString folder;
    if (!takeOption(arguments, QStringLiteral("--role"), roleText, present, exitCode))
        return exitCode;
    const bool passwordFromInput = takeFlag(arguments, QStringLiteral("--password-stdin"));
    if (!takeProjectFolder(arguments, folder, exitCode))
        return exitCode;
    QString name;
    if (!takeName(arguments, tr("operator"), name, exitCode) || !noneLeft(arguments, exitCode))
        return exitCode;
    const ServerSchema::Role role = ServerSchema::roleFromName(roleText);
    if (role == ServerSchema::Role::None)
        return usageError(tr("--role must be administrator, operator or viewer."));
    if (!ProjectDatabase::isServerProject(folder))
        return refused(tr("'%1' is no server project: operators are roles on a database "
                          "server.")
                           .arg(QDir::toNativeSeparators(folder)));
    QString password;
    if (passwordFromInput) {
        QFile standardInput;
        QIODevice *input = m_input;
        if (!input) {
            if (!standardInput.open(stdin, QIODevice::ReadOnly))
                return failure(tr("Standard input cannot be read."));
            input = &standardInput;
        }
        password = QString::fromUtf8(input->readLine());
        while (password.endsWith(QLatin1Char('\n')) || password.endsWith(QLatin1Char('\r')))
            password.chop(1);
        if (password.isEmpty())
            return refused(tr("--password-stdin: standard input holds no password."));
    }
    ProjectDatabase db(ProjectDatabase::databasePathForProject(folder));
    if (!db.open())
        return databaseFailure(db.lastError());
    QSqlQuery query = db.query();
    QString error;
    if (!ServerSchema::addOperator(query, name, role, password, &error))
        return failure(error);
    m_out << tr("%1 is now %2 of the project (password: %3).")
                 .arg(name, ServerSchema::roleName(role),
                      password.isEmpty() ? tr("not set") : tr("set"))
          << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::copyProject(QStringList arguments)
{
    int exitCode = Success;
    QString targetFolder;
    bool toFolder = false;
    if (!takeOption(arguments, QStringLiteral("--to-folder"), targetFolder, toFolder, exitCode))
        return exitCode;
    const bool toServer = takeFlag(arguments, QStringLiteral("--to-server"));
    if (toFolder == toServer)
        return usageError(tr("project copy needs either --to-server or --to-folder DIR."));
    ServerConnection connection;
    bool present = false;
    if (toServer &&
        (!takeConnection(arguments, connection, exitCode) ||
         !takeOption(arguments, QStringLiteral("--project"), targetFolder, present, exitCode)))
        return exitCode;
    QString source;
    if (!takeName(arguments, tr("project folder"), source, exitCode) ||
        !noneLeft(arguments, exitCode))
        return exitCode;
    source = absolute(source);
    if (!targetFolder.isEmpty())
        targetFolder = absolute(targetFolder);
    const ProjectCopy::Result result = ProjectCopy::copyProject(
        source, toServer ? ProjectCopy::Kind::Server : ProjectCopy::Kind::Folder, targetFolder,
        connection);
    // What was read and what arrived, table by table, as the proof of the copy.
    for (int i = 0; !result.copied.isEmpty() && i < result.source.size(); ++i) {
        const ProjectCopy::TableSum &sum = result.source.at(i);
        m_out << sum.table << '\t' << sum.rows << '\t' << QString::fromLatin1(sum.sha256) << '\t'
              << (i < result.copied.size() && result.copied.at(i) == sum ? tr("equal")
                                                                         : tr("DIFFERS"))
              << '\n';
    }
    m_out.flush();
    switch (result.outcome) {
    case ProjectCopy::Outcome::Copied:
        m_out << (toServer
                      ? tr("Copied to %1; every table arrived complete.").arg(connection.describe())
                      : tr("Copied to %1; every table arrived complete.")
                            .arg(QDir::toNativeSeparators(result.target)))
              << '\n';
        if (toServer && !result.target.isEmpty())
            m_out << tr("Project folder: %1").arg(QDir::toNativeSeparators(result.target)) << '\n';
        m_out.flush();
        return Success;
    case ProjectCopy::Outcome::Refused:
        return refused(result.message);
    case ProjectCopy::Outcome::Failed:
        break;
    }
    return failure(tr("%1\nNothing was left at the target.").arg(result.message));
}

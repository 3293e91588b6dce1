#include "db/serverconnection.h"

#include "core/filewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSysInfo>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerConnection", text);
}

ServerConnection invalidConnection()
{
    ServerConnection connection;
    connection.port = 0;
    return connection;
}

QMutex g_passwordMutex;
QString g_password;

const QStringList SslModes = {QStringLiteral("disable"),   QStringLiteral("allow"),
                              QStringLiteral("prefer"),    QStringLiteral("require"),
                              QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

} // namespace

QString ServerConnection::filePathForProject(const QString &projectFolder)
{
    QString name = QDir::fromNativeSeparators(projectFolder);
    while (name.endsWith(QLatin1Char('/')) && name.size() > 1)
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("%1/%2.kxserver").arg(projectFolder, name);
}

bool ServerConnection::isConnectionFile(const QString &path)
{
    return path.endsWith(QLatin1String(".kxserver"));
}

ServerConnection ServerConnection::read(const QString &path, QString *error)
{
    ServerConnection connection;
    QFile file(path);
    // A connection file is a few lines; anything large is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 16384) {
        if (error)
            *error = tr("The server connection file \"%1\" cannot be read.").arg(path);
        return invalidConnection();
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char('[')))
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        if (key == QLatin1String("host"))
            connection.host = value;
        else if (key == QLatin1String("port"))
            connection.port = value.toInt();
        else if (key == QLatin1String("database"))
            connection.database = value;
        else if (key == QLatin1String("user"))
            connection.user = value;
        else if (key == QLatin1String("sslmode"))
            connection.sslMode = value;
        else if (key == QLatin1String("password")) {
            if (error)
                *error = tr("The server connection file \"%1\" holds a password. Remove it: the "
                            "password belongs in the password file (~/.pgpass) or is asked for "
                            "when the project opens.")
                             .arg(path);
            return invalidConnection();
        }
    }
    if (!connection.isValid() || connection.port > 65535 ||
        !SslModes.contains(connection.sslMode)) {
        if (error)
            *error = tr("The server connection file \"%1\" needs a host, a port from 1 to 65535, a "
                        "database and an SSL mode (disable, allow, prefer, require, verify-ca or "
                        "verify-full).")
                         .arg(path);
        return invalidConnection();
    }
    return connection;
}

bool ServerConnection::write(const QString &path, QString *error) const
{
    const QString text = QStringLiteral("# Kelvara Manager server project: where its database "
                                        "lives. No password here.\n"
                                        "Host=%1\nPort=%2\nDatabase=%3\nUser=%4\nSslMode=%5\n")
                             .arg(host)
                             .arg(port)
                             .arg(database, user, sslMode);
    if (FileWriter::replaceFile(path, text.toUtf8()))
        return true;
    if (error)
        *error = tr("The server connection file \"%1\" cannot be written.").arg(path);
    return false;
}

QString ServerConnection::describe() const
{
    const QString who = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return QStringLiteral("%1%2:%3/%4").arg(who, host).arg(port).arg(database);
}

void ServerConnection::applyTo(QSqlDatabase &db) const
{
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(sessionPassword());
    // Who holds a lock is told by this name; the time-out bounds a dead host.
    QString program = QCoreApplication::applicationName();
    if (program.isEmpty())
        program = QStringLiteral("kelvara");
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.@:-]"));
    QString name = QStringLiteral("%1@%2:%3")
                       .arg(program, QSysInfo::machineHostName())
                       .arg(QCoreApplication::applicationPid());
    name.replace(unsafe, QStringLiteral("_"));
    db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=10;application_name=%2")
                             .arg(sslMode, name.left(60)));
}

void ServerConnection::setSessionPassword(const QString &password)
{
    QMutexLocker lock(&g_passwordMutex);
    g_password = password;
}

QString ServerConnection::sessionPassword()
{
    QMutexLocker lock(&g_passwordMutex);
    return g_password;
}

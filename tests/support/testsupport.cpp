#include "support/testsupport.h"

#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/serverconnection.h"
#include "db/serverschema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtEndian>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestSupport {

namespace {
std::unique_ptr<QTemporaryDir> &homeDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void isolateHome()
{
    if (homeDir())
        return;
    homeDir() =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kx-home-XXXXXX"));
    const QByteArray path = homeDir()->path().toLocal8Bit();
    qputenv("HOME", path);
    qputenv("XDG_RUNTIME_DIR", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("KX_LOOPBACK_ONLY", "1");
}

QString isolatedHome()
{
    return homeDir() ? homeDir()->path() : QString();
}

int unusedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

ProjectKind projectKind()
{
    return qgetenv("KX_TEST_PROJECT_KIND") == "server" ? ProjectKind::Server : ProjectKind::Folder;
}

namespace {

ServerConnection testServer(const QString &database)
{
    ServerConnection connection;
    connection.host = qEnvironmentVariable("KX_TEST_PGHOST");
    connection.port = qEnvironmentVariableIntValue("KX_TEST_PGPORT");
    if (connection.port == 0)
        connection.port = 5432;
    connection.user = qEnvironmentVariable("KX_TEST_PGUSER");
    connection.database = database;
    connection.sslMode = QStringLiteral("disable");
    return connection;
}

// Runs statements as the superuser on the named database.
bool superuser(const QString &database, const QStringList &statements, QString *error = nullptr)
{
    const QString name = QStringLiteral("kx-test-superuser");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        testServer(database).applyTo(db);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            if (!ok)
                break;
            ok = query.exec(statement);
        }
        if (!ok && error)
            *error = db.isOpen() ? query.lastError().text() : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

bool serverAvailable(QString *why)
{
    if (qEnvironmentVariable("KX_TEST_PGHOST").isEmpty()) {
        *why = QStringLiteral("No PostgreSQL test server: run the tests through ./test.sh, which "
                              "starts one where PostgreSQL is installed.");
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *why = QStringLiteral("Qt's PostgreSQL driver is missing (libqt5sql5-psql).");
        return false;
    }
    static int reachable = -1;
    static QString reason;
    if (reachable < 0) {
        reachable = superuser(QStringLiteral("postgres"), {QStringLiteral("select 1")}, &reason);
        reason = QStringLiteral("The PostgreSQL test server does not answer: ") + reason;
    }
    *why = reason;
    return reachable == 1;
}

ServerDatabase::ServerDatabase()
{
    static int counter = 0;
    const QString name =
        QStringLiteral("kx_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    QString why;
    if (!serverAvailable(&why))
        return;
    if (!superuser(QStringLiteral("postgres"), {QStringLiteral("create database %1").arg(name)},
                   &why)) {
        qWarning("ServerDatabase: %s", qPrintable(why));
        return;
    }
    m_name = name;
}

ServerDatabase::~ServerDatabase()
{
    if (!m_name.isEmpty())
        superuser(QStringLiteral("postgres"),
                  {QStringLiteral("drop database if exists %1 with (force)").arg(m_name)});
}

bool ServerDatabase::writeConnectionFile(const QString &projectFolder, const QString &user) const
{
    ServerConnection connection = testServer(m_name);
    if (!user.isEmpty())
        connection.user = user;
    return connection.write(ServerConnection::filePathForProject(projectFolder), nullptr);
}

bool ServerDatabase::exec(const QString &statement) const
{
    QString error;
    const bool ok = superuser(m_name, {statement}, &error);
    if (!ok)
        qWarning("ServerDatabase::exec: %s", qPrintable(error));
    return ok;
}

bool ServerDatabase::addOperator(const QString &user, const QString &role) const
{
    const QString name = QStringLiteral("kx-test-operator");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        testServer(m_name).applyTo(db);
        if (db.open()) {
            QSqlQuery query(db);
            QString error;
            ok = ServerSchema::addOperator(query, user, ServerSchema::roleFromName(role), QString(),
                                           &error);
            if (!ok)
                qWarning("addOperator: %s", qPrintable(error));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

TempProject::TempProject(const QString &name, ProjectKind kind)
{
    m_folder = m_dir.path() + QLatin1Char('/') + name;
    if (!QDir().mkpath(m_folder))
        return;
    if (kind == ProjectKind::Server) {
        m_server = std::make_unique<ServerDatabase>();
        if (!m_server->isValid() || !m_server->writeConnectionFile(m_folder))
            return;
    }
    m_databasePath = ProjectDatabase::databasePathForProject(m_folder);
    const QSqlError error = ProjectSchema::createProjectDatabase(m_databasePath);
    if (error.isValid()) {
        qWarning("TempProject: %s", qPrintable(error.text()));
        return;
    }
    if (m_server) {
        ProjectDatabase db(m_databasePath, ProjectDatabase::Access::Raw);
        QSqlQuery query = db.query();
        QString why;
        if (!db.open() || !ServerSchema::createRoles(query, &why) ||
            !ServerSchema::grantRoles(query, &why)) {
            qWarning("TempProject: %s", qPrintable(why + db.lastError().text()));
            return;
        }
    }
    m_valid = true;
}

bool damageTablePage(const QString &databasePath, const QString &table)
{
    int root = 0;
    int pageSize = 0;
    {
        ProjectDatabase database(databasePath);
        if (!database.open())
            return false;
        QSqlQuery q = database.query();
        if (!ProjectDatabase::exec(
                q, QStringLiteral("select rootpage from sqlite_master where name=?"), {table}) ||
            !q.next())
            return false;
        root = q.value(0).toInt();
        q.finish();
        if (!q.exec(QStringLiteral("pragma page_size")) || !q.next())
            return false;
        pageSize = q.value(0).toInt();
    }
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    int page = root;
    for (int depth = 0; depth < 8; ++depth) {
        file.seek(qint64(page - 1) * pageSize);
        const QByteArray bytes = file.read(pageSize);
        if (bytes.size() != pageSize)
            return false;
        const quint8 type = quint8(bytes.at(0));
        if (type == 0x0D) { // table leaf
            if (page == root)
                return false;
            file.seek(qint64(page - 1) * pageSize);
            return file.write(QByteArray(pageSize, '\xFF')) == pageSize && file.flush();
        }
        if (type != 0x05) // table interior: follow the middle child
            return false;
        const int cells = (quint8(bytes.at(3)) << 8) | quint8(bytes.at(4));
        const int cell = 12 + 2 * (cells / 2);
        const int offset = (quint8(bytes.at(cell)) << 8) | quint8(bytes.at(cell + 1));
        page = int(qFromBigEndian<quint32>(bytes.constData() + offset));
    }
    return false;
}

SchemaVersion::Step testSchemaStep(TestStep kind, const QString &pauseMarker)
{
    SchemaVersion::Step step;
    step.description = QStringLiteral("test step");
    step.statements << QStringLiteral("create table kx_test_step (a integer)")
                    << (kind == TestStep::Failing
                            ? QStringLiteral("insert into no_such_table values (1)")
                            : QStringLiteral("insert into kx_test_step values (1)"));
    if (kind == TestStep::Pausing) {
        step.migrate = [pauseMarker](QSqlQuery &, QString *) {
            QFile marker(pauseMarker);
            if (marker.open(QIODevice::WriteOnly))
                marker.close();
            QThread::sleep(60);
            return true;
        };
    }
    return step;
}

QString folderFingerprint(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QByteArray hash;
        if (file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(QDir(folder).relativeFilePath(path))
                     .arg(it.fileInfo().size())
                     .arg(it.fileInfo().lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(hash));
    }
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

} // namespace TestSupport

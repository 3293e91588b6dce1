#include "support/testsupport.h"

#include "db/projectdatabase.h"
#include "db/projectschema.h"

#include <QDir>

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

TempProject::TempProject(const QString &name)
{
    m_folder = m_dir.path() + QLatin1Char('/') + name;
    if (!QDir().mkpath(m_folder))
        return;
    m_databasePath = ProjectDatabase::databasePathForProject(m_folder);
    m_valid = !ProjectSchema::createProjectDatabase(m_databasePath).isValid();
}

} // namespace TestSupport

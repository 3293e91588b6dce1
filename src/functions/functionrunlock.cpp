#include "functions/functionrunlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first bytes of the lock file, read without following a link and
// without blocking on a special file; empty when it cannot be read.
QByteArray lockFileHead(const QString &path, bool *held)
{
    *held = false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    struct stat status;
    QByteArray head;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        // A live holder keeps its lock file locked as long as it runs.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
            *held = errno == EWOULDBLOCK;
        else
            ::flock(fd, LOCK_UN);
        head.resize(512);
        const ssize_t got = ::read(fd, head.data(), size_t(head.size()));
        head.resize(got > 0 ? int(got) : 0);
    }
    ::close(fd);
    return head;
}

} // namespace

FunctionRunLock::FunctionRunLock(const QString &projectFolder)
    : m_path(lockFilePath(projectFolder)), m_file(m_path)
{
    // A run may take hours: only a holder that is gone makes the lock stale.
    m_file.setStaleLockTime(0);
}

bool FunctionRunLock::tryLock(int timeoutMs)
{
    if (m_file.tryLock(0))
        return true;
    if (m_file.error() != QLockFile::LockFailedError)
        return false;
    if (takeOverStale() && m_file.tryLock(0))
        return true;
    return timeoutMs > 0 && m_file.tryLock(timeoutMs);
}

bool FunctionRunLock::takeOverStale()
{
    bool held = false;
    const QList<QByteArray> lines = lockFileHead(m_path, &held).split('\n');
    if (held)
        return false;
    bool numeric = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&numeric);
    const QString host = QString::fromUtf8(lines.value(2).trimmed());
    if (numeric && pid > 0) {
        // A holder on another host cannot be asked; it keeps its lock.
        if (!host.isEmpty() && host != QSysInfo::machineHostName())
            return false;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            return false;
    }
    // Empty, garbled or naming a process that is gone: nobody holds it. Two
    // takers remove it one after the other under a lock of their own.
    QLockFile removal(m_path + QStringLiteral(".rmlock"));
    if (!removal.tryLock(0))
        return false;
    return m_file.removeStaleLockFile() || !QFileInfo::exists(m_path);
}

void FunctionRunLock::unlock()
{
    m_file.unlock();
}

QString FunctionRunLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_file.getLockInfo(&pid, &host, &application))
        return QString();
    if (application.isEmpty())
        application = QCoreApplication::translate("FunctionRunLock", "another program");
    return QCoreApplication::translate("FunctionRunLock", "%1 (process %2 on %3)")
        .arg(application)
        .arg(pid)
        .arg(host);
}

QString FunctionRunLock::refusal() const
{
    const QString file = QDir::toNativeSeparators(m_path);
    switch (m_file.error()) {
    case QLockFile::LockFailedError: {
        QString who = holder();
        if (who.isEmpty())
            who = QCoreApplication::translate("FunctionRunLock", "another program");
        return QCoreApplication::translate(
                   "FunctionRunLock", "The project is in use by %1 (lock file '%2'); try again.")
            .arg(who, file);
    }
    case QLockFile::PermissionError:
        return QCoreApplication::translate(
                   "FunctionRunLock",
                   "The project folder '%1' is read-only: the run lock '%2' cannot be "
                   "made. Nothing was run.")
            .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()), file);
    default:
        return QCoreApplication::translate(
                   "FunctionRunLock",
                   "The run lock '%1' cannot be made (disk full or folder missing?). "
                   "Nothing was run.")
            .arg(file);
    }
}

QString FunctionRunLock::lockFilePath(const QString &projectFolder)
{
    return QDir(QDir::fromNativeSeparators(projectFolder))
        .filePath(QStringLiteral(".kelvara-run.lock"));
}

#include "functions/functionrunlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

FunctionRunLock::FunctionRunLock(const QString &projectFolder) : m_file(lockFilePath(projectFolder))
{
    // A run may take hours: only a holder that is gone makes the lock stale.
    m_file.setStaleLockTime(0);
}

bool FunctionRunLock::tryLock(int timeoutMs)
{
    return m_file.tryLock(timeoutMs);
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

QString FunctionRunLock::lockFilePath(const QString &projectFolder)
{
    return QDir(QDir::fromNativeSeparators(projectFolder))
        .filePath(QStringLiteral(".kelvara-run.lock"));
}

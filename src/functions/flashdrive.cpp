#include "functions/flashdrive.h"

#include "core/errortext.h"
#include "core/filewriter.h"
#include "db/entryrecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray JobWriteConfig = QByteArrayLiteral("write-config");
const QByteArray JobWriteAccess = QByteArrayLiteral("write-access");
const QByteArray JobReadAccess = QByteArrayLiteral("read-access");
const QByteArray JobReadEvent = QByteArrayLiteral("read-event");

// Looked at without following a link: a dangling link is refused as well.
bool refused(const QString &path, bool folder)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return true;
    if (!info.exists())
        return false;
    return folder ? !info.isDir() : !info.isFile();
}

// Opens a regular file for reading: no link is followed and a FIFO neither
// blocks the open nor is read.
bool openRegularForReading(QFile &file, const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

} // namespace

bool FlashDrive::isVolumeRoot(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    const QString canonical = info.canonicalFilePath();
    const QStorageInfo storage(canonical);
    if (!storage.isValid() || !storage.isReady())
        return false;
    return storage.rootPath() == canonical && !storage.isRoot();
}

bool FlashDrive::choose(const QString &path)
{
    if (!isVolumeRoot(path))
        return false;
    setDrivePath(QDir::toNativeSeparators(QFileInfo(path).canonicalFilePath()));
    return true;
}

void FlashDrive::setDrivePath(const QString &path)
{
    m_drivePath = path;
    m_anchor = FileWriter::anchorAt(path);
}

void FlashDrive::clear()
{
    m_drivePath.clear();
    m_anchor = FileWriter::Anchor();
}

bool FlashDrive::driveReady() const
{
    return !m_drivePath.isEmpty() && FileWriter::stillThere(m_anchor);
}

quint32 FlashDrive::deviceIdOf(const QString &readerSerNo)
{
    bool ok = false;
    const quint32 id = readerSerNo.trimmed().toUInt(&ok, 16);
    return ok ? id : 0;
}

QString FlashDrive::deviceFolderName(quint32 deviceId)
{
    return QStringLiteral("%1").arg(deviceId, 8, 16, QLatin1Char('0')).toUpper();
}

QString FlashDrive::readerFolder(quint32 deviceId, bool create) const
{
    if (!driveReady())
        return QString();
    const QString folder = QDir::toNativeSeparators(QStringLiteral("%1/%2").arg(
        QDir::fromNativeSeparators(m_drivePath), deviceFolderName(deviceId)));
    if (refused(folder, true))
        return QString();
    if (create && !FileWriter::makeFolder(folder, m_anchor))
        return QString();
    return folder;
}

QString FlashDrive::fileInReaderFolder(quint32 deviceId, const QString &fileName) const
{
    const QString folder = readerFolder(deviceId, true);
    if (folder.isEmpty())
        return QString();
    const QString path = folder + QDir::separator() + fileName;
    if (refused(path, false))
        return QString();
    return path;
}

QString FlashDrive::refusal(quint32 deviceId, const QString &fileName) const
{
    if (!driveReady())
        return QString();
    const QString root = QDir::fromNativeSeparators(m_drivePath);
    const QString folder = root + QLatin1Char('/') + deviceFolderName(deviceId);
    QString path;
    if (refused(root + QStringLiteral("/JOB"), false))
        path = root + QStringLiteral("/JOB");
    else if (refused(folder, true))
        path = folder;
    else if (!fileName.isEmpty() && refused(folder + QLatin1Char('/') + fileName, false))
        path = folder + QLatin1Char('/') + fileName;
    if (path.isEmpty())
        return QString();
    return tr("'%1' on the USB-stick is a link or a special file; it is neither followed nor "
              "written. Remove it and try again.")
        .arg(QDir::toNativeSeparators(path));
}

QString FlashDrive::accessFilePath(quint32 deviceId) const
{
    return fileInReaderFolder(deviceId, QStringLiteral("ACCESS.INI"));
}

QString FlashDrive::configFilePath(quint32 deviceId) const
{
    return fileInReaderFolder(deviceId, QStringLiteral("CONFIG.INI"));
}

QString FlashDrive::jobFilePath() const
{
    if (!driveReady())
        return QString();
    return QDir::toNativeSeparators(QDir::fromNativeSeparators(m_drivePath) +
                                    QStringLiteral("/JOB"));
}

FlashDrive::Jobs FlashDrive::parseJobFile(const QByteArray &content)
{
    Jobs jobs;
    jobs.writeConfig = content.contains(JobWriteConfig);
    jobs.writeAccess = content.contains(JobWriteAccess);
    jobs.readAccess = content.contains(JobReadAccess);
    jobs.readEvent = content.contains(JobReadEvent);
    return jobs;
}

QByteArray FlashDrive::jobFileContent(const Jobs &jobs)
{
    QByteArray content;
    if (jobs.writeConfig)
        content += JobWriteConfig + '\n';
    if (jobs.writeAccess)
        content += JobWriteAccess + '\n';
    if (jobs.readAccess)
        content += JobReadAccess + '\n';
    if (jobs.readEvent)
        content += JobReadEvent + '\n';
    return content;
}

bool FlashDrive::readJob(Jobs &jobs) const
{
    jobs = Jobs();
    const QString path = jobFilePath();
    if (path.isEmpty())
        return false;
    QFile file;
    if (!openRegularForReading(file, path))
        return false;
    jobs = parseJobFile(file.readAll());
    return true;
}

bool FlashDrive::writeJob(const Jobs &jobs) const
{
    const QString path = jobFilePath();
    if (path.isEmpty() || refused(path, false))
        return false;
    // A JOB naming nothing is still written, but it is no job: a failure.
    const QByteArray content = jobFileContent(jobs);
    return FileWriter::replaceFile(path, content, m_anchor) && !content.isEmpty();
}

bool FlashDrive::setWriteAccessJob() const
{
    Jobs jobs;
    readJob(jobs);
    jobs.writeAccess = true;
    return writeJob(jobs);
}

bool FlashDrive::setWriteConfigJob() const
{
    Jobs jobs;
    readJob(jobs);
    jobs.writeConfig = true;
    return writeJob(jobs);
}

FlashDrive::PrepareResult FlashDrive::prepareDrive(const QString &databasePath) const
{
    PrepareResult result;
    result.critical = true;
    QStringList serialNumbers;
    const QSqlError error = EntryRecords::flashDriveReaders(databasePath, serialNumbers);
    if (error.isValid()) {
        result.message = databaseErrorText(error);
        return result;
    }
    if (serialNumbers.isEmpty()) {
        result.critical = false;
        result.message =
            tr("All reader are accessible.\nWe don't need an USB-stick for configuration.");
        return result;
    }
    // Without a drive nothing below could work; say so instead of failing later.
    if (!driveReady()) {
        result.message = tr("Write file error");
        return result;
    }
    // Nothing is removed through a link: it could lead off the drive.
    for (const QString &serialNumber : serialNumbers) {
        for (const QString &fileName :
             {QStringLiteral("ACCESS.INI"), QStringLiteral("CONFIG.INI")}) {
            const QString refusedPath = refusal(deviceIdOf(serialNumber), fileName);
            if (!refusedPath.isEmpty()) {
                result.message = refusedPath;
                return result;
            }
        }
    }
    const QString jobPath = jobFilePath();
    if (QFile::exists(jobPath) && !QFile::remove(jobPath)) {
        result.message = tr("Cannot remove file 'JOB' from USB-stick");
        return result;
    }
    for (const QString &serialNumber : serialNumbers) {
        const quint32 deviceId = deviceIdOf(serialNumber);
        if (deviceId == 0)
            continue;
        const QString folder = readerFolder(deviceId, true);
        if (folder.isEmpty()) {
            result.message = tr("Create path error");
            return result;
        }
        QFile::remove(folder + QDir::separator() + QStringLiteral("ACCESS.INI"));
        QFile::remove(folder + QDir::separator() + QStringLiteral("CONFIG.INI"));
    }
    // The job file was removed above, so only the event read stays.
    Jobs jobs;
    jobs.readEvent = true;
    if (!writeJob(jobs)) {
        result.message = tr("Write file error");
        return result;
    }
    result.ok = true;
    result.critical = false;
    return result;
}

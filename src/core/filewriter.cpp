#include "core/filewriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileWriter {

namespace {

std::atomic<qint64> g_spaceLeft{-1};

// The bytes of size the test limit still takes; fewer on a "full" disk,
// which then takes nothing more, as a real one cuts a write short.
qint64 takeSpace(qint64 size)
{
    qint64 left = g_spaceLeft.load();
    while (left >= 0) {
        const qint64 taken = qMin(left, size);
        if (g_spaceLeft.compare_exchange_weak(left, left - taken))
            return taken;
    }
    return size;
}

} // namespace

bool write(QFileDevice &file, const QByteArray &bytes)
{
    const qint64 room = takeSpace(bytes.size());
    return file.write(bytes.constData(), room) == bytes.size() &&
           file.error() == QFileDevice::NoError;
}

bool flush(QFileDevice &file)
{
    return file.flush() && file.error() == QFileDevice::NoError;
}

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// The folder and the name of a path, '/' separated.
bool splitPath(const QString &path, QString &folder, QString &name)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const int slash = clean.lastIndexOf(QLatin1Char('/'));
    folder =
        slash > 0 ? clean.left(slash) : (slash == 0 ? QStringLiteral("/") : QStringLiteral("."));
    name = clean.mid(slash + 1);
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..");
}

// An open descriptor of the folder, or -1. With an anchor the walk starts at
// its root, which must still be the folder pinned, and follows no link.
int openFolder(const QString &folder, const Anchor &anchor)
{
    if (!anchor.isSet())
        return ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const QString root = QDir::cleanPath(QDir::fromNativeSeparators(anchor.root));
    QString below;
    if (folder != root) {
        if (!folder.startsWith(root + QLatin1Char('/')))
            return -1;
        below = folder.mid(root.size() + 1);
    }
    int fd = ::open(native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat status;
    if (fd < 0 || ::fstat(fd, &status) != 0 || quint64(status.st_dev) != anchor.device ||
        quint64(status.st_ino) != anchor.inode) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    for (const QString &part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const int next = part == QLatin1String("..")
                             ? -1
                             : ::openat(fd, native(part).constData(),
                                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        if (next < 0)
            return -1;
        fd = next;
    }
    return fd;
}

bool writeAt(int folderFd, const QString &name, const QByteArray &content)
{
    const QByteArray target = native(name);
    const QByteArray temporary =
        native(QStringLiteral(".%1.%2.tmp")
                   .arg(name)
                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    const int fd = ::openat(folderFd, temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = false;
    {
        QFile file;
        if (file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            ok = write(file, content) && flush(file);
    }
    // On the disk before the rename, so a power cut leaves the old file or the new one.
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::renameat(folderFd, temporary.constData(), folderFd, target.constData()) == 0)
        return true;
    ::unlinkat(folderFd, temporary.constData(), 0);
    return false;
}

} // namespace

Anchor anchorAt(const QString &folder)
{
    Anchor anchor;
    struct stat status;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (folder.isEmpty() || ::stat(native(clean).constData(), &status) != 0 ||
        !S_ISDIR(status.st_mode))
        return anchor;
    anchor.root = clean;
    anchor.device = quint64(status.st_dev);
    anchor.inode = quint64(status.st_ino);
    return anchor;
}

bool stillThere(const Anchor &anchor)
{
    if (!anchor.isSet())
        return false;
    const Anchor now = anchorAt(anchor.root);
    return now.isSet() && now.device == anchor.device && now.inode == anchor.inode;
}

namespace {

// Runs the work on the folder of the path, opened as openFolder does, with
// the name in it.
template<typename Work> bool inFolder(const QString &path, const Anchor &anchor, Work &&work)
{
    QString folder, name;
    if (!splitPath(path, folder, name))
        return false;
    const int folderFd = openFolder(folder, anchor);
    if (folderFd < 0)
        return false;
    const bool ok = work(folderFd, name);
    ::close(folderFd);
    return ok;
}

} // namespace

bool replaceFile(const QString &path, const QByteArray &content, const Anchor &anchor)
{
    return inFolder(path, anchor, [&](int folderFd, const QString &name) {
        return writeAt(folderFd, name, content);
    });
}

bool makeFolder(const QString &path, const Anchor &anchor)
{
    return inFolder(path, anchor, [](int folderFd, const QString &name) {
        const QByteArray target = native(name);
        struct stat status;
        return (::mkdirat(folderFd, target.constData(), 0777) == 0 || errno == EEXIST) &&
               ::fstatat(folderFd, target.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISDIR(status.st_mode);
    });
}

void setSpaceLeftForTesting(qint64 bytes)
{
    g_spaceLeft.store(bytes);
}

} // namespace FileWriter

#include "core/projectfolder.h"

#include "core/archivetool.h"
#include "core/paths.h"
#include "db/projectdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QStringList ProjectFolder::databaseFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.%1").arg(QStringLiteral("sqlite3"))},
                                  QDir::Files, QDir::Name);
}

bool ProjectFolder::createFolders(const QString &folder)
{
    return QDir().mkpath(folder) && QDir().mkpath(projectLogPath(folder)) &&
           QDir().mkpath(projectDataPath(folder));
}

bool ProjectFolder::isValidName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

ProjectFolder::RenameResult ProjectFolder::rename(const QString &folder, const QString &newName,
                                                  QString *newFolder)
{
    if (!isValidName(newName))
        return RenameResult::InvalidName;
    const QFileInfo info(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
    QDir parent = info.absoluteDir();
    const QString oldName = info.fileName();
    const QString renamed = parent.absoluteFilePath(newName);
    // Checked first: on Linux a rename onto an empty folder would replace it.
    if (QFileInfo(renamed).exists() || QFileInfo(renamed).isSymLink())
        return RenameResult::NameExists;
    if (!parent.rename(oldName, newName))
        return RenameResult::FolderNotRenamed;

    auto rollBack = [&](RenameResult result) {
        parent.rename(newName, oldName);
        return result;
    };
    const QStringList databases = databaseFiles(renamed);
    if (databases.size() != 1)
        return rollBack(RenameResult::NotOneDatabase);
    const QString from = QStringLiteral("%1/%2").arg(renamed, databases.first());
    const QString to = ProjectDatabase::databasePathForProject(renamed);
    if (from != to && !QFile::rename(from, to))
        return rollBack(RenameResult::DatabaseNotRenamed);
    if (newFolder)
        *newFolder = renamed;
    return RenameResult::Renamed;
}

ProjectFolder::AdoptResult ProjectFolder::adoptDatabase(const QString &folder)
{
    const QString path =
        QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(folder))).absoluteFilePath();
    const QStringList databases = databaseFiles(path);
    if (databases.size() != 1)
        return AdoptResult::NotOneDatabase;
    const QString from = QStringLiteral("%1/%2").arg(path, databases.first());
    const QString to = ProjectDatabase::databasePathForProject(path);
    if (from != to && !QFile::rename(from, to))
        return AdoptResult::DatabaseNotRenamed;
    return AdoptResult::Adopted;
}

int ProjectFolder::writeBackup(const QString &archive, const QString &folder)
{
    return ArchiveTool::writeArchive(archive, folder, {runLockFileName()});
}

QStringList ProjectFolder::missingEntries(const QString &target, const QStringList &names)
{
    QStringList missing;
    const QDir dir(target);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            missing << name;
    }
    return missing;
}

void ProjectFolder::removeUnpacked(const QString &target, const QStringList &names)
{
    const QDir dir(target);
    QStringList folders;
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink())
            folders << path;
        else
            QFile::remove(path);
    }
    for (const QString &database : databaseFiles(target)) {
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(dir.filePath(database + QLatin1String(suffix)));
    }
    // Deepest first, and only what is empty: nothing the user had is lost.
    std::sort(folders.begin(), folders.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &folder : qAsConst(folders))
        QDir().rmdir(folder);
}

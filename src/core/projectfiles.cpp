#include "core/projectfiles.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>

namespace ProjectFiles {

void pruneFiles(const QString &folder, const QString &pattern, int keep)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({pattern}, QDir::Files, QDir::Name | QDir::Reversed);
    for (int i = qMax(keep, 0); i < names.size(); ++i)
        QFile::remove(dir.filePath(names.at(i)));
}

void cleanUpProjectFiles(const QString &projectFolder)
{
    const QDir logDir(projectLogPath(projectFolder));
    for (const QString &sub : logDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        pruneFiles(logDir.filePath(sub), QStringLiteral("log-*.log"), 5);
    const QDir dataDir(projectDataPath(projectFolder));
    for (const QString &sub : dataDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        pruneFiles(dataDir.filePath(sub), QStringLiteral("event-*.csv"), 62);
}

} // namespace ProjectFiles

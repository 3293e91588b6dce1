#include "core/paths.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

QString appDataPath()
{
    return QStringLiteral("%1/Kelvara-Manager").arg(QDir::cleanPath(QDir::homePath()));
}

QString settingsFilePath()
{
    return QStringLiteral("%1/Kelvara-Manager.ini").arg(appDataPath());
}

QString toolsPath()
{
    return QStringLiteral("%1/tools").arg(QDir::cleanPath(QCoreApplication::applicationDirPath()));
}

QString manualPath()
{
    return QStringLiteral("%1/doc").arg(QDir::cleanPath(QCoreApplication::applicationDirPath()));
}

QString manualFileName(const QStringList &uiLanguages, bool translate)
{
    if (translate && !uiLanguages.isEmpty() && uiLanguages.first().startsWith(QLatin1String("de")))
        return QStringLiteral("Kelvara-Manager-Manual-de.pdf");
    return QStringLiteral("Kelvara-Manager-Manual-en.pdf");
}

QString projectLogPath(const QString &projectFolder)
{
    return QStringLiteral("%1/log").arg(projectFolder);
}

QString projectDataPath(const QString &projectFolder)
{
    return QStringLiteral("%1/data").arg(projectFolder);
}

QString entryLogPath(const QString &projectFolder, const QString &entryKey)
{
    return QStringLiteral("%1/log/log-%2").arg(projectFolder, entryKey);
}

QString entryDataPath(const QString &projectFolder, const QString &entryKey)
{
    return QStringLiteral("%1/data/data-%2").arg(projectFolder, entryKey);
}

QString dailyLogFileName()
{
    return QStringLiteral("log-%1.log")
        .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

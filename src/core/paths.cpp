#include "core/paths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QSet>

#include <algorithm>

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

namespace {

// A folder name holds at most 255 bytes. A longer one is cut and told
// apart from others cut alike by a hash of the whole key; every name that
// fits keeps the folder it always had.
QString entryFolder(const QString &prefix, const QString &entryKey)
{
    constexpr int MaxNameBytes = 255;
    QString name = prefix + safeFolderName(entryKey);
    if (name.toUtf8().size() <= MaxNameBytes)
        return name;
    const QString tag =
        QLatin1Char('~') +
        QString::fromLatin1(
            QCryptographicHash::hash(entryKey.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    while (!name.isEmpty() && (name + tag).toUtf8().size() > MaxNameBytes)
        name.chop(name.size() > 1 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return name + tag;
}

} // namespace

QString entryLogPath(const QString &projectFolder, const QString &entryKey)
{
    return QStringLiteral("%1/log/%2")
        .arg(projectFolder, entryFolder(QStringLiteral("log-"), entryKey));
}

QString entryDataPath(const QString &projectFolder, const QString &entryKey)
{
    return QStringLiteral("%1/data/%2")
        .arg(projectFolder, entryFolder(QStringLiteral("data-"), entryKey));
}

QString safeFolderName(const QString &name)
{
    QString safe = name;
    for (int i = 0; i < safe.size(); ++i) {
        const QChar c = safe.at(i);
        const bool unsafe =
            c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control ||
            (c == QLatin1Char('.') && (i == 0 || safe.at(i - 1) == QLatin1Char('.')));
        if (unsafe)
            safe[i] = QLatin1Char('_');
    }
    return safe;
}

QHash<int, QString> entryFolderKeys(const QList<EntryFolderSource> &entries)
{
    QHash<QString, int> nameCount;
    for (const EntryFolderSource &entry : entries)
        ++nameCount[entry.doorName];

    // Plain names first, so every other key is measured against them.
    QHash<int, QString> keys;
    QSet<QString> used;
    for (const EntryFolderSource &entry : entries) {
        if (nameCount.value(entry.doorName) == 1 &&
            safeFolderName(entry.doorName) == entry.doorName) {
            keys.insert(entry.pkDoors, entry.doorName);
            used.insert(entry.doorName);
        }
    }
    QList<EntryFolderSource> others;
    for (const EntryFolderSource &entry : entries) {
        if (!keys.contains(entry.pkDoors))
            others << entry;
    }
    std::sort(others.begin(), others.end(),
              [](const EntryFolderSource &a, const EntryFolderSource &b) {
                  return a.pkDoors < b.pkDoors;
              });
    for (const EntryFolderSource &entry : qAsConst(others)) {
        const QString base = entry.areaName.isEmpty()
                                 ? safeFolderName(entry.doorName)
                                 : QStringLiteral("%1 (%2)").arg(safeFolderName(entry.doorName),
                                                                 safeFolderName(entry.areaName));
        QString key = base;
        for (int n = 1; used.contains(key); ++n)
            key = n == 1 ? QStringLiteral("%1 #%2").arg(base).arg(entry.pkDoors)
                         : QStringLiteral("%1 #%2-%3").arg(base).arg(entry.pkDoors).arg(n);
        keys.insert(entry.pkDoors, key);
        used.insert(key);
    }
    return keys;
}

QString dailyLogFileName()
{
    return QStringLiteral("log-%1.log")
        .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

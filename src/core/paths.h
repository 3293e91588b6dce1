#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Fixed folder and file names of the application and of a project. None of
// these functions creates anything.

// "<home>/Kelvara-Manager": settings file and demo project live here.
QString appDataPath();
// "<appDataPath>/Kelvara-Manager.ini"
QString settingsFilePath();
// "<program folder>/tools" and "<program folder>/doc"
QString toolsPath();
QString manualPath();
// The manual PDF in the manual folder for the interface language: the German
// one when translation is on and the first user-interface language starts
// with "de", the English one otherwise.
QString manualFileName(const QStringList &uiLanguages, bool translate);

QString projectLogPath(const QString &projectFolder);
QString projectDataPath(const QString &projectFolder);
// "%1/log/log-%2" and "%1/data/data-%2" with the entry's folder key (see
// entryFolderKeys); a key that is not a safe folder name is made one, so the
// path never leaves the project.
QString entryLogPath(const QString &projectFolder, const QString &entryKey);
QString entryDataPath(const QString &projectFolder, const QString &entryKey);

// The name itself when it is a safe folder name; otherwise "/", "\",
// control characters, a leading dot and the second dot of ".." become "_".
QString safeFolderName(const QString &name);

// What an entry's folder key is made of.
struct EntryFolderSource
{
    int pkDoors = 0;
    QString doorName;
    QString areaName;
};

// The folder key of every entry, by PKdoors: the entry name where it is a
// safe folder name that no other entry has; otherwise the safe form of the
// name with the area in brackets ("Main Entrance (Hall)"), and the entry's
// key added ("#12") where that still meets another key. Keys are unique.
QHash<int, QString> entryFolderKeys(const QList<EntryFolderSource> &entries);

// "log-yyyy-MM-dd.log" for today.
QString dailyLogFileName();

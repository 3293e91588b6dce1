#pragma once

#include <QString>

// Fixed folder and file names of the application and of a project. None of
// these functions creates anything.

// "<home>/Kelvara-Manager": settings file and demo project live here.
QString appDataPath();
// "<appDataPath>/Kelvara-Manager.ini"
QString settingsFilePath();
// "<program folder>/tools" and "<program folder>/doc"
QString toolsPath();
QString manualPath();

QString projectLogPath(const QString &projectFolder);
QString projectDataPath(const QString &projectFolder);
QString entryLogPath(const QString &projectFolder, const QString &entryKey);
QString entryDataPath(const QString &projectFolder, const QString &entryKey);

// "log-yyyy-MM-dd.log" for today.
QString dailyLogFileName();

#pragma once

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
QString entryLogPath(const QString &projectFolder, const QString &entryKey);
QString entryDataPath(const QString &projectFolder, const QString &entryKey);

// "log-yyyy-MM-dd.log" for today.
QString dailyLogFileName();

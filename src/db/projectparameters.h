#pragma once

#include "db/selectionmask.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTimeZone>

// The project's options, kept as tag/value rows of the "project" table.
struct ProjectParameters
{
    Q_DECLARE_TR_FUNCTIONS(ProjectParameters)

public:
    QString projectPath;
    QString databasePath;
    bool isSecureProject = false;
    bool haveHfReader = true;
    bool supportIso15693 = false;
    int hfIddLength = 7;
    bool haveUhfReader = false;
    int uhfIddLength = 12;
    SelectionMask uhfSelectionMask1;
    SelectionMask uhfSelectionMask2;
    SelectionMask uhfSelectionMask3;
    double defaultRelaisHoldTime = 1.0;
    // The time zone of the site, an IANA name such as "Europe/Berlin"; empty
    // for this computer's. Reader clocks are set to it and every time shown
    // or taken is one of the site, so a job on a server in UTC keeps the
    // readers on the site's time.
    QString siteTimeZone;
    // Stored events older than this many days are removed after each read;
    // 0 keeps them for ever.
    int keepEventsDays = 0;
    static constexpr int MaxKeepEventsDays = 36500;

    QTimeZone siteZone() const;
    // Now, and today, on the site's clocks.
    QDateTime siteNow() const;
    QDate siteToday() const { return siteNow().date(); }
    // The wall-clock time at the site; invalid when the site's clocks skip
    // it (the hour daylight saving time leaves out).
    QDateTime siteMoment(const QDate &date, const QTime &time) const;
    static bool isTimeZoneName(const QString &name);

    // Resets to the defaults and reads every tag; false when the database does
    // not open (the defaults then stay).
    bool loadProjectParameters();
    // Reads every tag on an open connection (missing ones give their defaults).
    void readTags(QSqlQuery &q);
    // Writes every tag in one transaction with the audit record of what
    // changed; false when the database does not open or a tag cannot be
    // written (nothing is changed then).
    bool saveProjectParameters() const;

    // Widens every stored short-range identifier to the new length and marks
    // the short-range entries, in one transaction; sets hfIddLength on success.
    // The caller saves the parameters.
    QSqlError changeHfIddLength(int newLength);

    // A change of the project settings, as the window's project settings and
    // kelvara-cli make it. Identifier lengths a reader's tables take.
    static constexpr int MinIddLength = 1;
    static constexpr int MaxIddLength = 64;
    // The longest relay hold time a reader takes, in seconds (tenths in a byte).
    static constexpr double MaxRelaisHoldTime = 25.5;
    // ISO 15693 identifiers have 8 bytes: raises next.hfIddLength to 8.
    static void completeSettings(ProjectParameters &next);
    // Why next cannot replace these settings (one line); empty when it can.
    // entries: how many entries the project has.
    QString settingsProblem(const ProjectParameters &next, int entries) const;
    // Checks and writes next in one transaction. A longer short-range length
    // widens the stored identifiers and marks the short-range entries
    // (*widened tells); another long-range length marks the long-range
    // entries. On success these parameters become next (paths kept).
    QSqlError saveSettings(const ProjectParameters &next, bool *widened = nullptr);
};

// One getter and one setter per tag, on a query of an open connection. A
// missing row or a value that does not parse gives the missing-row value.
namespace ProjectTags {

bool isSecureProject(QSqlQuery &q);
bool setIsSecureProject(QSqlQuery &q, bool value);
bool haveHfReader(QSqlQuery &q);
bool setHaveHfReader(QSqlQuery &q, bool value);
bool supportIso15693(QSqlQuery &q);
bool setSupportIso15693(QSqlQuery &q, bool value);
int hfIddLength(QSqlQuery &q);
bool setHfIddLength(QSqlQuery &q, int value);
bool haveUhfReader(QSqlQuery &q);
bool setHaveUhfReader(QSqlQuery &q, bool value);
int uhfIddLength(QSqlQuery &q);
bool setUhfIddLength(QSqlQuery &q, int value);
// index 1..3
SelectionMask uhfSelectionMask(QSqlQuery &q, int index);
bool setUhfSelectionMask(QSqlQuery &q, int index, const SelectionMask &mask);
double defaultRelaisHoldTime(QSqlQuery &q);
bool setDefaultRelaisHoldTime(QSqlQuery &q, double value);
// Empty when the tag is missing or names no time zone known here.
QString siteTimeZone(QSqlQuery &q);
bool setSiteTimeZone(QSqlQuery &q, const QString &name);
int keepEventsDays(QSqlQuery &q);
bool setKeepEventsDays(QSqlQuery &q, int days);

// "2.5", "3.0": fixed notation with one decimal place.
QString holdTimeText(double value);

// Writes every tag of the parameters; false at the first that fails.
bool writeAll(QSqlQuery &q, const ProjectParameters &p);

} // namespace ProjectTags

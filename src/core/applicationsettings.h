#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// The per-user settings file ("Kelvara-Manager.ini"). Read once when the main
// window is built, written once when it goes away.
class ApplicationSettings
{
public:
    QString currentProjectPath;
    bool isMaximized = true;
    QRect mainWindowGeometry{200, 200, 1200, 600};
    bool areToolTipsOn = true;
    QString hfProgrammerReader;
    QString uhfProgrammerReader;
    int uhfRegion = 6;
    // Readers a function serves at the same time (1: one after another).
    static constexpr int MaxParallelEntries = 32;
    int parallelEntries = 4;
    // An update reads and keeps a reader's events before its tables clear them.
    bool readEventsBeforeUpdate = true;
    // The last projects opened, the latest first (at most five).
    QStringList recentProjects;

    QRect editUserDialogGeometry{100, 100, 400, 200};
    QRect editDoorDialogGeometry{100, 100, 300, 200};
    QRect editTimeModelDialogGeometry{100, 100, 350, 200};
    QRect editHolidaysDialogGeometry{100, 100, 400, 300};
    QRect editHolidayDateDialogGeometry{100, 100, 400, 300};
    QRect functionDialogGeometry{100, 100, 600, 400};
    QRect functionLogWindowGeometry{100, 100, 300, 150};
    QRect selectReaderDialogGeometry{100, 100, 600, 500};
    QRect generalSettingsDialogGeometry{100, 100, 400, 400};
    QRect projectSettingsDialogGeometry{100, 100, 400, 400};

    QList<int> usersTableColWidth;
    QList<int> doorsTableColWidth;
    QList<int> timesTableColWidth;
    QList<int> holidaysTableColWidth;
    QList<int> functionTableColWidth;
    QList<int> eventsTableColWidth;

    // Reads every key; a missing file, a missing key or a value that does not
    // read as its type yields the default.
    void loadSettings(const QString &filePath);
    void loadSettings();

    // Writes the whole record, replacing the file's keys. Nothing is written
    // while no project is current. False when the file could not be written.
    bool saveSettings(const QString &filePath) const;
    bool saveSettings() const;
};

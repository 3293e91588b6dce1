#pragma once

#include "core/filewriter.h"

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

// The USB flash drive through which readers without a direct link get their
// tables and configuration: one folder per reader named after its device ID,
// and one job file at the root telling the readers what to do.
class FlashDrive
{
    Q_DECLARE_TR_FUNCTIONS(FlashDrive)

public:
    // The jobs, in the order the job file lists them.
    struct Jobs
    {
        bool writeConfig = false;
        bool writeAccess = false;
        bool readAccess = false;
        bool readEvent = false;

        bool operator==(const Jobs &other) const
        {
            return writeConfig == other.writeConfig && writeAccess == other.writeAccess &&
                   readAccess == other.readAccess && readEvent == other.readEvent;
        }
    };

    // The outcome of preparing a drive; message is empty on success.
    struct PrepareResult
    {
        bool ok = false;
        bool critical = false; // false: an information, not a failure of the drive
        QString message;
    };

    FlashDrive() = default;

    // Takes the path as the drive only when it is the root of a mounted
    // volume other than the system root; otherwise nothing changes.
    bool choose(const QString &path);
    static bool isVolumeRoot(const QString &path);

    // Names any folder as the drive, unchecked (tests, the command line).
    // Like choose(), it pins the volume there now.
    void setDrivePath(const QString &path);
    QString drivePath() const { return m_drivePath; }
    void clear();

    // A drive path is set and still names the volume there when it was
    // chosen: unmounted, the path is an empty folder of the system disk.
    bool driveReady() const;
    // What every write on the drive is checked against.
    const FileWriter::Anchor &anchor() const { return m_anchor; }

    // The device ID of a reader serial number: its hexadecimal value, 0 when
    // it is not a hexadecimal number.
    static quint32 deviceIdOf(const QString &readerSerNo);
    // "%1" as 8 upper-case hexadecimal digits.
    static QString deviceFolderName(quint32 deviceId);

    // Below the drive root only plain folders and regular files are used: a
    // link or special file there is refused, never followed or opened (it
    // could lead off the drive, or a FIFO block the program).
    // Empty when the drive is not ready, the folder is refused or cannot be made.
    QString readerFolder(quint32 deviceId, bool create) const;
    // Empty also when the folder or the file is refused.
    QString accessFilePath(quint32 deviceId) const;
    QString configFilePath(quint32 deviceId) const;
    QString jobFilePath() const;
    // The message for a refused JOB, device folder or file of that folder
    // (fileName may be empty); empty when none is refused.
    QString refusal(quint32 deviceId, const QString &fileName) const;

    // A missing, refused or unreadable job file reads as no jobs (and false).
    bool readJob(Jobs &jobs) const;
    // Truncates the file; fails when nothing could be written, so a job file
    // without any job counts as a failure, and when the job file is refused.
    bool writeJob(const Jobs &jobs) const;
    static QByteArray jobFileContent(const Jobs &jobs);
    static Jobs parseJobFile(const QByteArray &content);

    bool setWriteAccessJob() const;
    bool setWriteConfigJob() const;

    // Empties the drive for a new configuration: removes the job file, makes
    // a folder per flash-drive reader of the project without its table and
    // configuration files, and leaves the job "read-event". The message is
    // what the caller shows under "Prepare USB-Stick".
    PrepareResult prepareDrive(const QString &databasePath) const;

private:
    QString fileInReaderFolder(quint32 deviceId, const QString &fileName) const;

    QString m_drivePath;
    FileWriter::Anchor m_anchor;
};

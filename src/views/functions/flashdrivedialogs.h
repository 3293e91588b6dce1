#pragma once

#include <QCoreApplication>
#include <QString>

class FlashDrive;
class QWidget;

// The questions around the USB flash drive: which drive, and whether to
// empty it for a new configuration. Used before a function run and by the
// entry editor.
class FlashDriveDialogs
{
    Q_DECLARE_TR_FUNCTIONS(FlashDriveDialogs)

public:
    // Asks for the drive until a volume root is chosen (true) or the
    // chooser is cancelled (false).
    static bool chooseDrive(QWidget *parent, FlashDrive &drive);
    // Yes: the drive is to be prepared.
    static bool askPrepare(QWidget *parent);
    // Prepares the drive and shows the outcome; true when it was prepared.
    static bool prepareDrive(QWidget *parent, const FlashDrive &drive, const QString &databasePath);
    // Before a run with flash-drive entries: a drive that is ready is used as
    // it is; otherwise one is chosen and, when the user says so, prepared.
    // False when the run must not start.
    static bool makeReady(QWidget *parent, FlashDrive &drive, const QString &databasePath);

    // The folder the chooser starts in: a mounted volume other than the
    // system root, removable media first; "/" when there is none.
    static QString startFolder();

    // Tests and the simulated site: any existing folder other than the system
    // root is taken as the drive.
    static void setAnyFolderAccepted(bool on);
};

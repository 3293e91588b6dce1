#include "views/functions/flashdrivedialogs.h"

#include "functions/flashdrive.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

bool &anyFolderAccepted()
{
    static bool on = false;
    return on;
}

} // namespace

void FlashDriveDialogs::setAnyFolderAccepted(bool on)
{
    anyFolderAccepted() = on;
}

QString FlashDriveDialogs::startFolder()
{
    QString other;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        if (!volume.isValid() || !volume.isReady() || volume.isRoot())
            continue;
        const QString root = volume.rootPath();
        if (root.startsWith(QLatin1String("/media/")) ||
            root.startsWith(QLatin1String("/run/media/")) ||
            root.startsWith(QLatin1String("/mnt/")))
            return root;
        if (other.isEmpty() && !root.startsWith(QLatin1String("/boot")) &&
            !root.startsWith(QLatin1String("/snap/")))
            other = root;
    }
    return other.isEmpty() ? QDir::rootPath() : other;
}

bool FlashDriveDialogs::chooseDrive(QWidget *parent, FlashDrive &drive)
{
    for (;;) {
        const QString choice =
            KxDialogs::getExistingDirectory(parent, tr("Choose USB-Stick"), startFolder());
        if (choice.isEmpty())
            return false;
        bool accepted = false;
        if (anyFolderAccepted()) {
            const QFileInfo info(choice);
            accepted = info.isDir() && info.canonicalFilePath() != QDir::rootPath();
            if (accepted)
                drive.setDrivePath(QDir::toNativeSeparators(info.canonicalFilePath()));
        } else {
            accepted = drive.choose(choice);
        }
        if (accepted)
            return true;
        KxMessageBox::critical(parent, tr("Invalid Path"),
                               QDir::toNativeSeparators(choice) + QStringLiteral("\n") +
                                   QString(40, QLatin1Char(' ')));
    }
}

bool FlashDriveDialogs::askPrepare(QWidget *parent)
{
    return KxMessageBox::question(parent, tr("Prepare USB-Stick"),
                                  tr("Do you want to prepare the USB-stick for a new "
                                     "configuration ?\nAll existing configuration files will be "
                                     "deleted."),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) == QMessageBox::Yes;
}

bool FlashDriveDialogs::prepareDrive(QWidget *parent, const FlashDrive &drive,
                                     const QString &databasePath)
{
    const FlashDrive::PrepareResult result = drive.prepareDrive(databasePath);
    if (!result.message.isEmpty()) {
        if (result.critical)
            KxMessageBox::critical(parent, tr("Prepare USB-Stick"), result.message);
        else
            KxMessageBox::information(parent, tr("Prepare USB-Stick"), result.message);
    }
    return result.ok;
}

bool FlashDriveDialogs::makeReady(QWidget *parent, FlashDrive &drive, const QString &databasePath)
{
    if (drive.driveReady())
        return true;
    if (!chooseDrive(parent, drive))
        return false;
    if (!askPrepare(parent))
        return true;
    if (prepareDrive(parent, drive, databasePath))
        return true;
    // Ask again next time rather than run on a half-prepared drive.
    drive.clear();
    return false;
}

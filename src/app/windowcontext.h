#pragma once

#include "core/applicationsettings.h"
#include "db/projectparameters.h"
#include "functions/flashdrive.h"
#include "views/project/rolepermissions.h"

#include <QString>

// What the main window and its parts share: the settings, the open project's
// database and parameters (databasePath is empty while no valid project is
// open) and the USB flash drive chosen for it. The window owns it; the views
// keep references to its members, so it is never replaced, only changed.
// On a server project the signed-in role is read once when it opens.
struct WindowContext
{
    ApplicationSettings settings;
    QString databasePath;
    ProjectParameters params;
    FlashDrive flashDrive;
    RolePermissions permissions;
    // "user@host:port/database" of a server project, else empty.
    QString server;

    bool isServer() const { return !server.isEmpty(); }
};

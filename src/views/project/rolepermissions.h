#pragma once

#include "db/serverschema.h"

#include <QString>

class QAction;
class QWidget;

// What the signed-in operator may do in the open project. On a server project
// the server's grants decide (ServerSchema's roles); the window only mirrors
// them, so it never offers what the server would refuse. A folder project
// allows everything.
class RolePermissions
{
public:
    enum class Action {
        ChangeRights,  // board cells, undo and redo, group renames
        ChangeUsers,   // users and their identifiers, user list imports
        ChangeEntries, // entries, their readers' configuration (also written to the readers), area
                       // renames
        ChangeTimeModels, // time models and holidays
        ChangeSettings,   // the project settings
        RunFunctions,     // the reader functions (update, clock, events, ...)
    };

    // A folder project: everything allowed.
    RolePermissions() = default;
    static RolePermissions forServer(ServerSchema::Role role);

    bool isServer() const { return m_server; }
    ServerSchema::Role role() const { return m_role; }
    bool may(Action action) const;
    // Empty when allowed, else the sentence for tooltips and status tips.
    QString whyNot(Action action) const;
    // "administrator", "operator", "viewer" in the user's language.
    static QString roleText(ServerSchema::Role role);

    // Enables the action or widget when `why` is empty; else disables it and
    // shows `why` as its tooltip and status tip. Its own tooltip comes back
    // when it is allowed again.
    static void markRefused(QAction *action, const QString &why);
    static void markRefused(QWidget *widget, const QString &why);

private:
    bool m_server = false;
    ServerSchema::Role m_role = ServerSchema::Role::Administrator;
};

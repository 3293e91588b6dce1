#include "views/project/rolepermissions.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("RolePermissions", text);
}

const char *const OwnToolTip = "kxOwnToolTip";

template<typename T> void mark(T *object, const QString &why)
{
    object->setEnabled(why.isEmpty());
    object->setStatusTip(why);
    const QVariant own = object->property(OwnToolTip);
    if (why.isEmpty()) {
        if (own.isValid()) {
            object->setToolTip(own.toString());
            object->setProperty(OwnToolTip, QVariant());
        }
        return;
    }
    // The help may have set a new tooltip since: that one comes back.
    if (object->toolTip() != why)
        object->setProperty(OwnToolTip, object->toolTip());
    object->setToolTip(why);
}

using Role = ServerSchema::Role;
using Action = RolePermissions::Action;

// The weakest role the server's grants let do the action.
Role neededRole(Action action)
{
    switch (action) {
    case Action::ChangeRights:
    case Action::ChangeUsers:
    case Action::RunFunctions:
        return Role::Operator;
    case Action::ChangeEntries:
    case Action::ChangeTimeModels:
    case Action::ChangeSettings:
        break;
    }
    return Role::Administrator;
}
} // namespace

RolePermissions RolePermissions::forServer(ServerSchema::Role role)
{
    RolePermissions permissions;
    permissions.m_server = true;
    permissions.m_role = role;
    return permissions;
}

bool RolePermissions::may(Action action) const
{
    return !m_server || int(m_role) >= int(neededRole(action));
}

QString RolePermissions::roleText(ServerSchema::Role role)
{
    switch (role) {
    case Role::Administrator:
        return tr("administrator");
    case Role::Operator:
        return tr("operator");
    case Role::Viewer:
        return tr("viewer");
    case Role::None:
        break;
    }
    return tr("no role of this project");
}

QString RolePermissions::whyNot(Action action) const
{
    if (may(action))
        return QString();
    QString what;
    switch (action) {
    case Action::ChangeRights:
        what = tr("change rights");
        break;
    case Action::ChangeUsers:
        what = tr("change users or identifiers");
        break;
    case Action::ChangeEntries:
        what = tr("change entries or their readers' configuration");
        break;
    case Action::ChangeTimeModels:
        what = tr("change time models or holidays");
        break;
    case Action::ChangeSettings:
        what = tr("change the project settings");
        break;
    case Action::RunFunctions:
        what = tr("run reader functions");
        break;
    }
    return tr("Your role (%1) may not %2.").arg(roleText(m_role), what);
}

void RolePermissions::markRefused(QAction *action, const QString &why)
{
    mark(action, why);
}

void RolePermissions::markRefused(QWidget *widget, const QString &why)
{
    mark(widget, why);
}

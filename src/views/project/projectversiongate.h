#pragma once

#include <QString>

class QWidget;

// Lets a project into the window only at this program's schema version: an
// older one is upgraded when the user agrees (a backup is made first), a
// newer or damaged one is refused with the reason. Nothing is written unless
// the user agrees to the upgrade.
namespace ProjectVersionGate {

// A server project signs in first (ServerSignIn): a refused or cancelled
// sign-in lets nothing in.
bool admit(QWidget *parent, const QString &projectFolder);
// Why a server's database without our schema cannot be opened, and how an
// administrator makes a project there.
QString emptyServerText(const QString &connectionFile);

} // namespace ProjectVersionGate

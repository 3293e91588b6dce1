#pragma once

#include <QSqlError>
#include <QString>

#include <functional>

class QWidget;

// Signs in to a server project's database before the window takes it: while
// the server refuses for want of a password, the password is asked for and
// kept in memory for the run of the program only (never written anywhere).
namespace ServerSignIn {

enum class Outcome { SignedIn, Cancelled, Failed };

// connectionFile: the project's .kxserver file. Failed: `error` tells why
// (the server does not answer, refuses the role, ...); Cancelled: the user
// gave no password, and the password of before is kept.
Outcome signIn(QWidget *parent, const QString &connectionFile, QSqlError *error);

// What the window says when the sign-in failed: which server, and why.
QString failureText(const QString &connectionFile, const QSqlError &error);

// Tests replace the connection attempt (an invalid error: signed in).
using Attempt = std::function<QSqlError(const QString &connectionFile)>;
Attempt setAttemptForTest(Attempt attempt);

} // namespace ServerSignIn

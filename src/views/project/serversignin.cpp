#include "views/project/serversignin.h"

#include "db/projectdatabase.h"
#include "db/serverconnection.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxwaitcursor.h"

#include <QCoreApplication>

namespace ServerSignIn {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerSignIn", text);
}

Attempt &attemptHook()
{
    static Attempt hook;
    return hook;
}

QSqlError attempt(const QString &connectionFile)
{
    if (attemptHook())
        return attemptHook()(connectionFile);
    KxWaitCursor wait;
    ProjectDatabase db(connectionFile, ProjectDatabase::Access::ReadOnly);
    return db.open() ? QSqlError() : db.lastError();
}

// A person mistyping is asked again; someone guessing is not asked forever.
constexpr int MaxPasswordTries = 5;

} // namespace

Outcome signIn(QWidget *parent, const QString &connectionFile, QSqlError *error)
{
    const QString before = ServerConnection::sessionPassword();
    QString readError;
    const ServerConnection connection = ServerConnection::read(connectionFile, &readError);
    const QString user = connection.user.isEmpty() ? qEnvironmentVariable("USER") : connection.user;
    for (int tries = 0;; ++tries) {
        const QSqlError failure = attempt(connectionFile);
        if (!failure.isValid())
            return Outcome::SignedIn;
        if (!ProjectDatabase::isPasswordError(failure) || tries == MaxPasswordTries) {
            if (error)
                *error = failure;
            // A password that failed is not kept for the next project.
            ServerConnection::setSessionPassword(before);
            return Outcome::Failed;
        }
        QString label = tr("The server %1 asks for the password of %2 for the database %3.")
                            .arg(connection.host, user, connection.database);
        if (tries > 0)
            label = tr("The password was not accepted.") + QLatin1Char('\n') + label;
        const QString password = KxDialogs::getPassword(parent, tr("Sign in to the server"), label);
        if (password.isNull()) {
            ServerConnection::setSessionPassword(before);
            return Outcome::Cancelled;
        }
        ServerConnection::setSessionPassword(password);
    }
}

QString failureText(const QString &connectionFile, const QSqlError &error)
{
    QString readError;
    const ServerConnection connection = ServerConnection::read(connectionFile, &readError);
    if (!connection.isValid())
        return readError;
    if (ProjectDatabase::isPasswordError(error))
        return tr("The server %1 did not accept the password of %2.")
            .arg(connection.describe(), connection.user);
    return tr("The project's database server %1 cannot be reached or refused the sign-in:\n\n%2")
        .arg(connection.describe(), error.text().trimmed());
}

Attempt setAttemptForTest(Attempt next)
{
    Attempt previous = attemptHook();
    attemptHook() = std::move(next);
    return previous;
}

} // namespace ServerSignIn

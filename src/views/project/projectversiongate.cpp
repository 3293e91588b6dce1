#include "views/project/projectversiongate.h"

#include "db/projectdatabase.h"
#include "db/schemaversion.h"
#include "db/serverconnection.h"
#include "functions/projectupgrade.h"
#include "views/project/serversignin.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxwaitcursor.h"

#include <QCoreApplication>
#include <QDir>

namespace ProjectVersionGate {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("ProjectVersionGate", text);
}
} // namespace

QString emptyServerText(const QString &connectionFile)
{
    const ServerConnection connection = ServerConnection::read(connectionFile, nullptr);
    return tr("The database %1 on the server holds no Kelvara Manager project. An administrator "
              "of the server creates one with\n\nkelvara-cli server init --host %2 --port %3 "
              "--db %4")
        .arg(connection.describe(), connection.host)
        .arg(connection.port)
        .arg(connection.database);
}

bool admit(QWidget *parent, const QString &projectFolder)
{
    const QString title = tr("Open Project");
    QString why;
    if (ProjectDatabase::isServerProject(projectFolder)) {
        // The password the server wants is asked for once, before anything
        // else reads the project.
        const QString file = ServerConnection::filePathForProject(projectFolder);
        QSqlError error;
        switch (ServerSignIn::signIn(parent, file, &error)) {
        case ServerSignIn::Outcome::SignedIn:
            break;
        case ServerSignIn::Outcome::Cancelled:
            return false;
        case ServerSignIn::Outcome::Failed:
            KxMessageBox::critical(parent, title, ServerSignIn::failureText(file, error));
            return false;
        }
        why = emptyServerText(file);
    }
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(projectFolder);
    if (probe.state == SchemaVersion::State::Current)
        return true;
    if (probe.state != SchemaVersion::State::Older) {
        if (why.isEmpty() || probe.state != SchemaVersion::State::NotProject)
            why = SchemaVersion::message(probe);
        KxMessageBox::critical(
            parent, title,
            QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(projectFolder), why));
        return false;
    }
    const QString upgradeTitle = tr("Upgrade Project");
    if (KxMessageBox::question(
            parent, upgradeTitle,
            tr("The project\n\n%1\n\nwas made by an older version of Kelvara Manager (schema "
               "version %2; this program uses %3).\n\nUpgrade it now? A backup of the project "
               "folder is made first.")
                .arg(QDir::toNativeSeparators(projectFolder))
                .arg(probe.version)
                .arg(SchemaVersion::current())) != QMessageBox::Yes)
        return false;

    ProjectUpgrade::Result result;
    {
        KxWaitCursor wait;
        result = ProjectUpgrade::run(projectFolder);
    }
    switch (result.outcome) {
    case ProjectUpgrade::Outcome::Upgraded:
        KxMessageBox::information(
            parent, upgradeTitle,
            tr("The project was upgraded to schema version %1.\n\nThe backup of the project as "
               "it was is\n\n%2")
                .arg(result.to)
                .arg(QDir::toNativeSeparators(result.backup)));
        return true;
    case ProjectUpgrade::Outcome::AlreadyCurrent:
        return true;
    default:
        KxMessageBox::critical(parent, upgradeTitle, result.message);
        return false;
    }
}

} // namespace ProjectVersionGate

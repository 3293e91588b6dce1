#include "app/projectactions.h"

#include "app/windowcontext.h"
#include "core/archivetool.h"
#include "core/paths.h"
#include "core/projectfolder.h"
#include "db/demoproject.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/serverconnection.h"
#include "db/serverschema.h"
#include "views/project/kelvaranewserverprojectdialog.h"
#include "views/project/projectversiongate.h"
#include "views/project/serversignin.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxwaitcursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStorageInfo>
#include <QTemporaryDir>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString clean(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

// Whether the folder may be offered for opening: a project of any schema
// version, or a server project, which tells on sign-in whether it is one.
bool mayBeProject(const QString &folder)
{
    return ProjectDatabase::isServerProject(folder) || ProjectSchema::isProjectDatabase(folder);
}

const QString kZipSuffix = QStringLiteral(".zip");
const QString kZipFilter = QStringLiteral("*.zip");

} // namespace

ProjectActions::ProjectActions(WindowContext &context, QWidget *window)
    : QObject(window), m_context(context), m_window(window)
{
}

SchemaVersion::State ProjectActions::takeLastProject()
{
    const QString folder = m_context.settings.currentProjectPath;
    const SchemaVersion::State state = folder.isEmpty() ? SchemaVersion::State::NotProject
                                                        : SchemaVersion::probeFolder(folder).state;
    if (state == SchemaVersion::State::Current) {
        takeProject(folder);
        noteRecent(folder);
    }
    return state;
}

void ProjectActions::takeProject(const QString &folder)
{
    m_context.databasePath =
        native(ProjectDatabase::databasePathForProject(QDir::fromNativeSeparators(folder)));
    m_context.params = ProjectParameters();
    m_context.params.projectPath = folder;
    m_context.params.databasePath = m_context.databasePath;
    m_context.params.loadProjectParameters();
    m_context.permissions = RolePermissions();
    m_context.server.clear();
    const QString file = QDir::fromNativeSeparators(m_context.databasePath);
    if (!ServerConnection::isConnectionFile(file))
        return;
    ServerConnection connection = ServerConnection::read(file, nullptr);
    // Unknown until the server tells: nothing is offered that it may refuse.
    ServerSchema::Role role = ServerSchema::Role::None;
    ProjectDatabase db(file);
    if (db.open()) {
        QSqlQuery query = db.query();
        role = ServerSchema::signedInRole(query);
        if (connection.user.isEmpty() && query.exec(QStringLiteral("select current_user")) &&
            query.next())
            connection.user = query.value(0).toString();
    }
    m_context.permissions = RolePermissions::forServer(role);
    m_context.server = connection.describe();
}

bool ProjectActions::openFolder(const QString &folder)
{
    if (!ProjectVersionGate::admit(m_window, QDir::fromNativeSeparators(folder)))
        return false;
    m_context.settings.currentProjectPath = native(folder);
    takeProject(m_context.settings.currentProjectPath);
    noteRecent(m_context.settings.currentProjectPath);
    emit opened();
    return true;
}

QString ProjectActions::parentFolder() const
{
    const QString folder = QDir::fromNativeSeparators(m_context.settings.currentProjectPath);
    const int slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : folder.left(slash);
}

bool ProjectActions::requireProject(const QString &title)
{
    if (!m_context.databasePath.isEmpty() &&
        ProjectSchema::isProjectDatabase(clean(m_context.settings.currentProjectPath)))
        return true;
    KxMessageBox::critical(m_window, title, tr("No valid project opened"));
    return false;
}

void ProjectActions::showArchiveFailure(const QString &title, int code)
{
    QString text = tr("Failed with return code %1").arg(code);
    if (code == ArchiveTool::NotStarted)
        text += tr("\n\nThe archive program could not be started. Please install zip and unzip.");
    else if (code == ArchiveTool::NotReplaced)
        text += tr("\n\nThe archive could not be stored under the chosen name.");
    else if (code == ArchiveTool::TimedOut)
        text += tr("\n\nThe archive program did not finish in time and was stopped.");
    KxMessageBox::critical(m_window, title, text);
}

void ProjectActions::newProject()
{
    const QString title = tr("Create new project");
    const QString name = KxDialogs::getText(m_window, title, tr("Please enter a new project name"));
    if (name.isEmpty())
        return;
    if (!ProjectFolder::isValidName(name)) {
        KxMessageBox::critical(
            m_window, title,
            tr("The name\n\n%1\n\ncannot be used as a project folder name.").arg(name));
        return;
    }
    const QString parent = KxDialogs::getExistingDirectory(
        m_window, tr("Select path for project '%1'").arg(name), parentFolder());
    if (parent.isEmpty())
        return;

    const QString folder =
        clean(QStringLiteral("%1/%2").arg(QDir::fromNativeSeparators(parent), name));
    if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink()) {
        KxMessageBox::critical(m_window, title,
                               tr("The path\n\n%1\n\nalready exists.").arg(native(folder)));
        return;
    }
    // The log and data folders belong to a project from its creation on.
    if (!ProjectFolder::createFolders(folder)) {
        KxMessageBox::critical(m_window, title,
                               tr("Cannot create project path\n\n%1").arg(native(folder)));
        return;
    }
    const QSqlError error = ProjectSchema::createProjectDatabase(
        ProjectDatabase::databasePathForProject(folder), QStringLiteral("utf8"));
    if (error.isValid()) {
        showDatabaseError(m_window, title, error);
        return;
    }
    // The fresh project's own parameters replace the previous project's.
    openFolder(native(folder));
    KxMessageBox::information(
        m_window, title, tr("New project successfully created in path\n\n%1").arg(native(folder)));
    emit newProjectSettingsWanted();
}

void ProjectActions::newServerProject()
{
    const QString title = tr("Create new server project");
    KelvaraNewServerProjectDialog::Values v;
    if (!KelvaraNewServerProjectDialog::run(m_window, parentFolder(), &v))
        return;
    if (!ProjectFolder::isValidName(v.name)) {
        KxMessageBox::critical(
            m_window, title,
            tr("The name\n\n%1\n\ncannot be used as a project folder name.").arg(v.name));
        return;
    }
    const QString folder = clean(QStringLiteral("%1/%2").arg(v.parentFolder, v.name));
    if (v.parentFolder.isEmpty() || !QFileInfo(v.parentFolder).isDir()) {
        KxMessageBox::critical(m_window, title,
                               tr("Cannot create project path\n\n%1").arg(native(folder)));
        return;
    }
    if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink()) {
        KxMessageBox::critical(m_window, title,
                               tr("The path\n\n%1\n\nalready exists.").arg(native(folder)));
        return;
    }
    // The connection is tried from a file aside: the project folder is made
    // only once the database holds a project this program can open.
    QTemporaryDir staging;
    const QString staged = staging.filePath(QStringLiteral("staged.kxserver"));
    QString error;
    if (!staging.isValid() || !v.connection.write(staged, &error)) {
        KxMessageBox::critical(m_window, title, error);
        return;
    }
    QSqlError signInError;
    switch (ServerSignIn::signIn(m_window, staged, &signInError)) {
    case ServerSignIn::Outcome::SignedIn:
        break;
    case ServerSignIn::Outcome::Cancelled:
        return;
    case ServerSignIn::Outcome::Failed:
        KxMessageBox::critical(m_window, title, ServerSignIn::failureText(staged, signInError));
        return;
    }
    SchemaVersion::Probe probe;
    {
        ProjectDatabase db(staged, ProjectDatabase::Access::ReadOnly);
        if (db.open()) {
            QSqlQuery query = db.query();
            probe = SchemaVersion::probe(query);
        } else {
            probe.state = SchemaVersion::State::Unreadable;
            probe.detail = db.lastError().text();
        }
    }
    bool created = false;
    if (probe.state == SchemaVersion::State::NotProject) {
        if (!createOnEmptyServer(title, staged, &created))
            return;
    } else if (probe.state != SchemaVersion::State::Current &&
               probe.state != SchemaVersion::State::Older) {
        KxMessageBox::critical(m_window, title, SchemaVersion::message(probe));
        return;
    }
    if (!ProjectFolder::createFolders(folder)) {
        KxMessageBox::critical(m_window, title,
                               tr("Cannot create project path\n\n%1").arg(native(folder)));
        return;
    }
    if (!v.connection.write(ServerConnection::filePathForProject(folder), &error)) {
        KxMessageBox::critical(m_window, title, error);
        return;
    }
    if (!openFolder(native(folder)))
        return;
    KxMessageBox::information(m_window, title,
                              tr("New server project created in path\n\n%1\n\nIts database is "
                                 "%2.")
                                  .arg(native(folder), v.connection.describe()));
    if (created)
        emit newProjectSettingsWanted();
}

bool ProjectActions::createOnEmptyServer(const QString &title, const QString &connectionFile,
                                         bool *created)
{
    bool mayCreate = false;
    bool empty = false;
    {
        ProjectDatabase db(connectionFile, ProjectDatabase::Access::ReadOnly);
        QSqlQuery query = db.query();
        // The roles are the cluster's: they are made when missing, which
        // needs CREATEROLE; the tables need CREATE on the schema.
        if (db.open() &&
            query.exec(QStringLiteral(
                "select ((select rolsuper or rolcreaterole from pg_roles where "
                "rolname=current_user) or (select count(*) from pg_roles where rolname in "
                "('kelvara_administrator','kelvara_operator','kelvara_viewer')) = 3) and "
                "has_schema_privilege(current_schema(),'CREATE'), (select count(*) from "
                "pg_class where relnamespace=current_schema()::regnamespace)")) &&
            query.next()) {
            mayCreate = query.value(0).toBool();
            empty = query.value(1).toLongLong() == 0;
        }
    }
    if (!empty) {
        KxMessageBox::critical(m_window, title,
                               tr("The database holds tables, but no Kelvara Manager project. "
                                  "Choose an empty database or one made with \"kelvara-cli "
                                  "server init\". Nothing was written."));
        return false;
    }
    if (!mayCreate) {
        KxMessageBox::critical(m_window, title,
                               ProjectVersionGate::emptyServerText(connectionFile));
        return false;
    }
    if (KxMessageBox::question(
            m_window, title,
            tr("The database %1 is empty.\n\nCreate a new Kelvara Manager "
               "project in it, with the roles administrator, operator and "
               "viewer?")
                .arg(ServerConnection::read(connectionFile, nullptr).describe())) !=
        QMessageBox::Yes)
        return false;
    QSqlError error;
    {
        KxWaitCursor wait;
        error = ProjectSchema::createProjectDatabase(connectionFile);
        if (!error.isValid()) {
            ProjectDatabase db(connectionFile, ProjectDatabase::Access::Raw);
            QSqlQuery query = db.query();
            QString why;
            if (!db.open())
                error = db.lastError();
            else if (!ServerSchema::createRoles(query, &why) ||
                     !ServerSchema::grantRoles(query, &why))
                error = QSqlError(QString(), why, QSqlError::StatementError);
        }
    }
    if (error.isValid()) {
        showDatabaseError(m_window, title, error);
        return false;
    }
    *created = true;
    return true;
}

void ProjectActions::openProject()
{
    const QString title = tr("Open project path");
    QString start = parentFolder();
    if (start.isEmpty())
        start = QDir::homePath();
    for (;;) {
        const QString folder = KxDialogs::getExistingDirectory(m_window, title, start);
        if (folder.isEmpty())
            return;
        if (mayBeProject(clean(folder))) {
            openFolder(native(clean(folder)));
            return;
        }
        KxMessageBox::critical(m_window, title,
                               tr("This is no valid project path.\nChoose another one."));
    }
}

void ProjectActions::renameProject()
{
    const QString title = tr("Rename project");
    if (!requireProject(title))
        return;
    const QString folder = clean(m_context.settings.currentProjectPath);
    const QString oldName = QFileInfo(folder).fileName();
    const QString newName =
        KxDialogs::getText(m_window, title, tr("Please enter a new project name"), oldName);
    if (newName.isEmpty() || newName == oldName)
        return;

    QString renamed;
    switch (ProjectFolder::rename(folder, newName, &renamed)) {
    case ProjectFolder::RenameResult::Renamed:
        openFolder(native(renamed));
        return;
    case ProjectFolder::RenameResult::InvalidName:
        KxMessageBox::critical(
            m_window, title,
            tr("The name\n\n%1\n\ncannot be used as a project folder name.").arg(newName));
        return;
    case ProjectFolder::RenameResult::NameExists:
        KxMessageBox::critical(
            m_window, title,
            tr("The path\n\n%1\n\nalready exists.")
                .arg(native(QFileInfo(folder).absolutePath() + QLatin1Char('/') + newName)));
        return;
    case ProjectFolder::RenameResult::FolderNotRenamed:
        KxMessageBox::critical(m_window, title, tr("Cannot rename the project path"));
        return;
    case ProjectFolder::RenameResult::NotOneDatabase:
        KxMessageBox::critical(m_window, title, tr("Unexpected error"));
        return;
    case ProjectFolder::RenameResult::DatabaseNotRenamed:
        KxMessageBox::critical(m_window, title, tr("Cannot rename database file"));
        return;
    }
}

void ProjectActions::createBackup()
{
    const QString title = tr("Create Backup File");
    if (!requireProject(title))
        return;
    const QString folder = clean(m_context.settings.currentProjectPath);
    QString archive =
        KxDialogs::getSaveFileName(m_window, title, native(folder) + kZipSuffix, kZipFilter);
    if (archive.isEmpty())
        return;
    if (!archive.endsWith(kZipSuffix))
        archive += kZipSuffix;

    int code = 0;
    {
        KxWaitCursor wait;
        code = ProjectFolder::writeBackup(QDir::fromNativeSeparators(archive), folder);
    }
    if (code != 0)
        showArchiveFailure(title, code);
}

void ProjectActions::restoreBackup()
{
    const QString title = tr("Restore Backup File");
    QString start = parentFolder();
    if (start.isEmpty())
        start = QDir::homePath();
    QString archive =
        KxDialogs::getOpenFileName(m_window, tr("Choose a ZIP-File to restore"), start, kZipFilter);
    if (archive.isEmpty())
        return;
    if (!archive.endsWith(kZipSuffix))
        archive += kZipSuffix;
    archive = clean(archive);

    // The archive is checked as a whole before anything is unpacked.
    QList<ArchiveTool::Entry> entries;
    const int listed = ArchiveTool::listEntries(archive, &entries);
    if (listed == ArchiveTool::NotStarted) {
        showArchiveFailure(title, listed);
        return;
    }
    if (listed != 0) {
        KxMessageBox::critical(m_window, title,
                               tr("The file\n\n%1\n\nis no readable ZIP archive (return code "
                                  "%2).\nNothing was restored.")
                                   .arg(native(archive))
                                   .arg(listed));
        return;
    }
    const auto refuseUnsafe = [&](const QString &entry) {
        KxMessageBox::critical(m_window, title,
                               tr("The archive\n\n%1\n\nholds the entry\n\n%2\n\nwhich would be "
                                  "written outside the chosen folder.\nNothing was restored.")
                                   .arg(native(archive), entry));
    };
    QString unsafe = ArchiveTool::unsafeEntry(entries, QString());
    if (!unsafe.isEmpty()) {
        refuseUnsafe(unsafe);
        return;
    }
    if (ArchiveTool::topLevelFiles(entries, QStringLiteral(".sqlite3")).size() != 1) {
        KxMessageBox::critical(m_window, title, tr("Corrupt backup file"));
        return;
    }
    qint64 unpackedBytes = 0;
    const int sized = ArchiveTool::uncompressedSize(archive, &unpackedBytes);
    if (sized != 0) {
        showArchiveFailure(title, sized);
        return;
    }

    QString target;
    for (;;) {
        const QString chosen = KxDialogs::getExistingDirectory(
            m_window, tr("Select an empty project directory to restore '%1'").arg(native(archive)),
            QFileInfo(archive).absolutePath());
        if (chosen.isEmpty())
            return;
        target = clean(chosen);
        if (ProjectSchema::isProjectDatabase(target)) {
            KxMessageBox::critical(
                m_window, title,
                tr("This path already contents a valid project.\nChoose another one."));
            continue;
        }
        // A second database file would make the restored project ambiguous.
        if (!ProjectFolder::databaseFiles(target).isEmpty()) {
            KxMessageBox::critical(
                m_window, title,
                tr("This path already holds a database file.\nChoose another one."));
            continue;
        }
        unsafe = ArchiveTool::unsafeEntry(entries, target);
        if (!unsafe.isEmpty()) {
            refuseUnsafe(unsafe);
            continue;
        }
        // A forged or damaged archive must not fill the disk; what it says
        // it unpacks to has to fit with room to spare.
        const qint64 reserve = qint64(64) * 1024 * 1024;
        const qint64 available = QStorageInfo(target).bytesAvailable();
        if (unpackedBytes > available - reserve) {
            KxMessageBox::critical(
                m_window, title,
                tr("The archive unpacks to %1 MB, but the disk of\n\n%2\n\nhas only %3 MB "
                   "free.\nNothing was restored.")
                    .arg((unpackedBytes + 1048575) / 1048576)
                    .arg(native(target))
                    .arg(qMax<qint64>(available, 0) / 1048576));
            return;
        }
        break;
    }

    QStringList names;
    for (const ArchiveTool::Entry &entry : qAsConst(entries))
        names << entry.name;
    const QStringList added = ProjectFolder::missingEntries(target, names);
    // A refused restore leaves the folder as it was found.
    const auto refuse = [&](const QString &text) {
        ProjectFolder::removeUnpacked(target, added);
        KxMessageBox::critical(m_window, title, text);
    };
    int code = 0;
    {
        KxWaitCursor wait;
        code = ArchiveTool::unzip(archive, target);
    }
    if (code != 0) {
        ProjectFolder::removeUnpacked(target, added);
        showArchiveFailure(title, code);
        return;
    }
    switch (ProjectFolder::adoptDatabase(target)) {
    case ProjectFolder::AdoptResult::Adopted:
        break;
    case ProjectFolder::AdoptResult::NotOneDatabase:
        refuse(tr("Corrupt backup file"));
        return;
    case ProjectFolder::AdoptResult::DatabaseNotRenamed:
        refuse(tr("Cannot rename database file"));
        return;
    }
    // A database of some other program is no project, and one of a newer
    // program or with triggers of its own is not ours to open: the open
    // project stays.
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(target);
    switch (probe.state) {
    case SchemaVersion::State::Current:
    case SchemaVersion::State::Older:
        break;
    case SchemaVersion::State::NotProject:
    case SchemaVersion::State::Unreadable:
        refuse(tr("Corrupt backup file"));
        return;
    default:
        refuse(SchemaVersion::message(probe) + tr("\nNothing was restored."));
        return;
    }
    openFolder(native(target));
}

void ProjectActions::buildSupportPackage()
{
    const QString title = tr("Build Support Package");
    if (m_context.settings.currentProjectPath.isEmpty()) {
        KxMessageBox::critical(m_window, title, tr("No valid project opened"));
        return;
    }
    const QString folder = clean(m_context.settings.currentProjectPath);
    int code = 0;
    {
        KxWaitCursor wait;
        code = ArchiveTool::zipFolder(QStringLiteral("%1/support-package.zip").arg(folder),
                                      projectLogPath(folder));
    }
    if (code != 0) {
        showArchiveFailure(title, code);
        return;
    }
    openPath(m_window, native(folder));
}

void ProjectActions::firstStartCheck()
{
    if (!m_context.settings.currentProjectPath.isEmpty())
        return;
    const QString title = tr("First application start");
    if (KxMessageBox::question(
            m_window, title,
            tr("This is the first start of Kelvara-Manager on this computer.\n\nDo you want to "
               "configure some general settings now?\n\n(In case of 'No' you can do that later "
               "under\n'Settings' -> 'General Settings').")) == QMessageBox::Yes)
        emit generalSettingsWanted();
    if (KxMessageBox::question(
            m_window, title,
            tr("Do you first want to create a demo project?\n\n(In case of 'Yes' you can later "
               "create your own project under\n'File' -> 'New Project').")) == QMessageBox::Yes)
        createDemoProject();
    else
        newProject();
}

void ProjectActions::createDemoProject()
{
    const QString folder = QStringLiteral("%1/DemoProject").arg(appDataPath());
    // With its log and data folders, as every project made in the window.
    if (!ProjectFolder::createFolders(folder)) {
        KxMessageBox::critical(m_window, tr("Create Demo Database"),
                               tr("Cannot create project path\n\n%1").arg(native(folder)));
        return;
    }
    const QString database = ProjectDatabase::databasePathForProject(folder);
    if (QFileInfo::exists(database) && !QFile::remove(database)) {
        KxMessageBox::critical(m_window, tr("Remove Database"),
                               tr("Cannot remove old demo database"));
        return;
    }
    // A journal left by the old database would be played back into the new one.
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(database + QLatin1String(suffix));

    QSqlError error;
    {
        KxWaitCursor wait;
        error = ProjectSchema::createProjectDatabase(database, QStringLiteral("utf8"));
        if (!error.isValid())
            error = DemoProject::fill(database);
    }
    if (error.isValid()) {
        showDatabaseError(m_window, tr("Create Demo Database"), error);
        return;
    }
    // Taken as the current project only once it is complete, so a failure
    // leaves the first start to be offered again.
    openFolder(native(folder));
}

void ProjectActions::noteRecent(const QString &folder)
{
    const QString path = native(clean(folder));
    if (path.isEmpty())
        return;
    QStringList &recent = m_context.settings.recentProjects;
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > 5)
        recent.removeLast();
}

void ProjectActions::setRecentMenu(QMenu *menu)
{
    m_recentMenu = menu;
    connect(menu, &QMenu::aboutToShow, this, &ProjectActions::fillRecentMenu);
}

void ProjectActions::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList recent = m_context.settings.recentProjects;
    for (int i = 0; i < recent.size(); ++i) {
        const QString &folder = recent.at(i);
        m_recentMenu->addAction(QStringLiteral("&%1  %2").arg(i + 1).arg(menuText(folder)), this,
                                [this, folder] { openRecent(folder); });
    }
    if (recent.isEmpty())
        m_recentMenu->addAction(tr("No recent projects"))->setEnabled(false);
}

void ProjectActions::openRecent(const QString &folder)
{
    if (mayBeProject(clean(folder))) {
        openFolder(native(clean(folder)));
        return;
    }
    // The menu is filled anew before it shows again; its action is still running.
    m_context.settings.recentProjects.removeAll(folder);
    KxMessageBox::information(m_window, tr("Open Recent Project"),
                              tr("The project\n\n%1\n\nno longer exists or is no valid project. "
                                 "It was removed from the list of recent projects.")
                                  .arg(folder));
}

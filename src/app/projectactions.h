#pragma once

#include "db/schemaversion.h"

#include <QObject>
#include <QString>

class QMenu;
class QWidget;
struct WindowContext;

// The window's project operations: new, open, open recent, rename, backup
// and restore, the support package, the demo project and the questions of
// the first start. A project is let in only through the schema version gate.
class ProjectActions : public QObject
{
    Q_OBJECT

public:
    ProjectActions(WindowContext &context, QWidget *window);

    // Takes the project the settings name when it is at this program's
    // schema version; returns its state either way.
    SchemaVersion::State takeLastProject();
    // Takes the folder as the open project: database path, parameters. A
    // project of another schema version is upgraded first when the user
    // agrees, or refused; false when it was not opened.
    bool openFolder(const QString &folder);
    // True when a valid project is open; otherwise tells so under the title.
    bool requireProject(const QString &title);

    void newProject();
    // A project whose database lives on a server: the database must hold a
    // project (kelvara-cli server init) or be empty; an empty one is made a
    // project when the signed-in role may.
    void newServerProject();
    void openProject();
    void renameProject();
    void createBackup();
    void restoreBackup();
    void buildSupportPackage();
    // The first-start questions, when no project was ever open.
    void firstStartCheck();

    // The File menu's recent list, filled anew before it shows.
    void setRecentMenu(QMenu *menu);
    QMenu *recentMenu() const { return m_recentMenu; }
    void fillRecentMenu();
    // Opens a project of the recent list; one that is gone leaves the list
    // with a note.
    void openRecent(const QString &folder);

signals:
    // A project was taken as the open one.
    void opened();
    // A new project was made: its settings are to be asked for.
    void newProjectSettingsWanted();
    void generalSettingsWanted();

private:
    // Builds the demo project in the application data folder and opens it.
    void createDemoProject();
    // The folder that holds the open project, or an empty text.
    QString parentFolder() const;
    // Shows the outcome of an archive program that did not answer 0.
    void showArchiveFailure(const QString &title, int code);
    // Puts the folder first in the recent list.
    void noteRecent(const QString &folder);
    // Takes the folder's database path and parameters as the open project's,
    // and on a server project the signed-in role (read once here).
    void takeProject(const QString &folder);
    // Makes the empty server database a project when the signed-in role may
    // (asking first), else tells how; false when it holds no project after.
    bool createOnEmptyServer(const QString &title, const QString &connectionFile, bool *created);

    WindowContext &m_context;
    QWidget *m_window;
    QMenu *m_recentMenu = nullptr;
};

#pragma once

#include "access/accessboard.h"
#include "app/boardfind.h"
#include "app/boardhistory.h"
#include "app/boardmenus.h"
#include "app/boardpresenter.h"
#include "app/projectactions.h"
#include "app/serverwatch.h"
#include "app/windowcontext.h"

#include <QMainWindow>
#include <QPoint>
#include <QSet>
#include <QVector>

class EntrySelection;
class KelvaraDoors;
class KelvaraEvents;
class KelvaraTimes;
class KelvaraUsers;
class KxFindBar;
class KxTableWidget;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

// The main window: menus, tool bar and the switch between the access board
// and the administration views. The board's parts (doc/architecture.md, "The
// main window's parts") do the work; the slots named here forward to them.
class KelvaraMan : public QMainWindow
{
    Q_OBJECT

public:
    explicit KelvaraMan(QWidget *parent = nullptr);
    ~KelvaraMan() override;

    // The manual PDF opened by Help / Quick Start Guide, in the manual folder.
    void setManualFile(const QString &fileName);

    ApplicationSettings &settings() { return m_context.settings; }
    const ProjectParameters &projectParameters() const { return m_context.params; }
    QString projectFolder() const { return m_context.settings.currentProjectPath; }
    QString databasePath() const { return m_context.databasePath; }
    // What the signed-in role may do (everything on a folder project).
    const RolePermissions &permissions() const { return m_context.permissions; }
    // The project's kind at the right of the status bar.
    QString projectKindText() const;
    // Follows other workstations' changes while a server project is open.
    ServerWatch *serverWatch() const { return m_watch; }
    // The USB flash drive chosen for the open project (empty until chosen).
    FlashDrive &flashDrive() { return m_context.flashDrive; }

    KxTableWidget *board() const { return m_board; }
    KelvaraTimes *timesView() const { return m_times; }
    KelvaraUsers *usersView() const { return m_users; }
    KelvaraDoors *doorsView() const { return m_doors; }
    KelvaraEvents *eventsView() const { return m_events; }
    const AccessBoard &boardData() const { return m_presenter->data(); }
    bool isAreaExpanded(const QString &area) { return m_presenter->isAreaExpanded(area); }
    bool isGroupExpanded(const QString &group) { return m_presenter->isGroupExpanded(group); }

    // The menus as the last right press left them (for tests and the help popups).
    QMenu *cornerMenu() const { return m_menus->cornerMenu(); }
    QMenu *columnHeadMenu() const { return m_menus->columnHeadMenu(); }
    QMenu *rowHeadMenu() const { return m_menus->rowHeadMenu(); }
    QMenu *cellMenu() const { return m_menus->cellMenu(); }
    QMenu *lastOpenedMenu() const { return m_menus->lastOpenedMenu(); }

    static QString versionText();

    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    KxFindBar *findBar() const { return m_find->bar(); }
    // Project, users, entries and pending entries, as the status bar shows them.
    QString statusText() const { return m_presenter->statusText(); }
    // The tooltip of a board cell.
    QString cellToolTip(int row, int column) const { return m_presenter->cellToolTip(row, column); }
    // The heads the find text matches, as board cells (row, 0) and (0, column).
    QVector<QPoint> findMatches() const { return m_find->matches(); }

    // Nanoseconds the last buildBoard() spent in the database and in filling the board.
    qint64 lastBoardQueryTime() const { return m_presenter->lastQueryTime(); }
    qint64 lastBoardFillTime() const { return m_presenter->lastFillTime(); }
    // Sets a time model on the block of users x entries (0 removes their
    // rights), asking first when more than one right changes; undoable.
    void changeRights(const QSet<int> &users, const QSet<int> &entries, int timeModel)
    {
        m_history->changeRights(users, entries, timeModel);
    }
    // Nanoseconds the board last spent following a change in memory, paint not included.
    qint64 lastBoardFollowTime() const { return m_presenter->lastFollowTime(); }

public slots:
    // Takes the folder as the open project: database path, parameters, board.
    // A project of another schema version is upgraded first when the user
    // agrees, or refused; false when it was not opened.
    bool openProjectFolder(const QString &folder) { return m_project->openFolder(folder); }
    void buildBoard();

    void newProject() { m_project->newProject(); }
    void newServerProject() { m_project->newServerProject(); }
    void openProject() { m_project->openProject(); }
    void renameProject() { m_project->renameProject(); }
    void createProjectBackup() { m_project->createBackup(); }
    void restoreProjectBackup() { m_project->restoreBackup(); }
    void buildSupportPackage() { m_project->buildSupportPackage(); }
    void importUserList();
    void exportUserList();
    void generalSettings();
    void projectSettings(bool isNewProject = false);
    void readerClockSync();
    void updateAllAccessConfig();
    void readerReconfigHf();
    void readerReconfigUhf();
    void readerReconfigAll();

    void setHelp(bool on);
    void helpHelp();
    void helpHowToUse();
    void helpQuickStart();
    void helpFwVersions();
    void enterWhatsThisMode();

    void enterTabKelvara();
    void enterUsers();
    void enterDoors();
    void enterTimes();
    // The event log; the fifth view after board, users, entries and time models.
    void enterEvents();
    // From the event log: the board cell of user x entry, the user in the user view.
    void showBoardCell(int pkUsers, int pkDoors);
    void showUser(int pkUsers);

    void clickedOnTableCell(int row, int column, int mouseButton, bool isDoubleClicked)
    {
        m_menus->clicked(row, column, mouseButton, isDoubleClicked);
    }

    void m00hColapseAll() { m_menus->collapseAll(); }
    void m00hExpandAll() { m_menus->expandAll(); }
    void m00hReadEventList();
    void m00hVerifyReader();
    void m00hOpenDataPath() { m_menus->openFolder(BoardMenus::Folder::Data, false); }
    void m00hOpenLogPath() { m_menus->openFolder(BoardMenus::Folder::Log, false); }
    void m00hHelp() { m_menus->showHelp(); }
    void mchDoorArea() { m_menus->toggleClickedArea(); }
    void mchRename() { m_menus->renameClickedArea(); }
    void mchUpdateAccessConfig();
    void mchReadAccessConfig();
    void mchImportTeachIn();
    void mchReadEventList();
    void mchVerifyReader();
    void mchOpenDataPath() { m_menus->openFolder(BoardMenus::Folder::Data, true); }
    void mchOpenLogPath() { m_menus->openFolder(BoardMenus::Folder::Log, true); }
    void mrhUserGroup() { m_menus->toggleClickedGroup(); }
    void mrhRename() { m_menus->renameClickedGroup(); }
    void mtiChangeTimeModel(QAction *action) { m_menus->timeModelChosen(action); }

    // Runs once, 100 ms after start: the first-start questions.
    void firstStartCheck() { m_project->firstStartCheck(); }
    // Opens a project of the File menu's recent list; one that is gone
    // leaves the list with a note.
    void openRecentProject(const QString &folder) { m_project->openRecent(folder); }
    QMenu *recentMenu() const { return m_project->recentMenu(); }
    // Fills the recent list's menu (also run before it shows).
    void fillRecentMenu() { m_project->fillRecentMenu(); }

    void undoBoardChange() { m_history->undo(); }
    void redoBoardChange() { m_history->redo(); }
    void showFindBar();
    void findNext() { m_find->findNext(); }
    void findPrevious() { m_find->findPrevious(); }
    void showLegend();
    // "Why...?" for the clicked user x entry cell.
    void explainCell() { m_menus->explainClickedCell(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createMenus();
    void createEditMenu();
    void createToolBar();
    void createBoard();
    void createUsersView();
    // Stored geometry for the main window, dialog rectangles moved into the desktop.
    void placeWindows();
    void showView(QWidget *shown);
    void updateWindowTitle();
    // Disables what the signed-in role may not do, saying why.
    void applyPermissions();
    // After another workstation's change: the board or the view shown is
    // read again where it stands.
    void followServerChange();
    // Scroll position, current cell, find bar and undo start afresh, and the
    // board shows the project just opened.
    void projectOpened();
    // Writes the settings file now; a failure shows in the status bar.
    void storeSettings();
    // Runs the function dialog for the scope; the board is rebuilt afterwards
    // when the function changes what it shows.
    void runReaderFunction(int function, const EntrySelection &selection,
                           const QString &scopeName = QString());

    WindowContext m_context;
    QString m_manualFile;

    KxTableWidget *m_board = nullptr;
    QFrame *m_boardFrame = nullptr;
    BoardPresenter *m_presenter = nullptr;
    BoardHistory *m_history = nullptr;
    BoardFind *m_find = nullptr;
    BoardMenus *m_menus = nullptr;
    ProjectActions *m_project = nullptr;

    KelvaraTimes *m_times = nullptr;
    KelvaraUsers *m_users = nullptr;
    KelvaraDoors *m_doors = nullptr;
    KelvaraEvents *m_events = nullptr;
    QLabel *m_logo = nullptr;
    QToolBar *m_toolBar = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QAction *m_tooltipsAction = nullptr;
    QAction *m_generalSettingsAction = nullptr;
    QAction *m_projectSettingsAction = nullptr;
    QAction *m_importAction = nullptr;
    QList<QAction *> m_functionActions;  // clock and update of the Settings menu
    QList<QAction *> m_configureActions; // its reconfiguration of readers
    ServerWatch *m_watch = nullptr;
    QLabel *m_kindLabel = nullptr;
    bool m_followLater = false; // a change to follow once the modal dialog closes
    QList<QPair<QToolButton *, QString>> m_toolButtons;
    QList<QAction *> m_viewActions; // Ctrl+1 … in the order of the tool bar
};

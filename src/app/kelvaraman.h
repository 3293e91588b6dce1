#pragma once

#include "access/accessboard.h"
#include "core/applicationsettings.h"
#include "db/boardchange.h"
#include "db/boardrename.h"
#include "db/entryselection.h"
#include "db/projectparameters.h"
#include "db/recordrows.h"
#include "functions/flashdrive.h"

#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>

class KelvaraDoors;
class KelvaraTimes;
class KelvaraUsers;
class KxFindBar;
class KxTableWidget;
class QAction;
class QFrame;
class QLabel;
class QToolBar;
class QToolButton;

// The main window: menus, tool bar and the access board of users against entries.
class KelvaraMan : public QMainWindow
{
    Q_OBJECT

public:
    explicit KelvaraMan(QWidget *parent = nullptr);
    ~KelvaraMan() override;

    // The manual PDF opened by Help / Quick Start Guide, in the manual folder.
    void setManualFile(const QString &fileName);

    ApplicationSettings &settings() { return m_settings; }
    const ProjectParameters &projectParameters() const { return m_params; }
    QString projectFolder() const { return m_settings.currentProjectPath; }
    QString databasePath() const { return m_databasePath; }

    KxTableWidget *board() const { return m_board; }
    KelvaraTimes *timesView() const { return m_times; }
    KelvaraUsers *usersView() const { return m_users; }
    KelvaraDoors *doorsView() const { return m_doors; }
    const AccessBoard &boardData() const { return m_boardData; }
    bool isAreaExpanded(const QString &area);
    bool isGroupExpanded(const QString &group);

    // The menus as the last right press left them (for tests and the help popups).
    QMenu *cornerMenu() const { return m_cornerMenu; }
    QMenu *columnHeadMenu() const { return m_columnHeadMenu; }
    QMenu *rowHeadMenu() const { return m_rowHeadMenu; }
    QMenu *cellMenu() const { return m_cellMenu; }
    QMenu *lastOpenedMenu() const { return m_lastOpenedMenu; }

    static QString versionText();

    // The USB flash drive chosen for the open project (empty until chosen).
    FlashDrive &flashDrive() { return m_flashDrive; }

    // ---- Board tools (kelvaramanboard.cpp)
    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    KxFindBar *findBar() const { return m_findBar; }
    // Project, users, entries and pending entries, as the status bar shows them.
    QString statusText() const;
    // The tooltip of a board cell.
    QString cellToolTip(int row, int column) const;
    // The heads the find text matches, as board cells (row, 0) and (0, column).
    QVector<QPoint> findMatches() const { return m_matches; }
    // ---- end of board tools

    // Nanoseconds the last buildBoard() spent in the database and in filling the board.
    qint64 lastBoardQueryTime() const { return m_lastQueryNs; }
    qint64 lastBoardFillTime() const { return m_lastFillNs; }
    // Sets a time model on the block of users x entries (0 removes their
    // rights), asking first when more than one right changes; undoable.
    void changeRights(const QSet<int> &users, const QSet<int> &entries, int timeModel);
    // Nanoseconds the board last spent following a change in memory, paint not included.
    qint64 lastBoardFollowTime() const { return m_lastFollowNs; }

public slots:
    // Takes the folder as the open project: database path, parameters, board.
    // A project of another schema version is upgraded first when the user
    // agrees, or refused; false when it was not opened.
    bool openProjectFolder(const QString &folder);
    void buildBoard();

    void newProject();
    void openProject();
    void renameProject();
    void createProjectBackup();
    void restoreProjectBackup();
    void buildSupportPackage();
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

    void clickedOnTableCell(int row, int column, int mouseButton, bool isDoubleClicked);

    void m00hColapseAll();
    void m00hExpandAll();
    void m00hReadEventList();
    void m00hVerifyReader();
    void m00hOpenDataPath();
    void m00hOpenLogPath();
    void m00hHelp();
    void mchDoorArea();
    void mchRename();
    void mchUpdateAccessConfig();
    void mchReadAccessConfig();
    void mchImportTeachIn();
    void mchReadEventList();
    void mchVerifyReader();
    void mchOpenDataPath();
    void mchOpenLogPath();
    void mrhUserGroup();
    void mrhRename();
    void mtiChangeTimeModel(QAction *action);

    // ---- Project lifecycle (kelvaramanproject.cpp)
    // Runs once, 100 ms after start: the first-start questions.
    void firstStartCheck();
    // Opens a project of the File menu's recent list; one that is gone
    // leaves the list with a note.
    void openRecentProject(const QString &folder);
    QMenu *recentMenu() const { return m_recentMenu; }
    // Fills the recent list's menu (also run before it shows).
    void fillRecentMenu();

    // ---- Board tools (kelvaramanboard.cpp)
    void undoBoardChange();
    void redoBoardChange();
    void showFindBar();
    void findNext();
    void findPrevious();
    void showLegend();
    // "Why...?" for the clicked user x entry cell.
    void explainCell();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The cell menu's "Why...?" action.
    static constexpr int WhyCellData = -3;
    static constexpr int HistoryCellData = -4;

    // ---- Project lifecycle (kelvaramanproject.cpp)
    // Stored geometry for the main window, dialog rectangles moved into the desktop.
    void placeWindows();
    // Builds the demo project in the application data folder and opens it.
    void createDemoProject();
    // The folder that holds the open project, or an empty text.
    QString projectParentFolder() const;
    // True when a valid project is open; otherwise tells so under the title.
    bool requireProject(const QString &title);
    // Shows the outcome of an archive program that did not answer 0.
    void showArchiveFailure(const QString &title, int code);
    // Puts the folder first in the recent list.
    void noteRecentProject(const QString &folder);
    // ---- end of project lifecycle

    // ---- Board tools (kelvaramanboard.cpp)
    void createEditMenu();
    void createBoardTools();
    // After every rebuild: time models, filter, current cell and status bar.
    void refreshBoardTools();
    void updateStatusBar();
    // Sets or removes a time model on the clicked cell, asking first when
    // more than one right changes; undoable.
    void changeTimeModel(int timeModel);
    bool confirmBoardChange(const BoardChange &change, const QString &model);
    void updateUndoActions();
    void clearUndo();
    void loadFindIdentifiers();
    void updateFind();
    void applyFilter();
    void goToMatch(int step);
    void revealCell(int row, int column);
    void rememberCurrentCell(int row, int column);
    // Scroll position, current cell, find bar and undo start afresh.
    void resetBoardForProject();
    // Opens a folder built from an entry name, unless the name leads it out
    // of the base folder.
    void openEntryFolder(const QString &base, const QString &folder);
    // True when the new name is free or the user agrees to join the two.
    bool confirmMerge(const QString &newName, const QString &oldName, bool isGroup);
    // Renames a group or an area, undoably; false when nothing was renamed.
    bool renameBoardHead(BoardRename::Kind kind, const QString &oldName, const QString &newName);
    // A collapsed group or area stays collapsed under its new name.
    void carryExpansion(BoardRename::Kind kind, const QString &from, const QString &to);
    // The board follows a change, undo or redo of a block's rights in memory
    // instead of reading the database again (restored: the block's rights an
    // undo left); false when it cannot, then it is to be rebuilt.
    bool followBoardChange(const BoardChange &change, const BoardRights *restored,
                           const QSet<int> &changedEntries);
    // ---- end of board tools

    void createMenus();
    void createToolBar();
    void createBoard();
    void createBoardMenus();
    void createUsersView();
    void showView(QWidget *shown);
    void updateWindowTitle();
    void showEmptyBoard(const QString &cornerText);
    // The folder key of the entry whose column was clicked; null for a head.
    QString clickedEntryFolderKey() const;
    void fillBoardWidget();
    // The texts, pending style and update markers of the entry heads.
    void fillEntryHeads();
    // The cells of the board data that changed (row * columns + column, in order).
    void fillBoardCells(const QVector<int> &changedCells);
    // Entries the next update cannot serve as they stand, with the reasons (kelvaramanboard.cpp).
    // only: just these entries, the others keep theirs.
    void loadUpdateBlockers(const QSet<int> *only = nullptr);
    void applyGroupModes();
    void setAllExpanded(bool expanded);
    void toggleArea(int column);
    void toggleGroup(int row);
    QAction *addTitleAction(QMenu *menu, const QString &kind, const QString &name, bool isGroup,
                            bool expanded);
    void popup(QMenu *menu);
    QString accessBoardHelp() const;
    // Runs the function dialog for the scope; the board is rebuilt afterwards
    // when the function changes what it shows.
    void runReaderFunction(int function, const EntrySelection &selection,
                           const QString &scopeName = QString());
    // The clicked column head as a scope: an area or one entry.
    bool clickedColumnScope(bool onlyPendingForArea, EntrySelection &selection,
                            QString &scopeName) const;

    ApplicationSettings m_settings;
    QString m_databasePath;
    ProjectParameters m_params;
    QHash<QString, bool> m_areaExpanded;
    QHash<QString, bool> m_groupExpanded;
    QString m_manualFile;
    FlashDrive m_flashDrive;

    AccessBoard m_boardData;
    QHash<int, QString> m_updateBlockers;
    KxTableWidget *m_board = nullptr;
    QFrame *m_boardFrame = nullptr;
    KelvaraTimes *m_times = nullptr;
    QLabel *m_logo = nullptr;
    QToolBar *m_toolBar = nullptr;
    qint64 m_lastQueryNs = 0;
    qint64 m_lastFillNs = 0;
    qint64 m_lastFollowNs = 0;
    int m_clickedRow = -1;
    int m_clickedColumn = -1;

    QMenu *m_cornerMenu = nullptr;
    QMenu *m_columnHeadMenu = nullptr;
    QMenu *m_rowHeadMenu = nullptr;
    QMenu *m_cellMenu = nullptr;
    QPointer<QMenu> m_lastOpenedMenu;
    QAction *m_mchTitle = nullptr;
    QAction *m_mchRename = nullptr;
    QAction *m_mchReadAccess = nullptr;
    QAction *m_mchImport = nullptr;
    QAction *m_mrhTitle = nullptr;
    QAction *m_m00hDataPath = nullptr;
    QAction *m_m00hLogPath = nullptr;

    QAction *m_tooltipsAction = nullptr;
    QAction *m_generalSettingsAction = nullptr;
    QAction *m_projectSettingsAction = nullptr;
    KelvaraUsers *m_users = nullptr;
    KelvaraDoors *m_doors = nullptr;
    QList<QPair<QToolButton *, QString>> m_toolButtons;

    // ---- Board tools (kelvaramanboard.cpp)
    struct BoardStep
    {
        BoardChange change;
        // A rename when isRename, else the change of rights.
        BoardRename rename;
        bool isRename = false;
        QString text;
    };
    QVector<BoardStep> m_undoSteps;
    QVector<BoardStep> m_redoSteps;
    // Shows why an undo or redo failed; a step refused for rows that are no
    // longer its own goes from `steps`, with those behind it.
    void refuseStep(const QString &title, const QSqlError &error, bool stale,
                    QVector<BoardStep> &steps);
    QMenu *m_recentMenu = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    KxFindBar *m_findBar = nullptr;
    QLabel *m_statusLabel = nullptr;
    QVector<QPoint> m_matches;
    int m_matchIndex = -1;
    bool m_identifiersLoaded = false;
    QHash<int, QStringList> m_userIdentifiers;
    QHash<int, QString> m_entryIdentifiers;
    QHash<int, TimeModelRow> m_models;
    // The current cell by what it shows, so that it survives a rebuild.
    struct LineId
    {
        bool isHead = false;
        QString name;
        int key = 0;
    };
    LineId m_currentRowId;
    LineId m_currentColumnId;
    bool m_hasCurrent = false;

    // Board styles, registered once with the board widget.
    struct Styles
    {
        int cell = 0, cellDeviating = 0, yellowRow = 0, yellowColumn = 0, yellowBoth = 0;
        int groupHead = 0, userHead = 0, areaHead = 0, entryHead = 0, entryHeadPending = 0;
        int areaHeadPending = 0;
        int corner = 0;
    } m_styles;
};

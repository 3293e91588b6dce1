#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

class BoardHistory;
class BoardPresenter;
class EntrySelection;
class KelvaraMan;
class QAction;
struct WindowContext;

// The board's clicks and context menus: the corner, a column head (area or
// entry), a group's row head and a cell with its time models. Double clicks
// collapse and expand; the reader functions of the menus are the window's.
class BoardMenus : public QObject
{
    Q_OBJECT

public:
    BoardMenus(WindowContext &context, BoardPresenter &presenter, BoardHistory &history,
               KelvaraMan &window);

    // The menus as the last right press left them (for tests and the help popups).
    QMenu *cornerMenu() const { return m_cornerMenu; }
    QMenu *columnHeadMenu() const { return m_columnHeadMenu; }
    QMenu *rowHeadMenu() const { return m_rowHeadMenu; }
    QMenu *cellMenu() const { return m_cellMenu; }
    QMenu *lastOpenedMenu() const { return m_lastOpenedMenu; }

    // The project folders can be opened only while a project is open.
    void setProjectOpen(bool open);
    // The help of the board, for "Help for Access Board" and What's This.
    static QString boardHelp();

    void clicked(int row, int column, int mouseButton, bool isDoubleClicked);
    void collapseAll();
    void expandAll();
    void toggleClickedArea();
    void toggleClickedGroup();
    void renameClickedArea();
    void renameClickedGroup();
    enum class Folder { Data, Log };
    // Opens the project's data or log folder, or with ofClickedEntry the
    // clicked entry's one (the project's for an area) unless its name leads
    // it out of the project's.
    void openFolder(Folder folder, bool ofClickedEntry);
    void showHelp();
    void timeModelChosen(QAction *action);
    // "Why...?" for the clicked user x entry cell.
    void explainClickedCell();
    // The clicked column head as a scope: an area or one entry.
    bool clickedColumnScope(bool onlyPendingForArea, EntrySelection &selection,
                            QString &scopeName) const;

private:
    // The cell menu's "Why...?" action.
    static constexpr int WhyCellData = -3;
    static constexpr int HistoryCellData = -4;

    void createMenus();
    // What the signed-in role may not do is disabled, saying why.
    void applyPermissions();
    void popup(QMenu *menu);
    QAction *addTitleAction(QMenu *menu, const QString &kind, const QString &name, bool isGroup,
                            bool expanded);
    // The folder key of the entry whose column was clicked; null for a head.
    QString clickedEntryFolderKey() const;

    WindowContext &m_context;
    BoardPresenter &m_presenter;
    BoardHistory &m_history;
    KelvaraMan &m_window;
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
    QAction *m_mrhRename = nullptr;
    QList<QAction *> m_functionActions; // reader functions of the corner and column head menus
    QAction *m_m00hDataPath = nullptr;
    QAction *m_m00hLogPath = nullptr;
};

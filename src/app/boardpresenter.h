#pragma once

#include "access/accessboard.h"
#include "db/boardchange.h"
#include "db/boardrename.h"
#include "db/recordrows.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class KxTableWidget;
class QLabel;
class QMainWindow;
class QWidget;
struct WindowContext;

// Shows the board model on the board widget: cells and heads with their
// styles, collapsed and expanded groups and areas, the warning signs of
// entries an update cannot serve, tooltips and the status bar. After a change
// of rights it follows in memory instead of reading the database again.
class BoardPresenter : public QObject
{
    Q_OBJECT

public:
    // frame: the board's frame, hidden while another view is shown.
    BoardPresenter(WindowContext &context, KxTableWidget *board, QWidget *frame,
                   QMainWindow *window);

    // The project counts at the right of the status bar.
    void createStatusLabel();

    const AccessBoard &data() const { return m_data; }
    KxTableWidget *widget() const { return m_board; }
    // The time models by key, as read at the last rebuild.
    const QHash<int, TimeModelRow> &timeModels() const { return m_models; }

    // Reads the board from the database and shows it; a failure leaves the
    // board as it was. Without a project it shows an empty board.
    // quietly: a failure shows in the status bar, not in a message box (a
    // rebuild nobody asked for, after another workstation's change).
    void build(bool quietly = false);
    // Builds afresh where the board stands: current cell, scroll position,
    // collapsed heads and the find filter stay.
    void rebuildInPlace();
    // The board follows a change, undo or redo of a block's rights in memory
    // instead of reading the database again (restored: the block's rights an
    // undo left); false when it cannot, then it is to be rebuilt.
    bool follow(const BoardChange &change, const BoardRights *restored,
                const QSet<int> &changedEntries);

    bool isAreaExpanded(const QString &area);
    bool isGroupExpanded(const QString &group);
    // Notes the state; applyGroupModes() shows it.
    void setAreaExpanded(const QString &area, bool expanded);
    void setGroupExpanded(const QString &group, bool expanded);
    void setAllExpanded(bool expanded);
    void toggleArea(int column);
    void toggleGroup(int row);
    void applyGroupModes();
    // A collapsed group or area stays collapsed under its new name.
    void carryExpansion(BoardRename::Kind kind, const QString &from, const QString &to);

    // Project, users, entries and pending entries, as the status bar shows them.
    QString statusText() const;
    void updateStatusBar();
    // The tooltip of a board cell.
    QString cellToolTip(int row, int column) const;

    // No current cell, scrolled to the top left: a project starts afresh.
    void forgetCurrentCell();
    void scrollHome();

    // Nanoseconds the last build() spent in the database and in filling the
    // board, and the last follow() in memory (paint not included).
    qint64 lastQueryTime() const { return m_lastQueryNs; }
    qint64 lastFillTime() const { return m_lastFillNs; }
    qint64 lastFollowTime() const { return m_lastFollowNs; }

    // "1 entry" or "%1 entries" with the number.
    static QString countText(int n, const QString &one, const QString &many);

signals:
    // After a rebuild, before the current cell is found again.
    void rebuilt();

private:
    void createStyles();
    void showEmpty(const QString &cornerText);
    void fill();
    // The texts, pending style and update markers of the entry heads.
    void fillEntryHeads();
    // The cells of the board data that changed (row * columns + column, in order).
    void fillCells(const QVector<int> &changedCells);
    // Entries the next update cannot serve as they stand, with the reasons.
    // only: just these entries, the others keep theirs.
    void loadUpdateBlockers(const QSet<int> *only = nullptr);
    // After every rebuild: time models, current cell and status bar.
    void refresh();
    void rememberCurrentCell(int row, int column);

    WindowContext &m_context;
    KxTableWidget *m_board;
    QWidget *m_frame;
    QMainWindow *m_window;
    QLabel *m_statusLabel = nullptr;

    AccessBoard m_data;
    QHash<QString, bool> m_areaExpanded;
    QHash<QString, bool> m_groupExpanded;
    QHash<int, QString> m_updateBlockers;
    QHash<int, TimeModelRow> m_models;
    qint64 m_lastQueryNs = 0;
    qint64 m_lastFillNs = 0;
    qint64 m_lastFollowNs = 0;

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

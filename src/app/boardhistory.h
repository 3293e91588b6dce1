#pragma once

#include "db/boardchange.h"
#include "db/boardrename.h"

#include <QObject>
#include <QSet>
#include <QSqlError>
#include <QUndoStack>

class BoardPresenter;
class QAction;
class QMainWindow;
struct WindowContext;

// Changes of rights and renames of groups and areas on the board, asked for
// and written, and their undo and redo on a QUndoStack. Edit -> Undo and
// Redo name the step they take and are enabled while there is one.
class BoardHistory : public QObject
{
    Q_OBJECT

public:
    BoardHistory(WindowContext &context, BoardPresenter &presenter, QMainWindow *window);

    // The Edit menu's actions, whose texts and enabling follow the stack.
    void setActions(QAction *undo, QAction *redo);
    const QUndoStack &stack() const { return m_stack; }

    // Sets a time model on the block of users x entries (0 removes their
    // rights), asking first when more than one right changes; undoable.
    void changeRights(const QSet<int> &users, const QSet<int> &entries, int timeModel);
    // True when the new name is free or the user agrees to join the two.
    bool confirmMerge(const QString &newName, const QString &oldName, bool isGroup);
    // Renames a group or an area, undoably; false when nothing was renamed.
    bool renameHead(BoardRename::Kind kind, const QString &oldName, const QString &newName);

    void undo();
    void redo();
    // A new project starts with no steps.
    void clear();

    // For the steps on the stack.
    const QString &databasePath() const;
    BoardPresenter &presenter() { return m_presenter; }
    void noteFailure(const QSqlError &error, bool stale);
    // The undo just taken compared the whole block (its rows changed elsewhere).
    void noteCompared() { m_compared = true; }
    void rebuild() { emit rebuildRequested(); }

signals:
    // The board is to be read from the database again.
    void rebuildRequested();

private:
    bool confirmChange(const BoardChange &change, const QString &model);
    // Takes the next undo (forward false) or redo step; tells why when it fails.
    void take(bool forward);
    void updateActions();

    WindowContext &m_context;
    BoardPresenter &m_presenter;
    QMainWindow *m_window;
    QUndoStack m_stack;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    // What the step being taken ran into.
    QSqlError m_failure;
    bool m_compared = false;
    bool m_failureStale = false;
};

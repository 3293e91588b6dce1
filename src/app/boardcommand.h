#pragma once

#include "db/boardchange.h"
#include "db/boardrename.h"

#include <QUndoCommand>

class BoardHistory;

// One step of the board's history: a change of rights on a block of users x
// entries, or the rename of a group or an area. It is made after the step
// was written, so its first redo() only moves the stack's index. A step
// that fails tells the history; one that can never be taken again (its rows
// are no longer its own) makes itself obsolete, so that the stack drops it.
class BoardCommand : public QUndoCommand
{
public:
    BoardCommand(BoardHistory &history, const BoardChange &change, const QString &text);
    BoardCommand(BoardHistory &history, const BoardRename &rename, const QString &text);

    void undo() override;
    void redo() override;

    // The next undo() or redo() only moves the index: the database already
    // is as it leaves it.
    void skipNext() { m_skipNext = true; }

private:
    bool takeSkip();
    // Redoes (forward) or undoes the step in the database, then on the board.
    void take(bool forward);

    BoardHistory &m_history;
    BoardChange m_change;
    // A rename when m_isRename, else the change of rights.
    BoardRename m_rename;
    bool m_isRename = false;
    bool m_skipNext = true;
};

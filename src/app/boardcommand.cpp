#include "app/boardcommand.h"

#include "app/boardhistory.h"
#include "app/boardpresenter.h"
#include "widgets/kxwaitcursor.h"

BoardCommand::BoardCommand(BoardHistory &history, const BoardChange &change, const QString &text)
    : QUndoCommand(text), m_history(history), m_change(change)
{
}

BoardCommand::BoardCommand(BoardHistory &history, const BoardRename &rename, const QString &text)
    : QUndoCommand(text), m_history(history), m_rename(rename), m_isRename(true)
{
}

bool BoardCommand::takeSkip()
{
    const bool skip = m_skipNext;
    m_skipNext = false;
    return skip;
}

void BoardCommand::undo()
{
    if (!takeSkip())
        take(false);
}

void BoardCommand::redo()
{
    if (!takeSkip())
        take(true);
}

void BoardCommand::take(bool forward)
{
    const QString &database = m_history.databasePath();
    QSqlError error;
    QSet<int> changedEntries;
    BoardRights restored;
    bool stale = false;
    {
        KxWaitCursor wait;
        if (m_isRename)
            error = forward ? m_rename.apply(database) : m_rename.revert(database);
        else
            error = forward ? m_change.apply(database, &changedEntries, &stale)
                            : m_change.revert(database, &changedEntries, &restored, &stale);
    }
    if (error.isValid()) {
        m_history.noteFailure(error, stale);
        setObsolete(stale);
        return;
    }
    if (!m_isRename && !forward && m_change.lastUndoCompared())
        m_history.noteCompared();
    BoardPresenter &presenter = m_history.presenter();
    if (m_isRename) {
        const QString from = forward ? m_rename.oldName() : m_rename.newName();
        const QString to = forward ? m_rename.newName() : m_rename.oldName();
        presenter.carryExpansion(m_rename.kind(), from, to);
    }
    if (m_isRename || !presenter.follow(m_change, forward ? nullptr : &restored, changedEntries))
        m_history.rebuild();
}

#include "app/boardhistory.h"

#include "app/boardcommand.h"
#include "app/boardpresenter.h"
#include "app/windowcontext.h"
#include "core/errortext.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QMainWindow>
#include <QStatusBar>

BoardHistory::BoardHistory(WindowContext &context, BoardPresenter &presenter, QMainWindow *window)
    : QObject(window), m_context(context), m_presenter(presenter), m_window(window)
{
}

void BoardHistory::setActions(QAction *undo, QAction *redo)
{
    m_undoAction = undo;
    m_redoAction = redo;
    updateActions();
}

const QString &BoardHistory::databasePath() const
{
    return m_context.databasePath;
}

void BoardHistory::noteFailure(const QSqlError &error, bool stale)
{
    m_failure = error;
    m_failureStale = stale;
}

bool BoardHistory::confirmChange(const BoardChange &change, const QString &model)
{
    const auto count = &BoardPresenter::countText;
    const QString what = tr("%1 of %2 at %3")
                             .arg(count(change.rightCount(), tr("1 right"), tr("%1 rights")),
                                  count(change.userCount(), tr("1 user"), tr("%1 users")),
                                  count(change.entryCount(), tr("1 entry"), tr("%1 entries")));
    const QString question = change.timeModel() == 0
                                 ? tr("Remove %1?").arg(what)
                                 : tr("Set the time model %1 on %2?").arg(model, what);
    const QString title = change.timeModel() == 0 ? tr("Remove Time Model") : tr("Set Time Model");
    return KxMessageBox::question(
               m_window, title,
               question + QStringLiteral("\n\n") +
                   tr("The entries will be marked for \"Update Access Rights\".\n"
                      "Edit -> Undo (Ctrl+Z) takes the change back."),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void BoardHistory::changeRights(const QSet<int> &users, const QSet<int> &entries, int timeModel)
{
    BoardChange change;
    QSqlError error =
        BoardChange::prepare(m_context.databasePath, users, entries, timeModel, change);
    if (error.isValid()) {
        showDatabaseError(m_window, tr("DB change time model"), error);
        return;
    }
    if (change.rightCount() == 0)
        return; // every right already is as asked
    const TimeModelRow model = m_presenter.timeModels().value(timeModel);
    const QString modelText = model.modelTag.isEmpty()
                                  ? QString::number(timeModel)
                                  : QStringLiteral("%1 (%2)").arg(model.modelTag, model.modelName);
    if (change.rightCount() > 1 && !confirmChange(change, modelText))
        return;
    QSet<int> changedEntries;
    for (;;) {
        {
            KxWaitCursor wait;
            error = change.apply(m_context.databasePath, &changedEntries);
        }
        if (!error.isValid())
            break;
        // Nothing was written: the board keeps showing the rights as they
        // are. A lost server connection may be tried again.
        if (!showDatabaseErrorOfferingRetry(m_window, tr("DB change time model"), error))
            return;
    }
    const QString text =
        (timeModel == 0 ? tr("Remove Time Model") : tr("Set Time Model %1").arg(model.modelTag)) +
        QStringLiteral(" (") +
        BoardPresenter::countText(change.rightCount(), tr("1 right"), tr("%1 rights")) +
        QLatin1Char(')');
    m_stack.push(new BoardCommand(*this, change, text));
    updateActions();
    if (!m_presenter.follow(change, nullptr, changedEntries))
        rebuild();
    m_window->statusBar()->showMessage(text, 5000);
}

bool BoardHistory::confirmMerge(const QString &newName, const QString &oldName, bool isGroup)
{
    if (newName == oldName)
        return true;
    const AccessBoard &board = m_presenter.data();
    bool exists = false;
    const int n = isGroup ? board.rowCount() : board.columnCount();
    for (int i = 1; i < n && !exists; ++i) {
        const AccessBoard::Line &line = isGroup ? board.row(i) : board.column(i);
        exists = line.isHead && line.name == newName;
    }
    if (!exists)
        return true;
    const QString text =
        isGroup ? tr("The user group \"%1\" exists already.\n\nJoin the users of \"%2\" to it?")
                : tr("The area \"%1\" exists already.\n\nJoin the entries of \"%2\" to it?");
    return KxMessageBox::question(m_window, isGroup ? tr("Rename User Group") : tr("Rename Area"),
                                  text.arg(newName, oldName)) == QMessageBox::Yes;
}

bool BoardHistory::renameHead(BoardRename::Kind kind, const QString &oldName,
                              const QString &newName)
{
    if (newName == oldName)
        return false;
    const QString title = kind == BoardRename::Group ? tr("Rename User Group") : tr("Rename Area");
    BoardRename rename;
    const QSqlError error =
        BoardRename::rename(m_context.databasePath, kind, oldName, newName, rename);
    if (error.isValid()) {
        showDatabaseError(m_window, title, error);
        return false;
    }
    if (rename.count() == 0) {
        rebuild();
        return false;
    }
    const QString text = (kind == BoardRename::Group ? tr("Rename User Group \"%1\" to \"%2\"")
                                                     : tr("Rename Area \"%1\" to \"%2\""))
                             .arg(oldName, newName);
    m_presenter.carryExpansion(kind, oldName, newName);
    m_stack.push(new BoardCommand(*this, rename, text));
    updateActions();
    rebuild();
    m_window->statusBar()->showMessage(text, 5000);
    return true;
}

void BoardHistory::undo()
{
    take(false);
}

void BoardHistory::redo()
{
    take(true);
}

void BoardHistory::take(bool forward)
{
    if (!(forward ? m_stack.canRedo() : m_stack.canUndo()) || m_context.databasePath.isEmpty())
        return;
    const QString text = forward ? m_stack.redoText() : m_stack.undoText();
    m_failure = QSqlError();
    m_failureStale = false;
    m_compared = false;
    if (forward)
        m_stack.redo();
    else
        m_stack.undo();
    if (!m_failure.isValid()) {
        updateActions();
        QString done = (forward ? tr("Redone: %1") : tr("Undone: %1")).arg(text);
        if (m_compared)
            done += QStringLiteral(" \u2014 ") + BoardChange::comparedNote();
        m_window->statusBar()->showMessage(done, m_compared ? 15000 : 5000);
        return;
    }
    const QString title = forward ? tr("Redo") : tr("Undo");
    // The stack is no place for const steps: it owns them and changes them.
    auto stepAt = [this](int index) {
        return static_cast<BoardCommand *>(const_cast<QUndoCommand *>(m_stack.command(index)));
    };
    if (!m_failureStale) {
        // The step stays where it was: its index goes back, the database is
        // as it was.
        if (forward) {
            stepAt(m_stack.index() - 1)->skipNext();
            m_stack.undo();
        } else {
            stepAt(m_stack.index())->skipNext();
            m_stack.redo();
        }
        showDatabaseError(m_window, title, m_failure);
        return;
    }
    // The stack dropped the step, which can never be taken again; those
    // behind it were made on top of it: they go too.
    while (forward ? m_stack.canRedo() : m_stack.canUndo()) {
        stepAt(forward ? m_stack.index() : m_stack.index() - 1)->setObsolete(true);
        if (forward)
            m_stack.redo();
        else
            m_stack.undo();
    }
    updateActions();
    KxMessageBox::critical(m_window, title,
                           databaseErrorText(m_failure) + QStringLiteral("\n\n") +
                               tr("This step and the ones before it were taken off the list."));
}

void BoardHistory::clear()
{
    m_stack.clear();
    updateActions();
}

void BoardHistory::updateActions()
{
    m_undoAction->setEnabled(m_stack.canUndo());
    m_undoAction->setText(m_stack.canUndo() ? tr("&Undo %1").arg(menuText(m_stack.undoText()))
                                            : tr("&Undo"));
    m_redoAction->setEnabled(m_stack.canRedo());
    m_redoAction->setText(m_stack.canRedo() ? tr("&Redo %1").arg(menuText(m_stack.redoText()))
                                            : tr("&Redo"));
}

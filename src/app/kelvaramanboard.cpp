// The tools of the main window's access board: undo and redo of board
// changes with their confirmation, the find bar and its filter, cell
// tooltips, the legend and the status bar.
#include "app/kelvaraman.h"

#include "access/timemodel.h"
#include "core/errortext.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/updatecheck.h"
#include "views/kelvaraboardlegend.h"
#include "views/kelvarawhydialog.h"
#include "widgets/guimessages.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxtablewidget.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// Identifiers are compared without their separators and case.
QString compact(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            result += c.toUpper();
    }
    return result;
}

// "1 entry" or "%1 entries" with the number.
QString count(int n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(n);
}

} // namespace

// ---------------------------------------------------------------- construction

void KelvaraMan::createEditMenu()
{
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    m_undoAction = edit->addAction(tr("&Undo"), this, &KelvaraMan::undoBoardChange);
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = edit->addAction(tr("&Redo"), this, &KelvaraMan::redoBoardChange);
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    QAction *find =
        edit->addAction(tr("&Find on the Access Board"), this, &KelvaraMan::showFindBar);
    find->setShortcut(QKeySequence::Find);
    QAction *next = edit->addAction(tr("Find &Next"), this, &KelvaraMan::findNext);
    next->setShortcut(QKeySequence::FindNext);
    QAction *previous = edit->addAction(tr("Find &Previous"), this, &KelvaraMan::findPrevious);
    previous->setShortcut(QKeySequence::FindPrevious);
    updateUndoActions();
}

void KelvaraMan::createBoardTools()
{
    m_findBar = new KxFindBar(m_boardFrame);
    m_findBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (auto *layout = qobject_cast<QVBoxLayout *>(m_boardFrame->layout())) {
        layout->insertWidget(0, m_findBar);
        layout->setStretchFactor(m_board, 1);
    }
    connect(m_findBar, &KxFindBar::textChanged, this, &KelvaraMan::updateFind);
    connect(m_findBar, &KxFindBar::findNext, this, &KelvaraMan::findNext);
    connect(m_findBar, &KxFindBar::findPrevious, this, &KelvaraMan::findPrevious);
    connect(m_findBar, &KxFindBar::filterToggled, this, &KelvaraMan::applyFilter);
    connect(m_findBar, &KxFindBar::dismissed, this, [this] {
        applyFilter();
        m_board->setFocus(Qt::OtherFocusReason);
    });

    m_board->setToolTipProvider([this](int row, int column) { return cellToolTip(row, column); });
    // The group and area of what is on screen stay in sight while scrolling.
    m_board->setStickyHeads(true);
    connect(m_board, &KxTableWidget::currentCellChanged, this, &KelvaraMan::rememberCurrentCell);

    m_statusLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_statusLabel);
    statusBar()->setSizeGripEnabled(true);
}

// ---------------------------------------------------------------- status and tooltips

QString KelvaraMan::statusText() const
{
    if (m_databasePath.isEmpty())
        return tr("No project loaded");
    int users = 0;
    int entries = 0;
    int pending = 0;
    for (int r = 1; r < m_boardData.rowCount(); ++r)
        users += m_boardData.row(r).isHead ? 0 : 1;
    for (int c = 1; c < m_boardData.columnCount(); ++c) {
        if (m_boardData.column(c).isHead)
            continue;
        ++entries;
        pending += m_boardData.column(c).needsUpdate ? 1 : 0;
    }
    const QString name =
        QFileInfo(QDir::fromNativeSeparators(m_settings.currentProjectPath)).fileName();
    return tr("Project: %1    Users: %2    Entries: %3    Pending updates: %4")
        .arg(name)
        .arg(users)
        .arg(entries)
        .arg(pending);
}

void KelvaraMan::updateStatusBar()
{
    m_statusLabel->setText(statusText());
}

QString KelvaraMan::cellToolTip(int row, int column) const
{
    const AccessBoard &b = m_boardData;
    if (row < 0 || column < 0 || row >= b.rowCount() || column >= b.columnCount() ||
        (row == 0 && column == 0))
        return QString();
    QStringList lines;
    auto rowLine = [&](int r) {
        const AccessBoard::Line &line = b.row(r);
        if (!line.isHead)
            return tr("User: %1").arg(line.name);
        const int members = b.memberRows(r).size();
        return tr("User Group: %1 (%2)")
            .arg(line.name, count(members, tr("1 user"), tr("%1 users")));
    };
    auto columnLine = [&](int c) {
        const AccessBoard::Line &line = b.column(c);
        if (!line.isHead)
            return tr("Entry: %1").arg(line.name);
        const int members = b.memberColumns(c).size();
        return tr("Area: %1 (%2)").arg(line.name, count(members, tr("1 entry"), tr("%1 entries")));
    };
    auto pendingLines = [&](int c) {
        int pending = 0;
        for (int m : b.memberColumns(c))
            pending += b.column(m).needsUpdate ? 1 : 0;
        if (!b.column(c).isHead) {
            QStringList lines;
            if (pending)
                lines << tr("The reader of this entry needs an update.");
            const QString blocker = m_updateBlockers.value(b.column(c).key);
            if (!blocker.isEmpty())
                lines << tr("This entry cannot be updated as it stands:") << blocker;
            return lines;
        }
        return pending ? QStringList{tr("Entries waiting for an update: %1").arg(pending)}
                       : QStringList();
    };
    if (row == 0) {
        lines << columnLine(column) << pendingLines(column);
        if (b.column(column).isHead && !m_areaExpanded.value(b.column(column).name, true))
            lines << tr("Collapsed: double click to expand.");
        return lines.join(QLatin1Char('\n'));
    }
    if (column == 0) {
        lines << rowLine(row);
        if (b.row(row).isHead && !m_groupExpanded.value(b.row(row).name, true))
            lines << tr("Collapsed: double click to expand.");
        return lines.join(QLatin1Char('\n'));
    }
    lines << rowLine(row) << columnLine(column);
    const QString text = b.textAt(row, column);
    if (text == AccessBoard::Differs) {
        lines << tr("Time model: different ones (\"...\")");
    } else if (text.isEmpty()) {
        lines << tr("No access");
    } else {
        const bool member = !b.row(row).isHead && !b.column(column).isHead;
        int key = member ? b.timeModelAt(row, column) : 0;
        for (auto it = m_models.cbegin(); !key && it != m_models.cend(); ++it) {
            if (it->modelTag == text)
                key = it.key();
        }
        const TimeModelRow model = m_models.value(key);
        lines << tr("Time model: %1 (%2)").arg(text, model.modelName);
        const QString display = TimeModel(model.modelDefinition).toDisplay();
        if (!display.isEmpty())
            lines << QStringLiteral("    ") + display;
        if (member && b.isDeviating(row, column))
            lines << tr("Differs from most rights of its group and area (grey).");
    }
    lines << pendingLines(column);
    return lines.join(QLatin1Char('\n'));
}

void KelvaraMan::loadUpdateBlockers(const QSet<int> *only)
{
    // What each entry uses, from the board in memory: reading every entry's
    // rows again would cost more than building the board. Only the entries
    // whose rights changed can change their blockers.
    QHash<int, QSet<int>> modelsOfEntry;
    QHash<int, int> rightsOfEntry;
    for (int c = 1; c < m_boardData.columnCount(); ++c) {
        const AccessBoard::Line &entry = m_boardData.column(c);
        if (entry.isHead || (only && !only->contains(entry.key)))
            continue;
        QSet<int> &models = modelsOfEntry[entry.key];
        int &rights = rightsOfEntry[entry.key];
        for (int r = 1; r < m_boardData.rowCount(); ++r) {
            if (m_boardData.row(r).isHead)
                continue;
            if (const int pkTimes = m_boardData.timeModelAt(r, c)) {
                models.insert(pkTimes);
                ++rights;
            }
        }
    }
    QList<EntryTarget> entries;
    QList<UpdateCheck::Result> results;
    const EntrySelection selection =
        only ? EntrySelection::entries(*only) : EntrySelection::allEntries();
    // A check that cannot run shows no markers; the board itself still builds.
    if (selection.list(m_databasePath, entries).isValid() ||
        UpdateCheck::checkBlocking(m_params, entries, modelsOfEntry, rightsOfEntry,
                                   m_params.siteToday(), results)
            .isValid()) {
        m_updateBlockers.clear();
        return;
    }
    if (only) {
        for (int key : *only)
            m_updateBlockers.remove(key);
    } else {
        m_updateBlockers.clear();
    }
    for (const UpdateCheck::Result &result : qAsConst(results))
        if (!result.canUpdate())
            m_updateBlockers.insert(result.entry.pkDoors, result.blocking.join(QLatin1Char('\n')));
}

bool KelvaraMan::followBoardChange(const BoardChange &change, const BoardRights *restored,
                                   const QSet<int> &changedEntries)
{
    // A board behind another view may lag behind the database (users or
    // entries edited there): it is read afresh. So is one that lacks a key
    // of the block.
    m_lastFollowNs = -1;
    if (m_boardFrame->isHidden() || m_databasePath.isEmpty())
        return false;
    for (int user : change.users()) {
        if (m_boardData.rowOfUser(user) < 0)
            return false;
    }
    for (int entry : change.entries()) {
        if (m_boardData.columnOfEntry(entry) < 0)
            return false;
    }
    QHash<int, QString> tags;
    for (auto it = m_models.cbegin(); it != m_models.cend(); ++it)
        tags.insert(it.key(), it->modelTag);
    QElapsedTimer timer;
    timer.start();
    QVector<int> changedCells;
    const bool set = restored ? m_boardData.setBlock(change.users(), change.entries(), *restored,
                                                     tags, &changedCells)
                              : m_boardData.setBlock(change.users(), change.entries(),
                                                     change.timeModel(), tags, &changedCells);
    if (!set)
        return false;
    m_boardData.markPending(changedEntries);
    loadUpdateBlockers(&change.entries());
    fillBoardCells(changedCells);
    fillEntryHeads();
    // Also repaints: the pending colour of collapsed areas may change.
    applyGroupModes();
    updateStatusBar();
    m_lastFollowNs = timer.nsecsElapsed();
    return true;
}

// ---------------------------------------------------------------- after a rebuild

void KelvaraMan::refreshBoardTools()
{
    m_models.clear();
    m_identifiersLoaded = false;
    if (!m_databasePath.isEmpty()) {
        QList<TimeModelRow> models;
        // Only the tooltips use them: a failure leaves the definitions out.
        if (!TimeModelRecords::listTimeModels(m_databasePath, 0, models).isValid()) {
            for (const TimeModelRow &m : qAsConst(models))
                m_models.insert(m.pkTimes, m);
        }
    }
    if (m_findBar->isVisible())
        updateFind();
    if (m_hasCurrent) {
        auto find = [](const LineId &id, int n, const auto &lineAt) {
            if (id.key < 0)
                return 0;
            for (int i = 1; i < n; ++i) {
                const AccessBoard::Line &line = lineAt(i);
                if (line.isHead == id.isHead &&
                    (id.isHead ? line.name == id.name : line.key == id.key))
                    return i;
            }
            return -1;
        };
        const int row =
            find(m_currentRowId, m_boardData.rowCount(),
                 [this](int i) -> const AccessBoard::Line & { return m_boardData.row(i); });
        const int column =
            find(m_currentColumnId, m_boardData.columnCount(),
                 [this](int i) -> const AccessBoard::Line & { return m_boardData.column(i); });
        const bool keep = m_hasCurrent;
        if (row >= 0 && column >= 0)
            m_board->setCurrentCell(row, column);
        m_hasCurrent = keep;
    }
    updateStatusBar();
}

void KelvaraMan::rememberCurrentCell(int row, int column)
{
    m_hasCurrent = row >= 0 && column >= 0 && row < m_boardData.rowCount() &&
                   column < m_boardData.columnCount();
    if (!m_hasCurrent)
        return;
    auto id = [](const AccessBoard::Line &line, bool isHeadLine) {
        LineId result;
        result.isHead = line.isHead || isHeadLine;
        result.name = isHeadLine ? QString() : line.name;
        // The head row and column have no line of their own.
        result.key = isHeadLine ? -1 : line.key;
        return result;
    };
    m_currentRowId = id(m_boardData.row(row), row == 0);
    m_currentColumnId = id(m_boardData.column(column), column == 0);
    // The group and area of the current cell stay in sight below.
    if (row > 0 && column > 0) {
        const AccessBoard::Line &r = m_boardData.row(row);
        const AccessBoard::Line &c = m_boardData.column(column);
        QString where = r.isHead ? tr("User Group: %1").arg(r.name)
                                 : tr("User: %1 (%2)").arg(r.name, m_boardData.row(r.head).name);
        where += QStringLiteral("    ");
        where += c.isHead ? tr("Area: %1").arg(c.name)
                          : tr("Entry: %1 (%2)").arg(c.name, m_boardData.column(c.head).name);
        // Elided rather than cut off where the project counts begin.
        const int room = statusBar()->width() - m_statusLabel->sizeHint().width() - 40;
        statusBar()->showMessage(
            statusBar()->fontMetrics().elidedText(where, Qt::ElideRight, qMax(room, 80)));
    } else {
        statusBar()->clearMessage();
    }
}

// ---------------------------------------------------------------- changes, undo and redo

bool KelvaraMan::confirmBoardChange(const BoardChange &change, const QString &model)
{
    const QString what = tr("%1 of %2 at %3")
                             .arg(count(change.rightCount(), tr("1 right"), tr("%1 rights")),
                                  count(change.userCount(), tr("1 user"), tr("%1 users")),
                                  count(change.entryCount(), tr("1 entry"), tr("%1 entries")));
    const QString question = change.timeModel() == 0
                                 ? tr("Remove %1?").arg(what)
                                 : tr("Set the time model %1 on %2?").arg(model, what);
    const QString title = change.timeModel() == 0 ? tr("Remove Time Model") : tr("Set Time Model");
    return KxMessageBox::question(
               this, title,
               question + QStringLiteral("\n\n") +
                   tr("The entries will be marked for \"Update Access Rights\".\n"
                      "Edit -> Undo (Ctrl+Z) takes the change back."),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void KelvaraMan::changeTimeModel(int timeModel)
{
    changeRights(m_boardData.usersOfRow(m_clickedRow), m_boardData.entriesOfColumn(m_clickedColumn),
                 timeModel);
}

void KelvaraMan::changeRights(const QSet<int> &users, const QSet<int> &entries, int timeModel)
{
    BoardChange change;
    QSqlError error = BoardChange::prepare(m_databasePath, users, entries, timeModel, change);
    if (error.isValid()) {
        showDatabaseError(this, tr("DB change time model"), error);
        return;
    }
    if (change.rightCount() == 0)
        return; // every right already is as asked
    const TimeModelRow model = m_models.value(timeModel);
    const QString modelText = model.modelTag.isEmpty()
                                  ? QString::number(timeModel)
                                  : QStringLiteral("%1 (%2)").arg(model.modelTag, model.modelName);
    if (change.rightCount() > 1 && !confirmBoardChange(change, modelText))
        return;
    QSet<int> changedEntries;
    {
        KxWaitCursor wait;
        error = change.apply(m_databasePath, &changedEntries);
    }
    if (error.isValid()) {
        // Nothing was written: the board keeps showing the rights as they are.
        showDatabaseError(this, tr("DB change time model"), error);
        return;
    }
    BoardStep step;
    step.change = change;
    step.text =
        (timeModel == 0 ? tr("Remove Time Model") : tr("Set Time Model %1").arg(model.modelTag)) +
        QStringLiteral(" (") + count(change.rightCount(), tr("1 right"), tr("%1 rights")) +
        QLatin1Char(')');
    m_undoSteps.append(step);
    m_redoSteps.clear();
    updateUndoActions();
    if (!followBoardChange(change, nullptr, changedEntries))
        buildBoard();
    statusBar()->showMessage(step.text, 5000);
}

void KelvaraMan::undoBoardChange()
{
    if (m_undoSteps.isEmpty() || m_databasePath.isEmpty())
        return;
    QSqlError error;
    const BoardStep &step = m_undoSteps.last();
    QSet<int> changedEntries;
    BoardRights restored;
    bool stale = false;
    {
        KxWaitCursor wait;
        error = step.isRename
                    ? step.rename.revert(m_databasePath)
                    : step.change.revert(m_databasePath, &changedEntries, &restored, &stale);
    }
    if (error.isValid()) {
        refuseStep(tr("Undo"), error, stale, m_undoSteps);
        return;
    }
    if (step.isRename)
        carryExpansion(step.rename.kind(), step.rename.newName(), step.rename.oldName());
    m_redoSteps.append(m_undoSteps.takeLast());
    updateUndoActions();
    const BoardStep &undone = m_redoSteps.last();
    if (undone.isRename || !followBoardChange(undone.change, &restored, changedEntries))
        buildBoard();
    statusBar()->showMessage(tr("Undone: %1").arg(m_redoSteps.last().text), 5000);
}

void KelvaraMan::redoBoardChange()
{
    if (m_redoSteps.isEmpty() || m_databasePath.isEmpty())
        return;
    QSqlError error;
    const BoardStep &step = m_redoSteps.last();
    QSet<int> changedEntries;
    bool stale = false;
    {
        KxWaitCursor wait;
        error = step.isRename ? step.rename.apply(m_databasePath)
                              : step.change.apply(m_databasePath, &changedEntries, &stale);
    }
    if (error.isValid()) {
        refuseStep(tr("Redo"), error, stale, m_redoSteps);
        return;
    }
    if (step.isRename)
        carryExpansion(step.rename.kind(), step.rename.oldName(), step.rename.newName());
    m_undoSteps.append(m_redoSteps.takeLast());
    updateUndoActions();
    const BoardStep &redone = m_undoSteps.last();
    if (redone.isRename || !followBoardChange(redone.change, nullptr, changedEntries))
        buildBoard();
    statusBar()->showMessage(tr("Redone: %1").arg(m_undoSteps.last().text), 5000);
}

void KelvaraMan::refuseStep(const QString &title, const QSqlError &error, bool stale,
                            QVector<BoardStep> &steps)
{
    if (!stale) {
        showDatabaseError(this, title, error);
        return;
    }
    // The step can never be taken again, and those behind it were made on
    // top of it: they go.
    steps.clear();
    updateUndoActions();
    KxMessageBox::critical(this, title,
                           databaseErrorText(error) + QStringLiteral("\n\n") +
                               tr("This step and the ones before it were taken off the list."));
}

void KelvaraMan::updateUndoActions()
{
    m_undoAction->setEnabled(!m_undoSteps.isEmpty());
    m_undoAction->setText(m_undoSteps.isEmpty()
                              ? tr("&Undo")
                              : tr("&Undo %1").arg(menuText(m_undoSteps.last().text)));
    m_redoAction->setEnabled(!m_redoSteps.isEmpty());
    m_redoAction->setText(m_redoSteps.isEmpty()
                              ? tr("&Redo")
                              : tr("&Redo %1").arg(menuText(m_redoSteps.last().text)));
}

void KelvaraMan::clearUndo()
{
    m_undoSteps.clear();
    m_redoSteps.clear();
    updateUndoActions();
}

// ---------------------------------------------------------------- find and filter

void KelvaraMan::showFindBar()
{
    enterTabKelvara();
    m_findBar->activate();
    updateFind();
}

void KelvaraMan::loadFindIdentifiers()
{
    if (m_identifiersLoaded || m_databasePath.isEmpty())
        return;
    m_identifiersLoaded = true;
    m_userIdentifiers.clear();
    m_entryIdentifiers.clear();
    QList<UserRow> users;
    QList<EntryRow> entries;
    // Names are found without them: a failure only leaves identifiers out.
    if (!UserRecords::listUsers(m_databasePath, UserRecords::SortByName, true, users).isValid()) {
        for (const UserRow &u : qAsConst(users)) {
            QStringList forms;
            for (const QString &stored : {u.iddIso14443, u.iddClass1Gen2}) {
                if (stored.isEmpty())
                    continue;
                const TransponderIdd idd = TransponderIdd::fromStored(stored);
                forms << compact(stored) << compact(idd.toHex()) << compact(idd.toDisplay());
            }
            if (!forms.isEmpty())
                m_userIdentifiers.insert(u.pkUsers, forms);
        }
    }
    if (!EntryRecords::listEntries(m_databasePath, EntryRecords::SortByName, true, entries)
             .isValid()) {
        for (const EntryRow &e : qAsConst(entries)) {
            if (!e.readerSerNo.isEmpty())
                m_entryIdentifiers.insert(e.pkDoors, compact(e.readerSerNo));
        }
    }
}

void KelvaraMan::updateFind()
{
    m_matches.clear();
    m_matchIndex = -1;
    const QString text = m_findBar->text().trimmed();
    if (!text.isEmpty()) {
        loadFindIdentifiers();
        const QString id = compact(text);
        auto matches = [&](const AccessBoard::Line &line, bool isRow) {
            if (line.name.contains(text, Qt::CaseInsensitive))
                return true;
            if (line.isHead || id.size() < 2)
                return false;
            if (isRow) {
                for (const QString &form : m_userIdentifiers.value(line.key)) {
                    if (form.contains(id))
                        return true;
                }
                return false;
            }
            return m_entryIdentifiers.value(line.key).contains(id);
        };
        for (int r = 1; r < m_boardData.rowCount(); ++r) {
            if (matches(m_boardData.row(r), true))
                m_matches.append(QPoint(0, r)); // x column, y row
        }
        for (int c = 1; c < m_boardData.columnCount(); ++c) {
            if (matches(m_boardData.column(c), false))
                m_matches.append(QPoint(c, 0));
        }
    }
    if (text.isEmpty())
        m_findBar->setMatchText(QString(), true);
    else if (m_matches.isEmpty())
        m_findBar->setMatchText(tr("No match"), false);
    else
        m_findBar->setMatchText(count(m_matches.size(), tr("1 match"), tr("%1 matches")), true);
    applyFilter();
}

void KelvaraMan::applyFilter()
{
    const bool on = m_findBar->isFilterOn() && !m_findBar->text().trimmed().isEmpty();
    m_board->clearFilter();
    if (on) {
        QVector<bool> keepRow(m_boardData.rowCount(), false);
        QVector<bool> keepColumn(m_boardData.columnCount(), false);
        bool anyRow = false;
        bool anyColumn = false;
        for (const QPoint &match : qAsConst(m_matches)) {
            // A matching head keeps its members, a matching member its head.
            if (match.y() > 0) {
                anyRow = true;
                keepRow[m_boardData.row(match.y()).head] = true;
                for (int m : m_boardData.memberRows(match.y()))
                    keepRow[m] = true;
            } else {
                anyColumn = true;
                keepColumn[m_boardData.column(match.x()).head] = true;
                for (int m : m_boardData.memberColumns(match.x()))
                    keepColumn[m] = true;
            }
        }
        // Matches among the users only filter rows, among the entries only
        // columns; no match at all leaves nothing.
        const bool none = !anyRow && !anyColumn;
        for (int r = 1; r < m_boardData.rowCount(); ++r)
            m_board->setRowFiltered(r, (anyRow || none) && !keepRow.at(r));
        for (int c = 1; c < m_boardData.columnCount(); ++c)
            m_board->setColumnFiltered(c, (anyColumn || none) && !keepColumn.at(c));
    }
    m_board->repaint();
}

void KelvaraMan::revealCell(int row, int column)
{
    // A match inside a collapsed group or area opens it.
    bool changed = false;
    if (row > 0 && !m_boardData.row(row).isHead) {
        const QString group = m_boardData.row(m_boardData.row(row).head).name;
        if (!isGroupExpanded(group)) {
            m_groupExpanded.insert(group, true);
            changed = true;
        }
    }
    if (column > 0 && !m_boardData.column(column).isHead) {
        const QString area = m_boardData.column(m_boardData.column(column).head).name;
        if (!isAreaExpanded(area)) {
            m_areaExpanded.insert(area, true);
            changed = true;
        }
    }
    if (changed)
        applyGroupModes();
    m_board->setCurrentCell(row, column);
}

void KelvaraMan::goToMatch(int step)
{
    if (!m_findBar->isVisible()) {
        showFindBar();
        return;
    }
    if (m_matches.isEmpty())
        return;
    const int n = m_matches.size();
    m_matchIndex = m_matchIndex < 0 ? (step > 0 ? 0 : n - 1) : (m_matchIndex + step + n) % n;
    const QPoint match = m_matches.at(m_matchIndex);
    revealCell(match.y(), match.x());
    m_findBar->setMatchText(tr("%1 of %2").arg(m_matchIndex + 1).arg(n), true);
}

void KelvaraMan::findNext()
{
    goToMatch(1);
}

void KelvaraMan::findPrevious()
{
    goToMatch(-1);
}

// ---------------------------------------------------------------- project and renames

void KelvaraMan::resetBoardForProject()
{
    clearUndo();
    m_hasCurrent = false;
    m_board->clearCurrentCell();
    m_hasCurrent = false;
    m_findBar->dismiss();
    m_board->horizontalSlider()->setValue(m_board->horizontalSlider()->minimum());
    m_board->scrollTop();
}

bool KelvaraMan::confirmMerge(const QString &newName, const QString &oldName, bool isGroup)
{
    if (newName == oldName)
        return true;
    bool exists = false;
    const int n = isGroup ? m_boardData.rowCount() : m_boardData.columnCount();
    for (int i = 1; i < n && !exists; ++i) {
        const AccessBoard::Line &line = isGroup ? m_boardData.row(i) : m_boardData.column(i);
        exists = line.isHead && line.name == newName;
    }
    if (!exists)
        return true;
    const QString text =
        isGroup ? tr("The user group \"%1\" exists already.\n\nJoin the users of \"%2\" to it?")
                : tr("The area \"%1\" exists already.\n\nJoin the entries of \"%2\" to it?");
    return KxMessageBox::question(this, isGroup ? tr("Rename User Group") : tr("Rename Area"),
                                  text.arg(newName, oldName)) == QMessageBox::Yes;
}

bool KelvaraMan::renameBoardHead(BoardRename::Kind kind, const QString &oldName,
                                 const QString &newName)
{
    if (newName == oldName)
        return false;
    const QString title = kind == BoardRename::Group ? tr("Rename User Group") : tr("Rename Area");
    BoardStep step;
    const QSqlError error =
        BoardRename::rename(m_databasePath, kind, oldName, newName, step.rename);
    if (error.isValid()) {
        showDatabaseError(this, title, error);
        return false;
    }
    if (step.rename.count() == 0) {
        buildBoard();
        return false;
    }
    step.isRename = true;
    step.text = (kind == BoardRename::Group ? tr("Rename User Group \"%1\" to \"%2\"")
                                            : tr("Rename Area \"%1\" to \"%2\""))
                    .arg(oldName, newName);
    carryExpansion(kind, oldName, newName);
    m_undoSteps.append(step);
    m_redoSteps.clear();
    updateUndoActions();
    buildBoard();
    statusBar()->showMessage(step.text, 5000);
    return true;
}

void KelvaraMan::carryExpansion(BoardRename::Kind kind, const QString &from, const QString &to)
{
    QHash<QString, bool> &expanded = kind == BoardRename::Group ? m_groupExpanded : m_areaExpanded;
    // A group joined to an existing one takes that one's state.
    if (!expanded.contains(to) && expanded.contains(from))
        expanded.insert(to, expanded.value(from));
}

void KelvaraMan::showLegend()
{
    auto *legend = findChild<KelvaraBoardLegend *>();
    if (!legend) {
        legend = new KelvaraBoardLegend(this);
        legend->setAttribute(Qt::WA_DeleteOnClose);
    }
    legend->show();
    legend->raise();
    legend->activateWindow();
}

void KelvaraMan::openEntryFolder(const QString &base, const QString &folder)
{
    const QString root = QDir::cleanPath(QDir::fromNativeSeparators(base));
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (path != root && !path.startsWith(root + QLatin1Char('/'))) {
        KxMessageBox::critical(this, tr("Open path"),
                               tr("The path\n\n%1\n\nlies outside the project folder.")
                                   .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    openPath(this, path);
}

void KelvaraMan::explainCell()
{
    if (m_clickedRow <= 0 || m_clickedColumn <= 0 || m_clickedRow >= m_boardData.rowCount() ||
        m_clickedColumn >= m_boardData.columnCount())
        return;
    const AccessBoard::Line &user = m_boardData.row(m_clickedRow);
    const AccessBoard::Line &entry = m_boardData.column(m_clickedColumn);
    if (user.isHead || entry.isHead)
        return;
    KelvaraWhyDialog::ask(m_params, user.key, entry.key, m_settings.areToolTipsOn, this);
}

#include "app/boardpresenter.h"

#include "access/timemodel.h"
#include "app/windowcontext.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/recordcounts.h"
#include "db/timemodelrecords.h"
#include "functions/updatecheck.h"
#include "widgets/guimessages.h"
#include "widgets/kxtablewidget.h"
#include "widgets/kxwaitcursor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QSlider>
#include <QStatusBar>

namespace {

// Caller data roles of the board cells.
constexpr int KeyRole = 256;
constexpr int NeedsUpdateRole = 257;
constexpr int GroupCellRole = 258;
constexpr int YellowColumnBit = 1;
constexpr int YellowRowBit = 2;

const QString kHeadIndent = QStringLiteral("     ");

} // namespace

BoardPresenter::BoardPresenter(WindowContext &context, KxTableWidget *board, QWidget *frame,
                               QMainWindow *window)
    : QObject(window), m_context(context), m_board(board), m_frame(frame), m_window(window)
{
    m_board->setMinHeaderRowHeight(150);
    m_board->setMinHeaderColumnWidth(150);
    // One long name must not push the other columns off the screen: longer
    // heads are elided, their tooltips name them in full.
    m_board->setMaxHeaderRowHeight(230);
    m_board->setMaxHeaderColumnWidth(330);
    m_board->setXMargin(8);
    m_board->setYMargin(6);
    m_board->setSeparatorPen(QPen(Qt::black, 2));
    QFont emptyFont(QStringLiteral("Arial"), 20, QFont::Bold);
    m_board->setEmptyTextFont(emptyFont);
    m_board->setEmptyTextPen(QPen(QColor(170, 170, 170)));
    createStyles();

    m_board->setToolTipProvider([this](int row, int column) { return cellToolTip(row, column); });
    // The group and area of what is on screen stay in sight while scrolling.
    m_board->setStickyHeads(true);
    connect(m_board, &KxTableWidget::currentCellChanged, this,
            &BoardPresenter::rememberCurrentCell);
}

void BoardPresenter::createStyles()
{
    const QFont base = m_window->font();
    QFont bold = base;
    bold.setBold(true);
    QFont head12 = base;
    head12.setPointSize(12);
    QFont head12Bold = head12;
    head12Bold.setBold(true);
    const QPen blueLine(Qt::blue, 2);
    const QPen grid(Qt::lightGray);
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;

    auto style = [&](const QBrush &bg, const QFont &f, Qt::Alignment align, const QPen &bottom,
                     const QPen &right, const QPen &text = QPen(Qt::black)) {
        KxCellStyle s;
        s.background = bg;
        s.font = f;
        s.alignment = align;
        s.bottomLine = bottom;
        s.rightLine = right;
        s.textPen = text;
        return m_board->addStyle(s);
    };
    const QBrush white(Qt::white);
    const QBrush yellow(Qt::yellow);
    m_styles.cell = style(white, base, centre, grid, grid);
    m_styles.cellDeviating = style(QBrush(Qt::lightGray), base, centre, grid, grid);
    m_styles.yellowRow = style(yellow, base, centre, blueLine, grid);
    m_styles.yellowColumn = style(yellow, base, centre, grid, blueLine);
    m_styles.yellowBoth = style(yellow, base, centre, blueLine, blueLine);
    m_styles.groupHead = style(yellow, bold, left, blueLine, grid);
    m_styles.userHead = style(white, base, left, grid, grid);
    m_styles.areaHead = style(yellow, head12Bold, left, grid, blueLine);
    m_styles.areaHeadPending =
        style(QBrush(QColor(255, 128, 128)), head12Bold, left, grid, blueLine);
    m_styles.entryHead = style(white, head12, left, grid, grid);
    m_styles.entryHeadPending = style(QBrush(QColor(255, 128, 128)), head12, left, grid, grid);
    m_styles.corner = style(white, QFont(QStringLiteral("Arial"), 20, QFont::Bold), centre, grid,
                            grid, QPen(QColor(0, 26, 55)));
}

void BoardPresenter::createStatusLabel()
{
    m_statusLabel = new QLabel(m_window);
    m_window->statusBar()->addPermanentWidget(m_statusLabel);
    m_window->statusBar()->setSizeGripEnabled(true);
}

QString BoardPresenter::countText(int n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(n);
}

void BoardPresenter::showEmpty(const QString &cornerText)
{
    m_data.build({}, {}, {});
    KxCellTemplate cell;
    cell.style = m_board->styleAt(m_styles.cell);
    m_board->setSize(1, 1, &cell);
    m_board->setHeaderRowHeight(-1);
    m_board->setHeaderColumnWidth(-1);
    KxTableCell corner = m_board->cell(0, 0);
    corner.setStyleIndex(m_styles.corner);
    corner.setText(cornerText);
    m_board->setEmptyText(QString());
    m_board->repaint();
}

void BoardPresenter::rebuildInPlace()
{
    const int x = m_board->horizontalSlider()->value();
    const int y = m_board->verticalSlider()->value();
    build(true);
    m_board->horizontalSlider()->setValue(x);
    m_board->verticalSlider()->setValue(y);
}

void BoardPresenter::build(bool quietly)
{
    if (m_context.databasePath.isEmpty()) {
        showEmpty(tr("No\nproject\nloaded"));
        refresh();
        return;
    }

    KxWaitCursor wait;
    QElapsedTimer timer;
    timer.start();
    // Read aside: a failure leaves the board as it was.
    AccessBoard board;
    {
        ProjectDatabase db(m_context.databasePath);
        const auto fail = [&](const QString &title, const QSqlError &error) {
            if (quietly)
                m_window->statusBar()->showMessage(
                    tr("The board could not be read again: %1").arg(error.text()));
            else
                showDatabaseError(m_window, title, error);
        };
        if (!db.open()) {
            fail(tr("DB open"), db.lastError());
            return;
        }
        const QSqlError error = board.read(db);
        if (error.isValid()) {
            fail(tr("DB model tag table"), error);
            return;
        }
    }

    m_lastQueryNs = timer.nsecsElapsed();
    timer.restart();
    board.complete();
    m_data = std::move(board);
    loadUpdateBlockers();
    fill();
    m_lastFillNs = timer.nsecsElapsed();
    refresh();
}

void BoardPresenter::fill()
{
    const AccessBoard &b = m_data;
    const int rows = b.rowCount();
    const int columns = b.columnCount();

    KxCellTemplate plain;
    plain.style = m_board->styleAt(m_styles.cell);
    m_board->setSize(rows, columns, &plain);
    m_board->setRowHeight(-1);
    m_board->setColumnWidth(-1);
    m_board->setHeaderRowHeight(-1);
    m_board->setHeaderColumnWidth(-1);

    KxTableCell corner = m_board->cell(0, 0);
    corner.setStyleIndex(m_styles.corner);
    corner.setText(tr("Access\nBoard"));

    QString empty;
    if (!b.hasEntries())
        empty = tr("   Use the entry administration to add entries to this project.");
    if (!b.hasUsers()) {
        if (!empty.isEmpty())
            empty += QLatin1Char('\n');
        empty += tr("   Use the user administration to add users to this project.");
    }
    m_board->setEmptyText(empty);

    for (int c = 1; c < columns; ++c) {
        const AccessBoard::Line &line = b.column(c);
        KxTableCell head = m_board->cell(0, c);
        if (line.isHead) {
            head.setText(line.name);
            head.setStyleIndex(m_styles.areaHead);
            head.setData(GroupCellRole, YellowColumnBit);
        } else {
            head.setData(KeyRole, line.key);
        }
    }
    fillEntryHeads();
    QVector<int> allColumns;
    QVector<int> headColumns;
    for (int c = 1; c < columns; ++c) {
        allColumns.append(c);
        if (b.column(c).isHead)
            headColumns.append(c);
    }
    QVector<KxTableWidget::CellFill> fills(std::max(columns - 1, 0));
    for (int r = 1; r < rows; ++r) {
        const AccessBoard::Line &row = b.row(r);
        KxTableCell head = m_board->cell(r, 0);
        if (row.isHead) {
            head.setText(row.name);
            head.setStyleIndex(m_styles.groupHead);
            head.setData(GroupCellRole, YellowRowBit);
        } else {
            head.setText(kHeadIndent + row.name);
            head.setStyleIndex(m_styles.userHead);
            head.setData(KeyRole, row.key);
        }
        // Member cells in one go per row; the template already is an empty
        // white cell.
        if (!row.isHead) {
            for (int c = 1; c < columns; ++c) {
                KxTableWidget::CellFill &fill = fills[c - 1];
                fill = KxTableWidget::CellFill();
                if (b.column(c).isHead)
                    continue;
                const int key = b.timeModelAt(r, c);
                if (key) {
                    fill.text = &b.textAt(r, c);
                    fill.data = key;
                }
                if (b.isDeviating(r, c))
                    fill.style = m_styles.cellDeviating;
            }
            m_board->fillRow(r, 1, fills, KeyRole);
        }
        for (int c : row.isHead ? allColumns : headColumns) {
            const bool yellowColumn = b.column(c).isHead;
            KxTableCell cell = m_board->cell(r, c);
            cell.setText(b.textAt(r, c));
            const int bits = (yellowColumn ? YellowColumnBit : 0) | (row.isHead ? YellowRowBit : 0);
            cell.setData(GroupCellRole, bits);
            cell.setStyleIndex(bits == (YellowColumnBit | YellowRowBit) ? m_styles.yellowBoth
                               : row.isHead                             ? m_styles.yellowRow
                                                                        : m_styles.yellowColumn);
        }
    }
    applyGroupModes();
}

void BoardPresenter::fillEntryHeads()
{
    for (int c = 1; c < m_data.columnCount(); ++c) {
        const AccessBoard::Line &line = m_data.column(c);
        if (line.isHead)
            continue;
        KxTableCell head = m_board->cell(0, c);
        // A warning sign in front of an entry the next update cannot serve.
        head.setText(
            (m_updateBlockers.contains(line.key) ? QStringLiteral("   \u26A0 ") : kHeadIndent) +
            line.name);
        head.setStyleIndex(line.needsUpdate ? m_styles.entryHeadPending : m_styles.entryHead);
        head.setData(NeedsUpdateRole, line.needsUpdate);
    }
}

void BoardPresenter::fillCells(const QVector<int> &changedCells)
{
    // The cells as fill() gives them, in one row fill per run of changed
    // cells; head cells only change their text.
    const AccessBoard &b = m_data;
    const int columns = b.columnCount();
    QVector<KxTableWidget::CellFill> fills;
    for (int i = 0; i < changedCells.size();) {
        const int r = changedCells.at(i) / columns;
        const int first = changedCells.at(i) % columns;
        int end = i;
        while (end < changedCells.size() && changedCells.at(end) / columns == r)
            ++end;
        const int last = changedCells.at(end - 1) % columns;
        fills.fill(KxTableWidget::CellFill(), last - first + 1);
        for (; i < end; ++i) {
            const int c = changedCells.at(i) % columns;
            KxTableWidget::CellFill &fill = fills[c - first];
            fill.text = &b.textAt(r, c);
            if (b.row(r).isHead || b.column(c).isHead)
                continue;
            const int key = b.timeModelAt(r, c);
            if (key)
                fill.data = key;
            else
                fill.removeData = true;
            fill.style = b.isDeviating(r, c) ? m_styles.cellDeviating : m_styles.cell;
        }
        m_board->fillRow(r, first, fills, KeyRole);
    }
}

void BoardPresenter::loadUpdateBlockers(const QSet<int> *only)
{
    // What each entry uses, from the board in memory: reading every entry's
    // rows again would cost more than building the board. Only the entries
    // whose rights changed can change their blockers.
    QHash<int, QSet<int>> modelsOfEntry;
    QHash<int, int> rightsOfEntry;
    for (int c = 1; c < m_data.columnCount(); ++c) {
        const AccessBoard::Line &entry = m_data.column(c);
        if (entry.isHead || (only && !only->contains(entry.key)))
            continue;
        QSet<int> &models = modelsOfEntry[entry.key];
        int &rights = rightsOfEntry[entry.key];
        for (int r = 1; r < m_data.rowCount(); ++r) {
            if (m_data.row(r).isHead)
                continue;
            if (const int pkTimes = m_data.timeModelAt(r, c)) {
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
    if (selection.list(m_context.databasePath, entries).isValid() ||
        UpdateCheck::checkBlocking(m_context.params, entries, modelsOfEntry, rightsOfEntry,
                                   m_context.params.siteToday(), results)
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

bool BoardPresenter::follow(const BoardChange &change, const BoardRights *restored,
                            const QSet<int> &changedEntries)
{
    // A board behind another view may lag behind the database (users or
    // entries edited there): it is read afresh. So is one that lacks a key
    // of the block.
    m_lastFollowNs = -1;
    if (m_frame->isHidden() || m_context.databasePath.isEmpty())
        return false;
    for (int user : change.users()) {
        if (m_data.rowOfUser(user) < 0)
            return false;
    }
    for (int entry : change.entries()) {
        if (m_data.columnOfEntry(entry) < 0)
            return false;
    }
    QHash<int, QString> tags;
    for (auto it = m_models.cbegin(); it != m_models.cend(); ++it)
        tags.insert(it.key(), it->modelTag);
    QElapsedTimer timer;
    timer.start();
    QVector<int> changedCells;
    const bool set =
        restored ? m_data.setBlock(change.users(), change.entries(), *restored, tags, &changedCells)
                 : m_data.setBlock(change.users(), change.entries(), change.timeModel(), tags,
                                   &changedCells);
    if (!set)
        return false;
    m_data.markPending(changedEntries);
    loadUpdateBlockers(&change.entries());
    fillCells(changedCells);
    fillEntryHeads();
    // Also repaints: the pending colour of collapsed areas may change.
    applyGroupModes();
    updateStatusBar();
    m_lastFollowNs = timer.nsecsElapsed();
    return true;
}

void BoardPresenter::applyGroupModes()
{
    for (int c = 1; c < m_data.columnCount(); ++c) {
        const AccessBoard::Line &line = m_data.column(c);
        if (!line.isHead)
            continue;
        const bool expanded = isAreaExpanded(line.name);
        KxTableCell head = m_board->cell(0, c);
        head.setGroupMode(expanded ? KxTableCell::ExpandedHead : KxTableCell::CollapsedHead);
        // A collapsed area keeps its pending entries in sight.
        bool pending = false;
        for (int m = c + 1;
             !expanded && !pending && m < m_data.columnCount() && !m_data.column(m).isHead; ++m)
            pending = m_data.column(m).needsUpdate;
        head.setStyleIndex(pending ? m_styles.areaHeadPending : m_styles.areaHead);
    }
    for (int r = 1; r < m_data.rowCount(); ++r) {
        const AccessBoard::Line &line = m_data.row(r);
        if (line.isHead)
            m_board->cell(r, 0).setGroupMode(isGroupExpanded(line.name)
                                                 ? KxTableCell::ExpandedHead
                                                 : KxTableCell::CollapsedHead);
    }
    m_board->repaint();
}

bool BoardPresenter::isAreaExpanded(const QString &area)
{
    return *m_areaExpanded.insert(area, m_areaExpanded.value(area, true));
}

bool BoardPresenter::isGroupExpanded(const QString &group)
{
    return *m_groupExpanded.insert(group, m_groupExpanded.value(group, true));
}

void BoardPresenter::setAreaExpanded(const QString &area, bool expanded)
{
    m_areaExpanded.insert(area, expanded);
}

void BoardPresenter::setGroupExpanded(const QString &group, bool expanded)
{
    m_groupExpanded.insert(group, expanded);
}

void BoardPresenter::setAllExpanded(bool expanded)
{
    for (int c = 1; c < m_data.columnCount(); ++c) {
        if (m_data.column(c).isHead)
            m_areaExpanded.insert(m_data.column(c).name, expanded);
    }
    for (int r = 1; r < m_data.rowCount(); ++r) {
        if (m_data.row(r).isHead)
            m_groupExpanded.insert(m_data.row(r).name, expanded);
    }
    for (auto it = m_areaExpanded.begin(); it != m_areaExpanded.end(); ++it)
        it.value() = expanded;
    for (auto it = m_groupExpanded.begin(); it != m_groupExpanded.end(); ++it)
        it.value() = expanded;
    applyGroupModes();
}

void BoardPresenter::toggleArea(int column)
{
    if (column <= 0 || column >= m_data.columnCount())
        return;
    const AccessBoard::Line &line = m_data.column(m_data.column(column).head);
    m_areaExpanded.insert(line.name, !isAreaExpanded(line.name));
    applyGroupModes();
}

void BoardPresenter::toggleGroup(int row)
{
    if (row <= 0 || row >= m_data.rowCount())
        return;
    const AccessBoard::Line &line = m_data.row(m_data.row(row).head);
    m_groupExpanded.insert(line.name, !isGroupExpanded(line.name));
    applyGroupModes();
}

void BoardPresenter::carryExpansion(BoardRename::Kind kind, const QString &from, const QString &to)
{
    QHash<QString, bool> &expanded = kind == BoardRename::Group ? m_groupExpanded : m_areaExpanded;
    // A group joined to an existing one takes that one's state.
    if (!expanded.contains(to) && expanded.contains(from))
        expanded.insert(to, expanded.value(from));
}

QString BoardPresenter::statusText() const
{
    if (m_context.databasePath.isEmpty())
        return tr("No project loaded");
    // From the database, not the board: the views and the reader functions
    // change users, entries and marks while the board waits to be rebuilt.
    int users = -1;
    int entries = -1;
    int pending = -1;
    RecordCounts::read(m_context.databasePath, &users, &entries, nullptr, &pending);
    const auto count = [](int n) { return n < 0 ? QStringLiteral("?") : QString::number(n); };
    const QString name =
        QFileInfo(QDir::fromNativeSeparators(m_context.settings.currentProjectPath)).fileName();
    return tr("Project: %1    Users: %2    Entries: %3    Pending updates: %4")
        .arg(name, count(users), count(entries), count(pending));
}

void BoardPresenter::updateStatusBar()
{
    m_statusLabel->setText(statusText());
}

QString BoardPresenter::cellToolTip(int row, int column) const
{
    const AccessBoard &b = m_data;
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
            .arg(line.name, countText(members, tr("1 user"), tr("%1 users")));
    };
    auto columnLine = [&](int c) {
        const AccessBoard::Line &line = b.column(c);
        if (!line.isHead)
            return tr("Entry: %1").arg(line.name);
        const int members = b.memberColumns(c).size();
        return tr("Area: %1 (%2)")
            .arg(line.name, countText(members, tr("1 entry"), tr("%1 entries")));
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

void BoardPresenter::refresh()
{
    m_models.clear();
    if (!m_context.databasePath.isEmpty()) {
        QList<TimeModelRow> models;
        // Only the tooltips use them: a failure leaves the definitions out.
        if (!TimeModelRecords::listTimeModels(m_context.databasePath, 0, models).isValid()) {
            for (TimeModelRow &m : models) {
                m.modelName = TimeModelRecords::shownName(m);
                m_models.insert(m.pkTimes, m);
            }
        }
    }
    emit rebuilt();
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
        const int row = find(m_currentRowId, m_data.rowCount(),
                             [this](int i) -> const AccessBoard::Line & { return m_data.row(i); });
        const int column =
            find(m_currentColumnId, m_data.columnCount(),
                 [this](int i) -> const AccessBoard::Line & { return m_data.column(i); });
        const bool keep = m_hasCurrent;
        if (row >= 0 && column >= 0)
            m_board->setCurrentCell(row, column);
        m_hasCurrent = keep;
    }
    updateStatusBar();
}

void BoardPresenter::rememberCurrentCell(int row, int column)
{
    m_hasCurrent =
        row >= 0 && column >= 0 && row < m_data.rowCount() && column < m_data.columnCount();
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
    m_currentRowId = id(m_data.row(row), row == 0);
    m_currentColumnId = id(m_data.column(column), column == 0);
    // The group and area of the current cell stay in sight below.
    QStatusBar *status = m_window->statusBar();
    if (row > 0 && column > 0) {
        const AccessBoard::Line &r = m_data.row(row);
        const AccessBoard::Line &c = m_data.column(column);
        QString where = r.isHead ? tr("User Group: %1").arg(r.name)
                                 : tr("User: %1 (%2)").arg(r.name, m_data.row(r.head).name);
        where += QStringLiteral("    ");
        where += c.isHead ? tr("Area: %1").arg(c.name)
                          : tr("Entry: %1 (%2)").arg(c.name, m_data.column(c.head).name);
        // Elided rather than cut off where the project counts begin.
        const int room = status->width() - m_statusLabel->sizeHint().width() - 40;
        status->showMessage(
            status->fontMetrics().elidedText(where, Qt::ElideRight, qMax(room, 80)));
    } else {
        status->clearMessage();
    }
}

void BoardPresenter::forgetCurrentCell()
{
    m_hasCurrent = false;
    m_board->clearCurrentCell();
    m_hasCurrent = false;
}

void BoardPresenter::scrollHome()
{
    m_board->horizontalSlider()->setValue(m_board->horizontalSlider()->minimum());
    m_board->scrollTop();
}

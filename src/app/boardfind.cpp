#include "app/boardfind.h"

#include "app/boardpresenter.h"
#include "app/windowcontext.h"
#include "db/entryrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxtablewidget.h"

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

} // namespace

BoardFind::BoardFind(WindowContext &context, BoardPresenter &presenter, QVBoxLayout *frameLayout)
    : QObject(&presenter), m_context(context), m_presenter(presenter)
{
    KxTableWidget *board = presenter.widget();
    m_bar = new KxFindBar(frameLayout->parentWidget());
    m_bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    frameLayout->insertWidget(0, m_bar);
    frameLayout->setStretchFactor(board, 1);
    connect(m_bar, &KxFindBar::textChanged, this, &BoardFind::update);
    connect(m_bar, &KxFindBar::findNext, this, &BoardFind::findNext);
    connect(m_bar, &KxFindBar::findPrevious, this, &BoardFind::findPrevious);
    connect(m_bar, &KxFindBar::filterToggled, this, &BoardFind::applyFilter);
    connect(m_bar, &KxFindBar::dismissed, this, [this, board] {
        applyFilter();
        board->setFocus(Qt::OtherFocusReason);
    });
    connect(&presenter, &BoardPresenter::rebuilt, this, &BoardFind::boardRebuilt);
}

void BoardFind::boardRebuilt()
{
    m_identifiersLoaded = false;
    if (m_bar->isVisible())
        update();
}

void BoardFind::activate()
{
    m_bar->activate();
    update();
}

void BoardFind::dismiss()
{
    m_bar->dismiss();
}

void BoardFind::loadIdentifiers()
{
    if (m_identifiersLoaded || m_context.databasePath.isEmpty())
        return;
    m_identifiersLoaded = true;
    m_userIdentifiers.clear();
    m_entryIdentifiers.clear();
    QList<UserRow> users;
    QList<EntryRow> entries;
    // Names are found without them: a failure only leaves identifiers out.
    if (!UserRecords::listUsers(m_context.databasePath, UserRecords::SortByName, true, users)
             .isValid()) {
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
    if (!EntryRecords::listEntries(m_context.databasePath, EntryRecords::SortByName, true, entries)
             .isValid()) {
        for (const EntryRow &e : qAsConst(entries)) {
            if (!e.readerSerNo.isEmpty())
                m_entryIdentifiers.insert(e.pkDoors, compact(e.readerSerNo));
        }
    }
}

void BoardFind::update()
{
    const AccessBoard &board = m_presenter.data();
    m_matches.clear();
    m_matchIndex = -1;
    const QString text = m_bar->text().trimmed();
    if (!text.isEmpty()) {
        loadIdentifiers();
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
        for (int r = 1; r < board.rowCount(); ++r) {
            if (matches(board.row(r), true))
                m_matches.append(QPoint(0, r)); // x column, y row
        }
        for (int c = 1; c < board.columnCount(); ++c) {
            if (matches(board.column(c), false))
                m_matches.append(QPoint(c, 0));
        }
    }
    if (text.isEmpty())
        m_bar->setMatchText(QString(), true);
    else if (m_matches.isEmpty())
        m_bar->setMatchText(tr("No match"), false);
    else
        m_bar->setMatchText(
            BoardPresenter::countText(m_matches.size(), tr("1 match"), tr("%1 matches")), true);
    applyFilter();
}

void BoardFind::applyFilter()
{
    const AccessBoard &board = m_presenter.data();
    KxTableWidget *widget = m_presenter.widget();
    const bool on = m_bar->isFilterOn() && !m_bar->text().trimmed().isEmpty();
    widget->clearFilter();
    if (on) {
        QVector<bool> keepRow(board.rowCount(), false);
        QVector<bool> keepColumn(board.columnCount(), false);
        bool anyRow = false;
        bool anyColumn = false;
        for (const QPoint &match : qAsConst(m_matches)) {
            // A matching head keeps its members, a matching member its head.
            if (match.y() > 0) {
                anyRow = true;
                keepRow[board.row(match.y()).head] = true;
                for (int m : board.memberRows(match.y()))
                    keepRow[m] = true;
            } else {
                anyColumn = true;
                keepColumn[board.column(match.x()).head] = true;
                for (int m : board.memberColumns(match.x()))
                    keepColumn[m] = true;
            }
        }
        // Matches among the users only filter rows, among the entries only
        // columns; no match at all leaves nothing.
        const bool none = !anyRow && !anyColumn;
        for (int r = 1; r < board.rowCount(); ++r)
            widget->setRowFiltered(r, (anyRow || none) && !keepRow.at(r));
        for (int c = 1; c < board.columnCount(); ++c)
            widget->setColumnFiltered(c, (anyColumn || none) && !keepColumn.at(c));
    }
    widget->repaint();
}

void BoardFind::revealCell(int row, int column)
{
    const AccessBoard &board = m_presenter.data();
    // A match inside a collapsed group or area opens it.
    bool changed = false;
    if (row > 0 && !board.row(row).isHead) {
        const QString group = board.row(board.row(row).head).name;
        if (!m_presenter.isGroupExpanded(group)) {
            m_presenter.setGroupExpanded(group, true);
            changed = true;
        }
    }
    if (column > 0 && !board.column(column).isHead) {
        const QString area = board.column(board.column(column).head).name;
        if (!m_presenter.isAreaExpanded(area)) {
            m_presenter.setAreaExpanded(area, true);
            changed = true;
        }
    }
    if (changed)
        m_presenter.applyGroupModes();
    m_presenter.widget()->setCurrentCell(row, column);
}

void BoardFind::goToMatch(int step)
{
    if (!m_bar->isVisible()) {
        emit barWanted();
        return;
    }
    if (m_matches.isEmpty())
        return;
    const int n = m_matches.size();
    m_matchIndex = m_matchIndex < 0 ? (step > 0 ? 0 : n - 1) : (m_matchIndex + step + n) % n;
    const QPoint match = m_matches.at(m_matchIndex);
    revealCell(match.y(), match.x());
    m_bar->setMatchText(tr("%1 of %2").arg(m_matchIndex + 1).arg(n), true);
}

void BoardFind::findNext()
{
    goToMatch(1);
}

void BoardFind::findPrevious()
{
    goToMatch(-1);
}

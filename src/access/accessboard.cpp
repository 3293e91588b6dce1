#include "access/accessboard.h"

#include <algorithm>

const QString AccessBoard::Differs = QStringLiteral("...");

void AccessBoard::build(const QVector<Entry> &entries, const QVector<User> &users,
                        const QVector<Right> &rights)
{
    m_rows.clear();
    m_columns.clear();
    m_tags.clear();
    m_rowOfUser.clear();
    m_columnOfEntry.clear();

    m_columns.append(Line{true, QString(), 0, 0, false}); // corner / row heads
    int head = -1;
    for (const Entry &e : entries) {
        if (head < 0 || m_columns.at(head).name != e.areaName) {
            head = m_columns.size();
            m_columns.append(Line{true, e.areaName, 0, head, false});
        }
        m_columnOfEntry.insert(e.pkDoors, m_columns.size());
        m_columns.append(Line{false, e.doorName, e.pkDoors, head, e.needsUpdate});
    }
    m_rows.append(Line{true, QString(), 0, 0, false});
    head = -1;
    for (const User &u : users) {
        if (head < 0 || m_rows.at(head).name != u.groupName) {
            head = m_rows.size();
            m_rows.append(Line{true, u.groupName, 0, head, false});
        }
        m_rowOfUser.insert(u.pkUsers, m_rows.size());
        m_rows.append(Line{false, QStringLiteral("%1, %2").arg(u.familyName, u.firstName),
                           u.pkUsers, head, false});
    }

    const int cells = m_rows.size() * m_columns.size();
    m_cells.fill(0, cells);
    m_deviating.fill(false, cells);
    m_headTexts.clear();
    m_headTexts.resize(cells);

    for (const Right &right : rights) {
        const int r = m_rowOfUser.value(right.pkUsers, -1);
        const int c = m_columnOfEntry.value(right.pkDoors, -1);
        if (r < 0 || c < 0)
            continue;
        m_cells[cellIndex(r, c)] = right.pkTimes;
        m_tags.insert(right.pkTimes, right.modelTag);
    }

    // Head cells: the common tag of their members, or "...".
    QVector<QVector<int>> columnMembers(m_columns.size());
    for (int c = 1; c < m_columns.size(); ++c)
        columnMembers[c] = memberColumns(c);
    QVector<int> headColumns;
    for (int c = 1; c < m_columns.size(); ++c) {
        if (m_columns.at(c).isHead)
            headColumns.append(c);
    }
    for (int r = 1; r < m_rows.size(); ++r) {
        const QVector<int> rowMembers = memberRows(r);
        if (m_rows.at(r).isHead) {
            for (int c = 1; c < m_columns.size(); ++c)
                m_headTexts[cellIndex(r, c)] = commonText(rowMembers, columnMembers.at(c));
        } else {
            for (int c : qAsConst(headColumns))
                m_headTexts[cellIndex(r, c)] = commonText(rowMembers, columnMembers.at(c));
        }
    }

    // Within each group x area block the most frequent right wins (the
    // smallest key on a tie); the others stand out.
    for (int gr = 1; gr < m_rows.size(); ++gr) {
        if (!m_rows.at(gr).isHead)
            continue;
        const QVector<int> rows = memberRows(gr);
        for (int ac = 1; ac < m_columns.size(); ++ac) {
            if (!m_columns.at(ac).isHead)
                continue;
            const QVector<int> columns = memberColumns(ac);
            QHash<int, int> counts;
            for (int r : rows) {
                for (int c : columns)
                    ++counts[m_cells.at(cellIndex(r, c))];
            }
            int winner = 0;
            int best = -1;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
                if (it.value() > best || (it.value() == best && it.key() < winner)) {
                    best = it.value();
                    winner = it.key();
                }
            }
            for (int r : rows) {
                for (int c : columns)
                    m_deviating[cellIndex(r, c)] = m_cells.at(cellIndex(r, c)) != winner;
            }
        }
    }
}

int AccessBoard::timeModelAt(int r, int c) const
{
    if (r < 0 || c < 0 || r >= m_rows.size() || c >= m_columns.size())
        return 0;
    return m_cells.at(cellIndex(r, c));
}

QString AccessBoard::textAt(int r, int c) const
{
    if (r <= 0 || c <= 0 || r >= m_rows.size() || c >= m_columns.size())
        return QString();
    if (m_rows.at(r).isHead || m_columns.at(c).isHead)
        return m_headTexts.at(cellIndex(r, c));
    const int key = m_cells.at(cellIndex(r, c));
    return key ? m_tags.value(key) : QString();
}

bool AccessBoard::isDeviating(int r, int c) const
{
    if (r <= 0 || c <= 0 || r >= m_rows.size() || c >= m_columns.size())
        return false;
    return m_deviating.at(cellIndex(r, c));
}

QVector<int> AccessBoard::memberRows(int r) const
{
    QVector<int> members;
    if (r <= 0 || r >= m_rows.size())
        return members;
    if (!m_rows.at(r).isHead)
        return {r};
    for (int i = r + 1; i < m_rows.size() && !m_rows.at(i).isHead; ++i)
        members.append(i);
    return members;
}

QVector<int> AccessBoard::memberColumns(int c) const
{
    QVector<int> members;
    if (c <= 0 || c >= m_columns.size())
        return members;
    if (!m_columns.at(c).isHead)
        return {c};
    for (int i = c + 1; i < m_columns.size() && !m_columns.at(i).isHead; ++i)
        members.append(i);
    return members;
}

QSet<int> AccessBoard::usersOfRow(int r) const
{
    QSet<int> keys;
    for (int m : memberRows(r))
        keys.insert(m_rows.at(m).key);
    return keys;
}

QSet<int> AccessBoard::entriesOfColumn(int c) const
{
    QSet<int> keys;
    for (int m : memberColumns(c))
        keys.insert(m_columns.at(m).key);
    return keys;
}

QString AccessBoard::commonText(const QVector<int> &rows, const QVector<int> &columns) const
{
    bool first = true;
    int common = 0;
    for (int r : rows) {
        for (int c : columns) {
            const int key = m_cells.at(cellIndex(r, c));
            if (first) {
                common = key;
                first = false;
            } else if (key != common) {
                return Differs;
            }
        }
    }
    return common ? m_tags.value(common) : QString();
}

#include "access/accessboard.h"

#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/userrecords.h"

#include <algorithm>

const QString AccessBoard::Differs = QStringLiteral("...");

namespace {

// Common value of the cells merged so far: Unset before the first one.
constexpr int Unset = -2;

inline void merge(int &common, int value, int differs)
{
    if (value == Unset)
        return;
    if (common == Unset)
        common = value;
    else if (common != value)
        common = differs;
}

// Line of a key for a million rights: an array while the keys are dense
// enough (the usual 1..n), the hash otherwise.
class LineOfKey
{
public:
    explicit LineOfKey(const QHash<int, int> &lines) : m_lines(lines)
    {
        int highest = -1;
        bool dense = true;
        for (auto it = lines.cbegin(); it != lines.cend() && dense; ++it) {
            dense = it.key() >= 0;
            highest = std::max(highest, it.key());
        }
        if (dense && qint64(highest) <= 4 * qint64(lines.size()) + 1024) {
            m_dense.fill(-1, highest + 1);
            for (auto it = lines.cbegin(); it != lines.cend(); ++it)
                m_dense[it.key()] = it.value();
            m_isDense = true;
        }
    }
    int at(int key) const
    {
        if (m_isDense)
            return (key >= 0 && key < m_dense.size()) ? m_dense.at(key) : -1;
        return m_lines.value(key, -1);
    }

private:
    const QHash<int, int> &m_lines;
    QVector<int> m_dense;
    bool m_isDense = false;
};

// Places rights in the cells as they come: the line of each key, and the
// index of each time model in the board's list.
class RightPlacer
{
public:
    RightPlacer(const QHash<int, int> &rowOfUser, const QHash<int, int> &columnOfEntry, int columns,
                int *cells, const QHash<int, QString> &tags, QVector<int> &modelKeys,
                QVector<QString> &modelTags)
        : m_rowOf(rowOfUser), m_columnOf(columnOfEntry), m_columns(columns), m_cells(cells),
          m_tags(tags), m_modelKeys(modelKeys), m_modelTags(modelTags)
    {
    }

    void place(const BoardRight &right)
    {
        const int r = m_rowOf.at(right.pkUsers);
        const int c = m_columnOf.at(right.pkDoors);
        // Key 0 stands for "no right" on the board.
        if (r < 0 || c < 0 || right.pkTimes == 0)
            return;
        // Rights come in runs of one time model: the last one is the likely one.
        if (right.pkTimes != m_lastKey || m_lastIndex == 0) {
            auto it = m_modelIndex.find(right.pkTimes);
            if (it == m_modelIndex.end()) {
                it = m_modelIndex.insert(right.pkTimes, m_modelKeys.size());
                m_modelKeys.append(right.pkTimes);
                m_modelTags.append(m_tags.value(right.pkTimes));
            }
            m_lastKey = right.pkTimes;
            m_lastIndex = it.value();
        }
        m_cells[r * m_columns + c] = m_lastIndex;
    }

private:
    const LineOfKey m_rowOf;
    const LineOfKey m_columnOf;
    const int m_columns;
    int *const m_cells;
    const QHash<int, QString> &m_tags;
    QVector<int> &m_modelKeys;
    QVector<QString> &m_modelTags;
    QHash<int, int> m_modelIndex;
    int m_lastKey = 0;
    int m_lastIndex = 0;
};

} // namespace

QSqlError AccessBoard::read(ProjectDatabase &db)
{
    QSqlQuery query = db.query();
    QList<EntryBoardRow> entryRows;
    QList<UserRow> userRows;
    if (!EntryRecords::listEntriesForBoard(query, entryRows) ||
        !UserRecords::listUsersForBoard(query, userRows)) {
        const QSqlError error = query.lastError();
        clear();
        return error;
    }
    query.finish();
    QVector<Entry> entries;
    entries.reserve(entryRows.size());
    for (const EntryBoardRow &e : qAsConst(entryRows))
        entries.append({e.pkDoors, e.doorName, e.areaName, e.needsUpdate});
    QVector<User> users;
    users.reserve(userRows.size());
    for (const UserRow &u : qAsConst(userRows))
        users.append({u.pkUsers, u.familyName, u.firstName, u.groupName});
    layOut(entries, users);

    QHash<int, QString> tags;
    RightPlacer placer(m_rowOfUser, m_columnOfEntry, m_columns.size(), m_cells.data(), tags,
                       m_modelKeys, m_modelTags);
    const QSqlError error = AccessRights::listBoardRights(
        db.database(), [&placer](const BoardRight &right) { placer.place(right); }, tags);
    if (error.isValid())
        clear();
    return error;
}

void AccessBoard::build(const QVector<Entry> &entries, const QVector<User> &users,
                        const QVector<Right> &rights)
{
    layOut(entries, users);
    QHash<int, QString> tags;
    for (const Right &right : rights)
        tags.insert(right.pkTimes, right.modelTag);
    RightPlacer placer(m_rowOfUser, m_columnOfEntry, m_columns.size(), m_cells.data(), tags,
                       m_modelKeys, m_modelTags);
    for (const Right &right : rights)
        placer.place({right.pkUsers, right.pkDoors, right.pkTimes});
    complete();
}

void AccessBoard::clear()
{
    layOut({}, {});
}

void AccessBoard::layOut(const QVector<Entry> &entries, const QVector<User> &users)
{
    m_rows.clear();
    m_columns.clear();
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
    m_cells = QVector<int>();
    m_cells.fill(0, cells);
    m_deviating = QVector<bool>();
    m_deviating.fill(false, cells);
    m_modelKeys = {0};
    m_modelTags = {QString()};
}

void AccessBoard::complete()
{
    QVector<int> groups;
    for (int g = 1; g < m_rows.size(); ++g) {
        if (m_rows.at(g).isHead)
            groups.append(g);
    }
    completeGroups(groups);
}

int AccessBoard::groupEnd(int g) const
{
    int end = g + 1;
    while (end < m_rows.size() && !m_rows.at(end).isHead)
        ++end;
    return end;
}

void AccessBoard::completeGroups(const QVector<int> &groups)
{
    // One walk over the member cells of each group gives the heads' common
    // tags and the most frequent right of each group x area block; a second
    // over the same rows, still in the cache, marks the deviating cells.
    const int columns = m_columns.size();
    QVector<int> headColumns;
    for (int c = 1; c < columns; ++c) {
        if (m_columns.at(c).isHead)
            headColumns.append(c);
    }
    const int areas = headColumns.size();
    auto areaEnd = [&](int a) { return a + 1 < areas ? headColumns.at(a + 1) : columns; };
    const int models = m_modelKeys.size();
    QVector<int> groupColumn(columns);
    QVector<int> counts(areas * models);
    QVector<int> winners(areas);
    int *cell = m_cells.data();
    bool *deviating = m_deviating.data();

    for (int g : groups) {
        const int end = groupEnd(g);
        std::fill(groupColumn.begin(), groupColumn.end(), Unset);
        std::fill(counts.begin(), counts.end(), 0);
        for (int r = g + 1; r < end; ++r) {
            int *row = cell + r * columns;
            for (int a = 0; a < areas; ++a) {
                int common = Unset;
                int *count = counts.data() + a * models;
                for (int c = headColumns.at(a) + 1, e = areaEnd(a); c < e; ++c) {
                    const int model = row[c];
                    merge(common, model, DiffersModel);
                    merge(groupColumn[c], model, DiffersModel);
                    ++count[model];
                }
                row[headColumns.at(a)] = common == Unset ? 0 : common;
            }
        }
        int *groupRow = cell + g * columns;
        for (int a = 0; a < areas; ++a) {
            int common = Unset;
            for (int c = headColumns.at(a) + 1, e = areaEnd(a); c < e; ++c) {
                groupRow[c] = groupColumn.at(c) == Unset ? 0 : groupColumn.at(c);
                merge(common, groupColumn.at(c), DiffersModel);
            }
            groupRow[headColumns.at(a)] = common == Unset ? 0 : common;
            // The most frequent right wins, the smallest key on a tie.
            const int *count = counts.constData() + a * models;
            int winner = 0;
            for (int m = 1; m < models; ++m) {
                if (count[m] > count[winner] ||
                    (count[m] == count[winner] && m_modelKeys.at(m) < m_modelKeys.at(winner)))
                    winner = m;
            }
            winners[a] = winner;
        }
        for (int r = g + 1; r < end; ++r) {
            const int *row = cell + r * columns;
            bool *rowDeviating = deviating + r * columns;
            for (int a = 0; a < areas; ++a) {
                const int winner = winners.at(a);
                for (int c = headColumns.at(a) + 1, e = areaEnd(a); c < e; ++c)
                    rowDeviating[c] = row[c] != winner;
            }
        }
    }
}

bool AccessBoard::indexModels(const QSet<int> &models, const QHash<int, QString> &tags,
                              QHash<int, int> &indexOf)
{
    indexOf.clear();
    for (int i = 0; i < m_modelKeys.size(); ++i)
        indexOf.insert(m_modelKeys.at(i), i);
    for (int model : models) {
        if (!indexOf.contains(model) && !tags.contains(model))
            return false;
    }
    for (int model : models) {
        if (indexOf.contains(model))
            continue;
        indexOf.insert(model, m_modelKeys.size());
        m_modelKeys.append(model);
        m_modelTags.append(tags.value(model));
    }
    return true;
}

template<typename Fill>
void AccessBoard::setCells(const QSet<int> &users, const QSet<int> &entries, Fill fill,
                           QVector<int> *changedCells)
{
    if (changedCells)
        changedCells->clear();
    QVector<int> rows;
    QVector<int> columns;
    for (int user : users) {
        const int r = rowOfUser(user);
        if (r > 0)
            rows.append(r);
    }
    for (int entry : entries) {
        const int c = columnOfEntry(entry);
        if (c > 0)
            columns.append(c);
    }
    if (rows.isEmpty() || columns.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    std::sort(columns.begin(), columns.end());
    QVector<int> groups;
    for (int r : qAsConst(rows)) {
        if (groups.isEmpty() || groups.last() != m_rows.at(r).head)
            groups.append(m_rows.at(r).head);
    }

    // The touched groups' rows as they were, to tell what changed.
    const int width = m_columns.size();
    QVector<int> cellsBefore;
    QVector<bool> deviatingBefore;
    if (changedCells) {
        for (int g : qAsConst(groups)) {
            const int from = g * width;
            const int to = groupEnd(g) * width;
            cellsBefore.append(m_cells.mid(from, to - from));
            deviatingBefore.append(m_deviating.mid(from, to - from));
        }
    }

    int *cells = m_cells.data();
    fill(rows, columns, cells);
    completeGroups(groups);

    if (!changedCells)
        return;
    const int *before = cellsBefore.constData();
    const bool *deviatingWas = deviatingBefore.constData();
    const bool *deviating = m_deviating.constData();
    for (int g : qAsConst(groups)) {
        for (int i = g * width, to = groupEnd(g) * width; i < to; ++i, ++before, ++deviatingWas) {
            if (cells[i] != *before || deviating[i] != *deviatingWas)
                changedCells->append(i);
        }
    }
}

bool AccessBoard::setBlock(const QSet<int> &users, const QSet<int> &entries, int timeModel,
                           const QHash<int, QString> &tags, QVector<int> *changedCells)
{
    QHash<int, int> indexOf;
    if (!indexModels(timeModel ? QSet<int>{timeModel} : QSet<int>(), tags, indexOf))
        return false;
    const int index = indexOf.value(timeModel);
    const int width = m_columns.size();
    setCells(
        users, entries,
        [index, width](const QVector<int> &rows, const QVector<int> &columns, int *cells) {
            for (int r : rows) {
                int *row = cells + r * width;
                for (int c : columns)
                    row[c] = index;
            }
        },
        changedCells);
    return true;
}

bool AccessBoard::setBlock(const QSet<int> &users, const QSet<int> &entries,
                           const BoardRights &models, const QHash<int, QString> &tags,
                           QVector<int> *changedCells)
{
    QSet<int> used;
    int last = 0;
    for (auto it = models.cbegin(); it != models.cend(); ++it) {
        if (it.value() != last && it.value() != 0) {
            used.insert(it.value());
            last = it.value();
        }
    }
    QHash<int, int> indexOf;
    if (!indexModels(used, tags, indexOf))
        return false;
    const int width = m_columns.size();
    // One walk over the pairs rather than a lookup per cell.
    auto fill = [&](const QVector<int> &rows, const QVector<int> &columns, int *cells) {
        QVector<bool> inRows(m_rows.size(), false);
        QVector<bool> inColumns(width, false);
        for (int r : rows) {
            inRows[r] = true;
            int *row = cells + r * width;
            for (int c : columns)
                row[c] = 0;
        }
        for (int c : columns)
            inColumns[c] = true;
        const LineOfKey rowOf(m_rowOfUser);
        const LineOfKey columnOf(m_columnOfEntry);
        int lastKey = 0;
        int lastIndex = 0;
        for (auto it = models.cbegin(); it != models.cend(); ++it) {
            const int r = rowOf.at(it.key().user);
            const int c = columnOf.at(it.key().entry);
            if (r < 0 || c < 0 || !inRows.at(r) || !inColumns.at(c) || it.value() == 0)
                continue;
            if (it.value() != lastKey) {
                lastKey = it.value();
                lastIndex = indexOf.value(lastKey);
            }
            cells[r * width + c] = lastIndex;
        }
    };
    setCells(users, entries, fill, changedCells);
    return true;
}

void AccessBoard::markPending(const QSet<int> &entries)
{
    for (int entry : entries) {
        const int c = columnOfEntry(entry);
        if (c > 0)
            m_columns[c].needsUpdate = true;
    }
}

int AccessBoard::timeModelAt(int r, int c) const
{
    if (r <= 0 || c <= 0 || r >= m_rows.size() || c >= m_columns.size() || m_rows.at(r).isHead ||
        m_columns.at(c).isHead)
        return 0;
    return m_modelKeys.at(m_cells.at(cellIndex(r, c)));
}

const QString &AccessBoard::textAt(int r, int c) const
{
    static const QString none;
    if (r <= 0 || c <= 0 || r >= m_rows.size() || c >= m_columns.size())
        return none;
    const int model = m_cells.at(cellIndex(r, c));
    return model == DiffersModel ? Differs : m_modelTags.at(model);
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

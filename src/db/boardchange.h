#pragma once

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QString>

// One change of the access board: a time model set on a block of users x
// entries (or their rights there removed), together with the rights the
// block held before, so that it can be undone and done again. Keys only, so
// a change outlives the board it was made on.
class BoardChange
{
public:
    BoardChange() = default;

    // Reads the block's rights and works out what the change would do;
    // nothing is written. timeModel 0 removes.
    static QSqlError prepare(const QString &databasePath, const QSet<int> &users,
                             const QSet<int> &entries, int timeModel, BoardChange &change);

    int timeModel() const { return m_timeModel; }
    // What applying does: the rights set, changed or removed, and the users
    // and entries they belong to.
    int rightCount() const { return m_rightCount; }
    int userCount() const { return m_userCount; }
    int entryCount() const { return m_entryCount; }

    // Sets the time model on the block (again). Entries where a right
    // changes are marked as needing an update; all in one transaction.
    QSqlError apply(const QString &databasePath, QSet<int> *changedEntries = nullptr) const;
    // Puts back the rights the block held before, for users, entries and
    // time models that still exist. Entries where a right changes are marked
    // as needing an update: a reader may have received the change meanwhile.
    // All in one transaction. restored receives the block's rights as the
    // undo left them (pair -> PKtimes; a pair not in it has no right).
    QSqlError revert(const QString &databasePath, QSet<int> *changedEntries = nullptr,
                     QHash<quint64, int> *restored = nullptr) const;

    const QSet<int> &users() const { return m_users; }
    const QSet<int> &entries() const { return m_entries; }

    static quint64 pairKey(int user, int entry)
    {
        return (quint64(quint32(user)) << 32) | quint32(entry);
    }

private:
    QSet<int> m_users;
    QSet<int> m_entries;
    int m_timeModel = 0;
    QHash<quint64, int> m_before; // pair -> PKtimes, the block's rights before
    int m_rightCount = 0;
    int m_userCount = 0;
    int m_entryCount = 0;
};

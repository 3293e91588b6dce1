#pragma once

#include "db/accessrights.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class ProjectDatabase;

// A user x entry pair as a hash key. Qt's hash of a 64-bit number folds its
// halves onto each other, which leaves pairs of small keys only a few
// thousand distinct values and a hash of them long chains; this one mixes.
struct BoardPair
{
    int user = 0;
    int entry = 0;
};

inline bool operator==(BoardPair a, BoardPair b)
{
    return a.user == b.user && a.entry == b.entry;
}

inline bool operator<(BoardPair a, BoardPair b)
{
    return a.user < b.user || (a.user == b.user && a.entry < b.entry);
}

inline uint qHash(BoardPair pair, uint seed = 0)
{
    const quint64 key =
        ((quint64(quint32(pair.user)) << 32) | quint32(pair.entry)) * 0x9E3779B97F4A7C15ull;
    return uint(key >> 32) ^ seed;
}

// Rights of a block: pair -> PKtimes.
using BoardRights = QHash<BoardPair, int>;

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
    // changes are marked as needing an update; all in one transaction. The
    // rights it adds are remembered, so that an undo can go by row keys.
    //
    // Apply and revert work only on the very users, entries and time models
    // the change was prepared on: a key that now names another row (one
    // removed and another made, which SQLite may give the freed key), or one
    // whose names, identifiers or periods changed, refuses the whole step
    // with a message, nothing written, and sets *stale. Rows removed since
    // are left out.
    QSqlError apply(const QString &databasePath, QSet<int> *changedEntries = nullptr,
                    bool *stale = nullptr) const;
    // Puts back the rights the block held before, for users, entries and
    // time models that still exist. Entries where a right changes are marked
    // as needing an update: a reader may have received the change meanwhile.
    // All in one transaction. restored receives the block's rights as the
    // undo left them (pair -> PKtimes; a pair not in it has no right).
    QSqlError revert(const QString &databasePath, QSet<int> *changedEntries = nullptr,
                     BoardRights *restored = nullptr, bool *stale = nullptr) const;

    // The last undo found rows of the block changed since the change (by
    // another workstation or window) and set the block back by comparing it
    // with the rights before rather than by row keys; comparedNote() says so.
    bool lastUndoCompared() const { return m_compared; }
    static QString comparedNote();

    const QSet<int> &users() const { return m_users; }
    const QSet<int> &entries() const { return m_entries; }

    // The audit record of the last apply or revert (0: none written). An
    // undo's record names the change's, a redo's the undo's.
    qint64 lastRecord() const { return m_lastRecord; }

    static BoardPair pairKey(int user, int entry) { return {user, entry}; }

private:
    // One right of the block before the change.
    struct Row
    {
        qint64 pkAccess = 0;
        int user = 0;
        int entry = 0;
        int model = 0;
    };
    enum class Undo { Done, Stale, Failed };
    // What makes a row the one the change was prepared on (key -> columns):
    // the names the board shows and what decides who passes.
    struct Identities
    {
        QHash<int, QStringList> users;
        QHash<int, QStringList> entries;
        QHash<int, QStringList> models;
    };
    static bool readIdentities(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries,
                               const QSet<int> &models, Identities &identities);
    // A refusal naming a row that is no longer the one it was (stale set),
    // or the error of reading, on the open transaction of query; models are
    // those the step writes.
    QSqlError checkIdentities(QSqlQuery &query, const QSet<int> &models, bool &stale) const;
    QSet<int> modelsBefore() const;
    // Undoes by the row keys of the rights before and of those the last
    // apply added, checking each row is still the pair it was. Stale when
    // the block is no longer as that apply left it.
    Undo revertByRows(ProjectDatabase &db, QSet<int> &changed, QSet<int> &models,
                      QSqlError &error) const;
    // The same on a server, one statement a step.
    Undo revertRowsOnServer(QSqlQuery &query, const QSet<int> &knownUsers,
                            const QSet<int> &knownEntries, QSet<int> &changed,
                            const QSet<int> &models, QSqlError &error) const;
    // Compares the block with the rights before and writes the difference.
    QSqlError revertByComparing(ProjectDatabase &db, QSet<int> &changed, QSet<int> &models) const;

    QSet<int> m_users;
    QSet<int> m_entries;
    int m_timeModel = 0;
    Identities m_identities;
    BoardRights m_before;      // pair -> PKtimes, the block's rights before
    QVector<Row> m_beforeRows; // the same with their row keys, by key
    // What the last apply added; none before an apply, after an undo, or
    // when the added rows could not be told.
    mutable std::optional<QVector<AccessRights::AddedRight>> m_added;
    int m_rightCount = 0;
    int m_userCount = 0;
    int m_entryCount = 0;
    mutable qint64 m_lastRecord = 0;
    mutable bool m_reverted = false; // the last step taken was an undo
    mutable bool m_compared = false;
};

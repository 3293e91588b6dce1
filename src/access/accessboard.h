#pragma once

#include "db/accessrights.h"
#include "db/boardchange.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QString>
#include <QVector>

// The access board as data: users (grouped) against entries (grouped in
// areas), each cell the time model of the right. Row and column indexes are
// those of the board widget: row 0 and column 0 are the heads.
class ProjectDatabase;

class AccessBoard
{
public:
    struct Entry
    {
        int pkDoors = 0;
        QString doorName;
        QString areaName;
        bool needsUpdate = false;
    };
    struct User
    {
        int pkUsers = 0;
        QString familyName;
        QString firstName;
        QString groupName;
    };
    struct Right
    {
        int pkUsers = 0;
        int pkDoors = 0;
        int pkTimes = 0;
        QString modelTag;
    };

    // One board row (a user or a group head) or column (an entry or an area head).
    struct Line
    {
        bool isHead = false;
        QString name; // group or area name; "family, first" or entry name
        int key = 0;  // PKusers / PKdoors; 0 for heads
        int head = 0; // index of the head line this member belongs to (itself for a head)
        bool needsUpdate = false;
    };

    void build(const QVector<Entry> &entries, const QVector<User> &users,
               const QVector<Right> &rights);

    // Reads what the board shows from the open database: entries by area and
    // name, users by group and name, and the rights, stepped straight into
    // the cells. complete() then works out the head cells and the shading.
    // On failure the board is left empty.
    QSqlError read(ProjectDatabase &db);
    void complete();

    // Follows a change of a block's rights in memory, as the database holds
    // them after it, instead of reading them again: every member cell of
    // users x entries (keys not on the board are skipped) takes the time
    // model (0: no right), or with the pair map the model of its pair
    // (BoardChange::pairKey; a pair not in it has no right). tags names the
    // models the board does not show yet; false, with nothing changed, when
    // one of them is missing. The head cells and the shading of the groups
    // touched are worked out again; changedCells receives the index
    // (row * columnCount() + column) of every cell whose model, text or
    // shading changed.
    bool setBlock(const QSet<int> &users, const QSet<int> &entries, int timeModel,
                  const QHash<int, QString> &tags, QVector<int> *changedCells = nullptr);
    bool setBlock(const QSet<int> &users, const QSet<int> &entries, const BoardRights &models,
                  const QHash<int, QString> &tags, QVector<int> *changedCells = nullptr);
    // Marks the entries as needing an update; keys not on the board are skipped.
    void markPending(const QSet<int> &entries);

    // Sizes include the head row and column.
    int rowCount() const { return m_rows.size(); }
    int columnCount() const { return m_columns.size(); }
    const Line &row(int r) const { return m_rows.at(r); }
    const Line &column(int c) const { return m_columns.at(c); }

    // Time model key of a member cell, 0 when there is no right.
    int timeModelAt(int r, int c) const;
    // The tag of a member cell, or for a cell in a head row or column the
    // members' common tag, "..." when they differ.
    const QString &textAt(int r, int c) const;
    // True for a member cell whose right deviates from the most frequent one
    // of its block (group x area).
    bool isDeviating(int r, int c) const;

    int rowOfUser(int pkUsers) const { return m_rowOfUser.value(pkUsers, -1); }
    int columnOfEntry(int pkDoors) const { return m_columnOfEntry.value(pkDoors, -1); }

    // The users of a row (one user, or every user of a group head) and the
    // entries of a column (one entry, or every entry of an area head).
    QSet<int> usersOfRow(int r) const;
    QSet<int> entriesOfColumn(int c) const;
    // The member lines under a head (a member line gives itself).
    QVector<int> memberRows(int r) const;
    QVector<int> memberColumns(int c) const;

    bool hasEntries() const { return m_columns.size() > 1; }
    bool hasUsers() const { return m_rows.size() > 1; }

    static const QString Differs; // "..."

private:
    // A head cell whose members differ.
    static constexpr int DiffersModel = -1;

    int cellIndex(int r, int c) const { return r * m_columns.size() + c; }
    // complete() for the groups whose head rows are given, in order.
    void completeGroups(const QVector<int> &groups);
    // The end (one past the last member row) of the group whose head row is g.
    int groupEnd(int g) const;
    // The index of each model in m_modelKeys, new ones appended with their
    // tags; false, with nothing appended, when a tag is missing.
    bool indexModels(const QSet<int> &models, const QHash<int, QString> &tags,
                     QHash<int, int> &indexOf);
    // Sets the block's cells through fill(rows, columns, cells), completes
    // the groups touched and reports the cells that changed.
    template<typename Fill>
    void setCells(const QSet<int> &users, const QSet<int> &entries, Fill fill,
                  QVector<int> *changedCells);
    void layOut(const QVector<Entry> &entries, const QVector<User> &users);
    void clear();

    QVector<Line> m_rows;
    QVector<Line> m_columns;
    // Per cell: for a member cell the index of its time model in m_modelKeys
    // (0: no right), for a head cell that of the members' common one or
    // DiffersModel.
    QVector<int> m_cells;
    QVector<bool> m_deviating; // per cell
    QVector<int> m_modelKeys;  // index -> PKtimes; index 0 is "no right"
    QVector<QString> m_modelTags;
    QHash<int, int> m_rowOfUser;
    QHash<int, int> m_columnOfEntry;
};

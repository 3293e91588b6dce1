#pragma once

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVector>

// The audit record of a change of rights on a block of users x entries (a
// board change, its undo and its redo). The block's rights are read on the
// change's own transaction before it and compared with what it left; the
// record names the cells that changed.
//
// Its values are compact: "users", "entries" and "models" list names, and
// "cells" holds one text a user with one character an entry: "." unchanged,
// "-" no right, "0"-"9", "A"-"Z", "a"-"z" the time model of that index in
// "models" ("{62}" and so on beyond). Before holds the cells as they were;
// after the one time model set ({"model": null} when the rights were
// removed) or, after an undo, the cells as they are.
class RightsAudit
{
public:
    // Reads the block's rights before the change; nothing while not recording.
    QSqlError readBefore(QSqlQuery &query, const QSet<int> &users, const QSet<int> &entries);
    // Records a change that gave every pair of the block's existing users and
    // entries the time model, or took all rights of the block away (0),
    // without reading the block again. Nothing is recorded when no cell changed.
    QSqlError recordBlock(QSqlQuery &query, int timeModel, const QString &action, qint64 reverses,
                          qint64 *sequence);
    // Records any other change (an undo) after reading the block again.
    QSqlError recordRead(QSqlQuery &query, const QString &action, qint64 reverses,
                         qint64 *sequence);

private:
    // Position of each key of a set, through an array over the keys' range
    // when that is compact (keys are mostly dense), else a hash.
    class Positions
    {
    public:
        explicit Positions(const QVector<int> &sorted = QVector<int>());
        int of(int key) const; // -1 when not in the set
    private:
        int m_first = 0;
        QVector<int> m_array;
        QHash<int, int> m_hash;
    };
    // Reads the block's rights into cells (index user * entries + entry; 0: none).
    QSqlError readCells(QSqlQuery &query, QVector<int> &cells) const;
    // Names of the block's users and entries that exist, by key.
    bool readNames(QSqlQuery &query);
    QSqlError recordCells(QSqlQuery &query, const QVector<int> &after, int timeModel,
                          const QString &action, qint64 reverses, qint64 *sequence);

    bool m_active = false;
    QVector<int> m_users;   // keys, ascending
    QVector<int> m_entries; // keys, ascending
    Positions m_userIndex;
    Positions m_entryIndex;
    QVector<int> m_before;
    QHash<int, QString> m_userNames;
    QHash<int, QString> m_entryNames;
};

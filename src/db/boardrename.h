#pragma once

#include <QHash>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// A rename of a user group or an area on the board, with the keys of the
// users or entries it renamed, so that it can be undone and done again even
// when it joined them to a group or area of that name.
class BoardRename
{
public:
    enum Kind { Group, Area };

    BoardRename() = default;

    // Renames every user (entry) of the old group (area), in one transaction,
    // and remembers which ones.
    static QSqlError rename(const QString &databasePath, Kind kind, const QString &oldName,
                            const QString &newName, BoardRename &done);

    Kind kind() const { return m_kind; }
    QString oldName() const { return m_oldName; }
    QString newName() const { return m_newName; }
    // The users (entries) renamed.
    int count() const { return m_rows.size(); }

    // Gives the renamed users (entries) their old name back, or the new one
    // again; those removed since, renamed otherwise or no longer the same
    // (another row given the key of one removed) are left out. One
    // transaction each.
    QSqlError revert(const QString &databasePath) const;
    QSqlError apply(const QString &databasePath) const;

    // The audit record of the rename, or of its last undo or redo (0: none
    // written). An undo's record names the rename's, a redo's the undo's.
    qint64 lastRecord() const { return m_lastRecord; }

private:
    QSqlError setName(const QString &databasePath, const QString &from, const QString &to,
                      const QString &action) const;
    // The rename's audit record for the rows of these keys (names as read).
    QSqlError record(QSqlQuery &query, const QList<int> &keys, const QString &from,
                     const QString &to, const QString &action, qint64 reverses,
                     qint64 *sequence) const;
    // Key -> identity of the rows that pass the filter.
    bool readRows(QSqlQuery &query, const QString &filter, const QVariantList &values,
                  QHash<int, QString> &rows) const;
    QSqlError renameRows(QSqlQuery &query, const QList<int> &keys, const QString &name) const;

    Kind m_kind = Group;
    QString m_oldName;
    QString m_newName;
    QHash<int, QString> m_rows; // key -> the row's names when renamed
    mutable qint64 m_lastRecord = 0;
};

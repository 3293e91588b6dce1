#pragma once

#include "db/recordrows.h"

#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

// The entries a reader function works on: all entries, an area, a set of
// entries (each optionally only those with an update pending), or the
// entries of one reader technology.
class EntrySelection
{
public:
    enum Scope {
        AllEntries = 1,
        Area = 2,
        Entries = 3,
        ShortRange = 4,
        LongRange = 5,
    };

    EntrySelection() = default;

    static EntrySelection allEntries(bool onlyPending = false);
    static EntrySelection area(const QString &areaName, bool onlyPending = false);
    static EntrySelection entries(const QSet<int> &keys, bool onlyPending = false);
    static EntrySelection shortRange();
    static EntrySelection longRange();
    // Both technologies select all entries; neither selects nothing.
    static EntrySelection technologies(bool shortRange, bool longRange);

    Scope scope() const { return m_scope; }
    bool onlyPending() const { return m_onlyPending; }
    QString areaName() const { return m_areaName; }
    QSet<int> keys() const { return m_keys; }
    // True when the selection can yield no entry without asking the database.
    bool isEmpty() const;

    // The selected entries in the database's order. An empty selection runs
    // no statement and yields no rows.
    bool list(QSqlQuery &query, QList<EntryTarget> &rows) const;
    QSqlError list(const QString &databasePath, QList<EntryTarget> &rows) const;

private:
    Scope m_scope = AllEntries;
    bool m_onlyPending = false;
    bool m_nothing = false;
    QString m_areaName;
    QSet<int> m_keys;
};

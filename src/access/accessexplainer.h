#pragma once

#include "access/accessdataset.h"
#include "access/decisiontables.h"
#include "access/readeraccesstables.h"
#include "db/accessrights.h"
#include "db/projectparameters.h"
#include "db/recordrows.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>

// A decision with the reasons behind it, one line each.
struct AccessExplanation
{
    enum Reason {
        Verdict,           // the decision line itself
        Subject,           // whose identifier, or none
        NotAccessReader,   // the entry's reader holds no access tables
        NoIdentifier,      // the user has no identifier of the entry's technology
        NoRight,           // the user has no right at this entry
        LeftOut,           // blank or unreadable at the project length: never sent
        ShortIdentifier,   // shorter than the project length
        UnknownIdentifier, // the table holds no record for it
        SharedRecord,      // the record belongs to another user with the same first bytes
        Right,             // the right and its time model
        Always,            // the model grants at all times
        Holiday,           // the day is a holiday: only holiday periods apply
        CoveringPeriod,    // the period that covers the moment
        NoCoveringPeriod,  // none does, with the model's periods
        TooManyPeriods,    // the entry's rights cannot be sent
        Pending,           // the reader still decides from older tables
        ReaderVerdict,     // the reader's own decision
        ReaderAgrees,
        ReaderDiffers, // one line per difference
        ReaderUnread,  // the reader's tables could not be read
    };
    struct Line
    {
        Reason reason;
        QString text;
    };

    TableDecision decision;
    QByteArray presented; // the identifier as a tag presents it
    QList<Line> lines;
    // Set when --reader style comparison ran and succeeded.
    bool readerAsked = false;
    TableDecision readerDecision;

    bool permitted() const { return decision.permitted(); }
    bool has(Reason reason) const;
    QStringList texts() const;
    void add(Reason reason, const QString &text) { lines << Line{reason, text}; }
};

// Decides for one entry, from the database, what its reader will decide for
// a user or an identifier at a moment, and says why. The tables it decides
// from are compiled exactly as an update would send them now.
class AccessExplainer
{
    Q_DECLARE_TR_FUNCTIONS(AccessExplainer)

public:
    // Loads the entry (by name; an area may be given as "AREA/NAME" when the
    // name alone is not unique) and everything its decision needs. Holidays
    // from heldFrom on are in the tables, as an update on that day sends them.
    QSqlError load(const ProjectParameters &project, const QString &entryName,
                   const QDate &heldFrom = QDate::currentDate());
    QSqlError load(const ProjectParameters &project, int pkDoors,
                   const QDate &heldFrom = QDate::currentDate());
    // Set by load when the name matched no entry or several.
    QString loadProblem() const { return m_loadProblem; }

    const EntryRow &entry() const { return m_entry; }
    bool entryPending() const { return m_pending; }
    const QList<UserRow> &users() const { return m_users; }
    const DecisionTables &tables() const { return m_tables; }
    int iddLength() const { return m_iddLength; }

    // "LAST, FIRST": the users so called (exact first, else ignoring case).
    QList<UserRow> usersNamed(const QString &name) const { return usersNamed(m_users, name); }
    static QList<UserRow> usersNamed(const QList<UserRow> &users, const QString &name);
    static QString userName(const UserRow &user);

    AccessExplanation explainUser(const UserRow &user, const QDateTime &at) const;
    // The identifier as the reader reads it (for long-range readers the EPC).
    AccessExplanation explainIdentifier(const QByteArray &identifier, const QDateTime &at) const;
    // Adds the reader's own decision over tables read back from it and,
    // where it differs from the database's, why.
    void compareWithReader(AccessExplanation &explanation, const DecisionTables &reader,
                           const QDateTime &at) const;

    // Whether the reader permits the user's identifier at the moment (the
    // verdict of explainUser without its reasons).
    bool permits(const UserRow &user, const QDateTime &at) const;
    // The users whose identifier the reader permits at the moment.
    QList<UserRow> usersPermitted(const QDateTime &at) const;

    // The stored identifier a user shows this entry's reader (empty: none).
    QString identifierOf(const UserRow &user) const;
    // When the update function last finished for this entry, from its log;
    // invalid when none is logged.
    QDateTime lastSuccessfulUpdate() const;
    static QDateTime lastSuccessfulUpdate(const QString &projectPath, const QString &doorName,
                                          const QString &readerSerNo);

private:
    QSqlError loadEntry(const ProjectParameters &project, int pkDoors, const QDate &heldFrom);
    void explainRecord(AccessExplanation &e, const QByteArray &key, const QDateTime &at) const;
    void addCommon(AccessExplanation &e) const;
    QString momentText(const QDateTime &at) const;
    QString verdictText(const TableDecision &d, const QString &who, const QDateTime &at) const;
    const AccessEntry *ownerOf(const QByteArray &key) const;
    QString windowText(const DecisionTables &tables, int index) const;

    ProjectParameters m_project;
    EntryRow m_entry;
    bool m_pending = false;
    QString m_loadProblem;
    QList<UserRow> m_users;
    QList<AccessRow> m_rights; // this entry's
    QList<TimeModelRow> m_models;
    QList<HolidayRow> m_allHolidays;
    AccessDataSet m_dataSet;
    ReaderAccessTables m_compiled;
    DecisionTables m_tables;
    int m_iddLength = 0;
};

#pragma once

#include "db/recordrows.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// One access right as the reader needs it.
struct AccessEntry
{
    QByteArray idd;    // stored identifier text, Latin-1
    quint32 flags = 0; // bit i: timezone index i; bit 15: always
    QString lastName;
    QString firstName;
    QString modelTag;
    QStringList periods; // period keys in definition order

    bool operator==(const AccessEntry &other) const
    {
        return idd == other.idd && flags == other.flags && lastName == other.lastName &&
               firstName == other.firstName && modelTag == other.modelTag &&
               periods == other.periods;
    }
};

// Everything one entry's reader needs, compiled from the entry's access rows
// and the upcoming holidays. Compiling is a pure function of its inputs.
class AccessDataSet
{
public:
    static constexpr int MaxTimezones = 15;
    // The shortest identifier length an update sends: a reader keys cards by
    // their first bytes, and below this one too many strangers share a key.
    static constexpr int MinSafeIddLength = 4;
    static constexpr int AlwaysIndex = 15;
    static constexpr quint32 AlwaysFlag = 1u << AlwaysIndex;
    static const QString &alwaysTag(); // "***"
    static const QString &alwaysKey(); // "***#*-*-*"

    // Reader types whose access tables this system compiles.
    static bool isAccessReaderType(int readerType);
    // The identifier column the reader type reads: short-range for 100,
    // long-range for 101 and 863, none for any other type.
    static QString identifierOf(const EntryAccessRow &row, int readerType);
    // The identifier length in bytes the reader type uses, 0 for other types.
    static int iddLengthFor(int readerType, int hfIddLength, int uhfIddLength);
    // The period keys of one time model, the always key among them; each
    // other key takes one of the 15 windows when a user with a readable
    // identifier holds the model.
    static QStringList periodKeys(const QString &modelTag, const QString &definition);

    // Clears the set and compiles it. Rows are taken in the order given; rows
    // without an identifier for the reader type are skipped. Rows whose
    // identifier does not parse or gives a blank record key at iddLength
    // (0: the longest) go to leftOut() instead: they are never sent. Returns
    // false when more than 15 distinct periods result; the set then keeps its
    // entries for the log but isValid() is false and must not be sent.
    bool compile(const QList<EntryAccessRow> &rows, const QList<HolidayRow> &holidays,
                 int readerType, int iddLength = 0);
    void clear();

    bool isValid() const { return m_valid; }
    const QList<AccessEntry> &entries() const { return m_entries; }
    // Rights left out for an identifier that is unreadable or blank.
    const QList<AccessEntry> &leftOut() const { return m_leftOut; }
    const QMap<QString, int> &periodIndex() const { return m_periodIndex; }
    const QList<QDate> &holidays() const { return m_holidays; }
    // Keys that found no index because the fifteen were taken, in the order met.
    const QStringList &overflowKeys() const { return m_overflowKeys; }

    // Whether both sets give a reader the same tables and names.
    bool sameContent(const AccessDataSet &other) const
    {
        return m_valid == other.m_valid && m_entries == other.m_entries &&
               m_periodIndex == other.m_periodIndex && m_holidays == other.m_holidays;
    }

    // The key holding a timezone index, or a null string.
    QString keyOfIndex(int index) const;

    // Set indices 0..15 of a flag word joined by ",".
    static QString indexList(quint32 flags);

    // The period and user lists for the function log, one text each.
    QString periodLog() const;
    QString userLog() const;
    // Empty when no right was left out.
    QString leftOutLog() const;

    // For hand-built sets (tests, flash-drive tools).
    void setEntries(const QList<AccessEntry> &entries) { m_entries = entries; }
    void setPeriodIndex(const QMap<QString, int> &index) { m_periodIndex = index; }
    void setHolidays(const QList<QDate> &holidays) { m_holidays = holidays; }

private:
    QList<AccessEntry> m_entries;
    QList<AccessEntry> m_leftOut;
    QMap<QString, int> m_periodIndex;
    QList<QDate> m_holidays;
    QStringList m_overflowKeys;
    bool m_valid = true;
};

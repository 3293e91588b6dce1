#pragma once

#include "access/accessrecords.h"
#include "access/timeperiod.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>

class ReaderAccessTables;

// What an access reader answers to one presented identifier.
struct TableDecision
{
    // The causes a reader gives in its event (0 permitted).
    enum Cause {
        Permitted = 0,
        UnknownIdentifier = 1,
        OutsideTimezones = 2,
    };
    Cause cause = UnknownIdentifier;
    QByteArray key;    // the presented identifier at the table's length
    quint16 flags = 0; // of the record found
    bool holiday = false;
    int grantingIndex = -1; // the window that granted; 15 for always

    bool permitted() const { return cause == Permitted; }
};

// The tables an access reader decides from, taken either from the tables the
// manager compiles or from a reader's read-back, and the reader's decision
// over them: the identifier is looked up by its first IDD-Length bytes (a
// shorter one extended with zero bytes in front); flag bit 15 grants always;
// window i grants when, on a holiday, it is a holiday window (Days 0), on
// other days its Days have the weekday, and start <= time < end.
class DecisionTables
{
public:
    static DecisionTables fromCompiled(const ReaderAccessTables &tables);
    // Records as a reader holds them (read back, or compiled); access keyed
    // by the upper-case hexadecimal identifier.
    static DecisionTables fromRecords(const QList<TimezoneRecord> &timezones,
                                      const QList<HolidayRecord> &holidays,
                                      const QMap<QString, AccessRecord> &access, int iddLength);

    TableDecision decide(const QByteArray &identifier, const QDateTime &at) const;

    // The record key a presented identifier is compared as.
    QByteArray keyOf(const QByteArray &identifier) const;

    int iddLength() const { return m_iddLength; }
    // The timezone records as periods (a holiday window carries the holiday bit alone).
    QList<TimePeriod> windows() const;
    const QList<TimezoneRecord> &timezones() const { return m_timezones; }
    const QList<QDate> &holidays() const { return m_holidays; }
    const QMap<QByteArray, quint16> &access() const { return m_access; }
    bool isHoliday(const QDate &date) const;
    // Whether window index applies on date at minute of the day.
    bool windowGrants(int index, const QDate &date, int minute) const;

private:
    int m_iddLength = 0;
    QList<TimezoneRecord> m_timezones;
    QList<QDate> m_holidays;
    QMap<QByteArray, quint16> m_access;
};

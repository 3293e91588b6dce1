#include "access/decisiontables.h"

#include "access/accessdataset.h"
#include "access/readeraccesstables.h"

namespace {

// A reader keeps two-digit years: compare dates as its holiday records hold them.
QDate asHeld(const QDate &date)
{
    return HolidayRecord::fromDate(date).toDate();
}

} // namespace

DecisionTables DecisionTables::fromCompiled(const ReaderAccessTables &tables)
{
    return fromRecords(tables.timezones(), tables.holidays(), tables.accessRecords(),
                       tables.iddLength());
}

DecisionTables DecisionTables::fromRecords(const QList<TimezoneRecord> &timezones,
                                           const QList<HolidayRecord> &holidays,
                                           const QMap<QString, AccessRecord> &access, int iddLength)
{
    DecisionTables t;
    t.m_iddLength = iddLength;
    t.m_timezones = timezones.mid(0, AccessDataSet::MaxTimezones);
    for (const HolidayRecord &record : holidays)
        t.m_holidays << record.toDate();
    for (const AccessRecord &record : access) {
        if (!t.m_access.contains(record.idd))
            t.m_access.insert(record.idd, record.flags);
        if (t.m_iddLength <= 0)
            t.m_iddLength = record.idd.size();
    }
    return t;
}

QList<TimePeriod> DecisionTables::windows() const
{
    QList<TimePeriod> periods;
    for (const TimezoneRecord &record : m_timezones)
        periods << record.toPeriod();
    return periods;
}

bool DecisionTables::isHoliday(const QDate &date) const
{
    return m_holidays.contains(asHeld(date));
}

QByteArray DecisionTables::keyOf(const QByteArray &identifier) const
{
    if (m_iddLength <= 0)
        return QByteArray();
    QByteArray key = identifier.left(m_iddLength);
    key.prepend(QByteArray(m_iddLength - key.size(), '\0'));
    return key;
}

bool DecisionTables::windowGrants(int index, const QDate &date, int minute) const
{
    if (index < 0 || index >= m_timezones.size())
        return false;
    const TimezoneRecord &tz = m_timezones.at(index);
    // Valid between two dates of two-digit years, compared as the reader does.
    const auto key = [](int year, int month, int day) { return year * 10000 + month * 100 + day; };
    const int today = key(date.year(), date.month(), date.day());
    if (today < key(2000 + tz.startYear, tz.startMonth, tz.startDay) ||
        today > key(2000 + tz.endYear, tz.endMonth, tz.endDay))
        return false;
    // Days 0 marks a holiday window.
    if (isHoliday(date) ? tz.days != 0 : !(tz.days & (1 << (date.dayOfWeek() % 7))))
        return false;
    return tz.startHour * 60 + tz.startMinute <= minute && minute < tz.endHour * 60 + tz.endMinute;
}

TableDecision DecisionTables::decide(const QByteArray &identifier, const QDateTime &at) const
{
    TableDecision d;
    d.key = keyOf(identifier);
    d.holiday = isHoliday(at.date());
    const auto found = m_access.constFind(d.key);
    if (d.key.isEmpty() || found == m_access.constEnd()) {
        d.cause = TableDecision::UnknownIdentifier;
        return d;
    }
    d.flags = found.value();
    if (d.flags & AccessDataSet::AlwaysFlag) {
        d.cause = TableDecision::Permitted;
        d.grantingIndex = AccessDataSet::AlwaysIndex;
        return d;
    }
    const int minute = at.time().hour() * 60 + at.time().minute();
    for (int i = 0; i < AccessDataSet::MaxTimezones; ++i) {
        if ((d.flags & (1u << i)) && windowGrants(i, at.date(), minute)) {
            d.cause = TableDecision::Permitted;
            d.grantingIndex = i;
            return d;
        }
    }
    d.cause = TableDecision::OutsideTimezones;
    return d;
}

#include "access/decisiontables.h"

#include "access/accesscsvfiles.h"
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
    DecisionTables t;
    t.m_iddLength = tables.iddLength();
    for (const TimezoneRecord &record : tables.timezones())
        t.m_windows << record.toPeriod();
    for (const HolidayRecord &record : tables.holidays())
        t.m_holidays << record.toDate();
    for (const AccessRecord &record : tables.accessRecords())
        t.m_access.insert(record.idd, record.flags);
    return t;
}

DecisionTables DecisionTables::fromReadBack(const QList<TimePeriod> &periodsByIndex,
                                            const QList<QDate> &holidays,
                                            const QList<ReadAccessRecord> &access, int iddLength)
{
    DecisionTables t;
    t.m_iddLength = iddLength;
    t.m_windows = periodsByIndex.mid(0, AccessDataSet::MaxTimezones);
    for (const QDate &date : holidays)
        t.m_holidays << asHeld(date);
    for (const ReadAccessRecord &record : access) {
        const QByteArray key = QByteArray::fromHex(record.idd.toLatin1());
        if (!key.isEmpty() && !t.m_access.contains(key))
            t.m_access.insert(key, record.flags);
        if (t.m_iddLength <= 0)
            t.m_iddLength = key.size();
    }
    return t;
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
    if (index < 0 || index >= m_windows.size() || index >= AccessDataSet::MaxTimezones)
        return false;
    const TimePeriod &window = m_windows.at(index);
    // Days as the reader holds them: 0 for a holiday window.
    const qint32 days = window.days() & TimePeriod::Holiday ? 0 : window.days() & 0x7F;
    const bool holiday = isHoliday(date);
    if (holiday ? days != 0 : !(days & (1 << (date.dayOfWeek() % 7))))
        return false;
    return window.startMinutes() <= minute && minute < window.endMinutes();
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

#include "access/accessrecords.h"

namespace {

void appendWord(QByteArray &bytes, quint16 value)
{
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xFF));
}

quint16 wordAt(const QByteArray &bytes, int pos)
{
    return quint16((quint8(bytes.at(pos)) << 8) | quint8(bytes.at(pos + 1)));
}

quint8 byteAt(const QByteArray &bytes, int pos)
{
    return quint8(bytes.at(pos));
}

} // namespace

QByteArray TableMetadata::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(Size);
    appendWord(bytes, tableVersion);
    bytes.append(char(timezoneEntries));
    bytes.append(char(holidayEntries));
    appendWord(bytes, accessEntries);
    bytes.append(char(iddLength));
    bytes.append(char(iddFormat));
    bytes.append(QByteArray(8, '\0'));
    return bytes;
}

bool TableMetadata::fromBytes(const QByteArray &bytes, TableMetadata &metadata)
{
    if (bytes.size() != Size)
        return false;
    metadata.tableVersion = wordAt(bytes, 0);
    metadata.timezoneEntries = byteAt(bytes, 2);
    metadata.holidayEntries = byteAt(bytes, 3);
    metadata.accessEntries = wordAt(bytes, 4);
    metadata.iddLength = byteAt(bytes, 6);
    metadata.iddFormat = byteAt(bytes, 7);
    return true;
}

bool TableMetadata::operator==(const TableMetadata &other) const
{
    return toBytes() == other.toBytes();
}

TimezoneRecord TimezoneRecord::fromPeriod(const TimePeriod &period)
{
    TimezoneRecord record;
    record.days = (period.days() & TimePeriod::Holiday) ? 0 : quint8(period.days() & 0xFF);
    record.startHour = quint8(period.fromHour());
    record.startMinute = quint8(period.fromMinute());
    record.endHour = quint8(period.toHour());
    record.endMinute = quint8(period.toMinute());
    // A time off the clock is sent as 24:00: cut to a byte it would wrap
    // (256:00 becomes 00:00, minute 600 becomes 88) and could open a window
    // the definition never meant. A never period gets a window without time.
    const bool never = period.isNever();
    if (never || !TimePeriod::isClockTime(period.fromHour(), period.fromMinute())) {
        record.startHour = 24;
        record.startMinute = 0;
    }
    if (never || !TimePeriod::isClockTime(period.toHour(), period.toMinute())) {
        record.endHour = 24;
        record.endMinute = 0;
    }
    return record;
}

TimePeriod TimezoneRecord::toPeriod() const
{
    const qint32 dayBits = days == 0 ? qint32(TimePeriod::Holiday) : qint32(days);
    return TimePeriod(dayBits, startHour, startMinute, endHour, endMinute);
}

QByteArray TimezoneRecord::toBytes() const
{
    const char bytes[Size] = {char(startDay),    char(startMonth), char(startYear), char(endDay),
                              char(endMonth),    char(endYear),    char(days),      char(startHour),
                              char(startMinute), char(endHour),    char(endMinute)};
    return QByteArray(bytes, Size);
}

bool TimezoneRecord::fromBytes(const QByteArray &bytes, TimezoneRecord &record)
{
    if (bytes.size() != Size)
        return false;
    record.startDay = byteAt(bytes, 0);
    record.startMonth = byteAt(bytes, 1);
    record.startYear = byteAt(bytes, 2);
    record.endDay = byteAt(bytes, 3);
    record.endMonth = byteAt(bytes, 4);
    record.endYear = byteAt(bytes, 5);
    record.days = byteAt(bytes, 6);
    record.startHour = byteAt(bytes, 7);
    record.startMinute = byteAt(bytes, 8);
    record.endHour = byteAt(bytes, 9);
    record.endMinute = byteAt(bytes, 10);
    return true;
}

bool TimezoneRecord::operator==(const TimezoneRecord &other) const
{
    return toBytes() == other.toBytes();
}

HolidayRecord HolidayRecord::fromDate(const QDate &date)
{
    HolidayRecord record;
    record.day = quint8(date.day());
    record.month = quint8(date.month());
    record.year = quint8(date.year() % 100);
    return record;
}

QDate HolidayRecord::toDate() const
{
    return QDate(2000 + year, month, day);
}

QByteArray HolidayRecord::toBytes() const
{
    const char bytes[Size] = {char(day), char(month), char(year)};
    return QByteArray(bytes, Size);
}

bool HolidayRecord::fromBytes(const QByteArray &bytes, HolidayRecord &record)
{
    if (bytes.size() != Size)
        return false;
    record.day = byteAt(bytes, 0);
    record.month = byteAt(bytes, 1);
    record.year = byteAt(bytes, 2);
    return true;
}

bool HolidayRecord::operator==(const HolidayRecord &other) const
{
    return toBytes() == other.toBytes();
}

QString AccessRecord::key() const
{
    return QString::fromLatin1(idd.toHex().toUpper());
}

QByteArray AccessRecord::toBytes() const
{
    QByteArray bytes = idd;
    appendWord(bytes, flags);
    bytes.append('\0');
    return bytes;
}

bool AccessRecord::fromBytes(const QByteArray &bytes, int iddLength, AccessRecord &record)
{
    if (iddLength < 0 || bytes.size() != iddLength + ExtraSize)
        return false;
    record.idd = bytes.left(iddLength);
    record.flags = wordAt(bytes, iddLength);
    return true;
}

bool AccessRecord::operator==(const AccessRecord &other) const
{
    return idd == other.idd && flags == other.flags;
}

QByteArray RecordFrame::head(int count, int recordSize)
{
    QByteArray bytes;
    appendWord(bytes, quint16(count));
    bytes.append(char(recordSize));
    return bytes;
}

bool RecordFrame::split(const QByteArray &frame, int recordSize, QList<QByteArray> &records)
{
    records.clear();
    if (recordSize <= 0 || frame.size() < HeadSize)
        return false;
    const int count = wordAt(frame, 0);
    if (byteAt(frame, 2) != recordSize || frame.size() != HeadSize + count * recordSize)
        return false;
    records.reserve(count);
    for (int i = 0; i < count; ++i)
        records << frame.mid(HeadSize + i * recordSize, recordSize);
    return true;
}

#include "access/readeraccesstables.h"

#include "access/accessdataset.h"
#include "access/timeperiod.h"
#include "core/filewriter.h"
#include "db/holidayrecords.h"
#include "db/transponderidd.h"

#include <QCoreApplication>

namespace {

QByteArray hex2(uint value)
{
    return QByteArray::number(value & 0xFF, 16).toUpper().rightJustified(2, '0');
}

QByteArray hex4(uint value)
{
    return QByteArray::number(value & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

QString dec2(uint value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

ReaderAccessTables::ReaderAccessTables()
{
    reset();
}

void ReaderAccessTables::reset()
{
    m_timezones.clear();
    m_timezones.reserve(MaxTimezones);
    m_holidays.clear();
    m_holidays.reserve(64);
    m_access.clear();
    m_iddLength = 0;
    m_iddFormat = TableMetadata::IddFormatBytes;
    m_lastCode = 0;
    m_failedItem.clear();
    m_readMetadata = TableMetadata();
    m_leftOut = 0;
}

QString ReaderAccessTables::codeText(qint32 code)
{
    switch (code) {
    case RecordLengthError:
        return QCoreApplication::translate("ReaderAccessTables",
                                           "Table record of unexpected length or count");
    case MetadataError:
        return QCoreApplication::translate("ReaderAccessTables", "Table metadata not writable");
    case TableFull:
        return QCoreApplication::translate("ReaderAccessTables", "Table full");
    case IddLengthError:
        return QCoreApplication::translate("ReaderAccessTables", "Invalid identifier length");
    case IddFormatError:
        return QCoreApplication::translate("ReaderAccessTables", "Invalid identifier format");
    case FileError:
        return QCoreApplication::translate("ReaderAccessTables", "Table file error");
    case HolidayYearError:
        return QCoreApplication::translate("ReaderAccessTables",
                                           "Holiday outside the years 2000 to 2099 a reader holds");
    default:
        return QString();
    }
}

qint32 ReaderAccessTables::fail(qint32 code)
{
    m_lastCode = code;
    return code;
}

qint32 ReaderAccessTables::setIddLength(int length)
{
    if (length < MinIddLength || length > MaxIddLength)
        return fail(IddLengthError);
    m_iddLength = length;
    return Ok;
}

qint32 ReaderAccessTables::addTimezone(const TimezoneRecord &record)
{
    if (m_timezones.size() >= MaxTimezones)
        return fail(TableFull);
    m_timezones << record;
    return Ok;
}

qint32 ReaderAccessTables::addHoliday(const HolidayRecord &record)
{
    if (m_holidays.size() >= MaxHolidays)
        return fail(TableFull);
    m_holidays << record;
    return Ok;
}

qint32 ReaderAccessTables::addAccess(const QByteArray &idd, quint16 flags)
{
    if (m_iddFormat != TableMetadata::IddFormatBytes)
        return fail(IddFormatError);
    if (m_iddLength < MinIddLength || m_iddLength > MaxIddLength)
        return fail(IddLengthError);
    AccessRecord record;
    record.idd = idd.left(m_iddLength);
    if (record.idd.size() < m_iddLength)
        record.idd.prepend(QByteArray(m_iddLength - record.idd.size(), '\0'));
    record.flags = flags;
    const QString key = record.key();
    if (m_access.contains(key))
        return Ok;
    if (m_access.size() >= MaxAccessRecords)
        return fail(TableFull);
    m_access.insert(key, record);
    return Ok;
}

qint32 ReaderAccessTables::fillTimezones(const AccessDataSet &dataSet)
{
    m_failedItem.clear();
    if (!dataSet.isValid()) {
        // A set with more than fifteen windows must not reach a reader.
        m_failedItem = QStringLiteral("Set period %1").arg(dataSet.overflowKeys().value(0));
        return fail(TableFull);
    }
    for (int index = 0; index < MaxTimezones; ++index) {
        const QString key = dataSet.keyOfIndex(index);
        if (key.isNull())
            break;
        const TimePeriod period = TimePeriod::fromDefinition(TimePeriod::definitionOfKey(key));
        if (period.isNever())
            break;
        const qint32 code = addTimezone(TimezoneRecord::fromPeriod(period));
        if (code != Ok) {
            m_failedItem = QStringLiteral("Set period %1").arg(key);
            return code;
        }
    }
    return Ok;
}

qint32 ReaderAccessTables::fillHolidays(const AccessDataSet &dataSet)
{
    m_failedItem.clear();
    for (const QDate &date : dataSet.holidays()) {
        // 2126 would go out as 26 and make a working day of 2026 a holiday.
        const qint32 code = HolidayRecords::fitsReaders(date)
                                ? addHoliday(HolidayRecord::fromDate(date))
                                : fail(HolidayYearError);
        if (code != Ok) {
            m_failedItem =
                QStringLiteral("Set holiday %1").arg(date.toString(QStringLiteral("dd.MM.yyyy")));
            return code;
        }
    }
    return Ok;
}

QByteArray ReaderAccessTables::iddBytesOfStored(const QByteArray &stored)
{
    const TransponderIdd idd = TransponderIdd::fromStored(QString::fromLatin1(stored));
    switch (idd.type()) {
    case TransponderIdd::Iso15693:
    case TransponderIdd::Iso14443A:
        return idd.bytes();
    case TransponderIdd::EpcClass1Gen2:
        return idd.bytes().mid(2);
    default:
        return QByteArray();
    }
}

QByteArray ReaderAccessTables::readerIdd(const QByteArray &stored, int iddLength)
{
    if (iddLength < MinIddLength || iddLength > MaxIddLength)
        return QByteArray();
    QByteArray key = iddBytesOfStored(stored).left(iddLength);
    if (key.size() < iddLength)
        key.prepend(QByteArray(iddLength - key.size(), '\0'));
    if (key.count('\0') == key.size())
        return QByteArray();
    return key;
}

qint32 ReaderAccessTables::fillAccess(const AccessDataSet &dataSet, int iddLength)
{
    m_failedItem.clear();
    m_leftOut = 0;
    qint32 code = setIddLength(iddLength);
    if (code != Ok) {
        m_failedItem = QStringLiteral("Set IDD-Length %1").arg(iddLength);
        return code;
    }
    const QList<AccessEntry> &entries = dataSet.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const AccessEntry &entry = entries.at(i);
        const QByteArray key = readerIdd(entry.idd, m_iddLength);
        if (key.isEmpty()) {
            ++m_leftOut;
            continue;
        }
        const quint16 flags = quint16(entry.flags & 0xFFFF);
        code = addAccess(key, flags);
        if (code != Ok) {
            m_failedItem =
                QStringLiteral("Set IDD(%1,%2)").arg(i).arg(flags, 16, 2, QLatin1Char('0'));
            return code;
        }
    }
    return Ok;
}

qint32 ReaderAccessTables::fill(const AccessDataSet &dataSet, int iddLength)
{
    reset();
    qint32 code = fillTimezones(dataSet);
    if (code == Ok)
        code = fillHolidays(dataSet);
    if (code == Ok)
        code = fillAccess(dataSet, iddLength);
    return code;
}

qint32 ReaderAccessTables::readMetadataFrame(const QByteArray &frame)
{
    QList<QByteArray> records;
    TableMetadata read;
    if (!RecordFrame::split(frame, TableMetadata::Size, records) || records.size() != 1 ||
        !TableMetadata::fromBytes(records.first(), read))
        return fail(RecordLengthError);
    m_readMetadata = read;
    // Records are read with the length the reader holds them in; a reader
    // that never got tables reports none, and the table keeps its own.
    if (read.iddLength >= MinIddLength && read.iddLength <= MaxIddLength)
        m_iddLength = read.iddLength;
    return Ok;
}

qint32 ReaderAccessTables::readTimezoneFrame(const QByteArray &frame)
{
    QList<QByteArray> records;
    if (!RecordFrame::split(frame, TimezoneRecord::Size, records) ||
        m_timezones.size() + records.size() > MaxTimezones)
        return fail(RecordLengthError);
    for (const QByteArray &bytes : qAsConst(records)) {
        TimezoneRecord record;
        TimezoneRecord::fromBytes(bytes, record);
        m_timezones << record;
    }
    return Ok;
}

qint32 ReaderAccessTables::readHolidayFrame(const QByteArray &frame)
{
    QList<QByteArray> records;
    if (!RecordFrame::split(frame, HolidayRecord::Size, records) ||
        m_holidays.size() + records.size() > MaxHolidays)
        return fail(RecordLengthError);
    for (const QByteArray &bytes : qAsConst(records)) {
        HolidayRecord record;
        HolidayRecord::fromBytes(bytes, record);
        m_holidays << record;
    }
    return Ok;
}

qint32 ReaderAccessTables::readAccessFrame(const QByteArray &frame)
{
    QList<QByteArray> records;
    if (m_iddLength < MinIddLength || m_iddLength > MaxIddLength ||
        !RecordFrame::split(frame, m_iddLength + AccessRecord::ExtraSize, records) ||
        m_access.size() + records.size() > MaxAccessRecords)
        return fail(RecordLengthError);
    for (const QByteArray &bytes : qAsConst(records)) {
        AccessRecord record;
        AccessRecord::fromBytes(bytes, m_iddLength, record);
        if (!m_access.contains(record.key()))
            m_access.insert(record.key(), record);
    }
    return Ok;
}

TableMetadata ReaderAccessTables::metadata() const
{
    TableMetadata metadata;
    metadata.tableVersion = 0;
    metadata.timezoneEntries = quint8(m_timezones.size());
    metadata.holidayEntries = quint8(m_holidays.size());
    metadata.accessEntries = quint16(m_access.size());
    metadata.iddLength = quint8(m_iddLength);
    metadata.iddFormat = quint8(m_iddFormat);
    return metadata;
}

bool ReaderAccessTables::metadataWritable() const
{
    return m_timezones.size() <= MaxTimezones && m_iddLength >= MinIddLength &&
           m_iddLength <= MaxIddLength && m_iddFormat >= 1 && m_iddFormat <= 3;
}

QString ReaderAccessTables::timezoneDump() const
{
    QString text = QStringLiteral("Timezone-Table:");
    for (int i = 0; i < m_timezones.size(); ++i) {
        const TimezoneRecord &r = m_timezones.at(i);
        text += QStringLiteral("\r\n  %1: days=0x%2 %3:%4...%5:%6")
                    .arg(QString::number(i), QString::fromLatin1(hex2(r.days)), dec2(r.startHour),
                         dec2(r.startMinute), dec2(r.endHour), dec2(r.endMinute));
    }
    return text;
}

QString ReaderAccessTables::holidayDump() const
{
    QString text = QStringLiteral("Holiday-Table:");
    for (const HolidayRecord &r : m_holidays) {
        text +=
            QStringLiteral("\r\n  y=%1 m=%2 d=%3").arg(dec2(r.year), dec2(r.month), dec2(r.day));
    }
    return text;
}

QString ReaderAccessTables::accessDump() const
{
    QString text = QStringLiteral("Access-Table:");
    for (auto it = m_access.constBegin(); it != m_access.constEnd(); ++it) {
        text += QStringLiteral("\r\n  idd=%1 flg=0x%2")
                    .arg(it.key(), QString::fromLatin1(hex4(it.value().flags)));
    }
    return text;
}

QByteArray ReaderAccessTables::fileContent() const
{
    const TableMetadata meta = metadata();
    QByteArray out;
    out.reserve(256 + m_access.size() * (2 * m_iddLength + 9));
    out += "Metadaten\n"
           "TableVersion,TimezoneEntries,HolidayEntries,AccessEntries,IDD-Length,IDD-Format,RFU\n";
    out += hex4(meta.tableVersion) + ',' + hex2(meta.timezoneEntries) + ',' +
           hex2(meta.holidayEntries) + ',' + hex4(meta.accessEntries) + ',' + hex2(meta.iddLength) +
           ',' + hex2(meta.iddFormat) + ",0000000000000000\n\n";

    out += "TimezoneTable\n"
           "StartDay,StartMonth,StartYear,EndDay,EndMonth,EndYear,Days,StartHour,StartMinute,"
           "EndHour,EndMinute\n";
    for (const TimezoneRecord &r : m_timezones) {
        const QByteArray bytes = r.toBytes();
        for (int i = 0; i < bytes.size(); ++i) {
            if (i)
                out += ',';
            out += hex2(quint8(bytes.at(i)));
        }
        out += '\n';
    }
    out += '\n';

    out += "HolydayTable\nDay,Month,Year\n";
    for (const HolidayRecord &r : m_holidays)
        out += hex2(r.day) + ',' + hex2(r.month) + ',' + hex2(r.year) + '\n';
    out += '\n';

    out += "AccessTable\nIDD,Timezones,Reserved\n";
    for (auto it = m_access.constBegin(); it != m_access.constEnd(); ++it)
        out += it.key().toLatin1() + ',' + hex4(it.value().flags) + ",00\n";
    out += '\n';
    return out;
}

qint32 ReaderAccessTables::writeFile(const QString &path, const FileWriter::Anchor &anchor)
{
    // Written beside the target and renamed over it at the end, so a failed
    // write never leaves a half table for a reader to pick up.
    if (!metadataWritable())
        return fail(MetadataError);
    if (!FileWriter::replaceFile(path, fileContent(), anchor))
        return fail(FileError);
    return Ok;
}

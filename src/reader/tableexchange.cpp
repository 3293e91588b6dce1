#include "reader/tableexchange.h"

#include <kxrdr.h>

namespace {

quint16 be16(const QByteArray &bytes, int at)
{
    return quint16((quint8(bytes.at(at)) << 8) | quint8(bytes.at(at + 1)));
}

QByteArray be16Bytes(quint16 value)
{
    QByteArray b;
    b.append(char(value >> 8));
    b.append(char(value & 0xFF));
    return b;
}

// A reader that keeps answering "more" without progress must not hold the
// command forever.
constexpr int MaxReads = 100000;
// More events than a reader's list can hold (its index is 16 bits): a reader
// that keeps answering "more events follow" beyond that is faulty.
constexpr int MaxEvents = 0xFFFF;

} // namespace

void TableExchange::bind(int readerHandle)
{
    if (readerHandle < 0) {
        m_exchange = nullptr;
        return;
    }
    m_exchange = [readerHandle](quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
                                QByteArray *answer) {
        QByteArray buffer(KXRDR_EXCHANGE_SIZE, '\0');
        int length = 0;
        const int rc = KXRDR_0x1F_TZDataExchange(
            readerHandle, 255, mode, flags, table,
            reinterpret_cast<const unsigned char *>(request.constData()), request.size(),
            reinterpret_cast<unsigned char *>(buffer.data()), &length, 0);
        answer->clear();
        if (rc >= 0 && length > 0)
            *answer = buffer.left(qMin(length, int(KXRDR_EXCHANGE_SIZE)));
        return rc;
    };
}

quint16 TableExchange::crc16(const QByteArray &bytes, quint16 start)
{
    quint16 crc = start;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0x1021) : quint16(crc >> 1);
    }
    return crc;
}

int TableExchange::call(quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
                        QByteArray *answer)
{
    answer->clear();
    if (!m_exchange)
        return KXRDR_ERR_UNKNOWN_HANDLE;
    return m_exchange(mode, flags, table, request, answer);
}

int TableExchange::fail(qint32 code)
{
    m_lastCode = code;
    return code;
}

int TableExchange::writeTables(const ReaderAccessTables &tables)
{
    m_lastCode = 0;
    for (quint16 &c : m_crc)
        c = 0xFFFF;
    for (QList<int> &counts : m_frameCounts)
        counts.clear();
    if (!tables.metadataWritable())
        return fail(ReaderAccessTables::MetadataError);
    const QByteArray metadata = tables.metadata().toBytes();
    QByteArray answer;
    int rc = call(1, 0, Metadata, metadata, &answer);
    if (rc != 0)
        return rc;
    if (answer.size() < 4)
        return fail(ReaderAccessTables::RecordLengthError);
    m_maxFrameLength = be16(answer, 0);
    m_crc[0] = crc16(metadata);
    // A frame never outgrows the request buffer, whatever the reader announces.
    const int limit = qMin(m_maxFrameLength, int(KXRDR_EXCHANGE_SIZE) - 16);

    QList<QByteArray> records;
    for (const TimezoneRecord &r : tables.timezones())
        records << r.toBytes();
    m_maxFrameLength = limit;
    if ((rc = sendTable(Timezones, TimezoneRecord::Size, records)) != 0)
        return rc;
    records.clear();
    for (const HolidayRecord &r : tables.holidays())
        records << r.toBytes();
    if ((rc = sendTable(Holidays, HolidayRecord::Size, records)) != 0)
        return rc;
    records.clear();
    for (const AccessRecord &r : tables.accessRecords())
        records << r.toBytes();
    if ((rc = sendTable(Access, tables.iddLength() + AccessRecord::ExtraSize, records)) != 0)
        return rc;

    QByteArray finish;
    for (quint16 c : m_crc)
        finish += be16Bytes(c);
    return call(2, 0, 0, finish, &answer);
}

int TableExchange::sendTable(quint8 table, int recordSize, const QList<QByteArray> &records)
{
    const int index = table - Timezones + 1;
    QByteArray body;
    int count = 0;
    QByteArray answer;
    const auto send = [&](quint8 flags) {
        const int rc = call(3, flags, table, RecordFrame::head(count, recordSize) + body, &answer);
        if (rc != 0)
            return rc;
        m_crc[index] = crc16(body, m_crc[index]);
        m_frameCounts[table - Timezones] << count;
        body.clear();
        count = 0;
        return 0;
    };
    for (const QByteArray &record : records) {
        body += record;
        ++count;
        if (RecordFrame::HeadSize + body.size() + recordSize + FrameReserve > m_maxFrameLength) {
            if (const int rc = send(0x80))
                return rc;
        }
    }
    return send(0);
}

int TableExchange::readTable(quint8 table, const std::function<qint32(const QByteArray &)> &take)
{
    int index = 0;
    QByteArray answer;
    for (int reads = 0; reads < MaxReads; ++reads) {
        const int rc = call(5, 0, table, be16Bytes(quint16(index)), &answer);
        if (rc == NoData)
            return 0;
        if (rc != 0 && rc != MoreData)
            return rc;
        if (answer.size() < RecordFrame::HeadSize || take(answer) != 0)
            return fail(ReaderAccessTables::RecordLengthError);
        const int count = be16(answer, 0);
        if (rc == 0)
            return 0;
        if (count == 0 || index + count > 0xFFFF)
            return fail(ReaderAccessTables::RecordLengthError);
        index += count;
    }
    return fail(ReaderAccessTables::RecordLengthError);
}

int TableExchange::readMetadata(ReaderAccessTables &tables)
{
    m_lastCode = 0;
    QByteArray answer;
    const int rc = call(5, 0, Metadata, be16Bytes(0), &answer);
    if (rc == NoData)
        return 0;
    if (rc != 0)
        return rc;
    if (answer.size() != RecordFrame::HeadSize + TableMetadata::Size || answer.at(0) != 0 ||
        answer.at(1) != 1 || answer.at(2) != TableMetadata::Size ||
        tables.readMetadataFrame(answer) != 0)
        return fail(ReaderAccessTables::RecordLengthError);
    return 0;
}

int TableExchange::readTables(ReaderAccessTables &tables)
{
    int rc = readMetadata(tables);
    if (rc != 0)
        return rc;
    if ((rc = readTable(Timezones, [&tables](const QByteArray &frame) {
             return tables.readTimezoneFrame(frame);
         })) != 0)
        return rc;
    if ((rc = readTable(Holidays, [&tables](const QByteArray &frame) {
             return tables.readHolidayFrame(frame);
         })) != 0)
        return rc;
    return readTable(Access, [&tables](const QByteArray &frame) {
        if (frame.size() >= RecordFrame::HeadSize &&
            (quint8(frame.at(2)) > ReaderAccessTables::IddBufferSize ||
             quint8(frame.at(2)) != tables.iddLength() + AccessRecord::ExtraSize))
            return qint32(ReaderAccessTables::RecordLengthError);
        return tables.readAccessFrame(frame);
    });
}

int TableExchange::readEvents(QList<ReaderEvent> &events)
{
    m_lastCode = 0;
    QByteArray answer;
    const QByteArray request("\x00\xE6", 2);
    for (int reads = 0; reads < MaxReads; ++reads) {
        const int rc = call(5, 0, Events, request, &answer);
        if (rc == NoData)
            return 0;
        if (rc != 0 && rc != MoreData && rc != MoreEvents)
            return rc;
        const int before = events.size();
        if (!parseEvents(answer, events, m_zone))
            return fail(ReaderAccessTables::RecordLengthError);
        if (rc == 0)
            return 0;
        if (events.size() == before || events.size() > MaxEvents)
            return fail(ReaderAccessTables::RecordLengthError);
    }
    return fail(ReaderAccessTables::RecordLengthError);
}

bool TableExchange::parseEvents(const QByteArray &answer, QList<ReaderEvent> &events,
                                const QTimeZone &zone)
{
    if (answer.size() < 3)
        return false;
    const quint8 flags = quint8(answer.at(0));
    const int count = be16(answer, 1);
    int pos = 3;
    const auto have = [&](int n) { return pos + n <= answer.size(); };
    const auto at = [&](int i) { return quint8(answer.at(pos + i)); };
    QList<ReaderEvent> parsed;
    for (int i = 0; i < count; ++i) {
        ReaderEvent e;
        if (!have(3))
            return false;
        pos += 3;
        if (flags & 0x01) {
            if (!have(1))
                return false;
            const int length = at(0);
            ++pos;
            if (length > ReaderAccessTables::MaxIddLength || !have(length))
                return false;
            e.idd = QString::fromLatin1(answer.mid(pos, length).toHex().toUpper());
            pos += length;
        }
        if (flags & 0x02) {
            if (!have(6))
                return false;
            const QDate date(2000 + at(2), at(1), at(0));
            const QTime time(at(3), at(4), at(5));
            if (date.isValid() && time.isValid()) {
                // The reader's wall clock as it reads; a time the zone skips
                // (a clock not yet put forward) keeps it at the standard offset.
                e.dateTime = QDateTime(date, time, zone);
                if (e.dateTime.date() != date || e.dateTime.time() != time)
                    e.dateTime = QDateTime(date, time, Qt::OffsetFromUTC,
                                           zone.standardTimeOffset(QDateTime(date, time, Qt::UTC)));
            }
            pos += 6;
        }
        if (flags & 0x04) {
            if (!have(3))
                return false;
            e.granted = at(0) & 0x01;
            e.errorNumber = quint16((at(1) << 8) | at(2));
            pos += 3;
        }
        if (flags & 0x08) {
            if (!have(1))
                return false;
            e.inputState = quint8(at(0) | 0x80);
            ++pos;
        }
        if (flags & 0x10) {
            if (!have(1))
                return false;
            e.antenna = at(0);
            ++pos;
        }
        parsed << e;
    }
    if (pos != answer.size())
        return false;
    events << parsed;
    return true;
}

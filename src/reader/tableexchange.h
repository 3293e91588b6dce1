#pragma once

#include "access/accesscsvfiles.h"
#include "access/readeraccesstables.h"

#include <QByteArray>
#include <QList>
#include <QTimeZone>
#include <QtGlobal>

#include <functional>

// Moves access tables and events between the program and an access reader
// through the data exchange command: the metadata, the tables cut into
// frames no longer than the reader allows, the CRCs of the finish request,
// and the reads of tables and events with their length checks.
//
// Every operation returns 0, the reader status or library error of the call
// that failed, or a table code (-1000 unexpected answer, -1001 metadata not
// writable), which lastCode() then also holds.
class TableExchange
{
public:
    using Exchange = std::function<int(quint8 mode, quint8 flags, quint8 table,
                                       const QByteArray &request, QByteArray *answer)>;
    enum Table : quint8 { Metadata = 1, Timezones = 2, Holidays = 3, Access = 4, Events = 5 };
    static constexpr int NoData = 146;
    static constexpr int MoreEvents = 147;
    static constexpr int MoreData = 148;
    // What a frame may add beyond its records before the maximum length counts.
    static constexpr int FrameReserve = 15;

    TableExchange() = default;
    explicit TableExchange(Exchange exchange) : m_exchange(std::move(exchange)) {}

    // Talks to the reader of a reader handle (bus address 255), or to nobody
    // with a negative handle.
    void bind(int readerHandle);
    void setExchange(Exchange exchange) { m_exchange = std::move(exchange); }

    // CRC-16: 0x1021 fed back into a right-shifting register.
    static quint16 crc16(const QByteArray &bytes, quint16 start = 0xFFFF);

    int writeTables(const ReaderAccessTables &tables);
    // Metadata, timezones, holidays and access records, appended to tables.
    int readTables(ReaderAccessTables &tables);
    int readMetadata(ReaderAccessTables &tables);
    int readEvents(QList<ReaderEvent> &events);
    // The zone of the reader's clock (the site's), for the events' times.
    void setTimeZone(const QTimeZone &zone) { m_zone = zone; }

    qint32 lastCode() const { return m_lastCode; }
    int maxFrameLength() const { return m_maxFrameLength; }
    // CRCs of the last write: metadata, timezones, holidays, access.
    quint16 crc(int index) const { return m_crc[index]; }
    // Records per frame of the last write, per table 2..4.
    QList<int> frameCounts(int table) const { return m_frameCounts[table - Timezones]; }

    // One event answer: flags, count, events. False on anything that does not fit.
    static bool parseEvents(const QByteArray &answer, QList<ReaderEvent> &events,
                            const QTimeZone &zone = QTimeZone::systemTimeZone());

private:
    int call(quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
             QByteArray *answer);
    int fail(qint32 code);
    int sendTable(quint8 table, int recordSize, const QList<QByteArray> &records);
    int readTable(quint8 table, const std::function<qint32(const QByteArray &)> &take);

    Exchange m_exchange;
    qint32 m_lastCode = 0;
    QTimeZone m_zone = QTimeZone::systemTimeZone();
    int m_maxFrameLength = 0;
    quint16 m_crc[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    QList<int> m_frameCounts[3];
};

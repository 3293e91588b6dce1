#include "functions/libraryreader.h"

#include "access/accessdataset.h"
#include "app/logfile.h"
#include "app/paths.h"
#include "functions/flashdrive.h"

#include "kxrdr.h"
#include "kxtcp.h"
#include "kxusb.h"

#include <QDateTime>
#include <QDir>

#include <vector>

namespace {

constexpr quint8 BusAddress = 255;
constexpr int UsbHandleBit = 0x10000000;
constexpr int TcpHandleBit = 0x20000000;
constexpr int NoData = 146;
constexpr int MoreEvents = 147;
constexpr int MoreData = 148;

QString text(const char *buffer)
{
    return QString::fromLocal8Bit(buffer);
}

QByteArray word(int value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = char((value >> 8) & 0xFF);
    bytes[1] = char(value & 0xFF);
    return bytes;
}

int iddLengthOf(const ProjectParameters &project, int readerType)
{
    return AccessDataSet::iddLengthFor(readerType, project.hfIddLength, project.uhfIddLength);
}

} // namespace

LibraryReader::LibraryReader(const ProjectParameters &project) : m_project(project) {}

LibraryReader::~LibraryReader()
{
    close();
}

quint16 LibraryReader::crc16(const QByteArray &bytes, quint16 start)
{
    quint16 crc = start;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0x1021) : quint16(crc >> 1);
    }
    return crc;
}

void LibraryReader::startLog(const QString &logKey)
{
    const QString folder = entryLogPath(m_project.projectPath, logKey);
    QDir().mkpath(folder);
    m_logPath = QDir::toNativeSeparators(folder + QLatin1Char('/') + dailyLogFileName());
}

void LibraryReader::logLine(const QString &line)
{
    if (!m_logPath.isEmpty())
        LogFile::appendLine(m_logPath, line);
}

ReaderOutcome LibraryReader::collectError()
{
    char buffer[KXRDR_TEXT_SIZE] = {};
    int code = 0;
    KXRDR_GetLastError(m_readerHandle, &code, buffer);
    if (code < 0)
        return ReaderOutcome::failure(code, text(buffer));
    buffer[0] = 0;
    const int status = KXRDR_GetLastState(m_readerHandle, buffer);
    ReaderOutcome outcome;
    outcome.error = ErrorInfo(status, status > 0 ? text(buffer) : QString());
    return outcome;
}

ReaderOutcome LibraryReader::outcomeOf(int rc)
{
    if (rc == 0)
        return ReaderOutcome();
    ReaderOutcome outcome = collectError();
    // A status the library reports only as the call's result still fails the command.
    if (outcome.ok())
        outcome.error = ErrorInfo(rc, QString());
    return outcome;
}

bool LibraryReader::open(const ReaderConnection &connection)
{
    m_outcome = ReaderOutcome();
    startLog(connection.logKey);
    const QByteArray timeout = QByteArray::number(connection.timeoutMs);
    char buffer[KXRDR_TEXT_SIZE] = {};
    switch (connection.kind()) {
    case ReaderConnection::UsbCable:
        KXUSB_Scan(15, 0);
        m_portHandle = KXUSB_OpenDevice(connection.deviceId);
        if (m_portHandle < 0) {
            KXUSB_GetErrorText(m_portHandle, buffer);
            m_outcome = ReaderOutcome::failure(m_portHandle, text(buffer), true);
            m_portHandle = -1;
            return false;
        }
        KXUSB_SetDevicePara(m_portHandle, "TIMEOUT", timeout.constData());
        break;
    case ReaderConnection::Tcp:
        m_portHandle = KXTCP_Connect(connection.host.toLatin1().constData(), connection.tcpPort());
        if (m_portHandle < 0) {
            KXTCP_GetErrorText(m_portHandle, buffer);
            m_outcome = ReaderOutcome::failure(m_portHandle, text(buffer), true);
            m_portHandle = -1;
            return false;
        }
        KXTCP_SetSocketPara(m_portHandle, "TIMEOUT", timeout.constData());
        break;
    default:
        m_portHandle = -1;
        m_outcome = ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                           QStringLiteral("Unsupported function"), true);
        return false;
    }
    m_readerHandle = KXRDR_NewReader(m_portHandle);
    if (m_readerHandle < 0) {
        m_outcome = collectError();
        m_outcome.connectFailed = true;
        close();
        return false;
    }
    KXRDR_SetReaderPara(m_readerHandle, "LOGFILENAME", m_logPath.toLocal8Bit().constData());
    KXRDR_SetReaderPara(m_readerHandle, "LOGFILE", "1");
    KXRDR_SetReaderPara(m_readerHandle, "FRAMESUPPORT", "ADVANCED");
    return true;
}

void LibraryReader::close()
{
    if (m_portHandle >= 0) {
        if (m_portHandle & UsbHandleBit)
            KXUSB_CloseDevice(m_portHandle);
        else if (m_portHandle & TcpHandleBit)
            KXTCP_DisConnect(m_portHandle);
        m_portHandle = -1;
    }
    if (m_readerHandle >= 0) {
        KXRDR_DeleteReader(m_readerHandle);
        m_readerHandle = -1;
    }
}

int LibraryReader::exchange(quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
                            QByteArray &answer)
{
    std::vector<unsigned char> response(KXRDR_EXCHANGE_SIZE);
    int length = 0;
    const int rc =
        KXRDR_0x1F_TZDataExchange(m_readerHandle, BusAddress, mode, flags, table,
                                  reinterpret_cast<const unsigned char *>(request.constData()),
                                  request.size(), response.data(), &length, 0);
    answer = QByteArray(reinterpret_cast<const char *>(response.data()),
                        qBound(0, length, KXRDR_EXCHANGE_SIZE));
    return rc;
}

int LibraryReader::setClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return KXRDR_0x87_SetSystemDate(
        m_readerHandle, BusAddress, quint8(date.year() / 100), quint8(date.year() % 100),
        quint8(date.month()), quint8(date.day()), 0, quint8(time.hour()), quint8(time.minute()),
        unsigned(time.second() * 1000 + time.msec()));
}

int LibraryReader::sendTables(const ReaderAccessTables &tables)
{
    if (!tables.metadataWritable())
        return ReaderAccessTables::MetadataError;
    const QByteArray metadata = tables.metadata().toBytes();
    QByteArray answer;
    int rc = exchange(1, 0, 1, metadata, answer);
    if (rc != 0)
        return rc;
    if (answer.size() < 4)
        return ReaderAccessTables::RecordLengthError;
    const int maxFrame = (quint8(answer[0]) << 8) | quint8(answer[1]);

    QList<QByteArray> records[3];
    for (const TimezoneRecord &record : tables.timezones())
        records[0] << record.toBytes();
    for (const HolidayRecord &record : tables.holidays())
        records[1] << record.toBytes();
    for (const AccessRecord &record : tables.accessRecords())
        records[2] << record.toBytes();
    const int sizes[3] = {TimezoneRecord::Size, HolidayRecord::Size,
                          tables.iddLength() + AccessRecord::ExtraSize};
    QByteArray finish = word(crc16(metadata));
    for (int k = 0; k < 3; ++k) {
        quint16 crc = 0xFFFF;
        QByteArray body;
        int count = 0;
        const auto send = [&](quint8 flags) {
            crc = crc16(body, crc);
            const int result = exchange(3, flags, quint8(k + 2),
                                        RecordFrame::head(count, sizes[k]) + body, answer);
            body.clear();
            count = 0;
            return result;
        };
        for (const QByteArray &record : qAsConst(records[k])) {
            body += record;
            ++count;
            if (RecordFrame::HeadSize + body.size() + sizes[k] + 15 > maxFrame) {
                rc = send(0x80);
                if (rc != 0)
                    return rc;
            }
        }
        rc = send(0);
        if (rc != 0)
            return rc;
        finish += word(crc);
    }
    return exchange(2, 0, 0, finish, answer);
}

int LibraryReader::readTable(quint8 table, ReaderAccessTables &tables)
{
    int index = 0;
    for (;;) {
        QByteArray answer;
        const int rc = exchange(5, 0, table, word(index), answer);
        if (rc == NoData)
            return 0;
        if (rc != 0 && rc != MoreData)
            return rc;
        if (answer.size() < RecordFrame::HeadSize)
            return ReaderAccessTables::RecordLengthError;
        qint32 code = 0;
        switch (table) {
        case 1:
            code = tables.readMetadataFrame(answer);
            break;
        case 2:
            code = tables.readTimezoneFrame(answer);
            break;
        case 3:
            code = tables.readHolidayFrame(answer);
            break;
        default:
            code = tables.readAccessFrame(answer);
            break;
        }
        if (code != 0)
            return code;
        const int count = (quint8(answer[0]) << 8) | quint8(answer[1]);
        if (rc != MoreData || count == 0)
            return 0;
        index += count;
    }
}

ReaderOutcome LibraryReader::updateAccess(const ReaderConnection &connection, int readerType,
                                          const AccessDataSet &dataSet)
{
    if (!open(connection))
        return m_outcome;
    ReaderAccessTables tables;
    ReaderOutcome outcome;
    qint32 code = tables.setIddLength(iddLengthOf(m_project, readerType));
    logLine(QStringLiteral("*** Update Access Configuration ***"));
    if (code != 0) {
        outcome.error = tables.lastError();
    } else if (const int rc = setClock(); rc != 0) {
        outcome = outcomeOf(rc);
    } else if ((code = tables.fill(dataSet, iddLengthOf(m_project, readerType))) != 0) {
        logLine(tables.failedItem());
        outcome.error = tables.lastError();
    } else {
        logLine(tables.timezoneDump());
        logLine(tables.holidayDump());
        logLine(tables.accessDump());
        const int rc = sendTables(tables);
        if (rc < -999 && rc > -1010)
            outcome.error = ErrorInfo(rc, QString());
        else
            outcome = outcomeOf(rc);
    }
    close();
    return outcome;
}

ReaderOutcome LibraryReader::saveAccessConfiguration(const QString &path, const QString &logKey,
                                                     int readerType, const AccessDataSet &dataSet)
{
    startLog(logKey);
    ReaderAccessTables tables;
    tables.setIddLength(iddLengthOf(m_project, readerType));
    logLine(QStringLiteral("*** Save Access Configuration ***"));
    ReaderOutcome outcome;
    if (tables.fill(dataSet, iddLengthOf(m_project, readerType)) != 0) {
        logLine(tables.failedItem());
        outcome.error = tables.lastError();
        return outcome;
    }
    logLine(tables.timezoneDump());
    logLine(tables.holidayDump());
    logLine(tables.accessDump());
    // An empty path (no drive) must fail, not write beside the program.
    if (path.isEmpty() || tables.writeFile(path) != 0) {
        outcome.error = ErrorInfo(ReaderAccessTables::FileError, QString());
        logLine(QStringLiteral("Write file '%1': error %2").arg(path).arg(outcome.error.code));
    }
    return outcome;
}

ReaderOutcome LibraryReader::readAccess(const ReaderConnection &connection, int readerType,
                                        ReaderReadBack &readBack)
{
    if (!open(connection))
        return m_outcome;
    ReaderAccessTables tables;
    tables.setIddLength(iddLengthOf(m_project, readerType));
    logLine(QStringLiteral("*** Read Access Configuration ***"));
    int rc = 0;
    for (quint8 table = 1; table <= 4 && rc == 0; ++table)
        rc = readTable(table, tables);
    ReaderOutcome outcome;
    if (rc < -999 && rc > -1010) {
        outcome.error = ErrorInfo(rc, QString());
    } else if (rc != 0) {
        outcome = outcomeOf(rc);
    } else {
        readBack.periodsByIndex = AccessCsvFiles::periodsByIndex(tables.timezones());
        readBack.holidays.clear();
        for (const HolidayRecord &record : tables.holidays())
            readBack.holidays << record.toDate();
        readBack.access.clear();
        for (const AccessRecord &record : tables.accessRecords()) {
            ReadAccessRecord read;
            read.idd = QString::fromLatin1(record.idd.toHex());
            read.flags = record.flags;
            readBack.access << read;
        }
    }
    close();
    return outcome;
}

bool LibraryReader::parseEvents(const QByteArray &answer, QList<ReaderEvent> &events)
{
    if (answer.size() < 3)
        return answer.isEmpty();
    const auto byte = [&](int i) { return quint8(answer.at(i)); };
    const quint8 flags = byte(0);
    const int count = (byte(1) << 8) | byte(2);
    int at = 3;
    for (int n = 0; n < count; ++n) {
        if (at + 3 > answer.size())
            return false;
        at += 3;
        ReaderEvent event;
        if (flags & 0x01) {
            if (at >= answer.size())
                return false;
            const int length = byte(at++);
            if (length > 64 || at + length > answer.size())
                return false;
            event.idd = QString::fromLatin1(answer.mid(at, length).toHex().toUpper());
            at += length;
        }
        if (flags & 0x02) {
            if (at + 6 > answer.size())
                return false;
            const QDate date(2000 + byte(at + 2), byte(at + 1), byte(at));
            const QTime time(byte(at + 3), byte(at + 4), byte(at + 5));
            event.dateTime = QDateTime(date, time);
            at += 6;
        }
        if (flags & 0x04) {
            if (at + 3 > answer.size())
                return false;
            event.granted = byte(at) & 0x01;
            event.errorNumber = quint16((byte(at + 1) << 8) | byte(at + 2));
            at += 3;
        }
        if (flags & 0x08) {
            if (at >= answer.size())
                return false;
            event.inputState = quint8(byte(at++) | 0x80);
        }
        if (flags & 0x10) {
            if (at >= answer.size())
                return false;
            event.antenna = byte(at++);
        }
        events << event;
    }
    return true;
}

ReaderOutcome LibraryReader::readEvents(const ReaderConnection &connection, int readerType,
                                        ReaderReadBack &readBack)
{
    if (!open(connection))
        return m_outcome;
    ReaderAccessTables tables;
    tables.setIddLength(iddLengthOf(m_project, readerType));
    logLine(QStringLiteral("*** Read Event Table ***"));
    readBack.events.clear();
    int rc = readTable(1, tables);
    QList<ReaderEvent> events;
    while (rc == 0) {
        QByteArray answer;
        const QByteArray request("\x00\xE6", 2);
        const int result = exchange(5, 0, 5, request, answer);
        if (result == NoData)
            break;
        if (result != 0 && result != MoreData && result != MoreEvents) {
            rc = result;
            break;
        }
        if (!parseEvents(answer, events)) {
            rc = ReaderAccessTables::RecordLengthError;
            break;
        }
        if (result == 0)
            break;
    }
    ReaderOutcome outcome;
    if (rc < -999 && rc > -1010)
        outcome.error = ErrorInfo(rc, QString());
    else if (rc != 0)
        outcome = outcomeOf(rc);
    else
        readBack.events = events;
    close();
    return outcome;
}

ReaderOutcome LibraryReader::setDateTime(const ReaderConnection &connection)
{
    if (!open(connection))
        return m_outcome;
    logLine(QStringLiteral("*** Set Date and Time ***"));
    const ReaderOutcome outcome = outcomeOf(setClock());
    close();
    return outcome;
}

ReaderOutcome LibraryReader::writeConfiguration(const ReaderConnection &connection, int readerType,
                                                const QString &readerConfig,
                                                const FlashDrive &drive)
{
    Q_UNUSED(connection)
    Q_UNUSED(readerType)
    Q_UNUSED(readerConfig)
    Q_UNUSED(drive)
    // The configuration blocks are the reader objects' business; until they
    // serve the function threads this command is not available here.
    return ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                  QStringLiteral("Unsupported function"));
}

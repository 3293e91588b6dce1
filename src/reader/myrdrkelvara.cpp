#include "reader/myrdrkelvara.h"

#include "reader/readertypes.h"

#include <kxrdr.h>

#include <QCoreApplication>

MyRdrKelvara::MyRdrKelvara(const ReaderSettings &settings, int readerType, QObject *parent)
    : MyRdr(settings, parent), m_readerType(readerType)
{
    m_exchange.setTimeZone(settings.project.siteZone());
}

void MyRdrKelvara::runUpdateAccessConfiguration(const ReaderConnection &connection,
                                                const AccessDataSet &accessData)
{
    m_accessData = accessData;
    run(UpdateAccessConfiguration, connection);
}

bool MyRdrKelvara::runClassCommand(int command)
{
    switch (command) {
    case UpdateAccessConfiguration:
        updateAccessConfiguration();
        return true;
    case ReadAccessConfiguration:
        readAccessConfiguration();
        return true;
    case ReadEventTable:
        readEventTable();
        return true;
    default:
        return false;
    }
}

bool MyRdrKelvara::prepareTables()
{
    m_tables.reset();
    const ProjectParameters &p = m_settings.project;
    const int length = AccessDataSet::iddLengthFor(m_readerType, p.hfIddLength, p.uhfIddLength);
    // Reader types without access tables have length 0, which the table refuses.
    if (m_tables.setIddLength(length) != 0) {
        setError(m_tables.lastCode(), ReaderAccessTables::codeText(m_tables.lastCode()));
        return false;
    }
    return true;
}

void MyRdrKelvara::takeExchangeError(int rc)
{
    if (m_exchange.lastCode() != 0) {
        setError(m_exchange.lastCode(), ReaderAccessTables::codeText(m_exchange.lastCode()));
        return;
    }
    collectError();
    if (m_errorCode == 0)
        setError(rc, QString());
}

bool MyRdrKelvara::fillTables()
{
    const ProjectParameters &p = m_settings.project;
    const int length = AccessDataSet::iddLengthFor(m_readerType, p.hfIddLength, p.uhfIddLength);
    if (m_tables.fill(m_accessData, length) != 0) {
        setError(m_tables.lastCode(), ReaderAccessTables::codeText(m_tables.lastCode()));
        log(describeError(m_tables.failedItem()));
        return false;
    }
    return true;
}

void MyRdrKelvara::logDumps()
{
    log(m_tables.timezoneDump());
    log(m_tables.holidayDump());
    log(m_tables.accessDump());
}

bool MyRdrKelvara::diagnostic()
{
    log(QStringLiteral("Reader Diagnostic:"));
    unsigned char data[KXRDR_DIAG_SIZE] = {0};
    const quint8 mode = m_readerType == ReaderTypes::TZ60 ? 6 : 255;
    KXRDR_0x6E_RdDiag(m_readerHandle, BusAddress, mode, data);
    if (!collectOk())
        return false;
    log(QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(data), 9).toHex(' ')));
    return true;
}

void MyRdrKelvara::updateAccessConfiguration()
{
    if (!openConnection())
        return;
    m_exchange.bind(m_readerHandle);
    log(QStringLiteral("*** Update Access Configuration ***"));
    if (prepareTables() && confirmReader(m_readerType) && setDateTime() && fillTables()) {
        logDumps();
        const int rc = m_exchange.writeTables(m_tables);
        if (rc != 0)
            takeExchangeError(rc);
        else
            diagnostic();
    }
    m_exchange.bind(-1);
    closeConnection();
}

void MyRdrKelvara::readAccessConfiguration()
{
    if (!openConnection())
        return;
    m_exchange.bind(m_readerHandle);
    log(QStringLiteral("*** Read Access Configuration ***"));
    m_periodMap.clear();
    m_holidays.clear();
    m_accessList.clear();
    if (prepareTables() && confirmReader(m_readerType)) {
        const int rc = m_exchange.readTables(m_tables);
        if (rc != 0) {
            takeExchangeError(rc);
        } else if (diagnostic()) {
            const QList<TimezoneRecord> &zones = m_tables.timezones();
            for (int i = 0; i < zones.size(); ++i)
                m_periodMap.insert(zones.at(i).toPeriod().toDefinition(), i);
            for (const HolidayRecord &h : m_tables.holidays())
                m_holidays << h.toDate();
            for (const AccessRecord &a : m_tables.accessRecords()) {
                ReadAccessRecord r;
                r.idd = QString::fromLatin1(a.idd.toHex());
                r.flags = a.flags;
                m_accessList << r;
            }
            logDumps();
        }
    }
    m_exchange.bind(-1);
    closeConnection();
}

void MyRdrKelvara::readEventTable()
{
    if (!openConnection())
        return;
    m_exchange.bind(m_readerHandle);
    log(QStringLiteral("*** Read Event Table ***"));
    m_events.clear();
    if (prepareTables() && confirmReader(m_readerType)) {
        int rc = m_exchange.readMetadata(m_tables);
        QList<ReaderEvent> events;
        if (rc == 0)
            rc = m_exchange.readEvents(events);
        if (rc != 0)
            takeExchangeError(rc);
        else if (diagnostic())
            m_events = events;
    }
    m_exchange.bind(-1);
    closeConnection();
}

bool MyRdrKelvara::saveAccessConfiguration(const QString &filePath, const QString &logKey,
                                           const AccessDataSet &accessData,
                                           const FileWriter::Anchor &anchor)
{
    clearError();
    m_exchange.bind(-1);
    m_connection.logKey = logKey;
    buildLogPath();
    m_accessData = accessData;
    const bool prepared = prepareTables();
    log(QStringLiteral("*** Save Access Configuration ***"));
    if (!prepared || !fillTables())
        return false;
    logDumps();
    if (filePath.isEmpty() || m_tables.writeFile(filePath, anchor) != 0) {
        const qint32 code =
            m_tables.lastCode() != 0 ? m_tables.lastCode() : qint32(ReaderAccessTables::FileError);
        setError(code, ReaderAccessTables::codeText(code));
        log(describeError(QStringLiteral("Write file '%1'").arg(filePath)));
        return false;
    }
    return true;
}

#include "functions/readerobjectsreader.h"

#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "functions/flashdrive.h"
#include "reader/myrdr.h"
#include "reader/myrdrkelvara.h"
#include "reader/readerfactory.h"

namespace {

template<typename Reader> ReaderOutcome outcomeOf(const Reader &reader)
{
    ReaderOutcome outcome;
    outcome.error = reader.result();
    outcome.connectFailed = reader.connectFailed();
    // A connection that could not be made is a failure even without a code.
    if (outcome.connectFailed && outcome.error.ok())
        outcome.error = ErrorInfo(ErrorInfo::ReaderObjectError, QStringLiteral("No connection"));
    return outcome;
}

// An entry without a link (flash drive or no reader) cannot be talked to; the
// reader objects end such a command without an error code, which must not
// pass for success.
bool unreachable(const ReaderConnection &connection, ReaderOutcome &outcome)
{
    if (connection.kind() != ReaderConnection::NoConnection)
        return false;
    outcome = ReaderOutcome::failure(ErrorInfo::ReaderObjectError,
                                     QStringLiteral("Unsupported function"));
    return true;
}

} // namespace

ReaderObjectsReader::ReaderObjectsReader(const ReaderSettings &settings) : m_settings(settings) {}

ReaderOutcome ReaderObjectsReader::updateAccess(const ReaderConnection &connection, int readerType,
                                                const AccessDataSet &dataSet)
{
    ReaderOutcome refused;
    if (unreachable(connection, refused))
        return refused;
    MyRdrKelvara reader(m_settings, readerType);
    reader.runUpdateAccessConfiguration(connection, dataSet);
    return outcomeOf(reader);
}

ReaderOutcome ReaderObjectsReader::saveAccessConfiguration(const QString &path,
                                                           const FileWriter::Anchor &anchor,
                                                           const QString &logKey, int readerType,
                                                           const AccessDataSet &dataSet)
{
    MyRdrKelvara reader(m_settings, readerType);
    ReaderOutcome outcome;
    // An empty path (no drive ready) must fail, never write beside the program.
    if (path.isEmpty()) {
        outcome.error = ErrorInfo(ReaderAccessTables::FileError, QString());
        return outcome;
    }
    if (!reader.saveAccessConfiguration(path, logKey, dataSet, anchor)) {
        outcome.error = reader.result();
        // A failure is never passed on as success, whatever the object kept.
        if (outcome.error.ok())
            outcome.error = ErrorInfo(ReaderAccessTables::FileError, QString());
    }
    return outcome;
}

ReaderOutcome ReaderObjectsReader::readAccess(const ReaderConnection &connection, int readerType,
                                              ReaderReadBack &readBack)
{
    ReaderOutcome refused;
    if (unreachable(connection, refused))
        return refused;
    MyRdrKelvara reader(m_settings, readerType);
    reader.runReadAccessConfiguration(connection);
    const ReaderOutcome outcome = outcomeOf(reader);
    if (outcome.ok()) {
        // By table position: two tags with the same definition keep their own lines.
        readBack.periodsByIndex = AccessCsvFiles::periodsByIndex(reader.tables().timezones());
        readBack.timezones = reader.tables().timezones();
        readBack.iddLength = reader.tables().readMetadata().iddLength;
        readBack.holidays = reader.holidays();
        readBack.access = reader.accessList();
    }
    return outcome;
}

ReaderOutcome ReaderObjectsReader::readEvents(const ReaderConnection &connection, int readerType,
                                              ReaderReadBack &readBack)
{
    ReaderOutcome refused;
    if (unreachable(connection, refused))
        return refused;
    MyRdrKelvara reader(m_settings, readerType);
    reader.runReadEventTable(connection);
    const ReaderOutcome outcome = outcomeOf(reader);
    if (outcome.ok())
        readBack.events = reader.events();
    return outcome;
}

ReaderOutcome ReaderObjectsReader::setDateTime(const ReaderConnection &connection)
{
    ReaderOutcome refused;
    if (unreachable(connection, refused))
        return refused;
    MyRdr reader(m_settings);
    reader.runSetDateTime(connection);
    return outcomeOf(reader);
}

ReaderOutcome ReaderObjectsReader::writeConfiguration(const ReaderConnection &connection,
                                                      int readerType, const QString &readerConfig,
                                                      const FlashDrive &drive)
{
    ReaderFactory::FlashDrive driveOperations;
    driveOperations.configFilePath = [drive](quint32 deviceId) {
        return drive.configFilePath(deviceId);
    };
    driveOperations.setWriteConfigJob = [drive]() { return drive.setWriteConfigJob(); };
    driveOperations.anchor = drive.anchor();
    ReaderOutcome outcome;
    outcome.error = ReaderFactory::writeAccessConfiguration(
        m_settings, readerType, connection, readerConfig, &outcome.connectFailed, driveOperations);
    if (!outcome.ok() && connection.usesFlashDrive()) {
        const QString refusal = drive.refusal(connection.deviceId, QStringLiteral("CONFIG.INI"));
        if (!refusal.isEmpty())
            outcome.error = ErrorInfo(ErrorInfo::ReaderObjectError, refusal);
    }
    return outcome;
}

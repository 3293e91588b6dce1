#include "reader/readerfactory.h"

#include "reader/myrdraccessreader.h"
#include "reader/myrdrprogrammer.h"
#include "reader/myrdrtz60.h"
#include "reader/myrdrtzu300.h"
#include "reader/myrdrtzu700.h"
#include "reader/readertypes.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>

namespace ReaderFactory {

namespace {

ErrorInfo objectError(const char *text)
{
    return ErrorInfo(ErrorInfo::ReaderObjectError,
                     QCoreApplication::translate("ReaderFactory", text));
}

// The reader object of a programmer reader and its connection, or the error
// why there is none.
ErrorInfo programmerObject(const ReaderSettings &settings, const ProgrammerReader &reader,
                           int command, std::unique_ptr<MyRdr> *object,
                           ReaderConnection *connection)
{
    object->reset(createReader(reader.type, settings));
    if (!*object || command == 0)
        return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "Unsupported reader type"));
    *connection = programmerConnection(reader);
    if (connection->kind() == ReaderConnection::NoConnection)
        return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "Unsupported function"));
    return ErrorInfo();
}

// The command's result; a failed connection never counts as done.
ErrorInfo commandResult(const MyRdr &object, bool *connectFailed)
{
    if (connectFailed)
        *connectFailed = object.connectFailed();
    if (object.connectFailed() && object.result().ok())
        return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "Cannot connect to the reader"));
    return object.result();
}

} // namespace

MyRdr *createReader(int readerType, const ReaderSettings &settings, QObject *parent)
{
    switch (readerType) {
    case ReaderTypes::PQ20:
        return new MyRdrPQ20(settings, parent);
    case ReaderTypes::PQ10:
        return new MyRdrPQ10(settings, parent);
    case ReaderTypes::LRX7:
        return new MyRdrLRX7(settings, parent);
    case ReaderTypes::TZ60:
        return new MyRdrTZ60(settings, parent);
    case ReaderTypes::TZU700:
        return new MyRdrTZU700(settings, parent);
    case ReaderTypes::TZU300:
        return new MyRdrTZU300(settings, parent);
    default:
        return nullptr;
    }
}

int readTagCommand(int readerType)
{
    if (ReaderTypes::isProgrammerReader(readerType))
        return 101;
    if (ReaderTypes::isAccessReader(readerType))
        return 103;
    return 0;
}

int tagReaderConfigurationCommand(int readerType)
{
    if (ReaderTypes::isProgrammerReader(readerType))
        return 100;
    if (ReaderTypes::isAccessReader(readerType))
        return 102;
    return 0;
}

ProgrammerReader parseProgrammerReader(const QString &text)
{
    ProgrammerReader reader;
    const QStringList parts = text.split(QLatin1Char(';'));
    bool ok = false;
    if (!parts.isEmpty()) {
        reader.type = parts.at(0).trimmed().toInt(&ok, 10);
        if (!ok)
            reader.type = 0;
    }
    if (parts.size() > 1) {
        reader.deviceId = parts.at(1).trimmed().toUInt(&ok, 16);
        if (!ok)
            reader.deviceId = 0;
    }
    if (parts.size() > 2) {
        const QString connection = parts.at(2).trimmed();
        // The port follows the last colon, so that an IPv6 host keeps its own.
        const int colon = connection.lastIndexOf(QLatin1Char(':'));
        reader.host = colon < 0 ? connection : connection.left(colon);
        if (reader.host == QLatin1String("..."))
            reader.host.clear();
        if (colon >= 0) {
            const int port = connection.mid(colon + 1).toInt(&ok, 10);
            reader.port = ok && port >= 0 && port < 65536 ? port : 0;
        }
    }
    return reader;
}

ReaderConnection programmerConnection(const ProgrammerReader &reader)
{
    ReaderConnection connection;
    connection.logKey = ReaderTypes::readerTypeName(reader.type);
    connection.deviceId = reader.deviceId;
    connection.host = reader.host;
    // The port word of a programmer reader never selects the flash drive.
    connection.portValue = reader.port & 0xFFFF;
    return connection;
}

bool testProgrammerConnection(const ReaderSettings &settings, const ProgrammerReader &reader,
                              int timeoutMs)
{
    ReaderConnection connection = programmerConnection(reader);
    if (connection.kind() == ReaderConnection::NoConnection)
        return false;
    connection.timeoutMs = timeoutMs;
    // The test is the same for every type; a type without a class of its
    // own is tested through the base class.
    std::unique_ptr<MyRdr> object(createReader(reader.type, settings));
    if (!object)
        object.reset(new MyRdr(settings));
    object->runTestConnection(connection);
    return !object->connectFailed();
}

ErrorInfo readProgrammerFirmware(const ReaderSettings &settings, const ProgrammerReader &reader,
                                 QString *firmware, bool *connectFailed)
{
    if (connectFailed)
        *connectFailed = false;
    firmware->clear();
    std::unique_ptr<MyRdr> object;
    ReaderConnection connection;
    const int command = ReaderTypes::isAccessReader(reader.type) ? MyRdrAccessReader::ReadInfo : 0;
    const ErrorInfo refused = programmerObject(settings, reader, command, &object, &connection);
    if (!refused.ok())
        return refused;
    object->run(command, connection);
    const ErrorInfo result = commandResult(*object, connectFailed);
    if (result.ok())
        *firmware = object->firmwareVersion();
    return result;
}

ErrorInfo writeTagReaderConfiguration(const ReaderSettings &settings,
                                      const ProgrammerReader &reader, bool *connectFailed)
{
    if (connectFailed)
        *connectFailed = false;
    std::unique_ptr<MyRdr> object;
    ReaderConnection connection;
    const int command = tagReaderConfigurationCommand(reader.type);
    const ErrorInfo refused = programmerObject(settings, reader, command, &object, &connection);
    if (!refused.ok())
        return refused;
    object->run(command, connection);
    return commandResult(*object, connectFailed);
}

ErrorInfo writeAccessConfiguration(const ReaderSettings &settings, int readerType,
                                   const ReaderConnection &connection, const QString &settingsText,
                                   bool *connectFailed, const FlashDrive &drive)
{
    if (connectFailed)
        *connectFailed = false;
    if (readerType == ReaderTypes::TZ60 || ReaderTypes::isLongRangeAccessReader(readerType)) {
        if (connection.kind() != ReaderConnection::NoConnection) {
            std::unique_ptr<MyRdr> reader(createReader(readerType, settings));
            reader->run(101, connection, settingsText);
            if (connectFailed)
                *connectFailed = reader->connectFailed();
            return reader->result();
        }
        if (ReaderTypes::isLongRangeAccessReader(readerType) && connection.usesFlashDrive()) {
            const QString path =
                drive.configFilePath ? drive.configFilePath(connection.deviceId) : QString();
            if (path.isEmpty() || !drive.setWriteConfigJob)
                return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "USB-stick access error"));
            std::unique_ptr<MyRdrTZU700> reader(readerType == ReaderTypes::TZU300
                                                    ? new MyRdrTZU300(settings)
                                                    : new MyRdrTZU700(settings));
            if (!reader->saveConfigurationFile(path, connection.logKey, settingsText, drive.anchor))
                return reader->result();
            if (!drive.setWriteConfigJob())
                return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "USB-stick access error"));
            return ErrorInfo();
        }
    }
    return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "Unsupported function"));
}

ErrorInfo readTag(const ReaderSettings &settings, bool longRange, TransponderIdd *transponder,
                  bool *connectFailed)
{
    if (connectFailed)
        *connectFailed = false;
    const ProgrammerReader programmer = parseProgrammerReader(
        longRange ? settings.uhfProgrammerReader : settings.hfProgrammerReader);
    if (programmer.type == 0 || programmer.deviceId == 0)
        return objectError(QT_TRANSLATE_NOOP(
            "ReaderFactory",
            "No reader configured for reading tags.\nPlease check your settings."));
    const int command = readTagCommand(programmer.type);
    std::unique_ptr<MyRdr> reader(createReader(programmer.type, settings));
    if (!reader || command == 0)
        return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "Unsupported reader type"));
    reader->run(command, programmerConnection(programmer));
    if (connectFailed)
        *connectFailed = reader->connectFailed();
    const ErrorInfo result = reader->result();
    if (!result.ok())
        return result;
    if (reader->connectFailed() || reader->transponder().isEmpty())
        return objectError(QT_TRANSLATE_NOOP("ReaderFactory", "No tag error"));
    TransponderIdd idd = reader->transponder();
    idd.extendTo(longRange ? settings.project.uhfIddLength : settings.project.hfIddLength);
    *transponder = idd;
    return ErrorInfo();
}

} // namespace ReaderFactory

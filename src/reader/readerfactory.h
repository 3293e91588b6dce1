#pragma once

#include "core/errorinfo.h"
#include "core/filewriter.h"
#include "db/transponderidd.h"
#include "reader/readerconnection.h"
#include "reader/readersettings.h"

#include <QObject>
#include <QString>

#include <functional>

class MyRdr;

// Creating reader objects by type code, and the operations the views and
// function threads run through them without knowing the classes.
namespace ReaderFactory {

// The class of a reader type, or nullptr for a code the program does not act on.
MyRdr *createReader(int readerType, const ReaderSettings &settings, QObject *parent = nullptr);
// 101 for the desk readers, 103 for the access readers, 0 otherwise.
int readTagCommand(int readerType);
// 100 for the desk readers, 102 for the access readers, 0 otherwise.
int tagReaderConfigurationCommand(int readerType);

// A programmer reader reference "type;device ID;host:port".
struct ProgrammerReader
{
    int type = 0;
    quint32 deviceId = 0;
    QString host;
    int port = 0;
};
ProgrammerReader parseProgrammerReader(const QString &text);
ReaderConnection programmerConnection(const ProgrammerReader &reader);

// Whether the programmer reader answers within timeoutMs (TCP connect, or
// opening it on USB by its device ID). False without a device ID and host.
bool testProgrammerConnection(const ReaderSettings &settings, const ProgrammerReader &reader,
                              int timeoutMs = 1000);

// The firmware version an access reader serving as programmer reader
// reports, read before its tag reader configuration is written. Other types
// give "Unsupported reader type".
ErrorInfo readProgrammerFirmware(const ReaderSettings &settings, const ProgrammerReader &reader,
                                 QString *firmware, bool *connectFailed = nullptr);

// Writes the fixed tag reader configuration to a programmer reader of any
// type that has one; other types give "Unsupported reader type".
ErrorInfo writeTagReaderConfiguration(const ReaderSettings &settings,
                                      const ProgrammerReader &reader,
                                      bool *connectFailed = nullptr);

// The flash-drive operations the configuration writer needs: the path of a
// reader's "CONFIG.INI" (empty when no drive is ready) and setting the job.
struct FlashDrive
{
    std::function<QString(quint32 deviceId)> configFilePath;
    std::function<bool()> setWriteConfigJob;
    // The drive's root as chosen: the file is written only below it.
    FileWriter::Anchor anchor;
};

// Writes an entry's access configuration over its connection, or onto the
// flash drive for the long-range readers that use it.
ErrorInfo writeAccessConfiguration(const ReaderSettings &settings, int readerType,
                                   const ReaderConnection &connection, const QString &settingsText,
                                   bool *connectFailed, const FlashDrive &drive = FlashDrive());

// Reads the transponder lying on the programmer reader of the wanted range
// and widens its identifier to the project's length for that range.
ErrorInfo readTag(const ReaderSettings &settings, bool longRange, TransponderIdd *transponder,
                  bool *connectFailed = nullptr);

} // namespace ReaderFactory

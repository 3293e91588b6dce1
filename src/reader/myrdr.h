#pragma once

#include "core/errorinfo.h"
#include "db/transponderidd.h"
#include "reader/readerconfiguration.h"
#include "reader/readerconnection.h"
#include "reader/readersettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>

// A reader object: runs one command at a time against one reader, on the
// thread that calls it, to its end (every step is bounded by the connection's
// time-out). A function worker calls it on its own thread; the window runs it
// through a ReaderTask and continues when the task reports back. The base
// class opens and closes the connection, keeps the error record and the
// reader log and runs the commands every reader type has; each type adds its
// own from code 100 upward.
class MyRdr : public QObject
{
    Q_OBJECT
public:
    enum CommonCommand { TestConnection = 1, CpuReset = 2, SetDateTime = 3 };
    static constexpr int BusAddress = 255;

    explicit MyRdr(const ReaderSettings &settings, QObject *parent = nullptr);
    ~MyRdr() override;

    // Copies the connection and the payload and runs the command on the
    // calling thread; the results are there when it returns. Ignored while
    // a command runs (an object is used by one thread at a time).
    void run(int command, const ReaderConnection &connection, const QString &payload = QString());
    void runTestConnection(const ReaderConnection &connection);
    void runCpuReset(const ReaderConnection &connection);
    void runSetDateTime(const ReaderConnection &connection);

    ErrorInfo result() const { return ErrorInfo(m_errorCode, m_errorText); }
    bool connectFailed() const { return m_connectFailed; }
    // "%1: %2": the given text and the message of the current error.
    QString describeError(const QString &text) const;

    int command() const { return m_command; }
    int portHandle() const { return m_portHandle; }
    int readerHandle() const { return m_readerHandle; }
    QString logFilePath() const { return m_logFilePath; }
    const ReaderConnection &connection() const { return m_connection; }

    int readerTypeCode() const { return m_readerTypeCode; }
    quint8 hardwareByte() const { return m_hardwareByte; }
    quint32 readerDeviceId() const { return m_readerDeviceId; }
    QString firmwareVersion() const { return m_firmwareVersion; }

    // The transponder read by the last read-tag command.
    const TransponderIdd &transponder() const { return m_transponder; }
    // The block images of the last configuration command.
    const ReaderConfiguration &configuration() const { return m_config; }

    // "%1.%2.%3" of three bytes, two digits each.
    static QString firmwareText(quint8 major, quint8 minor, quint8 patch);
    // Folder and daily file of a reader log.
    static QString readerLogFilePath(const QString &projectPath, const QString &logKey);

protected:
    // Runs a command of the class; false for a code it does not know.
    virtual bool runClassCommand(int command);

    bool openConnection();
    void closeConnection();
    void buildLogPath();
    void log(const QString &line) const;
    // Takes over the last library error or reader status of the reader handle.
    void collectError();
    bool collectOk();
    // collectOk(), and a non-zero result of the call itself is a failure too.
    bool collectOk(int result);
    void setError(qint32 code, const QString &text);
    void clearError();

    // Common steps.
    void testConnection();
    void cpuResetCommand();
    void setDateTimeCommand();
    bool setDateTime();
    bool readReaderInfo();
    // Reads the reader information and fails, with nothing sent, unless the
    // reader that answers has the connection's device ID and the expected
    // type (either 0: not compared). Every function on an entry's reader
    // runs it first: an address handed on to another reader (a DHCP change)
    // must not give that one the entry's tables, clock or configuration.
    bool confirmReader(int expectedType);
    bool readInfoMode(quint8 mode, QByteArray *info);

    // Configuration steps.
    bool resetBlock(int address);
    bool resetConfiguration(bool perBlock);
    bool readBlocks(const QList<int> &blocks);
    bool writeBlocks(const QList<int> &blocks);
    bool readRegionBytes(quint8 *region0, quint8 *region1);
    bool cpuReset();
    // One reader log line for each setting the configuration could not take.
    void logSkippedSettings() const;
    // The tag reader configuration: reset, read, change, write, CPU reset.
    void writeTagReaderConfiguration(int readerType);

    // Transponder steps.
    bool rfOnOff(quint8 flags);
    bool isoCommand(int which, const QByteArray &request, QByteArray *answer);
    bool inventory(bool longRange, bool iso15693Accepted);
    bool readSerialNumber();
    // Switches the field off and on, lets the tags settle, runs the read and
    // puts the field back to normal without hiding the read's own error.
    void readInFreshField(const std::function<void()> &read);
    // The "Read Tag" command around the type's own inventory steps.
    void readTagCommand(const std::function<void()> &steps);
    static void sleepMs(int ms);

    // A copy: callers hand in settings made for the call, which a reader
    // run by a ReaderTask would otherwise outlive.
    const ReaderSettings m_settings;
    int m_command = 0;
    QString m_payload;
    ReaderConnection m_connection;
    int m_portHandle = -1;
    int m_readerHandle = -1;
    qint32 m_errorCode = 0;
    QString m_errorText;
    bool m_connectFailed = false;
    QString m_logFilePath;
    int m_readerTypeCode = 0;
    quint8 m_hardwareByte = 0;
    quint32 m_readerDeviceId = 0;
    QString m_firmwareVersion;
    TransponderIdd m_transponder;
    ReaderConfiguration m_config;
};

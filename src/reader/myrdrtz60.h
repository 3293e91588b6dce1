#pragma once

#include "reader/myrdr.h"

// The short-range access reader.
class MyRdrTZ60 : public MyRdr
{
    Q_OBJECT
public:
    enum Command {
        ReadInfo = 100,
        WriteAccessConfiguration = 101,
        WriteTagReaderConfiguration = 102,
        ReadTag = 103,
        Pairing = 104,
    };

    explicit MyRdrTZ60(const ReaderSettings &settings, QObject *parent = nullptr);

    void startReadInfo(const ReaderConnection &connection) { start(ReadInfo, connection); }
    void startWriteAccessConfiguration(const ReaderConnection &connection,
                                       const QString &settingsText)
    {
        start(WriteAccessConfiguration, connection, settingsText);
    }
    void startWriteTagReaderConfiguration(const ReaderConnection &connection)
    {
        start(WriteTagReaderConfiguration, connection);
    }
    void startReadTag(const ReaderConnection &connection) { start(ReadTag, connection); }
    // boardSerial: the external I/O board's serial number in hexadecimal.
    void startPairing(const ReaderConnection &connection, const QString &boardSerial)
    {
        start(Pairing, connection, boardSerial);
    }

    bool extIoSupported() const { return m_extIoSupported; }
    bool extIoPaired() const { return m_extIoPaired; }

protected:
    bool runClassCommand(int command) override;

private:
    void readInfo();
    void writeAccessConfiguration();
    void readTag();
    void pairing();

    bool m_extIoSupported = false;
    bool m_extIoPaired = false;
};

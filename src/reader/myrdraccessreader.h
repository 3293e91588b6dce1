#pragma once

#include "reader/myrdr.h"

// What the short-range and long-range access readers share: reading the
// reader information, writing the access configuration from a settings text,
// writing the tag reader configuration and reading a tag in a fresh field.
class MyRdrAccessReader : public MyRdr
{
    Q_OBJECT
public:
    enum Command {
        ReadInfo = 100,
        WriteAccessConfiguration = 101,
        WriteTagReaderConfiguration = 102,
        ReadTag = 103,
    };

    MyRdrAccessReader(const ReaderSettings &settings, int readerType, QObject *parent = nullptr);

    void runReadInfo(const ReaderConnection &connection) { run(ReadInfo, connection); }
    void runWriteAccessConfiguration(const ReaderConnection &connection,
                                     const QString &settingsText)
    {
        run(WriteAccessConfiguration, connection, settingsText);
    }
    void runWriteTagReaderConfiguration(const ReaderConnection &connection)
    {
        run(WriteTagReaderConfiguration, connection);
    }
    void runReadTag(const ReaderConnection &connection) { run(ReadTag, connection); }

    int readerType() const { return m_readerType; }

protected:
    bool runClassCommand(int command) override;

    // Inside an open connection: the information steps of the type.
    virtual void readInfoSteps() { readReaderInfo(); }
    // Inside an open connection with a cleared configuration: brings the
    // access blocks to the reader's current values and applies the settings
    // text (m_payload); false when a step failed.
    virtual bool prepareAccessBlocks(const QList<int> &blocks) = 0;
    // Inside a fresh field: the inventory steps of the type.
    virtual void inventorySteps() = 0;

    const int m_readerType;

private:
    void readInfo();
    void writeAccessConfiguration();
};

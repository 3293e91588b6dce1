#pragma once

#include "reader/myrdr.h"

// The long-range desk reader used as programmer reader.
class MyRdrLRX7 : public MyRdr
{
    Q_OBJECT
public:
    enum Command { WriteTagReaderConfiguration = 100, ReadTag = 101 };

    explicit MyRdrLRX7(const ReaderSettings &settings, QObject *parent = nullptr);

    void startWriteTagReaderConfiguration(const ReaderConnection &connection)
    {
        start(WriteTagReaderConfiguration, connection);
    }
    void startReadTag(const ReaderConnection &connection) { start(ReadTag, connection); }

protected:
    bool runClassCommand(int command) override;

private:
    void readTag();
};

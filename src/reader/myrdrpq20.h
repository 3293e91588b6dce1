#pragma once

#include "reader/myrdr.h"

// The short-range desk reader that reads ISO 14443 transponders with their serial numbers.
class MyRdrPQ20 : public MyRdr
{
    Q_OBJECT
public:
    enum Command { WriteTagReaderConfiguration = 100, ReadTag = 101 };

    explicit MyRdrPQ20(const ReaderSettings &settings, QObject *parent = nullptr);

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

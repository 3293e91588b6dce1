#pragma once

#include "reader/myrdr.h"

// A desk reader used as programmer reader: writes its tag reader
// configuration and reads the transponder lying on it. The three types differ
// only in how they read a tag.
class MyRdrProgrammer : public MyRdr
{
    Q_OBJECT
public:
    enum Command { WriteTagReaderConfiguration = 100, ReadTag = 101 };

    MyRdrProgrammer(const ReaderSettings &settings, int readerType, QObject *parent = nullptr);

    void runWriteTagReaderConfiguration(const ReaderConnection &connection)
    {
        run(WriteTagReaderConfiguration, connection);
    }
    void runReadTag(const ReaderConnection &connection) { run(ReadTag, connection); }

    int readerType() const { return m_readerType; }

protected:
    bool runClassCommand(int command) override;

private:
    void readTag();

    int m_readerType;
};

// The short-range desk reader for ISO 15693 and ISO 14443 transponders.
class MyRdrPQ10 : public MyRdrProgrammer
{
    Q_OBJECT
public:
    explicit MyRdrPQ10(const ReaderSettings &settings, QObject *parent = nullptr);
};

// The short-range desk reader that reads the serial number after the inventory.
class MyRdrPQ20 : public MyRdrProgrammer
{
    Q_OBJECT
public:
    explicit MyRdrPQ20(const ReaderSettings &settings, QObject *parent = nullptr);
};

// The long-range desk reader.
class MyRdrLRX7 : public MyRdrProgrammer
{
    Q_OBJECT
public:
    explicit MyRdrLRX7(const ReaderSettings &settings, QObject *parent = nullptr);
};

#include "reader/myrdrprogrammer.h"

#include "reader/readertypes.h"

MyRdrProgrammer::MyRdrProgrammer(const ReaderSettings &settings, int readerType, QObject *parent)
    : MyRdr(settings, parent), m_readerType(readerType)
{
}

bool MyRdrProgrammer::runClassCommand(int command)
{
    switch (command) {
    case WriteTagReaderConfiguration:
        writeTagReaderConfiguration(m_readerType);
        return true;
    case ReadTag:
        readTag();
        return true;
    default:
        return false;
    }
}

void MyRdrProgrammer::readTag()
{
    readTagCommand([this] {
        switch (m_readerType) {
        case ReaderTypes::PQ20:
            if (rfOnOff(0) && inventory(false, false) && readSerialNumber())
                rfOnOff(1);
            break;
        case ReaderTypes::LRX7:
            inventory(true, false);
            break;
        default:
            if (rfOnOff(0))
                inventory(false, true);
            break;
        }
    });
}

MyRdrPQ10::MyRdrPQ10(const ReaderSettings &settings, QObject *parent)
    : MyRdrProgrammer(settings, ReaderTypes::PQ10, parent)
{
}

MyRdrPQ20::MyRdrPQ20(const ReaderSettings &settings, QObject *parent)
    : MyRdrProgrammer(settings, ReaderTypes::PQ20, parent)
{
}

MyRdrLRX7::MyRdrLRX7(const ReaderSettings &settings, QObject *parent)
    : MyRdrProgrammer(settings, ReaderTypes::LRX7, parent)
{
}

#include "reader/myrdrpq20.h"

#include "reader/readertypes.h"

MyRdrPQ20::MyRdrPQ20(const ReaderSettings &settings, QObject *parent) : MyRdr(settings, parent) {}

bool MyRdrPQ20::runClassCommand(int command)
{
    switch (command) {
    case WriteTagReaderConfiguration:
        writeTagReaderConfiguration(ReaderTypes::PQ20);
        return true;
    case ReadTag:
        readTag();
        return true;
    default:
        return false;
    }
}

void MyRdrPQ20::readTag()
{
    m_transponder = TransponderIdd();
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Tag ***"));
    if (rfOnOff(0) && inventory(false, false) && readSerialNumber())
        rfOnOff(1);
    closeConnection();
}

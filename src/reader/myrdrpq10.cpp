#include "reader/myrdrpq10.h"

#include "reader/readertypes.h"

MyRdrPQ10::MyRdrPQ10(const ReaderSettings &settings, QObject *parent) : MyRdr(settings, parent) {}

bool MyRdrPQ10::runClassCommand(int command)
{
    switch (command) {
    case WriteTagReaderConfiguration:
        writeTagReaderConfiguration(ReaderTypes::PQ10);
        return true;
    case ReadTag:
        readTag();
        return true;
    default:
        return false;
    }
}

void MyRdrPQ10::readTag()
{
    m_transponder = TransponderIdd();
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Tag ***"));
    if (rfOnOff(0))
        inventory(false, true);
    closeConnection();
}

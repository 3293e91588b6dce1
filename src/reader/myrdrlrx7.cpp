#include "reader/myrdrlrx7.h"

#include "reader/readertypes.h"

MyRdrLRX7::MyRdrLRX7(const ReaderSettings &settings, QObject *parent) : MyRdr(settings, parent) {}

bool MyRdrLRX7::runClassCommand(int command)
{
    switch (command) {
    case WriteTagReaderConfiguration:
        writeTagReaderConfiguration(ReaderTypes::LRX7);
        return true;
    case ReadTag:
        readTag();
        return true;
    default:
        return false;
    }
}

void MyRdrLRX7::readTag()
{
    m_transponder = TransponderIdd();
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Tag ***"));
    inventory(true, false);
    closeConnection();
}

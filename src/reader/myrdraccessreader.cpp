#include "reader/myrdraccessreader.h"

#include "reader/readerconfiguration.h"

MyRdrAccessReader::MyRdrAccessReader(const ReaderSettings &settings, int readerType,
                                     QObject *parent)
    : MyRdr(settings, parent), m_readerType(readerType)
{
}

bool MyRdrAccessReader::runClassCommand(int command)
{
    switch (command) {
    case ReadInfo:
        readInfo();
        return true;
    case WriteAccessConfiguration:
        writeAccessConfiguration();
        return true;
    case WriteTagReaderConfiguration:
        writeTagReaderConfiguration(m_readerType);
        return true;
    case ReadTag:
        readTagCommand([this] { readInFreshField([this] { inventorySteps(); }); });
        return true;
    default:
        return false;
    }
}

void MyRdrAccessReader::readInfo()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Info ***"));
    readInfoSteps();
    closeConnection();
}

void MyRdrAccessReader::writeAccessConfiguration()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Write Access Reader Configuration ***"));
    m_config.clear();
    const QList<int> blocks = ReaderConfiguration::accessBlocks(m_readerType);
    if (confirmReader(m_readerType) && prepareAccessBlocks(blocks) && writeBlocks(blocks))
        cpuReset();
    closeConnection();
}

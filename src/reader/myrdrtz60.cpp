#include "reader/myrdrtz60.h"

#include "reader/readertypes.h"

#include <kxrdr.h>

#include <QCoreApplication>

MyRdrTZ60::MyRdrTZ60(const ReaderSettings &settings, QObject *parent)
    : MyRdrAccessReader(settings, ReaderTypes::TZ60, parent)
{
}

bool MyRdrTZ60::runClassCommand(int command)
{
    if (command == ReadInfo) {
        // A failed connection must not leave an earlier reader's board state.
        m_extIoSupported = false;
        m_extIoPaired = false;
    }
    if (command == Pairing) {
        pairing();
        return true;
    }
    return MyRdrAccessReader::runClassCommand(command);
}

void MyRdrTZ60::readInfoSteps()
{
    if (readReaderInfo() && m_hardwareByte != 3) {
        // Readers with an internal relay have no board port.
        m_extIoSupported = true;
        QByteArray info;
        if (readInfoMode(7, &info)) {
            m_extIoPaired = info.at(0) == 0 && info.at(1) == 3;
        } else {
            // The board state stays unknown; the command still fails, with
            // the reason kept for the caller instead of being thrown away.
            m_extIoPaired = false;
            if (m_errorCode == 0)
                setError(ErrorInfo::ReaderObjectError,
                         QCoreApplication::translate("MyRdr", "Unsupported function"));
        }
    }
}

bool MyRdrTZ60::prepareAccessBlocks(const QList<int> &blocks)
{
    if (!resetConfiguration(true) || !readBlocks(blocks))
        return false;
    m_config.applyTz60Access(m_payload, m_settings.project.supportIso15693);
    logSkippedSettings();
    return true;
}

void MyRdrTZ60::inventorySteps()
{
    if (inventory(false, true))
        readSerialNumber();
}

void MyRdrTZ60::pairing()
{
    bool ok = false;
    const quint32 serial = m_payload.trimmed().toUInt(&ok, 16);
    if (!openConnection())
        return;
    log(QStringLiteral("*** Pairing With External IO Device ***"));
    if (!ok) {
        // An unreadable serial number would pair the reader with board 0.
        setError(ErrorInfo::ReaderObjectError,
                 QCoreApplication::translate("MyRdr", "Invalid serial number"));
        closeConnection();
        return;
    }
    m_config.clear();
    if (resetConfiguration(true) && readBlocks({1, 2})) {
        m_config.setByte(1, 12, 0x80);
        m_config.setByte(1, 13, 0x20);
        m_config.setByte(2, 13, 0x82);
        if (writeBlocks({1, 2})) {
            const unsigned char request[4] = {quint8(serial >> 24), quint8(serial >> 16),
                                              quint8(serial >> 8), quint8(serial)};
            unsigned char response[KXRDR_PIGGYBACK_SIZE];
            int length = 0;
            KXRDR_0x9F_Piggyback_Command(m_readerHandle, BusAddress, 0, 0, 0, request, 4, response,
                                         &length);
            collectError();
        }
    }
    closeConnection();
}

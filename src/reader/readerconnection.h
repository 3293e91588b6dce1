#pragma once

#include <QString>
#include <QtGlobal>

// How to reach one reader. The kind follows from the other fields.
struct ReaderConnection
{
    enum Kind { NoConnection = 0, UsbCable = 1, Tcp = 2 };
    static constexpr int FlashDriveBit = 0x10000;

    QString logKey;
    // The entry's reader: a reader function refuses another one that
    // answers at the address (0: not compared).
    quint32 deviceId = 0;
    int readerType = 0;
    QString host;
    int portValue = 0;
    int timeoutMs = 5000;

    // The flash-drive bit wins over a host, a host over a device ID.
    int kind() const
    {
        if (portValue & FlashDriveBit)
            return NoConnection;
        if (!host.isEmpty())
            return Tcp;
        if (deviceId != 0)
            return UsbCable;
        return NoConnection;
    }
    quint16 tcpPort() const { return quint16(portValue & 0xFFFF); }
    bool usesFlashDrive() const { return portValue & FlashDriveBit; }
};

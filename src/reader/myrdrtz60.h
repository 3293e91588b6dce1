#pragma once

#include "reader/myrdraccessreader.h"

// The short-range access reader.
class MyRdrTZ60 : public MyRdrAccessReader
{
    Q_OBJECT
public:
    enum OwnCommand { Pairing = 104 };

    explicit MyRdrTZ60(const ReaderSettings &settings, QObject *parent = nullptr);

    // boardSerial: the external I/O board's serial number in hexadecimal.
    void runPairing(const ReaderConnection &connection, const QString &boardSerial)
    {
        run(Pairing, connection, boardSerial);
    }

    bool extIoSupported() const { return m_extIoSupported; }
    bool extIoPaired() const { return m_extIoPaired; }

protected:
    bool runClassCommand(int command) override;

    void readInfoSteps() override;
    bool prepareAccessBlocks(const QList<int> &blocks) override;
    void inventorySteps() override;

private:
    void pairing();

    bool m_extIoSupported = false;
    bool m_extIoPaired = false;
};

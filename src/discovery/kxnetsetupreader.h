#pragma once

#include "core/errorinfo.h"
#include "discovery/kxdiscoveryrecords.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// Reads and writes a reader's network configuration through the reader
// protocol (USB by device ID, or TCP to host and port), and identifies a
// reader for the reader selection. One command per call, run on the calling
// thread (the window calls it through a ReaderTask).
class KxNetSetupReader : public QObject
{
    Q_OBJECT
public:
    enum Command {
        Identify = 1,
        ReadMac = 3,
        ReadNetConfig = 10,
        WriteNetConfig = 11,
        // The setup of a UDP-discovered reader; the library waits for the
        // acknowledgement.
        UdpSetup = 20,
    };
    static constexpr qint32 UnsupportedType = 998;
    static constexpr int BusAddress = 255;
    static constexpr int NetworkBlock = 40;
    static constexpr int MaskBlock = 41;

    explicit KxNetSetupReader(QObject *parent = nullptr);
    ~KxNetSetupReader() override;

    // TCP when host is not empty, else USB by device ID.
    void setConnection(const QString &host, int port, quint32 deviceId = 0xFFFFFFFFu,
                       int timeoutMs = 5000);
    void setInterfaceAddress(const QString &address) { m_interfaceAddress = address; }
    void setConfig(const KxNetConfig &config) { m_config = config; }
    const KxNetConfig &config() const { return m_config; }

    // Runs the command on the calling thread to its end (bounded by the
    // time-out) and returns its result.
    ErrorInfo execute(int command);
    ErrorInfo result() const { return ErrorInfo(m_errorCode, m_errorText); }

    // Whether this type keeps its network configuration in blocks 40 and 41.
    static bool hasNetworkBlocks(int readerType);
    // The record's values put into the two block images.
    static void applyToBlocks(const KxNetConfig &config, QByteArray *block40, QByteArray *block41);
    static void readFromBlocks(const QByteArray &block40, const QByteArray &block41,
                               KxNetConfig *config);

private:
    void run();

    bool openConnection();
    void closeConnection();
    bool collectOk(int result);
    void setError(qint32 code, const QString &text);
    bool identify();
    bool readInfo(quint8 mode, QByteArray *info, bool positiveStatusIsOk = false);
    bool readBlock(int number, QByteArray *block);
    bool writeBlock(int number, const QByteArray &block);
    void readNetConfig();
    void writeNetConfig();
    void udpSetup();

    QString m_host;
    int m_port = 0;
    quint32 m_deviceId = 0xFFFFFFFFu;
    int m_timeoutMs = 5000;
    QString m_interfaceAddress;
    int m_command = 0;
    int m_portHandle = -1;
    int m_readerHandle = -1;
    qint32 m_errorCode = 0;
    QString m_errorText;
    KxNetConfig m_config;
};

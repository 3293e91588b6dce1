#pragma once

#include "reader/myrdr.h"

// The long-range access reader; MyRdrTZU300 shares everything but a few
// configuration values.
class MyRdrTZU700 : public MyRdr
{
    Q_OBJECT
public:
    enum Command {
        ReadInfo = 100,
        WriteAccessConfiguration = 101,
        WriteTagReaderConfiguration = 102,
        ReadTag = 103,
        ResetAntiPassback = 200,
    };

    explicit MyRdrTZU700(const ReaderSettings &settings, QObject *parent = nullptr);

    void startReadInfo(const ReaderConnection &connection) { start(ReadInfo, connection); }
    void startWriteAccessConfiguration(const ReaderConnection &connection,
                                       const QString &settingsText)
    {
        start(WriteAccessConfiguration, connection, settingsText);
    }
    void startWriteTagReaderConfiguration(const ReaderConnection &connection)
    {
        start(WriteTagReaderConfiguration, connection);
    }
    void startReadTag(const ReaderConnection &connection) { start(ReadTag, connection); }
    void startResetAntiPassback(const ReaderConnection &connection)
    {
        start(ResetAntiPassback, connection);
    }

    // Writes the access configuration as configuration text lines (the
    // flash-drive file), run on the caller's thread. On failure the error is
    // 1001 "Save configuration file error" and an existing file is kept.
    bool saveConfigurationFile(const QString &filePath, const QString &logKey,
                               const QString &settingsText);

    int readerType() const { return m_readerType; }

protected:
    MyRdrTZU700(const ReaderSettings &settings, int readerType, QObject *parent);
    bool runClassCommand(int command) override;

private:
    void readInfo();
    void writeAccessConfiguration();
    void readTag();
    void resetAntiPassback();
    bool isTzu300() const;

    int m_readerType;
};

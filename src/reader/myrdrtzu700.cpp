#include "reader/myrdrtzu700.h"

#include "reader/readertypes.h"

#include <kxrdr.h>

#include <QCoreApplication>
#include <QSaveFile>

MyRdrTZU700::MyRdrTZU700(const ReaderSettings &settings, QObject *parent)
    : MyRdrTZU700(settings, ReaderTypes::TZU700, parent)
{
}

MyRdrTZU700::MyRdrTZU700(const ReaderSettings &settings, int readerType, QObject *parent)
    : MyRdr(settings, parent), m_readerType(readerType)
{
}

bool MyRdrTZU700::isTzu300() const
{
    return m_readerType == ReaderTypes::TZU300;
}

bool MyRdrTZU700::runClassCommand(int command)
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
        readTag();
        return true;
    case ResetAntiPassback:
        resetAntiPassback();
        return true;
    default:
        return false;
    }
}

void MyRdrTZU700::readInfo()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Info ***"));
    readReaderInfo();
    closeConnection();
}

void MyRdrTZU700::writeAccessConfiguration()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Write Access Reader Configuration ***"));
    m_config.clear();
    const QList<int> blocks = ReaderConfiguration::accessBlocks(m_readerType);
    quint8 region0 = 0, region1 = 0;
    if (resetConfiguration(false) && readBlocks(blocks) && readRegionBytes(&region0, &region1)) {
        const ProjectParameters &p = m_settings.project;
        m_config.applyLongRangeAccess(m_payload, isTzu300(), p.uhfSelectionMask1,
                                      p.uhfSelectionMask2, p.uhfSelectionMask3);
        m_config.applyRegion(m_settings.uhfRegion, region0, region1);
        if (writeBlocks(blocks))
            cpuReset();
    }
    closeConnection();
}

void MyRdrTZU700::readTag()
{
    m_transponder = TransponderIdd();
    if (!openConnection())
        return;
    log(QStringLiteral("*** Read Tag ***"));
    readInFreshField([this] { inventory(true, false); });
    closeConnection();
}

void MyRdrTZU700::resetAntiPassback()
{
    if (!openConnection())
        return;
    log(QStringLiteral("*** Reset Anti-Passback ***"));
    KXRDR_0x33_InitBuffer(m_readerHandle, BusAddress);
    if (collectOk()) {
        KXRDR_0x64_SystemReset(m_readerHandle, BusAddress, 32);
        collectError();
    }
    closeConnection();
}

bool MyRdrTZU700::saveConfigurationFile(const QString &filePath, const QString &logKey,
                                        const QString &settingsText)
{
    clearError();
    m_connection.logKey = logKey;
    buildLogPath();
    m_config.clear();
    const ProjectParameters &p = m_settings.project;
    m_config.applyLongRangeAccess(settingsText, isTzu300(), p.uhfSelectionMask1,
                                  p.uhfSelectionMask2, p.uhfSelectionMask3);
    QSaveFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(m_config.text()) != m_config.text().size() || !file.commit()) {
        setError(ErrorInfo::ConfigFileError,
                 QCoreApplication::translate("MyRdr", "Save configuration file error"));
        return false;
    }
    return true;
}

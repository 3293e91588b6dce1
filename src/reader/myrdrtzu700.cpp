#include "reader/myrdrtzu700.h"

#include "core/filewriter.h"
#include "reader/readertypes.h"

#include <kxrdr.h>

#include <QCoreApplication>

MyRdrTZU700::MyRdrTZU700(const ReaderSettings &settings, QObject *parent)
    : MyRdrTZU700(settings, ReaderTypes::TZU700, parent)
{
}

MyRdrTZU700::MyRdrTZU700(const ReaderSettings &settings, int readerType, QObject *parent)
    : MyRdrAccessReader(settings, readerType, parent)
{
}

bool MyRdrTZU700::isTzu300() const
{
    return m_readerType == ReaderTypes::TZU300;
}

bool MyRdrTZU700::runClassCommand(int command)
{
    if (command == ResetAntiPassback) {
        resetAntiPassback();
        return true;
    }
    return MyRdrAccessReader::runClassCommand(command);
}

bool MyRdrTZU700::prepareAccessBlocks(const QList<int> &blocks)
{
    quint8 region0 = 0, region1 = 0;
    if (!resetConfiguration(false) || !readBlocks(blocks) || !readRegionBytes(&region0, &region1))
        return false;
    const ProjectParameters &p = m_settings.project;
    m_config.applyLongRangeAccess(m_payload, isTzu300(), p.uhfSelectionMask1, p.uhfSelectionMask2,
                                  p.uhfSelectionMask3);
    logSkippedSettings();
    m_config.applyRegion(m_settings.uhfRegion, region0, region1);
    return true;
}

void MyRdrTZU700::inventorySteps()
{
    inventory(true, false);
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
                                        const QString &settingsText,
                                        const FileWriter::Anchor &anchor)
{
    clearError();
    m_connection.logKey = logKey;
    buildLogPath();
    m_config.clear();
    const ProjectParameters &p = m_settings.project;
    m_config.applyLongRangeAccess(settingsText, isTzu300(), p.uhfSelectionMask1,
                                  p.uhfSelectionMask2, p.uhfSelectionMask3);
    logSkippedSettings();
    if (filePath.isEmpty() || !FileWriter::replaceFile(filePath, m_config.text(), anchor)) {
        setError(ErrorInfo::ConfigFileError,
                 QCoreApplication::translate("MyRdr", "Save configuration file error"));
        return false;
    }
    return true;
}

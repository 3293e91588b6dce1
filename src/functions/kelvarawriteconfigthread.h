#pragma once

#include "functions/kelvarafunctionthread.h"

// Write Reader Configuration: writes each entry's stored reader settings to
// its reader, or as a configuration file onto the flash drive.
class KelvaraWriteConfigThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    explicit KelvaraWriteConfigThread(const ProjectParameters &project, QObject *parent = nullptr);

protected:
    QString logFolderName() const override { return QStringLiteral("write-reader-cfg"); }
    int processEntry(const EntryTarget &entry) override;
};

#pragma once

#include "functions/kelvarafunctionthread.h"

// Set Date and Time: sets each reader's clock to the computer's. Needs no database.
class KelvaraSetDateTimeThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    explicit KelvaraSetDateTimeThread(const ProjectParameters &project, QObject *parent = nullptr);

protected:
    QString logFolderName() const override { return QStringLiteral("set-date-time"); }
    bool needsDatabase() const override { return false; }
    int processEntry(const EntryTarget &entry) override;
};

#pragma once

#include "functions/kelvarafunctionthread.h"

// Read Events: keeps each reader's events in the database and appends those
// not kept before to the entry's event files, one per date.
class KelvaraReadEventsThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    explicit KelvaraReadEventsThread(const ProjectParameters &project, QObject *parent = nullptr);

protected:
    QString logFolderName() const override { return QStringLiteral("read-events"); }
    int processEntry(const EntryTarget &entry) override;
};

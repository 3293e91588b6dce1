#pragma once

#include "db/recordrows.h"
#include "functions/kelvarafunctionthread.h"

#include <QList>

// Update Access Configuration: compiles each entry's tables and sends them
// to the reader, or writes them onto the flash drive; clears the entry's
// pending-update mark on success.
class KelvaraUpdateThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    explicit KelvaraUpdateThread(const ProjectParameters &project, QObject *parent = nullptr);

    // The upcoming holidays, loaded before the run.
    void setHolidays(const QList<HolidayRow> &holidays) { m_holidays = holidays; }

protected:
    QString logFolderName() const override { return QStringLiteral("update-access-cfg"); }
    int processEntry(const EntryTarget &entry) override;

private:
    QList<HolidayRow> m_holidays;
};

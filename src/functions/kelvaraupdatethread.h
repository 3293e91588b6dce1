#pragma once

#include "db/recordrows.h"
#include "functions/kelvarafunctionthread.h"

#include <QDate>
#include <QList>

// Update Access Configuration: compiles each entry's tables and sends them
// to the reader, or writes them onto the flash drive; clears the entry's
// pending-update mark on success.
class KelvaraUpdateThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    explicit KelvaraUpdateThread(const ProjectParameters &project, QObject *parent = nullptr);

    // The holidays from `today` on, loaded before the run.
    void setHolidays(const QList<HolidayRow> &holidays, const QDate &today = QDate::currentDate())
    {
        m_holidays = holidays;
        m_holidaysFrom = today;
    }

    // Reads and keeps each reader's events before its new tables clear them
    // (the general setting "Read events before updating", on by default).
    void setReadEventsFirst(bool on) { m_readEventsFirst = on; }
    bool readEventsFirst() const { return m_readEventsFirst; }

protected:
    QString logFolderName() const override { return QStringLiteral("update-access-cfg"); }
    int processEntry(const EntryTarget &entry) override;

private:
    QList<HolidayRow> m_holidays;
    QDate m_holidaysFrom = QDate::currentDate();
    bool m_readEventsFirst = true;
};

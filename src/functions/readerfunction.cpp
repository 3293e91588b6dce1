#include "functions/readerfunction.h"

#include "db/holidayrecords.h"
#include "db/projectparameters.h"
#include "functions/kelvarareadaccessthread.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvarasetdatetimethread.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvaraverifythread.h"
#include "functions/kelvarawriteconfigthread.h"

#include <QCoreApplication>

namespace ReaderFunction {

namespace {

using Create = KelvaraFunctionThread *(*)(const ProjectParameters &project, QObject *parent);

// The worker's constructor, with the flags that tell its variants apart.
template<typename Thread, bool... Flags>
KelvaraFunctionThread *make(const ProjectParameters &project, QObject *parent)
{
    return new Thread(project, Flags..., parent);
}

struct Row
{
    Function function;
    const char *command;
    const char *title;
    Create create;
};

// One row per function, in code order. The verify marks a differing reader, so
// the board shows it and an update picks it up.
const Row kRows[] = {
    {UpdateAccess, "update", QT_TRANSLATE_NOOP("ReaderFunction", "Update Access Configuration"),
     make<KelvaraUpdateThread>},
    {ReadAccess, "read-access", QT_TRANSLATE_NOOP("ReaderFunction", "Read Access Configuration"),
     make<KelvaraReadAccessThread, false>},
    {ImportTransponder, "import-transponders",
     QT_TRANSLATE_NOOP("ReaderFunction", "Import Transponder"),
     make<KelvaraReadAccessThread, true>},
    {ReadEvents, "read-events", QT_TRANSLATE_NOOP("ReaderFunction", "Read Events"),
     make<KelvaraReadEventsThread>},
    {SetDateTime, "set-clock", QT_TRANSLATE_NOOP("ReaderFunction", "Set Date and Time"),
     make<KelvaraSetDateTimeThread>},
    {WriteConfig, "write-config", QT_TRANSLATE_NOOP("ReaderFunction", "Write Reader Configuration"),
     make<KelvaraWriteConfigThread>},
    {VerifyReader, "", QT_TRANSLATE_NOOP("ReaderFunction", "Verify Reader"),
     make<KelvaraVerifyThread, true>},
};

const Row *rowOf(int function)
{
    for (const Row &row : kRows)
        if (row.function == function)
            return &row;
    return nullptr;
}

} // namespace

bool isFunction(int function)
{
    return rowOf(function) != nullptr;
}

QString commandName(int function)
{
    const Row *row = rowOf(function);
    return row ? QString::fromLatin1(row->command) : QString();
}

QStringList commandNames()
{
    QStringList names;
    for (const Row &row : kRows)
        if (*row.command)
            names << QString::fromLatin1(row.command);
    return names;
}

int byCommandName(const QString &name)
{
    for (const Row &row : kRows)
        if (*row.command && name == QLatin1String(row.command))
            return row.function;
    return -1;
}

QString title(int function)
{
    const Row *row = rowOf(function);
    return row ? QCoreApplication::translate("ReaderFunction", row->title) : QStringLiteral("???");
}

std::unique_ptr<KelvaraFunctionThread> createThread(int function, const ProjectParameters &project,
                                                    QSqlError *error, QObject *parent)
{
    *error = QSqlError();
    const Row *row = rowOf(function);
    if (!row)
        return nullptr;
    QList<HolidayRow> holidays;
    if (function == UpdateAccess) {
        *error = HolidayRecords::listUpcomingHolidays(project.databasePath, project.siteToday(),
                                                      holidays);
        if (error->isValid())
            return nullptr;
    }
    std::unique_ptr<KelvaraFunctionThread> thread(row->create(project, parent));
    if (auto *update = qobject_cast<KelvaraUpdateThread *>(thread.get()))
        update->setHolidays(holidays);
    return thread;
}

} // namespace ReaderFunction

// kelvara-cli run, verify and check: the reader functions over a scope of entries.
#include "cli/kelvaracli.h"

#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "functions/flashdrive.h"
#include "functions/kelvarareadaccessthread.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvarasetdatetimethread.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvaraverifythread.h"
#include "functions/kelvarawriteconfigthread.h"
#include "functions/updatecheck.h"
#include "reader/readersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <memory>

#include <unistd.h>

namespace {

const QStringList FunctionNames = {QStringLiteral("update"),
                                   QStringLiteral("read-access"),
                                   QStringLiteral("import-transponders"),
                                   QStringLiteral("read-events"),
                                   QStringLiteral("set-clock"),
                                   QStringLiteral("write-config")};

// An entry's line in the printed results: done and differs in the command's
// own words, the other outcomes alike for every command.
QString outcomeText(int state, const QString &done, const QString &reason = QString(),
                    const QString &differs = QString())
{
    switch (state) {
    case KelvaraFunctionThread::Done:
        return done;
    case KelvaraFunctionThread::NoConnection:
        return QStringLiteral("NO CONNECTION");
    case KelvaraFunctionThread::NoState:
        // Stopped before this entry: its reader was not contacted.
        return QStringLiteral("NOT RUN");
    default:
        if (state == KelvaraFunctionThread::Differs && !differs.isEmpty())
            return differs;
        return reason.isEmpty() ? QStringLiteral("FAILED")
                                : QStringLiteral("FAILED: %1").arg(reason);
    }
}
} // namespace

int KelvaraCli::functionCode(const QString &name)
{
    return FunctionNames.indexOf(name);
}

bool KelvaraCli::takeScope(QStringList &arguments, Scope &scope, int &exitCode)
{
    if (!takeValue(arguments, QStringLiteral("--area"), scope.area, scope.hasArea)) {
        exitCode = usageError(tr("--area needs one name."));
        return false;
    }
    for (int at = arguments.indexOf(QStringLiteral("--entry")); at >= 0;
         at = arguments.indexOf(QStringLiteral("--entry"))) {
        arguments.removeAt(at);
        const int before = scope.entryNames.size();
        while (at < arguments.size() && !arguments.at(at).startsWith(QLatin1String("--")))
            scope.entryNames << arguments.takeAt(at);
        if (scope.entryNames.size() == before) {
            exitCode = usageError(tr("--entry needs at least one name."));
            return false;
        }
    }
    scope.all = takeFlag(arguments, QStringLiteral("--all"));
    scope.shortRange = takeFlag(arguments, QStringLiteral("--short-range"));
    scope.longRange = takeFlag(arguments, QStringLiteral("--long-range"));
    scope.onlyPending = takeFlag(arguments, QStringLiteral("--only-pending"));
    return true;
}

int KelvaraCli::selectEntries(const Scope &scope, QList<EntryTarget> &targets)
{
    const bool onlyPending = scope.onlyPending;
    if (int(scope.all) + int(scope.hasArea) + int(!scope.entryNames.isEmpty()) +
            int(scope.shortRange) + int(scope.longRange) >
        1)
        return usageError(tr("Choose one scope: --all, --area, --entry, --short-range or "
                             "--long-range."));
    if (onlyPending && (scope.shortRange || scope.longRange))
        return usageError(tr("--only-pending goes with --all, --area or --entry."));

    EntrySelection selection = EntrySelection::allEntries(onlyPending);
    if (scope.hasArea) {
        selection = EntrySelection::area(scope.area, onlyPending);
    } else if (!scope.entryNames.isEmpty()) {
        QList<EntryRow> rows;
        const QSqlError error =
            EntryRecords::listEntries(m_project.databasePath, EntryRecords::SortByName, true, rows);
        if (error.isValid())
            return databaseFailure(error);
        QSet<int> keys;
        for (const QString &name : scope.entryNames) {
            const QList<EntryRow> found = EntryRecords::entriesNamed(rows, name);
            if (found.isEmpty())
                return usageError(tr("There is no entry named '%1'.").arg(name));
            for (const EntryRow &row : found)
                keys.insert(row.pkDoors);
        }
        selection = EntrySelection::entries(keys, onlyPending);
    } else if (scope.shortRange) {
        selection = EntrySelection::shortRange();
    } else if (scope.longRange) {
        selection = EntrySelection::longRange();
    }
    const QSqlError listError = selection.list(m_project.databasePath, targets);
    if (listError.isValid())
        return databaseFailure(listError);
    return Success;
}

int KelvaraCli::runFunction(QStringList arguments)
{
    if (arguments.isEmpty())
        return usageError(tr("run needs a function."));
    const QString functionName = arguments.takeFirst();
    const int function = functionCode(functionName);
    if (function < 0)
        return usageError(tr("Unknown function '%1'.").arg(functionName));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;

    Scope scope;
    if (!takeScope(arguments, scope, exitCode))
        return exitCode;
    QString drivePath;
    QString jobsText;
    bool hasDrive = false;
    bool hasJobs = false;
    if (!takeValue(arguments, QStringLiteral("--drive"), drivePath, hasDrive))
        return usageError(tr("--drive needs one folder."));
    if (!takeValue(arguments, QStringLiteral("--jobs"), jobsText, hasJobs))
        return usageError(tr("--jobs needs one number."));
    bool jobsOk = true;
    const int jobs = hasJobs ? jobsText.toInt(&jobsOk) : 0;
    if (hasJobs && (!jobsOk || jobs < 1 || jobs > KelvaraFunctionThread::MaxParallelEntries))
        return usageError(tr("--jobs takes a number from 1 to %1.")
                              .arg(KelvaraFunctionThread::MaxParallelEntries));
    const bool prepare = takeFlag(arguments, QStringLiteral("--prepare-drive"));
    // A scheduled update on a quiet night finds nothing to do: that is no failure.
    const bool allowEmpty = takeFlag(arguments, QStringLiteral("--allow-empty"));
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QList<EntryTarget> targets;
    exitCode = selectEntries(scope, targets);
    if (exitCode != Success)
        return exitCode;
    if (targets.isEmpty()) {
        QTextStream &stream = allowEmpty ? m_out : m_err;
        stream << (function == 0 ? tr("There are no reader with changed access rights")
                                 : tr("There are no reader at all"))
               << '\n';
        stream.flush();
        return allowEmpty ? Success : UsageError;
    }

    FlashDrive drive;
    if (hasDrive) {
        if (!QFileInfo(drivePath).isDir())
            return usageError(tr("The drive folder '%1' does not exist.").arg(drivePath));
        drive.setDrivePath(QDir::toNativeSeparators(QFileInfo(drivePath).absoluteFilePath()));
    }
    QSet<int> keys;
    for (const EntryTarget &target : qAsConst(targets))
        keys.insert(target.pkDoors);
    const int flashEntries = AccessRights::countFlashDriveEntries(m_project.databasePath, keys);
    if (flashEntries < 0)
        return failure(tr("The project database cannot be read."));
    if (flashEntries > 0 && (function == 0 || function == 5)) {
        if (!drive.driveReady())
            return usageError(
                tr("%n entries use the USB flash drive: name its folder with --drive.", nullptr,
                   flashEntries));
        if (prepare) {
            const FlashDrive::PrepareResult prepared = drive.prepareDrive(m_project.databasePath);
            if (!prepared.ok)
                return failure(prepared.message);
        }
    } else if (prepare && drive.driveReady()) {
        const FlashDrive::PrepareResult prepared = drive.prepareDrive(m_project.databasePath);
        if (!prepared.ok)
            return failure(prepared.message);
    }

    std::unique_ptr<KelvaraFunctionThread> thread;
    switch (function) {
    case 0: {
        QList<HolidayRow> holidays;
        const QSqlError error = HolidayRecords::listUpcomingHolidays(
            m_project.databasePath, m_project.siteToday(), holidays);
        if (error.isValid())
            return databaseFailure(error);
        auto update = std::make_unique<KelvaraUpdateThread>(m_project);
        update->setHolidays(holidays);
        ApplicationSettings settings;
        settings.loadSettings();
        update->setReadEventsFirst(settings.readEventsBeforeUpdate);
        thread = std::move(update);
        break;
    }
    case 1:
    case 2:
        thread = std::make_unique<KelvaraReadAccessThread>(m_project, function == 2);
        break;
    case 3:
        thread = std::make_unique<KelvaraReadEventsThread>(m_project);
        break;
    case 4:
        thread = std::make_unique<KelvaraSetDateTimeThread>(m_project);
        break;
    default:
        thread = std::make_unique<KelvaraWriteConfigThread>(m_project);
        break;
    }
    thread->setEntries(targets);
    thread->setFlashDrive(drive);
    const QHash<QString, int> states = runThread(*thread, true, jobs);

    bool allOk = true;
    for (const EntryTarget &target : qAsConst(targets)) {
        const int state = states.value(KelvaraFunctionThread::entryKey(target), -1);
        const QString word = outcomeText(state, QStringLiteral("OK"));
        allOk = allOk && state == KelvaraFunctionThread::Done;
        m_out << target.doorName << '\t' << word << '\n';
    }
    m_out.flush();
    if (thread->runLockRefused())
        return failure(thread->runLockRefusal());
    return allOk ? Success : Failure;
}

QHash<QString, int> KelvaraCli::runThread(KelvaraFunctionThread &thread, bool echoLog, int jobs)
{
    ApplicationSettings settings;
    settings.loadSettings();
    thread.setParallelEntries(jobs > 0 ? jobs : settings.parallelEntries);
    ReaderSettings readerSettings;
    readerSettings.hfProgrammerReader = settings.hfProgrammerReader;
    readerSettings.uhfProgrammerReader = settings.uhfProgrammerReader;
    readerSettings.uhfRegion = settings.uhfRegion;
    thread.setReaderSettings(readerSettings);
    thread.setStop(false);

    // Lines leave as they are logged, from the worker's thread; the main
    // thread only waits meanwhile.
    QHash<QString, int> states;
    QMutex mutex;
    // On a terminal blank lines set the blocks apart; a journal (a scheduled
    // job's output) would keep each as an empty message.
    const auto *file = qobject_cast<QFile *>(m_out.device());
    const bool terminal = file && ::isatty(file->handle()) == 1;
    if (echoLog)
        QObject::connect(
            &thread, &KelvaraFunctionThread::logMessage, &thread,
            [this, terminal](const QString &line) {
                QString text = line;
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                if (!terminal)
                    text =
                        text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char('\n'));
                if (text.isEmpty() && !terminal)
                    return;
                m_out << text << '\n';
                m_out.flush();
            },
            Qt::DirectConnection);
    QObject::connect(
        &thread, &KelvaraFunctionThread::state, &thread,
        [&](const QString &key, int state) {
            QMutexLocker lock(&mutex);
            states.insert(key, state);
        },
        Qt::DirectConnection);
    thread.start();
    while (!thread.wait(100)) {
        if (m_interrupt && m_interrupt->load())
            thread.setStop(true);
    }
    return states;
}

int KelvaraCli::verifyReaders(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    Scope scope;
    if (!takeScope(arguments, scope, exitCode))
        return exitCode;
    const bool mark = takeFlag(arguments, QStringLiteral("--mark"));
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QList<EntryTarget> targets;
    exitCode = selectEntries(scope, targets);
    if (exitCode != Success)
        return exitCode;
    if (targets.isEmpty()) {
        m_err << tr("There are no reader at all") << '\n';
        m_err.flush();
        return UsageError;
    }

    KelvaraVerifyThread thread(m_project, mark);
    thread.setEntries(targets);
    const QHash<QString, int> states = runThread(thread, false);
    bool allInSync = true;
    for (const EntryTarget &target : qAsConst(targets)) {
        const QString key = KelvaraFunctionThread::entryKey(target);
        const int state = states.value(key, KelvaraFunctionThread::NoState);
        const QString reason = thread.reasonOf(key);
        const QString text =
            outcomeText(state, tr("in sync"), reason, tr("differs: %1").arg(reason));
        allInSync = allInSync && state == KelvaraFunctionThread::Done;
        m_out << target.doorName << '\t' << text << '\n';
    }
    m_out.flush();
    if (thread.runLockRefused())
        return failure(thread.runLockRefusal());
    return allInSync ? Success : Failure;
}

int KelvaraCli::checkUpdates(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    Scope scope;
    if (!takeScope(arguments, scope, exitCode))
        return exitCode;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QList<EntryTarget> targets;
    exitCode = selectEntries(scope, targets);
    if (exitCode != Success)
        return exitCode;

    QList<UpdateCheck::Result> results;
    const QSqlError error =
        UpdateCheck::checkEntries(m_project, targets, m_project.siteToday(), results);
    if (error.isValid())
        return databaseFailure(error);
    int blocked = 0;
    int warned = 0;
    for (const UpdateCheck::Result &result : qAsConst(results)) {
        if (!result.hasProblems())
            continue;
        if (result.canUpdate())
            ++warned;
        else
            ++blocked;
        m_out << result.entry.doorName << ": "
              << (result.canUpdate() ? tr("can be updated, but") : tr("CANNOT BE UPDATED")) << '\n';
        for (const QString &problem : result.blocking)
            m_out << "  " << tr("error: %1").arg(problem) << '\n';
        for (const QString &problem : result.warnings)
            m_out << "  " << tr("warning: %1").arg(problem) << '\n';
    }
    m_out << tr("%1 entries checked: %2 cannot be updated, %3 with warnings, %4 without problems.")
                 .arg(results.size())
                 .arg(blocked)
                 .arg(warned)
                 .arg(results.size() - blocked - warned)
          << '\n';
    m_out.flush();
    return blocked > 0 ? Failure : Success;
}

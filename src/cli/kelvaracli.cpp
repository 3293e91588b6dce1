#include "cli/kelvaracli.h"

#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "core/projectfolder.h"
#include "db/accessrights.h"
#include "db/demoproject.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "functions/flashdrive.h"
#include "functions/kelvarareadaccessthread.h"
#include "functions/kelvarareadeventsthread.h"
#include "functions/kelvarasetdatetimethread.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/kelvaraverifythread.h"
#include "functions/kelvarawriteconfigthread.h"
#include "functions/projectupgrade.h"
#include "functions/updatecheck.h"
#include "reader/readersettings.h"
#include "reader/readertypes.h"
#include "userlist/myexportusers.h"
#include "userlist/myimportusers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <memory>

namespace {

const QStringList FunctionNames = {QStringLiteral("update"),
                                   QStringLiteral("read-access"),
                                   QStringLiteral("import-transponders"),
                                   QStringLiteral("read-events"),
                                   QStringLiteral("set-clock"),
                                   QStringLiteral("write-config")};

bool takeFlag(QStringList &arguments, const QString &name)
{
    return arguments.removeAll(name) > 0;
}

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

// Removes "--name VALUE" from the arguments; false when the value is missing.
bool KelvaraCli::takeValue(QStringList &arguments, const QString &name, QString &value,
                           bool &present)
{
    const int at = arguments.indexOf(name);
    present = at >= 0;
    if (!present)
        return true;
    if (at + 1 >= arguments.size() || arguments.at(at + 1).startsWith(QLatin1String("--")))
        return false;
    value = arguments.at(at + 1);
    arguments.removeAt(at + 1);
    arguments.removeAt(at);
    return !arguments.contains(name);
}

KelvaraCli::KelvaraCli(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

QString KelvaraCli::usage()
{
    return tr("Usage:\n"
              "  kelvara-cli create-project DIR\n"
              "      Creates a new project in DIR, which must not exist yet.\n"
              "  kelvara-cli create-demo DIR\n"
              "      Creates the demo project in DIR; a database already there is replaced.\n"
              "  kelvara-cli entries [--project DIR]\n"
              "      One line per entry, tab-separated, after a header line: area, entry,\n"
              "      connection, reader type, device ID, needs update (x or empty).\n"
              "  kelvara-cli run FUNCTION [--project DIR]\n"
              "          [--all | --area NAME | --entry NAME... | --short-range | --long-range]\n"
              "          [--only-pending] [--drive DIR] [--prepare-drive] [--jobs N]\n"
              "      Runs a reader function over the chosen entries (default --all) and prints\n"
              "      the log lines, then one line per entry: name, a tab and OK, NO CONNECTION\n"
              "      or FAILED. FUNCTION is one of update, read-access, import-transponders,\n"
              "      read-events, set-clock, write-config. --only-pending keeps the entries\n"
              "      that need an update (with --all, --area and --entry). --drive names the\n"
              "      root folder of the USB flash drive; --prepare-drive empties it for a new\n"
              "      configuration first. --jobs serves up to N readers (1 to 32) at the same\n"
              "      time (default: the general setting, 4 unless changed); each entry's log\n"
              "      lines are printed as one block when it ends. An interrupt (Ctrl+C) or\n"
              "      termination signal lets the entries in progress finish; entries not\n"
              "      started show NOT RUN. A second one ends the program at once.\n"
              "  kelvara-cli export-users [--project DIR] FILE\n"
              "      Writes all users into a semicolon-separated list.\n"
              "  kelvara-cli import-users [--project DIR] FILE\n"
              "      Reads users from a list whose header names the standard columns.\n"
              "      An interrupt or termination signal stops it with nothing imported.\n"
              "      Exit status 1 when a line or an identifier was left out (each one is\n"
              "      named with its line) or nothing was imported.\n"
              "  kelvara-cli time-zone [--project DIR] [ZONE | computer]\n"
              "      Prints the time zone of the site, or sets it (an IANA name such as\n"
              "      Europe/Berlin; computer: this computer's, the default). Reader clocks\n"
              "      are set to it, and --at and event times are times of the site.\n"
              "  kelvara-cli explain [--project DIR] --entry NAME\n"
              "          (--user \"LAST, FIRST\" | --identifier HEX) [--at yyyy-MM-ddTHH:mm]\n"
              "          [--reader]\n"
              "      Decides as the entry's reader will (now, or at the moment given) and\n"
              "      prints the decision and its reasons, one per line. HEX is what the\n"
              "      reader reads (for long-range readers the EPC). --reader also reads the\n"
              "      reader's own tables back and shows its decision beside the database's.\n"
              "      Exit status 0 permitted, 1 denied (by the reader with --reader).\n"
              "  kelvara-cli who [--project DIR] (--entry NAME | --user \"LAST, FIRST\")\n"
              "          [--at yyyy-MM-ddTHH:mm]\n"
              "      Lists the users who may pass the entry then, or the entries (area and\n"
              "      entry) the user may pass then. Exit status 1 when the list is empty.\n"
              "  kelvara-cli holidays add-public [--project DIR] [--region CODE]\n"
              "          --year YEAR[-YEAR] [--dry-run]\n"
              "      Adds the public holidays of a region (DE, DE-BY, AT, CH, CH-ZH, ...) in\n"
              "      the years (2000 to 2099) that are no holidays yet, in one step, and\n"
              "      marks the entries for an update. Without --region the region used last\n"
              "      for the project. --dry-run only prints what would be added. Refused\n"
              "      (exit status 1) when the readers' 255 holidays would be passed.\n"
              "  kelvara-cli upgrade [--project DIR]\n"
              "      Upgrades a project made by an older version of the program: writes a\n"
              "      backup of the project folder beside it (DIR-schemaN-DATE-TIME.zip), then\n"
              "      carries the database forward in one transaction. Other commands refuse\n"
              "      such a project. Exit status 0 upgraded or already current, 1 failed or\n"
              "      in use (nothing changed), 2 refused (not a project, made by a newer\n"
              "      version, damaged, or on a disk that cannot be written).\n"
              "  kelvara-cli paths\n"
              "      Prints the settings file, the application data folder, the manual\n"
              "      folder and the tools folder as this installation resolves them.\n"
              "  kelvara-cli --help\n"
              "      Shows this text.\n"
              "An entry NAME may be given as AREA/NAME.\n"
              "Without --project the current project of the application settings is used.\n"
              "Exit status: 0 success; 1 a failed entry or operation, or a project in use\n"
              "by another program; 2 a usage error, a folder that is not a project, or no\n"
              "entries.\n") +
           tr("Checks:\n"
              "  kelvara-cli verify [--project DIR] [SCOPE as for run] [--mark]\n"
              "      Reads each reader's tables back and compares them with what the\n"
              "      database gives now; one line per entry: name, a tab and \"in sync\",\n"
              "      \"differs: \" with the differences, NO CONNECTION or FAILED. --mark\n"
              "      marks differing entries as needing an update. Exit status 0 when all\n"
              "      are in sync, else 1.\n"
              "  kelvara-cli check [--project DIR] [SCOPE as for run]\n"
              "      Checks what the next update would send against the readers' limits and\n"
              "      the project's rules; one block per entry with problems and a summary\n"
              "      line. Exit status 1 when an entry cannot be updated as it stands.\n");
}

int KelvaraCli::functionCode(const QString &name)
{
    return FunctionNames.indexOf(name);
}

int KelvaraCli::usageError(const QString &reason)
{
    m_err << reason << '\n' << usage();
    m_err.flush();
    return UsageError;
}

int KelvaraCli::failure(const QString &message)
{
    m_err << message << '\n';
    m_err.flush();
    return Failure;
}

int KelvaraCli::run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usageError(tr("No command given."));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        m_out << usage();
        m_out.flush();
        return Success;
    }
    if (command == QLatin1String("create-project"))
        return createProject(rest);
    if (command == QLatin1String("create-demo"))
        return createDemo(rest);
    if (command == QLatin1String("entries"))
        return listEntries(rest);
    if (command == QLatin1String("run"))
        return runFunction(rest);
    if (command == QLatin1String("verify"))
        return verifyReaders(rest);
    if (command == QLatin1String("check"))
        return checkUpdates(rest);
    if (command == QLatin1String("export-users"))
        return exportUsers(rest);
    if (command == QLatin1String("import-users"))
        return importUsers(rest);
    if (command == QLatin1String("time-zone"))
        return timeZone(rest);
    if (command == QLatin1String("paths"))
        return printPaths(rest);
    if (command == QLatin1String("upgrade"))
        return upgradeProject(rest);
    if (command == QLatin1String("holidays"))
        return holidays(rest);
    if (command == QLatin1String("explain"))
        return explain(rest);
    if (command == QLatin1String("who"))
        return who(rest);
    return usageError(tr("Unknown command '%1'.").arg(command));
}

bool KelvaraCli::takeProjectFolder(QStringList &arguments, QString &folder, int &exitCode)
{
    bool present = false;
    if (!takeValue(arguments, QStringLiteral("--project"), folder, present)) {
        exitCode = usageError(tr("--project needs one folder."));
        return false;
    }
    if (!present) {
        ApplicationSettings settings;
        settings.loadSettings();
        folder = settings.currentProjectPath;
        if (folder.isEmpty()) {
            exitCode = usageError(tr("No project given and no current project in the settings."));
            return false;
        }
    }
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return true;
}

int KelvaraCli::refused(const QString &message)
{
    m_err << message << '\n';
    m_err.flush();
    return UsageError;
}

bool KelvaraCli::openProject(QStringList &arguments, int &exitCode)
{
    QString folder;
    if (!takeProjectFolder(arguments, folder, exitCode))
        return false;
    // Only a project at this program's schema version is opened; the probe
    // reads it without writing, so a newer project is left as it was.
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(folder);
    switch (probe.state) {
    case SchemaVersion::State::Current:
        break;
    case SchemaVersion::State::Busy:
        exitCode = failure(busyText());
        return false;
    case SchemaVersion::State::NotProject:
        exitCode = usageError(tr("'%1' is not a project folder.").arg(folder));
        return false;
    case SchemaVersion::State::Older:
        exitCode = refused(SchemaVersion::message(probe) +
                           tr("\nUpgrade it with\n  kelvara-cli upgrade --project '%1'\n(a backup "
                              "of the project folder is made first).")
                               .arg(folder));
        return false;
    case SchemaVersion::State::Unreadable:
        exitCode = failure(SchemaVersion::message(probe));
        return false;
    case SchemaVersion::State::Newer:
    case SchemaVersion::State::Invalid:
        exitCode = refused(SchemaVersion::message(probe));
        return false;
    }
    m_project = ProjectParameters();
    m_project.projectPath = QDir::toNativeSeparators(folder);
    m_project.databasePath =
        QDir::toNativeSeparators(ProjectDatabase::databasePathForProject(folder));
    if (!m_project.loadProjectParameters()) {
        exitCode =
            failure(ProjectSchema::projectFolderState(folder) == ProjectSchema::FolderState::Busy
                        ? busyText()
                        : tr("The project database cannot be opened."));
        return false;
    }
    return true;
}

int KelvaraCli::printPaths(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        return usageError(tr("paths takes no arguments."));
    // Fixed keys, so scripts can pick a line; the paths are the manager's own,
    // since both programs live in the same folder.
    m_out << "settings\t" << QDir::toNativeSeparators(settingsFilePath()) << '\n'
          << "appdata\t" << QDir::toNativeSeparators(appDataPath()) << '\n'
          << "manual\t" << QDir::toNativeSeparators(manualPath()) << '\n'
          << "tools\t" << QDir::toNativeSeparators(toolsPath()) << '\n';
    m_out.flush();
    return Success;
}

QString KelvaraCli::busyText()
{
    return tr("The project is in use by another program; try again.");
}

int KelvaraCli::databaseFailure(const QSqlError &error)
{
    return failure(ProjectSchema::isBusyError(error) ? busyText() : databaseErrorText(error));
}

int KelvaraCli::createProject(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usageError(tr("create-project needs exactly one folder."));
    const QString folder = QDir::cleanPath(QFileInfo(arguments.first()).absoluteFilePath());
    if (QFileInfo::exists(folder))
        return failure(
            tr("The path\n\n%1\n\nalready exists.").arg(QDir::toNativeSeparators(folder)));
    if (!ProjectFolder::createFolders(folder))
        return failure(
            tr("Cannot create project path\n\n%1").arg(QDir::toNativeSeparators(folder)));
    const QSqlError error =
        ProjectSchema::createProjectDatabase(ProjectDatabase::databasePathForProject(folder));
    if (error.isValid())
        return databaseFailure(error);
    m_out << tr("New project successfully created in path\n\n%1")
                 .arg(QDir::toNativeSeparators(folder))
          << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::createDemo(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usageError(tr("create-demo needs exactly one folder."));
    const QString folder = QDir::cleanPath(QFileInfo(arguments.first()).absoluteFilePath());
    if (!ProjectFolder::createFolders(folder))
        return failure(
            tr("Cannot create project path\n\n%1").arg(QDir::toNativeSeparators(folder)));
    const QString database = ProjectDatabase::databasePathForProject(folder);
    if (QFile::exists(database) && !QFile::remove(database))
        return failure(tr("Cannot remove old demo database"));
    QSqlError error = ProjectSchema::createProjectDatabase(database);
    if (!error.isValid())
        error = DemoProject::fill(database);
    if (error.isValid())
        return databaseFailure(error);
    m_out << tr("Demo project created in %1").arg(QDir::toNativeSeparators(folder)) << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::listEntries(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QList<EntryBoardRow> order;
    QList<EntryRow> rows;
    QSqlError error = EntryRecords::listEntriesForBoard(m_project.databasePath, order);
    if (!error.isValid())
        error =
            EntryRecords::listEntries(m_project.databasePath, EntryRecords::SortByName, true, rows);
    if (error.isValid())
        return databaseFailure(error);
    QHash<int, EntryRow> byKey;
    for (const EntryRow &row : qAsConst(rows))
        byKey.insert(row.pkDoors, row);
    m_out << "Area\tEntry\tConnection\tReader type\tDevice ID\tNeeds update\n";
    for (const EntryBoardRow &entry : qAsConst(order)) {
        const EntryRow row = byKey.value(entry.pkDoors);
        m_out << entry.areaName << '\t' << entry.doorName << '\t'
              << connectionText(row.readerSerNo, row.ipAddr, row.port) << '\t'
              << ReaderTypes::readerTypeName(row.readerType) << '\t' << row.readerSerNo << '\t'
              << (entry.needsUpdate ? "x" : "") << '\n';
    }
    m_out.flush();
    return Success;
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
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QList<EntryTarget> targets;
    exitCode = selectEntries(scope, targets);
    if (exitCode != Success)
        return exitCode;
    if (targets.isEmpty()) {
        m_err << (function == 0 ? tr("There are no reader with changed access rights")
                                : tr("There are no reader at all"))
              << '\n';
        m_err.flush();
        return UsageError;
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
    if (echoLog)
        QObject::connect(
            &thread, &KelvaraFunctionThread::logMessage, &thread,
            [this](const QString &line) {
                QString text = line;
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
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

int KelvaraCli::exportUsers(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (arguments.size() != 1)
        return usageError(tr("export-users needs exactly one file."));
    MyExportUsers file(arguments.first());
    int count = 0;
    const QSqlError error = file.exportUsers(m_project.databasePath, count);
    if (error.isValid())
        return databaseFailure(error);
    if (count < 0)
        return failure(tr("Cannot write the file '%1'.").arg(arguments.first()));
    m_out << tr("%1 user entries exported to file").arg(count) << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::timeZone(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (arguments.size() > 1)
        return usageError(tr("time-zone takes at most one time zone."));
    if (!arguments.isEmpty()) {
        const QString name = arguments.first();
        const bool computer = name == QLatin1String("computer");
        if (!computer && !ProjectParameters::isTimeZoneName(name))
            return usageError(tr("'%1' is no time zone known here (say Europe/Berlin, or "
                                 "computer for this computer's).")
                                  .arg(name));
        m_project.siteTimeZone = computer ? QString() : name;
        if (!m_project.saveProjectParameters())
            return failure(tr("The project settings could not be saved."));
    }
    m_out << (m_project.siteTimeZone.isEmpty()
                  ? tr("computer (%1)").arg(QString::fromUtf8(QTimeZone::systemTimeZoneId()))
                  : m_project.siteTimeZone)
          << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::importUsers(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (arguments.size() != 1)
        return usageError(tr("import-users needs exactly one file."));
    MyImportUsers file(arguments.first());
    file.assignStandardColumns(file.readHeader());
    file.setStopFlag(m_interrupt);
    int count = 0;
    const QSqlError error = file.importUsers(m_project.databasePath, m_project.hfIddLength,
                                             m_project.uhfIddLength, count);
    if (error.isValid())
        return databaseFailure(error);
    if (file.stopped())
        return failure(tr("The import was stopped; nothing was imported."));
    if (count < 0)
        return failure(
            file.notRegularFile()
                ? tr("'%1' is not a regular file; only a file is imported.").arg(arguments.first())
                : tr("Cannot open import file"));
    const QString text = file.resultText(count, m_project.hfIddLength, m_project.uhfIddLength,
                                         MyImportUsers::MaxListedLines);
    if (count == 0)
        return failure(text);
    m_out << text << '\n';
    m_out.flush();
    // Anything left out (a line, an identifier) or nothing imported at all is a failure.
    const bool complete =
        count > 0 && file.skippedLines() == 0 && file.refusedIdentifierCount() == 0;
    return complete ? Success : Failure;
}

int KelvaraCli::upgradeProject(QStringList arguments)
{
    QString folder;
    int exitCode = Success;
    if (!takeProjectFolder(arguments, folder, exitCode))
        return exitCode;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    const ProjectUpgrade::Result result = ProjectUpgrade::run(folder);
    switch (result.outcome) {
    case ProjectUpgrade::Outcome::Upgraded:
        m_out << tr("Upgraded '%1' from schema version %2 to %3.\nBackup: %4\n")
                     .arg(QDir::toNativeSeparators(folder))
                     .arg(result.from)
                     .arg(result.to)
                     .arg(QDir::toNativeSeparators(result.backup));
        m_out.flush();
        return Success;
    case ProjectUpgrade::Outcome::AlreadyCurrent:
        m_out << tr("'%1' is already at schema version %2.\n")
                     .arg(QDir::toNativeSeparators(folder))
                     .arg(result.to);
        m_out.flush();
        return Success;
    case ProjectUpgrade::Outcome::Refused:
        return refused(result.message);
    case ProjectUpgrade::Outcome::Busy:
    case ProjectUpgrade::Outcome::Failed:
        break;
    }
    return failure(result.message);
}

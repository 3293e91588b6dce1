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
              "          [--only-pending] [--allow-empty] [--drive DIR] [--prepare-drive]\n"
              "          [--jobs N]\n"
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
              "      --allow-empty exits with 0 when no entry is chosen (a nightly update\n"
              "      with nothing pending).\n"
              "      update first reads and keeps each reader's events, which new tables\n"
              "      delete; when that fails nothing is sent to that reader (general\n"
              "      setting ReadEventsFirst, on unless switched off).\n"
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
              "  kelvara-cli events [--project DIR] [--from T] [--to T] [--area NAME]\n"
              "          [--entry NAME] [--user \"LAST, FIRST\"] [--identifier HEX]\n"
              "          [--granted | --denied | --unknown] [--format text|csv|json]\n"
              "      Lists the events kept from the readers, newest first. T is\n"
              "      yyyy-MM-dd or yyyy-MM-ddTHH:mm (the site's clock); a date alone as --to\n"
              "      takes the whole day. --unknown: identifiers no user held. Exit status 1\n"
              "      when no event matches.\n"
              "  kelvara-cli seen [--project DIR] --area NAME [--since T]\n"
              "          [--format text|csv|json]\n"
              "      Users let in at an entry of the area since T (default: today 00:00),\n"
              "      each with the last entry and time. Exit status 1 when nobody was.\n"
              "  kelvara-cli holidays add-public [--project DIR] [--region CODE]\n"
              "          --year YEAR[-YEAR] [--dry-run]\n"
              "      Adds the public holidays of a region (DE, DE-BY, AT, CH, CH-ZH, ...) in\n"
              "      the years (2000 to 2099) that are no holidays yet, in one step, and\n"
              "      marks the entries for an update. Without --region the region used last\n"
              "      for the project. --dry-run only prints what would be added. Refused\n"
              "      (exit status 1) when the readers' 255 holidays would be passed.\n"
              "  kelvara-cli history [--project DIR] [--from T] [--to T]\n"
              "          [--user \"LAST, FIRST\"] [--entry NAME] [--operator NAME]\n"
              "          [--format text|csv|json] | --verify\n"
              "      Lists the audit trail, newest first: who changed what and when, with\n"
              "      the values before and after. T is yyyy-MM-dd or yyyy-MM-ddTHH:mm in this\n"
              "      computer's time (a date alone takes the whole day); --operator takes an\n"
              "      account or account@host. With --user and --entry a change of rights\n"
              "      shows that right's time models. --verify checks the chain of record\n"
              "      hashes and names the first record that was changed, removed or moved.\n"
              "      Exit status 1 when nothing is found or the trail is broken.\n"
              "  kelvara-cli upgrade [--project DIR]\n"
              "      Upgrades a project made by an older version of the program: writes a\n"
              "      backup of the project folder beside it (DIR-schemaN-DATE-TIME.zip; for a\n"
              "      server project a folder project DIR-schemaN-DATE-TIME with every row),\n"
              "      then carries the database forward in one transaction (on a server: as\n"
              "      an administrator, with the project locked). Other commands refuse\n"
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
              "      line. Exit status 1 when an entry cannot be updated as it stands.\n") +
           tr("Server projects (SERVER: --host HOST [--port PORT] --db NAME [--user NAME]\n"
              "[--sslmode disable|allow|prefer|require|verify-ca|verify-full]; passwords come\n"
              "from ~/.pgpass or PGPASSWORD, never from the command line):\n"
              "  kelvara-cli server init SERVER [--project DIR]\n"
              "      Sets up a new project in an empty database: the schema, the settings of\n"
              "      a new project and the roles kelvara_administrator, kelvara_operator and\n"
              "      kelvara_viewer with their grants, all or nothing. A database with tables\n"
              "      is refused (exit status 2). --project writes a project folder (DIR must\n"
              "      not exist) that the window and every command open.\n"
              "  kelvara-cli server connect SERVER --project DIR\n"
              "      Writes a project folder for a project already on the server: how a\n"
              "      further workstation opens it.\n"
              "  kelvara-cli server add-operator NAME --role administrator|operator|viewer\n"
              "          [--project DIR] [--password-stdin]\n"
              "      Makes NAME a login role of the group, or moves it there. Without\n"
              "      --password-stdin no password is set (the server's own sign-in rules\n"
              "      apply); with it the first line of standard input is the password.\n"
              "  kelvara-cli project copy DIR --to-server SERVER [--project NEWDIR]\n"
              "  kelvara-cli project copy DIR --to-folder NEWDIR\n"
              "      Copies every row of the project, keys and all, into an empty database\n"
              "      or a new folder project, in one transaction, then compares row counts\n"
              "      and content hashes table by table and prints them. On any difference\n"
              "      nothing is left at the target (exit status 1). The project must be at\n"
              "      this program's schema version (upgrade it first).\n") +
           tr("Records (all take --project DIR; list and show take --format text|csv|json):\n"
              "  kelvara-cli users list [--group NAME] | show \"LAST, FIRST\"\n"
              "  kelvara-cli users add --last NAME --first NAME --group NAME [--comment TEXT]\n"
              "          [--hf HEX] [--hf-comment TEXT] [--uhf HEX] [--uhf-comment TEXT]\n"
              "  kelvara-cli users change \"LAST, FIRST\" [options of add] | remove \"LAST, "
              "FIRST\"\n"
              "  kelvara-cli users sync FILE [--remove-missing] [--dry-run]\n"
              "      Brings the users in line with a user list as export-users writes it:\n"
              "      adds and changes users; with --remove-missing removes those it lacks.\n"
              "  kelvara-cli entries list [--area NAME] | show NAME | remove NAME\n"
              "  kelvara-cli entries add --area NAME --name NAME [--comment TEXT]\n"
              "          [--connection tcp:ADDRESS:PORT | usb | flash-drive]\n"
              "          [--type TZ60 | TZU700 | TZU300 | none] [--device-id HEX] [--mac MAC]\n"
              "          [--settings KEY=VALUE;...]\n"
              "  kelvara-cli entries change NAME [options of add]\n"
              "  kelvara-cli areas list | show NAME | rename NAME NEW [--merge]\n"
              "  kelvara-cli groups list | show NAME | rename NAME NEW [--merge]\n"
              "  kelvara-cli models list | show TAG | remove TAG\n"
              "  kelvara-cli models add --tag TAG --name NAME --definition DEFINITION\n"
              "  kelvara-cli models change TAG [--tag TAG] [--name NAME] [--definition DEF]\n"
              "      DEFINITION: periods joined by |, each DAYS-FROM-TO such as\n"
              "      mon,tue,wed,thu,fri-07:00-19:00 (days sun mon tue wed thu fri sat hol).\n"
              "  kelvara-cli holidays list [--from DATE] | show DATE\n"
              "  kelvara-cli holidays add DATE[..DATE] [--comment TEXT] | remove DATE[..DATE]\n"
              "  kelvara-cli holidays change DATE [--date DATE] [--comment TEXT]\n"
              "  kelvara-cli rights list [--user \"LAST, FIRST\" | --group NAME]\n"
              "          [--entry NAME | --area NAME]\n"
              "  kelvara-cli rights set (--user \"LAST, FIRST\" | --group NAME)\n"
              "          (--entry NAME | --area NAME) --model TAG\n"
              "  kelvara-cli rights remove (--user ... | --group ...) (--entry ... | --area ...)\n"
              "  kelvara-cli project list | show [SETTING] | change --SETTING VALUE...\n"
              "      short-range, iso15693, long-range: on or off; hf-length, uhf-length:\n"
              "      bytes; uhf-mask1 to uhf-mask3: hex or none; relay-hold-time: seconds;\n"
              "      time-zone: ZONE or computer; keep-events: days events are kept\n"
              "      (0 for ever).\n"
              "A change marks the entries whose readers need an update, as the window does,\n"
              "in one transaction. A list that comes out empty exits with 1; refused input\n"
              "(an unknown name, a duplicate, a value that does not read) exits with 2 and\n"
              "names the field.\n");
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
    const QString &command = arguments.first();
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
        return entries(rest);
    if (command == QLatin1String("users"))
        return users(rest);
    if (command == QLatin1String("areas") || command == QLatin1String("groups"))
        return areasOrGroups(rest, command == QLatin1String("areas"));
    if (command == QLatin1String("models"))
        return models(rest);
    if (command == QLatin1String("rights"))
        return rights(rest);
    if (command == QLatin1String("project"))
        return projectSettings(rest);
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
    if (command == QLatin1String("events"))
        return events(rest);
    if (command == QLatin1String("seen"))
        return seen(rest);
    if (command == QLatin1String("who"))
        return who(rest);
    if (command == QLatin1String("history"))
        return history(rest);
    if (command == QLatin1String("server"))
        return server(rest);
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
    ProjectParameters defaults;
    defaults.databasePath = ProjectDatabase::databasePathForProject(folder);
    const QSqlError error = ProjectSchema::createProjectDatabase(defaults.databasePath);
    if (error.isValid())
        return databaseFailure(error);
    // The settings a new project starts with in the window: without them no
    // technology is on, and no identifier could be given to a user.
    if (!defaults.saveProjectParameters())
        return failure(tr("The project settings could not be saved."));
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
        m_out << (ProjectDatabase::isServerProject(folder)
                      ? tr("Upgraded '%1' from schema version %2 to %3.\nBackup (a folder project "
                           "with every row of the server project): %4\n")
                      : tr("Upgraded '%1' from schema version %2 to %3.\nBackup: %4\n"))
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
